// Curves in space and their evaluation. Every curve has a parameter interval (possibly unbounded,
// for an infinite line); evaluation outside the interval extends the underlying geometry.
//
// Parametrisation: lines and segments by distance along their direction (a segment built from two
// points runs from 0 at the start to its length at the end); arcs by angle in radians from the
// reference vector, counter-clockwise about the normal; NURBS curves by their knots. A curve and
// the native copy an external curve hands out have the same parametrisation.
#pragma once

#include <memory>

#include "arx/geentity.h"

class AcGeLine3d;
struct AcGeCurveGeometry;  // the underlying geometry (see geocct.h)

class AcGeCurve3d : public AcGeEntity3d {
 public:
  ~AcGeCurve3d() override;
  bool isKindOf(AcGe::EntityId kind) const override { return kind == AcGe::kCurve3d || AcGeEntity3d::isKindOf(kind); }

  void getInterval(AcGeInterval& interval) const;
  // The point at a parameter; with numDerivs 1 or 2, `derivs` gets the first (and second)
  // derivatives.
  AcGePoint3d evalPoint(double param) const;
  AcGePoint3d evalPoint(double param, int numDerivs, AcGeVector3dArray& derivs) const;
  // The parameter of the curve point closest to `point` (the point need not lie on the curve).
  // For a periodic curve the answer lies in the curve's interval when one period covers it.
  double paramOf(const AcGePoint3d& point, const AcGeTol& tol = AcGeContext::gTol) const;
  // The closest point within the interval (an end when the foot lies beyond it).
  AcGePoint3d closestPointTo(const AcGePoint3d& point, const AcGeTol& tol = AcGeContext::gTol) const;
  bool isOn(const AcGePoint3d& point, const AcGeTol& tol = AcGeContext::gTol) const;
  // Arc length between two parameters (signed by their order).
  double length(double fromParam, double toParam, double tol = 1e-6) const;
  bool hasStartPoint(AcGePoint3d& point) const;
  bool hasEndPoint(AcGePoint3d& point) const;
  // Start and end points coincide (within tolerance); false for unbounded curves.
  bool isClosed(const AcGeTol& tol = AcGeContext::gTol) const;
  // Periodic curves (full circles, periodic NURBS) give their period.
  bool isPeriodic(double& period) const;
  // True for lines and segments; `line` is then the unbounded line through the curve.
  bool isLinear(AcGeLine3d& line, const AcGeTol& tol = AcGeContext::gTol) const;

  const AcGeCurveGeometry& geometry() const { return *geometry_; }

 protected:
  AcGeCurve3d();
  explicit AcGeCurve3d(std::shared_ptr<const AcGeCurveGeometry> geometry);
  AcGeCurve3d(const AcGeCurve3d&);
  AcGeCurve3d& operator=(const AcGeCurve3d&);
  std::shared_ptr<const AcGeCurveGeometry> geometry_;
};

// An unbounded straight line.
class AcGeLine3d : public AcGeCurve3d {
 public:
  AcGeLine3d();  // the x axis
  AcGeLine3d(const AcGePoint3d& point, const AcGeVector3d& direction);
  explicit AcGeLine3d(std::shared_ptr<const AcGeCurveGeometry> geometry) : AcGeCurve3d(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kLine3d; }
  bool isKindOf(AcGe::EntityId kind) const override {
    return kind == AcGe::kLinearEnt3d || AcGeCurve3d::isKindOf(kind);
  }
  AcGeEntity3d* copy() const override { return new AcGeLine3d(*this); }
  AcGePoint3d pointOnLine() const;
  AcGeVector3d direction() const;  // unit
};

// A bounded straight segment.
class AcGeLineSeg3d : public AcGeCurve3d {
 public:
  AcGeLineSeg3d(const AcGePoint3d& start, const AcGePoint3d& end);
  explicit AcGeLineSeg3d(std::shared_ptr<const AcGeCurveGeometry> geometry) : AcGeCurve3d(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kLineSeg3d; }
  bool isKindOf(AcGe::EntityId kind) const override {
    return kind == AcGe::kLinearEnt3d || AcGeCurve3d::isKindOf(kind);
  }
  AcGeEntity3d* copy() const override { return new AcGeLineSeg3d(*this); }
  AcGePoint3d startPoint() const;
  AcGePoint3d endPoint() const;
};

