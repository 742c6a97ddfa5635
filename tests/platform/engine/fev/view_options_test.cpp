// What the results sheet asks of the results view, checked against values the data give by
// construction: the stored ranges and the number of bands, colour by value, components in a local
// or cylindrical frame, element and error values, the material factor of safety, deformation by
// one component with a coloured outline, symbols at nodes, centroids and faces, and the minimum
// and maximum a result reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "amg/CaeEngine.h"
#include "amg/CaeTransform.h"
#include "cube_fixture.h"
#include "fev/FerRender.h"

namespace {

using kestrum::raster::Point;
using kestrum::raster::Rgb;

using fevtest::At;
using fevtest::Colour;
using fevtest::kHeight;
using fevtest::kWidth;
using fevtest::Pixel;

// Stress: von Mises 100 x, sigma_xx = 10 y, sigma_yy = 20 x (the rest 0). Displacement
// u = (x, y, 0) (radial about the z axis) plus `lift` along z.
std::unique_ptr<FerResultSet> Cube(double lift = 0.0) {
  return fevtest::Cube([lift](const double c[3], double stress[10], std::array<double, 4>& displacement) {
    const double x = c[0], y = c[1];
    stress[0] = 100.0 * x;
    stress[4] = 10.0 * y;
    stress[5] = 20.0 * x;
    displacement = {x, y, lift, std::sqrt(x * x + y * y + lift * lift)};
  });
}

class ViewOptionsTest : public testing::Test {
 protected:
  void SetUp() override { CaeEngine::ResetState(); }
  void TearDown() override { CaeEngine::ResetState(); }
};

// Von Mises is 100 x: the band of a point on the top face follows from x and the range.
TEST_F(ViewOptionsTest, EachRangeTypeBandsItsOwnRange) {
  const std::unique_ptr<FerResultSet> set = Cube();
  struct Case {
    const char* name;
    int rangeType;
    double minimum, maximum, increment;
    int intervals;
    double low, high;  // the range drawn
  };
  const Case cases[] = {
      {"full range", 1, 20, 60, 5, 8, 0, 100},
      {"minimum and maximum", 2, 20, 60, 5, 8, 20, 60},
      {"maximum and increment", 3, 0, 80, 5, 8, 40, 80},
      {"minimum and increment", 4, 10, 0, 5, 8, 10, 50},
      {"an empty stored range is the full range", 2, 50, 50, 0, 8, 0, 100},
  };
  for (const Case& c : cases) {
    FerDispSettings settings = Colour(FerQtyStress, 1, c.intervals);
    FerColorSetting color = settings.GetColorSettings();
    color.SetRangeType(c.rangeType);
    color.SetRange(c.minimum, c.maximum, c.increment);
    color.SetColorStyle(1);
    settings.SetColorSettings(color);
    const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
    EXPECT_DOUBLE_EQ(picture.legend.minimum, c.low) << c.name;
    EXPECT_DOUBLE_EQ(picture.legend.maximum, c.high) << c.name;
    ASSERT_EQ(picture.legend.edges.size(), static_cast<std::size_t>(c.intervals) + 1) << c.name;
    const std::vector<Rgb> bands = FerBandColors(1, c.intervals);
    for (double x : {0.05, 0.3, 0.45, 0.55, 0.7, 0.95}) {
      const double value = 100.0 * x;
      const double t = (value - c.low) / (c.high - c.low) * c.intervals;
      const int band = std::clamp(static_cast<int>(std::floor(t)), 0, c.intervals - 1);
      if (std::fabs(t - std::round(t)) < 0.05) continue;  // too near an edge for a pixel to tell
      EXPECT_EQ(At(picture, Pixel(picture, x, 0.5, 1.0)), bands[band]) << c.name << " x " << x;
    }
  }
  // White to blue: the lowest band is white, the highest blue.
  const std::vector<Rgb> whiteBlue = FerBandColors(1, 8);
  EXPECT_EQ(whiteBlue.front(), (Rgb{255, 255, 255}));
  EXPECT_EQ(whiteBlue.back(), (Rgb{0, 0, 255}));
}

TEST_F(ViewOptionsTest, BandsRunFromTwoToOneHundredFiftyAndColourByValueIsARamp) {
  const std::unique_ptr<FerResultSet> set = Cube();
  for (auto [asked, drawn] : {std::pair{1, 2}, {2, 2}, {150, 150}, {400, 150}}) {
    const FerPicture picture = FerRenderView(Colour(FerQtyStress, 1, asked), set.get(), "", kWidth, kHeight);
    EXPECT_EQ(picture.legend.edges.size(), static_cast<std::size_t>(drawn) + 1) << asked;
  }
  FerDispSettings settings = Colour(FerQtyStress, 1);
  FerColorSetting color = settings.GetColorSettings();
  color.SetMethod(4);
  settings.SetColorSettings(color);
  const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_TRUE(picture.legend.byValue);
  EXPECT_FALSE(picture.legend.banded);
  // Two points a tenth apart in x differ in colour: no band holds them both.
  EXPECT_NE(At(picture, Pixel(picture, 0.42, 0.5, 1.0)), At(picture, Pixel(picture, 0.52, 0.5, 1.0)));
  // The middle of the range has the middle of the ramp (within the pixel's width).
  const std::vector<Rgb> ramp = FerBandColors(0, 256);
  const Rgb middle = At(picture, Pixel(picture, 0.5, 0.5, 1.0));
  EXPECT_TRUE(std::find(ramp.begin() + 124, ramp.begin() + 132, middle) != ramp.begin() + 132);
}

// A frame turned 90 degrees about z: its x axis is the global y axis, so local x components are
// global y ones (u_x' = u_y, sigma_x'x' = sigma_yy); the triad is drawn.
TEST_F(ViewOptionsTest, ComponentsInALocalFrameAreTheGlobalOnesTurned) {
  const std::unique_ptr<FerResultSet> set = Cube();
  const CaeTransform turned(CaeVector(0, 1, 0), CaeVector(-1, 0, 0), CaeVector(0, 0, 1), CaeVector(0, 0, 0));
  struct Case {
    int quantity, localBit, globalBit;
  };
  for (const Case& c : {Case{FerQtyDisplacement, 1, 2}, Case{FerQtyStress, 1 << 4, 1 << 5}}) {
    FerDispSettings local = Colour(c.quantity, c.localBit);
    FerColorSetting color = local.GetColorSettings();
    color.SetCS(turned, 0);
    local.SetColorSettings(color);
    const FerPicture inFrame = FerRenderView(local, set.get(), "", kWidth, kHeight);
    const FerPicture global = FerRenderView(Colour(c.quantity, c.globalBit), set.get(), "", kWidth, kHeight);
    EXPECT_DOUBLE_EQ(inFrame.legend.minimum, global.legend.minimum) << c.quantity;
    EXPECT_DOUBLE_EQ(inFrame.legend.maximum, global.legend.maximum) << c.quantity;
    EXPECT_GT(inFrame.legend.maximum, inFrame.legend.minimum) << c.quantity;
    EXPECT_TRUE(inFrame.frameShown);
    EXPECT_FALSE(global.frameShown);
  }
}

// u = (x, y, 0) points away from the z axis: its radial component is the distance r, the
// tangential one 0.
TEST_F(ViewOptionsTest, CylindricalComponentsAreRadialAndTangential) {
  const std::unique_ptr<FerResultSet> set = Cube();
  for (auto [bit, low, high, name] : {std::tuple{1, 0.0, std::sqrt(2.0), "R"}, {2, 0.0, 0.0, "T"}}) {
    FerDispSettings settings = Colour(FerQtyDisplacement, bit);
    FerColorSetting color = settings.GetColorSettings();
    color.SetCS(CaeTransform(), 1);
    settings.SetColorSettings(color);
    const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
    EXPECT_EQ(picture.legend.component, name);
    EXPECT_NEAR(picture.legend.minimum, low, 1e-12) << name;
    EXPECT_NEAR(picture.legend.maximum, high, 1e-12) << name;
  }
}

// Unaveraged: each element is one colour, its own value; error values: the largest difference
// between a corner's averaged value and the element's.
TEST_F(ViewOptionsTest, ElementAndErrorValuesComeFromTheElementsOwnValue) {
  std::unique_ptr<FerResultSet> set = Cube();
  std::vector<double> element(10, 0.0);
  element[0] = 30.0;
  set->FindResult(FerQtyStress)->SetElementData(0, {1}, element);
  FerDispSettings settings = Colour(FerQtyStress, 1);
  const FerPicture averaged = FerRenderView(
      [&] {
        FerDispSettings s = settings;
        FerColorSetting c = s.GetColorSettings();
        c.Average(1);
        s.SetColorSettings(c);
        return s;
      }(),
      set.get(), "", kWidth, kHeight);
  EXPECT_DOUBLE_EQ(averaged.legend.maximum, 100.0);
  const FerPicture perElement = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_DOUBLE_EQ(perElement.legend.minimum, 30.0);
  EXPECT_DOUBLE_EQ(perElement.legend.maximum, 30.0);
  EXPECT_EQ(At(perElement, Pixel(perElement, 0.1, 0.5, 1.0)), At(perElement, Pixel(perElement, 0.9, 0.5, 1.0)));
  FerColorSetting error = settings.GetColorSettings();
  error.Error(1);
  settings.SetColorSettings(error);
  const FerPicture errors = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  EXPECT_DOUBLE_EQ(errors.legend.maximum, 70.0) << "corner 100 against the element's 30";
  EXPECT_EQ(errors.legend.component, "Von Mises error");
}

TEST_F(ViewOptionsTest, TheMaterialFactorOfSafetyUsesTheMaterialsAllowable) {
  const std::unique_ptr<FerResultSet> set = Cube();
  FerDispSettings settings = Colour(FerQtyStress, 1);
  FerColorSetting color = settings.GetColorSettings();
  color.UseFactorOfSafety(2);
  color.SetFactorOfSafetyValue(400.0);
  settings.SetColorSettings(color);
  const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight, 1.0, 250.0);
  EXPECT_EQ(picture.legend.quantity, "Factor of Safety");
  EXPECT_DOUBLE_EQ(picture.legend.minimum, 2.5) << "250 over the largest von Mises, 100";
}

