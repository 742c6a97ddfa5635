// The objective of an optimisation model kept in the drawing: the engine's OptObjective and a
// drawing object (never drawn) in one. It keeps its model (owner) and, for a frequency or load
// factor, the analysis result case whose modes it refers to, by object id.
//
// Record (after the host object's fields): UInt16 version (630), String name, Int16 generic
// integer, Int16 response type, Int16 mode number, then above version 200: for frequency and load
// factor an Int16 "has case" (1) and the case (soft pointer), and the Double generic value.
#pragma once

#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "fea/OptModel.h"

class DbFields;

class CaepOptObjective : public OptObjective, public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(CaepOptObjective);
  static void rxInit();

  CaepOptObjective();
  // A new objective, not yet in the drawing.
  CaepOptObjective(const CaeString& name, OptResponseType responseType, int inMemory = 1);
  ~CaepOptObjective() override;

  AcDbObjectId OwnerId() const { return ownerId_; }
  AcDbObjectId AnlResultCaseId() const { return caseId_; }

  // ---- engine side ----
  ::OptModel* Owner() const override;
  void Owner(::OptModel* model) override;
  // 0 for a volume objective (a fraction of the part's volume), else 1.
  int UseNativeUnits() const override;
  // The linked case; null when none, erased or marked erased.
  AnlResltCase* AnlResultCase() const;
  // Links `resultCase` only where the response needs one: a modal case for a frequency, a
  // buckling case for a load factor; anything else leaves no case linked.
  void SetAnlResultCase(AnlResltCase* resultCase);
  // The active part's volume as the CAD interface reports it.
  double PartVolume() const;

  // ---- host side ----
  // Un-erasing links the objective again as its model's objective.
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  void File(DbFields& fields, bool dxf) const;
  void Read(DbFields& fields);

  AcDbObjectId ownerId_;
  AcDbObjectId caseId_;
};
