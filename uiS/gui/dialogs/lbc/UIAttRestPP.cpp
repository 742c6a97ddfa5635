#include "gui/dialogs/lbc/UIAttRestPP.h"

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbc.h"
#include "gui/dialogs/lbc/UIAttPS.h"
#include "res/ResourceIds.h"

namespace {

using Kind = COptSelGeomPP::Kind;
constexpr int kTranslationIds[3] = {IDC_REST_FIXED_T1, IDC_REST_FIXED_T2, IDC_REST_FIXED_T3};
constexpr int kRotationIds[3] = {IDC_REST_FIXED_R1, IDC_REST_FIXED_R2, IDC_REST_FIXED_R3};
constexpr UINT kRestraintKindsWithoutCode[] = {IDS_ATT_BOLTED_RESTRAINT, IDS_ATT_WELDED_RESTRAINT,
                                               IDS_ATT_CLAMPED_RESTRAINT, IDS_ATT_SLIDING_RESTRAINT};

}  // namespace

BEGIN_MESSAGE_MAP(CAttRestPP, CPropertyPage)
ON_CBN_SELCHANGE(IDC_ATT_COORD_TYPE, OnCoordTypeChange)
ON_CBN_SELCHANGE(IDC_REST_TYPE, OnTypeChange)
ON_EN_KILLFOCUS(IDC_ATT_NAME, OnNameKillFocus)
END_MESSAGE_MAP()

CAttRestPP::CAttRestPP() : CPropertyPage(IDD_ATT_RESTRAINT) { m_psp.dwFlags |= PSP_HASHELP; }

CAttPS* CAttRestPP::AttSheet() const { return dynamic_cast<CAttPS*>(sheet()); }

bool CAttRestPP::IsShellModel() const {
  AnlControl* control = CadCurrentAnlControl();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  return model && model->HasShellMesh();
}

void CAttRestPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_ATT_FRAME, m_nFrame);
  DDX_CBIndex(dx, IDC_ATT_COORD_TYPE, m_nCoordType);
  for (int i = 0; i < 3; ++i) {
    DDX_Check(dx, kTranslationIds[i], m_bFixed[i]);
    DDX_Check(dx, kRotationIds[i], m_bFixed[3 + i]);
  }
  DDX_CBIndex(dx, IDC_REST_TYPE, m_nType);
  DDX_Text(dx, IDC_ATT_NAME, m_strName);
  // Components the Face coordinates hide are not restrained, whatever their boxes held before.
  if (dx->m_bSaveAndValidate && m_nCoordType == CAttPS::kFaceCoordType) {
    for (int i : {0, 1, 3, 4, 5}) m_bFixed[i] = FALSE;
    m_bFixed[2] = TRUE;
  }
}

BOOL CAttRestPP::OnInitDialog() {
  CAttPS* ps = AttSheet();
  const bool modify = ps && ps->m_bModify;
  const bool shell = IsShellModel();
  // A new shell restraint starts with its rotations fixed; a solid has none to restrain.
  if (!modify)
    for (int i = 3; i < 6; ++i) m_bFixed[i] = shell;
  for (int id : kRotationIds) CAttPS::EnableControl(*this, id, shell);
  CAttPS::EnableControl(*this, IDC_REST_ROTATION_LABEL, shell);
  CPropertyPage::OnInitDialog();

  ps->FillTypeList(*this, IDC_REST_TYPE, CAttPS::kCustomRestraint, CAttPS::kPinnedRestraint, Kind::kFace, m_nType);
  if (!modify) {
    auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_REST_TYPE));
    for (UINT text : kRestraintKindsWithoutCode) types->AddString(CAttPS::Text(text));
    types->EnableWindow(FALSE);
    types->SetCurSel(m_nType);
  }
  CAttPS::FillFrameLists(*this, m_nFrame, m_nCoordType, m_strCoordType);
  if (ps) ps->CopyNameText(*this, IDC_REST_TYPE, IDC_ATT_NAME);
  return TRUE;
}

