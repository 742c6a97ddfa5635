// A study: one analysis of a simple solid, described in a small text file, run through the engine
// (mesh, deck, solver job, results) and summed up.
//
// The description is one statement per line; "#" at the start of a line or after a blank starts
// a comment. Every value is in SI units: lengths m, forces N, pressures Pa, temperatures K.
//   geometry box LX LY LZ              a box from the origin (m)
//   geometry cylinder R H              a cylinder on the z axis, base at the origin (m)
//   geometry plate-with-hole LX LY LZ R  a box with a through hole of radius R at its centre (z) (m)
//   part FILE [mm|cm|m]                a part file of the part modeller (relative to the study
//                                      file); its lengths are in the unit given, millimetres by
//                                      default, and are scaled to metres
//   material NAME E NU DENSITY [CONDUCTIVITY EXPANSION SPECIFICHEAT]
//                                      Young's modulus E (Pa), Poisson's ratio NU (none), density
//                                      (kg/m³), conductivity (W/(m·K)), thermal expansion (1/K),
//                                      specific heat (J/(kg·K))
//   analysis static|frequency|buckling|heat
//   mesh SIZE [linear|quadratic] [curvature off]
//                                      default element size (m) and order (quadratic by default);
//                                      elements follow curved faces unless curvature is off
//   modes N                            modes or buckling factors to find (1 to 100)
//   restrain FACES [free x|y|z...]     fixed face(s); listed directions stay free
//   force FACES FX FY FZ               total force (N) spread over the face(s)
//   pressure FACES P                   pressure (Pa), pushing into the face(s)
//   displacement FACES UX UY UZ        enforced displacement (m)
//   gravity GX GY GZ                   acceleration of gravity (m/s²)
//   temperature FACES T                fixed temperature (K)
//   flux FACES Q                       heat flux into the face(s) (W/m²)
//   convection FACES H TAMBIENT        film coefficient H (W/(m²·K)) to air at TAMBIENT (K)
//   refine FACES SIZE                  a smaller element size (m) on the face(s)
//   adapt TARGET [ITERATIONS]          h-adaptive static analysis: refine where the estimated error
//                                      (percent of the peak stress) exceeds TARGET, at most
//                                      ITERATIONS times (1 to 10, 3 by default)
// A shape optimisation varies parameters of the part (each cycle: the part rebuilt, meshed, solved):
//   optimise shape [CYCLES]            minimise the objective over at most CYCLES design cycles (1
//                                      to 50, 15 by default), with MMA and forward differences
//   variable NAME LOWER UPPER          a parameter of the part, in the part file's unit, between
//                                      two bounds; it starts at the part's value
//   objective mass|volume              the part's mass (kg) or volume (m³)
//   constraint stress FACES LIMIT      the largest von Mises stress (Pa) at the faces' nodes stays
//                                      at most LIMIT (leave out faces at a clamp: their stresses
//                                      are singular and never converge)
//   constraint displacement FACES LIMIT  the largest displacement (m) at the faces' nodes
// A Concept optimisation removes material element by element (SIMP or BESO), meshing once:
//   optimise concept [CYCLES]          least compliance at the target volume in at most CYCLES
//                                      cycles (1 to 200, 40 by default)
//   target FRACTION                    the volume kept, a fraction in (0, 1] (0.5 by default)
//   freeze FACES                       the elements touching the faces keep their material
//   filter RADIUS                      the sensitivity filter's radius (m); 1.5 mesh sizes by default
//   method simp|beso                   graded densities (SIMP, the default) or elements kept or
//                                      removed whole (BESO: from the full part to the target by 5%
//                                      of the volume a cycle, 20% in the first)
// FACES is a face index (1-based, as OpenCASCADE's TopExp::MapShapes numbers the body's faces), a
// selector "x=min", "x=max", "y=min", ..., "z=max" (the planar faces lying at the body's extreme in
// that direction), "curved" (the faces that are not planar), or, for a part, a persistent face name
// as the host prints it, with or without the part's name ("bracket/plate/top" or "plate/top"); a
// name that a later feature split also selects its pieces "plate/top#1", "plate/top#2" ...
// Exactly one geometry or part is given. Values must be finite; a study whose mesh would pass
// kMaxEstimatedElements is refused before meshing. A shipped study states its closed-form value on
// a comment line "# expect QUANTITY VALUE within TOLERANCE %", which the tests check.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fea/OptConcept.h"
#include "fea/OptRun.h"
#include "kestrum/result.h"

class AnlModel;
class FerResultSet;

