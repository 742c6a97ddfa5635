// Conditions made in the drawing give the deck lines of the same conditions made as engine
// objects: every structural code in a static model, every thermal code in a heat-transfer model,
// on the plate's named faces, edges, vertices and body.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "lbc_deck_fixture.h"

namespace lbctest {
namespace {

class DrawingDeckTest : public DeckFixture {};

void expectSameConditionLines(const DeckLines& drawing, const DeckLines& engine, const std::string& what) {
  EXPECT_EQ(drawing.blocks.size(), engine.blocks.size()) << what;
  for (const auto& [block, lines] : engine.blocks) {
    auto found = drawing.blocks.find(block);
    ASSERT_NE(found, drawing.blocks.end()) << what << ": " << block;
    EXPECT_EQ(found->second, lines) << what << ": " << block;
  }
  for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(drawing.force[k], engine.force[k]) << what << " direction " << k;
  EXPECT_EQ(drawing.boundary, engine.boundary) << what;
  EXPECT_DOUBLE_EQ(drawing.heat, engine.heat) << what;
}

TEST_F(DrawingDeckTest, EveryCodeMadeInTheDrawingWritesTheEngineObjectsLines) {
  struct Kind {
    const char* name;
    AnlType type;
    const std::vector<Row>& rows;
  } kinds[] = {{"static", AnlStress, structuralRows()}, {"heat transfer", AnlHeatTransfer, thermalRows()}};
  for (const Kind& kind : kinds) {
    makeModel(kind.type);
    AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
    AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
    for (const Row& row : kind.rows) engineCondition(row, loads, restraints);
    const DeckLines engine(writeDeck(loads, restraints));
    ASSERT_FALSE(engine.blocks.empty()) << kind.name;

    makeDrawingSets(kind.name, kind.type, (std::string(kind.name) + " loads").c_str(),
                    (std::string(kind.name) + " restraints").c_str());
    for (const Row& row : kind.rows) drawingCondition(row);
    const DeckLines drawing(writeDeck(*currentLoads(), *currentRestraints()));
    expectSameConditionLines(drawing, engine, kind.name);
    conditions.clear();
  }
}

TEST_F(DrawingDeckTest, APressureGivenAsTheLoadPageDoesWritesTheSameDeck) {
  // The load page gives (0, 0, p) in face axes; the study tool gives (p, 0, 0) in global axes.
  makeModel(AnlStress);
  const Row restraint{AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global};
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  engineCondition(restraint, loads, restraints);
  engineCondition({AttCode::Pressure, Where::Face, "plate/top", {2, 0, 0}, "000000", Axes::Global}, loads, restraints);
  const DeckLines engine(writeDeck(loads, restraints));

  makeDrawingSets("Page", AnlStress, "Page loads", "Page restraints");
  drawingCondition(restraint);
  drawingCondition({AttCode::Pressure, Where::Face, "plate/top", {0, 0, 2}, "000000", Axes::Face});
  const DeckLines drawing(writeDeck(*currentLoads(), *currentRestraints()));
  expectSameConditionLines(drawing, engine, "pressure");
  EXPECT_LT(engine.force[2], 0.0) << "a positive pressure pushes into the top face";
}

}  // namespace
}  // namespace lbctest
