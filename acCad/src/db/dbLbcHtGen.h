// CaepLbcHtGenEnt: a volumetric heat generation (type 19) in a heat-transfer model, carrying the
// engine's AttLbcHgen: one value, or a table of values by temperature. Always a member of a load
// set.
//
// Record (after the version word): Int16 type, String name (from 310), Int16 colour, Double
// scale, the topology key, Int16 constant flag; constant: Double heat generation; a table: Int16
// n, n x (Double temperature, Double value).
#pragma once

#include "db/dbBaseLbc.h"

class AcTopoRef;

class CaepLbcHtGenEnt final : public CaepTopoLbcEntOf<AttLbcHgen> {
 public:
  ACRX_DECLARE_MEMBERS(CaepLbcHtGenEnt);
  static void rxInit();
  static AcRxObject* make();

  CaepLbcHtGenEnt();
  // A constant heat generation on `ref`; the creation then sets the flag and the table.
  CaepLbcHtGenEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref,
                  double heatGeneration);
  ~CaepLbcHtGenEnt() override;

  void ResolveTopoRef();
  void Resolve() override { ResolveTopoRef(); }
  using AttLbcHgen::SetDescriptor;
  void SetDescriptor(int type);

 protected:
  const char* ClassName() const override { return "CaepLbcHtGenEnt"; }
  const char* SourceName() const override { return "acCad/src/db/dbLbcHtGen"; }
  void FileRecord(DbLbcFields& fields, int version) override;
};
