#include "paquel/shell/frm_paquel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "paquel/shell/paquel_settings.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/pe_version.h"
#include "platform/strings.h"

namespace paquel {

const char* const kTituloAplicacion = "Organizador Archivos";

namespace {

constexpr const char* kEmpaquetador = "Empaquetador Proyectos";
constexpr int kAncho = 374;
constexpr int kAlto = 267;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string Unir(const std::vector<std::string>& lineas) {
  std::string text;
  for (const std::string& l : lineas) text += l + "\n";
  return text;
}

}  // namespace

TFrmPaquel::TFrmPaquel(std::string exe_path, IPaquelDialogs& dialogs)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      exe_path_(std::move(exe_path)) {
  QFont font = QFontDatabase::families().contains("Tahoma") ? QFont("Tahoma") : QApplication::font();
  font.setPointSize(8);
  setFont(font);
  setFixedSize(kAncho, kAlto);

  auto label = [this](const char* name, const char* text, int x, int y) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->move(x, y);
    l->adjustSize();
  };
  auto path_row = [this](QLineEdit*& edit, QToolButton*& button, const char* edit_name,
                         const char* button_name, int y) {
    edit = new QLineEdit(this);
    edit->setObjectName(edit_name);
    edit->setGeometry(8, y, 326, 22);
    button = new QToolButton(this);
    button->setObjectName(button_name);
    button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setGeometry(340, y - 1, 26, 24);
  };
  label("Label1", "Ruta Proyecto", 8, 6);
  path_row(EdtRuta, BitBtn1, "EdtRuta", "BitBtn1", 22);
  label("Label2", "Ruta Destino", 8, 50);
  path_row(EdtRutaDestino, BitBtn2, "EdtRutaDestino", "BitBtn2", 66);

  struct Check {
    QCheckBox*& target;
    const char* name;
    const char* text;
    int x, y;
  } checks[] = {
      {ChkConexiones, "ChkConexiones", "Validar Conexiones Abiertas", 8, 100},
      {ChkIncluirWCF, "ChkIncluirWCF", "Incluir WCF", 8, 122},
      {ChkPackage, "ChkPackage", "Validar Packages", 8, 144},
      {ChkBorrar, "ChkBorrar", "Borrar Archivos despues comprimir", 8, 166},
      {ChkMoverCarpeta, "ChkMoverCarpeta", "Mover Fuente Proyecto", 212, 100},
      {ChkEmpMasiva, "ChkEmpMasiva", "Empaquetar Masivo", 212, 122},
      {ChkComprimir, "ChkComprimir", "Comprimir Archivos ?", 212, 144},
  };
  for (Check& c : checks) {
    c.target = new QCheckBox(c.text, this);
    c.target->setObjectName(c.name);
    c.target->move(c.x, c.y);
    c.target->adjustSize();
  }
  LbInfo = new QLabel("Esperando..", this);
  LbInfo->setObjectName("LbInfo");
  LbInfo->setGeometry(8, 190, kAncho - 16, 16);
  PgbAvance = new QProgressBar(this);
  PgbAvance->setObjectName("PgbAvance");
  PgbAvance->setGeometry(8, 208, kAncho - 16, 18);
  PgbAvance->setTextVisible(false);
  PgbAvance->setRange(0, 1);
  PgbAvance->setValue(0);
  SpbGenerar = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), "Empaquetar", this);
  SpbGenerar->setObjectName("SpbGenerar");
  SpbGenerar->setToolTip("Empaquetar (Ctr-Tab)");
  SpbGenerar->resize(110, 30);

  connect(BitBtn1, &QToolButton::clicked, this, &TFrmPaquel::BitBtn1Click);
  connect(BitBtn2, &QToolButton::clicked, this, &TFrmPaquel::BitBtn2Click);
  connect(SpbGenerar, &QPushButton::clicked, this, &TFrmPaquel::SpbGenerarClick);
  connect(ChkMoverCarpeta, &QCheckBox::clicked, this, &TFrmPaquel::ChkMoverCarpetaClick);
  EdtRuta->installEventFilter(this);
  qApp->installEventFilter(this);

  PaquelCore::Hooks hooks;
  hooks.avanzar = [this](const std::string& text) { AvanzarProgreso(text); };
  hooks.barra = [this](int maximum, int position) {
    PgbAvance->setRange(0, std::max(1, maximum));
    PgbAvance->setValue(position);
    QCoreApplication::processEvents();
  };
  core_ = std::make_unique<PaquelCore>(platform::ChangeFileExt(exe_path_, ".ini"), hooks);
  FormCreate();
  connect(EdtRuta, &QLineEdit::textChanged, this, &TFrmPaquel::EdtRutaChange);
  FormResize();
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TFrmPaquel::~TFrmPaquel() { qApp->removeEventFilter(this); }

void TFrmPaquel::FormCreate() {
  const PaquelCore& c = *core_;
  EdtRuta->setText(Q(c.EdtRuta));
  EdtRutaDestino->setText(Q(c.EdtRutaDestino));
  ChkConexiones->setChecked(c.ChkConexiones);
  ChkBorrar->setChecked(c.ChkBorrar);
  ChkIncluirWCF->setChecked(c.ChkIncluirWCF);
  ChkMoverCarpeta->setChecked(c.ChkMoverCarpeta);
  ChkEmpMasiva->setChecked(c.ChkEmpMasiva);
  ChkComprimir->setChecked(c.ChkComprimir);
  ChkPackage->setChecked(true);
  auto version = platform::ReadPeVersion(exe_path_);
  setWindowTitle(Q("Empaquetar Proyecto Selvane (" +
                   (version ? platform::VersionText(version->file) : std::string()) + ")"));
}

