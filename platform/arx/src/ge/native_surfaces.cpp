#include <Geom_BSplineSurface.hxx>
#include <Geom_ConicalSurface.hxx>
#include <Geom_CylindricalSurface.hxx>
#include <Geom_Plane.hxx>
#include <Geom_SphericalSurface.hxx>
#include <Geom_ToroidalSurface.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColStd_Array2OfReal.hxx>
#include <TColgp_Array2OfPnt.hxx>
#include <gp_Ax3.hxx>

#include <cmath>

#include "arx/geocct.h"

using acge::fromOcct;
using acge::toOcct;

namespace {

template <class T>
Handle(T) as(const AcGeSurfaceGeometry& g) {
  return Handle(T)::DownCast(g.surface);
}

// Axes with `axis` as z and `ref` (made perpendicular to it) as x.
gp_Ax3 axesOf(const AcGePoint3d& origin, const AcGeVector3d& axis, const AcGeVector3d& ref) {
  AcGeVector3d z = axis.isZeroLength() ? AcGeVector3d::kZAxis : axis.normal();
  AcGeVector3d x = ref - z * ref.dotProduct(z);
  if (x.isZeroLength(AcGeTol())) x = z.perpVector();
  return gp_Ax3(toOcct(origin), gp_Dir(toOcct(z)), gp_Dir(toOcct(x)));
}

AcGePoint3d locationOf(const Handle(Geom_ElementarySurface) & s) { return fromOcct(s->Position().Location()); }
AcGeVector3d axisOf(const Handle(Geom_ElementarySurface) & s) { return fromOcct(gp_Vec(s->Position().Direction())); }

void splitKnots(const AcGeDoubleArray& flat, std::vector<double>& knots, std::vector<int>& mults) {
  for (double knot : flat) {
    if (!knots.empty() && std::fabs(knot - knots.back()) <= 1e-12) {
      ++mults.back();
    } else {
      knots.push_back(knot);
      mults.push_back(1);
    }
  }
}

std::shared_ptr<const AcGeSurfaceGeometry> nurbsGeometry(int degreeU, int degreeV, int numU, int numV,
                                                         const AcGePoint3dArray& points, const AcGeDoubleArray& weights,
                                                         const AcGeDoubleArray& uFlat, const AcGeDoubleArray& vFlat) {
  std::vector<double> uKnots, vKnots;
  std::vector<int> uMults, vMults;
  splitKnots(uFlat, uKnots, uMults);
  splitKnots(vFlat, vKnots, vMults);
  bool consistent = degreeU >= 1 && degreeV >= 1 && numU >= 2 && numV >= 2 &&
                    points.size() == static_cast<std::size_t>(numU) * static_cast<std::size_t>(numV) &&
                    (weights.empty() || weights.size() == points.size()) &&
                    uFlat.size() == static_cast<std::size_t>(numU + degreeU + 1) &&
                    vFlat.size() == static_cast<std::size_t>(numV + degreeV + 1);
  if (!consistent) return nullptr;
  TColgp_Array2OfPnt poles(1, numU, 1, numV);
  TColStd_Array2OfReal weightGrid(1, numU, 1, numV);
  for (int i = 0; i < numU; ++i)
    for (int j = 0; j < numV; ++j) {
      std::size_t index = static_cast<std::size_t>(i * numV + j);
      poles.SetValue(i + 1, j + 1, toOcct(points[index]));
      weightGrid.SetValue(i + 1, j + 1, weights.empty() ? 1.0 : weights[index]);
    }
  auto array = [](const auto& values, auto& out) {
    for (std::size_t i = 0; i < values.size(); ++i) out.SetValue(static_cast<int>(i) + 1, values[i]);
  };
  TColStd_Array1OfReal uk(1, static_cast<int>(uKnots.size())), vk(1, static_cast<int>(vKnots.size()));
  TColStd_Array1OfInteger um(1, static_cast<int>(uMults.size())), vm(1, static_cast<int>(vMults.size()));
  array(uKnots, uk), array(vKnots, vk), array(uMults, um), array(vMults, vm);
  try {
    Handle(Geom_BSplineSurface) surface = new Geom_BSplineSurface(poles, weightGrid, uk, vk, um, vm, degreeU, degreeV);
    return acge::surfaceGeometry(surface);
  } catch (const Standard_Failure&) {
    return nullptr;
  }
}

}  // namespace

// ---- plane ----

AcGePlane::AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal)
    : AcGeSurface(acge::surfaceGeometry(new Geom_Plane(axesOf(origin, normal, normal.perpVector())))) {}
