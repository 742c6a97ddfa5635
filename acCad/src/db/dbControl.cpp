#include "db/dbControl.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "arx/dbdict.h"
#include "arx/dbentity.h"
#include "arx/dbtrans.h"
#include "db/dbDict.h"
#include "db/dbOpen.h"
#include "db/dbRecords.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace {

CaeString rootDirectory() {
  CaeString value;
  CaeConfig::GetValue(1, "Root Directory", value);
  return value;
}

}  // namespace

CaepAnlControl::CaepAnlControl() { Location(rootDirectory()); }

CaepAnlControl::CaepAnlControl(const CaeString& name) : AnlControl(name) { Location(rootDirectory()); }

// The drawing is closing: its objects are not opened again (the database may already be gone),
// so the current ids are only forgotten.
CaepAnlControl::~CaepAnlControl() {
  currentIds_.fill(AcDbObjectId());
  currentResultSetId_ = AcDbObjectId();
  optModels_.RemoveAll();
  optVariables_.RemoveAll();
  anlModels_.RemoveAll();
  loadCases_.RemoveAll();
  restraintCases_.RemoveAll();
  if (CaeUnitSystem::GetNativeSystem() == &nativeUnits_) CaeUnitSystem::SetNativeSystem(nullptr);
}

bool CaepAnlControl::SetLengthUnit(int unit) {
  if (!dbIsDrawingLengthUnit(unit)) return false;
  lengthUnit_ = unit;
  nativeUnits_.SetUnit(CaeUtLength, unit);
  return true;
}

void CaepAnlControl::ApplyNativeUnits() { CaeUnitSystem::SetNativeSystem(&nativeUnits_); }

void CaepAnlControl::SetVersionRecordId(const CaepVersionObj* record) {
  versionRecordId_ = record ? record->objectId() : AcDbObjectId();
}

void CaepAnlControl::SetLengthUnitRecordId(const CaepUnitsObj* record) {
  lengthUnitRecordId_ = record ? record->objectId() : AcDbObjectId();
}

// Fibonacci hashing: the high bits of the id's hash times 2^64 divided by the golden ratio, so
// that ids of objects allocated side by side spread over the table.
std::size_t CaepAnlControl::ListedIds::SlotOf(AcDbObjectId id) const {
  constexpr std::uint64_t kGoldenRatio = 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>((static_cast<std::uint64_t>(id.hash()) * kGoldenRatio) >> shift_);
}

bool CaepAnlControl::ListedIds::Insert(AcDbObjectId id) {
  if (2 * (count_ + 1) > slots_.size()) Grow();  // at most half full: short probe runs
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = SlotOf(id);; slot = (slot + 1) & mask) {
    if (slots_[slot] == id) return false;
    if (slots_[slot].isNull()) {
      slots_[slot] = id;
      ++count_;
      return true;
    }
  }
}

void CaepAnlControl::ListedIds::Grow() {
  std::vector<AcDbObjectId> old(slots_.empty() ? 32 : 2 * slots_.size());
  old.swap(slots_);
  shift_ = 64 - std::countr_zero(slots_.size());
  count_ = 0;
  for (AcDbObjectId id : old)
    if (!id.isNull()) Insert(id);
}

bool CaepAnlControl::RegisterId(DbStoredKind kind, AcDbObjectId id) {
  CAE_CHECK(!id.isNull());
  if (!listed_[index(kind)].Insert(id)) return false;
  ids_[index(kind)].push_back(id);
  return true;
}

bool CaepAnlControl::HasLive(DbStoredKind kind) const {
  for (const AcDbObjectId& id : Ids(kind)) {
    AcDbObject* object = nullptr;
    const Acad::ErrorStatus status = acdbOpenObject(object, id, AcDb::kForRead);
    if (status == Acad::eOk) object->close();
    if (status == Acad::eOk || status == Acad::eWasOpenForWrite) return true;
  }
  return false;
}

int CaepAnlControl::ClearCurrentObjects() {
  ClearCurrentAnlModel();
  ClearCurrentOptModel();
  ClearCurrentLoadCase();
  ClearCurrentRestraintCase();
  ClearCurrentResultSet();
  return 1;
}

namespace {

// Opens a record for write, erased refused; null when it does not open.
AcDbObject* openRecord(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  return acdbOpenObject(object, id, AcDb::kForWrite) == Acad::eOk ? object : nullptr;
}

}  // namespace

