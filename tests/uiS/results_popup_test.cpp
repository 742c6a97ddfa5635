// The results window's popup menu (a right click, then the chosen item), View Dynamics with its
// command-line prompts, the display's preparation when a drawing stores it, the newest results
// and the guide launcher's entries.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeEngine.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UIResultsPopup.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIWizBasePP.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/winapi.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

using uistest::ScriptedUser;

// Records what the popup asks of the CAD beyond the command line.
class PopupCad : public uistest::RecordingCad {
 public:
  void ShowResultsWindow(int show) override { calls.push_back(show ? "show results" : "hide results"); }
  int CanStartCommand(int) override { return canStart; }
  void GenerateMesh(AmgMesh*& mesh, const char* material, int pStart, int pMax, double tolerance,
                    double thickness) override {
    generated.push_back({material, pStart, pMax, tolerance, thickness});
    if (failMesh) {
      delete mesh;  // the CAD removes a mesh that failed
      mesh = nullptr;
    } else {
      mesh->SetTopology(nullptr, 0);  // a mesh placed on its topology reports success
    }
  }
  struct Generation {
    std::string material;
    int pStart, pMax;
    double tolerance, thickness;
  };
  std::vector<Generation> generated;
  bool failMesh = false;
  int canStart = 1;
};

class ResultsPopupTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    // The engine's messages reach the command line; the results state is the add-in's.
    appControl_ = std::make_unique<CadAppControl>();
    control.SetCurrent();
    FerDisplay::SetCurrent(&display);
    ASSERT_EQ(display.CreateResultsView(0, 0, 400, 300, "Results", nullptr, 0, WS_OVERLAPPED), 1);
    UISetupResultsDisplay();
    display.SetPrintOutput((dir.path() / "printed.png").string());
  }
  void TearDown() override {
    display.Close();
    FerDisplay::UnSetCurrent(&display);
    AnlControl::UnsetCurrent();
    appControl_.reset();
    FrameTest::TearDown();
  }

  // A right click on the window, the lines for what then waits, and the messages handled.
  std::string RightClick(std::vector<std::string> lines) {
    ScriptedUser user(std::move(lines));
    ::SendMessage(display.GetDisplayHandle(), WM_RBUTTONUP, 0, MAKELPARAM(120, 80));
    mfc::pumpMessages();
    EXPECT_TRUE(user.allRead());
    return user.printed;
  }
  std::string Printed() const {
    std::string text;
    for (const std::string& line : cad.printed) text += line;
    return text;
  }

  kestrum::test::TempDir dir;
  PopupCad cad;
  AnlControl control{"bracket"};
  FerWndOGLDisp display;

 private:
  std::unique_ptr<CadAppControl> appControl_;
};

TEST_F(ResultsPopupTest, StoringADrawingsDisplayPreparesItsPopupMenu) {
  {
    CadDocData data;
    auto* stored = new FerWndOGLDisp();  // the drawing's data owns it
    data.SetDisplay(stored);
    EXPECT_EQ(stored->GetPopupCommand(), &UIResultsPopupCommand);
    EXPECT_EQ(stored->ResourceModule(), ResourceSetter::ResourceModule());
    EXPECT_NE(stored->ResourceModule(), nullptr);
    EXPECT_EQ(stored->ToolBitmaps(), (std::array<UINT, 4>{152, 153, 150, 151}));
    EXPECT_EQ(stored->ParentWindow(), cad.GetMainWindow());
  }
  FerDisplay::SetCurrent(&display);
}

TEST_F(ResultsPopupTest, TheMenuOffersTheWindowsCommands) {
  const std::string shown = RightClick({"@show"});
  for (const char* item :
       {"View Dynamics...", "Show View", "Front", "Trimetric", "Print...", "Copy to Clipboard", "Close"})
    EXPECT_NE(shown.find(item), std::string::npos) << item << "\n" << shown;
  EXPECT_EQ(display.StandardView(), -1) << "dismissed: nothing chosen";
  EXPECT_EQ(display.PrintCount(), 0);
}

TEST_F(ResultsPopupTest, EachStandardViewIsShownByItsItem) {
  const char* views[] = {"Front", "Back", "Left", "Right", "Top", "Bottom", "Isometric", "Dimetric", "Trimetric"};
  for (int view = 0; view < 9; ++view) {
    SCOPED_TRACE(views[view]);
    const int redraws = display.RedrawCount();
    EXPECT_EQ(RightClick({std::string("@menu ") + views[view]}), "");
    EXPECT_EQ(display.StandardView(), view);
    EXPECT_EQ(display.RedrawCount(), redraws + 1);
  }
}

TEST_F(ResultsPopupTest, PrintCopyAndCloseReachTheWindowAndTheCad) {
  display.Redraw();
  RightClick({"@menu Print..."});
  EXPECT_EQ(display.PrintCount(), 1);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "printed.png"));
  RightClick({"@menu Copy to Clipboard"});
  EXPECT_EQ(display.CopyCount(), 1);
  EXPECT_TRUE(cad.calls.empty());
  RightClick({"@menu Close"});
  EXPECT_EQ(cad.calls, (std::vector<std::string>{"hide results"}));
}

struct DynamicsRow {
  const char* button;
  int mode;          // running afterwards, -1 none
  int keptViews;     // views kept afterwards
  const char* line;  // printed on the command line
};

