// CaeEngine: process-wide engine state as a whole.
//
// ResetState puts the engine back where it starts: no current unit systems, unit-name table or
// interrupt object, no message routine or text override, default message levels, no progress
// function, configuration read afresh. It deletes nothing (the engine owns none of its current
// objects). Other engine libraries register the reset of their own state with AddResetHook; hooks
// run in registration order, before the core's own state is reset. Meant for tests, between cases.
#pragma once

class CaeEngine {
 public:
  using ResetHook = void (*)();
  static void ResetState();
  static void AddResetHook(ResetHook hook);
};
