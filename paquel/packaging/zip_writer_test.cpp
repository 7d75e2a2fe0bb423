#include "paquel/packaging/zip_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/process.h"
#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;
using zip_internal::ZipLimits;

constexpr uint32_t kMarker32 = 0xFFFFFFFF;

// The tools print names in the locale's encoding; UTF-8 keeps them comparable.
class Utf8Locale : public ::testing::Environment {
 public:
  void SetUp() override { ::setenv("LC_ALL", "C.UTF-8", 1); }
};
const auto* const kLocale = ::testing::AddGlobalTestEnvironment(new Utf8Locale);

struct ToolRun {
  int exit_code = -1;
  std::string output;
};

ToolRun RunTool(const std::string& program, const std::vector<std::string>& args) {
  ToolRun r;
  auto result = platform::RunCaptured(
      program, args, "", [&](std::string_view bytes) { r.output.append(bytes); }, {});
  if (!result.started) r.output = "not started: " + result.start_error;
  r.exit_code = result.exit_code;
  return r;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

ZipOptions Threads(unsigned threads) {
  ZipOptions options;
  options.threads = threads;
  return options;
}

ZipOptions Level(int level) {
  ZipOptions options;
  options.level = level;
  return options;
}

std::vector<std::string> NamesOf(const std::vector<ZipEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  return names;
}

// Python's reader checks every entry's CRC and bytes against its source, the
// order of the names, the UTF-8 flag, the method and the Unix host.
constexpr char kPythonCheck[] = R"(import sys, zipfile
archive, manifest = sys.argv[1], sys.argv[2]
with open(manifest, encoding='utf-8') as f:
    expected = [line.split('\t') for line in f.read().split('\n') if line]
problems = []
sources = {}
with zipfile.ZipFile(archive) as z:
    bad = z.testzip()
    if bad is not None:
        problems.append('testzip failed at ' + bad)
    names = z.namelist()
    if names != [name for name, _ in expected]:
        problems.append('names differ, first: %r' % names[:5])
    for info, (name, source) in zip(z.infolist(), expected):
        if not info.flag_bits & 0x800:
            problems.append(name + ': no UTF-8 flag')
        if info.compress_type != zipfile.ZIP_DEFLATED:
            problems.append(name + ': method %d' % info.compress_type)
        if info.create_system != 3:
            problems.append(name + ': host %d' % info.create_system)
        if source not in sources:
            with open(source, 'rb') as s:
                sources[source] = s.read()
        if z.read(info) != sources[source]:
            problems.append(name + ': bytes differ')
print('\n'.join(problems[:20]))
sys.exit(1 if problems else 0)
)";

// Runs the three readers over an archive; empty when all accept it.
std::string ToolProblems(const TempDir& t, const std::string& archive, const std::vector<ZipEntry>& entries) {
  std::string problems;
  if (!entries.empty()) {
    // unzip calls an archive without entries empty, with a warning status.
    ToolRun unzip = RunTool("/usr/bin/unzip", {"-t", "-qq", archive});
    if (unzip.exit_code != 0) problems += "unzip -t: " + unzip.output + "\n";
  }
  ToolRun bsdtar = RunTool("/usr/bin/bsdtar", {"-tf", archive});
  if (bsdtar.exit_code != 0) {
    problems += "bsdtar -tf: " + bsdtar.output + "\n";
  } else if (Lines(bsdtar.output) != NamesOf(entries)) {
    problems += "bsdtar lists other names: " + bsdtar.output.substr(0, 300) + "\n";
  }
  std::string manifest;
  for (const auto& e : entries) manifest += e.name + "\t" + e.source_path + "\n";
  std::string script = t.Write("check/check.py", kPythonCheck);
  std::string manifest_path = t.Write("check/manifest.txt", manifest);
  ToolRun python = RunTool("/usr/bin/python3", {script, archive, manifest_path});
  if (python.exit_code != 0) problems += "python zipfile: " + python.output + "\n";
  return problems;
}

