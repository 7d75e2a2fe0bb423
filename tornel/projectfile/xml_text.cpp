#include "tornel/projectfile/xml_text.h"

#include <cstring>

#include "platform/error.h"
#include "platform/text.h"

namespace tornel {
namespace {

bool IsText(pugi::xml_node n) {
  return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
}

void CheckHoldsText(pugi::xml_node element) {
  for (pugi::xml_node child : element.children())
    if (child.type() == pugi::node_element)
      throw platform::EXMLDocError(std::string("The element ") + element.name() +
                                   " holds elements instead of text");
}

// Decodes one character reference body ("#65", "#x41"); -1 when invalid.
long CharRef(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return -1;
  bool hex = body[1] == 'x' || body[1] == 'X';
  std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return -1;
  long v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return -1;
    v = v * (hex ? 16 : 10) + d;
  }
  if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return -1;
  return v;
}

}  // namespace

std::string UnescapeXml(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    size_t semi = raw.find(';', i);
    if (semi == std::string_view::npos || semi - i > 12) {
      out += raw[i];
      continue;
    }
    std::string_view body = raw.substr(i + 1, semi - i - 1);
    const char* named = body == "amp"    ? "&"
                        : body == "lt"   ? "<"
                        : body == "gt"   ? ">"
                        : body == "quot" ? "\""
                        : body == "apos" ? "'"
                                         : nullptr;
    if (named) {
      out += named;
    } else if (long cp = CharRef(body); cp > 0) {
      platform::AppendUtf8(out, static_cast<char32_t>(cp));
    } else {
      out += raw[i];
      continue;
    }
    i = semi;
  }
  return out;
}

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> ElementText(pugi::xml_node element) {
  CheckHoldsText(element);
  std::optional<std::string> text;
  for (pugi::xml_node child : element.children()) {
    if (child.type() == pugi::node_pcdata) {
      text = text.value_or("") + UnescapeXml(child.value());
    } else if (child.type() == pugi::node_cdata) {
      text = text.value_or("") + child.value();
    }
  }
  return text;
}

void SetElementText(pugi::xml_node element, std::string_view text) {
  CheckHoldsText(element);
  std::string escaped = EscapeXmlText(text);
  pugi::xml_node first = element.first_child();
  if (first && first == element.last_child() && first.type() == pugi::node_pcdata) {
    first.set_value(escaped.c_str());
    return;
  }
  for (pugi::xml_node child = element.first_child(); child;) {
    pugi::xml_node next = child.next_sibling();
    if (IsText(child)) element.remove_child(child);
    child = next;
  }
  element.append_child(pugi::node_pcdata).set_value(escaped.c_str());
}

std::string VariantToText(const std::optional<std::string>& value) {
  if (!value || value->empty()) return {};
  return platform::ToValidUtf8(*value);
}

std::optional<std::string> AttributeText(pugi::xml_node element, const char* name) {
  pugi::xml_attribute attr = element.attribute(name);
  if (!attr) return std::nullopt;
  return UnescapeXml(attr.value());
}

}  // namespace tornel
