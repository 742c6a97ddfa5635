#include "gui/dialogs/model/UIModelLists.h"

#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"

namespace {

template <class T>
std::vector<T*> LiveOf(T* (AnlControl::*first)(), T* (AnlControl::*next)()) {
  std::vector<T*> live;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return live;
  for (T* object = (control->*first)(); object; object = (control->*next)())
    if (!object->IsMarkedAsErased()) live.push_back(object);
  return live;
}

template <class T>
std::vector<CString> NamesOf(const std::vector<T*>& objects) {
  std::vector<CString> names;
  for (T* object : objects) names.emplace_back(object->Name().Text());
  return names;
}

}  // namespace

std::vector<AnlModel*> UILiveModels() { return LiveOf(&AnlControl::FirstAnlModel, &AnlControl::NextAnlModel); }
std::vector<AttLbcCase*> UILiveLoadSets() { return LiveOf(&AnlControl::FirstLoadCase, &AnlControl::NextLoadCase); }
std::vector<AttLbcCase*> UILiveRestraintSets() {
  return LiveOf(&AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase);
}
std::vector<OptModel*> UILiveOptModels() { return LiveOf(&AnlControl::FirstOptModel, &AnlControl::NextOptModel); }

std::vector<OptResultCase*> UIFinishedOptResultCases(OptModel* model) {
  std::vector<OptResultCase*> finished;
  if (!model) return finished;
  for (OptResultCase* resultCase = model->FirstOptResultCase(1); resultCase; resultCase = model->NextOptResultCase())
    if (!resultCase->IsMarkedAsErased() && resultCase->ExitCode() != 0) finished.push_back(resultCase);
  return finished;
}

std::vector<CString> UILiveModelNames() { return NamesOf(UILiveModels()); }
std::vector<CString> UILiveLoadSetNames() { return NamesOf(UILiveLoadSets()); }
std::vector<CString> UILiveRestraintSetNames() { return NamesOf(UILiveRestraintSets()); }
