#include "fea/AnlModel.h"

#include "JobFolder.h"

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <optional>
#include <thread>

#include "CheckReport.h"
#include "DeckText.h"
#include "ErrorEstimate.h"
#include "MeshAdapt.h"
#include "amg/CaeConfig.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeInterupt.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeProgress.h"
#include "amg/CaeTopoRef.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlWriter.h"
#include "fea/FeaMessages.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"

CAE_DEFINE_TYPE_INFO(AnlSubModel, CaeAttrib)

namespace {

std::atomic<long> g_lastSubModelId{0};

template <class T>
int CountLive(const std::vector<T*>& items) {
  return static_cast<int>(std::count_if(items.begin(), items.end(), [](T* t) { return !t->IsMarkedAsErased(); }));
}

template <class T>
T* At(const std::vector<T*>& items, int index) {
  return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : nullptr;
}

template <class T>
void AddOnce(std::vector<T*>& items, T* item) {
  CAE_CHECK(item);
  if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
}

}  // namespace

// --- AnlSubModel ---------------------------------------------------------------------------

AnlSubModel::AnlSubModel() : id_(NextSubModelId()) {}

AnlSubModel::AnlSubModel(CaeTopoRef* body) : CaeAttrib(body), id_(NextSubModelId()) {}

AnlSubModel::~AnlSubModel() { delete material_; }

long AnlSubModel::NextSubModelId() { return ++g_lastSubModelId; }

void AnlSubModel::AssignProp(CaeElemProp* prop) {
  if (prop != prop_.get()) prop_.reset(prop);
}

void AnlSubModel::AssignCoordSys(CaeCoordSys* coordSys) {
  if (coordSys != coordSys_.get()) coordSys_.reset(coordSys);
}

void AnlSubModel::SetMeshProps(AmgMesh* mesh) {
  if (!mesh) return;
  CaeList<CaeElem> elements;
  mesh->Elements(elements);
  shell_ = 0;
  for (CaeElem* element : elements)
    if (element->Type() == CaeElemShell) shell_ = 1;
}

AmgMesh* AnlSubModel::CreateRefinedMesh(int) {
  FeaReportNotAvailable("Mesh refinement");
  return nullptr;
}

// --- AnlModel ------------------------------------------------------------------------------

AnlModel::AnlModel() = default;

// The name is set in the body as well: a class that joins a drawing object with this one is the most
// derived, and the shared name base is built by its constructor, not by this initialiser.
AnlModel::AnlModel(const CaeString& name, AnlType type) : CaeName(name), type_(type) { Name(name); }

AnlModel::~AnlModel() {
  subModels_.clear();
  constraints_.clear();
  pairs_.clear();
  resultSets_.clear();
  jobs_.clear();
}

std::vector<AmgMesh*> AnlModel::LiveMeshes() {
  std::vector<AmgMesh*> meshes;
  for (int i = 0; i < NumSubModels(); ++i) {
    AnlSubModel* sub = GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    AmgMesh* mesh = sub->Mesh();
    if (mesh && !mesh->IsMarkedAsErased() && std::find(meshes.begin(), meshes.end(), mesh) == meshes.end())
      meshes.push_back(mesh);
  }
  return meshes;
}

int AnlModel::HasShellMesh() {
  for (int i = 0; i < NumSubModels(); ++i) {
    AnlSubModel* sub = GetSubModel(i);
    if (sub && !sub->IsMarkedAsErased() && sub->Mesh() && sub->MeshIsShell()) return 1;
  }
  return 0;
}

int AnlModel::HasSolidMesh() {
  for (int i = 0; i < NumSubModels(); ++i) {
    AnlSubModel* sub = GetSubModel(i);
    if (sub && !sub->IsMarkedAsErased() && sub->Mesh() && !sub->MeshIsShell()) return 1;
  }
  return 0;
}

