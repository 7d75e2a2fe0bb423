// The packager's window: the project folder and the destination, the
// switches of a packaging run, a status line with its progress bar, and
// "Empaquetar". The run itself is PaquelCore's; the window shows its
// progress, reports its results and keeps the settings in Paquel.ini.
#pragma once

#include <QWidget>
#include <memory>

#include "paquel/packaging/paquel_core.h"
#include "paquel/shell/paquel_dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace paquel {

// "Organizador Archivos": the application's title and the caption of its
// error boxes.
extern const char* const kTituloAplicacion;

class TFrmPaquel : public QWidget {
  Q_OBJECT

 public:
  // exe_path: the program, whose ".ini" and ".txt" files lie beside it.
  TFrmPaquel(std::string exe_path, IPaquelDialogs& dialogs);
  ~TFrmPaquel() override;

  PaquelCore& Core() { return *core_; }
  // "Empaquetar" (and Ctrl+Tab): one packaging run and its report; nothing
  // while a run is in progress.
  void SpbGenerarClick();
  void BitBtn1Click();
  void BitBtn2Click();
  void AvanzarProgreso(const std::string& text);
  bool EnEjecucion() const { return running_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void FormClose();
  void FormResize();
  void EdtRutaChange();
  void EdtRutaExit();
  void ChkMoverCarpetaClick(bool checked);
  void SugerirDestino();
  void ControlesAlNucleo();
  void Reportar(PaquelCore::Resultado& r);

  IPaquelDialogs& dialogs_;
  std::string exe_path_;
  std::unique_ptr<PaquelCore> core_;
  bool running_ = false;

  QLineEdit* EdtRuta = nullptr;
  QToolButton* BitBtn1 = nullptr;
  QLineEdit* EdtRutaDestino = nullptr;
  QToolButton* BitBtn2 = nullptr;
  QCheckBox* ChkConexiones = nullptr;
  QCheckBox* ChkIncluirWCF = nullptr;
  QCheckBox* ChkPackage = nullptr;
  QCheckBox* ChkBorrar = nullptr;
  QCheckBox* ChkMoverCarpeta = nullptr;
  QCheckBox* ChkEmpMasiva = nullptr;
  QCheckBox* ChkComprimir = nullptr;
  QLabel* LbInfo = nullptr;
  QProgressBar* PgbAvance = nullptr;
  QPushButton* SpbGenerar = nullptr;
};

}  // namespace paquel
