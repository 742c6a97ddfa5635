#include "gui/doctor/UIDocOptStress.h"

#include "amg/CaeArray.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "gui/doctor/UIDocTests.h"
#include "gui/doctor/UIDocWizPS.h"
#include "gui/wizard/UIPageEventAdapter.h"
#include "res/ResourceIds.h"

namespace {

// The sub-models the doctor looks at: live ones with a material whose mesh is not erased.
std::vector<AnlSubModel*> JudgedSubModels(AnlModel* model) {
  std::vector<AnlSubModel*> subModels;
  if (!model) return subModels;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    AnlSubModel* sub = model->GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased() || !sub->GetMaterial()) continue;
    if (AmgMesh* mesh = sub->Mesh(); mesh && mesh->IsMarkedAsErased()) continue;
    subModels.push_back(sub);
  }
  return subModels;
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
  for (AnlSubModel* sub : JudgedSubModels(model)) {
    const CaeMaterial* material = sub->GetMaterial();
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
  const std::vector<AnlSubModel*> subModels = JudgedSubModels(model);
  for (const AnlSubModel* sub : subModels)
    if (!entries_.count(sub->GetMaterial()->Name().Str())) return -1;
  int changed = 0;
  for (AnlSubModel* sub : subModels) {
    CaeMaterial* material = sub->GetMaterial();
    const Entry& entry = entries_.at(material->Name().Str());
    if (!entry.edited) continue;
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    bool announced = false;
    for (int t = 0; t < temperatures.Count(); ++t) {
      double v[CaeMaterial::kPropCount] = {};
      if (!material->GetProp(temperatures[t], v) || v[CaeMaterial::kYield] == entry.yield) continue;
      // The sub-model keeps its rows for undo before the first one changes.
      if (!announced) sub->AboutToChange();
      announced = true;
      material->AddProp(temperatures[t], v[CaeMaterial::kDensity], v[CaeMaterial::kModulus], v[CaeMaterial::kPoisson],
                        entry.yield, v[CaeMaterial::kUltimate], v[CaeMaterial::kConductivity],
                        v[CaeMaterial::kExpansion], v[CaeMaterial::kSpecificHeat]);
      changed = 1;
    }
  }
  return changed;
}

// ---- the parameters page ----

namespace {

constexpr UINT_PTR kPollTimer = 917;
constexpr UINT kPollPeriodMs = 3000;
constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr int kShownDigits = 7;
constexpr int kStressType = 0, kVibrationType = 1, kBucklingType = 2, kHeatType = 3;

const unsigned kTypeNames[] = {IDS_TYPE_STRESS, IDS_TYPE_VIBRATION, IDS_TYPE_BUCKLING, IDS_TYPE_HEAT};

// Between uses of the page the ranges are held in this fixed system of the engine's unit names.
const CaeUnitSystem& ReferenceUnits() {
  static const CaeUnitSystem units(0, 6, 8, 12, 17, 21, 24, 28);
  return units;
}

// The host's short name of a unit type.
CString HostUnitName(int unitType) {
  CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType)).c_str()) : CString();
}

AnlModel* CurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->CurrentAnlModel() : nullptr;
}

void SetText(CWnd& page, int id, const CString& text) {
  if (CWnd* control = page.GetDlgItem(id)) control->SetWindowText(text);
}

