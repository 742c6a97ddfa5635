// The user driver: whatever acts for a person. Every place where a person would act asks the
// installed driver: a modal window with nothing left to do, a message box, a file dialog, a popup
// menu. Tests install drivers that act by control id; the host program installs the "@" line
// driver (action_lines.h).
//
// Without a driver: a modal window is cancelled (IDCANCEL), a message box gets its cancelling
// answer (OK for MB_OK, Cancel where there is one, else No, Abort for Abort/Retry/Ignore), a file
// dialog is cancelled and a popup menu dismissed; each is logged, so nothing waits for ever.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "mfc/wnd.h"

class CMenu;

namespace mfc {

struct MessageBoxRequest {
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT type = 0;  // MB_ flags as given
};

struct FileDialogRequest {
  bool open = true;
  std::string defaultExtension;
  std::string fileName;  // initial name
  std::string filter;    // '|'-separated pairs
  DWORD flags = 0;
  int filterIndex = 1;
};

class UserDriver {
 public:
  virtual ~UserDriver() = default;
  // A modal window (dialog or property sheet) has handled every message and waits: act on it
  // (user_actions.h) and return true, or return false to let it be cancelled.
  virtual bool onModalIdle(CWnd& window) = 0;
  // The button that ends the box (IDOK, IDYES ...), or 0 for the cancelling answer.
  virtual int onMessageBox(const MessageBoxRequest& box) = 0;
  // The chosen path, or nothing for Cancel.
  virtual std::optional<std::string> onFileDialog(const FileDialogRequest& dialog) = 0;
  // The chosen command id, or 0 to dismiss the menu.
  virtual UINT onPopupMenu(const CMenu& menu, CWnd* owner) = 0;
};

// Installs `driver` (null removes it) and returns the previous one; the caller keeps ownership.
UserDriver* installUserDriver(UserDriver* driver);
UserDriver* userDriver();

// Installs a driver for the lifetime of the object and puts the previous one back after.
class ScopedUserDriver {
 public:
  explicit ScopedUserDriver(UserDriver* driver) : previous_(installUserDriver(driver)) {}
  ~ScopedUserDriver() { installUserDriver(previous_); }
  ScopedUserDriver(const ScopedUserDriver&) = delete;
  ScopedUserDriver& operator=(const ScopedUserDriver&) = delete;

 private:
  UserDriver* previous_;
};

// The modal windows running now, innermost last (the one a driver acts on).
std::vector<HWND> modalWindows();
// The newest visible, enabled top-level dialog or property sheet of the calling thread that is
// not running a modal loop (a modeless panel waiting for a person), or null.
HWND waitingModelessWindow();
// The cancelling answer of a message box of `type` (see above).
int cancellingAnswer(UINT type);

}  // namespace mfc
