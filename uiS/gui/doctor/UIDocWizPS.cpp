#include "gui/doctor/UIDocWizPS.h"

#include <algorithm>
#include <cstdint>
#include <exception>

#include "amg/CaeExcept.h"
#include "amg/CaeInterupt.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/doctor/UIDocDiagnosis.h"
#include "gui/explorer/UICommands.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/wizard/UIPageEventAdapter.h"
#include "res/ResourceIds.h"

namespace {

constexpr UINT_PTR kBusyTimer = 139;
constexpr UINT kBusyPeriodMs = 500;
constexpr int kBusyStep = 5;
constexpr int kColumnMargin = 30;
constexpr DWORD kHelpTemplateBase = 0x20000;
// The worker's request to run a call on the window thread (lParam: the call).
constexpr UINT kMsgDoctorCall = WM_APP + 0x139;
constexpr int kImageRunning = 0;
constexpr int kImagePassed = 1;
constexpr int kImageFailed = 2;
// Results of a diagnosis: the doctor goes on, or ends and the analysis sheet follows.
constexpr int kDiagnosisGoOn = 37;
constexpr int kDiagnosisAnalyze = 7;
constexpr int kConceptAnalysis = 2;

// The code a C++ exception foreign to the engine is reported with (as the platform raises it).
constexpr std::uint32_t kForeignFaultCode = 0xE06D7363;

bool inlineRuns = false;

const unsigned kTestNames[kDocTestKinds] = {IDS_DOC_TEST_EXECUTION,  IDS_DOC_TEST_ERROR,     IDS_DOC_TEST_YIELD,
                                            IDS_DOC_TEST_FOS,        IDS_DOC_TEST_FREQUENCY, IDS_DOC_TEST_LOAD_FACTOR,
                                            IDS_DOC_TEST_TEMPERATURE};

// The design test of each analysis type.
int DesignTestOf(int type) {
  switch (type) {
    case 0: return kDocFactorOfSafety;
    case 1: return kDocFrequencyRange;
    case 2: return kDocLoadFactor;
    case 3: return kDocTemperatureRange;
    default: return -1;
  }
}

CListCtrl* List(CWnd& page) { return static_cast<CListCtrl*>(page.GetDlgItem(IDC_DOC_LIST)); }

void Enable(CWnd* window, bool enable) {
  if (window) window->EnableWindow(enable ? TRUE : FALSE);
}

void Show(CWnd& page, int id, bool show) {
  if (CWnd* control = page.GetDlgItem(id)) control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

}  // namespace

// ---- the sheet ----

CDocWizPS::CDocWizPS(const char* caption, CWnd* parent, UINT firstPage) : CGenericPS(caption, parent, firstPage) {
  AddPage(&parameters_);
  AddPage(&results_);
}

CDocWizPS::~CDocWizPS() = default;

void CDocWizPS::SetSubject(AnlJob* job, FerResultSet* resultSet, const CaeString& name) {
  job_ = job;
  resultSet_ = resultSet;
  name_ = name;
}

void CDocWizPS::BuildTestRows() {
  rows_.clear();
  rowCounter_ = 0;
  for (int kind = 0; kind < kDocTestKinds; ++kind) {
    DocTestRow row;
    row.row = rowCounter_++;
    row.name = resLoadString(kTestNames[kind]);
    if (kind == kDocExecution && job_ && job_->AnalysisCode() == kConceptAnalysis)
      row.name = resLoadString(IDS_DOC_TEST_CONCEPT_EXECUTION);
    row.kind = kind;
    rows_.push_back(row);
  }
}

void CDocWizPS::BuildTestList() {
  list_.assign(1, kDocExecution);
  if (job_) {
    if (job_->Failed()) return;
    for (int kind = kDocMeshingError; kind < kDocTestKinds; ++kind) list_.push_back(kind);
    return;
  }
  if (!resultSet_) return;
  list_.push_back(kDocMeshingError);
  const int type = static_cast<int>(resultSet_->AnalType());
  if (type == 0) list_.push_back(kDocYieldStress);
  if (DesignTestOf(type) >= 0) list_.push_back(DesignTestOf(type));
}

int CDocWizPS::RowStatus(int kind) const {
  if (kind < 0 || kind >= static_cast<int>(rows_.size())) return kDocNotRun;
  return rows_[static_cast<size_t>(kind)].status;
}

int CDocWizPS::RunTest(int kind) {
  int status = kDocNotRun;
  const DocTestParameters& p = UIDocParameters();
  if (jobFailed_ && kind != kDocExecution) {
    status = kDocNotRun;
  } else if (kind == kDocExecution) {
    status = RunExecution();
  } else if (kind == kDocMeshingError) {
    status = UIDocRunTest(kind, p.maxMeshingError, 0.0, type_);
  } else if (kind == kDocYieldStress) {
    if (type_ == 0) {
      results_.OnWindow([this] { parameters_.UpdateMaterialStresses(0); });
      status = UIDocRunTest(kind, 0.0, 0.0, type_);
    }
  } else if (kind == DesignTestOf(type_)) {
    switch (kind) {
      case kDocFactorOfSafety: status = UIDocRunTest(kind, p.minFactorOfSafety, 0.0, type_); break;
      case kDocFrequencyRange: status = UIDocRunTest(kind, p.frequencyLower, p.frequencyUpper, type_); break;
      case kDocLoadFactor: status = UIDocRunTest(kind, p.minLoadFactor, 0.0, type_); break;
      default: status = UIDocRunTest(kind, p.temperatureLower, p.temperatureUpper, type_); break;
    }
  }
  if (kind >= 0 && kind < static_cast<int>(rows_.size())) rows_[static_cast<size_t>(kind)].status = status;
  // A test whose diagnosis was opened before shows its finding again.
  if (kind == remembered_ && kind != kDocExecution && status != kDocNotRun)
    results_.OnWindow([this, kind] { ShowDiagnosis(kind, 0); });
  return status;
}

int CDocWizPS::RunExecution() {
  if (job_) {
    if (jobFailed_ || job_->Failed()) return kDocFailed;
    // Only the set read from this job is its result; without one the test fails (the reader has
    // said why) and no other set is tested in its place.
    FerResultSet* set = nullptr;
    results_.OnWindow([this, &set] { set = LoadJobResults(); });
    if (!set) return kDocFailed;
    results_.OnWindow([this, set] { AdoptResultSet(set); });
    return kDocPassed;
  }
  if (!resultSet_) return kDocFailed;
  results_.OnWindow([this] { AdoptResultSet(resultSet_); });
  return kDocPassed;
}

FerResultSet* CDocWizPS::LoadJobResults() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  // An optimisation job's subject need not have a simulation model.
  if (!model || !job_->HaveResults()) return nullptr;
  return UIShowJobResults(job_, model, 1, 0);
}

