// The Explorer as an editor of result cases: new cases, the default case, the type switch of a
// select-mode host, the commit into ResultCases, renames and drag and drop of sets onto cases.
#include <string>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "gui/explorer/ExpTreeSupport.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"

namespace {

// The leading word of a result case's name by analysis type; heat transfer has none in the
// select-mode switch.
const char* TypeWord(int type, bool withHeat) {
  switch (type) {
    case AnlStress: return "Stress";
    case AnlVibration: return "Vibration";
    case AnlBuckling: return "Buckling";
    case AnlHeatTransfer: return withHeat ? "HeatTransfer" : "";
    default: return "";
  }
}

AttLbcCase* LiveSetNamed(AnlControl& control, int kind, const CaeString& name) {
  if (kind == kExpLoadSet) {
    for (AttLbcCase* set = control.FirstLoadCase(); set; set = control.NextLoadCase())
      if (!set->IsMarkedAsErased() && set->Name() == name) return set;
  } else {
    for (AttLbcCase* set = control.FirstRestraintCase(); set; set = control.NextRestraintCase())
      if (!set->IsMarkedAsErased() && set->Name() == name) return set;
  }
  return nullptr;
}

bool JobHasCaseNamed(AnlJob& job, const CaeString& name) {
  for (int index = 0; index < job.NumRCNames(); ++index) {
    CaeString first;
    CaeString second;
    if (job.GetResltCaseNames(index, first, second) && (first == name || second == name)) return true;
  }
  return false;
}

}  // namespace

// ---- names of result cases ----

bool CExpTreeCtl::ResultCaseNameTaken(AnlModel* model, HTREEITEM modelItem, HTREEITEM except,
                                      const CaeString& name) const {
  for (HTREEITEM child = GetChildItem(modelItem); child; child = GetNextSiblingItem(child)) {
    const int kind = GetItemKind(child);
    if (child != except && (kind == kExpResultCase || kind == kExpResultCaseReadOnly) && GetItemName(child) == name)
      return true;
  }
  if (!model) return false;
  if (model->FindResultSet(name)) return true;
  for (int index = 0; index < model->NumJobs(); ++index) {
    AnlJob* job = model->GetJob(index);
    if (job && !job->IsMarkedAsErased() && JobHasCaseNamed(*job, name)) return true;
  }
  return false;
}

CaeString CExpTreeCtl::UniqueResultCaseName(AnlModel* model, HTREEITEM modelItem) const {
  CadInterface* cad = CadInterface::GetCurrent();
  const CaeString word(TypeWord(static_cast<int>(model->Type()), true));
  CaeString base = model->Name() + word;
  if (cad && static_cast<int>(base.Length()) > cad->MaxNameLength()) base = word;
  CaeString candidate = base;
  for (int n = 1; ResultCaseNameTaken(model, modelItem, nullptr, candidate); ++n)
    candidate = ExpFormat("%s%d", base.Text(), n);
  return candidate;
}

bool CExpTreeCtl::ValidResultCaseLabel(HTREEITEM item, const char* text) {
  CadInterface* cad = CadInterface::GetCurrent();
  const CaeString name(text);
  HTREEITEM parent = GetParentItem(item);
  const bool valid = !name.IsEmpty() && CadIsValidName(text) &&
                     (!cad || static_cast<int>(name.Length()) <= cad->MaxNameLength()) &&
                     !ResultCaseNameTaken(ModelOfItem(parent), parent, item, name);
  if (!valid) CadMessageBoxText(resLoadString(IDS_EXP_BAD_CASE_NAME).Text(), MB_OK | MB_ICONEXCLAMATION);
  return valid;
}

// ---- new and default result cases ----

void CExpTreeCtl::DoNewResultSet() {
  HTREEITEM item = GetSelectedItem();
  AnlControl* control = AnlControl::GetCurrent();
  if (!item || !control || !resultSetMode_ || GetItemKind(item) != kExpModel) return;
  AnlModel* model = control->CurrentAnlModel();
  if (!model) return;
  const int image = ImageOfKind(kExpResultCase);
  HTREEITEM resultCase = InsertItem(UniqueResultCaseName(model, item).Text(), image, image, item);
  SelectItem(resultCase);
}

