// The load and restraint wizards of the guide, run in the toolkit with the real engine and a CAD
// that records what it is asked to make: the codes by kind, geometry and choice, the restraint
// flags and frames, enabling, conversions from host units, symbol sizes and colours, bad input,
// and the deferred pick that parks the wizard and resumes it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadPickRequests.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AttLbcCase.h"
#include "gui/dialogs/common/UISelectPromptDlg.h"
#include "gui/wizard/UILoadWizard.h"
#include "gui/wizard/UIRestraintWizard.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

int pickedFace = 0;
AcBrEntity* const kPicked = reinterpret_cast<AcBrEntity*>(&pickedFace);
constexpr double kKip = 4448.2216152605;

struct Made {
  std::string call;
  std::string name;
  int colour = 0;
  double size = 0;
  int code = 0;
  int free[3] = {0, 0, 0};
  double values[3] = {0, 0, 0};
  AcBrEntity* entity = nullptr;
};

class ConditionCad : public uistest::RecordingCad {
 public:
  AcBrEntity* PickEntity(int kind) override {
    pickKinds.push_back(kind);
    return pickAnswer;
  }
  int GetLbcDimension(int code) override {
    if (code == 23) return 3;                             // Green
    if (code == 7 || code == 25 || code == 21) return 4;  // Light Blue
    return 0;                                             // not a colour of the list
  }
  int IsCylindricalFace(AcBrFace*) override { return cylindrical; }
  int IsNonCylindricalFace(AcBrFace*) override { return nonCylindrical; }
  int CreateLbc(CaeString name, int colour, double size, int code, int* free, double* values, CaeCoordSys*,
                AcBrEntity* entity) override {
    return Record("CreateLbc", name, colour, size, code, free, values, entity);
  }
  int CreateLbc2(CaeString name, int colour, double size, int code, int* free, double* values, CaeCoordSys*,
                 AcBrEntity* entity) override {
    return Record("CreateLbc2", name, colour, size, code, free, values, entity);
  }
  AttModelTemp* CreatePrescribedTemperature(CaeString name, int colour, double size, double model, double reference,
                                            int) override {
    int none[3] = {0, 0, 0};
    double values[3] = {model, reference, 0};
    Record("CreatePrescribedTemperature", name, colour, size, 14, none, values, nullptr);
    return nullptr;
  }
  int CreateConvection(CaeString name, int colour, double size, int code, int, double film, double ambient,
                       CaeList<AttTableTempValue>&, AcBrEntity* entity) override {
    int none[3] = {0, 0, 0};
    double values[3] = {film, ambient, 0};
    return Record("CreateConvection", name, colour, size, code, none, values, entity);
  }
  int CreateHeatGeneration(CaeString name, int colour, double size, int code, int, double value,
                           CaeList<AttTableTempValue>&, AcBrEntity* entity) override {
    int none[3] = {0, 0, 0};
    double values[3] = {value, 0, 0};
    return Record("CreateHeatGeneration", name, colour, size, code, none, values, entity);
  }
  int RequestLoadPick(LoadPickRequest* request) override {
    parkedLoad = *request;
    return 1;
  }
  int RequestRestraintPick(RestraintPickRequest* request) override {
    parkedRestraint = *request;
    return 1;
  }
  int GetLoadPickResult(LoadPickRequest* request, int* cancelled) override {
    if (!parkedLoad) return 0;
    *request = *parkedLoad;
    *cancelled = parkCancelled;
    if (!parkCancelled) request->pickedEntity = kPicked;
    parkedLoad.reset();
    return 1;
  }
  int GetRestraintPickResult(RestraintPickRequest* request, int* cancelled) override {
    if (!parkedRestraint) return 0;
    *request = *parkedRestraint;
    *cancelled = parkCancelled;
    if (!parkCancelled) request->pickedEntity = kPicked;
    parkedRestraint.reset();
    return 1;
  }

  std::vector<Made> made;
  std::vector<int> pickKinds;
  AcBrEntity* pickAnswer = kPicked;
  int cylindrical = 1;
  int nonCylindrical = 0;
  int parkCancelled = 1;
  std::optional<LoadPickRequest> parkedLoad;
  std::optional<RestraintPickRequest> parkedRestraint;

 private:
  int Record(const char* call, const CaeString& name, int colour, double size, int code, const int* free,
             const double* values, AcBrEntity* entity) {
    Made m;
    m.call = call;
    m.name = name.Text();
    m.colour = colour;
    m.size = size;
    m.code = code;
    for (int i = 0; i < 3; ++i) {
      m.free[i] = free[i];
      m.values[i] = values[i];
    }
    m.entity = entity;
    made.push_back(m);
    return 1;
  }
};

