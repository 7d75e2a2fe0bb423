#include "testsupport/pe_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace testsupport {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kDosHeaderSize = 0x40;
constexpr uint32_t kSubdirectoryFlag = 0x80000000;
constexpr uint16_t kLanguage = 0x0409;

uint64_t AlignUp(uint64_t n, uint64_t alignment) {
  return (n + alignment - 1) / alignment * alignment;
}

// Little-endian output.
class Writer {
 public:
  void U8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void U64(uint64_t v) {
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
  }
  // A field that is 8 bytes wide in PE32+ and 4 in PE32.
  void Word(bool wide, uint64_t v) { wide ? U64(v) : U32(static_cast<uint32_t>(v)); }
  void Text(std::string_view s) { bytes_.append(s); }
  void PadTo(uint64_t size) { bytes_.resize(size, '\0'); }
  size_t size() const { return bytes_.size(); }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

// One node of a version block: length, value length, type, the key in
// UTF-16 with its terminator, the value and the children, each starting on a
// 32-bit boundary.
std::string VersionNode(std::string_view key, uint16_t type, uint16_t value_length,
                        std::string_view value, const std::vector<std::string>& children) {
  Writer w;
  w.U16(0);  // length, set below
  w.U16(value_length);
  w.U16(type);
  for (char c : key) w.U16(static_cast<uint16_t>(c));
  w.U16(0);
  w.PadTo(AlignUp(w.size(), 4));
  w.Text(value);
  for (const std::string& child : children) {
    w.PadTo(AlignUp(w.size(), 4));
    w.Text(child);
  }
  std::string node = std::move(w.bytes());
  node[0] = static_cast<char>(node.size());
  node[1] = static_cast<char>(node.size() >> 8);
  return node;
}

std::string VersionString(std::string_view key, std::string_view text) {
  Writer value;
  for (char c : text) value.U16(static_cast<uint16_t>(c));
  value.U16(0);
  return VersionNode(key, 1, static_cast<uint16_t>(text.size() + 1), value.bytes(), {});
}

std::string DottedVersion(const std::array<uint16_t, 4>& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

// VS_VERSIONINFO with its fixed record and the string and translation tables
// a resource compiler writes after it.
std::string VersionBlock(const PeFileSpec& spec) {
  auto ms = [](const std::array<uint16_t, 4>& v) { return uint32_t{v[0]} << 16 | v[1]; };
  auto ls = [](const std::array<uint16_t, 4>& v) { return uint32_t{v[2]} << 16 | v[3]; };
  Writer fixed;
  fixed.U32(0xFEEF04BD);
  fixed.U32(0x00010000);  // structure version 1.0
  fixed.U32(ms(spec.file_version));
  fixed.U32(ls(spec.file_version));
  fixed.U32(ms(spec.product_version));
  fixed.U32(ls(spec.product_version));
  fixed.U32(0x3F);        // flags mask
  fixed.U32(0);           // flags
  fixed.U32(0x00040004);  // Windows NT, 32-bit Windows
  fixed.U32(1);           // application
  fixed.U32(0);           // subtype
  fixed.U64(0);           // date

  const std::string strings = VersionNode(
      "StringFileInfo", 1, 0, "",
      {VersionNode("040904E4", 1, 0, "",
                   {VersionString("FileVersion", DottedVersion(spec.file_version)),
                    VersionString("ProductVersion", DottedVersion(spec.product_version))})});
  Writer translation;
  translation.U16(kLanguage);
  translation.U16(1252);
  const std::string translations = VersionNode(
      "VarFileInfo", 1, 0, "", {VersionNode("Translation", 0, 4, translation.bytes(), {})});
  return VersionNode("VS_VERSION_INFO", 0, static_cast<uint16_t>(fixed.size()), fixed.bytes(),
                     {strings, translations});
}

struct Resource {
  uint16_t type;
  std::string data;
};

// A resource tree in the usual three levels (type, name, language) with one
// name and one language per type, followed by the data. Offsets inside the
// tree are relative to its start; data addresses are image addresses, hence
// the section's address.
std::string ResourceSection(const std::vector<Resource>& resources, uint32_t section_rva) {
  const size_t n = resources.size();
  const uint32_t root_size = 16 + 8 * static_cast<uint32_t>(n);
  const uint32_t directory_size = 16 + 8;  // a directory with one entry
  const uint32_t entries_at = root_size + 2 * directory_size * static_cast<uint32_t>(n);
  uint32_t data_at = entries_at + 16 * static_cast<uint32_t>(n);

  Writer w;
  auto directory = [&](uint32_t id, uint32_t target) {
    w.U32(0);  // characteristics
    w.U32(0);  // time stamp
    w.U32(0);  // major and minor version
    w.U16(0);  // named entries
    w.U16(1);  // id entries
    w.U32(id);
    w.U32(target);
  };
  w.U32(0);
  w.U32(0);
  w.U32(0);
  w.U16(0);
  w.U16(static_cast<uint16_t>(n));
  for (size_t i = 0; i < n; ++i) {
    w.U32(resources[i].type);
    w.U32((root_size + 2 * directory_size * static_cast<uint32_t>(i)) | kSubdirectoryFlag);
  }
  for (size_t i = 0; i < n; ++i) {
    uint32_t names_at = root_size + 2 * directory_size * static_cast<uint32_t>(i);
    directory(1, (names_at + directory_size) | kSubdirectoryFlag);
    directory(kLanguage, entries_at + 16 * static_cast<uint32_t>(i));
  }
  for (const Resource& r : resources) {
    w.U32(section_rva + data_at);
    w.U32(static_cast<uint32_t>(r.data.size()));
    w.U32(0);  // code page
    w.U32(0);
    data_at = static_cast<uint32_t>(AlignUp(data_at + r.data.size(), 8));
  }
  for (const Resource& r : resources) {
    w.Text(r.data);
    w.PadTo(AlignUp(w.size(), 8));
  }
  return std::move(w.bytes());
}

// The code section holds the entry point, a single return instruction, and
// then the zero padding, which is streamed when the file is written.
constexpr char kReturn = '\xC3';

struct Image {
  std::string headers;
  uint64_t code_raw = 0;  // the code section's size in the file
  std::string resources;
};

Image BuildImage(const PeFileSpec& spec) {
  const bool wide = spec.pe32plus;
  const uint16_t optional_size = wide ? 240 : 224;
  const uint16_t section_count = 2;
  const uint32_t headers_size = static_cast<uint32_t>(
      AlignUp(kDosHeaderSize + 4 + 20 + optional_size + 40 * section_count, kFileAlignment));

  const uint32_t code_rva = kSectionAlignment;
  const uint64_t code_size = 1 + spec.padding;
  const uint64_t code_raw = AlignUp(code_size, kFileAlignment);
  const uint32_t rsrc_rva = static_cast<uint32_t>(code_rva + AlignUp(code_size, kSectionAlignment));

  // Form data stands beside the version, as in real programs, so the reader
  // has to pick the right type.
  std::vector<Resource> resources{{10, "TPF0\x06TFORM1"}};
  if (spec.with_version) resources.push_back({16, VersionBlock(spec)});
  Image image;
  image.code_raw = code_raw;
  image.resources = ResourceSection(resources, rsrc_rva);
  const uint32_t rsrc_size = static_cast<uint32_t>(image.resources.size());
  const uint32_t rsrc_raw = static_cast<uint32_t>(AlignUp(rsrc_size, kFileAlignment));
  const uint32_t image_size =
      static_cast<uint32_t>(rsrc_rva + AlignUp(rsrc_size, kSectionAlignment));
  image.resources.resize(rsrc_raw, '\0');

  Writer w;
  w.Text("MZ");
  w.PadTo(0x3C);
  w.U32(kDosHeaderSize);
  w.Text(std::string_view("PE\0\0", 4));
  w.U16(wide ? 0x8664 : 0x14C);  // AMD64 or i386
  w.U16(section_count);
  w.U32(0);  // time stamp
  w.U32(0);  // symbol table
  w.U32(0);  // symbols
  w.U16(optional_size);
  w.U16(wide ? 0x0022 : 0x0102);  // executable; large-address aware or 32-bit machine

  w.U16(wide ? 0x20B : 0x10B);
  w.U8(14);  // linker version
  w.U8(0);
  w.U32(static_cast<uint32_t>(code_raw));
  w.U32(rsrc_raw);  // initialised data
  w.U32(0);         // uninitialised data
  w.U32(code_rva);  // entry point
  w.U32(code_rva);  // base of code
  if (!wide) w.U32(rsrc_rva);       // base of data
  w.Word(wide, wide ? 0x140000000 : 0x400000);
  w.U32(kSectionAlignment);
  w.U32(kFileAlignment);
  w.U16(6);  // operating system version
  w.U16(0);
  w.U16(0);  // image version
  w.U16(0);
  w.U16(6);  // subsystem version
  w.U16(0);
  w.U32(0);  // reserved
  w.U32(image_size);
  w.U32(headers_size);
  w.U32(0);  // checksum
  w.U16(2);  // Windows GUI
  w.U16(0);  // DLL characteristics
  w.Word(wide, 0x100000);  // stack reserve
  w.Word(wide, 0x4000);    // stack commit
  w.Word(wide, 0x100000);  // heap reserve
  w.Word(wide, 0x1000);    // heap commit
  w.U32(0);                // loader flags
  w.U32(16);
  for (uint32_t i = 0; i < 16; ++i) {
    const bool resource_directory = i == 2;
    w.U32(resource_directory ? rsrc_rva : 0);
    w.U32(resource_directory ? rsrc_size : 0);
  }

  auto section = [&](std::string_view name, uint32_t rva, uint64_t virtual_size, uint64_t raw_size,
                     uint64_t raw_at, uint32_t characteristics) {
    const size_t name_at = w.size();
    w.Text(name);
    w.PadTo(name_at + 8);
    w.U32(static_cast<uint32_t>(virtual_size));
    w.U32(rva);
    w.U32(static_cast<uint32_t>(raw_size));
    w.U32(static_cast<uint32_t>(raw_at));
    w.U32(0);  // relocations
    w.U32(0);  // line numbers
    w.U16(0);
    w.U16(0);
    w.U32(characteristics);
  };
  section(".text", code_rva, code_size, code_raw, headers_size, 0x60000020);
  section(".rsrc", rsrc_rva, rsrc_size, rsrc_raw, headers_size + code_raw, 0x40000040);
  w.PadTo(headers_size);
  image.headers = std::move(w.bytes());
  return image;
}

}  // namespace

std::string MakePeFile(const PeFileSpec& spec) {
  Image image = BuildImage(spec);
  std::string bytes = std::move(image.headers);
  bytes += kReturn;
  bytes.resize(bytes.size() + image.code_raw - 1, '\0');
  bytes += image.resources;
  return bytes;
}

std::string WritePeFile(const std::string& path, const PeFileSpec& spec) {
  Image image = BuildImage(spec);
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(image.headers.data(), static_cast<std::streamsize>(image.headers.size()));
  out.put(kReturn);
  const std::vector<char> zeros(1 << 20);
  for (uint64_t left = image.code_raw - 1; left > 0 && out;) {
    const uint64_t n = std::min<uint64_t>(left, zeros.size());
    out.write(zeros.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
  out.write(image.resources.data(), static_cast<std::streamsize>(image.resources.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace testsupport
