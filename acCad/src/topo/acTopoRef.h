// AcTopoRef: the drawing's reference to one vertex, edge, face or body of a part.
//
// A reference stands on the drawing's canonical B-rep entity of its subentity (acBrEnt.h) and
// owns the part modeller's object key of it, which names the subentity across edits and save and
// load. There is at most one reference per canonical entity per drawing; they live in the
// drawing's AcTopoTables. Creating a reference creates, below it, references for all its faces,
// edges and vertices; the children carry an orientation flag (0 or 1):
//   body -> faces, face -> the edges of all its loops (a seam edge twice, once per flag),
//   edge -> vertex 1 and vertex 2 (a closed edge's one vertex twice, once per flag).
// Evaluation (points, parameters, projections, derivatives, ranges, periods, NURBS export) is in
// acTopoEval.cpp; the walk over sub-entities in acTopoNav.cpp.
//
// Kinds: 0 vertex, 1 edge, 2 face, 3 body, 4 none. A failing B-rep call, a class of entity that
// is none of these, or an operation asked of a kind that does not serve it is a consistency check
// (MSG_GENERAL_ERROR, then CaeExcept). Host thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "amg/CaeList.h"
#include "amg/CaeStamp.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeVector.h"
#include "arx/dbid.h"

class AcBrEntity;
class AcBrLoopEdgeTraverser;
class AcBrFaceLoopTraverser;
class AcGeEntity3d;
class AcGeSurface;
class AmiObjectKey;
class AcTopoTables;
class TopoDS_Shape;

// A face's evaluations remembered by the exact point or parameters asked (AcTopoRef::PerpUv,
// AcTopoRef::FirstDerivs).
struct AcTopoFaceMemo {
  struct Perp {
    bool found;
    CaeVector normal;
    CaeVector params;
  };
  struct Derivs {
    CaeVector du;
    CaeVector dv;
  };
  struct ExactHash {
    std::size_t operator()(const CaeVector& v) const;
  };
  struct ExactEqual {
    bool operator()(const CaeVector& a, const CaeVector& b) const;
  };
  // Beyond this many entries a table starts again empty.
  static constexpr std::size_t kMostEntries = 8192;
  std::unordered_map<CaeVector, Perp, ExactHash, ExactEqual> perp;
  std::unordered_map<CaeVector, Derivs, ExactHash, ExactEqual> derivs;
};

class AcTopoRef : public CaeTopoRef {
 public:
  // A reference for the canonical `entity`, registered in `tables` with its whole subtree. With
  // null tables it is only a lookup probe: it holds the entity and nothing else.
  AcTopoRef(AcBrEntity* entity, AcTopoTables* tables);
  // A reference for the subentity `key` names (the reference owns the key from then on). A null
  // key, or a key that does not resolve, is a consistency check.
  AcTopoRef(AmiObjectKey* key, AcTopoTables* tables);
  // Releases the key and deletes the cached geometry; does not unlink itself from the table.
  ~AcTopoRef() override;

  // ---- navigation (engine view) ----
  CaeTopoRef* FirstChild(int& flag) override;
  CaeTopoRef* NextChild(CaeTopoRef* child, int flag, int& nextFlag) override;
  // The body's reference (made on demand); null for a body or when the body cannot be had.
  CaeTopoRef* Body() override;
  // The reference one kind higher that lists this one as a child, or null.
  AcTopoRef* Parent();

  // ---- evaluation (acTopoEval.cpp) ----
  using CaeTopoRef::Feval;
  using CaeTopoRef::Project;
  using CaeTopoRef::Reval;
  // vertex: its point; edge: the curve point at U; face: the surface point at (U, V); body: the
  // input. An edge that lost its entity asks its first child; without children it is a
  // consistency check.
  void Feval(const CaeVector& params, CaeVector& point) override;
  // The parameters of a point, shifted by one period into the range where periodic. A vertex
  // leaves `params` untouched; a body copies the point.
  void Reval(const CaeVector& point, CaeVector& params) override;
  // The closest point on the entity (on an edge: within its ends) and its parameters.
  void Project(const CaeVector& point, CaeVector& closest, CaeVector& params) override;
  // Faces only: derivatives with the u-derivative signed so that (du x dv) points against the
  // face's outward normal.
  void FirstDerivs(const CaeVector& params, CaeVector& du, CaeVector& dv) override;
  // As the engine's, remembered per point while the geometry stays (a face's symbols ask for the
  // same points at every regeneration).
  bool PerpUv(const CaeVector& point, CaeVector& normal, CaeVector& params) override;
  void SecondDerivs(const CaeVector& params, CaeVector& duu, CaeVector& dvv, CaeVector& duv) override;
  void NoOperation(int, int, int, int) override {}

