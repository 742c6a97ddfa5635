// The "@" action lines of the host program's front end, driven in-process: a dialog filled in,
// shown with @show and closed; message boxes, file dialogs and popup menus answered; bad lines
// reported with their numbers and ignored.
#include <gtest/gtest.h>

#include <deque>

#include "mfc_fixture.h"

namespace {

const char* const kUnitDialog = R"(
NAME IDC_UNITS 1000
NAME IDC_NAME 1001
NAME IDC_SHELLS 1002
NAME IDC_ASK 1003
DIALOG 103 "Drawing Length Unit" SIZE 186 90
  LTEXT IDC_STATIC "Select the &unit of length in which the drawing was designed." 7 7 172 18
  COMBOBOX IDC_UNITS "" 7 28 110 70 CBS_DROPDOWNLIST
  EDITTEXT IDC_NAME "" 7 44 110 12
  CHECKBOX IDC_SHELLS "Shells" 7 58 60 10
  PUSHBUTTON IDC_ASK "Ask" 70 58 40 14
  DEFPUSHBUTTON IDOK "OK" 7 73 50 14
  PUSHBUTTON IDCANCEL "Cancel" 68 73 50 14
END
)";

class UnitDialog : public CDialog {
 public:
  UnitDialog() : CDialog(103) {}
  int unit = 0;
  CString name;
  int shells = 0;
  int answer = 0;
  CString file;

 protected:
  BOOL OnInitDialog() override {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(1000));
    for (const char* u : {"meter", "centimeter", "millimeter", "inch", "foot"}) combo->AddString(u);
    return CDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_CBIndex(dx, 1000, unit);
    DDX_Text(dx, 1001, name);
    DDX_Check(dx, 1002, shells);
  }
  void OnAsk() {
    answer = AfxMessageBox("Replace the mesh?", MB_YESNO | MB_ICONQUESTION);
    CFileDialog save(FALSE, "txt", "History.txt", OFN_HIDEREADONLY, "Text Files(*.txt)|*txt|All Files(*.*)|*.*||");
    if (save.DoModal() == IDOK) file = save.GetPathName();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(UnitDialog, CDialog)
ON_BN_CLICKED(1003, OnAsk)
END_MESSAGE_MAP()

// Feeds script lines to the driver and collects what it prints.
struct Script {
  explicit Script(std::vector<std::string> lines) {
    int number = 0;
    for (auto& text : lines) pending.push_back(mfc::ActionLine{text, ++number});
  }
  std::optional<mfc::ActionLine> next() {
    if (pending.empty()) return std::nullopt;
    auto line = pending.front();
    pending.pop_front();
    return line;
  }
  mfc::ActionLineDriver driver() {
    return mfc::ActionLineDriver([this] { return next(); }, [this](const std::string& t) { output += t; });
  }
  std::deque<mfc::ActionLine> pending;
  std::string output;
};

TEST(ActionLines, DriveADialogAndShowIt) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({
      "@select IDC_UNITS inch",
      "@set IDC_NAME \"Bracket 2\"",
      "@check 1002 on",
      "@show",
      "@click IDOK",
  });
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  UnitDialog dialog;

  EXPECT_EQ(dialog.DoModal(), IDOK);

  EXPECT_EQ(dialog.unit, 3);
  EXPECT_EQ(dialog.name, "Bracket 2");
  EXPECT_EQ(dialog.shells, 1);
  EXPECT_EQ(script.output,
            "dialog 103 \"Drawing Length Unit\"\n"
            "  static -1 \"Select the &unit of length in which the drawing was designed.\"\n"
            "  combo 1000 \"inch\" [meter|centimeter|millimeter|*inch|foot]\n"
            "  edit 1001 \"Bracket 2\"\n"
            "  check 1002 \"Shells\" checked focus\n"
            "  button 1003 \"Ask\"\n"
            "  button 1 \"OK\" default\n"
            "  button 2 \"Cancel\"\n");
}

