// CaepModelLbcEnt: a load on the whole model (spin, gravity, acceleration: descriptor kind 2),
// carrying the engine's AttModelLbc: a constant value vector in a coordinate system, never a face
// system, and no topology. Always a member of a load set; drawn as one symbol at the origin of its
// coordinate system.
//
// Record (after the version word): Int16 type, String name (from 310), Int16 colour, Double
// scale, 3 Double value in the condition's own axes, 3 Int16 component flags (the last three read
// as 1), String coordinate-system kind ("face" is refused), 16 Double transform.
#pragma once

#include "db/dbBaseLbc.h"

class CaeFunc;

class CaepModelLbcEnt final : public CaepLbcEntOf<AttModelLbc> {
 public:
  ACRX_DECLARE_MEMBERS(CaepModelLbcEnt);
  static void rxInit();
  static AcRxObject* make();

  CaepModelLbcEnt();
  // A new model-level load: the entity takes the function and the coordinate system.
  CaepModelLbcEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, CaeFunc* function,
                  CaeCoordSys* coordSys, const AttLbcComponents* components);
  ~CaepModelLbcEnt() override;

  // After reading there is no topology to find: the entity only becomes resolved.
  void ResolveTopoRef();
  void Resolve() override { ResolveTopoRef(); }
  void BuildValueFunction(int type, const CaeVector& value, const int components[6], CaeCoordSys* coordSys);
  // Where the symbol stands: the origin of the condition's axes.
  CaeVector SymbolPoint() const;

 protected:
  const char* ClassName() const override { return "CaepModelLbcEnt"; }
  const char* SourceName() const override { return "acCad/src/db/dbModelLbc"; }
  void FileRecord(DbLbcFields& fields, int version) override;
  void DrawCondition(AcGiWorldDraw* mode) override;
};
