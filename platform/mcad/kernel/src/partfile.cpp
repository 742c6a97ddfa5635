#include "mcadkernel/partfile.h"

#include <Standard_Failure.hxx>
#include <gp_Ax1.hxx>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "atomic_file.h"
#include "kestrum/text.h"
#include "mcadkernel/error.h"

namespace mcadkernel {

namespace {

std::string trim(std::string_view text) { return std::string(kestrum::Trim(text)); }

// A '#' at the start of a line or after a blank starts a comment; elsewhere it is part of a name
// ("box1/top#2").
std::string withoutComment(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
  return line;
}

struct Line {
  int number;
  std::string text;  // without comment and surrounding blanks; never empty
};

std::vector<Line> meaningfulLines(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::string content = trim(withoutComment(raw));
    if (!content.empty()) lines.push_back({number, content});
  }
  return lines;
}

// Splits at blanks outside parentheses.
std::vector<std::string> splitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string current;
  int depth = 0;
  for (char c : text) {
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) throw KernelError("unbalanced ')'");
    if ((c == ' ' || c == '\t') && depth == 0) {
      if (!current.empty()) words.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (depth != 0) throw KernelError("unbalanced '('");
  if (!current.empty()) words.push_back(current);
  return words;
}

// Splits a parenthesised list at commas outside nested parentheses.
std::vector<std::string> splitList(const std::string& inner) {
  std::vector<std::string> items;
  std::string current;
  int depth = 0;
  for (char c : inner) {
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      items.push_back(trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  items.push_back(trim(current));
  return items;
}

// True when text is "(...)" with the opening parenthesis closed only at the very end.
bool isWrapped(const std::string& text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0 && i + 1 < text.size()) return false;
  }
  return true;
}

struct Field {
  std::string key;
  std::vector<std::string> items;  // one item for a plain value
};

Expression parseExpression(const std::string& key, const std::string& text) {
  if (text.empty()) throw KernelError(key + " has an empty value");
  try {
    return Expression::parse(text);
  } catch (const KernelError& e) {
    throw KernelError(key + ": " + e.what());
  }
}

// The key=value fields of a feature line, consumed by the feature's reader; anything left over is an
// error, so a misspelt key never goes unnoticed.
class Fields {
 public:
  Fields(const std::string& keyword, const std::vector<std::string>& words, size_t first) : keyword_(keyword) {
    for (size_t i = first; i < words.size(); ++i) {
      size_t eq = words[i].find('=');
      if (eq == std::string::npos || eq == 0) throw KernelError("expected key=value, found \"" + words[i] + "\"");
      Field field{words[i].substr(0, eq), {}};
      std::string value = words[i].substr(eq + 1);
      field.items = isWrapped(value) ? splitList(value.substr(1, value.size() - 2)) : std::vector<std::string>{value};
      fields_.push_back(std::move(field));
    }
  }

  bool has(const std::string& key) const {
    for (const Field& f : fields_)
      if (f.key == key) return true;
    return false;
  }

  std::vector<std::string> take(const std::string& key, size_t count) {
    for (auto it = fields_.begin(); it != fields_.end(); ++it) {
      if (it->key != key) continue;
      std::vector<std::string> items = it->items;
      fields_.erase(it);
      if (has(key)) throw KernelError(keyword_ + ": " + key + " is given twice");
      if (items.size() != count)
        throw KernelError(keyword_ + ": " + key + " needs " + std::to_string(count) +
                          (count == 1 ? " value" : " values") + ", found " + std::to_string(items.size()));
      return items;
    }
    throw KernelError(keyword_ + " needs " + key + "=");
  }

  Expression scalar(const std::string& key) { return parseExpression(key, take(key, 1)[0]); }

  template <size_t N>
  std::array<Expression, N> tuple(const std::string& key) {
    std::vector<std::string> items = take(key, N);
    std::array<Expression, N> result;
    for (size_t i = 0; i < N; ++i) result[i] = parseExpression(key, items[i]);
    return result;
  }

  std::string word(const std::string& key) { return take(key, 1)[0]; }

