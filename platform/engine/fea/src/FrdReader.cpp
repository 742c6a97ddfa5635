#include "fea/FrdReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "DatReader.h"
#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "kestrum/text.h"

namespace {

// The solver's nodal forces: read for the balance check, never a result.
constexpr int kNodalForces = -1;

// The file's quantities that become results: block name, quantity, values in the file, unit.
struct Kind {
  std::string_view name;
  int quantity;
  int fileComponents;
  int unit;
};
constexpr Kind kKinds[] = {
    {"DISP", FerQtyDisplacement, 3, CaeUtLength}, {"STRESS", FerQtyStress, 6, CaeUtStress},
    {"TOSTRAIN", FerQtyStrain, 6, CaeUtStrain},   {"NDTEMP", FerQtyTemperature, 1, CaeUtTemperature},
    {"FLUX", FerQtyHeatFlux, 3, CaeUtHeatFlux},   {"ENER", FerQtyStrainEnergy, 1, CaeUtStress},
    {"ERROR", FerQtyErrorEstimate, 1, CaeUtNone}, {"FORC", kNodalForces, 3, CaeUtForce},
};

const Kind* FindKind(std::string_view name) {
  for (const Kind& k : kKinds)
    if (k.name == name) return &k;
  return nullptr;
}

struct Block {
  const Kind* kind = nullptr;
  int components = 0;  // values per node in the file
  std::vector<long> ids;
  std::vector<double> values;
};

struct Subset {
  long setNumber;
  double value;
  std::map<int, Block> blocks;  // by quantity
};

class Damaged {
 public:
  Damaged(long line, std::string why) : line_(line), why_(std::move(why)) {}
  long line_;
  std::string why_;
};

using kestrum::Trim;

std::vector<std::string_view> Tokens(std::string_view s) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\r')) ++i;
    std::size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\r') ++j;
    if (j > i) tokens.push_back(s.substr(i, j - i));
    i = j;
  }
  return tokens;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::vector<Subset> Parse() {
    bool ended = false;
    bool nodesRead = false, elementsRead = false;
    while (NextLine()) {
      if (line_.size() >= 5 && line_.substr(0, 5) == " 9999") {
        ended = true;
        break;
      }
      const std::string_view head = Trim(line_.substr(0, std::min<std::size_t>(line_.size(), 7)));
      if (head == "2C" && !nodesRead) {
        ReadNodes();
        nodesRead = true;
      } else if (head == "3C" && !elementsRead) {
        ReadElements();
        elementsRead = true;
      } else if (head == "2C" || head == "3C")
        SkipBlock();
      else if (head == "100CL")
        StartSubset();
      else if (line_.rfind(" -4", 0) == 0)
        ReadBlock();
    }
    if (!ended) throw Damaged(lineNumber_, "the file ends before its end record");
    CheckElementNodes();
    return std::move(subsets_);
  }

  // The file's mesh (file units), empty when the file has none.
  FerMesh TakeMesh() { return std::move(mesh_); }

 private:
  bool NextLine() {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line_ = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    ++lineNumber_;
    return true;
  }

  void SkipBlock() {
    while (NextLine())
      if (line_.rfind(" -3", 0) == 0) return;
    throw Damaged(lineNumber_, "a block is not closed");
  }

  // " -1" + node (10 columns) + x, y, z (12 columns each), up to " -3".
  void ReadNodes() {
    while (NextLine()) {
      if (line_.rfind(" -3", 0) == 0) return;
      if (line_.rfind(" -1", 0) != 0 || line_.size() < 49) throw Damaged(lineNumber_, "a node line is cut short");
      mesh_.nodeIds.push_back(Integer(line_.substr(3, 10)));
      for (int k = 0; k < 3; ++k) mesh_.coordinates.push_back(Finite(line_.substr(13 + 12 * k, 12)));
    }
    throw Damaged(lineNumber_, "a block is not closed");
  }

  // " -1" + element (10 columns) + type, group and material (5 columns each); then " -2" lines of
  // node numbers (10 columns each) until the type's node count is reached; up to " -3".
  void ReadElements() {
    mesh_.elementStarts.assign(1, 0);
    std::size_t pending = 0;
    while (NextLine()) {
      if (line_.rfind(" -3", 0) == 0) {
        if (pending) throw Damaged(lineNumber_, "an element's nodes are cut short");
        return;
      }
      if (line_.rfind(" -1", 0) == 0) {
        if (pending) throw Damaged(lineNumber_, "an element's nodes are cut short");
        const std::vector<std::string_view> tokens = Tokens(line_.substr(3));
        if (tokens.size() < 2) throw Damaged(lineNumber_, "an element line is cut short");
        const long id = Integer(tokens[0]);
        const long type = Integer(tokens[1]);
        const int nodes = type > 0 && type < 100 ? FerMesh::NodesOf(static_cast<int>(type)) : 0;
        if (!nodes) throw Damaged(lineNumber_, "an element is of a type the reader does not know");
        mesh_.elementIds.push_back(id);
        mesh_.elementTypes.push_back(static_cast<int>(type));
        pending = static_cast<std::size_t>(nodes);
      } else if (line_.rfind(" -2", 0) == 0 && pending) {
        for (std::string_view token : Tokens(line_.substr(3))) {
          if (!pending) throw Damaged(lineNumber_, "an element has more nodes than its type");
          mesh_.elementNodes.push_back(Integer(token));
          --pending;
        }
        if (!pending) mesh_.elementStarts.push_back(mesh_.elementNodes.size());
      } else {
        throw Damaged(lineNumber_, "an unexpected line in the element block");
      }
    }
    throw Damaged(lineNumber_, "a block is not closed");
  }

  void CheckElementNodes() const {
    if (mesh_.elementNodes.empty()) return;
    std::unordered_map<long, int> known;
    known.reserve(mesh_.nodeIds.size());
    for (long id : mesh_.nodeIds) known.emplace(id, 0);
    for (long id : mesh_.elementNodes)
      if (!known.count(id))
        throw Damaged(lineNumber_, "an element names node " + std::to_string(id) + ", which the file does not have");
  }

  double Finite(std::string_view field) const {
    const double value = Real(field);
    if (!std::isfinite(value)) throw Damaged(lineNumber_, "a coordinate is not a finite number");
    return value;
  }

  long Integer(std::string_view field) const {
    field = Trim(field);
    long value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || field.empty())
      throw Damaged(lineNumber_, "a whole number cannot be read");
    return value;
  }

  double Real(std::string_view field) const {
    field = Trim(field);
    double value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || field.empty())
      throw Damaged(lineNumber_, "a number cannot be read");
    return value;
  }

  // "  100CL  101 1.000000000  4 ...": the set number, its value and the node count.
  void StartSubset() {
    const std::vector<std::string_view> tokens = Tokens(line_);
    if (tokens.size() < 4) throw Damaged(lineNumber_, "a result header is incomplete");
    const long setNumber = Integer(tokens[1]);
    const double value = Real(tokens[2]);
    current_ = nullptr;
    for (Subset& s : subsets_)
      if (s.setNumber == setNumber) current_ = &s;
    if (!current_) {
      subsets_.push_back({setNumber, value, {}});
      current_ = &subsets_.back();
    }
  }

  void ReadBlock() {
    const std::vector<std::string_view> tokens = Tokens(line_);
    if (tokens.size() < 3 || !current_) throw Damaged(lineNumber_, "a result block has no header");
    const Kind* kind = FindKind(tokens[1]);
    int components = 0;
    // Component lines: the ones named ALL describe the vector as a whole and carry no value.
    for (;;) {
      if (!NextLine()) throw Damaged(lineNumber_, "the file ends before its end record");
      if (line_.rfind(" -5", 0) != 0) break;
      const std::vector<std::string_view> c = Tokens(line_);
      if (c.size() < 2) throw Damaged(lineNumber_, "a component line is incomplete");
      if (c[1] != "ALL") ++components;
    }
    Block block;
    block.kind = kind;
    block.components = components;
    if (kind && components != kind->fileComponents)
      throw Damaged(lineNumber_, "a result block has an unexpected number of components");
    ReadValues(block);
    if (kind) current_->blocks[kind->quantity] = std::move(block);
  }

  // Value lines: " -1" + node (10 columns) + values of 12 columns; " -2" continues a node.
  void ReadValues(Block& block) {
    std::size_t pending = 0;
    do {
      if (line_.rfind(" -3", 0) == 0) {
        if (pending) throw Damaged(lineNumber_, "a node's values are cut short");
        return;
      }
      std::size_t column = 13;
      if (line_.rfind(" -1", 0) == 0) {
        if (pending) throw Damaged(lineNumber_, "a node's values are cut short");
        if (line_.size() < 13) throw Damaged(lineNumber_, "a value line is cut short");
        if (block.kind) block.ids.push_back(Integer(line_.substr(3, 10)));
        pending = block.components;
      } else if (line_.rfind(" -2", 0) != 0 || !pending) {
        throw Damaged(lineNumber_, "an unexpected line in a result block");
      }
      while (pending && column < line_.size() && Trim(line_.substr(column)).size()) {
        if (line_.size() < column + 12) throw Damaged(lineNumber_, "a value is cut short");
        const double value = Real(line_.substr(column, 12));
        if (block.kind) block.values.push_back(value);
        column += 12;
        --pending;
      }
    } while (NextLine());
    throw Damaged(lineNumber_, "the file ends before its end record");
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string_view line_;
  long lineNumber_ = 0;
  std::vector<Subset> subsets_;
  Subset* current_ = nullptr;
  FerMesh mesh_;
};

