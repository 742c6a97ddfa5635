#include "FerText.h"

#include "kestrum/raster_text.h"

namespace fev_detail {

int DrawText(kestrum::raster::Image& image, int x, int baseline, const std::string& text, kestrum::raster::Rgb color) {
  return kestrum::raster::DrawText(image, x, baseline, text, color);
}

}  // namespace fev_detail
