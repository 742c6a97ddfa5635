#include "waitcmds.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "mcad/amiapp.h"
#include "mfc/afx.h"
#include "mfc/render.h"

namespace cadhost {
namespace {

constexpr std::uint64_t kStepMs = 20;

bool sameWord(const std::string& typed, const char* word) {
  if (typed.size() != std::strlen(word)) return false;
  for (std::size_t i = 0; i < typed.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(typed[i])) != word[i]) return false;
  return true;
}

// The optional word typed after the command on its own line; never reads a further line.
std::optional<std::string> sameLineWord() {
  if (queuedWordCount() == 0) return std::nullopt;
  std::optional<InputItem> item = nextInput("");
  if (!item || item->kind != InputItem::kWord) return std::nullopt;
  return item->text;
}

// One step of waiting, then messages and due timers are handled. With the test clock the clock
// moves instead of real time passing, except for a short real pause while waiting for work that
// runs outside (a child process).
void waitStep(std::uint64_t ms, bool forOutsideWork) {
  if (mfc::usingTestClock()) {
    mfc::advanceClock(ms);
    if (forOutsideWork) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  mfc::pumpMessages();
}

int waitSeconds(double seconds) {
  const auto total = static_cast<std::uint64_t>(seconds * 1000.0);
  for (std::uint64_t waited = 0; waited < total;) {
    const std::uint64_t step = std::min(kStepMs, total - waited);
    waitStep(step, false);
    waited += step;
  }
  mfc::pumpMessages();
  return RTNORM;
}

int waitForPendingWork() {
  const std::uint64_t limit = static_cast<std::uint64_t>(kLongestWaitSeconds) * 1000;
  mfc::pumpMessages();
  for (std::uint64_t waited = 0; int left = pendingWork(); waited += kStepMs) {
    if (waited >= limit) {
      acutPrintf("\nWAIT gave up after %d seconds: %d piece(s) of work still pending.\n", kLongestWaitSeconds, left);
      return RTERROR;
    }
    waitStep(kStepMs, true);
  }
  return RTNORM;
}

int waitCommand() {
  std::optional<std::string> word = sameLineWord();
  if (!word) return waitForPendingWork();
  char* end = nullptr;
  const double seconds = std::strtod(word->c_str(), &end);
  if (word->empty() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > kLongestWaitSeconds) {
    refuseAnswer(("\nWAIT takes a number of seconds from 0 to " + std::to_string(kLongestWaitSeconds) + ".\n").c_str());
    return RTERROR;
  }
  return waitSeconds(seconds);
}

CWnd* tabWindow(const AmiBrowserTab& tab) { return static_cast<CWnd*>(tab.window); }

int browserTabsCommand() {
  std::optional<std::string> word = sameLineWord();
  const bool show = word && sameWord(*word, "SHOW");
  if (word && !show) {
    refuseAnswer("\nBROWSERTABS takes nothing or \"show\".\n");
    return RTERROR;
  }
  amiPrintBrowserTabs();
  if (!show || !acDocManagerPtr()->curDocument()) return RTNORM;
  for (const AmiBrowserTab& tab : amiBrowserTabs()) {
    CWnd* window = tabWindow(tab);
    if (window && window->GetSafeHwnd()) acutPrintf("%s", mfc::renderWindow(window->GetSafeHwnd()).c_str());
  }
  return RTNORM;
}

}  // namespace

void addFrontEndCommands() {
  addHostCommand("WAIT", CommandContext::kApplication, waitCommand);
  addHostCommand("BROWSERTABS", CommandContext::kApplication, browserTabsCommand);
}

HWND currentBrowserTabWindow() {
  if (!acDocManagerPtr()->curDocument()) return nullptr;
  const std::vector<AmiBrowserTab> tabs = amiBrowserTabs();
  for (auto tab = tabs.rbegin(); tab != tabs.rend(); ++tab)
    if (CWnd* window = tabWindow(*tab); window && window->GetSafeHwnd()) return window->GetSafeHwnd();
  return nullptr;
}

}  // namespace cadhost
