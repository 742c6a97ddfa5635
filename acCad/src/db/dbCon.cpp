#include "db/dbCon.h"

#include <cmath>
#include <new>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "arx/acutads.h"
#include "arx/dbfiler.h"
#include "db/dbBaseLbc.h"
#include "db/dbFiling.h"
#include "db/dbTransform.h"
#include "fea/AnlModel.h"
#include "mcad/amikey.h"
#include "topo/acTopoMarkers.h"
#include "topo/acTopoRef.h"
#include "util/acObjKey.h"
#include "util/acSymbol.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbCon";
constexpr char kClassName[] = "CaepConEnt";
constexpr int kMarkersPerEdge = 3;

}  // namespace

// ---- class --------------------------------------------------------------------------------------

AcRxClass* CaepConEnt::desc() { return acrxFindClass(kClassName); }
AcRxClass* CaepConEnt::isA() const { return desc(); }
void CaepConEnt::rxInit() { dbRegisterLbcClass(kClassName, "CAEPCONENT", &CaepConEnt::make); }
AcRxObject* CaepConEnt::make() { return new (std::nothrow) CaepConEnt(); }

CaepConEnt::CaepConEnt() { dbWatchModifyUndone(this); }

CaepConEnt::CaepConEnt(int colorIndex, double symbolScale, double size, double x, double y, double z, bool pointFlag,
                       CaeTopoRef* ref)
    : AmgConstraint(0, size, pointFlag ? AmgConstrPoint : AmgConstrSpread, CaeVector(x, y, z), ref),
      dataVersion_(kDataVersion),
      colorIndex_(colorIndex),
      symbolScale_(symbolScale) {
  if (auto* reference = dynamic_cast<AcTopoRef*>(ref)) topoKey_ = reference->GetKey();
  dbWatchModifyUndone(this);
}

CaepConEnt::~CaepConEnt() { ReleaseOwnedKey(); }

void CaepConEnt::ReleaseOwnedKey() {
  if (ownsKey_) acReleaseKey(&topoKey_);
  topoKey_ = nullptr;
  ownsKey_ = false;
}

void CaepConEnt::AdoptFiledKey(AmiObjectKey* key) {
  ReleaseOwnedKey();
  topoKey_ = key;
  ownsKey_ = key != nullptr;
}

CaepConEnt* dbConstraintEntity(AmgConstraint* constraint) { return dynamic_cast<CaepConEnt*>(constraint); }

// ---- resolution ---------------------------------------------------------------------------------

void CaepConEnt::ResolveTopoRef() { Resolve(true); }

