// The attribute sheet against a CAD interface that records what it is asked: the tables that
// turn a category and a geometry into a condition code, values typed in host units reaching the
// builders in native ones, every refusal leaving the drawing untouched, the Face coordinates
// freeing the components they hide, and the sheet never outliving a failed build.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeCoordSys.h"
#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "gui/dialogs/common/UISelectPromptDlg.h"
#include "gui/dialogs/lbc/UIAttCommands.h"
#include "gui/dialogs/lbc/UIAttPS.h"
#include "gui/dialogs/model/UIMateRelPP.h"
#include "gui/graph2d/UIGraphEditDlg.h"
#include "mfc/user_actions.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

constexpr double kNewtonsPerPoundForce = 4.4482216152605;
int gFaceToken = 0;
AcBrEntity* const kPickedFace = reinterpret_cast<AcBrEntity*>(&gFaceToken);
int gSolidToken = 0;
AcBrEntity* const kPickedSolid = reinterpret_cast<AcBrEntity*>(&gSolidToken);

// One builder call as the CAD interface saw it.
struct Built {
  std::string call;
  int type = 0;
  std::string name;
  int free[6] = {};
  double values[3] = {};
  AcBrEntity* entity = nullptr;
};

class BuilderCad : public uistest::RecordingCad {
 public:
  AcBrEntity* PickEntity(int kind) override {
    picks.push_back(kind);
    return kind == 2 ? kPickedFace : kind == 1 ? kPickedSolid : nullptr;
  }
  int GetTopologyKind(AcBrEntity* entity) override {
    return entity == kPickedFace ? 2 : entity == kPickedSolid ? 1 : 0;
  }
  int CreateLbc(CaeString name, int, double, int type, int* free, double* values, CaeCoordSys* system,
                AcBrEntity* entity) override {
    (void)system;  // the caller keeps its system
    if (failBuild) throw CaeExcept(CaeString("build failed"), 0xc0000fa2);
    Built b{"CreateLbc", type, name.Text(), {}, {}, entity};
    for (int i = 0; i < 6; ++i) b.free[i] = free[i];
    for (int i = 0; i < 3; ++i) b.values[i] = values[i];
    built.push_back(b);
    return 1;
  }
  int CreateConvection(CaeString name, int, double, int type, int, double film, double ambient,
                       CaeList<AttTableTempValue>& table, AcBrEntity* entity) override {
    built.push_back(Built{"CreateConvection", type, name.Text(), {}, {film, ambient, 0.0}, entity});
    tables.emplace_back();
    for (AttTableTempValue* row : table) tables.back().emplace_back(row->Temp(), row->Value());
    return 1;
  }
  void EditLbc(AttBaseLbc* old, CaeString name, int, double, int type, int* free, double* values,
               CaeCoordSys*) override {
    Built b{"EditLbc", type, name.Text(), {}, {}, nullptr};
    for (int i = 0; i < 6; ++i) b.free[i] = free[i];
    for (int i = 0; i < 3; ++i) b.values[i] = values[i];
    built.push_back(b);
    edited.push_back(old);
  }
  AttModelTemp* CreatePrescribedTemperature(CaeString name, int, double, double model, double reference, int) override {
    built.push_back(Built{"CreatePrescribedTemperature", 0, name.Text(), {}, {model, reference, 0.0}, nullptr});
    temperatures.push_back(std::make_unique<AttModelTemp>(FindLbcDescript(ToAttType(AttCode::BodyTemperature)), nullptr,
                                                          model, reference));
    AnlControl::GetCurrent()->CurrentLoadCase()->AddLbc(temperatures.back().get());
    return temperatures.back().get();
  }
  void CreateMateRelation(CaeString name, int colour, double) override {
    built.push_back(Built{"CreateMateRelation", colour, name.Text(), {}, {}, nullptr});
  }
  std::vector<int> picks;
  std::vector<Built> built;
  std::vector<AttBaseLbc*> edited;
  std::vector<std::vector<std::pair<double, double>>> tables;  // each convection's (temperature, film)
  std::vector<std::unique_ptr<AttModelTemp>> temperatures;
  bool failBuild = false;
};

using Step = uistest::RecordingDriver::Step;

class AttSheetTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    resources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();
    cad_ = std::make_unique<BuilderCad>();
    control_.SetCurrent();
    control_.SetCurrentAnlModel(control_.NewAnlModel(CaeString("Plate"), static_cast<AnlType>(0)));
    control_.SetCurrentLoadCase(control_.NewLoadCase(CaeString("Loads")));
    control_.SetCurrentRestraintCase(control_.NewRestraintCase(CaeString("Fixed")));
    UIAttResetModuleState();
  }
  void TearDown() override {
    UIAttResetModuleState();
    cad_.reset();
    appControl_.reset();
    resources_.reset();
    FrameTest::TearDown();
  }
  BuilderCad& cad() { return *cad_; }
  void run(std::vector<Step> steps) {
    for (auto& step : steps) driver.add(std::move(step));
  }

  static CPropertySheet& Sheet(CWnd& window) { return dynamic_cast<CPropertySheet&>(window); }
  static CWnd& Page(CWnd& window) { return *Sheet(window).GetActivePage(); }
  static void Type(CWnd& window, int id, const char* text) { Page(window).GetDlgItem(id)->SetWindowText(text); }
  static void Check(CWnd& window, int id) { static_cast<CButton*>(Page(window).GetDlgItem(id))->SetCheck(1); }
  static void Uncheck(CWnd& window, int id) { static_cast<CButton*>(Page(window).GetDlgItem(id))->SetCheck(0); }
  static void Choose(CWnd& window, int id, int index) {
    CWnd& page = Page(window);
    static_cast<CComboBox*>(page.GetDlgItem(id))->SetCurSel(index);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), 0);
  }
  static void ClickOnPage(CWnd& window, int id) { Page(window).SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static void Press(CWnd& window, int id) { window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  // Picks the face on the Geometry tab (the last tab), which brings the first page back.
  static void PickFace(CWnd& window) {
    CPropertySheet& sheet = Sheet(window);
    sheet.SetActivePage(sheet.GetPageCount() - 1);
    ClickOnPage(window, IDC_GEOM_FACE);
  }
  static void PickSolid(CWnd& window) {
    CPropertySheet& sheet = Sheet(window);
    sheet.SetActivePage(sheet.GetPageCount() - 1);
    ClickOnPage(window, IDC_GEOM_SOLID);
  }

 private:
  std::optional<ResourceSetter> resources_;
  std::unique_ptr<CadAppControl> appControl_;
  std::unique_ptr<BuilderCad> cad_;
  AnlControl control_{"plate"};
};

// ---- tables ----

struct ResolveRow {
  const char* name;
  int sheet;
  int category;
  int kindIn;
  int type;
  int kindOut;
};

TEST_F(AttSheetTest, CategoryAndGeometryResolveToConditionCodes) {
  const ResolveRow rows[] = {
      {"distributed force on a face", 0, 0, 2, 2, 2},
      {"distributed force on a vertex is a vertex force", 0, 0, 4, 1, 4},
      {"distributed force on a solid has no code", 0, 0, 1, 0, 1},
      {"total force on an edge", 0, 1, 3, 24, 3},
      {"total force on a vertex", 0, 1, 4, 1, 4},
      {"enforced displacement on a face", 0, 2, 2, 10, 2},
      {"pressure forces the face", 0, 3, 4, 4, 2},
      {"moment forces the face", 0, 4, 1, 29, 2},
      {"acceleration forces the solid", 0, 5, 2, 13, 1},
      {"gravity on any sheet forces the solid", 2, 6, 3, 12, 1},
      {"spin", 1, 7, 2, 11, 1},
      {"temperature", 0, 8, 2, 14, 1},
      {"custom restraint on an edge", 1, 0, 3, 6, 3},
      {"pinned restraint forces the face", 1, 1, 3, 25, 2},
      {"restraint category 2 has no code", 1, 2, 2, 0, 2},
      {"acceleration on a restraint sheet", 1, 5, 2, 0, 2},
      {"convection forces the face", 2, 0, 3, 18, 2},
      {"volumetric heat flow forces the solid", 2, 1, 2, 19, 1},
      {"fixed temperature on a vertex", 2, 2, 4, 20, 4},
      {"heat flux forces the face", 2, 3, 1, 16, 2},
      {"heat flow on a face has no code", 2, 4, 2, 0, 2},
      {"heat flow on an edge", 2, 4, 3, 17, 3},
      {"no geometry where the table chooses", 0, 1, 0, 0, 0},
      {"category above 8", 0, 9, 2, 0, 2},
  };
  for (const ResolveRow& row : rows) {
    int kind = row.kindIn;
    EXPECT_EQ(CAttPS::ResolveAttType(row.sheet, row.category, kind), row.type) << row.name;
    EXPECT_EQ(kind, row.kindOut) << row.name;
  }
}

TEST_F(AttSheetTest, EveryCodeComesBackToItsCategoryAndName) {
  struct Row {
    int type;
    int category;
    const char* name;
  };
  const Row rows[] = {{1, 1, "Total Force"},
                      {2, 0, "Distributed Force"},
                      {4, 3, "Pressure"},
                      {7, 0, "Custom Restraint"},
                      {9, 2, "Enforced Displacement"},
                      {11, 7, "Spin"},
                      {14, 8, "Temperature"},
                      {15, 4, "Heat Flow"},
                      {16, 3, "Heat Flux"},
                      {18, 0, "Convection"},
                      {19, 1, "Volumetric Heat Flow"},
                      {22, 2, "Fixed Temperature"},
                      {25, 1, "Pinned Restraint"},
                      {29, 4, "Moment"},
                      {27, -1, ""}};
  for (const Row& row : rows) {
    EXPECT_EQ(CAttPS::ValueCategory(row.type), row.category) << row.type;
    EXPECT_EQ(std::string(static_cast<const char*>(CAttPS::DefaultName(row.type))), row.name) << row.type;
  }
}

TEST_F(AttSheetTest, AllowedGeometryFollowsSheetAndCategory) {
  // Bits 2 solid, 4 face, 8 edge, 16 vertex.
  struct Row {
    int sheet;
    int category;
    int mask;
  };
  const Row rows[] = {{0, 0, 4 | 8}, {0, 1, 4 | 8 | 16}, {0, 3, 4}, {0, 6, 2},      {1, 0, 4 | 8 | 16},
                      {1, 1, 4},     {2, 0, 4},          {2, 1, 2}, {2, 4, 8 | 16}, {2, 9, 0}};
  for (const Row& row : rows) {
    int mask = 0;
    for (int kind = 1; kind <= 4; ++kind)
      if (CAttPS::IsKindAllowed(row.sheet, row.category, kind)) mask |= 1 << kind;
    EXPECT_EQ(mask, row.mask) << row.sheet << "/" << row.category;
  }
}

// ---- loads ----

TEST_F(AttSheetTest, TotalForceTypedInPoundsReachesTheBuilderInNewtons) {
  CaeUnitSystem english(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz);
  CaeUnitSystem* previous = CaeUnitSystem::SetHostSystem(&english);
  UIAttRemembered().load = ToAttType(AttCode::FaceTotalForce);
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "-224.809"); }, [](CWnd& w) { PickFace(w); },
       [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  CaeUnitSystem::SetHostSystem(previous);
  ASSERT_EQ(cad().built.size(), 1u);
  const Built& b = cad().built[0];
  EXPECT_EQ(b.type, ToAttType(AttCode::FaceTotalForce));
  EXPECT_EQ(b.name, "Total_Force");
  EXPECT_EQ(b.entity, kPickedFace);
  EXPECT_NEAR(b.values[2], -224.809 * kNewtonsPerPoundForce, 1e-3);
  EXPECT_EQ(b.values[0], 0.0);
  const int free[6] = {0, 0, 0, 1, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.free[i], free[i]) << i;
  EXPECT_EQ(UIAttPendingSheet(), nullptr);
}

