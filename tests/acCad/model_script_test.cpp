// "CAEP_MODEL" in the host program, driven by a script as a user drives it: the first model of a
// drawing with its unit, kept through save and reopen, and a created model taken back by U.
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

TEST(ModelScript, TheModelItsSetsAndUnitAreKeptAndACreatedModelIsUndone) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
                                                "\n"
                                                "PART plate_with_hole\n"
                                                "CAEP_MODEL\n"
                                                "@show\n"
                                                "@select IDC_MODEL_UNIT millimeter\n"
                                                "@check IDC_TYPE_BUCKLING on\n"
                                                "@click IDOK\n"
                                                "SAVEAS plate.dwg\n"
                                                "CLOSE\n"
                                                "OPEN plate.dwg\n"
                                                "CAEP_MODEL\n"
                                                "@show\n"
                                                "@check IDC_MODEL_NEW on\n"
                                                "@set IDC_MODEL_NAME Second\n"
                                                "@check IDC_TYPE_HEAT on\n"
                                                "@click IDOK\n"
                                                "U\n"
                                                "REDO\n"
                                                "CAEP_MODEL\n"
                                                "@show\n"
                                                "@click IDCANCEL\n"
                                                "UNDO 2\n"
                                                "CAEP_MODEL\n"
                                                "@show\n"
                                                "@click IDCANCEL\n"
                                                "QUIT\n"
                                                "No\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> shown = shownWindows(run.output);
  ASSERT_EQ(shown.size(), 4u) << run.output;

  // A new drawing: the proposed model under New with stress, and the unit row.
  EXPECT_TRUE(has(shown[0], "edit 1101 \"Drawing1_Model\" focus")) << shown[0];
  EXPECT_TRUE(has(shown[0], "radio 1103 \"&New\" checked")) << shown[0];
  EXPECT_TRUE(has(shown[0], "radio 1112 \"&Stress\" checked")) << shown[0];
  EXPECT_TRUE(has(shown[0], "combo 1117 \"meter\" [*meter|centimeter|millimeter|inch|foot]")) << shown[0];

  // Reopened: the buckling model and its sets are current; the unit is chosen, so no unit row.
  EXPECT_TRUE(has(shown[1], "combo 1100 \"Drawing1_Model\" [*Drawing1_Model]")) << shown[1];
  EXPECT_TRUE(has(shown[1], "combo 1104 \"Drawing1_LS\" [*Drawing1_LS]")) << shown[1];
  EXPECT_TRUE(has(shown[1], "combo 1108 \"Drawing1_RS\" [*Drawing1_RS]")) << shown[1];
  EXPECT_TRUE(has(shown[1], "radio 1114 \"&Buckling\" checked")) << shown[1];
  EXPECT_TRUE(has(shown[1], "combo 1117 \"\" [] hidden")) << shown[1];

  // The second model, taken back by U and brought again by REDO, is current; undoing its command
  // makes the first current again.
  EXPECT_TRUE(has(shown[2], "combo 1100 \"Second\" [Drawing1_Model|*Second]")) << shown[2];
  EXPECT_TRUE(has(shown[2], "radio 1115 \"Heat &Transfer\" checked")) << shown[2];
  EXPECT_TRUE(has(shown[3], "combo 1100 \"Drawing1_Model\" [*Drawing1_Model]")) << shown[3];
  EXPECT_TRUE(has(shown[3], "radio 1114 \"&Buckling\" checked")) << shown[3];
  EXPECT_FALSE(has(run.output, "General Error")) << run.output;
}

}  // namespace
