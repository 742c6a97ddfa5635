// Explorer actions: properties, export, design doctor, mesh generation and update, view, solve.
#include "amg/CaeExcept.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AttLbc.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "gui/commands/UICommandHandlers.h"
#include "gui/dialogs/common/UIScaleFactorDlg.h"
#include "gui/dialogs/lbc/UIAttCommands.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/model/UIMateRelPP.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"
#include "gui/doctor/UIDoctor.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "gui/explorer/ExpTreeSupport.h"
#include "gui/utils/UINotAvailable.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

namespace {

void Flush() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
}

// The attribute sheet's entry point for the condition's engine class.
void ModifyCondition(AttBaseLbc* condition) {
  if (!condition) return;
  if (auto* temperature = dynamic_cast<AttModelTemp*>(condition))
    UIAttModifyModelTemp(temperature);
  else if (auto* convection = dynamic_cast<AttLbcConv*>(condition))
    UIAttModifyConvection(convection);
  else if (auto* generation = dynamic_cast<AttLbcHgen*>(condition))
    UIAttModifyHeatGeneration(generation);
  else
    UIAttModify(condition);
}

}  // namespace

// ---- properties ----

double CExpTreeCtl::ScaleFactorOf(HTREEITEM item) const {
  for (const ScaleFactor& record : ScaleFactors)
    if (record.item == item) return record.factor;
  return 1.0;
}

bool CExpTreeCtl::EditScaleFactor(HTREEITEM item) {
  for (ScaleFactor& record : ScaleFactors)
    if (record.item == item) {
      record.factor = UIGetScaleFactor(record.factor);
      return true;
    }
  ScaleFactors.push_back({item, UIGetScaleFactor(1.0)});
  return true;
}

void CExpTreeCtl::DoProperties() {
  HTREEITEM item = GetSelectedItem();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!item || !cad) return;
  bool rebuild = true;
  bool flush = false;
  switch (GetItemKind(item)) {
    case kExpModel:
      UINotAvailableYet("The simulation type dialog");
      flush = true;
      break;
    case kExpMesh:
    case kExpMeshNeedsUpdate:
    case kExpMeshDeferred: UIMeshModify(SubModelOfItem(item), ModelOfItem(GetParentItem(item))); break;
    case kExpLoadSet:
      rebuild = false;
      if (GetItemKind(GetParentItem(item)) == kExpResultCase) EditScaleFactor(item);
      break;
    case kExpLoad:
    case kExpRestraint:
      ModifyCondition(LbcOfItem(item));
      flush = true;
      break;
    case kExpShapeModel:
    case kExpConceptModel: {
      OptModel* model = OptModelOfItem(item);
      rebuild = model && UIOptEditModel(static_cast<int>(model->Type()), model, 1);
      break;
    }
    case kExpRoot:
      if (!cad->ExplorerCommandRestricted()) CadAskDrawingUnit();
      break;
    case kExpRefinement:
      UIMeshEditRefinement(RefinementOfItem(item), ModelOfItem(GetParentItem(GetParentItem(item))));
      break;
    case kExpMateRelation:
      if (AnlMateRelPair* pair = MateRelationOfItem(item)) UIEditMateRelation(pair);
      flush = true;
      break;
    case kExpResultCase:
    case kExpVariable:
    case kExpConstraint:
    case kExpControl:
    case kExpShapeObjective:
    case kExpConceptObjective:
    case kExpShapeOptResult:
    case kExpConceptOptResult:
    case kExpHistoryGraph:
    case kExpSensitivityGraph:
    case kExpLocalTrendGraph:
      UINotAvailableYet("The optimisation property sheets");
      rebuild = false;
      break;
    default: rebuild = false; break;
  }
  if (rebuild) Refresh();
  if (flush) Flush();
}

// ---- export ----

void CExpTreeCtl::DoWriteVrml() { UIWriteVrml(); }

