#include "topo/acTopoNav.h"

#include <memory>

#include "amg/CaeMsgCall.h"
#include "arx/brtrav.h"
#include "topo/acTopoRef.h"
#include "util/acBrEnt.h"

namespace {

// The body walk's traverser (made on first use: the module does no work when it is loaded) and
// the last face it handed out.
std::unique_ptr<AcBrBrepFaceTraverser> bodyWalk;
AcBrEntity* lastBodyFace = nullptr;

AcBrBrepFaceTraverser& bodyTraverser() {
  if (!bodyWalk) bodyWalk = std::make_unique<AcBrBrepFaceTraverser>();
  return *bodyWalk;
}

bool faceAlongSurface(const AcBrFace& face) {
  bool oriented = true;
  if (face.getOrientToSurface(oriented) != AcBr::eOk) CAE_GENERAL_ERROR();
  return oriented;
}

bool edgeAlongCurve(const AcBrEdge& edge) {
  bool oriented = true;
  if (edge.getOrientToCurve(oriented) != AcBr::eOk) CAE_GENERAL_ERROR();
  return oriented;
}

bool faceSurfaceReversed(const AcBrFace& face) {
  AcGeSurface* surface = nullptr;
  if (face.getSurface(surface) != AcBr::eOk || !surface) CAE_GENERAL_ERROR();
  std::unique_ptr<AcGeSurface> owned(surface);
  return acSurfaceNormalReversed(*surface);
}

int faceFlagInBody(const AcBrFace& face) {
  int flag = 0;
  if (!faceAlongSurface(face)) flag = acToggleOrientation(flag);
  if (faceSurfaceReversed(face)) flag = acToggleOrientation(flag);
  return flag;
}

AcBrEntity* currentBodyFace(int& flag) {
  AcBrFace face;
  if (bodyTraverser().getFace(face) != AcBr::eOk) CAE_GENERAL_ERROR();
  flag = faceFlagInBody(face);
  lastBodyFace = acCanonicalBrEntity(&face);
  return lastBodyFace;
}

AcBrEntity* firstBodyFace(AcBrEntity* body, int& flag) {
  lastBodyFace = nullptr;
  if (bodyTraverser().setBrep(*static_cast<AcBrBrep*>(body)) != AcBr::eOk) CAE_GENERAL_ERROR();
  if (bodyTraverser().done()) return nullptr;
  return currentBodyFace(flag);
}

AcBrEntity* nextBodyFace(AcBrEntity* body, AcBrEntity* current, int& flag) {
  if (current != lastBodyFace || !lastBodyFace) {
    // Another walk moved the traverser: find the current face again from the start.
    lastBodyFace = nullptr;
    if (bodyTraverser().setBrep(*static_cast<AcBrBrep*>(body)) != AcBr::eOk) CAE_GENERAL_ERROR();
    for (;; bodyTraverser().next()) {
      if (bodyTraverser().done()) return nullptr;
      AcBrFace face;
      if (bodyTraverser().getFace(face) != AcBr::eOk) CAE_GENERAL_ERROR();
      if (acBrEntityCompare(&face, current) == 0) break;
    }
  }
  if (bodyTraverser().next() != AcBr::eOk && !bodyTraverser().done()) CAE_GENERAL_ERROR();
  if (bodyTraverser().done()) {
    lastBodyFace = nullptr;
    return nullptr;
  }
  return currentBodyFace(flag);
}

// A walk over the edges of all loops of a face, each with its flag. Loops without edges go to the
// reference as collapsed boundaries (at most two per face).
class FaceEdgeWalk {
 public:
  // Positions the walk on the face's first edge; false when the face has none.
  bool start(AcTopoRef& reference) {
    reference_ = &reference;
    auto* face = static_cast<AcBrFace*>(reference.Entity());
    oriented_ = faceAlongSurface(*face);
    reversed_ = faceSurfaceReversed(*face);
    vertexLoops_ = 0;
    if (loops_.setFace(*face) == AcBr::eDegenerateTopology) return false;
    return enterLoop();
  }
  // Moves to the next edge, in this loop or a later one; false at the end.
  bool advance() {
    if (edges_.next() != AcBr::eOk && !edges_.done()) CAE_GENERAL_ERROR();
    if (!edges_.done()) return true;
    loops_.next();
    return enterLoop();
  }
  void current(AcBrEdge& edge, int& flag) const {
    bool alongLoop = false;
    if (edges_.getEdge(edge) != AcBr::eOk || edges_.getEdgeOrientToLoop(alongLoop) != AcBr::eOk) CAE_GENERAL_ERROR();
    flag = acEdgeOrientationInFace(edgeAlongCurve(edge), alongLoop, oriented_, reversed_);
  }

 private:
  bool enterLoop() {
    for (; !loops_.done(); loops_.next()) {
      AcBr::ErrorStatus status = edges_.setLoop(loops_);
      if (status == AcBr::eDegenerateTopology && ++vertexLoops_ <= 2) {
        reference_->RecordDegenerateLoop(loops_);
        continue;
      }
      if (status != AcBr::eOk) CAE_GENERAL_ERROR();
      if (!edges_.done()) return true;
    }
    return false;
  }

