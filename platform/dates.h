// Today's date as the programs use it.
#pragma once

namespace platform {

// The current year, local time, in four digits (2026) and in two (26).
int CurrentYear();
int CurrentTwoDigitYear();

}  // namespace platform
