#include "vrml_check.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>

namespace kestrum::test {

namespace {

enum class Kind {
  SFBool,
  SFFloat,
  SFTime,
  SFString,
  MFString,
  SFVec3f,
  MFVec3f,
  SFColor,
  MFColor,
  MFInt32,
  MFFloat,
  SFNode,
  MFNode,
  SFEnum
};

struct NodeSchema {
  std::map<std::string, Kind> fields;
  std::map<std::string, Kind> eventsIn, eventsOut;
  bool group = false;  // VRML 1.0: holds nodes directly
};

const std::map<std::string, NodeSchema>& Schema(int version) {
  static const std::map<std::string, NodeSchema> v2 = {
      {"WorldInfo", {{{"title", Kind::SFString}, {"info", Kind::MFString}}, {}, {}}},
      {"NavigationInfo", {{{"type", Kind::MFString}}, {}, {}}},
      {"Shape", {{{"appearance", Kind::SFNode}, {"geometry", Kind::SFNode}}, {}, {}}},
      {"Appearance", {{{"material", Kind::SFNode}}, {}, {}}},
      {"Material", {{{"diffuseColor", Kind::SFColor}, {"transparency", Kind::SFFloat}}, {}, {}}},
      {"IndexedFaceSet",
       {{{"solid", Kind::SFBool},
         {"colorPerVertex", Kind::SFBool},
         {"coord", Kind::SFNode},
         {"color", Kind::SFNode},
         {"coordIndex", Kind::MFInt32}},
        {},
        {}}},
      {"Coordinate", {{{"point", Kind::MFVec3f}}, {{"set_point", Kind::MFVec3f}}, {}}},
      {"Color", {{{"color", Kind::MFColor}}, {}, {}}},
      {"TimeSensor",
       {{{"cycleInterval", Kind::SFTime}, {"loop", Kind::SFBool}}, {}, {{"fraction_changed", Kind::SFFloat}}}},
      {"CoordinateInterpolator",
       {{{"key", Kind::MFFloat}, {"keyValue", Kind::MFVec3f}},
        {{"set_fraction", Kind::SFFloat}},
        {{"value_changed", Kind::MFVec3f}}}},
      {"PositionInterpolator",
       {{{"key", Kind::MFFloat}, {"keyValue", Kind::MFVec3f}},
        {{"set_fraction", Kind::SFFloat}},
        {{"value_changed", Kind::SFVec3f}}}},
      {"Transform",
       {{{"center", Kind::SFVec3f}, {"scale", Kind::SFVec3f}, {"children", Kind::MFNode}},
        {{"set_scale", Kind::SFVec3f}},
        {}}},
  };
  static const std::map<std::string, NodeSchema> v1 = {
      {"Separator", {{}, {}, {}, true}},
      {"Info", {{{"string", Kind::SFString}}, {}, {}}},
      {"ShapeHints", {{{"vertexOrdering", Kind::SFEnum}, {"shapeType", Kind::SFEnum}}, {}, {}}},
      {"MaterialBinding", {{{"value", Kind::SFEnum}}, {}, {}}},
      {"Material", {{{"diffuseColor", Kind::MFColor}}, {}, {}}},
      {"Coordinate3", {{{"point", Kind::MFVec3f}}, {}, {}}},
      {"IndexedFaceSet", {{{"coordIndex", Kind::MFInt32}, {"materialIndex", Kind::MFInt32}}, {}, {}}},
  };
  return version == 1 ? v1 : v2;
}

class Reader {
 public:
  Reader(const std::string& text, VrmlScene& scene) : text_(text), scene_(scene) {}

  void Read() {
    const std::size_t eol = text_.find('\n');
    const std::string header = text_.substr(0, eol);
    if (header == "#VRML V2.0 utf8")
      scene_.version = 2;
    else if (header == "#VRML V1.0 ascii")
      scene_.version = 1;
    else
      return Error("the header is \"" + header + "\"");
    pos_ = eol == std::string::npos ? text_.size() : eol;
    while (Peek() != "" && scene_.errors.empty()) {
      if (Peek() == "ROUTE")
        Route();
      else if (auto node = Node())
        scene_.roots.push_back(node);
    }
    if (scene_.version == 1 && scene_.roots.size() != 1) Error("a VRML 1.0 file holds one node");
  }

