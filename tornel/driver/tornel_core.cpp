#include "tornel/driver/tornel_core.h"

#include <algorithm>

#include "platform/dates.h"
#include "platform/delimited_text.h"
#include "platform/paths.h"
#include "tornel/build/error_detection.h"
#include "tornel/build/error_report.h"
#include "tornel/build/handoff.h"
#include "tornel/build/program_filter.h"
#include "tornel/driver/tables.h"
#include "tornel/settings/table_file.h"

namespace tornel {
namespace {

constexpr const char* kSection = "INIC";

}  // namespace

TornelCore::TornelCore(std::string exe_path, Hooks hooks)
    : CdsGrpFuente(MakeCdsGrpFuente()),
      CdsErrores(MakeCdsErrores()),
      cdsProjProp(MakeCdsProjProp()),
      exe_path_(std::move(exe_path)),
      hooks_(std::move(hooks)) {
  SetCancelProc(true);
  gStCompilador_ = platform::ExtractFilePath(exe_path_);
  settings_file_ = platform::ChangeFileExt(exe_path_, ".xml");
  table_file_ = platform::ChangeFileExt(exe_path_, "_" + cdsProjProp.Name() + ".xml");
  report_file_ = platform::ChangeFileExt(exe_path_, ".txt");

  FIniFile = std::make_unique<TMXmlIniFile>(settings_file_);
  gBoErrores = false;
  EdtRutFuen = FIniFile->ReadString(kSection, "RUTPROJ", "");
  FSlFiltProj = platform::SplitDelimited(FIniFile->ReadString(kSection, "FILTPROJ", ""), ',',
                                         platform::Delimiting::kLoose);
  const int year = platform::CurrentTwoDigitYear();
  SpnEdtVerProdMin = year;
  SpnEdtVerProdMax = year + 4;
  SpnEdtVerProd = std::clamp(FIniFile->ReadInteger(kSection, "VERPROD", year), SpnEdtVerProdMin,
                             SpnEdtVerProdMax);
  chkVerRelease = FIniFile->ReadBool(kSection, "CHKRELEASE", true);
  chkVerBuild = FIniFile->ReadBool(kSection, "CHKBUILD", false);
  sedVerBuild = std::clamp(FIniFile->ReadInteger(kSection, "VERBUILD", 99), 0, 999999);
  FValidPackages = {"SMORVELOPR",  "SMGNREGLAOP", "SMGNTAREAOP",
                    "SMGNNMSRVOP", "SMGNPSX60OP", "SMINFORMEOP"};
  FIgnoreProjs = {"TORNEL", "CGNACCES", "MGNACCES", "CGNMENUX", "MGNMENUX"};
  VerProjProp = FIniFile->ReadBool(kSection, "VER_PROJ_PROP", false);
  try {
    CargarTablaXml(cdsProjProp, table_file_);
    if (cdsProjProp.RecordCount() == 0) AgregarPropiedadesPorDefecto(cdsProjProp);
  } catch (const std::exception& e) {
    // The window opens with an empty table this time; the next start,
    // without the file, seeds the defaults again.
    hooks_.messages->ShowError(e.what());
  }
}

TornelCore::~TornelCore() = default;

bool TornelCore::FormDestroy() {
  try {
    GuardarTablaXml(cdsProjProp, table_file_);
    FIniFile->WriteString(kSection, "RUTPROJ", EdtRutFuen);
    FIniFile->WriteString(kSection, "FILTPROJ",
                          platform::JoinDelimited(FSlFiltProj, ',', platform::Delimiting::kLoose));
    FIniFile->WriteInteger(kSection, "VERPROD", SpnEdtVerProd);
    FIniFile->WriteBool(kSection, "CHKRELEASE", chkVerRelease);
    FIniFile->WriteBool(kSection, "CHKBUILD", chkVerBuild);
    FIniFile->WriteInteger(kSection, "VERBUILD", sedVerBuild);
    FIniFile->UpdateFile();
    return true;
  } catch (const std::exception& e) {
    hooks_.messages->ShowError(e.what());
    return false;
  }
}

void TornelCore::SetCancelProc(bool Value) {
  FCancelProc = Value;
  if (hooks_.cancel_enabled) hooks_.cancel_enabled(!Value);
}

void TornelCore::EdtRutFuenChange() {
  if (running_) return;
  VaciarResultados();
}

void TornelCore::VaciarResultados() {
  CdsGrpFuente.EmptyTable();
  CdsErrores.EmptyTable();
  gBoErrores = false;
  MmoLogComp.Clear();
}

bool TornelCore::ProyectoEnFiltro(std::string_view code) const {
  return tornel::ProyectoEnFiltro(FBoFiltProj, FSlFiltProj, code);
}

void TornelCore::AgregarError(std::string_view key, std::string_view message) {
  gBoErrores = true;
  CdsErrores.Append();
  CdsErrores.SetText("TXT_ERRO", TextoFilaError(key, message));
  CdsErrores.Post();
}

void TornelCore::AgregarMensajeError(std::string_view message) {
  gBoErrores = true;
  CdsErrores.Append();
  CdsErrores.SetText("TXT_ERRO", message);
  CdsErrores.Post();
}

void TornelCore::ValidarErroresCompilacion(const std::string& program_name,
                                           const std::string& log_text) {
  if (auto line = BuscarLineaError(log_text))
    AgregarError(program_name, "No realizó compilación: " + *line);
}

platform::CaptureResult TornelCore::EjecutarComando(const std::string& command,
                                                    const std::vector<std::string>& args,
                                                    const std::string& working_dir) {
  return tornel::EjecutarComando(command, args, working_dir, MmoLogComp, hooks_.pump);
}

void TornelCore::CompilarProyecto(const std::string& dproj_path, const std::string& program_name) {
  platform::CaptureResult result =
      EjecutarComando(gStCompilador_ + "rsvars.bat",
                      {"Release", platform::ExtractFileName(dproj_path)},
                      platform::ExtractFilePath(dproj_path));
  if (!result.started) {
    AgregarError(program_name, "No realizó compilación: " + result.start_error);
    return;
  }
  ValidarErroresCompilacion(program_name, MmoLogComp.Text());
}

void TornelCore::EjecutarEmpaquetador(const std::string& pStDirectorio) {
  // Without a client project the destination comes from the first server
  // project; without any project there is nothing to hand over.
  const std::string& first = !first_client_.empty() ? first_client_ : first_server_;
  HandoffResult r = tornel::EjecutarEmpaquetador(gStCompilador_, pStDirectorio, first);
  switch (r.outcome) {
    case HandoffResult::Outcome::kStarted:
      Estado("empaquetador: iniciado");
      break;
    case HandoffResult::Outcome::kSkipped:
      Estado("empaquetador: omitido (" + r.detail + ")");
      break;
    case HandoffResult::Outcome::kNotStarted:
      hooks_.messages->ShowError("No se pudo iniciar el empaquetador: " + r.detail);
      break;
  }
}

ProgressScope TornelCore::IniciarProgreso(int count, const std::string& message) const {
  ProgressScope progress(gBoMostrarProgreso && hooks_.progress ? hooks_.progress() : nullptr);
  if (progress) {
    progress->Inicializar(std::max(1, count), true);
    progress->MensajeDelProceso(message);
  }
  return progress;
}

void TornelCore::Estado(const std::string& line) const {
  if (hooks_.status) hooks_.status(line);
}

std::string TornelCore::UltimoError() const {
  if (CdsErrores.RecordCount() == 0) return {};
  const auto* text = std::get_if<std::string>(
      &CdsErrores.Value(CdsErrores.RecordCount() - 1, CdsErrores.FieldIndex("TXT_ERRO")));
  return text ? SinMarcas(*text) : std::string();
}

}  // namespace tornel
