// Settings in a classic ini file ("[section]" lines, then "key=value" lines),
// with the behaviour of the Windows private-profile functions: every read
// looks at the file as it is on disk now and every write goes to disk at
// once, so several programs (and people with an editor) can share the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
 public:
  explicit IniFile(std::string path);

  // Section and key names are compared without regard to (ASCII) case, with
  // surrounding blanks ignored. A missing or unreadable file reads as empty.
  // Values come back without surrounding blanks and without one pair of
  // enclosing quotes (double or single), as UTF-8 (Windows-1252 text is
  // converted).
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  // A value that is not a whole integer (decimal, or "$"/"0x" hexadecimal)
  // gives the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t default_value) const;

  // Replaces the key's line, or adds one at the end of its section, or adds
  // the section at the end of the file; every other byte of the file stays as
  // it was. Throws EFOpenError or EFCreateError naming the file.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);

  bool SectionExists(std::string_view section) const;
  // Key names of the section, in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // Section names in file order, each name once.
  std::vector<std::string> ReadSections() const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace platform
