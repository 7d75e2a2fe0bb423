#include "tornel/projectfile/dproj_parser.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/regex.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "tornel/projectfile/key_list.h"
#include "tornel/projectfile/xml_text.h"

namespace tornel {
namespace {

using platform::Regex;

// Raw loading keeps every byte that the document does not change.
constexpr unsigned kParseFlags = pugi::parse_pi | pugi::parse_comments | pugi::parse_cdata |
                                 pugi::parse_ws_pcdata | pugi::parse_declaration |
                                 pugi::parse_doctype | pugi::parse_fragment;
constexpr unsigned kSaveFlags =
    pugi::format_raw | pugi::format_no_declaration | pugi::format_no_escapes;

constexpr unsigned kMatch = Regex::kCaseless | Regex::kDotAll;

const Regex& OsxPattern() {
  static const Regex r("OSX\\d*", kMatch);
  return r;
}
const Regex& CfgPattern() {
  static const Regex r("Cfg\\_\\d*", kMatch);
  return r;
}
const Regex& BasePattern() {
  static const Regex r("Base", kMatch);
  return r;
}

bool IsPropertyGroup(pugi::xml_node n) {
  return n.type() == pugi::node_element && std::string_view(n.name()) == "PropertyGroup";
}

std::string ConditionOf(pugi::xml_node n) { return VariantToText(AttributeText(n, "Condition")); }

// Configuration name from a condition such as '$(Cfg_2)'!='': the text
// between the first "(" and the next ")".
std::string ConfigNameFromCondition(const std::string& cond) {
  std::string t = platform::Trim(cond);
  size_t open = t.find('(');
  std::string rest = open == std::string::npos ? t : t.substr(open + 1);
  size_t close = rest.find(')');
  return close == std::string::npos ? std::string() : rest.substr(0, close);
}

bool ContainsText(const std::vector<std::string>& list, std::string_view item) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& s) { return platform::SameText(s, item); });
}

std::string LineColumn(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
  size_t line_start = text.rfind('\n', offset == 0 ? 0 : offset - 1);
  size_t column = offset - (line_start == std::string_view::npos || offset == 0 ? 0 : line_start + 1) + 1;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Fragment parsing keeps the whitespace around the project element, but also
// accepts texts that are no XML document; refuse those as the reader would.
void CheckDocumentShape(const pugi::xml_document& doc, const std::string& file) {
  int elements = 0;
  for (pugi::xml_node n : doc.children()) {
    if (n.type() == pugi::node_element) {
      ++elements;
    } else if (n.type() == pugi::node_cdata ||
               (n.type() == pugi::node_pcdata && !platform::Trim(n.value()).empty())) {
      throw platform::EDOMParseError("Error in \"" + file +
                                     "\": text is not allowed outside the root element");
    }
  }
  if (elements == 0)
    throw platform::EDOMParseError("Error in \"" + file + "\": the document has no root element");
  if (elements > 1)
    throw platform::EDOMParseError("Error in \"" + file +
                                   "\": only one top-level element is allowed");
}

// Prepares a raw document so that saving it writes what was read:
// - an element written as <X></X> has no children once parsed and would be
//   saved as <X/>; an empty text child keeps its original form;
// - attribute values are saved between double quotes, so a double quote
//   inside a value written between single quotes must become a reference
//   or the saved file would not be XML.
void KeepOriginalForms(pugi::xml_node root, std::string_view source) {
  struct Walker : pugi::xml_tree_walker {
    std::string_view src;
    bool for_each(pugi::xml_node& node) override {
      if (node.type() != pugi::node_element) return true;
      for (pugi::xml_attribute attr : node.attributes()) {
        std::string_view value = attr.value();
        if (value.find('"') == std::string_view::npos) continue;
        std::string quoted;
        for (char c : value) quoted += c == '"' ? std::string("&quot;") : std::string(1, c);
        attr.set_value(quoted.c_str());
      }
      if (node.first_child()) return true;
      ptrdiff_t off = node.offset_debug();
      std::string_view name = node.name();
      if (off <= 0 || static_cast<size_t>(off) + name.size() > src.size() || src[off - 1] != '<' ||
          src.substr(static_cast<size_t>(off), name.size()) != name)
        return true;
      char quote = 0;
      for (size_t i = static_cast<size_t>(off) + name.size(); i < src.size(); ++i) {
        char c = src[i];
        if (quote) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          if (src[i - 1] != '/') node.append_child(pugi::node_pcdata);
          break;
        }
      }
      return true;
    }
  } walker;
  walker.src = source;
  root.traverse(walker);
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

}  // namespace

