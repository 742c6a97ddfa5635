#include "db/dbBaseLbc.h"

#include "util/acSymbol.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "db/dbFiling.h"
#include "db/dbLbcSet.h"
#include "db/dbTransform.h"
#include "fea/AnlControl.h"
#include "fea/AttLbcCase.h"
#include "gui/wizard/UIWizard.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acLayer.h"
#include "util/acObjKey.h"

namespace {

constexpr char kBaseSource[] = "acCad/src/db/dbBaseLbc";

// DXF group codes of the record's values.
constexpr int kDxfInt16 = 70;
constexpr int kDxfInt32 = 90;
constexpr int kDxfDouble = 40;
constexpr int kDxfString = 1;
constexpr int kDxfKeyObject = 330;

// Guide steps an erase updates.
constexpr int kGuideStepLoads = 3;
constexpr int kGuideStepRestraints = 4;

#define BASE_CHECK(condition) \
  if (!(condition)) CaeMsgCall::GeneralError(kBaseSource, __LINE__)

bool isTopologyKeyType(Adesk::Int32 type) {
  switch (type) {
    case Ami::kObjectKey:
    case Ami::kVertexKey:
    case Ami::kEdgeKey:
    case Ami::kFaceKey:
    case Ami::kBodyKey:
    case Ami::kPartKey:
    case Ami::kCompKey: return true;
    default: return false;
  }
}

// The transaction of the CAD interface for the lifetime of the object.
class CadTransaction {
 public:
  CadTransaction() : cad_(CadInterface::GetCurrent()) {
    if (cad_) cad_->StartTransaction();
  }
  ~CadTransaction() {
    if (cad_) cad_->EndTransaction();
  }
  CadTransaction(const CadTransaction&) = delete;
  CadTransaction& operator=(const CadTransaction&) = delete;

 private:
  CadInterface* cad_;
};

}  // namespace

// ---- DbLbcFields ------------------------------------------------------------------------------

void DbLbcFields::Check(bool condition, int line) const {
  if (!condition) CaeMsgCall::GeneralError(source_, line);
}

void DbLbcFields::Int16(Adesk::Int16& value) {
  Acad::ErrorStatus status;
  if (dwg_)
    status = reading_ ? dwg_->readInt16(&value) : dwg_->writeInt16(value);
  else
    status = reading_ ? dxf_->readInt16(kDxfInt16, &value) : dxf_->writeInt16(kDxfInt16, value);
  Check(status == Acad::eOk, __LINE__);
}

void DbLbcFields::Int32(Adesk::Int32& value) {
  Acad::ErrorStatus status;
  if (dwg_)
    status = reading_ ? dwg_->readInt32(&value) : dwg_->writeInt32(value);
  else
    status = reading_ ? dxf_->readInt32(kDxfInt32, &value) : dxf_->writeInt32(kDxfInt32, value);
  Check(status == Acad::eOk, __LINE__);
}

void DbLbcFields::Double(double& value) {
  Acad::ErrorStatus status;
  if (dwg_)
    status = reading_ ? dwg_->readDouble(&value) : dwg_->writeDouble(value);
  else
    status = reading_ ? dxf_->readDouble(kDxfDouble, &value) : dxf_->writeDouble(kDxfDouble, value);
  Check(status == Acad::eOk, __LINE__);
  if (reading_) Check(std::isfinite(value), __LINE__);
}

void DbLbcFields::Vector(CaeVector& value) {
  for (int i = 0; i < 3; ++i) Double(value[i]);
}

void DbLbcFields::String(CaeString& text) {
  if (!reading_) {
    Check((dwg_ ? dwg_->writeString(text.Text()) : dxf_->writeString(kDxfString, text.Text())) == Acad::eOk, __LINE__);
    return;
  }
  std::string read;
  Check((dwg_ ? dwg_->readString(&read) : dxf_->readString(kDxfString, &read)) == Acad::eOk, __LINE__);
  text = CaeString(read);
}

