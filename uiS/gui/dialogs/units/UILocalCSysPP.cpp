#include "gui/dialogs/units/UILocalCSysPP.h"

#include "amg/CaeList.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kLocalCSysHelp = 0x20000 + IDD_LOCAL_CSYS;

const int kOriginIds[3] = {IDC_LCS_ORIGIN_X, IDC_LCS_ORIGIN_Y, IDC_LCS_ORIGIN_Z};
const int kRotationIds[3] = {IDC_LCS_ROTATION_X, IDC_LCS_ROTATION_Y, IDC_LCS_ROTATION_Z};

CaeString HostName(int type, bool longName) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!table) return CaeString();
  const int unit = CaeUnitSystem::GetHostUnit(type);
  return longName ? table->IdToLongString(unit) : table->IdToShortString(unit);
}

}  // namespace

BEGIN_MESSAGE_MAP(CLocalCSysPP, CPropertyPage)
ON_CBN_SELCHANGE(IDC_LCS_PLANE, OnChange)
ON_CBN_SELCHANGE(IDC_LCS_COLOR, OnChange)
ON_EN_CHANGE(IDC_LCS_ORIGIN_X, OnChange)
ON_EN_CHANGE(IDC_LCS_ORIGIN_Y, OnChange)
ON_EN_CHANGE(IDC_LCS_ORIGIN_Z, OnChange)
ON_EN_CHANGE(IDC_LCS_ROTATION_X, OnChange)
ON_EN_CHANGE(IDC_LCS_ROTATION_Y, OnChange)
ON_EN_CHANGE(IDC_LCS_ROTATION_Z, OnChange)
ON_EN_CHANGE(IDC_LCS_SIZE, OnChange)
ON_BN_CLICKED(IDC_LCS_FIXED, OnChange)
ON_BN_CLICKED(IDC_LCS_SCALED, OnChange)
END_MESSAGE_MAP()

CLocalCSysPP::CLocalCSysPP() : CPropertyPage(IDD_LOCAL_CSYS) {}

void CLocalCSysPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBString(dx, IDC_LCS_PLANE, m_strPlane);
  for (int i = 0; i < 3; ++i) {
    DDX_Text(dx, kOriginIds[i], m_origin[i]);
    DDX_Text(dx, kRotationIds[i], m_rotation[i]);
  }
  DDX_Text(dx, IDC_LCS_SIZE, m_dSize);
  DDX_Radio(dx, IDC_LCS_FIXED, m_nSizeMode);
  DDX_CBIndex(dx, IDC_LCS_COLOR, m_nColor);
}

BOOL CLocalCSysPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  auto* colours = static_cast<CComboBox*>(GetDlgItem(IDC_LCS_COLOR));
  const CSymbolColorList list;
  for (int i = 0; i < list.GetCount(); ++i) colours->AddString(list.GetText(i).c_str());
  LoadSystemList();
  return TRUE;
}

void CLocalCSysPP::LoadSystemList() {
  auto* planes = static_cast<CComboBox*>(GetDlgItem(IDC_LCS_PLANE));
  planes->ResetContent();
  CaeOwningList<CaeString> names;
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ListLocalCoordSystems(names);
  for (auto* node = names.FirstNode(); node->HasItem(); node = node->Next()) planes->AddString(node->Item()->c_str());
  if (planes->SelectString(-1, m_strPlane) < 0) planes->SetCurSel(0);
  if (planes->GetCount() == 0) planes->ShowWindow(SW_HIDE);
  m_bShown = TRUE;
  Load();
  static_cast<CComboBox*>(GetDlgItem(IDC_LCS_COLOR))->SetCurSel(m_nColor);
}

void CLocalCSysPP::Load() {
  if (!m_bShown) return;
  CadInterface* cad = CadInterface::GetCurrent();
  CaeString name;
  double origin[3] = {};
  double rotation[3] = {};
  double size = 0;
  int colour = 0;
  const CSymbolColorList list;
  if (cad && cad->GetLocalCoordSys(name, origin, rotation, &size, &colour)) {
    m_strPlane = name.c_str();
    for (int i = 0; i < 3; ++i) {
      m_origin[i] = CaeUnit::NativeToHost(CaeUtLength, origin[i]);
      m_rotation[i] = CaeUnit::NativeToHost(CaeUtAngle, rotation[i]);
    }
    m_dSize = CaeUnit::NativeToHost(CaeUtLength, size);
    m_nColor = list.IndexOfCode(colour);
    m_nSizeMode = kFixed;
  }
  SetDlgItemText(IDC_LCS_LENGTH_UNIT, HostName(CaeUtLength, true).c_str());
  SetDlgItemText(IDC_LCS_ANGLE_UNIT, HostName(CaeUtAngle, true).c_str());
  std::string sizeUnit = HostName(CaeUtLength, false).Str();
  if (m_nSizeMode == kScaled) sizeUnit += "/" + sizeUnit;
  SetDlgItemText(IDC_LCS_SIZE_UNIT, sizeUnit.c_str());
  UpdateData(FALSE);
}

BOOL CLocalCSysPP::Apply() {
  if (!m_bShown) return TRUE;
  if (!UpdateData(TRUE)) return FALSE;
  double origin[3];
  double rotation[3];
  for (int i = 0; i < 3; ++i) {
    origin[i] = CaeUnit::HostToNative(CaeUtLength, m_origin[i]);
    rotation[i] = CaeUnit::HostToNative(CaeUtAngle, m_rotation[i]);
  }
  double size = CaeUnit::HostToNative(CaeUtLength, m_dSize);
  int colour = CSymbolColorList().CodeAtIndex(m_nColor);
  CaeString plane(m_strPlane);
  if (CadInterface* cad = CadInterface::GetCurrent()) {
    cad->SetLocalCoordSys(plane, origin, rotation, &size, &colour);
    cad->FlushGraphics();
  }
  SetModified(FALSE);
  return TRUE;
}

BOOL CLocalCSysPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kLocalCSysHelp, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
