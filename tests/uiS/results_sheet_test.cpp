// The results sheet over a small result set: what each page writes to the view, the contour
// range's checks, the options dialogs' Cancel and colours outside the list, the animation a
// sheet ends however it closes, OK, Apply and "Results Off", and no sheet without results.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "amg/CaeTransform.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/dialogs/results/UIResGraphPP.h"
#include "gui/dialogs/results/UIResTabPS.h"
#include "gui/utils/UIFerSAPI.h"
#include "mfc/user_actions.h"
#include "mfc/wnd.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

// A CAD whose user coordinate system is turned 90 degrees about z.
class TurnedCad : public RecordingCad {
 public:
  void GetUcsTransform(CaeTransform& transform) override {
    transform = CaeTransform(CaeVector(0, 1, 0), CaeVector(-1, 0, 0), CaeVector(0, 0, 1), CaeVector(0, 0, 0));
  }
  int SelectOrCreateModel(const char*, int) override { return 1; }
};

// One tetrahedron: von Mises 0, 10, 20, 30 at its nodes, displacement along x.
FerResultSet* AddSet(AnlModel& model) {
  FerResultSet* set = model.NewResultSet(CaeString("Static"));
  auto mesh = std::make_shared<FerMesh>();
  mesh->nodeIds = {1, 2, 3, 4};
  mesh->coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
  mesh->elementIds = {1};
  mesh->elementTypes = {FerMesh::kTet4};
  mesh->elementStarts = {0, 4};
  mesh->elementNodes = {1, 2, 3, 4};
  set->SetMesh(mesh);
  set->SetAnalType(AnlStress);
  std::vector<double> stress(40, 0.0), displacement(16, 0.0);
  for (int n = 0; n < 4; ++n) {
    stress[static_cast<std::size_t>(n) * 10] = 10.0 * n;
    displacement[static_cast<std::size_t>(n) * 4] = 0.001 * n;
    displacement[static_cast<std::size_t>(n) * 4 + 3] = 0.001 * n;
  }
  auto* vonMises = new FerResult(FerQtyStress);
  vonMises->SetNodalData(0, {1, 2, 3, 4}, stress);
  set->AddResult(vonMises);
  auto* moved = new FerResult(FerQtyDisplacement);
  moved->SetNodalData(0, {1, 2, 3, 4}, displacement);
  set->AddResult(moved);
  set->AddSubSet(new FerResultSubSet(1.0));
  return set;
}

void Do(const std::string& problem) { EXPECT_EQ(problem, ""); }
void Tab(CWnd& w, const char* page) { Do(mfc::userSelect(w.m_hWnd, AFX_IDC_TAB_CONTROL, page)); }
void Set(CWnd& w, int id, const std::string& text) { Do(mfc::userSetText(w.m_hWnd, id, text)); }
void Select(CWnd& w, int id, const std::string& text) { Do(mfc::userSelect(w.m_hWnd, id, text)); }
void Check(CWnd& w, int id, bool on) { Do(mfc::userCheck(w.m_hWnd, id, on)); }
void Click(CWnd& w, int id) { Do(mfc::userClick(w.m_hWnd, id)); }
std::string Text(CWnd& w, int id) {
  char text[128] = {};
  ::GetWindowText(::GetDlgItem(w.m_hWnd, id), text, sizeof text);
  return text;
}

class ResultsSheetTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    control.SetCurrent();
    FerState::SetState(&state);
    state.SetInterface(&ferInterface);
    FerDisplay::SetCurrent(&display);
    model = control.NewAnlModel(CaeString("Plate"), AnlStress);
    control.SetCurrentAnlModel(model);
    set = AddSet(*model);
    UIShowResultSet(set, model, 1);
    // A plain display to start from: von Mises, no factor of safety, nothing deformed.
    FerDispSettings settings = display.Settings();
    FerColorSetting color = settings.GetColorSettings();
    color.SetResult(FerQtyStress);
    color.SetComponent(1);
    color.UseFactorOfSafety(0);
    settings.SetColorSettings(color);
    display.SetSettings(settings);
  }
  void TearDown() override {
    FerDisplay::UnSetCurrent(&display);
    FerState::SetState(nullptr);
    FrameTest::TearDown();
  }
  // The command as the dispatcher runs it: with the resource library's templates.
  void Sheet() {
    ResourceSetter resources(1);
    UIShowResultsSheet();
  }
  FerColorSetting Color() const { return display.Settings().GetColorSettings(); }
  FerDeformedSetting Deformed() const { return display.Settings().GetDeformedSettings(); }
  FerSymbolSetting Symbol() const { return display.Settings().GetSymbolSettings(); }

  AnlControl control{"plate"};
  TurnedCad cad;
  CaeFerInterface ferInterface;
  FerState state;
  FerWndOGLDisp display;
  AnlModel* model = nullptr;
  FerResultSet* set = nullptr;
};