void Show(CWnd& page, int id, bool show) {
  if (CWnd* control = page.GetDlgItem(id)) control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void Enable(CWnd& page, int id, bool enable) {
  if (CWnd* control = page.GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

// A message naming the field; the field gets the focus.
bool Refuse(CWnd& page, int id, unsigned stringId) {
  CadMessageBoxId(stringId, MB_TASKMODAL);
  if (CWnd* control = page.GetDlgItem(id)) control->SetFocus();
  return false;
}

// Absolute zero in the native temperature unit.
constexpr double kAbsoluteZero = 0.0;

}  // namespace

BEGIN_MESSAGE_MAP(CDocOptStress, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
ON_WM_TIMER()
ON_CBN_SELCHANGE(IDC_DOC_MATERIAL, OnMaterialChange)
ON_CBN_SELCHANGE(IDC_DOC_TYPE, OnTypeChange)
ON_CBN_SELCHANGE(IDC_DOC_RESULT_SET, OnResultSetChange)
END_MESSAGE_MAP()

CDocOptStress::CDocOptStress() : CWizBasePP(IDD_DOC_PARAMETERS) {
  m_psp.dwFlags |= PSP_HASHELP;
  UpdateMaterialStresses(1);
}

CDocWizPS* CDocOptStress::Sheet() const { return static_cast<CDocWizPS*>(sheet()); }

void CDocOptStress::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_CBString(dx, IDC_DOC_RESULT_SET, resultSetText_);
  DDX_Text(dx, IDC_DOC_MAX_ERROR, maxError_);
  DDX_Text(dx, IDC_DOC_YIELD, yield_);
  DDX_CBString(dx, IDC_DOC_MATERIAL, materialText_);
  DDX_Text(dx, IDC_DOC_UPPER, upper_);
  DDX_Text(dx, IDC_DOC_LOWER, lower_);
  DDX_Text(dx, IDC_DOC_MINIMUM, single_);
}

void CDocOptStress::UpdateMaterialStresses(int collect) {
  AnlModel* model = CurrentModel();
  if (collect) {
    yields_.Collect(model);
    return;
  }
  const int changed = yields_.WriteBack(model);
  if (changed < 0) CaeMsgCall::GeneralError("uiS/gui/doctor/UIDocOptStress", 582);
  if (changed == 0) return;
  FerState* state = FerState::GetState();
  if (!state) CaeMsgCall::GeneralError("uiS/gui/doctor/UIDocOptStress", 628);
  CaeFerInterface* view = state->GetInterface();
  if (!view) CaeMsgCall::GeneralError("uiS/gui/doctor/UIDocOptStress", 631);
  FerDisplay* display = nullptr;
  FerDispSettings settings;
  view->GetFerSettings(display, settings);
  FerColorSetting colors = settings.GetColorSettings();
  colors.UpdateMaterial();
  settings.SetColorSettings(colors);
  view->SetFerSettings(display, settings);
}

BOOL CDocOptStress::OnInitDialog() {
  if (auto* materials = static_cast<CComboBox*>(GetDlgItem(IDC_DOC_MATERIAL))) {
    for (const CaeString& name : yields_.Names()) materials->AddString(name.c_str());
    if (materials->GetCount() > 0) {
      materials->SetCurSel(0);
      materialText_ = yields_.Names().front().c_str();
    }
  }
  SetText(*this, IDC_DOC_YIELD_UNIT, HostUnitName(CaeUtStress));
  LoadParameters();
  FillTypeCombo();
  UpdateData(FALSE);
  CWizBasePP::OnInitDialog();
  ShowMaterialYield();
  return TRUE;
}

BOOL CDocOptStress::OnSetActive() {
  ShowJobStatus();
  if (CWnd* cancel = Sheet()->GetDlgItem(IDCANCEL)) cancel->EnableWindow(TRUE);
  ShowAnalysisType();
  ShowCriteria();
  return CWizBasePP::OnSetActive();
}

LRESULT CDocOptStress::OnWizardNext() {
  if (!Sheet()->JobFailed()) {
    // A refused entry keeps the page; nothing is stored then.
    if (!UpdateData(TRUE) || !CheckEntries()) return -1;
    StoreEditedYield();
    StoreCriteria();
    SaveParameters();
  }
  return CWizBasePP::OnWizardNext();
}

BOOL CDocOptStress::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(kHelpTemplateBase + IDD_DOC_PARAMETERS, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

void CDocOptStress::OnPaint() { CPaintDC paint(this); }

BOOL CDocOptStress::OnQueryNewPalette() {
  const int realised = CPageEventAdapter::OnQueryNewPalette(this);
  SendMessage(WM_PAINT);
  return realised;
}

void CDocOptStress::OnPaletteChanged(CWnd*) { SendMessage(WM_PAINT); }

void CDocOptStress::OnTimer(UINT_PTR id) {
  if (id != kPollTimer) {
    CWizBasePP::OnTimer(id);
    return;
  }
  AnlJob* job = Sheet()->Job();
  if (job) job->Poll();
  if (job && job->IsPending()) return;
  KillTimer(pollTimer_);
  ShowJobStatus();
  ShowCriteria();
}

void CDocOptStress::ShowJobStatus() {
  CDocWizPS* sheet = Sheet();
  sheet->SetWizardButtons(PSWIZB_NEXT);
  bool editable = true;
  if (AnlJob* job = sheet->Job()) {
    SetText(*this, IDC_DOC_SUBJECT_GROUP, resLoadString(IDS_DOC_ANALYSIS_JOB).c_str());
    if (job->IsPending()) {
      SetText(*this, IDC_DOC_JOB_TEXT, resLoadString(IDS_DOC_JOB_RUNNING).c_str());
      if (!pollTimer_) pollTimer_ = SetTimer(kPollTimer, kPollPeriodMs);
      sheet->SetWizardButtons(0);
      editable = false;
    } else if (job->Failed()) {
      SetText(*this, IDC_DOC_JOB_TEXT, resLoadString(IDS_DOC_JOB_FAILED).c_str());
      sheet->NoteJobFailed();
      editable = false;
    } else {
      SetText(*this, IDC_DOC_JOB_TEXT, sheet->SubjectName().c_str());
    }
    Show(*this, IDC_DOC_RESULT_SET, false);
    Show(*this, IDC_DOC_TYPE_TEXT, false);
    Show(*this, IDC_DOC_JOB_TEXT, true);
    Show(*this, IDC_DOC_TYPE, true);
  } else {
    SetText(*this, IDC_DOC_SUBJECT_GROUP, resLoadString(IDS_DOC_RESULT_SET).c_str());
    Show(*this, IDC_DOC_RESULT_SET, true);
    Show(*this, IDC_DOC_TYPE_TEXT, true);
    Show(*this, IDC_DOC_JOB_TEXT, false);
    Show(*this, IDC_DOC_TYPE, false);
    FillResultSets();
  }
  EnableParameters(editable);
}

void CDocOptStress::EnableParameters(bool editable) {
  for (int id : {IDC_DOC_TYPE_LABEL, IDC_DOC_TYPE, IDC_DOC_PARAMETERS_GROUP, IDC_DOC_ERROR_LABEL, IDC_DOC_MAX_ERROR,
                 IDC_DOC_PERCENT, IDC_DOC_MATERIAL, IDC_DOC_YIELD_LABEL, IDC_DOC_YIELD, IDC_DOC_YIELD_UNIT,
                 IDC_DOC_CRITERION_LABEL, IDC_DOC_MINIMUM, IDC_DOC_LOWER, IDC_DOC_LOWER_UNIT, IDC_DOC_TO, IDC_DOC_UPPER,
                 IDC_DOC_UPPER_UNIT})
    Enable(*this, id, editable);
  Enable(*this, IDC_DOC_TYPE_TEXT, true);
}

void CDocOptStress::FillResultSets() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_DOC_RESULT_SET));
  if (!combo) return;
  combo->ResetContent();
  if (AnlModel* model = CurrentModel())
    for (int i = 0; i < model->NumResultSets(); ++i)
      if (FerResultSet* set = model->GetResultSet(i); set && !set->IsMarkedAsErased())
        combo->AddString(set->Name().c_str());
  resultSetText_ = Sheet()->SubjectName().c_str();
  combo->SelectString(-1, resultSetText_);
}

