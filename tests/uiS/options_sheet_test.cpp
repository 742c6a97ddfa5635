// The options sheet in-process: its tabs, the Materials page against a real library file in a
// temporary folder, the Units page against the engine's host system, and the Display and Local
// Coordinate System pages against a CAD that reports a local system. Each case drives the running
// sheet the way a person would and then looks at the file, the host units and what the CAD got.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "amg/CaeGraph.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UISetupPS.h"
#include "gui/graph2d/UIGraphDlg.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr double kPascalsPerPsi = 6894.757293168361;

// Two materials, SI: E nu rho alpha ultimate yield k c T.
const char* const kLibrary =
    "# test library\n"
    "Material: Aluminium\n"
    " 7.000000e+10 0.330000 2.700000e+03 2.300000e-05 3.100000e+08 2.700000e+08 1.670000e+02 8.960000e+02 "
    "298.150000\n"
    "Material: Steel\n"
    " 2.000000e+11 0.300000 7.850000e+03 1.200000e-05 4.000000e+08 2.500000e+08 4.500000e+01 4.600000e+02 "
    "298.150000\n"
    "Material: Steel\n"
    " 1.900000e+11 0.300000 7.850000e+03 1.250000e-05 3.800000e+08 2.300000e+08 4.300000e+01 4.800000e+02 "
    "373.150000\n";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// A CAD whose library location, local system, symbols and toolbars are the test's.
class OptionsCad : public uistest::RecordingCad {
 public:
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override {
    ++libraryOpens;
    return new MaterialLibrary(path);
  }
  void DeleteObject(void* object) override {
    ++libraryReturns;
    delete static_cast<MaterialLibrary*>(object);
  }
  void SetMaterialLibraryLocation(const char* path) override { location = path; }
  CaeString& MaterialLibraryLocation(CaeString& path) override {
    path = location.c_str();
    return path;
  }
  void SetHostUnitSystem(CaeUnitSystem* system) override {
    ++unitSystemsSet;
    CadInterface::SetHostUnitSystem(system);
  }
  int GetLocalCoordSys(CaeString& name, double* origin, double* rotation, double* size, int* colour) override {
    if (!hasLocalSystem) return 0;
    name = "Front";
    for (int i = 0; i < 3; ++i) {
      origin[i] = localOrigin[i];
      rotation[i] = localRotation[i];
    }
    *size = localSize;
    *colour = localColour;
    return 1;
  }
  void SetLocalCoordSys(CaeString& name, double* origin, double* rotation, double* size, int* colour) override {
    sentPlane = name.c_str();
    for (int i = 0; i < 3; ++i) {
      sentOrigin[i] = origin[i];
      sentRotation[i] = rotation[i];
    }
    sentSize = *size;
    sentColour = *colour;
  }
  void ListLocalCoordSystems(CaeList<CaeString>& names) override {
    for (const char* plane : {"Front", "Top"}) names.Append(new CaeString(plane));
  }
  int GetToolbarVisibility(int* flags) override {
    if (!hasToolbars) return 0;
    for (int i = 0; i < 6; ++i) flags[i] = i % 2;
    return 1;
  }
  void SetToolbarVisibility(int* flags) override { sentToolbars.assign(flags, flags + 6); }
  void SetSymbolVisibility(const SymbolVisibility& flags, int applyToAll) override {
    CadInterface::SetSymbolVisibility(flags, applyToAll);
    ++symbolSends;
    sentToAll = applyToAll;
  }

  std::string location;
  int libraryOpens = 0;
  int libraryReturns = 0;
  int unitSystemsSet = 0;
  bool hasLocalSystem = false;
  bool hasToolbars = false;
  double localOrigin[3] = {0.0254, 0.0508, 0.0};
  double localRotation[3] = {0.0, 0.0, M_PI / 2};
  double localSize = 0.254;
  int localColour = 5;  // Blue
  std::string sentPlane;
  double sentOrigin[3] = {};
  double sentRotation[3] = {};
  double sentSize = 0;
  int sentColour = 0;
  std::vector<int> sentToolbars;
  int symbolSends = 0;
  int sentToAll = -1;
};

