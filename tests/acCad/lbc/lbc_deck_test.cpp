// Conditions on the sample plate in solver decks: the engine objects on named geometry give the
// totals they ask for, and every code reaches its deck lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "amg/CaeString.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "lbc_deck_fixture.h"

namespace lbctest {
namespace {

class EngineDeckTest : public DeckFixture {
 protected:
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};

  const Row& rowOf(AttCode code) const {
    for (const std::vector<Row>* rows : {&structuralRows(), &thermalRows()})
      for (const Row& row : *rows)
        if (row.code == code) return row;
    ADD_FAILURE() << "no row for " << static_cast<int>(code);
    return structuralRows().front();
  }
  // The deck of one load alone on the plate held at its left face.
  DeckLines alone(AttCode code) {
    AttLbcCase oneLoad{CaeString("One"), AttLbcCase::kLoadSet};
    engineCondition(rowOf(code), oneLoad, restraints);
    return DeckLines(writeDeck(oneLoad, restraints));
  }
};

TEST_F(EngineDeckTest, LoadsOnNamedGeometryAddUpToWhatTheyAsk) {
  makeModel(AnlStress);
  engineCondition({AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global}, loads, restraints);
  const double pi = std::numbers::pi;
  const double topArea = 200.0 * 100.0 - pi * 15.0 * 15.0;
  // Relative tolerances: exact where the geometry is flat; the mesh's polygon of the hole makes
  // the top face's meshed area a little larger than the true one.
  struct Case {
    AttCode code;
    CaeVector total;
    double tolerance;
  } cases[] = {
      {AttCode::VertexForce, {0, 0, 50}, 1e-9},
      {AttCode::FaceTotalForce, {0, -300, 0}, 1e-9},
      {AttCode::EdgeTotalForce, {0, 0, -40}, 1e-9},
      {AttCode::FaceDistributedForce, {0, 0.2 * 200.0 * 10.0, 0}, 1e-9},
      {AttCode::EdgeDistributedForce, {0, 0, -1.5 * 100.0}, 1e-9},
      {AttCode::Pressure, {0, 0, -2.0 * topArea}, 5e-3},  // pushes on the top face, into the plate
      {AttCode::Moment, {0, 0, 0}, 1e-9},                 // a pure couple
  };
  for (const Case& c : cases) {
    const DeckLines deck = alone(c.code);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(deck.force[k], c.total[k], c.tolerance * (1.0 + std::abs(c.total[k])))
          << "code " << static_cast<int>(c.code) << " direction " << k;
  }
}

TEST_F(EngineDeckTest, EveryStructuralAndThermalCodeReachesItsDeckLines) {
  makeModel(AnlStress);
  for (const Row& row : structuralRows()) engineCondition(row, loads, restraints);
  const DeckLines structural(writeDeck(loads, restraints));
  std::string dload;
  for (const std::string& line : structural.blocks.at("*DLOAD")) dload += line + "\n";
  EXPECT_NE(dload.find("GRAV"), std::string::npos);
  EXPECT_NE(dload.find("CENTRIF"), std::string::npos);
  EXPECT_TRUE(structural.blocks.count("*TRANSFORM")) << "the pinned restraint turns its nodes about the hole's axis";
  for (int dof = 1; dof <= 3; ++dof)
    EXPECT_TRUE(std::any_of(structural.boundary.begin(), structural.boundary.end(), [&](const auto& entry) {
      return entry.second == dof;
    })) << dof;

  conditions.clear();
  AttLbcCase heatLoads{CaeString("Heat"), AttLbcCase::kLoadSet};
  AttLbcCase heatBounds{CaeString("Fixed"), AttLbcCase::kRestraintSet};
  makeModel(AnlHeatTransfer);
  for (const Row& row : thermalRows()) engineCondition(row, heatLoads, heatBounds);
  const DeckLines thermal(writeDeck(heatLoads, heatBounds));
  for (const char* block : {"*FILM", "*DFLUX", "*CFLUX", "*BOUNDARY"})
    EXPECT_TRUE(thermal.blocks.count(block)) << block;
  // Fixed temperatures are boundary values of degree of freedom 11.
  for (const auto& [node, dof] : thermal.boundary) EXPECT_EQ(dof, 11);
}

// A thermal value is a scalar: given on the axes of its face (as the restraint and load wizards
// give it), it reaches the deck as typed, exactly as with global axes.
TEST_F(EngineDeckTest, ThermalValuesOnFaceAxesAreNotTurned) {
  makeModel(AnlHeatTransfer);
  const struct {
    Row row;
    const char* block;
  } cases[] = {
      {{AttCode::FaceFixedTemperature, Where::Face, "plate/left", {310, 0, 0}, "000000", Axes::Global}, "*BOUNDARY"},
      {{AttCode::FaceHeatFlux, Where::Face, "plate/top", {0.01, 0, 0}, "000000", Axes::Global}, "*DFLUX"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    std::vector<std::string> lines[2];
    for (const Axes axes : {Axes::Global, Axes::Face}) {
      AttLbcCase heat{CaeString("Heat"), AttLbcCase::kLoadSet};
      AttLbcCase fixed{CaeString("Fixed"), AttLbcCase::kRestraintSet};
      Row row = c.row;
      row.axes = axes;
      engineCondition(row, heat, fixed);
      if (row.code != AttCode::FaceFixedTemperature)
        engineCondition({AttCode::FaceFixedTemperature, Where::Face, "plate/left", {300, 0, 0}, "000000", Axes::Global},
                        heat, fixed);
      const DeckLines deck(writeDeck(heat, fixed));
      ASSERT_TRUE(deck.blocks.count(c.block)) << c.block;
      lines[axes == Axes::Face ? 1 : 0] = deck.blocks.at(c.block);
    }
    EXPECT_FALSE(lines[0].empty());
    EXPECT_EQ(lines[1], lines[0]);
  }
}

}  // namespace
}  // namespace lbctest