void CDocOptStress::FillTypeCombo() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_DOC_TYPE));
  if (!combo) return;
  combo->ResetContent();
  for (unsigned name : kTypeNames) combo->AddString(resLoadString(name).c_str());
}

void CDocOptStress::ShowAnalysisType() {
  CDocWizPS* sheet = Sheet();
  if (sheet->Job()) {
    // An optimisation job's subject need not have a simulation model: the type stays.
    if (AnlModel* model = CurrentModel()) type_ = static_cast<int>(model->Type());
  } else if (FerResultSet* set = sheet->ResultSet()) {
    const int type = static_cast<int>(set->AnalType());
    if (type >= kStressType && type <= kHeatType) type_ = type;
  }
  if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_DOC_TYPE))) combo->SetCurSel(type_);
  SetText(*this, IDC_DOC_TYPE_TEXT, resLoadString(kTypeNames[type_]).c_str());
  if (sheet->FromWizard()) {
    Show(*this, IDC_DOC_TYPE, false);
    Show(*this, IDC_DOC_TYPE_TEXT, true);
  }
}

void CDocOptStress::ShowCriteria() {
  const DocTestParameters& p = UIDocParameters();
  const bool range = type_ == kVibrationType || type_ == kHeatType;
  Show(*this, IDC_DOC_MINIMUM, !range);
  for (int id : {IDC_DOC_LOWER, IDC_DOC_LOWER_UNIT, IDC_DOC_TO, IDC_DOC_UPPER, IDC_DOC_UPPER_UNIT})
    Show(*this, id, range);
  if (range) {
    const bool vibration = type_ == kVibrationType;
    const int unit = vibration ? CaeUtFrequency : CaeUtTemperature;
    lower_ = CaeUnit::NativeToHost(unit, vibration ? p.frequencyLower : p.temperatureLower);
    upper_ = CaeUnit::NativeToHost(unit, vibration ? p.frequencyUpper : p.temperatureUpper);
    CString text;
    CadSetDlgItemValue(text, this, IDC_DOC_LOWER, lower_, kShownDigits);
    CadSetDlgItemValue(text, this, IDC_DOC_UPPER, upper_, kShownDigits);
    SetText(*this, IDC_DOC_LOWER_UNIT, HostUnitName(unit));
    SetText(*this, IDC_DOC_UPPER_UNIT, HostUnitName(unit));
    SetText(*this, IDC_DOC_CRITERION_LABEL,
            resLoadString(vibration ? IDS_DOC_FREQUENCY_RANGE : IDS_DOC_TEMPERATURE_RANGE).c_str());
  } else {
    const bool stress = type_ == kStressType;
    single_ = stress ? p.minFactorOfSafety : p.minLoadFactor;
    SetText(*this, IDC_DOC_CRITERION_LABEL, resLoadString(stress ? IDS_DOC_MIN_FOS : IDS_DOC_MIN_LOAD_FACTOR).c_str());
    CString text;
    CadSetDlgItemValue(text, this, IDC_DOC_MINIMUM, single_, kShownDigits);
  }
  AnlJob* job = Sheet()->Job();
  const bool yieldEditable = type_ == kStressType && (!job || (!job->IsPending() && !job->Failed()));
  for (int id : {IDC_DOC_MATERIAL, IDC_DOC_YIELD_LABEL, IDC_DOC_YIELD, IDC_DOC_YIELD_UNIT})
    Enable(*this, id, yieldEditable);
}