// The host units of one test, restored afterwards.
class HostUnits {
 public:
  HostUnits(int length, int temperature, int force, int mass, int energy)
      : system_(length, CaeDegree, temperature, force, mass, CaeSecond, energy, CaeHertz),
        previous_(CaeUnitSystem::SetHostSystem(&system_)) {}
  ~HostUnits() {
    if (CaeUnitSystem::GetHostSystem() == &system_) CaeUnitSystem::SetHostSystem(previous_);
  }
  HostUnits(const HostUnits&) = delete;
  HostUnits& operator=(const HostUnits&) = delete;

 private:
  CaeUnitSystem system_;
  CaeUnitSystem* previous_;
};

class OptionsSheetTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    productResources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();  // unit names and the native system
    cad_ = std::make_unique<OptionsCad>();
    library_ = dir_ / "lib.mat";
    WriteFile(library_, kLibrary);
    cad_->location = library_.string();
  }
  void TearDown() override {
    CaeUnitSystem::SetHostSystem(nullptr);  // a system the CAD may free with itself
    cad_.reset();
    appControl_.reset();
    productResources_.reset();
    FrameTest::TearDown();
  }

  using Step = std::function<void(CSetupPS&)>;
  // Runs the sheet; each step acts on it while it waits for the user.
  INT_PTR Run(std::vector<Step> steps) {
    CSetupPS sheet("Options");
    for (Step& step : steps) driver.add([step, &sheet](CWnd&) { step(sheet); });
    return sheet.DoModal();
  }
  static CWnd& Page(CSetupPS& sheet) { return *sheet.GetActivePage(); }
  static std::string Text(CWnd& page, int id) {
    CString text;
    page.GetDlgItem(id)->GetWindowText(text);
    return text.str();
  }
  static Step Set(int id, std::string text) {
    return [id, text](CSetupPS& s) { EXPECT_EQ(mfc::userSetText(Page(s).m_hWnd, id, text), "") << id; };
  }
  static Step Select(int id, std::string text) {
    return [id, text](CSetupPS& s) { EXPECT_EQ(mfc::userSelect(Page(s).m_hWnd, id, text), "") << id; };
  }
  static Step Click(int id) {
    return [id](CSetupPS& s) { EXPECT_EQ(mfc::userClick(Page(s).m_hWnd, id), "") << id; };
  }
  static Step Tab(std::string name) {
    return [name](CSetupPS& s) { EXPECT_EQ(mfc::userSelect(s.m_hWnd, AFX_IDC_TAB_CONTROL, name), "") << name; };
  }
  static Step Press(int id) {
    return [id](CSetupPS& s) { s.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
  }
  static Step Check(std::function<void(CSetupPS&)> check) { return check; }

  // The rows of a material in the library file as it is on disk now.
  std::vector<std::vector<double>> Rows(const std::string& name) {
    MaterialLibrary library(CaeString(library_.string().c_str()));
    std::vector<std::vector<double>> rows;
    const CaeMaterial* material = library.Find(CaeString(name.c_str()));
    if (!material) return rows;
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    for (int i = 0; i < temperatures.Count(); ++i) {
      double values[CaeMaterial::kPropCount];
      material->GetProp(*temperatures.ItemAt(i), values);
      std::vector<double> row{*temperatures.ItemAt(i)};
      row.insert(row.end(), values, values + CaeMaterial::kPropCount);
      rows.push_back(row);
    }
    return rows;
  }
  std::vector<std::string> Names() {
    MaterialLibrary library(CaeString(library_.string().c_str()));
    CaeOwningList<CaeString> names;
    library.ListNames(names);
    std::vector<std::string> out;
    for (auto* node = names.FirstNode(); node->HasItem(); node = node->Next()) out.push_back(node->Item()->Str());
    return out;
  }
  std::string LastBox() const { return driver.boxes().empty() ? std::string() : driver.boxes().back().text; }

  kestrum::test::TempDir dir_;
  fs::path library_;
  std::unique_ptr<OptionsCad> cad_;

 private:
  std::optional<ResourceSetter> productResources_;
  std::unique_ptr<CadAppControl> appControl_;
};

// ---- the sheet ----

