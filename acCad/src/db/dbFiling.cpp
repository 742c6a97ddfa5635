#include "db/dbFiling.h"

#include "CadInterface/AcCadDocControl.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdxffiler.h"
#include "arx/dbobject.h"
#include "cadInterface/CadApplication.h"
#include "db/dbControl.h"

Acad::ErrorStatus dbReportFilingException(const char* text) {
  acutPrintf("\nTLX Exception: %s", text ? text : "");
  return Acad::eFilerError;
}

AcCadDocData* dbDocDataOf(const AcDbDatabase* database) {
  if (!database) return nullptr;
  CadApplication* application = CadGetApplication();
  if (!application) return nullptr;
  AcApDocument* document = acDocManagerPtr()->document(database);
  if (!document) return nullptr;
  CadDocControl* control = application->FindDocControl(document);
  return control ? dynamic_cast<AcCadDocData*>(control->GetData()) : nullptr;
}

CaepAnlControl* dbControlOf(const AcDbDatabase* database) {
  AcCadDocData* data = dbDocDataOf(database);
  return data ? dynamic_cast<CaepAnlControl*>(data->GetAnlControl()) : nullptr;
}

std::string dbObjectLabel(const AcDbObject* object, const char* className) {
  return std::string(className) + " " + object->objectHandle().text();
}

Acad::ErrorStatus dbWriteDxfMarker(AcDbDxfFiler* filer, const char* className) {
  return filer->writeString(100, className);
}

bool dbReadDxfMarker(AcDbDxfFiler* filer, const char* className) {
  AcDbDxfItem item;
  if (!filer->peek(&item) || item.code != 100 || item.value != className) return false;
  filer->readItem(&item);
  return true;
}

void dbRegisterClass(const char* name, const char* dxfName, AcRxPseudoConstructor make, const char* parent) {
  constexpr int kDrawingVersion = 23;
  constexpr int kMaintenanceVersion = 6;
  if (!acrxFindClass(name))
    newAcRxClass(name, parent, kDrawingVersion, kMaintenanceVersion, 0, make, dxfName, "TLXARX");
}

// ---- DbFields ---------------------------------------------------------------------------------

namespace {

constexpr int kDxfInt16 = 70;
constexpr int kDxfInt32 = 90;
constexpr int kDxfDouble = 40;
constexpr int kDxfString = 1;

int dxfIdCode(DbFields::Ref kind) {
  switch (kind) {
    case DbFields::Ref::HardOwner: return 360;
    case DbFields::Ref::SoftOwner: return 350;
    case DbFields::Ref::HardPointer: return 340;
    case DbFields::Ref::SoftPointer: return 330;
  }
  return 340;
}

}  // namespace

void DbFields::UInt16(Adesk::UInt16& value) {
  if (dwg_) {
    DB_CHECK_FILER(reading_ ? dwg_->readUInt16(&value) : dwg_->writeUInt16(value));
    return;
  }
  Adesk::Int32 wide = value;
  DB_CHECK_FILER(reading_ ? dxf_->readInt32(kDxfInt32, &wide) : dxf_->writeInt32(kDxfInt32, wide));
  CAE_CHECK(wide >= 0 && wide <= 0xffff);
  value = static_cast<Adesk::UInt16>(wide);
}

void DbFields::Int16(Adesk::Int16& value) {
  if (dwg_)
    DB_CHECK_FILER(reading_ ? dwg_->readInt16(&value) : dwg_->writeInt16(value));
  else
    DB_CHECK_FILER(reading_ ? dxf_->readInt16(kDxfInt16, &value) : dxf_->writeInt16(kDxfInt16, value));
}

void DbFields::Int32(Adesk::Int32& value) {
  if (dwg_)
    DB_CHECK_FILER(reading_ ? dwg_->readInt32(&value) : dwg_->writeInt32(value));
  else
    DB_CHECK_FILER(reading_ ? dxf_->readInt32(kDxfInt32, &value) : dxf_->writeInt32(kDxfInt32, value));
}

void DbFields::UInt32(Adesk::UInt32& value) {
  if (dwg_) {
    DB_CHECK_FILER(reading_ ? dwg_->readUInt32(&value) : dwg_->writeUInt32(value));
    return;
  }
  // DXF has no unsigned 32-bit code: the bits travel as the signed value.
  auto bits = static_cast<Adesk::Int32>(value);
  DB_CHECK_FILER(reading_ ? dxf_->readInt32(kDxfInt32, &bits) : dxf_->writeInt32(kDxfInt32, bits));
  value = static_cast<Adesk::UInt32>(bits);
}

void DbFields::Double(double& value) {
  if (dwg_)
    DB_CHECK_FILER(reading_ ? dwg_->readDouble(&value) : dwg_->writeDouble(value));
  else
    DB_CHECK_FILER(reading_ ? dxf_->readDouble(kDxfDouble, &value) : dxf_->writeDouble(kDxfDouble, value));
  if (reading_) CAE_CHECK(std::isfinite(value));
}

void DbFields::String(CaeString& text) {
  if (!reading_) {
    DB_CHECK_FILER(dwg_ ? dwg_->writeString(text.Text()) : dxf_->writeString(kDxfString, text.Text()));
    return;
  }
  std::string read;
  DB_CHECK_FILER(dwg_ ? dwg_->readString(&read) : dxf_->readString(kDxfString, &read));
  text = CaeString(read);
}

void DbFields::Id(AcDbObjectId& id, Ref kind) {
  if (dxf_) {
    DB_CHECK_FILER(reading_ ? dxf_->readObjectId(dxfIdCode(kind), &id) : dxf_->writeObjectId(dxfIdCode(kind), id));
    return;
  }
  switch (kind) {
    case Ref::HardOwner: {
      AcDbHardOwnershipId typed(id);
      DB_CHECK_FILER(reading_ ? dwg_->readHardOwnershipId(&typed) : dwg_->writeHardOwnershipId(typed));
      id = typed;
      break;
    }
    case Ref::SoftOwner: {
      AcDbSoftOwnershipId typed(id);
      DB_CHECK_FILER(reading_ ? dwg_->readSoftOwnershipId(&typed) : dwg_->writeSoftOwnershipId(typed));
      id = typed;
      break;
    }
    case Ref::HardPointer: {
      AcDbHardPointerId typed(id);
      DB_CHECK_FILER(reading_ ? dwg_->readHardPointerId(&typed) : dwg_->writeHardPointerId(typed));
      id = typed;
      break;
    }
    case Ref::SoftPointer: {
      AcDbSoftPointerId typed(id);
      DB_CHECK_FILER(reading_ ? dwg_->readSoftPointerId(&typed) : dwg_->writeSoftPointerId(typed));
      id = typed;
      break;
    }
  }
}

void DbFields::Count(Adesk::Int32& count) {
  Int32(count);
  CAE_CHECK(count >= 0 && count <= kMaxCount);
}

void DbFields::Ids(std::vector<AcDbObjectId>& ids, Ref kind) {
  Adesk::Int32 count = static_cast<Adesk::Int32>(ids.size());
  Count(count);
  if (!reading_) {
    for (AcDbObjectId id : ids) Id(id, kind);
    return;
  }
  std::vector<AcDbObjectId> read;
  for (Adesk::Int32 i = 0; i < count; ++i) {
    AcDbObjectId id;
    Id(id, kind);
    if (!id.isNull()) read.push_back(id);
  }
  ids = std::move(read);
}
