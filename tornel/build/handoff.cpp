#include "tornel/build/handoff.h"

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace tornel {

std::string DirectorioPadre(std::string_view path) {
  std::string p = platform::ExcludeTrailingPathDelimiter(path);
  if (!p.empty() && p[0] != platform::kPathDelim) {
    // Relative paths are taken from the current folder, as a full path is.
    p = platform::IncludeTrailingPathDelimiter(platform::CurrentDirectory()) + p;
  }
  return platform::IncludeTrailingPathDelimiter(platform::ExtractFileDir(p));
}

HandoffResult EjecutarEmpaquetador(const std::string& exe_dir, const std::string& pStDirectorio,
                                   const std::string& first_project) {
  const std::string packager = exe_dir + "Paquel";
  const std::string settings = exe_dir + "Paquel.ini";
  using Outcome = HandoffResult::Outcome;
  if (!platform::FileExists(packager) || !platform::FileExists(settings))
    return {Outcome::kSkipped, "Paquel o Paquel.ini no están junto a Tornel"};
  if (first_project.empty()) return {Outcome::kSkipped, "no se encontraron proyectos"};

  platform::IniFile ini(settings);
  ini.WriteString("CONFIG", "RUTAPROG", pStDirectorio);
  ini.WriteString("CONFIG", "RUTADEST",
                  DirectorioPadre(DirectorioPadre(DirectorioPadre(first_project))) + "Compilado");
  platform::DetachedResult started = platform::StartDetached(packager, {"S"});
  if (!started.started) return {Outcome::kNotStarted, started.error};
  return {Outcome::kStarted, {}};
}

}  // namespace tornel