bool CDocOptStress::CheckEntries() {
  if (!(maxError_ > 0.0)) return Refuse(*this, IDC_DOC_MAX_ERROR, IDS_DOC_BAD_ERROR_LIMIT);
  if (!materialText_.IsEmpty() && !CaeMaterial::VerifyModulus(CaeUnit::HostToNative(CaeUtStress, yield_)))
    return Refuse(*this, IDC_DOC_YIELD, IDS_DOC_BAD_YIELD);
  if (type_ == kStressType || type_ == kBucklingType) {
    if (!(single_ > 0.0)) return Refuse(*this, IDC_DOC_MINIMUM, IDS_DOC_BAD_MINIMUM);
    return true;
  }
  const int unit = type_ == kVibrationType ? CaeUtFrequency : CaeUtTemperature;
  const double lower = CaeUnit::HostToNative(unit, lower_);
  const double upper = CaeUnit::HostToNative(unit, upper_);
  if (type_ == kVibrationType && (lower < 0.0 || upper < 0.0))
    return Refuse(*this, IDC_DOC_LOWER, IDS_DOC_BAD_FREQUENCY);
  if (type_ == kHeatType && (lower < kAbsoluteZero || upper < kAbsoluteZero))
    return Refuse(*this, IDC_DOC_LOWER, IDS_DOC_BAD_TEMPERATURE);
  if (lower > upper) return Refuse(*this, IDC_DOC_LOWER, IDS_DOC_BAD_RANGE);
  return true;
}

