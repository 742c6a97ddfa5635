// The defaults of a new objective, also for the models the CAD interface creates.
#pragma once

class OptFunction;

// The objective defaults of its owning model's kind: shape, mass (response type 0) and generic
// integer 0; Concept, volume (1), generic integer 0 and the target fraction 0.75. Without an owner
// nothing changes.
void UIOptDefaultObjective(OptFunction* objective);
