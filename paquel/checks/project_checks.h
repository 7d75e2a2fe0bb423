// A program is released only when its project files carry the product's icon,
// complete version information and, for the client, runtime packages in the
// release configuration, and when its built programs carry consistent,
// current versions. Project files are only read here, never written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "paquel/checks/check_error.h"
#include "paquel/packaging/pq_string_list.h"

namespace paquel {

// One property of a project file. Looks in the property groups of the project
// element whose Condition equals pStCondicion exactly, takes the first one
// that has a direct child element pStNodo and answers:
// - pBoPropEspec false: the element's text when pStExpresion is empty,
//   otherwise "1" when the text matches pStExpresion (anywhere, ignoring
//   case) and "0" when not;
// - pBoPropEspec true: the release-configuration search. The group is
//   numbered by pInContador; when its text is the release marker the answer is
//   the group's condition, otherwise the next numbered group is tried, up to
//   number 20.
// "0" when no group qualifies. Throws when the file cannot be read or is not
// XML, and EConvertError when the element found has no text.
std::string ValidarDproj(const std::string& pStRutaDproj, const std::string& pStNodo,
                         const std::string& pStCondicion, const std::string& pStExpresion,
                         bool pBoPropEspec, int pInContador);

// Judges a version-information key list ("Key=Value;..."); pStTipArch is
// "servidor" or "cliente" and names the project in the message. Throws
// EPaquel for the first key that is missing, empty or too short.
void VersionDproj(const std::string& pStVersion, const std::string& pStTipArch);

// Turns a result code of the form check into its error (EPaquel); codes
// without a message return. gSlObjCone lists the connected data sets that
// code 3 reports.
void TraducirNum(int16_t pSmResult, const std::string& pStNomUnidad,
                 const std::vector<std::string>& gSlObjCone);

// The file version of a built program as "major.minor.release.build"; empty
// when the file is missing or carries no version information.
std::string GetFileVersion(const std::string& AFileName);

// The file version's minor number when pStTipVersion is "N", its major number
// otherwise; 0 when the file carries no version information.
uint16_t GetProductVersion(const std::string& AFileName, const std::string& pStTipVersion);

struct ProyectoAValidar {
  std::string carpeta;         // the program's source folder
  std::string gStNomPrograma;  // the server project is "M" + it, the client "C" + it
  bool solo_servidor = false;  // the program has no client
  bool ChkPackage = true;      // check the client's runtime packages
};

// The project-file checks of one program: the server's icon, the server's
// and client's version keys and the client's runtime packages. Throws EPaquel
// with the first failure.
void ValidarPropiedadesProyecto(const ProyectoAValidar& proyecto);

// Version warnings, added to mensajes: the client program (client_version)
// must carry the server's file version, and the server's major version must
// not lie behind current_year (four digits). Never throws for a finding.
void ValidarVersionPrograma(const std::string& server_exe, const std::string& client_version,
                            bool solo_servidor, TPqStringList& mensajes, int current_year);

}  // namespace paquel
