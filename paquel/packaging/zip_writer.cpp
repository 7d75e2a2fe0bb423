#include "paquel/packaging/zip_writer.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "platform/error.h"
#include "platform/paths.h"

namespace paquel {
namespace zip_internal {
namespace {

constexpr uint32_t kLocalHeaderSig = 0x04034b50;
constexpr uint32_t kCentralHeaderSig = 0x02014b50;
constexpr uint32_t kZip64EndSig = 0x06064b50;
constexpr uint32_t kZip64LocatorSig = 0x07064b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint16_t kZip64ExtraId = 0x0001;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kFlagUtf8 = 1 << 11;
constexpr uint16_t kVersionDeflate = 20;
constexpr uint16_t kVersionZip64 = 45;
// A Unix host, so that unzip takes the names as UTF-8 and applies the mode
// bits; format version 6.3, the first with UTF-8 names.
constexpr uint16_t kVersionMadeBy = (3 << 8) | 63;
// What follows the fixed part of the zip64 end record ("size of record").
constexpr uint64_t kZip64EndRestSize = 44;

// Entries compressed ahead of the writer hold their source and their Deflate
// output at once; this bounds the sum. The count is generous so that, while
// one large file is compressed, the other threads can get through the many
// small files behind it instead of waiting.
constexpr uint64_t kInFlightBudget = 256u << 20;
constexpr size_t kEntriesAheadPerThread = 256;
constexpr size_t kStreamChunk = 1u << 20;
constexpr size_t kOutputBuffer = 1u << 20;
constexpr auto kPumpInterval = std::chrono::milliseconds(100);

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<uint16_t>(v >> 16));
}
void Put64(std::string& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v & 0xFFFFFFFF));
  Put32(out, static_cast<uint32_t>(v >> 32));
}
// A classic 32-bit field, or the marker that sends the reader to zip64.
uint32_t Field32(uint64_t v, bool zip64) { return zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(v); }

std::string Reason(int err) { return std::strerror(err); }

[[noreturn]] void ThrowOpen(const std::string& path, int err) {
  throw platform::EFOpenError("Cannot open file \"" + path + "\". " + Reason(err));
}

mode_t CurrentUmask() {
  mode_t old = ::umask(0);
  ::umask(old);
  return old;
}

struct Bytes {
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
};

// What the entry records of its source besides the bytes.
struct FileStamp {
  uint16_t dos_time = 0;
  uint16_t dos_date = 0;
  uint32_t external_attributes = 0;
};

FileStamp StampOf(const struct stat& st) {
  time_t t = st.st_mtime;
  struct tm tm {};
  ::localtime_r(&t, &tm);
  // MS-DOS dates cover 1980 to 2107; times outside are pinned to the ends.
  if (tm.tm_year < 80) {
    tm = {};
    tm.tm_year = 80;
    tm.tm_mday = 1;
  } else if (tm.tm_year > 207) {
    tm = {};
    tm.tm_year = 207;
    tm.tm_mon = 11;
    tm.tm_mday = 31;
    tm.tm_hour = 23;
    tm.tm_min = 59;
    tm.tm_sec = 58;
  }
  FileStamp s;
  s.dos_time = static_cast<uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  s.dos_date = static_cast<uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  // The Unix mode for unzip on the high half; the MS-DOS read-only bit for
  // Windows tools in the low byte.
  s.external_attributes = (static_cast<uint32_t>(S_IFREG | (st.st_mode & 0777)) << 16) |
                          ((st.st_mode & S_IWUSR) ? 0u : 0x01u);
  return s;
}

class SourceFile {
 public:
  explicit SourceFile(const std::string& path) : path_(path) {
    do {
      fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) ThrowOpen(path, errno);
    struct stat st;
    if (::fstat(fd_, &st) != 0) Close(errno);
    if (S_ISDIR(st.st_mode)) Close(EISDIR);
    size_ = static_cast<uint64_t>(st.st_size);
    stamp_ = StampOf(st);
  }
  ~SourceFile() { ::close(fd_); }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  uint64_t size() const { return size_; }  // when opened; the file may change
  const FileStamp& stamp() const { return stamp_; }

