// From Explorer items back to their objects, the actions each item offers, and the mouse and
// label-edit gestures on items.
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadInterface.h"
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
#include "gui/explorer/CExpTreeCtl.h"
#include "gui/explorer/ExpTreeSupport.h"

namespace {

bool IsOneOf(int kind, std::initializer_list<int> kinds) {
  for (int k : kinds)
    if (k == kind) return true;
  return false;
}

// The n-th (1-based) entry of a list that `accept` takes, walking `at(0)` .. `at(count - 1)`.
template <class T, class At, class Accept>
T* NthAccepted(int count, int n, At at, Accept accept) {
  for (int index = 0; index < count; ++index) {
    T* entry = at(index);
    if (!accept(entry)) continue;
    if (--n == 0) return entry;
  }
  return nullptr;
}

template <class T>
bool Live(T* entry) {
  return entry && !entry->IsMarkedAsErased();
}

}  // namespace

int CExpTreeCtl::PositionAmongSiblings(HTREEITEM item, std::initializer_list<int> kinds) const {
  int position = 1;
  for (HTREEITEM sibling = GetPrevSiblingItem(item); sibling; sibling = GetPrevSiblingItem(sibling))
    if (kinds.size() == 0 || IsOneOf(GetItemKind(sibling), kinds)) ++position;
  return position;
}

// ---- by name ----

AnlModel* CExpTreeCtl::ModelOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpModel, kExpOptResultModel})) return nullptr;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  const CaeString name = GetItemName(item);
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel())
    if (Live(model) && model->Name() == name) return model;
  return nullptr;
}

// Erased sets are passed over: a set re-created under a deleted set's name is the one meant.
AttLbcCase* CExpTreeCtl::LbcCaseOfItem(HTREEITEM item) const {
  const int kind = item ? GetItemKind(item) : kExpNone;
  if (kind != kExpLoadSet && kind != kExpRestraintSet) return nullptr;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  const CaeString name = GetItemName(item);
  if (kind == kExpLoadSet) {
    for (AttLbcCase* set = control->FirstLoadCase(); set; set = control->NextLoadCase())
      if (Live(set) && set->Name() == name) return set;
  } else {
    for (AttLbcCase* set = control->FirstRestraintCase(); set; set = control->NextRestraintCase())
      if (Live(set) && set->Name() == name) return set;
  }
  return nullptr;
}

OptModel* CExpTreeCtl::OptModelOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpShapeModel, kExpConceptModel})) return nullptr;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  const CaeString name = GetItemName(item);
  for (OptModel* model = control->FirstOptModel(); model; model = control->NextOptModel())
    if (Live(model) && model->Name() == name) return model;
  return nullptr;
}

// ---- by position ----

namespace {

// The owner a position lookup walks; its absence is a consistency check.
template <class T>
T* RequireOwner(T* owner) {
  if (!owner) CAE_GENERAL_ERROR();
  return owner;
}

}  // namespace

FerResultSet* CExpTreeCtl::ResultSetOfItem(HTREEITEM item) const {
  if (!item || GetItemKind(item) != kExpResultSet) return nullptr;
  AnlModel* model = RequireOwner(ModelOfItem(GetParentItem(item)));
  return NthAccepted<FerResultSet>(
      model->NumResultSets(), PositionAmongSiblings(item, {kExpResultSet}),
      [model](int i) { return model->GetResultSet(i); }, Live<FerResultSet>);
}

AnlSubModel* CExpTreeCtl::SubModelOfItem(HTREEITEM item) const {
  static const std::initializer_list<int> kMeshKinds = {kExpMesh, kExpMeshNeedsUpdate, kExpMeshDeferred};
  if (!item || !IsOneOf(GetItemKind(item), kMeshKinds)) return nullptr;
  AnlModel* model = RequireOwner(ModelOfItem(GetParentItem(item)));
  return NthAccepted<AnlSubModel>(
      model->NumSubModels(), PositionAmongSiblings(item, kMeshKinds), [model](int i) { return model->GetSubModel(i); },
      ExpHasLiveMesh);
}

