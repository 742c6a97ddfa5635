#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeInterupt.h"
#include "amg/CaeString.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "gui/utils/UIProgressDlg.h"
#include "uis_fixture.h"

namespace {

// Counts how often the engine's operation is ended, to catch a double close.
class CountingInterupt : public CaeInterupt {
 public:
  void Close() override {
    ++closes;
    CaeInterupt::Close();
  }
  int closes = 0;
};

// The controller's hooks, resources switched to the library as the dispatcher does, and a
// counting interrupt object in place of the controller's.
class ProgressTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    control_ = std::make_unique<CadAppControl>();
    resources_ = std::make_unique<ResourceSetter>(1);
    delete CaeInterupt::SetCurrent(&interrupt);
  }
  void TearDown() override {
    UIProgressClose();
    CaeInterupt::SetCurrent(new CadInterupt());  // the controller deletes the current one
    resources_.reset();
    control_.reset();
    FrameTest::TearDown();
  }

  // Codes 0 and 9 take a text; every other code an integer.
  static int Send(int code, int value) { return UIProgressControl(code, code == 9 ? nullptr : &value); }
  static int Open(const char* title) {
    CaeString text(title);
    return UIProgressControl(0, &text);
  }
  static CWnd* Item(int id) { return UIProgressDialog() ? UIProgressDialog()->GetDlgItem(id) : nullptr; }
  static void ClickCancel() { PostMessage(UIProgressDialog()->GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0); }

  CountingInterupt interrupt;
  uistest::RecordingCad cad;

 private:
  std::unique_ptr<CadAppControl> control_;
  std::unique_ptr<ResourceSetter> resources_;
};

// One progress step: a code and its integer argument (code 0 opens with a title).
struct Step {
  int code;
  int value;
};

struct BarsCase {
  const char* name;
  std::vector<Step> steps;
  int activityBar;
  int overallBar;
  bool cancelEnabled;
};

TEST_F(ProgressTest, CodeSequencesMoveTheBars) {
  const BarsCase cases[] = {
      {"activities of four start at 0, 25, 50", {{0, 0}, {8, 4}, {9, 0}, {9, 0}, {9, 0}}, 0, 50, true},
      {"half of the third activity adds an eighth", {{0, 0}, {8, 4}, {9, 0}, {9, 0}, {9, 0}, {10, 50}}, 50, 62, true},
      {"without a count the activity does not move the overall bar", {{0, 0}, {9, 0}, {10, 70}}, 70, 0, true},
      {"a count of 0 is no count", {{0, 0}, {12, 30}, {8, 0}, {9, 0}, {10, 40}}, 40, 30, true},
      {"overall 100 disables Cancel", {{0, 0}, {12, 100}}, 0, 100, false},
      {"overall below 100 keeps Cancel", {{0, 0}, {12, 99}}, 0, 99, true},
  };
  for (const BarsCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Step& step : c.steps) step.code == 0 ? Open("Meshing") : Send(step.code, step.value);
    CProgressDlg* dialog = UIProgressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->ActivityBarPos(), c.activityBar);
    EXPECT_EQ(dialog->OverallBarPos(), c.overallBar);
    EXPECT_EQ(Item(IDCANCEL)->IsWindowEnabled() != FALSE, c.cancelEnabled);
    Send(2, 0);
    EXPECT_EQ(UIProgressDialog(), nullptr);
  }
}

TEST_F(ProgressTest, OpenShowsTitleAndActivityTextAndASecondOpenChangesNothing) {
  Open("Meshing");
  CProgressDlg* dialog = UIProgressDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->IsWindowVisible());
  CString caption;
  dialog->GetWindowText(caption);
  EXPECT_STREQ(static_cast<const char*>(caption), "Meshing");
  Open("Other");
  EXPECT_EQ(UIProgressDialog(), dialog);

  CaeString text("Writing the deck");
  UIProgressControl(9, &text);
  CString activity;
  dialog->GetDlgItemText(CProgressDlg::kActivityTextId, activity);
  EXPECT_STREQ(static_cast<const char*>(activity), "Writing the deck");

  Send(17, 3);
  dialog->GetWindowText(caption);
  EXPECT_STREQ(static_cast<const char*>(caption), "Performing Analysis Iteration 3");
}

