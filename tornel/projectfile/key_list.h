// The version-information key list of a project file: items Key=Value
// separated by ";", where an item holding ";" or a double quote is written
// in double quotes with inner quotes doubled.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tornel {

enum class KeyListSplit {
  kAtSemicolons,           // blanks belong to the values (writer, packager)
  kAtSemicolonsAndBlanks,  // also at blanks and control characters outside quotes
};

std::vector<std::string> SplitKeyList(std::string_view text, KeyListSplit mode);
// Joins items with ";", quoting those that need it.
std::string JoinKeyList(const std::vector<std::string>& items);

// The text after the first "=" of the first item whose key equals name
// without regard to case; nullopt when there is none.
std::optional<std::string> KeyListValue(const std::vector<std::string>& items,
                                        std::string_view name);
// Replaces the first item with that key (spelling the key as given) or
// appends name=value at the end.
void SetKeyListValue(std::vector<std::string>& items, std::string_view name,
                     std::string_view value);

// The display name taken from the raw key-list text: the characters between
// "FileDescription=" and the following "FileVersion=", as positions in the
// text decide, with ";" turned into blanks.
std::string KeyListDisplayName(std::string_view raw);

}  // namespace tornel
