// The two records about the drawing as a whole, kept in "CAEP_DICT": which program version saved
// it ("VERSION_INFO") and which length unit and host units it uses ("DWG_LENGTH_UNIT").
//
// Both file through the drawing that is being filed, never the active one: the units record
// writes that drawing's control length unit and host units and restores them into it.
#pragma once

#include "amg/CaeString.h"
#include "arx/dbobject.h"
#include "db/dbControl.h"

// The units record files the drawing's current objects from this data version on; older records
// carry none, and nothing is current after reading them.
inline constexpr Adesk::UInt16 kUnitsCurrentIdsRecordVersion = 633;

class CaepVersionObj : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepVersionObj);
  static void rxInit();

  CaepVersionObj() = default;
  CaepVersionObj(unsigned short version, const CaeString& buildText, const CaeString& platformText);

  unsigned short Version() const { return version_; }
  const CaeString& BuildText() const { return buildText_; }
  const CaeString& PlatformText() const { return platformText_; }

  // Written from the running program's version record when it exists, else from the fields.
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 private:
  void Stamped(unsigned short& version, CaeString& build, CaeString& platform) const;
  void Adopt(unsigned short version, CaeString build, CaeString platform);

  unsigned short version_ = 0;
  CaeString buildText_;
  CaeString platformText_;
};

class CaepUnitsObj : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepUnitsObj);
  static void rxInit();

  // Quantity types in the order the record stores their host units.
  static constexpr int kStoredTypes[8] = {0, 1, 5, 3, 4, 2, 7, 6};

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

  // What the record holds for a drawing: its length unit and the host units in stored order.
  struct Values {
    int lengthUnit = 33;
    int hostUnits[8] = {};
    bool hasCurrentIds = false;
    CaepAnlControl::CurrentIds currentIds;
  };

 private:
  Values Gather() const;
  // Checks what was read and applies it to the drawing being filed; a damaged record (a host unit
  // that does not measure its quantity) applies nothing and raises.
  void Apply(const Values& values);
};
