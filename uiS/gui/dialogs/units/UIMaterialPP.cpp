#include "gui/dialogs/units/UIMaterialPP.h"

#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include "amg/CaeList.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UIMaterialValues.h"
#include "gui/graph2d/UIGraphMaterialDlg.h"
#include "mfc/ddx.h"
#include "mfc/services.h"
#include "res/ResourceIds.h"

CString UICurrentMaterialName;

namespace {

constexpr DWORD_PTR kMaterialsHelp = 0x20000 + IDD_MATERIALS;
constexpr double kSameTemperature = 1e-5;  // host units, between a typed and a shown temperature
constexpr double kNoRow = -1000.0;
constexpr int kMaxGeneratedNames = 100000;

// One value edit: its control, unit label, unit type, shown format and the row property it holds.
struct Field {
  int editId;
  int unitId;
  int unitType;
  const char* format;
  int prop;  // CaeMaterial::Prop
};

const Field kFields[] = {
    {IDC_MAT_MODULUS, IDC_MAT_MODULUS_UNIT, CaeUtStress, "%.5e", CaeMaterial::kModulus},
    {IDC_MAT_POISSON, IDC_MAT_POISSON_UNIT, CaeUtNone, "%.4f", CaeMaterial::kPoisson},
    {IDC_MAT_SHEAR, IDC_MAT_SHEAR_UNIT, CaeUtStress, "%.5e", CaeMaterial::kShearModulus},
    {IDC_MAT_DENSITY, IDC_MAT_DENSITY_UNIT, CaeUtDensity, "%.4e", CaeMaterial::kDensity},
    {IDC_MAT_EXPANSION, IDC_MAT_EXPANSION_UNIT, CaeUtExpansion, "%.5e", CaeMaterial::kExpansion},
    {IDC_MAT_ULTIMATE, IDC_MAT_ULTIMATE_UNIT, CaeUtStress, "%.5e", CaeMaterial::kUltimate},
    {IDC_MAT_YIELD, IDC_MAT_YIELD_UNIT, CaeUtStress, "%.5e", CaeMaterial::kYield},
    {IDC_MAT_CONDUCTIVITY, IDC_MAT_CONDUCTIVITY_UNIT, CaeUtConductivity, "%.5e", CaeMaterial::kConductivity},
    {IDC_MAT_SPECIFIC_HEAT, IDC_MAT_SPECIFIC_HEAT_UNIT, CaeUtSpecificHeat, "%.5e", CaeMaterial::kSpecificHeat},
};

// What the material graph can plot, in its order: the label beside the value (without its
// '&'), the value's unit label and unit type.
struct GraphedProperty {
  const char* name;
  int unitLabelId;
  int unitType;
};
const GraphedProperty kGraphedProperties[] = {
    {"Mass Density", IDC_MAT_DENSITY_UNIT, CaeUtDensity},
    {"Young's Modulus", IDC_MAT_MODULUS_UNIT, CaeUtStress},
    {"Shear Modulus", IDC_MAT_SHEAR_UNIT, CaeUtStress},
    {"Maximum Yield Stress", IDC_MAT_YIELD_UNIT, CaeUtStress},
    {"Ultimate Stress", IDC_MAT_ULTIMATE_UNIT, CaeUtStress},
    {"Thermal Conductivity", IDC_MAT_CONDUCTIVITY_UNIT, CaeUtConductivity},
    {"Coeff. of Expansion", IDC_MAT_EXPANSION_UNIT, CaeUtExpansion},
    {"Specific Heat", IDC_MAT_SPECIFIC_HEAT_UNIT, CaeUtSpecificHeat},
};

CString Formatted(const char* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}

CString TemperatureText(double host) { return Formatted("%.4f", host); }

// A whole text that reads as a finite number.
bool ReadNumber(const CString& text, double& value) {
  double read = 0;
  char rest = 0;
  if (std::sscanf(text, " %lf %c", &read, &rest) != 1 || !std::isfinite(read)) return false;
  value = read;
  return true;
}

}  // namespace

void CMaterialPP::ReturnLibrary::operator()(MaterialLibrary* library) const { UIReturnMaterialLibrary(library); }

