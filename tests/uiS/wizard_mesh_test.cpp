// The guide's analyze wizard in the toolkit with the real engine, a real material library file and
// a CAD that records what it is asked to make: the slider's decimals and the mesh controls, the
// material rows stored or refused, the output requests and extraction methods, the start time's
// grace, and the faults of a failed hand-over, a re-picked solid, an empty library, a declined
// update and a refused start.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>
#include <TopoDS_Shape.hxx>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeMaterial.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlWriter.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/dialogs/analysis/UISubmitExecPP.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIAnalysisPages.h"
#include "gui/wizard/UIMeshPages.h"
#include "gui/wizard/UIMeshWizard.h"
#include "gui/wizard/UIWizBasePP.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "test_env.h"
#include "topo_ref_stub.h"
#include "uis_fixture.h"

namespace {

using kestrum::test::TopoRefStub;
using Step = uistest::RecordingDriver::Step;

// Each body is a box whose largest side the test chooses: the engine estimates a tenth of it,
// in the range a hundredth to a half of it.
class BoxSource : public AmgShapeSource {
 public:
  bool BodyShape(CaeTopoRef* body, TopoDS_Shape& shape) override {
    const double side = sides.count(body) ? sides[body] : 1.0;
    shape = BRepPrimAPI_MakeBox(side, side / 2, side / 10).Shape();
    return true;
  }
  bool Locate(CaeTopoRef*, int&, int&) override { return false; }
  std::map<CaeTopoRef*, double> sides;
};

// A working mesh that counts its deletions.
class CountedMesh : public AmgMesh {
 public:
  CountedMesh(CaeTopoRef* ref, int& deleted) : AmgMesh(ref), deleted_(deleted) {}
  ~CountedMesh() override { ++deleted_; }

 private:
  int& deleted_;
};

struct Handed {
  AmgMesh* mesh = nullptr;
  std::string material;
  int deferred = 0;
};

class WizardCad : public uistest::RecordingCad {
 public:
  CaeString& MaterialLibraryLocation(CaeString& path) override {
    path = CaeString(library.string());
    return path;
  }
  void SetMaterialLibraryLocation(const char* path) override { storedLocation = path; }
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override { return new MaterialLibrary(path); }
  void DeleteObject(void* object) override { delete static_cast<MaterialLibrary*>(object); }
  int PickMesh(CaeList<CaeTopoRef>& refs) override {
    if (picks.empty()) return 0;
    refs.Append(picks.front());
    picks.erase(picks.begin());
    return 1;
  }
  AmgMesh* CreateMeshEntity(CaeTopoRef* ref) override { return new CountedMesh(ref, deletedMeshes); }
  void GenerateMesh(AmgMesh*& mesh, const char* material, int, int, double, double) override {
    handed.push_back({mesh, material, mesh ? mesh->GetDeferred() : -1});
    if (failHandOver) {
      delete mesh;  // the CAD removes a mesh it could not take
      mesh = nullptr;
      return;
    }
    owned.emplace_back(mesh);
  }

