#include "topo/acTopoRef.h"

#include <memory>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "arx/brocct.h"
#include "arx/dbbrep.h"
#include "arx/dbentity.h"
#include "cadInterface/CadAppControl.h"
#include "mcad/amikey.h"
#include "mcad/amipart.h"
#include "topo/acTopoNav.h"
#include "topo/acTopoTables.h"
#include "topo/acTopoUtil.h"
#include "util/acBrEnt.h"
#include "util/acDeferredPasses.h"
#include "util/acObjKey.h"

namespace {

std::uint64_t geometryGeneration = 0;
void noteGeometryChange() { ++geometryGeneration; }

// The solids of the parts asked within one check scope: a read-only walk changes no part, so one
// answer per part serves the whole scope. Forgotten when the next scope asks.
struct PartSolid {
  AcDbObjectId part;
  std::shared_ptr<const TopoDS_Shape> solid;  // null when the part does not open or has none
};
std::uint64_t partSolidsScope = 0;
std::vector<PartSolid> partSolids;

std::shared_ptr<const TopoDS_Shape> solidOfPart(AcDbObjectId part, std::uint64_t scope) {
  if (partSolidsScope != scope) {
    partSolids.clear();
    partSolidsScope = scope;
  }
  for (const PartSolid& known : partSolids)
    if (known.part == part) return known.solid;
  std::shared_ptr<const TopoDS_Shape> solid;
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, part, AcDb::kForRead) == Acad::eOk) {
    const auto* source = dynamic_cast<const AcDbBrepSource*>(entity);
    const TopoDS_Shape* shape = source ? source->brepShape() : nullptr;
    if (shape && !shape->IsNull()) solid = std::make_shared<const TopoDS_Shape>(*shape);
    entity->close();
  }
  partSolids.push_back({part, solid});
  return solid;
}

// The part entity an entity's path ends at (the one whose shape it is found in); null when unset.
AcDbObjectId partOf(const AcBrEntity& entity) {
  if (entity.isNull()) return AcDbObjectId();
  const AcDbObjectIdArray& ids = entity.data().path.objectIds();
  return ids.isEmpty() ? AcDbObjectId() : ids[ids.length() - 1];
}

// The visibility of the entity that places a component: the first object of the component's path
// that is a part entity. Our host has no block references: a part entity places its part in model
// space, so it stands for the block reference that would place the component. Objects that do not
// open are skipped; true when nothing can be asked.
bool placingEntityVisible(const AmiObjectKey* compKey) {
  AcBrEntity* brep = nullptr;
  if (amiGetBrepFromKey(compKey, brep) != Ami::eOk || !brep) {
    delete brep;
    return true;
  }
  AcDbFullSubentPath path;
  const bool hasPath = brep->getSubentPath(path) == AcBr::eOk;
  delete brep;
  if (!hasPath) return true;
  for (int i = 0; i < path.objectIds().length(); ++i) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenAcDbEntity(entity, path.objectIds()[i], AcDb::kForRead) != Acad::eOk || !entity) continue;
    const bool placing = AmiPartEntity::cast(entity) != nullptr;
    const bool visible = entity->visibility() != AcDb::kInvisible;
    entity->close();
    if (placing) return visible;
  }
  return true;
}

// A component that is not a leaf (or cannot be asked) counts as visible.
bool componentVisible(const AmiObjectKey* key) {
  AmiObjectKey* comp = nullptr;
  AmiObjectKey* def = nullptr;
  bool leaf = false;
  bool visible = true;
  if (amiGetContainingComp(key, comp) == Ami::eOk && comp && amiGetCompDef(comp, def) == Ami::eOk && def &&
      amiIsCompDefLeafNode(def, leaf) == Ami::eOk && leaf) {
    visible = placingEntityVisible(comp);
  }
  acReleaseKey(&def);
  acReleaseKey(&comp);
  return visible;
}

}  // namespace

int acBrEntityKind(const AcBrEntity* entity) {
  if (!entity) return CaeTopoRef::kNone;
  if (dynamic_cast<const AcBrEdge*>(entity)) return CaeTopoRef::kEdge;
  if (dynamic_cast<const AcBrFace*>(entity)) return CaeTopoRef::kFace;
  if (dynamic_cast<const AcBrVertex*>(entity)) return CaeTopoRef::kVertex;
  if (dynamic_cast<const AcBrBrep*>(entity)) return CaeTopoRef::kBody;
  CAE_GENERAL_ERROR();
}

