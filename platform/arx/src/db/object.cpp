#include <algorithm>

#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "database_impl.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObjectReactor, AcRxObject)
ACRX_CONS_DEFINE_MEMBERS(AcDbObject, AcRxObject, "ACDBOBJECT")

void AcDbObjectReactor::modified(const AcDbObject*) {}
void AcDbObjectReactor::erased(const AcDbObject*, Adesk::Boolean) {}
void AcDbObjectReactor::modifyUndone(const AcDbObject*) {}

AcDbObject::AcDbObject() = default;
AcDbObject::~AcDbObject() {
  // Deleting an object that is still in a database leaves its id pointing at nothing.
  if (stub_ && stub_->object == this) stub_->object = nullptr;
}

AcDbObjectId AcDbObject::objectId() const { return AcDbObjectId(stub_); }

AcDbHandle AcDbObject::objectHandle() const { return stub_ ? stub_->handle : AcDbHandle(); }

AcDbDatabase* AcDbObject::database() const { return stub_ ? stub_->database : nullptr; }

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  assertWriteEnabled();
  ownerId_ = owner;
  return Acad::eOk;
}

bool AcDbObject::isReadEnabled() const { return !stub_ || filing_ > 0 || AcDbObjectAccess::isOpen(this); }

bool AcDbObject::isWriteEnabled() const { return !stub_ || filing_ > 0 || directWriter_ || transactionWrite_; }

bool AcDbObject::isNotifyEnabled() const { return directNotifiers_ > 0 || isWriteEnabled(); }

void AcDbObject::assertWriteEnabled(Adesk::Boolean autoUndo, Adesk::Boolean recordModified) {
  if (!stub_ || filing_ > 0) return;  // new objects and the database's own filing record nothing
  AcDbDatabase::Impl& db = stub_->database->impl();
  if (autoUndo && db.suppressRecording == 0 && db.undo.wantsSnapshot(stub_))
    db.undo.recordModified(stub_, AcDbObjectAccess::snapshot(this));
  if (recordModified) modified_ = true;
  if (db.suppressRecording == 0) ++db.changes;
}

Acad::ErrorStatus AcDbObject::close() {
  if (!stub_) return Acad::eOk;  // closing a new object that was never added: nothing is open
  if (nestedDirectOpens_ > 0) {
    --nestedDirectOpens_;
    return Acad::eOk;
  }
  if (directWriter_) {
    directWriter_ = false;
  } else if (directReaders_ > 0) {
    --directReaders_;
  } else if (directNotifiers_ > 0) {
    --directNotifiers_;
  } else {
    return stub_->resident ? Acad::eOk : Acad::eNotOpenForRead;
  }
  subClose();
  if (!AcDbObjectAccess::isOpen(this)) AcDbObjectAccess::finishClose(this);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
  if (!stub_ || directWriter_ || transactionWrite_) return Acad::eOk;
  if (directReaders_ != 1) return Acad::eWasOpenForRead;
  if (Acad::ErrorStatus status = subOpen(AcDb::kForWrite); status != Acad::eOk) return status;
  directReaders_ = 0;
  directWriter_ = true;
  stub_->database->impl().captureBeforeWrite(this);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
  if (!stub_ || !directWriter_) return Acad::eNotOpenForWrite;
  directWriter_ = false;
  directReaders_ = 1;
  return Acad::eOk;
}

bool AcDbObject::isUndoing() const { return stub_ && stub_->database->impl().replayingHistory > 0; }

Acad::ErrorStatus AcDbObject::erase(Adesk::Boolean erasing) {
  if (!stub_) return Acad::eNotInDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (eraseUnderWay_) return Acad::eOk;  // an erase cascade came back to this object
  if (erased_ == erasing) return erasing ? Acad::eWasErased : Acad::eWasNotErased;
  eraseUnderWay_ = true;
  Acad::ErrorStatus status = subErase(erasing);
  eraseUnderWay_ = false;
  if (status != Acad::eOk) return status;
  erased_ = erasing;
  stub_->database->impl().recordErase(this, erasing);
  AcDbObjectAccess::notifyErased(this, erasing);
  return Acad::eOk;
}

void AcDbObject::addReactor(AcDbObjectReactor* reactor) {
  if (reactor && std::find(reactors_.begin(), reactors_.end(), reactor) == reactors_.end())
    reactors_.push_back(reactor);
}

void AcDbObject::removeReactor(AcDbObjectReactor* reactor) {
  reactors_.erase(std::remove(reactors_.begin(), reactors_.end(), reactor), reactors_.end());
}

Acad::ErrorStatus AcDbObject::subOpen(AcDb::OpenMode) { return Acad::eOk; }
Acad::ErrorStatus AcDbObject::subClose() { return Acad::eOk; }
Acad::ErrorStatus AcDbObject::subErase(Adesk::Boolean) { return Acad::eOk; }

Acad::ErrorStatus AcDbObject::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  AcDbHardPointerId owner;
  if (filer->readHardPointerId(&owner) != Acad::eOk) return filer->filerStatus();
  ownerId_ = owner;
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  filer->writeHardPointerId(ownerId_);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  AcDbDxfItem item;
  // The handle was used to place the object; it is read past here.
  if (filer->peek(&item) && item.code == 5) filer->readItem(&item);
  AcDbObjectId owner;
  if (filer->peek(&item) && item.code == 330 && filer->readObjectId(330, &owner) == Acad::eOk) ownerId_ = owner;
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  filer->writeString(5, objectHandle().text());
  filer->writeObjectId(330, ownerId_);
  return filer->filerStatus();
}

