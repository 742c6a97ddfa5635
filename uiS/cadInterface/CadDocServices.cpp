#include "cadInterface/CadDocServices.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "amg/CaeCoordSys.h"
#include "amg/CaeTransform.h"
#include "amg/CaeVector.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "cadInterface/UIDefaultNames.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "mfc/services.h"
#include "mfc/win32_files.h"
#include "mfc/wnd.h"
#include "res/ResourceIds.h"

namespace {

// Truncated toward zero, as the decimals count: log10(0.0123) = -1.9 counts as -1.
int TruncatedLog10(double magnitude) { return static_cast<int>(std::trunc(std::log10(magnitude))); }

CString FormatWithDecimals(double value, int decimals) {
  CString format;
  format.Format("%%.%dlf", decimals);
  CString text;
  text.Format(format, value);
  return text;
}

// Guide steps marked by the services.
constexpr int kStepProblem = 1, kStepLoads = 3, kStepRestraints = 4, kStepAnalyze = 6, kStepResults = 7;

void MarkStep(int step, bool done) { UISetWizardTabState(step, done ? 1 : 0); }

bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

AnlModel* CurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->CurrentAnlModel() : nullptr;
}

CString NameOf(const CaeName* object) { return object ? CString(object->Name().Text()) : CString(); }

// Load and restraint sets share every service over their own control and interface operations.
struct SetKind {
  AttLbcCase* (AnlControl::*first)();
  AttLbcCase* (AnlControl::*next)();
  AttLbcCase* (AnlControl::*current)();
  void (AnlControl::*clearCurrent)();
  int (CadInterface::*selectOrCreate)(const char*);
  int (*hasConditions)();
  int step;
};

int LoadSetHasLoads();
int RestraintSetHasRestraints();

const SetKind kLoadSets = {&AnlControl::FirstLoadCase,
                           &AnlControl::NextLoadCase,
                           &AnlControl::CurrentLoadCase,
                           &AnlControl::ClearCurrentLoadCase,
                           &CadInterface::SelectOrCreateLoadCase,
                           &LoadSetHasLoads,
                           kStepLoads};
const SetKind kRestraintSets = {&AnlControl::FirstRestraintCase,
                                &AnlControl::NextRestraintCase,
                                &AnlControl::CurrentRestraintCase,
                                &AnlControl::ClearCurrentRestraintCase,
                                &CadInterface::SelectOrCreateRestraintCase,
                                &RestraintSetHasRestraints,
                                kStepRestraints};

AttLbcCase* CurrentSet(const SetKind& kind) {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? (control->*kind.current)() : nullptr;
}

// The first live set of the kind, optionally of a name (ignoring case, as the drawing keys sets).
AttLbcCase* FirstLiveSet(const SetKind& kind, const char* name = nullptr) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  for (AttLbcCase* set = (control->*kind.first)(); set; set = (control->*kind.next)())
    if (!set->IsMarkedAsErased() && (!name || SameIgnoringCase(set->Name().Text(), name))) return set;
  return nullptr;
}

AnlModel* FirstLiveModel(const char* name = nullptr) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel())
    if (!model->IsMarkedAsErased() && (!name || SameIgnoringCase(model->Name().Text(), name))) return model;
  return nullptr;
}

// Whether the set holds a live condition that counts for the current model: `thermal` tells the
// types that count for a heat-transfer model; every other type counts for the other models.
int SetHasConditions(AttLbcCase* set, bool (*thermal)(AttCode), bool vibrationCounts) {
  AnlModel* model = CurrentModel();
  if (!set || !model) return 0;
  if (!vibrationCounts && model->Type() == AnlVibration) return 0;
  const bool heatTransfer = model->Type() == AnlHeatTransfer;
  for (AttBaseLbc* condition = set->FirstLbc(); condition; condition = set->NextLbc()) {
    if (condition->IsMarkedAsErased()) continue;
    if (thermal(static_cast<AttCode>(condition->Type())) == heatTransfer) return 1;
  }
  return 0;
}

bool IsHeatLoad(AttCode code) { return IsThermal(code) && !IsFixedTemperature(code); }

