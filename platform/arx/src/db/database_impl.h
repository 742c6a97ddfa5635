// Internal state of a database, shared by the database's own modules (not installed).
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/dbproxy.h"
#include "undo_history.h"

// The database's record of one object. Ids point at stubs; stubs live as long as the database.
class AcDbStub {
 public:
  AcDbDatabase* database = nullptr;
  AcDbObject* object = nullptr;  // null once a transaction abort removed the object
  AcDbHandle handle;
  bool resident = false;        // held open by the transactions until the outermost one ends
  int addedDepth = 0;           // transaction frame the object was added in; 0 = none
  Adesk::UInt64 undoMark = 0;   // serial of the undo group that holds its snapshot
  Adesk::UInt64 abortMark = 0;  // serial of the innermost transaction frame holding its saved state
};

struct AcDbDatabase::Impl {
  explicit Impl(AcDbDatabase* owner);

  AcDbStub* newStub(AcDbHandle handle = AcDbHandle());
  AcDbStub* stubOf(AcDbHandle handle) const;
  AcDbObjectId idOf(AcDbHandle handle) const;
  // Puts a new object into the database, open for write (as addAcDbObject does).
  AcDbObjectId add(AcDbObject* object);
  // Called on every first write-open: snapshots for undo and for the innermost transaction.
  void captureBeforeWrite(AcDbObject* object);
  // Records an erase or un-erase that happened (undo history).
  void recordErase(AcDbObject* object, bool erasing);
  // Creates whichever standard table, record or dictionary is missing.
  void ensureStandardObjects();

  AcDbDatabase* self;
  std::deque<AcDbStub> stubs;
  // Handles are handed out densely from 1, so most are found by index; files may bring others.
  static constexpr Adesk::UInt64 kDenseHandles = Adesk::UInt64{1} << 24;
  std::vector<AcDbStub*> byDenseHandle;
  std::unordered_map<Adesk::UInt64, AcDbStub*> bySparseHandle;
  void forgetAllStubs();
  Adesk::UInt64 nextHandle = 1;
  AcDbObjectId blockTable, layerTable, linetypeTable, namedObjects, modelSpace, layerZero, continuous, clayer;
  std::unique_ptr<AcDbTransactionManager> transactions;
  std::vector<AcDbDatabaseReactor*> reactors;
  std::string filename;
  UndoHistory undo;
  int suppressRecording = 0;  // > 0 while undo, redo, abort or loading rewrites objects
  int replayingHistory = 0;   // > 0 while undo or redo replays recorded changes
  int filingObjects = 0;      // > 0 while an object's fields are written or read (FilingScope)
  // Changes made by commands (writes, additions, erasures, undo and redo), and their number when
  // the drawing was last read or saved.
  Adesk::UInt64 changes = 0;
  Adesk::UInt64 savedChanges = 0;
  std::vector<AcDbObjectId> graphicsModified;
};

// Undo recording off for the lifetime of this object (undo, redo, abort and loading rewrite objects).
class SuppressRecording {
 public:
  explicit SuppressRecording(AcDbDatabase::Impl& db) : db_(db) { ++db_.suppressRecording; }
  ~SuppressRecording() { --db_.suppressRecording; }
  SuppressRecording(const SuppressRecording&) = delete;
  SuppressRecording& operator=(const SuppressRecording&) = delete;

 private:
  AcDbDatabase::Impl& db_;
};

// Friend of AcDbObject: the database's access to an object's open state and notifications.
class AcDbObjectAccess {
 public:
  static AcDbStub* stub(const AcDbObject* object) { return object->stub_; }
  static void attach(AcDbObject* object, AcDbStub* stub) { object->stub_ = stub; }
  static void setOwner(AcDbObject* object, AcDbObjectId owner) { object->ownerId_ = owner; }
  static void setDirectWriter(AcDbObject* object, bool on) { object->directWriter_ = on; }
  static bool directWriter(const AcDbObject* object) { return object->directWriter_; }
  static bool transactionWrite(const AcDbObject* object) { return object->transactionWrite_; }
  static void setTransactionWrite(AcDbObject* object, bool on) { object->transactionWrite_ = on; }
  static void beginFiling(AcDbObject* object) { ++object->filing_; }
  static void endFiling(AcDbObject* object) { --object->filing_; }
  static void clearModified(AcDbObject* object) { object->modified_ = false; }
  static bool erased(const AcDbObject* object) { return object->erased_; }
  static void setErased(AcDbObject* object, bool erased) { object->erased_ = erased; }
  // True while anyone (directly or through a transaction) holds the object open.
  static bool isOpen(const AcDbObject* object);

