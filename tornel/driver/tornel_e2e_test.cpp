// Runs the real Tornel executable unattended on small source trees, with
// shell scripts standing in for the build script and the packager.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/process.h"
#include "testsupport/dproj_fixture.h"
#include "testsupport/fake_tools.h"
#include "testsupport/temp_dir.h"
#include "tornel/driver/tables.h"
#include "tornel/settings/table_file.h"

namespace tornel {
namespace {

using testsupport::DprojSpec;
using testsupport::DprojText;
using testsupport::ReadAll;
using testsupport::TempDir;

constexpr const char* kIcono = "M:\\ICONOS Y LOGOS\\Nuevos Logos Morvel\\Morvel.ico";

struct Outcome {
  int status = -1;
  std::string output;  // standard output and error
};

class TornelE2E : public ::testing::Test {
 protected:
  TornelE2E() {
    bin_ = root_.MakeDir("bin");
    platform::CopyFile(TORNEL_BINARY, bin_ + "/Tornel");
    ::chmod((bin_ + "/Tornel").c_str(), 0755);
    testsupport::WriteFakeBuildScript(bin_);
  }

  Outcome Tornel(const std::vector<std::string>& args, const std::string& cwd = "") {
    Outcome run;
    auto r = platform::RunCaptured(
        bin_ + "/Tornel", args, cwd.empty() ? root_.path() : cwd,
        [&](std::string_view bytes) { run.output.append(bytes); }, [] {});
    EXPECT_TRUE(r.started) << r.start_error;
    run.status = r.exit_code;
    return run;
  }

  std::string Dproj(const std::string& rel, const DprojSpec& spec) {
    return root_.Write(rel, DprojText(spec));
  }
  std::string File(const std::string& rel) { return ReadAll(root_.Path(rel)); }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  // Output folders for the pair properties, active.
  void SetDcuFolders(const std::string& client, const std::string& server) {
    MemTable props = MakeCdsProjProp();
    for (auto [code, value] : {std::pair{"DCU_OUTPUT_CLI", client}, std::pair{"DCU_OUTPUT_SRV", server}}) {
      props.Append();
      props.SetText("COD_PROP", code);
      props.SetText("ACT_PROP", "S");
      props.SetText("VAL_PROP", value);
      props.Post();
    }
    GuardarTablaXml(props, bin_ + "/Tornel_cdsProjProp.xml");
  }

