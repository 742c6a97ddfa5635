#include "CadInterface/AcCadInterface.h"

#include <cstring>
#include <new>
#include <utility>

#include "CadInterface/AcCadDocControl.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "amg/CaeVector.h"
#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbtrans.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadPickRequests.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbBaseLbc.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "db/dbMatLib.h"
#include "db/dbResultSet.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "gui/dialogs/common/UIPickDlg.h"
#include "lbc/acLbcCmd.h"
#include "res/ResourceIds.h"
#include "util/acDeferredPasses.h"
#include "util/acSelect.h"

namespace {

constexpr char kUndoOneStep[] = "_.UNDO 1\n";

// The current control's document; the host's current one while no control is current.
AcApDocument* currentControlDocument() {
  CadDocControl* control = CadCurrentDocControl();
  if (control && control->GetDocument()) return static_cast<AcApDocument*>(control->GetDocument());
  return acDocManagerPtr()->curDocument();
}

// Looks `name` up in "ANALYSIS_MODELS" of the open dictionary and answers the model's type, or
// -1 when there is no live model under that name. The dictionary stays open.
int filedModelType(const AcDbDictionary& models, const char* name) {
  AcDbObject* object = nullptr;
  if (models.getAt(name, object, AcDb::kForRead) != Acad::eOk) return -1;
  const auto* model = dynamic_cast<const AnlModel*>(object);
  const int type = model ? static_cast<int>(model->Type()) : -1;
  object->close();
  return type;
}

bool isAnalysisType(int type) { return type >= 0 && type <= 3; }

AnlModel* findModel(AnlControl& control, const char* name) {
  for (AnlModel* model = control.FirstAnlModel(); model; model = control.NextAnlModel())
    if (!model->IsMarkedAsErased() && acMbsICmp(model->Name().Text(), name) == 0) return model;
  return nullptr;
}

// Load and restraint sets share one algorithm over their own control operations.
struct CaseOperations {
  AttLbcCase* (AnlControl::*first)();
  AttLbcCase* (AnlControl::*next)();
  AttLbcCase* (AnlControl::*create)(const CaeString&);
  AttLbcCase* (AnlControl::*current)();
  void (AnlControl::*makeCurrent)(AttLbcCase*);
};

int selectOrCreateCase(const char* name, const CaseOperations& ops) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !name) return 0;
  AttLbcCase* found = nullptr;
  for (AttLbcCase* set = (control->*ops.first)(); set && !found; set = (control->*ops.next)())
    if (!set->IsMarkedAsErased() && acMbsICmp(set->GetName().Text(), name) == 0) found = set;
  const int existed = found ? 1 : 0;
  if (!found) found = (control->*ops.create)(CaeString(name));
  if ((control->*ops.current)() != found) (control->*ops.makeCurrent)(found);
  return existed;
}

}  // namespace

// --- the pick protocol's state -------------------------------------------------------------------
// Markers: -1 nothing parked. Exactly one request flag is set by the latest parking operation.
struct AcCadInterface::PickProtocol {
  int loadPending = -1;
  int restraintPending = -1;
  int meshPending = -1;
  int parkedKind = 0;
  LoadPickRequest load;
  RestraintPickRequest restraint;
  MeshPickRequest mesh;
  int loadFlag = 0;
  int restraintFlag = 0;
  int meshFlag = 0;
  int kindFlag = 0;
  int busy = 0;
  int cancel = 0;
  const void* document = nullptr;  // the drawing the panel was opened in

  void SetFlags(int forLoad, int forRestraint, int forMesh, int forKind) {
    loadFlag = forLoad;
    restraintFlag = forRestraint;
    meshFlag = forMesh;
    kindFlag = forKind;
  }
};

AcCadInterface::AcCadInterface() : picks_(std::make_unique<PickProtocol>()) {}

AcCadInterface::~AcCadInterface() {
  // The panel's code lives in this module: it must not outlive the unload.
  AbandonPickRequest(nullptr);
  UnlockDocument();
  // A caller that never gave its library back still gets its changes saved.
  for (MaterialLibrary* library : libraries_) delete library;
}

void AcCadInterface::SetLengthUnit(int* unit) {
  auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent());
  if (unit && control) control->SetLengthUnit(*unit);
}