  // Takes the fields in order while their key is one of keys (for profile segments).
  std::vector<Field> takeSequence(const std::set<std::string>& keys) {
    std::vector<Field> taken;
    for (auto it = fields_.begin(); it != fields_.end();) {
      if (keys.count(it->key)) {
        taken.push_back(*it);
        it = fields_.erase(it);
      } else {
        ++it;
      }
    }
    return taken;
  }

  void expectEmpty() const {
    if (!fields_.empty()) throw KernelError(keyword_ + " does not take " + fields_.front().key + "=");
  }

 private:
  std::string keyword_;
  std::vector<Field> fields_;
};

Operation readOperation(Fields& fields) {
  if (!fields.has("op")) return Operation::Union;
  std::string op = fields.word("op");
  if (op == "union") return Operation::Union;
  if (op == "cut") return Operation::Cut;
  throw KernelError("op must be union or cut, not \"" + op + "\"");
}

ProfilePlane readPlane(Fields& fields) {
  if (!fields.has("plane")) return ProfilePlane::XY;
  std::string plane = fields.word("plane");
  if (plane == "xy") return ProfilePlane::XY;
  if (plane == "yz") return ProfilePlane::YZ;
  if (plane == "zx") return ProfilePlane::ZX;
  throw KernelError("plane must be xy, yz or zx, not \"" + plane + "\"");
}

std::vector<ProfileSegment> readSegments(Fields& fields) {
  std::vector<ProfileSegment> segments;
  for (const Field& field : fields.takeSequence({"line", "arc"})) {
    ProfileSegment segment;
    bool arc = field.key == "arc";
    size_t expected = arc ? 4 : 2;
    if (field.items.size() != expected)
      throw KernelError("extrude: " + field.key + " needs " + std::to_string(expected) + " values, found " +
                        std::to_string(field.items.size()));
    segment.kind = arc ? ProfileSegment::Kind::Arc : ProfileSegment::Kind::Line;
    size_t endAt = arc ? 2 : 0;
    if (arc) {
      segment.through = {parseExpression("arc", field.items[0]), parseExpression("arc", field.items[1])};
    }
    segment.end = {parseExpression(field.key, field.items[endAt]), parseExpression(field.key, field.items[endAt + 1])};
    segments.push_back(std::move(segment));
  }
  if (segments.empty()) throw KernelError("extrude needs a profile: line=(u, v) or arc=(...) after start=");
  return segments;
}

Feature readFeature(const std::vector<std::string>& words) {
  const std::string& keyword = words[0];
  if (words.size() < 2) throw KernelError(keyword + " needs a name");
  Feature feature;
  feature.name = words[1];
  if (!isValidName(feature.name)) throw KernelError("\"" + feature.name + "\" is not a valid feature name");
  Fields fields(keyword, words, 2);
  if (keyword == "box") {
    feature.operation = readOperation(fields);
    feature.shape = BoxFeature{fields.tuple<3>("corner"), fields.tuple<3>("size")};
  } else if (keyword == "cylinder") {
    feature.operation = readOperation(fields);
    CylinderFeature cylinder;
    cylinder.base = fields.tuple<3>("base");
    cylinder.axis = fields.tuple<3>("axis");
    cylinder.radius = fields.scalar("radius");
    cylinder.height = fields.scalar("height");
    feature.shape = cylinder;
  } else if (keyword == "extrude") {
    feature.operation = readOperation(fields);
    ExtrudeFeature extrude;
    extrude.plane = readPlane(fields);
    extrude.offset = fields.has("offset") ? fields.scalar("offset") : Expression();
    extrude.height = fields.scalar("height");
    extrude.start = fields.tuple<2>("start");
    extrude.segments = readSegments(fields);
    feature.shape = extrude;
  } else if (keyword == "hole") {
    HoleFeature hole;
    hole.at = fields.tuple<3>("at");
    hole.direction = fields.tuple<3>("direction");
    hole.diameter = fields.scalar("diameter");
    if (fields.has("depth")) hole.depth = fields.scalar("depth");
    feature.shape = hole;
  } else if (keyword == "fillet") {
    FilletFeature fillet;
    fillet.radius = fields.scalar("radius");
    if (!fields.has("edges")) throw KernelError("fillet needs edges=");
    std::vector<Field> edges = fields.takeSequence({"edges"});  // any number of names
    if (edges.size() > 1) throw KernelError("fillet: edges is given twice");
    fillet.edges = edges.front().items;
    feature.shape = fillet;
  } else {
    throw KernelError("unknown feature \"" + keyword + "\" (expected box, cylinder, extrude, hole or fillet)");
  }
  fields.expectEmpty();
  return feature;
}

struct PartSource {
  std::string name;
  std::vector<std::pair<std::string, std::string>> parameters;
  std::vector<Feature> features;
  std::map<std::string, int> parameterLines, featureLines;
};

// A refusal that knows its file and line, handed back to callers as a Problem.
class ReadError : public KernelError {
 public:
  explicit ReadError(kestrum::Problem problem) : KernelError(problem.Describe()), problem_(std::move(problem)) {}
  const kestrum::Problem& problem() const { return problem_; }

