// Drives the real main window offscreen, with the dialogs answered by the
// test and shell scripts standing in for the build script.
#include "tornel/driver/frm_gn_confc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <ctime>
#include <deque>

#include "platform/dates.h"
#include "platform/files.h"
#include "testsupport/dproj_fixture.h"
#include "testsupport/fake_tools.h"
#include "testsupport/modal.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

using testsupport::DprojSpec;
using testsupport::DprojText;
using testsupport::ReadAll;
using testsupport::TempDir;

// Answers every box and question as the test queued it, and records them.
struct ScriptedDialogs : IDialogs {
  std::vector<std::string> errors, infos, questions;
  std::deque<bool> answers;
  std::vector<std::pair<std::string, std::string>> pickers;  // title, start folder
  std::optional<std::string> picked;
  void ShowError(const std::string& t) override { errors.push_back(t); }
  void ShowInformation(const std::string& t) override { infos.push_back(t); }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    questions.push_back(caption + "|" + text);
    if (answers.empty()) return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> PickFolder(const std::string& title, const std::string& start) override {
    pickers.emplace_back(title, start);
    return picked;
  }
};

template <typename T>
T* Find(QWidget* root, const char* name) {
  T* w = root->findChild<T*>(name);
  if (!w) ADD_FAILURE() << "no widget " << name;
  return w;
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    bin_ = root_.MakeDir("bin");
    testsupport::WriteFakeBuildScript(bin_);
  }
  std::unique_ptr<TFrmGnConfc> Open() {
    auto w = std::make_unique<TFrmGnConfc>(bin_ + "/Tornel", dialogs_);
    w->show();
    QApplication::processEvents();
    return w;
  }
  void WritePair(const std::string& code, const std::string& version = "19.0.1.1") {
    DprojSpec spec;
    spec.file_version = version;
    spec.description = "Programa " + code;
    root_.Write("src/GN/C" + code + "/C" + code + ".dproj", DprojText(spec));
    root_.Write("src/GN/M" + code + "/M" + code + ".dproj", DprojText(spec));
  }
  // A build script that takes a while, so that a test can act during a run.
  void SlowBuilds() {
    std::string script = root_.Write("bin/rsvars.bat",
                                     "#!/bin/sh\necho \"$(pwd)|$1|$2\" >> \"$(dirname \"$0\")/builds.log\"\n"
                                     "echo compilando $2\nsleep 0.4\n");
    ::chmod(script.c_str(), 0755);
  }

  TempDir root_;
  std::string bin_;
  ScriptedDialogs dialogs_;
};

