// The sample assembly in the host program, driven by a script through the test modules: the
// bracket tied to the plate by a mating relation, a refinement on the plate's hole, both parts
// meshed. The hole is widened, the meshes are brought up to date, the edit is undone and redone,
// and the drawing is saved and reopened. What a script cannot compare itself (decks, pictures)
// is compared here from the files it wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "png_image.h"
#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

std::string loadLines() {
  std::string lines;
  for (const char* module : {"lib/kestrum.arx", "tests/modules/lbc_module.so", "tests/modules/mate_module.so",
                             "tests/modules/meshcon_module.so"})
    lines += "ARXLOAD " + kestrum::test::buildPath(module).string() + "\n";
  return lines;
}

// The text each run of a command printed, in order, by the command line that started it.
std::vector<std::string> outputsOf(const std::string& output, const std::string& command) {
  std::vector<std::string> found;
  const std::string start = "Command: " + command + "\n";
  for (std::size_t at = output.find(start); at != std::string::npos; at = output.find(start, at + 1)) {
    const std::size_t end = output.find("\nCommand:", at + start.size());
    found.push_back(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return found;
}

// Lengths in mm, clamps at the plate's ends, a load on the upright. After the edit the meshes are
// listed and updated. Listing (MCLIST, MATELIST, KEY, PNGOUT) changes nothing. What walks the
// load and restraint sets for the deck is still an undo step, since the sets open their
// conditions for write; the Explorer lists them without (MCPASSES after REDO, whose Explorer
// rebuild follows the redo's re-resolution, is none). So UNDO 3 takes back the deck, the update
// and the edit, and three REDOs bring them back; UNDO 5 goes back before the edit and the first
// deck again. The edit is then made once more and the drawing saved and reopened.
const char kAssembly[] =
    "PART plate_and_bracket.asm\n"
    "MCUNIT 2\n"
    "LBCMODEL Assembly 0\n"
    "LBCRESTSET Clamps\n"
    "LBCCREATE 7 Left 0,0,0 000000 global 10 -1\nbase/plate/left\n"
    "LBCCREATE 7 Right 0,0,0 000000 global 10 -1\nbase/plate/right\n"
    "LBCLOADSET Loads\n"
    "LBCCREATE 23 Push 0,0,-1000 000000 global 10 -1\narm/upright/top\n"
    "MATEREL Joint 3 5\nbase/plate/top\narm/base/bottom\n"
    "MCREFINE 2 1\nbase/hole1/side\n"
    "MCMESH 8 1 S275\nbase/plate/front|plate/top\n"
    "MCMESH 8 1 S275\narm/base/front|base/top\n"
    "LIST\nMCLIST\nMATELIST\nPARTS\n"
    "MCDECK before.inp\n"
    "PNGOUT before.png\n1,-1,1\n"
    "MCPASSES\n"
    "PARAM set base/D 50\n"
    "MCPASSES\n"
    "KEY base/plate/top\nKEY base/hole1/side\n"
    "MCLIST\nMATELIST\n"
    "MCUPDATE\n"
    "MCLIST\n"
    "PNGOUT after.png\n1,-1,1\n"
    "MCDECK after.inp\n"
    "UNDO 3\nREDO\nREDO\nREDO\n"
    "MCPASSES\n"
    "MCLIST\n"
    "MCDECK redone.inp\n"
    "UNDO 5\n"
    "KEY base/plate/top\nKEY base/hole1/side\n"
    "MCLIST\nMATELIST\n"
    "MCDECK undone.inp\n"
    "PNGOUT undone.png\n1,-1,1\n"
    "PARAM set base/D 50\n"
    "MCUPDATE\n"
    "MCDECK saved.inp\n"
    "SAVEAS joint.dwg\nCLOSE\nOPEN joint.dwg\n"
    "LBCMODEL Assembly 0\nLBCRESTSET Clamps\nLBCLOADSET Loads\n"
    "MCLIST\nMATELIST\n"
    "MCDECK reopened.inp\n"
    "PNGOUT reopened.png\n1,-1,1\n"
    "QUIT\nN\n";

// The node count of the n-th mesh in an MCLIST output; -1 when it is not listed.
int nodesOfMesh(const std::string& list, int position) {
  const std::string head = "Mesh " + std::to_string(position) + " of ";
  const std::size_t at = list.find(head);
  if (at == std::string::npos) return -1;
  const std::size_t colon = list.find(": ", at);
  return colon == std::string::npos ? -1 : std::atoi(list.c_str() + colon + 2);
}

// The nodes of a deck by id (coordinates), and the node ids of its tied (TS) surfaces.
struct DeckTies {
  std::map<long, std::vector<double>> nodes;
  std::vector<long> tiedNodes;
  int ties = 0;
};

DeckTies readTies(const std::string& deck) {
  DeckTies found;
  std::istringstream lines(deck);
  std::string line, block;
  while (std::getline(lines, line)) {
    if (line.rfind("**", 0) == 0) continue;
    if (line.rfind('*', 0) == 0) {
      block = line;
      if (line.rfind("*TIE", 0) == 0) ++found.ties;
      continue;
    }
    if (block.rfind("*NODE", 0) == 0) {
      std::vector<double> values;
      std::istringstream fields(line);
      std::string field;
      while (std::getline(fields, field, ',')) values.push_back(std::atof(field.c_str()));
      if (values.size() == 4) found.nodes[static_cast<long>(values[0])] = {values[1], values[2], values[3]};
    } else if (block.rfind("*SURFACE, NAME=TS", 0) == 0) {
      found.tiedNodes.push_back(std::atol(line.c_str()));
    }
  }
  return found;
}

// The fraction of pixels two pictures of the same size do not share; 1 when they cannot be read.
double differingPixels(const std::filesystem::path& a, const std::filesystem::path& b) {
  AcGiImage first, second;
  if (!kestrum::test::readPng(a, first) || !kestrum::test::readPng(b, second)) return 1.0;
  if (first.width != second.width || first.height != second.height || first.width == 0) return 1.0;
  int differing = 0;
  for (int y = 0; y < first.height; ++y)
    for (int x = 0; x < first.width; ++x) differing += first.at(x, y) == second.at(x, y) ? 0 : 1;
  return static_cast<double>(differing) / (first.width * first.height);
}

TEST(AssemblyScript, TheTiedAssemblyFollowsAHoleEditThroughUndoRedoAndReopen) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, loadLines() + kAssembly);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(countOf(run.output, "General Error"), 0) << run.output;
  EXPECT_EQ(countOf(run.output, "Exception"), 0) << run.output;
  EXPECT_EQ(countOf(run.output, "No deck"), 0) << run.output;
  const auto file = [&](const char* name) { return kestrum::test::readFile(dir / name); };

  // Each mesh reports its counts once, on a line of its own.
  const std::vector<std::string> meshed = outputsOf(run.output, "MCMESH 8 1 S275");
  ASSERT_EQ(meshed.size(), 2u) << run.output;
  for (const std::string& output : meshed) {
    EXPECT_EQ(countOf(output, "Generated "), 1) << output;
    EXPECT_EQ(countOf(output, " elements.\n"), 1) << output;
  }

  // The drawing holds both meshes and the refinement on "CAE_MESH", the relations on
  // "CAE_MATEREL", their pair and a sub-model per part.
  const std::vector<std::string> lists = outputsOf(run.output, "LIST");
  ASSERT_EQ(lists.size(), 1u) << run.output;
  for (const char* entry :
       {"CaepMeshEnt (2)", "CaepConEnt (1)", "CaepMateRelEnt (2)", "CaepMateRelPair (1)", "CaepAnlSubModelObj (2)"})
    EXPECT_NE(lists[0].find(entry), std::string::npos) << entry << lists[0];
  EXPECT_EQ(countOf(lists[0], "layer \"CAE_MESH\""), 3) << lists[0];
  EXPECT_EQ(countOf(lists[0], "layer \"CAE_MATEREL\""), 2) << lists[0];
  EXPECT_EQ(outputsOf(run.output, "PARTS").size(), 1u);

  const std::vector<std::string> meshes = outputsOf(run.output, "MCLIST");
  ASSERT_EQ(meshes.size(), 6u) << run.output;
  const int firstNodes = nodesOfMesh(meshes[0], 1);
  const int bracketNodes = nodesOfMesh(meshes[0], 2);
  ASSERT_GT(firstNodes, 0) << meshes[0];
  ASSERT_GT(bracketNodes, 0) << meshes[0];
  EXPECT_EQ(countOf(meshes[0], "attached, not modified, up to date"), 2) << meshes[0];

  // The edit: one re-resolution; the keys give the wider hole and the smaller top; the plate's
  // mesh needs an update; the relation keeps its keys.
  const std::vector<std::string> passes = outputsOf(run.output, "MCPASSES");
  ASSERT_EQ(passes.size(), 3u) << run.output;
  EXPECT_NE(passes[1].find("Re-resolutions: 1"), std::string::npos) << passes[1];
  const std::vector<std::string> keys = outputsOf(run.output, "KEY base/hole1/side");
  ASSERT_EQ(keys.size(), 2u) << run.output;
  EXPECT_NE(keys[0].find("cylinder radius 25,"), std::string::npos) << keys[0];
  EXPECT_NE(keys[1].find("cylinder radius 15,"), std::string::npos) << keys[1];
  const std::vector<std::string> tops = outputsOf(run.output, "KEY base/plate/top");
  ASSERT_EQ(tops.size(), 2u) << run.output;
  EXPECT_NE(tops[0].find("area 18036.5"), std::string::npos) << tops[0];
  EXPECT_NE(tops[1].find("area 19293.1"), std::string::npos) << tops[1];
  EXPECT_NE(meshes[1].find("Mesh 1 of SubModel 1: " + std::to_string(firstNodes)), std::string::npos) << meshes[1];
  EXPECT_NE(meshes[1].find("update needed"), std::string::npos) << meshes[1];
  const std::vector<std::string> relations = outputsOf(run.output, "MATELIST");
  ASSERT_EQ(relations.size(), 4u) << run.output;
  for (const std::string& relation : relations) {
    EXPECT_NE(relation.find("first: plate/top live, resolves"), std::string::npos) << relation;
    EXPECT_NE(relation.find("second: base/bottom live, resolves"), std::string::npos) << relation;
  }

  // The update meshes the wider hole, refined around it: more nodes on the plate, the bracket as
  // it was.
  EXPECT_NE(outputsOf(run.output, "MCUPDATE")[0].find("The meshes were regenerated."), std::string::npos);
  const int updatedNodes = nodesOfMesh(meshes[2], 1);
  EXPECT_GT(updatedNodes, firstNodes) << meshes[2];
  EXPECT_EQ(nodesOfMesh(meshes[2], 2), bracketNodes) << meshes[2];
  EXPECT_EQ(countOf(meshes[2], "attached, not modified, up to date"), 2) << meshes[2];

  // The deck ties the bracket to the plate once, on the plate's top (z = 10 mm, in metres).
  const std::string after = file("after.inp");
  const DeckTies ties = readTies(after);
  EXPECT_EQ(ties.ties, 1) << after.substr(0, 200);
  ASSERT_FALSE(ties.tiedNodes.empty());
  for (long id : ties.tiedNodes) {
    ASSERT_EQ(ties.nodes.count(id), 1u) << id;
    EXPECT_NEAR(ties.nodes.at(id)[2], 0.010, 1e-9) << id;
  }

  // REDO brings back exactly what UNDO took: the same deck. Going back before the edit gives
  // the first mesh and the first deck again, on the 30 mm hole.
  const std::vector<std::string> firstUndo = outputsOf(run.output, "UNDO 3");
  ASSERT_EQ(firstUndo.size(), 1u);
  EXPECT_NE(firstUndo[0].find("\nMCDECK undone\nMCUPDATE undone\nPARAM undone\n"), std::string::npos) << firstUndo[0];
  const std::vector<std::string> undos = outputsOf(run.output, "UNDO 5");
  ASSERT_EQ(undos.size(), 1u);
  EXPECT_NE(undos[0].find("\nMCDECK undone\nMCDECK undone\nMCUPDATE undone\nPARAM undone\n"), std::string::npos)
      << undos[0];
  EXPECT_EQ(countOf(run.output, "PARAM redone"), 1) << run.output;
  EXPECT_EQ(nodesOfMesh(meshes[3], 1), updatedNodes) << meshes[3];
  EXPECT_EQ(file("redone.inp"), after);
  EXPECT_EQ(nodesOfMesh(meshes[4], 1), firstNodes) << meshes[4];
  EXPECT_EQ(file("undone.inp"), file("before.inp"));

  // Saved and reopened: attached, not modified, the same deck and the same picture.
  EXPECT_EQ(countOf(meshes[5], "attached, not modified, up to date"), 2) << meshes[5];
  EXPECT_EQ(nodesOfMesh(meshes[5], 1), updatedNodes) << meshes[5];
  const std::string saved = file("saved.inp");
  EXPECT_FALSE(saved.empty());
  EXPECT_EQ(file("reopened.inp"), saved);
  // The same mesh drawn again: at most a few edge pixels may fall differently.
  EXPECT_LT(differingPixels(dir / "after.png", dir / "reopened.png"), 1e-4);
  EXPECT_GT(differingPixels(dir / "after.png", dir / "undone.png"), 1e-3) << "the first mesh looks different";
}

}  // namespace
