#include "gui/wizard/UIMeshWizard.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "amg/CaeList.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/dialogs/units/UIMaterialValues.h"
#include "gui/wizard/UIAnalysisPages.h"
#include "gui/wizard/UIMeshPages.h"
#include "gui/wizard/UIWizPS.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "mfc/services.h"
#include "mfc/win32_files.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr DWORD kBackNext = PSWIZB_BACK | PSWIZB_NEXT;
constexpr int kStepAnalyze = 6;
// Rows of one material closer than this (native temperature) are one row.
constexpr double kSameTemperature = 1e-5;

double currentMaterialTemperature = 0;

// The existing-material page's values: texts beside their unit labels.
const MaterialField kListFields[] = {
    {IDC_AMG_LIST_POISSON, 0, CaeUtNone, CaeMaterial::kPoisson, "%.4f"},
    {IDC_AMG_LIST_DENSITY, IDC_AMG_LIST_DENSITY_UNIT, CaeUtDensity, CaeMaterial::kDensity, "%.4e"},
    {IDC_AMG_LIST_ULTIMATE, IDC_AMG_LIST_ULTIMATE_UNIT, CaeUtStress, CaeMaterial::kUltimate, "%.5e"},
    {IDC_AMG_LIST_YIELD, IDC_AMG_LIST_YIELD_UNIT, CaeUtStress, CaeMaterial::kYield, "%.5e"},
    {IDC_AMG_LIST_SHEAR, IDC_AMG_LIST_SHEAR_UNIT, CaeUtStress, CaeMaterial::kShearModulus, "%.5e"},
    {IDC_AMG_LIST_MODULUS, IDC_AMG_LIST_MODULUS_UNIT, CaeUtStress, CaeMaterial::kModulus, "%.5e"},
    {IDC_AMG_LIST_EXPANSION, IDC_AMG_LIST_EXPANSION_UNIT, CaeUtExpansion, CaeMaterial::kExpansion, "%.5e"},
    {IDC_AMG_LIST_CONDUCTIVITY, IDC_AMG_LIST_CONDUCTIVITY_UNIT, CaeUtConductivity, CaeMaterial::kConductivity, "%.5e"},
    {IDC_AMG_LIST_SPECIFIC_HEAT, IDC_AMG_LIST_SPECIFIC_HEAT_UNIT, CaeUtSpecificHeat, CaeMaterial::kSpecificHeat,
     "%.5e"},
};

// The new-material page's edits.
const MaterialField kPropFields[] = {
    {IDC_AMG_MODULUS, IDC_AMG_MODULUS_UNIT, CaeUtStress, CaeMaterial::kModulus, "%.5e"},
    {IDC_AMG_POISSON, 0, CaeUtNone, CaeMaterial::kPoisson, "%.4f"},
    {IDC_AMG_SHEAR, IDC_AMG_SHEAR_UNIT, CaeUtStress, CaeMaterial::kShearModulus, "%.5e"},
    {IDC_AMG_DENSITY, IDC_AMG_DENSITY_UNIT, CaeUtDensity, CaeMaterial::kDensity, "%.4e"},
    {IDC_AMG_EXPANSION, IDC_AMG_EXPANSION_UNIT, CaeUtExpansion, CaeMaterial::kExpansion, "%.5e"},
    {IDC_AMG_ULTIMATE, IDC_AMG_ULTIMATE_UNIT, CaeUtStress, CaeMaterial::kUltimate, "%.5e"},
    {IDC_AMG_YIELD, IDC_AMG_YIELD_UNIT, CaeUtStress, CaeMaterial::kYield, "%.5e"},
    {IDC_AMG_CONDUCTIVITY, IDC_AMG_CONDUCTIVITY_UNIT, CaeUtConductivity, CaeMaterial::kConductivity, "%.5e"},
    {IDC_AMG_SPECIFIC_HEAT, IDC_AMG_SPECIFIC_HEAT_UNIT, CaeUtSpecificHeat, CaeMaterial::kSpecificHeat, "%.5e"},
};

