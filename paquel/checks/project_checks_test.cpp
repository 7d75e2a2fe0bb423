#include "paquel/checks/project_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "testsupport/dproj_fixture.h"
#include "testsupport/pe_file.h"
#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using testsupport::DprojSpec;
using testsupport::DprojText;
using testsupport::PeFileSpec;
using testsupport::TempDir;
using testsupport::WritePeFile;

constexpr char kBase[] = "'$(Base)'!=''";
constexpr char kCfg1[] = "'$(Cfg_1)'!=''";
constexpr char kRelease[] = "RELEASE;$(DCC_Define)";
constexpr char kDebug[] = "DEBUG;$(DCC_Define)";
constexpr char kKeys[] =
    "CompanyName=Morvel S.A.C.;FileDescription=Planillas;FileVersion=24.0.3.1;"
    "LegalCopyright=Morvel;LegalTrademarks=Morvel;ProductVersion=24.0.0.0;Comments=Prueba";

std::string Cond(int cfg) { return "'$(Cfg_" + std::to_string(cfg) + ")'!=''"; }

// A property group; condition nullopt leaves the attribute out.
std::string Group(std::optional<std::string> condition, const std::string& properties) {
  std::string open = condition ? "<PropertyGroup Condition=\"" + *condition + "\">"
                               : std::string("<PropertyGroup>");
  return "\r\n    " + open + properties + "\r\n    </PropertyGroup>";
}
std::string Prop(const std::string& name, const std::string& value) {
  return "\r\n        <" + name + ">" + value + "</" + name + ">";
}
std::string ProjectXml(const std::string& groups) {
  return "<Project xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">" + groups +
         "\r\n</Project>\r\n";
}

// A client project: base group with icon, keys and packages switched off,
// then the numbered configuration groups in order.
struct Cfg {
  std::optional<std::string> define;
  std::optional<std::string> use_packages;
};
std::string ClientXml(const std::vector<Cfg>& cfgs, const std::string& keys = kKeys,
                      const std::string& base_packages = "false") {
  std::string groups = Group(kBase, Prop("Icon_MainIcon", "C:\\Morvel\\morvel.ico") +
                                        Prop("UsePackages", base_packages) +
                                        Prop("VerInfo_Keys", keys));
  for (size_t i = 0; i < cfgs.size(); ++i) {
    std::string props;
    if (cfgs[i].define) props += Prop("DCC_Define", *cfgs[i].define);
    if (cfgs[i].use_packages) props += Prop("UsePackages", *cfgs[i].use_packages);
    groups += Group(Cond(static_cast<int>(i) + 1), props);
  }
  return ProjectXml(groups);
}

// The EPaquel message of a call; empty when it passes.
std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EPaquel& e) {
    return e.what();
  }
  return {};
}

std::string Vacio(const std::string& tipo, const std::string& key) {
  return "En la version del " + tipo + " el \"" + key + "\" se encuentra vacio, verifique...";
}
std::string Incompleto(const std::string& tipo) {
  return "En la version del " + tipo +
         " el \"FileDescription\" se encuentra vacio o el valor no esta completo, verifique...";
}

// --- ValidarDproj ---------------------------------------------------------

