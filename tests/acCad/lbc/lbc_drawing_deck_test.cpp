// Conditions made in the drawing give the deck lines of the same conditions made as engine
// objects: every structural code in a static model, every thermal code in a heat-transfer model,
// on the plate's named faces, edges, vertices and body.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "fea/AnlControl.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "lbc_deck_fixture.h"
#include "mcad/amipart.h"

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

// The deck's conditions: from the first node set of the axes (or the step) to the end, without
// comment lines. The mesh before them is the same in every deck of this test.
std::string conditionText(const std::string& deck) {
  std::istringstream in(deck);
  std::string kept;
  for (std::string line; std::getline(in, line);) {
    if (kept.empty() && line.rfind("*NSET, NSET=TR", 0) != 0 && line.rfind("*STEP", 0) != 0) continue;
    if (line.rfind("**", 0) != 0) kept += line + "\n";
  }
  return kept;
}

// The set of `kind` named `name` in the current drawing.
AttLbcCase* setNamed(bool restraints, const std::string& name) {
  AnlControl* control = AnlControl::GetCurrent();
  for (AttLbcCase* set = restraints ? control->FirstRestraintCase() : control->FirstLoadCase(); set;
       set = restraints ? control->NextRestraintCase() : control->NextLoadCase())
    if (name == set->GetName().Text()) return set;
  return nullptr;
}

TEST_F(DrawingDeckTest, EveryKindOfRestraintWritesTheSameDeckAfterASaveAndAReopen) {
  // Global axes given as none or as a cartesian system at the identity are the same: a pin in
  // them turns about its hole; a pin in axes of its own is a plain restraint in those axes.
  const Row rows[] = {
      {AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global},
      {AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Identity},
      {AttCode::FaceRestraint, Where::Face, "plate/left", {}, "010000", Axes::Rotated},
      {AttCode::FaceRestraint, Where::Face, "hole1/side", {}, "011111", Axes::Cylindric},
      {AttCode::EdgeRestraint, Where::Edge, "plate/bottom|plate/left", {}, "100111", Axes::Global},
      {AttCode::VertexRestraint, Where::Vertex, "plate/back&plate/bottom&plate/left", {}, "000111", Axes::Rotated},
      {AttCode::PinnedRestraint, Where::Face, "hole1/side", {}, "000000", Axes::Global},
      {AttCode::PinnedRestraint, Where::Face, "hole1/side", {}, "000000", Axes::Identity},
      {AttCode::PinnedRestraint, Where::Face, "hole1/side", {}, "001111", Axes::Rotated},
      {AttCode::PinnedRestraint, Where::Face, "hole1/side", {}, "101111", Axes::Cylindric},
      {AttCode::FaceEnforcedDisplacement, Where::Face, "plate/right", {0.02, 0, 0}, "011111", Axes::Cylindric},
  };
  const Row load{AttCode::Pressure, Where::Face, "plate/top", {0, 0, 2}, "000000", Axes::Face};
  const auto setName = [](std::size_t i, const char* kind) { return "R" + std::to_string(i) + kind; };
  makeModel(AnlStress);
  std::vector<std::string> before;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    makeDrawingSets(setName(i, "").c_str(), AnlStress, setName(i, " loads").c_str(), setName(i, " restraints").c_str());
    drawingCondition(rows[i]);
    drawingCondition(load);
    before.push_back(conditionText(writeDeck(*currentLoads(), *currentRestraints())));
    EXPECT_NE(before.back().find("*BOUNDARY"), std::string::npos) << "row " << i << ":\n" << before.back();
  }
  EXPECT_NE(before[6], before[0]) << "a pin about its hole is not a fixed face";
  EXPECT_EQ(before[7], before[6]) << "a pin in explicit global axes is a pin about its hole";
  EXPECT_NE(before[8], before[6]) << "a pin in axes of its own is a plain restraint";

  saveAs("restraints.dwg");
  reopen("restraints.dwg");
  plate = mcadPartIds(db()).back();
  makeModel(AnlStress);
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    AttLbcCase* loads = setNamed(false, setName(i, " loads"));
    AttLbcCase* restraints = setNamed(true, setName(i, " restraints"));
    ASSERT_TRUE(loads && restraints) << i;
    EXPECT_EQ(conditionText(writeDeck(*loads, *restraints)), before[i]) << "row " << i;
  }
}

// A part temperature made through the CAD interface takes the part's temperature first and the
// reference (stress-free) temperature second: the step's *TEMPERATURE holds the first and the
// initial conditions the second, both read back as numbers.
TEST_F(DrawingDeckTest, ThePrescribedTemperatureTakesThePartTemperatureBeforeTheReference) {
  makeModel(AnlStress);
  makeDrawingSets("Warm", AnlStress, "Warm loads", "Warm restraints");
  drawingCondition({AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global});
  drawingCondition({AttCode::BodyTemperature, Where::Model, "", {330, 290, 0}, "000000", Axes::Global});
  const DeckLines deck(writeDeck(*currentLoads(), *currentRestraints()));
  auto uniform = [&deck](const std::string& block) {
    auto found = deck.blocks.find(block);
    if (found == deck.blocks.end()) return std::nan("");
    for (const std::string& line : found->second)
      if (line.rfind("NALL,", 0) == 0) return std::atof(line.c_str() + 5);
    return std::nan("");
  };
  EXPECT_DOUBLE_EQ(uniform("*TEMPERATURE"), 330.0);
  EXPECT_DOUBLE_EQ(uniform("*INITIAL CONDITIONS"), 290.0);
}

}  // namespace
}  // namespace lbctest
