// Solving in the host program, driven by scripts through the add-in's commands and "@" lines: the
// shipped solve example (simulation model, mesh, restraint and load sheets, "CAEP_ANALYZE", the
// job opened from the Explorer, the summary) against the same study run by the study tool, the
// execution modes and the failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "Study.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;
const auto runScript = kestrum::test::runHostScript;

// A shipped script with the build folder filled in, as ./run demo prepares it.
std::string ShippedScript(const std::string& file = "data/demo/solve_plate.scr") {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath(file));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  return std::regex_replace(script, std::regex("@BUILD@"), build);
}

// The shipped script up to (not including) the line that starts with `line`, then `tail`.
std::string ShippedUpTo(const std::string& line, const std::string& tail) {
  const std::string script = ShippedScript();
  const std::size_t at = script.find("\n" + line);
  return at == std::string::npos ? std::string() : script.substr(0, at + 1) + tail;
}

// The number after `label` in `text`, or NaN.
double After(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  return at == std::string::npos ? std::nan("") : std::stod(text.substr(at + label.size()));
}

// The maximum of a quantity's line in the summary's text ("Von Mises: minimum a ... maximum b").
double SummaryMaximum(const std::string& summary, const std::string& line) {
  const std::size_t at = summary.find(line);
  return at == std::string::npos ? std::nan("") : After(summary.substr(at), "maximum ");
}

