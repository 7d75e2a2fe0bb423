// Project files are loaded raw, so that saving an untouched document gives
// back its bytes: values come out of the document still escaped and go in
// verbatim. This is the one place where they are escaped and unescaped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace tornel {

std::string UnescapeXml(std::string_view raw);
// Escapes what element text cannot hold literally: "&", "<" and ">".
std::string EscapeXmlText(std::string_view text);

// The text of an element: nullopt when it has none (no text child at all).
// Throws EXMLDocError when the element holds elements instead of text.
std::optional<std::string> ElementText(pugi::xml_node element);
// Replaces the text of an element; same failure as ElementText.
void SetElementText(pugi::xml_node element, std::string_view text);

// A value read from the document as the programs use it: absent or empty
// gives the empty text; bytes that are not UTF-8 are read as Windows-1252.
std::string VariantToText(const std::optional<std::string>& value);
std::optional<std::string> AttributeText(pugi::xml_node element, const char* name);

}  // namespace tornel
