// A topology reference for test doubles: every operation answers "nothing here" (no children, no
// attributes, outputs left as they are, valid and visible), so a double overrides only what its
// test looks at. Include it only in tests that link the engine core.
#pragma once

#include "amg/CaeTopoRef.h"

namespace kestrum::test {

class TopoRefStub : public CaeTopoRef {
 public:
  explicit TopoRefStub(int kind = kFace) : kind_(kind) {}

  CaeTopoRef* FirstChild(int& flag) override { return flag = 0, nullptr; }
  CaeTopoRef* NextChild(CaeTopoRef*, int, int& nextFlag) override { return nextFlag = 0, nullptr; }
  CaeTopoRef* Body() override { return nullptr; }
  using CaeTopoRef::Feval;
  void Feval(const CaeVector&, CaeVector&) override {}
  using CaeTopoRef::Reval;
  void Reval(const CaeVector&, CaeVector&) override {}
  using CaeTopoRef::Project;
  void Project(const CaeVector&, CaeVector&, CaeVector&) override {}
  void FirstDerivs(const CaeVector&, CaeVector&, CaeVector&) override {}
  void SecondDerivs(const CaeVector&, CaeVector&, CaeVector&, CaeVector&) override {}
  void NoOperation(int, int, int, int) override {}
  void AddAttribute(CaeAttrib*) override {}
  bool RemoveAttribute(CaeAttrib*) override { return false; }
  CaeAttrib* FirstAttribute(CaeTypeId, int) override { return nullptr; }
  CaeAttrib* NextAttribute(CaeTypeId, CaeAttrib*, int) override { return nullptr; }
  int Kind() const override { return kind_; }
  void ParamRange(CaeVector&, CaeVector&) override {}
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
};

}  // namespace kestrum::test
