// Localised resources and help.
//
// Every dialog, text, engine message and picture comes from the resource library "ZqFEA_<locale>"
// (found under "<Common Directory>\res\"). The module's load step loads it (resLoadResourceModule)
// and hands the result to resSetModuleState; ResourceSetter then switches the MFC module state to
// it around user-interface work; resLoadString and resEngineMessageText read its string and
// message tables. Help goes to the WinHelp file "ZqFEA_<language>.hlp" under
// "<Root Directory>\<CAD name>\Help\", falling back to "ZqFEA_ENU.hlp".
#pragma once
#include <cstdint>

#include "amg/CaeArray.h"
#include "amg/CaeString.h"
#include "mfc/wintypes.h"

// The library's file name (without ".dll", which the loader supplies).
CaeString resResourceModuleName();
// Loads the library; null when it cannot be loaded (the caller falls back to its own image).
HINSTANCE resLoadResourceModule();

// Records the module-wide state at load: the resource module (also the string handle) and the
// MFC resource handle found at that moment.
void resSetModuleState(HINSTANCE resourceModule, HINSTANCE loadTimeHandle);
// Forgets that state (unload, and between tests). Does not free the library.
void resResetModuleState();

// A scoped switch of the MFC module state's resource and instance handles.
class ResourceSetter {
 public:
  // Selector 1: both handles become the resource module; any other: the load-time handle.
  explicit ResourceSetter(int selector);
  // Puts back the handles found at construction.
  ~ResourceSetter();
  ResourceSetter(const ResourceSetter&) = delete;
  ResourceSetter& operator=(const ResourceSetter&) = delete;

  // Puts back the handles found at construction (what the destructor does).
  void Restore();
  // Live ResourceSetter objects.
  static int NestingCount();
  static HINSTANCE ResourceModule();
  // Sets only the resource handle to the resource module; answers the previous one.
  static HINSTANCE UseResourceModule();
  static void SetResourceHandle(HINSTANCE handle);

 private:
  HINSTANCE savedResource_;
  HINSTANCE savedInstance_;
};

// The string-table text of `id` (at most 255 characters; empty when the id is missing), put in
// `text` and answered.
CaeString& resLoadString(CaeString& text, unsigned id);
CaeString resLoadString(unsigned id);

// The engine's message-text override: the message table's text of `code` with the arguments
// inserted and one trailing "\r\n" removed. Without a table entry: the string-table text of the
// same id when no arguments are given and the code can be a string id (16 bits), else the empty
// text.
CaeString resEngineMessageText(std::uint32_t code, const CaeArray<CaeString>* args);

// The help file's name (the localised file when it exists, else the "ENU" one).
CaeString resHelpFileName();
// Opens the help file with a WinHelp command (1 context, 11 finder) and its data.
void UIShowHelp(DWORD_PTR data, UINT command);
