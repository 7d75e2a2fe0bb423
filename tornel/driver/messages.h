// Message boxes of the compile driver go through this interface, so that the
// window shows them, tests answer them, and an unattended run prints them to
// standard error instead of waiting for a box that nobody sees.
#pragma once

#include <string>

namespace tornel {

class IMessages {
 public:
  virtual ~IMessages() = default;
  virtual void ShowError(const std::string& text) = 0;        // error icon
  virtual void ShowInformation(const std::string& text) = 0;  // information icon
};

// Every box as one line on standard error, "Tornel: " first.
class StderrMessages : public IMessages {
 public:
  void ShowError(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
};

}  // namespace tornel
