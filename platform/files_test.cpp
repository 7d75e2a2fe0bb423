#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/error.h"
#include "testsupport/temp_dir.h"

namespace platform {
namespace {

using testsupport::ModeOf;
using testsupport::ReadAll;
using testsupport::TempDir;

TEST(MatchesMask, WildcardsWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool want;
  } cases[] = {
      {"CGNABC.dproj", "C**.dproj", true},   {"cgnabc.DPROJ", "C**.dproj", true},
      {"MGNABC.dproj", "C**.dproj", false},  {"C.dproj", "C**.dproj", true},
      {"CGNABC.dproj.bak", "C**.dproj", false}, {"CGNABC.dpr", "C**.dproj", false},
      {"anything", "*.*", true},             {"noext", "*.*", true},
      {"a1c", "a?c", true},                  {"ac", "a?c", false},
      {"aaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.want) << c.name << " vs " << c.mask;
}

TEST(ListDirectory, ListsFilesAndFoldersAndSkipsDots) {
  TempDir t;
  t.Write("a.txt", "x");
  t.MakeDir("sub");
  auto entries = ListDirectory(t.path());
  ASSERT_EQ(entries.size(), 2u);
  std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
  EXPECT_EQ(entries[0].name, "a.txt");
  EXPECT_FALSE(entries[0].is_dir);
  EXPECT_EQ(entries[1].name, "sub");
  EXPECT_TRUE(entries[1].is_dir);
  EXPECT_TRUE(ListDirectory(t.Path("missing")).empty());
}

TEST(WriteFileAtomic, ReplacesContentKeepsPermissionsAndLeavesNoTemporary) {
  TempDir t;
  std::string f = t.Write("p.dproj", "old");
  ::chmod(f.c_str(), 0640);
  WriteFileAtomic(f, "new content");
  EXPECT_EQ(ReadAll(f), "new content");
  EXPECT_EQ(ModeOf(f), 0640u);
  EXPECT_EQ(ListDirectory(t.path()).size(), 1u);

  std::string fresh = t.Path("fresh.txt");
  WriteFileAtomic(fresh, "");
  EXPECT_TRUE(FileExists(fresh));
  EXPECT_EQ(ReadAll(fresh), "");
}

TEST(WriteFileAtomic, RefusesReadOnlyTargetsAndMissingFolders) {
  TempDir t;
  std::string f = t.Write("ro.dproj", "keep");
  ASSERT_EQ(SetFileAttributeReadOnly(f), 0);
  try {
    WriteFileAtomic(f, "lost");
    FAIL() << "a read-only file was overwritten";
  } catch (const EFCreateError& e) {
    EXPECT_NE(std::string(e.what()).find(f), std::string::npos);
  }
  EXPECT_EQ(ReadAll(f), "keep");
  EXPECT_THROW(WriteFileAtomic(t.Path("gone/x.txt"), "x"), EFCreateError);
  EXPECT_EQ(ListDirectory(t.path()).size(), 1u);
}

TEST(FileAttributes, ReadOnlyAndNormal) {
  TempDir t;
  std::string f = t.Write("a.txt", "x");
  EXPECT_FALSE(GetFileAttributes(f)->read_only);
  EXPECT_EQ(SetFileAttributeReadOnly(f), 0);
  EXPECT_TRUE(GetFileAttributes(f)->read_only);
  EXPECT_EQ(ModeOf(f) & 0222, 0u);
  EXPECT_EQ(SetFileAttributeNormal(f), 0);
  EXPECT_FALSE(GetFileAttributes(f)->read_only);
  EXPECT_FALSE(GetFileAttributes(t.Path("missing")).has_value());
  EXPECT_NE(SetFileAttributeNormal(t.Path("missing")), 0);
}

TEST(ReadFileBytes, FailsWithThePathForMissingFilesAndFolders) {
  TempDir t;
  EXPECT_THROW(ReadFileBytes(t.Path("missing")), EFOpenError);
  EXPECT_THROW(ReadFileBytes(t.path()), EFOpenError);
  EXPECT_EQ(ReadFileBytes(t.Write("b", std::string("a\0b", 3))), std::string("a\0b", 3));
}

TEST(KeepAsBackup, CopiesOverAnOlderBackup) {
  TempDir t;
  std::string f = t.Write("Tornel.xml", "<broken");
  t.Write("Tornel.xml.bak", "older");
  EXPECT_TRUE(KeepAsBackup(f));
  EXPECT_EQ(ReadAll(f + ".bak"), "<broken");
  EXPECT_FALSE(KeepAsBackup(t.Path("none.xml")));
}

TEST(ExpandFileName, ResolvesAgainstTheCurrentFolderInText) {
  std::string cwd = CurrentDirectory();
  ASSERT_FALSE(cwd.empty());
  struct Case {
    std::string path;
    std::string want;
  } cases[] = {
      {"/src/./GN/../CGN", "/src/CGN"},
      {"/src/CGN/", "/src/CGN/"},
      {"/..", "/"},
      {"sub/x", cwd + "/sub/x"},
      {".", cwd},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.path), c.want) << c.path;
}

TEST(ForceDirectories, CreatesEveryLevel) {
  TempDir t;
  EXPECT_TRUE(ForceDirectories(t.Path("a/b/c")));
  EXPECT_TRUE(DirectoryExists(t.Path("a/b/c")));
  EXPECT_TRUE(ForceDirectories(t.Path("a/b/c/")));
}

}  // namespace
}  // namespace platform