AmgConstraint* CExpTreeCtl::RefinementOfItem(HTREEITEM item) const {
  if (!item || GetItemKind(item) != kExpRefinement) return nullptr;
  AnlModel* model = RequireOwner(ModelOfItem(GetParentItem(GetParentItem(item))));
  return NthAccepted<AmgConstraint>(
      model->NumConstraints(), PositionAmongSiblings(item, {kExpRefinement}),
      [model](int i) { return model->GetConstraint(i); }, Live<AmgConstraint>);
}

AnlMateRelPair* CExpTreeCtl::MateRelationOfItem(HTREEITEM item) const {
  if (!item || GetItemKind(item) != kExpMateRelation) return nullptr;
  AnlModel* model = RequireOwner(ModelOfItem(GetParentItem(GetParentItem(item))));
  return NthAccepted<AnlMateRelPair>(
      model->NumMateRelPairs(), PositionAmongSiblings(item, {kExpMateRelation}),
      [model](int i) { return model->GetMateRelPair(i); }, Live<AnlMateRelPair>);
}

AnlJob* CExpTreeCtl::JobOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpJob, kExpJobWithResults})) return nullptr;
  HTREEITEM parent = GetParentItem(item);
  const int position = PositionAmongSiblings(item, {kExpJob, kExpJobWithResults});
  if (AnlModel* model = ModelOfItem(parent))
    return NthAccepted<AnlJob>(
        model->NumJobs(), position, [model](int i) { return model->GetJob(i); }, Live<AnlJob>);
  OptModel* optModel = RequireOwner(OptModelOfItem(parent));
  return NthAccepted<AnlJob>(
      optModel->NumJobs(), position, [optModel](int i) { return optModel->Job(i); }, Live<AnlJob>);
}

AttBaseLbc* CExpTreeCtl::LbcOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpLoad, kExpRestraint})) return nullptr;
  AttLbcCase* set = RequireOwner(LbcCaseOfItem(GetParentItem(item)));
  const std::vector<AttBaseLbc*> conditions = ExpLiveConditions(*set);
  const int position = PositionAmongSiblings(item, {});
  return position >= 1 && position <= static_cast<int>(conditions.size()) ? conditions[position - 1] : nullptr;
}

OptConstraint* CExpTreeCtl::ConstraintOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpConstraint, kExpControl})) return nullptr;
  OptModel* model = OptModelOfItem(GetParentItem(GetParentItem(item)));
  if (!model) return nullptr;
  int n = PositionAmongSiblings(item, {});
  for (OptConstraint* constraint = model->FirstConstraint(0); constraint; constraint = model->NextConstraint())
    if (Live(constraint) && --n == 0) return constraint;
  return nullptr;
}

OptVariable* CExpTreeCtl::VariableOfItem(HTREEITEM item) const {
  if (!item || GetItemKind(item) != kExpVariable) return nullptr;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  std::unique_ptr<OptVariableSet> set(control->GetDesignVariables());
  if (!set) return nullptr;
  int n = PositionAmongSiblings(item, {});
  for (OptVariable* variable = set->FirstVariable(); variable; variable = set->NextVariable())
    if (Live(variable) && --n == 0) return variable;
  return nullptr;
}

OptObjective* CExpTreeCtl::ObjectiveOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpShapeObjective, kExpConceptObjective})) return nullptr;
  OptModel* model = OptModelOfItem(GetParentItem(item));
  return model ? model->Objective() : nullptr;
}

AnlResltCase* CExpTreeCtl::AnlResultCaseOfItem(HTREEITEM item) const {
  if (!item || GetItemKind(item) != kExpResultCase) return nullptr;
  OptModel* model = OptModelOfItem(GetParentItem(item));
  if (!model) return nullptr;
  int n = PositionAmongSiblings(item, {kExpResultCase});
  for (AnlResltCase* rc = model->FirstAnlResultCase(0); rc; rc = model->NextAnlResultCase())
    if (Live(rc) && --n == 0) return rc;
  return nullptr;
}

