// Text files of the product's sources come from Spanish Windows: with or
// without a byte-order mark, UTF-8 or Windows-1252. Everything is turned into
// UTF-8 on reading so the rest of the code handles one encoding.
#pragma once

#include <string>
#include <string_view>

namespace platform {

enum class TextEncoding { kUtf8, kUtf8Bom, kUtf16LeBom, kUtf16BeBom, kWindows1252 };

struct DecodedText {
  std::string text;  // UTF-8, without the byte-order mark
  TextEncoding encoding = TextEncoding::kUtf8;
};

// Encoding from the byte-order mark; without one, UTF-8 when the bytes are
// valid UTF-8, otherwise Windows-1252.
DecodedText DecodeText(std::string_view bytes);

// Reads and decodes a whole file; throws EFOpenError.
DecodedText ReadTextFile(const std::string& path);

std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 unchanged when valid; otherwise taken as Windows-1252.
std::string ToValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes console output that arrives in pieces: valid UTF-8 passes through,
// bytes that are not part of a valid sequence are taken as Windows-1252, and
// a sequence cut at the end of one piece is completed by the next. 0 bytes
// are dropped, as the log cannot hold them.
class Utf8StreamDecoder {
 public:
  std::string Feed(std::string_view bytes);
  // Whatever is still held back, as Windows-1252.
  std::string Finish();

 private:
  std::string pending_;  // the start of a sequence that may still complete
};

}  // namespace platform
