// Explorer actions that change what is current, create objects and delete them.
#include <strings.h>

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
#include "fea/AnlResltCase.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "gui/commands/UICommandHandlers.h"
#include "gui/dialogs/common/UITextRetrievalDlg.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "gui/explorer/ExpTreeSupport.h"
#include "gui/utils/UINotAvailable.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

namespace {

// Room a new model's name leaves for the suffixes of the names made from it.
constexpr int kModelNameReserve = 6;

// Guide steps the actions mark.
constexpr int kStepLoads = 3;
constexpr int kStepRestraints = 4;
constexpr int kStepAnalyze = 6;
constexpr int kStepResults = 7;

void Flush() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
}

bool SameIgnoringCase(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// Whether a live object of the control's list bears `name`, case ignored: the host's selection
// by name ignores case, so such a name would select that object instead of making a new one.
template <class T, class First, class Next>
bool NameTaken(AnlControl* control, First first, Next next, const CString& name) {
  for (T* object = (control->*first)(); object; object = (control->*next)())
    if (!object->IsMarkedAsErased() && SameIgnoringCase(object->Name().Text(), static_cast<const char*>(name)))
      return true;
  return false;
}

// Asks for a new object's name: the text dialog prefilled with `proposal`, names the control
// already has refused. Answers the empty text on Cancel.
template <class T, class First, class Next>
CString AskNewName(unsigned caption, unsigned prompt, const CString& proposal, int maxLength, First first, Next next) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return CString();
  CTextRetrievalDlg dialog(resLoadString(caption).Text(), resLoadString(prompt).Text());
  dialog.m_text = proposal;
  dialog.SetMaxLength(maxLength);
  dialog.SetNameTaken([control, first, next](const CString& name) { return NameTaken<T>(control, first, next, name); },
                      CString(resLoadString(IDS_EXP_NAME_TAKEN).Text()));
  if (dialog.DoModal() != IDOK) return CString();
  // The dialog checked the name; the drawing may have changed while it was open.
  if (NameTaken<T>(control, first, next, dialog.m_text)) {
    CadMessageBoxText(resLoadString(IDS_EXP_NAME_TAKEN).Text(), MB_OK | MB_ICONEXCLAMATION);
    return CString();
  }
  return dialog.m_text;
}

}  // namespace

// ---- open and close ----

bool CExpTreeCtl::OpenModelByName(const CaeString& name) {
  CadInterface* cad = CadInterface::GetCurrent();
  int type = -1;
  if (!cad || !cad->ModelExists(name, &type) || type < AnlStress || type > AnlHeatTransfer) return false;
  CadOpenModel(name.Text(), -1);
  return true;
}

int CExpTreeCtl::OpenItem(HTREEITEM item) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!item || !control) return 0;
  const int kind = GetItemKind(item);
  HTREEITEM parent = GetParentItem(item);
  switch (kind) {
    case kExpModel:
    case kExpOptResultModel:
      if (AnlModel* model = ModelOfItem(item)) OpenModelByName(model->Name());
      return kOpenFlush | kOpenRebuild;
    case kExpLoadSet: CadOpenLoadCase(GetItemName(item).Text()); return kOpenFlush | kOpenRebuild;
    case kExpRestraintSet: CadOpenRestraintCase(GetItemName(item).Text()); return kOpenFlush | kOpenRebuild;
    case kExpResultSet: {
      AnlModel* model = ModelOfItem(parent);
      if (!model || !OpenModelByName(model->Name())) return kOpenRebuild;
      FerResultSet* set = model->FindResultSet(GetItemName(item));
      if (!set) CAE_GENERAL_ERROR();
      ExpShowResultSet(set, model);
      UISetWizardTabState(kStepResults, 1);
      return kOpenRebuild;
    }
    case kExpJobWithResults: {
      AnlJob* job = JobOfItem(item);
      if (AnlModel* model = ModelOfItem(parent)) {
        ExpShowJobResults(job, model);
        UISetWizardTabState(kStepResults, 1);
      } else if (OptModelOfItem(parent)) {
        UINotAvailableYet("Reading an optimisation job's results");
      } else {
        CAE_GENERAL_ERROR();
      }
      return kOpenRebuild;
    }
    case kExpValueLine: {
      OpenItem(parent);
      ExpShowResultSubSet(PositionAmongSiblings(item, {kExpValueLine}));
      return kOpenRebuild;
    }
    case kExpShapeModel:
    case kExpConceptModel: {
      OptModel* model = OptModelOfItem(item);
      if (!model || model == control->CurrentOptModel()) return 0;
      control->SetCurrentOptModel(model);
      return kOpenFlush | kOpenRebuild;
    }
    case kExpVariable:
      if (OptVariable* variable = VariableOfItem(item)) {
        variable->MarkAsCurrent();
        SetItemText(item, (variable->Name() + "*").Text());
      }
      return 0;
    case kExpShapeOptResult:
    case kExpConceptOptResult: return OpenOptResultCase(item);
    case kExpHistoryGraph:
    case kExpSensitivityGraph:
    case kExpLocalTrendGraph: {
      const int bits = OpenItem(parent);
      UINotAvailableYet("The optimisation graph");
      return bits;
    }
    case kExpOptResultMesh: {
      const int bits = OpenItem(parent);
      ExpShowPlainModel();
      return bits;
    }
    default: Expand(item, TVE_TOGGLE); return 0;
  }
}

