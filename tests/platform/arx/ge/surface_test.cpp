// Surfaces against their closed forms: points, first and second derivatives, normals,
// projections, envelopes, closedness and periods; NURBS definitions and export.
#include <gtest/gtest.h>

#include <Geom_CylindricalSurface.hxx>
#include <Geom_SphericalSurface.hxx>
#include <gp_Ax3.hxx>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include "arx/geocct.h"
#include "arx/gesurf.h"

namespace {

constexpr double kPi = std::numbers::pi;
using V = AcGeVector3d;

void expectNear(const AcGeVector3d& actual, const AcGeVector3d& expected, double tol, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_NEAR(actual.x, expected.x, tol);
  EXPECT_NEAR(actual.y, expected.y, tol);
  EXPECT_NEAR(actual.z, expected.z, tol);
}

// du, dv, duu, duv, dvv and the outward normal at (u, v), and the point as a vector.
struct Closed {
  std::function<V(double, double)> point;
  std::function<std::array<V, 5>(double, double)> derivs;
  std::function<V(double, double)> normal;
};

struct SurfaceCase {
  const char* name;
  std::shared_ptr<AcGeSurface> surface;
  Closed closed;
  AcGe::EntityId type;
  bool closedU, closedV;
  double periodU, periodV;  // 0 when not periodic
  double uLow, uHigh;       // the envelope in u (infinite when unbounded); v is [0, 2 pi] unless periodV is 0
};

V ring(double v) { return {std::cos(v), std::sin(v), 0}; }
V ringTangent(double v) { return {-std::sin(v), std::cos(v), 0}; }
const V z{0, 0, 1};
const double inf = AcGeInterval::kInfinity;
const double a = kPi / 6;  // the cone's half angle

std::vector<SurfaceCase> cases() {
  return {
      {"plane",
       std::make_shared<AcGePlane>(AcGePoint3d(1, 2, 3), V(0, 1, 0), V(0, 0, 1)),
       {[](double u, double v) { return V(1, 2 + u, 3 + v); },
        [](double, double) {
          return std::array<V, 5>{V(0, 1, 0), V(0, 0, 1), V(), V(), V()};
        },
        [](double, double) { return V(1, 0, 0); }},
       AcGe::kPlane,
       false,
       false,
       0,
       0,
       -inf,
       inf},
      {"cylinder",
       std::make_shared<AcGeCylinder>(2.0, AcGePoint3d(0, 0, 1), z, V(1, 0, 0)),
       {[](double u, double v) { return ring(v) * 2 + V(0, 0, 1 + u); },
        [](double, double v) {
          return std::array<V, 5>{z, ringTangent(v) * 2, V(), V(), ring(v) * -2};
        },
        [](double, double v) { return ring(v); }},
       AcGe::kCylinder,
       false,
       true,
       0,
       2 * kPi,
       -inf,
       inf},
      {"cone",
       std::make_shared<AcGeCone>(1.0, a, AcGePoint3d(0, 0, 0), z, V(1, 0, 0)),
       {[](double u, double v) { return z * (u * std::cos(a)) + ring(v) * (1 + u * std::sin(a)); },
        [](double u, double v) {
          return std::array<V, 5>{ring(v) * std::sin(a) + z * std::cos(a), ringTangent(v) * (1 + u * std::sin(a)), V(),
                                  ringTangent(v) * std::sin(a), ring(v) * -(1 + u * std::sin(a))};
        },
        [](double, double v) { return ring(v) * std::cos(a) - z * std::sin(a); }},
       AcGe::kCone,
       false,
       true,
       0,
       2 * kPi,
       -inf,
       inf},
      {"sphere",
       std::make_shared<AcGeSphere>(3.0, AcGePoint3d(1, 0, 0), z, V(1, 0, 0)),
       {[](double u, double v) { return V(1, 0, 0) + ring(v) * (3 * std::cos(u)) + z * (3 * std::sin(u)); },
        [](double u, double v) {
          return std::array<V, 5>{ring(v) * (-3 * std::sin(u)) + z * (3 * std::cos(u)),
                                  ringTangent(v) * (3 * std::cos(u)),
                                  ring(v) * (-3 * std::cos(u)) - z * (3 * std::sin(u)),
                                  ringTangent(v) * (-3 * std::sin(u)), ring(v) * (-3 * std::cos(u))};
        },
        [](double u, double v) { return ring(v) * std::cos(u) + z * std::sin(u); }},
       AcGe::kSphere,
       false,
       true,
       0,
       2 * kPi,
       -kPi / 2,
       kPi / 2},
      {"torus",
       std::make_shared<AcGeTorus>(5.0, 1.0, AcGePoint3d(0, 0, 0), z, V(1, 0, 0)),
       {[](double u, double v) { return ring(v) * (5 + std::cos(u)) + z * std::sin(u); },
        [](double u, double v) {
          return std::array<V, 5>{ring(v) * -std::sin(u) + z * std::cos(u), ringTangent(v) * (5 + std::cos(u)),
                                  ring(v) * -std::cos(u) - z * std::sin(u), ringTangent(v) * -std::sin(u),
                                  ring(v) * -(5 + std::cos(u))};
        },
        [](double u, double v) { return ring(v) * std::cos(u) + z * std::sin(u); }},
       AcGe::kTorus,
       true,
       true,
       2 * kPi,
       2 * kPi,
       0,
       2 * kPi},
  };
}

const AcGePoint2d kParams[] = {{0.3, 1.1}, {0.7, 4.0}, {-0.5, 5.9}};

// A parameter brought into [low, low + period) when periodic.
double wrapped(double value, double low, double period) {
  return period > 0 ? value - std::floor((value - low) / period) * period : value;
}

TEST(Surfaces, EvaluationMatchesTheClosedForms) {
  for (const SurfaceCase& c : cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.surface->type(), c.type);
    EXPECT_TRUE(c.surface->isKindOf(AcGe::kSurface));
    for (const AcGePoint2d& uv : kParams) {
      SCOPED_TRACE(::testing::Message() << "u=" << uv.x << " v=" << uv.y);
      AcGeVector3dArray derivs;
      AcGeVector3d normal;
      AcGePoint3d p = c.surface->evalPoint(uv, 2, derivs, normal);
      expectNear(p.asVector(), c.closed.point(uv.x, uv.y), 1e-9, "point");
      ASSERT_EQ(derivs.size(), 5u);
      std::array<V, 5> expected = c.closed.derivs(uv.x, uv.y);
      const char* names[5] = {"du", "dv", "duu", "duv", "dvv"};
      for (int i = 0; i < 5; ++i)
        expectNear(derivs[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(i)], 1e-9, names[i]);
      expectNear(normal, c.closed.normal(uv.x, uv.y), 1e-9, "normal");

      AcGePointOnSurface on(*c.surface, uv);
      expectNear(on.uDeriv(1), expected[0], 1e-9, "uDeriv(1)");
      expectNear(on.vDeriv(2), expected[4], 1e-9, "vDeriv(2)");
      expectNear(on.mixedPartial(), expected[3], 1e-9, "mixedPartial");
    }
  }
}

