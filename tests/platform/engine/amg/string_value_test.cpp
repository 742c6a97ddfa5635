#include <gtest/gtest.h>

#include <clocale>

#include "amg/CaeFlags.h"
#include "amg/CaeLocale.h"
#include "amg/CaeStamp.h"
#include "amg/CaeString.h"

namespace {

TEST(StringTest, ComparesBytesExactly) {
  CaeString a = "Load Set 1";
  EXPECT_EQ(a, CaeString("Load Set 1"));
  EXPECT_NE(a, CaeString("load set 1"));
  CaeString multibyte("\xe6\x97\xa5\xe6\x9c\xac");  // two CJK characters
  EXPECT_EQ(multibyte.Length(), 6u);
  EXPECT_NE(multibyte, CaeString("\xe6\x97\xa5\xe6\x9c\xad"));
  CaeString withZero("a\0b", 3);
  EXPECT_EQ(withZero.Length(), 3u);
  EXPECT_NE(withZero, CaeString("a"));
  EXPECT_TRUE(CaeString(nullptr).IsEmpty());
}

TEST(StringTest, AppendAndTruncate) {
  CaeString s = "Model";
  s += " ";
  s += CaeString("1");
  s += '!';
  EXPECT_EQ(s.Str(), "Model 1!");
  EXPECT_EQ((s + "x").Str(), "Model 1!x");
  s.Truncate(5);
  EXPECT_EQ(s.Str(), "Model");
  s.Truncate(50);
  EXPECT_EQ(s.Str(), "Model");
}

TEST(StringTest, NumbersInTheCLocale) {
  EXPECT_EQ(CaeString::Format("%.2f|%d|%s", 3.14159, -7, "x").Str(), "3.14|-7|x");
  EXPECT_EQ(CaeString::FromInt(-1234567890123LL).Str(), "-1234567890123");
  const double values[] = {0.1, -2.5e-300, 1e20, 298.15, 1.0 / 3.0};
  for (double v : values) {
    double back = 0.0;
    ASSERT_TRUE(CaeString::FromDouble(v).ToDouble(back));
    EXPECT_EQ(back, v);
  }
  struct ParseCase {
    const char* text;
    bool ok;
    double value;
  };
  const ParseCase cases[] = {{" 1.5 ", true, 1.5}, {"+2e3", true, 2000.0}, {"1,5", false, 0},
                             {"", false, 0},       {"12abc", false, 0},    {"-0.25", true, -0.25}};
  for (const ParseCase& c : cases) {
    double value = 99.0;
    EXPECT_EQ(CaeString(c.text).ToDouble(value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : 99.0) << c.text;
  }
  long n = 5;
  EXPECT_TRUE(CaeString("-42").ToInt(n));
  EXPECT_EQ(n, -42);
  EXPECT_FALSE(CaeString("4.2").ToInt(n));
  EXPECT_EQ(n, -42);
}

TEST(LocaleTest, ForceDecimalPointUsesTheCLocaleAndRestoresTheThreadsOwn) {
  locale_t own = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
  ASSERT_NE(own, static_cast<locale_t>(0));
  locale_t before = uselocale(own);
  {
    CaeLocale::ForceDecimalPoint outer;
    EXPECT_NE(uselocale(static_cast<locale_t>(0)), own);
    EXPECT_STREQ(localeconv()->decimal_point, ".");
    { CaeLocale::ForceDecimalPoint inner; }
    EXPECT_NE(uselocale(static_cast<locale_t>(0)), own);
  }
  EXPECT_EQ(uselocale(static_cast<locale_t>(0)), own);
  uselocale(before);
  freelocale(own);
}

TEST(FlagsTest, SetClearAndTestMasks) {
  CaeFlags flags;
  flags.Set(1);
  flags.Set(128);
  flags.Set(256);
  EXPECT_EQ(flags.Value(), 385u);
  EXPECT_TRUE(flags.IsSet(128));
  EXPECT_FALSE(flags.IsSet(2));
  EXPECT_FALSE(flags.IsSet(0));
  EXPECT_FALSE(flags.IsSet(1 | 2));
  flags.Clear(128);
  EXPECT_FALSE(flags.IsSet(128));
  EXPECT_EQ(CaeOn, 0);
  EXPECT_EQ(CaeOff, 1);
}

TEST(StampTest, GenerationsMarkVisits) {
  CaeStamp a, b;
  EXPECT_FALSE(a.Test());
  CaeStamp::New();
  a.Set();
  EXPECT_TRUE(a.Test());
  EXPECT_FALSE(b.Test());
  CaeStamp::New();
  EXPECT_FALSE(a.Test());
  b.Set();
  EXPECT_TRUE(b.Test());
}

}  // namespace
