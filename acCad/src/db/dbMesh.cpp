#include "db/dbMesh.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeStamp.h"
#include "amg/CaeTopoRef.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbMeshUse.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "db/dbTransform.h"
#include "fea/FerState.h"
#include "gui/wizard/UIWizard.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acLayer.h"
#include "util/acObjKey.h"
#include "util/acPost.h"

namespace {

constexpr char kClassName[] = "CaepMeshEnt";
constexpr int kStateModified = 1;
constexpr int kStateNotAssociated = 2;
constexpr int kStateRemeshRequired = 4;  // a refinement changed since the mesh was made

AmiObjectKey* copyKey(const AmiObjectKey* key) {
  AmiKey* copy = nullptr;
  CAE_CHECK(amiCopyKey(key, copy) == Ami::eOk);
  auto* objectKey = dynamic_cast<AmiObjectKey*>(copy);
  if (!objectKey) delete copy;
  CAE_CHECK(objectKey != nullptr);
  return objectKey;
}

AcTopoRef* refOfKey(AmiObjectKey* key) { return acKeyNotNull(key) ? acTopoRefFromKey(key) : nullptr; }

}  // namespace

// ---- MeshKeyArray -------------------------------------------------------------------------------

MeshKeyArray::~MeshKeyArray() { Clear(); }

int MeshKeyArray::Append(AmiObjectKey* key) {
  keys_.push_back(key);
  return Count() - 1;
}

AmiObjectKey* MeshKeyArray::At(int index) const {
  CAE_CHECK(index >= 0 && index < Count());
  return keys_[static_cast<std::size_t>(index)];
}

void MeshKeyArray::Clear() {
  for (AmiObjectKey*& key : keys_) acReleaseKey(&key);
  keys_.clear();
}

MeshNodeGroup::MeshNodeGroup(AmiObjectKey* groupKey) : key(groupKey) { acBindObjectToKey(key, nullptr); }

// ---- the record ---------------------------------------------------------------------------------

// One pass over a record: every filer call that fails is a consistency check.
class CaepMeshEnt::Record {
 public:
  Record(AcDbDwgFiler* filer, int version) : filer_(filer), version_(version) {}
  AcDbDwgFiler* filer() const { return filer_; }
  int version() const { return version_; }
  void setVersion(int version) { version_ = version; }

  void putInt16(int value) { CAE_CHECK(filer_->writeInt16(static_cast<Adesk::Int16>(value)) == Acad::eOk); }
  void putInt32(long value) { CAE_CHECK(filer_->writeInt32(static_cast<Adesk::Int32>(value)) == Acad::eOk); }
  void putDouble(double value) { CAE_CHECK(filer_->writeDouble(value) == Acad::eOk); }
  void putKey(const AmiObjectKey* key) {
    CAE_CHECK(key != nullptr);
    CAE_CHECK(amiWriteKey(filer_, key) == Ami::eOk);
  }
  int getInt16() {
    Adesk::Int16 value = 0;
    CAE_CHECK(filer_->readInt16(&value) == Acad::eOk);
    return value;
  }
  long getInt32() {
    Adesk::Int32 value = 0;
    CAE_CHECK(filer_->readInt32(&value) == Acad::eOk);
    return value;
  }
  // A count must lie in 0..kMaxCount; the items themselves are read one by one, so nothing is
  // allocated ahead of what the record holds.
  int getCount() {
    const long count = getInt32();
    CAE_CHECK(count >= 0 && count <= DbFields::kMaxCount);
    return static_cast<int>(count);
  }
  double getDouble() {
    double value = 0.0;
    CAE_CHECK(filer_->readDouble(&value) == Acad::eOk && std::isfinite(value));
    return value;
  }
  AmiObjectKey* getKey() {
    AmiKey* key = nullptr;
    CAE_CHECK(amiReadKey(filer_, key) == Ami::eOk && key != nullptr);
    auto* objectKey = dynamic_cast<AmiObjectKey*>(key);
    if (!objectKey) delete key;
    CAE_CHECK(objectKey != nullptr);
    return objectKey;
  }