void CExpTreeCtl::AddDefaultResultSet() {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !currentModelItem_) return;
  SelectItem(currentModelItem_);
  DoAction(kActNewResultSet, 0);
  HTREEITEM item = GetSelectedItem();
  if (!item || GetItemKind(item) != kExpResultCase) return;
  AttLbcCase* restraints = control->CurrentRestraintCase();
  if (!restraints) restraints = control->FirstRestraintCase();
  AttLbcCase* loads = control->CurrentLoadCase();
  if (!loads) loads = control->FirstLoadCase();
  if (AnlModel* model = control->CurrentAnlModel()) SimulationType = static_cast<int>(model->Type());
  if (SimulationType != AnlVibration) AddLoadSetItem(loads, item, 1);
  AddRestraintSetItem(restraints, item, 1);
  Expand(item, TVE_EXPAND);
  SelectItem(item);
}

void CExpTreeCtl::AddResultCaseItem(AnlResltCase* resultCase) {
  if (!resultCase || !currentOptModelItem_) return;
  const int savedSelectMode = selectMode_;
  selectMode_ = 0;
  SelectItem(currentOptModelItem_);
  AddResultCaseItems(resultCase, currentOptModelItem_);
  SimulationType = static_cast<int>(resultCase->Type());
  selectMode_ = savedSelectMode;
}

void CExpTreeCtl::OnSimulationTypeChanged(int type) {
  if (!selectMode_ || type == SimulationType) return;
  const std::string oldWord = TypeWord(SimulationType, false);
  SimulationType = type;
  const std::string newWord = TypeWord(type, false);
  if (!currentOptModelItem_) return;
  HTREEITEM caseItem = GetChildItem(currentOptModelItem_);
  while (caseItem && GetItemKind(caseItem) != kExpResultCase) caseItem = GetNextSiblingItem(caseItem);
  if (!caseItem) return;
  const std::string name = static_cast<const char*>(GetItemText(caseItem));
  if (!oldWord.empty() && name.compare(0, oldWord.size(), oldWord) == 0)
    SetItemText(caseItem, (newWord + name.substr(oldWord.size())).c_str());
  HTREEITEM loadSet = GetChildItem(caseItem);
  while (loadSet && GetItemKind(loadSet) != kExpLoadSet) loadSet = GetNextSiblingItem(loadSet);
  if (loadSet) {
    if (type == AnlVibration) CTreeCtrl::DeleteItem(loadSet);
    return;
  }
  if (!EditedResultCase) return;
  AnlControl* control = AnlControl::GetCurrent();
  if (EditedResultCase->Type() == AnlResltModal) {
    if (!control) return;
    AttLbcCase* loads = control->CurrentLoadCase();
    AddLoadSetItem(loads ? loads : control->FirstLoadCase(), caseItem, 0);
    return;
  }
  for (AnlLbcCase* entry = EditedResultCase->FirstLbcCase(AttLbcCase::kLoadSet); entry;
       entry = EditedResultCase->NextLbcCase())
    AddLoadSetItem(entry->LbcCase(), caseItem, 0);
}

// ---- commit ----

void CExpTreeCtl::CommitResultCases() {
  if (!resultSetMode_ && !selectMode_) return;
  AnlControl* control = AnlControl::GetCurrent();
  HTREEITEM parent = resultSetMode_ ? currentModelItem_ : currentOptModelItem_;
  if (!control || !parent || !contains(parent)) return;
  AnlModel* model = control->CurrentAnlModel();
  std::vector<AnlResltCase*> cases;
  size_t index = 0;
  for (HTREEITEM child = GetChildItem(parent); child; child = GetNextSiblingItem(child)) {
    if (GetItemKind(child) != kExpResultCase) continue;
    auto* resultCase = new AnlResltCase(GetItemName(child));
    if (optMode_ && index < ResultCaseTypes.size()) SimulationType = ResultCaseTypes[index];
    const int type = resultSetMode_ && model ? static_cast<int>(model->Type()) : SimulationType;
    resultCase->Type(static_cast<AnlResltType>(type));
    for (HTREEITEM set = GetChildItem(child); set; set = GetNextSiblingItem(set)) {
      const int kind = GetItemKind(set);
      if (kind != kExpLoadSet && kind != kExpRestraintSet) continue;
      AttLbcCase* found = LiveSetNamed(*control, kind, GetItemName(set));
      if (!found) continue;
      if (kind == kExpLoadSet)
        resultCase->AddLoadCase(found, ScaleFactorOf(set));
      else
        resultCase->AddBoundaryCase(found, 1.0);
    }
    cases.push_back(resultCase);
    ++index;
  }
  ResultCases = std::move(cases);
}

// ---- drag and drop ----

bool CExpTreeCtl::IsDescendant(HTREEITEM item, HTREEITEM ancestor) const {
  for (HTREEITEM up = item ? GetParentItem(item) : nullptr; up; up = GetParentItem(up))
    if (up == ancestor) return true;
  return false;
}

