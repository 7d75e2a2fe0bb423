// The analysis of the projects a run found: client/server pairs first, then
// the server-mask projects left without a client. New versions, the unit
// output folder and the icon are written into the project files here,
// before anything is built.
#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "tornel/driver/tornel_core.h"
#include "tornel/settings/table_file.h"

namespace tornel {
namespace {

constexpr const char* kIcono = "M:\\ICONOS Y LOGOS\\Nuevos Logos Morvel\\Morvel.ico";
constexpr const char* kGruposBase = "Base\\S*\\!\\=";

// The file name without its extension (its first occurrence, without
// regard to case).
std::string NombreProyecto(const std::string& path) {
  std::string name = platform::ExtractFileName(path);
  std::string ext = platform::ExtractFileExt(path);
  size_t at = ext.empty() ? std::string::npos : platform::FindText(name, ext);
  if (at != std::string::npos) name.erase(at, ext.size());
  return name;
}

bool Contiene(const std::vector<std::string>& list, std::string_view item) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& s) { return platform::SameText(s, item); });
}

// Hands the computed versions to the parser, which writes them when the run
// writes versions at all.
void EscribirVersiones(TDprojParser& parser, const TInfProj& info, bool write) {
  parser.SetFileVersion(info.FileVersion);
  parser.SetProductVersion(info.ProductVersion);
  parser.ChangeVersion(write);
}

void HacerEscribible(const std::string& path) {
  if (TDprojParser::FileIsReadOnly(path)) TDprojParser::SetReadOnly(platform::ExtractFilePath(path), false);
}

}  // namespace

void TornelCore::CalcularVersionPar(TInfProj& info) const {
  if (!FModVersion) return;
  TInfVersion& v = info.FileVersion;
  if (v.MajorVersion < gSmVerProduct)
    v.Release = 1;
  else if (chkVerRelease)
    v.Release = v.Release + 1;
  v.MajorVersion = gSmVerProduct;
  v.MinorVersion = 0;
  v.Build = chkVerBuild ? sedVerBuild : 1;
  info.ProductVersion = {gSmVerProduct, 0, 0, 0};
}

void TornelCore::CalcularVersionIndividual(TInfProj& info) const {
  TInfVersion& v = info.FileVersion;
  v.Release = v.MajorVersion < gSmVerProduct ? 1 : v.Release + 1;
  v.MajorVersion = gSmVerProduct;
  v.MinorVersion = 0;
  v.Build = 1;
  info.ProductVersion = {gSmVerProduct, 0, 0, 0};
}

bool TornelCore::RetirarProyectoServidor(const std::string& server_path) {
  auto it = std::find_if(gSlServProy.begin(), gSlServProy.end(), [&](const std::string& entry) {
    return platform::SameText(entry, server_path);
  });
  if (it == gSlServProy.end()) return false;
  gSlServProy.erase(it);
  return true;
}

void TornelCore::AplicarSalidaDcu(TDprojParser& parser, const TInfProj& info,
                                  std::string_view code) const {
  const size_t code_field = cdsProjProp.FieldIndex("COD_PROP");
  auto text = [&](int row, const char* field) {
    const auto* v = std::get_if<std::string>(&cdsProjProp.Value(row, cdsProjProp.FieldIndex(field)));
    return v ? *v : std::string();
  };
  for (int row = 0; row < cdsProjProp.RecordCount(); ++row) {
    const auto* c = std::get_if<std::string>(&cdsProjProp.Value(row, code_field));
    if (!c || *c != code) continue;
    if (PrimeraLetraMayuscula(text(row, "ACT_PROP")) != 'S') return;
    const std::string value = text(row, "VAL_PROP");
    if (platform::Trim(value).empty() || !platform::DirectoryExists(value)) return;
    if (platform::UpperCase(platform::Trim(info.DcuOutput)) != platform::UpperCase(platform::Trim(value)))
      parser.SetXMLPropertyValue(kGruposBase, "DCC_DcuOutput", value);
    return;
  }
}