void CDocWizPS::AdoptResultSet(FerResultSet* set) {
  resultSet_ = set;
  name_ = set->Name();
  job_ = nullptr;
  type_ = static_cast<int>(set->AnalType());
  CadOpenResultSet(set);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RebuildExplorer();
}

int CDocWizPS::ShowDiagnosis(int kind, int show) {
  remembered_ = kind;
  const DocTestParameters& p = UIDocParameters();
  switch (kind) {
    case kDocExecution:
      if (jobFailed_) {
        UIDocShowJobErrorHelp(job_);
        return kDiagnosisGoOn;
      }
      return UIDocShowDiagnosis(kind, 0.0, 0.0, type_, 1);
    case kDocMeshingError: return UIDocShowDiagnosis(kind, p.maxMeshingError, 0.0, type_, show);
    case kDocYieldStress: return UIDocShowDiagnosis(kind, 0.0, 0.0, type_, show);
    case kDocFactorOfSafety: return UIDocShowDiagnosis(kind, p.minFactorOfSafety, 0.0, type_, show);
    case kDocFrequencyRange: return UIDocShowDiagnosis(kind, p.frequencyLower, p.frequencyUpper, type_, show);
    case kDocLoadFactor: return UIDocShowDiagnosis(kind, p.minLoadFactor, 0.0, type_, show);
    case kDocTemperatureRange: return UIDocShowDiagnosis(kind, p.temperatureLower, p.temperatureUpper, type_, show);
    default: return 0;
  }
}

// ---- the results page ----

