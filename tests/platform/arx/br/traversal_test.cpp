// Traversal of solids' topology: faces, loops (vertex loops, inner loops), edges with their
// senses and seams, vertices; subentity paths and the statuses callers test.
#include <gtest/gtest.h>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <GeomConvert.hxx>
#include <Geom_BSplineSurface.hxx>
#include <Geom_CylindricalSurface.hxx>
#include <Geom_RectangularTrimmedSurface.hxx>
#include <gp_Ax2.hxx>
#include <gp_Ax3.hxx>

#include <map>
#include <memory>
#include <numbers>

#include "arx/brtrav.h"
#include "arx/dbdatabase.h"
#include "test_solid.h"

namespace {

constexpr double kPi = std::numbers::pi;

// One edge of a loop as a traverser gives it.
struct Coedge {
  int index;  // edge subentity index
  bool alongLoop;
  AcGePoint3d from, to;  // in the loop's sense
};

struct LoopSummary {
  bool vertexLoop = false;
  AcGePoint3d vertex;  // vertex loops
  std::vector<Coedge> coedges;
};

std::vector<LoopSummary> loopsOf(const AcBrFace& face) {
  std::vector<LoopSummary> loops;
  AcBrFaceLoopTraverser loopTraverser;
  if (loopTraverser.setFace(face) != AcBr::eOk) return loops;
  for (; !loopTraverser.done(); loopTraverser.next()) {
    LoopSummary summary;
    AcBrLoopEdgeTraverser edges;
    AcBr::ErrorStatus status = edges.setLoop(loopTraverser);
    if (status == AcBr::eDegenerateTopology) {
      summary.vertexLoop = true;
      AcBrLoopVertexTraverser vertices;
      EXPECT_EQ(vertices.setLoop(loopTraverser), AcBr::eOk);
      AcBrVertex vertex;
      EXPECT_EQ(vertices.getVertex(vertex), AcBr::eOk);
      vertex.getPoint(summary.vertex);
      vertices.next();
      EXPECT_TRUE(vertices.done()) << "a vertex loop has one vertex";
    } else {
      EXPECT_EQ(status, AcBr::eOk);
      for (; !edges.done(); edges.next()) {
        AcBrEdge edge;
        EXPECT_EQ(edges.getEdge(edge), AcBr::eOk);
        Coedge coedge{};
        AcDbFullSubentPath path;
        EXPECT_EQ(edge.getSubentPath(path), AcBr::eOk);
        coedge.index = path.subentId().index();
        edges.getEdgeOrientToLoop(coedge.alongLoop);
        AcBrVertex v1, v2;
        edge.getVertex1(v1);
        edge.getVertex2(v2);
        AcGePoint3d p1, p2;
        v1.getPoint(p1);
        v2.getPoint(p2);
        coedge.from = coedge.alongLoop ? p1 : p2;
        coedge.to = coedge.alongLoop ? p2 : p1;
        summary.coedges.push_back(coedge);
      }
    }
    loops.push_back(summary);
  }
  return loops;
}

std::vector<AcBrFace> facesOf(const AcBrBrep& brep) {
  std::vector<AcBrFace> faces;
  AcBrBrepFaceTraverser traverser;
  EXPECT_EQ(traverser.setBrep(brep), AcBr::eOk);
  for (; !traverser.done(); traverser.next()) {
    AcBrFace face;
    EXPECT_EQ(traverser.getFace(face), AcBr::eOk);
    faces.push_back(face);
  }
  return faces;
}

AcGe::EntityId nativeSurfaceType(const AcBrFace& face) {
  AcGeSurface* surface = nullptr;
  if (face.getSurface(surface) != AcBr::eOk) return AcGe::kEntity3d;
  std::unique_ptr<AcGeSurface> bounded(surface);
  AcGeExternalSurface base;
  static_cast<AcGeExternalBoundedSurface*>(surface)->getBaseSurface(base);
  AcGeSurface* native = nullptr;
  if (!base.isNativeSurface(native)) return AcGe::kExternalSurface;
  std::unique_ptr<AcGeSurface> owned(native);
  return native->type();
}

class BrepTest : public ::testing::Test {
 protected:
  AcBrBrep brepOf(const TopoDS_Shape& shape) {
    AcBrBrep brep;
    EXPECT_EQ(brep.setSubentPath(AcDbFullSubentPath(addSolid(db_, shape), kNullSubent)), AcBr::eOk);
    return brep;
  }
  AcDbDatabase db_;
};

// Each loop of edges is a closed chain: each coedge ends where the next begins.
void expectChained(const LoopSummary& loop) {
  for (std::size_t i = 0; i < loop.coedges.size(); ++i) {
    const Coedge& next = loop.coedges[(i + 1) % loop.coedges.size()];
    EXPECT_TRUE(loop.coedges[i].to.isEqualTo(next.from, AcGeTol())) << "coedge " << i;
  }
}

TEST_F(BrepTest, BoxHasSixPlanarFacesOfOneLoopOfFourEdgesEachShared) {
  AcBrBrep box = brepOf(BRepPrimAPI_MakeBox(10, 20, 30).Shape());
  std::vector<AcBrFace> faces = facesOf(box);
  ASSERT_EQ(faces.size(), 6u);
  std::map<int, int> usesOfEdge;
  for (std::size_t i = 0; i < faces.size(); ++i) {
    SCOPED_TRACE(i);
    AcDbFullSubentPath path;
    ASSERT_EQ(faces[i].getSubentPath(path), AcBr::eOk);
    EXPECT_EQ(path.subentId(), AcDbSubentId(AcDb::kFaceSubentType, static_cast<int>(i) + 1));
    EXPECT_EQ(nativeSurfaceType(faces[i]), AcGe::kPlane);
    std::vector<LoopSummary> loops = loopsOf(faces[i]);
    ASSERT_EQ(loops.size(), 1u);
    ASSERT_EQ(loops[0].coedges.size(), 4u);
    expectChained(loops[0]);
    for (const Coedge& c : loops[0].coedges) ++usesOfEdge[c.index];
  }
  EXPECT_EQ(usesOfEdge.size(), 12u);
  for (const auto& [edge, uses] : usesOfEdge) EXPECT_EQ(uses, 2) << "edge " << edge;
}

TEST_F(BrepTest, FaceOrientationGivesTheOutwardNormal) {
  AcBrBrep box = brepOf(BRepPrimAPI_MakeBox(10, 20, 30).Shape());
  for (const AcBrFace& face : facesOf(box)) {
    AcGeSurface* surface = nullptr;
    ASSERT_EQ(face.getSurface(surface), AcBr::eOk);
    std::unique_ptr<AcGeSurface> owned(surface);
    AcGeInterval u, v;
    surface->getEnvelope(u, v);
    AcGePoint2d middle(u.lowerBound() + u.length() / 2, v.lowerBound() + v.length() / 2);
    AcGeVector3dArray derivs;
    AcGeVector3d normal;
    AcGePoint3d centre = surface->evalPoint(middle, 1, derivs, normal);
    bool oriented = false;
    ASSERT_EQ(face.getOrientToSurface(oriented), AcBr::eOk);
    if (!oriented) normal.negate();
    // The face's own normal leads out of the box.
    AcGePoint3d outside = centre + normal * 1.0;
    bool isOutside =
        outside.x < 0 || outside.x > 10 || outside.y < 0 || outside.y > 20 || outside.z < 0 || outside.z > 30;
    EXPECT_TRUE(isOutside) << centre.x << "," << centre.y << "," << centre.z;
  }
}

TEST_F(BrepTest, CylinderSideHasASeamTwiceAndItsRealParameterRange) {
  AcBrBrep cylinder = brepOf(BRepPrimAPI_MakeCylinder(2.0, 5.0).Shape());
  int sides = 0;
  for (const AcBrFace& face : facesOf(cylinder)) {
    if (nativeSurfaceType(face) != AcGe::kCylinder) continue;
    ++sides;
    std::vector<LoopSummary> loops = loopsOf(face);
    ASSERT_EQ(loops.size(), 1u);
    expectChained(loops[0]);
    std::map<int, std::vector<bool>> senses;
    for (const Coedge& c : loops[0].coedges) senses[c.index].push_back(c.alongLoop);
    int seams = 0;
    for (const auto& [edge, uses] : senses)
      if (uses.size() == 2) {
        ++seams;
        EXPECT_NE(uses[0], uses[1]) << "a seam is used once each way";
      }
    EXPECT_EQ(seams, 1);

    AcGeSurface* surface = nullptr;
    ASSERT_EQ(face.getSurface(surface), AcBr::eOk);
    std::unique_ptr<AcGeSurface> owned(surface);
    AcGeInterval u, v;
    surface->getEnvelope(u, v);
    EXPECT_NEAR(u.lowerBound(), 0.0, 1e-9);  // height
    EXPECT_NEAR(u.upperBound(), 5.0, 1e-9);
    EXPECT_NEAR(v.length(), 2 * kPi, 1e-9);  // angle
    EXPECT_TRUE(surface->isClosedInV());
  }
  EXPECT_EQ(sides, 1);
}

TEST_F(BrepTest, ClosedEdgesHaveOneVertexAndPeriodicCurves) {
  AcBrBrep cylinder = brepOf(BRepPrimAPI_MakeCylinder(2.0, 5.0).Shape());
  AcDbFullSubentPath body;
  ASSERT_EQ(cylinder.getSubentPath(body), AcBr::eOk);
  for (int index = 1; index <= 3; ++index) {
    SCOPED_TRACE(index);
    AcBrEdge edge;
    ASSERT_EQ(edge.setSubentPath(AcDbFullSubentPath(body.objectIds(), AcDbSubentId(AcDb::kEdgeSubentType, index))),
              AcBr::eOk);
    AcGeCurve3d* curve = nullptr;
    ASSERT_EQ(edge.getCurve(curve), AcBr::eOk);
    std::unique_ptr<AcGeCurve3d> owned(curve);
    AcGeCurve3d* native = nullptr;
    ASSERT_TRUE(static_cast<AcGeExternalCurve3d*>(curve)->isNativeCurve(native));
    std::unique_ptr<AcGeCurve3d> ownedNative(native);
    AcBrVertex v1, v2;
    edge.getVertex1(v1);
    edge.getVertex2(v2);
    AcGePoint3d start, end;
    v1.getPoint(start);
    v2.getPoint(end);
    double period = 0;
    if (native->type() == AcGe::kCircArc3d) {
      EXPECT_TRUE(v1.isEqualTo(&v2)) << "a closed edge starts and ends at its one vertex";
      EXPECT_TRUE(curve->isClosed());
      EXPECT_TRUE(curve->isPeriodic(period));
      EXPECT_NEAR(period, 2 * kPi, 1e-12);
    } else {
      EXPECT_EQ(native->type(), AcGe::kLineSeg3d);
      EXPECT_NEAR(start.distanceTo(end), 5.0, 1e-9);
      EXPECT_FALSE(curve->isPeriodic(period));
    }
    // The curve runs from vertex 1 to vertex 2.
    AcGeInterval interval;
    curve->getInterval(interval);
    EXPECT_TRUE(curve->evalPoint(interval.lowerBound()).isEqualTo(start, AcGeTol()));
    EXPECT_TRUE(curve->evalPoint(interval.upperBound()).isEqualTo(end, AcGeTol()));
  }
}

TEST_F(BrepTest, PlateWithAHoleHasAnInnerLoopOnBothSides) {
  TopoDS_Shape plate = BRepPrimAPI_MakeBox(40, 20, 2).Shape();
  TopoDS_Shape hole = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(20, 10, -1), gp_Dir(0, 0, 1)), 4.0, 4.0).Shape();
  AcBrBrep brep = brepOf(BRepAlgoAPI_Cut(plate, hole).Shape());
  int facesWithHole = 0, cylinders = 0;
  for (const AcBrFace& face : facesOf(brep)) {
    std::vector<LoopSummary> loops = loopsOf(face);
    if (nativeSurfaceType(face) == AcGe::kCylinder) ++cylinders;
    if (loops.size() != 2) continue;
    ++facesWithHole;
    EXPECT_EQ(nativeSurfaceType(face), AcGe::kPlane);
    for (const LoopSummary& loop : loops) expectChained(loop);
    // The inner loop runs round the hole: its points lie 4 from the hole's axis.
    const LoopSummary& inner = loops[0].coedges.size() == 4 ? loops[1] : loops[0];
    for (const Coedge& c : inner.coedges) EXPECT_NEAR(std::hypot(c.from.x - 20, c.from.y - 10), 4.0, 1e-7);
  }
  EXPECT_EQ(facesWithHole, 2);
  EXPECT_EQ(cylinders, 1);
}

