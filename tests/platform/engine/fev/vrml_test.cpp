// The VRML export of the results view: every version and animation method parses cleanly (our
// grammar check and tovrmlx3d), the vertices carry the window's colours at the window's
// positions, the frames are the window's animation frames, and bad requests write nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeEngine.h"
#include "amg/CaeMsgCall.h"
#include "fea/FerState.h"
#include "fev/FerRender.h"
#include "fev/FerVrml.h"
#include "fev/FerWndOGLDisp.h"
#include "test_env.h"
#include "vrml_check.h"

namespace {

using kestrum::raster::Bands;
using kestrum::raster::Rgb;
using kestrum::test::ReadVrml;
using kestrum::test::TempDir;
using kestrum::test::VrmlFrame;
using kestrum::test::VrmlFramesOf;
using kestrum::test::VrmlScene;

constexpr int kBands = 10;
constexpr double kFactor = 3.0;  // the deformed shape's scale factor

// Von Mises stress over the bar by subset s (1-based): s * (20 + 31 x' + 5 y + 3 z), x' = x in odd
// subsets and 2 - x in even ones, so that no corner sits on a band edge and the bands of
// neighbouring subsets differ; displacement along z: 0.05 x (a bending shape).
double Stress(int subset, double x, double y, double z) {
  const double along = subset % 2 == 1 ? x : 2 - x;
  return subset * (20 + 31 * along + 5 * y + 3 * z);
}
double Lift(double x) { return 0.05 * x; }

// A bar of two unit hexahedra along x (12 nodes, 10 outer faces), with `subsets` subsets.
std::unique_ptr<FerResultSet> Bar(int subsets, bool modal) {
  auto set = std::make_unique<FerResultSet>(CaeString("Bar"));
  set->Modal(modal ? 1 : 0);
  auto mesh = std::make_shared<FerMesh>();
  std::vector<long> ids;
  for (int i = 0; i < 12; ++i) {
    const int column = i % 3, corner = i / 3;  // corners of the y-z square
    const double xyz[3] = {static_cast<double>(column), corner == 1 || corner == 2 ? 1.0 : 0.0,
                           corner >= 2 ? 1.0 : 0.0};
    ids.push_back(i + 1);
    mesh->nodeIds.push_back(i + 1);
    mesh->coordinates.insert(mesh->coordinates.end(), xyz, xyz + 3);
  }
  // Node of column c, corner k: 3 k + c + 1.
  auto node = [](int column, int corner) { return 3L * corner + column + 1; };
  for (int e = 0; e < 2; ++e) {
    mesh->elementIds.push_back(e + 1);
    mesh->elementTypes.push_back(FerMesh::kHex8);
    mesh->elementStarts.push_back(mesh->elementNodes.size());
    const long corners[8] = {node(e, 0), node(e + 1, 0), node(e + 1, 1), node(e, 1),
                             node(e, 3), node(e + 1, 3), node(e + 1, 2), node(e, 2)};
    mesh->elementNodes.insert(mesh->elementNodes.end(), corners, corners + 8);
  }
  mesh->elementStarts.push_back(mesh->elementNodes.size());
  auto* stress = new FerResult(FerQtyStress);
  auto* displacement = new FerResult(FerQtyDisplacement);
  for (int s = 0; s < subsets; ++s) {
    set->AddSubSet(new FerResultSubSet(1.0 + s));
    std::vector<double> sv, dv;
    for (int i = 0; i < 12; ++i) {
      const double* p = &mesh->coordinates[static_cast<std::size_t>(i) * 3];
      std::vector<double> components(10, 0.0);
      components[0] = Stress(s + 1, p[0], p[1], p[2]);
      sv.insert(sv.end(), components.begin(), components.end());
      dv.insert(dv.end(), {0.0, 0.0, Lift(p[0]), Lift(p[0])});
    }
    stress->SetNodalData(s, ids, sv);
    displacement->SetNodalData(s, ids, dv);
  }
  set->SetMesh(mesh);
  set->AddResult(stress);
  set->AddResult(displacement);
  return set;
}

FerDispSettings ContourSettings(int frames) {
  FerDispSettings settings;
  settings.SetResultSet(CaeString("Bar"));
  settings.SetResultSubSet(1);
  FerColorSetting color;
  color.SetResult(FerQtyStress);
  color.SetComponent(1);
  color.Visible(1);
  color.SetNumberIntervals(kBands);
  settings.SetColorSettings(color);
  FerDeformedSetting deformed;
  deformed.SetResult(FerQtyDisplacement);
  deformed.Visible(1);
  deformed.SetMethod(FerScaleFactor);
  deformed.SetFactor(kFactor);
  settings.SetDeformedSettings(deformed);
  FerAnimationSetting animation;
  animation.SetNumberFrames(frames);
  settings.SetAnimationSettings(animation);
  return settings;
}

std::vector<std::string> g_messages;

// A results state with the bar displayed in a results window.
class VrmlTest : public testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    g_messages.clear();
    CaeMsgCall::SetMsgRoutine([](int, const CaeString& text) { g_messages.push_back(text.Str()); });
    FerState::SetState(&state_);
    state_.SetInterface(&interface_);
    FerDisplay::SetCurrent(&window_);
  }
  void TearDown() override { CaeEngine::ResetState(); }

  void Show(std::unique_ptr<FerResultSet> set, int frames = 8) {
    window_.SetSettings(ContourSettings(frames));
    state_.KeepResultSet(std::move(set));
  }
  VrmlScene Export(const std::filesystem::path& file, int animate, int method, int frames, int version1) {
    EXPECT_EQ(state_.ExportVRML(CaeString(file.string()), animate, method, frames, version1), 1)
        << (g_messages.empty() ? "" : g_messages.back());
    return ReadVrml(kestrum::test::readFile(file));
  }

  FerState state_;
  CaeFerInterface interface_;
  FerWndOGLDisp window_;
  TempDir dir_;
};