BEGIN_MESSAGE_MAP(CDocExecPP, CWizBasePP)
ON_WM_PAINT()
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
ON_WM_TIMER()
ON_MESSAGE(kMsgDoctorCall, OnWindowCall)
ON_BN_CLICKED(IDC_DOC_DIAGNOSIS, OnDiagnosis)
ON_NOTIFY(NM_CLICK, IDC_DOC_LIST, OnListClick)
ON_NOTIFY(NM_DBLCLK, IDC_DOC_LIST, OnListClick)
ON_NOTIFY(LVN_KEYDOWN, IDC_DOC_LIST, OnListKey)
END_MESSAGE_MAP()

CDocExecPP::CDocExecPP() : CWizBasePP(IDD_DOC_RESULTS) { m_psp.dwFlags |= PSP_HASHELP; }

CDocExecPP::~CDocExecPP() = default;

void CDocExecPP::SetInlineRuns(bool runInline) { inlineRuns = runInline; }

void CDocExecPP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Control(dx, IDC_DOC_PROGRESS, progress_);
  DDX_Check(dx, IDC_DOC_CLOSE_RESULTS, closeResults_);
}

BOOL CDocExecPP::OnInitDialog() {
  sheet_ = static_cast<CDocWizPS*>(sheet());
  windowThread_ = std::this_thread::get_id();
  closeResults_ = UIDocParameters().closeResultsOnFinish;
  CWizBasePP::OnInitDialog();
  images_ = std::make_unique<CImageList>();
  images_->Create(16, 16, ILC_MASK, 3, 3);
  {
    ResourceSetter resources(1);
    for (UINT icon : {IDI_DOC_RUNNING, IDI_DOC_PASSED, IDI_CHECK_ERROR}) {
      HICON handle = AfxGetApp()->LoadIcon(icon);
      images_->Add(handle);
      DestroyIcon(handle);
    }
  }
  if (CListCtrl* list = List(*this)) {
    list->SetImageList(images_.get(), LVSIL_SMALL);
    list->InsertColumn(0, "", LVCFMT_LEFT, -1);
  }
  return TRUE;
}

BOOL CDocExecPP::OnSetActive() {
  if (!sheet_) sheet_ = static_cast<CDocWizPS*>(sheet());
  sheet_->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  if (CWnd* name = GetDlgItem(IDC_DOC_SUBJECT)) name->SetWindowText(sheet_->SubjectName().c_str());
  cancel_ = 0;
  // The list is complete before the worker sees it; from now on only the worker changes it.
  sheet_->BuildTestList();
  running_ = true;
  const BOOL active = CWizBasePP::OnSetActive();
  if (inlineRuns) {
    RunTests();
  } else if (!AfxBeginThread(UIDocTestThread, this)) {
    running_ = false;
  }
  return active;
}

BOOL CDocExecPP::OnQueryCancel() {
  // Cancel stops the run after the running test; it never closes the sheet from here.
  cancel_ = 1;
  return FALSE;
}

BOOL CDocExecPP::OnWizardFinish() {
  UpdateData(TRUE);
  UIDocParameters().closeResultsOnFinish = closeResults_;
  if (closeResults_)
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(0);
  return CWizBasePP::OnWizardFinish();
}

BOOL CDocExecPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == static_cast<UINT>(PSN_HELP)) {
    UIShowHelp(kHelpTemplateBase + IDD_DOC_RESULTS, HELP_CONTEXT);
    *result = 1;
    return TRUE;
  }
  return CWizBasePP::OnNotify(wParam, lParam, result);
}

void CDocExecPP::OnPaint() { CPaintDC paint(this); }

BOOL CDocExecPP::OnQueryNewPalette() {
  const int realised = CPageEventAdapter::OnQueryNewPalette(this);
  SendMessage(WM_PAINT);
  return realised;
}

void CDocExecPP::OnPaletteChanged(CWnd*) { SendMessage(WM_PAINT); }

void CDocExecPP::OnWindow(const std::function<void()>& call) {
  if (!m_hWnd || std::this_thread::get_id() == windowThread_) {
    call();
    return;
  }
  std::exception_ptr raised;
  std::function<void()> guarded = [&] {
    try {
      call();
    } catch (...) {
      raised = std::current_exception();
    }
  };
  ::SendMessage(m_hWnd, kMsgDoctorCall, 0, reinterpret_cast<LPARAM>(&guarded));
  if (raised) std::rethrow_exception(raised);
}

LRESULT CDocExecPP::OnWindowCall(WPARAM, LPARAM lParam) {
  (*reinterpret_cast<std::function<void()>*>(lParam))();
  return 0;
}

