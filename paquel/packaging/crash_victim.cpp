// Rewrites files for ever, for the test that kills it at random moments:
// "file <path>" alternates two large contents through the atomic file
// writer; "zip <archive> <a> <b>" alternates archives of two large files.
#include <cstring>
#include <string>

#include "paquel/packaging/zip_writer.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "file") == 0) {
    const std::string a(8 << 20, 'a'), b(8 << 20, 'b');
    for (unsigned i = 0;; ++i) platform::WriteFileAtomic(argv[2], i % 2 ? b : a);
  }
  if (argc >= 5 && std::strcmp(argv[1], "zip") == 0) {
    for (unsigned i = 0;; ++i) paquel::WriteZip(argv[2], {{"datos.bin", i % 2 ? argv[4] : argv[3]}});
  }
  return 2;
}