  // Up to n bytes; 0 only at the end of the file.
  size_t Read(uint8_t* buf, size_t n) {
    while (true) {
      ssize_t got = ::read(fd_, buf, n);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR)
        throw platform::EFOpenError("Cannot read file \"" + path_ + "\". " + Reason(errno));
    }
  }

 private:
  [[noreturn]] void Close(int err) {
    ::close(fd_);
    ThrowOpen(path_, err);
  }

  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
  FileStamp stamp_;
};

// The whole file, unless it holds more than limit bytes: then false, and the
// caller streams it instead.
bool ReadUpTo(SourceFile& file, uint64_t limit, Bytes& out) {
  // One byte more than expected, so that reaching the end needs no guess.
  size_t capacity = static_cast<size_t>(std::min(file.size(), limit)) + 1;
  out.data = std::make_unique_for_overwrite<uint8_t[]>(capacity);
  out.size = 0;
  while (true) {
    if (out.size == capacity) {
      if (out.size > limit) return false;
      size_t grown = static_cast<size_t>(std::min<uint64_t>(uint64_t{capacity} * 2, limit + 1));
      auto bigger = std::make_unique_for_overwrite<uint8_t[]>(grown);
      std::memcpy(bigger.get(), out.data.get(), out.size);
      out.data = std::move(bigger);
      capacity = grown;
    }
    size_t got = file.Read(out.data.get() + out.size, capacity - out.size);
    if (got == 0) return true;
    out.size += got;
  }
}

// One entry between the listing and the archive.
struct Slot {
  const ZipEntry* entry = nullptr;
  uint64_t cost = 0;    // its share of the in-flight budget
  bool stream = false;  // too large to hold: the writer streams it
  bool done = false;    // guarded by the pool's mutex
  Bytes deflated;
  uint32_t crc = 0;
  uint64_t size = 0;
  FileStamp stamp;
  std::exception_ptr error;
};

void CompressInMemory(libdeflate_compressor* compressor, const ZipLimits& limits, Slot& slot) {
  SourceFile file(slot.entry->source_path);
  Bytes raw;
  if (!ReadUpTo(file, limits.max_in_memory_size, raw)) {
    slot.stream = true;
    return;
  }
  slot.stamp = file.stamp();
  slot.size = raw.size;
  slot.crc = libdeflate_crc32(0, raw.data.get(), raw.size);
  size_t bound = libdeflate_deflate_compress_bound(compressor, raw.size);
  slot.deflated.data = std::make_unique_for_overwrite<uint8_t[]>(bound);
  slot.deflated.size =
      libdeflate_deflate_compress(compressor, raw.data.get(), raw.size, slot.deflated.data.get(), bound);
}

// Worker threads that compress the slots handed to them; the calling thread
// waits for the slots in listing order.
class CompressorPool {
 public:
  CompressorPool(unsigned threads, int level, const ZipLimits& limits) {
    try {
      for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this, level, &limits] { Work(level, limits); });
    } catch (...) {
      Stop();
      throw;
    }
  }
  ~CompressorPool() { Stop(); }
  CompressorPool(const CompressorPool&) = delete;
  CompressorPool& operator=(const CompressorPool&) = delete;

  void Submit(Slot* slot) {
    {
      std::lock_guard lock(mu_);
      queue_.push_back(slot);
    }
    work_cv_.notify_one();
  }

  void Wait(const Slot& slot, const std::function<void()>& pump) {
    std::unique_lock lock(mu_);
    while (!done_cv_.wait_for(lock, kPumpInterval, [&] { return slot.done; })) {
      lock.unlock();
      if (pump) pump();
      lock.lock();
    }
  }

 private:
  void Work(int level, const ZipLimits& limits) {
    std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(level), libdeflate_free_compressor);
    std::unique_lock lock(mu_);
    while (true) {
      work_cv_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      Slot* slot = queue_.front();
      queue_.pop_front();
      lock.unlock();
      try {
        if (!compressor) throw std::bad_alloc();
        CompressInMemory(compressor.get(), limits, *slot);
      } catch (...) {
        slot->error = std::current_exception();
      }
      lock.lock();
      slot->done = true;
      done_cv_.notify_one();
    }
  }

  void Stop() {
    {
      std::lock_guard lock(mu_);
      stopping_ = true;
      queue_.clear();
    }
    work_cv_.notify_all();
    for (auto& w : workers_) w.join();
    workers_.clear();
  }

  std::mutex mu_;
  std::condition_variable work_cv_;
  std::condition_variable done_cv_;
  std::deque<Slot*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// The archive under a temporary name in its folder, renamed over the target
