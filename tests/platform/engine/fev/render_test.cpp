// The results view drawn headless: colour bands where the values are, the legend's range, the
// deformed shape moved by scale times displacement with the undeformed outline, the factor of
// safety, a set that is gone, and the window's picture as a PNG (printing included).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeEngine.h"
#include "amg/CaeMsgCall.h"
#include "cube_fixture.h"
#include "fea/FerState.h"
#include "fev/FerRender.h"
#include "fev/FerWndOGLDisp.h"
#include "test_env.h"

namespace {

using kestrum::raster::Image;
using kestrum::raster::Point;
using kestrum::raster::Rgb;

using fevtest::At;
using fevtest::kHeight;
using fevtest::kWidth;
using fevtest::Pixel;

constexpr Rgb kBackground{33, 40, 48};

// von Mises stress 100 x at each node (other components 0), and a uniform displacement `lift`
// along z.
std::unique_ptr<FerResultSet> Cube(double lift = 0.0) {
  return fevtest::Cube([lift](const double c[3], double stress[10], std::array<double, 4>& displacement) {
    stress[0] = 100.0 * c[0];
    displacement = {0.0, 0.0, lift, std::fabs(lift)};
  });
}

FerDispSettings StressSettings() { return fevtest::Colour(FerQtyStress, 1); }

// Whether any pixel within `radius` of p has the colour.
bool Near(const FerPicture& picture, const Point& p, Rgb color, int radius = 2) {
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx) {
      const int x = static_cast<int>(std::floor(p.x)) + dx, y = static_cast<int>(std::floor(p.y)) + dy;
      if (picture.image.Contains(x, y) && picture.image.At(x, y) == color) return true;
    }
  return false;
}

class RenderTest : public testing::Test {
 protected:
  void SetUp() override { CaeEngine::ResetState(); }
  void TearDown() override { CaeEngine::ResetState(); }
};

TEST_F(RenderTest, EachPointOfTheVisibleFacesIsInTheBandOfItsValue) {
  const std::unique_ptr<FerResultSet> set = Cube();
  const FerPicture picture = FerRenderView(StressSettings(), set.get(), "", kWidth, kHeight);
  const std::vector<Rgb> bands = FerBandColors(0, 10);
  // Points well inside the top face (z = 1), the front face (y = 0) and the right face (x = 1),
  // all seen from the viewer; the value is 100 x, ten bands over 0 .. 100.
  struct Case {
    double x, y, z;
    int band;
  };
  const Case cases[] = {{0.15, 0.5, 1.0, 1}, {0.45, 0.5, 1.0, 4}, {0.85, 0.3, 1.0, 8},
                        {0.25, 0.0, 0.5, 2}, {0.65, 0.0, 0.3, 6}, {1.0, 0.5, 0.5, 9}};
  for (const Case& c : cases)
    EXPECT_EQ(At(picture, Pixel(picture, c.x, c.y, c.z)), bands[c.band]) << c.x << " " << c.y << " " << c.z;
  EXPECT_EQ(picture.nodesDrawn, 8);
  EXPECT_EQ(picture.image.At(2, 2), kBackground) << "the corner stays empty";
}

TEST_F(RenderTest, TheLegendRangeIsTheResultsRangeInItsBands) {
  const std::unique_ptr<FerResultSet> set = Cube();
  const FerPicture picture = FerRenderView(StressSettings(), set.get(), "", kWidth, kHeight);
  double minimum = 0, maximum = 0;
  ASSERT_TRUE(set->FindResult(FerQtyStress)->Range(0, 0, minimum, maximum));
  const FerLegend& legend = picture.legend;
  ASSERT_TRUE(legend.banded);
  EXPECT_DOUBLE_EQ(legend.minimum, minimum);
  EXPECT_DOUBLE_EQ(legend.maximum, maximum);
  ASSERT_EQ(legend.edges.size(), 11u);
  EXPECT_DOUBLE_EQ(legend.edges.front(), 0.0);
  EXPECT_DOUBLE_EQ(legend.edges[3], 30.0);
  EXPECT_DOUBLE_EQ(legend.edges.back(), 100.0);
  EXPECT_EQ(legend.setName, "Cube");
  EXPECT_EQ(legend.quantity, "Stress");
  EXPECT_EQ(legend.component, "Von Mises");
  EXPECT_EQ(legend.subset, "Load Case 1");
}

