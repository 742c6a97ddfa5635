// A module for the host program that writes the solver deck of the current model, its current
// load set and its current restraint set, so that scripts can check what the attribute and mating
// sheets put in the drawing before an analysis command exists. It is never part of the add-in.
//   ATTDECK file      writes the deck (a message when it cannot)
#include <string>

#include "amg/CaeString.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/rxdlinkr.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"

#include "../test_module_support.h"

namespace {

using kestrum::test_module::Answers;
using kestrum::test_module::inTransaction;

constexpr char kGroup[] = "KESTRUM_ATT_TESTS";

void attDeck() {
  Answers in;
  const std::string file = in.text("Deck file: ");
  if (!in.ok) return;
  inTransaction([&] {
    AnlControl* control = AnlControl::GetCurrent();
    AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
    if (!model) {
      acutPrintf("\nNo current model.");
      return;
    }
    AnlResltCase resultCase(CaeString("Case 1"));
    if (AttLbcCase* loads = control->CurrentLoadCase()) resultCase.AddLoadCase(loads, 1.0);
    if (AttLbcCase* restraints = control->CurrentRestraintCase()) resultCase.AddBoundaryCase(restraints, 1.0);
    AnlWriter writer(model);
    writer.AddResltCase(&resultCase);
    CaeString message;
    if (writer.Write(CaeString(file.c_str()), message) == 1)
      acutPrintf("\nDeck written.");
    else
      acutPrintf("\nNo deck: %s", message.Text());
  });
}

}  // namespace

// Its own attach and detach: the linker looks these up through the module's handle, which would
// otherwise find the add-in's (a dependency of this module) and attach the add-in a second time.
extern "C" __attribute__((visibility("default"))) int acrxModuleAttach() { return 1; }
extern "C" __attribute__((visibility("default"))) void acrxModuleDetach() {}

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    acedRegCmds->addCommand(kGroup, "ATTDECK", "ATTDECK", ACRX_CMD_MODAL, &attDeck);
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  } else if (msg == AcRx::kUnloadAppMsg) {
    acedRegCmds->removeGroup(kGroup);
  }
  return AcRx::kRetOK;
}
