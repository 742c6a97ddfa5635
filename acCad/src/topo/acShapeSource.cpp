#include "topo/acShapeSource.h"

#include <TopoDS_Shape.hxx>

#include "arx/brbrep.h"
#include "arx/dbbrep.h"
#include "arx/dbentity.h"
#include "arx/dbobject.h"
#include "topo/acTopoRef.h"

namespace {

// The reference's subentity path as it is now (after any pending re-resolution); false when the
// reference is not the drawing's or no longer names a subentity.
bool currentPath(CaeTopoRef* ref, AcDbFullSubentPath& path) {
  auto* reference = dynamic_cast<AcTopoRef*>(ref);
  if (!reference) return false;
  reference->Reresolve();
  const AcBrEntity* entity = reference->Entity();
  return entity && entity->getSubentPath(path) == AcBr::eOk && !path.objectIds().isEmpty();
}

}  // namespace

AcShapeSource::AcShapeSource() : previous_(AmgShapeSource::SetCurrent(this)) {}

AcShapeSource::~AcShapeSource() {
  if (AmgShapeSource::GetCurrent() == this) AmgShapeSource::SetCurrent(previous_);
}

bool AcShapeSource::BodyShape(CaeTopoRef* body, TopoDS_Shape& shape) {
  AcDbFullSubentPath path;
  if (!body || body->Kind() != CaeTopoRef::kBody || !currentPath(body, path)) return false;
  // The part entity is read afresh: the reference's cached shape may predate a regeneration.
  AcDbObject* object = nullptr;
  const AcDbObjectId solid = path.objectIds()[path.objectIds().length() - 1];
  if (acdbOpenObject(object, solid, AcDb::kForRead) != Acad::eOk) return false;
  const auto* source = dynamic_cast<const AcDbBrepSource*>(object);
  const TopoDS_Shape* found = source ? source->brepShape() : nullptr;
  if (found) shape = *found;
  object->close();
  return found != nullptr && !shape.IsNull();
}

bool AcShapeSource::Locate(CaeTopoRef* ref, int& kind, int& index) {
  AcDbFullSubentPath path;
  if (!ref || ref->Kind() > CaeTopoRef::kFace || ref->Kind() < 0 || !currentPath(ref, path)) return false;
  if (path.subentId().index() < 1) return false;
  kind = ref->Kind();
  index = path.subentId().index();
  return true;
}