  std::filesystem::path library;
  std::string storedLocation;
  std::vector<CaeTopoRef*> picks;
  std::vector<Handed> handed;
  std::vector<std::unique_ptr<AmgMesh>> owned;
  int deletedMeshes = 0;
  bool failHandOver = false;
};

std::time_t fixedNow = 0;
std::time_t FixedClock() { return fixedNow; }

// A local time at a whole minute, for the start-time rows.
std::time_t WholeMinute() {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 5;
  local.tm_mday = 15;
  local.tm_hour = 10;
  local.tm_min = 30;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

class MeshWizardTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    resources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();
    std::filesystem::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), folder_.path() / "lib.mat");
    cad.library = folder_.path() / "lib.mat";
    control_.SetCurrent();
    model_ = control_.NewAnlModel(CaeString("Plate"), static_cast<AnlType>(0));
    control_.SetCurrentAnlModel(model_);
    previousSource_ = AmgShapeSource::SetCurrent(&source);
    UICurrentMaterialName.Empty();
  }
  void TearDown() override {
    UISetSubmitClock(nullptr);
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
  static void Type(CWnd& window, int id, const std::string& text) {
    ASSERT_EQ(mfc::userSetText(Page(window).m_hWnd, id, text.c_str()), "");
  }
  static std::string Text(CWnd& window, int id) {
    CString text;
    Page(window).GetDlgItem(id)->GetWindowText(text);
    return static_cast<const char*>(text);
  }
  static void Next(CWnd& window) { Sheet(window).PressButton(PSBTN_NEXT); }
  static void Back(CWnd& window) { Sheet(window).PressButton(PSBTN_BACK); }
  static void Cancel(CWnd& window) { Sheet(window).PressButton(PSBTN_CANCEL); }
  static UINT Active(CWnd& window) { return static_cast<CWizBasePP*>(Sheet(window).GetActivePage())->TemplateId(); }
  static CAMGWizPS& Wizard(CWnd& window) { return dynamic_cast<CAMGWizPS&>(window); }
  // Intro (existing or new material) and then Next.
  static Step Intro(bool existing) {
    return [existing](CWnd& w) {
      Page(w).CheckRadioButton(IDC_AMG_EXISTING_MATERIAL, IDC_AMG_NEW_MATERIAL,
                               existing ? IDC_AMG_EXISTING_MATERIAL : IDC_AMG_NEW_MATERIAL);
      Next(w);
    };
  }
  std::string LastBox() const { return driver.boxes().empty() ? std::string() : driver.boxes().back().text; }
  // The rows (native temperatures) the library file holds for `name`; empty without it.
  std::vector<double> RowsInFile(const char* name) const {
    MaterialLibrary library{CaeString(cad.library.string())};
    std::vector<double> rows;
    if (const CaeMaterial* material = library.Find(CaeString(name))) {
      CaeArray<double> temperatures;
      material->GetTemps(temperatures);
      for (int i = 0; i < temperatures.Count(); ++i) rows.push_back(*temperatures.ItemAt(i));
    }
    return rows;
  }
  // The new-material page's fields: name, temperature (native) and Young's modulus (native).
  static Step NewMaterial(const std::string& name, double kelvin, double modulus) {
    return [=](CWnd& w) {
      Type(w, IDC_AMG_NAME, name);
      Type(w, IDC_AMG_TEMPERATURE, std::to_string(CaeUnit::NativeToHost(CaeUtTemperature, kelvin)));
      Type(w, IDC_AMG_MODULUS, std::to_string(CaeUnit::NativeToHost(CaeUtStress, modulus)));
      Type(w, IDC_AMG_POISSON, "0.3");
      Type(w, IDC_AMG_DENSITY, std::to_string(CaeUnit::NativeToHost(CaeUtDensity, 7800)));
      Type(w, IDC_AMG_ULTIMATE, std::to_string(CaeUnit::NativeToHost(CaeUtStress, 4e8)));
      Type(w, IDC_AMG_YIELD, std::to_string(CaeUnit::NativeToHost(CaeUtStress, 2.5e8)));
      Next(w);
    };
  }

  WizardCad cad;
  BoxSource source;
  TopoRefStub body{CaeTopoRef::kBody};
  TopoRefStub otherBody{CaeTopoRef::kBody};
  AnlControl control_{"plate"};
  AnlModel* model_ = nullptr;
  kestrum::test::TempDir folder_;

 private:
  std::optional<ResourceSetter> resources_;
  std::unique_ptr<CadAppControl> appControl_;
  AmgShapeSource* previousSource_ = nullptr;
};

// ---- tables ----

TEST(MeshWizardTables, OutputRequestsFollowTheAnalysisType) {
  const struct {
    int type;
    std::uint32_t bits;
  } rows[] = {
      {0, kUIOutReactionForces | kUIOutDisplacements | kUIOutStress},
      {1, kUIOutDisplacements | kUIOutStress},
      {2, kUIOutDisplacements | kUIOutStress},
      {3, kUIOutAppliedLoads | kUIOutReactionForces | kUIOutTemperature | kUIOutFlux},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.type);
    EXPECT_EQ(UIWizardOutputRequests(row.type).Value(), row.bits);
  }
}

