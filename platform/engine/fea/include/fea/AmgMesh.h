// Meshes, mesh uses and mesh-size constraints: their settings, lists and state.
//
// A mesh sits on a topology reference (the part's body) and owns its nodes and elements. MeshIt
// generates them with gmsh from the body's OpenCASCADE shape (given with SetShape, else asked of
// the current AmgShapeSource); a drawing that restores a mesh hands its items over instead
// (AddNodes, AddElements).
//
// Controls: the default size (0: a tenth of the body's largest extent) capped by the maximum, the
// minimum size, curvature scaling (when on: one element per "angle per element" of arc), element
// order (1 linear, 2 quadratic with mid-side nodes on the geometry), element type (solid:
// tetrahedra; shell: triangles on the faces) and local sizes. The shape is in native lengths.
// Meshes are made one at a time in the process (the mesher keeps one global model).
//
// Sub-shapes are named by kind (0 vertex, 1 edge, 2 face) and their 1-based index in
// TopExp::MapShapes of the body's shape; a generated mesh lists the nodes on each of them (closure
// included), the element faces on each face and the element edges on each edge. A reference on
// the body is taken to its sub-shape through the shape source.
//
// Meshes, uses and constraints are attributes (CaeAttrib) with the core's marks; the virtual
// operations are those the drawing's entities override.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "amg/CaeAttrib.h"
#include "amg/CaeFlags.h"
#include "amg/CaeList.h"
#include "amg/CaeVector.h"
#include "fea/CaeElem.h"

class AmgConstraint;
class AmgMeshUse;
namespace fea_detail {
struct MeshOutcome;
}
class TopoDS_Shape;

// Where meshes find the geometry of the references they lie on: the part modeller installs one.
class AmgShapeSource {
 public:
  virtual ~AmgShapeSource() = default;
  // The OpenCASCADE shape of a body reference; false when it has none.
  virtual bool BodyShape(CaeTopoRef* body, TopoDS_Shape& shape) = 0;
  // The kind (0 vertex, 1 edge, 2 face) and TopExp index of a reference on a body; false when the
  // reference is not one of the body's sub-shapes.
  virtual bool Locate(CaeTopoRef* ref, int& kind, int& index) = 0;
  // Installs the source (null removes it; not owned); returns the previous one.
  static AmgShapeSource* SetCurrent(AmgShapeSource* source);
  static AmgShapeSource* GetCurrent();
};

// Why the last generation failed.
enum AmgMeshError : int {
  AmgMeshOk = 0,
  AmgMeshNoGeometry = 1,   // no shape for the body
  AmgMeshFailed = 2,       // the mesher could not mesh the body (see ErrorText, ErrorLocation)
  AmgMeshBadElements = 3,  // the mesher's elements did not fit the element kind asked for
  AmgMeshTooFine = 4,      // the size would give more elements than a mesh may hold (nothing was tried)
};

