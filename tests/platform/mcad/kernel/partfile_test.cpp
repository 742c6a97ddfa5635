#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "kernel_test_helpers.h"
#include "mcadkernel/error.h"
#include "test_env.h"

using kestrum::test::readFile;
using kestrum::test::sourcePath;
using kestrum::test::TempDir;
using mcadkernel::KernelError;

namespace {

const char* const kEveryFeature = R"(# every kind of feature, with comments
part widget   # trailing comment
param L = 80
param W = L / 2
param T = max(W / 5, 4)
param R = 3
box body corner=(0, 0, 0) size=(L, W, T)
box slot op=cut corner=((L - 10) / 2, -1, T / 2) size=(10, 8, T)
cylinder boss base=(L - 15, W / 2, T) axis=(0, 0, 1) radius=6 height=(T / 2)
extrude rib plane=zx offset=W/2 height=2 start=(T, 10) line=(T, 30) line=(T + 12, 10) line=(T, 10)
hole h1 at=(15, W/4, T) direction=(0, 0, -1) diameter=8
hole h2 at=(L - 15, W/2, T * 1.5) direction=(0, 0, -1) diameter=4 depth=3
fillet r1 radius=R edges=(body/back|body/top)
)";

TEST(PartFile, RoundTripKeepsParametersFeaturesAndGeometry) {
  auto part = kerneltest::partFrom(kEveryFeature);
  TempDir dir;
  mcadkernel::writePartFile(*part, dir / "widget.part");
  auto again = mcadkernel::readPartFile(dir / "widget.part");
  EXPECT_EQ(mcadkernel::partFileText(*again), mcadkernel::partFileText(*part));
  EXPECT_EQ(again->parameters().names(), part->parameters().names());
  EXPECT_EQ(again->parameters().expressionText("T"), "max(W / 5, 4)");
  EXPECT_EQ(again->features().size(), 7u);
  EXPECT_EQ(again->faceNames(), part->faceNames());
  EXPECT_EQ(again->edgeNames(), part->edgeNames());
  EXPECT_NEAR(again->massProperties().volume, part->massProperties().volume, 1e-9);
  // Nothing but the file is left in the folder (the temporary file was renamed).
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_FALSE(again->resolve("h2/bottom").IsNull());
  EXPECT_FALSE(again->resolve("r1/round1").IsNull());
  EXPECT_FALSE(again->resolve("rib/side3").IsNull());
}

