#include "fea/FerState.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>

#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/CaeElem.h"
#include "fea/FrdReader.h"

#include "EngineReset.h"
#include "fea/FeaMessages.h"
#include "fea/FerResult.h"
#include "kestrum/atomic_file.h"

namespace {

FerDisplay* g_display = nullptr;
FerState* g_state = nullptr;

}  // namespace

namespace fea_detail {

void ResetResultsState() {
  g_display = nullptr;
  g_state = nullptr;
}

}  // namespace fea_detail

// --- FerDisplay ----------------------------------------------------------------------------

FerDisplay::FerDisplay() = default;

FerDisplay::~FerDisplay() {
  if (g_display == this) g_display = nullptr;
}

FerDisplay* FerDisplay::GetCurrent() { return g_display; }

FerDisplay* FerDisplay::SetCurrent(FerDisplay* display) {
  fea_detail::RegisterEngineReset();
  FerDisplay* previous = g_display;
  g_display = display;
  return previous;
}

void FerDisplay::UnSetCurrent() { g_display = nullptr; }

void FerDisplay::UnSetCurrent(FerDisplay* display) {
  if (g_display == display) g_display = nullptr;
}

// --- FerReader and CaeFerInterface ---------------------------------------------------------

void FerReader::AddResltCaseNames(const CaeString& first, const CaeString& second) {
  names_.emplace_back(first, second);
}

int FerReader::Read(const CaeUnitSystem& units) {
  made_ = nullptr;
  AnlModel* model = model_;
  if (!model)
    if (AnlControl* control = AnlControl::GetCurrent()) model = control->CurrentAnlModel();
  const CaeString name =
      names_.empty() ? CaeString(std::filesystem::path(file_.Str()).stem().string()) : names_.front().first;
  kestrum::Status read = kestrum::Ok();
  if (model) {
    auto target = [&] { return made_ = model->NewResultSet(name); };
    read = FrdReader::Read(file_.Str(), type_ >= 0 ? static_cast<AnlType>(type_) : model->Type(), units, target);
  } else if (FerState* state = FerState::GetState()) {
    auto set = std::make_unique<FerResultSet>(name);
    read = FrdReader::Read(file_.Str(), type_ >= 0 ? static_cast<AnlType>(type_) : AnlStress, units, *set);
    if (read) made_ = state->KeepResultSet(std::move(set));
  } else {
    read = kestrum::Problem{"there is no model and no results state for the results", file_.Str(), 0};
  }
  if (read) return 1;
  made_ = nullptr;
  CaeMsgCall::Message(1, kFeaMsgResultsDamaged, {file_, CaeString(read.problem().Describe())});
  return 0;
}

FerReader* CaeFerInterface::Reader(const CaeString& resultsFile, int) { return new FerReader(resultsFile); }

FerResultSet* CaeFerInterface::GetResultSet() {
  FerDisplay* display = FerDisplay::GetCurrent();
  if (!display) return nullptr;
  const CaeString& name = display->Settings().GetResultSet();
  if (name.IsEmpty()) return nullptr;
  if (AnlControl* control = AnlControl::GetCurrent())
    if (AnlModel* model = control->CurrentAnlModel())
      if (FerResultSet* set = model->FindResultSet(name)) {
        // A set read from a drawing brings its mesh and values in when it is first wanted.
        set->LoadData();
        return set;
      }
  FerState* state = FerState::GetState();
  FerResultSet* kept = state ? state->KeptResultSet() : nullptr;
  return kept && kept->Name() == name ? kept : nullptr;
}

