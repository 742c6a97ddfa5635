// "CAEP_OPT_SUBMIT_TOPO" in the host program, driven by "@" lines on the shipped plate (its
// simulation model, deferred mesh, restraint and load made by the shipped solve example): Cancel
// makes nothing; a deck to a file meshes the part, writes the static case with its restraint and
// load, and makes no job; a job is made, runs, and WAIT waits until the Explorer shows it ended.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::shownWindows;
using kestrum::test::TempDir;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The shipped solve example up to its analysis, with the build folder filled in.
std::string PlateModel() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/solve_plate.scr"));
  script = std::regex_replace(script, std::regex("@BUILD@"), kestrum::test::buildPath("lib").parent_path().string());
  return script.substr(0, script.find("\nCAEP_ANALYZE") + 1);
}

TEST(OptSubmitScript, ConceptSubmissionCancelledToAFileAndAsAJob) {
  TempDir dir;
  const ProgramRun r = kestrum::test::runHostScript(dir, PlateModel() +
                                                             "CAEP_OPT_MODEL\n"
                                                             "@select IDC_OPT_MODEL_TYPE \"Concept Optimization\"\n"
                                                             "@click IDOK\n"
                                                             "CAEP_OPT_SUBMIT_TOPO\n"
                                                             "@click IDCANCEL\n"
                                                             "CAEP_OPT_SUBMIT_TOPO\n"
                                                             "@select IDC_SHEET_TABS Execution\n"
                                                             "@check IDC_EXEC_MANUAL on\n"
                                                             "@set IDC_EXEC_FILE concept.dat\n"
                                                             "@click IDOK\n"
                                                             "CAEP_EXPLORER\n"
                                                             "@show\n"
                                                             "@menu Close\n"
                                                             "CAEP_OPT_SUBMIT_TOPO\n"
                                                             "@click IDOK\n"
                                                             "WAIT\n"
                                                             "CAEP_EXPLORER\n"
                                                             "@show\n"
                                                             "@menu Close\n"
                                                             "QUIT\nN\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 2u) << r.output;
  // Cancel and the deck to a file made no job; the deck holds the part's static case.
  EXPECT_TRUE(has(shown[0], "Drawing1_OptModel*")) << shown[0];
  EXPECT_FALSE(has(shown[0], "Analysis Job")) << shown[0];
  EXPECT_TRUE(has(r.output, "Analysis input file created")) << r.output;
  const std::string deck = kestrum::test::readFile(dir / "concept.dat");
  for (const char* part : {"*ELEMENT, TYPE=C3D10", "*STATIC", "*BOUNDARY", "*CLOAD"})
    EXPECT_TRUE(has(deck, part)) << part;
  // The job: submitted, and ended when WAIT returns.
  EXPECT_TRUE(has(r.output, "Analysis submitted")) << r.output;
  EXPECT_TRUE(has(shown[1], "Analysis Job Drawing1_OptModelJob1: Completed")) << shown[1];
  EXPECT_FALSE(has(r.output, "General Error")) << r.output;
}

}  // namespace
