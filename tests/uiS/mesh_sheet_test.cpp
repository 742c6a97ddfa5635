// The mesh sheet against a CAD interface that records what it is asked, with the real engine:
// meshes made per picked body with the pages' settings, the remesh rule of an existing mesh, the
// refinements a Cancel removes, a meshing failure that stops the apply, refused input that makes
// nothing, and an untouched refinement size that goes back exactly.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>
#include <TopoDS_Shape.hxx>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "test_env.h"
#include "topo_ref_stub.h"
#include "uis_fixture.h"

namespace {

using kestrum::test::TopoRefStub;
using Step = uistest::RecordingDriver::Step;

// Every body is a 0.1 x 0.05 x 0.01 box: the engine's estimate is a default size of 0.01 in the
// range 0.001 .. 0.05.
class BoxSource : public AmgShapeSource {
 public:
  bool BodyShape(CaeTopoRef*, TopoDS_Shape& shape) override {
    shape = BRepPrimAPI_MakeBox(0.1, 0.05, 0.01).Shape();
    return true;
  }
  bool Locate(CaeTopoRef*, int&, int&) override { return false; }
};

// One GenerateMesh call as the CAD saw it.
struct Generated {
  std::string material;
  int start = 0;
  int maxOrder = 0;
  double tolerance = 0.0;
  double thickness = 0.0;
  double defaultSize = 0.0;
  int order = 0;
  int deferred = 0;
  CaeElemType type = CaeElemSolid;
};

class MeshCad : public uistest::RecordingCad {
 public:
  CaeString& MaterialLibraryLocation(CaeString& path) override {
    path = CaeString(library.string());
    return path;
  }
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override { return new MaterialLibrary(path); }
  void DeleteObject(void* object) override { delete static_cast<MaterialLibrary*>(object); }

  int PickMesh(CaeList<CaeTopoRef>& refs) override {
    for (CaeTopoRef* ref : picks) refs.Append(ref);
    return 1;
  }
  AmgMesh* CreateMeshEntity(CaeTopoRef* ref) override {
    meshes.push_back(std::make_unique<AmgMesh>(ref));
    return meshes.back().get();
  }
  void GenerateMesh(AmgMesh*& mesh, const char* material, int start, int maxOrder, double tolerance,
                    double thickness) override {
    generated.push_back({material, start, maxOrder, tolerance, thickness, mesh->GetDefaultSize(),
                         mesh->GetElementOrder(), mesh->GetDeferred(), mesh->GetElementType()});
    if (throwOnGenerate) throw CaeExcept(CaeString("the mesher failed"), 0xc0000fa2);
    AnlSubModel* sub = AnlControl::GetCurrent()->CurrentAnlModel()->NewSubModel();
    sub->SetMesh(mesh);
    sub->SetMeshIsShell(mesh->GetElementType() == CaeElemShell);
    mesh->SetGenerated(!mesh->GetDeferred());
  }
  int CreateMeshConstraint(int, double, int pickKind, double size, double, double, double, int, AcBrEntity*) override {
    constraints.push_back(std::make_unique<AmgConstraint>(0, size, AmgConstrSpread, CaeVector(), nullptr));
    AnlControl::GetCurrent()->CurrentAnlModel()->AddConstraint(constraints.back().get());
    constraintKinds.push_back(pickKind);
    return 1;
  }
  void RecreateMeshConstraint(AmgConstraint*, int colour, double, double size, AnlModel*) override {
    recreated.push_back({colour, size});
  }
  void GetConstraintColorAndScale(AmgConstraint*, int* colour, double* scale) override {
    *colour = 5;
    *scale = 0.5;
  }
  void UndoLastStep() override { calls.push_back("undo"); }
  int FindSubModelOfMesh(AmgMesh*&, AnlSubModel*&) override {
    calls.push_back("update");
    return 1;
  }
  int UsesPickRequests() override { return parked; }
  CaeString* GetPreselection() override { return parked ? &preselection : nullptr; }
  int RequestCommand(int code) override {
    requestPending = 1;
    requests.push_back(code);
    return 1;
  }
  int IsRequestPending() override { return requestPending; }
  int GetCommandResult(AcBrEntity** result, int* cancelled) override {
    requestPending = 0;
    *result = nullptr;
    *cancelled = 1;
    return 0;
  }

