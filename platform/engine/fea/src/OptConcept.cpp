// Concept optimisation by SIMP with filtered sensitivities and the optimality criteria, or by BESO.
#include "fea/OptConcept.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "fea/OptRun.h"

OptConceptRun::OptConceptRun(std::vector<OptConceptElement> elements, const OptConceptSettings& settings)
    : elements_(std::move(elements)), settings_(settings) {}

void OptConceptRun::Groups(std::vector<int>& group, std::vector<double>& scales) const {
  const int count = std::clamp(settings_.groups, 2, 100);
  // Group k holds densities in ((k - 1) / (count - 1), k / (count - 1)] between the least density
  // and 1; its stiffness factor is its upper density to the penalty.
  scales.assign(static_cast<std::size_t>(count), 1.0);
  const double low = OptConceptSettings::kMinDensity;
  for (int k = 0; k < count; ++k)
    scales[static_cast<std::size_t>(k)] = std::pow(low + (1.0 - low) * k / (count - 1), settings_.penalty);
  group.resize(density_.size());
  for (std::size_t e = 0; e < density_.size(); ++e)
    group[e] = std::clamp(static_cast<int>(std::round((density_[e] - low) / (1.0 - low) * (count - 1))), 0, count - 1);
}

void OptConceptRun::FindNeighbours() {
  neighbours_.assign(elements_.size(), {});
  const double r = settings_.filterRadius;
  if (!(r > 0)) return;
  // Elements in cubes of the radius's size: neighbours lie in the 27 cubes around.
  std::map<std::tuple<long, long, long>, std::vector<int>> cells;
  auto cell = [r](const CaeVector& c) {
    return std::make_tuple(static_cast<long>(std::floor(c.X() / r)), static_cast<long>(std::floor(c.Y() / r)),
                           static_cast<long>(std::floor(c.Z() / r)));
  };
  for (std::size_t e = 0; e < elements_.size(); ++e) cells[cell(elements_[e].centroid)].push_back(static_cast<int>(e));
  for (std::size_t e = 0; e < elements_.size(); ++e) {
    const auto [i, j, k] = cell(elements_[e].centroid);
    for (long di = -1; di <= 1; ++di)
      for (long dj = -1; dj <= 1; ++dj)
        for (long dk = -1; dk <= 1; ++dk) {
          const auto found = cells.find({i + di, j + dj, k + dk});
          if (found == cells.end()) continue;
          for (int f : found->second) {
            const CaeVector d = elements_[static_cast<std::size_t>(f)].centroid - elements_[e].centroid;
            const double weight = r - d.Length();
            if (weight > 0) neighbours_[e].emplace_back(f, weight);
          }
        }
  }
}

// SIMP weighs each neighbour by its density; BESO's numbers are plain means (a removed element's
// density would make its number meaningless).
std::vector<double> OptConceptRun::FilteredSensitivity(const std::vector<double>& sensitivity) const {
  if (!(settings_.filterRadius > 0)) return sensitivity;
  const bool weighted = settings_.method == OptConceptMethod::Simp;
  std::vector<double> filtered(sensitivity.size(), 0.0);
  for (std::size_t e = 0; e < sensitivity.size(); ++e) {
    double sum = 0.0, weights = 0.0;
    for (const auto& [f, w] : neighbours_[e]) {
      const auto ff = static_cast<std::size_t>(f);
      sum += w * (weighted ? density_[ff] : 1.0) * sensitivity[ff];
      weights += w;
    }
    const double own = weighted ? std::max(density_[e], 1e-3) : 1.0;
    filtered[e] = weights > 0 ? sum / (own * weights) : sensitivity[e];
  }
  return filtered;
}

