// The per-sub-shape index of a restored mesh, and the canonical order every index is kept in.
//
// A drawing files each node in the group of the topology it lies on, and elements by their nodes
// only. After a reopen the groups come back as nodes recorded on references; this derives the
// rest from the body's shape (TopExp indexes, as the mesher uses): a sub-shape's closure from
// the shapes under it, the element faces on a face from the nodes of its closure (exterior faces
// only, for solids), and the element edges on an edge from the sides of the element faces of
// every face that meets at the edge.
#include <BRep_Tool.hxx>
#include <GeomAPI_ProjectPointOnSurf.hxx>
#include <Geom_Surface.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "AmgMeshItems.h"
#include "amg/CaeTopoRef.h"

namespace {

bool ByNodeId(const CaeNode* a, const CaeNode* b) { return a->Id() < b->Id(); }

using Side = std::pair<const CaeNode*, const CaeNode*>;  // lower id first

Side SideOf(const CaeNode* a, const CaeNode* b) { return ByNodeId(a, b) ? Side{a, b} : Side{b, a}; }

// The distance from a point to a face's underlying surface (infinite when it cannot be found).
double DistanceToFace(const TopoDS_Shape& face, const CaeVector& point) {
  Handle(Geom_Surface) surface = BRep_Tool::Surface(TopoDS::Face(face));
  if (surface.IsNull()) return std::numeric_limits<double>::infinity();
  GeomAPI_ProjectPointOnSurf projection(gp_Pnt(point[0], point[1], point[2]), surface);
  return projection.NbPoints() > 0 ? projection.LowerDistance() : std::numeric_limits<double>::infinity();
}

CaeVector Centroid(const CaeElemRef& face) {
  CaeVector sum;
  for (int k = 0; k < 3; ++k) sum = sum + face.Node(k)->Coordinate();
  return sum * (1.0 / 3.0);
}

}  // namespace

void AmgMesh::ShapeItems::Canonicalise() {
  for (auto& [key, list] : nodes) {
    std::sort(list.begin(), list.end(), ByNodeId);
    list.erase(std::unique(list.begin(), list.end()), list.end());
  }
  for (auto& [face, list] : faces)
    std::sort(list.begin(), list.end(), [](const std::pair<CaeElem*, int>& a, const std::pair<CaeElem*, int>& b) {
      return a.first->Id() != b.first->Id() ? a.first->Id() < b.first->Id() : a.second < b.second;
    });
  for (auto& [edge, list] : segments) {
    for (std::vector<CaeNode*>& segment : list)
      if (segment.size() >= 2 && ByNodeId(segment[1], segment[0])) std::swap(segment[0], segment[1]);
    std::sort(list.begin(), list.end(), [](const std::vector<CaeNode*>& a, const std::vector<CaeNode*>& b) {
      return std::make_pair(a[0]->Id(), a[1]->Id()) < std::make_pair(b[0]->Id(), b[1]->Id());
    });
  }
}

void AmgMesh::SortNodesById(std::vector<std::unique_ptr<CaeNode>>& nodes) {
  std::stable_sort(
      nodes.begin(), nodes.end(),
      [](const std::unique_ptr<CaeNode>& a, const std::unique_ptr<CaeNode>& b) { return a->Id() < b->Id(); });
}

