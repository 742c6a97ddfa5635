// The default limit of a new stress constraint: the ultimate stress of the material the part is
// analysed with, else of the material library's first material, else 1.0.
#include <cmath>
#include <cstdio>
#include <memory>

#include "amg/CaeMaterial.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"

namespace {

constexpr int kStressUnitType = 15;
constexpr double kRoundAbove = 100.0;  // host values above it are shown whole
constexpr double kSmallest = 1e-10;
constexpr double kNoMaterialLimit = 1.0;

// The ultimate stress at the material's first temperature; false without a row.
bool UltimateStress(const CaeMaterial* material, double& ultimate) {
  CaeArray<double> temperatures;
  if (!material || material->GetTemps(temperatures) <= 0) return false;
  double values[CaeMaterial::kPropCount] = {};
  if (!material->GetProp(temperatures[0], values)) return false;
  ultimate = values[CaeMaterial::kUltimate];
  return std::isfinite(ultimate);
}

bool ModelUltimateStress(AnlModel* model, double& ultimate) {
  for (int i = 0; model && i < model->NumSubModels(); ++i)
    if (AnlSubModel* sub = model->GetSubModel(i); sub && UltimateStress(sub->GetMaterial(), ultimate)) return true;
  return false;
}

bool LibraryUltimateStress(double& ultimate) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return false;
  CaeString path;
  std::unique_ptr<MaterialLibrary> library(cad->OpenMaterialLibrary(cad->MaterialLibraryLocation(path)));
  if (!library) return false;
  CaeList<CaeString> names;
  library->ListNames(names);
  // The first material of the library, as the library lists them.
  bool found = false;
  if (auto* first = names.FirstNode(); first->HasItem())
    found = UltimateStress(library->Find(*first->Item()), ultimate);
  for (auto* node = names.FirstNode(); node->HasItem(); node = node->Next()) delete node->Item();
  return found;
}

}  // namespace

double UIOptStressLimitFromUltimate(double native) {
  double host = CaeUnit::NativeToHost(kStressUnitType, native);
  if (host > kRoundAbove) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0lf", host);
    std::sscanf(text, "%lf", &host);
  }
  if (std::fabs(host) < kSmallest) host = kNoMaterialLimit;
  return CaeUnit::HostToNative(kStressUnitType, host);
}

double UIOptDefaultStressLimit() {
  double ultimate = kNoMaterialLimit;
  AnlControl* control = AnlControl::GetCurrent();
  bool found = control && ModelUltimateStress(control->CurrentAnlModel(), ultimate);
  if (control && !found) {
    AnlModel* model = control->FirstAnlModel();
    while (model && model->IsMarkedAsErased()) model = control->NextAnlModel();
    found = ModelUltimateStress(model, ultimate);
  }
  if (!found && !LibraryUltimateStress(ultimate)) ultimate = kNoMaterialLimit;
  return UIOptStressLimitFromUltimate(ultimate);
}
