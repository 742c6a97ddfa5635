// Units: unit names, quantity types, unit systems, the unit-name table and conversions.
//
// A unit system gives one unit to each of the eight base quantities (length, angle, temperature,
// force, mass, time, energy, frequency); every other quantity type is a product of powers of them
// (stress = force / length^2, conductivity = energy / (time length temperature), ...). Conversions
// go through SI: a value is taken to SI with the source system's units and brought back with the
// target's. Temperature (type 2) converts affinely (offsets apply); every other quantity that
// involves temperature (expansion, conductivity, specific heat, film coefficient, temperature
// difference) is per degree and only scales.
//
// The engine keeps two current systems: the native one (the units values are stored in; metres and
// radians with SI units for the rest unless the drawing says otherwise) and the host one (the units
// shown and typed). Neither is owned by the engine: Set*System returns the replaced system, which the
// caller frees, and a system that is destroyed while current unsets itself. With no native system
// set, SI is native; with no host system set, the native system is the host one.
//
// Unknown quantity types and unit ids get a level-1 warning and change nothing (conversions return
// the value unchanged).
#pragma once
#include <cstdint>

#include "amg/CaeString.h"

// Unit ids (0 .. 31). CaeUnitNone (33) means "no unit chosen".
enum CaeUnitName : int {
  CaeMeter = 0,
  CaeCentimeter = 1,
  CaeMillimeter = 2,
  CaeInch = 3,
  CaeFoot = 4,
  CaeRadian = 5,
  CaeDegree = 6,
  CaeRevolution = 7,
  CaeKelvin = 8,
  CaeCelsius = 9,
  CaeRankine = 10,
  CaeFahrenheit = 11,
  CaeNewton = 12,
  CaeDyne = 13,
  CaePoundForce = 14,
  CaeKip = 15,
  CaeKilogramForce = 16,
  CaeKilogram = 17,
  CaeGram = 18,
  CaeSlug = 19,
  CaePoundMass = 20,
  CaeSecond = 21,
  CaeMinute = 22,
  CaeHour = 23,
  CaeJoule = 24,
  CaeCalorie = 25,
  CaeKilocalorie = 26,
  CaeBtu = 27,
  CaeHertz = 28,
  CaeMegahertz = 29,
  CaeRadPerSec = 30,
  CaeRevPerMin = 31,
  CaeUnitNone = 33,
};

// Quantity types. 0 to 7 are the base quantities, in the order of a unit system's units.
enum CaeUnitType : int {
  CaeUtLength = 0,
  CaeUtAngle = 1,
  CaeUtTemperature = 2,
  CaeUtForce = 3,
  CaeUtMass = 4,
  CaeUtTime = 5,
  CaeUtEnergy = 6,
  CaeUtFrequency = 7,
  CaeUtForcePerLength = 8,  // edge distributed force
  CaeUtMoment = 9,          // force x length
  CaeUtArea = 10,
  CaeUtAngularVelocity = 11,  // angle / time
  CaeUtAcceleration = 12,     // length / time^2
  CaeUtVolume = 13,
  CaeUtVelocity = 14,
  CaeUtStress = 15,          // force / area (also pressure)
  CaeUtStrain = 16,          // no unit
  CaeUtPercentOfModel = 17,  // no unit (symbol size as a share of the model)
  CaeUtDensity = 18,         // mass / volume
  CaeUtAngularAcceleration = 19,
  CaeUtExpansion = 20,     // per degree
  CaeUtForcePerArea = 21,  // face distributed force
  CaeUtConductivity = 22,  // energy / (time length degree)
  CaeUtSpecificHeat = 23,  // energy / (mass degree)
  CaeUtAreaMoment = 24,    // length^4
  CaeUtNone = 25,          // no unit, no conversion
  CaeUtHeatFlow = 26,      // energy / time
  CaeUtHeatFlowPerLength = 27,
  CaeUtHeatGeneration = 28,         // energy / (time volume)
  CaeUtHeatFlux = 29,               // energy / (time area)
  CaeUtTemperatureDifference = 30,  // per degree
  CaeUtFilmCoefficient = 31,        // energy / (time area degree)
  CaeUtCount = 32,
};

class CaeUnitSystem {
 public:
  static constexpr int kBaseCount = 8;

