#include "cadInterface/CadInterface.h"

#include <memory>
#include <string>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"
#include "mfc/afx.h"
#include "mfc/win32_files.h"
#include "res/ResourceIds.h"

namespace {

CadInterface* currentInterface = nullptr;

// Results window placement and styles (client edge and window edge; overlapped window).
constexpr int kResultsLeft = 50, kResultsTop = 250, kResultsWidth = 800, kResultsHeight = 400;
constexpr DWORD kResultsExStyle = 0x300, kResultsStyle = 0xCF0000;

// Runs the body inside a transaction of the interface's own.
template <class Body>
int InOwnTransaction(CadInterface& cad, Body body) {
  CadTransactionScope transaction(cad);
  transaction.Start();
  const int answer = body();
  transaction.Commit();
  return answer;
}

bool IsOptimizationQuestion(ModelQuestion question) {
  return question >= ModelQuestion::ShapeOptimizationOffered && question <= ModelQuestion::ConceptResultCycles;
}

}  // namespace

CadInterface::CadInterface() { currentInterface = this; }

CadInterface* CadInterface::GetCurrent() { return currentInterface; }

// --- lifetime and state --------------------------------------------------------------------------

CadInterface::~CadInterface() {
  // Nothing may reach a deleted interface: GetCurrent answers null after unload.
  if (currentInterface == this) currentInterface = nullptr;
}

int CadInterface::GetDocControl() { return partUpdateMode_; }
void CadInterface::SetDocControl(int mode) { partUpdateMode_ = mode; }
void CadInterface::BeforeDeckWrite() {}
void CadInterface::BeforeJobRun() {}
int CadInterface::CanStartCommand(int) { return 1; }
int CadInterface::SuppressesOptimization() { return 0; }
int CadInterface::SupportsMateRelations() { return 1; }

int CadInterface::CurrentModelHasCases() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return 0;
  return model->NumResultSets() + model->NumJobs() != 0 ? 1 : 0;
}

int CadInterface::QueryModelState(ModelQuestion question) {
  using enum ModelQuestion;
  return InOwnTransaction(*this, [&]() -> int {
    if (IsOptimizationQuestion(question) && SuppressesOptimization()) return 0;
    switch (question) {
      case ModelReadyForCommand: {
        AnlControl* control = AnlControl::GetCurrent();
        if (!control || !control->CurrentAnlModel()) return 0;
        if (UsesPreselection() != 1) return 1;
        return QueryPreselection();
      }
      case DoctorHasSubject: {
        AnlJob* job = nullptr;
        FerResultSet* resultSet = nullptr;
        CaeString name;
        return UIFindDoctorTarget(job, resultSet, name) ? 1 : 0;
      }
      case ShapeOptimizationOffered:
      case ConceptOptimizationOffered:
      case OptimizationOffered: return 1;
      case ShapeObjectiveModel:
      case ShapeModel:
      case ShapeConstraintsModel:
      case ShapeSolveModel: return UIPickOptModel(0, 0) ? 1 : 0;
      case FreeGlobalParameters: return QueryFreeGlobalParams();
      case ShapeResults:
      case ShapeResultCycles:
      case ConceptResults:
      case ShapeResultsOrSensitivity:
      case ConceptResultCycles: return QueryOptResults(question);
      case ConceptObjectiveModel:
      case ConceptControlsModel:
      case ConceptSolveModel: return UIPickOptModel(1, 0) ? 1 : 0;
    }
    return 1;
  });
}

// The CAD-neutral reading of a preselection: the selected topology's mesh state stands for the
// selection's (the host form of MeshOfTopology needs a host entity, which a text cannot give).
int CadInterface::QueryPreselection() {
  const CaeString* text = GetPreselection();
  CaeTopoRef* topology = GetPreselectedTopology();
  if (!text) return topology && IsTopologyMeshed(topology) == 0 ? 1 : 0;

  const int selectionState = topology ? IsTopologyMeshed(topology) : 0;
  AnlModel* model = AnlControl::GetCurrent()->CurrentAnlModel();
  if (selectionState == 2 || model->HasShellMesh()) return topology && IsTopologyMeshed(topology) == 0 ? 1 : 0;
  return selectionState == 0 ? 1 : 0;
}

