#include "platform/path_resolve.h"

#include <sys/stat.h>

#include <unordered_map>
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

// The names of a folder, kept while the folder's modification time stays the
// same: the source checks resolve thousands of form paths written in lower
// case against the same few folders.
struct CachedListing {
  struct timespec mtime;
  // Upper-cased name -> the first name in listing order that folds to it.
  std::unordered_map<std::string, std::string> names;
};

// The folder's names by their upper-cased form; null when dir is no folder.
const std::unordered_map<std::string, std::string>* NamesOf(const std::string& dir) {
  thread_local std::unordered_map<std::string, CachedListing> cache;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  auto it = cache.find(dir);
  if (it != cache.end() && it->second.mtime.tv_sec == st.st_mtim.tv_sec &&
      it->second.mtime.tv_nsec == st.st_mtim.tv_nsec)
    return &it->second.names;
  if (cache.size() >= 512) cache.clear();
  CachedListing listing{st.st_mtim, {}};
  for (const DirEntry& e : ListDirectory(dir)) listing.names.emplace(UpperCase(e.name), e.name);
  return &(cache[dir] = std::move(listing)).names;
}

// The name among names that equals name without regard to case, or empty.
std::string FindName(const std::unordered_map<std::string, std::string>* names,
                     const std::string& name) {
  if (!names) return {};
  auto it = names->find(UpperCase(name));
  return it == names->end() ? std::string() : it->second;
}

}  // namespace

std::string ResolveCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  // Most paths differ in their last part only: look that up in its folder
  // before walking the whole path.
  size_t cut = path.find_last_of(kPathDelim);
  if (cut != std::string::npos && cut > 0 && cut + 1 < path.size()) {
    const std::string parent = path.substr(0, cut);
    const std::string name = path.substr(cut + 1);
    const auto* names = name != "." && name != ".." ? NamesOf(parent) : nullptr;
    if (names) {
      std::string found = FindName(names, name);
      return found.empty() ? path : parent + kPathDelim + found;
    }
  }
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
    std::string found = FindName(NamesOf(dir), part);
    if (found.empty()) return path;
    resolved = prefix + found;
  }
  return resolved;
}

std::optional<std::string> ResolveExisting(const std::string& path) {
  if (path.empty()) return std::nullopt;
  if (Exists(path)) return path;
  std::string resolved = ResolveCase(path);
  if (resolved == path) return std::nullopt;  // nothing differs only in case
  return resolved;
}

}  // namespace platform
