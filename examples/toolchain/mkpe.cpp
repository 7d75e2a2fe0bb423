// mkpe <file> <major.minor.release.build>: writes a small PE image carrying
// that file version (and the major version as product version). The demo's
// simulated compiler uses it to "build" programs on machines without the
// real toolchain.
#include <cstdio>
#include <exception>
#include <string>

#include "testsupport/pe_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mkpe <file> <major.minor.release.build>\n");
    return 2;
  }
  testsupport::PeFileSpec pe;
  std::string version = argv[2];
  size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    size_t dot = version.find('.', pos);
    std::string part = version.substr(pos, dot == std::string::npos ? std::string::npos : dot - pos);
    pe.file_version[i] = static_cast<uint16_t>(part.empty() ? 0 : std::stoul(part));
    if (dot == std::string::npos) {
      for (int k = i + 1; k < 4; ++k) pe.file_version[k] = 0;
      break;
    }
    pos = dot + 1;
  }
  pe.product_version = {pe.file_version[0], 0, 0, 0};
  try {
    testsupport::WritePeFile(argv[1], pe);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkpe: %s\n", e.what());
    return 1;
  }
  return 0;
}
