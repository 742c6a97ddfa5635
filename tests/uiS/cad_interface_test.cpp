#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeTopoRef.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "topo_ref_stub.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

// A topology reference with children and, when meshed, one active mesh attribute.
class FakeTopo : public kestrum::test::TopoRefStub {
 public:
  explicit FakeTopo(int kind) : TopoRefStub(kind) {}
  void AddChild(FakeTopo* child) { children_.push_back(child); }
  void SetMesh(AmgMesh* mesh) { mesh_ = mesh; }

  CaeTopoRef* FirstChild(int& flag) override {
    flag = 0;
    return children_.empty() ? nullptr : children_[0];
  }
  CaeTopoRef* NextChild(CaeTopoRef* child, int, int& nextFlag) override {
    nextFlag = 0;
    for (std::size_t i = 0; i + 1 < children_.size(); ++i)
      if (children_[i] == child) return children_[i + 1];
    return nullptr;
  }
  CaeAttrib* FirstAttribute(CaeTypeId type, int activeOnly) override {
    if (!mesh_ || !mesh_->GetInfo().CanCast(type)) return nullptr;
    return activeOnly && !mesh_->IsActive() ? nullptr : mesh_;
  }

 private:
  std::vector<FakeTopo*> children_;
  AmgMesh* mesh_ = nullptr;
};

// A CAD whose part has global parameters, some of them design variables' parameters.
class ParameterCad : public RecordingCad {
 public:
  struct Parameter {
    std::string name;
    double value = 0.0;
    int dependent = 0;
  };
  std::vector<Parameter> parameters;
  int suppress = 0;
  int preselection = 1;
  int flushes = 0;

  int SuppressesOptimization() override { return suppress; }
  int UsesPreselection() override { return preselection; }
  int FlushGraphics() override { return ++flushes; }
  void GetGlobalParams(int* count, CaeString** names) override {
    *count = static_cast<int>(parameters.size());
    *names = parameters.empty() ? nullptr : new CaeString[parameters.size()];
    for (std::size_t i = 0; i < parameters.size(); ++i) (*names)[i] = parameters[i].name.c_str();
  }
  // The parameter key of a variable is its position + 1 in `parameters`, matched by `boundTo`.
  std::map<const OptVariable*, int> boundTo;
  AmiParamKey* VariableParameterKey(OptVariable* variable) override {
    auto found = boundTo.find(variable);
    return found == boundTo.end() ? nullptr
                                  : reinterpret_cast<AmiParamKey*>(static_cast<std::intptr_t>(found->second + 1));
  }
  CaeString& GetParamName(CaeString& name, AmiParamKey* key) override {
    name = At(key).name.c_str();
    return name;
  }
  int GetParamDependencies(AmiParamKey* key) override { return At(key).dependent; }
  double GetParamValue(AmiParamKey* key) override { return At(key).value; }

 private:
  Parameter& At(AmiParamKey* key) { return parameters.at(reinterpret_cast<std::intptr_t>(key) - 1); }
};

class CadInterfaceTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    control.SetCurrent();
  }
  AnlModel* NewCurrentModel(const char* name, AnlType type = AnlStress) {
    AnlModel* model = control.NewAnlModel(name, type);
    control.SetCurrentAnlModel(model);
    return model;
  }
  OptModel* NewCurrentOptModel(const char* name, int type) {
    OptModel* model = control.NewOptModel(name);
    model->Type(static_cast<CaeOptType>(type));
    control.SetCurrentOptModel(model);
    return model;
  }

  AnlControl control{"part"};
};

TEST(CadInterfaceLifetime, CurrentFollowsTheLivingInstanceAndIsNullAfterUnload) {
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
  auto first = std::make_unique<CadInterface>();
  EXPECT_EQ(CadInterface::GetCurrent(), first.get());
  EXPECT_EQ(first->GetDocControl(), 0);
  first->SetDocControl(2);
  EXPECT_EQ(first->GetDocControl(), 2);
  first->SetDocControl(0);
  EXPECT_EQ(first->GetDocControl(), 0);
  first.reset();
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
}