void TornelCore::AnalizarProyectosCliente() {
  if (FCancelProc) return;
  ProgressScope progress = IniciarProgreso(static_cast<int>(gSlClieProy.size()),
                                           "Analizando los Proyectos Cliente encontrados...");
  const std::vector<std::string> clients = gSlClieProy;
  for (const std::string& client_path : clients) {
    const std::string name = NombreProyecto(client_path);
    if (Contiene(FIgnoreProjs, platform::UpperCase(platform::Trim(name))) || !ProyectoEnFiltro(name))
      continue;
    const std::string tail = name.empty() ? std::string() : name.substr(1);
    const std::string code = "G" + tail;
    const std::string server_name = "M" + tail;
    const int errors_before = CdsErrores.RecordCount();
    std::unique_ptr<TDprojParser> parser;
    std::string outcome;
    try {
      CdsGrpFuente.Append();
      CdsGrpFuente.SetText("COD_GSRC", code);
      if (!platform::FileExists(client_path)) {
        AgregarError(code, "El proyecto Cliente no ha sido encontrado.");
        CdsGrpFuente.Cancel();
        Estado("análisis: " + code + ": error: " + UltimoError());
        continue;
      }
      HacerEscribible(client_path);
      parser = std::make_unique<TDprojParser>(client_path);
      parser->ValidPackages = FValidPackages;
      TInfProj info = parser->GetInfo();
      if (progress) progress->NombreItemActual("Proyecto encontrado: " + info.Nombre);
      CdsGrpFuente.SetText("NOM_FUEN", info.Nombre);
      CdsGrpFuente.SetText("NOM_PCLI", name);
      CdsGrpFuente.SetBool("USA_PKGE", info.BoUsaPackage);
      CdsGrpFuente.SetText("VER_CLIE", info.FileVersion.ToString());
      CdsGrpFuente.SetText("PAC_KAGE", info.Package);
      CdsGrpFuente.SetText("RUT_CLIE", client_path);
      CalcularVersionPar(info);
      EscribirVersiones(*parser, info, FModVersion);
      CdsGrpFuente.SetText("NEW_VCLI", info.FileVersion.ToString());
      AplicarSalidaDcu(*parser, info, "DCU_OUTPUT_CLI");
      parser.reset();
      const std::string client_new = info.FileVersion.ToString();

      // The server project: the client's path with the client name replaced
      // everywhere. The entry of the search names it in its real letter case.
      std::string server_path = platform::ReplaceAll(client_path, name, server_name, true);
      auto listed = std::find_if(gSlServProy.begin(), gSlServProy.end(),
                                 [&](const std::string& e) { return platform::SameText(e, server_path); });
      if (listed != gSlServProy.end()) server_path = *listed;
      if (!platform::FileExists(server_path) || !RetirarProyectoServidor(server_path)) {
        AgregarError(code, "El proyecto Servidor no ha sido encontrado.");
        CdsGrpFuente.Cancel();
        Estado("análisis: " + code + ": error: " + UltimoError());
        continue;
      }
      HacerEscribible(server_path);
      parser = std::make_unique<TDprojParser>(server_path);
      parser->ValidPackages = FValidPackages;
      info = parser->GetInfo();
      CdsGrpFuente.SetText("NOM_PSRV", server_name);
      CdsGrpFuente.SetText("VER_SERV", info.FileVersion.ToString());
      CdsGrpFuente.SetText("RUT_SERV", server_path);
      CalcularVersionPar(info);
      EscribirVersiones(*parser, info, FModVersion);
      if (platform::UpperCase(platform::Trim(info.MainIcon)) != platform::UpperCase(platform::Trim(kIcono)))
        parser->SetXMLPropertyValue(kGruposBase, "Icon_MainIcon", kIcono);
      AplicarSalidaDcu(*parser, info, "DCU_OUTPUT_SRV");
      CdsGrpFuente.SetText("NEW_VSER", info.FileVersion.ToString());
      parser.reset();
      CdsGrpFuente.SetText("VER_PROD", info.ProductVersion.ToString());
      CdsGrpFuente.Post();
      outcome = "cliente " + client_new + ", servidor " + info.FileVersion.ToString();
    } catch (const std::exception& e) {
      if (CdsGrpFuente.GetState() != MemTable::State::kBrowse) CdsGrpFuente.Cancel();
      parser.reset();
      AgregarError(code, e.what());
    }
    Estado("análisis: " + code + ": " +
           (CdsErrores.RecordCount() > errors_before ? "error: " + UltimoError() : outcome));
    if (progress) progress->ItemActualTerminado();
    if (FCancelProc) break;
  }
}

void TornelCore::AnalizarProyectosIndividuales() {
  if (FCancelProc) return;
  ProgressScope progress = IniciarProgreso(static_cast<int>(gSlServProy.size()),
                                           "Analizando los Proyectos Individuales encontrados...");
  const std::vector<std::string> servers = gSlServProy;
  for (const std::string& path : servers) {
    const std::string name = NombreProyecto(path);
    const int errors_before = CdsErrores.RecordCount();
    std::unique_ptr<TDprojParser> parser;
    std::string outcome;
    try {
      if (!ProyectoEnFiltro(name)) continue;
      if (!platform::FileExists(path)) {
        AgregarError(name, "El proyecto no ha sido encontrado.");
        Estado("individual: " + name + ": error: " + UltimoError());
        continue;
      }
      parser = std::make_unique<TDprojParser>(path);
      TInfProj info = parser->GetInfo();
      if (progress) progress->NombreItemActual("Proyecto encontrado: " + info.Nombre);
      CdsGrpFuente.Append();
      CdsGrpFuente.SetText("COD_GSRC", name);
      CdsGrpFuente.SetText("NOM_FUEN", info.Nombre);
      CdsGrpFuente.SetText("NOM_PCLI", name);
      CdsGrpFuente.SetText("VER_CLIE", info.FileVersion.ToString());
      CdsGrpFuente.SetText("RUT_CLIE", path);
      CalcularVersionIndividual(info);
      EscribirVersiones(*parser, info, FModVersion);
      CdsGrpFuente.SetText("NEW_VCLI", info.FileVersion.ToString());
      parser.reset();
      CdsGrpFuente.SetText("VER_PROD", info.ProductVersion.ToString());
      CdsGrpFuente.Post();
      const int errors_before_build = CdsErrores.RecordCount();
      CompilarProyecto(path, name);
      outcome = "versión " + info.FileVersion.ToString() + ", compilación " +
                (CdsErrores.RecordCount() > errors_before_build ? "con errores" : "correcta");
    } catch (const std::exception& e) {
      if (CdsGrpFuente.GetState() != MemTable::State::kBrowse) CdsGrpFuente.Cancel();
      parser.reset();
      AgregarError(name, e.what());
    }
    Estado("individual: " + name + ": " +
           (CdsErrores.RecordCount() > errors_before ? "error: " + UltimoError() : outcome));
    if (progress) progress->ItemActualTerminado();
    if (FCancelProc) break;
  }
}

}  // namespace tornel