// --- A reader of the archive's records, to check the fields the tools
// accept whatever their value.

uint64_t Get(const std::string& b, size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
  return v;
}

struct CentralEntry {
  uint16_t made_by = 0, version_needed = 0, flags = 0, method = 0, dos_time = 0, dos_date = 0;
  uint32_t crc = 0, external = 0;
  std::string name;
  bool zip64_sizes = false, zip64_offset = false;
  uint64_t size = 0, compressed_size = 0, offset = 0;
};

struct Layout {
  std::vector<CentralEntry> entries;
  bool zip64_end = false;
  uint64_t classic_count = 0, classic_size = 0, classic_start = 0;
  // From the zip64 end record when there is one.
  uint64_t count = 0, start = 0, size = 0;
  std::vector<std::string> problems;
};

Layout ReadLayout(const std::string& b) {
  Layout l;
  size_t end = b.size() - 22;
  if (Get(b, end, 4) != 0x06054b50) {
    l.problems.push_back("no end record where a comment-less archive has it");
    return l;
  }
  l.classic_count = Get(b, end + 10, 2);
  l.classic_size = Get(b, end + 12, 4);
  l.classic_start = Get(b, end + 16, 4);
  uint64_t count = l.classic_count, start = l.classic_start;
  if (end >= 20 && Get(b, end - 20, 4) == 0x07064b50) {
    l.zip64_end = true;
    size_t at = Get(b, end - 12, 8);
    if (Get(b, at, 4) != 0x06064b50 || at + 56 != end - 20) l.problems.push_back("zip64 end record misplaced");
    if (Get(b, at + 4, 8) != 44) l.problems.push_back("zip64 end record size");
    if (Get(b, at + 14, 2) != 45) l.problems.push_back("zip64 end record version needed");
    if (Get(b, at + 24, 8) != Get(b, at + 32, 8)) l.problems.push_back("zip64 counts differ");
    count = Get(b, at + 32, 8);
    start = Get(b, at + 48, 8);
    if (start + Get(b, at + 40, 8) != at) l.problems.push_back("zip64 directory size");
  }
  l.count = count;
  size_t p = start;
  for (uint64_t i = 0; i < count; ++i) {
    if (Get(b, p, 4) != 0x02014b50) {
      l.problems.push_back("central header " + std::to_string(i) + " missing");
      return l;
    }
    CentralEntry e;
    e.made_by = Get(b, p + 4, 2);
    e.version_needed = Get(b, p + 6, 2);
    e.flags = Get(b, p + 8, 2);
    e.method = Get(b, p + 10, 2);
    e.dos_time = Get(b, p + 12, 2);
    e.dos_date = Get(b, p + 14, 2);
    e.crc = Get(b, p + 16, 4);
    e.compressed_size = Get(b, p + 20, 4);
    e.size = Get(b, p + 24, 4);
    size_t name_len = Get(b, p + 28, 2), extra_len = Get(b, p + 30, 2), comment_len = Get(b, p + 32, 2);
    e.external = Get(b, p + 38, 4);
    e.offset = Get(b, p + 42, 4);
    e.name = b.substr(p + 46, name_len);
    std::string extra = b.substr(p + 46 + name_len, extra_len);
    e.zip64_sizes = e.size == kMarker32;
    e.zip64_offset = e.offset == kMarker32;
    if (e.zip64_sizes != (e.compressed_size == kMarker32)) l.problems.push_back(e.name + ": one size marked");
    size_t wanted = (e.zip64_sizes ? 16 : 0) + (e.zip64_offset ? 8 : 0);
    if (wanted == 0 ? !extra.empty()
                    : (extra.size() != wanted + 4 || Get(extra, 0, 2) != 1 || Get(extra, 2, 2) != wanted)) {
      l.problems.push_back(e.name + ": zip64 field does not hold exactly the marked values");
    } else if (wanted) {
      size_t q = 4;
      if (e.zip64_sizes) {
        e.size = Get(extra, q, 8);
        e.compressed_size = Get(extra, q + 8, 8);
        q += 16;
      }
      if (e.zip64_offset) e.offset = Get(extra, q, 8);
    }
    if (e.version_needed != (wanted ? 45 : 20))
      l.problems.push_back(e.name + ": version needed " + std::to_string(e.version_needed));

    // The local header must agree with the central one.
    size_t h = e.offset;
    if (Get(b, h, 4) != 0x04034b50) {
      l.problems.push_back(e.name + ": no local header at its offset");
    } else {
      size_t lname = Get(b, h + 26, 2), lextra = Get(b, h + 28, 2);
      bool local_zip64 = Get(b, h + 22, 4) == kMarker32;
      if (Get(b, h + 4, 2) != e.version_needed || Get(b, h + 6, 2) != e.flags || Get(b, h + 8, 2) != e.method ||
          Get(b, h + 14, 4) != e.crc || b.substr(h + 30, lname) != e.name || local_zip64 != e.zip64_sizes) {
        l.problems.push_back(e.name + ": local header differs from the central one");
      } else if (local_zip64) {
        if (lextra != 20 || Get(b, h + 18, 4) != kMarker32 || Get(b, h + 30 + lname, 2) != 1 ||
            Get(b, h + 34 + lname, 8) != e.size || Get(b, h + 42 + lname, 8) != e.compressed_size)
          l.problems.push_back(e.name + ": local zip64 sizes");
      } else if (lextra != 0 || Get(b, h + 18, 4) != e.compressed_size || Get(b, h + 22, 4) != e.size) {
        l.problems.push_back(e.name + ": local sizes");
      }
      if (!l.problems.empty()) return l;
    }
    l.entries.push_back(e);
    p += 46 + name_len + extra_len + comment_len;
  }
  l.start = start;
  l.size = p - start;
  return l;
}

