#include "fea/AttLbcDescript.h"

#include <array>

namespace {

enum Pick : int { V = 1, E = 2, F = 4, O = 8 };

constexpr AttLbcDescript make(AttType type, int kind, int valueKind, int picks, CaeUnitType unit,
                              int perAxis) {
  return AttLbcDescript{type,
                        kind,
                        valueKind,
                        0,
                        0,
                        (picks & V) ? 1 : 0,
                        (picks & E) ? 1 : 0,
                        (picks & F) ? 1 : 0,
                        (picks & O) ? 1 : 0,
                        {0, 0, 0, 0, 0},
                        unit,
                        perAxis};
}

constexpr int L = AttKindLoad, R = AttKindRestraint, M = AttKindModelLoad, T = AttKindModelTemp;
constexpr int S = AttValueScalar, W = AttValueVector;

// Restraints and enforced displacements join the restraint set, fixed temperatures too (they
// are the thermal boundary values). Restraints draw one symbol per axis, so the free directions
// can be left out.
constexpr std::array<AttLbcDescript, 26> kDescriptors = {{
    make(1, L, W, V, CaeUtForce, 0),
    make(2, L, W, F, CaeUtForcePerArea, 0),
    make(3, L, W, E, CaeUtForcePerLength, 0),
    make(4, L, S, F, CaeUtStress, 0),
    make(5, R, W, V, CaeUtNone, 1),
    make(6, R, W, E, CaeUtNone, 1),
    make(7, R, W, F, CaeUtNone, 1),
    make(8, R, W, V, CaeUtLength, 0),
    make(9, R, W, E, CaeUtLength, 0),
    make(10, R, W, F, CaeUtLength, 0),
    make(11, M, W, 0, CaeUtAngularVelocity, 0),
    make(12, M, W, 0, CaeUtAcceleration, 0),
    make(13, M, W, 0, CaeUtAcceleration, 0),
    make(14, T, S, 0, CaeUtTemperature, 0),
    make(15, L, S, V, CaeUtHeatFlow, 0),
    make(16, L, S, F, CaeUtHeatFlux, 0),
    make(17, L, S, E, CaeUtHeatFlowPerLength, 0),
    make(18, L, S, F, CaeUtFilmCoefficient, 0),
    make(19, L, S, O, CaeUtHeatGeneration, 0),
    make(20, R, S, V, CaeUtTemperature, 0),
    make(21, R, S, F, CaeUtTemperature, 0),
    make(22, R, S, E, CaeUtTemperature, 0),
    make(23, L, W, F, CaeUtForce, 0),
    make(24, L, W, E, CaeUtForce, 0),
    make(25, R, W, F, CaeUtNone, 1),
    make(29, L, W, F, CaeUtMoment, 0),
}};

constexpr std::array<AttFlbcDescript, 1> kNodalDescriptors = {{
    AttFlbcDescript{AttFlbcTemperature, CaeUtTemperature},
}};

}  // namespace

AttLbcDescriptTable::AttLbcDescriptTable() = default;
AttLbcDescriptTable::~AttLbcDescriptTable() = default;

const AttLbcDescript* AttLbcDescriptTable::Find(AttType type) const {
  for (const AttLbcDescript& d : kDescriptors) {
    if (d.type == type) return &d;
  }
  return nullptr;
}

const AttFlbcDescript* AttFlbcDescriptTable::Find(int type) const {
  for (const AttFlbcDescript& d : kNodalDescriptors) {
    if (d.type == type) return &d;
  }
  return nullptr;
}