 private:
  void Error(const std::string& what) {
    if (scene_.errors.empty()) scene_.errors.push_back("line " + std::to_string(Line()) + ": " + what);
  }
  int Line() const {
    int line = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) line += text_[i] == '\n';
    return line;
  }

  void Skip() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') {
        ++pos_;
      } else {
        break;
      }
    }
  }
  // Whether a comma comes before the next token.
  bool CommaFollows() const {
    for (std::size_t i = pos_; i < text_.size(); ++i) {
      const char c = text_[i];
      if (c == ',') return true;
      if (c == '#')
        while (i < text_.size() && text_[i] != '\n') ++i;
      else if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
        return false;
    }
    return false;
  }
  // The next token without taking it ("" at the end).
  std::string Peek() {
    const std::size_t saved = pos_;
    std::string token = Next();
    pos_ = saved;
    return token;
  }
  std::string Next() {
    Skip();
    if (pos_ >= text_.size()) return "";
    const char c = text_[pos_];
    if (c == '{' || c == '}' || c == '[' || c == ']') return std::string(1, text_[pos_++]);
    if (c == '"') return "\"";  // strings are read by String()
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
           std::string(",{}[]\"#").find(text_[pos_]) == std::string::npos)
      ++pos_;
    return text_.substr(start, pos_ - start);
  }
  bool Expect(const std::string& token) {
    const std::string got = Next();
    if (got != token) Error("expected \"" + token + "\", found \"" + got + "\"");
    return got == token;
  }
  bool String(std::string& out) {
    Skip();
    if (pos_ >= text_.size() || text_[pos_] != '"') {
      Error("expected a string");
      return false;
    }
    ++pos_;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      if (text_[pos_] == '\\' && pos_ + 1 < text_.size()) ++pos_;
      if (text_[pos_] == '\n') return Error("a line break inside a string"), false;
      out += text_[pos_++];
    }
    if (pos_ >= text_.size()) return Error("a string without its closing quote"), false;
    ++pos_;
    return true;
  }
  bool Number(double& value, bool integer) {
    const std::string token = Next();
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    if (token.empty() || *end != '\0' || !std::isfinite(value) || (integer && value != std::floor(value))) {
      Error("\"" + token + "\" is not " + (integer ? "an integer" : "a number"));
      return false;
    }
    return true;
  }

  bool Numbers(VrmlValue& value, int tuple, bool multiple, bool integer) {
    const bool bracket = multiple && Peek() == "[";
    if (bracket) Next();
    do {
      if (bracket && Peek() == "]") break;
      for (int i = 0; i < tuple; ++i) {
        double v = 0;
        if (!Number(v, integer)) return false;
        value.numbers.push_back(v);
      }
      // VRML 1.0 separates the values of a list by commas.
      if (bracket && scene_.version == 1 && !CommaFollows() && Peek() != "]")
        return Error("values of a VRML 1.0 list without a comma between them"), false;
    } while (bracket);
    if (bracket) return Expect("]");
    return true;
  }

  bool Value(Kind kind, VrmlValue& value) {
    switch (kind) {
      case Kind::SFBool: {
        const std::string token = Next();
        if (token != "TRUE" && token != "FALSE") return Error("\"" + token + "\" is not TRUE or FALSE"), false;
        value.numbers.push_back(token == "TRUE");
        return true;
      }
      case Kind::SFFloat:
      case Kind::SFTime: return Numbers(value, 1, false, false);
      case Kind::MFFloat: return Numbers(value, 1, true, false);
      case Kind::MFInt32: return Numbers(value, 1, true, true);
      case Kind::SFVec3f:
      case Kind::SFColor: return Numbers(value, 3, false, false);
      case Kind::MFVec3f:
      case Kind::MFColor: return Numbers(value, 3, true, false);
      case Kind::SFString: {
        std::string s;
        if (!String(s)) return false;
        value.strings.push_back(s);
        return true;
      }
      case Kind::MFString: {
        const bool bracket = Peek() == "[";
        if (bracket) Next();
        while (!bracket || Peek() != "]") {
          std::string s;
          if (!String(s)) return false;
          value.strings.push_back(s);
          if (!bracket) return true;
        }
        return Expect("]");
      }
      case Kind::SFEnum: value.word = Next(); return !value.word.empty();
      case Kind::SFNode:
        if (auto node = Node()) return value.nodes.push_back(node), true;
        return false;
      case Kind::MFNode: {
        const bool bracket = Peek() == "[";
        if (bracket) Next();
        while (!bracket || Peek() != "]") {
          auto node = Node();
          if (!node) return false;
          value.nodes.push_back(node);
          if (!bracket) return true;
        }
        return Expect("]");
      }
    }
    return false;
  }

  std::shared_ptr<VrmlNode> Node() {
    std::string word = Next();
    std::string def;
    if (word == "USE") {
      const std::string name = Next();
      auto found = scene_.defs.find(name);
      if (found == scene_.defs.end()) return Error("USE of \"" + name + "\", which is not defined"), nullptr;
      return found->second;
    }
    if (word == "DEF") {
      def = Next();
      word = Next();
    }
    const auto& schema = Schema(scene_.version);
    auto entry = schema.find(word);
    if (entry == schema.end()) return Error("unknown node \"" + word + "\""), nullptr;
    auto node = std::make_shared<VrmlNode>();
    node->type = word;
    node->def = def;
    if (!def.empty()) {
      if (scene_.defs.count(def)) return Error("\"" + def + "\" is defined twice"), nullptr;
      scene_.defs[def] = node;
    }
    if (!Expect("{")) return nullptr;
    while (Peek() != "}") {
      if (Peek().empty()) return Error("the file ends inside " + word), nullptr;
      if (entry->second.group) {
        auto child = Node();
        if (!child) return nullptr;
        node->children.push_back(child);
        continue;
      }
      const std::string field = Next();
      auto kind = entry->second.fields.find(field);
      if (kind == entry->second.fields.end()) return Error(word + " has no field \"" + field + "\""), nullptr;
      if (node->fields.count(field)) return Error(word + "." + field + " is given twice"), nullptr;
      if (!Value(kind->second, node->fields[field])) return nullptr;
    }
    Next();
    return node;
  }

  void Route() {
    Next();
    auto split = [&](const std::string& text, std::string& node, std::string& field) {
      const std::size_t dot = text.find('.');
      if (dot == std::string::npos) return Error("\"" + text + "\" is not node.field"), false;
      node = text.substr(0, dot), field = text.substr(dot + 1);
      return true;
    };
    VrmlRoute route;
    if (!split(Next(), route.fromNode, route.fromField) || !Expect("TO") || !split(Next(), route.toNode, route.toField))
      return;
    scene_.routes.push_back(route);
  }

  const std::string& text_;
  VrmlScene& scene_;
  std::size_t pos_ = 0;
};

