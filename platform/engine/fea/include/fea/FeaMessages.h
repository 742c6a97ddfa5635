// Message codes that the analysis library raises besides the core's own.
#pragma once

#include <cstdint>

// Texts of the core's table that the model checks use.
enum : std::uint32_t {
  kFeaMsgSimCheckFailed = 0xc0000fe6,     // "Check of the simulation model failed."
  kFeaMsgNoMaterial = 0xc0000faa,         // "A material has not been specified for the model."
  kFeaMsgNoMesh = 0xc0000fac,             // "This model does not contain a mesh"
  kFeaMsgOptResults = 0xc0001001,         // "OptResults": the default names of result sets
  kFeaMsgOptCheckFailed = 0xc0001002,     // "Check of the optimization model failed."
  kFeaMsgNoObjective = 0xc0001003,        // "There is no objective function defined."
  kFeaMsgNoDesignVariables = 0xc0001012,  // "There are no design variables defined."
  kFeaMsgNoSimulationModel = 0xc000101b,  // "There is not a simulation model linked to ..."
  kFeaMsgOptShells = 0xc000101c,          // "Optimization does not support shell elements ..."
};

enum : std::uint32_t {
  // "%1 is not available yet." An engine operation whose implementation has not landed; the
  // operation reports it and answers failure.
  kFeaMsgNotAvailable = 0xc0002101,
  // "Could not move %1 to %2." (warning) An external analysis file stayed where it was.
  kFeaMsgCannotMoveFile = 0x80002102,
  // "The mesh could not be generated near (%1, %2, %3): %4" (the mesher's words).
  kFeaMsgMeshFailed = 0xc0002103,
  // "The solver could not be started: %1"
  kFeaMsgSolverNotStarted = 0xc0002104,
  // "The results %1 could not be read: %2" (the reader says where and why)
  kFeaMsgResultsDamaged = 0xc0002105,
  // "The analysis %1 failed: %2"
  kFeaMsgAnalysisFailed = 0xc0002106,
  // "The condition %1 cannot be applied: %2"
  kFeaMsgConditionNotApplied = 0xc0002107,
  // "The file %1 could not be written: %2"
  kFeaMsgCannotWrite = 0xc0002108,
  // "The load %1 acts where the model is restrained: ..." (warning)
  kFeaMsgLoadOnRestraint = 0x80002109,
  // "The material %1: %2." where %2 names the property, its value and the rule it breaks.
  kFeaMsgMaterialValue = 0xc000210a,
  // "The meshes cannot be made together: %1" (a setting joined meshing cannot honour, by name)
  kFeaMsgCannotJoinMeshes = 0xc000210b,
  // Texts of the core's table that the deck checks use.
  kFeaMsgNoLoads = 0xc0000fae,             // "This model does not contain any loads."
  kFeaMsgNoRestraints = 0xc0000faf,        // "This model does not contain any restraints."
  kFeaMsgInvalidMaterial = 0xc0000fab,     // "The material %1 used in this model has an invalid value."
  kFeaMsgNoElementProps = 0xc0000fb2,      // "This model does not contain any element properties."
  kFeaMsgBadElementProps = 0xc0000fb3,     // "This model contains invalid element properties."
  kFeaMsgMeshStaleResults = 0xc0000fe8,    // "Geometry has changed since the mesh was created and ... results exist."
  kFeaMsgMeshStale = 0xc0000fe9,           // "Geometry has changed since a mesh was created."
  kFeaMsgMateRelMeshType = 0xc00010d3,     // "The assembly mating relation %1 is not consistent with the type of mesh."
  kFeaMsgJobCompleted = 0xc0000fc8,        // "Analysis job completed successfully"
  kFeaMsgAdaptiveHasResults = 0xc00010e7,  // "Results are associated with the mesh for this model. ..."
  kFeaMsgAdaptiveDelayed = 0xc0001031,     // "Adaptive analysis may not be run delayed execution."
  kFeaMsgCannotAnalyse = 0xc0000fb8,       // "The analysis can not be performed. "
};

// Reports an engine operation that is not available yet (level 1, `operation` as insert).
void FeaReportNotAvailable(const char* operation);
