// Condition visuals on the sample plate (200 x 100 x 10 mm, a 30 mm hole through its middle): the
// symbol of each condition type, where and which way it is placed, the pressure convention, the
// drawing of faces and bodies, a hidden part and the display flags, placements kept through a
// change of the part; and a picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "cadInterface/CadInterface.h"
#include "mcad/amikey.h"
#include "png_image.h"
#include "symbol_fixture.h"
#include "topo/acTopoRef.h"
#include "util/acSymbol.h"

namespace symboltest {
namespace {

using topotest::childrenOf;

const CaeVector kCorner(0, 0, 10);  // the vertex front & left & top

class ConditionVisTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    plate = loadPart("plate_with_hole");
    vertex = refOf(plate, Ami::kVertexKey, "plate/front&plate/left&plate/top");
    edge = refOf(plate, Ami::kEdgeKey, "plate/front|plate/top");  // (0, 0, 10) to (200, 0, 10)
    top = refOf(plate, Ami::kFaceKey, "plate/top");
    left = refOf(plate, Ami::kFaceKey, "plate/left");
  }
  void TearDown() override {
    conditions.clear();
    SymbolTest::TearDown();
  }

  TestCondition& make(AttCode code, CaeTopoRef* where, const CaeVector& value, CaeCoordSys* axes = nullptr,
                      const int* free = nullptr, int color = 1, double scale = 10.0) {
    conditions.push_back(std::make_unique<TestCondition>(code, where, value, axes, free, color, scale));
    return *conditions.back();
  }
  // What the condition draws on `where` through a probe entity, and what Draw answered.
  std::vector<AcGiPrimitive> drawOn(TestCondition& condition, CaeTopoRef* where, int* answer = nullptr) {
    return drawn([&condition, where, answer](AcGiWorldDraw* draw) {
      const int visible = condition.Draw(draw, where);
      if (answer) *answer = visible;
    });
  }
  // The number of edges a face draws on (its children, a seam twice).
  static int edgesOf(AcTopoRef* face) { return static_cast<int>(childrenOf(face).size()); }

  AcDbObjectId plate;
  AcTopoRef* vertex = nullptr;
  AcTopoRef* edge = nullptr;
  AcTopoRef* top = nullptr;
  AcTopoRef* left = nullptr;
  std::vector<std::unique_ptr<TestCondition>> conditions;
};

// An arrow ("arrow", or "pressurearrow" when `pressure`) of size s along unit d: an arrow's tail
// ring is at `at` and its tip at at + s d; a pressure arrow's tip is at `at` and its tail at at - s d.
void expectArrow(const AcGiPrimitive& shell, const CaeVector& at, const CaeVector& d, double s, bool pressure) {
  ASSERT_EQ(shell.kind, AcGiPrimitive::kShell);
  const std::vector<Ring> rings = RingsOf(shell);
  ASSERT_EQ(rings.size(), 4u);
  const CaeVector tip = pressure ? at : at + d * s;
  const CaeVector tail = pressure ? at - d * s : at;
  EXPECT_TRUE(Near(rings[0].centre, tip, 1e-6))
      << "tip " << rings[0].centre.X() << " " << rings[0].centre.Y() << " " << rings[0].centre.Z();
  EXPECT_TRUE(Near(rings[3].centre, tail, 1e-6))
      << "tail " << rings[3].centre.X() << " " << rings[3].centre.Y() << " " << rings[3].centre.Z();
  EXPECT_NEAR(rings[0].radius, 0.0, 1e-9);
  EXPECT_NEAR(rings[1].radius, 0.1 * s, 1e-9);
  EXPECT_NEAR(rings[3].radius, 0.05 * s, 1e-9);
  EXPECT_TRUE(Near(rings[1].centre, pressure ? at - d * (0.2 * s) : at + d * (0.8 * s), 1e-6)) << "head ring";
}

