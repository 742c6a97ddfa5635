// The resource compiler's parser on text in memory: numerals refused as names, the module's
// write/read round trip, and the header of symbolic ids.
#include <gtest/gtest.h>

#include <string>

#include "ResourceCompiler.h"

namespace {

using kestrum::res::CompileResourceSources;
using kestrum::res::ParseResourceText;
using kestrum::res::ResourceIdHeader;

// Names are looked up before numbers, so a numeral as a name would change what that numeral
// means everywhere after it.
TEST(ResourceCompilerParser, RefusesNumeralsAsNamesWithFileAndLine) {
  const struct {
    const char* name;
    const char* source;
    int line;
    const char* numeral;
  } cases[] = {
      {"decimal", "STRING 9 \"nine\"\nNAME 0 9\nSTRING 0 \"zero\"\n", 2, "0"},
      {"hexadecimal", "NAME 0x10 3\n", 1, "0x10"},
      {"signed", "# comment\n\nNAME -5 1\n", 3, "-5"},
      {"octal", "NAME 010 2\n", 1, "010"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    mfc::ResourceModule module;
    kestrum::Status parsed = ParseResourceText(c.source, "strings.txt", module);
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.problem().file, "strings.txt");
    EXPECT_EQ(parsed.problem().line, c.line);
    EXPECT_EQ(parsed.problem().message, std::string("a NAME cannot be a number: '") + c.numeral + "'");
  }
}

TEST(ResourceCompilerParser, NamesThatOnlyStartLikeNumbersAreStillNames) {
  mfc::ResourceModule module;
  ASSERT_TRUE(ParseResourceText("NAME 1ST_PAGE 7\nSTRING 1ST_PAGE \"first\"\n", "t.txt", module).ok());
  ASSERT_NE(module.string(7), nullptr);
  EXPECT_EQ(*module.string(7), "first");
}

// What the build writes is read back by the toolkit: every id must keep its meaning.
TEST(ResourceCompilerParser, WriteAndReadBackGivesTheSameModule) {
  const std::string source =
      "NAME IDS_ZERO 0\nSTRING IDS_ZERO \"zero\"\nSTRING 9 \"nine\"\n"
      "NAME MSG_FAULT 0xC0000FBC\nMESSAGE MSG_FAULT \"Fault %1 \\r\\n\"\n"
      "NAME IDC_UNIT 1000\nDIALOG 103 \"Unit\" SIZE 100 50\n  COMBOBOX IDC_UNIT \"\" 1 2 3 4\nEND\n";
  mfc::ResourceModule first;
  ASSERT_TRUE(ParseResourceText(source, "a.txt", first).ok());
  mfc::ResourceModule second;
  kestrum::Status reread = ParseResourceText(first.serialize(), "module", second);
  ASSERT_TRUE(reread.ok()) << reread.problem().Describe();
  EXPECT_EQ(second.serialize(), first.serialize());
  ASSERT_NE(second.string(0), nullptr);
  EXPECT_EQ(*second.string(0), "zero");
  EXPECT_EQ(*second.string(9), "nine");
  ASSERT_NE(second.message(0xC0000FBC), nullptr);
  EXPECT_EQ(second.dialog(103)->controls.at(0).id, 1000);
}

TEST(ResourceCompilerParser, SourcesAreCheckedAloneForLinesAndTogetherForDuplicates) {
  auto twice = CompileResourceSources({{"a.txt", "STRING 1 \"one\"\n"}, {"b.txt", "\nSTRING 1 \"again\"\n"}});
  ASSERT_FALSE(twice.ok());
  EXPECT_EQ(twice.problem().Describe(), "b.txt:2: string 1 is defined twice");

  // Each source stands alone: a name is used in the source that defines it.
  auto foreign = CompileResourceSources({{"a.txt", "NAME IDS_ONE 1\n"}, {"b.txt", "STRING IDS_ONE \"one\"\n"}});
  ASSERT_FALSE(foreign.ok());
  EXPECT_EQ(foreign.problem().Describe(), "b.txt:1: expected a number or a known name, found 'IDS_ONE'");

  auto fine =
      CompileResourceSources({{"a.txt", "NAME IDS_ONE 1\nSTRING IDS_ONE \"one\"\n"}, {"b.txt", "STRING 2 \"two\"\n"}});
  ASSERT_TRUE(fine.ok()) << fine.problem().Describe();
  EXPECT_EQ(*fine->string(1), "one");
  EXPECT_EQ(*fine->string(2), "two");
}

TEST(ResourceCompilerParser, HeaderNamesEveryIdWithATypeThatHoldsIt) {
  mfc::ResourceModule module;
  ASSERT_TRUE(ParseResourceText("NAME IDS_B 43\nNAME IDC_A 1000\nNAME MSG_C 0xC0000FBC\n", "t.txt", module).ok());
  const std::string header = ResourceIdHeader(module);
  EXPECT_NE(header.find("#pragma once\n"), std::string::npos);
  EXPECT_NE(header.find("inline constexpr int IDC_A = 1000;\n"), std::string::npos) << header;
  EXPECT_NE(header.find("inline constexpr int IDS_B = 43;\n"), std::string::npos) << header;
  EXPECT_NE(header.find("inline constexpr std::uint32_t MSG_C = 0xC0000FBCu;\n"), std::string::npos) << header;
}

}  // namespace