struct Version {
  const char* name;
  int animate, method, version1;
  const char* header;
};
const Version kVersions[] = {{"1.0", 0, 0, 1, "#VRML V1.0 ascii\n"},
                             {"2.0", 0, 0, 0, "#VRML V2.0 utf8\n"},
                             {"2.0 interpolated", 1, 0, 0, "#VRML V2.0 utf8\n"},
                             {"2.0 by frames", 1, 1, 0, "#VRML V2.0 utf8\n"}};

// Static, modal and step-history sets in the four versions: both parsers read each without a
// word of complaint.
TEST_F(VrmlTest, EveryVersionOfEveryKindOfSetParsesCleanly) {
  struct Kind {
    const char* name;
    int subsets;
    bool modal;
  };
  for (const Kind& kind : {Kind{"static", 1, false}, Kind{"modal", 2, true}, Kind{"steps", 3, false}}) {
    Show(Bar(kind.subsets, kind.modal));
    for (const Version& v : kVersions) {
      const auto file = dir_ / (std::string(kind.name) + " " + v.name + ".wrl");
      const VrmlScene scene = Export(file, v.animate, v.method, 8, v.version1);
      SCOPED_TRACE(std::string(kind.name) + ", VRML " + v.name);
      EXPECT_EQ(kestrum::test::readFile(file).rfind(v.header, 0), 0u);
      EXPECT_TRUE(scene.errors.empty()) << scene.errors.front();
      EXPECT_EQ(kestrum::test::OutsideVrmlComplaints(file.string()), "");
      EXPECT_EQ(VrmlFramesOf(scene).size(), v.animate ? 8u : 1u);
    }
  }
  EXPECT_TRUE(g_messages.empty()) << g_messages.front();
}

