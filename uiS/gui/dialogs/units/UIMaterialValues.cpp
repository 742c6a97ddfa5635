#include "gui/dialogs/units/UIMaterialValues.h"

#include <filesystem>
#include <fstream>

#include "amg/CaeMaterial.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "mfc/win32_files.h"
#include "res/ResourceIds.h"

namespace {

constexpr double kRoomTemperatureKelvin = 298.15;

CaeString HostShortName(int baseType) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToShortString(CaeUnitSystem::GetHostUnit(baseType)) : CaeString();
}

}  // namespace

std::string UIMaterialUnitLabel(int type) {
  const std::string length = HostShortName(CaeUtLength).Str();
  const std::string degree = HostShortName(CaeUtTemperature).Str();
  switch (type) {
    case CaeUtTemperature: return degree;
    case CaeUtStress: return HostShortName(CaeUtForce).Str() + "/" + length + "^2";
    case CaeUtDensity: return HostShortName(CaeUtMass).Str() + "/" + length + "^3";
    case CaeUtExpansion: return "1/" + degree;
    case CaeUtConductivity:
      return HostShortName(CaeUtEnergy).Str() + "/" + HostShortName(CaeUtTime).Str() + "/" + length + "/" + degree;
    case CaeUtSpecificHeat:
      return HostShortName(CaeUtEnergy).Str() + "/" + HostShortName(CaeUtMass).Str() + "/" + degree;
    default: return std::string();
  }
}

double UIMaterialToNative(int type, double host) {
  return type == CaeUtNone ? host : CaeUnit::HostToNative(type, host);
}
double UIMaterialToHost(int type, double native) {
  return type == CaeUtNone ? native : CaeUnit::NativeToHost(type, native);
}

// The host's units copied, so that no current system is needed.
double UIRoomTemperatureInHostUnits() {
  CaeUnitSystem kelvin;
  kelvin.SetUnit(CaeUtTemperature, CaeKelvin);
  CaeUnitSystem host;
  for (int type = 0; type < CaeUnitSystem::kBaseCount; ++type) host.SetUnit(type, CaeUnitSystem::GetHostUnit(type));
  return CaeUnit(CaeUtTemperature).Convert(kRoomTemperatureKelvin, &kelvin, &host);
}

CString UIMaterialRefusal(const MaterialCheck& v) {
  const struct {
    bool ok;
    UINT line;
  } checks[] = {{CaeMaterial::VerifyModulus(v.modulus), IDS_MATERIAL_BAD_MODULUS},
                {CaeMaterial::VerifyPoisson(v.poisson), IDS_MATERIAL_BAD_POISSON},
                {CaeMaterial::VerifyDensity(v.density), IDS_MATERIAL_BAD_DENSITY},
                {CaeMaterial::VerifyModulus(v.ultimate), IDS_MATERIAL_BAD_ULTIMATE},
                {CaeMaterial::VerifyModulus(v.yield), IDS_MATERIAL_BAD_YIELD},
                {!v.checkHeat || CaeMaterial::VerifyConductivity(v.conductivity), IDS_MATERIAL_BAD_CONDUCTIVITY},
                {!v.checkHeat || CaeMaterial::VerifySpecificHeat(v.specificHeat), IDS_MATERIAL_BAD_SPECIFIC_HEAT}};
  CString lines;
  for (const auto& c : checks)
    if (!c.ok) lines += resLoadString(c.line).c_str();
  if (lines.IsEmpty()) return lines;
  CString text = resLoadString(IDS_MATERIAL_VALUES_HEAD).c_str();
  text += lines;
  return text;
}

void UIReturnMaterialLibrary(MaterialLibrary* library) {
  if (!library) return;
  if (CadInterface* cad = CadInterface::GetCurrent())
    cad->DeleteObject(library);
  else
    delete library;
}

bool UIReadableFile(const CString& path) {
  const std::string file = mfc::posixPath(path);
  std::ifstream in(file, std::ios::binary);
  return in.good() && !std::filesystem::is_directory(file);
}
