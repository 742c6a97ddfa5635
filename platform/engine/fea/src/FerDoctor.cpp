#include "fea/FerDoctor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "ErrorEstimate.h"
#include "amg/CaeList.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlTypes.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"

namespace {

constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kNotApplicable = 2;

// Component bits of the colour setting.
constexpr int kFirstComponent = 1;      // von Mises, the temperature, the error
constexpr int kMagnitudeComponent = 8;  // displacement magnitude
// The error display: two bands, below and above the allowed error.
constexpr int kErrorBands = 2;
// Colour range types: 2 a stored minimum and maximum.
constexpr int kRangeMinMax = 2;

int Status(bool passed) { return passed ? kPassed : kFailed; }

CaeMaterial* MaterialOf(AnlSubModel* sub) { return sub ? sub->GetMaterial() : nullptr; }

// The yield of a material: its first row's (the rows' order is the material's); 0 without rows.
double YieldOf(const CaeMaterial* material) {
  if (!material) return 0.0;
  CaeArray<double> temperatures;
  if (material->GetTemps(temperatures) < 1) return 0.0;
  double values[CaeMaterial::kPropCount] = {};
  if (!material->GetProp(temperatures[0], values)) return 0.0;
  return values[CaeMaterial::kYield];
}

std::vector<AnlSubModel*> LiveSubModels(AnlModel* model) {
  std::vector<AnlSubModel*> subs;
  if (!model) return subs;
  for (int i = 0; i < model->NumSubModels(); ++i)
    if (AnlSubModel* sub = model->GetSubModel(i); sub && !sub->IsMarkedAsErased()) subs.push_back(sub);
  return subs;
}

double Distance(const double a[3], const double b[3]) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

void Sub(const double a[3], const double b[3], double out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = a[i] - b[i];
}

double Det(const double a[3], const double b[3], const double c[3]) {
  return a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
}

double TriangleArea(const double a[3], const double b[3], const double c[3]) {
  double u[3], v[3];
  Sub(b, a, u);
  Sub(c, a, v);
  const double x = u[1] * v[2] - u[2] * v[1], y = u[2] * v[0] - u[0] * v[2], z = u[0] * v[1] - u[1] * v[0];
  return 0.5 * std::sqrt(x * x + y * y + z * z);
}

}  // namespace

FerDoctor::FerDoctor(int) {
  FerState* state = FerState::GetState();
  CaeFerInterface* view = state ? state->GetInterface() : nullptr;
  if (view) {
    set_ = view->GetResultSet();
    FerDisplay* display = nullptr;
    view->GetFerSettings(display, saved_);
    haveSaved_ = display != nullptr;
  }
  if (AnlControl* control = AnlControl::GetCurrent()) model_ = control->CurrentAnlModel();
}

FerDoctor::FerDoctor(FerResultSet* set, AnlModel* model) : set_(set), model_(model) {
  FerState* state = FerState::GetState();
  if (CaeFerInterface* view = state ? state->GetInterface() : nullptr) {
    FerDisplay* display = nullptr;
    view->GetFerSettings(display, saved_);
    haveSaved_ = display != nullptr;
  }
}

FerDoctor::~FerDoctor() = default;

template <class Change>
void FerDoctor::Show(Change change) {
  FerState* state = FerState::GetState();
  CaeFerInterface* view = state ? state->GetInterface() : nullptr;
  if (!view || !set_) return;
  FerDisplay* display = nullptr;
  FerDispSettings settings;
  view->GetFerSettings(display, settings);
  if (!display) return;
  settings.SetResultSet(set_->Name());
  settings.SetResultSubSet(1);
  change(settings);
  view->SetFerSettings(display, settings);
  // The finding is drawn at once: the window may be shown (or pictured) before anything else redraws it.
  state->UpdateImage();
}

void FerDoctor::ResetDisplay() {
  FerState* state = FerState::GetState();
  CaeFerInterface* view = state ? state->GetInterface() : nullptr;
  if (!view || !haveSaved_) return;
  FerDisplay* display = nullptr;
  FerDispSettings current;
  view->GetFerSettings(display, current);
  if (!display) return;
  view->SetFerSettings(display, saved_);
  state->UpdateImage();
}