int CadInterface::QueryFreeGlobalParams() {
  int count = 0;
  CaeString* names = nullptr;
  GetGlobalParams(&count, &names);
  std::unique_ptr<CaeString[]> ownedNames(names);
  if (count <= 0) return 0;

  int remaining = count;
  AnlControl* control = AnlControl::GetCurrent();
  std::unique_ptr<OptVariableSet> variables(control ? control->GetDesignVariables(nullptr) : nullptr);
  for (OptVariable* variable = variables ? variables->FirstVariable() : nullptr; variable;
       variable = variables->NextVariable()) {
    for (int i = 0; i < count; ++i) {
      if (variable->Name() == names[i]) {
        --remaining;
        break;
      }
    }
  }
  return remaining > 0 ? 1 : 0;
}

int CadInterface::QueryOptResults(ModelQuestion question) {
  using enum ModelQuestion;
  const bool conceptKind = question == ConceptResults || question == ConceptResultCycles;
  OptModel* model = UIPickOptModel(conceptKind ? 1 : 0, 0);
  if (!model) return 0;

  OptResultCase* resultCase = model->CurrentOptResultCase();
  AnlJob* job = nullptr;
  if (!resultCase) {
    for (OptResultCase* candidate = model->FirstOptResultCase(0); candidate; candidate = model->NextOptResultCase()) {
      if (candidate->ExitCode() != 0 && !candidate->IsMarkedAsErased()) {
        resultCase = candidate;
        break;
      }
      if (candidate->ExitCode() == 0 && question != ShapeResultCycles) {
        job = UINewestJob(1);
        if (job) break;
      }
    }
  }
  if (job) return (question == ShapeResults || question == ConceptResults) ? job->HaveResults() : 1;
  if (!resultCase) return 0;
  const bool cycles = resultCase->NumCycles() != 0;
  if (question == ShapeResults || question == ShapeResultsOrSensitivity)
    return cycles || resultCase->HasSensitivity() ? 1 : 0;
  return cycles ? 1 : 0;
}

// --- mesh controls and meshes ---------------------------------------------------------------------

int CadInterface::CreateMeshConstraint(int, double, int, double, double, double, double, int, AcBrEntity*) { return 0; }
void CadInterface::RecreateMeshConstraint(AmgConstraint*, int, double, double, AnlModel*) {}
void CadInterface::GenerateMesh(AmgMesh*&, const char*, int, int, double, double) {}
AmgMesh* CadInterface::CreateMeshEntity(CaeTopoRef*) { CAE_GENERAL_ERROR(); }
int CadInterface::FindSubModelOfMesh(AmgMesh*& mesh, AnlSubModel*&) { return UpdateMesh(mesh); }
int CadInterface::UpdateMesh(AmgMesh*&) { return 0; }

int CadInterface::IsTopologyMeshed(CaeTopoRef* ref) {
  if (!ref) return 0;
  if (ref->FirstAttribute(AmgMesh::Info, 1)) return 1;
  if (ref->Kind() != CaeTopoRef::kBody) return 0;
  int flag = 0;
  for (CaeTopoRef* child = ref->FirstChild(flag); child;) {
    if (IsTopologyMeshed(child)) return 2;
    int nextFlag = 0;
    child = ref->NextChild(child, flag, nextFlag);
    flag = nextFlag;
  }
  return 0;
}

int CadInterface::MeshOfTopology(AcBrEntity*) { CAE_GENERAL_ERROR(); }
int CadInterface::CollectMeshesOfTopology(CaeList<CaeTopoRef>&, AcBrEntity*) { CAE_GENERAL_ERROR(); }
int CadInterface::PickMesh(CaeList<CaeTopoRef>&) { CAE_GENERAL_ERROR(); }
int CadInterface::SupportsPointRefinement() { return 1; }
int CadInterface::RestrictsVertexRefinement() { return 0; }