// ---- the sense of what was read -------------------------------------------------------------

void Walk(const VrmlScene& scene, const std::function<void(const VrmlNode&)>& visit) {
  std::set<const VrmlNode*> seen;
  std::function<void(const VrmlNode&)> go = [&](const VrmlNode& node) {
    if (!seen.insert(&node).second) return;
    visit(node);
    for (const auto& [name, value] : node.fields)
      for (const auto& child : value.nodes) go(*child);
    for (const auto& child : node.children) go(*child);
  };
  for (const auto& root : scene.roots) go(*root);
}

std::size_t Points(const VrmlNode* coordinate) {
  const VrmlValue* point = coordinate ? coordinate->Field("point") : nullptr;
  return point ? point->numbers.size() / 3 : 0;
}

void CheckIndexes(std::vector<std::string>& errors, const std::string& where, const VrmlValue* index,
                  std::size_t points) {
  if (!index || index->numbers.empty()) return errors.push_back(where + " has no faces");
  int corners = 0;
  for (double v : index->numbers) {
    if (v == -1) {
      if (corners < 3) errors.push_back(where + " has a face of fewer than 3 corners");
      corners = 0;
    } else if (v < 0 || v >= static_cast<double>(points)) {
      return errors.push_back(where + " has index " + std::to_string(static_cast<long>(v)) + " of " +
                              std::to_string(points) + " points");
    } else {
      ++corners;
    }
  }
  if (corners != 0) errors.push_back(where + " does not end its last face with -1");
}

