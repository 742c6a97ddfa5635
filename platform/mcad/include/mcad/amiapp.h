// The part modeller's application services: application registration, event reactions and the
// browser's tab list per drawing.
//
// The part modeller is the module "mcadapi.arx": mcadLoadApiModule() lists it with the dynamic
// linker (the host program does this at start). Its services work whether or not it is listed.
//
// Events: an application registers a reaction (callback and event code) under its application
// id; amiSendEvent calls every reaction for that code, in registration order, with the two keys
// of the event (scene event 110: key 1 is the scene left, key 2 the scene entered; either may be
// null). A callback that throws is reported on the command line; the others still run.
//
// Browser tabs: each drawing has a list of tabs (title, window, page display mode, group). A tab
// given without a document goes to the current drawing. Tabs of a drawing disappear when the
// drawing closes.
#pragma once

#include <string>
#include <vector>

#include "mcad/amikey.h"
#include "mcad/amistatus.h"

class AcApDocument;

using AmiAppId = int;

namespace Ami {
constexpr int kSceneEvent = 110;
}

using AmiEventCallback = void (*)(AmiObject* key1, AmiObject* key2, void* context);

class AmiReactDescrip {
 public:
  // A new reaction description; eBadInput for a null callback (descrip is then null).
  static AmiStatus make(AmiReactDescrip*& descrip, AmiEventCallback callback, int eventCode, void* context = nullptr);
  AmiEventCallback callback() const { return callback_; }
  int eventCode() const { return eventCode_; }
  void* context() const { return context_; }

 private:
  AmiEventCallback callback_ = nullptr;
  int eventCode_ = 0;
  void* context_ = nullptr;
};

// Registers an application name (compared case-insensitively); eAlreadyExists with the same id
// when it was registered before.
AmiStatus amiRegisterApp(const char* appName, AmiAppId& appId);
// Registers a reaction under a registered application; the services keep `descrip`'s contents.
// eNotFound for an unknown application id, eBadInput for a null description.
AmiStatus amiRegisterEventReaction(AmiAppId appId, AmiReactDescrip* descrip);
// Removes every reaction of the application.
AmiStatus amiRemoveEventReactions(AmiAppId appId);
// Host side: delivers an event to the reactions registered for its code; returns how many ran.
int amiSendEvent(int eventCode, AmiObject* key1, AmiObject* key2);

// Adds a tab to a drawing's browser. eBadInput for a null window or empty group, eNoDocument
// when no drawing is open, eAlreadyExists when the window already has a tab in that group.
AmiStatus amiAddBrowserTab(const char* title, void* window, int pageDisplay, AcApDocument* doc, const char* group);
// Removes the window's tab from the group; eNotFound when it has none.
AmiStatus amiRemoveBrowserTab(void* window, AcApDocument* doc, const char* group);

struct AmiBrowserTab {
  std::string title;
  void* window = nullptr;
  int pageDisplay = 0;
  std::string group;
};
// The tabs of a drawing (the current one for null), in the order they were added.
std::vector<AmiBrowserTab> amiBrowserTabs(AcApDocument* doc = nullptr);
// Prints the tab list of the current drawing on the command line (the host's BROWSERTABS).
void amiPrintBrowserTabs();

// Lists "mcadapi.arx" with the dynamic linker and returns true when it is loaded. Its load message
// registers the BROWSERTABS command, the document watch, the part classes (so that drawings with
// parts can be read) and the host commands PART, PARAM, PARTS and KEY (see mcad/amipart.h).
bool mcadLoadApiModule();
// Forgets registrations, reactions and tabs (tests).
void mcadResetServices();
