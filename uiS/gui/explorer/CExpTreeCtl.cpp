// Building the Explorer tree: the image list and kind table, the rebuild and the item subtrees.
#include "gui/explorer/CExpTreeCtl.h"

#include <cstdio>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
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
#include "gui/explorer/ExpTreeSupport.h"
#include "mfc/gdi.h"
#include "mfc/resources.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kIconSize = 16;

// The icon resource of each kind 1 to 37 (index = kind).
constexpr int kKindIcons[kExpKindCount] = {
    0,
    IDI_EXP_MODEL,
    IDI_EXP_MESH,
    IDI_EXP_LOAD_SET,
    IDI_EXP_RESTRAINT_SET,
    IDI_EXP_RESULT_CASE,
    IDI_EXP_RESULT_CASE_READONLY,
    IDI_EXP_RESULT_SET,
    IDI_EXP_JOB,
    IDI_EXP_JOB_RESULTS,
    IDI_EXP_VALUE_LINE,
    IDI_ATT_LOAD,
    IDI_ATT_RESTRAINT,
    IDI_EXP_SHAPE_MODEL,
    IDI_EXP_CONCEPT_MODEL,
    IDI_EXP_VARIABLE_FOLDER,
    IDI_EXP_VARIABLE,
    IDI_EXP_CONSTRAINT_FOLDER,
    IDI_EXP_CONTROL_FOLDER,
    IDI_EXP_CONSTRAINT,
    IDI_EXP_CONTROL,
    IDI_EXP_SHAPE_OBJECTIVE,
    IDI_EXP_CONCEPT_OBJECTIVE,
    IDI_EXP_SHAPE_OPT_RESULT,
    IDI_EXP_CONCEPT_OPT_RESULT,
    IDI_EXP_UNUSED_KIND,
    IDI_EXP_HISTORY_GRAPH,
    IDI_EXP_SENSITIVITY_GRAPH,
    IDI_EXP_LOCAL_TREND_GRAPH,
    IDI_EXP_ROOT,
    IDI_EXP_REFINEMENT_FOLDER,
    IDI_EXP_REFINEMENT,
    IDI_EXP_MATE_FOLDER,
    IDI_EXP_MATE_RELATION,
    IDI_EXP_OPT_RESULT_MODEL,
    IDI_EXP_OPT_RESULT_MESH,
    IDI_EXP_MESH_NEEDS_UPDATE,
    IDI_EXP_MESH_DEFERRED,
    0,
};

CaeString Marked(const CaeString& name, bool marked) { return marked ? name + "*" : name; }

CaeString JobLabel(const AnlJob& job, unsigned stateId) {
  return ExpFormat("%s %s: %s", resLoadString(IDS_EXP_ANALYSIS_JOB).Text(), job.Name().Text(),
                   resLoadString(stateId).Text());
}

// The short name of the host unit of a base quantity; empty for other unit types.
CaeString HostUnitName(int unitType) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!table || unitType < 0 || unitType >= CaeUnitSystem::kBaseCount) return CaeString();
  return table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType));
}

CaeString ValueLineLabel(const FerResultSet& set, int position) {
  if (set.IsModelShape() || set.IsModelConcept()) {
    if (position == 1) return resLoadString(IDS_EXP_INITIAL_DESIGN);
    return ExpFormat("%s %d", resLoadString(IDS_EXP_DESIGN_CYCLE).Text(), position - 1);
  }
  const FerResultSubSet* subSet = set.GetSubSet(position - 1);
  const double native = subSet ? subSet->GetValue() : 0.0;
  const int unitType = static_cast<int>(set.SubSetUnits());
  const double host = CaeUnit::IsKnownType(unitType) ? CaeUnit::NativeToHost(unitType, native) : native;
  return ExpFormat("%.3e %s ", host, HostUnitName(unitType).Text());
}

}  // namespace

CExpTreeCtl::CExpTreeCtl() { KindTable.fill(-1); }

CExpTreeCtl::~CExpTreeCtl() = default;

CExpTreeCtl& CExpTreeCtl::SetResultSetMode(int on) {
  resultSetMode_ = on;
  return *this;
}
CExpTreeCtl& CExpTreeCtl::SetSelectMode(int on) {
  selectMode_ = on;
  return *this;
}
CExpTreeCtl& CExpTreeCtl::SetOptMode(int on) {
  optMode_ = on;
  return *this;
}
CExpTreeCtl& CExpTreeCtl::EnableDrag(int on) {
  dragEnabled_ = on;
  return *this;
}
CExpTreeCtl& CExpTreeCtl::EnableDoubleClick(int on) {
  doubleClickEnabled_ = on;
  return *this;
}
CExpTreeCtl& CExpTreeCtl::EnableContextMenu(int on) {
  contextMenuEnabled_ = on;
  return *this;
}