  void writeNode(CaeNode& node) {
    const long factor = node.Stamp().Test() ? -1 : 1;
    putInt32(node.Id() * factor);
    const CaeVector& point = node.Coordinate();
    putDouble(point[0]);
    putDouble(point[1]);
    putDouble(point[2]);
    putInt32(node.Location());
    node.Stamp().Set();
  }

  void writeElement(const CaeElem& element) {
    putInt32(element.Id());
    putInt16(element.Type());
    putInt16(element.Shape());
    putInt16(element.Order());
    putInt32(element.NumNodes());
    for (int i = 0; i < element.NumNodes(); ++i) putInt32(element.Node(i)->Id());
    putInt32(static_cast<long>(element.PNodes().size()));
    for (CaeNode* node : element.PNodes()) writeNode(*node);
    putInt32(static_cast<long>(element.PElems().size()));
    for (const CaeElem* child : element.PElems()) writeElement(*child);
  }

  // A new node; a node read with a negated id is also entered in the shared-node table.
  CaeNode* readNode(std::map<long, CaeNode*>& shared) {
    long id = getInt32();
    const bool isShared = id < 0;
    if (isShared) id = -id;
    const double x = getDouble();
    const double y = getDouble();
    const double z = getDouble();
    const CaeVector point(x, y, z);
    int location = 4;
    if (version_ > kVersionNoLocations) location = static_cast<int>(getInt32());
    CAE_CHECK(location >= 0 && location <= 4);
    auto* node = new CaeNode(point, id);
    node->Location(location);
    if (isShared) shared[id] = node;
    return node;
  }

  // Reads an element against the nodes read so far; its p-nodes and p-elements go to the stores.
  std::unique_ptr<CaeElem> readElement(const std::map<long, CaeNode*>& table, std::map<long, CaeNode*>& shared,
                                       bool& usesShared, std::vector<std::unique_ptr<CaeNode>>& pNodes,
                                       std::vector<std::unique_ptr<CaeElem>>& pElems) {
    const long id = getInt32();
    const int type = getInt16();
    const int shape = getInt16();
    const int order = getInt16();
    const long count = getInt32();
    CAE_CHECK(count >= 0 && count <= CaeElem::kMaxNodes);
    CaeNode* buffer[CaeElem::kMaxNodes] = {};
    for (long i = 0; i < count; ++i) {
      const long nodeId = getInt32();
      auto found = table.find(nodeId);
      CAE_CHECK(found != table.end());
      buffer[i] = found->second;
      if (shared.count(nodeId)) usesShared = true;
    }
    std::unique_ptr<CaeElem> element(CaeElem::Create(buffer, static_cast<int>(count), static_cast<CaeElemType>(type),
                                                     static_cast<CaeElemShape>(shape), static_cast<CaeElemOrder>(order),
                                                     id));
    CAE_CHECK(element != nullptr);
    if (version_ > kVersionNoLocations) {
      std::map<long, CaeNode*> pTable;
      const int pCount = getCount();
      for (int i = 0; i < pCount; ++i) {
        pNodes.emplace_back(readNode(shared));
        pTable[pNodes.back()->Id()] = pNodes.back().get();
        element->AddPNode(pNodes.back().get());
      }
      const int qCount = getCount();
      for (int i = 0; i < qCount; ++i) {
        bool childShared = false;
        pElems.push_back(readElement(pTable, shared, childShared, pNodes, pElems));
        element->AddPElem(pElems.back().get());
      }
    }
    return element;
  }

 private:
  AcDbDwgFiler* filer_;
  int version_;
};

// ---- class --------------------------------------------------------------------------------------

