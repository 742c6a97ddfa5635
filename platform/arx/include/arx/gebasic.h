// The small geometric value types: tolerances, 2-D and 3-D points and vectors and a 4x4 matrix.
// Plain values with public members (the database files them as they are); header only, so the
// database can use them without the geometry library.
//
// Tolerances: two points are equal when their distance is at most equalPoint(); two vectors when
// their difference is at most equalVector() long. AcGeContext::gTol is the process-wide tolerance
// (both 1e-10 unless a caller changes it); a default-constructed AcGeTol has the same values.
#pragma once

#include <cmath>

class AcGeTol {
 public:
  AcGeTol() = default;
  double equalPoint() const { return equalPoint_; }
  double equalVector() const { return equalVector_; }
  void setEqualPoint(double value) { equalPoint_ = value; }
  void setEqualVector(double value) { equalVector_ = value; }

 private:
  double equalPoint_ = 1e-10;
  double equalVector_ = 1e-10;
};

struct AcGeContext {
  static inline AcGeTol gTol{};
};

class AcGeMatrix3d;

class AcGeVector3d {
 public:
  AcGeVector3d() = default;
  AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  bool operator==(const AcGeVector3d&) const = default;

  static const AcGeVector3d kXAxis, kYAxis, kZAxis;

  double length() const { return std::sqrt(x * x + y * y + z * z); }
  double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
  AcGeVector3d crossProduct(const AcGeVector3d& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
  }
  // A unit copy; the vector itself when shorter than the tolerance (a zero vector stays zero).
  AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const {
    double len = length();
    return len <= tol.equalVector() ? *this : AcGeVector3d(x / len, y / len, z / len);
  }
  AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol) { return *this = normal(tol); }
  AcGeVector3d& negate() { return *this = AcGeVector3d(-x, -y, -z); }
  // A unit vector perpendicular to this one: the x axis crossed with it, or the y axis when the
  // vector is nearly parallel to x.
  AcGeVector3d perpVector() const {
    AcGeVector3d unit = normal();
    AcGeVector3d helper = std::fabs(unit.x) < 0.9 ? kXAxis : kYAxis;
    return helper.crossProduct(unit).normal();
  }
  bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const { return length() <= tol.equalVector(); }
  bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const {
    return AcGeVector3d(x - v.x, y - v.y, z - v.z).length() <= tol.equalVector();
  }
  bool isParallelTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const {
    return normal().crossProduct(v.normal()).length() <= tol.equalVector();
  }
  AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  AcGeVector3d operator-() const { return {-x, -y, -z}; }
  AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
  AcGeVector3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
  AcGeVector3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }
  AcGeVector3d& operator*=(double s) { return *this = *this * s; }
  // Rotated and scaled by the matrix (translation ignored).
  AcGeVector3d& transformBy(const AcGeMatrix3d& m);

  double x = 0.0, y = 0.0, z = 0.0;
};

inline AcGeVector3d operator*(double s, const AcGeVector3d& v) { return v * s; }
inline const AcGeVector3d AcGeVector3d::kXAxis{1, 0, 0};
inline const AcGeVector3d AcGeVector3d::kYAxis{0, 1, 0};
inline const AcGeVector3d AcGeVector3d::kZAxis{0, 0, 1};

class AcGePoint3d {
 public:
  AcGePoint3d() = default;
  AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  bool operator==(const AcGePoint3d&) const = default;

  static const AcGePoint3d kOrigin;

  double distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }
  bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
    return distanceTo(p) <= tol.equalPoint();
  }
  AcGeVector3d asVector() const { return {x, y, z}; }
  AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
  AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  AcGePoint3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
  AcGePoint3d& transformBy(const AcGeMatrix3d& m);

  double x = 0.0, y = 0.0, z = 0.0;
};

inline const AcGePoint3d AcGePoint3d::kOrigin{0, 0, 0};

class AcGePoint2d {
 public:
  AcGePoint2d() = default;
  AcGePoint2d(double xx, double yy) : x(xx), y(yy) {}
  bool operator==(const AcGePoint2d&) const = default;
  double x = 0.0, y = 0.0;
};

// Row-major 4x4 matrix acting on column vectors (p' = M p); default-constructed as the identity.
class AcGeMatrix3d {
 public:
  AcGeMatrix3d() {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
  }
  bool operator==(const AcGeMatrix3d&) const = default;

  static const AcGeMatrix3d kIdentity;

  AcGeMatrix3d operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d product;
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) {
        double sum = 0.0;
        for (int k = 0; k < 4; ++k) sum += entry[r][k] * m.entry[k][c];
        product.entry[r][c] = sum;
      }
    return product;
  }
  AcGeMatrix3d transpose() const {
    AcGeMatrix3d t;
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) t.entry[r][c] = entry[c][r];
    return t;
  }
  AcGeMatrix3d& setToTranslation(const AcGeVector3d& v) {
    *this = AcGeMatrix3d();
    entry[0][3] = v.x, entry[1][3] = v.y, entry[2][3] = v.z;
    return *this;
  }
  // Maps the world axes onto the given ones and the world origin onto `origin`.
  AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis, const AcGeVector3d& yAxis,
                               const AcGeVector3d& zAxis) {
    *this = AcGeMatrix3d();
    const AcGeVector3d axes[3] = {xAxis, yAxis, zAxis};
    for (int c = 0; c < 3; ++c) entry[0][c] = axes[c].x, entry[1][c] = axes[c].y, entry[2][c] = axes[c].z;
    entry[0][3] = origin.x, entry[1][3] = origin.y, entry[2][3] = origin.z;
    return *this;
  }
  static AcGeMatrix3d translation(const AcGeVector3d& v) { return AcGeMatrix3d().setToTranslation(v); }
  bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c)
        if (std::fabs(entry[r][c] - m.entry[r][c]) > tol.equalVector()) return false;
    return true;
  }

  double entry[4][4];
};

inline const AcGeMatrix3d AcGeMatrix3d::kIdentity{};

inline AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
  const auto& e = m.entry;
  return {e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3],
          e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3],
          e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3]};
}
inline AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
  const auto& e = m.entry;
  return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z, e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
          e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}
inline AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) { return *this = m * *this; }
inline AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) { return *this = m * *this; }
