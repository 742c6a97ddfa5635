#include "fea/AmgMesh.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopoDS_Shape.hxx>
#include <cmath>

#include "AmgMeshItems.h"
#include "GmshMesher.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
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

AmgShapeSource* g_shapeSource = nullptr;

CaeString Number(double value) { return CaeString::Format("%g", value); }

}  // namespace

AmgShapeSource* AmgShapeSource::SetCurrent(AmgShapeSource* source) {
  AmgShapeSource* previous = g_shapeSource;
  g_shapeSource = source;
  return previous;
}

AmgShapeSource* AmgShapeSource::GetCurrent() { return g_shapeSource; }

AmgMesh::AmgMesh() = default;

AmgMesh::AmgMesh(CaeTopoRef* ref) : CaeAttrib(ref) {}

AmgMesh::AmgMesh(CaeTopoRef* ref, int) : CaeAttrib(ref) {}

AmgMesh::~AmgMesh() {
  uses_.RemoveAll();
  shapeItems_.reset();
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
  elementType_ = other.elementType_;
}

void AmgMesh::SetShape(const TopoDS_Shape& shape) { shape_ = std::make_unique<TopoDS_Shape>(shape); }

bool AmgMesh::HasShape() const { return shape_ && !shape_->IsNull(); }

void AmgMesh::SetFirstIds(long node, long element) {
  firstNodeId_ = node;
  firstElementId_ = element;
}

void AmgMesh::AddLocalSize(int kind, int index, double size) {
  if (size > 0 && kind >= 0 && kind <= 2) localSizes_.push_back({kind, index, size, CaeVector()});
}

void AmgMesh::AddPointSize(const CaeVector& point, double size) {
  if (size > 0) localSizes_.push_back({-1, 0, size, point});
}

int AmgMesh::AddConstraint(const AmgConstraint& constraint) {
  if (constraint.IsMarkedAsErased() || !(constraint.Size() > 0)) return 0;
  int kind = 0, index = 0;
  if (constraint.Type() == AmgConstrSpread && LocateRef(constraint.GetTopoRef(), kind, index)) {
    AddLocalSize(kind, index, constraint.Size());
    return 1;
  }
  AddPointSize(constraint.Location(), constraint.Size());
  return 1;
}

void AmgMesh::ClearLocalSizes() {
  localSizes_.clear();
  sizeField_.clear();
}

void AmgMesh::CopyLocalSizes(const AmgMesh& other) {
  localSizes_ = other.localSizes_;
  sizeField_ = other.sizeField_;
}

void AmgMesh::SetSizeField(std::vector<SizeTet> tets) { sizeField_ = std::move(tets); }

bool AmgMesh::LocateRef(CaeTopoRef* ref, int& kind, int& index) const {
  AmgShapeSource* source = AmgShapeSource::GetCurrent();
  return ref && source && source->Locate(ref, kind, index);
}

int AmgMesh::NodesOnShape(int kind, int index, std::vector<CaeNode*>& nodes) const {
  if (!shapeItems_) return 0;
  auto found = shapeItems_->nodes.find({kind, index});
  if (found == shapeItems_->nodes.end()) return 0;
  nodes.insert(nodes.end(), found->second.begin(), found->second.end());
  return static_cast<int>(found->second.size());
}

int AmgMesh::ElemFacesOnFace(int index, std::vector<CaeElemRef>& faces) const {
  if (!shapeItems_) return 0;
  auto found = shapeItems_->faces.find(index);
  if (found == shapeItems_->faces.end()) return 0;
  for (const auto& [element, face] : found->second) faces.emplace_back(element, face);
  return static_cast<int>(found->second.size());
}