// How a field of the new-material page is shown again when it loses the focus.
const struct {
  int editId;
  const char* format;
} kReshown[] = {{IDC_AMG_TEMPERATURE, "%.2f"},  {IDC_AMG_MODULUS, "%.5e"},      {IDC_AMG_POISSON, "%.4f"},
                {IDC_AMG_DENSITY, "%.4e"},      {IDC_AMG_ULTIMATE, "%.4e"},     {IDC_AMG_YIELD, "%.4e"},
                {IDC_AMG_CONDUCTIVITY, "%.5e"}, {IDC_AMG_SPECIFIC_HEAT, "%.5e"}};

CString Formatted(const char* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}

// A whole text that reads as a finite number.
bool ReadNumber(const CString& text, double& value) {
  double read = 0;
  char rest = 0;
  if (std::sscanf(text, " %lf %c", &read, &rest) != 1 || !std::isfinite(read)) return false;
  value = read;
  return true;
}

double ShearModulus(double modulus, double poisson) { return modulus * 0.5 / (poisson + 1); }

HWND MainWindow() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->GetMainWindow() : nullptr;
}

void AddRow(CaeMaterial& material, double t, const double* v) {
  material.AddProp(t, v[CaeMaterial::kDensity], v[CaeMaterial::kModulus], v[CaeMaterial::kPoisson],
                   v[CaeMaterial::kYield], v[CaeMaterial::kUltimate], v[CaeMaterial::kConductivity],
                   v[CaeMaterial::kExpansion], v[CaeMaterial::kSpecificHeat]);
}

}  // namespace

double UICurrentMaterialTemperature() { return currentMaterialTemperature; }

CString UIMeshMaterialRefusal(const double values[CaeMaterial::kPropCount], bool heat) {
  MaterialCheck check;
  check.modulus = values[CaeMaterial::kModulus];
  check.poisson = values[CaeMaterial::kPoisson];
  check.density = values[CaeMaterial::kDensity];
  check.ultimate = values[CaeMaterial::kUltimate];
  check.yield = values[CaeMaterial::kYield];
  check.conductivity = values[CaeMaterial::kConductivity];
  check.specificHeat = values[CaeMaterial::kSpecificHeat];
  check.checkHeat = heat;
  return UIMaterialRefusal(check);
}

int UIRunMeshWizard() {
  ResourceSetter resources(1);
  CAMGWizPS sheet(resLoadString(IDS_AMG_WIZARD_CAPTION).c_str(), nullptr, 0);
  sheet.SetWizardMode();
  sheet.finished = FALSE;
  const INT_PTR result = sheet.DoModal();
  // A working mesh never handed to the drawing is the wizard's own.
  if (result == IDCANCEL) sheet.DeleteWorkingMesh();
  // Finish closes the sheet with ID_WIZFINISH; only a submitted study marks it finished.
  return sheet.finished ? 1 : 0;
}

// ---- the intro page ----

CMat_IntroPP::CMat_IntroPP() : CCondWizPage(IDD_AMG_MAT_INTRO, kBackNext, kHelpTemplateBase + IDD_AMG_MAT_INTRO) {}

void CMat_IntroPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Radio(dx, IDC_AMG_EXISTING_MATERIAL, choice);
}

BOOL CMat_IntroPP::OnInitDialog() {
  choice = 0;
  CWizBasePP::OnInitDialog();
  AttachPicture(IDC_AMG_INTRO_PICTURE, IDB_AMG_MATERIAL);
  return TRUE;
}

BOOL CMat_IntroPP::OnSetActive() {
  // Back on page 0: every run-time page goes; what they stored stays.
  if (auto* sheet = dynamic_cast<CAMGWizPS*>(this->sheet())) {
    sheet->RemoveExtraPages();
    sheet->RemoveMaterialPages();
  }
  return CCondWizPage::OnSetActive();
}

LRESULT CMat_IntroPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  if (auto* sheet = dynamic_cast<CAMGWizPS*>(this->sheet())) sheet->AddMaterialPage(choice != 1);
  return CWizBasePP::OnWizardNext();
}

LRESULT CMat_IntroPP::OnWizardBack() {
  if (auto* sheet = dynamic_cast<CAMGWizPS*>(this->sheet())) {
    sheet->finished = FALSE;
    sheet->EndDialog(-1);
  }
  return -1;
}

// ---- what the material pages share ----