int AcCadInterface::GetLengthUnit() {
  const auto* control = dynamic_cast<const CaepAnlControl*>(AnlControl::GetCurrent());
  return control ? control->LengthUnit() : CaeUnitNone;
}

MaterialLibrary* AcCadInterface::OpenMaterialLibrary(const CaeString& path) {
  auto* library = new (std::nothrow) MaterialLibrary(path);
  if (library) libraries_.insert(library);
  return library;
}

void AcCadInterface::DeleteObject(void* object) {
  auto* library = static_cast<MaterialLibrary*>(object);
  if (libraries_.erase(library) == 1) delete library;
}

AcCadInterface* AcCadInterface::GetCurrentAc() { return dynamic_cast<AcCadInterface*>(CadInterface::GetCurrent()); }

// --- picks ---------------------------------------------------------------------------------------

namespace {

// CAD-neutral kinds of the load and restraint wizards' geometry lists (index 0 to 3).
constexpr int kLoadPickKinds[] = {1, 2, 3, 4};
constexpr int kRestraintPickKinds[] = {2, 3, 4, 1};

int neutralKind(const int (&kinds)[4], int index) { return index >= 0 && index < 4 ? kinds[index] : 0; }

// The mesh wizard's kinds 1 face, 2 edge, 3 vertex.
int meshNeutralKind(int kind) { return kind >= 1 && kind <= 3 ? kind + 1 : 0; }

// Copies the parked request out and, unless cancelled, hands it the picked entity.
template <class Request>
int collectPick(const Request& parked, int& marker, int& busy, int cancel, Request* out, int* cancelled) {
  CAE_CHECK(out != nullptr && cancelled != nullptr);
  *out = parked;
  *cancelled = cancel;
  if (marker < 0) return 0;
  marker = -1;
  busy = 0;
  if (cancel) return 1;
  out->pickedEntity = CPickDlg::PickedEntity;
  return out->pickedEntity ? 1 : 0;
}

bool currentDocumentQuiescent() {
  AcApDocument* document = currentControlDocument();
  return document && document->isQuiescent();
}

}  // namespace

AcBrEntity* AcCadInterface::PickEntity(int kind) {
  if (kind == 0 || kind == -1) return nullptr;
  CAE_CHECK(CadCurrentDocControl() != nullptr);
  return acPickTopology(kind - 1, 1);
}

int AcCadInterface::RequestLoadPick(LoadPickRequest* request) {
  CAE_CHECK(request != nullptr);
  picks_->loadPending = request->pickKind;
  picks_->load = *request;
  picks_->SetFlags(1, 0, 0, 0);
  return 1;
}

int AcCadInterface::RequestRestraintPick(RestraintPickRequest* request) {
  CAE_CHECK(request != nullptr);
  picks_->restraintPending = request->pickKind + 1;
  picks_->restraint = *request;
  picks_->SetFlags(0, 1, 0, 0);
  return 1;
}

int AcCadInterface::RequestMeshPick(MeshPickRequest* request) {
  CAE_CHECK(request != nullptr);
  picks_->meshPending = request->pickKind;
  picks_->mesh = *request;
  picks_->SetFlags(0, 0, 1, 0);
  return 1;
}

int AcCadInterface::RequestCommand(int pickKind) {
  picks_->parkedKind = pickKind;
  picks_->SetFlags(0, 0, 0, 1);
  return 1;
}

void AcCadInterface::OpenModelessPanel() {
  if (CPickDlg::OpenPanel()) return;  // one panel at a time: the open one runs the new request
  auto panel = std::make_unique<CPickDlg>(CWnd::FromHandle(GetMainWindow()));
  panel->SetMode(CPickDlg::kViewChange);
  if (!panel->Create()) return;
  CPickDlg* open = panel.release();  // the panel deletes itself with its window
  picks_->document = currentControlDocument();
  cmdSetPickPending();
  // The first OK click starts the pick as soon as the host handles the panel's messages.
  if (HWND ok = ::GetDlgItem(open->GetSafeHwnd(), IDOK))
    ::PostMessage(open->GetSafeHwnd(), WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(ok));
}

void AcCadInterface::RefreshModelessPanel() { CPickDlg::CancelUnlessDone(); }

