#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/files.h"
#include "testsupport/temp_dir.h"
#include "tornel/projectfile/dproj_parser.h"

namespace tornel {
namespace {

using testsupport::TempDir;

std::vector<std::string> Relative(const TempDir& t, std::vector<std::string> paths) {
  for (auto& p : paths) p = p.substr(t.path().size() + 1);
  return paths;
}

TEST(FileSearch, OwnFilesFirstThenSubfoldersDepthFirst) {
  TempDir t;
  t.Write("src/B/CGNB.dproj", "");
  t.Write("src/A/CGNA.dproj", "");
  t.Write("src/A/deep/er/cgnlow.DPROJ", "");
  t.Write("src/CGNX.dproj", "");
  t.Write("src/MGNX.dproj", "");
  t.Write("src/CGNX.dproj.bak", "");
  t.Write("src/A/CGNA.dpr", "");
  t.MakeDir("src/CFOLDER.dproj");
  t.Write("src/CFOLDER.dproj/CIN.dproj", "");

  auto found = Relative(t, TDprojParser::FileSearch(t.Path("src"), "C**.dproj", true));
  ASSERT_EQ(found.size(), 5u);
  EXPECT_EQ(found[0], "src/CGNX.dproj");
  // Subfolders follow in the order the file system lists them, each whole.
  auto pos = [&](const std::string& p) { return std::find(found.begin(), found.end(), p) - found.begin(); };
  EXPECT_EQ(pos("src/A/deep/er/cgnlow.DPROJ"), pos("src/A/CGNA.dproj") + 1);
  EXPECT_LT(pos("src/CFOLDER.dproj/CIN.dproj"), 5);  // a folder is searched, never returned
  EXPECT_LT(pos("src/B/CGNB.dproj"), 5);

  EXPECT_EQ(Relative(t, TDprojParser::FileSearch(t.Path("src/"), "C**.dproj", false)),
            std::vector<std::string>{"src/CGNX.dproj"});
  EXPECT_TRUE(TDprojParser::FileSearch(t.Path("nowhere"), "*.*", true).empty());
}

TEST(FileSearch, EndsOnLoopsOfLinks) {
  TempDir t;
  t.Write("src/A/CGNA.dproj", "");
  ASSERT_EQ(::symlink(t.Path("src").c_str(), t.Path("src/A/back").c_str()), 0);
  auto found = Relative(t, TDprojParser::FileSearch(t.Path("src"), "*.dproj", true));
  EXPECT_EQ(found, std::vector<std::string>{"src/A/CGNA.dproj"});
}

TEST(ReadOnlyAttribute, QueriesAndChanges) {
  TempDir t;
  std::string f = t.Write("p/a.dproj", "x");
  std::string g = t.Write("p/sub/b.pas", "y");
  std::string h = t.Write("p/sub/.hidden", "z");
  EXPECT_TRUE(TDprojParser::FileIsReadOnly(t.Path("missing")));
  EXPECT_FALSE(TDprojParser::FileIsReadOnly(f));

  EXPECT_EQ(TDprojParser::SetFileReadOnly(f, true), 0);
  EXPECT_TRUE(TDprojParser::FileIsReadOnly(f));
  EXPECT_EQ(TDprojParser::SetFileReadOnly(t.Path("p"), false), -1);  // a folder is no file
  EXPECT_EQ(TDprojParser::SetFileReadOnly(t.Path("missing"), false), -1);

  EXPECT_EQ(TDprojParser::SetReadOnly(f, false), 0);
  EXPECT_FALSE(TDprojParser::FileIsReadOnly(f));

  for (const auto& p : {f, g, h}) ::chmod(p.c_str(), 0444);
  EXPECT_EQ(TDprojParser::SetReadOnly(t.Path("p/"), false), 0);
  for (const auto& p : {f, g, h}) EXPECT_FALSE(TDprojParser::FileIsReadOnly(p)) << p;

  EXPECT_EQ(TDprojParser::SetReadOnly(t.MakeDir("empty"), false), -1);
  EXPECT_EQ(TDprojParser::SetReadOnly(t.Path("missing"), false), -1);
}

}  // namespace
}  // namespace tornel
