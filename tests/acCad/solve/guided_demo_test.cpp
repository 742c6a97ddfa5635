// The guided examples in the host program: a beginner's stress study of the sample plate walked
// through the guide's steps, each step's wizard driven by "@" lines, solved for real, and its
// peak stress compared with the same study run by the study tool.
//
// The Analyze step runs its own wizard: the shipped material, the solid picked, the element size,
// Finish. The studies mesh with the same controls (curvature scaling off, as the wizard sets it).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Study.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

// A shipped demo script with the build folder filled in, as ./run demo prepares it.
std::string ShippedDemo(const std::string& name) {
  const std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/" + name));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  return std::regex_replace(script, std::regex("@BUILD@"), build);
}

// Runs a shipped study in `dir`; fails the test when it cannot be read or solved.
void RunShippedStudy(const std::string& name, const TempDir& dir, study::Summary& solved) {
  const auto file = kestrum::test::sourcePath("data/studies/" + name);
  auto description = study::ParseStudy(kestrum::test::readFile(file), file);
  ASSERT_TRUE(description) << description.problem().Describe();
  auto run = study::Run(*description, dir / "study");
  ASSERT_TRUE(run) << run.problem().Describe();
  solved = *run;
}

// The maximum of a quantity's line in the summary ("Von Mises: minimum a ... maximum b").
double SummaryMaximum(const std::string& summary, const std::string& line) {
  const std::size_t at = summary.find(line);
  if (at == std::string::npos) return std::nan("");
  const std::size_t value = summary.find("maximum ", at);
  return value == std::string::npos ? std::nan("") : std::stod(summary.substr(value + 8));
}

// The minimum of a quantity's line in the summary.
double SummaryMinimum(const std::string& summary, const std::string& line) {
  const std::size_t at = summary.find(line);
  if (at == std::string::npos) return std::nan("");
  const std::size_t value = summary.find("minimum ", at);
  return value == std::string::npos ? std::nan("") : std::stod(summary.substr(value + 8));
}

// The numbers of the first row under "Material: NAME" in a library file; empty when absent.
std::vector<double> FirstLibraryRow(const std::string& library, const std::string& name) {
  const std::string header = "Material: " + name + "\n";
  const std::size_t at = library.find(header);
  if (at == std::string::npos) return {};
  const std::size_t start = at + header.size();
  std::istringstream row(library.substr(start, library.find('\n', start) - start));
  std::vector<double> values;
  for (double value = 0; row >> value;) values.push_back(value);
  return values;
}

// The tab strip of the guide titled `guide` printed by the first "@show" after the line `after`
// (searched from `from`).
std::string GuideTabsAfter(const std::string& out, const std::string& after, std::size_t& from,
                           const std::string& guide = "Stress Wizard") {
  const std::size_t line = out.find("Command: " + after, from);
  if (line == std::string::npos) return std::string();
  const std::size_t shown = out.find("dialog \"" + guide + "\"", line);
  const std::size_t tabs = out.find("tab 12320", shown);
  if (shown == std::string::npos || tabs == std::string::npos) return std::string();
  from = tabs;
  return out.substr(tabs, out.find('\n', tabs) - tabs);
}

constexpr char kAllMarked[] =
    "tab 12320 \"\" [Introduction (image 0)|1. Problem Definition (image 1)|2. Units (image 2)|3. Loads (image 3)|"
    "4. Restraints (image 4)|5. Mating Relations (image 5)|6. Analyze (image 6)|*7. Results Processing (image 7)]";