void CaepConEnt::Resolve(bool markMissing) {
  try {
    if (!acKeyNotNull(topoKey_)) CaeMsgCall::GeneralError(kSource, __LINE__);
    AcTopoRef* ref = acTopoRefFromKey(topoKey_);
    // While an undo replays, the part may not be back yet: the reference held so far stays for
    // the re-attachment that follows the replay.
    if (ref || markMissing) SetTopoRef(ref);
    if (ref) {
      AmiObjectKey* filed = topoKey_;
      const bool owned = ownsKey_;
      acRebindAttribToKey(&topoKey_, this);
      ownsKey_ = false;
      if (owned && filed != topoKey_) acReleaseKey(&filed);
      if (!ref->HasAttributeId(objectId())) ref->AddAttribute(this);
      if (!isErased()) MarkAsNotErased();
    } else if (markMissing) {
      // The filed key stays and is written back: the constraint returns with its geometry.
      MarkAsErased();
      // Read back as taken by its topology: the next change of its part must run the pass that
      // brings it back, as it would have had the drawing stayed open.
      if (topologyLost_ && isErased()) acWatchPartOfKey(topoKey_);
    }
    unresolved_ = 0;
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

void dbResolveConstraint(AmgConstraint* constraint) {
  if (CaepConEnt* entity = dbConstraintEntity(constraint)) entity->ResolveTopoRef();
}

void CaepConEnt::ReviveTopology() {
  erase(false);
  // Read back erased, it was never resolved: it is now, so that it draws and sizes again.
  if (unresolved_) Resolve(true);
}

void CaepConEnt::UponTopoRefModify() {
  if (IsActive()) recordGraphicsModified(true);
}

void CaepConEnt::UponTopoRefErase() {
  // The erase runs subErase, which clears the flag; it is set afterwards.
  if (erase(true) == Acad::eOk) topologyLost_ = 1;
}

Acad::ErrorStatus CaepConEnt::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  if (erasing)
    MarkAsErased();
  else
    MarkAsNotErased();
  // History replay brings the flag back with the fields.
  if (!isUndoing()) topologyLost_ = 0;
  acNotifyKeyErased(topoKey_, erasing ? 1 : 0);
  return Acad::eOk;
}

// ---- drawing ------------------------------------------------------------------------------------

Adesk::Boolean CaepConEnt::worldDraw(AcGiWorldDraw* mode) {
  try {
    if (IsActive() && dataVersion_ != 0 && unresolved_ == 0) DrawMarkers(mode, GetTopoRef());
  } catch (const CaeExcept& error) {
    acutPrintf("\n");
    acutPrintf("%s", error.String().Text());
  }
  return Adesk::kTrue;
}

void CaepConEnt::DrawMarker(AcGiWorldDraw* mode, const CaeVector& position, const CaeVector& translation) const {
  const AcSymbol* symbol = acFindSymbolName("diamond");
  if (!symbol) return;
  CaeTransform placement;
  placement.SetTranslation(translation);
  symbol->acDrawSymbol(static_cast<Adesk::UInt16>(colorIndex_), symbolScale_, mode, position, placement, 0, nullptr);
}

void CaepConEnt::DrawMarkers(AcGiWorldDraw* mode, CaeTopoRef* ref) const {
  // A vertex's marker, and a point constraint's one marker per edge, stand at its location.
  const bool point = Type() == AmgConstrPoint;
  acWalkMarkerPoints(ref, point ? 1 : kMarkersPerEdge, [&](int on, const CaeVector& at) {
    DrawMarker(mode, at, on == CaeTopoRef::kVertex || point ? Location() : at);
  });
}

// ---- filing -------------------------------------------------------------------------------------

Acad::ErrorStatus CaepConEnt::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  // Writing changes nothing; the pass is shared with reading.
  return const_cast<CaepConEnt*>(this)->FileFields(filer, false);
}

Acad::ErrorStatus CaepConEnt::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  return FileFields(filer, true);
}

Acad::ErrorStatus CaepConEnt::FileFields(AcDbDwgFiler* filer, bool reading) {
  try {
    DbLbcFields fields(filer, reading, kSource);
    const Acad::ErrorStatus parent = reading ? AcDbEntity::dwgInFields(filer) : AcDbEntity::dwgOutFields(filer);
    fields.Check(parent == Acad::eOk, __LINE__);
    const AcDb::FilerType type = filer->filerType();
    if (!(reading ? dbFilerReadsFields(type) : dbFilerWritesFields(type))) return filer->filerStatus();

    // An entity without data writes version 0, so that a reader stops after it.
    Adesk::UInt16 version = dataVersion_ != 0 ? kDataVersion : 0;
    fields.Check(reading ? filer->readUInt16(&version) == Acad::eOk : filer->writeUInt16(version) == Acad::eOk,
                 __LINE__);
    if (reading) fields.Check(version <= kDataVersion, __LINE__);
    if (version == 0) {
      if (reading) dataVersion_ = 0;
      return filer->filerStatus();
    }
    const bool undo = type == AcDb::kUndoFiler;
    FileRecord(fields, version);
    // An undo restores the fields of a live constraint: it resolves again at once so that its
    // markers stay. A geometry missing while the history replays is not marked (see Resolve).
    if (reading && undo) Resolve(false);
    return filer->filerStatus();
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
    return Acad::eFilerError;
  }
}

Acad::ErrorStatus CaepConEnt::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  return const_cast<CaepConEnt*>(this)->FileDxf(filer, false);
}

Acad::ErrorStatus CaepConEnt::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  return FileDxf(filer, true);
}

