#include "gui/dialogs/lbc/UIAttLoadPP.h"

#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcDescript.h"
#include "fea/FerResult.h"
#include "gui/dialogs/lbc/UIAttPS.h"
#include "res/ResourceIds.h"

namespace {

using Kind = COptSelGeomPP::Kind;

}  // namespace

int& UIAttRememberedCoordType() {
  static int coordType = 0;
  return coordType;
}

BEGIN_MESSAGE_MAP(CAttLoadPP, CPropertyPage)
ON_CBN_SELCHANGE(IDC_LOAD_TYPE, OnTypeChange)
ON_CBN_SELCHANGE(IDC_ATT_COORD_TYPE, OnCoordTypeChange)
ON_BN_CLICKED(IDC_LOAD_CONSTANT_TEMP, UpdateControls)
ON_BN_CLICKED(IDC_LOAD_RESULTS_TEMP, UpdateControls)
ON_BN_CLICKED(IDC_LOAD_VARIES, UpdateControls)
ON_EN_KILLFOCUS(IDC_ATT_NAME, OnNameKillFocus)
END_MESSAGE_MAP()

CAttLoadPP::CAttLoadPP() : CPropertyPage(IDD_ATT_LOAD) { m_psp.dwFlags |= PSP_HASHELP; }

CAttPS* CAttLoadPP::AttSheet() const { return dynamic_cast<CAttPS*>(sheet()); }

void CAttLoadPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_LOAD_TYPE, m_nType);
  DDX_CBIndex(dx, IDC_ATT_FRAME, m_nFrame);
  DDX_CBIndex(dx, IDC_ATT_COORD_TYPE, m_nCoordType);
  DDX_Radio(dx, IDC_LOAD_CONSTANT_TEMP, m_nTempSource);
  DDX_Text(dx, IDC_LOAD_VALUE1, m_dValue[0]);
  DDX_Text(dx, IDC_LOAD_VALUE2, m_dValue[1]);
  DDX_Text(dx, IDC_LOAD_VALUE3, m_dValue[2]);
  DDX_Text(dx, IDC_LOAD_REF_TEMP, m_dRefTemp);
  DDX_Check(dx, IDC_LOAD_VARIES, m_bVaries);
  DDX_Text(dx, IDC_ATT_NAME, m_strName);
}

BOOL CAttLoadPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CAttPS* ps = AttSheet();
  if (ps) ps->FillTypeList(*this, IDC_LOAD_TYPE, 0, CAttPS::kTemperature, Kind::kFace, m_nType);
  CAttPS::FillFrameLists(*this, m_nFrame, m_nCoordType, m_strCoordType);
  if (ps) ps->CopyNameText(*this, IDC_LOAD_TYPE, IDC_ATT_NAME);
  return TRUE;
}

BOOL CAttLoadPP::OnSetActive() {
  UpdateControls();
  return CPropertyPage::OnSetActive();
}

BOOL CAttLoadPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (CAttPS::ShowPageHelp(lParam, result, IDD_ATT_LOAD)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

// Functional variation is not offered: its controls stay unchecked, disabled and hidden.
void CAttLoadPP::HideVariation() {
  CheckDlgButton(IDC_LOAD_VARIES, 0);
  m_bVaries = FALSE;
  for (int id : {IDC_LOAD_VARIES, IDC_LOAD_CHART, IDC_LOAD_CHART_TEXT, IDC_LOAD_MAGIC}) {
    CAttPS::EnableControl(*this, id, false);
    CAttPS::ShowControl(*this, id, false);
  }
}

void CAttLoadPP::ShowCoordTypes(bool facePermitted, int& coordType) {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_ATT_COORD_TYPE));
  const CString face = CAttPS::Text(IDS_COORDSYS_FACE);
  const bool listed = combo->FindString(-1, face) != CB_ERR;
  if (facePermitted && !listed) combo->AddString(face);
  if (!facePermitted && listed) {
    if (coordType == CAttPS::kFaceCoordType) coordType = 0;
    combo->DeleteString(CAttPS::kFaceCoordType);
  }
  if (!facePermitted && coordType == CAttPS::kFaceCoordType) coordType = 0;
  combo->SetCurSel(coordType);
}

