// Runs the build script as a hidden child and keeps what it writes in the
// compile log. The log holds the output of the last command only, exactly as
// the child wrote it (decoded to UTF-8; 0 bytes dropped), so that the error
// scan sees every line whole.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace tornel {

// The compile log. A window that shows it follows the changes through
// on_change: cleared (empty text) or text appended.
class CompileLog {
 public:
  void Clear();
  void Append(std::string_view text);
  const std::string& Text() const { return text_; }

  std::function<void(bool cleared, std::string_view appended)> on_change;

 private:
  std::string text_;
};

// Clears the log, runs command with args in working_dir (standard input the
// null device, output and errors into the log), calling pump at least every
// 100 ms until the child ends. The result says whether it started and, if
// not, why.
platform::CaptureResult EjecutarComando(const std::string& command,
                                        const std::vector<std::string>& args,
                                        const std::string& working_dir, CompileLog& log,
                                        const std::function<void()>& pump);

}  // namespace tornel
