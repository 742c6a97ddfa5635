#include "EngineReset.h"

#include <mutex>

#include "amg/CaeEngine.h"

namespace fea_detail {

namespace {

void ResetAll() {
  ResetControlState();
  ResetResultsState();
}

}  // namespace

void RegisterEngineReset() {
  static std::once_flag once;
  std::call_once(once, [] { CaeEngine::AddResetHook(&ResetAll); });
}

}  // namespace fea_detail
