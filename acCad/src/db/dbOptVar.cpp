#include "db/dbOptVar.h"

#include <new>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "mcad/amikey.h"
#include "mcad/amiparam.h"
#include "topo/acTopoUtil.h"
#include "util/acObjKey.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbOptVar";
constexpr char kClassName[] = "CaepOptVariable";
// Records from this version on carry the unit type and text.
constexpr int kUnitRecordVersion = 300;
// DXF group of the parameter's part (null for a global); kind and name travel as Int32 and String.
constexpr int kDxfKeyPart = 330;

#define VAR_CHECK(condition)                                       \
  do {                                                             \
    if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__); \
  } while (0)

void releaseParamKey(AmiParamKey*& key) {
  if (!key) return;
  key->unbind();
  key->release();
  key = nullptr;
}

// Writes a key that must not be null; reads one (owned by the caller) that must name something.
AmiParamKey* fileKey(DbFields& fields, AmiParamKey* key, AcDbDatabase* database) {
  if (!fields.Reading()) {
    VAR_CHECK(key != nullptr);
    if (AcDbDwgFiler* dwg = fields.DwgFiler()) {
      VAR_CHECK(amiWriteKey(dwg, key) == Ami::eOk);
      return key;
    }
    Adesk::Int32 type = Ami::kParamKey;
    fields.Int32(type);
    VAR_CHECK(fields.DxfFiler()->writeObjectId(kDxfKeyPart, key->partId()) == Acad::eOk);
    CaeString name(key->name());
    fields.String(name);
    return key;
  }
  if (AcDbDwgFiler* dwg = fields.DwgFiler()) {
    AmiKey* read = nullptr;
    const AmiStatus status = amiReadKey(dwg, read);
    auto* paramKey = dynamic_cast<AmiParamKey*>(read);
    bool isNull = true;
    if (paramKey) amiIsKeyNull(paramKey, isNull);
    if (status != Ami::eOk || !paramKey || isNull) {
      if (read) read->release();
      CaeMsgCall::GeneralError(kSource, __LINE__);
    }
    return paramKey;
  }
  Adesk::Int32 type = 0;
  fields.Int32(type);
  AcDbObjectId part;
  VAR_CHECK(fields.DxfFiler()->readObjectId(kDxfKeyPart, &part) == Acad::eOk);
  CaeString name;
  fields.String(name);
  VAR_CHECK(type == Ami::kParamKey && !name.IsEmpty());
  return new AmiParamKey(database, part, name.Text());
}

}  // namespace

AcRxClass* CaepOptVariable::desc() {
  static AcRxClassLookup record(kClassName);
  return record.get();
}
AcRxClass* CaepOptVariable::isA() const { return desc(); }
void CaepOptVariable::rxInit() {
  dbRegisterClass(kClassName, "CAEPOPTVARIABLE", dbMakeObject<CaepOptVariable>, "AcDbEntity");
}

CaepOptVariable::CaepOptVariable() : unitText_(OptVariable::UnitText()) {}

CaepOptVariable::CaepOptVariable(const CaeString& name, CaeUnitType unitType) : CaeName(name), OptVariable(name) {
  UnitType(unitType);
  unitText_ = OptVariable::UnitText();
}

CaepOptVariable::CaepOptVariable(const CaeString& name, CaeUnitType unitType, double lower, double upper,
                                 AmiParamKey* key, int)
    : CaeName(name), OptVariable(name) {
  UnitType(unitType);
  SetBounds(lower, upper);
  paramKey_ = key;
  double value = 0.0;
  VAR_CHECK(amiGetParamValue(key, value) == Ami::eOk);
  InitialValue(value);
  unitText_ = OptVariable::UnitText();
}

CaepOptVariable::~CaepOptVariable() { releaseParamKey(paramKey_); }

void CaepOptVariable::TakeKey(AmiParamKey* key) {
  if (key == paramKey_) return;
  releaseParamKey(paramKey_);
  paramKey_ = key;
}

void CaepOptVariable::SetUnitText(const CaeString& text) {
  assertWriteEnabled();
  unitText_ = text;
}

int CaepOptVariable::ApplyValue(double value) {
  VAR_CHECK(paramKey_ != nullptr);
  CadInterface* cad = CadInterface::GetCurrent();
  VAR_CHECK(cad != nullptr);
  AcDbDatabase* db = database() ? database() : acdbHostApplicationServices()->workingDatabase();
  DbTransaction transaction(db);
  const double old = InitialValue();
  assertWriteEnabled();
  InitialValue(value);
  const int written = cad->SetDesignVariableValues(this);
  if (!written) InitialValue(old);
  return written;
}

Acad::ErrorStatus CaepOptVariable::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  if (erasing)
    MarkAsErased();
  else
    MarkAsNotErased();
  acNotifyKeyErased(paramKey_, erasing ? 1 : 0);
  return Acad::eOk;
}

