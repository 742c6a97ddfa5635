// Solving in the host program, driven by scripts through the add-in's "CAEP_ANALYZE" and "@" lines:
// the shipped solve example against the same study run by the study tool, the execution modes and
// the failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "Study.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;
const auto runScript = kestrum::test::runHostScript;

// The shipped script with the build folder filled in, as ./run demo prepares it.
std::string ShippedScript() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/solve_plate.scr"));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  return std::regex_replace(script, std::regex("@BUILD@"), build);
}

// The value printed after `label` ("Maximum displacement: "), or NaN.
double Printed(const std::string& output, const std::string& label) {
  const std::size_t at = output.find(label);
  return at == std::string::npos ? std::nan("") : std::stod(output.substr(at + label.size()));
}

// The drawing is in millimetres: the shown maxima are in mm and N/mm^2.
constexpr double kMetresPerMillimetre = 1e-3;
constexpr double kPascalsPerMegapascal = 1e6;

// The example solves the plate through "CAEP_ANALYZE" and the host's WAIT; the study tool solves
// the same part, conditions and element size in metres. The peak stress sits at the clamped
// corners, where the stress has no finite limit and follows the mesh: it agrees only because the
// drawing's millimetre part gets the same mesh as the study's metre part.
TEST(SolveScript, TheShippedExampleMatchesTheSameStudy) {
  TempDir dir;
  const ProgramRun run = runScript(dir, ShippedScript());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("completed."), std::string::npos) << run.output;
  const double displacement = Printed(run.output, "Maximum displacement: ");
  const double vonMises = Printed(run.output, "Maximum von Mises stress: ");

  const auto studyFile = kestrum::test::sourcePath("data/studies/plate_hole_static.study");
  auto description = study::ParseStudy(kestrum::test::readFile(studyFile), studyFile);
  ASSERT_TRUE(description) << description.problem().Describe();
  auto summary = study::Run(*description, dir / "study");
  ASSERT_TRUE(summary) << summary.problem().Describe();
  EXPECT_NEAR(displacement * kMetresPerMillimetre, summary->maxDisplacement, 0.01 * summary->maxDisplacement)
      << run.output;
  EXPECT_NEAR(vonMises * kPascalsPerMegapascal, summary->maxVonMises, 0.01 * summary->maxVonMises) << run.output;
  EXPECT_GT(std::filesystem::file_size(dir / "solve-plate.png"), 1000u);
}

// A model the engine refuses (nothing holds the plate): the engine's reason in a box, no job.
TEST(SolveScript, AModelWithoutRestraintsIsRefusedWithTheEnginesReasonAndLeavesNoJob) {
  TempDir dir;
  std::string script = ShippedScript();
  const std::size_t restraint = script.find("LBCCREATE 7");
  const std::size_t afterPick = script.find('\n', script.find('\n', restraint) + 1);
  script.erase(restraint, afterPick + 1 - restraint);
  const ProgramRun run = runScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("This model does not contain any restraints."), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("No submitted job."), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Maximum displacement"), std::string::npos) << run.output;
}

// Points the host run at a configuration file of its own for the test's lifetime.
class OwnConfiguration {
 public:
  OwnConfiguration(const std::filesystem::path& file, const std::string& text) {
    if (const char* previous = std::getenv("KESTRUM_CONFIG")) previous_ = previous;
    std::ofstream(file) << text;
    setenv("KESTRUM_CONFIG", file.c_str(), 1);
  }
  ~OwnConfiguration() {
    if (previous_.empty())
      unsetenv("KESTRUM_CONFIG");
    else
      setenv("KESTRUM_CONFIG", previous_.c_str(), 1);
  }
  OwnConfiguration(const OwnConfiguration&) = delete;
  OwnConfiguration& operator=(const OwnConfiguration&) = delete;

 private:
  std::string previous_;
};

