#include "tornel/progress/frm_info_p50.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "tornel/progress/gauge.h"

namespace tornel {

namespace {

constexpr int kAncho = 507;
constexpr int kAlto = 181;
constexpr int kAltoPSuperior = 89;
constexpr int kAltoGBTiempos = 60;
constexpr int kAltoPSuperior1 = 26;
constexpr int kAltoPInferior1 = 17;
constexpr int kAltoPInferior = 31;

QWidget* Panel(QWidget* parent, const char* name, int height) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(name);
  panel->setFixedHeight(height);
  return panel;
}

// Item names and messages come from project files and build output, so they
// are never read as markup, and a long one is cut rather than widening the
// fixed window.
QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

QToolButton* Button(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap glyph) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(text);
  button->setIcon(parent->style()->standardIcon(glyph));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  return button;
}

// A colour component held as a floating-point amount becomes its low byte.
int ColorByte(double value) {
  return static_cast<int>(value) & 0xFF;
}

long long Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

}  // namespace

TFrmInfoP50::TFrmInfoP50(QWidget* owner) : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  // The font goes first so that every child takes it as it is made.
  if (QFontDatabase::hasFamily("MS Sans Serif")) setFont(QFont("MS Sans Serif", 8));
  setWindowTitle("Información del Proceso");

  PSuperior = Panel(this, "PSuperior", kAltoPSuperior);
  LNombreItemActual = ValueLabel(PSuperior, "LNombreItemActual");
  LNombreItemActual->setFixedWidth(331);
  LItemActual = ValueLabel(PSuperior, "LItemActual");
  LItemActual->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont negrita = LItemActual->font();
  negrita.setBold(true);
  LItemActual->setFont(negrita);
  QPalette azul = LItemActual->palette();
  azul.setColor(QPalette::WindowText, QColor(0, 0, 128));
  LItemActual->setPalette(azul);
  LMensajeDelProceso = ValueLabel(PSuperior, "LMensajeDelProceso");
  LUltimoError = ValueLabel(PSuperior, "LUltimoError");
  LUltimoError->setWordWrap(true);
  LUltimoError->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LUltimoError->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  LUltimoError->setFixedHeight(2 * LUltimoError->fontMetrics().lineSpacing());
  LNumeroDeErroresProducidos = ValueLabel(PSuperior, "LNumeroDeErroresProducidos");

  auto* filaItem = new QHBoxLayout;
  filaItem->addWidget(LNombreItemActual);
  filaItem->addWidget(LItemActual, 1);
  auto* filaMensaje = new QHBoxLayout;
  filaMensaje->addWidget(new QLabel("Mensaje del Proceso:", PSuperior));
  filaMensaje->addWidget(LMensajeDelProceso, 1);
  auto* filaError = new QHBoxLayout;
  filaError->addWidget(new QLabel("Ultimo Error:", PSuperior), 0, Qt::AlignTop);
  filaError->addWidget(LUltimoError, 1, Qt::AlignTop);
  auto* filaErrores = new QHBoxLayout;
  filaErrores->addWidget(new QLabel("Número de errores producidos:", PSuperior));
  filaErrores->addWidget(LNumeroDeErroresProducidos, 1);
  for (QHBoxLayout* fila : {filaItem, filaMensaje, filaError, filaErrores}) fila->setSpacing(6);
  auto* superior = new QVBoxLayout(PSuperior);
  superior->setContentsMargins(8, 4, 8, 4);
  superior->setSpacing(1);
  superior->addLayout(filaItem);
  superior->addLayout(filaMensaje);
  superior->addLayout(filaError, 1);
  superior->addLayout(filaErrores);

  GBTiempos = new QGroupBox(" Estadísticas ", this);
  GBTiempos->setObjectName("GBTiempos");
  GBTiempos->setFixedHeight(kAltoGBTiempos);
  PSuperior1 = Panel(GBTiempos, "PSuperior1", kAltoPSuperior1);
  LUltimoTiempo = ValueLabel(PSuperior1, "LUltimoTiempo");
  LTiempoTranscurrido = ValueLabel(PSuperior1, "LTiempoTranscurrido");
  auto* tiempos = new QHBoxLayout(PSuperior1);
  tiempos->setContentsMargins(6, 0, 6, 0);
  tiempos->addWidget(new QLabel("Ultimo tiempo Registrado:", PSuperior1));
  tiempos->addWidget(LUltimoTiempo, 1);
  tiempos->addWidget(new QLabel("Tiempo Transcurrido:", PSuperior1));
  tiempos->addWidget(LTiempoTranscurrido, 1);
  PInferior1 = Panel(GBTiempos, "PInferior1", kAltoPInferior1);
  GBarraDeAvance = new Gauge(PInferior1);
  GBarraDeAvance->setObjectName("GBarraDeAvance");
  auto* barra = new QHBoxLayout(PInferior1);
  barra->setContentsMargins(6, 0, 6, 0);
  barra->addWidget(GBarraDeAvance);
  auto* grupo = new QVBoxLayout(GBTiempos);
  grupo->setContentsMargins(0, 0, 0, 0);
  grupo->setSpacing(0);
  grupo->addWidget(PSuperior1);
  grupo->addWidget(PInferior1);
  // The style would size the frame and title for its own font; the box's
  // height is fixed, so its panels get fixed room: title above, thin frame
  // below (15 + 26 + 17 + 2 = 60).
  GBTiempos->setContentsMargins(2, kAltoGBTiempos - kAltoPSuperior1 - kAltoPInferior1 - 2, 2, 2);

  PInferior = Panel(this, "PInferior", kAltoPInferior);
  SBVerDetalles = Button(PInferior, "SBVerDetalles", "&Ver Detalles", QStyle::SP_FileDialogDetailedView);
  BDetenerProceso = Button(PInferior, "BDetenerProceso", "Detener Proceso", QStyle::SP_BrowserStop);
  BSalir = Button(PInferior, "BSalir", "&Salir", QStyle::SP_DialogCloseButton);
  auto* botones = new QHBoxLayout(PInferior);
  botones->setContentsMargins(4, 2, 4, 2);
  botones->addWidget(SBVerDetalles);
  botones->addStretch(1);
  botones->addWidget(BDetenerProceso);
  botones->addWidget(BSalir);

  auto* ventana = new QVBoxLayout(this);
  ventana->setContentsMargins(0, 0, 0, 0);
  ventana->setSpacing(0);
  ventana->addWidget(PSuperior);
  ventana->addWidget(GBTiempos);
  ventana->addStretch(1);
  ventana->addWidget(PInferior);

  setFixedSize(kAncho, kAlto);
  move(screen()->availableGeometry().center() - rect().center());

  connect(SBVerDetalles, &QToolButton::clicked, this, &TFrmInfoP50::SBVerDetallesClick);
  connect(BDetenerProceso, &QToolButton::clicked, this, &TFrmInfoP50::BDetenerProcesoClick);
  connect(BSalir, &QToolButton::clicked, this, &TFrmInfoP50::BSalirClick);
}

