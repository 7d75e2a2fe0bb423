#include "paquel/packaging/pq_string_list.h"

#include "platform/strings.h"

namespace paquel {

int TPqStringList::Add(std::string_view text) {
  if (platform::Trim(FCodProg).empty())
    lines_.emplace_back(text);
  else
    lines_.push_back(FCodProg + " : " + std::string(text));
  return Count() - 1;
}

}  // namespace paquel
