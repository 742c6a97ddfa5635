// The one-hexahedron unit cube the results view is checked on, its colour settings, and where a
// point of it lands in a picture.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "fev/FerRender.h"

namespace fevtest {

constexpr int kWidth = 800, kHeight = 400;

// The nodal values at a corner: ten stress components and a displacement (x, y, z, magnitude).
using CornerValues =
    std::function<void(const double corner[3], double stress[10], std::array<double, 4>& displacement)>;

// A set "Cube": the unit cube of one hexahedron with a stress and a displacement result whose
// values at each corner `values` gives (stress starts at 0).
std::unique_ptr<FerResultSet> Cube(const CornerValues& values);
// Gives `set` the mesh, and a stress and a displacement result at the nodes `ids` (ten and four
// values per node).
void AddStressAndDisplacement(FerResultSet& set, std::shared_ptr<FerMesh> mesh, const std::vector<long>& ids,
                              const std::vector<double>& stress, const std::vector<double>& displacement);
// Colour contours of a quantity's component for the set "Cube".
FerDispSettings Colour(int quantity, int component, int intervals = 10);
kestrum::raster::Point Pixel(const FerPicture& picture, double x, double y, double z);
kestrum::raster::Rgb At(const FerPicture& picture, const kestrum::raster::Point& p);

}  // namespace fevtest
