#include "amg/CaeUnit.h"

#include <cmath>
#include <numbers>

#include "EngineMessages.h"
#include "EngineState.h"
#include "amg/CaeMsgCall.h"

namespace {

constexpr int kSiUnits[CaeUnitSystem::kBaseCount] = {CaeMeter,    CaeRadian, CaeKelvin, CaeNewton,
                                                     CaeKilogram, CaeSecond, CaeJoule,  CaeHertz};

// How a unit relates to SI: si = value * scale + offset (offset only for temperatures).
struct UnitDef {
  int baseType;
  double scale;
  double offset;
};

constexpr double kPi = std::numbers::pi;
constexpr double kPoundForce = 4.4482216152605;
constexpr double kFoot = 0.3048;

constexpr UnitDef kUnits[32] = {
    {CaeUtLength, 1.0, 0.0},
    {CaeUtLength, 0.01, 0.0},
    {CaeUtLength, 0.001, 0.0},
    {CaeUtLength, 0.0254, 0.0},
    {CaeUtLength, kFoot, 0.0},
    {CaeUtAngle, 1.0, 0.0},
    {CaeUtAngle, kPi / 180.0, 0.0},
    {CaeUtAngle, 2.0 * kPi, 0.0},
    {CaeUtTemperature, 1.0, 0.0},
    {CaeUtTemperature, 1.0, 273.15},
    {CaeUtTemperature, 5.0 / 9.0, 0.0},
    {CaeUtTemperature, 5.0 / 9.0, 459.67 * 5.0 / 9.0},
    {CaeUtForce, 1.0, 0.0},
    {CaeUtForce, 1e-5, 0.0},
    {CaeUtForce, kPoundForce, 0.0},
    {CaeUtForce, 1000.0 * kPoundForce, 0.0},
    {CaeUtForce, 9.80665, 0.0},
    {CaeUtMass, 1.0, 0.0},
    {CaeUtMass, 0.001, 0.0},
    {CaeUtMass, kPoundForce / kFoot, 0.0},
    {CaeUtMass, 0.45359237, 0.0},
    {CaeUtTime, 1.0, 0.0},
    {CaeUtTime, 60.0, 0.0},
    {CaeUtTime, 3600.0, 0.0},
    {CaeUtEnergy, 1.0, 0.0},
    {CaeUtEnergy, 4.1868, 0.0},
    {CaeUtEnergy, 4186.8, 0.0},
    {CaeUtEnergy, 1055.05585262, 0.0},
    {CaeUtFrequency, 1.0, 0.0},
    {CaeUtFrequency, 1e6, 0.0},
    {CaeUtFrequency, 1.0 / (2.0 * kPi), 0.0},
    {CaeUtFrequency, 1.0 / 60.0, 0.0},
};

// Powers of the base quantities (length, angle, temperature, force, mass, time, energy, frequency)
// that make up each quantity type.
constexpr signed char kDimensions[CaeUtCount][CaeUnitSystem::kBaseCount] = {
    {1, 0, 0, 0, 0, 0, 0, 0},     // 0 length
    {0, 1, 0, 0, 0, 0, 0, 0},     // 1 angle
    {0, 0, 1, 0, 0, 0, 0, 0},     // 2 temperature (affine, handled apart)
    {0, 0, 0, 1, 0, 0, 0, 0},     // 3 force
    {0, 0, 0, 0, 1, 0, 0, 0},     // 4 mass
    {0, 0, 0, 0, 0, 1, 0, 0},     // 5 time
    {0, 0, 0, 0, 0, 0, 1, 0},     // 6 energy
    {0, 0, 0, 0, 0, 0, 0, 1},     // 7 frequency
    {-1, 0, 0, 1, 0, 0, 0, 0},    // 8 force per length
    {1, 0, 0, 1, 0, 0, 0, 0},     // 9 moment
    {2, 0, 0, 0, 0, 0, 0, 0},     // 10 area
    {0, 1, 0, 0, 0, -1, 0, 0},    // 11 angular velocity
    {1, 0, 0, 0, 0, -2, 0, 0},    // 12 acceleration
    {3, 0, 0, 0, 0, 0, 0, 0},     // 13 volume
    {1, 0, 0, 0, 0, -1, 0, 0},    // 14 velocity
    {-2, 0, 0, 1, 0, 0, 0, 0},    // 15 stress
    {0, 0, 0, 0, 0, 0, 0, 0},     // 16 strain
    {0, 0, 0, 0, 0, 0, 0, 0},     // 17 percent of model
    {-3, 0, 0, 0, 1, 0, 0, 0},    // 18 density
    {0, 1, 0, 0, 0, -2, 0, 0},    // 19 angular acceleration
    {0, 0, -1, 0, 0, 0, 0, 0},    // 20 expansion
    {-2, 0, 0, 1, 0, 0, 0, 0},    // 21 force per area
    {-1, 0, -1, 0, 0, -1, 1, 0},  // 22 conductivity
    {0, 0, -1, 0, -1, 0, 1, 0},   // 23 specific heat
    {4, 0, 0, 0, 0, 0, 0, 0},     // 24 area moment
    {0, 0, 0, 0, 0, 0, 0, 0},     // 25 none
    {0, 0, 0, 0, 0, -1, 1, 0},    // 26 heat flow
    {-1, 0, 0, 0, 0, -1, 1, 0},   // 27 heat flow per length
    {-3, 0, 0, 0, 0, -1, 1, 0},   // 28 heat generation
    {-2, 0, 0, 0, 0, -1, 1, 0},   // 29 heat flux
    {0, 0, 1, 0, 0, 0, 0, 0},     // 30 temperature difference
    {-2, 0, -1, 0, 0, -1, 1, 0},  // 31 film coefficient
};

CaeUnitSystem* nativeSystem = nullptr;
CaeUnitSystem* hostSystem = nullptr;
CaeUnitStrTable* currentTable = nullptr;

bool ValidUnitId(int unit) { return unit >= 0 && unit < 32; }

void WarnUnknownType(int type) { CaeMsgCall::Message(1, amg_msg::kUnknownUnitType, {CaeString::FromInt(type)}); }

void WarnMismatch(int unit, int type) {
  CaeMsgCall::Message(1, amg_msg::kUnitMismatch, {CaeString::FromInt(unit), CaeString::FromInt(type)});
}

const CaeUnitSystem& SiSystem() {
  static const CaeUnitSystem si;
  return si;
}

const CaeUnitSystem& Resolve(const CaeUnitSystem* system) {
  if (system) return *system;
  if (nativeSystem) return *nativeSystem;
  return SiSystem();
}

}  // namespace