int CExpTreeCtl::OpenOptResultCase(HTREEITEM item) {
  AnlControl* control = AnlControl::GetCurrent();
  OptResultCase* resultCase = OptResultCaseOfItem(item);
  OptModel* model = OptModelOfItem(GetParentItem(item));
  if (!resultCase || !model || !resultCase->InitializeData()) return 0;
  int bits = 0;
  if (model->CurrentOptResultCase() != resultCase) {
    model->SetCurrentOptResultCase(resultCase);
    bits |= kOpenRebuild;
  }
  if (control->CurrentOptModel() != model) {
    control->SetCurrentOptModel(model);
    bits |= kOpenFlush | kOpenRebuild;
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RefreshAfterCommand();
  return bits;
}

int CExpTreeCtl::CloseItem(HTREEITEM item) {
  AnlControl* control = AnlControl::GetCurrent();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!item || !control || !cad) return 0;
  CWaitCursor wait;
  switch (GetItemKind(item)) {
    case kExpModel:
    case kExpOptResultModel: CadCloseModel(); return kOpenFlush | kOpenRebuild;
    case kExpLoadSet: CadCloseLoadCase(); return kOpenFlush | kOpenRebuild;
    case kExpRestraintSet: CadCloseRestraintCase(); return kOpenFlush | kOpenRebuild;
    case kExpResultSet:
    case kExpValueLine: cad->ShowResultsWindow(0); return kOpenFlush | kOpenRebuild;
    case kExpShapeModel:
    case kExpConceptModel: control->ClearCurrentOptModel(); return kOpenFlush | kOpenRebuild;
    case kExpVariable:
      if (OptVariable* variable = VariableOfItem(item)) {
        variable->MarkAsNotCurrent();
        SetItemText(item, variable->Name().Text());
      }
      return 0;
    case kExpShapeOptResult:
    case kExpConceptOptResult: {
      int bits = 0;
      OptResultCase* resultCase = OptResultCaseOfItem(item);
      OptModel* model = OptModelOfItem(GetParentItem(item));
      if (resultCase && model && model->CurrentOptResultCase() == resultCase) {
        model->SetCurrentOptResultCase(nullptr);
        bits = kOpenRebuild;
      }
      cad->RefreshAfterCommand();
      return bits;
    }
    default: Expand(item, TVE_COLLAPSE); return 0;
  }
}

namespace {

void FinishOpenOrClose(CExpTreeCtl& tree, int bits) {
  if (bits & kOpenRebuild) tree.Refresh();
  if (bits & kOpenFlush) Flush();
}

}  // namespace

void CExpTreeCtl::DoOpen() {
  if (HTREEITEM item = GetSelectedItem()) FinishOpenOrClose(*this, OpenItem(item));
}

void CExpTreeCtl::DoClose() {
  if (HTREEITEM item = GetSelectedItem()) FinishOpenOrClose(*this, CloseItem(item));
}

// ---- new objects ----

void CExpTreeCtl::DoNewSimulationModel() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  const CString name = AskNewName<AnlModel>(IDS_CREATE_NEW_MODEL, IDS_NEW_MODEL_NAME, CadUniqueModelName(),
                                            cad->MaxNameLength() - kModelNameReserve, &AnlControl::FirstAnlModel,
                                            &AnlControl::NextAnlModel);
  if (name.IsEmpty()) return;
  CadOpenModel(static_cast<const char*>(name), AnlStress);
  CadAskDrawingUnitIfUnset();
  CadCloseResultSet();
  Refresh();
  Flush();
}

void CExpTreeCtl::DoNewLoadSet() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  const CString name =
      AskNewName<AttLbcCase>(IDS_CREATE_NEW_LOAD_SET, IDS_NEW_LOAD_SET_NAME, CadUniqueLoadCaseName(),
                             cad->MaxNameLength(), &AnlControl::FirstLoadCase, &AnlControl::NextLoadCase);
  if (name.IsEmpty()) return;
  CadOpenLoadCase(static_cast<const char*>(name));
  Refresh();
  Flush();
}

