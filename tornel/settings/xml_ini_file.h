// The main window keeps its parameters as ini-style sections and keys, but in
// an XML file beside the executable:
//
//   <Tornel>
//     <INIC>
//       <INIC Name="RUTPROJ">C:\MORVEL\FUENTES</INIC>
//     </INIC>
//   </Tornel>
//
// The root element is named after the file's base name, a section element
// after the section with blanks and backslashes turned into "_", and a key
// element after its section, with the key in its "Name" attribute. Names are
// compared exactly. Reads and writes work on the document in memory; the
// file is read once, when the object is made, and written by UpdateFile and
// when the object goes away.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace tornel {

class TMXmlIniFile {
 public:
  // Loads the file. A missing file, or one that cannot be read or parsed,
  // gives an empty store; an existing file that fails is first kept aside
  // as "<FileName>.bak", since the next save replaces it.
  explicit TMXmlIniFile(std::string FileName);
  // Writes the file; a failure here is lost, so callers that must know call
  // UpdateFile first.
  ~TMXmlIniFile();
  TMXmlIniFile(const TMXmlIniFile&) = delete;
  TMXmlIniFile& operator=(const TMXmlIniFile&) = delete;

  // Replaces the file with the whole document, one element per line and two
  // blanks of indent per level. An XML declaration, encoding and byte-order
  // mark are written only if the loaded file had them. Throws EFCreateError.
  void UpdateFile() const;

  // Each write also calls UpdateFile when UpdateFileOnWrite is set.
  void WriteString(std::string_view section, std::string_view ident, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view ident, int32_t value);
  void WriteBool(std::string_view section, std::string_view ident, bool value);

  // A missing section or key gives the default. An integer that does not
  // convert gives the default; a Boolean is true only for "True" in any
  // case, false for any other non-empty text.
  std::string ReadString(std::string_view section, std::string_view ident,
                         std::string_view default_value) const;
  int32_t ReadInteger(std::string_view section, std::string_view ident,
                      int32_t default_value) const;
  bool ReadBool(std::string_view section, std::string_view ident, bool default_value) const;

  bool UpdateFileOnWrite() const { return FUpdateFileOnWrite; }
  void SetUpdateFileOnWrite(bool value) { FUpdateFileOnWrite = value; }

  const std::string& FileName() const { return FXMLFileName; }

 private:
  bool Load();
  pugi::xml_node Root() const;
  pugi::xml_node Key(std::string_view section, std::string_view ident) const;
  void Write(std::string_view section, std::string_view ident, std::string_view value);

  std::string FXMLFileName;
  pugi::xml_document FXMLDoc;
  bool FUpdateFileOnWrite = false;
  pugi::xml_encoding encoding_ = pugi::encoding_utf8;
  bool bom_ = false;
};

}  // namespace tornel