TEST(ActionLines, BadLinesAreReportedWithTheirNumbersAndIgnored) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({
      "@set 4711 text",
      "@select IDC_UNITS furlong",
      "@check IDC_SHELLS maybe",
      "@click IDC_NOWHERE",
      "@frobnicate",
      "@file /tmp/x.txt",
      "@set IDC_UNITS typed",
      "@click IDCANCEL",
  });
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  UnitDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(script.output,
            "line 1: the window has no control 4711; ignored\n"
            "line 2: combo box 1000 has no entry 'furlong'; ignored\n"
            "line 3: @check needs 'on' or 'off'\n"
            "line 4: unknown control id 'IDC_NOWHERE'\n"
            "line 5: unknown action '@frobnicate'\n"
            "line 6: no file dialog is waiting; ignored\n"
            "line 7: combo box 1000 is a drop-down list: select an entry; ignored\n");
}

TEST(ActionLines, MessageBoxesAndFileDialogsAreAnsweredInTurn) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({
      "@click 1003",
      "@set IDC_NAME too early",
      "@show",
      "@click IDYES",
      "@file /tmp/report",
      "@click IDOK",
  });
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  UnitDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.answer, IDYES);
  EXPECT_EQ(dialog.file, "/tmp/report.txt") << "the default extension is added";
  EXPECT_EQ(script.output,
            "line 2: a message box is waiting: answer it with @click; ignored\n"
            "message box \"Kestrum Inside\" \"Replace the mesh?\" buttons Yes No\n");
}

TEST(ActionLines, HostLinesAndTheEndOfInputCancelTheWaitingWindow) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({"@set IDC_NAME partial", "MESH", "@click IDOK"});
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  UnitDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  auto putBack = driver.takePutBack();
  ASSERT_TRUE(putBack.has_value());
  EXPECT_EQ(putBack->text, "MESH");
  EXPECT_EQ(putBack->number, 2);
  EXPECT_FALSE(driver.takePutBack().has_value());

  // With no window waiting the host hands its lines over: "@" lines are reported and ignored.
  auto remaining = script.next();
  ASSERT_TRUE(remaining.has_value());
  EXPECT_TRUE(driver.handleLineWithoutWindow(*remaining));
  EXPECT_FALSE(driver.handleLineWithoutWindow(mfc::ActionLine{"LINE 0,0 1,1", 4}));
  EXPECT_EQ(script.output, "line 3: no window is waiting; ignored\n");
  EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "end of input cancels";
}

TEST(ActionLines, PopupMenusArePickedByText) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({"@show", "@menu nothing", "@menu &grid"});
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 40060, "&Print...");
  menu.AppendMenu(MF_STRING | MF_CHECKED, 40062, "&Grid");
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, nullptr), 40062);
  EXPECT_EQ(script.output,
            "popup menu\n"
            "  \"&Print...\" 40060\n"
            "  \"&Grid\" 40062 checked\n"
            "line 2: the menu has no item 'nothing'; ignored\n");
}

}  // namespace

namespace {

TEST(ActionLines, InteractiveUsePrintsTheWaitingWindowBeforeEachLine) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({"@set IDC_NAME x", "@click IDCANCEL"});
  mfc::ActionLineDriver driver = script.driver();
  driver.setInteractive(true);
  mfc::ScopedUserDriver installed(&driver);
  UnitDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  size_t first = script.output.find("dialog 103 \"Drawing Length Unit\"\n");
  ASSERT_NE(first, std::string::npos);
  size_t second = script.output.find("dialog 103 \"Drawing Length Unit\"\n", first + 1);
  ASSERT_NE(second, std::string::npos) << script.output;
  EXPECT_NE(script.output.find("edit 1001 \"x\"", second), std::string::npos) << "the second view shows the typed text";
}

}  // namespace

