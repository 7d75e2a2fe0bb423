// The compile run as a whole: its start checks, the search for project
// files, the stages, the hand-off and the end of the run, unattended or
// started from the window.
#include <cstdio>

#include "platform/files.h"
#include "platform/paths.h"
#include "tornel/build/error_report.h"
#include "tornel/driver/tornel_core.h"

namespace tornel {
namespace {

constexpr const char* kSinRsvars =
    "El archivo Batch RSVARS.bat no fue encontrado en el directorio de la aplicación. Valide por "
    "favor.";
constexpr const char* kDirectorioInvalido = "El directorio ingresado no es válido o no existe.";
constexpr const char* kSinProyectos = "No se encontraron proyectos válidos para compilar";

// Marks a run in progress for its whole extent, whatever way it ends.
class RunScope {
 public:
  explicit RunScope(bool& running) : running_(running) { running_ = true; }
  ~RunScope() { running_ = false; }

 private:
  bool& running_;
};

}  // namespace

void TornelCore::EjecutarEtapas(const std::string& directory) {
  gSlClieProy = TDprojParser::FileSearch(directory, "C**.dproj", true);
  gSlServProy = TDprojParser::FileSearch(directory, "M**.dproj", true);
  first_client_ = gSlClieProy.empty() ? std::string() : gSlClieProy.front();
  first_server_ = gSlServProy.empty() ? std::string() : gSlServProy.front();
  Estado("búsqueda: " + std::to_string(gSlClieProy.size()) + " proyectos cliente, " +
         std::to_string(gSlServProy.size()) + " proyectos servidor en " + directory);
  if (gSlClieProy.empty() && gSlServProy.empty()) {
    AgregarMensajeError(kSinProyectos);
    Estado(std::string("búsqueda: error: ") + kSinProyectos);
    return;
  }
  if (!gSlClieProy.empty()) {
    AnalizarProyectosCliente();
    CompilarProyectos();
  }
  if (!gSlServProy.empty()) AnalizarProyectosIndividuales();
  EjecutarEmpaquetador(directory);
}

void TornelCore::CompilarParametros(const std::string& pStDirectorio, int16_t pSmProdVer,
                                    const std::string& pStModVersion) {
  RunScope scope(running_);
  gBoMostrarProgreso = false;
  if (platform::FileExists(report_file_)) platform::DeleteFile(report_file_);
  VaciarResultados();
  gSmVerProduct = pSmProdVer;
  gSlClieProy.clear();
  gSlServProy.clear();
  SetCancelProc(false);
  SetModVersion(pStModVersion == "S");

  auto final_step = [&] {
    if (gBoErrores) EscribirReporteTexto(CdsErrores, report_file_);
    gSlClieProy.clear();
    gSlServProy.clear();
  };
  try {
    if (!platform::FileExists(gStCompilador_ + "rsvars.bat")) {
      AgregarMensajeError(kSinRsvars);
      Estado(std::string("inicio: error: ") + kSinRsvars);
    } else if (!platform::DirectoryExists(pStDirectorio)) {
      AgregarMensajeError(kDirectorioInvalido);
      Estado(std::string("inicio: error: ") + kDirectorioInvalido);
    } else {
      // Absolute once, so the folder means the same for every build.
      EjecutarEtapas(platform::ExpandFileName(pStDirectorio));
    }
  } catch (...) {
    final_step();
    throw;
  }
  final_step();
  Estado("fin: " + std::to_string(CdsErrores.RecordCount()) + " errores" +
         (gBoErrores ? ", reporte en " + report_file_ : std::string()));
}

TornelCore::ResultadoCompilacion TornelCore::EjecutarCompilacion(bool pBoAplicarFiltro) {
  if (running_) return {};
  RunScope scope(running_);
  FBoFiltProj = pBoAplicarFiltro && !FSlFiltProj.empty();
  gBoMostrarProgreso = true;
  VaciarResultados();
  if (!platform::FileExists(gStCompilador_ + "rsvars.bat")) {
    hooks_.messages->ShowError(kSinRsvars);
    return {};
  }
  if (!platform::DirectoryExists(EdtRutFuen)) {
    hooks_.messages->ShowError(kDirectorioInvalido);
    return {Resultado::kNoIniciada, true};
  }
  gSmVerProduct = static_cast<int16_t>(SpnEdtVerProd);
  gSlClieProy.clear();
  gSlServProy.clear();
  SetCancelProc(false);
  SetModVersion(true);

  ResultadoCompilacion result;
  try {
    EjecutarEtapas(platform::ExpandFileName(EdtRutFuen));
    if (gBoErrores) {
      hooks_.messages->ShowError("El proceso terminó con errores. Valide por favor.");
      result.resultado = Resultado::kConErrores;
    } else if (FCancelProc) {
      hooks_.messages->ShowInformation("El proceso fue cancelado.");
      result.resultado = Resultado::kCancelada;
    } else {
      hooks_.messages->ShowInformation("El proceso terminó exitosamente.");
      result.resultado = Resultado::kExitosa;
    }
  } catch (const std::exception& e) {
    hooks_.messages->ShowError(e.what());
    result.resultado = Resultado::kFallida;
  }
  gSlClieProy.clear();
  gSlServProy.clear();
  SetCancelProc(true);
  return result;
}

}  // namespace tornel
