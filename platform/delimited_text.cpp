#include "platform/delimited_text.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

// Reads a quoted item starting at text[pos] == '"'; a doubled quote stands
// for one quote; an unclosed quote runs to the end. Advances pos past it.
std::string ExtractQuoted(std::string_view text, size_t& pos) {
  std::string out;
  ++pos;
  while (pos < text.size()) {
    if (text[pos] == '"') {
      if (pos + 1 < text.size() && text[pos + 1] == '"') {
        out += '"';
        pos += 2;
        continue;
      }
      ++pos;
      return out;
    }
    out += text[pos++];
  }
  return out;
}

bool NeedsQuotes(const std::string& item, char delimiter, Delimiting mode) {
  for (char c : item) {
    if (c == '"' || c == delimiter || c == '\0') return true;
    if (mode == Delimiting::kLoose && static_cast<unsigned char>(c) <= ' ') return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter, Delimiting mode) {
  const bool loose = mode == Delimiting::kLoose;
  auto skip_blanks = [&](size_t& pos) {
    if (loose)
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
  };
  std::vector<std::string> items;
  size_t pos = 0;
  skip_blanks(pos);
  while (pos < text.size()) {
    if (text[pos] == '"') {
      items.push_back(ExtractQuoted(text, pos));
    } else {
      size_t start = pos;
      while (pos < text.size() && text[pos] != delimiter && !(loose && IsBlank(text[pos]))) ++pos;
      items.emplace_back(text.substr(start, pos - start));
    }
    skip_blanks(pos);
    if (pos < text.size() && text[pos] == delimiter) {
      if (pos + 1 == text.size()) items.emplace_back();  // a final delimiter ends with an empty item
      ++pos;
      skip_blanks(pos);
    }
  }
  return items;
}

std::string JoinDelimited(const std::vector<std::string>& items, char delimiter, Delimiting mode) {
  // A list of one empty item must still read back as one item.
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += delimiter;
    const std::string& item = items[i];
    if (!NeedsQuotes(item, delimiter, mode)) {
      out += item;
      continue;
    }
    out += '"';
    for (char c : item) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

}  // namespace platform