TEST(Surfaces, ProjectionFindsTheFootAndItsParameters) {
  for (const SurfaceCase& c : cases()) {
    SCOPED_TRACE(c.name);
    for (const AcGePoint2d& uv : kParams) {
      SCOPED_TRACE(::testing::Message() << "u=" << uv.x << " v=" << uv.y);
      AcGePoint3d onSurface = c.surface->evalPoint(uv);
      AcGePoint3d off = onSurface + c.closed.normal(uv.x, uv.y) * 0.2;
      expectNear(c.surface->closestPointTo(off).asVector(), onSurface.asVector(), 1e-7, "closest point");
      AcGePoint2d found = c.surface->paramOf(off);
      EXPECT_NEAR(found.x, wrapped(uv.x, c.uLow, c.periodU), 1e-7);
      EXPECT_NEAR(found.y, wrapped(uv.y, 0.0, c.periodV), 1e-7);
      EXPECT_TRUE(c.surface->isOn(onSurface, AcGeTol()));
      EXPECT_FALSE(c.surface->isOn(off));
    }
  }
}

TEST(Surfaces, EnvelopesClosednessAndPeriods) {
  for (const SurfaceCase& c : cases()) {
    SCOPED_TRACE(c.name);
    AcGeInterval u, v;
    c.surface->getEnvelope(u, v);
    EXPECT_EQ(u.lowerBound(), c.uLow);
    EXPECT_EQ(u.upperBound(), c.uHigh);
    if (c.periodV > 0) {
      EXPECT_DOUBLE_EQ(v.lowerBound(), 0.0);
      EXPECT_DOUBLE_EQ(v.upperBound(), 2 * kPi);
    } else {
      EXPECT_FALSE(v.isBounded());
    }
    EXPECT_EQ(c.surface->isClosedInU(), c.closedU);
    EXPECT_EQ(c.surface->isClosedInV(), c.closedV);
    double period = -1;
    EXPECT_EQ(c.surface->isPeriodicInU(period), c.periodU > 0);
    EXPECT_NEAR(period, c.periodU, 1e-12);
    EXPECT_EQ(c.surface->isPeriodicInV(period), c.periodV > 0);
    EXPECT_NEAR(period, c.periodV, 1e-12);
  }
}

