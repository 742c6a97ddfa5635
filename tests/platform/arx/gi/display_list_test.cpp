// Display lists: what an entity's drawing records, with which colours, and when it is redrawn.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <TopLoc_Location.hxx>
#include <gp_Ax2.hxx>
#include <gp_Trsf.hxx>

#include <cmath>
#include <limits>
#include <string>

#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/gidisplay.h"
#include "test_solid.h"

namespace {

// Draws a polyline in the traits colour, then a green quad shell (edge colours given, face
// colour by block) and a 2 x 3 mesh; `badShell` adds a shell whose list points past its vertices.
class Sketch : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(Sketch);
  bool badShell = false;
  Adesk::Boolean worldDraw(AcGiWorldDraw* draw) override {
    AcGePoint3d line[3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    draw->geometry().polyline(3, line);
    Adesk::UInt16 saved = draw->subEntityTraits().color();
    draw->subEntityTraits().setColor(3);
    AcGePoint3d quad[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    Adesk::Int32 faces[5] = {4, 0, 1, 2, 3};
    short edgeColors[4] = {1, 2, 0, 4};
    short faceColors[1] = {0};
    AcGiEdgeData edges;
    edges.setColors(edgeColors);
    AcGiFaceData face;
    face.setColors(faceColors);
    draw->geometry().shell(4, quad, 5, faces, &edges, &face);
    draw->subEntityTraits().setColor(saved);
    AcGePoint3d grid[6] = {{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {0, 1, 1}, {1, 1, 1}, {2, 1, 1}};
    draw->geometry().mesh(2, 3, grid);
    if (badShell) {
      Adesk::Int32 wrong[4] = {3, 0, 1, 9};
      draw->geometry().shell(4, quad, 4, wrong);
    }
    return true;
  }
};
ACRX_CONS_DEFINE_MEMBERS(Sketch, AcDbEntity, "KESTRUM_TEST_SKETCH")

// Draws one line in the world and, when its world drawing says it is incomplete, a second line
// per viewport, noting the viewport it was drawn for and the colour it started with.
class ViewDependent : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(ViewDependent);
  bool worldComplete = false;
  int viewportDraws = 0;
  Adesk::Int32 viewportSeen = 0;
  Adesk::UInt16 colorSeen = 0;
  Adesk::Boolean worldDraw(AcGiWorldDraw* draw) override {
    AcGePoint3d line[2] = {{0, 0, 0}, {1, 0, 0}};
    draw->geometry().polyline(2, line);
    draw->subEntityTraits().setColor(4);  // left set: the viewport drawing must not inherit it
    return worldComplete;
  }
  void viewportDraw(AcGiViewportDraw* draw) override {
    ++viewportDraws;
    viewportSeen = draw->viewport().viewportId();
    colorSeen = draw->subEntityTraits().color();
    AcGePoint3d line[2] = {{0, 0, 0}, {0, 1, 0}};
    draw->geometry().polyline(2, line);
  }
};
ACRX_CONS_DEFINE_MEMBERS(ViewDependent, AcDbEntity, "KESTRUM_TEST_VIEW_DEPENDENT")

class DisplayListTest : public ::testing::Test {
 protected:
  template <class T>
  AcDbObjectId add(T* entity, Adesk::UInt16 color = 256) {
    entity->setColorIndex(color);
    AcDbObjectId id;
    db_.addAcDbObject(id, entity);
    entity->setOwnerId(db_.modelSpaceId());
    entity->close();
    return id;
  }
  AcDbDatabase db_;
};

TEST_F(DisplayListTest, RecordsEachPrimitiveWithResolvedColours) {
  AcDbObjectId id = add(new Sketch(), 5);
  AcGiDisplayList list(&db_);
  list.regenerate();
  const std::vector<AcGiPrimitive>& primitives = list.primitivesOf(id);
  ASSERT_EQ(primitives.size(), 3u);

  EXPECT_EQ(primitives[0].kind, AcGiPrimitive::kPolyline);
  EXPECT_EQ(primitives[0].color, 5);  // the traits start at the entity's colour
  EXPECT_EQ(primitives[0].points.size(), 3u);

  const AcGiPrimitive& shell = primitives[1];
  EXPECT_EQ(shell.kind, AcGiPrimitive::kShell);
  EXPECT_EQ(shell.color, 3);
  EXPECT_EQ(shell.faceList, (std::vector<Adesk::Int32>{4, 0, 1, 2, 3}));
  EXPECT_EQ(shell.edgeColors, (std::vector<short>{1, 2, 5, 4}));  // by block becomes the entity's colour
  EXPECT_EQ(shell.faceColors, (std::vector<short>{5}));
  EXPECT_TRUE(shell.edgeVisibility.empty());

  EXPECT_EQ(primitives[2].kind, AcGiPrimitive::kMesh);
  EXPECT_EQ(primitives[2].rows, 2u);
  EXPECT_EQ(primitives[2].columns, 3u);
  EXPECT_EQ(primitives[2].color, 5);  // restored after the shell
}

TEST_F(DisplayListTest, ByLayerTakesTheLayerColourAndBadShellsAreLeftOut) {
  AcDbLayerTableRecord* layer = nullptr;
  ASSERT_EQ(acdbOpenObject(layer, db_.layerZero(), AcDb::kForWrite), Acad::eOk);
  layer->setColorIndex(6);
  layer->close();
  auto* sketch = new Sketch();
  sketch->badShell = true;
  AcDbObjectId id = add(sketch);
  AcGiDisplayList list(&db_);
  list.regenerate();
  const std::vector<AcGiPrimitive>& primitives = list.primitivesOf(id);
  ASSERT_EQ(primitives.size(), 3u);  // the shell pointing past its vertices is not recorded
  EXPECT_EQ(primitives[0].color, 6);
}

TEST_F(DisplayListTest, UpdateRedrawsOnlyNewFlaggedAndErasedEntities) {
  AcDbObjectId first = add(new Sketch(), 1);
  AcDbObjectId second = add(new Sketch(), 2);
  AcGiDisplayList list(&db_);
  list.update();
  EXPECT_EQ(list.drawCount(first), 1);
  EXPECT_EQ(list.drawCount(second), 1);

  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenObject(entity, second, AcDb::kForWrite), Acad::eOk);
  entity->setColorIndex(4);
  entity->recordGraphicsModified();
  entity->close();
  AcDbObjectId third = add(new Sketch(), 3);
  list.update();
  EXPECT_EQ(list.drawCount(first), 1);
  EXPECT_EQ(list.drawCount(second), 2);
  EXPECT_EQ(list.drawCount(third), 1);
  EXPECT_EQ(list.primitivesOf(second)[0].color, 4);

  ASSERT_EQ(acdbOpenObject(entity, first, AcDb::kForWrite), Acad::eOk);
  entity->erase();
  entity->close();
  list.update();
  EXPECT_TRUE(list.primitivesOf(first).empty());
  EXPECT_EQ(list.drawCount(second), 2);  // the flag was cleared by the last drawing
  list.regenerate();
  EXPECT_EQ(list.drawCount(second), 3);
}

TEST_F(DisplayListTest, SolidsAreRecordedAsTheirTriangulation) {
  AcDbObjectId id = addSolid(db_, BRepPrimAPI_MakeBox(10, 20, 30).Shape(), 1);
  AcGiDisplayList list(&db_);
  list.regenerate();
  const std::vector<AcGiPrimitive>& primitives = list.primitivesOf(id);
  ASSERT_EQ(primitives.size(), 1u);
  const AcGiPrimitive& shell = primitives[0];
  EXPECT_EQ(shell.kind, AcGiPrimitive::kShell);
  EXPECT_EQ(shell.color, 1);
  ASSERT_FALSE(shell.faceList.empty());
  // Triangles only, every vertex on the box's surface, the whole area covered.
  double area = 0;
  for (std::size_t i = 0; i < shell.faceList.size(); i += 4) {
    ASSERT_EQ(shell.faceList[i], 3);
    const AcGePoint3d& a = shell.points[static_cast<std::size_t>(shell.faceList[i + 1])];
    const AcGePoint3d& b = shell.points[static_cast<std::size_t>(shell.faceList[i + 2])];
    const AcGePoint3d& c = shell.points[static_cast<std::size_t>(shell.faceList[i + 3])];
    area += (b - a).crossProduct(c - a).length() / 2;
  }
  EXPECT_NEAR(area, 2 * (10 * 20 + 20 * 30 + 10 * 30), 1e-6);
}

// The triangulation is bounded by the solid's own size whatever its size or proportions, and a
// solid whose placement is not a finite transform is not drawn (it would never finish).
TEST_F(DisplayListTest, SolidTriangulationIsBoundedWhateverTheSolid) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  auto placedBy = [](const TopoDS_Shape& shape, double a, double t) {
    gp_Trsf move;
    move.SetValues(a, 0, 0, t, 0, 1, 0, 0, 0, 0, 1, 0);
    return shape.Moved(TopLoc_Location(move));
  };
  auto cylinder = [](double radius, double height) {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1)), radius, height).Shape();
  };
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(10, 20, 30).Shape();
  struct Case {
    const char* name;
    TopoDS_Shape shape;
    bool drawn;
  };
  const Case cases[] = {
      {"box", box, true},
      {"huge box", BRepPrimAPI_MakeBox(1e9, 1e9, 1e9).Shape(), true},
      {"small cylinder", cylinder(1e-3, 1e-3), true},
      {"huge cylinder", cylinder(1e9, 1e9), true},
      {"needle", cylinder(1e-3, 1e6), true},
      {"disc", cylinder(1e6, 1e-3), true},
      {"NaN translation", placedBy(box, 1, kNaN), false},
      {"NaN rotation", placedBy(box, kNaN, 0), false},
      {"NaN-placed cylinder", placedBy(cylinder(5, 10), 1, kNaN), false},
      {"cylinder rotated by NaN", placedBy(cylinder(5, 10), kNaN, 0), false},
      {"cylinder placed far off", placedBy(cylinder(5, 10), 1, 1e300), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcDbObjectId id = addSolid(db_, c.shape, 1);
    AcGiDisplayList list(&db_);
    list.regenerate();
    const std::vector<AcGiPrimitive>& primitives = list.primitivesOf(id);
    if (!c.drawn) {
      EXPECT_TRUE(primitives.empty());
      continue;
    }
    ASSERT_EQ(primitives.size(), 1u);
    const std::size_t triangles = primitives[0].faceList.size() / 4;
    EXPECT_GE(triangles, 12u);
    EXPECT_LE(triangles, 20000u);
    for (const AcGePoint3d& p : primitives[0].points)
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
  }
}

