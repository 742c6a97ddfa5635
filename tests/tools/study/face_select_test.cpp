// The study's face selectors on bodies of every size a study meets, from a millimetre to ten metres.
#include <gtest/gtest.h>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <gp_Ax2.hxx>

#include <string>

#include "FaceSelect.h"

namespace {

using study::SelectFaces;

// The centre of a face of `shape` by its TopExp index.
gp_Pnt FaceCentre(const TopoDS_Shape& shape, int index) {
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(shape, TopAbs_FACE, map);
  GProp_GProps props;
  BRepGProp::SurfaceProperties(map(index), props);
  return props.CentreOfMass();
}

TEST(FaceSelect, EveryExtremeSelectorFindsExactlyItsFaceOnBoxesFromAMillimetreToTenMetres) {
  struct Row {
    const char* name;
    double size[3];
  };
  const Row rows[] = {
      {"1 mm cube", {0.001, 0.001, 0.001}},     {"thin 1 mm plate", {0.001, 0.0005, 0.0001}},
      {"20 mm bracket", {0.02, 0.01, 0.005}},   {"190 mm bar", {0.19, 0.02, 0.01}},
      {"200 mm cantilever", {0.2, 0.02, 0.01}}, {"1 m beam", {1.0, 0.05, 0.05}},
      {"10 m slab", {10.0, 5.0, 0.2}},          {"10 m cube", {10.0, 10.0, 10.0}},
  };
  for (const Row& row : rows) {
    const TopoDS_Shape box = BRepPrimAPI_MakeBox(row.size[0], row.size[1], row.size[2]).Shape();
    for (int axis = 0; axis < 3; ++axis)
      for (bool atMax : {false, true}) {
        const std::string selector = std::string(1, static_cast<char>('x' + axis)) + (atMax ? "=max" : "=min");
        const auto faces = SelectFaces(box, selector);
        ASSERT_TRUE(faces.ok()) << row.name << " " << selector << ": " << faces.problem().message;
        ASSERT_EQ(faces->size(), 1u) << row.name << " " << selector;
        const gp_Pnt centre = FaceCentre(box, faces->front());
        const double expected[3] = {row.size[0] / 2, row.size[1] / 2, row.size[2] / 2};
        for (int k = 0; k < 3; ++k) {
          const double want = k == axis ? (atMax ? row.size[k] : 0.0) : expected[k];
          EXPECT_NEAR(centre.Coord(k + 1), want, 1e-9 * row.size[0]) << row.name << " " << selector << " axis " << k;
        }
      }
  }
}

// Only planar faces at the extreme count: a cylinder's side reaches x=min but is not planar, and a
// plate's hole lies inside.
TEST(FaceSelect, ExtremeSelectorsTakeOnlyPlanarFacesAtTheExtreme) {
  const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(0.005, 0.02).Shape();
  EXPECT_FALSE(SelectFaces(cylinder, "x=min").ok());
  EXPECT_NE(SelectFaces(cylinder, "x=min").problem().message.find("no face lies at x=min"), std::string::npos);
  const auto top = SelectFaces(cylinder, "z=max");
  ASSERT_TRUE(top.ok());
  ASSERT_EQ(top->size(), 1u);
  EXPECT_NEAR(FaceCentre(cylinder, top->front()).Z(), 0.02, 1e-12);

  const TopoDS_Shape box = BRepPrimAPI_MakeBox(0.03, 0.01, 0.002).Shape();
  const TopoDS_Shape hole =
      BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0.015, 0.005, -0.002), gp::DZ()), 0.002, 0.006).Shape();
  const TopoDS_Shape plate = BRepAlgoAPI_Cut(box, hole).Shape();
  for (const char* selector : {"x=min", "x=max", "y=min", "y=max", "z=min", "z=max"}) {
    const auto faces = SelectFaces(plate, selector);
    ASSERT_TRUE(faces.ok()) << selector;
    EXPECT_EQ(faces->size(), 1u) << selector;
  }
  const auto curved = SelectFaces(plate, "curved");
  ASSERT_TRUE(curved.ok());
  EXPECT_NEAR(FaceCentre(plate, curved->front()).X(), 0.015, 1e-9);
}

TEST(FaceSelect, SelectorsThatNameNothingSayWhy) {
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(0.01, 0.01, 0.01).Shape();
  struct Row {
    const char* selector;
    const char* fragment;
  };
  const Row rows[] = {
      {"0", "there is no face 0"},     {"7", "there is no face 7"},     {"curved", "no curved face"},
      {"x=mid", "faces are an index"}, {"w=min", "faces are an index"}, {"", "faces are an index"},
  };
  for (const Row& row : rows) {
    const auto faces = SelectFaces(box, row.selector);
    ASSERT_FALSE(faces.ok()) << row.selector;
    EXPECT_NE(faces.problem().message.find(row.fragment), std::string::npos)
        << row.selector << " gave: " << faces.problem().message;
  }
}

}  // namespace
