#include "tornel/projectfile/key_list.h"

#include "platform/delimited_text.h"
#include "platform/strings.h"

namespace tornel {
namespace {

// Position in characters (1-based, 0 when absent) of needle, without regard
// to case, as the display-name rule counts.
size_t CharPos(std::string_view text, std::string_view needle) {
  size_t byte = platform::FindText(text, needle);
  if (byte == std::string_view::npos) return 0;
  return platform::Utf8Length(text.substr(0, byte)) + 1;
}

// Characters [index, index + count) counted from 1; out-of-range parts are
// dropped.
std::string CopyChars(std::string_view text, long index, long count) {
  if (index < 1) index = 1;
  if (count <= 0) return {};
  size_t chars = 0, begin = text.size(), end = text.size();
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    ++chars;  // the character starting at byte i is number `chars`
    if (static_cast<long>(chars) == index) begin = i;
    if (static_cast<long>(chars) == index + count) {
      end = i;
      break;
    }
  }
  if (begin >= text.size()) return {};
  return std::string(text.substr(begin, end - begin));
}

}  // namespace

std::vector<std::string> SplitKeyList(std::string_view text, KeyListSplit mode) {
  return platform::SplitDelimited(text, ';',
                                  mode == KeyListSplit::kAtSemicolons ? platform::Delimiting::kStrict
                                                                      : platform::Delimiting::kLoose);
}

std::string JoinKeyList(const std::vector<std::string>& items) {
  return platform::JoinDelimited(items, ';', platform::Delimiting::kStrict);
}

std::optional<std::string> KeyListValue(const std::vector<std::string>& items,
                                        std::string_view name) {
  for (const std::string& item : items) {
    size_t eq = item.find('=');
    if (eq != std::string::npos && platform::SameText(std::string_view(item).substr(0, eq), name))
      return item.substr(eq + 1);
  }
  return std::nullopt;
}

void SetKeyListValue(std::vector<std::string>& items, std::string_view name,
                     std::string_view value) {
  std::string item = std::string(name) + "=" + std::string(value);
  for (std::string& existing : items) {
    size_t eq = existing.find('=');
    if (eq != std::string::npos &&
        platform::SameText(std::string_view(existing).substr(0, eq), name)) {
      existing = std::move(item);
      return;
    }
  }
  items.push_back(std::move(item));
}

std::string KeyListDisplayName(std::string_view raw) {
  std::string text = platform::Trim(raw);
  long pv = static_cast<long>(CharPos(text, "FileVersion="));
  long pd = static_cast<long>(CharPos(text, "FileDescription="));
  std::string name = platform::Trim(CopyChars(text, pd + 16, pv - pd - 17));
  for (char& c : name)
    if (c == ';') c = ' ';
  return name;
}

}  // namespace tornel
