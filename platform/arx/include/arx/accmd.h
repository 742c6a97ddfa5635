// The command stack ("ACAD_REGISTERED_COMMANDS" in the system registry): commands that
// applications register by group, with a global name (the one with a leading "_" in scripts)
// and a local name. Names compare case-insensitively. When two groups register the same name,
// the group registered last wins the lookup (it is on top of the stack).
#pragma once

#include <string>
#include <vector>

#include "arx/rxobject.h"
#include "arx/status.h"

using AcRxFunctionPtr = void (*)();
class AcEdUIContext;

// Command flags (only the modal/transparent distinction changes what the host does).
constexpr int ACRX_CMD_MODAL = 0x00000000;
constexpr int ACRX_CMD_TRANSPARENT = 0x00000001;
constexpr int ACRX_CMD_USEPICKSET = 0x00000002;
constexpr int ACRX_CMD_REDRAW = 0x00000004;
constexpr int ACRX_CMD_NOMULTIPLE = 0x00000008;

class AcEdCommand {
 public:
  const char* groupName() const { return group_.c_str(); }
  const char* globalName() const { return global_.c_str(); }
  const char* localName() const { return local_.c_str(); }
  int commandFlags() const { return flags_; }
  AcRxFunctionPtr functionAddr() const { return function_; }
  int functionCode() const { return functionCode_; }

 private:
  friend class AcEdCommandStack;
  std::string group_, global_, local_;
  int flags_ = 0;
  AcRxFunctionPtr function_ = nullptr;
  AcEdUIContext* uiContext_ = nullptr;
  int functionCode_ = -1;
};

class AcEdCommandStack : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcEdCommandStack);

  // Registers a command. eDuplicateKey when the group already has the global or the local
  // name; eInvalidInput for a missing group, name or function. `hResource` is only recorded.
  Acad::ErrorStatus addCommand(const char* cmdGroupName, const char* cmdGlobalName, const char* cmdLocalName,
                               int commandFlags, AcRxFunctionPtr function, AcEdUIContext* uiContext = nullptr,
                               int fcode = -1, void* hResource = nullptr, AcEdCommand** cmdOut = nullptr);
  // Finds by global name, by local name, or by either (global first); null when absent.
  AcEdCommand* lookupGlobalCmd(const char* globalName) const;
  AcEdCommand* lookupLocalCmd(const char* localName) const;
  AcEdCommand* lookupCmd(const char* name) const;
  Acad::ErrorStatus removeCmd(const char* cmdGroupName, const char* cmdGlobalName);
  // Removes every command of the group; eKeyNotFound when the group has none.
  Acad::ErrorStatus removeGroup(const char* groupName);
  // The commands of a group in registration order (empty when unknown).
  std::vector<const AcEdCommand*> commandsOfGroup(const char* groupName) const;

 private:
  std::vector<AcEdCommand*> commands_;  // registration order; later entries win lookups
};

// The "ACAD_REGISTERED_COMMANDS" entry of the system registry (created on first use).
AcEdCommandStack* acedRegCmdsPtr();
#define acedRegCmds acedRegCmdsPtr()