TEST_F(AttSheetTest, PressureHandsOnlyItsNormalValue) {
  // The hidden first two values of a scalar load are typed but never applied.
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE1, "7"); }, [](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "5"); },
       [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_EQ(cad().built[0].type, ToAttType(AttCode::Pressure));
  EXPECT_EQ(cad().built[0].values[0], 0.0);
  EXPECT_EQ(cad().built[0].free[0], 1);
  EXPECT_NEAR(cad().built[0].values[2], 5.0, 1e-12);
}

TEST_F(AttSheetTest, AddOpensAFreshSheetAndOkEndsTheLoop) {
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "1"); }, [](CWnd& w) { PickFace(w); },
       [](CWnd& w) { Press(w, ID_APPLY_NOW); }, [](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "2"); },
       [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  ASSERT_EQ(cad().built.size(), 2u);
  EXPECT_NEAR(cad().built[0].values[2], 1.0, 1e-12);
  EXPECT_NEAR(cad().built[1].values[2], 2.0, 1e-12);
}

// Every refusal leaves the sheet open; the test then cancels it: nothing is built.
struct Refusal {
  const char* name;
  int kind;
  std::vector<Step> steps;
  const char* message;  // the box shown, empty for the platform's own
};

TEST_F(AttSheetTest, RefusalsAndCancelBuildNothing) {
  const std::vector<Refusal> cases = {
      {"no geometry",
       0,
       {[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "5"); }, [](CWnd& w) { Press(w, IDOK); }},
       "Geometry selection required."},
      {"all values zero",
       0,
       {[](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }},
       "Please enter at least one non-zero load value."},
      {"not a number",
       0,
       {[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "abc"); }, [](CWnd& w) { PickFace(w); },
        [](CWnd& w) { Press(w, IDOK); }},
       ""},
      {"nothing restrained",
       1,
       {[](CWnd& w) { Uncheck(w, IDC_REST_FIXED_T1); }, [](CWnd& w) { Uncheck(w, IDC_REST_FIXED_T2); },
        [](CWnd& w) { Uncheck(w, IDC_REST_FIXED_T3); }, [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }},
       "Please restrain at least one component."},
      {"heat flux of zero",
       2,
       {[](CWnd& w) { Choose(w, IDC_HEAT_TYPE, CAttPS::kHeatFlux); }, [](CWnd& w) { PickFace(w); },
        [](CWnd& w) { Press(w, IDOK); }},
       "Please enter a non-zero value."},
      {"cancel", 0, {[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "5"); }, [](CWnd& w) { PickFace(w); }}, nullptr},
      {"restraint cancelled", 1, {[](CWnd& w) { PickFace(w); }}, nullptr},
      {"restraint symbol size of 0",
       1,
       {[](CWnd& w) { PickFace(w); }, [](CWnd& w) { Sheet(w).SetActivePage(1); },
        [](CWnd& w) { Type(w, IDC_SYMBOL_SIZE, "0"); }, [](CWnd& w) { Press(w, IDOK); }},
       ""},
      {"heat value not a number",
       2,
       {[](CWnd& w) { Type(w, IDC_HEAT_VALUE, "warm"); }, [](CWnd& w) { PickFace(w); },
        [](CWnd& w) { Press(w, IDOK); }},
       ""},
      {"heat cancelled",
       2,
       {[](CWnd& w) { Type(w, IDC_HEAT_CONSTANT_VALUE, "25"); }, [](CWnd& w) { PickFace(w); }},
       nullptr},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    cad().built.clear();
    const size_t boxesBefore = driver.boxes().size();
    run(c.steps);
    run({[](CWnd& w) { Press(w, IDCANCEL); }});
    UIAttNew(c.kind);
    EXPECT_TRUE(cad().built.empty());
    EXPECT_EQ(UIAttPendingSheet(), nullptr);
    if (!c.message) continue;
    ASSERT_GT(driver.boxes().size(), boxesBefore);
    if (*c.message) {
      EXPECT_EQ(driver.boxes().back().text, c.message);
    }
  }
}

