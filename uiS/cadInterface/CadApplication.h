// The application object: the list of document controls and the current one.
//
// One instance lives from start-up to unload (the host side makes an AcCadApplication and
// registers it with CadSetApplication). It owns the application controller and every document
// control. Making a control current deactivates the previous control's data and activates the
// new one's, so the engine's current objects always belong to the current drawing.
//
// The virtual operations are the points where a CAD host differs; the base answers as a host
// without documents would.
#pragma once

#include <list>

class CadAppControl;
class CadDocControl;

class CadApplication {
 public:
  CadApplication();
  CadApplication(const CadApplication&) = delete;
  CadApplication& operator=(const CadApplication&) = delete;
  // Deletes the application controller and every control still listed.
  virtual ~CadApplication();

  // A new control for `document` (base: a control without document or data).
  virtual CadDocControl* CreateDocControl(void* document);
  virtual void* DocumentToken(void* document);  // base: null
  virtual bool IsDocumentUsable(void* token);   // base: false
  // The host's current document; the base answers the current control's document (or null).
  virtual void* CurrentDocument();
  // Takes `control` off the list (the caller deletes it); clears the current control when it was
  // that one; with the list empty, hides the guide and says no document is available.
  virtual void RemoveDocControl(CadDocControl* control);
  virtual void AddDocControl(CadDocControl* control);
  virtual void NotifyDocumentAvailable(int flag);
  virtual void NotifyDocumentActivated(int flag);
  virtual void OnDocumentActivated(void* document);
  virtual void OnDocumentBecameCurrent(void* document);
  // Removes and deletes every control; the caller then deletes the application.
  virtual void OnApplicationUnloading();

  // No effect when `control` is current already; else the previous control's data is
  // deactivated and the new one's activated (null: none current).
  void SetCurrentDocControl(CadDocControl* control);
  CadDocControl* CurrentDocControl() const { return current_; }
  // The first control in list order whose document is `document`, or null.
  CadDocControl* FindDocControl(void* document) const;
  // Makes `document` (the current document when null) the active one, creating its control when
  // it has none; answers the control, or null when there is no usable document.
  CadDocControl* ActivateDocument(void* document);
  // Makes the control of `document` (the current document when null; none is a consistency
  // check) current; null when it has no control.
  void MakeDocumentCurrent(void* document);

  void SetAppControl(CadAppControl* control);
  CadAppControl* AppControl() const { return appControl_; }
  const std::list<CadDocControl*>& DocControls() const { return controls_; }

 private:
  CadDocControl* current_ = nullptr;
  CadAppControl* appControl_ = nullptr;
  std::list<CadDocControl*> controls_;
};

// The application instance, or null.
CadApplication* CadGetApplication();
void CadSetApplication(CadApplication* application);

// The current document control of the application instance, or null.
CadDocControl* CadCurrentDocControl();
// The current control's data, or null.
class CadDocData;
CadDocData* CadCurrentDocData();
