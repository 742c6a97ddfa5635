#include "CadInterface/AcCadAppControl.h"

#include "amg/CaeConfig.h"
#include "mfc/win32_files.h"

namespace {

constexpr char kMechanicalDesktopLibrary[] = "\\support\\mcad.mat";

bool fileExists(const CaeString& path) { return !path.IsEmpty() && _access(path.c_str(), 0) == 0; }

}  // namespace

AcCadAppControl::AcCadAppControl() { SetMaterialLibraryPath(acChooseMaterialLibraryPath()); }

AcCadAppControl::~AcCadAppControl() = default;

CaeString acChooseMaterialLibraryPath() {
  CaeString configured;
  if (CaeConfig::GetValue(0, "MatLibLoc", configured) && fileExists(configured)) return configured;
  CaeString installation;
  CaeConfig::GetValue(1, "MCAD Installation Directory", installation);
  const CaeString mechanicalDesktop = installation + kMechanicalDesktopLibrary;
  if (fileExists(mechanicalDesktop)) return mechanicalDesktop;
  return CadDefaultMaterialLibraryPath();
}
