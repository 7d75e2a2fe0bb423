// The product's paths come from Windows, where letter case does not matter:
// a folder written "mgnabcde" in one place is "MGNABCDE" on disk. On a file
// system that respects case, such a path is resolved folder by folder.
#pragma once

#include <optional>
#include <string>

namespace platform {

// path itself when it exists; otherwise the existing path that equals it
// without regard to case, resolved one component at a time (the first match
// in listing order); otherwise path unchanged.
std::string ResolveCase(const std::string& path);
// The resolved path when something exists there, nullopt otherwise.
std::optional<std::string> ResolveExisting(const std::string& path);

}  // namespace platform
