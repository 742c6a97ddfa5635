#include "db/dbMatLib.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "amg/CaeLocale.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "kestrum/atomic_file.h"
#include "kestrum/text.h"
#include "mfc/win32_files.h"
#include "res/ResourceIds.h"

namespace fs = std::filesystem;

namespace {

// A library is a hand-edited text of a few hundred materials; anything far larger is not one.
constexpr std::uintmax_t kMaxLibraryBytes = std::uintmax_t{16} << 20;
constexpr double kDefaultTemperature = 298.15;
constexpr int kValueCount = 8;

void Report(const std::string& text) { CaeMsgCall::Message(1, MSG_MATERIAL_LIBRARY, {CaeString(text)}); }

std::string Where(const std::string& file, int line) { return file + ":" + std::to_string(line) + ": "; }

// One line of the file: its bytes with the line end, and its text without the line end and
// trailing blanks.
struct Line {
  std::string_view raw;
  std::string_view text;
};

std::vector<Line> SplitLines(std::string_view data) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\n', start);
    end = end == std::string_view::npos ? data.size() : end + 1;
    std::string_view raw = data.substr(start, end - start);
    std::string_view text = raw;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
      text.remove_suffix(1);
    lines.push_back({raw, text});
    start = end;
  }
  return lines;
}

// Kept text may be followed by a material when written back, so a last line without its line end
// gets one.
void KeepLine(const Line& line, std::string& kept) {
  kept += line.raw;
  if (line.raw.back() != '\n') kept += '\n';
}

std::vector<std::string_view> Tokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') ++i;
    if (i > start) tokens.push_back(text.substr(start, i - start));
  }
  return tokens;
}

// A finite number from the start of `text`; `used` says how many characters it took. Locale-free.
bool ParsePrefix(std::string_view text, double& value, std::size_t& used) {
  std::size_t skip = !text.empty() && text[0] == '+' ? 1 : 0;
  if (skip && text.size() > 1 && text[1] == '-') return false;
  const char* first = text.data() + skip;
  auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
  if (error != std::errc() || !std::isfinite(value)) return false;
  used = static_cast<std::size_t>(end - text.data());
  return true;
}

bool ParseWhole(std::string_view text, double& value) {
  std::size_t used = 0;
  return ParsePrefix(text, value, used) && used == text.size();
}

// The eight values of a row, starting at line `next` and running over as many lines as they
// take. On success `next` is past the line of the last value and `rest` is what follows it on
// that line. A line that does not start with a number ends the row before it unless most of its
// words are numbers (then it is a damaged row and belongs to this block).
struct Row {
  double values[kValueCount] = {};
  int lineOf[kValueCount] = {};
  std::string_view rest;
};

// Whether most words of a line are numbers: a row of values rather than a material's name.
bool MostlyNumbers(const std::vector<std::string_view>& tokens) {
  double ignored = 0;
  std::size_t numeric = 0;
  for (std::string_view token : tokens) numeric += ParseWhole(token, ignored) ? 1 : 0;
  return 2 * numeric > tokens.size();
}

bool ReadRow(const std::vector<Line>& lines, std::size_t& next, Row& row, std::string& reason, int& reasonLine) {
  int count = 0;
  while (count < kValueCount) {
    if (next >= lines.size()) {
      reason = "fewer than eight values";
      reasonLine = static_cast<int>(next);  // the last line of the block
      return false;
    }
    const std::string_view text = lines[next].text;
    const std::vector<std::string_view> tokens = Tokens(text);
    double ignored = 0;
    if (!tokens.empty() && !ParseWhole(tokens[0], ignored)) {
      if (!MostlyNumbers(tokens)) {
        reason = "fewer than eight values";
        reasonLine = static_cast<int>(next);
        return false;
      }
    }
    const int line = static_cast<int>(next + 1);
    ++next;
    for (std::string_view token : tokens) {
      double value = 0;
      if (!ParseWhole(token, value)) {
        reason = "value \"" + std::string(token) + "\" is not a number";
        reasonLine = line;
        return false;
      }
      row.values[count] = value;
      row.lineOf[count] = line;
      if (++count == kValueCount) {
        const std::size_t offset = static_cast<std::size_t>(token.data() + token.size() - text.data());
        row.rest = kestrum::Trim(text.substr(offset));
        break;
      }
    }
  }
  return true;
}

