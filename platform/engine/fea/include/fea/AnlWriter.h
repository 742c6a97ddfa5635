// The deck writer: turns a model and its result cases into a CalculiX input deck.
//
// A deck holds the model's nodes and elements (one element set per sub-model), one material per
// sub-model (its property rows by temperature), sections (solid, or shell with the sub-model's
// thickness), mating relations as tied surfaces, then one step per result case: the analysis
// type's step (*STATIC, *FREQUENCY, *BUCKLE, *HEAT TRANSFER steady state) with the case's load sets
// and restraint sets, each scaled by its entry's factor, and the output requests. Values are in the
// engine's native units inside and written in SI; the deck's unit system is SI. Stresses and
// strains asked for are also printed at the integration points of solid parts (*EL PRINT), which
// the results reader turns into element values.
//
// How conditions reach the deck: restraints and enforced displacements (fixed components only)
// and fixed temperatures as boundary values of the nodes on their vertex, edge or face; forces,
// distributed and total forces, pressures and moments as consistent nodal loads over the element
// faces or edges (a moment as a pure couple about the face's centre); heat flows likewise; heat
// fluxes and convection on the element faces of solids; heat generation on the sub-model's
// elements; spin, gravity and acceleration on every element; the model temperature as the
// initial (reference) temperature and the step's temperature. A positive pressure pushes into the
// material: given in the axes of a face coordinate system (whose z axis points into the material)
// it is the value's z component, otherwise its x component in global axes. Restraints act in global axes (a
// condition's own coordinate system is not used for them), a pinned restraint without axes of
// its own must lie on a cylindrical face (recognised from the face's mesh): its nodes keep their
// distance from the face's axis and their place along it and are free to turn about it (a
// cylindrical *TRANSFORM); on any other face Check refuses it, naming the condition. A film coefficient or heat
// generation given by temperature rows uses its first row. A buckling model gets one *BUCKLE step on the case's loads
// (the solver computes the preload state itself). Conditions that do not apply to the model's type are left out and
// Write says so. Parts meshed together share nodes (written once); mated faces of different parts are tied.
//
// Sub-models whose mesh is not generated yet (a deferred mesh) are meshed first, numbering on
// from the meshes already there.
//
// Check answers why a deck would be refused by the solver (no model, no result case, no mesh, no
// material or an invalid one, no restraint, no load where the analysis needs one, a condition that
// lies on nothing of the mesh, a part neither restrained nor joined to a restrained part, a mating relation that is
// not two faces of two different solid parts, named with the reason). Write refuses to write such a deck. The writer
// refers to its model and result cases without owning them.
#pragma once

#include <cstdint>
#include <vector>

#include "amg/CaeArray.h"
#include "amg/CaeFlags.h"
#include "amg/CaeString.h"
#include "fea/AnlTypes.h"

class AnlJob;
class AnlModel;
class AnlResltCase;
namespace fea_detail {
struct DeckRequest;
}

class AnlWriter {
 public:
  // Output request bits (SetOutputRequests). No bit set: what the analysis type shows
  // (displacements and stresses, with strain energies for a static analysis of solids and the
  // stress error estimate when they are quadratic; or temperatures and heat fluxes).
  enum : std::uint32_t {
    kOutDisplacement = 1,
    kOutStress = 2,
    kOutStrain = 4,
    kOutReaction = 8,
    kOutTemperature = 16,
    kOutHeatFlux = 32,
    kOutStrainEnergy = 64,
    kOutErrorEstimate = 512,
  };
  // Above this many nodes a static or heat step uses the solver's iterative equation solver,
  // whose memory grows linearly; below it the direct solver, which is faster on such models.
  static constexpr int kIterativeSolverNodes = 300000;

  AnlWriter() = default;
  explicit AnlWriter(AnlModel* model, AnlCode code = AnlCodeSolve) : model_(model), code_(code) {}
  virtual ~AnlWriter() = default;

  AnlModel* Model() const { return model_; }
  void SetModel(AnlModel* model) { model_ = model; }

  void AddResltCase(AnlResltCase* resultCase) { resultCases_.push_back(resultCase); }
  int NumResltCases() const { return static_cast<int>(resultCases_.size()); }
  AnlResltCase* ResltCase(int index) const;
  void SetOutputRequests(const CaeFlags& requests) { outputRequests_ = requests; }
  const CaeFlags& OutputRequests() const { return outputRequests_; }
  // Which modes (or buckling factors) to extract. The solver finds buckling factors from the
  // lowest on and takes no range: a buckling deck asks for the lowest ones only, and Check refuses
  // the other methods for it.
  enum : int {
    kModesLowest = 0,         // the n lowest
    kModesLowestInRange = 1,  // the n lowest between the low and high values
    kModesAllInRange = 2,     // every mode between the low and high values (at most kModesInRangeAsked)
    kModesAbove = 3,          // the n lowest above the low value
  };
  static constexpr int kModesInRangeAsked = 100;
  void SetModeMethod(int method) { modeMethod_ = method; }
  int ModeMethod() const { return modeMethod_; }
  // Modes (or buckling factors) to extract; 0: 5 modes, 1 buckling factor.
  void SetNumModes(int count) { numModes_ = count; }
  int NumModes() const { return numModes_; }
  // The frequency range of the modes (native frequency) for the range methods.
  void SetLowMode(double value) { lowMode_ = value; }
  double LowMode() const { return lowMode_; }
  void SetHighMode(double value) { highMode_ = value; }
  double HighMode() const { return highMode_; }
  // Temperature convergence of an iterating heat step (percent of the largest temperature change):
  // written where a material's conductivity depends on temperature, which makes the heat step
  // iterate; a linear heat step is solved in one go and has nothing to converge. 0: the solver's.
  void SetTempConv(double value) { tempConv_ = value; }
  double TempConv() const { return tempConv_; }

  // Nonzero when a deck can be written; otherwise appends the reasons to `report`.
  virtual int Check(CaeArray<CaeString>& report);
  // Writes the deck atomically. 0: not written, `message` says why (the file is untouched).
  virtual int Write(const CaeString& fileName, CaeString& message);
  // Writes the job's deck (deckFile, else the job's deck name) and records the deck's units and
  // the result-case names on the job. Nonzero on success. The flag is the engine's; unused.
  virtual int CreateDeck(AnlJob* job, const CaeString& deckFile, CaeString& message, int flag);

 private:
  fea_detail::DeckRequest Request() const;
  AnlModel* model_ = nullptr;
  AnlCode code_ = AnlCodeSolve;
  std::vector<AnlResltCase*> resultCases_;
  CaeFlags outputRequests_;
  int modeMethod_ = 0;
  int numModes_ = 0;
  double lowMode_ = 0.0;
  double highMode_ = 0.0;
  double tempConv_ = 0.0;
};