std::uint64_t acTopoGeometryGeneration() { return geometryGeneration; }

int acTopoRefCompare(const AcTopoRef* first, const AcTopoRef* second) {
  const AcBrEntity* a = first->Entity();
  const AcBrEntity* b = second->Entity();
  if (std::less<const AcBrEntity*>()(a, b)) return -1;
  if (std::less<const AcBrEntity*>()(b, a)) return 1;
  return 0;
}

AcTopoRef* acTopoRefFromBrEntity(AcBrEntity* entity) {
  AcTopoTables* tables = AcTopoTables::Current();
  if (!tables || !entity) return nullptr;
  AcTopoRef* found = tables->FindReference(entity);
  if (found && found->IsCurrent()) return found;
  CadWaitCursor wait;
  if (found) {
    found->Refresh(tables);
    return found;
  }
  return new AcTopoRef(entity, tables);
}

AcTopoRef* acTopoRefFromKey(AmiObjectKey* key) {
  AcBrEntity* entity = acBrEntityFromKey(key);
  return entity ? acTopoRefFromBrEntity(entity) : nullptr;
}

AcTopoRef::AcTopoRef(AcBrEntity* entity, AcTopoTables* tables) { Init(nullptr, entity, tables); }

AcTopoRef::AcTopoRef(AmiObjectKey* key, AcTopoTables* tables) {
  if (!key) CAE_GENERAL_ERROR();
  AcBrEntity* entity = acBrEntityFromKey(key);
  if (!entity) CAE_GENERAL_ERROR();
  Init(key, entity, tables);
}

AcTopoRef::~AcTopoRef() {
  noteGeometryChange();
  // The reference owns its key: objects bound to it go with the drawing the references belong to.
  if (key_) key_->release();
  key_ = nullptr;
  delete geometry_;
}

void AcTopoRef::Init(AmiObjectKey* key, AcBrEntity* entity, AcTopoTables* tables) {
  noteGeometryChange();
  childrenBuilt_ = true;
  key_ = nullptr;
  entity_ = entity;
  for (bool& collapsed : collapsedBoundary_) collapsed = false;
  geometry_ = nullptr;
  if (!tables) return;
  kind_ = acBrEntityKind(entity);
  key_ = key ? key : acKeyFromBrep(entity);
  CacheGeometry();
  tables->InsertReference(this);
  BuildChildren(tables);
}

namespace {
const void* solidIdentity(const AcBrEntity* entity) {
  return entity && !entity->isNull() ? entity->data().shape.TShape().get() : nullptr;
}
}  // namespace

bool AcTopoRef::IsCurrent() const { return !entity_ || solidIdentity(entity_) == cachedSolid_; }

void AcTopoRef::Refresh(AcTopoTables* tables) {
  if (!entity_) return;
  CacheGeometry();
  ClearChildren();
  EnsureChildren(tables);
}

void AcTopoRef::CacheGeometry() {
  noteGeometryChange();
  soundOn_.reset();
  ForgetFaceMemo();
  delete geometry_;
  geometry_ = nullptr;
  cachedSolid_ = solidIdentity(entity_);
  switch (kind_) {
    case kVertex: {
      AcGePoint3d point;
      if (static_cast<AcBrVertex*>(entity_)->getPoint(point) != AcBr::eOk) CAE_GENERAL_ERROR();
      geometry_ = new AcGePosition3d(point);
      return;
    }
    case kEdge: {
      AcGeCurve3d* curve = nullptr;
      if (static_cast<AcBrEdge*>(entity_)->getCurve(curve) != AcBr::eOk || !curve) CAE_GENERAL_ERROR();
      geometry_ = curve;
      return;
    }
    case kFace: {
      AcGeSurface* surface = nullptr;
      if (static_cast<AcBrFace*>(entity_)->getSurface(surface) != AcBr::eOk || !surface) CAE_GENERAL_ERROR();
      geometry_ = surface;
      return;
    }
    case kBody: return;
    default: CAE_GENERAL_ERROR();
  }
}

