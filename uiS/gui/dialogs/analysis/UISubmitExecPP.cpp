#include "gui/dialogs/analysis/UISubmitExecPP.h"

#include <unistd.h>

#include <filesystem>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "mfc/controls.h"
#include "mfc/ddx.h"
#include "mfc/services.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kFirstYear = 1997;
constexpr int kLastYear = 2999;

UISubmitClock g_clock = nullptr;

std::tm LocalNow() {
  const std::time_t now = UISubmitNow();
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

const int kDateEdits[] = {IDC_EXEC_HOUR, IDC_EXEC_MINUTE, IDC_EXEC_MONTH, IDC_EXEC_DAY, IDC_EXEC_YEAR};
const int kDateOthers[] = {IDC_EXEC_HOUR_SPIN,  IDC_EXEC_HOUR_LABEL,  IDC_EXEC_MINUTE_SPIN, IDC_EXEC_MINUTE_LABEL,
                           IDC_EXEC_MONTH_SPIN, IDC_EXEC_MONTH_LABEL, IDC_EXEC_DAY_SPIN,    IDC_EXEC_DAY_LABEL,
                           IDC_EXEC_YEAR_SPIN,  IDC_EXEC_YEAR_LABEL};
const int kFileControls[] = {IDC_EXEC_FILE_LABEL, IDC_EXEC_FILE, IDC_EXEC_BROWSE, IDC_EXEC_TYPE_LABEL, IDC_EXEC_TYPE};

bool IsPattern(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

}  // namespace

void UISetSubmitClock(UISubmitClock clock) { g_clock = clock; }

std::time_t UISubmitNow() { return g_clock ? g_clock() : std::time(nullptr); }

BEGIN_MESSAGE_MAP(CSubmitExecPP, CPropertyPage)
ON_BN_CLICKED(IDC_EXEC_MANUAL, OnManual)
ON_BN_CLICKED(IDC_EXEC_IMMEDIATE, OnImmediate)
ON_BN_CLICKED(IDC_EXEC_DELAYED, OnDelayed)
ON_BN_CLICKED(IDC_EXEC_BROWSE, OnBrowse)
ON_CBN_SELCHANGE(IDC_EXEC_TYPE, OnSaveAsType)
END_MESSAGE_MAP()

CSubmitExecPP::CSubmitExecPP(UINT templateId) : CPropertyPage(templateId), m_nTemplateId(static_cast<int>(templateId)) {
  m_psp.dwFlags |= PSP_HASHELP;
  m_strFileName = resLoadString(IDS_DECK_INPUT_PATTERN).Text();
}

std::tm CSubmitExecPP::StartTime() const {
  std::tm start{};
  start.tm_year = m_nYear - 1900;
  start.tm_mon = m_nMonth - 1;
  start.tm_mday = m_nDay;
  start.tm_hour = m_nHour;
  start.tm_min = m_nMinute;
  start.tm_sec = 0;
  start.tm_isdst = -1;  // the platform decides on daylight saving
  return start;
}

void CSubmitExecPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  if (!IsWizardTemplate()) {
    DDX_Text(dx, IDC_EXEC_FILE, m_strFileName);
    // After Browse the field shows the file's name; the page keeps the full path chosen.
    if (dx->m_bSaveAndValidate && !browsedPath_.empty() &&
        std::filesystem::path(browsedPath_).filename().string() == static_cast<const char*>(m_strFileName))
      m_strFileName = browsedPath_.c_str();
    DDX_CBString(dx, IDC_EXEC_TYPE, m_strSaveAsType);
  }
  DDX_Radio(dx, IDC_EXEC_MANUAL, m_nExecMode);
  DDX_Text(dx, IDC_EXEC_YEAR, m_nYear);
  DDV_MinMaxInt(dx, m_nYear, kFirstYear, kLastYear);
  DDX_Text(dx, IDC_EXEC_MONTH, m_nMonth);
  DDV_MinMaxInt(dx, m_nMonth, 1, 12);
  DDX_Text(dx, IDC_EXEC_DAY, m_nDay);
  DDV_MinMaxInt(dx, m_nDay, 1, 31);
  DDX_Text(dx, IDC_EXEC_HOUR, m_nHour);
  DDV_MinMaxInt(dx, m_nHour, 0, 24);
  DDX_Text(dx, IDC_EXEC_MINUTE, m_nMinute);
  DDV_MinMaxInt(dx, m_nMinute, 0, 59);
}

BOOL CSubmitExecPP::OnInitDialog() {
  const std::tm now = LocalNow();
  m_nYear = now.tm_year + 1900;
  m_nMonth = now.tm_mon + 1;
  m_nDay = now.tm_mday;
  m_nHour = now.tm_hour;
  m_nMinute = now.tm_min;
  CPropertyPage::OnInitDialog();
  struct Range {
    int id, low, high;
  };
  const Range ranges[] = {{IDC_EXEC_YEAR_SPIN, m_nYear, kLastYear},
                          {IDC_EXEC_MONTH_SPIN, 1, 12},
                          {IDC_EXEC_DAY_SPIN, 1, 31},
                          {IDC_EXEC_HOUR_SPIN, 0, 23},
                          {IDC_EXEC_MINUTE_SPIN, 0, 59}};
  for (const Range& r : ranges)
    if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(r.id))) spin->SetRange32(r.low, r.high);
  if (!IsWizardTemplate())
    if (auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_EXEC_TYPE))) {
      types->InsertString(0, resLoadString(IDS_DECK_INPUT_TYPE).Text());
      types->InsertString(1, resLoadString(IDS_DECK_NEUTRAL_TYPE).Text());
      types->SetCurSel(m_nDeckFormat);
    }
  EnableForMode();
  return TRUE;
}

