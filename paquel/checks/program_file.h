// The units and forms of a program come from the uses clauses of its program
// files (.dpr): each item names a unit with its path, and a unit with a form
// has its form file beside it. The server's own program file is checked for
// its application title instead.
#pragma once

#include <string>
#include <vector>

namespace paquel {

// Appends to pSlObjDpr the unit paths (and their form twins) of the program
// file pStRutaDpr. Throws EPaquel when it is the server's program file and
// sets no application title; a file that cannot be read throws the
// platform's open error.
void DesglosarDpr(const std::string& pStRutaDpr, const std::string& pStNomProg,
                  std::vector<std::string>& pSlObjDpr);

}  // namespace paquel
