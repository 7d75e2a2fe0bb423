// Shows an in-memory table in a grid: chosen fields as columns with their
// labels as titles, optionally editable, with per-field text for display and
// a per-field rule for what is entered.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tornel/settings/mem_table.h"

namespace tornel {

class MemTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Column {
    std::string field;
    int width;  // pixels
  };
  // Text shown for a field's stored text.
  using DisplayText = std::function<std::string(const std::string& stored)>;
  // What an entered text stores: a text, or nullopt for an empty field.
  using EntryRule = std::function<std::optional<std::string>(const std::string& entered)>;

  MemTableModel(MemTable& table, std::vector<Column> columns, bool editable,
                QObject* parent = nullptr);

  void SetDisplayText(const std::string& field, DisplayText f) { display_[field] = std::move(f); }
  void SetEntryRule(const std::string& field, EntryRule f) { entry_[field] = std::move(f); }
  const std::vector<Column>& Columns() const { return columns_; }

  // Shows the table's current rows; cheap when nothing was added or removed.
  void Refresh(bool force = false);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

 private:
  std::string StoredText(int row, size_t field) const;

  MemTable& table_;
  std::vector<Column> columns_;
  std::vector<size_t> field_index_;
  bool editable_;
  int shown_rows_ = 0;
  std::map<std::string, DisplayText> display_;
  std::map<std::string, EntryRule> entry_;
};

}  // namespace tornel
