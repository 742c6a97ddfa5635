// The options sheet of "CAEP_SETUP_TAB": the Materials and Units pages, and with a host that has
// local coordinate systems the Display and Local Coordinate System pages.
//
// OK and Apply Now first validate every shown page (a text that is not a number: the platform's
// message, that page active, nothing applied), then commit the Materials page's pending edits in
// the units they were typed in, then apply Units, Materials, Local Coordinate System and Display.
// Any refusal keeps the sheet open with its edits. OK after a successful Apply Now applies only
// what changed since; an unchanged sheet just closes.
#pragma once
#include "gui/dialogs/units/UIDisplayPP.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UILocalCSysPP.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/dialogs/units/UIUnitsDlg.h"

// The page the sheet showed when it last received a command other than Apply Now; the next
// opening starts there. Module-wide, never filed.
extern int UISetupActivePage;

class CSetupPS : public CGenericPS {
 public:
  CSetupPS(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
  // The pages are members: they leave the sheet before they are destroyed.

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  CMaterialPP m_pageMaterial;
  CUnitsDlgPP m_pageUnits;
  CLocalCSysPP m_pageLocalCSys;
  CDisplayPP m_pageDisplay;
  BOOL m_bApplied = FALSE;

 private:
  // Every shown page's values read; false (that page active) when one is refused.
  bool ValidateShownPages();
  // Runs the pages' applies; false when any refused.
  bool ApplyPages();
  bool AnyPageChanged() const;
};

// "CAEP_SETUP_TAB": runs the options sheet; answers 0.
int UICmdSetupTab();
