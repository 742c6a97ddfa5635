// What a chart holds: texts, fonts, axes, markers, the one chart group's type, data and labels.
// Indices are 1-based as the control's callers give them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "kestrum/raster.h"

namespace chart {

struct Font {
  std::string name = "Arial";
  long long size = 100000;  // points, in ten-thousandths (the automation currency)
  bool bold = false, italic = false, underline = false, strikethrough = false;
  short weight = 400;
  short charset = 0;
  bool operator==(const Font&) const = default;
};

struct Title {
  std::string text;
  Font font;
  bool shown = true;
  bool operator==(const Title&) const = default;
};

struct Bound {
  double value = 0;
  bool set = false;  // false: taken from the data
  bool operator==(const Bound&) const = default;
};

struct Axis {
  std::string title;
  Font font;
  Bound minimum, maximum;
  int property21 = 0;
  bool operator==(const Axis&) const = default;
};

struct Marker {
  int pattern = kPatternHidden;
  double x = 0, y = 0;
  bool operator==(const Marker&) const = default;
};

struct Series {
  int points = 0;
  int firstPoint = 1, lastPoint = 0;  // last 0: to the end
  short display = 1;                  // 1 normal, 2 off
  std::vector<double> x, y;           // grow as values are written; unwritten values are 0
  bool operator==(const Series&) const = default;
};

struct Data {
  int layout = 1;  // 1: series 1's x and point count hold for all series; 2: each its own
  int firstSeries = 1, lastSeries = 0;
  bool batched = false;
  std::vector<Series> series;
  bool operator==(const Data&) const = default;

  int NumSeries() const { return static_cast<int>(series.size()); }
  bool SetNumSeries(int count);
  bool ValidSeries(int s) const { return s >= 1 && s <= NumSeries(); }
  // The point count that holds for series s (series 1's in layout 1).
  int PointsOf(int s) const;
  bool SetPoints(int s, int count);
  bool ValidPoint(int s, int p) const { return ValidSeries(s) && p >= 1 && p <= PointsOf(s); }
  std::optional<double> X(int s, int p) const;
  std::optional<double> Y(int s, int p) const;
  bool SetX(int s, int p, double value);
  bool SetY(int s, int p, double value);
  // The x a point is drawn at: series 1's in layout 1.
  double DrawnX(int s, int p) const;
  // The points of series s that are shown: [first, last], empty when first > last.
  std::pair<int, int> ShownPoints(int s) const;
  // Shown series with display value 1, in order.
  std::vector<int> ShownSeries() const;
};

struct Model {
  Title header, footer;
  Font legendFont;
  bool legendShown = true;
  Axis x, y;
  Marker markerX, markerY;
  int chartType = 1;
  Data data;
  std::vector<std::string> labels;
  bool property6 = true;
  bool property7 = false;
  bool userChanges = false;
  bool operator==(const Model&) const = default;
};

// Axis bounds and the pixel mapping of a W x H picture (see the contract in chart.h).
struct Geometry {
  int width = 0, height = 0;
  int left = 0, top = 0, right = 0, bottom = 0;  // plot area, edges inclusive
  double xmin = 0, xmax = 10, ymin = 0, ymax = 10;
  double xstep = 1, ystep = 1;

  Geometry(const Model& model, int width, int height);
  int Px(double x) const;
  int Py(double y) const;
  double DataX(int px) const;
  double DataY(int py) const;
  int Region(int px, int py) const;
};

// The bounds that show [low, high] in whole nice steps: {minimum, maximum, step}.
struct NiceRange {
  double minimum, maximum, step;
};
NiceRange MakeNiceRange(double low, double high);

// The nearest shown point to a pixel (the contract's PickPoint).
struct Pick {
  int series = 0, point = 0, distance = 0;
};
std::optional<Pick> PickPoint(const Model& model, const Geometry& geometry, int px, int py, int mode);
// Where a point is drawn (for bars, the top centre of its bar).
std::pair<int, int> PointPixel(const Model& model, const Geometry& geometry, int series, int point);

kestrum::raster::Rgb SeriesColor(int series);

// The picture of the chart at W x H pixels.
kestrum::raster::Image Draw(const Model& model, int width, int height);

// The whole state and the data alone as text files that read back equal (doubles exactly).
std::string StateText(const Model& model);
std::string DataText(const Data& data);
// Read a file's text; nothing when it is not a well-formed file of that kind (`error` says why).
std::optional<Model> ReadStateText(const std::string& text, std::string& error);
std::optional<Data> ReadDataText(const std::string& text, std::string& error);

// Image files of a picture: BMP (24-bit), placeable Windows metafile, enhanced metafile, JPEG.
std::string BmpBytes(const kestrum::raster::Image& image);
std::string DibBytes(const kestrum::raster::Image& image);  // a BMP without its file header
std::string WmfBytes(const kestrum::raster::Image& image);
std::string EmfBytes(const kestrum::raster::Image& image);
bool WriteJpeg(const kestrum::raster::Image& image, const std::string& path, int quality, std::string& error);

}  // namespace chart
