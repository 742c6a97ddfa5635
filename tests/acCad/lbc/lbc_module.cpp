// A module for the host program that reaches the condition operations of the CAD interface from
// the command line, with typed values and no geometry, so that the user picks. It stands in for the
// setup pages until they exist; it is never part of the add-in.
//
// Every command runs in one host transaction; an engine exception prints its text and aborts it.
// What the interface refuses it reports itself; an ended pick makes nothing and says nothing.
//   LBCMODEL name type            a model (type 0 static, 3 heat transfer), made current
//   LBCLOADSET name, LBCRESTSET name   a load set or restraint set, made current
//   LBCCREATE type name value flags axes scale colour    a load, restraint or model-level load
//       value "x,y,z"; flags six digits (1 free), e.g. "000000"; axes "global", "face",
//       "cartesian", "cylindric" or "spheric" (the last three then ask an origin and a z
//       direction, each "x,y,z"); colour -1 takes the type's default colour.
//   LBCCONV name film ambient scale colour     a face convection
//   LBCHGEN name value scale colour            a volumetric heat generation
//   LBCTEMP name model reference scale colour  the model temperature
//   LBCEDIT load|restraint set position, then what LBCCREATE asks after the type's
//       the n-th live condition of a set replaced (a convection takes x as film and y as
//       ambient, a heat generation x, a model temperature x and y)
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "amg/CaeCoordSys.h"
#include "amg/CaeExcept.h"
#include "amg/CaeList.h"
#include "amg/CaeTransform.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbLbcSet.h"
#include "fea/AnlControl.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"

#include "../test_module_support.h"

namespace {

using kestrum::test_module::cad;
using kestrum::test_module::inTransaction;

constexpr char kGroup[] = "KESTRUM_LBC_TESTS";

// An owning temperature table (empty: the commands make constant values).
class TempTable : public CaeList<AttTableTempValue> {
 public:
  // The base's destructor cannot reach DeleteItem: the rows go here.
  ~TempTable() override { RemoveAll(); }

 protected:
  void DeleteItem(AttTableTempValue* item) override { delete item; }
};

// The shared answers and the ones these commands add; an ended or bad answer ends the command quietly.
struct Answers : kestrum::test_module::Answers {
  // "x,y,z"
  bool triple(const char* prompt, double out[3]) {
    const std::string answer = text(prompt);
    char tail = 0;
    if (ok && std::sscanf(answer.c_str(), "%lf,%lf,%lf%c", &out[0], &out[1], &out[2], &tail) != 3) {
      acutPrintf("\nGive three numbers as x,y,z.");
      ok = false;
    }
    return ok;
  }
  // Six 0/1 digits.
  bool flags(const char* prompt, int out[6]) {
    const std::string answer = text(prompt);
    if (!ok) return false;
    if (answer.size() != 6 || answer.find_first_not_of("01") != std::string::npos) {
      acutPrintf("\nGive six digits 0 (fixed) or 1 (free).");
      return ok = false;
    }
    for (int i = 0; i < 6; ++i) out[i] = answer[static_cast<std::size_t>(i)] - '0';
    return true;
  }
  // Null for global axes.
  std::unique_ptr<CaeCoordSys> axes(const char* prompt) {
    const std::string kind = text(prompt);
    if (!ok || kind == "global") return nullptr;
    if (kind == "face") return std::make_unique<CaeCoordSysFace>();
    if (kind != "cartesian" && kind != "cylindric" && kind != "spheric") {
      acutPrintf("\nAxes are global, face, cartesian, cylindric or spheric.");
      ok = false;
      return nullptr;
    }
    double origin[3], direction[3];
    if (!triple("Axes origin (x,y,z): ", origin) || !triple("Axes z direction (x,y,z): ", direction)) return nullptr;
    const CaeTransform placement(CaeVector(origin[0], origin[1], origin[2]),
                                 CaeVector(direction[0], direction[1], direction[2]));
    if (kind == "cartesian") return std::make_unique<CaeCoordSysCartesian>(placement);
    if (kind == "cylindric") return std::make_unique<CaeCoordSysCylindric>(placement);
    return std::make_unique<CaeCoordSysSpheric>(placement);
  }
};

int colourOr(int colour, int type) { return colour < 0 ? cad().GetLbcDimension(type) : colour; }

void lbcModel() {
  Answers in;
  const std::string name = in.text("Model name: ");
  const int type = in.integer("Analysis type: ");
  if (in.ok) inTransaction([&] { cad().SelectOrCreateModel(name.c_str(), type); });
}

void lbcLoadSet() {
  Answers in;
  const std::string name = in.text("Load set name: ");
  if (in.ok) inTransaction([&] { cad().SelectOrCreateLoadCase(name.c_str()); });
}

void lbcRestraintSet() {
  Answers in;
  const std::string name = in.text("Restraint set name: ");
  if (in.ok) inTransaction([&] { cad().SelectOrCreateRestraintCase(name.c_str()); });
}

// What LBCCREATE and LBCEDIT ask after the type.
struct LbcValues {
  std::string name;
  double value[3] = {0, 0, 0};
  int flags[6] = {0, 0, 0, 0, 0, 0};
  std::unique_ptr<CaeCoordSys> axes;
  double scale = 1.0;
  int colour = -1;