// The band legend: a swatch per band, highest on top and touching, and a value on every line
// between them and at both ends, so that the minimum names the bottom of the lowest swatch (it
// used to sit beside nothing, a row below the swatches, and each other value beside the band
// it tops).
TEST_F(RenderTest, EachLegendValueSitsOnTheBoundaryOfTheBandsItSeparates) {
  const std::unique_ptr<FerResultSet> set = Cube();
  const FerPicture picture = FerRenderView(StressSettings(), set.get(), "", kWidth, kHeight);
  const Image& image = picture.image;
  const std::vector<Rgb> bands = FerBandColors(0, 10);
  // The swatches are the rightmost pixels of the lowest band's colour (the legend is right of the mesh).
  int column = -1;
  for (int x = 0; x < image.width; ++x)
    for (int y = 0; y < image.height; ++y)
      if (image.At(x, y) == bands[0]) column = x;
  ASSERT_GE(column, 0);
  std::vector<int> top(bands.size(), -1), bottom(bands.size(), -1);
  for (int y = 0; y < image.height; ++y)
    for (std::size_t b = 0; b < bands.size(); ++b)
      if (image.At(column, y) == bands[b]) {
        if (top[b] < 0) top[b] = y;
        bottom[b] = y;
      }
  for (std::size_t b = 0; b + 1 < bands.size(); ++b) EXPECT_EQ(bottom[b + 1] + 1, top[b]) << "band " << b;
  // Boundaries from the top: the top of each band, highest first, then the bottom of the lowest.
  std::vector<int> boundaries;
  for (std::size_t b = bands.size(); b-- > 0;) boundaries.push_back(top[b]);
  boundaries.push_back(bottom[0] + 1);
  // Rows of value text right of the swatches, near them; runs of such rows are the labels.
  auto textRow = [&](int y) {
    for (int x = column + 4; x < image.width; ++x)
      if (image.At(x, y) != kBackground) return true;
    return false;
  };
  std::vector<std::pair<int, int>> labels;
  for (int y = top[bands.size() - 1] - 8; y <= bottom[0] + 8; ++y) {
    if (!textRow(y)) continue;
    if (!labels.empty() && labels.back().second == y - 1)
      labels.back().second = y;
    else
      labels.push_back({y, y});
  }
  if (labels.empty()) GTEST_SKIP() << "no font: the legend has no text";
  ASSERT_EQ(labels.size(), boundaries.size());
  for (std::size_t k = 0; k < labels.size(); ++k)
    EXPECT_TRUE(labels[k].first <= boundaries[k] && boundaries[k] <= labels[k].second + 1)
        << "value " << k << " on rows " << labels[k].first << ".." << labels[k].second << ", boundary "
        << boundaries[k];
}

TEST_F(RenderTest, TheDeformedShapeMovesByScaleTimesDisplacementAboveTheUndeformedOutline) {
  const std::unique_ptr<FerResultSet> set = Cube(1.5);
  FerDispSettings settings = StressSettings();
  FerDeformedSetting deformed;
  deformed.Visible(1);
  deformed.SetMethod(FerScaleFactor);
  deformed.SetFactor(2.0);
  deformed.ShowUndeformed(1);
  settings.SetDeformedSettings(deformed);
  const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_DOUBLE_EQ(picture.deformationScale, 2.0);
  const std::vector<Rgb> bands = FerBandColors(0, 10);
  // The top face, lifted by 2 x 1.5: its colour is where the moved points land.
  EXPECT_EQ(At(picture, Pixel(picture, 0.45, 0.5, 4.0)), bands[4]);
  EXPECT_EQ(At(picture, Pixel(picture, 0.85, 0.5, 4.0)), bands[8]);
  // The undeformed shape is an outline only: its bottom front edge is drawn in grey, the inside
  // of its front face (away from the hidden edges seen through it) is empty.
  EXPECT_TRUE(Near(picture, Pixel(picture, 0.5, 0.0, 0.0), Rgb{150, 150, 150}));
  EXPECT_EQ(At(picture, Pixel(picture, 0.25, 0.0, 0.75)), kBackground);

  // A percentage of the model's size: the largest displacement drawn as 10 % of the diagonal.
  deformed.SetMethod(FerScalePercent);
  deformed.SetPercent(10.0);
  settings.SetDeformedSettings(deformed);
  const FerPicture percent = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_NEAR(percent.deformationScale, 0.1 * std::sqrt(3.0) / 1.5, 1e-12);
}