AcGePlane::AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis)
    : AcGeSurface(acge::surfaceGeometry(new Geom_Plane(axesOf(origin, uAxis.crossProduct(vAxis), uAxis)))) {}
AcGePoint3d AcGePlane::pointOnPlane() const { return locationOf(as<Geom_Plane>(geometry())); }
AcGeVector3d AcGePlane::normal() const { return axisOf(as<Geom_Plane>(geometry())); }

// ---- cylinder ----

AcGeCylinder::AcGeCylinder(double radius, const AcGePoint3d& origin, const AcGeVector3d& axisOfSymmetry,
                           const AcGeVector3d& refAxis)
    : AcGeSurface(acge::surfaceGeometry(new Geom_CylindricalSurface(axesOf(origin, axisOfSymmetry, refAxis), radius))) {
}
double AcGeCylinder::radius() const { return as<Geom_CylindricalSurface>(geometry())->Radius(); }
AcGePoint3d AcGeCylinder::origin() const { return locationOf(as<Geom_CylindricalSurface>(geometry())); }
AcGeVector3d AcGeCylinder::axisOfSymmetry() const { return axisOf(as<Geom_CylindricalSurface>(geometry())); }
AcGeVector3d AcGeCylinder::refAxis() const {
  return fromOcct(gp_Vec(as<Geom_CylindricalSurface>(geometry())->Position().XDirection()));
}
double AcGeCylinder::heightAt(double u) const { return u; }

// ---- cone ----

AcGeCone::AcGeCone(double baseRadius, double halfAngle, const AcGePoint3d& baseCenter, const AcGeVector3d& axis,
                   const AcGeVector3d& refAxis)
    : AcGeSurface(
          acge::surfaceGeometry(new Geom_ConicalSurface(axesOf(baseCenter, axis, refAxis), halfAngle, baseRadius))) {}
double AcGeCone::baseRadius() const { return as<Geom_ConicalSurface>(geometry())->RefRadius(); }
double AcGeCone::halfAngle() const { return as<Geom_ConicalSurface>(geometry())->SemiAngle(); }
AcGePoint3d AcGeCone::baseCenter() const { return locationOf(as<Geom_ConicalSurface>(geometry())); }
AcGeVector3d AcGeCone::axisOfSymmetry() const { return axisOf(as<Geom_ConicalSurface>(geometry())); }
AcGePoint3d AcGeCone::apex() const { return fromOcct(as<Geom_ConicalSurface>(geometry())->Apex()); }

// ---- sphere ----

AcGeSphere::AcGeSphere(double radius, const AcGePoint3d& center, const AcGeVector3d& northAxis,
                       const AcGeVector3d& refAxis)
    : AcGeSurface(acge::surfaceGeometry(new Geom_SphericalSurface(axesOf(center, northAxis, refAxis), radius))) {}
double AcGeSphere::radius() const { return as<Geom_SphericalSurface>(geometry())->Radius(); }
AcGePoint3d AcGeSphere::center() const { return locationOf(as<Geom_SphericalSurface>(geometry())); }
AcGeVector3d AcGeSphere::northAxis() const { return axisOf(as<Geom_SphericalSurface>(geometry())); }
AcGePoint3d AcGeSphere::northPole() const { return center() + northAxis() * radius(); }
AcGePoint3d AcGeSphere::southPole() const { return center() - northAxis() * radius(); }

// ---- torus ----

AcGeTorus::AcGeTorus(double majorRadius, double minorRadius, const AcGePoint3d& center, const AcGeVector3d& axis,
                     const AcGeVector3d& refAxis)
    : AcGeSurface(
          acge::surfaceGeometry(new Geom_ToroidalSurface(axesOf(center, axis, refAxis), majorRadius, minorRadius))) {}
double AcGeTorus::majorRadius() const { return as<Geom_ToroidalSurface>(geometry())->MajorRadius(); }
double AcGeTorus::minorRadius() const { return as<Geom_ToroidalSurface>(geometry())->MinorRadius(); }
AcGePoint3d AcGeTorus::center() const { return locationOf(as<Geom_ToroidalSurface>(geometry())); }
AcGeVector3d AcGeTorus::axisOfSymmetry() const { return axisOf(as<Geom_ToroidalSurface>(geometry())); }

// ---- NURBS ----

AcGeNurbSurface::AcGeNurbSurface() : AcGeSurface(std::make_shared<AcGeSurfaceGeometry>()) {}