BEGIN_MESSAGE_MAP(CMaterialPP, CPropertyPage)
ON_BN_CLICKED(IDC_MAT_GRAPH, OnGraph)
ON_BN_CLICKED(IDC_MAT_NEW, OnNewMaterial)
ON_BN_CLICKED(IDC_MAT_DELETE, OnDeleteMaterial)
ON_BN_CLICKED(IDC_MAT_TEMP_NEW, OnNewTemperature)
ON_BN_CLICKED(IDC_MAT_TEMP_DELETE, OnDeleteTemperature)
ON_CBN_SELCHANGE(IDC_MAT_TEMPERATURE, OnSelectTemperature)
ON_CBN_EDITCHANGE(IDC_MAT_TEMPERATURE, OnEditTemperatureText)
ON_CBN_KILLFOCUS(IDC_MAT_TEMPERATURE, OnTemperatureKillFocus)
ON_CBN_SELCHANGE(IDC_MAT_NAME, OnSelectMaterial)
ON_CBN_EDITCHANGE(IDC_MAT_NAME, OnEditMaterialText)
ON_CBN_KILLFOCUS(IDC_MAT_NAME, OnMaterialKillFocus)
ON_EN_CHANGE(IDC_MAT_MODULUS, OnChangeModulus)
ON_EN_CHANGE(IDC_MAT_POISSON, OnChangeModulus)
ON_EN_CHANGE(IDC_MAT_SHEAR, OnChangeShearModulus)
ON_EN_CHANGE(IDC_MAT_DENSITY, OnChangeProperty)
ON_EN_CHANGE(IDC_MAT_EXPANSION, OnChangeProperty)
ON_EN_CHANGE(IDC_MAT_ULTIMATE, OnChangeProperty)
ON_EN_CHANGE(IDC_MAT_YIELD, OnChangeProperty)
ON_EN_CHANGE(IDC_MAT_CONDUCTIVITY, OnChangeProperty)
ON_EN_CHANGE(IDC_MAT_SPECIFIC_HEAT, OnChangeProperty)
ON_BN_CLICKED(IDC_MAT_BROWSE, OnBrowseDatabase)
END_MESSAGE_MAP()

CMaterialPP::CMaterialPP() : CPropertyPage(IDD_MATERIALS) {}

CMaterialPP::~CMaterialPP() = default;

CComboBox& CMaterialPP::MaterialCombo() { return *static_cast<CComboBox*>(GetDlgItem(IDC_MAT_NAME)); }
CComboBox& CMaterialPP::TemperatureCombo() { return *static_cast<CComboBox*>(GetDlgItem(IDC_MAT_TEMPERATURE)); }

CString CMaterialPP::ComboText(int id) {
  CString text;
  if (CWnd* control = GetDlgItem(id)) control->GetWindowText(text);
  return text;
}

void CMaterialPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBString(dx, IDC_MAT_NAME, m_strMaterial);
  DDX_CBString(dx, IDC_MAT_TEMPERATURE, m_strTemperature);
  DDX_Text(dx, IDC_MAT_MODULUS, m_dModulus);
  DDX_Text(dx, IDC_MAT_POISSON, m_dPoisson);
  DDX_Text(dx, IDC_MAT_SHEAR, m_dShearModulus);
  DDX_Text(dx, IDC_MAT_DENSITY, m_dDensity);
  DDX_Text(dx, IDC_MAT_EXPANSION, m_dExpansion);
  DDX_Text(dx, IDC_MAT_ULTIMATE, m_dUltimateStress);
  DDX_Text(dx, IDC_MAT_YIELD, m_dYieldStress);
  DDX_Text(dx, IDC_MAT_CONDUCTIVITY, m_dConductivity);
  DDX_Text(dx, IDC_MAT_SPECIFIC_HEAT, m_dSpecificHeat);
}

