// Stand-ins for the build script and the packager that the compile driver
// starts: shell scripts that record how they were called.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Writes an executable "rsvars.bat" into dir. Each call appends
// "<working folder>|<arg 1>|<arg 2>" to dir/builds.log and then prints the
// file "<arg 2>.salida" of its working folder, if there is one, as the
// build's output.
std::string WriteFakeBuildScript(const std::string& dir);
// The lines of dir/builds.log (empty when nothing was built).
std::vector<std::string> BuildsLog(const std::string& dir);

// Writes an executable "Paquel" into dir that records its arguments in
// dir/paquel.started.
std::string WriteFakePackager(const std::string& dir);
// Waits up to 10 s for the packager's record; its content, or "" if none.
std::string WaitForPackager(const std::string& dir);

}  // namespace testsupport
