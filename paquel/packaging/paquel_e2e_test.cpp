// Runs the real Paquel executable unattended over program folders built by
// the test, and looks at the destination tree, the archive and the report.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/dates.h"
#include "platform/files.h"
#include "platform/process.h"
#include "testsupport/pe_file.h"
#include "testsupport/program_fixture.h"
#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using testsupport::ProgramSpec;
using testsupport::ReadAll;
using testsupport::TempDir;

struct Outcome {
  int status = -1;
  std::string output;
};

Outcome Execute(const std::string& program, const std::vector<std::string>& args,
            const std::string& cwd) {
  Outcome o;
  auto r = platform::RunCaptured(
      program, args, cwd, [&](std::string_view b) { o.output.append(b); }, {});
  EXPECT_TRUE(r.started) << program << ": " << r.start_error;
  o.status = r.exit_code;
  return o;
}

class PaquelE2E : public ::testing::Test {
 protected:
  PaquelE2E() {
    bin_ = root_.MakeDir("bin");
    platform::CopyFile(PAQUEL_BINARY, bin_ + "/Paquel");
    ::chmod((bin_ + "/Paquel").c_str(), 0755);
    src_ = root_.MakeDir("fuentes");
    dest_ = root_.Path("Calidad");
  }
  // Paquel.ini with the two paths, the given switches and extra sections.
  void Ini(const std::string& rutaprog, const std::string& switches,
           const std::string& extra = "") {
    root_.Write("bin/Paquel.ini", "[CONFIG]\r\nRUTAPROG=" + rutaprog + "\r\nRUTADEST=" + dest_ +
                                      "\r\n" + switches + extra);
  }
  Outcome Paquel() { return Execute(bin_ + "/Paquel", {"S"}, root_.path()); }
  std::string Report() { return ReadAll(bin_ + "/Paquel.txt"); }
  bool Exists(const std::string& rel) { return platform::FileExists(dest_ + "/" + rel); }
  std::string Python(const std::string& code, const std::string& arg) {
    Outcome o = Execute("/usr/bin/python3", {"-c", code, arg}, root_.path());
    EXPECT_EQ(o.status, 0) << o.output;
    return o.output;
  }

  TempDir root_;
  std::string bin_, src_, dest_;
};

constexpr const char* kNoCompress = "COMPRIMIR=0\r\nDELDCOMP=0\r\nVERFCONN=0\r\n";

