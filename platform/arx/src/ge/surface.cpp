#include <GeomConvert_ApproxSurface.hxx>
#include <GeomLib.hxx>
#include <Geom_BSplineSurface.hxx>
#include <Geom_RectangularTrimmedSurface.hxx>
#include <ShapeAnalysis_Surface.hxx>
#include <Standard_Failure.hxx>
#include <gp_Pnt2d.hxx>

#include <algorithm>
#include <cmath>

#include "arx/geocct.h"

using acge::fromOcct;
using acge::toOcct;

namespace {

// AcGe (u, v) to OpenCASCADE (u, v) and back.
gp_Pnt2d occtParams(const AcGeSurfaceGeometry& g, const AcGePoint2d& p) {
  return g.swapped ? gp_Pnt2d(p.y, p.x) : gp_Pnt2d(p.x, p.y);
}
AcGePoint2d geParams(const AcGeSurfaceGeometry& g, double occtU, double occtV) {
  return g.swapped ? AcGePoint2d(occtV, occtU) : AcGePoint2d(occtU, occtV);
}

bool periodicInU(const AcGeSurfaceGeometry& g, double& period) {
  const Handle(Geom_Surface)& s = g.surface;
  bool periodic = g.swapped ? s->IsVPeriodic() : s->IsUPeriodic();
  period = periodic ? (g.swapped ? s->VPeriod() : s->UPeriod()) : 0.0;
  return periodic;
}
bool periodicInV(const AcGeSurfaceGeometry& g, double& period) {
  const Handle(Geom_Surface)& s = g.surface;
  bool periodic = g.swapped ? s->IsUPeriodic() : s->IsVPeriodic();
  period = periodic ? (g.swapped ? s->UPeriod() : s->VPeriod()) : 0.0;
  return periodic;
}

// Brings a parameter into [lower, upper]: by whole periods when periodic and that fits, else by
// clamping to the nearer bound.
double intoRange(double value, double lower, double upper, double period) {
  if (period > 0.0 && std::isfinite(lower)) {
    double shifted = value - std::floor((value - lower) / period) * period;
    if (shifted <= upper + 1e-12) return shifted;
    // beyond the range: the nearer bound, measured around the period
    double toUpper = shifted - upper, toLower = lower + period - shifted;
    return toUpper <= toLower ? upper : lower;
  }
  return std::min(std::max(value, lower), upper);
}

// Sample parameters across an interval (a unit span around 0 when it is unbounded).
std::vector<double> samplesOf(double lower, double upper) {
  if (!std::isfinite(lower) || !std::isfinite(upper)) {
    lower = std::isfinite(lower) ? lower : (std::isfinite(upper) ? upper - 1.0 : -0.5);
    upper = lower + 1.0;
  }
  std::vector<double> samples;
  for (int i = 0; i <= 4; ++i) samples.push_back(lower + (upper - lower) * i / 4.0);
  return samples;
}

}  // namespace

AcGeSurface::AcGeSurface() = default;
AcGeSurface::AcGeSurface(std::shared_ptr<const AcGeSurfaceGeometry> geometry) : geometry_(std::move(geometry)) {}
AcGeSurface::AcGeSurface(const AcGeSurface&) = default;
AcGeSurface& AcGeSurface::operator=(const AcGeSurface&) = default;
AcGeSurface::~AcGeSurface() = default;

void AcGeSurface::getEnvelope(AcGeInterval& u, AcGeInterval& v) const {
  u = AcGeInterval(geometry_->u0, geometry_->u1, 1e-12);
  v = AcGeInterval(geometry_->v0, geometry_->v1, 1e-12);
}

AcGePoint3d AcGeSurface::evalPoint(const AcGePoint2d& param) const {
  return fromOcct(geometry_->surface->Value(occtParams(*geometry_, param).X(), occtParams(*geometry_, param).Y()));
}

AcGePoint3d AcGeSurface::evalPoint(const AcGePoint2d& param, int numDerivs, AcGeVector3dArray& derivs,
                                   AcGeVector3d& normal) const {
  const AcGeSurfaceGeometry& g = *geometry_;
  gp_Pnt2d uv = occtParams(g, param);
  gp_Pnt p;
  gp_Vec du, dv, duu, dvv, duv;
  g.surface->D2(uv.X(), uv.Y(), p, du, dv, duu, dvv, duv);
  gp_Dir occtNormal;
  // The estimate copes with singular points (poles, apex), where du x dv vanishes.
  GeomLib::NormEstim(g.surface, uv, 1e-10, occtNormal);
  normal = fromOcct(gp_Vec(occtNormal));
  derivs.clear();
  if (numDerivs >= 1) {
    derivs.push_back(fromOcct(g.swapped ? dv : du));
    derivs.push_back(fromOcct(g.swapped ? du : dv));
  }
  if (numDerivs >= 2) {
    derivs.push_back(fromOcct(g.swapped ? dvv : duu));
    derivs.push_back(fromOcct(duv));
    derivs.push_back(fromOcct(g.swapped ? duu : dvv));
  }
  return fromOcct(p);
}