// The colour of each vertex is the band of its value, as the window draws it there: a corner of
// the top face, seen from the viewer, shows that colour in the window's picture.
TEST_F(VrmlTest, VertexColoursAreTheWindowsBandsAtTheWindowsPositions) {
  Show(Bar(1, false));
  window_.Redraw();
  const FerPicture& picture = window_.Picture();
  const Bands bands(Stress(1, 0, 0, 0), Stress(1, 2, 1, 1), FerBandColors(0, kBands));
  for (const Version& v : kVersions) {
    const VrmlScene scene = Export(dir_ / "bar.wrl", v.animate, v.method, 8, v.version1);
    ASSERT_TRUE(scene.errors.empty()) << scene.errors.front();
    const VrmlFrame frame = VrmlFramesOf(scene).front();
    ASSERT_EQ(frame.points.size(), 3u * 12) << "every node of the bar is on its outside";
    ASSERT_EQ(frame.colors.size(), frame.points.size());
    int topCorners = 0;
    for (std::size_t i = 0; i < frame.points.size() / 3; ++i) {
      const double* p = &frame.points[i * 3];
      const double x = p[0], y = p[1], z = p[2] - kFactor * Lift(x);  // undo the deformation
      EXPECT_NEAR(z, std::round(z), 1e-6) << "a vertex off the deformed shape, VRML " << v.name;
      const Rgb want = bands.ColorOf(Stress(1, x, y, std::round(z)));
      const Rgb got{static_cast<std::uint8_t>(std::lround(frame.colors[i * 3] * 255)),
                    static_cast<std::uint8_t>(std::lround(frame.colors[i * 3 + 1] * 255)),
                    static_cast<std::uint8_t>(std::lround(frame.colors[i * 3 + 2] * 255))};
      EXPECT_EQ(got, want) << "vertex " << x << " " << y << " " << z << ", VRML " << v.name;
      if (std::round(z) != 1.0) continue;
      // Inside the face by a pixel's width from the corner, towards the face's middle.
      const double towards[3] = {x + (x < 1 ? 0.02 : -0.02), y + (y < 0.5 ? 0.02 : -0.02), p[2]};
      const auto pixel = picture.mapping.ToPixel(towards);
      bool seen = false;
      for (int dy = -2; dy <= 2 && !seen; ++dy)
        for (int dx = -2; dx <= 2 && !seen; ++dx) {
          const int px = static_cast<int>(pixel.x) + dx, py = static_cast<int>(pixel.y) + dy;
          seen = picture.image.Contains(px, py) && picture.image.At(px, py) == want;
        }
      EXPECT_TRUE(seen) << "the window shows another colour at " << x << " " << y << ", VRML " << v.name;
      ++topCorners;
    }
    EXPECT_EQ(topCorners, 6);
  }
}

// Frame i of a modal set swings the mode by cos(2 pi i / n), as the window's frame i does; the
// interpolated loop closes on the first frame.
TEST_F(VrmlTest, TheFramesAreTheWindowsAnimationFrames) {
  Show(Bar(2, true), 8);
  state_.AnimateInit();
  state_.AnimateGo(1);  // a full cycle
  state_.AnimateStop();
  state_.AnimateDone();
  for (int method : {0, 1}) {
    const VrmlScene scene = Export(dir_ / "modes.wrl", 1, method, 8, 0);
    ASSERT_TRUE(scene.errors.empty()) << scene.errors.front();
    const std::vector<VrmlFrame> frames = VrmlFramesOf(scene);
    ASSERT_EQ(frames.size(), 8u);
    state_.AnimateInit();
    for (int i = 0; i < 8; ++i) {
      window_.Redraw();  // the window's frame i
      const double swing = std::cos(2 * M_PI * i / 8);
      EXPECT_NEAR(window_.Picture().deformationScale, kFactor * swing, 1e-9) << "frame " << i;
      for (std::size_t n = 0; n < frames[i].points.size() / 3; ++n) {
        const double* p = &frames[i].points[n * 3];
        EXPECT_NEAR(p[2] - std::round(p[2] - window_.Picture().deformationScale * Lift(p[0])),
                    window_.Picture().deformationScale * Lift(p[0]), 1e-6)
            << "frame " << i << ", method " << method;
      }
      state_.AnimateStep(1);
    }
    state_.AnimateDone();
    if (method == 0) {
      const auto motion = scene.All("CoordinateInterpolator");
      ASSERT_EQ(motion.size(), 1u);
      const std::vector<double>& values = motion.front()->Field("keyValue")->numbers;
      const std::size_t perKey = values.size() / 9;
      EXPECT_TRUE(std::equal(values.begin(), values.begin() + static_cast<long>(perKey),
                             values.end() - static_cast<long>(perKey)))
          << "the last key is the first frame again";
      EXPECT_EQ(scene.All("Transform").size(), 0u) << "the colours do not change: one face set";
    }
  }
}

