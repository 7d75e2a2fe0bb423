// Reader and writer of one Delphi project file (.dproj). The analysis of a
// compile run creates one per project file, reads its summary, hands it the
// new versions and lets it write them back; untouched bytes stay as they
// were. The class also carries the project-file search and the read-only
// attribute operations, which need no instance.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "tornel/projectfile/inf_proj.h"
#include "tornel/projectfile/inf_version.h"

namespace tornel {

class TDprojParser {
 public:
  // Loads the file; throws the reader's failure (EFOpenError for a file that
  // cannot be read, EDOMParseError for one that is not well-formed XML).
  explicit TDprojParser(std::string pStDprojFile);
  TDprojParser(const TDprojParser&) = delete;
  TDprojParser& operator=(const TDprojParser&) = delete;

  // Package filter for GetInfo, filled by the caller; empty accepts all.
  std::vector<std::string> ValidPackages;

  // The project's summary. A failure while reading is passed on with the
  // message "<class name>: <message>".
  TInfProj GetInfo() const;
  // Fills Nombre, FileVersion and ProductVersion from pNode's VerInfo_Keys.
  void GetVersion(pugi::xml_node pNode, TInfProj& RInfProj) const;
  // Text of the first direct child element named pNodeName, or empty.
  std::string ChildNodeValue(pugi::xml_node pParentNode, std::string_view pNodeName) const;

  // Writes FileVersion and ProductVersion into every group that carries
  // version information and saves; does nothing when pBoModVersion is false.
  void ChangeVersion(bool pBoModVersion);
  // Sets ChildNodeName to Value in every property group whose condition
  // matches ConditionPattern, and saves when something was set.
  void SetXMLPropertyValue(std::string_view ConditionPattern, std::string_view ChildNodeName,
                           std::string_view Value);
  // Saves the document over the file; a read-only file is made writable and
  // saved once more.
  void SaveFile();

  std::string FileName() const;
  const TInfVersion& FileVersion() const { return FFileVersion; }
  void SetFileVersion(const TInfVersion& v) { FFileVersion = v; }
  const TInfVersion& ProductVersion() const { return FProductVersion; }
  void SetProductVersion(const TInfVersion& v) { FProductVersion = v; }

  // Paths of the files below Path whose names match Filter ("*", "?",
  // without regard to case): a folder's own files first, then depth-first
  // those of its subfolders, in the order the file system lists them.
  static std::vector<std::string> FileSearch(const std::string& Path, std::string_view Filter,
                                             bool doRecursively);
  // True when the file is read-only or its attributes cannot be read.
  static bool FileIsReadOnly(const std::string& FileName);
  // For a folder: every file below it; for a file: that file. Answers 0, a
  // system error code, or -1 when there is no such path (or no file below).
  static int SetReadOnly(const std::string& Path, bool ReadOnly);
  static int SetFileReadOnly(const std::string& FileName, bool ReadOnly);

 private:
  enum class Encoding { kUtf8, kUtf16Le, kUtf16Be };

  // Runs change, which notes whether it changed the document, and saves
  // when it did, also after a failure; a failure is passed on with its
  // message behind failure_prefix and its class name.
  void ChangeAndSave(std::string_view failure_prefix,
                     const std::function<void(bool& changed)>& change);
  // The project element: the document's first top-level node.
  pugi::xml_node ProjectNode() const;
  std::string Serialize() const;

  pugi::xml_document FXMLDocument;
  std::string FDprojFile;
  TInfVersion FFileVersion;
  TInfVersion FProductVersion;
  Encoding encoding_ = Encoding::kUtf8;
  bool had_bom_ = false;
};

}  // namespace tornel
