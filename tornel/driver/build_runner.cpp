// The build of the client/server pairs the analysis found: each pair's
// runtime packages and versions are checked, then client and server are
// built through the build script.
#include <algorithm>

#include "platform/strings.h"
#include "tornel/driver/tornel_core.h"

namespace tornel {
namespace {

// Pieces of a ";" list: every piece before a separator counts, even an
// empty one; the text after the last separator only when it is not empty.
std::vector<std::string> Piezas(const std::string& list) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] != ';') continue;
    pieces.push_back(list.substr(start, i - start));
    start = i + 1;
  }
  if (start < list.size()) pieces.push_back(list.substr(start));
  return pieces;
}

}  // namespace

void TornelCore::CompilarProyectos() {
  if (FCancelProc) return;
  ProgressScope progress = IniciarProgreso(CdsGrpFuente.RecordCount(),
                                           "Realizando compilación de proyectos válidos...");
  for (int row = 0; row < CdsGrpFuente.RecordCount(); ++row) {
    CdsGrpFuente.MoveTo(row);
    const std::string code = CdsGrpFuente.Text("COD_GSRC");
    if (!ProyectoEnFiltro(code)) {
      if (progress) progress->ItemActualTerminado();
      continue;
    }
    bool valid = true;
    const int errors_before = CdsErrores.RecordCount();
    if (progress) progress->NombreItemActual("Compilando Proyecto: " + code + " " + CdsGrpFuente.Text("NOM_FUEN"));
    // Read before the builds: while they run, a window may move the cursor.
    const std::string packages = CdsGrpFuente.Text("PAC_KAGE");
    const std::string client = CdsGrpFuente.Text("NOM_PCLI");
    const std::string server = CdsGrpFuente.Text("NOM_PSRV");
    const std::string client_path = CdsGrpFuente.Text("RUT_CLIE");
    const std::string server_path = CdsGrpFuente.Text("RUT_SERV");
    const bool uses_packages = CdsGrpFuente.Bool("USA_PKGE");
    const bool same_versions = CdsGrpFuente.Text("NEW_VCLI") == CdsGrpFuente.Text("NEW_VSER");
    if (!uses_packages || platform::Trim(packages).empty()) {
      AgregarError(code, "El proyecto Cliente no usa paquetes.");
      valid = false;
    }
    for (const std::string& piece : Piezas(packages)) {
      const std::string name = platform::UpperCase(platform::Trim(piece));
      bool known = std::any_of(FValidPackages.begin(), FValidPackages.end(),
                               [&](const std::string& p) { return platform::SameText(p, name); });
      if (!known) {
        AgregarError(client, "Paquete " + piece + " vinculado sin soporte en versión actual.");
        valid = false;
      }
    }
    if (!same_versions) {
      AgregarError(code, "Las versiones de los proyectos Cliente y Servidor son diferentes.");
      valid = false;
    }
    if (valid) {
      CompilarProyecto(client_path, client);
      CompilarProyecto(server_path, server);
    }
    std::string outcome = CdsErrores.RecordCount() > errors_before
                              ? std::string(valid ? "con errores: " : "no compilado: ") + UltimoError()
                              : "correcto";
    Estado("compilación: " + code + ": " + outcome);
    const bool cancelled = FCancelProc;
    if (progress) progress->ItemActualTerminado();
    if (cancelled) break;
  }
}

}  // namespace tornel