TEST_F(OptionsSheetTest, TabsFollowWhetherTheHostHasALocalSystem) {
  const struct {
    bool local;
    std::vector<std::string> tabs;
  } cases[] = {{false, {"Materials", "Units"}}, {true, {"Materials", "Units", "Display", "Local Coordinate System"}}};
  for (const auto& c : cases) {
    cad_->hasLocalSystem = c.local;
    std::vector<std::string> tabs;
    EXPECT_EQ(Run({[&](CSetupPS& s) {
                     CTabCtrl* strip = s.GetTabControl();
                     for (int i = 0; i < strip->GetItemCount(); ++i) {
                       char text[64] = {};
                       TCITEM item;
                       item.mask = TCIF_TEXT;
                       item.pszText = text;
                       item.cchTextMax = sizeof text;
                       strip->GetItem(i, &item);
                       tabs.push_back(text);
                     }
                   },
                   Press(IDCANCEL)}),
              IDCANCEL);
    EXPECT_EQ(tabs, c.tabs);
  }
}

TEST_F(OptionsSheetTest, TheLastPageIsRememberedButApplyNowDoesNotMoveIt) {
  EXPECT_EQ(Run({Tab("Units"), Press(IDCANCEL)}), IDCANCEL);
  EXPECT_EQ(UISetupActivePage, 1);
  int opened = -1;
  EXPECT_EQ(Run({[&](CSetupPS& s) { opened = s.GetActiveIndex(); }, Tab("Materials"), Press(ID_APPLY_NOW), Tab("Units"),
                 Press(ID_APPLY_NOW), Tab("Materials"), Press(IDOK)}),
            IDOK);
  EXPECT_EQ(opened, 1) << "reopened on the Units page";
  EXPECT_EQ(UISetupActivePage, 0);
}

// ---- Materials ----

TEST_F(OptionsSheetTest, AnEditedModulusReachesTheFileInSIAndCancelLeavesItAlone) {
  const std::string before = ReadFile(library_);
  EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Steel"), Set(IDC_MAT_MODULUS, "2.1e11"), Press(IDCANCEL)}), IDCANCEL);
  EXPECT_EQ(ReadFile(library_), before) << "Cancel while it reads Cancel";

  std::string shear;
  EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Steel"), Set(IDC_MAT_MODULUS, "2.6e11"),
                 [&](CSetupPS& s) { shear = Text(Page(s), IDC_MAT_SHEAR); }, Press(IDOK)}),
            IDOK);
  EXPECT_EQ(shear, "1.00000e+11") << "G = E / 2 (1 + nu)";
  const auto rows = Rows("Steel");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_DOUBLE_EQ(rows[0][1 + CaeMaterial::kModulus], 2.6e11);
  EXPECT_DOUBLE_EQ(rows[1][1 + CaeMaterial::kModulus], 1.9e11) << "the other row is copied unchanged";
  EXPECT_DOUBLE_EQ(Rows("Aluminium")[0][1 + CaeMaterial::kModulus], 7e10);
  EXPECT_EQ(UICurrentMaterialName, "Steel");
  EXPECT_EQ(cad_->libraryOpens, cad_->libraryReturns) << "every library given back";
}

