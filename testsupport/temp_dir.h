// A scratch folder per test, removed with everything in it (read-only files
// included) when the test ends.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing delimiter.
  const std::string& path() const { return path_; }
  // path() + "/" + relative.
  std::string Path(std::string_view relative) const;

  // Writes a file below the folder, creating the folders on the way, and
  // answers its full path.
  std::string Write(std::string_view relative, std::string_view bytes) const;
  std::string MakeDir(std::string_view relative) const;

 private:
  std::string path_;
};

std::string ReadAll(const std::string& path);
// Permission bits of a file (for checks that permissions are kept).
unsigned ModeOf(const std::string& path);
// The test data folder next to a test's sources; tests run from there.
std::string TestData(std::string_view name);

}  // namespace testsupport
