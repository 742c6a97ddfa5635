// The module's entry and life cycle: attach and detach (exported, called by the host's loader
// right after loading and right before unloading), the host's application messages
// (acrxEntryPoint), start-up, per-drawing load and shut-down.
//
// Start-up creates, in this order, the CAD interface, the application object (controller,
// custom classes, reactors), one document control per open drawing, the command group "CAEP"
// (the 38 named table commands, then "CAEP_RESET_MENUS" and "CAEP_INSTALL_MENUS") and the
// version record. A start-up that fails undoes all of it and refuses the load. Shut-down
// destroys the controls and the application (reactors, command group and classes go with it),
// the version record and last the CAD interface; CadInterface::GetCurrent is null afterwards.
#pragma once

#include "amg/CaeString.h"

extern "C" {
int acrxModuleAttach();
void acrxModuleDetach();
int acrxEntryPoint(int msg, void* appPkt);
}

// The running program's version record; the drawing's version record is written from it.
struct AcCadVersionInfo {
  AcCadVersionInfo(unsigned short version, const CaeString& build, const CaeString& platform);
  ~AcCadVersionInfo();
  AcCadVersionInfo(const AcCadVersionInfo&) = delete;
  AcCadVersionInfo& operator=(const AcCadVersionInfo&) = delete;

  unsigned short version;
  CaeString buildText;
  CaeString platformText;
};
// The living version record, or null.
AcCadVersionInfo* acCurrentVersionInfo();

// The group every command of the add-in is registered in.
inline constexpr char kAcCommandGroup[] = "CAEP";

// Start-up; false (everything undone) when it failed.
bool acOnInitApp();
// Shut-down; does nothing unless start-up completed.
void acOnUnloadApp();
// Per drawing: the first time registers "TLXARX" and the scene-event reaction; every time adds
// (or refreshes) the Explorer tab of the current drawing.
void acOnLoadDwg();
void acOnUnloadDwg();
// True between a completed start-up and shut-down.
bool acIsInitialised();

// Asks for a point with IDS_CONCENTRATION_POINT_PROMPT; true and `point` set when one was given.
bool acGetPoint(double point[3]);

// Forgets the module-wide flags (host-quitting, first-drawing) and the command dispatcher's and
// reactors' state; for a second load in the same process and for tests.
void acResetModuleState();