// "&Graph..." commits the material first, so the graph shows the modulus just typed; the graph
// dialog lists the eight properties with their host units and has the material ticked.
TEST_F(OptionsSheetTest, GraphPlotsTheMaterialWithTheEditJustTyped) {
  std::vector<std::string> properties;
  std::string checkedMaterial;
  CSetupPS sheet("Options");
  driver.add([&](CWnd&) { EXPECT_EQ(mfc::userSelect(Page(sheet).m_hWnd, IDC_MAT_NAME, "Steel"), ""); });
  driver.add([&](CWnd&) { EXPECT_EQ(mfc::userSetText(Page(sheet).m_hWnd, IDC_MAT_MODULUS, "2.6e11"), ""); });
  driver.add([&](CWnd&) { EXPECT_EQ(mfc::userClick(Page(sheet).m_hWnd, IDC_MAT_GRAPH), ""); });
  driver.add([&](CWnd& dialog) {
    auto* list = static_cast<CListBox*>(dialog.GetDlgItem(IDC_GRAPH_PROPERTIES));
    for (int i = 0; i < list->GetCount(); ++i) {
      CString text;
      list->GetText(i, text);
      properties.push_back(text.str());
    }
    auto* materials = static_cast<CCheckListBox*>(dialog.GetDlgItem(IDC_GRAPH_MATERIALS));
    for (int i = 0; i < materials->GetCount(); ++i)
      if (materials->GetCheck(i) == BST_CHECKED) {
        CString text;
        materials->GetText(i, text);
        checkedMaterial = text.str();
      }
    // Young's modulus only.
    for (const char* other : {"Mass Density", "Shear Modulus", "Maximum Yield Stress", "Ultimate Stress"})
      EXPECT_EQ(mfc::userCheckEntry(dialog.m_hWnd, IDC_GRAPH_PROPERTIES, other, false), "") << other;
    dialog.SendMessage(WM_COMMAND, IDOK);
  });
  driver.add([&](CWnd&) { sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
  sheet.DoModal();
  const std::vector<std::string> expected = {"Mass Density",         "Young's Modulus", "Shear Modulus",
                                             "Maximum Yield Stress", "Ultimate Stress", "Thermal Conductivity",
                                             "Coeff. of Expansion",  "Specific Heat"};
  EXPECT_EQ(properties, expected);
  EXPECT_EQ(checkedMaterial, "Steel");
  const std::vector<CGraphDlg*> windows = CGraphDlg::OpenWindows();
  ASSERT_EQ(windows.size(), 1u);
  const CaeGraph* modulus = windows[0]->m_graph;
  ASSERT_EQ(modulus->NumPolyLine(), 1);
  EXPECT_STREQ(modulus->YAxis().Name().c_str(), "Young's Modulus N/m^2");
  double x = 0, y = 0;
  ASSERT_TRUE(modulus->GetPolyLine(0)->GetPoint(x, y, 0));
  EXPECT_DOUBLE_EQ(x, 298.15);
  EXPECT_DOUBLE_EQ(y, 2.6e11) << "the edit reached the library before the graph";
  CGraphDlg::CloseAll();
}

TEST_F(OptionsSheetTest, ShearModulusFollowsModulusAndPoisson) {
  std::string shear;
  Run({Set(IDC_MAT_MODULUS, "200000"), Set(IDC_MAT_POISSON, "0.3"),
       [&](CSetupPS& s) { shear = Text(Page(s), IDC_MAT_SHEAR); }, Press(IDCANCEL)});
  EXPECT_EQ(shear, "7.69231e+04");
}

TEST_F(OptionsSheetTest, RefusedValuesKeepTheSheetOpenWithTheEditsAndTheFileUnchanged) {
  const struct {
    const char* name;
    int id;
    const char* value;
    UINT line;
  } cases[] = {{"Poisson 0.5", IDC_MAT_POISSON, "0.5", IDS_MATERIAL_BAD_POISSON},
               {"density 0", IDC_MAT_DENSITY, "0", IDS_MATERIAL_BAD_DENSITY},
               {"modulus -1", IDC_MAT_MODULUS, "-1", IDS_MATERIAL_BAD_MODULUS},
               {"yield 0", IDC_MAT_YIELD, "0", IDS_MATERIAL_BAD_YIELD},
               {"ultimate 0", IDC_MAT_ULTIMATE, "0", IDS_MATERIAL_BAD_ULTIMATE}};
  const std::string before = ReadFile(library_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t boxes = driver.boxes().size();
    std::string kept;
    bool open = false;
    // Choosing English on the Units page must not be applied either.
    EXPECT_EQ(Run({Set(c.id, c.value), Tab("Units"), Click(IDC_UNITS_ENGLISH), Press(IDOK),
                   [&](CSetupPS& s) {
                     open = s.m_hWnd != nullptr;
                     kept = Text(*s.GetPage(0), c.id);
                   },
                   Press(IDCANCEL)}),
              IDCANCEL);
    ASSERT_EQ(driver.boxes().size(), boxes + 1);
    EXPECT_EQ(LastBox(), std::string(resLoadString(IDS_MATERIAL_VALUES_HEAD).c_str()) + resLoadString(c.line).c_str());
    EXPECT_TRUE(open);
    EXPECT_EQ(kept, c.value);
    EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeMeter);
    EXPECT_EQ(cad_->unitSystemsSet, 0);
  }
  EXPECT_EQ(ReadFile(library_), before);
}

TEST_F(OptionsSheetTest, ANonNumberOnAnyPageIsRefusedByTheToolkitAndNothingIsApplied) {
  const std::string before = ReadFile(library_);
  int activeAfterOk = -1;
  EXPECT_EQ(Run({Set(IDC_MAT_MODULUS, "2.2e11"), Set(IDC_MAT_DENSITY, "heavy"), Press(IDOK),
                 [&](CSetupPS& s) { activeAfterOk = s.GetActiveIndex(); }, Press(IDCANCEL)}),
            IDCANCEL);
  ASSERT_FALSE(driver.boxes().empty());
  EXPECT_EQ(LastBox(), "Please enter a number.");
  EXPECT_EQ(activeAfterOk, 0);
  EXPECT_EQ(ReadFile(library_), before);
  EXPECT_EQ(cad_->unitSystemsSet, 0);
}

// A modulus typed while the host shows SI is stored as typed, even when English is chosen in the
// same OK.
TEST_F(OptionsSheetTest, PendingEditsKeepTheUnitsTheyWereTypedIn) {
  EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Aluminium"), Set(IDC_MAT_MODULUS, "6.9e10"), Tab("Units"),
                 Click(IDC_UNITS_ENGLISH), Press(IDOK)}),
            IDOK);
  EXPECT_DOUBLE_EQ(Rows("Aluminium")[0][1 + CaeMaterial::kModulus], 6.9e10);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtForce), CaePoundForce);
  // Shown again, the value reads in psi.
  std::string shown;
  EXPECT_EQ(Run({Tab("Materials"), Select(IDC_MAT_NAME, "Aluminium"),
                 [&](CSetupPS& s) { shown = Text(Page(s), IDC_MAT_MODULUS); }, Press(IDCANCEL)}),
            IDCANCEL);
  EXPECT_NEAR(std::stod(shown), 6.9e10 / kPascalsPerPsi, 1e-5 * 6.9e10 / kPascalsPerPsi);
}

