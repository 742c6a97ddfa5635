// A study: one analysis of a simple solid, described in a small text file, run through the engine
// (mesh, deck, solver job, results) and summed up.
//
// The description is one statement per line; "#" at the start of a line or after a blank starts
// a comment; lengths and every other value in SI units:
//   geometry box LX LY LZ              a box from the origin
//   geometry cylinder R H              a cylinder on the z axis, base at the origin
//   geometry plate-with-hole LX LY LZ R  a box with a through hole of radius R at its centre (z)
//   part FILE [mm|cm|m]                a part file of the part modeller (relative to the study
//                                      file); its lengths are in the unit given, millimetres by
//                                      default, and are scaled to metres
//   material NAME E NU DENSITY [CONDUCTIVITY EXPANSION SPECIFICHEAT]
//   analysis static|frequency|buckling|heat
//   mesh SIZE [linear|quadratic]       default element size and order (quadratic by default)
//   modes N                            modes or buckling factors to find
//   restrain FACES [free x|y|z...]     fixed face(s); listed directions stay free
//   force FACES FX FY FZ               total force spread over the face(s)
//   pressure FACES P
//   displacement FACES UX UY UZ        enforced displacement
//   gravity GX GY GZ
//   temperature FACES T                fixed temperature (kelvin)
//   flux FACES Q                       heat flux into the face(s)
//   convection FACES H TAMBIENT
//   refine FACES SIZE                  a smaller element size on the face(s)
//   adapt TARGET [ITERATIONS]          h-adaptive static analysis: refine where the estimated error
//                                      (percent) exceeds TARGET, at most ITERATIONS times (3)
// FACES is a face index (1-based, as OpenCASCADE's TopExp::MapShapes numbers the body's faces), a
// selector "x=min", "x=max", "y=min", ..., "z=max" (the planar faces lying at the body's extreme in
// that direction), "curved" (the faces that are not planar), or, for a part, a persistent face name
// such as "plate/top" or "hole1/side" (a name that a later feature split also selects its pieces
// "plate/top#1", "plate/top#2" ...). Exactly one of geometry and part is given.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace study {

struct Condition {
  std::string kind;        // restrain, force, ..., convection, refine
  std::string faces;       // index or selector
  std::vector<double> values;
  int free[6] = {0, 0, 0, 0, 0, 0};
};

struct Description {
  std::string geometry;            // box, cylinder, plate-with-hole; empty for a part
  std::vector<double> dimensions;
  std::filesystem::path partFile;  // a part file instead of a geometry
  double partUnit = 0.001;         // metres per length unit of the part file
  double adaptTarget = 0.0;        // percent; 0: no adaptation
  int adaptIterations = 3;
  std::string materialName = "material";
  std::vector<double> material;    // E, nu, density, conductivity, expansion, specific heat
  std::string analysis = "static";
  double meshSize = 0.0;
  int order = 2;
  int modes = 0;
  std::vector<Condition> conditions;
  double gravity[3] = {0, 0, 0};
  bool hasGravity = false;
};

struct Summary {
  bool ok = false;
  std::string error;
  int nodes = 0;
  int elements = 0;
  double maxDisplacement = 0.0;
  double maxVonMises = 0.0;
  std::vector<double> frequencies;
  double bucklingFactor = 0.0;
  double minTemperature = 0.0;
  double maxTemperature = 0.0;
  // Static analysis: the strain energy (J, the elements' energies added up) and the largest
  // estimated stress error at a node (percent of the peak von Mises stress).
  double strainEnergy = 0.0;
  double maxErrorEstimate = 0.0;
  // Adaptive runs: the largest estimated error of each analysis, first to last.
  std::vector<double> adaptErrors;
  std::string analysis;
  // Wall-clock seconds of each stage: mesh, deck (written and submitted), solve, read.
  double seconds[4] = {0, 0, 0, 0};
  // Peak resident memory (MB) after each stage: of this process for mesh, deck and read, of the
  // solver process for solve.
  double peakMB[4] = {0, 0, 0, 0};
};

// Reads a description; false with a message naming the line when it is not understood. A relative
// part file is taken from `folder`.
bool Parse(const std::string& text, Description& description, std::string& error, const std::filesystem::path& folder = {});
// Runs the study in `workDir` (its deck, solver files and results stay there).
Summary Run(const Description& description, const std::filesystem::path& workDir);
// The results summary as printed.
std::string Format(const Summary& summary);

}  // namespace study
