// A module for the host program that reaches the mesh rows of the CAD interface from the command
// line, so that scripts can make refinements and meshes on picked geometry. It stands in for the
// mesh pages until they exist; it is never part of the add-in.
//
// Every command runs in one host transaction; an engine exception prints its text and aborts it.
//   MCUNIT unit                the drawing's length unit (0 m, 1 cm, 2 mm, 3 in, 4 ft)
//   MCMODEL name type          a model (type 0 static), made current
//   MCREFINE size kind         a spread refinement on a picked face (kind 1), edge (2) or vertex (3)
//   MCPOINT size kind x,y,z    a point refinement at x,y,z on a picked face, edge or vertex
//   MCMESH size order material a mesh of the picked body (default size, element order 1 or 2)
//   MCSIZES                    the number of local sizes the current model's live refinements
//                              give a mesh of the picked body (what every generation hands gmsh)
//   MCLIST                     every live mesh of the current model: its body key, counts, whether
//                              it is attached to its body, modified, and needs an update
//   MCUPDATE                   the current model's meshes regenerated through the first mesh that
//                              needs an update
//   MCDECK file                the current model's deck for its current load and restraint sets
//   MCPASSES                   how many re-resolutions of the references ran since the last
//                              MCPASSES (or the module's load)
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeList.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbCon.h"
#include "db/dbMesh.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbcCase.h"
#include "topo/acTopoRef.h"
#include "util/acDeferredPasses.h"

#include "../test_module_support.h"

namespace {

using kestrum::test_module::Answers;
using kestrum::test_module::cad;
using kestrum::test_module::inTransaction;

constexpr char kGroup[] = "KESTRUM_MESHCON_TESTS";

void mcUnit() {
  Answers in;
  int unit = in.integer("Length unit (0 m, 1 cm, 2 mm, 3 in, 4 ft): ");
  if (!in.ok) return;
  inTransaction([&] {
    cad().SetLengthUnit(&unit);
    acutPrintf("\nLength unit %d.", cad().GetLengthUnit());
  });
}

void mcModel() {
  Answers in;
  const std::string name = in.text("Model name: ");
  const int type = in.integer("Analysis type: ");
  if (in.ok) inTransaction([&] { cad().SelectOrCreateModel(name.c_str(), type); });
}

void mcRefine() {
  Answers in;
  const double size = in.real("Element size: ");
  const int kind = in.integer("Pick kind (1 face, 2 edge, 3 vertex): ");
  if (in.ok) inTransaction([&] { cad().CreateMeshConstraint(3, 2.0, kind, size, 0, 0, 0, 0, nullptr); });
}

void mcPoint() {
  Answers in;
  const double size = in.real("Element size: ");
  const int kind = in.integer("Pick kind (1 face, 2 edge, 3 vertex): ");
  const std::string at = in.text("Location (x,y,z): ");
  double p[3] = {0, 0, 0};
  char tail = 0;
  if (in.ok && std::sscanf(at.c_str(), "%lf,%lf,%lf%c", &p[0], &p[1], &p[2], &tail) != 3) {
    acutPrintf("\nGive three numbers as x,y,z.");
    return;
  }
  if (in.ok) inTransaction([&] { cad().CreateMeshConstraint(3, 2.0, kind, size, p[0], p[1], p[2], 1, nullptr); });
}

void mcMesh() {
  Answers in;
  const double size = in.real("Default element size: ");
  const int order = in.integer("Element order: ");
  const std::string material = in.text("Material: ");
  if (!in.ok) return;
  inTransaction([&] {
    CaeList<CaeTopoRef> refs;
    if (!cad().PickMesh(refs)) return;
    for (CaeTopoRef* ref : refs) {
      if (ref->Kind() != CaeTopoRef::kBody) continue;
      AmgMesh* mesh = cad().CreateMeshEntity(ref);
      if (!mesh) return;
      mesh->SetDefaultSize(size);
      mesh->SetElementOrder(order);
      cad().GenerateMesh(mesh, material.c_str(), 0, 0, 0.0, 0.0);
    }
  });
}

void mcSizes() {
  inTransaction([&] {
    AcBrEntity* entity = cad().PickEntity(1);
    if (!entity) return;
    AnlControl* control = AnlControl::GetCurrent();
    AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
    AcTopoRef* body = acTopoRefFromBrEntity(entity);
    if (!model || !body) {
      acutPrintf("\nNo current model or no body.");
      return;
    }
    AmgMesh probe(body);
    acutPrintf("\nLocal sizes: %d", dbApplyMeshConstraints(probe, *model));
  });
}

AnlModel* currentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) acutPrintf("\nThere is no current model.");
  return model;
}

