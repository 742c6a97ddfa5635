// CaeTopoRef: the engine's abstract reference to a vertex, edge, face or body of the part.
//
// The host side derives from it and supplies navigation, evaluation and the attribute list; the base
// keeps an id, a transformation matrix and the operations built on the derived ones (array forms of
// the evaluators, normals, the attribute list as a CaeList, the search for mating partners).
// Parameters travel in a CaeVector (U in component 0, V in component 1), points as X, Y, Z.
// Kinds: 0 vertex, 1 edge, 2 face, 3 body, 4 none.
//
// Virtual operations, in this order (pure ones are the host side's): destructor, FirstChild,
// NextChild, Body, Feval (array), Feval, Reval (array), Reval (with hint), Reval, Project (array),
// Project (with hint), Project, Perp, PerpUv, FirstDerivs, SecondDerivs, NoOperation,
// GetTransMatrix, SetTransMatrix, AddAttribute, RemoveAttribute, FirstAttribute, NextAttribute,
// Attributes, Kind, ParamRange, EdgeLength, IsClosed, Period, IsSingularAt, IsValid, IsVisible,
// GetSurfaceDefinition, GetCurveDefinition, Id (set), Id (get), GetTopoRefsToMate.
#pragma once
#include "amg/CaeArray.h"
#include "amg/CaeAttrib.h"
#include "amg/CaeList.h"
#include "amg/CaeTransform.h"
#include "amg/CaeTypeInfo.h"
#include "amg/CaeVector.h"

class CaeTopoRef {
 public:
  CAE_DECLARE_TYPE_INFO;
  enum Kind { kVertex = 0, kEdge = 1, kFace = 2, kBody = 3, kNone = 4 };

  CaeTopoRef() = default;
  CaeTopoRef(const CaeTopoRef&) = delete;
  CaeTopoRef& operator=(const CaeTopoRef&) = delete;
  virtual ~CaeTopoRef() = default;

  // Children: faces of a body, edges of a face, vertices of an edge, each with an orientation flag.
  virtual CaeTopoRef* FirstChild(int& flag) = 0;
  virtual CaeTopoRef* NextChild(CaeTopoRef* child, int flag, int& nextFlag) = 0;
  // The body this reference belongs to (null for a body).
  virtual CaeTopoRef* Body() = 0;

  // Points at parameters; the array form calls the one-point form for each of the n entries.
  virtual void Feval(int n, const CaeVector* params, CaeVector* points);
  virtual void Feval(const CaeVector& params, CaeVector& point) = 0;
  // Parameters of points; the hint (a nearby parameter) is not used by the engine's form.
  virtual void Reval(int n, const CaeVector* points, CaeVector* params);
  virtual void Reval(const CaeVector& point, const CaeVector& hint, CaeVector& params);
  virtual void Reval(const CaeVector& point, CaeVector& params) = 0;
  // Closest points and their parameters.
  virtual void Project(int n, const CaeVector* points, CaeVector* closest, CaeVector* params);
  virtual void Project(const CaeVector& point, const CaeVector& hint, CaeVector& closest, CaeVector& params);
  virtual void Project(const CaeVector& point, CaeVector& closest, CaeVector& params) = 0;
  // Unit normal of a face at parameters (du x dv normalised); false when it is degenerate there.
  virtual bool Perp(const CaeVector& params, CaeVector& normal);
  // Unit normal of a face at the point closest to `point`, with that point's parameters.
  virtual bool PerpUv(const CaeVector& point, CaeVector& normal, CaeVector& params);
  virtual void FirstDerivs(const CaeVector& params, CaeVector& du, CaeVector& dv) = 0;
  virtual void SecondDerivs(const CaeVector& params, CaeVector& duu, CaeVector& dvv, CaeVector& duv) = 0;
  virtual void NoOperation(int a, int b, int c, int d) = 0;

  // The placement of the part this reference lies on (identity by default).
  virtual const CaeTransform& GetTransMatrix() const { return transform_; }
  virtual void SetTransMatrix(const CaeTransform& transform) { transform_ = transform; }

  // The attributes attached to this reference.
  virtual void AddAttribute(CaeAttrib* attribute) = 0;
  virtual bool RemoveAttribute(CaeAttrib* attribute) = 0;
  // First/next attached attribute that can cast to `type` (CaeAttrib::Info for any); with
  // `activeOnly`, attributes that are not active are passed over.
  virtual CaeAttrib* FirstAttribute(CaeTypeId type, int activeOnly) = 0;
  virtual CaeAttrib* NextAttribute(CaeTypeId type, CaeAttrib* previous, int activeOnly) = 0;
  // Appends those attributes to `list` (which does not own them) through First/NextAttribute;
  // returns how many were appended.
  virtual int Attributes(CaeList<CaeAttrib>& list, CaeTypeId type = CaeAttrib::Info, int activeOnly = 0);

  virtual int Kind() const = 0;
  virtual void ParamRange(CaeVector& lower, CaeVector& upper) = 0;
  virtual double EdgeLength() = 0;
  virtual bool IsClosed(int direction) = 0;
  // 1 and the period when periodic in `direction` (0 u, 1 v), else 0 and 0.0.
  virtual int Period(int direction, double& period) = 0;
  virtual bool IsSingularAt(int direction, int end) = 0;
  virtual bool IsValid() = 0;
  virtual bool IsVisible() = 0;
  virtual void GetSurfaceDefinition(int& closedU, int& closedV, int& periodicU, int& periodicV, int& degreeU,
                                    int& degreeV, int& countU, int& countV, CaeArray<CaeVector>& controlPoints,
                                    CaeArray<double>& weights, CaeArray<double>& knotsU, CaeArray<double>& knotsV) = 0;
  virtual void GetCurveDefinition(int& closed, int& periodic, int& degree, CaeArray<CaeVector>& controlPoints,
                                  CaeArray<double>& weights, CaeArray<double>& knots) = 0;

  virtual void Id(long id) { id_ = id; }
  virtual long Id() const { return id_; }

  // Appends to `result` the candidates of the same kind that touch this reference: a vertex at
  // distance at most `tolerance`, an edge or face whose parameter-range centre and corners lie
  // within `tolerance` of the candidate. Returns how many were appended.
  virtual int GetTopoRefsToMate(CaeList<CaeTopoRef>& candidates, double tolerance, CaeList<CaeTopoRef>& result);

 private:
  long id_ = 0;
  CaeTransform transform_;
};
