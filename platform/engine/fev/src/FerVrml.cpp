#include "fev/FerVrml.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "amg/CaeMsgCall.h"
#include "fea/FeaMessages.h"
#include "fea/FerState.h"
#include "kestrum/atomic_file.h"

namespace {

// The frames an animated scene may have: each frame's coordinates are written out.
constexpr int kMinFrames = 1, kMaxFrames = 100;
// The window draws a frame at most every 10 ms (its timer's shortest interval).
constexpr double kShortestFrameSeconds = 0.01, kLongestFrameSeconds = 60.0;
// The scale of a hidden frame: VRML wants scales above zero.
constexpr double kHiddenScale = 1e-6;
// Significant digits: positions as single precision holds them, colours enough to give back
// the 8-bit channel exactly.
constexpr int kPositionDigits = 7, kColorDigits = 4;

class SceneText {
 public:
  explicit SceneText(std::size_t expected) { text_.reserve(expected); }
  SceneText& operator<<(std::string_view s) {
    text_ += s;
    return *this;
  }
  SceneText& Number(double value, int digits) {
    char buffer[32];
    if (!std::isfinite(value)) value = 0.0;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    text_.append(buffer, result.ptr);
    return *this;
  }
  SceneText& Integer(long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_.append(buffer, result.ptr);
    return *this;
  }
  // A string field's text in double quotes; quotes and backslashes escaped, line breaks as blanks.
  SceneText& Quoted(const std::string& value) {
    text_ += '"';
    for (char c : value) {
      if (c == '"' || c == '\\') text_ += '\\';
      text_ += (c == '\n' || c == '\r') ? ' ' : c;
    }
    text_ += '"';
    return *this;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void Points(SceneText& out, const std::vector<double>& positions) {
  for (std::size_t i = 0; i + 2 < positions.size(); i += 3) {
    out.Number(positions[i], kPositionDigits) << " ";
    out.Number(positions[i + 1], kPositionDigits) << " ";
    out.Number(positions[i + 2], kPositionDigits) << ",\n";
  }
}

// The text of each 8-bit channel value as a fraction of one: a colour channel has only 256 values,
// and formatting them anew for every vertex was a third of writing a scene's text.
const std::array<std::string, 256>& ChannelTexts() {
  static const std::array<std::string, 256> texts = [] {
    std::array<std::string, 256> made;
    for (std::size_t i = 0; i < made.size(); ++i) {
      SceneText text(8);
      text.Number(static_cast<double>(i) / 255.0, kColorDigits);
      made[i] = text.Take();
    }
    return made;
  }();
  return texts;
}

void Colors(SceneText& out, const std::vector<kestrum::raster::Rgb>& colors) {
  const std::array<std::string, 256>& channel = ChannelTexts();
  for (const kestrum::raster::Rgb& c : colors)
    out << channel[c.r] << " " << channel[c.g] << " " << channel[c.b] << ",\n";
}

void CoordIndex(SceneText& out, const std::vector<FerSceneFace>& faces) {
  for (const FerSceneFace& face : faces) {
    // VRML 1.0 wants a comma between every two values.
    for (int k = 0; k < 4 && face[k] >= 0; ++k) out.Integer(face[k]) << ", ";
    out << "-1,\n";
  }
}

std::size_t ExpectedSize(const FerScene& scene, int framesWritten) {
  const std::size_t vertices = scene.frames.empty() ? 0 : scene.frames.front().colors.size();
  return 256 + scene.faces.size() * 24 * static_cast<std::size_t>(framesWritten) +
         vertices * 64 * static_cast<std::size_t>(framesWritten + 1);
}

// ---- VRML 1.0 -----------------------------------------------------------------------------------

std::string Version1(const FerScene& scene, const FerVrmlOptions& options) {
  SceneText out(ExpectedSize(scene, 1));
  const FerSceneFrame& frame = scene.frames.front();
  out << "#VRML V1.0 ascii\n\nSeparator {\n";
  std::string info = options.title;
  for (const std::string& line : scene.description) info += (info.empty() ? "" : "; ") + line;
  out << "Info { string ";
  out.Quoted(info) << " }\n";
  // Two-sided lighting: the faces' windings come from the elements and are not made consistent.
  out << "ShapeHints { vertexOrdering UNKNOWN_ORDERING shapeType UNKNOWN_SHAPE_TYPE }\n";
  out << "MaterialBinding { value PER_VERTEX_INDEXED }\n";
  out << "Material { diffuseColor [\n";
  Colors(out, frame.colors);
  out << "] }\nCoordinate3 { point [\n";
  Points(out, frame.positions);
  out << "] }\nIndexedFaceSet { coordIndex [\n";
  CoordIndex(out, scene.faces);
  out << "] }\n}\n";
  return out.Take();
}

// ---- VRML 2.0 -----------------------------------------------------------------------------------

void Header2(SceneText& out, const FerScene& scene, const FerVrmlOptions& options) {
  out << "#VRML V2.0 utf8\n\nWorldInfo {\n  title ";
  out.Quoted(options.title) << "\n  info [";
  for (std::size_t i = 0; i < scene.description.size(); ++i) {
    out << (i ? ", " : " ");
    out.Quoted(scene.description[i]);
  }
  out << " ]\n}\nNavigationInfo { type [ \"EXAMINE\", \"ANY\" ] }\n";
}

// One face set; `coord` is a DEF'd node's text or a USE.
void FaceSet(SceneText& out, const FerScene& scene, const std::vector<kestrum::raster::Rgb>& colors,
             const std::vector<double>* points, const std::string& coordName) {
  out << "Shape {\n  appearance Appearance { material Material { } }\n  geometry IndexedFaceSet {\n";
  out << "    solid FALSE\n    colorPerVertex TRUE\n";
  if (points) {
    out << "    coord DEF " << coordName << " Coordinate { point [\n";
    Points(out, *points);
    out << "] }\n";
  } else {
    out << "    coord USE " << coordName << "\n";
  }
  out << "    color Color { color [\n";
  Colors(out, colors);
  out << "] }\n    coordIndex [\n";
  CoordIndex(out, scene.faces);
  out << "]\n  }\n}\n";
}

// The middle of the first frame's box: where hidden frames shrink to.
std::array<double, 3> Centre(const FerScene& scene) {
  std::array<double, 3> low, high;
  low.fill(std::numeric_limits<double>::max());
  high.fill(-std::numeric_limits<double>::max());
  const std::vector<double>& p = scene.frames.front().positions;
  for (std::size_t i = 0; i + 2 < p.size(); i += 3)
    for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], p[i + k]), high[k] = std::max(high[k], p[i + k]);
  std::array<double, 3> centre{};
  for (int k = 0; k < 3; ++k) centre[k] = low[k] <= high[k] ? (low[k] + high[k]) / 2 : 0.0;
  return centre;
}

// Frame i of n is shown from i/n to (i+1)/n of the cycle: a Transform whose scale steps between
// 1 and the hidden scale, driven by the clock.
void FrameTransformStart(SceneText& out, int frame, const std::array<double, 3>& centre) {
  const double scale = frame == 0 ? 1.0 : kHiddenScale;
  out << "DEF KestrumFrame" << std::to_string(frame) << " Transform {\n  center ";
  out.Number(centre[0], kPositionDigits) << " ";
  out.Number(centre[1], kPositionDigits) << " ";
  out.Number(centre[2], kPositionDigits) << "\n  scale ";
  out.Number(scale, 3) << " ";
  out.Number(scale, 3) << " ";
  out.Number(scale, 3) << "\n  children [\n";
}

void FrameSwitch(SceneText& out, int frame, int frames) {
  const std::string name = std::to_string(frame);
  std::vector<std::pair<double, double>> steps;  // (key, scale)
  const double from = static_cast<double>(frame) / frames, to = static_cast<double>(frame + 1) / frames;
  if (frame > 0) steps.insert(steps.end(), {{0.0, kHiddenScale}, {from, kHiddenScale}});
  steps.push_back({from, 1.0});
  steps.push_back({to, 1.0});
  if (frame + 1 < frames) steps.insert(steps.end(), {{to, kHiddenScale}, {1.0, kHiddenScale}});
  out << "DEF KestrumShow" << name << " PositionInterpolator {\n  key [";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    out << (i ? ", " : " ");
    out.Number(steps[i].first, 9);
  }
  out << " ]\n  keyValue [";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    out << (i ? ", " : " ");
    for (int k = 0; k < 3; ++k) out.Number(steps[i].second, 3) << (k < 2 ? " " : "");
  }
  out << " ]\n}\n";
  out << "ROUTE KestrumClock.fraction_changed TO KestrumShow" << name << ".set_fraction\n";
  out << "ROUTE KestrumShow" << name << ".value_changed TO KestrumFrame" << name << ".set_scale\n";
}