void CExpTreeCtl::DoWriteNeutralFile() {
  HTREEITEM item = GetSelectedItem();
  if (!item || GetItemKind(item) != kExpResultSet) return;
  AnlControl* control = AnlControl::GetCurrent();
  FerResultSet* current = control ? control->CurrentResultSet() : nullptr;
  const CString initial = current ? CString(current->Name().Text()) : CString();
  CFileDialog dialog(FALSE, "anf", static_cast<const char*>(initial), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Results File(*.anf)|*.anf|*.anf;||");
  if (dialog.DoModal() != IDOK) return;
  CWaitCursor wait;
  FerState* state = FerState::GetState();
  if (!state) CAE_GENERAL_ERROR();
  state->ExportNF(CaeString(static_cast<const char*>(dialog.GetPathName())), 0);
}

// ---- design doctor, mesh, view, solve ----

void CExpTreeCtl::DoDesignDoctor() {
  HTREEITEM item = GetSelectedItem();
  if (!item) return;
  AnlModel* model = ModelOfItem(GetParentItem(item));
  if (model && !OpenModelByName(model->Name())) return;
  if (GetItemKind(item) == kExpResultSet) {
    if (FerResultSet* set = ResultSetOfItem(item)) UIRunDoctorOnResultSet(set);
  } else if (AnlJob* job = JobOfItem(item)) {
    UIRunDoctorOnJob(job);
  }
  Refresh();
}

void CExpTreeCtl::DoGenerate() {
  HTREEITEM item = GetSelectedItem();
  AnlControl* control = AnlControl::GetCurrent();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!item || GetItemKind(item) != kExpMeshDeferred || !control || !cad) return;
  AnlModel* model = ModelOfItem(GetParentItem(item));
  if (!model || !OpenModelByName(model->Name())) return;
  AnlSubModel* subModel = SubModelOfItem(item);
  AmgMesh* mesh = subModel ? subModel->Mesh() : nullptr;
  if (!mesh) return;
  if (mesh->Deferred() && !mesh->Generated()) {
    mesh->SetDeferred(0);
    if (!CadGenerateMesh(mesh)) {
      model->DeleteSubModel(subModel);
      CTreeCtrl::DeleteItem(item);
      return;
    }
  }
  control->SetCurrentAnlModel(model);
  cad->RegenAll();
  if (!Docked) cad->RebuildExplorer();
  Refresh();
}

namespace {

bool HasLiveResults(AnlModel& model) {
  for (int index = 0; index < model.NumJobs(); ++index)
    if (AnlJob* job = model.GetJob(index); job && !job->IsMarkedAsErased()) return true;
  for (int index = 0; index < model.NumResultSets(); ++index)
    if (FerResultSet* set = model.GetResultSet(index); set && !set->IsMarkedAsErased()) return true;
  return false;
}

}  // namespace

void CExpTreeCtl::DoUpdate() {
  HTREEITEM item = GetSelectedItem();
  AnlControl* control = AnlControl::GetCurrent();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!item || GetItemKind(item) != kExpMeshNeedsUpdate || !control || !cad) return;
  AnlModel* model = ModelOfItem(GetParentItem(item));
  if (!model || !OpenModelByName(model->Name())) return;
  AnlSubModel* subModel = SubModelOfItem(item);
  AmgMesh* mesh = subModel ? subModel->Mesh() : nullptr;
  if (!mesh) return;
  CaeMaterial* material = subModel->GetMaterial();
  ExpMaterialCache library;
  if (!material || !library.Has(material->Name())) {
    const CaeString name = material ? material->Name() : resLoadString(IDS_EXP_NO_MATERIAL);
    CadMessageBoxText(ExpFormat(resLoadString(IDS_EXP_MATERIAL_NOT_FOUND).Text(), name.Text()).Text(),
                      MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (HasLiveResults(*model)) {
    CadMessageBoxText(ExpEngineMessage(kExpResultsOnMeshMessage).Text(), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  try {
    CWaitCursor wait;
    if (cad->UpdateMesh(mesh) && cad->FindSubModelOfMesh(mesh, subModel)) {
      control->SetCurrentAnlModel(model);
      cad->RegenAll();
      if (!Docked) cad->RebuildExplorer();
      Refresh();
    }
  } catch (const CaeExcept&) {
    // The failed update is one undo step of its own (the Explorer's actions are undo steps), so
    // undoing it never reaches the user's previous command.
    UIProgressClose();
    cad->PrepareUndo(0);
    cad->UndoLastStep();
    cad->PrepareUndo(1);
  }
}

void CExpTreeCtl::DoView() {
  HTREEITEM item = GetSelectedItem();
  if (!item) return;
  const int bits = OpenItem(GetParentItem(item));
  ExpShowPlainModel();
  if (bits) Refresh();
}

void CExpTreeCtl::DoSolve() {
  HTREEITEM item = GetSelectedItem();
  if (!item) return;
  const int docked = Docked;
  const int kind = GetItemKind(item);
  OpenItem(item);
  if (kind == kExpModel)
    UICmdAnalyze();
  else if (kind == kExpShapeModel)
    UICmdOptSubmit();
  else if (kind == kExpConceptModel)
    UICmdOptSubmitTopo();
  if (!docked) Refresh();
}
