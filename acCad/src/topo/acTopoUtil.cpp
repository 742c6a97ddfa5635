#include "topo/acTopoUtil.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include <TopoDS_Shape.hxx>

#include "amg/CaeAttrib.h"
#include "amg/CaeMsgCall.h"
#include "arx/acdocman.h"
#include "arx/brbrep.h"
#include "arx/brocct.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbControl.h"
#include "db/dbLbcSet.h"
#include "db/dbMateRelPair.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AmgMesh.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "util/acDeferredPasses.h"
#include "util/acEditor.h"
#include "util/acObjKey.h"
#include "util/acPost.h"

// ---- key binding ----------------------------------------------------------------------------

void acBindObjectToKey(AmiKey* key, AcDbObject* object) {
  if (!key) return;
  if (!object) {
    if (key->unbind() != Ami::eOk && key->unbind() != Ami::eOk) CAE_GENERAL_ERROR();
    return;
  }
  if (key->bind(object) == Ami::eOk) return;
  // The retry does not un-erase the object the key held last: that object was erased by the user
  // (or by undo) and bringing it back would resurrect what they deleted.
  if (key->bind(object) != Ami::eOk) CAE_GENERAL_ERROR();
}

void acNotifyKeyErased(AmiKey* key, int erasing) {
  if (key) key->notifyErased(erasing != 0);
}

void acReleaseBoundKey(AmiObjectKey** key) {
  if (!key) return;
  if (*key && (*key)->hasBoundObject()) (*key)->notifyErased(true);
  *key = nullptr;
}

AmiObjectKey* acKeyOfAttrib(CaeAttrib* attribute) {
  if (!attribute) return nullptr;
  auto* reference = dynamic_cast<AcTopoRef*>(attribute->GetTopoRef());
  if (!reference) return nullptr;
  reference->Reresolve();
  AmiObjectKey* key = reference->GetKey();
  if (!acKeyNotNull(key)) CAE_GENERAL_ERROR();
  return key;
}

void acRebindAttribToKey(AmiObjectKey** key, CaeAttrib* attribute) {
  if (!key) return;
  acReleaseBoundKey(key);
  *key = acKeyOfAttrib(attribute);
  // The engine attribute and its drawing object are two bases of one object.
  if (auto* object = dynamic_cast<AcDbObject*>(attribute)) acBindObjectToKey(*key, object);
}

// ---- engine attributes and their drawing objects --------------------------------------------

namespace {

// The engine side of each pair, in the order the drawing object's class is tested:
// CaepMeshEnt, CaepModelTempEnt, CaepLbcConvEnt, CaepLbcHtGenEnt, CaepLbcEnt, CaepConEnt,
// CaepMateRelEnt, CaepMeshUse, CaepOptConstraint. Each drawing class carries exactly its engine
// class, so the engine type of the object's attribute part stands for its drawing class.
const CaeTypeInfo* const kPairsByDrawingObject[] = {&AmgMesh::Info,    &AttModelTemp::Info, &AttLbcConv::Info,
                                                    &AttLbcHgen::Info, &AttLbc::Info,       &AmgConstraint::Info,
                                                    &AttMateRel::Info, &AmgMeshUse::Info,   &OptConstraint::Info};
// The same pairs in the order an attribute's engine type is tested.
const CaeTypeInfo* const kPairsByAttribute[] = {&AmgMesh::Info,    &AttModelTemp::Info, &AmgConstraint::Info,
                                                &AttLbcHgen::Info, &AttLbcConv::Info,   &AttLbc::Info,
                                                &AttMateRel::Info, &AmgMeshUse::Info,   &OptConstraint::Info};

}  // namespace

CaeAttrib* acAttribFromDbObject(AcDbObject* object) {
  auto* attribute = dynamic_cast<CaeAttrib*>(object);
  if (!attribute) return nullptr;
  const CaeTypeId type = attribute->GetInfo();
  for (const CaeTypeInfo* pair : kPairsByDrawingObject)
    if (type == CaeTypeId(*pair)) return attribute;
  return nullptr;
}