// Every value the limits push out of the classic fields must be marked there.
std::string LimitProblems(const Layout& l, const ZipLimits& limits) {
  std::string problems;
  for (const auto& p : l.problems) problems += p + "\n";
  for (const auto& e : l.entries) {
    bool big_size = e.size >= limits.max_classic_value || e.compressed_size >= limits.max_classic_value;
    if (big_size && !e.zip64_sizes) problems += e.name + ": large size not in zip64 fields\n";
    if (e.zip64_offset != (e.offset >= limits.max_classic_value))
      problems += e.name + ": offset " + std::to_string(e.offset) + " marked wrongly\n";
  }
  // The end record holds what fits and marks the rest, which the zip64 end
  // record then holds.
  const bool many = l.count >= limits.max_classic_entries;
  const bool big_size = l.size >= limits.max_classic_value;
  const bool far_start = l.start >= limits.max_classic_value;
  if (l.classic_count != (many ? 0xFFFF : l.count)) problems += "end record count\n";
  if (l.classic_size != (big_size ? kMarker32 : l.size)) problems += "end record directory size\n";
  if (l.classic_start != (far_start ? kMarker32 : l.start)) problems += "end record directory start\n";
  if (l.zip64_end != (many || big_size || far_start)) problems += "zip64 end record where not needed or missing\n";
  return problems;
}

// --- Fixtures.

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

std::string TextBytes(size_t n) {
  std::string s;
  for (int i = 0; s.size() < n; ++i)
    s += "procedure TForm" + std::to_string(i % 97) + ".Button" + std::to_string(i % 13) +
         "Click(Sender: TObject);\r\nbegin\r\n  ShowMessage('" + std::to_string(i) + "');\r\nend;\r\n";
  s.resize(n);
  return s;
}

struct Tree {
  std::vector<ZipEntry> entries;
};

Tree MakeTree(const TempDir& t, const std::vector<std::pair<std::string, std::string>>& files) {
  Tree tree;
  for (const auto& [name, bytes] : files) tree.entries.push_back({name, t.Write("src/" + name, bytes)});
  return tree;
}

