// The message list of one program: in mass mode every line carries the
// program's prefix (its server program name) and " : ", so the lines of many
// programs can share one report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace paquel {

class TPqStringList {
 public:
  void SetCodProg(std::string value) { FCodProg = std::move(value); }
  const std::string& CodProg() const { return FCodProg; }

  // Adds text, behind the prefix when there is one; answers the new index.
  int Add(std::string_view text);
  const std::vector<std::string>& Lines() const { return lines_; }
  bool Empty() const { return lines_.empty(); }
  int Count() const { return static_cast<int>(lines_.size()); }

 private:
  std::string FCodProg;
  std::vector<std::string> lines_;
};

}  // namespace paquel
