// One design of a study's part for a shape optimisation: the part rebuilt with given parameter
// values, meshed, its conditions applied; its analyses started and their responses read.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Study.h"
#include "kestrum/result.h"

class AnlJob;

namespace study {

// The responses of one solved design.
struct DesignResponses {
  double volume = 0.0;  // m³, of the design's solid
  double mass = 0.0;    // kg: the material's density times the volume
  // One per constraint of the study: the largest value at its faces' nodes.
  std::vector<double> constraints;
};

using ParameterValues = std::vector<std::pair<std::string, double>>;

class Design {
 public:
  ~Design();
  Design(const Design&) = delete;
  Design& operator=(const Design&) = delete;

  // The part rebuilt with the values (nothing meshed yet); a design the part modeller refuses
  // answers its reason ("the part could not be rebuilt: ...").
  static kestrum::Result<std::unique_ptr<Design>> Make(const Description& description, const ParameterValues& values);
  // A parameter of the part as rebuilt; false when it has none of that name.
  bool Parameter(const std::string& name, double& value) const;
  // Meshes the design and applies the conditions.
  kestrum::Status Mesh();
  int Nodes() const;
  // The mesh's elements for a Concept run: centroid, volume, frozen when touching a frozen face.
  kestrum::Result<std::vector<OptConceptElement>> Elements() const;
  // The deck's element material groups (see AmgMesh::SetMaterialGroups).
  void SetMaterialGroups(std::vector<double> scales, std::unordered_map<long, int> groups);
  // The strain energies of the listed elements in a finished job's results, and the compliance
  // (twice their sum).
  kestrum::Result<std::vector<double>> ReadEnergies(AnlJob& job, const std::vector<long>& elements, double& compliance);
  // Whether `other` is this design moved axis by axis (each coordinate scaled and shifted, every
  // vertex of the solid in its place): this design's mesh then carries exactly onto it.
  bool CarriesOnto(const Design& other) const;
  // Writes a deck into `folder` and starts the solver on `threads` threads: this design's mesh,
  // its nodes carried onto `onto` when given (CarriesOnto must hold), else as meshed.
  kestrum::Result<AnlJob*> Start(const std::filesystem::path& folder, int threads, const Design* onto = nullptr);
  // The responses of a finished job of this design's mesh, the solid being `shape` (this design,
  // or the one its nodes were carried onto). The job's files are removed unless `keep`.
  kestrum::Result<DesignResponses> Read(AnlJob& job, const Design& shape, bool keep);

 private:
  struct Parts;
  explicit Design(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

// Waits for each job (polling them together); answers the reason of the first that failed,
// empty when every one has results.
std::string WaitForAll(const std::vector<AnlJob*>& jobs);

// The Concept optimisation of a study: meshes once, then one analysis per cycle in `workDir`.
kestrum::Result<Summary> OptimiseConcept(const Description& description, const std::filesystem::path& workDir,
                                         std::ostream* progress);

// The shape optimisation of a study: runs it in `workDir` (cycle folders and "history.txt").
kestrum::Result<Summary> Optimise(const Description& description, const std::filesystem::path& workDir,
                                  std::ostream* progress);

}  // namespace study
