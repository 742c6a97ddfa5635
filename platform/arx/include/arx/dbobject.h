// Database-resident objects.
//
// Open model: an object in a database is used through a pointer obtained by opening its id, either
// directly (acdbOpenObject ..., ended by close()) or through a transaction (the transaction
// manager's getObject; the object stays open until the transaction ends and is never closed by
// the caller). Direct opens: any number of readers, or one writer; opening an object that is open
// for write directly fails with eWasOpenForWrite (320), opening for write an object open for read
// directly fails with eWasOpenForRead. An object that is open in an active transaction can be
// opened again directly in any mode (the pointer is the same; close() then only balances it).
// Erased objects open only when `openErased` is true (else eWasErased, 80); an object removed by
// a transaction abort opens with ePermanentlyErased.
//
// Writing: the first write-open of an object while an undo group is open snapshots the object
// through its own dwgOutFields with an undo filer; the first write-open inside a transaction
// snapshots it for that transaction's abort. assertWriteEnabled(autoUndo = true) records the same
// undo snapshot for an object already open. When the last opener of a modified object lets go,
// its reactors receive modified(obj) and the database reactors objectModified.
//
// Erase: erase(true) erases, erase(false) un-erases; both need the object open for write and call
// subErase(erasing) first, and a non-zero status from subErase stops the erase and is returned.
// Erasing another object (or this one again) from inside subErase works; a nested erase of an
// object whose erase is already under way returns eOk and does nothing. Erased objects stay in
// the database (their ids keep working) so that un-erase and undo can bring them back.
//
// Objects not yet in a database are always readable and writable, and delete may be used on them.
// Objects in a database belong to it and are deleted with it (deleting one earlier makes its id
// open with ePermanentlyErased).
#pragma once

#include <vector>

#include "arx/adesk.h"
#include "arx/dbid.h"
#include "arx/rxobject.h"
#include "arx/status.h"

class AcDbDwgFiler;
class AcDbDxfFiler;
class AcDbObject;
class AcDbObjectAccess;

// Receives notifications about the objects it is attached to. Notifications arrive on the
// host's thread; an exception thrown by a reactor is caught and ignored by the database.
class AcDbObjectReactor : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbObjectReactor);
  // The object was modified and has been closed (its last opener let go).
  virtual void modified(const AcDbObject* object);
  // The object was erased (erasing true) or un-erased (false): by a call, undo, redo or an abort.
  virtual void erased(const AcDbObject* object, Adesk::Boolean erasing = true);
  // Undo (or redo) restored an earlier state of the object's fields.
  virtual void modifyUndone(const AcDbObject* object);
};

class AcDbObject : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbObject);
  AcDbObject();
  ~AcDbObject() override;
  AcDbObject(const AcDbObject&) = delete;
  AcDbObject& operator=(const AcDbObject&) = delete;

  // Identity and ownership.
  AcDbObjectId objectId() const;  // null while the object is not in a database
  AcDbHandle objectHandle() const;
  AcDbDatabase* database() const;
  AcDbObjectId ownerId() const { return ownerId_; }
  // Needs the object open for write (or not yet in a database).
  Acad::ErrorStatus setOwnerId(AcDbObjectId owner);

  // Open state.
  bool isReadEnabled() const;
  bool isWriteEnabled() const;
  bool isNotifyEnabled() const;
  bool isErased() const { return erased_; }
  bool isNewObject() const { return objectId().isNull(); }
  // Ends one direct open. Closing an object that is not open directly returns eNotOpenForRead.
  Acad::ErrorStatus close();
  // A direct reader becomes the writer (fails with eWasOpenForRead when others read it too, or with
  // what subOpen(kForWrite) answers).
  Acad::ErrorStatus upgradeOpen();
  Acad::ErrorStatus downgradeOpen();
  // These check nothing that can fail at run time; they are where the host hooks its bookkeeping.
  void assertReadEnabled() const {}
  void assertNotifyEnabled() const {}
  // With autoUndo, records the undo snapshot of the object if the open undo group has none yet;
  // with recordModified, marks the object modified so that its close notifies.
  void assertWriteEnabled(Adesk::Boolean autoUndo = true, Adesk::Boolean recordModified = true);

  Acad::ErrorStatus erase(Adesk::Boolean erasing = true);
  // True while undo or redo of the object's database replays recorded changes: an erase seen then
  // (in subErase) is history being replayed, whose cascades are replayed from the history too.
  bool isUndoing() const;

  // Reactors: transient, not owned, not filed. Adding one that is attached already does nothing.
  void addReactor(AcDbObjectReactor* reactor);
  void removeReactor(AcDbObjectReactor* reactor);
  const std::vector<AcDbObjectReactor*>& reactors() const { return reactors_; }

  // Overridable operations, in this order.
  // Called by every open of the object; a non-zero status makes the open fail.
  virtual Acad::ErrorStatus subOpen(AcDb::OpenMode mode);
  virtual Acad::ErrorStatus subClose();
  // Called by erase before the erased state changes.
  virtual Acad::ErrorStatus subErase(Adesk::Boolean erasing);
  // File the object's fields. The base files the owner id. Overrides call the base first.
  virtual Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);
  virtual Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
  // DXF fields. The base files handle (5) and owner (330).
  virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer);
  virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const;

 private:
  friend class AcDbObjectAccess;  // the database's internal bookkeeping
  friend class AcDbDirectOpen;
  AcDbStub* stub_ = nullptr;
  AcDbObjectId ownerId_;
  std::vector<AcDbObjectReactor*> reactors_;
  Adesk::UInt32 directReaders_ = 0;
  Adesk::UInt32 directNotifiers_ = 0;
  Adesk::UInt32 nestedDirectOpens_ = 0;  // direct opens of a transaction-resident object
  Adesk::UInt32 filing_ = 0;             // the database is filing or restoring the object
  bool directWriter_ = false;
  bool transactionWrite_ = false;
  bool erased_ = false;
  bool eraseUnderWay_ = false;
  bool modified_ = false;
};

// Opens an object directly (see the open model above).
Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);

// Opens an object directly as class T; eNotThatKindOfClass (nothing stays open) when it is not one.
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
  object = nullptr;
  AcDbObject* opened = nullptr;
  Acad::ErrorStatus status = acdbOpenObject(opened, id, mode, openErased);
  if (status != Acad::eOk) return status;
  object = T::cast(opened);
  if (!object) {
    opened->close();
    return Acad::eNotThatKindOfClass;
  }
  return Acad::eOk;
}