// Principal values of a symmetric tensor, largest first (closed form for 3x3).
void Principal(const double s[6], double out[3]) {
  const double xx = s[0], yy = s[1], zz = s[2], xy = s[3], yz = s[4], zx = s[5];
  const double offDiagonal = xy * xy + yz * yz + zx * zx;
  const double mean = (xx + yy + zz) / 3;
  if (offDiagonal <= 1e-30 * (xx * xx + yy * yy + zz * zz + 1e-300)) {
    out[0] = xx, out[1] = yy, out[2] = zz;
  } else {
    const double a = xx - mean, b = yy - mean, c = zz - mean;
    const double p = std::sqrt((a * a + b * b + c * c + 2 * offDiagonal) / 6);
    const double det = a * (b * c - yz * yz) - xy * (xy * c - yz * zx) + zx * (xy * yz - b * zx);
    const double r = std::clamp(det / (2 * p * p * p), -1.0, 1.0);
    const double phi = std::acos(r) / 3;
    out[0] = mean + 2 * p * std::cos(phi);
    out[2] = mean + 2 * p * std::cos(phi + 2 * M_PI / 3);
    out[1] = 3 * mean - out[0] - out[2];
  }
  std::sort(out, out + 3, [](double x, double y) { return x > y; });
}

double VonMises(const double s[6]) {
  const double d = (s[0] - s[1]) * (s[0] - s[1]) + (s[1] - s[2]) * (s[1] - s[2]) + (s[2] - s[0]) * (s[2] - s[0]);
  return std::sqrt(0.5 * d + 3 * (s[3] * s[3] + s[4] * s[4] + s[5] * s[5]));
}

