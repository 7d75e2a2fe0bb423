#include "tornel/driver/messages.h"

#include <cstdio>

namespace tornel {

void StderrMessages::ShowError(const std::string& text) {
  std::fprintf(stderr, "Tornel: error: %s\n", text.c_str());
  std::fflush(stderr);
}

void StderrMessages::ShowInformation(const std::string& text) {
  std::fprintf(stderr, "Tornel: %s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace tornel
