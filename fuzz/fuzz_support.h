// Fuzz targets read their input from a file, as the programs do: one
// scratch file per process, rewritten for every input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// ext: the extension of the scratch file, or (beginning with "/") its name.
inline std::string ScratchFile(const char* ext, const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/fuzz-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  std::string path = ext[0] == '/' ? dir + ext : dir + "/input" + ext;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  return path;
}

}  // namespace fuzz