TEST_F(PaquelE2E, MassModeLaysOutEveryProgramAndReportsWithPrefixes) {
  ProgramSpec gn;
  gn.code = "GNAAAAA";
  gn.service_host = true;
  testsupport::BuildProgram(src_, gn);
  ProgramSpec rh;
  rh.code = "RHBBBBB";
  rh.server = false;
  testsupport::BuildProgram(src_, rh);
  ProgramSpec solo;
  solo.code = "GNCCCCC";
  solo.client_program = false;
  testsupport::BuildProgram(src_, solo);
  ProgramSpec ar;
  ar.code = "ARDDDDD";
  ar.release = "Win64";
  ar.service_host = true;
  testsupport::BuildProgram(src_, ar);
  root_.MakeDir("fuentes/documentos");
  root_.Write("fuentes/LEEME.txt", "no es un programa");
  Ini(src_, std::string(kNoCompress) + "INCLUWCF=0\r\nEMPMASIVO=1\r\n",
      "[ProgrSinCli]\r\nProg0=MGNXXXXX\r\nProg1=MGNCCCCC\r\n"
      "[MARDDDDD]\r\nNomb0=CNMZZZZ\r\nNomb1=CGNYYYY\r\n"
      "[MGNAAAAA]\r\nNomb0=CNMQQQQ\r\n");

  Outcome run = Paquel();
  EXPECT_EQ(run.status, 1) << run.output;  // one program failed
  std::string report = Report();
  std::vector<std::string> lines;
  for (size_t pos = 0, next; (next = report.find("\r\n", pos)) != std::string::npos; pos = next + 2)
    lines.push_back(report.substr(pos, next - pos));
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "MARDDDDD : Se organizaron los archivos con exito",
                       "MGNAAAAA : Se organizaron los archivos con exito",
                       "MGNCCCCC : Se organizaron los archivos con exito",
                       "MRHBBBBB : No Existe El servidor",
                   }))
      << report;

  // Module GN and another module, the service hosts, further names and the
  // program without a client program.
  for (const char* file : {"Ggen/Bin1/CGNAAAAA.sdml", "Servidores/Ggen/Bin/MGNAAAAA.exe",
                           "ServsMS/Ggen/Bin/MGNAAAAAS.exe", "Ggen/Bin1/CNMQQQQ.sdml",
                           "Rivu/AR/bin1/CARDDDDD.sdml", "Servidores/Rivu/AR/bin/MARDDDDD.exe",
                           "ServsMS/Rivu/AR/bin/MARDDDDDS.exe", "Rivu/NM/bin1/CNMZZZZ.sdml",
                           "Rivu/GN/bin1/CGNYYYY.sdml", "Servidores/Ggen/Bin/MGNCCCCC.exe"})
    EXPECT_TRUE(Exists(file)) << file;
  EXPECT_FALSE(Exists("Ggen/Bin1/CGNCCCCC.sdml"));
  EXPECT_FALSE(platform::DirectoryExists(dest_ + "/Rivu/RH"));
  EXPECT_TRUE(platform::FileExists(src_ + "/ARDDDDD/CARDDDDD/Win64/Release/CARDDDDD.sdml"));
  EXPECT_EQ(ReadAll(dest_ + "/Rivu/AR/bin1/CARDDDDD.sdml"),
            ReadAll(src_ + "/ARDDDDD/CARDDDDD/Win64/Release/CARDDDDD.sdml"));
  EXPECT_TRUE(run.output.find("Paquel: MGNAAAAA -  Organizando y comprimiendo archivos") !=
              std::string::npos)
      << run.output;
  EXPECT_TRUE(run.output.find("Paquel: MRHBBBBB: error: No Existe El servidor") != std::string::npos);
}

TEST_F(PaquelE2E, SingleProgramIsArchivedOnceDeletedAfterwardsAndCopiedToTheRepository) {
  ProgramSpec gn;
  gn.code = "GNABCDE";
  gn.version[2] = 7;
  gn.version[3] = 3;
  gn.service = true;
  std::string p = testsupport::BuildProgram(src_, gn);
  root_.Write("fuentes/GNABCDE/MGNABCDE/UMGNABCDE ñandú.pas", "unit x;");
  root_.Write("Calidad/Ggen/Bin1/ANTERIOR.sdml", "left by an earlier run");
  root_.Write("Calidad/GGNOLDIE_V1.0.0.0.zip", "an older release archive");
  std::string repo = root_.MakeDir("repositorio");
  Ini(p, "VERFCONN=0\r\nMOVFUENTE=1\r\nDIRREPO=" + repo + "\r\n");

  Outcome run = Paquel();
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Report(), "");  // no warnings
  // Processed once, not twice.
  size_t first = run.output.find("Validando existencia archivos");
  EXPECT_EQ(run.output.find("Validando existencia archivos", first + 1), std::string::npos) << run.output;

  const std::string zip =
      dest_ + "/GGNABCDE_V" + std::to_string(gn.version[0]) + ".0.7.3.zip";
  ASSERT_TRUE(platform::FileExists(zip)) << run.output;
  Outcome test = Execute("/usr/bin/unzip", {"-t", "-qq", zip}, root_.path());
  EXPECT_EQ(test.status, 0) << test.output;
  std::string names = Python(
      "import zipfile,sys\n"
      "z=zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "for i in sorted(z.infolist(), key=lambda i: i.filename):\n"
      "  print(i.filename, i.flag_bits & 0x800, i.compress_type)\n",
      zip);
  EXPECT_EQ(names,
            "Ggen/Bin1/ANTERIOR.sdml 2048 8\n"
            "Ggen/Bin1/CGNABCDE.sdml 2048 8\n"
            "Ggen/Bin1/MGNABCDEBD.dll.sdml 2048 8\n"
            "Morvel/MorvelCoreServices/Bin/MGNABCDEWCF.dll 2048 8\n"
            "Morvel/MorvelCoreServices/MGNABCDE.svc 2048 8\n"
            "Servidores/Ggen/Bin/MGNABCDE.exe 2048 8\n");
  // Deleted after compression: the files, not the folders nor the archives.
  EXPECT_FALSE(Exists("Ggen/Bin1/CGNABCDE.sdml"));
  EXPECT_FALSE(Exists("Ggen/Bin1/ANTERIOR.sdml"));
  EXPECT_TRUE(platform::DirectoryExists(dest_ + "/Ggen/Bin1"));
  EXPECT_EQ(ReadAll(dest_ + "/GGNOLDIE_V1.0.0.0.zip"), "an older release archive");
  // The sources, whole, in the repository.
  EXPECT_EQ(ReadAll(repo + "/Ggen/fnt/GGNABCDE/MGNABCDE/UMGNABCDE ñandú.pas"), "unit x;");
  EXPECT_TRUE(platform::FileExists(repo + "/Ggen/fnt/GGNABCDE/GGNABCDE.groupproj"));
}

