// Entities with a boundary representation (solids and parts). The B-rep library traverses the
// shape such an entity gives; the part modeller's part entities provide it. The shape is an
// OpenCASCADE shape in world coordinates (placement applied); this header needs no OpenCASCADE
// include because callers that read the shape include it themselves.
#pragma once

class TopoDS_Shape;

class AcDbBrepSource {
 public:
  virtual ~AcDbBrepSource() = default;
  // The entity's current shape, or null when it has none (for example a part whose last
  // regeneration failed before any solid existed). Valid until the entity is next modified.
  virtual const TopoDS_Shape* brepShape() const = 0;
};