using Step = uistest::RecordingDriver::Step;

class ConditionWizardTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    resources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();
    control_.SetCurrent();
    control_.SetCurrentAnlModel(control_.NewAnlModel(CaeString("Plate"), static_cast<AnlType>(0)));
    // Host units: millimetre, celsius and kip, so every conversion shows.
    previousHost_ = CaeUnitSystem::SetHostSystem(
        new CaeUnitSystem(CaeMillimeter, CaeRadian, CaeCelsius, CaeKip, CaeKilogram, CaeSecond, CaeJoule, CaeHertz));
    UIResetConditionWizardMemory();
  }
  void TearDown() override {
    delete CaeUnitSystem::SetHostSystem(previousHost_);
    UIResetConditionWizardMemory();
    cmdClearPickPending();
    cmdSaveIndex(0);
    // The pick prompt a parked wizard left open.
    for (HWND window : mfc::topLevelWindows())
      if (dynamic_cast<CSelectPromptDlg*>(CWnd::FromHandlePermanent(window))) ::DestroyWindow(window);
    appControl_.reset();
    resources_.reset();
    FrameTest::TearDown();
  }
  void run(std::vector<Step> steps) {
    for (auto& step : steps) driver.add(std::move(step));
  }

  static CPropertySheet& Sheet(CWnd& window) { return dynamic_cast<CPropertySheet&>(window); }
  static CWnd& Page(CWnd& window) { return *Sheet(window).GetActivePage(); }
  static void Type(CWnd& window, int id, const char* text) { Page(window).GetDlgItem(id)->SetWindowText(text); }
  static void Radio(CWnd& window, int first, int last, int id) { Page(window).CheckRadioButton(first, last, id); }
  static void Next(CWnd& window) { Sheet(window).PressButton(PSBTN_NEXT); }
  static bool Enabled(CWnd& window, int id) { return Page(window).GetDlgItem(id)->IsWindowEnabled() != FALSE; }
  static UINT ActiveTemplate(CWnd& window) {
    return static_cast<CWizBasePP*>(Sheet(window).GetActivePage())->TemplateId();
  }
  static Step Do(std::function<void(CWnd&)> step) { return step; }

  // Steps from the name page to the type page: set name, geometry kind (radio id), pick.
  static std::vector<Step> ToLoadType(const char* set, int geometryRadio) {
    return {[set](CWnd& w) {
              Type(w, IDC_LW_NAME, set);
              Next(w);
            },
            [geometryRadio](CWnd& w) {
              Radio(w, IDC_LW_GEOM_BODY, IDC_LW_GEOM_VERTEX, geometryRadio);
              Next(w);
            }};
  }
  static std::vector<Step> Join(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
  std::string LastBox() const { return driver.boxes().empty() ? std::string() : driver.boxes().back().text; }

  ConditionCad cad;
  AnlControl control_{"part"};

 private:
  std::optional<ResourceSetter> resources_;
  std::unique_ptr<CadAppControl> appControl_;
  CaeUnitSystem* previousHost_ = nullptr;
};

// ---- tables ----