int FerDoctor::QuantityType() const { return set_ ? fea_detail::ErrorQuantity(*set_) : 0; }

// --- meshing error ---------------------------------------------------------------------------

int FerDoctor::TestQuality(int type, double maxErrorPercent) { return JudgeQuality(type, maxErrorPercent, false); }

int FerDoctor::DiagnoseQuality(int type, double maxErrorPercent) { return JudgeQuality(type, maxErrorPercent, true); }

int FerDoctor::JudgeQuality(int type, double maxErrorPercent, bool show) {
  if (!set_ || set_->AnalType() != type) return kNotApplicable;
  fea_detail::ElementErrors errors;
  if (!fea_detail::EstimateErrors(*set_, QuantityType(), errors)) return kNotApplicable;
  maxError_ = errors.maxPercent;
  if (show) {
    // Sets whose solver gives no estimate get the doctor's, at the nodes, to be shown.
    if (!errors.fromSolver) {
      FerResult* shown = set_->FindResult(FerQtyErrorEstimate);
      if (!shown) {
        shown = new FerResult(FerQtyErrorEstimate);
        shown->SetFieldValue(1);
        set_->AddResult(shown);
      }
      shown->SetNodalData(0, errors.nodeIds, errors.nodePercent);
    }
    Show([&](FerDispSettings& settings) {
      FerColorSetting color = settings.GetColorSettings();
      color.SetResult(FerQtyErrorEstimate);
      color.SetComponent(kFirstComponent);
      color.Visible(1);
      color.Average(1);
      color.UseFactorOfSafety(0);
      color.SetMethod(0);
      color.SetRangeType(kRangeMinMax);
      color.SetRange(0.0, 2.0 * maxErrorPercent, maxErrorPercent);
      color.SetNumberIntervals(kErrorBands);
      settings.SetColorSettings(color);
    });
  }
  return Status(maxError_ <= maxErrorPercent);
}

// --- stresses against yield ------------------------------------------------------------------

bool FerDoctor::StressPeaks(std::vector<SubModelPeak>& peaks) const {
  peaks.clear();
  const FerResult* stress = set_ ? set_->FindResult(FerQtyStress) : nullptr;
  if (!stress || stress->NumNodalSubsets() == 0) return false;
  const int components = stress->NumComponents();
  const std::vector<AnlSubModel*> subs = LiveSubModels(model_);
  for (AnlSubModel* sub : subs) {
    SubModelPeak peak;
    peak.yield = YieldOf(MaterialOf(sub));
    if (!(peak.yield > 0.0)) continue;
    // The sub-model's nodes; a single sub-model owns every node of the results.
    std::unordered_set<long> own;
    AmgMesh* mesh = sub->Mesh();
    if (mesh && mesh->NumNodes() > 0 && subs.size() > 1) {
      CaeList<CaeNode> nodes;
      mesh->Nodes(nodes);
      for (CaeNode* node : nodes) own.insert(node->Id());
    } else if (subs.size() > 1) {
      continue;
    }
    for (int s = 0; s < stress->NumNodalSubsets(); ++s) {
      const std::vector<long>& ids = stress->NodeIds(s);
      const std::vector<double>& values = stress->NodeValues(s);
      for (std::size_t i = 0; i < ids.size(); ++i)
        if (own.empty() || own.count(ids[i])) peak.vonMises = std::max(peak.vonMises, values[i * components]);
    }
    peaks.push_back(peak);
  }
  return !peaks.empty();
}

int FerDoctor::TestValidity(int type) { return JudgeValidity(type, false); }

int FerDoctor::DiagnoseValidity(int type) { return JudgeValidity(type, true); }