AcRxClass* CaepMeshEnt::desc() { return acrxFindClass(kClassName); }
AcRxClass* CaepMeshEnt::isA() const { return desc(); }
void CaepMeshEnt::rxInit() {
  constexpr int kDrawingVersion = 23;
  constexpr int kMaintenanceVersion = 6;
  if (!acrxFindClass(kClassName))
    newAcRxClass(kClassName, "AcDbEntity", kDrawingVersion, kMaintenanceVersion, 0, dbMakeObject<CaepMeshEnt>,
                 "CAEP_MESH_ENT", "TLXARX");
}

CaepMeshEnt::CaepMeshEnt() {
  AcDbDatabase* working = acdbHostApplicationServices()->workingDatabase();
  CaepAnlControl* control = working ? dbControlOf(working) : nullptr;
  dataVersion_ = control && !control->VersionRecordId().isNull() ? kVersionCurrent : kVersionNoData;
  SetElementOrder(2);
  dbWatchModifyUndone(this);
  SetMeshEngine(4);
}

CaepMeshEnt::CaepMeshEnt(CaeTopoRef* ref) : AmgMesh(ref) {
  SetElementOrder(2);
  dbWatchModifyUndone(this);
  SetMeshEngine(4);
}

CaepMeshEnt::~CaepMeshEnt() {
  uses_.RemoveAll();
  ClearReadState();
  acReleaseKey(&bodyKey_);
}

int CaepMeshEnt::ReadNodeCount() const {
  int count = readBodyNodes_.Count() + readFreeNodes_.Count();
  for (CaeList<MeshNodeGroup>* n = groups_.FirstNode(); n->HasItem(); n = n->Next()) count += n->Item()->nodes.Count();
  return count;
}

void CaepMeshEnt::SetBodyKey(AmiObjectKey* key) {
  CAE_CHECK(key != nullptr);
  acReleaseKey(&bodyKey_);
  bodyKey_ = copyKey(key);
  BindToKey(key);
  faceKeys_.Clear();
  edgeKeys_.Clear();
  vertexKeys_.Clear();
  CaeStamp::New();
  CollectTopologyKeys(acTopoRefFromKey(key));
}

// Visits each face, edge and vertex once, even where several parents share it.
void CaepMeshEnt::CollectTopologyKeys(CaeTopoRef* ref) {
  CAE_CHECK(ref != nullptr);
  auto* topo = static_cast<AcTopoRef*>(ref);
  if (topo->Stamp().Test()) return;
  AmiObjectKey* key = topo->GetKey();
  BindToKey(key);
  if (acKeyNotNull(key)) {
    switch (topo->Kind()) {
      case CaeTopoRef::kFace: faceKeys_.Append(copyKey(key)); break;
      case CaeTopoRef::kEdge: edgeKeys_.Append(copyKey(key)); break;
      case CaeTopoRef::kVertex: vertexKeys_.Append(copyKey(key)); break;
      default: break;
    }
  }
  topo->Stamp().Set();
  if (topo->Kind() == CaeTopoRef::kVertex) return;
  int flag = 0;
  for (CaeTopoRef* child = topo->FirstChild(flag); child; child = topo->NextChild(child, flag, flag))
    CollectTopologyKeys(child);
}

// Keys bind drawing objects only: an entity not yet in a drawing is bound when it is given its keys
// there.
void CaepMeshEnt::BindToKey(AmiObjectKey* key) {
  if (!objectId().isNull()) acBindObjectToKey(key, this);
}

int CaepMeshEnt::NodeCountOnTopo(CaeTopoRef* ref) {
  int count = 0;
  for (CaeNode* node = FirstNodeOnTopo(ref); node; node = NextNodeOnTopo(ref)) ++count;
  return count;
}

// ---- filing -------------------------------------------------------------------------------------

Acad::ErrorStatus CaepMeshEnt::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer); status != Acad::eOk) return status;
  if (!dbFilerWritesFields(filer->filerType())) return filer->filerStatus();
  try {
    Record record(filer, dataVersion_);
    WriteFields(record);
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
    return Acad::eFilerError;
  }
  return filer->filerStatus();
}