// A row whose temperature the shown text cannot give back exactly (fahrenheit to 4 decimals) still
// takes the edits made on it.
TEST_F(OptionsSheetTest, TheRowEditedIsTheRowSelectedInAnyTemperatureUnit) {
  WriteFile(library_,
            "Material: Odd\n"
            " 1.000000e+11 0.300000 5.000000e+03 1.000000e-05 3.000000e+08 2.000000e+08 1.000000e+01 "
            "4.000000e+02 293.123456\n");
  HostUnits english(CaeInch, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeBtu);
  EXPECT_EQ(Run({Set(IDC_MAT_POISSON, "0.25"), Press(IDOK)}), IDOK);
  const auto rows = Rows("Odd");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NEAR(rows[0][0], 293.123456, 1e-9);
  EXPECT_DOUBLE_EQ(rows[0][1 + CaeMaterial::kPoisson], 0.25);
}

TEST_F(OptionsSheetTest, NewTemperaturesStartAtRoomTemperatureInHostUnits) {
  const struct {
    const char* name;
    int temperatureUnit;
    const char* library;
    const char* added;
  } cases[] = {
      {"kelvin after 298.15 and 299.15", CaeKelvin,
       "Material: M\n 1e11 0.3 5e3 1e-5 3e8 2e8 10 400 298.15\nMaterial: M\n 1e11 0.3 5e3 1e-5 3e8 2e8 10 400 299.15\n",
       "300.1500"},
      {"celsius", CaeCelsius, "Material: M\n 1e11 0.3 5e3 1e-5 3e8 2e8 10 400 273.15\n", "25.0000"},
      {"celsius with 25 listed", CaeCelsius, "Material: M\n 1e11 0.3 5e3 1e-5 3e8 2e8 10 400 298.15\n", "26.0000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(library_, c.library);
    HostUnits units(CaeMeter, c.temperatureUnit, CaeNewton, CaeKilogram, CaeJoule);
    std::string shown;
    EXPECT_EQ(
        Run({Click(IDC_MAT_TEMP_NEW), [&](CSetupPS& s) { shown = Text(Page(s), IDC_MAT_TEMPERATURE); }, Press(IDOK)}),
        IDOK);
    EXPECT_EQ(shown, c.added);
    const auto rows = Rows("M");
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.back()[0], CaeUnit::HostToNative(CaeUtTemperature, std::stod(c.added)), 1e-9);
  }
}

