#include "tornel/driver/tornel_core.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "platform/dates.h"
#include "platform/files.h"
#include "testsupport/dproj_fixture.h"
#include "testsupport/fake_tools.h"
#include "testsupport/temp_dir.h"
#include "tornel/build/error_report.h"
#include "tornel/settings/table_file.h"

namespace tornel {
namespace {

using testsupport::DprojSpec;
using testsupport::DprojText;
using testsupport::ReadAll;
using testsupport::TempDir;

struct RecordedMessages : IMessages {
  std::vector<std::string> errors, infos;
  void ShowError(const std::string& t) override { errors.push_back(t); }
  void ShowInformation(const std::string& t) override { infos.push_back(t); }
};

// Records the calls of every progress display made, in one list.
struct RecordedProgress : IProgress {
  std::vector<std::string>* calls;
  std::function<void()> on_item_done;
  void Inicializar(int n, bool reset) override {
    calls->push_back("Inicializar " + std::to_string(n) + (reset ? " reset" : ""));
  }
  void MensajeDelProceso(const std::string& v) override { calls->push_back("Mensaje " + v); }
  void NombreItemActual(const std::string& v) override { calls->push_back("Item " + v); }
  void ItemActualTerminado() override {
    calls->push_back("Terminado");
    if (on_item_done) on_item_done();
  }
  void Finalizar() override { calls->push_back("Finalizar"); }
};

std::vector<std::string> ErrorRows(const MemTable& t) {
  std::vector<std::string> rows;
  for (int r = 0; r < t.RecordCount(); ++r)
    rows.push_back(std::get<std::string>(t.Value(r, t.FieldIndex("TXT_ERRO"))));
  return rows;
}

class CoreTest : public ::testing::Test {
 protected:
  CoreTest() {
    bin_ = root_.MakeDir("bin");
    testsupport::WriteFakeBuildScript(bin_);
  }
  std::unique_ptr<TornelCore> MakeCore() {
    TornelCore::Hooks hooks;
    hooks.messages = &messages_;
    hooks.progress = [this]() -> std::unique_ptr<IProgress> {
      auto p = std::make_unique<RecordedProgress>();
      p->calls = &progress_;
      p->on_item_done = on_item_done_;
      return p;
    };
    hooks.status = [this](const std::string& line) { status_.push_back(line); };
    return std::make_unique<TornelCore>(bin_ + "/Tornel", hooks);
  }
  // A client/server pair below src/GN.
  void WritePair(const std::string& code, const DprojSpec& client, const DprojSpec& server) {
    root_.Write("src/GN/C" + code + "/C" + code + ".dproj", DprojText(client));
    root_.Write("src/GN/M" + code + "/M" + code + ".dproj", DprojText(server));
  }