void TFrmPaquel::FormResize() { SpbGenerar->move(width() / 2 - SpbGenerar->width() / 2, 232); }

void TFrmPaquel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TFrmPaquel::closeEvent(QCloseEvent* event) {
  if (running_) {
    // The run pumps this window's events; closing now would end it midway.
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TFrmPaquel::FormClose() {
  ControlesAlNucleo();
  PaquelSettings s;
  s.RUTAPROG = core_->EdtRuta;
  s.RUTADEST = core_->EdtRutaDestino;
  s.VERFCONN = core_->ChkConexiones;
  s.DELDCOMP = core_->ChkBorrar;
  s.INCLUWCF = core_->ChkIncluirWCF;
  s.SUGNOMB = core_->gBoSugerirNomb;
  s.MOVFUENTE = core_->ChkMoverCarpeta;
  s.DIRREPO = core_->gStRutaRepositorio;
  s.EMPMASIVO = core_->ChkEmpMasiva;
  try {
    platform::IniFile ini(platform::ChangeFileExt(exe_path_, ".ini"));
    EscribirConfiguracion(ini, s);
  } catch (const std::exception& e) {
    dialogs_.Error(kTituloAplicacion, e.what());
  }
}

void TFrmPaquel::ControlesAlNucleo() {
  PaquelCore& c = *core_;
  c.EdtRuta = EdtRuta->text().toStdString();
  c.EdtRutaDestino = EdtRutaDestino->text().toStdString();
  c.ChkConexiones = ChkConexiones->isChecked();
  c.ChkIncluirWCF = ChkIncluirWCF->isChecked();
  c.ChkPackage = ChkPackage->isChecked();
  c.ChkBorrar = ChkBorrar->isChecked();
  c.ChkMoverCarpeta = ChkMoverCarpeta->isChecked();
  c.ChkEmpMasiva = ChkEmpMasiva->isChecked();
  c.ChkComprimir = ChkComprimir->isChecked();
}

bool TFrmPaquel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EdtRuta && event->type() == QEvent::FocusOut) EdtRutaExit();
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+Tab anywhere presses "Empaquetar"; the key goes on as usual.
    if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier) &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this &&
        !running_)
      QMetaObject::invokeMethod(this, [this] { SpbGenerar->click(); }, Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

void TFrmPaquel::EdtRutaChange() {
  LbInfo->setText("Esperando..");
  PgbAvance->setRange(0, 1);
  PgbAvance->setValue(0);
  LbInfo->repaint();
}

void TFrmPaquel::SugerirDestino() {
  if (!core_->gBoSugerirNomb) return;
  const QString ruta = EdtRuta->text();
  EdtRutaDestino->setText((ruta.size() > 8 ? ruta.left(ruta.size() - 8) : QString()) + "Calidad");
}

void TFrmPaquel::EdtRutaExit() { SugerirDestino(); }

void TFrmPaquel::BitBtn1Click() {
  if (auto folder = dialogs_.ElegirCarpeta(EdtRuta->text().toStdString())) {
    EdtRuta->setText(Q(*folder));
    SugerirDestino();
  }
}

void TFrmPaquel::BitBtn2Click() {
  if (auto folder = dialogs_.ElegirCarpeta(EdtRutaDestino->text().toStdString()))
    EdtRutaDestino->setText(Q(*folder));
}

void TFrmPaquel::ChkMoverCarpetaClick(bool checked) {
  if (!checked) {
    core_->gStRutaRepositorio.clear();
    return;
  }
  if (core_->gStRutaRepositorio.empty())
    if (auto folder = dialogs_.ElegirCarpeta("")) core_->gStRutaRepositorio = *folder;
}

void TFrmPaquel::AvanzarProgreso(const std::string& text) {
  PgbAvance->setValue(PgbAvance->value() + 1);
  LbInfo->setText(Q(text));
  QCoreApplication::processEvents();
}

void TFrmPaquel::SpbGenerarClick() {
  if (running_) return;
  running_ = true;
  SpbGenerar->setEnabled(false);
  ControlesAlNucleo();
  try {
    PaquelCore::Resultado r = core_->SpbGenerarClick();
    running_ = false;
    SpbGenerar->setEnabled(true);
    Reportar(r);
  } catch (const std::exception& e) {
    running_ = false;
    SpbGenerar->setEnabled(true);
    dialogs_.Error(kTituloAplicacion, e.what());
  }
}

void TFrmPaquel::Reportar(PaquelCore::Resultado& r) {
  std::vector<std::string>& lineas = r.lineas;
  const std::string reporte = platform::ChangeFileExt(exe_path_, ".txt");
  auto escribir_y_abrir = [&] {
    try {
      PaquelCore::EscribirReporte(lineas, reporte);
    } catch (const std::exception& e) {
      dialogs_.Error(kTituloAplicacion, e.what());
      return;
    }
    dialogs_.AbrirArchivo(reporte);
  };
  if (core_->ChkEmpMasiva) {
    dialogs_.Informacion(kEmpaquetador, "Se organizaron los archivos");
    escribir_y_abrir();
  } else if (lineas.empty()) {
    lineas.push_back("Se organizaron los archivos con exito");
    dialogs_.Informacion(kEmpaquetador, Unir(lineas));
  } else if (lineas.size() <= 3) {
    std::string text = Unir(lineas);
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    lineas = {"Se organizaron los archivos con Advertencias: ", text.substr(b, e - b)};
    dialogs_.Advertencia(kEmpaquetador, Unir(lineas));
  } else if (dialogs_.PreguntaAdvertencia(
                 kEmpaquetador, "Se organizaron los archivos con Advertencias, Desea Verlas ?")) {
    escribir_y_abrir();
  }
}

}  // namespace paquel