TEST(ConditionTables, LoadCodesFollowKindGeometryAndChoice) {
  enum Family { Body, Face, Heat };
  struct Row {
    Family family;
    int geometry;
    int choice;
    int code;
  };
  const Row rows[] = {
      {Body, kLoadBody, kSpin, 11},
      {Body, kLoadBody, kGravity, 12},
      {Body, kLoadBody, kAcceleration, 13},
      {Body, kLoadBody, kBodyTemperature, 14},
      {Face, kLoadFace, kPressure, 4},
      {Face, kLoadFace, kTotalForce, 23},
      {Face, kLoadFace, kDistributedForce, 2},
      {Face, kLoadFace, kMoment, 29},
      {Face, kLoadFace, kDisplacement, 10},
      {Face, kLoadEdge, kPressure, -1},
      {Face, kLoadEdge, kTotalForce, 24},
      {Face, kLoadEdge, kDistributedForce, 3},
      {Face, kLoadEdge, kMoment, -1},  // a moment needs a face: no displacement made instead
      {Face, kLoadEdge, kDisplacement, 9},
      {Face, kLoadVertex, kPressure, -1},
      {Face, kLoadVertex, kTotalForce, 1},
      {Face, kLoadVertex, kDistributedForce, -1},
      {Face, kLoadVertex, kMoment, -1},
      {Face, kLoadVertex, kDisplacement, 8},
      {Heat, kLoadFace, kHeatFlux, 16},
      {Heat, kLoadFace, kConvection, 18},
      {Heat, kLoadFace, kHeatFlow, -1},
      {Heat, kLoadEdge, kHeatFlow, 17},
      {Heat, kLoadVertex, kHeatFlow, 15},
      {Heat, kLoadVertex, kHeatFlux, -1},
      {Heat, kLoadBody, kVolumetricHeatFlow, 19},
      {Heat, kLoadBody, kConvection, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "family " << r.family << " geometry " << r.geometry << " choice " << r.choice);
    if (r.family == Body) {
      EXPECT_EQ(BodyLoadCode(r.choice), r.code);
    }
    if (r.family == Face) {
      EXPECT_EQ(FaceLoadCode(r.geometry, r.choice), r.code);
      EXPECT_EQ(FaceLoadChoiceEnabled(r.geometry, r.choice), r.code >= 0);
    }
    if (r.family == Heat) {
      EXPECT_EQ(HeatLoadCode(r.geometry, r.choice), r.code);
      EXPECT_EQ(HeatLoadChoiceEnabled(r.geometry, r.choice), r.code >= 0);
    }
  }
  EXPECT_EQ(HeatLoadInitialChoice(kLoadFace), kHeatFlux);
  EXPECT_EQ(HeatLoadInitialChoice(kLoadBody), kVolumetricHeatFlow);
  EXPECT_EQ(HeatLoadInitialChoice(kLoadEdge), kHeatFlow);
}

TEST(ConditionTables, EachCodeHasItsValuePageAndUnit) {
  struct Row {
    int code;
    LoadValuePage page;
    int unitType;
  };
  const Row rows[] = {
      {14, LoadValuePage::Temperature, CaeUtTemperature},
      {18, LoadValuePage::Convection, CaeUtFilmCoefficient},
      {4, LoadValuePage::Scalar, CaeUtStress},
      {16, LoadValuePage::Scalar, CaeUtHeatFlux},
      {19, LoadValuePage::Scalar, CaeUtHeatGeneration},
      {23, LoadValuePage::Vector, CaeUtForce},
      {29, LoadValuePage::Vector, CaeUtMoment},
      {11, LoadValuePage::Vector, CaeUtAngularVelocity},
      {27, LoadValuePage::Vector, CaeUtNone},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    EXPECT_EQ(LoadValuePageOf(r.code), r.page);
    EXPECT_EQ(ConditionUnitType(r.code), r.unitType);
  }
}

TEST(ConditionTables, RestraintCodesFlagsAndEnabling) {
  struct Row {
    int kind;
    int geometry;
    int subType;
    int code;
  };
  const Row rows[] = {
      {0, kRestraintFace, kPinned, 25},          {0, kRestraintFace, kSliding, 7},
      {2, kRestraintFace, kBolted, 7},           {1, kRestraintFace, kWelded, 7},
      {0, kRestraintFace, kFixedRestraint, 7},   {0, kRestraintEdge, kWelded, 6},
      {0, kRestraintVertex, kFixedRestraint, 5}, {3, kRestraintFace, kWelded, 21},
      {3, kRestraintEdge, kWelded, 22},          {3, kRestraintVertex, kWelded, 20},
  };
  for (const Row& r : rows) EXPECT_EQ(RestraintCode(r.kind, r.geometry, r.subType), r.code) << r.geometry;

  struct Frame {
    int subType;
    int free[3];
    int coordKind;
  };
  const Frame frames[] = {{kPinned, {1, 1, 0}, kCoordFace},
                          {kSliding, {1, 1, 0}, kCoordFace},
                          {kBolted, {0, 0, 0}, kCoordCartesian},
                          {kWelded, {0, 0, 0}, kCoordCartesian},
                          {kFixedRestraint, {0, 0, 0}, kCoordCartesian}};
  for (const Frame& f : frames) {
    const RestraintFrame frame = RestraintFrameOf(f.subType);
    EXPECT_EQ(std::vector<int>(frame.freeFlags, frame.freeFlags + 3), std::vector<int>(f.free, f.free + 3));
    EXPECT_EQ(frame.coordKind, f.coordKind);
  }

  // (geometry, cylindrical) -> enabled Pinned, Sliding, Bolted, Welded, Fixed
  struct Enabling {
    int geometry;
    bool cylindrical;
    bool enabled[5];
  };
  const Enabling enabling[] = {{kRestraintFace, true, {true, true, true, true, true}},
                               {kRestraintFace, false, {false, true, false, true, true}},
                               {kRestraintEdge, true, {false, false, false, true, true}},
                               {kRestraintVertex, true, {false, false, false, true, true}}};
  for (const Enabling& e : enabling)
    for (int c = kPinned; c <= kFixedRestraint; ++c)
      EXPECT_EQ(RestraintChoiceEnabled(e.geometry, c, e.cylindrical), e.enabled[c]) << e.geometry << " " << c;
}

