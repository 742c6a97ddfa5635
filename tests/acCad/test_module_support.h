// What the test command modules share: their answers read from the command line and one
// transaction per command's work. Header only: each module is a library of its own.
#pragma once

#include <string>

#include "amg/CaeExcept.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"

namespace kestrum::test_module {

inline CadInterface& cad() { return *CadInterface::GetCurrent(); }

// The answers of one command; an ended answer ends the command quietly.
struct Answers {
  bool ok = true;

  std::string text(const char* prompt) {
    char buffer[512] = {};
    if (ok && acedGetString(1, prompt, buffer, sizeof buffer) != RTNORM) ok = false;
    return ok ? buffer : "";
  }
  int integer(const char* prompt) {
    int value = 0;
    if (ok && acedGetInt(prompt, &value) != RTNORM) ok = false;
    return value;
  }
  double real(const char* prompt) {
    ads_real value = 0.0;
    if (ok && acedGetReal(prompt, &value) != RTNORM) ok = false;
    return value;
  }
};

// Runs one command's work in a transaction of its own; an engine exception is printed.
template <class Work>
void inTransaction(Work work) {
  if (!CadInterface::GetCurrent()) {
    acutPrintf("\nThe add-in is not loaded.");
    return;
  }
  try {
    CadTransactionScope scope(cad());
    scope.Start();
    work();
    scope.Commit();
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  }
}

}  // namespace kestrum::test_module