void CheckKeys(std::vector<std::string>& errors, const VrmlNode& node, std::size_t& keys, std::size_t& values) {
  const VrmlValue* key = node.Field("key");
  const VrmlValue* keyValue = node.Field("keyValue");
  keys = key ? key->numbers.size() : 0;
  values = keyValue ? keyValue->numbers.size() / 3 : 0;
  if (keys == 0) return errors.push_back(node.type + " " + node.def + " has no keys");
  for (std::size_t i = 0; i < keys; ++i)
    if (key->numbers[i] < 0 || key->numbers[i] > 1 || (i > 0 && key->numbers[i] < key->numbers[i - 1]))
      return errors.push_back(node.type + " " + node.def + ": keys do not rise within 0..1");
  if (values % keys != 0) errors.push_back(node.type + " " + node.def + ": key values do not match the keys");
}

void CheckSense(VrmlScene& scene) {
  std::vector<std::string>& errors = scene.errors;
  if (scene.version == 1) {
    const VrmlNode& separator = *scene.roots.front();
    std::size_t points = 0, colors = 0;
    for (const auto& child : separator.children) {
      if (child->type == "Coordinate3") points = Points(child.get());
      if (child->type == "Material")
        colors = child->Field("diffuseColor") ? child->Field("diffuseColor")->numbers.size() / 3 : 0;
      if (child->type == "IndexedFaceSet") {
        CheckIndexes(errors, "IndexedFaceSet", child->Field("coordIndex"), points);
        if (colors != points) errors.push_back("the colours are not one per point");
      }
    }
    return;
  }
  std::map<std::string, std::size_t> interpolated;  // coordinate DEF -> points per key
  Walk(scene, [&](const VrmlNode& node) {
    if (node.type == "IndexedFaceSet") {
      const VrmlNode* coordinate = node.Child("coord");
      const std::size_t points = Points(coordinate);
      CheckIndexes(errors, "IndexedFaceSet", node.Field("coordIndex"), points);
      const VrmlNode* color = node.Child("color");
      const std::size_t colors = color && color->Field("color") ? color->Field("color")->numbers.size() / 3 : points;
      if (colors != points) errors.push_back("the colours are not one per point");
    }
    if (node.type == "Transform") {
      if (const VrmlValue* scale = node.Field("scale"))
        for (double s : scale->numbers)
          if (s <= 0) errors.push_back("a Transform's scale is not above zero");
    }
    if (node.type == "PositionInterpolator" || node.type == "CoordinateInterpolator") {
      std::size_t keys = 0, values = 0;
      CheckKeys(errors, node, keys, values);
      if (node.type == "PositionInterpolator" && values != keys)
        errors.push_back("PositionInterpolator " + node.def + " has not one value per key");
    }
  });
  for (const VrmlRoute& route : scene.routes) {
    auto from = scene.defs.find(route.fromNode);
    auto to = scene.defs.find(route.toNode);
    if (from == scene.defs.end() || to == scene.defs.end()) {
      errors.push_back("a ROUTE names a node that is not defined");
      continue;
    }
    const auto& schema = Schema(2);
    const auto& out = schema.at(from->second->type).eventsOut;
    const auto& in = schema.at(to->second->type).eventsIn;
    auto o = out.find(route.fromField);
    auto i = in.find(route.toField);
    if (o == out.end() || i == in.end()) {
      errors.push_back("ROUTE " + route.fromNode + "." + route.fromField + " TO " + route.toNode + "." + route.toField +
                       " names no such events");
    } else if (o->second != i->second) {
      errors.push_back("ROUTE " + route.fromNode + "." + route.fromField + " joins events of different types");
    } else if (to->second->type == "Coordinate") {
      std::size_t keys = 0, values = 0;
      CheckKeys(errors, *from->second, keys, values);
      if (keys && values / keys != Points(to->second.get()))
        errors.push_back("the interpolated points do not match " + route.toNode + "'s points");
    }
  }
}

}  // namespace