TEST_F(DisplayListTest, HolesInSolidsHaveCleanEdges) {
  // A 10 x 10 x 4 plate with a hole of radius 3 through it along z, centred at (5, 5).
  constexpr double kRadius = 3, kHeight = 4;
  TopoDS_Shape plate = BRepPrimAPI_MakeBox(10, 10, kHeight).Shape();
  TopoDS_Shape hole = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(5, 5, -1), gp_Dir(0, 0, 1)), kRadius, kHeight + 2).Shape();
  AcDbObjectId id = addSolid(db_, BRepAlgoAPI_Cut(plate, hole).Shape(), 1);
  AcGiDisplayList list(&db_);
  list.regenerate();
  ASSERT_EQ(list.primitivesOf(id).size(), 1u);
  const AcGiPrimitive& shell = list.primitivesOf(id)[0];

  double area = 0;
  int cornersInHole = 0;  // no triangle may reach into the hole past its wall
  for (std::size_t i = 0; i < shell.faceList.size(); i += 4) {
    ASSERT_EQ(shell.faceList[i], 3);
    const AcGePoint3d* corner[3];
    for (int k = 0; k < 3; ++k) {
      corner[k] = &shell.points[static_cast<std::size_t>(shell.faceList[i + 1 + k])];
      if (std::hypot(corner[k]->x - 5, corner[k]->y - 5) < kRadius - 1e-6) ++cornersInHole;
    }
    area += (*corner[1] - *corner[0]).crossProduct(*corner[2] - *corner[0]).length() / 2;
  }
  EXPECT_EQ(cornersInHole, 0);
  const double pi = std::acos(-1.0);
  const double exact = 2 * (10 * 10 - pi * kRadius * kRadius) + 4 * 10 * kHeight + 2 * pi * kRadius * kHeight;
  EXPECT_NEAR(area, exact, 0.01 * exact);
}

