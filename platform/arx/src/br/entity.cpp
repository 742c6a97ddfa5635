#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>

#include <deque>

#include "access.h"
#include "arx/dbbrep.h"
#include "arx/dbentity.h"
#include "arx/geocct.h"

namespace {

struct ShapeMaps {
  TopoDS_Shape shape;
  TopTools_IndexedMapOfShape maps[3];  // faces, edges, vertices
};

// The entity's current shape at the path's last object, read while the object is open for read.
AcBr::ErrorStatus currentShape(const AcDbFullSubentPath& path, TopoDS_Shape& shape) {
  if (path.objectIds().isEmpty()) return AcBr::eInvalidInput;
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, path.objectIds()[path.objectIds().length() - 1], AcDb::kForRead) != Acad::eOk)
    return AcBr::eNotInDatabase;
  const auto* source = dynamic_cast<const AcDbBrepSource*>(entity);
  const TopoDS_Shape* found = source ? source->brepShape() : nullptr;
  if (found) shape = *found;
  entity->close();
  if (!source) return AcBr::eNotInDatabase;
  return found && !found->IsNull() ? AcBr::eOk : AcBr::eMissingGeometry;
}

// Finds the subshape the path names in `shape`.
AcBr::ErrorStatus subshapeAt(const TopoDS_Shape& shape, const AcDbSubentId& id, TopoDS_Shape& subshape) {
  if (id.type() == AcDb::kNullSubentType) {
    subshape = shape;
    return AcBr::eOk;
  }
  const TopTools_IndexedMapOfShape& map = acbr::subshapesOf(shape, id.type());
  if (id.index() < 1 || id.index() > map.Extent()) return AcBr::eMissingSubentity;
  subshape = map(id.index());
  return AcBr::eOk;
}

}  // namespace

namespace acbr {

const TopTools_IndexedMapOfShape& subshapesOf(const TopoDS_Shape& shape, AcDb::SubentType type) {
  static std::deque<ShapeMaps> cache;
  auto slot = static_cast<std::size_t>(type == AcDb::kFaceSubentType ? 0 : type == AcDb::kEdgeSubentType ? 1 : 2);
  for (ShapeMaps& entry : cache)
    if (entry.shape.IsEqual(shape)) return entry.maps[slot];
  if (cache.size() >= 4) cache.pop_back();
  ShapeMaps& entry = cache.emplace_front();
  entry.shape = shape;  // holds the shape, so its address cannot be reused while cached
  TopExp::MapShapes(shape, TopAbs_FACE, entry.maps[0]);
  TopExp::MapShapes(shape, TopAbs_EDGE, entry.maps[1]);
  TopExp::MapShapes(shape, TopAbs_VERTEX, entry.maps[2]);
  return entry.maps[slot];
}

int subentIndexOf(const TopoDS_Shape& shape, const TopoDS_Shape& subshape) {
  switch (subshape.ShapeType()) {
    case TopAbs_FACE: return subshapesOf(shape, AcDb::kFaceSubentType).FindIndex(subshape);
    case TopAbs_EDGE: return subshapesOf(shape, AcDb::kEdgeSubentType).FindIndex(subshape);
    case TopAbs_VERTEX: return subshapesOf(shape, AcDb::kVertexSubentType).FindIndex(subshape);
    default: return 0;
  }
}

void pointAt(AcBrEntity& entity, const AcBrData& from, const TopoDS_Shape& subshape, AcDb::SubentType type) {
  auto data = std::make_shared<AcBrData>();
  data->path = AcDbFullSubentPath(from.path.objectIds(), AcDbSubentId(type, subentIndexOf(from.shape, subshape)));
  data->set = true;
  data->shape = from.shape;
  data->subshape = subshapesOf(from.shape, type)(data->path.subentId().index());
  AcBrAccess::data(entity) = std::move(data);
}

}  // namespace acbr

// ---- entity ----

AcBrEntity::AcBrEntity(AcDb::SubentType kind) : data_(std::make_shared<AcBrData>()), kind_(kind) {}
AcBrEntity::~AcBrEntity() = default;
AcBrEntity::AcBrEntity(const AcBrEntity& other) : data_(std::make_shared<AcBrData>(*other.data_)), kind_(other.kind_) {}
AcBrEntity& AcBrEntity::operator=(const AcBrEntity& other) {
  // The class's own kind stays: only the subentity is taken over.
  if (this != &other) data_ = std::make_shared<AcBrData>(*other.data_);
  return *this;
}

bool AcBrEntity::isNull() const { return !data_->set; }

