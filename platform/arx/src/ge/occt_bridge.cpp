#include <Geom_ConicalSurface.hxx>
#include <Geom_CylindricalSurface.hxx>
#include <Geom_RectangularTrimmedSurface.hxx>
#include <Geom_SphericalSurface.hxx>
#include <Geom_ToroidalSurface.hxx>
#include <Geom_TrimmedCurve.hxx>

#include "arx/geocct.h"

namespace acge {

std::shared_ptr<const AcGeCurveGeometry> curveGeometry(const Handle(Geom_Curve) & curve, double first, double last) {
  auto geometry = std::make_shared<AcGeCurveGeometry>();
  Handle(Geom_Curve) basis = curve;
  // A trimmed curve's own parameters are its basis curve's, so the basis serves directly.
  while (auto trimmed = Handle(Geom_TrimmedCurve)::DownCast(basis)) basis = trimmed->BasisCurve();
  geometry->curve = basis;
  geometry->first = first;
  geometry->last = last;
  return geometry;
}

bool swapsParameters(const Handle(Geom_Surface) & surface) {
  Handle(Geom_Surface) basis = surface;
  while (auto trimmed = Handle(Geom_RectangularTrimmedSurface)::DownCast(basis)) basis = trimmed->BasisSurface();
  return basis->IsKind(STANDARD_TYPE(Geom_CylindricalSurface)) || basis->IsKind(STANDARD_TYPE(Geom_ConicalSurface)) ||
         basis->IsKind(STANDARD_TYPE(Geom_SphericalSurface)) || basis->IsKind(STANDARD_TYPE(Geom_ToroidalSurface));
}

std::shared_ptr<const AcGeSurfaceGeometry> surfaceGeometry(const Handle(Geom_Surface) & surface, double occtU0,
                                                           double occtU1, double occtV0, double occtV1) {
  auto geometry = std::make_shared<AcGeSurfaceGeometry>();
  Handle(Geom_Surface) basis = surface;
  while (auto trimmed = Handle(Geom_RectangularTrimmedSurface)::DownCast(basis)) basis = trimmed->BasisSurface();
  geometry->surface = basis;
  geometry->swapped = swapsParameters(basis);
  // OpenCASCADE marks unbounded directions with huge values; keep them as infinities.
  auto bound = [](double value) {
    if (value <= -1e99) return -AcGeInterval::kInfinity;
    if (value >= 1e99) return AcGeInterval::kInfinity;
    return value;
  };
  if (geometry->swapped) {
    geometry->u0 = bound(occtV0), geometry->u1 = bound(occtV1), geometry->v0 = bound(occtU0),
    geometry->v1 = bound(occtU1);
  } else {
    geometry->u0 = bound(occtU0), geometry->u1 = bound(occtU1), geometry->v0 = bound(occtV0),
    geometry->v1 = bound(occtV1);
  }
  return geometry;
}

std::shared_ptr<const AcGeSurfaceGeometry> surfaceGeometry(const Handle(Geom_Surface) & surface) {
  double u0, u1, v0, v1;
  surface->Bounds(u0, u1, v0, v1);
  return surfaceGeometry(surface, u0, u1, v0, v1);
}

}  // namespace acge
