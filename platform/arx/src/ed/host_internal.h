// Hooks between the host's modules (not part of the public API).
#pragma once

#include <functional>
#include <string>

#include "arx/acdocman.h"
#include "arx/aced.h"

namespace cadhost {

// Calls every registered reactor that is still registered when its turn comes; a reactor that
// throws is reported on the command line and the others still get the notification.
void notifyEditorReactors(const char* what, const std::function<void(AcEditorReactor&)>& call);
void notifyDocReactors(const char* what, const std::function<void(AcApDocManagerReactor&)>& call);

// Runs `work`, reporting an exception from it instead of letting it through.
void guarded(const char* what, const std::function<void()>& work);

// The command and LISP nesting of a document, for isQuiescent.
int& commandDepthOf(AcApDocument* doc);
int lispDepth();
int inputWaitDepth();
void dropPendingExpressions();
// MENULOAD and MENUUNLOAD.
int loadMenuFile(const std::string& name);
int unloadMenuGroup(const std::string& name);
// MENU: lists the menu bar with its pull-downs, or runs the command of one item.
int menuCommand();
// Back to the support path of the environment (tests).
void resetSupportPath();
// The UCS command's work, and forgetting a closed drawing's UCS.
int runUcsCommand();
void forgetUcs(const AcDbDatabase* db);
// Asks the command loop to stop after the running command (QUIT).
void requestQuit();

// Registers PNGOUT and the REGENALL that also redraws the display lists (pngout.cpp).
void registerDrawingCommands();

}  // namespace cadhost