AcGeNurbSurface::AcGeNurbSurface(int degreeU, int degreeV, int numU, int numV, const AcGePoint3dArray& controlPoints,
                                 const AcGeDoubleArray& weights, const AcGeDoubleArray& uKnots,
                                 const AcGeDoubleArray& vKnots)
    : AcGeSurface(nurbsGeometry(degreeU, degreeV, numU, numV, controlPoints, weights, uKnots, vKnots)) {
  if (!geometry_) geometry_ = std::make_shared<AcGeSurfaceGeometry>();
}

bool AcGeNurbSurface::isValid() const { return !as<Geom_BSplineSurface>(geometry()).IsNull(); }
bool AcGeNurbSurface::isRational() const {
  auto s = as<Geom_BSplineSurface>(geometry());
  return !s.IsNull() && (s->IsURational() || s->IsVRational());
}
int AcGeNurbSurface::numControlPointsInU() const {
  return isValid() ? as<Geom_BSplineSurface>(geometry())->NbUPoles() : 0;
}
int AcGeNurbSurface::numControlPointsInV() const {
  return isValid() ? as<Geom_BSplineSurface>(geometry())->NbVPoles() : 0;
}

void AcGeNurbSurface::getDefinition(int& degreeU, int& degreeV, int& propsU, int& propsV, int& numU, int& numV,
                                    AcGePoint3dArray& controlPoints, AcGeDoubleArray& weights, AcGeDoubleArray& uKnots,
                                    AcGeDoubleArray& vKnots, double knotTol) const {
  controlPoints.clear(), weights.clear(), uKnots.clear(), vKnots.clear();
  degreeU = degreeV = propsU = propsV = numU = numV = 0;
  auto s = as<Geom_BSplineSurface>(geometry());
  if (s.IsNull()) return;
  degreeU = s->UDegree(), degreeV = s->VDegree();
  numU = s->NbUPoles(), numV = s->NbVPoles();
  AcGeTol closeTol;
  closeTol.setEqualPoint(knotTol);
  bool rational = isRational();
  auto props = [&](bool closed, bool periodic) {
    int bits = (closed ? AcGe::kClosed : AcGe::kOpen) | (periodic ? AcGe::kPeriodic : 0);
    return rational ? bits | AcGe::kRational : bits;
  };
  propsU = props(isClosedInU(closeTol), s->IsUPeriodic());
  propsV = props(isClosedInV(closeTol), s->IsVPeriodic());
  for (int i = 1; i <= numU; ++i)
    for (int j = 1; j <= numV; ++j) {
      controlPoints.push_back(fromOcct(s->Pole(i, j)));
      if (rational) weights.push_back(s->Weight(i, j));
    }
  for (int i = s->UKnotSequence().Lower(); i <= s->UKnotSequence().Upper(); ++i)
    uKnots.push_back(s->UKnotSequence()(i));
  for (int i = s->VKnotSequence().Lower(); i <= s->VKnotSequence().Upper(); ++i)
    vKnots.push_back(s->VKnotSequence()(i));
}

// ---- external ----

AcGeExternalSurface::AcGeExternalSurface() : AcGeSurface(std::make_shared<AcGeSurfaceGeometry>()) {}
bool AcGeExternalSurface::isDefined() const { return !geometry().surface.IsNull(); }

bool AcGeExternalSurface::isNativeSurface(AcGeSurface*& native) const {
  native = nullptr;
  const Handle(Geom_Surface)& s = geometry().surface;
  if (s.IsNull()) return false;
  if (s->IsKind(STANDARD_TYPE(Geom_Plane)))
    native = new AcGePlane(geometry_);
  else if (s->IsKind(STANDARD_TYPE(Geom_CylindricalSurface)))
    native = new AcGeCylinder(geometry_);
  else if (s->IsKind(STANDARD_TYPE(Geom_ConicalSurface)))
    native = new AcGeCone(geometry_);
  else if (s->IsKind(STANDARD_TYPE(Geom_SphericalSurface)))
    native = new AcGeSphere(geometry_);
  else if (s->IsKind(STANDARD_TYPE(Geom_ToroidalSurface)))
    native = new AcGeTorus(geometry_);
  else if (s->IsKind(STANDARD_TYPE(Geom_BSplineSurface)))
    native = new AcGeNurbSurface(geometry_);
  return native != nullptr;
}

void AcGeExternalBoundedSurface::getBaseSurface(AcGeSurface*& base) const {
  base = new AcGeExternalSurface(acge::surfaceGeometry(geometry().surface));
}

void AcGeExternalBoundedSurface::getBaseSurface(AcGeExternalSurface& base) const {
  base = AcGeExternalSurface(acge::surfaceGeometry(geometry().surface));
}
