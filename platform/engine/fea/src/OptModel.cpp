#include "fea/OptModel.h"

#include <algorithm>
#include <filesystem>

#include "CheckReport.h"
#include "JobFolder.h"
#include "LiveWalk.h"
#include "UnitText.h"
#include "amg/CaeMsgCall.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/FeaMessages.h"
#include "fea/OptRun.h"

CAE_DEFINE_TYPE_INFO(OptFunction, CaeAttrib)
CAE_DEFINE_TYPE_INFO(OptObjective, OptFunction)
CAE_DEFINE_TYPE_INFO(OptConstraint, OptFunction)

namespace {

struct ResponseInfo {
  const char* text;
  CaeUnitType unit;
};

constexpr ResponseInfo kResponses[] = {
    {"mass", CaeUtMass},     {"volume", CaeUtVolume}, {"frequency", CaeUtFrequency}, {"load factor", CaeUtNone},
    {"stress", CaeUtStress}, {"strain", CaeUtStrain}, {"displacement", CaeUtLength}, {"displacement", CaeUtLength},
};

const ResponseInfo* FindResponse(int type) {
  return type >= 0 && type < static_cast<int>(std::size(kResponses)) ? &kResponses[type] : nullptr;
}

// A walk that, with activeOnly, also passes over inactive items.
template <class T>
T* Skip(CaeCursorList<T>& list, T* item, bool activeOnly) {
  while (item && (item->IsMarkedAsErased() || (activeOnly && !item->IsActive()))) item = list.NextAfter(nullptr);
  return item;
}

template <class T>
T* FirstOf(CaeCursorList<T>& list, bool activeOnly) {
  return Skip(list, list.First(), activeOnly);
}

template <class T>
T* NextOf(CaeCursorList<T>& list, bool activeOnly) {
  if (!list.Current()) return nullptr;
  return Skip(list, list.NextAfter(nullptr), activeOnly);
}

}  // namespace

// --- OptParameters -------------------------------------------------------------------------

OptParameters::OptParameters()
    : shapeMaxCycles(10),
      constraintActiveTolerance(-0.03),
      constraintViolatedTolerance(0.003),
      relativeObjectiveChange(0.001),
      absoluteObjectiveChange(1.0e-4),
      relativeVariableChange(0.001),
      maxConstraintViolation(0.003),
      sensitivityOnly(0),
      conceptMaxCycles(30),
      conceptConvergenceSpeed(3),
      conceptFirstChange(0.1),
      conceptChangeMode(0),
      spareInt(0),
      spareValue(0.0),
      spareFlag(0) {}

// --- OptFunction ---------------------------------------------------------------------------

OptFunction::OptFunction() = default;

OptFunction::OptFunction(const CaeString& name, OptResponseType responseType)
    : CaeName(name), responseType_(responseType) {}

OptFunction::~OptFunction() = default;

CaeString OptFunction::ResponseText() const {
  const ResponseInfo* info = FindResponse(responseType_);
  return info ? CaeString(info->text) : CaeString();
}

CaeUnitType OptFunction::UnitType() const {
  const ResponseInfo* info = FindResponse(responseType_);
  return info ? info->unit : CaeUtNone;
}

CaeString OptFunction::UnitText() const { return fea_detail::UnitTypeText(UnitType()); }

void OptFunction::AddAnlResultCase(AnlResltCase* resultCase) {
  CAE_CHECK(resultCase);
  fea_detail::AppendOnce(resultCases_, resultCase);
}

int OptFunction::RemoveAnlResultCase(AnlResltCase* resultCase) { return fea_detail::Unlist(resultCases_, resultCase); }

AnlResltCase* OptFunction::FirstAnlResultCase() { return fea_detail::FirstLive(resultCases_); }

AnlResltCase* OptFunction::NextAnlResultCase() { return fea_detail::NextLive(resultCases_); }

OptObjective::OptObjective() : CaeName(CaeString(kDefaultName)) {}

OptObjective::OptObjective(const CaeString& name, OptResponseType responseType)
    : CaeName(name.IsEmpty() ? CaeString(kDefaultName) : name), OptFunction(name, responseType) {}

