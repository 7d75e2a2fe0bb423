#include "tornel/settings/xml_ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/error.h"
#include "platform/files.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

TEST(TMXmlIniFile, WritesTheMainWindowKeysInTheirLayout) {
  TempDir dir;
  std::string file = dir.Path("Tornel.xml");
  {
    TMXmlIniFile ini(file);
    ini.WriteString("INIC", "RUTPROJ", "first");
    ini.WriteString("INIC", "FILTPROJ", "CGN*,\"A B\"");
    ini.WriteInteger("INIC", "VERPROD", 24);
    ini.WriteBool("INIC", "CHKRELEASE", true);
    ini.WriteBool("INIC", "CHKBUILD", false);
    ini.WriteInteger("INIC", "VERBUILD", -99);
    ini.WriteString("INIC", "RUTPROJ", "C:\\MORVEL\\Fuentes & <más>");  // keeps its place
    EXPECT_FALSE(platform::FileExists(file));  // writes stay in memory
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadAll(file),
            "<Tornel>\n"
            "  <INIC>\n"
            "    <INIC Name=\"RUTPROJ\">C:\\MORVEL\\Fuentes &amp; &lt;más&gt;</INIC>\n"
            "    <INIC Name=\"FILTPROJ\">CGN*,\"A B\"</INIC>\n"
            "    <INIC Name=\"VERPROD\">24</INIC>\n"
            "    <INIC Name=\"CHKRELEASE\">True</INIC>\n"
            "    <INIC Name=\"CHKBUILD\">False</INIC>\n"
            "    <INIC Name=\"VERBUILD\">-99</INIC>\n"
            "  </INIC>\n"
            "</Tornel>\n");

  TMXmlIniFile again(file);
  EXPECT_EQ(again.ReadString("INIC", "RUTPROJ", ""), "C:\\MORVEL\\Fuentes & <más>");
  EXPECT_EQ(again.ReadString("INIC", "FILTPROJ", ""), "CGN*,\"A B\"");
  EXPECT_EQ(again.ReadInteger("INIC", "VERPROD", 0), 24);
  EXPECT_TRUE(again.ReadBool("INIC", "CHKRELEASE", false));
  EXPECT_FALSE(again.ReadBool("INIC", "CHKBUILD", true));
  EXPECT_EQ(again.ReadInteger("INIC", "VERBUILD", 0), -99);
}

TEST(TMXmlIniFile, SectionNamesTurnBlanksAndBackslashesIntoUnderscores) {
  TempDir dir;
  std::string file = dir.Path("mis.datos.xml");
  {
    TMXmlIniFile ini(file);
    ini.WriteString("MIS DATOS", "Clave", "1");
    ini.WriteString("RUTA\\SUB", "Clave", "2");
    ini.WriteString("MIS_DATOS", "Otra", "3");  // the same element as "MIS DATOS"
    ini.UpdateFile();
    ini.WriteString("RUTA\\SUB", "Blancos", "  ");
  }
  EXPECT_EQ(ReadAll(file),
            "<mis.datos>\n"
            "  <MIS_DATOS>\n"
            "    <MIS_DATOS Name=\"Clave\">1</MIS_DATOS>\n"
            "    <MIS_DATOS Name=\"Otra\">3</MIS_DATOS>\n"
            "  </MIS_DATOS>\n"
            "  <RUTA_SUB>\n"
            "    <RUTA_SUB Name=\"Clave\">2</RUTA_SUB>\n"
            "    <RUTA_SUB Name=\"Blancos\">  </RUTA_SUB>\n"
            "  </RUTA_SUB>\n"
            "</mis.datos>\n");
  TMXmlIniFile again(file);
  EXPECT_EQ(again.ReadString("MIS DATOS", "Otra", ""), "3");
  EXPECT_EQ(again.ReadString("RUTA\\SUB", "Clave", ""), "2");
  EXPECT_EQ(again.ReadString("RUTA SUB", "Clave", ""), "2");
  EXPECT_EQ(again.ReadString("RUTA SUB", "Blancos", "x"), "  ");
}