TEST_F(DisplayListTest, ViewportDrawingSeesTheViewsTransformAndCorners) {
  AcDbObjectId id = add(new Sketch(), 2);
  AcGiView view;
  view.direction = AcGeVector3d(0, 0, 1);
  view.width = 300, view.height = 200;
  AcGiDisplayList list(&db_, view);
  list.regenerate();
  AcGeMatrix3d toEye;
  AcGePoint2d lowerLeft, upperRight;
  list.drawInViewport(id, [&](AcGiViewportDraw& draw) {
    draw.viewport().getModelToEyeTransform(toEye);
    draw.viewport().getViewportDcCorners(lowerLeft, upperRight);
    AcGePoint3d corner[3] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    draw.subEntityTraits().setColor(0);
    EXPECT_FALSE(draw.geometry().polyline(3, corner));
  });
  EXPECT_TRUE(toEye.isEqualTo(AcGeMatrix3d()));  // looking down z: the eye is the world
  EXPECT_EQ(upperRight, AcGePoint2d(300, 200));
  EXPECT_EQ(lowerLeft, AcGePoint2d(0, 0));
  const AcGiPrimitive& last = list.primitivesOf(id).back();
  EXPECT_TRUE(last.fromViewportDraw);
  EXPECT_EQ(last.color, 2);

  // Any view direction maps to +z of the eye, and the matrix is a rotation.
  for (AcGeVector3d direction : {AcGeVector3d(1, -1, 1), AcGeVector3d(0, 0, -1), AcGeVector3d(3, 0, 0)}) {
    AcGeMatrix3d m = acgiModelToEye(direction);
    EXPECT_TRUE((m * direction.normal()).isEqualTo(AcGeVector3d(0, 0, 1), AcGeTol()));
    EXPECT_TRUE((m * m.transpose()).isEqualTo(AcGeMatrix3d()));
  }
}