int AmgMesh::SegmentsOnEdge(int index, std::vector<std::vector<CaeNode*>>& segments) const {
  if (!shapeItems_) return 0;
  auto found = shapeItems_->segments.find(index);
  if (found == shapeItems_->segments.end()) return 0;
  segments.insert(segments.end(), found->second.begin(), found->second.end());
  return static_cast<int>(found->second.size());
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

// The walk lists what the generator put on the reference (each node on the topology it lies on,
// its closure excluded; the elements touching a face or edge, all elements on the body), then
// what was recorded on it by AddNodes and AddElements.
void* AmgMesh::FirstOnTopo(CaeTopoRef* ref, bool isNode) {
  topoWalk_.clear();
  topoCursor_ = 0;
  if (ref && shapeItems_) CollectGenerated(ref, isNode, topoWalk_);
  for (const OnTopo& entry : onTopo_)
    if (entry.ref == ref && entry.isNode == isNode) topoWalk_.push_back(entry.item);
  return NextOnTopo(ref, isNode);
}

void* AmgMesh::NextOnTopo(CaeTopoRef*, bool) {
  return topoCursor_ < topoWalk_.size() ? topoWalk_[topoCursor_++] : nullptr;
}

void AmgMesh::CollectGenerated(CaeTopoRef* ref, bool isNode, std::vector<void*>& items) const {
  if (ref->Kind() == CaeTopoRef::kBody) {
    if (ref != GetTopoRef()) return;
    if (isNode) {
      for (const auto& node : nodes_)
        if (node->Location() == CaeTopoRef::kBody) items.push_back(node.get());
    } else {
      for (const auto& element : elements_) items.push_back(element.get());
    }
    return;
  }
  int kind = 0, index = 0;
  if (!LocateRef(ref, kind, index)) return;
  std::vector<CaeNode*> nodes;
  NodesOnShape(kind, index, nodes);
  if (isNode) {
    for (CaeNode* node : nodes)
      if (node->Location() == kind) items.push_back(node);
    return;
  }
  std::set<const CaeNode*> onShape(nodes.begin(), nodes.end());
  for (const auto& element : elements_)
    for (int i = 0; i < element->NumNodes(); ++i)
      if (onShape.count(element->Node(i))) {
        items.push_back(element.get());
        break;
      }
}

CaeNode* AmgMesh::FirstNodeOnTopo(CaeTopoRef* ref) { return static_cast<CaeNode*>(FirstOnTopo(ref, true)); }

CaeNode* AmgMesh::NextNodeOnTopo(CaeTopoRef* ref) { return static_cast<CaeNode*>(NextOnTopo(ref, true)); }

int AmgMesh::NodesOnTopo(CaeTopoRef* ref, CaeList<CaeNode>& list, int) const {
  int count = 0;
  int kind = 0, index = 0;
  if (shapeItems_ && LocateRef(ref, kind, index)) {
    std::vector<CaeNode*> nodes;
    NodesOnShape(kind, index, nodes);
    for (CaeNode* node : nodes) list.Append(node);
    count = static_cast<int>(nodes.size());
  }
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
  shapeItems_.reset();
  onTopo_.clear();
  elements_.clear();
  nodes_.clear();
  generated_ = 0;
}

void AmgMesh::Create(const AmgMesh& other, int) {
  Clear();
  SetTopoRef(other.GetTopoRef());
  SetControlValues(other);
  CopyLocalSizes(other);
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
  const int ok = MeshIt();
  if (ok) needsUpdate_ = 0;
  return ok;
}

void AmgMesh::UponTopoRefDelete() {
  CaeAttrib::UponTopoRefDelete();
  onTopo_.clear();
}

void AmgMesh::Fail(AmgMeshError code, const std::string& text, const CaeVector& location) {
  successful_ = 0;
  errorCode_ = code;
  errorText_ = CaeString(text);
  errorLocation_ = location;
  CaeMsgCall::Message(1, kFeaMsgMeshFailed,
                      {Number(location.X()), Number(location.Y()), Number(location.Z()), CaeString(text)});
}

namespace {

fea_detail::MeshSettings SettingsOf(const AmgMesh& mesh) {
  fea_detail::MeshSettings settings;
  settings.defaultSize = mesh.GetDefaultSize();
  settings.minSize = mesh.GetMinSize();
  settings.maxSize = mesh.GetMaxSize();
  settings.order = mesh.GetElementOrder() == 1 ? 1 : 2;
  settings.shell = mesh.GetElementType() != CaeElemSolid;
  if (mesh.GetCurvatureScaling() == CaeOn) settings.anglePerElement = mesh.GetAnglePerElement();
  static const CaeUnitSystem si;
  settings.metresPerUnit = CaeUnit::Convert(CaeUtLength, 1.0, nullptr, &si);
  return settings;
}

}  // namespace

bool AmgMesh::BodyShape(TopoDS_Shape& shape) const {
  if (HasShape()) {
    shape = *shape_;
  } else if (AmgShapeSource* source = AmgShapeSource::GetCurrent()) {
    if (GetTopoRef()) source->BodyShape(GetTopoRef(), shape);
  }
  return !shape.IsNull();
}

bool AmgMesh::EstimateShape(TopoDS_Shape& shape) const {
  if (HasShape()) {
    shape = *shape_;
    return !shape.IsNull();
  }
  AmgShapeSource* source = AmgShapeSource::GetCurrent();
  CaeTopoRef* ref = GetTopoRef();
  if (!source || !ref) return false;
  CaeTopoRef* body = ref->Kind() == CaeTopoRef::kBody ? ref : ref->Body();
  return body && source->BodyShape(body, shape) && !shape.IsNull();
}

namespace {

constexpr double kDefaultPerExtent = 0.1;  // the mesher's own default: a tenth of the largest extent
constexpr double kSmallestPerDefault = 0.1;
constexpr double kLargestPerDefault = 5.0;

double LargestExtent(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box);
  if (box.IsVoid()) return 0.0;
  double x0, y0, z0, x1, y1, z1;
  box.Get(x0, y0, z0, x1, y1, z1);
  return std::max({x1 - x0, y1 - y0, z1 - z0});
}

}  // namespace