TEST_F(ResultsSheetTest, WithoutACurrentResultSetItSaysSoAndOpensNothing) {
  control.SetCurrentAnlModel(control.NewAnlModel(CaeString("Empty"), AnlStress));
  control.ClearCurrentResultSet();
  Sheet();
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "An open model with results is required prior to issuing this command");
  EXPECT_EQ(state.IsAnimationInitialized(), 0);
}

// Apply redraws and turns OK into "Close"; Cancel reads "Results Off" and hides the window; the
// animation the sheet began is over however it closes, the Animation page never visited.
TEST_F(ResultsSheetTest, ApplyCloseAndResultsOffEndTheAnimationAndHideTheWindow) {
  ::ShowWindow(display.GetDisplayHandle(), SW_SHOW);
  std::string okBefore, okAfter, cancelText;
  driver.add([&](CWnd& w) {
    okBefore = Text(w, IDOK);
    cancelText = Text(w, IDCANCEL);
    EXPECT_EQ(state.IsAnimationInitialized(), 1) << "the Animation page's constructor began it";
    Click(w, ID_APPLY_NOW);
  });
  driver.add([&](CWnd& w) {
    okAfter = Text(w, IDOK);
    Click(w, IDCANCEL);
  });
  const int redraws = display.RedrawCount();
  Sheet();
  EXPECT_EQ(okBefore, "OK");
  EXPECT_EQ(okAfter, "Close");
  EXPECT_EQ(cancelText, "Results Off");
  EXPECT_GT(display.RedrawCount(), redraws);
  EXPECT_FALSE(::IsWindowVisible(display.GetDisplayHandle()));
  EXPECT_EQ(state.IsAnimationInitialized(), 0) << "ended although Animation was never visited";
  EXPECT_EQ(display.Picture().deformationScale, display.Picture().deformationScale);

  // Closed with OK, not visited either: over too, and the picture is the static one.
  driver.add([&](CWnd& w) { Click(w, IDOK); });
  Sheet();
  EXPECT_EQ(state.IsAnimationInitialized(), 0);
}

// The contour range typed for stress holds for stress; a dataset of another unit type chosen
// later shows its full range without a factor of safety.
TEST_F(ResultsSheetTest, AConfirmedRangeHoldsOnlyForResultsOfItsUnitType) {
  struct Case {
    const char* dataset;
    int rangeType;
    int safety;
  };
  for (const Case& c : {Case{"Stress", 2, 1}, Case{"Displacement", 1, 0}}) {
    driver.add([&](CWnd& w) {
      Tab(w, "Color Display");
      Click(w, IDC_RES_ADVANCED);
    });
    driver.add([&](CWnd& w) {
      EXPECT_EQ(Text(w, IDC_RANGE_DATA_MIN).rfind("0.0e+00", 0), 0u) << Text(w, IDC_RANGE_DATA_MIN);
      EXPECT_EQ(Text(w, IDC_RANGE_DATA_MAX).rfind("3.0e+01", 0), 0u) << Text(w, IDC_RANGE_DATA_MAX);
      Check(w, IDC_RANGE_MIN_MAX, true);
      Set(w, IDC_RANGE_MIN, "5");
      Set(w, IDC_RANGE_MAX, "25");
      Check(w, IDC_RANGE_FOS, true);
      Check(w, IDC_RANGE_FOS_USER, true);
      Set(w, IDC_RANGE_ALLOWABLE, "50");
      Click(w, IDOK);
    });
    driver.add([&](CWnd& w) {
      Select(w, IDC_RES_DATASET, c.dataset);
      Click(w, IDOK);
    });
    Sheet();
    EXPECT_EQ(Color().GetRangeType(), c.rangeType) << c.dataset;
    EXPECT_EQ(Color().FactorOfSafetyUsed(), c.safety) << c.dataset;
    if (c.rangeType == 2) {
      double minimum = 0, maximum = 0, increment = 0;
      Color().GetRange(minimum, maximum, increment);
      EXPECT_DOUBLE_EQ(minimum, 5.0);
      EXPECT_DOUBLE_EQ(maximum, 25.0);
      EXPECT_DOUBLE_EQ(Color().GetFactorOfSafetyValue(), 50.0);
    }
  }
}

