#include "db/dbOptModel.h"

#include <algorithm>
#include <new>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbtrans.h"
#include "db/dbCase.h"
#include "db/dbFiling.h"
#include "db/dbJob.h"
#include "db/dbOpen.h"
#include "db/dbOptCon.h"
#include "db/dbOptObj.h"
#include "db/dbOptResult.h"
#include "fea/AnlModel.h"
#include "fea/FeaMessages.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbOptModel";
constexpr char kClassName[] = "CaepOptModel";
// Records older than this file no kind: their Int16 after the name is "optimise" (non-zero).
constexpr int kKindRecordVersion = 300;
// Records above this carry the sensitivity-only flag, the Concept settings and the spares.
constexpr int kConceptRecordVersion = 200;

#define OPT_CHECK(condition)                                       \
  do {                                                             \
    if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__); \
  } while (0)

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

template <class Engine>
AcDbObject* drawingObjectOf(Engine* engine) {
  OPT_CHECK(engine != nullptr);
  auto* object = dynamic_cast<AcDbObject*>(engine);
  OPT_CHECK(object != nullptr);
  return object;
}

}  // namespace

// ---- class --------------------------------------------------------------------------------------

AcRxClass* CaepOptModel::desc() {
  static AcRxClassLookup record(kClassName);
  return record.get();
}
AcRxClass* CaepOptModel::isA() const { return desc(); }
void CaepOptModel::rxInit() { dbRegisterClass(kClassName, "CAEPOPTMODEL", dbMakeObject<CaepOptModel>); }

CaepOptModel::CaepOptModel() { MarkAsNotCurrent(); }

CaepOptModel::CaepOptModel(const CaeString& name, CaeOptType type, int) : CaeName(name), OptModel(name) {
  Type(type);
  MarkAsNotCurrent();
}

// The control keeps the current model by id: an id whose object is gone reads as no current
// model, so the destructor opens nothing (the drawing may be closing around it).
CaepOptModel::~CaepOptModel() {
  constraints_.RemoveAll();
  anlResultCases_.RemoveAll();
  optResultCases_.RemoveAll();
}

// ---- opening parts ------------------------------------------------------------------------------

AcDbObject* CaepOptModel::OpenPart(AcDbObjectId id, bool erasedToo) const {
  AcDbDatabase* db = database() ? database() : workingDatabase();
  return dbOpenMember(db, id, AcDb::kForWrite, erasedToo);
}

template <class Engine>
void CaepOptModel::Refill(CaeCursorList<Engine>& list, const std::vector<AcDbObjectId>& ids, int activeOnly) {
  list.RemoveAll();
  for (const AcDbObjectId& id : ids) {
    AcDbObject* object = OpenPart(id, activeOnly == 0);
    if (!object) continue;
    auto* engine = dynamic_cast<Engine*>(object);
    OPT_CHECK(engine != nullptr);
    if (activeOnly == 0 || !engine->IsMarkedAsErased()) list.Append(engine);
  }
}

template <class Engine>
int CaepOptModel::CountLive(const std::vector<AcDbObjectId>& ids) const {
  int count = 0;
  for (const AcDbObjectId& id : ids) {
    auto* engine = dynamic_cast<Engine*>(OpenPart(id));
    if (engine && !engine->IsMarkedAsErased()) ++count;
  }
  return count;
}

int CaepOptModel::MoveId(std::vector<AcDbObjectId>& ids, AcDbObject* moved, AcDbObject* place) {
  const auto target = std::find(ids.begin(), ids.end(), place->objectId());
  if (target == ids.end()) return 0;
  const auto position = target - ids.begin();
  assertWriteEnabled();
  if (const auto from = std::find(ids.begin(), ids.end(), moved->objectId()); from != ids.end()) ids.erase(from);
  ids.insert(ids.begin() + std::min<std::ptrdiff_t>(position, static_cast<std::ptrdiff_t>(ids.size())),
             moved->objectId());
  return 1;
}

void CaepOptModel::ErasePart(AcDbObject* part) {
  OPT_CHECK(part != nullptr);
  if (AcDbObject* opened = OpenPart(part->objectId())) OPT_CHECK(opened->erase() == Acad::eOk);
}

AcDbObjectId CaepOptModel::AddToDrawing(AcDbObject* part) {
  AcDbObjectId id;
  acAddDbObject(part, id, 0);
  OPT_CHECK(!id.isNull());
  return id;
}

// ---- the engine's operations --------------------------------------------------------------------