TDprojParser::TDprojParser(std::string pStDprojFile) : FDprojFile(std::move(pStDprojFile)) {
  std::string bytes = platform::ReadFileBytes(FDprojFile);
  std::string text;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    had_bom_ = true;
    text = bytes.substr(3);
  } else if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
    had_bom_ = true;
    encoding_ = bytes[0] == '\xFF' ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    text = platform::DecodeText(bytes).text;
  } else {
    // Bytes kept as they are, even when they are not UTF-8: the reader does
    // not need them decoded to give them back unchanged.
    text = std::move(bytes);
  }
  pugi::xml_parse_result result =
      FXMLDocument.load_buffer(text.data(), text.size(), kParseFlags, pugi::encoding_utf8);
  if (!result) {
    throw platform::EDOMParseError("Error in \"" + FDprojFile + "\" at " +
                                   LineColumn(text, static_cast<size_t>(result.offset)) + ": " +
                                   result.description());
  }
  CheckDocumentShape(FXMLDocument, FDprojFile);
  KeepOriginalForms(FXMLDocument, text);
}

std::string TDprojParser::FileName() const { return platform::ExtractFileName(FDprojFile); }

pugi::xml_node TDprojParser::ProjectNode() const {
  pugi::xml_node first = FXMLDocument.first_child();
  return first.type() == pugi::node_element ? first : pugi::xml_node();
}

std::string TDprojParser::ChildNodeValue(pugi::xml_node pParentNode,
                                         std::string_view pNodeName) const {
  pugi::xml_node child = pParentNode.child(std::string(pNodeName).c_str());
  if (!child) return {};
  return VariantToText(ElementText(child));
}

void TDprojParser::GetVersion(pugi::xml_node pNode, TInfProj& RInfProj) const {
  pugi::xml_node keys = pNode.child("VerInfo_Keys");
  if (!keys) return;
  std::optional<std::string> raw = ElementText(keys);
  if (!raw || raw->empty())
    throw platform::EXMLDocError("The element VerInfo_Keys has no text");
  std::string text = platform::ToValidUtf8(*raw);
  RInfProj.Nombre = KeyListDisplayName(text);
  auto items = SplitKeyList(text, KeyListSplit::kAtSemicolonsAndBlanks);
  RInfProj.FileVersion = TInfVersion::Parse(KeyListValue(items, "FileVersion").value_or(""));
  RInfProj.ProductVersion =
      TInfVersion::Parse(KeyListValue(items, "ProductVersion").value_or(""));
}

TInfProj TDprojParser::GetInfo() const {
  TInfProj r;
  try {
    pugi::xml_node project = ProjectNode();

    // The release configuration first: the package groups below depend on it.
    for (pugi::xml_node child : project.children()) {
      std::string cond = ConditionOf(child);
      if (OsxPattern().Search(cond)) continue;
      if (IsPropertyGroup(child) && !cond.empty() && CfgPattern().Search(cond) &&
          platform::UpperCase(platform::Trim(ChildNodeValue(child, "DCC_Define"))) ==
              "RELEASE;$(DCC_DEFINE)")
        r.ConfigRelease = ConfigNameFromCondition(cond);
    }
    std::optional<Regex> release;
    if (!platform::Trim(r.ConfigRelease).empty()) release.emplace(r.ConfigRelease, kMatch);

    std::vector<std::string> packages;
    for (pugi::xml_node child : project.children()) {
      std::string cond = ConditionOf(child);
      if (OsxPattern().Search(cond)) continue;
      if (!IsPropertyGroup(child)) continue;
      if (!child.attribute("Condition")) {
        r.Config = ChildNodeValue(child, "Config");
        r.ProjPlatform = ChildNodeValue(child, "Platform");
      }
      if (cond == "'$(Base)'!=''") {
        r.OutputExt = ChildNodeValue(child, "OutputExt");
        std::string platform_dir = r.ProjPlatform;
        // A project-relative path for the Windows build, so "\" whatever the host.
        if (platform_dir.empty() || platform_dir.back() != '\\') platform_dir += '\\';
        r.ExeOutput = ".\\" + platform_dir + r.Config;
        r.DcuOutput = ChildNodeValue(child, "DCC_DcuOutput");
        r.NameSpace =
            platform::ReplaceAll(ChildNodeValue(child, "DCC_Namespace"), "$(DCC_Namespace)", "", true);
        r.MainIcon = ChildNodeValue(child, "Icon_MainIcon");
        GetVersion(child, r);
      }
      if (cond == "'$(Base_" + r.ProjPlatform + ")'!=''") {
        r.NameSpace = platform::ReplaceAll(ChildNodeValue(child, "DCC_Namespace") + r.NameSpace,
                                           "$(DCC_Namespace)", "", true);
      }
      if (cond.empty()) continue;
      if (!BasePattern().Search(cond) && !(release && release->Search(cond))) continue;
      if (!r.BoUsaPackage) {
        std::string use = platform::Trim(ChildNodeValue(child, "UsePackages"));
        if (!use.empty()) r.BoUsaPackage = platform::UpperCase(use) == "TRUE";
      }
      std::string list = platform::Trim(ChildNodeValue(child, "DCC_UsePackage"));
      if (list.empty()) continue;
      list = platform::ReplaceAll(list, ";$(DCC_UsePackage)", "", true);
      for (const std::string& item : SplitKeyList(list, KeyListSplit::kAtSemicolons)) {
        if (!ValidPackages.empty() && !ContainsText(ValidPackages, item)) continue;
        if (!ContainsText(packages, item)) packages.push_back(item);
      }
    }
    if (!packages.empty()) r.Package = JoinKeyList(packages);
  } catch (const std::exception& e) {
    throw platform::Error(std::string(platform::ClassNameOf(e)) + ": " + e.what());
  }
  return r;
}