// Small and varied, out of alphabetical order so that listing order shows.
Tree SmallTree(const TempDir& t) {
  return MakeTree(t, {{"Programa.exe", RandomBytes(70000, 1) + TextBytes(30000)},
                      {"ayuda/Léame primero.txt", TextBytes(5000)},
                      {"ayuda/vacío.txt", ""},
                      {"bin/日本/módulo.dll", RandomBytes(200000, 2)},
                      {"bin/config.ini", "[Base]\r\nRuta=C:\\Programa\r\n"}});
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : platform::ListDirectory(dir)) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

// --- Tests.

TEST(WriteZip, ReadersAcceptATreeOfNestedUnicodeEmptyAndLargeFiles) {
  TempDir t;
  Tree tree = MakeTree(t, {{"Léame.txt", TextBytes(1000)},
                           {"bin/Mi Programa.exe", RandomBytes(300000, 3) + TextBytes(300000)},
                           {"bin/Módulos de año/Cañón.dll", RandomBytes(40000, 4)},
                           {"bin/Módulos de año/日本/データ.bin", TextBytes(20000)},
                           {"vacío.txt", ""},
                           {"datos/aleatorio.bin", RandomBytes(5u << 20, 5)},
                           {"datos/texto.txt", TextBytes(5u << 20)},
                           {"a/b/c/d/e/profundo.pas", TextBytes(777)}});
  std::string archive = t.Path("out/Entrega.zip");
  t.MakeDir("out");
  WriteZip(archive, tree.entries);

  EXPECT_EQ(ToolProblems(t, archive, tree.entries), "");
  ToolRun list = RunTool("/usr/bin/bsdtar", {"-tvf", archive});
  EXPECT_EQ(list.exit_code, 0) << list.output;

  // unzip keeps the UTF-8 names and the bytes when it extracts.
  ToolRun extract = RunTool("/usr/bin/unzip", {"-q", archive, "-d", t.Path("extracted")});
  ASSERT_EQ(extract.exit_code, 0) << extract.output;
  for (const auto& e : tree.entries)
    EXPECT_EQ(ReadAll(t.Path("extracted/" + e.name)), ReadAll(e.source_path)) << e.name;

  Layout layout = ReadLayout(ReadAll(archive));
  EXPECT_EQ(LimitProblems(layout, ZipLimits{}), "");
  EXPECT_FALSE(layout.zip64_end);
  for (const auto& e : layout.entries) {
    EXPECT_EQ(e.made_by >> 8, 3) << e.name;
    EXPECT_EQ(e.version_needed, 20) << e.name;
    EXPECT_EQ(e.flags, 0x0800) << e.name;
  }
  // The compressible file shrinks; the random one may grow only by Deflate's
  // block overhead.
  EXPECT_LT(layout.entries[6].compressed_size, layout.entries[6].size / 10);
  EXPECT_LT(layout.entries[5].compressed_size, layout.entries[5].size + layout.entries[5].size / 1000);
}

TEST(WriteZip, SameBytesWhateverTheThreadCount) {
  TempDir t;
  Tree tree = SmallTree(t);
  for (int i = 0; i < 40; ++i)
    tree.entries.push_back({"extra/f" + std::to_string(i) + ".txt",
                            t.Write("src/extra/f" + std::to_string(i), TextBytes(1000 + 5000 * (i % 7)))});
  // Small enough to stream the larger files, so that streamed and
  // compressed-ahead entries interleave.
  ZipLimits limits;
  limits.max_in_memory_size = 20000;

  std::string reference;
  for (unsigned threads : {1u, 2u, 4u, 8u}) {
    SCOPED_TRACE(threads);
    std::string archive = t.Path("out" + std::to_string(threads) + ".zip");
    zip_internal::WriteZipWithLimits(archive, tree.entries, Threads(threads), limits);
    std::string bytes = ReadAll(archive);
    if (reference.empty()) {
      reference = bytes;
      EXPECT_EQ(ToolProblems(t, archive, tree.entries), "");
    } else {
      EXPECT_TRUE(bytes == reference);
    }
  }
  WriteZip(t.Path("default.zip"), tree.entries, Threads(3));
  WriteZip(t.Path("default1.zip"), tree.entries, Threads(1));
  EXPECT_TRUE(ReadAll(t.Path("default.zip")) == ReadAll(t.Path("default1.zip")));
}

