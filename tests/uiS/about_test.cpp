#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <climits>
#include <regex>
#include <string>

#include "cadInterface/CadResources.h"
#include "gui/dialogs/common/UIAboutDlg.h"
#include "uis_fixture.h"

namespace {

TEST(AboutFigures, KilobytesAreExactAndSaturateInsteadOfWrapping) {
  const struct {
    unsigned long long count;
    unsigned long long unit;
    unsigned long expected;
  } cases[] = {
      {0, 4096, 0},
      {3, 4096, 12},
      {1, 1023, 0},                        // below one kilobyte
      {3, 512, 1},                         // 1536 bytes
      {1ULL << 40, 4096, 1UL << 42},       // 4 PiB, beyond 32 bits
      {ULLONG_MAX, 4096, ULONG_MAX},       // the product would wrap 64 bits
      {ULLONG_MAX, 1, ULLONG_MAX / 1024},  // no overflow in the product itself
  };
  for (const auto& c : cases) EXPECT_EQ(AboutKilobytes(c.count, c.unit), c.expected) << c.count << " x " << c.unit;
}

TEST(AboutFigures, KernelReleaseSplitsIntoVersionAndRest) {
  const struct {
    const char* release;
    int major, minor, build;
    const char* rest;
  } cases[] = {
      {"6.1.0-18-amd64", 6, 1, 0, "18-amd64"},
      {"5.15.133.1-microsoft-standard-WSL2", 5, 15, 133, "1-microsoft-standard-WSL2"},
      {"4.19", 4, 19, 0, ""},
      {"weird", 0, 0, 0, "weird"},
      {"", 0, 0, 0, ""},
      {"99999999999.1", 1000000, 1, 0, ""},  // an absurd number is cut, never overflows
  };
  for (const auto& c : cases) {
    const AboutKernelRelease parsed = AboutParseKernelRelease(c.release);
    EXPECT_EQ(parsed.major, c.major) << c.release;
    EXPECT_EQ(parsed.minor, c.minor) << c.release;
    EXPECT_EQ(parsed.build, c.build) << c.release;
    EXPECT_EQ(parsed.rest, c.rest) << c.release;
  }
}

TEST(AboutFigures, ProcessorNameComesFromTheFirstModelName) {
  const std::string cpuinfo =
      "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\n\n"
      "processor\t: 1\nmodel name\t: Second\n";
  EXPECT_EQ(AboutProcessorName(cpuinfo, "x86_64"), "Intel(R) Xeon(R) CPU @ 2.20GHz");
  EXPECT_EQ(AboutProcessorName("processor : 0\nFeatures : fp asimd\n", "aarch64"), "aarch64");
  EXPECT_EQ(AboutProcessorName("model name\t:\n", "riscv64"), "riscv64");
}

class AboutBoxTest : public uistest::FrameTest {};

TEST_F(AboutBoxTest, FactsOfThisMachineAreWordedByTheStringTable) {
  ResourceSetter resources(1);
  const AboutSystemFacts facts = AboutReadSystemFacts();
  EXPECT_TRUE(std::regex_match(facts.os, std::regex("Linux \\d+\\.\\d+ \\(build \\d+\\) .*"))) << facts.os;
  EXPECT_FALSE(facts.processor.empty());
  const std::regex memory("\\d+ KB Total, \\d+ KB Available");
  EXPECT_TRUE(std::regex_match(facts.physicalMemory, memory)) << facts.physicalMemory;
  EXPECT_TRUE(std::regex_match(facts.virtualMemory, memory)) << facts.virtualMemory;

  std::smatch disk;
  ASSERT_TRUE(std::regex_match(facts.disk, disk, std::regex("(\\d+) KB Free on C"))) << facts.disk;
  struct statvfs fs {};
  ASSERT_EQ(statvfs(".", &fs), 0);
  const double expected = static_cast<double>(fs.f_bavail) * fs.f_frsize / 1024.0;
  EXPECT_NEAR(std::stod(disk[1].str()), expected, expected * 0.05 + 1024.0);  // the disk is shared
}

TEST_F(AboutBoxTest, CommandRunsTheBoxModallyWithTheFactsFilledIn) {
  uistest::RecordingCad cad;
  ResourceSetter resources(1);
  std::string os;
  bool noteHidden = false;
  driver.add([&](CWnd& window) {
    CString text;
    window.GetDlgItemText(1241, text);
    os = static_cast<const char*>(text);
    noteHidden = !window.GetDlgItem(1254)->IsWindowVisible();
    static_cast<CDialog&>(window).EndDialog(IDOK);
  });
  EXPECT_EQ(UICmdAbout(), 0);
  EXPECT_EQ(os.rfind("Linux ", 0), 0u) << os;
  EXPECT_TRUE(noteHidden);
}

}  // namespace