  TempDir root_;
  std::string bin_;
  RecordedMessages messages_;
  std::vector<std::string> progress_;
  std::vector<std::string> status_;
  std::function<void()> on_item_done_;
};

TEST_F(CoreTest, FirstStartUsesDefaultsAndCloseWritesTheFiles) {
  auto core = MakeCore();
  const int yy = platform::CurrentTwoDigitYear();
  EXPECT_EQ(core->EdtRutFuen, "");
  EXPECT_TRUE(core->FSlFiltProj.empty());
  EXPECT_EQ(core->SpnEdtVerProd, yy);
  EXPECT_EQ(core->SpnEdtVerProdMax, yy + 4);
  EXPECT_TRUE(core->chkVerRelease);
  EXPECT_FALSE(core->chkVerBuild);
  EXPECT_EQ(core->sedVerBuild, 99);
  EXPECT_FALSE(core->VerProjProp);
  ASSERT_EQ(core->cdsProjProp.RecordCount(), 3);
  core->cdsProjProp.First();
  EXPECT_EQ(core->cdsProjProp.Text("COD_PROP"), "DCU_OUTPUT_CLI");
  EXPECT_EQ(core->cdsProjProp.Text("VAL_PROP"), "C:\\MORVEL\\DCU\\CLI");

  core->EdtRutFuen = "/fuentes";
  core->FSlFiltProj = {"MGN A,B", "^G"};
  ASSERT_TRUE(core->FormDestroy());
  const std::string y = std::to_string(yy);
  EXPECT_EQ(ReadAll(bin_ + "/Tornel.xml"),
            "<Tornel>\n"
            "  <INIC>\n"
            "    <INIC Name=\"RUTPROJ\">/fuentes</INIC>\n"
            "    <INIC Name=\"FILTPROJ\">\"MGN A,B\",^G</INIC>\n"
            "    <INIC Name=\"VERPROD\">" + y + "</INIC>\n"
            "    <INIC Name=\"CHKRELEASE\">True</INIC>\n"
            "    <INIC Name=\"CHKBUILD\">False</INIC>\n"
            "    <INIC Name=\"VERBUILD\">99</INIC>\n"
            "  </INIC>\n"
            "</Tornel>\n");
  EXPECT_TRUE(platform::FileExists(bin_ + "/Tornel_cdsProjProp.xml"));

  auto again = MakeCore();
  EXPECT_EQ(again->EdtRutFuen, "/fuentes");
  EXPECT_EQ(again->FSlFiltProj, (std::vector<std::string>{"MGN A,B", "^G"}));
  EXPECT_EQ(again->cdsProjProp.RecordCount(), 3);
}

TEST_F(CoreTest, SavedValuesAreClampedAndHandKeptKeysSurvive) {
  const int yy = platform::CurrentTwoDigitYear();
  struct Case {
    int verprod, verbuild, shown_verprod, shown_verbuild;
  } cases[] = {{yy - 3, -5, yy, 0}, {yy + 9, 1234567, yy + 4, 999999}, {yy + 2, 7, yy + 2, 7}};
  for (const auto& c : cases) {
    root_.Write("bin/Tornel.xml",
                "<Tornel><INIC><INIC Name=\"VERPROD\">" + std::to_string(c.verprod) +
                    "</INIC><INIC Name=\"VERBUILD\">" + std::to_string(c.verbuild) +
                    "</INIC><INIC Name=\"VER_PROJ_PROP\">TRUE</INIC>"
                    "<INIC Name=\"FILTPROJ\">uno dos,\"tres cuatro\"</INIC></INIC></Tornel>");
    auto core = MakeCore();
    EXPECT_EQ(core->SpnEdtVerProd, c.shown_verprod);
    EXPECT_EQ(core->sedVerBuild, c.shown_verbuild);
    EXPECT_TRUE(core->VerProjProp);
    EXPECT_EQ(core->FSlFiltProj, (std::vector<std::string>{"uno", "dos", "tres cuatro"}));
    ASSERT_TRUE(core->FormDestroy());
    std::string saved = ReadAll(bin_ + "/Tornel.xml");
    EXPECT_NE(saved.find("<INIC Name=\"VER_PROJ_PROP\">TRUE</INIC>"), std::string::npos);
    EXPECT_NE(saved.find("<INIC Name=\"VERPROD\">" + std::to_string(c.shown_verprod) + "<"),
              std::string::npos);
  }
}

TEST_F(CoreTest, UnreadableTableFileIsShownKeptAsideAndReseededNextTime) {
  root_.Write("bin/Tornel_cdsProjProp.xml", "<table><rows><row");
  {
    auto core = MakeCore();
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_NE(messages_.errors[0].find("Tornel_cdsProjProp.xml"), std::string::npos);
    EXPECT_EQ(core->cdsProjProp.RecordCount(), 0);
    EXPECT_EQ(ReadAll(bin_ + "/Tornel_cdsProjProp.xml.bak"), "<table><rows><row");
    EXPECT_FALSE(platform::FileExists(bin_ + "/Tornel_cdsProjProp.xml"));
  }
  EXPECT_EQ(MakeCore()->cdsProjProp.RecordCount(), 3);
}

TEST_F(CoreTest, VersionRules) {
  auto core = MakeCore();
  struct Case {
    TInfVersion current;
    bool inc_release, build_checked, mod_version;
    TInfVersion pair, individual;
  } cases[] = {
      {{18, 0, 5, 3}, true, false, true, {19, 0, 1, 1}, {19, 0, 1, 1}},
      {{19, 0, 5, 3}, true, false, true, {19, 0, 6, 1}, {19, 0, 6, 1}},
      {{20, 0, 5, 3}, true, false, true, {19, 0, 6, 1}, {19, 0, 6, 1}},
      {{19, 0, 5, 3}, false, false, true, {19, 0, 5, 1}, {19, 0, 6, 1}},
      {{19, 0, 5, 3}, true, true, true, {19, 0, 6, 99}, {19, 0, 6, 1}},
      {{18, 2, 5, 3}, true, false, false, {18, 2, 5, 3}, {19, 0, 1, 1}},
      {{19, 2, 5, 3}, true, false, true, {19, 0, 6, 1}, {19, 0, 6, 1}},
  };
  core->gSmVerProduct = 19;
  core->sedVerBuild = 99;
  for (const auto& c : cases) {
    core->chkVerRelease = c.inc_release;
    core->chkVerBuild = c.build_checked;
    core->SetModVersion(c.mod_version);
    TInfProj pair, single;
    pair.FileVersion = single.FileVersion = c.current;
    core->CalcularVersionPar(pair);
    core->CalcularVersionIndividual(single);
    EXPECT_EQ(pair.FileVersion, c.pair) << c.current.ToString();
    EXPECT_EQ(single.FileVersion, c.individual) << c.current.ToString();
    EXPECT_EQ(single.ProductVersion, (TInfVersion{19, 0, 0, 0}));
    EXPECT_EQ(pair.ProductVersion, (c.mod_version ? TInfVersion{19, 0, 0, 0} : TInfVersion{}));
  }
}

TEST_F(CoreTest, PairChecksAddTheirErrorsAndOnlyValidPairsAreBuilt) {
  auto core = MakeCore();
  struct Row {
    const char* code;
    bool uses_packages;
    const char* packages;
    const char* new_client;
    const char* new_server;
  } rows[] = {
      {"GGNAAA", true, "smorvelopr; SMGNREGLAOP", "19.0.1.1", "19.0.1.1"},
      {"GGNBBB", false, "SMORVELOPR;XPKG", "19.0.1.1", "19.0.1.1"},
      {"GGNCCC", false, "XPKG", "19.0.1.1", "19.0.2.1"},
      {"GGNDDD", true, "SMORVELOPR;;SMGNREGLAOP;", "19.0.1.1", "19.0.1.1"},
      {"GGNEEE", true, "  ", "19.0.1.1", "19.0.1.1"},
  };
  for (const Row& r : rows) {
    std::string tail = std::string(r.code).substr(1);
    std::string dir = root_.MakeDir("src/" + tail);
    core->CdsGrpFuente.Append();
    core->CdsGrpFuente.SetText("COD_GSRC", r.code);
    core->CdsGrpFuente.SetText("NOM_PCLI", "C" + tail);
    core->CdsGrpFuente.SetText("NOM_PSRV", "M" + tail);
    core->CdsGrpFuente.SetText("RUT_CLIE", dir + "/C" + tail + ".dproj");
    core->CdsGrpFuente.SetText("RUT_SERV", dir + "/M" + tail + ".dproj");
    core->CdsGrpFuente.SetBool("USA_PKGE", r.uses_packages);
    core->CdsGrpFuente.SetText("PAC_KAGE", r.packages);
    core->CdsGrpFuente.SetText("NEW_VCLI", r.new_client);
    core->CdsGrpFuente.SetText("NEW_VSER", r.new_server);
    core->CdsGrpFuente.Post();
  }
  core->SetCancelProc(false);
  core->CompilarProyectos();
  EXPECT_EQ(ErrorRows(core->CdsErrores),
            (std::vector<std::string>{
                "<b>GGNBBB</b>  El proyecto Cliente no usa paquetes.",
                "<b>CGNBBB</b>  Paquete XPKG vinculado sin soporte en versión actual.",
                "<b>GGNCCC</b>  El proyecto Cliente no usa paquetes.",
                "<b>CGNCCC</b>  Paquete XPKG vinculado sin soporte en versión actual.",
                "<b>GGNCCC</b>  Las versiones de los proyectos Cliente y Servidor son diferentes.",
                "<b>CGNDDD</b>  Paquete  vinculado sin soporte en versión actual.",
                "<b>GGNEEE</b>  El proyecto Cliente no usa paquetes.",
                // Blanks after the last separator are a piece of their own.
                "<b>CGNEEE</b>  Paquete    vinculado sin soporte en versión actual.",
            }));
  EXPECT_EQ(testsupport::BuildsLog(bin_),
            (std::vector<std::string>{root_.Path("src/GNAAA") + "|Release|CGNAAA.dproj",
                                      root_.Path("src/GNAAA") + "|Release|MGNAAA.dproj"}));
  EXPECT_TRUE(core->gBoErrores);
}

TEST_F(CoreTest, EachBuildIsJudgedOnItsOwnOutput) {
  auto core = MakeCore();
  std::string dir = root_.MakeDir("src/CGNX");
  std::string big(1 << 20, '.');
  for (size_t i = 80; i < big.size(); i += 81) big[i] = '\n';
  root_.Write("src/CGNX/CGNX.dproj.salida", big + "\nUGNX.pas(7): error E2029: ';' expected\r\n");
  core->CompilarProyecto(dir + "/CGNX.dproj", "CGNX");
  core->CompilarProyecto(dir + "/OTHER.dproj", "OTHER");  // prints nothing
  EXPECT_EQ(ErrorRows(core->CdsErrores),
            (std::vector<std::string>{
                "<b>CGNX</b>  No realizó compilación: UGNX.pas(7): error E2029: ';' expected"}));
  EXPECT_EQ(core->MmoLogComp.Text(), "");  // the log holds the last command only

  std::remove((bin_ + "/rsvars.bat").c_str());
  core->CompilarProyecto(dir + "/CGNX.dproj", "CGNX");
  ASSERT_EQ(core->CdsErrores.RecordCount(), 2);
  EXPECT_EQ(ErrorRows(core->CdsErrores)[1].rfind("<b>CGNX</b>  No realizó compilación: ", 0), 0u);
  EXPECT_GT(ErrorRows(core->CdsErrores)[1].size(),
            std::string("<b>CGNX</b>  No realizó compilación: ").size());
}

TEST_F(CoreTest, APairIsBuiltAgainstItsOwnServerOnly) {
  auto core = MakeCore();
  DprojSpec spec;
  spec.file_version = "19.0.1.1";
  root_.Write("src/CGNABC/CGNABC.dproj", DprojText(spec));
  root_.Write("src/MGNABC1/MGNABC1.dproj", DprojText(spec));
  root_.Write("src/MGNABC/MGNABC.dproj", DprojText(spec));
  core->gSlClieProy = {root_.Path("src/CGNABC/CGNABC.dproj")};
  core->gSlServProy = {root_.Path("src/MGNABC1/MGNABC1.dproj"), root_.Path("src/MGNABC/MGNABC.dproj")};
  core->gSmVerProduct = 19;
  core->SetCancelProc(false);
  core->AnalizarProyectosCliente();
  EXPECT_TRUE(core->CdsErrores.RecordCount() == 0) << ErrorRows(core->CdsErrores)[0];
  ASSERT_EQ(core->CdsGrpFuente.RecordCount(), 1);
  core->CdsGrpFuente.First();
  EXPECT_EQ(core->CdsGrpFuente.Text("RUT_SERV"), root_.Path("src/MGNABC/MGNABC.dproj"));
  EXPECT_EQ(core->gSlServProy, std::vector<std::string>{root_.Path("src/MGNABC1/MGNABC1.dproj")});
  EXPECT_FALSE(core->RetirarProyectoServidor(root_.Path("src/MGNABC/MGNABC.dproj")));
}

TEST_F(CoreTest, InteractiveRunReportsProgressAndItsSummary) {
  DprojSpec client;
  client.description = "Planilla";
  client.file_version = "18.0.5.3";
  client.packages = "SMORVELOPR";
  WritePair("GNAAA", client, client);
  auto core = MakeCore();
  core->EdtRutFuen = root_.Path("src");
  core->SpnEdtVerProd = 19;
  auto r = core->EjecutarCompilacion(false);
  EXPECT_EQ(r.resultado, TornelCore::Resultado::kExitosa);
  EXPECT_EQ(messages_.infos, std::vector<std::string>{"El proceso terminó exitosamente."});
  EXPECT_EQ(progress_, (std::vector<std::string>{
                           "Inicializar 1 reset",
                           "Mensaje Analizando los Proyectos Cliente encontrados...",
                           "Item Proyecto encontrado: Planilla",
                           "Terminado",
                           "Finalizar",
                           "Inicializar 1 reset",
                           "Mensaje Realizando compilación de proyectos válidos...",
                           "Item Compilando Proyecto: GGNAAA Planilla",
                           "Terminado",
                           "Finalizar",
                       }));
  EXPECT_EQ(testsupport::BuildsLog(bin_).size(), 2u);
  EXPECT_TRUE(core->CancelProc());  // idle again
  // The window's run always writes the versions.
  EXPECT_NE(ReadAll(root_.Path("src/GN/CGNAAA/CGNAAA.dproj")).find("FileVersion=19.0.1.1"),
            std::string::npos);
}

TEST_F(CoreTest, ReadOnlyProjectsAreMadeWritableAndRewritten) {
  DprojSpec spec;
  spec.file_version = "18.0.5.3";
  WritePair("GNAAA", spec, spec);
  std::string client = root_.Path("src/GN/CGNAAA/CGNAAA.dproj");
  std::string unit = root_.Write("src/GN/CGNAAA/sub/UGNAAA.pas", "unit UGNAAA;");
  std::string single = root_.Write("src/GN/MGNZZZ/MGNZZZ.dproj", DprojText(spec));
  for (const std::string& f : {client, unit, single}) ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
  auto core = MakeCore();
  core->EdtRutFuen = root_.Path("src");
  core->SpnEdtVerProd = 19;
  EXPECT_EQ(core->EjecutarCompilacion(false).resultado, TornelCore::Resultado::kExitosa);
  for (const std::string& f : {client, single}) {
    EXPECT_NE(ReadAll(f).find("FileVersion=19.0.1.1"), std::string::npos) << f;
    EXPECT_FALSE(TDprojParser::FileIsReadOnly(f)) << f;
  }
  // The whole folder of a read-only client is made writable.
  EXPECT_FALSE(TDprojParser::FileIsReadOnly(unit));
}

TEST_F(CoreTest, InteractiveRunChecksAndErrorSummary) {
  auto core = MakeCore();
  core->EdtRutFuen = root_.Path("nowhere");
  EXPECT_TRUE(core->EjecutarCompilacion(false).enfocar_directorio);
  EXPECT_EQ(messages_.errors.back(), "El directorio ingresado no es válido o no existe.");

  core->EdtRutFuen = root_.MakeDir("empty");
  EXPECT_EQ(core->EjecutarCompilacion(false).resultado, TornelCore::Resultado::kConErrores);
  EXPECT_EQ(messages_.errors.back(), "El proceso terminó con errores. Valide por favor.");
  EXPECT_EQ(ErrorRows(core->CdsErrores),
            std::vector<std::string>{"No se encontraron proyectos válidos para compilar"});

  std::remove((bin_ + "/rsvars.bat").c_str());
  EXPECT_EQ(core->EjecutarCompilacion(false).resultado, TornelCore::Resultado::kNoIniciada);
  EXPECT_EQ(messages_.errors.back(),
            "El archivo Batch RSVARS.bat no fue encontrado en el directorio de la aplicación. "
            "Valide por favor.");
  EXPECT_EQ(core->CdsErrores.RecordCount(), 0);  // the results were emptied first
}

TEST_F(CoreTest, CancelEndsTheStageAfterTheCurrentProjectAndSkipsTheRest) {
  DprojSpec spec;
  spec.file_version = "19.0.1.1";
  WritePair("GNAAA", spec, spec);
  WritePair("GNBBB", spec, spec);
  root_.Write("src/GN/MGNZZZ/MGNZZZ.dproj", DprojText(spec));
  auto core = MakeCore();
  core->EdtRutFuen = root_.Path("src");
  core->SpnEdtVerProd = 19;
  TornelCore* raw = core.get();
  on_item_done_ = [raw] { raw->SetCancelProc(true); };
  auto r = core->EjecutarCompilacion(false);
  EXPECT_EQ(r.resultado, TornelCore::Resultado::kCancelada);
  EXPECT_EQ(messages_.infos, std::vector<std::string>{"El proceso fue cancelado."});
  EXPECT_EQ(core->CdsGrpFuente.RecordCount(), 1);  // one pair analysed, the other not touched
  EXPECT_TRUE(testsupport::BuildsLog(bin_).empty());
  EXPECT_EQ(std::count(progress_.begin(), progress_.end(), "Finalizar"), 1);
}

TEST_F(CoreTest, ASecondRunIsRefusedWhileOneIsInProgress) {
  DprojSpec spec;
  spec.file_version = "19.0.1.1";
  WritePair("GNAAA", spec, spec);
  root_.Write("src/GN/CGNAAA/CGNAAA.dproj.salida", "x\n");
  auto core = MakeCore();
  core->EdtRutFuen = root_.Path("src");
  core->SpnEdtVerProd = 19;
  TornelCore* raw = core.get();
  std::vector<TornelCore::Resultado> nested;
  on_item_done_ = [&] {
    nested.push_back(raw->EjecutarCompilacion(false).resultado);
    raw->EdtRutFuenChange();  // must not empty the tables of the running run
  };
  EXPECT_EQ(core->EjecutarCompilacion(false).resultado, TornelCore::Resultado::kExitosa);
  EXPECT_EQ(nested, (std::vector<TornelCore::Resultado>(2, TornelCore::Resultado::kNoIniciada)));
  EXPECT_EQ(core->CdsGrpFuente.RecordCount(), 1);
  EXPECT_EQ(testsupport::BuildsLog(bin_).size(), 2u);
}

}  // namespace
}  // namespace tornel