TEST_F(ConditionVisTest, EachTypeHasTheSymbolOfItsRule) {
  struct Row {
    AttCode code;
    const char* symbol;
    int perAxis;
  };
  const Row rows[] = {
      {AttCode::VertexForce, "arrow", 0},
      {AttCode::FaceDistributedForce, "arrow", 0},
      {AttCode::EdgeDistributedForce, "arrow", 0},
      {AttCode::Pressure, "arrow", 0},  // in global axes; in face axes see the pressure test
      {AttCode::VertexRestraint, "bowtie", 1},
      {AttCode::EdgeRestraint, "bowtie", 1},
      {AttCode::FaceRestraint, "bowtie", 1},
      {AttCode::VertexEnforcedDisplacement, "arrow", 0},
      {AttCode::EdgeEnforcedDisplacement, "arrow", 0},
      {AttCode::FaceEnforcedDisplacement, "arrow", 0},
      {AttCode::Spin, "arrow", 0},
      {AttCode::Gravity, "arrow", 0},
      {AttCode::Acceleration, "arrow", 0},
      {AttCode::BodyTemperature, "scalarSym", 0},
      {AttCode::VertexHeatFlow, "pyramid", 0},
      {AttCode::FaceHeatFlux, "pyramid", 0},
      {AttCode::EdgeHeatFlow, "pyramid", 0},
      {AttCode::FaceConvection, "cube", 0},
      {AttCode::VolumetricHeatFlow, "diamond", 0},
      {AttCode::VertexFixedTemperature, "scalarSym", 0},
      {AttCode::FaceFixedTemperature, "scalarSym", 0},
      {AttCode::EdgeFixedTemperature, "scalarSym", 0},
      {AttCode::FaceTotalForce, "arrow", 0},
      {AttCode::EdgeTotalForce, "arrow", 0},
      {AttCode::PinnedRestraint, "bowtie", 1},
      {AttCode::Moment, "momentarrow", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(AttCodeName(ToAttType(row.code)));
    TestCondition& condition = make(row.code, vertex, CaeVector(0, 0, -1));
    const AcSymbol* symbol = nullptr;
    int perAxis = -1;
    condition.SymbolName(symbol, perAxis, kCorner);
    ASSERT_NE(symbol, nullptr);
    EXPECT_STREQ(symbol->Name().Text(), row.symbol);
    EXPECT_EQ(perAxis, row.perAxis);
  }
  // A code the engine has no descriptor for has no rule.
  TestCondition& unknown = make(static_cast<AttCode>(26), vertex, CaeVector(0, 0, -1));
  const AcSymbol* symbol = nullptr;
  int perAxis = -1;
  EXPECT_THROW(unknown.SymbolName(symbol, perAxis, kCorner), CaeExcept);
}

TEST_F(ConditionVisTest, AVertexSymbolFollowsTheValueOrTheAxes) {
  // A force along -z: an arrow from the vertex, 10 long.
  const std::vector<AcGiPrimitive> force = drawOn(make(AttCode::VertexForce, vertex, CaeVector(0, 0, -5)), vertex);
  ASSERT_EQ(force.size(), 1u);
  expectArrow(force[0], kCorner, CaeVector(0, 0, -1), 10.0, false);
  EXPECT_EQ(force[0].edgeColors, std::vector<short>(48, 1));

  // An enforced displacement of 1 radially in cylindrical axes about the hole's axis: the
  // arrow points from the hole's axis through the vertex.
  auto* cylinder = new CaeCoordSysCylindric(CaeTransform(CaeVector(100, 50, 0), CaeVector()));
  const std::vector<AcGiPrimitive> radial =
      drawOn(make(AttCode::VertexEnforcedDisplacement, vertex, CaeVector(1, 0, 0), cylinder), vertex);
  ASSERT_EQ(radial.size(), 1u);
  expectArrow(radial[0], kCorner, CaeVector(-2, -1, 0) * (1 / std::sqrt(5.0)), 10.0, false);

  // A restraint in axes turned a quarter about z (local x = global y, local y = global -x), free
  // along and about local x: bow ties along local y and z only, centred on the vertex.
  auto* turned =
      new CaeCoordSysCartesian(CaeTransform(CaeVector(0, 1, 0), CaeVector(-1, 0, 0), CaeVector(0, 0, 1), CaeVector()));
  const int free[6] = {1, 0, 0, 1, 0, 0};
  const std::vector<AcGiPrimitive> bowties =
      drawOn(make(AttCode::VertexRestraint, vertex, CaeVector(), turned, free, 4), vertex);
  ASSERT_EQ(bowties.size(), 2u);
  const CaeVector along[2] = {CaeVector(-1, 0, 0), CaeVector(0, 0, 1)};
  for (int i = 0; i < 2; ++i) {
    const std::vector<Ring> rings = RingsOf(bowties[i]);
    ASSERT_EQ(rings.size(), 3u);
    EXPECT_TRUE(Near(rings[0].centre, kCorner + along[i] * 5.0, 1e-9)) << "bow tie " << i;
    EXPECT_TRUE(Near(rings[1].centre, kCorner, 1e-9));
    EXPECT_NEAR(rings[0].radius, 2.5, 1e-9);
  }
}

TEST_F(ConditionVisTest, AnEdgeCarriesThreeSymbolsAtASixthAHalfAndFiveSixthsOfItsRange) {
  double params[3];
  CaepLbcVis::EdgeSamples(edge, params, 3);
  CaeVector lower, upper;
  edge->ParamRange(lower, upper);
  const double length = upper[0] - lower[0];
  EXPECT_NEAR(params[0], lower[0] + length / 6, 1e-12);
  EXPECT_NEAR(params[1], lower[0] + length / 2, 1e-12);
  EXPECT_NEAR(params[2], lower[0] + 5 * length / 6, 1e-12);

  const std::vector<AcGiPrimitive> arrows =
      drawOn(make(AttCode::EdgeDistributedForce, edge, CaeVector(0, -2, 0)), edge);
  ASSERT_EQ(arrows.size(), 3u);
  std::vector<double> along;
  for (const AcGiPrimitive& arrow : arrows) {
    const CaeVector tail = RingsOf(arrow)[3].centre;
    along.push_back(tail.X());
    expectArrow(arrow, CaeVector(tail.X(), 0, 10), CaeVector(0, -1, 0), 10.0, false);
  }
  std::sort(along.begin(), along.end());
  EXPECT_NEAR(along[0], 200.0 / 6, 1e-6);
  EXPECT_NEAR(along[1], 100.0, 1e-6);
  EXPECT_NEAR(along[2], 1000.0 / 6, 1e-6);
}

TEST_F(ConditionVisTest, PressureArrowsPushIntoTheFaceAndPullAwayFromIt) {
  const int symbols = 3 * edgesOf(top);
  ASSERT_GE(symbols, 15) << "four sides and the hole";
  struct Row {
    const char* what;
    double pressure;
    bool pressureArrow;
    CaeVector direction;  // of the symbol's x axis: the way the load acts
  };
  const Row rows[] = {
      {"a push stands outside the plate, its tips on the top face", 2.0, true, CaeVector(0, 0, -1)},
      {"a pull starts at the face and points away from the plate", -2.0, false, CaeVector(0, 0, 1)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TestCondition& pressure = make(AttCode::Pressure, top, CaeVector(0, 0, row.pressure), FaceAxes(top));
    const std::vector<AcGiPrimitive> arrows = drawOn(pressure, top);
    ASSERT_EQ(static_cast<int>(arrows.size()), symbols);
    for (const AcGiPrimitive& arrow : arrows) {
      const CaeVector onFace = RingsOf(arrow)[row.pressureArrow ? 0 : 3].centre;
      EXPECT_NEAR(onFace.Z(), 10.0, 1e-6);
      expectArrow(arrow, onFace, row.direction, 10.0, row.pressureArrow);
      // Every symbol lies outside the solid: above the top face.
      for (const AcGePoint3d& p : arrow.points) EXPECT_GE(p.z, 10.0 - 1e-6);
    }
  }
  // On the hole's side the material lies outside the hole: pushing arrows stand in the hole,
  // pointing away from its axis, with their tips on the hole's edges (radius 15).
  AcTopoRef* hole = refOf(plate, Ami::kFaceKey, "hole1/side");
  const std::vector<AcGiPrimitive> inHole =
      drawOn(make(AttCode::Pressure, hole, CaeVector(0, 0, 2), FaceAxes(hole)), hole);
  ASSERT_EQ(static_cast<int>(inHole.size()), 3 * edgesOf(hole));
  for (const AcGiPrimitive& arrow : inHole) {
    const CaeVector tip = RingsOf(arrow)[0].centre;
    CaeVector outward(tip.X() - 100, tip.Y() - 50, 0);
    EXPECT_NEAR(outward.Length(), 15.0, 1e-6);
    outward.Normalize();
    expectArrow(arrow, tip, outward, 10.0, true);
  }

  // The study tool's form, (p, 0, 0) in global axes, is drawn along the value.
  const std::vector<AcGiPrimitive> global = drawOn(make(AttCode::Pressure, top, CaeVector(2, 0, 0)), top);
  ASSERT_EQ(static_cast<int>(global.size()), symbols);
  expectArrow(global[0], RingsOf(global[0])[3].centre, CaeVector(1, 0, 0), 10.0, false);
}

// Kept placements: a change of the part writes nothing to the condition, yet its symbols must
// stand on the hole as it is now (radius 15, 20 after the edit, 15 after the undo), on the plate.
TEST_F(ConditionVisTest, KeptPlacementsFollowTheHoleThroughAParameterEditAndItsUndo) {
  AcTopoRef* hole = refOf(plate, Ami::kFaceKey, "hole1/side");
  TestCondition& pressure = make(AttCode::Pressure, hole, CaeVector(0, 0, 2), FaceAxes(hole));
  pressure.keepsPlacements = true;
  struct Step {
    const char* what;
    const char* command;  // null: none
    double radius;
  };
  const Step steps[] = {
      {"as loaded", nullptr, 15.0},
      {"drawn again from what was kept", nullptr, 15.0},
      {"the hole made larger", "PARAM set plate/D 40", 20.0},
      {"the edit undone", "UNDO 1", 15.0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.command) command(step.command);
    const std::vector<AcGiPrimitive> arrows = drawOn(pressure, hole);
    ASSERT_EQ(static_cast<int>(arrows.size()), 3 * edgesOf(hole));
    for (const AcGiPrimitive& arrow : arrows) {
      const CaeVector tip = RingsOf(arrow)[0].centre;
      EXPECT_NEAR(std::hypot(tip.X() - 100, tip.Y() - 50), step.radius, 1e-6);
      EXPECT_GE(tip.Z(), -1e-6);
      EXPECT_LE(tip.Z(), 10.0 + 1e-6);
    }
  }
}

TEST_F(ConditionVisTest, ScalarThermalSymbolsKeepTheGlobalAxes) {
  // A heat flux on a face: pyramids at the edge samples, apex up along global y.
  const std::vector<AcGiPrimitive> pyramids = drawOn(make(AttCode::FaceHeatFlux, left, CaeVector(5, 0, 0)), left);
  ASSERT_EQ(static_cast<int>(pyramids.size()), 3 * edgesOf(left));
  for (const AcGiPrimitive& pyramid : pyramids) {
    ASSERT_EQ(pyramid.points.size(), 8u);
    const CaeVector apex = ToCae(pyramid.points[0]);
    const CaeVector base = ToCae(pyramid.points[4]);
    EXPECT_TRUE(Near(apex - base, CaeVector(-5, 10, -5), 1e-9)) << "(0, 0.67, 0) - (0.5, -0.33, 0.5) at scale 10";
    EXPECT_NEAR(apex.X() - 0.0, 0.0, 1e-9) << "at a point of the left face's edges";
  }
  // A fixed temperature on a vertex: the star of seven lines, once, in the entity's colour.
  const std::vector<AcGiPrimitive> star =
      drawOn(make(AttCode::VertexFixedTemperature, vertex, CaeVector(300, 0, 0)), vertex);
  ASSERT_EQ(star.size(), 7u);
  EXPECT_TRUE(Near(ToCae(star[0].points[0]), kCorner + CaeVector(-5, 0, 0), 1e-12));
  // A convection on a face: cubes centred on the edge samples.
  const std::vector<AcGiPrimitive> cubes = drawOn(make(AttCode::FaceConvection, top, CaeVector(25, 0, 0)), top);
  ASSERT_EQ(static_cast<int>(cubes.size()), 3 * edgesOf(top));
  for (const AcGiPrimitive& cube : cubes) {
    const std::vector<Ring> rings = RingsOf(cube);
    ASSERT_EQ(rings.size(), 4u);
    EXPECT_TRUE(Near(rings[0].centre - rings[3].centre, CaeVector(10, 0, 0), 1e-9));
    EXPECT_NEAR(rings[1].radius, 5.0, 1e-9);
    EXPECT_NEAR(((rings[0].centre + rings[3].centre) * 0.5).Z(), 10.0, 1e-6);
  }
}

TEST_F(ConditionVisTest, ABodyDrawsEachOfItsFacesSoSharedEdgesTwice) {
  AcTopoRef* body = bodyOf(plate);
  int expected = 0;
  for (auto [face, flag] : childrenOf(body)) expected += 3 * edgesOf(face);
  const std::vector<AcGiPrimitive> diamonds =
      drawOn(make(AttCode::VolumetricHeatFlow, body, CaeVector(1e6, 0, 0)), body);
  ASSERT_EQ(static_cast<int>(diamonds.size()), expected);
  // Every edge of the closed plate bounds two faces (the hole's seam bounds its face twice), so
  // every symbol position is drawn exactly twice.
  std::map<std::tuple<long, long, long>, int> seen;
  for (const AcGiPrimitive& diamond : diamonds) {
    const CaeVector centre = RingsOf(diamond)[1].centre;
    ++seen[{std::lround(centre.X() * 1000), std::lround(centre.Y() * 1000), std::lround(centre.Z() * 1000)}];
  }
  for (const auto& [where, count] : seen) EXPECT_EQ(count, 2);
  EXPECT_EQ(seen.size() * 2, diamonds.size());
}

TEST_F(ConditionVisTest, APartMadeInvisibleHidesItsSymbols) {
  TestCondition& pressure = make(AttCode::Pressure, top, CaeVector(0, 0, 2), FaceAxes(top));
  const AcDbObjectId probe = addProbe([&](AcGiWorldDraw* draw) { pressure.Draw(draw, top); });
  EXPECT_FALSE(drawnBy(probe).empty());

  AcDbEntity* part = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(part, plate, AcDb::kForWrite), Acad::eOk);
  part->setVisibility(AcDb::kInvisible);
  part->close();
  EXPECT_TRUE(drawnBy(probe).empty());
  int answer = -1;
  EXPECT_TRUE(drawOn(pressure, top, &answer).empty());
  EXPECT_EQ(answer, 0);

  ASSERT_EQ(acdbOpenAcDbEntity(part, plate, AcDb::kForWrite), Acad::eOk);
  part->setVisibility(AcDb::kVisible);
  part->close();
  EXPECT_FALSE(drawOn(pressure, top, &answer).empty());
  EXPECT_EQ(answer, 1);
}

TEST_F(ConditionVisTest, TheDisplayFlagsHideLoadsAndRestraintsApart) {
  CadInterface* cad = CadInterface::GetCurrent();
  ASSERT_NE(cad, nullptr);
  TestCondition& load = make(AttCode::VertexForce, vertex, CaeVector(0, 0, -1));
  TestCondition& restraint = make(AttCode::VertexRestraint, vertex, CaeVector());
  TestCondition& fixedTemperature = make(AttCode::VertexFixedTemperature, vertex, CaeVector(300, 0, 0));
  struct Row {
    int loads, restraints;
    bool load, restraint;
  };
  for (const Row& row :
       {Row{1, 1, true, true}, Row{0, 1, false, true}, Row{1, 0, true, false}, Row{0, 0, false, false}}) {
    SCOPED_TRACE(std::to_string(row.loads) + " " + std::to_string(row.restraints));
    SymbolVisibility flags;
    flags.loads = row.loads;
    flags.restraints = row.restraints;
    cad->SetSymbolVisibility(flags, 1);
    int answer = -1;
    EXPECT_EQ(drawOn(load, vertex, &answer).empty(), !row.load);
    EXPECT_EQ(answer, row.load ? 1 : 0);
    EXPECT_EQ(drawOn(restraint, vertex).empty(), !row.restraint);
    // A fixed temperature joins the restraint set, so the restraints flag governs it.
    EXPECT_EQ(drawOn(fixedTemperature, vertex).empty(), !row.restraint);
  }
  cad->SetSymbolVisibility(SymbolVisibility(), 1);
}

TEST_F(ConditionVisTest, APictureShowsPressureArrowsOnTheTopAndBowTiesOnTheLeft) {
  // Green 10 mm pressure arrows on the top face, cyan bow ties of a fixed restraint on the left
  // face, seen from front left above, as PNGOUT plate.png -1,-1,1 shows them.
  TestCondition& push = make(AttCode::Pressure, top, CaeVector(0, 0, 2), FaceAxes(top), nullptr, 3, 10.0);
  TestCondition& pull = make(AttCode::Pressure, top, CaeVector(0, 0, -2), FaceAxes(top), nullptr, 3, 10.0);
  TestCondition& fixed = make(AttCode::FaceRestraint, left, CaeVector(), nullptr, nullptr, 4, 10.0);
  bool pushing = true;
  addProbe([&](AcGiWorldDraw* draw) { (pushing ? push : pull).Draw(draw, top); });
  addProbe([&](AcGiWorldDraw* draw) { fixed.Draw(draw, left); });

  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  kestrum::test::GreenCyanTally counts[2];
  for (int i = 0; i < 2; ++i) {
    pushing = i == 0;
    const AcGiImage image = acgiRender(display());
    std::string error;
    const std::string file = (folder / (pushing ? "plate_pressure_push.png" : "plate_pressure_pull.png")).string();
    ASSERT_TRUE(acgiWritePng(image, file, error)) << error;
    counts[i] = kestrum::test::tallyGreenAndCyan(image);
  }
  // Each of the 15 arrows is about 35 px long, so a few hundred green pixels show when the
  // arrows stand outside the plate; arrows inside it would be hidden by the top face.
  EXPECT_GT(counts[0].green, 300);
  EXPECT_GT(counts[1].green, 300);
  EXPECT_GT(counts[0].cyan, 300);
  EXPECT_GT(counts[1].cyan, 300);
}

}  // namespace
}  // namespace symboltest
