// The document services over the analysis control: names, counts, opening and closing with the
// guide's step marks, deleting by name and the mesh report.
#include <gtest/gtest.h>

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeMaterial.h"
#include "amg/CaeVector.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/UIDefaultNames.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/wizard/UIWizard.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(y); });
}

// A CAD that selects models and sets as the drawing does (ignoring case, passing over erased
// objects) and records what the services ask of the results window and the drawing.
class StoreCad : public RecordingCad {
 public:
  int SelectOrCreateModel(const char* name, int type) override {
    AnlControl* control = AnlControl::GetCurrent();
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
      if (model->IsMarkedAsErased() || !SameIgnoringCase(model->Name().Text(), name)) continue;
      control->SetCurrentAnlModel(model);
      return 1;
    }
    control->SetCurrentAnlModel(control->NewAnlModel(name, static_cast<AnlType>(type < 0 ? 0 : type)));
    return 0;
  }
  int SelectOrCreateLoadCase(const char* name) override {
    return SelectOrCreateSet(name, &AnlControl::FirstLoadCase, &AnlControl::NextLoadCase, &AnlControl::NewLoadCase,
                             &AnlControl::SetCurrentLoadCase);
  }
  int SelectOrCreateRestraintCase(const char* name) override {
    return SelectOrCreateSet(name, &AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase,
                             &AnlControl::NewRestraintCase, &AnlControl::SetCurrentRestraintCase);
  }
  void ShowResultsWindow(int show) override { calls.push_back(show ? "show results" : "hide results"); }
  int CreateResultsView() override {
    calls.push_back("create results view");
    return 0;
  }
  void RefreshAfterCommand() override { calls.push_back("refresh"); }
  int FlushGraphics() override {
    calls.push_back("flush");
    return 0;
  }

 private:
  static int SelectOrCreateSet(const char* name, AttLbcCase* (AnlControl::*first)(), AttLbcCase* (AnlControl::*next)(),
                               AttLbcCase* (AnlControl::*create)(const CaeString&),
                               void (AnlControl::*makeCurrent)(AttLbcCase*)) {
    AnlControl* control = AnlControl::GetCurrent();
    for (AttLbcCase* set = (control->*first)(); set; set = (control->*next)()) {
      if (set->IsMarkedAsErased() || !SameIgnoringCase(set->Name().Text(), name)) continue;
      (control->*makeCurrent)(set);
      return 1;
    }
    (control->*makeCurrent)((control->*create)(name));
    return 0;
  }
};

// A control whose walks start at the head of its lists, erased objects included, as a drawing's
// list of ids may.
class RawListControl : public AnlControl {
 public:
  using AnlControl::AnlControl;
  AttLbcCase* FirstLoadCase() override { return loadCases_.First(); }
  AttLbcCase* FirstRestraintCase() override { return restraintCases_.First(); }
};

class DocModelTest : public FrameTest {
 protected:
  // Opening a result set shows it, so the results state and a view are there as in the add-in.
  void SetUp() override {
    FrameTest::SetUp();
    control.SetCurrent();
    FerState::SetState(&state);
    state.SetInterface(&ferInterface);
    FerDisplay::SetCurrent(&display);
  }
  void TearDown() override {
    FerDisplay::UnSetCurrent(&display);
    FerState::SetState(nullptr);
    FrameTest::TearDown();
  }

  AnlModel* Model(const char* name, AnlType type = AnlStress) { return control.NewAnlModel(name, type); }
  std::vector<int> Steps() const {
    std::vector<int> steps;
    for (int step = 0; step < 8; ++step) steps.push_back(UIGetWizardTabState(step));
    return steps;
  }
  int LiveModelsNamed(const std::string& name) {
    int count = 0;
    for (AnlModel* model = control.FirstAnlModel(); model; model = control.NextAnlModel())
      if (!model->IsMarkedAsErased() && SameIgnoringCase(model->Name().Text(), name)) ++count;
    return count;
  }