TEST(ValidarDproj, ReadsFromGroupWithExactCondition) {
  TempDir t;
  DprojSpec proyecto;
  proyecto.icon = "C:\\Morvel\\Iconos\\MGNABCDE.ico";
  const std::string file = t.Write("p.dproj", DprojText(proyecto));
  struct Case {
    std::string nodo, condicion, expresion, expected;
  } cases[] = {
      {"Icon_MainIcon", kBase, "", proyecto.icon},
      {"Icon_MainIcon", kBase, "(morvel|MGNABCDE)", "1"},
      {"Icon_MainIcon", kBase, "mgnabcde\\.ICO$", "1"},
      {"Icon_MainIcon", kBase, "projecticon", "0"},
      {"OutputExt", kBase, "", "exe"},
      {"DCC_Define", "'$(Cfg_2)'!=''", "", "RELEASE;$(DCC_Define)"},
      {"Cfg_2", "'$(Config)'=='Release' or '$(Cfg_2)'!=''", "", "true"},
      {"UsePackages", "'$(Cfg_2)'!=''", "", "0"},        // not in that group
      {"Icon_MainIcon", "'$(base)'!=''", "", "0"},       // condition case differs
      {"Icon_MainIcon", " '$(Base)'!=''", "", "0"},      // not trimmed
      {"icon_mainicon", kBase, "", "0"},                 // element names respect case
      {"Config", "", "", "0"},                           // no attribute never qualifies
      {"Nada", kBase, "", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nodo + " in " + c.condicion + " ~ " + c.expresion);
    EXPECT_EQ(ValidarDproj(file, c.nodo, c.condicion, c.expresion, false, 0), c.expected);
  }
}

TEST(ValidarDproj, FirstGroupHoldingTheElementDecides) {
  TempDir t;
  const std::string file = t.Write(
      "p.dproj", ProjectXml(Group(kBase, Prop("OutputExt", "exe")) +
                            Group("'$(Base)'!=''", "\r\n        <!-- icono -->" +
                                                       Prop("Icon_MainIcon", "primero.ico") +
                                                       Prop("Icon_MainIcon", "morvel2.ico")) +
                            Group(kBase, Prop("Icon_MainIcon", "morvel.ico"))));
  EXPECT_EQ(ValidarDproj(file, "Icon_MainIcon", kBase, "", false, 0), "primero.ico");
  // The first group with the element is the only one judged.
  EXPECT_EQ(ValidarDproj(file, "Icon_MainIcon", kBase, "morvel", false, 0), "0");
}

