#include "platform/display.h"

#include <cstdlib>

namespace platform {
namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

}  // namespace

bool DisplayAvailable() {
  return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

}  // namespace platform