  AnlControl control{"bracket"};
  StoreCad cad;
  AttLbcDescriptTable descriptors;
  CaeFerInterface ferInterface;
  FerState state;
  FerWndOGLDisp display;
};

// ---- names and counts ----

TEST_F(FrameTest, WithoutAControlTheQueriesAnswerNothing) {
  StoreCad cad;
  ASSERT_EQ(AnlControl::GetCurrent(), nullptr);
  for (const CString& name :
       {CadCurrentControlName(), CadCurrentModelName(), CadCurrentLoadCaseName(), CadCurrentRestraintCaseName(),
        CadFirstModelName(), CadFirstLoadCaseName(), CadFirstRestraintCaseName()})
    EXPECT_STREQ(name, "");
  EXPECT_EQ(CadCurrentSubModelCount(), -1);
  EXPECT_EQ(CadSubModelMaterial(1), nullptr);
  EXPECT_EQ(CadCurrentLoadCaseCount(), 0);
  EXPECT_EQ(CadCurrentRestraintCaseCount(), 0);
  EXPECT_EQ(CadCurrentModelType(), 0);
  EXPECT_EQ(CadLoadCaseHasLoads(), 0);
  EXPECT_EQ(CadRestraintCaseHasRestraints(), 0);
  EXPECT_EQ(CadDeleteModel("Any"), 0);
  EXPECT_STREQ(CadUniqueModelName(), "Model_Model");
  EXPECT_TRUE(cad.calls.empty());
}

TEST_F(DocModelTest, CurrentAndFirstNamesPassOverErasedObjects) {
  AnlModel* erased = Model("Old", AnlVibration);
  control.DeleteAnlModel(erased);
  AnlModel* beam = Model("Beam", AnlHeatTransfer);
  Model("Plate");
  control.SetCurrentAnlModel(beam);
  AttLbcCase* gone = control.NewLoadCase("Gone_LS");
  control.NewLoadCase("Wind_LS");
  control.DeleteLoadCase(gone);
  control.DeleteRestraintCase(control.NewRestraintCase("Gone_RS"));
  control.SetCurrentRestraintCase(control.NewRestraintCase("Fixed_RS"));

  EXPECT_STREQ(CadCurrentControlName(), "bracket");
  EXPECT_STREQ(CadCurrentModelName(), "Beam");
  EXPECT_STREQ(CadCurrentLoadCaseName(), "");
  EXPECT_STREQ(CadCurrentRestraintCaseName(), "Fixed_RS");
  EXPECT_EQ(CadCurrentModelType(), AnlHeatTransfer);
  EXPECT_STREQ(CadFirstModelName(), "Beam");
  EXPECT_STREQ(CadFirstLoadCaseName(), "Wind_LS");
  EXPECT_STREQ(CadFirstRestraintCaseName(), "Fixed_RS");
}

TEST_F(FrameTest, FirstSetNamesSkipErasedSetsAtTheHeadOfADrawingsList) {
  StoreCad cad;
  RawListControl control("bracket");
  control.SetCurrent();
  control.DeleteLoadCase(control.NewLoadCase("Gone_LS"));
  control.NewLoadCase("Wind_LS");
  control.DeleteRestraintCase(control.NewRestraintCase("Gone_RS"));
  ASSERT_TRUE(control.FirstLoadCase()->IsMarkedAsErased()) << "the fixture's walk meets the erased set";

  EXPECT_STREQ(CadFirstLoadCaseName(), "Wind_LS");
  EXPECT_STREQ(CadFirstRestraintCaseName(), "") << "only an erased restraint set";
  // Opening the first name selects the live set rather than making a new one.
  EXPECT_EQ(CadOpenLoadCase(CadFirstLoadCaseName()), 1);
  EXPECT_EQ(control.NumLoadCases(), 1);
}