TEST_F(BrepTest, SpherePolesAndConeApexAreVertexLoopsAheadOfTheEdgeLoops) {
  struct Case {
    const char* name;
    TopoDS_Shape shape;
    AcGe::EntityId surface;
    std::vector<AcGePoint3d> points;  // the vertex loops' points
  };
  std::vector<Case> cases = {
      {"sphere", BRepPrimAPI_MakeSphere(3.0).Shape(), AcGe::kSphere, {{0, 0, -3}, {0, 0, 3}}},
      {"cone", BRepPrimAPI_MakeCone(2.0, 0.0, 4.0).Shape(), AcGe::kCone, {{0, 0, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcBrBrep brep = brepOf(c.shape);
    int found = 0;
    for (const AcBrFace& face : facesOf(brep)) {
      if (nativeSurfaceType(face) != c.surface) continue;
      ++found;
      std::vector<LoopSummary> loops = loopsOf(face);
      ASSERT_EQ(loops.size(), c.points.size() + 1);
      std::vector<AcGePoint3d> points;
      for (std::size_t i = 0; i < c.points.size(); ++i) {
        ASSERT_TRUE(loops[i].vertexLoop);
        points.push_back(loops[i].vertex);
      }
      for (const AcGePoint3d& expected : c.points) {
        bool seen = false;
        for (const AcGePoint3d& p : points) seen = seen || p.isEqualTo(expected, AcGeTol());
        EXPECT_TRUE(seen) << expected.x << "," << expected.y << "," << expected.z;
      }
      EXPECT_FALSE(loops.back().vertexLoop);
      expectChained(loops.back());
    }
    EXPECT_EQ(found, 1);
  }
}

TEST_F(BrepTest, ClosedFaceThatIsNotPeriodicKeepsItsRealParameterRange) {
  // A cylinder converted to a spline: closed round its angle, but not periodic.
  Handle(Geom_Surface) cylinder = new Geom_CylindricalSurface(gp_Ax3(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1)), 2.0);
  Handle(Geom_BSplineSurface) spline =
      GeomConvert::SurfaceToBSplineSurface(new Geom_RectangularTrimmedSurface(cylinder, 0.0, 2 * kPi, 0.0, 3.0));
  spline->SetUNotPeriodic();
  ASSERT_FALSE(spline->IsUPeriodic());
  double u0, u1, v0, v1;
  spline->Bounds(u0, u1, v0, v1);
  auto* solid = new TestSolid(BRepBuilderAPI_MakeFace(spline, 1e-7).Shape());
  AcDbObjectId id;
  db_.addAcDbObject(id, solid);
  AcBrBrep brep;
  ASSERT_EQ(brep.set(*solid), AcBr::eOk);
  solid->close();
  std::vector<AcBrFace> faces = facesOf(brep);
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_EQ(nativeSurfaceType(faces[0]), AcGe::kNurbSurface);
  AcGeSurface* surface = nullptr;
  ASSERT_EQ(faces[0].getSurface(surface), AcBr::eOk);
  std::unique_ptr<AcGeSurface> owned(surface);
  AcGeInterval u, v;
  surface->getEnvelope(u, v);
  EXPECT_NEAR(u.lowerBound(), u0, 1e-9);
  EXPECT_NEAR(u.upperBound(), u1, 1e-9);
  EXPECT_GT(u.length(), 0.0);
  EXPECT_NEAR(v.upperBound(), v1, 1e-9);
  double period = 1;
  EXPECT_FALSE(surface->isPeriodicInU(period));
  EXPECT_TRUE(surface->isClosedInU(AcGeTol()));
  EXPECT_FALSE(surface->isClosedInV(AcGeTol()));

  // Its NURBS definition says closed, not periodic, rational, in u; open in v.
  AcGeExternalSurface base;
  static_cast<AcGeExternalBoundedSurface*>(surface)->getBaseSurface(base);
  AcGeSurface* native = nullptr;
  ASSERT_TRUE(base.isNativeSurface(native));
  std::unique_ptr<AcGeSurface> ownedNative(native);
  int degU, degV, propsU, propsV, nU, nV;
  AcGePoint3dArray points;
  AcGeDoubleArray weights, uKnots, vKnots;
  static_cast<AcGeNurbSurface*>(native)->getDefinition(degU, degV, propsU, propsV, nU, nV, points, weights, uKnots,
                                                       vKnots);
  EXPECT_EQ(propsU, AcGe::kClosed | AcGe::kRational);
  EXPECT_EQ(propsV, AcGe::kOpen | AcGe::kRational);
  EXPECT_EQ(points.size(), static_cast<std::size_t>(nU * nV));
  EXPECT_EQ(weights.size(), points.size());
  EXPECT_EQ(uKnots.size(), static_cast<std::size_t>(nU + degU + 1));
}

TEST_F(BrepTest, PathsAreCheckedAndRefreshedAgainstTheCurrentShape) {
  AcDbObjectId id = addSolid(db_, BRepPrimAPI_MakeBox(1, 1, 1).Shape());
  struct Case {
    AcDbSubentId subent;
    AcBr::ErrorStatus asFace;
  };
  const Case cases[] = {
      {{AcDb::kFaceSubentType, 6}, AcBr::eOk},
      {{AcDb::kFaceSubentType, 7}, AcBr::eMissingSubentity},
      {{AcDb::kFaceSubentType, 0}, AcBr::eMissingSubentity},
      {{AcDb::kEdgeSubentType, 1}, AcBr::eWrongSubentityType},
  };
  for (const Case& c : cases) {
    AcBrFace face;
    EXPECT_EQ(face.setSubentPath(AcDbFullSubentPath(id, c.subent)), c.asFace) << c.subent.index();
    EXPECT_EQ(face.isNull(), c.asFace != AcBr::eOk);
  }
  AcBrFace sixth;
  ASSERT_EQ(sixth.setSubentPath(AcDbFullSubentPath(id, {AcDb::kFaceSubentType, 6})), AcBr::eOk);

  // The part is regenerated as a cylinder (three faces): face 6 no longer exists.
  TestSolid* solid = nullptr;
  ASSERT_EQ(acdbOpenObject(solid, id, AcDb::kForWrite), Acad::eOk);
  solid->setShape(BRepPrimAPI_MakeCylinder(1.0, 1.0).Shape());
  solid->close();
  AcDbFullSubentPath path;
  EXPECT_EQ(sixth.getSubentPath(path), AcBr::eMissingSubentity);

  AcBrFace first;
  ASSERT_EQ(first.setSubentPath(AcDbFullSubentPath(id, {AcDb::kFaceSubentType, 1})), AcBr::eOk);
  EXPECT_EQ(nativeSurfaceType(first), AcGe::kCylinder);
  AcBrBrep body;
  ASSERT_EQ(first.getBrep(body), AcBr::eOk);
  EXPECT_EQ(facesOf(body).size(), 3u);

  // An entity without a B-rep, and an erased one, give no brep.
  auto* plain = new AcDbEntity();
  AcDbObjectId plainId;
  db_.addAcDbObject(plainId, plain);
  plain->close();
  AcBrBrep none;
  EXPECT_EQ(none.setSubentPath(AcDbFullSubentPath(plainId, kNullSubent)), AcBr::eNotInDatabase);
  ASSERT_EQ(acdbOpenObject(solid, id, AcDb::kForWrite), Acad::eOk);
  solid->erase();
  solid->close();
  EXPECT_EQ(first.getSubentPath(path), AcBr::eNotInDatabase);
}

TEST_F(BrepTest, TraversersReportMisuse) {
  AcBrBrepFaceTraverser faces;
  AcBrFace face;
  EXPECT_TRUE(faces.done());
  EXPECT_EQ(faces.getFace(face), AcBr::eOutOfRange);
  EXPECT_EQ(faces.setBrep(AcBrBrep()), AcBr::eUninitialisedObject);
  AcBrFaceLoopTraverser loops;
  EXPECT_EQ(loops.setFace(AcBrFace()), AcBr::eUninitialisedObject);
  AcBrLoopEdgeTraverser edges;
  EXPECT_EQ(edges.setLoop(loops), AcBr::eOutOfRange);
  AcBrEdge edge;
  EXPECT_EQ(edges.getEdge(edge), AcBr::eOutOfRange);
  AcGeCurve3d* curve = nullptr;
  EXPECT_EQ(edge.getCurve(curve), AcBr::eUninitialisedObject);

  // Walked to its end, a face traverser restarts at the first face.
  AcBrBrep box = brepOf(BRepPrimAPI_MakeBox(1, 2, 3).Shape());
  ASSERT_EQ(faces.setBrep(box), AcBr::eOk);
  while (!faces.done()) faces.next();
  EXPECT_EQ(faces.next(), AcBr::eOutOfRange);
  ASSERT_EQ(faces.restart(), AcBr::eOk);
  ASSERT_EQ(faces.getFace(face), AcBr::eOk);
  AcDbFullSubentPath path;
  face.getSubentPath(path);
  EXPECT_EQ(path.subentId().index(), 1);

  // Loops taken out of a traverser walk the same edges as the traverser itself.
  ASSERT_EQ(loops.setFace(face), AcBr::eOk);
  AcBrLoop loop;
  ASSERT_EQ(loops.getLoop(loop), AcBr::eOk);
  EXPECT_FALSE(loop.isVertexLoop());
  ASSERT_EQ(edges.setLoop(loop), AcBr::eOk);
  int count = 0;
  for (; !edges.done(); edges.next()) ++count;
  EXPECT_EQ(count, 4);
}

}  // namespace
