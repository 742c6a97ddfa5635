#include "gui/dialogs/analysis/UISubmitAnalysis.h"

#include <memory>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/FeaMessages.h"
#include "gui/dialogs/analysis/UICheckModelPP.h"
#include "gui/dialogs/analysis/UISubmitExecPP.h"
#include "gui/dialogs/analysis/UISubmitModesPP.h"
#include "gui/dialogs/analysis/UISubmitOutputPP.h"
#include "gui/dialogs/analysis/UISubmitOverviewPP.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kRestraintCategory = 1;   // AnlResltCase::FirstLbcCase: restraint entries
constexpr int kMeshEngineAdaptive = 2;  // the mesher of an h-adaptive run
constexpr int kMeshEngineNormal = 4;
constexpr int kFirstRotation = 3;  // components 4 to 6 of a restraint are rotations
constexpr int kTabIconSize = 16;
constexpr int kAnalyzeStep = 6;  // the guide's "Analyze" step
constexpr double kDefaultTempConvergence = 0.1;

CaeString& SubmittedName() {
  static CaeString name;
  return name;
}

CadInterface& Cad() { return *CadInterface::GetCurrent(); }

void Refresh() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RefreshAfterCommand();
}

void ShowText(const CaeString& text) {
  if (!text.IsEmpty()) CadMessageBoxText(text.Text(), MB_OK | MB_ICONEXCLAMATION);
}

template <class Visit>
void ForEachLiveMesh(AnlModel& model, Visit visit) {
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    AmgMesh* mesh = sub->Mesh();
    if (mesh && !mesh->IsMarkedAsErased()) visit(*sub, *mesh);
  }
}

// Deletes the result cases of a list, and empties it, when it goes.
class CaseListOwner {
 public:
  explicit CaseListOwner(CaeList<AnlResltCase>& cases) : cases_(cases) {}
  ~CaseListOwner() {
    for (AnlResltCase* resultCase : cases_) delete resultCase;
    cases_.RemoveAll();
  }
  CaseListOwner(const CaseListOwner&) = delete;
  CaseListOwner& operator=(const CaseListOwner&) = delete;

 private:
  CaeList<AnlResltCase>& cases_;
};

// The meshes of an h-adaptive run use the adaptive mesher while the object lives.
class AdaptiveMeshEngine {
 public:
  explicit AdaptiveMeshEngine(AnlModel& model) : model_(model) { Set(kMeshEngineAdaptive); }
  ~AdaptiveMeshEngine() { Set(kMeshEngineNormal); }
  AdaptiveMeshEngine(const AdaptiveMeshEngine&) = delete;
  AdaptiveMeshEngine& operator=(const AdaptiveMeshEngine&) = delete;

 private:
  void Set(int engine) {
    ForEachLiveMesh(model_, [engine](AnlSubModel&, AmgMesh& mesh) { mesh.SetMeshEngine(engine); });
  }
  AnlModel& model_;
};

bool FixesARotation(AnlResltCase& resultCase) {
  for (AnlLbcCase* entry = resultCase.FirstLbcCase(kRestraintCategory); entry; entry = resultCase.NextLbcCase()) {
    AttLbcCase* set = entry->LbcCase();
    if (!set) continue;
    for (AttBaseLbc* restraint = set->FirstLbc(); restraint; restraint = set->NextLbc()) {
      const int* free = restraint->FreeComponents();
      for (int c = kFirstRotation; c < 6; ++c)
        if (!free[c]) return true;
    }
  }
  return false;
}

// The engine's sub-models tell their element kind themselves (solid parts carry no element
// property here, so the property cannot be asked).
bool HasNonShellElements(AnlModel& model) {
  bool found = false;
  ForEachLiveMesh(model, [&found](AnlSubModel& sub, AmgMesh&) { found = found || !sub.MeshIsShell(); });
  return found;
}

bool HasLiveJobOrResults(AnlModel& model) {
  for (int i = 0; i < model.NumJobs(); ++i)
    if (AnlJob* job = model.GetJob(i); job && !job->IsMarkedAsErased()) return true;
  for (int i = 0; i < model.NumResultSets(); ++i)
    if (FerResultSet* set = model.GetResultSet(i); set && !set->IsMarkedAsErased()) return true;
  return false;
}