int AnlModel::Nodes(CaeList<CaeNode>& list, int) {
  int count = 0;
  for (AmgMesh* mesh : LiveMeshes()) count += mesh->Nodes(list);
  return count;
}

int AnlModel::NumNodes(int) {
  int count = 0;
  for (AmgMesh* mesh : LiveMeshes()) count += mesh->NumNodes();
  return count;
}

void AnlModel::HighestNodeElementIds(long& node, long& element) {
  node = 0;
  element = 0;
  for (AmgMesh* mesh : LiveMeshes()) {
    CaeList<CaeNode> nodes;
    mesh->Nodes(nodes);
    for (CaeNode* n : nodes) node = std::max(node, n->Id());
    CaeList<CaeElem> elements;
    mesh->Elements(elements);
    for (CaeElem* e : elements) element = std::max(element, e->Id());
  }
}

int AnlModel::CheckModel(CaeArray<CaeString>& messages, CaeArray<std::uint32_t>& codes) {
  fea_detail::CheckReport report(messages, &codes);
  bool anyPart = false, materialMissing = false, meshMissing = false, propsMissing = false, propsInvalid = false;
  bool meshStale = false;
  std::vector<const CaeMaterial*> invalid;
  for (int i = 0; i < NumSubModels(); ++i) {
    AnlSubModel* sub = GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    anyPart = true;
    const CaeMaterial* material = sub->GetMaterial();
    if (!material || material->NumProp() == 0)
      materialMissing = true;
    else if (!fea_detail::MaterialProblems(*material, type_).empty())
      invalid.push_back(material);
    AmgMesh* mesh = sub->Mesh();
    // A deferred mesh not made yet is made when the model is submitted: it passes.
    if (!mesh || mesh->IsMarkedAsErased()) {
      meshMissing = true;
      continue;
    }
    meshStale = meshStale || (mesh->Generated() && mesh->NeedsUpdate());
    if (sub->MeshIsShell()) {
      const CaeElemProp* prop = sub->GetProp();
      propsMissing = propsMissing || !prop;
      propsInvalid = propsInvalid || (prop && !(prop->GetPropValue(CaeElemProp::kThickness) > 0));
    }
  }
  if (materialMissing) report.Finding(kFeaMsgNoMaterial);
  for (const CaeMaterial* material : invalid) {
    CaeArray<CaeString> args;
    args.Append(material->Name());
    report.Finding(kFeaMsgInvalidMaterial, args);
  }
  if (meshMissing || !anyPart) report.Finding(kFeaMsgNoMesh);
  if (propsMissing) report.Finding(kFeaMsgNoElementProps);
  if (propsInvalid) report.Finding(kFeaMsgBadElementProps);
  if (meshStale) report.Finding(HasLiveResults() ? kFeaMsgMeshStaleResults : kFeaMsgMeshStale);
  int number = 0;
  for (AnlMateRelPair* pair = FirstLiveMateRelPair(); pair; pair = NextLiveMateRelPair()) {
    ++number;
    if (!TiesShells(*pair)) continue;
    CaeArray<CaeString> args;
    args.Append(pair->Name().IsEmpty() ? CaeString::Format("%d", number) : pair->Name());
    report.Finding(kFeaMsgMateRelMeshType, args);
  }
  return report.Finish(kFeaMsgSimCheckFailed);
}

bool AnlModel::HasLiveResults() {
  for (int i = 0; i < NumJobs(); ++i)
    if (AnlJob* job = GetJob(i); job && !job->IsMarkedAsErased()) return true;
  for (int i = 0; i < NumResultSets(); ++i)
    if (FerResultSet* set = GetResultSet(i); set && !set->IsMarkedAsErased()) return true;
  return false;
}

