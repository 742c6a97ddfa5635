// The host editor: the editor reactor, the command line's input functions, acedCommand,
// queued LISP expressions, menus, system variables, the UCS and the main window.
//
// Input comes from the host's input queue (arx/hostinput.h): typed text,
// points, picks and ESC. Every get-function returns RTNORM with a value, RTNONE for an empty
// answer (Enter), RTCAN for ESC or when the input has ended, and re-asks after printing a short
// reason when the answer does not fit ("Requires an integer value.").
#pragma once

#include <cstddef>

#include "arx/adscodes.h"
#include "arx/rxobject.h"

class AcDbDatabase;

// Notified of editor events, always on the host thread and in the orders written down in
// arx/acdocman.h. An exception thrown by a notification is caught and reported by the host.
// Virtual operations are in a fixed order.
class AcEditorReactor {
 public:
  virtual ~AcEditorReactor() = default;
  virtual void commandWillStart(const char* /*cmdStr*/) {}
  virtual void commandEnded(const char* /*cmdStr*/) {}
  virtual void commandCancelled(const char* /*cmdStr*/) {}
  virtual void commandFailed(const char* /*cmdStr*/) {}
  virtual void lispWillStart(const char* /*firstLine*/) {}
  virtual void lispEnded() {}
  virtual void lispCancelled() {}
  virtual void databaseConstructed(AcDbDatabase* /*db*/) {}
  virtual void databaseToBeDestroyed(AcDbDatabase* /*db*/) {}
  virtual void dwgFileOpened(AcDbDatabase* /*db*/, const char* /*fileName*/) {}
  virtual void initialDwgFileOpenComplete(AcDbDatabase* /*db*/) {}
  virtual void beginSave(AcDbDatabase* /*db*/, const char* /*intendedName*/) {}
  virtual void saveComplete(AcDbDatabase* /*db*/, const char* /*actualName*/) {}
  virtual void abortSave(AcDbDatabase* /*db*/) {}
  // The drawing of `db` is about to close.
  virtual void beginClose(AcDbDatabase* /*db*/) {}
};

class AcEditor : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcEditor);
  // Adding a reactor twice has no effect; removing one that is absent neither.
  void addReactor(AcEditorReactor* reactor);
  void removeReactor(AcEditorReactor* reactor);
  bool hasReactor(const AcEditorReactor* reactor) const;
};

// The "AcEditor" entry of the system registry (created on first use).
AcEditor* acedEditorPtr();
#define acedEditor acedEditorPtr()

// ---- command-line input ----
int acedGetPoint(const ads_point basePoint, const char* prompt, ads_point result);
int acedGetInt(const char* prompt, int* result);
int acedGetReal(const char* prompt, ads_real* result);
// With `cronly` zero a blank ends the answer like Enter; the host's input is already split into
// answers, so both forms return the whole answer. The three-argument form writes at most 132
// characters and the terminator; a longer answer is refused with RTERROR (nothing written).
int acedGetString(int cronly, const char* prompt, char* result);
int acedGetString(int cronly, const char* prompt, char* result, std::size_t bufferSize);

// Runs a host or registered command at once, inside the calling command: pairs of a type and a
// value (RTSTR char*, RTREAL double, RTSHORT int, RTLONG int, RTPOINT/RT3DPOINT const double*),
// ended by RTNONE or 0. The first string is the command name ("_." and "_" prefixes are
// ignored); the other values answer the command's prompts in order. RTNORM when the command
// ran, RTCAN when it was cancelled, RTERROR for an unknown command or a bad list.
int acedCommand(int rtype, ...);

// Transforms a point (or a displacement when `disp` is non-zero) between coordinate systems
// given as RTSHORT result buffers: 0 world (WCS), 1 the current UCS. RTERROR for other systems.
int acedTrans(const ads_point point, const resbuf* from, const resbuf* to, int disp, ads_point result);

// Queues a LISP expression that the host evaluates when the command line is next idle (after the
// running command). The host understands (command "<name>" "<arg>"...), which runs a command, and
// (menucmd "<text>"), as acedMenuCmd. Anything else is reported and skipped. RTNORM when queued.
int ads_queueexpr(const char* expression);

// Finds a file: as given, then in the current drawing's folder, then in each folder of the
// support path (cadhost::setSupportPath; by default the folders in KESTRUM_SUPPORT_PATH, ':'
// separated, and the current folder). RTNORM with the full path, RTERROR when not found or when
// the path does not fit in `resultSize`.
int acedFindFile(const char* fileName, char* result, int resultSize = 4096);

// Menus: menu groups are loaded from ".mnu" files (group name from "***MENUGROUP=NAME"); the menu
// bar is a list of pull-downs "group.popN" at positions P1, P2, ... The host starts with the
// ACAD group on the bar at P1..P11 (acad.pop1 ... acad.pop10, then acad.pop16 last).
bool acedIsMenuGroupLoaded(const char* groupName);
// "Pn=+group.popM" inserts a pull-down of a loaded group at position n (a pull-down already on
// the bar gets another copy there, as the host's own menu bar does); "Ggroup.popM=-" takes it
// (every copy) off the bar; "Pn.i=?" probes position n: RTNORM when no pull-down is there
// (nothing to report), RTERROR when one is; "Ggroup.popM=?" asks whether that pull-down is on the
// bar: RTNORM when it is, RTERROR when not. Other forms: RTERROR.
int acedMenuCmd(const char* text);

// System variables: CMDECHO (RTSHORT, 0 or 1, starts at 1). RTERROR for unknown names or a
// wrong value type.
int acedGetVar(const char* name, resbuf* result);
int acedSetVar(const char* name, const resbuf* value);

// Brings the display up to date (the host counts the calls: cadhost::displayUpdates()).
void acedUpdateDisplay();

// The host's main window. It receives copy-data messages (WM_COPYDATA, 0x4A): with dwData 1 the
// bytes are typed input. Text up to the first NUL is queued as typed lines ("_.UNDO 1\n" runs
// UNDO 1 once the running command is done); the ESC byte (27) cancels whatever input is being
// waited for (a pick, a point) or, when nothing waits, is dropped. The windowing toolkit routes
// its window messages here.
class AcadMainWindow {
 public:
  static constexpr unsigned kWmCopyData = 0x4A;
  // True when the message was understood (dwData 1); other dwData values are ignored.
  bool copyData(unsigned long dwData, const void* data, unsigned long byteCount);
};
AcadMainWindow* adsw_acadMainWnd();
