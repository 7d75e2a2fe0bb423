#include "platform/strings.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(LenientToInt, ReadsWhatItCanAndNeverFails) {
  struct Case {
    const char* text;
    int32_t want;
  } cases[] = {
      {"24", 24},      {"  7", 7},          {"-3", -3},        {"+5", 5},
      {"3b", 3},       {"b3", 0},           {"", 0},           {"$1F", 31},
      {"0x10", 16},    {"0X1g", 1},         {"$", 0},          {"-", 0},
      {"007", 7},      {"99999999999", 2147483647},            {"-2147483648", -2147483648},
  };
  for (const auto& c : cases) EXPECT_EQ(LenientToInt(c.text), c.want) << "text: '" << c.text << "'";
}

TEST(StrToIntStrict, AcceptsOnlyWholeNumbers) {
  EXPECT_EQ(StrToIntStrict(" 42 "), 42);
  EXPECT_EQ(StrToIntStrict("-7"), -7);
  EXPECT_EQ(StrToIntStrict("$FF"), 255);
  EXPECT_FALSE(StrToIntStrict("4x"));
  EXPECT_FALSE(StrToIntStrict(""));
  EXPECT_FALSE(StrToIntStrict("2147483648"));
  EXPECT_FALSE(StrToIntStrict("True"));
}

TEST(TextHelpers, TrimCaseAndReplace) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_TRUE(SameText("FileVersion", "FILEVERSION"));
  EXPECT_FALSE(SameText("FileVersion", "FileVersio"));
  EXPECT_EQ(FindText("a;FILEVERSION=1", "fileversion="), 2u);
  EXPECT_EQ(FindText("abc", "x"), std::string::npos);
  EXPECT_EQ(ReplaceAll("a;$(dcc_namespace);b;$(DCC_Namespace)", "$(DCC_Namespace)", "", true),
            "a;;b;");
  EXPECT_EQ(ReplaceAll("aXa", "x", "-", false), "aXa");
}

TEST(Utf8, ValidityLengthAndCut) {
  EXPECT_TRUE(IsValidUtf8("Versión"));
  EXPECT_FALSE(IsValidUtf8("Versi\xF3n"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
  EXPECT_EQ(Utf8Length("año"), 3u);
  EXPECT_EQ(Utf8Left("ñañaña", 3), "ñañ");
  EXPECT_EQ(Utf8Left("ab", 5), "ab");
  EXPECT_EQ(Utf8Left("ab", 0), "");
}

}  // namespace
}  // namespace platform
