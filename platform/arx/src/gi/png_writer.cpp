#include "arx/gidisplay.h"
#include "kestrum/raster.h"

bool acgiWritePng(const AcGiImage& image, const std::string& path, std::string& error) {
  kestrum::raster::Image picture;
  picture.width = image.width, picture.height = image.height;
  picture.rgb = image.rgb;
  return kestrum::raster::WritePng(picture, path, error);
}