void CaepAnlControl::UpdateRecords(int flag) {
  if (versionRecordId_.isNull() || lengthUnitRecordId_.isNull()) return;
  if (flag == 1) {
    for (DbStoredKind kind :
         {DbStoredKind::LoadCase, DbStoredKind::RestraintCase, DbStoredKind::AnlModel, DbStoredKind::OptModel})
      if (HasLive(kind)) return;
    for (AcDbObjectId id : {versionRecordId_, lengthUnitRecordId_})
      if (AcDbObject* record = openRecord(id)) {
        record->erase();
        record->close();
      }
    return;
  }
  AcDbDictionary* dictionary = nullptr;
  CAE_CHECK(dbGetCaepDict(dictionary) == Acad::eOk && dictionary);
  if (AcDbObject* record = openRecord(versionRecordId_)) {
    record->close();
  } else {
    const AcCadVersionInfo* running = acCurrentVersionInfo();
    auto* created = running ? new CaepVersionObj(running->version, running->buildText, running->platformText)
                            : new CaepVersionObj();
    AcDbObjectId id;
    if (dictionary->setAt(kVersionRecordKey, created, id) != Acad::eOk) {
      delete created;
      dictionary->close();
      CAE_GENERAL_ERROR();
    }
    versionRecordId_ = id;
    created->close();
  }
  if (AcDbObject* record = openRecord(lengthUnitRecordId_)) {
    record->close();
  } else {
    auto* created = new CaepUnitsObj();
    AcDbObjectId id;
    if (dictionary->setAt(kUnitsRecordKey, created, id) != Acad::eOk) {
      delete created;
      dictionary->close();
      CAE_GENERAL_ERROR();
    }
    lengthUnitRecordId_ = id;
    created->close();
  }
  dictionary->close();
}

// ---- the engine's list operations over the drawing's objects ----------------------------------

namespace {

const char* dictionaryKey(DbStoredKind kind) {
  switch (kind) {
    case DbStoredKind::OptModel: return kOptimizationModelsKey;
    case DbStoredKind::AnlModel: return kAnalysisModelsKey;
    case DbStoredKind::LoadCase: return kLoadCasesKey;
    case DbStoredKind::RestraintCase: return kRestraintCasesKey;
    case DbStoredKind::OptVariable: break;
  }
  CAE_GENERAL_ERROR();
}

const char* kindNoun(DbStoredKind kind) {
  switch (kind) {
    case DbStoredKind::OptModel: return "optimization model";
    case DbStoredKind::AnlModel: return "analysis model";
    case DbStoredKind::LoadCase: return "load set";
    case DbStoredKind::RestraintCase: return "restraint set";
    case DbStoredKind::OptVariable: return "design variable";
  }
  return "object";
}

bool inTransaction() {
  AcDbTransactionManager* transactions = acCurrentTransactionManager();
  return transactions && transactions->numActiveTransactions() > 0;
}

// Opens a listed id for read (whoever changes the object write-enables it: dbWriteEnable); null for
// an erased object or one that never opens. Inside a command the object stays open in its
// transaction; outside one it is closed again at once (the database keeps it, so the pointer stays
// valid for the engine).
AcDbObject* openListed(AcDbObjectId id) {
  if (id.isNull()) return nullptr;
  if (inTransaction()) {
    Acad::ErrorStatus status = Acad::eOk;
    return acOpenObject(id, status, 1, AcDb::kForRead);
  }
  AcDbObject* object = nullptr;
  if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) return nullptr;
  object->close();
  return object;
}

template <class Engine>
AcDbObject* drawingObjectOf(Engine* object) {
  CAE_CHECK(object != nullptr);
  auto* stored = dynamic_cast<AcDbObject*>(object);
  CAE_CHECK(stored != nullptr);
  return stored;
}

template <class Engine>
Engine* liveEngineObject(AcDbObject* object) {
  auto* engine = dynamic_cast<Engine*>(object);
  return engine && !engine->IsMarkedAsErased() ? engine : nullptr;
}

void redraw(AcDbObject* object) {
  if (auto* shown = dynamic_cast<DbShownObject*>(object)) shown->MarkGraphicsModified();
}

template <class Engine>
int countLive(const std::vector<AcDbObjectId>& ids) {
  int count = 0;
  for (const AcDbObjectId& id : ids)
    if (liveEngineObject<Engine>(openListed(id))) ++count;
  return count;
}

}  // namespace

