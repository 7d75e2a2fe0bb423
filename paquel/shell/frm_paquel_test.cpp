// Drives the real packager window offscreen, with its boxes answered by the
// test.
#include "paquel/shell/frm_paquel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "platform/dates.h"
#include "platform/files.h"
#include "testsupport/pe_file.h"
#include "testsupport/program_fixture.h"
#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

struct ScriptedDialogs : IPaquelDialogs {
  std::vector<std::string> shown;  // "kind|caption|text"
  std::deque<bool> answers;
  std::optional<std::string> folder;
  std::vector<std::string> opened, pickers;
  std::function<void()> during_info;
  void Informacion(const std::string& c, const std::string& t) override {
    shown.push_back("info|" + c + "|" + t);
  }
  void Advertencia(const std::string& c, const std::string& t) override {
    shown.push_back("warning|" + c + "|" + t);
  }
  bool PreguntaAdvertencia(const std::string& c, const std::string& t) override {
    shown.push_back("question|" + c + "|" + t);
    bool a = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  void Error(const std::string& c, const std::string& t) override { shown.push_back("error|" + c + "|" + t); }
  std::optional<std::string> ElegirCarpeta(const std::string& start) override {
    pickers.push_back(start);
    return folder;
  }
  void AbrirArchivo(const std::string& path) override { opened.push_back(path); }
};

template <typename T>
T* Find(QWidget* w, const char* name) {
  T* c = w->findChild<T*>(name);
  if (!c) ADD_FAILURE() << "no widget " << name;
  return c;
}

class PaquelWindow : public ::testing::Test {
 protected:
  PaquelWindow() { bin_ = root_.MakeDir("bin"); }
  std::unique_ptr<TFrmPaquel> Open() {
    auto w = std::make_unique<TFrmPaquel>(bin_ + "/Paquel", dialogs_);
    w->show();
    QApplication::processEvents();
    return w;
  }
  TempDir root_;
  std::string bin_;
  ScriptedDialogs dialogs_;
};

TEST_F(PaquelWindow, FirstStartDefaultsAndCloseWritesTheKeysInOrder) {
  auto w = Open();
  EXPECT_EQ(w->windowTitle(), "Empaquetar Proyecto Selvane ()");  // no version resource here
  EXPECT_EQ(w->size(), QSize(374, 267));
  EXPECT_EQ(Find<QLineEdit>(w.get(), "EdtRuta")->text(), "C:\\Morvel");
  EXPECT_EQ(Find<QLineEdit>(w.get(), "EdtRutaDestino")->text(), "C:\\Morvel");
  struct Box {
    const char* name;
    const char* text;
    bool checked;
  } boxes[] = {{"ChkConexiones", "Validar Conexiones Abiertas", true},
               {"ChkIncluirWCF", "Incluir WCF", true},
               {"ChkPackage", "Validar Packages", true},
               {"ChkBorrar", "Borrar Archivos despues comprimir", true},
               {"ChkMoverCarpeta", "Mover Fuente Proyecto", false},
               {"ChkEmpMasiva", "Empaquetar Masivo", false},
               {"ChkComprimir", "Comprimir Archivos ?", true}};
  for (const Box& b : boxes) {
    auto* box = Find<QCheckBox>(w.get(), b.name);
    EXPECT_EQ(box->text(), b.text);
    EXPECT_EQ(box->isChecked(), b.checked) << b.name;
  }
  EXPECT_EQ(Find<QLabel>(w.get(), "LbInfo")->text(), "Esperando..");
  auto* button = Find<QPushButton>(w.get(), "SpbGenerar");
  EXPECT_EQ(button->text(), "Empaquetar");
  EXPECT_EQ(button->toolTip(), "Empaquetar (Ctr-Tab)");
  EXPECT_EQ(button->x(), 374 / 2 - button->width() / 2);

  Find<QCheckBox>(w.get(), "ChkEmpMasiva")->setChecked(true);
  Find<QCheckBox>(w.get(), "ChkComprimir")->setChecked(false);
  w->close();
  EXPECT_EQ(ReadAll(bin_ + "/Paquel.ini"),
            "[CONFIG]\r\nRUTAPROG=C:\\Morvel\r\nRUTADEST=C:\\Morvel\r\nVERFCONN=1\r\nDELDCOMP=1\r\n"
            "INCLUWCF=1\r\nSUGNOMB=1\r\nMOVFUENTE=0\r\nDIRREPO=\r\nEMPMASIVO=1\r\n");
}

TEST_F(PaquelWindow, DestinationSuggestionAndPathChangeResetTheStatus) {
  root_.Write("bin/Paquel.ini", "[CONFIG]\r\nCOMPRIMIR=0\r\n");
  auto w = Open();
  EXPECT_FALSE(Find<QCheckBox>(w.get(), "ChkComprimir")->isChecked());
  auto* ruta = Find<QLineEdit>(w.get(), "EdtRuta");
  auto* destino = Find<QLineEdit>(w.get(), "EdtRutaDestino");
  Find<QLabel>(w.get(), "LbInfo")->setText("algo");
  ruta->setFocus();
  ruta->setText("D:\\Fuentes\\Programa");
  EXPECT_EQ(Find<QLabel>(w.get(), "LbInfo")->text(), "Esperando..");
  destino->setFocus();  // leaving the project field suggests the destination
  QApplication::processEvents();
  EXPECT_EQ(destino->text(), "D:\\Fuentes\\Calidad");
  ruta->setFocus();
  ruta->setText("D:\\Prog");
  destino->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(destino->text(), "Calidad");

  dialogs_.folder = "/elegida/Programa";
  w->BitBtn1Click();
  EXPECT_EQ(ruta->text(), "/elegida/Programa");
  EXPECT_EQ(destino->text(), "/elegida/Calidad");
  w->close();
  EXPECT_EQ(ReadAll(bin_ + "/Paquel.ini").find("COMPRIMIR=1"), std::string::npos);
}

class PaquelRuns : public PaquelWindow {
 protected:
  // A program with `warnings` warnings (0, 3 or 4) on this machine's year.
  std::string Program(int warnings) {
    testsupport::ProgramSpec spec;
    spec.service = warnings >= 3;
    spec.inicializa_server = 8;  // "Se requiera recompilar el WCF"
    if (warnings >= 3) spec.version[0] = static_cast<uint16_t>(platform::CurrentTwoDigitYear() - 1);
    std::string p = testsupport::BuildProgram(root_.MakeDir("w" + std::to_string(warnings)), spec);
    if (warnings >= 3) {
      testsupport::PeFileSpec other;
      other.file_version = {1, 2, 3, 4};  // the client's version differs from the server's
      testsupport::WritePeFile(p + "/CGNABCDE/Win32/Release/CGNABCDE.sdml", other);
    }
    if (warnings >= 4)
      root_.Write(p.substr(root_.path().size() + 1) + "/CGNABCDE/CGNABCDE.dpr",
                  "program C;\r\nuses\r\n  URERRLQ2 in 'M:\\Comun\\URERRLQ2.pas',\r\n"
                  "  UGNABCDE in 'UGNABCDE.pas';\r\nbegin\r\nend.\r\n");
    return p;
  }
  void Ini(const std::string& p, const std::string& extra = "") {
    root_.Write("bin/Paquel.ini", "[CONFIG]\r\nRUTAPROG=" + p + "\r\nRUTADEST=" +
                                      root_.Path("dest") + "\r\nCOMPRIMIR=0\r\n" + extra);
  }
};

TEST_F(PaquelRuns, SingleProgramBoxesByNumberOfWarnings) {
  struct Case {
    int warnings;
    std::vector<std::string> shown;
    bool answer;
  } cases[] = {
      {0, {"info|Empaquetador Proyectos|Se organizaron los archivos con exito\n"}, false},
      {3,
       {"warning|Empaquetador Proyectos|Se organizaron los archivos con Advertencias: \n"
        "Se requiera recompilar el WCF, verifique...\n"
        "las Version de la SDML es Diferente a la del Servidor\n"
        "las Version programa es " + std::to_string(platform::CurrentTwoDigitYear() - 1) +
        " estamos en el año " + std::to_string(platform::CurrentYear()) +
        " la version deberia ser " + std::to_string(platform::CurrentTwoDigitYear()) +
        ", Verifique...\n"},
       false},
      {4, {"question|Empaquetador Proyectos|Se organizaron los archivos con Advertencias, Desea Verlas ?"}, true},
  };
  for (const auto& c : cases) {
    dialogs_.shown.clear();
    dialogs_.opened.clear();
    dialogs_.answers = {c.answer};
    Ini(Program(c.warnings), c.warnings >= 3 ? "INCLUWCF=1\r\n" : "INCLUWCF=0\r\n");
    auto w = Open();
    Find<QPushButton>(w.get(), "SpbGenerar")->click();
    EXPECT_EQ(dialogs_.shown, c.shown) << c.warnings;
    if (c.answer) {
      ASSERT_EQ(dialogs_.opened, std::vector<std::string>{bin_ + "/Paquel.txt"});
      std::string report = ReadAll(bin_ + "/Paquel.txt");
      EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4) << report;
    }
    EXPECT_EQ(Find<QProgressBar>(w.get(), "PgbAvance")->value(),
              Find<QProgressBar>(w.get(), "PgbAvance")->maximum());
  }
}

