// Everything a compile run needs below the window: the saved parameters, the
// three tables, the compile log, and the run itself (search, pair analysis,
// builds, individual projects, hand-off to the packager). The main window
// owns one and shows its state; an unattended run drives it alone. All of it
// runs on one thread; long steps call the pump hook so a window stays live.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"
#include "tornel/build/output_capture.h"
#include "tornel/driver/messages.h"
#include "tornel/progress/progress.h"
#include "tornel/projectfile/dproj_parser.h"
#include "tornel/settings/mem_table.h"
#include "tornel/settings/xml_ini_file.h"

namespace tornel {

class TornelCore {
 public:
  struct Hooks {
    IMessages* messages = nullptr;  // required: every box of the run goes here
    ProgressFactory progress;       // makes a progress display when one is shown
    std::function<void()> pump;     // keeps a window live while builds run
    // One line per stage and per project, for the log of an unattended run.
    std::function<void(const std::string&)> status;
    // The Cancel button is usable exactly while this says true.
    std::function<void(bool)> cancel_enabled;
  };

  // Loads the saved parameters and the project-properties table that lie
  // beside exe_path (its ".xml" and "_cdsProjProp.xml" files) and fills the
  // built-in lists. A table file that cannot be loaded is shown as an error.
  TornelCore(std::string exe_path, Hooks hooks);
  ~TornelCore();
  TornelCore(const TornelCore&) = delete;
  TornelCore& operator=(const TornelCore&) = delete;

  // Saves the table file and then the parameters; an error is shown and the
  // remaining steps skipped. Answers whether everything was saved.
  bool FormDestroy();

  // The unattended run. Returns when the run reached its end; a failure that
  // escaped the run is thrown after the text error report was written.
  void CompilarParametros(const std::string& pStDirectorio, int16_t pSmProdVer,
                          const std::string& pStModVersion);

  // The run of the Accept button, once the window has asked whether the
  // program filter applies. Shows its summary (or why it did not start)
  // through the messages hook.
  enum class Resultado {
    kNoIniciada,  // checks failed, or a run is already in progress
    kConErrores,  // "&Errores" becomes usable
    kCancelada,
    kExitosa,
    kFallida,  // a failure escaped the run
  };
  struct ResultadoCompilacion {
    Resultado resultado = Resultado::kNoIniciada;
    bool enfocar_directorio = false;  // the directory field was not a folder
  };
  ResultadoCompilacion EjecutarCompilacion(bool pBoAplicarFiltro);
  bool EnEjecucion() const { return running_; }

  // A new source folder empties the results of the last run (refused while
  // a run is in progress).
  void EdtRutFuenChange();

  void SetCancelProc(bool Value);
  void SetModVersion(bool Value) { FModVersion = Value; }
  bool CancelProc() const { return FCancelProc; }

  // Parameters shown and edited by the window, loaded from and saved to the
  // settings file.
  std::string EdtRutFuen;              // source folder
  std::vector<std::string> FSlFiltProj;  // program filter lines
  int SpnEdtVerProd = 0;               // product version, kept within its limits
  int SpnEdtVerProdMin = 0;
  int SpnEdtVerProdMax = 0;
  bool chkVerRelease = true;  // "Inc. Release"
  bool chkVerBuild = false;   // "Build"
  int sedVerBuild = 99;       // build number, 0 to 999999
  bool VerProjProp = false;   // show the project-properties page

  // The tables and the log of the last run.
  MemTable CdsGrpFuente;
  MemTable CdsErrores;
  MemTable cdsProjProp;
  CompileLog MmoLogComp;
  bool gBoErrores = false;

  // The steps of a run, callable one by one.
  std::vector<std::string> gSlClieProy;
  std::vector<std::string> gSlServProy;
  int16_t gSmVerProduct = 0;
  bool FBoFiltProj = false;
  bool gBoMostrarProgreso = false;

  bool ProyectoEnFiltro(std::string_view code) const;
  void AnalizarProyectosCliente();
  void AnalizarProyectosIndividuales();
  void CompilarProyectos();
  void CalcularVersionPar(TInfProj& info) const;
  void CalcularVersionIndividual(TInfProj& info) const;
  // Removes the entry of gSlServProy that names server_path (without regard
  // to case); false when there is none.
  bool RetirarProyectoServidor(const std::string& server_path);
  // The single-project build step: the build script run in the project's
  // folder, its output judged.
  void CompilarProyecto(const std::string& dproj_path, const std::string& program_name);
  platform::CaptureResult EjecutarComando(const std::string& command,
                                          const std::vector<std::string>& args,
                                          const std::string& working_dir);
  void ValidarErroresCompilacion(const std::string& program_name, const std::string& log_text);
  void AgregarError(std::string_view key, std::string_view message);
  void AgregarMensajeError(std::string_view message);
  void EjecutarEmpaquetador(const std::string& pStDirectorio);

  const std::string& gStCompilador() const { return gStCompilador_; }
  const std::string& SettingsFile() const { return settings_file_; }
  const std::string& TableFile() const { return table_file_; }
  const std::string& ReportFile() const { return report_file_; }

 private:
  // Search, stages and hand-off over an existing source folder.
  void EjecutarEtapas(const std::string& directory);
  void VaciarResultados();
  // The progress display of a loop of count items (none when the run shows
  // no progress), already showing message.
  ProgressScope IniciarProgreso(int count, const std::string& message) const;
  void Estado(const std::string& line) const;
  std::string UltimoError() const;
  // Sets DCC_DcuOutput from the active property row code when it names an
  // existing folder that differs from the project's.
  void AplicarSalidaDcu(TDprojParser& parser, const TInfProj& info, std::string_view code) const;

  std::string exe_path_;
  std::string gStCompilador_;
  std::string settings_file_;
  std::string table_file_;
  std::string report_file_;
  Hooks hooks_;
  std::unique_ptr<TMXmlIniFile> FIniFile;
  std::vector<std::string> FValidPackages;
  std::vector<std::string> FIgnoreProjs;
  bool FCancelProc = true;
  bool FModVersion = false;
  bool running_ = false;
  // The first project of each kind the search found, for the hand-off.
  std::string first_client_;
  std::string first_server_;
};

}  // namespace tornel