// The text between `from` and the next "Command:" line of the host's output, searched from `start`.
std::string Section(const std::string& output, const std::string& from, std::size_t start = 0) {
  const std::size_t at = output.find(from, start);
  if (at == std::string::npos) return "";
  const std::size_t end = output.find("Command:", at + from.size());
  return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The drawing is in millimetres: the summary's maxima are in mm and N/mm^2.
constexpr double kMetresPerMillimetre = 1e-3;
constexpr double kPascalsPerMegapascal = 1e6;

// The example makes the model, mesh, restraint and load with their dialogs, solves through
// "CAEP_ANALYZE" and the host's WAIT, opens the job from the Explorer and writes the summary; the
// study tool solves the same part, conditions and element size in metres. The peak stress sits
// at the hole, where it follows the mesh: it agrees only because the drawing's millimetre part
// gets the same mesh as the study's metre part. The study's mesh follows curvature at the engine's
// 0.5 rad per element, so the example turns the sheet's curvature scaling on at that angle in
// degrees (28.6479); the sheet's size bounds do not change this mesh.
TEST(SolveScript, TheShippedExampleMatchesTheSameStudy) {
  TempDir dir;
  const ProgramRun run = runScript(dir, ShippedScript());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  const std::string summary = kestrum::test::readFile(dir / "solve-plate.txt");
  ASSERT_FALSE(summary.empty()) << run.output;
  EXPECT_NE(summary.find("Young's modulus 210000 N/mm^2"), std::string::npos) << summary;
  EXPECT_NE(summary.find("Pull: Face Total Force (1000, 0, 0) N on face"), std::string::npos) << summary;
  EXPECT_NE(summary.find("Fixed: Face Restraint fixed X Y Z on face"), std::string::npos) << summary;
  const double displacement = SummaryMaximum(summary, "Magnitude:");
  const double vonMises = SummaryMaximum(summary, "Von Mises:");

  const auto studyFile = kestrum::test::sourcePath("data/studies/plate_hole_static.study");
  auto description = study::ParseStudy(kestrum::test::readFile(studyFile), studyFile);
  ASSERT_TRUE(description) << description.problem().Describe();
  auto solved = study::Run(*description, dir / "study");
  ASSERT_TRUE(solved) << solved.problem().Describe();
  EXPECT_NEAR(displacement * kMetresPerMillimetre, solved->maxDisplacement, 0.01 * solved->maxDisplacement) << summary;
  EXPECT_NEAR(vonMises * kPascalsPerMegapascal, solved->maxVonMises, 0.01 * solved->maxVonMises) << summary;
  EXPECT_GT(std::filesystem::file_size(dir / "solve-plate.png"), 1000u);
  EXPECT_GT(std::filesystem::file_size(dir / "solve-plate-results.png"), 1000u);
}

// A model the engine refuses (nothing holds the plate): the engine's reason in a box, no job.
TEST(SolveScript, AModelWithoutRestraintsIsRefusedWithTheEnginesReasonAndLeavesNoJob) {
  TempDir dir;
  std::string script = ShippedUpTo("WAIT", "@click IDOK\n@show\nQUIT\nN\n");
  const std::size_t restraint = script.find("CAEP_REST_TAB\n");
  const std::size_t load = script.find("CAEP_LOAD_TAB\n");
  ASSERT_LT(restraint, load);
  script.erase(restraint, load - restraint);
  const ProgramRun run = runScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("This model does not contain any restraints."), std::string::npos) << run.output;
  const std::string tree = Section(run.output, "Command: @show");
  EXPECT_NE(tree.find("Plate"), std::string::npos) << tree;
  EXPECT_EQ(tree.find("Analysis Job"), std::string::npos) << tree;
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

// A "Solver Program" of the test's own (a shell script) in a configuration of its own, with the
// scratch folder inside the test's folder.
class OwnSolver {
 public:
  OwnSolver(const TempDir& dir, const std::string& body)
      : program_(dir / "solver.sh"),
        configuration_(dir / "kestrum.ini", "[User]\nSolver Program=" + program_.string() +
                                                "\nScratch Directory=" + (dir / "scratch").string() + "\n") {
    std::filesystem::create_directories(dir / "scratch");
    std::ofstream(program_) << "#!/bin/sh\n" << body;
    std::filesystem::permissions(program_, std::filesystem::perms::owner_all);
  }

 private:
  std::filesystem::path program_;
  OwnConfiguration configuration_;
};

// A "Solver Program" that prints an error and exits with a failure: the job is listed Failed, the
// box gives the solver's own words, and no result set is made from it.
TEST(SolveScript, AFailingSolverLeavesAFailedJobWithTheSolversReasonAndNoResults) {
  TempDir dir;
  OwnSolver solver(dir, "echo ' *ERROR in calinput: the material STEEL is not defined'\nexit 201\n");
  const ProgramRun run = runScript(dir, ShippedUpTo("CAEP_EXPLORER", "@click IDOK\n@show\nQUIT\nN\n"));
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

// ---- execution modes ----

// The lines of "CAEP_ANALYZE" with the Execution page's `execution` lines, then the outputs asked
// by the Options page and OK.
std::string Analyze(const std::string& execution) {
  return "CAEP_ANALYZE\n@select IDC_SHEET_TABS Execution\n" + execution +
         "@select IDC_SHEET_TABS Options\n@click IDOK\n";
}

// The solver the tests run: notes the second it starts in `started`, waits `seconds`, then runs
// the real solver.
std::string NotingSolver(const std::filesystem::path& started, int seconds) {
  return "date +%s > '" + started.string() + "'\nsleep " + std::to_string(seconds) + "\nexec ccx \"$@\"\n";
}

// The file a solver of `NotingSolver` wrote; -1 when it never started.
long long StartSecond(const std::filesystem::path& started) {
  const std::string text = kestrum::test::readFile(started);
  return text.empty() ? -1 : std::stoll(text);
}

// Deck only: the deck is written at exactly the chosen path, nothing else is made and no solver
// starts; the job is listed as not run.
TEST(SolveScript, ManualExecutionWritesTheChosenDeckAndStartsNothing) {
  TempDir dir;
  OwnSolver solver(dir, NotingSolver(dir / "started", 0));
  const std::string deck = (dir / "plate.dat").string();
  const ProgramRun run = runScript(
      dir, ShippedUpTo("CAEP_ANALYZE", Analyze("@check IDC_EXEC_MANUAL on\n@set IDC_EXEC_FILE " + deck + "\n") +
                                           "WAIT 4\n@show\nQUIT\nN\n"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string text = kestrum::test::readFile(deck);
  EXPECT_NE(text.find("*STATIC"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(deck + ".inp"));
  EXPECT_TRUE(std::filesystem::is_empty(dir / "scratch")) << "no job folder";
  EXPECT_EQ(StartSecond(dir / "started"), -1) << "no solver started";
  const std::string tree = Section(run.output, "Command: @show");
  EXPECT_NE(tree.find("Analysis Job PlateJob1: Not Run"), std::string::npos) << tree;
}

// Immediate: the host answers while the solver runs (LIST and "CAEP_MODEL" at once, the job
// still pending), and WAIT lasts until the Explorer shows it completed.
TEST(SolveScript, DuringAnImmediateRunTheHostAnswersAtOnce) {
  TempDir dir;
  OwnSolver solver(dir, NotingSolver(dir / "started", 5));
  const ProgramRun run =
      runScript(dir, ShippedUpTo("CAEP_ANALYZE", Analyze("@check IDC_EXEC_IMMEDIATE on\n") +
                                                     "LIST\nCAEP_MODEL\n@show\n@click IDCANCEL\n@show\nWAIT\n@show\n"
                                                     "QUIT\nN\n"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::size_t submitted = run.output.find("Command: LIST");
  ASSERT_NE(submitted, std::string::npos) << run.output;
  EXPECT_NE(Section(run.output, "Command: LIST").find("Objects of "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"Current Model\"", submitted), std::string::npos) << run.output;
  const std::string during = Section(run.output, "Command: @show", submitted);
  EXPECT_NE(during.find("Analysis Job PlateJob1: Pending"), std::string::npos) << during;
  const std::size_t waited = run.output.find("Command: WAIT", submitted);
  EXPECT_NE(Section(run.output, "Command: @show", waited).find("Analysis Job PlateJob1: Completed"), std::string::npos)
      << run.output;
  EXPECT_GT(StartSecond(dir / "started"), 0);
}

// Delayed: the job waits, pending, for its time (a minute boundary at least 40 s away, in local
// time as the page takes it) and its solver starts then, while the host waits for input.
TEST(SolveScript, ADelayedJobStartsAtItsTime) {
  TempDir dir;
  OwnSolver solver(dir, NotingSolver(dir / "started", 0));
  const std::time_t now = std::time(nullptr);
  std::time_t at = (now / 60 + 1) * 60;
  if (at - now < 40) at += 60;
  std::tm local{};
  localtime_r(&at, &local);
  const std::string execution =
      "@check IDC_EXEC_DELAYED on\n@set IDC_EXEC_YEAR " + std::to_string(local.tm_year + 1900) +
      "\n@set IDC_EXEC_MONTH " + std::to_string(local.tm_mon + 1) + "\n@set IDC_EXEC_DAY " +
      std::to_string(local.tm_mday) + "\n@set IDC_EXEC_HOUR " + std::to_string(local.tm_hour) +
      "\n@set IDC_EXEC_MINUTE " + std::to_string(local.tm_min) + "\n";
  const ProgramRun run =
      runScript(dir, ShippedUpTo("CAEP_ANALYZE", Analyze(execution) + "@show\nWAIT\n@show\nQUIT\nN\n"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("past history"), std::string::npos) << "the time was still to come\n" << run.output;
  const std::size_t submitted = run.output.find("Command: CAEP_ANALYZE");
  EXPECT_NE(Section(run.output, "Command: @show", submitted).find("Analysis Job PlateJob1: Pending"), std::string::npos)
      << run.output;
  const long long started = StartSecond(dir / "started");
  EXPECT_GE(started, static_cast<long long>(at)) << "not before its time";
  EXPECT_LE(started, static_cast<long long>(at) + 10) << "within a few polls of its time";
  const std::size_t waited = run.output.find("Command: WAIT");
  EXPECT_NE(Section(run.output, "Command: @show", waited).find("Analysis Job PlateJob1: Completed"), std::string::npos)
      << run.output;
}

// The tree line of the plate's mesh in a tree as text (icon 109 made, 476 waiting to be made, 472
// needing an update), or empty.
std::string MeshLine(const std::string& tree) {
  std::size_t start = 0;
  while (start < tree.size()) {
    const std::size_t end = std::min(tree.find('\n', start), tree.size());
    const std::string line = tree.substr(start, end - start);
    for (const char* icon : {"[icon 109]", "[icon 476]", "[icon 472]"})
      if (line.find(icon) != std::string::npos) return line;
    start = end + 1;
  }
  return "";
}

// WAIT lasts until the Explorer's poll has shown the job's end; a double click on the finished
// job reads its results into a set made current and shows them; U brings the job back, the set
// goes, the load and restraint sets keep their conditions in the tree and the mesh the solve made
// is still listed as made (not as a mesh waiting to be made).
TEST(SolveScript, AFinishedJobOpensFromTheExplorerAndUndoBringsItBack) {
  TempDir dir;
  const std::string script = ShippedUpTo("CAEP_EXPLORER",
                                         "@show\n"
                                         "@dblclick 1198 \"Analysis Job PlateJob1: Completed\"\n"
                                         "@show\n"
                                         "WINDOWS png \"Results Processor\" opened.png\n"
                                         "U\n"
                                         "@show\n"
                                         "QUIT\nN\n");
  const ProgramRun run = runScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::size_t waited = run.output.find("Command: WAIT");
  ASSERT_NE(waited, std::string::npos) << run.output;
  const std::string afterWait = Section(run.output, "Command: @show", waited);
  EXPECT_NE(afterWait.find("Analysis Job PlateJob1: Completed"), std::string::npos) << run.output;
  EXPECT_NE(afterWait.find("[icon 109]"), std::string::npos) << "the solve made the deferred mesh\n" << afterWait;

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
  EXPECT_EQ(MeshLine(back), MeshLine(afterWait)) << back;
}

// The number after `label` in `text` as an integer, or -1.
int IntegerAfter(const std::string& text, const std::string& label) {
  const double value = After(text, label);
  return std::isfinite(value) ? static_cast<int>(value) : -1;
}

// The shipped h-adaptive example: the plate held by rollers as plate_hole_adaptive.study holds it,
// solved through "CAEP_ANALYZE" with adaptivity on; the script answers the box of the last pass's
// job and the run's outcome. It refines as often as the study and ends near the study's error: the
// meshes agree in the first pass, then drift apart, because the sheet's size bounds (which the
// study has not) and last-digit differences of the millimetre part's coordinates steer the
// refinement. Only the last pass's results are kept: one result set, no job, and of the passes'
// scratch folders only the one the result set still reads from.
TEST(SolveScript, TheAdaptiveExampleRefinesAsOftenAsItsStudyAndKeepsOnlyTheLastPass) {
  TempDir dir;
  std::filesystem::create_directories(dir / "scratch");
  OwnConfiguration configuration(dir / "kestrum.ini", "[User]\nScratch Directory=" + (dir / "scratch").string() + "\n");
  // Then, with the run's result set in the model, a second adaptive submission is refused.
  std::string script = ShippedScript("data/demo/solve_plate_adaptive.scr");
  const std::size_t quit = script.rfind("QUIT\n");
  ASSERT_NE(quit, std::string::npos);
  script.insert(quit, "CAEP_ANALYZE\n@click IDOK\n@click IDOK\nCAEP_EXPLORER\n@show\n@menu Close\n");
  const ProgramRun run = runScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_EQ(kestrum::test::countOf(run.output, "message box [Kestrum Inside] Analysis job completed successfully"), 1)
      << run.output;
  const std::string outcome = Section(run.output, "Adaptive analysis: ");
  ASSERT_FALSE(outcome.empty()) << run.output;
  const int refinements = IntegerAfter(outcome, "the mesh refined ");
  const double error = After(outcome, "Largest estimated stress error ");
  EXPECT_EQ(IntegerAfter(outcome, "Adaptive analysis: "), refinements + 1) << outcome;

  const std::string tree = Section(run.output, "@show", run.output.find("Command: CAEP_EXPLORER"));
  EXPECT_NE(tree.find("PlateStress*"), std::string::npos) << tree;
  EXPECT_EQ(tree.find("Analysis Job"), std::string::npos) << tree;
  const std::size_t again = run.output.rfind("Command: CAEP_ANALYZE");
  ASSERT_NE(again, std::string::npos);
  const std::string refused = run.output.substr(again);
  EXPECT_NE(refused.find("Results are associated with the mesh for this model."), std::string::npos) << refused;
  EXPECT_EQ(refused.find("Adaptive analysis: "), std::string::npos) << refused;
  EXPECT_EQ(Section(refused, "@show"), tree.substr(tree.find("@show"))) << "nothing changed";
  int folders = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / "scratch")) ++folders;
  EXPECT_EQ(folders, 1) << "the earlier passes' folders are removed";
  const std::string summary = kestrum::test::readFile(dir / "solve-plate-adaptive.txt");
  EXPECT_NE(summary.find("Rollers"), std::string::npos) << summary;
  EXPECT_GT(std::filesystem::file_size(dir / "solve-plate-adaptive.png"), 1000u);

  const auto studyFile = kestrum::test::sourcePath("data/studies/plate_hole_adaptive.study");
  auto description = study::ParseStudy(kestrum::test::readFile(studyFile), studyFile);
  ASSERT_TRUE(description) << description.problem().Describe();
  auto solved = study::Run(*description, dir / "study");
  ASSERT_TRUE(solved) << solved.problem().Describe();
  ASSERT_FALSE(solved->adaptErrors.empty());
  EXPECT_EQ(refinements, static_cast<int>(solved->adaptErrors.size()) - 1) << outcome;
  EXPECT_NEAR(error, solved->maxErrorEstimate, 0.02 * solved->maxErrorEstimate) << outcome;
}

}  // namespace
