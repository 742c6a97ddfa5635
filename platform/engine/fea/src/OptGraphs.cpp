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

namespace {

// A sensitivity of `response` to variable `v` at a cycle, as a graph shows it: true (method 0),
// times the variable's range (1: the response's change over the whole range, linearised), or as
// the local trend, the elasticity (dr/dx) x / r (0 where the response is 0).
double Shown(const OptResultData& response, const OptResultData& variable, int v, int cycle, int method, bool trend) {
  const double s = response.Sensitivity(cycle, v);
  if (trend) {
    const double r = response.Value(cycle);
    return r == 0.0 ? 0.0 : s * variable.Value(cycle) / r;
  }
  if (method == kBounds && Bounded(variable.lower) && Bounded(variable.upper))
    return s * (variable.upper - variable.lower);
  return s;
}

// One series per (response, variable) pair over the cycles that have sensitivities; null when none.
CaeGraph* Sensitivities(const char* title, const std::vector<std::pair<const OptResultData*, int>>& series,
                        const std::vector<const OptResultData*>& variables, int method, bool trend) {
  auto graph = std::make_unique<CaeGraph>();
  graph->Name(CaeString(title));
  graph->XAxis(CaeGraphAxis(CaeString("Design Cycle")));
  bool anyPoint = false;
  for (std::size_t k = 0; k < series.size(); ++k) {
    const auto [response, v] = series[k];
    if (!response || v < 0 || v >= static_cast<int>(variables.size())) continue;
    const OptResultData& variable = *variables[static_cast<std::size_t>(v)];
    graph->SetSeriesTitle(static_cast<int>(k),
                          CaeString((std::string(response->Name().Str()) + " / " + variable.Name().Str()).c_str()));
    for (int cycle = 0; cycle < response->NumValues(); ++cycle) {
      if (!response->HasSensitivity(cycle)) continue;
      graph->AddPoint(cycle, Shown(*response, variable, v, cycle, method, trend), static_cast<int>(k));
      anyPoint = true;
    }
  }
  return anyPoint ? graph.release() : nullptr;
}

std::vector<int> Positions(const CaeArray<int>* positions, std::size_t count) {
  std::vector<int> chosen;
  if (!positions || positions->Count() == 0) {
    for (std::size_t i = 0; i < count; ++i) chosen.push_back(static_cast<int>(i));
    return chosen;
  }
  for (int i = 0; i < positions->Count(); ++i)
    if ((*positions)[i] >= 0 && (*positions)[i] < static_cast<int>(count)) chosen.push_back((*positions)[i]);
  return chosen;
}

}  // namespace

namespace {

std::vector<const OptResultData*> VariableRecords(const OptResultCase& rc) {
  std::vector<const OptResultData*> vars;
  for (int i = 0; i < rc.NumResultVariable(); ++i) vars.push_back(rc.ResultVariable(i));
  return vars;
}

// A response's graph: one series per variable (positions select variables).
CaeGraph* ResponseGraph(const OptResultCase& rc, const OptResultData* response, const CaeArray<int>* positions,
                        int method, bool trend, const char* title) {
  if (!response) return nullptr;
  const std::vector<const OptResultData*> vars = VariableRecords(rc);
  std::vector<std::pair<const OptResultData*, int>> series;
  for (int v : Positions(positions, vars.size())) series.emplace_back(response, v);
  return Sensitivities(title, series, vars, method, trend);
}

// A variable's graph: one series per constraint (positions select constraints).
CaeGraph* VariableGraph(const OptResultCase& rc, int variable, const CaeArray<int>* positions, int method, bool trend,
                        const char* title) {
  if (variable < 0 || variable >= rc.NumResultVariable()) return nullptr;
  std::vector<std::pair<const OptResultData*, int>> series;
  for (int c : Positions(positions, static_cast<std::size_t>(rc.NumResultConstraint())))
    series.emplace_back(rc.ResultConstraint(c), variable);
  return Sensitivities(title, series, VariableRecords(rc), method, trend);
}

}  // namespace

CaeGraph* OptResultCase::ObjectiveSensitivityGraph(const CaeArray<int>* positions, int method, double) const {
  return ResponseGraph(*this, Objective(), positions, method, false, "Objective Sensitivity");
}
CaeGraph* OptResultCase::ConstraintSensitivityGraph(int constraint, const CaeArray<int>* positions, int method) const {
  return ResponseGraph(*this, ResultConstraint(constraint), positions, method, false, "Design Constraint Sensitivity");
}
CaeGraph* OptResultCase::VariableSensitivityGraph(int variable, const CaeArray<int>* positions, int method) const {
  return VariableGraph(*this, variable, positions, method, false, "Design Variable Sensitivity");
}
CaeGraph* OptResultCase::ObjectiveLocalTrendGraph(const CaeArray<int>* positions, int method, double) const {
  return ResponseGraph(*this, Objective(), positions, method, true, "Objective Local Trend");
}
CaeGraph* OptResultCase::ConstraintLocalTrendGraph(int constraint, const CaeArray<int>* positions, int method) const {
  return ResponseGraph(*this, ResultConstraint(constraint), positions, method, true, "Design Constraint Local Trend");
}
CaeGraph* OptResultCase::VariableLocalTrendGraph(int variable, const CaeArray<int>* positions, int method) const {
  return VariableGraph(*this, variable, positions, method, true, "Design Variable Local Trend");
}