void Clock(SceneText& out, const FerVrmlOptions& options) {
  out << "DEF KestrumClock TimeSensor { cycleInterval ";
  out.Number(options.cycleSeconds, 6) << " loop TRUE }\n";
}

bool ColorsChange(const FerScene& scene) {
  for (const FerSceneFrame& frame : scene.frames)
    if (frame.colors != scene.frames.front().colors) return true;
  return false;
}

std::string Version2Static(const FerScene& scene, const FerVrmlOptions& options) {
  SceneText out(ExpectedSize(scene, 1));
  Header2(out, scene, options);
  FaceSet(out, scene, scene.frames.front().colors, &scene.frames.front().positions, "KestrumCoord");
  return out.Take();
}

std::string Version2Interpolated(const FerScene& scene, const FerVrmlOptions& options) {
  const int frames = static_cast<int>(scene.frames.size());
  const bool colorsChange = ColorsChange(scene);
  SceneText out(ExpectedSize(scene, colorsChange ? frames : 1) + scene.frames.front().colors.size() * 40 * frames);
  Header2(out, scene, options);
  Clock(out, options);
  if (!colorsChange) {
    FaceSet(out, scene, scene.frames.front().colors, &scene.frames.front().positions, "KestrumCoord");
  } else {
    const std::array<double, 3> centre = Centre(scene);
    for (int i = 0; i < frames; ++i) {
      FrameTransformStart(out, i, centre);
      FaceSet(out, scene, scene.frames[static_cast<std::size_t>(i)].colors,
              i == 0 ? &scene.frames.front().positions : nullptr, "KestrumCoord");
      out << "  ]\n}\n";
      FrameSwitch(out, i, frames);
    }
  }
  // Frame i at i/n; the loop closes on the first frame.
  out << "DEF KestrumMotion CoordinateInterpolator {\n  key [";
  for (int i = 0; i <= frames; ++i) {
    out << (i ? ", " : " ");
    out.Number(static_cast<double>(i) / frames, 9);
  }
  out << " ]\n  keyValue [\n";
  for (int i = 0; i <= frames; ++i) Points(out, scene.frames[static_cast<std::size_t>(i % frames)].positions);
  out << "]\n}\n";
  out << "ROUTE KestrumClock.fraction_changed TO KestrumMotion.set_fraction\n";
  out << "ROUTE KestrumMotion.value_changed TO KestrumCoord.set_point\n";
  return out.Take();
}