// only when complete, so that neither a failure nor a killed process leaves a
// half archive under the target's name.
class ArchiveFile {
 public:
  explicit ArchiveFile(const std::string& path) : path_(path) {
    // Like any replaced file: a read-only archive is refused, and a
    // replacement keeps the old one's permissions.
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) Fail(EISDIR);
      if ((st.st_mode & S_IWUSR) == 0) Fail(EACCES);
      mode_ = st.st_mode & 07777;
    } else {
      mode_ = 0666 & ~CurrentUmask();
    }
    std::string dir = platform::ExtractFilePath(path_);
    tmp_ = (dir.empty() ? std::string("./") : dir) + "." + platform::ExtractFileName(path_) + ".XXXXXX";
    fd_ = ::mkstemp(tmp_.data());
    if (fd_ < 0) Fail(errno);
    buffer_.reserve(kOutputBuffer);
  }
  ~ArchiveFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(tmp_.c_str());
  }
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  uint64_t position() const { return position_; }

  void Write(const void* data, size_t n) {
    if (buffer_.size() + n > kOutputBuffer) {
      Flush();
      if (n >= kOutputBuffer) {
        WriteAt(data, n, position_);
        position_ += n;
        return;
      }
    }
    buffer_.append(static_cast<const char*>(data), n);
    position_ += n;
  }
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

  // Rewrites bytes already written, for a header whose sizes were unknown.
  void Patch(uint64_t offset, std::string_view bytes) {
    Flush();
    WriteAt(bytes.data(), bytes.size(), offset);
  }

  void Commit() {
    Flush();
    if (::fchmod(fd_, mode_) != 0) Fail(errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
    if (::rename(tmp_.c_str(), path_.c_str()) != 0) Fail(errno);
    committed_ = true;
  }

 private:
  void Flush() {
    WriteAt(buffer_.data(), buffer_.size(), position_ - buffer_.size());
    buffer_.clear();
  }

  void WriteAt(const void* data, size_t n, uint64_t offset) {
    auto* p = static_cast<const char*>(data);
    while (n > 0) {
      ssize_t put = ::pwrite(fd_, p, n, static_cast<off_t>(offset));
      if (put < 0) {
        if (errno == EINTR) continue;
        Fail(errno);
      }
      p += put;
      n -= static_cast<size_t>(put);
      offset += static_cast<uint64_t>(put);
    }
  }

  [[noreturn]] void Fail(int err) {
    throw platform::EFCreateError("Cannot create file \"" + path_ + "\". " + Reason(err));
  }

  std::string path_;
  std::string tmp_;
  int fd_ = -1;
  mode_t mode_ = 0644;
  std::string buffer_;
  uint64_t position_ = 0;
  bool committed_ = false;
};

// What the central directory says of an entry.
struct EntryRecord {
  const std::string* name = nullptr;
  uint32_t crc = 0;
  uint64_t size = 0;
  uint64_t compressed_size = 0;
  uint64_t offset = 0;  // of the local header
  FileStamp stamp;
  bool zip64_sizes = false;  // both sizes in zip64 fields, local and central
  uint16_t version_needed = kVersionDeflate;
};

void SetVersionNeeded(EntryRecord& r, const ZipLimits& limits) {
  r.version_needed = (r.zip64_sizes || r.offset >= limits.max_classic_value) ? kVersionZip64 : kVersionDeflate;
}

std::string LocalHeader(const EntryRecord& r) {
  std::string h;
  Put32(h, kLocalHeaderSig);
  Put16(h, r.version_needed);
  Put16(h, kFlagUtf8);
  Put16(h, kMethodDeflate);
  Put16(h, r.stamp.dos_time);
  Put16(h, r.stamp.dos_date);
  Put32(h, r.crc);
  Put32(h, Field32(r.compressed_size, r.zip64_sizes));
  Put32(h, Field32(r.size, r.zip64_sizes));
  Put16(h, static_cast<uint16_t>(r.name->size()));
  Put16(h, r.zip64_sizes ? 20 : 0);
  h += *r.name;
  if (r.zip64_sizes) {
    // A local zip64 field carries both sizes, whichever needed it.
    Put16(h, kZip64ExtraId);
    Put16(h, 16);
    Put64(h, r.size);
    Put64(h, r.compressed_size);
  }
  return h;
}

