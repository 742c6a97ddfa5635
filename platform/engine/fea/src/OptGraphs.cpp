// The history graphs of an optimisation result case.
#include <cmath>
#include <memory>
#include <vector>

#include "amg/CaeGraph.h"
#include "fea/OptModel.h"

namespace {

enum Method { kTrue = 0, kBounds = 1, kOptimum = 2, kValue = 3 };

// The scale of one record's values: y' = (y - offset) / divisor.
struct Scale {
  double offset = 0.0;
  double divisor = 1.0;
};

bool Bounded(double bound) { return std::fabs(bound) < OptBounds::kUnbounded; }

Scale ScaleOf(const OptResultData& r, int method, double value, bool feasibility) {
  Scale s;
  const double last = r.NumValues() > 0 ? r.Value(r.NumValues() - 1) : 0.0;
  if (method == kBounds && feasibility) {
    const double bound = Bounded(r.upper) ? r.upper : r.lower;
    if (Bounded(bound) && bound != 0.0) s.divisor = bound;
  } else if (method == kBounds && Bounded(r.lower) && Bounded(r.upper) && r.upper != r.lower) {
    s.offset = r.lower;
    s.divisor = r.upper - r.lower;
  } else if (method == kOptimum && last != 0.0) {
    s.divisor = last;
  } else if (method == kValue && value != 0.0) {
    s.divisor = value;
  }
  return s;
}

std::vector<const OptResultData*> Select(const std::vector<const OptResultData*>& all, const CaeArray<int>* positions) {
  if (!positions || positions->Count() == 0) return all;
  std::vector<const OptResultData*> chosen;
  for (int i = 0; i < positions->Count(); ++i) {
    const int p = (*positions)[i];
    if (p >= 0 && p < static_cast<int>(all.size())) chosen.push_back(all[p]);
  }
  return chosen;
}

// One series per record; null when no record has a value.
CaeGraph* History(const char* title, const std::vector<const OptResultData*>& records, int method, double value,
                  bool feasibility) {
  auto graph = std::make_unique<CaeGraph>();
  graph->Name(CaeString(title));
  graph->XAxis(CaeGraphAxis(CaeString("Design Cycle")));
  if (records.size() == 1) graph->YAxis(CaeGraphAxis(records.front()->Name()));
  bool anyPoint = false;
  for (std::size_t s = 0; s < records.size(); ++s) {
    const OptResultData& r = *records[s];
    const Scale scale = ScaleOf(r, method, value, feasibility);
    graph->SetSeriesTitle(static_cast<int>(s), r.Name());
    for (int cycle = 0; cycle < r.NumValues(); ++cycle) {
      graph->AddPoint(cycle, (r.Value(cycle) - scale.offset) / scale.divisor, static_cast<int>(s));
      anyPoint = true;
    }
  }
  return anyPoint ? graph.release() : nullptr;
}

}  // namespace

CaeGraph* OptResultCase::ObjectiveHistory(int method, double value) const {
  if (!objective_) return nullptr;
  return History("Objective History", {objective_.get()}, method == kBounds ? kTrue : method, value, false);
}

CaeGraph* OptResultCase::VariableHistory(const CaeArray<int>* positions, int method, double value) const {
  std::vector<const OptResultData*> all;
  for (const auto& r : variables_) all.push_back(r.get());
  return History("Design Variable History", Select(all, positions), method, value, false);
}

CaeGraph* OptResultCase::ConstraintHistory(const CaeArray<int>* positions, int method) const {
  std::vector<const OptResultData*> all;
  for (const auto& r : constraints_) all.push_back(r.get());
  return History("Design Constraint History", Select(all, positions), method == kBounds ? kBounds : kTrue, 0.0, true);
}

CaeGraph* OptResultCase::MaxConstraintHistory() const {
  if (!maxConstraint_) return nullptr;
  return History("Maximum Constraint History", {maxConstraint_.get()}, kTrue, 0.0, false);
}

CaeGraph* OptResultCase::ObjectiveSensitivityGraph(const CaeArray<int>*, int, double) const { return nullptr; }
CaeGraph* OptResultCase::ConstraintSensitivityGraph(int, const CaeArray<int>*, int) const { return nullptr; }
CaeGraph* OptResultCase::VariableSensitivityGraph(int, const CaeArray<int>*, int) const { return nullptr; }
CaeGraph* OptResultCase::ObjectiveLocalTrendGraph(const CaeArray<int>*, int, double) const { return nullptr; }
CaeGraph* OptResultCase::ConstraintLocalTrendGraph(int, const CaeArray<int>*, int) const { return nullptr; }
CaeGraph* OptResultCase::VariableLocalTrendGraph(int, const CaeArray<int>*, int) const { return nullptr; }