bool CaepAnlControl::AcceptsNewName(DbStoredKind kind, const CaeString& name) {
  const std::string text = name.Str();
  if (text.empty()) {
    acutPrintf("\nA %s needs a name.", kindNoun(kind));
    return false;
  }
  if (text.size() > static_cast<std::size_t>(kDbMaxStoredNameLength)) {
    acutPrintf("\nThe name of a %s may have at most %d characters.", kindNoun(kind), kDbMaxStoredNameLength);
    return false;
  }
  if (kind == DbStoredKind::OptVariable) return true;
  AcDbDictionary* dictionary = nullptr;
  CAE_CHECK(dbGetCaepSubDict(dictionary, dictionaryKey(kind), AcDb::kForRead) == Acad::eOk && dictionary);
  AcDbObjectId taken;
  const bool isTaken = dictionary->getAt(text.c_str(), taken) == Acad::eOk;
  dictionary->close();
  if (isTaken) acutPrintf("\nA %s named \"%s\" already exists.", kindNoun(kind), text.c_str());
  return !isTaken;
}

bool CaepAnlControl::RenameEntry(DbStoredKind kind, AcDbObjectId id, const CaeString& name) {
  if (!AcceptsNewName(kind, name)) return false;
  AcDbObject* object = openListed(id);
  CAE_CHECK(object != nullptr);
  dbWriteEnable(*object);
  AcDbDictionary* dictionary = nullptr;
  CAE_CHECK(dbGetCaepSubDict(dictionary, dictionaryKey(kind), AcDb::kForWrite) == Acad::eOk && dictionary);
  AcDbObjectId entered;
  const bool moved =
      dictionary->remove(id) == Acad::eOk && dictionary->setAt(name.Text(), object, entered) == Acad::eOk;
  dictionary->close();
  CAE_CHECK(moved);
  return true;
}

void CaepAnlControl::addStored(DbStoredKind kind, AcDbObject* object, const CaeString& name) {
  CAE_CHECK(inTransaction());
  CAE_CHECK(object->objectId().isNull());
  AcDbDictionary* dictionary = nullptr;
  CAE_CHECK(dbGetCaepSubDict(dictionary, dictionaryKey(kind), AcDb::kForWrite) == Acad::eOk && dictionary);
  AcDbObjectId id;
  const Acad::ErrorStatus entered = dictionary->setAt(name.Text(), object, id);
  dictionary->close();
  CAE_CHECK(entered == Acad::eOk);
  CAE_CHECK(object->close() == Acad::eOk);
  CAE_CHECK(!id.isNull());
  Acad::ErrorStatus status = Acad::eOk;
  acOpenObject(id, status, 0, AcDb::kForWrite);
  RegisterId(kind, id);
  UpdateRecords(0);
}

void CaepAnlControl::deleteStored(DbStoredKind kind, AcDbObject* object) {
  const AcDbObjectId id = object->objectId();
  CAE_CHECK(!id.isNull());
  AcDbObject* opened = openListed(id);
  if (opened && !opened->isErased()) {
    dbWriteEnable(*opened);
    CAE_CHECK(opened->erase() == Acad::eOk);
  }
  AcDbDictionary* dictionary = nullptr;
  CAE_CHECK(dbGetCaepSubDict(dictionary, dictionaryKey(kind), AcDb::kForWrite) == Acad::eOk && dictionary);
  const bool listed = dictionary->has(id);
  const Acad::ErrorStatus removed = listed ? dictionary->remove(id) : Acad::eOk;
  dictionary->close();
  CAE_CHECK(removed == Acad::eOk);
}

template <class Engine, class Append>
void CaepAnlControl::refill(DbStoredKind kind, Append&& append) {
  for (const AcDbObjectId& id : Ids(kind))
    if (Engine* engine = liveEngineObject<Engine>(openListed(id))) append(engine);
}

template <class Engine>
Engine* CaepAnlControl::current(DbStoredKind kind) {
  return liveEngineObject<Engine>(openListed(currentIds_[index(kind)]));
}

template <class Engine>
void CaepAnlControl::setCurrent(DbStoredKind kind, Engine* object) {
  AcDbObjectId& currentId = currentIds_[index(kind)];
  const AcDbObjectId wanted = object ? drawingObjectOf(object)->objectId() : AcDbObjectId();
  if (wanted != currentId) noteCurrentChange();
  if (AcDbObject* previous = openListed(currentId)) {
    if (auto* engine = dynamic_cast<Engine*>(previous)) engine->MakeUncurrent();
    redraw(previous);
  }
  currentId = AcDbObjectId();
  if (!object) return;
  AcDbObject* stored = drawingObjectOf(object);
  object->MakeCurrent();
  currentId = stored->objectId();
  redraw(stored);
}

void CaepAnlControl::noteCurrentChange() {
  if (AcDbObject* record = openRecord(lengthUnitRecordId_)) record->close();
}

