#include "db/dbOpen.h"

#include "amg/CaeActive.h"
#include "amg/CaeMsgCall.h"
#include "arx/dbdatabase.h"
#include "arx/dbobject.h"
#include "arx/dbtrans.h"

DbTransaction::DbTransaction(AcDbDatabase* database) : database_(database) {
  CAE_CHECK(database_ && database_->transactionManager());
  database_->transactionManager()->startTransaction();
}

DbTransaction::~DbTransaction() { database_->transactionManager()->endTransaction(); }

AcDbObject* dbOpenMember(AcDbDatabase* database, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  CAE_CHECK(database != nullptr);
  if (id.isNull()) return nullptr;
  AcDbTransactionManager* transactions = database->transactionManager();
  CAE_CHECK(transactions->numActiveTransactions() > 0);
  AcDbObject* object = nullptr;
  const Acad::ErrorStatus status = transactions->getObject(object, id, mode, openErased);
  if (status == Acad::eWasErased || status == Acad::ePermanentlyErased) return nullptr;
  CAE_CHECK(status == Acad::eOk);
  if (auto* marks = dbCrossCast<CaeActive>(object)) dbFollowErasedState(*marks, *object);
  return object;
}

AcDbObject* dbOpenLive(AcDbDatabase* database, AcDbObjectId id, AcDb::OpenMode mode) {
  AcDbObject* object = dbOpenMember(database, id, mode);
  auto* marks = dbCrossCast<CaeActive>(object);
  return marks && marks->IsMarkedAsErased() ? nullptr : object;
}

void dbWriteEnable(AcDbObject& object) {
  AcDbDatabase* database = object.database();
  AcDbTransactionManager* transactions = database ? database->transactionManager() : nullptr;
  if (!object.isWriteEnabled() && transactions && transactions->numActiveTransactions() > 0) {
    AcDbObject* same = nullptr;
    const Acad::ErrorStatus status = transactions->getObject(same, object.objectId(), AcDb::kForWrite, true);
    CAE_CHECK(status == Acad::eOk && same == &object);
    return;
  }
  object.assertWriteEnabled();
}

bool dbIsErasedOrGone(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  const Acad::ErrorStatus status = acdbOpenObject(object, id, AcDb::kForRead, true);
  if (status != Acad::eOk) return status == Acad::ePermanentlyErased;
  const bool erased = object->isErased();
  object->close();
  return erased;
}

void dbFollowErasedState(CaeActive& engine, const AcDbObject& object) {
  if (object.isErased() == engine.IsMarkedAsErased()) return;
  if (object.isErased())
    engine.MarkAsErased();
  else
    engine.MarkAsNotErased();
}
