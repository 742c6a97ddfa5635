#include "recorder.h"

namespace acgi {

AcGiPrimitive& Recording::begin(AcGiPrimitive::Kind kind) {
  AcGiPrimitive& primitive = out_.emplace_back();
  primitive.kind = kind;
  primitive.fromViewportDraw = viewport_;
  primitive.color = colors_.resolve(traits_.color());
  primitive.fillType = traits_.fillType();
  return primitive;
}

void Recording::copyData(AcGiPrimitive& primitive, std::size_t edges, std::size_t faces, const AcGiEdgeData* edgeData,
                         const AcGiFaceData* faceData) {
  if (edgeData && edgeData->colors())
    for (std::size_t i = 0; i < edges; ++i)
      primitive.edgeColors.push_back(static_cast<short>(colors_.resolve(edgeData->colors()[i])));
  if (edgeData && edgeData->visibility())
    primitive.edgeVisibility.assign(edgeData->visibility(), edgeData->visibility() + edges);
  if (faceData && faceData->colors())
    for (std::size_t i = 0; i < faces; ++i)
      primitive.faceColors.push_back(static_cast<short>(colors_.resolve(faceData->colors()[i])));
}

Adesk::Boolean Recording::polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* points) {
  if (nbPoints < 2 || !points) return false;  // nothing to draw is not an abort
  begin(AcGiPrimitive::kPolyline).points.assign(points, points + nbPoints);
  return false;
}

Adesk::Boolean Recording::shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertices, Adesk::UInt32 faceListSize,
                                const Adesk::Int32* faceList, const AcGiEdgeData* edgeData,
                                const AcGiFaceData* faceData) {
  if (!vertices || !faceList) return false;
  // Count faces and edges, refusing a list that points outside the vertices.
  std::size_t faces = 0, edges = 0;
  for (Adesk::UInt32 i = 0; i < faceListSize;) {
    Adesk::UInt32 n = static_cast<Adesk::UInt32>(faceList[i] < 0 ? -faceList[i] : faceList[i]);
    if (n == 0 || i + n >= faceListSize) return false;
    for (Adesk::UInt32 k = 1; k <= n; ++k)
      if (faceList[i + k] < 0 || static_cast<Adesk::UInt32>(faceList[i + k]) >= nbVertex) return false;
    ++faces;
    edges += n;
    i += n + 1;
  }
  AcGiPrimitive& primitive = begin(AcGiPrimitive::kShell);
  primitive.points.assign(vertices, vertices + nbVertex);
  primitive.faceList.assign(faceList, faceList + faceListSize);
  copyData(primitive, edges, faces, edgeData, faceData);
  return false;
}

Adesk::Boolean Recording::mesh(Adesk::UInt32 rows, Adesk::UInt32 columns, const AcGePoint3d* points,
                               const AcGiEdgeData* edgeData, const AcGiFaceData* faceData) {
  if (rows < 2 || columns < 2 || !points) return false;
  AcGiPrimitive& primitive = begin(AcGiPrimitive::kMesh);
  primitive.rows = rows;
  primitive.columns = columns;
  primitive.points.assign(points, points + rows * columns);
  std::size_t edges = rows * (columns - 1) + (rows - 1) * columns;
  copyData(primitive, edges, (rows - 1) * (columns - 1), edgeData, faceData);
  return false;
}

}  // namespace acgi
