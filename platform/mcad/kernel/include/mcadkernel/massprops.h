// Mass properties of a solid at density 1.
#pragma once
#include <TopoDS_Shape.hxx>

#include <array>

namespace mcadkernel {

struct MassProperties {
  double volume = 0.0;
  std::array<double, 3> centre{};  // centre of mass
  // Inertia tensor about the centre of mass, axes parallel to x, y, z:
  // I = integral of (|r|^2 * identity - r * r^T) dV with r measured from the centre, so the diagonal
  // holds the moments (Ixx = integral of y^2 + z^2) and the off-diagonal entries are the negated
  // products (I[0][1] = -integral of x*y).
  std::array<std::array<double, 3>, 3> inertia{};
};

// Computes the properties of a solid (or a compound of solids). A null shape has all zeros.
MassProperties massPropertiesOf(const TopoDS_Shape& shape);

}  // namespace mcadkernel
