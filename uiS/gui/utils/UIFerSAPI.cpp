#include "gui/utils/UIFerSAPI.h"

#include <memory>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/OptModel.h"
#include "fev/FerRender.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/utils/UINotAvailable.h"
#include "gui/utils/UIResults.h"
#include "mfc/global_memory.h"
#include "mfc/print.h"
#include "mfc/winapi.h"

namespace {

// Enumerator values this unit passes to the engine.
constexpr int kQuantityDisplacement = 3;
constexpr int kComponentMagnitude = 8;
constexpr int kUserAllowable = 1;
constexpr int kProgressClose = 2;
// Analysis types of a simulation model.
constexpr int kTypeStress = 0, kTypeVibration = 1, kTypeBuckling = 2;

// ---- the settings protocol ----

FerState& State() {
  FerState* state = FerState::GetState();
  CAE_CHECK(state != nullptr);
  return *state;
}

CaeFerInterface& Interface() {
  CaeFerInterface* ferInterface = State().GetInterface();
  CAE_CHECK(ferInterface != nullptr);
  return *ferInterface;
}

// The view's settings and the display they belong to.
struct ViewSettings {
  FerDisplay* display = nullptr;
  FerDispSettings settings;
};

ViewSettings GetSettings(bool displayRequired) {
  ViewSettings view;
  Interface().GetFerSettings(view.display, view.settings);
  if (displayRequired) CAE_CHECK(view.display != nullptr);
  return view;
}

void StoreSettings(const ViewSettings& view) { Interface().SetFerSettings(view.display, view.settings); }

AnlControl* Control() { return AnlControl::GetCurrent(); }

AnlModel* CurrentModel() {
  AnlControl* control = Control();
  return control ? control->CurrentAnlModel() : nullptr;
}

// ---- the window rule ----

FerWndOGLDisp* CurrentWindowDisplay() { return dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent()); }

void EnsureWindow() {
  FerWndOGLDisp* display = CurrentWindowDisplay();
  if (display && display->GetDisplayHandle()) return;
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->CreateResultsView();
}

void ShowWindowAndRestore(HWND activeOnEntry) {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(1);
  if (activeOnEntry && ::IsWindow(activeOnEntry)) ::SetActiveWindow(activeOnEntry);
}

void OpenModelInCad(AnlModel* model) {
  CAE_CHECK(model != nullptr);
  CadOpenModel(model->Name().Text(), model->Type());
}

// Runs an engine call whose failure the caller swallows: the progress dialog is closed and the
// function ends as if done.
template <class Call>
bool QuietlyRun(const Call& call) {
  try {
    call();
    return true;
  } catch (const CaeExcept&) {
    UIProgressControl(kProgressClose, nullptr);
    return false;
  }
}

// Reads `file` into the results state for `model` (the current model when null); the set made.
FerResultSet* ReadResults(const AnlJob& job, AnlModel* model) {
  std::unique_ptr<FerReader> reader(Interface().Reader(job.ResultsFile(), 0));
  CAE_CHECK(reader != nullptr);
  reader->SetModel(model);
  for (int i = 0; i < job.NumRCNames(); ++i) {
    CaeString first, second;
    if (job.GetResltCaseNames(i, first, second)) reader->AddResltCaseNames(second, first);
  }
  reader->Read(job.UnitSystem());
  return reader->ResultSet();
}

}  // namespace

// ---- showing results ----

FerResultSet* UIShowJobResults(AnlJob* job, AnlModel* model, int applyDefaults, int show) {
  CadWaitCursor wait;
  const HWND activeOnEntry = ::GetActiveWindow();
  CAE_CHECK(job != nullptr);
  OpenModelInCad(model);
  State();
  FerResultSet* set = ReadResults(*job, model);
  // The reader has reported why it made no set; the job and its files stay for another try.
  if (!set) return nullptr;
  model->DeleteJob(job);
  // The set just read is the drawing's current one and the one the view displays.
  UISetResultSet(set->Name());
  EnsureWindow();
  UISetDefaultColorDisplay(applyDefaults, show);
  if (show) ShowWindowAndRestore(activeOnEntry);
  return set;
}

