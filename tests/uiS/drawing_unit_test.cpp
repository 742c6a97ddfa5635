// The drawing length unit dialog, driven as a script drives it, on a drawing with its own data.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"
#include "mfc/action_lines.h"
#include "mfc/log.h"
#include "uis_fixture.h"

namespace {

using Units = std::array<int, 8>;  // length, angle, temperature, force, mass, time, energy, frequency

Units HostUnits() {
  Units units{};
  for (int type = 0; type < 8; ++type) units[static_cast<size_t>(type)] = CaeUnitSystem::GetHostUnit(type);
  return units;
}

// One drawing whose data carries an analysis control, current while the fixture lives.
class OneDrawing : public CadApplication {
 public:
  CadDocControl* CreateDocControl(void* document) override {
    auto* control = new CadDocControl(document);
    auto* data = new CadDocData();
    data->SetAnlControl(new AnlControl("drawing"));
    control->SetData(data);
    return control;
  }
  bool IsDocumentUsable(void*) override { return true; }
  void* CurrentDocument() override { return &document; }
  int document = 0;
};

// A CAD whose drawing has no length unit until one is set, as a new drawing's analysis control
// answers; records every unit it is given.
class UnsetUnitCad : public CadInterface {
 public:
  int GetLengthUnit() override { return unit; }
  void SetLengthUnit(int* value) override {
    given.push_back(*value);
    unit = *value;
  }
  int unit = CaeUnitNone;
  std::vector<int> given;
};

// Feeds "@" lines to the toolkit's script driver; anything the driver prints is kept.
class ScriptedUser {
 public:
  explicit ScriptedUser(std::vector<std::string> lines)
      : driver_([this] { return next(); }, [this](const std::string& text) { printed += text; }) {
    int number = 0;
    for (auto& text : lines) lines_.push_back(mfc::ActionLine{std::move(text), ++number});
    previous_ = mfc::installUserDriver(&driver_);
  }
  ~ScriptedUser() { mfc::installUserDriver(previous_); }
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  bool allRead() const { return lines_.empty(); }
  std::string printed;

 private:
  std::optional<mfc::ActionLine> next() {
    if (lines_.empty()) return std::nullopt;
    mfc::ActionLine line = lines_.front();
    lines_.pop_front();
    return line;
  }
  std::deque<mfc::ActionLine> lines_;
  mfc::ActionLineDriver driver_;
  mfc::UserDriver* previous_ = nullptr;
};

class DrawingUnitTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    appControl_ = std::make_unique<CadAppControl>();  // unit names and the native system
    application_ = new OneDrawing();
    CadSetApplication(application_);
    ASSERT_NE(application_->ActivateDocument(nullptr), nullptr);
  }
  void TearDown() override {
    if (CadGetApplication()) CadEvents::ApplicationUnloading();
    delete application_;
    CadSetApplication(nullptr);
    appControl_.reset();
    FrameTest::TearDown();
  }
  CadDocData* Data() { return CadCurrentDocData(); }
  AnlControl* Control() { return Data()->GetAnlControl(); }

 private:
  std::unique_ptr<CadAppControl> appControl_;
  OneDrawing* application_ = nullptr;
};

struct FirstChoice {
  const char* name;
  int unit;
  Units host;
};

// The host units each choice brings, written out here rather than taken from the dialog's table.
const FirstChoice kFirstChoices[] = {
    {"meter", CaeMeter, {CaeMeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz}},
    {"centimeter",
     CaeCentimeter,
     {CaeCentimeter, CaeDegree, CaeCelsius, CaeDyne, CaeGram, CaeSecond, CaeCalorie, CaeHertz}},
    {"millimeter",
     CaeMillimeter,
     {CaeMillimeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz}},
    {"inch", CaeInch, {CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz}},
    {"foot", CaeFoot, {CaeFoot, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz}},
};

// The first choice sets the drawing unit and hands a new host system to the drawing's data, which
// frees the one it replaces; the sanitizer build reports a leak or a second free of either.
TEST_F(DrawingUnitTest, FirstChoiceSetsTheUnitAndTheMatchingHostSystem) {
  for (const FirstChoice& choice : kFirstChoices) {
    SCOPED_TRACE(choice.name);
    CadInterface cad;
    ResourceSetter resources(1);
    CaeUnitSystem* before = Data()->HostUnitSystem();
    ScriptedUser user({std::string("@select 1000 ") + choice.name, "@click IDOK"});
    CDrawingUnitDlg dialog(CDrawingUnitDlg::kFirstTime);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(user.allRead());
    EXPECT_EQ(user.printed, "");  // no line was refused

    EXPECT_EQ(cad.GetLengthUnit(), choice.unit);
    EXPECT_EQ(HostUnits(), choice.host);
    EXPECT_NE(Data()->HostUnitSystem(), before);
    EXPECT_EQ(Data()->HostUnitSystem(), CaeUnitSystem::GetHostSystem());
  }
}

