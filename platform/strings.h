// Text helpers with the semantics the product's rules are written in: blanks
// are every character up to the space, and "without regard to case" means
// ASCII letters, as the keys and names compared are ASCII.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Removes leading and trailing characters whose code is at most 32.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

// Position (0-based) of the first occurrence of needle, without regard to
// case; npos when absent.
size_t FindText(std::string_view haystack, std::string_view needle, size_t from = 0);

// Replaces every occurrence of from (without regard to case when ignore_case).
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to,
                       bool ignore_case);

// Reads an integer the lenient way: leading blanks, a sign, "$" or "0x" for
// hexadecimal; stops at the first character that does not belong to the
// number and keeps what was read; no digits gives 0. Never fails.
int32_t LenientToInt(std::string_view s);

// Reads an integer strictly: the whole text (blanks around allowed) must be a
// decimal or "$"/"0x" hexadecimal number within 32 bits.
std::optional<int32_t> StrToIntStrict(std::string_view s);

// UTF-8 helpers. Text inside the programs is UTF-8; lengths of fixed-size
// fields are counted in characters.
bool IsValidUtf8(std::string_view s);
size_t Utf8Length(std::string_view s);
std::string Utf8Left(std::string_view s, size_t max_chars);

}  // namespace platform