// --- OptConstraint -------------------------------------------------------------------------

OptConstraint::OptConstraint() = default;

OptConstraint::OptConstraint(int) {}

OptConstraint::OptConstraint(const CaeString& name, int components, CaeCoordSys* coordSys, OptResponseType responseType,
                             CaeTopoRef* topoRef)
    : CaeName(name), OptFunction(name, responseType) {
  Components(components);
  CoordSys(coordSys);
  SetTopoRef(topoRef);
}

void OptConstraint::AddToResultCase(AnlResltCase* resultCase) {
  CAE_CHECK(resultCase);
  if (!InResultCase(resultCase)) AddAnlResultCase(resultCase);
}

void OptConstraint::AddToAllResultCases() {
  ::OptModel* model = Owner();
  if (!model) return;
  std::vector<AnlResltCase*> cases;
  for (AnlResltCase* rc = model->FirstAnlResultCase(1); rc; rc = model->NextAnlResultCase()) cases.push_back(rc);
  for (AnlResltCase* rc : cases) AddToResultCase(rc);
}

void OptConstraint::RemoveFromResultCase(AnlResltCase* resultCase) {
  while (RemoveAnlResultCase(resultCase)) {}
}

void OptConstraint::RemoveFromAllResultCases() {
  std::vector<AnlResltCase*> listed;
  for (AnlResltCase* rc = FirstAnlResultCase(); rc; rc = NextAnlResultCase()) listed.push_back(rc);
  for (AnlResltCase* rc : listed) RemoveFromResultCase(rc);
}

int OptConstraint::InResultCase(const AnlResltCase* resultCase) {
  if (!resultCase) return 0;
  for (AnlResltCase* rc = FirstAnlResultCase(); rc; rc = NextAnlResultCase())
    if (rc == resultCase) return 1;
  return 0;
}

int OptConstraint::InAnyResultCase() { return FirstAnlResultCase() ? 1 : 0; }

void OptConstraint::BuildResultCaseList() {
  std::vector<AnlResltCase*> live;
  if (::OptModel* model = Owner())
    for (AnlResltCase* rc = model->FirstAnlResultCase(1); rc; rc = model->NextAnlResultCase()) live.push_back(rc);
  std::vector<AnlResltCase*> listed;
  for (AnlResltCase* rc = FirstAnlResultCase(); rc; rc = NextAnlResultCase()) listed.push_back(rc);
  for (AnlResltCase* rc : listed)
    if (std::find(live.begin(), live.end(), rc) == live.end()) RemoveFromResultCase(rc);
}

// --- OptVariable and OptVariableSet --------------------------------------------------------

OptVariable::OptVariable() : unitType_(CaeUtLength) {}

// The name is set in the body too (see AnlModel's constructor).
OptVariable::OptVariable(const CaeString& name) : CaeName(name), unitType_(CaeUtLength) { Name(name); }

OptVariable::~OptVariable() = default;

CaeString OptVariable::UnitText() const { return fea_detail::UnitTypeText(unitType_); }

int OptVariable::ApplyValue(double value) {
  value_ = value;
  return 1;
}

OptVariable* OptVariableSet::FirstVariable() {
  cursor_ = 0;
  return variables_.empty() ? nullptr : variables_.front();
}

OptVariable* OptVariableSet::NextVariable() {
  if (cursor_ + 1 >= variables_.size()) {
    cursor_ = variables_.size();
    return nullptr;
  }
  return variables_[++cursor_];
}

// --- OptResultData and OptResultCase -------------------------------------------------------

double OptResultData::Value(int cycle) const { return cycle >= 0 && cycle < values_.Count() ? values_[cycle] : 0.0; }

void OptResultData::SetValue(int cycle, double value) {
  if (cycle < 0) return;
  while (values_.Count() <= cycle) values_.Append(0.0);
  values_[cycle] = value;
}

