// The self-check of a static solve: the solver's nodal forces at the supports must balance the
// loads that the deck applied, in force and in moment, else the answer is not trusted.
//
// The solver writes each node's internal force. Away from the supports it equals the load applied
// there; so the supports' forces plus the loads applied elsewhere add up to nothing, whatever the
// supports hold. A node with any restrained direction or with axes of its own counts as a support.
//
// What is checked: nodal loads (the deck gives pressures and distributed forces as nodal loads too)
// and temperature loads, against the forces at the supports, and the moments of both about the
// centroid of the nodes. Enforced displacements without loads are checked too: the supports'
// forces must then balance one another. Not checked (the results file cannot split a body load
// between the supports and the rest): steps with body loads (gravity, acceleration, spin); and
// models with shells or beams, whose nodal forces the solver writes at the nodes of the solid
// elements it expands them into, not at the model's nodes. Every displacement and force of the
// results must be a finite number, always.
#pragma once

#include <string_view>
#include <vector>

#include "fea/FrdReader.h"
#include "kestrum/result.h"

namespace fea_detail {

// The largest imbalance accepted, as a share of the sum of the magnitudes of the loads and the
// support forces involved (of their moments, for the moment balance). The file keeps six
// significant digits; solver round-off is far below this.
inline constexpr double kBalanceTolerance = 1e-4;

// Ok, or a Problem whose message says, in words a designer reads, what does not balance or is not
// a finite number. The balance is checked for decks of static steps only that write nodal forces.
kestrum::Status CheckBalance(std::string_view deck, const std::vector<FrdReader::StepVectors>& results);

}  // namespace fea_detail