AcDbObject* acDbObjectFromAttrib(CaeAttrib* attribute) {
  if (!attribute) return nullptr;
  const CaeTypeId type = attribute->GetInfo();
  for (const CaeTypeInfo* pair : kPairsByAttribute)
    if (type.CanCast(*pair)) return dynamic_cast<AcDbObject*>(attribute);
  return nullptr;
}

AcDbObjectId acAttribObjectId(CaeAttrib* attribute) {
  AcDbObject* object = acDbObjectFromAttrib(attribute);
  return object ? object->objectId() : AcDbObjectId();
}

// ---- the attribute list of a reference ------------------------------------------------------

void AcTopoRef::AddAttribute(CaeAttrib* attribute) {
  const AcDbObjectId id = acAttribObjectId(attribute);
  if (id.isNull()) return;
  attributeIds_.append(id);
}

bool AcTopoRef::RemoveAttribute(CaeAttrib* attribute) {
  const AcDbObjectId id = acAttribObjectId(attribute);
  if (id.isNull()) return false;
  if (!attributeIds_.remove(id)) return false;
  AcTopoContext& context = acTopoContext();
  if (context.cursorReference == this) context.cursorReference = nullptr;  // the indexes moved
  return true;
}

bool AcTopoRef::HasAttributeId(AcDbObjectId id) const { return attributeIds_.contains(id); }

CaeAttrib* AcTopoRef::AttributeAt(int index, CaeTypeId type, int activeOnly) {
  const AcDbObjectId id = attributeIds_[index];
  if (id.isNull()) return nullptr;
  // A walk only looks: whoever changes what it answered opens that for write (acOpenAttribForWrite).
  Acad::ErrorStatus status = Acad::eOk;
  CaeAttrib* attribute = acAttribFromDbObject(acOpenObject(id, status, 1, AcDb::kForRead));
  if (!attribute || (activeOnly && !attribute->IsActive())) return nullptr;
  return attribute->GetInfo().CanCast(type) ? attribute : nullptr;
}

CaeAttrib* AcTopoRef::Answer(CaeAttrib* attribute, int index) {
  AcTopoContext& context = acTopoContext();
  context.cursorReference = this;
  context.cursorAttribute = attribute;
  context.cursorIndex = index;
  return attribute;
}

CaeAttrib* AcTopoRef::FirstAttribute(CaeTypeId type, int activeOnly) {
  for (int i = 0; i < attributeIds_.length(); ++i)
    if (CaeAttrib* attribute = AttributeAt(i, type, activeOnly)) return Answer(attribute, i);
  return nullptr;
}

CaeAttrib* AcTopoRef::NextAttribute(CaeTypeId type, CaeAttrib* previous, int activeOnly) {
  // The cursor continues only the walk it belongs to: this reference's, from that attribute.
  const AcTopoContext& context = acTopoContext();
  const bool continues = previous && context.cursorReference == this && context.cursorAttribute == previous;
  bool passed = continues;
  for (int i = continues ? context.cursorIndex + 1 : 0; i < attributeIds_.length(); ++i) {
    CaeAttrib* attribute = AttributeAt(i, type, activeOnly);
    if (!attribute) continue;
    if (passed) return Answer(attribute, i);
    if (attribute == previous) passed = true;
  }
  return nullptr;
}

// ---- watching solids ------------------------------------------------------------------------

namespace {

std::unique_ptr<AcTopoSolidReactor> solidReactor;

// The current document's database, or null.
AcDbDatabase* currentDatabase() {
  AcApDocument* document = acDocManagerPtr() ? acDocManagerPtr()->curDocument() : nullptr;
  return document ? document->database() : nullptr;
}

}  // namespace

AcTopoContext& acTopoContext() {
  static AcTopoContext context;
  return context;
}

void AcTopoSolidReactor::erased(const AcDbObject* /*object*/, Adesk::Boolean erasing) {
  if (erasing)
    acTopoSetSolidErased();
  else
    acTopoSetSolidModified();  // the solid is back: what lost it may come back with it
}

void AcTopoSolidReactor::modified(const AcDbObject* /*object*/) {
  acTopoContext().solidFromHistory = false;  // an edit: what lies on the solid hears of it
  acTopoSetSolidModified();
}

