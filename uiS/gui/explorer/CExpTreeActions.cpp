// The Explorer's one guarded way to run an action, its recovery after a failure, the context
// menu and the handlers of the menu's commands.
#include <cstdint>
#include <exception>

#include "amg/CaeExcept.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "cadInterface/CadUiServices.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "gui/explorer/ExpTreeSupport.h"
#include "mfc/menu.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"

namespace {

// The job poll the Explorer dialog runs after a Solve from the tree.
constexpr UINT_PTR kJobPollTimer = 0;
constexpr UINT kJobPollMs = 3000;

struct MenuEntry {
  unsigned flag;
  UINT command;
};

// Every entry of menu 235 with the availability bit that keeps it.
constexpr MenuEntry kMenuEntries[] = {
    {kFlagOpen, IDM_EXP_OPEN},
    {kFlagClose, IDM_EXP_CLOSE},
    {kFlagDelete, IDM_EXP_DELETE},
    {kFlagProperties, IDM_EXP_PROPERTIES},
    {kFlagDesignDoctor, IDM_EXP_DESIGN_DOCTOR},
    {kFlagGenerate, IDM_EXP_GENERATE},
    {kFlagUpdate, IDM_EXP_UPDATE},
    {kFlagView, IDM_EXP_VIEW},
    {kFlagSolve, IDM_EXP_SOLVE},
    {kFlagNewResultSet, IDM_EXP_NEW_RESULT_SET},
    {kFlagNewSimulationModel, IDM_EXP_NEW_SIMULATION_MODEL},
    {kFlagNewOptimizationModel, IDM_EXP_NEW_OPTIMIZATION_MODEL},
    {kFlagNewLoadSet, IDM_EXP_NEW_LOAD_SET},
    {kFlagNewRestraintSet, IDM_EXP_NEW_RESTRAINT_SET},
    {kFlagLoad, IDM_EXP_LOAD},
    {kFlagRestraint, IDM_EXP_RESTRAINT},
    {kFlagHeatTransfer, IDM_EXP_HEAT_TRANSFER},
    {kFlagMeshConstraint, IDM_EXP_MESH_CONSTRAINT},
    {kFlagMesh, IDM_EXP_MESH},
    {kFlagDesignVariable, IDM_EXP_DESIGN_VARIABLE},
    {kFlagDesignConstraint, IDM_EXP_DESIGN_CONSTRAINT},
    {kFlagConceptControl, IDM_EXP_CONCEPT_CONTROL},
    {kFlagWriteVrml, IDM_EXP_WRITE_VRML},
    {kFlagWriteNeutralFile, IDM_EXP_WRITE_NEUTRAL_FILE},
};

bool IsSeparator(const CMenu& menu, int position) {
  return menu.GetSubMenu(position) == nullptr && menu.GetMenuItemID(position) == 0;
}

}  // namespace

void ExpPruneMenu(CMenu& popup, unsigned flags) {
  for (const MenuEntry& entry : kMenuEntries)
    if (!(flags & entry.flag)) popup.RemoveMenu(entry.command, MF_BYCOMMAND);
}

// Removes emptied submenus and separators that are first, last or next to another separator.
void ExpTidyMenu(CMenu& popup) {
  for (int position = 0; position < popup.GetMenuItemCount();) {
    const int count = popup.GetMenuItemCount();
    CMenu* sub = popup.GetSubMenu(position);
    const bool emptySub = sub && sub->GetMenuItemCount() <= 0;
    const bool strandedSeparator =
        IsSeparator(popup, position) && (position == 0 || position == count - 1 || IsSeparator(popup, position + 1) ||
                                         IsSeparator(popup, position - 1));
    if (emptySub || strandedSeparator) {
      popup.RemoveMenu(static_cast<UINT>(position), MF_BYPOSITION);
      continue;
    }
    ++position;
  }
  const int count = popup.GetMenuItemCount();
  if (count > 0 && IsSeparator(popup, count - 1)) popup.RemoveMenu(static_cast<UINT>(count - 1), MF_BYPOSITION);
}