TEST_F(RenderTest, TheFactorOfSafetyIsTheAllowableOverTheVonMisesStress) {
  const std::unique_ptr<FerResultSet> set = Cube();
  FerDispSettings settings = StressSettings();
  FerColorSetting color = settings.GetColorSettings();
  color.UseFactorOfSafety(1);
  color.SetFactorOfSafetyValue(400.0);
  settings.SetColorSettings(color);
  const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_EQ(picture.legend.quantity, "Factor of Safety");
  EXPECT_EQ(picture.legend.unit, "");
  // The stressed nodes (x = 1, 100) give the lowest factor, 4; the unstressed ones count as
  // the safest drawn, so the range is 4 .. 4.
  EXPECT_DOUBLE_EQ(picture.legend.minimum, 4.0);
  EXPECT_DOUBLE_EQ(picture.legend.maximum, 4.0);
}

TEST_F(RenderTest, WhatCannotBeDrawnIsSaidAndTheSamePictureComesTwice) {
  struct Case {
    const char* missing;
    bool withSet;
    bool colour;
    const char* status;
  };
  const Case cases[] = {
      {"", false, true, "No result set is displayed."},
      {"Gone", false, true, "The result set \"Gone\" is not available."},
  };
  for (const Case& c : cases) {
    const FerPicture picture = FerRenderView(StressSettings(), nullptr, c.missing, kWidth, kHeight);
    EXPECT_EQ(picture.status, c.status);
    EXPECT_FALSE(picture.legend.banded);
    EXPECT_EQ(picture.nodesDrawn, 0);
  }
  // A quantity the set lacks: its bare mesh, said so.
  const std::unique_ptr<FerResultSet> set = Cube();
  FerDispSettings settings = StressSettings();
  FerColorSetting color = settings.GetColorSettings();
  color.SetResult(FerQtyTemperature);
  settings.SetColorSettings(color);
  const FerPicture bare = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_EQ(bare.status, "The result set has no Temperature: the mesh is shown.");
  EXPECT_NE(At(bare, Pixel(bare, 0.5, 0.5, 1.0)), kBackground);
  // Same data, same pixels.
  const FerPicture first = FerRenderView(StressSettings(), set.get(), "", kWidth, kHeight);
  const FerPicture second = FerRenderView(StressSettings(), set.get(), "", kWidth, kHeight);
  EXPECT_EQ(first.image.rgb, second.image.rgb);
}

// The state's interface answering one set, as a drawing's does.
class OneSetInterface : public CaeFerInterface {
 public:
  FerResultSet* set = nullptr;
  FerResultSet* GetResultSet() override { return set; }
};

TEST_F(RenderTest, TheWindowDrawsAtEachRedrawAndPrintsItsPictureAsAPng) {
  static std::vector<std::string> messages;
  messages.clear();
  CaeMsgCall::SetMsgRoutine([](int, const CaeString& text) { messages.push_back(text.Str()); });
  const std::unique_ptr<FerResultSet> set = Cube();
  OneSetInterface ferInterface;
  ferInterface.set = set.get();
  FerState state;
  FerState::SetState(&state);
  state.SetInterface(&ferInterface);
  FerWndOGLDisp view;
  FerDisplay::SetCurrent(&view);
  view.SetSettings(StressSettings());
  ASSERT_EQ(view.CreateResultsView(50, 250, kWidth, kHeight, "Results Processor", nullptr, 0x300, 0xCF0000), 1);
  state.UpdateImage();
  EXPECT_TRUE(view.Picture().legend.banded);
  EXPECT_EQ(view.Picture().image.width, kWidth);

  kestrum::test::TempDir dir;
  // No output chosen, then an unwritable one: a message each, nothing written.
  EXPECT_EQ(view.PrintDisplay(), 0);
  const std::string unwritable = (dir.path() / "missing" / "print.png").string();
  view.SetPrintOutput(unwritable);
  EXPECT_EQ(view.PrintDisplay(), 0);
  EXPECT_FALSE(std::filesystem::exists(unwritable));
  EXPECT_EQ(messages.size(), 2u);
  const std::string output = (dir.path() / "print.png").string();
  view.SetPrintOutput(output);
  EXPECT_EQ(view.PrintDisplay(), 1);
  EXPECT_EQ(view.PrintCount(), 3);
  std::ifstream png(output, std::ios::binary);
  char signature[8] = {};
  png.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  FerState::SetState(nullptr);
}

}  // namespace

