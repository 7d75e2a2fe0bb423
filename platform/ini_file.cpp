#include "platform/ini_file.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform {
namespace {

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

// One line of the file as positions into its bytes, so that a write can
// change one line and leave every other byte alone.
struct Line {
  size_t begin = 0;  // first byte of the content
  size_t end = 0;    // end of the content, before CR LF or LF
  size_t next = 0;   // start of the following line
  LineKind kind = LineKind::kBlank;
  std::string name;   // section or key name, trimmed
  std::string value;  // raw value, trimmed (key lines)
};

std::vector<Line> Parse(std::string_view data) {
  std::vector<Line> lines;
  size_t pos = data.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (pos < data.size()) {
    Line line;
    line.begin = pos;
    size_t nl = data.find('\n', pos);
    line.end = nl == std::string_view::npos ? data.size() : nl;
    line.next = nl == std::string_view::npos ? data.size() : nl + 1;
    if (line.end > line.begin && data[line.end - 1] == '\r') --line.end;
    pos = line.next;

    std::string text = Trim(data.substr(line.begin, line.end - line.begin));
    size_t eq = text.find('=');
    if (text.empty()) {
      line.kind = LineKind::kBlank;
    } else if (text[0] == ';') {
      line.kind = LineKind::kComment;
    } else if (text[0] == '[') {
      line.kind = LineKind::kSection;
      size_t close = text.find(']');
      line.name =
          Trim(std::string_view(text).substr(1, close == std::string::npos ? close : close - 1));
    } else if (eq != std::string::npos) {
      line.kind = LineKind::kKey;
      line.name = Trim(std::string_view(text).substr(0, eq));
      line.value = Trim(std::string_view(text).substr(eq + 1));
    } else {
      line.kind = LineKind::kOther;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

constexpr size_t kNone = static_cast<size_t>(-1);

size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
  std::string wanted = Trim(section);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == LineKind::kSection && SameText(lines[i].name, wanted)) return i;
  return kNone;
}

// The lines of the section whose header is at index header: up to the next
// header.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::kSection) ++i;
  return i;
}

// The first line of the key in the first section of that name.
size_t FindKey(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  size_t header = FindSection(lines, section);
  if (header == kNone) return kNone;
  std::string wanted = Trim(key);
  for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
    if (lines[i].kind == LineKind::kKey && SameText(lines[i].name, wanted)) return i;
  return kNone;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// The file's own convention; a new file, or one of a single line, gets CR LF
// since Windows tools read these files too.
std::string LineBreakOf(std::string_view data) {
  size_t nl = data.find('\n');
  if (nl != std::string_view::npos && (nl == 0 || data[nl - 1] != '\r')) return "\n";
  return "\r\n";
}

// Reading never fails: a file that is missing or cannot be read is empty.
std::string LoadForReading(const std::string& path) {
  try {
    return ReadFileBytes(path);
  } catch (const Error&) {
    return {};
  }
}

void AddUnique(std::vector<std::string>& names, const std::string& name) {
  for (const auto& n : names)
    if (SameText(n, name)) return;
  names.push_back(name);
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
  std::string data = LoadForReading(path_);
  auto lines = Parse(data);
  size_t i = FindKey(lines, section, key);
  if (i == kNone) return std::string(default_value);
  return ToValidUtf8(Unquote(lines[i].value));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t default_value) const {
  return StrToIntStrict(ReadString(section, key, "")).value_or(default_value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // A missing file is created; one that exists but cannot be read is an
  // error rather than something to overwrite.
  std::string data = FileExists(path_) ? ReadFileBytes(path_) : std::string();
  auto lines = Parse(data);
  const std::string eol = LineBreakOf(data);
  const std::string key_line = Trim(key) + "=" + std::string(value);

  size_t header = FindSection(lines, section);
  size_t existing = FindKey(lines, section, key);
  if (existing != kNone) {
    const Line& line = lines[existing];
    data.replace(line.begin, line.end - line.begin, key_line);
  } else if (header != kNone) {
    // After the section's last entry, so blank lines (and comments) that
    // separate it from the next section stay where they are.
    size_t last = header;
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
      if (lines[i].kind == LineKind::kKey || lines[i].kind == LineKind::kOther) last = i;
    const Line& after = lines[last];
    bool terminated = after.next > after.end;
    data.insert(after.next, (terminated ? "" : eol) + key_line + eol);
  } else {
    if (!data.empty() && data.back() != '\n') data += eol;
    data.append("[").append(Trim(section)).append("]").append(eol).append(key_line).append(eol);
  }
  WriteFileAtomic(path_, data);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

bool IniFile::SectionExists(std::string_view section) const {
  return FindSection(Parse(LoadForReading(path_)), section) != kNone;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> names;
  auto lines = Parse(LoadForReading(path_));
  size_t header = FindSection(lines, section);
  if (header == kNone) return names;
  for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
    if (lines[i].kind == LineKind::kKey && !lines[i].name.empty())
      AddUnique(names, ToValidUtf8(lines[i].name));
  return names;
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const auto& line : Parse(LoadForReading(path_)))
    if (line.kind == LineKind::kSection) AddUnique(names, ToValidUtf8(line.name));
  return names;
}

}  // namespace platform
