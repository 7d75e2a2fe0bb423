// How a build's output is judged: the build failed when some line holds the
// lowercase word "error" with whitespace on both sides, a line break next to
// the word counting as whitespace. Compiler summaries such as "0 Error(s)" or
// "errors" do not count.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tornel {

// The first such line, whole and without its line break; nullopt when the
// output holds none.
std::optional<std::string> BuscarLineaError(std::string_view output);

}  // namespace tornel
