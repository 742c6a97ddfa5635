#include <algorithm>
#include <cstdint>

#include "database_impl.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDatabaseReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDatabase, AcRxObject)

void AcDbDatabaseReactor::objectAppended(const AcDbDatabase*, const AcDbObject*) {}
void AcDbDatabaseReactor::objectModified(const AcDbDatabase*, const AcDbObject*) {}
void AcDbDatabaseReactor::objectErased(const AcDbDatabase*, const AcDbObject*, Adesk::Boolean) {}

// ---- internal state ------------------------------------------------------------------------

AcDbDatabase::Impl::Impl(AcDbDatabase* owner)
    : self(owner), transactions(std::make_unique<AcDbTransactionManager>(owner)) {}

AcDbStub* AcDbDatabase::Impl::newStub(AcDbHandle handle) {
  if (handle.isNull())
    handle = AcDbHandle(nextHandle++);
  else if (handle.value() != UINT64_MAX)
    nextHandle = std::max(nextHandle, handle.value() + 1);
  AcDbStub& stub = stubs.emplace_back();
  stub.database = self;
  stub.handle = handle;
  Adesk::UInt64 value = handle.value();
  // Dense while handles stay near the number of objects; far-off handles from a file go to the map.
  if (value < kDenseHandles && value < 4 * (stubs.size() + 1024)) {
    if (value >= byDenseHandle.size())
      byDenseHandle.resize(std::max<std::size_t>(value + 1, byDenseHandle.size() * 2), nullptr);
    byDenseHandle[value] = &stub;
  } else {
    bySparseHandle[value] = &stub;
  }
  return &stub;
}

AcDbStub* AcDbDatabase::Impl::stubOf(AcDbHandle handle) const {
  Adesk::UInt64 value = handle.value();
  if (value < byDenseHandle.size() && byDenseHandle[value]) return byDenseHandle[value];
  if (bySparseHandle.empty()) return nullptr;
  auto it = bySparseHandle.find(value);
  return it == bySparseHandle.end() ? nullptr : it->second;
}

void AcDbDatabase::Impl::forgetAllStubs() {
  byDenseHandle.clear();
  bySparseHandle.clear();
  stubs.clear();
}

AcDbObjectId AcDbDatabase::Impl::idOf(AcDbHandle handle) const { return AcDbObjectId(stubOf(handle)); }

AcDbObjectId AcDbDatabase::Impl::add(AcDbObject* object) {
  AcDbStub* stub = newStub();
  stub->object = object;
  AcDbObjectAccess::attach(object, stub);
  AcDbObjectAccess::setDirectWriter(object, true);
  if (suppressRecording == 0) {
    undo.recordAdded(stub);
    ++changes;
  }
  AcDbTransactionAccess::noteAdded(transactions.get(), stub);
  return AcDbObjectId(stub);
}

void AcDbDatabase::Impl::captureBeforeWrite(AcDbObject* object) {
  if (suppressRecording > 0) return;
  AcDbStub* stub = AcDbObjectAccess::stub(object);
  bool forUndo = undo.wantsSnapshot(stub);
  bool forAbort = AcDbTransactionAccess::wantsSnapshot(transactions.get(), stub);
  if (!forUndo && !forAbort) return;
  std::string fields = AcDbObjectAccess::snapshot(object);
  if (forAbort) AcDbTransactionAccess::saveForAbort(transactions.get(), object, &fields);
  if (forUndo) undo.recordModified(stub, std::move(fields));
}

void AcDbDatabase::Impl::recordErase(AcDbObject* object, bool erasing) {
  if (suppressRecording == 0) {
    undo.recordErased(AcDbObjectAccess::stub(object), erasing);
    ++changes;
  }
}

// ---- the database --------------------------------------------------------------------------

