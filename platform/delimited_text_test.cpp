#include "platform/delimited_text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Items = std::vector<std::string>;

TEST(DelimitedText, LooseCommaListsSplitAtBlanksOutsideQuotes) {
  struct Case {
    const char* text;
    Items want;
  } cases[] = {
      {"CGN*,MGN*", {"CGN*", "MGN*"}},
      {"two words", {"two", "words"}},
      {"\"two words\", x ", {"two words", "x"}},
      {"a,,b,", {"a", "", "b", ""}},
      {"\"\"", {""}},
      {"", {}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitDelimited(c.text, ',', Delimiting::kLoose), c.want) << c.text;
}

TEST(DelimitedText, JoinQuotesWhatWouldNotReadBack) {
  EXPECT_EQ(JoinDelimited({"CGN*", "a b", "x,y", "q\"", "\tt"}, ',', Delimiting::kLoose),
            "CGN*,\"a b\",\"x,y\",\"q\"\"\",\"\tt\"");
  EXPECT_EQ(JoinDelimited({""}, ',', Delimiting::kLoose), "\"\"");
  EXPECT_EQ(JoinDelimited({}, ',', Delimiting::kLoose), "");
  EXPECT_EQ(JoinDelimited({"a b", "c;d"}, ';', Delimiting::kStrict), "a b;\"c;d\"");
  for (const Items& list : {Items{"a b", "", "x,\"y\""}, Items{""}, Items{"^G", "GN.B"}})
    EXPECT_EQ(SplitDelimited(JoinDelimited(list, ',', Delimiting::kLoose), ',', Delimiting::kLoose),
              list);
}

}  // namespace
}  // namespace platform
