// Hands a built source tree to the packager: writes the source and
// destination folders into the packager's settings file beside this program
// and starts the packager unattended, without waiting for it.
#pragma once

#include <string>
#include <string_view>

namespace tornel {

// The folder that holds path, with a trailing delimiter ("/a/b/c" and
// "/a/b/c/" both give "/a/b/").
std::string DirectorioPadre(std::string_view path);

struct HandoffResult {
  enum class Outcome { kSkipped, kStarted, kNotStarted } outcome = Outcome::kSkipped;
  std::string detail;  // why it was skipped, or the system's reason it did not start
};

// exe_dir: this program's folder with a trailing delimiter. The destination
// is the folder two levels above first_project's folder + "Compilado".
// Skipped when the packager or its settings file is missing beside this
// program, or when first_project is empty. Throws when the settings file
// cannot be written.
HandoffResult EjecutarEmpaquetador(const std::string& exe_dir, const std::string& pStDirectorio,
                                   const std::string& first_project);

}  // namespace tornel
