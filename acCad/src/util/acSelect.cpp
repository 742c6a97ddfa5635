#include "util/acSelect.h"

#include <memory>

#include "amg/CaeMsgCall.h"
#include "amg/CaeString.h"
#include "arx/aced.h"
#include "arx/brbrep.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "mcad/amipick.h"
#include "res/ResourceIds.h"
#include "util/acBrEnt.h"
#include "util/acLayer.h"
#include "util/acObjKey.h"
#include "util/acString.h"

namespace {

// Switches a drawing layer off for its lifetime and back on afterwards, only if it was on.
class HiddenLayer {
 public:
  explicit HiddenLayer(int number) : number_(number), wasOn_(acShowCaeLayer(number, 0)) {}
  ~HiddenLayer() {
    if (wasOn_) acShowCaeLayer(number_, 1);
  }
  HiddenLayer(const HiddenLayer&) = delete;
  HiddenLayer& operator=(const HiddenLayer&) = delete;

 private:
  int number_;
  int wasOn_;
};

// A key obtained from the modeller; released when it goes out of scope.
class HeldKey {
 public:
  HeldKey() = default;
  ~HeldKey() { Release(); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

  AmiObjectKey* Get() const { return key_; }
  AmiObjectKey*& Out() { return key_; }
  // Takes a key of any kind; one that is not an object key (a parameter) names no geometry.
  void Adopt(AmiKey* key) {
    Release();
    key_ = dynamic_cast<AmiObjectKey*>(key);
    if (!key_) delete key;
  }
  void Release() { acReleaseKey(&key_); }

 private:
  AmiObjectKey* key_ = nullptr;
};

unsigned promptId(int pickKind) {
  switch (pickKind) {
    case kPickSolid: return IDS_PICK_SOLID_PROMPT;
    case kPickFace: return IDS_PICK_FACE_PROMPT;
    case kPickEdge: return IDS_PICK_EDGE_PROMPT;
    case kPickVertex: return IDS_PICK_VERTEX_PROMPT;
    default: return IDS_PICK_ANY_PROMPT;
  }
}

// The key of what was picked, or nothing (193 printed) when the modeller gives none.
void keyOfPick(const AmiPickObj& pick, Ami::KeyType keyType, HeldKey& key) {
  AmiStatus status = Ami::eOk;
  if (keyType == Ami::kVertexKey) {
    status = amiGetGeomKey(Ami::kVertexKey, 1, key.Out(), pick, nullptr);
  } else {
    AmiKey* found = nullptr;
    status = amiGetKeyFromPick(pick, keyType, found);
    key.Adopt(found);
  }
  if (status != Ami::eOk) {
    key.Release();
    acPrintString(IDS_GEOMETRY_SELECTION_FAILED);
  }
}

// Whether the modeller can make a path key for the picked subentity; "Invalid Geometry" when not.
bool hasPathKey(const AcBrEntity& entity) {
  AcDbFullSubentPath path;
  AmiObjectKey* probe = nullptr;
  AmiStatus status = Ami::eNotFound;
  if (entity.getSubentPath(path) == AcBr::eOk) status = amiGetKeyFromPath(path, Ami::kBodyKey, probe, 1, nullptr);
  acReleaseKey(&probe);
  if (status == Ami::eOk) return true;
  acPrintString(IDS_INVALID_GEOMETRY);
  return false;
}

// The canonical body of the solid a picked subentity belongs to.
AcBrEntity* bodyOf(const AcBrEntity& entity) {
  AcDbFullSubentPath path;
  CAE_CHECK(entity.getSubentPath(path) == AcBr::eOk);
  auto body = std::make_unique<AcBrBrep>();
  CAE_CHECK(body->setSubentPath(AcDbFullSubentPath(path.objectIds(), AcDbSubentId())) == AcBr::eOk);
  return acCanonicalBrEntity(body.get());
}

// One round of the pick: the entity, or null with `ended` set when the user ended the pick.
AcBrEntity* pickOnce(const char* prompt, int pickKind, Ami::KeyType keyType, bool& ended) {
  AmiPickObj pick;
  const AmiStatus status = amiPick(prompt, keyType, nullptr, pick, nullptr);
  if (status == Ami::eUserEnded || status == Ami::eStaleKey) {
    ended = true;
    return nullptr;
  }
  if (status == Ami::eFailedPick) {
    acPrintString(IDS_GEOMETRY_SELECTION_FAILED);
    return nullptr;
  }
  CAE_CHECK(status == Ami::eOk);
  HeldKey key;
  keyOfPick(pick, keyType, key);
  if (!key.Get()) return nullptr;
  AcBrEntity* entity = acBrEntityFromKey(key.Get());
  if (entity && !hasPathKey(*entity)) entity = nullptr;
  if (entity && pickKind == kPickSolid) entity = bodyOf(*entity);
  if (!entity) acPrintString(IDS_GEOMETRY_SELECTION_FAILED);
  return entity;
}

bool isLive(CaeActive* object) { return object && !object->IsMarkedAsErased(); }

}  // namespace

int acPickKeyType(int pickKind) {
  switch (pickKind) {
    case kPickSolid: return Ami::kBodyKey;
    case kPickFace: return Ami::kFaceKey;
    case kPickEdge: return Ami::kEdgeKey;
    case kPickVertex: return Ami::kVertexKey;
    default: return Ami::kAnyKey;
  }
}

AcBrEntity* acPickTopology(int pickKind, int hideMesh) {
  std::unique_ptr<HiddenLayer> mesh;
  if (hideMesh == 1) mesh = std::make_unique<HiddenLayer>(kCaeLayerMesh);
  HiddenLayer conditions(kCaeLayerLbc);
  int keyType = acPickKeyType(pickKind);
  // A solid is picked through one of its edges.
  if (pickKind == kPickSolid) keyType = Ami::kEdgeKey;
  CaeString prompt;
  acLoadString(promptId(pickKind), prompt);
  bool ended = false;
  while (!ended) {
    if (AcBrEntity* entity = pickOnce(prompt.Text(), pickKind, static_cast<Ami::KeyType>(keyType), ended))
      return entity;
  }
  return nullptr;
}

bool acQueueStringExpression(unsigned stringId) {
  const CaeString text = resLoadString(stringId);
  if (text.IsEmpty()) return false;
  ads_queueexpr(text.Text());
  return true;
}

bool acQueueExpression(const char* text) {
  ads_queueexpr(text);
  return true;
}

bool acHasCurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentAnlModel();
}

bool acHasCurrentLoadCase() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentLoadCase();
}

bool acHasCurrentRestraintCase() {
  AnlControl* control = AnlControl::GetCurrent();
  return control && control->CurrentRestraintCase();
}

bool acCurrentModelHasJobOrResult() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return false;
  for (int i = 0; i < model->NumJobs(); ++i)
    if (isLive(model->GetJob(i))) return true;
  for (int i = 0; i < model->NumResultSets(); ++i)
    if (isLive(model->GetResultSet(i))) return true;
  return false;
}

bool acHasCurrentResults() {
  AnlControl* control = AnlControl::GetCurrent();
  return acCurrentModelHasJobOrResult() && control->CurrentResultSet();
}

bool acOptimizationAvailable() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad && cad->QueryModelState(ModelQuestion::OptimizationOffered);
}

bool acOptimizationResultsAvailable() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad && cad->QueryModelState(ModelQuestion::ShapeResults);
}
