#include "CylinderFit.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace fea_detail {

namespace {

// Eigenvalues (ascending) and unit eigenvectors of a symmetric 3x3 matrix by Jacobi rotations.
void Eigen(double a[3][3], double values[3], CaeVector vectors[3]) {
  double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int sweep = 0; sweep < 50; ++sweep) {
    const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
    if (off < 1e-30 * (a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2] + 1e-300)) break;
    for (int p = 0; p < 2; ++p)
      for (int q = p + 1; q < 3; ++q) {
        if (a[p][q] == 0) continue;
        const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
        const double t = (theta >= 0 ? 1 : -1) / (std::abs(theta) + std::sqrt(theta * theta + 1));
        const double c = 1 / std::sqrt(t * t + 1), s = t * c;
        for (int k = 0; k < 3; ++k) {
          const double akp = a[k][p], akq = a[k][q];
          a[k][p] = c * akp - s * akq;
          a[k][q] = s * akp + c * akq;
        }
        for (int k = 0; k < 3; ++k) {
          const double apk = a[p][k], aqk = a[q][k];
          a[p][k] = c * apk - s * aqk;
          a[q][k] = s * apk + c * aqk;
        }
        for (int k = 0; k < 3; ++k) {
          const double vkp = v[k][p], vkq = v[k][q];
          v[k][p] = c * vkp - s * vkq;
          v[k][q] = s * vkp + c * vkq;
        }
      }
  }
  int order[3] = {0, 1, 2};
  std::sort(order, order + 3, [&](int i, int j) { return a[i][i] < a[j][j]; });
  for (int i = 0; i < 3; ++i) {
    values[i] = a[order[i]][order[i]];
    vectors[i] = CaeVector(v[0][order[i]], v[1][order[i]], v[2][order[i]]);
  }
}

// The least-squares circle x^2 + y^2 = 2 a x + 2 b y + c through planar points.
bool FitCircle(const std::vector<std::pair<double, double>>& points, double& a, double& b, double& radius) {
  double m[3][3] = {}, r[3] = {};
  for (auto [x, y] : points) {
    const double row[3] = {2 * x, 2 * y, 1}, rhs = x * x + y * y;
    for (int i = 0; i < 3; ++i) {
      r[i] += row[i] * rhs;
      for (int j = 0; j < 3; ++j) m[i][j] += row[i] * row[j];
    }
  }
  auto det = [](const double k[3][3]) {
    return k[0][0] * (k[1][1] * k[2][2] - k[1][2] * k[2][1]) - k[0][1] * (k[1][0] * k[2][2] - k[1][2] * k[2][0]) +
           k[0][2] * (k[1][0] * k[2][1] - k[1][1] * k[2][0]);
  };
  const double d = det(m);
  if (!(std::abs(d) > 0)) return false;
  double solution[3];
  for (int col = 0; col < 3; ++col) {
    double k[3][3];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) k[i][j] = j == col ? r[i] : m[i][j];
    solution[col] = det(k) / d;
  }
  a = solution[0], b = solution[1];
  const double squared = solution[2] + a * a + b * b;
  if (!(squared > 0)) return false;
  radius = std::sqrt(squared);
  return true;
}

}  // namespace

bool FitCylinder(const std::vector<Facet>& facets, const std::vector<CaeVector>& points, Cylinder& cylinder) {
  double scatter[3][3] = {};
  double total = 0;
  for (const Facet& f : facets) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) scatter[i][j] += f.area * f.normal[i] * f.normal[j];
    total += f.area;
  }
  if (!(total > 0) || points.size() < 3) return false;
  double values[3];
  CaeVector vectors[3];
  Eigen(scatter, values, vectors);
  // Normals across the axis leave no weight along it; spread around it they fill both other
  // directions (a plane's normals fill only one). A 60 degree arc still passes.
  if (values[0] > 0.01 * total || values[1] < 0.05 * total) return false;
  const CaeVector axis = vectors[0], u = vectors[1], v = vectors[2];
  std::vector<std::pair<double, double>> planar;
  planar.reserve(points.size());
  for (const CaeVector& p : points) planar.emplace_back(p.Dot(u), p.Dot(v));
  double a = 0, b = 0, radius = 0;
  if (!FitCircle(planar, a, b, radius)) return false;
  for (auto [x, y] : planar)
    if (std::abs(std::hypot(x - a, y - b) - radius) > 0.02 * radius) return false;
  cylinder.axis = axis;
  cylinder.origin = u * a + v * b;
  cylinder.radius = radius;
  return true;
}

}  // namespace fea_detail