// A step history shows subset i + 1 in frame i: its colours are that subset's bands, in both
// animation methods.
TEST_F(VrmlTest, AStepHistorysFramesCarryEachSubsetsColours) {
  Show(Bar(3, false), 3);
  for (int method : {0, 1}) {
    const VrmlScene scene = Export(dir_ / "steps.wrl", 1, method, 3, 0);
    ASSERT_TRUE(scene.errors.empty()) << scene.errors.front();
    const std::vector<VrmlFrame> frames = VrmlFramesOf(scene);
    ASSERT_EQ(frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      const Bands bands(20.0 * (i + 1), 90.0 * (i + 1), FerBandColors(0, kBands));  // the subset's range
      ASSERT_EQ(frames[i].colors.size(), 3u * 12);
      for (std::size_t n = 0; n < 12; ++n) {
        const double* p = &frames[i].points[n * 3];
        const Rgb want = bands.ColorOf(Stress(i + 1, p[0], p[1], std::round(p[2] - kFactor * Lift(p[0]))));
        EXPECT_NEAR(frames[i].colors[n * 3], want.r / 255.0, 1e-3) << "frame " << i << ", method " << method;
        EXPECT_NEAR(frames[i].colors[n * 3 + 2], want.b / 255.0, 1e-3) << "frame " << i << ", method " << method;
      }
    }
    EXPECT_NE(frames[0].colors, frames[1].colors);
  }
}

// What a view without results shows: the model's bare mesh in the plain colour.
class BareModel : public CaeFerInterface {
 public:
  std::shared_ptr<const FerMesh> ModelMesh(CaeString& modelName) override {
    modelName = CaeString("Plate");
    return Bar(1, false)->SharedMesh();
  }
};

TEST_F(VrmlTest, AViewWithoutResultsExportsTheBareMesh) {
  BareModel bare;
  state_.SetInterface(&bare);
  FerDispSettings settings;
  FerColorSetting color;
  color.Visible(0);
  settings.SetColorSettings(color);
  window_.SetSettings(settings);
  window_.Redraw();
  const VrmlScene scene = Export(dir_ / "plate.wrl", 0, 0, 8, 0);
  ASSERT_TRUE(scene.errors.empty()) << scene.errors.front();
  const VrmlFrame frame = VrmlFramesOf(scene).front();
  EXPECT_EQ(frame.points.size(), 3u * 12);
  for (std::size_t i = 1; i < frame.colors.size() / 3; ++i)
    EXPECT_TRUE(std::equal(frame.colors.begin(), frame.colors.begin() + 3, frame.colors.begin() + 3 * i))
        << "one plain colour";
  EXPECT_EQ(scene.All("WorldInfo").front()->Field("title")->strings.front(), "Plate");
}

// Bad requests: a message, nothing written, an existing file left as it was.
TEST_F(VrmlTest, BadRequestsSayWhyAndWriteNothing) {
  Show(Bar(2, true));
  const auto kept = dir_ / "kept.wrl";
  ASSERT_EQ(state_.ExportVRML(CaeString(kept.string()), 0, 0, 8, 0), 1);
  const std::string before = kestrum::test::readFile(kept);
  struct Case {
    const char* name;
    std::string file;
    int animate, frames;
    const char* says;
  };
  const Case cases[] = {
      {"no file name", "", 0, 8, "no file name"},
      {"no frames", kept.string(), 1, 0, "not within 1 to 100"},
      {"too many frames", kept.string(), 1, 101, "not within 1 to 100"},
      {"a missing folder", (dir_ / "missing" / "a.wrl").string(), 0, 8, "could not be written"},
  };
  for (const Case& c : cases) {
    g_messages.clear();
    EXPECT_EQ(state_.ExportVRML(CaeString(c.file), c.animate, 1, c.frames, 0), 0) << c.name;
    ASSERT_EQ(g_messages.size(), 1u) << c.name;
    EXPECT_NE(g_messages.front().find(c.says), std::string::npos) << c.name << ": " << g_messages.front();
  }
  EXPECT_EQ(kestrum::test::readFile(kept), before);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));

  g_messages.clear();
  window_.SetSettings(FerDispSettings());  // names no set
  state_.KeepResultSet(nullptr);
  EXPECT_EQ(state_.ExportVRML(CaeString((dir_ / "none.wrl").string()), 0, 0, 8, 0), 0);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages.front().find("no result set is displayed"), std::string::npos) << g_messages.front();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.wrl"));
}