// --- mating relations, models, cases and jobs ---------------------------------------------------------

void CadInterface::CreateMateRelation(CaeString, int, double) {}
void CadInterface::RecreateMateRelation(AnlMateRelPair*, CaeString, int, double) {}

int CadInterface::SelectOrCreateModel(const char* name, int analysisType) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return 0;
  AnlModel* current = control->CurrentAnlModel();
  if (current && current->Name() == name) return 1;
  AnlModel* created = control->NewAnlModel(name, static_cast<AnlType>(analysisType));
  control->SetCurrentAnlModel(created);
  return 0;
}

namespace {

// Load and restraint sets share one algorithm over their own control operations.
struct CaseOperations {
  AttLbcCase* (AnlControl::*current)();
  AttLbcCase* (AnlControl::*first)();
  AttLbcCase* (AnlControl::*next)();
  AttLbcCase* (AnlControl::*create)(const CaeString&);
  void (AnlControl::*makeCurrent)(AttLbcCase*);
};

int SelectOrCreateCase(const char* name, const CaseOperations& ops) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return 0;
  AttLbcCase* current = (control->*ops.current)();
  if (current && current->Name() == name) return 1;
  AttLbcCase* found = nullptr;
  for (AttLbcCase* set = (control->*ops.first)(); set; set = (control->*ops.next)()) {
    if (set->Name() == name) {
      found = set;
      break;
    }
  }
  const int existed = found ? 1 : 0;
  if (!found) found = (control->*ops.create)(name);
  (control->*ops.makeCurrent)(found);
  return existed;
}

}  // namespace

int CadInterface::SelectOrCreateLoadCase(const char* name) {
  return SelectOrCreateCase(name, {&AnlControl::CurrentLoadCase, &AnlControl::FirstLoadCase, &AnlControl::NextLoadCase,
                                   &AnlControl::NewLoadCase, &AnlControl::SetCurrentLoadCase});
}

int CadInterface::SelectOrCreateRestraintCase(const char* name) {
  return SelectOrCreateCase(
      name, {&AnlControl::CurrentRestraintCase, &AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase,
             &AnlControl::NewRestraintCase, &AnlControl::SetCurrentRestraintCase});
}

int CadInterface::GetLbcDimension(int) { return 0; }

int CadInterface::GetModelType(const CaeString& name) {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  return model && model->Name() == name ? static_cast<int>(model->Type()) : 0;
}

int CadInterface::ModelExists(CaeString name, int* type) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return 0;
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
    if (model->IsMarkedAsErased() || model->Name() != name) continue;
    if (type) *type = static_cast<int>(model->Type());
    return 1;
  }
  return 0;
}

void CadInterface::CreateResultCaseObject(int) {}
AnlJob* CadInterface::CreateOptJob() { return nullptr; }

// --- condition builders ---------------------------------------------------------------------------------

int CadInterface::CreateLbc(CaeString, int, double, int, int*, double*, CaeCoordSys*, AcBrEntity*) { return 0; }
void CadInterface::EditLbc(AttBaseLbc*, CaeString, int, double, int, int*, double*, CaeCoordSys*) {}
int CadInterface::CreateLbc2(CaeString, int, double, int, int*, double*, CaeCoordSys*, AcBrEntity*) { return 0; }
void CadInterface::EditLbc2(AttBaseLbc*, CaeString, int, double, int, int*, double*, CaeCoordSys*) {}
AttModelTemp* CadInterface::CreatePrescribedTemperature(CaeString, int, double, double, double, int) { return nullptr; }
void CadInterface::EditPrescribedTemperature(AttModelTemp*, CaeString, int, double, double, double) {}
int CadInterface::CreateConvection(CaeString, int, double, int, int, double, double, CaeList<AttTableTempValue>&,
                                   AcBrEntity*) {
  return 0;
}
void CadInterface::EditConvection(AttLbcConv*, CaeString, int, double, int, int, double, double,
                                  CaeList<AttTableTempValue>&) {}