Acad::ErrorStatus CaepConEnt::FileDxf(AcDbDxfFiler* filer, bool reading) {
  try {
    DbLbcFields fields(filer, reading, kSource);
    // DXF keeps the entity's layer by name with the entity-level fields.
    const Acad::ErrorStatus parent = reading ? AcDbEntity::dxfInFields(filer) : AcDbEntity::dxfOutFields(filer);
    fields.Check(parent == Acad::eOk, __LINE__);
    if (reading && !dbReadDxfMarker(filer, kClassName)) return filer->filerStatus();
    if (!reading) fields.Check(dbWriteDxfMarker(filer, kClassName) == Acad::eOk, __LINE__);
    Adesk::Int32 version = dataVersion_ != 0 ? kDataVersion : 0;
    fields.Int32(version);
    fields.Check(version >= 0 && version <= kDataVersion, __LINE__);
    if (version == 0) {
      if (reading) dataVersion_ = 0;
      return filer->filerStatus();
    }
    FileRecord(fields, version);
    return filer->filerStatus();
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
    return Acad::eFilerError;
  }
}

void CaepConEnt::FileRecord(DbLbcFields& fields, int version) {
  Adesk::Int16 color = static_cast<Adesk::Int16>(colorIndex_);
  double scale = symbolScale_;
  DbFiledKey filedKey;
  AmiObjectKey* writtenKey = topoKey_;
  CaeVector location = Location();
  double size = Size();
  Adesk::Int32 id = static_cast<Adesk::Int32>(Id());
  Adesk::Int16 constraintType = static_cast<Adesk::Int16>(Type());
  Adesk::Int32 lost = fields.Reading() ? 0 : topologyLost_;
  fields.Int16(color);
  fields.Double(scale);
  fields.Key(fields.Reading() ? filedKey.Slot() : writtenKey);
  fields.Vector(location);
  fields.Double(size);
  fields.Int32(id);
  fields.Int16(constraintType);
  if (version >= kDataVersion) fields.Int32(lost);
  if (!fields.Reading()) return;

  // Everything was read: check, then apply.
  fields.Check(constraintType == AmgConstrPoint || constraintType == AmgConstrSpread, __LINE__);
  fields.Check(lost == 0 || lost == 1, __LINE__);
  dataVersion_ = kDataVersion;
  colorIndex_ = color;
  symbolScale_ = scale;
  SetLocation(location);
  SetSize(size);
  SetId(id);
  SetType(static_cast<AmgConstrType>(constraintType));
  topologyLost_ = lost;
  AdoptFiledKey(filedKey.Release());
  unresolved_ = 1;
}

// ---- local sizes for the mesher ----------------------------------------------------------------

namespace {

bool liesOnBody(CaeTopoRef* ref, CaeTopoRef* body) {
  if (!ref || !body) return false;
  return ref == body || ref->Body() == body;
}

// A spread constraint on the body: its size over every face.
void addBodySize(AmgMesh& mesh, CaeTopoRef* body, double size) {
  int flag = 0;
  for (CaeTopoRef* face = body->FirstChild(flag); face;) {
    int kind = 0, index = 0;
    if (mesh.LocateRef(face, kind, index)) mesh.AddLocalSize(kind, index, size);
    int next = 0;
    face = body->NextChild(face, flag, next);
    flag = next;
  }
}

bool isLive(AmgConstraint* constraint) {
  if (constraint->IsMarkedAsErased() || !constraint->IsActive()) return false;
  auto* object = dynamic_cast<AcDbObject*>(constraint);
  if (object && object->isErased()) return false;
  const CaepConEnt* entity = dbConstraintEntity(constraint);
  return !entity || (entity->DataVersion() != 0 && !entity->IsUnresolved());
}

}  // namespace

int dbApplyMeshConstraints(AmgMesh& mesh, AnlModel& model) {
  mesh.ClearLocalSizes();
  CaeTopoRef* body = mesh.GetTopoRef();
  // A pending re-resolution runs first, so that every constraint sits on its current reference.
  if (auto* reference = dynamic_cast<AcTopoRef*>(body)) reference->Reresolve();
  int taken = 0;
  const int count = model.NumConstraints();
  for (int i = 0; i < count; ++i) {
    AmgConstraint* constraint = model.GetConstraint(i);
    if (!constraint || !isLive(constraint) || !(constraint->Size() > 0)) continue;
    CaeTopoRef* ref = constraint->GetTopoRef();
    if (!liesOnBody(ref, body)) continue;
    if (ref == body && constraint->Type() == AmgConstrSpread)
      addBodySize(mesh, body, constraint->Size());
    else if (!mesh.AddConstraint(*constraint))
      continue;
    ++taken;
  }
  return taken;
}
