// The design doctor's judge: tests a solved result set and, for a diagnosis, leaves the results
// view showing what it found.
//
// Tests answer 0 passed, 1 failed, 2 nothing to judge (the set is not of the type asked, or lacks
// what the test needs). Diagnoses answer the same status and also change the current display's
// settings (without redrawing until FerState::UpdateImage): the error by node banded at the
// allowed error, the factor of safety against yield, the frequency or buckling mode that decides
// the test on the deformed shape, the temperature on the allowed range. ResetDisplay puts back
// the settings the display had when the doctor was made.
//
// Analysis types are the result set's (0 stress, 1 vibration, 2 buckling, 3 heat transfer);
// values are native (stress Pa, frequency Hz, temperature K).
#pragma once

#include <memory>
#include <vector>

#include "fea/FerSettings.h"

class AnlModel;
class FerResultSet;

// Shape measures of one element: aspect ratio (1 for a regular tetrahedron, growing as it
// flattens), the smallest scaled Jacobian at a corner (1 regular, 0 flat, negative inverted) and
// the largest distance of a midside node from its edge's midpoint in edge lengths (0 straight).
struct FerElementShape {
  double aspectRatio = 1.0;
  double scaledJacobian = 1.0;
  double midsideDistortion = 0.0;
};

class FerDoctor {
 public:
  // Judges the result set the current display shows, with the current analysis model's
  // materials. The flag is the engine's and is not used.
  explicit FerDoctor(int flag);
  // Judges `set`, with the materials of `model` (may be null: then no yield is known).
  FerDoctor(FerResultSet* set, AnlModel* model);
  ~FerDoctor();
  FerDoctor(const FerDoctor&) = delete;
  FerDoctor& operator=(const FerDoctor&) = delete;

  FerResultSet* ResultSet() const { return set_; }

  // Meshing error: fails when the largest element error (MaxError, percent of the peak) is above
  // `maxErrorPercent`.
  int TestQuality(int type, double maxErrorPercent);
  int DiagnoseQuality(int type, double maxErrorPercent);
  // Linear elasticity (stress sets): fails when a sub-model's largest nodal von Mises stress is
  // above its material's yield (the first row's).
  int TestValidity(int type);
  int DiagnoseValidity(int type);
  // Design: type 0, the smallest factor of safety against yield (MinFOS) at least `minimum`;
  // type 2, the lowest positive buckling factor (MinFOS) at least `minimum`.
  int TestDesign(int type, double minimum);
  int DiagnoseDesign(int type, double minimum);
  // Design: type 1, every frequency within [lower, upper]; type 3, every nodal temperature.
  int TestDesign(int type, double lower, double upper);
  int DiagnoseDesign(int type, double lower, double upper);

  // Percent of the peak; 0 before a quality test.
  double MaxError() const { return maxError_; }
  // The smallest factor of safety against yield after a validity or stress design test; the
  // lowest positive buckling factor after a buckling design test; 0 before.
  double MinFOS() const { return minFOS_; }
  // The result quantity the error is judged by (what AnlModel::AdaptMeshes refines by).
  int QuantityType() const;
  // Puts back the display settings of when the doctor was made, and redraws.
  void ResetDisplay();

  // What the tests do not judge, answered on request.
  // The worst shape over the set's mesh (largest aspect ratio, smallest scaled Jacobian, largest
  // midside distortion over its tetrahedra); false without tetrahedra.
  bool WorstElementShape(FerElementShape& shape) const;
  // The shape of one tetrahedron from its 4 corners or 10 nodes (corners, then the midside nodes of
  // edges 1-2, 2-3, 3-1, 1-4, 2-4, 3-4), x y z each.
  static FerElementShape MeasureTet(const double points[][3], int nodes);
  // The largest displacement magnitude over the diagonal of the mesh's bounding box; 0 without.
  double DisplacementToSize() const;
  // Whether a nodal temperature lies outside the temperatures of a sub-model material's rows
  // (materials with one row hold at every temperature).
  bool TemperaturesBeyondMaterials() const;

 private:
  struct SubModelPeak {
    double vonMises = 0.0;
    double yield = 0.0;
  };
  bool StressPeaks(std::vector<SubModelPeak>& peaks) const;
  int JudgeQuality(int type, double maxErrorPercent, bool show);
  int JudgeValidity(int type, bool show);
  int JudgeSafety(double minimum, bool show);
  int JudgeBuckling(double minimum, bool show);
  int JudgeFrequencies(double lower, double upper, bool show);
  int JudgeTemperatures(double lower, double upper, bool show);
  // Changes the display's settings by `change`; nothing without a display.
  template <class Change>
  void Show(Change change);

  FerResultSet* set_ = nullptr;
  AnlModel* model_ = nullptr;
  bool haveSaved_ = false;
  FerDispSettings saved_;
  double maxError_ = 0.0;
  double minFOS_ = 0.0;
};
