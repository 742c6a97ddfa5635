#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "amg/CaeConfig.h"
#include "engine_fixture.h"
#include "test_env.h"

namespace fs = std::filesystem;

namespace {

// Each case gets its own configuration file; the program's own setting comes back afterwards.
class ConfigTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    saved_ = std::getenv("KESTRUM_CONFIG");
    UseFile(dir_ / "kestrum.ini");
  }
  void TearDown() override {
    setenv("KESTRUM_CONFIG", saved_.c_str(), 1);
    EngineTest::TearDown();
  }
  void UseFile(const fs::path& file) {
    file_ = file;
    setenv("KESTRUM_CONFIG", file.c_str(), 1);
    CaeConfig::Reset();
  }
  void Write(const std::string& content) {
    std::ofstream(file_, std::ios::binary) << content;
    CaeConfig::Reset();
  }
  static std::string Value(const char* name, int scope = 1) {
    std::optional<CaeString> value = CaeConfig::GetValue(name, scope);
    return value ? value->Str() : "<absent>";
  }

  kestrum::test::TempDir dir_;
  fs::path file_;
  std::string saved_;
};

TEST_F(ConfigTest, EmbeddedDefaultsWithoutAFile) {
  EXPECT_EQ(CaeConfig::FilePath(), file_);
  EXPECT_EQ(fs::path(Value("Root Directory")), kestrum::test::sourcePath("data"));
  EXPECT_TRUE(fs::equivalent(Value("Common Directory"), kestrum::test::buildPath("")));
  fs::path scratch = Value("Scratch Directory");
  EXPECT_EQ(scratch, fs::path(std::getenv("KESTRUM_USER_DIR")) / "scratch");
  EXPECT_TRUE(fs::is_directory(scratch));
  EXPECT_EQ(Value("Graph Font"), "Arial");
  EXPECT_EQ(Value("Graph Axes Font"), "<absent>") << "graphs then take the Graph Font for their axes";
  EXPECT_EQ(Value("MatLibLoc", 0), "<absent>");
  EXPECT_EQ(Value("EnableBrowserRebuild", 0), "<absent>");
  EXPECT_EQ(CaeConfig::GetOndrelLocale().Str(), "ENU");
  EXPECT_FALSE(fs::exists(file_));  // reading never writes
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ConfigTest, SetValuePersistsAndScopesFallBack) {
  ASSERT_TRUE(CaeConfig::SetValue("MatLibLoc", "/home/u/my.mat", 0));
  ASSERT_TRUE(CaeConfig::SetValue(1, "Graph Font", "Courier New"));
  ASSERT_TRUE(CaeConfig::SetValue("MatLibLoc", "/home/u/other.mat", 0));  // replaced in place
  CaeConfig::Reset();                                                     // read back from the file
  EXPECT_EQ(Value("MatLibLoc", 0), "/home/u/other.mat");
  EXPECT_EQ(Value("MatLibLoc", 1), "<absent>");      // a user setting is not an installation one
  EXPECT_EQ(Value("Graph Font", 0), "Courier New");  // user scope falls back to common
  EXPECT_EQ(Value("graph font", 1), "Courier New");
  EXPECT_EQ(kestrum::test::readFile(file_),
            "[User]\nMatLibLoc=/home/u/other.mat\n\n[Common]\nGraph Font=Courier New\n");
  for (const auto& entry : fs::directory_iterator(dir_.path())) EXPECT_EQ(entry.path(), file_);  // no temporary left
}

TEST_F(ConfigTest, ReadingAnswersTextsIntegersAndLeavesMissingOnesAlone) {
  Write("[User]\nEnableBrowserRebuild = 0\nName=two words \n[Common]\nCount=x12\n");
  long flag = -1;
  EXPECT_TRUE(CaeConfig::GetValue("EnableBrowserRebuild", 0, flag));
  EXPECT_EQ(flag, 0);
  long count = 7;
  EXPECT_FALSE(CaeConfig::GetValue("Count", 1, count));
  EXPECT_EQ(count, 7);
  CaeString text = "unchanged";
  EXPECT_FALSE(CaeConfig::GetValue(1, "Missing", text));
  EXPECT_EQ(text.Str(), "unchanged");
  EXPECT_TRUE(CaeConfig::GetValue(0, "Name", text));
  EXPECT_EQ(text.Str(), "two words");
}

