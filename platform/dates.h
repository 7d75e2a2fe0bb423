// Today's date as the programs use it.
#pragma once

namespace platform {

// The current year in two digits (2026 gives 26), local time.
int CurrentTwoDigitYear();

}  // namespace platform
