// The condition descriptor table against the table of condition type codes: every code, its
// kind, its unit type and where it may be picked.
#include <gtest/gtest.h>

#include <ostream>

#include "fea/AttCodes.h"
#include "fea/AttLbcDescript.h"

namespace {

enum Pick { V = 1, E = 2, F = 4, O = 8, Model = 0 };

struct Expected {
  AttCode code;
  int kind;
  int valueKind;
  int picks;
  CaeUnitType unit;
};

// Geometry column of the condition type table: vertex, edge, face, solid or whole model. Spin,
// gravity and acceleration are model-level loads (kind 2), the body temperature the model
// temperature (kind 3); restraints, enforced displacements and fixed temperatures join the
// restraint set (kind 1); convection is a film coefficient and volumetric heat flow a heat
// generation.
const Expected kTable[] = {
    {AttCode::VertexForce, 0, 2, V, CaeUtForce},
    {AttCode::FaceDistributedForce, 0, 2, F, CaeUtForcePerArea},
    {AttCode::EdgeDistributedForce, 0, 2, E, CaeUtForcePerLength},
    {AttCode::Pressure, 0, 1, F, CaeUtStress},
    {AttCode::VertexRestraint, 1, 2, V, CaeUtNone},
    {AttCode::EdgeRestraint, 1, 2, E, CaeUtNone},
    {AttCode::FaceRestraint, 1, 2, F, CaeUtNone},
    {AttCode::VertexEnforcedDisplacement, 1, 2, V, CaeUtLength},
    {AttCode::EdgeEnforcedDisplacement, 1, 2, E, CaeUtLength},
    {AttCode::FaceEnforcedDisplacement, 1, 2, F, CaeUtLength},
    {AttCode::Spin, 2, 2, Model, CaeUtAngularVelocity},
    {AttCode::Gravity, 2, 2, Model, CaeUtAcceleration},
    {AttCode::Acceleration, 2, 2, Model, CaeUtAcceleration},
    {AttCode::BodyTemperature, 3, 1, Model, CaeUtTemperature},
    {AttCode::VertexHeatFlow, 0, 1, V, CaeUtHeatFlow},
    {AttCode::FaceHeatFlux, 0, 1, F, CaeUtHeatFlux},
    {AttCode::EdgeHeatFlow, 0, 1, E, CaeUtHeatFlowPerLength},
    {AttCode::FaceConvection, 0, 1, F, CaeUtFilmCoefficient},
    {AttCode::VolumetricHeatFlow, 0, 1, O, CaeUtHeatGeneration},
    {AttCode::VertexFixedTemperature, 1, 1, V, CaeUtTemperature},
    {AttCode::FaceFixedTemperature, 1, 1, F, CaeUtTemperature},
    {AttCode::EdgeFixedTemperature, 1, 1, E, CaeUtTemperature},
    {AttCode::FaceTotalForce, 0, 2, F, CaeUtForce},
    {AttCode::EdgeTotalForce, 0, 2, E, CaeUtForce},
    {AttCode::PinnedRestraint, 1, 2, F, CaeUtNone},
    {AttCode::Moment, 0, 2, F, CaeUtMoment},
};

void PrintTo(const Expected& e, std::ostream* os) {
  *os << "code " << ToAttType(e.code) << " " << AttCodeName(ToAttType(e.code));
}

class DescriptorTable : public testing::TestWithParam<Expected> {};

TEST_P(DescriptorTable, CodeHasItsKindUnitAndPickKinds) {
  const Expected& e = GetParam();
  AttLbcDescriptTable table;
  const AttLbcDescript* d = table.Find(ToAttType(e.code));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->type, e.code);
  EXPECT_EQ(d->kind, e.kind);
  EXPECT_EQ(d->valueKind, e.valueKind);
  EXPECT_EQ(d->Dimension(), e.unit);
  EXPECT_EQ(d->vertexAllowed != 0, (e.picks & V) != 0);
  EXPECT_EQ(d->edgeAllowed != 0, (e.picks & E) != 0);
  EXPECT_EQ(d->faceAllowed != 0, (e.picks & F) != 0);
  EXPECT_EQ(d->objectAllowed != 0, (e.picks & O) != 0);
}

// The symbol rules, first match wins; every code must reach one (a condition without a symbol
// rule cannot be drawn).
bool ReachesSymbolRule(const AttLbcDescript& d) {
  const CaeUnitType u = d.Dimension();
  if (d.type == AttCode::FaceConvection || d.kind == 3) return true;
  if (d.kind == 1 && u == CaeUtNone) return true;
  switch (u) {
    case CaeUtForce:
    case CaeUtForcePerArea:
    case CaeUtStress:
    case CaeUtForcePerLength:
    case CaeUtLength:
    case CaeUtAngularVelocity:
    case CaeUtAcceleration:
    case CaeUtTemperature:
    case CaeUtHeatGeneration:
    case CaeUtHeatFlow:
    case CaeUtHeatFlowPerLength:
    case CaeUtHeatFlux:
    case CaeUtMoment: return true;
    default: return false;
  }
}

TEST_P(DescriptorTable, CodeReachesASymbolRule) {
  AttLbcDescriptTable table;
  const AttLbcDescript* d = table.Find(ToAttType(GetParam().code));
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(ReachesSymbolRule(*d)) << "code " << d->type << " unit type " << d->Dimension();
}

INSTANTIATE_TEST_SUITE_P(EveryCode, DescriptorTable, testing::ValuesIn(kTable),
                         [](const testing::TestParamInfo<Expected>& info) {
                           return "Code" + std::to_string(ToAttType(info.param.code));
                         });

TEST(DescriptorTableEdges, CodesWithoutConditionHaveNoDescriptor) {
  AttLbcDescriptTable table;
  for (AttType code : {0, 26, 27, 28, 30, -1, 1000}) EXPECT_EQ(table.Find(code), nullptr) << code;
}

TEST(DescriptorTableEdges, EveryTableFindsTheSameDescriptors) {
  // Callers keep descriptor pointers from one table and compare them with another's.
  const AttLbcDescript* kept = nullptr;
  {
    AttLbcDescriptTable first;
    kept = first.Find(ToAttType(AttCode::FaceRestraint));
  }
  AttLbcDescriptTable second;
  EXPECT_EQ(second.Find(ToAttType(AttCode::FaceRestraint)), kept);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->type, 7);
}

TEST(DescriptorTableEdges, RestraintsRepeatTheirSymbolPerAxisAndLoadsDoNot) {
  AttLbcDescriptTable table;
  for (AttCode code :
       {AttCode::VertexRestraint, AttCode::EdgeRestraint, AttCode::FaceRestraint, AttCode::PinnedRestraint})
    EXPECT_NE(table.Find(ToAttType(code))->perAxis, 0) << ToAttType(code);
  for (AttCode code : {AttCode::VertexForce, AttCode::FaceDistributedForce, AttCode::Pressure, AttCode::Gravity,
                       AttCode::BodyTemperature, AttCode::FaceConvection, AttCode::Moment})
    EXPECT_EQ(table.Find(ToAttType(code))->perAxis, 0) << ToAttType(code);
}

TEST(DescriptorTableEdges, NodalTemperatureDescriptor) {
  AttFlbcDescriptTable table;
  const AttFlbcDescript* d = table.Find(AttFlbcTemperature);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Dimension(), CaeUtTemperature);
  EXPECT_EQ(table.Find(0), nullptr);
}

}  // namespace
