#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "platform/error.h"
#include "platform/files.h"
#include "testsupport/temp_dir.h"

namespace platform {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

constexpr char kSample[] =
    "; settings\r\n"
    "orphan=before any section\r\n"
    "[Config]\r\n"
    "RUTAPROG = C:\\Morvel\\Prog \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Mismatch=\"abc'\r\n"
    "Empty=\r\n"
    "Dup=first\r\n"
    "dup=second\r\n"
    ";Commented=yes\r\n"
    "  Indented  =yes\r\n"
    "Eq=a=b\r\n"
    "Latin=Versi\xF3n\r\n"
    "Utf=Versi\xC3\xB3n\r\n"
    "\r\n"
    "[ Other ]\r\n"
    "Only=here\r\n";

TEST(IniFile, ReadsValuesAsThePrivateProfileFunctionsDo) {
  TempDir t;
  IniFile ini(t.Path("Paquel.ini"));
  // Nothing on disk yet: defaults; the file is read again on every call.
  EXPECT_EQ(ini.ReadString("Config", "RUTAPROG", "C:\\Morvel"), "C:\\Morvel");
  EXPECT_FALSE(ini.SectionExists("Config"));
  EXPECT_TRUE(ini.ReadSections().empty());
  t.Write("Paquel.ini", kSample);

  struct Case {
    const char* section;
    const char* key;
    const char* want;
  } cases[] = {
      {"Config", "RUTAPROG", "C:\\Morvel\\Prog"},
      {" CONFIG ", " rutaProg ", "C:\\Morvel\\Prog"},
      {"config", "Quoted", "  spaced  "},
      {"config", "Single", "x"},
      {"config", "Mismatch", "\"abc'"},
      {"config", "Empty", ""},
      {"config", "DUP", "first"},
      {"config", "Commented", "<default>"},
      {"config", ";Commented", "<default>"},
      {"config", "Indented", "yes"},
      {"config", "Eq", "a=b"},
      {"config", "Latin", "Versión"},
      {"config", "Utf", "Versión"},
      {"config", "orphan", "<default>"},
      {"", "orphan", "<default>"},
      {"config", "Only", "<default>"},
      {"other", "only", "here"},
      {"Missing", "RUTAPROG", "<default>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.want) << c.section << "/" << c.key;

  EXPECT_TRUE(ini.SectionExists("OTHER"));
  EXPECT_FALSE(ini.SectionExists("Only"));
  EXPECT_EQ(ini.ReadSection("CONFIG"),
            (std::vector<std::string>{"RUTAPROG", "Quoted", "Single", "Mismatch", "Empty", "Dup",
                                      "Indented", "Eq", "Latin", "Utf"}));
  EXPECT_TRUE(ini.ReadSection("Missing").empty());
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Config", "Other"}));
}

TEST(IniFile, ReadIntegerGivesTheDefaultForAnythingButAWholeInteger) {
  TempDir t;
  IniFile ini(t.Write("s.ini",
                      "[N]\nplain=12\nblanks= -5 \nhex=$1F\nhex0x=0x10\nquoted=\"7\"\n"
                      "trailing=12abc\nempty=\nbig=2147483648\nfraction=1.5\nword=true\n"));
  struct Case {
    const char* key;
    int32_t want;
  } cases[] = {
      {"plain", 12},    {"blanks", -5},   {"hex", 31},     {"hex0x", 16},
      {"quoted", 7},    {"trailing", 99}, {"empty", 99},   {"big", 99},
      {"fraction", 99}, {"word", 99},     {"missing", 99},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.ReadInteger("n", c.key, 99), c.want) << c.key;
}

TEST(IniFile, WritesChangeOnlyWhatTheyMust) {
  struct Case {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"replace keeps every other byte and CR LF",
       "; c\r\n[A]\r\n x = 1 \r\ny=2\r\n\r\n[B]\r\nx=3\r\n", "a", "X", "9",
       "; c\r\n[A]\r\nX=9\r\ny=2\r\n\r\n[B]\r\nx=3\r\n"},
      {"first of duplicate keys", "[A]\nk=1\nk=2\n", "A", "K", "3", "[A]\nK=3\nk=2\n"},
      {"Windows-1252 bytes elsewhere stay", "[A]\r\nn=Versi\xF3n\r\nx=1\r\n", "A", "x", "2",
       "[A]\r\nn=Versi\xF3n\r\nx=2\r\n"},
      {"append before trailing blank lines and comments", "[A]\nx=1\n\n; about B\n[B]\ny=2\n", "A",
       "z", "5", "[A]\nx=1\nz=5\n\n; about B\n[B]\ny=2\n"},
      {"append to an empty section", "[A]\n\n[B]\n", "a", "k", "v", "[A]\nk=v\n\n[B]\n"},
      {"append after a last line without a break", "[A]\r\nx=1", "A", "y", "2",
       "[A]\r\nx=1\r\ny=2\r\n"},
      {"new section at the end", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
      {"new section after a last line without a break", "[A]\r\nx=1", "B", "k", "v",
       "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
      {"new file", std::nullopt, "CONFIG", "RUTAPROG", "C:\\Morvel",
       "[CONFIG]\r\nRUTAPROG=C:\\Morvel\r\n"},
  };
  for (const auto& c : cases) {
    TempDir t;
    std::string path = c.before ? t.Write("s.ini", *c.before) : t.Path("s.ini");
    IniFile ini(path);
    ini.WriteString(c.section, c.key, c.value);
    EXPECT_EQ(ReadAll(path), c.after) << c.name;
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.value) << c.name;
  }

  TempDir t;
  IniFile ini(t.Path("n.ini"));
  ini.WriteInteger("CONFIG", "VERFCONN", -1);
  ini.WriteInteger("config", "verfconn", 0);
  EXPECT_EQ(ReadAll(ini.path()), "[CONFIG]\r\nverfconn=0\r\n");
  EXPECT_EQ(ini.ReadInteger("CONFIG", "VERFCONN", 5), 0);
}

TEST(IniFile, UnwritableTargetThrowsNamingTheFileAndLeavesItAlone) {
  TempDir t;
  std::string read_only = t.Write("ro.ini", "[A]\nx=1\n");
  ::chmod(read_only.c_str(), 0444);
  std::string in_missing_folder = t.Path("missing/s.ini");
  for (const std::string& path : {read_only, in_missing_folder}) {
    IniFile ini(path);
    try {
      ini.WriteString("A", "x", "2");
      ADD_FAILURE() << "no failure for " << path;
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(ReadAll(read_only), "[A]\nx=1\n");
  EXPECT_FALSE(DirectoryExists(t.Path("missing")));
  EXPECT_EQ(ListDirectory(t.path()).size(), 1u);  // no temporary left behind
}

}  // namespace
}  // namespace platform