namespace study {

inline constexpr int kMaxModes = 100;
inline constexpr int kMaxAdaptPasses = 10;
inline constexpr int kMaxDesignCycles = 50;
inline constexpr int kMaxConceptCycles = 200;
// The smallest size of a constraint's limit (constraints are scaled by it).
inline constexpr double kSmallestLimit = 1e-10;
// The largest mesh a study may ask for, in elements estimated from the body's volume and the
// sizes; far beyond it a mesh takes minutes and gigabytes, usually because lengths were typed in
// millimetres.
inline constexpr double kMaxEstimatedElements = 2e6;

struct Condition {
  std::string kind;   // restrain, force, ..., convection, refine
  std::string faces;  // index, selector or face name
  std::vector<double> values;
  int free[6] = {0, 0, 0, 0, 0, 0};
  int line = 0;  // of the study file
};

struct DesignVariable {
  std::string name;
  double lower = 0.0;
  double upper = 0.0;
  int line = 0;
};

struct DesignConstraint {
  std::string response;  // stress, displacement
  std::string faces;
  double limit = 0.0;
  int line = 0;
};

struct Description {
  std::string file;      // the study file, for messages
  std::string geometry;  // box, cylinder, plate-with-hole; empty for a part
  std::vector<double> dimensions;
  std::filesystem::path partFile;  // a part file instead of a geometry
  double partUnit = 0.001;         // metres per length unit of the part file
  int shapeLine = 0;               // the geometry or part statement
  double adaptTarget = 0.0;        // percent; 0: no adaptation
  int adaptIterations = 3;
  int adaptLine = 0;
  std::string materialName = "material";
  std::vector<double> material;  // E, nu, density, conductivity, expansion, specific heat
  std::string analysis = "static";
  double meshSize = 0.0;
  int meshLine = 0;
  int order = 2;
  bool curvatureScaling = true;
  int modes = 0;
  std::vector<Condition> conditions;
  double gravity[3] = {0, 0, 0};
  bool hasGravity = false;
  // Shape optimisation (optimise shape): empty when the study is one analysis.
  std::string optimise;
  int optimiseLine = 0;
  int maxCycles = 15;
  std::vector<DesignVariable> variables;
  std::string objective = "mass";
  std::vector<DesignConstraint> designConstraints;
  double targetFraction = 0.5;
  double filterRadius = 0.0;  // 0: 1.5 mesh sizes
  OptConceptMethod method = OptConceptMethod::Simp;
  std::vector<std::string> frozenFaces;
};

// What a shape optimisation did, cycle by cycle (cycle 0: the starting design).
struct OptimisationSummary {
  std::string algorithm;
  int exitCode = 0;
  std::string exitMessage;
  std::vector<std::string> variables;    // names, in the study's order
  std::vector<std::string> constraints;  // "stress outer/top" ...
  std::vector<OptCycle> cycles;
  std::vector<double> finalDesign;
  // Per cycle, wall-clock seconds: the whole cycle, and inside it the meshing and the solver
  // (the longest of the cycle's parallel solver runs); the rest is overhead (rebuild, decks,
  // reading, responses, optimiser, waiting).
  std::vector<double> cycleSeconds;
  std::vector<double> meshSeconds;
  std::vector<double> solveSeconds;
  // The analyses the cycle ran side by side (1 + one per variable with sensitivities).
  std::vector<int> analyses;
  // Concept: each cycle's volume fraction and compliance, the elements and their final densities.
  std::vector<OptConceptCycle> conceptCycles;
  std::vector<OptConceptElement> elements;
  std::vector<double> densities;
};

struct Summary {
  std::string analysis;
  int nodes = 0;
  int elements = 0;
  double maxDisplacement = 0.0;
  double maxVonMises = 0.0;
  std::vector<double> frequencies;      // Hz
  std::vector<double> bucklingFactors;  // lowest first
  double minTemperature = 0.0;
  double maxTemperature = 0.0;
  // Static analysis: the strain energy (J, the elements' energies added up) and the largest
  // estimated stress error at a node (percent of the peak von Mises stress).
  double strainEnergy = 0.0;
  double maxErrorEstimate = 0.0;
  // Adaptive runs: the target (percent) and the largest estimated error of each analysis.
  double adaptTarget = 0.0;
  std::vector<double> adaptErrors;
  // Doubtful conditions that did not stop the run (a load on a restrained face).
  std::vector<std::string> warnings;
  // Wall-clock seconds of each stage: mesh, deck (written and submitted), solve, read.
  double seconds[4] = {0, 0, 0, 0};
  // A shape optimisation's run.
  std::optional<OptimisationSummary> optimisation;
  // Peak resident memory (MB) after each stage: of this process for mesh, deck and read, of the
  // solver process for solve.
  double peakMB[4] = {0, 0, 0, 0};
};

// Reads a description from its text; `file` names it in problems and is the folder a relative
// part file is taken from. Reads nothing from the disk.
kestrum::Result<Description> ParseStudy(std::string_view text, const std::filesystem::path& file);
// Runs the study in `workDir` (its deck, solver files and results stay there). Phases and the
// solver's progress go to `progress` when given.
kestrum::Result<Summary> Run(const Description& description, const std::filesystem::path& workDir,
                             std::ostream* progress = nullptr);
// The same, handing the model and each analysis's new result set to `solved` (before an adaptive
// pass refines the meshes), so that a caller can judge them.
using SolvedHook = std::function<void(AnlModel& model, FerResultSet& set)>;
kestrum::Result<Summary> Run(const Description& description, const std::filesystem::path& workDir,
                             std::ostream* progress, const SolvedHook& solved);
// The results summary as printed.
std::string Format(const Summary& summary);

}  // namespace study