void DbLbcFields::Transform(CaeTransform& transform) {
  if (dwg_) {
    Check((reading_ ? dbMatrixToTransform(dwg_, transform) : dbTransformToMatrix(dwg_, transform)) == Acad::eOk,
          __LINE__);
    return;
  }
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double value = transform.Component(i, j);
      Double(value);
      transform.Set(i, j, value);
    }
  }
}

void DbLbcFields::Key(AmiObjectKey*& key) {
  if (!reading_) {
    Check(acKeyNotNull(key), __LINE__);
    if (dwg_) {
      Check(amiWriteKey(dwg_, key) == Ami::eOk, __LINE__);
      return;
    }
    Adesk::Int32 type = key->keyType();
    Int32(type);
    Check(dxf_->writeObjectId(kDxfKeyObject, key->objectId()) == Acad::eOk, __LINE__);
    CaeString name(key->name());
    String(name);
    return;
  }
  key = nullptr;
  if (dwg_) {
    AmiKey* read = nullptr;
    const AmiStatus status = amiReadKey(dwg_, read);
    auto* objectKey = dynamic_cast<AmiObjectKey*>(read);
    if (status != Ami::eOk || !objectKey || !acKeyNotNull(objectKey)) {
      if (read) read->release();
      Check(false, __LINE__);
    }
    key = objectKey;
    return;
  }
  Adesk::Int32 type = 0;
  Int32(type);
  AcDbObjectId object;
  Check(dxf_->readObjectId(kDxfKeyObject, &object) == Acad::eOk, __LINE__);
  CaeString name;
  String(name);
  Check(isTopologyKeyType(type), __LINE__);
  auto* read = new AmiObjectKey(static_cast<Ami::KeyType>(type), object, name.Text());
  if (!acKeyNotNull(read)) {
    read->release();
    Check(false, __LINE__);
  }
  key = read;
}

DbFiledKey::~DbFiledKey() { acReleaseKey(&key_); }

// ---- CaepBaseLbcEnt ---------------------------------------------------------------------------

CaepBaseLbcEnt::CaepBaseLbcEnt() { dbWatchModifyUndone(this); }

CaepBaseLbcEnt::CaepBaseLbcEnt(const AttLbcDescript* descriptor, int colorIndex, AmiObjectKey* key, double scale)
    : CaepLbcVis(scale), dataVersion_(kLbcRecordVersion), topoKey_(key) {
  BASE_CHECK(descriptor != nullptr);
  type_ = descriptor->type;
  category_ = descriptor->kind;
  setColorIndex(static_cast<Adesk::UInt16>(colorIndex), true);
  dbWatchModifyUndone(this);
}

CaepBaseLbcEnt::~CaepBaseLbcEnt() {
  storedRecords_.clear();
  ReleaseOwnedKey();
}

void CaepBaseLbcEnt::ReleaseOwnedKey() {
  if (ownsKey_) acReleaseKey(&topoKey_);
  topoKey_ = nullptr;
  ownsKey_ = false;
}

void CaepBaseLbcEnt::AdoptFiledKey(AmiObjectKey* key) {
  if (key == topoKey_) return;
  ReleaseOwnedKey();
  topoKey_ = key;
  ownsKey_ = key != nullptr;
}

const AttLbcDescript* CaepBaseLbcEnt::DescriptorOf(int type) const {
  CadInterface* cad = CadInterface::GetCurrent();
  const AttLbcDescript* descriptor = cad ? cad->FindLbcDescript(type) : nullptr;
  if (!descriptor) CaeMsgCall::GeneralError(SourceName(), __LINE__);
  return descriptor;
}

CaeString CaepBaseLbcEnt::DefaultName(int type) {
  CaeString name;
  CadLbcTypeName(name, type);
  std::string text = name.Text();
  for (char& c : text)
    if (c == ' ') c = '_';
  return CaeString(text);
}

