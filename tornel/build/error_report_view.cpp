#include "tornel/build/error_report_view.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QLayout>
#include <QMessageBox>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolBar>
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "tornel/build/error_report.h"
#include "tornel/build/pdf_info.h"
#include "tornel/build/product_logo.h"

namespace tornel {
namespace {

constexpr double kRowWidthMm = 196;
constexpr double kRowMinHeightMm = 5;
constexpr double kHeaderMm = 20;
constexpr double kFooterMm = 4;
// Below a device pixel: line positions that should meet may differ by
// rounding.
constexpr double kEpsilon = 0.5;

const char* const kReportTitle = "Reporte de Errores";
const char* const kHeaderTitle = "UTILITARIO DE COMPILACIÓN MASIVA MORVEL HCM";
const char* const kPdfSubject = "Reporte de Errores Utilitario de Compilación Masiva Morvel HCM";
const char* const kAuthor = "Corvane";

// Millimetres to the device units a painter on device draws in.
class Mm {
 public:
  explicit Mm(const QPaintDevice* device)
      : x_(device->logicalDpiX() / 25.4), y_(device->logicalDpiY() / 25.4) {}
  double X(double mm) const { return mm * x_; }
  double Y(double mm) const { return mm * y_; }
  QRectF Rect(double left, double top, double width, double height) const {
    return QRectF(X(left), Y(top), X(width), Y(height));
  }

 private:
  double x_;
  double y_;
};

// Arial where installed; otherwise the font system's stand-in for it.
QFont ReportFont(double points, bool bold = false, bool italic = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The bold key of a keyed row and the plain rest, split as SinMarcas does so
// that the report and the text export show the same characters.
std::pair<std::string_view, std::string_view> SplitKey(std::string_view row) {
  if (row.starts_with("<b>")) {
    const size_t close = row.find("</b>", 3);
    if (close != std::string_view::npos) return {row.substr(3, close - 3), row.substr(close + 4)};
  }
  return {std::string_view(), row};
}

// Lines of a laid-out document with their tops and bottoms in document
// coordinates, in reading order.
struct Line {
  QTextLine line;
  QPointF block_position;
  double top;
  double bottom;
};

std::vector<Line> LinesOf(const QTextDocument& doc) {
  std::vector<Line> lines;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    const QPointF at = layout->position();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      lines.push_back({line, at, at.y() + line.y(), at.y() + line.y() + line.height()});
    }
  }
  return lines;
}

std::string RowText(const MemTable& table, int row) {
  const auto* text = std::get_if<std::string>(&table.Value(row, table.FieldIndex("TXT_ERRO")));
  return text ? *text : std::string();
}

// Draws one line of text in rect. A stand-in font wider than Arial would
// spill over the neighbouring boxes or lose the end of the text, so text too
// wide for its box is narrowed to fit.
void DrawFitted(QPainter& painter, const QRectF& rect, int flags, const QString& text) {
  const double width = painter.boundingRect(rect, flags | Qt::TextDontClip, text).width();
  if (width <= rect.width()) {
    painter.drawText(rect, flags, text);
    return;
  }
  const double scale = rect.width() / width;
  painter.save();
  painter.translate(rect.left(), 0);
  painter.scale(scale, 1);
  painter.drawText(QRectF(0, rect.top(), width, rect.height()), flags, text);
  painter.restore();
}

}  // namespace

QPageLayout ErrorReportPageLayout() {
  return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter);
}

std::unique_ptr<QTextDocument> RowDocument(std::string_view row, QPaintDevice* device, double width) {
  auto doc = std::make_unique<QTextDocument>();
  doc->setUndoRedoEnabled(false);
  // Font sizes turn into device units by the device's resolution, so the
  // layout has to know it before the first character goes in.
  if (device) doc->documentLayout()->setPaintDevice(device);
  doc->setDocumentMargin(0);
  doc->setDefaultFont(ReportFont(10));
  doc->setTextWidth(width);

  QTextCharFormat plain;
  plain.setFont(ReportFont(10));
  plain.setForeground(Qt::black);
  QTextCharFormat bold = plain;
  bold.setFontWeight(QFont::Bold);
  QTextBlockFormat justified;
  justified.setAlignment(Qt::AlignJustify);

  QTextCursor cursor(doc.get());
  cursor.setBlockFormat(justified);
  cursor.setCharFormat(plain);
  auto [key, rest] = SplitKey(row);
  // Text is inserted as text, never parsed: "<" and "&" stay characters.
  if (!key.empty()) cursor.insertText(Utf8(key), bold);
  cursor.insertText(Utf8(rest).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), plain);
  return doc;
}

