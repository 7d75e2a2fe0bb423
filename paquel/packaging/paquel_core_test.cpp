#include "paquel/packaging/paquel_core.h"

#include <gtest/gtest.h>

#include "testsupport/pe_file.h"
#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

TEST(TPqStringList, PrefixOnlyWhenThereIsOne) {
  TPqStringList plain;
  EXPECT_EQ(plain.Add("aviso"), 0);
  TPqStringList blank;
  blank.SetCodProg("   ");
  blank.Add("aviso");
  TPqStringList mass;
  mass.SetCodProg("MGNABCDE");
  EXPECT_EQ(mass.Add("No Existe El servidor"), 0);
  EXPECT_EQ(mass.Add("x"), 1);
  EXPECT_EQ(plain.Lines(), std::vector<std::string>{"aviso"});
  EXPECT_EQ(blank.Lines(), std::vector<std::string>{"aviso"});
  EXPECT_EQ(mass.Lines(), (std::vector<std::string>{"MGNABCDE : No Existe El servidor", "MGNABCDE : x"}));
}

TEST(CountOccurences, NonOverlappingWithRegardToCase) {
  EXPECT_EQ(CountOccurences("InicializaServer", "InicializaServer();\ninicializaserver();InicializaServer"), 2);
  EXPECT_EQ(CountOccurences("aa", "aaaa"), 2);
  EXPECT_EQ(CountOccurences("aa", "aaa"), 1);
  EXPECT_EQ(CountOccurences("", "abc"), 0);
}

TEST(GenerarRutaDestino, FoldersByModule) {
  struct Case {
    const char* modulo;
    const char* destino;
    const char* sdml;
    const char* serv;
  } cases[] = {
      {"GN", "/rel", "/rel/Ggen/Bin1", "/rel/Servidores/Ggen/Bin"},
      {"gn", "/rel/", "/rel/Ggen/Bin1", "/rel/Servidores/Ggen/Bin"},
      {"AR", "/rel", "/rel/Rivu/AR/bin1", "/rel/Servidores/Rivu/AR/bin"},
      {"rh", "/rel", "/rel/Rivu/rh/bin1", "/rel/Servidores/Rivu/rh/bin"},
  };
  for (const auto& c : cases) {
    std::string sdml, serv = "kept";
    PaquelCore::GenerarRutaDestino(c.modulo, c.destino, sdml, serv, false);
    EXPECT_EQ(sdml, c.sdml);
    EXPECT_EQ(serv, c.serv);
    serv = "kept";
    PaquelCore::GenerarRutaDestino(c.modulo, c.destino, sdml, serv, true);
    EXPECT_EQ(serv, "kept");
  }
}

TEST(ObtenerRutaRelease, Win64BeforeWin32AndNothingWithoutEither) {
  TempDir t;
  t.MakeDir("a/Win64/Release");
  t.MakeDir("a/Win32/Release");
  t.MakeDir("b/Win32/Release");
  t.MakeDir("c/Win32");
  EXPECT_EQ(PaquelCore::ObtenerRutaRelease(t.Path("a")), t.Path("a/Win64/Release"));
  EXPECT_EQ(PaquelCore::ObtenerRutaRelease(t.Path("b")), t.Path("b/Win32/Release"));
  EXPECT_EQ(PaquelCore::ObtenerRutaRelease(t.Path("c")), "");
}

TEST(ObtenerVersionSdml, ReadsTheClientProgramWithoutCopies) {
  TempDir t;
  testsupport::PeFileSpec spec;
  spec.file_version = {24, 1, 2, 3};
  testsupport::WritePeFile(t.Path("rel/CGNABCDE.sdml"), spec);
  t.Write("rel/CGNABCDEcopia.dll", "someone else's file");
  EXPECT_EQ(PaquelCore::ObtenerVersionSdml(t.Path("rel/CGNABCDE")), "24.1.2.3");
  EXPECT_EQ(PaquelCore::ObtenerVersionSdml(t.Path("rel/CNADA")), "");
  t.Write("rel/CTEXTO.sdml", "not a program");
  EXPECT_EQ(PaquelCore::ObtenerVersionSdml(t.Path("rel/CTEXTO")), "");
  EXPECT_EQ(ReadAll(t.Path("rel/CGNABCDEcopia.dll")), "someone else's file");
}

TEST(PaquelSettings, DefaultsAndTheOrderOfTheWrittenKeys) {
  TempDir t;
  platform::IniFile ini(t.Path("Paquel.ini"));
  PaquelSettings s = LeerConfiguracion(ini);
  EXPECT_EQ(s.RUTAPROG, "C:\\Morvel");
  EXPECT_EQ(s.RUTADEST, "C:\\Morvel");
  EXPECT_TRUE(s.VERFCONN && s.DELDCOMP && s.INCLUWCF && s.SUGNOMB && s.COMPRIMIR);
  EXPECT_FALSE(s.MOVFUENTE || s.EMPMASIVO);
  s.EMPMASIVO = true;
  s.COMPRIMIR = false;
  EscribirConfiguracion(ini, s);
  EXPECT_EQ(ReadAll(t.Path("Paquel.ini")),
            "[CONFIG]\r\nRUTAPROG=C:\\Morvel\r\nRUTADEST=C:\\Morvel\r\nVERFCONN=1\r\nDELDCOMP=1\r\n"
            "INCLUWCF=1\r\nSUGNOMB=1\r\nMOVFUENTE=0\r\nDIRREPO=\r\nEMPMASIVO=1\r\n");
  t.Write("Paquel.ini", "[config]\r\nverfconn = 0\r\nCOMPRIMIR=no\r\nEMPMASIVO=-1\r\n");
  s = LeerConfiguracion(ini);
  EXPECT_FALSE(s.VERFCONN);
  EXPECT_TRUE(s.COMPRIMIR);  // not an integer: the default
  EXPECT_TRUE(s.EMPMASIVO);
}

}  // namespace
}  // namespace paquel