TEST_F(DrawingUnitTest, InchShowsTemperatureForceAndMassInImperialUnits) {
  UnsetUnitCad cad;
  ScriptedUser user({"@select IDC_DRAWING_UNIT inch", "@click IDOK"});
  EXPECT_EQ(CadAskDrawingUnitIfUnset(), IDOK);
  EXPECT_EQ(cad.GetLengthUnit(), CaeInch);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtTemperature), CaeFahrenheit);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtForce), CaePoundForce);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtMass), CaePoundMass);
  // 1 lbf in the host system is 4.448 N in the native one.
  EXPECT_NEAR(CaeUnit::HostToNative(CaeUtForce, 1.0), 4.4482216, 1e-6);

  // Once chosen, asking only when unset shows nothing (no script line is read).
  ScriptedUser none({"@click IDOK"});
  EXPECT_EQ(CadAskDrawingUnitIfUnset(), 0);
  EXPECT_FALSE(none.allRead());
  EXPECT_EQ(cad.given, std::vector<int>{CaeInch});
}

TEST_F(DrawingUnitTest, FirstTimeOffersTheFiveUnitsWithMeterSelected) {
  CadInterface cad;
  ResourceSetter resources(1);
  std::vector<std::string> entries;
  std::string selected;
  driver.add([&](CWnd& window) {
    auto* combo = static_cast<CComboBox*>(window.GetDlgItem(IDC_DRAWING_UNIT));
    for (int i = 0; i < combo->GetCount(); ++i) {
      CString text;
      combo->GetLBText(i, text);
      entries.emplace_back(static_cast<const char*>(text));
    }
    CString text;
    combo->GetLBText(combo->GetCurSel(), text);
    selected = static_cast<const char*>(text);
    static_cast<CDialog&>(window).EndDialog(IDCANCEL);
  });
  CDrawingUnitDlg dialog(CDrawingUnitDlg::kFirstTime);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(entries, (std::vector<std::string>{"meter", "centimeter", "millimeter", "inch", "foot"}));
  EXPECT_EQ(selected, "meter");
}

TEST_F(DrawingUnitTest, CancelChangesNothing) {
  UnsetUnitCad cad;
  CaeUnitSystem* before = Data()->HostUnitSystem();
  const Units units = HostUnits();
  ScriptedUser user({"@select 1000 foot", "@click IDCANCEL"});
  EXPECT_EQ(CadAskDrawingUnitIfUnset(), IDCANCEL);
  EXPECT_TRUE(cad.given.empty());
  EXPECT_EQ(cad.GetLengthUnit(), CaeUnitNone);
  EXPECT_EQ(Data()->HostUnitSystem(), before);
  EXPECT_EQ(HostUnits(), units);
}