  TempDir root_;
  std::string bin_;
};

DprojSpec Version(const std::string& file_version, const std::string& packages = "SMORVELOPR") {
  DprojSpec spec;
  spec.file_version = file_version;
  spec.major = file_version.substr(0, file_version.find('.'));
  spec.packages = packages;
  return spec;
}

TEST_F(TornelE2E, FullRunWritesVersionsBuildsReportsAndHandsOver) {
  // Pairs with the worked version examples (product version 19, "Inc.
  // Release" on, "Build" off), a failing build, different new versions, a
  // client without server, an individual project and a broken project file.
  Dproj("src/GN/CGNAAA/CGNAAA.dproj", Version("18.0.5.3"));
  Dproj("src/GN/MGNAAA/MGNAAA.dproj", Version("18.2.5.3"));
  Dproj("src/GN/CGNBBB/CGNBBB.dproj", Version("19.0.5.3"));
  Dproj("src/GN/MGNBBB/MGNBBB.dproj", Version("20.0.5.3"));
  root_.Write("src/GN/CGNBBB/CGNBBB.dproj.salida",
              "Compilando CGNBBB\r\nUGNBBB.pas(12): error E2003: Undeclared identifier: 'X'\r\n"
              "UGNBBB.pas(13): error E2003: otra\r\n");
  Dproj("src/GN/CGNCCC/CGNCCC.dproj", Version("19.0.3.7"));
  Dproj("src/GN/MGNCCC/MGNCCC.dproj", Version("19.0.4.7"));
  Dproj("src/GN/CGNDDD/CGNDDD.dproj", Version("17.1.1.1"));
  Dproj("src/RH/MRHEEE/MRHEEE.dproj", Version("19.2.5.3"));
  root_.Write("src/RH/MRHFFF/MRHFFF.dproj", "<Project><PropertyGroup></Project>");
  std::string dcu_cli = root_.MakeDir("dcu/cli"), dcu_srv = root_.MakeDir("dcu/srv");
  SetDcuFolders(dcu_cli, dcu_srv);
  testsupport::WriteFakePackager(bin_);
  root_.Write("bin/Paquel.ini", "[CONFIG]\r\nRUTAPROG=viejo\r\nVERFCONN=1\r\n");
  root_.Write("bin/Tornel.txt", "left by an earlier run");

  Outcome run = Tornel({root_.Path("src"), "19", "S"});
  EXPECT_EQ(run.status, 0) << run.output;

  // Project files.
  struct Want {
    const char* file;
    const char* version;
  } wants[] = {
      {"src/GN/CGNAAA/CGNAAA.dproj", "19.0.1.1"}, {"src/GN/MGNAAA/MGNAAA.dproj", "19.0.1.1"},
      {"src/GN/CGNBBB/CGNBBB.dproj", "19.0.6.1"}, {"src/GN/MGNBBB/MGNBBB.dproj", "19.0.6.1"},
      {"src/GN/CGNCCC/CGNCCC.dproj", "19.0.4.1"}, {"src/GN/MGNCCC/MGNCCC.dproj", "19.0.5.1"},
      {"src/GN/CGNDDD/CGNDDD.dproj", "19.0.1.1"}, {"src/RH/MRHEEE/MRHEEE.dproj", "19.0.6.1"},
  };
  for (const Want& w : wants) {
    std::string text = File(w.file);
    EXPECT_TRUE(Has(text, std::string("FileVersion=") + w.version)) << w.file;
    EXPECT_TRUE(Has(text, "ProductVersion=19.0.0.0")) << w.file;
    EXPECT_TRUE(Has(text, "<VerInfo_MajorVer>19</VerInfo_MajorVer>")) << w.file;
  }
  // Output folders on both sides of a pair, the icon on the server only, and
  // nothing of them on individual projects.
  EXPECT_TRUE(Has(File("src/GN/CGNAAA/CGNAAA.dproj"), "<DCC_DcuOutput>" + dcu_cli + "<"));
  EXPECT_TRUE(Has(File("src/GN/MGNAAA/MGNAAA.dproj"), "<DCC_DcuOutput>" + dcu_srv + "<"));
  EXPECT_TRUE(Has(File("src/GN/MGNAAA/MGNAAA.dproj"), std::string("<Icon_MainIcon>") + kIcono));
  EXPECT_FALSE(Has(File("src/GN/CGNAAA/CGNAAA.dproj"), kIcono));
  EXPECT_FALSE(Has(File("src/RH/MRHEEE/MRHEEE.dproj"), kIcono));
  EXPECT_TRUE(Has(File("src/RH/MRHEEE/MRHEEE.dproj"), "<DCC_DcuOutput>C:\\MORVEL\\DCU\\CLI<"));

  // Builds: each pair's client then server, in its own folder; then the
  // individual project; never the refused pairs or the broken file.
  auto builds = testsupport::BuildsLog(bin_);
  auto line = [&](const char* dir, const char* file) {
    return root_.Path(dir) + "|Release|" + file;
  };
  std::vector<std::string> want_builds = {
      line("src/GN/CGNAAA", "CGNAAA.dproj"), line("src/GN/MGNAAA", "MGNAAA.dproj"),
      line("src/GN/CGNBBB", "CGNBBB.dproj"), line("src/GN/MGNBBB", "MGNBBB.dproj"),
      line("src/RH/MRHEEE", "MRHEEE.dproj")};
  std::vector<std::string> sorted_builds = builds, sorted_want = want_builds;
  std::sort(sorted_builds.begin(), sorted_builds.end());
  std::sort(sorted_want.begin(), sorted_want.end());
  EXPECT_EQ(sorted_builds, sorted_want);
  ASSERT_EQ(builds.size(), 5u);
  EXPECT_EQ(builds.back(), line("src/RH/MRHEEE", "MRHEEE.dproj"));

  // The text report: one line per error row, without markup.
  std::string report = File("bin/Tornel.txt");
  EXPECT_TRUE(Has(report, "CGNBBB  No realizó compilación: UGNBBB.pas(12): error E2003: "
                          "Undeclared identifier: 'X'\n"));
  EXPECT_FALSE(Has(report, "otra"));
  EXPECT_TRUE(Has(report, "GGNCCC  Las versiones de los proyectos Cliente y Servidor son diferentes.\n"));
  EXPECT_TRUE(Has(report, "GGNDDD  El proyecto Servidor no ha sido encontrado.\n"));
  EXPECT_TRUE(Has(report, "MRHFFF  Error in \""));
  EXPECT_FALSE(Has(report, "<b>"));
  EXPECT_FALSE(Has(report, "earlier run"));
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4);

