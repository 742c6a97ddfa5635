// A drawing entity holding an OpenCASCADE solid: the smallest AcDbBrepSource, for tests of the
// B-rep and drawing libraries. It draws nothing itself.
#pragma once

#include <TopoDS_Shape.hxx>

#include "arx/dbbrep.h"
#include "arx/dbentity.h"

class TestSolid : public AcDbEntity, public AcDbBrepSource {
 public:
  ACRX_DECLARE_MEMBERS(TestSolid);
  TestSolid() = default;
  explicit TestSolid(const TopoDS_Shape& shape) : shape_(shape) {}
  const TopoDS_Shape* brepShape() const override { return shape_.IsNull() ? nullptr : &shape_; }
  void setShape(const TopoDS_Shape& shape) { shape_ = shape; }

 private:
  TopoDS_Shape shape_;
};

// Adds a solid to the database's model space (closed again); returns its id.
AcDbObjectId addSolid(AcDbDatabase& db, const TopoDS_Shape& shape, Adesk::UInt16 color = 256);
