#include "fea/AmgMesh.h"

#include <algorithm>
#include <array>
#include <map>

#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "fea/FeaMessages.h"

CAE_DEFINE_TYPE_INFO(AmgMesh, CaeAttrib)
CAE_DEFINE_TYPE_INFO(AmgMeshUse, CaeAttrib)
CAE_DEFINE_TYPE_INFO(AmgConstraint, CaeAttrib)

namespace {

// Unlinks the first item without deleting it, whatever kind of list hands it over.
template <class T>
T* TakeFirst(CaeList<T>& list) {
  CaeList<T>* node = list.FirstNode();
  T* item = node->Item();
  node->RemoveNode();
  return item;
}

}  // namespace

AmgMesh::AmgMesh() = default;

AmgMesh::AmgMesh(CaeTopoRef* ref) : CaeAttrib(ref) {}

AmgMesh::~AmgMesh() {
  uses_.RemoveAll();
  // Elements refer to nodes: they go first.
  elements_.clear();
  nodes_.clear();
}

void AmgMesh::SetControlValues(const AmgMesh& other) {
  defaultSize_ = other.defaultSize_;
  minSize_ = other.minSize_;
  maxSize_ = other.maxSize_;
  anglePerElement_ = other.anglePerElement_;
  elementShape_ = other.elementShape_;
  edgeShape_ = other.edgeShape_;
  autoconstraints_ = other.autoconstraints_;
  curvatureScaling_ = other.curvatureScaling_;
  msnRefinement_ = other.msnRefinement_;
  geometryAssociativity_ = other.geometryAssociativity_;
  pElements_ = other.pElements_;
  elementOrder_ = other.elementOrder_;
  meshEngine_ = other.meshEngine_;
}

void AmgMesh::SetTopology(CaeTopoRef* ref, int) {
  SetTopoRef(ref);
  if (ref) ref->AddAttribute(this);
  successful_ = 1;
}

void AmgMesh::Record(CaeTopoRef* ref, bool isNode, void* item) {
  if (ref) onTopo_.push_back({ref, isNode, item});
}

void AmgMesh::AddNodes(CaeList<CaeNode>& nodes) { AddNodes(nullptr, nodes); }

void AmgMesh::AddNodes(CaeTopoRef* ref, CaeList<CaeNode>& nodes) {
  while (!nodes.IsEmpty()) {
    CaeNode* node = TakeFirst(nodes);
    nodes_.emplace_back(node);
    Record(ref, true, node);
  }
}

void AmgMesh::AddElements(CaeList<CaeElem>& elements) { AddElements(nullptr, elements); }

void AmgMesh::AddElements(CaeTopoRef* ref, CaeList<CaeElem>& elements) {
  while (!elements.IsEmpty()) {
    CaeElem* element = TakeFirst(elements);
    elements_.emplace_back(element);
    Record(ref, false, element);
  }
}

int AmgMesh::Nodes(CaeList<CaeNode>& list) const {
  for (const auto& node : nodes_) list.Append(node.get());
  return NumNodes();
}

int AmgMesh::Elements(CaeList<CaeElem>& list) const {
  for (const auto& element : elements_) list.Append(element.get());
  return NumElements();
}

void* AmgMesh::FirstOnTopo(CaeTopoRef* ref, bool isNode) {
  topoCursor_ = 0;
  return NextOnTopo(ref, isNode);
}

void* AmgMesh::NextOnTopo(CaeTopoRef* ref, bool isNode) {
  while (topoCursor_ < onTopo_.size()) {
    const OnTopo& entry = onTopo_[topoCursor_++];
    if (entry.ref == ref && entry.isNode == isNode) return entry.item;
  }
  return nullptr;
}

CaeNode* AmgMesh::FirstNodeOnTopo(CaeTopoRef* ref) { return static_cast<CaeNode*>(FirstOnTopo(ref, true)); }

CaeNode* AmgMesh::NextNodeOnTopo(CaeTopoRef* ref) { return static_cast<CaeNode*>(NextOnTopo(ref, true)); }

int AmgMesh::NodesOnTopo(CaeTopoRef* ref, CaeList<CaeNode>& list, int) const {
  int count = 0;
  for (const OnTopo& entry : onTopo_) {
    if (entry.ref == ref && entry.isNode) {
      list.Append(static_cast<CaeNode*>(entry.item));
      ++count;
    }
  }
  return count;
}

CaeElem* AmgMesh::FirstElementOnTopo(CaeTopoRef* ref) { return static_cast<CaeElem*>(FirstOnTopo(ref, false)); }

CaeElem* AmgMesh::NextElementOnTopo(CaeTopoRef* ref) { return static_cast<CaeElem*>(NextOnTopo(ref, false)); }