TEST(MeshWizardTables, ExtractionMethodsMapRadioIndexToTheWritersCode) {
  const int codes[] = {AnlWriter::kModesLowest, AnlWriter::kModesAllInRange, AnlWriter::kModesAbove,
                       AnlWriter::kModesLowestInRange};
  for (int index = 0; index < 4; ++index) EXPECT_EQ(UIWizardModeMethod(index), codes[index]) << index;
  EXPECT_EQ(UIWizardModeMethod(-1), AnlWriter::kModesLowest);
  EXPECT_EQ(UIWizardModeMethod(4), AnlWriter::kModesLowest);
}

TEST(MeshWizardTables, ADeferredStartUpToTwoMinutesPastIsAccepted) {
  const std::time_t now = WholeMinute();
  const struct {
    int minutes;  // start relative to now
    bool accepted;
  } rows[] = {{-3, false}, {-2, true}, {-1, true}, {0, true}, {1, true}, {3, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.minutes);
    const std::time_t at = now + row.minutes * 60;
    std::tm start{};
    localtime_r(&at, &start);
    start.tm_sec = 45;  // seconds are not part of a start
    EXPECT_EQ(UIStartTimeAccepted(start, now), row.accepted);
  }
}

TEST_F(MeshWizardTest, MaterialChecksNameEachFailingValueAndHeatOnlyForHeat) {
  double good[CaeMaterial::kPropCount] = {};
  good[CaeMaterial::kModulus] = 2e11;
  good[CaeMaterial::kPoisson] = 0.3;
  good[CaeMaterial::kDensity] = 7800;
  good[CaeMaterial::kUltimate] = 4e8;
  good[CaeMaterial::kYield] = 2.5e8;
  const struct {
    int prop;
    double value;
    bool heat;
    const char* line;  // empty: accepted
  } rows[] = {
      {CaeMaterial::kModulus, 0, false, "Young's Modulus (value > 0.0)"},
      {CaeMaterial::kPoisson, 0.5, false, "Poisson's Ratio (value > 0.0, value < 0.5)"},
      {CaeMaterial::kDensity, -1, false, "Mass Density (value > 0.0)"},
      {CaeMaterial::kUltimate, 0, false, "Allowable Stress (value > 0.0)"},
      {CaeMaterial::kYield, 0, false, "Maximum Yield Stress (value > 0.0)"},
      {CaeMaterial::kConductivity, 0, false, ""},
      {CaeMaterial::kSpecificHeat, 0, false, ""},
      {CaeMaterial::kConductivity, 0, true, "Thermal Conductivity (value > 0.0)"},
      {CaeMaterial::kSpecificHeat, 0, true, "Specific Heat (value > 0.0)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "prop " << row.prop << " heat " << row.heat);
    double values[CaeMaterial::kPropCount];
    std::copy(std::begin(good), std::end(good), values);
    if (row.heat) values[CaeMaterial::kConductivity] = values[CaeMaterial::kSpecificHeat] = 1;
    values[row.prop] = row.value;
    const std::string refusal = static_cast<const char*>(UIMeshMaterialRefusal(values, row.heat));
    if (*row.line == '\0') {
      EXPECT_EQ(refusal, "");
    } else {
      EXPECT_EQ(refusal.rfind("Enter a new value for the following Material Properties:", 0), 0u) << refusal;
      EXPECT_NE(refusal.find(row.line), std::string::npos) << refusal;
    }
  }
}

// ---- the element-size page ----

TEST_F(MeshWizardTest, TheSliderShowsItsEndsWithDecimalsFromTheMinimumAndSetsTheMeshControls) {
  const struct {
    double side;  // the estimate's minimum is a hundredth of it
    const char* minimum;
    const char* maximum;
  } rows[] = {{5, "0.050", "2.500"},
              {50, "0.50", "25.00"},
              {500, "5.00", "250.00"},
              {5000, "50.0", "2500.0"},
              {50000, "500", "25000"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.side);
    source.sides[&body] = row.side;
    cad.picks = {&body};
    std::string shownMinimum, shownMaximum;
    int position = -1;
    AmgMesh* working = nullptr;
    run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
         [&](CWnd& w) {
           ASSERT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ELEM_SIZE));
           shownMinimum = Text(w, IDC_AMG_SIZE_MIN);
           shownMaximum = Text(w, IDC_AMG_SIZE_MAX);
           position = static_cast<CSliderCtrl*>(Page(w).GetDlgItem(IDC_AMG_SIZE_SLIDER))->GetPos();
           working = Wizard(w).WorkingMesh();
           ASSERT_NE(working, nullptr);
           EXPECT_EQ(working->GetAutoconstraints(), CaeOn);
           EXPECT_EQ(working->GetCurvatureScaling(), CaeOff);
           EXPECT_EQ(working->GetElementOrder(), 2);
           EXPECT_NEAR(working->GetDefaultSize(), row.side / 10, row.side / 10 * 0.02);
           Cancel(w);
         }});
    EXPECT_EQ(UIRunMeshWizard(), 0);
    EXPECT_EQ(shownMinimum, row.minimum);
    EXPECT_EQ(shownMaximum, row.maximum);
    // A tenth of the side sits at ln(10)/ln(50) of the way along the 200 positions.
    EXPECT_NEAR(position, 199 * std::log(10.0) / std::log(50.0), 1.0);
  }
  EXPECT_EQ(cad.deletedMeshes, 5) << "each cancelled working mesh is freed";
  EXPECT_TRUE(cad.handed.empty());
}

