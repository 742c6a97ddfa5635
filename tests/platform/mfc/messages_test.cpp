// Messages: posted and sent messages, the queue's order, message maps for window messages and
// private codes, timers on the test clock, and worker threads talking to a modal dialog.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "mfc_fixture.h"

namespace {

const char* const kPanel = R"(
DIALOG 230 "Panel" SIZE 100 60
  EDITTEXT 1001 "" 5 5 60 12
  PROGRESS 1002 "" 5 20 60 10
END
)";

class Listener : public CWnd {
 public:
  std::vector<std::string> seen;

 protected:
  void OnTimer(UINT_PTR id) { seen.push_back("timer " + std::to_string(id)); }
  void OnPaint() {
    CPaintDC dc(this);
    seen.push_back("paint");
  }
  LRESULT OnGuidePageShown(WPARAM w, LPARAM) {
    seen.push_back("guide " + std::to_string(w));
    return 0;
  }
  LRESULT OnBringToTop(WPARAM, LPARAM) {
    seen.push_back("bring to top");
    return 1;
  }
  BOOL OnCopyData(CWnd*, COPYDATASTRUCT* data) {
    seen.push_back("copydata " + std::string(static_cast<const char*>(data->lpData), data->cbData));
    return TRUE;
  }
  void OnMenuCommand() { seen.push_back("command 40060"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Listener, CWnd)
ON_WM_TIMER()
ON_WM_PAINT()
ON_MESSAGE(MSG_GUIDE_PAGE_SHOWN, OnGuidePageShown)
ON_MESSAGE(WM_BRING_TO_TOP_PRIVATE, OnBringToTop)
ON_WM_COPYDATA()
ON_COMMAND(40060, OnMenuCommand)
END_MESSAGE_MAP()

class MessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mfc::useTestClock(true);
    ASSERT_TRUE(window.Create("Listener", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
  }
  void TearDown() override {
    window.DestroyWindow();
    mfc::useTestClock(false);
  }
  Listener window;
};

TEST_F(MessageTest, QueueOrderIsPostedThenPaintThenTimers) {
  window.SetTimer(7, 100);
  mfc::advanceClock(100);
  window.Invalidate();
  window.PostMessage(MSG_GUIDE_PAGE_SHOWN, 3, 0);
  EXPECT_EQ(window.SendMessage(WM_BRING_TO_TOP_PRIVATE), 1) << "sent messages are handled at once";
  EXPECT_EQ(mfc::pumpMessages(), 3);
  EXPECT_EQ(window.seen, (std::vector<std::string>{"bring to top", "guide 3", "paint", "timer 7"}));
  EXPECT_EQ(mfc::pumpMessages(), 0) << "the paint validated the window; the timer is not due again";
}

struct TimerCase {
  const char* name;
  std::vector<std::uint64_t> advances;  // clock moves, each followed by a pump
  std::vector<int> firings;             // WM_TIMER count after each pump
  friend void PrintTo(const TimerCase& c, std::ostream* os) { *os << c.name; }
};

class Timers : public MessageTest, public ::testing::WithParamInterface<TimerCase> {};

TEST_P(Timers, FireOnTheTestClock) {
  const TimerCase& c = GetParam();
  ASSERT_EQ(window.SetTimer(917, 3000), 917u);
  for (size_t i = 0; i < c.advances.size(); ++i) {
    mfc::advanceClock(c.advances[i]);
    mfc::pumpMessages();
    EXPECT_EQ(static_cast<int>(window.seen.size()), c.firings[i]) << "after step " << i;
  }
}

const TimerCase kTimerCases[] = {
    {"NotBeforeItsInterval", {2999, 1}, {0, 1}},
    {"EveryInterval", {3000, 3000, 3000}, {1, 2, 3}},
    {"MissedPeriodsCoalesce", {10000, 2999, 1}, {1, 1, 2}},
    {"NothingWithoutTime", {0, 0}, {0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Cases, Timers, ::testing::ValuesIn(kTimerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageTest, KillTimerStopsItAndDeadWindowsGetNoTimer) {
  window.SetTimer(139, 500);
  window.SetTimer(917, 3000);
  EXPECT_TRUE(window.KillTimer(139));
  EXPECT_FALSE(window.KillTimer(139));
  mfc::advanceClock(3000);
  mfc::pumpMessages();
  EXPECT_EQ(window.seen, (std::vector<std::string>{"timer 917"}));
  EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(&window), 1, 10, nullptr), 0u) << "not a window handle";
}

TEST_F(MessageTest, CopyDataAndCommandsReachTheMap) {
  const char text[] = "pick";
  COPYDATASTRUCT data{1, 4, text};
  EXPECT_EQ(window.SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  window.PostMessage(WM_COMMAND, 40060, 0);
  mfc::pumpMessages();
  EXPECT_EQ(window.seen, (std::vector<std::string>{"copydata pick", "command 40060"}));
  EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(&data), WM_NULL, 0, 0));
}

TEST_F(MessageTest, TimersKeepFiringWhileANestedModalDialogRuns) {
  mfctest::ResourceScope resources(kPanel);
  window.SetTimer(322, 3000);
  CDialog dialog(230);
  mfctest::StepDriver driver;
  driver.add([](CWnd&) { mfc::advanceClock(3000); });
  driver.add([](CWnd&) { mfc::advanceClock(3000); });
  driver.click(IDCANCEL);
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(window.seen, (std::vector<std::string>{"timer 322", "timer 322"}));
}

struct WorkerJob {
  HWND progress;
  HWND dialog;
  std::atomic<int> sent{0};
};

UINT worker(void* param) {
  auto* job = static_cast<WorkerJob*>(param);
  for (int percent = 20; percent <= 100; percent += 20) {
    SendMessage(job->progress, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_string(percent).c_str()));
    ++job->sent;
  }
  PostMessage(job->dialog, WM_COMMAND, IDOK, 0);
  return 0;
}

TEST(WorkerThreads, SendMessageWorksWhileTheUiThreadRunsAModalLoop) {
  mfctest::ResourceScope resources(kPanel);
  CDialog dialog(230);
  WorkerJob job;
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver installed(&driver);
  struct Starter : CDialog {
    WorkerJob* job;
    Starter(WorkerJob* j) : CDialog(230), job(j) {}
    BOOL OnInitDialog() override {
      job->progress = GetDlgItem(1001)->m_hWnd;
      job->dialog = m_hWnd;
      AfxBeginThread(worker, job);
      return TRUE;
    }
  } starter(&job);
  EXPECT_EQ(starter.DoModal(), IDOK);
  EXPECT_EQ(job.sent.load(), 5);
  EXPECT_TRUE(driver.waited().empty()) << "the loop waited for the worker instead of asking the driver";
  EXPECT_TRUE(mfc::waitForWorkerThreads(5000));
}

// A suspended worker runs only once resumed, and the auto-delete choice made before resuming holds
// even when the worker ends at once (the object must still be there to read).
TEST(WorkerThreads, ASuspendedWorkerWaitsForResumeAndKeepsItsObject) {
  static std::atomic<int> runs{0};
  runs = 0;
  CWinThread* thread = AfxBeginThread(
      [](void*) -> UINT {
        ++runs;
        return 17;
      },
      nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(runs.load(), 0) << "the worker ran before ResumeThread";
  EXPECT_FALSE(thread->ended());
  thread->m_bAutoDelete = FALSE;
  EXPECT_EQ(thread->ResumeThread(), 1u);
  EXPECT_TRUE(mfc::waitForWorkerThreads(5000));
  EXPECT_EQ(runs.load(), 1);
  EXPECT_TRUE(thread->ended());
  EXPECT_EQ(thread->m_exitCode, 17u);
  EXPECT_EQ(thread->ResumeThread(), 0u);
  delete thread;
}

TEST(WorkerThreads, AnExceptionEndsOnlyTheWorkerAndIsLogged) {
  mfc::clearLog();
  AfxBeginThread([](void*) -> UINT { throw std::runtime_error("bad input"); }, nullptr);
  EXPECT_TRUE(mfc::waitForWorkerThreads(5000));
  auto lines = mfc::logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "worker thread ended by an exception: bad input");
}

}  // namespace

