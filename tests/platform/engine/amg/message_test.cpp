#include <gtest/gtest.h>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "engine_fixture.h"

namespace {

CaeArray<CaeString> Args(std::initializer_list<CaeString> items) { return CaeArray<CaeString>(items); }

struct FormatCase {
  const char* pattern;
  std::vector<const char*> args;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << '"' << c.pattern << '"'; }

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FollowsTheFormatMessageConvention) {
  const FormatCase& c = GetParam();
  CaeArray<CaeString> args;
  for (const char* a : c.args) args.Append(a);
  EXPECT_EQ(CaeMsgTxt::Format(c.pattern, &args).Str(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Inserts, FormatTest,
    testing::Values(
        FormatCase{"General Error in %1 at line %2\r\n", {"a.cpp", "12"}, "General Error in a.cpp at line 12\r\n"},
        FormatCase{"%2 before %1", {"one", "two"}, "two before one"},
        FormatCase{"%1%2%3%4%5%6%7%8%9", {"a", "b", "c", "d", "e", "f", "g", "h", "i"}, "abcdefghi"},
        FormatCase{"%1 and %1 again", {"x"}, "x and x again"}, FormatCase{"missing [%3]", {"a"}, "missing []"},
        FormatCase{"%10|%1", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "ten"}, "ten|a"},
        FormatCase{"%1!s! typed", {"v"}, "v typed"}, FormatCase{"100%% sure%.%!", {}, "100% sure.!"},
        FormatCase{"line%nbreak%ttab", {}, "line\r\nbreak\ttab"}, FormatCase{"cut here%0 not shown", {}, "cut here"},
        FormatCase{"trailing %", {}, "trailing %"}));

using MessageTest = EngineTest;

TEST_F(MessageTest, LevelTwoCallsTheRoutineThenRaisesWithTheSameText) {
  try {
    CaeMsgCall::Message(2, 0xc0000fa2, Args({"src/x.cpp", "42"}));
    FAIL() << "level 2 must raise";
  } catch (const CaeExcept& e) {
    EXPECT_EQ(e.String().Str(), "General Error in src/x.cpp at line 42\r\n");
    EXPECT_EQ(e.Code(), 0xc0000fa2u);
  }
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].level, 2);
  EXPECT_EQ(Messages()[0].text, "General Error in src/x.cpp at line 42\r\n");
}

TEST_F(MessageTest, LowerLevelsReportAndReturn) {
  for (int level : {0, 1, 3}) EXPECT_NO_THROW(CaeMsgCall::Message(level, 0xc0000fa6, {CaeString("f.dat")}));
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[1].level, 1);
  EXPECT_EQ(Messages()[1].text, "Could not open file f.dat \r\n");
}

TEST_F(MessageTest, DisabledLevelsReachNoRoutineButLevelTwoIsNeverSilent) {
  CaeMsgCall::ClearMsgLevel(1);
  CaeMsgCall::ClearMsgLevel(2);
  CaeMsgCall::Message(1, 0xc0000fa6, {CaeString("f")});
  EXPECT_TRUE(Messages().empty());
  EXPECT_THROW(CaeMsgCall::Message(2, 0xc0000fa2, {CaeString("f"), CaeString("1")}), CaeExcept);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].level, 2);
  CaeMsgCall::SetMsgLevel(1);
  CaeMsgCall::Message(1, 0xc0000fa6, {CaeString("f")});
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_FALSE(CaeMsgCall::IsMsgLevelSet(4));
  EXPECT_FALSE(CaeMsgCall::IsMsgLevelSet(-1));
}

CaeString Override(std::uint32_t code, const CaeArray<CaeString>* args) {
  CaeString text = CaeString::Format("override %x", code);
  if (args)
    for (int i = 0; i < args->Count(); ++i) text += " " + (*args)[i];
  else
    text += " (no args)";
  return text;
}

