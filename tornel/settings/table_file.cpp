#include "tornel/settings/table_file.h"

#include <pugixml.hpp>

#include <sstream>

#include "platform/files.h"
#include "platform/strings.h"

namespace tornel {

namespace {

// Field names become attribute names of the rows, so they must be XML names
// without a namespace prefix.
bool IsXmlName(std::string_view name) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (name.empty() || !letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
  }
  return true;
}

void LoadRows(MemTable& table, const std::string& file) {
  std::string bytes = platform::ReadFileBytes(file);
  pugi::xml_document doc;
  pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size());
  if (!parsed)
    throw platform::EDOMParseError("Cannot load table file \"" + file + "\": " +
                                   parsed.description() + " at byte " +
                                   std::to_string(parsed.offset));
  pugi::xml_node root = doc.document_element();
  if (std::string_view(root.name()) != "table")
    throw ETableFileError("Cannot load table file \"" + file + "\": it holds no table");

  const auto& fields = table.Fields();
  for (pugi::xml_node row : root.child("rows").children("row")) {
    table.Append();
    for (const FieldDef& field : fields) {
      pugi::xml_attribute value = row.attribute(field.name.c_str());
      if (!value) continue;
      if (field.type == FieldType::kText) {
        table.SetText(field.name, value.value());
        continue;
      }
      std::string_view flag = value.value();
      if (flag != "true" && flag != "false")
        throw ETableFileError("Cannot load table file \"" + file + "\": field " + field.name +
                              " holds \"" + std::string(flag) + "\", not a Boolean");
      table.SetBool(field.name, flag == "true");
    }
    table.Post();
  }
  table.First();
}

}  // namespace

void CargarTablaXml(MemTable& table, const std::string& file) {
  table.EmptyTable();
  if (platform::Trim(file).empty() || !platform::FileExists(file)) return;
  try {
    LoadRows(table, file);
  } catch (const platform::Error&) {
    table.EmptyTable();
    // The user may still want what the broken file held, so it goes only
    // once a copy is kept; otherwise it stays and fails again next time.
    if (platform::KeepAsBackup(file)) platform::DeleteFile(file);
    throw;
  }
}

void GuardarTablaXml(MemTable& table, const std::string& file) {
  table.Post();
  if (platform::Trim(file).empty()) return;

  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = doc.append_child("table");
  root.append_attribute("name") = table.Name().c_str();

  const auto& fields = table.Fields();
  pugi::xml_node defs = root.append_child("fields");
  for (const FieldDef& field : fields) {
    if (!IsXmlName(field.name))
      throw ETableFileError("Cannot save table " + table.Name() + ": field name \"" + field.name +
                            "\" cannot be stored");
    pugi::xml_node def = defs.append_child("field");
    def.append_attribute("name") = field.name.c_str();
    if (field.type == FieldType::kText) {
      def.append_attribute("type") = "text";
      def.append_attribute("size") = field.size;
    } else {
      def.append_attribute("type") = "boolean";
    }
  }

  pugi::xml_node rows = root.append_child("rows");
  for (int r = 0; r < table.RecordCount(); ++r) {
    pugi::xml_node row = rows.append_child("row");
    for (size_t f = 0; f < fields.size(); ++f) {
      const FieldValue& value = table.Value(r, f);
      if (const auto* text = std::get_if<std::string>(&value)) {
        row.append_attribute(fields[f].name.c_str()) = text->c_str();
      } else if (const bool* flag = std::get_if<bool>(&value)) {
        row.append_attribute(fields[f].name.c_str()) = *flag ? "true" : "false";
      }
    }
  }

  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
  platform::WriteFileAtomic(file, out.str());
}

char PrimeraLetraMayuscula(std::string_view text) {
  std::string trimmed = platform::Trim(text);
  if (trimmed.empty()) return '\0';
  char c = trimmed[0];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace tornel