bool QuadraticSolidStatic(AnlModel& model) {
  if (model.Type() != AnlStress || model.HasShellMesh()) return false;
  bool quadratic = true;
  ForEachLiveMesh(model, [&quadratic](AnlSubModel&, AmgMesh& mesh) { quadratic &= mesh.GetElementOrder() != 1; });
  return quadratic;
}

// The h-adaptive branch: refused while results of the present meshes exist.
int SubmitAdaptive(AnlModel& model, AnlWriter& writer, const std::tm* startTime, CaeString& message) {
  if (HasLiveJobOrResults(model)) {
    ShowText(CaeMsgTxt::GetMessage(kFeaMsgAdaptiveHasResults));
    return 0;
  }
  int submitted = 0;
  {
    AdaptiveMeshEngine engine(model);
    if (startTime) CaeMsgCall::Error(kFeaMsgAdaptiveDelayed);
    submitted = model.SubmitHAdaptiveAnalysis(&writer, message, AnlCodeSolve) ? 1 : 0;
  }
  // Only a successful run has results of this run's meshes to show.
  if (submitted) {
    AnlJob* newest = nullptr;
    for (int i = 0; i < model.NumJobs(); ++i)
      if (AnlJob* job = model.GetJob(i); job && !job->IsMarkedAsErased()) newest = job;
    if (newest) UIShowJobResults(newest, &model, 1, 1);
    ShowText(CaeMsgTxt::GetMessage(kFeaMsgJobCompleted));
  }
  return submitted;
}

}  // namespace

bool UIGenerateDeferredMeshes(AnlModel& model) {
  bool generated = false;
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    AmgMesh* mesh = sub->Mesh();
    if (!mesh || mesh->IsMarkedAsErased() || !mesh->Deferred() || mesh->Generated()) continue;
    mesh->SetDeferred(0);
    if (!CadGenerateMesh(mesh)) {
      model.DeleteSubModel(sub);
      return false;
    }
    generated = true;
  }
  if (generated) Cad().FlushGraphics();
  return true;
}

std::uint32_t UIWriterOutputRequests(const CaeFlags& requests, AnlModel& model, bool& unwritten) {
  struct Mapping {
    std::uint32_t request;
    std::uint32_t writer;
  };
  static const Mapping kMappings[] = {
      {kUIOutDisplacements, AnlWriter::kOutDisplacement},
      {kUIOutStress, AnlWriter::kOutStress},
      {kUIOutStrain, AnlWriter::kOutStrain},
      {kUIOutReactionForces, AnlWriter::kOutReaction},
      {kUIOutTemperature, AnlWriter::kOutTemperature},
      {kUIOutFlux, AnlWriter::kOutHeatFlux},
      {kUIOutStrainEnergy, AnlWriter::kOutStrainEnergy},
  };
  std::uint32_t bits = 0;
  for (const Mapping& m : kMappings)
    if (requests.IsSet(m.request)) bits |= m.writer;
  // Adaptivity and the design doctor refine by the error estimate that comes with the stresses.
  if ((bits & AnlWriter::kOutStress) && QuadraticSolidStatic(model)) bits |= AnlWriter::kOutErrorEstimate;
  unwritten = requests.IsSet(kUIOutAppliedLoads) || requests.IsSet(kUIOutElementForces);
  if (bits == 0) bits = model.Type() == AnlHeatTransfer ? AnlWriter::kOutTemperature : AnlWriter::kOutDisplacement;
  return bits;
}

