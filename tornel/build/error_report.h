// The error table of a compile run and its plain-text report. Keyed rows
// carry their key in bold markup ("<b>key</b>  message") for the previewed
// report; the text report shows the same rows without it.
#pragma once

#include <string>
#include <string_view>

#include "tornel/settings/mem_table.h"

namespace tornel {

// CdsErrores: one text field TXT_ERRO of 2048 characters.
MemTable MakeCdsErrores();

std::string TextoFilaError(std::string_view key, std::string_view message);
// A row's text without the bold markup around its key.
std::string SinMarcas(std::string_view row);

// Writes every row of CdsErrores, in order, one per line, without markup;
// the file is replaced whole or not at all. Throws EFCreateError.
void EscribirReporteTexto(const MemTable& CdsErrores, const std::string& path);

}  // namespace tornel
