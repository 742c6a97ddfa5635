#include "db/dbMateRelPair.h"

#include <memory>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "db/dbBaseLbc.h"
#include "db/dbFiling.h"
#include "db/dbMateRel.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace {

constexpr char kClassName[] = "CaepMateRelPair";
constexpr char kSource[] = "acCad/src/db/dbMateRelPair";
constexpr int kDxfFirst = 330;
constexpr int kDxfSecond = 331;

#define PAIR_CHECK(condition) \
  if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__)

// Appends a new relation on `ref` to model space on the relation layer, lists it on its reference
// and binds it to its key; the relation is closed again.
AcDbObjectId postRelation(CaeTopoRef* ref, int colorIndex, double symbolScale, AcDbObjectId layer) {
  auto relation = std::make_unique<CaepMateRelEnt>(ref, colorIndex, symbolScale);
  AcDbObjectId id;
  acPostToModelSpace(relation.get(), id, 0);
  CaepMateRelEnt* posted = relation.release();  // the drawing owns it now
  posted->setLayer(layer, true);
  posted->setColorIndex(static_cast<Adesk::UInt16>(colorIndex), true);
  static_cast<AcTopoRef*>(ref)->AddAttribute(posted);
  acBindObjectToKey(posted->Key(), posted);
  PAIR_CHECK(posted->close() == Acad::eOk);
  return id;
}

}  // namespace

// ---- class --------------------------------------------------------------------------------------

AcRxClass* CaepMateRelPair::desc() { return acrxFindClass(kClassName); }
AcRxClass* CaepMateRelPair::isA() const { return desc(); }
void CaepMateRelPair::rxInit() { dbRegisterClass(kClassName, "CAEPMATERELPAIR", dbMakeObject<CaepMateRelPair>); }

CaepMateRelPair::CaepMateRelPair() = default;

CaepMateRelPair::CaepMateRelPair(CaeTopoRef* first, CaeTopoRef* second, const CaeString& name, int colorIndex,
                                 double symbolScale)
    : dataVersion_(kDataVersion) {
  PAIR_CHECK(first != nullptr && second != nullptr && !name.IsEmpty());
  Name(name);
  AcDbObjectId layer;
  acGetLayer(acCaeLayerName(kCaeLayerMateRel), layer);
  firstId_ = postRelation(first, colorIndex, symbolScale, layer);
  secondId_ = postRelation(second, colorIndex, symbolScale, layer);
}

// ---- relations ----------------------------------------------------------------------------------

// A relation the drawing no longer has (a record that could not be read, a handle that names
// nothing) is absent: null.
CaepMateRelEnt* CaepMateRelPair::OpenRelation(AcDbObjectId id) {
  if (id.isNull()) return nullptr;
  PAIR_CHECK(database() != nullptr);
  AcDbObject* object = dbOpenMember(database(), id, AcDb::kForRead, true);
  if (!object) return nullptr;
  auto* relation = CaepMateRelEnt::cast(object);
  PAIR_CHECK(relation != nullptr);
  return relation;
}

void CaepMateRelPair::GetMateRels(AttMateRel*& first, AttMateRel*& second) {
  first = second = nullptr;
  if (firstId_.isNull()) return;
  first = MateRel1();
  second = MateRel2();
}

AttMateRel* CaepMateRelPair::MateRel1() {
  if (firstId_.isNull()) return nullptr;
  DbTransaction transaction(database());
  return OpenRelation(firstId_);
}

AttMateRel* CaepMateRelPair::MateRel2() {
  if (secondId_.isNull()) return nullptr;
  DbTransaction transaction(database());
  return OpenRelation(secondId_);
}

void CaepMateRelPair::AttachToEntities() {
  DbTransaction transaction(database());
  for (AcDbObjectId id : {firstId_, secondId_}) {
    CaepMateRelEnt* relation = OpenRelation(id);
    PAIR_CHECK(relation != nullptr);
    relation->SetPair(this);
  }
}

int CaepMateRelPair::ColorIndex() {
  auto* first = static_cast<CaepMateRelEnt*>(MateRel1());
  PAIR_CHECK(first != nullptr);
  return first->ColorIndex();
}