TEST_F(MessageTest, TheTextOverrideFormatsEveryMessage) {
  EXPECT_EQ(CaeMsgTxt::SetOverrideMsgRtn(&Override), nullptr);
  EXPECT_EQ(CaeMsgTxt::GetMessage(0xc0001001).Str(), "override c0001001 (no args)");
  EXPECT_THROW(CaeMsgCall::Message(2, 0xc0000fa2, {CaeString("a"), CaeString("7")}), CaeExcept);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "override c0000fa2 a 7");
  EXPECT_EQ(CaeMsgTxt::SetOverrideMsgRtn(nullptr), &Override);
  EXPECT_EQ(CaeMsgTxt::GetMessage(0xc0001001).Str(), "OptResults");
}

CaeString KnowsNothing(std::uint32_t, const CaeArray<CaeString>*) { return CaeString(); }

TEST_F(MessageTest, AnEmptyOverrideTextFallsBackToTheEngineTable) {
  CaeMsgTxt::SetOverrideMsgRtn(&KnowsNothing);
  EXPECT_THROW(CaeMsgCall::Message(2, 0xc0000fa2, {CaeString("a.cpp"), CaeString("3")}), CaeExcept);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "General Error in a.cpp at line 3\r\n");
}

TEST_F(MessageTest, ErrorShowsAtLevelTwoWithoutRaisingAndInfoPrints) {
  EXPECT_NO_THROW(CaeMsgCall::Error(0xc0001031));
  CaeMsgCall::Info(0xc0000fc8);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].level, 2);
  EXPECT_EQ(Messages()[0].text, "Adaptive analysis may not be run delayed execution.\r\n");
  EXPECT_EQ(Messages()[1].level, 0);
}

TEST_F(MessageTest, ConsistencyCheckMacrosNameThisFileAndLine) {
  int line = 0;
  try {
    line = __LINE__ + 1;
    CAE_CHECK(1 + 1 == 3);
  } catch (const CaeExcept& e) {
    EXPECT_EQ(e.String().Str(),
              "General Error in " + std::string(__FILE__) + " at line " + std::to_string(line) + "\r\n");
  }
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_NO_THROW(CAE_CHECK(2 > 1));
  EXPECT_THROW(CAE_GENERAL_ERROR(), CaeExcept);
}

TEST_F(MessageTest, EveryCodeTheSystemNamesHasAText) {
  const std::uint32_t named[] = {0xc0000fa2, 0xc0000fa6, 0xc0000fbc, 0xc0000fc1, 0xc0001001, 0xc0000fb8, 0xc0000fb9,
                                 0x80001029, 0xc0000fbd, 0xc0000fbb, 0xc0000fc8, 0xc0000fe6, 0xc0000fe7, 0xc0000fe8,
                                 0xc0000fe9, 0xc0001031, 0xc00010d3, 0xc00010e7, 0x40001024, 0x40001025, 0x40001026};
  for (std::uint32_t code : named) EXPECT_NE(CaeMsgTxt::TableText(code), nullptr) << std::hex << code;
  for (std::uint32_t code = 0xc0000faa; code <= 0xc0000fb3; ++code)
    EXPECT_NE(CaeMsgTxt::TableText(code), nullptr) << std::hex << code;
  for (std::uint32_t code = 0xc0001002; code <= 0xc000101c; ++code)
    EXPECT_NE(CaeMsgTxt::TableText(code), nullptr) << std::hex << code;
  EXPECT_EQ(CaeMsgTxt::GetMessage(0x80001029).Str(),
            "Some loads and/or restraints that do not apply \r\nfor this analysis type were ignored.");
}

TEST_F(MessageTest, AnUnknownCodeIsNeverSilent) {
  EXPECT_EQ(CaeMsgTxt::TableText(0xc0009999), nullptr);
  EXPECT_THROW(CaeMsgCall::Message(2, 0xc0009999, {CaeString("detail")}), CaeExcept);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "Message 0xc0009999 detail");
}

}  // namespace
