// The guide's Analyze step in the host program, driven by the shipped "@" script: the analyze
// wizard takes the library's steel, meshes the picked solid at the typed size, submits the study,
// and after WAIT the job's results agree with the same study run by the study tool; the step's
// tab is marked. Cancel on the element-size page leaves the drawing without a mesh.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "Study.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

std::string ShippedScript() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/guided_analyze.scr"));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  return std::regex_replace(script, std::regex("@BUILD@"), build);
}

// The shipped script up to (not including) the line that starts with `line`, then `tail`.
std::string ShippedUpTo(const std::string& line, const std::string& tail) {
  const std::string script = ShippedScript();
  const std::size_t at = script.find("\n" + line);
  return at == std::string::npos ? std::string() : script.substr(0, at + 1) + tail;
}

// The maximum of a quantity's line in the summary ("Von Mises: minimum a ... maximum b").
double SummaryMaximum(const std::string& summary, const std::string& line) {
  const std::size_t at = summary.find(line);
  if (at == std::string::npos) return std::nan("");
  const std::size_t maximum = summary.find("maximum ", at);
  return maximum == std::string::npos ? std::nan("") : std::stod(summary.substr(maximum + 8));
}

constexpr double kMetresPerMillimetre = 1e-3;
constexpr double kPascalsPerMegapascal = 1e6;

TEST(WizardAnalyzeScript, TheGuidesAnalyzeStepSolvesTheSameStudyAndMarksItsTab) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, ShippedScript());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  // The element-size page offers the engine's estimate in the drawing's millimetres.
  EXPECT_NE(run.output.find("page 145 \"Select an Element Size\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("static 1272 \"mm\""), std::string::npos) << run.output;
  const std::size_t guide = run.output.find("dialog \"Stress Wizard\"", run.output.find("Command: WAIT"));
  ASSERT_NE(guide, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("6. Analyze (image 6)", guide), std::string::npos) << run.output.substr(guide, 400);

  const std::string summary = kestrum::test::readFile(dir / "guided-analyze.txt");
  ASSERT_FALSE(summary.empty()) << run.output;
  EXPECT_NE(summary.find("SubModel 1: S275"), std::string::npos) << summary;
  EXPECT_NE(summary.find("Pull: Face Total Force (1000, 0, 0) N on face"), std::string::npos) << summary;
  const auto studyFile = kestrum::test::sourcePath("data/studies/plate_hole_guided.study");
  auto description = study::ParseStudy(kestrum::test::readFile(studyFile), studyFile);
  ASSERT_TRUE(description) << description.problem().Describe();
  auto solved = study::Run(*description, dir / "study");
  ASSERT_TRUE(solved) << solved.problem().Describe();
  const double displacement = SummaryMaximum(summary, "Magnitude:");
  const double vonMises = SummaryMaximum(summary, "Von Mises:");
  EXPECT_NEAR(displacement * kMetresPerMillimetre, solved->maxDisplacement, 0.01 * solved->maxDisplacement) << summary;
  // The study meshes with the wizard's controls, so the peak at the hole agrees closely.
  EXPECT_NEAR(vonMises * kPascalsPerMegapascal, solved->maxVonMises, 0.01 * solved->maxVonMises) << summary;
}

// A line naming a solid where an edge is asked for gives the pick's reason and the question again.
TEST(WizardAnalyzeScript, AWrongPickIsAskedAgainAndCancelOnTheElementSizePageLeavesNoMeshAndNoMark) {
  TempDir dir;
  std::string script = ShippedUpTo("@set IDC_AMG_ELEM_SIZE",
                                   "@click IDCANCEL\n@window \"Stress Wizard\"\n@show\n"
                                   "CAEP_EXPLORER\n@show\n@click IDCANCEL\nQUIT\nN\n");
  const std::size_t edge = script.find("plate/hole1/side|plate/bottom\n");
  ASSERT_NE(edge, std::string::npos);
  script.insert(edge, "plate\n");
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::size_t refused = run.output.find("plate is a part, not a edge.");
  ASSERT_NE(refused, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Select geometry (solid):plate/hole1/side|plate/bottom", refused), std::string::npos)
      << run.output;
  const std::size_t guide = run.output.find("dialog \"Stress Wizard\"", run.output.find("@click IDCANCEL"));
  ASSERT_NE(guide, std::string::npos) << run.output;
  const std::string tabs = run.output.substr(guide, run.output.find('\n', run.output.find("tab 12320", guide)) - guide);
  EXPECT_NE(tabs.find("|*6. Analyze|"), std::string::npos) << tabs;
  EXPECT_EQ(tabs.find("6. Analyze (image 6)"), std::string::npos) << tabs;
  const std::size_t tree = run.output.find("dialog 234", guide);
  ASSERT_NE(tree, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("SubModel", tree), std::string::npos) << run.output.substr(tree);
}

}  // namespace
