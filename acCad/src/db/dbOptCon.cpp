#include "db/dbOptCon.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "db/dbTransform.h"
#include "fea/AnlResltCase.h"
#include "mcad/amikey.h"
#include "topo/acTopoMarkers.h"
#include "topo/acTopoRef.h"
#include "util/acObjKey.h"
#include "util/acSymbol.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbOptCon";
constexpr char kClassName[] = "CaepOptConstraint";
constexpr char kSymbolName[] = "cube";
constexpr int kMarkersPerEdge = 3;
// Records of this version and below carry one older single value instead of the generic values
// and the analysis result cases.
constexpr int kSingleValueRecordVersion = 200;
// DXF group of the key's object (the key's kind and name travel as an Int32 and a String).
constexpr int kDxfKeyObject = 330;

#define CON_CHECK(condition)                                       \
  do {                                                             \
    if (!(condition)) CaeMsgCall::GeneralError(kSource, __LINE__); \
  } while (0)

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

bool isTopologyKeyType(int type) {
  return type == Ami::kVertexKey || type == Ami::kEdgeKey || type == Ami::kFaceKey || type == Ami::kBodyKey ||
         type == Ami::kPartKey || type == Ami::kCompKey;
}

// Writes a key that must not be null; reads one that must be a live-looking object key, owned by
// the caller.
void fileKey(DbFields& fields, AmiObjectKey*& key) {
  if (!fields.Reading()) {
    CON_CHECK(acKeyNotNull(key));
    if (AcDbDwgFiler* dwg = fields.DwgFiler()) {
      CON_CHECK(amiWriteKey(dwg, key) == Ami::eOk);
      return;
    }
    Adesk::Int32 type = key->keyType();
    fields.Int32(type);
    CON_CHECK(fields.DxfFiler()->writeObjectId(kDxfKeyObject, key->objectId()) == Acad::eOk);
    CaeString name(key->name());
    fields.String(name);
    return;
  }
  key = nullptr;
  if (AcDbDwgFiler* dwg = fields.DwgFiler()) {
    AmiKey* read = nullptr;
    const AmiStatus status = amiReadKey(dwg, read);
    auto* objectKey = dynamic_cast<AmiObjectKey*>(read);
    if (status != Ami::eOk || !objectKey || !acKeyNotNull(objectKey)) {
      if (read) read->release();
      CaeMsgCall::GeneralError(kSource, __LINE__);
    }
    key = objectKey;
    return;
  }
  Adesk::Int32 type = 0;
  fields.Int32(type);
  AcDbObjectId object;
  CON_CHECK(fields.DxfFiler()->readObjectId(kDxfKeyObject, &object) == Acad::eOk);
  CaeString name;
  fields.String(name);
  CON_CHECK(isTopologyKeyType(type));
  auto* read = new AmiObjectKey(static_cast<Ami::KeyType>(type), object, name.Text());
  if (!acKeyNotNull(read)) {
    read->release();
    CaeMsgCall::GeneralError(kSource, __LINE__);
  }
  key = read;
}

// The coordinate system of a kind text, or null for a text that is none of the three.
CaeCoordSys* coordSysOfKind(const CaeString& kind, const CaeTransform& transform) {
  if (kind == "cartesian") return new CaeCoordSysCartesian(transform);
  if (kind == "cylindric") return new CaeCoordSysCylindric(transform);
  if (kind == "spheric") return new CaeCoordSysSpheric(transform);
  return nullptr;
}

}  // namespace

// ---- class --------------------------------------------------------------------------------------

AcRxClass* CaepOptConstraint::desc() {
  static AcRxClassLookup record(kClassName);
  return record.get();
}
AcRxClass* CaepOptConstraint::isA() const { return desc(); }
void CaepOptConstraint::rxInit() {
  dbRegisterClass(kClassName, "CAEPOPTCONSTRAINT", dbMakeObject<CaepOptConstraint>, "AcDbEntity");
}

CaepOptConstraint::CaepOptConstraint() { dbWatchModifyUndone(this); }

