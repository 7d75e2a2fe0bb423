// Starting other programs: the build is run with its console output captured
// for the compile log, and the packager is started on its own. Arguments are
// always an argument vector, never a shell command line, so paths with blanks
// need no quoting. Narrow on purpose so a Windows implementation can sit
// beside this POSIX one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct CaptureResult {
  bool started = false;
  std::string start_error;  // the system's reason when not started
  int exit_code = -1;       // the exit status, or 128 + signal number
};

// Runs program (a path; not looked up in PATH) with args, hidden from any
// terminal, standard input from the null device, standard output and error
// on one pipe so interleaved output keeps its order, in working_dir (empty:
// the current one; the caller's own current directory is never changed).
//
// Blocks until the child ends, calling pump at least every 100 ms and
// on_output with the bytes as they arrive (unchanged, 0 bytes included).
// The child's end, not the end of the data, ends the capture: a grandchild
// that keeps the pipe open does not hold it up, and what the child wrote
// before it ended is still delivered. There is no time-out and the child is
// never killed. When the program cannot be started (missing, not executable,
// bad interpreter, bad working folder) nothing is delivered and started is
// false. Either hook may be empty; neither may throw.
CaptureResult RunCaptured(const std::string& program, const std::vector<std::string>& args,
                          const std::string& working_dir,
                          const std::function<void(std::string_view bytes)>& on_output,
                          const std::function<void()>& pump);

struct DetachedResult {
  bool started = false;
  std::string error;  // the system's reason when not started
};

// Starts program (a path) with args and returns as soon as it runs or failed
// to start. It gets the null device as standard input, inherits standard
// output and error, runs in a session of its own and is not our child, so it
// outlives us and leaves nothing to wait for.
DetachedResult StartDetached(const std::string& program, const std::vector<std::string>& args);

}  // namespace platform
