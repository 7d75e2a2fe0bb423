#include "paquel/checks/project_checks.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include <pugixml.hpp>

#include "platform/delimited_text.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/path_resolve.h"
#include "platform/paths.h"
#include "platform/pe_version.h"
#include "platform/regex.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace paquel {
namespace {

// Whitespace is kept so that the first top-level node is what the file holds
// first; a declaration or comment there means there is no project element.
constexpr unsigned kParseFlags = pugi::parse_full | pugi::parse_ws_pcdata;

constexpr int kMaxConfiguraciones = 20;
constexpr std::string_view kMarcaRelease = "RELEASE;$(DCC_DEFINE)";
constexpr char kCondicionBase[] = "'$(Base)'!=''";
constexpr char kCondicionCfg1[] = "'$(Cfg_1)'!=''";

std::string LineColumn(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  const auto before = text.substr(0, offset);
  const size_t line = 1 + static_cast<size_t>(std::count(before.begin(), before.end(), '\n'));
  const size_t last_break = before.rfind('\n');
  const size_t column = offset - (last_break == std::string_view::npos ? 0 : last_break + 1) + 1;
  return "línea " + std::to_string(line) + ", columna " + std::to_string(column);
}

void LoadProject(const std::string& path, pugi::xml_document& doc) {
  const std::string bytes = platform::ReadFileBytes(path);
  std::string text;
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    text = platform::DecodeText(bytes).text;
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    text = bytes.substr(3);
  } else {
    // Without a mark the bytes stay as they are: each value read is decoded
    // on its own, so one Windows-1252 value does not change how the others
    // read.
    text = bytes;
  }
  const pugi::xml_parse_result result =
      doc.load_buffer(text.data(), text.size(), kParseFlags, pugi::encoding_utf8);
  if (!result) {
    throw platform::EDOMParseError("Error en \"" + path + "\", " +
                                   LineColumn(text, static_cast<size_t>(result.offset)) + ": " +
                                   result.description());
  }
}

pugi::xml_node FirstChildElement(pugi::xml_node parent, const std::string& name) {
  for (pugi::xml_node n : parent.children())
    if (n.type() == pugi::node_element && name == n.name()) return n;
  return {};
}

// The text of a property element, as a value converted to text: an element
// without text (or holding other elements) has no value to give.
std::string ElementValue(pugi::xml_node element, const std::string& path) {
  std::optional<std::string> text;
  for (pugi::xml_node n : element.children()) {
    if (n.type() == pugi::node_element) {
      throw platform::EConvertError("No se pudo leer el valor de " + std::string(element.name()) +
                                    " en " + path + ": el elemento contiene otros elementos");
    }
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
      text = text.value_or("") + n.value();
  }
  if (!text) {
    throw platform::EConvertError("No se pudo leer el valor de " + std::string(element.name()) +
                                  " en " + path + ": el elemento no tiene texto");
  }
  return platform::ToValidUtf8(*text);
}

// The text of pStNodo in the first group with exactly this condition that
// has it; nullopt when none has.
std::optional<std::string> PropertyText(const pugi::xml_document& doc, const std::string& path,
                                        const std::string& nodo, const std::string& condicion) {
  const pugi::xml_node project = doc.first_child();
  if (project.type() != pugi::node_element) return std::nullopt;
  for (pugi::xml_node group : project.children()) {
    if (group.type() != pugi::node_element || std::string_view(group.name()) != "PropertyGroup")
      continue;
    const pugi::xml_attribute attr = group.attribute("Condition");
    if (!attr || platform::ToValidUtf8(attr.value()) != condicion) continue;
    const pugi::xml_node element = FirstChildElement(group, nodo);
    if (!element) continue;
    return ElementValue(element, path);
  }
  return std::nullopt;
}

// The value of a key in a "Key=Value;..." list: the first item whose key
// equals it without regard to case; an item without "=" has no key.
std::optional<std::string> KeyValue(const std::vector<std::string>& items, std::string_view key) {
  for (const std::string& item : items) {
    const size_t eq = item.find('=');
    if (eq != std::string::npos && platform::SameText(std::string_view(item).substr(0, eq), key))
      return item.substr(eq + 1);
  }
  return std::nullopt;
}

std::string Join(const std::string& folder, const std::string& name) {
  return platform::IncludeTrailingPathDelimiter(folder) + name;
}

// A project lies in a folder of its own name: {P}/<name>/<name>.dproj.
std::string ProjectFile(const std::string& carpeta, const std::string& name) {
  return platform::ResolveCase(Join(Join(carpeta, name), name + ".dproj"));
}

}  // namespace

std::string ValidarDproj(const std::string& pStRutaDproj, const std::string& pStNodo,
                         const std::string& pStCondicion, const std::string& pStExpresion,
                         bool pBoPropEspec, int pInContador) {
  pugi::xml_document doc;
  LoadProject(pStRutaDproj, doc);

  // The release-configuration search walks the numbered groups in one
  // loaded document instead of loading the file once per group.
  std::string condicion = pStCondicion;
  int contador = pInContador;
  while (true) {
    const std::optional<std::string> text = PropertyText(doc, pStRutaDproj, pStNodo, condicion);
    if (!text) return "0";
    if (!pBoPropEspec) {
      if (pStExpresion.empty()) return *text;
      const platform::Regex regex(pStExpresion, platform::Regex::kCaseless | platform::Regex::kDotAll);
      return regex.Search(*text) ? "1" : "0";
    }
    if (++contador > kMaxConfiguraciones) return "0";
    if (platform::UpperCase(platform::Trim(*text)) == kMarcaRelease) return condicion;
    condicion = platform::ReplaceAll(condicion, std::to_string(contador),
                                     std::to_string(contador + 1), false);
  }
}