TEST_F(DocModelTest, SubModelMaterialsAndCountsOfTheCurrentObjects) {
  AnlModel* model = Model("Beam");
  CaeMaterial steel;
  steel.Name(CaeString("S275"));
  AnlSubModel* first = model->NewSubModel();
  first->AssignMaterial(&steel);
  model->NewSubModel();
  EXPECT_EQ(CadCurrentSubModelCount(), -1) << "no current model";
  control.SetCurrentAnlModel(model);
  EXPECT_EQ(CadCurrentSubModelCount(), 2);
  const struct {
    int index;
    CaeMaterial* material;
  } cases[] = {{0, nullptr}, {1, &steel}, {2, nullptr}, {3, nullptr}, {-1, nullptr}};
  for (const auto& c : cases) EXPECT_EQ(CadSubModelMaterial(c.index), c.material) << c.index;
  first->AssignMaterial(nullptr);  // the sub-model would delete it

  AttLbcCase* loads = control.NewLoadCase("Wind_LS");
  control.SetCurrentLoadCase(loads);
  AttBaseLbc force(descriptors.Find(ToAttType(AttCode::VertexForce)), 1);
  AttBaseLbc pressure(descriptors.Find(ToAttType(AttCode::Pressure)), 1);
  loads->AddLbc(&force);
  loads->AddLbc(&pressure);
  loads->DeleteLbc(&pressure);
  EXPECT_EQ(CadCurrentLoadCaseCount(), 1);
  EXPECT_EQ(CadCurrentRestraintCaseCount(), 0);
}

TEST_F(DocModelTest, UniqueNamesAvoidLiveObjectsOfTheKindIgnoringCase) {
  control.DeleteAnlModel(Model("bracket_Model"));
  EXPECT_STREQ(CadUniqueModelName(), "bracket_Model") << "an erased model does not hold its name";
  Model("BRACKET_MODEL");
  EXPECT_STREQ(CadUniqueModelName(), "bracket_Model1");
  control.NewLoadCase("Bracket_ls");
  EXPECT_STREQ(CadUniqueLoadCaseName(), "bracket_LS1");
  EXPECT_STREQ(CadUniqueRestraintCaseName(), "bracket_RS");
  control.NewOptModel("bracket_optmodel");
  EXPECT_STREQ(CadUniqueOptModelName(), "bracket_OptModel1");

  // A drawing without a name: models become Model_..., sets follow the current model.
  AnlControl unnamed;
  unnamed.SetCurrent();
  EXPECT_STREQ(CadUniqueModelName(), "Model_Model");
  EXPECT_STREQ(CadUniqueLoadCaseName(), "Model_LS");
  unnamed.SetCurrentAnlModel(unnamed.NewAnlModel("Beam", AnlStress));
  EXPECT_STREQ(CadUniqueLoadCaseName(), "Beam_LS");
  EXPECT_STREQ(CadUniqueRestraintCaseName(), "Beam_RS");
  EXPECT_STREQ(UIDefaultLoadSetName(CaeString("given")).Text(), "given_LS") << "a base is kept";
}

// ---- opening and closing ----