OptResultCase* UIShowOptJobResults(AnlJob* job, OptModel* optModel, int applyDefaults) {
  CadWaitCursor wait;
  const HWND activeOnEntry = ::GetActiveWindow();
  CAE_CHECK(job != nullptr && optModel != nullptr);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->SelectOrCreateOptModel(optModel->Name(), nullptr);
  OptResultCase* resultCase = nullptr;
  for (OptResultCase* candidate = optModel->FirstOptResultCase(1); candidate; candidate = optModel->NextOptResultCase())
    if (candidate->AnlJobName() == job->BaseName()) {
      resultCase = candidate;
      break;
    }
  CAE_CHECK(resultCase != nullptr && resultCase->ExitCode() == 0);
  optModel->SetCurrentOptResultCase(resultCase);
  AnlModel* resultModel = resultCase->ResultAnlModel();
  if (resultModel) OpenModelInCad(resultModel);
  State();
  FerResultSet* set = ReadResults(*job, resultModel);
  // As for a simulation job: without a set the job and its files stay; the reader said why.
  if (!set) return nullptr;
  UISetResultSet(set->Name());
  resultCase->ProcessResults();
  optModel->RemoveJob(job);
  EnsureWindow();
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(0);
  UISetResultSubSet(1);
  UISetDefaultColorDisplay(applyDefaults, 0);
  if (activeOnEntry && ::IsWindow(activeOnEntry)) ::SetActiveWindow(activeOnEntry);
  return resultCase;
}

void UIShowResultSet(FerResultSet* resultSet, AnlModel* model, int applyDefaults) {
  CadWaitCursor wait;
  const HWND activeOnEntry = ::GetActiveWindow();
  OpenModelInCad(model);
  CaeString shownBefore;
  UIGetCurrentResultSetName(shownBefore);
  // A reopened drawing names its current set while its new window shows no result yet: the
  // window takes the default display then, as for a first set.
  const bool firstShown = shownBefore.IsEmpty() || FerShowsNoResult(GetSettings(true).settings);
  if (resultSet) UISetResultSet(resultSet->Name());
  if (firstShown) {
    EnsureWindow();
    UISetDefaultColorDisplay(applyDefaults, 1);
  }
  EnsureWindow();
  ShowWindowAndRestore(activeOnEntry);
  if (!firstShown) {
    FerState& state = State();
    QuietlyRun([&] { state.UpdateImage(); });
  }
}

void UIShowResultSubSet(int subSet) {
  const HWND activeOnEntry = ::GetActiveWindow();
  UISetResultSubSet(subSet);
  EnsureWindow();
  ShowWindowAndRestore(activeOnEntry);
  State().UpdateImage();
}

void UIShowPlainModel(int edges) {
  CAE_CHECK(CurrentModel() != nullptr);
  FerState& state = State();
  const ViewSettings fetched = GetSettings(false);
  ViewSettings bare = fetched;
  bare.settings.ShowEdges(edges);
  FerColorSetting color = bare.settings.GetColorSettings();
  color.Visible(0);
  bare.settings.SetColorSettings(color);
  FerDeformedSetting deformed = bare.settings.GetDeformedSettings();
  deformed.Visible(0);
  bare.settings.SetDeformedSettings(deformed);
  FerSymbolSetting symbol = bare.settings.GetSymbolSettings();
  symbol.Visible(0);
  bare.settings.SetSymbolSettings(symbol);
  StoreSettings(bare);
  state.UpdateImage();
  EnsureWindow();
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(1);
  // The picture shows the bare mesh; the stored settings keep the user's choices.
  StoreSettings(fetched);
}

