// Geometric evaluation of topology references: what the engine asks of a vertex, edge or face
// when it meshes, loads and maps results, and the quantities computed once per build of the
// children (periods, parameter range, collapsed boundaries).
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/brtrav.h"
#include "topo/acTopoNav.h"
#include "topo/acTopoRef.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kHuge = 1.7976931348623157e308;

AcGePoint3d toPoint(const CaeVector& v) { return AcGePoint3d(v[0], v[1], v[2]); }

void fromPoint(const AcGePoint3d& p, CaeVector& v) { v.Set(p.x, p.y, p.z); }

void fromVector(const AcGeVector3d& d, CaeVector& v) { v.Set(d.x, d.y, d.z); }

const AcGeExternalBoundedSurface& boundedSurface(const AcGeEntity3d* geometry) {
  auto* surface = dynamic_cast<const AcGeExternalBoundedSurface*>(geometry);
  if (!surface) CAE_GENERAL_ERROR();
  return *surface;
}

const AcGeCurve3d& curveOf(const AcGeEntity3d* geometry) {
  auto* curve = dynamic_cast<const AcGeCurve3d*>(geometry);
  if (!curve) CAE_GENERAL_ERROR();
  return *curve;
}

// The native surface under a face's surface (null when it is not native); the copy is ours.
std::unique_ptr<AcGeSurface> nativeSurfaceOf(const AcGeExternalBoundedSurface& surface) {
  AcGeExternalSurface base;
  surface.getBaseSurface(base);
  AcGeSurface* native = nullptr;
  base.isNativeSurface(native);
  return std::unique_ptr<AcGeSurface>(native);
}

std::unique_ptr<AcGeCurve3d> nativeCurveOf(const AcGeCurve3d& curve) {
  auto* external = dynamic_cast<const AcGeExternalCurve3d*>(&curve);
  if (!external) CAE_GENERAL_ERROR();
  AcGeCurve3d* native = nullptr;
  if (!external->isNativeCurve(native) || !native) CAE_GENERAL_ERROR();
  return std::unique_ptr<AcGeCurve3d>(native);
}

bool repeatsWithPeriod(const AcGeSurface& surface, int direction, const AcGePoint3d& reference,
                       const AcGePoint2d& params, double candidate) {
  AcGeTol tol;
  tol.setEqualPoint(candidate * 1e-4);
  for (double sign : {-1.0, 1.0}) {
    AcGePoint2d shifted = params;
    (direction == 0 ? shifted.x : shifted.y) += sign * candidate;
    if (!surface.evalPoint(shifted).isEqualTo(reference, tol)) return false;
  }
  return true;
}

// Periods found by trying the envelope's lengths, then 2 pi, at a point away from the seams.
void findSurfacePeriods(const AcGeSurface& surface, AcGe::EntityId type, double periods[2]) {
  AcGeInterval u(1e-12);
  AcGeInterval v(1e-12);
  surface.getEnvelope(u, v);
  const double lu = u.length();
  const double lv = v.length();
  AcGePoint2d params = surface.paramOf(surface.closestPointTo(AcGePoint3d(0, 0, 0), AcGeContext::gTol), AcGeTol());
  const double offset = 0.2 * std::min(lu, lv);
  params.x += offset;
  params.y += offset;
  const AcGePoint3d reference = surface.evalPoint(params);
  const struct {
    int direction;
    double candidate;
  } candidates[] = {{0, lu}, {1, lu}, {0, lv}, {1, lv}};
  for (const auto& c : candidates) {
    if (std::isfinite(c.candidate) && c.candidate > 0 &&
        repeatsWithPeriod(surface, c.direction, reference, params, c.candidate))
      periods[c.direction] = c.candidate;
  }
  if (periods[0] == 0 && periods[1] == 0) {
    for (int direction : {0, 1})
      if (repeatsWithPeriod(surface, direction, reference, params, kTwoPi)) periods[direction] = kTwoPi;
  }
  const bool ok = type == AcGe::kTorus ? periods[0] > 0 && periods[1] > 0 : periods[0] > 0 || periods[1] > 0;
  if (!ok) CAE_GENERAL_ERROR();
}

