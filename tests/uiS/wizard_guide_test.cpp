// The guide: its tabs per kind with numbering and check marks, the modeless behaviour (OK hides,
// collapse and restore, the keep-focus query), the per-drawing state, and the pages' texts,
// pictures, help and button enabling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/log.h"
#include "mfc/window_drawing.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

class GuideCad : public uistest::RecordingCad {
 public:
  int GetLengthUnit() override { return lengthUnit; }
  int IsRequestPending() override { return pending; }
  int UsesPreselection() override { return preselection; }
  int ModelReady() override { return ready; }
  int lengthUnit = 33;
  int pending = 0;
  int preselection = 1;
  int ready = 1;
};

class GuideTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    main_.CreateEx(0, "Frame", "Host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, RECT{0, 0, 1000, 700}, nullptr, 0);
    AfxGetApp()->m_pMainWnd = &main_;
  }
  void TearDown() override {
    UIClearWizardState();
    AfxGetApp()->m_pMainWnd = nullptr;
    main_.DestroyWindow();
    control_.reset();
    FrameTest::TearDown();
  }
  CAnlWizPS& Open(int kind) {
    UIRunAnalysisWizard(kind);
    mfc::pumpMessages();
    CAnlWizPS* guide = UIGetGuideSheet();
    EXPECT_NE(guide, nullptr);
    return *guide;
  }
  static std::vector<std::string> Tabs(CAnlWizPS& guide) {
    std::vector<std::string> texts;
    CTabCtrl* tabs = guide.GetTabControl();
    for (int i = 0; i < tabs->GetItemCount(); ++i) {
      char text[256] = {};
      TCITEM item;
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      tabs->GetItem(i, &item);
      texts.push_back(text);
    }
    return texts;
  }
  static std::vector<int> Marks(CAnlWizPS& guide) {
    std::vector<int> images;
    CTabCtrl* tabs = guide.GetTabControl();
    for (int i = 0; i < tabs->GetItemCount(); ++i) {
      TCITEM item;
      item.mask = TCIF_IMAGE;
      tabs->GetItem(i, &item);
      images.push_back(item.iImage);
    }
    return images;
  }
  static int Height(CWnd& window) {
    RECT rect;
    window.GetWindowRect(&rect);
    return rect.bottom - rect.top;
  }
  // A drawing's analysis control with a current model of `type` (and sets when asked).
  AnlModel* MakeModel(int type) {
    control_ = std::make_unique<AnlControl>("part");
    control_->SetCurrent();
    AnlModel* model = control_->NewAnlModel("M", static_cast<AnlType>(type));
    control_->SetCurrentAnlModel(model);
    return model;
  }
  void MakeLoadSet() {
    if (!control_) {
      control_ = std::make_unique<AnlControl>("part");
      control_->SetCurrent();
    }
    control_->SetCurrentLoadCase(control_->NewLoadCase("Loads"));
  }
  bool Enabled(CAnlWizPS& guide, int id) { return guide.GetActivePage()->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
  int DefaultButton(CAnlWizPS& guide) { return LOWORD(static_cast<CDialog*>(guide.GetActivePage())->GetDefID()); }

  GuideCad cad;
  CWnd main_;
  std::unique_ptr<AnlControl> control_;
};

TEST_F(GuideTest, TheStepTabsAreNumberedAndTheVibrationGuideHasNoLoadsTab) {
  CAnlWizPS& stress = Open(0);
  EXPECT_EQ(Tabs(stress),
            (std::vector<std::string>{"Introduction", "1. Problem Definition", "2. Units", "3. Loads", "4. Restraints",
                                      "5. Mating Relations", "6. Analyze", "7. Results Processing"}));
  CString caption;
  stress.GetWindowText(caption);
  EXPECT_EQ(std::string(caption), "Stress Wizard");
  EXPECT_TRUE(UIIsWizardModeless());

  CAnlWizPS& vibration = Open(1);  // another kind replaces the guide
  EXPECT_EQ(Tabs(vibration),
            (std::vector<std::string>{"Introduction", "1. Problem Definition", "2. Units", "3. Restraints",
                                      "4. Mating Relations", "5. Analyze", "6. Results Processing"}));
  UISetWizardTabState(3, 1);
  EXPECT_EQ(Marks(vibration), (std::vector<int>{-1, -1, -1, -1, -1, -1, -1})) << "step 3 is only recorded";
  EXPECT_EQ(UIGetWizardTabState(3), 1);
  UISetWizardTabState(4, 1);
  EXPECT_EQ(Marks(vibration), (std::vector<int>{-1, -1, -1, 3, -1, -1, -1}));
  UISetWizardTabState(4, 0);
  EXPECT_EQ(Marks(vibration)[3], -1);
}

