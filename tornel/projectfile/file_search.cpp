// The operations of the project-file class that need no instance.
#include <set>
#include <utility>

#include "platform/files.h"
#include "platform/paths.h"
#include "tornel/projectfile/dproj_parser.h"

namespace tornel {
namespace {

using Visited = std::set<std::pair<uint64_t, uint64_t>>;

void Search(const std::string& path, std::string_view filter, bool recursive, Visited& visited,
            std::vector<std::string>& out) {
  const std::string dir = platform::IncludeTrailingPathDelimiter(path);
  // A folder reached again through a link is not walked twice, so a loop of
  // links cannot keep the search from ending.
  auto id = platform::DirectoryIdentity(dir);
  if (!id || !visited.insert(*id).second) return;
  const auto entries = platform::ListDirectory(dir);
  for (const auto& e : entries)
    if (!e.is_dir && platform::MatchesMask(e.name, filter)) out.push_back(dir + e.name);
  if (!recursive) return;
  for (const auto& e : entries)
    if (e.is_dir) Search(dir + e.name, filter, true, visited, out);
}

}  // namespace

std::vector<std::string> TDprojParser::FileSearch(const std::string& Path, std::string_view Filter,
                                                  bool doRecursively) {
  std::vector<std::string> out;
  Visited visited;
  Search(Path, Filter, doRecursively, visited, out);
  return out;
}

bool TDprojParser::FileIsReadOnly(const std::string& FileName) {
  auto attrs = platform::GetFileAttributes(FileName);
  return !attrs || attrs->read_only;
}

int TDprojParser::SetFileReadOnly(const std::string& FileName, bool ReadOnly) {
  if (!platform::FileExists(FileName)) return -1;
  return ReadOnly ? platform::SetFileAttributeReadOnly(FileName)
                  : platform::SetFileAttributeNormal(FileName);
}

int TDprojParser::SetReadOnly(const std::string& Path, bool ReadOnly) {
  if (platform::DirectoryExists(Path)) {
    int result = -1;
    for (const std::string& file : FileSearch(Path, "*.*", true))
      result = SetFileReadOnly(file, ReadOnly);
    return result;
  }
  if (platform::FileExists(Path)) return SetFileReadOnly(Path, ReadOnly);
  return -1;
}

}  // namespace tornel