namespace {

// The solver's element type of an engine element; 0 for one the results display does not draw.
int SolverTypeOf(const CaeElem& element) {
  const bool quadratic = element.Order() == CaeElemQuadratic;
  if (element.Type() == CaeElemSolid) return quadratic ? FerMesh::kTet10 : FerMesh::kTet4;
  return quadratic ? FerMesh::kTri6 : FerMesh::kTri3;
}

void AddMesh(const AmgMesh& amg, FerMesh& mesh, std::unordered_set<long>& known) {
  CaeList<CaeNode> nodes;
  amg.Nodes(nodes);
  for (CaeNode* node : nodes) {
    if (!known.insert(node->Id()).second) continue;
    mesh.nodeIds.push_back(node->Id());
    const CaeVector& at = node->Coordinate();
    mesh.coordinates.insert(mesh.coordinates.end(), {at.X(), at.Y(), at.Z()});
  }
  CaeList<CaeElem> elements;
  amg.Elements(elements);
  for (CaeElem* element : elements) {
    const int type = SolverTypeOf(*element);
    if (FerMesh::NodesOf(type) != element->NumNodes()) continue;
    mesh.elementIds.push_back(element->Id());
    mesh.elementTypes.push_back(type);
    for (int k = 0; k < element->NumNodes(); ++k) mesh.elementNodes.push_back(element->Node(k)->Id());
    mesh.elementStarts.push_back(mesh.elementNodes.size());
  }
}

}  // namespace

std::shared_ptr<const FerMesh> CaeFerInterface::ModelMesh(CaeString& modelName) {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return nullptr;
  modelName = model->Name();
  auto mesh = std::make_shared<FerMesh>();
  mesh->elementStarts.push_back(0);
  std::unordered_set<long> known;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    AnlSubModel* sub = model->GetSubModel(i);
    if (sub && !sub->IsMarkedAsErased() && sub->Mesh()) AddMesh(*sub->Mesh(), *mesh, known);
  }
  return mesh->NumElements() > 0 ? mesh : nullptr;
}

namespace {

// The current model's live sub-models that have a mesh, in order.
std::vector<AnlSubModel*> MeshedSubModels() {
  std::vector<AnlSubModel*> meshed;
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return meshed;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    AnlSubModel* sub = model->GetSubModel(i);
    if (sub && !sub->IsMarkedAsErased() && sub->Mesh()) meshed.push_back(sub);
  }
  return meshed;
}

}  // namespace

int CaeFerInterface::NumMesh() { return static_cast<int>(MeshedSubModels().size()); }

// A mesh's id is its sub-model's 1-based position among the meshed ones.
long CaeFerInterface::MeshId(int index) { return index >= 0 && index < NumMesh() ? static_cast<long>(index) + 1 : 0; }

int CaeFerInterface::MeshHasShells(long meshId) {
  const std::vector<AnlSubModel*> meshed = MeshedSubModels();
  if (meshId < 1 || meshId > static_cast<long>(meshed.size())) return 0;
  CaeList<CaeElem> elements;
  meshed[static_cast<std::size_t>(meshId - 1)]->Mesh()->Elements(elements);
  for (CaeElem* element : elements)
    if (element->Type() != CaeElemSolid) return 1;
  return 0;
}

double CaeFerInterface::MaterialAllowable() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  AnlSubModel* first = model && model->NumSubModels() > 0 ? model->GetSubModel(0) : nullptr;
  CaeMaterial* material = first ? first->GetMaterial() : nullptr;
  if (!material) return 0.0;
  CaeArray<double> temperatures;
  if (material->GetTemps(temperatures) < 1) return 0.0;
  double values[CaeMaterial::kPropCount] = {};
  if (!material->GetProp(temperatures[0], values)) return 0.0;
  return values[CaeMaterial::kUltimate];
}

void CaeFerInterface::GetFerSettings(FerDisplay*& display, FerDispSettings& settings) {
  display = FerDisplay::GetCurrent();
  if (display) settings = display->Settings();
}

void CaeFerInterface::SetFerSettings(FerDisplay* display, const FerDispSettings& settings) {
  if (!display) display = FerDisplay::GetCurrent();
  if (display) display->SetSettings(settings);
}

// --- FerState ------------------------------------------------------------------------------

FerState::FerState() = default;

FerState::~FerState() {
  if (g_state == this) g_state = nullptr;
}

FerState* FerState::GetState() { return g_state; }

FerState* FerState::SetState(FerState* state) {
  fea_detail::RegisterEngineReset();
  FerState* previous = g_state;
  g_state = state;
  return previous;
}

void FerState::UpdateImage() {
  if (FerDisplay* display = FerDisplay::GetCurrent()) display->Redraw();
}