 private:
  kestrum::Problem problem_;
};

[[noreturn]] void failAt(const std::string& source, int line, const std::string& message) {
  throw ReadError(kestrum::Problem{message, source, line});
}

// Runs a reader, turning whatever it throws into a Problem (the geometry kernel's own failures
// and library exceptions included), so that no input can end the program.
template <class T, class Read>
kestrum::Result<T> asResult(const std::string& source, Read read) {
  try {
    return read();
  } catch (const ReadError& e) {
    return e.problem();
  } catch (const std::exception& e) {
    return kestrum::Problem{e.what(), source, 0};
  } catch (const Standard_Failure& e) {
    return kestrum::Problem{std::string("the geometry cannot be built: ") + e.GetMessageString(), source, 0};
  }
}

template <class T>
T valueOrThrow(kestrum::Result<T> result) {
  if (!result) throw ReadError(result.problem());
  return std::move(result).value();
}

void readParameterLine(PartSource& part, const Line& line, size_t keywordLength) {
  std::string rest = line.text.substr(keywordLength);
  size_t eq = rest.find('=');
  if (eq == std::string::npos) throw KernelError("expected param NAME = EXPRESSION");
  std::string name = trim(rest.substr(0, eq));
  std::string text = trim(rest.substr(eq + 1));
  if (!isValidName(name)) throw KernelError("\"" + name + "\" is not a valid parameter name");
  if (part.parameterLines.count(name)) throw KernelError("parameter " + name + " is defined twice");
  Expression expression = parseExpression("parameter " + name, text);
  for (const std::string& ref : expression.references())
    if (ref == name) throw KernelError("parameter " + name + " refers to itself");
  part.parameters.emplace_back(name, text);
  part.parameterLines[name] = line.number;
}

PartSource parsePartText(const std::string& text, const std::string& source) {
  PartSource part;
  std::vector<Line> lines = meaningfulLines(text);
  if (lines.empty()) failAt(source, 0, "the file is empty");
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    try {
      std::vector<std::string> words = splitWords(line.text);
      if (i == 0) {
        if (words[0] != "part" || words.size() != 2) throw KernelError("expected \"part NAME\" first");
        if (!isValidName(words[1])) throw KernelError("\"" + words[1] + "\" is not a valid part name");
        part.name = words[1];
      } else if (words[0] == "part") {
        throw KernelError("a file holds one part");
      } else if (words[0] == "param") {
        readParameterLine(part, line, 5);
      } else {
        Feature feature = readFeature(words);
        if (part.featureLines.count(feature.name)) throw KernelError("there are two features named " + feature.name);
        part.featureLines[feature.name] = line.number;
        part.features.push_back(std::move(feature));
      }
    } catch (const KernelError& e) {
      failAt(source, line.number, e.what());
    }
  }
  return part;
}

// Part and assembly files are small: anything past this is not one.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{16} << 20;

std::string readWholeFile(const std::filesystem::path& path) {
  kestrum::Result<std::string> text = kestrum::ReadWholeFile(path, kMaxFileBytes);
  // The message names the file itself: it is also the message of the line that named the file.
  if (!text)
    throw ReadError(kestrum::Problem{"cannot read " + path.string() + " (" + text.problem().message + ")", "", 0});
  return std::move(text).value();
}

// Values are written so that they read back to the same text.
std::string valueText(const Expression& e) {
  const std::string& text = e.text();
  if (text.find_first_of(" \t") != std::string::npos || text.front() == '(') return "(" + text + ")";
  return text;
}