TEST_F(ProgressTest, FlagsSentBeforeOpeningShapeOnlyTheNextDialog) {
  Send(4, 0);
  Send(6, 0);
  Send(7, 0);
  Open("");
  EXPECT_FALSE(Item(IDCANCEL)->IsWindowVisible());
  EXPECT_FALSE(Item(IDCANCEL)->IsWindowEnabled());
  EXPECT_FALSE(Item(CProgressDlg::kActivityBarId)->IsWindowVisible());
  EXPECT_FALSE(Item(CProgressDlg::kActivityTextId)->IsWindowVisible());
  Send(2, 0);
  Open("");
  EXPECT_TRUE(Item(IDCANCEL)->IsWindowVisible());
  EXPECT_TRUE(Item(IDCANCEL)->IsWindowEnabled());
  EXPECT_TRUE(Item(CProgressDlg::kActivityBarId)->IsWindowVisible());
}

TEST_F(ProgressTest, WithoutADialogQueriesAnswerZeroAndPumpNothing) {
  PostMessage(nullptr, WM_NULL, 0, 0);
  for (int code : {15, 16, 10, 12, 9, 14}) EXPECT_EQ(Send(code, 1), 0) << code;
  MSG message;
  EXPECT_TRUE(PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) << "the posted message must still be waiting";
}

TEST_F(ProgressTest, CancelReachesTheEngineThroughThePump) {
  Open("Solving");
  ClickCancel();
  EXPECT_EQ(interrupt.Check(), 0);  // not pumped yet
  EXPECT_EQ(Send(16, 0), 1);
  EXPECT_EQ(interrupt.Check(), 1);
  EXPECT_NE(UIProgressDialog(), nullptr) << "Cancel only tells the interrupt object";
  EXPECT_EQ(Send(12, 10), 1) << "every code's result carries the cancel request";
}

TEST_F(ProgressTest, QueryCancelClosesOnRequestAndEndsTheOperationOnce) {
  const struct {
    int closeArgument;
    bool dialogRemains;
  } cases[] = {{1, false}, {0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.closeArgument);
    interrupt.closes = 0;
    Open("Solving");
    EXPECT_EQ(Send(15, c.closeArgument), 0);
    ClickCancel();
    Send(16, 0);  // the click reaches the dialog
    EXPECT_EQ(Send(15, c.closeArgument), 1);
    EXPECT_EQ(UIProgressDialog() != nullptr, c.dialogRemains);
    EXPECT_EQ(interrupt.closes, 1);
    Send(2, 0);
    EXPECT_EQ(interrupt.closes, 1);
    EXPECT_EQ(UIProgressDialog(), nullptr);
  }
}

TEST_F(ProgressTest, NewDialogForgetsAnEarlierCancel) {
  Open("First");
  ClickCancel();
  Send(16, 0);
  Send(2, 0);
  Open("Second");
  EXPECT_EQ(Send(16, 0), 0);
}

TEST_F(ProgressTest, WaitPumpsSoCancelEndsIt) {
  using Clock = std::chrono::steady_clock;
  Open("Waiting");
  auto start = Clock::now();
  Send(14, 150);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
  EXPECT_EQ(interrupt.Check(), 0);

  ClickCancel();
  start = Clock::now();
  Send(14, 20000);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(interrupt.Check(), 1);
}

TEST_F(ProgressTest, TheActiveWindowIsDisabledWhileTheDialogShows) {
  CDialog owner;
  ASSERT_TRUE(owner.Create(103, nullptr));
  owner.ShowWindow(SW_SHOW);
  owner.SetActiveWindow();
  ASSERT_EQ(GetActiveWindow(), owner.GetSafeHwnd());
  Open("Solving");
  EXPECT_FALSE(owner.IsWindowEnabled());
  Send(2, 0);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(GetActiveWindow(), owner.GetSafeHwnd());
  owner.DestroyWindow();
}

}  // namespace
