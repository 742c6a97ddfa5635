// Common services: message-box answers with and without a driver, file dialogs, the wait
// cursor, recorded help and shell calls, the locale and PreTranslateMessage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "mfc_fixture.h"
#include "test_env.h"

namespace {

struct BoxCase {
  const char* name;
  UINT type;
  int driverAnswer;  // 0: the driver gives none
  int expected;
  friend void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }
};

class MessageBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxes, AnswerWithAValidButtonOrTheCancellingOne) {
  const BoxCase& c = GetParam();
  mfctest::StepDriver driver;
  if (c.driverAnswer) driver.answer(c.driverAnswer);
  mfc::ScopedUserDriver installed(&driver);
  mfc::clearLog();
  EXPECT_EQ(MessageBox(nullptr, "Replace?", "Kestrum Inside", c.type | MB_TASKMODAL), c.expected);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].type, c.type | MB_TASKMODAL);
  auto lines = mfc::logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("message box [Kestrum Inside] Replace? (type ", 0), 0u) << lines.back();
}

const BoxCase kBoxes[] = {
    {"OkAlone", MB_OK, 0, IDOK},
    {"YesNoDefaultsToNo", MB_YESNO | MB_ICONQUESTION, 0, IDNO},
    {"YesNoAnsweredYes", MB_YESNO | MB_ICONQUESTION, IDYES, IDYES},
    {"OkCancelDefaultsToCancel", MB_OKCANCEL | MB_ICONEXCLAMATION, 0, IDCANCEL},
    {"YesNoCancelDefaultsToCancel", MB_YESNOCANCEL, 0, IDCANCEL},
    {"AnswerThatIsNotAButtonIsRefused", MB_YESNO, IDOK, IDNO},
};

INSTANTIATE_TEST_SUITE_P(Cases, MessageBoxes, ::testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileDialogs, MissingFilesAndRefusedOverwritesAskAgain) {
  kestrum::test::TempDir dir;
  std::string existing = (dir / "model.dat").string();
  std::ofstream(existing) << "x";
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver installed(&driver);

  driver.file((dir / "missing.dat").string());
  driver.file(existing);
  CFileDialog open(TRUE, "dat", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "Data(*.dat)|*.dat||");
  EXPECT_EQ(open.DoModal(), IDOK);
  EXPECT_EQ(open.GetPathName(), existing);
  EXPECT_EQ(open.GetFileName(), "model.dat");
  EXPECT_EQ(open.GetFileExt(), "dat");
  EXPECT_EQ(open.GetFileTitle(), "model");
  ASSERT_EQ(driver.boxes().size(), 1u) << "the missing file was refused with a box";

  driver.file(existing);
  driver.answer(IDNO);
  driver.file((dir / "report").string());
  CFileDialog save(FALSE, "htm", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, "Report(*.htm)|*.htm||");
  EXPECT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), (dir / "report.htm").string());

  driver.file(std::nullopt);
  CFileDialog cancelled(TRUE);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  mfc::ScopedUserDriver none(nullptr);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST(Services, WaitCursorNestsAndOutsideServicesAreRecorded) {
  CWinApp app("Kestrum Inside");
  EXPECT_EQ(AfxGetApp(), &app);
  {
    CWaitCursor outer;
    app.BeginWaitCursor();
    EXPECT_EQ(app.waitCursorDepth(), 2);
    app.EndWaitCursor();
    EXPECT_EQ(app.waitCursorDepth(), 1);
  }
  app.EndWaitCursor();
  EXPECT_EQ(app.waitCursorDepth(), 0) << "an unmatched end does not go below zero";

  mfc::clearLog();
  WinHelp(nullptr, "C:\\Kestrum\\MDT\\Help\\ZqFEA_ENU.hlp", HELP_CONTEXT, 0x20067);
  ShellExecute(nullptr, nullptr, "/tmp/model.wrl", nullptr, nullptr, SW_SHOWNORMAL);
  MessageBeep(0);
  EXPECT_EQ(mfc::logLines(),
            (std::vector<std::string>{"WinHelp C:\\Kestrum\\MDT\\Help\\ZqFEA_ENU.hlp command 1 data 0x20067",
                                      "ShellExecute open /tmp/model.wrl", "beep 0"}));
  char language[4];
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, language, 4), 4);
  EXPECT_STREQ(language, "ENU");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, language, 3), 0);
}

