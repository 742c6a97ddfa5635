#include "model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {
namespace {

// Grows a value column to hold point p.
void Ensure(std::vector<double>& column, int p) {
  if (static_cast<int>(column.size()) < p) column.resize(static_cast<std::size_t>(p), 0.0);
}

double ValueAt(const std::vector<double>& column, int p) {
  return p >= 1 && p <= static_cast<int>(column.size()) ? column[static_cast<std::size_t>(p - 1)] : 0.0;
}

}  // namespace

bool Data::SetNumSeries(int count) {
  if (count < 0 || count > kMaxSeries) return false;
  series.resize(static_cast<std::size_t>(count));
  return true;
}

int Data::PointsOf(int s) const {
  if (!ValidSeries(s)) return 0;
  return layout == 1 ? series.front().points : series[static_cast<std::size_t>(s - 1)].points;
}

bool Data::SetPoints(int s, int count) {
  if (!ValidSeries(s) || count < 0 || count > kMaxPoints) return false;
  Series& one = series[static_cast<std::size_t>(s - 1)];
  one.points = count;
  if (static_cast<int>(one.x.size()) > count) one.x.resize(static_cast<std::size_t>(count));
  if (layout == 2 && static_cast<int>(one.y.size()) > count) one.y.resize(static_cast<std::size_t>(count));
  return true;
}

std::optional<double> Data::X(int s, int p) const {
  if (!ValidPoint(s, p)) return std::nullopt;
  return ValueAt(series[static_cast<std::size_t>(s - 1)].x, p);
}

std::optional<double> Data::Y(int s, int p) const {
  if (!ValidPoint(s, p)) return std::nullopt;
  return ValueAt(series[static_cast<std::size_t>(s - 1)].y, p);
}

bool Data::SetX(int s, int p, double value) {
  if (!ValidPoint(s, p) || !std::isfinite(value)) return false;
  std::vector<double>& column = series[static_cast<std::size_t>(s - 1)].x;
  Ensure(column, p);
  column[static_cast<std::size_t>(p - 1)] = value;
  return true;
}

bool Data::SetY(int s, int p, double value) {
  if (!ValidPoint(s, p) || !std::isfinite(value)) return false;
  std::vector<double>& column = series[static_cast<std::size_t>(s - 1)].y;
  Ensure(column, p);
  column[static_cast<std::size_t>(p - 1)] = value;
  return true;
}

double Data::DrawnX(int s, int p) const {
  return ValueAt(series[static_cast<std::size_t>(layout == 1 ? 0 : s - 1)].x, p);
}

std::pair<int, int> Data::ShownPoints(int s) const {
  const int count = PointsOf(s);
  const Series& range = series[static_cast<std::size_t>(layout == 1 ? 0 : s - 1)];
  const int first = std::max(1, range.firstPoint);
  const int last = range.lastPoint <= 0 ? count : std::min(count, range.lastPoint);
  return {first, last};
}

std::vector<int> Data::ShownSeries() const {
  std::vector<int> shown;
  const int last = lastSeries <= 0 ? NumSeries() : std::min(lastSeries, NumSeries());
  for (int s = std::max(1, firstSeries); s <= last; ++s)
    if (series[static_cast<std::size_t>(s - 1)].display != 2) shown.push_back(s);
  return shown;
}

NiceRange MakeNiceRange(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {0, 10, 1};
  if (low > high) std::swap(low, high);
  double span = high - low;
  if (span <= 0) span = low == 0 ? 1.0 : std::fabs(low);
  const double raw = span / kMaxTicks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= raw) break;
  }
  double minimum = std::floor(low / step) * step;
  double maximum = std::ceil(high / step) * step;
  if (maximum <= minimum) {
    minimum -= step;
    maximum += step;
  }
  return {minimum, maximum, step};
}

