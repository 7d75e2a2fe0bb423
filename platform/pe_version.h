// The version numbers a compiled program carries in its fixed version record
// (VS_FIXEDFILEINFO), read straight from the PE file so that no Windows call
// is needed. Works for PE32 and PE32+ images whatever their extension
// (.exe, .dll, .sdml, ...).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Each version as major, minor, release, build.
struct PeVersion {
  std::array<uint16_t, 4> file{};
  std::array<uint16_t, 4> product{};

  bool operator==(const PeVersion&) const = default;
};

// The fixed version record of the file at path. Empty when the file cannot be
// read, is not a PE image, is truncated or malformed, or carries no version
// resource with a valid fixed record. Reads only the headers and the few
// resource bytes it walks through, so big files cost no more than small ones.
std::optional<PeVersion> ReadPeVersion(const std::string& path);

// "major.minor.release.build".
std::string VersionText(const std::array<uint16_t, 4>& version);

}  // namespace platform
