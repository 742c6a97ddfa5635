#include <Geom_BSplineCurve.hxx>
#include <Geom_Circle.hxx>
#include <Geom_Line.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <gp_Ax2.hxx>

#include <cmath>
#include <numbers>

#include "arx/geocct.h"

using acge::fromOcct;
using acge::toOcct;

namespace {

Handle(Geom_Line) lineOf(const AcGeCurveGeometry& g) { return Handle(Geom_Line)::DownCast(g.curve); }
Handle(Geom_Circle) circleOf(const AcGeCurveGeometry& g) { return Handle(Geom_Circle)::DownCast(g.curve); }
Handle(Geom_BSplineCurve) splineOf(const AcGeCurveGeometry& g) { return Handle(Geom_BSplineCurve)::DownCast(g.curve); }

std::shared_ptr<const AcGeCurveGeometry> straight(const AcGePoint3d& point, const AcGeVector3d& direction, double first,
                                                  double last) {
  gp_Dir dir = direction.isZeroLength() ? gp_Dir(1, 0, 0) : gp_Dir(toOcct(direction));
  return acge::curveGeometry(new Geom_Line(toOcct(point), dir), first, last);
}

// Axes with `normal` as z and `ref` (made perpendicular to it) as x.
gp_Ax2 axesOf(const AcGePoint3d& origin, const AcGeVector3d& normal, const AcGeVector3d& ref) {
  AcGeVector3d z = normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal();
  AcGeVector3d x = ref - z * ref.dotProduct(z);
  if (x.isZeroLength(AcGeTol())) x = z.perpVector();
  return gp_Ax2(toOcct(origin), gp_Dir(toOcct(z)), gp_Dir(toOcct(x)));
}

// Collapses a flat knot list into distinct knots and multiplicities.
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

std::shared_ptr<const AcGeCurveGeometry> nurbsGeometry(int degree, const AcGeDoubleArray& flatKnots,
                                                       const AcGePoint3dArray& points, const AcGeDoubleArray& weights) {
  std::vector<double> knots;
  std::vector<int> mults;
  splitKnots(flatKnots, knots, mults);
  if (degree < 1 || points.size() < 2 || knots.size() < 2 || (!weights.empty() && weights.size() != points.size()) ||
      flatKnots.size() != points.size() + static_cast<std::size_t>(degree) + 1)
    return nullptr;
  TColgp_Array1OfPnt poles(1, static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i) poles.SetValue(static_cast<int>(i) + 1, toOcct(points[i]));
  TColStd_Array1OfReal knotArray(1, static_cast<int>(knots.size()));
  TColStd_Array1OfInteger multArray(1, static_cast<int>(knots.size()));
  for (std::size_t i = 0; i < knots.size(); ++i) {
    knotArray.SetValue(static_cast<int>(i) + 1, knots[i]);
    multArray.SetValue(static_cast<int>(i) + 1, mults[i]);
  }
  try {
    Handle(Geom_BSplineCurve) curve;
    if (weights.empty()) {
      curve = new Geom_BSplineCurve(poles, knotArray, multArray, degree);
    } else {
      TColStd_Array1OfReal weightArray(1, static_cast<int>(weights.size()));
      for (std::size_t i = 0; i < weights.size(); ++i) weightArray.SetValue(static_cast<int>(i) + 1, weights[i]);
      curve = new Geom_BSplineCurve(poles, weightArray, knotArray, multArray, degree);
    }
    return acge::curveGeometry(curve, curve->FirstParameter(), curve->LastParameter());
  } catch (const Standard_Failure&) {
    return nullptr;
  }
}

}  // namespace

// ---- lines ----

AcGeLine3d::AcGeLine3d() : AcGeLine3d(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis) {}
AcGeLine3d::AcGeLine3d(const AcGePoint3d& point, const AcGeVector3d& direction)
    : AcGeCurve3d(straight(point, direction, -AcGeInterval::kInfinity, AcGeInterval::kInfinity)) {}
