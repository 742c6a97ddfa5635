#include <gtest/gtest.h>

#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include <set>

#include "kernel_test_helpers.h"

using kerneltest::bounds;
using kerneltest::centroid;
using kerneltest::cylinderRadius;
using kerneltest::extremeFace;
using kerneltest::partFrom;
using kerneltest::surfaceType;

namespace {

const char* const kPlate = R"(part plate
param L = 200
param W = 100
param T = 10
param D = 30
box plate corner=(0, 0, 0) size=(L, W, T)
hole hole1 at=(L/2, W/2, T) direction=(0, 0, -1) diameter=D
)";

TEST(Naming, BoxFacesAreNamedByTheirSide) {
  auto part = partFrom("part b\nbox b corner=(1, 2, 3) size=(10, 20, 30)\n");
  struct Case {
    const char* name;
    int axis;  // 0 x, 1 y, 2 z
    double coordinate;
  };
  const Case cases[] = {{"b/left", 0, 1},  {"b/right", 0, 11}, {"b/front", 1, 2},
                        {"b/back", 1, 22}, {"b/bottom", 2, 3}, {"b/top", 2, 33}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TopoDS_Shape face = part->resolve(c.name);
    ASSERT_FALSE(face.IsNull());
    auto b = bounds(face);
    EXPECT_NEAR(b[c.axis], c.coordinate, 1e-6);
    EXPECT_NEAR(b[c.axis + 3], c.coordinate, 1e-6);
  }
  EXPECT_EQ(part->faceNames().size(), 6u);
  EXPECT_EQ(part->edgeNames().size(), 12u);
  EXPECT_EQ(part->vertexNames().size(), 8u);
  EXPECT_EQ(part->nameOf(part->resolve("b/front|b/top")), "b/front|b/top");
  auto corner = bounds(part->resolve("b/back&b/right&b/top"));
  EXPECT_NEAR(corner[0], 11, 1e-6);
  EXPECT_NEAR(corner[1], 22, 1e-6);
  EXPECT_NEAR(corner[2], 33, 1e-6);
}

TEST(Naming, EveryNameIsUniqueAndResolvesToItsOwnSubshape) {
  auto part = mcadkernel::readPartFile(kestrum::test::sourcePath("data/parts/bracket.part"));
  TopTools_IndexedMapOfShape faces, edges, vertices;
  TopExp::MapShapes(part->shape(), TopAbs_FACE, faces);
  TopExp::MapShapes(part->shape(), TopAbs_EDGE, edges);
  TopExp::MapShapes(part->shape(), TopAbs_VERTEX, vertices);
  std::vector<std::string> names = part->faceNames();
  for (auto list : {part->edgeNames(), part->vertexNames()}) names.insert(names.end(), list.begin(), list.end());
  EXPECT_EQ(names.size(), static_cast<size_t>(faces.Extent() + edges.Extent() + vertices.Extent()));
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  for (const std::string& name : names) {
    TopoDS_Shape shape = part->resolve(name);
    ASSERT_FALSE(shape.IsNull()) << name;
    EXPECT_EQ(part->nameOf(shape), name);
    EXPECT_EQ(name.find("/face"), std::string::npos) << "a face without history: " << name;
  }
  for (const char* expected : {"base/top", "upright/right", "inner/round1", "mount/side", "bolt/side"})
    EXPECT_TRUE(std::find(names.begin(), names.end(), expected) != names.end()) << expected;
}

TEST(Naming, SurvivingFacesKeepTheirNamesAcrossEdits) {
  auto part = partFrom(kPlate);
  const std::vector<std::pair<const char*, double>> edits = {{"T", 25}, {"L", 90}, {"D", 12}, {"W", 300}};
  for (const auto& [parameter, value] : edits) {
    SCOPED_TRACE(std::string(parameter) + " = " + std::to_string(value));
    part->setParameterValue(parameter, value);
    double l = part->parameters().value("L"), w = part->parameters().value("W");
    double t = part->parameters().value("T"), d = part->parameters().value("D");
    EXPECT_EQ(extremeFace(*part, 2), "plate/top");
    EXPECT_EQ(extremeFace(*part, 0), "plate/right");
    EXPECT_EQ(extremeFace(*part, 1), "plate/back");
    EXPECT_NEAR(bounds(part->resolve("plate/top"))[5], t, 1e-6);
    TopoDS_Shape side = part->resolve("hole1/side");
    ASSERT_EQ(surfaceType(side), GeomAbs_Cylinder);
    EXPECT_NEAR(cylinderRadius(side), d / 2, 1e-9);
    // The hole's upper rim is the edge between the top and the hole.
    auto rim = bounds(part->resolve("hole1/side|plate/top"));
    EXPECT_NEAR(rim[2], t, 1e-6);
    EXPECT_NEAR(0.5 * (rim[0] + rim[3]), l / 2, 1e-6);
    EXPECT_NEAR(0.5 * (rim[1] + rim[4]), w / 2, 1e-6);
    EXPECT_FALSE(part->resolve("hole1/side|hole1/side").IsNull());  // the seam
    EXPECT_TRUE(part->resolve("hole1/bottom").IsNull());            // a through hole has no floor
  }
}