int AmgMesh::EstimateSize(double& defaultSize, double& minSize, double& maxSize) const {
  defaultSize = minSize = maxSize = 0.0;
  TopoDS_Shape shape;
  if (!EstimateShape(shape)) return 0;
  const double extent = LargestExtent(shape);
  if (!(extent > 0.0) || !std::isfinite(extent)) return 0;
  defaultSize = kDefaultPerExtent * extent;
  minSize = kSmallestPerDefault * defaultSize;
  maxSize = kLargestPerDefault * defaultSize;
  return 1;
}

double AmgMesh::EstimateElementCount(double size) const {
  TopoDS_Shape shape;
  if (!(size > 0.0) || !EstimateShape(shape)) return 0.0;
  GProp_GProps props;
  if (elementType_ == CaeElemSolid) {
    BRepGProp::VolumeProperties(shape, props);
    const double tetrahedron = size * size * size / (6.0 * std::sqrt(2.0));
    return std::fabs(props.Mass()) / tetrahedron;
  }
  BRepGProp::SurfaceProperties(shape, props);
  const double triangle = std::sqrt(3.0) / 4.0 * size * size;
  return std::fabs(props.Mass()) / triangle;
}

bool AmgMesh::Generate(fea_detail::MeshOutcome& outcome) {
  TopoDS_Shape shape;
  if (!BodyShape(shape)) {
    Fail(AmgMeshNoGeometry, "the body has no geometry", CaeVector());
    return false;
  }
  // The size the mesher would take; a count beyond what a mesh may hold is refused before it runs.
  double size = defaultSize_ > 0.0 ? defaultSize_ : kDefaultPerExtent * LargestExtent(shape);
  if (maxSize_ > 0.0) size = std::min(size, maxSize_);
  if (const double count = EstimateElementCount(size); count > kMostElements) {
    Fail(AmgMeshTooFine,
         (CaeString::Format("an element size of %g gives about %.3g elements, more than the %.3g a mesh may hold; "
                            "choose a larger size",
                            size, count, kMostElements))
             .Text(),
         CaeVector());
    return false;
  }
  fea_detail::MeshSettings settings = SettingsOf(*this);
  for (const LocalSize& local : localSizes_)
    settings.localSizes.push_back(
        {local.kind, local.index, local.size, {local.point[0], local.point[1], local.point[2]}});
  for (const SizeTet& tet : sizeField_) {
    std::array<double, 16>& data = settings.sizeField.emplace_back();
    for (int corner = 0; corner < 4; ++corner) {
      for (int axis = 0; axis < 3; ++axis) data[axis * 4 + corner] = tet.corners[corner][axis];
      data[12 + corner] = tet.sizes[corner];
    }
  }
  outcome = fea_detail::MeshShape(shape, settings);
  if (!outcome.ok) {
    const auto& at = outcome.errorLocation;
    Fail(AmgMeshFailed, outcome.error, CaeVector(at[0], at[1], at[2]));
    return false;
  }
  return true;
}