int LoadSetHasLoads() { return SetHasConditions(CurrentSet(kLoadSets), &IsHeatLoad, false); }
int RestraintSetHasRestraints() { return SetHasConditions(CurrentSet(kRestraintSets), &IsFixedTemperature, true); }

int OpenSet(const SetKind& kind, const char* name) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0;
  const int answer = (cad->*kind.selectOrCreate)(name ? name : "");
  MarkStep(kind.step, kind.hasConditions() == 1);
  return answer;
}

void CloseSet(const SetKind& kind) {
  if (AnlControl* control = AnlControl::GetCurrent()) (control->*kind.clearCurrent)();
  MarkStep(kind.step, false);
}

// Delete-by-name over one kind: `current` answers the current object, `find` the first live
// object of a name, `select` makes the object of a name current and `erase` deletes and closes
// the current object. The object current before is selected again only when it was another one
// and is still live: selecting the deleted one's name again would make a new object.
template <class T>
int DeleteByName(const char* name, T* (*current)(), T* (*find)(const char*), void (*select)(const char*),
                 void (*erase)(T*), bool refresh) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !AnlControl::GetCurrent()) return 0;
  const bool named = name && *name;

  CadTransactionScope transaction(*cad);
  transaction.Start();
  if (named && !find(name)) {
    transaction.Commit();
    return 0;
  }
  T* previous = current();
  const CString previousName = NameOf(previous);
  if (named) select(name);
  T* doomed = current();
  if (doomed) erase(doomed);
  if (named && previous && previous != doomed && find(previousName)) select(previousName);
  transaction.Commit();
  if (refresh) cad->RefreshAfterCommand();
  cad->FlushGraphics();
  return doomed ? 1 : 0;
}

}  // namespace

// ---- mesh generation ----

int CadGenerateMesh(AmgMesh* mesh) {
  if (!mesh) return 0;
  if (mesh->Deferred()) return 1;
  mesh->MeshIt();
  if (!mesh->Successful()) return CadReportMeshFailure(static_cast<int>(mesh->ErrorCode()), mesh->ErrorLocation());
  CString text;
  text.Format(resLoadString(IDS_MESH_GENERATED).Text(), mesh->NumNodes(), mesh->NumElements());
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->PrintMessage(text);
  return 1;
}

int CadReportMeshFailure(int errorCode, const CaeVector& location) {
  const auto warn = [](const CString& text) {
    CadMessageBoxText(text, MB_ICONEXCLAMATION);
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->PrintMessage(text);
  };
  CString text;
  switch (errorCode) {
    case 9: return 0;
    case 5: CadMessageBoxId(IDS_INVALID_GEOMETRY, MB_TASKMODAL); return 0;
    case 1:
    case 2:
    case 3:
    case 4:
    case 7:
    case 8:
    case 16:
      if (location.X() != 0.0 || location.Y() != 0.0 || location.Z() != 0.0) {
        text.Format(resLoadString(IDS_MESH_FAILED_AT).Text(), location.X(), location.Y(), location.Z());
        warn(text);
        return 0;
      }
      break;
  }
  text.Format(resLoadString(IDS_MESH_FAILED_WITH_CODE).Text(), errorCode);
  warn(text);
  return 0;
}

int CadRoundToDigits(double& value, int digits) {
  const double sign = value == std::fabs(value) ? 1.0 : -1.0;
  const double magnitude = std::fabs(value);
  if (!(magnitude > 0.0) || !std::isfinite(magnitude)) return digits;
  // Rounded in floating point, not through an integer part: the scaled magnitude may be far above
  // any integer type. Double arithmetic as before keeps the results the same where they fitted;
  // the scale of the smallest values is beyond double's range, so those use long double.
  const long long decimals = static_cast<long long>(digits) - TruncatedLog10(magnitude);
  long double rounded = magnitude;
  int answer = 0;
  if (decimals < 0) {
    const double step = std::pow(10.0, static_cast<double>(-decimals));
    rounded = step * std::trunc(magnitude / step + 0.5);
  } else {
    const double scale = std::pow(10.0, static_cast<double>(decimals));
    if (std::isfinite(scale)) {
      rounded = std::trunc(magnitude * scale + 0.5) / scale;
    } else {
      const long double wide = std::pow(10.0L, static_cast<long double>(decimals));
      if (std::isfinite(wide)) rounded = std::trunc(magnitude * wide + 0.5L) / wide;
    }
    answer = static_cast<int>(decimals);
  }
  if (std::isfinite(static_cast<double>(rounded))) value = sign * static_cast<double>(rounded);
  return answer;
}

