// The solver-option pages of the simulation-parameter sheet: "Options" (output requests,
// h-adaptivity, temperature convergence and the assembly tolerance), and "Adaptivity" and
// "Temperature", which the sheet makes but does not show (their settings are on Options).
#pragma once
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class AnlModel;

class CSubmitOutputPP : public CPropertyPage {
 public:
  CSubmitOutputPP();

  // Stores the type and sets the output-request defaults for it (other types only store it).
  void SetAnalysisType(int type);
  // The sheet's output-request word (UIOutputRequest bits) from the check boxes.
  unsigned RequestWord() const;

  BOOL OnInitDialog() override;
  BOOL OnKillActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  int m_nAnalysisType = 0;
  BOOL m_bElementForces = FALSE;
  BOOL m_bDisplacements = TRUE;
  BOOL m_bFlux = FALSE;
  BOOL m_bAppliedLoads = FALSE;
  BOOL m_bReactionForces = FALSE;
  BOOL m_bStrain = FALSE;
  BOOL m_bStrainEnergy = FALSE;
  BOOL m_bStress = FALSE;
  BOOL m_bTemperature = FALSE;
  BOOL m_bUseHAdaptivity = FALSE;
  int m_nMaxIterations = 10;
  double m_dTargetError = 10.0;
  double m_dMateTolerance = 0.0001;
  double m_dTempConvergence = 0.1;

 protected:
  void OnUseAdaptivity();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableAdaptivity();
};

class CSubmitAdaptivityPP : public CPropertyPage {
 public:
  CSubmitAdaptivityPP();
  explicit CSubmitAdaptivityPP(AnlModel* model);

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  BOOL m_bUseHAdaptivity = FALSE;
  int m_nMaxIterations = 10;
  double m_dTargetError = 10.0;

 protected:
  void OnUseAdaptivity();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableAdaptivity();
};

class CSubmitTemperaturePP : public CPropertyPage {
 public:
  CSubmitTemperaturePP();

  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

  double m_dTempConvergence = 0.1;
};
