#include "platform/pe_version.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kResourceTypeVersion = 16;
constexpr uint32_t kSubdirectoryFlag = 0x80000000;
constexpr size_t kFixedInfoSize = 52;
// The version block starts with its key and the fixed record; what follows
// (the string tables) is never needed, so no more than this is read.
constexpr size_t kVersionBlockPrefix = 256;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t{U16(p)} | uint32_t{U16(p + 2)} << 16; }

// Reads of exact ranges of a regular file. A range that does not lie wholly
// inside the file fails, which is how every malformed offset or size ends.
class FileReader {
 public:
  explicit FileReader(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) return;
    struct stat st;
    // Only regular files: a pipe or device could block or never end.
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    size_ = static_cast<uint64_t>(st.st_size);
  }
  ~FileReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  bool ok() const { return fd_ >= 0; }
  uint64_t size() const { return size_; }

  std::optional<Bytes> Read(uint64_t offset, size_t length) const {
    if (offset > size_ || length > size_ - offset) return std::nullopt;
    Bytes out(length);
    size_t done = 0;
    while (done < length) {
      ssize_t got =
          ::pread(fd_, out.data() + done, length - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return std::nullopt;
      done += static_cast<size_t>(got);
    }
    return out;
  }

 private:
  int fd_;
  uint64_t size_ = 0;
};

struct Section {
  uint32_t virtual_address;
  uint32_t virtual_size;
  uint32_t raw_size;
  uint32_t raw_offset;
};

// The file offset of an address of the loaded image, when the bytes there
// come from the file.
std::optional<uint64_t> FileOffsetOf(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections) {
    // Some linkers leave the virtual size zero or short; either size covers.
    uint64_t span = std::max(s.virtual_size, s.raw_size);
    if (rva < s.virtual_address || rva - s.virtual_address >= span) continue;
    uint32_t delta = rva - s.virtual_address;
    if (delta >= s.raw_size) return std::nullopt;  // zero-filled memory, not in the file
    return uint64_t{s.raw_offset} + delta;
  }
  return std::nullopt;
}

struct ResourceEntry {
  uint32_t name;
  uint32_t data;
};

// The first max_entries entries of the resource directory at offset. A
// directory whose entries would not fit in the file is malformed. Counts are
// 16-bit, so even a forged directory costs at most about 1 MB.
std::optional<std::vector<ResourceEntry>> ReadDirectory(const FileReader& file, uint64_t offset,
                                                        size_t max_entries) {
  auto header = file.Read(offset, 16);
  if (!header) return std::nullopt;
  const size_t declared = size_t{U16(&(*header)[12])} + U16(&(*header)[14]);
  if (declared * 8 > file.size() - (offset + 16)) return std::nullopt;
  const size_t count = std::min(declared, max_entries);
  auto raw = file.Read(offset + 16, count * 8);
  if (!raw) return std::nullopt;
  std::vector<ResourceEntry> entries(count);
  for (size_t i = 0; i < count; ++i)
    entries[i] = {U32(&(*raw)[i * 8]), U32(&(*raw)[i * 8 + 4])};
  return entries;
}

// The data-entry offset under a type's directory: the first name, then its
// first language. The walk has a fixed depth, so a directory that points back
// at itself or an ancestor ends it instead of looping.
std::optional<uint64_t> FirstDataEntry(const FileReader& file, uint64_t root, uint32_t type_data) {
  uint32_t data = type_data;
  for (int level = 0; level < 2; ++level) {
    if ((data & kSubdirectoryFlag) == 0) return std::nullopt;
    auto entries = ReadDirectory(file, root + (data & ~kSubdirectoryFlag), 1);
    if (!entries || entries->empty()) return std::nullopt;
    data = (*entries)[0].data;
  }
  if (data & kSubdirectoryFlag) return std::nullopt;
  return root + data;
}

// VS_VERSIONINFO: three words, the zero-terminated UTF-16 key, padding to a
// 32-bit boundary, then the fixed record.
std::optional<PeVersion> ParseVersionBlock(const Bytes& block) {
  size_t pos = 6;
  while (pos + 2 <= block.size() && U16(&block[pos]) != 0) pos += 2;
  if (pos + 2 > block.size()) return std::nullopt;
  pos = (pos + 2 + 3) & ~size_t{3};
  if (pos + kFixedInfoSize > block.size()) return std::nullopt;
  const uint8_t* fixed = &block[pos];
  if (U32(fixed) != kFixedInfoSignature) return std::nullopt;
  auto split = [](uint32_t ms, uint32_t ls) {
    return std::array<uint16_t, 4>{static_cast<uint16_t>(ms >> 16), static_cast<uint16_t>(ms),
                                   static_cast<uint16_t>(ls >> 16), static_cast<uint16_t>(ls)};
  };
  return PeVersion{split(U32(fixed + 8), U32(fixed + 12)), split(U32(fixed + 16), U32(fixed + 20))};
}

}  // namespace

std::optional<PeVersion> ReadPeVersion(const std::string& path) {
  FileReader file(path);
  if (!file.ok()) return std::nullopt;

  auto dos = file.Read(0, 64);
  if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z') return std::nullopt;
  const uint64_t pe = U32(&(*dos)[0x3C]);
  auto coff = file.Read(pe, 24);
  if (!coff || U32(coff->data()) != 0x00004550) return std::nullopt;  // "PE\0\0"
  const size_t section_count = U16(&(*coff)[6]);
  const size_t optional_size = U16(&(*coff)[20]);

  auto optional = file.Read(pe + 24, optional_size);
  if (!optional || optional_size < 2) return std::nullopt;
  size_t directories;  // where the data directories start
  switch (U16(optional->data())) {
    case 0x10B: directories = 96; break;   // PE32
    case 0x20B: directories = 112; break;  // PE32+
    default: return std::nullopt;
  }
  constexpr size_t kResourceDirectory = 2;
  if (optional_size < directories + (kResourceDirectory + 1) * 8) return std::nullopt;
  if (U32(&(*optional)[directories - 4]) <= kResourceDirectory) return std::nullopt;
  const uint32_t resource_rva = U32(&(*optional)[directories + kResourceDirectory * 8]);
  if (resource_rva == 0) return std::nullopt;

  auto table = file.Read(pe + 24 + optional_size, section_count * 40);
  if (!table) return std::nullopt;
  std::vector<Section> sections(section_count);
  for (size_t i = 0; i < section_count; ++i) {
    const uint8_t* h = &(*table)[i * 40];
    sections[i] = {U32(h + 12), U32(h + 8), U32(h + 16), U32(h + 20)};
  }

  auto root = FileOffsetOf(sections, resource_rva);
  if (!root) return std::nullopt;
  auto types = ReadDirectory(file, *root, SIZE_MAX);
  if (!types) return std::nullopt;
  auto type = std::find_if(types->begin(), types->end(),
                           [](const ResourceEntry& e) { return e.name == kResourceTypeVersion; });
  if (type == types->end()) return std::nullopt;
  auto data_entry = FirstDataEntry(file, *root, type->data);
  if (!data_entry) return std::nullopt;

  auto entry = file.Read(*data_entry, 16);
  if (!entry) return std::nullopt;
  auto block_offset = FileOffsetOf(sections, U32(entry->data()));
  if (!block_offset) return std::nullopt;
  auto block = file.Read(*block_offset, std::min<size_t>(U32(&(*entry)[4]), kVersionBlockPrefix));
  if (!block) return std::nullopt;
  return ParseVersionBlock(*block);
}

std::string VersionText(const std::array<uint16_t, 4>& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

}  // namespace platform
