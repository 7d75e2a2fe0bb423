// The progress window of the long loops of an interactive compile run: it
// shows the current item and its number, a process message, the last error
// and how many there were, the time of the last item and the total time,
// and a bar that runs from green through yellow to red and turns blue when
// the loop ends. The loops run on the window's own thread, so the window
// repaints each change at once and pumps messages as each item starts; its
// stop button only raises a flag that the loop reads between items.
#pragma once

#include <QWidget>
#include <chrono>
#include <string>

#include "tornel/progress/progress.h"

class QGroupBox;
class QLabel;
class QToolButton;

namespace tornel {

class Gauge;

class TFrmInfoP50 : public QWidget, public IProgress {
  Q_OBJECT

 public:
  // Created hidden; Inicializar shows it. The owner's window keeps it on top
  // of itself.
  explicit TFrmInfoP50(QWidget* owner = nullptr);

  // pCantidadDeRegistros must be at least 1. Without pResetAll the error
  // count, the times and the stop flag of the previous loop carry on.
  void Inicializar(int pCantidadDeRegistros, bool pResetAll) override;
  // Shown only while ContinuarProceso is true.
  void MensajeDelProceso(const std::string& Value) override;
  // Starts the next item, or item pInRegActu.
  void NombreItemActual(const std::string& Value) override;
  void NombreItemActual(const std::string& Value, int pInRegActu);
  // An item named by a whole identification, three blanks and a name.
  void EmpleadoActual(double pIdentificacion, const std::string& pNombre);
  void EmpleadoActual(double pIdentificacion, const std::string& pNombre, int pInRegActu);
  // Ends the current item; the bar advances by one, or goes to pInRegActu.
  void ItemActualTerminado() override;
  void EmpleadoActualTerminado();
  void EmpleadoActualTerminado(int pInRegActu);
  // Shows Value after the current item's name and counts it; an empty
  // Value clears the line without counting.
  void UltimoError(const std::string& Value);
  void Finalizar() override;

  // False once the stop button was pressed; the loop ends itself on it.
  bool ContinuarProceso() const { return FContinuarProceso; }
  void SetContinuarProceso(bool Value) { FContinuarProceso = Value; }

 protected:
  using TimePoint = std::chrono::steady_clock::time_point;
  // The clock the item and total times are taken from.
  virtual TimePoint Now() const;

 private:
  void SBVerDetallesClick();
  void BDetenerProcesoClick();
  void BSalirClick();

  void SetItemActual(int Value);
  void SetNumeroDeErroresProducidos(int Value);
  void ActualizarUltimoTiempo();
  void ActualizarTiempoTranscurrido();
  static void ShowText(QLabel* label, const QString& text);

  bool FContinuarProceso = false;
  int FItemActual = 0;
  int FItemsAProcesar = 0;
  bool FHoraDeInicioTransAsignada = false;
  TimePoint FHoraDeInicioTrans{};
  TimePoint FHoraDeInicioItem{};
  int FNumeroDeErroresProducidos = 0;
  bool FVerDetalles = true;
  double FColorRojo = 0;
  double FColorVerde = 255;
  double FPasosDeColor = 0;

  QWidget* PSuperior;
  QLabel* LNombreItemActual;
  QLabel* LItemActual;
  QLabel* LMensajeDelProceso;
  QLabel* LUltimoError;
  QLabel* LNumeroDeErroresProducidos;
  QGroupBox* GBTiempos;
  QWidget* PSuperior1;
  QLabel* LUltimoTiempo;
  QLabel* LTiempoTranscurrido;
  QWidget* PInferior1;
  Gauge* GBarraDeAvance;
  QWidget* PInferior;
  QToolButton* SBVerDetalles;
  QToolButton* BDetenerProceso;
  QToolButton* BSalir;
};

}  // namespace tornel
