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

#include "png_image.h"
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

// The block meshed, with a refinement and a restraint on the pocket's floor. Deepening the pocket
// through the block takes the floor away: both go (not listed, not drawn, no local size, the
// update meshes without the refinement), in one re-resolution. UNDO 3 takes back the update, the
// probe (its pick hides and shows the analysis layers) and the edit; listing changes nothing. Both
// come back on the floor, and stay there through a save and reopen.
const char kMeshedStaleAndBack[] =
    "LBCMODEL Block 0\n"
    "LBCRESTSET Fixed\n"
    "LBCCREATE 7 Floor 0,0,0 000000 global 10 -1\nblock/pocket/bottom\n"
    "MCREFINE 1 1\nblock/pocket/bottom\n"
    "MCMESH 4 1 S275\nblock/body/front|body/top\n"
    "MCLIST\nLIST\n"
    "PNGOUT before.png\n1,-1,1\n"
    "MCPASSES\n"
    "PARAM set block/Depth 12\n"
    "MCPASSES\n"
    "LIST\nMCLIST\n"
    "MCSIZES\n20,0,10\n"
    "PNGOUT stale.png\n1,-1,1\n"
    "MCUPDATE\nMCLIST\n"
    "UNDO 3\n"
    "MCPASSES\n"
    "LIST\n"
    "MCSIZES\n20,0,10\n"
    "PNGOUT back.png\n1,-1,1\n"
    "SAVEAS back.dwg\nCLOSE\nOPEN back.dwg\n"
    "LBCMODEL Block 0\n"
    "MCPASSES\n"
    "LIST\n"
    "MCSIZES\n20,0,10\n"
    "QUIT\nN\n";

TEST(MeshConScript, MeshRefinementAndConditionGoStaleTogetherAndComeBackByUndoThroughReopen) {
  TempDir dir;
  const std::string part = kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part").string();
  const std::string load = "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
                           kestrum::test::buildPath("tests/modules/lbc_module.so").string() + "\nARXLOAD " +
                           kestrum::test::buildPath("tests/modules/meshcon_module.so").string() + "\n";
  const ProgramRun run = runScript(dir, load + "PART " + part + "\n" + kMeshedStaleAndBack);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(countOf(run.output, "General Error"), 0) << run.output;
  EXPECT_EQ(countOf(run.output, "Exception"), 0) << run.output;

  // Listed before the edit, gone after it, back after UNDO and after the reopen.
  const std::vector<std::string> lists = sections(run.output, "Objects of ");
  ASSERT_EQ(lists.size(), 4u) << run.output;
  const bool present[] = {true, false, true, true};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    SCOPED_TRACE(i);
    for (const char* entry : {"CaepConEnt (1)", "CaepLbcEnt (1)"})
      EXPECT_EQ(lists[i].find(entry) != std::string::npos, present[i]) << entry << lists[i];
    EXPECT_NE(lists[i].find("CaepMeshEnt (1)"), std::string::npos) << lists[i];
  }
  const std::vector<std::string> sizes = sections(run.output, "Local sizes: ");
  ASSERT_EQ(sizes.size(), 3u) << run.output;
  const char* expected[] = {"Local sizes: 0", "Local sizes: 1", "Local sizes: 1"};
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_EQ(sizes[i].rfind(expected[i], 0), 0u) << sizes[i];

  // One re-resolution for the edit and one for its undo; none for opening an unchanged drawing.
  const std::vector<std::string> passes = sections(run.output, "Re-resolutions: ");
  ASSERT_EQ(passes.size(), 4u) << run.output;
  const char* resolved[] = {"Re-resolutions: 0", "Re-resolutions: 1", "Re-resolutions: 1", "Re-resolutions: 0"};
  for (std::size_t i = 0; i < passes.size(); ++i) EXPECT_EQ(passes[i].rfind(resolved[i], 0), 0u) << passes[i];

  // The mesh stays, needs an update after the edit and is then meshed without the refinement.
  const std::vector<std::string> meshes = sections(run.output, "Mesh 1 of ");
  ASSERT_EQ(meshes.size(), 3u) << run.output;
  EXPECT_NE(meshes[0].find("up to date"), std::string::npos) << meshes[0];
  EXPECT_NE(meshes[1].find("update needed"), std::string::npos) << meshes[1];
  EXPECT_NE(meshes[2].find("up to date"), std::string::npos) << meshes[2];

  // The restraint's green marker is drawn before the edit and after UNDO, not while it is stale.
  AcGiImage before, stale, back;
  ASSERT_TRUE(kestrum::test::readPng(dir / "before.png", before));
  ASSERT_TRUE(kestrum::test::readPng(dir / "stale.png", stale));
  ASSERT_TRUE(kestrum::test::readPng(dir / "back.png", back));
  EXPECT_GT(kestrum::test::tallyGreenAndCyan(before).green, 0);
  EXPECT_EQ(kestrum::test::tallyGreenAndCyan(stale).green, 0);
  EXPECT_GT(kestrum::test::tallyGreenAndCyan(back).green, 0);
}

}  // namespace
