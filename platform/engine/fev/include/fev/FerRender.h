// Drawing a results view headless: the outer faces of the displayed set's mesh in colour bands
// of the colour setting's quantity and component (or the factor of safety), moved by the scaled
// displacement when the deformed shape is shown, the undeformed outline when asked, edges, and
// a legend. The same settings and data always give the same pixels.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "fea/FerResult.h"
#include "fea/FerSettings.h"
#include "kestrum/raster.h"

// Where a model point lands in the picture: an isometric view (from +x, -y, +z) fitted into the
// drawing area.
class FerViewMapping {
 public:
  // Pixel coordinates (x right, y down) and depth (larger nearer).
  kestrum::raster::Point ToPixel(const double xyz[3]) const;
  void Fit(const std::vector<double>& points, int width, int height);

 private:
  double scale_ = 1.0, centerX_ = 0.0, centerY_ = 0.0;
  int width_ = 1, height_ = 1;
};

// What the legend says (values in host units).
struct FerLegend {
  std::string setName;
  std::string subset;     // "Load Case 1", "Mode 1: 12.5 Hz"
  std::string quantity;   // "Stress", "Factor of Safety"
  std::string component;  // "von Mises"
  std::string unit;       // host unit text, empty without one
  bool banded = false;
  bool byValue = false;  // colour by value: a continuous ramp from minimum to maximum
  double minimum = 0.0, maximum = 0.0;
  std::vector<double> edges;  // band edges from the minimum up, one more than there are bands
};

// A symbol drawn: an arrow from `at` to `tip` (model coordinates, deformed), or a mark at `at`
// whose half-width is `size` model units.
struct FerSymbol {
  double at[3] = {0, 0, 0};
  double tip[3] = {0, 0, 0};
  double size = 0.0;
  bool arrow = false;
};

struct FerPicture {
  kestrum::raster::Image image;
  FerLegend legend;
  FerViewMapping mapping;
  // Nodes drawn and the deformation scale used (0 when undeformed).
  int nodesDrawn = 0;
  double deformationScale = 0.0;
  std::vector<FerSymbol> symbols;
  // The local frame's triad (x, y, z tips in pixels from a corner of the picture) when the
  // components are taken in a local frame.
  bool frameShown = false;
  kestrum::raster::Point frameTips[3];
  // Further legend lines: the frame, the symbols, what the results lack.
  std::vector<std::string> notes;
  // What the picture shows, or why it shows nothing.
  std::string status;
  // The legend and status as text lines.
  std::vector<std::string> Describe() const;
};

// The colour of an engine colour code (FerColor); grey for a code it does not name.
kestrum::raster::Rgb FerColorRgb(int code);

// The band colours of a colour style (0 red-blue, 1 white-blue, 2 grey, 3 black-white), lowest first.
std::vector<kestrum::raster::Rgb> FerBandColors(int style, int count);

// Renders the view. `set` is the displayed set (null: `missingName` says which set is gone, or
// nothing is displayed when it is empty).
// `deformFactor` scales the deformed shape on top of the settings (an animation frame's swing).
// `materialAllowable` (native stress) is the allowable of a material-based factor of safety.
// Ranges: the colour setting's range type (1 full, 2 minimum and maximum, 3 maximum and
// increment, 4 minimum and increment) over 2 to 150 bands; method 4 colours by value.
FerPicture FerRenderView(const FerDispSettings& settings, const FerResultSet* set, const std::string& missingName,
                         int width, int height, double deformFactor = 1.0, double materialAllowable = 0.0);

// True when the settings show no result at all (colours, deformed shape and symbols all hidden):
// the view then shows the model's bare mesh.
bool FerShowsNoResult(const FerDispSettings& settings);

// The model's bare mesh (null: the model has none, said so), with the settings' edges.
FerPicture FerRenderModel(const FerDispSettings& settings, const FerMesh* mesh, const std::string& modelName, int width,
                          int height);

// ---- the view as geometry -------------------------------------------------------------------
// What writers of 3D scenes take from a view: the outer faces of the drawn mesh over the vertices
// they use, and per frame each vertex's position and colour. A vertex's colour is the one the
// picture gives it (its band's colour, the no-value grey) or the plain mesh colour when no
// contours are shown.

// Node indexes into a frame's vertices; the fourth is -1 for a triangle.
using FerSceneFace = std::array<int, 4>;

struct FerSceneFrame {
  std::vector<double> positions;  // x, y, z per vertex
  std::vector<kestrum::raster::Rgb> colors;
};

struct FerScene {
  std::vector<FerSceneFace> faces;
  std::vector<FerSceneFrame> frames;
  bool contoured = false;  // the colours are contour bands
  // The legend and status lines of the first frame.
  std::vector<std::string> description;
};

// One frame of the view: the deformed shape's swing and the subset shown (0 keeps the view's).
struct FerSceneView {
  double deformFactor = 1.0;
  int subset = 0;
};

// The view of `set` in one frame per entry of `views` (with the material allowable the window uses).
FerScene FerBuildScene(const FerDispSettings& settings, const FerResultSet& set, const std::vector<FerSceneView>& views,
                       double materialAllowable = 0.0);
// The model's bare mesh as one frame.
FerScene FerBuildModelScene(const FerMesh& mesh);
