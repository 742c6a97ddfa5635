#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "kernel_test_helpers.h"
#include "mcadkernel/error.h"

using kerneltest::cylinderRadius;
using kerneltest::partFrom;
using mcadkernel::KernelError;

namespace {

constexpr double kPi = std::numbers::pi;

const char* const kPlate = R"(part plate
param L = 200
param W = 100
param T = 10
param D = 30
box plate corner=(0, 0, 0) size=(L, W, T)
hole hole1 at=(L/2, W/2, T) direction=(0, 0, -1) diameter=D
)";

double volumeOf(const mcadkernel::Part& part) { return part.massProperties().volume; }

TEST(PartRegeneration, VolumesFollowParameterChanges) {
  auto part = partFrom(kPlate);
  auto plateVolume = [](double l, double w, double t, double d) { return l * w * t - kPi * d * d / 4 * t; };
  EXPECT_NEAR(volumeOf(*part), plateVolume(200, 100, 10, 30), 1e-6 * plateVolume(200, 100, 10, 30));

  struct Change {
    const char* name;
    double value;
    std::array<double, 4> lwtd;
  };
  const Change changes[] = {{"D", 50, {200, 100, 10, 50}},
                            {"T", 4, {200, 100, 4, 50}},
                            {"L", 120, {120, 100, 4, 50}},
                            {"D", 1, {120, 100, 4, 1}}};
  for (const Change& c : changes) {
    SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(c.value));
    part->setParameterValue(c.name, c.value);
    double expected = plateVolume(c.lwtd[0], c.lwtd[1], c.lwtd[2], c.lwtd[3]);
    EXPECT_NEAR(volumeOf(*part), expected, 1e-6 * expected);
  }
}

