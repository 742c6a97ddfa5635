// Text on a raster picture with the system's one sans font (DejaVu Sans through FreeType), so
// that the results window's legend and the chart write alike. Without the font nothing is drawn
// and widths are 0.
#pragma once

#include <string>

#include "kestrum/raster.h"

namespace kestrum::raster {

// The text size the results window's legend uses, in pixels.
inline constexpr int kDefaultTextPixels = 13;

// Draws `text` (ASCII; other bytes show as '?') with its baseline at y, starting at x; answers
// the x after the text.
int DrawText(Image& image, int x, int baseline, const std::string& text, Rgb color, int pixelSize = kDefaultTextPixels);
// Draws `text` turned a quarter to the left (reading upwards), its baseline at x, starting at y
// and running up; answers the y above the text.
int DrawTextUp(Image& image, int baseline, int y, const std::string& text, Rgb color,
               int pixelSize = kDefaultTextPixels);
// The width `text` takes when drawn.
int TextWidth(const std::string& text, int pixelSize = kDefaultTextPixels);

}  // namespace kestrum::raster
