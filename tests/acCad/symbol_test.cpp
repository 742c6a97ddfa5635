// The symbol library: the shapes as tabled, the exact name lookup, and what the world and
// viewport drawings record on the display list.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "amg/CaeExcept.h"
#include "fea/AnlControl.h"
#include "fea/AttLbcCase.h"
#include "symbol_fixture.h"
#include "util/acSymbol.h"

namespace symboltest {
namespace {

const char* const kNames[14] = {"arrow",        "backArrow", "doubleArrow",   "bowtie",     "thinBowtie",
                                "cube",         "tube",      "diamond",       "pyramid",    "scalarSym",
                                "thinBowtie2d", "arrow2d",   "pressurearrow", "momentarrow"};

const AcSymbol& symbolNamed(const char* name) {
  const AcSymbol* symbol = acFindSymbolName(name);
  if (!symbol) throw std::runtime_error(std::string("no symbol ") + name);
  return *symbol;
}

std::vector<const AcGiPrimitive*> ofKind(const std::vector<AcGiPrimitive>& all, AcGiPrimitive::Kind kind) {
  std::vector<const AcGiPrimitive*> found;
  for (const AcGiPrimitive& p : all)
    if (p.kind == kind) found.push_back(&p);
  return found;
}

TEST_F(SymbolTest, RingShapesAreTheTabledRings) {
  struct Row {
    const char* name;
    std::vector<std::pair<double, double>> rings;  // (x, half-width)
  };
  const Row rows[] = {
      {"arrow", {{1, 0}, {0.8, 0.1}, {0.8, 0.05}, {0, 0.05}}},
      {"backArrow", {{0, 0}, {0.2, 0.1}, {0.2, 0.05}, {1, 0.05}}},
      {"doubleArrow", {{0.5, 0}, {0.3, 0.2}, {0.3, 0.1}, {-0.3, 0.1}, {-0.3, 0.2}, {-0.5, 0}}},
      {"bowtie", {{0.5, 0.25}, {0, 0}, {-0.5, 0.25}}},
      {"thinBowtie", {{0.5, 0.1}, {0, 0}, {-0.5, 0.1}}},
      {"cube", {{0.5, 0}, {0.5, 0.5}, {-0.5, 0.5}, {-0.5, 0}}},
      {"diamond", {{0.5, 0}, {0, 0.5}, {-0.5, 0}}},
      {"pressurearrow", {{0, 0}, {-0.2, 0.1}, {-0.2, 0.05}, {-1, 0.05}}},
      {"momentarrow", {{1, 0}, {0.8, 0.1}, {0.8, 0}, {0.6, 0.1}, {0.6, 0.05}, {0, 0.05}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const AcSymbol& symbol = symbolNamed(row.name);
    ASSERT_EQ(symbol.ShellCount(), 1);
    EXPECT_EQ(symbol.OutlineCount() + symbol.SegmentListCount(), 0);
    const AcSymbolGrid& grid = symbol.Shell(0);
    ASSERT_EQ(grid.rows, static_cast<int>(row.rings.size()));
    ASSERT_EQ(grid.columns, 5);
    for (int i = 0; i < grid.rows; ++i) {
      const auto [x, r] = row.rings[i];
      const AcGePoint3d expected[5] = {{x, r, 0}, {x, 0, r}, {x, -r, 0}, {x, 0, -r}, {x, r, 0}};
      for (int j = 0; j < 5; ++j) EXPECT_EQ(grid.points[i * 5 + j], expected[j]) << "ring " << i << " point " << j;
    }
  }
}

TEST_F(SymbolTest, TheOtherShapesAreAsTabled) {
  const AcSymbol& tube = symbolNamed("tube");
  ASSERT_EQ(tube.ShellCount(), 1);
  EXPECT_EQ(tube.Shell(0).rows, 2);
  EXPECT_EQ(tube.Shell(0).columns, 9);
  for (const AcGePoint3d& p : tube.Shell(0).points) {
    EXPECT_NEAR(std::fabs(p.x), 0.5, 1e-12);
    EXPECT_NEAR(std::hypot(p.y, p.z), 0.15, 0.0005);  // an octagon of radius 0.15
  }
  EXPECT_EQ(tube.Shell(0).points.front(), tube.Shell(0).points[8]) << "each row closes";

  const AcSymbol& pyramid = symbolNamed("pyramid");
  ASSERT_EQ(pyramid.ShellCount(), 1);
  EXPECT_EQ(pyramid.Shell(0).rows, 2);
  EXPECT_EQ(pyramid.Shell(0).columns, 4);
  for (int j = 0; j < 4; ++j) EXPECT_EQ(pyramid.Shell(0).points[j], AcGePoint3d(0, 0.67, 0));
  EXPECT_EQ(pyramid.Shell(0).points[5], AcGePoint3d(0, -0.33, -0.5));

  const AcSymbol& star = symbolNamed("scalarSym");
  EXPECT_EQ(star.ShellCount() + star.OutlineCount(), 0);
  ASSERT_EQ(star.SegmentListCount(), 1);
  ASSERT_EQ(star.SegmentList(0).size(), 14u);
  for (std::size_t i = 0; i < 14; i += 2) {
    const AcGePoint3d& a = star.SegmentList(0)[i];
    const AcGePoint3d& b = star.SegmentList(0)[i + 1];
    EXPECT_EQ(a, AcGePoint3d(-b.x, -b.y, -b.z)) << "segment " << i / 2 << " runs through the origin";
  }

  struct Outline {
    const char* name;
    std::size_t points;
  };
  for (const Outline& o : {Outline{"thinBowtie2d", 7}, Outline{"arrow2d", 8}}) {
    const AcSymbol& outline = symbolNamed(o.name);
    EXPECT_EQ(outline.ShellCount() + outline.SegmentListCount(), 0) << o.name;
    ASSERT_EQ(outline.OutlineCount(), 1) << o.name;
    EXPECT_EQ(outline.Outline(0).size(), o.points) << o.name;
    EXPECT_EQ(outline.Outline(0).front(), outline.Outline(0).back()) << o.name;
    for (const AcGePoint3d& p : outline.Outline(0)) EXPECT_EQ(p.z, 0.0) << o.name;
  }
}

TEST_F(SymbolTest, NamesAreFoundExactlyAndListedInReverseTableOrder) {
  std::set<const AcSymbol*> records;
  for (const char* name : kNames) {
    const AcSymbol* symbol = acFindSymbolName(name);
    ASSERT_NE(symbol, nullptr) << name;
    EXPECT_STREQ(symbol->Name().Text(), name);
    records.insert(symbol);
  }
  EXPECT_EQ(records.size(), 14u);
  for (const char* other : {"Arrow", "arrow ", "ARROW", "pressureArrow", "", "star"})
    EXPECT_EQ(acFindSymbolName(other), nullptr) << '"' << other << '"';
  EXPECT_EQ(acFindSymbolName(nullptr), nullptr);

  CaeOwningList<CaeString> names;
  acListSymbolNames(names);
  std::vector<std::string> listed;
  for (CaeList<CaeString>* n = names.FirstNode(); n->HasItem(); n = n->Next()) listed.push_back(n->Item()->Str());
  ASSERT_EQ(listed.size(), 14u);
  for (int i = 0; i < 14; ++i) EXPECT_EQ(listed[i], kNames[13 - i]);
}

TEST_F(SymbolTest, TheTableGoesWithTheModuleAndComesBackWithIt) {
  acSymbolTerm();
  EXPECT_EQ(acFindSymbolName("arrow"), nullptr);
  CaeOwningList<CaeString> names;
  acListSymbolNames(names);
  EXPECT_FALSE(names.FirstNode()->HasItem());
  acSymbolInit();
  const AcSymbol* arrow = acFindSymbolName("arrow");
  ASSERT_NE(arrow, nullptr);
  acSymbolInit();  // a second build keeps the records callers point at
  EXPECT_EQ(acFindSymbolName("arrow"), arrow);
}

TEST_F(SymbolTest, AnArrowOfSizeTwoHasItsTipAtTwoAndItsTailAtTheOrigin) {
  const std::vector<AcGiPrimitive> drawnPrimitives = drawn([](AcGiWorldDraw* draw) {
    symbolNamed("arrow").acDrawSymbol(3, 2.0, draw, CaeVector(50, 50, 50), CaeTransform(), 0, nullptr);
  });
  ASSERT_EQ(drawnPrimitives.size(), 1u);
  const AcGiPrimitive& shell = drawnPrimitives[0];
  ASSERT_EQ(shell.kind, AcGiPrimitive::kShell);
  ASSERT_EQ(shell.points.size(), 20u);
  for (int j = 0; j < 5; ++j) EXPECT_EQ(shell.points[j], AcGePoint3d(2, 0, 0));
  EXPECT_TRUE(Near(ToCae(shell.points[15]), CaeVector(0, 0.1, 0), 1e-15));
  const std::vector<Ring> rings = RingsOf(shell);
  EXPECT_TRUE(Near(rings[3].centre, CaeVector(), 1e-15)) << "the point argument does not place the symbol";
  EXPECT_NEAR(rings[3].radius, 0.1, 1e-15);

  // Twelve quads of five ints (4 and the corners); every edge and face in the symbol's colour.
  ASSERT_EQ(shell.faceList.size(), 60u);
  EXPECT_EQ(std::vector<Adesk::Int32>(shell.faceList.begin(), shell.faceList.begin() + 5),
            (std::vector<Adesk::Int32>{4, 1, 0, 5, 6}));
  EXPECT_EQ(std::vector<Adesk::Int32>(shell.faceList.end() - 5, shell.faceList.end()),
            (std::vector<Adesk::Int32>{4, 14, 13, 18, 19}));
  EXPECT_EQ(shell.edgeColors, std::vector<short>(48, 3));
  EXPECT_EQ(shell.faceColors, std::vector<short>(12, 3));
}

TEST_F(SymbolTest, ThePlacementMovesAndTurnsTheScaledShape) {
  // x along global z, y along global x: the arrow stands up from (5, 6, 7).
  const CaeTransform placement(CaeVector(0, 0, 1), CaeVector(1, 0, 0), CaeVector(0, 1, 0), CaeVector(5, 6, 7));
  const std::vector<AcGiPrimitive> drawnPrimitives = drawn([&](AcGiWorldDraw* draw) {
    symbolNamed("arrow").acDrawSymbol(1, 4.0, draw, CaeVector(), placement, 0, nullptr);
  });
  ASSERT_EQ(drawnPrimitives.size(), 1u);
  EXPECT_EQ(drawnPrimitives[0].points[0], AcGePoint3d(5, 6, 11));
  EXPECT_TRUE(Near(ToCae(drawnPrimitives[0].points[15]), CaeVector(5.2, 6, 7), 1e-12)) << "(0, 0.1, 0) * 4 turned";
}

TEST_F(SymbolTest, PerAxisDrawingLeavesOutEachAxisWhoseTwoFlagsAreSet) {
  struct Row {
    const char* what;
    int perAxis;
    int free[6];
    std::vector<int> axes;  // the placement axes the bow ties are drawn along, in order
  };
  const Row rows[] = {
      {"all fixed", 1, {0, 0, 0, 0, 0, 0}, {0, 1, 2}},
      {"x free", 1, {1, 0, 0, 1, 0, 0}, {1, 2}},
      {"x moves, turns fixed", 1, {1, 0, 0, 0, 0, 0}, {0, 1, 2}},
      {"y and z free", 1, {0, 1, 1, 0, 1, 1}, {0}},
      {"all free", 1, {1, 1, 1, 1, 1, 1}, {}},
      {"one placement", 0, {1, 1, 1, 1, 1, 1}, {0}},
  };
  // A turned placement, so that each axis is told apart from the global ones.
  const CaeTransform placement(CaeVector(0, 1, 0), CaeVector(0, 0, 1), CaeVector(1, 0, 0), CaeVector(1, 2, 3));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::vector<AcGiPrimitive> drawnPrimitives = drawn([&](AcGiWorldDraw* draw) {
      symbolNamed("bowtie").acDrawSymbol(4, 2.0, draw, CaeVector(), placement, row.perAxis, row.free);
    });
    ASSERT_EQ(drawnPrimitives.size(), row.axes.size());
    for (std::size_t i = 0; i < row.axes.size(); ++i) {
      // The first cone's base ring sits half the size out along the axis.
      const std::vector<Ring> rings = RingsOf(drawnPrimitives[i]);
      const CaeVector expected = CaeVector(1, 2, 3) + placement.UnitVector(row.axes[i]) * 1.0;
      EXPECT_TRUE(Near(rings[0].centre, expected, 1e-12)) << "primitive " << i;
      EXPECT_NEAR(rings[0].radius, 0.5, 1e-12);
      EXPECT_TRUE(Near(rings[1].centre, CaeVector(1, 2, 3), 1e-12));
    }
  }
}

TEST_F(SymbolTest, SegmentsAreDrawnOnceAsTwoPointLinesInTheEntityColour) {
  const int free[6] = {0, 0, 0, 0, 0, 0};
  const CaeTransform placement(CaeVector(), CaeVector(1, 1, 1));
  const std::vector<AcGiPrimitive> drawnPrimitives = drawn(
      [&](AcGiWorldDraw* draw) {
        symbolNamed("scalarSym").acDrawSymbol(1, 2.0, draw, CaeVector(), placement, 1, free);
      },
      5);
  ASSERT_EQ(drawnPrimitives.size(), 7u) << "seven segments, not repeated per axis";
  for (std::size_t i = 0; i < drawnPrimitives.size(); ++i) {
    const AcGiPrimitive& line = drawnPrimitives[i];
    EXPECT_EQ(line.kind, AcGiPrimitive::kPolyline);
    ASSERT_EQ(line.points.size(), 2u);
    EXPECT_EQ(line.color, 5) << "the traits colour, not the symbol's";
    EXPECT_NEAR((ToCae(line.points[0]) + ToCae(line.points[1])).Length(), 0.0, 1e-12) << "through the origin";
    // Three along the axes, one unit long; four along the diagonals, 0.353 per component out.
    const double length = i < 3 ? 1.0 : 2 * 0.353 * std::sqrt(3.0);
    EXPECT_NEAR(line.points[0].distanceTo(line.points[1]), 2.0 * length, 1e-12) << "segment " << i;
  }
  // The first runs along the placement's x axis, here (1, 1, 1) normalised.
  const CaeVector x = placement.UnitVector(0);
  EXPECT_TRUE(Near(ToCae(drawnPrimitives[0].points[1]), x * 1.0, 1e-12));
}

// A model-level load with its visual part, as the drawing keeps one in a load set.
class ModelLoad : public AttModelLbc, public CaepLbcVis {
 public:
  ModelLoad(AttCode code, double scale)
      : AttModelLbc(AttLbcDescriptTable().Find(ToAttType(code)), nullptr, nullptr, nullptr), CaepLbcVis(scale) {}
  int TypeCode() const override { return Type(); }
  CaeCoordSys* CoordSys() const override { return nullptr; }
  int ValueKind() const override { return 2; }
  CaeVector ValueAt(const CaeVector&) const override { return {0, 0, -1}; }
  CaeVector LocalValueAt(const CaeVector&) const override { return {0, 0, -1}; }
  int* FreeComponents(int* buffer) const override { return buffer; }
  int ColorIndex() const override { return 1; }
};

class ViewportSymbolTest : public SymbolTest {
 protected:
  void SetUp() override {
    SymbolTest::SetUp();
    control.SetCurrent();
    control.SetCurrentLoadCase(&loads);
  }
  void TearDown() override {
    AnlControl::UnsetCurrent();
    SymbolTest::TearDown();
  }
  AnlControl control;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
};

TEST_F(ViewportSymbolTest, TheLargestModelLoadSymbolSetsTheCornerAndAloneDrawsTheGlyph) {
  EXPECT_EQ(acModelLoadSymbolSize(), 0.0);
  ModelLoad gravity(AttCode::Gravity, 1.0), spin(AttCode::Spin, 3.0);
  loads.AddLbc(&gravity);
  loads.AddLbc(&spin);
  EXPECT_EQ(acModelLoadSymbolSize(), 3.0);

  const AcDbObjectId probe = addProbe(nullptr, 2);
  AcGiDisplayList& list = display();
  for (double size : {1.0, 3.0})
    list.drawInViewport(probe, [&](AcGiViewportDraw& draw) {
      symbolNamed("arrow").acDrawViewportSymbol(6, size, &draw, CaeTransform());
      draw.geometry().polyline(2, std::vector<AcGePoint3d>{{0, 0, 0}, {1, 0, 0}}.data());
    });

  // Per drawing: the glyph (two polylines) only for the scale-3 load, the arrow as one mesh of
  // 4 x 5 points with edge colours only, then a line in the restored traits colour.
  const std::vector<AcGiPrimitive>& all = list.primitivesOf(probe);
  ASSERT_EQ(all.size(), 6u);
  const AcGiPrimitive* meshes[2] = {&all[0], &all[4]};
  for (const AcGiPrimitive* mesh : meshes) {
    ASSERT_EQ(mesh->kind, AcGiPrimitive::kMesh);
    EXPECT_EQ(mesh->rows, 4u);
    EXPECT_EQ(mesh->columns, 5u);
    EXPECT_EQ(mesh->edgeColors, std::vector<short>(4 * 4 + 3 * 5, 6));
    EXPECT_TRUE(mesh->faceColors.empty());
    EXPECT_EQ(mesh->color, 6);
  }
  // Both arrows start at the corner of the larger symbol, and point along x.
  const CaeVector corner = RingsOf(all[0])[3].centre;
  EXPECT_TRUE(Near(RingsOf(all[4])[3].centre, corner, 1e-9));
  EXPECT_TRUE(Near(RingsOf(all[0])[0].centre, corner + CaeVector(1, 0, 0), 1e-9));
  EXPECT_TRUE(Near(RingsOf(all[4])[0].centre, corner + CaeVector(3, 0, 0), 1e-9));

  // The corner: the display point (right - 3 - margin, bottom + 3 + margin) mapped back through
  // the view's rotation; the margin is a fiftieth of the smaller side (600 px).
  const AcGePoint3d eye = acgiModelToEye(list.view().direction) * AcGePoint3d(corner[0], corner[1], corner[2]);
  EXPECT_NEAR(eye.x, 800 - 3 - 12, 1e-9);
  EXPECT_NEAR(eye.y, 0 + 3 + 12, 1e-9);
  EXPECT_NEAR(eye.z, 0, 1e-9);

  EXPECT_EQ(all[1].kind, AcGiPrimitive::kPolyline);
  EXPECT_EQ(all[1].color, 2) << "traits restored after the symbol";
  ASSERT_EQ(all[2].kind, AcGiPrimitive::kPolyline);
  ASSERT_EQ(all[2].points.size(), 3u) << "the glyph's axis lines";
  EXPECT_TRUE(Near(ToCae(all[2].points[0]), corner + CaeVector(3, 0, 0), 1e-9));
  EXPECT_TRUE(Near(ToCae(all[2].points[1]), corner, 1e-9));
  EXPECT_TRUE(Near(ToCae(all[2].points[2]), corner + CaeVector(0, 3, 0), 1e-9));
  ASSERT_EQ(all[3].kind, AcGiPrimitive::kPolyline);
  ASSERT_EQ(all[3].points.size(), 3u) << "the glyph's arrow head";
  EXPECT_TRUE(Near(ToCae(all[3].points[0]), corner + CaeVector(2.7, 0.24, 0), 1e-9));
  EXPECT_EQ(all[5].color, 2);

  // With equal scales both loads draw the glyph.
  spin.SetScale(1.0);
  const AcDbObjectId second = addProbe(nullptr, 2);
  AcGiDisplayList& again = display();
  for (int i = 0; i < 2; ++i)
    again.drawInViewport(second, [&](AcGiViewportDraw& draw) {
      symbolNamed("arrow").acDrawViewportSymbol(6, 1.0, &draw, CaeTransform());
    });
  EXPECT_EQ(ofKind(again.primitivesOf(second), AcGiPrimitive::kPolyline).size(), 4u);
  loads.DeleteLbc(&gravity);
  loads.DeleteLbc(&spin);
}

TEST_F(ViewportSymbolTest, OutlinesAreNeverDrawn) {
  for (const char* name : {"arrow2d", "thinBowtie2d"}) {
    const int free[6] = {0, 0, 0, 0, 0, 0};
    const AcDbObjectId probe = addProbe([&](AcGiWorldDraw* draw) {
      symbolNamed(name).acDrawSymbol(1, 1.0, draw, CaeVector(), CaeTransform(), 1, free);
    });
    AcGiDisplayList& list = display();
    EXPECT_TRUE(list.primitivesOf(probe).empty()) << name;
    // Through the viewport routine only the corner glyph of the largest symbol is drawn.
    list.drawInViewport(
        probe, [&](AcGiViewportDraw& draw) { symbolNamed(name).acDrawViewportSymbol(1, 1.0, &draw, CaeTransform()); });
    EXPECT_EQ(list.primitivesOf(probe).size(), 2u) << name;
    EXPECT_TRUE(ofKind(list.primitivesOf(probe), AcGiPrimitive::kMesh).empty()) << name;
  }
}

TEST_F(ViewportSymbolTest, WithoutACurrentLoadSetTheCornerIsAConsistencyCheck) {
  control.ClearCurrentLoadCase();
  EXPECT_THROW(acModelLoadSymbolSize(), CaeExcept);
}

}  // namespace
}  // namespace symboltest