BEGIN_MESSAGE_MAP(CExpTreeCtl, CTreeCtrl)
ON_WM_DESTROY()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_KEYUP()
ON_NOTIFY_REFLECT(TVN_BEGINLABELEDIT, OnBeginLabelEdit)
ON_NOTIFY_REFLECT(TVN_ENDLABELEDIT, OnEndLabelEdit)
ON_NOTIFY_REFLECT(TVN_BEGINDRAG, OnBeginDrag)
ON_COMMAND(IDM_EXP_OPEN, OnOpen)
ON_COMMAND(IDM_EXP_CLOSE, OnClose)
ON_COMMAND(IDM_EXP_NEW_RESULT_SET, OnNewResultSet)
ON_COMMAND(IDM_EXP_NEW_SIMULATION_MODEL, OnNewSimulationModel)
ON_COMMAND(IDM_EXP_NEW_OPTIMIZATION_MODEL, OnNewOptimizationModel)
ON_COMMAND(IDM_EXP_NEW_LOAD_SET, OnNewLoadSet)
ON_COMMAND(IDM_EXP_NEW_RESTRAINT_SET, OnNewRestraintSet)
ON_COMMAND(IDM_EXP_LOAD, OnLoad)
ON_COMMAND(IDM_EXP_RESTRAINT, OnRestraint)
ON_COMMAND(IDM_EXP_HEAT_TRANSFER, OnHeatTransfer)
ON_COMMAND(IDM_EXP_MESH, OnMesh)
ON_COMMAND(IDM_EXP_MESH_CONSTRAINT, OnMeshConstraint)
ON_COMMAND(IDM_EXP_DESIGN_VARIABLE, OnDesignVariable)
ON_COMMAND(IDM_EXP_DESIGN_CONSTRAINT, OnDesignConstraint)
ON_COMMAND(IDM_EXP_CONCEPT_CONTROL, OnConceptControl)
ON_COMMAND(IDM_EXP_WRITE_VRML, OnWriteVrml)
ON_COMMAND(IDM_EXP_WRITE_NEUTRAL_FILE, OnWriteNeutralFile)
ON_COMMAND(IDM_EXP_PROPERTIES, OnProperties)
ON_COMMAND(IDM_EXP_DELETE, OnDelete)
ON_COMMAND(IDM_EXP_DESIGN_DOCTOR, OnDesignDoctor)
ON_COMMAND(IDM_EXP_GENERATE, OnGenerate)
ON_COMMAND(IDM_EXP_UPDATE, OnUpdate)
ON_COMMAND(IDM_EXP_VIEW, OnView)
ON_COMMAND(IDM_EXP_SOLVE, OnSolve)
END_MESSAGE_MAP()

void CExpTreeCtl::OnOpen() { DoAction(kActOpen, 1); }
void CExpTreeCtl::OnClose() { DoAction(kActClose, 1); }
void CExpTreeCtl::OnNewResultSet() { DoAction(kActNewResultSet, 0); }
void CExpTreeCtl::OnNewSimulationModel() { DoAction(kActNewSimulationModel, 1); }
void CExpTreeCtl::OnNewOptimizationModel() { DoAction(kActNewOptimizationModel, 1); }
void CExpTreeCtl::OnNewLoadSet() { DoAction(kActNewLoadSet, 1); }
void CExpTreeCtl::OnNewRestraintSet() { DoAction(kActNewRestraintSet, 1); }
// The creation entries first make the selected item current, each step its own request.
void CExpTreeCtl::OnLoad() {
  DoAction(kActOpen, 1);
  DoAction(kActLoad, 1);
}
void CExpTreeCtl::OnRestraint() {
  DoAction(kActOpen, 1);
  DoAction(kActRestraint, 1);
}
void CExpTreeCtl::OnHeatTransfer() {
  DoAction(kActOpen, 1);
  DoAction(kActHeatTransfer, 1);
}
void CExpTreeCtl::OnMesh() {
  DoAction(kActOpen, 1);
  DoAction(kActMesh, 1);
}
void CExpTreeCtl::OnMeshConstraint() {
  DoAction(kActOpen, 1);
  DoAction(kActMeshConstraint, 1);
}
void CExpTreeCtl::OnDesignVariable() { DoAction(kActDesignVariable, 1); }
void CExpTreeCtl::OnDesignConstraint() {
  DoAction(kActOpen, 1);
  DoAction(kActDesignConstraint, 1);
}
void CExpTreeCtl::OnConceptControl() {
  DoAction(kActOpen, 1);
  DoAction(kActConceptControl, 1);
}
void CExpTreeCtl::OnWriteVrml() { DoAction(kActWriteVrml, 0); }
void CExpTreeCtl::OnWriteNeutralFile() { DoAction(kActWriteNeutralFile, 0); }
void CExpTreeCtl::OnProperties() { DoAction(kActProperties, 1); }
void CExpTreeCtl::OnDelete() { DoAction(kActDelete, 1); }
void CExpTreeCtl::OnDesignDoctor() { DoAction(kActDesignDoctor, 1); }
void CExpTreeCtl::OnGenerate() { DoAction(kActGenerate, 1); }
void CExpTreeCtl::OnUpdate() { DoAction(kActUpdate, 1); }
void CExpTreeCtl::OnView() { DoAction(kActView, 1); }
void CExpTreeCtl::OnSolve() { DoAction(kActSolve, 1); }

void CExpTreeCtl::OnDestroy() {
  CommitResultCases();
  SetImageList(nullptr, TVSIL_NORMAL);
  imageList_.reset();
}

// ---- the guarded request ----

