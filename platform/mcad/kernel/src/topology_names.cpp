#include "topology_names.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace mcadkernel {

namespace {

struct Named {
  std::string base;
  int index;  // in the shape map
};

bool pointLess(const gp_Pnt& a, const gp_Pnt& b, double tolerance) {
  for (int i = 1; i <= 3; ++i) {
    double d = a.Coord(i) - b.Coord(i);
    if (std::fabs(d) > tolerance) return d < 0;
  }
  return false;
}

// Gives every item its base name, with an ordinal when several share it.
template <typename PointOf>
std::vector<std::string> withOrdinals(const std::vector<std::string>& bases, const char* separator, PointOf pointOf,
                                      double tolerance) {
  std::map<std::string, std::vector<int>> groups;
  for (int i = 0; i < static_cast<int>(bases.size()); ++i) groups[bases[i]].push_back(i);
  std::vector<std::string> names(bases);
  for (auto& [base, members] : groups) {
    if (members.size() < 2) continue;
    std::vector<std::pair<gp_Pnt, int>> placed;
    for (int i : members) placed.emplace_back(pointOf(i), i);
    std::stable_sort(placed.begin(), placed.end(),
                     [&](const auto& a, const auto& b) { return pointLess(a.first, b.first, tolerance); });
    for (size_t k = 0; k < placed.size(); ++k) names[placed[k].second] = base + separator + std::to_string(k + 1);
  }
  return names;
}

double sizeOf(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box);
  if (box.IsVoid()) return 1.0;
  return std::sqrt(box.SquareExtent());
}

}  // namespace

TopologyNames::TopologyNames(const TopoDS_Shape& solid, const FaceNameMap& baseNames, const std::string& fallback)
    : solid_(solid), tolerance_(1e-6 * sizeOf(solid)) {
  TopExp::MapShapes(solid, TopAbs_FACE, faces_);
  std::vector<std::string> bases;
  for (int i = 1; i <= faces_.Extent(); ++i) {
    const std::string* base = baseNames.Seek(faces_(i));
    bases.push_back(base ? *base : fallback + "/face");
  }
  faceNames_ = withOrdinals(
      bases, "#",
      [&](int i) {
        GProp_GProps props;
        BRepGProp::SurfaceProperties(faces_(i + 1), props);
        return props.CentreOfMass();
      },
      tolerance_);
  for (int i = 0; i < faces_.Extent(); ++i) byName_.emplace(faceNames_[i], faces_(i + 1));
}

void TopologyNames::nameEdgesAndVertices() const {
  if (subshapesNamed_) return;
  subshapesNamed_ = true;
  TopTools_IndexedDataMapOfShapeListOfShape edgeFaces, vertexFaces;
  TopExp::MapShapesAndAncestors(solid_, TopAbs_EDGE, TopAbs_FACE, edgeFaces);
  TopExp::MapShapesAndAncestors(solid_, TopAbs_VERTEX, TopAbs_FACE, vertexFaces);

  std::vector<std::string> edgeBases;
  for (int i = 1; i <= edgeFaces.Extent(); ++i) {
    edges_.Add(edgeFaces.FindKey(i));
    std::vector<std::string> adjacent;
    for (const TopoDS_Shape& face : edgeFaces(i)) adjacent.push_back(faceNames_[faces_.FindIndex(face) - 1]);
    std::sort(adjacent.begin(), adjacent.end());
    std::string base;
    for (const std::string& name : adjacent) base += (base.empty() ? "" : "|") + name;
    if (adjacent.size() < 2) base += "|";
    edgeBases.push_back(base);
  }
  edgeNames_ = withOrdinals(
      edgeBases, ":",
      [&](int i) {
        BRepAdaptor_Curve curve(TopoDS::Edge(edges_(i + 1)));
        return curve.Value(0.5 * (curve.FirstParameter() + curve.LastParameter()));
      },
      tolerance_);

  std::vector<std::string> vertexBases;
  for (int i = 1; i <= vertexFaces.Extent(); ++i) {
    vertices_.Add(vertexFaces.FindKey(i));
    std::set<std::string> around;
    for (const TopoDS_Shape& face : vertexFaces(i)) around.insert(faceNames_[faces_.FindIndex(face) - 1]);
    std::string base;
    for (const std::string& name : around) base += (base.empty() ? "" : "&") + name;
    if (around.size() < 2) base += "&";
    vertexBases.push_back(base);
  }
  vertexNames_ = withOrdinals(
      vertexBases, ":", [&](int i) { return BRep_Tool::Pnt(TopoDS::Vertex(vertices_(i + 1))); }, tolerance_);

  for (int i = 0; i < edges_.Extent(); ++i) byName_.emplace(edgeNames_[i], edges_(i + 1));
  for (int i = 0; i < vertices_.Extent(); ++i) byName_.emplace(vertexNames_[i], vertices_(i + 1));
}

TopoDS_Shape TopologyNames::resolve(const std::string& name) const {
  if (name.find_first_of("|&") != std::string::npos) nameEdgesAndVertices();
  auto it = byName_.find(name);
  return it == byName_.end() ? TopoDS_Shape() : it->second;
}

std::string TopologyNames::nameOf(const TopoDS_Shape& shape) const {
  if (shape.IsNull()) return {};
  if (shape.ShapeType() == TopAbs_FACE) {
    int index = faces_.FindIndex(shape);
    return index ? faceNames_[index - 1] : std::string();
  }
  nameEdgesAndVertices();
  if (shape.ShapeType() == TopAbs_EDGE) {
    int index = edges_.FindIndex(shape);
    return index ? edgeNames_[index - 1] : std::string();
  }
  if (shape.ShapeType() == TopAbs_VERTEX) {
    int index = vertices_.FindIndex(shape);
    return index ? vertexNames_[index - 1] : std::string();
  }
  return {};
}

std::vector<std::string> TopologyNames::edgeNames() const {
  nameEdgesAndVertices();
  return edgeNames_;
}

std::vector<std::string> TopologyNames::vertexNames() const {
  nameEdgesAndVertices();
  return vertexNames_;
}

}  // namespace mcadkernel
