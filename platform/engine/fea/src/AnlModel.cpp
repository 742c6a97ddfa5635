#include "fea/AnlModel.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "CheckReport.h"
#include "MeshAdapt.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlWriter.h"
#include "fea/FeaMessages.h"
#include "fea/FerResult.h"

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
  bool anyPart = false, materialMissing = false, meshMissing = false;
  for (int i = 0; i < NumSubModels(); ++i) {
    AnlSubModel* sub = GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    anyPart = true;
    materialMissing = materialMissing || !sub->GetMaterial();
    meshMissing = meshMissing || !sub->Mesh();
  }
  if (materialMissing) report.Finding(kFeaMsgNoMaterial);
  if (meshMissing || !anyPart) report.Finding(kFeaMsgNoMesh);
  return report.Finish(kFeaMsgSimCheckFailed,
                       CaeString::Format("Check of the simulation model %s passed.", Name().Text()));
}

AnlWriter* AnlModel::DeckWriter(AnlCode code) { return new AnlWriter(this, code); }

AnlJob* AnlModel::SubmitAnalysis(AnlWriter* writer, const CaeString& deckFile, const struct tm* when, int deckOnly,
                                 CaeString& message, AnlCode code) {
  CAE_CHECK(writer);
  if (!writer->Model()) writer->SetModel(this);
  std::string deck = deckFile.Str();
  for (char& c : deck)
    if (c == '\\') c = '/';
  std::filesystem::path path(deck);
  if (path.extension() == ".inp") path.replace_extension();
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  AnlJob* job = NewJob();
  job->Create(CaeString(path.string()));
  job->SetName(CaeString(path.filename().string()));
  job->SetAnalysisCode(code);
  if (deckOnly) job->SetWriteDeckOnly(1);
  // The solver's buckling extraction gave different factors from run to run with several threads
  // (seen with CalculiX 2.20); one thread gives the same, right answer every time.
  if (Type() == AnlBuckling) job->SetThreads(1);
  if (when) job->SetDelayedStart(*when);
  if (!writer->CreateDeck(job, job->DeckName(), message, 1)) {
    DeleteJob(job);
    return nullptr;
  }
  job->Run();
  return job;
}

int AnlModel::SubmitHAdaptiveAnalysis(AnlWriter*, CaeString& message, AnlCode) {
  message = CaeString("Adaptive analysis is not available yet.");
  FeaReportNotAvailable("Adaptive analysis");
  return 0;
}

int AnlModel::AdaptMeshes(FerResultSet* results, int, CaeString& message, int& stop) {
  message = CaeString();
  stop = 1;
  const FerResult* errors = results ? results->FindResult(FerQtyErrorEstimate) : nullptr;
  double lowest = 0.0, highest = 0.0;
  // The solver writes zeros for the estimate of linear elements: not an estimate.
  const std::vector<AmgMesh*> meshes = LiveMeshes();
  const bool linear = std::any_of(meshes.begin(), meshes.end(), [](AmgMesh* m) { return m->GetElementOrder() == 1; });
  if (!errors || !errors->Range(0, 0, lowest, highest) || linear) {
    message = CaeString(
        "The results hold no error estimate to refine the mesh by: it comes with a static analysis of quadratic "
        "solid elements.");
    return 1;
  }
  // Within the target or out of passes: the results stand.
  if (highest <= adaptTargetError_ || adaptPasses_ >= adaptIterations_) return 1;
  std::vector<AmgMesh*> refined;
  for (AmgMesh* mesh : meshes)
    if (fea_detail::SetSizesFromError(*mesh, *errors, adaptTargetError_) > 0) refined.push_back(mesh);
  if (refined.empty()) return 1;
  for (AmgMesh* mesh : refined) {
    if (!mesh->MeshIt()) {
      message = CaeString("The refined mesh could not be made: ") + mesh->ErrorText();
      return 1;
    }
  }
  ++adaptPasses_;
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
