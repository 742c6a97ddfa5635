#include "gui/dialogs/units/UIUnitsDlg.h"

#include <array>

#include "amg/CaeUnit.h"
#include "res/ResourceIds.h"

namespace {

struct Quantity {
  int type;     // CaeUnitType
  int firstId;  // its unit ids run from firstId to lastId
  int lastId;
  int comboId;
  int textId;
  std::array<int, 4> predefined;  // SI (m), cgs, English, SI (cm)
};

// In the order the helpers show them.
const Quantity kQuantities[] = {
    {CaeUtLength,
     CaeMeter,
     CaeFoot,
     IDC_UNITS_LENGTH,
     IDC_UNITS_LENGTH_TEXT,
     {CaeMeter, CaeCentimeter, CaeInch, CaeCentimeter}},
    {CaeUtAngle,
     CaeRadian,
     CaeRevolution,
     IDC_UNITS_ANGLE,
     IDC_UNITS_ANGLE_TEXT,
     {CaeDegree, CaeDegree, CaeDegree, CaeDegree}},
    {CaeUtTime, CaeSecond, CaeHour, IDC_UNITS_TIME, IDC_UNITS_TIME_TEXT, {CaeSecond, CaeSecond, CaeSecond, CaeSecond}},
    {CaeUtForce,
     CaeNewton,
     CaeKilogramForce,
     IDC_UNITS_FORCE,
     IDC_UNITS_FORCE_TEXT,
     {CaeNewton, CaeDyne, CaePoundForce, CaeNewton}},
    {CaeUtMass,
     CaeKilogram,
     CaePoundMass,
     IDC_UNITS_MASS,
     IDC_UNITS_MASS_TEXT,
     {CaeKilogram, CaeGram, CaePoundMass, CaeKilogram}},
    {CaeUtTemperature,
     CaeKelvin,
     CaeFahrenheit,
     IDC_UNITS_TEMPERATURE,
     IDC_UNITS_TEMPERATURE_TEXT,
     {CaeKelvin, CaeCelsius, CaeFahrenheit, CaeKelvin}},
    {CaeUtFrequency,
     CaeHertz,
     CaeRevPerMin,
     IDC_UNITS_FREQUENCY,
     IDC_UNITS_FREQUENCY_TEXT,
     {CaeHertz, CaeHertz, CaeHertz, CaeHertz}},
    {CaeUtEnergy, CaeJoule, CaeBtu, IDC_UNITS_ENERGY, IDC_UNITS_ENERGY_TEXT, {CaeJoule, CaeCalorie, CaeBtu, CaeJoule}},
};

CaeString LongName(int unit) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToLongString(unit) : CaeString();
}

const Quantity& QuantityOf(int type) {
  for (const Quantity& q : kQuantities)
    if (q.type == type) return q;
  return kQuantities[0];
}

int UnitOfSystem(const Quantity& quantity, int system) {
  switch (system) {
    case UIUnitsSIm:
    case UIUnitsCgs:
    case UIUnitsEnglish:
    case UIUnitsSIcm: return quantity.predefined[static_cast<size_t>(system)];
    case UIUnitsCustom: return UIUnitsCustomMarker;
    case UIUnitsHost: return CaeUnitSystem::GetHostUnit(quantity.type);
    default: return quantity.predefined[UIUnitsEnglish];
  }
}

}  // namespace

void UIUnitsFillCombos(CWnd* page) {
  if (!page) return;
  for (const Quantity& q : kQuantities) {
    auto* combo = static_cast<CComboBox*>(page->GetDlgItem(q.comboId));
    if (!combo) continue;
    combo->ResetContent();
    for (int unit = q.firstId; unit <= q.lastId; ++unit) combo->AddString(LongName(unit).c_str());
  }
}

void UIUnitsSelectSystem(CWnd* page, int system, BOOL label) {
  for (const Quantity& q : kQuantities) UIUnitsShowUnit(UnitOfSystem(q, system), page, q.comboId, q.textId, label);
}

void UIUnitsShowUnit(int unit, CWnd* page, int comboId, int textId, BOOL label) {
  if (!page) return;
  CWnd* combo = page->GetDlgItem(comboId);
  CWnd* text = page->GetDlgItem(textId);
  if (!combo || !text) return;
  if (unit == UIUnitsCustomMarker) {
    if (label) {
      combo->ShowWindow(SW_SHOW);
      text->ShowWindow(SW_HIDE);
    } else {
      combo->EnableWindow(TRUE);
    }
    return;
  }
  const CaeString name = LongName(unit);
  static_cast<CComboBox*>(combo)->SelectString(-1, name.c_str());
  if (label) {
    text->SetWindowText((" " + std::string(name.c_str())).c_str());
    combo->ShowWindow(SW_HIDE);
    text->ShowWindow(SW_SHOW);
  } else {
    combo->EnableWindow(FALSE);
  }
}

int UIUnitsDetectHostSystem() {
  std::array<bool, 4> candidate{};
  switch (CaeUnitSystem::GetHostUnit(CaeUtLength)) {
    case CaeMeter: candidate[UIUnitsSIm] = true; break;
    case CaeCentimeter: candidate[UIUnitsCgs] = candidate[UIUnitsSIcm] = true; break;
    case CaeInch: candidate[UIUnitsEnglish] = true; break;
    default: return UIUnitsCustom;
  }
  if (CaeUnitSystem::GetHostUnit(CaeUtAngle) != CaeDegree || CaeUnitSystem::GetHostUnit(CaeUtTime) != CaeSecond ||
      CaeUnitSystem::GetHostUnit(CaeUtFrequency) != CaeHertz)
    return UIUnitsCustom;
  for (int type : {CaeUtMass, CaeUtForce, CaeUtTemperature, CaeUtEnergy}) {
    const Quantity& q = QuantityOf(type);
    const int host = CaeUnitSystem::GetHostUnit(type);
    for (size_t system = 0; system < candidate.size(); ++system)
      if (q.predefined[system] != host) candidate[system] = false;
  }
  for (size_t system = 0; system < candidate.size(); ++system)
    if (candidate[system]) return static_cast<int>(system);
  return UIUnitsCustom;
}
