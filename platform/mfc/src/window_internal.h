// Internal window services shared by the toolkit's modules.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mfc/wnd.h"
#include "window_state.h"

namespace mfc::detail {

bool isLive(HWND hwnd);
// The host's current document (mfc::setCurrentDocumentTag), stamped on top-level windows made.
extern std::atomic<std::uintptr_t> currentDocumentTag;
std::vector<HWND> liveTopLevelWindows();
HWND createWindow(const std::string& className, const std::string& text, DWORD style, DWORD exStyle, const RECT& rect,
                  HWND parent, int id, CWnd* object);
void destroyWindow(HWND hwnd);
// Delivers a message to the window on the calling thread: its object's WindowProc or, without
// an object, the built-in behaviour of its class.
LRESULT deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Built-in behaviour of a control class (controls.cpp); `handled` false lets the caller default.
LRESULT controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
// Sends WM_COMMAND (control id, code) to the control's parent.
void notifyParent(HWND control, UINT code);
// Sends WM_NOTIFY with `header` (filled with the sender) to the control's parent.
LRESULT notifyParent(HWND control, NMHDR* header, int code);
// The first descendant with `id` (depth first, children in creation order); visibleOnly skips
// hidden windows and their children.
HWND findDescendant(HWND root, int id, bool visibleOnly);
WindowKind kindOfClass(const std::string& className);
// A human-readable name of the window for logs: "dialog 103 'Caption'".
std::string describe(HWND hwnd);
// Window text changed by the user or the program: WM_SETTEXT semantics without notifications.
void setText(HWND hwnd, const std::string& text);

// A temporary wrapper of the class that fits the window's kind (CComboBox for a combo ...),
// so that casting GetDlgItem's result to the control class is sound (controls.cpp).
std::unique_ptr<CWnd> makeTemporaryWrapper(HWND hwnd);
// Forgets the focus, without notifications, when it is in `root` or below (a window being
// destroyed tells no one that it loses the focus: its parent may be half gone).
void dropFocusWithin(HWND root);
// Removes every timer of the window.
void killWindowTimers(HWND hwnd);
// See mfc::waitingModelessWindow.
HWND newestModelessDialog();
// The first window of the calling thread that waits for WM_PAINT, or null.
HWND windowNeedingPaint();
// Asks the installed user driver to act on a modal window that has nothing left to do
// (driver.cpp); false when there is no driver or it did not act.
bool driverModalIdle(CWnd& window);
// The stack of running modal loops (driver.cpp).
void pushModal(HWND hwnd);
void popModal(HWND hwnd);

}  // namespace mfc::detail
