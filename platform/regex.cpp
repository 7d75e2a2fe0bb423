#include "platform/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "platform/strings.h"
#include "platform/text.h"

namespace platform {

struct Regex::Compiled {
  pcre2_code* code = nullptr;
  // Reused across searches: the programs search from one thread and a fresh
  // block per line would dominate the cost of short subjects.
  pcre2_match_data* match = nullptr;
  ~Compiled() {
    pcre2_match_data_free(match);
    pcre2_code_free(code);
  }
};

Regex::Regex(std::string_view pattern, unsigned options)
    : pattern_(pattern), compiled_(std::make_unique<Compiled>()) {
  uint32_t flags = PCRE2_UTF;
  if (options & kCaseless) flags |= PCRE2_CASELESS;
  if (options & kDotAll) flags |= PCRE2_DOTALL;
  std::string valid = ToValidUtf8(pattern);
  int err = 0;
  PCRE2_SIZE offset = 0;
  compiled_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(valid.data()), valid.size(), flags,
                                  &err, &offset, nullptr);
  if (!compiled_->code) {
    PCRE2_UCHAR buf[256];
    pcre2_get_error_message(err, buf, sizeof buf);
    throw ERegularExpressionError("Error in regular expression \"" + valid + "\" at offset " +
                                  std::to_string(offset) + ": " +
                                  reinterpret_cast<const char*>(buf));
  }
  // Without JIT support the interpreter serves the same searches.
  pcre2_jit_compile(compiled_->code, PCRE2_JIT_COMPLETE);
  compiled_->match = pcre2_match_data_create_from_pattern(compiled_->code, nullptr);
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

std::optional<Regex::Match> Regex::FindValid(std::string_view subject, size_t start) const {
  int rc = pcre2_match(compiled_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()),
                       subject.size(), start, PCRE2_NO_UTF_CHECK, compiled_->match, nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return std::nullopt;
  if (rc < 0) {
    PCRE2_UCHAR buf[256];
    pcre2_get_error_message(rc, buf, sizeof buf);
    throw ERegularExpressionError("Error matching regular expression \"" + pattern_ +
                                  "\": " + reinterpret_cast<const char*>(buf));
  }
  PCRE2_SIZE* ov = pcre2_get_ovector_pointer(compiled_->match);
  Match m;
  m.start = ov[0];
  m.end = ov[1] < ov[0] ? ov[0] : ov[1];  // \K may put the end before the start
  m.text.assign(subject.substr(m.start, m.end - m.start));
  return m;
}

bool Regex::Search(std::string_view subject) const { return Find(subject).has_value(); }

std::optional<Regex::Match> Regex::Find(std::string_view subject, size_t start) const {
  if (IsValidUtf8(subject)) {
    if (start > subject.size()) return std::nullopt;
    return FindValid(subject, start);
  }
  // Offsets then refer to the converted text.
  std::string converted = Windows1252ToUtf8(subject);
  if (start > converted.size()) return std::nullopt;
  return FindValid(converted, start);
}

std::vector<Regex::Match> Regex::FindAll(std::string_view input) const {
  std::string converted;
  std::string_view subject = input;
  if (!IsValidUtf8(subject)) {
    converted = Windows1252ToUtf8(input);
    subject = converted;
  }
  std::vector<Match> out;
  size_t pos = 0;
  while (pos <= subject.size()) {
    auto m = FindValid(subject, pos);
    if (!m) break;
    size_t next = m->end;
    if (m->end == m->start) {
      // An empty match: step one whole character to stay on UTF-8 bounds.
      next = m->end + 1;
      while (next < subject.size() && (static_cast<unsigned char>(subject[next]) & 0xC0) == 0x80)
        ++next;
    }
    out.push_back(std::move(*m));
    pos = next;
  }
  return out;
}

}  // namespace platform
