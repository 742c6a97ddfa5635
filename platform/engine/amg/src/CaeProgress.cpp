#include "amg/CaeProgress.h"

#include "EngineState.h"

CaeProgress* CaeProgress::GetProgressControl() {
  static CaeProgress control;
  return &control;
}

CaeProgress::ControlFunction CaeProgress::SetControlFunction(ControlFunction function) {
  ControlFunction previous = function_;
  function_ = function;
  return previous;
}

int CaeProgress::DoProgressCommand(int code, void* arg) { return function_ ? function_(code, arg) : 0; }

int CaeProgress::DoProgressCommand(int code, int value) { return DoProgressCommand(code, static_cast<void*>(&value)); }

int CaeProgress::DoProgressCommand(int code, const CaeString& text) {
  CaeString copy(text);  // the function receives a mutable pointer
  return DoProgressCommand(code, static_cast<void*>(&copy));
}

void amg_state::ResetProgress() { CaeProgress::GetProgressControl()->SetControlFunction(nullptr); }
