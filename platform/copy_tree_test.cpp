#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/wait.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "platform/files.h"
#include "platform/find_files.h"
#include "testsupport/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testsupport::ModeOf;
using testsupport::ReadAll;
using testsupport::TempDir;

// Everything below root as relative path -> "dir", "link", or the file's
// permission bits and bytes. Links are not followed.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(e.path(), root).string();
    if (e.is_symlink()) {
      out[rel] = "link";
    } else if (e.is_directory()) {
      out[rel] = "dir";
    } else {
      out[rel] = std::to_string(ModeOf(e.path().string())) + ":" + ReadAll(e.path().string());
    }
  }
  return out;
}

// Blanks, non-ASCII and hidden names, binary bytes, an empty folder and
// files with special permissions.
void MakeSourceTree(const TempDir& t, const std::string& root) {
  const std::pair<const char*, std::string> files[] = {
      {"a.txt", "alpha"},
      {".hidden", "h"},
      {"con blancos/archivo con blancos.pas", "unit x;\r\n"},
      {"año/niño ñ.dfm", std::string("\0\xff\x80 binary", 10)},
      {"año/sub/deep/x.bin", std::string(100000, '\x5a')},
      {"año/.git/config", "[core]"},
      {"run.sh", "#!/bin/sh\n"},
      {"ro.txt", "read only"},
  };
  for (const auto& [name, bytes] : files) t.Write(root + "/" + name, bytes);
  t.MakeDir(root + "/carpeta vacía");
  ::chmod(t.Path(root + "/run.sh").c_str(), 0755);
  ::chmod(t.Path(root + "/ro.txt").c_str(), 0444);
}

TEST(CopyDirectoryTree, CopiesNestedTreeExactlyIntoNewFolders) {
  TempDir t;
  MakeSourceTree(t, "src");
  const auto before = Snapshot(t.Path("src"));
  ASSERT_TRUE(CopyDirectoryTree(t.Path("src"), t.Path("copia destino/más/abajo")));
  EXPECT_EQ(Snapshot(t.Path("copia destino/más/abajo")), before);
  EXPECT_EQ(Snapshot(t.Path("src")), before);
  EXPECT_EQ(ModeOf(t.Path("copia destino/más/abajo/run.sh")), 0755u);
}

TEST(CopyDirectoryTree, ReplacesExistingFilesAndKeepsOthers) {
  TempDir t;
  MakeSourceTree(t, "src");
  t.Write("dst/a.txt", "old alpha, longer than the new one");
  t.Write("dst/ro.txt", "old read only");
  ::chmod(t.Path("dst/ro.txt").c_str(), 0444);
  t.Write("dst/año/extra.txt", "kept");
  auto want = Snapshot(t.Path("src"));
  want["año/extra.txt"] = std::to_string(ModeOf(t.Path("dst/año/extra.txt"))) + ":kept";

  ASSERT_TRUE(CopyDirectoryTree(t.Path("src"), t.Path("dst")));
  EXPECT_EQ(Snapshot(t.Path("dst")), want);
  // A second copy over the first, read-only files included, also succeeds.
  ASSERT_TRUE(CopyDirectoryTree(t.Path("src"), t.Path("dst")));
  EXPECT_EQ(Snapshot(t.Path("dst")), want);
}

TEST(CopyDirectoryTree, TargetInsideSourceIsNotCopiedIntoItself) {
  const struct Case {
    const char* target;      // below the source
    const char* new_parent;  // a folder made on the way to it, or ""
  } cases[] = {{"out/copy", "out"}, {"año/sub/copy", ""}};
  for (const Case& c : cases) {
    TempDir t;
    MakeSourceTree(t, "src");
    auto want = Snapshot(t.Path("src"));
    // The folder holding the copy is itself copied, without the copy.
    if (*c.new_parent) want[c.new_parent] = "dir";
    const std::string target = t.Path("src/" + std::string(c.target));
    ASSERT_TRUE(CopyDirectoryTree(t.Path("src"), target)) << c.target;
    EXPECT_EQ(Snapshot(target), want) << c.target;
  }
}

TEST(CopyDirectoryTree, MissingOrNonFolderSourceCopiesNothing) {
  TempDir t;
  t.Write("file.txt", "x");
  for (const char* from : {"missing", "file.txt"}) {
    EXPECT_FALSE(CopyDirectoryTree(t.Path(from), t.Path("dst"))) << from;
    EXPECT_FALSE(fs::exists(t.Path("dst"))) << from;
  }
}