  // Hand-off: both keys, the rest kept, the packager started with "S".
  platform::IniFile ini(bin_ + "/Paquel.ini");
  EXPECT_EQ(ini.ReadString("CONFIG", "RUTAPROG", ""), root_.Path("src"));
  std::string dest = ini.ReadString("CONFIG", "RUTADEST", "");
  EXPECT_EQ(dest, root_.Path("src/Compilado"));
  EXPECT_EQ(ini.ReadString("CONFIG", "VERFCONN", ""), "1");
  EXPECT_EQ(testsupport::WaitForPackager(bin_), "S\n");

  // One progress line per stage and project on standard error.
  for (const char* part : {"Tornel: búsqueda: 4 proyectos cliente, 5 proyectos servidor",
                           "Tornel: análisis: GGNAAA: cliente 19.0.1.1, servidor 19.0.1.1",
                           "Tornel: análisis: GGNDDD: error: GGNDDD  El proyecto Servidor",
                           "Tornel: compilación: GGNAAA: correcto",
                           "Tornel: compilación: GGNBBB: con errores: CGNBBB  No realizó",
                           "Tornel: compilación: GGNCCC: no compilado:",
                           "Tornel: individual: MRHEEE: versión 19.0.6.1, compilación correcta",
                           "Tornel: individual: MRHFFF: error:", "Tornel: empaquetador: iniciado",
                           "Tornel: fin: 4 errores"})
    EXPECT_TRUE(Has(run.output, part)) << part << "\n" << run.output;

  // The settings and the table were written back at exit.
  EXPECT_TRUE(Has(File("bin/Tornel.xml"), "<INIC Name=\"VERBUILD\">99</INIC>"));
  MemTable props = MakeCdsProjProp();
  CargarTablaXml(props, bin_ + "/Tornel_cdsProjProp.xml");
  EXPECT_EQ(props.RecordCount(), 2);
}

TEST_F(TornelE2E, WithoutSVersionsStayButPairPropertiesAreWritten) {
  for (const char* flag : {"", "s", "SI"}) {
    TempDir fresh;
    std::string client = root_.Write(std::string("src") + flag + "/GN/CGNAAA/CGNAAA.dproj",
                                     DprojText(Version("18.0.5.3")));
    std::string server = root_.Write(std::string("src") + flag + "/GN/MGNAAA/MGNAAA.dproj",
                                     DprojText(Version("18.0.5.3")));
    std::string single = root_.Write(std::string("src") + flag + "/GN/MGNZZZ/MGNZZZ.dproj",
                                     DprojText(Version("18.0.5.3")));
    const std::string single_before = ReadAll(single);
    std::vector<std::string> args = {root_.Path(std::string("src") + flag), "19"};
    if (*flag) args.push_back(flag);
    Outcome run = Tornel(args);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Has(ReadAll(client), "FileVersion=18.0.5.3")) << flag;
    EXPECT_TRUE(Has(ReadAll(server), "FileVersion=18.0.5.3")) << flag;
    EXPECT_TRUE(Has(ReadAll(server), kIcono)) << flag;
    EXPECT_EQ(ReadAll(single), single_before) << flag;
    // The individual row still shows the version it would get.
    EXPECT_TRUE(Has(run.output, "individual: MGNZZZ: versión 19.0.1.1")) << run.output;
    EXPECT_FALSE(platform::FileExists(bin_ + "/Tornel.txt")) << File("bin/Tornel.txt");
  }
}

TEST_F(TornelE2E, RunsThatCannotStartLeaveOneRowAndEndWithZero) {
  struct Case {
    const char* name;
    std::function<std::string()> prepare;  // answers the folder argument
    const char* row;
  } cases[] = {
      {"no build script",
       [&] {
         std::remove((bin_ + "/rsvars.bat").c_str());
         return root_.MakeDir("src");
       },
       "El archivo Batch RSVARS.bat no fue encontrado en el directorio de la aplicación. Valide "
       "por favor."},
      {"folder missing", [&] { return root_.Path("nowhere"); },
       "El directorio ingresado no es válido o no existe."},
      {"folder is a file", [&] { return root_.Write("afile", "x"); },
       "El directorio ingresado no es válido o no existe."},
      {"no project files", [&] { return root_.MakeDir("empty"); },
       "No se encontraron proyectos válidos para compilar"},
  };
  testsupport::WriteFakePackager(bin_);
  root_.Write("bin/Paquel.ini", "[CONFIG]\n");
  for (const auto& c : cases) {
    testsupport::WriteFakeBuildScript(bin_);
    std::string folder = c.prepare();
    Outcome run = Tornel({folder, "19", "S"});
    EXPECT_EQ(run.status, 0) << c.name << run.output;
    EXPECT_EQ(File("bin/Tornel.txt"), std::string(c.row) + "\n") << c.name;
    EXPECT_TRUE(Has(run.output, c.row)) << c.name;
  }
  EXPECT_EQ(File("bin/Paquel.ini"), "[CONFIG]\n");  // nothing to hand over
  EXPECT_FALSE(platform::FileExists(bin_ + "/paquel.started"));
}