void CaepMeshEnt::WriteFields(Record& record) const {
  // An engine mesh marked erased is filed only as part of an erased entity (a drawing keeps its
  // erased objects for undo, and saves them too) or in the host's undo records (regeneration
  // erases and may unerase a mesh within one command).
  CAE_CHECK(!IsMarkedAsErased() || isErased() || record.filer()->filerType() == AcDb::kUndoFiler);
  // An entity without mesh data writes its version 0 alone, as the reader expects.
  CAE_CHECK(record.filer()->writeUInt16(
                static_cast<Adesk::UInt16>(dataVersion_ == kVersionNoData ? 0 : kVersionCurrent)) == Acad::eOk);
  if (dataVersion_ == kVersionNoData) return;
  auto* self = const_cast<CaepMeshEnt*>(this);
  record.putInt16(bodyKey_ ? 1 : 0);
  if (bodyKey_) record.putKey(bodyKey_);
  record.putDouble(GetDefaultSize());
  record.putDouble(GetMinSize());
  record.putDouble(GetMaxSize());
  record.putInt16(GetElementShape());
  record.putInt16(GetEdgeShape());
  record.putInt16(GetAutoconstraints());
  record.putInt16(GetCurvatureScaling());
  record.putDouble(GetAnglePerElement());
  record.putInt16(GetMSNRefinement());
  record.putInt16(GetGeometryAssociativity());
  record.putInt16((modified_ ? kStateModified : 0) | (AmgMesh::Associated() ? 0 : kStateNotAssociated) |
                  (GetRemeshRequired() ? kStateRemeshRequired : 0));
  const int faces = faceKeys_.Count(), edges = edgeKeys_.Count(), vertices = vertexKeys_.Count();
  record.putInt32(faces);
  record.putInt32(edges);
  record.putInt32(vertices);
  std::map<long, CaeNode*> written;
  AcTopoRef* body = refOfKey(bodyKey_);
  if (body && body->Kind() == CaeTopoRef::kBody) {
    self->WriteNodesOnTopo(record, body, written);
  } else {
    record.putInt32(0);
  }
  for (int j = 0; j < faces + edges + vertices; ++j) {
    AmiObjectKey* key = j < faces           ? faceKeys_.At(j)
                        : j < faces + edges ? edgeKeys_.At(j - faces)
                                            : vertexKeys_.At(j - faces - edges);
    record.putKey(key);
    if (AcTopoRef* ref = refOfKey(key)) {
      self->WriteNodesOnTopo(record, ref, written);
    } else {
      record.putInt32(0);
    }
  }
  CaeList<CaeNode> all;
  Nodes(all);
  std::vector<CaeNode*> freeNodes;
  for (CaeNode* node : all)
    if (!written.count(node->Id())) freeNodes.push_back(node);
  record.putInt32(static_cast<long>(freeNodes.size()));
  for (CaeNode* node : freeNodes) record.writeNode(*node);
  CaeList<CaeElem> elements;
  record.putInt32(Elements(elements));
  for (CaeElem* element : elements) record.writeElement(*element);
}

// The count, then each node on the reference; the count written must match the nodes walked.
void CaepMeshEnt::WriteNodesOnTopo(Record& record, CaeTopoRef* ref, std::map<long, CaeNode*>& written) const {
  auto* self = const_cast<CaepMeshEnt*>(this);
  const int count = self->NodeCountOnTopo(ref);
  record.putInt32(count);
  int walked = 0;
  for (CaeNode* node = self->FirstNodeOnTopo(ref); node; node = self->NextNodeOnTopo(ref)) {
    record.writeNode(*node);
    written[node->Id()] = node;
    ++walked;
  }
  CAE_CHECK(walked == count);
}

