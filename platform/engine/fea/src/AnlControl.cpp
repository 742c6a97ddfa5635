#include "fea/AnlControl.h"

#include <filesystem>
#include <system_error>

#include "EngineReset.h"
#include "LiveWalk.h"
#include "amg/CaeMsgCall.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/FeaMessages.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"

using fea_detail::CountLive;
using fea_detail::FirstLive;
using fea_detail::NextLive;

namespace {

AnlControl* g_current = nullptr;

std::filesystem::path ToPath(const CaeString& location) {
  std::string text = location.Str();
  for (char& c : text)
    if (c == '\\') c = '/';
  return std::filesystem::path(text).lexically_normal();
}

template <class T>
void MakeCurrentMark(T* previous, T* next) {
  if (previous && previous != next) previous->MarkAsNotCurrent();
  if (next) next->MarkAsCurrent();
}

template <class T>
T* LiveOrNull(T* item) {
  return item && !item->IsMarkedAsErased() ? item : nullptr;
}

}  // namespace

namespace fea_detail {

void ResetControlState() { g_current = nullptr; }

}  // namespace fea_detail

AnlControl::AnlControl() = default;

AnlControl::AnlControl(const CaeString& name) : name_(name) {}

AnlControl::~AnlControl() {
  if (g_current == this) g_current = nullptr;
  // The lists only refer to objects; the owned ones go after them.
  optModels_.RemoveAll();
  optVariables_.RemoveAll();
  anlModels_.RemoveAll();
  loadCases_.RemoveAll();
  restraintCases_.RemoveAll();
}

AnlControl* AnlControl::GetCurrent() { return g_current; }

void AnlControl::SetCurrent() {
  fea_detail::RegisterEngineReset();
  g_current = this;
}

void AnlControl::UnsetCurrent() { g_current = nullptr; }

void AnlControl::OnExit() {
  ClearCurrentOptModel();
  ClearCurrentAnlModel();
  ClearCurrentLoadCase();
  ClearCurrentRestraintCase();
  ClearCurrentResultSet();
}

int AnlControl::MoveExternalFiles(const CaeString& oldLocation, const CaeString& newLocation) {
  namespace fs = std::filesystem;
  const fs::path from = ToPath(oldLocation);
  const fs::path to = ToPath(newLocation);
  if (from == to || from.empty()) return 1;
  std::error_code error;
  if (!fs::is_directory(from, error)) return 1;  // nothing was ever written there
  fs::create_directories(to, error);
  int result = 1;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, error)) {
    const fs::path target = to / entry.path().filename();
    std::error_code moveError;
    if (fs::exists(target, moveError)) {
      moveError = std::make_error_code(std::errc::file_exists);
    } else {
      fs::rename(entry.path(), target, moveError);
    }
    if (moveError) {
      CaeMsgCall::Message(1, kFeaMsgCannotMoveFile, {CaeString(entry.path().string()), CaeString(target.string())});
      result = 0;
    }
  }
  if (result) fs::remove(from, error);  // only removes the folder when it is empty
  return result;
}

// --- design variables ----------------------------------------------------------------------

int AnlControl::MoveOptVariable(OptVariable* moved, OptVariable* reference) {
  return fea_detail::MoveToPositionOf(optVariables_, moved, reference);
}

int AnlControl::AddOptVariable(OptVariable* variable) {
  CAE_CHECK(variable);
  fea_detail::AppendOnce(optVariables_, variable);
  return 0;
}

OptVariable* AnlControl::NewOptVariable(const CaeString& name) {
  auto variable = std::make_unique<OptVariable>(name);
  OptVariable* result = variable.get();
  ownedOptVariables_.push_back(std::move(variable));
  AddOptVariable(result);
  return result;
}

int AnlControl::DeleteOptVariable(OptVariable* variable) {
  CAE_CHECK(variable);
  variable->MarkAsErased();
  return 0;
}

int AnlControl::NumOptVariables() { return CountLive(optVariables_.Head()); }

OptVariable* AnlControl::FirstOptVariable() { return FirstLive(optVariables_); }

OptVariable* AnlControl::NextOptVariable() { return NextLive(optVariables_); }

OptVariableSet* AnlControl::GetDesignVariables(OptModel*) {
  auto* set = new OptVariableSet;
  for (OptVariable* variable = FirstOptVariable(); variable; variable = NextOptVariable()) set->Add(variable);
  return set;
}

// --- optimisation models -------------------------------------------------------------------

void AnlControl::AddOptModel(OptModel* model) {
  CAE_CHECK(model);
  fea_detail::AppendOnce(optModels_, model);
}

OptModel* AnlControl::NewOptModel(const CaeString& name) {
  auto model = std::make_unique<OptModel>(name);
  OptModel* result = model.get();
  ownedOptModels_.push_back(std::move(model));
  AddOptModel(result);
  return result;
}

void AnlControl::DeleteOptModel(OptModel* model) {
  CAE_CHECK(model);
  if (model == currentOptModel_) ClearCurrentOptModel();
  model->MakeUncurrent();
  model->MarkAsErased();
}

int AnlControl::NumOptModels() { return CountLive(optModels_.Head()); }

OptModel* AnlControl::FirstOptModel() { return FirstLive(optModels_); }

OptModel* AnlControl::NextOptModel() { return NextLive(optModels_); }

void AnlControl::SetCurrentOptModel(OptModel* model) {
  if (currentOptModel_ && currentOptModel_ != model) currentOptModel_->MakeUncurrent();
  currentOptModel_ = model;
  if (model) model->MakeCurrent();
}

void AnlControl::ClearCurrentOptModel() { SetCurrentOptModel(nullptr); }