void AcCadInterface::CancelCadCommand() {
  static const char kEscape[2] = {27, 0};
  HWND main = GetMainWindow();
  if (!main) return;
  COPYDATASTRUCT data;
  data.dwData = 1;
  data.cbData = sizeof kEscape;
  data.lpData = kEscape;
  ::SendMessage(main, WM_COPYDATA, reinterpret_cast<WPARAM>(main), reinterpret_cast<LPARAM>(&data));
}

AcBrEntity* AcCadInterface::ExecutePendingRequest() {
  const PickProtocol& p = *picks_;
  int kind = 0;
  if (p.loadFlag)
    kind = p.loadPending >= 0 ? neutralKind(kLoadPickKinds, p.load.pickKind) : 0;
  else if (p.restraintFlag)
    kind = p.restraintPending >= 0 ? neutralKind(kRestraintPickKinds, p.restraint.pickKind) : 0;
  else if (p.meshFlag)
    kind = p.meshPending >= 0 ? meshNeutralKind(p.mesh.pickKind) : 0;
  else if (p.kindFlag)
    kind = p.parkedKind;
  return PickEntity(kind);
}

int AcCadInterface::ParkedRequestPicked() const {
  const PickProtocol& p = *picks_;
  bool parked = false;
  if (p.loadFlag)
    parked = p.loadPending >= 0;
  else if (p.restraintFlag)
    parked = p.restraintPending >= 0;
  else if (p.meshFlag)
    parked = p.meshPending >= 0;
  else if (p.kindFlag)
    parked = p.parkedKind > 0;
  return parked && CPickDlg::PickedEntity ? 1 : 0;
}

int AcCadInterface::ProcessPendingRequest(int cancel) {
  picks_->busy = 1;
  picks_->cancel = cancel;
  int answer = 0;
  try {
    answer = cancel ? (currentDocumentQuiescent() ? 1 : 0) : ParkedRequestPicked();
  } catch (const CadFault& fault) {
    cmdReportException(fault.Code());
    answer = 0;
  }
  // The panel completes outside any command, where MFC's resource handle is not the library's.
  if (!cancel && !answer) CadMessageBoxText(resLoadString(IDS_GEOMETRY_SELECTION_FAILED).Text(), MB_OK);
  return answer;
}

int AcCadInterface::IsRequestPending() { return picks_->busy; }

int AcCadInterface::GetLoadPickResult(LoadPickRequest* request, int* cancelled) {
  return collectPick(picks_->load, picks_->loadPending, picks_->busy, picks_->cancel, request, cancelled);
}

int AcCadInterface::GetRestraintPickResult(RestraintPickRequest* request, int* cancelled) {
  return collectPick(picks_->restraint, picks_->restraintPending, picks_->busy, picks_->cancel, request, cancelled);
}

int AcCadInterface::GetMeshPickResult(MeshPickRequest* request, int* cancelled) {
  return collectPick(picks_->mesh, picks_->meshPending, picks_->busy, picks_->cancel, request, cancelled);
}

int AcCadInterface::GetCommandResult(AcBrEntity** result, int* cancelled) {
  CAE_CHECK(result != nullptr && cancelled != nullptr);
  PickProtocol& p = *picks_;
  *cancelled = p.cancel;
  p.busy = 0;
  if (p.cancel) return 1;
  int answer = 0;
  if (p.parkedKind > 0) {
    *result = CPickDlg::PickedEntity;
    answer = *result ? 1 : 0;
  }
  p.parkedKind = 0;
  return answer;
}

void AcCadInterface::DiscardPickRequest(void*) {}

void AcCadInterface::AbandonPickRequest(const void* document) {
  if (document && document != picks_->document) return;
  CPickDlg::Abandon();
  *picks_ = PickProtocol();
  cmdClearPickPending();
}

void AcCadInterface::SetDocControl(int mode) {
  CadInterface::SetDocControl(mode);
  if (mode > 0) acTopoSetSceneChanged();
}

CString& AcCadInterface::GetCadName(CString& name) {
  name = "MDT";
  return name;
}

int AcCadInterface::PrintMessage(const char* text) {
  acutPrintf("\n");
  return acutPrintf("%s", text ? text : "");
}

int AcCadInterface::MaxNameLength() { return kDbMaxStoredNameLength; }
int AcCadInterface::AcceptsFreeNames() { return 0; }
int AcCadInterface::UsesPreselection() { return 0; }

int AcCadInterface::GetProductTitle(CaeString& title) {
  resLoadString(title, IDS_PRODUCT_TITLE);
  return 1;
}