Acad::ErrorStatus CaepMeshEnt::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbObject::dwgInFields(filer); status != Acad::eOk) return status;
  if (!dbFilerReadsFields(filer->filerType())) return filer->filerStatus();
  // The host's undo reads the record back into the live entity: what it read replaces the engine
  // mesh at once, since no post-load pass follows.
  const bool live = !awaitingRestore_ && (NumNodes() > 0 || NumElements() > 0);
  try {
    ClearReadState();
    Record record(filer, 0);
    ReadFields(record);
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
    ClearReadState();
    awaitingRestore_ = 0;
    return Acad::eFilerError;
  }
  if (filer->filerStatus() == Acad::eOk && live) {
    Clear();
    RestoreEngineMesh();
  }
  return filer->filerStatus();
}

void CaepMeshEnt::ClearReadState() {
  groups_.RemoveAll();
  sharedNodeElements_.RemoveAll();
  sharedNodes_.clear();
  readElements_.RemoveAll();
  readBodyNodes_.RemoveAll();
  readFreeNodes_.RemoveAll();
  faceKeys_.Clear();
  edgeKeys_.Clear();
  vertexKeys_.Clear();
}

void CaepMeshEnt::ReadFields(Record& record) {
  Adesk::UInt16 version = 0;
  CAE_CHECK(record.filer()->readUInt16(&version) == Acad::eOk);
  CAE_CHECK(version <= kVersionCurrent);
  dataVersion_ = version;
  record.setVersion(version);
  if (version == kVersionNoData) return;
  acReleaseKey(&bodyKey_);
  if (version <= kVersionNoBodyFlag || record.getInt16() != 0) bodyKey_ = record.getKey();
  SetDefaultSize(record.getDouble());
  if (version > kVersionNoBodyFlag) {
    SetMinSize(record.getDouble());
    SetMaxSize(record.getDouble());
  }
  SetElementShape(static_cast<CaeElemShape>(record.getInt16()));
  SetEdgeShape(static_cast<CaeEdgeShape>(record.getInt16()));
  SetAutoconstraints(static_cast<CaeOnOff>(record.getInt16()));
  SetCurvatureScaling(static_cast<CaeOnOff>(record.getInt16()));
  SetAnglePerElement(record.getDouble());
  SetMSNRefinement(static_cast<CaeOnOff>(record.getInt16()));
  SetGeometryAssociativity(static_cast<CaeOnOff>(record.getInt16()));
  const int state = record.getInt16();
  modified_ = (state & kStateModified) ? 1 : 0;
  associated_ = (state & kStateNotAssociated) ? 0 : 1;
  SetRemeshRequired(state & kStateRemeshRequired);
  const int faces = record.getCount(), edges = record.getCount(), vertices = record.getCount();
  CAE_CHECK(static_cast<long>(faces) + edges + vertices <= DbFields::kMaxCount);
  std::map<long, CaeNode*> table;
  auto readInto = [&](CaeList<CaeNode>& list, int count) {
    for (int i = 0; i < count; ++i) {
      CaeNode* node = record.readNode(sharedNodes_);
      list.Append(node);
      table[node->Id()] = node;
    }
  };
  readInto(readBodyNodes_, record.getCount());
  for (int j = 0; j < faces + edges + vertices; ++j) {
    AmiObjectKey* key = record.getKey();
    KeyArrayAppend(j, faces, edges, key);
    auto* group = new MeshNodeGroup(key);
    groups_.Append(group);
    readInto(group->nodes, record.getCount());
  }
  readInto(readFreeNodes_, record.getCount());
  const int elements = record.getCount();
  for (int i = 0; i < elements; ++i) {
    bool usesShared = false;
    std::unique_ptr<CaeElem> element = record.readElement(table, sharedNodes_, usesShared, pNodes_, pElems_);
    readElements_.Append(element.get());
    if (usesShared) sharedNodeElements_.Append(element.get());
    SetElementOrder(element.release()->Order());
  }
  awaitingRestore_ = 1;
}