TEST_F(ResultsPopupTest, ViewDynamicsStartsAModeOrEndsTheDynamics) {
  const std::string prompt =
      "\nSelect reference point with left mouse button.\nHold down button while moving mouse to view dynamics.\n";
  const DynamicsRow rows[] = {
      {"IDC_DYN_ROTATE", 0, 0, prompt.c_str()},
      {"IDC_DYN_MOVE", 1, 0, prompt.c_str()},
      {"IDC_DYN_ZOOM", 2, 0, prompt.c_str()},
      {"IDC_DYN_ROTATE_Z", 3, 0, prompt.c_str()},
      {"IDOK", -1, 1, "\nResults view dynamics complete.\n"},
      {"IDCANCEL", -1, 0, "\nResults view dynamics cancelled.\n"},
  };
  for (const DynamicsRow& row : rows) {
    SCOPED_TRACE(row.button);
    display.EndDynamics(0);
    const int keptBefore = display.KeptViewChanges();
    cad.printed.clear();
    EXPECT_EQ(RightClick({"@menu View Dynamics...", std::string("@click ") + row.button}), "");
    EXPECT_EQ(Printed(), row.line);
    EXPECT_EQ(display.DynamicsMode(), row.mode);
    EXPECT_EQ(display.KeptViewChanges() - keptBefore, row.keptViews);
  }
}

// A model with a stored result set; a pending job is passed over, a job with results preferred.
TEST_F(ResultsPopupTest, LatestResultsPreferAJobWithResultsOverTheStoredSet) {
  EXPECT_EQ(UIShowLatestResults(1), 0) << "no current model";
  AnlModel* model = control.NewAnlModel(CaeString("Beam"), AnlStress);
  control.SetCurrentAnlModel(model);
  EXPECT_EQ(UIShowLatestResults(1), 0) << "nothing to show";

  FerResultSet* stored = model->NewResultSet(CaeString("Stored"));
  stored->SetAnalType(AnlStress);
  AnlJob* pending = model->NewJob();
  pending->SetStatus(AnlStatusPending);
  EXPECT_EQ(UIShowLatestResults(1), 1);
  EXPECT_EQ(control.CurrentResultSet(), stored) << "only a pending job: the stored set";

  AnlJob* solved = model->NewJob();
  solved->Create(CaeString(kestrum::test::sourcePath("data/results/static_beam").string()));
  solved->AddResltCaseNames(CaeString("Run1"), CaeString("Static1"));
  solved->SetStatus(AnlStatusDone);
  pending->MarkAsErased();
  EXPECT_EQ(UIShowLatestResults(1), 1);
  ASSERT_NE(control.CurrentResultSet(), nullptr);
  EXPECT_EQ(std::string(control.CurrentResultSet()->Name().Text()), "Static1");
}

TEST_F(ResultsPopupTest, TheGuideLauncherChoosesThePageTemplatesThenOpensTheGuide) {
  OSVERSIONINFO version;
  SYSTEM_INFO processor;
  GetVersionEx(&version);
  GetSystemInfo(&processor);
  const OSVERSIONINFO saved = version;
  for (const DWORD platform : {DWORD(VER_PLATFORM_WIN32_WINDOWS), DWORD(VER_PLATFORM_WIN32_NT)}) {
    version.dwPlatformId = platform;
    mfc::setSystemInfo(version, processor);
    cad.printed.clear();
    EXPECT_EQ(UICmdBuckWizard(), 0);
    EXPECT_EQ(CWizBasePP::UsesTemplateCopy(), platform == VER_PLATFORM_WIN32_WINDOWS);
    ASSERT_NE(UIGetGuideSheet(), nullptr);
    EXPECT_EQ(UIGetGuideSheet()->Kind(), 2);
    EXPECT_EQ(UIShowWizardSheet(0), 1) << "the guide is shown";
    UIDestroyWizardSheet();
  }
  mfc::setSystemInfo(saved, processor);
  CWizBasePP::SetUseTemplateCopy(false);

  cad.canStart = 0;
  EXPECT_EQ(UICmdStressWizard(), 0);
  EXPECT_EQ(UIGetGuideSheet(), nullptr) << "a CAD that refuses the command: nothing";
}

// The mesh step meshes through the CAD with its fixed p-orders; a mesh the CAD removed on
// failure is never asked whether it succeeded.
TEST_F(ResultsPopupTest, TheGuidesMeshIsAskedOnlyWhileItExists) {
  for (const bool fail : {false, true}) {
    SCOPED_TRACE(fail ? "failed" : "generated");
    cad.failMesh = fail;
    cad.generated.clear();
    auto* mesh = new AmgMesh();
    AmgMesh* kept = mesh;
    EXPECT_EQ(UIGenerateWizardMesh(kept, "Steel"), fail ? 0 : 1);
    ASSERT_EQ(cad.generated.size(), 1u);
    EXPECT_EQ(cad.generated[0].material, "Steel");
    EXPECT_EQ(cad.generated[0].pStart, 3);
    EXPECT_EQ(cad.generated[0].pMax, 10);
    EXPECT_DOUBLE_EQ(cad.generated[0].tolerance, 0.1);
    EXPECT_DOUBLE_EQ(cad.generated[0].thickness, 0.0);
    EXPECT_EQ(kept == nullptr, fail);
    delete kept;
  }
}

}  // namespace
