// A check that stops a program's packaging; its message is the reason shown
// to the user or written to the report.
#pragma once

#include "platform/error.h"

namespace paquel {

PLATFORM_DECLARE_ERROR(EPaquel);

}  // namespace paquel
