#include "tornel/projectfile/dproj_parser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/error.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

template <typename F>
TInfProj Want(F fill) {
  TInfProj w;
  fill(w);
  return w;
}

using testsupport::ReadAll;
using testsupport::TempDir;

const std::vector<std::string> kValidPackages = {"SMORVELOPR",  "SMGNREGLAOP", "SMGNTAREAOP",
                                                 "SMGNNMSRVOP", "SMGNPSX60OP", "SMINFORMEOP"};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
  return s;
}

// A small project file: the project element around the given groups.
std::string Project(const std::string& body) {
  return "<Project xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">\n" + body +
         "</Project>\n";
}

class RealProject : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = ReadAll(testsupport::TestData("CGNREALI.dproj"));
    file_ = dir_.Write("CGNREALI/CGNREALI.dproj", original_);
  }
  TempDir dir_;
  std::string original_;
  std::string file_;
};

TEST_F(RealProject, SavingAnUntouchedDocumentGivesTheSameBytes) {
  ASSERT_EQ(original_.substr(0, 3), "\xEF\xBB\xBF");
  ASSERT_NE(original_.find("\r\n"), std::string::npos);
  ASSERT_NE(original_.find("<Manifest_File></Manifest_File>"), std::string::npos);
  TDprojParser parser(file_);
  parser.SaveFile();
  EXPECT_EQ(ReadAll(file_), original_);
}

TEST_F(RealProject, GetInfoGivesTheSummary) {
  TDprojParser parser(file_);
  parser.ValidPackages = kValidPackages;
  TInfProj info = parser.GetInfo();
  EXPECT_EQ(info.Nombre, "Gestión de Nómina");
  EXPECT_EQ(info.Config, "Debug");
  EXPECT_EQ(info.ConfigRelease, "Cfg_2");
  EXPECT_EQ(info.ProjPlatform, "Win32");
  // Base group, then the Win32 base group, then the release group; the OS X
  // and debug groups contribute nothing; the first spelling met wins.
  EXPECT_EQ(info.Package, "SMORVELOPR;smgnreglaop;SMGNTAREAOP;SMGNNMSRVOP");
  EXPECT_EQ(info.OutputExt, "exe");
  EXPECT_EQ(info.ExeOutput, ".\\Win32\\Debug");
  EXPECT_EQ(info.DcuOutput, "C:\\MORVEL\\DCU\\CLI");
  EXPECT_EQ(info.NameSpace, "Winapi;System.Win;Data.Win;Vcl;Vcl.Imaging;Data;Datasnap;");
  EXPECT_TRUE(info.BoUsaPackage);  // false in the base group, true in the release group
  EXPECT_EQ(info.MainIcon, "$(BDS)\\bin\\delphi_PROJECTICON.ico");
  EXPECT_EQ(info.FileVersion, (TInfVersion{23, 0, 4, 7}));
  EXPECT_EQ(info.ProductVersion, (TInfVersion{23, 0, 0, 0}));
  EXPECT_EQ(parser.FileName(), "CGNREALI.dproj");

  parser.ValidPackages.clear();
  EXPECT_EQ(parser.GetInfo().Package, "rtl;vcl;SMORVELOPR;smgnreglaop;SMGNTAREAOP;vclx;SMGNNMSRVOP");
  EXPECT_EQ(ReadAll(file_), original_);
}

TEST_F(RealProject, ChangeVersionChangesOnlyTheVersionBytes) {
  TDprojParser parser(file_);
  parser.SetFileVersion({24, 0, 1, 1});
  parser.SetProductVersion({24, 0, 0, 0});
  parser.ChangeVersion(true);
  std::string want = Replace(original_, "FileVersion=23.0.4.7", "FileVersion=24.0.1.1");
  want = Replace(want, "ProductVersion=23.0.0.0", "ProductVersion=24.0.0.0");
  want = Replace(want, "<VerInfo_MajorVer>23<", "<VerInfo_MajorVer>24<");
  ASSERT_NE(want, original_);
  EXPECT_EQ(ReadAll(file_), want);
  EXPECT_EQ(TDprojParser(file_).GetInfo().FileVersion, (TInfVersion{24, 0, 1, 1}));
}

TEST_F(RealProject, ChangeVersionFalseDoesNothingAtAll) {
  ASSERT_EQ(TDprojParser::SetFileReadOnly(file_, true), 0);
  TDprojParser parser(file_);
  parser.SetFileVersion({24, 0, 1, 1});
  parser.ChangeVersion(false);
  EXPECT_EQ(ReadAll(file_), original_);
  EXPECT_TRUE(TDprojParser::FileIsReadOnly(file_));  // no save was even tried
}