// The property values a material row must satisfy, in file-independent terms.
struct Checked {
  double temperature, density, modulus, poisson;
};

std::string ValueProblem(const Checked& v) {
  if (!(v.modulus > 0))
    return "Young's modulus " + std::string(CaeString::FromDouble(v.modulus).Str()) + " must be above 0";
  if (!(v.density > 0)) return "density " + CaeString::FromDouble(v.density).Str() + " must be above 0";
  if (!(v.poisson > -1 && v.poisson < 0.5))
    return "Poisson's ratio " + CaeString::FromDouble(v.poisson).Str() + " must lie between -1 and 0.5";
  if (!(v.temperature > 0)) return "temperature " + CaeString::FromDouble(v.temperature).Str() + " K must be above 0";
  return {};
}

std::string AlreadyRead(std::string_view name, double temperature) {
  return "material \"" + std::string(name) + "\" has a row at " + CaeString::FromDouble(temperature).Str() +
         " K already";
}

double Convert(int type, double value, const CaeUnitSystem& from) {
  return CaeUnit::Convert(type, value, &from, nullptr);
}
double Back(int type, double value, const CaeUnitSystem& to) { return CaeUnit::Convert(type, value, nullptr, &to); }

const CaeUnitSystem& SiSystem() {
  static const CaeUnitSystem si(CaeMeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz);
  return si;
}

const CaeUnitSystem& CentimetreGramSystem() {
  static const CaeUnitSystem cg(CaeCentimeter, CaeDegree, CaeKelvin, CaeNewton, CaeGram, CaeSecond, CaeJoule, CaeHertz);
  return cg;
}

// The first row of `temps` not written yet that the engine takes for temperature `t`; -1 if none.
int UnwrittenRowAt(const CaeArray<double>& temps, const std::vector<bool>& written, double t) {
  CaeMaterial probe;  // holds the engine's own rule for temperatures that match
  probe.AddProp(t, 0, 0, 0, 0, 0, 0, 0, 0);
  double ignored[CaeMaterial::kPropCount];
  for (int i = 0; i < temps.Count(); ++i)
    if (!written[static_cast<std::size_t>(i)] && probe.GetProp(temps[i], ignored)) return i;
  return -1;
}

}  // namespace

// --- formats --------------------------------------------------------------------------------------

struct MaterialLibrary::Contents {
  std::vector<std::unique_ptr<CaeMaterial>> materials;
  std::vector<Piece> layout;

  CaeMaterial* Find(const CaeString& name) {
    for (auto& m : materials)
      if (m->Name() == name) return m.get();
    return nullptr;
  }
  void Keep(const Line& line, bool damaged) {
    if (layout.empty() || layout.back().isRow) layout.push_back({});
    KeepLine(line, layout.back().text);
    layout.back().open = damaged;
  }
  // Adds a row to the material of that name, made and appended when new, and notes its place.
  // False when the material has a row at that temperature already: the block is not a row then.
  bool AddRow(const CaeString& name, const double native[9]) {
    CaeMaterial* material = Find(name);
    double existing[CaeMaterial::kPropCount];
    if (material && material->GetProp(native[0], existing)) return false;
    if (!material) {
      materials.push_back(std::make_unique<CaeMaterial>(name));
      material = materials.back().get();
    }
    material->AddProp(native[0], native[1], native[2], native[3], native[4], native[5], native[6], native[7],
                      native[8]);
    layout.push_back({name.Str(), native[0], true});
    return true;
  }
  // Takes material `index` out. Its places stay, empty, so that a material stored later under
  // that name goes at the end like any new one.
  static void Erase(std::vector<std::unique_ptr<CaeMaterial>>& materials, std::vector<Piece>& layout,
                    std::size_t index) {
    for (Piece& piece : layout)
      if (piece.isRow && piece.text == materials[index]->Name().Str()) piece.text.clear();
    materials.erase(materials.begin() + static_cast<std::ptrdiff_t>(index));
  }
};

