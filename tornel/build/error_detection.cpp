#include "tornel/build/error_detection.h"

#include "platform/regex.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace tornel {
namespace {

// Length of the line break that starts at text[i], 0 when none does: CR, LF,
// VT, FF, NEL, LS and PS each end a line.
size_t LineBreakAt(std::string_view text, size_t i) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  if (c == '\n' || c == '\r' || c == '\v' || c == '\f') return 1;
  if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x85) return 2;
  if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
      (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
       static_cast<unsigned char>(text[i + 2]) == 0xA9))
    return 3;
  return 0;
}

// True when a line break ends right before text[pos].
bool LineEndsBefore(std::string_view text, size_t pos) {
  for (size_t len = 1; len <= 3 && len <= pos; ++len)
    if (LineBreakAt(text, pos - len) == len) return true;
  return false;
}

}  // namespace

std::optional<std::string> BuscarLineaError(std::string_view output) {
  static const platform::Regex kWord("(?<=\\s)error(?=\\s)", platform::Regex::kNone);
  // The compile log is UTF-8 already; only other text is converted (a copy).
  std::string converted;
  std::string_view text = output;
  if (!platform::IsValidUtf8(text)) {
    converted = platform::Windows1252ToUtf8(output);
    text = converted;
  }
  auto match = kWord.Find(text);
  if (!match) return std::nullopt;
  size_t begin = match->start;
  while (begin > 0 && !LineEndsBefore(text, begin)) --begin;
  size_t end = match->start;
  while (end < text.size() && LineBreakAt(text, end) == 0) ++end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace tornel