::AnlModel* CaepOptModel::AnlModel() {
  auto* model = dynamic_cast<::AnlModel*>(OpenPart(anlModelId_));
  return model && !model->IsMarkedAsErased() ? model : nullptr;
}

void CaepOptModel::SetAnlModel(::AnlModel* model) {
  assertWriteEnabled();
  anlModelId_ = model ? drawingObjectOf(model)->objectId() : AcDbObjectId();
}

OptObjective* CaepOptModel::Objective() {
  auto* objective = dynamic_cast<OptObjective*>(OpenPart(objectiveId_));
  return objective && !objective->IsMarkedAsErased() ? objective : nullptr;
}

void CaepOptModel::SetObjective(OptObjective* objective) {
  if (!objective) {
    assertWriteEnabled();
    objectiveId_ = AcDbObjectId();
    return;
  }
  if (Objective() == objective) return;
  assertWriteEnabled();
  objective->Owner(this);
  AcDbObject* object = drawingObjectOf(objective);
  objectiveId_ = AddToDrawing(object);
  OPT_CHECK(object->setOwnerId(objectId()) == Acad::eOk);
}

void CaepOptModel::AddConstraint(OptConstraint* constraint) {
  constraint->Owner(this);
  auto* entity = dynamic_cast<AcDbEntity*>(drawingObjectOf(constraint));
  OPT_CHECK(entity != nullptr);
  AcDbObjectId id;
  acPostToModelSpace(entity, id, 0);
  OPT_CHECK(!id.isNull());
  assertWriteEnabled();
  constraintIds_.push_back(id);
  AcDbObjectId layer;
  acGetLayer(acCaeLayerName(kCaeLayerOpt), layer);
  entity->setLayer(layer, true);
}

void CaepOptModel::RemoveConstraint(OptConstraint* constraint) { ErasePart(drawingObjectOf(constraint)); }

int CaepOptModel::NumConstraints() { return CountLive<OptConstraint>(constraintIds_); }

OptConstraint* CaepOptModel::FirstConstraint(int activeOnly) {
  Refill(constraints_, constraintIds_, activeOnly);
  return OptModel::FirstConstraint(activeOnly);
}

int CaepOptModel::MoveConstraint(OptConstraint* moved, OptConstraint* place) {
  return MoveId(constraintIds_, drawingObjectOf(moved), drawingObjectOf(place));
}

void CaepOptModel::AddAnlResultCase(AnlResltCase* resultCase) {
  AcDbObject* object = drawingObjectOf(resultCase);
  const AcDbObjectId id = AddToDrawing(object);
  assertWriteEnabled();
  anlCaseIds_.push_back(id);
  object->setOwnerId(objectId());
}

void CaepOptModel::RemoveAnlResultCase(AnlResltCase* resultCase) { ErasePart(drawingObjectOf(resultCase)); }

int CaepOptModel::NumAnlResultCases() { return CountLive<AnlResltCase>(anlCaseIds_); }

AnlResltCase* CaepOptModel::FirstAnlResultCase(int activeOnly) {
  Refill(anlResultCases_, anlCaseIds_, activeOnly);
  return OptModel::FirstAnlResultCase(activeOnly);
}

int CaepOptModel::MoveAnlResultCase(AnlResltCase* moved, AnlResltCase* place) {
  return MoveId(anlCaseIds_, drawingObjectOf(moved), drawingObjectOf(place));
}

OptResultCase* CaepOptModel::NewOptResultCase(const CaeString& jobName, const CaeString& name) {
  CaeString chosen = name;
  if (chosen.IsEmpty()) {
    const std::string number = std::to_string(optCaseIds_.size() + 1);
    chosen = Name() + "_" + CaeMsgTxt::GetMessage(kFeaMsgOptResults) + number.c_str();
  }
  auto* resultCase = new CaepOptResultCase(chosen);
  AddOptResultCase(resultCase);
  resultCase->AnlJobName(jobName);
  resultCase->Prepare();
  resultCase->close();
  return resultCase;
}

void CaepOptModel::AddOptResultCase(OptResultCase* resultCase) {
  resultCase->SetOwner(this);
  AcDbObject* object = drawingObjectOf(resultCase);
  const AcDbObjectId id = AddToDrawing(object);
  assertWriteEnabled();
  optCaseIds_.push_back(id);
  object->setOwnerId(objectId());
}

void CaepOptModel::RemoveOptResultCase(OptResultCase* resultCase) {
  AcDbObject* object = drawingObjectOf(resultCase);
  if (!currentOptCaseId_.isNull() && currentOptCaseId_ == object->objectId()) SetCurrentOptResultCase(nullptr);
  ErasePart(object);
}

