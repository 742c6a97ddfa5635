// Conditions: loads, restraints and thermal conditions of a model.
//
// AttBaseLbc holds what every condition has: its descriptor, its value function, its coordinate
// system, six free-component flags and optional nodal values. The kinds:
//   AttLbc        a load or restraint on a vertex, edge or face (also a CaeAttrib);
//   AttModelLbc   a load on the whole model (no topology);
//   AttLbcConv    a face convection (film coefficient and ambient temperature);
//   AttLbcHgen    a volumetric heat generation;
//   AttModelTemp  the model temperature (model and reference temperature).
// The engine's type test (GetInfo, compared with each class's Info) tells the kinds apart.
//
// A condition owns its function, its coordinate system and its nodal values. The case operations
// (Case, AddToCase, AddToCurrentCase, IsInCurrentCase) are overridden by the drawing's entities;
// the engine's own ones keep a pointer to the set and use the current analysis control.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeAttrib.h"
#include "amg/CaeName.h"
#include "amg/CaeTypeInfo.h"
#include "amg/CaeVector.h"
#include "fea/AttLbcDescript.h"

class AttLbcCase;
class CaeCoordSys;
class CaeFunc;
class CaeNode;

// Six free-component flags: translations x, y, z then rotations x, y, z; 1 means free.
struct AttLbcComponents {
  int flag[6] = {0, 0, 0, 0, 0, 0};
};

// One (temperature, value) row of a temperature-dependent value.
class AttTableTempValue {
 public:
  AttTableTempValue(double temperature, double value) : temperature_(temperature), value_(value) {}
  double Temp() const { return temperature_; }
  double Value() const { return value_; }

 private:
  double temperature_;
  double value_;
};

// A condition value tied to one mesh node. A nodal temperature is the first component.
class AttFlbc {
 public:
  // The node and the owner stay the caller's. Nodal values are in global axes: the coordinate
  // system argument is there for the callers' sake and must be null.
  AttFlbc(CaeNode* node, const AttFlbcDescript* descript, class AttBaseLbc* owner, const CaeVector& value,
          const AttLbcComponents& components, const CaeCoordSys* coordSys = nullptr);
  AttFlbc(const AttFlbc& other) = default;
  // The same value handed to another owner (the node is not read: it may be gone).
  AttFlbc(const AttFlbc& other, class AttBaseLbc* owner) : AttFlbc(other) { owner_ = owner; }
  // The node as it was given: it may have been freed with its mesh since. Read a node only
  // through a live one that IsOn() this value.
  CaeNode* GetNode() const { return node_; }
  // The id the node had when the value was made.
  long NodeId() const { return nodeId_; }
  // Whether this value belongs to the live node (not to a freed one that had its address).
  bool IsOn(const CaeNode& live) const;
  const AttFlbcDescript* Descript() const { return descript_; }
  class AttBaseLbc* Owner() const {
    return owner_;
  }
  const CaeVector& Value() const { return value_; }
  const int* FreeComponents() const { return components_.flag; }

 private:
  CaeNode* node_;
  long nodeId_;
  std::uint64_t nodeSerial_;
  const AttFlbcDescript* descript_;
  class AttBaseLbc* owner_;
  CaeVector value_;
  AttLbcComponents components_;
};

class AttBaseLbc : public virtual CaeActive, public virtual CaeName {
 public:
  CAE_DECLARE_TYPE_INFO;

  // A scratch condition of a descriptor (scratch 1: not meant to be listed anywhere).
  AttBaseLbc(const AttLbcDescript* descriptor, int scratch);
  // Takes ownership of the function and the coordinate system (either may be null); null
  // components give all-fixed flags.
  AttBaseLbc(const AttLbcDescript* descriptor, CaeFunc* function, CaeCoordSys* coordSys,
             const AttLbcComponents* components);
  ~AttBaseLbc() override;
  AttBaseLbc(const AttBaseLbc&) = delete;
  AttBaseLbc& operator=(const AttBaseLbc&) = delete;

  const AttLbcDescript* Descriptor() const { return descriptor_; }
  void SetDescriptor(const AttLbcDescript* descriptor) { descriptor_ = descriptor; }
  // The descriptor's type code; 0 without a descriptor.
  AttType Type() const { return descriptor_ ? descriptor_->type : 0; }
  int IsScratch() const { return scratch_; }

  // Null means global axes. The condition owns the system.
  CaeCoordSys* CoordSys() const { return coordSys_.get(); }
  void SetCoordSys(CaeCoordSys* coordSys);
  const int* FreeComponents() const { return components_.flag; }
  void FreeComponents(int out[6]) const;
  void SetFreeComponents(const int flags[6]);

  CaeFunc* Function() const { return function_.get(); }
  void SetFunction(CaeFunc* function);
  // The value at a point in the condition's own axes (zero without a function).
  CaeVector EvaluateVecAtPointLocal(const CaeVector& point) const;
  // The value at a point in global axes: the local components along the coordinate system's
  // unit vectors at that point.
  CaeVector EvaluateVecAtPoint(const CaeVector& point) const;
  // Whether the value comes from analysis results: it has nodal values (FerResult::CreateEnv).
  virtual int IsResultsBased() const { return NumFlbcs() > 0 ? 1 : 0; }

