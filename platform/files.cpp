#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>

#include "platform/error.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace platform {
namespace {

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Iterative glob with single-star backtracking: linear in practice and never
// recursive, so a long mask of stars cannot blow up.
bool Glob(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      mark = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::string ErrnoText(int err) { return std::strerror(err); }

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

mode_t CurrentUmask() {
  mode_t old = ::umask(0);
  ::umask(old);
  return old;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  return Glob(name, mask);
}

std::vector<DirEntry> ListDirectory(const std::string& dir) {
  std::vector<DirEntry> out;
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
  if (!d) return out;
  const std::string base = IncludeTrailingPathDelimiter(dir);
  while (dirent* e = ::readdir(d.get())) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool is_dir;
    if (e->d_type == DT_DIR) {
      is_dir = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      is_dir = DirectoryExists(base + name);  // follows links, like the Windows search
    } else {
      is_dir = false;
    }
    out.push_back({std::move(name), is_dir});
  }
  return out;
}

std::optional<std::pair<uint64_t, uint64_t>> DirectoryIdentity(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return std::make_pair(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino));
}

std::optional<FileAttributes> GetFileAttributes(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileAttributes{(st.st_mode & S_IWUSR) == 0, S_ISDIR(st.st_mode)};
}

int SetFileAttributeReadOnly(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno;
  mode_t mode = st.st_mode & 07777 & ~(S_IWUSR | S_IWGRP | S_IWOTH);
  return ::chmod(path.c_str(), mode) == 0 ? 0 : errno;
}

int SetFileAttributeNormal(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno;
  mode_t mode = (st.st_mode & 07777) | S_IWUSR;
  return ::chmod(path.c_str(), mode) == 0 ? 0 : errno;
}

std::string ReadFileBytes(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError("Cannot open file \"" + path + "\". " + ErrnoText(errno));
  FdCloser closer{fd};
  // A folder opens fine but fails its first read with EISDIR.
  std::string data;
  char buf[65536];
  while (true) {
    ssize_t got = ::read(fd, buf, sizeof buf);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EFOpenError("Cannot read file \"" + path + "\". " + ErrnoText(errno));
    }
    if (got == 0) break;
    data.append(buf, static_cast<size_t>(got));
  }
  return data;
}

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
  auto fail = [&](int err) {
    throw EFCreateError("Cannot create file \"" + path + "\". " + ErrnoText(err));
  };
  struct stat st;
  mode_t mode;
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) fail(EISDIR);
    if ((st.st_mode & S_IWUSR) == 0) fail(EACCES);
    mode = st.st_mode & 07777;
  } else {
    mode = 0666 & ~CurrentUmask();
  }

  std::string tmp = ExtractFilePath(path) + "." + ExtractFileName(path) + ".XXXXXX";
  if (ExtractFilePath(path).empty()) tmp = "./" + tmp;
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) fail(errno);
  bool done = false;
  struct TmpGuard {
    const std::string& name;
    bool& done;
    ~TmpGuard() {
      if (!done) ::unlink(name.c_str());
    }
  } guard{tmp, done};
  {
    FdCloser closer{fd};
    size_t off = 0;
    while (off < bytes.size()) {
      ssize_t put = ::write(fd, bytes.data() + off, bytes.size() - off);
      if (put < 0) {
        if (errno == EINTR) continue;
        fail(errno);
      }
      off += static_cast<size_t>(put);
    }
    if (::fchmod(fd, mode) != 0) fail(errno);
    if (::fsync(fd) != 0) fail(errno);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) fail(errno);
  done = true;
}

std::string CurrentDirectory() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

std::string ExpandFileName(const std::string& path) {
  std::string full = path;
  if (full.empty() || full[0] != kPathDelim) full = IncludeTrailingPathDelimiter(CurrentDirectory()) + path;
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= full.size()) {
    size_t next = full.find(kPathDelim, pos);
    if (next == std::string::npos) next = full.size();
    std::string part = full.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    pos = next + 1;
  }
  std::string out;
  for (const auto& p : parts) out += kPathDelim + p;
  if (out.empty()) out = std::string(1, kPathDelim);
  // A trailing delimiter of the input is kept, as callers may rely on it.
  if (path.size() > 1 && IsPathDelimiter(path.back()) && out.size() > 1) out += kPathDelim;
  return out;
}

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to) {
  try {
    WriteFileAtomic(to, ReadFileBytes(from));
    struct stat st;
    if (::stat(from.c_str(), &st) == 0) ::chmod(to.c_str(), st.st_mode & 07777);
    return true;
  } catch (const Error&) {
    return false;
  }
}

bool ForceDirectories(const std::string& path) {
  std::string p = ExcludeTrailingPathDelimiter(path);
  if (p.empty() || DirectoryExists(p)) return !p.empty();
  std::string parent = ExtractFileDir(p);
  if (!parent.empty() && parent != p && !ForceDirectories(parent)) return false;
  return ::mkdir(p.c_str(), 0777) == 0 || DirectoryExists(p);
}

bool KeepAsBackup(const std::string& path) {
  if (!FileExists(path)) return false;
  return CopyFile(path, path + ".bak");
}

namespace {

using FolderId = std::pair<uint64_t, uint64_t>;

bool IsLink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A link where the copy goes is removed first: writing through it could land
// outside the target folder.
bool ClearLink(const std::string& path) { return !IsLink(path) || ::unlink(path.c_str()) == 0; }

bool CopyTreeFile(const std::string& from, const std::string& to) {
  // Only regular files: a broken link has nothing to copy, and reading a pipe
  // or device could block for ever.
  if (!FileExists(from) || !ClearLink(to)) return false;
  auto existing = GetFileAttributes(to);
  if (existing && existing->read_only && !existing->directory && SetFileAttributeNormal(to) != 0)
    return false;
  return CopyFile(from, to);
}

// open holds the folders being copied, from the top down to from: a link
// back to one of them would never end.
bool CopyTree(const std::string& from, const std::string& to, const FolderId& target,
              std::set<FolderId>& open) {
  // An unreadable folder lists as empty; it must not pass as copied.
  if (::access(from.c_str(), R_OK | X_OK) != 0) return false;
  bool ok = true;
  for (const DirEntry& e : ListDirectory(from)) {
    const std::string src = from + kPathDelim + e.name;
    const std::string dst = to + kPathDelim + e.name;
    if (!e.is_dir) {
      ok = CopyTreeFile(src, dst) && ok;
      continue;
    }
    auto id = DirectoryIdentity(src);
    if (!id) {
      ok = false;
      continue;
    }
    if (*id == target || open.count(*id)) continue;
    if (!ClearLink(dst) || !ForceDirectories(dst)) {
      ok = false;
      continue;
    }
    open.insert(*id);
    ok = CopyTree(src, dst, target, open) && ok;
    open.erase(*id);
  }
  return ok;
}

}  // namespace

bool CopyDirectoryTree(const std::string& from, const std::string& to) {
  auto source = DirectoryIdentity(from);
  if (!source || !ForceDirectories(to)) return false;
  auto target = DirectoryIdentity(to);
  if (!target) return false;
  if (*target == *source) return true;  // already in place
  std::set<FolderId> open{*source};
  return CopyTree(ExcludeTrailingPathDelimiter(from), ExcludeTrailingPathDelimiter(to), *target,
                  open);
}

}  // namespace platform