class MaterialLibrary::Format {
 public:
  virtual ~Format() = default;
  // Whether a line is kept text rather than the start of a material.
  virtual bool IsKept(const Line& line) const = 0;
  // Reads a material block starting at the line `next` (its first line); on success adds its row.
  // On failure `reason` and `reasonLine` (1-based) say why and `next` is past the damaged block.
  virtual bool ReadBlock(const std::vector<Line>& lines, std::size_t& next, Contents& out, std::string& reason,
                         int& reasonLine) const = 0;
  // One header-and-values block for one temperature row (`p` in the engine's property order).
  virtual void WriteRow(const CaeString& name, double temperature, const double* p, std::string& out) const = 0;
  // A comment line: it ends a damaged block, so the kept text after it is read on its own.
  virtual const char* Separator() const = 0;
  // Why a name cannot be written in this format so that it reads back the same; empty when it can.
  virtual std::string NameProblem(std::string_view name) const {
    for (char c : name)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return "material name holds a control character";
    return {};
  }

  // The material's row at `temperature`, when it has one.
  void WriteRowAt(const CaeMaterial& material, double temperature, std::string& out) const {
    double p[CaeMaterial::kPropCount];
    if (material.GetProp(temperature, p)) WriteRow(material.Name(), temperature, p, out);
  }

  void Parse(std::string_view data, const std::string& file, Contents& out) const {
    CaeLocale::ForceDecimalPoint decimalPoint;
    const std::vector<Line> lines = SplitLines(data);
    std::size_t next = 0;
    while (next < lines.size()) {
      if (IsKept(lines[next])) {
        out.Keep(lines[next], false);
        ++next;
        continue;
      }
      const std::size_t first = next;
      std::string reason;
      int reasonLine = static_cast<int>(first + 1);
      const std::vector<std::string_view> words = Tokens(lines[first].text);
      const bool stray = words.size() > 1 && MostlyNumbers(words);
      if (stray) {
        reason = "values without a material header";
        next = first + 1;
      }
      if (stray || !ReadBlock(lines, next, out, reason, reasonLine)) {
        if (next <= first) next = first + 1;
        Report(Where(file, reasonLine > 0 ? reasonLine : static_cast<int>(first + 1)) + reason);
        for (std::size_t i = first; i < next; ++i) out.Keep(lines[i], !stray);
      }
    }
  }
};

namespace {

// The system's own library: "Material: NAME" then E nu rho alpha ultimate yield k c [T], SI units.
class NativeFormat : public MaterialLibrary::Format {
 public:
  bool IsKept(const Line& line) const override { return line.text.empty() || line.raw[0] == '#'; }
  const char* Separator() const override { return "#\n"; }

