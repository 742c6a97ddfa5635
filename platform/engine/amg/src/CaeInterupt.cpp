#include "amg/CaeInterupt.h"

#include "EngineState.h"

namespace {
std::atomic<CaeInterupt*> current{nullptr};
}

CaeInterupt::~CaeInterupt() {
  CaeInterupt* self = this;
  current.compare_exchange_strong(self, nullptr);
}

CaeInterupt* CaeInterupt::SetCurrent(CaeInterupt* interrupt) { return current.exchange(interrupt); }
CaeInterupt* CaeInterupt::GetCurrent() { return current.load(); }

int CaeInterupt::Poll() {
  CaeInterupt* interrupt = current.load();
  return interrupt ? interrupt->Check() : 0;
}

void CaeInterupt::Initialize() {
  cancelled_ = false;
  running_ = true;
}

int CaeInterupt::Check() const { return cancelled_ ? 1 : 0; }
void CaeInterupt::Cancel() { cancelled_ = true; }
void CaeInterupt::Close() { running_ = false; }

void amg_state::ResetInterrupt() { current.store(nullptr); }
