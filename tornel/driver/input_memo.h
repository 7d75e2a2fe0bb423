// A modal text editor built at run time: a prompt, a multi-line text and
// "Aceptar" / "Cancelar". The main window edits the program filter with it.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tornel {

class InputMemoDialog : public QDialog {
  Q_OBJECT

 public:
  InputMemoDialog(QWidget* owner, const QString& caption, const QString& prompt, bool read_only,
                  const QString& text);
  QString Text() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceControls();

  QLabel* lblCaption;
  QPlainTextEdit* mmoInput;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};

// Shows the dialog; on "Aceptar" Text becomes the edited text (lines joined
// with line breaks). Answers the dialog's result.
QDialog::DialogCode InputMemo(QWidget* owner, const QString& Caption, const QString& Prompt,
                              bool ReadOnly, QString& Text);

}  // namespace tornel
