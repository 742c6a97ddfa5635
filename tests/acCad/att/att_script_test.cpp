// The attribute sheets in the host program, driven by "@" lines: a restraint and a total force
// picked on the plate reach the deck (the force's nodal loads add up to what was typed), the
// value shown in English units, undo of the command, and the drawing saved and reopened.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "arx/gidisplay.h"
#include "png_image.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

std::string loadLines() {
  std::string lines;
  for (const char* module : {"lib/kestrum.arx", "tests/modules/lbc_module.so", "tests/modules/meshcon_module.so",
                             "tests/modules/att_module.so"})
    lines += "ARXLOAD " + kestrum::test::buildPath(module).string() + "\n";
  return lines;
}

// What a deck says about loads and restraints: the concentrated forces added up per degree of
// freedom and the number of restrained (node, dof) lines.
struct DeckSummary {
  std::map<int, double> force;
  int restrained = 0;
};

DeckSummary summarise(const std::filesystem::path& file) {
  DeckSummary summary;
  std::istringstream deck(kestrum::test::readFile(file));
  std::string line;
  std::string block;
  while (std::getline(deck, line)) {
    if (line.rfind("**", 0) == 0) continue;
    if (!line.empty() && line[0] == '*') {
      block = line.substr(0, line.find(','));
      continue;
    }
    long node = 0;
    int dof = 0;
    double value = 0.0;
    if (block == "*CLOAD" && std::sscanf(line.c_str(), "%ld, %d, %lf", &node, &dof, &value) == 3)
      summary.force[dof] += value;
    if (block == "*BOUNDARY" && std::sscanf(line.c_str(), "%ld, %d", &node, &dof) == 2) ++summary.restrained;
  }
  return summary;
}

// The plate's left face fixed in x, y and z; a total force of -1000 N in z on its right face.
const char kPlateSetUp[] =
    "PART plate_with_hole\n"
    "LBCMODEL Plate 0\n"
    "LBCLOADSET Loads\n"
    "LBCRESTSET Fixed\n"
    "CAEP_REST_TAB\n"
    "@check 1352 on\n"
    "@check 1353 on\n"
    "@check 1404 on\n"
    "@select 12320 Symbol\n"
    "@set IDC_SYMBOL_SIZE 10\n"
    "@select 12320 Geometry\n"
    "@click IDC_GEOM_FACE\n"
    "plate/plate/left\n"
    "@click IDOK\n"
    "CAEP_LOAD_TAB\n"
    "@select 1678 \"Total Force\"\n"
    "@set 1028 -1000\n"
    "@select 12320 Geometry\n"
    "@click IDC_GEOM_FACE\n"
    "plate/plate/right\n"
    "@click IDOK\n";

// "CAEP_MESH" on the plate's body (picked by an edge), size 20, generated at once.
#define MESH_THE_PLATE              \
  "CAEP_MESH\n"                     \
  "plate/hole1/side|plate/bottom\n" \
  "@set IDC_MESH_SIZE 20\n"         \
  "@check IDC_MESH_DEFER off\n"     \
  "@click IDOK\n"

const char kMeshAndDeck[] = MESH_THE_PLATE "ATTDECK first.inp\n";

