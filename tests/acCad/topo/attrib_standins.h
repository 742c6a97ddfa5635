// Small drawing entities that carry an engine attribute on part geometry, as the add-in's
// conditions, meshes and refinements do: each joins AcDbEntity with its engine attribute and with
// AcTopoAttribObject, owns the key it was made for, files it with its topology-lost flag, erases
// itself when its topology is lost and notes every reaction, so tests can see what re-resolution
// did to it.
#pragma once

#include <string>
#include <utility>

#include "arx/dbentity.h"
#include "fea/AmgMesh.h"
#include "fea/AttLbc.h"
#include "mcad/amikey.h"
#include "topo/acTopoUtil.h"

class AcTopoRef;

namespace topotest {

// What an attribute reaction does besides its own work: a test asks for it to unbalance the
// host's transactions from inside the pass.
enum class Mischief { None, LeaveTransactionOpen, EndOneTransactionTooMany };

class TestAttribHost : public AcDbEntity, public AcTopoAttribObject {
 public:
  ~TestAttribHost() override;
  TestAttribHost(const TestAttribHost&) = delete;
  TestAttribHost& operator=(const TestAttribHost&) = delete;

  AmiObjectKey* TopoKey() const override { return key_; }
  bool TopologyLost() const override { return topologyLost_; }
  void ReviveTopology() override;

  // The key is owned from now on (a null key leaves the entity without one).
  void SetKey(AmiObjectKey* key);
  int Erasures() const { return erasures_; }
  int Modifications() const { return modifications_; }
  int Revivals() const { return revivals_; }
  static Mischief mischief;
  // While set, UponTopoRefModify asks its reference to re-resolve (a reaction that uses its
  // reference): the pass must not start again from inside itself.
  static bool reenterOnModify;
  // While set, writing the entity to a drawing file asks its reference to re-resolve, as a
  // writer that looks its references up does.
  static bool resolveWhileFiling;

  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

 protected:
  TestAttribHost() = default;
  // The reactions of CaeAttrib, shared by the engine sides below.
  void LoseTopology();
  void TopologyModified(CaeTopoRef* reference);
  virtual void MarkEngine(bool erasing) = 0;

 private:
  AmiObjectKey* key_ = nullptr;
  bool topologyLost_ = false;
  int erasures_ = 0;
  int modifications_ = 0;
  int revivals_ = 0;
};

// A load or restraint.
class TestLoad : public TestAttribHost, public AttLbc {
 public:
  ACRX_DECLARE_MEMBERS(TestLoad);
  TestLoad() : AttLbc(nullptr, nullptr, nullptr, nullptr, nullptr) {}
  void UponTopoRefErase() override { LoseTopology(); }
  void UponTopoRefModify() override { TopologyModified(GetTopoRef()); }

 protected:
  void MarkEngine(bool erasing) override { erasing ? MarkAsErased() : MarkAsNotErased(); }
};

// A mesh-size constraint.
class TestRefinement : public TestAttribHost, public AmgConstraint {
 public:
  ACRX_DECLARE_MEMBERS(TestRefinement);
  void UponTopoRefErase() override { LoseTopology(); }
  void UponTopoRefModify() override { TopologyModified(GetTopoRef()); }

 protected:
  void MarkEngine(bool erasing) override { erasing ? MarkAsErased() : MarkAsNotErased(); }
};

// A load on the whole model: in a load set, on no topology.
class TestModelLoad : public AcDbEntity, public AttModelLbc {
 public:
  ACRX_DECLARE_MEMBERS(TestModelLoad);
  TestModelLoad() : AttModelLbc(nullptr, nullptr, nullptr, nullptr) {}
};

// Registers the classes above.
void registerAttribStandIns();

}  // namespace topotest
