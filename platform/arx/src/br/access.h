// Internal helpers shared by the B-rep entities and traversers.
#pragma once

#include <TopTools_IndexedMapOfShape.hxx>

#include "arx/brocct.h"
#include "arx/brtrav.h"

struct AcBrAccess {
  static std::shared_ptr<AcBrData>& data(AcBrEntity& entity) { return entity.data_; }
  static void setLoop(AcBrLoop& loop, std::shared_ptr<AcBrData> face, int position) {
    loop.face_ = std::move(face);
    loop.position_ = position;
  }
  static const std::shared_ptr<AcBrData>& faceOf(const AcBrLoop& loop) { return loop.face_; }
  static int positionOf(const AcBrLoop& loop) { return loop.position_; }
};

namespace acbr {

// Points `entity` at subentity `index` of the shape `from` was set on (same object path).
void pointAt(AcBrEntity& entity, const AcBrData& from, const TopoDS_Shape& subshape, AcDb::SubentType type);

}  // namespace acbr
