// The 2-D chart control: an outside (hosted) control of the toolkit, class id
// {92D71E93-25A8-11CF-A640-9986B64D9618}. The program that hosts add-ins registers it once
// (RegisterChartControl); a window of that class then answers automation calls by dispatch id,
// hands out its sub-objects (header, chart groups, data, axes, markers, fonts ...) as counted
// automation objects, fires mouse events to its parent's event-sink map and draws itself.
// Indices of series, points, labels and chart groups are 1-based. Nothing here throws: a call
// with an unknown id, unfitting arguments or an index outside the data is logged and changes
// nothing.
//
// Geometry contract (every picture, mouse mapping and pick follows it):
// - The picture is the control's client rectangle, W x H pixels (for printing, the rectangle the
//   page gives). The plot area is that rectangle inset by a fixed margin: left kInsetLeft, top
//   kInsetTop, right kInsetRight (the legend's column), bottom kInsetBottom; it is at least one
//   pixel wide and high. Its left and top edges are pixels PlotLeft = kInsetLeft and
//   PlotTop = kInsetTop; its right and bottom edges PlotRight = W - kInsetRight and
//   PlotBottom = H - kInsetBottom (both inclusive).
// - Axis bounds: an axis whose minimum or maximum was set uses it; otherwise the bound comes from
//   the data shown (every shown series and point, layout 1 taking series 1's x for all), widened
//   to a whole number of "nice" steps (1, 2 or 5 times a power of ten, the step that gives at most
//   kMaxTicks intervals). No data: 0 to 10. Equal minimum and maximum: one step either side. A y
//   axis with property 21 = 1 always includes 0 (bar charts grow from it).
// - Data to pixels: px = PlotLeft + (x - xmin) / (xmax - xmin) * (PlotRight - PlotLeft), rounded
//   to the nearest pixel; py = PlotBottom - (y - ymin) / (ymax - ymin) * (PlotBottom - PlotTop),
//   rounded. Pixels to data is the exact inverse (no rounding).
// - Regions (PixelToData): kRegionPlot inside the plot area (edges included); outside it, within
//   the client rectangle: kRegionLeftAxis left of it, kRegionBottomAxis below it, kRegionHeader
//   above it, kRegionLegend right of it (tested in that order); kRegionOutside outside the client
//   rectangle.
// - PickPoint(px, py, mode): the shown point nearest the pixel among shown series (display value
//   1), by its pixel position: mode 1 horizontal distance, mode 2 vertical, any other (3) the
//   straight distance; the distance is rounded to whole pixels; ties go to the lower series,
//   then the lower point. Answers 1 and the series, point and distance; 0 when nothing is shown.
//   Bar charts (type 2) pick the top centre of each bar.
// - Chart types: 1 lines with a point mark at each point, 2 bars (the series of a point side by
//   side, one bar width apart), 5 point marks only (scatter). Series colours come in a fixed
//   order (SeriesColor); a series with display value 2 is off: not drawn, not picked, its legend
//   entry grey.
// - The header is centred in the top inset, the x-axis title centred under the axis numbers, the
//   y-axis title reads upwards left of them, the footer sits at the bottom; the legend lists the
//   series labels with their colours in the right inset. Tick numbers use the shortest "%g" form.
//   Text is drawn with the one sans font of the rasteriser (DejaVu Sans); font names are kept,
//   saved and shown, sizes scale the text, but every name draws with that font.
// - Cross-hair markers: marker "x" is a vertical line at its x value, marker "y" a horizontal
//   line at its y value, each drawn when its style pattern is kPatternShown and property 7 is true
//   (the first readout turns it on; the hosts clear it before a resize).
// - Method 22 (short code, bool redraw): code 84 clears the header and footer texts, code 91 the
//   series labels and the axis titles; other codes answer false.
// - Property 6 answers whether the control repaints on every change (always true here); property
//   13 allows the person's own changes (nothing in this control depends on it).
#pragma once

#include <string>

namespace chart {

inline constexpr const char* kClassId = "{92D71E93-25A8-11CF-A640-9986B64D9618}";

inline constexpr int kInsetLeft = 72;
inline constexpr int kInsetTop = 40;
inline constexpr int kInsetRight = 150;
inline constexpr int kInsetBottom = 56;
inline constexpr int kMaxTicks = 8;

inline constexpr int kRegionPlot = -100;
inline constexpr int kRegionLeftAxis = -99;
inline constexpr int kRegionBottomAxis = -98;
inline constexpr int kRegionHeader = -97;
inline constexpr int kRegionLegend = -96;
inline constexpr int kRegionOutside = -1;

inline constexpr int kPatternHidden = 4;
inline constexpr int kPatternShown = 5;

// Limits on what the control holds (and reads from files).
inline constexpr int kMaxSeries = 256;
inline constexpr int kMaxPoints = 1'000'000;
inline constexpr std::size_t kMaxTextLength = 4096;

// Makes windows of kClassId charts (later registrations of the class id win).
void RegisterChartControl();

}  // namespace chart
