#include "platform/dates.h"

#include <ctime>

namespace platform {

int CurrentYear() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

int CurrentTwoDigitYear() { return CurrentYear() % 100; }

}  // namespace platform