bool AmgMesh::IndexOnShapes() {
  SortNodesById(nodes_);
  AmgShapeSource* source = AmgShapeSource::GetCurrent();
  TopoDS_Shape body;
  if (!source || !BodyShape(body)) return false;

  // The nodes filed on each sub-shape, each taking the kind it was filed under as its location.
  auto items = std::make_unique<ShapeItems>();
  for (const OnTopo& entry : onTopo_) {
    if (!entry.isNode || entry.ref == GetTopoRef()) continue;
    int kind = 0, index = 0;
    if (!source->Locate(entry.ref, kind, index)) return false;
    auto* node = static_cast<CaeNode*>(entry.item);
    node->Location(kind);
    items->nodes[{kind, index}].push_back(node);
  }
  for (const OnTopo& entry : onTopo_)
    if (entry.isNode && entry.ref == GetTopoRef()) static_cast<CaeNode*>(entry.item)->Location(CaeTopoRef::kBody);

  TopTools_IndexedMapOfShape vertices, edges, faces;
  TopExp::MapShapes(body, TopAbs_VERTEX, vertices);
  TopExp::MapShapes(body, TopAbs_EDGE, edges);
  TopExp::MapShapes(body, TopAbs_FACE, faces);

  // Closures: an edge gains its vertices' nodes, a face its edges' and vertices'.
  auto closureOf = [&](const TopoDS_Shape& shape, int kind, int index) {
    std::vector<CaeNode*> closure = items->nodes[{kind, index}];
    const auto add = [&](TopAbs_ShapeEnum type, const TopTools_IndexedMapOfShape& map, int subKind) {
      TopTools_IndexedMapOfShape under;
      TopExp::MapShapes(shape, type, under);
      for (int i = 1; i <= under.Extent(); ++i) {
        const int subIndex = map.FindIndex(under(i));
        auto found = items->nodes.find({subKind, subIndex});
        if (subIndex > 0 && found != items->nodes.end())
          closure.insert(closure.end(), found->second.begin(), found->second.end());
      }
    };
    if (kind == CaeTopoRef::kFace) add(TopAbs_EDGE, edges, CaeTopoRef::kEdge);
    add(TopAbs_VERTEX, vertices, CaeTopoRef::kVertex);
    return closure;
  };
  std::map<std::pair<int, int>, std::vector<CaeNode*>> closures;
  for (int e = 1; e <= edges.Extent(); ++e)
    closures[{CaeTopoRef::kEdge, e}] = closureOf(edges(e), CaeTopoRef::kEdge, e);
  for (int f = 1; f <= faces.Extent(); ++f)
    closures[{CaeTopoRef::kFace, f}] = closureOf(faces(f), CaeTopoRef::kFace, f);

  // The faces whose closure holds each node.
  std::unordered_map<const CaeNode*, std::vector<int>> facesOfNode;
  for (int f = 1; f <= faces.Extent(); ++f)
    for (const CaeNode* node : closures[{CaeTopoRef::kFace, f}]) facesOfNode[node].push_back(f);

  // Element faces on the body's faces: every face of a shell element, the exterior faces of
  // solids. A face lies on the body face whose closure holds all its nodes; where several do (a
  // triangle spanning two edges that two faces share), on the one nearest its centre.
  std::map<std::array<const CaeNode*, 3>, int> uses;
  const auto cornersOf = [](const CaeElemRef& face) {
    std::array<const CaeNode*, 3> key{face.Node(0), face.Node(1), face.Node(2)};
    std::sort(key.begin(), key.end());
    return key;
  };
  for (const auto& element : elements_)
    if (element->Type() == CaeElemSolid)
      for (int f = 0; f < element->NumFaces(); ++f) ++uses[cornersOf(CaeElemRef(element.get(), f))];
  for (const auto& element : elements_) {
    for (int f = 0; f < element->NumFaces(); ++f) {
      const CaeElemRef face(element.get(), f);
      if (element->Type() == CaeElemSolid && uses[cornersOf(face)] != 1) continue;
      std::vector<int> candidates = facesOfNode[face.Node(0)];
      for (int k = 1; k < face.NumNodes() && !candidates.empty(); ++k) {
        const std::vector<int>& of = facesOfNode[face.Node(k)];
        std::erase_if(candidates, [&](int c) { return std::find(of.begin(), of.end(), c) == of.end(); });
      }
      if (candidates.empty()) continue;
      int chosen = candidates.front();
      if (candidates.size() > 1) {
        const CaeVector centre = Centroid(face);
        double nearest = std::numeric_limits<double>::infinity();
        for (int c : candidates)
          if (const double d = DistanceToFace(faces(c), centre); d < nearest) {
            nearest = d;
            chosen = c;
          }
      }
      items->faces[chosen].emplace_back(element.get(), f);
    }
  }

  // Element edges on an edge: sides of element faces whose ends (and middle) lie in the edge's
  // closure, found on every face that meets there; a chord across one face between two of the
  // edge's nodes is on that face only.
  TopTools_IndexedDataMapOfShapeListOfShape facesOfEdge;
  TopExp::MapShapesAndAncestors(body, TopAbs_EDGE, TopAbs_FACE, facesOfEdge);
  for (int e = 1; e <= edges.Extent(); ++e) {
    const std::vector<CaeNode*>& closure = closures[{CaeTopoRef::kEdge, e}];
    if (closure.size() < 2) continue;
    const std::unordered_set<const CaeNode*> onEdge(closure.begin(), closure.end());
    std::set<int> meeting;
    if (const int at = facesOfEdge.FindIndex(edges(e)); at > 0)
      for (const TopoDS_Shape& face : facesOfEdge(at))
        if (const int f = faces.FindIndex(face); f > 0 && items->faces.count(f)) meeting.insert(f);
    std::map<Side, CaeNode*> found;  // side -> its middle node (null when linear)
    bool first = true;
    for (int f : meeting) {
      std::map<Side, CaeNode*> sides;
      for (const auto& [element, index] : items->faces[f]) {
        const CaeElemRef face(element, index);
        for (int k = 0; k < 3; ++k) {
          CaeNode* a = face.Node(k);
          CaeNode* b = face.Node((k + 1) % 3);
          CaeNode* middle = face.NumNodes() == 6 ? face.Node(3 + k) : nullptr;
          if (onEdge.count(a) && onEdge.count(b) && (!middle || onEdge.count(middle))) sides[SideOf(a, b)] = middle;
        }
      }
      if (first) {
        found = std::move(sides);
        first = false;
      } else {
        std::erase_if(found, [&](const auto& side) { return !sides.count(side.first); });
      }
    }
    for (const auto& [side, middle] : found) {
      std::vector<CaeNode*> segment{const_cast<CaeNode*>(side.first), const_cast<CaeNode*>(side.second)};
      if (middle) segment.push_back(middle);
      items->segments[e].push_back(std::move(segment));
    }
  }
  for (auto& [key, closure] : closures)
    if (!closure.empty()) items->nodes[key] = closure;
  items->Canonicalise();

  // The index now answers what the records on references did.
  std::erase_if(onTopo_, [&](const OnTopo& entry) { return entry.ref != nullptr; });
  shapeItems_ = std::move(items);
  return true;
}