  bool ReadBlock(const std::vector<Line>& lines, std::size_t& next, MaterialLibrary::Contents& out, std::string& reason,
                 int& reasonLine) const override {
    const int headerLine = static_cast<int>(next + 1);
    std::string_view header = lines[next].text.substr(1);
    const std::size_t blank = header.find_first_of(" \t");
    const std::string_view name =
        blank == std::string_view::npos ? std::string_view() : kestrum::Trim(header.substr(blank));
    ++next;
    Row row;
    const bool rowRead = ReadRow(lines, next, row, reason, reasonLine);
    if (name.empty()) {  // its row belongs to the damaged block, not to a header of its own
      reason = "material header without a name";
      reasonLine = headerLine;
      return false;
    }
    if (std::string problem = NameProblem(name); !problem.empty()) {
      reason = problem;
      reasonLine = headerLine;
      return false;
    }
    if (!rowRead) return false;
    const double* v = row.values;
    double temperature = kDefaultTemperature;
    if (!row.rest.empty()) {
      std::size_t used = 0;
      if (!ParsePrefix(row.rest, temperature, used)) {
        reason = "temperature \"" + std::string(row.rest) + "\" is not a number";
        reasonLine = row.lineOf[kValueCount - 1];
        return false;
      }
    }
    const std::string problem = ValueProblem({temperature, v[2], v[0], v[1]});
    if (!problem.empty()) {
      reason = problem;
      reasonLine = row.lineOf[kValueCount - 1];
      return false;
    }
    const CaeUnitSystem& si = SiSystem();
    const double native[9] = {Convert(CaeUtTemperature, temperature, si),
                              Convert(CaeUtDensity, v[2], si),
                              Convert(CaeUtStress, v[0], si),
                              v[1],
                              Convert(CaeUtStress, v[5], si),
                              Convert(CaeUtStress, v[4], si),
                              Convert(CaeUtConductivity, v[6], si),
                              Convert(CaeUtExpansion, v[3], si),
                              Convert(CaeUtSpecificHeat, v[7], si)};
    if (!out.AddRow(CaeString(name), native)) {
      reason = AlreadyRead(name, temperature);
      reasonLine = headerLine;
      return false;
    }
    return true;
  }

  void WriteRow(const CaeString& name, double temperature, const double* p, std::string& out) const override {
    const CaeUnitSystem& si = SiSystem();
    out += CaeString::Format("Material: %s\n", name.c_str()).Str();
    out +=
        CaeString::Format(
            " %e %f %e %e %e %e %e %e %f\n", Back(CaeUtStress, p[CaeMaterial::kModulus], si), p[CaeMaterial::kPoisson],
            Back(CaeUtDensity, p[CaeMaterial::kDensity], si), Back(CaeUtExpansion, p[CaeMaterial::kExpansion], si),
            Back(CaeUtStress, p[CaeMaterial::kUltimate], si), Back(CaeUtStress, p[CaeMaterial::kYield], si),
            Back(CaeUtConductivity, p[CaeMaterial::kConductivity], si),
            Back(CaeUtSpecificHeat, p[CaeMaterial::kSpecificHeat], si), Back(CaeUtTemperature, temperature, si))
            .Str();
  }
};

// The part modeller's file: "*NAME_at_KELVIN" then rho[g/cm3] E[GPa] nu yield[MPa] ultimate[MPa]
// k alpha[1e-5/K] c.
class ModellerFormat : public MaterialLibrary::Format {
 public:
  // The name runs up to the first "_at_", so a name holding one would not read back.
  std::string NameProblem(std::string_view name) const override {
    if (name.find("_at_") != std::string_view::npos) return "material name holds \"_at_\"";
    return Format::NameProblem(name);
  }

  bool IsKept(const Line& line) const override { return line.text.empty() || line.raw[0] == ';'; }
  const char* Separator() const override { return ";\n"; }

  bool ReadBlock(const std::vector<Line>& lines, std::size_t& next, MaterialLibrary::Contents& out, std::string& reason,
                 int& reasonLine) const override {
    const int headerLine = static_cast<int>(next + 1);
    const std::string_view text = lines[next].text.substr(1);
    ++next;
    std::string_view name = text;
    double temperature = kDefaultTemperature;
    const std::size_t at = text.find("_at_");
    if (at != std::string_view::npos) {
      name = text.substr(0, at);
      std::size_t used = 0;
      if (!ParsePrefix(text.substr(at + 4), temperature, used)) temperature = std::nan("");
    }
    Row row;
    const bool rowRead = ReadRow(lines, next, row, reason, reasonLine);
    if (kestrum::Trim(name).empty()) {
      reason = "material line without a name";
      reasonLine = headerLine;
      return false;
    }
    if (std::string problem = NameProblem(name); !problem.empty()) {
      reason = problem;
      reasonLine = headerLine;
      return false;
    }
    if (std::isnan(temperature)) {
      reason = "temperature \"" + std::string(text.substr(at + 4)) + "\" is not a number";
      reasonLine = headerLine;
      return false;
    }
    if (!rowRead) return false;
    const double* v = row.values;
    const CaeUnitSystem& si = SiSystem();
    const double native[9] = {
        Convert(CaeUtTemperature, temperature, si), Convert(CaeUtDensity, v[0], CentimetreGramSystem()),
        Convert(CaeUtStress, v[1] * 1e9, si),       v[2],
        Convert(CaeUtStress, v[3] * 1e6, si),       Convert(CaeUtStress, v[4] * 1e6, si),
        Convert(CaeUtConductivity, v[5], si),       Convert(CaeUtExpansion, v[6] * 1e-5, si),
        Convert(CaeUtSpecificHeat, v[7], si)};
    const std::string problem = ValueProblem({temperature, v[0], v[1], v[2]});
    if (!problem.empty()) {
      reason = problem;
      reasonLine = row.lineOf[kValueCount - 1];
      return false;
    }
    if (!out.AddRow(CaeString(name), native)) {
      reason = AlreadyRead(name, temperature);
      reasonLine = headerLine;
      return false;
    }
    return true;
  }