void CAttLoadPP::ShowAxisLabels(int coordType) {
  const int ids[3] = {IDC_LOAD_AXIS1, IDC_LOAD_AXIS2, IDC_LOAD_AXIS3};
  for (int i = 0; i < 3; ++i) SetDlgItemText(ids[i], CAttPS::Text(CAttPS::AxisLabel(coordType, i)));
}

void CAttLoadPP::ShowValueControls(int category, int coordType) {
  const bool temperature = category == CAttPS::kTemperature;
  const bool scalar = category == CAttPS::kPressure || temperature || coordType == CAttPS::kFaceCoordType;
  for (int id : {IDC_LOAD_VALUE1, IDC_LOAD_AXIS1, IDC_LOAD_VALUE2, IDC_LOAD_AXIS2})
    CAttPS::ShowControl(*this, id, !scalar);
  CAttPS::ShowControl(*this, IDC_LOAD_AXIS3, !temperature);
  const bool fromResults = temperature && IsDlgButtonChecked(IDC_LOAD_RESULTS_TEMP);
  for (int id : {IDC_LOAD_VALUE3, IDC_LOAD_VALUE_UNIT}) {
    CAttPS::ShowControl(*this, id, true);
    CAttPS::EnableControl(*this, id, !fromResults);
  }
  for (int id :
       {IDC_LOAD_CONSTANT_TEMP, IDC_LOAD_RESULTS_TEMP, IDC_LOAD_REF_TEMP_LABEL, IDC_LOAD_REF_TEMP, IDC_LOAD_TEMP_UNIT})
    CAttPS::ShowControl(*this, id, temperature);
  // A scalar load uses only its third value (the pressure, the temperature, the normal component).
  if (CAttPS* ps = AttSheet()) {
    ps->m_restPage.m_bFixed[0] = !scalar;
    ps->m_restPage.m_bFixed[1] = !scalar;
    ps->m_restPage.m_bFixed[2] = TRUE;
  }
}

void CAttLoadPP::UpdateTemperatureSource(int category) {
  CAttPS* ps = AttSheet();
  if (category != CAttPS::kTemperature) {
    ps->m_symbolPage.m_bScaledAllowed = TRUE;
    return;
  }
  const FerResult* result = UIAttTemperatureResult();
  CAttPS::EnableControl(*this, IDC_LOAD_RESULTS_TEMP, IsDlgButtonChecked(IDC_LOAD_RESULTS_TEMP) || result);
  if (result) m_strResultName = result->Name().Text();
  ps->m_symbolPage.m_bScaledAllowed = FALSE;
  ps->m_symbolPage.m_nSizeMode = CSymbolPP::kFixed;
}

void CAttLoadPP::UpdateUnits(int category) {
  CAttPS* ps = AttSheet();
  int kind = ps->m_geomPage.m_nKind;
  const int type = ps->ResolveAttType(category, kind);
  CString unit = CAttPS::UnitText(type);
  // Per length or per area: the geometry still to be picked decides.
  if (category == CAttPS::kDistributedForce && !ps->HasGeometry()) unit += " ...";
  SetDlgItemText(IDC_LOAD_VALUE_UNIT, unit);
  SetDlgItemText(IDC_LOAD_TEMP_UNIT, unit);
  CadInterface* cad = CadInterface::GetCurrent();
  if (const AttLbcDescript* descriptor = cad ? cad->FindLbcDescript(type) : nullptr)
    ps->m_symbolPage.m_nRefUnitType = descriptor->Dimension();
}

