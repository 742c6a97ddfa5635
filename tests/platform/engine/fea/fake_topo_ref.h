// A topology reference for tests: a face that keeps the attributes attached to it.
#pragma once

#include <algorithm>
#include <vector>

#include "amg/CaeTopoRef.h"

class FakeTopoRef : public CaeTopoRef {
 public:
  std::vector<CaeAttrib*> attributes;

  CaeTopoRef* FirstChild(int& flag) override { return flag = 0, nullptr; }
  CaeTopoRef* NextChild(CaeTopoRef*, int, int& next) override { return next = 0, nullptr; }
  CaeTopoRef* Body() override { return nullptr; }
  void Feval(const CaeVector& params, CaeVector& point) override { point = params; }
  void Reval(const CaeVector& point, CaeVector& params) override { params = point; }
  void Project(const CaeVector& point, CaeVector& closest, CaeVector& params) override {
    closest = point;
    params = point;
  }
  void FirstDerivs(const CaeVector&, CaeVector& du, CaeVector& dv) override {
    du = {1, 0, 0};
    dv = {0, 1, 0};
  }
  void SecondDerivs(const CaeVector&, CaeVector& a, CaeVector& b, CaeVector& c) override { a = b = c = {}; }
  void NoOperation(int, int, int, int) override {}
  void AddAttribute(CaeAttrib* attribute) override { attributes.push_back(attribute); }
  bool RemoveAttribute(CaeAttrib* attribute) override {
    auto found = std::find(attributes.begin(), attributes.end(), attribute);
    if (found == attributes.end()) return false;
    attributes.erase(found);
    return true;
  }
  CaeAttrib* FirstAttribute(CaeTypeId, int) override { return attributes.empty() ? nullptr : attributes.front(); }
  CaeAttrib* NextAttribute(CaeTypeId, CaeAttrib*, int) override { return nullptr; }
  int Kind() const override { return kFace; }
  void ParamRange(CaeVector& lower, CaeVector& upper) override {
    lower = {0, 0, 0};
    upper = {1, 1, 0};
  }
  double EdgeLength() override { return 0.0; }
  bool IsClosed(int) override { return false; }
  int Period(int, double& period) override { return period = 0.0, 0; }
  bool IsSingularAt(int, int) override { return false; }
  bool IsValid() override { return true; }
  bool IsVisible() override { return true; }
  void GetSurfaceDefinition(int&, int&, int&, int&, int&, int&, int&, int&, CaeArray<CaeVector>&, CaeArray<double>&,
                            CaeArray<double>&, CaeArray<double>&) override {}
  void GetCurveDefinition(int&, int&, int&, CaeArray<CaeVector>&, CaeArray<double>&, CaeArray<double>&) override {}
};