double OptResultData::Sensitivity(int cycle, int variable) const {
  if (cycle < 0 || static_cast<std::size_t>(cycle) >= sensitivities_.size()) return 0.0;
  const std::vector<double>& row = sensitivities_[static_cast<std::size_t>(cycle)];
  return variable >= 0 && static_cast<std::size_t>(variable) < row.size() ? row[static_cast<std::size_t>(variable)]
                                                                          : 0.0;
}

void OptResultData::SetSensitivity(int cycle, int variable, double value) {
  if (cycle < 0 || variable < 0) return;
  if (sensitivities_.size() <= static_cast<std::size_t>(cycle))
    sensitivities_.resize(static_cast<std::size_t>(cycle) + 1);
  std::vector<double>& row = sensitivities_[static_cast<std::size_t>(cycle)];
  if (row.size() <= static_cast<std::size_t>(variable)) row.resize(static_cast<std::size_t>(variable) + 1, 0.0);
  row[static_cast<std::size_t>(variable)] = value;
}

bool OptResultData::HasSensitivity(int cycle) const {
  return cycle >= 0 && static_cast<std::size_t>(cycle) < sensitivities_.size() &&
         !sensitivities_[static_cast<std::size_t>(cycle)].empty();
}

OptResultCase::OptResultCase() = default;

OptResultCase::OptResultCase(const CaeString& name) : CaeName(name) {}

OptResultCase::~OptResultCase() = default;

OptResultData* OptResultCase::NewObjective() {
  objective_ = std::make_unique<OptResultData>();
  return objective_.get();
}

OptResultData* OptResultCase::NewMaxConstraint() {
  maxConstraint_ = std::make_unique<OptResultData>();
  return maxConstraint_.get();
}

OptResultData* OptResultCase::NewResVariable() {
  variables_.push_back(std::make_unique<OptResultData>());
  return variables_.back().get();
}

OptResultData* OptResultCase::NewResConstraint() {
  constraints_.push_back(std::make_unique<OptResultData>());
  return constraints_.back().get();
}

double OptResultCase::Objective(int cycle) const { return objective_ ? objective_->Value(cycle) : 0.0; }

double OptResultCase::MaxConstraint(int cycle) const { return maxConstraint_ ? maxConstraint_->Value(cycle) : 0.0; }

OptResultData* OptResultCase::ResultVariable(int index) const {
  return index >= 0 && index < NumResultVariable() ? variables_[index].get() : nullptr;
}

OptResultData* OptResultCase::ResultConstraint(int index) const {
  return index >= 0 && index < NumResultConstraint() ? constraints_[index].get() : nullptr;
}

void OptResultCase::ClearRecords() {
  objective_.reset();
  maxConstraint_.reset();
  variables_.clear();
  constraints_.clear();
}

void OptResultCase::Prepare() {
  ClearRecords();
  initialized_ = 0;
  ::OptModel* model = Owner();
  if (!model) return;
  if (OptObjective* objective = model->Objective()) {
    OptResultData* record = NewObjective();
    record->Name(objective->Name());
    record->responseText = objective->ResponseText();
    record->unitText = objective->UnitText();
  }
  NewMaxConstraint()->Name(CaeString("Maximum constraint"));
  std::unique_ptr<OptVariableSet> variables(model->Variables());
  int id = 1;
  for (OptVariable* v = variables->FirstVariable(); v; v = variables->NextVariable()) {
    OptResultData* record = NewResVariable();
    record->Name(v->Name());
    record->unitText = v->UnitText();
    v->Bounds(record->lower, record->upper);
    record->SetId(id++);
  }
  // The model's live analysis result cases: a constraint in none is evaluated on all of them.
  std::vector<AnlResltCase*> modelCases;
  for (AnlResltCase* rc = model->FirstAnlResultCase(1); rc; rc = model->NextAnlResultCase()) modelCases.push_back(rc);
  std::vector<OptConstraint*> constraints;
  for (OptConstraint* c = model->FirstConstraint(1); c; c = model->NextConstraint()) constraints.push_back(c);
  id = 1;
  for (OptConstraint* c : constraints) {
    std::vector<AnlResltCase*> cases;
    for (AnlResltCase* rc = c->FirstAnlResultCase(); rc; rc = c->NextAnlResultCase()) cases.push_back(rc);
    if (cases.empty()) cases = modelCases;
    for (AnlResltCase* rc : cases) {
      OptResultData* record = NewResConstraint();
      record->Name(c->Name());
      record->responseText = c->ResponseText();
      record->unitText = c->UnitText();
      record->anlRCName = rc->Name();
      c->Bounds(record->lower, record->upper);
      record->SetId(id);
    }
    ++id;
  }
}

