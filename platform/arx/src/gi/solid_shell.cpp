#include <BRepBuilderAPI_Copy.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <Poly_Triangulation.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>

#include <utility>

#include "recorder.h"

namespace acgi {

namespace {

// Chordal deflection relative to each edge's size, and the largest angle between neighbouring
// facets of a curved face (radians): fine enough to look at a part, cheap for a box.
constexpr double kRelativeDeflection = 0.01;
constexpr double kAngularDeflection = 0.3;

// Appends the face's triangles, placed by the face's location and turned to face outwards.
void appendFace(const TopoDS_Face& face, AcGiPrimitive& shell) {
  TopLoc_Location location;
  const Handle(Poly_Triangulation)& triangulation = BRep_Tool::Triangulation(face, location);
  if (triangulation.IsNull()) return;
  const gp_Trsf placement = location.Transformation();
  const auto first = static_cast<Adesk::Int32>(shell.points.size());
  for (Standard_Integer i = 1; i <= triangulation->NbNodes(); ++i) {
    const gp_Pnt p = triangulation->Node(i).Transformed(placement);
    shell.points.emplace_back(p.X(), p.Y(), p.Z());
  }
  const bool reversed = face.Orientation() == TopAbs_REVERSED;
  for (Standard_Integer i = 1; i <= triangulation->NbTriangles(); ++i) {
    Standard_Integer a, b, c;
    triangulation->Triangle(i).Get(a, b, c);
    if (reversed) std::swap(b, c);
    shell.faceList.insert(shell.faceList.end(), {3, first + a - 1, first + b - 1, first + c - 1});
  }
}

}  // namespace

bool solidShell(const TopoDS_Shape& shape, Adesk::UInt16 color, AcGiPrimitive& shell) {
  shell = AcGiPrimitive();
  shell.kind = AcGiPrimitive::kShell;
  shell.color = color;
  // Meshing stores the triangulation in the faces; a copy keeps the modeller's shape untouched.
  const TopoDS_Shape copy = BRepBuilderAPI_Copy(shape, Standard_True, Standard_False).Shape();
  BRepMesh_IncrementalMesh mesher(copy, kRelativeDeflection, Standard_True, kAngularDeflection);
  if (!mesher.IsDone()) return false;
  for (TopExp_Explorer faces(copy, TopAbs_FACE); faces.More(); faces.Next()) appendFace(TopoDS::Face(faces.Current()), shell);
  if (shell.faceList.empty()) return false;
  // Only the faces show: the triangles' edges are not the solid's.
  shell.edgeVisibility.assign(shell.faceList.size() / 4 * 3, 0);
  return true;
}

}  // namespace acgi