TEST_F(RealProject, SaveMakesAReadOnlyFileWritableAndKeepsItsPermissions) {
  ::chmod(file_.c_str(), 0444);
  TDprojParser parser(file_);
  parser.SetFileVersion({24, 0, 1, 1});
  parser.ChangeVersion(true);
  EXPECT_FALSE(TDprojParser::FileIsReadOnly(file_));
  EXPECT_EQ(testsupport::ModeOf(file_), 0644u);
  EXPECT_NE(ReadAll(file_).find("FileVersion=24.0.1.1"), std::string::npos);
}

TEST_F(RealProject, SetXMLPropertyValueWritesOnlyTheBaseGroups) {
  TDprojParser parser(file_);
  parser.SetXMLPropertyValue("Base\\S*\\!\\=", "DCC_DcuOutput", "D:\\DCU\\CLI & co");
  EXPECT_EQ(ReadAll(file_), Replace(original_, "<DCC_DcuOutput>C:\\MORVEL\\DCU\\CLI<",
                                    "<DCC_DcuOutput>D:\\DCU\\CLI &amp; co<"));
  EXPECT_EQ(TDprojParser(file_).GetInfo().DcuOutput, "D:\\DCU\\CLI & co");
}

TEST_F(RealProject, FolderGoneMakesTheSaveFailWithTheReason) {
  TDprojParser parser(file_);
  std::remove(file_.c_str());
  ::rmdir(dir_.Path("CGNREALI").c_str());
  parser.SetFileVersion({24, 0, 1, 1});
  try {
    parser.ChangeVersion(true);
    FAIL() << "the save cannot succeed";
  } catch (const platform::EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(
                  "Error al cambiar la versión del proyecto: EFCreateError. Cannot create file \"" +
                      file_,
                  0),
              0u)
        << e.what();
  }
}

TEST(TDprojParserLoad, MissingOrMalformedFilesFailWithTheReadersMessage) {
  TempDir t;
  EXPECT_THROW(TDprojParser(t.Path("none.dproj")), platform::EFOpenError);
  struct Case {
    const char* text;
    const char* message_part;
  } cases[] = {
      {"<Project>\n<PropertyGroup>\n</Project>", "line 3, column"},
      {"", "no root element"},
      {"just text", "outside the root element"},
      {"<Project/><Project/>", "only one top-level element"},
      {"\xEF\xBB\xBF<Project><A></B></Project>", "line 1"},
  };
  for (const auto& c : cases) {
    std::string f = t.Write("bad.dproj", c.text);
    try {
      TDprojParser p(f);
      ADD_FAILURE() << "loaded: " << c.text;
    } catch (const platform::EDOMParseError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message_part), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(f), std::string::npos) << e.what();
    }
  }
}

TEST(TDprojParserLoad, KeepsEmptyElementFormsAndUtf16) {
  TempDir t;
  std::string text =
      "<?xml version=\"1.0\"?>\n<!-- c -->\n<Project a='1'  b=\"x &amp; y\">\n"
      "\t<E></E><F/><G a=\"/>\"></G><H c='say \"hi\"'/>\n</Project>\n";
  std::string f = t.Write("a.dproj", text);
  TDprojParser(f).SaveFile();
  // Attribute quoting is normalised, never broken.
  EXPECT_EQ(ReadAll(f), Replace(Replace(text, "'1'  b", "\"1\" b"), "'say \"hi\"'",
                                "\"say &quot;hi&quot;\""));

  // "<Project>ñ</Project>" in UTF-16 LE with its mark.
  std::string utf16 = std::string("\xFF\xFE", 2) + std::string("<\0P\0r\0o\0j\0e\0c\0t\0>\0\xF1\0<\0/\0P\0r\0o\0j\0e\0c\0t\0>\0", 40);
  std::string g = t.Write("u.dproj", utf16);
  TDprojParser(g).SaveFile();
  EXPECT_EQ(ReadAll(g), utf16);
}