void CExpTreeCtl::PreSubclassWindow() {
  imageList_ = std::make_unique<CImageList>();
  imageList_->Create(kIconSize, kIconSize, ILC_MASK, 4, 4);
  {
    ResourceSetter resources(1);
    for (int kind = kExpModel; kind <= kExpMeshDeferred; ++kind) {
      HICON icon = ::LoadIcon(AfxGetResourceHandle(), static_cast<UINT>(kKindIcons[kind]));
      KindTable[static_cast<size_t>(kind)] = imageList_->Add(icon);
      if (icon) ::DestroyIcon(icon);  // the list keeps its own copy
    }
  }
  SetImageList(imageList_.get(), TVSIL_NORMAL);
  Refresh();
  CTreeCtrl::PreSubclassWindow();
}

int CExpTreeCtl::ImageOfKind(int kind) const {
  return kind > 0 && kind < kExpKindCount ? KindTable[static_cast<size_t>(kind)] : -1;
}

int CExpTreeCtl::GetItemKind(HTREEITEM item) const {
  int image = -1;
  int selected = -1;
  if (!item || !GetItemImage(item, image, selected) || image < 0) return kExpNone;
  for (int kind = 1; kind < kExpKindCount; ++kind)
    if (KindTable[static_cast<size_t>(kind)] == image) return kind;
  return kExpNone;
}

CaeString CExpTreeCtl::GetItemName(HTREEITEM item) const {
  std::string text = static_cast<const char*>(GetItemText(item));
  if (!text.empty() && text.back() == '*') text.pop_back();
  return CaeString(text.c_str());
}

bool CExpTreeCtl::IsItemCurrent(HTREEITEM item) const {
  CString text = GetItemText(item);
  return text.GetLength() > 0 && text[text.GetLength() - 1] == '*';
}

HTREEITEM CExpTreeCtl::InsertKindItem(const CaeString& label, int kind, HTREEITEM parent, HTREEITEM after) {
  const int image = ImageOfKind(kind);
  return InsertItem(label.Text(), image, image, parent, after);
}

// ---- the rebuild ----

std::vector<int> CExpTreeCtl::SelectionPath() const {
  std::vector<int> path;
  for (HTREEITEM item = GetSelectedItem(); item; item = GetParentItem(item))
    path.insert(path.begin(), PositionAmongSiblings(item, {}));
  return path;
}

// Walks the recorded positions down from the root, stopping at the last sibling when there are
// fewer, and selects the item reached: the selected item's own place, so that a rebuild between
// a selection and an action leaves the action on the same object.
void CExpTreeCtl::RestoreSelection(const std::vector<int>& path) {
  HTREEITEM item = GetRootItem();
  for (size_t level = 0; item && level < path.size(); ++level) {
    for (int position = 1; position < path[level]; ++position) {
      HTREEITEM next = GetNextSiblingItem(item);
      if (!next) break;
      item = next;
    }
    if (level + 1 == path.size()) break;
    HTREEITEM child = GetChildItem(item);
    if (!child) break;
    Expand(item, TVE_EXPAND);
    item = child;
  }
  if (item) SelectItem(item);
}