CaeUnitSystem::CaeUnitSystem() {
  for (int i = 0; i < kBaseCount; ++i) units_[i] = kSiUnits[i];
}

CaeUnitSystem::CaeUnitSystem(int length, int angle, int temperature, int force, int mass, int time, int energy,
                             int frequency)
    : CaeUnitSystem() {
  const int given[kBaseCount] = {length, angle, temperature, force, mass, time, energy, frequency};
  for (int i = 0; i < kBaseCount; ++i) SetUnit(i, given[i]);
}

CaeUnitSystem::CaeUnitSystem(const CaeUnitSystem& other) {
  for (int i = 0; i < kBaseCount; ++i) units_[i] = other.units_[i];
}

CaeUnitSystem& CaeUnitSystem::operator=(const CaeUnitSystem& other) {
  for (int i = 0; i < kBaseCount; ++i) units_[i] = other.units_[i];
  return *this;
}

CaeUnitSystem::~CaeUnitSystem() {
  if (nativeSystem == this) nativeSystem = nullptr;
  if (hostSystem == this) hostSystem = nullptr;
}

int CaeUnitSystem::BaseTypeOfUnit(int unit) { return ValidUnitId(unit) ? kUnits[unit].baseType : -1; }

bool CaeUnitSystem::SetUnit(int type, int unit) {
  if (unit == CaeUnitNone) return false;  // "no unit chosen" leaves the unit as it is
  if (type < 0 || type >= kBaseCount || BaseTypeOfUnit(unit) != type) {
    WarnMismatch(unit, type);
    return false;
  }
  units_[type] = unit;
  return true;
}

int CaeUnitSystem::GetUnit(int type) const {
  return type >= 0 && type < kBaseCount ? units_[type] : static_cast<int>(CaeUnitNone);
}

