// The packager's boxes and folder picker as Qt dialogs; a text file opens
// with the desktop's opener (xdg-open), or $EDITOR where there is none.
#pragma once

#include <QWidget>

#include "paquel/shell/paquel_dialogs.h"

namespace paquel {

class QtPaquelDialogs : public IPaquelDialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Informacion(const std::string& caption, const std::string& text) override;
  void Advertencia(const std::string& caption, const std::string& text) override;
  bool PreguntaAdvertencia(const std::string& caption, const std::string& text) override;
  void Error(const std::string& caption, const std::string& text) override;
  std::optional<std::string> ElegirCarpeta(const std::string& start) override;
  void AbrirArchivo(const std::string& path) override;

 private:
  QWidget* parent_ = nullptr;
};

}  // namespace paquel
