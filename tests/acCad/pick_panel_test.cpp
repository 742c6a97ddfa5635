// The modeless pick protocol end to end, in-process: a page parks its request with an interface that
// parks picks, the pick panel runs the pick in the host (driven by "@" lines and typed answers, as a
// script would), and the command-table resume entry brings the page back with the result.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeEngine.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/brbrep.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadPickRequests.h"
#include "frontend.h"
#include "gui/dialogs/common/UIPickDlg.h"
#include "mcad/amiapp.h"
#include "mcad/amikey.h"
#include "mcad/amipart.h"
#include "mfc/afx.h"
#include "mfc/driver.h"
#include "mfc/log.h"
#include "util/acObjKey.h"

namespace {

// The host's interface, except that pages park their picks.
class ParkingInterface : public AcCadInterface {
 public:
  int UsesPickRequests() override { return 1; }
};

// The page: parks a face pick of the load wizard and, resumed, collects it.
constexpr int kPageIndex = 5;

struct PageOutcome {
  int resumed = 0;
  int answer = -1;
  int cancelled = -1;
  AcBrEntity* entity = nullptr;
  std::string name;
  int pageData = 0;
};
PageOutcome outcome;

int loadPage() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad->IsRequestPending()) {
    LoadPickRequest request;
    outcome.answer = cad->GetLoadPickResult(&request, &outcome.cancelled);
    outcome.entity = request.pickedEntity;
    outcome.name = request.name.Text();
    outcome.pageData = request.pageData[3];
    ++outcome.resumed;
    return 0;
  }
  LoadPickRequest request;
  request.name = CaeString("Pressure1");
  request.pickKind = 1;  // the face line of the load page's geometry list
  request.pageData[3] = 42;
  cad->RequestLoadPick(&request);
  cmdSaveIndex(kPageIndex);
  cad->OpenModelessPanel();
  return 0;
}

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

std::string textOf(HWND window, int id) {
  char text[256] = "";
  ::GetWindowText(::GetDlgItem(window, id), text, sizeof text);
  return text;
}

class PickPanelTest : public ::testing::Test {
 protected:
  // Starts the host with the part modeller, the add-in and the plate; `script` is what the user
  // types and does from then on.
  void start(const std::string& script) {
    CaeEngine::ResetState();
    cadhost::clearPrintedText();
    mfc::clearLog();
    input_.str(script);
    frontEnd_ = std::make_unique<cadhost::FrontEnd>(input_, false, false,
                                                    [this](const std::string& text) { printed_ += text; });
    frontEnd_->install();
    cadhost::setPrintEcho([this](std::string_view text) { printed_ += text; });
    cadhost::startHost(true);
    ASSERT_TRUE(mcadLoadApiModule());
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    delete CadInterface::GetCurrent();
    new ParkingInterface();  // unloading deletes it
    cmdReplaceHandler(kPageIndex, loadPage);
    cadhost::queueText("PART plate_with_hole");
    ASSERT_TRUE(cadhost::runNextCommand());
    outcome = {};
  }

  void TearDown() override {
    cadhost::setPrintEcho({});
    cadhost::shutdownHost();
    acrxModuleDetach();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
    frontEnd_.reset();
  }

  // The page's command, then the host's idle handling of posted messages (the panel's first OK).
  static void openPage() {
    cmdRun(kPageIndex);
    mfc::pumpMessages();
  }
  // The host's command loop over the rest of the script.
  static void runScript() {
    while (cadhost::runNextCommand()) mfc::pumpMessages();
  }

  static AcBrEntity* topFace() {
    AcDbObjectId part = mcadPartIds(acDocManagerPtr()->curDocument()->database()).front();
    AmiObjectKey key(Ami::kFaceKey, part, "plate/top");
    return acBrEntityFromKey(&key);
  }
  static HWND panel() { return CPickDlg::OpenPanel() ? CPickDlg::OpenPanel()->GetSafeHwnd() : nullptr; }

  // Nothing of the protocol is left: no panel, no pending pick, an idle interface.
  static void expectIdle() {
    EXPECT_EQ(CPickDlg::OpenPanel(), nullptr);
    EXPECT_EQ(mfc::waitingModelessWindow(), nullptr);
    EXPECT_EQ(cmdIsPickPending(), 0);
    CadInterface* cad = CadInterface::GetCurrent();
    if (cad) {
      EXPECT_EQ(cad->IsRequestPending(), 0);
    }
  }

  std::istringstream input_;
  std::string printed_;
  std::unique_ptr<cadhost::FrontEnd> frontEnd_;
};

