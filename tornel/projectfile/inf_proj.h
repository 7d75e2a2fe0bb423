// The summary of one project file that the project analysis works from.
#pragma once

#include <string>

#include "tornel/projectfile/inf_version.h"

namespace tornel {

struct TInfProj {
  std::string Nombre;         // display name, from the version-information keys
  std::string Config;         // default build configuration
  std::string ConfigRelease;  // name of the release configuration, e.g. Cfg_2
  std::string ProjPlatform;   // target platform, e.g. Win32
  std::string Package;        // accepted runtime packages joined with ";"
  std::string OutputExt;
  std::string ExeOutput;      // ".\" + platform + "\" + configuration
  std::string DcuOutput;
  std::string NameSpace;
  bool BoUsaPackage = false;  // built with runtime packages
  std::string MainIcon;
  TInfVersion FileVersion;
  TInfVersion ProductVersion;
};

}  // namespace tornel
