// The shipped results-pages example on the solved plate: the Color Display page's contour range
// (eight white-to-blue bands of von Mises over the data's range), the deformed shape scaled 500
// times with its outline, arrows at the nodes, the animation played and stepped, the components in
// the user coordinate system turned 90 degrees about z (local x is global y), and "Results Off".
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fev/FerRender.h"
#include "png_image.h"
#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

std::string ShippedScript() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/results_pages.scr"));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  return std::regex_replace(script, std::regex("@BUILD@"), build);
}

// The text between `from` and the next "Command:" line of the host's output.
std::string Section(const std::string& output, const std::string& from, std::size_t start = 0) {
  const std::size_t at = output.find(from, start);
  if (at == std::string::npos) return "";
  const std::size_t end = output.find("Command:", at + from.size());
  return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The numbers after `label` on its line ("Bands: 1 2 3", "Min 1  Max 2").
std::vector<double> Numbers(const std::string& text, const std::string& label) {
  std::vector<double> values;
  const std::size_t at = text.find(label);
  if (at == std::string::npos) return values;
  std::istringstream line(text.substr(at + label.size(), text.find('\n', at) - at - label.size()));
  std::string word;
  while (line >> word) {
    try {
      values.push_back(std::stod(word));
    } catch (...) {}
  }
  return values;
}

TEST(ResultsPages, TheShippedExampleShapesTheResultsWindow) {
  TempDir dir;
  std::string script = ShippedScript();
  // The reference for the turned frame: global y components of the same displacement.
  const std::size_t ucs = script.find("UCS Z 90");
  ASSERT_NE(ucs, std::string::npos);
  script.insert(ucs,
                "CAEP_RESULTS_TAB\n@select IDC_SHEET_TABS \"Color Display\"\n@select IDC_RES_DATASET Displacement\n"
                "@select IDC_RES_COMPONENT Y\n@click IDOK\nWINDOWS show \"Results Processor\"\n");
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("; ignored"), std::string::npos) << run.output;

  // Eight bands of von Mises over the data's range, on the deformed shape with arrows at nodes.
  const std::string stress = Section(run.output, "window \"Results Processor\"");
  EXPECT_NE(stress.find("Stress (Von Mises)"), std::string::npos) << stress;
  const std::vector<double> bands = Numbers(stress, "Bands:");
  ASSERT_EQ(bands.size(), 9u) << stress;
  for (std::size_t i = 1; i < bands.size(); ++i)
    EXPECT_NEAR(bands[i] - bands[i - 1], (bands.back() - bands.front()) / 8, 1e-3 * bands.back()) << i;
  EXPECT_NE(stress.find("Deformed x 500"), std::string::npos) << stress;
  const std::vector<double> arrows = Numbers(stress, "Symbols:");
  ASSERT_FALSE(arrows.empty()) << stress;
  EXPECT_GT(arrows.front(), 100) << stress;
  EXPECT_NE(stress.find("at nodes"), std::string::npos) << stress;

  // The contour picture shows the white-to-blue bands (at least six of the eight).
  AcGiImage contours;
  ASSERT_TRUE(kestrum::test::readPng(dir / "contours.png", contours));
  const std::vector<kestrum::raster::Rgb> whiteBlue = FerBandColors(1, 8);
  std::set<int> seen;
  for (int y = 0; y < contours.height; ++y)
    for (int x = 0; x < contours.width - 250; ++x) {
      const AcGiImage::Pixel p = contours.at(x, y);
      for (std::size_t b = 0; b < whiteBlue.size(); ++b)
        if (p.r == whiteBlue[b].r && p.g == whiteBlue[b].g && p.b == whiteBlue[b].b) seen.insert(static_cast<int>(b));
    }
  EXPECT_GE(seen.size(), 6u);
  for (const char* picture : {"deformed.png", "animation.png", "local.png"})
    EXPECT_GT(std::filesystem::file_size(dir / picture), 1000u) << picture;

  // Local x in the turned frame is global y: the same range, and the frame is said.
  const std::size_t reference = run.output.find("Displacement (Y)");
  ASSERT_NE(reference, std::string::npos) << run.output;
  const std::size_t turned = run.output.find("Displacement (X)", reference);
  ASSERT_NE(turned, std::string::npos) << run.output;
  const std::vector<double> global = Numbers(run.output.substr(reference), "Min");
  const std::vector<double> local = Numbers(run.output.substr(turned), "Min");
  ASSERT_EQ(global.size(), 2u);
  ASSERT_EQ(local.size(), 2u);
  EXPECT_DOUBLE_EQ(local[0], global[0]);
  EXPECT_DOUBLE_EQ(local[1], global[1]);
  EXPECT_NE(run.output.find("Frame: Local", turned), std::string::npos);

  // "Results Off" hid the window.
  EXPECT_NE(run.output.find("\"Results Processor\" hidden"), std::string::npos) << run.output;
}

}  // namespace