template <size_t N>
std::string tupleText(const std::array<Expression, N>& values) {
  std::string text = "(";
  for (size_t i = 0; i < N; ++i) text += (i ? ", " : "") + values[i].text();
  return text + ")";
}

std::string operationText(Operation operation) { return operation == Operation::Cut ? " op=cut" : ""; }

std::string featureLine(const Feature& feature) {
  std::string line = std::string(featureKeyword(feature)) + " " + feature.name;
  if (auto* box = std::get_if<BoxFeature>(&feature.shape)) {
    line += operationText(feature.operation) + " corner=" + tupleText(box->corner) + " size=" + tupleText(box->size);
  } else if (auto* c = std::get_if<CylinderFeature>(&feature.shape)) {
    line += operationText(feature.operation) + " base=" + tupleText(c->base) + " axis=" + tupleText(c->axis) +
            " radius=" + valueText(c->radius) + " height=" + valueText(c->height);
  } else if (auto* x = std::get_if<ExtrudeFeature>(&feature.shape)) {
    static const char* const kPlanes[] = {"xy", "yz", "zx"};
    line += operationText(feature.operation) + " plane=" + kPlanes[static_cast<int>(x->plane)] +
            " offset=" + valueText(x->offset) + " height=" + valueText(x->height) + " start=" + tupleText(x->start);
    for (const ProfileSegment& s : x->segments) {
      if (s.kind == ProfileSegment::Kind::Line)
        line += " line=" + tupleText(s.end);
      else
        line += " arc=" + tupleText(std::array<Expression, 4>{s.through[0], s.through[1], s.end[0], s.end[1]});
    }
  } else if (auto* h = std::get_if<HoleFeature>(&feature.shape)) {
    line += " at=" + tupleText(h->at) + " direction=" + tupleText(h->direction) + " diameter=" + valueText(h->diameter);
    if (h->depth) line += " depth=" + valueText(*h->depth);
  } else if (auto* f = std::get_if<FilletFeature>(&feature.shape)) {
    line += " radius=" + valueText(f->radius) + " edges=(";
    for (size_t i = 0; i < f->edges.size(); ++i) line += (i ? ", " : "") + f->edges[i];
    line += ")";
  }
  return line;
}

std::unique_ptr<Part> buildPart(const std::string& text, const std::string& sourceName, const ParameterSet* globals) {
  PartSource source = parsePartText(text, sourceName);
  auto part = std::make_unique<Part>(source.name, globals);
  try {
    part->define(source.parameters, std::move(source.features));
  } catch (const ParameterError& e) {
    auto line = source.parameterLines.find(e.parameter());
    failAt(sourceName, line != source.parameterLines.end() ? line->second : 0, e.what());
  } catch (const FeatureError& e) {
    auto line = source.featureLines.find(e.feature());
    failAt(sourceName, line != source.featureLines.end() ? line->second : 0, e.what());
  }
  return part;
}

}  // namespace

kestrum::Result<std::unique_ptr<Part>> parsePart(std::string_view text, const std::string& sourceName,
                                                 const ParameterSet* globals) {
  return asResult<std::unique_ptr<Part>>(sourceName, [&] { return buildPart(std::string(text), sourceName, globals); });
}

kestrum::Result<std::unique_ptr<Part>> parsePartFile(const std::filesystem::path& path, const ParameterSet* globals) {
  return asResult<std::unique_ptr<Part>>(path.string(),
                                         [&] { return buildPart(readWholeFile(path), path.string(), globals); });
}

std::unique_ptr<Part> readPart(const std::string& text, const std::string& sourceName, const ParameterSet* globals) {
  return valueOrThrow(parsePart(text, sourceName, globals));
}

std::unique_ptr<Part> readPartFile(const std::filesystem::path& path, const ParameterSet* globals) {
  return valueOrThrow(parsePartFile(path, globals));
}

Part& loadPartFile(Assembly& assembly, const std::filesystem::path& path) {
  return assembly.adoptPart(readPartFile(path, &assembly.globals()));
}

