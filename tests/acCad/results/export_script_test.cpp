// The results exports in the host program, driven by scripts as a user would: "CAEP_WRITE_VRML"
// in its four versions on a static and a modal result set (both parsers read each scene, the
// frame method holds the frames asked for, interpolation the dialog's default), and the refusals
// without results.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_env.h"
#include "vrml_check.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

std::string LoadLines() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/results_module.so").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/lbc_module.so").string() + "\n";
}

// A model of the type holding the imported pair as its current result set.
std::string Imported(const std::string& pair, int type) {
  const std::string base = kestrum::test::sourcePath("data/results/" + pair).string();
  return "LBCMODEL " + pair + " " + std::to_string(type) + "\nRESIMPORT\n@file " + base + ".frd\n@file " + base +
         ".inp\n";
}

struct Version {
  const char* name;
  const char* choice;
  std::size_t frames;
};
const Version kVersions[] = {{"v1", "IDC_VRML_VERSION1", 1},
                             {"v2", "IDC_VRML_VERSION2", 1},
                             {"interpolated", "IDC_VRML_INTERPOLATED", 10},  // the frames edit is off: 10
                             {"frames", "IDC_VRML_FRAMES_METHOD", 8}};

std::string ExportLines(const std::string& stem) {
  std::string lines;
  for (const Version& v : kVersions)
    lines += std::string("CAEP_WRITE_VRML\n@click ") + v.choice + "\n@set IDC_VRML_FRAMES 8\n@set IDC_VRML_FILE " +
             stem + "-" + v.name + ".wrl\n@click IDOK\n";
  return lines;
}

TEST(ExportScript, TheFourVersionsOfAStaticAndAModalSetReadCleanly) {
  TempDir dir;
  const ProgramRun run =
      kestrum::test::runHostScript(dir, LoadLines() + Imported("static_beam", 0) + ExportLines("static") +
                                            Imported("vibration_beam", 1) + ExportLines("modes") + "QUIT\nN\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* stem : {"static", "modes"})
    for (const Version& v : kVersions) {
      const auto file = dir / (std::string(stem) + "-" + v.name + ".wrl");
      SCOPED_TRACE(file.filename().string());
      ASSERT_TRUE(std::filesystem::exists(file)) << run.output;
      const auto scene = kestrum::test::ReadVrml(kestrum::test::readFile(file));
      EXPECT_TRUE(scene.errors.empty()) << scene.errors.front();
      EXPECT_EQ(kestrum::test::OutsideVrmlComplaints(file.string()), "");
      EXPECT_EQ(kestrum::test::VrmlFramesOf(scene).size(), v.frames);
      EXPECT_NE(run.output.find("ShellExecute open " + file.filename().string()), std::string::npos);
    }
}

TEST(ExportScript, WithoutResultsBothExportsSaySoAndOpenNothing) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(
      dir, LoadLines() + "CAEP_WRITE_VRML\n@click IDOK\nCAEP_WRITE_SUMMARY\n@click IDOK\nQUIT\nN\n");
  EXPECT_EQ(kestrum::test::countOf(run.output, "An open model with results is required prior to issuing this command"),
            2)
      << run.output;
  EXPECT_EQ(run.output.find("ShellExecute"), std::string::npos) << run.output;
}

}  // namespace
