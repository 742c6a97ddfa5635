// Traversers over a body's topology: faces of a body, loops of a face, edges and vertices of a
// loop. A traverser is set on its container, then walks with next() until done(); getX returns
// eOutOfRange when done or not set. Faces come in subentity-index order; loops as arx/brbrep.h
// describes; a loop's edges in the loop's order, each with its sense along the loop.
#pragma once

#include <memory>
#include <vector>

#include "arx/brbrep.h"

struct AcBrLoopData;

class AcBrBrepFaceTraverser {
 public:
  AcBrBrepFaceTraverser();
  ~AcBrBrepFaceTraverser();
  AcBr::ErrorStatus setBrep(const AcBrBrep& brep);
  AcBr::ErrorStatus restart();
  bool done() const;
  AcBr::ErrorStatus next();
  AcBr::ErrorStatus getFace(AcBrFace& face) const;

 private:
  AcBrBrep brep_;
  int count_ = 0;
  int index_ = 0;  // 1-based face index; beyond count_ when done
};

class AcBrFaceLoopTraverser {
 public:
  AcBrFaceLoopTraverser();
  ~AcBrFaceLoopTraverser();
  // eDegenerateTopology when the face has no loops (the traverser is then done).
  AcBr::ErrorStatus setFace(const AcBrFace& face);
  AcBr::ErrorStatus restart();
  bool done() const;
  AcBr::ErrorStatus next();
  AcBr::ErrorStatus getLoop(AcBrLoop& loop) const;
  AcBr::ErrorStatus getFace(AcBrFace& face) const;

 private:
  friend class AcBrLoopEdgeTraverser;
  friend class AcBrLoopVertexTraverser;
  AcBrFace face_;
  std::shared_ptr<const std::vector<AcBrLoopData>> loops_;
  int position_ = 0;
};

class AcBrLoopEdgeTraverser {
 public:
  AcBrLoopEdgeTraverser();
  ~AcBrLoopEdgeTraverser();
  // On the loop the face-loop traverser stands on. eDegenerateTopology for a vertex loop (the
  // traverser is then done); eOutOfRange when the loop traverser is done.
  AcBr::ErrorStatus setLoop(const AcBrFaceLoopTraverser& loops);
  AcBr::ErrorStatus setLoop(const AcBrLoop& loop);
  AcBr::ErrorStatus restart();
  bool done() const;
  AcBr::ErrorStatus next();
  AcBr::ErrorStatus getEdge(AcBrEdge& edge) const;
  // True when the loop runs from the edge's vertex 1 to its vertex 2.
  AcBr::ErrorStatus getEdgeOrientToLoop(bool& oriented) const;

 private:
  AcBr::ErrorStatus start(const AcBrFace& face, std::shared_ptr<const std::vector<AcBrLoopData>> loops, int position);
  AcBrFace face_;
  std::shared_ptr<const std::vector<AcBrLoopData>> loops_;
  int loop_ = -1;
  int position_ = 0;
};

class AcBrLoopVertexTraverser {
 public:
  AcBrLoopVertexTraverser();
  ~AcBrLoopVertexTraverser();
  // The single vertex of a vertex loop, or the start vertex of each edge of an edge loop.
  AcBr::ErrorStatus setLoop(const AcBrFaceLoopTraverser& loops);
  AcBr::ErrorStatus setLoop(const AcBrLoop& loop);
  AcBr::ErrorStatus restart();
  bool done() const;
  AcBr::ErrorStatus next();
  AcBr::ErrorStatus getVertex(AcBrVertex& vertex) const;

 private:
  AcBr::ErrorStatus start(const AcBrFace& face, std::shared_ptr<const std::vector<AcBrLoopData>> loops, int position);
  AcBrFace face_;
  std::shared_ptr<const std::vector<AcBrLoopData>> loops_;
  int loop_ = -1;
  int position_ = 0;
};