int OptResultCase::ProcessResults() {
  FeaReportNotAvailable("Processing optimisation results");
  return 0;
}

int OptResultCase::InitializeData(const CaeString& file) {
  auto cycles = opt_history::Read(file.Str());
  std::string problem;
  if (!cycles) problem = cycles.problem().Describe();
  const auto variables = static_cast<std::size_t>(NumResultVariable());
  const auto constraints = static_cast<std::size_t>(NumResultConstraint());
  if (problem.empty())
    for (const OptCycle& c : *cycles)
      if (c.design.size() != variables || c.constraints.size() != constraints)
        problem = "cycle " + std::to_string(c.index) + " does not match the run's variables and constraints";
  if (!problem.empty()) {
    CaeMsgCall::Message(1, kFeaMsgResultsDamaged, {file, CaeString(problem.c_str())});
    return 0;
  }
  for (const OptCycle& c : *cycles) OptRecordCycle(*this, c);
  initialized_ = 1;
  return 1;
}

int OptResultCase::InitializeData() { return InitializeData(fileName_); }

namespace {

// The recorded cycles, rebuilt from the records.
std::vector<OptCycle> RecordedCycles(const OptResultCase& results) {
  std::vector<OptCycle> cycles;
  const int variables = results.NumResultVariable();
  for (int k = 0; k < results.NumCycles(); ++k) {
    OptCycle c;
    c.index = k;
    c.objective = results.Objective(k);
    c.maxConstraint = results.MaxConstraint(k);
    for (int i = 0; i < variables; ++i) c.design.push_back(results.ResultVariable(i)->Value(k));
    for (int j = 0; j < results.NumResultConstraint(); ++j)
      c.constraints.push_back(results.ResultConstraint(j)->Value(k));
    if (results.Objective() && results.Objective()->HasSensitivity(k)) {
      for (int i = 0; i < variables; ++i) c.objectiveSensitivity.push_back(results.Objective()->Sensitivity(k, i));
      for (int j = 0; j < results.NumResultConstraint(); ++j) {
        c.constraintSensitivity.emplace_back();
        for (int i = 0; i < variables; ++i)
          c.constraintSensitivity.back().push_back(results.ResultConstraint(j)->Sensitivity(k, i));
      }
    }
    cycles.push_back(std::move(c));
  }
  return cycles;
}

}  // namespace

int OptResultCase::SaveData(const CaeString& file) {
  kestrum::Status written = opt_history::Start(file.Str(), NumResultVariable(), NumResultConstraint());
  for (const OptCycle& c : RecordedCycles(*this))
    if (written) written = opt_history::Append(file.Str(), c);
  if (!written) {
    CaeMsgCall::Message(1, kFeaMsgCannotWrite, {file, CaeString(written.problem().message.c_str())});
    return 0;
  }
  return 1;
}

int OptResultCase::SaveData() { return SaveData(fileName_); }

// --- OptModel ------------------------------------------------------------------------------

OptModel::OptModel() { MarkAsNotCurrent(); }

OptModel::OptModel(const CaeString& name) : CaeName(name) {
  Name(name);  // see AnlModel's constructor
  MarkAsNotCurrent();
}

OptModel::~OptModel() {
  // The lists refer to objects; those the model made go after them.
  constraints_.RemoveAll();
  anlResultCases_.RemoveAll();
  optResultCases_.RemoveAll();
  jobs_.RemoveAll();
}

::AnlModel* OptModel::AnlModel() { return anlModel_ && !anlModel_->IsMarkedAsErased() ? anlModel_ : nullptr; }

void OptModel::SetAnlModel(::AnlModel* model) { anlModel_ = model; }