std::string partFileText(const Part& part) {
  std::string text = "part " + part.name() + "\n";
  for (const std::string& name : part.parameters().names())
    text += "param " + name + " = " + part.parameters().expressionText(name) + "\n";
  for (const Feature& feature : part.features()) text += featureLine(feature) + "\n";
  return text;
}

void writePartFile(const Part& part, const std::filesystem::path& path) {
  writeFileAtomically(path, partFileText(part));
}

namespace {

gp_Trsf readPlacement(Fields& fields, const ParameterSet& globals) {
  auto value = [&](const Expression& e) { return globals.evaluate(e); };
  gp_Trsf placement;
  if (fields.has("rotate")) {
    std::array<Expression, 4> rotate = fields.tuple<4>("rotate");
    gp_Vec axis(value(rotate[0]), value(rotate[1]), value(rotate[2]));
    if (axis.Magnitude() < 1e-12) throw KernelError("the rotation axis is a zero vector");
    placement.SetRotation(gp_Ax1(gp_Pnt(0, 0, 0), gp_Dir(axis)), value(rotate[3]) * M_PI / 180.0);
  }
  if (fields.has("at")) {
    std::array<Expression, 3> at = fields.tuple<3>("at");
    gp_Trsf move;
    move.SetTranslation(gp_Vec(value(at[0]), value(at[1]), value(at[2])));
    placement = move * placement;
  }
  fields.expectEmpty();
  return placement;
}

std::unique_ptr<Assembly> buildAssembly(const std::string& text, const std::filesystem::path& path) {
  std::string source = path.string();
  std::vector<Line> lines = meaningfulLines(text);
  if (lines.empty()) failAt(source, 0, "the file is empty");
  auto assembly = std::make_unique<Assembly>();
  // Globals first, whatever their place in the file: the parts' expressions refer to them.
  std::vector<std::pair<std::string, std::string>> globals;
  std::map<std::string, int> globalLines;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    try {
      std::vector<std::string> words = splitWords(line.text);
      if (i == 0 && (words[0] != "assembly" || words.size() != 2))
        throw KernelError("expected \"assembly NAME\" first");
      if (words[0] != "global") continue;
      PartSource scratch;
      readParameterLine(scratch, line, 6);
      if (globalLines.count(scratch.parameters[0].first))
        throw KernelError("global " + scratch.parameters[0].first + " is defined twice");
      globals.push_back(scratch.parameters[0]);
      globalLines[globals.back().first] = line.number;
    } catch (const KernelError& e) {
      failAt(source, line.number, e.what());
    }
  }
  try {
    if (!globals.empty()) assembly->defineGlobals(globals);
  } catch (const ParameterError& e) {
    failAt(source, globalLines.count(e.parameter()) ? globalLines[e.parameter()] : 0, e.what());
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    const Line& line = lines[i];
    try {
      std::vector<std::string> words = splitWords(line.text);
      if (words[0] == "global") continue;
      if (words[0] == "part") {
        if (words.size() != 2) throw KernelError("expected \"part FILE\"");
        loadPartFile(*assembly, path.parent_path() / words[1]);
      } else if (words[0] == "component") {
        if (words.size() < 3) throw KernelError("expected \"component NAME PART ...\"");
        Fields fields("component", words, 3);
        assembly->addComponent(words[1], words[2], readPlacement(fields, assembly->globals()));
      } else {
        throw KernelError("unknown line \"" + words[0] + "\" (expected global, part or component)");
      }
    } catch (const KernelError& e) {
      failAt(source, line.number, e.what());
    }
  }
  return assembly;
}

}  // namespace

kestrum::Result<std::unique_ptr<Assembly>> parseAssembly(std::string_view text, const std::filesystem::path& path) {
  return asResult<std::unique_ptr<Assembly>>(path.string(), [&] { return buildAssembly(std::string(text), path); });
}

kestrum::Result<std::unique_ptr<Assembly>> parseAssemblyFile(const std::filesystem::path& path) {
  return asResult<std::unique_ptr<Assembly>>(path.string(), [&] { return buildAssembly(readWholeFile(path), path); });
}

std::unique_ptr<Assembly> readAssemblyFile(const std::filesystem::path& path) {
  return valueOrThrow(parseAssemblyFile(path));
}

}  // namespace mcadkernel
