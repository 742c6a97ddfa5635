// The analysis library's part of the engine reset (CaeEngine::ResetState): its process-wide
// current objects are unset.
#pragma once

namespace fea_detail {

// Registers the analysis library's reset hook once; called when a current object is first set.
void RegisterEngineReset();
void ResetResultsState();
void ResetControlState();

}  // namespace fea_detail
