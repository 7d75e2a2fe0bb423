// Lays a checked program's compiled files out in the destination tree by
// module, delivers the service, compresses the destination into the release
// archive, and copies the sources to the repository.
#include <algorithm>
#include <set>

#include "paquel/checks/project_checks.h"
#include "paquel/packaging/paquel_core.h"
#include "paquel/packaging/zip_writer.h"
#include "platform/dates.h"
#include "platform/files.h"
#include "platform/path_resolve.h"
#include "platform/paths.h"
#include "platform/pe_version.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace paquel {
namespace {

using platform::kPathDelim;

// Replaces the first occurrence of from, without regard to case.
std::string ReplaceFirstText(const std::string& s, const std::string& from, const std::string& to) {
  size_t at = platform::FindText(s, from);
  if (at == std::string::npos) return s;
  return s.substr(0, at) + to + s.substr(at + from.size());
}

// Copies a file into a folder that may still be missing; like every copy of
// the assembly, a failure is not an error of the program.
void CopiarA(const std::string& from, const std::string& to) {
  platform::ForceDirectories(platform::ExtractFileDir(to));
  platform::CopyFile(from, to);
}

struct Listado {
  std::vector<ZipEntry> entradas;
  std::vector<std::string> archivos;
};

// Every file under root in listing order: a folder's entries as the file
// system lists them, each subfolder's files where the subfolder comes.
// Release archives (".zip" exactly) stay out.
void Listar(const std::string& root, const std::string& relative, Listado& out,
            std::set<std::pair<uint64_t, uint64_t>>& visited) {
  const std::string dir = relative.empty() ? root : platform::JoinPath(root, relative);
  auto id = platform::DirectoryIdentity(dir);
  if (!id || !visited.insert(*id).second) return;
  for (const platform::DirEntry& e : platform::ListDirectory(dir)) {
    const std::string rel = relative.empty() ? e.name : relative + "/" + e.name;
    if (e.is_dir) {
      Listar(root, rel, out, visited);
    } else if (platform::ExtractFileExt(e.name) != ".zip") {
      // Entry names are flagged UTF-8; a name in another encoding is read
      // as Windows-1252 so that every reader can open the archive.
      out.entradas.push_back({platform::ToValidUtf8(rel), platform::JoinPath(root, rel)});
      out.archivos.push_back(platform::JoinPath(root, rel));
    }
  }
}

}  // namespace

void PaquelCore::GenerarRutaDestino(const std::string& pStModulo, const std::string& pStRutaDestino,
                                    std::string& pStVarSdmlD, std::string& pStVarServD,
                                    bool pBoSoloSdml) {
  const std::string d = platform::ExcludeTrailingPathDelimiter(pStRutaDestino);
  if (platform::UpperCase(pStModulo) == "GN") {
    pStVarSdmlD = d + "/Ggen/Bin1";
    if (!pBoSoloSdml) pStVarServD = d + "/Servidores/Ggen/Bin";
  } else {
    pStVarSdmlD = d + "/Rivu/" + pStModulo + "/bin1";
    if (!pBoSoloSdml) pStVarServD = d + "/Servidores/Rivu/" + pStModulo + "/bin";
  }
}

// The version is read from the client program file itself: no copy is made
// beside it, so nothing there can be overwritten or deleted.
std::string PaquelCore::ObtenerVersionSdml(const std::string& sin_extension) {
  auto version = platform::ReadPeVersion(platform::ResolveCase(sin_extension + ".sdml"));
  return version ? platform::VersionText(version->file) : std::string();
}

void PaquelCore::CopiarDirectorio(const std::string& pStDirOrigen,
                                  const std::string& pStDirDestino) {
  platform::CopyDirectoryTree(pStDirOrigen, pStDirDestino);
}

