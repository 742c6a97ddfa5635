#include "Balance.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "SolverDofs.h"
#include "kestrum/text.h"

namespace fea_detail {

namespace {

// A problem of no file in particular.
kestrum::Problem Trouble(std::string message) { return {std::move(message), {}, 0}; }

using Vec = std::array<double, 3>;

Vec Add(const Vec& a, const Vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec Sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Norm(const Vec& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

struct StepLoads {
  bool isStatic = false;
  // A load spread through the body (gravity, rotation, temperatures): its share of the balance is
  // not known from the deck, so the step is not checked. A statically determinate body heated
  // carries no reactions at all, only the solver's round-off, which no share of them bounds.
  bool bodyLoad = false;
  bool forcesWritten = false;
  std::set<long> restrained;
  std::map<std::pair<long, int>, double> loads;  // (node, dof) -> value
};

struct Deck {
  std::unordered_map<long, Vec> nodes;
  std::map<std::string, std::vector<long>> sets;
  std::set<long> ownAxes;  // nodes given axes of their own
  bool rotations = false;  // shells or beams: the solver writes the forces of its expanded nodes
  bool readable = true;
  bool otherSteps = false;
  StepLoads model;  // conditions given before the first step
  std::vector<StepLoads> steps;
};

std::string Upper(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(
        kestrum::Trim(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  while (!fields.empty() && fields.back().empty()) fields.pop_back();
  return fields;
}

template <class T>
bool Number(std::string_view field, T& value) {
  auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size() && !field.empty();
}

// The value of a keyword's parameter ("NSET=TR1" gives "TR1"); empty when absent.
std::string Parameter(const std::string& keywordLine, const std::string& name) {
  const std::size_t at = keywordLine.find(name + "=");
  if (at == std::string::npos) return {};
  const std::size_t start = at + name.size() + 1;
  const std::size_t end = keywordLine.find(',', start);
  return std::string(kestrum::Trim(
      std::string_view(keywordLine).substr(start, end == std::string::npos ? std::string::npos : end - start)));
}

class DeckParser {
 public:
  explicit DeckParser(std::string_view text) : text_(text) {}

  Deck Parse() {
    std::size_t pos = 0;
    while (pos <= text_.size() && deck_.readable) {
      std::size_t end = text_.find('\n', pos);
      if (end == std::string_view::npos) end = text_.size();
      const std::string_view line = kestrum::Trim(text_.substr(pos, end - pos));
      pos = end + 1;
      if (line.empty() || line.rfind("**", 0) == 0) continue;
      if (line.front() == '*')
        Keyword(Upper(line));
      else
        Data(Fields(line));
    }
    return std::move(deck_);
  }

 private:
  enum class Mode { Other, Node, Element, Nset, Boundary, Cload, Dload, Temperature, NodeFile };

  StepLoads& Current() { return deck_.steps.empty() ? deck_.model : deck_.steps.back(); }

  void Keyword(const std::string& line) {
    const std::string name = std::string(kestrum::Trim(std::string_view(line).substr(1, line.find(',') - 1)));
    const bool renew = Parameter(line, "OP") == "NEW";
    mode_ = Mode::Other;
    if (name == "NODE") {
      mode_ = Mode::Node;
    } else if (name == "ELEMENT") {
      const std::string type = Parameter(line, "TYPE");
      if (!type.empty() && (type.front() == 'S' || type.front() == 'B')) deck_.rotations = true;
      mode_ = Mode::Element;
    } else if (name == "NSET") {
      if (line.find("GENERATE") != std::string::npos) deck_.readable = false;
      set_ = Parameter(line, "NSET");
      mode_ = Mode::Nset;
    } else if (name == "TRANSFORM") {
      const auto found = deck_.sets.find(Parameter(line, "NSET"));
      if (found == deck_.sets.end())
        deck_.readable = false;
      else
        deck_.ownAxes.insert(found->second.begin(), found->second.end());
    } else if (name == "STEP") {
      // A step starts from the conditions in force before it.
      deck_.steps.push_back(deck_.steps.empty() ? deck_.model : deck_.steps.back());
      deck_.steps.back().isStatic = false;
      deck_.steps.back().forcesWritten = false;
    } else if (name == "STATIC") {
      Current().isStatic = true;
    } else if (name == "FREQUENCY" || name == "BUCKLE" || name == "HEAT TRANSFER" || name == "DYNAMIC" ||
               name == "VISCO" || name == "COUPLED TEMPERATURE-DISPLACEMENT" || name == "MODAL DYNAMIC") {
      deck_.otherSteps = true;
    } else if (name == "BOUNDARY") {
      if (renew) Current().restrained.clear();
      mode_ = Mode::Boundary;
    } else if (name == "CLOAD") {
      if (renew) Current().loads.clear();
      mode_ = Mode::Cload;
    } else if (name == "DLOAD") {
      if (renew) Current().bodyLoad = false;
      mode_ = Mode::Dload;
    } else if (name == "TEMPERATURE") {
      mode_ = Mode::Temperature;
    } else if (name == "NODE FILE") {
      mode_ = Mode::NodeFile;
    }
  }

  // The nodes a data line's first field names: a node or a node set.
  std::vector<long> NodesOf(std::string_view field) {
    long id = 0;
    if (Number(field, id)) return {id};
    const auto found = deck_.sets.find(Upper(field));
    if (found == deck_.sets.end()) deck_.readable = false;
    return found == deck_.sets.end() ? std::vector<long>{} : found->second;
  }

  void Data(const std::vector<std::string_view>& f) {
    if (f.empty()) return;
    switch (mode_) {
      case Mode::Node: {
        long id = 0;
        Vec x{};
        if (f.size() < 4 || !Number(f[0], id) || !Number(f[1], x[0]) || !Number(f[2], x[1]) || !Number(f[3], x[2]))
          deck_.readable = false;
        else
          deck_.nodes[id] = x;
        return;
      }
      case Mode::Nset:
        for (std::string_view field : f) {
          const std::vector<long> ids = NodesOf(field);
          deck_.sets[set_].insert(deck_.sets[set_].end(), ids.begin(), ids.end());
        }
        return;
      case Mode::Boundary:
        for (long id : NodesOf(f[0])) Current().restrained.insert(id);
        return;
      case Mode::Cload: {
        int dof = 0;
        double value = 0;
        if (f.size() < 3 || !Number(f[1], dof) || !Number(f[2], value)) {
          deck_.readable = false;
          return;
        }
        for (long id : NodesOf(f[0])) Current().loads[{id, dof}] = value;
        return;
      }
      case Mode::Dload:
      case Mode::Temperature: Current().bodyLoad = true; return;
      case Mode::NodeFile:
        for (std::string_view field : f)
          if (Upper(field) == "RF") Current().forcesWritten = true;
        return;
      default: return;
    }
  }

  std::string_view text_;
  Deck deck_;
  Mode mode_ = Mode::Other;
  std::string set_;
};

bool Checkable(const Deck& deck) {
  if (!deck.readable || deck.rotations || deck.otherSteps || deck.steps.empty()) return false;
  for (const StepLoads& step : deck.steps)
    if (!step.isStatic || !step.forcesWritten) return false;
  return true;
}

std::string Figure(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", std::abs(value) < 1e-300 ? 0.0 : value);
  return text;
}

std::string Figures(const Vec& v, const char* unit) {
  return Figure(v[0]) + ", " + Figure(v[1]) + ", " + Figure(v[2]) + " " + unit;
}

// Non-finite values anywhere in the results.
kestrum::Status Finite(const std::vector<FrdReader::StepVectors>& results) {
  for (std::size_t k = 0; k < results.size(); ++k)
    for (const auto& [what, vectors] :
         {std::pair{"displacement", &results[k].displacements}, std::pair{"nodal force", &results[k].forces}})
      for (std::size_t i = 0; i < vectors->values.size(); ++i)
        if (!std::isfinite(vectors->values[i]))
          return Trouble("The solver's results hold a " + std::string(what) + " that is not a finite number (node " +
                         std::to_string(vectors->ids[i / 3]) + ", result case " + std::to_string(k + 1) +
                         "): the answer cannot be trusted.");
  return kestrum::Ok();
}

kestrum::Status Balance(const Deck& deck, const StepLoads& step, const FrdReader::NodalVectors& forces,
                        std::size_t number) {
  const std::string which = "Result case " + std::to_string(number);
  auto isSupport = [&](long id) { return step.restrained.count(id) || deck.ownAxes.count(id); };
  Vec centre{};
  for (const auto& [id, x] : deck.nodes) centre = Add(centre, x);
  for (double& c : centre) c /= static_cast<double>(std::max<std::size_t>(deck.nodes.size(), 1));

  Vec loads{}, reactions{}, loadMoment{}, reactionMoment{};
  double forceScale = 0, momentScale = 0;
  std::map<long, Vec> nodalLoads, nodalCouples;
  for (const auto& [key, value] : step.loads) {
    const auto [id, dof] = key;
    if (dof >= kDofMoveX && dof <= kDofMoveZ)
      nodalLoads[id][dof - kDofMoveX] += value;
    else if (dof >= kDofTurnX && dof <= kDofTurnZ)
      nodalCouples[id][dof - kDofTurnX] += value;
  }
  for (const auto& [id, f] : nodalLoads) {
    const auto at = deck.nodes.find(id);
    if (at == deck.nodes.end())
      return Trouble(which + ": a load acts on node " + std::to_string(id) + ", which the model does not have.");
    const Vec r = Sub(at->second, centre);
    loads = Add(loads, f);
    loadMoment = Add(loadMoment, Cross(r, f));
    if (!isSupport(id)) {
      forceScale += Norm(f);
      momentScale += Norm(r) * Norm(f);
    }
  }
  for (const auto& [id, m] : nodalCouples) {
    loadMoment = Add(loadMoment, m);
    if (!isSupport(id)) momentScale += Norm(m);
  }
  std::set<long> supportsMet;
  for (std::size_t i = 0; i < forces.ids.size(); ++i) {
    const long id = forces.ids[i];
    if (!isSupport(id)) continue;
    const auto at = deck.nodes.find(id);
    if (at == deck.nodes.end())
      return Trouble(which + ": the results give a force at node " + std::to_string(id) +
                     ", which the model does not have.");
    supportsMet.insert(id);
    const Vec fn{forces.values[3 * i], forces.values[3 * i + 1], forces.values[3 * i + 2]};
    const Vec r = Sub(at->second, centre);
    // The solver's force at a support holds the load applied there too: the reaction is the rest.
    const auto applied = nodalLoads.find(id);
    const Vec reaction = applied == nodalLoads.end() ? fn : Sub(fn, applied->second);
    reactions = Add(reactions, reaction);
    reactionMoment = Add(reactionMoment, Cross(r, reaction));
    forceScale += Norm(fn);
    momentScale += Norm(r) * Norm(fn);
  }
  for (long id : step.restrained)
    if (!supportsMet.count(id) && deck.nodes.count(id))
      return Trouble(which + ": the results give no force at the restrained node " + std::to_string(id) +
                     ", so the supports cannot be checked against the loads.");

  const double forceLeft = Norm(Add(loads, reactions));
  const double forceAllowed = kBalanceTolerance * forceScale;
  if (forceLeft > forceAllowed)
    return Trouble(which + ": the supports do not balance the loads. Loads applied " + Figures(loads, "N") +
                   " (x, y, z); support reactions " + Figures(reactions, "N") + "; left over " + Figure(forceLeft) +
                   " N where at most " + Figure(forceAllowed) + " N (" + Figure(kBalanceTolerance * 100) +
                   "% of the forces involved) is accepted. The solver's answer cannot be trusted.");
  const double momentLeft = Norm(Add(loadMoment, reactionMoment));
  const double momentAllowed = kBalanceTolerance * momentScale;
  if (momentLeft > momentAllowed)
    return Trouble(which + ": the supports do not balance the moment of the loads about the centre of the model (" +
                   Figures(centre, "m") + "). Moment of the loads " + Figures(loadMoment, "N m") +
                   "; of the support reactions " + Figures(reactionMoment, "N m") + "; left over " +
                   Figure(momentLeft) + " N m where at most " + Figure(momentAllowed) + " N m (" +
                   Figure(kBalanceTolerance * 100) +
                   "% of the moments involved) is accepted. The solver's answer cannot be trusted.");
  return kestrum::Ok();
}

}  // namespace

kestrum::Status CheckBalance(std::string_view text, const std::vector<FrdReader::StepVectors>& results) {
  if (kestrum::Status finite = Finite(results); !finite) return finite;
  const Deck deck = DeckParser(text).Parse();
  if (!Checkable(deck)) return kestrum::Ok();
  if (results.size() < deck.steps.size())
    return Trouble("The results file holds " + std::to_string(results.size()) + " result cases where " +
                   std::to_string(deck.steps.size()) + " were solved.");
  for (std::size_t k = 0; k < deck.steps.size(); ++k) {
    const StepLoads& step = deck.steps[k];
    if (results[k].forces.ids.empty())
      return Trouble("Result case " + std::to_string(k + 1) +
                     ": the results file holds no support forces to check the solve with.");
    if (step.bodyLoad) continue;
    if (kestrum::Status balanced = Balance(deck, step, results[k].forces, k + 1); !balanced) return balanced;
  }
  return kestrum::Ok();
}

}  // namespace fea_detail