TEST_F(ConditionWizardTest, SymbolSizesAreNativeAndOnlyPositiveSizesPass) {
  const double value[3] = {3, 0, 4};  // length 5 in host units
  struct Row {
    int mode;
    double size;
    bool accepted;
    double native;
  };
  const Row rows[] = {
      {0, 5, true, 0.005},   // Fixed: 5 mm
      {1, 2, true, 0.0025},  // Scaled: 5 per 2 -> 2.5 mm
      {0, 0, false, 0},     {1, 0, false, 0}, {0, -1, false, 0}, {0, std::nan(""), false, 0},
  };
  for (const Row& r : rows) {
    double native = -7;
    EXPECT_EQ(NativeSymbolSize(r.mode, r.size, value, native), r.accepted) << r.mode << " " << r.size;
    if (r.accepted)
      EXPECT_NEAR(native, r.native, 1e-12);
    else
      EXPECT_EQ(native, -7) << "a refused size leaves the result alone";
  }
  // Default colours: the type's code when it is in the list, else Red.
  EXPECT_EQ(DefaultColorIndex(23), 2);
  EXPECT_EQ(ColorCodeAt(DefaultColorIndex(23)), 3);
  EXPECT_EQ(DefaultColorIndex(7), 3);
  EXPECT_EQ(DefaultColorIndex(11), 0) << "a default outside the list selects Red";
  EXPECT_EQ(ColorCodeAt(DefaultColorIndex(11)), 1);
}

// ---- the load wizard ----

TEST_F(ConditionWizardTest, AFaceTotalForceIsMadeInNativeUnitsAndFinishMarksTheStep) {
  run(Join(ToLoadType("Pull", IDC_LW_GEOM_FACE), {[](CWnd& w) {
                                                    Radio(w, IDC_LW_FACE_PRESSURE, IDC_LW_FACE_DISPLACEMENT,
                                                          IDC_LW_FACE_TOTAL);
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) {
                                                    Type(w, IDC_LW_VECTOR_X, "2");
                                                    Type(w, IDC_CW_SIZE, "5");
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) {
                                                    EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_LW_MORE));
                                                    Sheet(w).PressButton(PSBTN_FINISH);
                                                  }}));
  EXPECT_EQ(UIRunLoadSheet(0), 1);
  EXPECT_EQ(CLDWizPS::Current(), nullptr) << "the wizard pointer goes with its sheet";
  EXPECT_EQ(UIGetWizardTabState(3), 1);
  EXPECT_EQ(cad.pickKinds, std::vector<int>{2});
  ASSERT_EQ(cad.made.size(), 1u);
  const Made& m = cad.made[0];
  EXPECT_EQ(m.call, "CreateLbc");
  EXPECT_EQ(m.name, "Face_Total_Force");
  EXPECT_EQ(m.code, 23);
  EXPECT_EQ(m.colour, 3);
  EXPECT_NEAR(m.values[0], 2 * kKip, 1e-6);
  EXPECT_EQ(m.values[1], 0);
  EXPECT_NEAR(m.size, 0.005, 1e-12);
  EXPECT_EQ(m.entity, kPicked);
  AttLbcCase* set = control_.CurrentLoadCase();
  ASSERT_NE(set, nullptr);
  EXPECT_STREQ(set->GetName().Text(), "Pull");
}