void CaepOptVariable::File(DbFields& fields) const {
  VAR_CHECK(!Name().IsEmpty());
  Adesk::UInt16 version = kDbDataVersion;
  CaeString name = Name();
  Adesk::Int16 unitType = static_cast<Adesk::Int16>(UnitType());
  CaeString unitText = unitText_;
  double lower = 0.0, upper = 0.0;
  Bounds(lower, upper);
  double value = InitialValue();
  Adesk::Int16 current = IsMarkedAsCurrent() ? 1 : 0;
  fields.UInt16(version);
  fields.String(name);
  fields.Int16(unitType);
  fields.String(unitText);
  fields.Double(lower);
  fields.Double(upper);
  fields.Double(value);
  fields.Int16(current);
  fileKey(fields, paramKey_, database());
}

void CaepOptVariable::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  CaeString name, unitText;
  Adesk::Int16 unitType = 0, current = 0;
  double lower = 0.0, upper = 0.0, value = 0.0;
  fields.UInt16(version);
  VAR_CHECK(version <= kDbDataVersion);
  fields.String(name);
  fields.Int16(unitType);
  const bool withUnit = version >= kUnitRecordVersion;
  if (withUnit) {
    VAR_CHECK(unitType >= 0 && unitType < CaeUtCount);
    fields.String(unitText);
  }
  fields.Double(lower);
  fields.Double(upper);
  fields.Double(value);
  fields.Int16(current);
  AmiParamKey* key = fileKey(fields, nullptr, database());

  // Everything was read: apply.
  Name(name);
  UnitType(withUnit ? static_cast<CaeUnitType>(unitType) : static_cast<CaeUnitType>(0));
  unitText_ = unitText;
  SetBounds(lower, upper);
  InitialValue(value);
  if (current != 0)
    MarkAsCurrent();
  else
    MarkAsNotCurrent();
  TakeKey(key);
  dbFollowErasedState(*this, *this);
  // Listed once, by the control of the drawing being read.
  if (CaepAnlControl* control = dbControlOf(database())) {
    VAR_CHECK(!objectId().isNull());
    control->RegisterId(DbStoredKind::OptVariable, objectId());
  }
}

Acad::ErrorStatus CaepOptVariable::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) { File(fields); });
}

Acad::ErrorStatus CaepOptVariable::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields); });
}

Acad::ErrorStatus CaepOptVariable::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, kClassName, [&](DbFields& fields) { File(fields); });
}

Acad::ErrorStatus CaepOptVariable::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, kClassName, [&](DbFields& fields) { Read(fields); });
}

// ---- services -----------------------------------------------------------------------------------

OptVariable* CaepAnlControl::NewOptVariable(const CaeString& name) {
  if (!AcceptsNewName(DbStoredKind::OptVariable, name)) return nullptr;
  auto* variable = new CaepOptVariable(name, static_cast<CaeUnitType>(0));
  try {
    AddOptVariable(variable);
  } catch (...) {
    if (variable->objectId().isNull()) delete variable;
    throw;
  }
  return variable;
}

void dbOptVarCollectUsingParts(const AmiParamKey* key, std::vector<AmiObjectKey*>& parts) {
  AmiObjectKey* part = nullptr;
  if (amiGetContainingPart(key, part) != Ami::eOk || !part) {
    acReleaseKey(&part);
    int count = 0;
    AmiKey** users = nullptr;
    VAR_CHECK(amiGetParamUsers(key, count, users) == Ami::eOk);
    for (int i = 0; i < count; ++i) {
      if (auto* parameter = dynamic_cast<AmiParamKey*>(users[i])) {
        dbOptVarCollectUsingParts(parameter, parts);
      } else if (auto* user = dynamic_cast<AmiObjectKey*>(users[i])) {
        // A part that uses the parameter directly.
        bool listed = false;
        for (AmiObjectKey* collected : parts) {
          bool equivalent = false;
          VAR_CHECK(amiAreKeysEquivalent(collected, user, equivalent) == Ami::eOk);
          listed = listed || equivalent;
        }
        if (!listed) {
          parts.push_back(user);
          users[i] = nullptr;
        }
      }
      if (users[i] && users[i]->isReleasable()) users[i]->release();
    }
    delete[] users;
    return;
  }
  for (AmiObjectKey* collected : parts) {
    bool equivalent = false;
    VAR_CHECK(amiAreKeysEquivalent(collected, part, equivalent) == Ami::eOk);
    if (equivalent) {
      acReleaseKey(&part);
      return;
    }
  }
  parts.push_back(part);
}

void dbOptVarFillUnitText(OptVariable* variable) {
  auto* stored = dynamic_cast<CaepOptVariable*>(variable);
  if (!stored || !stored->UnitText().IsEmpty()) return;
  stored->SetUnitText(stored->OptVariable::UnitText());
}
