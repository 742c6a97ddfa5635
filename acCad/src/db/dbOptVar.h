// The design variable kept in the drawing: the engine's OptVariable and a model-space entity (it
// draws nothing) in one. It drives one parameter of the part modeller, named by its key, between
// its bounds; its value is the parameter's value when it was made and afterwards the value last
// applied. The analysis control lists the drawing's variables.
//
// Record (after the host entity's fields): UInt16 version (630), String name, Int16 unit type
// (read as 0 below version 300), String unit text (from version 300), Double lower and upper
// bound, Double value, Int16 current mark, then the parameter key.
#pragma once

#include <vector>

#include "amg/CaeString.h"
#include "arx/dbentity.h"
#include "fea/OptModel.h"

class AmiObjectKey;
class AmiParamKey;
class DbFields;

class CaepOptVariable : public OptVariable, public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(CaepOptVariable);
  static void rxInit();

  // No key; the engine's text for the default unit type.
  CaepOptVariable();
  CaepOptVariable(const CaeString& name, CaeUnitType unitType);
  // Bound to a parameter: its value is the parameter's now (a failed read is a consistency
  // check). The variable takes the key.
  CaepOptVariable(const CaeString& name, CaeUnitType unitType, double lower, double upper, AmiParamKey* key,
                  int inMemory = 1);
  ~CaepOptVariable() override;

  // The parameter's key; null when it has none.
  AmiParamKey* ParamKey() const { return paramKey_; }

  // ---- engine side ----
  // Sets the value and writes it to the part (the CAD interface regenerates what uses it); a
  // refused write keeps the old value and answers 0. No key is a consistency check.
  int ApplyValue(double value) override;
  // The unit text stored when the variable was made.
  CaeString UnitText() const override { return unitText_; }
  void SetUnitText(const CaeString& text);

  // ---- host side ----
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  void File(DbFields& fields) const;
  void Read(DbFields& fields);
  void TakeKey(AmiParamKey* key);

  AmiParamKey* paramKey_ = nullptr;
  CaeString unitText_;
};

// Collects the parts to regenerate after the parameter changed: the part it lies in, else the
// parts of its users followed recursively; a part already collected (an equivalent key) is not
// added again. The caller releases the collected keys. A failing user or equivalence query is a
// consistency check.
void dbOptVarCollectUsingParts(const AmiParamKey* key, std::vector<AmiObjectKey*>& parts);
// Gives a variable with an empty unit text the engine's text for its unit type.
void dbOptVarFillUnitText(OptVariable* variable);
