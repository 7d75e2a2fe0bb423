#include "platform/regex.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Regex, SearchesAnywhereWithTheGivenOptions) {
  Regex cfg("Cfg\\_\\d*");
  EXPECT_TRUE(cfg.Search("'$(cfg_2)'!=''"));
  EXPECT_FALSE(cfg.Search("'$(Base)'!=''"));

  Regex base("Base\\S*\\!\\=");
  EXPECT_TRUE(base.Search("'$(Base_Win32)'!=''"));
  EXPECT_FALSE(base.Search("'$(Cfg_1)'!=''"));

  Regex sensitive("Error", Regex::kNone);
  EXPECT_FALSE(sensitive.Search("error"));

  Regex dot("a.b", Regex::kCaseless);
  EXPECT_FALSE(dot.Search("a\nb"));
  Regex dotall("a.b", Regex::kCaseless | Regex::kDotAll);
  EXPECT_TRUE(dotall.Search("A\nB"));
}

TEST(Regex, WholeMatchTextAndAllMatches) {
  Regex r("[a-z]+\\d");
  auto m = r.Find("--ab1 cd2--");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->text, "ab1");
  EXPECT_EQ(m->start, 2u);
  auto all = r.FindAll("--ab1 cd2--");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].text, "cd2");
  // Empty matches advance by whole characters.
  EXPECT_EQ(Regex("x*").FindAll("ñaña").size(), 5u);
}

TEST(Regex, ManyGroupsStillGiveTheWholeMatch) {
  std::string many;
  for (int i = 0; i < 40; ++i) many += "(a)";
  auto m = Regex(many).Find("xx" + std::string(40, 'A') + "yy");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->start, 2u);
  EXPECT_EQ(m->text, std::string(40, 'A'));
}

TEST(Regex, NonAsciiCaselessAndInvalidUtf8Subjects) {
  Regex r("versión");
  EXPECT_TRUE(r.Search("VERSIÓN 2"));
  // Windows-1252 bytes are read as such instead of failing the match.
  EXPECT_TRUE(r.Search("Versi\xF3n"));
  auto m = Regex("si.n").Find("x Versi\xF3n");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->text, "sión");
}

TEST(Regex, BadPatternNamesTheProblem) {
  try {
    Regex bad("(unclosed");
    FAIL();
  } catch (const ERegularExpressionError& e) {
    EXPECT_NE(std::string(e.what()).find("(unclosed"), std::string::npos);
    EXPECT_STREQ(e.ClassName(), "ERegularExpressionError");
  }
}

}  // namespace
}  // namespace platform
