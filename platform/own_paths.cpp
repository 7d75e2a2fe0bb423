#include "platform/own_paths.h"

#include <unistd.h>

#include <vector>

#include "platform/paths.h"

namespace platform {

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  while (true) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

std::string ExecutableDir() { return ExtractFilePath(ExecutablePath()); }

std::string SiblingFile(std::string_view ext) { return ChangeFileExt(ExecutablePath(), ext); }

}  // namespace platform