TEST_F(MeshWizardTest, ASizeAboveTheMaximumIsUsedAsTypedAndASizeOfZeroIsRefused) {
  source.sides[&body] = 50;
  cad.picks = {&body};
  int position = -1;
  run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
       [&](CWnd& w) {
         position = static_cast<CSliderCtrl*>(Page(w).GetDlgItem(IDC_AMG_SIZE_SLIDER))->GetPos();
         Type(w, IDC_AMG_ELEM_SIZE, "0");
         Next(w);
         EXPECT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ELEM_SIZE));
         Type(w, IDC_AMG_ELEM_SIZE, "100");
         Next(w);
       },
       [&](CWnd& w) {
         EXPECT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ANAL_IDENT));
         Cancel(w);
       }});
  UIRunMeshWizard();
  EXPECT_NE(LastBox().find("greater than 0"), std::string::npos) << LastBox();
  ASSERT_EQ(cad.handed.size(), 1u);
  EXPECT_EQ(cad.handed[0].deferred, 1);
  EXPECT_EQ(cad.handed[0].material, "S275") << "the library's first material";
  EXPECT_DOUBLE_EQ(cad.handed[0].mesh->GetDefaultSize(), CaeUnit::HostToNative(CaeUtLength, 100));
  EXPECT_GT(position, 0);
}

// A hand-over the CAD refuses removes the mesh: the page stays, and the next Next asks for a
// new pick instead of handing over nothing.
TEST_F(MeshWizardTest, AFailedHandOverKeepsThePageAndNeverPassesAMissingMesh) {
  cad.failHandOver = true;
  cad.picks = {&body};
  run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
       [](CWnd& w) {
         Next(w);
         EXPECT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ELEM_SIZE));
         EXPECT_EQ(Wizard(w).WorkingMesh(), nullptr);
         Next(w);
         EXPECT_EQ(Active(w), static_cast<UINT>(IDD_AMG_GEOM_PICK));
         Cancel(w);
       }});
  EXPECT_EQ(UIRunMeshWizard(), 0);
  ASSERT_EQ(cad.handed.size(), 1u);
  for (const Handed& handed : cad.handed) EXPECT_NE(handed.mesh, nullptr);
  EXPECT_EQ(cad.deletedMeshes, 1);
}

