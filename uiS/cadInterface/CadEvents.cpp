#include "cadInterface/CadEvents.h"

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"

namespace {
CadApplication& requireApplication() {
  CadApplication* application = CadGetApplication();
  CAE_CHECK(application != nullptr);
  return *application;
}
}  // namespace

void CadEvents::DocumentReactivated(void* document) {
  CadApplication& application = requireApplication();
  application.MakeDocumentCurrent(document);
  application.OnDocumentActivated(document);
}

void CadEvents::DocumentBecameCurrent(void* document, const char* /*name*/) {
  CadApplication& application = requireApplication();
  application.MakeDocumentCurrent(document);
  application.OnDocumentBecameCurrent(document);
}

void CadEvents::DocumentActivated(void* document, void* token) {
  CadApplication& application = requireApplication();
  application.SetCurrentDocControl(nullptr);
  if (!token) token = application.DocumentToken(document);
  if (application.IsDocumentUsable(token))
    DocumentBecameCurrent(document, "");
  else
    application.NotifyDocumentAvailable(0);
}

void CadEvents::ApplicationUnloading() {
  CadApplication& application = requireApplication();
  application.OnApplicationUnloading();
  CadSetApplication(nullptr);
}

void CadEvents::DocumentDestroyed(CadDocControl* control) {
  if (!control) return;
  requireApplication().RemoveDocControl(control);
  delete control;
}

int CadEvents::DrawingSaved(CadDocControl* control, const char* path) {
  return control ? control->DrawingSaved(path) : 0;
}

int CadEvents::DrawingOpened(CadDocControl* control, const char* path) {
  return control ? control->DrawingOpened(path) : 0;
}
