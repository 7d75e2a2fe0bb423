// Where the running program lives: its settings, tables and reports are
// files beside the executable, named after it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable.
std::string ExecutablePath();
// Its folder, with a trailing path delimiter.
std::string ExecutableDir();
// The executable's path with its extension replaced by ext, or ext appended
// when the name has none ("Tornel" -> "Tornel.xml").
std::string SiblingFile(std::string_view ext);

}  // namespace platform
