#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <IMeshTools_Parameters.hxx>
#include <Poly_Triangulation.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>

#include <cmath>
#include <utility>

#include "recorder.h"

namespace acgi {

namespace {

// Chordal deflection and smallest facet as parts of the solid's size, and the largest angle
// between neighbouring facets of a curved face (radians): fine enough to look at a part, cheap for
// a box, and bounded by the solid's size so that no placement or proportion makes it explode.
constexpr double kDeflectionOfSize = 1e-3;
constexpr double kMinFacetOfSize = 1e-4;
constexpr double kAngularDeflection = 0.3;
// Farther out than this, coordinates have too few digits left to draw a solid by.
constexpr double kFarthestCoordinate = 1e12;

// The size of the solid's bounding box; 0 when the box is empty, not finite or too far out.
double drawableSize(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box, Standard_False);
  if (box.IsVoid()) return 0;
  double low[3], high[3];
  box.Get(low[0], low[1], low[2], high[0], high[1], high[2]);
  for (int i = 0; i < 3; ++i)
    if (!std::isfinite(low[i]) || !std::isfinite(high[i]) || std::fabs(low[i]) > kFarthestCoordinate ||
        std::fabs(high[i]) > kFarthestCoordinate)
      return 0;
  const double size = std::sqrt(box.SquareExtent());
  return std::isfinite(size) ? size : 0;
}

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
  TopoDS_Shape copy;
  try {
    const double size = drawableSize(shape);
    if (!(size > 0)) return false;
    // Meshing stores the triangulation in the faces; a copy keeps the modeller's shape untouched.
    copy = BRepBuilderAPI_Copy(shape, Standard_True, Standard_False).Shape();
    IMeshTools_Parameters parameters;
    parameters.Deflection = size * kDeflectionOfSize;
    parameters.MinSize = size * kMinFacetOfSize;
    parameters.Angle = kAngularDeflection;
    parameters.Relative = Standard_False;
    BRepMesh_IncrementalMesh mesher(copy, parameters);
    if (!mesher.IsDone()) return false;
  } catch (const Standard_Failure&) {
    return false;  // a degenerate shape is not drawn
  }
  for (TopExp_Explorer faces(copy, TopAbs_FACE); faces.More(); faces.Next())
    appendFace(TopoDS::Face(faces.Current()), shell);
  if (shell.faceList.empty()) return false;
  // Only the faces show: the triangles' edges are not the solid's.
  shell.edgeVisibility.assign(shell.faceList.size() / 4 * 3, 0);
  return true;
}

}  // namespace acgi