// A closed rational quadratic circle of nine control points in the plane of `normal`.
void circleControlPoints(const AcGePoint3d& centre, const AcGeVector3d& normal, double radius,
                         CaeArray<CaeVector>& points, CaeArray<double>& weights) {
  const AcGeVector3d z = normal.normal();
  const AcGeVector3d y = z.perpVector();
  const AcGeVector3d x = y.crossProduct(z);
  const double r = radius;
  const double local[9][2] = {{r, 0}, {r, r}, {0, r}, {-r, r}, {-r, 0}, {-r, -r}, {0, -r}, {r, -r}, {r, 0}};
  const double s = std::sqrt(2.0) * 0.5;
  for (int i = 0; i < 9; ++i) {
    const AcGePoint3d p = centre + x * local[i][0] + y * local[i][1];
    CaeVector v;
    fromPoint(p, v);
    points.Append(v);
    weights.Append(i % 2 ? s : 1.0);
  }
}

const double kCircleKnots[] = {1, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 5};

void copyNurbSurface(const AcGeNurbSurface& nurbs, int& closedU, int& closedV, int& periodicU, int& periodicV,
                     int& degreeU, int& degreeV, int& countU, int& countV, CaeArray<CaeVector>& controlPoints,
                     CaeArray<double>& weights, CaeArray<double>& knotsU, CaeArray<double>& knotsV) {
  int propsU = 0;
  int propsV = 0;
  AcGePoint3dArray points;
  AcGeDoubleArray w;
  AcGeDoubleArray ku;
  AcGeDoubleArray kv;
  nurbs.getDefinition(degreeU, degreeV, propsU, propsV, countU, countV, points, w, ku, kv, 1e-9);
  closedU = propsU & AcGe::kClosed;
  closedV = propsV & AcGe::kClosed;
  periodicU = propsU & AcGe::kPeriodic;
  periodicV = propsV & AcGe::kPeriodic;
  for (const AcGePoint3d& p : points) {
    CaeVector v;
    fromPoint(p, v);
    controlPoints.Append(v);
  }
  for (double value : w) weights.Append(value);
  for (double value : ku) knotsU.Append(value);
  for (double value : kv) knotsV.Append(value);
}

}  // namespace

// ---- quantities computed when the children are built ----

bool AcTopoRef::FaceOrientedToSurface() const {
  bool oriented = true;
  if (static_cast<AcBrFace*>(entity_)->getOrientToSurface(oriented) != AcBr::eOk) CAE_GENERAL_ERROR();
  return oriented;
}

const AcGeSurface& AcTopoRef::FaceSurface() {
  if (kind_ != kFace) CAE_GENERAL_ERROR();
  return boundedSurface(GetGeometry());
}

void AcTopoRef::ComputePeriods() {
  periods_[0] = periods_[1] = 0.0;
  if (kind_ == kFace) {
    const AcGeExternalBoundedSurface& surface = boundedSurface(geometry_);
    AcGeExternalSurface base;
    surface.getBaseSurface(base);
    AcGeSurface* handed = nullptr;
    const bool native = base.isNativeSurface(handed);
    std::unique_ptr<AcGeSurface> owned(handed);
    const AcGe::EntityId type = handed ? handed->type() : AcGe::kPlane;
    if (!native) {
      findSurfacePeriods(surface, type, periods_);
      return;
    }
    double ignored = 0;
    const bool periodicNurbs =
        type == AcGe::kNurbSurface && (handed->isPeriodicInU(ignored) || handed->isPeriodicInV(ignored));
    if (type == AcGe::kSphere || type == AcGe::kCylinder || type == AcGe::kTorus || type == AcGe::kCone ||
        periodicNurbs)
      findSurfacePeriods(surface, type, periods_);
  } else if (kind_ == kEdge) {
    const AcGeCurve3d& curve = curveOf(geometry_);
    double period = 0;
    bool periodic = false;
    if (curve.type() == AcGe::kExternalCurve3d)
      periodic = nativeCurveOf(curve)->isPeriodic(period);
    else
      periodic = curve.isPeriodic(period);
    periods_[0] = periodic ? period : 0.0;
  }
}

