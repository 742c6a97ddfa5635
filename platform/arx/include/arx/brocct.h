// The OpenCASCADE side of B-rep entities, for the libraries that read shapes directly (drawing,
// meshing): the shape an entity found at its path and the subshape it names.
#pragma once

#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Shape.hxx>
#include <TopoDS_Vertex.hxx>

#include <vector>

#include "arx/brbrep.h"

struct AcBrData {
  AcDbFullSubentPath path;
  bool set = false;
  TopoDS_Shape shape;     // the entity's whole shape, as found when the path was set
  TopoDS_Shape subshape;  // the face, edge or vertex (the whole shape for a body)
};

// One loop of a face: a vertex loop (no edges) or edges with their orientation along the loop.
struct AcBrLoopData {
  TopoDS_Vertex vertex;            // vertex loops only
  std::vector<TopoDS_Edge> edges;  // oriented as the loop runs
};

namespace acbr {
// The loops of a face in the order the traversers give them.
std::vector<AcBrLoopData> loopsOf(const TopoDS_Shape& face);
// The faces, edges or vertices of `shape` in MapShapes order (subentity index = position). The
// maps of the last few shapes asked for are kept, so repeated lookups on one solid stay cheap.
const TopTools_IndexedMapOfShape& subshapesOf(const TopoDS_Shape& shape, AcDb::SubentType type);
// The 1-based MapShapes index of `subshape` in `shape` among shapes of its type, 0 when absent.
int subentIndexOf(const TopoDS_Shape& shape, const TopoDS_Shape& subshape);
}  // namespace acbr
