// The drawing's shape source: placed solids of body references and the MapShapes index of
// sub-references, installed while the add-in is loaded.
#include <gtest/gtest.h>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

#include <cmath>
#include <numbers>
#include <string>

#include "arx/acutads.h"
#include "fea/AmgMesh.h"
#include "topo/acShapeSource.h"
#include "topo/acTopoRef.h"
#include "topo_fixture.h"

namespace {

using topotest::TopoTest;

class ShapeSourceTest : public TopoTest {
 protected:
  static double volumeOf(const TopoDS_Shape& shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props);
    return props.Mass();
  }
  // The sub-shape a reference locates to, in the solid its body gives.
  static TopoDS_Shape located(AcTopoRef* ref) {
    AmgShapeSource* source = AmgShapeSource::GetCurrent();
    TopoDS_Shape solid;
    int kind = -1;
    int index = 0;
    EXPECT_TRUE(source->BodyShape(ref->Body(), solid));
    EXPECT_TRUE(source->Locate(ref, kind, index));
    EXPECT_EQ(kind, ref->Kind());
    const TopAbs_ShapeEnum type = kind == 0 ? TopAbs_VERTEX : kind == 1 ? TopAbs_EDGE : TopAbs_FACE;
    TopTools_IndexedMapOfShape map;
    TopExp::MapShapes(solid, type, map);
    EXPECT_GE(index, 1);
    EXPECT_LE(index, map.Extent());
    return index >= 1 && index <= map.Extent() ? map(index) : TopoDS_Shape();
  }
  static double areaOf(const TopoDS_Shape& face) {
    GProp_GProps props;
    BRepGProp::SurfaceProperties(face, props);
    return props.Mass();
  }
  static double lengthOf(const TopoDS_Shape& edge) {
    GProp_GProps props;
    BRepGProp::LinearProperties(edge, props);
    return props.Mass();
  }
};

TEST_F(ShapeSourceTest, BodiesGiveThePlacedSolidAndSubReferencesTheirMapShapesIndex) {
  ASSERT_NE(dynamic_cast<AcShapeSource*>(AmgShapeSource::GetCurrent()), nullptr);
  AcDbObjectId plate = loadPart("plate_with_hole");
  AmgShapeSource* source = AmgShapeSource::GetCurrent();
  const double pi = std::numbers::pi;

  TopoDS_Shape solid;
  ASSERT_TRUE(source->BodyShape(bodyOf(plate), solid));
  EXPECT_NEAR(volumeOf(solid), 200.0 * 100.0 * 10.0 - pi * 15.0 * 15.0 * 10.0, 1e-6 * volumeOf(solid));

  // Named subentities land on the sub-shapes of their size: the holed top, the hole's side, the
  // plate's long edge and a corner.
  EXPECT_NEAR(areaOf(located(refOf(plate, Ami::kFaceKey, "plate/top"))), 200.0 * 100.0 - pi * 225.0, 1e-6);
  EXPECT_NEAR(areaOf(located(refOf(plate, Ami::kFaceKey, "hole1/side"))), pi * 30.0 * 10.0, 1e-6);
  EXPECT_NEAR(areaOf(located(refOf(plate, Ami::kFaceKey, "plate/left"))), 100.0 * 10.0, 1e-9);

  // Asked the wrong way round: a body has no index, a face no solid; null answers no.
  int kind = -1;
  int index = -1;
  EXPECT_FALSE(source->Locate(bodyOf(plate), kind, index));
  EXPECT_FALSE(source->Locate(nullptr, kind, index));
  EXPECT_EQ(kind, -1);
  EXPECT_FALSE(source->BodyShape(refOf(plate, Ami::kFaceKey, "plate/top"), solid));
  EXPECT_FALSE(source->BodyShape(nullptr, solid));
}

TEST_F(ShapeSourceTest, EdgesAndVerticesAndAPartEditAreReadAfresh) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  // Every edge of the top face: four plate sides and the hole's circle.
  double perimeter = 0.0;
  for (const auto& [edge, flag] : topotest::childrenOf(top)) perimeter += lengthOf(located(edge));
  EXPECT_NEAR(perimeter, 2.0 * (200.0 + 100.0) + std::numbers::pi * 30.0, 1e-6);
  AcTopoRef* edge = topotest::childrenOf(top).front().first;
  for (const auto& [vertex, flag] : topotest::childrenOf(edge)) {
    TopoDS_Shape shape = located(vertex);
    EXPECT_EQ(shape.ShapeType(), TopAbs_VERTEX);
  }

  command("PARAM set plate/D 40");
  TopoDS_Shape solid;
  ASSERT_TRUE(AmgShapeSource::GetCurrent()->BodyShape(bodyOf(plate), solid));
  EXPECT_NEAR(volumeOf(solid), 200.0 * 100.0 * 10.0 - std::numbers::pi * 20.0 * 20.0 * 10.0, 1e-3);
}

TEST_F(ShapeSourceTest, UnloadingTheAddInRemovesTheSource) {
  ASSERT_NE(AmgShapeSource::GetCurrent(), nullptr);
  command("ARXUNLOAD kestrum.arx");
  EXPECT_EQ(AmgShapeSource::GetCurrent(), nullptr) << cadhost::printedText();
}

}  // namespace
