// The main window of Tornel: the parameters of a compile run, the projects it
// found, the compile log, the project-properties table and the buttons that
// start, cancel and inspect a run. The run itself is TornelCore's; the window
// shows its state, forwards clicks and answers its questions.
#pragma once

#include <QWidget>
#include <memory>

#include "tornel/driver/dialogs.h"
#include "tornel/driver/tornel_core.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QVBoxLayout;
class QToolButton;

namespace tornel {

class MemTableModel;

class TFrmGnConfc : public QWidget {
  Q_OBJECT

 public:
  // exe_path: where the settings, the table file and rsvars.bat lie beside.
  // dialogs: every box and question goes there.
  TFrmGnConfc(std::string exe_path, IDialogs& dialogs, ProgressFactory progress = {});
  ~TFrmGnConfc() override;

  TornelCore& Core() { return *core_; }
  // The window's own steps, callable by tests as by the buttons.
  void BitBtnAceptarClick();
  void BitBtnCancelarClick();
  void BitBtnErroresClick();
  void BitBtnDirServClick();
  void btnFiltFntsClick();
  // Deletes the current row of the properties grid after confirmation.
  void EliminarPropiedad();

  // Opens the error report; tests replace it to look at the table instead.
  std::function<void()> abrir_reporte;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildHeader(QVBoxLayout* layout);
  QWidget* BuildParamsPage();
  QWidget* BuildProjPropPage();
  QWidget* BuildBottom();
  void FormCreate();
  void FormResize();
  void FormDestroy();
  void EdtRutFuenChange(const QString& text);
  void chkVerBuildClick();
  // Window controls to the core's parameters, before a run and at the end.
  void SyncToCore();
  // Keeps the window live and current while a run works.
  void Pump();
  void SetRunning(bool running);

  IDialogs& dialogs_;
  std::unique_ptr<TornelCore> core_;
  bool destroyed_ = false;

  QLabel* Label1 = nullptr;
  QWidget* Panel1 = nullptr;
  QLabel* Image1 = nullptr;
  QTabWidget* pgcMain = nullptr;
  QWidget* tbsParams = nullptr;
  QWidget* tbsProjProp = nullptr;
  QGroupBox* gbxRutaFuente = nullptr;
  QLineEdit* EdtRutFuen = nullptr;
  QToolButton* BitBtnDirServ = nullptr;
  QToolButton* btnFiltFnts = nullptr;
  QGroupBox* gbxVersion = nullptr;
  QSpinBox* SpnEdtVerProd = nullptr;
  QCheckBox* chkVerRelease = nullptr;
  QCheckBox* chkVerBuild = nullptr;
  QSpinBox* sedVerBuild = nullptr;
  QGroupBox* gbxFuentes = nullptr;
  QTableView* DBGrdGnConfc = nullptr;
  QGroupBox* gbxLog = nullptr;
  QPlainTextEdit* MmoLogComp = nullptr;
  QTableView* dbGrdProjProp = nullptr;
  QWidget* PnlBottom = nullptr;
  QWidget* pnlbtns = nullptr;
  QPushButton* BitBtnAceptar = nullptr;
  QPushButton* BitBtnCancelar = nullptr;
  QPushButton* BitBtnErrores = nullptr;
  MemTableModel* fuentes_model_ = nullptr;
  MemTableModel* props_model_ = nullptr;
};

}  // namespace tornel