void AcTopoRef::ComputeParamRange() {
  if (kind_ == kFace) {
    CaeVector lower(kHuge, kHuge, 0);
    CaeVector upper(-kHuge, -kHuge, 0);
    ComputeFaceParamBox(lower, upper);
    lower_ = lower;
    upper_ = upper;
    return;
  }
  if (kind_ != kEdge) return;
  const AcGeCurve3d& curve = curveOf(geometry_);
  auto* edge = static_cast<AcBrEdge*>(entity_);
  AcBrVertex v1;
  AcBrVertex v2;
  AcGePoint3d p1;
  AcGePoint3d p2;
  if (edge->getVertex1(v1) != AcBr::eOk || edge->getVertex2(v2) != AcBr::eOk || v1.getPoint(p1) != AcBr::eOk ||
      v2.getPoint(p2) != AcBr::eOk)
    CAE_GENERAL_ERROR();
  const double t1 = curve.paramOf(p1, AcGeTol());
  const double t2 = curve.paramOf(p2, AcGeTol());
  bool along = true;
  if (edge->getOrientToCurve(along) != AcBr::eOk) CAE_GENERAL_ERROR();
  lower_[0] = along ? t1 : t2;
  upper_[0] = along ? t2 : t1;
  const double tol = AcGeTol().equalPoint();
  if (upper_[0] > lower_[0] + tol) return;
  AcGeInterval interval(1e-12);
  curve.getInterval(interval);
  double period = 0;
  if (curve.isPeriodic(period)) {
    if (interval.lowerBound() - upper_[0] > -tol)
      upper_[0] += period;
    else if (interval.upperBound() - lower_[0] > -tol)
      lower_[0] -= period;
  } else if (curve.isClosed(AcGeTol())) {
    lower_[0] = interval.lowerBound();
    upper_[0] = interval.upperBound();
  }
}

void AcTopoRef::ComputeFaceParamBox(CaeVector& lower, CaeVector& upper) {
  const AcGeExternalBoundedSurface& surface = boundedSurface(geometry_);
  bool hasEdges = false;
  int flag = 0;
  for (CaeTopoRef* child = FirstChild(flag); child; child = NextChild(child, flag, flag)) {
    hasEdges = true;
    CaeVector t0;
    CaeVector t1;
    child->ParamRange(t0, t1);
    const double m = (t0[0] + t1[0]) / 2;
    for (double t : {t0[0], (t0[0] + m) / 2, m, (m + t1[0]) / 2, t1[0]}) {
      CaeVector point;
      child->Feval(CaeVector(t, 0, 0), point);
      // The raw surface parameters: the face's own range is what is being found.
      const AcGePoint2d uv = surface.paramOf(toPoint(point), AcGeTol());
      for (int i = 0; i < 2; ++i) {
        const double value = i == 0 ? uv.x : uv.y;
        if (value < lower[i]) lower[i] = value;
        if (value > upper[i]) upper[i] = value;
      }
    }
  }
  AcGeInterval envelope[2] = {AcGeInterval(1e-12), AcGeInterval(1e-12)};
  surface.getEnvelope(envelope[0], envelope[1]);
  if (!hasEdges) {
    for (int i = 0; i < 2; ++i) {
      lower[i] = envelope[i].lowerBound();
      upper[i] = envelope[i].upperBound();
    }
    return;
  }
  for (int i = 0; i < 2; ++i) {
    if (periods_[i] > 0) {
      lower[i] = envelope[i].lowerBound();
      upper[i] = lower[i] + periods_[i];
    } else if (IsClosed(i)) {
      // Closed without a period: the envelope is the real extent, not a zero-width range.
      lower[i] = envelope[i].lowerBound();
      upper[i] = envelope[i].upperBound();
    }
  }
  if (collapsedBoundary_[0]) lower[1] = envelope[1].lowerBound();
  if (collapsedBoundary_[2]) upper[1] = envelope[1].upperBound();
  if (collapsedBoundary_[1]) lower[0] = envelope[0].lowerBound();
  if (collapsedBoundary_[3]) upper[0] = envelope[0].upperBound();
}

