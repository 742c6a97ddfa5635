#include "gui/utils/UIPickers.h"

#include <vector>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/model/UIModelLists.h"
#include "gui/dialogs/model/UISelectModelDlg.h"
#include "gui/graph2d/UIGraphDlg.h"
#include "mfc/wintypes.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kShapeKind = 0;
constexpr int kAnyOptKind = 2;
constexpr int kMayAsk = 1;
constexpr int kMakeCurrent = 2;
// OK and Cancel with an exclamation icon.
constexpr UINT kWrongKindStyle = MB_OKCANCEL | MB_ICONEXCLAMATION;

bool IsOfKind(OptModel* model, int kind) { return kind == kAnyOptKind || static_cast<int>(model->Type()) == kind; }

// Runs "Select Model" in `mode`; the dialog after OK, or nothing after Cancel.
bool AskUser(CSelectModelDlg& dialog, int mode) {
  ResourceSetter resources(1);
  dialog.SetMode(mode);
  return dialog.DoModal() == IDOK;
}

// The family picker over one kind of object of the control.
template <class T>
T* PickFamily(T* (AnlControl::*current)(), void (AnlControl::*makeCurrent)(T*), const std::vector<T*>& live, int mode,
              T* (CSelectModelDlg::*chosen)() const) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  if (T* object = (control->*current)()) return object;
  if (live.empty()) return nullptr;
  if (live.size() == 1) {
    (control->*makeCurrent)(live.front());
    return live.front();
  }
  CSelectModelDlg dialog;
  if (!AskUser(dialog, mode)) return nullptr;
  T* object = (dialog.*chosen)();
  if (object) (control->*makeCurrent)(object);
  return object;
}

// Asks until the chosen model is of `kind` (any for kind 2); null after Cancel.
OptModel* AskOptModel(int kind) {
  for (;;) {
    CSelectModelDlg dialog;
    if (!AskUser(dialog, CSelectModelDlg::kOptModel)) return nullptr;
    OptModel* chosen = dialog.ChosenOptModel();
    if (!chosen || IsOfKind(chosen, kind)) return chosen;
    const UINT chosenName = static_cast<int>(chosen->Type()) == kShapeKind ? IDS_OPT_KIND_SHAPE : IDS_OPT_KIND_CONCEPT;
    const UINT wantedName = kind == kShapeKind ? IDS_OPT_KIND_SHAPE : IDS_OPT_KIND_CONCEPT;
    CString text;
    text.Format(resLoadString(IDS_OPT_KIND_INVALID).c_str(), resLoadString(chosenName).c_str(),
                resLoadString(wantedName).c_str());
    if (CadMessageBoxText(text, kWrongKindStyle | MB_TASKMODAL) != IDOK) return nullptr;
  }
}

// Newest to oldest, erased jobs passed over, each job's status refreshed before it is asked.
template <class Model>
AnlJob* NewestLiveJob(Model* model, AnlJob* (Model::*jobAt)(int)) {
  for (int i = model->NumJobs() - 1; i >= 0; --i) {
    AnlJob* job = (model->*jobAt)(i);
    if (!job || job->IsMarkedAsErased()) continue;
    job->Check();
    if (!job->Failed()) return job;
  }
  return nullptr;
}

void MakeCurrentResultCase(OptModel* model, OptResultCase* resultCase) {
  model->SetCurrentOptResultCase(resultCase);
  if (!resultCase->Initialized()) resultCase->InitializeData();
}

}  // namespace

AnlModel* UIPickCurrentModel() {
  return PickFamily(&AnlControl::CurrentAnlModel, &AnlControl::SetCurrentAnlModel, UILiveModels(),
                    CSelectModelDlg::kModel, &CSelectModelDlg::ChosenModel);
}

AttLbcCase* UIPickLoadCase() {
  return PickFamily(&AnlControl::CurrentLoadCase, &AnlControl::SetCurrentLoadCase, UILiveLoadSets(),
                    CSelectModelDlg::kLoadSet, &CSelectModelDlg::ChosenSet);
}

AttLbcCase* UIPickRestraintCase() {
  return PickFamily(&AnlControl::CurrentRestraintCase, &AnlControl::SetCurrentRestraintCase, UILiveRestraintSets(),
                    CSelectModelDlg::kRestraintSet, &CSelectModelDlg::ChosenSet);
}

OptModel* UIPickOptModel(int kind, int flags) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  OptModel* current = control->CurrentOptModel();
  if (current && IsOfKind(current, kind)) return current;

  std::vector<OptModel*> matches;
  for (OptModel* model : UILiveOptModels())
    if (IsOfKind(model, kind)) matches.push_back(model);
  if (matches.empty()) return nullptr;
  OptModel* picked = matches.size() == 1 || !(flags & kMayAsk) ? matches.front() : AskOptModel(kind);
  if (picked && (flags & kMakeCurrent)) control->SetCurrentOptModel(picked);
  return picked;
}

OptResultCase* UIPickOptResultCase() {
  OptModel* model = UIPickOptModel(kAnyOptKind, kMayAsk | kMakeCurrent);
  if (!model) return nullptr;
  if (OptResultCase* current = model->CurrentOptResultCase()) return current;
  const std::vector<OptResultCase*> finished = UIFinishedOptResultCases(model);
  if (finished.empty()) return nullptr;
  if (finished.size() == 1) {
    MakeCurrentResultCase(model, finished.front());
    return finished.front();
  }
  CSelectModelDlg dialog;
  if (!AskUser(dialog, CSelectModelDlg::kOptResultSet)) return nullptr;
  OptResultCase* chosen = dialog.ChosenResultCase();
  if (chosen) MakeCurrentResultCase(model, chosen);
  return chosen;
}

AnlJob* UINewestJob(int flag) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return nullptr;
  if (flag) {
    OptModel* model = control->CurrentOptModel();
    return model ? NewestLiveJob(model, &OptModel::Job) : nullptr;
  }
  AnlModel* model = control->CurrentAnlModel();
  return model ? NewestLiveJob(model, &AnlModel::GetJob) : nullptr;
}

void UIShowGraphWindow(CaeGraph* graph) {
  CAE_CHECK(graph != nullptr);
  auto* window = new CGraphDlg(nullptr);
  window->m_graph = graph;
  CadInterface* cad = CadInterface::GetCurrent();
  CWnd* owner = cad ? CWnd::FromHandle(cad->GetMainWindow()) : nullptr;
  try {
    if (!window->Create(IDD_GRAPH, owner)) {
      // No window was made: the object (and with it the graph) is ours to free.
      if (window->GetSafeHwnd())
        window->DestroyWindow();
      else
        delete window;
      return;
    }
  } catch (...) {
    // A graph the chart refuses unwinds the half-made window; it frees itself and the graph.
    if (window->GetSafeHwnd())
      window->DestroyWindow();
    else
      delete window;
    throw;
  }
  window->ShowWindow(SW_SHOW);
}