FerResultSet* FerState::KeepResultSet(std::unique_ptr<FerResultSet> set) {
  kept_ = std::move(set);
  return kept_.get();
}

namespace {

// Component masks: bit i shows component i of the quantity's list.
constexpr int kFirstComponent = 1;      // von Mises of stress, the single value of temperature
constexpr int kMagnitudeComponent = 8;  // the fourth: displacement magnitude

}  // namespace

int FerState::DefaultDisplay(int redraw) {
  if (!interface_) return 0;
  FerResultSet* set = interface_->GetResultSet();
  if (!set) return 0;
  const bool modal = set->IsModal() || set->AnalType() == AnlVibration || set->AnalType() == AnlBuckling;
  const bool thermal = set->AnalType() == AnlHeatTransfer;
  const int wanted = modal ? FerQtyDisplacement : thermal ? FerQtyTemperature : FerQtyStress;
  FerResult* result = set->FindResult(wanted);
  if (!result) result = set->FirstResult();
  if (!result) return 0;
  FerDisplay* display = nullptr;
  FerDispSettings settings;
  interface_->GetFerSettings(display, settings);
  if (!display) return 0;
  settings.SetResultSet(set->Name());
  settings.SetResultSubSet(1);
  FerColorSetting color = settings.GetColorSettings();
  color.SetResult(result->QuantityType());
  color.SetComponent(result->QuantityType() == FerQtyDisplacement ? kMagnitudeComponent : kFirstComponent);
  color.Visible(1);
  color.Average(result->CanAverage());
  color.UseFactorOfSafety(0);
  color.SetRangeType(1);
  settings.SetColorSettings(color);
  FerDeformedSetting deformed = settings.GetDeformedSettings();
  deformed.SetResult(FerQtyDisplacement);
  deformed.Visible(!thermal && set->FindResult(FerQtyDisplacement) != nullptr);
  settings.SetDeformedSettings(deformed);
  interface_->SetFerSettings(display, settings);
  if (redraw) UpdateImage();
  return 1;
}

void FerState::AnimateInit() {
  animInitialized_ = 1;
  animating_ = 0;
  frame_ = 0;
  framesDrawn_ = 0;
}

namespace {

int AnimationFrames() {
  FerDisplay* display = FerDisplay::GetCurrent();
  return std::max(1, display ? display->Settings().GetAnimationSettings().GetNumberFrames() : 1);
}

}  // namespace

void FerState::AnimateGo(int fullCycle) {
  if (!animInitialized_) AnimateInit();
  fullCycle_ = fullCycle ? 1 : 0;
  animating_ = 1;
  framesDrawn_ = 0;
  if (FerDisplay* display = FerDisplay::GetCurrent()) display->StartAnimation();
}

void FerState::AnimateStop() {
  animating_ = 0;
  if (FerDisplay* display = FerDisplay::GetCurrent()) display->StopAnimation();
}

void FerState::AnimateStep(int direction) {
  if (!animInitialized_) AnimateInit();
  if (animating_) AnimateStop();
  const int frames = AnimationFrames();
  frame_ = ((frame_ + (direction < 0 ? -1 : 1)) % frames + frames) % frames;
}

void FerState::AnimateDone() {
  const bool running = animating_ != 0;
  animInitialized_ = 0;
  animating_ = 0;
  frame_ = 0;
  framesDrawn_ = 0;
  if (FerDisplay* display = FerDisplay::GetCurrent(); display && running) display->StopAnimation();
}

int FerState::AnimateTick() {
  if (!animating_) return 0;
  const int frames = AnimationFrames();
  frame_ = (frame_ + 1) % frames;
  ++framesDrawn_;
  const FerDisplay* display = FerDisplay::GetCurrent();
  const int repetitions = display ? display->Settings().GetAnimationSettings().GetNumberRepetitions() : -1;
  // The frame that completes the last repetition is still drawn; the animation ends with it.
  if (repetitions >= 0 && framesDrawn_ >= static_cast<long>(repetitions) * frames) animating_ = 0;
  return 1;
}