int AcCadInterface::FlushGraphics() {
  if (AcDbTransactionManager* transactions = acCurrentTransactionManager()) {
    if (transactions->queueForGraphicsFlush() == Acad::eOk) {
      transactions->flushGraphics();
      acedUpdateDisplay();
    }
  }
  return 1;
}

int AcCadInterface::RegenAll() {
  CaeString command;
  resLoadString(command, IDS_REGENALL_COMMAND);
  CAE_CHECK(!command.IsEmpty());
  acedCommand(RTSTR, command.Text(), RTNONE);
  return 1;
}

void AcCadInterface::GetUcsTransform(CaeTransform& transform) { acUcsTransform(transform); }

void AcCadInterface::StartTransaction() {
  AcDbTransactionManager* transactions = acCurrentTransactionManager();
  CAE_CHECK(transactions != nullptr);
  CAE_CHECK(transactions->startTransaction() != nullptr);
  transactions->enableGraphicsFlush(true);
}

void AcCadInterface::EndTransaction() {
  if (AcDbTransactionManager* transactions = acCurrentTransactionManager()) transactions->endTransaction();
}

void AcCadInterface::AbortTransaction() {
  UnlockDocument();
  if (AcDbTransactionManager* transactions = acCurrentTransactionManager()) transactions->abortTransaction();
}

int AcCadInterface::NumActiveTransactions() {
  AcDbTransactionManager* transactions = acCurrentTransactionManager();
  return transactions ? transactions->numActiveTransactions() : 0;
}

int AcCadInterface::TransactionBaseDepth() { return transactionBaseDepth_; }

int AcCadInterface::SetTransactionBaseDepth(int depth) {
  transactionBaseDepth_ = depth;
  return depth;
}

int AcCadInterface::SelectOrCreateModel(const char* name, int analysisType) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !name) return 0;
  AnlModel* model = findModel(*control, name);
  const int existed = model ? 1 : 0;
  if (model) {
    if (control->CurrentAnlModel() != model) control->SetCurrentAnlModel(model);
    if (isAnalysisType(analysisType)) model->SetType(static_cast<AnlType>(analysisType));
  } else {
    model =
        control->NewAnlModel(CaeString(name), static_cast<AnlType>(isAnalysisType(analysisType) ? analysisType : 0));
    control->SetCurrentAnlModel(model);
  }
  RefreshAfterCommand();
  FlushGraphics();
  return existed;
}

int AcCadInterface::SelectOrCreateLoadCase(const char* name) {
  return selectOrCreateCase(name, {&AnlControl::FirstLoadCase, &AnlControl::NextLoadCase, &AnlControl::NewLoadCase,
                                   &AnlControl::CurrentLoadCase, &AnlControl::SetCurrentLoadCase});
}

int AcCadInterface::SelectOrCreateRestraintCase(const char* name) {
  return selectOrCreateCase(
      name, {&AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase, &AnlControl::NewRestraintCase,
             &AnlControl::CurrentRestraintCase, &AnlControl::SetCurrentRestraintCase});
}

int AcCadInterface::GetModelType(const CaeString& name) {
  if (name.IsEmpty()) return 0;
  AcDbDictionary* models = nullptr;
  CAE_CHECK(dbGetAnalysisModelsDict(models, AcDb::kForWrite) == Acad::eOk && models);
  const int type = filedModelType(*models, name.Text());
  models->close();
  return type < 0 ? 0 : type;
}

int AcCadInterface::ModelExists(CaeString name, int* type) {
  if (name.IsEmpty()) {
    if (type) *type = 0;
    return 0;
  }
  if (!acdbHostApplicationServices()->workingDatabase()) return 0;
  AcDbDictionary* models = nullptr;
  if (dbGetAnalysisModelsDict(models, AcDb::kForWrite) != Acad::eOk || !models) return 0;
  if (type) *type = 0;
  const int found = filedModelType(*models, name.Text());
  models->close();
  if (found < 0) return 0;
  if (type) *type = found;
  return 1;
}

void AcCadInterface::CreateResultCaseObject(int /*unused*/) { CaepResultCaseObj::CreateInDatabase(); }

// ---- conditions ----