// Where each row's lines land: a row is cut between lines where the page
// ends and goes on at the top of the next.
struct ErrorReportView::Pagination {
  struct Slice {
    int row;
    double top;     // row coordinates of the part shown
    double bottom;
    double y;       // where on the page it starts
  };
  std::vector<std::unique_ptr<QTextDocument>> rows;
  std::vector<std::vector<Slice>> pages;
};

ErrorReportView::ErrorReportView(const MemTable& CdsErrores, QString title)
    : ask_save_path([](const QString& caption, const QString& filter) {
        return QFileDialog::getSaveFileName(QApplication::activeModalWidget(), caption, QString(), filter);
      }),
      show_error([](const QString& caption, const QString& message) {
        QMessageBox::critical(QApplication::activeModalWidget(), caption, message);
      }),
      table_(CdsErrores),
      title_(std::move(title)),
      rows_(CdsErrores) {
  Prepare();
}

void ErrorReportView::Prepare() {
  rows_ = table_;
  prepared_ = QDateTime::currentDateTime();
}

ErrorReportView::Pagination ErrorReportView::Paginate(QPagedPaintDevice* device) const {
  const Mm mm(device);
  const double data_top = mm.Y(kHeaderMm);
  const double data_bottom = device->height() - mm.Y(kFooterMm);
  Pagination result;
  result.pages.emplace_back();
  double y = data_top;
  for (int row = 0; row < rows_.RecordCount(); ++row) {
    auto doc = RowDocument(RowText(rows_, row), device, mm.X(kRowWidthMm));
    const double height = std::max(doc->documentLayout()->documentSize().height(), mm.Y(kRowMinHeightMm));
    const std::vector<Line> lines = LinesOf(*doc);
    const double text_end = lines.empty() ? 0 : lines.back().bottom;
    double shown = 0;
    while (true) {
      const double room = data_bottom - y;
      // The blank under a row's text may run into the bottom margin; the
      // next row then starts a page.
      if (text_end - shown <= std::max(room, 0.0) + kEpsilon) {
        result.pages.back().push_back({row, shown, height, y});
        y += height - shown;
        break;
      }
      // The last line end that still fits. A line that does not fit on an
      // empty page would never be placed: it is cut where the page ends, or
      // by a band's height on a page set up with no room for rows at all.
      double cut = shown;
      for (const Line& line : lines) {
        if (line.bottom > shown + kEpsilon && line.bottom <= shown + room + kEpsilon) cut = line.bottom;
      }
      if (cut == shown && y == data_top) {
        cut = std::min(text_end, shown + std::max(room, mm.Y(kRowMinHeightMm)));
      }
      if (cut > shown) {
        result.pages.back().push_back({row, shown, cut, y});
        shown = cut;
      }
      result.pages.emplace_back();
      y = data_top;
    }
    result.rows.push_back(std::move(doc));
  }
  return result;
}

int ErrorReportView::PageCount(QPagedPaintDevice* device) const {
  return static_cast<int>(Paginate(device).pages.size());
}

