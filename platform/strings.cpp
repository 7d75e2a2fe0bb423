#include "platform/strings.h"

#include <cstring>
#include <limits>

namespace platform {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses sign, base prefix and digits from s[pos]; reports how far it got.
struct ParsedInt {
  int64_t value = 0;
  size_t end = 0;
  bool digits = false;
  bool overflow = false;
};

ParsedInt ParseInt(std::string_view s, size_t pos) {
  ParsedInt r;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
    negative = s[pos] == '-';
    ++pos;
  }
  int base = 10;
  if (pos < s.size() && s[pos] == '$') {
    base = 16;
    ++pos;
  } else if (pos + 1 < s.size() && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  uint64_t magnitude = 0;
  while (pos < s.size()) {
    int d = base == 16 ? HexValue(s[pos]) : (s[pos] >= '0' && s[pos] <= '9' ? s[pos] - '0' : -1);
    if (d < 0) break;
    if (magnitude <= (uint64_t{1} << 40)) magnitude = magnitude * base + d;
    r.digits = true;
    ++pos;
  }
  r.end = pos;
  // Hexadecimal texts may spell the full 32-bit pattern (like $FFFFFFFF).
  const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  if (magnitude > limit) {
    r.overflow = true;
    magnitude = limit;
  }
  int64_t v = base == 16 ? static_cast<int32_t>(static_cast<uint32_t>(magnitude))
                         : static_cast<int64_t>(magnitude);
  r.value = negative ? -v : v;
  return r;
}

}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

size_t FindText(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
  // Only positions whose first character matches are compared in full: the
  // source checks search whole units this way.
  const char first = AsciiUpper(needle[0]);
  const size_t last = haystack.size() - needle.size();
  for (size_t i = from; i <= last; ++i) {
    if (AsciiUpper(haystack[i]) != first) continue;
    size_t k = 1;
    while (k < needle.size() && AsciiUpper(haystack[i + k]) == AsciiUpper(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to,
                       bool ignore_case) {
  if (from.empty()) return std::string(s);
  std::string r;
  size_t pos = 0;
  while (true) {
    size_t hit = ignore_case ? FindText(s, from, pos) : s.find(from, pos);
    if (hit == std::string_view::npos) break;
    r.append(s.substr(pos, hit - pos));
    r.append(to);
    pos = hit + from.size();
  }
  r.append(s.substr(pos));
  return r;
}

int32_t LenientToInt(std::string_view s) {
  size_t pos = 0;
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  ParsedInt p = ParseInt(s, pos);
  return p.digits ? static_cast<int32_t>(p.value) : 0;
}

std::optional<int32_t> StrToIntStrict(std::string_view s) {
  std::string t = Trim(s);
  ParsedInt p = ParseInt(t, 0);
  if (!p.digits || p.overflow || p.end != t.size()) return std::nullopt;
  return static_cast<int32_t>(p.value);
}

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  size_t n = s.size(), i = 0;
  while (i < n) {
    // Sources are mostly ASCII: skip eight such bytes at a time.
    while (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i >= n) break;
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are invalid.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
      return false;
    i += len;
  }
  return true;
}

size_t Utf8Length(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string Utf8Left(std::string_view s, size_t max_chars) {
  size_t chars = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (chars == max_chars) return std::string(s.substr(0, i));
      ++chars;
    }
  }
  return std::string(s);
}

}  // namespace platform