TEST(CadInterfaceLifetime, DisplayFlagsStartAtTheirDefaultsAndRoundTrip) {
  CadInterface cad;
  SymbolVisibility flags;
  flags.mesh = 7;
  EXPECT_EQ(cad.GetSymbolVisibility(flags), 1);
  const int expected[] = {1, 1, 1, 1, 0, 1};
  const int actual[] = {flags.mesh,          flags.loads,   flags.restraints,
                        flags.localCoordSys, flags.results, flags.optConstraints};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(actual[i], expected[i]) << "flag " << i;
  flags = SymbolVisibility{0, 1, 0, 1, 1, 0};
  cad.SetSymbolVisibility(flags, 0);
  SymbolVisibility back;
  cad.GetSymbolVisibility(back);
  EXPECT_EQ(back.mesh, 0);
  EXPECT_EQ(back.restraints, 0);
  EXPECT_EQ(back.results, 1);
  EXPECT_EQ(back.optConstraints, 0);
}

TEST(CadInterfaceLifetime, BaseAnswersTellWhatANeutralCadSupports) {
  CadInterface cad;
  const std::pair<const char*, std::function<int()>> answers[] = {
      {"CanStartCommand", [&] { return cad.CanStartCommand(1) == 1; }},
      {"MaxNameLength", [&] { return cad.MaxNameLength() == 9999; }},
      {"AcceptsFreeNames", [&] { return cad.AcceptsFreeNames() == 1; }},
      {"UsesPreselection", [&] { return cad.UsesPreselection() == 1; }},
      {"UsesPickRequests", [&] { return cad.UsesPickRequests() == 0; }},
      {"KeepsCurrentModelForWizard", [&] { return cad.KeepsCurrentModelForWizard() == 1; }},
      {"ParameterMode", [&] { return cad.ParameterMode() == 1; }},
      {"GetToolbarVisibility", [&] { return cad.GetToolbarVisibility(nullptr) == 0; }},
      {"GetProductTitle",
       [&] {
         CaeString title;
         return cad.GetProductTitle(title) == 1 && title == "TLX/Ondrel";
       }},
      {"GetCommandResult",
       [&] {
         AcBrEntity* entity = reinterpret_cast<AcBrEntity*>(&cad);
         int cancelled = 5;
         return cad.GetCommandResult(&entity, &cancelled) == 0 && entity == nullptr;
       }},
      {"GetParameterPickResult",
       [&] {
         int out = 5;
         return cad.GetParameterPickResult(&out, 0) == 0 && out == 0;
       }},
  };
  for (const auto& [name, holds] : answers) EXPECT_TRUE(holds()) << name;
}

TEST_F(FrameTest, OperationsOnlyARealCadCanDoAreConsistencyFailures) {
  CadAppControl app;
  CadInterface cad;
  CaeList<CaeTopoRef> refs;
  const std::pair<const char*, std::function<void()>> operations[] = {
      {"CreateMeshEntity", [&] { cad.CreateMeshEntity(nullptr); }},
      {"MeshOfTopology", [&] { cad.MeshOfTopology(nullptr); }},
      {"CollectMeshesOfTopology", [&] { cad.CollectMeshesOfTopology(refs, nullptr); }},
      {"PickMesh", [&] { cad.PickMesh(refs); }},
  };
  for (const auto& [name, operation] : operations) {
    const std::size_t before = driver.boxes().size();
    EXPECT_THROW(operation(), CaeExcept) << name;
    ASSERT_EQ(driver.boxes().size(), before + 1) << name;
    EXPECT_EQ(driver.boxes().back().text.rfind("General Error in ", 0), 0u) << name;
  }
}

TEST_F(CadInterfaceTest, QueryModelStateAnswersOneForUnknownQuestionsInsideItsOwnTransaction) {
  ParameterCad cad;
  for (int question : {0, 12, 37, -1}) {
    cad.calls.clear();
    EXPECT_EQ(cad.QueryModelState(static_cast<ModelQuestion>(question)), 1) << question;
    EXPECT_EQ(cad.calls, (std::vector<std::string>{"start", "end"})) << question;
  }
}

