// Result sets: what a solved analysis leaves for display, as data. A set has a name, an analysis
// type, subsets (each with one value, for example a mode's frequency, under a common subset name
// and unit type) and results (one per result quantity). The bulk data of a result stay in files;
// a file result knows its data file.
//
// A result also holds its values by node for each subset (what the results reader leaves, in
// native units): a fixed number of components per node, in the order of CompName.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeName.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"

// The mesh a result set was computed on, as the results file gives it (native length units):
// nodes with coordinates, and elements with the solver's element type and their nodes. Shared
// between a set and its copies; never changed once made.
struct FerMesh {
  // The solver's element types (corner nodes first in every type).
  enum ElementType : int {
    kHex8 = 1,
    kWedge6 = 2,
    kTet4 = 3,
    kHex20 = 4,
    kWedge15 = 5,
    kTet10 = 6,
    kTri3 = 7,
    kTri6 = 8,
    kQuad4 = 9,
    kQuad8 = 10,
    kBeam2 = 11,
    kBeam3 = 12,
  };
  // The node count of an element type; 0 for a type the engine does not know.
  static int NodesOf(int type);
  std::vector<long> nodeIds;
  std::vector<double> coordinates;  // x, y, z per node
  std::vector<long> elementIds;
  std::vector<int> elementTypes;
  std::vector<std::size_t> elementStarts;  // into elementNodes; one more than there are elements
  std::vector<long> elementNodes;
  int NumNodes() const { return static_cast<int>(nodeIds.size()); }
  int NumElements() const { return static_cast<int>(elementIds.size()); }
};

// The name of a quantity type ("Stress", "Displacement", ...); "Result" for a type without one.
const char* FerQuantityName(int quantityType);

// The short text of a quantity's unit in the host system ("N/m^2"); empty without a unit.
CaeString FerUnitText(CaeUnitType type);

// Result quantities the engine names.
enum FerQuantityType : int {
  FerQtyStress = 1,
  FerQtyStrain = 2,
  FerQtyDisplacement = 3,  // also what drives a deformed shape
  FerQtyTemperature = 16,
  FerQtyHeatFlux = 17,
  FerQtyStrainEnergy = 18,   // strain energy density at the nodes (energy per volume)
  FerQtyErrorEstimate = 19,  // the estimated stress error at the nodes, percent of the peak stress
  FerQtyElementEnergy = 20,  // strain energy stored in each element (energy), by element
  FerQtyMaterial = 29,       // the Concept material quantity
};

// The analysis type of a result set: 0 stress, 1 vibration, 2 buckling, 3 heat transfer.
typedef int FerAnlType;

class FerResultSet;

class FerResultSubSet {
 public:
  explicit FerResultSubSet(double value = 0.0) : value_(value) {}
  // The native value of the subset (a mode's frequency or load factor).
  double GetValue() const { return value_; }
  void SetValue(double value);

 private:
  friend class FerResultSet;
  FerResultSet* set_ = nullptr;  // the set holding it, told before a change
  double value_;
};

struct FerDataSetting;

// One item of a result's information: a value and the node (or element) it belongs to.
class FerInfoData {
 public:
  FerInfoData(double value, long id) : value_(value), id_(id) {}
  double Value() const { return value_; }
  long Id() const { return id_; }

 private:
  double value_;
  long id_;
};

// The items FerResult::GetInfo gives, walked with FirstItem and NextItem (null past the last).
class FerInfo {
 public:
  void Clear() {
    items_.clear();
    cursor_ = 0;
  }
  void Add(double value, long id) { items_.emplace_back(value, id); }
  int NumItems() const { return static_cast<int>(items_.size()); }
  const FerInfoData* FirstItem() {
    cursor_ = 0;
    return NextItem();
  }
  const FerInfoData* NextItem() { return cursor_ < items_.size() ? &items_[cursor_++] : nullptr; }

 private:
  std::vector<FerInfoData> items_;
  std::size_t cursor_ = 0;
};

// Whether a quantity is known only at nodes (displacement, temperature, strain energy density,
// error estimate): its symbols sit at nodes.
int FerIsNodalOnly(int quantityType);

class FerResult : public virtual CaeActive {
 public:
  FerResult() = default;
  explicit FerResult(int quantityType);
  ~FerResult() override = default;

  // The quantity type of a result name ("Displacement", "Stress", "Strain", "Temperature",
  // "Heat Flux", "Strain Energy", "Error Estimate", "Material"); 0 for any other name.
  static int NameToType(const CaeString& name);