bool ErrorReportView::Paint(QPagedPaintDevice* device) const {
  const Pagination layout = Paginate(device);
  const int total = static_cast<int>(layout.pages.size());
  int first = 1;
  int last = total;
  if (auto* printer = dynamic_cast<QPrinter*>(device); printer && printer->fromPage() > 0) {
    first = std::max(1, printer->fromPage());
    last = std::min(total, printer->toPage());
  }
  QPainter painter;
  if (first > last || !painter.begin(device)) return false;

  const Mm mm(device);
  const QString date = QStringLiteral("Fecha: ") + prepared_.toString(QStringLiteral("dd/MM/yyyy"));
  const QString time = QStringLiteral("Hora: ") + prepared_.toString(QStringLiteral("HH:mm:ss"));
  const double footer_top = device->height() - mm.Y(kFooterMm);
  for (int page = first; page <= last; ++page) {
    if (page != first) device->newPage();
    painter.setPen(Qt::black);

    PaintProductLogo(&painter, mm.Rect(0, 0, 49, 17));
    painter.setFont(ReportFont(10, true));
    DrawFitted(painter, mm.Rect(50, 2, 95, 5), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromUtf8(kHeaderTitle));
    painter.setFont(ReportFont(8, true));
    DrawFitted(painter, mm.Rect(50, 10, 33, 5), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromUtf8(kReportTitle));
    painter.setFont(ReportFont(7));
    const int centred = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    DrawFitted(painter, mm.Rect(165, 5, 26, 4), centred, QStringLiteral("Página: %1 de %2").arg(page).arg(total));
    DrawFitted(painter, mm.Rect(165, 9, 26, 4), centred, date);
    DrawFitted(painter, mm.Rect(165, 13, 26, 4), centred, time);

    // Each line is drawn on the one page where it starts, so a row cut by a
    // page end shows every line once.
    for (const Pagination::Slice& slice : layout.pages[page - 1]) {
      for (const Line& line : LinesOf(*layout.rows[slice.row])) {
        if (line.top < slice.top - kEpsilon || line.top >= slice.bottom - kEpsilon) continue;
        line.line.draw(&painter, QPointF(line.block_position.x(),
                                         line.block_position.y() - slice.top + slice.y));
      }
    }

    painter.setFont(ReportFont(8));
    DrawFitted(painter, mm.Rect(5, 0, 40, 4).translated(0, footer_top),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, QStringLiteral("MorveL: Tornel"));
    DrawFitted(painter, mm.Rect(70, 0, 50, 4).translated(0, footer_top),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, QStringLiteral("Morvel by Selvane"));
    painter.setFont(ReportFont(8, false, true));
    DrawFitted(painter, mm.Rect(155, 0, 36, 4).translated(0, footer_top),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromUtf8(kAuthor));
  }
  return painter.end();
}

void ErrorReportView::ExportPdf(const std::string& path) const {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(ErrorReportPageLayout());
    writer.setTitle(QString::fromUtf8(kReportTitle));
    writer.setCreator(title_);
    if (!Paint(&writer)) throw platform::EFCreateError("Cannot create file \"" + path + "\".");
  }
  PdfInfo info{QString::fromUtf8(kReportTitle), QString::fromUtf8(kAuthor), QString::fromUtf8(kPdfSubject),
               title_, prepared_};
  if (!AddPdfInfo(&bytes, info)) throw platform::EFCreateError("Cannot create file \"" + path + "\".");
  platform::WriteFileAtomic(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void ErrorReportView::ExportText(const std::string& path) const {
  EscribirReporteTexto(rows_, path);
}

void ErrorReportView::ShowPreview(QWidget* parent) {
  Prepare();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(ErrorReportPageLayout());
  printer.setDocName(QString::fromUtf8(kReportTitle));
  // The system menu and the close button only: no minimize, no maximize.
  QPrintPreviewDialog dialog(&printer, parent,
                             Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  dialog.setWindowTitle(title_);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [this](QPrinter* target) { Paint(target); });
  if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
    preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
    preview->setZoomFactor(1.0);
  }
  // The dialog starts out fitting the page; at 100 % its fit buttons must
  // not look pressed.
  for (QAction* action : dialog.findChildren<QAction*>()) {
    if (action->objectName().startsWith(QStringLiteral("fit"))) action->setChecked(false);
  }
  AddExportActions(&dialog);
  dialog.exec();
}

void ErrorReportView::AddExportActions(QPrintPreviewDialog* dialog) {
  QToolBar* bar = dialog->findChild<QToolBar*>();
  if (!bar) {
    bar = new QToolBar(dialog);
    dialog->layout()->setMenuBar(bar);
  }
  bar->addSeparator();
  QObject::connect(bar->addAction(QStringLiteral("Exportar a PDF…")), &QAction::triggered, dialog, [this] {
    Export(QStringLiteral("Exportar a PDF"), QStringLiteral("Archivos PDF (*.pdf)"), &ErrorReportView::ExportPdf);
  });
  QObject::connect(bar->addAction(QStringLiteral("Exportar a texto…")), &QAction::triggered, dialog, [this] {
    Export(QStringLiteral("Exportar a texto"), QStringLiteral("Archivos de texto (*.txt)"),
           &ErrorReportView::ExportText);
  });
}

void ErrorReportView::Export(const QString& caption, const QString& filter,
                             void (ErrorReportView::*write)(const std::string&) const) {
  const QString path = ask_save_path(caption, filter);
  if (path.isEmpty()) return;
  try {
    (this->*write)(path.toStdString());
  } catch (const std::exception& e) {
    show_error(title_, QString::fromUtf8(e.what()));
  }
}

}  // namespace tornel
