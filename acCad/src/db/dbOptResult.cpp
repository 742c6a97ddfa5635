#include "db/dbOptResult.h"

#include <filesystem>
#include <new>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/dbdatabase.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbOptResult";
constexpr char kClassName[] = "CaepOptResultCase";
// Records above this version carry the presence flags and the objective scale.
constexpr int kFlagRecordVersion = 200;
// What an empty unit text is filed as.
constexpr char kNoUnit[] = "**";

#define RES_CHECK(condition)                                       \
  do {                                                             \
    if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__); \
  } while (0)

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

void fileUnit(DbFields& fields, CaeString& unit) {
  CaeString filed = unit.IsEmpty() ? CaeString(kNoUnit) : unit;
  fields.String(filed);
  if (fields.Reading()) unit = filed == kNoUnit ? CaeString() : filed;
}

// A name that must not be empty when written.
void fileName(DbFields& fields, CaeString& name) {
  if (!fields.Reading()) RES_CHECK(!name.IsEmpty());
  fields.String(name);
}

void fileBounds(DbFields& fields, OptResultData& record) {
  fields.Double(record.lower);
  fields.Double(record.upper);
}

void fileId(DbFields& fields, OptResultData& record) {
  Adesk::Int16 id = static_cast<Adesk::Int16>(record.Id());
  fields.Int16(id);
  record.SetId(id);
}

Adesk::Int16 fileCount(DbFields& fields, int count) {
  Adesk::Int16 filed = static_cast<Adesk::Int16>(count);
  fields.Int16(filed);
  RES_CHECK(filed >= 0 && filed <= CaepOptResultCase::kMaxRecords);
  return filed;
}

}  // namespace

CaeString dbOptFileLeaf(const CaeString& fileName) {
  const std::string text(fileName.c_str());
  const std::size_t cut = text.find_last_of("\\/");
  return cut == std::string::npos ? fileName : CaeString(text.substr(cut + 1));
}

AcRxClass* CaepOptResultCase::desc() {
  static AcRxClassLookup record(kClassName);
  return record.get();
}
AcRxClass* CaepOptResultCase::isA() const { return desc(); }
void CaepOptResultCase::rxInit() { dbRegisterClass(kClassName, "CAEPOPTRESULTCASE", dbMakeObject<CaepOptResultCase>); }

CaepOptResultCase::CaepOptResultCase() = default;
CaepOptResultCase::CaepOptResultCase(const CaeString& name) : CaeName(name), OptResultCase(name) { Name(name); }
CaepOptResultCase::~CaepOptResultCase() = default;

template <class Engine>
Engine* CaepOptResultCase::OpenLink(AcDbObjectId id) const {
  if (id.isNull()) return nullptr;
  AcDbDatabase* db = database() ? database() : workingDatabase();
  auto* engine = dynamic_cast<Engine*>(dbOpenMember(db, id, AcDb::kForWrite));
  return engine && !engine->IsMarkedAsErased() ? engine : nullptr;
}

namespace {
AcDbObjectId idOf(void* engine, AcDbObject* object) { return engine && object ? object->objectId() : AcDbObjectId(); }
}  // namespace

::AnlModel* CaepOptResultCase::ResultAnlModel() { return OpenLink<::AnlModel>(resultModelId_); }
void CaepOptResultCase::SetResultAnlModel(::AnlModel* model) {
  assertWriteEnabled();
  resultModelId_ = idOf(model, dynamic_cast<AcDbObject*>(model));
}
::AnlModel* CaepOptResultCase::SecondAnlModel() { return OpenLink<::AnlModel>(secondModelId_); }
void CaepOptResultCase::SetSecondAnlModel(::AnlModel* model) {
  assertWriteEnabled();
  secondModelId_ = idOf(model, dynamic_cast<AcDbObject*>(model));
}
::OptModel* CaepOptResultCase::Owner() { return OpenLink<::OptModel>(ownerId_); }
void CaepOptResultCase::SetOwner(::OptModel* model) {
  assertWriteEnabled();
  ownerId_ = idOf(model, dynamic_cast<AcDbObject*>(model));
}

Acad::ErrorStatus CaepOptResultCase::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing)
    MarkAsErased();
  else
    MarkAsNotErased();
  return Acad::eOk;
}

void CaepOptResultCase::File(DbFields& fields, bool dxf) const {
  RES_CHECK(!Name().IsEmpty());
  Adesk::UInt16 version = kDbDataVersion;
  CaeString name = Name();
  fields.UInt16(version);
  fields.String(name);
  AcDbObjectId models[] = {resultModelId_, secondModelId_};
  for (AcDbObjectId& id : models) {
    if (dxf && dbIsErasedOrGone(id)) id = AcDbObjectId();
    fields.Id(id, DbFields::Ref::SoftPointer);
  }
  Adesk::Int16 status[] = {static_cast<Adesk::Int16>(Initialized()), static_cast<Adesk::Int16>(HasHistory()),
                           static_cast<Adesk::Int16>(HasSensitivity()), static_cast<Adesk::Int16>(ExitCode())};
  for (Adesk::Int16& value : status) fields.Int16(value);
  if (ExitCode() != 0) {
    CaeString leaf = dbOptFileLeaf(FileName());
    fields.String(leaf);
    return;
  }
  CaeString job = AnlJobName();
  fields.String(job);
  Adesk::Int16 hasObjective = Objective() ? 1 : 0;
  fields.Int16(hasObjective);
  if (OptResultData* objective = Objective()) {
    CaeString objectiveName = objective->Name();
    fileName(fields, objectiveName);
    fileName(fields, objective->responseText);
    fileUnit(fields, objective->unitText);
    double scale = ObjectiveScale();
    fields.Double(scale);
  }
  Adesk::Int16 hasMax = MaxConstraintRecord() ? 1 : 0;
  fields.Int16(hasMax);
  if (OptResultData* max = MaxConstraintRecord()) {
    CaeString maxName = max->Name();
    fileName(fields, maxName);
    fileUnit(fields, max->unitText);
  }
  fileCount(fields, NumResultVariable());
  for (int i = 0; i < NumResultVariable(); ++i) {
    OptResultData* record = ResultVariable(i);
    CaeString recordName = record->Name();
    fileName(fields, recordName);
    fileUnit(fields, record->unitText);
    fileBounds(fields, *record);
    fileId(fields, *record);
  }
  fileCount(fields, NumResultConstraint());
  for (int i = 0; i < NumResultConstraint(); ++i) {
    OptResultData* record = ResultConstraint(i);
    CaeString recordName = record->Name();
    fileName(fields, recordName);
    fileName(fields, record->responseText);
    fileUnit(fields, record->unitText);
    fileName(fields, record->anlRCName);
    fileBounds(fields, *record);
    fileId(fields, *record);
  }
}