  // ---- attributes (acTopoUtil.cpp) ----
  // The list holds the ids of the attributes' drawing objects, in the order they were added (an
  // id added twice is listed twice). The walks open each object for write in the current
  // transaction (one must be active) and pass over null ids, erased objects and objects that
  // carry no attribute. Attributes without drawing object are ignored.
  void AddAttribute(CaeAttrib* attribute) override;
  // Removes the first occurrence; false when it is not listed.
  bool RemoveAttribute(CaeAttrib* attribute) override;
  // The first attribute whose type casts to `type` (CaeAttrib::Info: any), active ones only when
  // asked; null when none.
  CaeAttrib* FirstAttribute(CaeTypeId type, int activeOnly) override;
  // The next such attribute after `previous`. A walk continues where this reference's last
  // answer was when `previous` is that answer; otherwise it scans from the start (null when
  // `previous` is not listed).
  CaeAttrib* NextAttribute(CaeTypeId type, CaeAttrib* previous, int activeOnly) override;
  bool HasAttributeId(AcDbObjectId id) const;
  const AcDbObjectIdArray& AttributeIds() const { return attributeIds_; }

  int Kind() const override { return kind_; }
  // Edges and faces: the stored range (edge U; face U and V), after a pending re-resolution.
  void ParamRange(CaeVector& lower, CaeVector& upper) override;
  double EdgeLength() override;
  bool IsClosed(int direction) override;
  int Period(int direction, double& period) override;
  bool IsSingularAt(int direction, int end) override;
  // The entity still names a subentity and the key (when there is one) is not stale.
  bool IsValid() override;
  // The same answer without running a pending re-resolution first.
  bool StillValid() const;
  // False only when the part's component is a leaf whose placing entity is invisible.
  bool IsVisible() override;
  // NURBS data of a face's surface: a plane as the bilinear patch of its range; a NURBS surface
  // as it is (closed and periodic flags hold the property bits 2 and 4); a cylinder as a NURBS
  // surface over the face's parameter box that evaluates at (u, v) to Feval's point within 1e-7.
  // Any other surface (sphere, cone, torus, one without a native base) is a consistency check.
  void GetSurfaceDefinition(int& closedU, int& closedV, int& periodicU, int& periodicV, int& degreeU, int& degreeV,
                            int& countU, int& countV, CaeArray<CaeVector>& controlPoints, CaeArray<double>& weights,
                            CaeArray<double>& knotsU, CaeArray<double>& knotsV) override;
  // NURBS data of an edge's curve: a line segment, the whole circle of an arc, a NURBS curve.
  void GetCurveDefinition(int& closed, int& periodic, int& degree, CaeArray<CaeVector>& controlPoints,
                          CaeArray<double>& weights, CaeArray<double>& knots) override;

  // ---- accessors: they answer the stored fields and change nothing ----
  AcBrEntity* GetBrEntity() const { return entity_; }
  AcGeEntity3d* GetGeometry() const { return geometry_; }
  AmiObjectKey* GetKey() const { return key_; }
  // Runs the pending re-resolution of the drawing's references when this one needs it: the
  // solid was modified (the flag is cleared first), the entity no longer yields a subentity path
  // or the key went stale. Callers that are about to use the entity, geometry or key call it.
  // Inside an AcTopoCheckScope a reference found sound once is not asked again.
  void Reresolve();
  CaeStamp& Stamp() { return stamp_; }

  // ---- for re-validation after the part changes ----
  // The entity as stored, without running re-resolution.
  AcBrEntity* Entity() const { return entity_; }
  AmiObjectKey* Key() const { return key_; }
  // Replaces the entity (null when the key no longer yields one); the kind must not change. The
  // table is ordered by entity: unlink the reference first and insert it again afterwards.
  void SetEntity(AcBrEntity* entity);
  // Forgets the children and the collapsed boundaries so the next EnsureChildren rebuilds them.
  void ClearChildren();
  // Builds the children with their ranges when they are not built (and the entity is set).
  void EnsureChildren(AcTopoTables* tables);
  // Re-reads the cached geometry from the entity.
  void CacheGeometry();
  // True while the cached geometry and children were read from the solid the entity holds now.
  bool IsCurrent() const;
  // Re-reads the geometry and rebuilds the children (refreshing those that are not current).
  void Refresh(AcTopoTables* tables);
  // Records which boundary of this face a loop without edges collapses to (the sub-entity walk
  // calls it); a vertex at none of the face's corners is a consistency check.
  void RecordDegenerateLoop(const AcBrFaceLoopTraverser& loops);
  // Re-validation after the part changed (acTopoUtil.cpp). A reference without entity is left as
  // it is. A stale key: every attached attribute not marked erased hears UponTopoRefErase and
  // the reference leaves the table (it stays alive). Otherwise, unless a solid was erased, the
  // entity is taken from the key again (null when it yields none), the reference moves to the
  // front of the table's ring, its children are forgotten and its geometry read again.
  void Revalidate(AcTopoTables* tables);

