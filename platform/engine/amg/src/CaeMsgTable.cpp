// The engine's own message table: every code the engine or the system raises or fetches by code has
// a text here, so that no message is empty for want of one.
#include <cstdint>

#include "amg/CaeMsgCall.h"

namespace {

struct Entry {
  std::uint32_t code;
  const char* text;
};

constexpr Entry kTable[] = {
    {0x40001024, "Design History"},
    {0x40001025, "Design Sensitivity"},
    {0x40001026, "Design Local Trend"},
    {0x80001029, "Some loads and/or restraints that do not apply \r\nfor this analysis type were ignored."},
    {0x80002001, "Configuration file %1, line %2 is not a valid setting and was ignored: %3\r\n"},
    {0x80002002, "Could not write the configuration file %1: %2\r\n"},
    {0x80002003,
     "The folder of the configuration file %1 does not exist; only the default settings are available.\r\n"},
    {0x80002004, "Unknown unit type %1; the value was not converted.\r\n"},
    {0x80002005, "Unit %1 does not measure quantity type %2; the unit was not changed.\r\n"},
    {0x80002006, "Unknown unit id %1; its names were not added.\r\n"},
    {0x80002102, "Could not move %1 to %2.\r\n"},
    {0xc0000fa2, "General Error in %1 at line %2\r\n"},
    {0xc0000fa6, "Could not open file %1 \r\n"},
    {0xc0000faa, "A material has not been specified for the model.\r\n"},
    {0xc0000fab, "The material %1 used in this model has an invalid value.\r\n"},
    {0xc0000fac, "This model does not contain a mesh\r\n"},
    {0xc0000fad, "The mesh of this model is out of date.\r\n"},
    {0xc0000fae, "This model does not contain any loads.\r\n"},
    {0xc0000faf, "This model does not contain any restraints.\r\n"},
    {0xc0000fb0, "This model contains invalid loads or restraints.\r\n"},
    {0xc0000fb1, "This model does not contain a load set and a restraint set.\r\n"},
    {0xc0000fb2, "This model does not contain any element properties.\r\n"},
    {0xc0000fb3, "This model contains invalid element properties.\r\n"},
    {0xc0000fb8, "The analysis can not be performed. "},
    {0xc0000fb9,
     "The analysis may not run successfully. You may need to CANCEL the analysis, make the changes "
     "suggested below and resubmit."},
    {0xc0000fbb, "Invalid Range\r\nMinimum value, %1 must be less than maximum value %2\r\n"},
    {0xc0000fbc, "TLX Unhandled Exception: %1 \r\n"},
    {0xc0000fbd,
     "Unable to perform operation.  Windows resources are low.  Close other programs and retry "
     "operation."},
    {0xc0000fc1, "Performing Analysis Iteration %1"},
    {0xc0000fc8, "Analysis job completed successfully\r\n"},
    {0xc0000fe6, "Check of the simulation model failed.\r\n"},
    {0xc0000fe7,
     "Results are associated with this mesh.\r\nYou must either delete the results and update the "
     "mesh\r\nor create a new model.\r\n"},
    {0xc0000fe8, "Geometry has changed since the mesh was created and associated results exist.\r\n"},
    {0xc0000fe9, "Geometry has changed since a mesh was created.\r\n"},
    {0xc0001001, "OptResults"},
    {0xc0001002, "Check of the optimization model failed.\r\n"},
    {0xc0001003, "There is no objective function defined.\r\n"},
    {0xc0001004, "The objective function is not assigned to a result set.\r\n"},
    {0xc0001005, "Incorrect response type defined for the objective function.\r\n"},
    {0xc0001006, "The objective function does not have a valid mode number.\r\n"},
    {0xc0001007, "The objective function does not define a valid target relative volume.\r\n"},
    {0xc0001008, "The objective function does not define a valid target absolute volume.\r\n"},
    {0xc0001009, "The objective function is the wrong response for the type of the result set %1.\r\n"},
    {0xc000100a, "There are no constraints defined.\r\n"},
    {0xc000100b, "The design constraint %1 is not assigned to a result set.\r\n"},
    {0xc000100c, "The control %1 does not apply to any geometry.\r\n"},
    {0xc000100d, "Incorrect response type defined in the design constraint %1.\r\n"},
    {0xc000100e, "The design constraint %1 does not have a valid mode number.\r\n"},
    {0xc000100f, "Incorrect strain components defined in the design constraint %1.\r\n"},
    {0xc0001010, "Components not defined in the design constraint %1.\r\n"},
    {0xc0001011, "There are no active design constraints.\r\n"},
    {0xc0001012, "There are no design variables defined.\r\n"},
    {0xc0001013, "The design variable %1 has an invalid upper and/or lower bound.\r\n"},
    {0xc0001014, "The unit system has changed since design variable %1 was created.\r\n"},
    {0xc0001015, "There are no active design variables.\r\n"},
    {0xc0001016, "There are no result sets defined in this optimization model.\r\n"},
    {0xc0001017, "The result set %1 is not used by the objective function or any design constraints.\r\n"},
    {0xc0001018, "The result set %1 does not reference a load set and/or a restraint set.\r\n"},
    {0xc0001019, "The design constraint %1 is the wrong response for the type of the result set %2.\r\n"},
    {0xc000101a, "The type of the simulation model used by this optimization model is incorrect. \r\n"},
    {0xc000101b, "There is not a simulation model linked to this optimization model.\r\n"},
    {0xc000101c, "Optimization does not support shell elements in the simulation model.\r\n"},
    {0xc0001031, "Adaptive analysis may not be run delayed execution.\r\n"},
    {0xc00010d3, "The assembly mating relation %1 is not consistent with the type of mesh.\r\n"},
    {0xc00010e7,
     "Results are associated with the mesh for this model.\r\nSince an h-adaptive analysis can modify "
     "the mesh, you must\r\neither delete the existing results or create a new model.\r\n"},
    {0xc0002101, "%1 is not available yet.\r\n"},
    {0xc0002103, "The mesh could not be generated near (%1, %2, %3): %4\r\n"},
    {0xc0002104, "The solver could not be started: %1\r\n"},
    {0xc0002105, "The results %1 could not be read: %2\r\n"},
    {0xc0002106, "The analysis %1 failed: %2\r\n"},
    {0xc0002107, "The condition %1 cannot be applied: %2\r\n"},
    {0xc0002108, "The file %1 could not be written: %2\r\n"},
    {0x80002109,
     "The load %1 acts where the model is restrained: the supports take it as it is and it moves nothing there.\r\n"},
    {0xc000210a, "The material %1: %2.\r\n"},
    {0xc000210b, "The meshes cannot be made together: %1\r\n"},
};

}  // namespace

const char* CaeMsgTxt::TableText(std::uint32_t code) {
  for (const Entry& entry : kTable)
    if (entry.code == code) return entry.text;
  return nullptr;
}