TEST_F(PaquelRuns, ErrorsGoToTheApplicationsErrorBox) {
  testsupport::ProgramSpec spec;
  spec.server = false;
  Ini(testsupport::BuildProgram(root_.MakeDir("e"), spec), "INCLUWCF=0\r\n");
  auto w = Open();
  w->SpbGenerarClick();
  EXPECT_EQ(dialogs_.shown, std::vector<std::string>{"error|Organizador Archivos|No Existe El servidor"});
}

TEST_F(PaquelRuns, MassRunOpensItsReportAndCtrlTabStartsIt) {
  std::string parent = root_.MakeDir("masivo");
  testsupport::BuildProgram(parent, testsupport::ProgramSpec{});
  Ini(parent, "INCLUWCF=0\r\nEMPMASIVO=1\r\n");
  auto w = Open();
  // While the run works (it lets the window process events at every
  // progress step), neither the button nor Ctrl+Tab starts another.
  bool seen_running = false;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (!w->EnEjecucion()) return;
    seen_running = true;
    EXPECT_FALSE(Find<QPushButton>(w.get(), "SpbGenerar")->isEnabled());
    w->SpbGenerarClick();
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    QApplication::sendEvent(Find<QLineEdit>(w.get(), "EdtRuta"), &again);
  });
  during.start(0);
  QKeyEvent ctrl_tab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
  QApplication::sendEvent(Find<QLineEdit>(w.get(), "EdtRuta"), &ctrl_tab);
  // The press is queued; it runs once events are processed.
  for (int i = 0; i < 100 && dialogs_.shown.empty(); ++i) QApplication::processEvents();
  during.stop();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  EXPECT_TRUE(seen_running);
  EXPECT_EQ(dialogs_.shown, std::vector<std::string>{"info|Empaquetador Proyectos|Se organizaron los archivos"});
  EXPECT_EQ(dialogs_.opened, std::vector<std::string>{bin_ + "/Paquel.txt"});
  EXPECT_EQ(ReadAll(bin_ + "/Paquel.txt"), "MGNABCDE : Se organizaron los archivos con exito\r\n");
}

}  // namespace
}  // namespace paquel
