// Builds a part's solid from its feature list, carrying face names through every operation.
#pragma once
#include <TopoDS_Shape.hxx>

#include <memory>
#include <vector>

#include "mcadkernel/feature.h"
#include "mcadkernel/parameters.h"
#include "topology_names.h"

namespace mcadkernel {

struct BuiltSolid {
  TopoDS_Shape solid;  // null for a part without features
  std::shared_ptr<const TopologyNames> names;
};

// Evaluates every dimension against parameters and applies the features in order. Throws KernelError
// naming the feature that could not be built; the caller's state is untouched either way.
BuiltSolid buildSolid(const std::vector<Feature>& features, const ParameterSet& parameters);

}  // namespace mcadkernel