std::string Version2Frames(const FerScene& scene, const FerVrmlOptions& options) {
  const int frames = static_cast<int>(scene.frames.size());
  SceneText out(ExpectedSize(scene, frames));
  Header2(out, scene, options);
  Clock(out, options);
  const std::array<double, 3> centre = Centre(scene);
  for (int i = 0; i < frames; ++i) {
    const FerSceneFrame& frame = scene.frames[static_cast<std::size_t>(i)];
    FrameTransformStart(out, i, centre);
    FaceSet(out, scene, frame.colors, &frame.positions, "KestrumCoord" + std::to_string(i));
    out << "  ]\n}\n";
    FrameSwitch(out, i, frames);
  }
  return out.Take();
}

// The scene of what the current view shows; empty with the reason when there is none.
std::string ViewScene(FerState& state, bool animated, int frames, FerScene& scene, FerVrmlOptions& options) {
  CaeFerInterface* ferInterface = state.GetInterface();
  if (!ferInterface) return "no results are displayed";
  FerDisplay* display = nullptr;
  FerDispSettings settings;
  ferInterface->GetFerSettings(display, settings);
  if (!display) return "there is no results view";
  const double speed = settings.GetAnimationSettings().GetSpeedLimit();
  const double perFrame =
      speed > 0 ? std::clamp(1.0 / speed, kShortestFrameSeconds, kLongestFrameSeconds) : kShortestFrameSeconds;
  options.cycleSeconds = perFrame * frames;
  if (FerShowsNoResult(settings)) {
    CaeString modelName;
    const std::shared_ptr<const FerMesh> mesh = ferInterface->ModelMesh(modelName);
    if (!modelName.IsEmpty()) {
      if (!mesh) return "the model \"" + modelName.Str() + "\" has no mesh";
      scene = FerBuildModelScene(*mesh);
      options.title = modelName.Str();
      options.animate = false;
      return scene.faces.empty() ? "the model \"" + modelName.Str() + "\" has no faces to show" : "";
    }
  }
  const FerResultSet* set = ferInterface->GetResultSet();
  if (!set) return "no result set is displayed";
  if (!set->Mesh() || set->Mesh()->NumNodes() == 0)
    return set->DataProblem().empty() ? "the result set has no mesh" : set->DataProblem();
  std::vector<FerSceneView> views;
  const int fullCycle = state.IsFullCycle();
  const int windowFrames = settings.GetAnimationSettings().GetNumberFrames();
  auto view = [&](int frame, int count) {
    const FerState::AnimationFrameView v = FerState::FrameView(frame, count, fullCycle, *set);
    return FerSceneView{v.factor, v.subset};
  };
  if (animated)
    for (int i = 0; i < frames; ++i) views.push_back(view(i, frames));
  else if (state.IsAnimationInitialized())
    views.push_back(view(state.AnimationFrame(), windowFrames));  // the frame the window shows
  else
    views.push_back(FerSceneView{});
  scene = FerBuildScene(settings, *set, views, ferInterface->MaterialAllowable());
  options.title = set->Name().Str();
  return scene.faces.empty() ? "the result set's mesh has no faces to show" : "";
}

}  // namespace

