// The packager's source readers: program files, units and forms, project
// files and compiled programs.
#include <exception>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "paquel/checks/program_file.h"
#include "paquel/checks/project_checks.h"
#include "paquel/checks/source_checks.h"
#include "platform/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const paquel::ValidadorFuentes validador;
  std::vector<std::string> list;
  for (const char* name : {"/CGNABCDE.dpr", "/MGNABCDE.dpr"}) {
    std::string path = fuzz::ScratchFile(name, data, size);
    try {
      paquel::DesglosarDpr(path, "GNABCDE", list);
    } catch (const std::exception&) {
    }
  }
  for (const char* ext : {".pas", ".dfm"}) {
    for (const char* kind : {"Cliente", "Servidor"}) {
      paquel::TPqStringList mensajes;
      paquel::EstadoFuentes estado;
      validador.ValidarConexion(fuzz::ScratchFile(ext, data, size), kind, mensajes, estado);
    }
  }
  const std::string dproj = fuzz::ScratchFile(".dproj", data, size);
  try {
    paquel::ValidarDproj(dproj, "DCC_Define", "'$(Cfg_1)'!=''", "", true, 0);
    paquel::ValidarDproj(dproj, "Icon_MainIcon", "'$(Base)'!=''", "(morvel|MGNABCDE)", false, 0);
  } catch (const std::exception&) {
  }
  try {
    paquel::VersionDproj(std::string(reinterpret_cast<const char*>(data), size), "servidor");
  } catch (const std::exception&) {
  }
  platform::ReadPeVersion(fuzz::ScratchFile(".exe", data, size));
  return 0;
}
