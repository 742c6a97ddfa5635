// The host's command line: built-in commands, running commands by name, the command loop,
// queued LISP expressions and the host's start and end.
//
// Every document command runs as one undo group of its document's database (except UNDO, U,
// REDO, QSAVE and SAVEAS, which change no drawing content) while its document is locked for
// write, between E commandWillStart(name) and E commandEnded / commandCancelled /
// commandFailed(name). Commands run by acedCommand inside another command are notified the same
// way but belong to the outer command's undo group. NEW, OPEN, DXFIN, CLOSE and QUIT run outside
// any document: no command notifications, no undo group. Registered application commands
// (arx/accmd.h) run by name like built-in ones; built-in names win.
//
// Built-in commands: NEW, OPEN, QSAVE, SAVEAS, CLOSE, QUIT, UNDO, U, REDO, REGENALL, ARXLOAD,
// ARXUNLOAD, DXFOUT, DXFIN, LAYER (New/ON/OFF/List), LIST, UCS (X/Y/Z angle, World), MENULOAD,
// MENUUNLOAD, MENU (the menu bar and its pull-downs; "MENU GROUP LABEL" runs an item's command). CLOSE and QUIT ask
// "Save changes to NAME? [Yes/No/Cancel]" for a drawing with unsaved changes: Yes saves (QSAVE), No discards, Cancel
// keeps it open (and stops QUIT).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace cadhost {

enum class CommandContext { kDocument, kApplication };
// A built-in command's work: RTNORM done, RTCAN cancelled, RTERROR failed.
using HostCommandFunc = std::function<int()>;
void addHostCommand(const std::string& name, CommandContext context, HostCommandFunc work);

// Runs a command by the name typed ("_.UNDO" and "undo" both run UNDO). Unknown names print
// "Unknown command" with the name. RTNORM, RTCAN, or RTERROR.
int runCommand(const std::string& typedName);
// Reads the next line at the command prompt and runs it; false once the input has ended or QUIT
// ran. Blank lines are skipped. Queued LISP expressions run after each command.
bool runNextCommand();
// Runs commands until the input ends or QUIT, then quits.
void runCommandLoop();
bool quitRequested();

// Start-up: the registry entries, the built-in commands and, with `withDrawing`, a new drawing.
void startHost(bool withDrawing);
// Ends the host as QUIT does (message 8, drawings closed, applications unloaded) and resets the
// command line's state (queued input and expressions, menus, support path), so that startHost can
// run again (tests).
void shutdownHost();

// LISP expressions evaluated so far (oldest first), and the ones still waiting.
void runQueuedExpressions();
std::vector<std::string> evaluatedExpressions();
std::vector<std::string> pendingExpressions();
void clearEvaluatedExpressions();

// Folders acedFindFile searches after the current drawing's folder.
void setSupportPath(const std::vector<std::string>& folders);
std::vector<std::string> supportPath();

// Menus as the host holds them (for tests and listing).
std::vector<std::string> loadedMenuGroups();
std::vector<std::string> menuBar();  // pull-down names by position, P1 first
// The items of a loaded pull-down ("caep.pop1"): label (as written, with '&') and the command
// its macro runs; a separator is ("--", ""). Empty for a pull-down no loaded file defines.
std::vector<std::pair<std::string, std::string>> menuItems(const std::string& pulldown);
void resetMenus();

// Work a loaded application still has running (analysis jobs, say), for WAIT without seconds,
// which pumps until every reporter answers 0. An application adds its reporter at load and
// removes it at unload; a reporter may look at its work (poll) before it answers.
using PendingWorkReporter = std::function<int()>;
void addPendingWorkReporter(const std::string& appName, PendingWorkReporter reporter);
void removePendingWorkReporter(const std::string& appName);
// The sum of every reporter's answer (a reporter that throws counts 0 and is reported).
int pendingWork();

}  // namespace cadhost
