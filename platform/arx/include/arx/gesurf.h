// Surfaces and their evaluation. Every surface has a parameter envelope (u and v intervals,
// possibly unbounded); evaluation outside it extends the underlying geometry.
//
// Parametrisation of the native surfaces (u first):
//   plane     origin + u * uAxis + v * vAxis (unit axes)
//   cylinder  origin + u * axis + r * (cos v * ref + sin v * (axis x ref)); u unbounded, v in [0, 2 pi]
//   cone      base centre + u cos a * axis + (r + u sin a) * (cos v * ref + sin v * (axis x ref)),
//             u the distance along a generator from the base circle, a the half angle; v in [0, 2 pi]
//   sphere    centre + r cos u * (cos v * ref + sin v * (north x ref)) + r sin u * north;
//             u the latitude in [-pi/2, pi/2] (south pole at -pi/2), v the longitude in [0, 2 pi]
//   torus     centre + (R + r cos u) * (cos v * ref + sin v * (axis x ref)) + r sin u * axis;
//             u the tube angle, v the angle about the axis, both in [0, 2 pi]
// So cylinder, cone and sphere are closed and periodic in v only, the torus in both directions.
// evalPoint's normal is the outward normal of the solid the surface bounds (away from the axis or
// centre; along uAxis x vAxis for a plane), which for the cylinder, cone, sphere and torus is
// -(du x dv): callers compare the two to learn a surface's sense.
#pragma once

#include <memory>

#include "arx/geentity.h"
#include "arx/status.h"

struct AcGeSurfaceGeometry;  // the underlying geometry (see geocct.h)
class AcGeNurbSurface;

class AcGeSurface : public AcGeEntity3d {
 public:
  ~AcGeSurface() override;
  bool isKindOf(AcGe::EntityId kind) const override { return kind == AcGe::kSurface || AcGeEntity3d::isKindOf(kind); }

  // The parameter envelope; each interval carries tolerance 1e-12.
  void getEnvelope(AcGeInterval& u, AcGeInterval& v) const;
  AcGePoint3d evalPoint(const AcGePoint2d& param) const;
  // With numDerivs 1: derivs = {du, dv}; with 2: {du, dv, duu, duv, dvv}. `normal` is the unit
  // outward normal (see above).
  AcGePoint3d evalPoint(const AcGePoint2d& param, int numDerivs, AcGeVector3dArray& derivs, AcGeVector3d& normal) const;
  AcGePoint3d evalPoint(const AcGePoint2d& param, int numDerivs, AcGeVector3dArray& derivs) const;
  // Parameters of the surface point closest to `point`, inside the envelope.
  AcGePoint2d paramOf(const AcGePoint3d& point, const AcGeTol& tol = AcGeContext::gTol) const;
  AcGePoint3d closestPointTo(const AcGePoint3d& point, const AcGeTol& tol = AcGeContext::gTol) const;
  // The point lies on the surface within the envelope (not within a face's trimming loops).
  bool isOn(const AcGePoint3d& point, const AcGeTol& tol = AcGeContext::gTol) const;
  bool isOn(const AcGePoint3d& point, AcGePoint2d& param, const AcGeTol& tol = AcGeContext::gTol) const;
  // The iso-lines at both ends of the envelope coincide.
  bool isClosedInU(const AcGeTol& tol = AcGeContext::gTol) const;
  bool isClosedInV(const AcGeTol& tol = AcGeContext::gTol) const;
  bool isPeriodicInU(double& period) const;
  bool isPeriodicInV(double& period) const;
  // A polynomial NURBS surface over the envelope that evaluates at every (u, v) to the same point
  // as this surface (within `tol`): its knots span the envelope. eOk, or eNotApplicable for an
  // unbounded envelope or a surface that cannot be approximated within `tol` (nurbs unchanged).
  Acad::ErrorStatus toNurbSurface(AcGeNurbSurface& nurbs, double tol = 1e-7) const;

  const AcGeSurfaceGeometry& geometry() const { return *geometry_; }

 protected:
  AcGeSurface();
  explicit AcGeSurface(std::shared_ptr<const AcGeSurfaceGeometry> geometry);
  AcGeSurface(const AcGeSurface&);
  AcGeSurface& operator=(const AcGeSurface&);
  std::shared_ptr<const AcGeSurfaceGeometry> geometry_;
};

class AcGePlane : public AcGeSurface {
 public:
  AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal);
  AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis);
  explicit AcGePlane(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kPlane; }
  AcGeEntity3d* copy() const override { return new AcGePlane(*this); }
  AcGePoint3d pointOnPlane() const;
  AcGeVector3d normal() const;
};

class AcGeCylinder : public AcGeSurface {
 public:
  AcGeCylinder(double radius, const AcGePoint3d& origin, const AcGeVector3d& axisOfSymmetry,
               const AcGeVector3d& refAxis);
  explicit AcGeCylinder(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kCylinder; }
  AcGeEntity3d* copy() const override { return new AcGeCylinder(*this); }
  double radius() const;
  AcGePoint3d origin() const;
  AcGeVector3d axisOfSymmetry() const;  // unit
  AcGeVector3d refAxis() const;         // unit, where v = 0
  // The height along the axis at parameter u (u itself: u is the height from the origin).
  double heightAt(double u) const;
};

