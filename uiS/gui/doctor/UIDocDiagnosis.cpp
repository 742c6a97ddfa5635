#include "gui/doctor/UIDocDiagnosis.h"

#include <clocale>
#include <cstdio>
#include <string>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerDoctor.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/doctor/UIDocTests.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/wizard/UIPageEventAdapter.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kGoOn = 37;
constexpr int kAnalyze = 7;
constexpr int kRefinePressed = 1111;
constexpr int kDiagnosisPositionKey = 910;
constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr DWORD kHelpFailed = 0x80000010;
constexpr DWORD kHelpConceptFailure = 0x80000015;
constexpr int kConceptAnalysis = 2;
constexpr int kConceptFailure = -1;
// Mesh engines around an adaptive pass (the engine's numbers).
constexpr int kAdaptMeshEngine = 2;
constexpr int kDefaultMeshEngine = 4;
constexpr int kSpeedMin = 1, kSpeedMax = 19, kFramesMin = 3, kFramesMax = 36;

const unsigned kTestNames[kDocTestKinds] = {IDS_DOC_TEST_EXECUTION,  IDS_DOC_TEST_ERROR,     IDS_DOC_TEST_YIELD,
                                            IDS_DOC_TEST_FOS,        IDS_DOC_TEST_FREQUENCY, IDS_DOC_TEST_LOAD_FACTOR,
                                            IDS_DOC_TEST_TEMPERATURE};

// "%g" in the C locale, whatever the host's: the texts read the same everywhere.
CString Format(unsigned stringId, double first, double second) {
  const CaeString pattern = resLoadString(stringId);
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "C");
  char text[1024];
  std::snprintf(text, sizeof text, pattern.c_str(), first, second);
  std::setlocale(LC_NUMERIC, saved.c_str());
  return CString(text);
}

CString Text(unsigned stringId) { return CString(resLoadString(stringId).c_str()); }

FerState& StateAt(const char* source, int line) {
  FerState* state = FerState::GetState();
  if (!state) CaeMsgCall::GeneralError(source, line);
  return *state;
}

CaeFerInterface& InterfaceAt(const char* source, int line) {
  CaeFerInterface* ferInterface = StateAt(source, line).GetInterface();
  if (!ferInterface) CaeMsgCall::GeneralError(source, line);
  return *ferInterface;
}

void ShowResultsWindow(int show) {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(show);
}

void ActivateMainWindow() {
  if (CadInterface* cad = CadInterface::GetCurrent())
    if (HWND main = cad->GetMainWindow()) ::SetActiveWindow(main);
}

// The texts of the design tests by analysis type: pass, fail diagnosis, fail recommendation.
struct DesignTexts {
  unsigned pass, fail, advice;
};
const DesignTexts kDesignTexts[] = {
    {IDS_DOC_FOS_PASS, IDS_DOC_FOS_FAIL, IDS_DOC_FOS_ADVICE},
    {IDS_DOC_FREQ_PASS, IDS_DOC_FREQ_FAIL, IDS_DOC_FREQ_ADVICE},
    {IDS_DOC_LOAD_PASS, IDS_DOC_LOAD_FAIL, IDS_DOC_LOAD_ADVICE},
    {IDS_DOC_TEMP_PASS, IDS_DOC_TEMP_FAIL, IDS_DOC_TEMP_ADVICE},
};

// Every live mesh of the model.
template <class Each>
void ForEachMesh(AnlModel& model, Each each) {
  for (int i = 0; i < model.NumSubModels(); ++i)
    if (AnlSubModel* sub = model.GetSubModel(i))
      if (AmgMesh* mesh = sub->Mesh()) each(*mesh);
}

// The mesh engines go back to the default on every way out of the Refine road.
struct MeshEngineGuard {
  explicit MeshEngineGuard(AnlModel& m) : model(m) {
    ForEachMesh(model, [](AmgMesh& mesh) { mesh.SetMeshEngine(kAdaptMeshEngine); });
  }
  ~MeshEngineGuard() {
    ForEachMesh(model, [](AmgMesh& mesh) { mesh.SetMeshEngine(kDefaultMeshEngine); });
  }
  MeshEngineGuard(const MeshEngineGuard&) = delete;
  MeshEngineGuard& operator=(const MeshEngineGuard&) = delete;
  AnlModel& model;
};

