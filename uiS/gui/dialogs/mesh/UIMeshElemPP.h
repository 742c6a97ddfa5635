// The "Elements" page of the mesh sheet: straight or curved element edges, curvature-based size
// scaling with an angle per element, solid or shell elements, the faces a shell mesh covers and,
// in the small "Shell Element Properties" dialog, the shell thickness.
#pragma once
#include "mfc/afx.h"
#include "mfc/dialog.h"
#include "mfc/propsheet.h"

class CMeshPS;

class CShellPropDlg : public CDialog {
 public:
  static constexpr double kThinnest = 1e-11;
  static constexpr double kThickest = 1e10;
  static constexpr double kSpinStep = 0.02;

  CShellPropDlg();
  BOOL OnInitDialog() override;

  double m_dThickness = 1.0;  // host length unit
  CString m_strUnit;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  // One arrow press: up (a step of 0 or less) adds kSpinStep, down subtracts it. A text that is
  // not a number is left alone.
  void Step(int delta);
};

class CMeshElemPP : public CPropertyPage {
 public:
  enum EdgeShape { kStraight = 0, kCurved = 1 };
  enum ElementType { kSolid = 0, kShell = 1 };
  static constexpr double kLargestAngle = 180.0;

  CMeshElemPP();

  // Reads the controls back when shown; false when a value is refused.
  bool SaveIfInitialised();
  // After a successful Apply Now while active: shown, element types re-evaluated, not modified.
  void MarkInitialised();
  // The shell thickness in native length, and set from one.
  double GetShellThickness() const;
  void SetShellThickness(double nativeThickness);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bExisting = FALSE;
  BOOL m_bShown = FALSE;
  CShellPropDlg m_shellDlg;
  int m_nCurvatureScaling = 0;  // 0 No, 1 Yes
  int m_nEdgeShape = kCurved;
  double m_dAnglePerElement = 90.0;  // host angle unit
  CString m_strAngleUnit;
  int m_nElementType = kSolid;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnScalingNo();
  void OnScalingYes();
  void OnChanged();
  void OnSolid();
  void OnShell();
  void OnChangeView();
  void OnPickFace();
  void OnShellProperties();
  DECLARE_MESSAGE_MAP()

 private:
  CMeshPS* MeshSheet() const;
  void EnableAngle(bool enabled);
  // Which element types may be chosen; the type follows what the geometry or mesh allows.
  void UpdateElementTypes();
  void UpdateTypeControls();
  void Enable(int id, bool enabled);
};