CString& CadFormatValue(CString& text, double value, int digits) {
  double rounded = value;
  const int decimals = CadRoundToDigits(rounded, digits);
  text = FormatWithDecimals(rounded, decimals);
  return text;
}

CString& CadSetDlgItemValue(CString& text, CWnd* dialog, int id, double value, int digits) {
  CadFormatValue(text, value, digits);
  if (dialog) dialog->SetDlgItemText(id, text);
  return text;
}

int CadDecimalsFor(double value, int digits) {
  const double magnitude = std::fabs(value);
  if (!(magnitude > 0.0) || !std::isfinite(magnitude)) return 0;
  const long long decimals = static_cast<long long>(digits) - TruncatedLog10(magnitude);
  if (decimals < 0) return 0;
  return decimals < digits ? static_cast<int>(decimals) : digits;
}

CString& CadSetDlgItemDecimals(CString& text, CWnd* window, int id, double value, int digits) {
  text = FormatWithDecimals(value, CadDecimalsFor(value, digits));
  if (window) window->SetDlgItemText(id, text);
  return text;
}

int CadIsValidName(const char* name) {
  const char* text = name ? name : "";
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad && cad->AcceptsFreeNames()) return std::strpbrk(text, "*/\\:?\"<>|") ? 0 : 1;
  for (const char* c = text; *c; ++c) {
    const unsigned char ch = static_cast<unsigned char>(*c);
    const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    const bool digit = ch >= '0' && ch <= '9';
    if (!letter && !digit && ch != '_') return 0;
  }
  return 1;
}

CString CadUniqueOptModelName() { return UIDefaultOptModelName(CaeString(CadCurrentControlName())).Text(); }
CString CadUniqueModelName() { return UIDefaultSimModelName(CaeString(CadCurrentControlName())).Text(); }
CString CadUniqueLoadCaseName() { return UIDefaultLoadSetName(CaeString(CadCurrentControlName())).Text(); }
CString CadUniqueRestraintCaseName() { return UIDefaultRestraintSetName(CaeString(CadCurrentControlName())).Text(); }

CString CadCurrentControlName() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? CString(control->Name().Text()) : CString();
}

CString CadCurrentModelName() { return NameOf(CurrentModel()); }
CString CadCurrentLoadCaseName() { return NameOf(CurrentSet(kLoadSets)); }
CString CadCurrentRestraintCaseName() { return NameOf(CurrentSet(kRestraintSets)); }

int CadCurrentModelType() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->GetModelType(CaeString(CadCurrentModelName())) : 0;
}

CString CadFirstModelName() { return NameOf(FirstLiveModel()); }
CString CadFirstLoadCaseName() { return NameOf(FirstLiveSet(kLoadSets)); }
CString CadFirstRestraintCaseName() { return NameOf(FirstLiveSet(kRestraintSets)); }

int CadCurrentSubModelCount() {
  AnlModel* model = CurrentModel();
  return model ? model->NumSubModels() : -1;
}

CaeMaterial* CadSubModelMaterial(int index) {
  AnlModel* model = CurrentModel();
  if (!model || index < 1 || index > model->NumSubModels()) return nullptr;
  AnlSubModel* subModel = model->GetSubModel(index - 1);
  return subModel ? subModel->GetMaterial() : nullptr;
}

int CadCurrentLoadCaseCount() {
  AttLbcCase* set = CurrentSet(kLoadSets);
  return set ? set->NumLbcs() : 0;
}

int CadCurrentRestraintCaseCount() {
  AttLbcCase* set = CurrentSet(kRestraintSets);
  return set ? set->NumLbcs() : 0;
}

// ---- opening and closing ----