BEGIN_MESSAGE_MAP(CMaterialPageBase, CCondWizPage)
ON_BN_CLICKED(IDC_AMG_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CMaterialPageBase::CMaterialPageBase(UINT templateId)
    : CCondWizPage(templateId, kBackNext, kHelpTemplateBase + templateId) {}

CMaterialPageBase::~CMaterialPageBase() = default;

void CMaterialPageBase::ReturnLibrary::operator()(MaterialLibrary* library) const {
  if (!library) return;
  // The CAD that made it knows its real type; giving it back writes a modified file.
  if (CadInterface* cad = CadInterface::GetCurrent())
    cad->DeleteObject(library);
  else
    delete library;
}

void CMaterialPageBase::GiveBackLibrary() { library_.reset(); }

CAMGWizPS* CMaterialPageBase::Sheet() const { return dynamic_cast<CAMGWizPS*>(sheet()); }

void CMaterialPageBase::TakeConfiguredLocation() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (location_.IsEmpty() && cad) {
    CaeString configured;
    cad->MaterialLibraryLocation(configured);
    location_ = configured.Text();
  }
  SetDlgItemText(IDC_AMG_LIBRARY_PATH, location_);
}

bool CMaterialPageBase::OpenLibrary() {
  GiveBackLibrary();
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad) library_.reset(cad->OpenMaterialLibrary(CaeString(location_)));
  return library_ != nullptr;
}

void CMaterialPageBase::ShowUnitLabels(const MaterialField* fields, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (fields[i].unitId != 0) SetDlgItemText(fields[i].unitId, UIMaterialUnitLabel(fields[i].unitType).c_str());
}