TEST(Surfaces, OutwardNormalIsOppositeDuCrossDvForSurfacesOfRevolution) {
  // Callers learn a surface's sense by comparing the two; a plane agrees, the others do not.
  for (const SurfaceCase& c : cases()) {
    SCOPED_TRACE(c.name);
    AcGeVector3dArray d;
    AcGeVector3d normal;
    c.surface->evalPoint({0.3, 1.1}, 1, d, normal);
    AcGeVector3d cross = d[0].crossProduct(d[1]).normal();
    EXPECT_TRUE(c.type == AcGe::kPlane ? cross.isEqualTo(normal, AcGeTol()) : cross.isEqualTo(-normal, AcGeTol()));
  }
}

TEST(Surfaces, SpherePolesAndCylinderAccessors) {
  AcGeSphere sphere(2.0, {0, 0, 1}, z, V(1, 0, 0));
  EXPECT_TRUE(sphere.southPole().isEqualTo({0, 0, -1}));
  EXPECT_TRUE(sphere.northPole().isEqualTo({0, 0, 3}));
  EXPECT_TRUE(sphere.isOn(sphere.southPole()));
  // At a pole du x dv vanishes; the normal still points away from the centre.
  AcGeVector3dArray d;
  AcGeVector3d normal;
  sphere.evalPoint({-kPi / 2, 0.4}, 1, d, normal);
  expectNear(normal, {0, 0, -1}, 1e-9, "south normal");

  AcGeCylinder cylinder(1.5, {1, 1, 1}, V(0, 2, 0), V(1, 0, 0));
  EXPECT_DOUBLE_EQ(cylinder.radius(), 1.5);
  EXPECT_DOUBLE_EQ(cylinder.heightAt(0.75), 0.75);
  expectNear(cylinder.axisOfSymmetry(), {0, 1, 0}, 1e-12, "axis");
  EXPECT_TRUE(cylinder.evalPoint({0.75, 0}).isEqualTo(cylinder.origin() + V(0, 0.75, 0) + cylinder.refAxis() * 1.5));
}

TEST(NurbsSurface, DefinitionRoundTripsAndBadDataIsRefused) {
  // A bilinear patch over (0,0)-(2,3) with one corner raised.
  AcGeNurbSurface patch(1, 1, 2, 2, {{0, 0, 0}, {0, 3, 0}, {2, 0, 0}, {2, 3, 1}}, {}, {0, 0, 1, 1}, {0, 0, 1, 1});
  ASSERT_TRUE(patch.isValid());
  EXPECT_TRUE(patch.evalPoint({1, 1}).isEqualTo({2, 3, 1}));
  EXPECT_TRUE(patch.evalPoint({0.5, 0.5}).isEqualTo({1, 1.5, 0.25}));
  int degU, degV, propsU, propsV, nU, nV;
  AcGePoint3dArray points;
  AcGeDoubleArray weights, uKnots, vKnots;
  patch.getDefinition(degU, degV, propsU, propsV, nU, nV, points, weights, uKnots, vKnots);
  EXPECT_EQ(degU, 1);
  EXPECT_EQ(nV, 2);
  EXPECT_EQ(propsU & (AcGe::kClosed | AcGe::kPeriodic), 0);
  EXPECT_TRUE(weights.empty());
  EXPECT_EQ(uKnots, (AcGeDoubleArray{0, 0, 1, 1}));
  ASSERT_EQ(points.size(), 4u);
  EXPECT_TRUE(points[3].isEqualTo({2, 3, 1}));

  AcGeNurbSurface wrongCount(1, 1, 2, 2, {{0, 0, 0}, {0, 3, 0}, {2, 0, 0}}, {}, {0, 0, 1, 1}, {0, 0, 1, 1});
  EXPECT_FALSE(wrongCount.isValid());
}