TEST_F(GuideTest, TabIndicesOfTheStepsByKind) {
  const struct {
    int kind;
    int tabs[8];
  } cases[] = {
      {0, {0, 1, 2, 3, 4, 5, 6, 7}},
      {1, {0, 1, 2, -1, 3, 4, 5, 6}},
      {3, {0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const auto& c : cases) {
    for (int step = 0; step < kGuideSteps; ++step) {
      EXPECT_EQ(UIWizardTabIndex(step, c.kind), c.tabs[step]) << "kind " << c.kind << " step " << step;
      if (c.tabs[step] >= 0) {
        EXPECT_EQ(UIWizardStepOfTab(c.tabs[step], c.kind), step);
      }
    }
  }
}

TEST_F(GuideTest, MarksRecordedBeforeTheGuideShowOnItsFirstActivation) {
  UISetWizardTabState(0, 1);
  UISetWizardTabState(2, 1);
  CAnlWizPS& guide = Open(0);
  EXPECT_EQ(Marks(guide), (std::vector<int>{0, -1, 2, -1, -1, -1, -1, -1}));
}

TEST_F(GuideTest, AnotherKindStartsOnTheIntroductionAndTheSameKindOnTheRememberedStep) {
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(2);
  EXPECT_EQ(UIGetWizardStep(), 2);
  guide.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_FALSE(guide.IsWindowVisible()) << "OK hides the guide";
  EXPECT_EQ(UIGetGuideSheet(), &guide) << "and keeps it";
  EXPECT_EQ(GetActiveWindow(), main_.m_hWnd);

  CAnlWizPS& again = Open(0);
  EXPECT_EQ(&again, &guide);
  EXPECT_TRUE(again.IsWindowVisible());
  EXPECT_EQ(again.GetActiveIndex(), 2);

  CAnlWizPS& heat = Open(3);
  EXPECT_EQ(heat.GetActiveIndex(), 0);
}

TEST_F(GuideTest, AModelOfAnotherKindOffersTheConversionFirst) {
  MakeModel(AnlVibration);
  driver.add([](CWnd& dialog) { static_cast<CDialog&>(dialog).EndDialog(IDCANCEL); });
  UIRunAnalysisWizard(0);
  EXPECT_EQ(UIGetGuideSheet(), nullptr) << "Cancel starts no guide";

  driver.add([](CWnd& dialog) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CONVERT_NEW, BN_CLICKED)); });
  CAnlWizPS& guide = Open(0);
  EXPECT_FALSE(CadHasCurrentModel()) << "New closed the vibration model";
  EXPECT_EQ(guide.Kind(), 0);
  EXPECT_EQ(guide.GetActiveIndex(), 0);
}

TEST_F(GuideTest, AVibrationGuideClosesTheCurrentLoadSetAndClearsStep3) {
  MakeLoadSet();
  UISetWizardTabState(3, 1);
  Open(1);
  EXPECT_FALSE(CadHasCurrentLoadCase());
  EXPECT_EQ(UIGetWizardTabState(3), 0);
}