// The live meshes of a model with their sub-models, in sub-model order.
std::vector<std::pair<CaepMeshEnt*, AnlSubModel*>> liveMeshes(AnlModel& model) {
  std::vector<std::pair<CaepMeshEnt*, AnlSubModel*>> meshes;
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    auto* mesh = sub && !sub->IsMarkedAsErased() ? dynamic_cast<CaepMeshEnt*>(sub->Mesh()) : nullptr;
    if (mesh && !mesh->isErased()) meshes.emplace_back(mesh, sub);
  }
  return meshes;
}

// Reads only (no object is opened for write), so that it is no undo step of its own.
void mcList() {
  inTransaction([&] {
    AnlModel* model = currentModel();
    if (!model) return;
    int position = 0;
    for (const auto& [mesh, sub] : liveMeshes(*model)) {
      const bool attached = mesh->GetTopoRef() != nullptr && !mesh->AwaitingRestore();
      acutPrintf("\nMesh %d of %s: %d nodes, %d elements, %s, %s, %s", ++position, sub->Name().Text(), mesh->NumNodes(),
                 mesh->NumElements(), attached ? "attached" : "detached",
                 mesh->Modified() ? "modified" : "not modified", mesh->NeedsUpdate() ? "update needed" : "up to date");
    }
    if (position == 0) acutPrintf("\nThe model has no mesh.");
  });
}

void mcUpdate() {
  inTransaction([&] {
    AnlModel* model = currentModel();
    if (!model) return;
    for (const auto& [mesh, sub] : liveMeshes(*model)) {
      if (!mesh->NeedsUpdate()) continue;
      AmgMesh* updated = mesh;
      acutPrintf(cad().UpdateMesh(updated) ? "\nThe meshes were regenerated." : "\nThe meshes were kept.");
      return;
    }
    acutPrintf("\nNo mesh needs an update.");
  });
}

void mcDeck() {
  Answers in;
  const std::string file = in.text("Deck file: ");
  if (!in.ok) return;
  inTransaction([&] {
    AnlModel* model = currentModel();
    if (!model) return;
    AnlControl* control = AnlControl::GetCurrent();
    AnlResltCase resultCase(CaeString("Case 1"));
    if (AttLbcCase* loads = control->CurrentLoadCase()) resultCase.AddLoadCase(loads, 1.0);
    if (AttLbcCase* restraints = control->CurrentRestraintCase()) resultCase.AddBoundaryCase(restraints, 1.0);
    std::unique_ptr<AnlWriter> writer(model->DeckWriter(AnlCodeSolve));
    writer->AddResltCase(&resultCase);
    CaeString message;
    if (writer->Write(CaeString(file), message) == 1)
      acutPrintf("\nDeck written to %s.", file.c_str());
    else
      acutPrintf("\nNo deck: %s", message.Text());
  });
}

// The re-resolutions heard since the last report; whoever observed before still hears every pass.
int reresolutions = 0;
AcPassObserver previousObserver = nullptr;

void countPass(const char* pass) {
  if (std::string(pass) == "reresolve") ++reresolutions;
  if (previousObserver) previousObserver(pass);
}

void mcPasses() {
  acutPrintf("\nRe-resolutions: %d", reresolutions);
  reresolutions = 0;
}

struct Command {
  const char* name;
  AcRxFunctionPtr function;
};

constexpr Command kCommands[] = {
    {"MCUNIT", &mcUnit}, {"MCMODEL", &mcModel},   {"MCREFINE", &mcRefine}, {"MCPOINT", &mcPoint},
    {"MCMESH", &mcMesh}, {"MCSIZES", &mcSizes},   {"MCLIST", &mcList},     {"MCUPDATE", &mcUpdate},
    {"MCDECK", &mcDeck}, {"MCPASSES", &mcPasses},
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
    previousObserver = acSetPassObserver(&countPass);
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  } else if (msg == AcRx::kUnloadAppMsg) {
    acSetPassObserver(previousObserver);
    acedRegCmds->removeGroup(kGroup);
  }
  return AcRx::kRetOK;
}
