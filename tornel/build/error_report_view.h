// The error report that the "&Errores" button opens: the rows of CdsErrores
// under a page header with the product logo, the report's title, page number
// and date, and a page footer, laid out on Letter pages. It is previewed in a
// modal print preview (print, zoom, page setup) and exported to PDF or to the
// same text file that unattended runs write.
#pragma once

#include <QDateTime>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tornel/settings/mem_table.h"

class QPagedPaintDevice;
class QPaintDevice;
class QPrintPreviewDialog;
class QTextDocument;
class QWidget;

namespace tornel {

// Letter, portrait, 10 mm margins on every side.
QPageLayout ErrorReportPageLayout();

// One row's text laid out as the report paints it, width device units wide
// on device (null: the screen): Arial 10 pt, black, justified. The key of a
// keyed row ("<b>key</b>  message") is bold; nothing else is markup, so build
// output such as "TList<Integer>" or "a < b" shows as written.
std::unique_ptr<QTextDocument> RowDocument(std::string_view row, QPaintDevice* device, double width);

class ErrorReportView {
 public:
  // CdsErrores belongs to the main window and outlives the view. title is
  // the application's title, the caption of the preview.
  ErrorReportView(const MemTable& CdsErrores, QString title);

  // Reads the table's rows as they are now and stamps the date and time of
  // the report; painting and exports show this prepared report until the
  // next call. The constructor prepares once.
  void Prepare();
  const QDateTime& Prepared() const { return prepared_; }

  // Pages of the prepared report on device's page; at least one, which holds
  // the header and footer when there are no rows.
  int PageCount(QPagedPaintDevice* device) const;
  // Paints every page, or a printer's chosen page range. False when nothing
  // can be painted on device.
  bool Paint(QPagedPaintDevice* device) const;

  // Both replace the file whole or leave it as it was; throw EFCreateError.
  void ExportPdf(const std::string& path) const;
  // The same lines as the unattended text report: rows without markup.
  void ExportText(const std::string& path) const;

  // Prepares the report afresh and shows it in a modal preview captioned with
  // the title, with export actions added to its toolbar.
  void ShowPreview(QWidget* parent);

  // Where an export goes (empty: cancelled); the file dialog unless replaced.
  std::function<QString(const QString& caption, const QString& filter)> ask_save_path;
  // How a failed export is told; an error box unless replaced.
  std::function<void(const QString& caption, const QString& message)> show_error;

 private:
  struct Pagination;

  Pagination Paginate(QPagedPaintDevice* device) const;
  void AddExportActions(QPrintPreviewDialog* dialog);
  void Export(const QString& caption, const QString& filter,
              void (ErrorReportView::*write)(const std::string&) const);

  const MemTable& table_;
  QString title_;
  MemTable rows_;  // the prepared rows
  QDateTime prepared_;
};

}  // namespace tornel