namespace {
// While children are built they are evaluated: re-resolution must wait (acTopoReresolutionHeld).
class BuildingScope {
 public:
  BuildingScope() { ++acTopoContext().building; }
  ~BuildingScope() { --acTopoContext().building; }
  BuildingScope(const BuildingScope&) = delete;
  BuildingScope& operator=(const BuildingScope&) = delete;
};
}  // namespace

void AcTopoRef::BuildChildren(AcTopoTables* tables) {
  noteGeometryChange();
  BuildingScope building;
  if (kind_ != kVertex) {
    int flag = 0;
    for (AcBrEntity* sub = AcTopoNav::FirstSubEntity(*this, flag); sub;
         sub = AcTopoNav::NextSubEntity(*this, sub, flag, flag)) {
      if (flag != 0 && flag != 1) CAE_GENERAL_ERROR();
      AcTopoRef* child = tables->FindReference(sub);
      if (!child)
        child = new AcTopoRef(sub, tables);
      else if (!child->IsCurrent())
        child->Refresh(tables);
      (flag == 0 ? forwardChildren_ : reversedChildren_).Append(child);
    }
  }
  // The face range reads the periods.
  ComputePeriods();
  ComputeParamRange();
}

void AcTopoRef::EnsureChildren(AcTopoTables* tables) {
  if (!entity_ || childrenBuilt_) return;
  childrenBuilt_ = true;
  BuildChildren(tables);
}

void AcTopoRef::ClearChildren() {
  noteGeometryChange();
  forwardChildren_.RemoveAll();
  reversedChildren_.RemoveAll();
  forwardCursor_ = reversedCursor_ = nullptr;
  ForgetFaceMemo();  // the ranges and periods that place parameters are read again
  childrenBuilt_ = false;
  for (bool& collapsed : collapsedBoundary_) collapsed = false;
}

void AcTopoRef::SetEntity(AcBrEntity* entity) {
  noteGeometryChange();
  soundOn_.reset();
  if (entity && acBrEntityKind(entity) != kind_) CAE_GENERAL_ERROR();
  ForgetFaceMemo();
  entity_ = entity;
}

CaeTopoRef* AcTopoRef::FirstChild(int& flag) {
  if (!forwardChildren_.IsEmpty()) {
    flag = 0;
    forwardCursor_ = forwardChildren_.FirstNode();
    return forwardCursor_->Item();
  }
  flag = 1;
  if (reversedChildren_.IsEmpty()) return nullptr;
  reversedCursor_ = reversedChildren_.FirstNode();
  return reversedCursor_->Item();
}

CaeList<AcTopoRef>* AcTopoRef::ChildNode(CaeList<AcTopoRef>& list, CaeList<AcTopoRef>* cursor, const AcTopoRef* child) {
  // A walk asks for the child it was just given: the cursor spares the search from the front.
  if (cursor && cursor->Item() == child) return cursor;
  return list.Find(child);
}

CaeTopoRef* AcTopoRef::NextChild(CaeTopoRef* child, int flag, int& nextFlag) {
  auto* wanted = static_cast<AcTopoRef*>(child);
  if (flag == 0) {
    CaeList<AcTopoRef>* node = ChildNode(forwardChildren_, forwardCursor_, wanted);
    if (node->HasItem()) {
      if (node->Next()->HasItem()) {
        nextFlag = 0;
        forwardCursor_ = node->Next();
        return forwardCursor_->Item();
      }
      nextFlag = 1;
      if (reversedChildren_.IsEmpty()) return nullptr;
      reversedCursor_ = reversedChildren_.FirstNode();
      return reversedCursor_->Item();
    }
  }
  nextFlag = 1;
  CaeList<AcTopoRef>* node = ChildNode(reversedChildren_, reversedCursor_, wanted);
  if (!node->HasItem() || !node->Next()->HasItem()) return nullptr;
  reversedCursor_ = node->Next();
  return reversedCursor_->Item();
}

CaeTopoRef* AcTopoRef::Body() {
  if (kind_ == kBody) return nullptr;
  Reresolve();
  AcBrEntity* entity = GetBrEntity();
  AcBrBrep body;
  if (!entity || entity->getBrep(body) != AcBr::eOk) return nullptr;
  return acTopoRefFromBrEntity(acCanonicalBrEntity(&body));
}

