// Unit-system helpers of the units pages: any dialog with the eight unit combos and their static
// texts (template IDD_UNITS) shows a predefined system, the host units or the user's own choice.
#pragma once
#include "mfc/afx.h"

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