void TFrmInfoP50::Inicializar(int pCantidadDeRegistros, bool pResetAll) {
  NombreItemActual("");
  FItemsAProcesar = pCantidadDeRegistros;
  SetItemActual(0);
  if (pResetAll) {
    SetNumeroDeErroresProducidos(0);
    UltimoError("");
    ShowText(LUltimoTiempo, "00m:00s:00ms");
    ShowText(LTiempoTranscurrido, "0h:00m:00s");
    BSalir->setEnabled(false);
    BDetenerProceso->setEnabled(true);
    // The next named item starts the total time again.
    FHoraDeInicioTransAsignada = false;
    FContinuarProceso = true;
  }
  MensajeDelProceso("");
  GBarraDeAvance->SetMaxValue(pCantidadDeRegistros);
  GBarraDeAvance->SetProgress(0);
  FColorRojo = 0;
  FColorVerde = 255;
  GBarraDeAvance->SetForeColor(QColor(0, 255, 0));
  // Red rises over the first half of the items, green falls over the second.
  FPasosDeColor = 255.0 / (pCantidadDeRegistros / 2.0);
  show();
  QCoreApplication::processEvents();
}

void TFrmInfoP50::MensajeDelProceso(const std::string& Value) {
  if (FContinuarProceso) ShowText(LMensajeDelProceso, QString::fromStdString(Value));
}

void TFrmInfoP50::NombreItemActual(const std::string& Value) {
  NombreItemActual(Value, FItemActual + 1);
}

void TFrmInfoP50::NombreItemActual(const std::string& Value, int pInRegActu) {
  ShowText(LNombreItemActual, QString::fromStdString(Value));
  SetItemActual(pInRegActu);
  const TimePoint ahora = Now();
  if (!FHoraDeInicioTransAsignada) {
    FHoraDeInicioTrans = ahora;
    FHoraDeInicioTransAsignada = true;
  }
  FHoraDeInicioItem = ahora;
  // The loops pump nowhere else between items, so the buttons answer here.
  QCoreApplication::processEvents();
}

