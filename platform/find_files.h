// Recursive search for files by wildcard mask, in the order the file system
// lists them: a folder's own matching files first, then depth-first those of
// its subfolders. Folders that cannot be read contribute nothing, and a
// folder reached again through a link is not walked twice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::vector<std::string> FindFiles(const std::string& dir, std::string_view mask, bool recursive);

}  // namespace platform
