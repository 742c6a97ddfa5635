// A study: one analysis of a simple solid, described in a small text file, run through the engine
// (mesh, deck, solver job, results) and summed up.
//
// The description is one statement per line; "#" starts a comment; lengths and every other value
// in SI units:
//   geometry box LX LY LZ              a box from the origin
//   geometry cylinder R H              a cylinder on the z axis, base at the origin
//   geometry plate-with-hole LX LY LZ R  a box with a through hole of radius R at its centre (z)
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
// FACES is a face index (1-based, as OpenCASCADE's TopExp::MapShapes numbers the body's faces), a
// selector "x=min", "x=max", "y=min", ..., "z=max" (the planar faces lying at the body's extreme in
// that direction), or "curved" (the faces that are not planar).
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

struct Spec {
  std::string geometry;            // box, cylinder, plate-with-hole
  std::vector<double> dimensions;
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
  std::string analysis;
  // Wall-clock seconds of each stage: mesh, deck (written and submitted), solve, read.
  double seconds[4] = {0, 0, 0, 0};
};

// Reads a description; false with a message naming the line when it is not understood.
bool Parse(const std::string& text, Spec& spec, std::string& error);
// Runs the study in `workDir` (its deck, solver files and results stay there).
Summary Run(const Spec& spec, const std::filesystem::path& workDir);
// The results summary as printed.
std::string Format(const Summary& summary);

}  // namespace study