// The text of each LIST, in order.
std::vector<std::string> listings(const std::string& output) {
  std::vector<std::string> found;
  for (std::size_t at = output.find("Objects of "); at != std::string::npos; at = output.find("Objects of ", at + 1)) {
    const std::size_t end = output.find("\nCommand", at);
    found.push_back(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return found;
}

TEST(AttScript, LoadsToDeck) {
  TempDir dir;
  // The second deck comes from the drawing saved, closed and opened again.
  const std::string script =
      loadLines() + kPlateSetUp + kMeshAndDeck +
      "PNGOUT loads.png 1,-1,1\n"
      "SAVEAS loads.dwg\nCLOSE\nOPEN loads.dwg\nLBCMODEL Plate 0\nLBCLOADSET Loads\nLBCRESTSET Fixed\nLIST\n"
      "ATTDECK reopened.inp\nQUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  // Green arrows on the right face, cyan restraint symbols on the left one (the size typed on the
  // restraint's Symbol page is the next sheet's default): each a few hundred pixels.
  AcGiImage image;
  ASSERT_TRUE(kestrum::test::readPng(dir / "loads.png", image)) << run.output;
  const kestrum::test::GreenCyanTally tally = kestrum::test::tallyGreenAndCyan(image);
  EXPECT_GT(tally.green, 100);
  EXPECT_GT(tally.cyan, 300);
  const std::vector<std::string> lists = listings(run.output);
  ASSERT_EQ(lists.size(), 1u) << run.output;
  EXPECT_NE(lists[0].find("CaepLbcEnt (2)"), std::string::npos) << lists[0];
  for (const char* deck : {"first.inp", "reopened.inp"}) {
    ASSERT_TRUE(std::filesystem::exists(dir / deck)) << run.output;
    const DeckSummary summary = summarise(dir / deck);
    EXPECT_NEAR(summary.force.count(3) ? summary.force.at(3) : 0.0, -1000.0, 1e-6) << deck;
    EXPECT_NEAR(summary.force.count(1) ? summary.force.at(1) : 0.0, 0.0, 1e-9) << deck;
    EXPECT_NEAR(summary.force.count(2) ? summary.force.at(2) : 0.0, 0.0, 1e-9) << deck;
    EXPECT_GT(summary.restrained, 0) << deck;
  }
}

// A heat-transfer model of the plate: a convection on the right face and a fixed temperature on
// the left one; a heat flux of 0 is refused and cancelled.
const char kHeat[] =
    "PART plate_with_hole\n"
    "LBCMODEL Plate 3\n"
    "LBCLOADSET Loads\n"
    "LBCRESTSET Fixed\n"
    "CAEP_THERM_TAB\n"
    "@set IDC_HEAT_VALUE 293.15\n"
    "@set IDC_HEAT_CONSTANT_VALUE 25\n"
    "@select 12320 Geometry\n"
    "@click IDC_GEOM_FACE\n"
    "plate/plate/right\n"
    "@click IDOK\n"
    "CAEP_THERM_TAB\n"
    "@select IDC_HEAT_TYPE \"Fixed Temperature\"\n"
    "@set IDC_HEAT_VALUE 373.15\n"
    "@select 12320 Geometry\n"
    "@click IDC_GEOM_FACE\n"
    "plate/plate/left\n"
    "@click IDOK\n"
    "CAEP_THERM_TAB\n"
    "@select IDC_HEAT_TYPE \"Heat Flux\"\n"
    "@select 12320 Geometry\n"
    "@click IDC_GEOM_FACE\n"
    "plate/plate/top\n"
    "@click IDOK\n"
    "@click IDOK\n"
    "@click IDCANCEL\n" MESH_THE_PLATE
    "ATTDECK heat.inp\n"
    "QUIT\nN\n";

// The lines of one block of a deck (the block's keyword line starts with `keyword`).
std::vector<std::string> blockLines(const std::string& deck, const std::string& keyword) {
  std::vector<std::string> lines;
  std::istringstream in(deck);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '*') {
      inside = line.rfind(keyword, 0) == 0;
      continue;
    }
    if (inside) lines.push_back(line);
  }
  return lines;
}