bool CMaterialPageBase::Browse() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return false;
  CaeString configured;
  cad->MaterialLibraryLocation(configured);
  const CaeString pattern = resLoadString(IDS_MATLIB_PATTERN);
  const CaeString extension = resLoadString(IDS_MATLIB_EXTENSION);
  const CaeString filter = resLoadString(IDS_MATLIB_FILTER);
  CFileDialog dialog(TRUE, extension.c_str(), configured.IsEmpty() ? pattern.c_str() : configured.c_str(),
                     OFN_HIDEREADONLY, filter.c_str(), this);
  if (dialog.DoModal() != IDOK) return false;
  const CString chosen = dialog.GetPathName();
  if (!UIReadableFile(chosen)) {
    CString refusal;
    refusal.Format(resLoadString(IDS_MATLIB_UNREADABLE).c_str(), chosen.str().c_str());
    Ask(refusal, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const CString previous = location_;
  location_ = chosen;
  if (!OpenLibrary()) {
    location_ = previous;  // the CAD could not open it: keep the library in use
    OpenLibrary();
    return false;
  }
  SetDlgItemText(IDC_AMG_LIBRARY_PATH, location_);
  return true;
}

void CMaterialPageBase::OnBrowse() {
  if (Browse()) AfterBrowse();
}

void CMaterialPageBase::ReplaceFollowingPages() {
  if (CAMGWizPS* sheet = Sheet()) {
    sheet->RemoveExtraPages();
    sheet->AddMeshPages();
  }
}

int CMaterialPageBase::Ask(const CString& text, UINT type) {
  const int answer = CadMessageBox(MainWindow(), text, type | MB_TASKMODAL);
  if (CPropertySheet* owner = sheet()) owner->SetActiveWindow();
  return answer;
}

// ---- the existing-material page ----

CMAT_ListPP::CMAT_ListPP() : CMaterialPageBase(IDD_AMG_MAT_LIST) {}

CTreeCtrl* CMAT_ListPP::Tree() const { return static_cast<CTreeCtrl*>(GetDlgItem(IDC_AMG_LIST_TREE)); }

BOOL CMAT_ListPP::OnInitDialog() {
  TakeConfiguredLocation();
  OpenLibrary();
  ShowUnitLabels(kListFields, std::size(kListFields));
  CWizBasePP::OnInitDialog();
  FillMaterialTree();
  return TRUE;
}

void CMAT_ListPP::FillMaterialTree() {
  CTreeCtrl* tree = Tree();
  if (!tree) return;
  const std::string degree = UIMaterialUnitLabel(CaeUtTemperature);
  tree->DeleteAllItems();
  root_ = tree->InsertItem(resLoadString(IDS_AMG_MATERIALS_LIBRARY).c_str(), TVI_ROOT, TVI_LAST);
  CaeOwningList<CaeString> names;
  if (MaterialLibrary* library = Library()) library->ListNames(names);
  HTREEITEM chosen = nullptr;
  HTREEITEM first = nullptr;
  for (CaeString* name : names) {
    const CaeMaterial* material = Library()->Find(*name);
    HTREEITEM item = tree->InsertItem(name->Text(), root_, TVI_LAST);
    if (!first) first = item;
    if (!chosen && !UICurrentMaterialName.IsEmpty() && UICurrentMaterialName == name->Text()) chosen = item;
    if (!material) continue;
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    for (int i = 0; i < temperatures.Count(); ++i) {
      CString row;
      row.Format("%.2f %s", CaeUnit::NativeToHost(CaeUtTemperature, *temperatures.ItemAt(i)), degree.c_str());
      tree->InsertItem(row, item, TVI_LAST);
    }
  }
  tree->Expand(root_, TVE_EXPAND);
  if (!chosen) chosen = first;
  // An empty library leaves the tree with its root only and nothing chosen.
  selectedName.Empty();
  selectedRow_ = 0;
  if (chosen && tree->SelectItem(chosen)) {
    tree->EnsureVisible(chosen);
    selectedName = tree->GetItemText(chosen);
    UICurrentMaterialName = selectedName;
  }
  ShowSelectedMaterial();
}

bool CMAT_ListPP::GetTreeSelection(HTREEITEM item, bool& materialItem, CString& name, int& row) const {
  CTreeCtrl* tree = Tree();
  if (!tree || !item || item == root_) return false;
  HTREEITEM parent = tree->GetParentItem(item);
  if (parent == root_) {
    materialItem = true;
    name = tree->GetItemText(item);
    row = 0;
    return true;
  }
  if (!parent || tree->GetParentItem(parent) != root_) return false;
  materialItem = false;
  name = tree->GetItemText(parent);
  row = 0;
  for (HTREEITEM before = tree->GetPrevSiblingItem(item); before; before = tree->GetPrevSiblingItem(before)) ++row;
  return true;
}

void CMAT_ListPP::ShowSelectedMaterial() {
  double values[CaeMaterial::kPropCount] = {};
  const CaeMaterial* material =
      Library() && !selectedName.IsEmpty() ? Library()->Find(CaeString(selectedName)) : nullptr;
  if (material) {
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    if (selectedRow_ >= 0 && selectedRow_ < temperatures.Count())
      material->GetProp(*temperatures.ItemAt(selectedRow_), values);
  } else {
    selectedName.Empty();
  }
  for (const MaterialField& field : kListFields)
    SetDlgItemText(field.editId,
                   material ? Formatted(field.shown, UIMaterialToHost(field.unitType, values[field.prop])) : CString());
}

BOOL CMAT_ListPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->idFrom == IDC_AMG_LIST_TREE && header->code == static_cast<UINT>(TVN_SELCHANGED)) {
    const auto* change = reinterpret_cast<const NMTREEVIEW*>(lParam);
    bool materialItem = false;
    CString name;
    int row = 0;
    if (GetTreeSelection(change->itemNew.hItem, materialItem, name, row)) {
      selectedName = name;
      selectedRow_ = row;
      ShowSelectedMaterial();
    }
    if (result) *result = 0;
    return TRUE;
  }
  return CMaterialPageBase::OnNotify(wParam, lParam, result);
}

LRESULT CMAT_ListPP::OnWizardNext() {
  // Nothing to choose (an empty library): the page stays and says what to do.
  if (selectedName.IsEmpty() || !Library() || !Library()->Find(CaeString(selectedName))) {
    Ask(resLoadString(IDS_AMG_EMPTY_LIBRARY).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->SetMaterialLibraryLocation(location_);
  UICurrentMaterialName = selectedName;
  ReplaceFollowingPages();
  return CWizBasePP::OnWizardNext();
}

LRESULT CMAT_ListPP::OnWizardBack() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->SetMaterialLibraryLocation(location_);
  return CWizBasePP::OnWizardBack();
}

// ---- the new-material page ----

CMat_PropsPP::CMat_PropsPP() : CMaterialPageBase(IDD_AMG_MAT_PROPS) {}

void CMat_PropsPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Text(dx, IDC_AMG_NAME, name);
  DDX_Text(dx, IDC_AMG_TEMPERATURE, temperature);
  for (const MaterialField& field : kPropFields) DDX_Text(dx, field.editId, values[field.prop]);
}