TEST(NurbsSurface, ExportOfABoundedCylinderEvaluatesLikeTheCylinder) {
  // A face-like cylinder: OpenCASCADE angle [0, 2 pi], height [0, 4]; in AcGe order u is the
  // height and v the angle.
  Handle(Geom_Surface) cylinder = new Geom_CylindricalSurface(gp_Ax3(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1)), 2.0);
  AcGeExternalBoundedSurface face(acge::surfaceGeometry(cylinder, 0, 2 * kPi, 0, 4));
  AcGeNurbSurface nurbs;
  ASSERT_EQ(face.toNurbSurface(nurbs, 1e-7), Acad::eOk);
  ASSERT_TRUE(nurbs.isValid());
  for (AcGePoint2d uv : {AcGePoint2d(0, 0), AcGePoint2d(1.3, 0.7), AcGePoint2d(4, 2 * kPi), AcGePoint2d(2.2, 5.0)}) {
    SCOPED_TRACE(::testing::Message() << "u=" << uv.x << " v=" << uv.y);
    EXPECT_LT(nurbs.evalPoint(uv).distanceTo(face.evalPoint(uv)), 1e-6);
  }
  AcGeInterval u, v;
  nurbs.getEnvelope(u, v);
  EXPECT_NEAR(u.upperBound(), 4.0, 1e-12);
  EXPECT_NEAR(v.upperBound(), 2 * kPi, 1e-12);

  // An unbounded surface cannot be exported, and says so.
  AcGeCylinder endless(2.0, {0, 0, 0}, z, V(1, 0, 0));
  EXPECT_EQ(endless.toNurbSurface(nurbs), Acad::eNotApplicable);
}

TEST(ExternalSurface, NativeCopiesAndBaseSurfaces) {
  // A sphere face whose box is one hemisphere: the bounded surface keeps the box, its base does not.
  Handle(Geom_Surface) sphere = new Geom_SphericalSurface(gp_Ax3(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1)), 1.0);
  AcGeExternalBoundedSurface bounded(acge::surfaceGeometry(sphere, 0, 2 * kPi, 0, kPi / 2));
  AcGeInterval u, v;
  bounded.getEnvelope(u, v);
  EXPECT_DOUBLE_EQ(u.lowerBound(), 0.0);
  EXPECT_DOUBLE_EQ(u.upperBound(), kPi / 2);
  EXPECT_FALSE(bounded.isOn({0, 0, -1}));  // the south pole is outside the box
  EXPECT_TRUE(bounded.isOn({0, 0, 1}));

  AcGeSurface* base = nullptr;
  bounded.getBaseSurface(base);
  std::unique_ptr<AcGeSurface> ownedBase(base);
  ASSERT_EQ(base->type(), AcGe::kExternalSurface);
  base->getEnvelope(u, v);
  EXPECT_DOUBLE_EQ(u.lowerBound(), -kPi / 2);
  AcGeSurface* native = nullptr;
  ASSERT_TRUE(static_cast<AcGeExternalSurface*>(base)->isNativeSurface(native));
  std::unique_ptr<AcGeSurface> ownedNative(native);
  ASSERT_EQ(native->type(), AcGe::kSphere);
  EXPECT_TRUE(static_cast<AcGeSphere*>(native)->southPole().isEqualTo({0, 0, -1}));
  EXPECT_TRUE(native->evalPoint({0.2, 0.3}).isEqualTo(bounded.evalPoint({0.2, 0.3})));
  EXPECT_FALSE(AcGeExternalSurface().isDefined());
}

}  // namespace