int CaepOptModel::NumOptResultCases() { return static_cast<int>(optCaseIds_.size()); }

OptResultCase* CaepOptModel::FirstOptResultCase(int activeOnly) {
  Refill(optResultCases_, optCaseIds_, activeOnly);
  return OptModel::FirstOptResultCase(activeOnly);
}

int CaepOptModel::MoveOptResultCase(OptResultCase* moved, OptResultCase* place) {
  return MoveId(optCaseIds_, drawingObjectOf(moved), drawingObjectOf(place));
}

OptResultCase* CaepOptModel::FindOptResultCase(const CaeString& name) {
  for (const AcDbObjectId& id : optCaseIds_) {
    auto* resultCase = dynamic_cast<OptResultCase*>(OpenPart(id));
    if (resultCase && resultCase->Name() == name) return resultCase;
  }
  return nullptr;
}

OptResultCase* CaepOptModel::CurrentOptResultCase() {
  auto* resultCase = dynamic_cast<OptResultCase*>(OpenPart(currentOptCaseId_));
  return resultCase && !resultCase->IsMarkedAsErased() ? resultCase : nullptr;
}

void CaepOptModel::SetCurrentOptResultCase(OptResultCase* resultCase) {
  if (OptResultCase* current = CurrentOptResultCase()) current->MarkAsNotCurrent();
  if (!resultCase) {
    currentOptCaseId_ = AcDbObjectId();
    return;
  }
  resultCase->MarkAsCurrent();
  currentOptCaseId_ = drawingObjectOf(resultCase)->objectId();
}

void CaepOptModel::AddJob(AnlJob* job) {
  const AcDbObjectId id = AddToDrawing(drawingObjectOf(job));
  assertWriteEnabled();
  jobIds_.push_back(id);
}

void CaepOptModel::RemoveJob(AnlJob* job) { ErasePart(drawingObjectOf(job)); }

int CaepOptModel::NumJobs() { return static_cast<int>(jobIds_.size()); }

AnlJob* CaepOptModel::FindJob(const CaeString& deckName) {
  for (const AcDbObjectId& id : jobIds_) {
    auto* job = dynamic_cast<AnlJob*>(OpenPart(id));
    if (job && job->DeckName() == deckName) return job;
  }
  return nullptr;
}

AnlJob* CaepOptModel::Job(int index) {
  OPT_CHECK(index >= 0 && index < NumJobs());
  return dynamic_cast<AnlJob*>(OpenPart(jobIds_[static_cast<std::size_t>(index)]));
}

void CaepOptModel::MarkGraphicsModified() { dbOptModelRedrawConstraints(this); }

// ---- erase --------------------------------------------------------------------------------------

Acad::ErrorStatus CaepOptModel::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (!erasing) {
    MarkAsNotErased();
    return Acad::eOk;
  }
  MarkAsErased();
  // The parts' own erasure is what undo and redo bring back, each for itself: a replay of the
  // history cascades nothing (and opens nothing: no transaction is active then).
  if (isUndoing()) return Acad::eOk;
  std::vector<AcDbObject*> parts;
  for (OptConstraint* c = FirstConstraint(1); c; c = NextConstraint()) parts.push_back(drawingObjectOf(c));
  for (AnlResltCase* rc = FirstAnlResultCase(1); rc; rc = NextAnlResultCase()) parts.push_back(drawingObjectOf(rc));
  for (OptResultCase* rc = FirstOptResultCase(1); rc; rc = NextOptResultCase()) parts.push_back(drawingObjectOf(rc));
  for (AcDbObject* part : parts)
    if (!part->isErased()) part->erase();
  return Acad::eOk;
}

// ---- filing -------------------------------------------------------------------------------------

