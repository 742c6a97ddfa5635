// The logarithmic size slider and its number format, and the unit-system helpers of the units
// pages, on the product's units template.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/mesh/UILogSlider.h"
#include "gui/dialogs/units/UIUnitsDlg.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

constexpr int kPositions = 200;

class LogSliderTest : public uistest::FrameTest {
 protected:
  std::optional<ResourceSetter> productResources_;  // the product library for templates and texts
  void SetUp() override {
    FrameTest::SetUp();
    productResources_.emplace(1);
    ASSERT_TRUE(slider.Create("msctls_trackbar32", "", WS_POPUP, RECT{0, 0, 100, 20}, nullptr, 0));
  }
  void TearDown() override {
    slider.DestroyWindow();
    productResources_.reset();
    FrameTest::TearDown();
  }
  CSliderCtrl slider;
};

TEST_F(LogSliderTest, PositionsAreSpacedLogarithmicallyAndCarryTheShownDecimals) {
  const double minimum = 0.5, maximum = 50.0, value = 5.0;
  std::vector<double> table(kPositions, -1.0);
  ASSERT_TRUE(UIInitLogSlider(&slider, &value, &minimum, &maximum, "%.3lf", kPositions, table.data()));
  EXPECT_EQ(slider.GetRangeMin(), 0);
  EXPECT_EQ(slider.GetRangeMax(), kPositions - 1);
  // Ticks at 1 .. 199 (the one asked at 200 lies beyond the range) plus the two ends.
  EXPECT_EQ(slider.GetNumTics(), kPositions + 1);
  // Two decades over 199 steps: entry i is 0.5 * 100^(i/199), rounded to the format's decimals.
  for (int i : {0, 1, 50, 100, 198, 199}) {
    const double exact = 0.5 * std::pow(100.0, i / 199.0);
    EXPECT_NEAR(table[static_cast<size_t>(i)], std::round(exact * 1000) / 1000, 1e-12) << i;
  }
  EXPECT_EQ(table.front(), 0.5);
  EXPECT_EQ(table.back(), 50.0);
  // 5 is one decade up: position 99.5 rounds to 100.
  EXPECT_EQ(slider.GetPos(), 100);
}

TEST_F(LogSliderTest, ValuesOutsideTheRangeOrWithoutALogarithmSitAtAnEnd) {
  const double minimum = 1.0, maximum = 10.0;
  std::vector<double> table(kPositions);
  const struct {
    double value;
    int position;
  } cases[] = {{100.0, kPositions - 1}, {0.01, 0}, {0.0, 0}, {-3.0, 0}, {std::nan(""), 0}, {10.0, kPositions - 1}};
  for (const auto& c : cases) {
    ASSERT_TRUE(UIInitLogSlider(&slider, &c.value, &minimum, &maximum, "%.2lf", kPositions, table.data()));
    EXPECT_EQ(slider.GetPos(), c.position) << c.value;
  }
}

TEST_F(LogSliderTest, AZeroWidthRangeGivesOneSizeEverywhere) {
  const double size = 2.5, value = 2.5;
  std::vector<double> table(kPositions);
  ASSERT_TRUE(UIInitLogSlider(&slider, &value, &size, &size, "%.2lf", kPositions, table.data()));
  for (double entry : table) EXPECT_EQ(entry, 2.5);
  EXPECT_EQ(slider.GetPos(), 0);
}

TEST_F(LogSliderTest, RangesWithoutLogarithmsAreRefusedAndChangeNothing) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    double minimum, maximum;
    int count;
  } cases[] = {
      {"minimum 0", 0.0, 10.0, kPositions},
      {"negative minimum", -1.0, 10.0, kPositions},
      {"reversed", 10.0, 1.0, kPositions},
      {"infinite maximum", 1.0, inf, kPositions},
      {"not a number", std::nan(""), 1.0, kPositions},
      {"one position", 1.0, 10.0, 1},
  };
  slider.SetRange(0, 7);
  slider.SetPos(3);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double value = 5.0;
    std::vector<double> table(kPositions, 42.0);
    EXPECT_FALSE(UIInitLogSlider(&slider, &value, &c.minimum, &c.maximum, "%.2lf", c.count, table.data()));
    EXPECT_EQ(slider.GetRangeMax(), 7);
    EXPECT_EQ(slider.GetPos(), 3);
    for (double entry : table) ASSERT_EQ(entry, 42.0);
  }
}

TEST_F(LogSliderTest, SizeFormatHasTwoDecimalsMoreThanTheMinimumsDecade) {
  const struct {
    double minimum;
    const char* format;
  } cases[] = {
      {0.05, "%.3lf"},
      {150.0, "%.0lf"},
      {1.0, "%.2lf"},
      {9.99, "%.2lf"},
      {10.0, "%.1lf"},
      {0.5, "%.2lf"},
      {1e-4, "%.6lf"},
      {1e-200, "%.15lf"},
      // No logarithm: two decimals, as for sizes between 1 and 10.
      {0.0, "%.2lf"},
      {-5.0, "%.2lf"},
      {std::nan(""), "%.2lf"},
  };
  for (const auto& c : cases) EXPECT_EQ(UISizeFormat(c.minimum), c.format) << c.minimum;
}