void AppendCentralHeader(std::string& out, const EntryRecord& r, const ZipLimits& limits) {
  bool zip64_offset = r.offset >= limits.max_classic_value;
  uint16_t zip64_data = static_cast<uint16_t>((r.zip64_sizes ? 16 : 0) + (zip64_offset ? 8 : 0));
  Put32(out, kCentralHeaderSig);
  Put16(out, kVersionMadeBy);
  Put16(out, r.version_needed);
  Put16(out, kFlagUtf8);
  Put16(out, kMethodDeflate);
  Put16(out, r.stamp.dos_time);
  Put16(out, r.stamp.dos_date);
  Put32(out, r.crc);
  Put32(out, Field32(r.compressed_size, r.zip64_sizes));
  Put32(out, Field32(r.size, r.zip64_sizes));
  Put16(out, static_cast<uint16_t>(r.name->size()));
  Put16(out, zip64_data ? static_cast<uint16_t>(zip64_data + 4) : 0);
  Put16(out, 0);  // comment
  Put16(out, 0);  // disk
  Put16(out, 0);  // internal attributes
  Put32(out, r.stamp.external_attributes);
  Put32(out, Field32(r.offset, zip64_offset));
  out += *r.name;
  if (zip64_data) {
    // Only the fields marked above, in the format's fixed order.
    Put16(out, kZip64ExtraId);
    Put16(out, zip64_data);
    if (r.zip64_sizes) {
      Put64(out, r.size);
      Put64(out, r.compressed_size);
    }
    if (zip64_offset) Put64(out, r.offset);
  }
}

// An entry too large to hold in memory, compressed by zlib straight into the
// archive; its header is written first and completed afterwards.
EntryRecord StreamEntry(ArchiveFile& out, const ZipEntry& entry, int level, const ZipLimits& limits,
                        const std::function<void()>& pump) {
  SourceFile file(entry.source_path);
  z_stream z{};
  // Raw Deflate (no zlib wrapper); zlib's levels stop at 9.
  if (deflateInit2(&z, std::min(level, 9), Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
  std::unique_ptr<z_stream, int (*)(z_stream*)> end_deflate(&z, deflateEnd);

  EntryRecord r;
  r.name = &entry.name;
  r.stamp = file.stamp();
  r.offset = out.position();
  // The local header cannot grow afterwards, so room for zip64 sizes is
  // kept whenever the output could need it.
  r.zip64_sizes = file.size() >= limits.max_classic_value ||
                  deflateBound(&z, static_cast<uLong>(file.size())) >= limits.max_classic_value;
  SetVersionNeeded(r, limits);
  out.Write(LocalHeader(r));

  auto in = std::make_unique_for_overwrite<uint8_t[]>(kStreamChunk);
  auto deflated = std::make_unique_for_overwrite<uint8_t[]>(kStreamChunk);
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    size_t got = file.Read(in.get(), kStreamChunk);
    flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
    r.crc = libdeflate_crc32(r.crc, in.get(), got);
    r.size += got;
    z.next_in = in.get();
    z.avail_in = static_cast<uInt>(got);
    do {
      z.next_out = deflated.get();
      z.avail_out = static_cast<uInt>(kStreamChunk);
      deflate(&z, flush);
      size_t have = kStreamChunk - z.avail_out;
      out.Write(deflated.get(), have);
      r.compressed_size += have;
    } while (z.avail_out == 0);
    if (pump) pump();
  }
  if (!r.zip64_sizes && (r.size >= limits.max_classic_value || r.compressed_size >= limits.max_classic_value))
    throw platform::Error("File \"" + entry.source_path + "\" grew while it was being archived.");
  out.Patch(r.offset, LocalHeader(r));
  return r;
}

EntryRecord WriteCompressed(ArchiveFile& out, const Slot& slot, const ZipLimits& limits) {
  EntryRecord r;
  r.name = &slot.entry->name;
  r.crc = slot.crc;
  r.size = slot.size;
  r.compressed_size = slot.deflated.size;
  r.offset = out.position();
  r.stamp = slot.stamp;
  r.zip64_sizes = r.size >= limits.max_classic_value || r.compressed_size >= limits.max_classic_value;
  SetVersionNeeded(r, limits);
  out.Write(LocalHeader(r));
  out.Write(slot.deflated.data.get(), slot.deflated.size);
  return r;
}

void WriteDirectory(ArchiveFile& out, const std::vector<EntryRecord>& records, const ZipLimits& limits) {
  const uint64_t start = out.position();
  std::string block;
  for (const EntryRecord& r : records) {
    AppendCentralHeader(block, r, limits);
    if (block.size() >= kOutputBuffer) {
      out.Write(block);
      block.clear();
    }
  }
  out.Write(block);
  const uint64_t size = out.position() - start;
  const uint64_t count = records.size();

  const bool zip64_count = count >= limits.max_classic_entries;
  const bool zip64_size = size >= limits.max_classic_value;
  const bool zip64_start = start >= limits.max_classic_value;
  std::string end;
  if (zip64_count || zip64_size || zip64_start) {
    const uint64_t zip64_end_at = out.position();
    Put32(end, kZip64EndSig);
    Put64(end, kZip64EndRestSize);
    Put16(end, kVersionMadeBy);
    Put16(end, kVersionZip64);
    Put32(end, 0);  // this disk
    Put32(end, 0);  // disk of the directory
    Put64(end, count);
    Put64(end, count);
    Put64(end, size);
    Put64(end, start);
    Put32(end, kZip64LocatorSig);
    Put32(end, 0);  // disk of the zip64 end record
    Put64(end, zip64_end_at);
    Put32(end, 1);  // disks in all
  }
  const uint16_t count16 = zip64_count ? 0xFFFF : static_cast<uint16_t>(count);
  Put32(end, kEndSig);
  Put16(end, 0);
  Put16(end, 0);
  Put16(end, count16);
  Put16(end, count16);
  Put32(end, Field32(size, zip64_size));
  Put32(end, Field32(start, zip64_start));
  Put16(end, 0);  // comment
  out.Write(end);
}

}  // namespace

