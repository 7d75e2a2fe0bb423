#include "tornel/projectfile/key_list.h"

#include <gtest/gtest.h>

namespace tornel {
namespace {

using Items = std::vector<std::string>;

TEST(SplitKeyList, AtSemicolonsKeepsBlanksAndHonoursQuotes) {
  struct Case {
    const char* text;
    Items want;
  } cases[] = {
      {"A=1;B=two words;C=", {"A=1", "B=two words", "C="}},
      {"\"Comments=a;b\";X=1", {"Comments=a;b", "X=1"}},
      {"\"Q=say \"\"hi\"\"\";Z=2", {"Q=say \"hi\"", "Z=2"}},
      {"A=1;;B=2;", {"A=1", "", "B=2", ""}},
      {";A", {"", "A"}},
      {"\"unclosed;rest", {"unclosed;rest"}},
      {"", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitKeyList(c.text, KeyListSplit::kAtSemicolons), c.want) << c.text;
}

TEST(SplitKeyList, AtBlanksToo) {
  EXPECT_EQ(SplitKeyList("  FileDescription=Mi Programa;FileVersion=1.2.3.4 ",
                         KeyListSplit::kAtSemicolonsAndBlanks),
            (Items{"FileDescription=Mi", "Programa", "FileVersion=1.2.3.4"}));
  EXPECT_EQ(SplitKeyList("\"C=a b;c\" ;\tD=1", KeyListSplit::kAtSemicolonsAndBlanks),
            (Items{"C=a b;c", "D=1"}));
}

TEST(JoinKeyList, QuotesItemsWithSemicolonsOrQuotes) {
  EXPECT_EQ(JoinKeyList({"A=1", "Comments=x;y", "Q=a\"b", "B=c d"}),
            "A=1;\"Comments=x;y\";\"Q=a\"\"b\";B=c d");
  Items round{"Comments=x;y", "Q=\"q\"", "", "Z="};
  EXPECT_EQ(SplitKeyList(JoinKeyList(round), KeyListSplit::kAtSemicolons), round);
}

TEST(KeyListValue, FirstItemWithTheKeyWithoutRegardToCase) {
  Items items{"CompanyName=M", "fileversion=1.2.3.4", "FileVersion=9.9.9.9", "NoEquals",
              "Empty="};
  EXPECT_EQ(KeyListValue(items, "FileVersion"), "1.2.3.4");
  EXPECT_EQ(KeyListValue(items, "Empty"), "");
  EXPECT_FALSE(KeyListValue(items, "ProductVersion"));
  EXPECT_FALSE(KeyListValue(items, "NoEquals"));
}

TEST(SetKeyListValue, ReplacesFirstWithTheGivenSpellingOrAppends) {
  Items items{"fileversion=1.0.0.0", "FileVersion=2.0.0.0", "Comments=x"};
  SetKeyListValue(items, "FileVersion", "24.0.1.1");
  SetKeyListValue(items, "ProductVersion", "24.0.0.0");
  EXPECT_EQ(items, (Items{"FileVersion=24.0.1.1", "FileVersion=2.0.0.0", "Comments=x",
                          "ProductVersion=24.0.0.0"}));
}

TEST(KeyListDisplayName, TakesTheTextBetweenDescriptionAndVersion) {
  struct Case {
    const char* raw;
    const char* want;
  } cases[] = {
      {"CompanyName=M;FileDescription=Gestión de Nómina;FileVersion=1.0.0.0", "Gestión de Nómina"},
      {"  filedescription= Planilla ;fileversion=1", "Planilla"},
      {"FileDescription=A;B;FileVersion=1", "A B"},
      // Keys in the other order give nothing.
      {"FileVersion=1.0.0.0;FileDescription=Late", ""},
      {"FileDescription=NoVersion", ""},
      // Without a description the fixed offset still cuts from the text.
      {"CompanyName=Morvel SAC;InternalName=X;FileVersion=1", "vel SAC InternalName=X"},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyListDisplayName(c.raw), c.want) << c.raw;
}

}  // namespace
}  // namespace tornel
