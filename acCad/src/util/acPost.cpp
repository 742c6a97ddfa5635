#include "util/acPost.h"

#include "amg/CaeMsgCall.h"
#include "arx/acdocman.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbsymtb.h"
#include "arx/dbtrans.h"

namespace {

AcDbDatabase* workingDatabase() {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  CAE_CHECK(db != nullptr);
  return db;
}

}  // namespace

AcDbTransactionManager* acCurrentTransactionManager() {
  AcApDocManager* manager = acDocManagerPtr();
  AcApDocument* document = manager ? manager->curDocument() : nullptr;
  return document ? document->transactionManager() : nullptr;
}

void acPostToModelSpace(AcDbEntity* entity, AcDbObjectId& id, int close) {
  AcDbDatabase* db = workingDatabase();
  AcDbBlockTable* blocks = nullptr;
  CAE_CHECK(db->getBlockTable(blocks, AcDb::kForRead) == Acad::eOk);
  AcDbBlockTableRecord* modelSpace = nullptr;
  Acad::ErrorStatus opened = blocks->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForWrite);
  Acad::ErrorStatus closed = blocks->close();
  CAE_CHECK(opened == Acad::eOk);
  if (closed != Acad::eOk) {
    modelSpace->close();
    CAE_GENERAL_ERROR();
  }
  Acad::ErrorStatus appended = modelSpace->appendAcDbEntity(id, entity);
  if (appended != Acad::eOk) {
    modelSpace->close();
    CAE_GENERAL_ERROR();
  }
  if (close && entity->close() != Acad::eOk) {
    modelSpace->close();
    CAE_GENERAL_ERROR();
  }
  CAE_CHECK(modelSpace->close() == Acad::eOk);
}

void acPostToModelSpaceAndClose(AcDbEntity* entity, AcDbObjectId& id) { acPostToModelSpace(entity, id, 1); }

void acAddDbObject(AcDbObject* object, AcDbObjectId& id, int close) {
  Acad::ErrorStatus status = workingDatabase()->addAcDbObject(id, object);
  CAE_CHECK(status == Acad::eOk || status == Acad::eAlreadyInDb);
  if (status == Acad::eAlreadyInDb) id = object->objectId();
  if (close) CAE_CHECK(object->close() == Acad::eOk);
}

AcDbObject* acOpenObject(AcDbObjectId id, Acad::ErrorStatus& status, int tolerant, int mode) {
  AcDbTransactionManager* transactions = acCurrentTransactionManager();
  CAE_CHECK(transactions != nullptr);
  const bool openErased = tolerant == 0;
  const auto openMode = mode == AcDb::kForWrite ? AcDb::kForWrite : AcDb::kForRead;
  AcDbObject* object = nullptr;
  status = transactions->getObject(object, id, openMode, openErased);
  // Open for write directly by someone else: a reader may still look at it, a writer may not.
  if (status == Acad::eWasOpenForWrite && openMode == AcDb::kForRead)
    status = transactions->getObject(object, id, AcDb::kForRead, openErased);
  if (tolerant) {
    // An id whose record was dropped on reading, or whose object a transaction abort removed,
    // never opens again: it is as erased.
    if (status == Acad::ePermanentlyErased) status = Acad::eWasErased;
    CAE_CHECK(status == Acad::eOk || status == Acad::eWasErased);
  } else {
    CAE_CHECK(status == Acad::eOk);
  }
  return status == Acad::eOk ? object : nullptr;
}

AcDbObject* acOpenForWrite(AcDbObjectId id) {
  Acad::ErrorStatus status = Acad::eOk;
  return acOpenObject(id, status, 1, AcDb::kForWrite);
}

AcDbObject* acOpenObjectErased(AcDbObjectId id, Acad::ErrorStatus& status, int tolerant) {
  return acOpenObject(id, status, tolerant, AcDb::kForRead);
}

AcDbObjectId acObjectIdOf(const AcDbObject* object) { return object->objectId(); }

int acCountOpenableIds(AcDbObjectIdArray ids) {
  int count = 0;
  for (const AcDbObjectId& id : ids) {
    Acad::ErrorStatus status = Acad::eOk;
    acOpenObject(id, status, 1, AcDb::kForWrite);
    if (status == Acad::eOk) ++count;
  }
  return count;
}