TEST(TMXmlIniFile, MissingFileReadsDefaultsAndIsCreatedWithoutBackup) {
  TempDir dir;
  std::string file = dir.Path("Tornel.xml");
  {
    TMXmlIniFile ini(file);
    EXPECT_EQ(ini.ReadString("INIC", "RUTPROJ", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("INIC", "VERPROD", 24), 24);
    EXPECT_TRUE(ini.ReadBool("INIC", "CHKRELEASE", true));
    EXPECT_FALSE(ini.ReadBool("INIC", "CHKBUILD", false));
  }
  EXPECT_EQ(ReadAll(file), "<Tornel />\n");  // written when the object goes away
  EXPECT_FALSE(platform::FileExists(file + ".bak"));
}

TEST(TMXmlIniFile, KeysMatchTheirNameAttributeExactly) {
  TempDir dir;
  std::string file = dir.Write("Tornel.xml",
                               "<Tornel><INIC>"
                               "<INIC Name=\"verprod\">20</INIC>"
                               "<INIC>30</INIC>"
                               "<Otro Name=\"FILTPROJ\">X*</Otro>"
                               "</INIC><inic><inic Name=\"VERPROD\">40</inic></inic></Tornel>");
  TMXmlIniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("INIC", "VERPROD", 24), 24);
  EXPECT_EQ(ini.ReadInteger("INIC", "verprod", 24), 20);
  EXPECT_EQ(ini.ReadString("INIC", "FILTPROJ", ""), "X*");  // the element's own name is not looked at
  EXPECT_EQ(ini.ReadInteger("inic", "VERPROD", 24), 40);

  ini.WriteInteger("INIC", "VERPROD", 25);
  ini.WriteString("INIC", "FILTPROJ", "Y*");
  EXPECT_EQ(ini.ReadInteger("INIC", "VERPROD", 0), 25);
  EXPECT_EQ(ini.ReadInteger("INIC", "verprod", 0), 20);
  ini.UpdateFile();
  EXPECT_EQ(ReadAll(file),
            "<Tornel>\n"
            "  <INIC>\n"
            "    <INIC Name=\"verprod\">20</INIC>\n"
            "    <INIC>30</INIC>\n"
            "    <Otro Name=\"FILTPROJ\">Y*</Otro>\n"
            "    <INIC Name=\"VERPROD\">25</INIC>\n"
            "  </INIC>\n"
            "  <inic>\n"
            "    <inic Name=\"VERPROD\">40</inic>\n"
            "  </inic>\n"
            "</Tornel>\n");
}

TEST(TMXmlIniFile, IntegerAndBooleanReadingRules) {
  struct Case {
    const char* text;
    int32_t integer;  // with default 7
    bool flag_default_true;
    bool flag_default_false;
  } cases[] = {
      {"42", 42, false, false},          {" -3 ", -3, false, false},
      {"0x10", 16, false, false},        {"4x", 7, false, false},
      {"99999999999", 7, false, false},  {"", 7, true, false},
      {"True", 7, true, true},           {"true", 7, true, true},
      {"TRUE", 7, true, true},           {"False", 7, false, false},
      {"1", 1, false, false},            {"-1", -1, false, false},
      {"Yes", 7, false, false},          {" True", 7, false, false},
  };
  TempDir dir;
  TMXmlIniFile ini(dir.Path("Tornel.xml"));
  for (const auto& c : cases) {
    ini.WriteString("INIC", "K", c.text);
    EXPECT_EQ(ini.ReadInteger("INIC", "K", 7), c.integer) << "[" << c.text << "]";
    EXPECT_EQ(ini.ReadBool("INIC", "K", true), c.flag_default_true) << "[" << c.text << "]";
    EXPECT_EQ(ini.ReadBool("INIC", "K", false), c.flag_default_false) << "[" << c.text << "]";
  }
  EXPECT_EQ(ini.ReadInteger("INIC", "MISSING", 7), 7);
  EXPECT_EQ(ini.ReadInteger("NONE", "K", -5), -5);
  EXPECT_TRUE(ini.ReadBool("NONE", "K", true));
}