void AcTopoSolidReactor::modifyUndone(const AcDbObject* /*object*/) {
  // Undo and redo put back the objects on the solid as they were with this solid: they need not
  // be told that it changed (telling would also write them, a new undo step that drops the redo).
  acTopoContext().solidFromHistory = true;
  acTopoSetUndoModified();
  // The host tells an undone change only here: the solid changed all the same, and the pass
  // that the undo-modified flag skips once must still come.
  acTopoSetSolidModified();
}

AcTopoSolidReactor* acTopoSolidReactor() { return solidReactor.get(); }

void acWatchPartOfKey(AmiObjectKey* key) {
  if (!acKeyNotNull(key)) return;
  AcDbObjectIdArray part;
  part.append(key->objectId());
  AcBrBrep body;
  if (body.setSubentPath(AcDbFullSubentPath(part, kNullSubent)) == AcBr::eOk) acWatchSolid(&body);
}

bool acIsSolidWatched(const AcDbObject* object) {
  if (!object || !solidReactor) return false;
  const std::vector<AcDbObjectReactor*>& reactors = object->reactors();
  return std::find(reactors.begin(), reactors.end(), solidReactor.get()) != reactors.end();
}

void acWatchSolid(AcBrEntity* entity) {
  AcDbFullSubentPath path;
  if (!entity || entity->getSubentPath(path) != AcBr::eOk) return;
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  if (!solidReactor) solidReactor = std::make_unique<AcTopoSolidReactor>();
  CadTransactionScope transaction(*cad);
  transaction.Start();
  for (int i = 0; i < path.objectIds().length(); ++i) {
    Acad::ErrorStatus status = Acad::eOk;
    // Read is enough to look; the reactor list is transient, so adding needs no undo snapshot.
    AcDbObject* object = acOpenObject(path.objectIds()[i], status, 0, AcDb::kForRead);
    if (!object) CAE_GENERAL_ERROR();
    if (!acIsSolidWatched(object)) object->addReactor(solidReactor.get());
    if (!acIsSolidWatched(object)) CAE_GENERAL_ERROR();
  }
  transaction.Commit();
}

void acReleaseSolidReactor() {
  if (!solidReactor) return;
  acRemoveReactorFromAllDrawings(solidReactor.get());
  solidReactor.reset();
}

// ---- re-resolution --------------------------------------------------------------------------

bool acTopoReresolutionHeld() {
  const AcTopoContext& context = acTopoContext();
  if (context.reresolving || context.building > 0) return true;
  AcDbDatabase* db = currentDatabase();
  return db && db->isFiling();
}

namespace {

// Clears the re-entry flag however the pass ends.
class ReresolvingScope {
 public:
  ReresolvingScope() { acTopoContext().reresolving = true; }
  ~ReresolvingScope() { acTopoContext().reresolving = false; }
  ReresolvingScope(const ReresolvingScope&) = delete;
  ReresolvingScope& operator=(const ReresolvingScope&) = delete;
};

// The references of the ring, front to back, as they are now: the walks below re-insert
// references at the front or create new ones there, which they must not meet again.
std::vector<AcTopoRef*> ringOrder(AcTopoTables& tables) {
  std::vector<AcTopoRef*> references;
  references.reserve(static_cast<std::size_t>(tables.References().Count()));
  for (auto* node = tables.References().FirstNode(); node->HasItem(); node = node->Next())
    references.push_back(node->Item());
  return references;
}

// The shape a reference stands for now; null without entity. Held across the re-validation, it
// also keeps the old shape's address from being reused by the new one.
TopoDS_Shape shapeOf(const AcTopoRef& reference) {
  const AcBrEntity* entity = reference.Entity();
  return entity && !entity->isNull() ? entity->data().shape : TopoDS_Shape();
}

// The shapes of the ring's references before the pass, to tell afterwards which ones changed.
using ShapesBefore = std::unordered_map<const AcTopoRef*, TopoDS_Shape>;

ShapesBefore shapesOf(const std::vector<AcTopoRef*>& references) {
  ShapesBefore shapes;
  shapes.reserve(references.size());
  for (const AcTopoRef* reference : references) shapes.emplace(reference, shapeOf(*reference));
  return shapes;
}

// A reference changed when it stands for another shape (or another placement of it) than
// before the pass, or did not exist before it.
bool changedSince(const AcTopoRef& reference, const ShapesBefore& before) {
  const auto found = before.find(&reference);
  if (found == before.end()) return true;
  const TopoDS_Shape now = shapeOf(reference);
  return found->second.IsNull() || now.IsNull() || !found->second.IsSame(now);
}

// Tells the attributes of each reference the edit changed that their topology was modified;
// those on untouched parts or faces keep their state (a mesh stays up to date).
void tellModified(AcTopoTables& tables, const ShapesBefore& before) {
  for (AcTopoRef* reference : ringOrder(tables)) {
    if (!changedSince(*reference, before)) continue;
    std::vector<CaeAttrib*> attached;
    for (CaeAttrib* attribute = reference->FirstAttribute(CaeAttrib::Info, 0); attribute;
         attribute = reference->NextAttribute(CaeAttrib::Info, attribute, 0))
      attached.push_back(attribute);
    for (CaeAttrib* attribute : attached) {
      acOpenAttribForWrite(attribute);
      attribute->UponTopoRefModify();
    }
  }
}

}  // namespace