void CExpTreeCtl::DoAction(int action, int prepare) {
  if (Docked && cmdIsBusy()) return;
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  // An explicit pair: after a failure the recovery's abort may have released the lock already,
  // and the unlock must then not take it again.
  const bool locked = Docked && cad->LockDocument();
  try {
    DispatchAction(action, prepare);
  } catch (const std::exception&) {
    cmdReportException(kExpForeignExceptionCode);
    RecoverAfterFailure();
  }
  // Releases only a lock this request took; does nothing when the abort released it already.
  if (locked) cad->UnlockDocument();
}

void CExpTreeCtl::DispatchAction(int action, int prepare) {
  CadInterface& cad = *CadInterface::GetCurrent();
  try {
    if (prepare) cad.PrepareCommand();
    ResourceSetter resources(1);
    savedTransactionDepth_ = cad.NumActiveTransactions();
    cad.SetTransactionBaseDepth(savedTransactionDepth_);
    cad.StartTransaction();
    RunAction(action);
    if (action == kActSolve) {
      if (Docked)
        cad.RebuildExplorer();
      else if (CWnd* parent = GetParent())
        parent->SetTimer(kJobPollTimer, kJobPollMs);
    }
    if (Docked)
      cad.RefreshAfterCommand();
    else
      cad.RebuildExplorer();
    cad.EndTransaction();
  } catch (const CaeExcept& error) {
    ReportException(error);
  }
}

void CExpTreeCtl::RunAction(int action) {
  switch (action) {
    case kActOpen: DoOpen(); break;
    case kActClose: DoClose(); break;
    case kActNewSimulationModel: DoNewSimulationModel(); break;
    case kActNewOptimizationModel: DoNewOptimizationModel(); break;
    case kActNewLoadSet: DoNewLoadSet(); break;
    case kActNewRestraintSet: DoNewRestraintSet(); break;
    case kActLoad:
    case kActRestraint:
    case kActHeatTransfer:
    case kActMesh:
    case kActMeshConstraint:
    case kActDesignVariable:
    case kActDesignConstraint:
    case kActConceptControl: DoCreationEntry(action); break;
    case kActNewResultSet: DoNewResultSet(); break;
    case kActProperties: DoProperties(); break;
    case kActDelete: DoDelete(); break;
    case kActContextMenu: DoContextMenu(); break;
    case kActWriteVrml: DoWriteVrml(); break;
    case kActWriteNeutralFile: DoWriteNeutralFile(); break;
    case kActRename: DoRename(); break;
    case kActDesignDoctor: DoDesignDoctor(); break;
    case kActGenerate: DoGenerate(); break;
    case kActUpdate: DoUpdate(); break;
    case kActView: DoView(); break;
    case kActSolve: DoSolve(); break;
    default: break;
  }
}

void CExpTreeCtl::ReportException(const CaeExcept& error) {
  if (CadInterface* cad = CadInterface::GetCurrent()) {
    cad->PrintMessage("\n");
    cad->PrintMessage(error.String().Text());
  }
  RecoverAfterFailure();
}

// The abort put the drawing back as it was before the request; the tree still shows what the
// action did to it, and position lookups would name other objects. Rebuild it from the drawing.
void CExpTreeCtl::RecoverAfterFailure() {
  RestoreCadWindow();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !::IsWindow(m_hWnd)) return;
  CadTransactionScope transaction(*cad);
  transaction.Start();
  try {
    Refresh();
  } catch (const CaeExcept&) {
    // Reported by the engine; the tree stays as far as it was built.
  }
  transaction.Commit();
}

void CExpTreeCtl::RestoreCadWindow() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  CadTransactionScope::AbortDownTo(*cad, savedTransactionDepth_);
  HWND main = cad->GetMainWindow();
  if (main) ::SetActiveWindow(main);
  CWnd* app = AfxGetMainWnd();
  if (app && ::IsWindow(app->m_hWnd)) {
    if (main) ::EnableWindow(main, TRUE);
    app->EndModalState();
  }
  UIProgressClose();
}

// ---- the context menu ----

void CExpTreeCtl::DoContextMenu() {
  if (!contextMenuEnabled_) return;
  UINT hit = 0;
  HTREEITEM item = HitTest(rightButtonPoint_, &hit);
  if (!item || !(hit & TVHT_ONITEM)) return;
  SelectItem(item);
  CMenu menu;
  if (!menu.LoadMenu(IDR_EXPLORER_MENU)) return;
  CMenu* popup = menu.GetSubMenu(0);
  if (!popup) return;
  ExpPruneMenu(*popup, GetCommandFlags());
  ExpTidyMenu(*popup);
  if (popup->GetMenuItemCount() <= 0) return;
  POINT cursor{0, 0};
  ::GetCursorPos(&cursor);
  popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

// ---- label edit ----

void CExpTreeCtl::DoRename() {
  labelEditing_ = 0;
  if (!editInHand_ || !editInHand_->item.pszText) return;
  HTREEITEM item = editInHand_->item.hItem;
  if (!contains(item)) return;
  if (ValidResultCaseLabel(item, editInHand_->item.pszText)) SetItemText(item, editInHand_->item.pszText);
}