void UISetDefaultColorDisplay(int applyDefaults, int redraw) {
  FerState& state = State();
  if (!QuietlyRun([&] { state.DefaultDisplay(redraw && !applyDefaults ? 1 : 0); })) return;
  if (!applyDefaults) return;
  ViewSettings view = GetSettings(false);
  FerColorSetting color = view.settings.GetColorSettings();
  AnlModel* model = CurrentModel();
  const int type = model ? model->Type() : -1;
  if (type == kTypeStress) {
    const double allowable = UIGetDefaultAllowable();
    if (allowable != 0.0) {
      color.UseFactorOfSafety(kUserAllowable);
      color.SetFactorOfSafetyValue(allowable);
    }
  } else if (type == kTypeVibration || type == kTypeBuckling) {
    AnlControl* control = Control();
    if (FerResultSet* current = control ? control->CurrentResultSet() : nullptr)
      for (FerResult* result = current->FirstResult(); result; result = current->NextResult())
        if (result->QuantityType() == kQuantityDisplacement) {
          color.SetResult(kQuantityDisplacement);
          color.Visible(1);
          color.Average(0);
          color.SetComponent(kComponentMagnitude);
          break;
        }
  }
  view.settings.SetColorSettings(color);
  StoreSettings(view);
  if (redraw) state.UpdateImage();
}

double UIGetDefaultAllowable() {
  if (CadCurrentSubModelCount() < 1) return 0.0;
  CaeMaterial* material = CadSubModelMaterial(1);
  if (!material) return 0.0;
  // Sized by what the material holds, whatever the number of rows.
  CaeArray<double> temperatures;
  if (material->GetTemps(temperatures) < 1) return 0.0;
  double values[CaeMaterial::kPropCount] = {};
  if (!material->GetProp(temperatures[0], values)) return 0.0;
  return values[CaeMaterial::kUltimate];
}

// ---- what there is to show ----

int UIGetResultsState() {
  if (!CurrentModel()) return 0;
  if (UICountModelJobs() > 0)
    if (AnlJob* job = UIFindModelJob(kUIJobPending | kUIJobHasResults)) {
      job->Check();
      if (!job->IsPending() && !job->Failed()) return 1;
    }
  return UIGetCurrentResultSet() ? 2 : 0;
}

FerResultSet* UIGetCurrentResultSet() {
  AnlModel* model = CurrentModel();
  if (!model) return nullptr;
  CaeString name;
  UIGetCurrentResultSetName(name);
  if (!name.IsEmpty()) return model->FindResultSet(name);
  return UIGetFirstResultSet();
}

FerResultSet* UIGetFirstResultSet() {
  AnlModel* model = CurrentModel();
  if (!model) return nullptr;
  for (int i = 0; i < model->NumResultSets(); ++i) {
    FerResultSet* set = model->GetResultSet(i);
    if (set && !set->IsMarkedAsErased()) return set;
  }
  return nullptr;
}

void UIGetCurrentResultSetName(CaeString& name) {
  AnlControl* control = Control();
  FerResultSet* current = control ? control->CurrentResultSet() : nullptr;
  if (!current) return;
  name = current->Name();
  ViewSettings view = GetSettings(true);
  if (view.settings.GetResultSet() == name) return;
  view.settings.SetResultSet(name);
  if (!current->HasSubSets()) view.settings.SetResultSubSet(1);
  StoreSettings(view);
}

void UISetResultSet(CaeString name) {
  AnlModel* model = CurrentModel();
  CAE_CHECK(model != nullptr);
  FerResultSet* set = model->FindResultSet(name);
  if (set)
    Control()->SetCurrentResultSet(set);
  else
    Control()->ClearCurrentResultSet();
  State();
  ViewSettings view = GetSettings(true);
  view.settings.SetResultSet(name);
  if (set && !set->HasSubSets()) view.settings.SetResultSubSet(1);
  StoreSettings(view);
}

int UIGetResultSubSet() {
  State();
  return GetSettings(false).settings.GetResultSubSet();
}