// Back to the geometry page and another solid: the estimate, slider and controls are the new
// solid's.
TEST_F(MeshWizardTest, ARePickedSolidGetsItsOwnEstimateSliderAndControls) {
  source.sides[&body] = 5;
  source.sides[&otherBody] = 500;
  cad.picks = {&body, &otherBody};
  std::string first, second;
  AmgMesh* secondMesh = nullptr;
  run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
       [&](CWnd& w) {
         first = Text(w, IDC_AMG_SIZE_MIN);
         Back(w);
         EXPECT_EQ(Wizard(w).WorkingMesh(), nullptr) << "Back deletes the picked mesh";
         Next(w);
         second = Text(w, IDC_AMG_SIZE_MIN);
         secondMesh = Wizard(w).WorkingMesh();
         ASSERT_NE(secondMesh, nullptr);
         EXPECT_EQ(secondMesh->GetAutoconstraints(), CaeOn);
         EXPECT_EQ(secondMesh->GetCurvatureScaling(), CaeOff);
         EXPECT_NEAR(secondMesh->GetDefaultSize(), 50, 1);
         EXPECT_NEAR(std::stod(Text(w, IDC_AMG_ELEM_SIZE)), 50, 1) << "the new estimate on the slider";
         Cancel(w);
       }});
  UIRunMeshWizard();
  EXPECT_EQ(first, "0.050");
  EXPECT_EQ(second, "5.00");
  EXPECT_EQ(cad.deletedMeshes, 2);
}

// ---- the material pages ----

TEST_F(MeshWizardTest, AnEmptyLibraryShowsTheRootOnlyAndNextRefuses) {
  { std::ofstream(cad.library, std::ios::trunc) << "# no material\n"; }
  HTREEITEM root = nullptr;
  bool hasChild = true;
  run({Intro(true), [&](CWnd& w) {
         auto* tree = static_cast<CTreeCtrl*>(Page(w).GetDlgItem(IDC_AMG_LIST_TREE));
         root = tree->GetRootItem();
         hasChild = root && tree->GetChildItem(root) != nullptr;
         Next(w);
         EXPECT_EQ(Active(w), static_cast<UINT>(IDD_AMG_MAT_LIST));
         Cancel(w);
       }});
  UIRunMeshWizard();
  EXPECT_NE(root, nullptr);
  EXPECT_FALSE(hasChild);
  EXPECT_NE(LastBox().find("holds no material"), std::string::npos) << LastBox();
  EXPECT_TRUE(cad.storedLocation.empty()) << "a refused page stores nothing";
}

TEST_F(MeshWizardTest, TheExistingMaterialPageShowsTheChosenRowInHostUnits) {
  const CaeUnitSystem* before = CaeUnitSystem::GetHostSystem();
  CaeUnitSystem* previous = CaeUnitSystem::SetHostSystem(
      new CaeUnitSystem(CaeMillimeter, CaeRadian, CaeCelsius, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz));
  (void)before;
  UICurrentMaterialName = "S275";
  std::string modulus, unit, rowText;
  run({Intro(true), [&](CWnd& w) {
         modulus = Text(w, IDC_AMG_LIST_MODULUS);
         unit = Text(w, IDC_AMG_LIST_MODULUS_UNIT);
         auto* tree = static_cast<CTreeCtrl*>(Page(w).GetDlgItem(IDC_AMG_LIST_TREE));
         HTREEITEM material = tree->GetSelectedItem();
         HTREEITEM row = material ? tree->GetChildItem(material) : nullptr;
         row = row ? tree->GetNextSiblingItem(row) : nullptr;
         ASSERT_NE(row, nullptr);
         rowText = static_cast<const char*>(tree->GetItemText(row));
         tree->SelectItem(row);
         EXPECT_EQ(static_cast<CMAT_ListPP&>(Page(w)).SelectedRow(), 1);
         Next(w);
         EXPECT_EQ(Active(w), static_cast<UINT>(IDD_AMG_GEOM_PICK));
         Cancel(w);
       }});
  UIRunMeshWizard();
  delete CaeUnitSystem::SetHostSystem(previous);
  EXPECT_EQ(modulus, "2.10000e+05");
  EXPECT_EQ(unit, "N/mm^2");
  EXPECT_EQ(rowText.substr(0, 6), "100.00") << rowText;
  EXPECT_EQ(UICurrentMaterialName, "S275");
  EXPECT_EQ(cad.storedLocation, cad.library.string());
}

