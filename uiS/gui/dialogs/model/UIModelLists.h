// The live objects of the current drawing that the model dialogs list and the pickers choose
// from, in the drawing's order. The drawing keeps erased objects in its lists until it is saved:
// every walk here passes over them, so that an erased object is never listed, counted or made
// current again. Without a current analysis control every list is empty.
#pragma once
#include <vector>

#include "mfc/cstring.h"

class AnlModel;
class AttLbcCase;
class OptModel;
class OptResultCase;

std::vector<AnlModel*> UILiveModels();
std::vector<AttLbcCase*> UILiveLoadSets();
std::vector<AttLbcCase*> UILiveRestraintSets();
std::vector<OptModel*> UILiveOptModels();
// The live result cases of `model` whose run has ended (nonzero exit code); empty for null.
std::vector<OptResultCase*> UIFinishedOptResultCases(OptModel* model);

std::vector<CString> UILiveModelNames();
std::vector<CString> UILiveLoadSetNames();
std::vector<CString> UILiveRestraintSetNames();