OptResultCase* CExpTreeCtl::OptResultCaseOfItem(HTREEITEM item) const {
  if (!item || !IsOneOf(GetItemKind(item), {kExpShapeOptResult, kExpConceptOptResult})) return nullptr;
  OptModel* model = OptModelOfItem(GetParentItem(item));
  if (!model) return nullptr;
  int n = PositionAmongSiblings(item, {kExpShapeOptResult, kExpConceptOptResult});
  for (OptResultCase* rc = model->FirstOptResultCase(0); rc; rc = model->NextOptResultCase())
    if (Live(rc) && rc->ExitCode() != 0 && --n == 0) return rc;
  return nullptr;
}

// ---- availability ----

namespace {

unsigned OpenOrClose(bool current) { return (current ? kFlagClose : kFlagOpen) | kFlagDelete; }

}  // namespace

unsigned CExpTreeCtl::GetCommandFlags() {
  HTREEITEM item = GetSelectedItem();
  if (!item) return 0;
  const int kind = GetItemKind(item);
  HTREEITEM parent = GetParentItem(item);
  const int parentKind = parent ? GetItemKind(parent) : kExpNone;
  const bool current = IsItemCurrent(item);
  CadInterface* cad = CadInterface::GetCurrent();
  // A lookup whose owner is gone reports itself; the item then offers what needs no object.
  auto safely = [](auto lookup) {
    try {
      return lookup();
    } catch (const CaeExcept&) {
      return decltype(lookup())(nullptr);
    }
  };

  if (resultSetMode_ || selectMode_) {
    unsigned flags = 0;
    if (kind == kExpModel && resultSetMode_) {
      AnlModel* model = ModelOfItem(item);
      bool hasCase = false;
      for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        hasCase = hasCase || GetItemKind(child) == kExpResultCase;
      if (!(model && model->Type() == AnlHeatTransfer && hasCase)) flags |= kFlagNewResultSet;
    } else if (kind == kExpLoadSet && parentKind == kExpResultCase) {
      flags |= kFlagDelete;
      AnlModel* owner = ModelOfItem(GetParentItem(parent));
      if (owner && owner->Type() != AnlHeatTransfer) flags |= kFlagProperties;
    } else if (kind == kExpRestraintSet && parentKind == kExpResultCase) {
      flags |= kFlagDelete;
    } else if (kind == kExpResultCase && (resultSetMode_ || optMode_)) {
      flags |= kFlagDelete;
    }
    return flags;
  }

  switch (kind) {
    case kExpModel: {
      unsigned flags = kFlagSolve | kFlagProperties | OpenOrClose(current);
      if (Docked && cad && cad->QueryModelState(ModelQuestion::ModelReadyForCommand)) flags |= kFlagMesh;
      return flags;
    }
    case kExpOptResultModel: return OpenOrClose(current);
    case kExpMesh: return kFlagView | kFlagProperties | kFlagDelete;
    case kExpMeshNeedsUpdate: return kFlagView | kFlagUpdate | kFlagProperties | kFlagDelete;
    case kExpMeshDeferred: return kFlagGenerate | kFlagProperties | kFlagDelete;
    case kExpOptResultMesh: return kFlagView;
    case kExpLoadSet:
    case kExpRestraintSet: {
      if (parentKind != kExpRoot) return 0;
      unsigned flags = OpenOrClose(current);
      if (Docked) flags |= (kind == kExpLoadSet ? kFlagLoad : kFlagRestraint) | kFlagHeatTransfer;
      return flags;
    }
    case kExpResultCase: return kFlagDelete | (parentKind == kExpShapeModel ? kFlagProperties : 0u);
    case kExpResultSet: {
      unsigned flags = kFlagOpen | kFlagClose | kFlagDelete;
      if (current) flags |= kFlagWriteVrml | kFlagWriteNeutralFile;
      FerResultSet* set = safely([&] { return ResultSetOfItem(item); });
      if (set && !set->IsModelShape() && !set->IsModelConcept() && parentKind != kExpOptResultModel)
        flags |= kFlagDesignDoctor;
      return flags;
    }
    case kExpJob: {
      AnlJob* job = safely([&] { return JobOfItem(item); });
      return kFlagDelete | (job && job->Failed() ? kFlagDesignDoctor : 0u);
    }
    case kExpJobWithResults: return kFlagOpen | kFlagDelete | (parentKind == kExpModel ? kFlagDesignDoctor : 0u);
    case kExpValueLine: return kFlagOpen | kFlagClose;
    case kExpLoad:
    case kExpRestraint:
      return GetItemKind(parent) == kExpLoadSet || GetItemKind(parent) == kExpRestraintSet
                 ? (GetItemKind(GetParentItem(parent)) == kExpRoot ? kFlagDelete | kFlagProperties : 0u)
                 : 0u;
    case kExpShapeModel:
      return kFlagSolve | kFlagProperties | OpenOrClose(current) | (Docked ? kFlagDesignConstraint : 0u);
    case kExpConceptModel:
      return kFlagSolve | kFlagProperties | OpenOrClose(current) | (Docked ? kFlagConceptControl : 0u);
    case kExpVariable:
    case kExpShapeOptResult:
    case kExpConceptOptResult: return kFlagProperties | OpenOrClose(current);
    case kExpVariableFolder:
    case kExpConstraintFolder:
    case kExpControlFolder:
    case kExpRefinementFolder:
    case kExpMateFolder: return kFlagDelete;
    case kExpConstraint:
    case kExpControl:
    case kExpRefinement:
    case kExpMateRelation: return kFlagDelete | kFlagProperties;
    case kExpShapeObjective:
    case kExpConceptObjective: return kFlagProperties;
    case kExpHistoryGraph:
    case kExpSensitivityGraph:
    case kExpLocalTrendGraph: return kFlagOpen | kFlagProperties;
    case kExpRoot: {
      unsigned flags = kFlagNewLoadSet | kFlagNewRestraintSet | kFlagNewSimulationModel | kFlagNewOptimizationModel;
      if (!cad || !cad->ExplorerCommandRestricted()) flags |= kFlagProperties;
      if (Docked && cad && cad->QueryModelState(ModelQuestion::FreeGlobalParameters)) flags |= kFlagDesignVariable;
      return flags;
    }
    default: return 0;
  }
}

