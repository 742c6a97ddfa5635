// CaeVector: three doubles, used for points (X, Y, Z), directions and parameters (U, V in the first
// two components).
#pragma once

class CaeVector {
 public:
  constexpr CaeVector() = default;
  constexpr CaeVector(double x, double y, double z) : v_{x, y, z} {}

  double& operator[](int i) { return v_[i]; }
  double operator[](int i) const { return v_[i]; }
  double X() const { return v_[0]; }
  double Y() const { return v_[1]; }
  double Z() const { return v_[2]; }
  void Set(double x, double y, double z) {
    v_[0] = x;
    v_[1] = y;
    v_[2] = z;
  }

  double Length() const;
  double Dot(const CaeVector& o) const { return v_[0] * o.v_[0] + v_[1] * o.v_[1] + v_[2] * o.v_[2]; }
  CaeVector Cross(const CaeVector& o) const;
  // This vector scaled to length 1; false (and unchanged) when its length is 0.
  bool Normalize();
  // Whether every component differs from the other's by at most `tolerance`.
  bool Equal(const CaeVector& other, double tolerance = 1e-10) const;

  CaeVector operator+(const CaeVector& o) const { return {v_[0] + o.v_[0], v_[1] + o.v_[1], v_[2] + o.v_[2]}; }
  CaeVector operator-(const CaeVector& o) const { return {v_[0] - o.v_[0], v_[1] - o.v_[1], v_[2] - o.v_[2]}; }
  CaeVector operator-() const { return {-v_[0], -v_[1], -v_[2]}; }
  CaeVector operator*(double s) const { return {v_[0] * s, v_[1] * s, v_[2] * s}; }
  CaeVector& operator+=(const CaeVector& o) { return *this = *this + o; }
  CaeVector& operator-=(const CaeVector& o) { return *this = *this - o; }
  CaeVector& operator*=(double s) { return *this = *this * s; }
  // Exact comparison of the components.
  bool operator==(const CaeVector& o) const { return v_[0] == o.v_[0] && v_[1] == o.v_[1] && v_[2] == o.v_[2]; }
  bool operator!=(const CaeVector& o) const { return !(*this == o); }

 private:
  double v_[3] = {0.0, 0.0, 0.0};
};

inline CaeVector operator*(double s, const CaeVector& v) { return v * s; }