int CadInterface::CreateHeatGeneration(CaeString, int, double, int, int, double, CaeList<AttTableTempValue>&,
                                       AcBrEntity*) {
  return 0;
}
void CadInterface::EditHeatGeneration(AttLbcHgen*, CaeString, int, double, int, int, double,
                                      CaeList<AttTableTempValue>&) {}
void CadInterface::GetLbcColorAndScale(AttBaseLbc*, int*, double*) {}
void CadInterface::GetConstraintColorAndScale(AmgConstraint*, int*, double*) {}
void CadInterface::GetMateRelColorAndScale(AnlMateRelPair*, int*, double*) {}

// --- topology and material library ----------------------------------------------------------------------

AcBrEntity* CadInterface::PickTopology(int, int*) { return nullptr; }
CaeTopoRef* CadInterface::GetPreselectedTopology() { return nullptr; }
int CadInterface::HasPreselectionOfKind(int) { return 0; }
int CadInterface::GetTopologyKind(AcBrEntity*) { return 0; }
void CadInterface::DeleteObject(void*) {}
int CadInterface::IsCylindricalFace(AcBrFace*) { return 0; }
int CadInterface::IsNonCylindricalFace(AcBrFace*) { return 0; }
int CadInterface::ReservedTopologyQuery(int) { return 0; }

// The material library belongs to the analysis model store, which is not part of the system yet.
MaterialLibrary* CadInterface::OpenMaterialLibrary(const CaeString&) { return nullptr; }

// --- modeless pick protocol --------------------------------------------------------------------------

int CadInterface::UsesPickRequests() { return 0; }
int CadInterface::ProcessPendingRequest(int) { return 0; }
int CadInterface::IsRequestPending() { return 0; }
void CadInterface::RefreshModelessPanel() {}
int CadInterface::RequestLoadPick(LoadPickRequest*) { return 0; }
int CadInterface::RequestRestraintPick(RestraintPickRequest*) { return 0; }
int CadInterface::RequestMeshPick(MeshPickRequest*) { return 0; }
int CadInterface::RequestCommand(int) { return 0; }
int CadInterface::RequestParameterPick(int) { return 0; }
int CadInterface::GetLoadPickResult(LoadPickRequest*, int*) { return 0; }
int CadInterface::GetRestraintPickResult(RestraintPickRequest*, int*) { return 0; }
int CadInterface::GetMeshPickResult(MeshPickRequest*, int*) { return 0; }

int CadInterface::GetCommandResult(AcBrEntity** result, int*) {
  if (result) *result = nullptr;
  return 0;
}

int CadInterface::GetParameterPickResult(int* out, int) {
  if (out) *out = 0;
  return 0;
}

void CadInterface::OpenModelessPanel() {}
int CadInterface::KeepsPickDialogPosition() { return 0; }
void CadInterface::CancelCadCommand() {}
AcBrEntity* CadInterface::ExecutePendingRequest() { return nullptr; }
int CadInterface::KeepsCurrentModelForWizard() { return 1; }
int CadInterface::ReservedPickQuery() { return 0; }
void CadInterface::DiscardPickRequest(void*) {}

// --- host, windows, messages and names ----------------------------------------------------------------

CString& CadInterface::GetCadName(CString& name) {
  name = "";
  return name;
}

HWND CadInterface::GetMainWindow() {
  CWnd* main = AfxGetMainWnd();
  return main ? main->GetSafeHwnd() : nullptr;
}

HWND CadInterface::GetParentWindow() { return GetMainWindow(); }

int CadInterface::PrintMessage(const char* text) {
  CadMessageBoxText(text ? text : "", MB_OK);
  return 0;
}

void CadInterface::SetMaterialLibraryLocation(const char* path) {
  const CaeString location(path);
  if (CadAppControl* app = CadGetAppControl()) app->SetMaterialLibraryPath(location);
  CaeConfig::SetValue("MatLibLoc", location, 0);
}

