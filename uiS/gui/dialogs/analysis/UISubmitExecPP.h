// The "Execution" page (and its wizard form "Time to Execute Job..."): write the input deck to a
// file, run the job at once, or run it at a given local date and time.
#pragma once
#include <ctime>
#include <string>

#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

// The clock the page reads "now" from (tests set their own); null restores the system clock.
using UISubmitClock = std::time_t (*)();
void UISetSubmitClock(UISubmitClock clock);
std::time_t UISubmitNow();

class CSubmitExecPP : public CPropertyPage {
 public:
  enum ExecMode : int { kManual = 0, kImmediate = 1, kDelayed = 2 };

  explicit CSubmitExecPP(UINT templateId = IDD_SUBMIT_EXEC);

  // The local start time of a delayed run: the page's date, hour and minute, 0 seconds.
  std::tm StartTime() const;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnWizardFinish() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  int m_nTemplateId;
  BOOL m_bDelayed = FALSE;
  BOOL m_bWizardButtons = FALSE;
  int m_nDeckFormat = 0;
  CString m_strFileName;
  CString m_strSaveAsType;
  int m_nExecMode = kImmediate;
  int m_nYear = 0, m_nMonth = 0, m_nDay = 0, m_nHour = 0, m_nMinute = 0;

 protected:
  void OnManual();
  void OnImmediate();
  void OnDelayed();
  void OnBrowse();
  void OnSaveAsType();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableForMode();
  void CheckStartTime();
  // Manual execution: a name to write to, a folder that takes it, the input format, and an
  // existing file only when the person agrees. False (with the message shown) keeps the page.
  bool DeckFileAcceptable();
  bool IsWizardTemplate() const { return m_nTemplateId == IDD_SUBMIT_EXEC_WIZARD; }
  std::string browsedPath_;    // the full path chosen with Browse (the field shows its file name)
  std::string confirmedPath_;  // a file the person agreed to replace
};