  // SI: metre, radian, kelvin, newton, kilogram, second, joule, hertz.
  CaeUnitSystem();
  // The eight units in base-quantity order. An id that does not measure its quantity gets a level-1
  // warning and that quantity keeps its SI unit (CaeUnitNone keeps it without a warning).
  CaeUnitSystem(int length, int angle, int temperature, int force, int mass, int time, int energy, int frequency);
  // Copies hold the same units and are never current.
  CaeUnitSystem(const CaeUnitSystem& other);
  CaeUnitSystem& operator=(const CaeUnitSystem& other);
  virtual ~CaeUnitSystem();

  // Sets the unit of a base quantity (type 0 .. 7). A unit that does not measure that quantity, or
  // another type, gets a level-1 warning and changes nothing; CaeUnitNone changes nothing silently.
  // The result says whether the unit was set.
  bool SetUnit(int type, int unit);
  // The unit of a base quantity; CaeUnitNone for other types.
  int GetUnit(int type) const;

  // Takes `value`, of quantity `type` in this system's units, to SI and back. False (value
  // unchanged) for an unknown type.
  bool ToSI(int type, double value, double& si) const;
  bool FromSI(int type, double si, double& value) const;

  bool operator==(const CaeUnitSystem& other) const;
  bool operator!=(const CaeUnitSystem& other) const { return !(*this == other); }

  // The current systems (see the header comment). Each setter returns the system it replaces.
  static CaeUnitSystem* SetNativeSystem(CaeUnitSystem* system);
  static CaeUnitSystem* SetHostSystem(CaeUnitSystem* system);
  static CaeUnitSystem* GetNativeSystem();
  static CaeUnitSystem* GetHostSystem();
  // The unit of a base quantity in the native / host system (SI when none is set).
  static int GetNativeUnit(int type);
  static int GetHostUnit(int type);

  // The quantity a unit id measures (0 .. 7), or -1 for an unknown id.
  static int BaseTypeOfUnit(int unit);

 private:
  int units_[kBaseCount];
};

// A quantity type with conversions between the native, host and any two systems.
class CaeUnit {
 public:
  CaeUnit() = default;
  explicit CaeUnit(int type) : type_(type) {}

  int Type() const { return type_; }
  void SetType(int type) { type_ = type; }

  double NativeToHost(double value) const { return Convert(type_, value, nullptr, HostOrNull()); }
  double HostToNative(double value) const { return Convert(type_, value, HostOrNull(), nullptr); }
  // From `from` to `to`; a null system stands for the native system.
  double Convert(double value, const CaeUnitSystem* from, const CaeUnitSystem* to) const {
    return Convert(type_, value, from, to);
  }

  static double NativeToHost(int type, double value) { return CaeUnit(type).NativeToHost(value); }
  static double HostToNative(int type, double value) { return CaeUnit(type).HostToNative(value); }
  static double Convert(int type, double value, const CaeUnitSystem* from, const CaeUnitSystem* to);
  static bool IsKnownType(int type) { return type >= 0 && type < CaeUtCount; }

 private:
  static const CaeUnitSystem* HostOrNull();
  int type_ = 0;
};

// The table of unit names: a long and a short name per unit id. Constructing a table makes it the
// current one; destroying the current table unsets it.
class CaeUnitStrTable {
 public:
  CaeUnitStrTable();
  CaeUnitStrTable(const CaeUnitStrTable&) = delete;
  CaeUnitStrTable& operator=(const CaeUnitStrTable&) = delete;
  virtual ~CaeUnitStrTable();

  // Adds the names of a unit id (0 .. 31); adding an id again replaces its names. Other ids get a
  // level-1 warning and are not added.
  void AddUnit(int id, const CaeString& longName, const CaeString& shortName);
  // The names of an id; the empty text when the table has none.
  CaeString IdToLongString(int id) const;
  CaeString IdToShortString(int id) const;
  // The id whose long name, else whose short name, equals `text` exactly; CaeUnitNone when none does.
  int StringToId(const CaeString& text) const;

  static CaeUnitStrTable* GetCurrent();
  // Makes `table` current (null unsets); returns the previous current table.
  static CaeUnitStrTable* SetCurrent(CaeUnitStrTable* table);

 private:
  static constexpr int kIds = 32;
  CaeString long_[kIds];
  CaeString short_[kIds];
  bool present_[kIds] = {};
};
