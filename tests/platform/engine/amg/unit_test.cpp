#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "amg/CaeUnit.h"
#include "engine_fixture.h"

namespace {

using Units = std::array<int, 8>;  // length, angle, temperature, force, mass, time, energy, frequency

constexpr Units kSI = {CaeMeter, CaeRadian, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz};
constexpr Units kMillimetre = {CaeMillimeter, CaeDegree, CaeKelvin, CaeNewton,
                               CaeKilogram,   CaeSecond, CaeJoule,  CaeHertz};
constexpr Units kCgs = {CaeCentimeter, CaeDegree, CaeCelsius, CaeDyne, CaeGram, CaeSecond, CaeCalorie, CaeHertz};
constexpr Units kInch = {CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz};
constexpr Units kFootHour = {CaeFoot,      CaeDegree, CaeFahrenheit, CaePoundForce,
                             CaePoundMass, CaeHour,   CaeBtu,        CaeRevPerMin};

CaeUnitSystem Make(const Units& u) { return CaeUnitSystem(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]); }

struct ConversionCase {
  const char* what;
  int type;
  Units from;
  Units to;
  double value;
  double expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.what; }

class ConversionTest : public EngineTest, public testing::WithParamInterface<ConversionCase> {};

// Expected values are published conversion factors, checked to 1e-7 relative, in both directions.
TEST_P(ConversionTest, ConvertsBothWaysBetweenSystems) {
  const ConversionCase& c = GetParam();
  CaeUnitSystem from = Make(c.from), to = Make(c.to);
  double tolerance = 1e-7 * std::max(1.0, std::fabs(c.expected));
  EXPECT_NEAR(CaeUnit::Convert(c.type, c.value, &from, &to), c.expected, tolerance);
  EXPECT_NEAR(CaeUnit(c.type).Convert(c.expected, &to, &from), c.value, 1e-7 * std::max(1.0, std::fabs(c.value)));
  EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Quantities, ConversionTest,
    testing::Values(ConversionCase{"metre to inch", CaeUtLength, kSI, kInch, 1.0, 39.37007874015748},
                    ConversionCase{"millimetre to inch", CaeUtLength, kMillimetre, kInch, 25.4, 1.0},
                    ConversionCase{"radian to degree", CaeUtAngle, kSI, kMillimetre, std::numbers::pi, 180.0},
                    ConversionCase{"kelvin to celsius", CaeUtTemperature, kSI, kCgs, 300.0, 26.85},
                    ConversionCase{"celsius to fahrenheit", CaeUtTemperature, kCgs, kInch, 100.0, 212.0},
                    ConversionCase{"fahrenheit to kelvin", CaeUtTemperature, kInch, kSI, 32.0, 273.15},
                    ConversionCase{"minus forty meets", CaeUtTemperature, kCgs, kInch, -40.0, -40.0},
                    ConversionCase{"temperature difference", CaeUtTemperatureDifference, kSI, kInch, 10.0, 18.0},
                    ConversionCase{"expansion per degree", CaeUtExpansion, kSI, kInch, 1.8e-5, 1.0e-5},
                    ConversionCase{"conductivity per degree", CaeUtConductivity, kSI, kFootHour, 1.0, 0.5777893},
                    ConversionCase{"specific heat per degree", CaeUtSpecificHeat, kSI, kInch, 4186.8, 1.0},
                    ConversionCase{"specific heat in calories", CaeUtSpecificHeat, kSI, kCgs, 4186.8, 1.0},
                    ConversionCase{"film coefficient", CaeUtFilmCoefficient, kSI, kFootHour, 1.0, 0.1761102},
                    ConversionCase{"pascal to megapascal", CaeUtStress, kSI, kMillimetre, 1.0e6, 1.0},
                    ConversionCase{"psi", CaeUtStress, kInch, kSI, 1.0, 6894.757293168},
                    ConversionCase{"steel density", CaeUtDensity, kSI, kMillimetre, 7850.0, 7.85e-6},
                    ConversionCase{"pound per cubic inch", CaeUtDensity, kInch, kSI, 1.0, 27679.9047102},
                    ConversionCase{"gravity", CaeUtAcceleration, kSI, kInch, 9.80665, 386.0885826771653},
                    ConversionCase{"pound force", CaeUtForce, kInch, kSI, 1.0, 4.4482216152605},
                    ConversionCase{"dyne", CaeUtForce, kCgs, kSI, 1.0e5, 1.0},
                    ConversionCase{"btu", CaeUtEnergy, kInch, kSI, 1.0, 1055.05585262},
                    ConversionCase{"hertz to rpm", CaeUtFrequency, kSI, kFootHour, 1.0, 60.0},
                    ConversionCase{"heat generation", CaeUtHeatGeneration, kSI, kMillimetre, 1.0e9, 1.0},
                    ConversionCase{"moment", CaeUtMoment, kSI, kMillimetre, 1.0, 1000.0},
                    ConversionCase{"no unit", CaeUtNone, kSI, kInch, 3.5, 3.5},
                    ConversionCase{"percent of model", CaeUtPercentOfModel, kSI, kInch, 5.0, 5.0}),
    [](const testing::TestParamInfo<ConversionCase>& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

using UnitTest = EngineTest;

TEST_F(UnitTest, NativeAndHostConversionsFollowTheCurrentSystems) {
  // Without systems both are SI: nothing changes.
  EXPECT_EQ(CaeUnit(CaeUtTemperature).NativeToHost(300.0), 300.0);
  CaeUnitSystem native = Make(kMillimetre);
  CaeUnitSystem host = Make(kInch);
  EXPECT_EQ(CaeUnitSystem::SetNativeSystem(&native), nullptr);
  EXPECT_EQ(CaeUnitSystem::SetHostSystem(&host), nullptr);
  EXPECT_NEAR(CaeUnit::NativeToHost(CaeUtLength, 25.4), 1.0, 1e-12);
  EXPECT_NEAR(CaeUnit::HostToNative(CaeUtTemperature, 212.0), 373.15, 1e-9);
  EXPECT_NEAR(CaeUnit(CaeUtStress).HostToNative(1.0), 6894.757293168e-6, 1e-12);
  // A system whose temperature unit is kelvin, into the host system.
  CaeUnitSystem kelvin;
  EXPECT_NEAR(CaeUnit(CaeUtTemperature).Convert(298.15, &kelvin, &host), 77.0, 1e-9);
  // A null system is the native one.
  EXPECT_NEAR(CaeUnit::Convert(CaeUtLength, 1.0, nullptr, &kelvin), 0.001, 1e-15);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtTemperature), CaeFahrenheit);
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMillimeter);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtStress), CaeUnitNone);
}

