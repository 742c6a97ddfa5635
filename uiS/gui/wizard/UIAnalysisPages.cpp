#include "gui/wizard/UIAnalysisPages.h"

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "gui/dialogs/analysis/UISubmitExecPP.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIMeshPages.h"
#include "gui/wizard/UIMeshWizard.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr DWORD kHelpVibrationModes = 0x8000000C;
constexpr int kStepAnalyze = 6;
constexpr int kStress = 0;
constexpr int kVibration = 1;
constexpr int kBuckling = 2;
constexpr int kHeat = 3;
// A deferred start may lie this far in the past and still run.
constexpr std::time_t kStartGraceSeconds = 120;
constexpr double kTempConvergence = 0.1;
constexpr int kMaxModes = 1000000;
constexpr int kSpinModes = 300;
constexpr int kFirstYear = 1997;
constexpr int kLastYear = 2999;
constexpr int kMaxIterations = 10;
constexpr double kMaxTargetError = 10000;

AnlModel* CurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->CurrentAnlModel() : nullptr;
}

int CurrentType() {
  AnlModel* model = CurrentModel();
  return model ? static_cast<int>(model->Type()) : kStress;
}

void Enable(CWnd& page, int id, bool on) {
  if (CWnd* control = page.GetDlgItem(id)) control->EnableWindow(on ? TRUE : FALSE);
}

void SetSpin(CWnd& page, int id, int low, int high) {
  if (auto* spin = static_cast<CSpinButtonCtrl*>(page.GetDlgItem(id))) spin->SetRange32(low, high);
}

bool Checked(CWnd& page, int id) {
  auto* button = static_cast<CButton*>(page.GetDlgItem(id));
  return button && button->GetCheck() == BST_CHECKED;
}

// The deck writer's method code of each radio index.
constexpr int kMethodCodes[] = {AnlWriter::kModesLowest, AnlWriter::kModesAllInRange, AnlWriter::kModesAbove,
                                AnlWriter::kModesLowestInRange};

}  // namespace

CaeFlags UIWizardOutputRequests(int type) {
  CaeFlags flags;
  if (type == kHeat) {
    flags.Set(kUIOutAppliedLoads | kUIOutReactionForces | kUIOutTemperature | kUIOutFlux);
    return flags;
  }
  flags.Set(kUIOutDisplacements | kUIOutStress);
  if (type == kStress) flags.Set(kUIOutReactionForces);
  return flags;
}

bool UIStartTimeAccepted(const std::tm& start, std::time_t now) {
  std::tm local = start;
  local.tm_sec = 0;
  local.tm_isdst = -1;  // the system decides daylight saving
  const std::time_t when = std::mktime(&local);
  return when != static_cast<std::time_t>(-1) && when + kStartGraceSeconds >= now;
}

int UIWizardModeMethod(int radioIndex) {
  return radioIndex >= 0 && radioIndex < static_cast<int>(std::size(kMethodCodes)) ? kMethodCodes[radioIndex]
                                                                                   : AnlWriter::kModesLowest;
}

// ---- the identification page ----

CANL_IdentPP::CANL_IdentPP()
    : CCondWizPage(IDD_AMG_ANAL_IDENT, PSWIZB_NEXT, kHelpTemplateBase + IDD_AMG_ANAL_IDENT),
      analysisType(CurrentType()) {}

CANL_IdentPP::~CANL_IdentPP() {
  DeleteResultCases();
  // The tree commits its result cases once more when its window goes.
  for (AnlResltCase* resultCase : tree.ResultCases) delete resultCase;
  tree.ResultCases.clear();
}

void CANL_IdentPP::DeleteResultCases() {
  for (AnlResltCase* resultCase : cases_) delete resultCase;
  cases_.RemoveAll();
}

void CANL_IdentPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Control(dx, IDC_AMG_IDENT_TREE, tree);
}

BOOL CANL_IdentPP::OnInitDialog() {
  tree.SetResultSetMode(1).EnableDrag(1).EnableContextMenu(1);
  tree.ShowOptModels = 0;
  tree.ShowDesignVariables = 0;
  CWizBasePP::OnInitDialog();
  tree.AddDefaultResultSet();
  return TRUE;
}

BOOL CANL_IdentPP::OnSetActive() {
  if (auto* sheet = dynamic_cast<CAMGWizPS*>(this->sheet())) {
    sheet->RemoveAnalysisPages();
    if (CWnd* cancel = sheet->GetDlgItem(IDCANCEL)) cancel->SetWindowText(resLoadString(IDS_RESULTS_CLOSE).c_str());
  }
  AnlModel* model = CurrentModel();
  if (CWnd* note = GetDlgItem(IDC_AMG_IDENT_NOTE))
    note->ShowWindow(model && static_cast<int>(model->Type()) != kVibration ? SW_HIDE : SW_SHOW);
  return CCondWizPage::OnSetActive();
}

