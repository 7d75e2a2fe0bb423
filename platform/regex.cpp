#include "platform/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "platform/strings.h"
#include "platform/text.h"

namespace platform {

namespace {

// Match results of the calling thread, reused across searches: a fresh
// block per search would dominate the cost of short subjects, and one per
// thread keeps a compiled pattern usable from any thread. Only the whole
// match is read, which PCRE2 fills even when a pattern has more groups.
constexpr uint32_t kSharedPairs = 16;

struct MatchDataDeleter {
  void operator()(pcre2_match_data* m) const { pcre2_match_data_free(m); }
};
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

pcre2_match_data* SharedMatchData() {
  thread_local MatchData data(pcre2_match_data_create(kSharedPairs, nullptr));
  return data.get();
}

}  // namespace

struct Regex::Compiled {
  pcre2_code* code = nullptr;
  ~Compiled() { pcre2_code_free(code); }
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
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

std::optional<Regex::Match> Regex::FindValid(std::string_view subject, size_t start,
                                             bool with_text) const {
  pcre2_match_data* match = SharedMatchData();
  int rc = pcre2_match(compiled_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()),
                       subject.size(), start, PCRE2_NO_UTF_CHECK, match, nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return std::nullopt;
  if (rc < 0) {  // 0 only says that not every group fitted
    PCRE2_UCHAR buf[256];
    pcre2_get_error_message(rc, buf, sizeof buf);
    throw ERegularExpressionError("Error matching regular expression \"" + pattern_ +
                                  "\": " + reinterpret_cast<const char*>(buf));
  }
  PCRE2_SIZE* ov = pcre2_get_ovector_pointer(match);
  Match m;
  m.start = ov[0];
  m.end = ov[1] < ov[0] ? ov[0] : ov[1];  // \K may put the end before the start
  if (with_text) m.text.assign(subject.substr(m.start, m.end - m.start));
  return m;
}

bool Regex::Search(std::string_view subject) const {
  if (IsValidUtf8(subject)) return FindValid(subject, 0, false).has_value();
  return FindValid(Windows1252ToUtf8(subject), 0, false).has_value();
}

bool Regex::SearchUtf8(std::string_view valid_utf8) const {
  return FindValid(valid_utf8, 0, false).has_value();
}

std::optional<Regex::Match> Regex::Find(std::string_view subject, size_t start) const {
  if (IsValidUtf8(subject)) {
    if (start > subject.size()) return std::nullopt;
    return FindValid(subject, start, true);
  }
  // Offsets then refer to the converted text.
  std::string converted = Windows1252ToUtf8(subject);
  if (start > converted.size()) return std::nullopt;
  return FindValid(converted, start, true);
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
    auto m = FindValid(subject, pos, true);
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