TEST_F(TornelE2E, BadProductVersionTouchesNothing) {
  Dproj("src/GN/CGNAAA/CGNAAA.dproj", Version("18.0.5.3"));
  root_.Write("bin/Tornel.txt", "kept");
  for (const char* bad : {"abc", "19x", ""}) {
    Outcome run = Tornel({root_.Path("src"), bad, "S"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.output, std::string("'") + bad + "' is not a valid integer value")) << run.output;
  }
  EXPECT_EQ(File("bin/Tornel.txt"), "kept");
  EXPECT_FALSE(platform::FileExists(bin_ + "/Tornel.xml"));
  EXPECT_TRUE(testsupport::BuildsLog(bin_).empty());
  EXPECT_TRUE(Has(File("src/GN/CGNAAA/CGNAAA.dproj"), "FileVersion=18.0.5.3"));
}

TEST_F(TornelE2E, WindowWithoutADisplaySaysSoAndEnds) {
  // The window's mode, started where there is no display at all.
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (const char* v = std::getenv(name)) saved.emplace_back(name, v);
    ::unsetenv(name);
  }
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"ignored"}}) {
    Outcome run = Tornel(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.output, "no hay pantalla disponible")) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
  }
  for (const auto& [name, value] : saved) ::setenv(name.c_str(), value.c_str(), 1);
  EXPECT_FALSE(platform::FileExists(bin_ + "/Tornel.xml"));
}

TEST_F(TornelE2E, ServerOnlyTreeIsHandedOverFromItsFirstServer) {
  Dproj("src/RH/MRHAAA/MRHAAA.dproj", Version("19.0.1.1"));
  testsupport::WriteFakePackager(bin_);
  root_.Write("bin/Paquel.ini", "[CONFIG]\nRUTADEST=viejo\n");
  Outcome run = Tornel({root_.Path("src"), "19"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_FALSE(platform::FileExists(bin_ + "/Tornel.txt"));
  EXPECT_EQ(platform::IniFile(bin_ + "/Paquel.ini").ReadString("CONFIG", "RUTADEST", ""),
            root_.Path("src/Compilado"));
  EXPECT_EQ(testsupport::WaitForPackager(bin_), "S\n");
}

TEST_F(TornelE2E, RelativeFolderResolvesForEveryBuild) {
  Dproj("src/GN/CGNAAA/CGNAAA.dproj", Version("19.0.1.1"));
  Dproj("src/GN/MGNAAA/MGNAAA.dproj", Version("19.0.1.1"));
  Dproj("src/GN/CGNBBB/CGNBBB.dproj", Version("19.0.1.1"));
  Dproj("src/GN/MGNBBB/MGNBBB.dproj", Version("19.0.1.1"));
  Outcome run = Tornel({"src", "19", "S"}, root_.path());
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(testsupport::BuildsLog(bin_).size(), 4u);
  EXPECT_FALSE(platform::FileExists(bin_ + "/Tornel.txt")) << File("bin/Tornel.txt");
}

TEST_F(TornelE2E, BuildScriptThatCannotRunIsAnErrorRow) {
  Dproj("src/RH/MRHAAA/MRHAAA.dproj", Version("19.0.1.1"));
  ::chmod((bin_ + "/rsvars.bat").c_str(), 0644);
  Outcome run = Tornel({root_.Path("src"), "19"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(File("bin/Tornel.txt"), "MRHAAA  No realizó compilación: Permission denied\n");
}

TEST_F(TornelE2E, UnwritablePackagerSettingsEndTheRunWithStatusOne) {
  Dproj("src/GN/CGNAAA/CGNAAA.dproj", Version("19.0.1.1"));  // without its server
  testsupport::WriteFakePackager(bin_);
  std::string ini = root_.Write("bin/Paquel.ini", "[CONFIG]\n");
  ::chmod(ini.c_str(), 0444);
  Outcome run = Tornel({root_.Path("src"), "19"});
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(Has(run.output, "Tornel: error: Cannot create file \"" + ini)) << run.output;
  // The rows recorded before the failure are still reported.
  EXPECT_EQ(File("bin/Tornel.txt"), "GGNAAA  El proyecto Servidor no ha sido encontrado.\n");
  EXPECT_EQ(File("bin/Paquel.ini"), "[CONFIG]\n");
}

}  // namespace
}  // namespace tornel
