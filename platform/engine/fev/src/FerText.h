// Text on a picture with the system's sans font (FreeType); without the font nothing is drawn.
#pragma once

#include <string>

#include "kestrum/raster.h"

namespace fev_detail {

// Draws `text` with its baseline at y, starting at x; answers the x after the text.
int DrawText(kestrum::raster::Image& image, int x, int baseline, const std::string& text, kestrum::raster::Rgb color);

}  // namespace fev_detail
