// CaepModelTempEnt: the temperature of a model (type 14), carrying the engine's AttModelTemp: a
// uniform model temperature with its reference temperature, optionally refined by temperatures at
// mesh nodes. Nodes are not drawing objects: each nodal value is filed by node id with the id of
// the analysis model that holds the nodes, and the nodal loads are rebuilt by the sets' post-load
// pass. Values whose nodes are not found stay with the entity and are filed again. Always a member
// of a load set; drawn as one symbol at the world origin.
//
// Record (after the version word): String name (from 310), Int16 colour, Double scale, a topology
// key (below 300 only; read and given up), Double reference temperature, Double model
// temperature; from 200: n, and when n > 0 the nodal descriptor type (Int16), the model id and n x
// (Int32 node id, 3 Double value, 3 Int16 component flags). n and the model id are Int16 below
// 631, Int32 from 631.
#pragma once

#include "db/dbBaseLbc.h"

class AcTopoRef;
class AnlModel;

class CaepModelTempEnt final : public CaepTopoLbcEntOf<AttModelTemp> {
 public:
  ACRX_DECLARE_MEMBERS(CaepModelTempEnt);
  static void rxInit();
  static AcRxObject* make();

  CaepModelTempEnt();
  // A new model temperature (no topology: `ref` is kept by the engine part only).
  CaepModelTempEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref,
                   double modelTemperature, double referenceTemperature);
  ~CaepModelTempEnt() override;

  // After reading: the descriptor of type 14 (none is a consistency check); data version 630.
  using AttModelTemp::SetDescriptor;
  void SetDescriptor();
  // The resolver: the nodal loads again from the stored values and the nodes of the stored model.
  void RebuildNodalTemps();
  void Resolve() override { RebuildNodalTemps(); }
  // Values kept for nodes not found yet make it results-based as much as the nodal loads do.
  int IsResultsBased() const override { return NumFlbcs() > 0 || !StoredRecords().empty() ? 1 : 0; }

 protected:
  const char* ClassName() const override { return "CaepModelTempEnt"; }
  const char* SourceName() const override { return "acCad/src/db/dbModelTemp"; }
  void FileRecord(DbLbcFields& fields, int version) override;
  void DrawCondition(AcGiWorldDraw* mode) override;

 private:
  // What is filed: the nodal values on live nodes, then the stored values that found no node.
  // A value whose node went with a remesh is not filed: the deck no longer applies it either.
  // `modelId` answers the model of the first value filed (0 when none is on a live node).
  std::vector<NodalTempRecord> FiledNodalTemps(long& modelId);
};