  void WriteRow(const CaeString& name, double temperature, const double* p, std::string& out) const override {
    const CaeUnitSystem& si = SiSystem();
    out += CaeString::Format("*%s_at_%f\n", name.c_str(), Back(CaeUtTemperature, temperature, si)).Str();
    out += CaeString::Format(" %f %f %f %f %f %f %f %f\n",
                             Back(CaeUtDensity, p[CaeMaterial::kDensity], CentimetreGramSystem()),
                             Back(CaeUtStress, p[CaeMaterial::kModulus], si) / 1e9, p[CaeMaterial::kPoisson],
                             Back(CaeUtStress, p[CaeMaterial::kYield], si) / 1e6,
                             Back(CaeUtStress, p[CaeMaterial::kUltimate], si) / 1e6,
                             Back(CaeUtConductivity, p[CaeMaterial::kConductivity], si),
                             Back(CaeUtExpansion, p[CaeMaterial::kExpansion], si) / 1e-5,
                             Back(CaeUtSpecificHeat, p[CaeMaterial::kSpecificHeat], si))
               .Str();
  }
};

const NativeFormat kNativeFormat;
const ModellerFormat kModellerFormat;

}  // namespace

// --- the library ------------------------------------------------------------------------------------

MaterialLibrary::MaterialLibrary(const CaeString& path) : MaterialLibrary(path, kNativeFormat) {}

MaterialLibrary::MaterialLibrary(const CaeString& path, const Format& format) : format_(format), path_(path) { Open(); }

MaterialLibrary::~MaterialLibrary() {
  if (modified_) Save();
}

void MaterialLibrary::Open() {
  if (path_.IsEmpty()) {
    Report("material library: no path given");
    return;
  }
  const fs::path file = mfc::posixPath(path_.c_str());
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (fs::is_directory(status)) {
    Report(path_.Str() + ": is a folder, not a material library");
    return;
  }
  if (!fs::exists(status)) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    if (!fs::is_directory(folder, error)) {
      Report(path_.Str() + ": the folder " + folder.string() + " does not exist");
      return;
    }
    std::string why;
    usable_ = kestrum::writeFileAtomically(file, "", &why);
    Report(std::string(std::strerror(ENOENT)) + " " + path_.Str() +
           (usable_ ? ": made an empty material library" : ": could not make it: " + why));
    return;
  }
  kestrum::Result<std::string> data = kestrum::ReadWholeFile(file, kMaxLibraryBytes);
  if (!data) {
    Report(path_.Str() + ": cannot be read: " + data.problem().message);
    return;
  }
  Contents contents;
  format_.Parse(*data, path_.Str(), contents);
  materials_ = std::move(contents.materials);
  layout_ = std::move(contents.layout);
  diskImage_ = std::move(*data);
  usable_ = true;
}

int MaterialLibrary::ListNames(CaeList<CaeString>& names) {
  for (const auto& material : materials_) names.Append(new CaeString(material->Name()));
  return 0;
}