void acReresolveAllTopology() {
  // A reference half built, or the pass itself, would have its geometry replaced under it.
  if (acTopoReresolutionHeld()) return;
  AcTopoTables* tables = AcTopoTables::Current();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!tables || !cad) return;
  ReresolvingScope reresolving;
  AcTopoCheckScope::Renew();  // what a walk found sound before the pass may be gone after it
  acNotePass("reresolve");
  // Opening attributes needs a transaction; a pass started lazily may have none around it.
  CadTransactionScope transaction(*cad);
  transaction.Start();
  const std::vector<AcTopoRef*> references = ringOrder(*tables);
  const ShapesBefore before = shapesOf(references);
  for (AcTopoRef* reference : references) reference->Revalidate(tables);
  if (!acTopoSolidErased()) {
    for (AcTopoRef* reference : ringOrder(*tables)) reference->EnsureChildren(tables);
    acReattachAttributes();
    // Mode 2: an optimisation is writing the part; its own update follows. After an undo or redo
    // the objects are as they were with the solid they now lie on.
    AcTopoContext& context = acTopoContext();
    if (cad->GetDocControl() == 0 && !context.solidFromHistory) tellModified(*tables, before);
    context.solidFromHistory = false;
  }
  transaction.Commit();
  AcTopoCheckScope::Renew();
}

void AcTopoRef::Revalidate(AcTopoTables* tables) {
  if (!entity_) return;
  if (!tables) CAE_GENERAL_ERROR();
  if (key_ && acKeyIsStale(key_)) {
    LoseTopology(*tables);
    return;
  }
  if (acTopoSolidErased()) return;
  // The table is ordered by entity: out before the entity changes, back in (at the front) after.
  tables->UnlinkReference(this);
  if (key_) {
    SetEntity(acBrEntityFromKey(key_));  // refreshed to the solid as it is now; null when gone
  } else {
    AcDbFullSubentPath path;
    if (entity_->getSubentPath(path) == AcBr::eOk) entity_->setSubentPath(path);
  }
  tables->InsertReference(this);
  ClearChildren();
  if (entity_) {
    CacheGeometry();
  } else {
    delete geometry_;
    geometry_ = nullptr;
    cachedSolid_ = nullptr;
  }
}

void AcTopoRef::LoseTopology(AcTopoTables& tables) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) CAE_GENERAL_ERROR();
  CadTransactionScope transaction(*cad);
  transaction.Start();
  // Read the list first: each attribute erases its drawing object, which may walk other lists.
  std::vector<CaeAttrib*> attached;
  for (CaeAttrib* attribute = FirstAttribute(CaeAttrib::Info, 0); attribute;
       attribute = NextAttribute(CaeAttrib::Info, attribute, 0))
    attached.push_back(attribute);
  for (CaeAttrib* attribute : attached) {
    if (attribute->IsMarkedAsErased()) continue;
    acOpenAttribForWrite(attribute);
    attribute->UponTopoRefErase();
  }
  tables.UnlinkReference(this);
  transaction.Commit();
}