TEST_F(MeshWizardTest, ANewMaterialIsStoredAddedOrReplacedAndADeclinedUpdateStoresNothing) {
  const struct {
    const char* name;
    double kelvin;
    int answer;  // to the update question; 0 when none is expected
    UINT pageAfter;
    size_t rowsAfter;      // rows of the name in the file
    bool holdsNewModulus;  // the row at the temperature
  } rows[] = {
      {"Wizsteel", 300, 0, IDD_AMG_GEOM_PICK, 1, true},        {"S275", 350, 0, IDD_AMG_GEOM_PICK, 8, true},
      {"S275", 293.15, IDYES, IDD_AMG_GEOM_PICK, 7, true},     {"S275", 293.15, IDNO, IDD_AMG_MAT_PROPS, 7, false},
      {"S275", 293.15, IDCANCEL, IDD_AMG_MAT_PROPS, 7, false},
  };
  const double modulus = 1.5e11;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.name << " at " << row.kelvin << " answer " << row.answer);
    std::filesystem::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), cad.library,
                               std::filesystem::copy_options::overwrite_existing);
    const size_t boxesBefore = driver.boxes().size();
    if (row.answer) driver.answer(row.answer);
    UINT after = 0;
    run({Intro(false), NewMaterial(row.name, row.kelvin, modulus), [&](CWnd& w) {
           after = Active(w);
           Cancel(w);
         }});
    UIRunMeshWizard();
    EXPECT_EQ(after, row.pageAfter);
    EXPECT_EQ(driver.boxes().size() - boxesBefore, row.answer ? 1u : 0u);
    EXPECT_EQ(RowsInFile(row.name).size(), row.rowsAfter);
    MaterialLibrary library{CaeString(cad.library.string())};
    double values[CaeMaterial::kPropCount] = {};
    ASSERT_TRUE(library.Find(CaeString(row.name))->GetProp(row.kelvin, values));
    EXPECT_EQ(values[CaeMaterial::kModulus] == modulus, row.holdsNewModulus) << values[CaeMaterial::kModulus];
    if (row.pageAfter == IDD_AMG_GEOM_PICK) {
      EXPECT_EQ(UICurrentMaterialName, row.name);
      EXPECT_DOUBLE_EQ(UICurrentMaterialTemperature(), row.kelvin);
    }
  }
}

