// The summary report's user interface: "CAEP_WRITE_SUMMARY" without results, the dialog's list
// of the displayed quantities and its default location, a refused location that keeps the dialog
// and opens nothing, the report's title line and picture, and the about box's hypertext.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/dialogs/common/UIAboutDlg.h"
#include "gui/dialogs/common/UISummaryDlg.h"
#include "gui/utils/UIFerSAPI.h"
#include "mfc/controls.h"
#include "mfc/log.h"
#include "mfc/wnd.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

using kestrum::test::TempDir;
using uistest::FrameTest;

class SummaryTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    control.SetCurrent();
    FerState::SetState(&state);
    state.SetInterface(&ferInterface);
    FerDisplay::SetCurrent(&display);
    CaeMsgCall::SetMsgRoutine(CadEngineMessageRoutine);
    mfc::clearLog();
  }
  void TearDown() override {
    FerDisplay::UnSetCurrent(&display);
    FerState::SetState(nullptr);
    FrameTest::TearDown();
  }
  void ShowSet() {
    AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlStress);
    control.SetCurrentAnlModel(model);
    FerResultSet* set = model->NewResultSet(CaeString("Statics"));
    set->AddResult(new FerResult(FerQtyStress));
    set->AddResult(new FerResult(FerQtyDisplacement));
    control.SetCurrentResultSet(set);
    UISetResultSet(CaeString("Statics"));
  }
  static bool Opened(const std::string& file) {
    const std::vector<std::string> lines = mfc::logLines();
    return std::find(lines.begin(), lines.end(), "ShellExecute open " + file) != lines.end();
  }

  AnlControl control{"bracket"};
  uistest::RecordingCad cad;
  CaeFerInterface ferInterface;
  FerState state;
  FerWndOGLDisp display;
  TempDir dir;
};

TEST_F(SummaryTest, WithoutACurrentResultSetTheCommandSaysSo) {
  EXPECT_EQ(UICmdWriteSummary(), 1);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes().front().text, "An open model with results is required prior to issuing this command");
}

// The list holds the displayed set's quantities, none ticked; the location is "<set>.htm". A
// location in a missing folder is refused with a message, the dialog stays and nothing opens;
// then a good one is written and opened.
TEST_F(SummaryTest, TheDialogListsTheQuantitiesAndStaysWhenTheReportCannotBeWritten) {
  ShowSet();
  const std::string missing = (dir / "missing" / "r.htm").string(), good = (dir / "r.htm").string();
  std::vector<std::string> entries;
  std::string location;
  bool stayed = false;
  driver.add([&](CWnd& window) {
    auto* list = static_cast<CCheckListBox*>(window.GetDlgItem(IDC_SUMMARY_RESULTS));
    for (int i = 0; i < list->GetCount(); ++i) {
      CString text;
      list->GetText(i, text);
      entries.push_back(static_cast<const char*>(text));
      EXPECT_EQ(list->GetCheck(i), 0);
    }
    CString text;
    window.GetDlgItemText(IDC_SUMMARY_FILE, text);
    location = static_cast<const char*>(text);
    window.SetDlgItemText(IDC_SUMMARY_FILE, missing.c_str());
    window.SendMessage(WM_COMMAND, IDOK, 0);
    stayed = IsWindow(window.GetSafeHwnd());
    window.SetDlgItemText(IDC_SUMMARY_FILE, good.c_str());
    window.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(UICmdWriteSummary(), 0);
  EXPECT_EQ(entries, (std::vector<std::string>{"Stress", "Displacement"}));
  EXPECT_EQ(location, "Statics.htm");
  EXPECT_TRUE(stayed);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_NE(driver.boxes().front().text.find("could not be written"), std::string::npos) << driver.boxes().front().text;
  EXPECT_FALSE(Opened(missing));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
  EXPECT_TRUE(Opened(good));
  EXPECT_NE(kestrum::test::readFile(good).find("Kestrum Inside for Mechanical Desktop V6.2"), std::string::npos);
}

// The title line is the product title in red on pale yellow; the picture is the Common
// Directory's "ondrl.jpg" only when that file exists.
TEST_F(SummaryTest, TheReportsTitleLineAndPicture) {
  ResourceSetter resources(1);
  CUIReport report;
  CaeTextLine line;
  report.AddTitleLine(line);
  ASSERT_EQ(line.Count(), 1);
  EXPECT_EQ(line.At(0).Text(), "Kestrum Inside for Mechanical Desktop V6.2");
  EXPECT_EQ(line.At(0).Size(), 2);
  EXPECT_EQ(line.At(0).Color(), "#FF0000");
  EXPECT_EQ(line.At(0).Background(), "#F8F098");

  CaeConfig::SetValue(1, CaeString("Common Directory"), CaeString(dir.path().string()));
  CaeString path("unchanged");
  report.GetPicturePath(path);
  EXPECT_EQ(path, "unchanged") << "no picture in that folder";
  std::filesystem::copy_file(kestrum::test::sourcePath("data/ondrl.jpg"), dir / "ondrl.jpg");
  report.GetPicturePath(path);
  EXPECT_EQ(path, CaeString((dir / "ondrl.jpg").string()));
}

TEST_F(SummaryTest, TheAboutBoxLinkShowsTheWebAddress) {
  ResourceSetter resources(1);
  CString shown;
  driver.add([&](CWnd& window) {
    shown = static_cast<CAboutDlg&>(window).m_hyperText.GetText();
    static_cast<CDialog&>(window).EndDialog(IDOK);
  });
  EXPECT_EQ(UICmdAbout(), 0);
  EXPECT_EQ(std::string(shown), std::string(resLoadString(IDS_WEB_ADDRESS).c_str()));
}

}  // namespace
