// Meshes, mesh uses and mesh-size constraints: their settings, lists and state.
//
// A mesh sits on a topology reference (the part's body) and owns its nodes and elements. Its
// generation comes with the mesher: until then MeshIt reports "not available yet" and answers 0,
// and a mesh only has the nodes and elements that were handed to it (AddNodes, AddElements, as a
// drawing does when it restores a mesh).
//
// Meshes, uses and constraints are attributes (CaeAttrib) with the core's marks; the virtual
// operations are those the drawing's entities override.
#pragma once

#include <memory>
#include <vector>

#include "amg/CaeAttrib.h"
#include "amg/CaeFlags.h"
#include "amg/CaeList.h"
#include "amg/CaeVector.h"
#include "fea/CaeElem.h"

class AmgMeshUse;

class AmgMesh : public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  // Element order 2 and mesh engine 4 from the start; not generated, not deferred.
  AmgMesh();
  explicit AmgMesh(CaeTopoRef* ref);
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
  // Copies every meshing control of another mesh.
  void SetControlValues(const AmgMesh& other);

  // Whether the mesh follows the part's geometry.
  int Associated() const { return associated_; }
  void SetAssociated(int flag) { associated_ = flag ? 1 : 0; }
  int Generated() const { return generated_; }
  void SetGenerated(int flag) { generated_ = flag ? 1 : 0; }
  int Deferred() const { return deferred_; }
  // Deferred: built when next needed.
  void SetDeferred(int flag) { deferred_ = flag ? 1 : 0; }
  int Successful() const { return successful_; }
  // Where the last generation failed (all zero when unknown).
  const CaeVector& ErrorLocation() const { return errorLocation_; }

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
  // Appends the mesh's items (not handed over) to a list; answers how many.
  int Nodes(CaeList<CaeNode>& list) const;
  int Elements(CaeList<CaeElem>& list) const;
  // Nodes and elements recorded on a reference.
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

  // This mesh becomes a copy of another (controls, nodes and elements; flag unused).
  void Create(const AmgMesh& other, int flag);
  // Updates a copy to a changed part: needs the mesher; reports "not available yet", answers 0.
  int Update(int flag);

  // --- virtual operations: the engine's own ---------------------------------------------
  void UponTopoRefDelete() override;
  CaeTypeId GetInfo() const override { return Info; }
  virtual int NeedsUpdate() const { return needsUpdate_; }
  // Generates the mesh: needs the mesher; reports "not available yet" and answers 0.
  virtual int MeshIt();
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
  CaeVector errorLocation_;
  std::vector<std::unique_ptr<CaeNode>> nodes_;
  std::vector<std::unique_ptr<CaeElem>> elements_;
  std::vector<OnTopo> onTopo_;
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