namespace {

// Two hexahedra side by side (x from 0 to 2) sharing the face at x = 1, node ids `ids` (mesh
// order), with von Mises 100 x and a lift of 0.1 x along z listed in the order `listed`.
std::unique_ptr<FerResultSet> Bar(const std::vector<long>& ids, const std::vector<int>& listed) {
  auto set = std::make_unique<FerResultSet>(CaeString("Cube"));
  auto mesh = std::make_shared<FerMesh>();
  for (int i = 0; i < 12; ++i) {
    const double corner[3] = {static_cast<double>(i % 3), static_cast<double>(i / 3 % 2), static_cast<double>(i / 6)};
    mesh->coordinates.insert(mesh->coordinates.end(), corner, corner + 3);
  }
  mesh->nodeIds = ids;
  mesh->elementIds = {1, 2};
  mesh->elementTypes = {FerMesh::kHex8, FerMesh::kHex8};
  mesh->elementStarts = {0, 8, 16};
  for (int first : {0, 1})
    for (int corner : {0, 1, 4, 3, 6, 7, 10, 9}) mesh->elementNodes.push_back(ids[first + corner]);
  std::vector<long> resultIds;
  std::vector<double> stress, displacement;
  for (int i : listed) {
    const double x = mesh->coordinates[static_cast<std::size_t>(i) * 3];
    resultIds.push_back(ids[i]);
    std::vector<double> s(10, 0.0);
    s[0] = 100.0 * x;
    stress.insert(stress.end(), s.begin(), s.end());
    displacement.insert(displacement.end(), {0.0, 0.0, 0.1 * x, 0.1 * x});
  }
  fevtest::AddStressAndDisplacement(*set, mesh, resultIds, stress, displacement);
  return set;
}

}  // namespace

// Node ids numbered from one with the results in mesh order, spread far apart, or with the
// results listed backwards: the same ten outer faces, positions and colours.
TEST_F(RenderTest, TheSceneDoesNotDependOnHowTheNodesAreNumberedOrListed) {
  std::vector<long> ordered, spread;
  std::vector<int> forwards, backwards;
  for (int i = 0; i < 12; ++i) {
    ordered.push_back(i + 1);
    spread.push_back(1000003L * (12 - i));
    forwards.push_back(i);
    backwards.insert(backwards.begin(), i);
  }
  const FerDispSettings settings = StressSettings();
  const FerScene expected = FerBuildScene(settings, *Bar(ordered, forwards), {FerSceneView{}});
  ASSERT_EQ(expected.faces.size(), 10u);
  ASSERT_EQ(expected.frames.size(), 1u);
  EXPECT_TRUE(expected.contoured);
  struct Case {
    const char* name;
    const std::vector<long>& ids;
    const std::vector<int>& listed;
  };
  for (const Case& c : {Case{"ordered, listed backwards", ordered, backwards}, Case{"spread", spread, forwards},
                        Case{"spread, listed backwards", spread, backwards}}) {
    const FerScene scene = FerBuildScene(settings, *Bar(c.ids, c.listed), {FerSceneView{}});
    EXPECT_EQ(scene.faces, expected.faces) << c.name;
    ASSERT_EQ(scene.frames.size(), 1u) << c.name;
    EXPECT_EQ(scene.frames[0].positions, expected.frames[0].positions) << c.name;
    EXPECT_EQ(scene.frames[0].colors, expected.frames[0].colors) << c.name;
  }
}

// The outer faces of a mesh are found once and kept for it: each mesh still gets its own, also
// when one is freed and another takes its place, and when a mesh is changed in place.
TEST_F(RenderTest, EachMeshGetsItsOwnOuterFacesWhicheverWasDrawnBefore) {
  std::vector<long> ids;
  std::vector<int> listed;
  for (int i = 0; i < 12; ++i) {
    ids.push_back(i + 1);
    listed.push_back(i);
  }
  const FerDispSettings settings = StressSettings();
  struct Case {
    const char* name;
    bool bar;
    std::size_t faces;
  };
  // Made and freed one after the other: a new set may well sit where the last one was.
  for (const Case& c : {Case{"cube", false, 6}, Case{"bar", true, 10}, Case{"cube again", false, 6},
                        Case{"bar again", true, 10}, Case{"bar a third time", true, 10}}) {
    const std::unique_ptr<FerResultSet> set = c.bar ? Bar(ids, listed) : Cube();
    EXPECT_EQ(FerBuildScene(settings, *set, {FerSceneView{}}).faces.size(), c.faces) << c.name;
  }
  // The bar loses its second hexahedron through another owner of its mesh.
  const std::unique_ptr<FerResultSet> bar = Bar(ids, listed);
  ASSERT_EQ(FerBuildScene(settings, *bar, {FerSceneView{}}).faces.size(), 10u);
  const std::shared_ptr<FerMesh> mesh = std::const_pointer_cast<FerMesh>(bar->SharedMesh());
  mesh->elementIds.resize(1);
  mesh->elementTypes.resize(1);
  mesh->elementStarts.resize(2);
  mesh->elementNodes.resize(8);
  EXPECT_EQ(FerBuildScene(settings, *bar, {FerSceneView{}}).faces.size(), 6u);
}
