// Curves against their closed forms: points, derivatives, projections, lengths, periods.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "arx/geocct.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectNear(const AcGePoint3d& actual, const AcGePoint3d& expected, double tol = 1e-9) {
  EXPECT_NEAR(actual.x, expected.x, tol);
  EXPECT_NEAR(actual.y, expected.y, tol);
  EXPECT_NEAR(actual.z, expected.z, tol);
}
void expectNear(const AcGeVector3d& actual, const AcGeVector3d& expected, double tol = 1e-9) {
  EXPECT_NEAR(actual.x, expected.x, tol);
  EXPECT_NEAR(actual.y, expected.y, tol);
  EXPECT_NEAR(actual.z, expected.z, tol);
}

TEST(Arc, PointsAndDerivativesFollowTheCircle) {
  // Centre (1,2,3), radius 2, in the plane z = 3, angle measured from +x.
  AcGeCircArc3d arc({1, 2, 3}, AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 2.0, 0.0, kPi);
  for (double t : {0.0, 0.3, kPi / 2, 2.5}) {
    SCOPED_TRACE(t);
    AcGeVector3dArray d;
    expectNear(arc.evalPoint(t, 2, d), {1 + 2 * std::cos(t), 2 + 2 * std::sin(t), 3});
    ASSERT_EQ(d.size(), 2u);
    expectNear(d[0], {-2 * std::sin(t), 2 * std::cos(t), 0});
    expectNear(d[1], {-2 * std::cos(t), -2 * std::sin(t), 0});
  }
  EXPECT_NEAR(arc.length(0.0, kPi), 2 * kPi, 1e-6);
  EXPECT_NEAR(arc.radius(), 2.0, 1e-12);
  expectNear(arc.center(), {1, 2, 3});
  expectNear(arc.normal(), {0, 0, 1});
}

TEST(Arc, ProjectionStaysOnTheArcAndPeriodicRangesHoldTheParameter) {
  AcGeCircArc3d half({0, 0, 0}, AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 1.0, 0.0, kPi);
  // A point below the half circle projects onto the nearer end.
  expectNear(half.closestPointTo({0.9, -3, 0}), {1, 0, 0});
  EXPECT_NEAR(half.paramOf({0, 5, 7}), kPi / 2, 1e-9);
  EXPECT_FALSE(half.isClosed());
  double period = 0;
  // The underlying circle repeats: an arc that crosses its seam still has a period.
  EXPECT_TRUE(half.isPeriodic(period));
  EXPECT_NEAR(period, 2 * kPi, 1e-12);

  // An arc crossing the seam, [5, 5 + pi]: a point at angle 0.5 gets 0.5 + 2 pi.
  AcGeCircArc3d crossing({0, 0, 0}, AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 1.0, 5.0, 5.0 + kPi);
  EXPECT_NEAR(crossing.paramOf({std::cos(0.5), std::sin(0.5), 0}), 0.5 + 2 * kPi, 1e-9);

  AcGeCircArc3d full({0, 0, 0}, AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 1.0, 0.0, 2 * kPi);
  EXPECT_TRUE(full.isClosed());
  AcGeInterval interval;
  full.getInterval(interval);
  EXPECT_DOUBLE_EQ(interval.lowerBound(), 0.0);
  EXPECT_DOUBLE_EQ(interval.upperBound(), 2 * kPi);
}

TEST(Line, SegmentParametersAreDistancesAndProjectionsClampToTheEnds) {
  AcGeLineSeg3d segment({1, 1, 0}, {4, 5, 0});  // length 5
  AcGeInterval interval;
  segment.getInterval(interval);
  EXPECT_NEAR(interval.length(), 5.0, 1e-12);
  expectNear(segment.evalPoint(2.5), {2.5, 3, 0});
  expectNear(segment.startPoint(), {1, 1, 0});
  expectNear(segment.endPoint(), {4, 5, 0});
  // Beyond either end the closest point of the segment is that end.
  expectNear(segment.closestPointTo({-10, -10, 0}), {1, 1, 0});
  expectNear(segment.closestPointTo({10, 20, 3}), {4, 5, 0});
  EXPECT_NEAR(segment.paramOf({1 + 4, 1 - 3, 0}), 0.0, 1e-9);  // perpendicular at the start

  // Its unbounded line finds the foot of the perpendicular beyond the ends.
  AcGeLine3d line;
  ASSERT_TRUE(segment.isLinear(line));
  expectNear(line.closestPointTo({1 + 0.6 * 10, 1 + 0.8 * 10, 2}), {7, 9, 0}, 1e-9);
  EXPECT_FALSE(segment.isClosed());
  double period = 1;
  EXPECT_FALSE(segment.isPeriodic(period));
  EXPECT_EQ(period, 0.0);
}