TEST_F(AttSheetTest, NoLoadSetRefusesBeforeAnySheet) {
  AnlControl::GetCurrent()->ClearCurrentLoadCase();
  UIAttNew(0);
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(driver.boxes().back().text, "An open load set is required before issuing this command");
  EXPECT_TRUE(cad().built.empty());
}

// ---- restraints ----

TEST_F(AttSheetTest, FaceCoordinatesFreeTheComponentsTheyHide) {
  // A new restraint starts with its translations fixed; Face coordinates keep only the normal.
  run({[](CWnd& w) { Check(w, IDC_REST_FIXED_T1); },
       [](CWnd& w) { Choose(w, IDC_ATT_COORD_TYPE, CAttPS::kFaceCoordType); }, [](CWnd& w) { PickFace(w); },
       [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(1);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_EQ(cad().built[0].type, ToAttType(AttCode::FaceRestraint));
  const int free[6] = {1, 1, 0, 1, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(cad().built[0].free[i], free[i]) << i;
}

TEST_F(AttSheetTest, NewRestraintOnASolidLeavesRotationsFree) {
  run({[](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(1);
  ASSERT_EQ(cad().built.size(), 1u);
  const int free[6] = {0, 0, 0, 1, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(cad().built[0].free[i], free[i]) << i;
}

// ---- a sheet parked for "Change View" ----

// Closes the select prompt "Change View" left on screen (it deletes itself with its window).
void ClosePrompts() {
  for (HWND window : mfc::topLevelWindows())
    if (auto* prompt = dynamic_cast<CSelectPromptDlg*>(CWnd::FromHandlePermanent(window))) prompt->DestroyWindow();
}

TEST_F(AttSheetTest, ChangeViewKeepsTheSheetForItsDrawingOnly) {
  // Parked: the command that resumes finds the same sheet with what was typed.
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "8"); }, [](CWnd& w) { PickFace(w); },
       [](CWnd& w) {
         CPropertySheet& sheet = Sheet(w);
         sheet.SetActivePage(sheet.GetPageCount() - 1);
         ClickOnPage(w, IDC_GEOM_CHANGE_VIEW);
       }});
  UIAttNew(0);
  ASSERT_NE(UIAttPendingSheet(), nullptr);
  EXPECT_TRUE(cad().built.empty());
  ClosePrompts();
  cmdClearPickPending();
  run({[](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_NEAR(cad().built[0].values[2], 8.0, 1e-12);
  EXPECT_EQ(UIAttPendingSheet(), nullptr);

  // Parked, then another drawing: the sheet is dropped and a fresh one opens there.
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "9"); }, [](CWnd& w) { PickFace(w); },
       [](CWnd& w) {
         CPropertySheet& sheet = Sheet(w);
         sheet.SetActivePage(sheet.GetPageCount() - 1);
         ClickOnPage(w, IDC_GEOM_CHANGE_VIEW);
       }});
  UIAttNew(0);
  ASSERT_NE(UIAttPendingSheet(), nullptr);
  ClosePrompts();
  cmdClearPickPending();
  AnlControl other{"other"};
  other.SetCurrent();
  other.SetCurrentAnlModel(other.NewAnlModel(CaeString("Other"), static_cast<AnlType>(0)));
  other.SetCurrentLoadCase(other.NewLoadCase(CaeString("Loads")));
  std::string shown;
  run({[&](CWnd& w) {
         CString text;
         Page(w).GetDlgItem(IDC_LOAD_VALUE3)->GetWindowText(text);
         shown = static_cast<const char*>(text);
       },
       [](CWnd& w) { Press(w, IDCANCEL); }});
  UIAttNew(0);
  EXPECT_NE(shown, "9");
  EXPECT_EQ(UIAttPendingSheet(), nullptr);
  EXPECT_EQ(cad().built.size(), 1u);
}

// ---- a failed build ----

TEST_F(AttSheetTest, AFailedBuildLeavesNoSheetBehind) {
  cad().failBuild = true;
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "5"); }, [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  EXPECT_THROW(UIAttNew(0), CaeExcept);
  EXPECT_EQ(UIAttPendingSheet(), nullptr);
  // The next command starts afresh and builds.
  cad().failBuild = false;
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "6"); }, [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_NEAR(cad().built[0].values[2], 6.0, 1e-12);
}

// ---- heat ----

TEST_F(AttSheetTest, ConvectionReachesTheBuilderWithFilmAndAmbient) {
  run({[](CWnd& w) { Type(w, IDC_HEAT_VALUE, "293.15"); }, [](CWnd& w) { Type(w, IDC_HEAT_CONSTANT_VALUE, "25"); },
       [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(2);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_EQ(cad().built[0].call, "CreateConvection");
  EXPECT_EQ(cad().built[0].type, ToAttType(AttCode::FaceConvection));
  EXPECT_NEAR(cad().built[0].values[0], 25.0, 1e-9);
  EXPECT_NEAR(cad().built[0].values[1], 293.15, 1e-9);
}

TEST_F(AttSheetTest, TemperatureDependentConvectionWithoutTableIsRefused) {
  run({[](CWnd& w) { Type(w, IDC_HEAT_CONSTANT_VALUE, "25"); }, [](CWnd& w) { Check(w, IDC_HEAT_TEMP_DEPENDENT); },
       [](CWnd& w) { static_cast<CButton*>(Page(w).GetDlgItem(IDC_HEAT_CONSTANT))->SetCheck(0); },
       [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }, [](CWnd& w) { Press(w, IDCANCEL); }});
  UIAttNew(2);
  EXPECT_TRUE(cad().built.empty());
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(driver.boxes().back().text, "A temperature dependent value needs a table.");
}

// "Ta&ble..." edits the film coefficient against temperature in the graph editor: Cancel makes no
// table; OK on a new convection makes the film graph, whose points reach the builder as its table.
TEST_F(AttSheetTest, TheTableButtonEditsTheFilmGraphThatReachesTheBuilder) {
  std::string caption;
  const auto temperatureDependent = [](CWnd& w) {
    Check(w, IDC_HEAT_TEMP_DEPENDENT);
    Uncheck(w, IDC_HEAT_CONSTANT);
  };
  // Types the current row's values, then moves one row down.
  const auto typeRow = [](CWnd& editor, const char* temperature, const char* film) {
    HWND page = dynamic_cast<CGraphEditDlg&>(editor).m_tablePage.m_hWnd;
    EXPECT_EQ(mfc::userSetText(page, IDC_GTABLE_EDIT0, temperature), "");
    EXPECT_EQ(mfc::userSetText(page, IDC_GTABLE_EDIT0 + 1, film), "");
    EXPECT_EQ(mfc::userKey(page, IDC_GTABLE_LIST, VK_DOWN), "");
  };
  run({[](CWnd& w) { Type(w, IDC_HEAT_VALUE, "293.15"); }, temperatureDependent,
       [](CWnd& w) { ClickOnPage(w, IDC_HEAT_TABLE); },
       [&](CWnd& editor) {
         CString text;
         editor.GetWindowText(text);
         caption = text.str();
         Press(editor, IDCANCEL);
       },
       [](CWnd& w) { EXPECT_EQ(dynamic_cast<CAttPS&>(w).m_heatPage.m_pFilmGraph, nullptr) << "Cancel made no graph"; },
       [](CWnd& w) { ClickOnPage(w, IDC_HEAT_TABLE); },
       [&](CWnd& editor) {
         typeRow(editor, "300", "20");
         typeRow(editor, "400", "30");
         Press(editor, IDOK);
       },
       [](CWnd& w) { PickFace(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(2);
  EXPECT_NE(caption.find("Film Coefficient  vs.  Temperature"), std::string::npos) << caption;
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_EQ(cad().built[0].call, "CreateConvection");
  ASSERT_EQ(cad().tables.size(), 1u);
  ASSERT_EQ(cad().tables[0].size(), 2u);
  std::sort(cad().tables[0].begin(), cad().tables[0].end());  // rows arrive last first; readers sort them
  EXPECT_NEAR(cad().tables[0][0].first, CaeUnit::HostToNative(CaeUtTemperature, 300), 1e-9);
  EXPECT_NEAR(cad().tables[0][0].second, CaeUnit::HostToNative(CaeUtFilmCoefficient, 20), 1e-9);
  EXPECT_NEAR(cad().tables[0][1].first, CaeUnit::HostToNative(CaeUtTemperature, 400), 1e-9);
  EXPECT_NEAR(cad().tables[0][1].second, CaeUnit::HostToNative(CaeUtFilmCoefficient, 30), 1e-9);
}

// ---- body temperature from results ----

// The current model gets three nodes; the current result set a temperature at the nodes `ids`.
class ResultTemperatureTest : public AttSheetTest {
 protected:
  void SetUp() override {
    AttSheetTest::SetUp();
    AnlModel* model = AnlControl::GetCurrent()->CurrentAnlModel();
    AnlSubModel* sub = model->NewSubModel();
    AmgMesh* mesh = model->NewMesh(nullptr);
    sub->SetMesh(mesh);
    CaeList<CaeNode> nodes;
    for (int i = 1; i <= 3; ++i) nodes.Append(new CaeNode(CaeVector(i, 0, 0), i));
    mesh->AddNodes(nodes);
    UIAttRemembered().load = ToAttType(AttCode::BodyTemperature);
  }
  void TearDown() override {
    AnlControl::GetCurrent()->ClearCurrentResultSet();
    AttSheetTest::TearDown();
  }
  void Results(int quantity, std::vector<long> ids) {
    auto* result = new FerResult(quantity);
    std::vector<double> values;
    for (long id : ids) values.push_back(300.0 + 10.0 * id);
    result->SetNodalData(0, ids, std::vector<double>(values.size() * result->NumComponents(), 0.0));
    if (quantity == FerQtyTemperature) result->SetNodalData(0, ids, values);
    set.AddResult(result);
    AnlControl::GetCurrent()->SetCurrentResultSet(&set);
  }
  static void FromResults(CWnd& w) {
    Uncheck(w, IDC_LOAD_CONSTANT_TEMP);
    Check(w, IDC_LOAD_RESULTS_TEMP);
  }
  FerResultSet set{CaeString("Heat")};
};

TEST_F(ResultTemperatureTest, OkGivesTheNewTemperatureTheResultsValuesNodeByNode) {
  Results(FerQtyTemperature, {1, 2, 3});
  run({[](CWnd& w) { PickSolid(w); }, [](CWnd& w) { FromResults(w); }, [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  ASSERT_EQ(cad().temperatures.size(), 1u);
  AttModelTemp& made = *cad().temperatures[0];
  EXPECT_EQ(made.IsResultsBased(), 1);
  ASSERT_EQ(made.NumFlbcs(), 3);
  for (AttFlbc* f = made.FirstFlbc(); f; f = made.NextFlbc())
    EXPECT_DOUBLE_EQ(f->Value()[0], 300.0 + 10.0 * f->GetNode()->Id());
}

TEST_F(ResultTemperatureTest, WithoutAUsableResultTheSheetRefusesAndBuildsNothing) {
  struct Row {
    const char* name;
    int quantity;  // 0: no result set at all
    std::vector<long> ids;
    const char* message;
  };
  const Row rows[] = {
      {"no results", 0, {}, "The current results hold no temperature result."},
      {"no temperature among them", FerQtyDisplacement, {1, 2, 3}, "The current results hold no temperature result."},
      {"values at other nodes",
       FerQtyTemperature,
       {7, 8},
       "The temperature result has no values at the nodes of the current model."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.quantity) Results(row.quantity, row.ids);
    const size_t boxesBefore = driver.boxes().size();
    run({[](CWnd& w) { PickSolid(w); }, [](CWnd& w) { FromResults(w); }, [](CWnd& w) { Press(w, IDOK); },
         [](CWnd& w) { Press(w, IDCANCEL); }});
    UIAttNew(0);
    EXPECT_TRUE(cad().built.empty());
    ASSERT_GT(driver.boxes().size(), boxesBefore);
    EXPECT_EQ(driver.boxes().back().text, row.message);
    AnlControl::GetCurrent()->ClearCurrentResultSet();
  }
}

// ---- modifying ----

// A condition of the current load set with the value (x, y, z) in native units.
std::unique_ptr<AttBaseLbc> LoadIn(AttLbcCase& set, AttCode code, CaeVector value, bool modelLevel) {
  CadInterface* cad = CadInterface::GetCurrent();
  const AttLbcDescript* descriptor = cad->FindLbcDescript(ToAttType(code));
  auto function = std::make_unique<CaeFuncLinear>();
  function->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  AttLbcComponents components;
  std::unique_ptr<AttBaseLbc> made;
  if (modelLevel)
    made = std::make_unique<AttModelLbc>(descriptor, function.release(), nullptr, &components);
  else
    made = std::make_unique<AttBaseLbc>(descriptor, function.release(), nullptr, &components);
  made->SetName(CaeString("Pull"));
  set.AddLbc(made.get());
  return made;
}

TEST_F(AttSheetTest, ModifyShowsTheValueInHostUnitsAndKeepsTheType) {
  CaeUnitSystem english(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz);
  CaeUnitSystem* previous = CaeUnitSystem::SetHostSystem(&english);
  auto load =
      LoadIn(*AnlControl::GetCurrent()->CurrentLoadCase(), AttCode::FaceTotalForce, CaeVector(0, 0, -1000), false);
  std::string shown;
  bool addEnabled = true;
  int types = 0;
  run({[&](CWnd& w) {
         CString text;
         Page(w).GetDlgItem(IDC_LOAD_VALUE3)->GetWindowText(text);
         shown = static_cast<const char*>(text);
         addEnabled = w.GetDlgItem(ID_APPLY_NOW)->IsWindowEnabled();
         types = static_cast<CComboBox*>(Page(w).GetDlgItem(IDC_LOAD_TYPE))->GetCount();
       },
       [](CWnd& w) { Press(w, IDOK); }});
  EXPECT_EQ(UIAttModify(load.get()), 1);
  CaeUnitSystem::SetHostSystem(previous);
  EXPECT_NEAR(std::stod(shown), -224.809, 1e-3) << shown;
  EXPECT_FALSE(addEnabled);
  EXPECT_EQ(types, 1);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_EQ(cad().built[0].call, "EditLbc");
  EXPECT_EQ(cad().built[0].type, ToAttType(AttCode::FaceTotalForce));
  EXPECT_NEAR(cad().built[0].values[2], -1000.0, 1e-6);
  EXPECT_EQ(cad().edited[0], load.get());
}

TEST_F(AttSheetTest, ASecondGravityAsksAndNoCreatesNothing) {
  auto gravity = LoadIn(*AnlControl::GetCurrent()->CurrentLoadCase(), AttCode::Gravity, CaeVector(0, 0, -9.81), true);
  UIAttRemembered().load = ToAttType(AttCode::Gravity);
  // No: nothing made or changed.
  driver.answer(IDNO);
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "-5"); }, [](CWnd& w) { PickSolid(w); },
       [](CWnd& w) { Press(w, IDOK); }});
  UIAttNew(0);
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(driver.boxes().back().text, "Gravity already defined, do you want to modify it ?");
  EXPECT_TRUE(cad().built.empty());
  // Yes: the existing Gravity opens in a Modify Attribute sheet with its own value.
  driver.answer(IDYES);
  std::string shown;
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "-5"); }, [](CWnd& w) { PickSolid(w); }, [](CWnd& w) { Press(w, IDOK); },
       [&](CWnd& w) {
         CString text;
         Page(w).GetDlgItem(IDC_LOAD_VALUE3)->GetWindowText(text);
         shown = static_cast<const char*>(text);
       },
       [](CWnd& w) { Press(w, IDCANCEL); }});
  UIAttNew(0);
  EXPECT_NEAR(std::stod(shown), -9.81, 1e-9) << shown;
  EXPECT_TRUE(cad().built.empty());
}

// Add applies like OK: a value the data exchange refuses keeps the sheet open on its page.
TEST_F(AttSheetTest, ARejectedSymbolSizeStopsAddOnItsPage) {
  int activeAfter = -1;
  run({[](CWnd& w) { Type(w, IDC_LOAD_VALUE3, "5"); }, [](CWnd& w) { PickFace(w); },
       [](CWnd& w) { Sheet(w).SetActivePage(1); }, [](CWnd& w) { Type(w, IDC_SYMBOL_SIZE, "0"); },
       [](CWnd& w) { Press(w, ID_APPLY_NOW); }, [&](CWnd& w) { activeAfter = Sheet(w).GetActiveIndex(); },
       [](CWnd& w) { Press(w, IDCANCEL); }});
  UIAttNew(0);
  EXPECT_TRUE(cad().built.empty());
  EXPECT_EQ(activeAfter, 1);
}

// ---- mating relations ----

TEST_F(AttSheetTest, MatingProposesTheFirstFreeNumber) {
  AnlModel* model = AnlControl::GetCurrent()->CurrentAnlModel();
  std::vector<std::unique_ptr<AnlMateRelPair>> pairs;
  for (const char* name : {"Mating Relation 2", "Mating Relation 3"}) {
    pairs.push_back(std::make_unique<AnlMateRelPair>());
    pairs.back()->SetName(CaeString(name));
    model->AddMateRelPair(pairs.back().get());
  }
  EXPECT_EQ(std::string(static_cast<const char*>(UIProposedMateRelName())), "Mating Relation 1");
  pairs[0]->SetName(CaeString("Mating Relation 1"));
  EXPECT_EQ(std::string(static_cast<const char*>(UIProposedMateRelName())), "Mating Relation 2");
  model->DeleteMateRelPair(pairs[1].get());  // an erased relation frees its name
  EXPECT_EQ(std::string(static_cast<const char*>(UIProposedMateRelName())), "Mating Relation 2");
}

TEST_F(AttSheetTest, MatingSheetCancelEmptyNameAndOk) {
  run({[](CWnd& w) { Press(w, IDCANCEL); }});
  EXPECT_EQ(UICmdMateRel(), 0);
  EXPECT_TRUE(cad().built.empty());
  run({[](CWnd& w) { Type(w, IDC_MATE_NAME, ""); }, [](CWnd& w) { Press(w, IDOK); },
       [](CWnd& w) { Press(w, IDCANCEL); }});
  EXPECT_EQ(UICmdMateRel(), 0);
  EXPECT_TRUE(cad().built.empty());
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(driver.boxes().back().text, "Please enter a name.");
  run({[](CWnd& w) { Press(w, IDOK); }});
  EXPECT_EQ(UICmdMateRel(), 1);
  ASSERT_EQ(cad().built.size(), 1u);
  EXPECT_EQ(cad().built[0].name, "Mating Relation 1");
  EXPECT_EQ(cad().built[0].type, 1);  // the first use proposes colour 1
}

TEST_F(AttSheetTest, MatingSymbolSizeOfZeroIsRefused) {
  run({[](CWnd& w) { Sheet(w).SetActivePage(1); }, [](CWnd& w) { Type(w, IDC_SYMBOL_SIZE, "0"); },
       [](CWnd& w) { Press(w, IDOK); }, [](CWnd& w) { Press(w, IDCANCEL); }});
  EXPECT_EQ(UICmdMateRel(), 0);
  EXPECT_TRUE(cad().built.empty());
  EXPECT_FALSE(driver.boxes().empty());
}

TEST_F(AttSheetTest, MatingWithoutAModelSaysSo) {
  AnlControl::GetCurrent()->ClearCurrentAnlModel();
  EXPECT_EQ(UICmdMateRel(), 0);
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(driver.boxes().back().text, "An open model is required prior to issuing this command");
  EXPECT_TRUE(cad().built.empty());
}

}  // namespace