// The whole label is copied: the commit finds the sets by their labels.
HTREEITEM CExpTreeCtl::CopySubtree(HTREEITEM item, HTREEITEM newParent) {
  int image = 0;
  int selected = 0;
  GetItemImage(item, image, selected);
  HTREEITEM copy = InsertItem(static_cast<const char*>(GetItemText(item)), image, selected, newParent, TVI_SORT);
  for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child)) CopySubtree(child, copy);
  return copy;
}

bool CExpTreeCtl::CanDrop() {
  if (!dragging_) return true;
  HTREEITEM source = draggedItem_;
  HTREEITEM target = dropTarget_;
  if (!source || !target || target == source || IsDescendant(target, source) || target == GetParentItem(source))
    return false;
  const int sourceKind = GetItemKind(source);
  if ((sourceKind != kExpLoadSet && sourceKind != kExpRestraintSet) || GetItemKind(target) != kExpResultCase)
    return false;
  if (!resultSetMode_ && !selectMode_) return false;
  auto holds = [this](HTREEITEM caseItem, int kind) {
    for (HTREEITEM child = GetChildItem(caseItem); child; child = GetNextSiblingItem(child))
      if (GetItemKind(child) == kind) return child;
    return static_cast<HTREEITEM>(nullptr);
  };
  if (sourceKind == kExpRestraintSet) {
    if (holds(target, kExpRestraintSet)) return false;
    // All result cases of one parent use the same restraint set.
    const CaeString name = GetItemName(source);
    for (HTREEITEM sibling = GetChildItem(GetParentItem(target)); sibling; sibling = GetNextSiblingItem(sibling)) {
      if (GetItemKind(sibling) != kExpResultCase) continue;
      HTREEITEM used = holds(sibling, kExpRestraintSet);
      if (used && GetItemName(used) != name) return false;
    }
    return true;
  }
  if (holds(target, kExpLoadSet) && (SimulationType == AnlHeatTransfer || SimulationType == AnlBuckling || selectMode_))
    return false;
  if (optMode_) {
    const size_t index = static_cast<size_t>(PositionAmongSiblings(target, {kExpResultCase}) - 1);
    if (index < ResultCaseTypes.size()) SimulationType = ResultCaseTypes[index];
  }
  return !(selectMode_ && SimulationType == AnlVibration);
}

void CExpTreeCtl::OnBeginDrag(NMHDR* header, LRESULT* result) {
  *result = 0;
  if (!dragEnabled_) return;
  auto* info = reinterpret_cast<NMTREEVIEW*>(header);
  UINT hit = 0;
  HTREEITEM item = HitTest(info->ptDrag, &hit);
  if (!item) item = info->itemNew.hItem;
  const int kind = GetItemKind(item);
  if (kind != kExpLoadSet && kind != kExpRestraintSet) return;
  draggedItem_ = item;
  dropTarget_ = nullptr;
  dragging_ = 1;
  dragImage_.reset(CreateDragImage(item));
  if (dragImage_) {
    dragImage_->BeginDrag(0, CPoint(0, 0));
    CImageList::DragEnter(this, info->ptDrag);
  }
  ::SetCapture(m_hWnd);
}

void CExpTreeCtl::OnMouseMove(UINT, CPoint point) {
  if (!dragging_) return;
  CImageList::DragMove(point);
  UINT hit = 0;
  HTREEITEM item = HitTest(point, &hit);
  if (item) {
    dropTarget_ = item;
    CImageList::DragShowNolock(FALSE);
    SelectDropTarget(item);
    CImageList::DragShowNolock(TRUE);
    return;
  }
  CRect client;
  GetClientRect(&client);
  if (point.y < client.top || point.y > client.bottom) {
    CImageList::DragShowNolock(FALSE);
    SendMessage(WM_VSCROLL, point.y < client.top ? SB_LINEUP : SB_LINEDOWN, 0);
    CImageList::DragShowNolock(TRUE);
  }
}

void CExpTreeCtl::OnLButtonUp(UINT, CPoint) {
  if (dragging_) EndDrag();
}

void CExpTreeCtl::EndDrag() {
  CImageList::DragLeave(this);
  CImageList::EndDrag();
  if (CanDrop()) {
    CopySubtree(draggedItem_, dropTarget_);
    Expand(dropTarget_, TVE_EXPAND);
  } else {
    ::MessageBeep(0);
  }
  ::ReleaseCapture();
  dragging_ = 0;
  dragImage_.reset();
  draggedItem_ = nullptr;
  dropTarget_ = nullptr;
  SelectDropTarget(nullptr);
}
