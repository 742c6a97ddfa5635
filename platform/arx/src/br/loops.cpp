#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Iterator.hxx>
#include <gp_Pnt2d.hxx>

#include <limits>
#include <utility>

#include "arx/brocct.h"

namespace {

// Where an oriented edge starts and ends in the face's parameter plane (a seam's two uses differ
// there, though they share their vertices).
void uvEnds(const TopoDS_Edge& edge, const TopoDS_Face& face, gp_Pnt2d& start, gp_Pnt2d& end) {
  BRep_Tool::UVPoints(edge, face, start, end);
  if (edge.Orientation() == TopAbs_REVERSED) std::swap(start, end);
}

// Puts a wire's edges (already oriented as the loop runs) in the order the loop visits them:
// each next edge starts at the vertex where the previous one ends, the nearest in the parameter
// plane when several do. Edges that do not connect keep their order at the end.
std::vector<TopoDS_Edge> chained(std::vector<TopoDS_Edge> edges, const TopoDS_Face& face) {
  std::vector<TopoDS_Edge> ordered;
  std::vector<bool> used(edges.size(), false);
  for (std::size_t placed = 0; placed < edges.size(); ++placed) {
    std::size_t pick = edges.size();
    if (!ordered.empty()) {
      TopoDS_Vertex end = TopExp::LastVertex(ordered.back(), true);
      gp_Pnt2d ignored, endUv;
      uvEnds(ordered.back(), face, ignored, endUv);
      double best = std::numeric_limits<double>::max();
      for (std::size_t i = 0; i < edges.size(); ++i) {
        if (used[i] || !TopExp::FirstVertex(edges[i], true).IsSame(end)) continue;
        gp_Pnt2d startUv, unused;
        uvEnds(edges[i], face, startUv, unused);
        double distance = startUv.Distance(endUv);
        if (distance < best) best = distance, pick = i;
      }
    }
    for (std::size_t i = 0; i < edges.size() && pick == edges.size(); ++i)
      if (!used[i]) pick = i;
    used[pick] = true;
    ordered.push_back(edges[pick]);
  }
  return ordered;
}

}  // namespace

namespace acbr {

// OpenCASCADE keeps a collapsed boundary (a pole, an apex) as a degenerate edge inside a wire;
// here each becomes a vertex loop of its own, ahead of the edge loops.
std::vector<AcBrLoopData> loopsOf(const TopoDS_Shape& face) {
  std::vector<AcBrLoopData> vertexLoops, edgeLoops;
  for (TopoDS_Iterator wires(face); wires.More(); wires.Next()) {
    if (wires.Value().ShapeType() != TopAbs_WIRE) continue;
    std::vector<TopoDS_Edge> edges;
    // The iterators compose orientations, so each edge comes with its sense in this face as the
    // solid holds it.
    for (TopoDS_Iterator it(wires.Value()); it.More(); it.Next()) {
      const TopoDS_Edge& edge = TopoDS::Edge(it.Value());
      if (BRep_Tool::Degenerated(edge)) {
        AcBrLoopData point;
        point.vertex = TopExp::FirstVertex(edge);
        vertexLoops.push_back(point);
      } else {
        edges.push_back(edge);
      }
    }
    if (edges.empty()) continue;
    AcBrLoopData loop;
    loop.edges = chained(std::move(edges), TopoDS::Face(face));
    edgeLoops.push_back(loop);
  }
  vertexLoops.insert(vertexLoops.end(), edgeLoops.begin(), edgeLoops.end());
  return vertexLoops;
}

}  // namespace acbr