TEST_F(PickPanelTest, ChangeViewThenPickAPointResumesThePageWithTheFace) {
  start(
      "@show\n"        // during the first pick: the button reads "Change View"
      "@click IDOK\n"  // Change View: the pick ends, the panel waits
      "@click IDOK\n"  // Pick
      "150,20,10\n");  // the top face
  openPage();
  // The first pick ended through Change View: the request is still open, the panel waits.
  EXPECT_NE(printed_.find("Change View"), std::string::npos) << printed_;
  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(CPickDlg::OpenPanel()->Mode(), CPickDlg::kViewChange);
  EXPECT_EQ(textOf(panel(), IDOK), "Pick");
  EXPECT_EQ(textOf(panel(), CPickDlg::kUpperTextId), "Use the applicaiton menus to modify view.");
  EXPECT_EQ(textOf(panel(), CPickDlg::kLowerTextId), "Click on Pick to return to selection mode.");
  EXPECT_EQ(outcome.resumed, 0);
  EXPECT_EQ(cmdIsPickPending(), 1);

  runScript();
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(outcome.answer, 1);
  EXPECT_EQ(outcome.cancelled, 0);
  ASSERT_NE(outcome.entity, nullptr);
  EXPECT_EQ(outcome.entity, topFace());
  EXPECT_EQ(outcome.name, "Pressure1");
  EXPECT_EQ(outcome.pageData, 42);
  expectIdle();
}

TEST_F(PickPanelTest, CancelDuringAPickWhenThePostedCancelComesFirst) {
  // The script's "@" line is handled at once, with the panel's messages: the reposted Cancel
  // closes and deletes the panel inside the pick; the pick then ends with the ESC.
  start("@click IDCANCEL\n150,20,10\n");
  openPage();
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(outcome.answer, 1);
  EXPECT_EQ(outcome.cancelled, 1);
  EXPECT_EQ(outcome.entity, nullptr);
  expectIdle();
  // The ESC was the pick's: the next line is an ordinary command line again.
  EXPECT_NE(cadhost::printedText().find("*Cancel*"), std::string::npos) << cadhost::printedText();
}

TEST_F(PickPanelTest, CancelDuringAPickWhenThePickEndsFirst) {
  start("");
  // The Cancel click arrives while the pick waits for input; the pick's ESC is handled before
  // the panel's reposted Cancel.
  int clicks = 0;
  cadhost::setInputSource([&](std::string&) {
    if (clicks++ == 0) CadInterface::GetCurrent()->RefreshModelessPanel();
    return false;
  });
  openPage();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(outcome.cancelled, 1);
  expectIdle();
}

TEST_F(PickPanelTest, EscapeInTheHostCancelsTheRequestAndThePageSeesIt) {
  start("^[\n");
  openPage();
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(outcome.answer, 1);
  EXPECT_EQ(outcome.cancelled, 1);
  EXPECT_EQ(outcome.name, "Pressure1");
  expectIdle();
}

TEST_F(PickPanelTest, AFailedPickAsksAgainAndTheEndOfTheScriptCancels) {
  start("500,500,500\nplate/plate/front|plate/top\n");
  openPage();
  EXPECT_EQ(countOf(printed_, "Geometry selection failed."), 2) << printed_;
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(outcome.cancelled, 1);
  expectIdle();
}