LRESULT CANL_IdentPP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  DeleteResultCases();
  tree.CommitResultCases();
  for (AnlResltCase* resultCase : tree.ResultCases) cases_.Append(resultCase);
  tree.ResultCases.clear();
  if (cases_.IsEmpty()) {
    CadMessageBoxId(IDS_AMG_RESULT_SET_REQUIRED, MB_OK | MB_TASKMODAL);
    return -1;
  }
  if (auto* sheet = dynamic_cast<CAMGWizPS*>(this->sheet())) {
    if (analysisType == kVibration || analysisType == kBuckling) sheet->AddFrequencyPage();
    sheet->AddExecutionPage();
  }
  return CWizBasePP::OnWizardNext();
}

// ---- the frequency page ----

BEGIN_MESSAGE_MAP(CANL_FreqPP, CCondWizPage)
ON_BN_CLICKED(IDC_AMG_FREQ_LOWEST, OnMethodChange)
ON_BN_CLICKED(IDC_AMG_FREQ_ALL_IN_RANGE, OnMethodChange)
ON_BN_CLICKED(IDC_AMG_FREQ_ABOVE, OnMethodChange)
ON_BN_CLICKED(IDC_AMG_FREQ_LOWEST_IN_RANGE, OnMethodChange)
END_MESSAGE_MAP()

CANL_FreqPP::CANL_FreqPP()
    : CCondWizPage(IDD_AMG_ANAL_FREQ, PSWIZB_BACK | PSWIZB_NEXT,
                   UIGetWizardKind() == kVibration ? kHelpVibrationModes : kHelpTemplateBase + IDD_AMG_ANAL_FREQ) {}

void CANL_FreqPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Radio(dx, IDC_AMG_FREQ_LOWEST, method);
  DDX_Text(dx, IDC_AMG_FREQ_COUNT, modes);
  DDV_MinMaxInt(dx, modes, 1, kMaxModes);
  DDX_Text(dx, IDC_AMG_FREQ_LOWER, lower);
  DDX_Text(dx, IDC_AMG_FREQ_UPPER, upper);
}

BOOL CANL_FreqPP::OnInitDialog() {
  SetSpin(*this, IDC_AMG_FREQ_COUNT_SPIN, 1, kSpinModes);
  method = 0;
  modes = CurrentType() == kVibration ? 3 : 2;
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  const CaeString unit = table ? table->IdToShortString(CaeUnitSystem::GetHostUnit(CaeUtFrequency)) : CaeString();
  SetDlgItemText(IDC_AMG_FREQ_LOWER_UNIT, unit.c_str());
  SetDlgItemText(IDC_AMG_FREQ_UPPER_UNIT, unit.c_str());
  CWizBasePP::OnInitDialog();
  EnableForMethod(method);
  return TRUE;
}

BOOL CANL_FreqPP::OnSetActive() {
  const bool vibration = CurrentType() == kVibration;
  SetDlgItemText(IDC_AMG_FREQ_GROUP,
                 resLoadString(vibration ? IDS_AMG_FREQUENCY_PARAMETERS : IDS_AMG_LOAD_FACTOR_PARAMETERS).c_str());
  SetDlgItemText(IDC_AMG_FREQ_ABOVE,
                 resLoadString(vibration ? IDS_AMG_ABOVE_FREQUENCY : IDS_AMG_ABOVE_LOAD_FACTOR).c_str());
  SetDlgItemText(IDC_AMG_FREQ_LOWER_LABEL,
                 resLoadString(vibration ? IDS_AMG_LOWER_FREQUENCY : IDS_AMG_LOWER_LOAD_FACTOR).c_str());
  SetDlgItemText(IDC_AMG_FREQ_UPPER_LABEL,
                 resLoadString(vibration ? IDS_AMG_UPPER_FREQUENCY : IDS_AMG_UPPER_LOAD_FACTOR).c_str());
  for (int id : {IDC_AMG_FREQ_LOWER_UNIT, IDC_AMG_FREQ_UPPER_UNIT})
    if (CWnd* unit = GetDlgItem(id)) unit->ShowWindow(vibration ? SW_SHOW : SW_HIDE);
  return CCondWizPage::OnSetActive();
}

void CANL_FreqPP::OnMethodChange() {
  for (int i = 0; i < static_cast<int>(std::size(kMethodCodes)); ++i)
    if (Checked(*this, IDC_AMG_FREQ_LOWEST + i)) method = i;
  EnableForMethod(method);
}