OptObjective* OptModel::Objective() { return objective_ && !objective_->IsMarkedAsErased() ? objective_ : nullptr; }

void OptModel::SetObjective(OptObjective* objective) {
  objective_ = objective;
  if (objective) objective->Owner(this);
}

void OptModel::AddConstraint(OptConstraint* constraint) {
  CAE_CHECK(constraint);
  fea_detail::AppendOnce(constraints_, constraint);
  constraint->Owner(this);
}

void OptModel::RemoveConstraint(OptConstraint* constraint) {
  CAE_CHECK(constraint);
  constraint->MarkAsErased();
}

int OptModel::NumConstraints() { return fea_detail::CountLive(constraints_.Head()); }

OptConstraint* OptModel::FirstConstraint(int activeOnly) {
  constraintsActiveOnly_ = activeOnly != 0;
  return FirstOf(constraints_, constraintsActiveOnly_);
}

OptConstraint* OptModel::NextConstraint() { return NextOf(constraints_, constraintsActiveOnly_); }

int OptModel::MoveConstraint(OptConstraint* moved, OptConstraint* place) {
  return fea_detail::MoveToPositionOf(constraints_, moved, place);
}

void OptModel::AddAnlResultCase(AnlResltCase* resultCase) {
  CAE_CHECK(resultCase);
  fea_detail::AppendOnce(anlResultCases_, resultCase);
}

void OptModel::RemoveAnlResultCase(AnlResltCase* resultCase) {
  CAE_CHECK(resultCase);
  resultCase->MarkAsErased();
}

int OptModel::NumAnlResultCases() { return fea_detail::CountLive(anlResultCases_.Head()); }

AnlResltCase* OptModel::FirstAnlResultCase(int activeOnly) {
  anlCasesActiveOnly_ = activeOnly != 0;
  return FirstOf(anlResultCases_, anlCasesActiveOnly_);
}

AnlResltCase* OptModel::NextAnlResultCase() { return NextOf(anlResultCases_, anlCasesActiveOnly_); }

int OptModel::MoveAnlResultCase(AnlResltCase* moved, AnlResltCase* place) {
  return fea_detail::MoveToPositionOf(anlResultCases_, moved, place);
}

OptResultCase* OptModel::NewOptResultCase(const CaeString& jobName, const CaeString& name) {
  auto resultCase = std::make_unique<OptResultCase>(name);
  OptResultCase* result = resultCase.get();
  ownedResultCases_.push_back(std::move(resultCase));
  result->AnlJobName(jobName);
  AddOptResultCase(result);
  result->Prepare();
  return result;
}

void OptModel::AddOptResultCase(OptResultCase* resultCase) {
  CAE_CHECK(resultCase);
  fea_detail::AppendOnce(optResultCases_, resultCase);
  resultCase->SetOwner(this);
}

void OptModel::RemoveOptResultCase(OptResultCase* resultCase) {
  CAE_CHECK(resultCase);
  if (resultCase == currentResultCase_) SetCurrentOptResultCase(nullptr);
  resultCase->MarkAsErased();
}

int OptModel::NumOptResultCases() { return optResultCases_.Count(); }

OptResultCase* OptModel::FirstOptResultCase(int activeOnly) {
  optCasesActiveOnly_ = activeOnly != 0;
  return FirstOf(optResultCases_, optCasesActiveOnly_);
}

OptResultCase* OptModel::NextOptResultCase() { return NextOf(optResultCases_, optCasesActiveOnly_); }

int OptModel::MoveOptResultCase(OptResultCase* moved, OptResultCase* place) {
  return fea_detail::MoveToPositionOf(optResultCases_, moved, place);
}

OptResultCase* OptModel::FindOptResultCase(const CaeString& name) {
  for (OptResultCase* rc : optResultCases_.Head())
    if (rc->Name() == name) return rc;
  return nullptr;
}

OptResultCase* OptModel::CurrentOptResultCase() {
  return currentResultCase_ && !currentResultCase_->IsMarkedAsErased() ? currentResultCase_ : nullptr;
}

