#include "tornel/projectfile/inf_version.h"

#include <gtest/gtest.h>

namespace tornel {
namespace {

TEST(TInfVersion, FromStringIsLenient) {
  struct Case {
    const char* text;
    TInfVersion want;
  } cases[] = {
      {"24.3.1.7", {24, 3, 1, 7}},   {"24.3", {24, 3, 0, 0}},
      {"24.3b.1.7", {24, 3, 1, 7}},  {"", {0, 0, 0, 0}},
      {"1.2.3.4.5", {1, 2, 3, 4}},   {"  7  ", {7, 0, 0, 0}},
      {"24..1.7", {24, 0, 1, 7}},    {"24.3.", {24, 3, 0, 0}},
      {"-1.$10.0x1F.x", {-1, 16, 31, 0}}, {"abc", {0, 0, 0, 0}},
      {" 24 . 3", {24, 3, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TInfVersion::Parse(c.text), c.want) << "text: '" << c.text << "'";
  }
}

TEST(TInfVersion, ToStringRoundTrips) {
  TInfVersion v{24, 0, 12, -3};
  EXPECT_EQ(v.ToString(), "24.0.12.-3");
  EXPECT_EQ(TInfVersion::Parse(v.ToString()), v);
  EXPECT_EQ(TInfVersion{}.ToString(), "0.0.0.0");
}

}  // namespace
}  // namespace tornel
