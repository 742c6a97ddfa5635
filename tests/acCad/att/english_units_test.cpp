// A model set up in inches and pounds through the sheets: the column of the sample parts (20 x 20
// x 1000 in) fixed at its foot, a total force typed in lbf on its head, meshed with the library's
// first material, solved. The deck holds the force in newtons; the head sinks by P L / (E A),
// shown in inches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "test_env.h"

namespace {

namespace fs = std::filesystem;
using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

constexpr double kForceLbf = -10000.0;
constexpr double kLengthIn = 1000.0, kSideIn = 20.0;
constexpr double kPascalsPerPsi = 6894.757293168361;
constexpr double kNewtonsPerPoundForce = 4.4482216152605;

std::string Script() {
  std::string lines;
  for (const char* module : {"lib/kestrum.arx", "tests/modules/solve_module.so", "tests/modules/lbc_module.so",
                             "tests/modules/meshcon_module.so", "tests/modules/att_module.so"})
    lines += "ARXLOAD " + kestrum::test::buildPath(module).string() + "\n";
  char force[32];
  std::snprintf(force, sizeof force, "%g", kForceLbf);
  return lines +
         "PART column\n"
         "SOLVEUNIT\n"
         "@select IDC_DRAWING_UNIT inch\n"
         "@click IDOK\n"
         "CAEP_MODEL\n"
         "@click IDOK\n"
         "CAEP_SETUP_TAB\n"
         "@select IDC_SHEET_TABS Units\n"
         "@click IDC_UNITS_ENGLISH\n"
         "@click IDOK\n"
         "CAEP_REST_TAB\n"
         "@check 1352 on\n"
         "@check 1353 on\n"
         "@check 1404 on\n"
         "@select 12320 Geometry\n"
         "@click IDC_GEOM_FACE\n"
         "column/shaft/bottom\n"
         "@click IDOK\n"
         "CAEP_LOAD_TAB\n"
         "@select 1678 \"Total Force\"\n"
         "@set 1028 " +
         std::string(force) +
         "\n"
         "@select 12320 Geometry\n"
         "@click IDC_GEOM_FACE\n"
         "column/shaft/top\n"
         "@click IDOK\n"
         "CAEP_MESH\n"
         "column/shaft/front|shaft/top\n"
         "@set IDC_MESH_SIZE 10\n"
         "@check IDC_MESH_DEFER off\n"
         "@click IDOK\n"
         "ATTDECK column.inp\n"
         "CAEP_ANALYZE\n"
         "@select 12320 Options\n"
         "@click IDOK\n"
         "WAIT\n"
         "SOLVESHOW\n"
         "QUIT\nN\n";
}

// What the deck (SI) says: Young's modulus (the first value under *ELASTIC, Pa) and the
// concentrated loads added up along z (N).
struct DeckFigures {
  double modulus = std::nan("");
  double forceZ = 0.0;
};

DeckFigures ReadDeck(const fs::path& file) {
  DeckFigures figures;
  std::istringstream deck(kestrum::test::readFile(file));
  std::string line, block;
  while (std::getline(deck, line)) {
    if (line.rfind("**", 0) == 0) continue;
    if (!line.empty() && line[0] == '*') {
      block = line.substr(0, line.find(','));
      continue;
    }
    long node = 0;
    int dof = 0;
    double value = 0.0;
    if (block == "*ELASTIC" && std::isnan(figures.modulus)) figures.modulus = std::stod(line);
    if (block == "*CLOAD" && std::sscanf(line.c_str(), "%ld, %d, %lf", &node, &dof, &value) == 3 && dof == 3)
      figures.forceZ += value;
  }
  return figures;
}

TEST(EnglishUnitsScript, AColumnLoadedInPoundsSinksByTheClosedFormInInches) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, Script());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  ASSERT_NE(run.output.find("completed."), std::string::npos) << run.output;
  const std::string label = "Maximum displacement: ";
  const std::size_t at = run.output.find(label);
  ASSERT_NE(at, std::string::npos) << run.output;
  std::istringstream shown(run.output.substr(at + label.size()));
  double displacement = 0.0;
  std::string unit;
  shown >> displacement >> unit;
  EXPECT_EQ(unit, "in") << run.output;

  // The force typed in pounds reached the deck in newtons.
  const DeckFigures deck = ReadDeck(dir / "column.inp");
  EXPECT_NEAR(deck.forceZ, kForceLbf * kNewtonsPerPoundForce, 1e-6 * std::fabs(kForceLbf * kNewtonsPerPoundForce));
  ASSERT_TRUE(std::isfinite(deck.modulus)) << run.output;
  const double modulusPsi = deck.modulus / kPascalsPerPsi;
  const double expected = std::fabs(kForceLbf) * kLengthIn / (modulusPsi * kSideIn * kSideIn);
  // The clamped foot holds the Poisson contraction over about one side length: well under 1 %.
  EXPECT_NEAR(displacement, expected, 0.01 * expected) << run.output;
}

}  // namespace
