#include "gui/dialogs/optimization/UIOptSubmit.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "amg/CaeFlags.h"
#include "amg/CaeList.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/FeaMessages.h"
#include "fea/OptModel.h"
#include "gui/dialogs/analysis/UICheckModelPP.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/dialogs/analysis/UISubmitExecPP.h"
#include "gui/dialogs/analysis/UISubmitOverviewPP.h"
#include "gui/dialogs/optimization/UIOptSubmitPages.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kTabIconSize = 16;
constexpr int kPickFlags = 3;  // ask when there are several, make the pick current
constexpr int kShapeUpdateMode = 2;
// Where a job the CAD interface could not make is reported from.
constexpr const char* kDialogsSource = "uiS/gui/dialogs/optimization/UIOptDialogs";
constexpr int kShapeNullJobLine = 1513;
constexpr int kConceptNullJobLine = 1840;
constexpr std::uint32_t kMsgMayNotRun = 0xc0000fb9;
constexpr std::uint32_t kMsgConditionsIgnored = 0x80001029;
constexpr double kScaleOne = 1.0;
constexpr int kNoType = -1;
constexpr int kNumTypes = 3;  // static, modal, buckling (AnlResltType)

CadInterface& Cad() { return *CadInterface::GetCurrent(); }

void Print(UINT stringId) { Cad().PrintMessage(resLoadString(stringId).Text()); }

// The analysis type a response is read from; kNoType for mass and volume.
int NeededType(OptResponseType response) {
  switch (response) {
    case OptFrequency: return AnlResltModal;
    case OptLoadFactor: return AnlResltBuckling;
    case OptStress:
    case OptStrain:
    case OptDisplacement:
    case OptDisplacementMagnitude: return AnlResltStatic;
    default: return kNoType;
  }
}

UINT TypeWord(int type) {
  switch (type) {
    case AnlResltModal: return IDS_OPT_WORD_VIBRATION;
    case AnlResltBuckling: return IDS_OPT_WORD_BUCKLING;
    default: return IDS_OPT_WORD_STRESS;
  }
}

AttLbcCase* CurrentOrFirstLoadSet(AnlControl& control) {
  AttLbcCase* set = control.CurrentLoadCase();
  return set ? set : control.FirstLoadCase();
}

AttLbcCase* CurrentOrFirstRestraintSet(AnlControl& control) {
  AttLbcCase* set = control.CurrentRestraintCase();
  return set ? set : control.FirstRestraintCase();
}

// A new in-memory result set "<Type word>ResultSet" of `type` with the sets that apply to it.
std::unique_ptr<AnlResltCase> DefaultSet(int type, AnlControl& control) {
  const CaeString name =
      CaeString::Format("%s%s", resLoadString(TypeWord(type)).Text(), resLoadString(IDS_RESULT_SET_NAME).Text());
  auto set = std::make_unique<AnlResltCase>(name, 1);
  set->Type(static_cast<AnlResltType>(type));
  if (type != AnlResltModal)
    if (AttLbcCase* loads = CurrentOrFirstLoadSet(control)) set->AddLoadCase(loads, kScaleOne);
  if (AttLbcCase* restraints = CurrentOrFirstRestraintSet(control)) set->AddBoundaryCase(restraints, kScaleOne);
  return set;
}

// An in-memory copy of a case: name, type and every set at scale 1.
std::unique_ptr<AnlResltCase> CopyOf(AnlResltCase& from) {
  auto copy = std::make_unique<AnlResltCase>(from.Name(), 1);
  copy->Type(from.Type());
  std::vector<AttLbcCase*> loads, restraints;
  for (AnlLbcCase* entry = from.FirstLbcCase(0); entry; entry = from.NextLbcCase()) loads.push_back(entry->LbcCase());
  for (AnlLbcCase* entry = from.FirstLbcCase(1); entry; entry = from.NextLbcCase())
    restraints.push_back(entry->LbcCase());
  for (AttLbcCase* set : loads) copy->AddLoadCase(set, kScaleOne);
  for (AttLbcCase* set : restraints) copy->AddBoundaryCase(set, kScaleOne);
  return copy;
}

// The model's live analysis result cases, collected before any is removed: a removed case stays
// listed, marked erased, so "remove the first until none is left" would never end.
std::vector<AnlResltCase*> LiveAnlResultCases(OptModel& model) {
  std::vector<AnlResltCase*> cases;
  for (AnlResltCase* rc = model.FirstAnlResultCase(1); rc; rc = model.NextAnlResultCase()) cases.push_back(rc);
  return cases;
}