TEST_F(ConditionWizardTest, BadValuesKeepTheValuePageAndMakeNothing) {
  struct Row {
    const char* x;
    const char* size;
    std::string message;
  };
  const Row rows[] = {
      {"0", "1", "Please enter at least one non-zero load value."},
      {"0", "0", "The symbol size must be greater than 0."},
      {"1", "0", "The symbol size must be greater than 0."},
      {"1", "-2", "The symbol size must be greater than 0."},
      {"abc", "1", ""},  // the toolkit's own number message
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.x) + " size " + r.size);
    UIResetConditionWizardMemory();
    const size_t boxes = driver.boxes().size();
    run(Join(ToLoadType("Bad", IDC_LW_GEOM_FACE),
             {[](CWnd& w) {
                Radio(w, IDC_LW_FACE_PRESSURE, IDC_LW_FACE_DISPLACEMENT, IDC_LW_FACE_TOTAL);
                Next(w);
              },
              [r](CWnd& w) {
                Type(w, IDC_LW_VECTOR_X, r.x);
                Type(w, IDC_CW_SIZE, r.size);
                Next(w);
              },
              [](CWnd& w) {
                EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_LW_VECTOR)) << "the page stays";
                Sheet(w).PressButton(PSBTN_CANCEL);
              }}));
    EXPECT_EQ(UIRunLoadSheet(0), 0);
    EXPECT_TRUE(cad.made.empty());
    ASSERT_GT(driver.boxes().size(), boxes);
    if (!r.message.empty()) {
      EXPECT_EQ(LastBox(), r.message);
    }
  }
  EXPECT_EQ(UIGetWizardTabState(3), 0);
}

TEST_F(ConditionWizardTest, TheTypePageOffersWhatTheGeometryTakes) {
  struct Row {
    int geometryRadio;
    bool pressure, distributed, moment;
    int selected;  // the radio selected when shown
  };
  const Row rows[] = {{IDC_LW_GEOM_FACE, true, true, true, IDC_LW_FACE_PRESSURE},
                      {IDC_LW_GEOM_EDGE, false, true, false, IDC_LW_FACE_DISTRIBUTED},
                      {IDC_LW_GEOM_VERTEX, false, false, false, IDC_LW_FACE_TOTAL}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.geometryRadio);
    run(Join(ToLoadType("Kinds", r.geometryRadio), {[r](CWnd& w) {
               EXPECT_EQ(Enabled(w, IDC_LW_FACE_PRESSURE), r.pressure);
               EXPECT_EQ(Enabled(w, IDC_LW_FACE_DISTRIBUTED), r.distributed);
               EXPECT_EQ(Enabled(w, IDC_LW_FACE_MOMENT), r.moment);
               EXPECT_TRUE(Enabled(w, IDC_LW_FACE_TOTAL));
               EXPECT_EQ(Page(w).GetCheckedRadioButton(IDC_LW_FACE_PRESSURE, IDC_LW_FACE_DISPLACEMENT), r.selected);
               Sheet(w).PressButton(PSBTN_CANCEL);
             }}));
    UIRunLoadSheet(0);
  }
  EXPECT_TRUE(cad.made.empty());
}

TEST_F(ConditionWizardTest, TemperatureAndConvectionPassTheirOwnSymbolSize) {
  // A body temperature: the part temperature goes first, as the model temperature.
  run(Join(ToLoadType("Warm", IDC_LW_GEOM_BODY), {[](CWnd& w) {
                                                    Radio(w, IDC_LW_BODY_SPIN, IDC_LW_BODY_TEMPERATURE,
                                                          IDC_LW_BODY_TEMPERATURE);
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) {
                                                    Type(w, IDC_LW_TEMP_REFERENCE, "20");
                                                    Type(w, IDC_LW_TEMP_PART, "100");
                                                    Type(w, IDC_CW_SIZE, "4");
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) { Sheet(w).PressButton(PSBTN_CANCEL); }}));
  UIRunLoadSheet(0);
  ASSERT_EQ(cad.made.size(), 1u);
  EXPECT_EQ(cad.made[0].call, "CreatePrescribedTemperature");
  EXPECT_EQ(cad.made[0].name, "Temperature");
  EXPECT_NEAR(cad.made[0].values[0], 373.15, 1e-9) << "part temperature";
  EXPECT_NEAR(cad.made[0].values[1], 293.15, 1e-9) << "reference temperature";
  EXPECT_NEAR(cad.made[0].size, 0.004, 1e-12);
  EXPECT_EQ(cad.made[0].colour, 1) << "Red for a type whose default is not a list colour";

  // Convection on a face of a heat-transfer model, zeros allowed.
  run(Join(ToLoadType("Cool", IDC_LW_GEOM_FACE), {[](CWnd& w) {
                                                    EXPECT_FALSE(Enabled(w, IDC_LW_HEAT_FLOW));
                                                    EXPECT_FALSE(Enabled(w, IDC_LW_HEAT_VOLUMETRIC));
                                                    Radio(w, IDC_LW_HEAT_FLOW, IDC_LW_HEAT_VOLUMETRIC,
                                                          IDC_LW_HEAT_CONVECTION);
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) {
                                                    Type(w, IDC_LW_CONV_AMBIENT, "0");
                                                    Type(w, IDC_LW_CONV_FILM, "0.5");
                                                    Type(w, IDC_CW_SIZE, "3");
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) { Sheet(w).PressButton(PSBTN_CANCEL); }}));
  UIRunLoadSheet(3);
  ASSERT_EQ(cad.made.size(), 2u);
  const Made& c = cad.made[1];
  EXPECT_EQ(c.call, "CreateConvection");
  EXPECT_EQ(c.code, 18);
  EXPECT_NEAR(c.values[0], 0.5e6, 1e-3) << "W/(mm2 K) to W/(m2 K)";
  EXPECT_NEAR(c.values[1], 273.15, 1e-9);
  EXPECT_NEAR(c.size, 0.003, 1e-12);
}

