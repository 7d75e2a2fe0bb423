#include "testsupport/program_fixture.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "testsupport/dproj_fixture.h"
#include "testsupport/pe_file.h"

namespace testsupport {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

PeFileSpec Pe(const ProgramSpec& spec) {
  PeFileSpec pe;
  pe.file_version = spec.version;
  pe.product_version = {spec.version[0], 0, 0, 0};
  return pe;
}

}  // namespace

std::array<uint16_t, 4> ThisYearsVersion() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {static_cast<uint16_t>((local.tm_year + 1900) % 100), 0, 1, 1};
}

std::string BuildProgram(const std::string& parent, const ProgramSpec& spec) {
  const std::string p = parent + "/" + spec.code;
  const std::string c = "C" + spec.code, s = "M" + spec.code;
  DprojSpec dproj;
  dproj.icon = "M:\\ICONOS Y LOGOS\\Nuevos Logos Morvel\\Morvel.ico";
  dproj.release_use_packages = "true";
  dproj.file_version = std::to_string(spec.version[0]) + "." + std::to_string(spec.version[1]) +
                       "." + std::to_string(spec.version[2]) + "." + std::to_string(spec.version[3]);
  WriteText(p + "/" + c + "/" + c + ".dproj", DprojText(dproj));
  WriteText(p + "/" + s + "/" + s + ".dproj", DprojText(dproj));
  if (spec.sources) {
    const std::string u = "U" + spec.code;
    WriteText(p + "/" + c + "/" + c + ".dpr",
              "program " + c + ";\r\n\r\nuses\r\n  Forms,\r\n  " + u + " in '" + u +
                  ".pas' {Frm" + spec.code + "};\r\n\r\nbegin\r\n  Application.Run;\r\nend.\r\n");
    WriteText(p + "/" + c + "/" + u + ".pas",
              "unit " + u + ";\r\n\r\ninterface\r\n\r\nuses Forms;\r\n\r\nimplementation\r\n\r\nend.\r\n");
    WriteText(p + "/" + c + "/" + u + ".dfm",
              "inherited Frm" + spec.code + ": TFrm" + spec.code + "\r\n  Caption = 'Programa'\r\n"
              "  object MNotas1: TMNotas\r\n    TituloForma = 'Programa'\r\n  end\r\n"
              "  object frxPDFExport1: TfrxPDFExport\r\n    UseFileCache = True\r\n  end\r\nend\r\n");
    WriteText(p + "/" + s + "/" + s + ".dpr",
              "program " + s + ";\r\n\r\nbegin\r\n  Application.Title := 'Servidor';\r\n"
              "  Application.Run;\r\nend.\r\n");
    WriteText(p + "/" + s + "/" + s + "DmrImp.pas", "unit " + s + "DmrImp;\r\n\r\ninterface\r\n\r\nend.\r\n");
    WriteText(p + "/" + s + "/" + s + "DmrImp.dfm",
              "object DmrImp: TDmrImp\r\n  object SDatabase1: SDatabase\r\n    Connected = False\r\n"
              "  end\r\nend\r\n");
  }
  if (spec.group_project) WriteText(p + "/G" + spec.code + ".groupproj", "<Project/>\r\n");
  const std::string rel = "/" + spec.release + "/Release/";
  if (spec.client_program) WritePeFile(p + "/" + c + rel + c + ".sdml", Pe(spec));
  if (spec.server) WritePeFile(p + "/" + s + rel + s + ".exe", Pe(spec));
  if (spec.service_host) WritePeFile(p + "/" + s + "S" + rel + s + "S.exe", Pe(spec));
  if (spec.service) {
    const std::string w = p + "/" + s + "/" + s + "Service/";
    WritePeFile(w + s + "BD/bin/Release/" + s + "BD.dll", Pe(spec));
    WritePeFile(w + s + "WCF/bin/Release/" + s + "WCF.dll", Pe(spec));
    WriteText(w + s + "WCF/" + s + ".svc", "<%@ ServiceHost Service=\"" + s + "\" %>\r\n");
    std::string source = "namespace " + s + "BD {\r\n";
    for (int i = 0; i < spec.inicializa_server; ++i) source += "  InicializaServer();\r\n";
    WriteText(w + s + "BD/" + s + "BD.cs", source + "}\r\n");
  }
  return p;
}

}  // namespace testsupport
