// Message codes that the analysis library raises besides the core's own.
#pragma once

#include <cstdint>

// Texts of the core's table that the model checks use.
enum : std::uint32_t {
  kFeaMsgSimCheckFailed = 0xc0000fe6,      // "Check of the simulation model failed."
  kFeaMsgNoMaterial = 0xc0000faa,          // "A material has not been specified for the model."
  kFeaMsgNoMesh = 0xc0000fac,              // "This model does not contain a mesh"
  kFeaMsgOptCheckFailed = 0xc0001002,      // "Check of the optimization model failed."
  kFeaMsgNoObjective = 0xc0001003,         // "There is no objective function defined."
  kFeaMsgNoDesignVariables = 0xc0001012,   // "There are no design variables defined."
  kFeaMsgNoSimulationModel = 0xc000101b,   // "There is not a simulation model linked to ..."
  kFeaMsgOptShells = 0xc000101c,           // "Optimization does not support shell elements ..."
};

enum : std::uint32_t {
  // "%1 is not available yet." An engine operation whose implementation has not landed; the
  // operation reports it and answers failure.
  kFeaMsgNotAvailable = 0xc0002101,
  // "Could not move %1 to %2." (warning) An external analysis file stayed where it was.
  kFeaMsgCannotMoveFile = 0x80002102,
};

// Reports an engine operation that is not available yet (level 1, `operation` as insert).
void FeaReportNotAvailable(const char* operation);
