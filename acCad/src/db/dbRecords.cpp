#include "db/dbRecords.h"

#include <array>
#include <new>
#include <utility>

#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadEntry.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "arx/acutads.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"

namespace {}  // namespace

// ---- CaepVersionObj ---------------------------------------------------------------------------

// The class dictionary is the cache: a record deleted at unload is never answered afterwards.
AcRxClass* CaepVersionObj::desc() {
  static AcRxClassLookup record("CaepVersionObj");
  return record.get();
}
AcRxClass* CaepVersionObj::isA() const { return desc(); }
void CaepVersionObj::rxInit() { dbRegisterClass("CaepVersionObj", "CAEPVERSIONOBJ", dbMakeObject<CaepVersionObj>); }

CaepVersionObj::CaepVersionObj(unsigned short version, const CaeString& buildText, const CaeString& platformText)
    : version_(version), buildText_(buildText), platformText_(platformText) {}

void CaepVersionObj::Stamped(unsigned short& version, CaeString& build, CaeString& platform) const {
  if (const AcCadVersionInfo* running = acCurrentVersionInfo()) {
    version = running->version;
    build = running->buildText;
    platform = running->platformText;
    return;
  }
  version = version_;
  build = buildText_;
  platform = platformText_;
}

void CaepVersionObj::Adopt(unsigned short version, CaeString build, CaeString platform) {
  version_ = version;
  buildText_ = std::move(build);
  platformText_ = std::move(platform);
  if (CaepAnlControl* control = dbControlOf(database())) control->SetVersionRecordId(this);
}

Acad::ErrorStatus CaepVersionObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields&) {
    unsigned short version = 0;
    CaeString build, platform;
    Stamped(version, build, platform);
    DB_CHECK_FILER(filer->writeUInt16(version));
    DB_CHECK_FILER(filer->writeString(build.Text()));
    DB_CHECK_FILER(filer->writeString(platform.Text()));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepVersionObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields&) {
    Adesk::UInt16 version = 0;
    std::string build, platform;
    DB_CHECK_FILER(filer->readUInt16(&version));
    DB_CHECK_FILER(filer->readString(&build));
    DB_CHECK_FILER(filer->readString(&platform));
    Adopt(version, CaeString(build), CaeString(platform));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepVersionObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepVersionObj", [&](DbFields&) {
    unsigned short version = 0;
    CaeString build, platform;
    Stamped(version, build, platform);
    DB_CHECK_FILER(filer->writeInt32(90, version));
    DB_CHECK_FILER(filer->writeString(1, build.Text()));
    DB_CHECK_FILER(filer->writeString(3, platform.Text()));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepVersionObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepVersionObj", [&](DbFields&) {
    Adesk::Int32 version = 0;
    std::string build, platform;
    DB_CHECK_FILER(filer->readInt32(90, &version));
    DB_CHECK_FILER(filer->readString(1, &build));
    DB_CHECK_FILER(filer->readString(3, &platform));
    CAE_CHECK(version >= 0 && version <= 0xffff);
    Adopt(static_cast<unsigned short>(version), CaeString(build), CaeString(platform));
    return filer->filerStatus();
  });
}

// ---- CaepUnitsObj -----------------------------------------------------------------------------

AcRxClass* CaepUnitsObj::desc() {
  static AcRxClassLookup record("CaepUnitsObj");
  return record.get();
}
AcRxClass* CaepUnitsObj::isA() const { return desc(); }
void CaepUnitsObj::rxInit() { dbRegisterClass("CaepUnitsObj", "CAEPUNITSOBJ", dbMakeObject<CaepUnitsObj>); }

CaepUnitsObj::Values CaepUnitsObj::Gather() const {
  Values values;
  AcCadDocData* data = dbDocDataOf(database());
  if (auto* control = data ? dynamic_cast<CaepAnlControl*>(data->GetAnlControl()) : nullptr) {
    values.lengthUnit = control->LengthUnit();
    values.hasCurrentIds = true;
    values.currentIds = control->FiledCurrentIds();
  }
  const CaeUnitSystem* host = data ? data->HostUnitSystem() : nullptr;
  for (int i = 0; i < 8; ++i)
    values.hostUnits[i] = host ? host->GetUnit(kStoredTypes[i]) : CaeUnitSystem::GetHostUnit(kStoredTypes[i]);
  return values;
}

