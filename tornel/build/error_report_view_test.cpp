#include "tornel/build/error_report_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/process.h"
#include "testsupport/modal.h"
#include "testsupport/temp_dir.h"
#include "tornel/build/error_report.h"
#include "tornel/build/product_logo.h"

namespace tornel {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kTitle = "Utilitario de compilación Masiva Morvel HCM";

void AddRow(MemTable& table, const std::string& text) {
  table.Append();
  table.SetText("TXT_ERRO", text);
  table.Post();
}

std::string Numbered(int n) {
  char text[32];
  std::snprintf(text, sizeof text, "Fila %03d", n);
  return text;
}

// Output of a poppler tool (standard output and error together).
std::string Poppler(const std::string& tool, const std::vector<std::string>& args) {
  const std::string program = QStandardPaths::findExecutable(QString::fromStdString(tool)).toStdString();
  if (program.empty()) {
    ADD_FAILURE() << tool << " is missing (poppler-utils)";
    return std::string();
  }
  std::string output;
  platform::CaptureResult result = platform::RunCaptured(
      program, args, "", [&](std::string_view bytes) { output.append(bytes); }, {});
  EXPECT_TRUE(result.started) << result.start_error;
  EXPECT_EQ(result.exit_code, 0) << output;
  return output;
}

// The text of each page; pdftotext ends every page with a form feed.
std::vector<std::string> PageTexts(const std::string& pdf) {
  std::string text = Poppler("pdftotext", {"-layout", pdf, "-"});
  std::vector<std::string> pages;
  size_t start = 0;
  for (size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1) {
    pages.push_back(text.substr(start, ff - start));
  }
  return pages;
}

std::string Squeezed(const std::string& text) {
  return std::regex_replace(text, std::regex("[ \t]+"), " ");
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

struct Word {
  int page;
  std::string text;
  double left, top, right, bottom;  // mm from the sheet's top-left corner
};

std::vector<Word> Words(const std::string& pdf) {
  std::string html = Poppler("pdftotext", {"-bbox", pdf, "-"});
  std::regex item(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  constexpr double kMmPerPoint = 25.4 / 72;
  std::vector<Word> words;
  int page = 0;
  for (std::sregex_iterator it(html.begin(), html.end(), item), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (!m[5].matched) {
      ++page;
      continue;
    }
    words.push_back({page, m[5], std::stod(m[1]) * kMmPerPoint, std::stod(m[2]) * kMmPerPoint,
                     std::stod(m[3]) * kMmPerPoint, std::stod(m[4]) * kMmPerPoint});
  }
  return words;
}

const Word* Find(const std::vector<Word>& words, int page, const std::string& text) {
  for (const Word& w : words) {
    if (w.page == page && w.text == text) return &w;
  }
  ADD_FAILURE() << "no word \"" << text << "\" on page " << page;
  return nullptr;
}

TEST(ProductLogo, OpaqueBlockWithWhiteWordmarkAtAnySize) {
  for (QSize size : {QSize(185, 63), QSize(579, 201), QSize(49, 17)}) {
    SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
    QImage logo = ProductLogo(size);
    ASSERT_EQ(logo.size(), size);
    EXPECT_FALSE(logo.hasAlphaChannel());
    QColor corner = logo.pixelColor(0, 0);  // outside the rounded corner
    EXPECT_GT(std::min({corner.red(), corner.green(), corner.blue()}), 220) << corner.name().toStdString();
    QColor block = logo.pixelColor(size.width() / 2, size.height() / 20);
    EXPECT_GT(block.blue(), block.red() + 40) << block.name().toStdString();
    // At the report's tiny size the wordmark is a few anti-aliased pixels
    // high, so only the larger sizes are checked for it.
    if (size.height() < 40) continue;
    int white = 0;
    for (int y = size.height() / 4; y < size.height() * 3 / 4; ++y) {
      for (int x = size.width() / 2; x < size.width() * 9 / 10; ++x) {
        QColor c = logo.pixelColor(x, y);
        if (c.red() > 230 && c.green() > 230 && c.blue() > 230) ++white;
      }
    }
    EXPECT_GT(white, size.width() * size.height() / 100);
  }
  EXPECT_TRUE(ProductLogo(QSize(0, 10)).isNull());
}

TEST(ErrorReportView, OnlyTheLeadingKeyIsMarkupAndItIsBold) {
  struct Case {
    std::string row;
    std::vector<std::pair<std::string, bool>> fragments;  // text, bold
  };
  const std::vector<Case> cases = {
      {TextoFilaError("MGNABC", "No realizó compilación: TList<Integer> a < b && c"),
       {{"MGNABC", true}, {"  No realizó compilación: TList<Integer> a < b && c", false}}},
      {"No se encontraron proyectos válidos para compilar",
       {{"No se encontraron proyectos válidos para compilar", false}}},
      {TextoFilaError("K", "msg <b>x</b> <i>y</i> &amp;"), {{"K", true}, {"  msg <b>x</b> <i>y</i> &amp;", false}}},
      {"x <b>y</b>", {{"x <b>y</b>", false}}},
      {"<b>sin cierre", {{"<b>sin cierre", false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    auto doc = RowDocument(c.row, nullptr, 700);
    EXPECT_EQ(doc->toPlainText().toStdString(), SinMarcas(c.row));  // as the text export shows it
    std::vector<std::pair<std::string, bool>> fragments;
    QTextBlock block = doc->begin();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignJustify);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      QTextCharFormat format = it.fragment().charFormat();
      EXPECT_TRUE(format.fontFamilies().toStringList().contains("Arial"));
      EXPECT_EQ(format.fontPointSize(), 10);
      EXPECT_EQ(format.foreground().color(), QColor(Qt::black));
      fragments.emplace_back(it.fragment().text().toStdString(), format.fontWeight() == QFont::Bold);
    }
    EXPECT_EQ(fragments, c.fragments);
  }
}

class ReportTest : public ::testing::Test {
 protected:
  testsupport::TempDir dir;
  MemTable table = MakeCdsErrores();
};

TEST_F(ReportTest, PdfHasHeaderFooterAndEveryRowOnItsPages) {
  AddRow(table, TextoFilaError("MGNABC", "No realizó compilación: TList<Integer> a < b && c"));
  AddRow(table, "No se encontraron proyectos válidos para compilar");
  for (int i = 1; i <= 120; ++i) AddRow(table, TextoFilaError("CGN" + std::to_string(i), Numbered(i)));
  ErrorReportView view(table, kTitle);
  const std::string pdf = dir.Path("errores.pdf");
  view.ExportPdf(pdf);

  QBuffer unused;
  QPdfWriter same_page(&unused);
  same_page.setPageLayout(ErrorReportPageLayout());
  const int pages = view.PageCount(&same_page);
  EXPECT_GE(pages, 3);

  const std::string info = Poppler("pdfinfo", {pdf});
  EXPECT_THAT(info, Not(HasSubstr("Syntax")));  // poppler's complaints about a damaged file
  EXPECT_THAT(info, Not(HasSubstr("Internal Error")));
  EXPECT_THAT(info, HasSubstr("Pages:           " + std::to_string(pages) + "\n"));
  EXPECT_THAT(info, HasSubstr("Page size:       612 x 792 pts (letter)"));
  EXPECT_THAT(info, HasSubstr("Title:           Reporte de Errores\n"));
  EXPECT_THAT(info, HasSubstr("Author:          Corvane\n"));
  EXPECT_THAT(info, HasSubstr("Subject:         Reporte de Errores Utilitario de Compilación Masiva Morvel HCM\n"));
  EXPECT_THAT(info, HasSubstr("Creator:         Utilitario de compilación Masiva Morvel HCM\n"));

  const std::vector<std::string> texts = PageTexts(pdf);
  ASSERT_EQ(static_cast<int>(texts.size()), pages);
  const std::string date = view.Prepared().toString("dd/MM/yyyy").toStdString();
  const std::string time = view.Prepared().toString("HH:mm:ss").toStdString();
  std::string all;
  for (int page = 1; page <= pages; ++page) {
    SCOPED_TRACE(page);
    const std::string& text = texts[page - 1];
    EXPECT_THAT(text, HasSubstr("UTILITARIO DE COMPILACIÓN MASIVA MORVEL HCM"));
    EXPECT_THAT(text, HasSubstr("Reporte de Errores"));
    EXPECT_THAT(text, HasSubstr("Página: " + std::to_string(page) + " de " + std::to_string(pages)));
    EXPECT_THAT(text, HasSubstr("Fecha: " + date));
    EXPECT_THAT(text, HasSubstr("Hora: " + time));
    EXPECT_THAT(text, HasSubstr("MorveL: Tornel"));
    EXPECT_THAT(text, HasSubstr("Morvel by Selvane"));
    EXPECT_THAT(text, HasSubstr("Corvane"));
    all += text;
  }
  all = Squeezed(all);
  EXPECT_THAT(all, HasSubstr("MGNABC No realizó compilación: TList<Integer> a < b && c\n"));
  EXPECT_THAT(all, HasSubstr("\nNo se encontraron proyectos válidos para compilar\n"));
  EXPECT_THAT(all, Not(HasSubstr("<b>")));
  size_t previous = 0;
  for (int i = 1; i <= 120; ++i) {
    const std::string row = "CGN" + std::to_string(i) + " " + Numbered(i) + "\n";
    EXPECT_EQ(Count(all, row), 1) << row;
    EXPECT_GT(all.find(row), previous) << row;
    previous = all.find(row);
  }
}

TEST_F(ReportTest, BandsSitWhereTheLayoutPutsThemAndRowsAreJustified) {
  std::string words;
  for (int i = 1; i <= 60; ++i) words += "palabra" + std::to_string(i) + " ";
  AddRow(table, TextoFilaError("LARGO", words));
  ErrorReportView view(table, kTitle);
  const std::string pdf = dir.Path("errores.pdf");
  view.ExportPdf(pdf);
  const std::vector<Word> all = Words(pdf);

  // Positions on the sheet: the 10 mm margin plus the position in the band.
  struct Expect {
    std::string word;
    double left;  // of the word's box, or its right edge for right-aligned text
    bool right_edge;
    double top_min, top_max;
  };
  const double sheet = 279.4;
  const std::vector<Expect> expects = {
      {"UTILITARIO", 60, false, 11.5, 14},
      {"Reporte", 60, false, 19.5, 22},
      {"Página:", 175, false, 14.5, 17},
      {"Fecha:", 175, false, 18.5, 21},
      {"Hora:", 175, false, 22.5, 25},
      {"LARGO", 10, false, 29.5, 31.5},
      {"Tornel", 55, true, sheet - 14.5, sheet - 12},
      {"Corvane", 165, false, sheet - 14.5, sheet - 12},
  };
  for (const Expect& e : expects) {
    SCOPED_TRACE(e.word);
    const Word* w = Find(all, 1, e.word);
    if (!w) continue;
    EXPECT_NEAR(e.right_edge ? w->right : w->left, e.left, 0.6);
    EXPECT_GE(w->top, e.top_min);
    EXPECT_LE(w->top, e.top_max);
  }
  const Word* morvel = Find(all, 1, "Morvel");
  const Word* selvane = Find(all, 1, "Selvane");
  if (morvel && selvane) {
    EXPECT_NEAR((morvel->left + selvane->right) / 2, 105, 0.6);  // centred
  }

  // The first line of the long row is justified over the band's 196 mm.
  const Word* first = Find(all, 1, "LARGO");
  ASSERT_NE(first, nullptr);
  double line_right = 0;
  for (const Word& w : all) {
    if (w.page == 1 && std::abs(w.top - first->top) < 1) line_right = std::max(line_right, w.right);
  }
  EXPECT_NEAR(line_right, 206, 0.6);
}

TEST_F(ReportTest, RowCutByThePageEndContinuesAtTheTopOfTheNext) {
  for (int i = 1; i <= 45; ++i) AddRow(table, Numbered(i));
  std::string words;
  for (int i = 1; i <= 300; ++i) words += "w" + std::to_string(1000 + i) + " ";
  AddRow(table, TextoFilaError("LARGO", words));
  AddRow(table, "Fin");
  ErrorReportView view(table, kTitle);
  const std::string pdf = dir.Path("errores.pdf");
  view.ExportPdf(pdf);

  const std::vector<std::string> texts = PageTexts(pdf);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_THAT(texts[0], HasSubstr("LARGO"));
  EXPECT_THAT(texts[0], HasSubstr("w1001"));
  EXPECT_THAT(texts[1], HasSubstr("w1300"));
  EXPECT_THAT(texts[1], HasSubstr("Fin"));
  const std::string both = texts[0] + texts[1];
  size_t previous = 0;
  for (int i = 1; i <= 300; ++i) {
    const std::string word = "w" + std::to_string(1000 + i);
    EXPECT_EQ(Count(both, word), 1) << word;
    EXPECT_GT(both.find(word), previous) << word;
    previous = both.find(word);
  }
  // The rest of the row starts right under the page header.
  const std::vector<Word> all = Words(pdf);
  double top = 1e9;
  for (const Word& w : all) {
    if (w.page == 2 && w.text.starts_with("w1")) top = std::min(top, w.top);
  }
  EXPECT_GE(top, 29.5);
  EXPECT_LE(top, 31.5);

  // A page set up too small for the bands still ends, a piece per page.
  QBuffer unused;
  QPdfWriter tiny(&unused);
  tiny.setPageLayout(QPageLayout(QPageSize(QSizeF(30, 30), QPageSize::Millimeter), QPageLayout::Portrait,
                                 QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
  EXPECT_GT(view.PageCount(&tiny), static_cast<int>(table.RecordCount()));
}

TEST_F(ReportTest, ExportsShowThePreparedRowsAndFailuresThrow) {
  AddRow(table, TextoFilaError("MGNABC", "No realizó compilación: TList<Integer> a < b"));
  AddRow(table, "No se encontraron proyectos válidos para compilar");
  ErrorReportView view(table, kTitle);
  const std::string unattended = dir.Path("Tornel.txt");
  EscribirReporteTexto(table, unattended);
  AddRow(table, "después de preparar");

  const std::string exported = dir.Path("exportado.txt");
  view.ExportText(exported);
  EXPECT_EQ(testsupport::ReadAll(exported), testsupport::ReadAll(unattended));
  view.Prepare();
  view.ExportText(exported);
  EXPECT_THAT(testsupport::ReadAll(exported), HasSubstr("después de preparar\n"));

  EXPECT_THROW(view.ExportText(dir.Path("falta/x.txt")), platform::EFCreateError);
  EXPECT_THROW(view.ExportPdf(dir.Path("falta/x.pdf")), platform::EFCreateError);
}

TEST_F(ReportTest, PrinterPageRangeIsHonoured) {
  for (int i = 1; i <= 120; ++i) AddRow(table, Numbered(i));
  ErrorReportView view(table, kTitle);
  const std::string pdf = dir.Path("pagina2.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageLayout(ErrorReportPageLayout());
  const int pages = view.PageCount(&printer);
  ASSERT_GE(pages, 3);
  printer.setFromTo(2, 2);
  ASSERT_TRUE(view.Paint(&printer));

  const std::vector<std::string> texts = PageTexts(pdf);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_THAT(texts[0], HasSubstr("Página: 2 de " + std::to_string(pages)));
  EXPECT_THAT(texts[0], Not(HasSubstr(Numbered(1) + "\n")));
}

// What the preview showed while it was open.
struct PreviewSeen {
  bool opened = false;
  bool modal = false;
  QString caption;
  Qt::WindowFlags flags;
  QPrintPreviewWidget::ZoomMode zoom_mode = QPrintPreviewWidget::FitInView;
  double zoom = 0;
  bool fit_pressed = false;
  int pages = 0;
  int pages_expected = 0;
};

// Answers the next preview: notes what it shows, runs both exports through
// its toolbar into dir (the text one also to a missing folder, and cancelled)
// and closes it.
void AnswerPreview(ErrorReportView& view, PreviewSeen& seen, const testsupport::TempDir& dir) {
  testsupport::WhenModal(
      [&view, &seen, &dir](QWidget* widget) {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(widget);
        seen.opened = dialog != nullptr;
        if (!dialog) {
          widget->close();
          return;
        }
        seen.modal = dialog->isModal();
        seen.caption = dialog->windowTitle();
        seen.flags = dialog->windowFlags();
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
          seen.zoom_mode = preview->zoomMode();
          seen.zoom = preview->zoomFactor();
          seen.pages = preview->pageCount();
        }
        seen.pages_expected = view.PageCount(dialog->printer());
        std::map<QString, QAction*> actions;
        if (auto* bar = dialog->findChild<QToolBar*>()) {
          for (QAction* action : bar->actions()) {
            actions[action->text()] = action;
            if (action->objectName().startsWith("fit") && action->isChecked()) seen.fit_pressed = true;
          }
        }
        for (std::string name : {"preview.txt", "falta/preview.txt", "", "preview.pdf"}) {
          view.ask_save_path = [&dir, name](const QString&, const QString&) {
            return name.empty() ? QString() : QString::fromStdString(dir.Path(name));
          };
          QAction* action = actions[name.ends_with(".pdf") ? "Exportar a PDF…" : "Exportar a texto…"];
          if (action) action->trigger();
        }
        dialog->reject();
      },
      60000);
}

TEST_F(ReportTest, PreviewIsModalCaptionedAndPreparedAfreshEachTime) {
  AddRow(table, TextoFilaError("MGNABC", "primera fila"));
  ErrorReportView view(table, kTitle);
  std::vector<std::pair<QString, QString>> errors;
  view.show_error = [&errors](const QString& caption, const QString& message) {
    errors.emplace_back(caption, message);
  };

  PreviewSeen first;
  AnswerPreview(view, first, dir);
  view.ShowPreview(nullptr);
  ASSERT_TRUE(first.opened);
  EXPECT_TRUE(first.modal);
  EXPECT_EQ(first.caption.toStdString(), kTitle);
  EXPECT_TRUE(first.flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(first.flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(first.flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(first.zoom_mode, QPrintPreviewWidget::CustomZoom);
  EXPECT_DOUBLE_EQ(first.zoom, 1.0);
  EXPECT_FALSE(first.fit_pressed);
  EXPECT_EQ(first.pages, 1);
  EXPECT_EQ(testsupport::ReadAll(dir.Path("preview.txt")), "MGNABC  primera fila\n");
  ASSERT_EQ(errors.size(), 1u);  // the missing folder; the cancelled export does nothing
  EXPECT_EQ(errors[0].first.toStdString(), kTitle);
  EXPECT_THAT(errors[0].second.toStdString(), HasSubstr("falta/preview.txt"));
  EXPECT_THAT(Poppler("pdfinfo", {dir.Path("preview.pdf")}), HasSubstr("Pages:           1\n"));

  for (int i = 1; i <= 120; ++i) AddRow(table, Numbered(i));
  PreviewSeen second;
  AnswerPreview(view, second, dir);
  view.ShowPreview(nullptr);
  ASSERT_TRUE(second.opened);
  EXPECT_GE(second.pages, 3);
  EXPECT_EQ(second.pages, second.pages_expected);
  EXPECT_THAT(testsupport::ReadAll(dir.Path("preview.txt")), HasSubstr("MGNABC  primera fila\nFila 001\n"));
  EXPECT_THAT(Poppler("pdfinfo", {dir.Path("preview.pdf")}),
              HasSubstr("Pages:           " + std::to_string(second.pages) + "\n"));
}

}  // namespace
}  // namespace tornel
