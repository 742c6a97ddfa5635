// Evaluation through topology references against closed forms: points, parameters, projections,
// derivatives, ranges, periods, singular ends and NURBS export on planes, cylinders, spheres, cones
// and tori, and on straight and circular edges.
#include <gtest/gtest.h>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRepPrimAPI_MakeTorus.hxx>
#include <GeomConvert.hxx>
#include <Geom_BSplineSurface.hxx>
#include <Geom_CylindricalSurface.hxx>
#include <Geom_RectangularTrimmedSurface.hxx>
#include <gp_Ax3.hxx>

#include <cmath>
#include <functional>
#include <memory>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "topo_fixture.h"

namespace {

using topotest::childrenOf;
using topotest::TopoTest;

constexpr double kPi = 3.141592653589793;

AcGe::EntityId surfaceTypeOf(AcTopoRef* face) {
  auto* bounded = dynamic_cast<AcGeExternalBoundedSurface*>(face->GetGeometry());
  if (!bounded) return AcGe::kEntity3d;
  AcGeExternalSurface base;
  bounded->getBaseSurface(base);
  AcGeSurface* native = nullptr;
  base.isNativeSurface(native);
  std::unique_ptr<AcGeSurface> owned(native);
  return native ? native->type() : AcGe::kEntity3d;
}

// The first face of a body whose native surface is `type`.
AcTopoRef* faceOfType(AcTopoRef* body, AcGe::EntityId type) {
  for (auto [face, flag] : childrenOf(body))
    if (surfaceTypeOf(face) == type) return face;
  ADD_FAILURE() << "no face of type " << type;
  return nullptr;
}

CaeVector at(AcTopoRef* ref, double u, double v) {
  CaeVector point;
  ref->Feval(CaeVector(u, v, 0), point);
  return point;
}

double radial(const CaeVector& p, double cx, double cy) { return std::hypot(p[0] - cx, p[1] - cy); }

struct SurfaceCase {
  const char* name;
  std::function<TopoDS_Shape()> shape;
  AcGe::EntityId type;
  // Zero on the surface.
  std::function<double(const CaeVector&)> onSurface;
  // The outward normal of the solid at a surface point.
  std::function<CaeVector(const CaeVector&)> outward;
  double periodU;
  double periodV;
  bool closedU;
  bool closedV;
};

CaeVector unit(CaeVector v) {
  v.Normalize();
  return v;
}

const SurfaceCase kSurfaces[] = {
    {"cylinder r2 h5", [] { return BRepPrimAPI_MakeCylinder(2.0, 5.0).Shape(); }, AcGe::kCylinder,
     [](const CaeVector& p) { return radial(p, 0, 0) - 2.0; },
     [](const CaeVector& p) { return unit(CaeVector(p[0], p[1], 0)); }, 0.0, 2 * kPi, false, true},
    {"sphere r4 at (1,2,3)", [] { return BRepPrimAPI_MakeSphere(gp_Pnt(1, 2, 3), 4.0).Shape(); }, AcGe::kSphere,
     [](const CaeVector& p) { return (p - CaeVector(1, 2, 3)).Length() - 4.0; },
     [](const CaeVector& p) { return unit(p - CaeVector(1, 2, 3)); },
     // The latitude formula repeats after a full turn as well; the poles bound the range.
     2 * kPi, 2 * kPi, false, true},
    {"cone r3 to apex at height 4", [] { return BRepPrimAPI_MakeCone(3.0, 0.0, 4.0).Shape(); }, AcGe::kCone,
     [](const CaeVector& p) { return radial(p, 0, 0) - (3.0 - 0.75 * p[2]); },
     [](const CaeVector& p) {
       const double r = radial(p, 0, 0);
       return unit(CaeVector(p[0] / r, p[1] / r, 0.75));
     },
     0.0, 2 * kPi, false, true},
    {"torus R5 r1", [] { return BRepPrimAPI_MakeTorus(5.0, 1.0).Shape(); }, AcGe::kTorus,
     [](const CaeVector& p) { return std::hypot(radial(p, 0, 0) - 5.0, p[2]) - 1.0; },
     [](const CaeVector& p) {
       const double r = radial(p, 0, 0);
       return unit(CaeVector(p[0] - 5.0 * p[0] / r, p[1] - 5.0 * p[1] / r, p[2]));
     },
     2 * kPi, 2 * kPi, true, true},
};

void PrintTo(const SurfaceCase& c, std::ostream* os) { *os << c.name; }

class SurfaceEvaluation : public TopoTest, public ::testing::WithParamInterface<SurfaceCase> {};

TEST_P(SurfaceEvaluation, PointsDerivativesProjectionsAndPeriodsMatchTheClosedForm) {
  const SurfaceCase& c = GetParam();
  AcTopoRef* face = faceOfType(bodyOf(addSolid(c.shape())), c.type);
  ASSERT_NE(face, nullptr);
  double period = -1;
  EXPECT_EQ(face->Period(0, period), c.periodU > 0 ? 1 : 0);
  EXPECT_NEAR(period, c.periodU, 1e-9);
  EXPECT_EQ(face->Period(1, period), c.periodV > 0 ? 1 : 0);
  EXPECT_NEAR(period, c.periodV, 1e-9);
  EXPECT_EQ(face->IsClosed(0), c.closedU);
  EXPECT_EQ(face->IsClosed(1), c.closedV);
  CaeVector lower, upper;
  face->ParamRange(lower, upper);
  if (c.periodV > 0) {
    EXPECT_NEAR(upper[1] - lower[1], c.periodV, 1e-9);
  }
  ASSERT_LT(lower[0], upper[0]);

  const double h = 1e-5;
  for (double fu : {0.2, 0.5, 0.7}) {
    for (double fv : {0.1, 0.45, 0.9}) {
      SCOPED_TRACE(testing::Message() << "at " << fu << ", " << fv);
      const double u = lower[0] + fu * (upper[0] - lower[0]);
      const double v = lower[1] + fv * (upper[1] - lower[1]);
      const CaeVector p = at(face, u, v);
      EXPECT_NEAR(c.onSurface(p), 0.0, 1e-9);

      // Parameters back, and a point off the surface projects to its foot.
      CaeVector params;
      face->Reval(p, params);
      EXPECT_NEAR(params[0], u, 1e-7);
      EXPECT_NEAR(params[1], v, 1e-7);
      const CaeVector outward = c.outward(p);
      CaeVector closest;
      face->Project(p + outward * 0.3, closest, params);
      EXPECT_TRUE(closest.Equal(p, 1e-7)) << closest.X() << " " << closest.Y() << " " << closest.Z();
      EXPECT_NEAR(params[0], u, 1e-6);
      EXPECT_NEAR(params[1], v, 1e-6);

      // du is signed so that du x dv points into the solid.
      CaeVector normal;
      ASSERT_TRUE(face->Perp(CaeVector(u, v, 0), normal));
      EXPECT_TRUE(normal.Equal(-outward, 1e-7));
      CaeVector du, dv, duu, dvv, duv;
      face->FirstDerivs(CaeVector(u, v, 0), du, dv);
      face->SecondDerivs(CaeVector(u, v, 0), duu, dvv, duv);
      const CaeVector fdU = (at(face, u + h, v) - at(face, u - h, v)) * (1 / (2 * h));
      const CaeVector fdV = (at(face, u, v + h) - at(face, u, v - h)) * (1 / (2 * h));
      const double sign = (du - fdU).Length() < (du + fdU).Length() ? 1.0 : -1.0;
      EXPECT_TRUE((du * sign).Equal(fdU, 1e-5));
      EXPECT_TRUE(dv.Equal(fdV, 1e-5));
      const double h2 = 1e-3;
      const CaeVector fdUU = (at(face, u + h2, v) - p * 2 + at(face, u - h2, v)) * (1 / (h2 * h2));
      const CaeVector fdVV = (at(face, u, v + h2) - p * 2 + at(face, u, v - h2)) * (1 / (h2 * h2));
      const CaeVector fdUV =
          (at(face, u + h2, v + h2) - at(face, u + h2, v - h2) - at(face, u - h2, v + h2) + at(face, u - h2, v - h2)) *
          (1 / (4 * h2 * h2));
      EXPECT_TRUE((duu * sign).Equal(fdUU, 1e-4));
      EXPECT_TRUE(dvv.Equal(fdVV, 1e-4));
      EXPECT_TRUE(duv.Equal(fdUV, 1e-4));
    }
  }
}

// A cylinder goes out as a NURBS surface that evaluates like the face; any other curved surface
// is not exported and is a consistency check.
TEST_P(SurfaceEvaluation, ExportsACylinderAsANurbsSurfaceThatEvaluatesLikeTheFaceAndReportsTheRest) {
  const SurfaceCase& c = GetParam();
  AcTopoRef* face = faceOfType(bodyOf(addSolid(c.shape())), c.type);
  ASSERT_NE(face, nullptr);
  int closedU, closedV, periodicU, periodicV, degreeU, degreeV, countU, countV;
  CaeArray<CaeVector> points;
  CaeArray<double> weights, knotsU, knotsV;
  if (c.type != AcGe::kCylinder) {
    try {
      face->GetSurfaceDefinition(closedU, closedV, periodicU, periodicV, degreeU, degreeV, countU, countV, points,
                                 weights, knotsU, knotsV);
      ADD_FAILURE() << "a " << c.name << " face was exported";
    } catch (const CaeExcept& error) {
      EXPECT_EQ(error.Code(), kCaeMsgGeneralError) << error.String().Text();
    }
    return;
  }
  face->GetSurfaceDefinition(closedU, closedV, periodicU, periodicV, degreeU, degreeV, countU, countV, points, weights,
                             knotsU, knotsV);
  EXPECT_EQ(closedV != 0, c.closedV);
  ASSERT_EQ(points.Count(), countU * countV);
  AcGePoint3dArray controls;
  for (int i = 0; i < points.Count(); ++i) controls.emplace_back(points[i][0], points[i][1], points[i][2]);
  AcGeNurbSurface nurbs(degreeU, degreeV, countU, countV, controls,
                        AcGeDoubleArray(weights.Data(), weights.Data() + weights.Count()),
                        AcGeDoubleArray(knotsU.Data(), knotsU.Data() + knotsU.Count()),
                        AcGeDoubleArray(knotsV.Data(), knotsV.Data() + knotsV.Count()));
  ASSERT_TRUE(nurbs.isValid());
  CaeVector lower, upper;
  face->ParamRange(lower, upper);
  for (double fu : {0.0, 0.3, 1.0}) {
    for (double fv : {0.0, 0.25, 0.6, 1.0}) {
      const double u = lower[0] + fu * (upper[0] - lower[0]);
      const double v = lower[1] + fv * (upper[1] - lower[1]);
      const AcGePoint3d p = nurbs.evalPoint(AcGePoint2d(u, v));
      EXPECT_TRUE(CaeVector(p.x, p.y, p.z).Equal(at(face, u, v), 1e-6)) << u << ", " << v;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Surfaces, SurfaceEvaluation, ::testing::ValuesIn(kSurfaces), [](const auto& info) {
  std::string name = info.param.name;
  return name.substr(0, name.find(' '));
});

class EvaluationTest : public TopoTest {};

TEST_F(EvaluationTest, APlanarFaceWithAHoleHasItsOuterBoxAsRange) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  EXPECT_EQ(childrenOf(top).size(), 5u);  // four sides and the hole's circle
  CaeVector lower, upper;
  top->ParamRange(lower, upper);
  EXPECT_NEAR(std::abs((upper[0] - lower[0]) * (upper[1] - lower[1])), 200.0 * 100.0, 1e-6);
  double period = -1;
  EXPECT_EQ(top->Period(0, period), 0);
  EXPECT_EQ(period, 0.0);
  EXPECT_FALSE(top->IsClosed(0));
  EXPECT_FALSE(top->IsClosed(1));
  EXPECT_FALSE(top->IsSingularAt(0, 0));
  EXPECT_NEAR(at(top, lower[0], lower[1])[2], 10.0, 1e-12);
  CaeVector closest, params;
  top->Project(CaeVector(30, 20, 50), closest, params);
  EXPECT_TRUE(closest.Equal(CaeVector(30, 20, 10), 1e-9));
  CaeVector normal;
  ASSERT_TRUE(top->Perp(params, normal));
  EXPECT_TRUE(normal.Equal(CaeVector(0, 0, -1), 1e-12));

  // Exported as the bilinear patch of its box.
  int closedU, closedV, periodicU, periodicV, degreeU, degreeV, countU, countV;
  CaeArray<CaeVector> points;
  CaeArray<double> weights, knotsU, knotsV;
  top->GetSurfaceDefinition(closedU, closedV, periodicU, periodicV, degreeU, degreeV, countU, countV, points, weights,
                            knotsU, knotsV);
  EXPECT_EQ(degreeU, 1);
  EXPECT_EQ(countU * countV, 4);
  ASSERT_EQ(points.Count(), 4);
  EXPECT_TRUE(points[0].Equal(at(top, lower[0], lower[1]), 1e-9));
  EXPECT_TRUE(points[1].Equal(at(top, upper[0], lower[1]), 1e-9));
  EXPECT_TRUE(points[2].Equal(at(top, lower[0], upper[1]), 1e-9));
  EXPECT_TRUE(points[3].Equal(at(top, upper[0], upper[1]), 1e-9));
  EXPECT_EQ(weights.Count(), 0);
  EXPECT_EQ(knotsU.Count(), 4);
}

// A face answers the same point again from what it computed; an edit that moves or resizes the
// face must be seen all the same.
TEST_F(EvaluationTest, NormalsAndDerivativesAskedAgainFollowTheFaceThroughParameterEdits) {
  struct Step {
    const char* edit;
    CaeVector centre;
    double radius;
  };
  const Step steps[] = {{nullptr, CaeVector(100, 50, 0), 15.0},
                        {"PARAM set plate/L 300", CaeVector(150, 50, 0), 15.0},
                        {"PARAM set plate/D 40", CaeVector(150, 50, 0), 20.0},
                        {"UNDO 1", CaeVector(150, 50, 0), 15.0}};
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* hole = refOf(plate, Ami::kFaceKey, "hole1/side");
  const CaeVector point(130, 80, 5);
  for (const Step& step : steps) {
    if (step.edit) command(step.edit);
    CaeVector radial = point - step.centre;
    radial[2] = 0;
    ASSERT_TRUE(radial.Normalize());
    for (int ask = 0; ask < 2; ++ask) {
      SCOPED_TRACE(std::string(step.edit ? step.edit : "as loaded") + (ask ? ", asked again" : ""));
      CaeVector normal, params, du, dv, onFace;
      ASSERT_TRUE(hole->PerpUv(point, normal, params));
      EXPECT_NEAR(std::abs(normal.Dot(radial)), 1.0, 1e-9);
      hole->Feval(params, onFace);
      EXPECT_TRUE(onFace.Equal(step.centre + radial * step.radius + CaeVector(0, 0, 5), 1e-7));
      // Along the circle: square to the radius, and as long as the surface's own derivative.
      hole->FirstDerivs(params, du, dv);
      EXPECT_NEAR(du.Dot(radial), 0.0, 1e-7);
      CaeVector ahead;
      const double step_ = 1e-6;
      hole->Feval(params + CaeVector(step_, 0, 0), ahead);
      EXPECT_NEAR(du.Length(), (ahead - onFace).Length() / step_, 1e-4 * du.Length());
    }
  }
}

TEST_F(EvaluationTest, SpherePolesAreSingularEndsAndTheConeApexOne) {
  AcTopoRef* sphere = faceOfType(bodyOf(addSolid(BRepPrimAPI_MakeSphere(gp_Pnt(1, 2, 3), 4.0).Shape())), AcGe::kSphere);
  ASSERT_NE(sphere, nullptr);
  CaeVector lower, upper;
  sphere->ParamRange(lower, upper);
  EXPECT_NEAR(lower[0], -kPi / 2, 1e-9);
  EXPECT_NEAR(upper[0], kPi / 2, 1e-9);
  EXPECT_TRUE(at(sphere, lower[0], 0.3).Equal(CaeVector(1, 2, -1), 1e-9));
  EXPECT_TRUE(sphere->IsSingularAt(1, 0));
  EXPECT_TRUE(sphere->IsSingularAt(1, 1));
  EXPECT_FALSE(sphere->IsSingularAt(0, 0));
  EXPECT_FALSE(sphere->IsSingularAt(0, 1));

  AcTopoRef* cone = faceOfType(bodyOf(addSolid(BRepPrimAPI_MakeCone(3.0, 0.0, 4.0).Shape())), AcGe::kCone);
  ASSERT_NE(cone, nullptr);
  EXPECT_NE(cone->IsSingularAt(1, 0), cone->IsSingularAt(1, 1));
  cone->ParamRange(lower, upper);
  const double apexEnd = cone->IsSingularAt(1, 0) ? lower[0] : upper[0];
  EXPECT_TRUE(at(cone, apexEnd, 1.0).Equal(CaeVector(0, 0, 4), 1e-9));
}

TEST_F(EvaluationTest, AClosedSurfaceWithoutPeriodGetsItsWholeRange) {
  // A cylinder converted to a B-spline: closed around (its u here), but not periodic.
  Handle(Geom_Surface) cylinder = new Geom_CylindricalSurface(gp_Ax3(gp::XOY()), 2.0);
  Handle(Geom_Surface) trimmed = new Geom_RectangularTrimmedSurface(cylinder, 0.0, 2 * kPi, 0.0, 5.0);
  Handle(Geom_BSplineSurface) spline = GeomConvert::SurfaceToBSplineSurface(trimmed);
  spline->SetUNotPeriodic();
  ASSERT_FALSE(spline->IsUPeriodic());
  AcTopoRef* face = faceOf(addSolid(BRepBuilderAPI_MakeFace(spline, 1e-7).Shape()), 1);
  ASSERT_NE(face, nullptr);
  EXPECT_TRUE(face->IsClosed(0));
  double period = -1;
  EXPECT_EQ(face->Period(0, period), 0);
  CaeVector lower, upper;
  face->ParamRange(lower, upper);
  EXPECT_NEAR(upper[0] - lower[0], 2 * kPi, 1e-6);
  EXPECT_TRUE(at(face, lower[0], 1.0).Equal(at(face, upper[0], 1.0), 1e-7));
  EXPECT_FALSE(at(face, lower[0], 1.0).Equal(at(face, (lower[0] + upper[0]) / 2, 1.0), 1.0));
}

TEST_F(EvaluationTest, StraightEdgesClampProjectionsToTheirEnds) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* edge = refOf(plate, Ami::kEdgeKey, "plate/front|plate/top");  // (0,0,10) to (200,0,10)
  CaeVector lower, upper;
  edge->ParamRange(lower, upper);
  const CaeVector from = at(edge, lower[0], 0);
  const CaeVector to = at(edge, upper[0], 0);
  EXPECT_NEAR((to - from).Length(), 200.0, 1e-9);
  const struct {
    CaeVector probe;
    CaeVector expected;
  } cases[] = {
      {CaeVector(50, -3, 12), CaeVector(50, 0, 10)},
      {CaeVector(250, 5, 10), CaeVector(200, 0, 10)},
      {CaeVector(-40, 0, 10), CaeVector(0, 0, 10)},
  };
  for (const auto& c : cases) {
    CaeVector closest, params;
    edge->Project(c.probe, closest, params);
    EXPECT_TRUE(closest.Equal(c.expected, 1e-9)) << closest.X() << " " << closest.Y() << " " << closest.Z();
    EXPECT_TRUE(at(edge, params[0], 0).Equal(c.expected, 1e-9));
  }
  EXPECT_FALSE(edge->IsClosed(0));
  double period = -1;
  EXPECT_EQ(edge->Period(0, period), 0);
  CaeArray<CaeVector> points;
  CaeArray<double> weights, knots;
  int closed, periodic, degree;
  edge->GetCurveDefinition(closed, periodic, degree, points, weights, knots);
  EXPECT_EQ(degree, 1);
  ASSERT_EQ(points.Count(), 2);
  EXPECT_TRUE((points[1] - points[0]).Length() > 199.999);
}

TEST_F(EvaluationTest, CircularEdgesArePeriodicOverTheirWholeTurn) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* circle = refOf(plate, Ami::kEdgeKey, "hole1/side|plate/top");  // centre (100,50,10), r 15
  CaeVector lower, upper;
  circle->ParamRange(lower, upper);
  EXPECT_NEAR(upper[0] - lower[0], 2 * kPi, 1e-9);
  double period = 0;
  EXPECT_EQ(circle->Period(0, period), 1);
  EXPECT_NEAR(period, 2 * kPi, 1e-12);
  EXPECT_TRUE(circle->IsClosed(0));
  EXPECT_NEAR(circle->EdgeLength(), 2 * kPi * 15.0, 1e-3);
  // A periodic edge has no singular ends; asking is not an error.
  EXPECT_FALSE(circle->IsSingularAt(0, 0));
  EXPECT_FALSE(circle->IsSingularAt(0, 1));
  for (double f : {0.0, 0.3, 0.99}) {
    const CaeVector p = at(circle, lower[0] + f * (upper[0] - lower[0]), 0);
    EXPECT_NEAR(std::hypot(p[0] - 100, p[1] - 50), 15.0, 1e-9);
    EXPECT_NEAR(p[2], 10.0, 1e-12);
    CaeVector params;
    circle->Reval(p, params);
    EXPECT_GE(params[0], lower[0] - 1e-9);
    EXPECT_LE(params[0], upper[0] + 1e-9);
    EXPECT_TRUE(at(circle, params[0], 0).Equal(p, 1e-9));
  }
  CaeVector closest, params;
  circle->Project(CaeVector(130, 50, 10), closest, params);
  EXPECT_TRUE(closest.Equal(CaeVector(115, 50, 10), 1e-9));