TEST(TDprojParserGetInfo, GroupsAreRecognisedInDocumentOrder) {
  TempDir t;
  struct Case {
    const char* name;
    std::string text;
    TInfProj want;
  } cases[] = {
      {"platform base group before the unconditioned group",
       Project("<PropertyGroup Condition=\"'$(Base_Win32)'!=''\"><DCC_Namespace>Winapi;$(DCC_Namespace)"
       "</DCC_Namespace></PropertyGroup>"
       "<PropertyGroup><Config>Release</Config><Platform>Win32</Platform></PropertyGroup>"
       "<PropertyGroup Condition=\"'$(Base)'!=''\"><DCC_Namespace>Vcl;$(dcc_namespace)"
       "</DCC_Namespace></PropertyGroup>"),
       Want([](TInfProj& w) { w.Config = "Release"; w.ProjPlatform = "Win32"; w.ExeOutput = ".\\Win32\\Release"; w.NameSpace = "Vcl;"; })},
      {"last release group wins, with its whole configuration name",
       Project("<PropertyGroup Condition=\"'$(Cfg_1)'!=''\"><DCC_Define>RELEASE;$(DCC_Define)"
       "</DCC_Define></PropertyGroup>"
       "<PropertyGroup Condition=\"'$(Cfg_2_Win32)'!=''\"><DCC_Define>Release;$(DCC_Define)"
       "</DCC_Define><DCC_UsePackage>SMINFORMEOP;other;$(DCC_UsePackage)</DCC_UsePackage>"
       "<UsePackages> True </UsePackages></PropertyGroup>"),
       Want([](TInfProj& w) { w.ConfigRelease = "Cfg_2_Win32"; w.Package = "SMINFORMEOP"; w.BoUsaPackage = true; })},
      {"OS X groups are passed over whole",
       Project("<PropertyGroup Condition=\"'$(Base_OSX32)'!=''\"><UsePackages>true</UsePackages>"
               "<DCC_UsePackage>SMORVELOPR</DCC_UsePackage></PropertyGroup>"),
       {}},
      {"base group without version information",
       Project("<PropertyGroup Condition=\"'$(Base)'!=''\"><OutputExt>bpl</OutputExt>"
               "</PropertyGroup>"),
       Want([](TInfProj& w) { w.OutputExt = "bpl"; w.ExeOutput = ".\\\\"; })},
      {"project element that is not the first node",
       "<!-- generated -->" + Project("<PropertyGroup Condition=\"'$(Base)'!=''\">"
                                      "<OutputExt>exe</OutputExt></PropertyGroup>"),
       {}},
  };
  for (const auto& c : cases) {
    TDprojParser p(t.Write("p.dproj", c.text));
    p.ValidPackages = kValidPackages;
    TInfProj got = p.GetInfo();
    EXPECT_EQ(got.Config, c.want.Config) << c.name;
    EXPECT_EQ(got.ProjPlatform, c.want.ProjPlatform) << c.name;
    EXPECT_EQ(got.ConfigRelease, c.want.ConfigRelease) << c.name;
    EXPECT_EQ(got.ExeOutput, c.want.ExeOutput) << c.name;
    EXPECT_EQ(got.NameSpace, c.want.NameSpace) << c.name;
    EXPECT_EQ(got.OutputExt, c.want.OutputExt) << c.name;
    EXPECT_EQ(got.Package, c.want.Package) << c.name;
    EXPECT_EQ(got.BoUsaPackage, c.want.BoUsaPackage) << c.name;
    EXPECT_EQ(got.Nombre, "") << c.name;
    EXPECT_EQ(got.FileVersion, TInfVersion{}) << c.name;
  }
}

