#include "gui/dialogs/results/UIResDGOptDlg.h"

#include <cstdio>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/FerResult.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_RES_DEFORMED_OPTIONS;
// The quantity whose deformed settings carry no scale values.
constexpr int kNoDeformationValues = 5;

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CResDGOptDlg, CDialog)
ON_BN_CLICKED(IDC_DG_FACTOR, OnFactor)
ON_BN_CLICKED(IDC_DG_PERCENT, OnPercent)
ON_BN_CLICKED(IDC_DG_SUPERIMPOSE, OnSuperimpose)
ON_EN_CHANGE(IDC_DG_VALUE, OnValueChange)
ON_BN_CLICKED(IDC_DG_HELP, OnHelp)
END_MESSAGE_MAP()

CResDGOptDlg::CResDGOptDlg() : CDialog(IDD_RES_DEFORMED_OPTIONS) {}

void CResDGOptDlg::TakeValuesFrom(const FerDeformedSetting& setting) {
  const int method = setting.GetMethod();
  m_dFactor = setting.GetFactor();
  m_dPercent = setting.GetPercent();
  m_bSuperimpose = setting.UndeformedShown();
  m_nScaleMethod = method == FerScalePercent ? kPercentage : kScaleFactor;
  m_dValue = method == FerScalePercent ? m_dPercent : m_dFactor;
  m_nColor = CColorNameList().IndexOfCode(setting.GetUndeformedColor());
}

void CResDGOptDlg::SetDeformedSetting(const FerDeformedSetting& setting) {
  m_setting = setting;
  TakeValuesFrom(setting);
}

void CResDGOptDlg::LoadSettings() {
  const ResView view = ResGetView();
  const FerDeformedSetting deformed = view.settings.GetDeformedSettings();
  loaded_ = deformed.GetResult() != kNoDeformationValues;
  if (loaded_) TakeValuesFrom(deformed);
}

void CResDGOptDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_DG_SUPERIMPOSE, m_bSuperimpose);
  DDX_Text(dx, IDC_DG_VALUE, m_dValue);
  DDX_Radio(dx, IDC_DG_FACTOR, m_nScaleMethod);
  DDX_CBIndex(dx, IDC_DG_COLOR, m_nColor);
}

BOOL CResDGOptDlg::OnInitDialog() {
  LoadSettings();
  opening_ = Current();
  exchanging_ = true;
  CDialog::OnInitDialog();
  ResFillColorCombo(*this, IDC_DG_COLOR, m_nColor);
  ApplySuperimposeRule();
  ApplyScaleRule(m_nScaleMethod);
  exchanging_ = false;
  // The shapes of a shape-optimisation run are drawn at their own scale.
  AnlControl* control = AnlControl::GetCurrent();
  FerResultSet* current = control ? control->CurrentResultSet() : nullptr;
  const BOOL scaling = current && current->IsModelShape() ? FALSE : TRUE;
  for (int id : {IDC_DG_FACTOR, IDC_DG_PERCENT, IDC_DG_VALUE}) GetDlgItem(id)->EnableWindow(scaling);
  return TRUE;
}

void CResDGOptDlg::ApplySuperimposeRule() {
  const BOOL on = static_cast<CButton*>(GetDlgItem(IDC_DG_SUPERIMPOSE))->GetCheck() == BST_CHECKED ? TRUE : FALSE;
  GetDlgItem(IDC_DG_COLOR)->EnableWindow(on);
  GetDlgItem(IDC_DG_COLOR_LABEL)->EnableWindow(on);
}

void CResDGOptDlg::ApplyScaleRule(int method) {
  m_nScaleMethod = method;
  const bool percent = method == kPercentage;
  const bool wasExchanging = exchanging_;
  exchanging_ = true;  // writing the edit is not the user's change
  SetDlgItemText(IDC_DG_VALUE, percent ? Printf("%.2f", m_dPercent).c_str() : Printf("%.4f", m_dFactor).c_str());
  exchanging_ = wasExchanging;
  m_dValue = percent ? m_dPercent : m_dFactor;
  GetDlgItem(IDC_DG_PERCENT_LABEL)->ShowWindow(percent ? SW_SHOW : SW_HIDE);
  static_cast<CButton*>(GetDlgItem(IDC_DG_FACTOR))->SetCheck(percent ? BST_UNCHECKED : BST_CHECKED);
  static_cast<CButton*>(GetDlgItem(IDC_DG_PERCENT))->SetCheck(percent ? BST_CHECKED : BST_UNCHECKED);
}

void CResDGOptDlg::OnFactor() { ApplyScaleRule(kScaleFactor); }
void CResDGOptDlg::OnPercent() { ApplyScaleRule(kPercentage); }
void CResDGOptDlg::OnSuperimpose() { ApplySuperimposeRule(); }
void CResDGOptDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

// Each change of the value is read back at once: a non-number gets the standard message and the
// member keeps its last valid value; a value of 0 or less is refused the same way.
void CResDGOptDlg::OnValueChange() {
  if (ResReadBackPositive(*this, exchanging_, m_dValue))
    (m_nScaleMethod == kPercentage ? m_dPercent : m_dFactor) = m_dValue;
}

void CResDGOptDlg::Restore(const Values& values) {
  m_bSuperimpose = values.superimpose;
  m_dValue = values.value;
  m_nScaleMethod = values.method;
  m_nColor = values.color;
  m_dFactor = values.factor;
  m_dPercent = values.percent;
}

void CResDGOptDlg::OnCancel() {
  Restore(opening_);  // what was typed in this run is dropped
  CDialog::OnCancel();
}