int AmgMesh::ExteriorElemRefs(CaePrimaryList<CaeElemRef>& list, int, int) const {
  // A face is exterior when no other solid element has the same three corners.
  using Key = std::array<const CaeNode*, 3>;
  std::map<Key, int> uses;
  auto keyOf = [](const CaeElem& e, int face) {
    Key key{e.FaceNode(face, 0), e.FaceNode(face, 1), e.FaceNode(face, 2)};
    std::sort(key.begin(), key.end());
    return key;
  };
  for (const auto& e : elements_)
    if (e->Type() == CaeElemSolid)
      for (int f = 0; f < e->NumFaces(); ++f) ++uses[keyOf(*e, f)];
  int count = 0;
  for (const auto& e : elements_) {
    if (e->Type() != CaeElemSolid) continue;
    for (int f = 0; f < e->NumFaces(); ++f) {
      if (uses[keyOf(*e, f)] == 1) {
        list.Append(new CaeElemRef(e.get(), f));
        ++count;
      }
    }
  }
  return count;
}

void AmgMesh::Clear() {
  onTopo_.clear();
  elements_.clear();
  nodes_.clear();
  generated_ = 0;
}

void AmgMesh::Create(const AmgMesh& other, int) {
  Clear();
  SetControlValues(other);
  associated_ = other.associated_;
  std::map<const CaeNode*, CaeNode*> copies;
  for (const auto& node : other.nodes_) {
    auto copy = std::make_unique<CaeNode>(node->Coordinate(), node->Id());
    copy->Location(node->Location());
    copies[node.get()] = copy.get();
    nodes_.push_back(std::move(copy));
  }
  for (const auto& element : other.elements_) {
    CaeNode* nodes[CaeElem::kMaxNodes];
    for (int i = 0; i < element->NumNodes(); ++i) nodes[i] = copies[element->Node(i)];
    elements_.emplace_back(CaeElem::Create(nodes, element->NumNodes(), element->Type(), element->Shape(),
                                           element->Order(), element->Id()));
  }
  generated_ = other.generated_;
  successful_ = other.successful_;
}

int AmgMesh::Update(int) {
  FeaReportNotAvailable("Mesh update");
  return 0;
}

void AmgMesh::UponTopoRefDelete() {
  CaeAttrib::UponTopoRefDelete();
  onTopo_.clear();
}

int AmgMesh::MeshIt() {
  successful_ = 0;
  FeaReportNotAvailable("Mesh generation");
  return 0;
}

void AmgMesh::UponTopoRefModify() { needsUpdate_ = 1; }

void AmgMesh::UponTopoRefErase() { CaeAttrib::UponTopoRefErase(); }

void AmgMesh::CopyTopology(const AmgMesh& other) { SetTopoRef(other.GetTopoRef()); }

AmgMesh* AmgMesh::CreateCopy() const {
  auto* copy = new AmgMesh(GetTopoRef());
  copy->SetControlValues(*this);
  return copy;
}

AmgMeshUse* AmgMesh::NewMeshUse(CaeAttrib* user) {
  AmgMeshUse factory;
  ownedUses_.emplace_back(factory.Create(user));
  AmgMeshUse* use = ownedUses_.back().get();
  AddMeshUse(use);
  return use;
}

void AmgMesh::AddMeshUse(AmgMeshUse* use) {
  CAE_CHECK(use);
  if (!uses_.Head().Find(use)->HasItem()) uses_.Append(use);
  use->SetMesh(this);
}

void AmgMesh::DeleteMeshUse(AmgMeshUse* use) {
  CAE_CHECK(use);
  use->Erase();
}

int AmgMesh::NumMeshUses() {
  int count = 0;
  for (AmgMeshUse* use : uses_.Head())
    if (!use->IsMarkedAsErased()) ++count;
  return count;
}

AmgMeshUse* AmgMesh::GetMeshUse(int index) {
  int i = 0;
  for (AmgMeshUse* use : uses_.Head()) {
    if (use->IsMarkedAsErased()) continue;
    if (i++ == index) return use;
  }
  return nullptr;
}

AmgMeshUse* AmgMesh::FirstMeshUse() {
  AmgMeshUse* use = uses_.First();
  while (use && use->IsMarkedAsErased()) use = uses_.NextAfter(nullptr);
  return use;
}

AmgMeshUse* AmgMesh::NextMeshUse() {
  if (!uses_.Current()) return nullptr;
  AmgMeshUse* use = uses_.NextAfter(nullptr);
  while (use && use->IsMarkedAsErased()) use = uses_.NextAfter(nullptr);
  return use;
}

AmgMeshUse* AmgMeshUse::Create(CaeAttrib* user) {
  return new AmgMeshUse(user ? user->GetTopoRef() : nullptr);
}
