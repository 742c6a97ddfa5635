#include "fea/FerState.h"

#include <filesystem>

#include "amg/CaeMsgCall.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FrdReader.h"

#include "EngineReset.h"
#include "fea/FeaMessages.h"
#include "fea/FerResult.h"

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
  CaeString error;
  if (!model) {
    error = CaeString("there is no model for the results");
  } else {
    CaeString name =
        names_.empty() ? CaeString(std::filesystem::path(file_.Str()).stem().string()) : names_.front().first;
    auto target = [&] { return made_ = model->NewResultSet(name); };
    const kestrum::Status read = FrdReader::Read(file_.Str(), model->Type(), units, target);
    if (read) return 1;
    error = CaeString(read.problem().Describe());
  }
  CaeMsgCall::Message(1, kFeaMsgResultsDamaged, {file_, error});
  return 0;
}

FerReader* CaeFerInterface::Reader(const CaeString& resultsFile, int) { return new FerReader(resultsFile); }

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

int FerState::DefaultDisplay(int redraw) {
  if (!interface_) return 0;
  FerResultSet* set = interface_->GetResultSet();
  if (!set) return 0;
  FerResult* result = set->IsModal() ? set->FindResult(FerQtyDisplacement) : nullptr;
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
  color.Visible(1);
  settings.SetColorSettings(color);
  interface_->SetFerSettings(display, settings);
  if (redraw) UpdateImage();
  return 1;
}

void FerState::AnimateInit() {
  animInitialized_ = 1;
  animating_ = 0;
  frame_ = 0;
}

void FerState::AnimateGo(int fullCycle) {
  if (!animInitialized_) AnimateInit();
  fullCycle_ = fullCycle ? 1 : 0;
  animating_ = 1;
}

void FerState::AnimateStop() { animating_ = 0; }

void FerState::AnimateStep(int direction) {
  if (!animInitialized_) AnimateInit();
  animating_ = 0;
  int frames = 1;
  if (FerDisplay* display = FerDisplay::GetCurrent())
    frames = display->Settings().GetAnimationSettings().GetNumberFrames();
  if (frames < 1) frames = 1;
  frame_ = ((frame_ + (direction < 0 ? -1 : 1)) % frames + frames) % frames;
}

void FerState::AnimateDone() {
  animInitialized_ = 0;
  animating_ = 0;
  frame_ = 0;
}

int FerState::ExportVRML(const CaeString&, int, int, int, int) {
  FeaReportNotAvailable("VRML export");
  return 0;
}

int FerState::ExportNF(const CaeString&, int) {
  FeaReportNotAvailable("Neutral file export");
  return 0;
}
