#include "gui/dialogs/units/UISetupPS.h"

#include "amg/CaeString.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "res/ResourceIds.h"

int UISetupActivePage = 0;

CSetupPS::CSetupPS(const char* caption, CWnd* parent, UINT selectPage) : CGenericPS(caption, parent, selectPage) {
  AddPage(&m_pageMaterial);
  AddPage(&m_pageUnits);
  CaeString name;
  double origin[3] = {};
  double rotation[3] = {};
  double size = 0;
  int colour = 0;
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad && cad->GetLocalCoordSys(name, origin, rotation, &size, &colour)) {
    AddPage(&m_pageDisplay);
    AddPage(&m_pageLocalCSys);
  }
  m_bApplied = FALSE;
}

BOOL CSetupPS::OnInitDialog() {
  const BOOL result = CGenericPS::OnInitDialog();
  if (UISetupActivePage > 0 && UISetupActivePage < GetPageCount()) SetActivePage(UISetupActivePage);
  return result;
}

bool CSetupPS::ValidateShownPages() {
  // The active page first: only it can hold a text its leaving would have refused.
  CPropertyPage* active = GetActivePage();
  if (active && active->m_hWnd && !active->UpdateData(TRUE)) return false;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* page = GetPage(i);
    if (page == active || !page->m_hWnd) continue;
    if (!page->UpdateData(TRUE)) {
      SetActivePage(i);
      return false;
    }
  }
  return true;
}

bool CSetupPS::ApplyPages() {
  if (!ValidateShownPages()) return false;
  // Edits pending on the Materials page were typed in the units shown now: they are stored before
  // a new unit system could make them mean something else. A refusal applies nothing.
  if (m_pageMaterial.HasPendingEdits() && GetActivePage() != &m_pageMaterial) {
    // Its activation commits them, and says why when it cannot.
    SetActivePage(&m_pageMaterial);
    if (m_pageMaterial.HasPendingEdits()) return false;
  } else if (!m_pageMaterial.CommitMaterial()) {
    return false;
  }
  bool ok = m_pageUnits.Apply() != 0;
  ok = m_pageMaterial.Apply() != 0 && ok;
  const bool localOk = m_pageLocalCSys.Apply() != 0;
  ok = localOk && ok;
  ok = m_pageDisplay.Apply() != 0 && ok;
  if (localOk && GetPageIndex(&m_pageLocalCSys) >= 0) m_pageLocalCSys.Load();
  return ok;
}

bool CSetupPS::AnyPageChanged() const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (GetPage(i)->IsModified()) return true;
  return m_pageMaterial.HasPendingEdits() != 0;
}

BOOL CSetupPS::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int command = LOWORD(wParam);
  if (HIWORD(wParam) != BN_CLICKED || (command != IDOK && command != ID_APPLY_NOW && command != IDCANCEL))
    return CGenericPS::OnCommand(wParam, lParam);
  if (command == ID_APPLY_NOW) {
    if (ApplyPages()) {
      if (CPropertyPage* page = GetActivePage()) page->CancelToClose();
      m_bApplied = TRUE;
    }
    return TRUE;
  }
  UISetupActivePage = GetActiveIndex();
  if (command == IDOK && !(m_bApplied && !AnyPageChanged()) && !ApplyPages()) return TRUE;
  return CGenericPS::OnCommand(wParam, lParam);
}

int UICmdSetupTab() {
  const CaeString caption = resLoadString(IDS_OPTIONS_CAPTION);
  CSetupPS sheet(caption.c_str(), nullptr, 0);
  sheet.DoModal();
  return 0;
}
