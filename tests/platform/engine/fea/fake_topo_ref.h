// A topology reference for tests: a face that keeps the attributes attached to it.
#pragma once

#include <algorithm>
#include <vector>

#include "topo_ref_stub.h"

class FakeTopoRef : public kestrum::test::TopoRefStub {
 public:
  std::vector<CaeAttrib*> attributes;

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
  void AddAttribute(CaeAttrib* attribute) override { attributes.push_back(attribute); }
  bool RemoveAttribute(CaeAttrib* attribute) override {
    auto found = std::find(attributes.begin(), attributes.end(), attribute);
    if (found == attributes.end()) return false;
    attributes.erase(found);
    return true;
  }
  CaeAttrib* FirstAttribute(CaeTypeId, int) override { return attributes.empty() ? nullptr : attributes.front(); }
  void ParamRange(CaeVector& lower, CaeVector& upper) override {
    lower = {0, 0, 0};
    upper = {1, 1, 0};
  }
};