double OptConceptRun::Update(const std::vector<double>& sensitivity, double moveLimit) {
  double totalVolume = 0.0;
  for (const OptConceptElement& e : elements_) totalVolume += e.volume;
  const double target = settings_.targetFraction * totalVolume;
  const double low = OptConceptSettings::kMinDensity;
  std::vector<double> next(density_.size());
  auto fill = [&](double lambda) {
    double volume = 0.0;
    for (std::size_t e = 0; e < density_.size(); ++e) {
      const OptConceptElement& el = elements_[e];
      double x = 1.0;
      if (el.removed) {
        x = low;
      } else if (!el.frozen) {
        const double ratio = std::max(0.0, -sensitivity[e]) / (lambda * el.volume);
        x = std::clamp(density_[e] * std::pow(ratio, settings_.damping), std::max(low, density_[e] - moveLimit),
                       std::min(1.0, density_[e] + moveLimit));
      }
      next[e] = x;
      volume += x * el.volume;
    }
    return volume;
  };
  // Bisection on the multiplier (in logarithms: sensitivities span many decades).
  double lo = 1e-30, hi = 1e30;
  for (int i = 0; i < 200 && hi / lo > 1 + 1e-9; ++i) {
    const double mid = std::sqrt(lo * hi);
    (fill(mid) > target ? lo : hi) = mid;
  }
  fill(hi);
  double change = 0.0;
  for (std::size_t e = 0; e < density_.size(); ++e) change = std::max(change, std::fabs(next[e] - density_[e]));
  density_ = std::move(next);
  return change;
}

std::vector<long> OptConceptRun::KeptElements() const {
  std::vector<long> kept;
  for (std::size_t e = 0; e < elements_.size(); ++e)
    if (analysed_[e] >= 0.5) kept.push_back(elements_[e].id);
  return kept;
}

double OptConceptRun::TotalVolume() const {
  double total = 0.0;
  for (const OptConceptElement& e : elements_) total += e.volume;
  return total;
}

double OptConceptRun::BesoUpdate(const std::vector<double>& sensitivity, double volume) {
  // Sensitivity numbers per volume, averaged with the last cycle's: without the average an
  // element near the threshold is removed and restored in turn.
  std::vector<double> numbers(sensitivity.size());
  for (std::size_t e = 0; e < numbers.size(); ++e) numbers[e] = -sensitivity[e] / elements_[e].volume;
  numbers = FilteredSensitivity(numbers);
  if (previousNumbers_.size() == numbers.size())
    for (std::size_t e = 0; e < numbers.size(); ++e) numbers[e] = 0.5 * (numbers[e] + previousNumbers_[e]);
  previousNumbers_ = numbers;

  std::vector<std::size_t> order;
  double kept = 0.0;
  for (std::size_t e = 0; e < elements_.size(); ++e) {
    if (elements_[e].frozen) kept += elements_[e].volume;
    if (!elements_[e].frozen && !elements_[e].removed) order.push_back(e);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&numbers](std::size_t a, std::size_t b) { return numbers[a] > numbers[b]; });
  const double slack = 1e-9 * TotalVolume();
  std::vector<double> next(density_.size(), OptConceptSettings::kMinDensity);
  for (std::size_t e = 0; e < elements_.size(); ++e)
    if (elements_[e].frozen) next[e] = 1.0;
  for (std::size_t e : order) {
    if (kept + elements_[e].volume > volume + slack) break;
    kept += elements_[e].volume;
    next[e] = 1.0;
  }
  double switched = 0.0;
  for (std::size_t e = 0; e < elements_.size(); ++e)
    if (next[e] != density_[e]) switched += elements_[e].volume;
  density_ = std::move(next);
  return switched / TotalVolume();
}

bool OptConceptRun::BesoConverged(double volume) const {
  const std::size_t window = OptConceptSettings::kBesoWindow;
  if (cycles_.size() < 2 * window) return false;
  double last = 0.0, before = 0.0;
  for (std::size_t i = 0; i < 2 * window; ++i) {
    const OptConceptCycle& cycle = cycles_[cycles_.size() - 1 - i];
    // Every compared cycle analysed the target volume (removed elements keep their least density).
    if (cycle.volumeFraction * TotalVolume() > volume + OptConceptSettings::kMinDensity * TotalVolume()) return false;
    double compliance = 0.0;
    for (double c : cycle.compliance) compliance += c;
    (i < window ? last : before) += compliance;
  }
  return std::fabs(last - before) <= settings_.convergedChange * std::fabs(last);
}