TEST_F(GuideTest, CollapseKeepsTheTabStripAndATabClickOrTheSystemMenuRestores) {
  CAnlWizPS& guide = Open(0);
  const int full = Height(guide);
  guide.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));  // "Minimi&ze"
  EXPECT_TRUE(guide.IsCollapsed());
  EXPECT_LT(Height(guide), full);
  EXPECT_GT(Height(guide), 0);

  // A mark while collapsed refreshes the page (once the host is idle) and leaves it collapsed.
  UISetWizardTabState(0, 1);
  UISetWizardTabState(1, 1);
  mfc::pumpMessages();
  EXPECT_TRUE(guide.IsCollapsed());

  guide.SetActivePage(3);  // a tab click
  EXPECT_FALSE(guide.IsCollapsed());
  EXPECT_EQ(Height(guide), full);

  guide.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  EXPECT_TRUE(guide.IsCollapsed());
  EXPECT_EQ(guide.GetSystemMenu(FALSE)->GetMenuState(SC_MINIMIZE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  guide.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  EXPECT_FALSE(guide.IsCollapsed());
  guide.SendMessage(WM_NCLBUTTONDBLCLK);
  EXPECT_TRUE(guide.IsCollapsed());
  guide.SendMessage(WM_NCLBUTTONDBLCLK);
  EXPECT_EQ(Height(guide), full);
}

TEST_F(GuideTest, TheCloseBoxHidesAndTheKeepFocusQueryFollowsVisibility) {
  CAnlWizPS& guide = Open(0);
  EXPECT_EQ(guide.SendMessage(WM_BRING_TO_TOP_PRIVATE), 1);
  guide.SendMessage(WM_CLOSE);
  EXPECT_EQ(UIGetGuideSheet(), &guide);
  EXPECT_FALSE(guide.IsWindowVisible());
  EXPECT_EQ(guide.SendMessage(WM_BRING_TO_TOP_PRIVATE), 0);
  EXPECT_EQ(UIShowWizardSheet(1), 0);
  EXPECT_EQ(UIShowWizardSheet(0), 1);
}

TEST_F(GuideTest, EachDrawingKeepsItsStepMaterialAndMarks) {
  CAnlWizPS& guide = Open(0);
  UISetWizardTabState(0, 1);
  UISetWizardTabState(2, 1);
  guide.SetActivePage(2);
  UICurrentMaterialName = "Steel";
  GuideDocState first;
  UISaveWizardState(first);

  GuideDocState second;  // a drawing the guide never saw
  UIRestoreWizardState(second);
  EXPECT_EQ(Marks(guide), (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(guide.GetActiveIndex(), 0);
  EXPECT_TRUE(UICurrentMaterialName.IsEmpty());

  UIRestoreWizardState(first);
  EXPECT_EQ(Marks(guide), (std::vector<int>{0, -1, 2, -1, -1, -1, -1, -1}));
  EXPECT_EQ(guide.GetActiveIndex(), 2);
  EXPECT_EQ(std::string(UICurrentMaterialName), "Steel");
  EXPECT_EQ(std::string(first.partName), "Steel") << "the drawing's material name is the one variable";
}

// Each restored drawing gives the tabs a fresh copy of the check marks; the copy they had is
// freed (the leak checker of the sanitizer build fails this test when it is not).
TEST_F(GuideTest, RestoringADrawingGivesTheTabsAFreshImageListAndFreesTheOld) {
  CAnlWizPS& guide = Open(0);
  UISetWizardTabState(2, 1);
  GuideDocState state;
  UISaveWizardState(state);
  for (int round = 0; round < 3; ++round) {
    const CImageList* before = guide.GetTabControl()->GetImageList();
    ASSERT_NE(before, nullptr);
    UIRestoreWizardState(state);
    const CImageList* after = guide.GetTabControl()->GetImageList();
    ASSERT_NE(after, nullptr);
    EXPECT_NE(after, before);
    EXPECT_EQ(after->GetImageCount(), 8);
    EXPECT_EQ(Marks(guide)[2], 2);
  }
}

TEST_F(GuideTest, ResettingTheStepsMovesTheGuideBackToProblemDefinition) {
  CAnlWizPS& guide = Open(0);
  for (int step = 0; step < kGuideSteps; ++step) UISetWizardTabState(step, 1);
  guide.SetActivePage(5);
  UIResetWizardSteps(0);
  EXPECT_EQ(Marks(guide), (std::vector<int>{0, -1, -1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(guide.GetActiveIndex(), 1);
  EXPECT_EQ(UIGetWizardStep(), 1);
}

TEST_F(GuideTest, TheIntroductionSaysTheKindAndBeginMarksItAndMovesOn) {
  CAnlWizPS& guide = Open(3);
  CString text;
  guide.GetActivePage()->GetDlgItemText(IDC_GUIDE_INTRO_TEXT1, text);
  EXPECT_EQ(
      std::string(text),
      "Welcome to the Heat Transfer Wizard, your quick and easy guide through the process of design simulation. ");
  guide.GetActivePage()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GUIDE_BEGIN, BN_CLICKED));
  EXPECT_EQ(UIGetWizardTabState(0), 1);
  EXPECT_EQ(guide.GetActiveIndex(), 1);
}

TEST_F(GuideTest, ThePagesEnableTheirActionByTheDrawingsState) {
  // No model, no sets: Units and Results disabled, Next (Back on Results) the default.
  const struct {
    int tab;
    int action;
    int fallback;
  } pages[] = {
      {2, IDC_GUIDE_UNITS_BUTTON, IDC_GUIDE_UNITS_NEXT},
      {3, IDC_GUIDE_LOADS_BUTTON, IDC_GUIDE_LOADS_NEXT},
      {4, IDC_GUIDE_RESTRAINTS_BUTTON, IDC_GUIDE_RESTRAINTS_NEXT},
      {6, IDC_GUIDE_ANALYZE_BUTTON, IDC_GUIDE_ANALYZE_NEXT},
      {7, IDC_GUIDE_RESULTS_BUTTON, IDC_GUIDE_BACK},
  };
  CAnlWizPS& guide = Open(0);
  for (const auto& page : pages) {
    SCOPED_TRACE(page.tab);
    guide.SetActivePage(page.tab);
    mfc::pumpMessages();
    EXPECT_FALSE(Enabled(guide, page.action));
    EXPECT_EQ(DefaultButton(guide), page.fallback);
  }

  MakeLoadSet();  // a load set but no model: Loads only
  guide.SetActivePage(3);
  mfc::pumpMessages();
  EXPECT_TRUE(Enabled(guide, IDC_GUIDE_LOADS_BUTTON));
  EXPECT_EQ(DefaultButton(guide), IDC_GUIDE_LOADS_BUTTON);

  MakeModel(AnlStress);
  for (const auto& page : pages) {
    SCOPED_TRACE(page.tab);
    guide.SetActivePage(page.tab);
    mfc::pumpMessages();
    EXPECT_TRUE(Enabled(guide, page.action));
    EXPECT_EQ(DefaultButton(guide), page.action);
  }

  cad.ready = 0;  // a model the host cannot analyse yet
  guide.SetActivePage(6);
  mfc::pumpMessages();
  EXPECT_FALSE(Enabled(guide, IDC_GUIDE_ANALYZE_BUTTON));
}

TEST_F(GuideTest, AVibrationModelDisablesLoadsAndResultSetsDisableAnalyze) {
  AnlModel* model = MakeModel(AnlStress);
  model->NewResultSet("R");
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(6);
  mfc::pumpMessages();
  EXPECT_FALSE(Enabled(guide, IDC_GUIDE_ANALYZE_BUTTON));

  MakeModel(AnlVibration);
  guide.SetActivePage(3);
  mfc::pumpMessages();
  EXPECT_FALSE(Enabled(guide, IDC_GUIDE_LOADS_BUTTON));
}

TEST_F(GuideTest, MatingRelationsNeverOffersItsButtonAndItsNextMarksTheStep) {
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(5);
  mfc::pumpMessages();
  CWnd* page = guide.GetActivePage();
  EXPECT_FALSE(page->GetDlgItem(IDC_GUIDE_MATE_REL_BUTTON)->IsWindowVisible());
  EXPECT_EQ(DefaultButton(guide), IDC_GUIDE_MATE_REL_NEXT);
  page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GUIDE_MATE_REL_NEXT, BN_CLICKED));
  EXPECT_EQ(UIGetWizardTabState(5), 1);
  EXPECT_EQ(guide.GetActiveIndex(), 6);
}

TEST_F(GuideTest, HeatPagesShowTheirThermalTextsPicturesAndHelp) {
  const struct {
    int kind;
    const char* loadsStart;
    const char* help;
  } cases[] = {
      {3, "The transfer of heat", "data 0x8000000a"},
      {0, "The type and magnitude", "data 0x20095"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    CAnlWizPS& guide = Open(c.kind);
    guide.SetActivePage(3);
    CString text;
    guide.GetActivePage()->GetDlgItemText(IDC_GUIDE_LOADS_TEXT, text);
    EXPECT_EQ(std::string(text).rfind(c.loadsStart, 0), 0u) << text;
    mfc::clearLog();
    guide.PressButton(PSBTN_HELP);
    bool found = false;
    for (const std::string& line : mfc::logLines()) found = found || line.find(c.help) != std::string::npos;
    EXPECT_TRUE(found) << c.help;
    UIDestroyWizardSheet();
  }
}

TEST_F(GuideTest, ThePagePictureIsPaintedAtItsPlaceholder) {
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(2);
  CWnd* page = guide.GetActivePage();
  mfc::clearWindowDrawing(page->m_hWnd);
  page->SendMessage(WM_PAINT);
  RECT placeholder;
  page->GetDlgItem(IDC_GUIDE_UNITS_PICTURE)->GetWindowRect(&placeholder);
  page->ScreenToClient(&placeholder);
  const std::vector<std::string> drawn = mfc::windowDrawing(page->m_hWnd);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), "blt bitmap dib 150x165 at " + std::to_string(placeholder.left) + "," +
                              std::to_string(placeholder.top) + " size 150x165");
}

TEST_F(GuideTest, TheLengthLineShowsOnlyWhileTheDrawingsUnitIsUnknown) {
  for (const int unit : {33, 2}) {
    SCOPED_TRACE(unit);
    cad.lengthUnit = unit;
    CAnlWizPS& guide = Open(0);
    guide.SetActivePage(1);
    EXPECT_EQ(guide.GetActivePage()->GetDlgItem(IDC_GUIDE_LENGTH_LINE1)->IsWindowVisible() != FALSE, unit == 33);
    UIDestroyWizardSheet();
  }
}

TEST_F(GuideTest, FinishOnResultsHidesTheGuideWhichThenOpensOnProblemDefinition) {
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(7);
  guide.GetActivePage()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GUIDE_FINISH, BN_CLICKED));
  EXPECT_FALSE(guide.IsWindowVisible());
  EXPECT_EQ(UIGetWizardStep(), 1);
  EXPECT_EQ(Open(0).GetActiveIndex(), 1);
}