// Equivalent strain of the deviatoric strain (tensor shear components).
double EquivalentStrain(const double e[6]) {
  const double mean = (e[0] + e[1] + e[2]) / 3;
  const double a = e[0] - mean, b = e[1] - mean, c = e[2] - mean;
  return std::sqrt(2.0 / 3.0 * (a * a + b * b + c * c + 2 * (e[3] * e[3] + e[4] * e[4] + e[5] * e[5])));
}

// The result's components per node from the file's values, converted to native units.
std::vector<double> Expand(const Block& block, const CaeUnitSystem& units) {
  const int in = block.components;
  const std::size_t count = block.ids.size();
  std::vector<double> out;
  auto native = [&](double v) { return CaeUnit::Convert(block.kind->unit, v, &units, nullptr); };
  if (in == 1) {
    out.reserve(count);
    for (double v : block.values) out.push_back(native(v));
    return out;
  }
  if (in == 3) {
    out.reserve(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
      const double* v = &block.values[i * 3];
      const double x = native(v[0]), y = native(v[1]), z = native(v[2]);
      out.insert(out.end(), {x, y, z, std::sqrt(x * x + y * y + z * z)});
    }
    return out;
  }
  out.reserve(count * 10);
  const bool stress = block.kind->quantity == FerQtyStress;
  for (std::size_t i = 0; i < count; ++i) {
    double s[6];
    for (int k = 0; k < 6; ++k) s[k] = native(block.values[i * 6 + k]);
    double p[3];
    Principal(s, p);
    out.insert(out.end(),
               {stress ? VonMises(s) : EquivalentStrain(s), p[0], p[1], p[2], s[0], s[1], s[2], s[3], s[4], s[5]});
  }
  return out;
}

