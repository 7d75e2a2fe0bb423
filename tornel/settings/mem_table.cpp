#include "tornel/settings/mem_table.h"

#include <utility>

#include "platform/strings.h"

namespace tornel {

namespace {

const FieldValue kNull;

const char* TypeName(FieldType type) { return type == FieldType::kText ? "text" : "Boolean"; }

}  // namespace

MemTable::MemTable(std::string name, std::vector<FieldDef> fields)
    : name_(std::move(name)), fields_(std::move(fields)) {
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldDef& f = fields_[i];
    for (size_t j = 0; j < i; ++j) {
      if (fields_[j].name == f.name)
        throw ETableError("Table " + name_ + ": field " + f.name + " is declared twice");
    }
    if (f.type == FieldType::kText && f.size <= 0)
      throw ETableError("Table " + name_ + ": text field " + f.name + " needs a positive size");
  }
}

size_t MemTable::FieldIndex(std::string_view field) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name == field) return i;
  }
  throw ETableError("Table " + name_ + ": field '" + std::string(field) + "' not found");
}

void MemTable::EmptyTable() {
  rows_.clear();
  pending_.clear();
  state_ = State::kBrowse;
  cur_ = -1;
  eof_ = true;
}

void MemTable::First() {
  Post();
  cur_ = rows_.empty() ? -1 : 0;
  eof_ = rows_.empty();
}

void MemTable::Next() {
  Post();
  if (cur_ + 1 < RecordCount()) {
    ++cur_;
  } else {
    eof_ = true;
  }
}

void MemTable::MoveTo(int row) {
  Post();
  if (row < 0 || row >= RecordCount())
    throw ETableError("Table " + name_ + ": row " + std::to_string(row) + " does not exist");
  cur_ = row;
  eof_ = false;
}

bool MemTable::Locate(std::string_view field, std::string_view value) {
  size_t f = FieldIndex(field);
  Post();
  for (int row = 0; row < RecordCount(); ++row) {
    const auto* text = std::get_if<std::string>(&rows_[row][f]);
    if (text && *text == value) {
      MoveTo(row);
      return true;
    }
  }
  return false;
}

void MemTable::Append() {
  Post();
  pending_.assign(fields_.size(), FieldValue());
  state_ = State::kInsert;
}

void MemTable::Edit() {
  if (state_ != State::kBrowse) return;
  if (cur_ < 0) throw ETableError("Table " + name_ + " has no row to edit");
  pending_ = rows_[cur_];
  state_ = State::kEdit;
}

void MemTable::Post() {
  if (state_ == State::kInsert) {
    rows_.push_back(std::move(pending_));
    cur_ = RecordCount() - 1;
    eof_ = false;
  } else if (state_ == State::kEdit) {
    rows_[cur_] = std::move(pending_);
  }
  pending_.clear();
  state_ = State::kBrowse;
}

void MemTable::Cancel() {
  pending_.clear();
  state_ = State::kBrowse;
}

void MemTable::Delete() {
  if (state_ == State::kInsert) {
    Cancel();
    return;
  }
  if (cur_ < 0) throw ETableError("Table " + name_ + " has no row to delete");
  Cancel();
  rows_.erase(rows_.begin() + cur_);
  if (cur_ >= RecordCount()) cur_ = RecordCount() - 1;
  eof_ = rows_.empty();
}

std::string MemTable::Text(std::string_view field) const {
  const auto* text = std::get_if<std::string>(&Current(FieldOfType(field, FieldType::kText)));
  return text ? *text : std::string();
}

bool MemTable::Bool(std::string_view field) const {
  const auto* value = std::get_if<bool>(&Current(FieldOfType(field, FieldType::kBoolean)));
  return value && *value;
}

bool MemTable::IsNull(std::string_view field) const {
  return std::holds_alternative<std::monostate>(Current(FieldIndex(field)));
}

void MemTable::SetText(std::string_view field, std::string_view value) {
  size_t f = FieldOfType(field, FieldType::kText);
  value = value.substr(0, value.find('\0'));
  Pending(f) = platform::Utf8Left(value, static_cast<size_t>(fields_[f].size));
}

void MemTable::SetBool(std::string_view field, bool value) {
  Pending(FieldOfType(field, FieldType::kBoolean)) = value;
}

void MemTable::SetNull(std::string_view field) { Pending(FieldIndex(field)) = FieldValue(); }

const FieldValue& MemTable::Value(int row, size_t field) const {
  if (row < 0 || row >= RecordCount() || field >= fields_.size())
    throw ETableError("Table " + name_ + ": no value at row " + std::to_string(row) +
                      ", field " + std::to_string(field));
  return rows_[row][field];
}

const FieldValue& MemTable::Current(size_t field) const {
  if (state_ != State::kBrowse) return pending_[field];
  if (cur_ < 0) return kNull;
  return rows_[cur_][field];
}

FieldValue& MemTable::Pending(size_t field) {
  if (state_ == State::kBrowse)
    throw ETableError("Table " + name_ + " is not being appended to or edited");
  return pending_[field];
}

size_t MemTable::FieldOfType(std::string_view field, FieldType type) const {
  size_t f = FieldIndex(field);
  if (fields_[f].type != type)
    throw ETableError("Table " + name_ + ": field " + fields_[f].name + " is " +
                      TypeName(fields_[f].type) + ", not " + TypeName(type));
  return f;
}

}  // namespace tornel