int CadOpenModel(const char* name, int type) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0;
  AnlModel* previous = CurrentModel();
  auto* display = dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent());
  if (!display || !display->GetDisplayHandle()) cad->CreateResultsView();
  const int answer = cad->SelectOrCreateModel(name ? name : "", type);
  // Told by the object, not by the name: the selection may ignore case or make a new model.
  AnlModel* model = CurrentModel();
  if (model != previous) {
    cad->ShowResultsWindow(0);
    if (AnlControl* control = AnlControl::GetCurrent()) control->ClearCurrentResultSet();
  }
  MarkStep(kStepProblem, model != nullptr);
  MarkStep(kStepAnalyze, CadCurrentSubModelCount() > 0);
  MarkStep(kStepAnalyze, model && model->NumJobs() + model->NumResultSets() > 0);
  return answer;
}

void CadCloseModel() {
  if (AnlControl* control = AnlControl::GetCurrent()) control->ClearCurrentAnlModel();
  for (int step : {kStepProblem, kStepAnalyze, kStepAnalyze, kStepResults}) MarkStep(step, false);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(0);
}

int CadOpenLoadCase(const char* name) { return OpenSet(kLoadSets, name); }
int CadOpenRestraintCase(const char* name) { return OpenSet(kRestraintSets, name); }
void CadCloseLoadCase() { CloseSet(kLoadSets); }
void CadCloseRestraintCase() { CloseSet(kRestraintSets); }

void CadOpenResultSet(FerResultSet* resultSet) {
  if (!resultSet) return;
  UISetResultSet(resultSet->Name());
  MarkStep(kStepResults, true);
}

void CadCloseResultSet() {
  if (AnlControl* control = AnlControl::GetCurrent()) control->ClearCurrentResultSet();
  MarkStep(kStepResults, false);
}

void CadRefreshResultTabs() {
  AnlModel* model = CurrentModel();
  if (!model) return;
  if (AnlControl::GetCurrent()->CurrentResultSet()) {
    MarkStep(kStepResults, true);
    MarkStep(kStepAnalyze, true);
    return;
  }
  MarkStep(kStepResults, false);
  for (int i = 0; i < model->NumJobs(); ++i) {
    AnlJob* job = model->GetJob(i);
    const bool live = job && !job->IsMarkedAsErased();
    MarkStep(kStepAnalyze, live);
    if (live) return;
  }
}

int CadLoadCaseHasLoads() { return LoadSetHasLoads(); }
int CadRestraintCaseHasRestraints() { return RestraintSetHasRestraints(); }

// ---- deleting by name ----

int CadDeleteModel(const char* name) {
  return DeleteByName<AnlModel>(
      name, &CurrentModel, [](const char* wanted) { return FirstLiveModel(wanted); },
      [](const char* wanted) { CadOpenModel(wanted, -1); },
      [](AnlModel* model) {
        AnlControl::GetCurrent()->DeleteAnlModel(model);
        CadCloseModel();
      },
      true);
}

int CadDeleteLoadCase(const char* name) {
  return DeleteByName<AttLbcCase>(
      name, [] { return CurrentSet(kLoadSets); }, [](const char* wanted) { return FirstLiveSet(kLoadSets, wanted); },
      [](const char* wanted) { CadOpenLoadCase(wanted); },
      [](AttLbcCase* set) {
        AnlControl::GetCurrent()->DeleteLoadCase(set);
        CadCloseLoadCase();
      },
      false);
}

int CadDeleteRestraintCase(const char* name) {
  return DeleteByName<AttLbcCase>(
      name, [] { return CurrentSet(kRestraintSets); },
      [](const char* wanted) { return FirstLiveSet(kRestraintSets, wanted); },
      [](const char* wanted) { CadOpenRestraintCase(wanted); },
      [](AttLbcCase* set) {
        AnlControl::GetCurrent()->DeleteRestraintCase(set);
        CadCloseRestraintCase();
      },
      false);
}

