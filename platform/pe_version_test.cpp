#include "platform/pe_version.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "testsupport/pe_file.h"
#include "testsupport/temp_dir.h"

namespace platform {
namespace {

using testsupport::MakePeFile;
using testsupport::PeFileSpec;
using testsupport::TempDir;
using testsupport::WritePeFile;
using Version = std::array<uint16_t, 4>;

uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 4; i-- > 0;) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}
void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v);
  b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
  Put16(b, at, static_cast<uint16_t>(v));
  Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// Where the structures of an image made by MakePeFile lie, found by
// following its headers, so that tests can damage one of them.
struct Layout {
  size_t pe;             // "PE\0\0"
  size_t optional;       // optional header
  size_t directories;    // data directories
  size_t sections;       // section table
  size_t rsrc_header;    // the resource section's header
  size_t rsrc;           // resource tree root
  size_t version_names;  // directory of the version type's names
  size_t version_data;   // data entry of the version block
  size_t fixed;          // fixed version record
  size_t version_end;    // end of the version block
};

Layout LayoutOf(const std::string& b) {
  Layout l{};
  l.pe = Get32(b, 0x3C);
  l.optional = l.pe + 24;
  l.directories = l.optional + (Get32(b, l.optional) % 0x10000 == 0x20B ? 112 : 96);
  l.sections = l.optional + Get32(b, l.pe + 20) % 0x10000;
  l.rsrc_header = b.find(std::string(".rsrc\0\0\0", 8), l.sections);
  l.rsrc = Get32(b, l.rsrc_header + 20);
  // Types are sorted; the version type is the last of the root's entries.
  size_t types = Get32(b, l.rsrc + 12) >> 16;
  l.version_names = l.rsrc + (Get32(b, l.rsrc + 16 + 8 * (types - 1) + 4) & 0x7FFFFFFF);
  size_t languages = l.rsrc + (Get32(b, l.version_names + 20) & 0x7FFFFFFF);
  l.version_data = l.rsrc + Get32(b, languages + 20);
  l.fixed = b.find(std::string("\xBD\x04\xEF\xFE", 4));
  l.version_end = l.fixed - 40 + Get32(b, l.fixed - 40) % 0x10000;
  return l;
}

PeFileSpec Spec(Version file, Version product, bool pe32plus, size_t padding = 0) {
  PeFileSpec spec;
  spec.file_version = file;
  spec.product_version = product;
  spec.pe32plus = pe32plus;
  spec.padding = padding;
  return spec;
}

const std::vector<std::pair<Version, Version>> kVersions = {
    {{1, 0, 0, 0}, {1, 0, 0, 0}},
    {{23, 0, 4, 7}, {23, 0, 0, 0}},
    {{0, 0, 0, 0}, {0, 0, 0, 1}},
    {{65535, 65535, 65535, 65535}, {65535, 0, 65535, 0}},
    {{1, 2, 3, 4}, {4, 3, 2, 1}},
    {{256, 32768, 255, 65534}, {32767, 1, 0x8000, 0x7FFF}},
};

TEST(PeVersion, ReadsBackBothVersionsOfPe32AndPe32Plus) {
  TempDir t;
  int n = 0;
  for (bool wide : {false, true})
    for (size_t padding : {size_t{0}, size_t{70000}})
      for (const auto& [file, product] : kVersions)
        for (const char* ext : {".exe", ".dll", ".sdml"}) {
          const std::string name = "p" + std::to_string(n++) + ext;
          const std::string path = WritePeFile(t.Path(name), Spec(file, product, wide, padding));
          auto got = ReadPeVersion(path);
          ASSERT_TRUE(got) << path << (wide ? " PE32+" : " PE32");
          EXPECT_EQ(got->file, file) << path;
          EXPECT_EQ(got->product, product) << path;
        }
}

