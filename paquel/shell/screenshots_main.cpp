// Takes screenshots of Paquel's window as a person sees it: before a run,
// during one, and its result box. Run under a display (scripts/screenshots.sh
// starts one); the PNG files go to the folder given.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "paquel/shell/frm_paquel.h"
#include "paquel/shell/qt_paquel_dialogs.h"
#include "testsupport/program_fixture.h"
#include "testsupport/temp_dir.h"

namespace {

QString g_out;

void Save(QWidget* w, const char* name) {
  QApplication::processEvents();
  QString path = g_out + "/" + name + ".png";
  std::printf("%s %s\n", w->window()->grab().save(path) ? "wrote" : "FAILED",
              path.toUtf8().constData());
}

// Shows the boxes like the real dialogs, but takes a picture and closes them.
struct ShotDialogs : paquel::QtPaquelDialogs {
  void Informacion(const std::string& caption, const std::string& text) override {
    QTimer::singleShot(300, [] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        Save(box, "paquel_resultado");
        static_cast<QDialog*>(box)->accept();
      }
    });
    QtPaquelDialogs::Informacion(caption, text);
  }
  void AbrirArchivo(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  testsupport::TempDir root;
  std::string parent = root.MakeDir("Fuentes");
  for (const char* code : {"GNAAAAA", "GNBBBBB", "RHCCCCC", "ARDDDDD"}) {
    testsupport::ProgramSpec spec;
    spec.code = code;
    testsupport::BuildProgram(parent, spec);
  }
  std::string bin = root.MakeDir("bin");
  root.Write("bin/Paquel.ini", "[CONFIG]\r\nRUTAPROG=" + parent + "\r\nRUTADEST=" +
                                   root.Path("Calidad") + "\r\nEMPMASIVO=1\r\nINCLUWCF=0\r\n");
  ShotDialogs dialogs;
  paquel::TFrmPaquel window(bin + "/Paquel", dialogs);
  dialogs.SetParent(&window);
  window.show();
  Save(&window, "paquel_antes");
  bool taken = false;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (taken || !window.EnEjecucion()) return;
    if (!window.findChild<QLabel*>("LbInfo")->text().contains("RHCCCCC")) return;
    taken = true;
    Save(&window, "paquel_durante");
  });
  during.start(0);
  window.SpbGenerarClick();
  Save(&window, "paquel_despues");
  return 0;
}