void AcTopoRef::RecordDegenerateLoop(const AcBrFaceLoopTraverser& loops) {
  AcBrLoopVertexTraverser vertices;
  AcBrVertex vertex;
  AcGePoint3d p;
  if (vertices.setLoop(loops) != AcBr::eOk || vertices.getVertex(vertex) != AcBr::eOk ||
      vertex.getPoint(p) != AcBr::eOk)
    CAE_GENERAL_ERROR();
  const AcGeSurface& surface = boundedSurface(geometry_);
  AcGeInterval u(1e-12);
  AcGeInterval v(1e-12);
  surface.getEnvelope(u, v);
  const double uMid = u.lowerBound() + u.length() / 2;
  const double vMid = v.lowerBound() + v.length() / 2;
  auto at = [&](double a, double b) { return p.isEqualTo(surface.evalPoint(AcGePoint2d(a, b)), AcGeContext::gTol); };
  if (at(u.lowerBound(), v.lowerBound())) {
    if (at(uMid, v.lowerBound())) {
      collapsedBoundary_[0] = true;
    } else {
      if (!at(u.lowerBound(), vMid)) CAE_GENERAL_ERROR();
      collapsedBoundary_[1] = true;
    }
    return;
  }
  if (!at(u.upperBound(), v.upperBound())) CAE_GENERAL_ERROR();
  if (at(uMid, v.upperBound())) {
    collapsedBoundary_[2] = true;
  } else {
    if (!at(u.upperBound(), vMid)) CAE_GENERAL_ERROR();
    collapsedBoundary_[3] = true;
  }
}

// ---- evaluation ----

void AcTopoRef::Feval(const CaeVector& params, CaeVector& point) {
  Reresolve();
  switch (kind_) {
    case kVertex: fromPoint(static_cast<AcGePointEnt3d*>(GetGeometry())->point3d(), point); return;
    case kEdge: {
      if (!entity_) {
        // An edge that lost its entity answers through its first vertex; without one it has
        // nothing to answer with.
        if (forwardChildren_.IsEmpty()) CAE_GENERAL_ERROR();
        forwardChildren_.FirstNode()->Item()->Feval(params, point);
        return;
      }
      fromPoint(AcGePointOnCurve3d(curveOf(GetGeometry()), params[0]).point(), point);
      return;
    }
    case kFace: fromPoint(AcGePointOnSurface(FaceSurface(), AcGePoint2d(params[0], params[1])).point(), point); return;
    case kBody: point = params; return;
    default: CAE_GENERAL_ERROR();
  }
}

void AcTopoRef::Reval(const CaeVector& point, CaeVector& params) {
  Reresolve();
  switch (kind_) {
    case kVertex: return;
    case kEdge: {
      if (!entity_) {
        params[0] = 0;
        return;
      }
      double u = curveOf(GetGeometry()).paramOf(toPoint(point), AcGeTol());
      const double period = periods_[0];
      if (period > 0) {
        if (lower_[0] > u)
          u += period;
        else if (upper_[0] < u)
          u -= period;
      }
      params[0] = u;
      return;
    }
    case kFace: {
      const AcGePoint2d uv = FaceSurface().paramOf(toPoint(point), AcGeTol());
      const double tol = AcGeTol().equalPoint();
      double values[2] = {uv.x, uv.y};
      for (int i = 0; i < 2; ++i) {
        const double period = periods_[i];
        if (period <= 0) continue;
        if (values[i] - lower_[i] < -tol)
          values[i] += period;
        else if (values[i] - upper_[i] > tol)
          values[i] -= period;
      }
      params[0] = values[0];
      params[1] = values[1];
      return;
    }
    case kBody: params = point; return;
    default: CAE_GENERAL_ERROR();
  }
}

