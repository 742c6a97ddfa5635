// Adding and modifying loads, restraints and heat-transfer environments through the attribute
// sheet: the three add loops behind the host commands, the modify entry points of the Explorer's
// Properties, and the two editors that fill the sheet, run it and hand its values, in native
// units, to the condition builders of the CAD interface.
#pragma once

class AttBaseLbc;
class AttLbcConv;
class AttLbcHgen;
class AttModelTemp;
class CAttPS;

// 0 loads, 1 restraints, 2 heat-transfer environments; any other kind does nothing.
void UIAttNew(int kind);
void UIAttNewLoad();
void UIAttNewRestraint();
void UIAttNewHeat();

int UIAttModify(AttBaseLbc* attribute);
int UIAttModifyModelTemp(AttModelTemp* temperature);
int UIAttModifyConvection(AttLbcConv* convection);
int UIAttModifyHeatGeneration(AttLbcHgen* generation);

// Run the sheet once on the attribute. 0: not shown, cancelled, answered No or redirected to an
// existing body load; otherwise 1 when modifying, else the add-another flag. A sheet parked for
// a geometry pick answers 0 for a new attribute and 1 when modifying.
int UIAttEditStructural(AttBaseLbc* attribute, int modify);
int UIAttEditHeat(AttBaseLbc* attribute, int modify);

// Creates the sheet (or re-arms the parked one); 0 only without an attribute and a sheet.
int UIAttShowSheet(int sheetKind, int modify, AttBaseLbc* attribute);
void acAttUpdateSymbolPage();

// The sheet kept while a geometry pick is pending; null otherwise.
CAttPS* UIAttPendingSheet();
// The last type created through each add loop (add-in lifetime).
struct UIAttRememberedTypes {
  int load;
  int restraint;
  int heat;
};
UIAttRememberedTypes& UIAttRemembered();
// Discards a parked sheet and restores the remembered types and coordinate type (add-in load and
// unload, a closed or switched drawing, tests).
void UIAttResetModuleState();
