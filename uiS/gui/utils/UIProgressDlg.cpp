#include "gui/utils/UIProgressDlg.h"

#include <chrono>

#include "amg/CaeInterupt.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeString.h"
#include "cadInterface/CadInterface.h"
#include "res/ResourceIds.h"

namespace {

CProgressDlg* currentDialog = nullptr;
int showCancel = 1;
int showActivity = 1;
int enableCancel = 1;

int IntArgument(void* argument) { return argument ? *static_cast<int*>(argument) : 0; }

CaeString TextArgument(void* argument) { return argument ? *static_cast<CaeString*>(argument) : CaeString(); }

void PumpAll() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ShowItem(CWnd& dialog, int id, int show) {
  if (CWnd* item = dialog.GetDlgItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void EnableItem(CWnd& dialog, int id, int enable) {
  if (CWnd* item = dialog.GetDlgItem(id)) item->EnableWindow(enable ? TRUE : FALSE);
}

}  // namespace

// The dialog's steps, one function per progress code.
struct ProgressSteps {
  static int CancelState() {
    return currentDialog && currentDialog->interrupt_ ? currentDialog->interrupt_->Check() : 0;
  }

  static int Pump() {
    if (!currentDialog) return 0;
    PumpAll();
    return CancelState();
  }

  static void Open(const CaeString& title) {
    if (currentDialog) return;
    CadInterface* cad = CadInterface::GetCurrent();
    CWnd* parent = cad ? CWnd::FromHandle(cad->GetMainWindow()) : AfxGetMainWnd();
    auto* dialog = new CProgressDlg(parent);
    dialog->title_ = title.c_str();
    dialog->activeWindow_ = GetActiveWindow();
    if (dialog->activeWindow_) {
      dialog->activeWindowWasEnabled_ = IsWindowEnabled(dialog->activeWindow_) ? 1 : 0;
      EnableWindow(dialog->activeWindow_, FALSE);
    }
    if (!Create(*dialog)) return;
    ShowItem(*dialog, IDCANCEL, showCancel);
    EnableItem(*dialog, IDCANCEL, enableCancel);
    ShowItem(*dialog, CProgressDlg::kActivityBarId, showActivity);
    ShowItem(*dialog, CProgressDlg::kActivityTextId, showActivity);
  }

  static bool Create(CProgressDlg& dialog) {
    if (!dialog.Create(CProgressDlg::kTemplateId, dialog.parentWindow_)) {
      RestoreActiveWindow(dialog);
      delete &dialog;
      return false;
    }
    currentDialog = &dialog;
    dialog.UpdateData(FALSE);
    dialog.interrupt_ = CaeInterupt::GetCurrent();
    if (dialog.interrupt_) dialog.interrupt_->Initialize();
    Centre(dialog);
    PumpAll();
    if (!dialog.title_.IsEmpty()) dialog.SetWindowText(dialog.title_);
    return true;
  }

  static void Centre(CProgressDlg& dialog) {
    RECT own{};
    dialog.GetWindowRect(&own);
    RECT main{};
    CadInterface* cad = CadInterface::GetCurrent();
    HWND mainWindow = cad ? cad->GetMainWindow() : nullptr;
    if (mainWindow) GetWindowRect(mainWindow, &main);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = main.left + (main.right - main.left) / 2 - width / 2;
    const int y = main.top + (main.bottom - main.top) / 2 - height / 2;
    dialog.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  }

  static void RestoreActiveWindow(CProgressDlg& dialog) {
    if (!dialog.activeWindow_ || !IsWindow(dialog.activeWindow_)) return;
    if (dialog.activeWindowWasEnabled_) {
      EnableWindow(dialog.activeWindow_, TRUE);
      SetActiveWindow(dialog.activeWindow_);
    }
  }

  static void Close() {
    if (CProgressDlg* dialog = currentDialog) {
      EnableItem(*dialog, IDCANCEL, 0);
      RunUp(dialog->activityPercent_, ActivityPercent);
      RunUp(dialog->overallPercent_, OverallPercent);
      RestoreActiveWindow(*dialog);
      if (dialog->interrupt_ && dialog->interrupt_->IsRunning()) dialog->interrupt_->Close();
      dialog->ShowWindow(SW_HIDE);
      currentDialog = nullptr;
      dialog->DestroyWindow();  // deletes the object
    }
    showCancel = 1;
    showActivity = 1;
    enableCancel = 1;
  }

  // Runs a bar up to 100 in steps of 10, each step applied (and pumped) by its code.
  static void RunUp(int start, int (*apply)(int)) {
    for (int percent = start; percent <= 100 && currentDialog; percent += 10) apply(percent);
  }

  static int OverallFromActivities(const CProgressDlg& dialog) {
    if (dialog.activityIndex_ < 0 || dialog.activityCount_ <= 0) return 0;
    return static_cast<int>(static_cast<double>(dialog.activityIndex_) * 100.0 / dialog.activityCount_);
  }

  static void ActivityCount(int count) {
    if (!currentDialog) return;
    currentDialog->activityCount_ = count;
    if (count > 0) OverallPercent(OverallFromActivities(*currentDialog));
  }

  static int NextActivity(const CaeString& text) {
    CProgressDlg* dialog = currentDialog;
    if (!dialog) return CancelState();
    if (dialog->activityIndex_ >= 0) RunUp(dialog->activityPercent_, ActivityPercent);
    if (!currentDialog) return 0;
    ++dialog->activityIndex_;
    if (dialog->activityCount_ > 0) OverallPercent(OverallFromActivities(*dialog));
    if (!text.IsEmpty()) dialog->SetDlgItemText(CProgressDlg::kActivityTextId, text.c_str());
    return ActivityPercent(0);
  }

  static int ActivityPercent(int percent) {
    CProgressDlg* dialog = currentDialog;
    if (!dialog) return CancelState();
    dialog->activityPercent_ = percent;
    dialog->activityBar_.SetPos(percent);
    if (dialog->activityCount_ > 0) {
      dialog->overallBar_.SetPos(OverallFromActivities(*dialog) + percent / dialog->activityCount_);
    }
    return Pump();
  }

  static int OverallPercent(int percent) {
    CProgressDlg* dialog = currentDialog;
    if (!dialog) return CancelState();
    dialog->overallPercent_ = percent;
    dialog->overallBar_.SetPos(percent);
    if (percent >= 100) EnableItem(*dialog, IDCANCEL, 0);
    return Pump();
  }

  // Waits on the steady clock while pumping, so that Cancel is seen; ends early on a cancel.
  static void Wait(int milliseconds) {
    if (!currentDialog) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (currentDialog && std::chrono::steady_clock::now() < end) {
      if (Pump()) return;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      mfc::waitForMessage(static_cast<int>(std::min<long long>(left.count(), 10)));
    }
  }

  static int QueryCancel(int closeOnCancel) {
    CProgressDlg* dialog = currentDialog;
    if (!dialog) return CancelState();
    CaeInterupt* interrupt = dialog->interrupt_;
    if (interrupt && interrupt->Check()) {
      // Close() already ends the interrupt's operation; it must not be closed twice.
      if (closeOnCancel) {
        Close();
      } else if (interrupt->IsRunning()) {
        interrupt->Close();
      }
      return 1;
    }
    return Pump();
  }

  static void IterationCaption(int iteration) {
    if (!currentDialog) return;
    const CaeString caption = CaeMsgTxt::GetMessage(MSG_ANALYSIS_ITERATION, {CaeString::Format("%d", iteration)});
    if (!caption.IsEmpty()) currentDialog->SetWindowText(caption.c_str());
  }
};

CProgressDlg::CProgressDlg(CWnd* parent) : CDialog(kTemplateId, parent), parentWindow_(parent) {}

CProgressDlg::~CProgressDlg() {
  if (currentDialog == this) currentDialog = nullptr;
}

void CProgressDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, kActivityBarId, activityBar_);
  DDX_Control(dx, kOverallBarId, overallBar_);
}