CaepOptConstraint::CaepOptConstraint(const CaeString& name, int components, CaeCoordSys* coordSys,
                                     OptResponseType responseType, CaeTopoRef* topoRef, int)
    : CaeName(name), OptConstraint(name, components, coordSys, responseType, topoRef) {
  if (auto* reference = dynamic_cast<AcTopoRef*>(topoRef)) topoKey_ = reference->GetKey();
  dbWatchModifyUndone(this);
}

CaepOptConstraint::~CaepOptConstraint() { ReleaseOwnedKey(); }

void CaepOptConstraint::ReleaseOwnedKey() {
  if (ownsKey_) acReleaseKey(&topoKey_);
  topoKey_ = nullptr;
  ownsKey_ = false;
}

void CaepOptConstraint::AdoptFiledKey(AmiObjectKey* key) {
  if (key == topoKey_) return;
  ReleaseOwnedKey();
  topoKey_ = key;
  ownsKey_ = key != nullptr;
}

void CaepOptConstraint::SetColor(int color) {
  assertWriteEnabled();
  color_ = color;
}

void CaepOptConstraint::SetSymbolSize(double size) {
  assertWriteEnabled();
  symbolSize_ = size;
}

// ---- engine side --------------------------------------------------------------------------------

::OptModel* CaepOptConstraint::Owner() const {
  if (ownerId_.isNull()) return nullptr;
  AcDbDatabase* db = database() ? database() : workingDatabase();
  auto* model = dynamic_cast<::OptModel*>(dbOpenMember(db, ownerId_, AcDb::kForWrite));
  return model && !model->IsMarkedAsErased() ? model : nullptr;
}

void CaepOptConstraint::Owner(::OptModel* model) {
  auto* object = dynamic_cast<AcDbObject*>(model);
  assertWriteEnabled();
  ownerId_ = object ? object->objectId() : AcDbObjectId();
}

void CaepOptConstraint::AddAnlResultCase(AnlResltCase* resultCase) {
  auto* object = dynamic_cast<AcDbObject*>(resultCase);
  CON_CHECK(object != nullptr && !object->objectId().isNull());
  assertWriteEnabled();
  caseIds_.push_back(object->objectId());
}

int CaepOptConstraint::RemoveAnlResultCase(AnlResltCase* resultCase) {
  auto* object = dynamic_cast<AcDbObject*>(resultCase);
  if (!object) return 0;
  const auto found = std::find(caseIds_.begin(), caseIds_.end(), object->objectId());
  if (found == caseIds_.end()) return 0;
  assertWriteEnabled();
  caseIds_.erase(found);
  resultCases_.RemoveAll();  // a walk in progress ends
  return 1;
}

AnlResltCase* CaepOptConstraint::FirstAnlResultCase() {
  resultCases_.RemoveAll();
  AcDbDatabase* db = database() ? database() : workingDatabase();
  for (const AcDbObjectId& id : caseIds_) {
    auto* resultCase = dynamic_cast<AnlResltCase*>(dbOpenMember(db, id, AcDb::kForWrite));
    if (resultCase && !resultCase->IsMarkedAsErased()) resultCases_.Append(resultCase);
  }
  return OptFunction::FirstAnlResultCase();
}

void CaepOptConstraint::MarkAsNotErased() {
  if (!geometryMissing_) OptConstraint::MarkAsNotErased();
}

void CaepOptConstraint::UponTopoRefModify() {
  if (IsActive()) recordGraphicsModified(true);
}

void CaepOptConstraint::UponTopoRefErase() {
  // The erase runs subErase, which clears the flag; it is set afterwards.
  if (erase(true) == Acad::eOk) topologyLost_ = 1;
}

void CaepOptConstraint::ReviveTopology() {
  geometryMissing_ = false;
  if (isErased())
    erase(false);
  else
    MarkAsNotErased();
}

// ---- resolution ---------------------------------------------------------------------------------

void CaepOptConstraint::ResolveTopoRef() {
  Resolve(true);
  BuildResultCaseList();
}

