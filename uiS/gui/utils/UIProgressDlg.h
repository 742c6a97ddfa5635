// The progress and interrupt dialog the engine drives through one function.
//
// UIProgressControl(code, argument) is the engine's progress function (the application
// controller installs it). Codes: 0 open (argument: CaeString* title), 2 close, 4 enable Cancel,
// 6 show Cancel, 7 show activity, 8 activity count, 9 next activity (argument: CaeString* text),
// 10 activity percent, 12 overall percent, 14 wait (milliseconds), 15 query cancel (argument
// non-zero: close on cancel), 16 pump, 17 iteration caption; others do nothing. Every argument
// but those of 0 and 9 points to an int; null reads as 0.
//
// The result starts as the interrupt object's cancel state (1 after Cancel) when a dialog with
// an interrupt object exists, else 0; codes 9, 10, 12, 15 and 16 answer their own result.
//
// While the dialog is open the window that was active when it opened is disabled; Cancel only
// tells the interrupt object. The flags of codes 4, 6 and 7 shape the next dialog and go back to 1
// at every close.
#pragma once
#include "cadInterface/CadUiServices.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

class CaeInterupt;

class CProgressDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_PROGRESS;
  static constexpr int kActivityBarId = IDC_PROGRESS_ACTIVITY;
  static constexpr int kActivityTextId = IDC_PROGRESS_ACTIVITY_TEXT;
  static constexpr int kOverallBarId = IDC_PROGRESS_OVERALL;

  explicit CProgressDlg(CWnd* parent);
  ~CProgressDlg() override;

  void DoDataExchange(CDataExchange* dx) override;
  void OnCancel() override;
  void PostNcDestroy() override;

  // Read by tests and by the engine's progress function.
  int ActivityPercent() const { return activityPercent_; }
  int OverallPercent() const { return overallPercent_; }
  int ActivityBarPos() const { return activityBar_.GetPos(); }
  int OverallBarPos() const { return overallBar_.GetPos(); }

 private:
  friend struct ProgressSteps;
  int activeWindowWasEnabled_ = 0;
  HWND activeWindow_ = nullptr;
  CProgressCtrl activityBar_;
  CProgressCtrl overallBar_;
  CaeInterupt* interrupt_ = nullptr;
  CWnd* parentWindow_ = nullptr;
  int overallPercent_ = 0;
  int activityPercent_ = 0;
  int activityCount_ = -1;
  int activityIndex_ = -1;
  CString title_;
};

// The open dialog, or null.
CProgressDlg* UIProgressDialog();