  // Nodal values (owned), with one nodal descriptor for all of them.
  const AttFlbcDescript* GetFDesc() const { return fdesc_; }
  void SetFDesc(const AttFlbcDescript* descript) { fdesc_ = descript; }
  int NumFlbcs() const { return static_cast<int>(flbcs_.size()); }
  AttFlbc* FirstFlbc();
  AttFlbc* NextFlbc();
  void AddFlbc(AttFlbc* flbc);
  void ClearFlbcs();

  // --- virtual operations, in the engine's order (after the destructor) ------------------
  virtual AttLbcCase* Case();
  virtual void AddToCase(AttLbcCase* set);
  // Adds the condition to the current control's current set of its kind (restraint set for
  // descriptor kind 1, load set otherwise); nothing without a control or set.
  virtual void AddToCurrentCase();
  virtual int IsInCurrentCase();
  virtual CaeTypeId GetInfo() const { return Info; }

 private:
  const AttLbcDescript* descriptor_;
  int scratch_ = 0;
  std::unique_ptr<CaeFunc> function_;
  std::unique_ptr<CaeCoordSys> coordSys_;
  AttLbcComponents components_;
  const AttFlbcDescript* fdesc_ = nullptr;
  std::vector<std::unique_ptr<AttFlbc>> flbcs_;
  std::size_t flbcCursor_ = 0;
  AttLbcCase* case_ = nullptr;
};

// A load or restraint on a vertex, edge or face.
class AttLbc : public AttBaseLbc, public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AttLbc(const AttLbcDescript* descriptor, CaeTopoRef* ref, CaeFunc* function, CaeCoordSys* coordSys,
         const AttLbcComponents* components);
  CaeTypeId GetInfo() const override { return Info; }
};

// A load on the whole model (descriptor kind 2). Not an attribute.
class AttModelLbc : public AttBaseLbc {
 public:
  CAE_DECLARE_TYPE_INFO;
  AttModelLbc(const AttLbcDescript* descriptor, CaeFunc* function, CaeCoordSys* coordSys,
              const AttLbcComponents* components);
  CaeTypeId GetInfo() const override { return Info; }
};

// Temperature-dependent rows, kept in insertion order; the walk is First then Next until null.
class AttTempTable {
 public:
  void Add(double temperature, double value) { rows_.emplace_back(temperature, value); }
  int Count() const { return static_cast<int>(rows_.size()); }
  AttTableTempValue* First();
  AttTableTempValue* Next();
  void Clear() { rows_.clear(); }

 private:
  std::vector<AttTableTempValue> rows_;
  std::size_t cursor_ = 0;
};

// Face convection: film coefficient and ambient temperature; the film coefficient is either
// constant or given by temperature rows.
class AttLbcConv : public AttBaseLbc, public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AttLbcConv(const AttLbcDescript* descriptor, CaeTopoRef* ref, double filmCoefficient, double ambientTemperature);
  int Constant() const { return constant_; }
  void Constant(int flag) { constant_ = flag ? 1 : 0; }
  double FilmCoef() const { return film_; }
  void SetFilmCoef(double value) { film_ = value; }
  double AmbientTemp() const { return ambient_; }
  void SetAmbientTemp(double value) { ambient_ = value; }
  void AddFilmValue(double temperature, double film) { table_.Add(temperature, film); }
  void ClearFilmValues() { table_.Clear(); }
  AttTableTempValue* FirstFilmValue() { return table_.First(); }
  AttTableTempValue* NextFilmValue() { return table_.Next(); }
  int NumValues() const { return table_.Count(); }
  CaeTypeId GetInfo() const override { return Info; }

 private:
  int constant_ = 1;
  double film_;
  double ambient_;
  AttTempTable table_;
};

// Volumetric heat generation, constant or given by temperature rows.
class AttLbcHgen : public AttBaseLbc, public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AttLbcHgen(const AttLbcDescript* descriptor, CaeTopoRef* ref, double heatGeneration);
  int Constant() const { return constant_; }
  void Constant(int flag) { constant_ = flag ? 1 : 0; }
  double HeatGeneration() const { return value_; }
  void SetHeatGeneration(double value) { value_ = value; }
  void AddHGenValue(double temperature, double value) { table_.Add(temperature, value); }
  void ClearHGenValues() { table_.Clear(); }
  AttTableTempValue* FirstHGenValue() { return table_.First(); }
  AttTableTempValue* NextHGenValue() { return table_.Next(); }
  int NumValues() const { return table_.Count(); }
  CaeTypeId GetInfo() const override { return Info; }

 private:
  int constant_ = 1;
  double value_;
  AttTempTable table_;
};

// The model temperature: a uniform temperature and the stress-free reference temperature. The
// constructor takes the model temperature first, then the reference temperature.
class AttModelTemp : public AttBaseLbc, public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AttModelTemp(const AttLbcDescript* descriptor, CaeTopoRef* ref, double modelTemperature, double referenceTemperature);
  double ModelTemp() const { return model_; }
  void SetModelTemp(double value) { model_ = value; }
  double RefTemp() const { return reference_; }
  void SetRefTemp(double value) { reference_ = value; }
  CaeTypeId GetInfo() const override { return Info; }

 private:
  double model_;
  double reference_;
};