void CaepMeshEnt::KeyArrayAppend(int j, int faces, int edges, AmiObjectKey* key) {
  if (j < faces) {
    faceKeys_.Append(key);
  } else if (j < faces + edges) {
    edgeKeys_.Append(key);
  } else {
    vertexKeys_.Append(key);
  }
}

Acad::ErrorStatus CaepMeshEnt::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, kClassName, [](DbFields&) {});
}

Acad::ErrorStatus CaepMeshEnt::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, kClassName, [](DbFields&) {});
}

// ---- restore ------------------------------------------------------------------------------------

void CaepMeshEnt::RestoreEngineMesh() {
  if (!awaitingRestore_) return;
  AcTopoRef* ref = refOfKey(bodyKey_);
  bool detached = ref == nullptr;
  if (!readFreeNodes_.IsEmpty() && !ref) detached = true;
  for (MeshNodeGroup* group : groups_) {
    if (!group->nodes.IsEmpty() && group->key && !refOfKey(group->key)) {
      detached = true;
      modified_ = 1;
      break;
    }
  }
  if (!associated_) detached = true;
  SetTopology(detached ? nullptr : ref, 1);
  if (detached && !associated_) SetTopoRef(ref);
  CAE_CHECK(Successful());
  AddNodes(detached ? nullptr : ref, readBodyNodes_);
  for (MeshNodeGroup* group : groups_) {
    if (group->nodes.IsEmpty()) continue;
    CaeTopoRef* groupRef = group->key ? refOfKey(group->key) : group->ref;
    AddNodes(detached ? nullptr : groupRef, group->nodes);
  }
  groups_.RemoveAll();
  sharedNodes_.clear();
  sharedNodeElements_.RemoveAll();
  AddNodes(readFreeNodes_);
  AddElements(detached ? nullptr : ref, readElements_);
  SetTopoRef(ref);
  // Attached, it answers per face, edge and vertex as the generated mesh did (the deck reads that).
  IndexOnShapes();
  SetAssociated(associated_);
  awaitingRestore_ = 0;
  if (modified_) AmgMesh::UponTopoRefModify();
  // Read back with its nodes and elements on the geometry it was made on, it is the generated
  // mesh: a solve uses it as it is. Only a mesh without them waits to be made when next needed.
  if (!detached && !modified_ && NumNodes() > 0 && NumElements() > 0) SetGenerated(1);
  if (!Generated()) SetDeferred(1);
  // Entity properties are not filed: a reopened mesh goes back on its layer.
  if (database() && isWriteEnabled()) {
    AcDbObjectId layer;
    acGetLayer(acCaeLayerName(kCaeLayerMesh), layer);
    if (!layer.isNull()) setLayer(layer, true);
  }
}

// ---- drawing ------------------------------------------------------------------------------------

namespace {
constexpr Adesk::Int32 kLinearFaces[] = {3, 0, 1, 2};
constexpr Adesk::Int32 kQuadraticFaces[] = {3, 5, 0, 3, 3, 3, 1, 4, 3, 4, 2, 5, 3, 3, 4, 5};
constexpr short kEdgeColors[12] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
constexpr Adesk::UInt8 kLinearVisibility[] = {1, 1, 1};
constexpr Adesk::UInt8 kQuadraticVisibility[] = {1, 1, 0, 1, 1, 0, 1, 1, 0, 0, 0, 0};
constexpr short kFaceColors[4] = {0, 0, 0, 0};
}  // namespace

bool MeshFaceShell::Draw(AcGiWorldDraw* mode, const CaeElemRef& face) {
  const int count = face.NumNodes();
  if (count != 3 && count != 6) return false;
  for (int k = 0; k < count; ++k) {
    const CaeVector& p = face.Node(k)->Coordinate();
    points_[k] = AcGePoint3d(p[0], p[1], p[2]);
  }
  AcGiEdgeData edges;
  edges.setColors(kEdgeColors);
  edges.setVisibility(count == 3 ? kLinearVisibility : kQuadraticVisibility);
  AcGiFaceData faces;
  faces.setColors(kFaceColors);
  if (count == 3) {
    mode->geometry().shell(3, points_, 4, kLinearFaces, &edges, &faces);
  } else {
    mode->geometry().shell(6, points_, 16, kQuadraticFaces, &edges, &faces);
  }
  return true;
}