AcGePoint3d AcGeLine3d::pointOnLine() const { return fromOcct(lineOf(geometry())->Position().Location()); }
AcGeVector3d AcGeLine3d::direction() const { return fromOcct(gp_Vec(lineOf(geometry())->Position().Direction())); }

AcGeLineSeg3d::AcGeLineSeg3d(const AcGePoint3d& start, const AcGePoint3d& end)
    : AcGeCurve3d(straight(start, end - start, 0.0, start.distanceTo(end))) {}
AcGePoint3d AcGeLineSeg3d::startPoint() const { return evalPoint(geometry().first); }
AcGePoint3d AcGeLineSeg3d::endPoint() const { return evalPoint(geometry().last); }

// ---- arcs ----

AcGeCircArc3d::AcGeCircArc3d(const AcGePoint3d& center, const AcGeVector3d& normal, const AcGeVector3d& refVec,
                             double radius, double startAngle, double endAngle)
    : AcGeCurve3d(acge::curveGeometry(new Geom_Circle(axesOf(center, normal, refVec), radius), startAngle, endAngle)) {}
AcGePoint3d AcGeCircArc3d::center() const { return fromOcct(circleOf(geometry())->Location()); }
AcGeVector3d AcGeCircArc3d::normal() const { return fromOcct(gp_Vec(circleOf(geometry())->Axis().Direction())); }
AcGeVector3d AcGeCircArc3d::refVec() const { return fromOcct(gp_Vec(circleOf(geometry())->XAxis().Direction())); }
double AcGeCircArc3d::radius() const { return circleOf(geometry())->Radius(); }
double AcGeCircArc3d::startAng() const { return geometry().first; }
double AcGeCircArc3d::endAng() const { return geometry().last; }

// ---- splines ----

int AcGeSplineEnt3d::degree() const { return splineOf(geometry())->Degree(); }
int AcGeSplineEnt3d::numControlPoints() const { return splineOf(geometry())->NbPoles(); }
AcGePoint3d AcGeSplineEnt3d::controlPointAt(int index) const { return fromOcct(splineOf(geometry())->Pole(index + 1)); }
int AcGeSplineEnt3d::numKnots() const { return splineOf(geometry())->KnotSequence().Length(); }
double AcGeSplineEnt3d::knotAt(int index) const { return splineOf(geometry())->KnotSequence().Value(index + 1); }

AcGeNurbCurve3d::AcGeNurbCurve3d(int degree, const AcGeDoubleArray& knots, const AcGePoint3dArray& controlPoints,
                                 const AcGeDoubleArray& weights)
    : AcGeSplineEnt3d(nurbsGeometry(degree, knots, controlPoints, weights)) {
  if (!geometry_) geometry_ = straight(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, 0.0, 0.0);
}
bool AcGeNurbCurve3d::isValid() const { return !splineOf(geometry()).IsNull(); }
bool AcGeNurbCurve3d::isRational() const { return isValid() && splineOf(geometry())->IsRational(); }
int AcGeNurbCurve3d::numWeights() const { return isRational() ? numControlPoints() : 0; }
double AcGeNurbCurve3d::weightAt(int index) const { return splineOf(geometry())->Weight(index + 1); }

// ---- external ----

bool AcGeExternalCurve3d::isNativeCurve(AcGeCurve3d*& native) const {
  native = nullptr;
  if (!lineOf(geometry()).IsNull()) {
    if (std::isfinite(geometry().first) && std::isfinite(geometry().last))
      native = new AcGeLineSeg3d(geometry_);
    else
      native = new AcGeLine3d(geometry_);
  } else if (!circleOf(geometry()).IsNull()) {
    native = new AcGeCircArc3d(geometry_);
  } else if (!splineOf(geometry()).IsNull()) {
    native = new AcGeNurbCurve3d(geometry_);
  }
  return native != nullptr;
}