namespace {

// The range of x or y over the shown data (bars reach 0 through property 21).
std::pair<double, double> DataRange(const Model& model, bool forX) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (int s : model.data.ShownSeries()) {
    const auto [first, last] = model.data.ShownPoints(s);
    for (int p = first; p <= last; ++p) {
      const double v = forX ? model.data.DrawnX(s, p) : *model.data.Y(s, p);
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  return {low, high};
}

void Bounds(const Model& model, const Axis& axis, bool forX, double& minimum, double& maximum, double& step) {
  auto [low, high] = DataRange(model, forX);
  if (!std::isfinite(low)) {
    low = 0;
    high = 10;
  }
  if (!forX && axis.property21 == 1) {
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
  }
  if (axis.minimum.set) low = axis.minimum.value;
  if (axis.maximum.set) high = axis.maximum.value;
  const NiceRange nice = MakeNiceRange(low, high);
  minimum = axis.minimum.set ? axis.minimum.value : nice.minimum;
  maximum = axis.maximum.set ? axis.maximum.value : nice.maximum;
  if (!(maximum > minimum)) maximum = minimum + nice.step;
  step = MakeNiceRange(minimum, maximum).step;
}

}  // namespace

Geometry::Geometry(const Model& model, int w, int h) : width(std::max(1, w)), height(std::max(1, h)) {
  left = kInsetLeft;
  top = kInsetTop;
  right = std::max(left + 1, width - kInsetRight);
  bottom = std::max(top + 1, height - kInsetBottom);
  Bounds(model, model.x, true, xmin, xmax, xstep);
  Bounds(model, model.y, false, ymin, ymax, ystep);
}

int Geometry::Px(double x) const {
  const double p = left + (x - xmin) / (xmax - xmin) * (right - left);
  return static_cast<int>(std::lround(std::clamp(p, -1e6, 1e6)));
}

int Geometry::Py(double y) const {
  const double p = bottom - (y - ymin) / (ymax - ymin) * (bottom - top);
  return static_cast<int>(std::lround(std::clamp(p, -1e6, 1e6)));
}

double Geometry::DataX(int px) const { return xmin + (px - left) * (xmax - xmin) / (right - left); }
double Geometry::DataY(int py) const { return ymin + (bottom - py) * (ymax - ymin) / (bottom - top); }

int Geometry::Region(int px, int py) const {
  if (px < 0 || py < 0 || px >= width || py >= height) return kRegionOutside;
  if (px >= left && px <= right && py >= top && py <= bottom) return kRegionPlot;
  if (px < left) return kRegionLeftAxis;
  if (py > bottom) return kRegionBottomAxis;
  if (py < top) return kRegionHeader;
  return kRegionLegend;
}

namespace {

constexpr int kSmallestBar = 2, kWidestBar = 24;

int BarWidth(const Model& model, const Geometry& geometry) {
  int most = 1;
  const std::vector<int> shown = model.data.ShownSeries();
  for (int s : shown) {
    const auto [first, last] = model.data.ShownPoints(s);
    most = std::max(most, last - first + 1);
  }
  const int across = (geometry.right - geometry.left) / (most * (static_cast<int>(shown.size()) + 1));
  return std::clamp(across, kSmallestBar, kWidestBar);
}

}  // namespace

std::pair<int, int> PointPixel(const Model& model, const Geometry& geometry, int series, int point) {
  int px = geometry.Px(model.data.DrawnX(series, point));
  const int py = geometry.Py(*model.data.Y(series, point));
  if (model.chartType == 2) {
    const std::vector<int> shown = model.data.ShownSeries();
    const auto at = std::find(shown.begin(), shown.end(), series);
    const double index = static_cast<double>(at - shown.begin());
    const double middle = (static_cast<double>(shown.size()) - 1.0) / 2.0;
    px += static_cast<int>(std::lround((index - middle) * BarWidth(model, geometry)));
  }
  return {px, py};
}

std::optional<Pick> PickPoint(const Model& model, const Geometry& geometry, int px, int py, int mode) {
  std::optional<Pick> best;
  double bestDistance = 0;
  for (int s : model.data.ShownSeries()) {
    const auto [first, last] = model.data.ShownPoints(s);
    for (int p = first; p <= last; ++p) {
      const auto [x, y] = PointPixel(model, geometry, s, p);
      const double dx = x - px, dy = y - py;
      const double distance = mode == 1 ? std::fabs(dx) : mode == 2 ? std::fabs(dy) : std::hypot(dx, dy);
      if (!best || distance < bestDistance) {
        bestDistance = distance;
        best = Pick{s, p, static_cast<int>(std::lround(std::min(distance, 1e9)))};
      }
    }
  }
  return best;
}

kestrum::raster::Rgb SeriesColor(int series) {
  static const kestrum::raster::Rgb colors[] = {{0, 90, 200},   {220, 40, 30}, {20, 150, 50},  {230, 140, 0},
                                                {140, 50, 170}, {0, 160, 170}, {170, 110, 40}, {230, 60, 160}};
  const int count = static_cast<int>(std::size(colors));
  return colors[((series - 1) % count + count) % count];
}

}  // namespace chart