void TDprojParser::ChangeAndSave(std::string_view failure_prefix,
                                 const std::function<void(bool& changed)>& change) {
  bool changed = false, saving = false;
  try {
    change(changed);
    if (changed) {
      saving = true;
      SaveFile();
    }
  } catch (const std::exception& e) {
    std::string message =
        std::string(failure_prefix) + platform::ClassNameOf(e) + ". " + e.what();
    // What was changed before the failure still reaches the file.
    if (changed && !saving) {
      try {
        SaveFile();
      } catch (const std::exception& s) {
        message += std::string(" (") + s.what() + ")";
      }
    }
    platform::RethrowWithMessage(e, message);
  }
}

void TDprojParser::ChangeVersion(bool pBoModVersion) {
  if (!pBoModVersion) return;
  ChangeAndSave("Error al cambiar la versión del proyecto: ", [&](bool& changed) {
    for (pugi::xml_node child : ProjectNode().children()) {
      if (pugi::xml_node major = child.child("VerInfo_MajorVer")) {
        std::string text = std::to_string(FFileVersion.MajorVersion);
        if (ElementText(major) != text) {
          SetElementText(major, text);
          changed = true;
        }
      }
      if (pugi::xml_node keys = child.child("VerInfo_Keys")) {
        std::optional<std::string> raw = ElementText(keys);
        if (!raw || raw->empty())
          throw platform::EXMLDocError("The element VerInfo_Keys has no text");
        auto items = SplitKeyList(*raw, KeyListSplit::kAtSemicolons);
        SetKeyListValue(items, "FileVersion", FFileVersion.ToString());
        SetKeyListValue(items, "ProductVersion", FProductVersion.ToString());
        std::string text = JoinKeyList(items);
        if (text != *raw) {
          SetElementText(keys, text);
          changed = true;
        }
      }
    }
  });
}

void TDprojParser::SetXMLPropertyValue(std::string_view ConditionPattern,
                                       std::string_view ChildNodeName, std::string_view Value) {
  ChangeAndSave("Error al establecer el icono de la aplicación. ", [&](bool& changed) {
    const Regex pattern(ConditionPattern, kMatch);
    const std::string name(ChildNodeName);
    for (pugi::xml_node child : ProjectNode().children()) {
      if (child.type() != pugi::node_element) continue;
      if (platform::UpperCase(platform::Trim(child.name())) == "PROPERTYGROUP" &&
          !pattern.Search(ConditionOf(child)))
        continue;
      pugi::xml_node target = child.child(name.c_str());
      if (!target) continue;
      if (ElementText(target).value_or("") != Value) {
        SetElementText(target, Value);
        changed = true;
      }
    }
  });
}

std::string TDprojParser::Serialize() const {
  StringWriter writer;
  unsigned flags = kSaveFlags | (had_bom_ ? pugi::format_write_bom : 0u);
  pugi::xml_encoding enc = encoding_ == Encoding::kUtf16Le   ? pugi::encoding_utf16_le
                           : encoding_ == Encoding::kUtf16Be ? pugi::encoding_utf16_be
                                                             : pugi::encoding_utf8;
  FXMLDocument.save(writer, "", flags, enc);
  return std::move(writer.out);
}

void TDprojParser::SaveFile() {
  const std::string bytes = Serialize();
  try {
    platform::WriteFileAtomic(FDprojFile, bytes);
  } catch (const platform::Error&) {
    if (!FileIsReadOnly(FDprojFile)) throw;
    SetReadOnly(FDprojFile, false);
    platform::WriteFileAtomic(FDprojFile, bytes);
  }
}

}  // namespace tornel
