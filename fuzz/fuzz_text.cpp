// Readers of short texts: version texts, key lists (with the round trip of
// the writer), the error-line scan and the program filter.
#include <cstdlib>
#include <string>

#include "platform/delimited_text.h"
#include "tornel/build/error_detection.h"
#include "tornel/projectfile/inf_version.h"
#include "tornel/projectfile/key_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tornel::TInfVersion::Parse(text);
  tornel::KeyListDisplayName(text);
  auto loose = tornel::SplitKeyList(text, tornel::KeyListSplit::kAtSemicolonsAndBlanks);
  auto strict = tornel::SplitKeyList(text, tornel::KeyListSplit::kAtSemicolons);
  // Whatever was read comes back unchanged through the writer.
  if (tornel::SplitKeyList(tornel::JoinKeyList(strict), tornel::KeyListSplit::kAtSemicolons) != strict &&
      text.find('\0') == std::string::npos)
    std::abort();
  tornel::SetKeyListValue(strict, "FileVersion", "1.2.3.4");
  tornel::JoinKeyList(strict);
  platform::SplitDelimited(text, ',', platform::Delimiting::kLoose);
  tornel::BuscarLineaError(text);
  (void)loose;
  return 0;
}