TEST(PartRegeneration, EachFeatureKindAgainstClosedForms) {
  struct Case {
    const char* what;
    std::string features;
    double volume;
  };
  const double r = 5, h = 30;
  const Case cases[] = {
      {"blind hole",
       "box b corner=(0, 0, 0) size=(40, 40, 20)\n"
       "hole h at=(20, 20, 20) direction=(0, 0, -1) diameter=10 depth=8\n",
       40 * 40 * 20 - kPi * 25 * 8},
      {"slanted cylinder", "cylinder c base=(1, 2, 3) axis=(1, 1, 0) radius=5 height=30\n", kPi * r * r * h},
      {"union of overlapping boxes",
       "box a corner=(0, 0, 0) size=(10, 10, 10)\nbox b corner=(5, 5, 5) size=(10, 10, 10)\n", 2000 - 125},
      {"cut box", "box a corner=(0, 0, 0) size=(10, 10, 10)\nbox b op=cut corner=(5, -1, 5) size=(10, 12, 10)\n",
       1000 - 250},
      {"extrusion with an arc",
       "extrude e plane=xy height=3 start=(0, 0) line=(20, 0) arc=(25, 5, 20, 10) line=(0, 10) line=(0, 0)\n",
       (200 + kPi * 25 / 2) * 3},
      {"extrusion on yz, negative height",
       "extrude e plane=yz offset=5 height=-2 start=(0, 0) line=(4, 0) line=(4, 3) line=(0, 0)\n", 6 * 2},
      {"fillet", "box b corner=(0, 0, 0) size=(50, 20, 10)\nfillet f radius=3 edges=(b/front|b/top)\n",
       50 * 20 * 10 - (9 - kPi * 9 / 4) * 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto part = partFrom("part p\n" + c.features);
    EXPECT_NEAR(volumeOf(*part), c.volume, 1e-6 * c.volume);
  }
}

TEST(PartRegeneration, FailedRegenerationLeavesThePartAsItWas) {
  // Features are read on a scratch plate without the hole (where they are valid) and then tried on
  // the real part.
  auto feature = [](const std::string& line) {
    auto scratch = partFrom("part s\nparam T = 10\nbox plate corner=(0, 0, 0) size=(200, 100, T)\n" + line + "\n");
    return scratch->features().back();
  };
  auto largeFillet = [&] {
    mcadkernel::Feature f = feature("fillet f radius=2 edges=(plate/front|plate/top)");
    std::get<mcadkernel::FilletFeature>(f.shape).radius = mcadkernel::Expression::parse("T * 3");
    return f;
  };
  auto outwardHole = [&] {
    mcadkernel::Feature f = feature("hole h3 at=(20, 20, T) direction=(0, 0, -1) diameter=4");
    std::get<mcadkernel::HoleFeature>(f.shape).direction[2] = mcadkernel::Expression::parse("1");
    return f;
  };
  struct Case {
    const char* what;
    std::function<void(mcadkernel::Part&)> edit;
    const char* fragment;
  };
  const Case cases[] = {
      {"hole pointing out of the part", [&](mcadkernel::Part& p) { p.addFeature(outwardHole()); },
       "h3: the direction does not point into the part"},
      {"hole larger than its face", [](mcadkernel::Part& p) { p.setParameterValue("D", 150); },
       "does not fit inside its face"},
      {"zero thickness", [](mcadkernel::Part& p) { p.setParameterValue("T", 0); }, "must be positive"},
      {"cycle",
       [](mcadkernel::Part& p) {
         p.defineParameters({{"L", "W * 2"}, {"W", "L / 2"}});
       },
       "refers to itself"},
      {"unknown parameter", [](mcadkernel::Part& p) { p.defineParameter("D", "Q * 2"); }, "unknown parameter 'Q'"},
      {"cut leaves nothing",
       [&](mcadkernel::Part& p) { p.addFeature(feature("box all op=cut corner=(-1, -1, -1) size=(300, 300, 300)")); },
       "leaves no solid"},
      {"cut splits the part",
       [&](mcadkernel::Part& p) { p.addFeature(feature("box split op=cut corner=(20, -1, -1) size=(10, 300, 300)")); },
       "splits the part into 2 separate solids"},
      {"union away from the part",
       [&](mcadkernel::Part& p) { p.addFeature(feature("box far corner=(500, 0, 0) size=(10, 10, 10)")); },
       "does not touch the part"},
      {"hole not on a face",
       [&](mcadkernel::Part& p) { p.addFeature(feature("hole h2 at=(20, 20, 5) direction=(0, 0, -1) diameter=4")); },
       "is not on a face of the part"},
      {"fillet radius too large", [&](mcadkernel::Part& p) { p.addFeature(largeFillet()); }, "cannot be rounded"},
      {"fillet of an unknown edge",
       [&](mcadkernel::Part& p) {
         mcadkernel::Feature f = feature("fillet f radius=2 edges=(plate/front|plate/left)");
         std::get<mcadkernel::FilletFeature>(f.shape).edges = {"plate/front|plate/nowhere"};
         p.addFeature(f);
       },
       "no edge plate/front|plate/nowhere"},
      {"first feature removed", [](mcadkernel::Part& p) { p.removeFeature("plate"); }, "hole1: the first feature"},
      {"duplicate feature name",
       [&](mcadkernel::Part& p) { p.addFeature(feature("box hole1 corner=(0, 0, 10) size=(5, 5, 5)")); },
       "two features named hole1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto part = partFrom(kPlate);
    std::string before = mcadkernel::partFileText(*part);
    TopoDS_Shape shape = part->shape();
    TopoDS_Shape top = part->resolve("plate/top");
    double volume = volumeOf(*part);
    try {
      c.edit(*part);
      ADD_FAILURE() << "accepted";
    } catch (const KernelError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
    }
    EXPECT_EQ(mcadkernel::partFileText(*part), before);
    EXPECT_TRUE(part->shape().IsSame(shape));
    EXPECT_TRUE(part->resolve("plate/top").IsSame(top));
    EXPECT_DOUBLE_EQ(volumeOf(*part), volume);
  }
}

TEST(PartRegeneration, FailureAfterAnEarlierSuccessKeepsTheEarlierSuccess) {
  auto part = partFrom(kPlate);
  part->setParameterValue("D", 40);
  TopoDS_Shape shape = part->shape();
  EXPECT_THROW(part->setParameterValue("D", 120), KernelError);
  EXPECT_DOUBLE_EQ(part->parameters().value("D"), 40);
  EXPECT_TRUE(part->shape().IsSame(shape));
  EXPECT_NEAR(cylinderRadius(part->resolve("hole1/side")), 20, 1e-9);
}

TEST(PartParameters, UsersIncludeFeatures) {
  auto part = partFrom(kPlate);
  EXPECT_EQ(part->featuresUsing("D"), (std::vector<std::string>{"hole1"}));
  EXPECT_EQ(part->featuresUsing("L"), (std::vector<std::string>{"plate", "hole1"}));
  EXPECT_THROW(part->removeParameter("D"), KernelError);
  EXPECT_TRUE(part->parameters().contains("D"));
}

TEST(MassProperties, BoxAndLShapeAgainstClosedForms) {
  // A box away from the origin: the tensor is about its centre.
  auto box = partFrom("part b\nbox b corner=(10, 20, 30) size=(4, 6, 8)\n");
  mcadkernel::MassProperties m = box->massProperties();
  const double v = 4 * 6 * 8;
  EXPECT_NEAR(m.volume, v, 1e-9);
  EXPECT_NEAR(m.centre[0], 12, 1e-9);
  EXPECT_NEAR(m.centre[1], 23, 1e-9);
  EXPECT_NEAR(m.centre[2], 34, 1e-9);
  EXPECT_NEAR(m.inertia[0][0], v * (36 + 64) / 12, 1e-6);
  EXPECT_NEAR(m.inertia[1][1], v * (16 + 64) / 12, 1e-6);
  EXPECT_NEAR(m.inertia[2][2], v * (16 + 36) / 12, 1e-6);
  EXPECT_NEAR(m.inertia[0][1], 0, 1e-6);
  EXPECT_NEAR(m.inertia[1][2], 0, 1e-6);

  // An L of two unit-height boxes: [0,2]x[0,1] and [0,1]x[1,3], z in [0,1]. Products of inertia
  // by the parallel-axis rule: I_xy = -(sum m_i x_i y_i - M x_c y_c) with each box's own product 0.
  auto l = partFrom("part l\nbox a corner=(0, 0, 0) size=(2, 1, 1)\nbox b corner=(0, 1, 0) size=(1, 2, 1)\n");
  m = l->massProperties();
  const double m1 = 2, m2 = 2, M = 4;
  const double x1 = 1, y1 = 0.5, x2 = 0.5, y2 = 2;
  const double xc = (m1 * x1 + m2 * x2) / M, yc = (m1 * y1 + m2 * y2) / M;
  EXPECT_NEAR(m.volume, M, 1e-9);
  EXPECT_NEAR(m.centre[0], xc, 1e-9);
  EXPECT_NEAR(m.centre[1], yc, 1e-9);
  EXPECT_NEAR(m.centre[2], 0.5, 1e-9);
  const double ixy = -(m1 * x1 * y1 + m2 * x2 * y2 - M * xc * yc);
  EXPECT_NEAR(m.inertia[0][1], ixy, 1e-9);
  EXPECT_NEAR(m.inertia[1][0], ixy, 1e-9);
  // I_zz: each box's own (a^2 + b^2)/12 plus its offset from the common centre in x and y.
  const double izz = m1 * (4 + 1) / 12 + m2 * (1 + 4) / 12 + m1 * (std::pow(x1 - xc, 2) + std::pow(y1 - yc, 2)) +
                     m2 * (std::pow(x2 - xc, 2) + std::pow(y2 - yc, 2));
  EXPECT_NEAR(m.inertia[2][2], izz, 1e-9);

  // Without features there is nothing to weigh.
  mcadkernel::Part empty("empty");
  EXPECT_EQ(empty.massProperties().volume, 0.0);
  EXPECT_TRUE(empty.resolve("a/top|a/left").IsNull());
  EXPECT_TRUE(empty.edgeNames().empty());
}

}  // namespace
