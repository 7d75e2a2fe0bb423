#include "platform/paths.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Paths, NamePartsFollowTheLastDotOfTheName) {
  struct Case {
    const char* path;
    const char* name;
    const char* dir;
    const char* ext;
    const char* base;
  } cases[] = {
      {"/src/CGN/CGNABC.dproj", "CGNABC.dproj", "/src/CGN", ".dproj", "CGNABC"},
      {"/opt/bin/Tornel", "Tornel", "/opt/bin", "", "Tornel"},
      {"/a.b/file", "file", "/a.b", "", "file"},
      {"x.tar.gz", "x.tar.gz", "", ".gz", "x.tar"},
      {"/top", "top", "/", "", "top"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ExtractFileDir(c.path), c.dir) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
    EXPECT_EQ(FileBaseName(c.path), c.base) << c.path;
  }
}

TEST(Paths, ChangeFileExtAppendsWhenThereIsNone) {
  EXPECT_EQ(ChangeFileExt("/opt/Tornel", ".xml"), "/opt/Tornel.xml");
  EXPECT_EQ(ChangeFileExt("/opt/Tornel.exe", ".xml"), "/opt/Tornel.xml");
  EXPECT_EQ(ChangeFileExt("/opt.d/Tornel", "_cdsProjProp.xml"), "/opt.d/Tornel_cdsProjProp.xml");
}

TEST(Paths, TrailingDelimiter) {
  EXPECT_EQ(IncludeTrailingPathDelimiter("/src"), "/src/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/src/"), "/src/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/src/"), "/src");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
  EXPECT_EQ(ExtractFilePath("/src/a.pas"), "/src/");
}

}  // namespace
}  // namespace platform
