// The bridge between the geometry classes and OpenCASCADE geometry, for the libraries that read
// shapes (B-rep, drawing). Every AcGe curve and surface is backed by an OpenCASCADE curve or
// surface; these make AcGe objects from OpenCASCADE ones and hand the underlying geometry back.
#pragma once

#include <Geom_Curve.hxx>
#include <Geom_Surface.hxx>
#include <gp_Pnt.hxx>
#include <gp_Vec.hxx>

#include <memory>

#include "arx/gecurve3d.h"
#include "arx/gesurf.h"

struct AcGeCurveGeometry {
  Handle(Geom_Curve) curve;        // never null
  double first = 0.0, last = 0.0;  // the AcGe interval (may be infinite)
};

// `swapped`: the AcGe (u, v) is the OpenCASCADE (v, u) (cylinders, cones, spheres and tori, whose
// OpenCASCADE u is the angle about the axis). Bounds are in AcGe order and may be infinite.
struct AcGeSurfaceGeometry {
  Handle(Geom_Surface) surface;  // null only for an undefined external surface
  bool swapped = false;
  double u0 = 0.0, u1 = 0.0, v0 = 0.0, v1 = 0.0;
};

namespace acge {

inline gp_Pnt toOcct(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }
inline gp_Vec toOcct(const AcGeVector3d& v) { return {v.x, v.y, v.z}; }
inline AcGePoint3d fromOcct(const gp_Pnt& p) { return {p.X(), p.Y(), p.Z()}; }
inline AcGeVector3d fromOcct(const gp_Vec& v) { return {v.X(), v.Y(), v.Z()}; }

// Curve geometry over [first, last] of an OpenCASCADE curve (trimmed curves are unwrapped).
std::shared_ptr<const AcGeCurveGeometry> curveGeometry(const Handle(Geom_Curve) & curve, double first, double last);
// Surface geometry of an OpenCASCADE surface over its own bounds, or over the given OpenCASCADE
// parameter box (as BRepTools::UVBounds gives it) when `bounded`.
std::shared_ptr<const AcGeSurfaceGeometry> surfaceGeometry(const Handle(Geom_Surface) & surface);
std::shared_ptr<const AcGeSurfaceGeometry> surfaceGeometry(const Handle(Geom_Surface) & surface, double occtU0,
                                                           double occtU1, double occtV0, double occtV1);
// Whether an AcGe surface over this OpenCASCADE surface takes its parameters in swapped order.
bool swapsParameters(const Handle(Geom_Surface) & surface);

}  // namespace acge
