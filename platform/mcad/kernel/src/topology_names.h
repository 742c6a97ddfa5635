// Names of the faces, edges and vertices of one built solid.
//
// Faces get their base name ("box1/top") from the build history; when several faces share a base
// name (a cut split the face) they get ordinals "#1", "#2" ... in order of their centroids. Edges are
// named by their adjacent faces' names, sorted and joined with '|' (a seam edge names its face twice);
// vertices by the distinct names of the faces around them, sorted and joined with '&'. Edges or
// vertices that share a name get ordinals ":1", ":2" ... in order of their midpoints or points.
// Points are ordered by x, then y, then z; coordinates closer than 1e-6 of the solid's size compare
// equal, so the order holds under small changes of the parameters.
#pragma once
#include <NCollection_DataMap.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS_Shape.hxx>

#include <string>
#include <unordered_map>
#include <vector>

namespace mcadkernel {

// Base face names carried through the build (no ordinals yet).
using FaceNameMap = NCollection_DataMap<TopoDS_Shape, std::string, TopTools_ShapeMapHasher>;

class TopologyNames {
 public:
  TopologyNames() = default;
  // Names every face of solid from baseNames; faces missing from it are named "<fallback>/face".
  TopologyNames(const TopoDS_Shape& solid, const FaceNameMap& baseNames, const std::string& fallback);

  // The face, edge or vertex with this name; a null shape when there is none.
  TopoDS_Shape resolve(const std::string& name) const;

  // The name of a face, edge or vertex of the solid (orientation ignored); empty when it is not one.
  std::string nameOf(const TopoDS_Shape& shape) const;

  std::vector<std::string> faceNames() const { return faceNames_; }
  std::vector<std::string> edgeNames() const;
  std::vector<std::string> vertexNames() const;

 private:
  // Edge and vertex names are made on first use: many regenerations are never queried.
  void nameEdgesAndVertices() const;

  TopoDS_Shape solid_;
  double tolerance_ = 0.0;
  TopTools_IndexedMapOfShape faces_;
  std::vector<std::string> faceNames_;
  mutable bool subshapesNamed_ = false;
  mutable TopTools_IndexedMapOfShape edges_, vertices_;
  mutable std::vector<std::string> edgeNames_, vertexNames_;
  mutable std::unordered_map<std::string, TopoDS_Shape> byName_;
};

}  // namespace mcadkernel
