// Compiled programs for tests: minimal PE images that carry a chosen version
// record, so fixture trees of .exe, .dll and .sdml files need no compiler.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

struct PeFileSpec {
  std::array<uint16_t, 4> file_version{1, 0, 0, 0};
  std::array<uint16_t, 4> product_version{1, 0, 0, 0};
  bool pe32plus = false;     // AMD64 PE32+ instead of i386 PE32
  bool with_version = true;  // without it, the resources hold only other data
  size_t padding = 0;        // extra zero bytes in the code section, for big files
};

// The image's bytes: headers, a ".text" section with a one-instruction entry
// point and spec.padding zero bytes, and a ".rsrc" section whose resource
// tree holds an RCDATA entry and, with a version, a VS_VERSIONINFO block
// (type 16, name 1, language 0x0409) with its fixed record and string
// tables. The resources come last in the file.
std::string MakePeFile(const PeFileSpec& spec);

// Writes the image to path, creating its folders, and answers path. The
// padding is streamed, so big files cost little memory.
std::string WritePeFile(const std::string& path, const PeFileSpec& spec);

}  // namespace testsupport
