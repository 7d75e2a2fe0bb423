// Paquel's parameters in section CONFIG of Paquel.ini beside the executable:
// the two paths and the switches of a packaging run. Booleans are stored as
// "1"/"0" and read as integers (non-zero is true; anything else gives the
// default).
#pragma once

#include <string>

#include "platform/ini_file.h"

namespace paquel {

struct PaquelSettings {
  std::string RUTAPROG = "C:\\Morvel";
  std::string RUTADEST = "C:\\Morvel";
  bool VERFCONN = true;
  bool DELDCOMP = true;
  bool INCLUWCF = true;
  bool SUGNOMB = true;
  std::string DIRREPO;
  bool MOVFUENTE = false;
  bool EMPMASIVO = false;
  bool COMPRIMIR = true;
};

PaquelSettings LeerConfiguracion(const platform::IniFile& ini);
// Writes the keys a closing window writes, in their order; COMPRIMIR is only
// ever read.
void EscribirConfiguracion(platform::IniFile& ini, const PaquelSettings& s);

}  // namespace paquel