TEST_F(ConditionWizardTest, WithoutGeometryNothingIsMadeAndTheGeometryPageReturns) {
  run(Join(ToLoadType("Lost", IDC_LW_GEOM_FACE), {[](CWnd& w) {
                                                    Radio(w, IDC_LW_FACE_PRESSURE, IDC_LW_FACE_DISPLACEMENT,
                                                          IDC_LW_FACE_PRESSURE);
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) {
                                                    dynamic_cast<CLDWizPS&>(w).picked = nullptr;
                                                    Type(w, IDC_LW_SCALAR_VALUE, "3");
                                                    Next(w);
                                                  },
                                                  [](CWnd& w) {
                                                    EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_LW_GEOMETRY));
                                                    Sheet(w).PressButton(PSBTN_CANCEL);
                                                  }}));
  EXPECT_EQ(UIRunLoadSheet(0), 0);
  EXPECT_TRUE(cad.made.empty());
  EXPECT_EQ(LastBox(), resLoadString(IDS_GEOMETRY_SELECTION_FAILED).Text());
  EXPECT_EQ(UIGetWizardTabState(3), 0);
}

TEST_F(ConditionWizardTest, ACancelledPickKeepsTheGeometryPage) {
  cad.pickAnswer = nullptr;
  run(Join(ToLoadType("None", IDC_LW_GEOM_EDGE), {[](CWnd& w) {
             EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_LW_GEOMETRY));
             EXPECT_TRUE(w.IsWindowVisible()) << "the sheet is shown again after the pick";
             Sheet(w).PressButton(PSBTN_CANCEL);
           }}));
  UIRunLoadSheet(0);
  EXPECT_EQ(cad.pickKinds, std::vector<int>{3});
  EXPECT_TRUE(cad.made.empty());
}

TEST_F(ConditionWizardTest, ChangeViewParksTheLoadWizardAndItResumesWhereItWas) {
  run({[](CWnd& w) {
         Type(w, IDC_LW_NAME, "Later");
         Next(w);
       },
       [](CWnd& w) {
         Radio(w, IDC_LW_GEOM_BODY, IDC_LW_GEOM_VERTEX, IDC_LW_GEOM_VERTEX);
         Page(w).SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CW_CHANGE_VIEW, BN_CLICKED), 0);
       }});
  EXPECT_EQ(UIRunLoadSheet(0), 0);
  ASSERT_TRUE(cad.parkedLoad.has_value());
  EXPECT_STREQ(cad.parkedLoad->name.Text(), "Later");
  EXPECT_EQ(cad.parkedLoad->pickKind, kLoadVertex);
  EXPECT_EQ(cmdSavedIndex(), cmdIndex(CadCommand::LoadStep));
  EXPECT_EQ(cmdIsPickPending(), 1);
  EXPECT_TRUE(cad.pickKinds.empty());

  // The prompt's OK completes the request as cancelled: the wizard reopens on its geometry page.
  cmdClearPickPending();
  run({[](CWnd& w) {
         EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_LW_GEOMETRY));
         EXPECT_EQ(Page(w).GetCheckedRadioButton(IDC_LW_GEOM_BODY, IDC_LW_GEOM_VERTEX), IDC_LW_GEOM_VERTEX);
         Next(w);
       },
       [](CWnd& w) {
         Radio(w, IDC_LW_FACE_PRESSURE, IDC_LW_FACE_DISPLACEMENT, IDC_LW_FACE_TOTAL);
         Next(w);
       },
       [](CWnd& w) {
         Type(w, IDC_LW_VECTOR_Z, "-1");
         Next(w);
       },
       [](CWnd& w) { Sheet(w).PressButton(PSBTN_FINISH); }});
  EXPECT_EQ(UIRunLoadSheet(0), 1);
  EXPECT_EQ(cad.pickKinds, std::vector<int>{4});
  ASSERT_EQ(cad.made.size(), 1u);
  EXPECT_EQ(cad.made[0].code, 1);
  EXPECT_STREQ(control_.CurrentLoadCase()->GetName().Text(), "Later");
}