TEST(PeVersion, VersionText) {
  EXPECT_EQ(VersionText({23, 0, 4, 7}), "23.0.4.7");
  EXPECT_EQ(VersionText({65535, 0, 65535, 1}), "65535.0.65535.1");
}

TEST(PeVersion, AgreesWithPefile) {
  const std::string python = "/usr/bin/python3";
  ASSERT_TRUE(FileExists(python)) << python << " is missing; scripts/setup.sh installs python3";
  auto run = [&](const std::vector<std::string>& args, std::string& out) {
    return RunCaptured(python, args, "", [&](std::string_view b) { out.append(b); }, {}).exit_code;
  };
  std::string probe;
  ASSERT_EQ(run({"-c", "import pefile"}, probe), 0)
      << "Python's pefile is missing; scripts/setup.sh installs python3-pefile\n" << probe;

  TempDir t;
  std::vector<std::string> args = {
      "-c",
      "import sys, pefile\n"
      "for path in sys.argv[1:]:\n"
      "    pe = pefile.PE(path)\n"
      "    f = pe.VS_FIXEDFILEINFO[0]\n"
      "    warnings = [w for w in pe.get_warnings() if not w.startswith('Byte 0x00 makes up')]\n"
      "    print(pe.OPTIONAL_HEADER.Magic, f.FileVersionMS, f.FileVersionLS,\n"
      "          f.ProductVersionMS, f.ProductVersionLS, warnings)\n"};
  std::string want;
  int n = 0;
  for (bool wide : {false, true})
    for (const auto& [file, product] : kVersions) {
      const std::string path =
          WritePeFile(t.Path("p" + std::to_string(n++) + ".exe"), Spec(file, product, wide, 1000));
      args.push_back(path);
      auto got = ReadPeVersion(path);
      ASSERT_TRUE(got) << path;
      auto ms = [](const Version& v) { return uint32_t{v[0]} << 16 | v[1]; };
      auto ls = [](const Version& v) { return uint32_t{v[2]} << 16 | v[3]; };
      std::ostringstream line;
      line << (wide ? 0x20B : 0x10B) << ' ' << ms(got->file) << ' ' << ls(got->file) << ' '
           << ms(got->product) << ' ' << ls(got->product) << " []\n";
      want += line.str();
    }
  std::string out;
  ASSERT_EQ(run(args, out), 0) << out;
  EXPECT_EQ(out, want);
}

