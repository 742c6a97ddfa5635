// "CAEP_OPT_MODEL" and "CAEP_OPT_OBJECTIVE" in the host program, driven by "@" lines as a user
// drives them: models made, typed, renamed, linked and removed through the sheet, kept through
// save and reopen and taken back by U; names the drawing cannot file refused on leaving the page;
// objectives of both kinds committed, and Cancel changing nothing.
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

std::string prologue() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
         "\n"
         "PART plate_with_hole\n"
         "CAEP_MODEL\n"
         "@click IDOK\n";
}

ProgramRun run(const TempDir& dir, const std::string& body) {
  return runHostScript(dir, prologue() + body + "QUIT\nNo\n");
}

TEST(OptModelScript, ModelsAreMadeTypedRenamedRemovedKeptAndUndone) {
  TempDir dir;
  const ProgramRun r = run(dir,
                           "CAEP_OPT_MODEL\n"
                           "@show\n"
                           "@click IDOK\n"
                           "CAEP_OPT_MODEL\n"
                           "@click IDC_OPT_MODEL_ADD\n"
                           "@select IDC_OPT_MODEL_TYPE \"Concept Optimization\"\n"
                           "@show\n"
                           "@click IDOK\n"
                           "SAVEAS opt.dwg\n"
                           "CLOSE\n"
                           "OPEN opt.dwg\n"
                           "CAEP_OPT_MODEL\n"
                           "@show\n"
                           "@set IDC_OPT_MODEL_LIST Renamed\n"
                           "@click IDOK\n"
                           "CAEP_OPT_MODEL\n"
                           "@show\n"
                           "@click IDC_OPT_MODEL_REMOVE\n"
                           "@show\n"
                           "@click IDCANCEL\n"
                           "CAEP_OPT_MODEL\n"
                           "@click IDC_OPT_MODEL_REMOVE\n"
                           "@click IDOK\n"
                           "CAEP_OPT_MODEL\n"
                           "@show\n"
                           "@click IDCANCEL\n"
                           "UNDO 2\n"
                           "CAEP_OPT_MODEL\n"
                           "@show\n"
                           "@click IDCANCEL\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 7u) << r.output;
  EXPECT_TRUE(has(shown[0], "combo 1138 \"Drawing1_OptModel\" [*Drawing1_OptModel]")) << shown[0];
  EXPECT_TRUE(has(shown[1], "combo 1138 \"Drawing1_OptModel1\" [Drawing1_OptModel|*Drawing1_OptModel1]")) << shown[1];
  EXPECT_TRUE(has(shown[1], "Model (image 1)")) << "a Concept entry shows the Concept image";
  // Reopened: the Concept model is kept, current, and shows its type as text only.
  EXPECT_TRUE(has(shown[2], "static 1539 \" Concept Optimization\"\n")) << shown[2];
  EXPECT_TRUE(has(shown[3], "combo 1138 \"Renamed\" [Drawing1_OptModel|*Renamed]")) << shown[3];
  EXPECT_TRUE(has(shown[4], "combo 1138 \"Drawing1_OptModel\" [*Drawing1_OptModel]")) << shown[4];
  // Removed by OK; UNDO of that command brings it back.
  EXPECT_TRUE(has(shown[5], "[*Drawing1_OptModel]")) << shown[5];
  EXPECT_TRUE(has(shown[6], "Renamed")) << shown[6];
  EXPECT_FALSE(has(r.output, "General Error")) << r.output;
}

TEST(OptModelScript, NamesTheDrawingCannotFileAreRefusedOnLeaving) {
  TempDir dir;
  const ProgramRun r = run(dir,
                           "CAEP_OPT_MODEL\n"
                           "@click IDOK\n"
                           "CAEP_OPT_MODEL\n"
                           "@click IDC_OPT_MODEL_ADD\n"
                           "@set IDC_OPT_MODEL_LIST DRAWING1_optmodel\n"
                           "@click IDOK\n"
                           "@show\n"
                           "@click IDOK\n"
                           "@set IDC_OPT_MODEL_LIST \"two words\"\n"
                           "@show\n"
                           "@click IDOK\n"
                           "@set IDC_OPT_MODEL_LIST \"\"\n"
                           "@click IDOK\n"
                           "@show\n"
                           "@click IDOK\n"
                           "@show\n"
                           "@click IDCANCEL\n"
                           "CAEP_OPT_MODEL\n"
                           "@show\n"
                           "@click IDCANCEL\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 5u) << r.output;
  EXPECT_TRUE(has(shown[0], "Another optimization model is named \\\"DRAWING1_optmodel\\\"")) << shown[0];
  EXPECT_TRUE(has(shown[1], "Invalid name.")) << shown[1];
  EXPECT_TRUE(has(shown[2], "Invalid name.")) << "an empty name is refused on OK";
  EXPECT_TRUE(has(shown[3], "combo 1138 \"\"")) << "the sheet stays";
  EXPECT_TRUE(has(shown[4], "combo 1138 \"Drawing1_OptModel\" [*Drawing1_OptModel]")) << "Cancel made nothing";
}

TEST(OptObjectiveScript, ObjectivesOfBothKindsAreCommittedAndCancelChangesNothing) {
  TempDir dir;
  const ProgramRun r = run(dir,
                           "CAEP_OPT_OBJECTIVE\n"
                           "CAEP_OPT_MODEL\n"
                           "@click IDOK\n"
                           "CAEP_OPT_OBJECTIVE\n"
                           "@show\n"
                           "@select IDC_OPT_OBJ_RESPONSE frequency\n"
                           "@show\n"
                           "@select IDC_SHEET_TABS Input\n"
                           "@show\n"
                           "@click IDOK\n"
                           "@show\n"
                           "@click IDOK\n"
                           "@show\n"
                           "@click IDCANCEL\n"
                           "CAEP_OPT_OBJECTIVE\n"
                           "@check IDC_OPT_OBJ_SECOND on\n"
                           "@select IDC_OPT_OBJ_RESPONSE volume\n"
                           "@click IDOK\n"
                           "SAVEAS opt.dwg\n"
                           "CLOSE\n"
                           "OPEN opt.dwg\n"
                           "CAEP_OPT_OBJECTIVE\n"
                           "@show\n"
                           "@click IDCANCEL\n"
                           "CAEP_OPT_MODEL_TOPO\n"
                           "@click IDC_OPT_MODEL_ADD\n"
                           "@click IDOK\n"
                           "CAEP_OPT_OBJECTIVE_TOPO\n"
                           "@show\n"
                           "@set IDC_OPT_OBJ_TARGET 150\n"
                           "@click IDOK\n"
                           "@show\n"
                           "@click IDOK\n"
                           "@set IDC_OPT_OBJ_TARGET 80\n"
                           "@click IDOK\n"
                           "CAEP_OPT_OBJECTIVE_TOPO\n"
                           "@show\n"
                           "@click IDCANCEL\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::vector<std::string> shown = shownWindows(r.output);
  ASSERT_EQ(shown.size(), 9u) << r.output;
  EXPECT_TRUE(has(shown[0], "list 1151 \"\" [*mass|volume|frequency|load factor]")) << shown[0];
  EXPECT_TRUE(has(shown[0], "edit 1152 \"1\" disabled")) << shown[0];
  EXPECT_TRUE(has(shown[1], "[*Objective (image 0)|Input (image 1)]")) << "frequency adds the Input page";
  EXPECT_TRUE(has(shown[2], "combo 1017 \"no valid result sets defined\"")) << shown[2];
  EXPECT_TRUE(has(shown[3], "The selected response requires a result set.")) << shown[3];
  EXPECT_TRUE(has(shown[4], "page 915 \"Input\"")) << "the sheet shows again on the Input page";
  // Kept through save and reopen.
  EXPECT_TRUE(has(shown[5], "radio 1517 \"M&aximize\" checked")) << shown[5];
  EXPECT_TRUE(has(shown[5], "[mass|*volume|frequency|load factor]")) << shown[5];
  EXPECT_TRUE(has(shown[6], "edit 1518 \"75\"")) << shown[6];
  EXPECT_TRUE(has(shown[7], "between 1 and 100")) << shown[7];
  EXPECT_TRUE(has(shown[8], "edit 1518 \"80\"")) << shown[9];
}

}  // namespace
