// The release archive is a ZIP file that other people's tools must open on
// any system, so it is written by us to a narrow, well-supported profile:
// Deflate for every entry, UTF-8 names flagged as such, a Unix "made by" host
// so that unzip keeps those names, and zip64 records only where sizes,
// offsets or the entry count need them. Compression runs on worker threads,
// yet the bytes of the archive depend only on the entries and the level.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace paquel {

struct ZipEntry {
  std::string name;         // UTF-8, '/' between folders, no leading '/'
  std::string source_path;  // the file whose bytes the entry holds
};

struct ZipOptions {
  unsigned threads = 0;  // compressing threads; 0 = one per hardware thread
  int level = 6;         // Deflate level, 0..12 (files streamed from disk use at most 9)
  // Called on the calling thread after every entry and at least every 100 ms
  // while it waits, so that a window stays live during a long archive.
  std::function<void()> pump;
};

// Writes the entries, in their order, to a new archive that replaces
// archive_path only once it is complete; on failure nothing is left behind
// and an existing archive is kept. Throws platform::EFOpenError when a source
// cannot be read (the first such entry in order), platform::EFCreateError
// when the archive cannot be written.
void WriteZip(const std::string& archive_path, const std::vector<ZipEntry>& entries,
              const ZipOptions& options = {});

namespace zip_internal {

// The limits at which the format and the memory bound change the way an entry
// is written. Only tests lower them, to reach the zip64 and streaming paths
// with small files.
struct ZipLimits {
  uint64_t max_classic_value = 0xFFFFFFFF;   // sizes and offsets from here on are zip64
  uint64_t max_classic_entries = 0xFFFF;     // entry counts from here on are zip64
  uint64_t max_in_memory_size = 64u << 20;   // larger files are streamed through zlib
};

void WriteZipWithLimits(const std::string& archive_path, const std::vector<ZipEntry>& entries,
                        const ZipOptions& options, const ZipLimits& limits);

}  // namespace zip_internal
}  // namespace paquel
