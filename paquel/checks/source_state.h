// What the source checks of one program find and share between files: the
// flags and the list of offending objects that the run reads after them.
// The run clears it at the start of every program.
#pragma once

#include <string>
#include <vector>

namespace paquel {

struct EstadoFuentes {
  bool gBoSoloServ = false;        // the program has no client program
  bool gBoExistPDF = false;        // a client form holds a PDF export component
  bool gBoExistFrx = false;        // a client form holds a report
  bool gBoExistFunctDRpt = false;  // a client unit calls the report-preview routine
  bool gBoTituloNota = false;      // a client form's notes component has its title
  std::vector<std::string> gSlObjCone;  // offending objects
};

}  // namespace paquel
