#include "mcadkernel/feature.h"

namespace mcadkernel {

namespace {

template <size_t N>
void addAll(std::vector<const Expression*>& out, const std::array<Expression, N>& values) {
  for (const Expression& e : values) out.push_back(&e);
}

}  // namespace

const char* featureKeyword(const Feature& feature) {
  static const char* const kKeywords[] = {"box", "cylinder", "extrude", "hole", "fillet"};
  return kKeywords[feature.shape.index()];
}

std::vector<const Expression*> expressionsOf(const Feature& feature) {
  std::vector<const Expression*> out;
  if (auto* box = std::get_if<BoxFeature>(&feature.shape)) {
    addAll(out, box->corner);
    addAll(out, box->size);
  } else if (auto* cylinder = std::get_if<CylinderFeature>(&feature.shape)) {
    addAll(out, cylinder->base);
    addAll(out, cylinder->axis);
    out.push_back(&cylinder->radius);
    out.push_back(&cylinder->height);
  } else if (auto* extrude = std::get_if<ExtrudeFeature>(&feature.shape)) {
    out.push_back(&extrude->offset);
    out.push_back(&extrude->height);
    addAll(out, extrude->start);
    for (const ProfileSegment& segment : extrude->segments) {
      addAll(out, segment.end);
      if (segment.kind == ProfileSegment::Kind::Arc) addAll(out, segment.through);
    }
  } else if (auto* hole = std::get_if<HoleFeature>(&feature.shape)) {
    addAll(out, hole->at);
    addAll(out, hole->direction);
    out.push_back(&hole->diameter);
    if (hole->depth) out.push_back(&*hole->depth);
  } else if (auto* fillet = std::get_if<FilletFeature>(&feature.shape)) {
    out.push_back(&fillet->radius);
  }
  return out;
}

}  // namespace mcadkernel