void OptModel::SetCurrentOptResultCase(OptResultCase* resultCase) {
  if (currentResultCase_ && currentResultCase_ != resultCase) currentResultCase_->MarkAsNotCurrent();
  currentResultCase_ = resultCase;
  if (resultCase) resultCase->MarkAsCurrent();
}

void OptModel::AddJob(AnlJob* job) {
  CAE_CHECK(job);
  if (!jobs_.Find(job)->HasItem()) jobs_.Append(job);
}

void OptModel::RemoveJob(AnlJob* job) {
  CAE_CHECK(job);
  job->MarkAsErased();
}

int OptModel::NumJobs() { return jobs_.Count(); }

AnlJob* OptModel::FindJob(const CaeString& deckName) {
  for (AnlJob* job : jobs_)
    if (job->DeckName() == deckName) return job;
  return nullptr;
}

AnlJob* OptModel::Job(int index) {
  CAE_CHECK(index >= 0 && index < jobs_.Count());
  CaeList<AnlJob>* node = jobs_.FirstNode();
  for (int i = 0; i < index; ++i) node = node->Next();
  return node->Item()->IsMarkedAsErased() ? nullptr : node->Item();
}

OptVariableSet* OptModel::Variables() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->GetDesignVariables(this) : new OptVariableSet;
}

int OptModel::CheckModel(CaeArray<CaeString>& messages, CaeArray<std::uint32_t>* codes) {
  fea_detail::CheckReport report(messages, codes);
  ::AnlModel* model = AnlModel();
  if (!model)
    report.Finding(kFeaMsgNoSimulationModel);
  else if (model->HasShellMesh())
    report.Finding(kFeaMsgOptShells);
  if (!Objective()) report.Finding(kFeaMsgNoObjective);
  if (type_ == CaeOptShape) {
    std::unique_ptr<OptVariableSet> variables(Variables());
    if (variables->Count() == 0) report.Finding(kFeaMsgNoDesignVariables);
  }
  return report.Finish(kFeaMsgOptCheckFailed);
}

namespace {

// The deck of a run's starting design. A job made for the run (which has no files yet) gets a
// fresh folder under the scratch folder and a name "<model>Job<n>" that no job of the
// optimisation model has.
class OptDeckWriter : public AnlWriter {
 public:
  OptDeckWriter(OptModel& owner, AnlCode code) : AnlWriter(owner.AnlModel(), code), owner_(owner) {}

  int CreateDeck(AnlJob* job, const CaeString& deckFile, CaeString& message, int flag) override {
    CAE_CHECK(job);
    if (job->BaseName().IsEmpty()) {
      const CaeString name = UniqueJobName();
      const std::filesystem::path folder = fea_detail::FreshJobFolder(name);
      if (folder.empty()) {
        message = CaeString("No folder for the job could be made in the scratch directory.");
        return 0;
      }
      job->Create(CaeString((folder / name.Str()).string()));
      job->SetName(name);
    }
    return AnlWriter::CreateDeck(job, deckFile, message, flag);
  }

 private:
  CaeString UniqueJobName() {
    for (int n = 1;; ++n) {
      const CaeString name = CaeString::Format("%sJob%d", owner_.Name().Text(), n);
      bool taken = false;
      for (int i = 0; i < owner_.NumJobs() && !taken; ++i)
        if (AnlJob* job = owner_.Job(i)) taken = job->Name() == name;
      if (!taken) return name;
    }
  }
  OptModel& owner_;
};

}  // namespace

AnlWriter* OptModel::DeckWriter(int analysisCode) {
  return new OptDeckWriter(*this, static_cast<AnlCode>(analysisCode));
}

// The analyses of every live analysis result case of the model, with the responses' outputs.
void OptModel::SetWriterOptions(AnlWriter* writer) {
  CAE_CHECK(writer);
  for (AnlResltCase* resultCase = FirstAnlResultCase(1); resultCase; resultCase = NextAnlResultCase())
    writer->AddResltCase(resultCase);
  CaeFlags outputs;
  outputs.SetValue(AnlWriter::kOutDisplacement | AnlWriter::kOutStress | AnlWriter::kOutStrain);
  writer->SetOutputRequests(outputs);
}
