// The "@" action lines: the user driver of the host program's front end (its script or its
// terminal). When a window waits, the driver reads lines and acts on that window:
//   @set ID TEXT        types TEXT into an edit, the edit part of a combo, or a slider position
//   @select ID TEXT     chooses a combo or list entry, a list-control row, a tree item, a tab
//   @check ID on|off    sets a check box or radio button; "@check ID ENTRY on|off" ticks a
//                       line of a check list
//   @click ID           clicks a button; on a message box IDOK IDCANCEL IDYES IDNO IDABORT
//                       IDRETRY IDIGNORE answer it
//   @menu TEXT          picks the item of the tracked popup menu or the window's menu
//   @file PATH|cancel   answers a file dialog
//   @show               prints the waiting window (or box, dialog, menu) as text
//   @dblclick ID ITEM   double-clicks a tree item (a label or a path "A/B")
//   @rclick ID ITEM     presses the right button on a tree item (a popup menu then waits)
//   @key ID KEY         presses and releases Delete, Enter, Escape or a key number on a control
//   @edit ID ITEM TEXT  edits a tree item's label to TEXT; without TEXT the edit is cancelled
//   @drag ID ITEM TARGET  drags a tree item onto another
//   @spin ID up|down    presses an up-down control's up or down arrow once
//   @mouse ID down|move|up|dblclick X Y [shift]
//                       mouse input on a hosted control at (X, Y) of its client pixels
//   @window TITLE       the visible top-level window the next lines act on while no modal
//                       window waits (until it is destroyed or another is chosen)
//   @png TITLE FILE     writes the picture of the window of that title (or of the first control
//                       in it that draws one) as a PNG file
//   @wait MS            lets timers and posted messages run for MS milliseconds of the toolkit's
//                       clock (the test clock moves at once)
// A property sheet's tab strip is IDC_SHEET_TABS ("@select IDC_SHEET_TABS Units").
// An ITEM with blanks is written in double quotes ("@edit 1198 \"Load Set 1\" Loads").
// IDs are numbers or names the resource modules define. TEXT runs to the end of the line; double
// quotes around it are removed. A line naming a control the window lacks, one that does not fit
// what waits, or an "@" line when nothing waits, is reported as "line N: ..." and ignored.
// A line that is not an "@" line while a window waits is put back for the host, and the window is
// cancelled; so is the end of the input. After an act the window handles its messages before the
// next line is read.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "mfc/driver.h"

namespace mfc {

struct ActionLine {
  std::string text;
  int number = 0;
};

class ActionLineDriver : public UserDriver {
 public:
  // `next` gives the host's next input line (nothing at the end); `print` shows output.
  ActionLineDriver(std::function<std::optional<ActionLine>()> next, std::function<void(const std::string&)> print);

  // Interactive use prints the waiting window before reading each line.
  void setInteractive(bool interactive) { interactive_ = interactive; }
  // The host calls this for every line it reads while no modal window waits. An "@" line acts
  // on the newest visible modeless dialog (a pick panel, the guide), else on the fallback
  // window, whose messages are then handled, or, when there is neither, is reported and
  // ignored; either way it returns true. Any other line is the host's (returns false).
  bool handleLineWithoutWindow(const ActionLine& line);
  // The window "@" lines act on when no modeless dialog waits (the host: the current drawing's
  // browser tab); it may answer null.
  void setFallbackWindow(std::function<HWND()> window) { fallback_ = std::move(window); }
  // A line the driver read but left for the host (put back), if any; taking it clears it.
  std::optional<ActionLine> takePutBack();

  bool onModalIdle(CWnd& window) override;
  int onMessageBox(const MessageBoxRequest& box) override;
  std::optional<std::string> onFileDialog(const FileDialogRequest& dialog) override;
  UINT onPopupMenu(const CMenu& menu, CWnd* owner) override;

 private:
  // The next "@" line, or nothing (end of input, or a host line, which is put back).
  std::optional<ActionLine> nextActionLine(const std::string& waitingText);
  void report(const ActionLine& line, const std::string& what);
  // Carries out one "@" line on a window; true when it acted (not @show, not a reported fault).
  bool actOnWindow(HWND hwnd, const ActionLine& line);

  std::function<std::optional<ActionLine>()> next_;
  std::function<void(const std::string&)> print_;
  std::optional<ActionLine> putBack_;
  std::function<HWND()> fallback_;
  HWND chosen_ = nullptr;  // "@window"
  bool interactive_ = false;
};

}  // namespace mfc