bool CaepMeshEnt::Drawable() {
  if (dataVersion_ == kVersionNoData || awaitingRestore_ || !IsActive()) return false;
  if (CadInterface* cad = CadInterface::GetCurrent()) {
    SymbolVisibility flags;
    if (cad->GetSymbolVisibility(flags) && !flags.mesh) return false;
  }
  if (auto* ref = dynamic_cast<AcTopoRef*>(GetTopoRef()); ref && !ref->IsVisible()) return false;
  CaeList<CaeElem> elements;
  Elements(elements);
  int order = -1;
  for (CaeElem* element : elements) {
    if (order != -1 && element->Order() != order) return false;
    order = element->Order();
  }
  return true;
}

// With results shown in the drawing, the results image is brought up to date first; without a
// results state there is nothing to refresh.
void CaepMeshEnt::RefreshResultsImage() {
  CadInterface* cad = CadInterface::GetCurrent();
  SymbolVisibility flags;
  if (!cad || !cad->GetSymbolVisibility(flags) || !flags.results) return;
  FerState* state = FerState::GetState();
  if (!state) return;
  CadTransactionScope transaction(*cad);
  transaction.Start();
  state->UpdateImage();
  transaction.Commit();
}

Adesk::Boolean CaepMeshEnt::worldDraw(AcGiWorldDraw* mode) {
  try {
    if (!Drawable()) return true;
    RefreshResultsImage();
    MeshFaceShell shell;
    CaeList<CaeElem> elements;
    Elements(elements);
    const bool everyFace = mode->regenType() == AcGi::kAcGiStandardDisplay;
    for (CaeElem* element : elements) {
      if (!everyFace && element->Type() == CaeElemSolid) continue;
      for (int f = 0; f < element->NumFaces(); ++f) shell.Draw(mode, CaeElemRef(element, f));
    }
    if (!everyFace) {
      CaePrimaryList<CaeElemRef> exterior;
      ExteriorElemRefs(exterior, 4, 4);
      for (CaeElemRef* face : exterior) shell.Draw(mode, *face);
    }
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
    return false;
  }
  return true;
}

// ---- engine notifications and erase -------------------------------------------------------------

void CaepMeshEnt::UponTopoRefModify() {
  modified_ = 1;
  AmgMesh::UponTopoRefModify();
  if (isWriteEnabled()) recordGraphicsModified(true);
}

void CaepMeshEnt::UponTopoRefErase() {
  AmgMesh::UponTopoRefErase();
  topologyLost_ = 1;
}

CaepAnlSubModelObj* CaepMeshEnt::FindSubModel() {
  AcDbDatabase* db = database();
  CaepAnlControl* control = dbControlOf(db);
  if (!control || objectId().isNull()) return nullptr;
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
    auto* stored = dynamic_cast<CaepAnlModelObj*>(model);
    if (!stored) continue;
    for (AcDbObjectId id : stored->SubModelIds()) {
      auto* sub = CaepAnlSubModelObj::cast(dbOpenMember(db, id, AcDb::kForWrite, true));
      if (sub && sub->MeshId() == objectId()) return sub;
    }
  }
  return nullptr;
}