class AmgMesh : public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  // Element order 2 and mesh engine 4 from the start; not generated, not deferred.
  AmgMesh();
  explicit AmgMesh(CaeTopoRef* ref);
  // A mesh made only to be asked for estimates (EstimateSize); the flag is the engine's. As with
  // every mesh, the reference is only stored.
  AmgMesh(CaeTopoRef* ref, int temporary);
  ~AmgMesh() override;
  AmgMesh(const AmgMesh&) = delete;
  AmgMesh& operator=(const AmgMesh&) = delete;

  // Meshing controls (native length, radians).
  double GetDefaultSize() const { return defaultSize_; }
  void SetDefaultSize(double size) { defaultSize_ = size; }
  double GetMinSize() const { return minSize_; }
  void SetMinSize(double size) { minSize_ = size; }
  double GetMaxSize() const { return maxSize_; }
  void SetMaxSize(double size) { maxSize_ = size; }
  double GetAnglePerElement() const { return anglePerElement_; }
  void SetAnglePerElement(double angle) { anglePerElement_ = angle; }
  CaeElemShape GetElementShape() const { return elementShape_; }
  void SetElementShape(CaeElemShape shape) { elementShape_ = shape; }
  CaeEdgeShape GetEdgeShape() const { return edgeShape_; }
  void SetEdgeShape(CaeEdgeShape shape) { edgeShape_ = shape; }
  CaeOnOff GetAutoconstraints() const { return autoconstraints_; }
  void SetAutoconstraints(CaeOnOff value) { autoconstraints_ = value; }
  CaeOnOff GetCurvatureScaling() const { return curvatureScaling_; }
  void SetCurvatureScaling(CaeOnOff value) { curvatureScaling_ = value; }
  CaeOnOff GetMSNRefinement() const { return msnRefinement_; }
  void SetMSNRefinement(CaeOnOff value) { msnRefinement_ = value; }
  CaeOnOff GetGeometryAssociativity() const { return geometryAssociativity_; }
  void SetGeometryAssociativity(CaeOnOff value) { geometryAssociativity_ = value; }
  int GetElementOrder() const { return elementOrder_; }
  void SetElementOrder(int order) { elementOrder_ = order; }
  int GetMeshEngine() const { return meshEngine_; }
  void SetMeshEngine(int engine) { meshEngine_ = engine; }
  CaeOnOff GetMeshPElements() const { return pElements_; }
  void SetMeshPElements(CaeOnOff value) { pElements_ = value; }
  // Solid meshes are tetrahedra, shell meshes triangles (thickness comes from the sub-model).
  CaeElemType GetElementType() const { return elementType_; }
  void SetElementType(CaeElemType type) { elementType_ = type; }
  // Copies every meshing control of another mesh.
  void SetControlValues(const AmgMesh& other);

  // Sizes to start from for the geometry of the mesh's body (a face's or edge's reference counts
  // by its body), native length: the default the mesher takes when none is set (a tenth of the
  // largest extent), the range a tenth of it to five times it. Answers 0, all three 0, without
  // geometry.
  int EstimateSize(double& defaultSize, double& minSize, double& maxSize) const;
  // About how many elements the body gives at an element size: its volume over a regular
  // tetrahedron's (for shells, its area over a triangle's). 0 without geometry or for a size
  // that is not positive.
  double EstimateElementCount(double size) const;
  // More elements than this are refused before the mesher runs: they would exhaust the memory a
  // drawing may use.
  static constexpr double kMostElements = 2.0e7;
  // Set when a refinement of the mesh's model changed: the mesh must be generated again before
  // it is used. The drawing files it.
  int GetRemeshRequired() const { return remeshRequired_; }
  void SetRemeshRequired(int flag) { remeshRequired_ = flag ? 1 : 0; }

  // The body's geometry (copied; a shape shares its underlying data). Without it MeshIt asks the
  // current shape source for the shape of the mesh's reference.
  void SetShape(const TopoDS_Shape& shape);
  bool HasShape() const;
  // Ids of the next generation's first node and element, so that the meshes of a model number
  // on from each other (1 and 1 unless set).
  void SetFirstIds(long node, long element);
  // Local sizes for the next generations: at a sub-shape (kind 0 vertex, 1 edge, 2 face, TopExp
  // index) or around a point. Sizes that are not positive are ignored.
  void AddLocalSize(int kind, int index, double size);
  void AddPointSize(const CaeVector& point, double size);
  // A mesh-size constraint: on its reference's sub-shape (through the shape source), or at its
  // location when it is a point constraint or its reference cannot be located. Erased
  // constraints are ignored. Answers 1 when the size was taken.
  int AddConstraint(const AmgConstraint& constraint);
  void ClearLocalSizes();
  // Element material groups (a Concept optimisation's densities): the elements of group k take
  // the part's material with its modulus scaled by scales[k]; elements not listed are in group 0.
  // Without scales the material is as it is. Scales must be positive and finite (else ignored).
  void SetMaterialGroups(std::vector<double> scales, std::unordered_map<long, int> groups);
  const std::vector<double>& MaterialGroupScales() const { return groupScales_; }
  int MaterialGroup(long element) const;
  // Takes over another mesh's local sizes and size field (replacing its own).
  void CopyLocalSizes(const AmgMesh& other);
  // A size field over the body for the next generations (h-adaptation): tetrahedra, each with its
  // four corners and the size wanted at each, interpolated inside them. Each call replaces the
  // field; ClearLocalSizes clears it too. The smallest of this, the local sizes and the default
  // size applies.
  struct SizeTet {
    CaeVector corners[4];
    double sizes[4];
  };
  void SetSizeField(std::vector<SizeTet> tets);
  bool HasSizeField() const { return !sizeField_.empty(); }
  const std::vector<SizeTet>& SizeField() const { return sizeField_; }

  // Whether the mesh follows the part's geometry.
  int Associated() const { return associated_; }
  void SetAssociated(int flag) { associated_ = flag ? 1 : 0; }
  int Generated() const { return generated_; }
  void SetGenerated(int flag) { generated_ = flag ? 1 : 0; }
  int Deferred() const { return deferred_; }
  int GetDeferred() const { return deferred_; }
  // Deferred: built when next needed.
  void SetDeferred(int flag) { deferred_ = flag ? 1 : 0; }
  int Successful() const { return successful_; }
  // Where the last generation failed (all zero when unknown).
  const CaeVector& ErrorLocation() const { return errorLocation_; }
  AmgMeshError ErrorCode() const { return errorCode_; }
  // The mesher's own words about the last failure (empty after a success).
  const CaeString& ErrorText() const { return errorText_; }

  // What a generated mesh lies on (empty for a restored mesh or an unknown sub-shape). The
  // element references are made on each call; the nodes stay the mesh's.
  int NodesOnShape(int kind, int index, std::vector<CaeNode*>& nodes) const;
  int ElemFacesOnFace(int index, std::vector<CaeElemRef>& faces) const;
  // Element edges on an edge: 2 (linear) or 3 (quadratic, middle last) nodes each.
  int SegmentsOnEdge(int index, std::vector<std::vector<CaeNode*>>& segments) const;
  // The same for a reference, located through the shape source; a vertex, edge or face reference
  // of the body. False when the reference cannot be located.
  bool LocateRef(CaeTopoRef* ref, int& kind, int& index) const;

  // A restored mesh (its items handed over with AddNodes and AddElements on references) learns
  // from the body's shape what a generated mesh knows per sub-shape: the nodes on each vertex,
  // edge and face with their closure, the element faces on each face and the element edges on
  // each edge. Its nodes are put in id order, as a generated mesh has them. Answers false, and
  // changes nothing but the node order, when the body has no shape or a reference is not located.
  bool IndexOnShapes();

  // Sets the reference the mesh lies on (null detaches); with a reference the mesh is listed on
  // it. The mesh is then in a successful state. The flag is the engine's and is not used.
  void SetTopology(CaeTopoRef* ref, int flag);

  // Takes ownership of the items; with a reference they are also recorded as lying on it.
  void AddNodes(CaeList<CaeNode>& nodes);
  void AddNodes(CaeTopoRef* ref, CaeList<CaeNode>& nodes);
  void AddElements(CaeList<CaeElem>& elements);
  void AddElements(CaeTopoRef* ref, CaeList<CaeElem>& elements);
  int NumNodes() const { return static_cast<int>(nodes_.size()); }
  int NumElements() const { return static_cast<int>(elements_.size()); }
  long NumberNodes() const { return static_cast<long>(nodes_.size()); }
  long NumberElements() const { return static_cast<long>(elements_.size()); }
  // Appends the mesh's items (not handed over) to a list; answers how many.
  int Nodes(CaeList<CaeNode>& list) const;
  int Elements(CaeList<CaeElem>& list) const;
  // Nodes and elements on a reference: for a generated mesh, each node on the topology it lies on
  // (the body's own nodes on the mesh's body reference) and the elements touching it, then those
  // recorded by AddNodes and AddElements. NodesOnTopo gives a generated mesh's nodes on a
  // reference the shape source locates, its closure included.
  CaeNode* FirstNodeOnTopo(CaeTopoRef* ref);
  CaeNode* NextNodeOnTopo(CaeTopoRef* ref);
  int NodesOnTopo(CaeTopoRef* ref, CaeList<CaeNode>& list, int flag) const;
  CaeElem* FirstElementOnTopo(CaeTopoRef* ref);
  CaeElem* NextElementOnTopo(CaeTopoRef* ref);
  // The exterior faces of the solid elements: faces used by exactly one element. The list owns
  // the new references. The two flags are the engine's and are not used.
  int ExteriorElemRefs(CaePrimaryList<CaeElemRef>& list, int flag1, int flag2) const;
  // Deletes every node and element.
  void Clear();

  void MakeUncurrent() { MarkAsNotCurrent(); }

  // This mesh becomes a copy of another: its reference (not listed on it), controls, local sizes,
  // nodes and elements (flag unused).
  void Create(const AmgMesh& other, int flag);
  // Updates a copy to the part as it is now: meshes it again with its controls and local sizes.
  int Update(int flag);

  // Meshes the bodies of several solid meshes together, so that where bodies touch their meshes
  // share nodes (same id and place in each mesh; the deck writes them once, which joins the
  // parts). The first mesh's controls and first ids apply to all; element ids run on from one
  // mesh to the next. Answers 1 on success; on failure each mesh reports it and keeps what it had.
  // Joined meshing makes solids with one set of sizes: meshes with local sizes, a size field,
  // shell elements or sizes and order of their own are refused (naming the setting), not meshed
  // without them.
  static int MeshJoined(const std::vector<AmgMesh*>& meshes);

  // --- virtual operations: the engine's own ---------------------------------------------
  void UponTopoRefDelete() override;
  CaeTypeId GetInfo() const override { return Info; }
  virtual int NeedsUpdate() const { return needsUpdate_; }
  // Generates the mesh from the body's shape with the current controls, replacing the nodes and
  // elements. Answers 1 on success; on failure reports the error (level 1, with its location),
  // keeps no half-made mesh and answers 0.
  virtual int MeshIt();
  // Generation in two steps, for meshes that must all change or none: PrepareMesh generates as
  // MeshIt does but keeps the new mesh aside (the current items stay; a failure is reported as
  // MeshIt reports it and answers 0); CommitPrepared puts the prepared mesh in place (answers 1,
  // 0 when nothing was prepared or it cannot be adopted); DiscardPrepared drops it.
  int PrepareMesh();
  int CommitPrepared();
  void DiscardPrepared();
  bool HasPrepared() const { return prepared_ != nullptr; }
  // --- virtual operations the drawing's mesh overrides -----------------------------------
  // The engine's reaction: the mesh needs an update.
  void UponTopoRefModify() override;
  void UponTopoRefErase() override;
  // Takes over the other mesh's reference (the engine's own copy of the topology link).
  virtual void CopyTopology(const AmgMesh& other);
  // A new mesh of the same kind with the same controls (owned by the caller).
  virtual AmgMesh* CreateCopy() const;
  virtual AmgMeshUse* NewMeshUse(CaeAttrib* user);
  virtual void AddMeshUse(AmgMeshUse* use);
  virtual void DeleteMeshUse(AmgMeshUse* use);
  virtual int NumMeshUses();
  virtual AmgMeshUse* GetMeshUse(int index);
  virtual AmgMeshUse* FirstMeshUse();
  AmgMeshUse* NextMeshUse();

 protected:
  CaeCursorList<AmgMeshUse> uses_;

 private:
  struct OnTopo {
    CaeTopoRef* ref;
    bool isNode;
    void* item;
  };
  void Record(CaeTopoRef* ref, bool isNode, void* item);
  void* FirstOnTopo(CaeTopoRef* ref, bool isNode);
  void* NextOnTopo(CaeTopoRef* ref, bool isNode);
  void CollectGenerated(CaeTopoRef* ref, bool isNode, std::vector<void*>& items) const;

  struct LocalSize {
    int kind;
    int index;
    double size;
    CaeVector point;
  };
  struct ShapeItems;
  static void SortNodesById(std::vector<std::unique_ptr<CaeNode>>& nodes);
  bool BodyShape(TopoDS_Shape& shape) const;
  // The body's shape for estimates: a face's or edge's reference asks for its body's.
  bool EstimateShape(TopoDS_Shape& shape) const;
  int Adopt(const fea_detail::MeshOutcome& outcome);
  // Generates a mesh with the current controls into `outcome`; false after reporting why not.
  bool Generate(fea_detail::MeshOutcome& outcome);
  // Why the meshes cannot be made together (empty when they can).
  static std::string JoinRefusal(const std::vector<AmgMesh*>& meshes);
  void Fail(AmgMeshError code, const std::string& text, const CaeVector& location);

  std::unique_ptr<fea_detail::MeshOutcome> prepared_;
  std::unique_ptr<TopoDS_Shape> shape_;
  std::unique_ptr<ShapeItems> shapeItems_;
  std::vector<LocalSize> localSizes_;
  std::vector<SizeTet> sizeField_;
  std::vector<double> groupScales_;
  std::unordered_map<long, int> elementGroups_;
  long firstNodeId_ = 1;
  long firstElementId_ = 1;
  CaeElemType elementType_ = CaeElemSolid;
  AmgMeshError errorCode_ = AmgMeshOk;
  CaeString errorText_;
  double defaultSize_ = 0.0;
  double minSize_ = 0.0;
  double maxSize_ = 0.0;
  double anglePerElement_ = 0.5;
  CaeElemShape elementShape_ = CaeShapeTri;
  CaeEdgeShape edgeShape_ = CaeEdgeCurved;
  CaeOnOff autoconstraints_ = CaeOn;
  CaeOnOff curvatureScaling_ = CaeOn;
  CaeOnOff msnRefinement_ = CaeOff;
  CaeOnOff geometryAssociativity_ = CaeOn;
  CaeOnOff pElements_ = CaeOff;
  int elementOrder_ = 2;
  int meshEngine_ = 4;
  int associated_ = 1;
  int generated_ = 0;
  int deferred_ = 0;
  int successful_ = 0;
  int needsUpdate_ = 0;
  int remeshRequired_ = 0;
  CaeVector errorLocation_;
  std::vector<std::unique_ptr<CaeNode>> nodes_;
  std::vector<std::unique_ptr<CaeElem>> elements_;
  std::vector<OnTopo> onTopo_;
  std::vector<void*> topoWalk_;
  std::size_t topoCursor_ = 0;
  std::vector<std::unique_ptr<AmgMeshUse>> ownedUses_;
};

