#include "gui/dialogs/results/UIResColOptDlg.h"

#include <algorithm>
#include <cstdio>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadResources.h"
#include "fea/FerResult.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "mfc/ddx.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_RES_CONTOUR_RANGE;
constexpr std::uint32_t kInvalidRange = 0xc0000fbb;

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CResColOptDlg, CDialog)
ON_BN_CLICKED(IDC_RANGE_FULL, OnRangeType)
ON_BN_CLICKED(IDC_RANGE_MIN_MAX, OnRangeType)
ON_BN_CLICKED(IDC_RANGE_MAX_INC, OnRangeType)
ON_BN_CLICKED(IDC_RANGE_MIN_INC, OnRangeType)
ON_BN_CLICKED(IDC_RANGE_FOS, OnSafety)
ON_BN_CLICKED(IDC_RANGE_FOS_MATERIAL, OnSafety)
ON_BN_CLICKED(IDC_RANGE_FOS_USER, OnSafety)
ON_BN_CLICKED(IDC_RANGE_HELP, OnHelp)
END_MESSAGE_MAP()

CResColOptDlg::CResColOptDlg() : CDialog(IDD_RES_CONTOUR_RANGE) {}

const FerResult* CResColOptDlg::Result() const {
  const ResView view = ResGetView();
  return ResDisplayedSet(view.settings)->FindResult(m_setting.GetResult());
}

void CResColOptDlg::LoadSettings() {
  const ResView view = ResGetView();
  const FerResult* result = ResDisplayedSet(view.settings)->FindResult(m_setting.GetResult());
  if (!result) return;
  m_nRangeType = std::clamp(m_setting.GetRangeType() - 1, 0, 3);
  m_nColorStyle = m_setting.GetColorStyle();
  m_nIncrements = m_setting.GetNumberIntervals();
  m_nUnitType = result->UnitType();
  switch (m_setting.FactorOfSafetyUsed()) {
    case 1: m_bSafety = 1, m_nSafetyKind = kUserDefined; break;
    case 2:
      m_bSafety = m_nUnitType == CaeUtStress ? 1 : 0;
      m_nSafetyKind = m_nUnitType == CaeUtStress ? kMaterialBased : kUserDefined;
      break;
    default: m_bSafety = 0, m_nSafetyKind = kMaterialBased;
  }
  m_dAllowable = CaeUnit::NativeToHost(m_nUnitType, m_setting.GetFactorOfSafetyValue());
  double minimum = 0, maximum = 0, increment = 0;
  m_setting.GetRange(minimum, maximum, increment);
  if (minimum == maximum) {
    // No range stored: the data's own.
    FerInfo info;
    if (result->GetInfo(info, FerResult::kInfoMinMax, 0, m_setting.GetDataSetting(), view.settings.GetResultSubSet(),
                        1.0) == 2) {
      minimum = info.FirstItem()->Value();
      maximum = info.NextItem()->Value();
    }
    increment = m_nIncrements > 0 ? (maximum - minimum) / m_nIncrements : 0.0;
  }
  m_dIncrement = CaeUnit::NativeToHost(m_nUnitType, increment);
  m_dMaximum = CaeUnit::NativeToHost(m_nUnitType, maximum);
  m_dMinimum = CaeUnit::NativeToHost(m_nUnitType, minimum);
}

void CResColOptDlg::CheckRange(CDataExchange* dx, double minimum, double maximum) {
  if (!dx->m_bSaveAndValidate || minimum <= maximum) return;
  dx->PrepareEditCtrl(IDC_RANGE_MIN);
  const CaeString text =
      CaeMsgTxt::GetMessage(kInvalidRange, {CaeString(Printf("%f", minimum)), CaeString(Printf("%f", maximum))});
  std::string shown = text.Str();
  if (shown.size() >= 2 && shown.compare(shown.size() - 2, 2, "\r\n") == 0) shown.resize(shown.size() - 2);
  ::MessageBox(nullptr, shown.c_str(), "", MB_OK | MB_ICONWARNING);
  dx->Fail();
}

void CResColOptDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Radio(dx, IDC_RANGE_FULL, m_nRangeType);
  DDX_Radio(dx, IDC_RANGE_RED_BLUE, m_nColorStyle);
  DDX_Text(dx, IDC_RANGE_INC, m_dIncrement);
  DDX_Text(dx, IDC_RANGE_COUNT, m_nIncrements);
  DDV_MinMaxInt(dx, m_nIncrements, kMinIncrements, kMaxIncrements);
  DDX_Check(dx, IDC_RANGE_FOS, m_bSafety);
  DDX_Text(dx, IDC_RANGE_ALLOWABLE, m_dAllowable);
  DDX_Radio(dx, IDC_RANGE_FOS_MATERIAL, m_nSafetyKind);
  DDX_Text(dx, IDC_RANGE_MAX, m_dMaximum);
  DDX_Text(dx, IDC_RANGE_MIN, m_dMinimum);
  CheckRange(dx, m_dMinimum, m_dMaximum);
}