TEST_F(PaquelE2E, StructureErrorsReachTheReportAndTheExitStatus) {
  struct Case {
    const char* name;
    std::function<void(ProgramSpec&)> change;
    std::string switches;
    std::string extra;
    std::string report;
    int status;
  } cases[] = {
      {"no group project", [](ProgramSpec& s) { s.group_project = false; }, "", "",
       "La Ruta del programa no es un fuente de MorveL,No existe la carpeta de la SDML o la "
       "carpeta del Sevidor Ó No Existe el .Groupproj de todo el fuente\r\n",
       1},
      {"no service folder", [](ProgramSpec&) {}, "INCLUWCF=1\r\n", "",
       "No Existe Toda la Carpeta del WCF\r\n", 1},
      {"service not recompiled", [](ProgramSpec& s) { s.service = true, s.inicializa_server = 8; },
       "INCLUWCF=1\r\n", "", "Se requiera recompilar el WCF, verifique...\r\n", 0},
      {"no client program", [](ProgramSpec& s) { s.client_program = false; }, "", "",
       "No Existe la Sdml \r\n", 1},
      {"listed without client, other case",
       [](ProgramSpec& s) { s.client_program = false; }, "",
       "[ProgrSinCli]\r\nProg0=mGNABCDE\r\n", "No Existe la Sdml \r\n", 1},
      {"listed without client", [](ProgramSpec& s) { s.client_program = false; }, "",
       "[ProgrSinCli]\r\nProg0=MGNABCDE\r\n", "", 0},
      {"no server", [](ProgramSpec& s) { s.server = false; }, "", "", "No Existe El servidor\r\n", 1},
  };
  for (const auto& c : cases) {
    TempDir fresh;
    ProgramSpec spec;
    c.change(spec);
    std::string p = testsupport::BuildProgram(fresh.path(), spec);
    Ini(p, std::string(kNoCompress) + (c.switches.empty() ? "INCLUWCF=0\r\n" : c.switches),
        c.extra);
    Outcome run = Paquel();
    EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.output;
    EXPECT_EQ(Report(), c.report) << c.name;
  }
}