TEST_F(WindowTest, FirstStartShowsDefaultsAndCloseKeepsTheParameters) {
  const int yy = platform::CurrentTwoDigitYear();
  {
    auto w = Open();
    EXPECT_EQ(w->windowTitle(),
              QString::fromUtf8("MORVEL HCM - Generales - Utilitario de compilación Masiva Morvel HCM"));
    auto* tabs = Find<QTabWidget>(w.get(), "pgcMain");
    EXPECT_TRUE(tabs->isTabVisible(0));
    EXPECT_FALSE(tabs->isTabVisible(1));
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("Parámetros"));
    EXPECT_EQ(Find<QLineEdit>(w.get(), "EdtRutFuen")->text(), "");
    auto* version = Find<QSpinBox>(w.get(), "SpnEdtVerProd");
    EXPECT_EQ(version->value(), yy);
    EXPECT_EQ(version->minimum(), yy);
    EXPECT_EQ(version->maximum(), yy + 4);
    EXPECT_TRUE(Find<QCheckBox>(w.get(), "chkVerRelease")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(w.get(), "chkVerBuild")->isChecked());
    auto* build = Find<QSpinBox>(w.get(), "sedVerBuild");
    EXPECT_EQ(build->value(), 99);
    EXPECT_FALSE(build->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnCancelar")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnErrores")->isEnabled());
    auto* grid = Find<QTableView>(w.get(), "DBGrdGnConfc");
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
      titles << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles.join("|"), QString::fromUtf8("Proyecto|Nombre|Versión Cliente|Nva. Versión "
                                                  "Cliente|Paquetes Usados|Versión Servidor|Nva. "
                                                  "Versión Servidor"));
    EXPECT_EQ(grid->columnWidth(1), 184);

    Find<QLineEdit>(w.get(), "EdtRutFuen")->setText("/fuentes/hcm");
    version->setValue(yy + 2);
    Find<QCheckBox>(w.get(), "chkVerRelease")->setChecked(false);
    Find<QCheckBox>(w.get(), "chkVerBuild")->setChecked(true);
    EXPECT_TRUE(build->isEnabled());
    build->setValue(1234);
    w->close();
  }
  EXPECT_TRUE(platform::FileExists(bin_ + "/Tornel.xml"));
  EXPECT_TRUE(platform::FileExists(bin_ + "/Tornel_cdsProjProp.xml"));
  auto w = Open();
  EXPECT_EQ(Find<QLineEdit>(w.get(), "EdtRutFuen")->text(), "/fuentes/hcm");
  EXPECT_EQ(Find<QSpinBox>(w.get(), "SpnEdtVerProd")->value(), yy + 2);
  EXPECT_FALSE(Find<QCheckBox>(w.get(), "chkVerRelease")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>(w.get(), "chkVerBuild")->isChecked());
  EXPECT_EQ(Find<QSpinBox>(w.get(), "sedVerBuild")->value(), 1234);
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(WindowTest, PropertiesPageShownByHandKeptKeyAndItsActivoRules) {
  root_.Write("bin/Tornel.xml",
              "<Tornel><INIC><INIC Name=\"VER_PROJ_PROP\">true</INIC></INIC></Tornel>");
  auto w = Open();
  auto* tabs = Find<QTabWidget>(w.get(), "pgcMain");
  EXPECT_TRUE(tabs->isTabVisible(1));
  EXPECT_EQ(tabs->tabText(1), "Propiedades de proyectos");
  auto* grid = Find<QTableView>(w.get(), "dbGrdProjProp");
  QAbstractItemModel* m = grid->model();
  ASSERT_EQ(m->rowCount(), 3);
  EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Activo");
  QModelIndex activo = m->index(0, 1);
  EXPECT_EQ(m->data(activo).toString(), "Si");
  struct Case {
    const char* typed;
    const char* shown;
  } cases[] = {{"no", "No"}, {"sí", "Si"}, {"x", "N/A"}, {" n ", "No"}, {"", "N/A"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(m->setData(activo, QString::fromUtf8(c.typed), Qt::EditRole));
    EXPECT_EQ(m->data(activo).toString(), c.shown) << c.typed;
  }
  w->Core().cdsProjProp.First();
  EXPECT_TRUE(w->Core().cdsProjProp.IsNull("ACT_PROP"));
  EXPECT_FALSE(m->insertRows(3, 1));

  // Ctrl+Delete asks first; only a Yes removes the row.
  grid->setCurrentIndex(m->index(1, 0));
  grid->setFocus();
  dialogs_.answers = {false, true};
  for (int i = 0; i < 2; ++i) {
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QApplication::sendEvent(grid, &del);
  }
  EXPECT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(m->rowCount(), 2);
  EXPECT_EQ(w->Core().cdsProjProp.RecordCount(), 2);
}

TEST_F(WindowTest, ARunFillsGridAndLogAndEnablesErroresOnErrors) {
  WritePair("GNAAA");
  WritePair("GNBBB");
  root_.Write("src/GN/MGNBBB/MGNBBB.dproj.salida", "UMGNBBB.pas(3): error E2003: x\r\n");
  root_.Write("src/GN/MGNAAA/MGNAAA.dproj.salida", "Compilación del servidor AAA\r\n");
  auto w = Open();
  Find<QLineEdit>(w.get(), "EdtRutFuen")->setText(QString::fromStdString(root_.Path("src")));
  Find<QSpinBox>(w.get(), "SpnEdtVerProd")->setValue(platform::CurrentTwoDigitYear());
  Find<QPushButton>(w.get(), "BitBtnAceptar")->click();
  EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"El proceso terminó con errores. Valide por favor."});
  EXPECT_TRUE(Find<QPushButton>(w.get(), "BitBtnErrores")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnCancelar")->isEnabled());
  auto* grid = Find<QTableView>(w.get(), "DBGrdGnConfc");
  ASSERT_EQ(grid->model()->rowCount(), 2);
  QStringList codes;
  for (int r = 0; r < 2; ++r) codes << grid->model()->index(r, 0).data().toString();
  codes.sort();
  EXPECT_EQ(codes.join(","), "GGNAAA,GGNBBB");
  // The log shows the last build's output as it was written.
  QString log = Find<QPlainTextEdit>(w.get(), "MmoLogComp")->toPlainText();
  EXPECT_TRUE(log == "UMGNBBB.pas(3): error E2003: x\n" ||
              log == QString::fromUtf8("Compilación del servidor AAA\n"))
      << log.toStdString();

  // A new source folder empties the results.
  Find<QLineEdit>(w.get(), "EdtRutFuen")->setText("/otra");
  EXPECT_EQ(grid->model()->rowCount(), 0);
  EXPECT_EQ(Find<QPlainTextEdit>(w.get(), "MmoLogComp")->toPlainText(), "");
  EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnErrores")->isEnabled());
}