int FerDoctor::JudgeValidity(int type, bool show) {
  if (!set_ || type != AnlStress || set_->AnalType() != AnlStress) return kNotApplicable;
  std::vector<SubModelPeak> peaks;
  if (!StressPeaks(peaks)) return kNotApplicable;
  bool within = true;
  minFOS_ = std::numeric_limits<double>::infinity();
  double governingYield = peaks.front().yield;
  for (const SubModelPeak& p : peaks) {
    within = within && p.vonMises <= p.yield;
    const double fos = p.vonMises > 0.0 ? p.yield / p.vonMises : std::numeric_limits<double>::infinity();
    if (fos < minFOS_) {
      minFOS_ = fos;
      governingYield = p.yield;
    }
  }
  if (!std::isfinite(minFOS_)) minFOS_ = std::numeric_limits<double>::max();
  if (show) {
    Show([&](FerDispSettings& settings) {
      FerColorSetting color = settings.GetColorSettings();
      color.SetResult(FerQtyStress);
      color.SetComponent(kFirstComponent);
      color.Visible(1);
      color.Average(1);
      // The factor of safety against the governing material's yield.
      color.UseFactorOfSafety(1);
      color.SetFactorOfSafetyValue(governingYield);
      color.SetRangeType(1);
      settings.SetColorSettings(color);
      FerDeformedSetting deformed = settings.GetDeformedSettings();
      deformed.SetResult(FerQtyDisplacement);
      deformed.Visible(set_->FindResult(FerQtyDisplacement) != nullptr);
      settings.SetDeformedSettings(deformed);
    });
  }
  return Status(within);
}

// --- design criteria -------------------------------------------------------------------------

int FerDoctor::TestDesign(int type, double minimum) {
  if (type == AnlStress) return JudgeSafety(minimum, false);
  if (type == AnlBuckling) return JudgeBuckling(minimum, false);
  return kNotApplicable;
}

int FerDoctor::DiagnoseDesign(int type, double minimum) {
  if (type == AnlStress) return JudgeSafety(minimum, true);
  if (type == AnlBuckling) return JudgeBuckling(minimum, true);
  return kNotApplicable;
}

int FerDoctor::TestDesign(int type, double lower, double upper) {
  if (type == AnlVibration) return JudgeFrequencies(lower, upper, false);
  if (type == AnlHeatTransfer) return JudgeTemperatures(lower, upper, false);
  return kNotApplicable;
}

int FerDoctor::DiagnoseDesign(int type, double lower, double upper) {
  if (type == AnlVibration) return JudgeFrequencies(lower, upper, true);
  if (type == AnlHeatTransfer) return JudgeTemperatures(lower, upper, true);
  return kNotApplicable;
}

int FerDoctor::JudgeSafety(double minimum, bool show) {
  const int valid = JudgeValidity(AnlStress, show);
  if (valid == kNotApplicable) return kNotApplicable;
  return Status(minFOS_ >= minimum);
}

namespace {

// The subset (1-based) to show with a mode on the deformed shape.
void ShowMode(FerDispSettings& settings, const FerResultSet& set, int subset) {
  settings.SetResultSubSet(subset);
  FerColorSetting color = settings.GetColorSettings();
  color.SetResult(FerQtyDisplacement);
  color.SetComponent(kMagnitudeComponent);
  color.Visible(1);
  color.Average(1);
  color.UseFactorOfSafety(0);
  color.SetRangeType(1);
  settings.SetColorSettings(color);
  FerDeformedSetting deformed = settings.GetDeformedSettings();
  deformed.SetResult(FerQtyDisplacement);
  deformed.Visible(set.FindResult(FerQtyDisplacement) != nullptr);
  settings.SetDeformedSettings(deformed);
}

}  // namespace

int FerDoctor::JudgeBuckling(double minimum, bool show) {
  if (!set_ || set_->AnalType() != AnlBuckling || set_->NumSubSets() == 0) return kNotApplicable;
  int lowest = 0;
  for (int i = 0; i < set_->NumSubSets(); ++i) {
    const double factor = set_->GetSubSet(i)->GetValue();
    if (factor > 0.0 && (lowest == 0 || factor < minFOS_)) {
      minFOS_ = factor;
      lowest = i + 1;
    }
  }
  // No positive factor: the structure does not buckle under these loads at any multiple.
  if (lowest == 0) return kNotApplicable;
  if (show) Show([&](FerDispSettings& settings) { ShowMode(settings, *set_, lowest); });
  return Status(minFOS_ >= minimum);
}