// The outline is drawn in its colour; the deformation by one component moves only along it.
TEST_F(ViewOptionsTest, TheOutlineHasItsColourAndOneComponentDeformsAlongItsAxis) {
  const std::unique_ptr<FerResultSet> set = Cube(0.5);
  FerDispSettings settings = Colour(FerQtyStress, 1);
  FerDeformedSetting deformed;
  deformed.Visible(1);
  deformed.SetResult(FerQtyDisplacement);
  deformed.SetComponent(4);  // z only
  deformed.SetMethod(FerScaleFactor);
  deformed.SetFactor(2.0);
  deformed.ShowUndeformed(1);
  deformed.SetUndeformedColor(FerBlue);
  settings.SetDeformedSettings(deformed);
  const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  // The top face moved by 2 x 0.5 along z only (x and y would have widened it).
  const Point top = Pixel(picture, 0.5, 0.5, 2.0);
  EXPECT_NE(At(picture, top), (Rgb{33, 40, 48}));
  bool blue = false;
  const Point edge = Pixel(picture, 0.5, 0.0, 0.0);
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      blue = blue || picture.image.At(static_cast<int>(edge.x) + dx, static_cast<int>(edge.y) + dy) == Rgb{0, 0, 255};
  EXPECT_TRUE(blue) << "the undeformed bottom front edge is blue";
}