void AcTopoRef::Project(const CaeVector& point, CaeVector& closest, CaeVector& params) {
  Reresolve();
  switch (kind_) {
    case kVertex: fromPoint(static_cast<AcGePointEnt3d*>(GetGeometry())->point3d(), closest); break;
    case kEdge:
      if (!entity_) {
        params[0] = 0;
        if (forwardChildren_.IsEmpty()) CAE_GENERAL_ERROR();
        forwardChildren_.FirstNode()->Item()->Project(point, closest, params);
        return;
      }
      // The edge's own curve ends at the edge's ends, so the closest point stays on the edge.
      fromPoint(curveOf(GetGeometry()).closestPointTo(toPoint(point), AcGeTol()), closest);
      break;
    case kFace: fromPoint(FaceSurface().closestPointTo(toPoint(point), AcGeTol()), closest); break;
    case kBody: closest = point; break;
    default: CAE_GENERAL_ERROR();
  }
  Reval(closest, params);
}

namespace {
// +1 when exactly one of "face against its surface" and "surface normal reversed" holds.
double derivativeSign(bool faceOriented, const AcGeSurface& surface) {
  bool against = !faceOriented;
  if (acSurfaceNormalReversed(surface)) against = !against;
  return against ? 1.0 : -1.0;
}
}  // namespace

void AcTopoRef::FirstDerivs(const CaeVector& params, CaeVector& du, CaeVector& dv) {
  Reresolve();
  const AcGeSurface& surface = FaceSurface();
  auto& known = FaceMemo().derivs;
  if (auto hit = known.find(params); hit != known.end()) {
    du = hit->second.du;
    dv = hit->second.dv;
    return;
  }
  const AcGePointOnSurface at(surface, AcGePoint2d(params[0], params[1]));
  const double s = derivativeSign(FaceOrientedToSurface(), surface);
  fromVector(at.uDeriv(1) * s, du);
  fromVector(at.vDeriv(1), dv);
  if (known.size() >= AcTopoFaceMemo::kMostEntries) known.clear();
  known.emplace(params, AcTopoFaceMemo::Derivs{du, dv});
}

bool AcTopoRef::PerpUv(const CaeVector& point, CaeVector& normal, CaeVector& params) {
  Reresolve();
  if (kind_ != kFace) return CaeTopoRef::PerpUv(point, normal, params);
  auto& known = FaceMemo().perp;
  if (auto hit = known.find(point); hit != known.end()) {
    // A miss left the normal as it was given; so does its memory.
    if (hit->second.found) normal = hit->second.normal;
    params = hit->second.params;
    return hit->second.found;
  }
  const bool found = CaeTopoRef::PerpUv(point, normal, params);
  if (known.size() >= AcTopoFaceMemo::kMostEntries) known.clear();
  known.emplace(point, AcTopoFaceMemo::Perp{found, normal, params});
  return found;
}

AcTopoFaceMemo& AcTopoRef::FaceMemo() {
  if (!faceMemo_) faceMemo_ = std::make_unique<AcTopoFaceMemo>();
  return *faceMemo_;
}

void AcTopoRef::ForgetFaceMemo() { faceMemo_.reset(); }

namespace {
std::uint64_t bitsOf(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}
}  // namespace

std::size_t AcTopoFaceMemo::ExactHash::operator()(const CaeVector& v) const {
  std::size_t hash = 0;
  for (int i = 0; i < 3; ++i) hash = hash * 1099511628211ULL ^ std::hash<std::uint64_t>()(bitsOf(v[i]));
  return hash;
}

// Bit for bit: a memory answers only the very question it was asked.
bool AcTopoFaceMemo::ExactEqual::operator()(const CaeVector& a, const CaeVector& b) const {
  for (int i = 0; i < 3; ++i)
    if (bitsOf(a[i]) != bitsOf(b[i])) return false;
  return true;
}