Acad::ErrorStatus CaepMeshEnt::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  erasing ? MarkAsErased() : MarkAsNotErased();
  topologyLost_ = 0;
  if (acKeyNotNull(bodyKey_)) acNotifyKeyErased(bodyKey_, erasing);
  for (const MeshKeyArray* keys : {&faceKeys_, &edgeKeys_, &vertexKeys_})
    for (int i = 0; i < keys->Count(); ++i) acNotifyKeyErased(keys->At(i), erasing);
  // Undo brings the sub-model back by its own record.
  if (isUndoing() || !database()) return Acad::eOk;
  try {
    DbTransaction transaction(database());
    CaepAnlSubModelObj* sub = FindSubModel();
    if (erasing) EraseMeshUses();
    if (sub && erasing && !sub->isErased()) {
      sub->SetErasedWithMesh();
      sub->erase();
    } else if (sub && !erasing && sub->isErased() && sub->ErasedWithMesh()) {
      sub->Unerase();
    }
    UpdateGuideStep(erasing);
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  }
  return Acad::eOk;
}

// The guide's analyze step is done while the current model has a live sub-model.
void CaepMeshEnt::UpdateGuideStep(bool erasing) {
  constexpr int kGuideStepAnalyze = 6;
  bool done = !erasing;
  if (erasing)
    if (CaepAnlControl* control = dbControlOf(database()))
      if (auto* model = dynamic_cast<CaepAnlModelObj*>(control->CurrentAnlModel()))
        done = model->NumLiveSubModels() > 0;
  UISetWizardTabState(kGuideStepAnalyze, done ? 1 : 0);
}

// ---- mesh uses ----------------------------------------------------------------------------------

AmgMeshUse* CaepMeshEnt::NewMeshUse(CaeAttrib* user) {
  CAE_CHECK(user != nullptr && database() != nullptr);
  auto* ref = dynamic_cast<AcTopoRef*>(user->GetTopoRef());
  auto* use = new CaepMeshUse(ref, this);
  AcDbObjectId id;
  acPostToModelSpace(use, id, 0);
  CAE_CHECK(!id.isNull());
  AddMeshUse(use);
  if (ref) {
    ref->AddAttribute(use);
    if (acKeyNotNull(ref->GetKey())) acBindObjectToKey(ref->GetKey(), use);
  }
  CAE_CHECK(use->close() == Acad::eOk);
  return use;
}

void CaepMeshEnt::AddMeshUse(AmgMeshUse* use) {
  AmgMesh::AddMeshUse(use);
  if (auto* entity = dynamic_cast<AcDbObject*>(use); entity && !entity->objectId().isNull())
    if (std::find(meshUseIds_.begin(), meshUseIds_.end(), entity->objectId()) == meshUseIds_.end())
      meshUseIds_.push_back(entity->objectId());
}

// Each live use goes with the mesh, marked so that unerasing the mesh brings back exactly those.
void CaepMeshEnt::EraseMeshUses() {
  for (AcDbObjectId id : meshUseIds_) {
    auto* use = CaepMeshUse::cast(dbOpenMember(database(), id, AcDb::kForWrite));
    if (!use || use->isErased() || use->IsMarkedAsErased()) continue;
    use->MarkAsErased();
    use->SetErasedWithMesh(true);
    CAE_CHECK(use->erase() == Acad::eOk);
  }
}

// ---- calls from the sub-model -------------------------------------------------------------------

AmgMesh* dbNewMeshEntity(CaeTopoRef* body) { return new CaepMeshEnt(body); }

bool dbMeshIsEngineCopy(AcDbObject* mesh) {
  auto* entity = CaepMeshEnt::cast(mesh);
  return entity && entity->CopyMark();
}

void dbRestoreEngineMesh(AcDbObject* mesh) {
  if (auto* entity = CaepMeshEnt::cast(mesh)) entity->RestoreEngineMesh();
}

bool dbMeshRestoreWrites(AcDbObject* mesh, std::optional<double> shellThickness) {
  auto* entity = CaepMeshEnt::cast(mesh);
  return entity && (entity->AwaitingRestore() || (shellThickness && entity->ShellThickness() != *shellThickness));
}

void dbSetShellThickness(AcDbObject* mesh, double thickness) {
  if (auto* entity = CaepMeshEnt::cast(mesh)) entity->SetShellThickness(thickness);
}