// Arrows at the nodes: one per surface node, from the node along its displacement, the largest
// as long as the size asked for (a fixed length, or a percentage of the model's diagonal).
TEST_F(ViewOptionsTest, ArrowsSitAtTheNodesAndPointAlongTheVector) {
  const std::unique_ptr<FerResultSet> set = Cube();
  FerDispSettings settings;
  settings.SetResultSet(CaeString("Cube"));
  FerSymbolSetting symbol;
  symbol.Visible(1);
  symbol.SetResult(FerQtyDisplacement);
  symbol.SetComponent(8);
  symbol.SetLocation(2);  // displacement is nodal only: at nodes whatever is asked
  symbol.SetMethod(0);
  symbol.SetFixedSize(0.5);
  symbol.SetColor(FerRed);
  settings.SetSymbolSettings(symbol);
  EXPECT_EQ(symbol.NodalOnly(), 1);
  const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  ASSERT_EQ(picture.symbols.size(), 8u);
  for (const FerSymbol& s : picture.symbols) {
    EXPECT_TRUE(s.arrow);
    const double x = s.at[0], y = s.at[1], r = std::hypot(x, y);
    // u = (x, y, 0) over the largest |u| = sqrt 2, times 0.5.
    EXPECT_NEAR(s.tip[0] - x, 0.5 * x / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(s.tip[1] - y, 0.5 * y / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(s.tip[2], s.at[2], 1e-12);
    if (r > 0) {
      // The arrow is red at its middle.
      const double middle[3] = {(s.at[0] + s.tip[0]) / 2, (s.at[1] + s.tip[1]) / 2, (s.at[2] + s.tip[2]) / 2};
      const Point p = picture.mapping.ToPixel(middle);
      bool red = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          red = red || picture.image.At(static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy) == Rgb{255, 0, 0};
      EXPECT_TRUE(red) << x << " " << y;
    }
  }
  symbol.SetMethod(2);
  symbol.SetPercent(10.0);
  settings.SetSymbolSettings(symbol);
  const FerPicture percent = FerRenderView(settings, set.get(), "", kWidth, kHeight);
  double longest = 0;
  for (const FerSymbol& s : percent.symbols)
    longest = std::max(longest, std::hypot(s.tip[0] - s.at[0], s.tip[1] - s.at[1], s.tip[2] - s.at[2]));
  EXPECT_NEAR(longest, 0.1 * std::sqrt(3.0), 1e-12);
}

// Stress has element values: its marks can sit at element centroids or at the outer faces'.
TEST_F(ViewOptionsTest, MarksSitAtCentroidsOrFaceCentres) {
  const std::unique_ptr<FerResultSet> set = Cube();
  FerDispSettings settings;
  settings.SetResultSet(CaeString("Cube"));
  FerSymbolSetting symbol;
  symbol.Visible(1);
  symbol.SetResult(FerQtyStress);
  symbol.SetComponent(1);
  EXPECT_EQ(symbol.NodalOnly(), 0);
  for (auto [location, count] : {std::pair{1, 8u}, {2, 1u}, {3, 6u}}) {
    symbol.SetLocation(location);
    settings.SetSymbolSettings(symbol);
    const FerPicture picture = FerRenderView(settings, set.get(), "", kWidth, kHeight);
    ASSERT_EQ(picture.symbols.size(), count) << location;
    EXPECT_FALSE(picture.symbols.front().arrow);
    if (location == 2) {
      EXPECT_DOUBLE_EQ(picture.symbols.front().at[0], 0.5);
      EXPECT_DOUBLE_EQ(picture.symbols.front().at[2], 0.5);
    }
  }
}

TEST_F(ViewOptionsTest, GetInfoGivesTheMinimumThenTheMaximumWithTheirNodes) {
  const std::unique_ptr<FerResultSet> set = Cube();
  FerDataSetting data;
  data.component = 1 << 5;  // sigma_yy = 20 x
  FerInfo info;
  ASSERT_EQ(set->FindResult(FerQtyStress)->GetInfo(info, FerResult::kInfoMinMax, 0, data, 1, 2.0), 2);
  const FerInfoData* minimum = info.FirstItem();
  const FerInfoData* maximum = info.NextItem();
  ASSERT_TRUE(minimum && maximum);
  EXPECT_DOUBLE_EQ(minimum->Value(), 0.0);
  EXPECT_DOUBLE_EQ(maximum->Value(), 40.0) << "20 at x = 1, times the scale 2";
  EXPECT_EQ(maximum->Id(), 2) << "the first node at x = 1";
  EXPECT_EQ(info.NextItem(), nullptr);
  EXPECT_EQ(set->FindResult(FerQtyStress)->GetInfo(info, FerResult::kInfoMinMax, 0, data, 2, 1.0), 0) << "no subset 2";
  EXPECT_EQ(set->FindResult(FerQtyStress)->GetInfo(info, 1, 0, data, 1, 1.0), 0) << "another type";
}

}  // namespace