namespace {

template <class Record>
AcDbObjectId addRecord(AcDbSymbolTable* table, Record* record, const char* name) {
  record->setName(name);
  AcDbObjectId id;
  table->add(id, record);
  record->close();
  return id;
}

// Reading a drawing re-creates objects by class name, so every host class must be registered.
void registerHostClasses() {
  for (AcRxClass* (*desc)() : {&AcDbObject::desc, &AcDbEntity::desc, &AcDbDictionary::desc, &AcDbBlockTable::desc,
                               &AcDbLayerTable::desc, &AcDbLinetypeTable::desc, &AcDbBlockTableRecord::desc,
                               &AcDbLayerTableRecord::desc, &AcDbLinetypeTableRecord::desc})
    desc();
}

// Registered when the library loads, so that a class record can be found before any database exists.
[[maybe_unused]] const bool hostClassesRegistered = (registerHostClasses(), true);

}  // namespace

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing) : impl_(std::make_unique<Impl>(this)) {
  registerHostClasses();
  if (buildDefaultDrawing) impl_->ensureStandardObjects();
}

void AcDbDatabase::Impl::ensureStandardObjects() {
  SuppressRecording quiet(*this);  // the standard objects are not an undoable change
  std::vector<AcDbObject*> opened;
  auto ensureRoot = [&](AcDbObjectId& id, AcDbObject* (*make)()) -> AcDbObject* {
    AcDbObject* object = nullptr;
    if (!id.isNull() && acdbOpenObject(object, id, AcDb::kForWrite) == Acad::eOk) {
      opened.push_back(object);
      return object;
    }
    object = make();
    self->addAcDbObject(id, object);
    opened.push_back(object);
    return object;
  };
  auto* blocks = AcDbBlockTable::cast(ensureRoot(blockTable, []() -> AcDbObject* { return new AcDbBlockTable(); }));
  auto* layers = AcDbLayerTable::cast(ensureRoot(layerTable, []() -> AcDbObject* { return new AcDbLayerTable(); }));
  auto* linetypes =
      AcDbLinetypeTable::cast(ensureRoot(linetypeTable, []() -> AcDbObject* { return new AcDbLinetypeTable(); }));
  ensureRoot(namedObjects, []() -> AcDbObject* { return new AcDbDictionary(); });
  if (linetypes->getAt("CONTINUOUS", continuous) != Acad::eOk)
    continuous = addRecord(linetypes, new AcDbLinetypeTableRecord(), "CONTINUOUS");
  if (layers->getAt("0", layerZero) != Acad::eOk) {
    auto* zero = new AcDbLayerTableRecord();
    zero->setLinetypeObjectId(continuous);
    layerZero = addRecord(layers, zero, "0");
  }
  if (clayer.isNull() || clayer.isErased() || !clayer.isValid()) clayer = layerZero;
  if (blocks->getAt(ACDB_MODEL_SPACE, modelSpace) != Acad::eOk)
    modelSpace = addRecord(blocks, new AcDbBlockTableRecord(), ACDB_MODEL_SPACE);
  for (AcDbObject* object : opened) object->close();
}

AcDbDatabase::~AcDbDatabase() {
  if (acdbHostApplicationServices()->workingDatabase() == this)
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  // Objects go first, while the transaction manager still exists: their destructors may use it.
  for (AcDbStub& stub : impl_->stubs) {
    AcDbObject* object = stub.object;
    stub.object = nullptr;  // an object deleted before another one cannot be opened by it
    delete object;
  }
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* object) {
  id.setNull();
  if (!object) return Acad::eNullObjectPointer;
  if (object->database()) {
    id = object->objectId();
    return Acad::eAlreadyInDb;
  }
  id = impl_->add(object);
  AcDbObjectAccess::notifyAppended(object);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* object) {
  AcDbObjectId id;
  return addAcDbObject(id, object);
}