void CExpTreeCtl::Refresh() {
  const std::vector<int> path = SelectionPath();
  // Factors are kept per item; a handle of the old tree may come back for another item.
  ScaleFactors.clear();
  DeleteAllItems();
  rootItem_ = nullptr;
  currentModelItem_ = nullptr;
  currentOptModelItem_ = nullptr;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return;
  ExpMaterialCache materials;
  materials_ = &materials;

  rootItem_ = InsertKindItem(control->Name(), kExpRoot, TVI_ROOT);
  if (ShowLoadSets) {
    AttLbcCase* current = control->CurrentLoadCase();
    for (AttLbcCase* set = control->FirstLoadCase(); set; set = control->NextLoadCase())
      AddLoadSetItem(set, rootItem_, set == current);
  }
  if (ShowRestraintSets) {
    AttLbcCase* current = control->CurrentRestraintCase();
    for (AttLbcCase* set = control->FirstRestraintCase(); set; set = control->NextRestraintCase())
      AddRestraintSetItem(set, rootItem_, set == current);
  }
  if (ShowDesignVariables) {
    std::unique_ptr<OptVariableSet> variables(control->GetDesignVariables());
    AddDesignVariableItems(variables.get(), rootItem_);
  }
  if (ShowSimulationModels) {
    AnlModel* current = control->CurrentAnlModel();
    std::vector<AnlModel*> models;
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel())
      if (!model->IsMarkedAsErased()) models.push_back(model);
    for (AnlModel* model : models)
      if (!IsSecondModelOfOptResult(model)) AddModelItem(model, current, rootItem_);
  }
  if (ShowOptModels) {
    OptModel* current = control->CurrentOptModel();
    std::vector<OptModel*> models;
    for (OptModel* model = control->FirstOptModel(); model; model = control->NextOptModel())
      if (!model->IsMarkedAsErased()) models.push_back(model);
    for (OptModel* model : models) AddOptModelItems(model, current, control->CurrentAnlModel(), rootItem_);
  }
  Expand(rootItem_, TVE_EXPAND);
  materials_ = nullptr;
  if (!path.empty()) RestoreSelection(path);
}

bool CExpTreeCtl::IsSecondModelOfOptResult(AnlModel* model) {
  AnlControl* control = AnlControl::GetCurrent();
  std::vector<OptModel*> optModels;
  for (OptModel* optModel = control->FirstOptModel(); optModel; optModel = control->NextOptModel())
    optModels.push_back(optModel);
  for (OptModel* optModel : optModels)
    for (OptResultCase* rc = optModel->FirstOptResultCase(0); rc; rc = optModel->NextOptResultCase())
      if (rc->SecondAnlModel() == model) return true;
  return false;
}

// ---- set items ----

void CExpTreeCtl::AddSetItem(AttLbcCase* set, HTREEITEM parent, int marked, int setKind, int conditionKind) {
  if (!set) return;
  HTREEITEM item = InsertKindItem(Marked(set->Name(), marked != 0), setKind, parent);
  for (const CaeString& name : set->LiveLbcNames()) InsertKindItem(name, conditionKind, item);
}

void CExpTreeCtl::AddLoadSetItem(AttLbcCase* set, HTREEITEM parent, int marked) {
  AddSetItem(set, parent, marked, kExpLoadSet, kExpLoad);
}

void CExpTreeCtl::AddRestraintSetItem(AttLbcCase* set, HTREEITEM parent, int marked) {
  AddSetItem(set, parent, marked, kExpRestraintSet, kExpRestraint);
}

void CExpTreeCtl::AddDesignVariableItems(OptVariableSet* set, HTREEITEM parent) {
  if (!set || set->Count() == 0) return;
  HTREEITEM folder = nullptr;
  for (OptVariable* variable = set->FirstVariable(); variable; variable = set->NextVariable()) {
    if (variable->IsMarkedAsErased()) continue;
    if (!folder) folder = InsertKindItem(set->Name(), kExpVariableFolder, parent);
    InsertKindItem(Marked(variable->Name(), variable->IsMarkedAsCurrent()), kExpVariable, folder);
  }
}

// ---- result cases ----

HTREEITEM CExpTreeCtl::AddResultCaseItems(AnlResltCase* resultCase, HTREEITEM parent) {
  if (!resultCase) return parent;
  const bool edited = resultCase == EditedResultCase;
  const int kind = (!selectMode_ || edited || optMode_) ? kExpResultCase : kExpResultCaseReadOnly;
  HTREEITEM after = TVI_LAST;
  if (edited) {
    SimulationType = static_cast<int>(resultCase->Type());
    after = TVI_FIRST;
    for (HTREEITEM child = GetChildItem(parent); child; child = GetNextSiblingItem(child)) {
      const int childKind = GetItemKind(child);
      if (childKind != kExpResultCase && childKind != kExpResultCaseReadOnly) break;
      after = child;
    }
  }
  HTREEITEM item = InsertKindItem(resultCase->Name(), kind, parent, after);
  for (AnlLbcCase* entry = resultCase->FirstLbcCase(AttLbcCase::kLoadSet); entry; entry = resultCase->NextLbcCase())
    AddLoadSetItem(entry->LbcCase(), item, 0);
  for (AnlLbcCase* entry = resultCase->FirstLbcCase(AttLbcCase::kRestraintSet); entry;
       entry = resultCase->NextLbcCase())
    AddRestraintSetItem(entry->LbcCase(), item, 0);
  if (edited || optMode_) {
    Expand(item, TVE_EXPAND);
    SelectItem(item);
  }
  return item;
}

