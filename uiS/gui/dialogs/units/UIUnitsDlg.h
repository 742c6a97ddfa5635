// Unit-system helpers of the units pages: any dialog with the eight unit combos and their static
// texts (template IDD_UNITS) shows a predefined system, the host units or the user's own choice.
#pragma once
#include "mfc/afx.h"
#include "mfc/propsheet.h"

// Unit systems the helpers know; any other number is treated as English.
enum UIUnitSystem : int {
  UIUnitsSIm = 0,
  UIUnitsCgs = 1,
  UIUnitsEnglish = 2,
  UIUnitsSIcm = 3,
  UIUnitsCustom = 4,
  UIUnitsHost = 5,  // the current host units
};

// Marks a quantity whose unit the user picks in its combo.
constexpr int UIUnitsCustomMarker = 33;

// Empties each of the eight combos and adds the long names of its quantity's units in id order.
void UIUnitsFillCombos(CWnd* page);
// Shows `system` on the page, quantity by quantity (length, angle, time, force, mass,
// temperature, frequency, energy), with UIUnitsShowUnit.
void UIUnitsSelectSystem(CWnd* page, int system, BOOL label);
// The custom marker: with `label` the combo is shown and the text hidden, else the combo is
// enabled (its selection kept). A unit: its long name is selected in the combo; with `label` the
// text reads " <long name>" in place of the hidden combo, else the combo is disabled.
void UIUnitsShowUnit(int unit, CWnd* page, int comboId, int textId, BOOL label);
// The predefined system (SI (m), cgs, English, SI (cm)) the eight host units equal, else Custom.
int UIUnitsDetectHostSystem();

// The "Units" page of the options sheet: shows which predefined system the host units form, lets
// the user choose another or eight units of his own, and on Apply makes a new host unit system.
// Choosing only changes what the page shows; values stored anywhere are never converted.
class CUnitsDlgPP : public CPropertyPage {
 public:
  CUnitsDlgPP();

  // Makes the chosen units the host units of the engine and the drawing (the replaced system is
  // freed once, by the drawing) and marks the guide's units step. 1, and nothing changed, when
  // the page was never shown.
  BOOL Apply();

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bShown = FALSE;
  int m_nSystem = -1;
  CString m_strAngle;
  CString m_strEnergy;
  CString m_strForce;
  CString m_strFrequency;
  CString m_strLength;
  CString m_strMass;
  CString m_strTemperature;
  CString m_strTime;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnSystemSIm() { ChooseSystem(UIUnitsSIm); }
  void OnSystemCgs() { ChooseSystem(UIUnitsCgs); }
  void OnSystemEnglish() { ChooseSystem(UIUnitsEnglish); }
  void OnSystemSIcm() { ChooseSystem(UIUnitsSIcm); }
  void OnSystemCustom() { ChooseSystem(UIUnitsCustom); }
  void OnSelectUnit() { SetModified(TRUE); }
  DECLARE_MESSAGE_MAP()

 private:
  void LoadHostUnits();
  void ChooseSystem(int system);
  // For a predefined system: each quantity's long name from its static text.
  void TakeUnitsFromTexts();
  void RefreshResultsDisplay();
};