bool CDocOptStress::StoreEditedYield() {
  if (materialText_.IsEmpty()) return true;
  yields_.Edit(CaeString(static_cast<const char*>(materialText_)), CaeUnit::HostToNative(CaeUtStress, yield_));
  return true;
}

void CDocOptStress::ShowMaterialYield() {
  if (materialText_.IsEmpty()) return;
  double yield = 0.0;
  if (!yields_.Yield(CaeString(static_cast<const char*>(materialText_)), yield)) return;
  yield_ = CaeUnit::NativeToHost(CaeUtStress, yield);
  CString text;
  CadSetDlgItemValue(text, this, IDC_DOC_YIELD, yield_, kShownDigits);
}

bool CDocOptStress::StoreCriteria() {
  DocTestParameters& p = UIDocParameters();
  switch (type_) {
    case kStressType: p.minFactorOfSafety = single_; break;
    case kBucklingType: p.minLoadFactor = single_; break;
    case kVibrationType:
      p.frequencyLower = CaeUnit::HostToNative(CaeUtFrequency, lower_);
      p.frequencyUpper = CaeUnit::HostToNative(CaeUtFrequency, upper_);
      break;
    default:
      p.temperatureLower = CaeUnit::HostToNative(CaeUtTemperature, lower_);
      p.temperatureUpper = CaeUnit::HostToNative(CaeUtTemperature, upper_);
      break;
  }
  return true;
}

void CDocOptStress::LoadParameters() {
  DocTestParameters& p = UIDocParameters();
  if (!p.rangesInitialised) {
    p.rangesInitialised = 1;
    p.frequencyLower = p.frequencyUpper = CaeUnit::HostToNative(CaeUtFrequency, 0.0);
    p.temperatureLower = p.temperatureUpper = CaeUnit::HostToNative(CaeUtTemperature, 0.0);
  } else {
    const CaeUnitSystem& reference = ReferenceUnits();
    for (double* bound : {&p.frequencyLower, &p.frequencyUpper})
      *bound = CaeUnit::Convert(CaeUtFrequency, *bound, &reference, nullptr);
    for (double* bound : {&p.temperatureLower, &p.temperatureUpper})
      *bound = CaeUnit::Convert(CaeUtTemperature, *bound, &reference, nullptr);
  }
  maxError_ = p.maxMeshingError;
}

void CDocOptStress::SaveParameters() {
  DocTestParameters& p = UIDocParameters();
  const CaeUnitSystem& reference = ReferenceUnits();
  for (double* bound : {&p.frequencyLower, &p.frequencyUpper})
    *bound = CaeUnit::Convert(CaeUtFrequency, *bound, nullptr, &reference);
  for (double* bound : {&p.temperatureLower, &p.temperatureUpper})
    *bound = CaeUnit::Convert(CaeUtTemperature, *bound, nullptr, &reference);
  p.maxMeshingError = maxError_;
}

void CDocOptStress::OnMaterialChange() {
  const CString before = materialText_;
  if (!UpdateData(TRUE)) return;
  // The entry belongs to the material shown until now.
  if (!before.IsEmpty())
    yields_.Edit(CaeString(static_cast<const char*>(before)), CaeUnit::HostToNative(CaeUtStress, yield_));
  ShowMaterialYield();
}

void CDocOptStress::OnTypeChange() {
  UpdateData(TRUE);
  StoreCriteria();
  if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_DOC_TYPE)))
    if (combo->GetCurSel() >= 0) type_ = combo->GetCurSel();
  ShowCriteria();
}

void CDocOptStress::OnResultSetChange() {
  UpdateData(TRUE);
  CDocWizPS* sheet = Sheet();
  sheet->SetSubjectName(CaeString(static_cast<const char*>(resultSetText_)));
  AnlModel* model = CurrentModel();
  sheet->SetResultSet(model ? model->FindResultSet(sheet->SubjectName()) : nullptr);
  ShowAnalysisType();
  ShowCriteria();
}