  std::filesystem::path library;
  std::vector<CaeTopoRef*> picks;
  std::vector<std::unique_ptr<AmgMesh>> meshes;
  std::vector<std::unique_ptr<AmgConstraint>> constraints;
  std::vector<int> constraintKinds;
  std::vector<Generated> generated;
  std::vector<std::pair<int, double>> recreated;
  std::vector<int> requests;
  bool throwOnGenerate = false;
  int parked = 0;
  int requestPending = 0;
  CaeString preselection{"face"};
};

class MeshSheetTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    resources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();
    std::filesystem::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), folder_.path() / "lib.mat");
    cad_.library = folder_.path() / "lib.mat";
    control_.SetCurrent();
    model_ = control_.NewAnlModel(CaeString("Plate"), static_cast<AnlType>(0));
    control_.SetCurrentAnlModel(model_);
    previousSource_ = AmgShapeSource::SetCurrent(&source_);
    UIMeshResetModuleState();
    UIMeshDeferDefault() = FALSE;
  }
  void TearDown() override {
    UIMeshResetModuleState();
    cmdResetState();
    AmgShapeSource::SetCurrent(previousSource_);
    appControl_.reset();
    resources_.reset();
    FrameTest::TearDown();
  }
  void run(std::vector<Step> steps) {
    for (auto& step : steps) driver.add(std::move(step));
  }
  static CPropertySheet& Sheet(CWnd& window) { return dynamic_cast<CPropertySheet&>(window); }
  static CWnd& Page(CWnd& window) { return *Sheet(window).GetActivePage(); }
  // Typed as a person types: the page hears of the change.
  static void Type(CWnd& window, int id, const char* text) {
    ASSERT_EQ(mfc::userSetText(Page(window).m_hWnd, id, text), "");
  }
  static void Check(CWnd& window, int id) { ASSERT_EQ(mfc::userCheck(Page(window).m_hWnd, id, true), ""); }
  static void ClickOnPage(CWnd& window, int id) { Page(window).SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static void Press(CWnd& window, int id) { window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  static void Show(CWnd& window, int page) { Sheet(window).SetActivePage(page); }
  // A body mesh of the model as the drawing would hold it: sizes, a generated state, a sub-model.
  AnlSubModel* ExistingMesh(double defaultSize, double minSize, double maxSize) {
    cad_.meshes.push_back(std::make_unique<AmgMesh>(&body_));
    AmgMesh* mesh = cad_.meshes.back().get();
    mesh->SetDefaultSize(defaultSize);
    mesh->SetMinSize(minSize);
    mesh->SetMaxSize(maxSize);
    mesh->SetCurvatureScaling(CaeOff);
    mesh->SetAnglePerElement(CaeUnit(CaeUtAngle).HostToNative(90.0));
    mesh->SetGenerated(1);
    AnlSubModel* sub = model_->NewSubModel();
    sub->SetMesh(mesh);
    sub->Name(CaeString("Bracket"));
    sub->AssignMaterial(new CaeMaterial(CaeString("S275")));
    return sub;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& box : driver.boxes()) texts.push_back(box.text);
    return texts;
  }

  MeshCad cad_;
  AnlControl control_{"plate"};
  AnlModel* model_ = nullptr;
  TopoRefStub body_{CaeTopoRef::kBody};
  TopoRefStub body2_{CaeTopoRef::kBody};

 private:
  std::optional<ResourceSetter> resources_;
  std::unique_ptr<CadAppControl> appControl_;
  kestrum::test::TempDir folder_;
  BoxSource source_;
  AmgShapeSource* previousSource_ = nullptr;
};