void CaepOptConstraint::Resolve(bool markMissing) {
  AcTopoRef* ref = acKeyNotNull(topoKey_) ? acTopoRefFromKey(topoKey_) : nullptr;
  if (!acKeyNotNull(topoKey_)) {
    SetTopoRef(nullptr);
  } else if (ref) {
    SetTopoRef(ref);
    AmiObjectKey* filed = topoKey_;
    const bool owned = ownsKey_;
    acRebindAttribToKey(&topoKey_, this);
    ownsKey_ = false;
    if (owned && filed != topoKey_) acReleaseKey(&filed);
    if (!ref->HasAttributeId(objectId())) ref->AddAttribute(this);
    geometryMissing_ = false;
    if (!isErased()) MarkAsNotErased();
  } else if (markMissing) {
    // The filed key stays and is written back: the constraint returns with its geometry.
    SetTopoRef(nullptr);
    geometryMissing_ = true;
    MarkAsErased();
  }
  unresolved_ = 0;
}

// ---- drawing ------------------------------------------------------------------------------------

Adesk::Boolean CaepOptConstraint::worldDraw(AcGiWorldDraw* mode) {
  if (unresolved_ != 0) return Adesk::kFalse;
  try {
    // Its own transaction: the owner opens through it.
    AcDbDatabase* db = database();
    if (!db || !db->transactionManager()) return Adesk::kFalse;
    DbTransaction transaction(db);
    ::OptModel* owner = Owner();
    if (IsActive() && owner && owner->IsActive()) DrawSymbol(mode, GetTopoRef());
  } catch (const CaeExcept& error) {
    acutPrintf("\n");
    acutPrintf("%s", error.String().Text());
    return Adesk::kFalse;
  }
  return Adesk::kTrue;
}

void CaepOptConstraint::DrawCube(AcGiWorldDraw* mode, const CaeVector& point) const {
  const AcSymbol* symbol = acFindSymbolName(kSymbolName);
  if (!symbol) return;
  CaeTransform placement;
  placement.SetTranslation(point);
  symbol->acDrawSymbol(static_cast<Adesk::UInt16>(color_), symbolSize_, mode, point, placement, 0, nullptr);
}

void CaepOptConstraint::DrawSymbol(AcGiWorldDraw* mode, CaeTopoRef* ref) const {
  acWalkMarkerPoints(ref, kMarkersPerEdge, [&](int, const CaeVector& point) { DrawCube(mode, point); });
}

// ---- erase --------------------------------------------------------------------------------------

Acad::ErrorStatus CaepOptConstraint::subErase(Adesk::Boolean erasing) {
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

// ---- filing -------------------------------------------------------------------------------------

void CaepOptConstraint::File(DbFields& fields, bool dxf) const {
  CON_CHECK(!Name().IsEmpty());
  Adesk::UInt16 version = kDbDataVersion;
  fields.UInt16(version);
  CaeString name = Name();
  fields.String(name);
  Adesk::Int16 response = static_cast<Adesk::Int16>(ResponseType());
  Adesk::Int16 modeNumber = static_cast<Adesk::Int16>(ModeNumber());
  Adesk::Int16 generic = static_cast<Adesk::Int16>(GenericIVal());
  double genericValue = GenericFVal();
  fields.Int16(response);
  fields.Int16(modeNumber);
  fields.Int16(generic);
  fields.Double(genericValue);
  std::vector<AcDbObjectId> cases;
  for (const AcDbObjectId& id : caseIds_)
    if (!dxf || !dbIsErasedOrGone(id)) cases.push_back(id);
  fields.Ids(cases, DbFields::Ref::SoftPointer);
  double lower = 0.0, upper = 0.0;
  Bounds(lower, upper);
  fields.Double(lower);
  fields.Double(upper);
  Adesk::Int16 color = static_cast<Adesk::Int16>(color_);
  double size = symbolSize_;
  Adesk::Int16 current = IsMarkedAsCurrent() ? 1 : 0;
  // A key that did not resolve is written back unchanged.
  AmiObjectKey* key = topoKey_;
  Adesk::Int16 hasTopology = GetTopoRef() || geometryMissing_ ? 1 : 0;
  fields.Int16(color);
  fields.Double(size);
  fields.Int16(current);
  fields.Int16(hasTopology);
  if (hasTopology) fileKey(fields, key);
  Adesk::Int16 components = static_cast<Adesk::Int16>(Components());
  fields.Int16(components);
  const CaeCoordSys* system = CoordSys();
  // The record carries the three kinds only (1.124 refuses a constraint on a face system).
  CaeString kind = system ? CaeString(system->KindName()) : CaeString("cartesian");
  CON_CHECK(kind == "cartesian" || kind == "cylindric" || kind == "spheric");
  CaeTransform transform = system ? system->GetTransform() : CaeTransform();
  fields.String(kind);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double value = transform.Component(i, j);
      fields.Double(value);
    }
}