double CaepMateRelPair::SymbolScale() {
  auto* first = static_cast<CaepMateRelEnt*>(MateRel1());
  PAIR_CHECK(first != nullptr);
  return first->SymbolScale();
}

void CaepMateRelPair::MarkAsCurrent() {
  AnlMateRelPair::MarkAsCurrent();
  DbTransaction transaction(database());
  for (AcDbObjectId id : {firstId_, secondId_})
    if (CaepMateRelEnt* relation = OpenRelation(id)) relation->MarkAsCurrent();
}

void CaepMateRelPair::MarkAsNotCurrent() {
  AnlMateRelPair::MarkAsNotCurrent();
  DbTransaction transaction(database());
  for (AcDbObjectId id : {firstId_, secondId_})
    if (CaepMateRelEnt* relation = OpenRelation(id)) relation->MarkAsNotCurrent();
}

void CaepMateRelPair::MarkAsNotErased() {
  if (!sideMissing_) AnlMateRelPair::MarkAsNotErased();
}

// ---- erase --------------------------------------------------------------------------------------

void CaepMateRelPair::CascadeToRelations(bool erasing) {
  DbTransaction transaction(database());
  for (AcDbObjectId id : {firstId_, secondId_}) {
    CaepMateRelEnt* relation = OpenRelation(id);
    if (!relation) continue;
    // By the drawing's state, not the engine mark: the engine marks both relations with the pair.
    if (relation->isErased() == erasing) continue;
    dbWriteEnable(*relation);
    relation->erase(erasing);
  }
}

Acad::ErrorStatus CaepMateRelPair::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  // The history brings each relation back by its own record: the pair marks only itself.
  if (isUndoing() || !database()) {
    erasing ? CaeActive::MarkAsErased() : MarkAsNotErased();
    return Acad::eOk;
  }
  try {
    erasing ? CaeActive::MarkAsErased() : MarkAsNotErased();
    CascadeToRelations(erasing);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
  return Acad::eOk;
}