BOOL CMat_PropsPP::OnInitDialog() {
  TakeConfiguredLocation();
  SetDlgItemText(IDC_AMG_TEMPERATURE_UNIT, UIMaterialUnitLabel(CaeUtTemperature).c_str());
  ShowUnitLabels(kPropFields, std::size(kPropFields));
  temperature = UIRoomTemperatureInHostUnits();
  CWizBasePP::OnInitDialog();
  ShowFields();
  return TRUE;
}

BOOL CMat_PropsPP::OnSetActive() {
  OpenLibrary();
  const BOOL result = CCondWizPage::OnSetActive();
  if (!name.IsEmpty()) {
    // Back on the page after storing: show what the library now holds for the name.
    const CaeMaterial* material = Library() ? Library()->Find(CaeString(name)) : nullptr;
    double row[CaeMaterial::kPropCount] = {};
    if (material && material->GetProp(currentMaterialTemperature, row)) {
      temperature = CaeUnit::NativeToHost(CaeUtTemperature, currentMaterialTemperature);
      for (const MaterialField& field : kPropFields)
        values[field.prop] = UIMaterialToHost(field.unitType, row[field.prop]);
    }
    SetDlgItemText(IDC_AMG_NAME, name);
  }
  ShowFields();
  return result;
}

void CMat_PropsPP::ShowFields() {
  SetDlgItemText(IDC_AMG_TEMPERATURE, Formatted("%.2f", temperature));
  for (const MaterialField& field : kPropFields)
    SetDlgItemText(field.editId, Formatted(field.shown, values[field.prop]));
}

BOOL CMat_PropsPP::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == EN_KILLFOCUS) OnFieldKillFocus(LOWORD(wParam));
  return CMaterialPageBase::OnCommand(wParam, lParam);
}

void CMat_PropsPP::OnFieldKillFocus(int id) {
  for (const auto& reshown : kReshown) {
    if (reshown.editId != id) continue;
    CString text;
    GetDlgItemText(id, text);
    double value = 0;
    if (!ReadNumber(text, value)) return;  // the toolkit's message comes on Next
    if (id == IDC_AMG_TEMPERATURE) temperature = value;
    for (const MaterialField& field : kPropFields)
      if (field.editId == id) values[field.prop] = value;
    SetDlgItemText(id, Formatted(reshown.format, value));
    if (id == IDC_AMG_MODULUS || id == IDC_AMG_POISSON) {
      values[CaeMaterial::kShearModulus] = ShearModulus(values[CaeMaterial::kModulus], values[CaeMaterial::kPoisson]);
      SetDlgItemText(IDC_AMG_SHEAR, Formatted("%.5e", values[CaeMaterial::kShearModulus]));
    }
    return;
  }
}

