#include "tornel/settings/xml_ini_file.h"

#include <sstream>
#include <utility>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace tornel {

namespace {

// Comments, processing instructions and the declaration of a hand-written
// file are kept, so a save gives them back. A value of blanks only is the
// single text of its key element and is kept too, while the indentation
// between elements is not.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype |
                                   pugi::parse_ws_pcdata_single;

std::string SectionElementName(std::string_view section) {
  std::string name(section);
  for (char& c : name) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '\\') c = '_';
  }
  return name;
}

bool StartsWithByteOrderMark(std::string_view bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFE\xFF") ||
         bytes.starts_with("\xFF\xFE") || bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4));
}

}  // namespace

TMXmlIniFile::TMXmlIniFile(std::string FileName) : FXMLFileName(std::move(FileName)) {
  if (!Load()) {
    FXMLDoc.reset();
    FXMLDoc.append_child(platform::FileBaseName(FXMLFileName).c_str());
  }
}

TMXmlIniFile::~TMXmlIniFile() {
  // A destructor must not throw; the owner learns of a failed save from its
  // own UpdateFile call before it lets the object go.
  try {
    UpdateFile();
  } catch (const std::exception&) {
  }
}

bool TMXmlIniFile::Load() {
  if (!platform::FileExists(FXMLFileName)) return false;
  try {
    std::string bytes = platform::ReadFileBytes(FXMLFileName);
    pugi::xml_parse_result parsed = FXMLDoc.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    if (parsed) {
      encoding_ = parsed.encoding;
      bom_ = StartsWithByteOrderMark(bytes);
      return true;
    }
  } catch (const platform::Error&) {
  }
  // The store starts empty and its next save overwrites the file, so keep
  // what the user may have written by hand.
  platform::KeepAsBackup(FXMLFileName);
  return false;
}

void TMXmlIniFile::UpdateFile() const {
  unsigned flags = pugi::format_indent | pugi::format_no_declaration;
  if (bom_) flags |= pugi::format_write_bom;
  std::ostringstream out;
  FXMLDoc.save(out, "  ", flags, encoding_);
  platform::WriteFileAtomic(FXMLFileName, out.str());
}

void TMXmlIniFile::WriteString(std::string_view section, std::string_view ident,
                               std::string_view value) {
  Write(section, ident, value);
}

void TMXmlIniFile::WriteInteger(std::string_view section, std::string_view ident, int32_t value) {
  Write(section, ident, std::to_string(value));
}

void TMXmlIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  Write(section, ident, value ? "True" : "False");
}

std::string TMXmlIniFile::ReadString(std::string_view section, std::string_view ident,
                                     std::string_view default_value) const {
  pugi::xml_node key = Key(section, ident);
  return key ? key.text().get() : std::string(default_value);
}

int32_t TMXmlIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                  int32_t default_value) const {
  return platform::StrToIntStrict(ReadString(section, ident, std::to_string(default_value)))
      .value_or(default_value);
}

bool TMXmlIniFile::ReadBool(std::string_view section, std::string_view ident,
                            bool default_value) const {
  std::string text = ReadString(section, ident, "");
  if (text.empty()) return default_value;
  return platform::SameText(text, "True");
}

// The document's first element, not its first node: our own files begin with
// it, and a hand-written file that begins with a declaration or a comment
// still reads as the same settings.
pugi::xml_node TMXmlIniFile::Root() const { return FXMLDoc.document_element(); }

pugi::xml_node TMXmlIniFile::Key(std::string_view section, std::string_view ident) const {
  pugi::xml_node sec = Root().child(SectionElementName(section).c_str());
  for (pugi::xml_node key : sec.children()) {
    pugi::xml_attribute name = key.attribute("Name");
    if (key.type() == pugi::node_element && name && ident == name.value()) return key;
  }
  return pugi::xml_node();
}

void TMXmlIniFile::Write(std::string_view section, std::string_view ident,
                         std::string_view value) {
  std::string sec_name = SectionElementName(section);
  pugi::xml_node sec = Root().child(sec_name.c_str());
  if (!sec) sec = Root().append_child(sec_name.c_str());
  pugi::xml_node key = Key(section, ident);
  if (!key) {
    key = sec.append_child(sec_name.c_str());
    key.append_attribute("Name") = std::string(ident).c_str();
  }
  key.text().set(std::string(value).c_str());
  if (FUpdateFileOnWrite) UpdateFile();
}

}  // namespace tornel