TEST_F(PickPanelTest, TheSecondPanelOpensWhereTheFirstClosed) {
  start("@click IDOK\n@click IDCANCEL\n");
  // The first panel ever goes to the main window's top-left corner, clamped to the screen.
  ::SetWindowPos(CadInterface::GetCurrent()->GetMainWindow(), nullptr, -40, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  openPage();  // Change View: the panel waits
  ASSERT_NE(panel(), nullptr);
  RECT first{};
  ::GetWindowRect(panel(), &first);
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(first.top, 25);
  ::SetWindowPos(panel(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  cadhost::runNextCommand();  // Cancel: the page resumes, the panel closes
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(panel(), nullptr);

  cmdRun(kPageIndex);  // the second panel, before its first pick starts
  ASSERT_NE(panel(), nullptr);
  RECT second{};
  ::GetWindowRect(panel(), &second);
  EXPECT_EQ(second.left, 300);
  EXPECT_EQ(second.top, 200);
  mfc::pumpMessages();  // its pick ends with the script
  EXPECT_EQ(outcome.resumed, 2);
  expectIdle();
}

TEST_F(PickPanelTest, ClosingTheDrawingEndsAWaitingPanel) {
  start("@click IDOK\nCLOSE\nNo\n");
  openPage();
  ASSERT_NE(panel(), nullptr);
  runScript();
  EXPECT_EQ(acDocManagerPtr()->documentCount(), 0);
  EXPECT_EQ(outcome.resumed, 0);  // its command cannot resume on a closed drawing
  expectIdle();
  // A new drawing picks afresh.
  EXPECT_EQ(CPickDlg::PickedEntity, nullptr);
  acDocManagerPtr()->newDocument();
  cadhost::queueText("PART plate_with_hole");
  ASSERT_TRUE(cadhost::runNextCommand());
  cadhost::setInputSource([](std::string& line) {
    line = "150,20,10";
    return true;
  });
  openPage();
  EXPECT_EQ(outcome.resumed, 1);
  EXPECT_EQ(outcome.entity, topFace());
  expectIdle();
}

TEST_F(PickPanelTest, UnloadingTheAddInEndsAWaitingPanel) {
  start("@click IDOK\n");
  openPage();
  HWND waiting = panel();
  ASSERT_NE(waiting, nullptr);
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx")) << printed_;
  EXPECT_FALSE(::IsWindow(waiting));
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
  expectIdle();
  EXPECT_EQ(outcome.resumed, 0);
}

TEST_F(PickPanelTest, AParameterPickSaysSo) {
  start("");
  cmdSaveIndex(cmdIndex(CadCommand::OptWizardVariable));
  auto panelObject = std::make_unique<CPickDlg>(nullptr);
  ASSERT_TRUE(panelObject->Create());
  CPickDlg* open = panelObject.release();  // deletes itself with its window
  EXPECT_EQ(textOf(open->GetSafeHwnd(), CPickDlg::kUpperTextId), "Select a parameter: ");
  EXPECT_EQ(textOf(open->GetSafeHwnd(), CPickDlg::kLowerTextId), "Click on OK to accept.");
  CPickDlg::Abandon();
  EXPECT_EQ(CPickDlg::OpenPanel(), nullptr);
}

// ---- the interface's side alone ---------------------------------------------------------------

// Records the kinds asked for instead of picking.
class RecordingInterface : public AcCadInterface {
 public:
  int UsesPickRequests() override { return 1; }
  AcBrEntity* PickEntity(int kind) override {
    askedKind = kind;
    return kind ? &picked : nullptr;
  }
  int askedKind = -1;
  AcBrFace picked;
};

class PickProtocolTest : public PickPanelTest {
 protected:
  void SetUp() override {
    start("");
    delete CadInterface::GetCurrent();
    cad_ = new RecordingInterface();
  }
  RecordingInterface* cad_ = nullptr;
};

TEST_F(PickProtocolTest, ExecutePendingRequestMapsEachParkedKind) {
  struct Row {
    const char* label;
    char request;  // 'L' load, 'R' restraint, 'M' mesh, 'K' kind, '-' nothing parked
    int pickKind;
    int neutralKind;
  };
  const Row rows[] = {
      {"LoadBody", 'L', 0, 1},      {"LoadFace", 'L', 1, 2},        {"LoadEdge", 'L', 2, 3},
      {"LoadVertex", 'L', 3, 4},    {"LoadOutOfRange", 'L', 4, 0},  {"RestraintFace", 'R', 0, 2},
      {"RestraintEdge", 'R', 1, 3}, {"RestraintVertex", 'R', 2, 4}, {"RestraintBody", 'R', 3, 1},
      {"MeshNone", 'M', 0, 0},      {"MeshFace", 'M', 1, 2},        {"MeshVertex", 'M', 3, 4},
      {"KindAsParked", 'K', 3, 3},  {"KindNone", 'K', 0, 0},
  };
  for (const Row& row : rows) {
    LoadPickRequest load;
    RestraintPickRequest restraint;
    MeshPickRequest mesh;
    load.pickKind = restraint.pickKind = mesh.pickKind = row.pickKind;
    if (row.request == 'L') cad_->RequestLoadPick(&load);
    if (row.request == 'R') cad_->RequestRestraintPick(&restraint);
    if (row.request == 'M') cad_->RequestMeshPick(&mesh);
    if (row.request == 'K') cad_->RequestCommand(row.pickKind);
    AcBrEntity* entity = cad_->ExecutePendingRequest();
    EXPECT_EQ(cad_->askedKind, row.neutralKind) << row.label;
    EXPECT_EQ(entity != nullptr, row.neutralKind != 0) << row.label;
  }
}

TEST_F(PickProtocolTest, NothingParkedPicksNothing) {
  EXPECT_EQ(cad_->ExecutePendingRequest(), nullptr);
  EXPECT_EQ(cad_->askedKind, 0);
}

TEST_F(PickProtocolTest, CompletionTestsTheLatestParkedRequest) {
  // A load parked after a kind request: completion tests the load, not the kind.
  cad_->RequestCommand(2);
  LoadPickRequest load;
  load.pickKind = 1;
  cad_->RequestLoadPick(&load);
  CPickDlg::PickedEntity = &cad_->picked;
  EXPECT_EQ(cad_->ProcessPendingRequest(0), 1);
  EXPECT_EQ(cad_->IsRequestPending(), 1);
  LoadPickRequest out;
  int cancelled = -1;
  EXPECT_EQ(cad_->GetLoadPickResult(&out, &cancelled), 1);
  EXPECT_EQ(out.pickedEntity, &cad_->picked);
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(cad_->IsRequestPending(), 0);
  // Collected: a second collection finds nothing parked and changes nothing else.
  EXPECT_EQ(cad_->GetLoadPickResult(&out, &cancelled), 0);
  CPickDlg::PickedEntity = nullptr;
}

TEST_F(PickProtocolTest, ACompletionWithoutAnEntityShowsGeometrySelectionFailed) {
  RestraintPickRequest restraint;
  cad_->RequestRestraintPick(&restraint);
  CPickDlg::PickedEntity = nullptr;
  printed_.clear();
  input_.clear();
  input_.str("@show\n@click IDOK\n");  // the user reads the box and answers it
  EXPECT_EQ(cad_->ProcessPendingRequest(0), 0);
  EXPECT_NE(printed_.find("Geometry selection failed."), std::string::npos) << printed_;
  EXPECT_EQ(cad_->IsRequestPending(), 1);
}

TEST_F(PickProtocolTest, ACancelledRestraintKeepsItsRecordAsParked) {
  RestraintPickRequest restraint;
  restraint.name = CaeString("Fixed1");
  restraint.pickKind = 3;
  restraint.pickedEntity = reinterpret_cast<AcBrEntity*>(&restraint);  // the page's own value
  cad_->RequestRestraintPick(&restraint);
  CPickDlg::PickedEntity = &cad_->picked;
  cad_->ProcessPendingRequest(1);
  RestraintPickRequest out;
  int cancelled = 0;
  EXPECT_EQ(cad_->GetRestraintPickResult(&out, &cancelled), 1);
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(out.pickedEntity, restraint.pickedEntity);
  EXPECT_EQ(std::string(out.name.Text()), "Fixed1");
  CPickDlg::PickedEntity = nullptr;
}

TEST_F(PickProtocolTest, ACommandResultIsCollectedOnce) {
  cad_->RequestCommand(2);
  CPickDlg::PickedEntity = &cad_->picked;
  EXPECT_EQ(cad_->ProcessPendingRequest(0), 1);
  AcBrEntity* entity = nullptr;
  int cancelled = -1;
  EXPECT_EQ(cad_->GetCommandResult(&entity, &cancelled), 1);
  EXPECT_EQ(entity, &cad_->picked);
  EXPECT_EQ(cancelled, 0);
  entity = nullptr;
  EXPECT_EQ(cad_->GetCommandResult(&entity, &cancelled), 0);
  EXPECT_EQ(entity, nullptr);
  CPickDlg::PickedEntity = nullptr;
}

// Records the copy-data messages the host's main window receives.
class RecordingMainWindow : public CWnd {
 public:
  BOOL OnCopyData(CWnd*, COPYDATASTRUCT* data) {
    received.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
    kinds.push_back(data->dwData);
    return TRUE;
  }
  std::vector<std::string> received;
  std::vector<UINT_PTR> kinds;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RecordingMainWindow, CWnd)
ON_WM_COPYDATA()
END_MESSAGE_MAP()

TEST_F(PickProtocolTest, CancelCadCommandSendsEscapeAndANul) {
  RecordingMainWindow window;
  window.CreateEx(0, "AcadMainWindow", "host", WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0);
  CWnd* previous = AfxGetApp()->m_pMainWnd;
  AfxGetApp()->m_pMainWnd = &window;
  cad_->CancelCadCommand();
  AfxGetApp()->m_pMainWnd = previous;
  window.DestroyWindow();
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(window.received[0], std::string("\x1b\0", 2));
  EXPECT_EQ(window.kinds[0], 1u);
}

TEST_F(PickProtocolTest, PickEntityOfNoKindAsksNothing) {
  delete cad_;
  CadInterface* host = new AcCadInterface();  // the host's own: picks on the command line; unloading deletes it
  cadhost::queueText("150,20,10");
  EXPECT_EQ(host->PickEntity(0), nullptr);
  EXPECT_EQ(host->PickEntity(-1), nullptr);
  EXPECT_EQ(cadhost::queuedInputCount(), 1u);
  EXPECT_EQ(host->UsesPickRequests(), 0);
  AcBrEntity* face = host->PickEntity(2);
  EXPECT_EQ(face, topFace());
}

}  // namespace
