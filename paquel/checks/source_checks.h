// The coding rules a program's units and text forms must pass before a
// release: calls and libraries that must not ship, connections and data sets
// left open at design time, cleared creation events, editable report
// previews, server fields and references the server must not hold, and the
// notes title every client form needs. One validator serves a whole run so
// its patterns are compiled once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "paquel/checks/source_state.h"
#include "paquel/packaging/pq_string_list.h"
#include "platform/regex.h"

namespace paquel {

// True when a form line opens an object: trimmed and upper-cased, it holds
// "OBJECT" or "INHERIT" anywhere.
bool EsLineaDeObjeto(std::string_view line);

class ValidadorFuentes {
 public:
  ValidadorFuentes();

  // Checks one unit (".pas") or text form (".dfm") of the client program
  // ("Cliente") or of the server ("Servidor"). Warnings go to pSlMensaje; the
  // flags and offending object names accumulate in estado across the files
  // of one program. Answers 0 (nothing), 1 (open connection), 2 (client
  // object met before any notes title), 3 (active SClientDataSet), 6
  // (OnCreate set to nil), 7 (OnCreate set to a handler) or 8 (CdsGnEmpre
  // active). Never throws: a file that cannot be loaded or checked adds two
  // lines and keeps the code reached.
  int ValidarConexion(const std::string& pStFileName, const std::string& pStTipCarpeta,
                      TPqStringList& pSlMensaje, EstadoFuentes& estado) const;

 private:
  void ValidarUnidad(std::string_view texto, const std::string& nombre,
                     const std::string& pStTipCarpeta, TPqStringList& pSlMensaje,
                     EstadoFuentes& estado) const;
  // result holds the code reached, also when a failure ends the scan.
  void ValidarForma(std::string_view texto, const std::vector<std::string_view>& lineas,
                    const std::string& nombre, const std::string& pStTipCarpeta,
                    TPqStringList& pSlMensaje, EstadoFuentes& estado, int& result) const;

  // Unit rules.
  platform::Regex FReDisenoComentado;
  platform::Regex FReRptPreview;
  platform::Regex FReDnmLibre;
  platform::Regex FReQuickReport;
  platform::Regex FReApplicationTag;
  platform::Regex FReValorEscrito;
  platform::Regex FReTodoQuemado;
  // Form rules.
  platform::Regex FReActivo;
  platform::Regex FReOnCreate;
  platform::Regex FRePreviewOptions;
  platform::Regex FReAllowEdit;
  platform::Regex FRePdfExport;
  platform::Regex FReReporte;
};

}  // namespace paquel
