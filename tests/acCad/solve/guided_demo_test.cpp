// The guided examples in the host program: a beginner's stress study of the sample plate walked
// through the guide's steps, each step's wizard driven by "@" lines, solved for real, and its
// peak stress compared with the same study run by the study tool.
//
// The Analyze step still opens the mesh sheet and then the analysis sheet (the step's own wizard
// is not part of the system yet): the script answers those sheets with the same steel, element
// size and mesh controls the step's wizard will offer.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

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

// The maximum of a quantity's line in the summary ("Von Mises: minimum a ... maximum b").
double SummaryMaximum(const std::string& summary, const std::string& line) {
  const std::size_t at = summary.find(line);
  if (at == std::string::npos) return std::nan("");
  const std::size_t value = summary.find("maximum ", at);
  return value == std::string::npos ? std::nan("") : std::stod(summary.substr(value + 8));
}

// The guide's tab strip printed by the first "@show" after the line `after` (searched from `from`).
std::string GuideTabsAfter(const std::string& out, const std::string& after, std::size_t& from) {
  const std::size_t line = out.find("Command: " + after, from);
  if (line == std::string::npos) return std::string();
  const std::size_t shown = out.find("dialog \"Stress Wizard\"", line);
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
  EXPECT_NE(summary.find("SubModel1: S275"), std::string::npos) << summary;
  const auto studyFile = kestrum::test::sourcePath("data/studies/plate_hole_guided.study");
  auto description = study::ParseStudy(kestrum::test::readFile(studyFile), studyFile);
  ASSERT_TRUE(description) << description.problem().Describe();
  auto solved = study::Run(*description, dir / "study");
  ASSERT_TRUE(solved) << solved.problem().Describe();
  const double vonMises = SummaryMaximum(summary, "Von Mises:");
  const double displacement = SummaryMaximum(summary, "Magnitude:");
  EXPECT_NEAR(displacement, solved->maxDisplacement, 0.01 * solved->maxDisplacement) << summary;
  // The drawing's body and the study's part mesh differently at the same settings (2892 against
  // 3530 nodes), and the peak at the hole follows the mesh: 3.1 % apart when last measured.
  EXPECT_NEAR(vonMises, solved->maxVonMises, 0.05 * solved->maxVonMises) << summary;

  // Every step is marked; a new drawing has marks of its own, and back in the first all return.
  std::size_t from = 0;
  EXPECT_EQ(GuideTabsAfter(out, "CAEP_WRITE_SUMMARY", from), kAllMarked);
  const std::string other = GuideTabsAfter(out, "NEW", from);
  EXPECT_FALSE(other.empty()) << out;
  EXPECT_EQ(other.find("(image"), std::string::npos) << other;
  EXPECT_EQ(GuideTabsAfter(out, "CLOSE", from), kAllMarked);
}

}  // namespace