// The solver gives each node's error relative to that node's own stress, which makes every
// low-stress region look poor; relative to the subset's largest von Mises stress instead, the
// figure says how much the error matters to the design.
void ScaleErrorsToPeakStress(Subset& s) {
  const auto error = s.blocks.find(FerQtyErrorEstimate);
  const auto stress = s.blocks.find(FerQtyStress);
  if (error == s.blocks.end() || stress == s.blocks.end()) return;
  const Block& st = stress->second;
  std::unordered_map<long, double> vonMises;
  double peak = 0.0;
  for (std::size_t i = 0; i < st.ids.size(); ++i) {
    const double v = VonMises(&st.values[i * 6]);
    vonMises[st.ids[i]] = v;
    peak = std::max(peak, v);
  }
  Block& e = error->second;
  for (std::size_t i = 0; i < e.ids.size(); ++i) {
    const auto found = vonMises.find(e.ids[i]);
    e.values[i] = peak > 0 && found != vonMises.end() ? e.values[i] * found->second / peak : 0.0;
  }
}

const char* TypeName(AnlType type) {
  switch (type) {
    case AnlVibration: return "Vibration";
    case AnlBuckling: return "Buckling";
    case AnlHeatTransfer: return "Heat Transfer";
    default: return "Stress";
  }
}

void Fill(FerResultSet& set, AnlType type, std::vector<Subset>& subsets, const CaeUnitSystem& units) {
  // A buckling run first writes the state under the applied loads (factor 0), then the modes:
  // the subsets are the modes.
  if (type == AnlBuckling && subsets.size() > 1 && subsets.front().value == 0.0) subsets.erase(subsets.begin());
  set.SetAnalType(type);
  set.SetAnlTypName(CaeString(TypeName(type)));
  set.Modal(type == AnlVibration || type == AnlBuckling);
  set.SetSubSetName(CaeString(type == AnlVibration ? "Mode" : type == AnlBuckling ? "Buckling Mode" : "Load Case"));
  set.SetSubSetUnits(type == AnlVibration ? CaeUtFrequency : CaeUtNone);
  std::map<int, std::unique_ptr<FerResult>> results;
  for (std::size_t i = 0; i < subsets.size(); ++i) {
    Subset& s = subsets[i];
    double value = static_cast<double>(i + 1);
    if (type == AnlVibration) value = CaeUnit::Convert(CaeUtFrequency, s.value, &units, nullptr);
    if (type == AnlBuckling) value = s.value;
    set.AddSubSet(new FerResultSubSet(value));
    ScaleErrorsToPeakStress(s);
    for (auto& [quantity, block] : s.blocks) {
      if (quantity == kNodalForces) continue;
      auto& result = results[quantity];
      if (!result) {
        result = std::make_unique<FerResult>(quantity);
        result->SetFieldValue(1);
      }
      // Expand reads the ids: it must run before they are moved away.
      std::vector<double> values = Expand(block, units);
      result->SetNodalData(static_cast<int>(i), std::move(block.ids), std::move(values));
    }
  }
  for (auto& [quantity, result] : results) set.AddResult(result.release());
}

std::shared_ptr<const FerMesh> NativeMesh(FerMesh mesh, const CaeUnitSystem& units) {
  for (double& v : mesh.coordinates) v = CaeUnit::Convert(CaeUtLength, v, &units, nullptr);
  return std::make_shared<const FerMesh>(std::move(mesh));
}

// What the printed output gives by element, step by step.
struct PrintedOutput {
  std::vector<fea_detail::ElementValues> energies;
  std::vector<fea_detail::ElementValues> stresses;  // averaged over each element's points
  std::vector<fea_detail::ElementValues> strains;
};

// The printed output beside the results file (same name, ".dat"), when there is one.
kestrum::Result<PrintedOutput> ReadPrintedOutput(const std::string& frdPath) {
  const std::filesystem::path dat = std::filesystem::path(frdPath).replace_extension(".dat");
  PrintedOutput printed;
  std::error_code missing;
  if (!std::filesystem::exists(dat, missing)) return printed;
  const kestrum::Result<std::string> text = kestrum::ReadWholeFile(dat);
  if (!text) return text.problem();
  auto energies = fea_detail::ReadElementEnergies(*text, dat.string());
  if (!energies) return energies.problem();
  auto stresses = fea_detail::ReadElementTensors(*text, fea_detail::ElementTensor::Stress, dat.string());
  if (!stresses) return stresses.problem();
  auto strains = fea_detail::ReadElementTensors(*text, fea_detail::ElementTensor::Strain, dat.string());
  if (!strains) return strains.problem();
  printed.energies = std::move(*energies);
  printed.stresses = std::move(*stresses);
  printed.strains = std::move(*strains);
  return printed;
}