FerState::AnimationFrameView FerState::FrameView(int frame, int frames, int fullCycle, const FerResultSet& set) {
  AnimationFrameView view;
  frames = std::max(1, frames);
  frame = ((frame % frames) + frames) % frames;
  if (set.HasSubSets() && !set.IsModal()) {
    view.subset = frame % set.NumSubSets() + 1;  // a step history steps through its subsets
    return view;
  }
  constexpr double kTwoPi = 6.283185307179586;
  view.factor = fullCycle ? std::cos(kTwoPi * frame / frames) : static_cast<double>(frame + 1) / frames;
  if (std::fabs(view.factor) < 1e-12) view.factor = 0.0;  // at rest exactly, not a rounding's width off
  return view;
}

namespace {

std::string Quoted(const CaeString& text) { return "\"" + std::string(text.Str()) + "\""; }

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

std::string NeutralText(FerResultSet& set) {
  std::string out = "KESTRUM-RESULTS-NF 1\n";
  out += "SET " + Quoted(set.Name()) + " TYPE " + std::to_string(set.AnalType()) + "\n";
  out += "SUBSETS " + std::to_string(set.NumSubSets()) + " " + Quoted(set.SubSetName()) + "\n";
  for (int i = 0; i < set.NumSubSets(); ++i)
    out += "SUBSET " + std::to_string(i + 1) + " " + Number(set.GetSubSet(i)->GetValue()) + "\n";
  const FerMesh* mesh = set.Mesh();
  const int nodes = mesh ? mesh->NumNodes() : 0;
  out += "NODES " + std::to_string(nodes) + "\n";
  for (int i = 0; i < nodes; ++i) {
    const double* xyz = &mesh->coordinates[static_cast<std::size_t>(i) * 3];
    out += std::to_string(mesh->nodeIds[i]) + " " + Number(xyz[0]) + " " + Number(xyz[1]) + " " + Number(xyz[2]) + "\n";
  }
  const int elements = mesh && mesh->elementStarts.size() == mesh->elementIds.size() + 1 ? mesh->NumElements() : 0;
  out += "ELEMENTS " + std::to_string(elements) + "\n";
  for (int e = 0; e < elements; ++e) {
    const std::size_t begin = mesh->elementStarts[e], end = mesh->elementStarts[e + 1];
    out += std::to_string(mesh->elementIds[e]) + " " + std::to_string(mesh->elementTypes[e]) + " " +
           std::to_string(end - begin);
    for (std::size_t k = begin; k < end; ++k) out += " " + std::to_string(mesh->elementNodes[k]);
    out += "\n";
  }
  for (FerResult* result = set.FirstResult(); result; result = set.NextResult()) {
    const int components = result->NumComponents();
    out += "RESULT " + Quoted(CaeString(FerQuantityName(result->QuantityType()))) + " " +
           std::to_string(result->QuantityType()) + " " + std::to_string(components) + "\n";
    for (int c = 0; c < components; ++c) out += "COMPONENT " + Quoted(result->CompName(c)) + "\n";
    for (int s = 0; s < result->NumNodalSubsets(); ++s) {
      const std::vector<long>& ids = result->NodeIds(s);
      const std::vector<double>& values = result->NodeValues(s);
      out += "VALUES " + std::to_string(s + 1) + " " + std::to_string(ids.size()) + "\n";
      for (std::size_t n = 0; n < ids.size(); ++n) {
        out += std::to_string(ids[n]);
        for (int c = 0; c < components; ++c) out += " " + Number(values[n * components + c]);
        out += "\n";
      }
    }
  }
  out += "END\n";
  return out;
}

}  // namespace

int FerState::ExportNF(const CaeString& file, int) {
  FerResultSet* set = interface_ ? interface_->GetResultSet() : nullptr;
  if (!set) {
    CaeMsgCall::Message(1, kFeaMsgCannotWrite, {file, CaeString("no result set is displayed")});
    return 0;
  }
  std::string error;
  if (!kestrum::writeFileAtomically(std::filesystem::path(file.Str()), NeutralText(*set), &error)) {
    CaeMsgCall::Message(1, kFeaMsgCannotWrite, {file, CaeString(error)});
    return 0;
  }
  return 1;
}
