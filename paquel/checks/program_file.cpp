#include "paquel/checks/program_file.h"

#include "paquel/checks/check_error.h"
#include "platform/paths.h"
#include "platform/regex.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace paquel {
namespace {

constexpr const char* kUrerrlq2 = "URERRLQ2.pas";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The file name of a path written in the sources: after the last "\" or ":".
std::string NombreEnFuente(const std::string& path) {
  size_t cut = path.find_last_of("\\:/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Paths in the sources are Windows paths: "\" separates folders.
std::string PathLocal(std::string path) {
  for (char& c : path)
    if (c == '\\') c = platform::kPathDelim;
  return path;
}

}  // namespace

void DesglosarDpr(const std::string& pStRutaDpr, const std::string& pStNomProg,
                  std::vector<std::string>& pSlObjDpr) {
  const std::vector<std::string> lines = Lines(platform::ReadTextFile(pStRutaDpr).text);
  if (platform::LowerCase(platform::ExtractFileName(pStRutaDpr)) ==
      platform::LowerCase("M" + pStNomProg + ".dpr")) {
    static const platform::Regex kTitulo("Application.Title\\s", platform::Regex::kCaseless);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (!kTitulo.Search(text))
      throw EPaquel(
          "En el servidor, en la configuracion del proyecto no ha asignado la propiedad "
          "appearance -> title");
    return;
  }

  // The clause runs from the line after a line that is exactly "uses" up to
  // the first line that holds ";".
  std::string clause;
  size_t marker = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (marker > 0) {
      clause += lines[i];
      if (lines[i].find(';') != std::string::npos) break;
    }
    if (lines[i] == "uses") marker = i;
  }

  const std::string folder = platform::ExtractFileDir(pStRutaDpr);
  size_t start = 0;
  while (start <= clause.size() && !clause.empty()) {
    size_t comma = clause.find(',', start);
    std::string item = clause.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    start = comma == std::string::npos ? clause.size() + 1 : comma + 1;
    size_t open = item.find('\'');
    if (open == std::string::npos) continue;
    size_t close = item.find('\'', open + 1);
    std::string unit = item.substr(open + 1, close == std::string::npos ? std::string::npos
                                                                       : close - open - 1);
    const std::string name = NombreEnFuente(unit);
    const bool drive_m = unit.size() >= 2 && unit[1] == ':' && (unit[0] == 'M' || unit[0] == 'm');
    if (drive_m && name != kUrerrlq2) continue;
    pSlObjDpr.push_back(folder + platform::kPathDelim + PathLocal(unit));
    if (name != kUrerrlq2)
      pSlObjDpr.push_back(folder + platform::kPathDelim +
                          platform::ChangeFileExt(PathLocal(platform::LowerCase(unit)), ".dfm"));
  }
}

}  // namespace paquel
