// The design doctor's command in the host program: what it says when there is nothing to test.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

std::string moduleLine() { return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\n"; }

const char kNothingToTest[] = "An open model with analysis jobs or results is required prior to issuing this command";

// No model at all, then a model without jobs or results: the doctor has no subject either time.
TEST(DoctorScript, NothingToTestSaysSoAndOpensNoSheet) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, moduleLine() +
                                                "CAEP_SIM_DOCTOR\n"
                                                "@click IDOK\n"
                                                "PART plate_with_hole\n"
                                                "CAEP_MODEL\n"
                                                "@click IDOK\n"
                                                "CAEP_SIM_DOCTOR\n"
                                                "@click IDOK\n"
                                                "QUIT\nN\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(countOf(run.output, kNothingToTest), 2) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
}

// The shipped solve example, solved and waited for, with the module lines pointing at this build.
std::string SolvedPlate() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/solve_plate.scr"));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  script = std::regex_replace(script, std::regex("@BUILD@"), build);
  return script.substr(0, script.find("CAEP_EXPLORER"));
}

// The coarse plate: the doctor loads the job's results on its worker, lists the stress tests,
// fails the meshing error (the diagnosis names the computed error against 10 %), and Refine
// remakes the mesh and leads to the analysis sheet; the next solve is what the doctor examines.
TEST(DoctorScript, ACoarsePlateFailsTheErrorTestAndRefineLeadsToTheNextSolve) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, SolvedPlate() +
                                                "CAEP_SIM_DOCTOR\n@click ID_WIZNEXT\n@show\n"
                                                "@click IDC_DOC_DIAGNOSIS\n@show\n@click IDC_DOC_REFINE\n"
                                                "@select 12320 Options\n@click IDOK\nWAIT\n"
                                                "CAEP_SIM_DOCTOR\n@click ID_WIZNEXT\n@show\n@click ID_WIZFINISH\n"
                                                "QUIT\nN\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("[Kestrum Execution|*Meshing Error|Yield Stress(es)|Factor Of Safety/Animation]"),
            std::string::npos)
      << "the first failed row is selected" << run.output;
  EXPECT_NE(run.output.find("Warning, some tests have completed unsuccessfully."), std::string::npos) << run.output;
  const std::string failed = "The maximum computed error is ";
  const std::size_t at = run.output.find(failed);
  ASSERT_NE(at, std::string::npos) << run.output;
  EXPECT_GT(std::stod(run.output.substr(at + failed.size())), 10.0);
  EXPECT_NE(run.output.find("acceptable target value of 10 %"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("dialog \"Design Doctor Diagnosis - Meshing Error\""), std::string::npos);
  EXPECT_NE(run.output.find("static 1623 \"PlateJob2\""), std::string::npos)
      << "the refined model's new job is the next subject" << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
}

}  // namespace
