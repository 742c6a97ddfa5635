// "CAEP_MESH" and the Explorer's "Modify Mesh" in the host program, driven by "@" lines as a user
// drives them: a mesh with a local refinement, a refinement cancelled with its sheet, the sheet
// parked behind the select prompt and brought back, and the remesh rule of a modified mesh.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "arx/gidisplay.h"
#include "png_image.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

std::string start() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
         "\n"
         "PART plate_with_hole\n"
         "CAEP_MODEL\n"
         "@click IDOK\n";
}

// The plate's body is picked by one of its edges.
constexpr char kPickBody[] = "CAEP_MESH\nplate/plate/right|plate/top\n";

// The node count of the n-th "Generated ..." line (0-based); -1 when there is none.
long generatedNodes(const std::string& output, int n) {
  std::size_t at = std::string::npos;
  for (int i = 0; i <= n; ++i) {
    at = output.find("Generated ", at == std::string::npos ? 0 : at + 1);
    if (at == std::string::npos) return -1;
  }
  return std::stol(output.substr(at + 10));
}

// The simulation objects of the n-th LIST (their class lines), in order.
std::string listing(const std::string& output, int n) {
  std::size_t at = std::string::npos;
  for (int i = 0; i <= n; ++i) {
    at = output.find("Objects of ", at == std::string::npos ? 0 : at + 1);
    if (at == std::string::npos) return "";
  }
  std::string classes;
  const std::string text = output.substr(at, output.find("\nCommand", at) - at);
  for (std::size_t line = text.find("\nCaep"); line != std::string::npos; line = text.find("\nCaep", line + 1))
    classes += text.substr(line, text.find('\n', line + 1) - line);
  return classes;
}

TEST(MeshScript, AUniformRefinementOnTheHoleRefinesTheMeshThere) {
  const std::string mesh = std::string(kPickBody) +
                           "@set IDC_MESH_SIZE 20\n"
                           "@check IDC_MESH_DEFER off\n";
  TempDir plainDir;
  const ProgramRun plain = kestrum::test::runHostScript(plainDir, start() + mesh + "@click IDOK\nQUIT\nN\n");
  TempDir dir;
  const ProgramRun refined = kestrum::test::runHostScript(dir, start() + mesh +
                                                                   "@select IDC_SHEET_TABS Refinement\n"
                                                                   "@set IDC_REFINE_SIZE 2\n"
                                                                   "@click IDC_REFINE_FACE\n"
                                                                   "plate/hole1/side\n"
                                                                   "@click IDOK\n"
                                                                   "PNGOUT refined.png 1,-1,1\n"
                                                                   "QUIT\nN\n");
  EXPECT_EQ(refined.exitCode, 0) << refined.output;
  const long plainNodes = generatedNodes(plain.output, 0);
  const long refinedNodes = generatedNodes(refined.output, 0);
  ASSERT_GT(plainNodes, 0) << plain.output;
  // Elements of size 2 around a hole of 30 instead of 20: several times the nodes.
  EXPECT_GT(refinedNodes, 2 * plainNodes) << refined.output;
  AcGiImage image;
  EXPECT_TRUE(kestrum::test::readPng(dir / "refined.png", image)) << refined.output;
}

TEST(MeshScript, ARefinementThenCancelLeavesTheDrawingAsBefore) {
  TempDir dir;
  const std::string script = start() + "LIST\n" + kPickBody +
                             "@select IDC_SHEET_TABS Refinement\n"
                             "@click IDC_REFINE_FACE\n"
                             "plate/hole1/side\n"
                             "@click IDC_REFINE_EDGE\n"
                             "plate/hole1/side|plate/top\n"
                             "@click IDCANCEL\n"
                             "LIST\nQUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string before = listing(run.output, 0);
  ASSERT_FALSE(before.empty()) << run.output;
  EXPECT_EQ(listing(run.output, 1), before);
  EXPECT_EQ(run.output.find("CaepConEnt"), std::string::npos) << run.output;
}

// "&Change View" parks the sheet behind the select prompt; the prompt's OK brings the same sheet
// back on the Elements page, with what was typed before.
TEST(MeshScript, ChangeViewAndThePromptsOkBringTheSameSheetBack) {
  TempDir dir;
  const std::string script = start() + kPickBody +
                             "@set IDC_MESH_NAME Kept\n"
                             "@select IDC_SHEET_TABS Elements\n"
                             "@check IDC_ELEM_SHELL on\n"
                             "@click IDC_ELEM_CHANGE_VIEW\n"
                             "@click IDOK\n"
                             "@show\n"
                             "@check IDC_ELEM_SOLID on\n"
                             "@select IDC_SHEET_TABS Mesh\n"
                             "@check IDC_MESH_DEFER off\n"
                             "@show\n"
                             "@click IDOK\n"
                             "LIST\nQUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::size_t back = run.output.find("page 310 \"Elements\"");
  ASSERT_NE(back, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("edit 1674 \"Kept\"", back), std::string::npos) << run.output;
  // OK on the sheet brought back makes the mesh.
  EXPECT_NE(run.output.find("Generated ", back), std::string::npos) << run.output;
}

