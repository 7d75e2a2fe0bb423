// Project files for tests: the groups an IDE writes for a VCL program, with
// the few values the tools read or write made choosable.
#pragma once

#include <string>

namespace testsupport {

struct DprojSpec {
  std::string description = "Programa de prueba";
  std::string file_version = "23.0.4.7";
  std::string product_version = "23.0.0.0";
  std::string major = "23";  // VerInfo_MajorVer
  std::string use_packages = "true";
  std::string packages = "rtl;vcl;SMORVELOPR";
  std::string dcu_output = "C:\\MORVEL\\DCU\\CLI";
  std::string icon = "$(BDS)\\bin\\delphi_PROJECTICON.ico";
  // UsePackages of the release configuration's own group; none when empty.
  std::string release_use_packages;
};

// The project file's bytes: UTF-8 with a byte-order mark and CR LF line ends.
std::string DprojText(const DprojSpec& spec);

}  // namespace testsupport
