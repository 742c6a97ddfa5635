// The per-thread message queues, timers and the clock.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <mutex>

#include "mfc/log.h"
#include "mfc/winapi.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace {

using TimerProc = void (*)(HWND, UINT, UINT_PTR, DWORD);

struct SentMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::promise<LRESULT> result;
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT interval;
  std::uint64_t due;
  TimerProc callback;
};

struct ThreadQueue {
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::vector<Timer> timers;
};

std::mutex queuesMutex;
std::map<std::thread::id, std::shared_ptr<ThreadQueue>>& queues() {
  static std::map<std::thread::id, std::shared_ptr<ThreadQueue>> q;
  return q;
}

std::shared_ptr<ThreadQueue> queueOf(std::thread::id thread) {
  std::lock_guard lock(queuesMutex);
  auto& q = queues()[thread];
  if (!q) q = std::make_shared<ThreadQueue>();
  return q;
}

std::shared_ptr<ThreadQueue> myQueue() {
  thread_local std::shared_ptr<ThreadQueue> mine = queueOf(std::this_thread::get_id());
  return mine;
}

std::atomic<bool> testClock{false};
std::atomic<std::uint64_t> testClockMs{0};

constexpr UINT kMinimumTimerInterval = 10;

bool matches(const MSG& m, HWND filter, UINT low, UINT high) {
  if (filter && m.hwnd != filter) return false;
  if (low == 0 && high == 0) return true;
  return m.message >= low && m.message <= high;
}

// Handles messages sent from other threads; they never reach the caller as MSG.
void handleSentMessages(ThreadQueue& queue) {
  while (true) {
    std::shared_ptr<SentMessage> sent;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.sent.empty()) return;
      sent = queue.sent.front();
      queue.sent.pop_front();
    }
    try {
      sent->result.set_value(deliver(sent->hwnd, sent->message, sent->wParam, sent->lParam));
    } catch (...) {
      sent->result.set_exception(std::current_exception());
    }
  }
}

// One message for the caller, in the platform's order; timers due at or before `timerLimit`.
bool peek(MSG* msg, HWND filter, UINT low, UINT high, UINT flags, std::uint64_t timerLimit) {
  auto queue = myQueue();
  handleSentMessages(*queue);
  std::lock_guard lock(queue->mutex);
  for (auto it = queue->posted.begin(); it != queue->posted.end(); ++it) {
    if (!matches(*it, filter, low, high)) continue;
    *msg = *it;
    if (flags & PM_REMOVE) queue->posted.erase(it);
    return true;
  }
  if (HWND paint = windowNeedingPaint(); paint && matches(MSG{paint, WM_PAINT, 0, 0, 0}, filter, low, high)) {
    *msg = MSG{paint, WM_PAINT, 0, 0, static_cast<DWORD>(mfc::clockNow())};
    if (flags & PM_REMOVE) paint->needsPaint = false;
    return true;
  }
  for (Timer& timer : queue->timers) {
    if (timer.due > timerLimit) continue;
    MSG candidate{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.callback),
                  static_cast<DWORD>(mfc::clockNow())};
    if (!matches(candidate, filter, low, high)) continue;
    *msg = candidate;
    if (flags & PM_REMOVE) timer.due = timerLimit + timer.interval;
    return true;
  }
  return false;
}

std::shared_ptr<ThreadQueue> queueOfWindow(HWND hwnd) {
  return queueOf(hwnd ? hwnd->thread : std::this_thread::get_id());
}

bool preTranslate(MSG& msg) {
  for (HWND h = msg.hwnd; isLive(h); h = h->parent) {
    if (h->object && h->object->PreTranslateMessage(&msg)) return true;
    if (!(h->style & WS_CHILD)) break;
  }
  return false;
}

}  // namespace