AcGePoint3d AcGeSurface::evalPoint(const AcGePoint2d& param, int numDerivs, AcGeVector3dArray& derivs) const {
  AcGeVector3d normal;
  return evalPoint(param, numDerivs, derivs, normal);
}

AcGePoint2d AcGeSurface::paramOf(const AcGePoint3d& point, const AcGeTol& tol) const {
  const AcGeSurfaceGeometry& g = *geometry_;
  Handle(ShapeAnalysis_Surface) analysis = new ShapeAnalysis_Surface(g.surface);
  gp_Pnt2d found = analysis->ValueOfUV(toOcct(point), std::max(tol.equalPoint(), 1e-9));
  AcGePoint2d param = geParams(g, found.X(), found.Y());
  double uPeriod, vPeriod;
  periodicInU(g, uPeriod);
  periodicInV(g, vPeriod);
  return {intoRange(param.x, g.u0, g.u1, uPeriod), intoRange(param.y, g.v0, g.v1, vPeriod)};
}

AcGePoint3d AcGeSurface::closestPointTo(const AcGePoint3d& point, const AcGeTol& tol) const {
  return evalPoint(paramOf(point, tol));
}

bool AcGeSurface::isOn(const AcGePoint3d& point, AcGePoint2d& param, const AcGeTol& tol) const {
  param = paramOf(point, tol);
  return evalPoint(param).isEqualTo(point, tol);
}

bool AcGeSurface::isOn(const AcGePoint3d& point, const AcGeTol& tol) const {
  AcGePoint2d param;
  return isOn(point, param, tol);
}

bool AcGeSurface::isClosedInU(const AcGeTol& tol) const {
  const AcGeSurfaceGeometry& g = *geometry_;
  if (!std::isfinite(g.u0) || !std::isfinite(g.u1)) return false;
  for (double v : samplesOf(g.v0, g.v1))
    if (!evalPoint({g.u0, v}).isEqualTo(evalPoint({g.u1, v}), tol)) return false;
  return true;
}

bool AcGeSurface::isClosedInV(const AcGeTol& tol) const {
  const AcGeSurfaceGeometry& g = *geometry_;
  if (!std::isfinite(g.v0) || !std::isfinite(g.v1)) return false;
  for (double u : samplesOf(g.u0, g.u1))
    if (!evalPoint({u, g.v0}).isEqualTo(evalPoint({u, g.v1}), tol)) return false;
  return true;
}

bool AcGeSurface::isPeriodicInU(double& period) const { return periodicInU(*geometry_, period); }
bool AcGeSurface::isPeriodicInV(double& period) const { return periodicInV(*geometry_, period); }

Acad::ErrorStatus AcGeSurface::toNurbSurface(AcGeNurbSurface& nurbs, double tol) const {
  const AcGeSurfaceGeometry& g = *geometry_;
  if (g.surface.IsNull() || !std::isfinite(g.u0) || !std::isfinite(g.u1) || !std::isfinite(g.v0) ||
      !std::isfinite(g.v1) || g.u1 <= g.u0 || g.v1 <= g.v0)
    return Acad::eNotApplicable;
  try {
    gp_Pnt2d low = occtParams(g, {g.u0, g.v0}), high = occtParams(g, {g.u1, g.v1});
    Handle(Geom_Surface) patch = new Geom_RectangularTrimmedSurface(g.surface, low.X(), high.X(), low.Y(), high.Y());
    // An approximation keeps the surface's own parameters (an exact rational conversion of a
    // cylinder would not: its angle would no longer be the parameter).
    GeomConvert_ApproxSurface approx(patch, tol, GeomAbs_C1, GeomAbs_C1, 9, 9, 64, 0);
    if (!approx.IsDone() || !approx.HasResult() || approx.MaxError() > tol) return Acad::eNotApplicable;
    Handle(Geom_BSplineSurface) spline = approx.Surface();
    if (g.swapped) spline->ExchangeUV();
    double u0, u1, v0, v1;
    spline->Bounds(u0, u1, v0, v1);
    nurbs = AcGeNurbSurface(acge::surfaceGeometry(spline, u0, u1, v0, v1));
    return Acad::eOk;
  } catch (const Standard_Failure&) {
    return Acad::eNotApplicable;
  }
}

// ---- points on surfaces ----

AcGeVector3d AcGePointOnSurface::uDeriv(int order) const {
  AcGeVector3dArray derivs;
  surface_->evalPoint(param_, 2, derivs);
  return order == 2 ? derivs[2] : derivs[0];
}

AcGeVector3d AcGePointOnSurface::vDeriv(int order) const {
  AcGeVector3dArray derivs;
  surface_->evalPoint(param_, 2, derivs);
  return order == 2 ? derivs[4] : derivs[1];
}

AcGeVector3d AcGePointOnSurface::mixedPartial() const {
  AcGeVector3dArray derivs;
  surface_->evalPoint(param_, 2, derivs);
  return derivs[3];
}

AcGeVector3d AcGePointOnSurface::normal() const {
  AcGeVector3dArray derivs;
  AcGeVector3d normal;
  surface_->evalPoint(param_, 1, derivs, normal);
  return normal;
}