TEST_F(PaquelE2E, SourceAndProjectChecksRunBeforeTheAssembly) {
  struct Case {
    const char* name;
    std::function<void(const std::string& p)> spoil;
    std::string report;
    int status;
  } cases[] = {
      {"clean sources", [](const std::string&) {}, "", 0},
      {"main form without a titled notes component",
       [this](const std::string& p) {
         root_.Write(p.substr(root_.path().size() + 1) + "/CGNABCDE/UGNABCDE.dfm",
                     "inherited FrmGNABCDE: TFrmGNABCDE\r\n  object frxPDFExport1: TfrxPDFExport\r\n"
                     "  end\r\nend\r\n");
       },
       "La SDML no tiene asignado la propiedad Titulo en el componente Notas Verifique...\r\n", 1},
      {"open connection in the server",
       [this](const std::string& p) {
         root_.Write(p.substr(root_.path().size() + 1) + "/MGNABCDE/MGNABCDEDmrImp.dfm",
                     "object DmrImp: TDmrImp\r\n  object SDatabase1: SDatabase\r\n"
                     "    Connected = True\r\n  end\r\nend\r\n");
       },
       "El Servidor tiene la conexion Abierta, Verifique...\r\n", 1},
      {"server program file without a title",
       [this](const std::string& p) {
         root_.Write(p.substr(root_.path().size() + 1) + "/MGNABCDE/MGNABCDE.dpr",
                     "program MGNABCDE;\r\nbegin\r\nend.\r\n");
       },
       "En el servidor, en la configuracion del proyecto no ha asignado la propiedad appearance "
       "-> title\r\n",
       1},
      {"server icon of another product",
       [this](const std::string& p) {
         std::string rel = p.substr(root_.path().size() + 1) + "/MGNABCDE/MGNABCDE.dproj";
         std::string text = ReadAll(root_.Path(rel));
         size_t at = text.find("M:\\ICONOS");
         text.replace(at, text.find('<', at) - at, "C:\\iconos\\otro.ico");
         root_.Write(rel, text);
       },
       "El servidor no tiene el Icono de MORVEL asignado, Verifique...\r\n", 1},
  };
  for (const auto& c : cases) {
    TempDir fresh;
    ProgramSpec spec;
    std::string p = testsupport::BuildProgram(root_.MakeDir(std::string("case ") + c.name), spec);
    c.spoil(p);
    Ini(p, "COMPRIMIR=0\r\nINCLUWCF=0\r\nVERFCONN=1\r\n");
    Outcome run = Paquel();
    EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.output;
    EXPECT_EQ(Report(), c.report) << c.name;
  }
}

TEST_F(PaquelE2E, VersionWarningsAfterTheAssembly) {
  ProgramSpec spec;
  spec.version = {static_cast<uint16_t>(platform::CurrentTwoDigitYear() - 1), 0, 1, 1};
  std::string p = testsupport::BuildProgram(src_, spec);
  // The client program of another version than the server.
  testsupport::PeFileSpec other;
  other.file_version = {9, 9, 9, 9};
  testsupport::WritePeFile(p + "/CGNABCDE/Win32/Release/CGNABCDE.sdml", other);
  Ini(p, "COMPRIMIR=0\r\nINCLUWCF=0\r\nVERFCONN=0\r\n");
  Outcome run = Paquel();
  EXPECT_EQ(run.status, 0) << run.output;
  const int year = platform::CurrentYear();
  EXPECT_EQ(Report(), "las Version de la SDML es Diferente a la del Servidor\r\n"
                      "las Version programa es " + std::to_string(year % 100 - 1) +
                      " estamos en el año " + std::to_string(year) + " la version deberia ser " +
                      std::to_string(year % 100) + ", Verifique...\r\n");
  EXPECT_TRUE(Exists("Ggen/Bin1/CGNABCDE.sdml"));  // warnings do not stop the packaging
}

