#include "amg/CaeVector.h"

#include <cmath>

double CaeVector::Length() const { return std::sqrt(Dot(*this)); }

CaeVector CaeVector::Cross(const CaeVector& o) const {
  return {v_[1] * o.v_[2] - v_[2] * o.v_[1], v_[2] * o.v_[0] - v_[0] * o.v_[2], v_[0] * o.v_[1] - v_[1] * o.v_[0]};
}

bool CaeVector::Normalize() {
  double length = Length();
  if (length == 0.0 || !std::isfinite(length)) return false;
  *this *= 1.0 / length;
  return true;
}

bool CaeVector::Equal(const CaeVector& other, double tolerance) const {
  for (int i = 0; i < 3; ++i)
    if (std::fabs(v_[i] - other.v_[i]) > tolerance) return false;
  return true;
}