bool CMat_PropsPP::StoreMaterial(double nativeTemperature, const double native[CaeMaterial::kPropCount]) {
  MaterialLibrary* library = Library();
  if (!library) return false;
  const CaeString materialName(name);
  const CaeMaterial* existing = library->Find(materialName);
  if (!existing) {
    auto* material = new CaeMaterial(materialName);
    AddRow(*material, nativeTemperature, native);
    return library->Store(material) != 0;  // the library refuses a name its file cannot hold
  }
  double row[CaeMaterial::kPropCount] = {};
  if (existing->GetProp(nativeTemperature, row)) {
    CString question = resLoadString(IDS_AMG_UPDATE_QUERY).c_str();
    question += name + " \n" + resLoadString(IDS_AMG_UPDATE_AT_TEMPERATURE).c_str() + "\n";
    // No and Cancel store nothing: the page stays for another name or temperature.
    if (Ask(question, MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES) return false;
  }
  CaeMaterial rebuilt(materialName);
  CaeArray<double> temperatures;
  existing->GetTemps(temperatures);
  for (int i = 0; i < temperatures.Count(); ++i) {
    const double t = *temperatures.ItemAt(i);
    if (std::fabs(t - nativeTemperature) <= kSameTemperature) continue;
    existing->GetProp(t, row);
    AddRow(rebuilt, t, row);
  }
  AddRow(rebuilt, nativeTemperature, native);
  return library->Replace(materialName, rebuilt) != 0;
}

LRESULT CMat_PropsPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  if (name.IsEmpty()) {
    Ask(resLoadString(IDS_AMG_MATERIAL_NAME_REQUIRED).c_str(), MB_OK);
    return -1;
  }
  const CString refusal = UIMeshMaterialRefusal(values, UIGetWizardKind() == kGuideKindHeat);
  if (!refusal.IsEmpty()) {
    Ask(refusal, MB_OK);
    return -1;
  }
  const double nativeTemperature = CaeUnit::HostToNative(CaeUtTemperature, temperature);
  double native[CaeMaterial::kPropCount] = {};
  for (const MaterialField& field : kPropFields)
    native[field.prop] = UIMaterialToNative(field.unitType, values[field.prop]);
  const bool existed = Library() && Library()->Find(CaeString(name));
  if (!StoreMaterial(nativeTemperature, native)) {
    if (!existed) Ask(resLoadString(IDS_AMG_MATERIAL_NOT_STORED).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  UICurrentMaterialName = name;
  currentMaterialTemperature = nativeTemperature;
  GiveBackLibrary();  // a replaced material is written now
  ReplaceFollowingPages();
  return CWizBasePP::OnWizardNext();
}

// ---- the sheet ----

CAMGWizPS::CAMGWizPS(const char* caption, CWnd* parent, UINT firstPage) : CPropertySheet(caption, parent, firstPage) {
  AddPage(&intro_);
}

CAMGWizPS::~CAMGWizPS() {
  list_.reset();
  props_.reset();
  geom_.reset();
  size_.reset();
  ident_.reset();
  freq_.reset();
  exec_.reset();
}

template <class Page>
void CAMGWizPS::RemoveSlot(std::unique_ptr<Page>& slot) {
  if (!slot) return;
  RemovePage(slot.get());
  slot.reset();
}

template <class Page>
void CAMGWizPS::FillSlot(std::unique_ptr<Page>& slot) {
  RemoveSlot(slot);
  slot = std::make_unique<Page>();
  AddPage(slot.get());
}

void CAMGWizPS::RemoveExtraPages() {
  RemoveSlot(geom_);
  RemoveSlot(size_);
  RemoveSlot(ident_);
  RemoveSlot(freq_);
  RemoveSlot(exec_);
}

void CAMGWizPS::RemoveMaterialPages() {
  RemoveSlot(list_);
  RemoveSlot(props_);
}

void CAMGWizPS::RemoveAnalysisPages() {
  RemoveSlot(freq_);
  RemoveSlot(exec_);
}

void CAMGWizPS::AddMaterialPage(bool existing) {
  RemoveMaterialPages();
  if (existing)
    FillSlot(list_);
  else
    FillSlot(props_);
}

void CAMGWizPS::AddMeshPages() {
  FillSlot(geom_);
  FillSlot(size_);
}

void CAMGWizPS::AddIdentificationPage() { FillSlot(ident_); }
void CAMGWizPS::AddFrequencyPage() { FillSlot(freq_); }
void CAMGWizPS::AddExecutionPage() { FillSlot(exec_); }

AmgMesh* CAMGWizPS::WorkingMesh() const { return geom_ ? geom_->WorkingMesh() : nullptr; }

void CAMGWizPS::DeleteWorkingMesh() {
  if (geom_) geom_->DeleteWorkingMesh();
}

BOOL CAMGWizPS::OnInitDialog() {
  const BOOL result = CPropertySheet::OnInitDialog();
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (model && model->NumSubModels() > 0) {
    AddIdentificationPage();
    SetActivePage(1);
  }
  if (HWND main = MainWindow()) ::SetActiveWindow(main);
  // Without a guide the sheet centres on the CAD window.
  CAnlWizPS* guide = UIGetGuideSheet();
  CenterWindow(guide && guide->m_hWnd ? guide : nullptr);
  if (guide && guide->m_hWnd) guide->ShowWindow(SW_HIDE);
  return result;
}