// ---- optimisation models ----

void CExpTreeCtl::AddOptModelItems(OptModel* model, OptModel* current, AnlModel* currentModel, HTREEITEM root) {
  if ((selectMode_ || optMode_) && model != current) return;
  const bool isConcept = static_cast<int>(model->Type()) == 1;
  HTREEITEM item =
      InsertKindItem(Marked(model->Name(), model == current), isConcept ? kExpConceptModel : kExpShapeModel, root);
  if (model == current) currentOptModelItem_ = item;
  if (optMode_) {
    ResultCaseTypes.clear();
    for (AnlResltCase* resultCase : ResultCases) {
      AddResultCaseItems(resultCase, item);
      ResultCaseTypes.push_back(static_cast<int>(resultCase->Type()));
    }
  } else {
    for (AnlResltCase* rc = model->FirstAnlResultCase(0); rc; rc = model->NextAnlResultCase())
      if (!rc->IsMarkedAsErased()) AddResultCaseItems(rc, item);
  }
  if (!selectMode_) {
    HTREEITEM folder = nullptr;
    for (OptConstraint* constraint = model->FirstConstraint(0); constraint; constraint = model->NextConstraint()) {
      if (constraint->IsMarkedAsErased()) continue;
      if (!folder)
        folder = InsertKindItem(resLoadString(isConcept ? IDS_EXP_CONCEPT_CONTROLS : IDS_EXP_DESIGN_CONSTRAINTS),
                                isConcept ? kExpControlFolder : kExpConstraintFolder, item);
      InsertKindItem(constraint->Name(), isConcept ? kExpControl : kExpConstraint, folder);
    }
    OptObjective* objective = model->Objective();
    if (objective && !objective->IsMarkedAsErased())
      InsertKindItem(objective->Name(), isConcept ? kExpConceptObjective : kExpShapeObjective, item);
    AddOptResultCaseItems(model, currentModel, item);
  }
  for (int index = 0; index < model->NumJobs(); ++index) AddJobItem(model->Job(index), item);
  if (model == current) Expand(item, TVE_EXPAND);
}

void CExpTreeCtl::AddOptResultCaseItems(OptModel* model, AnlModel* currentModel, HTREEITEM modelItem) {
  const bool isConcept = static_cast<int>(model->Type()) == 1;
  for (OptResultCase* rc = model->FirstOptResultCase(0); rc; rc = model->NextOptResultCase()) {
    if (rc->IsMarkedAsErased() || rc->ExitCode() == 0) continue;
    HTREEITEM item = InsertKindItem(Marked(rc->Name(), rc->IsMarkedAsCurrent()),
                                    isConcept ? kExpConceptOptResult : kExpShapeOptResult, modelItem);
    if (rc->HasHistory() && !isConcept) InsertKindItem(ExpEngineMessage(kExpHistoryMessage), kExpHistoryGraph, item);
    if (rc->HasSensitivity()) {
      InsertKindItem(ExpEngineMessage(kExpSensitivityMessage), kExpSensitivityGraph, item);
      InsertKindItem(ExpEngineMessage(kExpLocalTrendMessage), kExpLocalTrendGraph, item);
    }
    AddModelItem(rc->SecondAnlModel(), currentModel, item);
    if (rc->IsMarkedAsCurrent() && !resultSetMode_ && !selectMode_) Expand(item, TVE_EXPAND);
  }
}

// ---- model subtree ----

int CExpTreeCtl::MeshKind(AnlSubModel* subModel, bool underOptResult) const {
  if (underOptResult) return kExpOptResultMesh;
  AmgMesh* mesh = subModel->Mesh();
  CaeMaterial* material = subModel->GetMaterial();
  if (!material || !materials_ || !materials_->Has(material->Name()) || mesh->NeedsUpdate()) return kExpMeshNeedsUpdate;
  if (mesh->Deferred() && !mesh->Generated()) return kExpMeshDeferred;
  return kExpMesh;
}

void CExpTreeCtl::AddMeshItems(AnlModel* model, HTREEITEM modelItem, bool underOptResult) {
  const int count = model->NumSubModels();
  for (int index = 0; index < count; ++index) {
    AnlSubModel* subModel = model->GetSubModel(index);
    if (!ExpHasLiveMesh(subModel)) continue;
    InsertKindItem(subModel->Name(), MeshKind(subModel, underOptResult), modelItem);
  }
}