std::unique_ptr<FerResult> ElementEnergy(std::vector<fea_detail::ElementValues>& steps, const CaeUnitSystem& units) {
  auto result = std::make_unique<FerResult>(FerQtyElementEnergy);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    for (double& v : steps[i].values) v = CaeUnit::Convert(CaeUtEnergy, v, &units, nullptr);
    result->SetElementData(static_cast<int>(i), std::move(steps[i].ids), std::move(steps[i].values));
  }
  return result;
}

// Element stresses or strains join the quantity's result (made when the results file had no
// nodal values of it), with the same components and units as the nodal values.
void AddElementTensors(FerResultSet& set, const char* kindName, std::vector<fea_detail::ElementValues>& steps,
                       const CaeUnitSystem& units) {
  if (steps.empty()) return;
  const Kind* kind = FindKind(kindName);
  FerResult* result = set.FindResult(kind->quantity);
  if (!result) {
    result = new FerResult(kind->quantity);
    result->SetFieldValue(1);
    set.AddResult(result);
  }
  for (std::size_t i = 0; i < steps.size(); ++i) {
    Block block;
    block.kind = kind;
    block.components = 6;
    block.ids = std::move(steps[i].ids);
    block.values = std::move(steps[i].values);
    std::vector<double> values = Expand(block, units);
    result->SetElementData(static_cast<int>(i), std::move(block.ids), std::move(values));
  }
}

struct Parsed {
  std::vector<Subset> subsets;
  FerMesh mesh;  // file units
};

// Every subset of a results file and its mesh, or where the file is damaged.
kestrum::Result<Parsed> ParseFile(const std::string& path) {
  const kestrum::Result<std::string> text = kestrum::ReadWholeFile(path);
  if (!text) return text.problem();
  try {
    Parser parser(*text);
    Parsed parsed;
    parsed.subsets = parser.Parse();
    parsed.mesh = parser.TakeMesh();
    return parsed;
  } catch (const Damaged& damaged) {
    return kestrum::Problem{"the results file is damaged: " + damaged.why_, path, static_cast<int>(damaged.line_)};
  }
}

}  // namespace

namespace FrdReader {

kestrum::Result<std::vector<StepVectors>> ReadNodalVectors(const std::string& path) {
  kestrum::Result<Parsed> parsed = ParseFile(path);
  if (!parsed) return parsed.problem();
  std::vector<StepVectors> steps;
  for (Subset& s : parsed->subsets) {
    StepVectors step;
    auto take = [&s](int quantity, NodalVectors& into) {
      const auto found = s.blocks.find(quantity);
      if (found == s.blocks.end()) return;
      into.ids = std::move(found->second.ids);
      into.values = std::move(found->second.values);
    };
    take(FerQtyDisplacement, step.displacements);
    take(kNodalForces, step.forces);
    steps.push_back(std::move(step));
  }
  return steps;
}

kestrum::Result<FerMesh> ReadMesh(const std::string& path) {
  kestrum::Result<Parsed> parsed = ParseFile(path);
  if (!parsed) return parsed.problem();
  return std::move(parsed->mesh);
}

kestrum::Status Read(const std::string& path, AnlType type, const CaeUnitSystem& fileUnits,
                     const std::function<FerResultSet*()>& target) {
  if (!std::ifstream(path, std::ios::binary)) return kestrum::Problem{"the results file cannot be opened", path, 0};
  kestrum::Result<Parsed> parsed = ParseFile(path);
  if (!parsed) return parsed.problem();
  std::vector<Subset>& subsets = parsed->subsets;
  if (subsets.empty()) return kestrum::Problem{"the results file holds no results", path, 0};
  kestrum::Result<PrintedOutput> read = ReadPrintedOutput(path);
  if (!read) return read.problem();
  PrintedOutput& printed = *read;
  FerResultSet* set = target();
  if (!set) return kestrum::Problem{"no result set was given for the results", path, 0};
  Fill(*set, type, subsets, fileUnits);
  if (parsed->mesh.NumNodes()) set->SetMesh(NativeMesh(std::move(parsed->mesh), fileUnits));
  if (!printed.energies.empty()) set->AddResult(ElementEnergy(printed.energies, fileUnits).release());
  AddElementTensors(*set, "STRESS", printed.stresses, fileUnits);
  AddElementTensors(*set, "TOSTRAIN", printed.strains, fileUnits);
  return kestrum::Ok();
}

kestrum::Status Read(const std::string& path, AnlType type, const CaeUnitSystem& fileUnits, FerResultSet& set) {
  return Read(path, type, fileUnits, [&set] { return &set; });
}

}  // namespace FrdReader