BOOL CMaterialPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (m_strLibraryPath.IsEmpty()) {
    CaeString path;
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->MaterialLibraryLocation(path);
    m_strLibraryPath = path.c_str();
  }
  SetDlgItemText(IDC_MAT_LIBRARY_PATH, m_strLibraryPath);
  LoadLibraryList();
  m_btnNewMaterial.AutoLoad(IDC_MAT_NEW, this);
  m_btnDeleteMaterial.AutoLoad(IDC_MAT_DELETE, this);
  m_btnNewTemperature.AutoLoad(IDC_MAT_TEMP_NEW, this);
  m_btnDeleteTemperature.AutoLoad(IDC_MAT_TEMP_DELETE, this);
  if (auto* generic = dynamic_cast<CGenericPS*>(sheet()); generic && generic->m_toolTip.m_hWnd) {
    const struct {
      int id;
      UINT text;
    } tips[] = {{IDC_MAT_BROWSE, IDS_TIP_BROWSE_FILE},
                {IDC_MAT_NEW, IDS_TIP_ADD_MATERIAL},
                {IDC_MAT_DELETE, IDS_TIP_REMOVE_MATERIAL},
                {IDC_MAT_TEMP_NEW, IDS_TIP_ADD_TEMPERATURE},
                {IDC_MAT_TEMP_DELETE, IDS_TIP_REMOVE_TEMPERATURE}};
    for (const auto& tip : tips) generic->m_toolTip.AddTool(GetDlgItem(tip.id), resLoadString(tip.text).c_str());
  }
  m_bShown = TRUE;
  return TRUE;
}

BOOL CMaterialPP::OnSetActive() {
  CPropertyPage::OnSetActive();
  SetUnitLabels();
  OnSelectMaterial();
  return TRUE;
}

BOOL CMaterialPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kMaterialsHelp, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

BOOL CMaterialPP::Apply() {
  if (!m_bShown) return TRUE;
  if (!CommitMaterial()) return FALSE;
  SetUnitLabels();
  OnSelectMaterial();
  SetModified(FALSE);
  return TRUE;
}

// ---- library and lists ----

void CMaterialPP::LoadLibraryList() {
  MaterialCombo().ResetContent();
  m_pMaterial = nullptr;
  m_pLibrary.reset();  // gives the old library back, which writes its file when modified
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad) m_pLibrary.reset(cad->OpenMaterialLibrary(CaeString(m_strLibraryPath)));
  if (!m_pLibrary) return;
  CaeOwningList<CaeString> names;
  m_pLibrary->ListNames(names);
  for (auto* node = names.FirstNode(); node->HasItem(); node = node->Next())
    MaterialCombo().AddString(node->Item()->c_str());
  if (m_strMaterial.IsEmpty() || MaterialCombo().SelectString(-1, m_strMaterial) < 0)
    MaterialCombo().SetCurSel(MaterialCombo().GetCount() > 0 ? 0 : -1);
}

void CMaterialPP::SelectCurrentMaterial() {
  const int selected = MaterialCombo().GetCurSel();
  if (selected < 0) {
    m_pMaterial = nullptr;
    return;
  }
  MaterialCombo().GetLBText(selected, m_strMaterial);
  m_strListedName = m_strMaterial;
  if (!m_pLibrary) return;
  UICurrentMaterialName = m_strMaterial;
  m_pMaterial = m_pLibrary->Find(CaeString(m_strMaterial));
}

void CMaterialPP::OnSelectMaterial() {
  // The platform reports a new selection while the edit part still shows the previous material,
  // so the commit sees what the page showed. A refused commit keeps that material selected.
  CComboBox& combo = MaterialCombo();
  CString wanted;
  if (combo.GetCurSel() >= 0) combo.GetLBText(combo.GetCurSel(), wanted);
  if (!CommitMaterial()) {
    if (m_pMaterial) combo.SetCurSel(combo.FindStringExact(-1, m_strListedName));
    return;
  }
  // A rename during the commit re-sorts the list: find the chosen entry again by its text.
  if (!wanted.IsEmpty()) combo.SetCurSel(combo.FindStringExact(-1, wanted));
  SelectCurrentMaterial();
  ListTemperatures();
}

