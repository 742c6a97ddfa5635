// The condition descriptor table against the table of condition type codes: every code, its
// kind, its unit type and where it may be picked.
#include <gtest/gtest.h>

#include <ostream>

#include "fea/AttLbcDescript.h"

namespace {

enum Pick { V = 1, E = 2, F = 4, O = 8, Model = 0 };

struct Expected {
  AttType code;
  int kind;
  int valueKind;
  int picks;
  CaeUnitType unit;
};

// Geometry column of the condition type table: vertex, edge, face, solid or whole model. Codes
// 11 to 13 are model-level loads (kind 2), 14 the model temperature (kind 3); restraints,
// enforced displacements and fixed temperatures join the restraint set (kind 1); 18 is a film
// coefficient and 19 a volumetric heat generation.
const Expected kTable[] = {
    {1, 0, 2, V, CaeUtForce},
    {2, 0, 2, F, CaeUtForcePerArea},
    {3, 0, 2, E, CaeUtForcePerLength},
    {4, 0, 1, F, CaeUtStress},
    {5, 1, 2, V, CaeUtNone},
    {6, 1, 2, E, CaeUtNone},
    {7, 1, 2, F, CaeUtNone},
    {8, 1, 2, V, CaeUtLength},
    {9, 1, 2, E, CaeUtLength},
    {10, 1, 2, F, CaeUtLength},
    {11, 2, 2, Model, CaeUtAngularVelocity},
    {12, 2, 2, Model, CaeUtAcceleration},
    {13, 2, 2, Model, CaeUtAcceleration},
    {14, 3, 1, Model, CaeUtTemperature},
    {15, 0, 1, V, CaeUtHeatFlow},
    {16, 0, 1, F, CaeUtHeatFlux},
    {17, 0, 1, E, CaeUtHeatFlowPerLength},
    {18, 0, 1, F, CaeUtFilmCoefficient},
    {19, 0, 1, O, CaeUtHeatGeneration},
    {20, 1, 1, V, CaeUtTemperature},
    {21, 1, 1, F, CaeUtTemperature},
    {22, 1, 1, E, CaeUtTemperature},
    {23, 0, 2, F, CaeUtForce},
    {24, 0, 2, E, CaeUtForce},
    {25, 1, 2, F, CaeUtNone},
    {29, 0, 2, F, CaeUtMoment},
};

void PrintTo(const Expected& e, std::ostream* os) { *os << "code " << e.code; }

class DescriptorTable : public testing::TestWithParam<Expected> {};

TEST_P(DescriptorTable, CodeHasItsKindUnitAndPickKinds) {
  const Expected& e = GetParam();
  AttLbcDescriptTable table;
  const AttLbcDescript* d = table.Find(e.code);
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
  if (d.type == 18 || d.kind == 3) return true;
  if (d.kind == 1 && u == CaeUtNone) return true;
  switch (u) {
    case CaeUtForce: case CaeUtForcePerArea: case CaeUtStress: case CaeUtForcePerLength:
    case CaeUtLength: case CaeUtAngularVelocity: case CaeUtAcceleration: case CaeUtTemperature:
    case CaeUtHeatGeneration: case CaeUtHeatFlow: case CaeUtHeatFlowPerLength: case CaeUtHeatFlux:
    case CaeUtMoment:
      return true;
    default:
      return false;
  }
}

TEST_P(DescriptorTable, CodeReachesASymbolRule) {
  AttLbcDescriptTable table;
  const AttLbcDescript* d = table.Find(GetParam().code);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(ReachesSymbolRule(*d)) << "code " << d->type << " unit type " << d->Dimension();
}

INSTANTIATE_TEST_SUITE_P(EveryCode, DescriptorTable, testing::ValuesIn(kTable),
                         [](const testing::TestParamInfo<Expected>& info) {
                           return "Code" + std::to_string(info.param.code);
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
    kept = first.Find(7);
  }
  AttLbcDescriptTable second;
  EXPECT_EQ(second.Find(7), kept);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->type, 7);
}

TEST(DescriptorTableEdges, RestraintsRepeatTheirSymbolPerAxisAndLoadsDoNot) {
  AttLbcDescriptTable table;
  for (AttType code : {5, 6, 7, 25}) EXPECT_NE(table.Find(code)->perAxis, 0) << code;
  for (AttType code : {1, 2, 4, 12, 14, 18, 29}) EXPECT_EQ(table.Find(code)->perAxis, 0) << code;
}

TEST(DescriptorTableEdges, NodalTemperatureDescriptor) {
  AttFlbcDescriptTable table;
  const AttFlbcDescript* d = table.Find(AttFlbcTemperature);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Dimension(), CaeUtTemperature);
  EXPECT_EQ(table.Find(0), nullptr);
}

}  // namespace