int AcCadInterface::CreateLbc(CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags,
                              double* values, CaeCoordSys* coordSys, AcBrEntity* entity) {
  if (entity) return acCreateLbc(name, colour, symbolScale, conditionType, freeFlags, values, coordSys, entity);
  return acCreateLbcByPick(name, colour, symbolScale, conditionType, freeFlags, values, coordSys);
}

int AcCadInterface::CreateLbc2(CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags,
                               double* values, CaeCoordSys* coordSys, AcBrEntity* entity) {
  return CreateLbc(name, colour, symbolScale, conditionType, freeFlags, values, coordSys, entity);
}

void AcCadInterface::EditLbc(AttBaseLbc* old, CaeString name, int colour, double symbolScale, int conditionType,
                             int* freeFlags, double* values, CaeCoordSys* coordSys) {
  acEditLbc(old, name, colour, symbolScale, conditionType, freeFlags, values, coordSys);
}

void AcCadInterface::EditLbc2(AttBaseLbc* old, CaeString name, int colour, double symbolScale, int conditionType,
                              int* freeFlags, double* values, CaeCoordSys* coordSys) {
  acEditLbc(old, name, colour, symbolScale, conditionType, freeFlags, values, coordSys);
}

AttModelTemp* AcCadInterface::CreatePrescribedTemperature(CaeString name, int colour, double symbolScale,
                                                          double modelTemperature, double referenceTemperature,
                                                          int extra) {
  if (extra) return acCreateModelTemp(name, colour, symbolScale, modelTemperature, referenceTemperature, extra);
  return acCreateModelTempDefault(name, colour, symbolScale, modelTemperature, referenceTemperature);
}

void AcCadInterface::EditPrescribedTemperature(AttModelTemp* old, CaeString name, int colour, double symbolScale,
                                               double modelTemperature, double referenceTemperature) {
  acEditModelTemp(old, name, colour, symbolScale, modelTemperature, referenceTemperature);
}

int AcCadInterface::CreateConvection(CaeString name, int colour, double symbolScale, int conditionType, int constant,
                                     double filmCoefficient, double ambientTemperature,
                                     CaeList<AttTableTempValue>& table, AcBrEntity* entity) {
  if (entity)
    return acCreateConv(name, colour, symbolScale, conditionType, constant, filmCoefficient, ambientTemperature, &table,
                        entity);
  return acCreateConvByPick(name, colour, symbolScale, conditionType, constant, filmCoefficient, ambientTemperature,
                            &table);
}

void AcCadInterface::EditConvection(AttLbcConv* old, CaeString name, int colour, double symbolScale, int conditionType,
                                    int constant, double filmCoefficient, double ambientTemperature,
                                    CaeList<AttTableTempValue>& table) {
  acEditConv(old, name, colour, symbolScale, conditionType, constant, filmCoefficient, ambientTemperature, &table);
}

int AcCadInterface::CreateHeatGeneration(CaeString name, int colour, double symbolScale, int conditionType,
                                         int constant, double value, CaeList<AttTableTempValue>& table,
                                         AcBrEntity* entity) {
  if (entity) return acCreateHtGen(name, colour, symbolScale, conditionType, constant, value, &table, entity);
  return acCreateHtGenByPick(name, colour, symbolScale, conditionType, constant, value, &table);
}

void AcCadInterface::EditHeatGeneration(AttLbcHgen* old, CaeString name, int colour, double symbolScale,
                                        int conditionType, int constant, double value,
                                        CaeList<AttTableTempValue>& table) {
  acEditHtGen(old, name, colour, symbolScale, conditionType, constant, value, &table);
}

AcBrEntity* AcCadInterface::PickTopology(int conditionType, int* pickKind) {
  int kind = -1;
  return acPickLbcTopology(conditionType, pickKind ? pickKind : &kind);
}

int AcCadInterface::GetLbcDimension(int conditionType) {
  const AttLbcDescriptTable table;
  const AttLbcDescript* descriptor = table.Find(conditionType);
  if (!descriptor) return -1;
  if (conditionType == AttCode::Gravity) return 8;
  if (conditionType == AttCode::Acceleration) return 6;
  if (conditionType == AttCode::FaceConvection) return 3;
  if (descriptor->kind == AttKindRestraint) return 4;
  if (descriptor->kind == AttKindModelTemp) return 1;
  switch (descriptor->Dimension()) {
    case CaeUtForce:
    case CaeUtForcePerLength:
    case CaeUtStress:
    case CaeUtForcePerArea: return 3;
    case CaeUtLength: return 5;
    case CaeUtMoment:
    case CaeUtAcceleration:
    case CaeUtHeatFlow:
    case CaeUtHeatFlowPerLength:
    case CaeUtHeatFlux: return 2;
    case CaeUtHeatGeneration: return 1;
    default: return -1;
  }
}

