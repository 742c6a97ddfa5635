#include "gui/explorer/CExplorerDlg.h"

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/explorer/ExpTreeSupport.h"
#include "gui/explorer/UIImportResults.h"
#include "mfc/ddx.h"
#include "mfc/menu.h"

namespace {

struct MenuRule {
  UINT command;
  unsigned flag;  // 0: always enabled
};

// The File menu's entries that follow the selected item; the other entries keep their state.
constexpr MenuRule kFileMenuRules[] = {
    {IDM_EXP_OPEN, kFlagOpen},
    {IDM_EXP_CLOSE, kFlagClose},
    {IDM_EXP_DELETE, kFlagDelete},
    {IDM_EXP_PROPERTIES, kFlagProperties},
    {IDM_EXP_NEW_RESULT_SET, kFlagNewResultSet},
    {IDM_EXP_WRITE_VRML, kFlagWriteVrml},
    {IDM_EXP_WRITE_NEUTRAL_FILE, kFlagWriteNeutralFile},
    {IDM_EXP_NEW_SIMULATION_MODEL, 0},
    {IDM_EXP_NEW_LOAD_SET, 0},
    {IDM_EXP_NEW_RESTRAINT_SET, 0},
    {IDM_EXP_NEW_OPTIMIZATION_MODEL, 0},
    {IDM_EXPDLG_REFRESH, 0},
};

// Never enabled: no handler stands behind them.
constexpr UINT kAlwaysDisabled[] = {IDM_EXPDLG_RENAME,  IDM_EXPDLG_CUT,        IDM_EXPDLG_COPY,     IDM_EXPDLG_PASTE,
                                    IDM_EXPDLG_TOOLBAR, IDM_EXPDLG_STATUS_BAR, IDM_EXPDLG_HIGHLIGHT};

// The menu commands that are the tree's own actions, handed to the tree as they are.
constexpr UINT kTreeCommands[] = {
    IDM_EXP_OPEN,
    IDM_EXP_CLOSE,
    IDM_EXP_NEW_SIMULATION_MODEL,
    IDM_EXP_NEW_LOAD_SET,
    IDM_EXP_NEW_RESTRAINT_SET,
    IDM_EXP_NEW_OPTIMIZATION_MODEL,
    IDM_EXP_DELETE,
    IDM_EXP_PROPERTIES,
    IDM_EXP_WRITE_VRML,
    IDM_EXP_WRITE_NEUTRAL_FILE,
};

bool IsTreeCommand(UINT command) {
  for (UINT tree : kTreeCommands)
    if (tree == command) return true;
  return false;
}

// Refreshes the status of a live job; true when it is still pending.
bool StillPending(AnlJob* job) {
  job->Check();
  return job->IsPending() != 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CExplorerDlg, CResizableDlg)
ON_WM_TIMER()
ON_NOTIFY(TVN_SELCHANGED, IDC_EXPLORER_TREE, OnTreeSelChanged)
END_MESSAGE_MAP()

CExplorerDlg::CExplorerDlg(CWnd* parent) : CResizableDlg(kTemplateId, parent) {}

void CExplorerDlg::DoDataExchange(CDataExchange* dx) {
  CResizableDlg::DoDataExchange(dx);
  DDX_Control(dx, IDC_EXPLORER_TREE, tree_);
}

BOOL CExplorerDlg::OnInitDialog() {
  tree_.EnableDoubleClick(1).EnableContextMenu(1);
  // A damaged drawing is reported; the dialog opens all the same with what could be listed.
  ExpRunGuarded([this] { CResizableDlg::OnInitDialog(); });
  ExpRunGuarded([this] {
    if (AnyJobPending()) SetTimer(kPollTimer, kPollMs);
  });
  UpdateMenu();
  return TRUE;
}

int CExplorerDlg::ResizeContents(int width, int height) {
  if (CWnd* tree = GetDlgItem(IDC_EXPLORER_TREE)) tree->MoveWindow(0, 0, width, height);
  return 1;
}

// The current simulation model's live jobs, as last polled.
bool CExplorerDlg::AnyJobPending() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return false;
  for (int i = 0; i < model->NumJobs(); ++i) {
    AnlJob* job = model->GetJob(i);
    CAE_CHECK(job);
    if (!job->IsMarkedAsErased() && job->IsPending()) return true;
  }
  return false;
}

void CExplorerDlg::UpdateMenu() {
  CMenu* menu = GetMenu();
  if (!menu) return;
  const unsigned flags = ::IsWindow(tree_.m_hWnd) ? tree_.GetCommandFlags() : 0;
  for (const MenuRule& rule : kFileMenuRules) {
    const bool enabled = rule.flag == 0 || (flags & rule.flag) != 0;
    menu->EnableMenuItem(rule.command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
  for (UINT command : kAlwaysDisabled) menu->EnableMenuItem(command, MF_BYCOMMAND | MF_GRAYED);
}

void CExplorerDlg::OnTreeSelChanged(NMHDR*, LRESULT* result) {
  UpdateMenu();
  *result = 0;
}

BOOL CExplorerDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT command = LOWORD(wParam);
  if (lParam == 0 && IsTreeCommand(command)) {
    tree_.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
    UpdateMenu();
    return TRUE;
  }
  switch (command) {
    case IDM_EXPDLG_OPEN_FILE: OpenResultsFile(); return TRUE;
    case IDM_EXPDLG_REFRESH: RebuildTree(); return TRUE;
    case IDM_EXPDLG_CLOSE: EndDialog(IDOK); return TRUE;
    case IDM_EXPDLG_EXPLORER_HELP: UIShowHelp(kHelpContext, HELP_CONTEXT); return TRUE;
    case IDM_EXPDLG_HELP_CONTENTS: UIShowHelp(0, HELP_FINDER); return TRUE;
    default: return CResizableDlg::OnCommand(wParam, lParam);
  }
}

// The import lists its set under the current model: the tree shows it at once.
void CExplorerDlg::OpenResultsFile() {
  ExpRunGuarded([] { UIImportResultsDatabase(); });
  RebuildTree();
}

void CExplorerDlg::RebuildTree() {
  ExpRunGuarded([this] {
    CadInterface* cad = CadInterface::GetCurrent();
    if (!cad || !::IsWindow(tree_.m_hWnd)) return;
    CadTransactionScope transaction(*cad);
    transaction.Start();
    tree_.Refresh();
    transaction.Commit();
  });
  UpdateMenu();
}

void CExplorerDlg::OnTimer(UINT_PTR id) {
  if (id != kPollTimer) {
    CResizableDlg::OnTimer(id);
    return;
  }
  ExpRunGuarded([this] { Poll(); });
}

// Stops at the first job still pending; once none is, the tree is rebuilt once and the poll ends.
void CExplorerDlg::Poll() {
  AnlControl* control = AnlControl::GetCurrent();
  if (AnlModel* model = control ? control->CurrentAnlModel() : nullptr) {
    for (int i = 0; i < model->NumJobs(); ++i)
      if (AnlJob* job = model->GetJob(i); job && !job->IsMarkedAsErased() && StillPending(job)) return;
  }
  if (OptModel* model = control ? control->CurrentOptModel() : nullptr) {
    // The list answers null for an erased job.
    for (int i = 0; i < model->NumJobs(); ++i)
      if (AnlJob* job = model->Job(i); job && !job->IsMarkedAsErased() && StillPending(job)) return;
  }
  KillTimer(kPollTimer);
  RebuildTree();
}