TEST_F(CadInterfaceTest, OptimisationQuestionsFollowSuppressionAndTheModelsOfEachKind) {
  ParameterCad cad;
  const struct {
    ModelQuestion question;
    int withoutModels;
    int withShape;
    int withBoth;
  } cases[] = {
      {ModelQuestion::ShapeOptimizationOffered, 1, 1, 1}, {ModelQuestion::OptimizationOffered, 1, 1, 1},
      {ModelQuestion::ShapeObjectiveModel, 0, 1, 1},      {ModelQuestion::ShapeConstraintsModel, 0, 1, 1},
      {ModelQuestion::ShapeSolveModel, 0, 1, 1},          {ModelQuestion::ConceptObjectiveModel, 0, 0, 1},
      {ModelQuestion::ConceptSolveModel, 0, 0, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cad.QueryModelState(c.question), c.withoutModels) << static_cast<int>(c.question);
  OptModel* shape = NewCurrentOptModel("Shape", 0);
  for (const auto& c : cases) EXPECT_EQ(cad.QueryModelState(c.question), c.withShape) << static_cast<int>(c.question);
  NewCurrentOptModel("Concept", 1);
  for (const auto& c : cases) EXPECT_EQ(cad.QueryModelState(c.question), c.withBoth) << static_cast<int>(c.question);
  control.SetCurrentOptModel(shape);
  cad.suppress = 1;
  for (int question = 20; question <= 36; ++question)
    EXPECT_EQ(cad.QueryModelState(static_cast<ModelQuestion>(question)), 0) << question;
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ModelReadyForCommand), 0) << "no model";
}

TEST_F(CadInterfaceTest, FreeGlobalParametersCountThoseNotYetDesignVariables) {
  ParameterCad cad;
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::FreeGlobalParameters), 0) << "no parameters";
  cad.parameters = {{"Length"}, {"Width"}, {"Height"}};
  control.NewOptVariable("Length");
  control.NewOptVariable("Height");
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::FreeGlobalParameters), 1);
  control.NewOptVariable("Width");
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::FreeGlobalParameters), 0);
}

TEST_F(CadInterfaceTest, ShapeResultsDependOnCasesAndTheNewestJob) {
  ParameterCad cad;
  AnlJob pending;
  pending.SetStatus(AnlStatusPending);
  OptModel* model = NewCurrentOptModel("Shape", 0);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResults), 0) << "no case";
  model->NewOptResultCase("job1", "Results");
  model->AddJob(&pending);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResults), 0) << "a pending job without results";
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResultsOrSensitivity), 1);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResultCycles), 0) << "30 never looks at jobs";

  pending.SetStatus(AnlStatusDone);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResults), 1);
  model->RemoveJob(&pending);
}

TEST_F(CadInterfaceTest, FinishedCasesAnswerByCyclesAndSensitivity) {
  ParameterCad cad;
  OptModel* model = NewCurrentOptModel("Shape", 0);
  OptResultCase* resultCase = model->NewOptResultCase("job1", "Results");
  resultCase->SetExitCode(1);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResults), 0);
  resultCase->SetHasSensitivity(1);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResults), 1);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResultCycles), 0) << "30 counts cycles only";
  resultCase->NumCycles(3);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ShapeResultCycles), 1);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ConceptResults), 0) << "no concept model";
}

TEST_F(CadInterfaceTest, ModelQuestionsNeedACurrentModel) {
  ParameterCad cad;
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ModelReadyForCommand), 0);
  EXPECT_EQ(cad.ModelReady(), 0);
  NewCurrentModel("M");
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ModelReadyForCommand), 0) << "preselection CAD without a selection";
  EXPECT_EQ(cad.ModelReady(), 0);
  cad.preselection = 0;
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::ModelReadyForCommand), 1);
  EXPECT_EQ(cad.ModelReady(), 1);
  EXPECT_EQ(cad.QueryModelState(ModelQuestion::DoctorHasSubject), 0) << "the design doctor has no subject";
}