CaeMaterial* MaterialLibrary::Find(const CaeString& name) {
  for (const auto& material : materials_)
    if (material->Name() == name) return material.get();
  return nullptr;
}

bool MaterialLibrary::Refuse(const CaeString& name, const char* operation) const {
  if (name.IsEmpty()) {
    Report(path_.Str() + ": cannot " + operation + " a material without a name");
    return true;
  }
  const std::string problem = format_.NameProblem(name.Str());
  if (problem.empty()) return false;
  Report(path_.Str() + ": cannot " + operation + " \"" + name.Str() + "\": " + problem);
  return true;
}

void MaterialLibrary::Touch(const CaeString& name) {
  for (const std::string& touched : touched_)
    if (touched == name.Str()) return;
  touched_.push_back(name.Str());
}

int MaterialLibrary::Store(CaeMaterial* material) {
  std::unique_ptr<CaeMaterial> owned(material);
  if (!owned || Refuse(owned->Name(), "store")) return 0;
  const CaeString name = owned->Name();
  Touch(name);
  if (CaeMaterial* existing = Find(name)) {
    *existing = *owned;
    modified_ = true;
  } else {
    materials_.push_back(std::move(owned));    // no place in the file yet: written after everything
    if (!Save() && usable_) modified_ = true;  // tried again at the end; an unusable path was reported
  }
  ReassignMaterial(name, Find(name));
  return 1;
}

int MaterialLibrary::Remove(const CaeString& name) {
  if (Refuse(name, "remove")) return 0;
  for (std::size_t i = 0; i < materials_.size(); ++i) {
    if (materials_[i]->Name() != name) continue;
    Contents::Erase(materials_, layout_, i);
    modified_ = true;
    Touch(name);
    ReassignMaterial(name, nullptr);
    return 1;
  }
  return 0;
}

int MaterialLibrary::Replace(const CaeString& name, CaeMaterial material) {
  if (Refuse(name, "replace")) return 0;
  CaeMaterial* existing = Find(name);
  if (!existing) return 0;
  *existing = material;
  existing->SetName(name);
  modified_ = true;
  Touch(name);
  ReassignMaterial(name, existing);
  return 1;
}

// The one place that knows where the analysis models live.
void MaterialLibrary::ReassignMaterial(const CaeString& name, const CaeMaterial* material) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return;
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
    for (int i = 0; i < model->NumSubModels(); ++i) {
      AnlSubModel* subModel = model->GetSubModel(i);
      CaeMaterial* old = subModel ? subModel->GetMaterial() : nullptr;
      if (!old || old->Name() != name) continue;
      delete old;
      subModel->AssignMaterial(material ? new CaeMaterial(*material) : new CaeMaterial(name));
    }
  }
}

std::string MaterialLibrary::Serialise() const {
  CaeLocale::ForceDecimalPoint decimalPoint;
  struct Rows {
    CaeArray<double> temps;
    std::vector<bool> written;
    std::size_t lastPlace = std::string::npos;
  };
  std::vector<Rows> rows(materials_.size());
  std::unordered_map<std::string, std::size_t> byName;
  for (std::size_t m = 0; m < materials_.size(); ++m) {
    materials_[m]->GetTemps(rows[m].temps);
    rows[m].written.assign(static_cast<std::size_t>(rows[m].temps.Count()), false);
    byName.emplace(materials_[m]->Name().Str(), m);
  }
  for (std::size_t p = 0; p < layout_.size(); ++p)
    if (auto it = byName.find(layout_[p].text); layout_[p].isRow && it != byName.end()) rows[it->second].lastPlace = p;

  std::string out;
  auto write = [&](std::size_t m, int i) {
    rows[m].written[static_cast<std::size_t>(i)] = true;
    format_.WriteRowAt(*materials_[m], rows[m].temps[i], out);
  };
  auto writeTheRest = [&](std::size_t m) {
    for (int i = 0; i < rows[m].temps.Count(); ++i)
      if (!rows[m].written[static_cast<std::size_t>(i)]) write(m, i);
  };
  // A damaged block ran up to a row that is no longer written: the kept text after that row must
  // not become the rest of the block.
  bool openBlock = false;
  bool rowsGone = false;
  for (std::size_t p = 0; p < layout_.size(); ++p) {
    const Piece& piece = layout_[p];
    if (!piece.isRow) {
      if (openBlock && rowsGone) out += format_.Separator();
      out += piece.text;
      openBlock = piece.open;
      rowsGone = false;
      continue;
    }
    const std::size_t before = out.size();
    if (const auto it = byName.find(piece.text); it != byName.end()) {
      const std::size_t m = it->second;
      if (const int i = UnwrittenRowAt(rows[m].temps, rows[m].written, piece.temperature); i >= 0) write(m, i);
      if (p == rows[m].lastPlace) writeTheRest(m);  // rows added since the file was read
    }
    if (out.size() == before) {
      rowsGone = true;
    } else {
      openBlock = false;
    }
  }
  for (std::size_t m = 0; m < materials_.size(); ++m) writeTheRest(m);  // materials new to the file
  return out;
}