BOOL CAttRestPP::OnSetActive() {
  UpdateControls();
  return CPropertyPage::OnSetActive();
}

BOOL CAttRestPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (CAttPS::ShowPageHelp(lParam, result, IDD_ATT_RESTRAINT)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

void CAttRestPP::UpdateControls() {
  CAttPS* ps = AttSheet();
  if (!ps || !GetSafeHwnd()) return;
  auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_REST_TYPE));
  int category =
      ps->m_bModify && ps->m_pAttribute ? CAttPS::ValueCategory(ps->m_pAttribute->Type()) : types->GetCurSel();
  if (!ps->m_bModify && category > CAttPS::kPinnedRestraint) {
    category = CAttPS::kCustomRestraint;  // the kinds without a type code cannot be made
    ps->EnableButtons(FALSE);
  } else {
    ps->EnableButtons(TRUE);
  }

  auto* coordTypes = static_cast<CComboBox*>(GetDlgItem(IDC_ATT_COORD_TYPE));
  int coordType = coordTypes->GetCurSel();
  COptSelGeomPP& geometry = ps->m_geomPage;
  bool facePermitted = !(ps->HasGeometry() && geometry.m_nKind != Kind::kFace);
  if (category == CAttPS::kPinnedRestraint) {
    facePermitted = true;
    coordType = CAttPS::kFaceCoordType;
    if (geometry.m_nKind != Kind::kFace) ps->ClearGeometry();
    geometry.m_nKind = Kind::kFace;
  }
  const CString face = CAttPS::Text(IDS_COORDSYS_FACE);
  const bool listed = coordTypes->FindString(-1, face) != CB_ERR;
  if (facePermitted && !listed) coordTypes->AddString(face);
  if (!facePermitted && listed) {
    if (coordType == CAttPS::kFaceCoordType) coordType = 0;
    coordTypes->DeleteString(CAttPS::kFaceCoordType);
  }
  coordTypes->SetCurSel(coordType);

  CAttPS::EnableControl(*this, IDC_ATT_FRAME_LABEL, coordType < CAttPS::kFaceCoordType);
  CAttPS::EnableControl(*this, IDC_ATT_FRAME, coordType < CAttPS::kFaceCoordType);
  CAttPS::EnableControl(*this, IDC_ATT_COORD_LABEL, category != CAttPS::kPinnedRestraint);
  CAttPS::EnableControl(*this, IDC_ATT_COORD_TYPE, category != CAttPS::kPinnedRestraint);

  for (int i = 0; i < 3; ++i) {
    SetDlgItemText(kTranslationIds[i], CAttPS::Text(CAttPS::AxisLabel(coordType, i)));
    SetDlgItemText(kRotationIds[i], CAttPS::Text(CAttPS::AxisLabel(coordType, i)));
  }
  const bool faceAxes = coordType == CAttPS::kFaceCoordType;
  for (int id : {IDC_REST_FIXED_T1, IDC_REST_FIXED_T2, IDC_REST_FIXED_R1, IDC_REST_FIXED_R2, IDC_REST_FIXED_R3,
                 IDC_REST_ROTATION_LABEL})
    CAttPS::ShowControl(*this, id, !faceAxes);
  if (faceAxes) CheckDlgButton(IDC_REST_FIXED_T3, 1);
  CAttPS::EnableControl(*this, IDC_REST_FIXED_T3, !faceAxes);
  ps->SetPickFilter(category, coordType);
}

void CAttRestPP::OnTypeChange() {
  UpdateControls();
  CAttPS* ps = AttSheet();
  if (ps && !m_bNameEdited) ps->CopyNameText(*this, IDC_REST_TYPE, IDC_ATT_NAME);
}

void CAttRestPP::OnCoordTypeChange() {
  UpdateControls();
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_ATT_COORD_TYPE));
  if (combo->GetCurSel() >= 0) combo->GetLBText(combo->GetCurSel(), m_strCoordType);
}
