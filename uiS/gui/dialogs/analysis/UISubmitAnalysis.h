// Solving the current simulation model: the "CAEP_ANALYZE" command with its simulation-parameter
// sheet, the submission to the engine that the command and the guide's execution page share, and
// the job of the last submission.
#pragma once
#include <cstdint>
#include <ctime>

#include "amg/CaeFlags.h"
#include "amg/CaeList.h"
#include "amg/CaeString.h"

class AnlJob;
class AnlModel;
class AnlResltCase;

// The output requests of the Options page, one bit per check box.
enum UIOutputRequest : std::uint32_t {
  kUIOutAppliedLoads = 1,
  kUIOutReactionForces = 2,
  kUIOutDisplacements = 4,
  kUIOutStress = 8,
  kUIOutStrain = 16,
  kUIOutElementForces = 32,
  kUIOutStrainEnergy = 64,
  kUIOutTemperature = 128,
  kUIOutFlux = 256,
};

// Deck formats of the Execution page's save-as type.
enum UIDeckFormat : int { kUIDeckInput = 0, kUIDeckNeutral = 1 };

// Mode extraction of a vibration or buckling submission; bounds in native units (vibration) or
// load factors (buckling); the method is the deck writer's (AnlWriter::kModes*).
struct UIModeSettings {
  int numModes = 0;
  double lower = 0.0;
  double upper = 0.0;
  int method = 0;
};

// The deck writer's output bits for the sheet's requests on `model`. Applied loads and element
// forces are no solver output: `unwritten` tells whether either was asked for. A request that maps
// to nothing still asks for the model's primary nodal result (displacements, or temperatures for
// heat transfer): the writer reads no bits at all as "its defaults".
std::uint32_t UIWriterOutputRequests(const CaeFlags& requests, AnlModel& model, bool& unwritten);

// Makes the live deferred meshes not made yet (flushing the graphics when any was made); a mesh
// that fails takes its sub-model with it and answers false (the generator has said why).
bool UIGenerateDeferredMeshes(AnlModel& model);

// Generates the deferred meshes, writes the deck and submits it (normal or h-adaptive), deleting
// the result cases of `cases` (the list itself stays the caller's) whichever way it returns.
// Nonzero when an analysis was submitted. A non-empty file name writes the deck there and starts no
// solver; the deck format must be the input deck (a neutral file has no writer: a message, nothing
// written).
int UISubmitAnalysis(AnlModel* model, CaeString& fileName, int deckFormat, const UIModeSettings* modes,
                     CaeList<AnlResltCase>& cases, const CaeFlags& requests, const std::tm* startTime,
                     double tempConvergence);

// The current model's job named as the last successful normal submission's, when it is live and
// failed, pending or with results; null otherwise.
AnlJob* UISubmittedJob();
// The name UISubmittedJob looks for (empty until a submission; cleared at load and unload).
const CaeString& UISubmittedJobName();
void UIResetSubmittedJobName();