TEST_F(WindowTest, FilterQuestionDecidesWhetherTheFilterApplies) {
  WritePair("GNAAA");
  WritePair("GNBBB");
  for (bool yes : {false, true}) {
    std::remove((bin_ + "/builds.log").c_str());
    auto w = Open();
    w->Core().FSlFiltProj = {"MGNAAA"};
    Find<QLineEdit>(w.get(), "EdtRutFuen")->setText(QString::fromStdString(root_.Path("src")));
    dialogs_.questions.clear();
    dialogs_.answers = {yes};
    w->BitBtnAceptarClick();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0],
              "MORVEL HCM - Generales - Utilitario de compilación Masiva Morvel HCM|Ha establecido "
              "un filtro de programas. ¿Desea aplicarlo en esta compilación?");
    EXPECT_EQ(testsupport::BuildsLog(bin_).size(), yes ? 2u : 4u);
  }
}

TEST_F(WindowTest, DuringARunTheWindowIsLiveAndRefusesASecondRunAndCancelStopsIt) {
  SlowBuilds();
  WritePair("GNAAA");
  WritePair("GNBBB");
  WritePair("GNCCC");
  auto w = Open();
  Find<QLineEdit>(w.get(), "EdtRutFuen")->setText(QString::fromStdString(root_.Path("src")));
  bool checked = false;
  // While the first pair builds (its output shows in the log): the controls
  // that could start or disturb a run are off, Cancel is on; then cancel.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (checked || !Find<QPlainTextEdit>(w.get(), "MmoLogComp")->toPlainText().startsWith("compilando"))
      return;
    checked = true;
    EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnAceptar")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(w.get(), "EdtRutFuen")->isEnabled());
    EXPECT_FALSE(w->findChild<QWidget*>("BitBtnDirServ")->isEnabled());
    EXPECT_FALSE(w->findChild<QWidget*>("btnFiltFnts")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(w.get(), "BitBtnCancelar")->isEnabled());
    w->BitBtnAceptarClick();  // refused: nothing happens
    Find<QPushButton>(w.get(), "BitBtnCancelar")->click();
  });
  poll.start(10);
  w->BitBtnAceptarClick();
  EXPECT_TRUE(checked);
  EXPECT_EQ(dialogs_.infos, std::vector<std::string>{"El proceso fue cancelado."});
  // The pair being built was finished, the others were not touched.
  EXPECT_EQ(testsupport::BuildsLog(bin_).size(), 2u);
  EXPECT_TRUE(Find<QPushButton>(w.get(), "BitBtnAceptar")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnCancelar")->isEnabled());
}

