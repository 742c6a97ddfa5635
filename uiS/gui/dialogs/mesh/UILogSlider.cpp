#include "gui/dialogs/mesh/UILogSlider.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDefaultDecimals = 2;
constexpr int kMostDecimals = 15;  // beyond this a double carries no more digits

// The value as `format` prints it, read back.
double AsShown(const char* format, double value) {
  char text[512];
  std::snprintf(text, sizeof text, format, value);
  return std::strtod(text, nullptr);
}

}  // namespace

bool UIInitLogSlider(CSliderCtrl* slider, const double* value, const double* minimum, const double* maximum,
                     const char* format, int count, double* table) {
  if (!slider || !value || !minimum || !maximum || !format || !table || count < 2) return false;
  const double low = *minimum;
  const double high = *maximum;
  if (!std::isfinite(low) || !std::isfinite(high) || low <= 0.0 || high < low) return false;

  const double a = std::log(low);
  const double step = (std::log(high) - a) / (count - 1);
  slider->SetRange(0, count - 1, FALSE);
  for (int i = 0; i < count; ++i) {
    slider->SetTic(i + 1);
    table[i] = AsShown(format, std::exp(a + i * step));
  }
  // A zero-width range, or a value without a logarithm, sits at the first position.
  int position = 0;
  if (step > 0.0 && *value > 0.0 && std::isfinite(*value)) {
    const double exact = (std::log(*value) - a) / step + 0.5;
    position = static_cast<int>(std::clamp(exact, -1.0, static_cast<double>(count)));
  }
  slider->SetPos(position);  // the control clamps to its range
  return true;
}

std::string UISizeFormat(double minimum) {
  int decimals = kDefaultDecimals;
  if (minimum > 0.0 && std::isfinite(minimum))
    decimals = std::clamp(2 - static_cast<int>(std::trunc(std::log10(minimum))), 0, kMostDecimals);
  char text[16];
  std::snprintf(text, sizeof text, "%%.%dlf", decimals);
  return text;
}

bool UISizeSlider::Init(CSliderCtrl* slider, double value, double minimum, double maximum) {
  format = UISizeFormat(minimum);
  ready = UIInitLogSlider(slider, &value, &minimum, &maximum, format.c_str(), kPositions, table);
  return ready;
}

double UISizeSlider::At(int position) const {
  if (!ready) return 0.0;
  return table[std::clamp(position, 0, kPositions - 1)];
}

CString UISizeSlider::Show(double value) const {
  char text[512];
  std::snprintf(text, sizeof text, format.c_str(), value);
  return CString(text);
}