namespace {

TEST(ActionLines, WithoutAModalWindowLinesActOnTheNewestModelessPanel) {
  mfctest::ResourceScope resources(kUnitDialog);
  Script script({});
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  UnitDialog panel;
  ASSERT_TRUE(panel.Create(103));
  panel.ShowWindow(SW_SHOW);
  EXPECT_EQ(mfc::waitingModelessWindow(), panel.m_hWnd);

  EXPECT_TRUE(driver.handleLineWithoutWindow(mfc::ActionLine{"@set IDC_NAME Panel text", 1}));
  EXPECT_TRUE(driver.handleLineWithoutWindow(mfc::ActionLine{"@click IDOK", 2}));
  EXPECT_EQ(panel.name, "Panel text") << "OK exchanged the data";
  EXPECT_FALSE(panel.IsWindowVisible()) << "EndDialog hides a modeless dialog";
  EXPECT_EQ(mfc::waitingModelessWindow(), nullptr);
  EXPECT_TRUE(driver.handleLineWithoutWindow(mfc::ActionLine{"@click IDOK", 3}));
  EXPECT_EQ(script.output, "line 3: no window is waiting; ignored\n");
  panel.DestroyWindow();
}

}  // namespace

namespace {

const char* const kSpinSheet = R"(
NAME IDC_COUNT 1100
NAME IDC_COUNT_SPIN 1101
DIALOG 311 "Count" SIZE 120 60
  EDITTEXT IDC_COUNT "" 7 7 40 12
  SPIN IDC_COUNT_SPIN "" 48 7 10 12
END
DIALOG 312 "Other" SIZE 120 60
  LTEXT IDC_STATIC "Nothing here" 7 7 100 8
END
)";

// A page whose up-down control steps a number shown in the edit beside it.
class CountPage : public CPropertyPage {
 public:
  CountPage() : CPropertyPage(311) {}
  std::vector<int> deltas;  // iDelta of every UDN_DELTAPOS

 protected:
  BOOL OnInitDialog() override {
    CPropertyPage::OnInitDialog();
    auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(1101));
    spin->SetRange(0, 10);
    spin->SetPos(5);
    return TRUE;
  }
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && static_cast<int>(header->code) == UDN_DELTAPOS) {
      deltas.push_back(reinterpret_cast<NMUPDOWN*>(lParam)->iDelta);
      *result = 0;
      return TRUE;
    }
    return CPropertyPage::OnNotify(wParam, lParam, result);
  }
};

class OtherPage : public CPropertyPage {
 public:
  OtherPage() : CPropertyPage(312) {}
  bool activated = false;

 protected:
  BOOL OnSetActive() override {
    activated = true;
    return CPropertyPage::OnSetActive();
  }
};

TEST(ActionLines, SpinArrowsAndSheetTabsByName) {
  mfctest::ResourceScope resources(kSpinSheet);
  Script script({
      "@spin IDC_COUNT_SPIN up",
      "@spin IDC_COUNT_SPIN up",
      "@spin IDC_COUNT_SPIN down",
      "@spin IDC_COUNT_SPIN sideways",
      "@spin IDC_COUNT up",
      "@select IDC_SHEET_TABS Other",
      "@select IDC_SHEET_TABS Nowhere",
      "@click IDOK",
  });
  mfc::ActionLineDriver driver = script.driver();
  mfc::ScopedUserDriver installed(&driver);
  CountPage count;
  OtherPage other;
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&count);
  sheet.AddPage(&other);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(count.deltas, (std::vector<int>{1, 1, -1}));
  EXPECT_TRUE(other.activated) << "the tab chosen by name became the active page";
  EXPECT_EQ(script.output,
            "line 4: @spin needs 'up' or 'down'\n"
            "line 5: control 1100 is not an up-down control; ignored\n"
            "line 7: tab control 12320 has no tab 'Nowhere'; ignored\n");
}

}  // namespace
