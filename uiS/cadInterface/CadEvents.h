// CadEvents: the CAD-neutral entry points through which host events reach the application.
// Every event except those taking a null control needs the application instance (else a
// consistency check).
#pragma once

class CadDocControl;

class CadEvents {
 public:
  // The document was activated again: its control becomes current, then OnDocumentActivated.
  static void DocumentReactivated(void* document);
  // The document became current: its control becomes current, then OnDocumentBecameCurrent.
  static void DocumentBecameCurrent(void* document, const char* name);
  // A document was activated: no control is current until the document, when usable, becomes
  // current; an unusable one only tells that no document is available.
  static void DocumentActivated(void* document, void* token);
  // The application unloads: every control is removed and deleted, then the application itself;
  // the application instance is cleared.
  static void ApplicationUnloading();
  // The control's document is destroyed: the control is removed and deleted. Null does nothing.
  static void DocumentDestroyed(CadDocControl* control);
  // Path notifications to the control; 0 for a null control.
  static int DrawingSaved(CadDocControl* control, const char* path);
  static int DrawingOpened(CadDocControl* control, const char* path);
};
