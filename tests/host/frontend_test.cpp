// The host program's front end in-process: copy-data sent to the main window is typed input, and
// "@" lines in the script act on a dialog that a command shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "frontend.h"
#include "mcad/amiapp.h"
#include "mfc/afx.h"

namespace {

const char* const kNameDialog = R"(
NAME IDC_NAME 1001
DIALOG 7001 "Name" SIZE 120 50
  EDITTEXT IDC_NAME "" 7 7 100 12
  DEFPUSHBUTTON IDOK "OK" 7 28 50 14
  PUSHBUTTON IDCANCEL "Cancel" 60 28 50 14
END
DIALOG 7002 "Tab" SIZE 120 50 STYLE WS_CHILD|WS_VISIBLE
  EDITTEXT IDC_NAME "" 7 7 100 12
END
)";

class NameDialog : public CDialog {
 public:
  NameDialog() : CDialog(7001) {}
  CString name;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 1001, name); }
};

// What the test command saw: the dialog's result and the typed name.
struct DialogOutcome {
  int result = 0;
  std::string name;
};
DialogOutcome g_outcome;

void askNameCommand() {
  NameDialog dialog;
  g_outcome.result = static_cast<int>(dialog.DoModal());
  g_outcome.name = static_cast<const char*>(dialog.name);
}

bool hasLayer(const char* name) {
  AcDbDatabase* db = acDocManagerPtr()->curDocument()->database();
  AcDbLayerTable* layers = nullptr;
  if (db->getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return false;
  bool found = layers->has(name);
  layers->close();
  return found;
}

class FrontEndTest : public testing::Test {
 protected:
  void start(const std::string& script) {
    resources_ = std::make_shared<mfc::ResourceModule>();
    resources_->parse(kNameDialog, "frontend-test");
    module_ = mfc::registerModule(resources_, "frontend-test");
    previousResources_ = AfxGetResourceHandle();
    AfxSetResourceHandle(module_);
    input_.str(script);
    frontEnd_ = std::make_unique<cadhost::FrontEnd>(input_, false, false,
                                                    [this](const std::string& text) { printed_ += text; });
    frontEnd_->install();
    cadhost::startHost(true);
    acedRegCmds->addCommand("FRONTEND_TEST", "ASKNAME", "ASKNAME", 0, askNameCommand);
    g_outcome = {};
  }
  void TearDown() override {
    acedRegCmds->removeGroup("FRONTEND_TEST");
    cadhost::shutdownHost();
    frontEnd_.reset();
    AfxSetResourceHandle(previousResources_);
    FreeLibrary(module_);
  }
  std::string output() const { return printed_ + cadhost::printedText(); }

  std::istringstream input_;
  std::string printed_;
  std::unique_ptr<cadhost::FrontEnd> frontEnd_;
  std::shared_ptr<mfc::ResourceModule> resources_;
  HINSTANCE module_ = nullptr;
  HINSTANCE previousResources_ = nullptr;
};

TEST_F(FrontEndTest, CopyDataToTheMainWindowIsTypedInput) {
  start("LAYER new Temp\n");
  ASSERT_TRUE(cadhost::runNextCommand());
  ASSERT_TRUE(hasLayer("Temp"));

  CWnd* main = AfxGetMainWnd();
  ASSERT_NE(main, nullptr);
  const char undo[] = "_.UNDO 1\n";
  COPYDATASTRUCT data{1, sizeof undo, undo};
  EXPECT_TRUE(::SendMessage(main->GetSafeHwnd(), WM_COPYDATA, reinterpret_cast<WPARAM>(main->GetSafeHwnd()),
                            reinterpret_cast<LPARAM>(&data)));
  ASSERT_TRUE(cadhost::runNextCommand());  // the queued UNDO 1
  EXPECT_FALSE(hasLayer("Temp")) << output();

  COPYDATASTRUCT foreign{7, sizeof undo, undo};  // only dwData 1 is typed input
  EXPECT_FALSE(::SendMessage(main->GetSafeHwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&foreign)));
}

TEST_F(FrontEndTest, ActionLinesFillTheDialogACommandShows) {
  start("ASKNAME\n@set IDC_NAME Bracket\n@show\n@click IDOK\n");
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_EQ(g_outcome.result, IDOK) << output();
  EXPECT_EQ(g_outcome.name, "Bracket");
  EXPECT_NE(output().find("Name"), std::string::npos) << output();  // @show printed the dialog
}

TEST_F(FrontEndTest, ACommandLineWhileADialogWaitsCancelsItAndStillRuns) {
  start("ASKNAME\nLAYER new Late\n");
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_EQ(g_outcome.result, IDCANCEL);
  ASSERT_TRUE(cadhost::runNextCommand());  // the line handed back to the command line
  EXPECT_TRUE(hasLayer("Late")) << output();
}

