#include "gui/dialogs/optimization/UIOptResultSetDlg.h"

#include <algorithm>

#include "cadInterface/CadResources.h"
#include "fea/AnlResltCase.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
// Button size and gap when the Add button is missing.
constexpr int kDefaultButtonWidth = 50;
constexpr int kDefaultButtonHeight = 15;
constexpr int kDefaultGap = 5;

RECT ClientRectOf(CWnd& dialog, CWnd* control) {
  RECT rect{};
  if (!control) return rect;
  control->GetWindowRect(&rect);
  dialog.ScreenToClient(&rect);
  return rect;
}

}  // namespace

BEGIN_MESSAGE_MAP(CAddResultSetDlg, CResizableDlg)
ON_BN_CLICKED(IDC_OPT_RESULT_SET_ADD, OnAdd)
ON_BN_CLICKED(IDHELP, OnHelp)
ON_CBN_SELCHANGE(IDC_OPT_RESULT_SET_TYPE, OnSimulationType)
END_MESSAGE_MAP()

CAddResultSetDlg::CAddResultSetDlg(CWnd* parent) : CResizableDlg(IDD_OPT_ADD_RESULT_SET, parent) {}

void CAddResultSetDlg::DoDataExchange(CDataExchange* dx) {
  CResizableDlg::DoDataExchange(dx);
  DDX_Control(dx, IDC_OPT_RESULT_SET_TREE, m_tree);
  DDX_CBIndex(dx, IDC_OPT_RESULT_SET_TYPE, m_nSimulationType);
}

BOOL CAddResultSetDlg::OnInitDialog() {
  SetWindowText(resLoadString(m_nMode == kAdd ? IDS_OPT_ADD_RESULT_SET : IDS_OPT_MODIFY_RESULT_SET).Text());
  if (CWnd* add = GetDlgItem(IDC_OPT_RESULT_SET_ADD)) {
    add->ShowWindow(m_nAddState < 0 ? SW_HIDE : SW_SHOW);
    add->EnableWindow(m_nAddState > 0);
  }
  m_nAddState = 0;
  m_tree.EnableDrag(1).EnableContextMenu(1);
  m_tree.SetSelectMode(1);
  m_tree.ShowDesignVariables = 0;
  m_tree.ShowSimulationModels = 0;
  if (m_nMode != kAdd) m_tree.EditedResultCase = m_pResultCase;
  if (auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_RESULT_SET_TYPE)))
    for (UINT id : {IDS_TYPE_STRESS, IDS_TYPE_VIBRATION, IDS_TYPE_BUCKLING}) types->AddString(resLoadString(id).Text());
  if (m_pResultCase) m_nSimulationType = static_cast<int>(m_pResultCase->Type());
  CResizableDlg::OnInitDialog();
  if (m_nMode == kAdd) m_tree.AddResultCaseItem(m_pResultCase);
  return TRUE;
}

void CAddResultSetDlg::OnSimulationType() {
  const int position = static_cast<CComboBox*>(GetDlgItem(IDC_OPT_RESULT_SET_TYPE))->GetCurSel();
  if (position >= 0) m_tree.OnSimulationTypeChanged(position);
}

void CAddResultSetDlg::OnAdd() {
  m_nAddState = 1;
  OnOK();
}

void CAddResultSetDlg::OnHelp() { UIShowHelp(kHelpBase + IDD_OPT_ADD_RESULT_SET, HELP_CONTEXT); }

// Buttons in one row under the tree, OK and Cancel moving to a second row above Add and Help
// when the dialog is too narrow for four.
int CAddResultSetDlg::ResizeContents(int width, int height) {
  CWnd* ok = GetDlgItem(IDOK);
  CWnd* cancel = GetDlgItem(IDCANCEL);
  CWnd* add = GetDlgItem(IDC_OPT_RESULT_SET_ADD);
  CWnd* help = GetDlgItem(IDHELP);
  if (!m_tree.GetSafeHwnd() || !ok || !cancel || !help) return 1;
  const RECT tree = ClientRectOf(*this, &m_tree);
  const int m = tree.left;
  int w = kDefaultButtonWidth, h = kDefaultButtonHeight, g = kDefaultGap;
  if (add) {
    const RECT a = ClientRectOf(*this, add);
    const RECT hp = ClientRectOf(*this, help);
    w = a.right - a.left;
    h = a.bottom - a.top;
    g = hp.left - a.right;
  }
  int rows = 1;
  int x = width - m - 4 * w - 3 * g, y = height - (m + h);
  if (x < 0) {
    x = width - m - 2 * w - g;
    y = height - 2 * (m + h);
    rows = 2;
  }
  ok->MoveWindow(x, y, w, h);
  x = width - m - 3 * w - 2 * g;
  y = height - (m + h);
  if (x < 0) {
    x = width - m - w;
    y = height - 2 * (m + h);
    rows = 2;
  }
  cancel->MoveWindow(x, y, w, h);
  if (add) add->MoveWindow(width - m - 2 * w - g, height - m - h, w, h);
  help->MoveWindow(width - m - w, height - m - h, w, h);
  const int treeHeight = height - (rows + 1) * m - rows * h - tree.top;
  m_tree.MoveWindow(tree.left, tree.top, std::max(0, width - 2 * static_cast<int>(tree.left)), std::max(0, treeHeight));
  return 1;
}