void DeleteStaleJobsAndSets(AnlModel& model) {
  std::vector<AnlJob*> jobs;
  for (int i = 0; i < model.NumJobs(); ++i)
    if (AnlJob* job = model.GetJob(i); job && !job->IsMarkedAsErased()) jobs.push_back(job);
  for (AnlJob* job : jobs) model.DeleteJob(job);
  std::vector<CaeString> sets;
  for (int i = 0; i < model.NumResultSets(); ++i)
    if (FerResultSet* set = model.GetResultSet(i); set && !set->IsMarkedAsErased()) sets.push_back(set->Name());
  for (const CaeString& name : sets) model.DeleteResultSet(name);
}

}  // namespace

// ---- pages ----

BEGIN_MESSAGE_MAP(CDocTextPP, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
ON_BN_CLICKED(IDC_DOC_REFINE, OnRefine)
END_MESSAGE_MAP()

CDocTextPP::CDocTextPP(UINT templateId, int textId, DWORD helpContext, bool keepsDisplay)
    : CWizBasePP(templateId), textId_(textId), helpContext_(helpContext), keepsDisplay_(keepsDisplay) {
  m_psp.dwFlags |= PSP_HASHELP;
}

void CDocTextPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Text(dx, textId_, diagnosis_);
  if (GetDlgItem(IDC_DOC_ADVICE_TEXT)) DDX_Text(dx, IDC_DOC_ADVICE_TEXT, recommendation_);
}

BOOL CDocTextPP::OnInitDialog() {
  CWizBasePP::OnInitDialog();
  CancelToClose();
  return TRUE;
}

BOOL CDocTextPP::OnSetActive() {
  if (keepsDisplay_ && saved_) {
    FerState& state = StateAt("uiS/gui/doctor/UIDocDiagnosis", __LINE__);
    CaeFerInterface& view = InterfaceAt("uiS/gui/doctor/UIDocDiagnosis", __LINE__);
    FerDisplay* display = nullptr;
    FerDispSettings current;
    view.GetFerSettings(display, current);
    view.SetFerSettings(display, *saved_);
    state.UpdateImage();
  }
  return CWizBasePP::OnSetActive();
}

BOOL CDocTextPP::OnKillActive() {
  if (keepsDisplay_ && !saved_) {
    CaeFerInterface& view = InterfaceAt("uiS/gui/doctor/UIDocDiagnosis", __LINE__);
    FerDisplay* display = nullptr;
    saved_ = std::make_unique<FerDispSettings>();
    view.GetFerSettings(display, *saved_);
  }
  return CWizBasePP::OnKillActive();
}

BOOL CDocTextPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(helpContext_, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

void CDocTextPP::OnPaint() { CPaintDC paint(this); }

BOOL CDocTextPP::OnQueryNewPalette() {
  const int realised = CPageEventAdapter::OnQueryNewPalette(this);
  SendMessage(WM_PAINT);
  return realised;
}

void CDocTextPP::OnPaletteChanged(CWnd*) { SendMessage(WM_PAINT); }

void CDocTextPP::OnRefine() {
  ActivateMainWindow();
  if (CPropertySheet* owner = sheet()) owner->EndDialog(kRefinePressed);
}

BEGIN_MESSAGE_MAP(CDocAnimatePP, CWizBasePP)
ON_BN_CLICKED(IDC_DOC_PLAY, OnPlay)
ON_BN_CLICKED(IDC_DOC_STOP, OnStop)
ON_BN_CLICKED(IDC_DOC_BACK, OnBack)
ON_BN_CLICKED(IDC_DOC_FORWARD, OnForward)
END_MESSAGE_MAP()

CDocAnimatePP::CDocAnimatePP() : CWizBasePP(IDD_DOC_ANIMATE) { m_psp.dwFlags |= PSP_HASHELP; }

void CDocAnimatePP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Check(dx, IDC_DOC_FORWARD_ONLY, forwardOnly_);
}

BOOL CDocAnimatePP::OnSetActive() {
  if (CWizBasePP::OnSetActive()) {
    if (!initialised_) {
      StateAt("uiS/gui/doctor/UIDocAnmPP", 103).AnimateInit();
      initialised_ = true;
    }
    forwardOnly_ = 0;
    CheckDlgButton(IDC_DOC_FORWARD_ONLY, 0);
    int repetitions = 0, frames = 0, kind = 0, modal = 0;
    double speed = 0.0;
    UIGetAnimationSettings(repetitions, frames, speed, kind, modal);
    if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_DOC_SPEED))) {
      slider->SetRange(kSpeedMin, kSpeedMax);
      slider->SetPos(static_cast<int>(speed));
    }
    if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_DOC_STEP_SIZE))) {
      slider->SetRange(kFramesMin, kFramesMax);
      slider->SetPos(frames);
    }
  }
  return StateAt("uiS/gui/doctor/UIDocAnmPP", 132).DefaultDisplay(1);
}