TEST(NurbsCurve, DefinitionAndEvaluationAgree) {
  // A quadratic Bezier (0,0,0) (1,2,0) (2,0,0): P(t) = (2t, 4t(1-t), 0).
  AcGeNurbCurve3d curve(2, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
  ASSERT_TRUE(curve.isValid());
  EXPECT_EQ(curve.degree(), 2);
  EXPECT_EQ(curve.numControlPoints(), 3);
  EXPECT_EQ(curve.numKnots(), 6);
  EXPECT_EQ(curve.numWeights(), 0);
  expectNear(curve.controlPointAt(1), {1, 2, 0});
  for (double t : {0.0, 0.25, 0.5, 1.0}) expectNear(curve.evalPoint(t), {2 * t, 4 * t * (1 - t), 0});

  // A rational quarter circle keeps its weights.
  double w = std::sqrt(0.5);
  AcGeNurbCurve3d quarter(2, {0, 0, 0, 1, 1, 1}, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, w, 1});
  ASSERT_TRUE(quarter.isRational());
  EXPECT_EQ(quarter.numWeights(), 3);
  EXPECT_NEAR(quarter.weightAt(1), w, 1e-12);
  EXPECT_NEAR(quarter.evalPoint(0.5).asVector().length(), 1.0, 1e-12);

  // Knots that do not fit the control points make an invalid curve, not a crash.
  AcGeNurbCurve3d bad(2, {0, 1}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
  EXPECT_FALSE(bad.isValid());
}

TEST(ExternalCurve, NativeCopiesKeepTheKindAndTheParameters) {
  AcGeCircArc3d arc({0, 0, 0}, AcGeVector3d::kZAxis, AcGeVector3d::kXAxis, 3.0, 1.0, 2.0);
  AcGeExternalCurve3d external(acge::curveGeometry(arc.geometry().curve, 1.0, 2.0));
  AcGeCurve3d* native = nullptr;
  ASSERT_TRUE(external.isNativeCurve(native));
  std::unique_ptr<AcGeCurve3d> owned(native);
  EXPECT_EQ(native->type(), AcGe::kCircArc3d);
  EXPECT_TRUE(native->isKindOf(AcGe::kCurve3d));
  EXPECT_FALSE(native->isKindOf(AcGe::kLineSeg3d));
  expectNear(native->evalPoint(1.5), external.evalPoint(1.5));
  expectNear(native->evalPoint(1.5), {3 * std::cos(1.5), 3 * std::sin(1.5), 0});
}

TEST(Vectors, PerpendicularsAndTolerances) {
  for (AcGeVector3d v : {AcGeVector3d(0, 0, 1), AcGeVector3d(1, 0, 0), AcGeVector3d(1, 2, 3)}) {
    AcGeVector3d p = v.perpVector();
    EXPECT_NEAR(p.dotProduct(v), 0.0, 1e-12);
    EXPECT_NEAR(p.length(), 1.0, 1e-12);
  }
  AcGeTol loose;
  loose.setEqualPoint(1e-3);
  EXPECT_TRUE(AcGePoint3d(0, 0, 0).isEqualTo({0, 0, 5e-4}, loose));
  EXPECT_FALSE(AcGePoint3d(0, 0, 0).isEqualTo({0, 0, 5e-4}));
  AcGeMatrix3d m;
  m.setCoordSystem({1, 2, 3}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
  expectNear(m * AcGePoint3d(1, 0, 0), {1, 3, 3});
  expectNear(m * AcGeVector3d(0, 1, 0), {-1, 0, 0});
}

}  // namespace
