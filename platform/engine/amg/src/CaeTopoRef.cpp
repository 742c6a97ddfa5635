#include "amg/CaeTopoRef.h"

#include <cmath>

CAE_DEFINE_TYPE_INFO(CaeTopoRef)

void CaeTopoRef::Feval(int n, const CaeVector* params, CaeVector* points) {
  for (int i = 0; i < n; ++i) Feval(params[i], points[i]);
}

void CaeTopoRef::Reval(int n, const CaeVector* points, CaeVector* params) {
  for (int i = 0; i < n; ++i) Reval(points[i], params[i]);
}

void CaeTopoRef::Reval(const CaeVector& point, const CaeVector&, CaeVector& params) { Reval(point, params); }

void CaeTopoRef::Project(int n, const CaeVector* points, CaeVector* closest, CaeVector* params) {
  for (int i = 0; i < n; ++i) Project(points[i], closest[i], params[i]);
}

void CaeTopoRef::Project(const CaeVector& point, const CaeVector&, CaeVector& closest, CaeVector& params) {
  Project(point, closest, params);
}

bool CaeTopoRef::Perp(const CaeVector& params, CaeVector& normal) {
  CaeVector du, dv;
  FirstDerivs(params, du, dv);
  CaeVector n = du.Cross(dv);
  if (!n.Normalize()) return false;
  normal = n;
  return true;
}

bool CaeTopoRef::PerpUv(const CaeVector& point, CaeVector& normal, CaeVector& params) {
  CaeVector closest;
  Project(point, closest, params);
  return Perp(params, normal);
}

int CaeTopoRef::Attributes(CaeList<CaeAttrib>& list, CaeTypeId type, int activeOnly) {
  int count = 0;
  for (CaeAttrib* a = FirstAttribute(type, activeOnly); a; a = NextAttribute(type, a, activeOnly)) {
    list.Append(a);
    ++count;
  }
  return count;
}

namespace {

// Sample points of an edge or face: the centre of its parameter range and its corners.
int SamplePoints(CaeTopoRef& ref, CaeVector out[5]) {
  CaeVector lower, upper;
  ref.ParamRange(lower, upper);
  CaeVector mid = (lower + upper) * 0.5;
  CaeVector params[5] = {mid, lower, upper, {lower[0], upper[1], 0}, {upper[0], lower[1], 0}};
  int n = ref.Kind() == CaeTopoRef::kEdge ? 3 : 5;
  for (int i = 0; i < n; ++i) ref.Feval(params[i], out[i]);
  return n;
}

bool Touches(CaeTopoRef& self, CaeTopoRef& other, double tolerance) {
  CaeVector points[5];
  int n = 1;
  if (self.Kind() == CaeTopoRef::kVertex)
    self.Feval(CaeVector(), points[0]);
  else
    n = SamplePoints(self, points);
  for (int i = 0; i < n; ++i) {
    CaeVector closest, params;
    other.Project(points[i], closest, params);
    if ((closest - points[i]).Length() > tolerance) return false;
  }
  return true;
}

}  // namespace

int CaeTopoRef::GetTopoRefsToMate(CaeList<CaeTopoRef>& candidates, double tolerance, CaeList<CaeTopoRef>& result) {
  int kind = Kind();
  if (kind != kVertex && kind != kEdge && kind != kFace) return 0;
  int count = 0;
  for (CaeTopoRef* other : candidates) {
    if (other == this || other->Kind() != kind || !Touches(*this, *other, tolerance)) continue;
    result.Append(other);
    ++count;
  }
  return count;
}
