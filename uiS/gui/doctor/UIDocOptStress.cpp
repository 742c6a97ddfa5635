#include "gui/doctor/UIDocOptStress.h"

#include "amg/CaeArray.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlModel.h"

namespace {

// The materials the doctor looks at: those of live sub-models whose mesh is not erased.
std::vector<CaeMaterial*> ModelMaterials(AnlModel* model) {
  std::vector<CaeMaterial*> materials;
  if (!model) return materials;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    AnlSubModel* sub = model->GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased() || !sub->GetMaterial()) continue;
    if (AmgMesh* mesh = sub->Mesh(); mesh && mesh->IsMarkedAsErased()) continue;
    materials.push_back(sub->GetMaterial());
  }
  return materials;
}

bool FirstRowYield(const CaeMaterial& material, double& yield) {
  CaeArray<double> temperatures;
  if (material.GetTemps(temperatures) < 1) return false;
  double values[CaeMaterial::kPropCount] = {};
  if (!material.GetProp(temperatures[0], values)) return false;
  yield = values[CaeMaterial::kYield];
  return true;
}

}  // namespace

void DocMaterialYields::Collect(AnlModel* model) {
  for (CaeMaterial* material : ModelMaterials(model)) {
    const std::string name = material->Name().Str();
    if (entries_.count(name)) continue;
    Entry entry;
    FirstRowYield(*material, entry.yield);
    entries_.emplace(name, entry);
  }
}

std::vector<CaeString> DocMaterialYields::Names() const {
  std::vector<CaeString> names;
  for (const auto& [name, entry] : entries_) names.emplace_back(name.c_str());
  return names;
}

bool DocMaterialYields::Yield(const CaeString& material, double& yield) const {
  const auto found = entries_.find(material.Str());
  if (found == entries_.end()) return false;
  yield = found->second.yield;
  return true;
}

bool DocMaterialYields::IsEdited(const CaeString& material) const {
  const auto found = entries_.find(material.Str());
  return found != entries_.end() && found->second.edited;
}

bool DocMaterialYields::Edit(const CaeString& material, double yield) {
  const auto found = entries_.find(material.Str());
  if (found == entries_.end()) return false;
  if (yield != found->second.yield) {
    found->second.yield = yield;
    found->second.edited = true;
  }
  return true;
}

int DocMaterialYields::WriteBack(AnlModel* model) const {
  const std::vector<CaeMaterial*> materials = ModelMaterials(model);
  for (CaeMaterial* material : materials)
    if (!entries_.count(material->Name().Str())) return -1;
  int changed = 0;
  for (CaeMaterial* material : materials) {
    const Entry& entry = entries_.at(material->Name().Str());
    if (!entry.edited) continue;
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    for (int t = 0; t < temperatures.Count(); ++t) {
      double v[CaeMaterial::kPropCount] = {};
      if (!material->GetProp(temperatures[t], v) || v[CaeMaterial::kYield] == entry.yield) continue;
      material->AddProp(temperatures[t], v[CaeMaterial::kDensity], v[CaeMaterial::kModulus], v[CaeMaterial::kPoisson],
                        entry.yield, v[CaeMaterial::kUltimate], v[CaeMaterial::kConductivity],
                        v[CaeMaterial::kExpansion], v[CaeMaterial::kSpecificHeat]);
      changed = 1;
    }
  }
  return changed;
}