void CaepOptModel::File(DbFields& fields, bool dxf) const {
  OPT_CHECK(!Name().IsEmpty());
  Adesk::UInt16 version = kDbDataVersion;
  fields.UInt16(version);
  CaeString name = Name();
  fields.String(name);
  const OptParameters p = Parameters();
  Adesk::Int16 kind = static_cast<Adesk::Int16>(Type());
  Adesk::Int16 shapeCycles = static_cast<Adesk::Int16>(p.shapeMaxCycles);
  Adesk::Int16 sensitivity = static_cast<Adesk::Int16>(p.sensitivityOnly);
  Adesk::Int16 conceptCycles = static_cast<Adesk::Int16>(p.conceptMaxCycles);
  Adesk::Int16 speed = static_cast<Adesk::Int16>(p.conceptConvergenceSpeed);
  Adesk::Int16 mode = static_cast<Adesk::Int16>(p.conceptChangeMode);
  Adesk::Int16 spareInt = static_cast<Adesk::Int16>(p.spareInt);
  Adesk::Int16 spareFlag = static_cast<Adesk::Int16>(p.spareFlag);
  double values[] = {p.constraintActiveTolerance, p.constraintViolatedTolerance, p.relativeObjectiveChange,
                     p.absoluteObjectiveChange,   p.relativeVariableChange,      p.maxConstraintViolation};
  double firstChange = p.conceptFirstChange;
  double spareValue = p.spareValue;
  fields.Int16(kind);
  fields.Int16(shapeCycles);
  for (double& value : values) fields.Double(value);
  fields.Int16(sensitivity);
  fields.Int16(conceptCycles);
  fields.Int16(speed);
  fields.Double(firstChange);
  fields.Int16(mode);
  fields.Int16(spareInt);
  fields.Double(spareValue);
  fields.Int16(spareFlag);
  // DXF carries no erased object: ids of erased parts are left out there.
  auto live = [dxf](const std::vector<AcDbObjectId>& ids) {
    std::vector<AcDbObjectId> kept;
    for (const AcDbObjectId& id : ids)
      if (!dxf || !dbIsErasedOrGone(id)) kept.push_back(id);
    return kept;
  };
  std::vector<AcDbObjectId> constraints = live(constraintIds_), cases = live(anlCaseIds_), sets = live(optCaseIds_),
                            jobs = live(jobIds_);
  fields.Ids(constraints, DbFields::Ref::SoftPointer);
  fields.Ids(cases, DbFields::Ref::HardOwner);
  fields.Ids(sets, DbFields::Ref::HardOwner);
  fields.Ids(jobs, DbFields::Ref::HardOwner);
  AcDbObjectId objective = dxf && dbIsErasedOrGone(objectiveId_) ? AcDbObjectId() : objectiveId_;
  AcDbObjectId model = dxf && dbIsErasedOrGone(anlModelId_) ? AcDbObjectId() : anlModelId_;
  fields.Id(objective, DbFields::Ref::HardOwner);
  fields.Id(model, DbFields::Ref::SoftPointer);
}

void CaepOptModel::Read(DbFields& fields, bool) {
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  OPT_CHECK(version <= kDbDataVersion);
  CaeString name;
  fields.String(name);
  Adesk::Int16 kind = 0, shapeCycles = 0;
  fields.Int16(kind);
  OptParameters p;
  CaeOptType type = CaeOptShape;
  if (version < kKindRecordVersion) {
    p.sensitivityOnly = kind == 0 ? 1 : 0;
  } else {
    OPT_CHECK(kind == CaeOptShape || kind == CaeOptConcept);
    type = static_cast<CaeOptType>(kind);
  }
  fields.Int16(shapeCycles);
  p.shapeMaxCycles = shapeCycles;
  double* values[] = {&p.constraintActiveTolerance, &p.constraintViolatedTolerance, &p.relativeObjectiveChange,
                      &p.absoluteObjectiveChange,   &p.relativeVariableChange,      &p.maxConstraintViolation};
  for (double* value : values) fields.Double(*value);
  if (version > kConceptRecordVersion) {
    Adesk::Int16 sensitivity = 0, conceptCycles = 0, speed = 0, mode = 0, spareInt = 0, spareFlag = 0;
    fields.Int16(sensitivity);
    fields.Int16(conceptCycles);
    fields.Int16(speed);
    fields.Double(p.conceptFirstChange);
    fields.Int16(mode);
    fields.Int16(spareInt);
    fields.Double(p.spareValue);
    fields.Int16(spareFlag);
    p.sensitivityOnly = sensitivity;
    p.conceptMaxCycles = conceptCycles;
    p.conceptConvergenceSpeed = speed;
    p.conceptChangeMode = mode;
    p.spareInt = spareInt;
    p.spareFlag = spareFlag;
  }
  std::vector<AcDbObjectId> constraints, cases, sets, jobs;
  fields.Ids(constraints, DbFields::Ref::SoftPointer);
  fields.Ids(cases, DbFields::Ref::HardOwner);
  fields.Ids(sets, DbFields::Ref::HardOwner);
  fields.Ids(jobs, DbFields::Ref::HardOwner);
  AcDbObjectId objective, model;
  fields.Id(objective, DbFields::Ref::HardOwner);
  fields.Id(model, DbFields::Ref::SoftPointer);

  // Everything was read: apply. A second read (undo, redo, an abort) replaces; it never appends.
  Name(name);
  Type(type);
  Parameters(p);
  constraintIds_ = std::move(constraints);
  anlCaseIds_ = std::move(cases);
  optCaseIds_ = std::move(sets);
  jobIds_ = std::move(jobs);
  objectiveId_ = objective;
  anlModelId_ = model;
  dbFollowErasedState(*this, *this);
  // Listed once, by the control of the drawing being read (not whichever one is current).
  if (CaepAnlControl* control = dbControlOf(database())) {
    OPT_CHECK(!objectId().isNull());
    control->RegisterId(DbStoredKind::OptModel, objectId());
  }
}