void CaepBaseLbcEnt::ApplyColor(Adesk::Int16 color) {
  // A colour outside the host's range reads as "by layer".
  const auto index = color >= 0 && color <= 256 ? static_cast<Adesk::UInt16>(color) : Adesk::UInt16{256};
  setColorIndex(index, true);
}

// ---- set membership ---------------------------------------------------------------------------

AttLbcCase* CaepBaseLbcEnt::FindCase(int kind, AttBaseLbc* condition) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  const bool restraint = kind == AttKindRestraint;
  for (AttLbcCase* set = restraint ? control->FirstRestraintCase() : control->FirstLoadCase(); set;
       set = restraint ? control->NextRestraintCase() : control->NextLoadCase()) {
    const int count = set->NumLbcs();
    for (int i = 1; i <= count; ++i)
      if (set->GetLbc(i) == condition) return set;
  }
  return nullptr;
}

void CaepBaseLbcEnt::AddToCase(AttLbcCase* set, AttBaseLbc* condition) {
  BASE_CHECK(set != nullptr);
  set->AddLbc(condition);
}

void CaepBaseLbcEnt::AddToCurrentCase(int kind, AttBaseLbc* condition) {
  AnlControl* control = AnlControl::GetCurrent();
  BASE_CHECK(control != nullptr);
  AttLbcCase* set = kind == AttKindRestraint ? control->CurrentRestraintCase() : control->CurrentLoadCase();
  BASE_CHECK(set != nullptr);
  set->AddLbc(condition);
}

int CaepBaseLbcEnt::IsInCurrentCase(int kind, AttBaseLbc* condition) {
  AnlControl* control = AnlControl::GetCurrent();
  BASE_CHECK(control != nullptr);
  AttLbcCase* set = kind == AttKindRestraint ? control->CurrentRestraintCase() : control->CurrentLoadCase();
  return set && FindCase(kind, condition) == set ? 1 : 0;
}

// ---- erase and unerase ------------------------------------------------------------------------

Acad::ErrorStatus CaepBaseLbcEnt::subOpen(AcDb::OpenMode mode) {
  // Whoever opens it for write may change what the symbols stand on or how they turn.
  if (mode == AcDb::kForWrite) ForgetPlacements();
  return AcDbEntity::subOpen(mode);
}

Acad::ErrorStatus CaepBaseLbcEnt::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  transition_ = erasing ? Transition::Erasing : Transition::Unerasing;
  try {
    MarkEngineErased(erasing);
    topologyLost_ = 0;
    CadTransaction transaction;
    UpdateGuideStep(erasing);
    acNotifyKeyErased(topoKey_, erasing ? 1 : 0);
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  }
  transition_ = Transition::None;
  return Acad::eOk;
}

void CaepBaseLbcEnt::UpdateGuideStep(bool erasing) {
  AttBaseLbc& condition = Condition();
  // Without a control (a drawing being closed or read) there is no guide to update.
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !condition.IsInCurrentCase()) return;
  const bool restraint = IsRestraint();
  const int step = restraint ? kGuideStepRestraints : kGuideStepLoads;
  if (!erasing) {
    UISetWizardTabState(step, 1);
    return;
  }
  auto* set = dynamic_cast<CaepLbcSetObj*>(restraint ? control->CurrentRestraintCase() : control->CurrentLoadCase());
  const int live = set ? set->CountLbcs(1) : 0;
  UISetWizardTabState(step, live > 0 ? 1 : 0);
}

// ---- drawing ----------------------------------------------------------------------------------

Adesk::Boolean CaepBaseLbcEnt::worldDraw(AcGiWorldDraw* mode) {
  try {
    if (!Condition().IsActive() || dataVersion_ == 0 || unresolved_ != 0) return Adesk::kTrue;
    DrawCondition(mode);
  } catch (const CaeExcept& error) {
    acutPrintf("\n");
    acutPrintf("%s", error.String().Text());
  }
  return Adesk::kTrue;
}