// A circular arc (a full circle when the angles span 2 pi).
class AcGeCircArc3d : public AcGeCurve3d {
 public:
  AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal, const AcGeVector3d& refVec, double radius,
                double startAngle, double endAngle);
  explicit AcGeCircArc3d(std::shared_ptr<const AcGeCurveGeometry> geometry) : AcGeCurve3d(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kCircArc3d; }
  AcGeEntity3d* copy() const override { return new AcGeCircArc3d(*this); }
  AcGePoint3d center() const;
  AcGeVector3d normal() const;
  AcGeVector3d refVec() const;
  double radius() const;
  double startAng() const;
  double endAng() const;
};

// Spline curves: degree, control points and knots (knots listed with their multiplicities).
class AcGeSplineEnt3d : public AcGeCurve3d {
 public:
  bool isKindOf(AcGe::EntityId kind) const override {
    return kind == AcGe::kSplineEnt3d || AcGeCurve3d::isKindOf(kind);
  }
  int degree() const;
  int numControlPoints() const;
  AcGePoint3d controlPointAt(int index) const;
  int numKnots() const;
  double knotAt(int index) const;

 protected:
  using AcGeCurve3d::AcGeCurve3d;
};

class AcGeNurbCurve3d : public AcGeSplineEnt3d {
 public:
  // Knots with multiplicities (controlPoints.size() + degree + 1 of them); weights empty for a
  // polynomial curve. Invalid data gives a curve whose isValid() is false; every other query
  // needs a valid curve.
  AcGeNurbCurve3d(int degree, const AcGeDoubleArray& knots, const AcGePoint3dArray& controlPoints,
                  const AcGeDoubleArray& weights = {});
  explicit AcGeNurbCurve3d(std::shared_ptr<const AcGeCurveGeometry> geometry) : AcGeSplineEnt3d(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kNurbCurve3d; }
  bool isKindOf(AcGe::EntityId kind) const override {
    return kind == AcGe::kNurbCurve3d || AcGeSplineEnt3d::isKindOf(kind);
  }
  AcGeEntity3d* copy() const override { return new AcGeNurbCurve3d(*this); }
  bool isValid() const;
  bool isRational() const;
  // The weights of a rational curve; none for a polynomial one.
  int numWeights() const;
  double weightAt(int index) const;
};

// A curve held in the modeller's own form (an edge's geometry). Evaluates like any curve.
class AcGeExternalCurve3d : public AcGeCurve3d {
 public:
  explicit AcGeExternalCurve3d(std::shared_ptr<const AcGeCurveGeometry> geometry) : AcGeCurve3d(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kExternalCurve3d; }
  AcGeEntity3d* copy() const override { return new AcGeExternalCurve3d(*this); }
  // True when the curve is a line segment, circular arc or NURBS curve: `native` is then a new
  // copy of that kind (the caller deletes it) with the same parameters. Other curves (ellipses,
  // offsets, ...) answer false and leave `native` null.
  bool isNativeCurve(AcGeCurve3d*& native) const;
};

// A point at a parameter of a curve.
class AcGePointOnCurve3d : public AcGePointEnt3d {
 public:
  AcGePointOnCurve3d(const AcGeCurve3d& curve, double param) : curve_(&curve), param_(param) {}
  AcGe::EntityId type() const override { return AcGe::kPointOnCurve3d; }
  AcGeEntity3d* copy() const override { return new AcGePointOnCurve3d(*this); }
  AcGePoint3d point3d() const override { return curve_->evalPoint(param_); }
  AcGePoint3d point() const { return point3d(); }
  double parameter() const { return param_; }
  void setParameter(double param) { param_ = param; }
  AcGeVector3d deriv(int order) const;

 private:
  const AcGeCurve3d* curve_;
  double param_;
};
