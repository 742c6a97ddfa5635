// What the material editors share: the host unit label of a property's unit type, conversions of
// property values between host and native units, room temperature in host units, and the check
// of a row's values with its one combined refusal.
#pragma once
#include <string>

#include "mfc/cstring.h"

class MaterialLibrary;

// The host unit of a property's unit type, composed from the host's base units ("N/mm^2");
// empty for a type without a unit.
std::string UIMaterialUnitLabel(int unitType);
// Host and native values of a unit type; CaeUtNone is never converted.
double UIMaterialToNative(int unitType, double host);
double UIMaterialToHost(int unitType, double native);
// 298.15 K in the host's temperature unit.
double UIRoomTemperatureInHostUnits();

// The values a row is checked by, in host units; conductivity and specific heat only when
// `checkHeat` (a heat-transfer study needs them).
struct MaterialCheck {
  double modulus = 0;
  double poisson = 0;
  double density = 0;
  double ultimate = 0;
  double yield = 0;
  double conductivity = 0;
  double specificHeat = 0;
  bool checkHeat = false;
};
// Empty when every check passes; else "Enter a new value for the following Material
// Properties:" followed by the line of each failing value, in the order above.
CString UIMaterialRefusal(const MaterialCheck& values);

// Gives a library back to the CAD that opened it (which knows its real type); deletes it without
// a CAD. Null is ignored.
void UIReturnMaterialLibrary(MaterialLibrary* library);
// Whether `path` names a file that can be read (not a folder).
bool UIReadableFile(const CString& path);
