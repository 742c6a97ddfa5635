// References to an OpenCASCADE body and its faces, edges and vertices, for programs that build
// their geometry directly rather than through the part modeller: the body, its sub-shapes by
// TopExp::MapShapes index, and the shape source the meshes ask.
#pragma once

#include <TopoDS_Shape.hxx>

#include <map>
#include <memory>
#include <utility>

#include "amg/CaeTopoRef.h"
#include "fea/AmgMesh.h"

namespace study {

// A vertex, edge, face or body of one shape. Geometry queries are not needed by the engine's
// meshing and deck writing, so they answer nothing useful.
class ShapeRef : public CaeTopoRef {
 public:
  ShapeRef(int kind, int index, ShapeRef* body) : kind_(kind), index_(index), body_(body) {}
  int Index() const { return index_; }

  CaeTopoRef* FirstChild(int& flag) override { return flag = 0, nullptr; }
  CaeTopoRef* NextChild(CaeTopoRef*, int, int& next) override { return next = 0, nullptr; }
  CaeTopoRef* Body() override { return body_; }
  void Feval(const CaeVector& params, CaeVector& point) override { point = params; }
  void Reval(const CaeVector& point, CaeVector& params) override { params = point; }
  void Project(const CaeVector& point, CaeVector& closest, CaeVector& params) override {
    closest = point;
    params = point;
  }
  void FirstDerivs(const CaeVector&, CaeVector& du, CaeVector& dv) override { du = dv = {}; }
  void SecondDerivs(const CaeVector&, CaeVector& a, CaeVector& b, CaeVector& c) override { a = b = c = {}; }
  void NoOperation(int, int, int, int) override {}
  void AddAttribute(CaeAttrib*) override {}
  bool RemoveAttribute(CaeAttrib*) override { return false; }
  CaeAttrib* FirstAttribute(CaeTypeId, int) override { return nullptr; }
  CaeAttrib* NextAttribute(CaeTypeId, CaeAttrib*, int) override { return nullptr; }
  int Kind() const override { return kind_; }
  void ParamRange(CaeVector& lower, CaeVector& upper) override { lower = upper = {}; }
  double EdgeLength() override { return 0.0; }
  bool IsClosed(int) override { return false; }
  int Period(int, double& period) override { return period = 0.0, 0; }
  bool IsSingularAt(int, int) override { return false; }
  bool IsValid() override { return true; }
  bool IsVisible() override { return true; }
  void GetSurfaceDefinition(int&, int&, int&, int&, int&, int&, int&, int&, CaeArray<CaeVector>&, CaeArray<double>&,
                            CaeArray<double>&, CaeArray<double>&) override {}
  void GetCurveDefinition(int&, int&, int&, CaeArray<CaeVector>&, CaeArray<double>&, CaeArray<double>&) override {}

 private:
  int kind_;
  int index_;
  ShapeRef* body_;
};

// One body and the references made on it; it is the current shape source while it lives, and
// hands what is not its own to the source that was current before it (so several bodies can be
// alive together; they must go in the reverse order of their making).
class ShapeBody : public AmgShapeSource {
 public:
  explicit ShapeBody(const TopoDS_Shape& shape);
  ~ShapeBody() override;
  ShapeBody(const ShapeBody&) = delete;
  ShapeBody& operator=(const ShapeBody&) = delete;

  const TopoDS_Shape& Shape() const { return shape_; }
  ShapeRef* BodyRef() { return &body_; }
  // The reference of a sub-shape (kind 0 vertex, 1 edge, 2 face; TopExp index), made once.
  ShapeRef* Ref(int kind, int index);
  int Count(int kind) const;

  bool BodyShape(CaeTopoRef* body, TopoDS_Shape& shape) override;
  bool Locate(CaeTopoRef* ref, int& kind, int& index) override;

 private:
  TopoDS_Shape shape_;
  ShapeRef body_;
  std::map<std::pair<int, int>, std::unique_ptr<ShapeRef>> refs_;
  AmgShapeSource* previous_;
};

}  // namespace study