void CANL_FreqPP::EnableForMethod(int chosen) {
  const bool count = chosen != 1;
  const bool low = chosen != 0;
  const bool high = chosen == 1 || chosen == 3;
  Enable(*this, IDC_AMG_FREQ_COUNT, count);
  Enable(*this, IDC_AMG_FREQ_COUNT_LABEL, count);
  Enable(*this, IDC_AMG_FREQ_LOWER, low);
  Enable(*this, IDC_AMG_FREQ_LOWER_LABEL, low);
  Enable(*this, IDC_AMG_FREQ_UPPER, high);
  Enable(*this, IDC_AMG_FREQ_UPPER_LABEL, high);
}

BOOL CANL_FreqPP::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  const bool low = method != 0;
  const bool range = method == 1 || method == 3;
  // The bounds a method uses: not negative, and the lower below the upper.
  if ((low && lower < 0) || (range && (upper < 0 || lower >= upper))) {
    CadMessageBoxId(IDS_AMG_BOUNDS_REFUSED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL, m_hWnd);
    return FALSE;
  }
  return TRUE;
}

UIModeSettings CANL_FreqPP::Settings(bool vibration) const {
  UIModeSettings settings;
  settings.numModes = modes;
  settings.lower = vibration ? CaeUnit::HostToNative(CaeUtFrequency, lower) : lower;
  settings.upper = vibration ? CaeUnit::HostToNative(CaeUtFrequency, upper) : upper;
  settings.method = UIWizardModeMethod(method);
  return settings;
}

// ---- the execution page ----

BEGIN_MESSAGE_MAP(CANL_ExecPP, CCondWizPage)
ON_BN_CLICKED(IDC_AMG_EXEC_ADAPT, OnHAdaptivity)
ON_BN_CLICKED(IDC_AMG_EXEC_NOW, OnStartMode)
ON_BN_CLICKED(IDC_AMG_EXEC_DEFERRED, OnStartMode)
END_MESSAGE_MAP()

CANL_ExecPP::CANL_ExecPP()
    : CCondWizPage(IDD_AMG_ANAL_EXEC, PSWIZB_BACK | PSWIZB_FINISH, kHelpTemplateBase + IDD_AMG_ANAL_EXEC) {}

CAMGWizPS* CANL_ExecPP::Sheet() const { return dynamic_cast<CAMGWizPS*>(sheet()); }

void CANL_ExecPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Text(dx, IDC_AMG_EXEC_DAY, day);
  DDV_MinMaxInt(dx, day, 1, 31);
  DDX_Text(dx, IDC_AMG_EXEC_HOUR, hour);
  DDV_MinMaxInt(dx, hour, 0, 23);
  DDX_Text(dx, IDC_AMG_EXEC_MINUTE, minute);
  DDV_MinMaxInt(dx, minute, 0, 59);
  DDX_Text(dx, IDC_AMG_EXEC_MONTH, month);
  DDV_MinMaxInt(dx, month, 1, 12);
  DDX_Text(dx, IDC_AMG_EXEC_YEAR, year);
  DDV_MinMaxInt(dx, year, kFirstYear, kLastYear);
  DDX_Radio(dx, IDC_AMG_EXEC_NOW, startMode);
  DDX_Text(dx, IDC_AMG_EXEC_ITERATIONS, iterations);
  DDV_MinMaxInt(dx, iterations, 1, kMaxIterations);
  DDX_Text(dx, IDC_AMG_EXEC_TARGET, targetError);
  DDV_MinMaxDouble(dx, targetError, 1, kMaxTargetError);
  int adapt = useAdaptivity ? 1 : 0;
  DDX_Check(dx, IDC_AMG_EXEC_ADAPT, adapt);
  useAdaptivity = adapt != 0;
}

BOOL CANL_ExecPP::OnInitDialog() {
  const std::time_t now = UISubmitNow();
  std::tm local{};
  localtime_r(&now, &local);
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
  hour = local.tm_hour;
  minute = local.tm_min;
  SetSpin(*this, IDC_AMG_EXEC_YEAR_SPIN, year, kLastYear);
  SetSpin(*this, IDC_AMG_EXEC_MONTH_SPIN, 1, 12);
  SetSpin(*this, IDC_AMG_EXEC_DAY_SPIN, 1, 31);
  SetSpin(*this, IDC_AMG_EXEC_HOUR_SPIN, 0, 23);
  SetSpin(*this, IDC_AMG_EXEC_MINUTE_SPIN, 0, 59);
  SetSpin(*this, IDC_AMG_EXEC_ITERATIONS_SPIN, 1, kMaxIterations);
  SetSpin(*this, IDC_AMG_EXEC_TARGET_SPIN, 1, static_cast<int>(kMaxTargetError));
  startMode = 0;
  if (AnlModel* model = CurrentModel()) {
    useAdaptivity = model->GetHAdaptivity() == CaeOn;
    iterations = model->GetAdaptIterations();
    targetError = model->GetAdaptTargetError();
  }
  CWizBasePP::OnInitDialog();
  OnHAdaptivity();
  return TRUE;
}

