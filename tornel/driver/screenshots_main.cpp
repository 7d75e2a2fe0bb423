// Takes screenshots of Tornel's windows as a person sees them: the main
// window (both pages), the progress window and the main window during a run,
// the filter editor and the error report's preview. Run under a display
// (scripts/screenshots.sh starts one); the PNG files go to the folder given.
#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "testsupport/dproj_fixture.h"
#include "testsupport/fake_tools.h"
#include "testsupport/temp_dir.h"
#include "tornel/driver/frm_gn_confc.h"
#include "tornel/driver/qt_dialogs.h"

namespace {

QString g_out;

void Save(QWidget* w, const char* name) {
  QApplication::processEvents();
  QPixmap shot = w->window()->grab();
  QString path = g_out + "/" + name + ".png";
  std::printf("%s %s\n", shot.save(path) ? "wrote" : "FAILED", path.toUtf8().constData());
}

// Calls f once a top-level window of the given class is visible.
void WhenVisible(const char* class_name, std::function<void(QWidget*)> f) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, class_name, f] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible() && w->inherits(class_name)) {
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(400, [f, w] { f(w); });
        return;
      }
    }
  });
  timer->start(50);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

  // A small source tree, a build script that takes its time and prints like
  // a compiler, one pair whose versions differ so the report has rows.
  testsupport::TempDir root;
  std::string bin = root.MakeDir("bin");
  std::string script = root.Write(
      "bin/rsvars.bat",
      "#!/bin/sh\necho \"Compilando $2 (Release)\"\n"
      "for u in Principal Datos Reportes Utilidades; do echo \"  U$u.pas\"; sleep 0.15; done\n"
      "case \"$2\" in MGNCCC*) echo \"UGNCCC.pas(42): error E2003: Undeclared identifier: "
      "'TList<Integer>'\";; esac\necho \"Compilación terminada.\"\n");
  ::chmod(script.c_str(), 0755);
  struct Program {
    const char* code;
    const char* name;
    const char* client;
    const char* server;
  } programs[] = {{"GNAAA", "Planilla de Remuneraciones", "24.0.3.7", "24.0.3.7"},
                  {"GNBBB", "Control de Asistencia", "24.0.1.2", "24.0.1.2"},
                  {"GNCCC", "Gestión de Vacaciones", "24.0.5.1", "24.0.5.1"},
                  {"RHDDD", "Evaluación de Desempeño", "23.0.9.4", "24.0.2.1"}};
  for (const Program& p : programs) {
    testsupport::DprojSpec c, s;
    c.description = s.description = p.name;
    c.file_version = p.client;
    s.file_version = p.server;
    root.Write(std::string("src/") + p.code + "/C" + p.code + ".dproj", testsupport::DprojText(c));
    root.Write(std::string("src/") + p.code + "/M" + p.code + ".dproj", testsupport::DprojText(s));
  }
  root.Write("bin/Tornel.xml",
             "<Tornel><INIC><INIC Name=\"VER_PROJ_PROP\">True</INIC></INIC></Tornel>");

  tornel::QtDialogs dialogs;
  tornel::TFrmGnConfc window(bin + "/Tornel", dialogs);
  dialogs.SetParent(&window);
  window.move(40, 40);
  window.show();
  window.findChild<QLineEdit*>("EdtRutFuen")->setText(QString::fromStdString(root.Path("src")));
  QApplication::processEvents();
  Save(&window, "main_parametros");
  auto* tabs = window.findChild<QTabWidget*>("pgcMain");
  tabs->setCurrentIndex(1);
  Save(&window, "main_propiedades");
  tabs->setCurrentIndex(0);

  window.Core().FSlFiltProj = {"MGNAAA", "^G", "GNCCC"};
  WhenVisible("tornel::InputMemoDialog", [](QWidget* w) {
    Save(w, "filtro");
    static_cast<QDialog*>(w)->reject();
  });
  window.btnFiltFntsClick();
  window.Core().FSlFiltProj.clear();

  // During the builds (the log shows a build's output, and the second pair
  // is under way): the progress window, then the main window.
  auto* during = new QTimer(&app);
  QObject::connect(during, &QTimer::timeout, [during, &window] {
    if (!window.findChild<QPlainTextEdit*>("MmoLogComp")->toPlainText().contains("UDatos")) return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || !w->inherits("tornel::TFrmInfoP50")) continue;
      auto* item = w->findChild<QLabel*>("LItemActual");
      if (!item || !item->text().startsWith("2 ")) continue;
      during->stop();
      Save(w, "progreso");
      Save(&window, "main_en_ejecucion");
      return;
    }
  });
  during->start(20);
  // The summary box of the run, then the report preview.
  WhenVisible("QMessageBox", [](QWidget* w) {
    Save(w, "resumen");
    static_cast<QDialog*>(w)->accept();
  });
  window.BitBtnAceptarClick();
  Save(&window, "main_despues");
  WhenVisible("QPrintPreviewDialog", [](QWidget* w) {
    w->resize(900, 760);
    QTimer::singleShot(500, [w] {
      Save(w, "reporte");
      static_cast<QDialog*>(w)->reject();
    });
  });
  window.findChild<QPushButton*>("BitBtnErrores")->click();
  return 0;
}