TEST_F(MeshWizardTest, ANameTheFileCannotHoldOrAnEmptyNameKeepsThePageAndStoresNothing) {
  const struct {
    const char* name;
    const char* message;
  } rows[] = {{"", "Material Name is required"}, {"Two\nLines", "could not be stored"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before = kestrum::test::readFile(cad.library);
    UINT after = 0;
    run({Intro(false), NewMaterial(row.name, 300, 2e11), [&](CWnd& w) {
           after = Active(w);
           Cancel(w);
         }});
    UIRunMeshWizard();
    EXPECT_EQ(after, static_cast<UINT>(IDD_AMG_MAT_PROPS));
    EXPECT_NE(LastBox().find(row.message), std::string::npos) << LastBox();
    EXPECT_EQ(kestrum::test::readFile(cad.library), before);
  }
}

TEST_F(MeshWizardTest, AHeatStudyRefusesAMaterialWithoutConductivity) {
  UISetWizardKind(kGuideKindHeat);
  UINT after = 0;
  run({Intro(false), NewMaterial("Wizsteel", 300, 2e11), [&](CWnd& w) {
         after = Active(w);
         Cancel(w);
       }});
  UIRunMeshWizard();
  EXPECT_EQ(after, static_cast<UINT>(IDD_AMG_MAT_PROPS));
  EXPECT_NE(LastBox().find("Thermal Conductivity (value > 0.0)"), std::string::npos) << LastBox();
  EXPECT_NE(LastBox().find("Specific Heat (value > 0.0)"), std::string::npos) << LastBox();
  EXPECT_TRUE(RowsInFile("Wizsteel").empty());
}

// ---- the analysis pages ----

// Finish checks the start before anything is meshed, and a refused start shows the sheet again.
TEST_F(MeshWizardTest, AStartMoreThanTwoMinutesPastIsRefusedBeforeMeshingAndTheSheetReturns) {
  fixedNow = WholeMinute();
  UISetSubmitClock(FixedClock);
  cad.picks = {&body};
  std::vector<std::string> boxesAfterFinish;
  bool visible = false;
  UINT after = 0;
  size_t handedBefore = 0;
  run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
       [](CWnd& w) {
         ASSERT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ANAL_IDENT));
         Next(w);
       },
       [&](CWnd& w) {
         ASSERT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ANAL_EXEC));
         EXPECT_EQ(Text(w, IDC_AMG_EXEC_MINUTE), "30") << "the injected clock's minute";
         ASSERT_EQ(mfc::userCheck(Page(w).m_hWnd, IDC_AMG_EXEC_DEFERRED, true), "");
         Type(w, IDC_AMG_EXEC_MINUTE, "27");
         handedBefore = cad.handed.size();
         const size_t before = driver.boxes().size();
         Sheet(w).PressButton(PSBTN_FINISH);
         for (size_t i = before; i < driver.boxes().size(); ++i) boxesAfterFinish.push_back(driver.boxes()[i].text);
         visible = w.IsWindowVisible() != FALSE;
         after = Active(w);
         Cancel(w);
       }});
  EXPECT_EQ(UIRunMeshWizard(), 0);
  ASSERT_EQ(boxesAfterFinish.size(), 1u);
  EXPECT_NE(boxesAfterFinish[0].find("Delayed execution date and time set for past history"), std::string::npos)
      << boxesAfterFinish[0];
  EXPECT_EQ(cad.handed.size(), handedBefore) << "nothing meshed for a refused start";
  EXPECT_TRUE(visible);
  EXPECT_EQ(after, static_cast<UINT>(IDD_AMG_ANAL_EXEC));
  EXPECT_EQ(UIGetWizardTabState(6), 0);
}

// The extraction page of a vibration study: bounds a method uses must be 0 or more with the lower
// below the upper, and the count within 1 to 1,000,000; a refusal keeps the page.
TEST_F(MeshWizardTest, TheExtractionPageRefusesBoundsAndCountsItsMethodCannotUse) {
  control_.SetCurrentAnlModel(control_.NewAnlModel(CaeString("Modes"), static_cast<AnlType>(1)));
  const struct {
    int radio;
    const char* modes;
    const char* lower;
    const char* upper;
    bool accepted;
  } rows[] = {
      {IDC_AMG_FREQ_LOWEST, "3", "0", "0", true},
      {IDC_AMG_FREQ_LOWEST, "0", "0", "0", false},
      {IDC_AMG_FREQ_LOWEST, "1000001", "0", "0", false},
      {IDC_AMG_FREQ_ALL_IN_RANGE, "3", "10", "5", false},
      {IDC_AMG_FREQ_ALL_IN_RANGE, "3", "5", "5", false},
      {IDC_AMG_FREQ_ALL_IN_RANGE, "3", "5", "10", true},
      {IDC_AMG_FREQ_ABOVE, "3", "-1", "0", false},
      {IDC_AMG_FREQ_ABOVE, "3", "20", "0", true},
      {IDC_AMG_FREQ_LOWEST_IN_RANGE, "3", "-5", "10", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.radio << " " << row.modes << " " << row.lower << ".." << row.upper);
    cad.picks = {&body};
    std::string proposed;
    UINT after = 0;
    UIModeSettings settings;
    run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
         [](CWnd& w) { Next(w); },
         [&](CWnd& w) {
           ASSERT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ANAL_FREQ));
           proposed = Text(w, IDC_AMG_FREQ_COUNT);
           ASSERT_EQ(mfc::userCheck(Page(w).m_hWnd, row.radio, true), "");
           if (Page(w).GetDlgItem(IDC_AMG_FREQ_COUNT)->IsWindowEnabled()) Type(w, IDC_AMG_FREQ_COUNT, row.modes);
           if (Page(w).GetDlgItem(IDC_AMG_FREQ_LOWER)->IsWindowEnabled()) Type(w, IDC_AMG_FREQ_LOWER, row.lower);
           if (Page(w).GetDlgItem(IDC_AMG_FREQ_UPPER)->IsWindowEnabled()) Type(w, IDC_AMG_FREQ_UPPER, row.upper);
           Next(w);
           after = Active(w);
           if (CANL_FreqPP* page = Wizard(w).FreqPage()) settings = page->Settings(true);
           Cancel(w);
         }});
    UIRunMeshWizard();
    EXPECT_EQ(proposed, "3");
    EXPECT_EQ(after, static_cast<UINT>(row.accepted ? IDD_AMG_ANAL_EXEC : IDD_AMG_ANAL_FREQ));
    if (row.accepted) {
      EXPECT_EQ(settings.method, UIWizardModeMethod(row.radio - IDC_AMG_FREQ_LOWEST));
    }
  }
}

