#include <TopExp.hxx>
#include <TopoDS.hxx>

#include "access.h"

namespace {

using Loops = std::shared_ptr<const std::vector<AcBrLoopData>>;

const AcBrLoopData* loopAt(const Loops& loops, int position) {
  if (!loops || position < 0 || position >= static_cast<int>(loops->size())) return nullptr;
  return &(*loops)[static_cast<std::size_t>(position)];
}

Loops loopsOfFace(const AcBrFace& face) {
  return std::make_shared<const std::vector<AcBrLoopData>>(acbr::loopsOf(face.data().subshape));
}

}  // namespace

// ---- faces of a body ----

AcBrBrepFaceTraverser::AcBrBrepFaceTraverser() = default;
AcBrBrepFaceTraverser::~AcBrBrepFaceTraverser() = default;

AcBr::ErrorStatus AcBrBrepFaceTraverser::setBrep(const AcBrBrep& brep) {
  if (brep.isNull()) return AcBr::eUninitialisedObject;
  brep_ = brep;
  count_ = acbr::subshapesOf(brep.data().shape, AcDb::kFaceSubentType).Extent();
  index_ = 1;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrBrepFaceTraverser::restart() {
  if (brep_.isNull()) return AcBr::eUninitialisedObject;
  index_ = 1;
  return AcBr::eOk;
}

bool AcBrBrepFaceTraverser::done() const { return brep_.isNull() || index_ > count_; }

AcBr::ErrorStatus AcBrBrepFaceTraverser::next() {
  if (done()) return AcBr::eOutOfRange;
  ++index_;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrBrepFaceTraverser::getFace(AcBrFace& face) const {
  if (done()) return AcBr::eOutOfRange;
  const TopoDS_Shape& subshape = acbr::subshapesOf(brep_.data().shape, AcDb::kFaceSubentType)(index_);
  acbr::pointAt(face, brep_.data(), subshape, AcDb::kFaceSubentType);
  return AcBr::eOk;
}

// ---- loops of a face ----

AcBrFaceLoopTraverser::AcBrFaceLoopTraverser() = default;
AcBrFaceLoopTraverser::~AcBrFaceLoopTraverser() = default;

AcBr::ErrorStatus AcBrFaceLoopTraverser::setFace(const AcBrFace& face) {
  if (face.isNull()) return AcBr::eUninitialisedObject;
  face_ = face;
  loops_ = loopsOfFace(face);
  position_ = 0;
  return loops_->empty() ? AcBr::eDegenerateTopology : AcBr::eOk;
}

AcBr::ErrorStatus AcBrFaceLoopTraverser::restart() {
  if (!loops_) return AcBr::eUninitialisedObject;
  position_ = 0;
  return AcBr::eOk;
}

bool AcBrFaceLoopTraverser::done() const { return loopAt(loops_, position_) == nullptr; }

AcBr::ErrorStatus AcBrFaceLoopTraverser::next() {
  if (done()) return AcBr::eOutOfRange;
  ++position_;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrFaceLoopTraverser::getLoop(AcBrLoop& loop) const {
  if (done()) return AcBr::eOutOfRange;
  AcBrAccess::setLoop(loop, std::make_shared<AcBrData>(face_.data()), position_);
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrFaceLoopTraverser::getFace(AcBrFace& face) const {
  if (face_.isNull()) return AcBr::eUninitialisedObject;
  face = face_;
  return AcBr::eOk;
}

// ---- edges of a loop ----

AcBrLoopEdgeTraverser::AcBrLoopEdgeTraverser() = default;
AcBrLoopEdgeTraverser::~AcBrLoopEdgeTraverser() = default;

AcBr::ErrorStatus AcBrLoopEdgeTraverser::start(const AcBrFace& face, Loops loops, int position) {
  const AcBrLoopData* loop = loopAt(loops, position);
  if (!loop) return AcBr::eOutOfRange;
  face_ = face;
  loops_ = std::move(loops);
  loop_ = position;
  position_ = 0;
  return loop->edges.empty() ? AcBr::eDegenerateTopology : AcBr::eOk;
}

AcBr::ErrorStatus AcBrLoopEdgeTraverser::setLoop(const AcBrFaceLoopTraverser& loops) {
  return start(loops.face_, loops.loops_, loops.position_);
}

AcBr::ErrorStatus AcBrLoopEdgeTraverser::setLoop(const AcBrLoop& loop) {
  if (loop.isNull()) return AcBr::eUninitialisedObject;
  AcBrFace face;
  loop.getFace(face);
  return start(face, loopsOfFace(face), AcBrAccess::positionOf(loop));
}

AcBr::ErrorStatus AcBrLoopEdgeTraverser::restart() {
  if (!loops_) return AcBr::eUninitialisedObject;
  position_ = 0;
  return AcBr::eOk;
}

bool AcBrLoopEdgeTraverser::done() const {
  const AcBrLoopData* loop = loopAt(loops_, loop_);
  return !loop || position_ >= static_cast<int>(loop->edges.size());
}

AcBr::ErrorStatus AcBrLoopEdgeTraverser::next() {
  if (done()) return AcBr::eOutOfRange;
  ++position_;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrLoopEdgeTraverser::getEdge(AcBrEdge& edge) const {
  if (done()) return AcBr::eOutOfRange;
  const TopoDS_Edge& coedge = loopAt(loops_, loop_)->edges[static_cast<std::size_t>(position_)];
  acbr::pointAt(edge, face_.data(), coedge, AcDb::kEdgeSubentType);
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrLoopEdgeTraverser::getEdgeOrientToLoop(bool& oriented) const {
  if (done()) return AcBr::eOutOfRange;
  oriented = loopAt(loops_, loop_)->edges[static_cast<std::size_t>(position_)].Orientation() != TopAbs_REVERSED;
  return AcBr::eOk;
}

// ---- vertices of a loop ----

AcBrLoopVertexTraverser::AcBrLoopVertexTraverser() = default;
AcBrLoopVertexTraverser::~AcBrLoopVertexTraverser() = default;

AcBr::ErrorStatus AcBrLoopVertexTraverser::start(const AcBrFace& face, Loops loops, int position) {
  if (!loopAt(loops, position)) return AcBr::eOutOfRange;
  face_ = face;
  loops_ = std::move(loops);
  loop_ = position;
  position_ = 0;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrLoopVertexTraverser::setLoop(const AcBrFaceLoopTraverser& loops) {
  return start(loops.face_, loops.loops_, loops.position_);
}

AcBr::ErrorStatus AcBrLoopVertexTraverser::setLoop(const AcBrLoop& loop) {
  if (loop.isNull()) return AcBr::eUninitialisedObject;
  AcBrFace face;
  loop.getFace(face);
  return start(face, loopsOfFace(face), AcBrAccess::positionOf(loop));
}

AcBr::ErrorStatus AcBrLoopVertexTraverser::restart() {
  if (!loops_) return AcBr::eUninitialisedObject;
  position_ = 0;
  return AcBr::eOk;
}

bool AcBrLoopVertexTraverser::done() const {
  const AcBrLoopData* loop = loopAt(loops_, loop_);
  if (!loop) return true;
  int count = loop->edges.empty() ? 1 : static_cast<int>(loop->edges.size());
  return position_ >= count;
}

AcBr::ErrorStatus AcBrLoopVertexTraverser::next() {
  if (done()) return AcBr::eOutOfRange;
  ++position_;
  return AcBr::eOk;
}

AcBr::ErrorStatus AcBrLoopVertexTraverser::getVertex(AcBrVertex& vertex) const {
  if (done()) return AcBr::eOutOfRange;
  const AcBrLoopData& loop = *loopAt(loops_, loop_);
  // An edge loop's vertex i is where its edge i starts, in the loop's sense.
  TopoDS_Vertex point =
      loop.edges.empty() ? loop.vertex : TopExp::FirstVertex(loop.edges[static_cast<std::size_t>(position_)], true);
  acbr::pointAt(vertex, face_.data(), point, AcDb::kVertexSubentType);
  return AcBr::eOk;
}