void CProgressDlg::OnCancel() {
  if (interrupt_) interrupt_->Cancel();
}

void CProgressDlg::PostNcDestroy() {
  if (currentDialog == this) currentDialog = nullptr;
  delete this;
}

int UIProgressControl(int code, void* argument) {
  const int entryResult = ProgressSteps::CancelState();
  switch (code) {
    case 0: ProgressSteps::Open(TextArgument(argument)); break;
    case 2: ProgressSteps::Close(); break;
    case 4:
      enableCancel = IntArgument(argument);
      if (currentDialog) EnableItem(*currentDialog, IDCANCEL, enableCancel);
      break;
    case 6:
      showCancel = IntArgument(argument);
      if (currentDialog) ShowItem(*currentDialog, IDCANCEL, showCancel);
      break;
    case 7:
      showActivity = IntArgument(argument);
      if (currentDialog) {
        ShowItem(*currentDialog, CProgressDlg::kActivityBarId, showActivity);
        ShowItem(*currentDialog, CProgressDlg::kActivityTextId, showActivity);
      }
      break;
    case 8: ProgressSteps::ActivityCount(IntArgument(argument)); break;
    case 9: return currentDialog ? ProgressSteps::NextActivity(TextArgument(argument)) : entryResult;
    case 10: return currentDialog ? ProgressSteps::ActivityPercent(IntArgument(argument)) : entryResult;
    case 12: return currentDialog ? ProgressSteps::OverallPercent(IntArgument(argument)) : entryResult;
    case 14: ProgressSteps::Wait(IntArgument(argument)); break;
    case 15: return currentDialog ? ProgressSteps::QueryCancel(IntArgument(argument)) : entryResult;
    case 16: return currentDialog ? ProgressSteps::Pump() : entryResult;
    case 17: ProgressSteps::IterationCaption(IntArgument(argument)); break;
    default: break;
  }
  return entryResult;
}

void UIProgressClose() { UIProgressControl(2, nullptr); }

CProgressDlg* UIProgressDialog() { return currentDialog; }
