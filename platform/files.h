// The file-system calls the programs make, narrowed to what they need so that
// a Windows implementation can sit beside this POSIX one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

bool FileExists(const std::string& path);       // an existing file, not a folder
bool DirectoryExists(const std::string& path);  // an existing folder

// Wildcard match as the file system does it: "*" any run of characters, "?"
// one character, without regard to case; "*.*" matches every name.
bool MatchesMask(std::string_view name, std::string_view mask);

struct DirEntry {
  std::string name;
  bool is_dir = false;
};

// The entries of a folder in the order the file system returns them, without
// "." and "..". A folder that cannot be read gives no entries.
std::vector<DirEntry> ListDirectory(const std::string& dir);

// Identity of a folder, to stop a recursive walk from entering a loop of
// links. Empty when the folder cannot be examined.
std::optional<std::pair<uint64_t, uint64_t>> DirectoryIdentity(const std::string& dir);

// Read-only means no write permission for the owner.
struct FileAttributes {
  bool read_only = false;
  bool directory = false;
};
std::optional<FileAttributes> GetFileAttributes(const std::string& path);
// Both answer 0 or the system error code.
int SetFileAttributeReadOnly(const std::string& path);
int SetFileAttributeNormal(const std::string& path);

// Whole-file reading; throws EFOpenError with the path and the reason.
std::string ReadFileBytes(const std::string& path);

// Replaces a file's content without ever leaving it half-written: the bytes
// go to a temporary file in the same folder that is then renamed over the
// target, keeping the target's permissions. A read-only target is refused
// as a write to it would be. Throws EFCreateError.
void WriteFileAtomic(const std::string& path, std::string_view bytes);

// The process's current folder, without a trailing delimiter.
std::string CurrentDirectory();
// A full path: relative paths are taken from the current folder; "." and
// ".." parts are resolved in the text, links are not followed.
std::string ExpandFileName(const std::string& path);

// Simple operations answering success.
bool DeleteFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
// Copies bytes and permissions, replacing the target through WriteFileAtomic.
bool CopyFile(const std::string& from, const std::string& to);
bool ForceDirectories(const std::string& path);

// Keeps an unreadable settings or table file aside as "<path>.bak",
// replacing an older one, before the caller replaces or drops the file.
// Answers whether a copy was made.
bool KeepAsBackup(const std::string& path);

// Copies everything inside folder from (hidden files and subfolders included)
// into folder to, created with its parents if missing. Existing files are
// replaced, read-only ones too; files keep their permissions. Links are
// followed, except a link to a folder that is being copied (the same device
// and inode as one on the way down), so a loop of links ends; the copy itself
// is skipped when to lies inside from. A link found in to where a copy goes
// is replaced rather than written through, so nothing is written outside to.
// Answers false when anything could not be copied, after copying what could
// be.
bool CopyDirectoryTree(const std::string& from, const std::string& to);

}  // namespace platform
