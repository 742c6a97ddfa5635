#include "UnitText.h"

namespace fea_detail {
namespace {

CaeString Base(const CaeUnitStrTable& table, int type) {
  return table.IdToShortString(CaeUnitSystem::GetHostUnit(type));
}

}  // namespace

CaeString UnitTypeText(CaeUnitType type) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!table) return CaeString();
  if (type >= CaeUtLength && type <= CaeUtFrequency) return Base(*table, type);
  const CaeString length = Base(*table, CaeUtLength);
  const CaeString force = Base(*table, CaeUtForce);
  switch (type) {
    case CaeUtArea: return length + "^2";
    case CaeUtVolume: return length + "^3";
    case CaeUtStress:
    case CaeUtForcePerArea: return force + "/" + length + "^2";
    case CaeUtForcePerLength: return force + "/" + length;
    case CaeUtMoment: return force + "*" + length;
    case CaeUtDensity: return Base(*table, CaeUtMass) + "/" + length + "^3";
    default: return CaeString();
  }
}

}  // namespace fea_detail
