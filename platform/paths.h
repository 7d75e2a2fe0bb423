// Path text helpers. Paths are plain strings with the native delimiter; names
// follow the Windows rules the product was written for (the extension is what
// follows the last dot of the file name).
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr char kPathDelim = '/';

bool IsPathDelimiter(char c);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);

// folder + name, with one delimiter between them.
std::string JoinPath(std::string_view folder, std::string_view name);
// "dir/name.ext" -> "name.ext"
std::string ExtractFileName(std::string_view path);
// "dir/name.ext" -> "dir/" (with the delimiter)
std::string ExtractFilePath(std::string_view path);
// "dir/name.ext" -> "dir"
std::string ExtractFileDir(std::string_view path);
// "dir/name.ext" -> ".ext"; "" when the name has no dot.
std::string ExtractFileExt(std::string_view path);
// "dir/name.ext" -> "name"
std::string FileBaseName(std::string_view path);
// Replaces the extension, or appends ext when the name has none.
std::string ChangeFileExt(std::string_view path, std::string_view ext);

}  // namespace platform