TEST_F(PaquelE2E, HostileTreesTerminateAndWriteOnlyWhereTheyShould) {
  // Awkward names in the sources and the destination, a loop of links, and
  // the destination inside the source folder of a mass run.
  testsupport::ProgramSpec spec;
  std::string p = testsupport::BuildProgram(src_, spec);
  const std::string rel = p.substr(root_.path().size() + 1);
  root_.Write(rel + "/CGNABCDE/UGN con blancos y 'comillas' ñ.pas", "unit x;");
  root_.Write(rel + "/CGNABCDE/" + std::string("N\xF3mina.txt"), "cp1252 name");
  ASSERT_EQ(::symlink(p.c_str(), (p + "/CGNABCDE/bucle").c_str()), 0);
  root_.Write("fuentes/Calidad/Ggen/Bin1/" + std::string("Raro \"\xE9\".sdml"), "earlier file");
  std::string repo = root_.MakeDir("repo");
  root_.Write("bin/Paquel.ini", "[CONFIG]\r\nRUTAPROG=" + src_ + "\r\nRUTADEST=" + src_ +
                                    "/Calidad\r\nEMPMASIVO=1\r\nINCLUWCF=0\r\nMOVFUENTE=1\r\nDIRREPO=" +
                                    repo + "\r\n");
  root_.Write("outside/keep.txt", "untouched");
  Outcome run = Paquel();
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Report(), "MGNABCDE : Se organizaron los archivos con exito\r\n");
  const std::string zip = src_ + "/Calidad/GGNABCDE_V" + std::to_string(spec.version[0]) + ".0.1.1.zip";
  Outcome test = Execute("/usr/bin/unzip", {"-t", "-qq", zip}, root_.path());
  EXPECT_EQ(test.status, 0) << test.output;
  EXPECT_NE(Python("import zipfile,sys\nprint(sorted(zipfile.ZipFile(sys.argv[1]).namelist()))\n", zip)
                .find("Raro \"\u00e9\".sdml"),
            std::string::npos);
  EXPECT_EQ(ReadAll(repo + "/Ggen/fnt/GGNABCDE/CGNABCDE/UGN con blancos y 'comillas' ñ.pas"), "unit x;");
  EXPECT_EQ(ReadAll(root_.Path("outside/keep.txt")), "untouched");

  // A project path that is a file, in single and in mass mode.
  std::string file = root_.Write("archivo", "x");
  for (const char* mass : {"0", "1"}) {
    root_.Write("bin/Paquel.ini", "[CONFIG]\r\nRUTAPROG=" + file + "\r\nRUTADEST=" + dest_ +
                                      "\r\nEMPMASIVO=" + mass + "\r\n");
    Outcome bad = Paquel();
    EXPECT_EQ(bad.status, 1) << bad.output;
    EXPECT_FALSE(platform::DirectoryExists(dest_));
  }
}

TEST_F(PaquelE2E, RunsThatCannotStartEndWithStatusOne) {
  struct Case {
    std::string ini;
    const char* message;
  } cases[] = {
      {"[CONFIG]\r\nRUTAPROG=\r\nRUTADEST=/x\r\n", "No Ha Selecionado la Ruta del programa"},
      {"[CONFIG]\r\nRUTAPROG=/x\r\nRUTADEST=\r\n", "No Ha Selecionado la Ruta de Destino"},
      {"[CONFIG]\r\nRUTAPROG=" + root_.Path("nada") + "\r\nRUTADEST=/x\r\nEMPMASIVO=1\r\n",
       "No se encontró la ruta"},
  };
  for (const auto& c : cases) {
    root_.Write("bin/Paquel.ini", c.ini);
    Outcome run = Paquel();
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(bin_ + "/Paquel.ini"), c.ini);  // settings are only read
  }
  // The window, where there is no display at all.
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (const char* v = std::getenv(name)) saved.emplace_back(name, v);
    ::unsetenv(name);
  }
  Outcome window = Execute(bin_ + "/Paquel", {}, root_.path());
  for (const auto& [name, value] : saved) ::setenv(name.c_str(), value.c_str(), 1);
  EXPECT_EQ(window.status, 1);
  EXPECT_NE(window.output.find("no hay pantalla disponible"), std::string::npos) << window.output;
  EXPECT_EQ(std::count(window.output.begin(), window.output.end(), '\n'), 1);
}

}  // namespace
}  // namespace paquel
