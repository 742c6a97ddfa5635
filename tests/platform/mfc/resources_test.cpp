// Resource modules: the source form and its errors, module files and LoadLibraryA's search,
// strings with their length limit, and FormatMessageA with inserts.
#include <gtest/gtest.h>

#include <fstream>

#include "mfc_fixture.h"
#include "test_env.h"

namespace {

struct SourceErrorCase {
  const char* name;
  const char* source;
  int line;
  const char* message;
  friend void PrintTo(const SourceErrorCase& c, std::ostream* os) { *os << c.name; }
};

class ResourceSourceErrors : public ::testing::TestWithParam<SourceErrorCase> {};

TEST_P(ResourceSourceErrors, NameTheLineAndTheFault) {
  const SourceErrorCase& c = GetParam();
  mfc::ResourceModule module;
  try {
    module.parse(c.source, "test.txt");
    FAIL() << "no error for " << c.source;
  } catch (const mfc::ResourceError& e) {
    EXPECT_EQ(e.line(), c.line);
    EXPECT_EQ(std::string(e.what()), std::string("test.txt:") + std::to_string(c.line) + ": " + c.message);
  }
}

const SourceErrorCase kSourceErrors[] = {
    {"UnknownStatement", "STRING 1 \"a\"\nTEXT 2 \"b\"\n", 2, "unknown statement 'TEXT'"},
    {"StringDefinedTwice", "STRING 1 \"a\"\nSTRING 1 \"b\"\n", 2, "string 1 is defined twice"},
    {"UnclosedText", "STRING 1 \"abc\n", 1, "a text has no closing quote"},
    {"BadEscape", "STRING 1 \"a\\qb\"\n", 1, "unknown escape \\q"},
    {"UnknownName", "DIALOG 5 \"D\" SIZE 10 10\n  EDITTEXT IDC_MISSING \"\" 0 0 1 1\nEND\n", 2,
     "expected a number or a known name, found 'IDC_MISSING'"},
    {"DialogWithoutEnd", "DIALOG 5 \"D\" SIZE 10 10\n", 1, "DIALOG 5 has no END"},
    {"ControlTwice", "DIALOG 5 \"D\"\n  EDITTEXT 7 \"\" 0 0 1 1\n  EDITTEXT 7 \"\" 0 0 1 1\nEND\n", 3,
     "control 7 appears twice in the dialog"},
    {"UnknownControlKind", "DIALOG 5 \"D\"\n  KNOB 7 \"\" 0 0 1 1\nEND\n", 2, "unknown control kind 'KNOB'"},
    {"MessageTwice", "MESSAGE 0xC0000FA2 \"a\"\nMESSAGE 3221229474 \"b\"\n", 2, "message 0xc0000fa2 is defined twice"},
    {"PictureWithoutSize", "BITMAP 4\n", 1, "a picture needs a SIZE"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ResourceSourceErrors, ::testing::ValuesIn(kSourceErrors),
                         [](const auto& info) { return std::string(info.param.name); });

const char* const kModuleSource = R"(NAME IDC_UNITS 1000
STRING 508 "Kestrum Inside"
STRING 811 "Line one\n    %s\nEnd \"quoted\""
MESSAGE 0xC0000FA2 "General Error in %1 at line %2\r\n"
MESSAGE 0xC0000FC1 "Performing Analysis Iteration %1\r\n"
MESSAGE 0x40000001 "Count %1!d! of %2"
DIALOG 103 "Drawing Length Unit" SIZE 186 74 FONT 8 "MS Sans Serif" MENU 304
  COMBOBOX IDC_UNITS "" 7 28 110 70 CBS_DROPDOWNLIST|WS_VSCROLL
  DEFPUSHBUTTON IDOK "OK" 7 53 50 14
END
MENU 304
  POPUP "&File"
    MENUITEM 40060 "&Print" GRAYED
    SEPARATOR
  END
END
ICON 152 SIZE 16 16
BITMAP "NEWU" SIZE 16 15 BITS 8
)";

TEST(ResourceModule, SerializedFormParsesToTheSameModule) {
  mfc::ResourceModule module;
  module.parse(kModuleSource, "source");
  mfc::ResourceModule again;
  again.parse(module.serialize(), "serialized");
  EXPECT_EQ(again.serialize(), module.serialize());
  ASSERT_NE(again.string(811), nullptr);
  EXPECT_EQ(*again.string(811), "Line one\n    %s\nEnd \"quoted\"");
  const mfc::DialogTemplate* dialog = again.dialog(103);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->menuId, 304u);
  ASSERT_EQ(dialog->controls.size(), 2u);
  EXPECT_EQ(dialog->controls[0].id, 1000);
  EXPECT_EQ(dialog->controls[0].style, DWORD{CBS_DROPDOWNLIST | WS_VSCROLL});
  EXPECT_EQ(again.menu(304)->items[0].children[0].flags, UINT{MF_GRAYED});
  EXPECT_NE(again.bitmap("NEWU"), nullptr);
  EXPECT_NE(again.icon(mfc::pictureKey(152)), nullptr);
}

class ModuleFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir / "ZqFEA_TST.dll") << "KESTRUM-RESOURCES 1\n" << kModuleSource;
    std::ofstream(dir / "ZqFEA_BAD.dll") << "MZ not a resource module\n";
    std::ofstream(dir / "ZqFEA_BRK.dll") << "KESTRUM-RESOURCES 1\nSTRING 1 \"open\n";
    mfc::clearLog();
  }
  void TearDown() override { mfc::setLibrarySearchPath({}); }
  kestrum::test::TempDir dir;
};

