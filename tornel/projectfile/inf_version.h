// A program version as the project files and version resources carry it:
// four integers, the first being the product year in two digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tornel {

struct TInfVersion {
  int32_t MajorVersion = 0;
  int32_t MinorVersion = 0;
  int32_t Release = 0;
  int32_t Build = 0;

  // "%d.%d.%d.%d"
  std::string ToString() const;
  // Reads a version text leniently: missing parts give 0, a part is read as
  // far as it looks like a number, nothing ever fails.
  void FromString(std::string_view value);
  static TInfVersion Parse(std::string_view value);

  friend bool operator==(const TInfVersion&, const TInfVersion&) = default;
};

}  // namespace tornel