TEST(WriteZip, MoreThan65535EntriesUseTheZip64EndRecords) {
  TempDir t;
  std::vector<std::string> sources;
  for (int i = 0; i < 97; ++i) sources.push_back(t.Write("src/s" + std::to_string(i), "contenido " + std::to_string(i)));
  std::vector<ZipEntry> entries;
  const size_t count = 70000;
  for (size_t i = 0; i < count; ++i)
    entries.push_back({"carpeta" + std::to_string(i / 1000) + "/archivo" + std::to_string(i) + ".txt",
                       sources[i % sources.size()]});
  std::string archive = t.Path("muchos.zip");
  WriteZip(archive, entries);

  Layout layout = ReadLayout(ReadAll(archive));
  EXPECT_EQ(LimitProblems(layout, ZipLimits{}), "");
  EXPECT_TRUE(layout.zip64_end);
  EXPECT_EQ(layout.classic_count, 0xFFFFu);
  EXPECT_EQ(layout.count, count);
  EXPECT_EQ(layout.entries.size(), count);
  // Only the count overflows; the rest stays in the classic fields.
  EXPECT_NE(layout.classic_start, kMarker32);
  EXPECT_NE(layout.classic_size, kMarker32);

  EXPECT_EQ(ToolProblems(t, archive, entries), "");
}

struct LimitCase {
  const char* label;
  ZipLimits limits;
  bool zip64_end, zip64_offsets, zip64_sizes;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.label; }

class WriteZipLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(WriteZipLimits, RecordsMarkWhatPassesTheLimitsAndReadersAcceptThem) {
  const LimitCase& c = GetParam();
  TempDir t;
  Tree tree = SmallTree(t);
  tree.entries.push_back({"grande/aleatorio.bin", t.Write("src/grande", RandomBytes(1500000, 9))});
  tree.entries.push_back({"fin.txt", t.Write("src/fin", TextBytes(3000))});
  std::string archive = t.Path("limites.zip");
  zip_internal::WriteZipWithLimits(archive, tree.entries, Threads(2), c.limits);

