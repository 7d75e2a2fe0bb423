#include "tornel/build/output_capture.h"

#include "platform/text.h"

namespace tornel {

void CompileLog::Clear() {
  text_.clear();
  if (on_change) on_change(true, {});
}

void CompileLog::Append(std::string_view text) {
  if (text.empty()) return;
  text_.append(text);
  if (on_change) on_change(false, text);
}

platform::CaptureResult EjecutarComando(const std::string& command,
                                        const std::vector<std::string>& args,
                                        const std::string& working_dir, CompileLog& log,
                                        const std::function<void()>& pump) {
  log.Clear();
  platform::Utf8StreamDecoder decoder;
  platform::CaptureResult result = platform::RunCaptured(
      command, args, working_dir, [&](std::string_view bytes) { log.Append(decoder.Feed(bytes)); },
      pump);
  log.Append(decoder.Finish());
  return result;
}

}  // namespace tornel
