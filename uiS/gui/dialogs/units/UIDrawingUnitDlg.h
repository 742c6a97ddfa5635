// The "Drawing Length Unit" dialog: the unit the part was designed in, and, the first time it is
// chosen, the matching host unit system (the units values are shown and typed in).
#pragma once
#include <array>

#include "mfc/afx.h"
#include "res/ResourceIds.h"

// The host units that go with a drawing length unit (0 meter .. 4 foot), in the order a unit
// system is built from: length, angle, temperature, force, mass, time, energy, frequency.
// False for any other unit.
bool CadPredefinedHostUnits(int lengthUnit, std::array<int, 8>& units);

class CDrawingUnitDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_DRAWING_UNIT;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_DRAWING_UNIT;
  enum Mode { kFirstTime = 0, kChange = 1 };

  explicit CDrawingUnitDlg(Mode mode, CWnd* parent = nullptr);
  // After OnInitDialog: first time unless a chosen unit is guarded by existing analysis objects.
  Mode GetMode() const { return mode_; }

  BOOL OnInitDialog() override;
  // Sets the chosen length unit; the first time also a new host unit system, which the CAD
  // interface hands to the drawing's data (the dialog frees nothing).
  void OnOK() override;

 protected:
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  Mode mode_;
};

// Shows the dialog in first-time mode, without an owner, only while the drawing has no length
// unit (33); answers the dialog's result, or 0 when it was not shown.
int CadAskDrawingUnitIfUnset();
// Shows the dialog in change mode; answers the dialog's result.
int CadAskDrawingUnit();