int FerDoctor::JudgeFrequencies(double lower, double upper, bool show) {
  if (!set_ || set_->AnalType() != AnlVibration || set_->NumSubSets() == 0) return kNotApplicable;
  int outside = 0;
  for (int i = 0; i < set_->NumSubSets() && outside == 0; ++i) {
    const double f = set_->GetSubSet(i)->GetValue();
    if (f < lower || f > upper) outside = i + 1;
  }
  if (show) Show([&](FerDispSettings& settings) { ShowMode(settings, *set_, outside ? outside : 1); });
  return Status(outside == 0);
}

int FerDoctor::JudgeTemperatures(double lower, double upper, bool show) {
  if (!set_ || set_->AnalType() != AnlHeatTransfer) return kNotApplicable;
  const FerResult* temperature = set_->FindResult(FerQtyTemperature);
  if (!temperature || temperature->NumNodalSubsets() == 0) return kNotApplicable;
  bool within = true;
  for (int s = 0; s < temperature->NumNodalSubsets() && within; ++s) {
    double low = 0.0, high = 0.0;
    if (temperature->Range(s, 0, low, high)) within = low >= lower && high <= upper;
  }
  if (show) {
    Show([&](FerDispSettings& settings) {
      FerColorSetting color = settings.GetColorSettings();
      color.SetResult(FerQtyTemperature);
      color.SetComponent(kFirstComponent);
      color.Visible(1);
      color.Average(1);
      color.UseFactorOfSafety(0);
      color.SetRangeType(kRangeMinMax);
      color.SetRange(lower, upper, 0.0);
      settings.SetColorSettings(color);
      FerDeformedSetting deformed = settings.GetDeformedSettings();
      deformed.Visible(0);
      settings.SetDeformedSettings(deformed);
    });
  }
  return Status(within);
}

// --- what no test judges ---------------------------------------------------------------------

FerElementShape FerDoctor::MeasureTet(const double p[][3], int nodes) {
  FerElementShape shape;
  double longest = 0.0;
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) longest = std::max(longest, Distance(p[i], p[j]));
  double e1[3], e2[3], e3[3];
  Sub(p[1], p[0], e1);
  Sub(p[2], p[0], e2);
  Sub(p[3], p[0], e3);
  const double volume = Det(e1, e2, e3) / 6.0;
  const double area = TriangleArea(p[0], p[1], p[2]) + TriangleArea(p[0], p[1], p[3]) + TriangleArea(p[0], p[2], p[3]) +
                      TriangleArea(p[1], p[2], p[3]);
  // Longest edge over the inscribed sphere's radius, scaled so that a regular tetrahedron gives 1.
  const double inradius = area > 0.0 ? 3.0 * std::fabs(volume) / area : 0.0;
  shape.aspectRatio =
      inradius > 0.0 ? longest / (2.0 * std::sqrt(6.0) * inradius) : std::numeric_limits<double>::infinity();
  // At each corner, the volume of its three edges over their lengths; sqrt(2) scales the
  // regular corner to 1. The sign follows the node order: negative for an inverted element.
  const int others[4][3] = {{1, 2, 3}, {2, 0, 3}, {0, 1, 3}, {1, 0, 2}};
  double smallest = std::numeric_limits<double>::infinity();
  for (int c = 0; c < 4; ++c) {
    double a[3], b[3], d[3];
    Sub(p[others[c][0]], p[c], a);
    Sub(p[others[c][1]], p[c], b);
    Sub(p[others[c][2]], p[c], d);
    const double lengths =
        Distance(p[others[c][0]], p[c]) * Distance(p[others[c][1]], p[c]) * Distance(p[others[c][2]], p[c]);
    const double j = lengths > 0.0 ? std::sqrt(2.0) * Det(a, b, d) / lengths : 0.0;
    smallest = std::min(smallest, j);
  }
  shape.scaledJacobian = smallest;
  if (nodes >= 10) {
    const int edges[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
    for (int k = 0; k < 6; ++k) {
      const double* a = p[edges[k][0]];
      const double* b = p[edges[k][1]];
      const double middle[3] = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
      const double length = Distance(a, b);
      if (length > 0.0)
        shape.midsideDistortion = std::max(shape.midsideDistortion, Distance(p[4 + k], middle) / length);
    }
  }
  return shape;
}

