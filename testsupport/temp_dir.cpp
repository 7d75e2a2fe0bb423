#include "testsupport/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "tornel-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore write permission so read-only files and folders can go.
  for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string TempDir::Path(std::string_view relative) const {
  return path_ + "/" + std::string(relative);
}

std::string TempDir::Write(std::string_view relative, std::string_view bytes) const {
  std::string full = Path(relative);
  fs::create_directories(fs::path(full).parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::MakeDir(std::string_view relative) const {
  std::string full = Path(relative);
  fs::create_directories(full);
  return full;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

unsigned ModeOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + path);
  return st.st_mode & 07777;
}

std::string TestData(std::string_view name) {
  return (fs::current_path() / "testdata" / std::string(name)).string();
}

}  // namespace testsupport
