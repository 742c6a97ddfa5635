// One control and one data object per open drawing.
//
// CadDocData holds what the engine must see as current while its drawing is active: the host
// unit system, the analysis control and the results display, plus the guide's remembered state.
// Activate makes them current in one step; Deactivate takes them back. Destroying the data of a
// drawing that is not active never unsets the active drawing's objects: only objects that are
// current and its own are unset, always before they are deleted.
//
// CadDocControl owns its data and knows its host document (an opaque handle here; the host side
// knows its type). The host side derives both (AcCadDocControl, AcCadDocData).
#pragma once

#include "cadInterface/CadInterface.h"
#include "cadInterface/CadUiServices.h"

class AnlControl;
class CaeUnitSystem;
class FerDisplay;

class CadDocData {
 public:
  // A default CadUnitSystem (SI), made the engine's host system; no analysis control, no display.
  CadDocData();
  CadDocData(const CadDocData&) = delete;
  CadDocData& operator=(const CadDocData&) = delete;
  // Deletes the unit system and the display, tells the analysis control that the drawing closes
  // and deletes it; each is unset first when it is the engine's current one.
  virtual ~CadDocData();
  // The unit system, analysis control and display become current; the current control's display
  // flags are asked and the results image refreshed when results are shown.
  virtual void Activate();
  // The analysis control and the display stop being current (only when they are this drawing's).
  virtual void Deactivate();

  // Takes ownership of a non-null `system` and makes it the engine's host system. Answers the
  // system it replaces, which this object gives up without freeing: the caller (the CAD
  // interface) owns it from then on and frees it. Null is ignored, and null or the system already
  // held answers null.
  [[nodiscard]] CaeUnitSystem* SetHostUnitSystem(CaeUnitSystem* system);
  CaeUnitSystem* HostUnitSystem() const { return hostUnits_; }
  // Takes ownership of `control` (the previous one is deleted as the destructor would).
  void SetAnlControl(AnlControl* control);
  AnlControl* GetAnlControl() const { return anlControl_; }
  // Takes ownership of `display` and makes it current; answers the display current before.
  FerDisplay* SetDisplay(FerDisplay* display);
  FerDisplay* Display() const { return display_; }
  GuideDocState& GuideState() { return guideState_; }

 private:
  void ReleaseAnlControl();

  CaeUnitSystem* hostUnits_ = nullptr;
  AnlControl* anlControl_ = nullptr;
  GuideDocState guideState_;
  FerDisplay* display_ = nullptr;
};

class CadDocControl {
 public:
  // A control for `document` (may be null) without data.
  explicit CadDocControl(void* document = nullptr);
  CadDocControl(const CadDocControl&) = delete;
  CadDocControl& operator=(const CadDocControl&) = delete;
  virtual ~CadDocControl();  // deletes the data

  // Takes ownership of `data` (the previous data is deleted).
  virtual void SetData(CadDocData* data);
  virtual CadDocData* GetData();
  virtual void* GetDocument();
  // A hook that may change the display flags; empty here.
  virtual void GetSymbolVisibility(SymbolVisibility& flags);
  // Path notifications; 1 here. The host side names the analysis control after the file.
  virtual int DrawingSaved(const char* path);
  virtual int DrawingOpened(const char* path);
  virtual void ActivateData();    // the data's Activate, when there is data
  virtual void DeactivateData();  // the data's Deactivate, when there is data

 private:
  CadDocData* data_ = nullptr;
  void* document_ = nullptr;
};