// ---- direct opens --------------------------------------------------------------------------

namespace {

Acad::ErrorStatus openResident(AcDbObject* object, AcDb::OpenMode mode) {
  Acad::ErrorStatus status = object->subOpen(mode);
  if (status != Acad::eOk) return status;
  if (mode == AcDb::kForWrite) {
    if (!object->isWriteEnabled()) AcDbObjectAccess::setTransactionWrite(object, true);
    object->database()->impl().captureBeforeWrite(object);
  }
  return Acad::eOk;
}

}  // namespace

class AcDbDirectOpen {
 public:
  static Acad::ErrorStatus open(AcDbObject*& result, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
    result = nullptr;
    AcDbStub* stub = id.stub();
    if (!stub) return Acad::eNullObjectId;
    AcDbObject* object = stub->object;
    if (!object) return Acad::ePermanentlyErased;
    if (object->erased_ && !openErased) return Acad::eWasErased;
    if (stub->resident) {
      Acad::ErrorStatus status = openResident(object, mode);
      if (status != Acad::eOk) return status;
      ++object->nestedDirectOpens_;
      result = object;
      return Acad::eOk;
    }
    if (object->directWriter_) return Acad::eWasOpenForWrite;
    if (mode == AcDb::kForWrite && (object->directReaders_ > 0 || object->directNotifiers_ > 0))
      return Acad::eWasOpenForRead;
    Acad::ErrorStatus status = object->subOpen(mode);
    if (status != Acad::eOk) return status;
    if (mode == AcDb::kForWrite) {
      object->directWriter_ = true;
      stub->database->impl().captureBeforeWrite(object);
    } else if (mode == AcDb::kForRead) {
      ++object->directReaders_;
    } else {
      ++object->directNotifiers_;
    }
    result = object;
    return Acad::eOk;
  }
};

Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  return AcDbDirectOpen::open(object, id, mode, openErased);
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  return AcDbDirectOpen::open(object, id, mode, openErased);
}

// ---- the database's access -----------------------------------------------------------------

bool AcDbObjectAccess::isOpen(const AcDbObject* object) {
  return object->directWriter_ || object->directReaders_ > 0 || object->directNotifiers_ > 0 ||
         object->nestedDirectOpens_ > 0 || (object->stub_ && object->stub_->resident);
}

std::string AcDbObjectAccess::snapshot(const AcDbObject* object) {
  AcDbDwgFiler filer(AcDb::kUndoFiler, object->database());
  {
    FilingScope filing(object);
    object->dwgOutFields(&filer);
  }
  return filer.takeBuffer();
}

Acad::ErrorStatus AcDbObjectAccess::restore(AcDbObject* object, const std::string& fields) {
  AcDbDwgFiler filer(AcDb::kUndoFiler, object->database(), fields);
  FilingScope filing(object);
  return object->dwgInFields(&filer);
}

void AcDbObjectAccess::setErasedByHistory(AcDbObject* object, bool erasing, bool callSubErase) {
  if (object->erased_ == erasing) return;
  if (callSubErase) {
    FilingScope filing(object);  // write-enabled for the override, which may open and erase others
    object->eraseUnderWay_ = true;
    object->subErase(erasing);
    object->eraseUnderWay_ = false;
  }
  object->erased_ = erasing;
  notifyErased(object, erasing);
}

void AcDbObjectAccess::finishClose(AcDbObject* object) {
  if (!object->modified_) return;
  object->modified_ = false;
  std::vector<AcDbObjectReactor*> reactors = object->reactors_;
  for (AcDbObjectReactor* reactor : reactors) callReactorSafely([&] { reactor->modified(object); });
  AcDbDatabase* db = object->database();
  std::vector<AcDbDatabaseReactor*> dbReactors = db->impl().reactors;
  for (AcDbDatabaseReactor* reactor : dbReactors) callReactorSafely([&] { reactor->objectModified(db, object); });
}

void AcDbObjectAccess::notifyErased(AcDbObject* object, bool erasing) {
  std::vector<AcDbObjectReactor*> reactors = object->reactors_;
  for (AcDbObjectReactor* reactor : reactors) callReactorSafely([&] { reactor->erased(object, erasing); });
  AcDbDatabase* db = object->database();
  std::vector<AcDbDatabaseReactor*> dbReactors = db->impl().reactors;
  for (AcDbDatabaseReactor* reactor : dbReactors)
    callReactorSafely([&] { reactor->objectErased(db, object, erasing); });
}

void AcDbObjectAccess::notifyModifyUndone(AcDbObject* object) {
  std::vector<AcDbObjectReactor*> reactors = object->reactors_;
  for (AcDbObjectReactor* reactor : reactors) callReactorSafely([&] { reactor->modifyUndone(object); });
}

void AcDbObjectAccess::notifyAppended(AcDbObject* object) {
  AcDbDatabase* db = object->database();
  std::vector<AcDbDatabaseReactor*> dbReactors = db->impl().reactors;
  for (AcDbDatabaseReactor* reactor : dbReactors) callReactorSafely([&] { reactor->objectAppended(db, object); });
}