 private:
  friend struct AcTopoEval;
  friend struct AcTopoNav;

  void Init(AmiObjectKey* key, AcBrEntity* entity, AcTopoTables* tables);
  // The attribute at `index` when it qualifies for a walk, else null.
  CaeAttrib* AttributeAt(int index, CaeTypeId type, int activeOnly);
  // Notes (this, attribute, index) as the walk's cursor and answers the attribute.
  CaeAttrib* Answer(CaeAttrib* attribute, int index);
  void LoseTopology(AcTopoTables& tables);
  void BuildChildren(AcTopoTables* tables);
  // The node of `child` in `list`, found from `cursor` when it is that node, else from the front.
  static CaeList<AcTopoRef>* ChildNode(CaeList<AcTopoRef>& list, CaeList<AcTopoRef>* cursor, const AcTopoRef* child);
  void ComputePeriods();
  void ComputeParamRange();
  void ComputeFaceParamBox(CaeVector& lower, CaeVector& upper);
  bool FaceOrientedToSurface() const;
  const AcGeSurface& FaceSurface();
  AcTopoFaceMemo& FaceMemo();
  void ForgetFaceMemo();

  AmiObjectKey* key_ = nullptr;
  int kind_ = kNone;
  bool childrenBuilt_ = true;
  AcBrEntity* entity_ = nullptr;
  CaeVector lower_;
  CaeVector upper_;
  CaeList<AcTopoRef> forwardChildren_;   // children with orientation flag 0
  CaeList<AcTopoRef> reversedChildren_;  // children with orientation flag 1
  // The nodes the child walk answered last, one per list (null after the lists are cleared).
  CaeList<AcTopoRef>* forwardCursor_ = nullptr;
  CaeList<AcTopoRef>* reversedCursor_ = nullptr;
  double periods_[2] = {0.0, 0.0};
  // Face boundaries a loop without edges collapses to, by direction + 2 * end: lower v, lower u,
  // upper v, upper u.
  bool collapsedBoundary_[4] = {false, false, false, false};
  // Whether, in check scope `scope`, the part holds the very solid on which Reresolve last found
  // this reference sound (the part asked once per scope), so that asking again would answer the same.
  bool OnSolidFoundSound(std::uint64_t scope) const;

  AcDbObjectIdArray attributeIds_{0, 8};
  CaeStamp stamp_;
  std::uint64_t checkedIn_ = 0;  // the check scope in which Reresolve last found this one sound
  // The part's solid when Reresolve last found this reference sound inside a check scope; held,
  // so that no other solid can take its identity. Dropped when the entity or geometry changes.
  std::shared_ptr<const TopoDS_Shape> soundOn_;
  AcGeEntity3d* geometry_ = nullptr;
  const void* cachedSolid_ = nullptr;  // identity of the solid shape the cache was read from
  // A face's normals and derivatives already computed, by point and by parameters; dropped
  // whenever the geometry, the entity or the parameter ranges change (acTopoEval.cpp).
  std::unique_ptr<AcTopoFaceMemo> faceMemo_;
};

// While one lives, a reference that Reresolve found sound is taken as sound without asking the
// part again: for a read-only walk such as drawing, where nothing can change the parts between two
// evaluations. A re-resolution that runs inside still ends the trust. Scopes nest. An outermost
// scope given the same non-zero `walk` as the one before it (the same regeneration) goes on
// trusting what that one found, unless a re-resolution ran in between. In a later scope a
// reference is taken as sound again when its part (asked once per scope) still holds the very
// solid it was found sound on.
class AcTopoCheckScope {
 public:
  explicit AcTopoCheckScope(std::uint64_t walk = 0);
  ~AcTopoCheckScope();
  AcTopoCheckScope(const AcTopoCheckScope&) = delete;
  AcTopoCheckScope& operator=(const AcTopoCheckScope&) = delete;
  // The scope checks are noted in; 0 outside every scope.
  static std::uint64_t Current();
  // Ends the trust of the scope that is open: what was found sound is asked again.
  static void Renew();
};

// The kind of an entity by its exact class (edge, face, vertex, brep); 4 for null; any other
// class is a consistency check.
int acBrEntityKind(const AcBrEntity* entity);

// The current drawing's reference for a canonical entity, created (with its subtree) when absent,
// refreshed when its solid changed since it was read. Null when there is no current drawing data.
AcTopoRef* acTopoRefFromBrEntity(AcBrEntity* entity);
// The reference of the subentity a key names, or null when the key does not resolve now.
AcTopoRef* acTopoRefFromKey(AmiObjectKey* key);
// Orders references by the identity of their canonical entity.
int acTopoRefCompare(const AcTopoRef* first, const AcTopoRef* second);
// Grows whenever a reference is made or deleted or its entity, geometry, children or ranges
// change: what was computed from references while it stays the same still holds.
std::uint64_t acTopoGeometryGeneration();