CaeString& CadInterface::MaterialLibraryLocation(CaeString& path) {
  if (CadAppControl* app = CadGetAppControl()) {
    path = app->MaterialLibraryPath();
    return path;
  }
  CaeString configured;
  if (CaeConfig::GetValue(0, "MatLibLoc", configured) && _access(configured.c_str(), 0) == 0) {
    path = configured;
  } else {
    path = CadDefaultMaterialLibraryPath();
  }
  return path;
}

int CadInterface::MaxNameLength() { return 9999; }
int CadInterface::AcceptsFreeNames() { return 1; }
int CadInterface::PickPoint(double*) { return 0; }
int CadInterface::FlushGraphics() { return 0; }
void CadInterface::PrepareUndo(int) {}
int CadInterface::RegenAll() { return 0; }

const AttLbcDescript* CadInterface::FindLbcDescript(int conditionType) {
  CadAppControl* app = CadGetAppControl();
  return app ? app->FindLbcDescript(conditionType) : nullptr;
}

void CadInterface::GetUcsTransform(CaeTransform&) {}

// --- transactions and command bracketing -------------------------------------------------------------

void CadInterface::StartTransaction() {}
void CadInterface::EndTransaction() {}
void CadInterface::AbortTransaction() {}
int CadInterface::NumActiveTransactions() { return 0; }
int CadInterface::TransactionBaseDepth() { return 0; }
int CadInterface::SetTransactionBaseDepth(int) { return 0; }
void CadInterface::CommandStarting(int) {}
void CadInterface::CommandEnded() {}

// --- units, results view and part data -----------------------------------------------------------------

void CadInterface::SetLengthUnit(int* unit) {
  if (!unit || *unit < CaeMeter || *unit > CaeFoot) return;  // a drawing is drawn in one of five units
  CaeUnitSystem* native = CaeUnitSystem::GetNativeSystem();
  if (native) native->SetUnit(CaeUtLength, *unit);
}

int CadInterface::GetLengthUnit() { return CaeUnitSystem::GetNativeUnit(CaeUtLength); }
void CadInterface::AskLengthUnit() { CadAskDrawingUnit(); }

int CadInterface::CreateResultsView() {
  auto* display = dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent());
  if (!display) return 0;
  const CaeString title = resLoadString(IDS_RESULTS_PROCESSOR);
  return display->CreateResultsView(kResultsLeft, kResultsTop, kResultsWidth, kResultsHeight, title.c_str(),
                                    GetMainWindow(), kResultsExStyle, kResultsStyle);
}

CaeString* CadInterface::GetPreselection() { return nullptr; }
double CadInterface::GetPartVolume(int) { return 0.0; }
double CadInterface::GetPartMassProps() { return 0.0; }
int CadInterface::ReservedPartQuery(int) { return 0; }

int CadInterface::GetProductTitle(CaeString& title) {
  title = "TLX/Ondrel";
  return 1;
}

void CadInterface::SetHostUnitSystem(CaeUnitSystem* system) {
  if (!system) return;
  CaeUnitSystem::SetHostSystem(system);
  if (CadDocData* data = CadCurrentDocData()) {
    delete data->SetHostUnitSystem(system);  // the data gives up the replaced one; nobody else owns it
    return;
  }
  if (system != hostUnits_.get()) hostUnits_.reset(system);
}

// --- display flags, local coordinate systems, toolbars and printing ----------------------------------

int CadInterface::GetLocalCoordSys(CaeString&, double*, double*, double*, int*) { return 0; }
void CadInterface::SetLocalCoordSys(CaeString&, double*, double*, double*, int*) {}
void CadInterface::ListLocalCoordSystems(CaeList<CaeString>&) {}

int CadInterface::GetSymbolVisibility(SymbolVisibility& flags) {
  flags = displayFlags_;
  return 1;
}

