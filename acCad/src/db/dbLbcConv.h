// CaepLbcConvEnt: a face convection (type 18) in a heat-transfer model, carrying the engine's
// AttLbcConv: one film coefficient and an ambient temperature, or a table of film coefficients by
// temperature with the ambient temperature. Always a member of a load set.
//
// Record (after the version word): Int16 type, String name (from 310), Int16 colour, Double
// scale, the topology key, Int16 constant flag; constant: Double film coefficient, Double ambient
// temperature; a table: Double ambient temperature (from 631), Int16 n, n x (Double temperature,
// Double film coefficient).
#pragma once

#include "db/dbBaseLbc.h"

class AcTopoRef;

class CaepLbcConvEnt final : public CaepTopoLbcEntOf<AttLbcConv> {
 public:
  ACRX_DECLARE_MEMBERS(CaepLbcConvEnt);
  static void rxInit();
  static AcRxObject* make();

  CaepLbcConvEnt();
  // A constant convection on the face `ref`; the creation then sets the flag and the table.
  CaepLbcConvEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref, double filmCoefficient,
                 double ambientTemperature);
  ~CaepLbcConvEnt() override;

  void ResolveTopoRef();
  void Resolve() override { ResolveTopoRef(); }
  // After reading: the descriptor of `type` (none is a consistency check); data version 630.
  using AttLbcConv::SetDescriptor;
  void SetDescriptor(int type);

 protected:
  const char* ClassName() const override { return "CaepLbcConvEnt"; }
  const char* SourceName() const override { return "acCad/src/db/dbLbcConv"; }
  void FileRecord(DbLbcFields& fields, int version) override;
};