std::vector<const VrmlNode*> VrmlScene::All(const std::string& type) const {
  std::vector<const VrmlNode*> found;
  Walk(*this, [&](const VrmlNode& node) {
    if (node.type == type) found.push_back(&node);
  });
  return found;
}

VrmlScene ReadVrml(const std::string& text) {
  VrmlScene scene;
  Reader(text, scene).Read();
  if (scene.errors.empty()) CheckSense(scene);
  return scene;
}

namespace {

VrmlFrame FaceSetFrame(const VrmlNode& faceSet) {
  VrmlFrame frame;
  const VrmlNode* coordinate = faceSet.Child("coord");
  const VrmlNode* color = faceSet.Child("color");
  if (coordinate && coordinate->Field("point")) frame.points = coordinate->Field("point")->numbers;
  if (color && color->Field("color")) frame.colors = color->Field("color")->numbers;
  return frame;
}

// The face sets under the frame Transforms, in frame order.
std::vector<VrmlFrame> FrameTransforms(const VrmlScene& scene) {
  std::vector<VrmlFrame> frames;
  for (int i = 0;; ++i) {
    auto found = scene.defs.find("KestrumFrame" + std::to_string(i));
    if (found == scene.defs.end()) break;
    const VrmlValue* children = found->second->Field("children");
    const VrmlNode* shape = children && !children->nodes.empty() ? children->nodes.front().get() : nullptr;
    const VrmlNode* faceSet = shape ? shape->Child("geometry") : nullptr;
    frames.push_back(faceSet ? FaceSetFrame(*faceSet) : VrmlFrame{});
  }
  return frames;
}

}  // namespace

std::vector<VrmlFrame> VrmlFramesOf(const VrmlScene& scene) {
  if (scene.version == 1) {
    VrmlFrame frame;
    for (const auto& child : scene.roots.front()->children) {
      if (child->type == "Coordinate3" && child->Field("point")) frame.points = child->Field("point")->numbers;
      if (child->type == "Material" && child->Field("diffuseColor"))
        frame.colors = child->Field("diffuseColor")->numbers;
    }
    return {frame};
  }
  std::vector<VrmlFrame> frames = FrameTransforms(scene);
  const std::vector<const VrmlNode*> motion = scene.All("CoordinateInterpolator");
  if (!motion.empty()) {
    const std::vector<double>& values = motion.front()->Field("keyValue")->numbers;
    const std::size_t keys = motion.front()->Field("key")->numbers.size();
    const std::size_t perKey = keys ? values.size() / keys : 0;
    std::vector<double> colors;
    if (frames.empty()) colors = FaceSetFrame(*scene.All("IndexedFaceSet").front()).colors;
    frames.resize(keys > 0 ? keys - 1 : 0);
    for (std::size_t i = 0; i + 1 < keys; ++i) {
      frames[i].points.assign(values.begin() + static_cast<long>(i * perKey),
                              values.begin() + static_cast<long>((i + 1) * perKey));
      if (frames[i].colors.empty()) frames[i].colors = colors;
    }
    return frames;
  }
  if (!frames.empty()) return frames;
  const std::vector<const VrmlNode*> faceSets = scene.All("IndexedFaceSet");
  return faceSets.empty() ? std::vector<VrmlFrame>{} : std::vector<VrmlFrame>{FaceSetFrame(*faceSets.front())};
}

std::string OutsideVrmlComplaints(const std::string& file) {
  const std::string command = "tovrmlx3d '" + file + "' 2>&1 >/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "tovrmlx3d could not be started";
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int status = pclose(pipe);
  if (status != 0) output += "tovrmlx3d ended with status " + std::to_string(status) + "\n";
  return output;
}

}  // namespace kestrum::test
