// CaeTransform: a rigid placement, a 4 x 4 matrix whose columns 0 to 2 are the unit vectors of the
// local x, y and z axes in global coordinates, column 3 the origin (translation), and row 3 is
// (0, 0, 0, 1). TransformPoint maps local coordinates to global ones.
#pragma once
#include "amg/CaeVector.h"

class CaeTransform {
 public:
  // The identity.
  CaeTransform();
  // Axes and origin as given (Normalize makes the axes orthonormal when they are not).
  CaeTransform(const CaeVector& xAxis, const CaeVector& yAxis, const CaeVector& zAxis, const CaeVector& origin);
  // A placement at `origin` whose x axis is `direction` (normalised); y and z complete a right-handed
  // orthonormal frame. A zero direction gives the global axes at `origin`.
  CaeTransform(const CaeVector& origin, const CaeVector& direction);

  // Matrix component at row i, column j (0 .. 3).
  double Component(int i, int j) const { return m_[i][j]; }
  void Set(int i, int j, double value) { m_[i][j] = value; }
  // The 16 components row by row.
  void ToArray(double out[16]) const;
  static CaeTransform FromArray(const double values[16]);

  // Unit vector of axis i (0 x, 1 y, 2 z).
  CaeVector UnitVector(int i) const { return {m_[0][i], m_[1][i], m_[2][i]}; }
  void SetUnitVector(int i, const CaeVector& v);
  CaeVector TranslationVector() const { return {m_[0][3], m_[1][3], m_[2][3]}; }
  void SetTranslation(const CaeVector& t);

  CaeVector TransformPoint(const CaeVector& local) const;
  CaeVector TransformVector(const CaeVector& local) const;
  // The placement that maps global coordinates back to local ones (rotation transposed).
  CaeTransform Inverse() const;
  // Makes the axes orthonormal and right-handed, keeping the x axis direction and the x-y plane
  // (Gram-Schmidt; z = x cross y). Degenerate axes are completed from the global ones.
  void Normalize();
  // This placement applied after `other`: (this * other).TransformPoint(p) = this(other(p)).
  CaeTransform operator*(const CaeTransform& other) const;

  bool IsIdentity(double tolerance = 1e-12) const;
  bool Equal(const CaeTransform& other, double tolerance = 1e-12) const;
  bool operator==(const CaeTransform& other) const { return Equal(other, 0.0); }
  bool operator!=(const CaeTransform& other) const { return !Equal(other, 0.0); }

 private:
  double m_[4][4];
};
