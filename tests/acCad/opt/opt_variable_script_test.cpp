// "CAEP_OPT_VARIABLE" in the host program on the sample part driven by two "Designer" globals:
// variables made one after the other with "&Add", bounds refused out of order or as text, spin
// steps, Cancel and Escape making nothing, each command one undo step, kept through save and
// reopen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::shownWindows;
using kestrum::test::TempDir;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

ProgramRun run(const TempDir& dir, const std::string& body) {
  return runHostScript(dir, "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
                                "\n"
                                "PART plate_designer.asm\n"
                                "CAEP_MODEL\n"
                                "@click IDOK\n" +
                                body + "QUIT\nNo\n");
}

TEST(OptVariableScript, AddDefinesOneAfterAnotherAndTheyAreKeptThroughSaveAndOpen) {
  TempDir dir;
  const ProgramRun r = run(dir,
                           "CAEP_OPT_VARIABLE\n"
                           "@show\n"
                           "@set IDC_OPT_VAR_LOWER 95\n"
                           "@click ID_APPLY_NOW\n"
                           "@show\n"
                           "@click IDOK\n"
                           "SAVEAS v.dwg\n"
                           "CLOSE\n"
                           "OPEN v.dwg\n"
                           "CAEP_OPT_VARIABLE\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 2u) << r.output;
  // Two free globals: "&Add" is offered; bounds 0.9 and 1.1 times the value, two digits shown.
  EXPECT_TRUE(has(shown[0], "combo 1157 \"Width\" [*Width|HoleD]")) << shown[0];
  EXPECT_TRUE(has(shown[0], "button 12321 \"&Add\"\n")) << shown[0];
  EXPECT_TRUE(has(shown[0], "edit 1015 \"110\"")) << shown[0];
  EXPECT_TRUE(has(shown[0], "edit 1016 \"90.0\"")) << shown[0];
  EXPECT_TRUE(has(shown[0], "static 1149 \" 100\"")) << shown[0];
  // After Add the sheet comes back for the last free global, without Add.
  EXPECT_TRUE(has(shown[1], "combo 1157 \"HoleD\" [*HoleD]")) << shown[1];
  EXPECT_TRUE(has(shown[1], "button 12321 \"&Add\" disabled")) << shown[1];
  EXPECT_TRUE(has(shown[1], "edit 1015 \"33.0\"")) << shown[1];
  // Reopened: both globals are design variables.
  const std::size_t reopened = r.output.find("Opened ");
  ASSERT_NE(reopened, std::string::npos) << r.output;
  EXPECT_TRUE(has(r.output.substr(reopened), "All independent global parameters are already defined")) << r.output;
}

struct Refusal {
  const char* what;
  const char* lines;     // typed into the first sheet before OK
  const char* expected;  // the message shown
};

TEST(OptVariableScript, BadBoundsKeepThePageAndMakeNothing) {
  const Refusal cases[] = {
      {"lower above upper", "@set IDC_OPT_VAR_LOWER 120\n", "Invalid Input"},
      {"initial value below the lower bound", "@set IDC_OPT_VAR_LOWER 101\n", "Invalid Input"},
      {"initial value above the upper bound", "@set IDC_OPT_VAR_UPPER 99\n", "Invalid Input"},
      {"equal bounds", "@set IDC_OPT_VAR_LOWER 100\n@set IDC_OPT_VAR_UPPER 100\n", "Invalid Input"},
      {"text that is no number", "@set IDC_OPT_VAR_UPPER abc\n", "message box"},
  };
  for (const Refusal& c : cases) {
    TempDir dir;
    const ProgramRun r = run(dir, std::string("CAEP_OPT_VARIABLE\n") + c.lines +
                                      "@click IDOK\n"
                                      "@click IDOK\n"
                                      "@show\n"
                                      "@click IDCANCEL\n"
                                      "CAEP_OPT_VARIABLE\n"
                                      "@show\n"
                                      "@click IDCANCEL\n");
    EXPECT_EQ(r.exitCode, 0) << c.what << r.output;
    const std::vector<std::string> shown = shownWindows(r.output);
    ASSERT_EQ(shown.size(), 2u) << c.what << r.output;
    EXPECT_TRUE(has(r.output, c.expected)) << c.what << r.output;
    EXPECT_TRUE(has(shown[0], "dialog \"Add Design Variable\"")) << c.what << ": the page stays\n" << shown[0];
    EXPECT_TRUE(has(shown[1], "[*Width|HoleD]")) << c.what << ": nothing was made\n" << shown[1];
  }
}

TEST(OptVariableScript, CancelAndEscapeMakeNothingAndUndoTakesAVariableBack) {
  for (const char* end : {"@click IDCANCEL\n", "@key Escape\n"}) {
    TempDir dir;
    const ProgramRun r = run(dir, std::string("CAEP_OPT_VARIABLE\n") +
                                      "@select IDC_OPT_VAR_PARAMS HoleD\n"
                                      "@set IDC_OPT_VAR_LOWER 20\n" +
                                      end +
                                      "CAEP_OPT_VARIABLE\n"
                                      "@show\n"
                                      "@select IDC_OPT_VAR_PARAMS HoleD\n"
                                      "@click IDOK\n"
                                      "CAEP_OPT_VARIABLE\n"
                                      "@show\n"
                                      "@click IDCANCEL\n"
                                      "UNDO 1\n"
                                      "CAEP_OPT_VARIABLE\n"
                                      "@show\n"
                                      "@click IDCANCEL\n");
    EXPECT_EQ(r.exitCode, 0) << end << r.output;
    const std::vector<std::string> shown = shownWindows(r.output);
    ASSERT_EQ(shown.size(), 3u) << end << r.output;
    EXPECT_TRUE(has(shown[0], "[*Width|HoleD]")) << end << shown[0];
    // Choosing another global takes its value and bounds.
    EXPECT_TRUE(has(shown[1], "combo 1157 \"Width\" [*Width]")) << end << shown[1];
    EXPECT_TRUE(has(shown[2], "[*Width|HoleD]")) << end << ": UNDO took HoleD back\n" << shown[2];
  }
}

TEST(OptVariableScript, SpinButtonsStepByTheShownPrecisionAndLeaveTextAlone) {
  TempDir dir;
  const ProgramRun r = run(dir,
                           "CAEP_OPT_VARIABLE\n"
                           "@select IDC_OPT_VAR_PARAMS HoleD\n"
                           "@spin IDC_OPT_VAR_UPPER_SPIN up\n"
                           "@spin IDC_OPT_VAR_LOWER_SPIN down\n"
                           "@show\n"
                           "@set IDC_OPT_VAR_UPPER abc\n"
                           "@spin IDC_OPT_VAR_UPPER_SPIN up\n"
                           "@show\n"
                           "@click IDCANCEL\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 2u) << r.output;
  // HoleD = 30: step 1; bounds 27 and 33.
  EXPECT_TRUE(has(shown[0], "edit 1015 \"34.0\"")) << shown[0];
  EXPECT_TRUE(has(shown[0], "edit 1016 \"26.0\"")) << shown[0];
  EXPECT_TRUE(has(shown[1], "edit 1015 \"abc\"")) << shown[1];
}

}  // namespace