void CMaterialPP::ListTemperatures() {
  // The same material listed again (units changed, Apply) keeps its selected row.
  const double previous = m_pMaterial == m_pListedMaterial ? SelectedTemperature() : kNoRow;
  m_pListedMaterial = m_pMaterial;
  CComboBox& combo = TemperatureCombo();
  combo.ResetContent();
  m_rowTemperatures.clear();
  m_nSelectedRow = -1;
  if (!m_pMaterial) {
    m_strTemperature.Empty();
    LoadFields();
    return;
  }
  CaeArray<double> temperatures;
  m_pMaterial->GetTemps(temperatures);
  for (int i = 0; i < temperatures.Count(); ++i) {
    const double native = *temperatures.ItemAt(i);
    const CString text = TemperatureText(CaeUnit::NativeToHost(CaeUtTemperature, native));
    if (i == 0 && m_strTemperature.IsEmpty()) m_strTemperature = text;
    combo.AddString(text);
    m_rowTemperatures.push_back(native);
  }
  int found = -1;
  for (size_t i = 0; i < m_rowTemperatures.size() && previous != kNoRow; ++i)
    if (m_rowTemperatures[i] == previous) found = static_cast<int>(i);
  if (found < 0) found = combo.FindStringExact(-1, m_strTemperature);
  SelectRow(found >= 0 ? found : 0);
  LoadFields();
}

void CMaterialPP::SelectRow(int index) {
  CComboBox& combo = TemperatureCombo();
  if (index < 0 || index >= combo.GetCount()) {
    m_nSelectedRow = -1;
    combo.SetCurSel(-1);
    m_strTemperature.Empty();
    return;
  }
  combo.SetCurSel(index);
  combo.GetLBText(index, m_strTemperature);
  m_nSelectedRow = index;
}

double CMaterialPP::SelectedTemperature() const {
  if (m_nSelectedRow < 0 || m_nSelectedRow >= static_cast<int>(m_rowTemperatures.size())) return kNoRow;
  return m_rowTemperatures[static_cast<size_t>(m_nSelectedRow)];
}

void CMaterialPP::OnSelectTemperature() {
  const int chosen = TemperatureCombo().GetCurSel();
  const int previous = m_nSelectedRow;
  if (!CommitMaterial()) {
    TemperatureCombo().SetCurSel(previous);
    return;
  }
  SelectCurrentMaterial();
  if (chosen < 0) return;
  SelectRow(chosen);
  LoadFields();
}

void CMaterialPP::LoadFields() {
  Values values{};
  if (!m_pMaterial || !m_pMaterial->GetProp(SelectedTemperature(), values))
    for (double& value : values) value = 0;
  double* members[] = {&m_dModulus,        &m_dPoisson,     &m_dShearModulus, &m_dDensity,     &m_dExpansion,
                       &m_dUltimateStress, &m_dYieldStress, &m_dConductivity, &m_dSpecificHeat};
  m_bLoading = TRUE;
  for (size_t i = 0; i < std::size(kFields); ++i) {
    const Field& field = kFields[i];
    *members[i] = UIMaterialToHost(field.unitType, values[field.prop]);
    m_shown[i].text = Formatted(field.format, *members[i]);
    m_shown[i].native = values[field.prop];
    SetDlgItemText(field.editId, m_shown[i].text);
  }
  m_bLoading = FALSE;
}

void CMaterialPP::SetUnitLabels() {
  SetDlgItemText(IDC_MAT_TEMP_UNIT, UIMaterialUnitLabel(CaeUtTemperature).c_str());
  for (const Field& field : kFields) SetDlgItemText(field.unitId, UIMaterialUnitLabel(field.unitType).c_str());
}

// ---- edits ----

void CMaterialPP::OnChangeModulus() {
  if (m_bLoading) return;
  m_bDirty = TRUE;
  ReadNumber(ComboText(IDC_MAT_MODULUS), m_dModulus);
  ReadNumber(ComboText(IDC_MAT_POISSON), m_dPoisson);
  m_dShearModulus = m_dModulus * 0.5 / (m_dPoisson + 1);
  m_bLoading = TRUE;
  SetDlgItemText(IDC_MAT_SHEAR, Formatted("%.5e", m_dShearModulus));
  m_bLoading = FALSE;
  SetModified(TRUE);
}

void CMaterialPP::OnChangeProperty() {
  if (m_bLoading) return;
  m_bDirty = TRUE;
  SetModified(TRUE);
}