TEST_F(OptionsSheetTest, ATypedTemperatureMovesTheRowUnlessAnotherRowIsThere) {
  const struct {
    const char* name;
    const char* typed;
    std::vector<double> temperatures;
    bool refused;
  } cases[] = {{"hair's breadth", "298.150001", {298.15, 373.15}, false},
               {"moved", "298.16", {373.15, 298.16}, false},
               {"onto the other row", "373.15", {298.15, 373.15}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(library_, kLibrary);
    const size_t boxes = driver.boxes().size();
    EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Steel"), Set(IDC_MAT_TEMPERATURE, c.typed), Set(IDC_MAT_MODULUS, "2.2e11"),
                   Press(IDOK)}),
              IDOK);
    EXPECT_EQ(driver.boxes().size(), boxes + (c.refused ? 1 : 0));
    std::vector<double> temperatures;
    for (const auto& row : Rows("Steel")) temperatures.push_back(row[0]);
    ASSERT_EQ(temperatures.size(), c.temperatures.size());
    for (size_t i = 0; i < temperatures.size(); ++i) EXPECT_NEAR(temperatures[i], c.temperatures[i], 1e-9);
    // The edit went to the row the page showed, wherever it is now.
    bool edited = false;
    for (const auto& row : Rows("Steel")) edited = edited || row[1 + CaeMaterial::kModulus] == 2.2e11;
    EXPECT_TRUE(edited);
  }
}

TEST_F(OptionsSheetTest, NewMaterialsTakeTheFirstNameNoEntryBeginsWith) {
  const struct {
    const char* name;
    std::vector<const char*> present;
    const char* expected;
  } cases[] = {{"1 and 2 taken", {"NewMaterial1", "NewMaterial2"}, "NewMaterial3"},
               {"only 10 taken", {"NewMaterial10"}, "NewMaterial2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = kLibrary;
    for (const char* name : c.present)
      text += std::string("Material: ") + name + "\n 1e11 0.3 5e3 1e-5 3e8 2e8 10 400 298.15\n";
    WriteFile(library_, text);
    EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Steel"), Set(IDC_MAT_MODULUS, "2.4e11"), Click(IDC_MAT_NEW), Press(IDOK)}),
              IDOK);
    const auto copy = Rows(c.expected);
    ASSERT_EQ(copy.size(), 2u) << "all of Steel's rows";
    EXPECT_DOUBLE_EQ(copy[0][1 + CaeMaterial::kModulus], 2.4e11);
    EXPECT_DOUBLE_EQ(Rows("Steel")[0][1 + CaeMaterial::kModulus], 2.4e11) << "committed before the copy";
  }
}

TEST_F(OptionsSheetTest, RenamesAreRefusedWhenEmptyOrTakenAndDeleteRemovesWhatTheLibraryHolds) {
  const struct {
    const char* name;
    const char* typed;
    UINT refusal;
  } refused[] = {{"empty", "", IDS_MATERIAL_NAME_EMPTY}, {"taken", "Aluminium", IDS_MATERIAL_NAME_TAKEN}};
  const std::string before = ReadFile(library_);
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    const size_t boxes = driver.boxes().size();
    EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Steel"), Set(IDC_MAT_NAME, c.typed), Set(IDC_MAT_MODULUS, "2.2e11"),
                   Press(IDCANCEL)}),
              IDCANCEL);
    ASSERT_EQ(driver.boxes().size(), boxes + 1);
    EXPECT_NE(LastBox().find(std::string(resLoadString(c.refusal).c_str()).substr(0, 20)), std::string::npos)
        << LastBox();
  }
  EXPECT_EQ(ReadFile(library_), before);

  EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Steel"), Set(IDC_MAT_NAME, "Carbon steel"), Set(IDC_MAT_MODULUS, "2.2e11"),
                 Press(IDOK)}),
            IDOK);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Aluminium", "Carbon steel"}));
  EXPECT_EQ(Rows("Carbon steel").size(), 2u);

  // Renamed and deleted before any commit: the material the library holds goes.
  driver.answer(IDYES);
  EXPECT_EQ(Run({Select(IDC_MAT_NAME, "Aluminium"), Set(IDC_MAT_NAME, "Alloy"), Set(IDC_MAT_MODULUS, "7.1e10"),
                 Click(IDC_MAT_DELETE), Press(IDOK)}),
            IDOK);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Carbon steel"}));
}