// VRML 1.0 has no animation: asking for one writes the static scene.
TEST_F(VrmlTest, VersionOneIsNeverAnimated) {
  Show(Bar(2, true));
  const VrmlScene scene = Export(dir_ / "v1.wrl", 1, 1, 8, 1);
  ASSERT_TRUE(scene.errors.empty()) << scene.errors.front();
  EXPECT_EQ(scene.version, 1);
  EXPECT_EQ(VrmlFramesOf(scene).size(), 1u);
}

}  // namespace

namespace {

// The grammar check finds the faults it is there for.
TEST(VrmlCheck, FindsTheFaultsItLooksFor) {
  const std::string shape2 =
      "#VRML V2.0 utf8\nShape { geometry IndexedFaceSet { coord DEF C Coordinate { point [ 0 0 0, 1 0 0, 0 1 0 ] }"
      " color Color { color [ 1 0 0, 0 1 0, 0 0 1 ] } coordIndex [ 0 1 2 -1 ] } }\n";
  ASSERT_TRUE(ReadVrml(shape2).errors.empty()) << ReadVrml(shape2).errors.front();
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = shape2;
    return text.replace(text.find(from), from.size(), to);
  };
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"a wrong header", "#VRML V2.0 ascii\nShape { }\n"},
      {"an index past the points", replaced("0 1 2 -1", "0 1 3 -1")},
      {"a face of two corners", replaced("0 1 2 -1", "0 1 -1")},
      {"an unended face", replaced("0 1 2 -1", "0 1 2")},
      {"a colour short", replaced(", 0 0 1 ]", " ]")},
      {"an unknown field", replaced("coordIndex", "vertexIndex")},
      {"an unknown node", replaced("Shape {", "Shap {")},
      {"an open bracket", replaced("0 1 2 -1 ] } }", "0 1 2 -1 } }")},
      {"a number that is none", replaced("1 0 0,", "1 0 x,")},
      {"a USE before its DEF", "#VRML V2.0 utf8\nShape { geometry IndexedFaceSet { coord USE C } }\n"},
      {"a route of unlike events", shape2 + "DEF T TimeSensor { }\nROUTE T.fraction_changed TO C.set_point\n"},
      {"a route to no node", shape2 + "DEF T TimeSensor { }\nROUTE T.fraction_changed TO D.set_point\n"},
      {"a zero scale", "#VRML V2.0 utf8\nTransform { scale 1 0 1 }\n"},
      {"falling keys", "#VRML V2.0 utf8\nPositionInterpolator { key [ 0 1 0.5 ] keyValue [ 0 0 0, 0 0 0, 0 0 0 ] }\n"},
      {"keys without values", "#VRML V2.0 utf8\nPositionInterpolator { key [ 0 1 ] keyValue [ 0 0 0 ] }\n"},
      {"a VRML 1.0 list without commas",
       "#VRML V1.0 ascii\nSeparator { Coordinate3 { point [ 0 0 0, 1 0 0, 0 1 0 ] }"
       " Material { diffuseColor [ 1 0 0, 1 0 0, 1 0 0 ] } IndexedFaceSet { coordIndex [ 0 1 2 -1 ] } }\n"},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadVrml(c.text).errors.empty()) << c.name;
}

}  // namespace
