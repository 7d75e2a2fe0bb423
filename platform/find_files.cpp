#include "platform/find_files.h"

#include <set>
#include <utility>

#include "platform/files.h"
#include "platform/paths.h"

namespace platform {
namespace {

using Visited = std::set<std::pair<uint64_t, uint64_t>>;

void Search(const std::string& path, std::string_view mask, bool recursive, Visited& visited,
            std::vector<std::string>& out) {
  const std::string dir = IncludeTrailingPathDelimiter(path);
  auto id = DirectoryIdentity(dir);
  if (!id || !visited.insert(*id).second) return;
  const auto entries = ListDirectory(dir);
  for (const auto& e : entries)
    if (!e.is_dir && MatchesMask(e.name, mask)) out.push_back(dir + e.name);
  if (!recursive) return;
  for (const auto& e : entries)
    if (e.is_dir) Search(dir + e.name, mask, true, visited, out);
}

}  // namespace

std::vector<std::string> FindFiles(const std::string& dir, std::string_view mask, bool recursive) {
  std::vector<std::string> out;
  Visited visited;
  Search(dir, mask, recursive, visited, out);
  return out;
}

}  // namespace platform
