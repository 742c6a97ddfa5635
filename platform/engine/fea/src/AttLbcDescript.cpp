#include "fea/AttLbcDescript.h"

#include <array>

#include "fea/AttCodes.h"

namespace {

enum Pick : int { V = 1, E = 2, F = 4, O = 8 };

constexpr AttLbcDescript make(AttCode code, int kind, int valueKind, int picks, CaeUnitType unit, int perAxis) {
  return AttLbcDescript{ToAttType(code),
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
    make(AttCode::VertexForce, L, W, V, CaeUtForce, 0),
    make(AttCode::FaceDistributedForce, L, W, F, CaeUtForcePerArea, 0),
    make(AttCode::EdgeDistributedForce, L, W, E, CaeUtForcePerLength, 0),
    make(AttCode::Pressure, L, S, F, CaeUtStress, 0),
    make(AttCode::VertexRestraint, R, W, V, CaeUtNone, 1),
    make(AttCode::EdgeRestraint, R, W, E, CaeUtNone, 1),
    make(AttCode::FaceRestraint, R, W, F, CaeUtNone, 1),
    make(AttCode::VertexEnforcedDisplacement, R, W, V, CaeUtLength, 0),
    make(AttCode::EdgeEnforcedDisplacement, R, W, E, CaeUtLength, 0),
    make(AttCode::FaceEnforcedDisplacement, R, W, F, CaeUtLength, 0),
    make(AttCode::Spin, M, W, 0, CaeUtAngularVelocity, 0),
    make(AttCode::Gravity, M, W, 0, CaeUtAcceleration, 0),
    make(AttCode::Acceleration, M, W, 0, CaeUtAcceleration, 0),
    make(AttCode::BodyTemperature, T, S, 0, CaeUtTemperature, 0),
    make(AttCode::VertexHeatFlow, L, S, V, CaeUtHeatFlow, 0),
    make(AttCode::FaceHeatFlux, L, S, F, CaeUtHeatFlux, 0),
    make(AttCode::EdgeHeatFlow, L, S, E, CaeUtHeatFlowPerLength, 0),
    make(AttCode::FaceConvection, L, S, F, CaeUtFilmCoefficient, 0),
    make(AttCode::VolumetricHeatFlow, L, S, O, CaeUtHeatGeneration, 0),
    make(AttCode::VertexFixedTemperature, R, S, V, CaeUtTemperature, 0),
    make(AttCode::FaceFixedTemperature, R, S, F, CaeUtTemperature, 0),
    make(AttCode::EdgeFixedTemperature, R, S, E, CaeUtTemperature, 0),
    make(AttCode::FaceTotalForce, L, W, F, CaeUtForce, 0),
    make(AttCode::EdgeTotalForce, L, W, E, CaeUtForce, 0),
    make(AttCode::PinnedRestraint, R, W, F, CaeUtNone, 1),
    make(AttCode::Moment, L, W, F, CaeUtMoment, 0),
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
