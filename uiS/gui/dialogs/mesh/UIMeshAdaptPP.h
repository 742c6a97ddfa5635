// The two pages every mesh sheet builds and never shows: the p-element settings, whose
// construction values are what each mesh made by the sheet receives, and the mesher's switches
// for development.
#pragma once
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class AnlSubModel;

class CMeshAdaptPP : public CPropertyPage {
 public:
  static constexpr int kStartOrder = 3;
  static constexpr int kMaxOrder = 10;
  static constexpr double kErrorTolerance = 10.0;  // percent

  CMeshAdaptPP();
  // The settings of a sub-model's mesh: its element properties 7, 8, 9 when it has p-elements.
  explicit CMeshAdaptPP(AnlSubModel* subModel);

  // Reads the controls back when the page has been shown; false when a value is refused.
  bool SaveIfInitialised();

  BOOL OnInitDialog() override;

  BOOL m_bShown = FALSE;
  int m_nMaxOrder = kMaxOrder;
  int m_nStartOrder = kStartOrder;
  BOOL m_bPElements = FALSE;
  double m_dErrorTolerance = kErrorTolerance;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnPElements();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableOrderControls(bool enabled);
};

// The mesher's development switches, module-wide; kept while "remember" is set.
struct MeshDebugSwitches {
  BOOL remember = TRUE;
  BOOL geometryAssociativity = TRUE;
  BOOL qualityRefinement = FALSE;
  int meshMode = 4;
};
MeshDebugSwitches& UIMeshDebugSwitches();

class CMeshDebug : public CPropertyPage {
 public:
  CMeshDebug();
  BOOL OnInitDialog() override;

  BOOL m_bEnabled = TRUE;
  BOOL m_bShown = FALSE;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};
