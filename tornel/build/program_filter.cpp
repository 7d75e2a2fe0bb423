#include "tornel/build/program_filter.h"

#include "platform/regex.h"
#include "platform/strings.h"

namespace tornel {
namespace {

// Bytes of the first (UTF-8) character of s.
size_t FirstCharLength(std::string_view s) {
  size_t n = s.empty() ? 0 : 1;
  while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

bool ProyectoEnFiltro(bool FBoFiltProj, const std::vector<std::string>& FSlFiltProj,
                      std::string_view code) {
  if (!FBoFiltProj) return true;
  const std::string trimmed_code = platform::Trim(code);
  if (platform::Utf8Length(trimmed_code) < 6) return true;
  for (const std::string& line : FSlFiltProj) {
    std::string entry = platform::Trim(line);
    if (platform::Utf8Length(entry) < 2) continue;
    std::string pattern = line;
    if (entry[0] == 'M' || entry[0] == 'm') {
      // The first character as stored, which may be a blank before the "M".
      pattern.replace(0, FirstCharLength(pattern),
                      trimmed_code.substr(0, FirstCharLength(trimmed_code)));
    }
    if (platform::Regex(pattern, platform::Regex::kCaseless | platform::Regex::kDotAll)
            .Search(code))
      return true;
  }
  return false;
}

}  // namespace tornel
