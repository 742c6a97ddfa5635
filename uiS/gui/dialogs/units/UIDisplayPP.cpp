#include "gui/dialogs/units/UIDisplayPP.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kDisplayHelp = 0x20000 + IDD_DISPLAY;
constexpr int kToolbarCount = 6;

// The check boxes of the model symbols that results hide.
const int kModelSymbolBoxes[] = {IDC_DISPLAY_LOADS, IDC_DISPLAY_MESH, IDC_DISPLAY_OPT, IDC_DISPLAY_RESTRAINTS,
                                 IDC_DISPLAY_LCS};
// In the order of the CAD's toolbar record: Wizards, Tools, Add, Results, Shape, Topology.
const int kToolbarBoxes[kToolbarCount] = {IDC_DISPLAY_TB_WIZARDS, IDC_DISPLAY_TB_TOOLS, IDC_DISPLAY_TB_ADD,
                                          IDC_DISPLAY_TB_RESULTS, IDC_DISPLAY_TB_SHAPE, IDC_DISPLAY_TB_TOPOLOGY};

}  // namespace

BEGIN_MESSAGE_MAP(CDisplayPP, CPropertyPage)
ON_BN_CLICKED(IDC_DISPLAY_LOADS, OnSymbolCheck)
ON_BN_CLICKED(IDC_DISPLAY_RESTRAINTS, OnSymbolCheck)
ON_BN_CLICKED(IDC_DISPLAY_MESH, OnSymbolCheck)
ON_BN_CLICKED(IDC_DISPLAY_LCS, OnSymbolCheck)
ON_BN_CLICKED(IDC_DISPLAY_OPT, OnSymbolCheck)
ON_BN_CLICKED(IDC_DISPLAY_RESULTS, OnSymbolCheck)
ON_BN_CLICKED(IDC_DISPLAY_TB_WIZARDS, OnChange)
ON_BN_CLICKED(IDC_DISPLAY_TB_TOOLS, OnChange)
ON_BN_CLICKED(IDC_DISPLAY_TB_ADD, OnChange)
ON_BN_CLICKED(IDC_DISPLAY_TB_RESULTS, OnChange)
ON_BN_CLICKED(IDC_DISPLAY_TB_SHAPE, OnChange)
ON_BN_CLICKED(IDC_DISPLAY_TB_TOPOLOGY, OnChange)
ON_CBN_SELCHANGE(IDC_DISPLAY_APPLY_TO, OnChange)
END_MESSAGE_MAP()

CDisplayPP::CDisplayPP() : CPropertyPage(IDD_DISPLAY) {}

void CDisplayPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_DISPLAY_APPLY_TO, m_nApplyTo);
  DDX_Check(dx, IDC_DISPLAY_LOADS, m_bLoads);
  DDX_Check(dx, IDC_DISPLAY_RESTRAINTS, m_bRestraints);
  DDX_Check(dx, IDC_DISPLAY_MESH, m_bMeshData);
  DDX_Check(dx, IDC_DISPLAY_LCS, m_bLocalCoordSys);
  DDX_Check(dx, IDC_DISPLAY_OPT, m_bOptConstraints);
  DDX_Check(dx, IDC_DISPLAY_RESULTS, m_bResults);
  DDX_Check(dx, IDC_DISPLAY_TB_WIZARDS, m_bToolbarWizards);
  DDX_Check(dx, IDC_DISPLAY_TB_TOOLS, m_bToolbarTools);
  DDX_Check(dx, IDC_DISPLAY_TB_ADD, m_bToolbarAdd);
  DDX_Check(dx, IDC_DISPLAY_TB_RESULTS, m_bToolbarResults);
  DDX_Check(dx, IDC_DISPLAY_TB_SHAPE, m_bToolbarShape);
  DDX_Check(dx, IDC_DISPLAY_TB_TOPOLOGY, m_bToolbarTopology);
}

BOOL CDisplayPP::OnInitDialog() {
  CadInterface* cad = CadInterface::GetCurrent();
  SymbolVisibility flags;
  if (cad) cad->GetSymbolVisibility(flags);
  m_bMeshData = flags.mesh;
  m_bLoads = flags.loads;
  m_bRestraints = flags.restraints;
  m_bLocalCoordSys = flags.localCoordSys;
  m_bResults = flags.results;
  m_bOptConstraints = flags.optConstraints;
  auto* applyTo = static_cast<CComboBox*>(GetDlgItem(IDC_DISPLAY_APPLY_TO));
  applyTo->AddString(resLoadString(IDS_DISPLAY_ACTIVE_VIEW).c_str());
  applyTo->AddString(resLoadString(IDS_DISPLAY_ALL_VIEWS).c_str());
  m_nApplyTo = 0;
  int toolbars[kToolbarCount] = {};
  m_bHasToolbars = cad && cad->GetToolbarVisibility(toolbars) ? TRUE : FALSE;
  int* members[kToolbarCount] = {&m_bToolbarWizards, &m_bToolbarTools, &m_bToolbarAdd,
                                 &m_bToolbarResults, &m_bToolbarShape, &m_bToolbarTopology};
  for (int i = 0; i < kToolbarCount; ++i) *members[i] = m_bHasToolbars && toolbars[i] ? 1 : 0;
  CPropertyPage::OnInitDialog();
  UpdateEnables();
  m_bShown = TRUE;
  if (!m_bHasToolbars) {
    GetDlgItem(IDC_DISPLAY_TOOLBARS)->EnableWindow(FALSE);
    for (int id : kToolbarBoxes) GetDlgItem(id)->EnableWindow(FALSE);
  }
  return TRUE;
}

void CDisplayPP::UpdateEnables() {
  const bool hasResults = CadHasCurrentResultSet();
  const bool resultsShown = static_cast<CButton*>(GetDlgItem(IDC_DISPLAY_RESULTS))->GetCheck() == BST_CHECKED;
  GetDlgItem(IDC_DISPLAY_RESULTS)->EnableWindow(hasResults ? TRUE : FALSE);
  const BOOL modelBoxes = !hasResults || !resultsShown ? TRUE : FALSE;
  for (int id : kModelSymbolBoxes) GetDlgItem(id)->EnableWindow(modelBoxes);
}

void CDisplayPP::OnSymbolCheck() {
  UpdateEnables();
  SetModified(TRUE);
}

BOOL CDisplayPP::Apply() {
  if (!m_bShown) return TRUE;
  if (!UpdateData(TRUE)) return FALSE;
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad) {
    SymbolVisibility flags;
    flags.mesh = m_bMeshData;
    flags.loads = m_bLoads;
    flags.restraints = m_bRestraints;
    flags.localCoordSys = m_bLocalCoordSys;
    flags.results = m_bResults;
    flags.optConstraints = m_bOptConstraints;
    cad->SetSymbolVisibility(flags, m_nApplyTo == 1 ? 1 : 0);
    cad->FlushGraphics();
    if (m_bHasToolbars) {
      int toolbars[kToolbarCount] = {m_bToolbarWizards, m_bToolbarTools, m_bToolbarAdd,
                                     m_bToolbarResults, m_bToolbarShape, m_bToolbarTopology};
      cad->SetToolbarVisibility(toolbars);
    }
  }
  SetModified(FALSE);
  return TRUE;
}

BOOL CDisplayPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kDisplayHelp, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