namespace {

template <class T>
Acad::ErrorStatus openRoot(T*& object, AcDbObjectId id, AcDb::OpenMode mode) {
  object = nullptr;
  return id.isNull() ? Acad::eNullObjectId : acdbOpenObject(object, id, mode);
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
  return openRoot(table, impl_->blockTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
  return openRoot(table, impl_->layerTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode) {
  return openRoot(table, impl_->linetypeTable, mode);
}
Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode) {
  return openRoot(dictionary, impl_->namedObjects, mode);
}

AcDbObjectId AcDbDatabase::blockTableId() const { return impl_->blockTable; }
AcDbObjectId AcDbDatabase::layerTableId() const { return impl_->layerTable; }
AcDbObjectId AcDbDatabase::linetypeTableId() const { return impl_->linetypeTable; }
AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const { return impl_->namedObjects; }
AcDbObjectId AcDbDatabase::modelSpaceId() const { return impl_->modelSpace; }
AcDbObjectId AcDbDatabase::layerZero() const { return impl_->layerZero; }
AcDbObjectId AcDbDatabase::continuousLinetype() const { return impl_->continuous; }
AcDbObjectId AcDbDatabase::clayer() const { return impl_->clayer; }

Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId layer) {
  AcDbStub* stub = layer.stub();
  if (!stub || stub->database != this || !AcDbLayerTableRecord::cast(stub->object)) return Acad::eInvalidInput;
  impl_->clayer = layer;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool, const AcDbHandle& handle) {
  id = impl_->idOf(handle);
  return id.isNull() ? Acad::eUnknownHandle : Acad::eOk;
}

std::vector<AcDbObjectId> AcDbDatabase::objectIds(bool includeErased) const {
  std::vector<AcDbObjectId> ids;
  for (AcDbStub& stub : impl_->stubs)
    if (stub.object && (includeErased || !AcDbObjectAccess::erased(stub.object))) ids.emplace_back(&stub);
  std::sort(ids.begin(), ids.end(),
            [](const AcDbObjectId& a, const AcDbObjectId& b) { return a.handle() < b.handle(); });
  return ids;
}

int AcDbDatabase::numObjects(bool includeErased) const {
  int count = 0;
  for (const AcDbStub& stub : impl_->stubs)
    if (stub.object && (includeErased || !AcDbObjectAccess::erased(stub.object))) ++count;
  return count;
}

AcDbTransactionManager* AcDbDatabase::transactionManager() const { return impl_->transactions.get(); }

void AcDbDatabase::addReactor(AcDbDatabaseReactor* reactor) {
  auto& reactors = impl_->reactors;
  if (reactor && std::find(reactors.begin(), reactors.end(), reactor) == reactors.end()) reactors.push_back(reactor);
}

void AcDbDatabase::removeReactor(AcDbDatabaseReactor* reactor) {
  auto& reactors = impl_->reactors;
  reactors.erase(std::remove(reactors.begin(), reactors.end(), reactor), reactors.end());
}

const std::string& AcDbDatabase::filename() const { return impl_->filename; }

bool AcDbDatabase::hasUnsavedChanges() const { return impl_->changes != impl_->savedChanges; }

void AcDbDatabase::beginUndoGroup(const std::string& name) { impl_->undo.begin(name); }
void AcDbDatabase::endUndoGroup() { impl_->undo.end(); }
bool AcDbDatabase::isUndoGroupOpen() const { return impl_->undo.isOpen(); }
bool AcDbDatabase::canUndo() const { return impl_->undo.canUndo(); }
bool AcDbDatabase::canRedo() const { return impl_->undo.canRedo(); }
std::vector<std::string> AcDbDatabase::undoGroupNames() const { return impl_->undo.names(); }

int AcDbDatabase::undo(int count) {
  SuppressRecording quiet(*impl_);
  ++impl_->changes;
  ++impl_->replayingHistory;
  const int undone = impl_->undo.undo(count);
  --impl_->replayingHistory;
  return undone;
}

bool AcDbDatabase::redo() {
  SuppressRecording quiet(*impl_);
  ++impl_->changes;
  ++impl_->replayingHistory;
  const bool redone = impl_->undo.redo();
  --impl_->replayingHistory;
  return redone;
}

bool AcDbDatabase::isFiling() const { return impl_->filingObjects > 0 || impl_->replayingHistory > 0; }

std::vector<AcDbObjectId> AcDbDatabase::takeGraphicsModified() {
  std::vector<AcDbObjectId> ids;
  ids.swap(impl_->graphicsModified);
  return ids;
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
  static AcDbHostApplicationServices services;
  return &services;
}