std::string FerVrmlText(const FerScene& scene, const FerVrmlOptions& options) {
  if (scene.frames.empty()) return options.version1 ? "#VRML V1.0 ascii\n" : "#VRML V2.0 utf8\n";
  if (options.version1) return Version1(scene, options);
  if (!options.animate) return Version2Static(scene, options);
  return options.byFrames ? Version2Frames(scene, options) : Version2Interpolated(scene, options);
}

int FerState::ExportVRML(const CaeString& file, int animate, int frameMethod, int frames, int version1) {
  auto fail = [&](const std::string& why) {
    CaeMsgCall::Message(1, kFeaMsgCannotWrite, {file, CaeString(why)});
    return 0;
  };
  if (file.IsEmpty()) return fail("no file name was given");
  FerVrmlOptions options;
  options.version1 = version1 != 0;
  options.animate = animate != 0 && !options.version1;  // VRML 1.0 has no animation
  options.byFrames = frameMethod != 0;
  if (options.animate && (frames < kMinFrames || frames > kMaxFrames))
    return fail("the number of frames, " + std::to_string(frames) + ", is not within 1 to 100");
  FerScene scene;
  const std::string problem = ViewScene(*this, options.animate, options.animate ? frames : 1, scene, options);
  if (!problem.empty()) return fail(problem);
  std::string error;
  if (!kestrum::writeFileAtomically(std::filesystem::path(file.Str()), FerVrmlText(scene, options), &error))
    return fail(error);
  return 1;
}