// Change mode: what the dialog shows and whether OK may touch the host units depends on whether
// a unit was chosen and whether analysis objects were made in it.
TEST_F(DrawingUnitTest, ChangeModeGuardsTheUnitOnlyWhileAnalysisObjectsExist) {
  enum Objects { kNone, kLoadSet, kRestraintSet, kModel, kOptModel, kVariable };
  const struct {
    const char* name;
    int unit;  // the drawing's unit when the dialog opens
    Objects objects;
    const char* shown;  // the entry selected when the dialog opens
    bool enabled;
    bool hostChanges;
  } cases[] = {
      {"unit never chosen: as the first time", CaeUnitNone, kNone, "meter", true, true},
      {"unit never chosen, with a load set", CaeUnitNone, kLoadSet, "meter", true, true},
      {"unit chosen, no objects", CaeMillimeter, kNone, "millimeter", true, true},
      {"one load set", CaeMillimeter, kLoadSet, "millimeter", false, false},
      {"one restraint set", CaeFoot, kRestraintSet, "foot", false, false},
      {"one analysis model", CaeCentimeter, kModel, "centimeter", false, false},
      {"one optimisation model", CaeMillimeter, kOptModel, "millimeter", false, false},
      {"one design variable", CaeMillimeter, kVariable, "millimeter", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // A fresh drawing control for each case.
    Data()->SetAnlControl(new AnlControl("drawing"));
    Control()->SetCurrent();
    switch (c.objects) {
      case kNone: break;
      case kLoadSet: Control()->NewLoadCase("Load Set 1"); break;
      case kRestraintSet: Control()->NewRestraintCase("Restraint Set 1"); break;
      case kModel: Control()->NewAnlModel("Model 1", AnlStress); break;
      case kOptModel: Control()->NewOptModel("Optimization 1"); break;
      case kVariable: Control()->NewOptVariable("Variable 1"); break;
    }
    UnsetUnitCad cad;
    cad.unit = c.unit;
    CaeUnitSystem* before = Data()->HostUnitSystem();

    std::string shown;
    bool enabled = false;
    driver.add([&](CWnd& window) {
      auto* combo = static_cast<CComboBox*>(window.GetDlgItem(IDC_DRAWING_UNIT));
      CString text;
      combo->GetLBText(combo->GetCurSel(), text);
      shown = static_cast<const char*>(text);
      enabled = combo->IsWindowEnabled();
      if (enabled) combo->SetCurSel(CaeInch);
      window.SendMessage(WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(CadAskDrawingUnit(), IDOK);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(enabled, c.enabled);
    if (c.hostChanges) {
      EXPECT_EQ(cad.given, std::vector<int>{CaeInch});
      EXPECT_NE(Data()->HostUnitSystem(), before);
      EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtForce), CaePoundForce);
    } else {
      // OK sets the same unit again and leaves the host units alone.
      EXPECT_EQ(cad.given, std::vector<int>{c.unit});
      EXPECT_EQ(Data()->HostUnitSystem(), before);
      EXPECT_EQ(CaeUnitSystem::GetHostSystem(), before);
    }
  }
}

TEST_F(DrawingUnitTest, InterfaceAsksInChangeModeWithoutAnOwner) {
  UnsetUnitCad cad;
  cad.unit = CaeInch;
  Control()->NewLoadCase("Load Set 1");
  bool shown = false, enabled = true, owned = true;
  driver.add([&](CWnd& window) {
    shown = dynamic_cast<CDrawingUnitDlg*>(&window) != nullptr;
    enabled = window.GetDlgItem(IDC_DRAWING_UNIT)->IsWindowEnabled();
    owned = static_cast<CDialog&>(window).m_pParentWnd != nullptr;
    static_cast<CDialog&>(window).EndDialog(IDCANCEL);
  });
  cad.AskLengthUnit();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(enabled);
  EXPECT_FALSE(owned);
}

TEST_F(DrawingUnitTest, HelpOpensTheDialogsHelpContext) {
  CadInterface cad;
  ResourceSetter resources(1);
  ScriptedUser user({"@click IDC_FRAME_HELP", "@click IDCANCEL"});
  mfc::clearLog();
  CDrawingUnitDlg dialog(CDrawingUnitDlg::kFirstTime);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  bool helped = false;
  for (const std::string& line : mfc::logLines())
    if (line.find("WinHelp ") == 0 && line.find(" command 1 data 0x20067") != std::string::npos) helped = true;
  EXPECT_TRUE(helped);
}

TEST_F(DrawingUnitTest, OnlyTheFiveDrawingUnitsAreAccepted) {
  CadInterface cad;
  const struct {
    int unit;
    bool accepted;
  } cases[] = {
      {CaeMeter, true}, {CaeCentimeter, true}, {CaeMillimeter, true}, {CaeInch, true},      {CaeFoot, true},
      {-1, false},      {CaeRadian, false},    {CaeKelvin, false},    {CaeUnitNone, false}, {1000, false},
  };
  for (const auto& c : cases) {
    int start = c.unit == CaeFoot ? CaeMeter : CaeFoot;
    cad.SetLengthUnit(&start);
    int unit = c.unit;
    cad.SetLengthUnit(&unit);
    EXPECT_EQ(cad.GetLengthUnit(), c.accepted ? c.unit : start) << c.unit;
  }
  int foot = CaeFoot;
  cad.SetLengthUnit(&foot);
  cad.SetLengthUnit(nullptr);
  EXPECT_EQ(cad.GetLengthUnit(), CaeFoot);
}

// Handing over host systems in turn frees each replaced one exactly once, with or without a
// current drawing (the sanitizer build reports a leak or a second free).
TEST_F(DrawingUnitTest, HandedHostSystemsAreOwnedAndTheReplacedOnesFreed) {
  CadInterface cad;
  auto* inch =
      new CadUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz);
  cad.SetHostUnitSystem(inch);
  EXPECT_EQ(Data()->HostUnitSystem(), inch);
  cad.SetHostUnitSystem(inch);  // the same one again frees nothing
  EXPECT_EQ(Data()->HostUnitSystem(), inch);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeInch);

  CadEvents::ApplicationUnloading();  // no drawing is current any more
  ASSERT_EQ(CadCurrentDocData(), nullptr);
  auto* metre = new CadUnitSystem();
  cad.SetHostUnitSystem(metre);
  cad.SetHostUnitSystem(
      new CadUnitSystem(CaeMillimeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz));
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeMillimeter);
}

}  // namespace
