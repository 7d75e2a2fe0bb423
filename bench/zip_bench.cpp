// Archives a folder with our writer, for bench/zip_bench.sh to time against
// Info-ZIP: every file below the folder, in listing order, named by its path
// relative to the folder with '/' between folders.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "paquel/packaging/zip_writer.h"
#include "platform/files.h"

namespace {

void Collect(const std::string& dir, const std::string& prefix, std::vector<paquel::ZipEntry>& out) {
  for (const auto& e : platform::ListDirectory(dir)) {
    if (e.is_dir) {
      Collect(dir + "/" + e.name, prefix + e.name + "/", out);
    } else {
      out.push_back({prefix + e.name, dir + "/" + e.name});
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: zip_bench <folder> <archive> [threads] [level]\n");
    return 2;
  }
  paquel::ZipOptions options;
  if (argc > 3) options.threads = static_cast<unsigned>(std::atoi(argv[3]));
  if (argc > 4) options.level = std::atoi(argv[4]);
  try {
    std::vector<paquel::ZipEntry> entries;
    Collect(argv[1], "", entries);
    paquel::WriteZip(argv[2], entries, options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
