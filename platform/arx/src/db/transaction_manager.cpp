#include "database_impl.h"

namespace {

// What an abort puts back: the fields and erased state at the first write-open in the frame.
// `previousMark` is the stub's abort mark before this frame saved it: when it names the
// enclosing frame, that frame has a saved state of its own.
struct SavedState {
  AcDbStub* stub;
  Adesk::UInt64 previousMark;
  std::string fields;
  bool erased;
};

Adesk::UInt64 nextFrameSerial = 1;

}  // namespace

struct AcDbTransactionManager::Frame {
  Frame(AcDbTransactionManager* manager, int depth) : transaction(manager, depth), serial(nextFrameSerial++) {}
  AcTransaction transaction;
  Adesk::UInt64 serial;
  std::vector<AcDbStub*> opened;  // objects that became resident in this frame
  std::vector<SavedState> saved;  // at most one per object (see the stubs' abort marks)
  std::vector<AcDbStub*> added;
  Adesk::UInt64 undoSerial = 0;  // the undo group and position when the frame started
  std::size_t undoMark = 0;
};

AcDbTransactionManager::AcDbTransactionManager(AcDbDatabase* database) : database_(database) {}

AcDbTransactionManager::~AcDbTransactionManager() = default;

AcTransaction* AcDbTransactionManager::startTransaction() {
  auto frame = std::make_unique<Frame>(this, static_cast<int>(frames_.size()) + 1);
  frame->undoSerial = database_->impl().undo.currentSerial();
  frame->undoMark = database_->impl().undo.mark();
  frames_.push_back(std::move(frame));
  return &frames_.back()->transaction;
}

int AcDbTransactionManager::numActiveTransactions() const { return static_cast<int>(frames_.size()); }

AcTransaction* AcDbTransactionManager::topTransaction() const {
  return frames_.empty() ? nullptr : &frames_.back()->transaction;
}

Acad::ErrorStatus AcDbTransactionManager::getObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                                    bool openErased) {
  object = nullptr;
  if (frames_.empty()) return Acad::eNoActiveTransactions;
  AcDbStub* stub = id.stub();
  if (!stub) return Acad::eNullObjectId;
  if (stub->database != database_) return Acad::eWrongDatabase;
  AcDbObject* found = stub->object;
  if (!found) return Acad::ePermanentlyErased;
  if (AcDbObjectAccess::erased(found) && !openErased) return Acad::eWasErased;
  if (!stub->resident && AcDbObjectAccess::directWriter(found))
    return Acad::eWasOpenForWrite;  // open for write directly, outside the transactions
  Acad::ErrorStatus status = found->subOpen(mode);
  if (status != Acad::eOk) return status;
  if (!stub->resident) {
    stub->resident = true;
    frames_.back()->opened.push_back(stub);
  }
  if (mode == AcDb::kForWrite) {
    AcDbObjectAccess::setTransactionWrite(found, true);
    database_->impl().captureBeforeWrite(found);  // once per undo group and per frame
  }
  object = found;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::endTransaction() {
  if (frames_.empty()) return Acad::eNoActiveTransactions;
  std::unique_ptr<Frame> frame = std::move(frames_.back());
  frames_.pop_back();
  if (!frames_.empty()) {
    Frame* parent = frames_.back().get();
    int depth = numActiveTransactions();
    // The objects stay open until the outermost transaction ends: the parent takes the list.
    parent->opened.insert(parent->opened.end(), frame->opened.begin(), frame->opened.end());
    for (SavedState& state : frame->saved) {
      state.stub->abortMark = parent->serial;
      if (state.previousMark != parent->serial) parent->saved.push_back(std::move(state));
    }
    for (AcDbStub* stub : frame->added) {
      stub->addedDepth = depth;
      parent->added.push_back(stub);
    }
  } else {
    for (AcDbStub* stub : frame->added) stub->addedDepth = 0;
    for (AcDbStub* stub : frame->opened) {
      stub->resident = false;
      if (!stub->object) continue;
      AcDbObjectAccess::setTransactionWrite(stub->object, false);
      if (!AcDbObjectAccess::isOpen(stub->object)) AcDbObjectAccess::finishClose(stub->object);
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::abortTransaction() {
  if (frames_.empty()) return Acad::eNoActiveTransactions;
  std::unique_ptr<Frame> frame = std::move(frames_.back());
  frames_.pop_back();
  AcDbDatabase::Impl& db = database_->impl();
  {
    SuppressRecording quiet(db);
    for (SavedState& state : frame->saved) {
      AcDbStub* stub = state.stub;
      stub->abortMark = state.previousMark;
      if (!stub->object || stub->addedDepth > numActiveTransactions()) continue;
      AcDbObjectAccess::restore(stub->object, state.fields);
      AcDbObjectAccess::setErasedByHistory(stub->object, state.erased, false);
    }
    for (AcDbStub* stub : frame->opened) {
      stub->resident = false;
      if (!stub->object) continue;
      AcDbObjectAccess::setTransactionWrite(stub->object, false);
      AcDbObjectAccess::clearModified(stub->object);
    }
    for (auto it = frame->added.rbegin(); it != frame->added.rend(); ++it) {
      AcDbStub* stub = *it;
      delete stub->object;
      stub->object = nullptr;
      stub->addedDepth = 0;
      stub->resident = false;
    }
  }
  db.undo.truncate(frame->undoSerial, frame->undoMark);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::queueForGraphicsFlush() {
  for (const AcDbObjectId& id : database_->takeGraphicsModified()) queued_.push_back(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTransactionManager::flushGraphics() {
  if (!graphicsFlushEnabled_) return Acad::eOk;
  queued_.clear();
  ++flushes_;
  return Acad::eOk;
}

Acad::ErrorStatus AcTransaction::getObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  object = nullptr;
  if (manager_->topTransaction() != this) return Acad::eNotTopTransaction;
  return manager_->getObject(object, id, mode, openErased);
}

int AcTransaction::numOpenedObjects() const { return AcDbTransactionAccess::numOpened(manager_, depth_); }

int AcDbTransactionAccess::numOpened(const AcDbTransactionManager* manager, int depth) {
  if (depth < 1 || depth > manager->numActiveTransactions()) return 0;
  int count = 0;
  for (const AcDbStub* stub : manager->frames_[static_cast<std::size_t>(depth - 1)]->opened)
    if (stub->object) ++count;
  return count;
}

bool AcDbTransactionAccess::wantsSnapshot(const AcDbTransactionManager* manager, const AcDbStub* stub) {
  if (manager->frames_.empty()) return false;
  // An object added in the innermost frame needs no snapshot: the abort removes it.
  if (stub->addedDepth == manager->numActiveTransactions()) return false;
  return stub->abortMark != manager->frames_.back()->serial;
}

void AcDbTransactionAccess::saveForAbort(AcDbTransactionManager* manager, AcDbObject* object,
                                         const std::string* fields) {
  AcDbStub* stub = AcDbObjectAccess::stub(object);
  AcDbTransactionManager::Frame* frame = manager->frames_.back().get();
  frame->saved.push_back(SavedState{stub, stub->abortMark, fields ? *fields : AcDbObjectAccess::snapshot(object),
                                    AcDbObjectAccess::erased(object)});
  stub->abortMark = frame->serial;
}

void AcDbTransactionAccess::noteAdded(AcDbTransactionManager* manager, AcDbStub* stub) {
  if (manager->frames_.empty()) return;
  stub->addedDepth = manager->numActiveTransactions();
  manager->frames_.back()->added.push_back(stub);
}
