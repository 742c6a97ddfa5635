// A module for the host program that reaches the mating-relation operations of the CAD interface
// from the command line, so that scripts make relations by picking (a key name such as
// "base/plate/top" answers a pick). It stands in for the mating-relation sheet until it exists;
// it is never part of the add-in. The current model is made with LBCMODEL (lbc_module).
//
// Every command runs in one host transaction; an engine exception prints its text and aborts it.
//   MATEREL name colour scale           two picks, then a relation on them
//   MATEREDO position name colour scale the n-th pair of the current model made again
//   MATEERASE position pair|first|second    erases one of the pair's three objects
//   MATELIST                            every pair of the current model: name, state, colour and
//                                       scale, each side's key and whether it resolves
#include <cstdio>
#include <string>

#include "amg/CaeExcept.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbMateRel.h"
#include "db/dbMateRelPair.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AnlControl.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "util/acObjKey.h"

#include "../test_module_support.h"

namespace {

using kestrum::test_module::Answers;
using kestrum::test_module::cad;
using kestrum::test_module::inTransaction;

constexpr char kGroup[] = "KESTRUM_MATE_TESTS";

CaepAnlModelObj* currentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  auto* model = dynamic_cast<CaepAnlModelObj*>(control ? control->CurrentAnlModel() : nullptr);
  if (!model) acutPrintf("\nThere is no current model.");
  return model;
}

// The n-th pair (1-based) of the current model, erased ones included; null with a message.
CaepMateRelPair* pairAt(int position) {
  CaepAnlModelObj* model = currentModel();
  if (!model) return nullptr;
  if (position < 1 || position > model->NumMateRelPairs()) {
    acutPrintf("\nThe model has no pair %d.", position);
    return nullptr;
  }
  return dynamic_cast<CaepMateRelPair*>(model->GetMateRelPair(position - 1));
}

void mateCreate() {
  Answers in;
  const std::string name = in.text("Relation name: ");
  const int colour = in.integer("Colour: ");
  const double scale = in.real("Symbol scale: ");
  if (in.ok) inTransaction([&] { cad().CreateMateRelation(CaeString(name), colour, scale); });
}

void mateRecreate() {
  Answers in;
  const int position = in.integer("Pair: ");
  const std::string name = in.text("Relation name: ");
  const int colour = in.integer("Colour: ");
  const double scale = in.real("Symbol scale: ");
  if (!in.ok) return;
  inTransaction([&] {
    if (CaepMateRelPair* pair = pairAt(position)) cad().RecreateMateRelation(pair, CaeString(name), colour, scale);
  });
}

void mateErase() {
  Answers in;
  const int position = in.integer("Pair: ");
  const std::string which = in.text("Object (pair, first or second): ");
  if (!in.ok) return;
  inTransaction([&] {
    CaepMateRelPair* pair = pairAt(position);
    if (!pair) return;
    AcDbObjectId id = which == "first" ? pair->FirstId() : which == "second" ? pair->SecondId() : pair->objectId();
    if (which != "pair" && which != "first" && which != "second") {
      acutPrintf("\nAnswer pair, first or second.");
      return;
    }
    AcDbObject* object = dbOpenMember(pair->database(), id, AcDb::kForWrite);
    if (!object) {
      acutPrintf("\nIt is erased already.");
      return;
    }
    object->erase();
  });
}

std::string sideText(AcDbDatabase* db, AcDbObjectId id) {
  auto* relation = CaepMateRelEnt::cast(dbOpenMember(db, id, AcDb::kForRead, true));
  if (!relation) return "none";
  AmiObjectKey* key = relation->Key();
  std::string text = key ? key->name() : std::string("(no key)");
  text += relation->isErased() ? " erased" : " live";
  text += acKeyNotNull(key) && acTopoRefFromKey(key) ? ", resolves" : ", stale";
  return text;
}

void mateList() {
  inTransaction([&] {
    CaepAnlModelObj* model = currentModel();
    if (!model) return;
    for (int i = 0; i < model->NumMateRelPairs(); ++i) {
      auto* pair = dynamic_cast<CaepMateRelPair*>(model->GetMateRelPair(i));
      if (!pair) continue;
      const char* state = pair->isErased() ? "erased" : pair->IsMarkedAsErased() ? "inactive" : "live";
      int colour = -1;
      double scale = 0.0;
      if (!pair->IsMarkedAsErased()) cad().GetMateRelColorAndScale(pair, &colour, &scale);
      acutPrintf("\nPair %d \"%s\" %s, colour %d, scale %g", i + 1, pair->Name().Text(), state, colour, scale);
      acutPrintf("\n  first: %s", sideText(pair->database(), pair->FirstId()).c_str());
      acutPrintf("\n  second: %s", sideText(pair->database(), pair->SecondId()).c_str());
    }
  });
}

struct Command {
  const char* name;
  AcRxFunctionPtr function;
};

constexpr Command kCommands[] = {
    {"MATEREL", &mateCreate},
    {"MATEREDO", &mateRecreate},
    {"MATEERASE", &mateErase},
    {"MATELIST", &mateList},
};

}  // namespace

// Its own attach and detach: the linker looks these up through the module's handle, which would
// otherwise find the add-in's (a dependency of this module) and attach the add-in a second time.
extern "C" __attribute__((visibility("default"))) int acrxModuleAttach() { return 1; }
extern "C" __attribute__((visibility("default"))) void acrxModuleDetach() {}

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    for (const Command& command : kCommands)
      acedRegCmds->addCommand(kGroup, command.name, command.name, ACRX_CMD_MODAL, command.function);
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  } else if (msg == AcRx::kUnloadAppMsg) {
    acedRegCmds->removeGroup(kGroup);
  }
  return AcRx::kRetOK;
}
