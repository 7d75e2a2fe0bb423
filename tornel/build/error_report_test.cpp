#include "tornel/build/error_report.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/strings.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

TEST(ErrorReport, RowsWithAndWithoutMarkup) {
  EXPECT_EQ(TextoFilaError("GGNABC", "El proyecto Cliente no usa paquetes."),
            "<b>GGNABC</b>  El proyecto Cliente no usa paquetes.");
  EXPECT_EQ(SinMarcas("<b>GGNABC</b>  msg <b>x</b>"), "GGNABC  msg <b>x</b>");
  EXPECT_EQ(SinMarcas("No se encontraron proyectos válidos para compilar"),
            "No se encontraron proyectos válidos para compilar");
  EXPECT_EQ(SinMarcas("<b>unclosed"), "<b>unclosed");
}

TEST(ErrorReport, TextReportHasOneLinePerRowInOrder) {
  testsupport::TempDir t;
  MemTable table = MakeCdsErrores();
  for (std::string row : {TextoFilaError("MGNX", "No realizó compilación: a error b"),
                          std::string("No se encontraron proyectos válidos para compilar"),
                          TextoFilaError("K", std::string(3000, 'z'))}) {
    table.Append();
    table.SetText("TXT_ERRO", row);
    table.Post();
  }
  std::string path = t.Path("Tornel.txt");
  EscribirReporteTexto(table, path);
  std::string want = "MGNX  No realizó compilación: a error b\n"
                     "No se encontraron proyectos válidos para compilar\n"
                     "K  " + std::string(2048 - 10, 'z') + "\n";  // the stored row holds 2048 characters
  EXPECT_EQ(testsupport::ReadAll(path), want);
  EXPECT_THROW(EscribirReporteTexto(table, t.Path("gone/Tornel.txt")), platform::EFCreateError);
}

}  // namespace
}  // namespace tornel
