#include "gui/dialogs/units/UIDrawingUnitDlg.h"

#include <memory>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"

namespace {

constexpr int kFirstLengthUnit = CaeMeter;
constexpr int kLastLengthUnit = CaeFoot;

// One row per drawing length unit, indexed by the unit id.
constexpr std::array<std::array<int, 8>, 5> kPredefinedSystems = {{
    {CaeMeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz},
    {CaeCentimeter, CaeDegree, CaeCelsius, CaeDyne, CaeGram, CaeSecond, CaeCalorie, CaeHertz},
    {CaeMillimeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz},
    {CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz},
    {CaeFoot, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz},
}};

CaeString LongName(int unit) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToLongString(unit) : CaeString();
}

// Analysis objects of the current drawing that were made in the chosen unit.
int CountAnalysisObjects() {
  AnlControl* control = CadCurrentAnlControl();
  if (!control) return 0;
  return control->NumOptModels() + control->NumOptVariables() + control->NumAnlModels() + control->NumLoadCases() +
         control->NumRestraintCases();
}

}  // namespace

bool CadPredefinedHostUnits(int lengthUnit, std::array<int, 8>& units) {
  if (lengthUnit < kFirstLengthUnit || lengthUnit > kLastLengthUnit) return false;
  units = kPredefinedSystems[static_cast<size_t>(lengthUnit)];
  return true;
}

BEGIN_MESSAGE_MAP(CDrawingUnitDlg, CDialog)
ON_BN_CLICKED(IDC_FRAME_HELP, OnHelp)
END_MESSAGE_MAP()

CDrawingUnitDlg::CDrawingUnitDlg(Mode mode, CWnd* parent) : CDialog(kTemplateId, parent), mode_(mode) {}

BOOL CDrawingUnitDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_DRAWING_UNIT));
  if (!combo) return TRUE;
  for (int unit = kFirstLengthUnit; unit <= kLastLengthUnit; ++unit) combo->AddString(LongName(unit).c_str());
  combo->SetCurSel(0);
  if (mode_ == kFirstTime) return TRUE;

  CadInterface* cad = CadInterface::GetCurrent();
  const int current = cad ? cad->GetLengthUnit() : CaeUnitNone;
  if (current == CaeUnitNone) {
    mode_ = kFirstTime;
    return TRUE;
  }
  const int index = combo->FindStringExact(-1, LongName(current).c_str());
  if (index != CB_ERR) combo->SetCurSel(index);
  if (CountAnalysisObjects() != 0)
    combo->EnableWindow(FALSE);
  else
    mode_ = kFirstTime;
  return TRUE;
}

void CDrawingUnitDlg::OnOK() {
  CadInterface* cad = CadInterface::GetCurrent();
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_DRAWING_UNIT));
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (!cad || !combo || !table) return;
  const int index = combo->GetCurSel();
  if (index == CB_ERR) return;
  CString text;
  combo->GetLBText(index, text);
  int unit = table->StringToId(static_cast<const char*>(text));
  std::array<int, 8> host{};
  if (!CadPredefinedHostUnits(unit, host)) return;  // not a length unit: the dialog stays open

  cad->SetLengthUnit(&unit);
  if (mode_ == kFirstTime) {
    auto system =
        std::make_unique<CadUnitSystem>(host[0], host[1], host[2], host[3], host[4], host[5], host[6], host[7]);
    cad->SetHostUnitSystem(system.release());  // the interface owns it from here on
  }
  CDialog::OnOK();
}

void CDrawingUnitDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

int CadAskDrawingUnitIfUnset() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || cad->GetLengthUnit() != CaeUnitNone) return 0;
  ResourceSetter resources(1);  // also asked outside a command, which would switch them
  CDrawingUnitDlg dialog(CDrawingUnitDlg::kFirstTime);
  return static_cast<int>(dialog.DoModal());
}

int CadAskDrawingUnit() {
  ResourceSetter resources(1);
  CDrawingUnitDlg dialog(CDrawingUnitDlg::kChange);
  return static_cast<int>(dialog.DoModal());
}