namespace {

AcTopoAttribObject* attribObjectOf(CaeAttrib* attribute) {
  auto* object = dynamic_cast<AcTopoAttribObject*>(acDbObjectFromAttrib(attribute));
  if (!object) CAE_GENERAL_ERROR();
  return object;
}

// Marked erased by the engine, or erased in the drawing (some conditions only deactivate their
// engine part when erased).
bool isErased(CaeAttrib* attribute) {
  if (attribute->IsMarkedAsErased()) return true;
  AcDbObject* object = acDbObjectFromAttrib(attribute);
  return object && object->isErased();
}

bool isSetMemberType(CaeTypeId type, bool restraints) {
  if (type == CaeTypeId(AttLbc::Info)) return true;
  return !restraints && (type == CaeTypeId(AttModelTemp::Info) || type == CaeTypeId(AttLbcConv::Info) ||
                         type == CaeTypeId(AttLbcHgen::Info));
}

// The collection only reads: a pass that changes nothing (after an undo, say) must leave no
// undo record behind, or the redo the user is about to ask for is lost. Erased objects are
// included (their topology may be back); objects that never open again are not.
AcDbObject* readMember(AcDbDatabase* db, AcDbObjectId id) { return dbOpenMember(db, id, AcDb::kForRead, true); }

AcDbObject* readLive(AcDbDatabase* db, AcDbObjectId id) { return dbOpenLive(db, id, AcDb::kForRead); }

void appendSetMembers(AcDbDatabase* db, AcDbObjectId setId, bool restraints, std::vector<CaeAttrib*>& attributes) {
  auto* set = dynamic_cast<CaepLbcSetObj*>(readLive(db, setId));
  if (!set) return;
  for (const AcDbObjectId& id : set->ConditionIds()) {
    AcDbObject* object = readMember(db, id);
    if (!object) continue;  // never opens again
    auto* member = dynamic_cast<AttBaseLbc*>(object);
    if (!member) CAE_GENERAL_ERROR();
    // A model-level load belongs in a load set but sits on no topology.
    if (!restraints && member->GetInfo() == CaeTypeId(AttModelLbc::Info)) continue;
    auto* attribute = dynamic_cast<CaeAttrib*>(member);
    if (!attribute || !isSetMemberType(attribute->GetInfo(), restraints)) CAE_GENERAL_ERROR();
    attributes.push_back(attribute);
  }
}

void appendAttribute(AcDbObject* object, std::vector<CaeAttrib*>& attributes) {
  if (!object) return;
  auto* attribute = dynamic_cast<CaeAttrib*>(object);
  if (!attribute) CAE_GENERAL_ERROR();
  attributes.push_back(attribute);
}

void appendModelMeshesAndConstraints(AcDbDatabase* db, const CaepAnlModelObj& model,
                                     std::vector<CaeAttrib*>& attributes) {
  for (const AcDbObjectId& id : model.SubModelIds()) {
    auto* subModel = dynamic_cast<CaepAnlSubModelObj*>(readMember(db, id));
    if (subModel) appendAttribute(readMember(db, subModel->MeshId()), attributes);
  }
  for (const AcDbObjectId& id : model.ConstraintIds()) appendAttribute(readMember(db, id), attributes);
}

void appendModelPairs(AcDbDatabase* db, const CaepAnlModelObj& model, std::vector<CaeAttrib*>& attributes) {
  for (const AcDbObjectId& id : model.PairIds()) {
    auto* pair = dynamic_cast<CaepMateRelPair*>(readMember(db, id));
    if (!pair) continue;
    appendAttribute(readMember(db, pair->FirstId()), attributes);
    appendAttribute(readMember(db, pair->SecondId()), attributes);
  }
}

std::vector<CaepAnlModelObj*> liveModels(AcDbDatabase* db, const CaepAnlControl& control) {
  std::vector<CaepAnlModelObj*> models;
  for (const AcDbObjectId& id : control.Ids(DbStoredKind::AnlModel))
    if (auto* model = dynamic_cast<CaepAnlModelObj*>(readLive(db, id))) models.push_back(model);
  return models;
}

}  // namespace

