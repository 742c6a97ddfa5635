// The guide's Loads and Restraints steps in the host program, driven by "@" lines: each step's
// wizard hides while the script's next line picks a face, makes its condition and marks its tab.
#include <gtest/gtest.h>

#include <string>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

// The guide's tab strip printed after position `from` of `out`.
std::string TabsAfter(const std::string& out, std::size_t from) {
  const std::size_t at = out.find("tab 12320", from);
  return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
}

TEST(GuideConditionsScript, TheLoadAndRestraintStepsPickAFaceMakeTheirConditionAndMarkTheirTabs) {
  TempDir dir;
  const std::string arx = kestrum::test::buildPath("lib/kestrum.arx").string();
  const ProgramRun run = runHostScript(dir, "ARXLOAD " + arx +
                                                "\n"
                                                "PART plate_with_hole\n"
                                                "CAEP_STRESS_WIZARD\n"
                                                "@click IDC_GUIDE_BEGIN\n"
                                                "@click IDC_GUIDE_DEFINE\n"
                                                "@click IDOK\n"
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
