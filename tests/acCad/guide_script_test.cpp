// The guide in the host program, driven by "@" lines: it opens beside the drawing, a step runs
// and marks its tab, the guide collapses to its tab strip and a tab opens it again, it survives
// an undo, each drawing keeps its own marks, and unloading the add-in with the guide open is clean.
#include <gtest/gtest.h>

#include <string>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

// The first line of the guide's tab strip printed after position `from` of `out`.
std::string TabsAfter(const std::string& out, std::size_t from) {
  const std::size_t at = out.find("tab 12320", from);
  return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
}

// The "size WxH" height of the guide's window printed after `from`.
int GuideHeightAfter(const std::string& out, std::size_t from) {
  const std::size_t at = out.find("dialog \"Stress Wizard\" size ", from);
  if (at == std::string::npos) return -1;
  const std::size_t x = out.find('x', at + 28);
  return std::stoi(out.substr(x + 1));
}

TEST(GuideScript, AStepMarksItsTabTheGuideCollapsesAndRestoresAndSurvivesUndoAndUnload) {
  TempDir dir;
  const std::string arx = kestrum::test::buildPath("lib/kestrum.arx").string();
  const ProgramRun run = runHostScript(dir, "ARXLOAD " + arx +
                                                "\n"
                                                "PART plate_with_hole\n"
                                                "CAEP_STRESS_WIZARD\n"
                                                "@show\n"
                                                "@click IDC_GUIDE_BEGIN\n"
                                                "@click IDC_GUIDE_DEFINE\n"
                                                "@click 12324\n"
                                                "@click 12325\n"
                                                "@show\n"
                                                "@click IDCANCEL\n"
                                                "@show\n"
                                                "@select IDC_SHEET_TABS \"3. Loads\"\n"
                                                "@show\n"
                                                "U\n"
                                                "@window \"Stress Wizard\"\n"
                                                "@show\n"
                                                "@sys minimize\n"
                                                "@show\n"
                                                "@sys dblclick\n"
                                                "@show\n"
                                                "NEW\n"
                                                "@window \"Stress Wizard\"\n"
                                                "@show\n"
                                                "CLOSE\n"
                                                "@window \"Stress Wizard\"\n"
                                                "@show\n"
                                                "ARXUNLOAD kestrum.arx\n"
                                                "QUIT\n"
                                                "N\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  const std::size_t opened = out.find("Command: CAEP_STRESS_WIZARD");
  ASSERT_NE(opened, std::string::npos) << out;
  EXPECT_EQ(TabsAfter(out, opened),
            "tab 12320 \"\" [*Introduction|1. Problem Definition|2. Units|3. Loads|4. Restraints|5. Mating Relations|"
            "6. Analyze|7. Results Processing]");
  const int full = GuideHeightAfter(out, opened);
  EXPECT_GT(full, 100);

  const std::size_t stepped = out.find("Command: @show", out.find("Command: @click IDC_GUIDE_DEFINE", opened));
  EXPECT_EQ(TabsAfter(out, stepped),
            "tab 12320 \"\" [Introduction (image 0)|1. Problem Definition (image 1)|*2. Units|3. Loads|4. Restraints|"
            "5. Mating Relations|6. Analyze|7. Results Processing]")
      << "the model made marks its step and the guide moves on";

  const std::size_t collapsed = out.find("Command: @show", out.find("Command: @click IDCANCEL", stepped));
  const int small = GuideHeightAfter(out, collapsed);
  EXPECT_GT(small, 0);
  EXPECT_LT(small, full / 4) << "only the caption and the tab strip remain";

  const std::size_t restored = out.find("Command: @show", out.find("@select IDC_SHEET_TABS", collapsed));
  EXPECT_EQ(GuideHeightAfter(out, restored), full);
  EXPECT_NE(TabsAfter(out, restored).find("*3. Loads"), std::string::npos);

  const std::size_t undone = out.find("Command: @show", out.find("Command: U", restored));
  EXPECT_EQ(GuideHeightAfter(out, undone), full) << "the guide is still there after the undo";

  // The system menu collapses the guide and a double click on its title opens it again.
  const std::size_t systemMenu = out.find("Command: @show", out.find("Command: @sys minimize", undone));
  EXPECT_EQ(GuideHeightAfter(out, systemMenu), small);
  const std::size_t titleClick = out.find("Command: @show", out.find("Command: @sys dblclick", systemMenu));
  EXPECT_EQ(GuideHeightAfter(out, titleClick), full);

  // Another drawing has marks of its own; back in the first, its marks are shown again.
  const std::size_t other = out.find("Command: @show", out.find("Command: NEW", undone));
  EXPECT_EQ(TabsAfter(out, other).find("(image"), std::string::npos) << TabsAfter(out, other);
  const std::size_t back = out.find("Command: @show", out.find("Command: CLOSE", other));
  EXPECT_NE(TabsAfter(out, back).find("Introduction (image 0)"), std::string::npos) << TabsAfter(out, back);
  EXPECT_NE(out.find("kestrum.arx unloaded."), std::string::npos);
}

// The Loads and Restraints steps: each step's wizard hides while the script's next line picks a
// face, makes its condition and marks its tab.
TEST(GuideScript, TheLoadAndRestraintStepsPickAFaceMakeTheirConditionAndMarkTheirTabs) {
  TempDir dir;
  const std::string arx = kestrum::test::buildPath("lib/kestrum.arx").string();
  const ProgramRun run = runHostScript(dir, "ARXLOAD " + arx +
                                                "\n"
                                                "PART plate_with_hole\n"
                                                "CAEP_STRESS_WIZARD\n"
                                                "@click IDC_GUIDE_BEGIN\n"
                                                "@click IDC_GUIDE_DEFINE\n"
                                                "@click 12324\n"
                                                "@click 12325\n"
                                                "@select IDC_SHEET_TABS \"3. Loads\"\n"
                                                "@click IDC_GUIDE_LOADS_BUTTON\n"
                                                "@click 12324\n"
                                                "@click 12324\n"
                                                "plate/plate/right\n"
                                                "@click IDC_LW_FACE_TOTAL\n"
                                                "@click 12324\n"
                                                "@set IDC_LW_VECTOR_X 1000\n"
                                                "@click 12324\n"
                                                "@click 12325\n"
                                                "@window \"Stress Wizard\"\n"
                                                "@show\n"
                                                "@click IDC_GUIDE_RESTRAINTS_BUTTON\n"
                                                "@click 12324\n"
                                                "@click 12324\n"
                                                "plate/plate/left\n"
                                                "@click IDC_RW_FIXED\n"
                                                "@click 12324\n"
                                                "@click 12324\n"
                                                "@click 12325\n"
                                                "@window \"Stress Wizard\"\n"
                                                "@show\n"
                                                "CAEP_EXPLORER\n"
                                                "@show\n"
                                                "@click IDCANCEL\n"
                                                "QUIT\n"
                                                "N\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  const std::size_t loads = out.find("Command: @show", out.find("@click IDC_GUIDE_LOADS_BUTTON"));
  ASSERT_NE(loads, std::string::npos) << out;
  EXPECT_NE(TabsAfter(out, loads).find("3. Loads (image 3)"), std::string::npos) << TabsAfter(out, loads);
  EXPECT_NE(TabsAfter(out, loads).find("*4. Restraints"), std::string::npos) << "the guide moves on";
  const std::size_t restraints = out.find("Command: @show", out.find("@click IDC_GUIDE_RESTRAINTS_BUTTON"));
  ASSERT_NE(restraints, std::string::npos) << out;
  EXPECT_NE(TabsAfter(out, restraints).find("4. Restraints (image 4)"), std::string::npos)
      << TabsAfter(out, restraints);
  // The Explorer shows both sets holding something (a "+" to open).
  const std::size_t tree = out.find("dialog 234", restraints);
  ASSERT_NE(tree, std::string::npos) << out;
  EXPECT_NE(out.find("+Drawing1_LS*", tree), std::string::npos) << out.substr(tree, 300);
  EXPECT_NE(out.find("+Drawing1_RS*", tree), std::string::npos) << out.substr(tree, 300);
}

}  // namespace