void CaepOptResultCase::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  CaeString name;
  fields.UInt16(version);
  RES_CHECK(version <= kDbDataVersion);
  fields.String(name);
  AcDbObjectId resultModel, secondModel;
  fields.Id(resultModel, DbFields::Ref::SoftPointer);
  fields.Id(secondModel, DbFields::Ref::SoftPointer);
  Adesk::Int16 initialized = 0, history = 0, sensitivity = 0, exitCode = 0;
  fields.Int16(initialized);
  fields.Int16(history);
  fields.Int16(sensitivity);
  fields.Int16(exitCode);
  CaeString text;
  fields.String(text);
  // What was read so far is kept even when a later field fails.
  Name(name);
  resultModelId_ = resultModel;
  secondModelId_ = secondModel;
  SetInitialized(initialized);
  SetHasHistory(history);
  SetHasSensitivity(sensitivity);
  SetExitCode(exitCode);
  dbFollowErasedState(*this, *this);
  if (exitCode != 0) {
    AnlControl* control = AnlControl::GetCurrent();
    const std::filesystem::path location = control ? std::filesystem::path(control->Location().c_str()) : "";
    SetFileName(CaeString((location / dbOptFileLeaf(text).c_str()).string()));
    return;
  }
  AnlJobName(text);
  NumCycles(0);
  const bool flagged = version > kFlagRecordVersion;
  // The records are rebuilt whole; a second read (undo, redo) replaces them.
  CaeString objectiveName, objectiveResponse, objectiveUnit;
  Adesk::Int16 hasObjective = 1;
  if (flagged) fields.Int16(hasObjective);
  double scale = ObjectiveScale();
  if (hasObjective != 0) {
    fields.String(objectiveName);
    fields.String(objectiveResponse);
    fileUnit(fields, objectiveUnit);
    if (flagged) fields.Double(scale);
  }
  Adesk::Int16 hasMax = 1;
  if (flagged) fields.Int16(hasMax);
  CaeString maxName, maxUnit;
  if (hasMax != 0) {
    fields.String(maxName);
    fileUnit(fields, maxUnit);
  }
  const Adesk::Int16 variableCount = fileCount(fields, 0);
  std::vector<OptResultData> variables(static_cast<std::size_t>(variableCount));
  for (OptResultData& record : variables) {
    CaeString recordName;
    fields.String(recordName);
    record.Name(recordName);
    fileUnit(fields, record.unitText);
    fileBounds(fields, record);
    fileId(fields, record);
  }
  const Adesk::Int16 constraintCount = fileCount(fields, 0);
  std::vector<OptResultData> constraints(static_cast<std::size_t>(constraintCount));
  for (OptResultData& record : constraints) {
    CaeString recordName;
    fields.String(recordName);
    record.Name(recordName);
    fields.String(record.responseText);
    fileUnit(fields, record.unitText);
    fields.String(record.anlRCName);
    fileBounds(fields, record);
    fileId(fields, record);
  }

  ClearRecords();
  if (hasObjective != 0) {
    OptResultData* objective = NewObjective();
    RES_CHECK(objective != nullptr);
    objective->Name(objectiveName);
    objective->responseText = objectiveResponse;
    objective->unitText = objectiveUnit;
    SetObjectiveScale(scale);
  }
  if (hasMax != 0) {
    OptResultData* max = NewMaxConstraint();
    RES_CHECK(max != nullptr);
    max->Name(maxName);
    max->unitText = maxUnit;
  }
  for (const OptResultData& read : variables) {
    OptResultData* record = NewResVariable();
    RES_CHECK(record != nullptr);
    record->Name(read.Name());
    record->unitText = read.unitText;
    record->lower = read.lower;
    record->upper = read.upper;
    record->SetId(read.Id());
  }
  for (const OptResultData& read : constraints) {
    OptResultData* record = NewResConstraint();
    RES_CHECK(record != nullptr);
    record->Name(read.Name());
    record->responseText = read.responseText;
    record->unitText = read.unitText;
    record->anlRCName = read.anlRCName;
    record->lower = read.lower;
    record->upper = read.upper;
    record->SetId(read.Id());
  }
  SetPendingRead(1);
}

Acad::ErrorStatus CaepOptResultCase::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) { File(fields, false); });
}

Acad::ErrorStatus CaepOptResultCase::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields); });
}

Acad::ErrorStatus CaepOptResultCase::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, kClassName, [&](DbFields& fields) { File(fields, true); });
}

Acad::ErrorStatus CaepOptResultCase::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, kClassName, [&](DbFields& fields) { Read(fields); });
}
