#include "db/dbMateRel.h"

#include <new>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeTransform.h"
#include "arx/acutads.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "db/dbBaseLbc.h"
#include "db/dbFiling.h"
#include "db/dbMateRelPair.h"
#include "db/dbOpen.h"
#include "mcad/amikey.h"
#include "topo/acTopoMarkers.h"
#include "topo/acTopoRef.h"
#include "util/acObjKey.h"
#include "util/acSymbol.h"

namespace {

constexpr char kClassName[] = "CaepMateRelEnt";
constexpr char kSource[] = "acCad/src/db/dbMateRel";
constexpr int kDxfPair = 330;
constexpr int kArrowsPerEdge = 2;

#define MATE_CHECK(condition) \
  if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__)

bool sameKey(const AmiObjectKey* a, const AmiObjectKey* b) {
  return a && b && a->keyType() == b->keyType() && a->objectId() == b->objectId() && a->name() == b->name();
}

}  // namespace

// ---- class --------------------------------------------------------------------------------------

AcRxClass* CaepMateRelEnt::desc() { return acrxFindClass(kClassName); }
AcRxClass* CaepMateRelEnt::isA() const { return desc(); }
void CaepMateRelEnt::rxInit() { dbRegisterLbcClass(kClassName, "CAEPMATERELENT", dbMakeObject<CaepMateRelEnt>); }

CaepMateRelEnt::CaepMateRelEnt() = default;

CaepMateRelEnt::CaepMateRelEnt(CaeTopoRef* ref, int colorIndex, double symbolScale)
    : AttMateRel(ref), dataVersion_(kDataVersion), colorIndex_(colorIndex), symbolScale_(symbolScale) {
  MATE_CHECK(ref != nullptr);
  key_ = static_cast<AcTopoRef*>(ref)->GetKey();
  MATE_CHECK(acKeyNotNull(key_));
}

CaepMateRelEnt::~CaepMateRelEnt() { ReleaseOwnedKey(); }

void CaepMateRelEnt::ReleaseOwnedKey() {
  if (ownsKey_) acReleaseKey(&key_);
  key_ = nullptr;
  ownsKey_ = false;
}

void CaepMateRelEnt::AdoptFiledKey(AmiObjectKey* key) {
  ReleaseOwnedKey();
  key_ = key;
  ownsKey_ = key != nullptr;
}

// ---- the pair -----------------------------------------------------------------------------------

CaepMateRelPair* CaepMateRelEnt::OpenPair(bool erasedToo) {
  if (pairId_.isNull() || !database()) return nullptr;
  return CaepMateRelPair::cast(dbOpenMember(database(), pairId_, AcDb::kForWrite, erasedToo));
}

AnlMateRelPair* CaepMateRelEnt::Pair() {
  if (pairId_.isNull() || !database()) return nullptr;
  DbTransaction transaction(database());
  return OpenPair(false);
}

void CaepMateRelEnt::SetPair(AnlMateRelPair* pair) {
  dbWriteEnable(*this);
  if (!pair) {
    pairId_ = AcDbObjectId();
    return;
  }
  auto* object = dynamic_cast<AcDbObject*>(pair);
  MATE_CHECK(object != nullptr);
  pairId_ = object->objectId();
}

void CaepMateRelEnt::MarkAsNotErased() {
  if (!holdErased_ && !geometryMissing_) AttMateRel::MarkAsNotErased();
}

void CaepMateRelEnt::UnErase() {
  if (!isErased()) return;
  erase(false);
}

// ---- erase --------------------------------------------------------------------------------------

Acad::ErrorStatus CaepMateRelEnt::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  try {
    // The history brings each of the three back by its own record.
    if (!isUndoing() && database()) {
      DbTransaction transaction(database());
      CaepMateRelPair* pair = OpenPair(true);
      if (pair && erasing && !pair->isErased())
        pair->erase(true);  // erases the other relation; this one's erase is under way
      else if (pair && !erasing && pair->isErased())
        pair->UnErase();
    }
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
  erasing ? AttMateRel::MarkAsErased() : MarkAsNotErased();
  // History replay brings the flag back with the fields.
  if (!isUndoing()) topologyLost_ = 0;
  acNotifyKeyErased(key_, erasing ? 1 : 0);
  return Acad::eOk;
}

void CaepMateRelEnt::UponTopoRefModify() {
  if (IsActive()) recordGraphicsModified(true);
}