TEST_F(WindowTest, RunChecksShowTheirBoxesAndFocusTheFolder) {
  auto w = Open();
  auto* edit = Find<QLineEdit>(w.get(), "EdtRutFuen");
  edit->setText(QString::fromStdString(root_.Path("missing")));
  w->BitBtnAceptarClick();
  EXPECT_EQ(dialogs_.errors.back(), "El directorio ingresado no es válido o no existe.");
  EXPECT_TRUE(edit->hasFocus() || QApplication::focusWidget() == edit);
  EXPECT_FALSE(Find<QPushButton>(w.get(), "BitBtnErrores")->isEnabled());
}

TEST_F(WindowTest, FolderPickerStartsAtTheTypedFolderAndEmptiesTheResults) {
  auto w = Open();
  auto* edit = Find<QLineEdit>(w.get(), "EdtRutFuen");
  edit->setText(QString::fromStdString(root_.MakeDir("uno")));
  dialogs_.picked = root_.MakeDir("dos");
  w->BitBtnDirServClick();
  edit->setText("/no/existe");
  dialogs_.picked.reset();
  w->BitBtnDirServClick();
  ASSERT_EQ(dialogs_.pickers.size(), 2u);
  EXPECT_EQ(dialogs_.pickers[0].first, "Seleccionar Directorio de Fuentes Morvel HCM");
  EXPECT_EQ(dialogs_.pickers[0].second, root_.Path("uno"));
  EXPECT_EQ(dialogs_.pickers[1].second, "");  // neither the typed folder nor C:\MORVEL exists
  EXPECT_EQ(edit->text(), "/no/existe");      // a cancelled picker changes nothing
}

TEST_F(WindowTest, FilterEditorKeepsOneLinePerEntryAndCancelChangesNothing) {
  auto w = Open();
  w->Core().FSlFiltProj = {"MGNAAA", "^G"};
  testsupport::WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->objectName(), "dlgInputMemo");
    EXPECT_EQ(dialog->size(), QSize(543, 246));
    EXPECT_EQ(dialog->findChild<QLabel*>("lblCaption")->text(), "Filtrar programas");
    auto* memo = dialog->findChild<QPlainTextEdit*>("mmoInput");
    EXPECT_EQ(memo->toPlainText(), "MGNAAA\n^G");
    EXPECT_EQ(memo->geometry(), QRect(8, 32, 543 - 113, 246 - 40));
    EXPECT_TRUE(dialog->findChild<QPushButton*>("btnCancel")->isVisible());
    memo->setPlainText("MGNBBB\nuno, dos");
    dialog->findChild<QPushButton*>("btnOk")->click();
  });
  w->btnFiltFntsClick();
  EXPECT_EQ(w->Core().FSlFiltProj, (std::vector<std::string>{"MGNBBB", "uno, dos"}));
  testsupport::WhenModal([](QWidget* dialog) {
    dialog->findChild<QPlainTextEdit*>("mmoInput")->setPlainText("lost");
    dialog->findChild<QPushButton*>("btnCancel")->click();
  });
  w->btnFiltFntsClick();
  EXPECT_EQ(w->Core().FSlFiltProj, (std::vector<std::string>{"MGNBBB", "uno, dos"}));
  w->close();
  EXPECT_NE(ReadAll(bin_ + "/Tornel.xml").find("<INIC Name=\"FILTPROJ\">MGNBBB,\"uno, dos\"</INIC>"),
            std::string::npos);
}

TEST_F(WindowTest, ErroresOpensTheReportPreviewWithTheApplicationTitle) {
  auto w = Open();
  Find<QLineEdit>(w.get(), "EdtRutFuen")->setText(QString::fromStdString(root_.MakeDir("vacio")));
  w->BitBtnAceptarClick();
  ASSERT_TRUE(Find<QPushButton>(w.get(), "BitBtnErrores")->isEnabled());
  QString caption;
  testsupport::WhenModal([&](QWidget* dialog) {
    caption = dialog->windowTitle();
    static_cast<QDialog*>(dialog)->reject();
  });
  Find<QPushButton>(w.get(), "BitBtnErrores")->click();
  EXPECT_EQ(caption, QString::fromUtf8("Utilitario de compilación Masiva Morvel HCM"));
}

}  // namespace
}  // namespace tornel
