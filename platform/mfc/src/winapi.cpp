// Win32 functions over window handles: text, state, focus, activation and geometry.
#include "mfc/winapi.h"

#include <cstring>

#include "mfc/log.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace {

thread_local HWND focusWindow = nullptr;
thread_local HWND activeWindow = nullptr;
thread_local HWND captureWindow = nullptr;
POINT cursorPosition{};

UINT killFocusCode(HWND hwnd) {
  switch (hwnd->kind) {
    case WindowKind::Edit: return EN_KILLFOCUS;
    case WindowKind::ComboBox: return CBN_KILLFOCUS;
    default: return 0;
  }
}

UINT setFocusCode(HWND hwnd) {
  switch (hwnd->kind) {
    case WindowKind::Edit: return EN_SETFOCUS;
    case WindowKind::ComboBox: return CBN_SETFOCUS;
    default: return 0;
  }
}

}  // namespace

namespace mfc::detail {

void dropFocusWithin(HWND root) {
  for (HWND h = focusWindow; h; h = isLive(h) ? h->parent : nullptr)
    if (h == root) {
      focusWindow = nullptr;
      return;
    }
}

}  // namespace mfc::detail

BOOL IsWindow(HWND hwnd) { return isLive(hwnd) ? TRUE : FALSE; }

std::vector<HWND> mfc::topLevelWindows() { return mfc::detail::liveTopLevelWindows(); }

void mfc::setCurrentDocumentTag(std::uintptr_t tag) { mfc::detail::currentDocumentTag = tag; }
std::uintptr_t mfc::documentTagOf(HWND window) { return isLive(window) ? window->documentTag : 0; }

HWND GetParent(HWND hwnd) { return isLive(hwnd) ? hwnd->parent : nullptr; }

HWND GetDlgItem(HWND dialog, int id) {
  if (!isLive(dialog)) return nullptr;
  for (HWND child : dialog->children)
    if (child->id == id) return child;
  return nullptr;
}

BOOL SetWindowText(HWND hwnd, const char* text) {
  if (!isLive(hwnd)) return FALSE;
  SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  return TRUE;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!isLive(hwnd)) return 0;
  size_t count = std::min(hwnd->text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, hwnd->text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

BOOL SetDlgItemText(HWND dialog, int id, const char* text) { return SetWindowText(GetDlgItem(dialog, id), text); }

BOOL ShowWindow(HWND hwnd, int command) {
  if (!isLive(hwnd)) return FALSE;
  BOOL wasVisible = (hwnd->style & WS_VISIBLE) ? TRUE : FALSE;
  bool show = command != SW_HIDE;
  if (show)
    hwnd->style |= WS_VISIBLE;
  else
    hwnd->style &= ~WS_VISIBLE;
  if (show != static_cast<bool>(wasVisible)) {
    SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!show && focusWindow) {
      for (HWND h = focusWindow; h; h = h->parent)
        if (h == hwnd) {
          SetFocus(nullptr);
          break;
        }
    }
  }
  return wasVisible;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  if (!isLive(hwnd)) return FALSE;
  BOOL wasDisabled = (hwnd->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable)
    hwnd->style &= ~WS_DISABLED;
  else
    hwnd->style |= WS_DISABLED;
  if (static_cast<bool>(wasDisabled) == static_cast<bool>(enable)) SendMessage(hwnd, WM_ENABLE, enable, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) { return isLive(hwnd) && !(hwnd->style & WS_DISABLED) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND hwnd) {
  for (HWND h = hwnd; h; h = (h->style & WS_CHILD) ? h->parent : nullptr) {
    if (!isLive(h) || !(h->style & WS_VISIBLE)) return FALSE;
    if (!(h->style & WS_CHILD)) break;
  }
  return isLive(hwnd) ? TRUE : FALSE;
}

HWND SetFocus(HWND hwnd) {
  HWND previous = focusWindow;
  if (hwnd && !isLive(hwnd)) return previous;
  if (previous == hwnd) return previous;
  focusWindow = hwnd;
  if (isLive(previous)) {
    SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (UINT code = killFocusCode(previous)) notifyParent(previous, code);
  }
  if (isLive(hwnd)) {
    SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    if (UINT code = setFocusCode(hwnd)) notifyParent(hwnd, code);
  }
  return isLive(previous) ? previous : nullptr;
}

HWND GetFocus() {
  if (!isLive(focusWindow)) focusWindow = nullptr;
  return focusWindow;
}

HWND SetActiveWindow(HWND hwnd) {
  HWND previous = isLive(activeWindow) ? activeWindow : nullptr;
  if (hwnd && !isLive(hwnd)) return previous;
  while (hwnd && (hwnd->style & WS_CHILD) && hwnd->parent) hwnd = hwnd->parent;
  if (previous == hwnd) return previous;
  activeWindow = hwnd;
  if (previous) SendMessage(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
  if (hwnd) SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous));
  return previous;
}

HWND GetActiveWindow() {
  if (!isLive(activeWindow)) activeWindow = nullptr;
  return activeWindow;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  if (!rect) return FALSE;
  *rect = RECT{};
  if (!isLive(hwnd)) return FALSE;
  CWnd* wnd = CWnd::FromHandle(hwnd);
  RECT client;
  wnd->GetClientRect(&client);
  wnd->ClientToScreen(&client);
  *rect = client;
  return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
  if (!isLive(hwnd)) return FALSE;
  RECT& r = hwnd->rect;
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  bool moved = !(flags & SWP_NOMOVE) && (x != r.left || y != r.top);
  bool sized = !(flags & SWP_NOSIZE) && (cx != width || cy != height);
  if (!(flags & SWP_NOMOVE)) {
    r.left = x;
    r.top = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    width = cx;
    height = cy;
  }
  r.right = r.left + width;
  r.bottom = r.top + height;
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (moved) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(r.left), static_cast<WORD>(r.top)));
  if (sized) SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
  if (!(flags & (SWP_NOACTIVATE | SWP_NOZORDER)) && !(hwnd->style & WS_CHILD)) SetActiveWindow(hwnd);
  return TRUE;
}

BOOL DestroyWindow(HWND hwnd) {
  if (!isLive(hwnd)) return FALSE;
  if (CWnd* object = CWnd::FromHandlePermanent(hwnd)) return object->DestroyWindow();
  destroyWindow(hwnd);
  return TRUE;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = cursorPosition;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  cursorPosition = POINT{x, y};
  return TRUE;
}

HWND SetCapture(HWND hwnd) {
  HWND previous = captureWindow;
  captureWindow = isLive(hwnd) ? hwnd : nullptr;
  return isLive(previous) ? previous : nullptr;
}

BOOL ReleaseCapture() {
  captureWindow = nullptr;
  return TRUE;
}

HWND GetCapture() { return isLive(captureWindow) ? captureWindow : nullptr; }

BOOL MessageBeep(UINT type) {
  mfc::log("beep " + std::to_string(type));
  return TRUE;
}
