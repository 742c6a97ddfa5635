// The application controller and the engine hooks.
//
// CadAppControl is made once at start-up (the host side makes an AcCadAppControl) and destroyed
// at unload; for exactly that time it owns the unit-name table, the native unit system, the
// condition descriptor table and the material-library path, and has the engine's hooks installed:
// message-text override, message routine, interrupt object, progress function, results state.
// CadGetAppControl answers the living controller, or null.
//
// Also here: the message routine and its levels, the message boxes (caption "Kestrum Inside",
// task-modal without an owner), the wait cursor and the small queries about the current
// analysis objects.
#pragma once
#include <memory>

#include "amg/CaeInterupt.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"
#include "fea/AttLbcDescript.h"
#include "fea/FerState.h"
#include "mfc/cstring.h"
#include "mfc/wintypes.h"

class AnlControl;

// The native unit system the controller installs.
class CadUnitSystem : public CaeUnitSystem {
 public:
  using CaeUnitSystem::CaeUnitSystem;
  ~CadUnitSystem() override;
};

// The interrupt object the engine polls and the progress dialog's Cancel sets.
class CadInterupt : public CaeInterupt {
 public:
  ~CadInterupt() override;
};

class CadFerState : public FerState {
 public:
  ~CadFerState() override;
};

class CadFerInterface : public CaeFerInterface {
 public:
  ~CadFerInterface() override;
};

class CadAppControl {
 public:
  // Builds the tables and installs the hooks; becomes the controller CadGetAppControl answers.
  // The resource library should be set (texts of the unit names come from it).
  CadAppControl();
  CadAppControl(const CadAppControl&) = delete;
  CadAppControl& operator=(const CadAppControl&) = delete;
  // Releases the tables, closes the current results display, frees the print settings, deletes
  // the results state and its interface, destroys the guide sheet and deletes the interrupt.
  // Removes the hooks it installed. A missing results state is a consistency check.
  virtual ~CadAppControl();

  // The descriptor of a condition type code, or null.
  const AttLbcDescript* FindLbcDescript(int conditionType) const;
  const CaeString& MaterialLibraryPath() const { return materialLibraryPath_; }
  void SetMaterialLibraryPath(const CaeString& path) { materialLibraryPath_ = path; }

  CaeUnitStrTable* UnitNames() const { return unitNames_.get(); }
  CadUnitSystem* NativeSystem() const { return nativeSystem_; }

 private:
  void FillUnitNames();
  void InstallNativeSystem();
  void InstallEngineHooks();
  void ReleaseResultsState();

  CadUnitSystem* nativeSystem_ = nullptr;  // installed as the engine's native system
  std::unique_ptr<CaeUnitStrTable> unitNames_;
  std::unique_ptr<AttLbcDescriptTable> descriptors_;
  CaeString materialLibraryPath_;
};

// The living controller, or null.
CadAppControl* CadGetAppControl();

// "<Root Directory>\zq_fea.mat": the library path used when nothing better is configured.
CaeString CadDefaultMaterialLibraryPath();

// The engine's message routine: level 2 an error box, level 1 a warning box (both only for a
// non-empty text), any other level the command line (CadInterface::PrintMessage, empty texts too).
void CadEngineMessageRoutine(int level, const CaeString& text);

// Message boxes with the product caption (IDS_PRODUCT_NAME). Without an owner MB_TASKMODAL is added.
// Each answers the button id. CadMessageBoxId loads its text through MFC's current resource handle.
int CadMessageBox(HWND owner, const char* text, UINT type);
int CadMessageBoxText(const char* text, UINT type);
int CadMessageBoxId(UINT stringId, UINT type, HWND owner = nullptr);

// The application's wait cursor for the lifetime of the object; nests like MFC's.
class CadWaitCursor {
 public:
  CadWaitCursor();
  ~CadWaitCursor();
  CadWaitCursor(const CadWaitCursor&) = delete;
  CadWaitCursor& operator=(const CadWaitCursor&) = delete;

 private:
  struct Guard;
  std::unique_ptr<Guard> guard_;
};

// Removes the first "&" in place and answers its position; -1, text unchanged, without one.
int CadStripAmpersand(CString& text);

// Queries on the current analysis control; false / 0 / null without one.
AnlControl* CadCurrentAnlControl();
bool CadHasCurrentModel();
bool CadHasCurrentResultSet();
bool CadHasCurrentLoadCase();
bool CadHasCurrentRestraintCase();
// Result sets of the current model not marked erased.
int CadCountResultSets();