// Help files in the text form: a context's topic is logged (title, then its lines, CRLF or not),
// through a Windows-style path too; a missing topic or an unreadable file answers FALSE.
TEST(Services, WinHelpLogsTheTopicOfAReadableTextHelpFile) {
  kestrum::test::TempDir dir;
  {
    std::ofstream file(dir / "help.hlp", std::ios::binary);
    file << "comment before the first topic\r\nTOPIC 1 First\r\none line\r\nTOPIC 12 Twelfth\nline a\nline b\n"
            "TOPIC 2 Second\nlast\n";
  }
  const std::string path = (dir / "help.hlp").string();
  std::string windowsPath = path;
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  struct Case {
    std::string file;
    DWORD_PTR context;
    BOOL shown;
    std::vector<std::string> topic;  // what follows the call's own line
  };
  const Case cases[] = {
      {path, 1, TRUE, {"help topic 1: First", "  one line"}},
      {path, 12, TRUE, {"help topic 12: Twelfth", "  line a", "  line b"}},
      {windowsPath, 2, TRUE, {"help topic 2: Second", "  last"}},
      {path, 3, FALSE, {}},
      {(dir / "missing.hlp").string(), 1, FALSE, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " " + std::to_string(c.context));
    mfc::clearLog();
    EXPECT_EQ(WinHelp(nullptr, c.file.c_str(), HELP_CONTEXT, c.context), c.shown);
    std::vector<std::string> lines = mfc::logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), c.topic);
  }
}

// A window that swallows posted WM_COMMANDs of id 1 or 2 before they are dispatched.
class Filter : public CWnd {
 public:
  int commands = 0;
  BOOL PreTranslateMessage(MSG* msg) override {
    return msg->message == WM_COMMAND && (msg->wParam == IDOK || msg->wParam == IDCANCEL);
  }
  BOOL OnCommand(WPARAM, LPARAM) override {
    ++commands;
    return TRUE;
  }
};

TEST(Services, PreTranslateMessageSeesPostedMessagesOfItsChildren) {
  Filter parent;
  ASSERT_TRUE(parent.Create("Filter", "", WS_POPUP, RECT{}, nullptr, 0));
  CWnd child;
  ASSERT_TRUE(child.Create("Static", "", WS_CHILD, RECT{}, &parent, 5));
  child.PostMessage(WM_COMMAND, IDOK, 0);
  parent.PostMessage(WM_COMMAND, IDCANCEL, 0);
  parent.PostMessage(WM_COMMAND, 40060, 0);
  EXPECT_EQ(mfc::pumpMessages(), 3);
  EXPECT_EQ(parent.commands, 1);
  EXPECT_EQ(parent.SendMessage(WM_COMMAND, IDOK, 0), 1) << "sent messages are not filtered";
  EXPECT_EQ(parent.commands, 2);
  parent.DestroyWindow();
  EXPECT_FALSE(child.IsWindow());
}

}  // namespace

namespace {

TEST(Win32Files, CreateNewRefusesAnExistingFileAndAttributesToggleWriting) {
  kestrum::test::TempDir dir;
  std::string windowsPath = dir.path().string() + "\\result.dat";
  HANDLE created = CreateFileA(windowsPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(created));
  EXPECT_EQ(_access(windowsPath.c_str(), 0), 0);
  EXPECT_EQ(CreateFileA(windowsPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_EXISTS});
  HANDLE opened = CreateFileA(windowsPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(opened, INVALID_HANDLE_VALUE);
  CloseHandle(opened);
  EXPECT_EQ(CreateFileA((dir / "none.dat").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});

  EXPECT_TRUE(SetFileAttributesA(windowsPath.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA(windowsPath.c_str()), DWORD{FILE_ATTRIBUTE_READONLY});
  EXPECT_TRUE(SetFileAttributesA(windowsPath.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA(windowsPath.c_str()), DWORD{FILE_ATTRIBUTE_NORMAL});
  EXPECT_TRUE(DeleteFileA(windowsPath.c_str()));
  EXPECT_EQ(_access(windowsPath.c_str(), 0), -1);
  _diskfree_t free;
  EXPECT_EQ(_getdiskfree(_getdrive(), &free), 0u);
  EXPECT_GT(free.bytes_per_sector, 0u);
}

}  // namespace

namespace {

TEST(Clipboard, HoldsOneBlockPerFormatWhileOpenRulesApply) {
  HGLOBAL refused = GlobalAlloc(GMEM_MOVEABLE, 4);
  EXPECT_EQ(SetClipboardData(CF_TEXT, refused), nullptr) << "closed: refused";
  EXPECT_EQ(GlobalFree(refused), nullptr) << "a refused block stays the caller's";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr)) << "only one opener at a time";
  ASSERT_TRUE(EmptyClipboard());
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
  std::memcpy(GlobalLock(text), "chart", 6);
  GlobalUnlock(text);
  EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))), "chart");
  GlobalUnlock(text);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GlobalFlags(text), UINT{GMEM_INVALID_HANDLE}) << "emptying frees what the clipboard owned";
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
}

}  // namespace
