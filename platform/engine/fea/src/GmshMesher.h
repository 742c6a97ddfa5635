// Meshing an OpenCASCADE shape with gmsh, into plain arrays that AmgMesh turns into its nodes and
// elements.
//
// gmsh keeps one global model: every call here takes a process-wide lock, starts gmsh once and
// clears its model afterwards, so meshes are made one at a time whatever thread asks. The shape is
// handed to gmsh in memory (importShapesNativePointer: gmsh links the same OpenCASCADE libraries),
// which keeps the exact geometry and avoids a file round trip.
//
// Sub-shapes are identified the way TopExp::MapShapes indexes them (1-based, per kind). gmsh's own
// entity tags are matched to those indexes by position and measure (centre and length or area), not
// assumed to coincide.
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

class TopoDS_Shape;

namespace fea_detail {

struct MeshSettings {
  double defaultSize = 0.0;      // 0: a tenth of the shape's largest extent
  double minSize = 0.0;          // 0: no minimum
  double maxSize = 0.0;          // 0: no maximum besides the default size
  int order = 2;                 // 1 linear, 2 quadratic
  bool shell = false;            // triangles on the faces instead of tetrahedra in the solids
  double anglePerElement = 0.0;  // > 0: curvature scaling, radians of arc per element
  struct LocalSize {
    int kind;  // 0 vertex, 1 edge, 2 face (TopExp index), -1 a point in space
    int index;
    double size;
    std::array<double, 3> point;
  };
  std::vector<LocalSize> localSizes;
  // Sizes given on tetrahedra, as gmsh's list data takes them: x1..x4, y1..y4, z1..z4, then the
  // size at each corner; interpolated inside each tetrahedron.
  std::vector<std::array<double, 16>> sizeField;
  // Metres in one length unit of the shape, the sizes and the points above. gmsh's surface
  // algorithm is not scale-invariant, so the mesher works in metres and hands back nodes in the
  // caller's unit: the same part gives the same mesh whatever unit its drawing uses.
  double metresPerUnit = 1.0;
};

// One element face on a sub-shape face: the element's index in `elements` and its face (0-based in
// CaeElem's face numbering; always 0 for shells).
struct ElemFace {
  int element;
  int face;
};

struct MeshOutcome {
  bool ok = false;
  std::string error;  // gmsh's words, when !ok
  std::array<double, 3> errorLocation{0, 0, 0};
  std::vector<std::array<double, 3>> nodes;
  // Joined meshes: each node's number in the whole mesh (1-based), shared by the bodies that
  // touch there; empty for a single body (numbers follow the positions).
  std::vector<long> nodeNumbers;
  int nodesPerElement = 0;        // 4 or 10 (tetrahedra), 3 or 6 (triangles)
  std::vector<int> connectivity;  // node indexes, nodesPerElement per element, CalculiX order
  // Node indexes on each sub-shape, closure included, keyed by (kind, TopExp index).
  std::map<std::pair<int, int>, std::vector<int>> nodesOnShape;
  // Element faces on each face (TopExp index).
  std::map<int, std::vector<ElemFace>> facesOnFace;
  // Segments (2 or 3 node indexes, ends first) on each edge (TopExp index).
  std::map<int, std::vector<std::vector<int>>> segmentsOnEdge;
  int NumElements() const { return nodesPerElement ? static_cast<int>(connectivity.size()) / nodesPerElement : 0; }
};

MeshOutcome MeshShape(const TopoDS_Shape& shape, const MeshSettings& settings);
// Meshes solids together so that they share nodes where they touch (gmsh's boolean fragments);
// one outcome per shape, in order. All fail together.
std::vector<MeshOutcome> MeshShapesJoined(const std::vector<TopoDS_Shape>& shapes, const MeshSettings& settings);

}  // namespace fea_detail
