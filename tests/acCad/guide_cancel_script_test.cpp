// The guide's step wizards in the host program: Cancel on any page leaves the drawing as it was
// before the wizard opened (its saved bytes) and keeps the guide's marks, and U takes back what a
// finished step made.
#include <gtest/gtest.h>

#include <string>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

std::string ModuleLine() { return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\n"; }

// How far the drawing is before a wizard opens.
enum class Before { Guide, Defined, Conditioned };

const char kGuide[] = "@window \"Stress Wizard\"\n";
const char kLoadStep[] =
    "@select IDC_SHEET_TABS \"3. Loads\"\n@click IDC_GUIDE_LOADS_BUTTON\n@click 12324\n@click 12324\n"
    "plate/plate/right\n@click IDC_LW_FACE_TOTAL\n@click 12324\n@set 1064 1000\n@click 12324\n@click 12325\n";
const char kRestraintStep[] =
    "@select IDC_SHEET_TABS \"4. Restraints\"\n@click IDC_GUIDE_RESTRAINTS_BUTTON\n@click 12324\n@click 12324\n"
    "plate/plate/left\n@click IDC_RW_FIXED\n@click 12324\n@click 12324\n@click 12325\n";

// The guide open on the plate; then the problem-definition step done in millimetres; then a load
// and a restraint made by their steps (so that their sets exist: leaving a set's name page
// selects or makes the set, and what a Next made stays after a Cancel).
std::string Guide(Before setup) {
  std::string lines = "NEW\nPART plate_with_hole\nCAEP_STRESS_WIZARD\n@click IDC_GUIDE_BEGIN\n";
  if (setup == Before::Guide) return lines;
  lines += "@click IDC_GUIDE_DEFINE\n@click 12324\n@select 1015 millimeter\n@click 12325\n";
  if (setup == Before::Conditioned) lines += std::string(kGuide) + kLoadStep + kGuide + kRestraintStep;
  return lines;
}

// The marks of the first guide tab strip printed after position `from` (the tab that is active,
// starred, may differ).
std::string MarksAfter(const std::string& out, std::size_t from) {
  const std::size_t at = out.find("tab 12320 \"\" [Introduction", from);
  if (at == std::string::npos) return std::string();
  std::string tabs = out.substr(at, out.find('\n', at) - at);
  std::erase(tabs, '*');
  return tabs;
}

TEST(GuideCancelScript, CancelOnAnyPageOfAStepWizardChangesNothing) {
  const std::string loads = "@select IDC_SHEET_TABS \"3. Loads\"\n@click IDC_GUIDE_LOADS_BUTTON\n";
  // With conditions in the set, a wizard asks for more after the name page; Yes leads on.
  const std::string loadGeometry = loads + "@click 12324\n@click IDC_LW_MORE_YES\n";
  const std::string loadType = loadGeometry + "@click 12324\nplate/plate/right\n";
  const std::string restraints = "@select IDC_SHEET_TABS \"4. Restraints\"\n@click IDC_GUIDE_RESTRAINTS_BUTTON\n";
  const std::string restraintGeometry = restraints + "@click 12324\n@click IDC_RW_MORE_YES\n";
  const std::string restraintType = restraintGeometry + "@click 12324\nplate/plate/left\n";
  const struct {
    const char* page;
    Before setup;
    std::string lines;  // from the guide to the page, with something typed or chosen on it
  } rows[] = {
      {"problem definition, model name", Before::Guide, "@click IDC_GUIDE_DEFINE\n@set 1010 Other\n"},
      {"problem definition, length unit", Before::Guide, "@click IDC_GUIDE_DEFINE\n@click 12324\n@select 1015 foot\n"},
      {"units", Before::Defined, "@click IDC_GUIDE_UNITS_BUTTON\n@click IDC_UNITWIZ_ENGLISH\n"},
      {"loads, set name", Before::Conditioned, loads + "@set 1015 Other\n"},
      {"loads, more loads", Before::Conditioned, loads + "@click 12324\n"},
      {"loads, geometry", Before::Conditioned, loadGeometry + "@click IDC_LW_GEOM_EDGE\n"},
      {"loads, face load type", Before::Conditioned, loadType + "@click IDC_LW_FACE_TOTAL\n"},
      {"loads, value", Before::Conditioned, loadType + "@click IDC_LW_FACE_TOTAL\n@click 12324\n@set 1064 1000\n"},
      {"restraints, set name", Before::Conditioned, restraints + "@set 1016 Other\n"},
      {"restraints, more restraints", Before::Conditioned, restraints + "@click 12324\n"},
      {"restraints, geometry", Before::Conditioned, restraintGeometry + "@click 1090\n"},
      {"restraints, type", Before::Conditioned, restraintType + "@click IDC_RW_FIXED\n"},
      {"restraints, symbol", Before::Conditioned, restraintType + "@click IDC_RW_FIXED\n@click 12324\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.page);
    TempDir dir;
    const ProgramRun run =
        runHostScript(dir, ModuleLine() + Guide(row.setup) + kGuide + "@show\nSAVEAS before.dwg\n" + row.lines +
                               "@show\n@click IDCANCEL\n" + kGuide + "@show\nSAVEAS after.dwg\nQUIT\nN\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("; ignored"), std::string::npos) << out;
    EXPECT_EQ(out.find("cancelled"), std::string::npos) << "the Cancel came from the script\n" << out;
    const std::string before = kestrum::test::readFile(dir / "before.dwg");
    ASSERT_FALSE(before.empty()) << out;
    EXPECT_TRUE(before == kestrum::test::readFile(dir / "after.dwg")) << "the saved drawing changed";
    const std::size_t opened = out.find("Command: SAVEAS before.dwg");
    const std::size_t cancelled = out.find("@click IDCANCEL", opened);
    ASSERT_NE(cancelled, std::string::npos) << out;
    EXPECT_EQ(MarksAfter(out, cancelled), MarksAfter(out, out.rfind("tab 12320 \"\" [Introduction", opened)))
        << "the marks stay";
  }
}

// The Loads step made a total force on the right face in a new load set; U takes both back, as
// the Explorer shows.
TEST(GuideCancelScript, UndoAfterTheLoadsStepRemovesWhatItMade) {
  TempDir dir;
  const std::string explorer = "CAEP_EXPLORER\n@show\n@click IDCANCEL\n";
  const ProgramRun run = runHostScript(
      dir, ModuleLine() + Guide(Before::Defined) + kGuide + kLoadStep + explorer + "U\n" + explorer + "QUIT\nN\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  EXPECT_EQ(out.find("; ignored"), std::string::npos) << out;
  const std::size_t made = out.find("dialog 234");
  const std::size_t undone = out.find("dialog 234", out.find("Command: U\n", made));
  ASSERT_NE(undone, std::string::npos) << out;
  const std::string tree = out.substr(made, undone - made);
  EXPECT_NE(tree.find("+Drawing2_LS*"), std::string::npos) << tree;
  EXPECT_EQ(out.find("_LS", undone), std::string::npos) << out.substr(undone);
}

// The Units step hands its system to the drawing, which files it: after a save, a close and an
// open, the options sheet's Units page shows the English units chosen in the step.
TEST(GuideCancelScript, TheUnitsStepsSystemStaysWithTheDrawingThroughASaveAndAnOpen) {
  TempDir dir;
  const ProgramRun run =
      runHostScript(dir, ModuleLine() + Guide(Before::Defined) + kGuide +
                             "@click IDC_GUIDE_UNITS_BUTTON\n@click IDC_UNITWIZ_ENGLISH\n@click 12325\n"
                             "SAVEAS units.dwg\nCLOSE\nOPEN units.dwg\nCAEP_SETUP_TAB\n"
                             "@select IDC_SHEET_TABS Units\n@show\n@click IDCANCEL\nQUIT\nN\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("; ignored"), std::string::npos) << run.output;
  const std::size_t reopened = run.output.find("Command: OPEN units.dwg");
  ASSERT_NE(reopened, std::string::npos) << run.output;
  const std::string shown = run.output.substr(reopened);
  EXPECT_NE(shown.find("\" inch\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("\" pound force\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("\" fahrenheit\""), std::string::npos) << shown;
}

}  // namespace