int OptConceptRun::Run(OptConceptEvaluator& evaluator) {
  const double totalVolume = TotalVolume();
  double fixedVolume = 0.0;
  for (const OptConceptElement& e : elements_)
    if (e.frozen) fixedVolume += e.volume;
  if (elements_.empty() || !(totalVolume > 0) || !(settings_.targetFraction > 0 && settings_.targetFraction <= 1) ||
      fixedVolume > settings_.targetFraction * totalVolume) {
    exitCode_ = OptExitNotRun;
    exitMessage_ = elements_.empty() || !(totalVolume > 0) ? "the model has no elements"
                   : fixedVolume > settings_.targetFraction * totalVolume
                       ? "the frozen elements alone exceed the target volume"
                       : "the target volume lies outside (0, volume]";
    return exitCode_;
  }
  const bool beso = settings_.method == OptConceptMethod::Beso;
  FindNeighbours();
  // SIMP starts uniform at the target, BESO full.
  density_.assign(elements_.size(), beso ? 1.0 : settings_.targetFraction);
  for (std::size_t e = 0; e < elements_.size(); ++e) {
    if (elements_[e].frozen) density_[e] = 1.0;
    if (elements_[e].removed) density_[e] = OptConceptSettings::kMinDensity;
  }
  const double target = settings_.targetFraction * totalVolume;
  double besoVolume = 0.0;
  for (std::size_t e = 0; e < elements_.size(); ++e)
    if (density_[e] == 1.0) besoVolume += elements_[e].volume;
  const int cycles = std::max(1, settings_.maxCycles);
  // A run that stops after its first cycle leaves the last design analysed.
  auto stopped = [this](int k, const std::string& reason) {
    exitCode_ = k == 0 ? OptExitNothingUsable : OptExitLastDesign;
    exitMessage_ = reason + " (cycle " + std::to_string(k) + ")";
    return exitCode_;
  };
  for (int k = 0; k < cycles; ++k) {
    if (evaluator.Interrupted()) return stopped(k, "interrupted");
    std::vector<int> group;
    std::vector<double> scales, energies, compliance;
    Groups(group, scales);
    std::string reason;
    if (!evaluator.Solve(group, scales, energies, compliance, reason) || energies.size() != elements_.size())
      return stopped(k, reason.empty() ? std::string("the solver answered no energies") : reason);
    OptConceptCycle cycle;
    cycle.index = k;
    double volume = 0.0;
    for (std::size_t e = 0; e < elements_.size(); ++e) volume += density_[e] * elements_[e].volume;
    cycle.volumeFraction = volume / totalVolume;
    cycle.compliance = compliance;
    // dC/dx_e = -p x^(p-1) (2 U_e / s_e): the energy came from the group's stiffness factor s_e.
    std::vector<double> sensitivity(elements_.size());
    for (std::size_t e = 0; e < elements_.size(); ++e) {
      const double x = density_[e];
      const double s = scales[static_cast<std::size_t>(group[e])];
      sensitivity[e] = -settings_.penalty * std::pow(x, settings_.penalty - 1) * 2.0 * energies[e] / s;
    }
    analysed_ = density_;
    if (beso) {
      cycles_.push_back(cycle);
      const bool converged = BesoConverged(target);
      if (!converged) {
        const double removed = (k == 0 ? settings_.firstChange : settings_.evolutionRate) * totalVolume;
        besoVolume = std::max(target, besoVolume - removed);
        cycles_.back().change = BesoUpdate(sensitivity, besoVolume);
      }
      evaluator.CycleDone(cycles_.back());
      if (converged) {
        exitCode_ = OptExitConverged;
        exitMessage_ = OptExitText(exitCode_);
        return exitCode_;
      }
      continue;
    }
    const double move = k == 0 ? std::min(settings_.firstChange, settings_.moveLimit) : settings_.moveLimit;
    cycle.change = Update(FilteredSensitivity(sensitivity), move);
    cycles_.push_back(cycle);
    evaluator.CycleDone(cycles_.back());
    // The deck's design moves in steps of a group: an element near a group's edge swings to the
    // next group and back, and its stiffness with it. Changes within two groups' widths are that
    // swing, not progress.
    const double groupWidth = 1.0 / (std::clamp(settings_.groups, 2, 100) - 1);
    if (k > 0 && cycle.change < std::max(settings_.convergedChange, 2 * groupWidth)) {
      exitCode_ = OptExitConverged;
      exitMessage_ = OptExitText(exitCode_);
      return exitCode_;
    }
  }
  exitCode_ = OptExitLastDesign;
  exitMessage_ = OptExitText(exitCode_);
  return exitCode_;
}