bool FerDoctor::WorstElementShape(FerElementShape& worst) const {
  const FerMesh* mesh = set_ ? set_->Mesh() : nullptr;
  if (!mesh) return false;
  std::unordered_map<long, std::size_t> index;
  for (std::size_t i = 0; i < mesh->nodeIds.size(); ++i) index.emplace(mesh->nodeIds[i], i);
  bool any = false;
  for (int e = 0; e < mesh->NumElements(); ++e) {
    const int type = mesh->elementTypes[e];
    if (type != FerMesh::kTet4 && type != FerMesh::kTet10) continue;
    const int n = type == FerMesh::kTet10 ? 10 : 4;
    double points[10][3];
    bool complete = mesh->elementStarts[e + 1] - mesh->elementStarts[e] >= static_cast<std::size_t>(n);
    for (int k = 0; k < n && complete; ++k) {
      const auto found = index.find(mesh->elementNodes[mesh->elementStarts[e] + k]);
      if (found == index.end()) {
        complete = false;
        break;
      }
      for (int a = 0; a < 3; ++a) points[k][a] = mesh->coordinates[found->second * 3 + a];
    }
    if (!complete) continue;
    const FerElementShape shape = MeasureTet(points, n);
    if (!any) worst = shape;
    worst.aspectRatio = std::max(worst.aspectRatio, shape.aspectRatio);
    worst.scaledJacobian = std::min(worst.scaledJacobian, shape.scaledJacobian);
    worst.midsideDistortion = std::max(worst.midsideDistortion, shape.midsideDistortion);
    any = true;
  }
  return any;
}

double FerDoctor::DisplacementToSize() const {
  const FerMesh* mesh = set_ ? set_->Mesh() : nullptr;
  const FerResult* displacement = set_ ? set_->FindResult(FerQtyDisplacement) : nullptr;
  if (!mesh || mesh->NumNodes() == 0 || !displacement) return 0.0;
  double low[3], high[3];
  for (int a = 0; a < 3; ++a) low[a] = high[a] = mesh->coordinates[a];
  for (std::size_t i = 0; i < mesh->coordinates.size(); ++i) {
    low[i % 3] = std::min(low[i % 3], mesh->coordinates[i]);
    high[i % 3] = std::max(high[i % 3], mesh->coordinates[i]);
  }
  const double diagonal = Distance(low, high);
  double largest = 0.0;
  for (int s = 0; s < displacement->NumNodalSubsets(); ++s) {
    double minimum = 0.0, maximum = 0.0;
    if (displacement->Range(s, 3, minimum, maximum)) largest = std::max(largest, maximum);
  }
  return diagonal > 0.0 ? largest / diagonal : 0.0;
}

bool FerDoctor::TemperaturesBeyondMaterials() const {
  const FerResult* temperature = set_ ? set_->FindResult(FerQtyTemperature) : nullptr;
  if (!temperature) return false;
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (int s = 0; s < temperature->NumNodalSubsets(); ++s) {
    double a = 0.0, b = 0.0;
    if (temperature->Range(s, 0, a, b)) {
      low = std::min(low, a);
      high = std::max(high, b);
    }
  }
  if (low > high) return false;
  for (AnlSubModel* sub : LiveSubModels(model_)) {
    const CaeMaterial* material = MaterialOf(sub);
    CaeArray<double> rows;
    if (!material || material->GetTemps(rows) < 2) continue;
    double first = rows[0], last = rows[0];
    for (int i = 1; i < rows.Count(); ++i) {
      first = std::min(first, rows[i]);
      last = std::max(last, rows[i]);
    }
    if (low < first || high > last) return true;
  }
  return false;
}