TEST_F(ModuleFiles, LoadLibraryImpliesDllAndCountsReferences) {
  std::string windowsStyle = dir.path().string() + "\\ZqFEA_TST";
  HINSTANCE first = LoadLibraryA(windowsStyle.c_str());
  ASSERT_NE(first, nullptr);
  HINSTANCE second = LoadLibraryA((dir.path() / "ZqFEA_TST.dll").c_str());
  EXPECT_EQ(first, second);
  EXPECT_TRUE(FreeLibrary(first));
  char buffer[32];
  EXPECT_EQ(LoadStringA(second, 508, buffer, sizeof buffer), 14) << "still loaded once";
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(mfc::moduleOf(second), nullptr);
  EXPECT_FALSE(FreeLibrary(second));
}

TEST_F(ModuleFiles, BareNamesAreSearchedInTheGivenFolders) {
  EXPECT_EQ(LoadLibraryA("ZqFEA_TST"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_MOD_NOT_FOUND});
  mfc::setLibrarySearchPath({dir.path() / "missing", dir.path()});
  HINSTANCE module = LoadLibraryA("ZqFEA_TST");
  ASSERT_NE(module, nullptr);
  FreeLibrary(module);
}

TEST_F(ModuleFiles, FilesThatAreNotModulesAreRefusedWithAWarning) {
  mfc::setLibrarySearchPath({dir.path()});
  EXPECT_EQ(LoadLibraryA("ZqFEA_BAD"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_BAD_EXE_FORMAT});
  EXPECT_EQ(LoadLibraryA("ZqFEA_BRK"), nullptr);
  auto lines = mfc::logLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("is not a resource module"), std::string::npos);
  EXPECT_NE(lines[1].find("damaged resource module"), std::string::npos);
}

TEST(ResourceStrings, LengthLimitMissingIdsAndCurrentHandle) {
  mfctest::ResourceScope resources(kModuleSource);
  char buffer[256];
  EXPECT_EQ(LoadStringA(resources.handle(), 508, buffer, 5), 4);
  EXPECT_STREQ(buffer, "Kest");
  EXPECT_EQ(LoadStringA(resources.handle(), 4242, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(mfc::logLines().back(), "warning: string 4242 is not in the resource module");
  CString text;
  EXPECT_TRUE(text.LoadString(508));
  EXPECT_EQ(text, "Kestrum Inside");
  EXPECT_FALSE(text.LoadString(1));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(LoadStringA(nullptr, 508, buffer, sizeof buffer), 0) << "a null handle has no strings";
}

struct FormatCase {
  const char* name;
  DWORD code;
  std::vector<const char*> arguments;
  const char* expected;
  friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }
};

class FormatMessages : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatMessages, InsertsArgumentsFromTheMessageTable) {
  const FormatCase& c = GetParam();
  mfctest::ResourceScope resources(kModuleSource);
  std::vector<DWORD_PTR> arguments;
  for (const char* a : c.arguments) arguments.push_back(reinterpret_cast<DWORD_PTR>(a));
  if (c.code == 0x40000001) arguments[0] = 7;  // "%1!d!" reads an integer
  char* text = nullptr;
  DWORD length = FormatMessageA(0x2900, resources.handle(), c.code, 0, reinterpret_cast<LPSTR>(&text), 0,
                                arguments.empty() ? nullptr : arguments.data());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), c.expected);
  EXPECT_EQ(length, std::string(c.expected).size());
  LocalFree(text);
}

const FormatCase kFormats[] = {
    {"TwoInsertsKeepTheLineBreak", 0xC0000FA2, {"mesher.cpp", "42"}, "General Error in mesher.cpp at line 42\r\n"},
    {"OneInsert", 0xC0000FC1, {"3"}, "Performing Analysis Iteration 3\r\n"},
    {"IntegerInsert", 0x40000001, {nullptr, "9"}, "Count 7 of 9"},
};

INSTANTIATE_TEST_SUITE_P(Cases, FormatMessages, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatMessage, MissingCodesFailAndSystemErrorsHaveTexts) {
  mfctest::ResourceScope resources(kModuleSource);
  char* text = nullptr;
  EXPECT_EQ(FormatMessageA(0x2900, resources.handle(), 0xC0001234, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr), 0u);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(GetLastError(), DWORD{ERROR_MR_MID_NOT_FOUND});
  char buffer[64];
  EXPECT_GT(
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_STREQ(buffer, "The system cannot find the file specified.\r\n");
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE, resources.handle(), 0xC0000FC1, 0, buffer, 12, nullptr), 11u);
  EXPECT_STREQ(buffer, "Performing ");
}

TEST(ResourceSearch, ExtensionModulesAreSearchedAfterTheCurrentHandle) {
  mfctest::ResourceScope current("DIALOG 1 \"Current\"\nEND\n");
  auto extra = std::make_shared<mfc::ResourceModule>();
  extra->parse("DIALOG 1 \"Extension\"\nEND\nDIALOG 2 \"Only here\"\nEND\n", "extension");
  HINSTANCE handle = mfc::registerModule(extra, "extension");
  AFX_EXTENSION_MODULE record;
  ASSERT_TRUE(AfxInitExtensionModule(record, handle));
  EXPECT_FALSE(AfxInitExtensionModule(record, nullptr));
  AfxInitExtensionModule(record, handle);
  {
    CDynLinkLibrary link(record);
    EXPECT_EQ(AfxFindResourceHandle(1, RT_DIALOG), current.handle());
    EXPECT_EQ(AfxFindResourceHandle(2, RT_DIALOG), handle);
  }
  EXPECT_EQ(AfxFindResourceHandle(2, RT_DIALOG), nullptr);
  AfxTermExtensionModule(record);
  FreeLibrary(handle);
}

}  // namespace