// Minimum above maximum: the engine's message, the dialog stays; increments outside 2 to 150:
// the toolkit's message. Nothing reaches the view until the page is applied.
TEST_F(ResultsSheetTest, ABadContourRangeIsRefusedAndTheViewIsUnchanged) {
  const FerColorSetting before = Color();
  int boxesAfterRange = 0, boxesAfterCount = 0;
  driver.add([&](CWnd& w) { Click(w, IDC_RES_ADVANCED); });
  driver.add([&](CWnd& w) {
    Check(w, IDC_RANGE_MIN_MAX, true);
    Set(w, IDC_RANGE_MIN, "90");
    Set(w, IDC_RANGE_MAX, "10");
    Click(w, IDOK);
  });
  driver.add([&](CWnd& w) {
    boxesAfterRange = static_cast<int>(driver.boxes().size());
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(w.m_hWnd, IDC_RANGE_MIN));
    Set(w, IDC_RANGE_MIN, "1");
    Check(w, IDC_RANGE_MAX_INC, true);
    Set(w, IDC_RANGE_COUNT, "151");
    Click(w, IDOK);
  });
  driver.add([&](CWnd& w) {
    boxesAfterCount = static_cast<int>(driver.boxes().size());
    Click(w, IDCANCEL);
  });
  driver.add([&](CWnd& w) { Click(w, IDCANCEL); });
  Sheet();
  ASSERT_EQ(boxesAfterRange, 1);
  EXPECT_EQ(driver.boxes()[0].text,
            "Invalid Range\r\nMinimum value, 90.000000 must be less than maximum value 10.000000");
  EXPECT_EQ(driver.boxes()[0].caption, "");
  EXPECT_EQ(driver.boxes()[0].owner, nullptr);
  EXPECT_EQ(boxesAfterCount, 2) << "the integer range message";
  EXPECT_EQ(Color().GetRangeType(), before.GetRangeType());
  EXPECT_EQ(Color().GetNumberIntervals(), before.GetNumberIntervals());
}

// Cancel of an options dialog drops what was typed in that run: the next apply writes the values
// the dialog opened with (those applied before), not the cancelled ones.
TEST_F(ResultsSheetTest, CancelledOptionsKeepTheValuesConfirmedBefore) {
  driver.add([&](CWnd& w) {
    Tab(w, "Deformed Geometry");
    Click(w, IDC_RES_ADVANCED);
  });
  driver.add([&](CWnd& w) {
    Check(w, IDC_DG_FACTOR, true);
    Set(w, IDC_DG_VALUE, "3");
    Click(w, IDOK);
  });
  driver.add([&](CWnd& w) { Click(w, ID_APPLY_NOW); });
  driver.add([&](CWnd& w) { Click(w, IDC_RES_ADVANCED); });
  driver.add([&](CWnd& w) {
    Set(w, IDC_DG_VALUE, "7");
    Click(w, IDCANCEL);
  });
  driver.add([&](CWnd& w) {
    Tab(w, "Symbol Display");
    Click(w, IDC_RES_ADVANCED);
  });
  driver.add([&](CWnd& w) {
    Check(w, IDC_SYM_FIXED, true);
    Set(w, IDC_SYM_VALUE, "2");
    Click(w, IDOK);
  });
  driver.add([&](CWnd& w) { Click(w, ID_APPLY_NOW); });
  driver.add([&](CWnd& w) { Click(w, IDC_RES_ADVANCED); });
  driver.add([&](CWnd& w) {
    Set(w, IDC_SYM_VALUE, "9");
    Click(w, IDCANCEL);
  });
  driver.add([&](CWnd& w) { Click(w, IDOK); });
  Sheet();
  EXPECT_EQ(Deformed().GetMethod(), FerScaleFactor);
  EXPECT_DOUBLE_EQ(Deformed().GetFactor(), 3.0);
  EXPECT_EQ(Symbol().GetMethod(), 0);
  EXPECT_DOUBLE_EQ(Symbol().GetFixedSize(), 2.0);
}

// A colour the list does not hold opens the dialogs with none selected, and applying keeps the
// setting's own colour instead of writing -1. A non-number or a size of 0 keeps the last value.
TEST_F(ResultsSheetTest, AColourOutsideTheListAndABadSizeKeepTheSettingsOwn) {
  FerDispSettings settings = display.Settings();
  FerDeformedSetting deformed = settings.GetDeformedSettings();
  deformed.SetUndeformedColor(static_cast<FerColor>(99));
  settings.SetDeformedSettings(deformed);
  FerSymbolSetting symbol = settings.GetSymbolSettings();
  symbol.SetColor(static_cast<FerColor>(99));
  symbol.SetMethod(2);
  symbol.SetPercent(4.0);
  settings.SetSymbolSettings(symbol);
  display.SetSettings(settings);
  std::string shownColor = "unset";
  driver.add([&](CWnd& w) {
    Tab(w, "Deformed Geometry");
    Click(w, IDC_RES_ADVANCED);
  });
  driver.add([&](CWnd& w) {
    shownColor = Text(w, IDC_DG_COLOR);
    Click(w, IDOK);
  });
  driver.add([&](CWnd& w) {
    Tab(w, "Symbol Display");
    Click(w, IDC_RES_ADVANCED);
  });
  driver.add([&](CWnd& w) {
    Set(w, IDC_SYM_VALUE, "abc");
    Set(w, IDC_SYM_VALUE, "0");
    Click(w, IDOK);
  });
  driver.add([&](CWnd& w) { Click(w, IDOK); });
  Sheet();
  EXPECT_EQ(shownColor, "");
  EXPECT_EQ(Deformed().GetUndeformedColor(), 99);
  EXPECT_EQ(Symbol().GetColor(), 99);
  EXPECT_DOUBLE_EQ(Symbol().GetPercent(), 4.0) << "neither the non-number nor 0 was taken";
  EXPECT_GE(driver.boxes().size(), 1u) << "the non-number was said";
}