TEST(PartFile, BadInputNamesTheLineAndBuildsNothing) {
  struct Case {
    const char* what;
    std::string text;
    const char* expected;  // a fragment of the message, with the line number
  };
  const std::string head = "part p\nparam L = 10\n";
  const std::string box = "box b corner=(0, 0, 0) size=(L, L, L)\n";
  const Case cases[] = {
      {"empty file", "# only a comment\n\n", "the file is empty"},
      {"no part line", "param L = 1\n", ":1: expected \"part NAME\" first"},
      {"unknown feature", head + box + "sphere s centre=(0, 0, 0) radius=2\n", ":4: unknown feature \"sphere\""},
      {"expression does not parse", head + "param W = L */ 2\n" + box, ":3: parameter W: expression \"L */ 2\""},
      {"refers to itself", head + "param W = W + 1\n" + box, ":3: parameter W refers to itself"},
      {"cycle through others", head + "param A = B + 1\nparam B = C\nparam C = A * 2\n" + box, "refers to itself"},
      {"unknown parameter", head + "param W = Q\n" + box, ":3: parameter W: unknown parameter 'Q'"},
      {"parameter twice", head + "param L = 5\n" + box, ":3: parameter L is defined twice"},
      {"missing field", head + "box b corner=(0, 0, 0)\n", ":3: box needs size="},
      {"unknown field", head + "box b corner=(0, 0, 0) size=(1, 1, 1) colour=red\n", ":3: box does not take colour="},
      {"wrong count", head + "box b corner=(0, 0) size=(1, 1, 1)\n", ":3: box: corner needs 3 values, found 2"},
      {"field twice", head + "box b corner=(0, 0, 0) size=(1, 1, 1) size=(2, 2, 2)\n", ":3: box: size is given twice"},
      {"bad expression in a feature", head + "box b corner=(0, 0, 0) size=(L, L, L+)\n", ":3: size: expression \"L+\""},
      {"unbalanced", head + "box b corner=(0, 0, 0 size=(1, 1, 1)\n", ":3: unbalanced '('"},
      {"not key=value", head + "box b corner=(0, 0, 0) size=(1, 1, 1) cut\n", ":3: expected key=value, found \"cut\""},
      {"bad op", head + box + "box c op=intersect corner=(0, 0, 0) size=(1, 1, 1)\n", ":4: op must be union or cut"},
      {"bad plane", head + "extrude e plane=xz height=1 start=(0, 0) line=(1, 0) line=(0, 1) line=(0, 0)\n",
       ":3: plane must be"},
      {"open profile", head + "extrude e height=1 start=(0, 0) line=(1, 0) line=(0, 1)\n",
       ":3: e: the profile is not closed"},
      {"no profile", head + "extrude e height=1 start=(0, 0)\n", ":3: extrude needs a profile"},
      {"duplicate feature", head + box + "box b corner=(1, 1, 1) size=(1, 1, 1)\n",
       ":4: there are two features named b"},
      {"bad feature name", head + "box 2b corner=(0, 0, 0) size=(1, 1, 1)\n", ":3: \"2b\" is not a valid feature name"},
      {"geometry fails", head + box + "hole h at=(5, 5, 10) direction=(0, 0, -1) diameter=L*2\n",
       ":4: h: the hole (diameter 20) does not fit"},
      {"second part line", head + "part q\n", ":3: a file holds one part"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      mcadkernel::readPart(c.text, "bad.part");
      ADD_FAILURE() << "accepted";
    } catch (const KernelError& e) {
      std::string message = e.what();
      EXPECT_EQ(message.rfind("bad.part", 0), 0u) << message;
      EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
  }
}

// Damaged text read from memory (as a fuzzer feeds it) comes back as a Problem naming the file and
// line, never a crash or a hang: deep nesting, very long expressions, stray bytes, huge numbers.
TEST(PartFile, DamagedTextFromMemoryIsAProblemWithFileAndLine) {
  const std::string head = "part p\nparam L = 10\n";
  const std::string box = "box b corner=(0, 0, 0) size=(L, L, L)\n";
  static constexpr char kStrayBytes[] = "box b\0\xff\x01 corner";
  std::string longSum = "1";
  for (int i = 0; i < 3000; ++i) longSum += "+1";
  struct Case {
    const char* what;
    std::string text;
    int line;
    const char* says;
  };
  const Case cases[] = {
      {"empty", "", 0, "the file is empty"},
      {"no part line", "param L = 1\n", 1, "expected \"part NAME\" first"},
      {"nested a thousand deep",
       head + "param W = " + std::string(1000, '(') + "1" + std::string(1000, ')') + "\n" + box, 3, "nested more than"},
      {"negated a million times", head + "param W = " + std::string(1000000, '-') + "1\n" + box, 3, "longer than"},
      {"very long sum", head + "param W = " + longSum + "\n" + box, 3, "longer than"},
      {"powers nested deep",
       head + "param W = 2" +
           [] {
             std::string chain;
             for (int i = 0; i < 500; ++i) chain += "^2";
             return chain;
           }() +
           "\n" + box,
       3, "nested more than"},
      {"stray bytes", head + std::string(kStrayBytes, sizeof kStrayBytes - 1) + "\n", 3, ""},
      {"a size beyond any number", head + "box b corner=(0, 0, 0) size=(1e999, 1, 1)\n", 3, ""},
      {"a feature on a missing line", head + "fillet f radius=1 edges=(nothing/here)\n", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kestrum::Result<std::unique_ptr<mcadkernel::Part>> part = mcadkernel::parsePart(c.text, "bad.part");
    ASSERT_FALSE(part.ok());
    EXPECT_EQ(part.problem().file, "bad.part");
    EXPECT_EQ(part.problem().line, c.line) << part.problem().Describe();
    EXPECT_NE(part.problem().message.find(c.says), std::string::npos) << part.problem().message;
    // The throwing reader says the same.
    try {
      mcadkernel::readPart(c.text, "bad.part");
      ADD_FAILURE() << "accepted";
    } catch (const KernelError& e) {
      EXPECT_EQ(e.what(), part.problem().Describe());
    }
  }
  kestrum::Result<std::unique_ptr<mcadkernel::Part>> good = mcadkernel::parsePart(head + box, "good.part");
  ASSERT_TRUE(good.ok()) << good.problem().Describe();
  EXPECT_EQ((*good)->name(), "p");
}

TEST(PartFile, UnreadableFileAndFailedWriteChangeNothing) {
  TempDir dir;
  EXPECT_THROW(mcadkernel::readPartFile(dir / "missing.part"), KernelError);

  auto part = kerneltest::partFrom("part p\nbox b corner=(0, 0, 0) size=(1, 2, 3)\n");
  std::filesystem::path target = dir / "p.part";
  { std::ofstream(target) << "old contents\n"; }
  // A folder in the way of the rename: the write fails and the old file is kept as it was.
  EXPECT_THROW(mcadkernel::writePartFile(*part, dir / "no-such-folder" / "p.part"), KernelError);
  std::filesystem::create_directory(dir / "taken.part");
  EXPECT_THROW(mcadkernel::writePartFile(*part, dir / "taken.part"), KernelError);
  EXPECT_EQ(readFile(target), "old contents\n");
  mcadkernel::writePartFile(*part, target);
  EXPECT_EQ(readFile(target), mcadkernel::partFileText(*part));
  // Only the two entries we made remain: no temporary files left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(PartFile, ShippedSamplePartsLoadAndRegenerate) {
  struct Case {
    const char* file;
    const char* parameter;
    double value;
    double volumeBefore, volumeAfter;  // closed forms where the part has one; 0 to check > 0 only
    const char* topFace;               // the face with the highest centroid
  };
  const double pi = 3.14159265358979323846;
  const Case cases[] = {
      {"plate_with_hole.part", "D", 40, 200 * 100 * 10 - pi * 225 * 10, 200 * 100 * 10 - pi * 400 * 10, "plate/top"},
      {"column.part", "H", 1500, 20 * 20 * 1000, 20 * 20 * 1500, "shaft/top"},
      {"bracket.part", "H", 80, 0, 0, "upright/top"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto part = mcadkernel::readPartFile(sourcePath(std::string("data/parts/") + c.file));
    double before = part->massProperties().volume;
    part->setParameterValue(c.parameter, c.value);
    double after = part->massProperties().volume;
    if (c.volumeBefore > 0) {
      EXPECT_NEAR(before, c.volumeBefore, 1e-6 * c.volumeBefore);
      EXPECT_NEAR(after, c.volumeAfter, 1e-6 * c.volumeAfter);
    } else {
      EXPECT_GT(before, 0);
      EXPECT_GT(after, before);
    }
    EXPECT_EQ(kerneltest::extremeFace(*part, 2), c.topFace);
  }
}

}  // namespace
