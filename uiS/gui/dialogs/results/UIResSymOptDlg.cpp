#include "gui/dialogs/results/UIResSymOptDlg.h"

#include "amg/CaeUnit.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_RES_SYMBOL_OPTIONS;
// Scale methods of the symbol setting.
constexpr int kMethodFixed = 0, kMethodPercent = 2;
// The percentage's unit type.
constexpr int kPercentUnit = 17;

}  // namespace

BEGIN_MESSAGE_MAP(CResSymOptDlg, CDialog)
ON_BN_CLICKED(IDC_SYM_FIXED, OnFixed)
ON_BN_CLICKED(IDC_SYM_PERCENT, OnPercent)
ON_EN_CHANGE(IDC_SYM_VALUE, OnValueChange)
ON_BN_CLICKED(IDC_SYM_HELP, OnHelp)
END_MESSAGE_MAP()

CResSymOptDlg::CResSymOptDlg() : CDialog(IDD_RES_SYMBOL_OPTIONS) {}

void CResSymOptDlg::TakeValuesFrom(const FerSymbolSetting& setting) {
  m_dFactor = setting.GetFactor();
  const double fixed = CaeUnit::NativeToHost(CaeUtLength, setting.GetFixedSize());
  const double percent = CaeUnit::NativeToHost(kPercentUnit, setting.GetPercent());
  if (setting.GetMethod() == kMethodFixed) {
    m_nSizeMode = kFixed, m_dFixedSize = fixed, m_dValue = fixed, m_dPercent = percent;
  } else if (setting.GetMethod() == kMethodPercent) {
    m_nSizeMode = kPercent, m_dPercent = percent, m_dValue = percent, m_dFixedSize = fixed;
  }
  m_nColor = CColorNameList().IndexOfCode(setting.GetColor());
  m_unitLabel = "";
}

void CResSymOptDlg::SetSymbolSetting(const FerSymbolSetting& setting) {
  m_setting = setting;
  TakeValuesFrom(setting);
}

void CResSymOptDlg::LoadSettings() { TakeValuesFrom(ResGetView().settings.GetSymbolSettings()); }

void CResSymOptDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_SYM_COLOR, m_nColor);
  DDX_Radio(dx, IDC_SYM_FIXED, m_nSizeMode);
  DDX_Text(dx, IDC_SYM_VALUE, m_dValue);
  DDX_Text(dx, IDC_SYM_UNIT, m_unitLabel);
}

BOOL CResSymOptDlg::OnInitDialog() {
  LoadSettings();
  opening_ = Current();
  exchanging_ = true;
  CDialog::OnInitDialog();
  ApplySizeRule(m_nSizeMode);
  ResFillColorCombo(*this, IDC_SYM_COLOR, m_nColor);
  exchanging_ = false;
  return TRUE;
}

void CResSymOptDlg::ApplySizeRule(int mode) {
  m_nSizeMode = mode;
  m_unitLabel = mode == kFixed ? CString(ResUnitText(CaeUtLength).c_str()) : CString("%");
  m_dValue = mode == kFixed ? m_dFixedSize : m_dPercent;
  const bool wasExchanging = exchanging_;
  exchanging_ = true;
  UpdateData(FALSE);
  exchanging_ = wasExchanging;
}

void CResSymOptDlg::OnFixed() { ApplySizeRule(kFixed); }
void CResSymOptDlg::OnPercent() { ApplySizeRule(kPercent); }
void CResSymOptDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

// Read back at once: a non-number gets the standard message and the last valid value stays; a
// size or percentage of 0 or less is refused.
void CResSymOptDlg::OnValueChange() {
  if (ResReadBackPositive(*this, exchanging_, m_dValue))
    (m_nSizeMode == kPercent ? m_dPercent : m_dFixedSize) = m_dValue;
}

void CResSymOptDlg::OnCancel() {
  m_nColor = opening_.color;
  m_nSizeMode = opening_.mode;
  m_dValue = opening_.value;
  m_dFixedSize = opening_.fixedSize;
  m_dPercent = opening_.percent;
  CDialog::OnCancel();
}
