#include "tornel/projectfile/inf_version.h"

#include <vector>

#include "platform/strings.h"

namespace tornel {

std::string TInfVersion::ToString() const {
  return std::to_string(MajorVersion) + "." + std::to_string(MinorVersion) + "." +
         std::to_string(Release) + "." + std::to_string(Build);
}

void TInfVersion::FromString(std::string_view value) {
  std::string text = platform::Trim(value);
  // Every dot splits; an empty part between two dots counts, a trailing
  // dot adds no part.
  std::vector<std::string_view> parts;
  std::string_view rest = text;
  while (!rest.empty()) {
    size_t dot = rest.find('.');
    parts.push_back(rest.substr(0, dot));
    if (dot == std::string_view::npos) break;
    rest.remove_prefix(dot + 1);
  }
  int32_t* fields[] = {&MajorVersion, &MinorVersion, &Release, &Build};
  for (size_t i = 0; i < 4; ++i) *fields[i] = i < parts.size() ? platform::LenientToInt(parts[i]) : 0;
}

TInfVersion TInfVersion::Parse(std::string_view value) {
  TInfVersion v;
  v.FromString(value);
  return v;
}

}  // namespace tornel