void CadInterface::SetSymbolVisibility(const SymbolVisibility& flags, int) { displayFlags_ = flags; }
int CadInterface::GetToolbarVisibility(int*) { return 0; }
void CadInterface::SetToolbarVisibility(int*) {}
void CadInterface::SetPrinterContext(HDC) {}
void CadInterface::PrintResultsDisplay() {
  if (auto* display = dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent())) display->PrintDisplay();
}
void CadInterface::RunResultsCommand() {}

// --- undo, refresh, results window, Explorer and host state ---------------------------------------------

void CadInterface::UndoLastStep() {}
void CadInterface::RefreshAfterCommand() {}
void CadInterface::PrepareCommand() {}
int CadInterface::IsGeometryValid() { return 1; }
int CadInterface::ReservedStateQuery() { return 0; }

void CadInterface::ShowResultsWindow(int show) {
  const int shown = show ? 1 : 0;
  auto* display = dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent());
  if (display && display->GetDisplayHandle()) ::ShowWindow(display->GetDisplayHandle(), shown ? SW_SHOW : SW_HIDE);
  SymbolVisibility flags;
  GetSymbolVisibility(flags);
  if (flags.results == shown) return;
  flags.results = shown;
  SetSymbolVisibility(flags, 1);
  FlushGraphics();
}

int CadInterface::ExplorerCommandRestricted() { return 0; }

int CadInterface::RemoveSubModel(AnlModel* model, int index) {
  if (!model || index < 1 || index > model->NumSubModels()) return 0;
  AnlSubModel* subModel = model->GetSubModel(index - 1);
  if (!subModel) return 0;
  model->DeleteSubModel(subModel);
  return 1;
}

void CadInterface::RebuildExplorer() {}
int CadInterface::ToggleDocumentLock() { return 0; }
int CadInterface::LockDocument() { return 0; }
int CadInterface::UnlockDocument() { return 0; }
int CadInterface::UsesPreselection() { return 1; }
AcBrEntity* CadInterface::PickEntity(int) { return nullptr; }

int CadInterface::ModelReady() {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !control->CurrentAnlModel()) return 0;
  if (UsesPreselection() == 1 && !GetPreselection()) return 0;
  return 1;
}

// --- parameters and design variables -------------------------------------------------------------------

int CadInterface::GetParamDependencies(AmiParamKey*) { return 0; }
AmiParamKey* CadInterface::PickParameter() { return nullptr; }
int CadInterface::SelectParameter(int) { return 0; }
int CadInterface::ParameterMode() { return 1; }

CaeString& CadInterface::GetParamName(CaeString& name, AmiParamKey*) {
  name = "";
  return name;
}

AmiParamKey* CadInterface::FindGlobalParam(CaeString) { return nullptr; }
AmiParamKey* CadInterface::VariableParameterKey(OptVariable*) { return nullptr; }
void CadInterface::GetGlobalParams(int*, CaeString**) {}

CaeString& CadInterface::GetLengthUnitName(CaeString& name, CaeString) {
  CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  name = table ? table->IdToShortString(GetLengthUnit()) : CaeString();
  return name;
}

double CadInterface::GetParamValueByName(CaeString) { return 0.0; }
double CadInterface::GetParamValue(AmiParamKey*) { return 0.0; }

namespace {

constexpr double kBoundTolerance = 1e-6;

// The pattern's first "%s" replaced by `insert`, taken literally (names may hold "%").
CaeString InsertText(const CaeString& pattern, const CaeString& insert) {
  const std::string text(pattern.c_str());
  const std::size_t at = text.find("%s");
  if (at == std::string::npos) return pattern;
  return CaeString(text.substr(0, at) + insert.c_str() + text.substr(at + 2));
}

void AppendName(CaeString& list, const CaeString& name) {
  if (!list.IsEmpty()) list += ", ";
  list += name;
}

}  // namespace