TEST_F(FrontEndTest, AnActionLineWithNoWindowWaitingIsReportedWithItsLineNumber) {
  start("LAYER new A\n@click IDOK\nLAYER new B\n");
  ASSERT_TRUE(cadhost::runNextCommand());
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_NE(output().find("line 2"), std::string::npos) << output();
  EXPECT_TRUE(hasLayer("B"));
}

// A window that counts its timer ticks.
class TickingWindow : public CWnd {
 public:
  TickingWindow() { CreateEx(0, "TickingWindow", "ticks", 0, CRect(0, 0, 10, 10), nullptr, 0); }
  ~TickingWindow() override {
    if (GetSafeHwnd()) DestroyWindow();
  }
  void OnTimer(UINT_PTR) { ++ticks; }
  int ticks = 0;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TickingWindow, CWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

// The toolkit's test clock for the lifetime of the object.
class TestClock {
 public:
  TestClock() { mfc::useTestClock(true); }
  ~TestClock() { mfc::useTestClock(false); }
};

TEST_F(FrontEndTest, TimersRunWhileTheCommandLineWaitsAndWaitMovesTheClock) {
  TestClock clock;
  start("LAYER new A\nWAIT 9\nWAIT 0.5\nWAIT\n");
  TickingWindow window;
  ASSERT_EQ(window.SetTimer(1, 3000), 1u);
  mfc::advanceClock(3000);
  ASSERT_TRUE(cadhost::runNextCommand());  // the due tick is handled before the line is read
  EXPECT_EQ(window.ticks, 1);
  const std::uint64_t before = mfc::clockNow();
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_EQ(mfc::clockNow() - before, 9000u);
  EXPECT_EQ(window.ticks, 4) << output();
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_EQ(window.ticks, 4);
  ASSERT_TRUE(cadhost::runNextCommand());  // nothing pending: returns at once
  EXPECT_EQ(mfc::clockNow() - before, 9500u);
  EXPECT_EQ(cadhost::failedLines(), 0) << output();
}

TEST_F(FrontEndTest, WaitWithoutSecondsPumpsUntilNoApplicationReportsWork) {
  TestClock clock;
  start("WAIT\nWAIT\n");
  TickingWindow window;
  const std::uint64_t start = mfc::clockNow();
  window.SetTimer(1, 3000);
  // Work that ends once the window has seen two ticks; a reporter that fails counts nothing.
  cadhost::addPendingWorkReporter("jobs", [&] { return window.ticks < 2 ? 1 : 0; });
  cadhost::addPendingWorkReporter("broken", []() -> int { throw std::runtime_error("no state"); });
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_EQ(window.ticks, 2);
  EXPECT_EQ(mfc::clockNow() - start, 6000u);  // it stopped at the tick that ended the work
  cadhost::removePendingWorkReporter("jobs");
  cadhost::removePendingWorkReporter("broken");
  EXPECT_EQ(cadhost::pendingWork(), 0);
  EXPECT_NE(output().find("no state"), std::string::npos) << output();
}

TEST_F(FrontEndTest, WaitRefusesWhatIsNotANumberOfSeconds) {
  for (const char* bad : {"WAIT abc\n", "WAIT -1\n", "WAIT 1e9\n", "WAIT nan\n"}) {
    SCOPED_TRACE(bad);
    cadhost::setScriptMode(true);
    start(bad);
    const int failedBefore = cadhost::failedLines();
    ASSERT_TRUE(cadhost::runNextCommand());
    EXPECT_EQ(cadhost::failedLines(), failedBefore + 1);
    EXPECT_NE(output().find("WAIT takes a number of seconds"), std::string::npos) << output();
    TearDown();
    printed_.clear();
  }
  cadhost::setScriptMode(false);
}

TEST_F(FrontEndTest, ADocumentLockWithACommandNameOutsideACommandIsOneUndoStep) {
  start("U\nLAYER new Kept\nU\n");
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  auto addLayer = [&](const char* name) {
    AcDbDatabase* db = doc->database();
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db->getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbLayerTableRecord();
    record->setName(name);
    layers->add(record);
    record->close();
    layers->close();
  };
  ASSERT_EQ(acDocManagerPtr()->lockDocument(doc, AcAp::kWrite, "FEA_EXPLORER"), Acad::eOk);
  addLayer("One");
  ASSERT_EQ(acDocManagerPtr()->lockDocument(doc, AcAp::kWrite, "INNER"), Acad::eOk);  // nested: same step
  addLayer("Two");
  ASSERT_EQ(acDocManagerPtr()->unlockDocument(doc), Acad::eOk);
  ASSERT_EQ(acDocManagerPtr()->unlockDocument(doc), Acad::eOk);
  ASSERT_TRUE(cadhost::runNextCommand());  // U
  EXPECT_NE(output().find("FEA_EXPLORER undone"), std::string::npos) << output();
  EXPECT_FALSE(hasLayer("One"));
  EXPECT_FALSE(hasLayer("Two"));

  // Inside a command a lock is no step of its own: U takes the command.
  ASSERT_TRUE(cadhost::runNextCommand());
  ASSERT_TRUE(hasLayer("Kept"));
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_FALSE(hasLayer("Kept"));
  EXPECT_NE(output().find("LAYER undone"), std::string::npos) << output();
}

TEST_F(FrontEndTest, ActionLinesActOnTheCurrentDrawingsBrowserTabWhenNoDialogWaits) {
  start("@set IDC_NAME Bracket\nBROWSERTABS show\n@set IDC_NAME Other\nBROWSERTABS nonsense\n");
  NameDialog tab;  // a child window in the browser, no waiting dialog
  ASSERT_TRUE(tab.Create(7002, AfxGetMainWnd()));
  ASSERT_EQ(mfc::waitingModelessWindow(), nullptr);
  ASSERT_EQ(amiAddBrowserTab("Tab", &tab, 2, nullptr, "MApiSys"), Ami::eOk);
  ASSERT_TRUE(cadhost::runNextCommand());  // the "@" line, then BROWSERTABS show
  CString typed;
  tab.GetDlgItemText(1001, typed);
  EXPECT_EQ(std::string(typed), "Bracket") << output();
  EXPECT_NE(output().find("\"Tab\" group MApiSys"), std::string::npos) << output();
  EXPECT_NE(output().find("edit 1001 \"Bracket\""), std::string::npos) << output();  // the tab's window

  EXPECT_EQ(amiRemoveBrowserTab(&tab, nullptr, "MApiSys"), Ami::eOk);
  cadhost::setScriptMode(true);
  const int failedBefore = cadhost::failedLines();
  ASSERT_TRUE(cadhost::runNextCommand());  // no tab now: reported; then a refused word
  tab.GetDlgItemText(1001, typed);
  EXPECT_EQ(std::string(typed), "Bracket");
  EXPECT_NE(output().find("no window is waiting"), std::string::npos) << output();
  EXPECT_NE(output().find("BROWSERTABS takes nothing or"), std::string::npos) << output();
  EXPECT_EQ(cadhost::failedLines(), failedBefore + 1);
  cadhost::setScriptMode(false);
  tab.DestroyWindow();
}

// Each drawing has its own window titled "Name" (as each has its own results window): WINDOWS
// show prints the current drawing's, whichever was made first.
std::vector<std::unique_ptr<NameDialog>> g_drawingWindows;

void nameWindowCommand() {
  auto window = std::make_unique<NameDialog>();
  if (!window->Create(7001, AfxGetMainWnd())) return;
  window->SetDlgItemText(1001, acDocManagerPtr()->curDocument()->docTitle().c_str());
  window->ShowWindow(SW_SHOW);
  g_drawingWindows.push_back(std::move(window));
}

TEST_F(FrontEndTest, WindowsShowPrintsTheCurrentDrawingsWindowOfThatTitle) {
  start(
      "NAMEWINDOW\nNEW\nNAMEWINDOW\nWINDOWS show Name\n"
      "CLOSE\nWINDOWS show Name\n");
  acedRegCmds->addCommand("FRONTEND_TEST", "NAMEWINDOW", "NAMEWINDOW", 0, nameWindowCommand);
  const std::string first = acDocManagerPtr()->curDocument()->docTitle();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(cadhost::runNextCommand()) << output();
  const std::string second = acDocManagerPtr()->curDocument()->docTitle();
  ASSERT_NE(first, second);
  const std::size_t shown = output().find("Window title: Name");
  ASSERT_NE(shown, std::string::npos) << output();
  EXPECT_NE(output().find("\"" + second + "\"", shown), std::string::npos) << output();
  EXPECT_EQ(output().find("\"" + first + "\"", shown), std::string::npos) << output();

  printed_.clear();
  cadhost::clearPrintedText();
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(cadhost::runNextCommand()) << output();
  ASSERT_EQ(acDocManagerPtr()->curDocument()->docTitle(), first);
  EXPECT_NE(output().find("\"" + first + "\""), std::string::npos) << output();
  for (auto& window : g_drawingWindows) window->DestroyWindow();
  g_drawingWindows.clear();
}

}  // namespace
