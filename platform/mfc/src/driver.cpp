#include "mfc/driver.h"

#include <algorithm>
#include <atomic>

#include "mfc/log.h"
#include "window_internal.h"

namespace mfc {
namespace {

std::atomic<UserDriver*> installed{nullptr};
thread_local std::vector<HWND> modalStack;

}  // namespace

UserDriver* installUserDriver(UserDriver* driver) { return installed.exchange(driver); }
UserDriver* userDriver() { return installed.load(); }

std::vector<HWND> modalWindows() {
  std::vector<HWND> live;
  for (HWND h : modalStack)
    if (detail::isLive(h)) live.push_back(h);
  return live;
}

HWND waitingModelessWindow() { return detail::newestModelessDialog(); }

int cancellingAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
  }
}

namespace detail {

void pushModal(HWND hwnd) { modalStack.push_back(hwnd); }

void popModal(HWND hwnd) {
  auto it = std::find(modalStack.rbegin(), modalStack.rend(), hwnd);
  if (it != modalStack.rend()) modalStack.erase(std::next(it).base());
}

bool driverModalIdle(CWnd& window) {
  UserDriver* driver = userDriver();
  if (!driver) {
    log("no user driver: " + describe(window.m_hWnd) + " cancelled");
    return false;
  }
  bool acted = driver->onModalIdle(window);
  if (!acted) log("the user driver left " + describe(window.m_hWnd) + ": cancelled");
  return acted;
}

}  // namespace detail
}  // namespace mfc
