#include <algorithm>
#include <exception>
#include <vector>

#include "arx/acutads.h"
#include "host_internal.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcEditor, AcRxObject);

namespace {

std::vector<AcEditorReactor*>& editorReactors() {
  static auto* list = new std::vector<AcEditorReactor*>();
  return *list;
}

}  // namespace

void AcEditor::addReactor(AcEditorReactor* reactor) {
  if (reactor && !hasReactor(reactor)) editorReactors().push_back(reactor);
}

void AcEditor::removeReactor(AcEditorReactor* reactor) {
  auto& list = editorReactors();
  list.erase(std::remove(list.begin(), list.end(), reactor), list.end());
}

bool AcEditor::hasReactor(const AcEditorReactor* reactor) const {
  const auto& list = editorReactors();
  return std::find(list.begin(), list.end(), reactor) != list.end();
}

AcEditor* acedEditorPtr() {
  static AcEditor* editor = [] {
    auto* created = new AcEditor();  // lives for the process, as the registry entry
    acrxSysRegistry()->atPut("AcEditor", created);
    return created;
  }();
  return editor;
}

namespace cadhost {

void guarded(const char* what, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& error) {
    acutPrintf("\n%s failed: %s\n", what, error.what());
  } catch (...) {
    acutPrintf("\n%s failed.\n", what);
  }
}

void notifyEditorReactors(const char* what, const std::function<void(AcEditorReactor&)>& call) {
  // A reactor may remove itself or others (an application unloading): walk a snapshot and skip
  // the ones that are gone by the time their turn comes.
  std::vector<AcEditorReactor*> snapshot = editorReactors();
  for (AcEditorReactor* reactor : snapshot)
    if (acedEditor->hasReactor(reactor)) guarded(what, [&] { call(*reactor); });
}

}  // namespace cadhost
