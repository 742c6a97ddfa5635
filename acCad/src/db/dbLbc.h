// CaepLbcEnt: a load or restraint on one vertex, edge or face of a part (every condition type but
// the model temperature 14, convection 18, heat generation 19 and the model-level loads). It
// carries the engine's AttLbc: a constant value vector in a coordinate system and six
// free-component flags. A member of a load set, or of a restraint set for restraints.
//
// Record (after the version word): Int16 type, String name (from 310), Int16 colour, Double
// scale, 3 Double value in the condition's own axes, the topology key, 6 Int16 component flags
// (3 below 300, the rest then 1), String coordinate-system kind ("cylindric", "spheric", "face",
// anything else cartesian), 16 Double transform in row order.
#pragma once

#include "db/dbBaseLbc.h"

class AcTopoRef;
class CaeFunc;

class CaepLbcEnt final : public CaepTopoLbcEntOf<AttLbc> {
 public:
  ACRX_DECLARE_MEMBERS(CaepLbcEnt);
  static void rxInit();
  static AcRxObject* make();

  // An empty entity (data version 0).
  CaepLbcEnt();
  // A new condition on `ref`: the entity takes the function and the coordinate system (null: global
  // axes); the key is the reference's own.
  CaepLbcEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref, CaeFunc* function,
             CaeCoordSys* coordSys, const AttLbcComponents* components);
  ~CaepLbcEnt() override;

  // After reading: the topology resolution, and a face coordinate system takes the reference too.
  void ResolveTopoRef();
  void Resolve() override { ResolveTopoRef(); }
  // Rebuilds the engine part from a record's values: descriptor of `type` (none is a consistency
  // check), the coordinate system (taken over), the components and a constant function.
  void BuildValueFunction(int type, const CaeVector& value, const int components[6], CaeCoordSys* coordSys);

 protected:
  const char* ClassName() const override { return "CaepLbcEnt"; }
  const char* SourceName() const override { return "acCad/src/db/dbLbc"; }
  void FileRecord(DbLbcFields& fields, int version) override;
  bool IsRestraint() const override { return StoredCategory() == AttKindRestraint; }
  void MarkEngineErased(bool erasing) override;
};

// Global axes: no system of its own, or a cartesian one exactly at the identity. A condition holds
// them as no system (a pin without axes of its own is a pin about its hole; with axes it is a
// plain restraint) and files them as a cartesian system at the identity.
bool dbIsGlobalAxes(const CaeCoordSys* coordSys);
// The coordinate system of a filed kind name: "cylindric", "spheric", "face" (when `faceAllowed`;
// else a consistency check naming `source`), anything else cartesian; null for global axes.
CaeCoordSys* dbCoordSysOfKind(const CaeString& kind, const CaeTransform& transform, bool faceAllowed,
                              const char* source);
// The constant value function of a condition type: a coordinate-linear function over a variable
// named with the type's display name and carrying the descriptor's unit type.
CaeFunc* dbConstantFunction(int type, const AttLbcDescript& descriptor, const CaeCoordSys* coordSys,
                            const CaeVector& value);