// Cancel on any page before a hand-over: the library file is as before, nothing reaches the
// drawing, every working mesh is freed and the step's mark stays.
TEST_F(MeshWizardTest, CancelOnAnyPageChangesNothingAndFreesTheWorkingMesh) {
  const struct {
    int nexts;  // pages passed before Cancel
    UINT page;
  } rows[] = {{0, IDD_AMG_MAT_INTRO}, {1, IDD_AMG_MAT_LIST}, {2, IDD_AMG_GEOM_PICK}, {3, IDD_AMG_ELEM_SIZE}};
  UISetWizardTabState(6, 1);
  const std::string before = kestrum::test::readFile(cad.library);
  int picked = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.nexts);
    cad.picks = {&body};
    if (row.nexts >= 3) ++picked;
    UINT cancelledOn = 0;
    std::vector<Step> steps;
    for (int i = 0; i < row.nexts; ++i) steps.push_back([](CWnd& w) { Next(w); });
    steps.push_back([&](CWnd& w) {
      cancelledOn = Active(w);
      Cancel(w);
    });
    run(std::move(steps));
    EXPECT_EQ(UIRunMeshWizard(), 0);
    EXPECT_EQ(cancelledOn, row.page);
    EXPECT_EQ(kestrum::test::readFile(cad.library), before);
    EXPECT_TRUE(cad.handed.empty());
    EXPECT_EQ(cad.deletedMeshes, picked);
    EXPECT_EQ(UIGetWizardTabState(6), 1);
  }
}

// The drawing took the mesh but the model still has no sub-model (the hand-over made none): Finish
// says so and keeps the page instead of meshing nothing.
TEST_F(MeshWizardTest, FinishWithoutAMeshToGenerateSaysSoAndNeverMeshesNothing) {
  cad.picks = {&body};
  std::string box;
  bool visible = false;
  UINT after = 0;
  run({Intro(true), [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); }, [](CWnd& w) { Next(w); },
       [](CWnd& w) { Next(w); },
       [&](CWnd& w) {
         ASSERT_EQ(Active(w), static_cast<UINT>(IDD_AMG_ANAL_EXEC));
         Sheet(w).PressButton(PSBTN_FINISH);
         box = LastBox();
         visible = w.IsWindowVisible() != FALSE;
         after = Active(w);
         Cancel(w);
       }});
  EXPECT_EQ(UIRunMeshWizard(), 0);
  EXPECT_NE(box.find("The part has no mesh"), std::string::npos) << box;
  EXPECT_TRUE(visible);
  EXPECT_EQ(after, static_cast<UINT>(IDD_AMG_ANAL_EXEC));
  ASSERT_EQ(cad.handed.size(), 1u) << "only the deferred hand-over";
  EXPECT_EQ(cad.handed[0].deferred, 1);
}

}  // namespace