int AmgMesh::MeshIt() {
  fea_detail::MeshOutcome outcome;
  if (!Generate(outcome)) return 0;
  return Adopt(outcome);
}

int AmgMesh::PrepareMesh() {
  prepared_.reset();
  auto outcome = std::make_unique<fea_detail::MeshOutcome>();
  if (!Generate(*outcome)) return 0;
  prepared_ = std::move(outcome);
  return 1;
}

int AmgMesh::CommitPrepared() {
  if (!prepared_) return 0;
  const std::unique_ptr<fea_detail::MeshOutcome> outcome = std::move(prepared_);
  return Adopt(*outcome);
}

void AmgMesh::DiscardPrepared() { prepared_.reset(); }

std::string AmgMesh::JoinRefusal(const std::vector<AmgMesh*>& meshes) {
  const AmgMesh& first = *meshes.front();
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const AmgMesh& m = *meshes[i];
    const std::string which = "mesh " + std::to_string(i + 1) + " of " + std::to_string(meshes.size());
    if (!m.localSizes_.empty())
      return which + " has local sizes, which joined meshing cannot honour; mesh the parts apart or remove them.";
    if (!m.sizeField_.empty()) return which + " has a size field (adaptive sizes), which joined meshing cannot honour.";
    if (m.elementType_ != CaeElemSolid) return which + " asks for shell elements; joined meshing makes solids only.";
    if (m.defaultSize_ != first.defaultSize_ || m.minSize_ != first.minSize_ || m.maxSize_ != first.maxSize_ ||
        m.elementOrder_ != first.elementOrder_ || m.curvatureScaling_ != first.curvatureScaling_ ||
        m.anglePerElement_ != first.anglePerElement_)
      return which +
             " has element sizes or an element order of its own; joined meshes take one set of sizes, so give "
             "every mesh the first one's.";
  }
  return {};
}

int AmgMesh::MeshJoined(const std::vector<AmgMesh*>& meshes) {
  CAE_CHECK(meshes.size() >= 2);
  std::vector<TopoDS_Shape> shapes;
  for (AmgMesh* mesh : meshes) {
    CAE_CHECK(mesh);
    TopoDS_Shape shape;
    if (mesh->HasShape())
      shape = *mesh->shape_;
    else if (AmgShapeSource* source = AmgShapeSource::GetCurrent(); source && mesh->GetTopoRef())
      source->BodyShape(mesh->GetTopoRef(), shape);
    shapes.push_back(shape);
  }
  if (const std::string refused = JoinRefusal(meshes); !refused.empty()) {
    for (AmgMesh* mesh : meshes) {
      mesh->successful_ = 0;
      mesh->errorCode_ = AmgMeshFailed;
      mesh->errorText_ = CaeString(refused);
    }
    CaeMsgCall::Message(1, kFeaMsgCannotJoinMeshes, {CaeString(refused)});
    return 0;
  }
  fea_detail::MeshSettings settings = SettingsOf(*meshes.front());
  const std::vector<fea_detail::MeshOutcome> outcomes = fea_detail::MeshShapesJoined(shapes, settings);
  if (!outcomes.front().ok) {
    for (AmgMesh* mesh : meshes) mesh->Fail(AmgMeshFailed, outcomes.front().error, CaeVector());
    return 0;
  }
  long element = meshes.front()->firstElementId_;
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    AmgMesh& mesh = *meshes[i];
    mesh.elementType_ = CaeElemSolid;
    mesh.firstNodeId_ = meshes.front()->firstNodeId_;
    mesh.firstElementId_ = element;
    if (!mesh.Adopt(outcomes[i])) return 0;
    element += mesh.NumElements();
  }
  return 1;
}

