// The part modeller's material file format (g/cm3, GPa, MPa, 1e-5/K, "NAME_at_KELVIN" material
// lines) over the system's own library class, which the user interface also reaches and which is
// therefore declared in cadInterface/CadMaterialLibrary.h.
#pragma once

#include "cadInterface/CadMaterialLibrary.h"

// The part modeller's material file.
class AcMatLibrary : public MaterialLibrary {
 public:
  explicit AcMatLibrary(const CaeString& path);
  ~AcMatLibrary() override;
};