void VersionDproj(const std::string& pStVersion, const std::string& pStTipArch) {
  const std::vector<std::string> items =
      platform::SplitDelimited(pStVersion, ';', platform::Delimiting::kStrict);
  const auto vacio = [&](std::string_view key, std::string_view ending) {
    return EPaquel("En la version del " + pStTipArch + " el \"" + std::string(key) + "\"" +
                   std::string(ending));
  };
  constexpr std::string_view kVacio = " se encuentra vacio, verifique...";
  constexpr std::string_view kIncompleto =
      " se encuentra vacio o el valor no esta completo, verifique...";
  constexpr size_t kMinDescripcion = 5;

  for (const std::string_view key :
       {"CompanyName", "FileDescription", "LegalCopyright", "LegalTrademarks", "ProductVersion",
        "Comments"}) {
    const std::string value = KeyValue(items, key).value_or("");
    if (key == "FileDescription") {
      if (platform::Utf8Length(value) < kMinDescripcion) throw vacio(key, kIncompleto);
    } else if (value.empty()) {
      throw vacio(key, kVacio);
    }
  }
}

void TraducirNum(int16_t pSmResult, const std::string& pStNomUnidad,
                 const std::vector<std::string>& gSlObjCone) {
  switch (pSmResult) {
    case 1:
      throw EPaquel("La SDML tiene la conexion Abierta, en la unidad " + pStNomUnidad +
                    " Verifique...");
    case 3: {
      std::string objetos;
      for (const std::string& objeto : gSlObjCone) objetos += objeto + "\r\n";
      throw EPaquel("La Unidad " + pStNomUnidad + " tiene los siguientes SclientDataSet conectados " +
                    objetos + "\r\n" + " Verifique...");
    }
    case 5:
      throw EPaquel("No se encontro componente de exportacion a WORD en la unidad " + pStNomUnidad);
    case 6:
      throw EPaquel("En la unidad " + pStNomUnidad +
                    " se encuentra asociado el evento OnCreate como Nil," +
                    " esto puede ocasionar errores con el ancestro, Revise el DFM...");
    case 8:
      throw EPaquel("En la unidad " + pStNomUnidad + " el CdsGnEmpre se encuentra activo");
    default:
      return;
  }
}

std::string GetFileVersion(const std::string& AFileName) {
  const std::optional<platform::PeVersion> version = platform::ReadPeVersion(AFileName);
  return version ? platform::VersionText(version->file) : std::string();
}

uint16_t GetProductVersion(const std::string& AFileName, const std::string& pStTipVersion) {
  const std::optional<platform::PeVersion> version = platform::ReadPeVersion(AFileName);
  if (!version) return 0;  // the year rule then warns, as for a very old program
  return pStTipVersion == "N" ? version->file[1] : version->file[0];
}

void ValidarPropiedadesProyecto(const ProyectoAValidar& proyecto) {
  const std::string servidor = "M" + proyecto.gStNomPrograma;
  const std::string dproj_servidor = ProjectFile(proyecto.carpeta, servidor);

  if (ValidarDproj(dproj_servidor, "Icon_MainIcon", kCondicionBase, "(morvel|" + servidor + ")",
                   false, 0) == "0")
    throw EPaquel("El servidor no tiene el Icono de MORVEL asignado, Verifique...");
  VersionDproj(ValidarDproj(dproj_servidor, "VerInfo_Keys", kCondicionBase, "", false, 0),
               "servidor");
  if (proyecto.solo_servidor) return;

  const std::string dproj_cliente = ProjectFile(proyecto.carpeta, "C" + proyecto.gStNomPrograma);
  VersionDproj(ValidarDproj(dproj_cliente, "VerInfo_Keys", kCondicionBase, "", false, 0),
               "cliente");
  if (!proyecto.ChkPackage) return;

  // Only the release configuration's own group counts: a value inherited
  // from the base group is not what the release build is checked against.
  const std::string release = ValidarDproj(dproj_cliente, "DCC_Define", kCondicionCfg1, "", true, 0);
  if (ValidarDproj(dproj_cliente, "UsePackages", release, "true", false, 0) == "0")
    throw EPaquel("No tiene chequeado los pakages en el proyecto, Verifique...");
}

void ValidarVersionPrograma(const std::string& server_exe, const std::string& client_version,
                            bool solo_servidor, TPqStringList& mensajes, int current_year) {
  const std::string exe = platform::ResolveCase(server_exe);
  if (!solo_servidor && GetFileVersion(exe) != client_version)
    mensajes.Add("las Version de la SDML es Diferente a la del Servidor");

  const int anio = current_year % 100;
  const uint16_t mayor = GetProductVersion(exe, "M");
  if (anio > mayor) {
    mensajes.Add("las Version programa es " + std::to_string(mayor) + " estamos en el año " +
                 std::to_string(current_year) + " la version deberia ser " +
                 std::to_string(anio) + ", Verifique...");
  }
}

}  // namespace paquel