int AmgMesh::Adopt(const fea_detail::MeshOutcome& outcome) {
  const bool shell = elementType_ != CaeElemSolid;
  const CaeElemOrder order =
      (outcome.nodesPerElement == 10 || outcome.nodesPerElement == 6) ? CaeElemQuadratic : CaeElemLinear;
  std::vector<std::unique_ptr<CaeNode>> nodes;
  nodes.reserve(outcome.nodes.size());
  for (std::size_t i = 0; i < outcome.nodes.size(); ++i) {
    const auto& p = outcome.nodes[i];
    const long number = outcome.nodeNumbers.empty() ? static_cast<long>(i) : outcome.nodeNumbers[i] - 1;
    nodes.push_back(std::make_unique<CaeNode>(CaeVector(p[0], p[1], p[2]), firstNodeId_ + number));
    nodes.back()->Location(shell ? CaeTopoRef::kFace : CaeTopoRef::kBody);
  }
  std::vector<std::unique_ptr<CaeElem>> elements;
  elements.reserve(outcome.NumElements());
  const int n = outcome.nodesPerElement;
  for (int e = 0; e < outcome.NumElements(); ++e) {
    CaeNode* corners[CaeElem::kMaxNodes];
    for (int k = 0; k < n; ++k) corners[k] = nodes[outcome.connectivity[e * n + k]].get();
    CaeElem* element =
        CaeElem::Create(corners, n, shell ? CaeElemShell : CaeElemSolid, CaeShapeTri, order, firstElementId_ + e);
    if (!element) {
      Fail(AmgMeshBadElements, "the mesher's elements do not fit the element kind", CaeVector());
      return 0;
    }
    elements.emplace_back(element);
  }
  auto items = std::make_unique<ShapeItems>();
  for (const auto& [key, list] : outcome.nodesOnShape) {
    auto& out = items->nodes[key];
    for (int i : list) {
      out.push_back(nodes[i].get());
      if (key.first < nodes[i]->Location()) nodes[i]->Location(key.first);
    }
  }
  for (const auto& [face, list] : outcome.facesOnFace)
    for (const auto& ef : list) items->faces[face].emplace_back(elements[ef.element].get(), ef.face);
  for (const auto& [edge, list] : outcome.segmentsOnEdge)
    for (const auto& segment : list) {
      std::vector<CaeNode*> out;
      for (int i : segment) out.push_back(nodes[i].get());
      items->segments[edge].push_back(std::move(out));
    }
  items->Canonicalise();
  SortNodesById(nodes);
  Clear();
  nodes_ = std::move(nodes);
  elements_ = std::move(elements);
  shapeItems_ = std::move(items);
  generated_ = 1;
  successful_ = 1;
  needsUpdate_ = 0;
  errorCode_ = AmgMeshOk;
  errorText_ = CaeString();
  errorLocation_ = CaeVector();
  return 1;
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

AmgMeshUse* AmgMeshUse::Create(CaeAttrib* user) { return new AmgMeshUse(user ? user->GetTopoRef() : nullptr); }

void AmgMesh::SetMaterialGroups(std::vector<double> scales, std::unordered_map<long, int> groups) {
  const bool valid = std::all_of(scales.begin(), scales.end(), [](double s) { return std::isfinite(s) && s > 0; });
  groupScales_ = valid ? std::move(scales) : std::vector<double>();
  elementGroups_ = valid ? std::move(groups) : std::unordered_map<long, int>();
}

int AmgMesh::MaterialGroup(long element) const {
  const auto found = elementGroups_.find(element);
  const int group = found == elementGroups_.end() ? 0 : found->second;
  return group >= 0 && group < static_cast<int>(groupScales_.size()) ? group : 0;
}
