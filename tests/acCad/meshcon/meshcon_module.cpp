// A module for the host program that reaches the mesh rows of the CAD interface from the command
// line, so that scripts can make refinements and meshes on picked geometry. It stands in for the
// mesh pages until they exist; it is never part of the add-in.
//
// Every command runs in one host transaction; an engine exception prints its text and aborts it.
//   MCMODEL name type          a model (type 0 static), made current
//   MCREFINE size kind         a spread refinement on a picked face (kind 1), edge (2) or vertex (3)
//   MCPOINT size kind x,y,z    a point refinement at x,y,z on a picked face, edge or vertex
//   MCMESH size order material a mesh of the picked body (default size, element order 1 or 2)
//   MCSIZES                    the number of local sizes the current model's live refinements
//                              give a mesh of the picked body (what every generation hands gmsh)
#include <cstdio>
#include <string>

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
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "topo/acTopoRef.h"

#include "../test_module_support.h"

namespace {

using kestrum::test_module::Answers;
using kestrum::test_module::cad;
using kestrum::test_module::inTransaction;

constexpr char kGroup[] = "KESTRUM_MESHCON_TESTS";

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

struct Command {
  const char* name;
  AcRxFunctionPtr function;
};

constexpr Command kCommands[] = {
    {"MCMODEL", &mcModel}, {"MCREFINE", &mcRefine}, {"MCPOINT", &mcPoint}, {"MCMESH", &mcMesh}, {"MCSIZES", &mcSizes},
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