namespace mfc {

void useTestClock(bool on) { testClock = on; }
bool usingTestClock() { return testClock; }
void advanceClock(std::uint64_t ms) { testClockMs += ms; }

std::uint64_t clockNow() {
  if (testClock) return testClockMs;
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int pumpMessages() {
  std::uint64_t now = clockNow();
  int handled = 0;
  MSG msg;
  while (peek(&msg, nullptr, 0, 0, PM_REMOVE, now)) {
    ++handled;
    if (msg.message == WM_QUIT) continue;
    if (preTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return handled;
}

void waitForMessage(int ms) {
  auto queue = myQueue();
  std::unique_lock lock(queue->mutex);
  queue->arrived.wait_for(lock, std::chrono::milliseconds(ms),
                          [&] { return !queue->posted.empty() || !queue->sent.empty(); });
}

}  // namespace mfc

namespace mfc::detail {

void killWindowTimers(HWND hwnd) {
  auto queue = queueOfWindow(hwnd);
  std::lock_guard lock(queue->mutex);
  auto& timers = queue->timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
               timers.end());
  queue->posted.erase(
      std::remove_if(queue->posted.begin(), queue->posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
      queue->posted.end());
}

}  // namespace mfc::detail

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !isLive(hwnd)) return FALSE;
  auto queue = queueOfWindow(hwnd);
  {
    std::lock_guard lock(queue->mutex);
    queue->posted.push_back(MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(mfc::clockNow())});
  }
  queue->arrived.notify_all();
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!isLive(hwnd)) return 0;
  if (hwnd->thread == std::this_thread::get_id()) return deliver(hwnd, message, wParam, lParam);
  auto sent = std::make_shared<SentMessage>(SentMessage{hwnd, message, wParam, lParam, {}});
  std::future<LRESULT> result = sent->result.get_future();
  auto queue = queueOfWindow(hwnd);
  {
    std::lock_guard lock(queue->mutex);
    queue->sent.push_back(sent);
  }
  queue->arrived.notify_all();
  return result.get();
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  return peek(msg, hwnd, filterMin, filterMax, removeFlags, mfc::clockNow()) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TimerProc>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;  // a thread message has no window to go to
  return deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) { PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TimerProc callback) {
  if (hwnd && !isLive(hwnd)) return 0;
  auto queue = queueOfWindow(hwnd);
  std::lock_guard lock(queue->mutex);
  UINT interval = std::max(elapseMs, kMinimumTimerInterval);
  std::uint64_t due = mfc::clockNow() + interval;
  for (Timer& timer : queue->timers) {
    if (timer.hwnd == hwnd && timer.id == id) {
      timer.interval = interval;
      timer.due = due;
      timer.callback = callback;
      return id ? id : 1;
    }
  }
  queue->timers.push_back(Timer{hwnd, id, interval, due, callback});
  return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto queue = queueOfWindow(isLive(hwnd) ? hwnd : nullptr);
  std::lock_guard lock(queue->mutex);
  auto& timers = queue->timers;
  auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == timers.end()) return FALSE;
  timers.erase(it);
  // A WM_TIMER already taken from the queue cannot be recalled, but none is left waiting.
  return TRUE;
}

DWORD GetTickCount() { return static_cast<DWORD>(mfc::clockNow()); }

// ---- modal loops ----

BOOL CWnd::ContinueModal() const { return mfc::detail::isLive(m_hWnd) && m_hWnd->inModalLoop && !m_hWnd->modalEnded; }

void CWnd::EndModalLoop(int result) {
  if (!isLive(m_hWnd)) return;
  m_hWnd->modalResult = result;
  m_hWnd->modalEnded = true;
}

int CWnd::RunModalLoop(DWORD) {
  HWND hwnd = m_hWnd;
  if (!isLive(hwnd)) return -1;
  hwnd->inModalLoop = true;
  hwnd->modalEnded = false;
  hwnd->modalResult = -1;
  pushModal(hwnd);
  struct ModalEntry {
    HWND hwnd;
    ~ModalEntry() { popModal(hwnd); }
  } entry{hwnd};
  int refusals = 0;
  long idleRounds = 0;
  constexpr long kMaxIdleRounds = 100000;
  while (isLive(hwnd) && !hwnd->modalEnded) {
    if (mfc::pumpMessages() > 0) continue;
    if (!isLive(hwnd) || hwnd->modalEnded) break;
    if (mfc::runningWorkerThreads() > 0) {
      mfc::waitForMessage(20);
      continue;
    }
    // A worker may have posted just before it ended.
    if (mfc::pumpMessages() > 0) continue;
    if (!isLive(hwnd) || hwnd->modalEnded) break;
    if (++idleRounds > kMaxIdleRounds) {
      mfc::log("modal loop of " + describe(hwnd) + " ended: the user driver kept acting without closing it");
      EndModalLoop(IDCANCEL);
      break;
    }
    if (driverModalIdle(*this)) {
      refusals = 0;
      continue;
    }
    if (++refusals == 1) {
      ::SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
      mfc::log("cancel did not close " + describe(hwnd) + ": ended with IDCANCEL");
      EndModalLoop(IDCANCEL);
    }
  }
  if (!isLive(hwnd)) return -1;
  hwnd->inModalLoop = false;
  return hwnd->modalResult;
}