TEST(PeVersion, NothingFromFilesThatAreNotPeImagesWithAVersion) {
  TempDir t;
  const std::string good = MakePeFile(Spec({2, 3, 4, 5}, {2, 0, 0, 0}, false));
  const std::string good64 = MakePeFile(Spec({2, 3, 4, 5}, {2, 0, 0, 0}, true));
  const Layout l = LayoutOf(good);
  const Layout l64 = LayoutOf(good64);
  auto put16 = [](std::string b, size_t at, uint16_t v) {
    Put16(b, at, v);
    return b;
  };
  auto put32 = [](std::string b, size_t at, uint32_t v) {
    Put32(b, at, v);
    return b;
  };
  PeFileSpec no_version;
  no_version.with_version = false;
  const size_t version_type = l.rsrc + 16 + 8 + 4;  // the root's second entry, its target
  const uint32_t names_offset = static_cast<uint32_t>(l.version_names - l.rsrc);

  const struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"text", "Just some text, long enough to hold the headers of an image if it were one."},
      {"MZ only", "MZ"},
      {"DOS header only", good.substr(0, 64)},
      {"no version resource", MakePeFile(no_version)},
      {"PE header beyond the end", put32(good, 0x3C, 0xFFFFFFF0)},
      {"NE signature", put16(good, l.pe, 0x454E)},
      {"unknown optional header", put16(good, l.optional, 0x107)},
      {"optional header too short", put16(good, l.pe + 20, 96 + 16)},
      {"two data directories", put32(good, l.directories - 4, 2)},
      {"no resource directory", put32(good, l.directories + 16, 0)},
      {"PE32+ without resource directory", put32(good64, l64.directories + 16, 0)},
      {"resources outside every section", put32(good, l.directories + 16, 0x7FFFF000)},
      {"version block in memory the file does not fill", put32(good, l.rsrc_header + 16, 0x40)},
      {"huge section count", put16(good, l.pe + 6, 0xFFFF)},
      {"huge entry counts", put32(good, l.rsrc + 12, 0xFFFFFFFF)},
      {"huge entry counts of the names", put32(good, l.version_names + 12, 0xFFFFFFFF)},
      {"names directory pointing at itself",
       put32(good, l.version_names + 20, names_offset | 0x80000000)},
      {"names directory pointing at the root", put32(good, l.version_names + 20, 0x80000000)},
      {"version type as data", put32(good, version_type, Get32(good, version_type) & 0x7FFFFFFF)},
      {"no fixed record signature", put32(good, l.fixed, 0)},
      {"version block too short for the fixed record", put32(good, l.version_data + 4, 60)},
  };
  for (const Case& c : cases) {
    const std::string path = t.Write(std::string(c.name) + ".exe", c.bytes);
    EXPECT_EQ(ReadPeVersion(path), std::nullopt) << c.name;
  }
  EXPECT_EQ(ReadPeVersion(t.Path("missing.exe")), std::nullopt);
  EXPECT_EQ(ReadPeVersion(t.MakeDir("folder.exe")), std::nullopt);
  // The damage above is in the right places: the intact files read.
  EXPECT_TRUE(ReadPeVersion(t.Write("good.exe", good)));
  EXPECT_TRUE(ReadPeVersion(t.Write("good64.exe", good64)));
}

TEST(PeVersion, TruncatedFilesGiveNothingOrTheWholeVersion) {
  TempDir t;
  for (bool wide : {false, true}) {
    const PeFileSpec spec = Spec({7, 6, 5, 4}, {3, 2, 1, 0}, wide);
    const std::string good = MakePeFile(spec);
    const Layout l = LayoutOf(good);
    for (size_t cut = 0; cut < good.size(); cut += 7) {
      auto got = ReadPeVersion(t.Write("cut.exe", good.substr(0, cut)));
      if (cut < l.fixed + 52) {
        EXPECT_EQ(got, std::nullopt) << "cut at " << cut;
      } else if (cut >= l.version_end) {
        EXPECT_EQ(got, (PeVersion{spec.file_version, spec.product_version})) << "cut at " << cut;
      } else if (got) {
        EXPECT_EQ(*got, (PeVersion{spec.file_version, spec.product_version})) << "cut at " << cut;
      }
    }
  }
}

TEST(PeVersion, ACorruptByteGivesNothingOrTheVersionItHolds) {
  TempDir t;
  const PeFileSpec spec = Spec({7, 6, 5, 4}, {3, 2, 1, 0}, false);
  const std::string good = MakePeFile(spec);
  const Layout l = LayoutOf(good);
  const PeVersion want{spec.file_version, spec.product_version};
  int read = 0;
  for (size_t at = 0; at < good.size(); ++at) {
    std::string bytes = good;
    bytes[at] = static_cast<char>(bytes[at] ^ 0xFF);
    auto got = ReadPeVersion(t.Write("corrupt.exe", bytes));
    // Only the version numbers themselves may change what is read.
    const bool in_numbers = at >= l.fixed + 8 && at < l.fixed + 24;
    if (!got) continue;
    ++read;
    if (in_numbers) {
      EXPECT_NE(*got, want) << "byte " << at;
    } else {
      EXPECT_EQ(*got, want) << "byte " << at;
    }
  }
  // Most bytes of an image (padding, code, other resources) do not matter.
  EXPECT_GT(read, static_cast<int>(good.size() / 2));
}

}  // namespace
}  // namespace platform