  const CaeString& Name() const { return name_; }
  void SetName(const CaeString& name) {
    AboutToChange();
    name_ = name;
  }
  int QuantityType() const { return quantityType_; }
  void SetQuantityType(int type);
  // The unit type of the quantity (stress, length, temperature, ...; no unit otherwise). Strain
  // energy density has the stress unit (energy per volume is force per area); the error estimate
  // is a percentage and has no unit.
  CaeUnitType UnitType() const;
  static constexpr int kMaxComponents = 11;
  // The name of component i (0-based) of the quantity; empty past the last one. Displacement and
  // heat flux: X, Y, Z, Magnitude; stress and strain: the equivalent value (von Mises), the three
  // principal values (largest first), then XX, YY, ZZ, XY, YZ, ZX; temperature, strain energy
  // density and error estimate: one.
  CaeString CompName(int i) const;
  // Fills all of `names` with the component names (cylindrical ones when asked and the quantity
  // has them); the list ends at the first empty name. Answers how many there are.
  int GetComponentNames(CaeString names[kMaxComponents], int cylindrical) const;
  // How the quantity can be displayed (unknown quantities: not at all).
  int CanAverage() const;
  int CanShowAsColors() const;
  int CanShowAsDeformation() const;
  int CanShowAsSymbol() const;
  int IsField() const { return field_; }
  void SetFieldValue(int flag) {
    AboutToChange();
    field_ = flag ? 1 : 0;
  }
  int EntityCount() const { return entityCount_; }
  void SetEntityCount(int count) {
    AboutToChange();
    entityCount_ = count;
  }
  int EntityType() const { return entityType_; }
  void SetEntityType(int type) {
    AboutToChange();
    entityType_ = type;
  }
  int DataType() const { return dataType_; }
  void SetDataType(int type) {
    AboutToChange();
    dataType_ = type;
  }
  int DataCount() const { return dataCount_; }
  void SetDataCount(int count) {
    AboutToChange();
    dataCount_ = count;
  }
  int SubSetCount() const { return subSetCount_; }
  void SetSubSetCount(int count) {
    AboutToChange();
    subSetCount_ = count;
  }
  int MaxEnt() const { return maxEnt_; }
  void SetMaxEnt(int value) {
    AboutToChange();
    maxEnt_ = value;
  }

  // Values by node. NumComponents is the number of CompName entries.
  int NumComponents() const;
  // Sets a subset's values (0-based subset): NumComponents values per id, node after node.
  void SetNodalData(int subset, std::vector<long> ids, std::vector<double> values);
  int NumNodalSubsets() const { return static_cast<int>(nodal_.size()); }
  const std::vector<long>& NodeIds(int subset) const;
  const std::vector<double>& NodeValues(int subset) const;
  // One value; false when the subset, node or component is not there.
  bool NodeValue(int subset, long id, int component, double& value) const;
  // Values by element, the same way (for the quantities the solver gives by element).
  void SetElementData(int subset, std::vector<long> ids, std::vector<double> values);
  int NumElementSubsets() const { return static_cast<int>(elemental_.size()); }
  const std::vector<long>& ElementIds(int subset) const;
  const std::vector<double>& ElementValues(int subset) const;
  bool ElementValue(int subset, long id, int component, double& value) const;
  // The smallest and largest value of a component over a subset's nodes; false when empty.
  bool Range(int subset, int component, double& minimum, double& maximum) const;
  // Information about the component the data setting names (its lowest bit) over the nodes of
  // `subset` (1-based, as the view counts), values multiplied by `scale`. Type 3 gives two items:
  // the smallest value, then the largest, each with its node. Answers the number of items (0 for
  // another type or without values); `info` is cleared first.
  static constexpr int kInfoMinMax = 3;
  int GetInfo(FerInfo& info, int infoType, int flag, const FerDataSetting& data, int subset, double scale) const;
  // Takes over the values of `other` (a result of the same quantity), leaving it without any.
  void TakeValues(FerResult& other);
  // The entity and subset counts that go with values loaded (or a data file read): set without
  // telling the set, as the values themselves are.
  void SetCountsOfValues(int entities, int subsets);

  // Gives the body temperature of the current load set this temperature result's values, node by
  // node: every node of the current model the result has a value for (its first subset) gets a
  // nodal temperature in place of the ones the temperature had. Nodes are matched by id, and by
  // place too when the current result set holding this result has its mesh (a remeshed model that
  // reused the ids gets no values of other places). Answers the number of nodal values made; 0
  // (nothing changed) for another quantity, without a current model or body temperature, or when
  // no node matches.
  int CreateEnv();
  // How many nodes of the current model CreateEnv would give a value (whether or not there is a
  // body temperature to take them).
  int EnvNodeCount();

 protected:
  // Before a field the set files changes: the set holding the result is told.
  void AboutToChange();

 private:
  friend class FerResultSet;
  FerResultSet* set_ = nullptr;
  struct Nodal {
    std::vector<long> ids;
    std::vector<double> values;
    // Built on the first lookup, once even when several threads look up at the same time (the
    // design doctor's worker reads values while the window thread draws them).
    mutable std::unordered_map<long, std::size_t> index;
    mutable std::shared_ptr<std::once_flag> indexed = std::make_shared<std::once_flag>();
  };
  static bool Lookup(const Nodal& data, int components, long id, int component, double& value);
  // The nodes of the current model with their value of this temperature result (see CreateEnv).
  std::vector<std::pair<class CaeNode*, double>> EnvValues();
  std::vector<Nodal> nodal_;
  std::vector<Nodal> elemental_;
  CaeString name_;
  int quantityType_ = 0;
  int field_ = 0;
  int entityCount_ = 0;
  int entityType_ = 0;
  int dataType_ = 0;
  int dataCount_ = 0;
  int subSetCount_ = 0;
  int maxEnt_ = 0;
};

