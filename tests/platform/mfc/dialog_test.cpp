// Modal and modeless dialogs: templates, the modal loop and the user driver, nested loops,
// custom end codes, and exceptions leaving the loop.
#include <gtest/gtest.h>

#include <stdexcept>

#include "mfc_fixture.h"

namespace {

const char* const kDialogs = R"(
NAME IDC_NAME 1001
NAME IDC_OPEN 1002
DIALOG 200 "Outer" SIZE 160 80
  EDITTEXT IDC_NAME "" 5 5 80 12
  PUSHBUTTON IDC_OPEN "Open..." 5 25 50 14
  DEFPUSHBUTTON IDOK "OK" 60 60 40 14
  PUSHBUTTON IDCANCEL "Cancel" 105 60 40 14
END
DIALOG 201 "Inner" SIZE 100 50
  EDITTEXT 1001 "" 5 5 80 12
  DEFPUSHBUTTON IDOK "OK" 5 30 40 14
END
)";

class OuterDialog : public CDialog {
 public:
  OuterDialog() : CDialog(200) {}
  std::vector<std::string> events;
  CString name;
  INT_PTR innerResult = 0;
  std::string innerName;
  std::function<void()> onOpen;

 protected:
  BOOL OnInitDialog() override {
    events.push_back("init");
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 1001, name); }
  void OnOpen() {
    events.push_back("open");
    if (onOpen) onOpen();
  }
  void OnOK() override {
    events.push_back("ok");
    CDialog::OnOK();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OuterDialog, CDialog)
ON_BN_CLICKED(1002, OnOpen)
END_MESSAGE_MAP()

class InnerDialog : public CDialog {
 public:
  explicit InnerDialog(CWnd* parent) : CDialog(201, parent) {}
  CString text;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 1001, text); }
};

TEST(ModalDialog, DriverTypesAndClicksOkAndMembersReceiveTheText) {
  mfctest::ResourceScope resources(kDialogs);
  OuterDialog dialog;
  dialog.name = "start";
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) {
    EXPECT_EQ(mfctest::controlText(w, 1001), "start") << "OnInitDialog moves members into controls";
    EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1001, "beam"), "");
  });
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);

  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.name, "beam");
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"init", "ok"}));
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalDialog, WithoutADriverIsCancelledAndLogged) {
  mfctest::ResourceScope resources(kDialogs);
  mfc::ScopedUserDriver none(nullptr);
  OuterDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  auto lines = mfc::logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "no user driver: dialog 200 'Outer' cancelled");
}

// A dialog whose Cancel does nothing must still end: the loop gives up after asking twice.
class StubbornDialog : public CDialog {
 public:
  StubbornDialog() : CDialog(201) {}
  void OnCancel() override {}
};

TEST(ModalDialog, ACancelThatDoesNotCloseIsForcedSoNothingHangs) {
  mfctest::ResourceScope resources(kDialogs);
  mfc::ScopedUserDriver none(nullptr);
  StubbornDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  auto lines = mfc::logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "cancel did not close dialog 201 'Inner': ended with IDCANCEL");
}

TEST(ModalDialog, MissingTemplateReturnsMinusOneWithAWarning) {
  mfctest::ResourceScope resources(kDialogs);
  CDialog dialog(999);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_EQ(mfc::logLines().front(), "warning: dialog template 999 is not in the resource module");
}

TEST(ModalDialog, NestedModalLoopsAreDrivenInnermostFirst) {
  mfctest::ResourceScope resources(kDialogs);
  CWnd main;
  ASSERT_TRUE(main.Create("Frame", "Main", WS_POPUP | WS_VISIBLE, RECT{0, 0, 800, 600}, nullptr, 0));
  struct MainWindowScope {
    explicit MainWindowScope(CWnd* w) { AfxGetApp()->m_pMainWnd = w; }
    ~MainWindowScope() { AfxGetApp()->m_pMainWnd = nullptr; }
  } mainScope(&main);
  OuterDialog outer;
  outer.onOpen = [&] {
    InnerDialog inner(&outer);
    outer.innerResult = inner.DoModal();
    outer.innerName = inner.text.str();
    EXPECT_TRUE(outer.IsWindowEnabled());
  };
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) {
    EXPECT_FALSE(AfxGetMainWnd()->IsWindowEnabled()) << "the main window is the owner of a modal dialog";
    EXPECT_EQ(mfc::userClick(w.m_hWnd, 1002), "");
  });
  driver.add([&](CWnd& w) {
    EXPECT_FALSE(outer.IsWindowEnabled()) << "the outer dialog is disabled while the inner one runs";
    EXPECT_EQ(mfc::modalWindows(), (std::vector<HWND>{outer.m_hWnd, w.m_hWnd}));
    EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1001, "inner text"), "");
  });
  driver.click(IDOK);  // the inner dialog
  driver.click(IDOK);  // the outer dialog
  mfc::ScopedUserDriver installed(&driver);

  EXPECT_EQ(outer.DoModal(), IDOK);
  EXPECT_EQ(outer.innerResult, IDOK);
  EXPECT_EQ(outer.innerName, "inner text");
  EXPECT_EQ(driver.waited(), (std::vector<std::string>{"Outer", "Inner", "Inner", "Outer"}));
  EXPECT_TRUE(main.IsWindowEnabled());
}