TEST(AttScript, HeatConditionsReachTheDeck) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, loadLines() + kHeat);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Please enter a non-zero value."), std::string::npos) << run.output;
  ASSERT_TRUE(std::filesystem::exists(dir / "heat.inp")) << run.output;
  const std::string deck = kestrum::test::readFile(dir / "heat.inp");
  const std::vector<std::string> films = blockLines(deck, "*FILM");
  ASSERT_FALSE(films.empty()) << deck;
  for (const std::string& film : films) EXPECT_NE(film.find(",293.15,25"), std::string::npos) << film;
  int fixed = 0;
  for (const std::string& line : blockLines(deck, "*BOUNDARY")) {
    long node = 0;
    int first = 0, last = 0;
    double value = 0.0;
    if (std::sscanf(line.c_str(), "%ld, %d, %d, %lf", &node, &first, &last, &value) == 4 && first == 11) {
      EXPECT_NEAR(value, 373.15, 1e-9) << line;
      ++fixed;
    }
  }
  EXPECT_GT(fixed, 0) << deck;
  EXPECT_TRUE(blockLines(deck, "*DFLUX").empty()) << deck;
}

// On the assembly the command proposes "Mating Relation 1"; the two picked faces are tied in the
// deck. A second command cancelled makes nothing.
const char kMating[] =
    "PART plate_and_bracket.asm\n"
    "LBCMODEL Assembly 0\n"
    "LBCLOADSET Loads\n"
    "LBCRESTSET Fixed\n"
    "CAEP_MATE_REL\n"
    "@show\n"
    "@click IDOK\n"
    "base/plate/top\n"
    "arm/base/bottom\n"
    "CAEP_MATE_REL\n"
    "@click IDCANCEL\n"
    "LBCCREATE 7 Fixed 0,0,0 000000 global 10 -1\n"
    "base/plate/left\n"
    "LBCCREATE 4 Pressure 0,0,2 000000 face 10 -1\n"
    "arm/upright/top\n"
    "CAEP_MESH\n"
    "base/hole1/side|plate/bottom\n"
    "@set IDC_MESH_SIZE 20\n"
    "@check IDC_MESH_DEFER off\n"
    "@click IDOK\n"
    "CAEP_MESH\n"
    "arm/base/bottom|base/left\n"
    "@set IDC_MESH_SIZE 20\n"
    "@check IDC_MESH_DEFER off\n"
    "@click IDOK\n"
    "ATTDECK tied.inp\n"
    "QUIT\nN\n";

TEST(AttScript, MatingRelationTiesThePickedFacesInTheDeck) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, loadLines() + kMating);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("edit 1001 \"Mating Relation 1\""), std::string::npos) << run.output;
  ASSERT_TRUE(std::filesystem::exists(dir / "tied.inp")) << run.output;
  const std::string deck = kestrum::test::readFile(dir / "tied.inp");
  EXPECT_EQ(kestrum::test::countOf(deck, "*TIE,"), 1) << deck;
  EXPECT_FALSE(blockLines(deck, "*SURFACE, NAME=TS1").empty()) << deck;
  EXPECT_FALSE(blockLines(deck, "*SURFACE, NAME=TM1").empty()) << deck;
}

// U right after the command takes the load back out of the drawing; REDO brings it back.
TEST(AttScript, UndoRemovesTheLoadJustAdded) {
  TempDir dir;
  const std::string script = loadLines() +
                             "PART plate_with_hole\nLBCMODEL Plate 0\nLBCLOADSET Loads\nLBCRESTSET Fixed\n"
                             "CAEP_LOAD_TAB\n"
                             "@select 1678 \"Total Force\"\n"
                             "@set 1028 -1000\n"
                             "@select 12320 Geometry\n"
                             "@click IDC_GEOM_FACE\n"
                             "plate/plate/right\n"
                             "@click IDOK\n"
                             "LIST\nU\nLIST\nREDO\nLIST\nQUIT\nN\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lists = listings(run.output);
  ASSERT_EQ(lists.size(), 3u) << run.output;
  EXPECT_NE(lists[0].find("CaepLbcEnt (1)"), std::string::npos) << lists[0];
  EXPECT_EQ(lists[1].find("CaepLbcEnt"), std::string::npos) << lists[1];
  EXPECT_NE(lists[2].find("CaepLbcEnt (1)"), std::string::npos) << lists[2];
}

}  // namespace
