// The drawing's shape source for the engine's meshes and deck: a body reference gives the placed
// OpenCASCADE solid of its part, a face, edge or vertex reference its kind and TopExp::MapShapes
// index in that solid.
//
// The part entity's shape is in world coordinates with the placement applied, and the drawing's
// length is the engine's native length, so the solid is handed over as it is. The index of a
// sub-reference is its own subentity index, which the part modeller numbers in the same MapShapes
// order of the same world shape. The add-in installs one source while it is loaded.
#pragma once

#include "fea/AmgMesh.h"

class AcShapeSource : public AmgShapeSource {
 public:
  // Installs itself as the current source; the one current before comes back when it goes.
  AcShapeSource();
  ~AcShapeSource() override;
  AcShapeSource(const AcShapeSource&) = delete;
  AcShapeSource& operator=(const AcShapeSource&) = delete;

  // The solid of a body reference (kind 3) whose part still has a shape; false for anything else.
  bool BodyShape(CaeTopoRef* body, TopoDS_Shape& shape) override;
  // Kind 0 vertex, 1 edge, 2 face and the reference's subentity index; false for a body, a
  // reference that is not the drawing's, or one whose subentity is gone.
  bool Locate(CaeTopoRef* ref, int& kind, int& index) override;

 private:
  AmgShapeSource* previous_;
};
