#include "db/dbTransform.h"

#include <memory>

#include "amg/CaeTransform.h"
#include "arx/acdocman.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "util/acDeferredPasses.h"
#include "util/acEditor.h"

namespace {

std::unique_ptr<DbModifyUndoneReactor> sharedReactor;

}  // namespace

Acad::ErrorStatus dbTransformToMatrix(AcDbDwgFiler* filer, const CaeTransform& transform) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (const Acad::ErrorStatus status = filer->writeDouble(transform.Component(i, j)); status != Acad::eOk)
        return status;
  return Acad::eOk;
}

Acad::ErrorStatus dbMatrixToTransform(AcDbDwgFiler* filer, CaeTransform& transform) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double value = 0.0;
      if (const Acad::ErrorStatus status = filer->readDouble(&value); status != Acad::eOk) return status;
      transform.Set(i, j, value);
    }
  }
  return Acad::eOk;
}

void DbModifyUndoneReactor::modifyUndone(const AcDbObject* /*object*/) { acTopoSetUndoModified(); }

void dbWatchModifyUndone(AcDbObject* object) {
  if (!object) return;
  if (!sharedReactor) sharedReactor = std::make_unique<DbModifyUndoneReactor>();
  object->addReactor(sharedReactor.get());
}

DbModifyUndoneReactor* dbModifyUndoneReactor() { return sharedReactor.get(); }

bool dbIsWatchedForUndo(const AcDbObject* object) {
  if (!object || !sharedReactor) return false;
  for (const AcDbObjectReactor* reactor : object->reactors())
    if (reactor == sharedReactor.get()) return true;
  return false;
}

void dbReleaseModifyUndoneReactor() {
  if (!sharedReactor) return;
  acRemoveReactorFromAllDrawings(sharedReactor.get());
  sharedReactor.reset();
}