bool CaeUnitSystem::ToSI(int type, double value, double& si) const {
  if (!CaeUnit::IsKnownType(type)) return false;
  if (type == CaeUtTemperature) {
    const UnitDef& unit = kUnits[units_[CaeUtTemperature]];
    si = value * unit.scale + unit.offset;
    return true;
  }
  double factor = 1.0;
  for (int b = 0; b < kBaseCount; ++b)
    if (kDimensions[type][b] != 0) factor *= std::pow(kUnits[units_[b]].scale, kDimensions[type][b]);
  si = value * factor;
  return true;
}

bool CaeUnitSystem::FromSI(int type, double si, double& value) const {
  if (!CaeUnit::IsKnownType(type)) return false;
  if (type == CaeUtTemperature) {
    const UnitDef& unit = kUnits[units_[CaeUtTemperature]];
    value = (si - unit.offset) / unit.scale;
    return true;
  }
  double unitInSi = 0.0;
  ToSI(type, 1.0, unitInSi);
  value = si / unitInSi;
  return true;
}

bool CaeUnitSystem::operator==(const CaeUnitSystem& other) const {
  for (int i = 0; i < kBaseCount; ++i)
    if (units_[i] != other.units_[i]) return false;
  return true;
}

CaeUnitSystem* CaeUnitSystem::SetNativeSystem(CaeUnitSystem* system) {
  CaeUnitSystem* previous = nativeSystem;
  nativeSystem = system;
  return previous;
}

CaeUnitSystem* CaeUnitSystem::SetHostSystem(CaeUnitSystem* system) {
  CaeUnitSystem* previous = hostSystem;
  hostSystem = system;
  return previous;
}

CaeUnitSystem* CaeUnitSystem::GetNativeSystem() { return nativeSystem; }
CaeUnitSystem* CaeUnitSystem::GetHostSystem() { return hostSystem; }

int CaeUnitSystem::GetNativeUnit(int type) { return Resolve(nullptr).GetUnit(type); }

int CaeUnitSystem::GetHostUnit(int type) { return Resolve(hostSystem).GetUnit(type); }

double CaeUnit::Convert(int type, double value, const CaeUnitSystem* from, const CaeUnitSystem* to) {
  if (!IsKnownType(type)) {
    WarnUnknownType(type);
    return value;
  }
  const CaeUnitSystem& source = Resolve(from);
  const CaeUnitSystem& target = Resolve(to);
  if (&source == &target || source == target) return value;
  double si = 0.0;
  double result = value;
  source.ToSI(type, value, si);
  target.FromSI(type, si, result);
  return result;
}

const CaeUnitSystem* CaeUnit::HostOrNull() { return hostSystem; }

CaeUnitStrTable::CaeUnitStrTable() { currentTable = this; }

CaeUnitStrTable::~CaeUnitStrTable() {
  if (currentTable == this) currentTable = nullptr;
}

void CaeUnitStrTable::AddUnit(int id, const CaeString& longName, const CaeString& shortName) {
  if (!ValidUnitId(id)) {
    CaeMsgCall::Message(1, amg_msg::kUnknownUnitId, {CaeString::FromInt(id)});
    return;
  }
  long_[id] = longName;
  short_[id] = shortName;
  present_[id] = true;
}

CaeString CaeUnitStrTable::IdToLongString(int id) const {
  return ValidUnitId(id) && present_[id] ? long_[id] : CaeString();
}

CaeString CaeUnitStrTable::IdToShortString(int id) const {
  return ValidUnitId(id) && present_[id] ? short_[id] : CaeString();
}

int CaeUnitStrTable::StringToId(const CaeString& text) const {
  for (int id = 0; id < kIds; ++id)
    if (present_[id] && long_[id] == text) return id;
  for (int id = 0; id < kIds; ++id)
    if (present_[id] && short_[id] == text) return id;
  return CaeUnitNone;
}

CaeUnitStrTable* CaeUnitStrTable::GetCurrent() { return currentTable; }

CaeUnitStrTable* CaeUnitStrTable::SetCurrent(CaeUnitStrTable* table) {
  CaeUnitStrTable* previous = currentTable;
  currentTable = table;
  return previous;
}

void amg_state::ResetUnits() {
  nativeSystem = nullptr;
  hostSystem = nullptr;
  currentTable = nullptr;
}
