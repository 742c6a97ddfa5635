#include "gui/dialogs/mesh/UIMeshAdaptPP.h"

#include "fea/AmgMesh.h"
#include "fea/AnlModel.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kLowestOrder = 1;
constexpr int kHighestOrder = 20;
constexpr double kLowestTolerance = 1.0;
constexpr double kHighestTolerance = 1000.0;
constexpr double kPercent = 100.0;
constexpr int kOrderControls[] = {IDC_ADAPT_TOLERANCE,   IDC_ADAPT_MAX_ORDER, IDC_ADAPT_START_ORDER,
                                  IDC_ADAPT_START_LABEL, IDC_ADAPT_MAX_LABEL, IDC_ADAPT_TOLERANCE_LABEL,
                                  IDC_ADAPT_PERCENT};

}  // namespace

BEGIN_MESSAGE_MAP(CMeshAdaptPP, CPropertyPage)
ON_BN_CLICKED(IDC_ADAPT_P_ELEMENTS, OnPElements)
END_MESSAGE_MAP()

CMeshAdaptPP::CMeshAdaptPP() : CPropertyPage(IDD_MESH_ADAPT) {}

CMeshAdaptPP::CMeshAdaptPP(AnlSubModel* subModel) : CPropertyPage(IDD_MESH_ADAPT) {
  AmgMesh* mesh = subModel ? subModel->Mesh() : nullptr;
  const CaeElemProp* prop = subModel ? subModel->GetProp() : nullptr;
  if (!mesh || mesh->GetMeshPElements() == CaeOff || !prop) return;
  m_bPElements = TRUE;
  m_nStartOrder = static_cast<int>(prop->GetPropValue(CaeElemProp::kPStartOrder));
  m_nMaxOrder = static_cast<int>(prop->GetPropValue(CaeElemProp::kPMaxOrder));
  m_dErrorTolerance = prop->GetPropValue(CaeElemProp::kPTolerance) * kPercent;
}

void CMeshAdaptPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Check(dx, IDC_ADAPT_P_ELEMENTS, m_bPElements);
  DDX_Text(dx, IDC_ADAPT_TOLERANCE, m_dErrorTolerance);
  DDV_MinMaxDouble(dx, m_dErrorTolerance, kLowestTolerance, kHighestTolerance);
  DDX_Text(dx, IDC_ADAPT_START_ORDER, m_nStartOrder);
  DDV_MinMaxInt(dx, m_nStartOrder, kLowestOrder, kHighestOrder);
  DDX_Text(dx, IDC_ADAPT_MAX_ORDER, m_nMaxOrder);
  DDV_MinMaxInt(dx, m_nMaxOrder, kLowestOrder, kHighestOrder);
}

BOOL CMeshAdaptPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  EnableOrderControls(m_bPElements != FALSE);
  m_bShown = TRUE;
  return TRUE;
}

bool CMeshAdaptPP::SaveIfInitialised() { return !m_bShown || !GetSafeHwnd() || UpdateData(TRUE); }

void CMeshAdaptPP::OnPElements() {
  auto* box = static_cast<CButton*>(GetDlgItem(IDC_ADAPT_P_ELEMENTS));
  EnableOrderControls(box && box->GetCheck() != 0);
}

void CMeshAdaptPP::EnableOrderControls(bool enabled) {
  for (int id : kOrderControls)
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enabled);
}

MeshDebugSwitches& UIMeshDebugSwitches() {
  static MeshDebugSwitches switches;
  return switches;
}

CMeshDebug::CMeshDebug() : CPropertyPage(IDD_MESH_DEBUG) {
  MeshDebugSwitches& switches = UIMeshDebugSwitches();
  if (!switches.remember) switches = MeshDebugSwitches{FALSE};
}

void CMeshDebug::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  if (dx->m_bSaveAndValidate && !m_bEnabled) return;
  MeshDebugSwitches& switches = UIMeshDebugSwitches();
  DDX_Check(dx, IDC_DEBUG_ASSOCIATIVITY, switches.geometryAssociativity);
  DDX_Check(dx, IDC_DEBUG_QUALITY, switches.qualityRefinement);
  DDX_Check(dx, IDC_DEBUG_REMEMBER, switches.remember);
  DDX_CBIndex(dx, IDC_DEBUG_MESH_MODE, switches.meshMode);
}

BOOL CMeshDebug::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (!m_bEnabled) EnableWindow(FALSE);
  m_bShown = TRUE;
  return TRUE;
}
