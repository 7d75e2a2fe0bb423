// The project-properties table outlives the program in an XML file of our
// own layout, read once when the main window opens and written once when it
// closes:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <table name="cdsProjProp">
//     <fields>
//       <field name="COD_PROP" type="text" size="254" />
//       <field name="USA_PKGE" type="boolean" />
//     </fields>
//     <rows>
//       <row COD_PROP="DCU_OUTPUT_CLI" USA_PKGE="true" />
//     </rows>
//   </table>
//
// A row holds one attribute per non-null value, named after its field, so a
// missing attribute is a null and an empty one an empty text. Attribute
// values carry line breaks and other control characters as character
// references, so every text comes back as it was saved.
#pragma once

#include <string>
#include <string_view>

#include "platform/error.h"
#include "tornel/settings/mem_table.h"

namespace tornel {

// A table file is well-formed XML but not in the layout above.
PLATFORM_DECLARE_ERROR(ETableFileError);

// Empties the table and fills it from the file when there is one. Values are
// matched to the table's declared fields by name: fields the file does not
// declare are null, fields the table does not declare are ignored, texts
// are cut to the declared size. A file that cannot be loaded is copied to
// "<file>.bak" and then deleted (kept if no copy could be made), so the next
// start begins afresh; its error (EFOpenError, EDOMParseError,
// ETableFileError) is passed on with the table left empty. A blank file
// name leaves the table empty.
void CargarTablaXml(MemTable& table, const std::string& file);

// Posts a pending row, then replaces the file with the whole table; the
// file is never left half-written. A blank file name saves nothing. Throws
// EFCreateError, or ETableFileError for a field name that cannot name an
// XML attribute.
void GuardarTablaXml(MemTable& table, const std::string& file);

// The first character of the trimmed text, upper-cased (ASCII letters);
// '\0' for a blank text. A one-letter flag such as "S"/"N" is read with it.
char PrimeraLetraMayuscula(std::string_view text);

}  // namespace tornel
