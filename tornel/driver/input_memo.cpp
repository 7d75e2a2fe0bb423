#include "tornel/driver/input_memo.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace tornel {
namespace {

constexpr int kClientWidth = 543;
constexpr int kClientHeight = 246;

}  // namespace

InputMemoDialog::InputMemoDialog(QWidget* owner, const QString& caption, const QString& prompt,
                                 bool read_only, const QString& text)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint |
                         Qt::CustomizeWindowHint) {
  setObjectName("dlgInputMemo");
  setWindowTitle(caption.trimmed());
  setSizeGripEnabled(true);
  resize(kClientWidth, kClientHeight);
  setMinimumSize(kClientWidth, kClientHeight);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);

  lblCaption = new QLabel(prompt.trimmed(), this);
  lblCaption->setObjectName("lblCaption");
  lblCaption->move(8, 8);
  lblCaption->adjustSize();

  mmoInput = new QPlainTextEdit(this);
  mmoInput->setObjectName("mmoInput");
  mmoInput->setLineWrapMode(QPlainTextEdit::NoWrap);
  mmoInput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mmoInput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mmoInput->setPlainText(text);
  mmoInput->setReadOnly(read_only);

  btnOk = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "Aceptar", this);
  btnOk->setObjectName("btnOk");
  btnOk->setDefault(false);
  btnOk->setAutoDefault(false);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

  btnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancelar", this);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setAutoDefault(false);
  btnCancel->setVisible(!read_only);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  if (read_only) {
    QPalette p = mmoInput->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    mmoInput->setPalette(p);
    mmoInput->setFocusPolicy(Qt::NoFocus);
    btnOk->setFocus();
  } else {
    mmoInput->setFocus();
  }
  PlaceControls();
}

QString InputMemoDialog::Text() const { return mmoInput->toPlainText(); }

void InputMemoDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceControls();
}

// The memo keeps its distance to every side and the buttons stay at the
// top right, as the dialog is resized.
void InputMemoDialog::PlaceControls() {
  const int memo_width = width() - 113;
  mmoInput->setGeometry(8, 32, memo_width, height() - 32 - 8);
  const int left = 8 + memo_width + 8;
  btnOk->setGeometry(left, 8, 81, 25);
  btnCancel->setGeometry(left, 40, 81, 25);
}

QDialog::DialogCode InputMemo(QWidget* owner, const QString& Caption, const QString& Prompt,
                              bool ReadOnly, QString& Text) {
  InputMemoDialog dialog(owner, Caption, Prompt, ReadOnly, Text);
  auto result = static_cast<QDialog::DialogCode>(dialog.exec());
  if (result == QDialog::Accepted) Text = dialog.Text();
  return result;
}

}  // namespace tornel