void CaepMateRelEnt::ReviveTopology() {
  UnErase();
  if (!database()) return;
  DbTransaction transaction(database());
  if (CaepMateRelPair* pair = OpenPair(false)) pair->ResolveMissingSides();
}

void CaepMateRelEnt::UponTopoRefErase() {
  // The erase clears the flag; it is set afterwards.
  if (erase(true) == Acad::eOk) topologyLost_ = 1;
}

// ---- resolution ---------------------------------------------------------------------------------

void CaepMateRelEnt::ResolveTopoRef() {
  try {
    MATE_CHECK(acKeyNotNull(key_));
    AcTopoRef* ref = acTopoRefFromKey(key_);
    SetTopoRef(ref);
    if (ref) {
      AmiObjectKey* filed = key_;
      const bool owned = ownsKey_;
      try {
        acRebindAttribToKey(&key_, this);
      } catch (const CaeExcept&) {
        key_ = filed;  // the rebind gave the key up without releasing it: it stays this entity's
        throw;
      }
      ownsKey_ = false;
      if (owned && filed != key_) acReleaseKey(&filed);
      if (!ref->HasAttributeId(objectId())) ref->AddAttribute(this);
      geometryMissing_ = false;
      if (!isErased()) MarkAsNotErased();
    } else {
      // The key stays and is filed again: the relation comes back with its geometry.
      geometryMissing_ = true;
      AttMateRel::MarkAsErased();
    }
    unresolved_ = 0;
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

// ---- drawing ------------------------------------------------------------------------------------

Adesk::Boolean CaepMateRelEnt::worldDraw(AcGiWorldDraw* mode) {
  try {
    if (IsActive() && dataVersion_ != 0 && unresolved_ == 0) DrawSymbol(mode, GetTopoRef());
  } catch (const CaeExcept& error) {
    acutPrintf("\n");
    acutPrintf("%s", error.String().Text());
    return Adesk::kFalse;
  }
  return Adesk::kTrue;
}

void CaepMateRelEnt::DrawSymbol(AcGiWorldDraw* mode, CaeTopoRef* ref) {
  if (!ref || !ref->IsVisible()) return;
  switch (ref->Kind()) {
    case CaeTopoRef::kEdge: {
      const AcSymbol* symbol = acFindSymbolName("doubleArrow");
      MATE_CHECK(symbol != nullptr);
      double params[kArrowsPerEdge];
      acEdgeMarkerParameters(ref, params, kArrowsPerEdge);
      CaeTopoRef* own = GetTopoRef();
      const bool onFace = own && own->Kind() == CaeTopoRef::kFace;
      const int noAxes[6] = {0, 0, 0, 0, 0, 0};
      for (double t : params) {
        CaeVector position;
        ref->Feval(CaeVector(t, 0, 0), position);
        CaeTransform placement;
        CaeVector normal, uv;
        if (onFace && own->PerpUv(position, normal, uv)) {
          placement = CaeTransform(position, normal);  // the arrow stands along the face normal
        } else {
          placement.SetTranslation(position);
        }
        symbol->acDrawSymbol(static_cast<Adesk::UInt16>(colorIndex_), symbolScale_, mode, position, placement, 0,
                             noAxes);
      }
      break;
    }
    case CaeTopoRef::kFace:
    case CaeTopoRef::kBody: {
      int flag = 0;
      for (CaeTopoRef* child = ref->FirstChild(flag); child; child = ref->NextChild(child, flag, flag))
        DrawSymbol(mode, child);
      break;
    }
    default: MATE_CHECK(false);
  }
}

// ---- filing -------------------------------------------------------------------------------------

int dbFileMateRecordHead(DbLbcFields& fields, AcDbDwgFiler* dwg, AcDbDxfFiler* dxf, bool reading, const char* className,
                         int version, int dataVersion) {
  if (!reading) {
    if (dwg) {
      fields.Check(dwg->writeUInt16(static_cast<Adesk::UInt16>(version)) == Acad::eOk, __LINE__);
    } else {
      fields.Check(dbWriteDxfMarker(dxf, className) == Acad::eOk, __LINE__);
      Adesk::Int32 filed = version;
      fields.Int32(filed);
    }
    return version;
  }
  Adesk::Int32 read = 0;
  if (dwg) {
    Adesk::UInt16 word = 0;
    fields.Check(dwg->readUInt16(&word) == Acad::eOk, __LINE__);
    read = word;
  } else {
    if (!dbReadDxfMarker(dxf, className)) return -1;
    fields.Int32(read);
  }
  fields.Check(read == 0 || (read >= kMateOldestDataVersion && read <= dataVersion), __LINE__);
  return read;
}

Acad::ErrorStatus CaepMateRelEnt::FileFields(AcDbDwgFiler* dwg, AcDbDxfFiler* dxf, bool reading) {
  return dbGuardedFiling([&] {
    DbLbcFields fields = dwg ? DbLbcFields(dwg, reading, kSource) : DbLbcFields(dxf, reading, kSource);
    if (!reading) {
      const int version =
          dbFileMateRecordHead(fields, dwg, dxf, false, kClassName, dataVersion_ != 0 ? kDataVersion : 0, kDataVersion);
      if (version == 0) return Acad::eOk;
      auto color = static_cast<Adesk::Int16>(colorIndex_);
      double scale = symbolScale_;
      AmiObjectKey* key = key_;
      fields.Int16(color);
      fields.Double(scale);
      fields.Key(key);
      const AcDbObjectId pair = dxf && dbIsErasedOrGone(pairId_) ? AcDbObjectId() : pairId_;
      fields.Check((dwg ? dwg->writeSoftPointerId(pair) : dxf->writeObjectId(kDxfPair, pair)) == Acad::eOk, __LINE__);
      Adesk::Int32 lost = topologyLost_;
      fields.Int32(lost);
      return Acad::eOk;
    }
    const int version = dbFileMateRecordHead(fields, dwg, dxf, true, kClassName, 0, kDataVersion);
    if (version < 0) return Acad::eOk;
    if (version == 0) {
      dataVersion_ = 0;
      return Acad::eOk;
    }
    Adesk::Int16 color = 0;
    double scale = 0.0;
    DbFiledKey key;
    AcDbSoftPointerId pair;
    fields.Int16(color);
    fields.Double(scale);
    fields.Key(key.Slot());
    fields.Check((dwg ? dwg->readSoftPointerId(&pair) : dxf->readObjectId(kDxfPair, &pair)) == Acad::eOk, __LINE__);
    Adesk::Int32 lost = 0;
    if (version >= kDataVersion) fields.Int32(lost);
    fields.Check(lost == 0 || lost == 1, __LINE__);
    // Applied only once the whole record is read.
    colorIndex_ = color;
    topologyLost_ = lost;
    symbolScale_ = scale;
    pairId_ = pair;
    // The host's undo re-reads live relations: one whose key names what it names already keeps its
    // resolution (and goes on drawing); re-attachment follows the part at the next boundary.
    const bool sameTopology =
        dwg && dwg->filerType() == AcDb::kUndoFiler && dataVersion_ != 0 && sameKey(key_, key.Slot());
    if (!sameTopology) {
      AdoptFiledKey(key.Release());
      unresolved_ = 1;
    }
    dataVersion_ = version;
    return Acad::eOk;
  });
}

Acad::ErrorStatus CaepMateRelEnt::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer); status != Acad::eOk)
    return dbGuardedFiling([&] {
      MATE_CHECK(false);
      return status;
    });
  if (!dbFilerWritesFields(filer->filerType())) return filer->filerStatus();
  const Acad::ErrorStatus status = const_cast<CaepMateRelEnt*>(this)->FileFields(filer, nullptr, false);
  return status != Acad::eOk ? status : filer->filerStatus();
}

Acad::ErrorStatus CaepMateRelEnt::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer); status != Acad::eOk) return status;
  if (!dbFilerReadsFields(filer->filerType())) return filer->filerStatus();
  Acad::ErrorStatus status = FileFields(filer, nullptr, true);
  if (status == Acad::eOk) status = filer->filerStatus();
  // An undo that brought back another key resolves it at once.
  if (status == Acad::eOk && filer->filerType() == AcDb::kUndoFiler && unresolved_ != 0) ResolveTopoRef();
  return status;
}

Acad::ErrorStatus CaepMateRelEnt::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer); status != Acad::eOk) return status;
  const Acad::ErrorStatus status = const_cast<CaepMateRelEnt*>(this)->FileFields(nullptr, filer, false);
  return status != Acad::eOk ? status : filer->filerStatus();
}

Acad::ErrorStatus CaepMateRelEnt::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer); status != Acad::eOk) return status;
  const Acad::ErrorStatus status = FileFields(nullptr, filer, true);
  return status != Acad::eOk ? status : filer->filerStatus();
}
