// The main window keeps its found projects, its project properties and its
// errors in small tables that live in memory only (the properties also in a
// file, see table_file.h). A table has a fixed list of typed fields, a cursor
// on the current row, and one row at a time being appended or edited whose
// values are held apart until they are posted.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/error.h"

namespace tornel {

// A table was used in a way its fields or its state do not allow: an unknown
// field, a value of the wrong type, a change outside an append or edit.
PLATFORM_DECLARE_ERROR(ETableError);

enum class FieldType { kText, kBoolean };

struct FieldDef {
  std::string name;
  FieldType type = FieldType::kText;
  int size = 0;       // text fields: most characters kept; longer text is cut
  std::string label;  // column title where the table is shown
};

// Null, a text or a Boolean.
using FieldValue = std::variant<std::monostate, std::string, bool>;

class MemTable {
 public:
  enum class State { kBrowse, kInsert, kEdit };

  // Throws ETableError for a repeated field name or a text field without a
  // positive size.
  MemTable(std::string name, std::vector<FieldDef> fields);

  const std::string& Name() const { return name_; }
  const std::vector<FieldDef>& Fields() const { return fields_; }
  // Position of a field, by its exact name; throws ETableError if unknown.
  size_t FieldIndex(std::string_view field) const;

  int RecordCount() const { return static_cast<int>(rows_.size()); }
  State GetState() const { return state_; }
  // Drops every row, including one being appended or edited.
  void EmptyTable();

  // The cursor. Moving it posts a pending row first, as leaving a row does.
  // RecNo is the 0-based current row, -1 on an empty table; Eof is true on
  // an empty table and after Next on the last row, which stays current.
  int RecNo() const { return cur_; }
  bool Eof() const { return eof_; }
  void First();
  void Next();
  void MoveTo(int row);  // throws ETableError outside the rows
  // Makes the first row whose field equals value exactly (null never does)
  // current; false, and the cursor unchanged, when no row does.
  bool Locate(std::string_view field, std::string_view value);

  // Append posts a pending row and starts a new one of nulls, added at the
  // end by Post. Edit starts changing the current row. Cancel drops the
  // pending changes. Delete removes the current row, or drops the row being
  // appended.
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();

  // Values of the current row, or of the pending one while appending or
  // editing; with no row at all every field is null. Null reads as "" and
  // false. A text or Boolean accessor on a field of the other type throws.
  std::string Text(std::string_view field) const;
  bool Bool(std::string_view field) const;
  bool IsNull(std::string_view field) const;
  // Only while appending or editing. Text is cut to the field's size in
  // characters, and at a NUL, as fixed-size text fields hold C-style text.
  void SetText(std::string_view field, std::string_view value);
  void SetBool(std::string_view field, bool value);
  void SetNull(std::string_view field);

  // A posted row's value, for readers of the whole table.
  const FieldValue& Value(int row, size_t field) const;

 private:
  using Row = std::vector<FieldValue>;

  const FieldValue& Current(size_t field) const;
  FieldValue& Pending(size_t field);
  size_t FieldOfType(std::string_view field, FieldType type) const;

  std::string name_;
  std::vector<FieldDef> fields_;
  std::vector<Row> rows_;
  Row pending_;
  State state_ = State::kBrowse;
  int cur_ = -1;
  bool eof_ = true;
};

}  // namespace tornel
