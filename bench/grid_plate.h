// The benchmarks' large part: a plate with a grid of through holes (45 x 44 holes, 1,986 faces),
// as part-file text whose hole diameter is the parameter D.
#pragma once

#include <string>

namespace bench {

constexpr int kGridColumns = 45;
constexpr int kGridRows = 44;

inline std::string gridPlateText() {
  std::string text =
      "part grid\nparam P = 10\nparam D = 4\nparam T = 5\n"
      "box plate corner=(0, 0, 0) size=(P * " +
      std::to_string(kGridColumns) + ", P * " + std::to_string(kGridRows) + ", T)\n";
  for (int i = 0; i < kGridColumns; ++i)
    for (int j = 0; j < kGridRows; ++j)
      text += "hole h" + std::to_string(i) + "_" + std::to_string(j) + " at=(P * " + std::to_string(i) + ".5, P * " +
              std::to_string(j) + ".5, T) direction=(0, 0, -1) diameter=D\n";
  return text;
}

}  // namespace bench