void UISetResultSubSet(int subSet) {
  State();
  ViewSettings view = GetSettings(false);
  view.settings.SetResultSubSet(subSet);
  StoreSettings(view);
}

// ---- animation ----

void UIGetAnimationSettings(int& repetitions, int& frames, double& speedLimit, int& kind, int& modal) {
  State();
  const ViewSettings view = GetSettings(false);
  const FerAnimationSetting animation = view.settings.GetAnimationSettings();
  repetitions = animation.GetNumberRepetitions();
  frames = animation.GetNumberFrames();
  speedLimit = animation.GetSpeedLimit();
  AnlModel* model = CurrentModel();
  CAE_CHECK(model != nullptr);
  FerResultSet* set = model->FindResultSet(view.settings.GetResultSet());
  CAE_CHECK(set != nullptr);
  const bool stepHistory = set->HasSubSets() && !set->IsModal();
  kind = stepHistory ? 2 : 1;
  modal = stepHistory ? 0 : set->IsModal();
}

void UISetAnimationSettings(int repetitions, int frames, double speedLimit) {
  State();
  ViewSettings view = GetSettings(false);
  FerAnimationSetting animation = view.settings.GetAnimationSettings();
  animation.SetNumberRepetitions(repetitions);
  animation.SetNumberFrames(frames);
  animation.SetSpeedLimit(speedLimit);
  view.settings.SetAnimationSettings(animation);
  StoreSettings(view);
}

void UIAnimate(int fullCycle) {
  FerState& state = State();
  state.UpdateImage();
  state.AnimateGo(fullCycle == 1 ? 1 : 0);
}

// ---- printing ----

namespace {

// The print record: from the first print setup to the end of the application controller. The
// output file the chosen printer writes to is where the results image goes.
struct PrintRecord {
  bool used = false;
  PRINTDLG dialog;
  std::string output;
};

PrintRecord& Printing() {
  static PrintRecord record;
  return record;
}

void FillFirstTime(PrintRecord& record) {
  if (record.used) return;
  record.dialog = PRINTDLG();
  CadInterface* cad = CadInterface::GetCurrent();
  record.dialog.hwndOwner = cad ? cad->GetMainWindow() : nullptr;
  record.dialog.Flags = PD_RETURNDC | PD_NOSELECTION;
  record.dialog.nFromPage = record.dialog.nToPage = record.dialog.nMinPage = record.dialog.nMaxPage = 1;
  record.used = true;
}

// Runs the print dialog; on OK keeps the chosen output and hands the printer to the CAD.
bool ChoosePrinter() {
  PrintRecord& record = Printing();
  FillFirstTime(record);
  if (!::PrintDlg(&record.dialog)) return false;
  if (CPrinterDC* printer = printerDC(record.dialog.hDC)) record.output = printer->outputFile();
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->SetPrinterContext(record.dialog.hDC);
  ::DeleteDC(record.dialog.hDC);
  record.dialog.hDC = nullptr;
  if (FerWndOGLDisp* display = CurrentWindowDisplay()) display->SetPrintOutput(record.output);
  return true;
}

}  // namespace

int UIPrintSetup() {
  ChoosePrinter();
  return 1;
}

int UIPrintResults() {
  FerWndOGLDisp* display = CurrentWindowDisplay();
  if (display && display->PrintOutput().empty() && !Printing().output.empty())
    display->SetPrintOutput(Printing().output);
  if (display && display->PrintOutput().empty() && !ChoosePrinter()) return 1;
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->PrintResultsDisplay();
  return 1;
}

void UIFreePrintSetup() {
  PrintRecord& record = Printing();
  if (!record.used) return;
  if (record.dialog.hDevMode) ::GlobalFree(record.dialog.hDevMode);
  if (record.dialog.hDevNames) ::GlobalFree(record.dialog.hDevNames);
  record = PrintRecord();
}
