#include <GCPnts_AbscissaPoint.hxx>
#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <Geom_Line.hxx>
#include <Standard_Failure.hxx>

#include <algorithm>
#include <cmath>

#include "arx/geocct.h"

using acge::fromOcct;
using acge::toOcct;

namespace {

bool isStraight(const AcGeCurveGeometry& g) { return g.curve->IsKind(STANDARD_TYPE(Geom_Line)); }

double clampTo(double value, double lower, double upper) { return std::min(std::max(value, lower), upper); }

// Foot of the perpendicular on a straight curve, by projection on its direction.
double lineParam(const AcGeCurveGeometry& g, const AcGePoint3d& point) {
  const gp_Ax1& axis = Handle(Geom_Line)::DownCast(g.curve)->Position();
  return gp_Vec(axis.Location(), toOcct(point)).Dot(gp_Vec(axis.Direction()));
}

// The parameter of the closest point inside [first, last]: the projection's best foot, or an
// end when that is nearer (also when no foot exists).
double boundedClosestParam(const AcGeCurveGeometry& g, const AcGePoint3d& point) {
  gp_Pnt target = toOcct(point);
  double best = g.first;
  double bestDistance = g.curve->Value(g.first).Distance(target);
  double endDistance = g.curve->Value(g.last).Distance(target);
  if (endDistance < bestDistance) best = g.last, bestDistance = endDistance;
  try {
    GeomAPI_ProjectPointOnCurve projection(target, g.curve, g.first, g.last);
    if (projection.NbPoints() > 0 && projection.LowerDistance() < bestDistance)
      best = projection.LowerDistanceParameter();
  } catch (const Standard_Failure&) {
    // no foot: an end is the answer
  }
  return best;
}

}  // namespace

AcGeCurve3d::AcGeCurve3d() = default;
AcGeCurve3d::AcGeCurve3d(std::shared_ptr<const AcGeCurveGeometry> geometry) : geometry_(std::move(geometry)) {}
AcGeCurve3d::AcGeCurve3d(const AcGeCurve3d&) = default;
AcGeCurve3d& AcGeCurve3d::operator=(const AcGeCurve3d&) = default;
AcGeCurve3d::~AcGeCurve3d() = default;

void AcGeCurve3d::getInterval(AcGeInterval& interval) const { interval.set(geometry_->first, geometry_->last); }

AcGePoint3d AcGeCurve3d::evalPoint(double param) const { return fromOcct(geometry_->curve->Value(param)); }

AcGePoint3d AcGeCurve3d::evalPoint(double param, int numDerivs, AcGeVector3dArray& derivs) const {
  gp_Pnt p;
  gp_Vec d1, d2;
  derivs.clear();
  if (numDerivs <= 0) return evalPoint(param);
  if (numDerivs == 1) {
    geometry_->curve->D1(param, p, d1);
    derivs = {fromOcct(d1)};
  } else {
    geometry_->curve->D2(param, p, d1, d2);
    derivs = {fromOcct(d1), fromOcct(d2)};
  }
  return fromOcct(p);
}

double AcGeCurve3d::paramOf(const AcGePoint3d& point, const AcGeTol&) const {
  const AcGeCurveGeometry& g = *geometry_;
  if (isStraight(g)) return clampTo(lineParam(g, point), g.first, g.last);
  return boundedClosestParam(g, point);
}

AcGePoint3d AcGeCurve3d::closestPointTo(const AcGePoint3d& point, const AcGeTol& tol) const {
  return evalPoint(paramOf(point, tol));
}

bool AcGeCurve3d::isOn(const AcGePoint3d& point, const AcGeTol& tol) const {
  return closestPointTo(point, tol).isEqualTo(point, tol);
}

double AcGeCurve3d::length(double fromParam, double toParam, double tol) const {
  if (fromParam == toParam) return 0.0;
  GeomAdaptor_Curve adaptor(geometry_->curve);
  double lower = std::min(fromParam, toParam), upper = std::max(fromParam, toParam);
  double length = GCPnts_AbscissaPoint::Length(adaptor, lower, upper, tol);
  return fromParam < toParam ? length : -length;
}

bool AcGeCurve3d::hasStartPoint(AcGePoint3d& point) const {
  if (!std::isfinite(geometry_->first)) return false;
  point = evalPoint(geometry_->first);
  return true;
}

bool AcGeCurve3d::hasEndPoint(AcGePoint3d& point) const {
  if (!std::isfinite(geometry_->last)) return false;
  point = evalPoint(geometry_->last);
  return true;
}

bool AcGeCurve3d::isClosed(const AcGeTol& tol) const {
  AcGePoint3d start, end;
  return hasStartPoint(start) && hasEndPoint(end) && start.isEqualTo(end, tol);
}

bool AcGeCurve3d::isPeriodic(double& period) const {
  period = 0.0;
  if (!geometry_->curve->IsPeriodic()) return false;
  period = geometry_->curve->Period();
  return true;
}

bool AcGeCurve3d::isLinear(AcGeLine3d& line, const AcGeTol&) const {
  if (!isStraight(*geometry_)) return false;
  const gp_Ax1& axis = Handle(Geom_Line)::DownCast(geometry_->curve)->Position();
  line = AcGeLine3d(fromOcct(axis.Location()), fromOcct(gp_Vec(axis.Direction())));
  return true;
}

AcGeVector3d AcGePointOnCurve3d::deriv(int order) const {
  AcGeVector3dArray derivs;
  curve_->evalPoint(param_, order, derivs);
  return derivs.empty() ? AcGeVector3d() : derivs.back();
}