void CaepOptConstraint::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  CON_CHECK(version <= kDbDataVersion);
  CaeString name;
  fields.String(name);
  Adesk::Int16 response = 0, modeNumber = 0, generic = 0, single = 0;
  fields.Int16(response);
  fields.Int16(modeNumber);
  CON_CHECK(response >= OptMass && response <= OptDisplacementMagnitude);
  double genericValue = 0.0;
  std::vector<AcDbObjectId> cases;
  const bool older = version <= kSingleValueRecordVersion;
  if (older) {
    fields.Int16(single);
  } else {
    fields.Int16(generic);
    fields.Double(genericValue);
    fields.Ids(cases, DbFields::Ref::SoftPointer);
  }
  double lower = 0.0, upper = 0.0, size = 0.0;
  Adesk::Int16 color = 0, current = 0, hasTopology = 0, components = 0;
  fields.Double(lower);
  fields.Double(upper);
  fields.Int16(color);
  fields.Double(size);
  fields.Int16(current);
  fields.Int16(hasTopology);
  std::unique_ptr<AmiObjectKey, void (*)(AmiObjectKey*)> key(nullptr, [](AmiObjectKey* k) { acReleaseKey(&k); });
  if (hasTopology != 0) {
    AmiObjectKey* read = nullptr;
    fileKey(fields, read);
    key.reset(read);
  }
  fields.Int16(components);
  CaeString kind;
  fields.String(kind);
  CaeTransform transform;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double value = 0.0;
      fields.Double(value);
      transform.Set(i, j, value);
    }
  CaeCoordSys* system = coordSysOfKind(kind, transform);
  CON_CHECK(system != nullptr);

  // Everything was read: apply.
  Name(name);
  ResponseType(static_cast<OptResponseType>(response));
  ModeNumber(modeNumber);
  GenericIVal(older ? 0 : generic);
  GenericFVal(older ? 0.0 : genericValue);
  caseIds_ = std::move(cases);
  SetBounds(lower, upper);
  if (older) SetOldSingleValue(single);
  color_ = color;
  symbolSize_ = size;
  if (current != 0)
    MarkAsCurrent();
  else
    MarkAsNotCurrent();
  AdoptFiledKey(key.release());
  Components(components);
  CoordSys(system);
  unresolved_ = 1;
  dbFollowErasedState(*this, *this);
}

Acad::ErrorStatus CaepOptConstraint::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) { File(fields, false); });
}

Acad::ErrorStatus CaepOptConstraint::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) {
    Read(fields);
    // An undo restores a live constraint: it resolves again at once so that its markers stay.
    // While the history replays the part may not be back yet: a missing geometry is not marked.
    if (filer->filerType() == AcDb::kUndoFiler && database()) Resolve(false);
  });
}

Acad::ErrorStatus CaepOptConstraint::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, kClassName, [&](DbFields& fields) { File(fields, true); });
}

Acad::ErrorStatus CaepOptConstraint::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, kClassName, [&](DbFields& fields) { Read(fields); });
}