// Mated faces are tied as faces of solid elements: a side on a part meshed with shells cannot be.
bool AnlModel::TiesShells(AnlMateRelPair& pair) {
  for (AttMateRel* side : {pair.MateRel1(), pair.MateRel2()}) {
    CaeTopoRef* ref = side ? side->GetTopoRef() : nullptr;
    CaeTopoRef* body = ref ? ref->Body() : nullptr;
    if (!body) continue;
    for (int i = 0; i < NumSubModels(); ++i) {
      AnlSubModel* sub = GetSubModel(i);
      if (!sub || sub->IsMarkedAsErased() || !sub->Mesh()) continue;
      const bool owner = sub->GetTopoRef() == body || sub->Mesh()->GetTopoRef() == body;
      if (owner && sub->MeshIsShell()) return true;
    }
  }
  return false;
}

AnlWriter* AnlModel::DeckWriter(AnlCode code) { return new AnlWriter(this, code); }

std::filesystem::path fea_detail::FreshJobFolder(const CaeString& jobName) {
  const std::optional<CaeString> scratch = CaeConfig::GetValue(CaeString("Scratch Directory"), 0);
  if (!scratch) return {};
  std::string path = scratch->Str();
  for (char& c : path)
    if (c == '\\') c = '/';
  std::string pattern = (std::filesystem::path(path) / (std::string(jobName.Str()) + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return {};
  return std::filesystem::path(pattern);
}

namespace {

std::filesystem::path ToPath(const CaeString& text) {
  std::string s = text.Str();
  for (char& c : s)
    if (c == '\\') c = '/';
  return std::filesystem::path(s);
}

// Why the meshes cannot be refined by their error estimate, or empty when they can.
CaeString AdaptRefusal(AnlModel& model, const std::vector<AmgMesh*>& meshes) {
  const bool linear = std::any_of(meshes.begin(), meshes.end(), [](AmgMesh* m) { return m->GetElementOrder() == 1; });
  if (model.Type() != AnlStress || linear || model.HasShellMesh() || meshes.empty())
    return CaeString(
        "The results hold no error estimate to refine the mesh by: it comes with a static analysis of quadratic "
        "solid elements.");
  return CaeString();
}

// What an adaptive run that ended after `analyses` analyses tells: the refinements and the
// largest error the solver estimated for the kept results, against the target.
CaeString AdaptiveRunOutcome(int analyses, const FerResultSet& results, double target) {
  double lowest = 0.0, highest = 0.0;
  FerResult* error = results.FindResult(FerQtyErrorEstimate);
  const bool estimated = error && error->Range(0, 0, lowest, highest);
  const int refinements = analyses - 1;
  CaeString text = CaeString::Format("Adaptive analysis: %d analyses, the mesh refined %d time%s.", analyses,
                                     refinements, refinements == 1 ? "" : "s");
  if (!estimated) return text;
  return text + CaeString::Format(" Largest estimated stress error %g %% (target %g %%).", highest, target);
}

// Removes a job of an adaptive run that is not kept: its files, then the job itself.
void DropJob(AnlModel& model, AnlJob* job) {
  job->CleanUp();
  std::error_code ignored;
  std::filesystem::remove(ToPath(job->AnlDir()), ignored);  // the job's own folder, once empty
  model.DeleteJob(job);
}

// Waits for a job, pumping the progress dialog so that its Cancel reaches the interrupt.
void WaitPumping(AnlJob& job) {
  CaeProgress* progress = CaeProgress::GetProgressControl();
  for (job.Poll(); job.IsPending(); job.Poll()) {
    progress->DoProgressCommand(CaeProgress::kPump, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// The interrupt the solver waits poll: the current one, else one of our own for the run.
class RunInterrupt {
 public:
  RunInterrupt() {
    if (!CaeInterupt::GetCurrent()) {
      own_ = std::make_unique<CaeInterupt>();
      CaeInterupt::SetCurrent(own_.get());
    }
    CaeInterupt::GetCurrent()->Initialize();
  }
  ~RunInterrupt() {
    if (CaeInterupt* current = CaeInterupt::GetCurrent()) current->Close();
    if (own_) CaeInterupt::SetCurrent(nullptr);
  }
  RunInterrupt(const RunInterrupt&) = delete;
  RunInterrupt& operator=(const RunInterrupt&) = delete;

 private:
  std::unique_ptr<CaeInterupt> own_;
};

// The progress dialog of a run, open while the object lives.
class RunProgress {
 public:
  explicit RunProgress(const CaeString& title) : progress_(CaeProgress::GetProgressControl()) {
    CaeString text = title;
    progress_->DoProgressCommand(CaeProgress::kEnableCancel, 1);
    progress_->DoProgressCommand(CaeProgress::kShowCancel, 1);
    progress_->DoProgressCommand(CaeProgress::kOpen, &text);
  }
  ~RunProgress() { progress_->DoProgressCommand(CaeProgress::kClose, 0); }
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;
  void Say(const CaeString& text) { progress_->DoProgressCommand(CaeProgress::kNextActivity, text); }

 private:
  CaeProgress* progress_;
};

}  // namespace

CaeString AnlModel::UniqueJobName() {
  for (int n = 1;; ++n) {
    const CaeString name = CaeString::Format("%sJob%d", Name().Text(), n);
    bool taken = false;
    for (int i = 0; i < NumJobs() && !taken; ++i)
      if (AnlJob* job = GetJob(i)) taken = job->Name() == name;
    if (!taken) return name;
  }
}

AnlJob* AnlModel::SubmitAnalysis(AnlWriter* writer, const CaeString& deckFile, const struct tm* when, int deckOnly,
                                 CaeString& message, AnlCode code) {
  CAE_CHECK(writer);
  if (!writer->Model()) writer->SetModel(this);
  message = CaeString();
  if (deckOnly && deckFile.IsEmpty()) {
    message = CaeString("No file was named for the input deck.");
    return nullptr;
  }
  std::filesystem::path base;
  std::filesystem::path freshFolder;
  CaeString name;
  if (deckFile.IsEmpty()) {
    name = UniqueJobName();
    freshFolder = fea_detail::FreshJobFolder(name);
    if (freshFolder.empty()) {
      message = CaeString("No folder for the job could be made in the scratch directory.");
      return nullptr;
    }
    base = freshFolder / name.Str();
  } else {
    // A deck written on its own keeps the name it was given; a run's deck is "<base>.inp".
    base = ToPath(deckFile);
    if (!deckOnly && base.extension() == ".inp") base.replace_extension();
    std::error_code error;
    if (base.has_parent_path()) std::filesystem::create_directories(base.parent_path(), error);
    name = deckOnly ? UniqueJobName() : CaeString(base.filename().string());
  }
  AnlJob* job = NewJob();
  job->Create(CaeString(base.string()));
  if (deckOnly) job->DeckName(deckFile);
  job->SetName(name);
  job->SetAnalysisCode(code);
  if (deckOnly) job->SetWriteDeckOnly(1);
  // The solver's buckling extraction gave different factors from run to run with several threads
  // (seen with CalculiX 2.20); one thread gives the same, right answer every time.
  if (jobThreads_ > 0) job->SetThreads(jobThreads_);
  if (Type() == AnlBuckling) job->SetThreads(1);
  if (when) job->SetDelayedStart(*when);
  auto abandon = [&] {
    DeleteJob(job);
    std::error_code ignored;
    if (!freshFolder.empty()) std::filesystem::remove_all(freshFolder, ignored);
    return nullptr;
  };
  if (!writer->CreateDeck(job, job->DeckName(), message, 1)) return abandon();
  job->Run();
  // A solver that could not even start is no submission: say why and leave no job behind.
  if (job->Failed()) {
    message = CaeMsgTxt::GetMessage(kFeaMsgAnalysisFailed, {job->Name(), job->FailureReason()});
    job->CleanUp();
    return abandon();
  }
  return job;
}

int AnlModel::SubmitHAdaptiveAnalysis(AnlWriter* writer, CaeString& message, AnlCode code) {
  CAE_CHECK(writer);
  message = CaeString();
  if (CaeString why = AdaptRefusal(*this, LiveMeshes()); !why.IsEmpty()) {
    message = why;
    return 0;
  }
  RunInterrupt interrupt;
  RunProgress progress(CaeString("Adaptive analysis"));
  std::vector<AnlJob*> earlier;
  auto fail = [&](const CaeString& why) {
    message = why;
    for (AnlJob* job : earlier) DropJob(*this, job);
    return 0;
  };
  for (int pass = 1;; ++pass) {
    progress.Say(CaeString::Format("Analysis %d", pass));
    AnlJob* job = SubmitAnalysis(writer, CaeString(), nullptr, 0, message, code);
    if (!job) return fail(message);
    WaitPumping(*job);
    if (!job->HaveResults())
      return fail(CaeMsgTxt::GetMessage(kFeaMsgAnalysisFailed, {job->Name(), job->FailureReason()}));
    FerResultSet results(job->Name());
    if (const kestrum::Status read = FrdReader::Read(job->ResultsFile().Str(), Type(), job->UnitSystem(), results);
        !read)
      return fail(CaeString(read.problem().Describe()));
    CaeString why;
    int stop = 1;
    AdaptMeshes(&results, FerQtyStress, why, stop);
    // Used-up passes and a singular point end the run with the last results, as a reached target does.
    if (LastAdaptOutcome() == kAdaptNoEstimate || LastAdaptOutcome() == kAdaptMeshFailed ||
        LastAdaptOutcome() == kAdaptNothingChosen)
      return fail(why);
    if (stop) {
      message = AdaptiveRunOutcome(pass, results, adaptTargetError_);
      if (LastAdaptOutcome() == kAdaptSingular) message = message + CaeString(" ") + why;
      break;
    }
    // The meshes changed: this pass's results no longer belong to them.
    earlier.push_back(job);
  }
  for (AnlJob* job : earlier) DropJob(*this, job);
  return 1;
}

namespace {

// A singular point: the largest error does not fall although the elements where it sits shrank,
// while the field there keeps growing (a resolved concentration converges instead).
bool StaysSingular(double size, double error, double field, const fea_detail::ElementErrors& now) {
  return now.worstSize < size && now.maxPercent >= 0.9 * error && now.worstField >= 1.15 * field;
}

}  // namespace

int AnlModel::AdaptMeshes(FerResultSet* results, int quantityType, CaeString& message, int& stop) {
  message = CaeString();
  stop = 1;
  auto end = [&](AdaptOutcome outcome, const CaeString& why) {
    lastAdapt_ = outcome;
    message = why;
    return 1;
  };
  const CaeString noEstimate(
      "The results hold no error estimate to refine the mesh by: it comes with the stresses, modes or heat flux of "
      "quadratic solid elements.");
  if (!results) return end(kAdaptNoEstimate, noEstimate);
  if (!results->Mesh()) results->LoadData();
  const int quantity = results->FindResult(quantityType) ? quantityType : fea_detail::ErrorQuantity(*results);
  fea_detail::ElementErrors errors;
  if (!fea_detail::EstimateErrors(*results, quantity, errors)) {
    // Without the mesh the solver's estimate still tells whether the error is within the target.
    const FerResult* solver = results->FindResult(FerQtyErrorEstimate);
    double lowest = 0.0, highest = 0.0;
    if (solver && solver->Range(0, 0, lowest, highest) && highest > 0.0 && highest <= adaptTargetError_)
      return end(kAdaptWithinTarget, CaeString());
    return end(kAdaptNoEstimate, noEstimate);
  }
  if (errors.maxPercent <= adaptTargetError_) return end(kAdaptWithinTarget, CaeString());
  const std::vector<AmgMesh*> meshes = LiveMeshes();
  const bool linear = std::any_of(meshes.begin(), meshes.end(), [](AmgMesh* m) { return m->GetElementOrder() == 1; });
  if (meshes.empty() || linear || HasShellMesh()) return end(kAdaptNoEstimate, noEstimate);
  if (adaptPasses_ >= adaptIterations_)
    return end(kAdaptPassesUsed,
               CaeString::Format("The mesh was refined %d times, as many times as this model allows; the largest "
                                 "estimated error is still %g %%, above the target of %g %%.",
                                 adaptPasses_, errors.maxPercent, adaptTargetError_));
  if (lastWorst_.set && StaysSingular(lastWorst_.size, lastWorst_.error, lastWorst_.field, errors))
    return end(kAdaptSingular,
               CaeString::Format("The largest estimated error, %g %%, at (%g, %g, %g) does not fall as the elements "
                                 "there shrink while the %s there keeps growing. That is a singular point "
                                 "(a sharp inner corner, a point load or a restrained edge), which no mesh resolves: "
                                 "round the corner or spread the load or restraint there.",
                                 errors.maxPercent, errors.worstPlace[0], errors.worstPlace[1], errors.worstPlace[2],
                                 FerQuantityName(quantity)));
  // The solver's own estimate drives a static refinement; other results refine by the doctor's.
  const FerResult* solver = errors.fromSolver ? results->FindResult(FerQtyErrorEstimate) : nullptr;
  FerResult estimated(FerQtyErrorEstimate);
  if (!solver) {
    estimated.SetNodalData(0, errors.nodeIds, errors.nodePercent);
    solver = &estimated;
  }
  std::vector<AmgMesh*> chosen;
  std::vector<std::vector<AmgMesh::SizeTet>> earlierFields;
  for (AmgMesh* mesh : meshes) {
    std::vector<AmgMesh::SizeTet> earlier = mesh->SizeField();
    if (fea_detail::SetSizesFromError(*mesh, *solver, adaptTargetError_) > 0) {
      chosen.push_back(mesh);
      earlierFields.push_back(std::move(earlier));
    }
  }
  if (chosen.empty())
    return end(kAdaptNothingChosen,
               CaeString::Format("No element of the meshes was chosen for refinement although the largest estimated "
                                 "error, %g %%, is above the target of %g %%: the results were not computed on "
                                 "these meshes.",
                                 errors.maxPercent, adaptTargetError_));
  // Every mesh is made aside first: one that fails leaves all of them as they were.
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    if (chosen[i]->PrepareMesh()) continue;
    const CaeString why = CaeString("The refined mesh could not be made: ") + chosen[i]->ErrorText();
    for (std::size_t j = 0; j < chosen.size(); ++j) {
      chosen[j]->DiscardPrepared();
      chosen[j]->SetSizeField(std::move(earlierFields[j]));
    }
    return end(kAdaptMeshFailed, why);
  }
  for (AmgMesh* mesh : chosen) mesh->CommitPrepared();
  ++adaptPasses_;
  lastWorst_.set = true;
  lastWorst_.size = errors.worstSize;
  lastWorst_.error = errors.maxPercent;
  lastWorst_.field = errors.worstField;
  lastAdapt_ = kAdaptRefined;
  stop = 0;
  return 0;
}

AnlJob* AnlModel::NewJob() {
  ownedJobs_.push_back(std::make_unique<AnlDrvJob>());
  AnlJob* job = ownedJobs_.back().get();
  AddJob(job);
  return job;
}

AmgMesh* AnlModel::NewMesh(CaeTopoRef* body) {
  ownedMeshes_.push_back(std::make_unique<AmgMesh>(body));
  return ownedMeshes_.back().get();
}

AnlSubModel* AnlModel::NewSubModelForBody(CaeTopoRef* body) {
  ownedSubModels_.push_back(std::make_unique<AnlSubModel>(body));
  AnlSubModel* sub = ownedSubModels_.back().get();
  subModels_.push_back(sub);
  return sub;
}

AnlSubModel* AnlModel::NewSubModel() { return NewSubModelForBody(nullptr); }

void AnlModel::DeleteSubModel(AnlSubModel* subModel) {
  CAE_CHECK(subModel);
  subModel->MarkAsErased();
}

int AnlModel::NumSubModels() { return static_cast<int>(subModels_.size()); }

AnlSubModel* AnlModel::GetSubModel(int index) { return At(subModels_, index); }

void AnlModel::AddConstraint(AmgConstraint* constraint) { AddOnce(constraints_, constraint); }

void AnlModel::DeleteConstraint(AmgConstraint* constraint) {
  CAE_CHECK(constraint);
  constraint->MarkAsErased();
}

int AnlModel::NumConstraints() { return static_cast<int>(constraints_.size()); }

int AnlModel::NumLiveConstraints() { return CountLive(constraints_); }

AmgConstraint* AnlModel::GetConstraint(int index) { return At(constraints_, index); }

void AnlModel::AddMateRelPair(AnlMateRelPair* pair) { AddOnce(pairs_, pair); }

void AnlModel::DeleteMateRelPair(AnlMateRelPair* pair) {
  CAE_CHECK(pair);
  pair->MarkAsErased();
}

int AnlModel::NumMateRelPairs() { return static_cast<int>(pairs_.size()); }

int AnlModel::NumLiveMateRelPairs() { return CountLive(pairs_); }

AnlMateRelPair* AnlModel::GetMateRelPair(int index) { return At(pairs_, index); }

AnlMateRelPair* AnlModel::FirstLiveMateRelPair() {
  pairCursor_ = 0;
  while (pairCursor_ < pairs_.size() && pairs_[pairCursor_]->IsMarkedAsErased()) ++pairCursor_;
  return pairCursor_ < pairs_.size() ? pairs_[pairCursor_] : nullptr;
}

AnlMateRelPair* AnlModel::NextLiveMateRelPair() {
  if (pairCursor_ >= pairs_.size()) return nullptr;
  ++pairCursor_;
  while (pairCursor_ < pairs_.size() && pairs_[pairCursor_]->IsMarkedAsErased()) ++pairCursor_;
  return pairCursor_ < pairs_.size() ? pairs_[pairCursor_] : nullptr;
}

FerResultSet* AnlModel::NewResultSet(const CaeString& name) {
  ownedResultSets_.push_back(std::make_unique<FerResultSet>(name));
  FerResultSet* set = ownedResultSets_.back().get();
  resultSets_.push_back(set);
  return set;
}

int AnlModel::DeleteResultSet(const CaeString& name) {
  FerResultSet* set = FindResultSet(name);
  if (!set) return 0;
  set->MarkAsErased();
  return 1;
}

int AnlModel::NumResultSets() { return static_cast<int>(resultSets_.size()); }

FerResultSet* AnlModel::GetResultSet(int index) { return At(resultSets_, index); }

FerResultSet* AnlModel::FindResultSet(const CaeString& name) {
  for (FerResultSet* set : resultSets_)
    if (!set->IsMarkedAsErased() && set->Name() == name) return set;
  return nullptr;
}

void AnlModel::AddJob(AnlJob* job) { AddOnce(jobs_, job); }

void AnlModel::DeleteJob(AnlJob* job) {
  CAE_CHECK(job);
  job->MarkAsErased();
}

int AnlModel::NumJobs() { return static_cast<int>(jobs_.size()); }

AnlJob* AnlModel::GetJob(int index) { return At(jobs_, index); }

AnlJob* AnlModel::FindJobByDeck(const CaeString& deckName) {
  for (AnlJob* job : jobs_)
    if (!job->IsMarkedAsErased() && job->DeckName() == deckName) return job;
  return nullptr;
}
