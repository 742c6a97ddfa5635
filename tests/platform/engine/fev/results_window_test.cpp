// The results window: creation, showing and hiding through the toolkit, printing, closing and
// recreating, view dynamics, and its place as the current display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "amg/CaeEngine.h"
#include "amg/CaeMsgCall.h"
#include "fev/FerWndOGLDisp.h"
#include "mfc/winapi.h"
#include "mfc/wnd.h"

namespace {

std::vector<std::string> g_messages;

class ResultsWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    g_messages.clear();
    CaeMsgCall::SetMsgRoutine([](int, const CaeString& text) { g_messages.push_back(text.Str()); });
  }
  void TearDown() override { CaeEngine::ResetState(); }

  static constexpr DWORD kStyle = 0xCF0000;  // an overlapped window
  static int Create(FerWndOGLDisp& view, HWND parent = nullptr) {
    return view.CreateResultsView(50, 250, 800, 400, "Results Processor", parent, 0x300, kStyle);
  }
};

TEST_F(ResultsWindowTest, NoHandleUntilCreated) {
  FerWndOGLDisp view;
  EXPECT_EQ(view.GetDisplayHandle(), nullptr);
  EXPECT_EQ(view.CreationCount(), 0);
  ASSERT_EQ(Create(view), 1);
  HWND hwnd = view.GetDisplayHandle();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd)) << "created hidden";
  const FerViewCreation& c = view.Creation();
  EXPECT_EQ(c.x, 50);
  EXPECT_EQ(c.y, 250);
  EXPECT_EQ(c.width, 800);
  EXPECT_EQ(c.height, 400);
  EXPECT_EQ(c.title, "Results Processor");
  EXPECT_EQ(c.exStyle, 0x300u);
  EXPECT_EQ(c.style, kStyle);
  char title[64] = {};
  GetWindowText(hwnd, title, sizeof title);
  EXPECT_STREQ(title, "Results Processor");

  EXPECT_EQ(Create(view), 1);
  EXPECT_EQ(view.GetDisplayHandle(), hwnd) << "a second creation keeps the window";
  EXPECT_EQ(view.CreationCount(), 1);
}

TEST_F(ResultsWindowTest, ShowingAndHidingThroughTheToolkitAreRecorded) {
  FerWndOGLDisp view;
  ASSERT_EQ(Create(view), 1);
  HWND hwnd = view.GetDisplayHandle();
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  ShowWindow(hwnd, SW_SHOW);  // already shown: no change
  ShowWindow(hwnd, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(view.ShowCount(), 1);
  EXPECT_EQ(view.HideCount(), 1);
}

TEST_F(ResultsWindowTest, OwnedByAnotherWindow) {
  CWnd main;
  RECT rect{0, 0, 1024, 768};
  ASSERT_TRUE(main.CreateEx(0, "MainFrame", "CAD", 0, rect, nullptr, 0));
  FerWndOGLDisp view;
  ASSERT_EQ(Create(view, main.GetSafeHwnd()), 1);
  EXPECT_EQ(GetParent(view.GetDisplayHandle()), main.GetSafeHwnd());

  HWND dead = main.GetSafeHwnd();
  main.DestroyWindow();
  FerWndOGLDisp orphan;
  EXPECT_EQ(Create(orphan, dead), 0) << "a dead owner is refused";
  EXPECT_EQ(orphan.GetDisplayHandle(), nullptr);
}

TEST_F(ResultsWindowTest, CloseAndRecreate) {
  FerWndOGLDisp view;
  view.ForceRecreate();  // nothing to rebuild
  EXPECT_EQ(view.CreationCount(), 0);
  ASSERT_EQ(Create(view), 1);
  ShowWindow(view.GetDisplayHandle(), SW_SHOW);
  view.ForceRecreate();
  EXPECT_EQ(view.CreationCount(), 2);
  ASSERT_NE(view.GetDisplayHandle(), nullptr);
  EXPECT_TRUE(IsWindowVisible(view.GetDisplayHandle())) << "a shown window stays shown";
  EXPECT_EQ(view.RedrawCount(), 1);

  HWND old = view.GetDisplayHandle();
  view.Close();
  EXPECT_EQ(view.GetDisplayHandle(), nullptr);
  EXPECT_FALSE(IsWindow(old));
  ASSERT_EQ(Create(view), 1);
  EXPECT_EQ(view.CreationCount(), 3);

  DestroyWindow(view.GetDisplayHandle());  // destroyed behind the display's back
  EXPECT_EQ(view.GetDisplayHandle(), nullptr);
  EXPECT_EQ(Create(view), 1);
}

TEST_F(ResultsWindowTest, PrintingWithoutAChosenOutputIsRecordedAndSaysSo) {
  FerWndOGLDisp view;
  ASSERT_EQ(Create(view), 1);
  EXPECT_EQ(view.PrintDisplay(), 0);
  EXPECT_EQ(view.PrintCount(), 1);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find("no printer output has been chosen"), std::string::npos);
}

TEST_F(ResultsWindowTest, DynamicsModeRunsUntilEnded) {
  FerWndOGLDisp view;
  view.StartDynamics();
  view.DoDynamics(2);
  EXPECT_EQ(view.DynamicsMode(), 2);
  view.DoDynamics(9);
  EXPECT_EQ(view.DynamicsMode(), -1) << "no such mode";
  view.DoDynamics(3);
  view.EndDynamics(0);
  EXPECT_EQ(view.DynamicsMode(), -1);
  EXPECT_EQ(view.KeptViewChanges(), 0);
  view.StartDynamics();
  view.DoDynamics(0);
  view.EndDynamics(1);
  EXPECT_EQ(view.KeptViewChanges(), 1);
  EXPECT_EQ(view.RedrawCount(), 1);
}

TEST_F(ResultsWindowTest, DestroyedDisplayIsNoLongerCurrent) {
  HWND hwnd = nullptr;
  {
    FerWndOGLDisp view;
    FerDisplay::SetCurrent(&view);
    ASSERT_EQ(Create(view), 1);
    hwnd = view.GetDisplayHandle();
    EXPECT_EQ(FerDisplay::GetCurrent(), &view);
  }
  EXPECT_EQ(FerDisplay::GetCurrent(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd)) << "the window goes with its display";
}

}  // namespace
