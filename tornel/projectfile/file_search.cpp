// The operations of the project-file class that need no instance.
#include "platform/files.h"
#include "platform/find_files.h"
#include "platform/paths.h"
#include "tornel/projectfile/dproj_parser.h"

namespace tornel {

std::vector<std::string> TDprojParser::FileSearch(const std::string& Path, std::string_view Filter,
                                                  bool doRecursively) {
  return platform::FindFiles(Path, Filter, doRecursively);
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
