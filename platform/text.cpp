#include "platform/text.h"

#include "platform/files.h"
#include "platform/strings.h"

namespace platform {
namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; the five bytes the
// code page leaves undefined map to the C1 control of the same value, as the
// system conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) -> char16_t {
    auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? static_cast<char16_t>(b0 << 8 | b1) : static_cast<char16_t>(b1 << 8 | b0);
  };
  size_t n = bytes.size() & ~size_t{1};
  for (size_t i = 0; i < n; i += 2) {
    char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 2 < n) {
      char16_t lo = unit(i + 2);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (lo - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  return out;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else if (b < 0xA0)
      AppendUtf8(out, kCp1252High[b - 0x80]);
    else
      AppendUtf8(out, b);
  }
  return out;
}

std::string ToValidUtf8(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

DecodedText DecodeText(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
    return {ToValidUtf8(bytes.substr(3)), TextEncoding::kUtf8Bom};
  if (bytes.substr(0, 2) == "\xFF\xFE")
    return {Utf16ToUtf8(bytes.substr(2), false), TextEncoding::kUtf16LeBom};
  if (bytes.substr(0, 2) == "\xFE\xFF")
    return {Utf16ToUtf8(bytes.substr(2), true), TextEncoding::kUtf16BeBom};
  if (IsValidUtf8(bytes)) return {std::string(bytes), TextEncoding::kUtf8};
  return {Windows1252ToUtf8(bytes), TextEncoding::kWindows1252};
}

DecodedText ReadTextFile(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  // The usual case, UTF-8 without a mark, keeps the buffer as read.
  const bool marked = bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
                      bytes.starts_with("\xFE\xFF");
  if (!marked && IsValidUtf8(bytes)) return {std::move(bytes), TextEncoding::kUtf8};
  return DecodeText(bytes);
}

namespace {

// Length of the UTF-8 sequence a lead byte starts, and the range its second
// byte must fall in (narrower than 80..BF where that excludes overlong forms,
// surrogates and code points past Unicode). 0 when the byte cannot lead.
struct LeadByte {
  size_t length = 0;
  unsigned char second_min = 0x80, second_max = 0xBF;
};

LeadByte ClassifyLead(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {};
}

}  // namespace

std::string Utf8StreamDecoder::Feed(std::string_view bytes) {
  std::string in = std::move(pending_);
  pending_.clear();
  in.append(bytes);
  std::string out;
  out.reserve(in.size());
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  size_t n = in.size(), i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      if (c != 0) out += static_cast<char>(c);
      ++i;
      continue;
    }
    LeadByte lead = ClassifyLead(c);
    size_t k = 1;  // bytes of the sequence that fit so far
    while (lead.length && k < lead.length && i + k < n) {
      unsigned char b = p[i + k];
      bool fits = k == 1 ? (b >= lead.second_min && b <= lead.second_max) : (b & 0xC0) == 0x80;
      if (!fits) break;
      ++k;
    }
    if (lead.length && k == lead.length) {
      out.append(in, i, k);
      i += k;
    } else if (lead.length && i + k == n) {
      pending_.assign(in, i, k);  // may complete with the next piece
      break;
    } else {
      out += Windows1252ToUtf8(in.substr(i, 1));
      ++i;
    }
  }
  return out;
}

std::string Utf8StreamDecoder::Finish() {
  std::string out = Windows1252ToUtf8(pending_);
  pending_.clear();
  return out;
}

}  // namespace platform
