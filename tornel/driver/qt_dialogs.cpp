#include "tornel/driver/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tornel {

const char* const kTituloAplicacion = "Utilitario de compilación Masiva Morvel HCM";

void QtDialogs::ShowError(const std::string& text) {
  QMessageBox::critical(parent_, QString::fromUtf8(kTituloAplicacion), QString::fromStdString(text));
}

void QtDialogs::ShowInformation(const std::string& text) {
  QMessageBox::information(parent_, QString::fromUtf8(kTituloAplicacion),
                           QString::fromStdString(text));
}

bool QtDialogs::AskYesNo(const std::string& caption, const std::string& text) {
  return QMessageBox::question(parent_, QString::fromStdString(caption),
                               QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::PickFolder(const std::string& title,
                                                 const std::string& start_folder) {
  QString folder = QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title),
                                                     QString::fromStdString(start_folder));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

}  // namespace tornel