TEST(CopyDirectoryTree, LinksDoNotLoopAndAreNotWrittenThrough) {
  TempDir t;
  t.Write("src/a.txt", "new");
  t.Write("src/sub/b.txt", "new b");
  ASSERT_EQ(::symlink("..", t.Path("src/sub/up").c_str()), 0);  // a loop
  ASSERT_EQ(::symlink(t.Path("src/sub").c_str(), t.Path("src/again").c_str()), 0);
  t.Write("outside/a.txt", "outside");
  t.Write("outside/b.txt", "outside b");
  ::chmod(t.Path("outside/a.txt").c_str(), 0444);
  t.MakeDir("dst");
  ASSERT_EQ(::symlink(t.Path("outside/a.txt").c_str(), t.Path("dst/a.txt").c_str()), 0);
  ASSERT_EQ(::symlink(t.Path("outside").c_str(), t.Path("dst/sub").c_str()), 0);

  ASSERT_TRUE(CopyDirectoryTree(t.Path("src"), t.Path("dst")));
  EXPECT_EQ(ReadAll(t.Path("outside/a.txt")), "outside");
  EXPECT_EQ(ModeOf(t.Path("outside/a.txt")), 0444u);
  EXPECT_EQ(ReadAll(t.Path("outside/b.txt")), "outside b");
  // Links are copied as what they point to; the one back up is left out.
  const std::string mode = std::to_string(ModeOf(t.Path("src/a.txt"))) + ":";
  const std::map<std::string, std::string> want = {
      {"a.txt", mode + "new"},      {"sub", "dir"},   {"sub/b.txt", mode + "new b"},
      {"again", "dir"}, {"again/b.txt", mode + "new b"}};
  EXPECT_EQ(Snapshot(t.Path("dst")), want);
}

void BrokenLink(const TempDir& t, const std::string& at) {
  ASSERT_EQ(::symlink(t.Path("src/gone").c_str(), t.Path(at).c_str()), 0) << at;
}

TEST(CopyDirectoryTree, ReportsWhatItCouldNotCopyAfterCopyingTheRest) {
  const struct Case {
    const char* what;
    void (*damage)(const TempDir& t);
  } cases[] = {
      {"broken link", [](const TempDir& t) { BrokenLink(t, "src/broken"); }},
      {"broken link in a subfolder", [](const TempDir& t) { BrokenLink(t, "src/z/broken"); }},
      {"file where the source has a folder",
       [](const TempDir& t) { t.Write("dst/z", "a file"); }},
      {"folder where the source has a file", [](const TempDir& t) { t.MakeDir("dst/b.txt"); }},
  };
  for (const Case& c : cases) {
    TempDir t;
    t.Write("src/a.txt", "a");
    t.Write("src/b.txt", "b");
    t.Write("src/z/z.txt", "z");
    t.Write("src/zz/zz.txt", "zz");
    c.damage(t);
    EXPECT_FALSE(CopyDirectoryTree(t.Path("src"), t.Path("dst"))) << c.what;
    EXPECT_EQ(ReadAll(t.Path("dst/a.txt")), "a") << c.what;
    EXPECT_EQ(ReadAll(t.Path("dst/zz/zz.txt")), "zz") << c.what;
  }
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST(DeepTrees, SearchAndCopyReachTheBottomOfAVeryDeepTree) {
  testsupport::TempDir t;
  std::string rel = "raiz";
  for (int i = 0; i < 600; ++i) rel += "/d";
  t.Write(rel + "/CGNFONDO.dproj", "x");
  auto found = FindFiles(t.Path("raiz"), "C*.dproj", true);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], t.Path(rel + "/CGNFONDO.dproj"));
  EXPECT_TRUE(CopyDirectoryTree(t.Path("raiz"), t.Path("copia")));
  EXPECT_TRUE(FileExists(t.Path("copia" + rel.substr(4) + "/CGNFONDO.dproj")));
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

// Runs f with the rights of an ordinary user (nobody, when the tests run as
// root, where permissions would not stop reading) and answers its text.
std::string AsOrdinaryUser(const std::function<std::string()>& f) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    std::string out = f();
    ssize_t ignored = ::write(fds[1], out.data(), out.size());
    (void)ignored;
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return out;
}

TEST(UnreadableFolders, AreSkippedAndTheSearchGoesOn) {
  testsupport::TempDir t;
  t.Write("src/A/CGNA.dproj", "x");
  t.Write("src/cerrada/CGNB.dproj", "x");
  t.Write("src/Z/CGNC.dproj", "x");
  for (const char* d : {"", "/src", "/src/A", "/src/Z"}) ::chmod((t.path() + d).c_str(), 0755);
  ::chmod(t.Path("src/cerrada").c_str(), 0);
  std::string found = AsOrdinaryUser([&] {
    std::string out;
    for (const std::string& f : FindFiles(t.Path("src"), "C*.dproj", true))
      out += f.substr(t.path().size()) + "\n";
    return out;
  });
  ::chmod(t.Path("src/cerrada").c_str(), 0755);
  EXPECT_NE(found.find("/src/A/CGNA.dproj\n"), std::string::npos) << found;
  EXPECT_NE(found.find("/src/Z/CGNC.dproj\n"), std::string::npos) << found;
  EXPECT_EQ(found.find("cerrada"), std::string::npos) << found;
}

}  // namespace
}  // namespace platform
