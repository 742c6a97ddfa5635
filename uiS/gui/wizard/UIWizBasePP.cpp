#include "gui/wizard/UIWizBasePP.h"

#include <cstring>

#include "cadInterface/CadResources.h"
#include "mfc/global_memory.h"

namespace {
bool useTemplateCopy = false;
}

void CWizBasePP::SetUseTemplateCopy(bool useCopy) { useTemplateCopy = useCopy; }
bool CWizBasePP::UsesTemplateCopy() { return useTemplateCopy; }

CWizBasePP::CWizBasePP(UINT templateId) : templateId_(templateId & 0xFFFF) { LoadTemplate(); }

CWizBasePP::~CWizBasePP() { FreeTemplateCopy(); }

int CWizBasePP::LoadTemplate() {
  FreeTemplateCopy();
  // The localised library, not the module MFC has current: a page made while the add-in's own
  // module is current must still show the localised texts.
  const HINSTANCE module = ResourceSetter::ResourceModule();
  if (!module) return 0;
  const HRSRC found = FindResource(module, MAKEINTRESOURCE(templateId_), RT_DIALOG);
  if (!found) return 0;
  const HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (!bytes || size == 0) return 0;
  templateCopy_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  void* copy = templateCopy_ ? GlobalLock(templateCopy_) : nullptr;
  if (!copy) {
    FreeTemplateCopy();
    return 0;
  }
  std::memcpy(copy, bytes, size);
  if (!InitModalIndirect(copy)) {
    FreeTemplateCopy();
    return 0;
  }
  m_psp.dwFlags |= PSP_DLGINDIRECT;
  m_psp.pResource = copy;
  return 1;
}

void CWizBasePP::FreeTemplateCopy() {
  if (!templateCopy_) return;
  if (m_psp.pResource) {
    m_psp.dwFlags &= ~static_cast<DWORD>(PSP_DLGINDIRECT);
    m_psp.pResource = nullptr;
  }
  // A handle the platform no longer knows is left alone (a page whose load failed part way).
  if (GlobalFlags(templateCopy_) != GMEM_INVALID_HANDLE) {
    GlobalUnlock(templateCopy_);
    GlobalFree(templateCopy_);
  }
  templateCopy_ = nullptr;
}

BOOL CWizBasePP::OnSetActive() { return m_hWnd ? CPropertyPage::OnSetActive() : FALSE; }
