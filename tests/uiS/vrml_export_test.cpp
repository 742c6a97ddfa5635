// The VRML export's user interface: "CAEP_WRITE_VRML" and its dialog (defaults, the frames
// controls, the four choices, refusals that keep the dialog open and open nothing), and the
// results sheet's VRML page, which puts the drawing's current model and result set back after
// exporting an optimisation result's shape, also when the export fails on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/dialogs/results/UIVrmlDlg.h"
#include "gui/optwizard/results/UIResOptVRMLPP.h"
#include "gui/utils/UIFerSAPI.h"
#include "mfc/log.h"
#include "mfc/winapi.h"
#include "mfc/wnd.h"
#include "test_env.h"
#include "uis_fixture.h"
#include "vrml_check.h"

namespace {

using kestrum::test::ReadVrml;
using kestrum::test::TempDir;
using kestrum::test::VrmlFramesOf;
using uistest::FrameTest;
using uistest::RecordingCad;

// A modal set on one tetrahedron: stress and a displacement along z.
FerResultSet* AddSet(AnlModel& model, const char* name) {
  FerResultSet* set = model.NewResultSet(CaeString(name));
  auto mesh = std::make_shared<FerMesh>();
  mesh->nodeIds = {1, 2, 3, 4};
  mesh->coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
  mesh->elementIds = {1};
  mesh->elementTypes = {FerMesh::kTet4};
  mesh->elementStarts = {0, 4};
  mesh->elementNodes = {1, 2, 3, 4};
  set->SetMesh(mesh);
  set->SetAnalType(AnlVibration);
  set->Modal(1);
  auto* stress = new FerResult(FerQtyStress);
  stress->SetNodalData(0, {1, 2, 3, 4}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  set->AddResult(stress);
  auto* displacement = new FerResult(FerQtyDisplacement);
  displacement->SetNodalData(0, {1, 2, 3, 4}, {0, 0, 0, 0, 0, 0, 0.1, 0.1, 0, 0, 0.2, 0.2, 0, 0, 0.3, 0.3});
  set->AddResult(displacement);
  set->AddSubSet(new FerResultSubSet(100.0));
  return set;
}

class VrmlExportTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    control.SetCurrent();
    FerState::SetState(&state);
    state.SetInterface(&ferInterface);
    FerDisplay::SetCurrent(&display);
    CaeMsgCall::SetMsgRoutine(CadEngineMessageRoutine);  // the engine's warnings in boxes, as in the add-in
    mfc::clearLog();
  }
  void TearDown() override {
    FerDisplay::UnSetCurrent(&display);
    FerState::SetState(nullptr);
    FrameTest::TearDown();
  }
  // A model "Beam" with the set "Modes" current and displayed.
  FerResultSet* ShowModes() {
    model = control.NewAnlModel(CaeString("Beam"), AnlVibration);
    control.SetCurrentAnlModel(model);
    FerResultSet* set = AddSet(*model, "Modes");
    control.SetCurrentResultSet(set);
    UISetResultSet(CaeString("Modes"));
    state.DefaultDisplay(0);
    return set;
  }
  static bool Opened(const std::string& file) {
    const std::vector<std::string> lines = mfc::logLines();
    return std::find(lines.begin(), lines.end(), "ShellExecute open " + file) != lines.end();
  }
  static void Click(CWnd& window, int id) { window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  AnlControl control{"bracket"};
  RecordingCad cad;
  CaeFerInterface ferInterface;
  FerState state;
  FerWndOGLDisp display;
  AnlModel* model = nullptr;
  TempDir dir;
};

TEST_F(VrmlExportTest, WithoutACurrentResultSetTheCommandSaysSoAndShowsNoDialog) {
  bool dialog = false;
  driver.add([&](CWnd& window) {
    dialog = true;
    window.SendMessage(WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(UIWriteVrml(), 1);
  EXPECT_FALSE(dialog);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes().front().text, "An open model with results is required prior to issuing this command");
}

// The dialog opens on the set's name and "V&RML version 2.0" with the frames disabled; each
// choice writes its version, the frame method its frames, and the file is opened.
TEST_F(VrmlExportTest, EachChoiceWritesItsSceneAndOpensIt) {
  ShowModes();
  struct Case {
    int choice;
    const char* header;
    std::size_t frames;
  };
  const Case cases[] = {{IDC_VRML_VERSION1, "#VRML V1.0 ascii", 1},
                        {IDC_VRML_VERSION2, "#VRML V2.0 utf8", 1},
                        {IDC_VRML_INTERPOLATED, "#VRML V2.0 utf8", 10},
                        {IDC_VRML_FRAMES_METHOD, "#VRML V2.0 utf8", 6}};
  for (const Case& c : cases) {
    const std::string file = (dir / ("modes" + std::to_string(c.choice) + ".wrl")).string();
    driver.add([&](CWnd& window) {
      CString text;
      window.GetDlgItemText(IDC_VRML_FILE, text);
      EXPECT_EQ(std::string(text), "Modes.wrl");
      EXPECT_EQ(window.IsDlgButtonChecked(IDC_VRML_VERSION2), BST_CHECKED);
      EXPECT_FALSE(window.GetDlgItem(IDC_VRML_FRAMES)->IsWindowEnabled());
      EXPECT_FALSE(window.GetDlgItem(IDC_VRML_FRAMES_SPIN)->IsWindowEnabled());
      window.CheckRadioButton(IDC_VRML_VERSION1, IDC_VRML_FRAMES_METHOD, c.choice);
      Click(window, c.choice);
      EXPECT_EQ(window.GetDlgItem(IDC_VRML_FRAMES)->IsWindowEnabled(), c.choice == IDC_VRML_FRAMES_METHOD);
      if (c.choice == IDC_VRML_FRAMES_METHOD) window.SetDlgItemText(IDC_VRML_FRAMES, "6");
      window.SetDlgItemText(IDC_VRML_FILE, file.c_str());
      window.SendMessage(WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(UIWriteVrml(), 0);
    const std::string text = kestrum::test::readFile(file);
    EXPECT_EQ(text.rfind(c.header, 0), 0u) << c.choice;
    const auto scene = ReadVrml(text);
    ASSERT_TRUE(scene.errors.empty()) << scene.errors.front();
    EXPECT_EQ(VrmlFramesOf(scene).size(), c.frames) << c.choice;
    EXPECT_TRUE(Opened(file)) << c.choice;
  }
  EXPECT_TRUE(driver.boxes().empty());
}

// A folder that is not there or frames outside 1 to 100: a message, nothing written or opened,
// and the dialog stays for another try.
TEST_F(VrmlExportTest, ARefusedExportKeepsTheDialogAndOpensNothing) {
  ShowModes();
  const std::string missing = (dir / "missing" / "modes.wrl").string();
  const std::string good = (dir / "modes.wrl").string();
  int okPressed = 0;
  driver.add([&](CWnd& window) {
    window.SetDlgItemText(IDC_VRML_FILE, missing.c_str());
    window.SendMessage(WM_COMMAND, IDOK, 0);
    ++okPressed;
    EXPECT_TRUE(IsWindow(window.GetSafeHwnd())) << "the dialog stays after the failed write";
    window.CheckRadioButton(IDC_VRML_VERSION1, IDC_VRML_FRAMES_METHOD, IDC_VRML_FRAMES_METHOD);
    Click(window, IDC_VRML_FRAMES_METHOD);
    window.SetDlgItemText(IDC_VRML_FILE, good.c_str());
    window.SetDlgItemText(IDC_VRML_FRAMES, "101");
    window.SendMessage(WM_COMMAND, IDOK, 0);
    ++okPressed;
    EXPECT_TRUE(IsWindow(window.GetSafeHwnd())) << "the dialog stays after frames out of range";
    window.SendMessage(WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(UIWriteVrml(), 0);
  EXPECT_EQ(okPressed, 2);
  ASSERT_EQ(driver.boxes().size(), 2u);
  EXPECT_NE(driver.boxes()[0].text.find("could not be written"), std::string::npos) << driver.boxes()[0].text;
  EXPECT_NE(driver.boxes()[1].text.find("100"), std::string::npos) << driver.boxes()[1].text;
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
  EXPECT_FALSE(std::filesystem::exists(good));
  EXPECT_FALSE(Opened(missing));
  EXPECT_FALSE(Opened(good));
}

// In optimisation-model mode the page exports the result's shape (a set of the second model) and
// then the drawing's current model and result set are the ones from before: after a
// written file, after a refused one, and after an engine error on the way.
TEST_F(VrmlExportTest, ThePageRestoresTheCurrentModelAndResultSetOnEveryPath) {
  FerResultSet* set = ShowModes();
  AnlModel* shape = control.NewAnlModel(CaeString("Concept"), AnlStress);
  AddSet(*shape, "ConceptShape");
  OptModel* optModel = control.NewOptModel(CaeString("Optimise"));
  control.SetCurrentOptModel(optModel);
  OptResultCase* resultCase = optModel->NewOptResultCase(CaeString("Job1"), CaeString("Result1"));
  resultCase->SetSecondAnlModel(shape);
  optModel->SetCurrentOptResultCase(resultCase);
  control.SetCurrentAnlModel(model);
  control.SetCurrentResultSet(set);
  // The optimisation result's display names the shape's set, which only the second model has.
  FerDispSettings shown = display.Settings();
  shown.SetResultSet(CaeString("ConceptShape"));
  display.SetSettings(shown);

  CResOptVRMLPP page(IDD_VRML_PAGE);
  page.m_enableMask = 3;
  struct Case {
    const char* name;
    std::string file;
    bool stateMissing;
  };
  const Case cases[] = {{"written", (dir / "shape.wrl").string(), false},
                        {"refused", (dir / "missing" / "shape.wrl").string(), false},
                        {"engine error", (dir / "error.wrl").string(), true}};
  for (const Case& c : cases) {
    page.m_file = c.file.c_str();
    if (c.stateMissing) FerState::SetState(nullptr);
    bool raised = false;
    try {
      page.Export();
    } catch (const CaeExcept&) {
      raised = true;
    }
    FerState::SetState(&state);
    EXPECT_EQ(raised, c.stateMissing) << c.name;
    EXPECT_EQ(control.CurrentAnlModel(), model) << c.name;
    EXPECT_EQ(control.CurrentResultSet(), set) << c.name;
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "shape.wrl"));
  EXPECT_FALSE(std::filesystem::exists(dir / "error.wrl"));
}

}  // namespace
