// The design doctor's command in the host program: what it says when there is nothing to test.
#include <gtest/gtest.h>

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

}  // namespace