TEST(TDprojParserGetInfo, ReadingFailuresNameTheirClassAndReason) {
  TempDir t;
  struct Case {
    std::string body;
    const char* message;
  } cases[] = {
      {"<PropertyGroup Condition=\"'$(Base)'!=''\"><VerInfo_Keys/></PropertyGroup>",
       "EXMLDocError: The element VerInfo_Keys has no text"},
      {"<PropertyGroup Condition=\"'$(Base)'!=''\"><VerInfo_Keys></VerInfo_Keys></PropertyGroup>",
       "EXMLDocError: The element VerInfo_Keys has no text"},
      {"<PropertyGroup Condition=\"'$(Base)'!=''\"><DCC_DcuOutput><X/></DCC_DcuOutput>"
       "</PropertyGroup>",
       "EXMLDocError: The element DCC_DcuOutput holds elements instead of text"},
  };
  for (const auto& c : cases) {
    TDprojParser p(t.Write("p.dproj", Project(c.body)));
    try {
      p.GetInfo();
      ADD_FAILURE() << c.body;
    } catch (const platform::Error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(TDprojParserChangeVersion, RewritesTheKeyListByItsRules) {
  TempDir t;
  std::string f = t.Write(
      "p.dproj",
      Project("<PropertyGroup Condition=\"'$(Base)'!=''\"><VerInfo_Keys>CompanyName=M;"
              "fileversion=1.0.0.0;\"Comments=a;b\";Say=\"x\"</VerInfo_Keys></PropertyGroup>"
              "<ItemGroup><VerInfo_MajorVer>1</VerInfo_MajorVer></ItemGroup>"
              "<PropertyGroup><VerInfo_MajorVer>1</VerInfo_MajorVer><VerInfo_MinorVer>7"
              "</VerInfo_MinorVer></PropertyGroup>"));
  TDprojParser p(f);
  p.SetFileVersion({24, 0, 3, 1});
  p.SetProductVersion({24, 0, 0, 0});
  p.ChangeVersion(true);
  EXPECT_EQ(ReadAll(f),
            Project("<PropertyGroup Condition=\"'$(Base)'!=''\"><VerInfo_Keys>CompanyName=M;"
                    "FileVersion=24.0.3.1;\"Comments=a;b\";\"Say=\"\"x\"\"\";"
                    "ProductVersion=24.0.0.0</VerInfo_Keys></PropertyGroup>"
                    "<ItemGroup><VerInfo_MajorVer>24</VerInfo_MajorVer></ItemGroup>"
                    "<PropertyGroup><VerInfo_MajorVer>24</VerInfo_MajorVer><VerInfo_MinorVer>7"
                    "</VerInfo_MinorVer></PropertyGroup>"));
}

TEST(TDprojParserChangeVersion, FailureSavesEarlierChangesAndIsPrefixed) {
  TempDir t;
  std::string f = t.Write("p.dproj", Project("<PropertyGroup><VerInfo_MajorVer>1</VerInfo_MajorVer>"
                                             "</PropertyGroup><PropertyGroup><VerInfo_Keys/>"
                                             "</PropertyGroup>"));
  TDprojParser p(f);
  p.SetFileVersion({24, 0, 1, 1});
  try {
    p.ChangeVersion(true);
    FAIL();
  } catch (const platform::EXMLDocError& e) {
    EXPECT_STREQ(e.what(),
                 "Error al cambiar la versión del proyecto: EXMLDocError. The element "
                 "VerInfo_Keys has no text");
  }
  EXPECT_NE(ReadAll(f).find("<VerInfo_MajorVer>24</VerInfo_MajorVer>"), std::string::npos);
}

TEST(TDprojParserSetProperty, MatchesGroupsByConditionAndPrefixesFailures) {
  TempDir t;
  std::string body =
      "<PropertyGroup Condition=\"'$(Base)'!=''\"><Icon_MainIcon>a.ico</Icon_MainIcon>"
      "</PropertyGroup>"
      "<PropertyGroup Condition=\"'$(Base_Win32)'!=''\"><Icon_MainIcon>b.ico</Icon_MainIcon>"
      "</PropertyGroup>"
      "<PropertyGroup Condition=\"'$(Cfg_1)'!=''\"><Icon_MainIcon>c.ico</Icon_MainIcon>"
      "</PropertyGroup>"
      "<ProjectExtensions><Icon_MainIcon>d.ico</Icon_MainIcon></ProjectExtensions>"
      "<PropertyGroup><Icon_MainIcon>e.ico</Icon_MainIcon></PropertyGroup>";
  std::string f = t.Write("p.dproj", Project(body));
  TDprojParser(f).SetXMLPropertyValue("Base\\S*\\!\\=", "Icon_MainIcon", "M.ico");
  std::string want = Replace(Replace(Replace(body, "a.ico", "M.ico"), "b.ico", "M.ico"), "d.ico",
                             "M.ico");
  EXPECT_EQ(ReadAll(f), Project(want));

  std::string g = t.Write("q.dproj", Project("<PropertyGroup Condition=\"'$(Base)'!=''\">"
                                             "<Icon_MainIcon>a.ico</Icon_MainIcon></PropertyGroup>"
                                             "<PropertyGroup Condition=\"'$(Base)'!=''\">"
                                             "<Icon_MainIcon><b/></Icon_MainIcon></PropertyGroup>"));
  try {
    TDprojParser(g).SetXMLPropertyValue("Base\\S*\\!\\=", "Icon_MainIcon", "M.ico");
    FAIL();
  } catch (const platform::EXMLDocError& e) {
    EXPECT_STREQ(e.what(),
                 "Error al establecer el icono de la aplicación. EXMLDocError. The element "
                 "Icon_MainIcon holds elements instead of text");
  }
  EXPECT_NE(ReadAll(g).find("<Icon_MainIcon>M.ico</Icon_MainIcon>"), std::string::npos);
}

}  // namespace
}  // namespace tornel
