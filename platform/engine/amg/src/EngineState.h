// Resets of the core's module-wide state, run by CaeEngine::ResetState.
#pragma once

namespace amg_state {
void ResetMessages();
void ResetUnits();
void ResetInterrupt();
void ResetProgress();
}  // namespace amg_state
