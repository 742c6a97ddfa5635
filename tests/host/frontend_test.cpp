// The host program's front end in-process: copy-data sent to the main window is typed input, and
// "@" lines in the script act on a dialog that a command shows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "frontend.h"
#include "mfc/afx.h"

namespace {

const char* const kNameDialog = R"(
NAME IDC_NAME 1001
DIALOG 7001 "Name" SIZE 120 50
  EDITTEXT IDC_NAME "" 7 7 100 12
  DEFPUSHBUTTON IDOK "OK" 7 28 50 14
  PUSHBUTTON IDCANCEL "Cancel" 60 28 50 14
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

}  // namespace