void WriteZipWithLimits(const std::string& archive_path, const std::vector<ZipEntry>& entries,
                        const ZipOptions& options, const ZipLimits& limits) {
  if (options.level < 0 || options.level > 12)
    throw std::invalid_argument("Deflate level out of range: " + std::to_string(options.level));
  for (const ZipEntry& e : entries) {
    if (e.name.size() > 0xFFFF) throw std::invalid_argument("Entry name too long: " + e.name.substr(0, 100));
  }
  unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::clamp<size_t>(entries.size(), 1, threads));
  const size_t max_ahead = size_t{threads} * kEntriesAheadPerThread;

  ArchiveFile out(archive_path);
  std::vector<EntryRecord> records;
  records.reserve(entries.size());
  // Declared before the pool so that the workers are gone before the slots.
  std::deque<Slot> window;
  CompressorPool pool(threads, options.level, limits);

  size_t next = 0;
  uint64_t in_flight = 0;
  std::optional<Slot> candidate;
  for (size_t i = 0; i < entries.size(); ++i) {
    while (next < entries.size() && window.size() < max_ahead) {
      if (!candidate) {
        candidate.emplace();
        candidate->entry = &entries[next];
        // A source that cannot be examined fails when a worker opens it, so
        // that failures come in listing order.
        struct stat st;
        if (::stat(candidate->entry->source_path.c_str(), &st) == 0) {
          uint64_t size = static_cast<uint64_t>(st.st_size);
          if (size > limits.max_in_memory_size) {
            candidate->stream = true;
            candidate->done = true;
          } else {
            candidate->cost = 2 * size;
          }
        }
      }
      if (!window.empty() && in_flight + candidate->cost > kInFlightBudget) break;
      Slot& slot = window.emplace_back(std::move(*candidate));
      candidate.reset();
      in_flight += slot.cost;
      ++next;
      if (!slot.stream) pool.Submit(&slot);
    }

    Slot& slot = window.front();
    pool.Wait(slot, options.pump);
    if (slot.error) std::rethrow_exception(slot.error);
    records.push_back(slot.stream ? StreamEntry(out, *slot.entry, options.level, limits, options.pump)
                                  : WriteCompressed(out, slot, limits));
    in_flight -= slot.cost;
    window.pop_front();
    if (options.pump) options.pump();
  }
  WriteDirectory(out, records, limits);
  out.Commit();
}

}  // namespace zip_internal

void WriteZip(const std::string& archive_path, const std::vector<ZipEntry>& entries, const ZipOptions& options) {
  zip_internal::WriteZipWithLimits(archive_path, entries, options, zip_internal::ZipLimits{});
}

}  // namespace paquel
