// Tornel: with two or more arguments (source folder, product version and
// optionally "S" to write the new versions) one unattended compile run that
// creates no window; otherwise the main window.
#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "platform/display.h"
#include "platform/own_paths.h"
#include "platform/strings.h"
#include "tornel/driver/frm_gn_confc.h"
#include "tornel/driver/messages.h"
#include "tornel/driver/qt_dialogs.h"
#include "tornel/driver/tornel_core.h"

namespace {

int RunWindow(int argc, char** argv) {
  if (!platform::DisplayAvailable()) {
    std::fprintf(stderr,
                 "Tornel: no hay pantalla disponible para la ventana; con dos o más argumentos "
                 "(directorio, versión del producto y S) se ejecuta sin ventana.\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tornel");
  QApplication::setApplicationDisplayName(QString::fromUtf8(tornel::kTituloAplicacion));
  tornel::QtDialogs dialogs;
  tornel::TFrmGnConfc window(platform::ExecutablePath(), dialogs);
  dialogs.SetParent(&window);
  window.show();
  return app.exec();
}

int RunUnattended(int argc, char** argv) {
  // The version is read before anything of the run happens, so a bad one
  // leaves every file as it was.
  std::optional<int32_t> version = platform::StrToIntStrict(argv[2]);
  if (!version) {
    std::fprintf(stderr, "Tornel: error: '%s' is not a valid integer value\n", argv[2]);
    return 1;
  }
  tornel::StderrMessages messages;
  tornel::TornelCore::Hooks hooks;
  hooks.messages = &messages;
  hooks.status = [](const std::string& line) {
    std::fprintf(stderr, "Tornel: %s\n", line.c_str());
    std::fflush(stderr);
  };
  int status = 0;
  tornel::TornelCore core(platform::ExecutablePath(), hooks);
  try {
    // The product version is a 16-bit value; larger numbers wrap as stored.
    core.CompilarParametros(argv[1], static_cast<int16_t>(*version), argc > 3 ? argv[3] : "");
  } catch (const std::exception& e) {
    messages.ShowError(e.what());
    status = 1;
  }
  core.FormDestroy();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return RunWindow(argc, argv);
  return RunUnattended(argc, argv);
}