TEST_F(ConfigTest, MalformedLinesWarnButLoseNothing) {
  using namespace std::string_literals;
  Write("; settings\r\n[User]\r\nMatLibLoc=/a.mat\r\n=no name\r\ngarbage line\r\n[Common\r\nRoot Directory=/r\r\n"s +
        "\xff\xfe\x00\x01\n"s + "Graph Axes Font=Helvetica");
  EXPECT_EQ(Value("MatLibLoc", 0), "/a.mat");
  EXPECT_EQ(Value("Root Directory", 0), "/r");          // after "[Common" still in [User]
  EXPECT_EQ(Value("Graph Axes Font", 0), "Helvetica");  // after binary junk, without a final line break
  std::vector<std::string> warnings = MessagesAt(1);
  ASSERT_EQ(warnings.size(), 4u);
  EXPECT_NE(warnings[1].find("line 5"), std::string::npos);
  EXPECT_NE(warnings[1].find("garbage line"), std::string::npos);
  // A write keeps every line it does not change, the unreadable ones included.
  ASSERT_TRUE(CaeConfig::SetValue("Graph Font", "Mono", 0));
  EXPECT_EQ(kestrum::test::readFile(file_),
            "; settings\n[User]\nMatLibLoc=/a.mat\n=no name\ngarbage line\n[Common\nRoot Directory=/r\n"s +
                "\xff\xfe\x00\x01\n"s + "Graph Axes Font=Helvetica\nGraph Font=Mono\n");
}

TEST_F(ConfigTest, RefusedWritesChangeNothing) {
  Write("[User]\nMatLibLoc=/a.mat\n");
  EXPECT_FALSE(CaeConfig::SetValue("Bad=Name", "v", 0));
  EXPECT_FALSE(CaeConfig::SetValue("MatLibLoc", "two\nlines", 0));
  EXPECT_FALSE(CaeConfig::SetValue("", "v", 0));
  EXPECT_EQ(MessagesAt(1).size(), 3u);
  EXPECT_EQ(kestrum::test::readFile(file_), "[User]\nMatLibLoc=/a.mat\n");

  Messages().clear();
  UseFile(dir_ / "missing-folder" / "kestrum.ini");
  EXPECT_EQ(Value("Graph Font"), "Arial");  // defaults still answer
  EXPECT_EQ(MessagesAt(1).size(), 1u);
  EXPECT_FALSE(CaeConfig::SetValue("MatLibLoc", "/x.mat", 0));
  EXPECT_EQ(Value("MatLibLoc", 0), "<absent>");
  EXPECT_EQ(MessagesAt(1).size(), 2u);
}

// Where the file is when KESTRUM_CONFIG does not say.
TEST_F(ConfigTest, PerUserFileLocation) {
  struct Case {
    const char* userDir;
    const char* xdg;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {{"/u", "/x", "/h", "/u/kestrum.ini"},
                        {"", "/x", "/h", "/x/kestrum/kestrum.ini"},
                        {"", "", "/h", "/h/.config/kestrum/kestrum.ini"}};
  const char* names[] = {"KESTRUM_USER_DIR", "XDG_CONFIG_HOME", "HOME"};
  std::string saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = std::getenv(names[i]) ? std::getenv(names[i]) : "";
  unsetenv("KESTRUM_CONFIG");
  for (const Case& c : cases) {
    setenv("KESTRUM_USER_DIR", c.userDir, 1);
    setenv("XDG_CONFIG_HOME", c.xdg, 1);
    setenv("HOME", c.home, 1);
    CaeConfig::Reset();
    EXPECT_EQ(CaeConfig::FilePath(), fs::path(c.expected));
  }
  for (int i = 0; i < 3; ++i) setenv(names[i], saved[i].c_str(), 1);
  CaeConfig::Reset();
}

}  // namespace