void CaepBaseLbcEnt::DrawCondition(AcGiWorldDraw*) {}

void CaepBaseLbcEnt::DrawSymbolAtOrigin(AcGiWorldDraw* mode) const {
  if (!SymbolsShown()) return;
  const CaeVector origin;
  const AcSymbol* symbol = nullptr;
  int perAxis = 0;
  SymbolName(symbol, perAxis, origin);
  CaeTransform placement;
  SymbolTransform(origin, perAxis, placement);
  int free[6] = {0, 0, 0, 0, 0, 0};
  FreeComponents(free);
  symbol->acDrawSymbol(static_cast<Adesk::UInt16>(ColorIndex()), Scale(), mode, origin, placement, perAxis, free);
}

// ---- resolution -------------------------------------------------------------------------------

CaeTopoRef* CaepBaseLbcEnt::ResolveTopology(CaeAttrib& attribute) {
  AcTopoRef* ref = acKeyNotNull(topoKey_) ? acTopoRefFromKey(topoKey_) : nullptr;
  attribute.SetTopoRef(ref);
  if (ref) {
    AmiObjectKey* filed = topoKey_;
    const bool owned = ownsKey_;
    acRebindAttribToKey(&topoKey_, &attribute);
    ownsKey_ = false;
    if (owned && filed != topoKey_) acReleaseKey(&filed);
    ref->AddAttribute(&attribute);
    geometryMissing_ = false;
    if (!isErased()) Condition().MarkAsNotErased();
  } else {
    // The key is kept and filed again: the condition comes back when its geometry does.
    geometryMissing_ = true;
    Condition().MarkAsErased();
    // Read back as taken by its topology: the next change of its part must run the pass that
    // brings it back, as it would have had the drawing stayed open.
    if (topologyLost_ && isErased()) acWatchPartOfKey(topoKey_);
  }
  unresolved_ = 0;
  return ref;
}

void CaepBaseLbcEnt::ResolveAfterUndo() {
  try {
    Resolve();
  } catch (const CaeExcept& error) {
    // Left unresolved: it draws nothing until the next post-load pass or edit.
    acutPrintf("\n%s", error.String().Text());
  }
}

// ---- filing -----------------------------------------------------------------------------------

void CaepBaseLbcEnt::PutOnConditionLayer() {
  AcDbDatabase* db = database();
  if (!db) return;
  AcDbLayerTable* table = nullptr;
  if (db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return;
  AcDbObjectId layer;
  const bool found = table->getAt(acCaeLayerName(kCaeLayerLbc), layer) == Acad::eOk;
  table->close();
  if (found) setLayer(layer, true);
}

Acad::ErrorStatus CaepBaseLbcEnt::Guarded(AcDbDwgFiler* filer, bool reading) {
  try {
    DbLbcFields fields(filer, reading, SourceName());
    if (!reading) {
      const Adesk::UInt16 word = dataVersion_ != 0 ? RecordVersion() : 0;
      fields.Check(filer->writeUInt16(word) == Acad::eOk, __LINE__);
      if (dataVersion_ != 0) {
        FileRecord(fields, RecordVersion());
        FileTopologyLost(fields, RecordVersion());
      }
      return filer->filerStatus();
    }
    Adesk::UInt16 version = 0;
    fields.Check(filer->readUInt16(&version) == Acad::eOk, __LINE__);
    fields.Check(version <= RecordVersion(), __LINE__);
    if (version == 0) {
      dataVersion_ = 0;
      return filer->filerStatus();
    }
    FileRecord(fields, version);
    FileTopologyLost(fields, version);
    unresolved_ = 1;
    if (filer->filerType() == AcDb::kFileFiler) PutOnConditionLayer();
    // An undo restores the fields of a live condition: it is resolved again at once so that its
    // symbols stay.
    if (filer->filerType() == AcDb::kUndoFiler) ResolveAfterUndo();
    return filer->filerStatus();
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
    return Acad::eFilerError;
  }
}

void CaepBaseLbcEnt::FileTopologyLost(DbLbcFields& fields, int version) {
  Adesk::Int32 lost = fields.Reading() ? 0 : topologyLost_;
  if (version >= kLbcLostFlagRecordVersion) fields.Int32(lost);
  fields.Check(lost == 0 || lost == 1, __LINE__);
  topologyLost_ = lost;
}

Acad::ErrorStatus CaepBaseLbcEnt::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer); status != Acad::eOk) return status;
  if (!dbFilerWritesFields(filer->filerType())) return filer->filerStatus();
  // Writing changes nothing; the pass is shared with reading.
  return const_cast<CaepBaseLbcEnt*>(this)->Guarded(filer, false);
}