void CAttLoadPP::UpdateControls() {
  CAttPS* ps = AttSheet();
  if (!ps || !GetSafeHwnd()) return;
  auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_LOAD_TYPE));
  const int category =
      ps->m_bModify && ps->m_pAttribute ? CAttPS::ValueCategory(ps->m_pAttribute->Type()) : types->GetCurSel();
  HideVariation();
  ps->EnableButtons(TRUE);

  int coordType = ps->m_bModify ? m_nCoordType : UIAttRememberedCoordType();
  COptSelGeomPP& geometry = ps->m_geomPage;
  bool facePermitted = !(ps->HasGeometry() && geometry.m_nKind != Kind::kFace);
  if (category >= CAttPS::kAcceleration) {
    facePermitted = false;
    if (geometry.m_nKind != Kind::kSolid) {
      ps->ClearGeometry();
      ps->TakeCurrentSelection(TRUE, FALSE, FALSE, FALSE);
    }
    geometry.m_nKind = Kind::kSolid;
    coordType = 0;
  } else if (category == CAttPS::kPressure || category == CAttPS::kMoment) {
    coordType = category == CAttPS::kPressure ? CAttPS::kFaceCoordType : 0;
    facePermitted = true;
    if (geometry.m_nKind != Kind::kFace) {
      ps->ClearGeometry();
      ps->TakeCurrentSelection(FALSE, TRUE, FALSE, FALSE);
    }
    geometry.m_nKind = Kind::kFace;
  } else {
    if (geometry.m_nKind <= Kind::kSolid || !ps->HasGeometry()) {
      ps->ClearGeometry();
      ps->TakeCurrentSelection(FALSE, TRUE, TRUE, TRUE);
      if (!ps->HasGeometry()) geometry.m_nKind = Kind::kFace;
    }
    if (geometry.m_nKind == Kind::kFace) facePermitted = true;
  }
  ShowCoordTypes(facePermitted, coordType);

  const bool fixedFrame = category == CAttPS::kTemperature || category == CAttPS::kPressure ||
                          category == CAttPS::kMoment || coordType >= CAttPS::kFaceCoordType;
  CAttPS::EnableControl(*this, IDC_ATT_FRAME_LABEL, !fixedFrame);
  CAttPS::EnableControl(*this, IDC_ATT_FRAME, !fixedFrame);
  if (fixedFrame) static_cast<CComboBox*>(GetDlgItem(IDC_ATT_FRAME))->SetCurSel(0);
  CAttPS::EnableControl(*this, IDC_ATT_COORD_LABEL, category < CAttPS::kPressure);
  CAttPS::EnableControl(*this, IDC_ATT_COORD_TYPE, category < CAttPS::kPressure);

  ShowAxisLabels(coordType);
  ShowValueControls(category, coordType);
  UpdateTemperatureSource(category);
  UpdateUnits(category);
  ps->SetPickFilter(category, coordType);
  auto* coordTypes = static_cast<CComboBox*>(GetDlgItem(IDC_ATT_COORD_TYPE));
  if (coordTypes->GetCurSel() >= 0) coordTypes->GetLBText(coordTypes->GetCurSel(), m_strCoordType);
}

void CAttLoadPP::OnTypeChange() {
  UpdateControls();
  CAttPS* ps = AttSheet();
  if (!ps) return;
  if (!ps->m_bModify) {
    int kind = ps->m_geomPage.m_nKind;
    const int type = ps->ResolveAttType(static_cast<CComboBox*>(GetDlgItem(IDC_LOAD_TYPE))->GetCurSel(), kind);
    if (CadInterface* cad = CadInterface::GetCurrent()) ps->m_symbolPage.SetColor(cad->GetLbcDimension(type));
  }
  if (!m_bNameEdited) ps->CopyNameText(*this, IDC_LOAD_TYPE, IDC_ATT_NAME);
}

void CAttLoadPP::OnCoordTypeChange() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_ATT_COORD_TYPE));
  UIAttRememberedCoordType() = combo->GetCurSel();
  CAttPS* ps = AttSheet();
  if (ps && ps->m_bModify) m_nCoordType = combo->GetCurSel();
  UpdateControls();
  if (combo->GetCurSel() >= 0) combo->GetLBText(combo->GetCurSel(), m_strCoordType);
}