// ---- the restraint wizard ----

TEST_F(ConditionWizardTest, RestraintsByTypeOnACylindricalFaceWhateverTheGuideStep) {
  UISetWizardStep(2);  // the symbol page makes its restraint whatever step the guide remembers
  struct Row {
    int radio;
    std::string call;
    int code;
    std::vector<int> free;
  };
  const std::vector<Row> rows = {{IDC_RW_PINNED, "CreateLbc2", 25, {1, 1, 0}},
                                 {IDC_RW_SLIDING, "CreateLbc", 7, {1, 1, 0}},
                                 {IDC_RW_BOLTED, "CreateLbc", 7, {0, 0, 0}},
                                 {IDC_RW_FIXED, "CreateLbc", 7, {0, 0, 0}}};
  std::vector<Step> steps = {[](CWnd& w) {
    Type(w, IDC_RW_NAME, "Held");
    Next(w);
  }};
  for (const Row& r : rows) {
    steps.push_back([](CWnd& w) { Next(w); });  // geometry page: Face
    steps.push_back([r](CWnd& w) {
      EXPECT_EQ(Page(w).GetCheckedRadioButton(IDC_RW_PINNED, IDC_RW_FIXED), IDC_RW_WELDED);
      Radio(w, IDC_RW_PINNED, IDC_RW_FIXED, r.radio);
      Next(w);
    });
    steps.push_back([](CWnd& w) {
      EXPECT_FALSE(Enabled(w, IDC_CW_SCALED));
      Type(w, IDC_RW_SYMBOL_FIXED_SIZE, "2");
      Next(w);
    });
    steps.push_back([](CWnd& w) { Page(w).SendMessage(WM_COMMAND, MAKEWPARAM(IDC_RW_MORE_YES, BN_CLICKED), 0); });
  }
  steps.push_back([](CWnd& w) { Sheet(w).PressButton(PSBTN_CANCEL); });
  run(steps);
  EXPECT_EQ(UIRunRestraintSheet(0), 0);
  ASSERT_EQ(cad.made.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].code);
    EXPECT_EQ(cad.made[i].call, rows[i].call);
    EXPECT_EQ(cad.made[i].code, rows[i].code);
    EXPECT_EQ(std::vector<int>(cad.made[i].free, cad.made[i].free + 3), rows[i].free);
    EXPECT_NEAR(cad.made[i].size, 0.002, 1e-12);
    EXPECT_EQ(cad.made[i].colour, 4) << "Light Blue, the restraint's default";
  }
  EXPECT_EQ(cad.made[0].name, "Pinned_Restraint");
  EXPECT_EQ(cad.made[1].name, "Face_Restraint");
  EXPECT_EQ(UIGetWizardTabState(4), 0) << "Cancel does not mark the step";
}

TEST_F(ConditionWizardTest, PinnedOnAFaceThatIsNotCylindricalMakesNothing) {
  cad.nonCylindrical = 1;  // a CAD that answers both questions with 1
  run({[](CWnd& w) {
         Type(w, IDC_RW_NAME, "Pin");
         Next(w);
       },
       [](CWnd& w) { Next(w); },
       [](CWnd& w) {
         Radio(w, IDC_RW_PINNED, IDC_RW_FIXED, IDC_RW_PINNED);
         Next(w);
       },
       [](CWnd& w) { Next(w); },
       [](CWnd& w) {
         EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_RW_SYMBOL)) << "the page stays";
         Sheet(w).PressButton(PSBTN_CANCEL);
       }});
  UIRunRestraintSheet(0);
  EXPECT_TRUE(cad.made.empty());
  EXPECT_EQ(LastBox(), "Pinned or Bolted restraints will only be applied to selected cylindrical faces.");
}

