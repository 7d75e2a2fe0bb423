// The checks that a program folder is the source tree of one program, laid
// out as the product lays out its programs, with its compiled client program,
// server and (when asked) service present.
#include "paquel/packaging/paquel_core.h"
#include "platform/files.h"
#include "platform/path_resolve.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace paquel {
namespace {

using platform::kPathDelim;

// The last n characters of s (all of it when shorter).
std::string LastChars(const std::string& s, size_t n) {
  size_t chars = platform::Utf8Length(s);
  if (chars <= n) return s;
  size_t skip = chars - n, i = 0;
  while (skip > 0) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    --skip;
  }
  return s.substr(i);
}

bool IsDir(const std::string& p) { return platform::DirectoryExists(platform::ResolveCase(p)); }
bool IsFile(const std::string& p) { return platform::FileExists(platform::ResolveCase(p)); }

}  // namespace

int CountOccurences(const std::string& sub, const std::string& text) {
  if (sub.empty()) return 0;
  int count = 0;
  for (size_t pos = text.find(sub); pos != std::string::npos; pos = text.find(sub, pos + sub.size()))
    ++count;
  return count;
}

std::string PaquelCore::ObtenerRutaRelease(const std::string& carpeta) {
  for (const char* release : {"Win64/Release", "Win32/Release"}) {
    std::string path = platform::ResolveCase(platform::JoinPath(carpeta, release));
    if (platform::DirectoryExists(path)) return path;
  }
  return {};
}

void PaquelCore::ObtenerRutasCompilados(Programa& p) const {
  p.rel_cliente = ObtenerRutaRelease(platform::JoinPath(p.carpeta, p.cliente));
  p.rel_servidor = ObtenerRutaRelease(platform::JoinPath(p.carpeta, p.servidor));
  p.rel_host = ObtenerRutaRelease(platform::JoinPath(p.carpeta, p.servidor + "S"));
}

bool PaquelCore::EsProgramaSinCliente(const std::string& servidor) const {
  if (!FIniFile.SectionExists("ProgrSinCli")) return false;
  const size_t count = FIniFile.ReadSection("ProgrSinCli").size();
  for (size_t i = 0; i < count; ++i)
    if (FIniFile.ReadString("ProgrSinCli", "Prog" + std::to_string(i), "") == servidor) return true;
  return false;
}

bool PaquelCore::ValidarEstructura(const std::string& carpeta, Programa& p,
                                   TPqStringList& mensajes) {
  p.carpeta = carpeta;
  p.codigo = LastChars(carpeta, 7);
  p.modulo = p.codigo.substr(0, std::min<size_t>(2, p.codigo.size()));
  p.servidor = "M" + p.codigo;
  p.cliente = "C" + p.codigo;
  gStNomPrograma = p.codigo;
  if (ChkEmpMasiva) mensajes.SetCodProg(p.servidor);
  Avanzar(p.servidor + " -  Validando existencia archivos");

  if (!IsDir(platform::JoinPath(carpeta, p.cliente)) || !IsDir(platform::JoinPath(carpeta, p.servidor)) ||
      !IsFile(platform::JoinPath(carpeta, "G" + p.codigo + ".groupproj"))) {
    if (ChkEmpMasiva) return false;
    throw EPaquel(
        "La Ruta del programa no es un fuente de MorveL,No existe la carpeta de la SDML o la "
        "carpeta del Sevidor Ó No Existe el .Groupproj de todo el fuente");
  }
  if (EsProgramaSinCliente(p.servidor)) estado.gBoSoloServ = true;

  ObtenerRutasCompilados(p);
  p.version_cliente = ObtenerVersionSdml(p.rel_cliente + kPathDelim + p.cliente);
  p.sdml = platform::ResolveCase(p.rel_cliente + kPathDelim + p.cliente + ".sdml");
  p.exe = platform::ResolveCase(p.rel_servidor + kPathDelim + p.servidor + ".exe");
  GenerarRutaDestino(p.modulo, EdtRutaDestino, p.destino_sdml, p.destino_serv, false);

  if (ChkIncluirWCF) {
    const std::string w = platform::JoinPath(platform::JoinPath(carpeta, p.servidor), p.servidor + "Service");
    if (!IsDir(w)) throw EPaquel("No Existe Toda la Carpeta del WCF");
    const std::string sin_compilar = "El WCF no se encuentra compilado en Realease, Verifique";
    if (!IsFile(platform::JoinPath(w, p.servidor + "BD/bin/Release/" + p.servidor + "BD.dll")))
      throw EPaquel(sin_compilar);
    if (!IsFile(platform::JoinPath(w, p.servidor + "WCF/bin/Release/" + p.servidor + "WCF.dll")))
      throw EPaquel(sin_compilar);
    const std::string fuente =
        platform::ResolveCase(platform::JoinPath(w, p.servidor + "BD/" + p.servidor + "BD.cs"));
    if (CountOccurences("InicializaServer", platform::ReadTextFile(fuente).text) < 9)
      mensajes.Add("Se requiera recompilar el WCF, verifique...");
    p.incluye_servicio = true;
  }
  if (!estado.gBoSoloServ && !platform::FileExists(p.sdml)) throw EPaquel("No Existe la Sdml ");
  if (!platform::FileExists(p.exe)) throw EPaquel("No Existe El servidor");
  Avanzar(p.servidor + " -  Validando archivos del proyecto");
  return true;
}

}  // namespace paquel
