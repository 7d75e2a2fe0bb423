// The dialogs of the main window as real Qt boxes.
#pragma once

#include <QWidget>

#include "tornel/driver/dialogs.h"

namespace tornel {

// "Utilitario de compilación Masiva Morvel HCM": the caption of the run's
// boxes and error boxes.
extern const char* const kTituloAplicacion;

class QtDialogs : public IDialogs {
 public:
  // Boxes are centred on parent (which may be null until the window exists).
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowError(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& start_folder) override;

 private:
  QWidget* parent_;
};

}  // namespace tornel