CaepAnlControl::CurrentIds CaepAnlControl::FiledCurrentIds() const {
  return {currentIds_[index(DbStoredKind::AnlModel)], currentIds_[index(DbStoredKind::OptModel)],
          currentIds_[index(DbStoredKind::LoadCase)], currentIds_[index(DbStoredKind::RestraintCase)],
          currentResultSetId_};
}

void CaepAnlControl::RestoreCurrentIds(const CurrentIds& ids) {
  currentIds_[index(DbStoredKind::AnlModel)] = ids.anlModel;
  currentIds_[index(DbStoredKind::OptModel)] = ids.optModel;
  currentIds_[index(DbStoredKind::LoadCase)] = ids.loadSet;
  currentIds_[index(DbStoredKind::RestraintCase)] = ids.restraintSet;
  currentResultSetId_ = ids.resultSet;
}

int CaepAnlControl::MoveOptVariable(OptVariable* moved, OptVariable* reference) {
  std::vector<AcDbObjectId>& ids = ids_[index(DbStoredKind::OptVariable)];
  const AcDbObjectId movedId = drawingObjectOf(moved)->objectId();
  const auto found = std::find(ids.begin(), ids.end(), drawingObjectOf(reference)->objectId());
  if (found == ids.end()) return 0;
  const auto position = found - ids.begin();
  if (const auto old = std::find(ids.begin(), ids.end(), movedId); old != ids.end()) ids.erase(old);
  ids.insert(ids.begin() + std::min<std::ptrdiff_t>(position, static_cast<std::ptrdiff_t>(ids.size())), movedId);
  return 1;
}

void CaepAnlControl::AddOptModel(OptModel* model) {
  addStored(DbStoredKind::OptModel, drawingObjectOf(model), model->Name());
}

int CaepAnlControl::AddOptVariable(OptVariable* variable) {
  auto* entity = dynamic_cast<AcDbEntity*>(drawingObjectOf(variable));
  CAE_CHECK(entity != nullptr);
  AcDbObjectId id;
  acPostToModelSpace(entity, id, 0);
  CAE_CHECK(!id.isNull());
  RegisterId(DbStoredKind::OptVariable, id);
  AcDbObjectId layer;
  acGetLayer(acCaeLayerName(kCaeLayerOpt), layer);
  return entity->setLayer(layer, true);
}

void CaepAnlControl::AddAnlModel(AnlModel* model) {
  addStored(DbStoredKind::AnlModel, drawingObjectOf(model), model->Name());
}

void CaepAnlControl::AddLoadCase(AttLbcCase* loadSet) {
  addStored(DbStoredKind::LoadCase, drawingObjectOf(loadSet), loadSet->Name());
}

void CaepAnlControl::AddRestraintCase(AttLbcCase* restraintSet) {
  addStored(DbStoredKind::RestraintCase, drawingObjectOf(restraintSet), restraintSet->Name());
}

void CaepAnlControl::DeleteOptModel(OptModel* model) {
  AcDbObject* stored = drawingObjectOf(model);
  if (currentIds_[index(DbStoredKind::OptModel)] == stored->objectId())
    ClearCurrentOptModel();
  else
    model->MakeUncurrent();
  deleteStored(DbStoredKind::OptModel, stored);
  UpdateRecords(1);
}

int CaepAnlControl::DeleteOptVariable(OptVariable* variable) {
  AcDbObject* stored = drawingObjectOf(variable);
  AcDbObject* opened = openListed(stored->objectId());
  if (!opened) return Acad::eWasErased;
  dbWriteEnable(*opened);
  return opened->erase();
}

void CaepAnlControl::DeleteAnlModel(AnlModel* model) {
  AcDbObject* stored = drawingObjectOf(model);
  if (currentIds_[index(DbStoredKind::AnlModel)] == stored->objectId())
    ClearCurrentAnlModel();
  else
    model->MakeUncurrent();
  deleteStored(DbStoredKind::AnlModel, stored);
  for (OptModel* optModel = FirstOptModel(); optModel; optModel = NextOptModel())
    if (optModel->AnlModel() == model) optModel->SetAnlModel(nullptr);
  UpdateRecords(1);
}

void CaepAnlControl::DeleteLoadCase(AttLbcCase* loadSet) {
  AcDbObject* stored = drawingObjectOf(loadSet);
  if (currentIds_[index(DbStoredKind::LoadCase)] == stored->objectId())
    ClearCurrentLoadCase();
  else
    loadSet->MakeUncurrent();
  deleteStored(DbStoredKind::LoadCase, stored);
  UpdateRecords(1);
}