TEST_F(CadInterfaceTest, SelectOrCreateFindsByExactNameAndMakesCurrent) {
  CadInterface cad;
  using Select = int (CadInterface::*)(const char*);
  using Current = AttLbcCase* (AnlControl::*)();
  const struct {
    const char* kind;
    Select select;
    Current current;
  } kinds[] = {{"load", &CadInterface::SelectOrCreateLoadCase, &AnlControl::CurrentLoadCase},
               {"restraint", &CadInterface::SelectOrCreateRestraintCase, &AnlControl::CurrentRestraintCase}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    EXPECT_EQ((cad.*k.select)("One"), 0);
    AttLbcCase* one = (control.*k.current)();
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Name(), "One");
    EXPECT_EQ((cad.*k.select)("Two"), 0);
    AttLbcCase* two = (control.*k.current)();
    EXPECT_NE(two, one);
    EXPECT_EQ((cad.*k.select)("One"), 1);
    EXPECT_EQ((control.*k.current)(), one);
    EXPECT_EQ((cad.*k.select)("One"), 1) << "already current";
    EXPECT_EQ((cad.*k.select)("one"), 0) << "names compare byte for byte";
  }

  EXPECT_EQ(cad.SelectOrCreateModel("Model", AnlVibration), 0);
  AnlModel* model = control.CurrentAnlModel();
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->Type(), AnlVibration);
  EXPECT_EQ(cad.SelectOrCreateModel("Model", AnlStress), 1);
  EXPECT_EQ(control.CurrentAnlModel(), model);
  EXPECT_EQ(cad.GetModelType("Model"), AnlVibration);
  EXPECT_EQ(cad.GetModelType("Other"), 0);
}

TEST_F(CadInterfaceTest, ModelExistsPassesOverErasedModels) {
  CadInterface cad;
  AnlModel* erased = control.NewAnlModel("Gone", AnlBuckling);
  control.DeleteAnlModel(erased);
  control.NewAnlModel("Live", AnlHeatTransfer);
  int type = -1;
  EXPECT_EQ(cad.ModelExists("Gone", &type), 0);
  EXPECT_EQ(type, -1);
  EXPECT_EQ(cad.ModelExists("Live", &type), 1);
  EXPECT_EQ(type, AnlHeatTransfer);
}

TEST_F(CadInterfaceTest, CasesAndSubModelsOfTheCurrentModel) {
  CadInterface cad;
  EXPECT_EQ(cad.CurrentModelHasCases(), 0);
  AnlModel* model = NewCurrentModel("M");
  EXPECT_EQ(cad.CurrentModelHasCases(), 0);
  model->NewResultSet("R");
  EXPECT_EQ(cad.CurrentModelHasCases(), 1);

  AnlSubModel* first = model->NewSubModel();
  model->NewSubModel();
  EXPECT_EQ(cad.RemoveSubModel(model, 0), 0);
  EXPECT_EQ(cad.RemoveSubModel(model, 3), 0);
  EXPECT_EQ(cad.RemoveSubModel(nullptr, 1), 0);
  EXPECT_EQ(cad.RemoveSubModel(model, 1), 1);
  EXPECT_TRUE(first->IsMarkedAsErased());
}

TEST(CadInterfaceTopology, MeshStateOfABodyComesFromItsChildren) {
  CadInterface cad;
  AmgMesh mesh;
  FakeTopo body(CaeTopoRef::kBody), face(CaeTopoRef::kFace), other(CaeTopoRef::kFace), edge(CaeTopoRef::kEdge);
  body.AddChild(&other);
  body.AddChild(&face);
  face.AddChild(&edge);
  EXPECT_EQ(cad.IsTopologyMeshed(&body), 0);
  face.SetMesh(&mesh);
  EXPECT_EQ(cad.IsTopologyMeshed(&body), 2);
  EXPECT_EQ(cad.IsTopologyMeshed(&face), 1);
  EXPECT_EQ(cad.IsTopologyMeshed(&edge), 0);
  mesh.MarkAsErased();
  EXPECT_EQ(cad.IsTopologyMeshed(&body), 0) << "an erased mesh is not active";
  EXPECT_EQ(cad.IsTopologyMeshed(nullptr), 0);
}