void CDocExecPP::StartProgress() {
  progress_.SetRange(0, 100);
  busyPosition_ = kBusyStep;
  progress_.SetPos(busyPosition_);
  busyTimer_ = SetTimer(kBusyTimer, kBusyPeriodMs);
}

void CDocExecPP::OnTimer(UINT_PTR id) {
  if (id != kBusyTimer) {
    CWizBasePP::OnTimer(id);
    return;
  }
  busyPosition_ += kBusyStep;
  if (busyPosition_ >= 100) busyPosition_ = kBusyStep;
  progress_.SetPos(busyPosition_);
}

void CDocExecPP::StopProgress() {
  if (busyTimer_) KillTimer(busyTimer_);
  busyTimer_ = 0;
  progress_.SetPos(100);
}

int CDocExecPP::RunTests() {
  std::vector<int>& tests = sheet_->TestList();
  bool allPassed = true;
  bool removed = false;
  int widest = 0;
  int position = -1;
  OnWindow([&] {
    sheet_->BuildTestRows();
    Enable(sheet_->GetDlgItem(IDCANCEL), true);
    Enable(sheet_->GetDlgItem(ID_WIZBACK), false);
    Enable(sheet_->GetDlgItem(ID_WIZFINISH), false);
    Enable(GetDlgItem(IDC_DOC_DIAGNOSIS), false);
    Show(*this, IDC_DOC_HINT, false);
    if (CWnd* status = GetDlgItem(IDC_DOC_STATUS)) status->SetWindowText("Running Tests... Click Cancel to Abort.");
    List(*this)->DeleteAllItems();
    selected_ = -1;
    StartProgress();
  });
  CaeInterupt* interrupt = CaeInterupt::GetCurrent();
  if (interrupt) interrupt->Initialize();
  size_t i = 0;
  try {
    for (; i < tests.size(); ++i) {
      const int kind = tests[i];
      ++position;
      OnWindow([&] {
        CListCtrl* list = List(*this);
        const char* name = sheet_->Row(kind).name.c_str();
        list->InsertItem(position, name, kImageRunning);
        if (list->GetStringWidth(name) > widest) {
          widest = list->GetStringWidth(name);
          list->SetColumnWidth(0, widest + kColumnMargin);
        }
      });
      const int status = sheet_->RunTest(kind);
      if (status == kDocNotRun) {
        OnWindow([&] { List(*this)->DeleteItem(position); });
        tests.erase(tests.begin() + static_cast<std::ptrdiff_t>(i));
        --position;
        --i;
        removed = true;
      } else {
        OnWindow([&] {
          List(*this)->SetItem(position, 0, LVIF_IMAGE, nullptr, status == kDocPassed ? kImagePassed : kImageFailed, 0,
                               0, 0);
        });
        if (status == kDocFailed) {
          allPassed = false;
          if (selected_ < 0) selected_ = position;
        }
      }
      if (cancel_ || (kind == kDocExecution && status == kDocFailed)) break;
    }
    if (interrupt) interrupt->Close();
  } catch (const CaeExcept&) {
    // The engine gave up on the running test: its row goes and the run ends.
    OnWindow([&] { List(*this)->DeleteItem(position); });
    if (i < tests.size()) tests.erase(tests.begin() + static_cast<std::ptrdiff_t>(i));
    removed = true;
  }
  OnWindow([&] {
    StopProgress();
    int select = -1;
    const int remembered = sheet_->RememberedTest();
    for (size_t at = 0; at < tests.size() && select < 0; ++at)
      if (tests[at] == remembered) select = static_cast<int>(at);
    if (select < 0) select = selected_ >= 0 ? selected_ : static_cast<int>(tests.size()) - 1;
    SelectRow(SelectCompletedRow(select));
    unsigned summary = IDS_DOC_SOME_FAILED;
    if (AnyTestNotCompleted())
      summary = IDS_DOC_NOT_COMPLETED;
    else if (allPassed)
      summary = IDS_DOC_ALL_PASSED;
    if (CWnd* status = GetDlgItem(IDC_DOC_STATUS)) status->SetWindowText(resLoadString(summary).c_str());
    if (removed) List(*this)->Invalidate();
    RunEnded();
  });
  return allPassed ? 1 : 0;
}

