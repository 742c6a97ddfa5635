// Transactions of one database.
//
// Transactions nest. getObject opens an object in the innermost transaction; it stays open until
// that transaction ends (callers never close it). Ending a nested transaction hands its objects
// to the enclosing one; ending the outermost closes them all (modified objects notify then).
// Opening an object again inside the open transactions succeeds in the mode asked (a read-open
// object becomes write-enabled). getObject fails with eWasOpenForWrite (320) only when the object
// is open for write directly (outside transactions), with eWasErased (80) for an erased object
// unless openErased, with eNoActiveTransactions when none is active and with eWrongDatabase for
// an id of another database.
//
// abortTransaction rolls back the innermost transaction: every object opened for write in it gets
// back the fields (through its own dwgOutFields/dwgInFields) and the erased state it had when it
// was first opened for write in that transaction, and every object added to the database while
// it was the innermost is removed (deleted; its id then opens with ePermanentlyErased). Objects
// opened for write directly (acdbOpenObject) while a transaction is active count as opened in the
// innermost one, so that containers changed that way (model space, dictionaries) are restored too.
//
// Graphics flush is bookkeeping for the host's display: queueForGraphicsFlush() queues the
// entities whose graphics were marked modified, flushGraphics() counts a flush and empties the
// queue.
#pragma once

#include <memory>

#include "arx/dbobject.h"

class AcDbTransactionManager;

class AcTransaction {
 public:
  // The same as the manager's getObject while this transaction is the innermost; eNotTopTransaction
  // otherwise.
  Acad::ErrorStatus getObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false);
  // Number of objects this transaction holds open.
  int numOpenedObjects() const;

 private:
  friend class AcDbTransactionManager;
  friend class AcDbTransactionAccess;
  AcTransaction(AcDbTransactionManager* manager, int depth) : manager_(manager), depth_(depth) {}
  AcDbTransactionManager* manager_;
  int depth_;
};

class AcDbTransactionManager {
 public:
  explicit AcDbTransactionManager(AcDbDatabase* database);
  ~AcDbTransactionManager();
  AcDbTransactionManager(const AcDbTransactionManager&) = delete;
  AcDbTransactionManager& operator=(const AcDbTransactionManager&) = delete;

  AcDbDatabase* database() const { return database_; }
  // Starts a nested transaction; never null.
  AcTransaction* startTransaction();
  // Commits the innermost transaction; eNoActiveTransactions when none is active.
  Acad::ErrorStatus endTransaction();
  // Rolls back the innermost transaction; eNoActiveTransactions when none is active.
  Acad::ErrorStatus abortTransaction();
  int numActiveTransactions() const;
  AcTransaction* topTransaction() const;

  Acad::ErrorStatus getObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false);
  template <class T>
  Acad::ErrorStatus getObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
    object = nullptr;
    AcDbObject* opened = nullptr;
    Acad::ErrorStatus status = getObject(opened, id, mode, openErased);
    if (status != Acad::eOk) return status;
    object = T::cast(opened);
    return object ? Acad::eOk : Acad::eNotThatKindOfClass;
  }

  void enableGraphicsFlush(bool enable) { graphicsFlushEnabled_ = enable; }
  bool isGraphicsFlushEnabled() const { return graphicsFlushEnabled_; }
  // Queues the entities marked graphics-modified; eOk.
  Acad::ErrorStatus queueForGraphicsFlush();
  // Empties the queue and counts a flush (only while flushing is enabled); eOk.
  Acad::ErrorStatus flushGraphics();
  int numGraphicsFlushes() const { return flushes_; }
  int numQueuedForFlush() const { return static_cast<int>(queued_.size()); }

 private:
  friend class AcDbTransactionAccess;
  struct Frame;
  AcDbDatabase* database_;
  std::vector<std::unique_ptr<Frame>> frames_;
  std::vector<AcDbObjectId> queued_;
  bool graphicsFlushEnabled_ = false;
  int flushes_ = 0;
};
