// The packaging run: the folder list, each program's checks and assembly,
// and what an error does in each mode.
#include <algorithm>

#include "paquel/checks/program_file.h"
#include "paquel/checks/project_checks.h"
#include "paquel/checks/source_checks.h"
#include "paquel/packaging/paquel_core.h"
#include "platform/files.h"
#include "platform/find_files.h"
#include "platform/path_resolve.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace paquel {

PaquelCore::PaquelCore(std::string ini_path, Hooks hooks)
    : FIniFile(std::move(ini_path)), hooks_(std::move(hooks)) {
  PaquelSettings s = LeerConfiguracion(FIniFile);
  EdtRuta = s.RUTAPROG;
  EdtRutaDestino = s.RUTADEST;
  ChkConexiones = s.VERFCONN;
  ChkBorrar = s.DELDCOMP;
  ChkIncluirWCF = s.INCLUWCF;
  gBoSugerirNomb = s.SUGNOMB;
  gStRutaRepositorio = s.DIRREPO;
  ChkMoverCarpeta = s.MOVFUENTE;
  ChkEmpMasiva = s.EMPMASIVO;
  ChkComprimir = s.COMPRIMIR;
}

void PaquelCore::Avanzar(const std::string& text) {
  if (hooks_.avanzar) hooks_.avanzar(text);
  Estado(text);
}

void PaquelCore::Estado(const std::string& line) const {
  if (hooks_.status) hooks_.status(line);
}

void PaquelCore::EscribirReporte(const std::vector<std::string>& lineas, const std::string& path) {
  std::string text;
  for (const std::string& line : lineas) text += line + "\r\n";
  platform::WriteFileAtomic(path, text);
}

PaquelCore::Resultado PaquelCore::SpbGenerarClick() {
  Resultado resultado;
  estado = EstadoFuentes();
  if (EdtRuta.empty()) throw EPaquel("No Ha Selecionado la Ruta del programa");
  if (EdtRutaDestino.empty()) throw EPaquel("No Ha Selecionado la Ruta de Destino");

  std::vector<std::string> carpetas;
  if (ChkEmpMasiva) {
    if (!platform::DirectoryExists(EdtRuta))
      throw platform::EFOpenError("No se encontró la ruta \"" + EdtRuta + "\"");
    for (const platform::DirEntry& e : platform::ListDirectory(EdtRuta))
      if (e.is_dir) carpetas.push_back(platform::IncludeTrailingPathDelimiter(EdtRuta) + e.name);
    // Unattended mass runs also try the folder itself, after its subfolders.
    if (gBoEjecParams) carpetas.push_back(EdtRuta);
  } else {
    carpetas.push_back(EdtRuta);
  }
  const int maximo = 3 * static_cast<int>(carpetas.size());
  if (hooks_.barra) hooks_.barra(maximo, 0);
  const ValidadorFuentes validador;
  validador_ = &validador;
  struct Reset {
    const ValidadorFuentes*& v;
    ~Reset() { v = nullptr; }
  } reset{validador_};
  for (const std::string& carpeta : carpetas) ProcesarPrograma(carpeta, resultado);
  if (hooks_.barra) hooks_.barra(maximo, maximo);
  return resultado;
}

void PaquelCore::ProcesarPrograma(const std::string& carpeta, Resultado& resultado) {
  TPqStringList mensajes;
  estado = EstadoFuentes();
  Programa p;
  // Appends the program's lines to the run's, whatever happened.
  auto recoger = [&] {
    resultado.lineas.insert(resultado.lineas.end(), mensajes.Lines().begin(),
                            mensajes.Lines().end());
  };
  ++resultado.programas;
  try {
    if (!ValidarEstructura(carpeta, p, mensajes)) {
      --resultado.programas;
      Estado(carpeta + ": omitida, no es la carpeta de un programa");
      return;
    }
    if (ChkConexiones) ValidarFuentes(p, mensajes);
    ValidarPropiedadesProyecto({p.carpeta, p.codigo, estado.gBoSoloServ, ChkPackage});
    OrganizarArchivos(p, mensajes);
    const int advertencias = mensajes.Count();
    if (ChkEmpMasiva && mensajes.Empty()) mensajes.Add("Se organizaron los archivos con exito");
    Estado(p.servidor + ": correcto" +
           (advertencias ? ", " + std::to_string(advertencias) + " advertencias" : std::string()));
  } catch (const std::exception& e) {
    ++resultado.fallidos;
    Estado((p.servidor.empty() ? carpeta : p.servidor) + ": error: " + e.what());
    if (!ChkEmpMasiva && !gBoEjecParams) {
      // Interactive single mode: the error leaves the run and is shown alone.
      recoger();
      throw;
    }
    // Mass mode keeps the error in the program's lines; unattended single
    // mode does too, so that the report shows why the program failed.
    mensajes.Add(e.what());
  }
  recoger();
}

void PaquelCore::ValidarFuentes(const Programa& p, TPqStringList& mensajes) {
  std::vector<std::string> archivos;
  for (const std::string& dpr : platform::FindFiles(p.carpeta, "*.dpr", true))
    DesglosarDpr(dpr, p.codigo, archivos);
  std::stable_sort(archivos.begin(), archivos.end(), [](const std::string& a, const std::string& b) {
    return platform::UpperCase(a) < platform::UpperCase(b);
  });
  const ValidadorFuentes& v = *validador_;
  for (const std::string& f : archivos) {
    const std::string nombre = platform::ExtractFileName(f);
    if (nombre == "URERRLQ2.pas")
      mensajes.Add(
          "El proyecto hace uso de la unidad URERRLQ2, esto hace referencia a QuickReport, "
          "Verifique...");
    const std::optional<std::string> existente = platform::ResolveExisting(f);
    if (!existente) continue;
    const std::string& archivo = *existente;
    // The client main form is checked alone first: without a titled notes
    // component the program cannot be released.
    if (platform::SameText(nombre, "U" + p.codigo + ".dfm") &&
        v.ValidarConexion(archivo, "Cliente", mensajes, estado) == 2)
      throw EPaquel("La SDML no tiene asignado la propiedad Titulo en el componente Notas Verifique...");
    int r = v.ValidarConexion(archivo, "Cliente", mensajes, estado);
    if (r != 0) TraducirNum(static_cast<int16_t>(r), nombre, estado.gSlObjCone);
  }
  const std::string base = platform::IncludeTrailingPathDelimiter(p.carpeta) + p.servidor + "/" + p.servidor;
  v.ValidarConexion(platform::ResolveCase(base + "DmrImp.pas"), "Servidor", mensajes, estado);
  if (v.ValidarConexion(platform::ResolveCase(base + "DmrImp.dfm"), "Servidor", mensajes, estado) == 1)
    throw EPaquel("El Servidor tiene la conexion Abierta, Verifique...");
  if (!estado.gSlObjCone.empty()) {
    std::string text = "Los siguientes Objetos tienen referencias hacia el ancestro del servidor :\r\n";
    for (const std::string& o : estado.gSlObjCone) text += o + "\r\n";
    throw EPaquel(text + "\r\n Verifique...");
  }
  if (!estado.gBoSoloServ && !estado.gBoExistPDF)
    throw EPaquel("No se encontro componente de exportacion a PDF en el fuente, Verifique..");
  if (estado.gBoExistFrx && !estado.gBoExistFunctDRpt)
    mensajes.Add(
        "El proyecto tiene reporte(s) en FastReport y no esta llamando la función "
        "CvAsignarRptPreview");
}

}  // namespace paquel
