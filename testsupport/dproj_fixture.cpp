#include "testsupport/dproj_fixture.h"

namespace testsupport {

std::string DprojText(const DprojSpec& s) {
  std::string text =
      "<Project xmlns=\"http://schemas.microsoft.com/developer/msbuild/2003\">\n"
      "    <PropertyGroup>\n"
      "        <ProjectVersion>18.8</ProjectVersion>\n"
      "        <FrameworkType>VCL</FrameworkType>\n"
      "        <Base>True</Base>\n"
      "        <Config Condition=\"'$(Config)'==''\">Release</Config>\n"
      "        <Platform Condition=\"'$(Platform)'==''\">Win32</Platform>\n"
      "        <AppType>Application</AppType>\n"
      "    </PropertyGroup>\n"
      "    <PropertyGroup Condition=\"'$(Config)'=='Release' or '$(Cfg_2)'!=''\">\n"
      "        <Cfg_2>true</Cfg_2>\n"
      "        <CfgParent>Base</CfgParent>\n"
      "    </PropertyGroup>\n"
      "    <PropertyGroup Condition=\"'$(Base)'!=''\">\n"
      "        <OutputExt>exe</OutputExt>\n"
      "        <DCC_DcuOutput>" + s.dcu_output + "</DCC_DcuOutput>\n"
      "        <DCC_Namespace>Vcl;Data;$(DCC_Namespace)</DCC_Namespace>\n"
      "        <Icon_MainIcon>" + s.icon + "</Icon_MainIcon>\n"
      "        <UsePackages>" + s.use_packages + "</UsePackages>\n"
      "        <DCC_UsePackage>" + s.packages + ";$(DCC_UsePackage)</DCC_UsePackage>\n"
      "        <VerInfo_IncludeVerInfo>true</VerInfo_IncludeVerInfo>\n"
      "        <VerInfo_MajorVer>" + s.major + "</VerInfo_MajorVer>\n"
      "        <VerInfo_Locale>10250</VerInfo_Locale>\n"
      "        <VerInfo_Keys>CompanyName=Morvel S.A.C.;FileDescription=" + s.description +
      ";FileVersion=" + s.file_version +
      ";InternalName=;LegalCopyright=Morvel;LegalTrademarks=Morvel;OriginalFilename=;"
      "ProductName=Morvel HCM;ProductVersion=" + s.product_version +
      ";Comments=Prueba</VerInfo_Keys>\n"
      "    </PropertyGroup>\n"
      "    <PropertyGroup Condition=\"'$(Base_Win32)'!=''\">\n"
      "        <DCC_Namespace>Winapi;System.Win;$(DCC_Namespace)</DCC_Namespace>\n"
      "        <Icon_MainIcon>" + s.icon + "</Icon_MainIcon>\n"
      "    </PropertyGroup>\n"
      "    <PropertyGroup Condition=\"'$(Cfg_1)'!=''\">\n"
      "        <DCC_Define>DEBUG;$(DCC_Define)</DCC_Define>\n"
      "    </PropertyGroup>\n"
      "    <PropertyGroup Condition=\"'$(Cfg_2)'!=''\">\n"
      "        <DCC_Define>RELEASE;$(DCC_Define)</DCC_Define>\n" +
      (s.release_use_packages.empty()
           ? std::string()
           : "        <UsePackages>" + s.release_use_packages + "</UsePackages>\n") +
      "    </PropertyGroup>\n"
      "    <ItemGroup>\n"
      "        <DelphiCompile Include=\"$(MainSource)\">\n"
      "            <MainSource>MainSource</MainSource>\n"
      "        </DelphiCompile>\n"
      "    </ItemGroup>\n"
      "    <Import Project=\"$(BDS)\\Bin\\Delphi.Targets\"/>\n"
      "</Project>\n";
  std::string out = "\xEF\xBB\xBF";
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace testsupport
