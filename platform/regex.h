// One wrapper over PCRE2 so every pattern is compiled once (with JIT where
// the machine has it) and searched many times, from any thread. Subjects are
// UTF-8, checked once per search and then matched without PCRE2's own check;
// a subject that is not valid UTF-8 is read as Windows-1252, as the
// product's sources may be.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace platform {

PLATFORM_DECLARE_ERROR(ERegularExpressionError);

class Regex {
 public:
  enum Options : unsigned {
    kNone = 0,
    kCaseless = 1u << 0,  // letters match without regard to case
    kDotAll = 1u << 1,    // "." also matches line breaks
  };

  // Throws ERegularExpressionError naming the pattern and PCRE2's reason.
  explicit Regex(std::string_view pattern, unsigned options = kCaseless);
  ~Regex();
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;

  // True when the pattern matches anywhere in subject.
  bool Search(std::string_view subject) const;
  // The same for a subject the caller has already checked to be valid UTF-8
  // (text read through ReadTextFile is): many rules over one text then
  // validate it once, not once per rule.
  bool SearchUtf8(std::string_view valid_utf8) const;

  struct Match {
    size_t start = 0;  // byte offsets into the (UTF-8) subject
    size_t end = 0;
    std::string text;  // the whole-match text
  };
  // The first match at or after byte offset start.
  std::optional<Match> Find(std::string_view subject, size_t start = 0) const;
  // Every non-overlapping match, left to right.
  std::vector<Match> FindAll(std::string_view subject) const;

  const std::string& pattern() const { return pattern_; }

 private:
  struct Compiled;
  // Matches subject, which must be valid UTF-8, from start.
  std::optional<Match> FindValid(std::string_view subject, size_t start, bool with_text) const;

  std::string pattern_;
  std::unique_ptr<Compiled> compiled_;
};

}  // namespace platform
