// The packaging run below the window: one program folder (or, in mass mode,
// every subfolder of a folder) checked and laid out as a release, each
// program's warnings and errors collected in its own message list. The
// window owns one and shows its state; an unattended run drives it alone.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "paquel/checks/check_error.h"
#include "paquel/checks/source_state.h"
#include "paquel/packaging/pq_string_list.h"
#include "paquel/shell/paquel_settings.h"
#include "platform/error.h"
#include "platform/ini_file.h"

namespace paquel {

class ValidadorFuentes;

// Where one program's compiled files are and go.
struct Programa {
  std::string carpeta;   // {P}
  std::string codigo;    // {K}, the last 7 characters of the folder path
  std::string modulo;    // first 2 characters of the code, case as found
  std::string servidor;  // "M" + code
  std::string cliente;   // "C" + code
  std::string rel_cliente, rel_servidor, rel_host;  // release folders, empty when none
  std::string version_cliente;  // file version of the compiled client program
  std::string sdml;             // the compiled client program
  std::string exe;              // the compiled server
  std::string destino_sdml;     // client destination folder
  std::string destino_serv;     // server destination folder
  bool incluye_servicio = false;
};

class PaquelCore {
 public:
  struct Hooks {
    // One progress step: the bar advances by one, the text shows.
    std::function<void(const std::string&)> avanzar;
    // The bar's maximum and position, set by the run itself.
    std::function<void(int maximum, int position)> barra;
    // One line per program and outcome, for the log of an unattended run.
    std::function<void(const std::string&)> status;
  };

  // ini_path: the settings file whose CONFIG keys set the paths and switches
  // and whose hand-kept sections the run reads.
  PaquelCore(std::string ini_path, Hooks hooks);

  // The paths and switches of the window.
  std::string EdtRuta;
  std::string EdtRutaDestino;
  bool ChkConexiones = true;
  bool ChkIncluirWCF = true;
  bool ChkPackage = true;
  bool ChkBorrar = true;
  bool ChkMoverCarpeta = false;
  bool ChkEmpMasiva = false;
  bool ChkComprimir = true;
  bool gBoSugerirNomb = true;
  std::string gStRutaRepositorio;
  bool gBoEjecParams = false;

  // State of the program being processed, cleared at its start: the flags
  // and objects its source checks share, and its code.
  EstadoFuentes estado;
  std::string gStNomPrograma;

  struct Resultado {
    std::vector<std::string> lineas;  // the result list, program after program
    int programas = 0;                // program folders processed
    int fallidos = 0;                 // of them, ended by an error
  };
  // The packaging run. An error before the first program (empty paths, a
  // mass-mode folder that cannot be listed) is thrown. In interactive single
  // mode a program's error is thrown too, after its lines were collected.
  Resultado SpbGenerarClick();

  // Writes the result list to path, CR LF line ends.
  static void EscribirReporte(const std::vector<std::string>& lineas, const std::string& path);

  // The steps, callable one by one.
  static std::string ObtenerRutaRelease(const std::string& carpeta);
  void ObtenerRutasCompilados(Programa& p) const;
  static void GenerarRutaDestino(const std::string& pStModulo, const std::string& pStRutaDestino,
                                 std::string& pStVarSdmlD, std::string& pStVarServD,
                                 bool pBoSoloSdml);
  static std::string ObtenerVersionSdml(const std::string& sin_extension);
  static void CopiarDirectorio(const std::string& pStDirOrigen, const std::string& pStDirDestino);

 private:
  void ProcesarPrograma(const std::string& carpeta, Resultado& resultado);
  // Structure checks; false when a folder of mass mode is no program folder.
  bool ValidarEstructura(const std::string& carpeta, Programa& p, TPqStringList& mensajes);
  // The unit and form checks over the program's sources.
  void ValidarFuentes(const Programa& p, TPqStringList& mensajes);
  void OrganizarArchivos(const Programa& p, TPqStringList& mensajes);
  bool EsProgramaSinCliente(const std::string& servidor) const;
  void Avanzar(const std::string& text);
  void Estado(const std::string& line) const;

  platform::IniFile FIniFile;
  Hooks hooks_;
  // The source rules, compiled once per run.
  const ValidadorFuentes* validador_ = nullptr;
};

// Non-overlapping occurrences of sub in text, with regard to case.
int CountOccurences(const std::string& sub, const std::string& text);

}  // namespace paquel
