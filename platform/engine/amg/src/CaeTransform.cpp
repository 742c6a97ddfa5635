#include "amg/CaeTransform.h"

#include <cmath>

namespace {

// A unit vector perpendicular to the unit vector `x`.
CaeVector AnyPerpendicular(const CaeVector& x) {
  CaeVector helper = std::fabs(x.Z()) < 0.9 ? CaeVector(0, 0, 1) : CaeVector(1, 0, 0);
  CaeVector y = helper.Cross(x);
  y.Normalize();
  return y;
}

}  // namespace

CaeTransform::CaeTransform() {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m_[i][j] = i == j ? 1.0 : 0.0;
}

CaeTransform::CaeTransform(const CaeVector& xAxis, const CaeVector& yAxis, const CaeVector& zAxis,
                           const CaeVector& origin)
    : CaeTransform() {
  SetUnitVector(0, xAxis);
  SetUnitVector(1, yAxis);
  SetUnitVector(2, zAxis);
  SetTranslation(origin);
}

CaeTransform::CaeTransform(const CaeVector& origin, const CaeVector& direction) : CaeTransform() {
  CaeVector x = direction;
  if (x.Normalize()) {
    CaeVector y = AnyPerpendicular(x);
    SetUnitVector(0, x);
    SetUnitVector(1, y);
    SetUnitVector(2, x.Cross(y));
  }
  SetTranslation(origin);
}

void CaeTransform::ToArray(double out[16]) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out[4 * i + j] = m_[i][j];
}

CaeTransform CaeTransform::FromArray(const double values[16]) {
  CaeTransform t;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) t.m_[i][j] = values[4 * i + j];
  return t;
}

void CaeTransform::SetUnitVector(int i, const CaeVector& v) {
  for (int r = 0; r < 3; ++r) m_[r][i] = v[r];
}

void CaeTransform::SetTranslation(const CaeVector& t) {
  for (int r = 0; r < 3; ++r) m_[r][3] = t[r];
}

CaeVector CaeTransform::TransformVector(const CaeVector& local) const {
  CaeVector global;
  for (int r = 0; r < 3; ++r) global[r] = m_[r][0] * local[0] + m_[r][1] * local[1] + m_[r][2] * local[2];
  return global;
}

CaeVector CaeTransform::TransformPoint(const CaeVector& local) const {
  return TransformVector(local) + TranslationVector();
}

CaeTransform CaeTransform::Inverse() const {
  CaeTransform inverse;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) inverse.m_[i][j] = m_[j][i];
  inverse.SetTranslation(-inverse.TransformVector(TranslationVector()));
  return inverse;
}

void CaeTransform::Normalize() {
  CaeVector x = UnitVector(0);
  CaeVector y = UnitVector(1);
  if (!x.Normalize()) x = CaeVector(1, 0, 0);
  y -= x * x.Dot(y);
  if (!y.Normalize()) y = AnyPerpendicular(x);
  SetUnitVector(0, x);
  SetUnitVector(1, y);
  SetUnitVector(2, x.Cross(y));
  m_[3][0] = m_[3][1] = m_[3][2] = 0.0;
  m_[3][3] = 1.0;
}

CaeTransform CaeTransform::operator*(const CaeTransform& other) const {
  CaeTransform product;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += m_[i][k] * other.m_[k][j];
      product.m_[i][j] = sum;
    }
  return product;
}

bool CaeTransform::IsIdentity(double tolerance) const { return Equal(CaeTransform(), tolerance); }

bool CaeTransform::Equal(const CaeTransform& other, double tolerance) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (std::fabs(m_[i][j] - other.m_[i][j]) > tolerance) return false;
  return true;
}
