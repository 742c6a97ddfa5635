#include "cadInterface/CadApplication.h"

#include <algorithm>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadUiServices.h"

namespace {
CadApplication* applicationInstance = nullptr;
}

CadApplication* CadGetApplication() { return applicationInstance; }
void CadSetApplication(CadApplication* application) { applicationInstance = application; }

CadDocControl* CadCurrentDocControl() {
  return applicationInstance ? applicationInstance->CurrentDocControl() : nullptr;
}

CadDocData* CadCurrentDocData() {
  CadDocControl* control = CadCurrentDocControl();
  return control ? control->GetData() : nullptr;
}

CadApplication::CadApplication() = default;

CadApplication::~CadApplication() {
  current_ = nullptr;
  for (CadDocControl* control : controls_) delete control;
  controls_.clear();
  delete appControl_;
  if (applicationInstance == this) applicationInstance = nullptr;
}

CadDocControl* CadApplication::CreateDocControl(void* /*document*/) { return new CadDocControl(); }
void* CadApplication::DocumentToken(void* /*document*/) { return nullptr; }
bool CadApplication::IsDocumentUsable(void* /*token*/) { return false; }

void* CadApplication::CurrentDocument() { return current_ ? current_->GetDocument() : nullptr; }

void CadApplication::RemoveDocControl(CadDocControl* control) {
  controls_.remove(control);
  if (current_ == control) current_ = nullptr;
  if (controls_.empty()) {
    UIShowWizardSheet(0);
    NotifyDocumentAvailable(0);
  }
}

void CadApplication::AddDocControl(CadDocControl* control) { controls_.push_back(control); }
void CadApplication::NotifyDocumentAvailable(int /*flag*/) {}
void CadApplication::NotifyDocumentActivated(int /*flag*/) {}
void CadApplication::OnDocumentActivated(void* /*document*/) {}
void CadApplication::OnDocumentBecameCurrent(void* /*document*/) {}

void CadApplication::OnApplicationUnloading() {
  while (!controls_.empty()) {
    CadDocControl* control = controls_.front();
    RemoveDocControl(control);
    delete control;
  }
}

void CadApplication::SetCurrentDocControl(CadDocControl* control) {
  if (control == current_) return;
  if (current_) current_->DeactivateData();
  current_ = control;
  if (current_) current_->ActivateData();
}

CadDocControl* CadApplication::FindDocControl(void* document) const {
  auto found = std::find_if(controls_.begin(), controls_.end(),
                            [document](CadDocControl* control) { return control->GetDocument() == document; });
  return found == controls_.end() ? nullptr : *found;
}

CadDocControl* CadApplication::ActivateDocument(void* document) {
  if (!document) document = CurrentDocument();
  if (!document) return nullptr;
  if (!IsDocumentUsable(DocumentToken(document))) {
    SetCurrentDocControl(nullptr);
    NotifyDocumentAvailable(0);
    return nullptr;
  }
  NotifyDocumentAvailable(1);
  CadDocControl* control = FindDocControl(document);
  if (!control) {
    control = CreateDocControl(document);
    AddDocControl(control);
  }
  SetCurrentDocControl(control);
  UIResetWizardSteps(0);
  NotifyDocumentActivated(1);
  return control;
}

void CadApplication::MakeDocumentCurrent(void* document) {
  if (!document) document = CurrentDocument();
  CAE_CHECK(document != nullptr);
  SetCurrentDocControl(FindDocControl(document));
}

void CadApplication::SetAppControl(CadAppControl* control) {
  if (control == appControl_) return;
  delete appControl_;
  appControl_ = control;
}