TEST(GuidedDemo, TheStressGuideSolvesThePlateAsTheStudyDoesAndKeepsItsMarksPerDrawing) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, ShippedDemo("guided_stress.scr"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  EXPECT_EQ(out.find("General Error"), std::string::npos) << out;
  EXPECT_EQ(out.find("; ignored"), std::string::npos) << "every line reached its window\n" << out;

  // The Results step runs the design doctor on the job just solved.
  EXPECT_NE(out.find("[Kestrum Execution|*Meshing Error|Yield Stress(es)|Factor Of Safety/Animation]"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("window \"Results Processor\""), std::string::npos) << out;

  // The summary is in the units the Units step chose (SI, metres); the study works in metres.
  const std::string summary = kestrum::test::readFile(dir / "guided-stress.txt");
  ASSERT_FALSE(summary.empty()) << out;
  EXPECT_NE(summary.find("Length unit: m\n"), std::string::npos) << summary;
  EXPECT_NE(summary.find("Face Total Force (1000, 0, 0) N on face"), std::string::npos) << summary;
  EXPECT_NE(summary.find("SubModel 1: S275"), std::string::npos) << summary;
  study::Summary solved;
  ASSERT_NO_FATAL_FAILURE(RunShippedStudy("plate_hole_guided.study", dir, solved));
  const double vonMises = SummaryMaximum(summary, "Von Mises:");
  const double displacement = SummaryMaximum(summary, "Magnitude:");
  EXPECT_NEAR(displacement, solved.maxDisplacement, 0.01 * solved.maxDisplacement) << summary;
  EXPECT_NEAR(vonMises, solved.maxVonMises, 0.01 * solved.maxVonMises) << summary;

  // Every step is marked; a new drawing has marks of its own, and back in the first all return.
  std::size_t from = 0;
  EXPECT_EQ(GuideTabsAfter(out, "CAEP_WRITE_SUMMARY", from), kAllMarked);
  const std::string other = GuideTabsAfter(out, "NEW", from);
  EXPECT_FALSE(other.empty()) << out;
  EXPECT_EQ(other.find("(image"), std::string::npos) << other;
  EXPECT_EQ(GuideTabsAfter(out, "CLOSE", from), kAllMarked);
}

// The heat guide: a convection on the right end and a fixed temperature on the left, a new
// material made in a scratch copy of the library through the options sheet's material page and
// chosen on the analyze wizard's library page, solved, and compared with the same study.
TEST(GuidedDemo, TheHeatGuideFilesItsNewMaterialInSIAndMatchesTheStudysTemperatures) {
  TempDir dir;
  std::filesystem::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), dir / "guided-heat.mat");
  const ProgramRun run = kestrum::test::runHostScript(dir, ShippedDemo("guided_heat.scr"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  EXPECT_EQ(out.find("General Error"), std::string::npos) << out;
  EXPECT_EQ(out.find("; ignored"), std::string::npos) << "every line reached its window\n" << out;
  EXPECT_NE(out.find("[Kestrum Execution|*Meshing Error|Temperature Range/Animation]"), std::string::npos) << out;

  // The new material is in the scratch library, in SI: E, nu, density, expansion, ultimate,
  // yield, conductivity, specific heat, temperature (K).
  const std::vector<double> row = FirstLibraryRow(kestrum::test::readFile(dir / "guided-heat.mat"), "GuidedAlloy");
  const std::vector<double> typed = {7e10, 0.33, 2700, 2.3e-5, 3e8, 2.5e8, 160, 900, 293.15};
  ASSERT_EQ(row.size(), typed.size());
  for (std::size_t i = 0; i < typed.size(); ++i) EXPECT_NEAR(row[i], typed[i], 1e-6 * typed[i]) << "value " << i;

  const std::string summary = kestrum::test::readFile(dir / "guided-heat.txt");
  ASSERT_FALSE(summary.empty()) << out;
  EXPECT_NE(summary.find("Face Convection film coefficient 25, ambient 293.15 degK"), std::string::npos) << summary;
  EXPECT_NE(summary.find("SubModel 1: GuidedAlloy"), std::string::npos) << summary;
  study::Summary solved;
  ASSERT_NO_FATAL_FAILURE(RunShippedStudy("plate_hole_guided_heat.study", dir, solved));
  const double low = SummaryMinimum(summary, "Temperature:");
  const double high = SummaryMaximum(summary, "Temperature:");
  const double range = solved.maxTemperature - solved.minTemperature;
  ASSERT_GT(range, 1.0);
  EXPECT_NEAR(high, solved.maxTemperature, 0.01 * range) << summary;
  EXPECT_NEAR(high - low, range, 0.01 * range) << summary;

  std::size_t from = 0;
  EXPECT_EQ(GuideTabsAfter(out, "CAEP_WRITE_SUMMARY", from, "Heat Transfer Wizard"), kAllMarked);
}

}  // namespace