void CExpTreeCtl::AddRefinementItems(AnlModel* model, HTREEITEM modelItem) {
  const int count = model->NumConstraints();
  if (count <= 0) return;
  HTREEITEM folder = InsertKindItem(resLoadString(IDS_EXP_MESH_REFINEMENTS), kExpRefinementFolder, modelItem);
  for (int position = 1; position <= count; ++position) {
    AmgConstraint* refinement = model->GetConstraint(position - 1);
    if (!refinement) {
      ExpReportConsistency(__FILE__, __LINE__);
      continue;
    }
    if (refinement->IsMarkedAsErased()) continue;
    InsertKindItem(ExpFormat("%s %d", resLoadString(IDS_EXP_MESH_REFINEMENT).Text(), position), kExpRefinement, folder);
  }
}

void CExpTreeCtl::AddMateItems(AnlModel* model, HTREEITEM modelItem) {
  const int count = model->NumMateRelPairs();
  if (count <= 0) return;
  HTREEITEM folder = InsertKindItem(resLoadString(IDS_EXP_MATING_RELATIONS), kExpMateFolder, modelItem);
  for (int index = 0; index < count; ++index) {
    AnlMateRelPair* pair = model->GetMateRelPair(index);
    if (pair && !pair->IsMarkedAsErased()) InsertKindItem(pair->Name(), kExpMateRelation, folder);
  }
}

void CExpTreeCtl::AddModelItem(AnlModel* model, AnlModel* current, HTREEITEM parent) {
  if (!model) return;
  const int parentKind = GetItemKind(parent);
  const bool underOptResult = parentKind == kExpShapeOptResult || parentKind == kExpConceptOptResult;
  const bool marked = model == current;
  HTREEITEM item =
      InsertKindItem(Marked(model->Name(), marked), underOptResult ? kExpOptResultModel : kExpModel, parent);
  if (marked) currentModelItem_ = item;
  AddMeshItems(model, item, underOptResult);
  AddRefinementItems(model, item);
  AddMateItems(model, item);
  for (int index = 0; index < model->NumResultSets(); ++index) {
    FerResultSet* set = model->GetResultSet(index);
    if (!set) {
      ExpReportConsistency(__FILE__, __LINE__);
      continue;
    }
    AddResultSetItem(set, item);
  }
  for (int index = 0; index < model->NumJobs(); ++index) {
    AnlJob* job = model->GetJob(index);
    if (!job) {
      ExpReportConsistency(__FILE__, __LINE__);
      continue;
    }
    AddJobItem(job, item);
  }
  if (marked && !selectMode_) Expand(item, TVE_EXPAND);
}

void CExpTreeCtl::AddResultSetItem(FerResultSet* set, HTREEITEM parent) {
  if (!set || set->IsMarkedAsErased()) return;
  const CaeString displayed = ExpDisplayedResultSetName();
  const bool isDisplayed = !displayed.IsEmpty() && set->Name() == displayed;
  HTREEITEM item = InsertKindItem(Marked(set->Name(), isDisplayed), kExpResultSet, parent);
  const int displayedSubSet = isDisplayed ? ExpDisplayedSubSet() : 0;
  for (int position = 1; position <= set->NumSubSets(); ++position)
    InsertKindItem(Marked(ValueLineLabel(*set, position), position == displayedSubSet), kExpValueLine, item);
  if (isDisplayed && !resultSetMode_ && !selectMode_) Expand(item, TVE_EXPAND);
}

void CExpTreeCtl::AddJobItem(AnlJob* job, HTREEITEM parent) {
  if (!job || job->IsMarkedAsErased()) return;
  // A status check that fails is reported; the job is listed as last known and the fill goes on.
  ExpRunGuarded([job] { job->Check(); });
  if (job->HaveResults()) {
    HTREEITEM item = InsertKindItem(JobLabel(*job, IDS_EXP_JOB_COMPLETED), kExpJobWithResults, parent);
    if (!resultSetMode_ && !selectMode_) SelectItem(item);
    return;
  }
  const unsigned state = job->IsPending() ? IDS_EXP_JOB_PENDING
                         : job->Failed()  ? IDS_EXP_JOB_FAILED
                                          : IDS_EXP_JOB_NOT_RUN;
  InsertKindItem(JobLabel(*job, state), kExpJob, parent);
}