void AcCadInterface::GetLbcColorAndScale(AttBaseLbc* lbc, int* colour, double* scale) {
  if (!lbc) return;
  const CaeTypeId type = lbc->GetInfo();
  if (type != AttLbc::Info && type != AttModelLbc::Info && type != AttModelTemp::Info && type != AttLbcConv::Info &&
      type != AttLbcHgen::Info)
    return;
  const auto* entity = dynamic_cast<const CaepBaseLbcEnt*>(lbc);
  if (!entity) return;
  if (colour) *colour = entity->colorIndex();
  if (scale) *scale = entity->Scale();
}

void AcCadInterface::UndoLastStep() {
  PrepareUndo(0);
  adsw_acadMainWnd()->copyData(1, kUndoOneStep, sizeof kUndoOneStep);
}

void AcCadInterface::RebuildExplorer() {
  auto* control = dynamic_cast<AcCadDocControl*>(CadCurrentDocControl());
  if (!control || !control->HasExplorerTab()) return;
  CadTransactionScope transaction(*this);
  transaction.Start();
  control->RefreshExplorerTab();
  transaction.Commit();
  acNotePass("explorer-rebuild");
}

int AcCadInterface::ToggleDocumentLock() {
  if (documentLocked_)
    UnlockDocument();
  else
    LockDocument();
  return 1;
}

int AcCadInterface::LockDocument() {
  if (documentLocked_) return 0;
  AcApDocument* document = currentControlDocument();
  documentLocked_ = 1;
  lockedDocument_ = document;
  // The flag follows the calls, not the host's answer, so a failed lock is still released.
  acDocManagerPtr()->lockDocument(document, AcAp::kWrite, kExplorerUndoStep, nullptr, true);
  return 1;
}

int AcCadInterface::UnlockDocument() {
  if (!documentLocked_) return 0;
  documentLocked_ = 0;
  // The lock belongs to the document it was taken on, even if another one became current since.
  acDocManagerPtr()->unlockDocument(static_cast<AcApDocument*>(lockedDocument_));
  lockedDocument_ = nullptr;
  return 1;
}

void AcCadInterface::ShowExplorerTab() {
  if (!CadCurrentDocControl()) return;
  CadTransactionScope transaction(*this);
  transaction.Start();
  acAddExplorerTab();
  transaction.Commit();
}

void AcCadInterface::RemoveExplorerTab() {
  if (CadCurrentDocControl()) acRemoveExplorerTab();
}

int acStrEqual(const CaeString& text, const char* other) { return std::strcmp(text.Text(), other ? other : "") == 0; }
int acStrEqualCae(const CaeString& a, const CaeString& b) { return std::strcmp(a.Text(), b.Text()) == 0; }

int acMbsCmp(const char* a, const char* b) { return std::strcmp(a, b); }

int acMbsICmp(const char* a, const char* b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
  for (;; ++a, ++b) {
    const int ca = lower(static_cast<unsigned char>(*a));
    const int cb = lower(static_cast<unsigned char>(*b));
    if (ca != cb || ca == 0) return ca - cb;
  }
}

void acUcsTransform(CaeTransform& transform) {
  resbuf fromUcs;
  fromUcs.restype = RTSHORT;
  fromUcs.resval.rint = 1;
  resbuf toWorld;
  toWorld.restype = RTSHORT;
  toWorld.resval.rint = 0;
  auto convert = [&](double x, double y, double z, int displacement) {
    const ads_point in = {x, y, z};
    ads_point out = {0, 0, 0};
    acedTrans(in, &fromUcs, &toWorld, displacement, out);
    return CaeVector(out[0], out[1], out[2]);
  };
  const CaeVector origin = convert(0, 0, 0, 0);
  const CaeVector xAxis = convert(1, 0, 0, 1);
  const CaeVector yAxis = convert(0, 1, 0, 1);
  const CaeVector zAxis = convert(0, 0, 1, 1);
  transform = CaeTransform(xAxis, yAxis, zAxis, origin);
}