std::vector<OptConstraint*> LiveConstraints(OptModel& model) {
  std::vector<OptConstraint*> constraints;
  for (OptConstraint* c = model.FirstConstraint(1); c; c = model.NextConstraint()) constraints.push_back(c);
  return constraints;
}

bool AnyMeshNeedsUpdate(AnlModel& model) {
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    AmgMesh* mesh = sub && !sub->IsMarkedAsErased() ? sub->Mesh() : nullptr;
    if (mesh && !mesh->IsMarkedAsErased() && mesh->NeedsUpdate()) return true;
  }
  return false;
}

// The model's check, then the writer's: the report of the first one that fails, else empty.
bool CheckRun(OptModel& model, AnlWriter& writer, CaeString& report) {
  CaeArray<CaeString> messages;
  bool passed = model.CheckModel(messages) != 0;
  if (messages.Count() > 0) report = messages[0];
  if (messages.Count() > 1) report += CaeString("\n") + messages[1];
  if (passed) {
    CaeArray<CaeString> reasons;
    passed = writer.Check(reasons) != 0;
    for (int i = 0; i < reasons.Count(); ++i) report += (report.IsEmpty() ? CaeString() : CaeString("\n")) + reasons[i];
  }
  return passed;
}

// A failed check stops a job (and, `hardStop`, anything) with 0xc0000fb8; a deck to a file may go
// on when the person answers OK to 0xc0000fb9.
bool AcceptFailedCheck(CaeString report, bool hardStop) {
  report += "\n";
  if (hardStop) {
    report += CaeMsgTxt::GetMessage(kFeaMsgCannotAnalyse);
    CadMessageBoxText(report.Text(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    return false;
  }
  report += CaeMsgTxt::GetMessage(kMsgMayNotRun);
  return CadMessageBoxText(report.Text(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

// The page's start time when it is delayed; false (with a box) when the date does not exist.
bool StartTime(const CSubmitExecPP& exec, std::tm& when) {
  if (!exec.m_bDelayed) return true;
  when = exec.StartTime();
  if (UIOptStartTimeExists(when)) return true;
  CadMessageBoxId(IDS_OPT_START_TIME_INVALID, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

CaeString DeckFile(const CSubmitExecPP& exec) {
  return exec.m_nExecMode == CSubmitExecPP::kManual ? CaeString(static_cast<const char*>(exec.m_strFileName))
                                                    : CaeString();
}

AnlJob* NewJob(int line) {
  AnlJob* job = Cad().CreateOptJob();
  if (!job) CaeMsgCall::GeneralError(kDialogsSource, line);
  return job;
}

// Starts the job; a job that cannot even start leaves neither itself nor its result set, and
// says why.
bool StartJob(OptModel& model, AnlJob& job, OptResultCase* resultSet, CaeString& reason) {
  if (job.Run() && !job.Failed()) return true;
  reason = job.FailureReason();
  if (resultSet) model.RemoveOptResultCase(resultSet);
  job.CleanUp();
  model.RemoveJob(&job);
  return false;
}

void ReportNotStarted(const CaeString& reason) {
  CadMessageBoxText(CaeMsgTxt::GetMessage(kFeaMsgSolverNotStarted, {reason}).Text(), MB_OK | MB_ICONSTOP);
}

// The pages of a submission sheet, shape (Options: CSubmitConvergePP) or Concept
// (CSubmitConvergeTopoPP); the sheet is destroyed first (declared last). A Concept sheet never
// shows General: the cycles and the proposed name pass through it.
template <class Options>
struct SubmitSheet {
  CSubmitOverviewPP input;
  CSubmitOptOverviewPP general;
  CCheckModelPP check;
  CSubmitExecPP exec;
  Options options;
  CGenericPS sheet;

  SubmitSheet(UINT inputTemplate, UINT generalTemplate, bool wizard, UINT title)
      : input(inputTemplate),
        general(generalTemplate),
        exec(wizard ? IDD_SUBMIT_EXEC_WIZARD : IDD_SUBMIT_EXEC),
        sheet(resLoadString(title).Text(), nullptr, 0) {}
};

struct ShapeSheet : SubmitSheet<CSubmitConvergePP> {
  explicit ShapeSheet(bool wizard)
      : SubmitSheet(IDD_SUBMIT_INPUT_WIZARD, wizard ? IDD_SUBMIT_OPT_GENERAL_WIZARD : IDD_SUBMIT_OPT_GENERAL, wizard,
                    IDS_OPT_SHAPE_SHEET) {}
};

struct ConceptSheet : SubmitSheet<CSubmitConvergeTopoPP> {
  explicit ConceptSheet(bool wizard)
      : SubmitSheet(wizard ? IDD_SUBMIT_INPUT_WIZARD : IDD_SUBMIT_INPUT, IDD_SUBMIT_OPT_GENERAL, wizard,
                    IDS_OPT_CONCEPT_SHEET) {}
};

// A wizard's last pages; the Execution page asks for the wizard's buttons.
void WizardPages(CGenericPS& sheet, CSubmitExecPP& exec, std::initializer_list<CPropertyPage*> pages) {
  for (CPropertyPage* page : pages) sheet.AddPage(page);
  exec.m_bWizardButtons = TRUE;
  sheet.SetWizardMode();
}

// The command's pages, without Apply, with 16-pixel tab icons.
void CommandPages(CGenericPS& sheet, std::initializer_list<CPropertyPage*> pages, std::initializer_list<UINT> icons) {
  for (CPropertyPage* page : pages) sheet.AddPage(page);
  sheet.CreateTabImageList(kTabIconSize);
  for (UINT icon : icons) sheet.AddTabIcon(icon);
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
}

bool Accepted(INT_PTR ended, bool wizard) { return ended == (wizard ? ID_WIZFINISH : IDOK); }

// The tree's committed result cases, ours to delete.
std::vector<std::unique_ptr<AnlResltCase>> TakeCases(CSubmitOverviewPP& page) {
  std::vector<std::unique_ptr<AnlResltCase>> cases;
  for (AnlResltCase* rc : page.m_tree.ResultCases) cases.emplace_back(rc);
  page.m_tree.ResultCases.clear();
  return cases;
}

// The wizard's result sets replace the model's: registered with the model, the objective tied
// to the first modal or buckling one its response reads, every constraint in all of them.
void RegisterWizardSets(OptModel& model, std::vector<std::unique_ptr<AnlResltCase>>& kept) {
  for (AnlResltCase* rc : LiveAnlResultCases(model)) model.RemoveAnlResultCase(rc);
  OptObjective* objective = model.Objective();
  if (objective)
    while (AnlResltCase* linked = objective->FirstAnlResultCase())
      if (!objective->RemoveAnlResultCase(linked)) break;
  for (const std::unique_ptr<AnlResltCase>& rc : kept) {
    AnlResltCase* stored = Cad().AddAnalysisResultCase(&model, rc.get());
    if (!stored || !objective || objective->FirstAnlResultCase()) continue;
    const bool modal = stored->Type() == AnlResltModal && objective->ResponseType() == OptFrequency;
    const bool buckling = stored->Type() == AnlResltBuckling && objective->ResponseType() == OptLoadFactor;
    if (modal || buckling) objective->AddAnlResultCase(stored);
  }
  for (OptConstraint* constraint : LiveConstraints(model)) constraint->AddToAllResultCases();
}

// After a failed shape deck or run: the 0x80001029 warning as it is, any other message with the
// question whether to read the explanation.
void ReportWriterMessage(const CaeString& message) {
  if (message == CaeMsgTxt::GetMessage(kMsgConditionsIgnored)) {
    CadMessageBoxText(message.Text(), MB_OK | MB_TASKMODAL);
    return;
  }
  if (message.IsEmpty()) return;
  if (CadMessageBoxText(message.Text(), MB_YESNO | MB_ICONQUESTION) == IDYES)
    CadMessageBoxId(IDS_OPT_DECK_FAILED_EXPLAINED, MB_OK | MB_ICONINFORMATION);
}

double TetVolume(const CaeElem& element) {
  const CaeVector a = element.Node(0)->Coordinate();
  const CaeVector b = element.Node(1)->Coordinate() - a;
  const CaeVector c = element.Node(2)->Coordinate() - a;
  const CaeVector d = element.Node(3)->Coordinate() - a;
  return std::fabs(b.Dot(c.Cross(d))) / 6.0;
}

}  // namespace

std::vector<std::unique_ptr<AnlResltCase>> UIOptDefaultResultSets(OptModel& model, AnlControl& control) {
  bool needed[kNumTypes] = {false, false, false};
  auto note = [&needed](const OptFunction* function) {
    const int type = function ? NeededType(function->ResponseType()) : kNoType;
    if (type != kNoType) needed[type] = true;
  };
  note(model.Objective());
  for (OptConstraint* constraint : LiveConstraints(model)) note(constraint);
  std::vector<std::unique_ptr<AnlResltCase>> sets;
  if (!needed[AnlResltStatic] && !needed[AnlResltModal] && !needed[AnlResltBuckling]) return sets;
  bool present[kNumTypes] = {false, false, false};
  for (AnlResltCase* rc : LiveAnlResultCases(model)) {
    const int type = rc->Type();
    if (type < 0 || type >= kNumTypes) continue;
    present[type] = true;
    if (needed[type]) sets.push_back(CopyOf(*rc));
  }
  for (int type = 0; type < kNumTypes; ++type)
    if (needed[type] && !present[type]) sets.push_back(DefaultSet(type, control));
  return sets;
}

CaeString UIOptNewResultSetName(OptModel* model) {
  CAE_CHECK(model != nullptr);
  AnlControl* control = AnlControl::GetCurrent();
  const CaeString word = CaeMsgTxt::GetMessage(kFeaMsgOptResults);
  const ::AnlModel* simulation = model->AnlModel();
  const long allowed =
      static_cast<long>(Cad().MaxNameLength()) - static_cast<long>(simulation ? simulation->Name().Length() : 0);
  auto used = [control, model](const CaeString& name) {
    if (!control) return model->FindOptResultCase(name) != nullptr;
    for (OptModel* other = control->FirstOptModel(); other; other = control->NextOptModel())
      if (other->FindOptResultCase(name)) return true;
    return false;
  };
  for (int n = model->NumOptResultCases() + 1;; ++n) {
    const std::string number = std::to_string(n);
    std::string name = std::string(word.Text()) + number;
    if (static_cast<long>(name.size()) > allowed) {
      // At least one letter of the word must stay; a longer cut would be no name of ours.
      const long letters = allowed - static_cast<long>(number.size());
      if (letters < 1) return CaeString();
      name = std::string(word.Text()).substr(0, static_cast<std::size_t>(letters)) + number;
    }
    if (!used(CaeString(name))) return CaeString(name);
  }
}

bool UIOptStartTimeExists(const std::tm& when) {
  std::tm normalised = when;
  normalised.tm_isdst = -1;
  if (std::mktime(&normalised) == static_cast<std::time_t>(-1)) return false;
  return normalised.tm_year == when.tm_year && normalised.tm_mon == when.tm_mon && normalised.tm_mday == when.tm_mday &&
         normalised.tm_hour == when.tm_hour && normalised.tm_min == when.tm_min;
}

double UIOptMeshedVolume(AnlModel& model) {
  double volume = 0.0;
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    AmgMesh* mesh = sub && !sub->IsMarkedAsErased() ? sub->Mesh() : nullptr;
    if (!mesh || mesh->IsMarkedAsErased()) continue;
    CaeList<CaeElem> elements;
    mesh->Elements(elements);
    for (CaeElem* element : elements)
      if (element && element->Type() == CaeElemSolid && element->NumNodes() >= 4) volume += TetVolume(*element);
  }
  return volume;
}

int UIOptSubmit(int kind) {
  OptModel* model = UIPickOptModel(kind, kPickFlags);
  if (!model) {
    CadMessageBoxId(IDS_OPT_MODEL_REQUIRED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return 0;
  }
  if (kind == CaeOptShape) {
    Cad().SetDocControl(kShapeUpdateMode);
    int submitted = 0;
    try {
      submitted = UIOptSubmitShape(model, 0);
    } catch (...) {
      Cad().SetDocControl(0);
      throw;
    }
    Cad().SetDocControl(0);
    return submitted;
  }
  if (kind == CaeOptConcept) return UIOptSubmitConcept(model, 0);
  return 0;
}

namespace {

// The model and its simulation model, or false with the message shown.
bool HasModels(OptModel* model) {
  if (!model) {
    CadMessageBoxId(IDS_OPT_MODEL_REQUIRED, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return false;
  }
  if (!model->AnlModel()) {
    CadMessageBoxId(IDS_OPT_NO_SIMULATION_MODEL, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

// The proposed result-set name, or empty with the reason printed.
CaeString ProposedName(OptModel& model) {
  CaeString name = UIOptNewResultSetName(&model);
  if (name.IsEmpty()) Print(IDS_OPT_NAME_CANNOT_FIT);
  return name;
}

void MakeLinkedModelCurrent(OptModel& model) {
  AnlControl* control = AnlControl::GetCurrent();
  if (control && control->CurrentAnlModel() != model.AnlModel()) control->SetCurrentAnlModel(model.AnlModel());
}

// Shows the sheet filled from the model's settings: false when it was not accepted or its start
// time does not exist. `cases` takes the input page's committed result cases either way; the
// Options page's settings are in `parameters` (a wizard leaves them as they were).
template <class Options>
bool ShowSheet(SubmitSheet<Options>& s, OptModel& model, bool wizard, OptParameters& parameters,
               std::vector<std::unique_ptr<AnlResltCase>>& cases, std::tm& start) {
  parameters = model.Parameters();
  s.general.FromParameters(parameters);
  s.options.FromParameters(parameters);
  MakeLinkedModelCurrent(model);
  const INT_PTR ended = s.sheet.DoModal();
  cases = TakeCases(s.input);
  if (!Accepted(ended, wizard) || !StartTime(s.exec, start)) return false;
  if (!wizard) s.options.ToParameters(parameters);
  return true;
}

}  // namespace

int UIOptSubmitShape(OptModel* model, int wizard) {
  if (!HasModels(model)) return 0;
  const CaeString proposed = ProposedName(*model);
  if (proposed.IsEmpty()) return 0;
  AnlControl* control = AnlControl::GetCurrent();
  const bool wizardMode = wizard != 0;
  ShapeSheet s(wizardMode);
  bool offered = false;
  if (wizardMode) {
    std::vector<std::unique_ptr<AnlResltCase>> defaults;
    if (control) defaults = UIOptDefaultResultSets(*model, *control);
    if (!defaults.empty()) {
      s.input.m_bSelect = 1;
      s.input.m_bOptimization = TRUE;
      for (std::unique_ptr<AnlResltCase>& rc : defaults) s.input.m_tree.ResultCases.push_back(rc.release());
      s.sheet.AddPage(&s.input);
      offered = true;
    }
    WizardPages(s.sheet, s.exec, {&s.general, &s.exec});
  } else {
    s.check.m_pOptModel = model;
    CommandPages(s.sheet, {&s.check, &s.general, &s.exec, &s.options},
                 {IDI_SUBMIT_OPT_GENERAL, IDI_SUBMIT_EXEC, IDI_SUBMIT_OPTIONS});
  }
  s.general.m_strResultName = proposed.Text();
  OptParameters parameters;
  std::vector<std::unique_ptr<AnlResltCase>> kept;
  std::tm start{};
  if (!ShowSheet(s, *model, wizardMode, parameters, kept, start)) return 0;
  if (offered) RegisterWizardSets(*model, kept);
  s.general.ToParameters(parameters);
  model->Parameters(parameters);

  ::AnlModel& simulation = *model->AnlModel();
  if (!UIGenerateDeferredMeshes(simulation)) return 0;
  const CaeString deckFile = DeckFile(s.exec);
  const bool toJob = deckFile.IsEmpty();

  std::unique_ptr<AnlWriter> writer(model->DeckWriter(AnlCodeSolve));
  model->SetWriterOptions(writer.get());
  CaeString report;
  const bool checked = CheckRun(*model, *writer, report);
  bool proceed = checked || AcceptFailedCheck(report, toJob || AnyMeshNeedsUpdate(simulation));

  CaeString message;
  AnlJob* job = nullptr;
  OptResultCase* resultSet = nullptr;
  if (proceed) {
    CadWaitCursor wait;
    Cad().BeforeDeckWrite();
    if (!toJob) {
      proceed = writer->Write(deckFile, message) != 0;
      if (proceed) Print(IDS_OPT_INPUT_FILE_CREATED);
    } else {
      job = NewJob(kShapeNullJobLine);
      if (!writer->CreateDeck(job, CaeString(), message, 1) &&
          !(message == CaeMsgTxt::GetMessage(kMsgConditionsIgnored))) {
        model->RemoveJob(job);
        job = nullptr;
        proceed = false;
      } else {
        if (s.exec.m_bDelayed) {
          job->SetTime(start);
          job->SetDelayedStart(start);
        }
        resultSet =
            model->NewOptResultCase(job->BaseName(), CaeString(static_cast<const char*>(s.general.m_strResultName)));
      }
    }
  }
  writer.reset();
  {
    CadWaitCursor wait;
    Cad().BeforeJobRun();
    Cad().RefreshAfterCommand();
  }
  if (proceed && job) {
    CaeString reason;
    if (!StartJob(*model, *job, resultSet, reason)) {
      ReportNotStarted(reason);
      return 0;
    }
    Print(IDS_OPT_SUBMITTED);
  }
  if (!proceed) ReportWriterMessage(message);
  return proceed ? 1 : 0;
}

int UIOptSubmitConcept(OptModel* model, int wizard) {
  if (!HasModels(model)) return 0;
  const CaeString proposed = ProposedName(*model);
  if (proposed.IsEmpty()) return 0;
  AnlControl* control = AnlControl::GetCurrent();
  const bool wizardMode = wizard != 0;
  ConceptSheet s(wizardMode);
  if (wizardMode) {
    WizardPages(s.sheet, s.exec, {&s.input, &s.exec});
  } else {
    s.check.m_pOptModel = model;
    CommandPages(s.sheet, {&s.check, &s.input, &s.exec, &s.options},
                 {IDI_EXP_RESULT_CASE, IDI_SUBMIT_EXEC, IDI_SUBMIT_OPTIONS});
  }
  OptParameters parameters;
  std::vector<std::unique_ptr<AnlResltCase>> cases;
  std::tm start{};
  if (!ShowSheet(s, *model, wizardMode, parameters, cases, start)) return 0;
  model->Parameters(parameters);

  ::AnlModel& simulation = *model->AnlModel();
  if (!UIGenerateDeferredMeshes(simulation)) return 0;
  const CaeString deckFile = DeckFile(s.exec);
  const bool toJob = deckFile.IsEmpty();

  CadWaitCursor wait;
  std::unique_ptr<AnlWriter> writer(model->DeckWriter(AnlCodeSolve));
  bool unwritten = false;
  CaeFlags requests;
  requests.SetValue(kUIOutDisplacements | kUIOutStress | kUIOutStrain | kUIOutReactionForces);
  CaeFlags outputs;
  outputs.SetValue(UIWriterOutputRequests(requests, simulation, unwritten));
  writer->SetOutputRequests(outputs);
  // A page never opened left no cases of the person's: one static set with the current sets.
  if (s.input.m_bSelect != -1 || cases.empty()) {
    cases.clear();
    if (control) cases.push_back(DefaultSet(AnlResltStatic, *control));
  }
  for (const std::unique_ptr<AnlResltCase>& rc : cases) writer->AddResltCase(rc.get());

  CaeString report;
  const bool checked = CheckRun(*model, *writer, report);
  const bool proceed = checked || AcceptFailedCheck(report, toJob);
  if (!proceed) return 0;

  CaeString message;
  if (!toJob) {
    if (!writer->Write(deckFile, message)) {
      CadMessageBoxText(message.Text(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
      return 0;
    }
    Print(IDS_OPT_INPUT_FILE_CREATED);
    Cad().RefreshAfterCommand();
    return 1;
  }
  // The target volume is a fraction of the meshed part: without one there is no target.
  OptObjective* objective = model->Objective();
  double scale = kScaleOne;
  if (objective && objective->GenericIVal() == 0) {
    scale = UIOptMeshedVolume(simulation);
    if (!(scale > 0.0)) {
      CadMessageBoxId(IDS_OPT_NO_MESHED_VOLUME, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
      return 0;
    }
  }
  AnlJob* job = NewJob(kConceptNullJobLine);
  if (!writer->CreateDeck(job, CaeString(), message, 1)) {
    CadMessageBoxText(message.Text(), MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    model->RemoveJob(job);
    return 0;
  }
  if (s.exec.m_bDelayed) {
    job->SetTime(start);
    job->SetDelayedStart(start);
  }
  OptResultCase* resultSet = model->NewOptResultCase(job->BaseName(), proposed);
  if (resultSet) resultSet->SetObjectiveScale(scale);
  writer.reset();
  Cad().RefreshAfterCommand();
  CaeString reason;
  if (!StartJob(*model, *job, resultSet, reason)) {
    ReportNotStarted(reason);
    return 0;
  }
  Print(IDS_OPT_SUBMITTED);
  return 1;
}
