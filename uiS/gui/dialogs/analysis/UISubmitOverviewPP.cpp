#include "gui/dialogs/analysis/UISubmitOverviewPP.h"

#include "cadInterface/CadResources.h"
#include "mfc/ddx.h"

namespace {
constexpr DWORD_PTR kHelpBase = 0x20000;
}  // namespace

CSubmitOverviewPP::CSubmitOverviewPP(UINT templateId)
    : CPropertyPage(templateId), m_nTemplateId(static_cast<int>(templateId)) {
  m_psp.dwFlags |= PSP_HASHELP;
}

void CSubmitOverviewPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Control(dx, IDC_SUBMIT_TREE, m_tree);
}

BOOL CSubmitOverviewPP::OnInitDialog() {
  const bool select = m_bSelect > 0;
  if (!select && !m_bOptimization) m_tree.SetResultSetMode(1);
  m_tree.EnableDrag(1).EnableContextMenu(1);
  if (select) {
    m_tree.SetSelectMode(1);
    if (m_bOptimization) m_tree.SetOptMode(1);
    m_tree.ShowSimulationModels = 0;
  } else {
    m_tree.ShowOptModels = 0;
  }
  m_tree.ShowDesignVariables = 0;
  CPropertyPage::OnInitDialog();
  if (!select) m_tree.AddDefaultResultSet();
  m_bSelect = -1;
  return TRUE;
}

BOOL CSubmitOverviewPP::OnSetActive() {
  if (m_bOptimization)
    if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

LRESULT CSubmitOverviewPP::OnWizardBack() {
  if (CPropertySheet* owner = sheet()) owner->EndDialog(-1);
  return -1;
}

BOOL CSubmitOverviewPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + static_cast<DWORD_PTR>(m_nTemplateId), HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
