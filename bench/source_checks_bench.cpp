// Runs the source checks of a mass packaging run over every program folder
// below a folder: program files decomposed, unit and form paths sorted, each
// existing unit and form checked as the run checks it. Prints the number of
// programs, files and warnings, and the time taken.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "paquel/checks/program_file.h"
#include "paquel/checks/source_checks.h"
#include "paquel/packaging/pq_string_list.h"
#include "platform/files.h"
#include "platform/find_files.h"
#include "platform/path_resolve.h"
#include "platform/paths.h"
#include "platform/strings.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: source_checks_bench <folder of program folders>\n");
    return 2;
  }
  const std::string root = argv[1];
  const auto start = std::chrono::steady_clock::now();
  const paquel::ValidadorFuentes validador;  // compiled once for the run
  size_t programs = 0, files = 0, warnings = 0;
  for (const platform::DirEntry& e : platform::ListDirectory(root)) {
    if (!e.is_dir) continue;
    const std::string folder = platform::IncludeTrailingPathDelimiter(root) + e.name;
    const std::string code = e.name;
    paquel::EstadoFuentes estado;
    paquel::TPqStringList mensajes;
    mensajes.SetCodProg("M" + code);
    std::vector<std::string> list;
    for (const std::string& dpr : platform::FindFiles(folder, "*.dpr", true)) {
      try {
        paquel::DesglosarDpr(dpr, code, list);
      } catch (const std::exception&) {
      }
    }
    std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
      return platform::UpperCase(a) < platform::UpperCase(b);
    });
    for (const std::string& f : list) {
      const std::optional<std::string> existing = platform::ResolveExisting(f);
      if (!existing) continue;
      const std::string& path = *existing;
      ++files;
      if (platform::SameText(platform::ExtractFileName(f), "U" + code + ".dfm"))
        validador.ValidarConexion(path, "Cliente", mensajes, estado);
      validador.ValidarConexion(path, "Cliente", mensajes, estado);
    }
    ++programs;
    warnings += mensajes.Lines().size();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("programs %zu, files checked %zu, warnings %zu, seconds %.3f\n", programs, files,
              warnings, seconds);
  return 0;
}