BOOL CANL_ExecPP::OnSetActive() {
  if (CPropertySheet* owner = sheet()) {
    const CaeString cancel = resLoadString(IDS_AMG_CANCEL);
    if (CWnd* button = owner->GetDlgItem(IDCANCEL)) button->SetWindowText(cancel.IsEmpty() ? "Cancel" : cancel.c_str());
  }
  return CCondWizPage::OnSetActive();
}

void CANL_ExecPP::OnHAdaptivity() {
  const bool adapt = Checked(*this, IDC_AMG_EXEC_ADAPT);
  Enable(*this, IDC_AMG_EXEC_ITERATIONS, adapt);
  Enable(*this, IDC_AMG_EXEC_TARGET, adapt);
  if (adapt) {
    CheckRadioButton(IDC_AMG_EXEC_NOW, IDC_AMG_EXEC_DEFERRED, IDC_AMG_EXEC_NOW);
    startMode = 0;
  }
  Enable(*this, IDC_AMG_EXEC_DEFERRED, !adapt);
  OnStartMode();
}

void CANL_ExecPP::OnStartMode() {
  const bool deferred = Checked(*this, IDC_AMG_EXEC_DEFERRED);
  for (int id : {IDC_AMG_EXEC_DAY, IDC_AMG_EXEC_HOUR, IDC_AMG_EXEC_MINUTE, IDC_AMG_EXEC_MONTH, IDC_AMG_EXEC_YEAR})
    Enable(*this, id, deferred);
}

std::tm CANL_ExecPP::StartTime() const {
  std::tm start{};
  start.tm_year = year - 1900;
  start.tm_mon = month - 1;
  start.tm_mday = day;
  start.tm_hour = hour;
  start.tm_min = minute;
  start.tm_isdst = -1;
  return start;
}

bool CANL_ExecPP::Validate() {
  if (!UpdateData(TRUE)) return false;
  if (startMode == 1 && !UIStartTimeAccepted(StartTime(), UISubmitNow())) {
    CadMessageBoxId(IDS_DELAYED_IN_PAST, MB_OK | MB_TASKMODAL);
    return false;
  }
  return true;
}

bool CANL_ExecPP::MeshIfNeeded() {
  AnlModel* model = CurrentModel();
  CAMGWizPS* sheet = Sheet();
  if (!model || !sheet) return false;
  if (model->NumSubModels() > 0) return true;
  AmgMesh* mesh = sheet->WorkingMesh();
  if (!mesh) {
    CadMessageBoxId(IDS_AMG_NO_WORKING_MESH, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return false;
  }
  const int meshed = UIGenerateWizardMesh(mesh, CString(UICurrentMaterialName));
  // The drawing owns the entity now, or removed it when meshing failed: never pass it again.
  if (CAMG_GeomPickPP* geom = sheet->GeomPage()) geom->ForgetWorkingMesh();
  return meshed != 0;
}

void CANL_ExecPP::Submit() {
  CAMGWizPS* sheet = Sheet();
  AnlModel* model = CurrentModel();
  CANL_IdentPP* ident = sheet ? sheet->IdentPage() : nullptr;
  if (!sheet || !model || !ident) return;
  const int type = ident->analysisType;
  UIModeSettings modes;
  const bool extracts = type == kVibration || type == kBuckling;
  if (extracts && sheet->FreqPage()) modes = sheet->FreqPage()->Settings(type == kVibration);
  std::tm start = StartTime();
  model->SetHAdaptivity(useAdaptivity ? CaeOn : CaeOff);
  model->SetAdaptIterations(iterations);
  model->SetAdaptTargetError(targetError);
  CaeString jobName;
  const int submitted =
      UISubmitAnalysis(model, jobName, 0, extracts ? &modes : nullptr, ident->ResultCases(),
                       UIWizardOutputRequests(type), startMode == 1 ? &start : nullptr, kTempConvergence);
  ident->ResultCases().RemoveAll();  // the submission took them
  if (submitted) {
    sheet->finished = TRUE;
    UISetWizardTabState(kStepAnalyze, 1);
  }
}

BOOL CANL_ExecPP::OnWizardFinish() {
  // Entries first: a refusal keeps the page with the sheet in view.
  if (!Validate()) return FALSE;
  CAMGWizPS* sheet = Sheet();
  if (!sheet) return FALSE;
  if (CadInterface* cad = CadInterface::GetCurrent())
    if (HWND main = cad->GetMainWindow()) ::SetActiveWindow(main);
  sheet->ShowWindow(SW_HIDE);
  if (!MeshIfNeeded()) {
    sheet->ShowWindow(SW_SHOW);
    return FALSE;
  }
  Submit();  // a failed submission is reported by the submission and closes the wizard unfinished
  return CWizBasePP::OnWizardFinish();
}