TEST_F(FrameTest, ResultsFlagFollowsTheResultsWindowAndFlushesOnlyOnChange) {
  ParameterCad cad;
  cad.ShowResultsWindow(1);
  SymbolVisibility flags;
  cad.GetSymbolVisibility(flags);
  EXPECT_EQ(flags.results, 1);
  EXPECT_EQ(cad.flushes, 1);
  cad.ShowResultsWindow(1);
  EXPECT_EQ(cad.flushes, 1);
  cad.ShowResultsWindow(0);
  cad.GetSymbolVisibility(flags);
  EXPECT_EQ(flags.results, 0);
  EXPECT_EQ(cad.flushes, 2);
}

TEST_F(FrameTest, UnitsTitlesAndDescriptorsComeFromTheController) {
  CadAppControl app;
  CadInterface cad;
  CaeString text;
  EXPECT_EQ(cad.GetLengthUnitName(text, ""), "m");
  int millimetre = CaeMillimeter;
  cad.SetLengthUnit(&millimetre);
  EXPECT_EQ(cad.GetLengthUnit(), CaeMillimeter);
  EXPECT_EQ(cad.GetLengthUnitName(text, ""), "mm");
  EXPECT_EQ(cad.GetProductTitle2(text), "Kestrum Inside for Mechanical Desktop V6.2");
  const int edgeForce = ToAttType(AttCode::EdgeDistributedForce);
  EXPECT_EQ(cad.FindLbcDescript(edgeForce), app.FindLbcDescript(edgeForce));
  EXPECT_EQ(cad.FindLbcDescript(0), nullptr);

  // The interface owns what it is given (no drawing is current to take it).
  auto* host =
      new CadUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz);
  cad.SetHostUnitSystem(host);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), host);
  cad.SetHostUnitSystem(nullptr);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), host) << "null is ignored";
}

TEST_F(FrameTest, BasePrintMessageShowsAnOwnerlessBox) {
  CadInterface cad;
  EXPECT_EQ(cad.PrintMessage("Hello %s"), 0);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "Hello %s");
  EXPECT_NE(driver.boxes()[0].type & MB_TASKMODAL, 0u);
}

TEST_F(CadInterfaceTest, DesignVariablesFollowTheirParameters) {
  ParameterCad cad;
  cad.parameters = {{"Length", 5.0, 0}, {"Width", 2.0, 1}};
  OptVariable* length = control.NewOptVariable("Length");
  length->SetBounds(0.0, 10.0);
  OptVariable* renamed = control.NewOptVariable("OldName");
  renamed->SetBounds(0.0, 1.0);  // the parameter's 2.0 lies above the bound
  renamed->MarkAsCurrent();      // and its parameter now depends on others
  OptVariable* orphan = control.NewOptVariable("Gone");
  cad.boundTo = {{length, 0}, {renamed, 1}};

  EXPECT_EQ(cad.UpdateDesignVariables(), 0);
  EXPECT_EQ(length->InitialValue(), 5.0);
  EXPECT_EQ(renamed->Name(), "Width");
  EXPECT_EQ(renamed->InitialValue(), 2.0);
  EXPECT_FALSE(renamed->IsMarkedAsCurrent());
  EXPECT_TRUE(orphan->IsMarkedAsErased());
  ASSERT_EQ(driver.boxes().size(), 2u);
  EXPECT_EQ(driver.boxes()[0].text,
            "The last command invalidated the upper or lower bound on the following design variable(s).\n"
            "    Width\nEdit before submitting an optimization job.");
  EXPECT_EQ(driver.boxes()[1].text, "Dependent parameters are not allowed:\n  Width");

  EXPECT_EQ(cad.UpdateDesignVariables(), 1) << "nothing changed since";
  EXPECT_EQ(driver.boxes().size(), 2u);
}

}  // namespace