bool CMaterialPP::ReadFields(Values& native, bool check) {
  if (!UpdateData(TRUE)) return false;
  if (check && !CheckValues()) return false;
  const double host[] = {m_dModulus,        m_dPoisson,     m_dShearModulus, m_dDensity,     m_dExpansion,
                         m_dUltimateStress, m_dYieldStress, m_dConductivity, m_dSpecificHeat};
  for (size_t i = 0; i < std::size(kFields); ++i) {
    // A value left as shown keeps every digit it has; the shown text has only a few.
    const bool untouched = ComboText(kFields[i].editId) == m_shown[i].text;
    native[kFields[i].prop] = untouched ? m_shown[i].native : UIMaterialToNative(kFields[i].unitType, host[i]);
  }
  return true;
}

bool CMaterialPP::CheckValues() {
  MaterialCheck values;
  values.modulus = m_dModulus;
  values.poisson = m_dPoisson;
  values.density = m_dDensity;
  values.ultimate = m_dUltimateStress;
  values.yield = m_dYieldStress;
  const CString refusal = UIMaterialRefusal(values);
  if (refusal.IsEmpty()) return true;
  ShowMessage(refusal);
  return false;
}

CaeMaterial* CMaterialPP::BuildMaterial() {
  Values page{};
  if (!m_pMaterial || !ReadFields(page, true)) return nullptr;
  const double selected = SelectedTemperature();
  auto* built = new CaeMaterial(CaeString(m_strMaterial));
  CaeArray<double> temperatures;
  m_pMaterial->GetTemps(temperatures);
  for (int i = 0; i < temperatures.Count(); ++i) {
    const double t = *temperatures.ItemAt(i);
    Values row{};
    const double* v = page;
    if (t != selected) {
      m_pMaterial->GetProp(t, row);
      v = row;
    }
    built->AddProp(t, v[CaeMaterial::kDensity], v[CaeMaterial::kModulus], v[CaeMaterial::kPoisson],
                   v[CaeMaterial::kYield], v[CaeMaterial::kUltimate], v[CaeMaterial::kConductivity],
                   v[CaeMaterial::kExpansion], v[CaeMaterial::kSpecificHeat]);
  }
  return built;
}

BOOL CMaterialPP::CommitMaterial() {
  if (!m_bShown || !m_pMaterial || !m_pLibrary) return TRUE;
  if (!TakeTypedName() || !TakeTypedTemperature()) return FALSE;
  if (!m_bDirty) return TRUE;
  std::unique_ptr<CaeMaterial> built(BuildMaterial());
  if (!built) return FALSE;
  const CaeString oldName = m_pMaterial->Name();
  if (built->Name() == oldName) {
    m_pLibrary->Replace(oldName, *built);
  } else {
    // A rename: the material goes under its new name and leaves the old one.
    const CaeString newName = built->Name();
    if (!m_pLibrary->Store(built.release())) return FALSE;
    m_pLibrary->Remove(oldName);
    UICurrentMaterialName = newName.c_str();
  }
  m_pMaterial = m_pLibrary->Find(CaeString(m_strMaterial));
  SaveLibrary();
  m_bDirty = FALSE;
  CancelToClose();
  return TRUE;
}

void CMaterialPP::SaveLibrary() {
  if (m_pLibrary && m_pLibrary->IsModified()) m_pLibrary->Save();  // a failure is reported by the library
}

bool CMaterialPP::TakeTypedName() {
  if (!m_pMaterial) return true;
  CComboBox& combo = MaterialCombo();
  const CString typed = ComboText(IDC_MAT_NAME);
  if (typed == m_strListedName) return true;
  CString trimmed = typed;
  trimmed.Trim();
  const int listed = combo.FindStringExact(-1, m_strListedName);
  const int same = combo.FindStringExact(-1, typed);
  CString refusal;
  if (trimmed.IsEmpty())
    refusal = resLoadString(IDS_MATERIAL_NAME_EMPTY).c_str();
  else if (same >= 0 && same != listed)
    refusal.Format(resLoadString(IDS_MATERIAL_NAME_TAKEN).c_str(), typed.str().c_str());
  if (!refusal.IsEmpty()) {
    ShowMessage(refusal);
    combo.SetWindowText(m_strListedName);
    return false;
  }
  m_bDirty = TRUE;
  if (listed >= 0) combo.DeleteString(listed);
  combo.SetCurSel(combo.AddString(typed));
  m_strMaterial = typed;
  m_strListedName = typed;
  SetModified(TRUE);
  return true;
}

