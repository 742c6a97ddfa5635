// The "Input" page of the solve sheets (and its wizard form "Simulation Identification"): the
// Explorer tree in which the result sets to be solved are built from load and restraint sets.
#pragma once
#include "gui/explorer/CExpTreeCtl.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class CSubmitOverviewPP : public CPropertyPage {
 public:
  explicit CSubmitOverviewPP(UINT templateId = IDD_SUBMIT_INPUT);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  int m_nTemplateId;
  BOOL m_bOptimization = FALSE;
  int m_bSelect = 0;  // -1 once the page is initialised
  // The tree; its committed result cases (ResultCases) are the sheet owner's to take.
  CExpTreeCtl m_tree;
};
