// Whether a window can be shown at all: without a display the toolkit would
// abort, so the programs check first and say so plainly.
#pragma once

namespace platform {

// True when the environment names a display, or a window platform of its own.
bool DisplayAvailable();

}  // namespace platform
