// The chart's picture, laid out by the geometry contract of chart.h.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "kestrum/raster_text.h"
#include "model.h"

namespace chart {
namespace {

using kestrum::raster::Image;
using kestrum::raster::Rgb;

const Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kGrid{225, 225, 225}, kGrey{160, 160, 160}, kMarker{90, 90, 90};
constexpr int kMarkHalf = 3;  // point marks are 7 x 7 pixels
constexpr int kTickLength = 4;
constexpr int kSwatch = 12;      // legend colour squares
constexpr int kLegendLine = 18;  // legend row height
constexpr int kLegendGap = 12;   // between the plot area and the legend

int TextPixels(const Font& font) {
  return std::clamp(static_cast<int>(std::lround(font.size / 10000.0 * 4.0 / 3.0)), 6, 72);
}

std::string Number(double value, double step) {
  if (std::fabs(value) < std::fabs(step) * 1e-9) value = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Pixels limited to a rectangle (the plot area, or the whole picture).
struct Painter {
  Image& image;
  int left, top, right, bottom;
  void Dot(int x, int y, Rgb color) const {
    if (x >= left && x <= right && y >= top && y <= bottom) image.Set(x, y, color);
  }
  void Line(int x0, int y0, int x1, int y1, Rgb color, int dash = 0) const {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (int n = 0;; ++n) {
      if (!dash || (n / dash) % 2 == 0) Dot(x0, y0, color);
      if (x0 == x1 && y0 == y1) break;
      const int twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x0 += sx;
      }
      if (twice <= dx) {
        error += dx;
        y0 += sy;
      }
    }
  }
  void Box(int x0, int y0, int x1, int y1, Rgb color) const {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
      for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) Dot(x, y, color);
  }
};

void DrawAxes(Image& image, const Model& model, const Geometry& g) {
  const Painter all{image, 0, 0, g.width - 1, g.height - 1};
  const int textPixels = TextPixels(model.x.font);
  for (int k = 0;; ++k) {
    const double x = g.xmin + k * g.xstep;
    if (x > g.xmax + g.xstep * 1e-9 || k > 1000) break;
    const int px = g.Px(x);
    all.Line(px, g.top, px, g.bottom, kGrid);
    all.Line(px, g.bottom, px, g.bottom + kTickLength, kBlack);
    const std::string text = Number(x, g.xstep);
    kestrum::raster::DrawText(image, px - kestrum::raster::TextWidth(text, textPixels) / 2,
                              g.bottom + kTickLength + textPixels + 2, text, kBlack, textPixels);
  }
  const int yPixels = TextPixels(model.y.font);
  for (int k = 0;; ++k) {
    const double y = g.ymin + k * g.ystep;
    if (y > g.ymax + g.ystep * 1e-9 || k > 1000) break;
    const int py = g.Py(y);
    all.Line(g.left, py, g.right, py, kGrid);
    all.Line(g.left - kTickLength, py, g.left, py, kBlack);
    const std::string text = Number(y, g.ystep);
    kestrum::raster::DrawText(image, g.left - kTickLength - 3 - kestrum::raster::TextWidth(text, yPixels),
                              py + yPixels / 2 - 1, text, kBlack, yPixels);
  }
  all.Line(g.left, g.top, g.right, g.top, kBlack);
  all.Line(g.left, g.bottom, g.right, g.bottom, kBlack);
  all.Line(g.left, g.top, g.left, g.bottom, kBlack);
  all.Line(g.right, g.top, g.right, g.bottom, kBlack);
  if (!model.x.title.empty()) {
    const int w = kestrum::raster::TextWidth(model.x.title, textPixels);
    kestrum::raster::DrawText(image, (g.left + g.right - w) / 2, g.height - 8 - (model.footer.text.empty() ? 0 : 8),
                              model.x.title, kBlack, textPixels);
  }
  if (!model.y.title.empty()) {
    const int w = kestrum::raster::TextWidth(model.y.title, yPixels);
    kestrum::raster::DrawTextUp(image, yPixels + 2, (g.top + g.bottom + w) / 2, model.y.title, kBlack, yPixels);
  }
}

void DrawSeries(Image& image, const Model& model, const Geometry& g) {
  const Painter plot{image, g.left, g.top, g.right, g.bottom};
  const std::vector<int> shown = model.data.ShownSeries();
  const int baseline = g.Py(std::clamp(0.0, g.ymin, g.ymax));
  int barHalf = 0;
  if (model.chartType == 2 && !shown.empty()) {
    const auto [x0, y0] = PointPixel(model, g, shown.front(), 1);
    barHalf = 1;
    if (shown.size() > 1)
      barHalf = std::max(1, (PointPixel(model, g, shown[1], 1).first - x0) / 2 - 1);
    else
      barHalf = std::max(1, std::min(12, (g.right - g.left) / 40));
    (void)y0;
  }
  for (int s : shown) {
    const Rgb color = SeriesColor(s);
    const auto [first, last] = model.data.ShownPoints(s);
    int previousX = 0, previousY = 0;
    for (int p = first; p <= last; ++p) {
      const auto [px, py] = PointPixel(model, g, s, p);
      if (model.chartType == 2) {
        plot.Box(px - barHalf, py, px + barHalf, baseline, color);
        continue;
      }
      if (model.chartType == 1 && p > first) plot.Line(previousX, previousY, px, py, color);
      plot.Box(px - kMarkHalf, py - kMarkHalf, px + kMarkHalf, py + kMarkHalf, color);
      previousX = px;
      previousY = py;
    }
  }
}

void DrawMarkers(Image& image, const Model& model, const Geometry& g) {
  if (!model.property7) return;
  const Painter plot{image, g.left, g.top, g.right, g.bottom};
  if (model.markerX.pattern == kPatternShown) {
    const int px = g.Px(model.markerX.x);
    plot.Line(px, g.top, px, g.bottom, kMarker, 3);
  }
  if (model.markerY.pattern == kPatternShown) {
    const int py = g.Py(model.markerY.y);
    plot.Line(g.left, py, g.right, py, kMarker, 3);
  }
}

void DrawTexts(Image& image, const Model& model, const Geometry& g) {
  if (model.header.shown && !model.header.text.empty()) {
    const int pixels = TextPixels(model.header.font);
    const int w = kestrum::raster::TextWidth(model.header.text, pixels);
    kestrum::raster::DrawText(image, (g.width - w) / 2, (kInsetTop + pixels) / 2, model.header.text, kBlack, pixels);
  }
  if (model.footer.shown && !model.footer.text.empty()) {
    const int pixels = TextPixels(model.footer.font);
    const int w = kestrum::raster::TextWidth(model.footer.text, pixels);
    kestrum::raster::DrawText(image, g.width - w - 6, g.height - 4, model.footer.text, kBlack, pixels);
  }
  if (!model.legendShown) return;
  const Painter all{image, 0, 0, g.width - 1, g.height - 1};
  const int pixels = TextPixels(model.legendFont);
  const int x = g.right + kLegendGap;
  int y = g.top;
  for (int s = 1; s <= model.data.NumSeries() && s <= static_cast<int>(model.labels.size()); ++s) {
    const bool off = model.data.series[static_cast<std::size_t>(s - 1)].display == 2;
    const Rgb color = off ? kGrey : SeriesColor(s);
    all.Box(x, y + 2, x + kSwatch - 1, y + 1 + kSwatch, color);
    kestrum::raster::DrawText(image, x + kSwatch + 5, y + kSwatch, model.labels[static_cast<std::size_t>(s - 1)],
                              off ? kGrey : kBlack, pixels);
    y += kLegendLine;
  }
}

}  // namespace

Image Draw(const Model& model, int width, int height) {
  const Geometry g(model, width, height);
  Image image(g.width, g.height, kWhite);
  DrawAxes(image, model, g);
  DrawSeries(image, model, g);
  DrawMarkers(image, model, g);
  DrawTexts(image, model, g);
  return image;
}

}  // namespace chart