int stepRuns = 0;
int CountStep() { return ++stepRuns; }

TEST_F(GuideTest, AParkedPickRunsTheLoadStepAgainWhenItsPageBecomesActive) {
  stepRuns = 0;
  const CadCommandHandler previous = cmdReplaceHandler(cmdIndex(CadCommand::LoadStep), CountStep);
  // The restraints page passed on the way re-runs its own step too; its wizard must not run here.
  const CadCommandHandler restraints = cmdReplaceHandler(cmdIndex(CadCommand::RestraintsStep), [] { return 0; });
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(3);
  mfc::pumpMessages();
  EXPECT_EQ(stepRuns, 0);
  cad.pending = 1;
  guide.SetActivePage(4);
  guide.SetActivePage(3);
  mfc::pumpMessages();
  EXPECT_EQ(stepRuns, 1);
  cmdReplaceHandler(cmdIndex(CadCommand::LoadStep), previous);
  cmdReplaceHandler(cmdIndex(CadCommand::RestraintsStep), restraints);
}

// Marks written during an undo come in bursts: each shows on its tab at once, and the active page
// refreshes once for the whole burst, when the host is idle. The parked pick makes a refresh
// visible: every refresh of the loads page runs the load step again.
TEST_F(GuideTest, ABurstOfMarksShowsAtOnceAndRefreshesThePageOnce) {
  stepRuns = 0;
  const CadCommandHandler previous = cmdReplaceHandler(cmdIndex(CadCommand::LoadStep), CountStep);
  // The restraints page passed on the way re-runs its own step too; its wizard must not run here.
  const CadCommandHandler restraints = cmdReplaceHandler(cmdIndex(CadCommand::RestraintsStep), [] { return 0; });
  CAnlWizPS& guide = Open(0);
  guide.SetActivePage(3);
  mfc::pumpMessages();
  cad.pending = 1;
  for (int round = 0; round < 4; ++round) {
    UISetWizardTabState(6, round % 2);
    EXPECT_EQ(Marks(guide)[6], round % 2 ? 6 : -1) << "shown before any message is handled";
  }
  EXPECT_EQ(stepRuns, 0);
  mfc::pumpMessages();
  EXPECT_EQ(stepRuns, 1);
  cmdReplaceHandler(cmdIndex(CadCommand::LoadStep), previous);
  cmdReplaceHandler(cmdIndex(CadCommand::RestraintsStep), restraints);
}

TEST_F(GuideTest, UnloadingDestroysTheGuide) {
  Open(2);
  UIDestroyWizardSheet();
  EXPECT_EQ(UIGetGuideSheet(), nullptr);
  EXPECT_FALSE(UIIsWizardModeless());
  EXPECT_EQ(UIShowWizardSheet(1), 0);
}

}  // namespace
