#include "tornel/build/error_detection.h"

#include <gtest/gtest.h>

namespace tornel {
namespace {

TEST(BuscarLineaError, TheLowercaseWordBetweenWhitespaceMarksTheFirstLine) {
  struct Case {
    std::string output;
    std::optional<std::string> want;
  } cases[] = {
      {"Compilando...\r\nUGNABC.pas(12): error E2003: Undeclared identifier: 'X'\r\nfin\r\n",
       "UGNABC.pas(12): error E2003: Undeclared identifier: 'X'"},
      {"a error one\nb error two\nc error three\n", "a error one"},
      {"0 Error(s)\nerror(s) found\n3 errors\nError here\nterror x\n", std::nullopt},
      {"linea que termina en error\nsiguiente", "linea que termina en error"},
      {"previa\nerror al inicio", "error al inicio"},
      {"error al comienzo del texto", std::nullopt},  // nothing before the word
      {"termina en error", std::nullopt},             // nothing after the word
      {"tab\terror\tx", "tab\terror\tx"},
      {"cr only\rlinea error E1\rmas", "linea error E1"},
      {"nel\xC2\x85" "x error y\xE2\x80\xA8" "z", "x error y"},
      {"no es error: real", std::nullopt},
      {"", std::nullopt},
      {"Versi\xF3n error de compilaci\xF3n\n", "Versión error de compilación"},
  };
  for (const auto& c : cases) EXPECT_EQ(BuscarLineaError(c.output), c.want) << c.output;
}

TEST(BuscarLineaError, LongOutputsAndLinesAreScannedWhole) {
  std::string noise(3 << 20, 'x');
  for (size_t i = 100; i < noise.size(); i += 100) noise[i] = '\n';
  std::string line = std::string(5000, 'y') + " error F1026: File not found";
  EXPECT_EQ(BuscarLineaError(noise + "\n" + line + "\r\nrest"), line);
}

}  // namespace
}  // namespace tornel
