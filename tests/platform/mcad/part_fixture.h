// An in-process host with one drawing and the part modeller loaded, and helpers for looking at
// what keys resolve to.
#pragma once
#include <gtest/gtest.h>
#include <BRepAdaptor_Surface.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shape.hxx>

#include <memory>
#include <string>

#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "mcad/amiapp.h"
#include "mcad/amikey.h"
#include "mcad/amiparam.h"
#include "mcad/amipart.h"
#include "mcad/amipick.h"
#include "test_env.h"

namespace mcadtest {

class PartDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cadhost::clearPrintedText();
    cadhost::startHost(true);
    ASSERT_TRUE(mcadLoadApiModule());
  }
  void TearDown() override {
    cadhost::clearInput();
    cadhost::shutdownHost();
    mcadResetServices();
    cadhost::clearPrintedText();
  }

  AcDbDatabase* db() const { return acDocManagerPtr()->curDocument()->database(); }

  // Loads a shipped part or a test fixture into the drawing; returns its entity.
  AcDbObjectId loadShipped(const std::string& file) {
    return mcadLoadPartFile(db(), kestrum::test::sourcePath("data/parts/" + file).string()).front();
  }
  AcDbObjectId loadFixture(const std::string& file) {
    return mcadLoadPartFile(db(), kestrum::test::sourcePath("tests/platform/mcad/fixtures/" + file).string()).front();
  }

  // A key the caller owns; deleted at the end of the test.
  AmiObjectKey* keep(AmiObjectKey* key) {
    owned_.emplace_back(key);
    return key;
  }
  AmiObjectKey* faceKey(AcDbObjectId part, const std::string& name) {
    return keep(new AmiObjectKey(Ami::kFaceKey, part, name));
  }

  // One undoable step, as a command would be.
  template <class Work>
  void inUndoGroup(const char* name, Work work) {
    db()->beginUndoGroup(name);
    work();
    db()->endUndoGroup();
  }

 private:
  std::vector<std::unique_ptr<AmiObjectKey>> owned_;
};

// The radius of a cylindrical face, or -1 for any other shape.
inline double cylinderRadius(const TopoDS_Shape& shape) {
  if (shape.IsNull() || shape.ShapeType() != TopAbs_FACE) return -1.0;
  BRepAdaptor_Surface surface(TopoDS::Face(shape));
  return surface.GetType() == GeomAbs_Cylinder ? surface.Cylinder().Radius() : -1.0;
}

inline double area(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::SurfaceProperties(shape, props);
  return props.Mass();
}

inline gp_Pnt faceCentre(const TopoDS_Shape& shape) {
  GProp_GProps props;
  BRepGProp::SurfaceProperties(shape, props);
  return props.CentreOfMass();
}

}  // namespace mcadtest
