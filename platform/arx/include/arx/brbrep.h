// B-rep entities: a solid's body (AcBrBrep), faces, loops, edges and vertices, read from the
// OpenCASCADE shape of a drawing entity that implements AcDbBrepSource (arx/dbbrep.h).
//
// A brep, face, edge or vertex is named by a full subentity path: the entity's object id and a
// subentity id (face, edge or vertex type; the null type names the whole body). Subentity indices
// are the 1-based indices OpenCASCADE's TopExp::MapShapes gives the faces, edges and vertices of
// the entity's shape, so every layer that numbers subentities agrees. An entity remembers its
// path and the shape it found there; setting the same path again refreshes it from the entity's
// current shape (after a regeneration), keeping the object.
//
// Orientation: a face is oriented with its surface when its outward normal is the surface's
// evalPoint normal (arx/gesurf.h). Edges always run along their curve (getOrientToCurve answers
// true; vertex 1 at the curve's start, vertex 2 at its end, the same vertex twice for a closed
// edge); a loop traverser tells whether the loop runs along the edge. Loops of a face: first a
// vertex loop for each point where the face's boundary collapses (sphere poles, cone apex), then
// the edge loops (outer and holes). A seam edge appears twice in its face's loop, once each way.
#pragma once

#include <memory>

#include "arx/dbsubent.h"
#include "arx/gecurve3d.h"
#include "arx/gesurf.h"

class AcDbEntity;
struct AcBrData;  // see arx/brocct.h

namespace AcBr {
enum ErrorStatus {
  eOk = 0,
  eInvalidInput = 3,
  eNotInDatabase = 3002,        // the path's entity cannot be opened or has no B-rep
  eUninitialisedObject = 3004,  // no path set yet
  eMissingGeometry = 3006,      // the entity has no shape, or the edge no curve (degenerate)
  eMissingSubentity = 3008,     // the index is beyond the shape's subentities: no longer valid
  eWrongSubentityType = 3010,   // the path names another kind of subentity than the class holds
  eDegenerateTopology = 3020,   // a loop without edges, or a face without loops
  eOutOfRange = 3022,           // a traverser used past its end or before it was set
};
}

class AcBrBrep;

class AcBrEntity {
 public:
  virtual ~AcBrEntity();
  AcBrEntity(const AcBrEntity&);
  AcBrEntity& operator=(const AcBrEntity&);

  bool isNull() const;
  // The path, after checking it still names a subentity of the entity's current shape;
  // eMissingSubentity (or eNotInDatabase) when it no longer does.
  AcBr::ErrorStatus getSubentPath(AcDbFullSubentPath& path) const;
  // Opens the path's last object for read, takes its shape and finds the subentity.
  AcBr::ErrorStatus setSubentPath(const AcDbFullSubentPath& path);
  // The body containing this entity (same object path, null subentity).
  AcBr::ErrorStatus getBrep(AcBrBrep& brep) const;
  // Same path and same subentity of the same shape.
  bool isEqualTo(const AcBrEntity* other) const;

  const AcBrData& data() const { return *data_; }

 protected:
  explicit AcBrEntity(AcDb::SubentType kind);
  friend struct AcBrAccess;
  std::shared_ptr<AcBrData> data_;
  AcDb::SubentType kind_;
};

class AcBrBrep : public AcBrEntity {
 public:
  AcBrBrep();
  // The body of an entity that is in a database (its object id becomes the path).
  AcBr::ErrorStatus set(const AcDbEntity& entity);
};

class AcBrFace : public AcBrEntity {
 public:
  AcBrFace();
  // A new AcGeExternalBoundedSurface over the face's parameter box (caller deletes).
  AcBr::ErrorStatus getSurface(AcGeSurface*& surface) const;
  AcBr::ErrorStatus getOrientToSurface(bool& oriented) const;
};

class AcBrEdge : public AcBrEntity {
 public:
  AcBrEdge();
  // A new AcGeExternalCurve3d over the edge's parameter range (caller deletes);
  // eMissingGeometry for a degenerate edge.
  AcBr::ErrorStatus getCurve(AcGeCurve3d*& curve) const;
  AcBr::ErrorStatus getOrientToCurve(bool& oriented) const;
  AcBr::ErrorStatus getVertex1(class AcBrVertex& vertex) const;
  AcBr::ErrorStatus getVertex2(class AcBrVertex& vertex) const;
};

class AcBrVertex : public AcBrEntity {
 public:
  AcBrVertex();
  AcBr::ErrorStatus getPoint(AcGePoint3d& point) const;
};

// A loop of a face (no subentity of its own: the face's path and the loop's position).
class AcBrLoop {
 public:
  AcBrLoop();
  ~AcBrLoop();
  AcBrLoop(const AcBrLoop&);
  AcBrLoop& operator=(const AcBrLoop&);
  bool isNull() const;
  AcBr::ErrorStatus getFace(AcBrFace& face) const;
  // True for a loop made of a single vertex (no edges).
  bool isVertexLoop() const;

 private:
  friend struct AcBrAccess;
  std::shared_ptr<AcBrData> face_;
  int position_ = -1;
};
