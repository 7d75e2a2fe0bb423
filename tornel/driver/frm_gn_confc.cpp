#include "tornel/driver/frm_gn_confc.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/files.h"
#include "platform/strings.h"
#include "tornel/build/error_report_view.h"
#include "tornel/build/product_logo.h"
#include "tornel/driver/input_memo.h"
#include "tornel/driver/mem_table_model.h"
#include "tornel/driver/qt_dialogs.h"
#include "tornel/progress/frm_info_p50.h"

namespace tornel {
namespace {

constexpr const char* kCaption =
    "MORVEL HCM - Generales - Utilitario de compilación Masiva Morvel HCM";
constexpr const char* kTituloDirectorio = "Seleccionar Directorio de Fuentes Morvel HCM";
constexpr const char* kPreguntaFiltro =
    "Ha establecido un filtro de programas. ¿Desea aplicarlo en esta compilación?";

QFont FontOf(const char* family, int pixels, bool bold = false) {
  QFont font = QFontDatabase::families().contains(family) ? QFont(family) : QApplication::font();
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// "Activo" reads S/N; what is shown is Si/No, and N/A for anything else.
std::string ActivoTexto(const std::string& stored) {
  std::string t = platform::UpperCase(platform::Trim(stored));
  if (!t.empty() && t[0] == 'N') return "No";
  if (!t.empty() && t[0] == 'S') return "Si";
  return "N/A";
}

std::optional<std::string> ActivoEntrada(const std::string& entered) {
  std::string t = platform::UpperCase(platform::Trim(entered));
  if (!t.empty() && (t[0] == 'N' || t[0] == 'S')) return std::string(1, t[0]);
  return std::nullopt;
}

// The set widths, widened where the platform's font would cut a title.
void SizeColumns(QTableView* view, const MemTableModel& model) {
  for (size_t i = 0; i < model.Columns().size(); ++i) {
    const int column = static_cast<int>(i);
    view->setColumnWidth(column, std::max(model.Columns()[i].width,
                                          view->horizontalHeader()->sectionSizeHint(column)));
  }
}

}  // namespace

TFrmGnConfc::TFrmGnConfc(std::string exe_path, IDialogs& dialogs, ProgressFactory progress)
    : dialogs_(dialogs) {
  setWindowTitle(QString::fromUtf8(kCaption));
  setFont(FontOf("Tahoma", 11));
  resize(918, 493);
  setMinimumSize(918, 493);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildHeader(layout);
  pgcMain = new QTabWidget(this);
  pgcMain->setObjectName("pgcMain");
  layout->addWidget(pgcMain, 1);
  tbsParams = BuildParamsPage();
  pgcMain->addTab(tbsParams, "Parámetros");
  layout->addWidget(BuildBottom());

  TornelCore::Hooks hooks;
  hooks.messages = &dialogs_;
  hooks.progress = progress ? std::move(progress) : ProgressFactory([this]() -> std::unique_ptr<IProgress> {
    return std::make_unique<TFrmInfoP50>(this);
  });
  hooks.pump = [this] { Pump(); };
  hooks.cancel_enabled = [this](bool enabled) {
    if (BitBtnCancelar) BitBtnCancelar->setEnabled(enabled);
  };
  core_ = std::make_unique<TornelCore>(std::move(exe_path), std::move(hooks));
  tbsProjProp = BuildProjPropPage();
  pgcMain->addTab(tbsProjProp, "Propiedades de proyectos");
  abrir_reporte = [this] {
    ErrorReportView report(core_->CdsErrores, QString::fromUtf8(kTituloAplicacion));
    report.ShowPreview(this);
  };
  FormCreate();
}

TFrmGnConfc::~TFrmGnConfc() {
  if (!destroyed_) FormDestroy();
  // The views outlive this body (the base class closes them) but the core's
  // tables do not: let go of them first.
  DBGrdGnConfc->setModel(nullptr);
  dbGrdProjProp->setModel(nullptr);
  core_->MmoLogComp.on_change = nullptr;
}

void TFrmGnConfc::BuildHeader(QVBoxLayout* layout) {
  auto* header = new QWidget(this);
  header->setObjectName("GridPanel1");
  header->setFixedHeight(63);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  Panel1 = new QWidget(header);
  Panel1->setObjectName("Panel1");
  auto* panel_layout = new QVBoxLayout(Panel1);
  Label1 = new QLabel("Utilitario de compilación Masiva Morvel HCM", Panel1);
  Label1->setObjectName("Label1");
  Label1->setFont(FontOf("Tahoma", 19, true));
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  panel_layout->addWidget(Label1);
  row->addWidget(Panel1, 1);
  Image1 = new QLabel(header);
  Image1->setObjectName("Image1");
  Image1->setFixedWidth(185);
  Image1->setScaledContents(true);
  Image1->setPixmap(QPixmap::fromImage(ProductLogo(QSize(185, 63))));
  row->addWidget(Image1);
  layout->addWidget(header);
}

QWidget* TFrmGnConfc::BuildParamsPage() {
  auto* page = new QWidget;
  page->setObjectName("tbsParams");

  gbxRutaFuente = new QGroupBox("Ruta de fuentes", page);
  gbxRutaFuente->setObjectName("gbxRutaFuente");
  auto* ruta = new QHBoxLayout(gbxRutaFuente);
  ruta->addWidget(new QLabel("Directorio", gbxRutaFuente));
  EdtRutFuen = new QLineEdit(gbxRutaFuente);
  EdtRutFuen->setObjectName("EdtRutFuen");
  ruta->addWidget(EdtRutFuen, 1);
  BitBtnDirServ = new QToolButton(gbxRutaFuente);
  BitBtnDirServ->setObjectName("BitBtnDirServ");
  BitBtnDirServ->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  BitBtnDirServ->setFixedSize(22, 22);
  ruta->addWidget(BitBtnDirServ);
  btnFiltFnts = new QToolButton(gbxRutaFuente);
  btnFiltFnts->setObjectName("btnFiltFnts");
  btnFiltFnts->setText("Filtro");
  btnFiltFnts->setAutoRaise(true);
  btnFiltFnts->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  btnFiltFnts->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  ruta->addWidget(btnFiltFnts);

  gbxVersion = new QGroupBox("Versión", page);
  gbxVersion->setObjectName("gbxVersion");
  gbxVersion->setFixedWidth(225);
  auto* version = new QGridLayout(gbxVersion);
  version->setContentsMargins(5, 5, 5, 5);
  version->setHorizontalSpacing(3);
  version->addWidget(new QLabel("Major", gbxVersion), 0, 0);
  SpnEdtVerProd = new QSpinBox(gbxVersion);
  SpnEdtVerProd->setObjectName("SpnEdtVerProd");
  SpnEdtVerProd->setFixedWidth(48);
  version->addWidget(SpnEdtVerProd, 1, 0);
  chkVerRelease = new QCheckBox("Inc. Release", gbxVersion);
  chkVerRelease->setObjectName("chkVerRelease");
  chkVerRelease->setChecked(true);
  version->addWidget(chkVerRelease, 1, 1);
  chkVerBuild = new QCheckBox("Build", gbxVersion);
  chkVerBuild->setObjectName("chkVerBuild");
  version->addWidget(chkVerBuild, 0, 2);
  sedVerBuild = new QSpinBox(gbxVersion);
  sedVerBuild->setObjectName("sedVerBuild");
  sedVerBuild->setRange(0, 999999);
  sedVerBuild->setFixedWidth(66);
  sedVerBuild->setValue(99);
  sedVerBuild->setEnabled(false);
  version->addWidget(sedVerBuild, 1, 2);

  gbxFuentes = new QGroupBox("Fuentes encontradas", page);
  gbxFuentes->setObjectName("gbxFuentes");
  DBGrdGnConfc = new QTableView(gbxFuentes);
  DBGrdGnConfc->setObjectName("DBGrdGnConfc");
  DBGrdGnConfc->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrdGnConfc->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrdGnConfc->verticalHeader()->setDefaultSectionSize(20);
  DBGrdGnConfc->verticalHeader()->hide();
  QPalette tip = DBGrdGnConfc->palette();
  tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
  tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
  DBGrdGnConfc->setPalette(tip);
  auto* fuentes = new QVBoxLayout(gbxFuentes);
  fuentes->addWidget(DBGrdGnConfc);

  gbxLog = new QGroupBox("Log de compilación", page);
  gbxLog->setObjectName("gbxLog");
  MmoLogComp = new QPlainTextEdit(gbxLog);
  MmoLogComp->setObjectName("MmoLogComp");
  MmoLogComp->setReadOnly(true);
  MmoLogComp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MmoLogComp->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* log = new QVBoxLayout(gbxLog);
  log->addWidget(MmoLogComp);

  connect(EdtRutFuen, &QLineEdit::textChanged, this, &TFrmGnConfc::EdtRutFuenChange);
  connect(BitBtnDirServ, &QToolButton::clicked, this, &TFrmGnConfc::BitBtnDirServClick);
  connect(btnFiltFnts, &QToolButton::clicked, this, &TFrmGnConfc::btnFiltFntsClick);
  connect(chkVerBuild, &QCheckBox::toggled, this, &TFrmGnConfc::chkVerBuildClick);
  page->installEventFilter(this);
  return page;
}

QWidget* TFrmGnConfc::BuildProjPropPage() {
  auto* page = new QWidget;
  page->setObjectName("tbsProjProp");
  dbGrdProjProp = new QTableView(page);
  dbGrdProjProp->setObjectName("dbGrdProjProp");
  dbGrdProjProp->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbGrdProjProp->verticalHeader()->setDefaultSectionSize(20);
  props_model_ = new MemTableModel(core_->cdsProjProp,
                                   {{"NOM_PROP", 227}, {"ACT_PROP", 42}, {"VAL_PROP", 459}},
                                   true, this);
  props_model_->SetDisplayText("ACT_PROP", ActivoTexto);
  props_model_->SetEntryRule("ACT_PROP", ActivoEntrada);
  dbGrdProjProp->setModel(props_model_);
  SizeColumns(dbGrdProjProp, *props_model_);
  dbGrdProjProp->installEventFilter(this);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(dbGrdProjProp);

  fuentes_model_ = new MemTableModel(core_->CdsGrpFuente,
                                     {{"COD_GSRC", 70},
                                      {"NOM_FUEN", 184},
                                      {"VER_CLIE", 100},
                                      {"NEW_VCLI", 110},
                                      {"PAC_KAGE", 160},
                                      {"VER_SERV", 100},
                                      {"NEW_VSER", 110}},
                                     false, this);
  DBGrdGnConfc->setModel(fuentes_model_);
  SizeColumns(DBGrdGnConfc, *fuentes_model_);
  return page;
}

QWidget* TFrmGnConfc::BuildBottom() {
  PnlBottom = new QWidget(this);
  PnlBottom->setObjectName("PnlBottom");
  PnlBottom->setFixedHeight(52);
  pnlbtns = new QWidget(PnlBottom);
  pnlbtns->setObjectName("pnlbtns");
  pnlbtns->setFixedSize(294, 46);
  struct Button {
    QPushButton*& target;
    const char* name;
    const char* text;
    QStyle::StandardPixmap icon;
    int left;
  } buttons[] = {
      {BitBtnAceptar, "BitBtnAceptar", "&Aceptar", QStyle::SP_DialogApplyButton, 4},
      {BitBtnCancelar, "BitBtnCancelar", "&Cancelar", QStyle::SP_DialogCancelButton, 102},
      {BitBtnErrores, "BitBtnErrores", "&Errores", QStyle::SP_MessageBoxWarning, 200},
  };
  for (Button& b : buttons) {
    b.target = new QPushButton(style()->standardIcon(b.icon), b.text, pnlbtns);
    b.target->setObjectName(b.name);
    b.target->setGeometry(b.left, 6, 89, 33);
  }
  BitBtnCancelar->setEnabled(false);
  BitBtnErrores->setEnabled(false);
  connect(BitBtnAceptar, &QPushButton::clicked, this, &TFrmGnConfc::BitBtnAceptarClick);
  connect(BitBtnCancelar, &QPushButton::clicked, this, &TFrmGnConfc::BitBtnCancelarClick);
  connect(BitBtnErrores, &QPushButton::clicked, this, &TFrmGnConfc::BitBtnErroresClick);
  return PnlBottom;
}

void TFrmGnConfc::FormCreate() {
  TornelCore& c = *core_;
  // The compile log follows the core's log as it is written.
  c.MmoLogComp.on_change = [this](bool cleared, std::string_view text) {
    if (cleared) {
      MmoLogComp->clear();
      return;
    }
    QScrollBar* bar = MmoLogComp->verticalScrollBar();
    const bool at_end = bar->value() == bar->maximum();
    MmoLogComp->moveCursor(QTextCursor::End);
    MmoLogComp->insertPlainText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    if (at_end) bar->setValue(bar->maximum());
  };
  EdtRutFuen->setText(QString::fromStdString(c.EdtRutFuen));
  SpnEdtVerProd->setRange(c.SpnEdtVerProdMin, c.SpnEdtVerProdMax);
  SpnEdtVerProd->setValue(c.SpnEdtVerProd);
  chkVerRelease->setChecked(c.chkVerRelease);
  chkVerBuild->setChecked(c.chkVerBuild);
  sedVerBuild->setValue(c.sedVerBuild);
  chkVerBuildClick();
  pgcMain->setTabVisible(pgcMain->indexOf(tbsProjProp), c.VerProjProp);
  props_model_->Refresh(true);
}

void TFrmGnConfc::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  pgcMain->setCurrentWidget(tbsParams);
  FormResize();
}

void TFrmGnConfc::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

// The log takes what is left of half the page under the source-folder row;
// the found projects take the other half.
void TFrmGnConfc::FormResize() {
  pnlbtns->move(PnlBottom->width() / 2 - pnlbtns->width() / 2, 0);
  const int page_height = tbsParams->height();
  const int page_width = tbsParams->width();
  const int top = std::max(gbxRutaFuente->sizeHint().height(), gbxVersion->sizeHint().height());
  gbxRutaFuente->setGeometry(0, 0, page_width - gbxVersion->width(), top);
  gbxVersion->setGeometry(page_width - gbxVersion->width(), 0, gbxVersion->width(), top);
  const int log_height = std::max(0, page_height / 2 - top);
  const int fuentes_height = std::max(0, page_height - log_height - top);
  gbxFuentes->setGeometry(0, top, page_width, fuentes_height);
  gbxLog->setGeometry(0, top + fuentes_height, page_width, log_height);
}

bool TFrmGnConfc::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tbsParams && event->type() == QEvent::Resize) FormResize();
  if (watched == dbGrdProjProp && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && (key->modifiers() & Qt::ControlModifier)) {
      EliminarPropiedad();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFrmGnConfc::closeEvent(QCloseEvent* event) {
  if (core_->EnEjecucion()) {
    // Closing now would pull the tables from under the run: stop it first.
    core_->SetCancelProc(true);
    event->ignore();
    return;
  }
  if (!destroyed_) FormDestroy();
  event->accept();
}

void TFrmGnConfc::FormDestroy() {
  destroyed_ = true;
  SyncToCore();
  core_->FormDestroy();
}

void TFrmGnConfc::SyncToCore() {
  TornelCore& c = *core_;
  c.EdtRutFuen = EdtRutFuen->text().toStdString();
  c.SpnEdtVerProd = SpnEdtVerProd->value();
  c.chkVerRelease = chkVerRelease->isChecked();
  c.chkVerBuild = chkVerBuild->isChecked();
  c.sedVerBuild = sedVerBuild->value();
}

void TFrmGnConfc::EdtRutFuenChange(const QString& text) {
  if (core_->EnEjecucion()) return;
  core_->EdtRutFuen = text.toStdString();
  core_->EdtRutFuenChange();
  BitBtnErrores->setEnabled(false);
  fuentes_model_->Refresh(true);
}

void TFrmGnConfc::chkVerBuildClick() { sedVerBuild->setEnabled(chkVerBuild->isChecked()); }

void TFrmGnConfc::BitBtnDirServClick() {
  std::string start;
  const std::string typed = EdtRutFuen->text().toStdString();
  if (platform::DirectoryExists(typed))
    start = typed;
  else if (platform::DirectoryExists("C:\\MORVEL"))
    start = "C:\\MORVEL";
  if (auto folder = dialogs_.PickFolder(kTituloDirectorio, start))
    EdtRutFuen->setText(QString::fromStdString(*folder));
}

void TFrmGnConfc::btnFiltFntsClick() {
  QStringList lines;
  for (const std::string& line : core_->FSlFiltProj) lines << QString::fromStdString(line);
  QString text = lines.join('\n');
  if (InputMemo(this, windowTitle(), "Filtrar programas", false, text) != QDialog::Accepted) return;
  core_->FSlFiltProj.clear();
  if (text.isEmpty()) return;
  for (const QString& line : text.split('\n')) core_->FSlFiltProj.push_back(line.toStdString());
}

void TFrmGnConfc::EliminarPropiedad() {
  const QModelIndex current = dbGrdProjProp->currentIndex();
  if (!current.isValid() || core_->EnEjecucion()) return;
  if (!dialogs_.AskYesNo(kTituloAplicacion, "¿Eliminar el registro?")) return;
  props_model_->removeRows(current.row(), 1);
}

void TFrmGnConfc::SetRunning(bool running) {
  for (QWidget* w : std::initializer_list<QWidget*>{BitBtnAceptar, EdtRutFuen, BitBtnDirServ,
                                                    btnFiltFnts, gbxVersion, dbGrdProjProp})
    w->setEnabled(!running);
}

void TFrmGnConfc::Pump() {
  QCoreApplication::processEvents();
  fuentes_model_->Refresh();
}

void TFrmGnConfc::BitBtnAceptarClick() {
  if (core_->EnEjecucion()) return;
  bool aplicar_filtro = false;
  if (!core_->FSlFiltProj.empty())
    aplicar_filtro = dialogs_.AskYesNo(windowTitle().toStdString(), kPreguntaFiltro);
  BitBtnErrores->setEnabled(false);
  SyncToCore();
  SetRunning(true);
  TornelCore::ResultadoCompilacion r = core_->EjecutarCompilacion(aplicar_filtro);
  SetRunning(false);
  fuentes_model_->Refresh(true);
  if (r.resultado == TornelCore::Resultado::kConErrores) BitBtnErrores->setEnabled(true);
  if (r.enfocar_directorio) EdtRutFuen->setFocus();
}

void TFrmGnConfc::BitBtnCancelarClick() { core_->SetCancelProc(true); }

void TFrmGnConfc::BitBtnErroresClick() {
  if (abrir_reporte) abrir_reporte();
}

}  // namespace tornel
