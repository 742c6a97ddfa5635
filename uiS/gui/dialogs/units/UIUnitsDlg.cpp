#include "gui/dialogs/units/UIUnitsDlg.h"

#include <array>

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/FerState.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
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

constexpr DWORD_PTR kUnitsHelp = 0x80000006;
constexpr int kGuideUnitsStep = 2;

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

// ---- CUnitsDlgPP ----

BEGIN_MESSAGE_MAP(CUnitsDlgPP, CPropertyPage)
ON_BN_CLICKED(IDC_UNITS_SI_M, OnSystemSIm)
ON_BN_CLICKED(IDC_UNITS_CGS, OnSystemCgs)
ON_BN_CLICKED(IDC_UNITS_ENGLISH, OnSystemEnglish)
ON_BN_CLICKED(IDC_UNITS_SI_CM, OnSystemSIcm)
ON_BN_CLICKED(IDC_UNITS_CUSTOM, OnSystemCustom)
ON_CBN_SELCHANGE(IDC_UNITS_LENGTH, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_ANGLE, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_TIME, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_MASS, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_FORCE, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_TEMPERATURE, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_FREQUENCY, OnSelectUnit)
ON_CBN_SELCHANGE(IDC_UNITS_ENERGY, OnSelectUnit)
END_MESSAGE_MAP()

CUnitsDlgPP::CUnitsDlgPP() : CPropertyPage(IDD_UNITS) {}

void CUnitsDlgPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_UNITS_SI_M, m_nSystem);
  DDX_CBString(dx, IDC_UNITS_LENGTH, m_strLength);
  DDX_CBString(dx, IDC_UNITS_ANGLE, m_strAngle);
  DDX_CBString(dx, IDC_UNITS_TIME, m_strTime);
  DDX_CBString(dx, IDC_UNITS_MASS, m_strMass);
  DDX_CBString(dx, IDC_UNITS_FORCE, m_strForce);
  DDX_CBString(dx, IDC_UNITS_TEMPERATURE, m_strTemperature);
  DDX_CBString(dx, IDC_UNITS_FREQUENCY, m_strFrequency);
  DDX_CBString(dx, IDC_UNITS_ENERGY, m_strEnergy);
}

BOOL CUnitsDlgPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  LoadHostUnits();
  m_bShown = TRUE;
  return TRUE;
}

// The combos first show the host's own units, so that a custom host system opens with them.
void CUnitsDlgPP::LoadHostUnits() {
  UIUnitsFillCombos(this);
  UIUnitsSelectSystem(this, UIUnitsHost, TRUE);
  m_nSystem = UIUnitsDetectHostSystem();
  UIUnitsSelectSystem(this, m_nSystem, TRUE);
  UpdateData(FALSE);
}

void CUnitsDlgPP::ChooseSystem(int system) {
  m_nSystem = system;
  UIUnitsSelectSystem(this, system, TRUE);
  UpdateData(FALSE);
  SetModified(TRUE);
}

BOOL CUnitsDlgPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kUnitsHelp, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

void CUnitsDlgPP::TakeUnitsFromTexts() {
  const struct {
    int textId;
    CString* member;
  } texts[] = {{IDC_UNITS_LENGTH_TEXT, &m_strLength},       {IDC_UNITS_ANGLE_TEXT, &m_strAngle},
               {IDC_UNITS_TIME_TEXT, &m_strTime},           {IDC_UNITS_MASS_TEXT, &m_strMass},
               {IDC_UNITS_FORCE_TEXT, &m_strForce},         {IDC_UNITS_TEMPERATURE_TEXT, &m_strTemperature},
               {IDC_UNITS_FREQUENCY_TEXT, &m_strFrequency}, {IDC_UNITS_ENERGY_TEXT, &m_strEnergy}};
  for (const auto& t : texts) {
    CString text;
    if (CWnd* control = GetDlgItem(t.textId)) control->GetWindowText(text);
    text.TrimLeft();
    *t.member = text;
  }
}

BOOL CUnitsDlgPP::Apply() {
  if (!m_bShown) return TRUE;
  if (!UpdateData(TRUE)) return FALSE;
  if (m_nSystem != UIUnitsCustom) TakeUnitsFromTexts();
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  auto id = [table](const CString& name) { return table ? table->StringToId(CaeString(name)) : CaeUnitNone; };
  // The drawing keeps the new system and frees the one it replaces; the engine's host system is
  // that same object, so it is not freed here again.
  if (CadInterface* cad = CadInterface::GetCurrent())
    cad->SetHostUnitSystem(new CadUnitSystem(id(m_strLength), id(m_strAngle), id(m_strTemperature), id(m_strForce),
                                             id(m_strMass), id(m_strTime), id(m_strEnergy), id(m_strFrequency)));
  UISetWizardTabState(kGuideUnitsStep, 1, 1);
  RefreshResultsDisplay();
  SetModified(FALSE);
  return TRUE;
}

// Results shown in the old units are drawn again in the new ones.
void CUnitsDlgPP::RefreshResultsDisplay() {
  CadInterface* cad = CadInterface::GetCurrent();
  SymbolVisibility flags{};
  if (!cad || !cad->GetSymbolVisibility(flags) || !flags.results) return;
  FerDisplay* display = FerDisplay::GetCurrent();
  if (!display) return;
  display->ForceRecreate();
  FerState* state = FerState::GetState();
  if (!state) CaeMsgCall::GeneralError("UIUnitsDlg", __LINE__);
  state->UpdateImage();
}