// A "Solver Program" that prints an error and exits with a failure: the job is listed Failed, the
// box gives the solver's own words, and no result set is made from it.
TEST(SolveScript, AFailingSolverLeavesAFailedJobWithTheSolversReasonAndNoResults) {
  TempDir dir;
  const std::filesystem::path solver = dir / "failing-solver";
  std::ofstream(solver) << "#!/bin/sh\necho ' *ERROR in calinput: the material STEEL is not defined'\nexit 201\n";
  std::filesystem::permissions(solver, std::filesystem::perms::owner_all);
  OwnConfiguration configuration(dir / "kestrum.ini", "[User]\nSolver Program=" + solver.string() + "\n");
  std::string script = ShippedScript();
  const std::size_t at = script.find("SOLVESHOW\n");
  ASSERT_NE(at, std::string::npos);
  script = script.substr(0, at) + "@show\nQUIT\nN\n";
  const ProgramRun run = runScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("The analysis PlateJob1 failed: the solver reported an error (exit code 201): *ERROR in "
                            "calinput: the material STEEL is not defined"),
            std::string::npos)
      << run.output;
  const std::string tree = run.output.substr(run.output.rfind("Command: @show"));
  EXPECT_NE(tree.find("Analysis Job PlateJob1: Failed"), std::string::npos) << tree;
  EXPECT_EQ(tree.find("Completed"), std::string::npos) << tree;
  EXPECT_EQ(tree.find("[icon 105]"), std::string::npos) << "no result set\n" << tree;
}

}  // namespace

namespace {

// The text between `from` and the next "Command:" line of the host's output.
std::string Section(const std::string& output, const std::string& from, std::size_t start = 0) {
  const std::size_t at = output.find(from, start);
  if (at == std::string::npos) return "";
  const std::size_t end = output.find("Command:", at + from.size());
  return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace

// WAIT lasts until the Explorer's poll has shown the job's end; a double click on the finished
// job reads its results into a set made current and shows them; U brings the job back, the set
// goes and the load and restraint sets keep their conditions in the tree.
TEST(SolveScript, AFinishedJobOpensFromTheExplorerAndUndoBringsItBack) {
  TempDir dir;
  std::string script = ShippedScript();
  const std::string tail = "SOLVESHOW\n";
  const std::size_t at = script.find(tail);
  ASSERT_NE(at, std::string::npos);
  script = script.substr(0, at) +
           "@show\n"
           "@dblclick 1198 \"Analysis Job PlateJob1: Completed\"\n"
           "@show\n"
           "WINDOWS png \"Results Processor\" opened.png\n"
           "U\n"
           "@show\n"
           "QUIT\nN\n";
  const ProgramRun run = runScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::size_t waited = run.output.find("Command: WAIT");
  ASSERT_NE(waited, std::string::npos) << run.output;
  const std::string afterWait = Section(run.output, "Command: @show", waited);
  EXPECT_NE(afterWait.find("Analysis Job PlateJob1: Completed"), std::string::npos) << run.output;

  const std::size_t clicked = run.output.find("Command: @dblclick");
  const std::string opened = Section(run.output, "Command: @show", clicked);
  EXPECT_EQ(opened.find("Analysis Job PlateJob1"), std::string::npos) << opened;
  EXPECT_NE(opened.find("*PlateStress*"), std::string::npos) << opened;
  EXPECT_GT(std::filesystem::file_size(dir / "opened.png"), 1000u);

  const std::size_t undone = run.output.find("Command: U");
  ASSERT_NE(undone, std::string::npos) << run.output;
  const std::string back = Section(run.output, "Command: @show", undone);
  EXPECT_NE(back.find("Analysis Job PlateJob1: Completed"), std::string::npos) << back;
  EXPECT_EQ(back.find("PlateStress"), std::string::npos) << back;
  // The sets the undo restored still list their conditions ("+": a collapsed item with children).
  EXPECT_NE(back.find("+Loads*"), std::string::npos) << back;
  EXPECT_NE(back.find("+Fixed*"), std::string::npos) << back;
}
