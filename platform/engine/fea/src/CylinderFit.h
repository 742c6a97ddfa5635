// Recognising a cylindrical face from its mesh: the axis is the direction the element-face
// normals never point along, the centre and radius a least-squares circle through the nodes
// seen along that axis.
#pragma once

#include <vector>

#include "amg/CaeVector.h"

namespace fea_detail {

struct Facet {
  CaeVector normal;  // unit
  double area;
};

struct Cylinder {
  CaeVector origin;  // a point on the axis
  CaeVector axis;    // unit
  double radius = 0;
};

// True with the cylinder when the facets' normals are all (within a small tolerance) across one
// direction and spread around it, and every point lies within 2% of the radius from the fitted
// axis. False for planes, narrow strips of a cylinder, spheres and other shapes.
bool FitCylinder(const std::vector<Facet>& facets, const std::vector<CaeVector>& points, Cylinder& cylinder);

}  // namespace fea_detail