  int closed, periodic, degree;
  CaeArray<CaeVector> points;
  CaeArray<double> weights, knots;
  circle->GetCurveDefinition(closed, periodic, degree, points, weights, knots);
  EXPECT_EQ(degree, 2);
  ASSERT_EQ(points.Count(), 9);
  ASSERT_EQ(weights.Count(), 9);
  EXPECT_EQ(knots.Count(), 12);
  for (int i = 0; i < 9; ++i) {
    EXPECT_NEAR(std::hypot(points[i][0] - 100, points[i][1] - 50), i % 2 ? 15.0 * std::sqrt(2.0) : 15.0, 1e-9);
    EXPECT_NEAR(points[i][2], 10.0, 1e-9);
  }
}

TEST_F(EvaluationTest, ABodyEchoesItsInputAndKindsThatDoNotServeReport) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* body = bodyOf(plate);
  CaeVector out;
  body->Feval(CaeVector(1, 2, 3), out);
  EXPECT_EQ(out, CaeVector(1, 2, 3));
  CaeVector closest, params;
  body->Project(CaeVector(4, 5, 6), closest, params);
  EXPECT_EQ(closest, CaeVector(4, 5, 6));
  EXPECT_EQ(params, CaeVector(4, 5, 6));
  CaeVector lower, upper, du, dv;
  EXPECT_THROW(body->ParamRange(lower, upper), CaeExcept);
  EXPECT_THROW(body->FirstDerivs(CaeVector(), du, dv), CaeExcept);
  EXPECT_THROW(body->EdgeLength(), CaeExcept);
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  int closed, periodic, degree;
  CaeArray<CaeVector> points;
  CaeArray<double> weights, knots;
  EXPECT_THROW(top->GetCurveDefinition(closed, periodic, degree, points, weights, knots), CaeExcept);
}

TEST_F(EvaluationTest, AnEdgeThatLostItsEntityAnswersThroughItsVertexOrReports) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* edge = refOf(plate, Ami::kEdgeKey, "plate/front|plate/top");
  CaeVector vertexPoint;
  childrenOf(edge).front().first->Feval(CaeVector(), vertexPoint);
  AcTopoTables::Current()->UnlinkReference(edge);  // the table is ordered by entity
  edge->SetEntity(nullptr);
  CaeVector point, closest, params(7, 7, 7);
  edge->Feval(CaeVector(50, 0, 0), point);
  EXPECT_EQ(point, vertexPoint);
  edge->Project(CaeVector(50, 1, 1), closest, params);
  EXPECT_EQ(closest, vertexPoint);
  EXPECT_EQ(edge->EdgeLength(), 0.0);
  // Without children there is nothing to answer with: a report, not a crash.
  edge->ClearChildren();
  EXPECT_THROW(edge->Feval(CaeVector(50, 0, 0), point), CaeExcept);
  EXPECT_THROW(edge->Project(CaeVector(50, 1, 1), closest, params), CaeExcept);
}

}  // namespace
