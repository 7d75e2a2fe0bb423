#include "tornel/build/program_filter.h"

#include <gtest/gtest.h>

#include "platform/regex.h"

namespace tornel {
namespace {

TEST(ProyectoEnFiltro, LinesAreRegularExpressionsAndServerLinesSelectPairs) {
  using Lines = std::vector<std::string>;
  struct Case {
    bool applies;
    Lines lines;
    const char* code;
    bool want;
  } cases[] = {
      {false, {"XYZ"}, "GGNABC", true},           // the filter does not apply
      {true, {"XYZ"}, "GGNAB", true},             // shorter than 6 characters
      {true, {"XYZ"}, "  GGNAB  ", true},         // trimmed first
      {true, {"MGNABC"}, "GGNABC", true},         // server line selects the pair code
      {true, {"MGNABC"}, "CGNABC", true},         // ... and the client name
      {true, {"MGNABC"}, "MGNABC", true},
      {true, {"MGNABC"}, "GGNXYZ", false},
      {true, {"CGNABC"}, "GGNABC", false},        // a client line does not select the pair
      {true, {"CGNABC"}, "CGNABC", true},
      {true, {"gnab"}, "GGNABC", true},           // anywhere, without regard to case
      {true, {"^G"}, "GGNABC", true},
      {true, {"^G"}, "CGNABC", false},
      {true, {"", " ", "X"}, "GGNABC", false},    // no usable line excludes everything
      {true, {"X", "  ABC "}, "GGNABC", false},   // blanks of a usable line stay in the pattern
      {true, {"X", "NABC"}, "GGNABC", true},
      {true, {}, "GGNABC", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProyectoEnFiltro(c.applies, c.lines, c.code), c.want)
        << c.code << " with " << (c.lines.empty() ? "" : c.lines[0]);
}

TEST(ProyectoEnFiltro, BadPatternIsAFailureNotAMatch) {
  EXPECT_THROW(ProyectoEnFiltro(true, {"GN(AB"}, "GGNABC"), platform::ERegularExpressionError);
}

}  // namespace
}  // namespace tornel