// Takes what is on disk now and lays this object's own changes over it; materials this object
// already holds keep their addresses.
void MaterialLibrary::Adopt(Contents& fresh) {
  for (const std::string& touched : touched_) {
    const CaeString name(touched);
    CaeMaterial* mine = Find(name);
    auto theirs =
        std::find_if(fresh.materials.begin(), fresh.materials.end(), [&](const auto& m) { return m->Name() == name; });
    if (mine && theirs != fresh.materials.end()) {
      **theirs = *mine;
    } else if (mine) {
      fresh.materials.push_back(std::make_unique<CaeMaterial>(*mine));
    } else if (theirs != fresh.materials.end()) {
      Contents::Erase(fresh.materials, fresh.layout, static_cast<std::size_t>(theirs - fresh.materials.begin()));
    }
  }
  std::vector<std::unique_ptr<CaeMaterial>> merged;
  for (auto& material : fresh.materials) {
    auto ours = std::find_if(materials_.begin(), materials_.end(),
                             [&](const auto& m) { return m && m->Name() == material->Name(); });
    if (ours != materials_.end()) {
      **ours = *material;
      merged.push_back(std::move(*ours));
    } else {
      merged.push_back(std::move(material));
    }
  }
  materials_ = std::move(merged);
  layout_ = std::move(fresh.layout);
}

bool MaterialLibrary::Save() {
  if (!usable_) {
    Report((path_.IsEmpty() ? std::string("material library") : path_.Str()) +
           ": not saved: the library could not be opened");
    return false;
  }
  const fs::path file = mfc::posixPath(path_.c_str());
  std::error_code error;
  if (fs::exists(file, error)) {
    kestrum::Result<std::string> now = kestrum::ReadWholeFile(file, kMaxLibraryBytes);
    if (!now) {
      Report(path_.Str() + ": not saved: " + now.problem().message);
      return false;
    }
    if (*now != diskImage_) {
      Contents fresh;
      format_.Parse(*now, path_.Str(), fresh);
      Adopt(fresh);
    }
    if (access(file.c_str(), W_OK) != 0) {
      Report(path_.Str() + ": not saved: " + std::strerror(errno));
      return false;
    }
  } else if (!diskImage_.empty()) {
    Contents fresh;  // removed since it was read: what was there is gone, our changes are not
    Adopt(fresh);
  }
  const std::string data = Serialise();
  std::string why;
  if (!kestrum::writeFileAtomically(file, data, &why)) {
    Report(path_.Str() + ": not saved: " + why);
    return false;
  }
  diskImage_ = data;
  touched_.clear();
  modified_ = false;
  return true;
}

// --- the part modeller's file -----------------------------------------------------------------------

AcMatLibrary::AcMatLibrary(const CaeString& path) : MaterialLibrary(path, kModellerFormat) {}

AcMatLibrary::~AcMatLibrary() = default;