void CaepUnitsObj::Apply(const Values& values) {
  for (int i = 0; i < 8; ++i)
    if (CaeUnitSystem::BaseTypeOfUnit(values.hostUnits[i]) != kStoredTypes[i]) {
      acutPrintf("\n%s: host unit %d does not measure quantity type %d.", dbObjectLabel(this, "CaepUnitsObj").c_str(),
                 values.hostUnits[i], kStoredTypes[i]);
      CAE_GENERAL_ERROR();
    }
  AcCadDocData* data = dbDocDataOf(database());
  if (!data) return;
  CaeUnitSystem* host = data->HostUnitSystem();
  CAE_CHECK(host != nullptr);
  auto* control = dynamic_cast<CaepAnlControl*>(data->GetAnlControl());
  if (control && values.lengthUnit != CaeUnitNone && !control->SetLengthUnit(values.lengthUnit))
    acutPrintf("\n%s: length unit %d is not one of 0 to 4; no length unit is chosen.",
               dbObjectLabel(this, "CaepUnitsObj").c_str(), values.lengthUnit);
  for (int i = 0; i < 8; ++i) host->SetUnit(kStoredTypes[i], values.hostUnits[i]);
  if (!control) return;
  control->SetLengthUnitRecordId(this);
  if (values.hasCurrentIds) control->RestoreCurrentIds(values.currentIds);
}

namespace {

// The current ids in their filed order.
std::array<AcDbObjectId*, 5> filedOrder(CaepAnlControl::CurrentIds& ids) {
  return {&ids.anlModel, &ids.optModel, &ids.loadSet, &ids.restraintSet, &ids.resultSet};
}

// Group codes of the current ids in DXF (soft pointers).
constexpr int kDxfFirstCurrentId = 331;

}  // namespace

Acad::ErrorStatus CaepUnitsObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields&) {
    Values values = Gather();
    DB_CHECK_FILER(filer->writeUInt16(kUnitsCurrentIdsRecordVersion));
    DB_CHECK_FILER(filer->writeInt32(values.lengthUnit));
    for (int unit : values.hostUnits) DB_CHECK_FILER(filer->writeInt32(unit));
    for (AcDbObjectId* id : filedOrder(values.currentIds)) DB_CHECK_FILER(filer->writeSoftPointerId(*id));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepUnitsObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields&) {
    Adesk::UInt16 version = 0;
    Values values;
    DB_CHECK_FILER(filer->readUInt16(&version));
    Adesk::Int32 value = 0;
    DB_CHECK_FILER(filer->readInt32(&value));
    values.lengthUnit = value;
    for (int& unit : values.hostUnits) {
      DB_CHECK_FILER(filer->readInt32(&value));
      unit = value;
    }
    values.hasCurrentIds = version >= kUnitsCurrentIdsRecordVersion;
    if (values.hasCurrentIds)
      for (AcDbObjectId* id : filedOrder(values.currentIds)) {
        AcDbSoftPointerId read;
        DB_CHECK_FILER(filer->readSoftPointerId(&read));
        *id = read;
      }
    Apply(values);
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepUnitsObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepUnitsObj", [&](DbFields&) {
    Values values = Gather();
    DB_CHECK_FILER(filer->writeInt32(90, kUnitsCurrentIdsRecordVersion));
    DB_CHECK_FILER(filer->writeInt32(91, values.lengthUnit));
    for (int i = 0; i < 8; ++i) DB_CHECK_FILER(filer->writeInt32(92 + i, values.hostUnits[i]));
    int code = kDxfFirstCurrentId;
    for (AcDbObjectId* id : filedOrder(values.currentIds)) DB_CHECK_FILER(filer->writeObjectId(code++, *id));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepUnitsObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepUnitsObj", [&](DbFields&) {
    Adesk::Int32 version = 0;
    Values values;
    DB_CHECK_FILER(filer->readInt32(90, &version));
    Adesk::Int32 value = 0;
    DB_CHECK_FILER(filer->readInt32(91, &value));
    values.lengthUnit = value;
    for (int i = 0; i < 8; ++i) {
      DB_CHECK_FILER(filer->readInt32(92 + i, &value));
      values.hostUnits[i] = value;
    }
    values.hasCurrentIds = version >= kUnitsCurrentIdsRecordVersion;
    int code = kDxfFirstCurrentId;
    if (values.hasCurrentIds)
      for (AcDbObjectId* id : filedOrder(values.currentIds)) DB_CHECK_FILER(filer->readObjectId(code++, id));
    Apply(values);
    return filer->filerStatus();
  });
}