  Layout layout = ReadLayout(ReadAll(archive));
  EXPECT_EQ(LimitProblems(layout, c.limits), "");
  EXPECT_EQ(layout.zip64_end, c.zip64_end);
  EXPECT_EQ(std::any_of(layout.entries.begin(), layout.entries.end(), [](auto& e) { return e.zip64_offset; }),
            c.zip64_offsets);
  EXPECT_EQ(std::any_of(layout.entries.begin(), layout.entries.end(), [](auto& e) { return e.zip64_sizes; }),
            c.zip64_sizes);
  if (c.zip64_end) {
    EXPECT_EQ(layout.count, tree.entries.size());
  }
  EXPECT_EQ(ToolProblems(t, archive, tree.entries), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteZipLimits,
    ::testing::Values(
        LimitCase{"classic", {}, false, false, false},
        // Offsets, sizes and the directory's place all pass the limit.
        LimitCase{"values", {.max_classic_value = 100000}, true, true, true},
        LimitCase{"entries", {.max_classic_entries = 3}, true, false, false},
        LimitCase{"exactly_the_entry_limit", {.max_classic_entries = 7}, true, false, false},
        LimitCase{"below_the_entry_limit", {.max_classic_entries = 8}, false, false, false},
        // Streamed entries keep room for zip64 sizes whenever the output
        // could reach the limit.
        LimitCase{"streamed", {.max_in_memory_size = 50000}, false, false, false},
        LimitCase{"streamed_zip64", {.max_classic_value = 1000000, .max_in_memory_size = 50000}, true, true, true}),
    [](const auto& info) { return std::string(info.param.label); });

struct FailingSource {
  const char* label;
  std::vector<std::string> sources;  // "-" marks a missing file, "/" a folder
  std::string blamed;                // the one the message must name
  bool old_archive;
};

void PrintTo(const FailingSource& c, std::ostream* os) { *os << c.label; }

class WriteZipFailingSource : public ::testing::TestWithParam<FailingSource> {};

TEST_P(WriteZipFailingSource, ThrowsEFOpenErrorAndLeavesNoArchive) {
  const FailingSource& c = GetParam();
  TempDir t;
  std::vector<ZipEntry> entries;
  for (size_t i = 0; i < c.sources.size(); ++i) {
    std::string name = c.sources[i];
    std::string path = t.Path("src/" + name);
    if (name.rfind("ok", 0) == 0) t.Write("src/" + name, RandomBytes(100000, static_cast<unsigned>(i)));
    if (name.rfind("dir", 0) == 0) t.MakeDir("src/" + name);
    entries.push_back({name, path});
  }
  t.MakeDir("out");
  std::string archive = t.Path("out/r.zip");
  if (c.old_archive) t.Write("out/r.zip", "old archive");
  auto before = FilesIn(t.Path("out"));

  for (unsigned threads : {1u, 4u}) {
    try {
      WriteZip(archive, entries, Threads(threads));
      ADD_FAILURE() << "no failure";
    } catch (const platform::EFOpenError& e) {
      EXPECT_NE(std::string(e.what()).find(t.Path("src/" + c.blamed)), std::string::npos) << e.what();
    }
    EXPECT_EQ(FilesIn(t.Path("out")), before);
    if (c.old_archive) {
      EXPECT_EQ(ReadAll(archive), "old archive");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteZipFailingSource,
    ::testing::Values(FailingSource{"missing_only", {"missing"}, "missing", false},
                      FailingSource{"missing_after_good_ones", {"ok1", "ok2", "missing", "ok3"}, "missing", true},
                      FailingSource{"first_in_order_is_named", {"ok1", "missing_a", "ok2", "missing_b"}, "missing_a",
                                    false},
                      FailingSource{"folder", {"ok1", "dir1"}, "dir1", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(WriteZip, ArchiveThatCannotBeCreatedThrowsEFCreateError) {
  TempDir t;
  Tree tree = SmallTree(t);
  t.MakeDir("a folder.zip");
  for (const std::string& archive : {t.Path("no/such/folder/r.zip"), t.Path("a folder.zip")}) {
    SCOPED_TRACE(archive);
    try {
      WriteZip(archive, tree.entries);
      ADD_FAILURE() << "no failure";
    } catch (const platform::EFCreateError& e) {
      EXPECT_NE(std::string(e.what()).find(archive), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(FilesIn(t.path()), (std::vector<std::string>{"a folder.zip", "src"}));
}

TEST(WriteZip, ReplacesAnExistingArchiveOnlyWhenComplete) {
  TempDir t;
  Tree tree = SmallTree(t);
  t.MakeDir("out");
  std::string archive = t.Write("out/r.zip", "old archive");
  ASSERT_EQ(::chmod(archive.c_str(), 0640), 0);

  int pumps = 0;
  bool old_kept_while_writing = true;
  auto pump = [&] {
    ++pumps;
    old_kept_while_writing = old_kept_while_writing && ReadAll(archive) == "old archive";
  };
  ZipOptions options = Threads(2);
  options.pump = pump;
  WriteZip(archive, tree.entries, options);

  EXPECT_TRUE(old_kept_while_writing);
  EXPECT_GE(pumps, static_cast<int>(tree.entries.size()));
  EXPECT_EQ(ToolProblems(t, archive, tree.entries), "");
  EXPECT_EQ(testsupport::ModeOf(archive), 0640u);
  EXPECT_EQ(FilesIn(t.Path("out")), (std::vector<std::string>{"r.zip"}));
}

TEST(WriteZip, EmptyListGivesAnEmptyArchive) {
  TempDir t;
  std::string archive = t.Path("vacio.zip");
  WriteZip(archive, {});
  EXPECT_EQ(ReadAll(archive).size(), 22u);
  EXPECT_EQ(ToolProblems(t, archive, {}), "");
}

struct StampCase {
  int year, month, day, hour, minute, second;  // the source's local modification time
  unsigned mode;
  int dos_year, dos_month, dos_day, dos_hour, dos_minute, dos_second;
  uint32_t dos_attributes;
};

TEST(WriteZip, DosTimeAndUnixModeComeFromTheSource) {
  const StampCase cases[] = {
      {2021, 3, 4, 5, 6, 8, 0644, 2021, 3, 4, 5, 6, 8, 0},
      // Two-second resolution.
      {2021, 3, 4, 5, 6, 9, 0755, 2021, 3, 4, 5, 6, 8, 0},
      {1999, 12, 31, 23, 59, 58, 0444, 1999, 12, 31, 23, 59, 58, 0x01},
      // Before MS-DOS dates begin.
      {1975, 6, 1, 12, 0, 0, 0600, 1980, 1, 1, 0, 0, 0, 0},
  };
  TempDir t;
  std::vector<ZipEntry> entries;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const StampCase& c = cases[i];
    std::string path = t.Write("src/f" + std::to_string(i), "x");
    struct tm tm {};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_sec = c.second;
    tm.tm_isdst = -1;
    struct timeval times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    entries.push_back({"f" + std::to_string(i), path});
  }
  std::string archive = t.Path("fechas.zip");
  WriteZip(archive, entries);

  Layout layout = ReadLayout(ReadAll(archive));
  ASSERT_EQ(layout.entries.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const StampCase& c = cases[i];
    const CentralEntry& e = layout.entries[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ((e.dos_date >> 9) + 1980, c.dos_year);
    EXPECT_EQ((e.dos_date >> 5) & 0xF, c.dos_month);
    EXPECT_EQ(e.dos_date & 0x1F, c.dos_day);
    EXPECT_EQ(e.dos_time >> 11, c.dos_hour);
    EXPECT_EQ((e.dos_time >> 5) & 0x3F, c.dos_minute);
    EXPECT_EQ((e.dos_time & 0x1F) * 2, c.dos_second);
    EXPECT_EQ(e.external, ((0100000u | c.mode) << 16) | c.dos_attributes);
  }
  ToolRun extract = RunTool("/usr/bin/unzip", {"-q", archive, "-d", t.Path("x")});
  ASSERT_EQ(extract.exit_code, 0) << extract.output;
  EXPECT_EQ(testsupport::ModeOf(t.Path("x/f1")), 0755u);
}

TEST(WriteZip, EveryLevelGivesAnArchiveTheReadersAccept) {
  TempDir t;
  Tree tree = SmallTree(t);
  ZipLimits streaming;
  streaming.max_in_memory_size = 50000;
  for (int level : {0, 1, 6, 9, 12}) {
    SCOPED_TRACE(level);
    std::string archive = t.Path("l" + std::to_string(level) + ".zip");
    WriteZip(archive, tree.entries, Level(level));
    EXPECT_EQ(ToolProblems(t, archive, tree.entries), "");
    std::string streamed = t.Path("s" + std::to_string(level) + ".zip");
    zip_internal::WriteZipWithLimits(streamed, tree.entries, Level(level), streaming);
    EXPECT_EQ(ToolProblems(t, streamed, tree.entries), "");
  }
  EXPECT_LT(ReadAll(t.Path("l9.zip")).size(), ReadAll(t.Path("l0.zip")).size());
  EXPECT_THROW(WriteZip(t.Path("bad.zip"), tree.entries, Level(13)), std::invalid_argument);
  EXPECT_FALSE(platform::FileExists(t.Path("bad.zip")));
}

}  // namespace
}  // namespace paquel
