// AcCadAppControl: the application controller for the AutoCAD host with Mechanical Desktop.
//
// It is the CAD-neutral controller (engine hooks, unit names, native unit system, descriptors)
// with one difference: the material library it starts with. The first match wins:
//   1. the configuration value "MatLibLoc" (user scope), when it names an existing file;
//   2. "<MCAD Installation Directory>\support\mcad.mat", when that file exists;
//   3. "<Root Directory>\zq_fea.mat", whether or not it exists.
// Paths may use "\" or "/"; the chosen path keeps the form it was built in. A missing
// configuration value leaves its part of the path empty.
#pragma once

#include "amg/CaeString.h"
#include "cadInterface/CadAppControl.h"

class AcCadAppControl : public CadAppControl {
 public:
  AcCadAppControl();
  ~AcCadAppControl() override;
};

// The material library the controller chooses, from the configuration as it is now.
CaeString acChooseMaterialLibraryPath();