BOOL CResColOptDlg::OnInitDialog() {
  LoadSettings();
  CDialog::OnInitDialog();
  const std::string unit = ResUnitText(m_nUnitType);
  for (int id : {IDC_RANGE_MIN_UNIT, IDC_RANGE_MAX_UNIT, IDC_RANGE_INC_UNIT, IDC_RANGE_ALLOWABLE_UNIT})
    SetDlgItemText(id, unit.c_str());
  ShowDataRange();
  EnableSafetyControls();
  EnableRangeControls();
  return TRUE;
}

void CResColOptDlg::ShowDataRange() {
  const FerResult* result = Result();
  FerInfo info;
  const ResView view = ResGetView();
  if (!result || result->GetInfo(info, FerResult::kInfoMinMax, 0, m_setting.GetDataSetting(),
                                 view.settings.GetResultSubSet(), 1.0) != 2) {
    SetDlgItemText(IDC_RANGE_DATA_MIN, "");
    SetDlgItemText(IDC_RANGE_DATA_MAX, "");
    return;
  }
  const std::string unit = " " + ResUnitText(m_nUnitType);
  const double minimum = CaeUnit::NativeToHost(m_nUnitType, info.FirstItem()->Value());
  const double maximum = CaeUnit::NativeToHost(m_nUnitType, info.NextItem()->Value());
  SetDlgItemText(IDC_RANGE_DATA_MIN, (Printf("%.1e", minimum) + unit).c_str());
  SetDlgItemText(IDC_RANGE_DATA_MAX, (Printf("%.1e", maximum) + unit).c_str());
}

void CResColOptDlg::EnableRangeControls() {
  const int type = static_cast<CButton*>(GetDlgItem(IDC_RANGE_MIN_MAX))->GetCheck()   ? kMinMax
                   : static_cast<CButton*>(GetDlgItem(IDC_RANGE_MAX_INC))->GetCheck() ? kMaxIncrement
                   : static_cast<CButton*>(GetDlgItem(IDC_RANGE_MIN_INC))->GetCheck() ? kMinIncrement
                                                                                      : kFullRange;
  const bool minimum = type == kMinMax || type == kMinIncrement;
  const bool maximum = type == kMinMax || type == kMaxIncrement;
  const bool increment = type == kMaxIncrement || type == kMinIncrement;
  auto enable = [&](std::initializer_list<int> ids, bool on) {
    for (int id : ids) GetDlgItem(id)->EnableWindow(on ? TRUE : FALSE);
  };
  enable({IDC_RANGE_MIN, IDC_RANGE_MIN_LABEL, IDC_RANGE_MIN_UNIT}, minimum);
  enable({IDC_RANGE_MAX, IDC_RANGE_MAX_LABEL, IDC_RANGE_MAX_UNIT}, maximum);
  enable({IDC_RANGE_INC, IDC_RANGE_INC_LABEL, IDC_RANGE_INC_UNIT, IDC_RANGE_COUNT, IDC_RANGE_COUNT_LABEL}, increment);
}

void CResColOptDlg::EnableSafetyControls() {
  const bool on = static_cast<CButton*>(GetDlgItem(IDC_RANGE_FOS))->GetCheck() == BST_CHECKED;
  const bool user = static_cast<CButton*>(GetDlgItem(IDC_RANGE_FOS_USER))->GetCheck() == BST_CHECKED;
  GetDlgItem(IDC_RANGE_FOS_MATERIAL)->EnableWindow(on && m_nUnitType == CaeUtStress ? TRUE : FALSE);
  GetDlgItem(IDC_RANGE_FOS_USER)->EnableWindow(on ? TRUE : FALSE);
  GetDlgItem(IDC_RANGE_ALLOWABLE)->EnableWindow(on && user ? TRUE : FALSE);
  GetDlgItem(IDC_RANGE_ALLOWABLE_UNIT)->EnableWindow(on && user ? TRUE : FALSE);
}

void CResColOptDlg::OnRangeType() { EnableRangeControls(); }
void CResColOptDlg::OnSafety() { EnableSafetyControls(); }
void CResColOptDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

void CResColOptDlg::OnCancel() {
  LoadSettings();  // the values the dialog was opened with
  CDialog::OnCancel();
}
