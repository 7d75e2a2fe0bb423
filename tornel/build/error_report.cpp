#include "tornel/build/error_report.h"

#include "platform/files.h"

namespace tornel {

MemTable MakeCdsErrores() {
  return MemTable("CdsErrores", {{"TXT_ERRO", FieldType::kText, 2048, "TXT_ERRO"}});
}

std::string TextoFilaError(std::string_view key, std::string_view message) {
  return "<b>" + std::string(key) + "</b>  " + std::string(message);
}

std::string SinMarcas(std::string_view row) {
  if (!row.starts_with("<b>")) return std::string(row);
  size_t close = row.find("</b>", 3);
  if (close == std::string_view::npos) return std::string(row);
  return std::string(row.substr(3, close - 3)) + std::string(row.substr(close + 4));
}

void EscribirReporteTexto(const MemTable& CdsErrores, const std::string& path) {
  const size_t field = CdsErrores.FieldIndex("TXT_ERRO");
  std::string text;
  for (int row = 0; row < CdsErrores.RecordCount(); ++row) {
    const auto* value = std::get_if<std::string>(&CdsErrores.Value(row, field));
    text += SinMarcas(value ? *value : std::string());
    text += '\n';
  }
  platform::WriteFileAtomic(path, text);
}

}  // namespace tornel
