#include "ShapeRefs.h"

#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

namespace study {

namespace {

TopAbs_ShapeEnum TypeOf(int kind) { return kind == 0 ? TopAbs_VERTEX : kind == 1 ? TopAbs_EDGE : TopAbs_FACE; }

}  // namespace

ShapeBody::ShapeBody(const TopoDS_Shape& shape)
    : shape_(shape), body_(CaeTopoRef::kBody, 0, nullptr), previous_(AmgShapeSource::SetCurrent(this)) {}

ShapeBody::~ShapeBody() {
  if (AmgShapeSource::GetCurrent() == this) AmgShapeSource::SetCurrent(previous_);
}

int ShapeBody::Count(int kind) const {
  TopTools_IndexedMapOfShape map;
  TopExp::MapShapes(shape_, TypeOf(kind), map);
  return map.Extent();
}

ShapeRef* ShapeBody::Ref(int kind, int index) {
  if (kind < 0 || kind > 2 || index < 1 || index > Count(kind)) return nullptr;
  auto& ref = refs_[{kind, index}];
  if (!ref) ref = std::make_unique<ShapeRef>(kind, index, &body_);
  return ref.get();
}

bool ShapeBody::BodyShape(CaeTopoRef* body, TopoDS_Shape& shape) {
  if (body != &body_) return previous_ && previous_->BodyShape(body, shape);
  shape = shape_;
  return true;
}

bool ShapeBody::Locate(CaeTopoRef* ref, int& kind, int& index) {
  for (const auto& [key, made] : refs_)
    if (made.get() == ref) {
      kind = key.first;
      index = key.second;
      return true;
    }
  return previous_ && previous_->Locate(ref, kind, index);
}

}  // namespace study