BOOL CDocAnimatePP::OnKillActive() {
  if (!CWizBasePP::OnKillActive()) return FALSE;
  OnStop();
  StateAt("uiS/gui/doctor/UIDocAnmPP", 148).AnimateDone();
  initialised_ = false;
  return TRUE;
}

BOOL CDocAnimatePP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(kHelpTemplateBase + IDD_DOC_ANIMATE, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

void CDocAnimatePP::ApplySliders() {
  auto* frames = static_cast<CSliderCtrl*>(GetDlgItem(IDC_DOC_STEP_SIZE));
  auto* speed = static_cast<CSliderCtrl*>(GetDlgItem(IDC_DOC_SPEED));
  if (frames && speed) UISetAnimationSettings(-1, frames->GetPos(), speed->GetPos());
}

void CDocAnimatePP::OnForward() {
  ApplySliders();
  StateAt("uiS/gui/doctor/UIDocAnmPP", 166).AnimateStep(1);
}

void CDocAnimatePP::OnBack() {
  ApplySliders();
  StateAt("uiS/gui/doctor/UIDocAnmPP", 176).AnimateStep(-1);
}

void CDocAnimatePP::OnPlay() {
  CadWaitCursor wait;
  ApplySliders();
  const HWND active = ::GetActiveWindow();
  if (CWnd* play = GetDlgItem(IDC_DOC_PLAY)) play->EnableWindow(FALSE);
  UpdateData(TRUE);
  UIAnimate(forwardOnly_ ? 0 : 1);
  if (active) ::SetActiveWindow(active);
}

void CDocAnimatePP::OnStop() {
  StateAt("uiS/gui/doctor/UIDocAnmPP", 208).AnimateStop();
  if (CWnd* play = GetDlgItem(IDC_DOC_PLAY)) play->EnableWindow(TRUE);
}

// ---- the diagnosis ----

namespace {

// The sheet of one diagnosis: its pages, tab icons and caption.
class DiagnosisSheet {
 public:
  explicit DiagnosisSheet(int kind) : sheet_(Caption(kind).c_str(), nullptr, 0) {
    sheet_.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet_.m_nPositionKey = kDiagnosisPositionKey;
    sheet_.m_bShowTabIcons = TRUE;
    sheet_.CreateTabImageList(16);
  }
  void Add(CPropertyPage& page, UINT icon) {
    sheet_.AddPage(&page);
    sheet_.AddTabIcon(icon);
  }
  INT_PTR Run() { return sheet_.DoModal(); }

 private:
  static CaeString Caption(int kind) {
    const int name = kind >= 0 && kind < kDocTestKinds ? kind : 0;
    return resLoadString(IDS_DOC_DIAGNOSIS_CAPTION) + resLoadString(IDS_DOC_CAPTION_SEPARATOR) +
           resLoadString(kTestNames[name]);
  }
  CGenericPS sheet_;
};

int DesignDiagnosis(FerDoctor& doctor, int kind, double first, double second, int type, int show) {
  ShowResultsWindow(1);
  const bool range = type == 1 || type == 3;
  const int status = range ? doctor.DiagnoseDesign(type, first, second) : doctor.DiagnoseDesign(type, first);
  if ((status != 0 && status != 1) || type < 0 || type > 3) return kGoOn;
  const DesignTexts& texts = kDesignTexts[type];
  CDocTextPP pass(IDD_DOC_PASS, IDC_DOC_PASS_TEXT, kHelpTemplateBase + IDD_DOC_PASS, true);
  CDocTextPP fail(IDD_DOC_FAIL, IDC_DOC_FAIL_TEXT, kHelpFailed, true);
  CDocAnimatePP animate;
  DiagnosisSheet sheet(kind);
  if (status == 0) {
    pass.SetDiagnosis(Format(texts.pass, doctor.MinFOS(), first));
    sheet.Add(pass, IDI_DOC_PASSED);
  } else {
    fail.SetDiagnosis(Format(texts.fail, doctor.MinFOS(), first));
    fail.SetRecommendation(Text(texts.advice));
    sheet.Add(fail, IDI_CHECK_ERROR);
  }
  sheet.Add(animate, IDI_SUBMIT_MODES);
  if (show) sheet.Run();
  return kGoOn;
}

}  // namespace

int UIDocShowDiagnosis(int kind, double first, double second, int type, int show) {
  FerDoctor doctor(1);
  CDocTextPP pass(IDD_DOC_PASS, IDC_DOC_PASS_TEXT, kHelpTemplateBase + IDD_DOC_PASS, true);
  CDocTextPP fail(IDD_DOC_FAIL, IDC_DOC_FAIL_TEXT, kHelpFailed, true);
  CDocTextPP refine(IDD_DOC_FAIL_REFINE, IDC_DOC_PASS_TEXT, kHelpTemplateBase + IDD_DOC_FAIL_REFINE, false);
  switch (kind) {
    case kDocExecution: {
      DiagnosisSheet sheet(kind);
      pass.SetDiagnosis(Text(IDS_DOC_EXECUTION_PASS));
      sheet.Add(pass, IDI_DOC_PASSED);
      if (show) sheet.Run();
      return kGoOn;
    }
    case kDocMeshingError: {
      ShowResultsWindow(1);
      const int status = doctor.DiagnoseQuality(type, first);
      DiagnosisSheet sheet(kind);
      if (status == 0) {
        pass.SetDiagnosis(Format(IDS_DOC_ERROR_PASS, doctor.MaxError(), first));
        sheet.Add(pass, IDI_DOC_PASSED);
        if (show) sheet.Run();
      } else if (status == 1) {
        refine.SetDiagnosis(Format(IDS_DOC_ERROR_FAIL, doctor.MaxError(), first));
        refine.SetRecommendation(Text(IDS_DOC_ERROR_ADVICE));
        sheet.Add(refine, IDI_CHECK_ERROR);
        if (show && sheet.Run() == kRefinePressed) return UIDocRefine(doctor, first);
      }
      return kGoOn;
    }
    case kDocYieldStress: {
      ShowResultsWindow(1);
      const int status = doctor.DiagnoseValidity(type);
      DiagnosisSheet sheet(kind);
      if (status == 0) {
        pass.SetDiagnosis(Format(IDS_DOC_YIELD_PASS, doctor.MinFOS(), 0.0));
        sheet.Add(pass, IDI_DOC_PASSED);
      } else if (status == 1) {
        fail.SetDiagnosis(Text(IDS_DOC_YIELD_FAIL));
        fail.SetRecommendation(Text(IDS_DOC_YIELD_ADVICE));
        sheet.Add(fail, IDI_CHECK_ERROR);
      } else {
        return kGoOn;
      }
      if (show) sheet.Run();
      return kGoOn;
    }
    case kDocFactorOfSafety:
    case kDocFrequencyRange:
    case kDocLoadFactor:
    case kDocTemperatureRange: return DesignDiagnosis(doctor, kind, first, second, type, show);
    default: return kGoOn;
  }
}

int UIDocRefine(FerDoctor& doctor, double maxError) {
  CadWaitCursor wait;
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  FerResultSet* set = control ? control->CurrentResultSet() : nullptr;
  if (!model || !set) return 0;
  ShowResultsWindow(0);
  doctor.ResetDisplay();
  model->SetAdaptTargetError(maxError);
  CaeString message;
  int stop = 0;
  {
    MeshEngineGuard engines(*model);
    // All or nothing: the engine remakes every mesh or none, so the stale jobs and sets go only
    // when the meshes changed.
    if (model->AdaptMeshes(set, doctor.QuantityType(), message, stop) == 0) DeleteStaleJobsAndSets(*model);
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RegenAll();
  if (!message.IsEmpty()) {
    CadMessageBoxText(message.c_str(), MB_TASKMODAL);
    return 0;
  }
  return stop ? 0 : kAnalyze;
}

void UIDocShowJobErrorHelp(AnlJob* job) {
  if (!job) return;
  const int number = job->GetErrMsgNum();
  if (job->AnalysisCode() == kConceptAnalysis && number == kConceptFailure) {
    UIShowHelp(kHelpConceptFailure, HELP_CONTEXT);
    return;
  }
  if (number == AnlJob::kErrCancelled || number == AnlJob::kErrNone) {
    CadMessageBoxId(IDS_DOC_NO_DIAGNOSTIC, MB_TASKMODAL);
    return;
  }
  CaeString root;
  CaeConfig::GetValue(1, CaeString("Root Directory"), root);
  const CaeString file = root + CaeString("\\help_ana.hlp");
  if (!::WinHelp(nullptr, file.c_str(), HELP_CONTEXT, static_cast<DWORD_PTR>(number)))
    CadMessageBoxText(CaeString::Format(resLoadString(IDS_DOC_NO_HELP_FILE).Text(), file.Text(), number).c_str(),
                      MB_TASKMODAL);
}