Acad::ErrorStatus CaepBaseLbcEnt::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  ForgetPlacements();  // an undo, an abort or a copy puts other fields in place
  if (Acad::ErrorStatus status = AcDbObject::dwgInFields(filer); status != Acad::eOk) return status;
  if (!dbFilerReadsFields(filer->filerType())) return filer->filerStatus();
  return Guarded(filer, true);
}

Acad::ErrorStatus CaepBaseLbcEnt::FileDxf(AcDbDxfFiler* filer, bool reading) {
  try {
    DbLbcFields fields(filer, reading, SourceName());
    if (!reading) {
      fields.Check(dbWriteDxfMarker(filer, ClassName()) == Acad::eOk, __LINE__);
      Adesk::Int32 version = dataVersion_ != 0 ? RecordVersion() : 0;
      fields.Int32(version);
      if (dataVersion_ != 0) {
        FileRecord(fields, RecordVersion());
        FileTopologyLost(fields, RecordVersion());
      }
      return filer->filerStatus();
    }
    if (!dbReadDxfMarker(filer, ClassName())) return filer->filerStatus();
    Adesk::Int32 version = 0;
    fields.Int32(version);
    fields.Check(version >= 0 && version <= RecordVersion(), __LINE__);
    if (version == 0) {
      dataVersion_ = 0;
      return filer->filerStatus();
    }
    FileRecord(fields, version);
    FileTopologyLost(fields, version);
    unresolved_ = 1;
    return filer->filerStatus();
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
    return Acad::eFilerError;
  }
}

Acad::ErrorStatus CaepBaseLbcEnt::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  // DXF keeps the entity's layer by name, so the entity-level fields go too.
  if (Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer); status != Acad::eOk) return status;
  return const_cast<CaepBaseLbcEnt*>(this)->FileDxf(filer, false);
}

Acad::ErrorStatus CaepBaseLbcEnt::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  ForgetPlacements();
  if (Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer); status != Acad::eOk) return status;
  return FileDxf(filer, true);
}

void dbRegisterLbcClass(const char* name, const char* dxfName, AcRxPseudoConstructor make) {
  constexpr int kDrawingVersion = 23;
  constexpr int kMaintenanceVersion = 6;
  if (!acrxFindClass(name))
    newAcRxClass(name, "AcDbEntity", kDrawingVersion, kMaintenanceVersion, 0, make, dxfName, "TLXARX");
}

void dbFileTempRows(DbLbcFields& fields, DbTempRows& rows) {
  fields.Check(fields.Reading() || rows.size() <= static_cast<std::size_t>(INT16_MAX), __LINE__);
  auto count = static_cast<Adesk::Int16>(rows.size());
  fields.Int16(count);
  fields.Check(count >= 0, __LINE__);
  if (fields.Reading()) rows.clear();
  for (Adesk::Int16 i = 0; i < count; ++i) {
    std::pair<double, double> row = fields.Reading() ? std::pair<double, double>() : rows[static_cast<std::size_t>(i)];
    fields.Double(row.first);
    fields.Double(row.second);
    if (fields.Reading()) rows.push_back(row);
  }
}