TEST(ModalDialog, AnExceptionLeavesNestedLoopsCleanly) {
  mfctest::ResourceScope resources(kDialogs);
  OuterDialog outer;
  HWND innerWindow = nullptr;
  outer.onOpen = [&] {
    InnerDialog inner(&outer);
    inner.DoModal();
  };
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) { mfc::userClick(w.m_hWnd, 1002); });
  driver.add([&](CWnd& w) {
    innerWindow = w.m_hWnd;
    throw std::runtime_error("engine failure");
  });
  mfc::ScopedUserDriver installed(&driver);

  EXPECT_THROW(outer.DoModal(), std::runtime_error);
  EXPECT_FALSE(IsWindow(innerWindow));
  EXPECT_EQ(outer.m_hWnd, nullptr);
  EXPECT_TRUE(mfc::modalWindows().empty());
  // The toolkit is usable afterwards.
  mfctest::StepDriver next;
  next.click(IDCANCEL);
  mfc::ScopedUserDriver again(&next);
  OuterDialog another;
  EXPECT_EQ(another.DoModal(), IDCANCEL);
}

TEST(ModalDialog, EndDialogKeepsAnyCodeAndEndDuringInitSkipsTheLoop) {
  mfctest::ResourceScope resources(kDialogs);
  struct EndsInInit : CDialog {
    EndsInInit() : CDialog(201) {}
    BOOL OnInitDialog() override {
      EndDialog(-2);
      return TRUE;
    }
  } early;
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_EQ(early.DoModal(), -2);
  EXPECT_TRUE(driver.waited().empty());

  OuterDialog custom;
  driver.add([&](CWnd&) { custom.EndDialog(12345); });
  EXPECT_EQ(custom.DoModal(), 12345);
}

// Destroying a dialog whose edit has the focus tells no handler of the half-destroyed dialog.
class FocusWatcher : public CDialog {
 public:
  FocusWatcher() : CDialog(201) {}
  int killFocus = 0;

 protected:
  void OnKill() { ++killFocus; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FocusWatcher, CDialog)
ON_EN_KILLFOCUS(1001, OnKill)
END_MESSAGE_MAP()

TEST(ModelessDialog, DestroyingTheFocusedControlSendsNoKillFocus) {
  mfctest::ResourceScope resources(kDialogs);
  FocusWatcher dialog;
  ASSERT_TRUE(dialog.Create(201));
  EXPECT_EQ(CWnd::GetFocus(), dialog.GetDlgItem(1001)) << "the first tab stop takes the focus";
  dialog.GetDlgItem(IDOK)->SetFocus();
  EXPECT_EQ(dialog.killFocus, 1);
  dialog.GetDlgItem(1001)->SetFocus();
  dialog.DestroyWindow();
  EXPECT_EQ(dialog.killFocus, 1);
  EXPECT_EQ(CWnd::GetFocus(), nullptr);
}

TEST(ModelessDialog, CreateShowsItAndDestroyRunsPostNcDestroy) {
  mfctest::ResourceScope resources(kDialogs + std::string("DIALOG 202 \"Panel\" SIZE 80 40 STYLE WS_VISIBLE\nEND\n"));
  struct Panel : CDialog {
    bool* destroyed;
    explicit Panel(bool* flag) : destroyed(flag) {}
    void PostNcDestroy() override {
      *destroyed = true;
      delete this;
    }
  };
  bool destroyed = false;
  auto* panel = new Panel(&destroyed);
  ASSERT_TRUE(panel->Create(202));
  EXPECT_TRUE(panel->IsWindowVisible());
  panel->PostMessage(WM_CLOSE);  // a closed dialog is cancelled: EndDialog hides it
  mfc::pumpMessages();
  EXPECT_FALSE(panel->IsWindowVisible());
  EXPECT_FALSE(destroyed);
  panel->DestroyWindow();
  EXPECT_TRUE(destroyed);
}

}  // namespace

namespace {

// A window that destroys itself again while it is being destroyed, as close handlers may.
class SelfDestroying : public CWnd {
 public:
  int destroys = 0;

 protected:
  void OnDestroy() {
    ++destroys;
    EXPECT_TRUE(IsWindow()) << "still a window while WM_DESTROY is handled";
    DestroyWindow();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfDestroying, CWnd)
ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(WindowLifetime, DestroyWindowInsideWmDestroyDoesNothingMore) {
  SelfDestroying window;
  ASSERT_TRUE(window.Create("Self", "", WS_POPUP, RECT{}, nullptr, 0));
  HWND handle = window.m_hWnd;
  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_EQ(window.destroys, 1);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.m_hWnd, nullptr);
}

}  // namespace
