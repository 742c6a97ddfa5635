// Pictures written by the renderer, read back and looked at by colour.
#pragma once

#include <filesystem>

#include "arx/gidisplay.h"

namespace kestrum::test {

// Reads a PNG file back as RGB rows; false when it cannot be read.
bool readPng(const std::filesystem::path& path, AcGiImage& image);

// Pixels whose colour leans clearly towards green (colour index 3) or cyan (colour index 4).
struct GreenCyanTally {
  int green = 0, cyan = 0;
};
GreenCyanTally tallyGreenAndCyan(const AcGiImage& image);

}  // namespace kestrum::test