struct ViewportDrawCase {
  const char* name;
  bool worldComplete;
  bool regenerateAll;  // regenerate(), else update() after a change
};

class ViewportDrawTest : public DisplayListTest, public ::testing::WithParamInterface<ViewportDrawCase> {};

TEST_P(ViewportDrawTest, ViewportDrawRunsOnlyWhenTheWorldDrawingIsIncomplete) {
  const ViewportDrawCase& c = GetParam();
  auto* entity = new ViewDependent();
  entity->worldComplete = c.worldComplete;
  AcDbObjectId id = add(entity, 6);
  AcGiView view;
  view.viewportId = 7;
  AcGiDisplayList list(&db_, view);
  list.regenerate();
  if (!c.regenerateAll) {
    ASSERT_EQ(acdbOpenObject(entity, id, AcDb::kForWrite), Acad::eOk);
    entity->recordGraphicsModified();
    entity->close();
    list.update();
  }
  const int draws = c.regenerateAll ? 1 : 2;
  EXPECT_EQ(list.drawCount(id), draws);

  const std::vector<AcGiPrimitive>& primitives = list.primitivesOf(id);
  ASSERT_EQ(primitives.size(), c.worldComplete ? 1u : 2u);
  EXPECT_FALSE(primitives[0].fromViewportDraw);
  EXPECT_EQ(entity->viewportDraws, c.worldComplete ? 0 : draws);
  if (c.worldComplete) return;
  EXPECT_TRUE(primitives[1].fromViewportDraw);
  EXPECT_EQ(primitives[1].color, 6);
  EXPECT_EQ(primitives[1].points[1], AcGePoint3d(0, 1, 0));
  EXPECT_EQ(entity->viewportSeen, 7);
  EXPECT_EQ(entity->colorSeen, 6);
}

INSTANTIATE_TEST_SUITE_P(Table, ViewportDrawTest,
                         ::testing::Values(ViewportDrawCase{"IncompleteOnRegenerate", false, true},
                                           ViewportDrawCase{"IncompleteOnUpdate", false, false},
                                           ViewportDrawCase{"CompleteOnRegenerate", true, true},
                                           ViewportDrawCase{"CompleteOnUpdate", true, false}),
                         [](const ::testing::TestParamInfo<ViewportDrawCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
