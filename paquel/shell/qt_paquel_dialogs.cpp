#include "paquel/shell/qt_paquel_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <cstdlib>

#include "platform/files.h"
#include "platform/process.h"

namespace paquel {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A program of PATH by its name, as a full path; empty when none.
std::string EnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (end > start && platform::FileExists(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

void QtPaquelDialogs::Informacion(const std::string& caption, const std::string& text) {
  QMessageBox::information(parent_, Q(caption), Q(text));
}

void QtPaquelDialogs::Advertencia(const std::string& caption, const std::string& text) {
  QMessageBox::warning(parent_, Q(caption), Q(text));
}

bool QtPaquelDialogs::PreguntaAdvertencia(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  return box.exec() == QMessageBox::Yes;
}

void QtPaquelDialogs::Error(const std::string& caption, const std::string& text) {
  QMessageBox::critical(parent_, Q(caption), Q(text));
}

std::optional<std::string> QtPaquelDialogs::ElegirCarpeta(const std::string& start) {
  QString folder = QFileDialog::getExistingDirectory(parent_, QString(), Q(start));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

void QtPaquelDialogs::AbrirArchivo(const std::string& path) {
  std::string opener = EnPath("xdg-open");
  if (opener.empty()) {
    const char* editor = std::getenv("EDITOR");
    if (editor && *editor) opener = editor[0] == '/' ? std::string(editor) : EnPath(editor);
  }
  if (!opener.empty()) platform::StartDetached(opener, {path});
}

}  // namespace paquel
