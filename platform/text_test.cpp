#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(DecodeText, EncodingFromMarkOrContent) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    std::string text;
  } cases[] = {
      {"\xEF\xBB\xBFVersi\xC3\xB3n", TextEncoding::kUtf8Bom, "Versión"},
      {"Versi\xC3\xB3n\r\n", TextEncoding::kUtf8, "Versión\r\n"},
      {"Versi\xF3n \x80 \x93x\x94", TextEncoding::kWindows1252, "Versión € “x”"},
      {std::string("\xFF\xFE" "A\0\xF3\0", 6), TextEncoding::kUtf16LeBom, "Aó"},
      {std::string("\xFE\xFF\0A\xD8\x3D\xDE\x00", 8), TextEncoding::kUtf16BeBom, "A\xF0\x9F\x98\x80"},
      {"", TextEncoding::kUtf8, ""},
  };
  for (const auto& c : cases) {
    DecodedText d = DecodeText(c.bytes);
    EXPECT_EQ(d.encoding, c.encoding) << c.text;
    EXPECT_EQ(d.text, c.text);
  }
}

TEST(DecodeText, BrokenUtf16AndUndefinedCodePageBytesDoNotFail) {
  // A lone surrogate and an odd trailing byte.
  EXPECT_EQ(DecodeText(std::string("\xFF\xFE\x00\xD8" "B", 5)).text, "\xEF\xBF\xBD");
  // 0x81 is undefined in Windows-1252: kept as the C1 control U+0081.
  EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");
}

}  // namespace
}  // namespace platform