void CExpTreeCtl::DoNewRestraintSet() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  const CString name =
      AskNewName<AttLbcCase>(IDS_CREATE_NEW_RESTRAINT_SET, IDS_NEW_RESTRAINT_SET_NAME, CadUniqueRestraintCaseName(),
                             cad->MaxNameLength(), &AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase);
  if (name.IsEmpty()) return;
  CadOpenRestraintCase(static_cast<const char*>(name));
  Refresh();
  Flush();
}

void CExpTreeCtl::DoNewOptimizationModel() {
  if (UIOptEditModel(0, nullptr, 2)) {
    Refresh();
    Flush();
  }
}

void CExpTreeCtl::DoCreationEntry(int action) {
  switch (action) {
    case kActLoad: UICmdLoadTab(); break;
    case kActRestraint: UICmdRestTab(); break;
    case kActHeatTransfer: UICmdThermTab(); break;
    case kActMesh:
      UICmdMesh();
      Refresh();
      break;
    case kActDesignVariable:
      if (UICmdOptVariable()) Refresh();
      break;
    case kActDesignConstraint: UICmdOptConstraint(); break;
    case kActConceptControl: UICmdOptConstraintTopo(); break;
    default: break;  // Mesh Constraint... does nothing
  }
}

// ---- delete ----

void CExpTreeCtl::DoDelete() {
  HTREEITEM item = GetSelectedItem();
  if (!item) return;
  DeleteItem(item);
  Flush();
}

void CExpTreeCtl::DeleteItem(HTREEITEM item) {
  const int kind = GetItemKind(item);
  // A result-set editor deletes only what it edits: result cases and the sets inside them. A set
  // listed at the root is the drawing's, and a Delete key there must not erase it.
  const bool insideCase = GetItemKind(GetParentItem(item)) == kExpResultCase;
  if ((resultSetMode_ || selectMode_) &&
      !(kind == kExpResultCase || ((kind == kExpLoadSet || kind == kExpRestraintSet) && insideCase)))
    return;
  struct DeletingFlag {
    int& flag;
    explicit DeletingFlag(int& f) : flag(f) { flag = 1; }
    ~DeletingFlag() { flag = 0; }
  } deleting(deleting_);
  switch (kind) {
    case kExpModel:
    case kExpOptResultModel: DeleteModelItem(item, kind); break;
    case kExpMesh:
    case kExpMeshNeedsUpdate:
    case kExpMeshDeferred: DeleteMeshItem(item); break;
    case kExpLoadSet:
    case kExpRestraintSet: DeleteSetItem(item, kind); break;
    case kExpResultCase: DeleteResultCaseItem(item); break;
    case kExpResultSet: DeleteResultSetItem(item); break;
    case kExpJob:
    case kExpJobWithResults: DeleteJobItem(item); break;
    case kExpLoad:
    case kExpRestraint: DeleteConditionItem(item); break;
    case kExpVariableFolder:
    case kExpConstraintFolder:
    case kExpControlFolder:
    case kExpRefinementFolder:
    case kExpMateFolder: DeleteFolderChildren(item); break;
    case kExpRefinement: {
      AnlModel* model = ModelOfItem(GetParentItem(GetParentItem(item)));
      AmgConstraint* refinement = RefinementOfItem(item);
      if (model && refinement) model->DeleteConstraint(refinement);
      RemoveItemAndEmptyFolder(item);
      break;
    }
    case kExpMateRelation: {
      AnlModel* model = ModelOfItem(GetParentItem(GetParentItem(item)));
      AnlMateRelPair* pair = MateRelationOfItem(item);
      if (model && pair) model->DeleteMateRelPair(pair);
      RemoveItemAndEmptyFolder(item);
      break;
    }
    case kExpVariable:
    case kExpConstraint:
    case kExpControl:
    case kExpShapeModel:
    case kExpConceptModel:
    case kExpShapeOptResult:
    case kExpConceptOptResult: UINotAvailableYet("Deleting optimisation objects"); break;
    default: break;
  }
}

void CExpTreeCtl::DeleteModelItem(HTREEITEM item, int kind) {
  if (kind == kExpModel && GetItemKind(GetParentItem(item)) == kExpRoot) {
    AnlControl* control = AnlControl::GetCurrent();
    AnlModel* model = ModelOfItem(item);
    if (!control || !model) return;
    control->DeleteAnlModel(model);
    if (!control->CurrentAnlModel()) CadCloseModel();
  }
  CTreeCtrl::DeleteItem(item);
}

