// Lists written as one line of delimited items, as the product's settings
// and project files hold them: "a;b;c" or "CGN*,\"two words\"". An item that
// holds the delimiter, a double quote or (in loose lists) a blank is written
// in double quotes with inner quotes doubled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class Delimiting {
  kStrict,  // only the delimiter separates; blanks belong to the items
  kLoose,   // blanks and control characters outside quotes separate too
};

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter, Delimiting mode);
std::string JoinDelimited(const std::vector<std::string>& items, char delimiter, Delimiting mode);

}  // namespace platform