AcBr::ErrorStatus AcBrEntity::getSubentPath(AcDbFullSubentPath& path) const {
  if (!data_->set) return AcBr::eUninitialisedObject;
  TopoDS_Shape shape, subshape;
  AcBr::ErrorStatus status = currentShape(data_->path, shape);
  if (status == AcBr::eOk) status = subshapeAt(shape, data_->path.subentId(), subshape);
  if (status != AcBr::eOk) return status;
  path = data_->path;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrEntity::setSubentPath(const AcDbFullSubentPath& path) {
  if (path.subentId().type() != kind_) return AcBr::eWrongSubentityType;
  TopoDS_Shape shape, subshape;
  AcBr::ErrorStatus status = currentShape(path, shape);
  if (status == AcBr::eOk) status = subshapeAt(shape, path.subentId(), subshape);
  if (status != AcBr::eOk) return status;
  data_->path = path;
  data_->set = true;
  data_->shape = shape;
  data_->subshape = subshape;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrEntity::getBrep(AcBrBrep& brep) const {
  if (!data_->set) return AcBr::eUninitialisedObject;
  auto data = std::make_shared<AcBrData>(*data_);
  data->path.subentId() = kNullSubent;
  data->subshape = data->shape;
  AcBrAccess::data(brep) = std::move(data);
  return AcBr::eOk;
}

bool AcBrEntity::isEqualTo(const AcBrEntity* other) const {
  return other && data_->set && other->data_->set && data_->path == other->data_->path &&
         data_->subshape.IsSame(other->data_->subshape);
}

// ---- body ----

AcBrBrep::AcBrBrep() : AcBrEntity(AcDb::kNullSubentType) {}

AcBr::ErrorStatus AcBrBrep::set(const AcDbEntity& entity) {
  if (entity.objectId().isNull()) return AcBr::eNotInDatabase;
  const auto* source = dynamic_cast<const AcDbBrepSource*>(&entity);
  const TopoDS_Shape* shape = source ? source->brepShape() : nullptr;
  if (!source) return AcBr::eNotInDatabase;
  if (!shape || shape->IsNull()) return AcBr::eMissingGeometry;
  data_->path = AcDbFullSubentPath(entity.objectId(), kNullSubent);
  data_->set = true;
  data_->shape = *shape;
  data_->subshape = *shape;
  return AcBr::eOk;
}

// ---- face ----

AcBrFace::AcBrFace() : AcBrEntity(AcDb::kFaceSubentType) {}

AcBr::ErrorStatus AcBrFace::getSurface(AcGeSurface*& surface) const {
  surface = nullptr;
  if (!data_->set) return AcBr::eUninitialisedObject;
  const TopoDS_Face& face = TopoDS::Face(data_->subshape);
  Handle(Geom_Surface) geometry = BRep_Tool::Surface(face);
  if (geometry.IsNull()) return AcBr::eMissingGeometry;
  double u0, u1, v0, v1;
  // The face's own parameter box, so a closed face that is not periodic keeps its real range.
  BRepTools::UVBounds(face, u0, u1, v0, v1);
  surface = new AcGeExternalBoundedSurface(acge::surfaceGeometry(geometry, u0, u1, v0, v1));
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrFace::getOrientToSurface(bool& oriented) const {
  if (!data_->set) return AcBr::eUninitialisedObject;
  oriented = data_->subshape.Orientation() != TopAbs_REVERSED;
  return AcBr::eOk;
}

// ---- edge ----

AcBrEdge::AcBrEdge() : AcBrEntity(AcDb::kEdgeSubentType) {}

AcBr::ErrorStatus AcBrEdge::getCurve(AcGeCurve3d*& curve) const {
  curve = nullptr;
  if (!data_->set) return AcBr::eUninitialisedObject;
  const TopoDS_Edge& edge = TopoDS::Edge(data_->subshape);
  if (BRep_Tool::Degenerated(edge)) return AcBr::eMissingGeometry;
  double first, last;
  Handle(Geom_Curve) geometry = BRep_Tool::Curve(edge, first, last);
  if (geometry.IsNull()) return AcBr::eMissingGeometry;
  curve = new AcGeExternalCurve3d(acge::curveGeometry(geometry, first, last));
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrEdge::getOrientToCurve(bool& oriented) const {
  if (!data_->set) return AcBr::eUninitialisedObject;
  oriented = true;
  return AcBr::eOk;
}

namespace {
AcBr::ErrorStatus edgeVertex(const AcBrData& edge, bool first, AcBrVertex& vertex) {
  if (!edge.set) return AcBr::eUninitialisedObject;
  TopoDS_Edge forward = TopoDS::Edge(edge.subshape.Oriented(TopAbs_FORWARD));
  TopoDS_Vertex end = first ? TopExp::FirstVertex(forward) : TopExp::LastVertex(forward);
  if (end.IsNull()) return AcBr::eMissingSubentity;
  acbr::pointAt(vertex, edge, end, AcDb::kVertexSubentType);
  return AcBr::eOk;
}
}  // namespace

AcBr::ErrorStatus AcBrEdge::getVertex1(AcBrVertex& vertex) const { return edgeVertex(*data_, true, vertex); }
AcBr::ErrorStatus AcBrEdge::getVertex2(AcBrVertex& vertex) const { return edgeVertex(*data_, false, vertex); }

// ---- vertex ----

AcBrVertex::AcBrVertex() : AcBrEntity(AcDb::kVertexSubentType) {}

AcBr::ErrorStatus AcBrVertex::getPoint(AcGePoint3d& point) const {
  if (!data_->set) return AcBr::eUninitialisedObject;
  point = acge::fromOcct(BRep_Tool::Pnt(TopoDS::Vertex(data_->subshape)));
  return AcBr::eOk;
}

// ---- loop ----

AcBrLoop::AcBrLoop() = default;
AcBrLoop::~AcBrLoop() = default;
AcBrLoop::AcBrLoop(const AcBrLoop&) = default;
AcBrLoop& AcBrLoop::operator=(const AcBrLoop&) = default;
bool AcBrLoop::isNull() const { return !face_ || position_ < 0; }

AcBr::ErrorStatus AcBrLoop::getFace(AcBrFace& face) const {
  if (isNull()) return AcBr::eUninitialisedObject;
  AcBrAccess::data(face) = std::make_shared<AcBrData>(*face_);
  return AcBr::eOk;
}

bool AcBrLoop::isVertexLoop() const {
  if (isNull()) return false;
  std::vector<AcBrLoopData> loops = acbr::loopsOf(face_->subshape);
  return position_ < static_cast<int>(loops.size()) && loops[static_cast<std::size_t>(position_)].edges.empty();
}