bool CMaterialPP::TakeTypedTemperature() {
  if (!m_pMaterial || m_nSelectedRow < 0) return true;
  CComboBox& combo = TemperatureCombo();
  CString shown;
  combo.GetLBText(m_nSelectedRow, shown);
  const CString typedText = ComboText(IDC_MAT_TEMPERATURE);
  double typed = 0;
  double before = 0;
  if (!ReadNumber(typedText, typed) || !ReadNumber(shown, before) || std::fabs(typed - before) < kSameTemperature)
    return true;
  const double from = SelectedTemperature();
  const double to = CaeUnit::HostToNative(CaeUtTemperature, typed);
  Values row{};
  if (m_pMaterial->GetProp(to, row)) {
    // Another row is there: the material would lose one of them.
    CString refusal;
    refusal.Format(resLoadString(IDS_MATERIAL_TEMPERATURE_TAKEN).c_str(), typedText.str().c_str());
    ShowMessage(refusal);
    combo.SetWindowText(shown);
    return false;
  }
  if (!m_pMaterial->GetProp(from, row) || !m_pMaterial->DeleteProp(from)) return true;
  m_bDirty = TRUE;
  m_pMaterial->AddProp(to, row[CaeMaterial::kDensity], row[CaeMaterial::kModulus], row[CaeMaterial::kPoisson],
                       row[CaeMaterial::kYield], row[CaeMaterial::kUltimate], row[CaeMaterial::kConductivity],
                       row[CaeMaterial::kExpansion], row[CaeMaterial::kSpecificHeat]);
  combo.DeleteString(m_nSelectedRow);
  m_rowTemperatures.erase(m_rowTemperatures.begin() + m_nSelectedRow);
  const CString text = TemperatureText(typed);
  combo.AddString(text);
  m_rowTemperatures.push_back(to);
  SelectRow(combo.GetCount() - 1);
  SetModified(TRUE);
  return true;
}

// ---- buttons ----

void CMaterialPP::OnNewMaterial() {
  if (!m_pMaterial || !m_pLibrary) return;
  if (!CommitMaterial()) return;
  std::unique_ptr<CaeMaterial> copy(BuildMaterial());
  if (!copy) return;
  const CString base = resLoadString(IDS_NEW_MATERIAL_NAME).c_str();
  CString name;
  for (int n = 1; n <= kMaxGeneratedNames; ++n) {
    name.Format("%s%d", base.str().c_str(), n);
    if (MaterialCombo().FindString(-1, name) < 0) break;
  }
  copy->SetName(CaeString(name));
  if (!m_pLibrary->Store(copy.release())) return;
  MaterialCombo().SetCurSel(MaterialCombo().AddString(name));
  m_strMaterial = name;
  m_strListedName = name;
  UICurrentMaterialName = name;
  m_pMaterial = m_pLibrary->Find(CaeString(name));
  OnSelectMaterial();
  CancelToClose();
  SetModified(TRUE);
}