TEST_F(OptionsSheetTest, BrowseKeepsTheLibraryWhenTheChosenOneCannotBeRead) {
  const fs::path other = dir_ / "other.mat";
  WriteFile(other, "Material: Copper\n 1.1e11 0.34 8.9e3 1.7e-5 2.2e8 7e7 400 385 298.15\n");
  struct FileUser : uistest::RecordingDriver {
    std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return path; }
    std::string path;
  };
  const struct {
    const char* name;
    fs::path chosen;
    bool taken;
  } cases[] = {{"a folder", dir_.path(), false}, {"missing", dir_ / "none.mat", false}, {"readable", other, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(library_, kLibrary);
    cad_->location = library_.string();
    FileUser user;
    user.path = c.chosen.string();
    mfc::UserDriver* previous = mfc::installUserDriver(&user);
    std::vector<std::string> listed;
    CSetupPS sheet("Options");
    user.add([&sheet](CWnd&) { mfc::userSelect(Page(sheet).m_hWnd, IDC_MAT_NAME, "Steel"); });
    user.add([&sheet](CWnd&) { mfc::userSetText(Page(sheet).m_hWnd, IDC_MAT_MODULUS, "2.3e11"); });
    user.add([&sheet](CWnd&) { mfc::userClick(Page(sheet).m_hWnd, IDC_MAT_BROWSE); });
    user.add([&sheet, &listed](CWnd&) {
      auto* combo = static_cast<CComboBox*>(Page(sheet).GetDlgItem(IDC_MAT_NAME));
      for (int i = 0; i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        listed.push_back(text.str());
      }
      sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    sheet.DoModal();
    mfc::installUserDriver(previous);
    EXPECT_DOUBLE_EQ(Rows("Steel")[0][1 + CaeMaterial::kModulus], 2.3e11) << "the edit went to the old file first";
    EXPECT_EQ(cad_->location, c.taken ? other.string() : library_.string());
    const std::vector<std::string> expected =
        c.taken ? std::vector<std::string>{"Copper"} : std::vector<std::string>{"Aluminium", "Steel"};
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(user.boxes().size(), c.taken ? 0u : 1u);
  }
}

// ---- Apply Now and OK ----

TEST_F(OptionsSheetTest, OkAfterApplyNowAppliesWhatChangedSinceAndOnlyThat) {
  // A refused Apply Now, then the value mended: OK applies it.
  EXPECT_EQ(Run({Set(IDC_MAT_POISSON, "0.7"), Press(ID_APPLY_NOW), Set(IDC_MAT_POISSON, "0.28"), Press(IDOK)}), IDOK);
  EXPECT_DOUBLE_EQ(Rows("Aluminium")[0][1 + CaeMaterial::kPoisson], 0.28);

  // A successful Apply Now, then nothing changed: OK closes without a second apply.
  const int before = cad_->unitSystemsSet;
  EXPECT_EQ(Run({Tab("Units"), Click(IDC_UNITS_CGS), Press(ID_APPLY_NOW), Press(IDOK)}), IDOK);
  EXPECT_EQ(cad_->unitSystemsSet, before + 1);

  // A successful Apply Now, then a change: OK applies it.
  EXPECT_EQ(Run({Tab("Units"), Click(IDC_UNITS_ENGLISH), Press(ID_APPLY_NOW), Tab("Materials"),
                 Set(IDC_MAT_POISSON, "0.29"), Press(IDOK)}),
            IDOK);
  EXPECT_DOUBLE_EQ(Rows("Aluminium")[0][1 + CaeMaterial::kPoisson], 0.29);
}

// ---- Units ----

TEST_F(OptionsSheetTest, UnitsApplyMakesTheChosenSystemTheHostsAndMarksTheGuide) {
  const struct {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> units;  // length, angle, temperature, force, mass, time, energy, frequency
  } cases[] = {
      {"English",
       {Click(IDC_UNITS_ENGLISH)},
       {CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz}},
      {"custom",
       {Click(IDC_UNITS_CUSTOM), Select(IDC_UNITS_LENGTH, "millimeter"), Select(IDC_UNITS_FORCE, "kip")},
       {CaeMillimeter, CaeDegree, CaeKelvin, CaeKip, CaeKilogram, CaeSecond, CaeJoule, CaeHertz}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UIClearWizardState();
    std::vector<Step> steps{Tab("Units")};
    steps.insert(steps.end(), c.steps.begin(), c.steps.end());
    steps.push_back(Press(IDOK));
    EXPECT_EQ(Run(steps), IDOK);
    for (int type = 0; type < 8; ++type)
      EXPECT_EQ(CaeUnitSystem::GetHostUnit(type), c.units[static_cast<size_t>(type)]) << type;
    EXPECT_EQ(UIGetWizardTabState(2), 1);
    // Back to SI for the next case, through the page again.
    EXPECT_EQ(Run({Tab("Units"), Click(IDC_UNITS_SI_M), Press(IDOK)}), IDOK);
    EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeMeter);
  }
}

// ---- Display and Local Coordinate System ----

TEST_F(OptionsSheetTest, DisplayPageSendsTheSymbolFlagsAndToolbarsWhenTheHostHasThem) {
  cad_->hasLocalSystem = true;
  for (bool toolbars : {false, true}) {
    SCOPED_TRACE(toolbars ? "toolbars" : "no toolbars");
    cad_->hasToolbars = toolbars;
    cad_->sentToolbars.clear();
    bool resultsEnabled = true;
    bool toolbarBoxEnabled = false;
    EXPECT_EQ(Run({Tab("Display"),
                   [&](CSetupPS& s) {
                     resultsEnabled = Page(s).GetDlgItem(IDC_DISPLAY_RESULTS)->IsWindowEnabled();
                     toolbarBoxEnabled = Page(s).GetDlgItem(IDC_DISPLAY_TB_ADD)->IsWindowEnabled();
                   },
                   Click(IDC_DISPLAY_LOADS), Select(IDC_DISPLAY_APPLY_TO, "All Views"), Press(IDOK)}),
              IDOK);
    EXPECT_FALSE(resultsEnabled) << "no current result set";
    EXPECT_EQ(toolbarBoxEnabled, toolbars);
    SymbolVisibility flags;
    cad_->GetSymbolVisibility(flags);
    EXPECT_EQ(flags.loads, 0) << "unticked";
    EXPECT_EQ(flags.mesh, 1);
    EXPECT_EQ(cad_->sentToAll, 1);
    const std::vector<int> expected = toolbars ? std::vector<int>{0, 1, 0, 1, 0, 1} : std::vector<int>{};
    EXPECT_EQ(cad_->sentToolbars, expected);
    CadInterface::GetCurrent()->SetSymbolVisibility(SymbolVisibility(), 0);
  }
}

TEST_F(OptionsSheetTest, LocalSystemIsShownInHostUnitsAndHandedBackNative) {
  cad_->hasLocalSystem = true;
  HostUnits english(CaeInch, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeBtu);
  std::string originX, rotationZ, lengthUnit, colour;
  EXPECT_EQ(Run({Tab("Local Coordinate System"),
                 [&](CSetupPS& s) {
                   originX = Text(Page(s), IDC_LCS_ORIGIN_X);
                   rotationZ = Text(Page(s), IDC_LCS_ROTATION_Z);
                   lengthUnit = Text(Page(s), IDC_LCS_LENGTH_UNIT);
                   colour = Text(Page(s), IDC_LCS_COLOR);
                 },
                 Set(IDC_LCS_ORIGIN_Y, "3"), Select(IDC_LCS_COLOR, "Red"), Press(IDOK)}),
            IDOK);
  EXPECT_DOUBLE_EQ(std::stod(originX), 1.0);
  EXPECT_NEAR(std::stod(rotationZ), 90.0, 1e-9);
  EXPECT_EQ(lengthUnit, "inch");
  EXPECT_EQ(colour, "Blue");
  EXPECT_EQ(cad_->sentPlane, "Front");
  EXPECT_NEAR(cad_->sentOrigin[0], 0.0254, 1e-12);
  EXPECT_NEAR(cad_->sentOrigin[1], 3 * 0.0254, 1e-12);
  EXPECT_NEAR(cad_->sentRotation[2], M_PI / 2, 1e-12);
  EXPECT_NEAR(cad_->sentSize, 0.254, 1e-12);
  EXPECT_EQ(cad_->sentColour, 1);
}

}  // namespace
