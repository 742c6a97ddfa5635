// The small geometric value types the database files: a 3-D point, a 3-D vector and a 4x4
// matrix. Plain values with public members; no tolerance logic.
#pragma once

class AcGeVector3d {
 public:
  AcGeVector3d() = default;
  AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  bool operator==(const AcGeVector3d&) const = default;
  double x = 0.0, y = 0.0, z = 0.0;
};

class AcGePoint3d {
 public:
  AcGePoint3d() = default;
  AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  bool operator==(const AcGePoint3d&) const = default;
  double x = 0.0, y = 0.0, z = 0.0;
};

// Row-major 4x4 matrix; default-constructed as the identity.
class AcGeMatrix3d {
 public:
  AcGeMatrix3d() {
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
  }
  bool operator==(const AcGeMatrix3d&) const = default;
  double entry[4][4];
};