// ---- unit helpers ----

using Units = std::array<int, 8>;  // length, angle, temperature, force, mass, time, energy, frequency

class UnitsHelpersTest : public uistest::FrameTest {
 protected:
  std::optional<ResourceSetter> productResources_;  // the product library for templates and texts
  void SetUp() override {
    FrameTest::SetUp();
    productResources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();  // unit names
  }
  void TearDown() override {
    CaeUnitSystem::SetHostSystem(nullptr);
    host_.reset();
    appControl_.reset();
    productResources_.reset();
    FrameTest::TearDown();
  }
  void SetHost(const Units& u) {
    auto system = std::make_unique<CaeUnitSystem>(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]);
    CaeUnitSystem::SetHostSystem(system.get());
    host_ = std::move(system);
  }
  // Runs the units template modally; `step` acts on it, then it is cancelled.
  void RunUnitsDialog(const std::function<void(CDialog&)>& step) {
    CDialog dialog(IDD_UNITS);
    driver.add([&](CWnd&) {
      step(dialog);
      dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
  }

 private:
  std::unique_ptr<CadAppControl> appControl_;
  std::unique_ptr<CaeUnitSystem> host_;
};

const Units kSIm = {CaeMeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz};
const Units kCgs = {CaeCentimeter, CaeDegree, CaeCelsius, CaeDyne, CaeGram, CaeSecond, CaeCalorie, CaeHertz};
const Units kEnglish = {CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz};
const Units kSIcm = {CaeCentimeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz};

Units With(Units units, int type, int unit) {
  units[static_cast<size_t>(type)] = unit;
  return units;
}

TEST_F(UnitsHelpersTest, HostSystemIsDetectedOnlyWhenAllEightUnitsMatch) {
  const struct {
    const char* name;
    Units units;
    int system;
  } cases[] = {
      {"SI (m)", kSIm, UIUnitsSIm},
      {"cgs", kCgs, UIUnitsCgs},
      {"English", kEnglish, UIUnitsEnglish},
      {"SI (cm)", kSIcm, UIUnitsSIcm},
      {"millimetre", With(kSIm, CaeUtLength, CaeMillimeter), UIUnitsCustom},
      {"radians", With(kSIm, CaeUtAngle, CaeRadian), UIUnitsCustom},
      {"minutes", With(kEnglish, CaeUtTime, CaeMinute), UIUnitsCustom},
      {"rpm", With(kCgs, CaeUtFrequency, CaeRevPerMin), UIUnitsCustom},
      {"English with kelvin", With(kEnglish, CaeUtTemperature, CaeKelvin), UIUnitsCustom},
      {"SI (m) with grams", With(kSIm, CaeUtMass, CaeGram), UIUnitsCustom},
      // Centimetres with SI (cm)'s mass but cgs's force: both candidates drop out.
      {"centimetre mix", With(kSIcm, CaeUtForce, CaeDyne), UIUnitsCustom},
      {"cgs with joules", With(kCgs, CaeUtEnergy, CaeJoule), UIUnitsCustom},
  };
  for (const auto& c : cases) {
    SetHost(c.units);
    EXPECT_EQ(UIUnitsDetectHostSystem(), c.system) << c.name;
  }
}

std::vector<std::string> Entries(CWnd& page, int id) {
  auto* combo = static_cast<CComboBox*>(page.GetDlgItem(id));
  std::vector<std::string> entries;
  for (int i = 0; i < combo->GetCount(); ++i) {
    CString text;
    combo->GetLBText(i, text);
    entries.emplace_back(static_cast<const char*>(text));
  }
  return entries;
}

std::string Selected(CWnd& page, int id) {
  auto* combo = static_cast<CComboBox*>(page.GetDlgItem(id));
  if (combo->GetCurSel() < 0) return "";
  CString text;
  combo->GetLBText(combo->GetCurSel(), text);
  return static_cast<const char*>(text);
}

std::string Text(CWnd& page, int id) {
  CString text;
  page.GetDlgItem(id)->GetWindowText(text);
  return static_cast<const char*>(text);
}

bool Visible(CWnd& page, int id) { return (page.GetDlgItem(id)->GetStyle() & WS_VISIBLE) != 0; }

TEST_F(UnitsHelpersTest, CombosListEachQuantitysUnitsInIdOrder) {
  RunUnitsDialog([&](CDialog& page) {
    UIUnitsFillCombos(&page);
    UIUnitsFillCombos(&page);  // emptied first: no duplicates
    EXPECT_EQ(Entries(page, IDC_UNITS_LENGTH),
              (std::vector<std::string>{"meter", "centimeter", "millimeter", "inch", "foot"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_ANGLE), (std::vector<std::string>{"radian", "degree", "revolution"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_TIME), (std::vector<std::string>{"second", "minute", "hour"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_MASS), (std::vector<std::string>{"kilogram", "gram", "slug", "pound mass"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_FORCE),
              (std::vector<std::string>{"newton", "dyne", "pound force", "kip", "kilogram-force"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_TEMPERATURE),
              (std::vector<std::string>{"kelvin", "celsius", "rankine", "fahrenheit"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_FREQUENCY),
              (std::vector<std::string>{"hertz", "megahertz", "rad/sec", "rev/min"}));
    EXPECT_EQ(Entries(page, IDC_UNITS_ENERGY), (std::vector<std::string>{"joule", "calorie", "kilocalorie", "btu"}));
  });
}

TEST_F(UnitsHelpersTest, PredefinedSystemsShowAsLabelsOrDisabledCombos) {
  RunUnitsDialog([&](CDialog& page) {
    UIUnitsFillCombos(&page);
    // With labels (the options sheet): the unit as " <name>" where the combo was.
    UIUnitsSelectSystem(&page, UIUnitsEnglish, TRUE);
    EXPECT_EQ(Text(page, IDC_UNITS_LENGTH_TEXT), " inch");
    EXPECT_EQ(Text(page, IDC_UNITS_FORCE_TEXT), " pound force");
    EXPECT_EQ(Text(page, IDC_UNITS_ENERGY_TEXT), " btu");
    EXPECT_EQ(Selected(page, IDC_UNITS_MASS), "pound mass");
    EXPECT_FALSE(Visible(page, IDC_UNITS_TEMPERATURE));
    EXPECT_TRUE(Visible(page, IDC_UNITS_TEMPERATURE_TEXT));

    // Custom with labels: the combos come back, holding the last system's units.
    UIUnitsSelectSystem(&page, UIUnitsCustom, TRUE);
    EXPECT_TRUE(Visible(page, IDC_UNITS_TEMPERATURE));
    EXPECT_FALSE(Visible(page, IDC_UNITS_TEMPERATURE_TEXT));
    EXPECT_EQ(Selected(page, IDC_UNITS_TEMPERATURE), "fahrenheit");

    // Without labels (the wizard's page): combos stay, disabled for a predefined system.
    UIUnitsSelectSystem(&page, UIUnitsCgs, FALSE);
    EXPECT_EQ(Selected(page, IDC_UNITS_LENGTH), "centimeter");
    EXPECT_EQ(Selected(page, IDC_UNITS_FORCE), "dyne");
    EXPECT_EQ(Selected(page, IDC_UNITS_ENERGY), "calorie");
    EXPECT_FALSE(page.GetDlgItem(IDC_UNITS_LENGTH)->IsWindowEnabled());
    UIUnitsSelectSystem(&page, UIUnitsCustom, FALSE);
    EXPECT_TRUE(page.GetDlgItem(IDC_UNITS_LENGTH)->IsWindowEnabled());
    EXPECT_EQ(Selected(page, IDC_UNITS_LENGTH), "centimeter");

    // SI (cm) shares centimetres with cgs but keeps SI's force; an unknown system is English.
    UIUnitsSelectSystem(&page, UIUnitsSIcm, FALSE);
    EXPECT_EQ(Selected(page, IDC_UNITS_FORCE), "newton");
    UIUnitsSelectSystem(&page, 17, FALSE);
    EXPECT_EQ(Selected(page, IDC_UNITS_LENGTH), "inch");
  });
}

TEST_F(UnitsHelpersTest, HostSystemShowsTheHostsOwnUnits) {
  SetHost({CaeMillimeter, CaeRadian, CaeCelsius, CaeKip, CaeSlug, CaeHour, CaeKilocalorie, CaeMegahertz});
  RunUnitsDialog([&](CDialog& page) {
    UIUnitsFillCombos(&page);
    UIUnitsSelectSystem(&page, UIUnitsHost, FALSE);
    EXPECT_EQ(Selected(page, IDC_UNITS_LENGTH), "millimeter");
    EXPECT_EQ(Selected(page, IDC_UNITS_ANGLE), "radian");
    EXPECT_EQ(Selected(page, IDC_UNITS_TIME), "hour");
    EXPECT_EQ(Selected(page, IDC_UNITS_MASS), "slug");
    EXPECT_EQ(Selected(page, IDC_UNITS_FORCE), "kip");
    EXPECT_EQ(Selected(page, IDC_UNITS_TEMPERATURE), "celsius");
    EXPECT_EQ(Selected(page, IDC_UNITS_FREQUENCY), "megahertz");
    EXPECT_EQ(Selected(page, IDC_UNITS_ENERGY), "kilocalorie");
  });
  EXPECT_EQ(UIUnitsDetectHostSystem(), UIUnitsCustom);
}

}  // namespace
