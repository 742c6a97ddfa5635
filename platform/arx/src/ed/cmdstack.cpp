#include <algorithm>

#include "arx/accmd.h"
#include "text_util.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject);

namespace {
bool isBlank(const char* text) { return !text || !*text; }
}  // namespace

Acad::ErrorStatus AcEdCommandStack::addCommand(const char* cmdGroupName, const char* cmdGlobalName,
                                               const char* cmdLocalName, int commandFlags, AcRxFunctionPtr function,
                                               AcEdUIContext* uiContext, int fcode, void*, AcEdCommand** cmdOut) {
  if (isBlank(cmdGroupName) || isBlank(cmdGlobalName) || !function) return Acad::eInvalidInput;
  const char* local = isBlank(cmdLocalName) ? cmdGlobalName : cmdLocalName;
  for (const AcEdCommand* existing : commands_) {
    if (!cadhost::equalsNoCase(existing->group_, cmdGroupName)) continue;
    if (cadhost::equalsNoCase(existing->global_, cmdGlobalName) || cadhost::equalsNoCase(existing->local_, local))
      return Acad::eDuplicateKey;
  }
  auto* command = new AcEdCommand();
  command->group_ = cmdGroupName;
  command->global_ = cmdGlobalName;
  command->local_ = local;
  command->flags_ = commandFlags;
  command->function_ = function;
  command->uiContext_ = uiContext;
  command->functionCode_ = fcode;
  commands_.push_back(command);
  if (cmdOut) *cmdOut = command;
  return Acad::eOk;
}

AcEdCommand* AcEdCommandStack::lookupGlobalCmd(const char* globalName) const {
  if (isBlank(globalName)) return nullptr;
  for (auto it = commands_.rbegin(); it != commands_.rend(); ++it)
    if (cadhost::equalsNoCase((*it)->global_, globalName)) return *it;
  return nullptr;
}

AcEdCommand* AcEdCommandStack::lookupLocalCmd(const char* localName) const {
  if (isBlank(localName)) return nullptr;
  for (auto it = commands_.rbegin(); it != commands_.rend(); ++it)
    if (cadhost::equalsNoCase((*it)->local_, localName)) return *it;
  return nullptr;
}

AcEdCommand* AcEdCommandStack::lookupCmd(const char* name) const {
  AcEdCommand* command = lookupGlobalCmd(name);
  return command ? command : lookupLocalCmd(name);
}

Acad::ErrorStatus AcEdCommandStack::removeCmd(const char* cmdGroupName, const char* cmdGlobalName) {
  for (auto it = commands_.begin(); it != commands_.end(); ++it) {
    if (cadhost::equalsNoCase((*it)->group_, cmdGroupName ? cmdGroupName : "") &&
        cadhost::equalsNoCase((*it)->global_, cmdGlobalName ? cmdGlobalName : "")) {
      delete *it;
      commands_.erase(it);
      return Acad::eOk;
    }
  }
  return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(const char* groupName) {
  if (isBlank(groupName)) return Acad::eInvalidInput;
  auto inGroup = [&](const AcEdCommand* c) { return cadhost::equalsNoCase(c->group_, groupName); };
  auto firstRemoved =
      std::stable_partition(commands_.begin(), commands_.end(), [&](const AcEdCommand* c) { return !inGroup(c); });
  if (firstRemoved == commands_.end()) return Acad::eKeyNotFound;
  for (auto it = firstRemoved; it != commands_.end(); ++it) delete *it;
  commands_.erase(firstRemoved, commands_.end());
  return Acad::eOk;
}

std::vector<const AcEdCommand*> AcEdCommandStack::commandsOfGroup(const char* groupName) const {
  std::vector<const AcEdCommand*> result;
  for (const AcEdCommand* command : commands_)
    if (cadhost::equalsNoCase(command->group_, groupName ? groupName : "")) result.push_back(command);
  return result;
}

AcEdCommandStack* acedRegCmdsPtr() {
  static AcEdCommandStack* stack = [] {
    auto* created = new AcEdCommandStack();  // lives for the process, as the registry entry
    acrxSysRegistry()->atPut("ACAD_REGISTERED_COMMANDS", created);
    return created;
  }();
  return stack;
}
