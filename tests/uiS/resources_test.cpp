#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;

// A small resource library written for the test, made the module's string handle.
class ResourcesTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    std::ofstream(dir_ / "ZqFEA_TST.dll") << "KESTRUM-RESOURCES 1\n"
                                          << "MESSAGE 0x1 \"Two %1 and %2\\r\\n\"\n"
                                          << "MESSAGE 0x2 \"Lone\\n\"\n"
                                          << "MESSAGE 0x3 \"Inner\\r\\n end\\r\\n\"\n"
                                          << "STRING 4 \"string four\"\n"
                                          << "STRING 5 \"" << std::string(300, 'x') << "\"\n";
    fixture_ = LoadLibraryA((dir_ / "ZqFEA_TST").string().c_str());
    ASSERT_NE(fixture_, nullptr);
    resSetModuleState(fixture_, AfxGetResourceHandle());
  }
  void TearDown() override {
    FreeLibrary(fixture_);
    FrameTest::TearDown();
  }

 private:
  kestrum::test::TempDir dir_;
  HINSTANCE fixture_ = nullptr;
};

TEST_F(ResourcesTest, EngineMessageTextComesFromTheLibrary) {
  const CaeArray<CaeString> two{CaeString("a"), CaeString("b")};
  const struct {
    std::uint32_t code;
    const CaeArray<CaeString>* args;
    std::string expected;
  } cases[] = {
      {0x1, &two, "Two a and b"},       // inserts filled, "\r\n" dropped
      {0x2, nullptr, "Lone\n"},         // a lone line feed stays
      {0x3, nullptr, "Inner\r\n end"},  // only the last line break goes
      {0x4, nullptr, "string four"},    // no message: the string of the same id
      {0x4, &two, ""},                  // no message with arguments: empty
      {0x9, nullptr, ""},               // neither
      {0xC0000FB8, nullptr, ""},        // an engine code past the string ids: no string looked up
  };
  for (const auto& c : cases) {
    mfc::clearLog();
    EXPECT_EQ(std::string(resEngineMessageText(c.code, c.args).c_str()), c.expected) << std::hex << c.code;
    if (c.code <= 0xFFFF) continue;  // a missing string id is worth its warning
    for (const std::string& line : mfc::logLines())
      EXPECT_EQ(line.find("warning: string " + std::to_string(c.code)), std::string::npos) << line;
  }
}

TEST_F(ResourcesTest, StringsAreCutAt255AndMissingOnesAreEmpty) {
  EXPECT_EQ(resLoadString(4), "string four");
  EXPECT_EQ(resLoadString(5).Length(), 255u);
  EXPECT_TRUE(resLoadString(6).IsEmpty());
  CaeString text("old");
  EXPECT_EQ(&resLoadString(text, 6), &text);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(FrameTest, InstalledOverrideWordsTheEngineMessages) {
  CadAppControl control;
  EXPECT_EQ(CaeMsgTxt::GetMessage(kCaeMsgGeneralError, {CaeString("f.cpp"), CaeString("7")}),
            "General Error in f.cpp at line 7");
}

TEST_F(FrameTest, NestedResourceSettersRestoreExactlyWhatTheyFound) {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  const HINSTANCE resource = state->m_hCurrentResourceHandle;
  const HINSTANCE instance = state->m_hCurrentInstanceHandle;
  {
    ResourceSetter outer(1);
    EXPECT_EQ(state->m_hCurrentResourceHandle, ResourceSetter::ResourceModule());
    EXPECT_EQ(state->m_hCurrentInstanceHandle, ResourceSetter::ResourceModule());
    {
      ResourceSetter inner(0);
      EXPECT_EQ(ResourceSetter::NestingCount(), 2);
      EXPECT_EQ(state->m_hCurrentResourceHandle, resource);  // the load-time handle
    }
    EXPECT_EQ(state->m_hCurrentResourceHandle, ResourceSetter::ResourceModule());
  }
  EXPECT_EQ(ResourceSetter::NestingCount(), 0);
  EXPECT_EQ(state->m_hCurrentResourceHandle, resource);
  EXPECT_EQ(state->m_hCurrentInstanceHandle, instance);

  const HINSTANCE previous = ResourceSetter::UseResourceModule();
  EXPECT_EQ(previous, resource);
  EXPECT_EQ(AfxGetResourceHandle(), ResourceSetter::ResourceModule());
  EXPECT_EQ(state->m_hCurrentInstanceHandle, instance);
  ResourceSetter::SetResourceHandle(previous);
  EXPECT_EQ(AfxGetResourceHandle(), resource);
}

TEST_F(FrameTest, LibraryIsFoundUnderTheCommonDirectory) {
  const CaeString saved = CaeConfig::GetValue("Common Directory", 1).value_or("");
  CaeConfig::SetValue("Common Directory", "C:\\Kestrum", 1);
  EXPECT_EQ(resResourceModuleName(), "C:\\Kestrum\\res\\ZqFEA_ENU");
  EXPECT_EQ(resLoadResourceModule(), nullptr);

  CaeConfig::SetValue("Common Directory", kestrum::test::buildPath("").string().c_str(), 1);
  HINSTANCE loaded = resLoadResourceModule();
  EXPECT_NE(loaded, nullptr);
  if (loaded) FreeLibrary(loaded);
  CaeConfig::SetValue("Common Directory", saved, 1);
}

// A CAD with a name, as the help path needs one.
class NamedCad : public uistest::RecordingCad {
 public:
  CString& GetCadName(CString& name) override {
    name = "MDT";
    return name;
  }
};

TEST_F(FrameTest, HelpUsesTheLocalisedFileWhenItExistsElseTheEnglishOne) {
  kestrum::test::TempDir root;
  const CaeString savedRoot = CaeConfig::GetValue("Root Directory", 1).value_or("");
  CaeConfig::SetValue("Root Directory", root.path().string().c_str(), 1);
  NamedCad cad;
  setenv("KESTRUM_LANGUAGE", "DEU", 1);
  const std::string prefix = root.path().string() + "\\MDT\\Help\\ZqFEA_";
  EXPECT_EQ(std::string(resHelpFileName().c_str()), prefix + "ENU.hlp");

  std::filesystem::create_directories(root / "MDT" / "Help");
  std::ofstream(root / "MDT" / "Help" / "ZqFEA_DEU.hlp") << "help";
  EXPECT_EQ(std::string(resHelpFileName().c_str()), prefix + "DEU.hlp");

  mfc::clearLog();
  UIShowHelp(0x20000 + 168, HELP_CONTEXT);
  const std::vector<std::string> lines = mfc::logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "WinHelp " + prefix + "DEU.hlp command 1 data 0x200a8");
  unsetenv("KESTRUM_LANGUAGE");
  CaeConfig::SetValue("Root Directory", savedRoot, 1);
}

}  // namespace