void CSubmitExecPP::EnableForMode() {
  if (!IsWizardTemplate())
    for (int id : kFileControls)
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(m_nExecMode == kManual);
  for (int id : kDateEdits)
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(m_nExecMode == kDelayed);
  for (int id : kDateOthers)
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(m_nExecMode == kDelayed);
}

void CSubmitExecPP::OnManual() {
  m_nExecMode = kManual;
  m_bDelayed = FALSE;
  EnableForMode();
}

void CSubmitExecPP::OnImmediate() {
  m_nExecMode = kImmediate;
  m_bDelayed = FALSE;
  EnableForMode();
}

void CSubmitExecPP::OnDelayed() {
  m_nExecMode = kDelayed;
  m_bDelayed = TRUE;
  EnableForMode();
}

void CSubmitExecPP::OnSaveAsType() {
  auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_EXEC_TYPE));
  if (!types) return;
  const bool neutral = types->GetCurSel() == kUIDeckNeutral;
  m_nDeckFormat = neutral ? kUIDeckNeutral : kUIDeckInput;
  m_strFileName = resLoadString(neutral ? IDS_DECK_NEUTRAL_PATTERN : IDS_DECK_INPUT_PATTERN).Text();
  browsedPath_.clear();
  if (CWnd* field = GetDlgItem(IDC_EXEC_FILE)) field->SetWindowText(m_strFileName);
}

void CSubmitExecPP::OnBrowse() {
  auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_EXEC_TYPE));
  const bool neutral = types && types->GetCurSel() == kUIDeckNeutral;
  const CaeString extension = resLoadString(neutral ? IDS_DECK_NEUTRAL_EXTENSION : IDS_DECK_INPUT_EXTENSION);
  const CaeString initial = resLoadString(neutral ? IDS_DECK_NEUTRAL_PATTERN : IDS_DECK_INPUT_PATTERN);
  const CaeString description = resLoadString(neutral ? IDS_DECK_NEUTRAL_TYPE : IDS_DECK_INPUT_TYPE);
  const std::string filter = std::string(description.Text()) + "|" + initial.Text() + "||";
  m_strFileName = initial.Text();
  CFileDialog dialog(FALSE, extension.Text(), initial.Text(), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, filter.c_str());
  if (dialog.DoModal() != IDOK) return;
  browsedPath_ = static_cast<const char*>(dialog.GetPathName());
  confirmedPath_ = browsedPath_;  // the dialog asked before an existing file
  m_strFileName = browsedPath_.c_str();
  if (CWnd* field = GetDlgItem(IDC_EXEC_FILE)) field->SetWindowText(dialog.GetFileName());
}

bool CSubmitExecPP::DeckFileAcceptable() {
  if (m_nExecMode != kManual || IsWizardTemplate()) return true;
  const std::string name = static_cast<const char*>(m_strFileName);
  UINT refusal = 0;
  std::error_code error;
  const std::filesystem::path path(name);
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  if (m_nDeckFormat != kUIDeckInput)
    refusal = IDS_NEUTRAL_FILE_UNAVAILABLE;
  else if (name.empty() || IsPattern(name) || path.filename().empty())
    refusal = IDS_DECK_NAME_IS_PATTERN;
  else if (!std::filesystem::is_directory(folder, error) || ::access(folder.c_str(), W_OK) != 0 ||
           std::filesystem::is_directory(path, error))
    refusal = IDS_DECK_FOLDER_UNWRITABLE;
  if (refusal) {
    CadMessageBoxId(refusal, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (std::filesystem::exists(path, error) && confirmedPath_ != name) {
    if (CadMessageBoxId(IDS_DECK_REPLACE, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    confirmedPath_ = name;
  }
  return true;
}

void CSubmitExecPP::CheckStartTime() {
  if (!m_bDelayed) return;
  const std::time_t now = UISubmitNow();
  const std::tm current = LocalNow();
  std::tm t1 = StartTime();
  t1.tm_sec = current.tm_sec;
  std::tm t2 = t1;
  t2.tm_hour = current.tm_hour;
  t2.tm_min = current.tm_min;
  if (std::mktime(&t1) < now && std::mktime(&t2) < now) {
    CadInterface& cad = *CadInterface::GetCurrent();
    cad.PrintMessage(resLoadString(IDS_DELAYED_IN_PAST).Text());
    cad.PrintMessage(resLoadString(IDS_INVALID_INPUT).Text());
  }
}

BOOL CSubmitExecPP::OnSetActive() {
  if (m_bWizardButtons)
    if (CPropertySheet* owner = sheet()) {
      const bool last = owner->GetPageIndex(this) == owner->GetPageCount() - 1;
      owner->SetWizardButtons(PSWIZB_BACK | (last ? PSWIZB_FINISH : PSWIZB_NEXT));
    }
  return CPropertyPage::OnSetActive();
}

BOOL CSubmitExecPP::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  if (!DeckFileAcceptable()) return FALSE;
  CheckStartTime();
  if (m_bWizardButtons)
    if (CPropertySheet* owner = sheet()) owner->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return TRUE;
}

BOOL CSubmitExecPP::OnWizardFinish() {
  CheckStartTime();
  if (!UpdateData(TRUE)) return FALSE;
  return CPropertyPage::OnWizardFinish();
}

BOOL CSubmitExecPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + static_cast<DWORD_PTR>(m_nTemplateId), HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
