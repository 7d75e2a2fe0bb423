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

TEST(Utf8StreamDecoder, CompletesSplitSequencesAndTakesTheRestAsWindows1252) {
  // Valid UTF-8 survives any split, byte by byte included.
  const std::string text = "a\xC3\xB3\xE2\x82\xAC\xF0\x9F\x98\x80z";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    Utf8StreamDecoder d;
    std::string out = d.Feed(text.substr(0, cut));
    out += d.Feed(text.substr(cut));
    out += d.Finish();
    EXPECT_EQ(out, text) << "cut at " << cut;
  }
  Utf8StreamDecoder bytewise;
  std::string out;
  for (char c : text) out += bytewise.Feed(std::string_view(&c, 1));
  out += bytewise.Finish();
  EXPECT_EQ(out, text);

  struct Case {
    std::string bytes, want;
  } cases[] = {
      {"Versi\xF3n \x93x\x94", "Versión “x”"},
      {"\xC3(", "Ã("},                                  // lead without its continuation
      {"\xC0\xAF", "À¯"},                               // overlong form
      {"\xED\xA0\x80", "í\xC2\xA0€"},                  // surrogate
      {"\xF4\x90\x80\x80", "ô\xC2\x90€€"},             // past U+10FFFF
      {std::string("a\0b\0", 4), "ab"},                 // 0 bytes dropped, nothing lost
      {std::string("\xC3\0\xB3", 3), "Ã³"},             // a 0 byte breaks a sequence
      {"\xE2\x82", "â‚"},                               // dangling at the end: flushed
  };
  for (const auto& c : cases) {
    Utf8StreamDecoder d;
    std::string got = d.Feed(c.bytes);
    got += d.Finish();
    EXPECT_EQ(got, c.want) << c.want;
  }

  // Held bytes wait for the next piece and are cleared by Finish.
  Utf8StreamDecoder d;
  EXPECT_EQ(d.Feed("ab\xE2\x82"), "ab");
  EXPECT_EQ(d.Finish(), "â‚");
  EXPECT_EQ(d.Feed("\xAC"), "¬");
  EXPECT_EQ(d.Feed("\xE2"), "");
  EXPECT_EQ(d.Feed("x"), "âx");
  EXPECT_EQ(d.Finish(), "");
}

}  // namespace
}  // namespace platform
