// The program filter of a compile run: one regular expression per line,
// searched anywhere in a project code or name without regard to case. A
// line written for a server program ("M…") also selects its client program
// and the pair's code.
#pragma once

#include <string_view>
#include <vector>
#include <string>

namespace tornel {

// True when the code passes: the filter does not apply, the code is shorter
// than 6 characters, or some usable line matches it.
bool ProyectoEnFiltro(bool FBoFiltProj, const std::vector<std::string>& FSlFiltProj,
                      std::string_view code);

}  // namespace tornel