void AcTopoRef::SecondDerivs(const CaeVector& params, CaeVector& duu, CaeVector& dvv, CaeVector& duv) {
  Reresolve();
  const AcGeSurface& surface = FaceSurface();
  const AcGePointOnSurface at(surface, AcGePoint2d(params[0], params[1]));
  const double s = derivativeSign(FaceOrientedToSurface(), surface);
  fromVector(at.uDeriv(2) * s, duu);
  fromVector(at.vDeriv(2), dvv);
  fromVector(at.mixedPartial(), duv);
}

void AcTopoRef::ParamRange(CaeVector& lower, CaeVector& upper) {
  // A range asked before a pending re-resolution would place parameters on the geometry after it.
  Reresolve();
  if (kind_ != kEdge && kind_ != kFace) CAE_GENERAL_ERROR();
  lower = lower_;
  upper = upper_;
}

double AcTopoRef::EdgeLength() {
  Reresolve();
  if (kind_ != kEdge) CAE_GENERAL_ERROR();
  if (!entity_) return 0.0;
  return curveOf(GetGeometry()).length(lower_[0], upper_[0], 1e-4);
}

bool AcTopoRef::IsClosed(int direction) {
  Reresolve();
  if (kind_ == kEdge) return curveOf(GetGeometry()).isClosed(AcGeContext::gTol);
  if (kind_ != kFace) return false;
  const AcGeExternalBoundedSurface& surface = boundedSurface(GetGeometry());
  std::unique_ptr<AcGeSurface> native = nativeSurfaceOf(surface);
  if (!native) return direction == 1;
  switch (native->type()) {
    case AcGe::kSphere:
    case AcGe::kCylinder:
    case AcGe::kCone: return direction == 1;
    case AcGe::kTorus: return true;
    case AcGe::kNurbSurface:
      return direction == 0 ? native->isClosedInU(AcGeContext::gTol) : native->isClosedInV(AcGeContext::gTol);
    default: return false;
  }
}

int AcTopoRef::Period(int direction, double& period) {
  // As for the range: the periods of the geometry after a pending re-resolution.
  Reresolve();
  period = 0.0;
  if ((direction == 0 || direction == 1) && periods_[direction] > 0) {
    period = periods_[direction];
    return 1;
  }
  return 0;
}

bool AcTopoRef::IsSingularAt(int direction, int end) {
  Reresolve();
  if ((direction != 0 && direction != 1) || (end != 0 && end != 1)) CAE_GENERAL_ERROR();
  if (periods_[direction] == 0) return false;
  if (collapsedBoundary_[direction + 2 * end]) return true;
  // Only a face's surface can collapse at an end; a periodic edge has none to ask about.
  if (kind_ != kFace) return false;
  const AcGeExternalBoundedSurface& surface = boundedSurface(GetGeometry());
  std::unique_ptr<AcGeSurface> native = nativeSurfaceOf(surface);
  if (direction != 1 || !native || native->type() != AcGe::kSphere) return false;
  const auto& sphere = static_cast<const AcGeSphere&>(*native);
  return surface.isOn(end == 0 ? sphere.southPole() : sphere.northPole(), AcGeContext::gTol);
}

// ---- NURBS export ----

