#include "cadInterface/CadDocControl.h"

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AnlControl.h"
#include "fea/FerState.h"

CadDocData::CadDocData() : hostUnits_(new CadUnitSystem()) { CaeUnitSystem::SetHostSystem(hostUnits_); }

CadDocData::~CadDocData() {
  if (CaeUnitSystem::GetHostSystem() == hostUnits_) CaeUnitSystem::SetHostSystem(nullptr);
  delete hostUnits_;
  if (display_) {
    FerDisplay::UnSetCurrent(display_);
    delete display_;
  }
  ReleaseAnlControl();
}

void CadDocData::ReleaseAnlControl() {
  if (!anlControl_) return;
  anlControl_->OnExit();
  // The engine's control unsets itself when it is current; another drawing's stays current.
  delete anlControl_;
  anlControl_ = nullptr;
}

void CadDocData::Activate() {
  if (hostUnits_) CaeUnitSystem::SetHostSystem(hostUnits_);
  if (anlControl_) anlControl_->SetCurrent();
  if (display_) FerDisplay::SetCurrent(display_);
  SymbolVisibility flags;
  if (CadDocControl* current = CadCurrentDocControl()) current->GetSymbolVisibility(flags);
  if (flags.results) {
    FerState* state = FerState::GetState();
    CAE_CHECK(state != nullptr);
    state->UpdateImage();
  }
  UIRestoreWizardState(guideState_);
}

void CadDocData::Deactivate() {
  if (anlControl_ && AnlControl::GetCurrent() == anlControl_) AnlControl::UnsetCurrent();
  if (display_) FerDisplay::UnSetCurrent(display_);
  UISaveWizardState(guideState_);
}

CaeUnitSystem* CadDocData::SetHostUnitSystem(CaeUnitSystem* system) {
  if (!system) return nullptr;
  CaeUnitSystem::SetHostSystem(system);
  // Handed back to the caller, which frees it.
  CaeUnitSystem* replaced = hostUnits_ == system ? nullptr : hostUnits_;
  hostUnits_ = system;
  return replaced;
}

void CadDocData::SetAnlControl(AnlControl* control) {
  if (control == anlControl_) return;
  ReleaseAnlControl();
  anlControl_ = control;
}

FerDisplay* CadDocData::SetDisplay(FerDisplay* display) {
  if (display_ && display_ != display) {
    FerDisplay::UnSetCurrent(display_);
    delete display_;
  }
  display_ = display;
  FerDisplay* previous = FerDisplay::SetCurrent(display);
  UISetupResultsDisplay();
  return previous;
}

CadDocControl::CadDocControl(void* document) : document_(document) {}

CadDocControl::~CadDocControl() { delete data_; }

void CadDocControl::SetData(CadDocData* data) {
  if (data == data_) return;
  delete data_;
  data_ = data;
}

CadDocData* CadDocControl::GetData() { return data_; }
void* CadDocControl::GetDocument() { return document_; }
void CadDocControl::GetSymbolVisibility(SymbolVisibility& /*flags*/) {}
int CadDocControl::DrawingSaved(const char* /*path*/) { return 1; }
int CadDocControl::DrawingOpened(const char* /*path*/) { return 1; }

void CadDocControl::ActivateData() {
  if (data_) data_->Activate();
}

void CadDocControl::DeactivateData() {
  if (data_) data_->Deactivate();
}
