#include "cube_fixture.h"

#include <cmath>
#include <utility>
#include <vector>

namespace fevtest {

std::unique_ptr<FerResultSet> Cube(const CornerValues& values) {
  auto set = std::make_unique<FerResultSet>(CaeString("Cube"));
  auto mesh = std::make_shared<FerMesh>();
  const double corners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
  std::vector<long> ids;
  std::vector<double> stress, displacement;
  for (int i = 0; i < 8; ++i) {
    ids.push_back(i + 1);
    mesh->nodeIds.push_back(i + 1);
    mesh->coordinates.insert(mesh->coordinates.end(), corners[i], corners[i] + 3);
    double s[10] = {};
    std::array<double, 4> d{};
    values(corners[i], s, d);
    stress.insert(stress.end(), s, s + 10);
    displacement.insert(displacement.end(), d.begin(), d.end());
  }
  mesh->elementIds = {1};
  mesh->elementTypes = {FerMesh::kHex8};
  mesh->elementStarts = {0, 8};
  mesh->elementNodes = ids;
  AddStressAndDisplacement(*set, mesh, ids, stress, displacement);
  return set;
}

void AddStressAndDisplacement(FerResultSet& set, std::shared_ptr<FerMesh> mesh, const std::vector<long>& ids,
                              const std::vector<double>& stress, const std::vector<double>& displacement) {
  set.SetMesh(std::move(mesh));
  set.AddSubSet(new FerResultSubSet(1.0));
  auto* vonMises = new FerResult(FerQtyStress);
  vonMises->SetNodalData(0, ids, stress);
  set.AddResult(vonMises);
  auto* moved = new FerResult(FerQtyDisplacement);
  moved->SetNodalData(0, ids, displacement);
  set.AddResult(moved);
}

FerDispSettings Colour(int quantity, int component, int intervals) {
  FerDispSettings settings;
  settings.SetResultSet(CaeString("Cube"));
  FerColorSetting color;
  color.SetResult(quantity);
  color.SetComponent(component);
  color.Visible(1);
  color.SetNumberIntervals(intervals);
  settings.SetColorSettings(color);
  return settings;
}

kestrum::raster::Point Pixel(const FerPicture& picture, double x, double y, double z) {
  const double xyz[3] = {x, y, z};
  return picture.mapping.ToPixel(xyz);
}

kestrum::raster::Rgb At(const FerPicture& picture, const kestrum::raster::Point& p) {
  return picture.image.At(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
}

}  // namespace fevtest
