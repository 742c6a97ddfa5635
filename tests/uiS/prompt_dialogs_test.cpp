// The prompt dialogs driven as a person drives them: the one-name text dialog, the scale factor,
// the select prompt over the CAD window and the resizable base's remembered rectangles.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/common/UIResizableDlg.h"
#include "gui/dialogs/common/UIScaleFactorDlg.h"
#include "gui/dialogs/common/UISelectPromptDlg.h"
#include "gui/dialogs/common/UITextRetrievalDlg.h"
#include "mfc/afx.h"
#include "uis_fixture.h"

namespace {

constexpr char kInvalidName[] = "Invalid name.  Name cannot include punctuation or spaces.";

bool enabled(CWnd& window, int id) { return ::IsWindowEnabled(mfc::findControl(window.GetSafeHwnd(), id)) != FALSE; }

// A CAD with a main window where the tests place it, and a pending request it completes or
// refuses as told.
class PromptCad : public CadInterface {
 public:
  PromptCad() { window.CreateEx(0, "AcadMainWindow", "cad", WS_VISIBLE, CRect(0, 0, 1000, 700), nullptr, 0); }
  ~PromptCad() override {
    if (window.GetSafeHwnd()) window.DestroyWindow();
  }
  HWND GetMainWindow() override { return window.GetSafeHwnd(); }
  int ProcessPendingRequest(int cancel) override {
    requests.push_back(cancel);
    return acceptRequest ? 1 : 0;
  }
  CWnd window;
  bool acceptRequest = true;
  std::vector<int> requests;
};

class PromptDialogTest : public uistest::FrameTest {
 protected:
  void TearDown() override {
    resources_.reset();
    CResizableDlg::ForgetRectangles();
    FrameTest::TearDown();
  }

  // Runs the dialog with `steps`, then answers the dialog's result.
  INT_PTR Run(CTextRetrievalDlg& dialog, const std::vector<uistest::RecordingDriver::Step>& steps) {
    for (const auto& step : steps) driver.add(step);
    return dialog.DoModal();
  }
  void SetUp() override {
    FrameTest::SetUp();
    resources_ = std::make_unique<ResourceSetter>(1);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : driver.boxes()) texts.push_back(box.text);
    return texts;
  }

 private:
  std::unique_ptr<ResourceSetter> resources_;
};

uistest::RecordingDriver::Step Type(std::string text) {
  return [text](CWnd& w) { EXPECT_EQ(mfc::userSetText(w, IDC_TEXT_RETRIEVAL_EDIT, text), ""); };
}
uistest::RecordingDriver::Step Click(int id, std::string expected = "") {
  return [id, expected](CWnd& w) { EXPECT_EQ(mfc::userClick(w, id), expected) << id; };
}