namespace {

int callbackFirings = 0;
void countFiring(HWND hwnd, UINT message, UINT_PTR id, DWORD) {
  if (!hwnd && message == WM_TIMER && id == 5) ++callbackFirings;
}

TEST(ThreadTimers, ACallbackTimerWithoutAWindowFires) {
  mfc::useTestClock(true);
  callbackFirings = 0;
  UINT_PTR id = SetTimer(nullptr, 5, 500, countFiring);
  EXPECT_EQ(id, 5u);
  mfc::advanceClock(500);
  mfc::pumpMessages();
  EXPECT_EQ(callbackFirings, 1);
  EXPECT_TRUE(KillTimer(nullptr, 5));
  mfc::advanceClock(500);
  mfc::pumpMessages();
  EXPECT_EQ(callbackFirings, 1);
  mfc::useTestClock(false);
}

}  // namespace

namespace {

class Geometry : public CWnd {
 public:
  std::vector<std::string> seen;

 protected:
  void OnMove(int x, int y) { seen.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
  void OnSize(UINT, int cx, int cy) { seen.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Geometry, CWnd)
ON_WM_MOVE()
ON_WM_SIZE()
END_MESSAGE_MAP()

TEST(WindowGeometry, PositionsSizesAndScreenCoordinates) {
  Geometry main;
  ASSERT_TRUE(main.Create("Frame", "Main", WS_POPUP, RECT{100, 50, 900, 650}, nullptr, 0));
  Geometry child;
  ASSERT_TRUE(child.Create("Static", "", WS_CHILD, RECT{10, 20, 60, 40}, &main, 7));

  // Centring on the main window, keeping the size and z-order, as the progress box does.
  RECT mainRect, childRect;
  main.GetWindowRect(&mainRect);
  EXPECT_EQ(CRect(mainRect), CRect(100, 50, 900, 650));
  child.GetWindowRect(&childRect);
  EXPECT_EQ(CRect(childRect), CRect(110, 70, 160, 90)) << "window rectangles are on the screen";
  EXPECT_TRUE(main.SetWindowPos(nullptr, 200, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW));
  EXPECT_TRUE(main.IsWindowVisible());
  main.MoveWindow(200, 60, 400, 300);
  EXPECT_EQ(main.seen, (std::vector<std::string>{"move 200,60", "size 400x300"}));
  CPoint point(5, 5);
  child.ClientToScreen(&point);
  EXPECT_EQ(point, CPoint(215, 85));
  main.ScreenToClient(&point);
  EXPECT_EQ(point, CPoint(15, 25));
  RECT client;
  child.GetClientRect(&client);
  EXPECT_EQ(CRect(client), CRect(0, 0, 50, 20));
  child.CenterWindow();
  child.GetWindowRect(&childRect);
  EXPECT_EQ(CRect(childRect), CRect(375, 200, 425, 220));
  EXPECT_EQ(dialogUnitsToPixelsX(182), 273);
  EXPECT_EQ(dialogUnitsToPixelsY(66), 99);
  main.DestroyWindow();
}

}  // namespace