int CadInterface::UpdateDesignVariables() {
  AnlControl* control = AnlControl::GetCurrent();
  std::unique_ptr<OptVariableSet> variables(control ? control->GetDesignVariables(nullptr) : nullptr);
  if (!variables) return 1;

  CaeString boundsViolated;
  CaeString dependent;
  for (OptVariable* variable = variables->FirstVariable(); variable; variable = variables->NextVariable()) {
    AmiParamKey* key = VariableParameterKey(variable);
    if (!key) {
      variable->MarkAsErased();
      continue;
    }
    variable->MarkAsNotErased();
    CaeString parameterName;
    if (GetParamName(parameterName, key) != variable->Name()) variable->Name(parameterName);
    if (variable->IsMarkedAsCurrent() && GetParamDependencies(key)) {
      variable->MarkAsNotCurrent();
      AppendName(dependent, variable->Name());
    }
    const double value = GetParamValue(key);
    if (value == variable->InitialValue()) continue;
    variable->InitialValue(value);
    double lower = 0.0;
    double upper = 0.0;
    variable->Bounds(lower, upper);
    if (lower - value > kBoundTolerance || upper - value < -kBoundTolerance)
      AppendName(boundsViolated, variable->Name());
  }

  int answer = 1;
  if (!boundsViolated.IsEmpty()) {
    const CaeString pattern = resLoadString(IDS_DESIGN_VARIABLE_BOUNDS_INVALIDATED);
    const CaeString text = InsertText(pattern, boundsViolated);
    CadMessageBoxText(text.c_str(), MB_TASKMODAL);
    answer = 0;
  }
  if (!dependent.IsEmpty()) {
    const CaeString text = resLoadString(IDS_DEPENDENT_PARAMETERS_NOT_ALLOWED) + ":\n  " + dependent;
    CadMessageBoxText(text.c_str(), MB_TASKMODAL);
    answer = 0;
  }
  return answer;
}

int CadInterface::SetDesignVariableValues(OptVariable*) { return 0; }
OptVariable* CadInterface::CreateDesignVariable(OptVariable*, AmiParamKey*) { return nullptr; }
void CadInterface::CreateDesignVariableFromKey(OptVariable*, OptVariable*, AmiObjectKey*) {}
void CadInterface::ReplaceDesignVariable(OptVariable*, OptVariable*, AmiParamKey*) {}

// --- optimisation objects ---------------------------------------------------------------------------------

double CadInterface::GetOptConstraintSymbolSize(OptConstraint*) { return 0.0; }
int CadInterface::GetOptConstraintColor(OptConstraint*) { return 0; }
AcBrEntity* CadInterface::GetBrepOfAttribute(CaeAttrib*) { return nullptr; }
OptConstraint* CadInterface::CreateOptConstraint(OptFunction*, AcBrEntity*, double, int) { return nullptr; }
void CadInterface::UpdateOptConstraint(OptConstraint*, OptFunction*, AcBrEntity*, double, int) {}
OptObjective* CadInterface::AddObjective(OptFunction*) { return nullptr; }
void CadInterface::ReplaceObjective(OptObjective*, OptFunction*) {}
OptModel* CadInterface::CreateOptimizationModel(int, CaeString, AnlModel*, int) { return nullptr; }
int CadInterface::SelectOrCreateOptModel(CaeString, AnlModel*) { return 0; }
AnlResltCase* CadInterface::AddAnalysisResultCase(OptModel*, AnlResltCase*) { return nullptr; }
void CadInterface::ReplaceAnalysisResultCase(OptModel*, AnlResltCase*, AnlResltCase*) {}
AnlResltCase* CadInterface::GetObjectiveResultCase(OptFunction* objective) {
  return objective ? objective->FirstAnlResultCase() : nullptr;
}
int CadInterface::RenameOptModel(OptModel* model, const CaeString& name) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!model || !control || name.IsEmpty()) return 0;
  for (OptModel* other = control->FirstOptModel(); other; other = control->NextOptModel())
    if (other != model && !other->IsMarkedAsErased() && CString(other->Name().Text()).CompareNoCase(name.Text()) == 0)
      return 0;
  model->Name(name);
  return 1;
}

CaeString& CadInterface::GetProductTitle2(CaeString& title) { return resLoadString(title, IDS_PRODUCT_TITLE); }