Acad::ErrorStatus CaepOptModel::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) { File(fields, false); });
}

Acad::ErrorStatus CaepOptModel::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields, false); });
}

Acad::ErrorStatus CaepOptModel::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, kClassName, [&](DbFields& fields) { File(fields, true); });
}

Acad::ErrorStatus CaepOptModel::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, kClassName, [&](DbFields& fields) { Read(fields, true); });
}

// ---- services -----------------------------------------------------------------------------------

OptModel* CaepAnlControl::NewOptModel(const CaeString& name) {
  if (!AcceptsNewName(DbStoredKind::OptModel, name)) return nullptr;
  auto* model = new CaepOptModel(name, CaeOptShape, 1);
  try {
    AddOptModel(model);
  } catch (...) {
    if (model->objectId().isNull()) delete model;  // never reached the drawing, which would own it
    throw;
  }
  return model;
}

AnlJob* dbOptModelCreateJob(OptModel* model) {
  OPT_CHECK(model != nullptr);
  AcDbObject* object = nullptr;
  AnlJob* job = nullptr;
  if (model->Type() != CaeOptShape) {
    ::AnlModel* simulation = model->AnlModel();
    auto* constrained = new CaepAnlConstrJobObj(simulation ? simulation->NumNodes(0) : 0);
    object = constrained;
    job = constrained;
  } else {
    auto* driven = new CaepAnlDrvJobObj();
    object = driven;
    job = driven;
  }
  model->AddJob(job);
  OPT_CHECK(object->close() == Acad::eOk);
  Acad::ErrorStatus status = Acad::eOk;
  AcDbObject* reopened = acOpenObject(object->objectId(), status, 0, AcDb::kForWrite);
  OPT_CHECK(reopened != nullptr);
  auto* engine = dynamic_cast<AnlJob*>(reopened);
  OPT_CHECK(engine != nullptr);
  return engine;
}

void dbOptModelRedrawConstraints(OptModel* model) {
  auto* stored = dynamic_cast<CaepOptModel*>(model);
  AcDbDatabase* db = stored && stored->database() ? stored->database() : workingDatabase();
  if (!model || !db) return;
  DbTransaction transaction(db);
  for (OptConstraint* c = model->FirstConstraint(1); c; c = model->NextConstraint())
    if (auto* entity = dynamic_cast<AcDbEntity*>(c)) entity->recordGraphicsModified(true);
}

void dbOptModelRelinkObjects(CaepOptModel* model) {
  if (!model || !model->database()) return;
  AcDbDatabase* db = model->database();
  try {
    DbTransaction transaction(db);
    auto open = [db](AcDbObjectId id) {
      AcDbObject* object = dbOpenMember(db, id, AcDb::kForWrite, true);
      OPT_CHECK(object != nullptr);
      return object;
    };
    if (!model->ObjectiveId().isNull()) {
      AcDbObject* object = open(model->ObjectiveId());
      auto* objective = dynamic_cast<OptObjective*>(object);
      OPT_CHECK(objective != nullptr);
      objective->Owner(model);
      object->setOwnerId(model->objectId());
    }
    for (const AcDbObjectId& id : model->ConstraintIds()) {
      auto* constraint = dynamic_cast<CaepOptConstraint*>(open(id));
      OPT_CHECK(constraint != nullptr);
      constraint->Owner(model);
      constraint->ResolveTopoRef();
    }
    for (const AcDbObjectId& id : model->AnlResultCaseIds()) {
      auto* resultCase = dynamic_cast<CaepAnlResultCase*>(open(id));
      OPT_CHECK(resultCase != nullptr);
      resultCase->setOwnerId(model->objectId());
      resultCase->TouchEntries();
    }
    for (const AcDbObjectId& id : model->OptResultCaseIds()) {
      auto* resultCase = dynamic_cast<CaepOptResultCase*>(open(id));
      OPT_CHECK(resultCase != nullptr);
      resultCase->SetOwner(model);
      resultCase->setOwnerId(model->objectId());
      resultCase->MarkAsNotCurrent();
    }
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}