TEST_F(ConditionWizardTest, TheSymbolPageRefusesSizesNotAboveZeroAndRemembersTheLastSize) {
  const char* sizes[] = {"0", "-3"};
  std::vector<Step> steps = {[](CWnd& w) {
                               Type(w, IDC_RW_NAME, "Sym");
                               Next(w);
                             },
                             [](CWnd& w) {
                               Radio(w, IDC_RW_GEOM_FACE, IDC_RW_GEOM_VERTEX, IDC_RW_GEOM_EDGE);
                               Next(w);
                             },
                             [](CWnd& w) {
                               for (int id : {IDC_RW_PINNED, IDC_RW_SLIDING, IDC_RW_BOLTED})
                                 EXPECT_FALSE(Enabled(w, id));
                               EXPECT_TRUE(Enabled(w, IDC_RW_WELDED));
                               EXPECT_TRUE(Enabled(w, IDC_RW_FIXED));
                               Next(w);
                             },
                             [](CWnd& w) {
                               CString text;
                               Page(w).GetDlgItemText(IDC_RW_SYMBOL_FIXED_SIZE, text);
                               EXPECT_EQ(std::stod(std::string(text)), 1.0) << "the first symbol page starts at 1";
                             }};
  for (const char* size : sizes)
    steps.push_back([size](CWnd& w) {
      Type(w, IDC_RW_SYMBOL_FIXED_SIZE, size);
      Next(w);
      EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_RW_SYMBOL)) << size;
    });
  steps.push_back([](CWnd& w) {
    Type(w, IDC_RW_SYMBOL_FIXED_SIZE, "7");
    Next(w);
  });
  steps.push_back([](CWnd& w) { Sheet(w).PressButton(PSBTN_FINISH); });
  run(steps);
  EXPECT_EQ(UIRunRestraintSheet(0), 1);
  EXPECT_EQ(UIGetWizardTabState(4), 1);
  ASSERT_EQ(cad.made.size(), 1u);
  EXPECT_EQ(cad.made[0].code, 6);
  EXPECT_EQ(LastBox(), "The symbol size must be greater than 0.");
  EXPECT_EQ(CATT_SymbolPP::remembered.size, 7);
  EXPECT_EQ(cad.pickKinds, std::vector<int>{3});
}

TEST_F(ConditionWizardTest, AHeatRestraintIsAFixedTemperatureThatAcceptsZero) {
  run({[](CWnd& w) {
         Type(w, IDC_RW_NAME, "Cold");
         Next(w);
       },
       [](CWnd& w) { Next(w); },
       [](CWnd& w) {
         EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_RW_VALUE));
         Type(w, IDC_RW_VALUE, "0");
         Next(w);
       },
       [](CWnd& w) { Sheet(w).PressButton(PSBTN_FINISH); }});
  EXPECT_EQ(UIRunRestraintSheet(3), 1);
  ASSERT_EQ(cad.made.size(), 1u);
  EXPECT_EQ(cad.made[0].code, 21);
  EXPECT_EQ(cad.made[0].name, "Face_Fixed_Temperature");
  EXPECT_NEAR(cad.made[0].values[0], 273.15, 1e-9);
  EXPECT_EQ(std::vector<int>(cad.made[0].free, cad.made[0].free + 3), (std::vector<int>{0, 0, 0}));
}

TEST_F(ConditionWizardTest, ChangeViewParksTheRestraintWizardForTheRestraintStep) {
  run({[](CWnd& w) {
         Type(w, IDC_RW_NAME, "Wait");
         Next(w);
       },
       [](CWnd& w) {
         Radio(w, IDC_RW_GEOM_FACE, IDC_RW_GEOM_VERTEX, IDC_RW_GEOM_VERTEX);
         Page(w).SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CW_CHANGE_VIEW, BN_CLICKED), 0);
       }});
  EXPECT_EQ(UIRunRestraintSheet(0), 0);
  ASSERT_TRUE(cad.parkedRestraint.has_value());
  EXPECT_EQ(cad.parkedRestraint->pickKind, kRestraintVertex);
  EXPECT_EQ(cmdSavedIndex(), cmdIndex(CadCommand::RestraintsStep));

  // A pick made through the prompt: the wizard resumes on the page after the geometry page.
  cad.parkedRestraint->pageData[2] = 1;  // the type page was there
  cad.parkCancelled = 0;
  cmdClearPickPending();
  run({[](CWnd& w) {
    EXPECT_EQ(ActiveTemplate(w), static_cast<UINT>(IDD_RW_TYPE));
    EXPECT_EQ(dynamic_cast<CBCWizPS&>(w).picked, kPicked);
    Sheet(w).PressButton(PSBTN_CANCEL);
  }});
  UIRunRestraintSheet(0);
  EXPECT_TRUE(cad.pickKinds.empty());
}

}  // namespace
