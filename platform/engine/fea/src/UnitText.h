// Short unit texts of quantity types in the host system, from the current unit-name table.
#pragma once

#include "amg/CaeString.h"
#include "amg/CaeUnit.h"

namespace fea_detail {

// The host unit's short name for base quantities, a composed text for the derived quantities the
// analysis library names (area, volume, stress, ...), and the empty text for quantities without
// a unit or without a current unit-name table.
CaeString UnitTypeText(CaeUnitType type);

}  // namespace fea_detail
