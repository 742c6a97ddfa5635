#include "gui/dialogs/analysis/UISubmitModesPP.h"

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlWriter.h"
#include "mfc/controls.h"
#include "mfc/ddx.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr DWORD_PTR kVibrationHelp = 0x8000000c;
constexpr int kVibration = 1;
constexpr int kMaxModes = 1000000;
constexpr int kModesSpinTop = 300;
const int kChoices[] = {IDC_MODES_LOWEST, IDC_MODES_ALL_IN_RANGE, IDC_MODES_ABOVE, IDC_MODES_LOWEST_IN_RANGE};

void SetText(CWnd& page, int id, UINT stringId) {
  if (CWnd* control = page.GetDlgItem(id)) control->SetWindowText(resLoadString(stringId).Text());
}

}  // namespace

BEGIN_MESSAGE_MAP(CSubmitModesPP, CPropertyPage)
ON_BN_CLICKED(IDC_MODES_LOWEST, OnChoice)
ON_BN_CLICKED(IDC_MODES_ALL_IN_RANGE, OnChoice)
ON_BN_CLICKED(IDC_MODES_ABOVE, OnChoice)
ON_BN_CLICKED(IDC_MODES_LOWEST_IN_RANGE, OnChoice)
END_MESSAGE_MAP()

CSubmitModesPP::CSubmitModesPP() : CPropertyPage(IDD_SUBMIT_MODES) { m_psp.dwFlags |= PSP_HASHELP; }

void CSubmitModesPP::SetAnalysisType(int type) {
  m_nAnalysisType = type;
  m_nMethod = kLowest;
  m_nNumModes = type == kVibration ? 3 : 2;
}

int CSubmitModesPP::MethodOf(int choice) {
  switch (choice) {
    case kAllInRange: return AnlWriter::kModesAllInRange;
    case kAbove: return AnlWriter::kModesAbove;
    case kLowestInRange: return AnlWriter::kModesLowestInRange;
    default: return AnlWriter::kModesLowest;
  }
}

void CSubmitModesPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_MODES_LOWEST, m_nMethod);
  DDX_Text(dx, IDC_MODES_COUNT, m_nNumModes);
  DDV_MinMaxInt(dx, m_nNumModes, 1, kMaxModes);
  DDX_Text(dx, IDC_MODES_LOWER, m_dLower);
  DDX_Text(dx, IDC_MODES_UPPER, m_dUpper);
}

BOOL CSubmitModesPP::OnInitDialog() {
  const bool vibration = m_nAnalysisType == kVibration;
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  const std::string unit =
      table ? table->IdToShortString(CaeUnitSystem::GetHostUnit(CaeUtFrequency)).c_str() : std::string();
  for (int id : {IDC_MODES_LOWER_UNIT, IDC_MODES_UPPER_UNIT})
    if (CWnd* label = GetDlgItem(id)) {
      label->SetWindowText(unit.c_str());
      label->ShowWindow(vibration ? SW_SHOW : SW_HIDE);
    }
  if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_MODES_COUNT_SPIN))) spin->SetRange32(1, kModesSpinTop);
  SetText(*this, IDC_MODES_GROUP, vibration ? IDS_MODES_FREQUENCY_GROUP : IDS_MODES_FACTOR_GROUP);
  SetText(*this, IDC_MODES_ABOVE, vibration ? IDS_MODES_ABOVE_FREQUENCY : IDS_MODES_ABOVE_FACTOR);
  SetText(*this, IDC_MODES_LOWER_LABEL, vibration ? IDS_MODES_LOWER_FREQUENCY : IDS_MODES_LOWER_FACTOR);
  SetText(*this, IDC_MODES_UPPER_LABEL, vibration ? IDS_MODES_UPPER_FREQUENCY : IDS_MODES_UPPER_FACTOR);
  EnableForChoice(m_nMethod);
  CPropertyPage::OnInitDialog();
  return TRUE;
}

int CSubmitModesPP::CheckedChoice() const {
  for (int i = 0; i < 4; ++i)
    if (auto* radio = static_cast<CButton*>(GetDlgItem(kChoices[i])); radio && radio->GetCheck() == BST_CHECKED)
      return i;
  return m_nMethod;
}

void CSubmitModesPP::EnableForChoice(int choice) {
  const bool count = choice == kLowest || choice == kAbove || choice == kLowestInRange;
  const bool lower = choice == kAllInRange || choice == kAbove || choice == kLowestInRange;
  const bool upper = choice == kAllInRange || choice == kLowestInRange;
  auto enable = [this](std::initializer_list<int> ids, bool on) {
    for (int id : ids)
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(on);
  };
  enable({IDC_MODES_COUNT, IDC_MODES_COUNT_SPIN, IDC_MODES_COUNT_LABEL}, count);
  enable({IDC_MODES_LOWER, IDC_MODES_LOWER_UNIT, IDC_MODES_LOWER_LABEL}, lower);
  enable({IDC_MODES_UPPER, IDC_MODES_UPPER_UNIT, IDC_MODES_UPPER_LABEL}, upper);
}

void CSubmitModesPP::OnChoice() { EnableForChoice(CheckedChoice()); }

// A range whose upper bound is not above its lower one finds nothing: refused, the page stays.
BOOL CSubmitModesPP::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  const bool ranged = m_nMethod == kAllInRange || m_nMethod == kLowestInRange;
  if (ranged && !(m_dUpper > m_dLower)) {
    CadMessageBoxId(IDS_MODES_RANGE_INVALID, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return TRUE;
}

BOOL CSubmitModesPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(m_nAnalysisType == kVibration ? kVibrationHelp : kHelpBase + IDD_SUBMIT_MODES, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