  bool ask(Answers& in) {
    name = in.text("Name: ");
    in.triple("Value (x,y,z): ", value);
    in.flags("Free components (six digits): ", flags);
    axes = in.axes("Axes: ");
    scale = in.real("Symbol scale: ");
    colour = in.integer("Colour (-1: default): ");
    return in.ok;
  }
};

void lbcCreate() {
  Answers in;
  const int type = in.integer("Condition type: ");
  LbcValues values;
  if (!in.ok || !values.ask(in)) return;
  inTransaction([&] {
    cad().CreateLbc(CaeString(values.name.c_str()), colourOr(values.colour, type), values.scale, type, values.flags,
                    values.value, values.axes.get(), nullptr);
  });
}

void lbcConvection() {
  Answers in;
  const std::string name = in.text("Name: ");
  const double film = in.real("Film coefficient: ");
  const double ambient = in.real("Ambient temperature: ");
  const double scale = in.real("Symbol scale: ");
  const int colour = in.integer("Colour (-1: default): ");
  if (!in.ok) return;
  inTransaction([&] {
    TempTable table;
    cad().CreateConvection(CaeString(name.c_str()), colourOr(colour, 18), scale, 18, 1, film, ambient, table, nullptr);
  });
}

void lbcHeatGeneration() {
  Answers in;
  const std::string name = in.text("Name: ");
  const double value = in.real("Heat generation: ");
  const double scale = in.real("Symbol scale: ");
  const int colour = in.integer("Colour (-1: default): ");
  if (!in.ok) return;
  inTransaction([&] {
    TempTable table;
    cad().CreateHeatGeneration(CaeString(name.c_str()), colourOr(colour, 19), scale, 19, 1, value, table, nullptr);
  });
}

void lbcTemperature() {
  Answers in;
  const std::string name = in.text("Name: ");
  const double model = in.real("Model temperature: ");
  const double reference = in.real("Reference temperature: ");
  const double scale = in.real("Symbol scale: ");
  const int colour = in.integer("Colour (-1: default): ");
  if (!in.ok) return;
  inTransaction([&] {
    cad().CreatePrescribedTemperature(CaeString(name.c_str()), colourOr(colour, 14), scale, model, reference, 0);
  });
}

// The set of that category and name (ignoring nothing: exact), or null.
AttLbcCase* findSet(AnlControl& control, bool restraints, const std::string& name) {
  for (AttLbcCase* set = restraints ? control.FirstRestraintCase() : control.FirstLoadCase(); set;
       set = restraints ? control.NextRestraintCase() : control.NextLoadCase())
    if (name == set->Name().Text()) return set;
  return nullptr;
}

void lbcEdit() {
  Answers in;
  const std::string category = in.text("Set kind (load or restraint): ");
  const std::string setName = in.text("Set name: ");
  const int position = in.integer("Position among its live conditions: ");
  const int type = in.integer("Condition type: ");
  LbcValues values;
  if (!in.ok || !values.ask(in)) return;
  inTransaction([&] {
    AnlControl* control = AnlControl::GetCurrent();
    auto* set = dynamic_cast<CaepLbcSetObj*>(control ? findSet(*control, category == "restraint", setName) : nullptr);
    if (!set || position < 1 || position > set->CountLbcs(0)) {
      acutPrintf("\nNo such set or condition.");
      return;
    }
    AttBaseLbc* old = set->LiveLbc(position);  // open for write in this transaction
    const CaeString name(values.name.c_str());
    const int colour = colourOr(values.colour, type);
    TempTable table;
    if (auto* convection = dynamic_cast<AttLbcConv*>(old))
      cad().EditConvection(convection, name, colour, values.scale, type, 1, values.value[0], values.value[1], table);
    else if (auto* heat = dynamic_cast<AttLbcHgen*>(old))
      cad().EditHeatGeneration(heat, name, colour, values.scale, type, 1, values.value[0], table);
    else if (auto* temperature = dynamic_cast<AttModelTemp*>(old))
      cad().EditPrescribedTemperature(temperature, name, colour, values.scale, values.value[0], values.value[1]);
    else
      cad().EditLbc(old, name, colour, values.scale, type, values.flags, values.value, values.axes.get());
  });
}

struct Command {
  const char* name;
  AcRxFunctionPtr function;
};

constexpr Command kCommands[] = {
    {"LBCMODEL", &lbcModel},      {"LBCLOADSET", &lbcLoadSet}, {"LBCRESTSET", &lbcRestraintSet},
    {"LBCCREATE", &lbcCreate},    {"LBCCONV", &lbcConvection}, {"LBCHGEN", &lbcHeatGeneration},
    {"LBCTEMP", &lbcTemperature}, {"LBCEDIT", &lbcEdit},
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
