// Paquel: with a non-empty first argument, one unattended packaging run
// that takes everything from Paquel.ini beside the executable; otherwise the
// window.
#include <QApplication>
#include <cstdio>
#include <exception>
#include <string>

#include "paquel/packaging/paquel_core.h"
#include "paquel/shell/frm_paquel.h"
#include "paquel/shell/qt_paquel_dialogs.h"
#include "platform/display.h"
#include "platform/own_paths.h"

namespace {

int RunWindow(int argc, char** argv) {
  if (!platform::DisplayAvailable()) {
    std::fprintf(stderr,
                 "Paquel: no hay pantalla disponible para la ventana; con un argumento (por "
                 "ejemplo S) se ejecuta sin ventana con los valores de Paquel.ini.\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Paquel");
  QApplication::setApplicationDisplayName(QString::fromUtf8(paquel::kTituloAplicacion));
  paquel::QtPaquelDialogs dialogs;
  paquel::TFrmPaquel window(platform::ExecutablePath(), dialogs);
  dialogs.SetParent(&window);
  window.show();
  return app.exec();
}

int RunUnattended() {
  paquel::PaquelCore::Hooks hooks;
  hooks.status = [](const std::string& line) {
    std::fprintf(stderr, "Paquel: %s\n", line.c_str());
    std::fflush(stderr);
  };
  paquel::PaquelCore core(platform::SiblingFile(".ini"), hooks);
  core.gBoEjecParams = true;
  try {
    paquel::PaquelCore::Resultado r = core.SpbGenerarClick();
    // Nobody sees an unattended run: its results go to the report file and
    // its exit status tells whether a program failed.
    const std::string report = platform::SiblingFile(".txt");
    paquel::PaquelCore::EscribirReporte(r.lineas, report);
    std::fprintf(stderr, "Paquel: fin: %d programas, %d con error; reporte en %s\n", r.programas,
                 r.fallidos, report.c_str());
    return r.fallidos > 0 ? 1 : 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Paquel: error: %s\n", e.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && argv[1][0] != '\0') return RunUnattended();
  return RunWindow(argc, argv);
}