int UISubmitAnalysis(AnlModel* model, CaeString& fileName, int deckFormat, const UIModeSettings* modes,
                     CaeList<AnlResltCase>& cases, const CaeFlags& requests, const std::tm* startTime,
                     double tempConvergence) {
  CaseListOwner caseOwner(cases);
  CadWaitCursor wait;
  if (!model) return 0;
  if (deckFormat != kUIDeckInput) {
    CadMessageBoxId(IDS_NEUTRAL_FILE_UNAVAILABLE, MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  if (!UIGenerateDeferredMeshes(*model)) return 0;

  std::unique_ptr<AnlWriter> writer(model->DeckWriter(AnlCodeSolve));
  bool rotation = false;
  for (AnlResltCase* resultCase : cases) {
    writer->AddResltCase(resultCase);
    if (!rotation) rotation = FixesARotation(*resultCase);
  }
  if (rotation && HasNonShellElements(*model))
    CadMessageBoxId(IDS_ROTATION_RESTRAINTS_IGNORED, MB_OK | MB_ICONEXCLAMATION);

  bool unwritten = false;
  CaeFlags outputs;
  outputs.SetValue(UIWriterOutputRequests(requests, *model, unwritten));
  if (unwritten) Cad().PrintMessage(resLoadString(IDS_OUTPUT_NOT_WRITTEN).Text());
  writer->SetOutputRequests(outputs);
  if (modes) {
    writer->SetModeMethod(modes->method);
    writer->SetNumModes(modes->numModes);
    writer->SetLowMode(modes->lower);
    writer->SetHighMode(modes->upper);
  }
  writer->SetTempConv(tempConvergence);

  CaeString message;
  int submitted = 0;
  if (model->GetHAdaptivity() == CaeOff || !fileName.IsEmpty()) {
    std::tm when{};
    if (startTime) when = *startTime;
    const int deckOnly = fileName.IsEmpty() ? 0 : 1;
    AnlJob* job =
        model->SubmitAnalysis(writer.get(), fileName, startTime ? &when : nullptr, deckOnly, message, AnlCodeSolve);
    if (job) {
      submitted = 1;
      SubmittedName() = job->Name();
    }
  } else {
    submitted = SubmitAdaptive(*model, *writer, startTime, message);
  }
  ShowText(message);
  writer.reset();
  Refresh();
  return submitted;
}

AnlJob* UISubmittedJob() {
  AnlControl* control = CadCurrentAnlControl();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model || SubmittedName().IsEmpty()) return nullptr;
  for (int i = 0; i < model->NumJobs(); ++i) {
    AnlJob* job = model->GetJob(i);
    if (!job || job->IsMarkedAsErased() || !(job->Name() == SubmittedName())) continue;
    job->Check();
    return job->Failed() || job->IsPending() || job->HaveResults() ? job : nullptr;
  }
  return nullptr;
}

const CaeString& UISubmittedJobName() { return SubmittedName(); }

void UIResetSubmittedJobName() { SubmittedName() = CaeString(); }

namespace {

UINT SheetCaption(int type) {
  switch (type) {
    case AnlStress: return IDS_SHEET_STRESS;
    case AnlVibration: return IDS_SHEET_VIBRATION;
    case AnlBuckling: return IDS_SHEET_BUCKLING;
    case AnlHeatTransfer: return IDS_SHEET_HEAT;
    default: return 0;
  }
}

bool KnownType(int type) { return type >= AnlStress && type <= AnlHeatTransfer; }

// The sheet's pages as the command reads them after OK. The sheet goes first (it is declared
// last): it tells its pages it is gone.
struct AnalyzeSheet {
  CCheckModelPP check;
  CSubmitOverviewPP input{IDD_SUBMIT_INPUT};
  CSubmitExecPP exec{IDD_SUBMIT_EXEC};
  CSubmitOutputPP output;
  CSubmitAdaptivityPP adaptivity;
  CSubmitModesPP modes;
  CSubmitTemperaturePP temperature;
  CGenericPS sheet;

  AnalyzeSheet(const CaeString& caption, AnlModel& model) : adaptivity(&model), sheet(caption.Text(), nullptr, 0) {}
};

}  // namespace

int UICmdAnalyze() {
  if (!CadHasCurrentModel()) {
    CadMessageBoxId(IDS_OPEN_MODEL_REQUIRED, MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  AnlControl* control = CadCurrentAnlControl();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) {
    Cad().PrintMessage(resLoadString(IDS_ANALYSIS_TYPE_NOT_SET).Text());
    return 0;
  }
  const int type = static_cast<int>(model->Type());
  const UINT caption = SheetCaption(type);
  AnalyzeSheet s(caption ? resLoadString(caption) : CaeString(), *model);
  s.sheet.CreateTabImageList(kTabIconSize);
  s.sheet.m_bShowTabIcons = FALSE;
  s.check.m_pAnlModel = model;
  s.sheet.AddPage(&s.check);
  s.sheet.AddPage(&s.input);
  s.sheet.AddTabIcon(IDI_EXP_RESULT_CASE);
  s.sheet.AddPage(&s.exec);
  s.sheet.AddTabIcon(IDI_SUBMIT_EXEC);
  s.sheet.AddPage(&s.output);
  s.sheet.AddTabIcon(IDI_SUBMIT_OPTIONS);
  s.sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  s.modes.SetAnalysisType(type);
  s.output.SetAnalysisType(type);
  s.output.m_bUseHAdaptivity = model->GetHAdaptivity() == CaeOn ? TRUE : FALSE;
  s.output.m_nMaxIterations = model->GetAdaptIterations();
  s.output.m_dTargetError = model->GetAdaptTargetError();
  s.output.m_dMateTolerance = CaeUnit(CaeUtLength).NativeToHost(model->GetMateRelTolerance());

  if (!KnownType(type)) {
    Cad().PrintMessage(resLoadString(IDS_ANALYSIS_TYPE_UNSUPPORTED).Text());
    return 0;
  }
  const bool modal = type == AnlVibration || type == AnlBuckling;
  if (modal) {
    s.sheet.AddPage(&s.modes);
    s.sheet.AddTabIcon(IDI_SUBMIT_MODES);
  }
  const INT_PTR ended = s.sheet.DoModal();
  // The tree committed its result cases when its window went: they are ours whatever the end.
  CaeList<AnlResltCase> cases;
  for (AnlResltCase* resultCase : s.input.m_tree.ResultCases) cases.Append(resultCase);
  s.input.m_tree.ResultCases.clear();
  if (ended != IDOK) {
    CaseListOwner drop(cases);
    Cad().PrintMessage(resLoadString(IDS_ANALYSIS_NOT_SUBMITTED).Text());
    return 0;
  }
  UIModeSettings modes;
  if (modal) {
    // Vibration bounds are frequencies in host units; buckling bounds are load factors.
    const CaeUnit frequency(CaeUtFrequency);
    modes.numModes = s.modes.m_nNumModes;
    modes.lower = type == AnlVibration ? frequency.HostToNative(s.modes.m_dLower) : s.modes.m_dLower;
    modes.upper = type == AnlVibration ? frequency.HostToNative(s.modes.m_dUpper) : s.modes.m_dUpper;
    modes.method = CSubmitModesPP::MethodOf(s.modes.m_nMethod);
  }
  const double tempConvergence = type == AnlHeatTransfer ? s.output.m_dTempConvergence : kDefaultTempConvergence;

  model->SetHAdaptivity(s.output.m_bUseHAdaptivity ? CaeOn : CaeOff);
  model->SetAdaptIterations(s.output.m_nMaxIterations);
  model->SetAdaptTargetError(s.output.m_dTargetError);
  model->SetMateRelTolerance(CaeUnit(CaeUtLength).HostToNative(s.output.m_dMateTolerance));

  CaeString fileName = s.exec.m_nExecMode == CSubmitExecPP::kManual
                           ? CaeString(static_cast<const char*>(s.exec.m_strFileName))
                           : CaeString();
  std::tm start{};
  if (s.exec.m_bDelayed) start = s.exec.StartTime();
  CaeFlags requests;
  requests.SetValue(s.output.RequestWord());
  const int submitted = UISubmitAnalysis(model, fileName, s.exec.m_nDeckFormat, modal ? &modes : nullptr, cases,
                                         requests, s.exec.m_bDelayed ? &start : nullptr, tempConvergence);
  Refresh();
  if (submitted) UISetWizardTabState(kAnalyzeStep, 1);
  return 0;
}
