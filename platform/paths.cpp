#include "platform/paths.h"

namespace platform {
namespace {

size_t NameStart(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsPathDelimiter(path[i - 1])) --i;
  return i;
}

// Position of the extension's dot, or npos when the file name has none.
size_t ExtStart(std::string_view path) {
  size_t name = NameStart(path);
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < name) return std::string_view::npos;
  return dot;
}

}  // namespace

bool IsPathDelimiter(char c) { return c == kPathDelim; }

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string r(path);
  if (r.empty() || !IsPathDelimiter(r.back())) r += kPathDelim;
  return r;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  std::string r(path);
  if (r.size() > 1 && IsPathDelimiter(r.back())) r.pop_back();
  return r;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  return IncludeTrailingPathDelimiter(folder) + std::string(name);
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileDir(std::string_view path) {
  size_t start = NameStart(path);
  if (start > 1) --start;  // drop the delimiter, but keep a lone root "/"
  return std::string(path.substr(0, start));
}

std::string ExtractFileExt(std::string_view path) {
  size_t dot = ExtStart(path);
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string FileBaseName(std::string_view path) {
  std::string name = ExtractFileName(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t dot = ExtStart(path);
  std::string r(dot == std::string_view::npos ? path : path.substr(0, dot));
  r.append(ext);
  return r;
}

}  // namespace platform