void CaepMateRelPair::UnErase() {
  if (isErased()) {
    erase(false);  // the relations come back with it
    return;
  }
  try {
    CascadeToRelations(false);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

// ---- resolution ---------------------------------------------------------------------------------

void CaepMateRelPair::ResolveTopoRefs(CaepAnlModelObj* model) {
  try {
    DbTransaction transaction(database());
    PAIR_CHECK(model != nullptr && setOwnerId(model->objectId()) == Acad::eOk);
    if (isErased()) {
      // Saved erased by a side's face: the part is watched, so that the face's return brings the
      // three back (the relation's revival resolves them then).
      for (AcDbObjectId id : {firstId_, secondId_})
        if (CaepMateRelEnt* relation = OpenRelation(id); relation && relation->TopologyLost())
          acWatchPartOfKey(relation->Key());
      return;
    }
    ResolveSides(true);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

void CaepMateRelPair::ResolveSides(bool afterReading) {
  DbTransaction transaction(database());
  CaepMateRelEnt* relations[2] = {nullptr, nullptr};
  bool missing = false;
  for (int i = 0; i < 2; ++i) {
    relations[i] = OpenRelation(i == 0 ? firstId_ : secondId_);
    if (!relations[i]) {
      missing = true;  // a side the drawing lost with its record
      continue;
    }
    if (afterReading || relations[i]->IsUnresolved() || relations[i]->GeometryMissing()) {
      dbWriteEnable(*relations[i]);
      relations[i]->ResolveTopoRef();
    }
    if (afterReading) relations[i]->MarkAsNotCurrent();
    if (relations[i]->GeometryMissing()) missing = true;
  }
  // A relation that lost one side is inactive as a whole; the drawing objects stay. Once both
  // sides have their geometry, the pair and the relations are active again.
  sideMissing_ = missing;
  for (CaepMateRelEnt* relation : relations) {
    if (!relation) continue;
    relation->HoldErasedMark(missing);
    if (missing)
      relation->AttMateRel::MarkAsErased();
    else if (!relation->isErased())
      relation->MarkAsNotErased();
  }
  if (missing)
    CaeActive::MarkAsErased();
  else if (!isErased())
    MarkAsNotErased();
}

void CaepMateRelPair::ResolveMissingSides() {
  if (isErased()) return;
  try {
    ResolveSides(false);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

// ---- filing -------------------------------------------------------------------------------------

Acad::ErrorStatus CaepMateRelPair::FileFields(AcDbDwgFiler* dwg, AcDbDxfFiler* dxf, bool reading) {
  return dbGuardedFiling([&] {
    DbLbcFields fields = dwg ? DbLbcFields(dwg, reading, kSource) : DbLbcFields(dxf, reading, kSource);
    if (!reading) {
      const int version =
          dbFileMateRecordHead(fields, dwg, dxf, false, kClassName, dataVersion_ != 0 ? kDataVersion : 0, kDataVersion);
      if (version == 0) return Acad::eOk;
      CaeString name = Name();
      fields.Check(!name.IsEmpty(), __LINE__);
      fields.String(name);
      for (const auto& [id, code] : {std::pair{firstId_, kDxfFirst}, std::pair{secondId_, kDxfSecond}}) {
        const AcDbObjectId written = dxf && dbIsErasedOrGone(id) ? AcDbObjectId() : id;
        fields.Check((dwg ? dwg->writeSoftPointerId(written) : dxf->writeObjectId(code, written)) == Acad::eOk,
                     __LINE__);
      }
      return Acad::eOk;
    }
    const int version = dbFileMateRecordHead(fields, dwg, dxf, true, kClassName, 0, kDataVersion);
    if (version < 0) return Acad::eOk;
    if (version == 0) {
      dataVersion_ = 0;
      return Acad::eOk;
    }
    CaeString name;
    fields.String(name);
    fields.Check(!name.IsEmpty(), __LINE__);
    AcDbSoftPointerId ids[2];
    const int codes[2] = {kDxfFirst, kDxfSecond};
    for (int i = 0; i < 2; ++i)
      fields.Check((dwg ? dwg->readSoftPointerId(&ids[i]) : dxf->readObjectId(codes[i], &ids[i])) == Acad::eOk,
                   __LINE__);
    // Applied only once the whole record is read.
    Name(name);
    firstId_ = ids[0];
    secondId_ = ids[1];
    dataVersion_ = version;
    return Acad::eOk;
  });
}

Acad::ErrorStatus CaepMateRelPair::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer); status != Acad::eOk) return status;
  if (!dbFilerWritesFields(filer->filerType())) return filer->filerStatus();
  const Acad::ErrorStatus status = const_cast<CaepMateRelPair*>(this)->FileFields(filer, nullptr, false);
  return status != Acad::eOk ? status : filer->filerStatus();
}

Acad::ErrorStatus CaepMateRelPair::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dwgInFields(filer); status != Acad::eOk) return status;
  if (!dbFilerReadsFields(filer->filerType())) return filer->filerStatus();
  const Acad::ErrorStatus status = FileFields(filer, nullptr, true);
  return status != Acad::eOk ? status : filer->filerStatus();
}

Acad::ErrorStatus CaepMateRelPair::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer); status != Acad::eOk) return status;
  const Acad::ErrorStatus status = const_cast<CaepMateRelPair*>(this)->FileFields(nullptr, filer, false);
  return status != Acad::eOk ? status : filer->filerStatus();
}

Acad::ErrorStatus CaepMateRelPair::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dxfInFields(filer); status != Acad::eOk) return status;
  const Acad::ErrorStatus status = FileFields(nullptr, filer, true);
  return status != Acad::eOk ? status : filer->filerStatus();
}

// ---- the model's hooks --------------------------------------------------------------------------

void dbAttachPairToEntities(AnlMateRelPair* pair) {
  if (auto* drawn = dynamic_cast<CaepMateRelPair*>(pair)) drawn->AttachToEntities();
}

void dbResolvePair(AnlMateRelPair* pair, CaepAnlModelObj* model) {
  if (auto* drawn = dynamic_cast<CaepMateRelPair*>(pair)) drawn->ResolveTopoRefs(model);
}