TEST(TMXmlIniFile, HandWrittenContentSurvivesASave) {
  TempDir dir;
  std::string file =
      dir.Write("Tornel.xml",
                "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n"
                "<!-- edited by hand -->\n"
                "<Tornel>\n"
                "\t<INIC>\n"
                "\t\t<INIC Name=\"VER_PROJ_PROP\">true</INIC>\n"
                "\t\t<INIC Name=\"RUTPROJ\">C:\\Fuentes\\A\xF1o</INIC>\n"
                "\t</INIC>\n"
                "</Tornel>\n");
  {
    TMXmlIniFile ini(file);
    EXPECT_TRUE(ini.ReadBool("INIC", "VER_PROJ_PROP", false));
    EXPECT_EQ(ini.ReadString("INIC", "RUTPROJ", ""), "C:\\Fuentes\\Año");
    ini.WriteString("INIC", "RUTPROJ", "C:\\Fuentes\\Niño");
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadAll(file),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n"
            "<!-- edited by hand -->\n"
            "<Tornel>\n"
            "  <INIC>\n"
            "    <INIC Name=\"VER_PROJ_PROP\">true</INIC>\n"
            "    <INIC Name=\"RUTPROJ\">C:\\Fuentes\\Ni\xF1o</INIC>\n"
            "  </INIC>\n"
            "</Tornel>\n");
  EXPECT_FALSE(platform::FileExists(file + ".bak"));
}

TEST(TMXmlIniFile, ByteOrderMarkIsKept) {
  TempDir dir;
  std::string file = dir.Write("Tornel.xml", "\xEF\xBB\xBF<Tornel><INIC><INIC Name=\"A\">é</INIC></INIC></Tornel>");
  {
    TMXmlIniFile ini(file);
    EXPECT_EQ(ini.ReadString("INIC", "A", ""), "é");
  }
  EXPECT_TRUE(ReadAll(file).starts_with("\xEF\xBB\xBF<Tornel>\n"));
}

TEST(TMXmlIniFile, MalformedFileStartsEmptyIsKeptAsBackupAndReplaced) {
  const std::string broken = "<Tornel><INIC><INIC Name=\"RUTPROJ\">C:\\X</INIC></Tornel>";
  for (const std::string& content : {broken, std::string(), std::string("<!-- only a comment -->")}) {
    TempDir dir;
    std::string file = dir.Write("Tornel.xml", content);
    dir.Write("Tornel.xml.bak", "older backup");
    TMXmlIniFile ini(file);
    EXPECT_EQ(ini.ReadString("INIC", "RUTPROJ", "def"), "def") << content;
    EXPECT_EQ(ReadAll(file + ".bak"), content);
    EXPECT_EQ(ReadAll(file), content);  // untouched until the next save

    ini.WriteString("INIC", "VERPROD", "25");
    ini.UpdateFile();
    EXPECT_EQ(ReadAll(file),
              "<Tornel>\n"
              "  <INIC>\n"
              "    <INIC Name=\"VERPROD\">25</INIC>\n"
              "  </INIC>\n"
              "</Tornel>\n");
  }
}

TEST(TMXmlIniFile, UnwritableFileFailsTheExplicitSave) {
  TempDir dir;
  {
    TMXmlIniFile ini(dir.Path("gone/Tornel.xml"));
    ini.WriteString("INIC", "RUTPROJ", "x");
    EXPECT_THROW(ini.UpdateFile(), platform::EFCreateError);
  }  // and the destructor's save fails quietly

  std::string file = dir.Write("Tornel.xml", "<Tornel/>");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  {
    TMXmlIniFile ini(file);
    ini.WriteString("INIC", "RUTPROJ", "x");
    EXPECT_THROW(ini.UpdateFile(), platform::EFCreateError);
  }
  EXPECT_EQ(ReadAll(file), "<Tornel/>");
}

TEST(TMXmlIniFile, UpdateFileOnWriteSavesEveryWrite) {
  TempDir dir;
  std::string file = dir.Path("Tornel.xml");
  TMXmlIniFile ini(file);
  EXPECT_FALSE(ini.UpdateFileOnWrite());
  ini.WriteString("INIC", "A", "1");
  EXPECT_FALSE(platform::FileExists(file));

  ini.SetUpdateFileOnWrite(true);
  ini.WriteBool("INIC", "B", true);
  EXPECT_EQ(TMXmlIniFile(file).ReadString("INIC", "A", ""), "1");
  ini.WriteInteger("INIC", "C", 3);
  EXPECT_EQ(TMXmlIniFile(file).ReadInteger("INIC", "C", 0), 3);
}

}  // namespace
}  // namespace tornel
