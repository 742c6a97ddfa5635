#include "arx/dbdxffiler.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "database_impl.h"

ACRX_CONS_DEFINE_MEMBERS(AcDbEntity, AcDbObject, "ACDBENTITY")

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId layer, Adesk::Boolean) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (layer.isNull()) return Acad::eNullObjectId;
  assertWriteEnabled();
  layerId_ = layer;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setLayer(const char* layerName, Adesk::Boolean doSubents) {
  AcDbDatabase* db = database();
  if (!db) return Acad::eNotInDatabase;
  AcDbLayerTable* table = nullptr;
  Acad::ErrorStatus status = db->getLayerTable(table, AcDb::kForRead);
  if (status != Acad::eOk) return status;
  AcDbObjectId layer;
  status = table->getAt(layerName, layer);
  table->close();
  return status == Acad::eOk ? setLayer(layer, doSubents) : status;
}

std::string AcDbEntity::layer() const {
  AcDbObjectId id = layerId_;
  if (id.isNull() && database()) id = database()->layerZero();
  AcDbStub* stub = id.stub();
  auto* record = stub ? AcDbSymbolTableRecord::cast(stub->object) : nullptr;
  return record ? record->name() : std::string("0");
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 color, Adesk::Boolean) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (color > 256) return Acad::eInvalidInput;
  assertWriteEnabled();
  colorIndex_ = color;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility visibility, Adesk::Boolean) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  assertWriteEnabled();
  visibility_ = visibility;
  return Acad::eOk;
}

void AcDbEntity::recordGraphicsModified(Adesk::Boolean setModified) {
  graphicsModified_ = setModified;
  if (setModified && database()) database()->impl().graphicsModified.push_back(objectId());
}

Adesk::Boolean AcDbEntity::worldDraw(AcGiWorldDraw*) { return true; }
void AcDbEntity::viewportDraw(AcGiViewportDraw*) {}

Acad::ErrorStatus AcDbEntity::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  AcDbHardPointerId layer;
  Adesk::UInt16 color = 0;
  Adesk::Int16 visibility = 0;
  filer->readHardPointerId(&layer);
  filer->readUInt16(&color);
  filer->readInt16(&visibility);
  if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
  layerId_ = layer;
  colorIndex_ = color;
  visibility_ = visibility == AcDb::kInvisible ? AcDb::kInvisible : AcDb::kVisible;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeHardPointerId(layerId_);
  filer->writeUInt16(colorIndex_);
  filer->writeInt16(static_cast<Adesk::Int16>(visibility_));
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  AcDbDxfItem item;
  if (filer->peek(&item) && item.code == 100) filer->readItem(&item);
  while (filer->peek(&item) && (item.code == 8 || item.code == 62 || item.code == 60)) {
    if (item.code == 8) {
      std::string name;
      filer->readString(8, &name);
      AcDbDatabase* db = database();
      AcDbLayerTable* table = nullptr;
      if (db && db->getLayerTable(table, AcDb::kForRead) == Acad::eOk) {
        AcDbObjectId layer;
        if (table->getAt(name.c_str(), layer) == Acad::eOk) layerId_ = layer;
        table->close();
      }
    } else if (item.code == 62) {
      Adesk::Int16 color = 256;
      if (filer->readInt16(62, &color) == Acad::eOk && color >= 0 && color <= 256)
        colorIndex_ = static_cast<Adesk::UInt16>(color);
    } else {
      Adesk::Int16 visibility = 0;
      if (filer->readInt16(60, &visibility) == Acad::eOk) visibility_ = visibility ? AcDb::kInvisible : AcDb::kVisible;
    }
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dxfOutFields(AcDbDxfFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, "AcDbEntity");
  filer->writeString(8, layer());
  filer->writeInt16(62, static_cast<Adesk::Int16>(colorIndex_));
  if (visibility_ == AcDb::kInvisible) filer->writeInt16(60, 1);
  return filer->filerStatus();
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  return acdbOpenObject<AcDbEntity>(entity, id, mode, openErased);
}