TEST_F(UnitTest, BadUnitsAndTypesWarnAndChangeNothing) {
  CaeUnitSystem system;
  EXPECT_FALSE(system.SetUnit(CaeUtLength, CaeKelvin));
  EXPECT_FALSE(system.SetUnit(CaeUtStress, CaeMeter));
  EXPECT_FALSE(system.SetUnit(CaeUtLength, 40));
  EXPECT_EQ(MessagesAt(1).size(), 3u);
  EXPECT_EQ(system.GetUnit(CaeUtLength), CaeMeter);
  EXPECT_FALSE(system.SetUnit(CaeUtLength, CaeUnitNone));  // "not chosen": silently ignored
  EXPECT_EQ(MessagesAt(1).size(), 3u);
  EXPECT_TRUE(system.SetUnit(CaeUtLength, CaeFoot));
  EXPECT_EQ(system.GetUnit(CaeUtLength), CaeFoot);

  Messages().clear();
  EXPECT_EQ(CaeUnit::Convert(99, 5.0, &system, nullptr), 5.0);
  EXPECT_EQ(CaeUnit(-1).NativeToHost(5.0), 5.0);
  ASSERT_EQ(MessagesAt(1).size(), 2u);
  EXPECT_EQ(MessagesAt(1)[0], "Unknown unit type 99; the value was not converted.\r\n");

  CaeUnitSystem partly(CaeMillimeter, CaeNewton, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz);
  EXPECT_EQ(partly.GetUnit(CaeUtLength), CaeMillimeter);
  EXPECT_EQ(partly.GetUnit(CaeUtAngle), CaeRadian);  // newton is no angle: SI kept
}

TEST_F(UnitTest, CurrentSystemsAndTablesAreUnsetByTheirDestructor) {
  auto* first = new CaeUnitSystem();
  auto* second = new CaeUnitSystem(Make(kInch));
  CaeUnitSystem::SetNativeSystem(first);
  EXPECT_EQ(CaeUnitSystem::SetNativeSystem(second), first);  // the caller frees the replaced one
  delete first;
  EXPECT_EQ(CaeUnitSystem::GetNativeSystem(), second);
  CaeUnitSystem::SetHostSystem(second);
  delete second;
  EXPECT_EQ(CaeUnitSystem::GetNativeSystem(), nullptr);
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), nullptr);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeMeter);

  {
    CaeUnitSystem copy(Make(kInch));
    CaeUnitSystem::SetHostSystem(&copy);
    CaeUnitSystem unrelated(copy);  // a copy is not current; its end unsets nothing
  }
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), nullptr);

  auto* table = new CaeUnitStrTable();
  EXPECT_EQ(CaeUnitStrTable::GetCurrent(), table);
  delete table;
  EXPECT_EQ(CaeUnitStrTable::GetCurrent(), nullptr);
}

TEST_F(UnitTest, UnitNameTableMapsIdsAndNames) {
  CaeUnitStrTable table;
  table.AddUnit(CaeMeter, "meter", "m");
  table.AddUnit(CaeMillimeter, "millimeter", "mm");
  table.AddUnit(CaeKelvin, "kelvin", "degK");
  table.AddUnit(CaeMillimeter, "millimetre", "mm");  // replaces
  table.AddUnit(32, "bad", "bad");
  EXPECT_EQ(MessagesAt(1).size(), 1u);
  EXPECT_EQ(table.IdToLongString(CaeMillimeter).Str(), "millimetre");
  EXPECT_EQ(table.IdToShortString(CaeKelvin).Str(), "degK");
  EXPECT_EQ(table.IdToShortString(CaeInch).Str(), "");
  EXPECT_EQ(table.IdToLongString(CaeUnitNone).Str(), "");
  EXPECT_EQ(table.StringToId("meter"), CaeMeter);
  EXPECT_EQ(table.StringToId("mm"), CaeMillimeter);
  EXPECT_EQ(table.StringToId("Meter"), CaeUnitNone);  // exact, case-sensitive
  EXPECT_EQ(table.StringToId("millimeter"), CaeUnitNone);
}

}  // namespace
