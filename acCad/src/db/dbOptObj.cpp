#include "db/dbOptObj.h"

#include <new>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadInterface.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "fea/AnlResltCase.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbOptObj";
constexpr char kClassName[] = "CaepOptObjective";
// Records above this version carry the case link and the generic value.
constexpr int kLinkRecordVersion = 200;

#define OBJ_CHECK(condition)                                       \
  do {                                                             \
    if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__); \
  } while (0)

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

bool needsCase(int responseType) { return responseType == OptFrequency || responseType == OptLoadFactor; }

}  // namespace

AcRxClass* CaepOptObjective::desc() {
  static AcRxClassLookup record(kClassName);
  return record.get();
}
AcRxClass* CaepOptObjective::isA() const { return desc(); }
void CaepOptObjective::rxInit() { dbRegisterClass(kClassName, "CAEPOPTOBJECTIVE", dbMakeObject<CaepOptObjective>); }

CaepOptObjective::CaepOptObjective() = default;

CaepOptObjective::CaepOptObjective(const CaeString& name, OptResponseType responseType, int)
    : CaeName(name.IsEmpty() ? CaeString(kDefaultName) : name), OptObjective(name, responseType) {}

CaepOptObjective::~CaepOptObjective() = default;

::OptModel* CaepOptObjective::Owner() const {
  if (ownerId_.isNull()) return nullptr;
  AcDbDatabase* db = database() ? database() : workingDatabase();
  auto* model = dynamic_cast<::OptModel*>(dbOpenMember(db, ownerId_, AcDb::kForWrite));
  return model && !model->IsMarkedAsErased() ? model : nullptr;
}

void CaepOptObjective::Owner(::OptModel* model) {
  auto* object = dynamic_cast<AcDbObject*>(model);
  assertWriteEnabled();
  ownerId_ = object ? object->objectId() : AcDbObjectId();
}

int CaepOptObjective::UseNativeUnits() const { return ResponseType() == OptVolume ? 0 : 1; }

AnlResltCase* CaepOptObjective::AnlResultCase() const {
  if (caseId_.isNull()) return nullptr;
  AcDbDatabase* db = database() ? database() : workingDatabase();
  auto* resultCase = dynamic_cast<AnlResltCase*>(dbOpenMember(db, caseId_, AcDb::kForWrite));
  return resultCase && !resultCase->IsMarkedAsErased() ? resultCase : nullptr;
}

void CaepOptObjective::SetAnlResultCase(AnlResltCase* resultCase) {
  assertWriteEnabled();
  caseId_ = AcDbObjectId();
  if (!resultCase) return;
  const bool modal = ResponseType() == OptFrequency && resultCase->Type() == AnlResltModal;
  const bool buckling = ResponseType() == OptLoadFactor && resultCase->Type() == AnlResltBuckling;
  if (!modal && !buckling) return;
  auto* object = dynamic_cast<AcDbObject*>(resultCase);
  OBJ_CHECK(object != nullptr);
  caseId_ = object->objectId();
}

double CaepOptObjective::PartVolume() const {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->GetPartMassProps() : 0.0;
}

Acad::ErrorStatus CaepOptObjective::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing) {
    MarkAsErased();
    return Acad::eOk;
  }
  MarkAsNotErased();
  // Undo restores the model's link with the model's own fields.
  AcDbDatabase* db = database();
  if (isUndoing() || !db || !db->transactionManager()) return Acad::eOk;
  try {
    DbTransaction transaction(db);
    if (::OptModel* model = Owner()) model->SetObjective(this);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
  return Acad::eOk;
}

void CaepOptObjective::File(DbFields& fields, bool dxf) const {
  OBJ_CHECK(!Name().IsEmpty());
  Adesk::UInt16 version = kDbDataVersion;
  CaeString name = Name();
  Adesk::Int16 generic = static_cast<Adesk::Int16>(GenericIVal());
  Adesk::Int16 response = static_cast<Adesk::Int16>(ResponseType());
  Adesk::Int16 mode = static_cast<Adesk::Int16>(ModeNumber());
  fields.UInt16(version);
  fields.String(name);
  fields.Int16(generic);
  fields.Int16(response);
  fields.Int16(mode);
  if (needsCase(response)) {
    AnlResltCase* linked = AnlResultCase();
    AcDbObjectId id = linked ? caseId_ : AcDbObjectId();
    if (dxf && dbIsErasedOrGone(id)) id = AcDbObjectId();
    Adesk::Int16 hasCase = id.isNull() ? 0 : 1;
    fields.Int16(hasCase);
    if (hasCase) fields.Id(id, DbFields::Ref::SoftPointer);
  }
  double value = GenericFVal();
  fields.Double(value);
}

void CaepOptObjective::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  CaeString name;
  Adesk::Int16 generic = 0, response = 0, mode = 0;
  fields.UInt16(version);
  OBJ_CHECK(version <= kDbDataVersion);
  fields.String(name);
  fields.Int16(generic);
  fields.Int16(response);
  fields.Int16(mode);
  OBJ_CHECK(response >= OptMass && response <= OptDisplacementMagnitude);
  AcDbObjectId caseId;
  double value = GenericFVal();
  if (version > kLinkRecordVersion) {
    if (needsCase(response)) {
      Adesk::Int16 hasCase = 0;
      fields.Int16(hasCase);
      if (hasCase == 1) fields.Id(caseId, DbFields::Ref::SoftPointer);
    }
    fields.Double(value);
  }
  Name(name.IsEmpty() ? CaeString(kDefaultName) : name);
  GenericIVal(generic);
  ResponseType(static_cast<OptResponseType>(response));
  ModeNumber(mode);
  if (version > kLinkRecordVersion) caseId_ = caseId;
  GenericFVal(value);
  dbFollowErasedState(*this, *this);
}

Acad::ErrorStatus CaepOptObjective::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) { File(fields, false); });
}

Acad::ErrorStatus CaepOptObjective::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields); });
}

Acad::ErrorStatus CaepOptObjective::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, kClassName, [&](DbFields& fields) { File(fields, true); });
}

Acad::ErrorStatus CaepOptObjective::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, kClassName, [&](DbFields& fields) { Read(fields); });
}