// A result whose data live in a file beside the drawing.
class FerFileResult : public FerResult {
 public:
  using FerResult::FerResult;
  const CaeString& GetDataFileForDB() const { return dataFile_; }
  void SetDataFileFromDB(const CaeString& file) {
    AboutToChange();
    dataFile_ = file;
  }

 private:
  CaeString dataFile_;
};

class FerResultSet : public virtual CaeActive, public virtual CaeName {
 public:
  FerResultSet();
  explicit FerResultSet(const CaeString& name);
  ~FerResultSet() override;
  FerResultSet(const FerResultSet&) = delete;
  FerResultSet& operator=(const FerResultSet&) = delete;

  // Names the set; the set must be empty. Answers 1.
  int Create(const CaeString& name);
  // Drops every subset and result (a drawing restoring the set replaces them).
  void Clear() {
    AboutToChange();
    subSets_.clear();
    results_.clear();
    mesh_.reset();
    cursor_ = 0;
  }

  FerAnlType AnalType() const { return analType_; }
  void SetAnalType(FerAnlType type) {
    AboutToChange();
    analType_ = type;
  }
  const CaeString& AnalTypeName() const { return analTypeName_; }
  void SetAnlTypName(const CaeString& name) {
    AboutToChange();
    analTypeName_ = name;
  }
  // Modal: the subsets are vibration or buckling modes.
  int IsModal() const { return modal_; }
  void Modal(int flag) {
    AboutToChange();
    modal_ = flag ? 1 : 0;
  }
  int IsModelShape() const { return modelShape_; }
  void SetModelShape(int flag) {
    AboutToChange();
    modelShape_ = flag ? 1 : 0;
  }
  int IsModelConcept() const { return modelConcept_; }
  void SetModelConcept(int flag) {
    AboutToChange();
    modelConcept_ = flag ? 1 : 0;
  }

  // Subsets (owned), with their common name and unit type.
  int HasSubSets() const { return NumSubSets() > 0; }
  int NumSubSets() const { return static_cast<int>(subSets_.size()); }
  // 0-based; null out of range.
  FerResultSubSet* GetSubSet(int index) const;
  void AddSubSet(FerResultSubSet* subSet);
  CaeUnitType SubSetUnits() const { return subSetUnits_; }
  void SetSubSetUnits(CaeUnitType type) {
    AboutToChange();
    subSetUnits_ = type;
  }
  const CaeString& SubSetName() const { return subSetName_; }
  void SetSubSetName(const CaeString& name) {
    AboutToChange();
    subSetName_ = name;
  }

  // The mesh the results were computed on; null when the set has none (a stored set whose data
  // were not read back).
  const FerMesh* Mesh() const { return mesh_.get(); }
  std::shared_ptr<const FerMesh> SharedMesh() const { return mesh_; }
  void SetMesh(std::shared_ptr<const FerMesh> mesh) { mesh_ = std::move(mesh); }

  // Where the mesh and values are filed (FerResultData.h): the data file's name, as the drawing
  // keeps it, and the folder that holds it. The drawing sets the folder when it reads the set and
  // when it files the data; a set the results reader just made has no folder: its data are only
  // in memory.
  const CaeString& DataFile() const { return dataFile_; }
  void SetDataFile(const CaeString& name) {
    AboutToChange();
    dataFile_ = name;
  }
  const std::string& DataFolder() const { return dataFolder_; }
  void SetDataFolder(const std::string& folder) {
    dataFolder_ = folder;
    dataProblem_.clear();
  }
  // Brings the mesh and values in from the data file when the set has no mesh. False when they
  // cannot be had: DataProblem says why, and the first failure is reported (level 1); later calls
  // try again only after the folder was set anew.
  bool LoadData();
  const std::string& DataProblem() const { return dataProblem_; }

  // Results (owned), in the order added.
  int NumResults() const { return static_cast<int>(results_.size()); }
  void AddResult(FerResult* result);
  FerResult* FirstResult();
  FerResult* NextResult();
  // The first result of a quantity type, or null.
  FerResult* FindResult(int quantityType) const;

  // Called before anything a drawing files of the set changes (its header, subsets, results and
  // data file name): a set kept elsewhere (a drawing's) makes itself ready to record the change.
  // The mesh and values are not filed with the set and change without it.
  virtual void AboutToChange() {}

 protected:
  void AboutToRename() override { AboutToChange(); }

 private:
  FerAnlType analType_ = 0;
  CaeString analTypeName_;
  int modal_ = 0;
  int modelShape_ = 0;
  int modelConcept_ = 0;
  CaeUnitType subSetUnits_ = CaeUtNone;
  CaeString subSetName_;
  std::vector<std::unique_ptr<FerResultSubSet>> subSets_;
  std::vector<std::unique_ptr<FerResult>> results_;
  std::shared_ptr<const FerMesh> mesh_;
  CaeString dataFile_;
  std::string dataFolder_;
  std::string dataProblem_;
  std::size_t cursor_ = 0;
};
