// Everything the main window asks of the person in front of it: boxes,
// questions and the folder picker. The window talks to this interface only,
// so tests answer it and nothing waits on a box that nobody sees.
#pragma once

#include <optional>
#include <string>

#include "tornel/driver/messages.h"

namespace tornel {

class IDialogs : public IMessages {
 public:
  // A Yes/No question with a question icon and No as the default answer.
  virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
  // The system's folder picker; nullopt when cancelled.
  virtual std::optional<std::string> PickFolder(const std::string& title,
                                                const std::string& start_folder) = 0;
};

}  // namespace tornel