void CExpTreeCtl::DeleteMeshItem(HTREEITEM item) {
  HTREEITEM parent = GetParentItem(item);
  if (GetItemKind(parent) != kExpModel) return;
  AnlModel* model = ModelOfItem(parent);
  AnlSubModel* subModel = SubModelOfItem(item);
  CadInterface* cad = CadInterface::GetCurrent();
  if (!model || !subModel || !cad) return;
  for (int index = 0; index < model->NumSubModels(); ++index)
    if (model->GetSubModel(index) == subModel) cad->RemoveSubModel(model, index + 1);
  if (CadCurrentSubModelCount() == 0) UISetWizardTabState(kStepAnalyze, 0);
  SelectItem(nullptr);
  Refresh();
}

void CExpTreeCtl::DeleteSetItem(HTREEITEM item, int kind) {
  if (GetItemKind(GetParentItem(item)) != kExpRoot) {
    // A set inside a result case only leaves that case.
    CTreeCtrl::DeleteItem(item);
    return;
  }
  AnlControl* control = AnlControl::GetCurrent();
  AttLbcCase* set = LbcCaseOfItem(item);
  if (!control || !set) return;
  const int used = UIOptReleaseLbcCase(set, 1);
  if (used < 0) return;  // the user keeps the set
  if (kind == kExpLoadSet) {
    control->DeleteLoadCase(set);
    if (!control->CurrentLoadCase()) UISetWizardTabState(kStepLoads, 0);
  } else {
    control->DeleteRestraintCase(set);
    if (!control->CurrentRestraintCase()) UISetWizardTabState(kStepRestraints, 0);
  }
  if (used > 0)
    Refresh();
  else
    CTreeCtrl::DeleteItem(item);
}

void CExpTreeCtl::DeleteResultCaseItem(HTREEITEM item) {
  if (selectMode_ && !optMode_) return;
  HTREEITEM parent = GetParentItem(item);
  if (GetItemKind(parent) == kExpShapeModel) {
    if (optMode_) {
      const size_t index = static_cast<size_t>(PositionAmongSiblings(item, {kExpResultCase}) - 1);
      if (index < ResultCaseTypes.size()) ResultCaseTypes.erase(ResultCaseTypes.begin() + static_cast<long>(index));
    } else {
      OptModel* model = OptModelOfItem(parent);
      if (!model) return;
      if (AnlResltCase* resultCase = AnlResultCaseOfItem(item)) model->RemoveAnlResultCase(resultCase);
    }
  }
  CTreeCtrl::DeleteItem(item);
}

void CExpTreeCtl::DeleteResultSetItem(HTREEITEM item) {
  AnlModel* model = ModelOfItem(GetParentItem(item));
  CadInterface* cad = CadInterface::GetCurrent();
  if (model && cad) {
    if (IsItemCurrent(item)) cad->ShowResultsWindow(0);
    model->DeleteResultSet(GetItemName(item));
    CadRefreshResultTabs();
  }
  CTreeCtrl::DeleteItem(item);
}

void CExpTreeCtl::DeleteJobItem(HTREEITEM item) {
  HTREEITEM parent = GetParentItem(item);
  AnlJob* job = JobOfItem(item);
  if (AnlModel* model = ModelOfItem(parent)) {
    if (job) model->DeleteJob(job);
    CadRefreshResultTabs();
  } else if (OptModel* optModel = OptModelOfItem(parent)) {
    if (job) {
      for (OptResultCase* rc = optModel->FirstOptResultCase(0); rc; rc = optModel->NextOptResultCase())
        if (!rc->IsMarkedAsErased() && rc->AnlJobName() == job->BaseName()) {
          optModel->RemoveOptResultCase(rc);
          break;
        }
      optModel->RemoveJob(job);
    }
  }
  CTreeCtrl::DeleteItem(item);
}

void CExpTreeCtl::DeleteConditionItem(HTREEITEM item) {
  AttLbcCase* set = LbcCaseOfItem(GetParentItem(item));
  AttBaseLbc* condition = LbcOfItem(item);
  if (!set || !condition) return;
  const int used = UIOptReleaseLbcCase(set, 0);
  set->DeleteLbc(condition);
  if (!CadRestraintCaseHasRestraints()) UISetWizardTabState(kStepRestraints, 0);
  if (!CadLoadCaseHasLoads()) UISetWizardTabState(kStepLoads, 0);
  if (used > 0)
    Refresh();
  else
    CTreeCtrl::DeleteItem(item);
}

void CExpTreeCtl::DeleteFolderChildren(HTREEITEM item) {
  while (HTREEITEM child = GetChildItem(item)) {
    const UINT before = GetCount();
    DeleteItem(child);
    // A child that stays (its object could not be found) would be met again for ever.
    if (!contains(item) || GetCount() == before) break;
  }
}

void CExpTreeCtl::RemoveItemAndEmptyFolder(HTREEITEM item) {
  HTREEITEM folder = GetParentItem(item);
  CTreeCtrl::DeleteItem(item);
  if (folder && !GetChildItem(folder)) CTreeCtrl::DeleteItem(folder);
}
