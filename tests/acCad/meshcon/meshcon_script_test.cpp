// Refinements in the host program, driven by scripts through the test module: a refinement on the
// pocket's floor goes stale when the pocket goes through, gives the mesher no size meanwhile, and
// comes back with UNDO, through a save and reopen too.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::ProgramRun;
using kestrum::test::TempDir;
const auto runScript = kestrum::test::runHostScript;

std::string loadLines() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/meshcon_module.so").string() + "\n";
}

// What followed each marker line, up to the next prompt.
std::vector<std::string> sections(const std::string& output, const std::string& marker) {
  std::vector<std::string> found;
  for (std::size_t at = output.find(marker); at != std::string::npos; at = output.find(marker, at + 1)) {
    const std::size_t end = output.find("\nCommand", at);
    found.push_back(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return found;
}

// The block meshed by probe (MCSIZES picks the block through a point on its front top edge), a
// refinement on the pocket's floor; the pocket deepened through the block, undone, saved and
// reopened. UNDO 2 takes back the probe and the edit.
const char kStaleAndBack[] =
    "MCMODEL Block 0\n"
    "MCREFINE 1 1\n"
    "block/pocket/bottom\n"
    "MCSIZES\n20,0,10\n"
    "LIST\n"
    "PNGOUT before.png 1,-1,1\n"
    "PARAM set block/Depth 12\n"
    "MCSIZES\n20,0,10\n"
    "LIST\n"
    "PNGOUT stale.png 1,-1,1\n"
    "UNDO 2\n"
    "MCSIZES\n20,0,10\n"
    "LIST\n"
    "SAVEAS back.dwg\n"
    "CLOSE\n"
    "OPEN back.dwg\n"
    "MCMODEL Block 0\n"
    "MCSIZES\n20,0,10\n"
    "LIST\n"
    "PNGOUT after.png 1,-1,1\n"
    "QUIT\nN\n";

TEST(MeshConScript, StaleRefinementIsErasedIgnoredAndBroughtBackByUndoThroughReopen) {
  TempDir dir;
  const std::string part = kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part").string();
  const ProgramRun run = runScript(dir, loadLines() + "PART " + part + "\n" + kStaleAndBack);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Exception"), std::string::npos) << run.output;

  const std::vector<std::string> sizes = sections(run.output, "Local sizes: ");
  ASSERT_EQ(sizes.size(), 4u) << run.output;
  const char* expected[] = {"Local sizes: 1", "Local sizes: 0", "Local sizes: 1", "Local sizes: 1"};
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_EQ(sizes[i].rfind(expected[i], 0), 0u) << sizes[i];

  const std::vector<std::string> lists = sections(run.output, "Objects of ");
  ASSERT_EQ(lists.size(), 4u) << run.output;
  const bool listed[] = {true, false, true, true};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    SCOPED_TRACE(i);
    const std::size_t at = lists[i].find("CaepConEnt (1)");
    EXPECT_EQ(at != std::string::npos, listed[i]) << lists[i];
    if (at != std::string::npos) {
      EXPECT_NE(lists[i].find("layer \"CAE_MESH\"", at), std::string::npos) << lists[i];
    }
  }
  for (const char* picture : {"before.png", "stale.png", "after.png"})
    EXPECT_TRUE(std::filesystem::exists(dir / picture)) << picture;
}

// A refinement on the hole's side reaches gmsh through the interface's generation: the same mesh
// controls give more nodes with it than without.
TEST(MeshConScript, RefinementOnTheHoleRefinesTheGeneratedMesh) {
  const std::string part = "PART plate_with_hole\nMCMODEL Plate 0\n";
  const std::string mesh = "MCMESH 20 1 S275\nplate/hole1/side|plate/bottom\n";
  const auto nodesOf = [&](const std::string& lines) {
    TempDir dir;
    const ProgramRun run = runScript(dir, loadLines() + part + lines + mesh + "QUIT\nN\n");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> reports = sections(run.output, "Generated ");
    EXPECT_FALSE(reports.empty()) << run.output;
    return reports.empty() ? 0 : std::atoi(reports.front().c_str() + std::string("Generated ").size());
  };
  const int plain = nodesOf("");
  const int refined = nodesOf("MCREFINE 2 1\nplate/hole1/side\n");
  EXPECT_GT(plain, 0);
  EXPECT_GT(refined, 2 * plain);
}

// A part edit with a mesh and a restraint on the part re-attaches both: no error, both still in
// the drawing after the edit and after its undo.
TEST(MeshConScript, APartEditKeepsTheMeshAndTheConditionAttached) {
  TempDir dir;
  const std::string script = "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
                             kestrum::test::buildPath("tests/modules/lbc_module.so").string() + "\nARXLOAD " +
                             kestrum::test::buildPath("tests/modules/meshcon_module.so").string() +
                             "\nPART plate_with_hole\nLBCMODEL Plate 0\nLBCRESTSET Fixed\n"
                             "LBCCREATE 7 Fixed 0,0,0 000000 global 10 -1\nplate/plate/left\n"
                             "MCMESH 20 1 S275\nplate/hole1/side|plate/bottom\n"
                             "PARAM set plate/D 40\nLIST\nUNDO 1\nLIST\nQUIT\nN\n";
  const ProgramRun run = runScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(countOf(run.output, "part plate regenerated"), 1) << run.output;
  EXPECT_EQ(countOf(run.output, "General Error"), 0) << run.output;
  EXPECT_EQ(countOf(run.output, "CaepMeshEnt (1)"), 2) << run.output;
  EXPECT_EQ(countOf(run.output, "CaepLbcEnt (1)"), 2) << run.output;
}

}  // namespace