// "Local" takes the components in the CAD's user coordinate system; the symbol page writes its
// location, and the sheet reopens on the page last active.
TEST_F(ResultsSheetTest, LocalFrameSymbolsAndTheRememberedPage) {
  driver.add([&](CWnd& w) {
    Tab(w, "Color Display");
    Select(w, IDC_RES_DATASET, "Displacement");
    Select(w, IDC_RES_COMPONENT, "X");
    Select(w, IDC_RES_FRAME, "Local");
    Tab(w, "Symbol Display");
    Check(w, IDC_RES_SHOW, true);
    Select(w, IDC_RES_DATASET, "Displacement");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w.m_hWnd, IDC_SYM_FACES))) << "displacement is nodal only";
    Check(w, IDC_SYM_NODES, true);
    Click(w, IDOK);
  });
  Sheet();
  CaeTransform frame;
  int kind = -1;
  Color().GetCS(frame, kind);
  EXPECT_EQ(kind, 0);
  EXPECT_NEAR(frame.UnitVector(0).Y(), 1.0, 1e-12) << "local x along global y";
  EXPECT_EQ(Color().GetResult(), FerQtyDisplacement);
  EXPECT_EQ(Color().GetComponent(), 1);
  EXPECT_EQ(Symbol().IsVisible(), 1);
  EXPECT_EQ(Symbol().GetLocation(), 1);
  EXPECT_EQ(UIResultsSheetPage(), 2);
  int activeOnOpen = -1;
  driver.add([&](CWnd& w) {
    activeOnOpen = static_cast<CPropertySheet&>(w).GetActiveIndex();
    Click(w, IDCANCEL);
  });
  Sheet();
  EXPECT_EQ(activeOnOpen, 2);
}

// Without design cycles the graphs page lists the objective's and each constraint's graphs; a
// constraint named so that its entry reads like the objective's still gets its own scalings.
TEST_F(FrameTest, TheGraphsPageChoosesAGraphByItsPlaceInTheList) {
  ResourceSetter resources(1);
  OptResultCase resultCase(CaeString("Run"));
  resultCase.NewObjective()->SetName(CaeString("Mass"));
  resultCase.NewResConstraint()->SetName(CaeString("Objective"));
  CResGraphPP page;
  page.m_pResultCase = &resultCase;
  CPropertySheet sheet("Graphs");
  sheet.AddPage(&page);
  std::vector<std::string> entries;
  std::vector<std::vector<std::string>> scalings;
  std::vector<int> chosen;
  driver.add([&](CWnd& w) {
    auto* list = static_cast<CListBox*>(page.GetDlgItem(IDC_GRAPH_LIST));
    auto* combo = static_cast<CComboBox*>(page.GetDlgItem(IDC_GRAPH_SCALING));
    for (int i = 0; i < list->GetCount(); ++i) {
      CString text;
      list->GetText(i, text);
      entries.push_back(text.str());
      list->SetCurSel(i);
      page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GRAPH_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list->m_hWnd));
      std::vector<std::string> offered;
      for (int k = 0; k < combo->GetCount(); ++k) {
        CString scaling;
        combo->GetLBText(k, scaling);
        offered.push_back(scaling.str());
      }
      scalings.push_back(offered);
      chosen.push_back(combo->GetCurSel());
    }
    w.SendMessage(WM_COMMAND, IDCANCEL);
  });
  sheet.DoModal();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0], entries[1]) << "the constraint's entry reads like the objective's";
  const std::vector<std::string> objective = {"No Scaling", "Scaled to the optimum"};
  const std::vector<std::string> constraint = {"No Scaling", "Constraint feasibility"};
  EXPECT_EQ(scalings[0], objective);
  EXPECT_EQ(scalings[1], constraint);
  EXPECT_EQ(chosen[1], 1) << "a constraint starts on its feasibility";
  EXPECT_EQ(scalings[2], objective);
  EXPECT_EQ(scalings[3], constraint);
}

}  // namespace
