#include "FaceSelect.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <Precision.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace study {

namespace {

bool Index(std::string_view text, int& index) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
  return error == std::errc() && end == text.data() + text.size();
}

bool Extreme(std::string_view selector, int& axis, bool& atMax) {
  if (selector.size() != 5 || selector[0] < 'x' || selector[0] > 'z' || selector[1] != '=') return false;
  const std::string_view end = selector.substr(2);
  if (end != "min" && end != "max") return false;
  axis = selector[0] - 'x';
  atMax = end == "max";
  return true;
}

kestrum::Problem Why(std::string message) {
  kestrum::Problem problem;
  problem.message = std::move(message);
  return problem;
}

void Bounds(const TopoDS_Shape& shape, double lo[3], double hi[3]) {
  Bnd_Box box;
  BRepBndLib::AddOptimal(shape, box, false, false);
  box.Get(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

}  // namespace

bool IsShapeSelector(std::string_view selector) {
  int index = 0, axis = 0;
  bool atMax = false;
  return Index(selector, index) || Extreme(selector, axis, atMax) || selector == "curved";
}

kestrum::Result<std::vector<int>> SelectFaces(const TopoDS_Shape& shape, std::string_view selector) {
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(shape, TopAbs_FACE, map);
  std::vector<int> faces;
  int index = 0;
  if (Index(selector, index)) {
    if (index < 1 || index > map.Extent()) return Why("there is no face " + std::string(selector));
    return std::vector<int>{index};
  }
  if (selector == "curved") {
    for (int i = 1; i <= map.Extent(); ++i)
      if (BRepAdaptor_Surface(TopoDS::Face(map(i))).GetType() != GeomAbs_Plane) faces.push_back(i);
    if (faces.empty()) return Why("the body has no curved face");
    return faces;
  }
  int axis = 0;
  bool atMax = false;
  if (!Extreme(selector, axis, atMax))
    return Why("faces are an index, x=min ... z=max, curved or a part's face name, not \"" + std::string(selector) +
               "\"");
  // The body's exact extent, and the plane of each planar face normal to the axis: a face's
  // bounding box is enlarged by its tolerance, which on a small body exceeds any relative match.
  double lo[3], hi[3];
  Bounds(shape, lo, hi);
  const double target = atMax ? hi[axis] : lo[axis];
  const double tolerance =
      std::max(1e-9 * std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]}), Precision::Confusion());
  for (int i = 1; i <= map.Extent(); ++i) {
    const BRepAdaptor_Surface surface(TopoDS::Face(map(i)));
    if (surface.GetType() != GeomAbs_Plane) continue;
    const gp_Pln plane = surface.Plane();
    if (std::fabs(plane.Axis().Direction().Coord(axis + 1)) < 1 - 1e-9) continue;
    if (std::fabs(plane.Location().Coord(axis + 1) - target) <= tolerance) faces.push_back(i);
  }
  if (faces.empty()) return Why("no face lies at " + std::string(selector));
  return faces;
}

}  // namespace study
