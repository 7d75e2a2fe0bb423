#include "platform/path_resolve.h"

#include <sys/stat.h>

#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string ResolveCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find(kPathDelim, pos);
    if (next == std::string::npos) next = path.size();
    parts.push_back(path.substr(pos, next - pos));
    pos = next + 1;
  }
  std::string resolved;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string prefix = i == 0 ? std::string() : resolved + kPathDelim;
    if (part.empty() || part == "." || part == "..") {
      resolved = prefix + part;
      continue;
    }
    std::string exact = prefix + part;
    if (Exists(exact)) {
      resolved = exact;
      continue;
    }
    std::string dir = prefix.empty() ? std::string(".") : prefix;
    std::string found;
    for (const DirEntry& e : ListDirectory(dir)) {
      if (SameText(e.name, part)) {
        found = e.name;
        break;
      }
    }
    if (found.empty()) return path;
    resolved = prefix + found;
  }
  return resolved;
}

}  // namespace platform
