// Concept optimisation runs: least compliance at a target volume by SIMP or BESO over the elements.
//
// Each element has a density x in [kMinDensity, 1]; its stiffness is x^p times the material's
// (p the penalty). A cycle bins the densities into a few material groups (the deck's element
// material groups), solves, and takes the element strain energies the solver reports; the
// compliance is twice their sum. The sensitivities dC/dx = -p C_e / x are filtered over a radius
// (each element's the distance-weighted mean over its neighbours) and the densities updated by the
// optimality criteria, keeping the volume at the target, each change within the move limit.
// Frozen elements keep density 1; removed (priority) ones the least density. A run starts from a
// uniform density at the target, so the volume is at the target from the first cycle.
//
// BESO (bi-directional evolutionary) keeps each element full or at the least density. A run
// starts full; the first cycle removes the first change (a fraction of the volume), each later one
// the evolution rate more, until the target is reached. Each cycle keeps the elements of the
// highest sensitivity numbers (strain energy per volume, filtered, averaged with the previous
// cycle's to damp swings) up to that cycle's volume, so removed elements may come back. At the
// target it has converged when the mean compliance of the last few cycles is within the
// converged change of that of the few before.
#pragma once

#include <string>
#include <vector>

#include "amg/CaeVector.h"

struct OptConceptElement {
  long id = 0;
  CaeVector centroid;
  double volume = 0.0;
  bool frozen = false;   // Freeze control: kept
  bool removed = false;  // Priority control: removed
};

enum class OptConceptMethod { Simp, Beso };

struct OptConceptSettings {
  static constexpr double kMinDensity = 1e-3;
  // BESO: the cycles compared at the target are twice this many.
  static constexpr int kBesoWindow = 3;
  OptConceptMethod method = OptConceptMethod::Simp;
  double targetFraction = 0.5;  // of the elements' volume, in (0, 1]
  int maxCycles = 30;
  double moveLimit = 0.2;       // largest change of a density per cycle
  double firstChange = 0.2;     // largest change in the first cycle (BESO: volume removed in it)
  double evolutionRate = 0.05;  // BESO: volume removed per later cycle, as a fraction of the whole
  double filterRadius = 0.0;    // in the elements' length unit; 0: no filter
  double penalty = 3.0;
  // The optimality criteria's exponent: 1/2 is the usual; 1 / (penalty + 1) settles in one step
  // where each element's energy depends on its own density only (statically determinate members),
  // on which 1/2 swings between two designs.
  double damping = 0.5;
  int groups = 32;  // material groups of the deck (2 to 100)
  // SIMP: the largest density change of a converged run (at least two groups' widths). BESO: the
  // relative change of the compliance of a converged run.
  double convergedChange = 0.01;
};

// One cycle: the design's volume fraction and compliance (per static case), the largest density
// change it made (BESO: the volume fraction of the elements it switched).
struct OptConceptCycle {
  int index = 0;
  double volumeFraction = 0.0;
  std::vector<double> compliance;
  double change = 0.0;
};

class OptConceptEvaluator {
 public:
  virtual ~OptConceptEvaluator() = default;
  // Solves with each element in a group (index into `scales`, the groups' stiffness factors):
  // the strain energy of each element (in the elements' order) summed over the static cases, and
  // each case's compliance. False with the reason when the analysis fails.
  virtual bool Solve(const std::vector<int>& group, const std::vector<double>& scales, std::vector<double>& energies,
                     std::vector<double>& compliance, std::string& reason) = 0;
  virtual bool Interrupted() { return false; }
  virtual void CycleDone(const OptConceptCycle&) {}
};

class OptConceptRun {
 public:
  OptConceptRun(std::vector<OptConceptElement> elements, const OptConceptSettings& settings);
  // Runs to the end; answers the exit code (OptExitCode: 1 converged, 3 cycles used up, 5 the
  // first cycle failed or was interrupted, 6 the problem was refused).
  int Run(OptConceptEvaluator& evaluator);
  // The densities of the last design analysed (the final design), in the elements' order.
  const std::vector<double>& Densities() const { return analysed_; }
  const std::vector<OptConceptCycle>& Cycles() const { return cycles_; }
  int ExitCode() const { return exitCode_; }
  const std::string& ExitMessage() const { return exitMessage_; }
  // The elements kept in the final design: density at least one half.
  std::vector<long> KeptElements() const;
  // Groups of the densities: the group of each element and each group's stiffness factor.
  void Groups(std::vector<int>& group, std::vector<double>& scales) const;

 private:
  std::vector<double> FilteredSensitivity(const std::vector<double>& sensitivity) const;
  double Update(const std::vector<double>& sensitivity, double moveLimit);
  // BESO: the next design of `volume` from this cycle's sensitivities; answers the switched volume.
  double BesoUpdate(const std::vector<double>& sensitivity, double volume);
  bool BesoConverged(double volume) const;
  double TotalVolume() const;
  void FindNeighbours();

  std::vector<OptConceptElement> elements_;
  OptConceptSettings settings_;
  std::vector<double> density_;
  std::vector<double> analysed_;
  std::vector<std::vector<std::pair<int, double>>> neighbours_;  // (element, weight)
  std::vector<double> previousNumbers_;                          // BESO: last cycle's sensitivity numbers
  std::vector<OptConceptCycle> cycles_;
  int exitCode_ = 0;
  std::string exitMessage_;
};