void PaquelCore::OrganizarArchivos(const Programa& p, TPqStringList& mensajes) {
  Avanzar(p.servidor + " -  Organizando y comprimiendo archivos");
  const std::string d = platform::ExcludeTrailingPathDelimiter(EdtRutaDestino);
  const std::string e1 = d + "/Morvel/MorvelCoreServices";
  const std::string e2 = e1 + "/Bin";

  if (!estado.gBoSoloServ) platform::ForceDirectories(p.destino_sdml);
  platform::ForceDirectories(p.destino_serv);
  if (ChkIncluirWCF) {
    platform::ForceDirectories(e1);
    platform::ForceDirectories(e2);
  }
  const std::string destino_exe = platform::JoinPath(p.destino_serv, p.servidor + ".exe");
  const std::string destino_sdml = platform::JoinPath(p.destino_sdml, p.cliente + ".sdml");
  platform::CopyFile(p.exe, destino_exe);
  platform::CopyFile(p.sdml, destino_sdml);

  auto version = platform::ReadPeVersion(p.exe);
  const std::string version_servidor = version ? platform::VersionText(version->file) : "";

  const std::string host =
      platform::ResolveCase(p.rel_host + kPathDelim + p.servidor + "S.exe");
  if (platform::FileExists(host)) {
    std::string folder = platform::ReplaceAll(platform::ExtractFileDir(destino_exe), "Servidores",
                                              "ServsMS", false);
    CopiarA(host, platform::JoinPath(folder, p.servidor + "S.exe"));
  }

  if (FIniFile.SectionExists(p.servidor)) {
    const size_t count = FIniFile.ReadSection(p.servidor).size();
    for (size_t i = 0; i < count; ++i) {
      const std::string n = FIniFile.ReadString(p.servidor, "Nomb" + std::to_string(i), "");
      std::string target = ReplaceFirstText(destino_sdml, p.cliente + ".sdml", n + ".sdml");
      std::string modulo_n = n.size() > 1 ? n.substr(1, 2) : std::string();
      target = ReplaceFirstText(target, "/" + p.modulo + "/", "/" + modulo_n + "/");
      if (platform::FileExists(target)) platform::DeleteFile(target);
      CopiarA(p.sdml, target);
    }
  }

  if (ChkIncluirWCF && p.incluye_servicio) {
    const std::string w = platform::JoinPath(platform::JoinPath(p.carpeta, p.servidor), p.servidor + "Service");
    const std::string s = p.servidor;
    platform::CopyFile(platform::ResolveCase(platform::JoinPath(w, s + "WCF/" + s + ".svc")), platform::JoinPath(e1, s + ".svc"));
    platform::CopyFile(platform::ResolveCase(platform::JoinPath(w, s + "WCF/bin/Release/" + s + "WCF.dll")),
                       platform::JoinPath(e2, s + "WCF.dll"));
    platform::CopyFile(platform::ResolveCase(platform::JoinPath(w, s + "BD/bin/Release/" + s + "BD.dll")),
                       platform::JoinPath(p.destino_sdml, s + "BD.dll.sdml"));
  }

  bool comprimido = false;
  Listado listado;
  if (ChkComprimir) {
    std::set<std::pair<uint64_t, uint64_t>> visited;
    Listar(d, "", listado, visited);
    WriteZip(d + "/G" + p.codigo + "_V" + version_servidor + ".zip", listado.entradas);
    comprimido = true;
  }
  if (ChkBorrar && comprimido)
    for (const std::string& archivo : listado.archivos) platform::DeleteFile(archivo);

  if (ChkMoverCarpeta) {
    if (platform::Trim(gStRutaRepositorio).empty()) {
      // Without a repository folder the copy would land wherever the process
      // happens to run; better to say so than to write there.
      mensajes.Add("No se ha definido la carpeta del repositorio; no se copiaron las fuentes.");
    } else {
      std::string target = platform::IncludeTrailingPathDelimiter(gStRutaRepositorio) +
                           (platform::UpperCase(p.modulo) == "GN" ? std::string("Ggen/fnt/")
                                                                  : "Rivu/" + p.modulo + "/fnt/") +
                           "G" + p.codigo;
      platform::ForceDirectories(target);
      CopiarDirectorio(p.carpeta, target);
    }
  }
  ValidarVersionPrograma(p.exe, p.version_cliente, estado.gBoSoloServ, mensajes,
                         platform::CurrentYear());
}

}  // namespace paquel