  // The object's fields as written by its dwgOutFields with an undo filer.
  static std::string snapshot(const AcDbObject* object);
  // Puts back fields taken by snapshot(), through dwgInFields with an undo filer.
  static Acad::ErrorStatus restore(AcDbObject* object, const std::string& fields);
  // Sets the erased state as undo, redo and abort do: subErase is called, nothing is recorded.
  static void setErasedByHistory(AcDbObject* object, bool erasing, bool callSubErase);
  // When the last opener let go: a modified object notifies its reactors and the database's.
  static void finishClose(AcDbObject* object);

  static void notifyErased(AcDbObject* object, bool erasing);
  static void notifyModifyUndone(AcDbObject* object);
  static void notifyAppended(AcDbObject* object);
};

// The database files or restores the object for the lifetime of this object (it is read- and
// write-enabled, and nothing it does is recorded).
class FilingScope {
 public:
  explicit FilingScope(const AcDbObject* object)
      : object_(const_cast<AcDbObject*>(object)), db_(object->database() ? &object->database()->impl() : nullptr) {
    AcDbObjectAccess::beginFiling(object_);
    if (db_) ++db_->filingObjects;
  }
  ~FilingScope() {
    AcDbObjectAccess::endFiling(object_);
    if (db_) --db_->filingObjects;
  }
  FilingScope(const FilingScope&) = delete;
  FilingScope& operator=(const FilingScope&) = delete;

 private:
  AcDbObject* object_;
  AcDbDatabase::Impl* db_;
};

// Friend of the binary filer: untagged bytes around the records, written by the drawing writer.
class AcDbFilerAccess {
 public:
  static void appendRaw(AcDbDwgFiler& filer, const void* data, std::size_t size) { filer.appendRaw(data, size); }
  static std::size_t used(const AcDbDwgFiler& filer) { return filer.used_; }
  static void reserve(AcDbDwgFiler& filer, std::size_t size) {
    if (filer.buffer_.size() < size) filer.buffer_.resize(size);
  }
  static void overwrite(AcDbDwgFiler& filer, std::size_t offset, const void* data, std::size_t size) {
    std::memcpy(filer.buffer_.data() + offset, data, size);
  }
  // What a reading filer has not read yet; the filer then stands at its end.
  static std::string_view takeRest(AcDbDwgFiler& filer) {
    std::string_view rest = filer.input_.substr(std::min(filer.position_, filer.input_.size()));
    filer.position_ = filer.input_.size();
    return rest;
  }
};

// True when `fields` is a sequence of whole, known filer fields that starts with the owner's id
// (what every object's dwgOutFields writes first); the owner's handle goes to `ownerHandle`.
bool wellFormedFields(std::string_view fields, Adesk::UInt64* ownerHandle);

// Makes the stand-in for an object whose class is not registered.
class AcDbProxyAccess {
 public:
  static AcDbProxyObject* make(std::string_view className, std::string_view fields) {
    auto* proxy = new AcDbProxyObject();
    proxy->className_ = className;
    proxy->fields_ = fields;
    return proxy;
  }
};

// Friend of the containers: links objects that a file placed on their stubs already.
class AcDbContainerAccess {
 public:
  static void link(AcDbSymbolTable* table, AcDbObjectId record) { table->records_.push_back(record); }
  static void link(AcDbBlockTableRecord* block, AcDbObjectId entity) { block->entities_.push_back(entity); }
};

// Friend of the transaction manager: the parts of it the database's modules use.
class AcDbTransactionAccess {
 public:
  static bool active(const AcDbTransactionManager* manager) { return !manager->frames_.empty(); }
  // Saves the object's state for the innermost frame unless that frame has it already.
  static void saveForAbort(AcDbTransactionManager* manager, AcDbObject* object, const std::string* fields);
  static bool wantsSnapshot(const AcDbTransactionManager* manager, const AcDbStub* stub);
  static void noteAdded(AcDbTransactionManager* manager, AcDbStub* stub);
  static int numOpened(const AcDbTransactionManager* manager, int depth);
};

// True when a DXF file holds the object: it exists, is not erased and its class has a DXF name.
// References to any other object are written as null handles, so every handle in a file resolves.
bool writtenToDxf(const AcDbObjectId& id);

// Calls a reactor, keeping an exception thrown by it away from the database.
template <class Call>
void callReactorSafely(Call&& call) {
  try {
    call();
  } catch (...) {}
}
