#include "util/acDbClass.h"

#include "amg/CaeMsgCall.h"
#include "arx/dbentity.h"
#include "util/acPost.h"

AcDbEntity* AcDbClass::MakeEntity(void* /*argument*/) { return nullptr; }

void AcDbClass::Post(void* argument) {
  CAE_CHECK(id_.isNull());
  AcDbEntity* entity = MakeEntity(argument);
  CAE_CHECK(entity != nullptr);
  acPostToModelSpaceAndClose(entity, id_);
}

Acad::ErrorStatus AcDbClass::Erase() {
  CAE_CHECK(!id_.isNull());
  AcDbEntity* entity = nullptr;
  CAE_CHECK(acdbOpenObject(entity, id_, AcDb::kForWrite) == Acad::eOk);
  entity->erase(true);
  return entity->close();
}

int AcDbClass::Exists() const {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id_, AcDb::kForRead) != Acad::eOk) return 0;
  entity->close();
  return 1;
}

Acad::ErrorStatus AcDbClass::MarkModified() {
  CAE_CHECK(!id_.isNull());
  AcDbEntity* entity = nullptr;
  Acad::ErrorStatus opened = acdbOpenObject(entity, id_, AcDb::kForWrite);
  if (opened != Acad::eOk) return opened;
  entity->recordGraphicsModified(true);
  return entity->close();
}