void CDocExecPP::RunEnded() {
  running_ = false;
  Enable(sheet_->GetDlgItem(IDCANCEL), false);
  Enable(sheet_->GetDlgItem(ID_WIZBACK), true);
  Enable(sheet_->GetDlgItem(ID_WIZFINISH), true);
  Show(*this, IDC_DOC_HINT, true);
  UpdateDiagnosisButton();
}

int CDocExecPP::SelectCompletedRow(int position) const {
  const std::vector<int>& tests = sheet_->TestList();
  if (position < 0 || position >= static_cast<int>(tests.size())) return -1;
  if (sheet_->RowStatus(tests[static_cast<size_t>(position)]) != kDocNotRun) return position;
  for (size_t at = 0; at < tests.size(); ++at)
    if (sheet_->RowStatus(tests[at]) != kDocNotRun) return static_cast<int>(at);
  return position;
}

bool CDocExecPP::AnyTestNotCompleted() const {
  for (int kind : sheet_->TestList()) {
    if (kind == kDocYieldStress && sheet_->AnalysisType() != 0) continue;
    if (sheet_->RowStatus(kind) == kDocNotRun) return true;
  }
  return false;
}

void CDocExecPP::SelectRow(int position) {
  selected_ = position;
  if (position >= 0) List(*this)->SetItemState(position, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  UpdateDiagnosisButton();
}

void CDocExecPP::ReadSelection() {
  CListCtrl* list = List(*this);
  selected_ = list->GetNextItem(-1, LVNI_SELECTED);
  if (selected_ < 0) selected_ = list->GetNextItem(-1, LVNI_FOCUSED);
}

void CDocExecPP::UpdateDiagnosisButton() {
  const std::vector<int>& tests = sheet_->TestList();
  const bool usable = !running_ && selected_ >= 0 && selected_ < static_cast<int>(tests.size()) &&
                      sheet_->RowStatus(tests[static_cast<size_t>(selected_)]) != kDocNotRun;
  Enable(GetDlgItem(IDC_DOC_DIAGNOSIS), usable);
}

void CDocExecPP::OnListClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  // During a run the list only moves its own selection.
  if (running_) return;
  ReadSelection();
  UpdateDiagnosisButton();
  if (header->code == static_cast<UINT>(NM_DBLCLK)) OnDiagnosis();
}

void CDocExecPP::OnListKey(NMHDR* header, LRESULT* result) {
  *result = 0;
  if (running_) return;
  ReadSelection();
  const int last = List(*this)->GetItemCount() - 1;
  const int page = List(*this)->GetCountPerPage();
  int to = selected_;
  switch (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey) {
    case VK_PRIOR: to = std::max(0, selected_ - page + 1); break;
    case VK_HOME: to = 0; break;
    case VK_NEXT: to = std::min(last, selected_ + page - 1); break;
    case VK_END: to = last; break;
    case VK_UP: to = selected_ > 0 ? selected_ - 1 : selected_; break;
    case VK_DOWN: to = selected_ < last ? selected_ + 1 : selected_; break;
    default: break;
  }
  selected_ = to;
  UpdateDiagnosisButton();
}

void CDocExecPP::OnDiagnosis() {
  const std::vector<int>& tests = sheet_->TestList();
  if (running_ || selected_ < 0 || selected_ >= static_cast<int>(tests.size())) return;
  const int kind = tests[static_cast<size_t>(selected_)];
  if (sheet_->RowStatus(kind) == kDocNotRun) return;
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad)
    if (HWND main = cad->GetMainWindow()) ::SetActiveWindow(main);
  sheet_->ShowWindow(SW_HIDE);
  const int code = sheet_->ShowDiagnosis(kind, 1);
  if (code == kDiagnosisGoOn) {
    sheet_->ShowWindow(SW_SHOW);
    return;
  }
  sheet_->EndDialog(IDCANCEL);
  if (code == kDiagnosisAnalyze) UICmdAnalyze();
}

void CDocExecPP::EndAfterFault() {
  StopProgress();
  running_ = false;
  sheet_->EndDialog(IDCANCEL);
}

UINT UIDocTestThread(void* param) {
  auto* page = static_cast<CDocExecPP*>(param);
  try {
    page->RunTests();
  } catch (...) {
    // A fault foreign to the engine (RunTests takes the engine's own): reported, and the doctor
    // ends.
    page->OnWindow([page] {
      cmdReportException(kForeignFaultCode);
      page->EndAfterFault();
    });
  }
  return 0;
}
