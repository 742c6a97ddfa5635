// The "Heat Transfer" page of the attribute sheet: type, name, the environment's value and, for
// a convection or a volumetric heat flow, a constant or temperature-dependent film coefficient
// or heat generation (a graph of native values against native temperatures).
#pragma once

#include <memory>

#include "amg/CaeGraph.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CAttPS;

class CAttHeatPP : public CPropertyPage {
 public:
  CAttHeatPP();

  void UpdateControls();
  // Sets a title static's text and makes the static as wide as the text; the new width.
  int SetTitleText(int titleId, const CString& text);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bNameEdited = FALSE;
  std::unique_ptr<CaeGraph> m_pFilmGraph;
  std::unique_ptr<CaeGraph> m_pHeatGenGraph;
  double m_dValue = 0.0;
  int m_bTempDependent = 0;  // radio: 0 constant, 1 temperature dependent
  double m_dConstantValue = 0.0;
  int m_nType = 0;
  CString m_strName;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnTypeChange();
  void OnTable();
  void OnNameKillFocus() { m_bNameEdited = TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  CAttPS* AttSheet() const;
  int Category() const;
  void UpdateGeometry(int category);
  void UpdateGroups(int category);
  void UpdateTexts(int category);
};
