#include "tornel/driver/mem_table_model.h"

namespace tornel {

MemTableModel::MemTableModel(MemTable& table, std::vector<Column> columns, bool editable,
                             QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)), editable_(editable) {
  for (const Column& c : columns_) field_index_.push_back(table_.FieldIndex(c.field));
  shown_rows_ = table_.RecordCount();
}

void MemTableModel::Refresh(bool force) {
  if (!force && shown_rows_ == table_.RecordCount()) {
    if (shown_rows_ > 0) emit dataChanged(index(0, 0), index(shown_rows_ - 1, columnCount() - 1));
    return;
  }
  beginResetModel();
  shown_rows_ = table_.RecordCount();
  endResetModel();
}

int MemTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

int MemTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

std::string MemTableModel::StoredText(int row, size_t field) const {
  const FieldValue& v = table_.Value(row, field);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const bool* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  return {};
}

QVariant MemTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= table_.RecordCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const Column& column = columns_[static_cast<size_t>(index.column())];
  std::string text = StoredText(index.row(), field_index_[static_cast<size_t>(index.column())]);
  auto display = display_.find(column.field);
  if (display != display_.end()) text = display->second(text);
  return QString::fromStdString(text);
}

QVariant MemTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return {};
  const FieldDef& def = table_.Fields()[field_index_[static_cast<size_t>(section)]];
  return QString::fromStdString(def.label);
}

Qt::ItemFlags MemTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (editable_ && index.isValid()) f |= Qt::ItemIsEditable;
  return f;
}

bool MemTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editable_ || role != Qt::EditRole || !index.isValid() || index.row() >= table_.RecordCount())
    return false;
  const Column& column = columns_[static_cast<size_t>(index.column())];
  std::optional<std::string> stored = value.toString().toStdString();
  auto rule = entry_.find(column.field);
  if (rule != entry_.end()) stored = rule->second(*stored);
  table_.MoveTo(index.row());
  table_.Edit();
  if (stored)
    table_.SetText(column.field, *stored);
  else
    table_.SetNull(column.field);
  table_.Post();
  emit dataChanged(index, index);
  return true;
}

bool MemTableModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || row < 0 || count <= 0 || row + count > table_.RecordCount()) return false;
  beginRemoveRows(parent, row, row + count - 1);
  for (int i = 0; i < count; ++i) {
    table_.MoveTo(row);
    table_.Delete();
  }
  shown_rows_ = table_.RecordCount();
  endRemoveRows();
  return true;
}

}  // namespace tornel
