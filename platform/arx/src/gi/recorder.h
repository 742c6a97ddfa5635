// Recording draw contexts: they turn an entity's drawing calls into display-list primitives.
#pragma once

#include "arx/gidisplay.h"

namespace acgi {

// Colours the recorded primitives are resolved against: by block takes the entity's colour.
struct ColorContext {
  Adesk::UInt16 entityColor = 7;
  Adesk::UInt16 resolve(int color) const {
    return color == 0 || color == 256 || color < 0 ? entityColor : static_cast<Adesk::UInt16>(color);
  }
};

class Traits : public AcGiSubEntityTraits {
 public:
  explicit Traits(Adesk::UInt16 color) : color_(color) {}
  Adesk::UInt16 color() const override { return color_; }
  void setColor(Adesk::UInt16 color) override { color_ = color; }
  AcGi::FillType fillType() const override { return fill_; }
  void setFillType(AcGi::FillType type) override { fill_ = type; }

 private:
  Adesk::UInt16 color_;
  AcGi::FillType fill_ = AcGi::kAcGiFillAlways;
};

// Appends primitives to `out`, stamped with the traits in force.
class Recording {
 public:
  Recording(std::vector<AcGiPrimitive>& out, const Traits& traits, const ColorContext& colors, bool viewport)
      : out_(out), traits_(traits), colors_(colors), viewport_(viewport) {}
  Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* points);
  Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertices, Adesk::UInt32 faceListSize,
                       const Adesk::Int32* faceList, const AcGiEdgeData* edgeData, const AcGiFaceData* faceData);
  Adesk::Boolean mesh(Adesk::UInt32 rows, Adesk::UInt32 columns, const AcGePoint3d* points,
                      const AcGiEdgeData* edgeData, const AcGiFaceData* faceData);

 private:
  AcGiPrimitive& begin(AcGiPrimitive::Kind kind);
  void copyData(AcGiPrimitive& primitive, std::size_t edges, std::size_t faces, const AcGiEdgeData* edgeData,
                const AcGiFaceData* faceData);
  std::vector<AcGiPrimitive>& out_;
  const Traits& traits_;
  const ColorContext& colors_;
  bool viewport_;
};

template <class Base>
class RecordingGeometry : public Base {
 public:
  explicit RecordingGeometry(Recording& recording) : recording_(recording) {}
  Adesk::Boolean polyline(Adesk::UInt32 nbPoints, const AcGePoint3d* points, const AcGeVector3d*,
                          Adesk::Int32) override {
    return recording_.polyline(nbPoints, points);
  }
  Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertices, Adesk::UInt32 faceListSize,
                       const Adesk::Int32* faceList, const AcGiEdgeData* edgeData, const AcGiFaceData* faceData,
                       const AcGiVertexData*, const void*) override {
    return recording_.shell(nbVertex, vertices, faceListSize, faceList, edgeData, faceData);
  }
  Adesk::Boolean mesh(Adesk::UInt32 rows, Adesk::UInt32 columns, const AcGePoint3d* points,
                      const AcGiEdgeData* edgeData, const AcGiFaceData* faceData, const AcGiVertexData*) override {
    return recording_.mesh(rows, columns, points, edgeData, faceData);
  }

 private:
  Recording& recording_;
};

// Triangles of a solid's shape as one shell primitive; false when the shape has no faces.
bool solidShell(const class TopoDS_Shape& shape, Adesk::UInt16 color, AcGiPrimitive& shell);

}  // namespace acgi