void AcTopoRef::GetSurfaceDefinition(int& closedU, int& closedV, int& periodicU, int& periodicV, int& degreeU,
                                     int& degreeV, int& countU, int& countV, CaeArray<CaeVector>& controlPoints,
                                     CaeArray<double>& weights, CaeArray<double>& knotsU, CaeArray<double>& knotsV) {
  Reresolve();
  if (kind_ != kFace) CAE_GENERAL_ERROR();
  const AcGeExternalBoundedSurface& surface = boundedSurface(GetGeometry());
  std::unique_ptr<AcGeSurface> native = nativeSurfaceOf(surface);
  closedU = closedV = periodicU = periodicV = 0;
  degreeU = degreeV = 1;
  countU = countV = 2;
  controlPoints.RemoveAll();
  weights.RemoveAll();
  knotsU.RemoveAll();
  knotsV.RemoveAll();
  switch (native ? native->type() : AcGe::kExternalSurface) {
    case AcGe::kPlane: {
      const double corners[4][2] = {
          {lower_[0], lower_[1]}, {upper_[0], lower_[1]}, {lower_[0], upper_[1]}, {upper_[0], upper_[1]}};
      for (const auto& c : corners) {
        CaeVector v;
        fromPoint(surface.evalPoint(AcGePoint2d(c[0], c[1])), v);
        controlPoints.Append(v);
      }
      for (double k : {0.0, 0.0, 1.0, 1.0}) {
        knotsU.Append(k);
        knotsV.Append(k);
      }
      return;
    }
    case AcGe::kNurbSurface:
      copyNurbSurface(static_cast<const AcGeNurbSurface&>(*native), closedU, closedV, periodicU, periodicV, degreeU,
                      degreeV, countU, countV, controlPoints, weights, knotsU, knotsV);
      return;
    case AcGe::kCylinder: {
      // Out as a NURBS surface over the face's own parameter box, so that the engine
      // evaluating it at (u, v) finds the point Feval gives.
      AcGeNurbSurface nurbs;
      if (surface.toNurbSurface(nurbs) != Acad::eOk) CAE_GENERAL_ERROR();
      copyNurbSurface(nurbs, closedU, closedV, periodicU, periodicV, degreeU, degreeV, countU, countV, controlPoints,
                      weights, knotsU, knotsV);
      return;
    }
    default:
      // Spheres, cones, tori and surfaces without a native base are not handed to the engine.
      CAE_GENERAL_ERROR();
  }
}

void AcTopoRef::GetCurveDefinition(int& closed, int& periodic, int& degree, CaeArray<CaeVector>& controlPoints,
                                   CaeArray<double>& weights, CaeArray<double>& knots) {
  Reresolve();
  if (kind_ != kEdge) CAE_GENERAL_ERROR();
  std::unique_ptr<AcGeCurve3d> native = nativeCurveOf(curveOf(GetGeometry()));
  closed = periodic = 0;
  controlPoints.RemoveAll();
  weights.RemoveAll();
  knots.RemoveAll();
  switch (native->type()) {
    case AcGe::kCircArc3d: {
      const auto& arc = static_cast<const AcGeCircArc3d&>(*native);
      closed = periodic = 1;
      degree = 2;
      circleControlPoints(arc.center(), arc.normal(), arc.radius(), controlPoints, weights);
      for (double k : kCircleKnots) knots.Append(k);
      return;
    }
    case AcGe::kLineSeg3d: {
      const auto& segment = static_cast<const AcGeLineSeg3d&>(*native);
      degree = 1;
      CaeVector v;
      fromPoint(segment.startPoint(), v);
      controlPoints.Append(v);
      fromPoint(segment.endPoint(), v);
      controlPoints.Append(v);
      for (double k : {0.0, 0.0, 1.0, 1.0}) knots.Append(k);
      return;
    }
    case AcGe::kNurbCurve3d: {
      const auto& spline = static_cast<const AcGeNurbCurve3d&>(*native);
      degree = spline.degree();
      closed = spline.isClosed(AcGeContext::gTol) ? 1 : 0;
      double period = 0;
      periodic = spline.isPeriodic(period) ? 1 : 0;
      for (int i = 0; i < spline.numControlPoints(); ++i) {
        CaeVector v;
        fromPoint(spline.controlPointAt(i), v);
        controlPoints.Append(v);
      }
      for (int i = 0; i < spline.numKnots(); ++i) knots.Append(spline.knotAt(i));
      for (int i = 0; i < spline.numWeights(); ++i) weights.Append(spline.weightAt(i));
      return;
    }
    default: CAE_GENERAL_ERROR();
  }
}