class AcGeCone : public AcGeSurface {
 public:
  AcGeCone(double baseRadius, double halfAngle, const AcGePoint3d& baseCenter, const AcGeVector3d& axis,
           const AcGeVector3d& refAxis);
  explicit AcGeCone(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kCone; }
  AcGeEntity3d* copy() const override { return new AcGeCone(*this); }
  double baseRadius() const;
  double halfAngle() const;
  AcGePoint3d baseCenter() const;
  AcGeVector3d axisOfSymmetry() const;
  AcGePoint3d apex() const;
};

class AcGeSphere : public AcGeSurface {
 public:
  AcGeSphere(double radius, const AcGePoint3d& center, const AcGeVector3d& northAxis, const AcGeVector3d& refAxis);
  explicit AcGeSphere(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kSphere; }
  AcGeEntity3d* copy() const override { return new AcGeSphere(*this); }
  double radius() const;
  AcGePoint3d center() const;
  AcGeVector3d northAxis() const;
  AcGePoint3d northPole() const;
  AcGePoint3d southPole() const;
};

class AcGeTorus : public AcGeSurface {
 public:
  AcGeTorus(double majorRadius, double minorRadius, const AcGePoint3d& center, const AcGeVector3d& axis,
            const AcGeVector3d& refAxis);
  explicit AcGeTorus(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kTorus; }
  AcGeEntity3d* copy() const override { return new AcGeTorus(*this); }
  double majorRadius() const;
  double minorRadius() const;
  AcGePoint3d center() const;
  AcGeVector3d axisOfSymmetry() const;
};

class AcGeNurbSurface : public AcGeSurface {
 public:
  AcGeNurbSurface();  // empty (isValid false) until assigned; only isValid and assignment serve it
  // Control points row by row: index = iu * numV + iv. Knots with multiplicities; weights empty
  // for a polynomial surface. Invalid data leaves the surface invalid (see above).
  AcGeNurbSurface(int degreeU, int degreeV, int numU, int numV, const AcGePoint3dArray& controlPoints,
                  const AcGeDoubleArray& weights, const AcGeDoubleArray& uKnots, const AcGeDoubleArray& vKnots);
  explicit AcGeNurbSurface(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kNurbSurface; }
  AcGeEntity3d* copy() const override { return new AcGeNurbSurface(*this); }
  bool isValid() const;
  bool isRational() const;
  int numControlPointsInU() const;
  int numControlPointsInV() const;
  // The definition in the order the constructor takes it; propsU/propsV combine the bits of
  // AcGe::NurbSurfaceProperties (kClosed when the boundary iso-lines coincide within `knotTol`,
  // kPeriodic for a periodic direction, kRational when weighted, else kOpen).
  void getDefinition(int& degreeU, int& degreeV, int& propsU, int& propsV, int& numU, int& numV,
                     AcGePoint3dArray& controlPoints, AcGeDoubleArray& weights, AcGeDoubleArray& uKnots,
                     AcGeDoubleArray& vKnots, double knotTol = 1e-9) const;
};

// A surface held in the modeller's own form, unbounded as its geometry is.
class AcGeExternalSurface : public AcGeSurface {
 public:
  AcGeExternalSurface();  // undefined: only isDefined and assignment serve it
  explicit AcGeExternalSurface(std::shared_ptr<const AcGeSurfaceGeometry> geometry)
      : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kExternalSurface; }
  AcGeEntity3d* copy() const override { return new AcGeExternalSurface(*this); }
  bool isDefined() const;
  // True for planes, cylinders, cones, spheres, tori and NURBS surfaces: `native` is then a new
  // copy of that kind (the caller deletes it) with the same parametrisation. Other surfaces
  // answer false and leave `native` null.
  bool isNativeSurface(AcGeSurface*& native) const;
};

// A face's surface: the external surface limited to the face's parameter box.
class AcGeExternalBoundedSurface : public AcGeSurface {
 public:
  explicit AcGeExternalBoundedSurface(std::shared_ptr<const AcGeSurfaceGeometry> geometry)
      : AcGeSurface(std::move(geometry)) {}
  AcGe::EntityId type() const override { return AcGe::kExternalBoundedSurface; }
  AcGeEntity3d* copy() const override { return new AcGeExternalBoundedSurface(*this); }
  // The unbounded surface underneath: a new AcGeExternalSurface (caller deletes), or into `base`.
  void getBaseSurface(AcGeSurface*& base) const;
  void getBaseSurface(AcGeExternalSurface& base) const;
};

// A point at parameters of a surface, with the derivatives there.
class AcGePointOnSurface : public AcGePointEnt3d {
 public:
  AcGePointOnSurface(const AcGeSurface& surface, const AcGePoint2d& param) : surface_(&surface), param_(param) {}
  AcGe::EntityId type() const override { return AcGe::kPointOnSurface; }
  AcGeEntity3d* copy() const override { return new AcGePointOnSurface(*this); }
  AcGePoint3d point3d() const override { return surface_->evalPoint(param_); }
  AcGePoint3d point() const { return point3d(); }
  AcGePoint2d parameter() const { return param_; }
  void setParameter(const AcGePoint2d& param) { param_ = param; }
  AcGeVector3d uDeriv(int order) const;  // order 1 or 2
  AcGeVector3d vDeriv(int order) const;
  AcGeVector3d mixedPartial() const;
  AcGeVector3d normal() const;

 private:
  const AcGeSurface* surface_;
  AcGePoint2d param_;
};