TEST(ValidarDproj, NoProjectElementWhenFileDoesNotStartWithIt) {
  TempDir t;
  const std::string body = ProjectXml(Group(kBase, Prop("OutputExt", "exe")));
  for (const std::string& lead :
       {std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"), std::string("<!-- c -->")}) {
    const std::string file = t.Write("p.dproj", lead + body);
    EXPECT_EQ(ValidarDproj(file, "OutputExt", kBase, "", false, 0), "0") << lead;
  }
  const std::string plain = t.Write("q.dproj", body);
  EXPECT_EQ(ValidarDproj(plain, "OutputExt", kBase, "", false, 0), "exe");
}

TEST(ValidarDproj, TextReadThroughTheCodePage) {
  TempDir t;
  struct Case {
    std::string raw, expected;
  } cases[] = {
      {"Compa\xF1\xED" "a", "Compañía"},     // Windows-1252 bytes
      {"Compañía", "Compañía"},               // UTF-8 stays
      {"A &amp; B &lt;x&gt;", "A & B <x>"},   // references resolved
      {"<![CDATA[a<b]]>", "a<b"},
      {" ", " "},                             // a blank is text
  };
  for (const auto& c : cases) {
    const std::string file =
        t.Write("p.dproj", ProjectXml(Group(kBase, Prop("Icon_MainIcon", c.raw))));
    EXPECT_EQ(ValidarDproj(file, "Icon_MainIcon", kBase, "", false, 0), c.expected) << c.raw;
  }
  // A project file with a UTF-16 byte-order mark reads the same.
  const std::string utf8 = ProjectXml(Group(kBase, Prop("Icon_MainIcon", "morvel.ico")));
  std::string utf16 = "\xFF\xFE";
  for (char ch : utf8) utf16 += std::string{ch, '\0'};
  const std::string file = t.Write("u.dproj", utf16);
  EXPECT_EQ(ValidarDproj(file, "Icon_MainIcon", kBase, "", false, 0), "morvel.ico");
}

TEST(ValidarDproj, ElementWithoutTextIsAConversionError) {
  TempDir t;
  for (const std::string& element :
       {std::string("<Icon_MainIcon></Icon_MainIcon>"), std::string("<Icon_MainIcon/>"),
        std::string("<Icon_MainIcon><!-- nada --></Icon_MainIcon>"),
        std::string("<Icon_MainIcon><Ruta>x</Ruta></Icon_MainIcon>")}) {
    const std::string file =
        t.Write("p.dproj", ProjectXml(Group(kBase, "\r\n        " + element)));
    SCOPED_TRACE(element);
    try {
      ValidarDproj(file, "Icon_MainIcon", kBase, "morvel", false, 0);
      ADD_FAILURE() << "no error";
    } catch (const platform::EConvertError& e) {
      EXPECT_NE(std::string(e.what()).find("Icon_MainIcon"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
    }
  }
}

TEST(ValidarDproj, MissingOrMalformedFileFailsNamingIt) {
  TempDir t;
  const std::string missing = t.Path("MGNABCDE.dproj");
  const std::string broken = t.Write("broken.dproj", "<Project>\r\n  <PropertyGroup>\r\n</Project>");
  const std::string empty = t.Write("empty.dproj", "");
  for (const std::string& file : {missing, broken, empty}) {
    try {
      ValidarDproj(file, "Icon_MainIcon", kBase, "", false, 0);
      ADD_FAILURE() << "no error for " << file;
    } catch (const platform::Error& e) {
      EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(ValidarDproj(broken, "x", kBase, "", false, 0), platform::EDOMParseError);
  EXPECT_THROW(ValidarDproj(missing, "x", kBase, "", false, 0), platform::EFOpenError);
}

TEST(ValidarDproj, ReleaseConfigurationSearch) {
  TempDir t;
  struct Case {
    const char* name;
    std::vector<Cfg> cfgs;
    std::string expected;
  } cases[] = {
      {"first", {{kRelease, {}}}, Cond(1)},
      {"third", {{kDebug, {}}, {"TEST", {}}, {kRelease, {}}}, Cond(3)},
      {"marker any case, blanks around", {{kDebug, {}}, {"  release;$(dcc_define)\t", {}}}, Cond(2)},
      {"Cfg_1 without define", {{{}, "true"}, {kRelease, {}}}, "0"},
      {"a gap ends the search", {{kDebug, {}}, {{}, {}}, {kRelease, {}}}, "0"},
      {"marker with more defines is not it", {{"RELEASE;X;$(DCC_Define)", {}}}, "0"},
      {"no release at all", {{kDebug, {}}, {kDebug, {}}}, "0"},
  };
  for (const auto& c : cases) {
    const std::string file = t.Write("p.dproj", ClientXml(c.cfgs));
    EXPECT_EQ(ValidarDproj(file, "DCC_Define", kCfg1, "", true, 0), c.expected) << c.name;
  }
}

TEST(ValidarDproj, ReleaseSearchCountsUpToTwenty) {
  TempDir t;
  for (int release : {9, 10, 11, 20, 21}) {
    std::vector<Cfg> cfgs(static_cast<size_t>(release), Cfg{kDebug, {}});
    cfgs.back().define = kRelease;
    const std::string file = t.Write("p.dproj", ClientXml(cfgs));
    EXPECT_EQ(ValidarDproj(file, "DCC_Define", kCfg1, "", true, 0),
              release <= 20 ? Cond(release) : "0")
        << release;
  }
}

// --- VersionDproj ----------------------------------------------------------

TEST(VersionDproj, FirstFailingKeyInOrder) {
  struct Case {
    std::string keys, tipo, expected;
  } cases[] = {
      {kKeys, "servidor", ""},
      {"CompanyName=M;FileDescription=12345;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "servidor", ""},
      {"CompanyName=M;FileDescription=1234;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "servidor", Incompleto("servidor")},
      // Characters are counted, not bytes.
      {"CompanyName=M;FileDescription=Núñez;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "cliente", ""},
      {"CompanyName=M;FileDescription=Peña;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "cliente", Incompleto("cliente")},
      {"CompanyName=;FileDescription=Planillas;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=",
       "servidor", Vacio("servidor", "CompanyName")},
      {"FileDescription=Planillas;LegalCopyright=C;LegalTrademarks=T;ProductVersion=1;Comments=x",
       "cliente", Vacio("cliente", "CompanyName")},
      {"CompanyName=M;FileDescription=Planillas;LegalCopyright=C;ProductVersion=1;Comments=x",
       "servidor", Vacio("servidor", "LegalTrademarks")},
      {"CompanyName=M;FileDescription=Planillas;LegalCopyright=;LegalTrademarks=;"
       "ProductVersion=1;Comments=x",
       "servidor", Vacio("servidor", "LegalCopyright")},
      {"CompanyName=M;FileDescription=Planillas;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=;Comments=x",
       "cliente", Vacio("cliente", "ProductVersion")},
      {"CompanyName=M;FileDescription=Planillas;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1",
       "cliente", Vacio("cliente", "Comments")},
      // Keys without regard to case; a blank is a value; FileVersion is not examined.
      {"companyname=M;FILEDESCRIPTION=Planillas;legalcopyright= ;LegalTradeMarks=T;"
       "productversion=1;comments=x;FileVersion=",
       "servidor", ""},
      // Blanks belong to keys and values alike.
      {" CompanyName=M;FileDescription=Planillas;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "servidor", Vacio("servidor", "CompanyName")},
      {"CompanyName=M;FileDescription= abc;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "servidor", Incompleto("servidor")},
      // The first item with the key decides.
      {"CompanyName=;CompanyName=M;FileDescription=Planillas;LegalCopyright=C;"
       "LegalTrademarks=T;ProductVersion=1;Comments=x",
       "servidor", Vacio("servidor", "CompanyName")},
      // Quoted items may hold ";".
      {"CompanyName=M;\"FileDescription=ab;cd\";LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;\"Comments=a;b\"",
       "servidor", ""},
      {"CompanyName=M;FileDescription=ab;cd;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;Comments=x",
       "servidor", Incompleto("servidor")},
      {"CompanyName=M;FileDescription=Planillas;LegalCopyright=C;LegalTrademarks=T;"
       "ProductVersion=1;\"Comments=\"",
       "servidor", Vacio("servidor", "Comments")},
      // What ValidarDproj answers when the base group has no key list.
      {"0", "servidor", Vacio("servidor", "CompanyName")},
      {"", "cliente", Vacio("cliente", "CompanyName")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf([&] { VersionDproj(c.keys, c.tipo); }), c.expected) << c.keys;
  }
}

TEST(VersionDproj, MessageAsTheUserReadsIt) {
  EXPECT_EQ(MessageOf([] {
              VersionDproj("CompanyName=M;FileDescription=Planillas;LegalCopyright=C", "servidor");
            }),
            "En la version del servidor el \"LegalTrademarks\" se encuentra vacio, verifique...");
}

// --- TraducirNum -----------------------------------------------------------

TEST(TraducirNum, MessagesPerCode) {
  const std::vector<std::string> objetos = {"CdsGnEmpre", "CdsPlPlani"};
  struct Case {
    int16_t code;
    std::string expected;
  } cases[] = {
      {0, ""},
      {2, ""},
      {4, ""},
      {7, ""},
      {9, ""},
      {-1, ""},
      {-3, ""},
      {32767, ""},
      {1, "La SDML tiene la conexion Abierta, en la unidad UPlPlani.pas Verifique..."},
      {3, "La Unidad UPlPlani.pas tiene los siguientes SclientDataSet conectados "
          "CdsGnEmpre\r\nCdsPlPlani\r\n\r\n Verifique..."},
      {5, "No se encontro componente de exportacion a WORD en la unidad UPlPlani.pas"},
      {6, "En la unidad UPlPlani.pas se encuentra asociado el evento OnCreate como Nil, esto "
          "puede ocasionar errores con el ancestro, Revise el DFM..."},
      {8, "En la unidad UPlPlani.pas el CdsGnEmpre se encuentra activo"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf([&] { TraducirNum(c.code, "UPlPlani.pas", objetos); }), c.expected)
        << c.code;
  }
  EXPECT_EQ(MessageOf([] { TraducirNum(3, "U.pas", {}); }),
            "La Unidad U.pas tiene los siguientes SclientDataSet conectados \r\n Verifique...");
}

// --- GetFileVersion / GetProductVersion ------------------------------------

TEST(GetFileVersion, FromTheFixedRecordsFileVersion) {
  TempDir t;
  for (bool pe32plus : {false, true}) {
    PeFileSpec spec;
    spec.file_version = {24, 3, 1, 70};
    spec.product_version = {99, 98, 97, 96};  // never used
    spec.pe32plus = pe32plus;
    const std::string file = WritePeFile(t.Path(pe32plus ? "a/CGNABCDE.sdml" : "MGNABCDE.exe"), spec);
    SCOPED_TRACE(file);
    EXPECT_EQ(GetFileVersion(file), "24.3.1.70");
    EXPECT_EQ(GetProductVersion(file, "M"), 24);
    EXPECT_EQ(GetProductVersion(file, "N"), 3);
    EXPECT_EQ(GetProductVersion(file, ""), 24);
  }
}

TEST(GetFileVersion, NothingWithoutVersionInformation) {
  TempDir t;
  PeFileSpec spec;
  spec.with_version = false;
  const std::string without = WritePeFile(t.Path("MGNABCDE.exe"), spec);
  const std::string text = t.Write("texto.exe", "MZ no es un programa");
  for (const std::string& file : {without, text, t.Path("falta.exe")}) {
    EXPECT_EQ(GetFileVersion(file), "") << file;
    EXPECT_EQ(GetProductVersion(file, "M"), 0) << file;
    EXPECT_EQ(GetProductVersion(file, "N"), 0) << file;
  }
}

// --- ValidarPropiedadesProyecto --------------------------------------------

std::string ServerXml(const std::optional<std::string>& icon, const std::string& keys = kKeys) {
  std::string props;
  if (icon) props += Prop("Icon_MainIcon", *icon);
  props += Prop("VerInfo_Keys", keys);
  return ProjectXml(Group(std::nullopt, Prop("Config", "Release")) + Group(kBase, props));
}

struct ProjectCase {
  const char* name;
  std::string server;
  std::optional<std::string> client;  // nullopt: no client project file
  bool solo_servidor = false;
  bool chk_package = true;
  std::string expected{};  // empty: the checks pass
};

std::string RunProjectCase(const ProjectCase& c) {
  TempDir t;
  t.Write("GNABCDE/MGNABCDE/MGNABCDE.dproj", c.server);
  if (c.client) t.Write("GNABCDE/CGNABCDE/CGNABCDE.dproj", *c.client);
  return MessageOf([&] {
    ValidarPropiedadesProyecto({t.Path("GNABCDE"), "GNABCDE", c.solo_servidor, c.chk_package});
  });
}

const std::string kIconMsg = "El servidor no tiene el Icono de MORVEL asignado, Verifique...";
const std::string kPackMsg = "No tiene chequeado los pakages en el proyecto, Verifique...";
const std::vector<Cfg> kGoodCfgs = {{kDebug, {}}, {kRelease, "true"}};

TEST(ValidarPropiedadesProyecto, Icon) {
  const std::string good_client = ClientXml(kGoodCfgs);
  const ProjectCase cases[] = {
      {"morvel icon", ServerXml("C:\\Morvel\\Iconos\\MORVEL.ico"), good_client},
      {"server name in lower case", ServerXml("c:\\iconos\\mgnabcde.ico"), good_client},
      {"the default icon", ServerXml(DprojSpec{}.icon), good_client, false, true,
       kIconMsg},
      {"no icon", ServerXml(std::nullopt), good_client, false, true, kIconMsg},
      {"icon only in the platform group",
       ProjectXml(Group("'$(Base_Win32)'!=''", Prop("Icon_MainIcon", "morvel.ico")) +
                  Group(kBase, Prop("VerInfo_Keys", kKeys))),
       good_client, false, true, kIconMsg},
      {"icon checked before the keys", ServerXml("x.ico", "CompanyName="), good_client, false,
       true, kIconMsg},
  };
  for (const auto& c : cases) EXPECT_EQ(RunProjectCase(c), c.expected) << c.name;
}

TEST(ValidarPropiedadesProyecto, EmptyIconIsAConversionErrorNotTheIconMessage) {
  const ProjectCase c{"empty icon", ServerXml(""), ClientXml(kGoodCfgs)};
  EXPECT_THROW(RunProjectCase(c), platform::EConvertError);
}

TEST(ValidarPropiedadesProyecto, VersionKeys) {
  const std::string server = ServerXml("morvel.ico");
  const ProjectCase cases[] = {
      {"server without LegalTrademarks",
       ServerXml("morvel.ico", "CompanyName=M;FileDescription=Planillas;LegalCopyright=C"),
       ClientXml(kGoodCfgs), false, true, Vacio("servidor", "LegalTrademarks")},
      {"server base group without key list",
       ProjectXml(Group(kBase, Prop("Icon_MainIcon", "morvel.ico")) +
                  Group("'$(Base_Win32)'!=''", Prop("VerInfo_Keys", kKeys))),
       ClientXml(kGoodCfgs), false, true, Vacio("servidor", "CompanyName")},
      {"client description short", server,
       ClientXml(kGoodCfgs, "CompanyName=M;FileDescription=Abc"), false, true,
       Incompleto("cliente")},
      {"client keys before packages", server,
       ClientXml({{kRelease, "false"}}, "CompanyName="), false, true,
       Vacio("cliente", "CompanyName")},
  };
  for (const auto& c : cases) EXPECT_EQ(RunProjectCase(c), c.expected) << c.name;
}

TEST(ValidarPropiedadesProyecto, PackagesOfTheReleaseConfiguration) {
  const std::string server = ServerXml("morvel.ico");
  const ProjectCase cases[] = {
      {"release Cfg_2", server, ClientXml(kGoodCfgs)},
      {"True", server, ClientXml({{kRelease, "True"}})},
      {"TRUE", server, ClientXml({{kRelease, "TRUE"}})},
      {"false", server, ClientXml({{kRelease, "false"}}), false, true, kPackMsg},
      {"release Cfg_3", server, ClientXml({{kDebug, "false"}, {"TEST", {}}, {kRelease, "true"}})},
      {"Cfg_3 is read, not Cfg_1", server,
       ClientXml({{kDebug, "true"}, {"TEST", "true"}, {kRelease, {}}}), false, true, kPackMsg},
      {"missing in the release group though the base says true", server,
       ClientXml({{kRelease, {}}}, kKeys, "true"), false, true, kPackMsg},
      {"Cfg_1 without DCC_Define", server, ClientXml({{{}, "true"}, {kRelease, "true"}}), false,
       true, kPackMsg},
      {"no release configuration", server, ClientXml({{kDebug, "true"}}), false, true, kPackMsg},
      {"not asked for", server, ClientXml({{kRelease, "false"}}), false, false, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RunProjectCase(c), c.expected) << c.name;
}

TEST(ValidarPropiedadesProyecto, ServerOnlySkipsTheClient) {
  const ProjectCase cases[] = {
      {"no client project at all", ServerXml("morvel.ico"), std::nullopt, true, true, ""},
      {"client faults ignored", ServerXml("morvel.ico"),
       ClientXml({{kRelease, "false"}}, "CompanyName="), true, true, ""},
      {"icon still checked", ServerXml("x.ico"), std::nullopt, true, true, kIconMsg},
      {"server keys still checked", ServerXml("morvel.ico", "CompanyName=M"), std::nullopt, true,
       true, Incompleto("servidor")},
  };
  for (const auto& c : cases) EXPECT_EQ(RunProjectCase(c), c.expected) << c.name;
}

TEST(ValidarPropiedadesProyecto, ProjectFilesFoundWithoutRegardToCase) {
  TempDir t;
  t.Write("gnabcde/mgnabcde/Mgnabcde.DPROJ", ServerXml("morvel.ico"));
  t.Write("gnabcde/cgnabcde/cgnabcde.dproj", ClientXml(kGoodCfgs));
  EXPECT_EQ(MessageOf([&] {
              ValidarPropiedadesProyecto({t.Path("gnabcde"), "GNABCDE", false, true});
            }),
            "");
}

TEST(ValidarPropiedadesProyecto, MissingClientProjectFailsNamingIt) {
  TempDir t;
  t.Write("GNABCDE/MGNABCDE/MGNABCDE.dproj", ServerXml("morvel.ico"));
  try {
    ValidarPropiedadesProyecto({t.Path("GNABCDE"), "GNABCDE", false, true});
    ADD_FAILURE() << "no error";
  } catch (const platform::EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("CGNABCDE.dproj"), std::string::npos) << e.what();
  }
}

// --- ValidarVersionPrograma ------------------------------------------------

TEST(ValidarVersionPrograma, EqualityAndYearWarnings) {
  const std::string kDiferente = "las Version de la SDML es Diferente a la del Servidor";
  const auto year = [](int v, int y) {
    return "las Version programa es " + std::to_string(v) + " estamos en el año " +
           std::to_string(y) + " la version deberia ser " + std::to_string(y % 100) +
           ", Verifique...";
  };
  struct Case {
    std::optional<std::array<uint16_t, 4>> server;  // nullopt: no version information
    std::string client;
    bool solo;
    int year;
    std::vector<std::string> expected;
  } cases[] = {
      {{{29, 0, 3, 1}}, "29.0.3.1", false, 2030, {year(29, 2030)}},
      {{{30, 0, 3, 1}}, "30.0.3.1", false, 2030, {}},
      {{{31, 0, 3, 1}}, "31.0.3.1", false, 2030, {}},
      {{{23, 0, 3, 1}}, "23.0.3.1", false, 2024, {year(23, 2024)}},
      {{{5, 0, 0, 0}}, "5.0.0.0", false, 2105, {}},
      {{{24, 0, 3, 1}}, "24.0.3.2", false, 2024, {kDiferente}},
      {{{24, 0, 3, 1}}, "", false, 2024, {kDiferente}},
      {{{23, 0, 3, 1}}, "24.0.3.1", false, 2024, {kDiferente, year(23, 2024)}},
      {{{23, 0, 3, 1}}, "24.0.3.1", true, 2024, {year(23, 2024)}},
      {std::nullopt, "24.0.3.1", false, 2024, {kDiferente, year(0, 2024)}},
      {std::nullopt, "", false, 2024, {year(0, 2024)}},
  };
  TempDir t;
  for (const auto& c : cases) {
    const std::string exe = t.Path("MGNABCDE.exe");
    PeFileSpec spec;
    spec.with_version = c.server.has_value();
    if (c.server) spec.file_version = *c.server;
    spec.product_version = {99, 0, 0, 0};  // never used
    WritePeFile(exe, spec);
    TPqStringList mensajes;
    ValidarVersionPrograma(exe, c.client, c.solo, mensajes, c.year);
    EXPECT_EQ(mensajes.Lines(), c.expected) << c.client << " " << c.year;
  }
}

TEST(ValidarVersionPrograma, MissingServerProgramWarnsAndLinesCarryThePrefix) {
  TempDir t;
  TPqStringList mensajes;
  mensajes.SetCodProg("MGNABCDE");
  ValidarVersionPrograma(t.Path("MGNABCDE.exe"), "24.0.3.1", false, mensajes, 2024);
  EXPECT_EQ(mensajes.Lines(),
            (std::vector<std::string>{
                "MGNABCDE : las Version de la SDML es Diferente a la del Servidor",
                "MGNABCDE : las Version programa es 0 estamos en el año 2024 la version deberia "
                "ser 24, Verifique..."}));
}

}  // namespace
}  // namespace paquel