TEST_F(MeshSheetTest, AddMeshMeshesEachPickedBodyWithThePagesSettingsAndTheFixedAdaptivity) {
  cad_.picks = {&body_, &body2_};
  double shown = 0.0;
  run({[&](CWnd& w) {
    CString text;
    Page(w).GetDlgItem(IDC_MESH_SIZE)->GetWindowText(text);
    shown = std::stod(static_cast<const char*>(text));
    Press(w, IDOK);
  }});
  UIMeshAdd();
  // The estimate's default 0.01 as the slider's nearest position shows it (5 decimals).
  EXPECT_NEAR(shown, 0.01, 0.0002);
  ASSERT_EQ(cad_.generated.size(), 2u);
  for (const Generated& g : cad_.generated) {
    EXPECT_EQ(g.material, "S275");  // the library's first material
    EXPECT_EQ(g.start, 3);
    EXPECT_EQ(g.maxOrder, 10);
    EXPECT_DOUBLE_EQ(g.tolerance, 0.1);
    EXPECT_EQ(g.order, 2);
    EXPECT_EQ(g.deferred, 0);
    EXPECT_EQ(g.type, CaeElemSolid);
    EXPECT_DOUBLE_EQ(g.defaultSize, shown);
  }
  ASSERT_EQ(model_->NumSubModels(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(std::string(model_->GetSubModel(i)->Name().Text()), "SubModel1");
  EXPECT_EQ(UIMeshPendingSheet(), nullptr) << "the sheet goes when the command ends";
}

TEST_F(MeshSheetTest, RefusedInputKeepsTheSheetOpenAndMakesNothing) {
  struct Case {
    const char* name;
    int page;
    int id;
    const char* text;
  };
  const Case cases[] = {
      {"size of 0", 0, IDC_MESH_SIZE, "0"},
      {"negative size", 0, IDC_MESH_SIZE, "-1"},
      {"size that is not a number", 0, IDC_MESH_SIZE, "abc"},
      {"size nan", 0, IDC_MESH_SIZE, "nan"},
      {"angle above 180", 1, IDC_ELEM_ANGLE, "181"},
  };
  cad_.picks = {&body_};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool stillOpen = false;
    run({[&](CWnd& w) {
      Show(w, c.page);
      if (c.page == 1) Check(w, IDC_ELEM_SCALING_YES);  // the angle is typed only with scaling on
      Type(w, c.id, c.text);
      Press(w, IDOK);
      stillOpen = w.GetSafeHwnd() != nullptr && Sheet(w).GetActivePage() != nullptr;
      Press(w, IDCANCEL);
    }});
    const std::size_t boxes = driver.boxes().size();
    UIMeshAdd();
    EXPECT_TRUE(stillOpen);
    EXPECT_GT(driver.boxes().size(), boxes) << "the refusal says why";
    EXPECT_TRUE(cad_.generated.empty());
    EXPECT_EQ(model_->NumSubModels(), 0);
  }
  // An angle of 0 is refused only while curvature scaling is on.
  run({[&](CWnd& w) {
    Show(w, 1);
    Check(w, IDC_ELEM_SCALING_YES);
    Type(w, IDC_ELEM_ANGLE, "0");
    Press(w, IDOK);
    Press(w, IDCANCEL);
  }});
  UIMeshAdd();
  EXPECT_EQ(Boxes().back(), "The angle per element must be greater than 0 while curvature based scaling is on.");
  EXPECT_TRUE(cad_.generated.empty());
}

TEST_F(MeshSheetTest, AMaterialTheLibraryLacksIsRefusedAndShellsWithoutAFaceAsk) {
  cad_.picks = {&body_};
  run({[&](CWnd& w) {
    auto* combo = static_cast<CComboBox*>(Page(w).GetDlgItem(IDC_MESH_MATERIAL));
    combo->SetCurSel(-1);
    dynamic_cast<CMeshPS&>(w).m_meshPage.m_strMaterial = "Unobtainium";
    Press(w, IDOK);
    Press(w, IDCANCEL);
  }});
  UIMeshAdd();
  EXPECT_EQ(Boxes().back(), "pick a material for the mesh");
  EXPECT_TRUE(cad_.generated.empty());

  // Shell elements with only the body picked: No keeps the sheet open, Yes meshes solids.
  driver.answer(IDNO);
  driver.answer(IDYES);
  run({[&](CWnd& w) {
    Show(w, 1);
    Check(w, IDC_ELEM_SHELL);
    Press(w, IDOK);
    Press(w, IDOK);
  }});
  UIMeshAdd();
  ASSERT_EQ(cad_.generated.size(), 1u);
  EXPECT_EQ(cad_.generated[0].type, CaeElemSolid);
}

// A meshing failure queues the command's undo: the apply stops there, so the next body is not
// meshed only to be undone.
TEST_F(MeshSheetTest, AMeshingFailureStopsTheApplyAndUndoesTheStepOnce) {
  cad_.picks = {&body_, &body2_};
  cad_.throwOnGenerate = true;
  run({[&](CWnd& w) { Press(w, IDOK); }});
  UIMeshAdd();
  EXPECT_EQ(cad_.generated.size(), 1u);
  EXPECT_EQ(std::count(cad_.calls.begin(), cad_.calls.end(), "undo"), 1);
  EXPECT_EQ(UIMeshPendingSheet(), nullptr);
}

// Refinements made before a parked pick are still the sheet's: Cancel removes them all and
// leaves the model's older ones.
TEST_F(MeshSheetTest, CancelRemovesEveryRefinementMadeSinceTheSheetFirstOpened) {
  cad_.constraints.push_back(std::make_unique<AmgConstraint>(0, 1.0, AmgConstrSpread, CaeVector(), nullptr));
  model_->AddConstraint(cad_.constraints.back().get());
  cad_.picks = {&body_};
  cad_.parked = 1;
  // First run: a refinement on a face, then the parked face pick of the Elements page.
  cad_.parked = 0;
  run({[&](CWnd& w) {
    Show(w, 2);
    ClickOnPage(w, IDC_REFINE_FACE);
    cad_.parked = 1;
    Show(w, 1);
    Check(w, IDC_ELEM_SHELL);
    ClickOnPage(w, IDC_ELEM_PICK_FACE);
  }});
  UIMeshAdd();
  ASSERT_NE(UIMeshPendingSheet(), nullptr) << "parked for the pick";
  EXPECT_EQ(cad_.requests, std::vector<int>{2});
  EXPECT_EQ(model_->NumConstraints(), 2);
  // The resumed run: another refinement, then Cancel.
  cmdClearPickPending();
  cad_.parked = 0;
  int shownPage = -1;
  run({[&](CWnd& w) {
    shownPage = Sheet(w).GetActiveIndex();
    Show(w, 2);
    ClickOnPage(w, IDC_REFINE_EDGE);
    Press(w, IDCANCEL);
  }});
  UIMeshAdd();
  EXPECT_EQ(shownPage, 1) << "back on the Elements page";
  ASSERT_EQ(model_->NumConstraints(), 3);
  EXPECT_FALSE(model_->GetConstraint(0)->IsMarkedAsErased()) << "older than the sheet";
  EXPECT_TRUE(model_->GetConstraint(1)->IsMarkedAsErased());
  EXPECT_TRUE(model_->GetConstraint(2)->IsMarkedAsErased());
  EXPECT_EQ(cad_.constraintKinds, (std::vector<int>{1, 2}));
  EXPECT_TRUE(cad_.generated.empty());
}

TEST_F(MeshSheetTest, ApplyNowThenAnUnchangedOkClosesWithoutASecondApplyAndAChangedOneAppliesTheChange) {
  cad_.picks = {&body_};
  run({[&](CWnd& w) {
    Press(w, ID_APPLY_NOW);
    EXPECT_EQ(Sheet(w).GetPageCount(), 2) << "Mesh and Elements only";
    Press(w, IDOK);
  }});
  UIMeshAdd();
  EXPECT_EQ(cad_.generated.size(), 1u);

  run({[&](CWnd& w) {
    Press(w, ID_APPLY_NOW);
    Type(w, IDC_MESH_NAME, "Renamed");
    Press(w, IDOK);
  }});
  UIMeshAdd();
  EXPECT_EQ(cad_.generated.size(), 2u) << "a name alone does not mesh again";
  EXPECT_EQ(std::string(model_->GetSubModel(1)->Name().Text()), "Renamed");
}

// The remesh rule of "Modify Mesh": a default size changed by 10 % or more meshes again, less does
// not; a name or material alone never does.
TEST_F(MeshSheetTest, ModifyMeshRegeneratesOnlyWhenTheRuleSaysSo) {
  struct Case {
    const char* name;
    const char* size;
    bool regenerated;
  };
  const Case cases[] = {
      {"unchanged", "10", false}, {"+5 %", "10.5", false}, {"+9.9 %", "10.99", false},
      {"+10 %", "11", true},      {"+20 %", "12", true},   {"-20 %", "8", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cad_.generated.clear();
    AnlSubModel* sub = ExistingMesh(10.0, 1.0, 100.0);
    run({[&](CWnd& w) {
      Type(w, IDC_MESH_SIZE, c.size);
      Type(w, IDC_MESH_NAME, "Renamed");
      Press(w, IDOK);
    }});
    UIMeshModify(sub, model_);
    EXPECT_EQ(cad_.generated.size(), c.regenerated ? 1u : 0u);
    if (!c.regenerated) {
      EXPECT_EQ(std::string(sub->Name().Text()), "Renamed");
      EXPECT_FALSE(sub->IsMarkedAsErased());
    } else {
      EXPECT_TRUE(sub->IsMarkedAsErased()) << "replaced by the new mesh's";
      EXPECT_DOUBLE_EQ(cad_.generated[0].defaultSize, std::stod(c.size));
    }
  }
}

TEST_F(MeshSheetTest, ResultsOnTheModelStopARegenerationWithTheEnginesMessage) {
  AnlSubModel* sub = ExistingMesh(10.0, 1.0, 100.0);
  model_->NewResultSet(CaeString("Static"));
  run({[&](CWnd& w) {
    Type(w, IDC_MESH_SIZE, "20");
    Press(w, IDOK);
    Press(w, IDCANCEL);
  }});
  UIMeshModify(sub, model_);
  EXPECT_TRUE(cad_.generated.empty());
  EXPECT_FALSE(sub->IsMarkedAsErased());
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(Boxes().back().rfind("Results are associated with this mesh.", 0), 0u) << Boxes().back();
}

// A mesh whose size lies outside its range widens the range to it and puts the slider at the end.
TEST_F(MeshSheetTest, AnExistingMeshsRangeWidensToItsSize) {
  AnlSubModel* sub = ExistingMesh(5.0, 1.0, 4.0);
  int position = -1;
  CString maximum, size;
  run({[&](CWnd& w) {
    position = static_cast<CSliderCtrl*>(Page(w).GetDlgItem(IDC_MESH_SIZE_SLIDER))->GetPos();
    Page(w).GetDlgItem(IDC_MESH_SIZE_MAX)->GetWindowText(maximum);
    Page(w).GetDlgItem(IDC_MESH_SIZE)->GetWindowText(size);
    Press(w, IDCANCEL);
  }});
  UIMeshModify(sub, model_);
  EXPECT_EQ(position, UISizeSlider::kPositions - 1);
  EXPECT_EQ(std::string(maximum), "5.00");
  EXPECT_EQ(std::string(size), "5");
}

// An existing mesh's size is shown and kept as it is, not as the nearest slider position rounds
// it (10 in 1 .. 100 would be 10.12): a remesh for another reason keeps it.
TEST_F(MeshSheetTest, AnExistingMeshsUntouchedSizeStaysExactlyItsOwn) {
  AnlSubModel* sub = ExistingMesh(10.0, 1.0, 100.0);
  CString size;
  run({[&](CWnd& w) {
    Page(w).GetDlgItem(IDC_MESH_SIZE)->GetWindowText(size);
    Show(w, 1);
    Check(w, IDC_ELEM_STRAIGHT);  // another edge shape: meshed again
    Press(w, IDOK);
  }});
  UIMeshModify(sub, model_);
  EXPECT_EQ(std::string(size), "10");
  ASSERT_EQ(cad_.generated.size(), 1u);
  EXPECT_EQ(cad_.generated[0].defaultSize, 10.0);
}

// An untouched refinement size goes back exactly (not as the slider rounds it) and marks no mesh
// for remeshing; a changed one marks every mesh of the model.
TEST_F(MeshSheetTest, MeshRefinementKeepsAnUntouchedSizeAndMarksMeshesOnlyWhenItChanged) {
  AnlSubModel* sub = ExistingMesh(10.0, 1.0, 100.0);
  AmgConstraint constraint(1, 2.0, AmgConstrSpread, CaeVector(), nullptr);
  CString shown;
  run({[&](CWnd& w) {
    Page(w).GetDlgItem(IDC_REFINE_SIZE)->GetWindowText(shown);
    Press(w, IDOK);
  }});
  EXPECT_EQ(UIMeshEditRefinement(&constraint, model_), IDOK);
  EXPECT_EQ(std::string(shown), "2");
  ASSERT_EQ(cad_.recreated.size(), 1u);
  EXPECT_EQ(cad_.recreated[0].second, 2.0);
  EXPECT_EQ(cad_.recreated[0].first, 5) << "the constraint's own colour";
  EXPECT_EQ(sub->Mesh()->GetRemeshRequired(), 0);

  run({[&](CWnd& w) {
    Type(w, IDC_REFINE_SIZE, "3");
    Press(w, IDOK);
  }});
  UIMeshEditRefinement(&constraint, model_);
  ASSERT_EQ(cad_.recreated.size(), 2u);
  EXPECT_EQ(cad_.recreated[1].second, 3.0);
  EXPECT_EQ(sub->Mesh()->GetRemeshRequired(), 1);
}

TEST_F(MeshSheetTest, TheShellThicknessSpinStepsByTwoHundredthsAndLeavesTextThatIsNoNumber) {
  struct Case {
    const char* start;
    int delta;
    const char* after;
  };
  const Case cases[] = {{"1", -1, "1.02"}, {"1", 1, "0.98"}, {"abc", -1, "abc"}, {"1x", 1, "1x"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    CShellPropDlg dialog;
    CString after;
    driver.add([&](CWnd& w) {
      w.GetDlgItem(IDC_SHELL_THICKNESS)->SetWindowText(c.start);
      NMUPDOWN notice{};
      notice.hdr.idFrom = IDC_SHELL_SPIN;
      notice.hdr.code = static_cast<UINT>(UDN_DELTAPOS);
      notice.iDelta = c.delta;
      w.SendMessage(WM_NOTIFY, IDC_SHELL_SPIN, reinterpret_cast<LPARAM>(&notice));
      w.GetDlgItem(IDC_SHELL_THICKNESS)->GetWindowText(after);
      Press(w, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(std::string(after), c.after);
    EXPECT_EQ(dialog.m_dThickness, 1.0) << "Cancel keeps the thickness";
  }
}

}  // namespace