void TFrmInfoP50::EmpleadoActual(double pIdentificacion, const std::string& pNombre) {
  EmpleadoActual(pIdentificacion, pNombre, FItemActual + 1);
}

void TFrmInfoP50::EmpleadoActual(double pIdentificacion, const std::string& pNombre, int pInRegActu) {
  // Whole number, halves away from zero, no separators; adding 0.0 turns a
  // rounded -0 into 0.
  const double entero = std::round(pIdentificacion) + 0.0;
  NombreItemActual(QString::number(entero, 'f', 0).toStdString() + "   " + pNombre, pInRegActu);
}

void TFrmInfoP50::ItemActualTerminado() {
  EmpleadoActualTerminado(GBarraDeAvance->Progress() + 1);
}

void TFrmInfoP50::EmpleadoActualTerminado() {
  ItemActualTerminado();
}

void TFrmInfoP50::EmpleadoActualTerminado(int pInRegActu) {
  ActualizarUltimoTiempo();
  ActualizarTiempoTranscurrido();
  GBarraDeAvance->SetProgress(pInRegActu);
  const double avance = static_cast<double>(GBarraDeAvance->Progress()) / GBarraDeAvance->MaxValue();
  if (avance > 0.5) {
    FColorVerde = std::max(FColorVerde - FPasosDeColor, 0.0);
  } else {
    FColorRojo = std::min(FColorRojo + FPasosDeColor, 255.0);
  }
  GBarraDeAvance->SetForeColor(QColor(ColorByte(FColorRojo), ColorByte(FColorVerde), 0));
}

void TFrmInfoP50::UltimoError(const std::string& Value) {
  if (Value.empty()) {
    ShowText(LUltimoError, "");
    return;
  }
  ShowText(LUltimoError, LNombreItemActual->text() + ": " + QString::fromStdString(Value));
  SetNumeroDeErroresProducidos(FNumeroDeErroresProducidos + 1);
}

void TFrmInfoP50::Finalizar() {
  ActualizarTiempoTranscurrido();
  MensajeDelProceso("PROCESO TERMINADO");
  BSalir->setEnabled(true);
  BDetenerProceso->setEnabled(false);
  GBarraDeAvance->SetForeColor(QColor(0, 0, 255));
}

TFrmInfoP50::TimePoint TFrmInfoP50::Now() const {
  return std::chrono::steady_clock::now();
}

void TFrmInfoP50::SBVerDetallesClick() {
  FVerDetalles = !FVerDetalles;
  PSuperior->setVisible(FVerDetalles);
  PSuperior1->setVisible(FVerDetalles);
  const int signo = FVerDetalles ? 1 : -1;
  GBTiempos->setFixedHeight(GBTiempos->height() + signo * PSuperior1->height());
  setFixedSize(width(), height() + signo * (PSuperior->height() + PSuperior1->height()));
}

void TFrmInfoP50::BDetenerProcesoClick() {
  MensajeDelProceso("DETENIENDO EL PROCESO...");
  FContinuarProceso = false;
}

void TFrmInfoP50::BSalirClick() {
  close();
}

void TFrmInfoP50::SetItemActual(int Value) {
  FItemActual = Value;
  ShowText(LItemActual, QString("%1 de %2").arg(Value).arg(FItemsAProcesar));
}

void TFrmInfoP50::SetNumeroDeErroresProducidos(int Value) {
  FNumeroDeErroresProducidos = Value;
  ShowText(LNumeroDeErroresProducidos, QString::number(Value));
}

// Minutes, seconds and milliseconds of the item, without leading zeros;
// whole hours are left out.
void TFrmInfoP50::ActualizarUltimoTiempo() {
  const long long ms = Milliseconds(Now() - FHoraDeInicioItem);
  ShowText(LUltimoTiempo,
           QString("%1m:%2s:%3ms").arg(ms / 60000 % 60).arg(ms / 1000 % 60).arg(ms % 1000));
}

// The total reads as a time of day, h:nn:ss, so whole days are left out.
void TFrmInfoP50::ActualizarTiempoTranscurrido() {
  const long long ms = Milliseconds(Now() - FHoraDeInicioTrans);
  ShowText(LTiempoTranscurrido, QString("%1h:%2m:%3s")
                                    .arg(ms / 3600000 % 24)
                                    .arg(ms / 60000 % 60, 2, 10, QChar('0'))
                                    .arg(ms / 1000 % 60, 2, 10, QChar('0')));
}

// The loops run without pumping messages between items, so each change is
// painted at once.
void TFrmInfoP50::ShowText(QLabel* label, const QString& text) {
  label->setText(text);
  label->repaint();
}

}  // namespace tornel