TEST_F(PromptDialogTest, TextDialogAcceptsOnlyValidNamesAndStaysOpenOtherwise) {
  struct Case {
    const char* name;
    std::vector<std::string> typed;  // each typed in turn, then OK
    int maxLength;
    INT_PTR expectedResult;  // after OK (and a Cancel when OK was refused)
    std::vector<std::string> boxes;
    const char* expectedText;
  };
  const std::string longest(249, 'a');
  const std::string tooLong(250, 'a');
  const Case cases[] = {
      {"plain name", {"Bracket_2"}, 0, IDOK, {}, "Bracket_2"},
      {"space reported when typed and at OK", {"my model"}, 0, IDCANCEL, {kInvalidName, kInvalidName}, "my model"},
      {"punctuation", {"a.b"}, 0, IDCANCEL, {kInvalidName, kInvalidName}, "a.b"},
      {"corrected after a bad character", {"a b", "ab"}, 0, IDOK, {kInvalidName}, "ab"},
      {"at the length limit", {longest}, 249, IDOK, {}, longest.c_str()},
      {"over the length limit", {tooLong}, 249, IDCANCEL, {"Invalid Input"}, tooLong.c_str()},
      {"no limit", {tooLong}, 0, IDOK, {}, tooLong.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    driver = uistest::RecordingDriver();
    CTextRetrievalDlg dialog("Create New Model", "New model name");
    dialog.m_text = "Model1";
    dialog.SetMaxLength(c.maxLength);
    std::vector<uistest::RecordingDriver::Step> steps;
    for (const auto& text : c.typed) steps.push_back(Type(text));
    steps.push_back(Click(IDOK));
    if (c.expectedResult == IDCANCEL) steps.push_back(Click(IDCANCEL));
    EXPECT_EQ(Run(dialog, steps), c.expectedResult);
    EXPECT_EQ(BoxTexts(), c.boxes);
    if (c.expectedResult == IDOK) {
      EXPECT_EQ(std::string(dialog.m_text), c.expectedText);
    }
  }
}

TEST_F(PromptDialogTest, TextDialogDisablesOkWhileEmptyAndShowsCaptionAndPrompt) {
  CTextRetrievalDlg dialog("Create New Load Set", "New Load Set Name");
  dialog.m_text = "drawing_LS";
  std::vector<bool> okEnabled;
  auto look = [&](CWnd& w) { okEnabled.push_back(enabled(w, IDOK)); };
  auto texts = [&](CWnd& w) {
    CString caption, prompt, edit;
    w.GetWindowText(caption);
    w.GetDlgItemText(IDC_TEXT_RETRIEVAL_PROMPT, prompt);
    w.GetDlgItemText(IDC_TEXT_RETRIEVAL_EDIT, edit);
    EXPECT_EQ(std::string(caption), "Create New Load Set");
    EXPECT_EQ(std::string(prompt), "New Load Set Name");
    EXPECT_EQ(std::string(edit), "drawing_LS");
    EXPECT_TRUE(::IsWindowVisible(mfc::findControl(w.GetSafeHwnd(), IDC_TEXT_RETRIEVAL_HELP)));
  };
  EXPECT_EQ(
      Run(dialog, {texts, look, Type(""), look, Click(IDOK, "control 1 is disabled"), Type("x"), look, Click(IDOK)}),
      IDOK);
  EXPECT_EQ(okEnabled, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(std::string(dialog.m_text), "x");
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(PromptDialogTest, TextDialogRefusesANameTheCallerReportsTaken) {
  CTextRetrievalDlg dialog("Create New Restraint Set", "New Restraint Set Name");
  dialog.m_text = "Fixed";
  dialog.SetNameTaken([](const CString& name) { return std::string(name) == "Fixed"; }, "taken");
  EXPECT_EQ(Run(dialog, {Click(IDOK), Type("Fixed2"), Click(IDOK)}), IDOK);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"taken"});
  EXPECT_EQ(std::string(dialog.m_text), "Fixed2");
}

TEST_F(PromptDialogTest, HelpContextFollowsTheCaptionAndHelpIsHiddenWithoutOne) {
  const struct {
    const char* caption;
    DWORD_PTR context;
  } cases[] = {{"Create New Model", 0x8000000d},
               {"Create New Load Set", 0x8000000e},
               {"Create New Restraint Set", 0x8000000f},
               {"Rename", 0},
               {"create new model", 0}};
  for (const auto& c : cases) EXPECT_EQ(CTextRetrievalDlg(c.caption, "").m_helpContext, c.context) << c.caption;

  CTextRetrievalDlg dialog("Rename", "Name");
  dialog.m_text = "a";
  bool helpVisible = true;
  driver.add(
      [&](CWnd& w) { helpVisible = ::IsWindowVisible(mfc::findControl(w.GetSafeHwnd(), IDC_TEXT_RETRIEVAL_HELP)); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_FALSE(helpVisible);
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(PromptDialogTest, ScaleFactorReturnsTheEditedValueOrTheGivenOne) {
  auto setFactor = [](std::string text) {
    return [text](CWnd& w) { EXPECT_EQ(mfc::userSetText(w, IDC_SCALE_FACTOR, text), ""); };
  };
  std::string shown;
  driver.add([&](CWnd& w) {
    CString text;
    w.GetDlgItemText(IDC_SCALE_FACTOR, text);
    shown = text;
  });
  driver.add(setFactor("2.5"));
  driver.add([](CWnd& w) { mfc::userClick(w, IDOK); });
  EXPECT_DOUBLE_EQ(UIGetScaleFactor(1.0), 2.5);
  EXPECT_EQ(shown, "1");

  driver.add(setFactor("3"));
  driver.add([](CWnd& w) { mfc::userClick(w, IDCANCEL); });
  EXPECT_DOUBLE_EQ(UIGetScaleFactor(0.75), 0.75);

  // Not a number: the toolkit refuses it and the dialog stays until a number is given.
  bool stillOpen = false;
  driver.add(setFactor("two"));
  driver.add([](CWnd& w) { mfc::userClick(w, IDOK); });
  driver.add([&](CWnd& w) { stillOpen = w.IsWindowVisible() != FALSE; });
  driver.add(setFactor("-4e-1"));
  driver.add([](CWnd& w) { mfc::userClick(w, IDOK); });
  EXPECT_DOUBLE_EQ(UIGetScaleFactor(1.0), -0.4);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "Please enter a number.");
}

int resumed = 0;
int countResume() { return ++resumed; }

TEST_F(PromptDialogTest, SelectPromptSitsAtTheCadWindowAndResumesOnlyWhenTheRequestCompletes) {
  PromptCad cad;
  cmdInitRunTimeEntries();
  const CadCommandHandler previous = cmdReplaceHandler(kCmdResume, countResume);
  resumed = 0;
  ::SetWindowPos(cad.GetMainWindow(), nullptr, -30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

  auto* prompt = new CSelectPromptDlg(&cad.window);
  ASSERT_TRUE(prompt->Show());
  HWND window = prompt->GetSafeHwnd();
  RECT placed{};
  ::GetWindowRect(window, &placed);
  EXPECT_EQ(placed.left, 0);  // clamped
  EXPECT_EQ(placed.top, 40);
  EXPECT_TRUE(::IsWindowVisible(window));

  cad.acceptRequest = false;
  EXPECT_EQ(mfc::userClick(window, IDOK), "");
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_EQ(resumed, 0);

  cad.acceptRequest = true;
  EXPECT_EQ(mfc::userClick(window, IDOK), "");
  EXPECT_FALSE(::IsWindow(window));  // the object went with its window
  EXPECT_EQ(resumed, 1);
  EXPECT_EQ(cad.requests, (std::vector<int>{1, 1}));
  cmdReplaceHandler(kCmdResume, previous);
}

// A resizable dialog whose layout asks to be remembered only when told.
class Resizable : public CResizableDlg {
 public:
  explicit Resizable(CWnd* parent, bool rememberSizes)
      : CResizableDlg(IDD_TEXT_RETRIEVAL, parent), remember_(rememberSizes) {}
  int ResizeContents(int width, int height) override {
    layouts.push_back({width, height});
    return remember_ ? 1 : 0;
  }
  void PostNcDestroy() override {}
  const CToolTipCtrl& Tips() const { return m_toolTip; }
  std::vector<std::pair<int, int>> layouts;

 private:
  bool remember_;
};

RECT windowRect(CWnd& w) {
  RECT r{};
  w.GetWindowRect(&r);
  return r;
}

TEST_F(PromptDialogTest, ResizableDialogsReopenWhereTheLastOneWasLeft) {
  PromptCad cad;
  for (bool rememberSizes : {false, true}) {
    SCOPED_TRACE(rememberSizes ? "sizes remembered" : "sizes not remembered");
    CResizableDlg::ForgetRectangles();
    Resizable first(&cad.window, rememberSizes);
    ASSERT_TRUE(first.Create(IDD_TEXT_RETRIEVAL, &cad.window));
    const RECT initial = windowRect(first);
    RECT remembered{};
    ASSERT_TRUE(CResizableDlg::RememberedRectangle(IDD_TEXT_RETRIEVAL, remembered));
    EXPECT_EQ(remembered.left, initial.left);
    ASSERT_EQ(first.layouts.size(), 1u);
    EXPECT_EQ(first.layouts[0].first, initial.right - initial.left);

    first.MoveWindow(100, 120, initial.right - initial.left, initial.bottom - initial.top);
    first.MoveWindow(100, 120, 500, 300);  // a size only
    first.DestroyWindow();

    Resizable second(&cad.window, rememberSizes);
    ASSERT_TRUE(second.Create(IDD_TEXT_RETRIEVAL, &cad.window));
    const RECT reopened = windowRect(second);
    EXPECT_EQ(reopened.left, 100);
    EXPECT_EQ(reopened.top, 120);
    EXPECT_EQ(reopened.right - reopened.left, rememberSizes ? 500 : initial.right - initial.left);
    second.DestroyWindow();
  }
  RECT other{};
  EXPECT_FALSE(CResizableDlg::RememberedRectangle(IDD_SCALE_FACTOR, other));
}

TEST_F(PromptDialogTest, ResizableDialogRelaysMouseMovesForTheControlUnderTheCursor) {
  PromptCad cad;
  Resizable dialog(&cad.window, false);
  ASSERT_TRUE(dialog.Create(IDD_TEXT_RETRIEVAL, &cad.window));
  HWND ok = mfc::findControl(dialog.GetSafeHwnd(), IDOK);
  ::EnableWindow(ok, FALSE);  // tools on disabled controls show as well
  RECT okRect{};
  ::GetWindowRect(ok, &okRect);
  POINT inDialog{okRect.left + 3, okRect.top + 2};
  dialog.ScreenToClient(&inDialog);
  MSG move{dialog.GetSafeHwnd(), WM_MOUSEMOVE, 0,
           MAKELPARAM(static_cast<WORD>(inDialog.x), static_cast<WORD>(inDialog.y))};
  dialog.PreTranslateMessage(&move);
  const std::vector<MSG> relayed = dialog.Tips().relayedEvents();
  ASSERT_EQ(relayed.size(), 1u);
  EXPECT_EQ(relayed[0].hwnd, ok);
  EXPECT_EQ(relayed[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(LOWORD(relayed[0].lParam), 3);
  EXPECT_EQ(HIWORD(relayed[0].lParam), 2);

  MSG click{dialog.GetSafeHwnd(), WM_LBUTTONDOWN, 0, move.lParam};
  dialog.PreTranslateMessage(&click);
  EXPECT_EQ(dialog.Tips().relayedEvents().size(), 1u);  // only moves are relayed
  dialog.DestroyWindow();
}

}  // namespace