AcTopoRef* AcTopoRef::Parent() {
  Reresolve();
  AcBrEntity* entity = GetBrEntity();
  if (!entity) return nullptr;
  AcDbFullSubentPath path;
  if (entity->getSubentPath(path) != AcBr::eOk) CAE_GENERAL_ERROR();
  AcBrBrep body;
  if (body.setSubentPath(AcDbFullSubentPath(path.objectIds(), kNullSubent)) != AcBr::eOk) CAE_GENERAL_ERROR();
  AcTopoRef* bodyRef = acTopoRefFromBrEntity(acCanonicalBrEntity(&body));
  if (bodyRef && bodyRef->Kind() == kind_ + 1) return bodyRef;
  AcTopoTables* tables = AcTopoTables::Current();
  if (!tables) return nullptr;
  for (auto* node = tables->References().FirstNode(); node->HasItem(); node = node->Next()) {
    AcTopoRef* candidate = node->Item();
    if (candidate->Kind() != kind_ + 1) continue;
    int flag = 0;
    for (CaeTopoRef* child = candidate->FirstChild(flag); child; child = candidate->NextChild(child, flag, flag)) {
      if (child == this) return candidate;
    }
  }
  return nullptr;
}

bool AcTopoRef::IsValid() {
  Reresolve();
  return StillValid();
}

bool AcTopoRef::StillValid() const {
  AcDbFullSubentPath path;
  if (!entity_ || entity_->getSubentPath(path) != AcBr::eOk) return false;
  return !key_ || !acKeyIsStale(key_);
}

bool AcTopoRef::IsVisible() {
  if (kind_ == kBody) {
    int flag = 0;
    CaeTopoRef* face = FirstChild(flag);
    return face ? face->IsVisible() : true;  // a body without faces shows nothing to hide
  }
  return key_ ? componentVisible(key_) : true;
}

namespace {
std::uint64_t checkScopeSerial = 0;  // grows for every outermost scope of a new walk and every renewal
std::uint64_t checkScopeWalk = 0;    // the walk the serial belongs to; 0 for none
int checkScopeDepth = 0;
}  // namespace

AcTopoCheckScope::AcTopoCheckScope(std::uint64_t walk) {
  if (checkScopeDepth++ > 0 || (walk != 0 && walk == checkScopeWalk)) return;
  ++checkScopeSerial;
  checkScopeWalk = walk;
}

AcTopoCheckScope::~AcTopoCheckScope() { --checkScopeDepth; }

std::uint64_t AcTopoCheckScope::Current() { return checkScopeDepth > 0 ? checkScopeSerial : 0; }

void AcTopoCheckScope::Renew() {
  ++checkScopeSerial;
  checkScopeWalk = 0;  // a later scope of the same walk starts afresh
}

void AcTopoRef::Reresolve() {
  if (acTopoReresolutionHeld()) return;  // the flags wait for a time the pass can run
  bool needed = false;
  if (acTopoSolidModified()) {
    acTopoClearSolidModified();
    needed = true;
  }
  const std::uint64_t scope = AcTopoCheckScope::Current();
  if (!needed && scope != 0 && (checkedIn_ == scope || OnSolidFoundSound(scope))) {
    checkedIn_ = scope;
    return;
  }
  AcDbFullSubentPath path;
  if (entity_ && entity_->getSubentPath(path) != AcBr::eOk) needed = true;
  if (key_ && acKeyIsStale(key_)) needed = true;
  if (needed) {
    soundOn_.reset();
    acReresolveAllTopology();
    return;
  }
  checkedIn_ = scope;
  const AcDbObjectId part = entity_ ? partOf(*entity_) : AcDbObjectId();
  soundOn_ = scope != 0 && !part.isNull() ? solidOfPart(part, scope) : nullptr;
}

bool AcTopoRef::OnSolidFoundSound(std::uint64_t scope) const {
  if (!soundOn_ || !entity_) return false;
  const AcDbObjectId part = partOf(*entity_);
  if (part.isNull()) return false;
  // The key is asked of the same part; a component key depends on more than the part's solid.
  if (key_ && (key_->keyType() == Ami::kCompKey || key_->objectId() != part)) return false;
  const std::shared_ptr<const TopoDS_Shape> now = solidOfPart(part, scope);
  return now && now->IsEqual(*soundOn_);
}