CaeString& CadLbcTypeName(CaeString& text, int type) {
  unsigned id = 0;
  switch (static_cast<AttCode>(type)) {
    case AttCode::VertexForce: id = IDS_LBC_VERTEX_FORCE; break;
    case AttCode::FaceDistributedForce: id = IDS_LBC_FACE_DISTRIBUTED_FORCE; break;
    case AttCode::EdgeDistributedForce: id = IDS_LBC_EDGE_DISTRIBUTED_FORCE; break;
    case AttCode::Pressure: id = IDS_LBC_PRESSURE; break;
    case AttCode::VertexRestraint: id = IDS_LBC_VERTEX_RESTRAINT; break;
    case AttCode::EdgeRestraint: id = IDS_LBC_EDGE_RESTRAINT; break;
    case AttCode::FaceRestraint: id = IDS_LBC_FACE_RESTRAINT; break;
    case AttCode::VertexEnforcedDisplacement: id = IDS_LBC_VERTEX_ENFORCED_DISPLACEMENT; break;
    case AttCode::EdgeEnforcedDisplacement: id = IDS_LBC_EDGE_ENFORCED_DISPLACEMENT; break;
    case AttCode::FaceEnforcedDisplacement: id = IDS_LBC_FACE_ENFORCED_DISPLACEMENT; break;
    case AttCode::Spin: id = IDS_LBC_SPIN; break;
    case AttCode::Gravity: id = IDS_LBC_GRAVITY; break;
    case AttCode::Acceleration: id = IDS_LBC_ACCELERATION; break;
    case AttCode::BodyTemperature: id = IDS_LBC_TEMPERATURE; break;
    case AttCode::VertexHeatFlow: id = IDS_LBC_VERTEX_HEAT_FLOW; break;
    case AttCode::FaceHeatFlux: id = IDS_LBC_FACE_HEAT_FLUX; break;
    case AttCode::EdgeHeatFlow: id = IDS_LBC_EDGE_HEAT_FLOW; break;
    case AttCode::FaceConvection: id = IDS_LBC_FACE_CONVECTION; break;
    case AttCode::VolumetricHeatFlow: id = IDS_LBC_VOLUMETRIC_HEAT_FLOW; break;
    case AttCode::VertexFixedTemperature: id = IDS_LBC_VERTEX_FIXED_TEMPERATURE; break;
    case AttCode::FaceFixedTemperature: id = IDS_LBC_FACE_FIXED_TEMPERATURE; break;
    case AttCode::EdgeFixedTemperature: id = IDS_LBC_EDGE_FIXED_TEMPERATURE; break;
    case AttCode::FaceTotalForce: id = IDS_LBC_FACE_TOTAL_FORCE; break;
    case AttCode::EdgeTotalForce: id = IDS_LBC_EDGE_TOTAL_FORCE; break;
    case AttCode::PinnedRestraint: id = IDS_LBC_PINNED_RESTRAINT; break;
    case AttCode::Moment: id = IDS_LBC_MOMENT; break;
  }
  if (id == 0) {
    text = CaeString();
    return text;
  }
  return resLoadString(text, id);
}

CaeCoordSys* CadMakeCoordSys(const CString& kind, int relativeToUcs) {
  CaeTransform placement;
  if (relativeToUcs) {
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->GetUcsTransform(placement);
  }
  const auto is = [&kind](unsigned id) { return std::strcmp(kind, resLoadString(id).Text()) == 0; };
  if (is(IDS_COORDSYS_FACE)) return new CaeCoordSysFace();
  if (is(IDS_COORDSYS_CARTESIAN)) return new CaeCoordSysCartesian(placement);
  if (is(IDS_COORDSYS_CYLINDRICAL)) return new CaeCoordSysCylindric(placement);
  if (is(IDS_COORDSYS_SPHERICAL)) return new CaeCoordSysSpheric(placement);
  return new CaeCoordSysCartesian(placement);
}

void CadDDXWritableFile(CDataExchange* dx, int id, const CString& fileName) {
  dx->PrepareEditCtrl(id);
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    // Only a check: the file is written later by whoever asked, if at all.
    CloseHandle(file);
    DeleteFileA(fileName);
    return;
  }
  file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    CadMessageBoxText(resLoadString(IDS_INVALID_FILE_NAME).Text(), MB_TASKMODAL);
    dx->Fail();
    return;
  }
  CloseHandle(file);
  if (CadMessageBoxText(resLoadString(IDS_FILE_EXISTS_REPLACE).Text(), MB_YESNO) == IDNO) dx->Fail();
}