void CaepAnlControl::DeleteRestraintCase(AttLbcCase* restraintSet) {
  AcDbObject* stored = drawingObjectOf(restraintSet);
  if (currentIds_[index(DbStoredKind::RestraintCase)] == stored->objectId())
    ClearCurrentRestraintCase();
  else
    restraintSet->MakeUncurrent();
  deleteStored(DbStoredKind::RestraintCase, stored);
  UpdateRecords(1);
}

int CaepAnlControl::NumOptModels() { return countLive<OptModel>(Ids(DbStoredKind::OptModel)); }
int CaepAnlControl::NumOptVariables() { return countLive<OptVariable>(Ids(DbStoredKind::OptVariable)); }
int CaepAnlControl::NumAnlModels() { return countLive<AnlModel>(Ids(DbStoredKind::AnlModel)); }
int CaepAnlControl::NumLoadCases() { return countLive<AttLbcCase>(Ids(DbStoredKind::LoadCase)); }
int CaepAnlControl::NumRestraintCases() { return countLive<AttLbcCase>(Ids(DbStoredKind::RestraintCase)); }

OptModel* CaepAnlControl::FirstOptModel() {
  optModels_.RemoveAll();
  refill<OptModel>(DbStoredKind::OptModel, [this](OptModel* model) { optModels_.Append(model); });
  return AnlControl::FirstOptModel();
}

OptVariable* CaepAnlControl::FirstOptVariable() {
  optVariables_.RemoveAll();
  refill<OptVariable>(DbStoredKind::OptVariable, [this](OptVariable* variable) { optVariables_.Append(variable); });
  return AnlControl::FirstOptVariable();
}

AnlModel* CaepAnlControl::FirstAnlModel() {
  anlModels_.RemoveAll();
  refill<AnlModel>(DbStoredKind::AnlModel, [this](AnlModel* model) { anlModels_.Append(model); });
  return AnlControl::FirstAnlModel();
}

AttLbcCase* CaepAnlControl::FirstLoadCase() {
  loadCases_.RemoveAll();
  refill<AttLbcCase>(DbStoredKind::LoadCase, [this](AttLbcCase* set) { loadCases_.Append(set); });
  return AnlControl::FirstLoadCase();
}

AttLbcCase* CaepAnlControl::FirstRestraintCase() {
  restraintCases_.RemoveAll();
  refill<AttLbcCase>(DbStoredKind::RestraintCase, [this](AttLbcCase* set) { restraintCases_.Append(set); });
  return AnlControl::FirstRestraintCase();
}

void CaepAnlControl::SetCurrentOptModel(OptModel* model) { setCurrent(DbStoredKind::OptModel, model); }
void CaepAnlControl::ClearCurrentOptModel() { setCurrent<OptModel>(DbStoredKind::OptModel, nullptr); }
OptModel* CaepAnlControl::CurrentOptModel() { return current<OptModel>(DbStoredKind::OptModel); }

void CaepAnlControl::SetCurrentAnlModel(AnlModel* model) { setCurrent(DbStoredKind::AnlModel, model); }
void CaepAnlControl::ClearCurrentAnlModel() { setCurrent<AnlModel>(DbStoredKind::AnlModel, nullptr); }
AnlModel* CaepAnlControl::CurrentAnlModel() { return current<AnlModel>(DbStoredKind::AnlModel); }

void CaepAnlControl::SetCurrentLoadCase(AttLbcCase* loadSet) { setCurrent(DbStoredKind::LoadCase, loadSet); }
void CaepAnlControl::ClearCurrentLoadCase() { setCurrent<AttLbcCase>(DbStoredKind::LoadCase, nullptr); }
AttLbcCase* CaepAnlControl::CurrentLoadCase() { return current<AttLbcCase>(DbStoredKind::LoadCase); }

void CaepAnlControl::SetCurrentRestraintCase(AttLbcCase* restraintSet) {
  setCurrent(DbStoredKind::RestraintCase, restraintSet);
}
void CaepAnlControl::ClearCurrentRestraintCase() { setCurrent<AttLbcCase>(DbStoredKind::RestraintCase, nullptr); }
AttLbcCase* CaepAnlControl::CurrentRestraintCase() { return current<AttLbcCase>(DbStoredKind::RestraintCase); }

void CaepAnlControl::SetCurrentResultSet(FerResultSet* resultSet) {
  const AcDbObjectId wanted = resultSet ? drawingObjectOf(resultSet)->objectId() : AcDbObjectId();
  if (wanted != currentResultSetId_) noteCurrentChange();
  currentResultSetId_ = wanted;
}
void CaepAnlControl::ClearCurrentResultSet() { SetCurrentResultSet(nullptr); }
FerResultSet* CaepAnlControl::CurrentResultSet() {
  return liveEngineObject<FerResultSet>(openListed(currentResultSetId_));
}
