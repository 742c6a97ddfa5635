// The solver's degree-of-freedom numbers, as its decks and results use them.
#pragma once

namespace fea_detail {

enum SolverDof : int {
  kDofMoveX = 1,  // 1 to 3: moves along x, y, z (along a node's own axes where it has them)
  kDofMoveY = 2,
  kDofMoveZ = 3,
  kDofTurnX = 4,  // 4 to 6: turns about x, y, z (shells and beams)
  kDofTurnZ = 6,
  kDofTemperature = 11,
};

}  // namespace fea_detail
