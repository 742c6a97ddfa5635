#include <BRepAdaptor_Surface.hxx>
#include <BRepTools.hxx>
#include <BRepTopAdaptor_FClass2d.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Pnt2d.hxx>

#include <cmath>

#include "recorder.h"

namespace acgi {

namespace {

constexpr int kGrid = 24;  // cells per direction of a face's parameter box

// A regular grid over the face's parameter box, keeping the triangles whose centre lies inside
// the face: coarse at curved boundaries, but enough to look at a part (no meshing library needed).
void triangulateFace(const TopoDS_Face& face, AcGiPrimitive& shell) {
  double u0, u1, v0, v1;
  BRepTools::UVBounds(face, u0, u1, v0, v1);
  if (!(u1 > u0) || !(v1 > v0)) return;
  BRepAdaptor_Surface surface(face);
  BRepTopAdaptor_FClass2d classifier(face, 1e-7);
  auto first = static_cast<Adesk::Int32>(shell.points.size());
  for (int i = 0; i <= kGrid; ++i)
    for (int j = 0; j <= kGrid; ++j) {
      gp_Pnt p = surface.Value(u0 + (u1 - u0) * i / kGrid, v0 + (v1 - v0) * j / kGrid);
      shell.points.emplace_back(p.X(), p.Y(), p.Z());
    }
  auto at = [&](int i, int j) { return first + i * (kGrid + 1) + j; };
  auto inside = [&](double fi, double fj) {
    gp_Pnt2d uv(u0 + (u1 - u0) * fi / kGrid, v0 + (v1 - v0) * fj / kGrid);
    return classifier.Perform(uv) != TopAbs_OUT;
  };
  for (int i = 0; i < kGrid; ++i)
    for (int j = 0; j < kGrid; ++j) {
      if (inside(i + 1.0 / 3.0, j + 1.0 / 3.0)) shell.faceList.insert(shell.faceList.end(), {3, at(i, j), at(i + 1, j), at(i, j + 1)});
      if (inside(i + 2.0 / 3.0, j + 2.0 / 3.0))
        shell.faceList.insert(shell.faceList.end(), {3, at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
    }
}

}  // namespace

bool solidShell(const TopoDS_Shape& shape, Adesk::UInt16 color, AcGiPrimitive& shell) {
  shell = AcGiPrimitive();
  shell.kind = AcGiPrimitive::kShell;
  shell.color = color;
  for (TopExp_Explorer faces(shape, TopAbs_FACE); faces.More(); faces.Next()) triangulateFace(TopoDS::Face(faces.Current()), shell);
  if (shell.faceList.empty()) return false;
  // Only the faces show: the grid's edges are not the solid's.
  std::size_t edges = 0;
  for (std::size_t i = 0; i < shell.faceList.size(); i += 4) edges += 3;
  shell.edgeVisibility.assign(edges, 0);
  return true;
}

}  // namespace acgi