// A deferred mesh (the sheet's default) is kept unmade: listed in the drawing and in the Explorer
// with the icon of a mesh still to be made.
TEST(MeshScript, ADeferredMeshIsKeptUnmadeAndListedAsSuch) {
  TempDir dir;
  const std::string script = start() + kPickBody +
                             "@set IDC_MESH_NAME Later\n"
                             "@check IDC_MESH_DEFER on\n"
                             "@click IDOK\n"
                             "LIST\nBROWSERTABS show\n"
                             "QUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("Generated "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("CaepMeshEnt (1)"), std::string::npos) << run.output;
  EXPECT_EQ(kestrum::test::countOf(run.output, "Later [icon 476]"), 1) << run.output;
}

// "Modify Mesh" from the Explorer: 5 % larger keeps the mesh, 20 % larger makes it again.
TEST(MeshScript, ModifyMeshRegeneratesOnlyForALargeEnoughChange) {
  TempDir dir;
  const std::string script = start() + kPickBody +
                             "@set IDC_MESH_SIZE 20\n"
                             "@set IDC_MESH_NAME Plate\n"
                             "@check IDC_MESH_DEFER off\n"
                             "@click IDOK\n"
                             "@dblclick 1198 Plate\n"
                             "@set IDC_MESH_SIZE 21\n"
                             "@click IDOK\n"
                             "@dblclick 1198 Plate\n"
                             "@set IDC_MESH_SIZE 24\n"
                             "@click IDOK\n"
                             "QUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(kestrum::test::countOf(run.output, "Generated "), 2) << run.output;
  EXPECT_GT(generatedNodes(run.output, 0), generatedNodes(run.output, 1)) << "larger elements, fewer nodes";
}

// Loads to the deck with the add-in's own commands: a restraint and a total force picked on the
// plate, the body meshed by "CAEP_MESH" and the deck written by "CAEP_ANALYZE" (manual execution).
// The force's nodal loads add up to what was typed; the left face is held.
TEST(MeshScript, LoadsReachTheDeckWrittenByAnalyze) {
  TempDir dir;
  const std::string script = start() +
                             "CAEP_REST_TAB\n"
                             "@check 1352 on\n@check 1353 on\n@check 1404 on\n"
                             "@select IDC_SHEET_TABS Geometry\n@click IDC_GEOM_FACE\nplate/plate/left\n@click IDOK\n"
                             "CAEP_LOAD_TAB\n"
                             "@select 1678 \"Total Force\"\n@set 1028 -1000\n"
                             "@select IDC_SHEET_TABS Geometry\n@click IDC_GEOM_FACE\nplate/plate/right\n@click IDOK\n" +
                             kPickBody +
                             "@set IDC_MESH_SIZE 20\n@check IDC_MESH_DEFER off\n@click IDOK\n"
                             "CAEP_ANALYZE\n"
                             "@select IDC_SHEET_TABS Execution\n"
                             "@check IDC_EXEC_MANUAL on\n"
                             "@set IDC_EXEC_FILE plate.dat\n"
                             "@click IDOK\n"
                             "QUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  ASSERT_TRUE(std::filesystem::exists(dir / "plate.dat")) << run.output;
  std::istringstream deck(kestrum::test::readFile(dir / "plate.dat"));
  std::string line, block;
  double force[4] = {};
  int held = 0;
  while (std::getline(deck, line)) {
    if (line.rfind("**", 0) == 0) continue;
    if (!line.empty() && line[0] == '*') {
      block = line.substr(0, line.find(','));
      continue;
    }
    long node = 0;
    int dof = 0;
    double value = 0.0;
    if (block == "*CLOAD" && std::sscanf(line.c_str(), "%ld, %d, %lf", &node, &dof, &value) == 3 && dof >= 1 &&
        dof <= 3)
      force[dof] += value;
    if (block == "*BOUNDARY" && std::sscanf(line.c_str(), "%ld, %d", &node, &dof) == 2) ++held;
  }
  EXPECT_NEAR(force[3], -1000.0, 1e-6);
  EXPECT_NEAR(force[1], 0.0, 1e-9);
  EXPECT_NEAR(force[2], 0.0, 1e-9);
  EXPECT_GT(held, 0);
}

}  // namespace