  AcTopoRef* reference_ = nullptr;
  AcBrFaceLoopTraverser loops_;
  AcBrLoopEdgeTraverser edges_;
  bool oriented_ = true;
  bool reversed_ = false;
  int vertexLoops_ = 0;
};

// Like the body walk, the face walk stays at the edge it handed out last, so that walking all
// edges of a face with many loops is linear.
struct FaceWalkState {
  FaceEdgeWalk walk;
  AcBrEntity* face = nullptr;
  AcBrEntity* lastEdge = nullptr;
  int lastFlag = 0;
};
std::unique_ptr<FaceWalkState> faceWalk;

FaceWalkState& faceWalkState() {
  if (!faceWalk) faceWalk = std::make_unique<FaceWalkState>();
  return *faceWalk;
}

AcBrEntity* handOutEdge(FaceWalkState& state, AcTopoRef& reference, int& flag) {
  AcBrEdge edge;
  state.walk.current(edge, flag);
  state.face = reference.Entity();
  state.lastEdge = acCanonicalBrEntity(&edge);
  state.lastFlag = flag;
  return state.lastEdge;
}

AcBrEntity* firstFaceEdge(AcTopoRef& reference, int& flag) {
  FaceWalkState& state = faceWalkState();
  state.face = nullptr;
  if (!state.walk.start(reference)) return nullptr;
  return handOutEdge(state, reference, flag);
}

AcBrEntity* nextFaceEdge(AcTopoRef& reference, AcBrEntity* current, int currentFlag, int& flag) {
  FaceWalkState& state = faceWalkState();
  const bool positioned =
      state.face && state.face == reference.Entity() && state.lastEdge == current && state.lastFlag == currentFlag;
  if (!positioned) {
    // Find (current, flag) again from the start; matching the flag too lets a seam come out once
    // per side.
    state.face = nullptr;
    bool found = state.walk.start(reference);
    for (; found; found = state.walk.advance()) {
      AcBrEdge edge;
      int edgeFlag = 0;
      state.walk.current(edge, edgeFlag);
      if (edgeFlag == currentFlag && acBrEntityCompare(&edge, current) == 0) break;
    }
    if (!found) CAE_GENERAL_ERROR();
  }
  if (!state.walk.advance()) {
    state.face = nullptr;
    return nullptr;
  }
  return handOutEdge(state, reference, flag);
}

AcBrEntity* edgeVertex(AcBrEntity* entity, bool second, int& flag) {
  auto* edge = static_cast<AcBrEdge*>(entity);
  AcBrVertex vertex;
  AcBr::ErrorStatus status = second ? edge->getVertex2(vertex) : edge->getVertex1(vertex);
  if (status != AcBr::eOk) CAE_GENERAL_ERROR();
  flag = second ? 1 : 0;
  if (!edgeAlongCurve(*edge)) flag = acToggleOrientation(flag);
  return acCanonicalBrEntity(&vertex);
}

}  // namespace

int acToggleOrientation(int flag) {
  if (flag == 0) return 1;
  if (flag == 1) return 0;
  CAE_GENERAL_ERROR();
}

bool acSurfaceNormalReversed(const AcGeSurface& surface) {
  AcGeInterval u(1e-12);
  AcGeInterval v(1e-12);
  surface.getEnvelope(u, v);
  const AcGePoint2d centre(u.lowerBound() + u.length() / 2, v.lowerBound() + v.length() / 2);
  AcGeVector3dArray derivs;
  AcGeVector3d normal;
  surface.evalPoint(centre, 1, derivs, normal);
  AcGeVector3d cross = derivs[0].crossProduct(derivs[1]).normal(AcGeContext::gTol);
  return cross.isEqualTo(-normal);
}

int acEdgeOrientationInFace(bool edgeAlongCurve, bool edgeAlongLoop, bool faceAlongSurface, bool surfaceReversed) {
  int flag = 0;
  if (!edgeAlongCurve) flag = acToggleOrientation(flag);
  if (edgeAlongLoop) flag = acToggleOrientation(flag);
  if (!faceAlongSurface) flag = acToggleOrientation(flag);
  if (surfaceReversed) flag = acToggleOrientation(flag);
  return flag;
}

AcBrEntity* AcTopoNav::FirstSubEntity(AcTopoRef& reference, int& flag) {
  AcBrEntity* entity = reference.Entity();
  switch (reference.Kind()) {
    case CaeTopoRef::kBody: return firstBodyFace(entity, flag);
    case CaeTopoRef::kFace: return firstFaceEdge(reference, flag);
    case CaeTopoRef::kEdge: return edgeVertex(entity, false, flag);
    case CaeTopoRef::kVertex: return nullptr;
    default: CAE_GENERAL_ERROR();
  }
}

AcBrEntity* AcTopoNav::NextSubEntity(AcTopoRef& reference, AcBrEntity* current, int flag, int& nextFlag) {
  AcBrEntity* entity = reference.Entity();
  switch (reference.Kind()) {
    case CaeTopoRef::kBody: return nextBodyFace(entity, current, nextFlag);
    case CaeTopoRef::kFace: return nextFaceEdge(reference, current, flag, nextFlag);
    case CaeTopoRef::kEdge: {
      int secondFlag = 0;
      AcBrEntity* second = edgeVertex(entity, true, secondFlag);
      if (current == second && flag == secondFlag) return nullptr;
      int firstFlag = 0;
      if (current != edgeVertex(entity, false, firstFlag)) return nullptr;
      nextFlag = secondFlag;
      return second;
    }
    case CaeTopoRef::kVertex: return nullptr;
    default: CAE_GENERAL_ERROR();
  }
}

void AcTopoNav::ResetBodyWalk() {
  bodyWalk.reset();
  lastBodyFace = nullptr;
  faceWalk.reset();
}
