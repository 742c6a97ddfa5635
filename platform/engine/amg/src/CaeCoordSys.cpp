#include "amg/CaeCoordSys.h"

#include <algorithm>
#include <cmath>

#include "amg/CaeTopoRef.h"

CAE_DEFINE_TYPE_INFO(CaeCoordSys)
CAE_DEFINE_TYPE_INFO(CaeCoordSysCartesian, CaeCoordSys)
CAE_DEFINE_TYPE_INFO(CaeCoordSysCylindric, CaeCoordSys)
CAE_DEFINE_TYPE_INFO(CaeCoordSysSpheric, CaeCoordSys)
CAE_DEFINE_TYPE_INFO(CaeCoordSysFace, CaeCoordSys)

namespace {

// Below this distance from the axis or the centre the curvilinear directions are undefined.
constexpr double kSingular = 1e-12;

void PlacementAxes(const CaeTransform& t, CaeVector axes[3]) {
  for (int i = 0; i < 3; ++i) axes[i] = t.UnitVector(i);
}

void MapAxes(const CaeTransform& t, const CaeVector local[3], CaeVector axes[3]) {
  for (int i = 0; i < 3; ++i) axes[i] = t.TransformVector(local[i]);
}

}  // namespace

CaeTypeId CaeCoordSys::GetInfo() const { return Info; }
CaeTypeId CaeCoordSysCartesian::GetInfo() const { return Info; }
CaeTypeId CaeCoordSysCylindric::GetInfo() const { return Info; }
CaeTypeId CaeCoordSysSpheric::GetInfo() const { return Info; }
CaeTypeId CaeCoordSysFace::GetInfo() const { return Info; }

void CaeCoordSys::VectorsToGlobal(int n, const CaeVector* points, CaeVector* vectors) const {
  for (int k = 0; k < n; ++k) {
    CaeVector axes[3];
    LocalAxesAt(points[k], axes);
    CaeVector v = vectors[k];
    vectors[k] = axes[0] * v[0] + axes[1] * v[1] + axes[2] * v[2];
  }
}

void CaeCoordSys::VectorsToLocal(int n, const CaeVector* points, CaeVector* vectors) const {
  for (int k = 0; k < n; ++k) {
    CaeVector axes[3];
    LocalAxesAt(points[k], axes);
    CaeVector v = vectors[k];
    vectors[k] = CaeVector(axes[0].Dot(v), axes[1].Dot(v), axes[2].Dot(v));
  }
}

bool CaeCoordSys::IsEqual(const CaeCoordSys& other, double tolerance) const {
  return GetInfo() == other.GetInfo() && transform_.Equal(other.transform_, tolerance);
}

void CaeCoordSysCartesian::LocalAxesAt(const CaeVector&, CaeVector axes[3]) const {
  PlacementAxes(GetTransform(), axes);
}

CaeVector CaeCoordSysCartesian::CoordinatesOf(const CaeVector& point) const {
  return GetTransform().Inverse().TransformPoint(point);
}

void CaeCoordSysCylindric::LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const {
  CaeVector p = GetTransform().Inverse().TransformPoint(point);
  double r = std::hypot(p.X(), p.Y());
  if (r < kSingular) return PlacementAxes(GetTransform(), axes);
  const CaeVector local[3] = {{p.X() / r, p.Y() / r, 0}, {-p.Y() / r, p.X() / r, 0}, {0, 0, 1}};
  MapAxes(GetTransform(), local, axes);
}

CaeVector CaeCoordSysCylindric::CoordinatesOf(const CaeVector& point) const {
  CaeVector p = GetTransform().Inverse().TransformPoint(point);
  return {std::hypot(p.X(), p.Y()), std::atan2(p.Y(), p.X()), p.Z()};
}

void CaeCoordSysSpheric::LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const {
  CaeVector p = GetTransform().Inverse().TransformPoint(point);
  double rho = p.Length();
  if (rho < kSingular) return PlacementAxes(GetTransform(), axes);
  double theta = std::atan2(p.Y(), p.X());  // 0 on the z axis
  double phi = std::asin(std::clamp(p.Z() / rho, -1.0, 1.0));
  double ct = std::cos(theta), st = std::sin(theta), cp = std::cos(phi), sp = std::sin(phi);
  const CaeVector local[3] = {{cp * ct, cp * st, sp}, {-st, ct, 0}, {-sp * ct, -sp * st, cp}};
  MapAxes(GetTransform(), local, axes);
}

CaeVector CaeCoordSysSpheric::CoordinatesOf(const CaeVector& point) const {
  CaeVector p = GetTransform().Inverse().TransformPoint(point);
  double rho = p.Length();
  double phi = rho < kSingular ? 0.0 : std::asin(std::clamp(p.Z() / rho, -1.0, 1.0));
  return {rho, std::atan2(p.Y(), p.X()), phi};
}

void CaeCoordSysFace::LocalAxesAt(const CaeVector& point, CaeVector axes[3]) const {
  PlacementAxes(GetTransform(), axes);
  if (!ref_ || ref_->Kind() != CaeTopoRef::kFace) return;
  CaeVector normal, params, du, dv;
  if (!ref_->PerpUv(point, normal, params)) return;
  ref_->FirstDerivs(params, du, dv);
  CaeVector x = du - normal * normal.Dot(du);
  if (!x.Normalize()) return;
  axes[0] = x;
  axes[1] = normal.Cross(x);
  axes[2] = normal;
}

CaeVector CaeCoordSysFace::CoordinatesOf(const CaeVector& point) const {
  return GetTransform().Inverse().TransformPoint(point);
}