TEST(Naming, RemovedFaceIsStaleAndComesBackWhenTheEditIsUndone) {
  // A cap covering the base's top completely removes base/top; a shorter cap leaves part of it.
  auto part = partFrom(R"(part capped
param C = 60
box base corner=(0, 0, 0) size=(100, 50, 10)
box cap corner=(0, 0, 10) size=(C, 50, 5)
)");
  TopoDS_Shape top = part->resolve("base/top");
  ASSERT_FALSE(top.IsNull());
  EXPECT_NEAR(bounds(top)[0], 60, 1e-6);
  ASSERT_FALSE(part->resolve("base/top|cap/right").IsNull());

  part->setParameterValue("C", 100);
  EXPECT_TRUE(part->resolve("base/top").IsNull());
  EXPECT_TRUE(part->resolve("base/top|cap/right").IsNull());
  EXPECT_FALSE(part->resolve("cap/top").IsNull());

  part->setParameterValue("C", 60);  // undo
  TopoDS_Shape back = part->resolve("base/top");
  ASSERT_FALSE(back.IsNull());
  EXPECT_NEAR(bounds(back)[0], 60, 1e-6);
  EXPECT_NEAR(kerneltest::area(back), 40 * 50, 1e-6);
  EXPECT_FALSE(part->resolve("base/top|cap/right").IsNull());

  // Removing a feature makes its names stale; putting it back restores them.
  auto hole = partFrom(kPlate);
  mcadkernel::Feature saved = *hole->findFeature("hole1");
  hole->removeFeature("hole1");
  EXPECT_TRUE(hole->resolve("hole1/side").IsNull());
  EXPECT_TRUE(hole->resolve("hole1/side|plate/top").IsNull());
  hole->addFeature(saved);
  EXPECT_NEAR(cylinderRadius(hole->resolve("hole1/side")), 15, 1e-9);
}

TEST(Naming, SplitFacesGetOrdinalsInCentroidOrder) {
  auto part = partFrom(R"(part slotted
param X = 40
box base corner=(0, 0, 0) size=(100, 50, 10)
box slot op=cut corner=(X, -1, 5) size=(20, 52, 10)
)");
  for (double x : {40.0, 41.0, 10.0, 70.0}) {
    SCOPED_TRACE("X = " + std::to_string(x));
    part->setParameterValue("X", x);
    EXPECT_TRUE(part->resolve("base/top").IsNull());
    TopoDS_Shape first = part->resolve("base/top#1"), second = part->resolve("base/top#2");
    ASSERT_FALSE(first.IsNull());
    ASSERT_FALSE(second.IsNull());
    EXPECT_NEAR(bounds(first)[0], 0, 1e-6);
    EXPECT_NEAR(bounds(first)[3], x, 1e-6);
    EXPECT_NEAR(bounds(second)[0], x + 20, 1e-6);
    EXPECT_NEAR(bounds(second)[3], 100, 1e-6);
    EXPECT_TRUE(part->resolve("base/top#3").IsNull());
    // The slot's walls face each other; each meets one side of the split top.
    EXPECT_FALSE(part->resolve("base/top#1|slot/left").IsNull());
    EXPECT_FALSE(part->resolve("base/top#2|slot/right").IsNull());
  }
}

TEST(Naming, EdgesAndVerticesSharingFacesGetOrdinalsInPositionOrder) {
  // A cylinder cut in half along its axis: the flat cut face meets the curved side in two lines. (The
  // half kept is the one without the cylinder's seam, so that its side stays one face.)
  auto part = partFrom(R"(part half
cylinder rod base=(0, 0, 0) axis=(0, 0, 1) radius=10 height=40
box cutter op=cut corner=(0, -20, -1) size=(20, 40, 42)
)");
  TopoDS_Shape first = part->resolve("cutter/left|rod/side:1");
  TopoDS_Shape second = part->resolve("cutter/left|rod/side:2");
  ASSERT_FALSE(first.IsNull());
  ASSERT_FALSE(second.IsNull());
  EXPECT_TRUE(part->resolve("cutter/left|rod/side").IsNull());
  EXPECT_NEAR(centroid(first).Y(), -10, 1e-6);
  EXPECT_NEAR(centroid(second).Y(), 10, 1e-6);
  TopoDS_Shape lowTop = part->resolve("cutter/left&rod/side&rod/top:1");
  TopoDS_Shape highTop = part->resolve("cutter/left&rod/side&rod/top:2");
  ASSERT_FALSE(lowTop.IsNull());
  ASSERT_FALSE(highTop.IsNull());
  EXPECT_NEAR(centroid(lowTop).Y(), -10, 1e-6);
  EXPECT_NEAR(centroid(highTop).Z(), 40, 1e-6);
  EXPECT_NEAR(centroid(highTop).Y(), 10, 1e-6);
}

TEST(Naming, ExtrusionSidesFollowTheProfileOrder) {
  auto part = partFrom(
      "part e\nextrude e plane=xy height=3 start=(0, 0) line=(20, 0) arc=(25, 5, 20, 10) line=(0, 10) line=(0, 0)\n");
  struct Case {
    const char* name;
    GeomAbs_SurfaceType type;
    double x, y;  // centroid in the plane
  };
  const Case cases[] = {{"e/side1", GeomAbs_Plane, 10, 0},
                        {"e/side2", GeomAbs_Cylinder, 0, 5},  // x: beyond the straight sides
                        {"e/side3", GeomAbs_Plane, 10, 10},
                        {"e/side4", GeomAbs_Plane, 0, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TopoDS_Shape face = part->resolve(c.name);
    ASSERT_FALSE(face.IsNull());
    EXPECT_EQ(surfaceType(face), c.type);
    EXPECT_NEAR(centroid(face).Y(), c.y, 1e-6);
    if (c.type == GeomAbs_Plane)
      EXPECT_NEAR(centroid(face).X(), c.x, 1e-6);
    else
      EXPECT_GT(centroid(face).X(), 20);
  }
  EXPECT_NEAR(bounds(part->resolve("e/top"))[2], 3, 1e-6);
  EXPECT_NEAR(bounds(part->resolve("e/bottom"))[5], 0, 1e-6);
}

}  // namespace