OptModel* AnlControl::CurrentOptModel() { return LiveOrNull(currentOptModel_); }

// --- analysis models -----------------------------------------------------------------------

void AnlControl::AddAnlModel(AnlModel* model) {
  CAE_CHECK(model);
  fea_detail::AppendOnce(anlModels_, model);
}

AnlModel* AnlControl::NewAnlModel(const CaeString& name, AnlType type) {
  auto model = std::make_unique<AnlModel>(name, type);
  AnlModel* result = model.get();
  ownedAnlModels_.push_back(std::move(model));
  AddAnlModel(result);
  return result;
}

void AnlControl::DeleteAnlModel(AnlModel* model) {
  CAE_CHECK(model);
  if (model == currentAnlModel_) ClearCurrentAnlModel();
  model->MakeUncurrent();
  model->MarkAsErased();
  for (OptModel* opt = FirstOptModel(); opt; opt = NextOptModel())
    if (opt->AnlModel() == model) opt->SetAnlModel(nullptr);
}

int AnlControl::NumAnlModels() { return CountLive(anlModels_.Head()); }

AnlModel* AnlControl::FirstAnlModel() { return FirstLive(anlModels_); }

AnlModel* AnlControl::NextAnlModel() { return NextLive(anlModels_); }

void AnlControl::SetCurrentAnlModel(AnlModel* model) {
  if (currentAnlModel_ && currentAnlModel_ != model) currentAnlModel_->MakeUncurrent();
  currentAnlModel_ = model;
  if (model) model->MakeCurrent();
}

void AnlControl::ClearCurrentAnlModel() { SetCurrentAnlModel(nullptr); }

AnlModel* AnlControl::CurrentAnlModel() { return LiveOrNull(currentAnlModel_); }

// --- load and restraint sets ---------------------------------------------------------------

void AnlControl::AddLoadCase(AttLbcCase* loadSet) {
  CAE_CHECK(loadSet);
  fea_detail::AppendOnce(loadCases_, loadSet);
}

void AnlControl::AddRestraintCase(AttLbcCase* restraintSet) {
  CAE_CHECK(restraintSet);
  fea_detail::AppendOnce(restraintCases_, restraintSet);
}

AttLbcCase* AnlControl::NewLoadCase(const CaeString& name) {
  auto set = std::make_unique<AttLbcCase>(name, AttLbcCase::kLoadSet);
  AttLbcCase* result = set.get();
  ownedLbcCases_.push_back(std::move(set));
  AddLoadCase(result);
  return result;
}

AttLbcCase* AnlControl::NewRestraintCase(const CaeString& name) {
  auto set = std::make_unique<AttLbcCase>(name, AttLbcCase::kRestraintSet);
  AttLbcCase* result = set.get();
  ownedLbcCases_.push_back(std::move(set));
  AddRestraintCase(result);
  return result;
}

void AnlControl::DeleteLoadCase(AttLbcCase* loadSet) {
  CAE_CHECK(loadSet);
  if (loadSet == currentLoadCase_) ClearCurrentLoadCase();
  loadSet->MakeUncurrent();
  loadSet->MarkAsErased();
}

void AnlControl::DeleteRestraintCase(AttLbcCase* restraintSet) {
  CAE_CHECK(restraintSet);
  if (restraintSet == currentRestraintCase_) ClearCurrentRestraintCase();
  restraintSet->MakeUncurrent();
  restraintSet->MarkAsErased();
}

int AnlControl::NumLoadCases() { return CountLive(loadCases_.Head()); }

int AnlControl::NumRestraintCases() { return CountLive(restraintCases_.Head()); }

AttLbcCase* AnlControl::FirstLoadCase() { return FirstLive(loadCases_); }

AttLbcCase* AnlControl::NextLoadCase() { return NextLive(loadCases_); }

AttLbcCase* AnlControl::FirstRestraintCase() { return FirstLive(restraintCases_); }

AttLbcCase* AnlControl::NextRestraintCase() { return NextLive(restraintCases_); }

void AnlControl::SetCurrentLoadCase(AttLbcCase* loadSet) {
  if (currentLoadCase_ && currentLoadCase_ != loadSet) currentLoadCase_->MakeUncurrent();
  currentLoadCase_ = loadSet;
  if (loadSet) loadSet->MakeCurrent();
}

void AnlControl::ClearCurrentLoadCase() { SetCurrentLoadCase(nullptr); }

AttLbcCase* AnlControl::CurrentLoadCase() { return LiveOrNull(currentLoadCase_); }

void AnlControl::SetCurrentRestraintCase(AttLbcCase* restraintSet) {
  if (currentRestraintCase_ && currentRestraintCase_ != restraintSet) currentRestraintCase_->MakeUncurrent();
  currentRestraintCase_ = restraintSet;
  if (restraintSet) restraintSet->MakeCurrent();
}

void AnlControl::ClearCurrentRestraintCase() { SetCurrentRestraintCase(nullptr); }

AttLbcCase* AnlControl::CurrentRestraintCase() { return LiveOrNull(currentRestraintCase_); }

AttLbcCase* AnlControl::GetCurrentLbcCase(int kind) { return kind == 1 ? CurrentRestraintCase() : CurrentLoadCase(); }

// --- result set ----------------------------------------------------------------------------

void AnlControl::SetCurrentResultSet(FerResultSet* resultSet) {
  MakeCurrentMark(currentResultSet_, resultSet);
  currentResultSet_ = resultSet;
}

void AnlControl::ClearCurrentResultSet() { SetCurrentResultSet(nullptr); }

FerResultSet* AnlControl::CurrentResultSet() { return LiveOrNull(currentResultSet_); }