// The use of a mesh by an attribute (a sub-model's body); the use does not own the mesh.
class AmgMeshUse : public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AmgMeshUse() = default;
  explicit AmgMeshUse(CaeTopoRef* ref) : CaeAttrib(ref) {}

  CaeTypeId GetInfo() const override { return Info; }
  // A new use for an attribute, on the attribute's reference (the engine's factory).
  virtual AmgMeshUse* Create(CaeAttrib* user);
  virtual void SetMesh(AmgMesh* mesh) { mesh_ = mesh; }
  virtual AmgMesh* Mesh() { return mesh_; }
  virtual void Erase() { MarkAsErased(); }

 private:
  AmgMesh* mesh_ = nullptr;
};

// 0 at the point, 1 spread over the edge or face.
enum AmgConstrType : int { AmgConstrPoint = 0, AmgConstrSpread = 1 };

// A local mesh size on a vertex, edge or face. The mesher ignores a constraint marked erased.
class AmgConstraint : public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AmgConstraint() = default;
  AmgConstraint(long id, double size, AmgConstrType type, const CaeVector& location, CaeTopoRef* ref)
      : CaeAttrib(ref), id_(id), size_(size), type_(type), location_(location) {}

  const CaeVector& Location() const { return location_; }
  void SetLocation(const CaeVector& location) { location_ = location; }
  double Size() const { return size_; }
  void SetSize(double size) { size_ = size; }
  long Id() const { return id_; }
  void SetId(long id) { id_ = id; }
  AmgConstrType Type() const { return type_; }
  void SetType(AmgConstrType type) { type_ = type; }
  CaeTypeId GetInfo() const override { return Info; }

 private:
  long id_ = 0;
  double size_ = 0.0;
  AmgConstrType type_ = AmgConstrPoint;
  CaeVector location_;
};
