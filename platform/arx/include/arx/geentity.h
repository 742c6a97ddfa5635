// Geometry entities: the kinds the library knows, the interval type and the common base of
// curves, surfaces and point entities.
#pragma once

#include <limits>
#include <vector>

#include "arx/gebasic.h"

using AcGePoint3dArray = std::vector<AcGePoint3d>;
using AcGeVector3dArray = std::vector<AcGeVector3d>;
using AcGeDoubleArray = std::vector<double>;

namespace AcGe {
// Entity kinds. isKindOf answers for the kind itself and every kind it derives from.
enum EntityId {
  kEntity3d = 1,
  kPointEnt3d = 10,
  kPosition3d = 11,
  kPointOnCurve3d = 12,
  kPointOnSurface = 13,
  kCurve3d = 15,
  kLinearEnt3d = 16,
  kLine3d = 17,
  kLineSeg3d = 18,
  kCircArc3d = 19,
  kSplineEnt3d = 20,
  kNurbCurve3d = 21,
  kExternalCurve3d = 22,
  kSurface = 25,
  kPlane = 26,
  kSphere = 28,
  kTorus = 29,
  kCylinder = 30,
  kCone = 31,
  kNurbSurface = 32,
  kExternalSurface = 33,
  kExternalBoundedSurface = 34,
};
// Property bits of a NURBS definition in one direction.
enum NurbSurfaceProperties { kOpen = 1, kClosed = 2, kPeriodic = 4, kRational = 8 };
}  // namespace AcGe

// A closed interval of reals, possibly unbounded on either side. The tolerance decides whether a
// value lies inside.
class AcGeInterval {
 public:
  explicit AcGeInterval(double tol = 1e-12) : tol_(tol) {}
  AcGeInterval(double lower, double upper, double tol = 1e-12) : lower_(lower), upper_(upper), tol_(tol) {}
  void set(double lower, double upper) { lower_ = lower, upper_ = upper; }
  void set() { lower_ = -kInfinity, upper_ = kInfinity; }
  double lowerBound() const { return lower_; }
  double upperBound() const { return upper_; }
  double tolerance() const { return tol_; }
  bool isBoundedBelow() const { return lower_ > -kInfinity; }
  bool isBoundedAbove() const { return upper_ < kInfinity; }
  bool isBounded() const { return isBoundedBelow() && isBoundedAbove(); }
  // The upper minus the lower bound; infinite for an unbounded interval.
  double length() const { return isBounded() ? upper_ - lower_ : kInfinity; }
  bool contains(double value) const { return value >= lower_ - tol_ && value <= upper_ + tol_; }

  static constexpr double kInfinity = std::numeric_limits<double>::infinity();

 private:
  double lower_ = -kInfinity;
  double upper_ = kInfinity;
  double tol_;
};

class AcGeEntity3d {
 public:
  virtual ~AcGeEntity3d() = default;
  virtual AcGe::EntityId type() const = 0;
  // True for the entity's own kind and each kind it is a special case of (a cylinder is a surface).
  virtual bool isKindOf(AcGe::EntityId kind) const { return kind == AcGe::kEntity3d || kind == type(); }
  // A heap copy the caller deletes.
  virtual AcGeEntity3d* copy() const = 0;
};

// A point as an entity.
class AcGePointEnt3d : public AcGeEntity3d {
 public:
  virtual AcGePoint3d point3d() const = 0;
  bool isKindOf(AcGe::EntityId kind) const override {
    return kind == AcGe::kPointEnt3d || AcGeEntity3d::isKindOf(kind);
  }
};

// A fixed position (the cached point of a vertex).
class AcGePosition3d : public AcGePointEnt3d {
 public:
  AcGePosition3d() = default;
  explicit AcGePosition3d(const AcGePoint3d& point) : point_(point) {}
  AcGe::EntityId type() const override { return AcGe::kPosition3d; }
  AcGeEntity3d* copy() const override { return new AcGePosition3d(*this); }
  AcGePoint3d point3d() const override { return point_; }
  void set(const AcGePoint3d& point) { point_ = point; }

 private:
  AcGePoint3d point_;
};