void CMaterialPP::OnDeleteMaterial() {
  CComboBox& combo = MaterialCombo();
  const int selected = combo.GetCurSel();
  if (selected < 0 || !m_pLibrary) return;
  if (CadMessageBoxId(IDS_MATERIAL_DELETE_QUERY, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  // The library's own name: a rename not yet committed must not leave the material in the file.
  const CaeString held = m_pMaterial ? m_pMaterial->Name() : CaeString(m_strMaterial);
  combo.DeleteString(selected);
  const int count = combo.GetCount();
  combo.SetCurSel(count == 0 ? -1 : (selected < count ? selected : count - 1));
  m_pMaterial = nullptr;
  m_pLibrary->Remove(held);
  SaveLibrary();
  m_bDirty = FALSE;
  OnSelectMaterial();
  CancelToClose();
  SetModified(TRUE);
}

void CMaterialPP::OnNewTemperature() {
  if (!m_pMaterial) return;
  CComboBox& combo = TemperatureCombo();
  double t = UIRoomTemperatureInHostUnits() - 1;
  CString text;
  do {
    t += 1;
    text = TemperatureText(t);
  } while (combo.FindString(-1, text) >= 0);
  Values values{};
  if (!ReadFields(values, false)) return;
  const double native = CaeUnit::HostToNative(CaeUtTemperature, t);
  Values existing{};
  if (m_pMaterial->GetProp(native, existing)) {
    CString refusal;
    refusal.Format(resLoadString(IDS_MATERIAL_TEMPERATURE_TAKEN).c_str(), text.str().c_str());
    ShowMessage(refusal);
    return;
  }
  m_pMaterial->AddProp(native, values[CaeMaterial::kDensity], values[CaeMaterial::kModulus],
                       values[CaeMaterial::kPoisson], values[CaeMaterial::kYield], values[CaeMaterial::kUltimate],
                       values[CaeMaterial::kConductivity], values[CaeMaterial::kExpansion],
                       values[CaeMaterial::kSpecificHeat]);
  combo.AddString(text);
  m_rowTemperatures.push_back(native);
  SelectRow(combo.GetCount() - 1);
  m_bDirty = TRUE;
  SetModified(TRUE);
}

void CMaterialPP::OnDeleteTemperature() {
  if (CadMessageBoxId(IDS_TEMPERATURE_DELETE_QUERY, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (!m_pMaterial || m_pMaterial->NumProp() <= 1 || m_nSelectedRow < 0) return;
  m_bDirty = TRUE;
  if (!m_pMaterial->DeleteProp(SelectedTemperature())) return;
  CComboBox& combo = TemperatureCombo();
  const int index = m_nSelectedRow;
  combo.DeleteString(index);
  m_rowTemperatures.erase(m_rowTemperatures.begin() + index);
  const int count = combo.GetCount();
  SelectRow(index < count ? index : count - 1);
  LoadFields();
  SetModified(TRUE);
}

void CMaterialPP::OnGraph() {
  if (!CommitMaterial()) return;
  SelectCurrentMaterial();
  CGraphMaterialDlg dialog(this);
  for (const GraphedProperty& property : kGraphedProperties) {
    dialog.m_propertyNames.Add(property.name);
    CString unit;
    GetDlgItemText(property.unitLabelId, unit);
    dialog.m_unitLabels.Add(unit);
    dialog.m_units.Append(CaeUnit(property.unitType));
  }
  GetDlgItemText(IDC_MAT_TEMP_UNIT, dialog.m_strTempUnit);
  dialog.m_strMaterial = m_strMaterial;
  dialog.m_pLibrary = m_pLibrary.get();
  dialog.DoModal();
}

void CMaterialPP::OnBrowseDatabase() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  CaeString location;
  cad->MaterialLibraryLocation(location);
  const CaeString pattern = resLoadString(IDS_MATLIB_PATTERN);
  const CaeString extension = resLoadString(IDS_MATLIB_EXTENSION);
  const CaeString filter = resLoadString(IDS_MATLIB_FILTER);
  CFileDialog dialog(TRUE, extension.c_str(), location.IsEmpty() ? pattern.c_str() : location.c_str(), OFN_HIDEREADONLY,
                     filter.c_str(), this);
  if (dialog.DoModal() != IDOK) return;
  const CString chosen = dialog.GetPathName();
  // The edits made so far belong to the library in use: they go to its file before it is left.
  if (!CommitMaterial()) return;
  if (!UIReadableFile(chosen)) {
    CString refusal;
    refusal.Format(resLoadString(IDS_MATLIB_UNREADABLE).c_str(), chosen.str().c_str());
    ShowMessage(refusal);
    return;
  }
  m_strLibraryPath = chosen;
  SetDlgItemText(IDC_MAT_LIBRARY_PATH, m_strLibraryPath);
  cad->SetMaterialLibraryLocation(m_strLibraryPath);
  LoadLibraryList();
  SelectCurrentMaterial();
  ListTemperatures();
}

void CMaterialPP::ShowMessage(const CString& text) {
  CadInterface* cad = CadInterface::GetCurrent();
  CadMessageBox(cad ? cad->GetMainWindow() : nullptr, text, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}