TEST_F(DocModelTest, OpeningAModelMarksProblemAndAnalyzeSteps) {
  AnlModel* meshed = Model("Meshed");
  meshed->NewSubModel();
  AnlModel* solved = Model("Solved");
  solved->NewSubModel();
  solved->NewJob();
  const struct {
    const char* name;
    int existed;
    int analyze;
  } cases[] = {
      {"Fresh", 0, 0},
      {"meshed", 1, 0},  // sub-models alone: the second mark, for jobs and results, clears it
      {"SOLVED", 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UIClearWizardState();
    EXPECT_EQ(CadOpenModel(c.name, -1), c.existed);
    EXPECT_TRUE(SameIgnoringCase(CadCurrentModelName().operator const char*(), c.name));
    EXPECT_EQ(UIGetWizardTabState(1), 1);
    EXPECT_EQ(UIGetWizardTabState(6), c.analyze);
  }
  EXPECT_EQ(LiveModelsNamed("Fresh"), 1);
}

TEST_F(DocModelTest, OnlyAnotherModelHidesTheResultsAndClearsTheResultSet) {
  AnlModel* model = Model("Beam");
  control.SetCurrentAnlModel(model);
  control.SetCurrentResultSet(model->NewResultSet("Static"));

  // The drawing selects ignoring case: "BEAM" is the current model too.
  for (const char* name : {"Beam", "BEAM"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(CadOpenModel(name, -1), 1);
    EXPECT_NE(control.CurrentResultSet(), nullptr);
    EXPECT_EQ(std::count(cad.calls.begin(), cad.calls.end(), "hide results"), 0);
  }
  EXPECT_EQ(std::count(cad.calls.begin(), cad.calls.end(), "create results view"), 2)
      << "there is no results window yet";

  EXPECT_EQ(CadOpenModel("Plate", 2), 0);
  EXPECT_EQ(control.CurrentResultSet(), nullptr);
  EXPECT_EQ(std::count(cad.calls.begin(), cad.calls.end(), "hide results"), 1);
  EXPECT_EQ(CadCurrentModelType(), AnlBuckling);
}

TEST_F(FrameTest, ANewModelOfANameDifferingInCaseHidesTheResults) {
  RecordingCad cad;  // the neutral interface compares names byte for byte and makes a new model
  AnlControl control("bracket");
  control.SetCurrent();
  AnlModel* beam = control.NewAnlModel("Beam", AnlStress);
  control.SetCurrentAnlModel(beam);
  control.SetCurrentResultSet(beam->NewResultSet("Static"));
  EXPECT_EQ(CadOpenModel("beam", 0), 0);
  EXPECT_NE(control.CurrentAnlModel(), beam);
  EXPECT_EQ(control.CurrentResultSet(), nullptr) << "the result set belongs to the other model";
}

TEST_F(DocModelTest, ClosingClearsTheCurrentObjectsAndTheirSteps) {
  for (int step = 0; step < 8; ++step) UISetWizardTabState(step, 1);
  CadOpenModel("Beam", 0);
  CadOpenLoadCase("Wind_LS");
  CadOpenRestraintCase("Fixed_RS");
  cad.calls.clear();

  CadCloseLoadCase();
  EXPECT_EQ(control.CurrentLoadCase(), nullptr);
  CadCloseRestraintCase();
  EXPECT_EQ(control.CurrentRestraintCase(), nullptr);
  CadCloseModel();
  EXPECT_EQ(control.CurrentAnlModel(), nullptr);
  EXPECT_EQ(Steps(), (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 0}));
  EXPECT_EQ(cad.calls, std::vector<std::string>{"hide results"});
}

TEST_F(DocModelTest, SetsMarkTheirStepsByTheConditionsThatCountForTheModel) {
  using C = AttCode;
  struct Case {
    const char* name;
    AnlType type;
    AttCode condition;
    bool erased;
    int loads;       // the condition in a load set
    int restraints;  // the condition in a restraint set
  };
  const Case cases[] = {
      {"force on stress", AnlStress, C::FaceDistributedForce, false, 1, 1},
      {"erased force", AnlStress, C::FaceDistributedForce, true, 0, 0},
      {"heat flux on stress", AnlStress, C::FaceHeatFlux, false, 0, 1},
      {"heat flux on heat transfer", AnlHeatTransfer, C::FaceHeatFlux, false, 1, 0},
      {"generation on heat transfer", AnlHeatTransfer, C::VolumetricHeatFlow, false, 1, 0},
      {"force on heat transfer", AnlHeatTransfer, C::VertexForce, false, 0, 0},
      {"force on vibration", AnlVibration, C::Pressure, false, 0, 1},
      {"fixed temperature on stress", AnlStress, C::FaceFixedTemperature, false, 1, 0},
      {"fixed temperature on heat transfer", AnlHeatTransfer, C::EdgeFixedTemperature, false, 0, 1},
      {"restraint on buckling", AnlBuckling, C::FaceRestraint, false, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AttBaseLbc condition(descriptors.Find(ToAttType(c.condition)), 1);
    AnlControl fresh;
    fresh.SetCurrent();
    fresh.SetCurrentAnlModel(fresh.NewAnlModel("Beam", c.type));
    AttLbcCase* loads = fresh.NewLoadCase("L");
    AttLbcCase* restraints = fresh.NewRestraintCase("R");
    for (AttLbcCase* set : {loads, restraints}) {
      set->AddLbc(&condition);
      if (c.erased) set->DeleteLbc(&condition);
    }
    UIClearWizardState();
    EXPECT_EQ(CadOpenLoadCase("L"), 1);
    EXPECT_EQ(CadLoadCaseHasLoads(), c.loads);
    EXPECT_EQ(UIGetWizardTabState(3), c.loads);
    EXPECT_EQ(CadOpenRestraintCase("r"), 1);
    EXPECT_EQ(CadRestraintCaseHasRestraints(), c.restraints);
    EXPECT_EQ(UIGetWizardTabState(4), c.restraints);
  }
  control.SetCurrent();
}

TEST_F(DocModelTest, ResultSetsAndTheResultTabs) {
  AnlModel* model = Model("Beam");
  control.SetCurrentAnlModel(model);
  FerResultSet* results = model->NewResultSet("Static");
  CadOpenResultSet(results);
  EXPECT_EQ(control.CurrentResultSet(), results);
  EXPECT_EQ(UIGetWizardTabState(7), 1);
  CadRefreshResultTabs();
  EXPECT_EQ(Steps(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 1}));
  CadCloseResultSet();
  EXPECT_EQ(control.CurrentResultSet(), nullptr);
  EXPECT_EQ(UIGetWizardTabState(7), 0);

  // Without a current result set step 6 follows the first job that is not erased.
  struct Case {
    const char* name;
    std::vector<bool> jobsErased;
    int before;  // step 6 before the refresh
    int after;
  };
  const Case cases[] = {
      {"no jobs leave the step", {}, 1, 1},
      {"only erased jobs", {true, true}, 1, 0},
      {"a live job after an erased one", {true, false}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnlModel* other = control.NewAnlModel(c.name, AnlStress);
    control.SetCurrentAnlModel(other);
    for (bool erased : c.jobsErased) {
      AnlJob* job = other->NewJob();
      if (erased) job->MarkAsErased();
    }
    UISetWizardTabState(7, 1);
    UISetWizardTabState(6, c.before);
    CadRefreshResultTabs();
    EXPECT_EQ(UIGetWizardTabState(6), c.after);
    EXPECT_EQ(UIGetWizardTabState(7), 0);
  }
  control.ClearCurrentAnlModel();
  UISetWizardTabState(6, 1);
  CadRefreshResultTabs();
  EXPECT_EQ(UIGetWizardTabState(6), 1) << "nothing happens without a current model";
}

TEST_F(DocModelTest, StepMarksAreKeptWithEachDrawing) {
  CadDocData first;
  CadDocData second;
  first.Activate();
  CadOpenModel("Beam", 0);
  CadOpenResultSet(control.CurrentAnlModel()->NewResultSet("Static"));
  first.Deactivate();
  UIClearWizardState();
  second.Activate();
  EXPECT_EQ(UIGetWizardTabState(1), 0);
  second.Deactivate();
  first.Activate();
  EXPECT_EQ(UIGetWizardTabState(1), 1);
  EXPECT_EQ(UIGetWizardTabState(7), 1);
  EXPECT_EQ(first.GuideState().steps[1], 1);
  first.Deactivate();
  control.SetCurrent();
}

// ---- deleting by name ----

// The three kinds of object deleted by name, over one set of cases.
struct DeleteKind {
  const char* kind;
  int (*remove)(const char*);
  int (*open)(const char*);
  CString (*current)();
  int (*live)(AnlControl&);
};

int OpenModelKeepingType(const char* name) { return CadOpenModel(name, -1); }

const DeleteKind kDeleteKinds[] = {
    {"model", &CadDeleteModel, &OpenModelKeepingType, &CadCurrentModelName,
     [](AnlControl& c) { return c.NumAnlModels(); }},
    {"load set", &CadDeleteLoadCase, &CadOpenLoadCase, &CadCurrentLoadCaseName,
     [](AnlControl& c) { return c.NumLoadCases(); }},
    {"restraint set", &CadDeleteRestraintCase, &CadOpenRestraintCase, &CadCurrentRestraintCaseName,
     [](AnlControl& c) { return c.NumRestraintCases(); }},
};

TEST_F(DocModelTest, DeletingTheCurrentObjectByNameLeavesNoneCurrent) {
  for (const DeleteKind& k : kDeleteKinds) {
    SCOPED_TRACE(k.kind);
    k.open("Alpha");
    k.open("Beta");
    ASSERT_STREQ(k.current(), "Beta");
    ASSERT_EQ(k.live(control), 2);
    cad.calls.clear();
    EXPECT_EQ(k.remove("beta"), 1);
    EXPECT_STREQ(k.current(), "") << "the deleted object is not made again";
    EXPECT_EQ(k.live(control), 1);
    EXPECT_EQ(cad.calls.front(), "start");
    EXPECT_EQ(cad.calls.back(), "flush");
    EXPECT_EQ(std::count(cad.calls.begin(), cad.calls.end(), "end"), 1);
    EXPECT_EQ(k.remove("Alpha"), 1);
    EXPECT_EQ(k.live(control), 0);
  }
}

TEST_F(DocModelTest, DeletingAnotherObjectByNameKeepsTheCurrentOne) {
  for (const DeleteKind& k : kDeleteKinds) {
    SCOPED_TRACE(k.kind);
    k.open("Alpha");
    k.open("Beta");
    EXPECT_EQ(k.remove("ALPHA"), 1);
    EXPECT_STREQ(k.current(), "Beta");
    EXPECT_EQ(k.live(control), 1);

    // A name no live object bears changes nothing and makes nothing.
    cad.calls.clear();
    EXPECT_EQ(k.remove("Alpha"), 0);
    EXPECT_EQ(k.remove("Gamma"), 0);
    EXPECT_STREQ(k.current(), "Beta");
    EXPECT_EQ(k.live(control), 1);
    EXPECT_EQ(cad.calls, (std::vector<std::string>{"start", "end", "start", "end"})) << "looked up, no more";

    // An empty name deletes the current object and selects nothing.
    EXPECT_EQ(k.remove(""), 1);
    EXPECT_STREQ(k.current(), "");
    EXPECT_EQ(k.live(control), 0);
    EXPECT_EQ(k.remove(""), 0) << "nothing current";
  }
}

TEST_F(DocModelTest, DeletingAModelRefreshesAndClosesItsSteps) {
  CadOpenModel("Beam", 0);
  CadOpenModel("Plate", 0);
  cad.calls.clear();
  CadDeleteModel("Plate");
  EXPECT_EQ(UIGetWizardTabState(1), 0);
  EXPECT_NE(std::find(cad.calls.begin(), cad.calls.end(), "refresh"), cad.calls.end());
  cad.calls.clear();
  CadDeleteLoadCase("");
  EXPECT_EQ(std::find(cad.calls.begin(), cad.calls.end(), "refresh"), cad.calls.end()) << "only models refresh";
}

// ---- mesh generation ----

// The message boxes the services showed, with the engine's own reports filtered out.
std::vector<mfc::MessageBoxRequest> ServiceBoxes(const uistest::RecordingDriver& driver) {
  std::vector<mfc::MessageBoxRequest> boxes;
  for (const auto& box : driver.boxes())
    if (box.text.rfind("Meshing failed", 0) == 0 || box.text.rfind("Error: Meshing", 0) == 0 ||
        box.text == "Invalid Geometry")
      boxes.push_back(box);
  return boxes;
}

TEST_F(FrameTest, GeneratingAMeshReportsItsSize) {
  RecordingCad cad;
  AmgMesh mesh;
  mesh.SetShape(BRepPrimAPI_MakeBox(2.0, 1.0, 1.0).Shape());
  mesh.SetDefaultSize(0.5);
  mesh.SetElementOrder(1);
  EXPECT_EQ(CadGenerateMesh(&mesh), 1);
  ASSERT_GT(mesh.NumNodes(), 0);
  ASSERT_EQ(cad.printed.size(), 1u);
  EXPECT_EQ(cad.printed[0], "Generated " + std::to_string(mesh.NumNodes()) + " nodes and " +
                                std::to_string(mesh.NumElements()) + " elements.");
  EXPECT_TRUE(ServiceBoxes(driver).empty());

  AmgMesh deferred;
  deferred.SetShape(BRepPrimAPI_MakeBox(1.0, 1.0, 1.0).Shape());
  deferred.SetDeferred(1);
  EXPECT_EQ(CadGenerateMesh(&deferred), 1);
  EXPECT_EQ(deferred.Generated(), 0) << "a deferred mesh is made when next needed";
  EXPECT_EQ(cad.printed.size(), 1u);
  EXPECT_EQ(CadGenerateMesh(nullptr), 0);
}

TEST_F(FrameTest, AMeshThatFailsIsReportedWithItsCode) {
  RecordingCad cad;
  AmgMesh mesh;
  // A lone face has no volume to fill.
  mesh.SetShape(BRepBuilderAPI_MakeFace(gp_Pln(), 0, 1, 0, 1).Shape());
  mesh.SetDefaultSize(0.5);
  EXPECT_EQ(CadGenerateMesh(&mesh), 0);
  ASSERT_EQ(mesh.Successful(), 0);
  // The mesher names no place for this failure, so the code is reported.
  ASSERT_EQ(mesh.ErrorLocation().Length(), 0.0);
  const auto boxes = ServiceBoxes(driver);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Error: Meshing failed with error code " + std::to_string(mesh.ErrorCode()) + ".");
  EXPECT_EQ(boxes[0].type & MB_ICONEXCLAMATION, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(cad.printed, std::vector<std::string>{boxes[0].text});
}

TEST_F(FrameTest, MeshFailuresAreReportedByCode) {
  RecordingCad cad;
  ResourceSetter resources(1);  // meshing runs inside a command
  struct Case {
    int code;
    CaeVector location;
    const char* text;  // null: no message at all
    bool printed;
  };
  const CaeVector at(1.234, -5.0, 0.005);
  const Case cases[] = {
      {1, at, "Meshing failed at (1.23, -5.00, 0.01).  Try a smaller element size.", true},
      {16, CaeVector(0, 0, -0.5), "Meshing failed at (0.00, 0.00, -0.50).  Try a smaller element size.", true},
      {4, CaeVector(), "Error: Meshing failed with error code 4.", true},
      {8, CaeVector(), "Error: Meshing failed with error code 8.", true},
      {6, at, "Error: Meshing failed with error code 6.", true},
      {5, at, "Invalid Geometry", false},
      {9, at, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const std::size_t boxesBefore = driver.boxes().size();
    cad.printed.clear();
    EXPECT_EQ(CadReportMeshFailure(c.code, c.location), 0);
    if (!c.text) {
      EXPECT_EQ(driver.boxes().size(), boxesBefore);
      EXPECT_TRUE(cad.printed.empty());
      continue;
    }
    ASSERT_EQ(driver.boxes().size(), boxesBefore + 1);
    const auto& box = driver.boxes().back();
    EXPECT_EQ(box.text, c.text);
    EXPECT_NE(box.type & MB_TASKMODAL, 0u);
    EXPECT_EQ((box.type & MB_ICONEXCLAMATION) != 0, c.printed) << "warnings carry the exclamation icon";
    EXPECT_EQ(cad.printed, c.printed ? std::vector<std::string>{c.text} : std::vector<std::string>{});
  }
}

}  // namespace
