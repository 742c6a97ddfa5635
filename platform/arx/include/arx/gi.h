// Drawing primitives: what an entity's worldDraw and viewportDraw receive. The host hands an
// entity a world-draw context (geometry valid in every viewport) and, when the world drawing
// reports itself incomplete, a viewport-draw context per viewport (geometry for that view, with
// the view's transform and corners). Geometry calls return false (0) when drawn; true means the
// regeneration was abandoned and the entity should stop drawing.
//
// Colours are colour indices: 0 by block (the entity's own colour), 1 red, 2 yellow, 3 green,
// 4 cyan, 5 blue, 6 magenta, 7 white/black, 8 grey, 256 by layer.
#pragma once

#include <vector>

#include "arx/adesk.h"
#include "arx/gebasic.h"

namespace AcGi {
enum RegenType {
  kAcGiStandardDisplay = 2,  // every face is drawn
  kAcGiHideOrShadeCommand = 3,
  kAcGiRenderCommand = 4,
  kAcGiShadedDisplay = 5,
};
enum FillType { kAcGiFillAlways = 1, kAcGiFillNever = 2 };
}  // namespace AcGi

// Per-edge data of a shell or mesh: colours and visibility (1 visible, 0 hidden), one entry per
// edge in the order the primitive defines its edges. The arrays are copied when the primitive is
// recorded; the caller keeps ownership.
class AcGiEdgeData {
 public:
  void setColors(const short* colors) { colors_ = colors; }
  void setVisibility(const Adesk::UInt8* visibility) { visibility_ = visibility; }
  const short* colors() const { return colors_; }
  const Adesk::UInt8* visibility() const { return visibility_; }

 private:
  const short* colors_ = nullptr;
  const Adesk::UInt8* visibility_ = nullptr;
};

// Per-face data of a shell or mesh: one colour per face.
class AcGiFaceData {
 public:
  void setColors(const short* colors) { colors_ = colors; }
  const short* colors() const { return colors_; }

 private:
  const short* colors_ = nullptr;
};

// Per-vertex data; accepted and ignored (the host draws flat-shaded).
class AcGiVertexData {};

// The traits that apply to the primitives drawn next.
class AcGiSubEntityTraits {
 public:
  virtual ~AcGiSubEntityTraits() = default;
  virtual Adesk::UInt16 color() const = 0;
  virtual void setColor(Adesk::UInt16 color) = 0;
  virtual AcGi::FillType fillType() const = 0;
  virtual void setFillType(AcGi::FillType type) = 0;
};

class AcGiGeometry {
 public:
  virtual ~AcGiGeometry() = default;
  // Connected segments through nbPoints points in the traits colour.
  virtual Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* points,
                                  const AcGeVector3d* normal = nullptr, Adesk::Int32 subEntMarker = -1) = 0;
  // Faces over shared vertices. The face list holds, per face, a vertex count n and n indices
  // (a negative count marks a hole of the face before it). Edges are the faces' sides in order
  // (n per face) and get edgeData's entries in that order; faceData gives one entry per face.
  virtual Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertexList, Adesk::UInt32 faceListSize,
                               const Adesk::Int32* faceList, const AcGiEdgeData* edgeData = nullptr,
                               const AcGiFaceData* faceData = nullptr, const AcGiVertexData* vertexData = nullptr,
                               const void* reserved = nullptr) = 0;
  // A grid of rows x columns points (row by row) forming (rows-1)(columns-1) quads. Edges: first
  // the rows*(columns-1) edges along each row, row by row, then the (rows-1)*columns edges along
  // each column, row by row. faceData gives one entry per quad, row by row.
  virtual Adesk::Boolean mesh(Adesk::UInt32 rows, Adesk::UInt32 columns, const AcGePoint3d* points,
                              const AcGiEdgeData* edgeData = nullptr, const AcGiFaceData* faceData = nullptr,
                              const AcGiVertexData* vertexData = nullptr) = 0;
};

class AcGiWorldGeometry : public AcGiGeometry {};
class AcGiViewportGeometry : public AcGiGeometry {};

class AcGiCommonDraw {
 public:
  virtual ~AcGiCommonDraw() = default;
  virtual AcGi::RegenType regenType() const = 0;
  virtual AcGiSubEntityTraits& subEntityTraits() const = 0;
  // The regeneration was abandoned (never, here).
  virtual Adesk::Boolean regenAbort() const { return false; }
};

class AcGiWorldDraw : public AcGiCommonDraw {
 public:
  virtual AcGiWorldGeometry& geometry() const = 0;
};

// The view a viewport drawing is made for.
class AcGiViewport {
 public:
  virtual ~AcGiViewport() = default;
  // World to eye coordinates: a rotation (no scale) taking the view direction, which points
  // from the target towards the viewer, to +z. Row-major, acting on column vectors.
  virtual void getModelToEyeTransform(AcGeMatrix3d& matrix) const = 0;
  virtual void getEyeToModelTransform(AcGeMatrix3d& matrix) const = 0;
  // The viewport's corners in device (pixel) coordinates.
  virtual void getViewportDcCorners(AcGePoint2d& lowerLeft, AcGePoint2d& upperRight) const = 0;
  virtual Adesk::Int32 viewportId() const = 0;
};

class AcGiViewportDraw : public AcGiCommonDraw {
 public:
  virtual AcGiViewportGeometry& geometry() const = 0;
  virtual const AcGiViewport& viewport() const = 0;
};