void acReattachCollectAttributes(std::vector<CaeAttrib*>& attributes) {
  auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent());
  AcDbDatabase* db = currentDatabase();
  if (!control || !db) return;
  for (const AcDbObjectId& id : control->Ids(DbStoredKind::RestraintCase)) appendSetMembers(db, id, true, attributes);
  for (const AcDbObjectId& id : control->Ids(DbStoredKind::LoadCase)) appendSetMembers(db, id, false, attributes);
  const std::vector<CaepAnlModelObj*> models = liveModels(db, *control);
  for (CaepAnlModelObj* model : models) appendModelMeshesAndConstraints(db, *model, attributes);
  for (const AcDbObjectId& id : control->Ids(DbStoredKind::OptModel))
    if (auto* model = dynamic_cast<OptModel*>(readLive(db, id)))
      for (OptConstraint* constraint = model->FirstConstraint(0); constraint; constraint = model->NextConstraint())
        attributes.push_back(constraint);
  for (CaepAnlModelObj* model : models) appendModelPairs(db, *model, attributes);
}

void acOpenAttribForWrite(CaeAttrib* attribute) {
  const AcDbObjectId id = acAttribObjectId(attribute);
  if (id.isNull()) return;
  Acad::ErrorStatus status = Acad::eOk;
  acOpenObject(id, status, 0, AcDb::kForWrite);  // erased included; it is open for read already
}

AmiObjectKey* acKeyOfAttributeObject(CaeAttrib* attribute) {
  return attribute ? attribObjectOf(attribute)->TopoKey() : nullptr;
}

bool acAttributeTopologyLost(CaeAttrib* attribute) {
  return attribute ? attribObjectOf(attribute)->TopologyLost() : false;
}

void acUneraseAttributeObject(CaeAttrib* attribute) {
  if (!attribute) return;
  AcTopoAttribObject* revived = attribObjectOf(attribute);
  Acad::ErrorStatus status = Acad::eOk;
  acOpenObject(acAttribObjectId(attribute), status, 0, AcDb::kForWrite);  // erased included
  revived->ReviveTopology();
}

namespace {

// A live pair read with a side whose geometry was missing is inactive, its relations held: the
// side may be back now. Only such pairs are opened for write.
void resolveMissingSides() {
  auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent());
  AcDbDatabase* db = currentDatabase();
  if (!control || !db) return;
  for (CaepAnlModelObj* model : liveModels(db, *control))
    for (const AcDbObjectId& id : model->PairIds()) {
      // Read by the drawing's state: the engine holds such a pair marked erased.
      auto* pair = dynamic_cast<CaepMateRelPair*>(readMember(db, id));
      if (!pair || pair->isErased() || !pair->SideMissing()) continue;
      dbWriteEnable(*pair);
      pair->ResolveMissingSides();
    }
}

// Step 2 of the re-attachment: the key to attach an attribute by, or null to drop it.
AmiObjectKey* keyToAttach(CaeAttrib* attribute) {
  AmiObjectKey* key = acKeyOfAttributeObject(attribute);
  if (!key || !isErased(attribute)) return key;
  if (acKeyIsStale(key) || !acAttributeTopologyLost(attribute)) return nullptr;  // gone, or erased by the user
  acUneraseAttributeObject(attribute);
  return acKeyOfAttributeObject(attribute);  // a revival may rebind it to its reference's key
}

}  // namespace

void acReattachAttributes() {
  std::vector<CaeAttrib*> attributes;
  acReattachCollectAttributes(attributes);
  for (CaeAttrib* attribute : attributes) {
    AmiObjectKey* key = keyToAttach(attribute);
    AcTopoRef* reference = key ? acTopoRefFromKey(key) : nullptr;
    if (!reference) continue;
    if (!reference->HasAttributeId(acAttribObjectId(attribute))) reference->AddAttribute(attribute);
    attribute->SetTopoRef(reference);
  }
  resolveMissingSides();
}
