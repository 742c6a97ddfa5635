// A slider whose positions are spaced logarithmically between a minimum and a maximum size, and
// the number format its sizes are shown with. Shared by the mesh and refinement pages and the
// guide's mesh pages.
#pragma once
#include <string>

#include "mfc/afx.h"

// Sets the slider's range to 0 .. count - 1 with a tick at 1 .. count, fills `table` with the
// count sizes exp(ln min + i step) as `format` prints them (read back, so an entry carries exactly
// the decimals shown) and places the slider at the position nearest `value`.
// A minimum and maximum that are equal give count equal entries and position 0; a value of 0 or
// less (no logarithm) gives position 0. Refused (false, slider and table unchanged): a missing
// argument, fewer than 2 positions, a minimum of 0 or less, a maximum below the minimum, or a
// bound that is not a finite number.
bool UIInitLogSlider(CSliderCtrl* slider, const double* value, const double* minimum, const double* maximum,
                     const char* format, int count, double* table);

// The printf format of a size whose range starts at `minimum`: 2 - trunc(log10 minimum) decimals,
// none when that is negative ("%.3lf" for 0.05, "%.0lf" for 150). A minimum of 0 or less, or not
// finite, has no logarithm and gets 2 decimals; at most 15 decimals are shown.
std::string UISizeFormat(double minimum);

// A slider of sizes with its table and format, as the mesh and refinement pages keep it.
struct UISizeSlider {
  static constexpr int kPositions = 200;
  std::string format = UISizeFormat(0.0);
  double table[kPositions] = {};
  bool ready = false;

  // The format from the minimum, then UIInitLogSlider; `ready` tells whether the table holds
  // sizes (a refused range leaves it empty and the slider where it was).
  bool Init(CSliderCtrl* slider, double value, double minimum, double maximum);
  // The size at a slider position (clamped to the table); 0 while not ready.
  double At(int position) const;
  // A size as the slider's format prints it.
  CString Show(double value) const;
};
