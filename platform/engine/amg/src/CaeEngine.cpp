#include "amg/CaeEngine.h"

#include <mutex>
#include <vector>

#include "EngineState.h"
#include "amg/CaeConfig.h"

namespace {

std::mutex hooksMutex;

std::vector<CaeEngine::ResetHook>& Hooks() {
  static std::vector<CaeEngine::ResetHook> hooks;
  return hooks;
}

}  // namespace

void CaeEngine::AddResetHook(ResetHook hook) {
  std::lock_guard lock(hooksMutex);
  for (ResetHook existing : Hooks())
    if (existing == hook) return;
  Hooks().push_back(hook);
}

void CaeEngine::ResetState() {
  std::vector<ResetHook> hooks;
  {
    std::lock_guard lock(hooksMutex);
    hooks = Hooks();
  }
  for (ResetHook hook : hooks) hook();
  amg_state::ResetUnits();
  amg_state::ResetInterrupt();
  amg_state::ResetProgress();
  amg_state::ResetMessages();
  CaeConfig::Reset();
}