// ---- gestures ----

void CExpTreeCtl::OnLButtonDblClk(UINT, CPoint point) {
  if (!doubleClickEnabled_) return;
  UINT hit = 0;
  HTREEITEM item = HitTest(point, &hit);
  if (!item || !(hit & TVHT_ONITEM)) return;
  SelectItem(item);
  const bool properties = IsOneOf(GetItemKind(item), {kExpMesh, kExpLoad, kExpRestraint, kExpVariable, kExpConstraint,
                                                      kExpControl, kExpShapeObjective, kExpConceptObjective,
                                                      kExpRefinement, kExpMateRelation, kExpMeshNeedsUpdate});
  DoAction(properties ? kActProperties : kActOpen, 1);
}

void CExpTreeCtl::OnRButtonDown(UINT, CPoint point) {
  rightButtonPoint_ = point;
  DoAction(kActContextMenu, 0);
}

void CExpTreeCtl::OnKeyUp(UINT key, UINT, UINT) {
  if (key == VK_DELETE) OnDelete();
}

void CExpTreeCtl::OnBeginLabelEdit(NMHDR* header, LRESULT* result) {
  auto* info = reinterpret_cast<NMTVDISPINFO*>(header);
  const bool editable = (resultSetMode_ || selectMode_) && GetItemKind(info->item.hItem) == kExpResultCase;
  if (!editable) {
    *result = 1;
    return;
  }
  CadInterface* cad = CadInterface::GetCurrent();
  if (CEdit* edit = GetEditControl(); edit && cad) edit->LimitText(cad->MaxNameLength());
  labelEditing_ = 1;
  *result = 0;
}

void CExpTreeCtl::OnEndLabelEdit(NMHDR* header, LRESULT* result) {
  editInHand_ = reinterpret_cast<NMTVDISPINFO*>(header);
  DoAction(kActRename, 1);
  editInHand_ = nullptr;
  // DoRename has set the label when it took the text; the control must not set it again.
  *result = 0;
}
