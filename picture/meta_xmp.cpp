// An XMP packet's words and dates: dc:title and dc:description (an rdf:Alt's x-default entry, else its first),
// exif:DateTimeOriginal and xmp:CreateDate as elements or as attributes. A scan for the few names we read, not
// an XML parser: their prefixes are the ones every writer uses.
#include "picture/meta_finds.h"

namespace {

using std::string_view;
const size_t npos = string_view::npos;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  return hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// XML's five named entities and its character references, decoded into UTF-8. False on any other '&', on a
// '<' (markup where text should be) and on text that is no UTF-8.
bool Decoded(string_view text, std::string* out) {
  static const struct { const char* name; char c; } kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<') return false;
    if (text[i] != '&') {
      out->push_back(text[i]);
      continue;
    }
    const size_t end = text.find(';', i);
    if (end == npos || end - i > 10) return false;
    const string_view name = text.substr(i + 1, end - i - 1);
    char named = 0;
    for (const auto& n : kNamed) named = name == n.name ? n.c : named;
    if (named != 0) {
      out->push_back(named);
    } else {
      const bool hex = name.size() > 1 && name[1] == 'x';
      const string_view digits = name.substr(name.empty() || name[0] != '#' ? name.size() : hex ? 2 : 1);
      uint32_t codePoint = 0;  // at most 8 digits: no overflow
      bool digitsOnly = !digits.empty();
      for (char c : digits) {
        digitsOnly = digitsOnly && DigitValue(c, hex) >= 0;
        codePoint = codePoint * (hex ? 16 : 10) + uint32_t(DigitValue(c, hex) & 15);
      }
      if (!digitsOnly || codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return false;
      AppendUtf8(out, codePoint);
    }
    i = end;
  }
  return IsUtf8(*out);
}

// The first element `name` at or after `*from`: its start tag's attributes and its content, `*from` moved
// past it. False when there is none or it is cut. A self-closed element has no content.
bool Element(string_view xml, string_view name, size_t* from, string_view* attributes, string_view* content) {
  for (size_t at = xml.find(name, *from); at != npos; at = xml.find(name, at + 1)) {
    const size_t after = at + name.size();
    if (at == 0 || xml[at - 1] != '<' || after >= xml.size() ||
        (xml[after] != '>' && xml[after] != '/' && !IsSpace(xml[after])))
      continue;
    const size_t close = xml.find('>', after);
    if (close == npos) return false;
    *attributes = xml.substr(after, close - after);
    if (xml[close - 1] == '/') {
      *content = string_view(), *from = close;
      return true;
    }
    const std::string end = "</" + std::string(name) + ">";
    const size_t stop = xml.find(end, close);
    if (stop == npos) return false;
    *content = xml.substr(close + 1, stop - close - 1), *from = stop + end.size();
    return true;
  }
  return false;
}

// The attribute `name`'s value, decoded, from the first place in `tag` where it is given one.
bool Attribute(string_view tag, string_view name, std::string* value) {
  for (size_t at = tag.find(name); at != npos; at = tag.find(name, at + 1)) {
    if (at == 0 || !IsSpace(tag[at - 1])) continue;
    size_t i = at + name.size();
    while (i < tag.size() && IsSpace(tag[i])) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    do ++i;
    while (i < tag.size() && IsSpace(tag[i]));
    if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\'')) return false;
    const size_t end = tag.find(tag[i], i + 1);
    return end != npos && Decoded(tag.substr(i + 1, end - i - 1), value);
  }
  return false;
}

// A simple property, as an element or as an attribute of its rdf:Description.
bool Property(string_view xml, string_view name, std::string* value) {
  size_t from = 0;
  string_view attributes, content;
  if (Element(xml, name, &from, &attributes, &content)) return Decoded(content, value);
  return Attribute(xml, name, value);
}

// A language alternative: the x-default entry of its rdf:Alt, else the first that decodes; or its own text.
bool Alternative(string_view xml, string_view name, std::string* value) {
  size_t from = 0;
  string_view attributes, content;
  if (!Element(xml, name, &from, &attributes, &content)) return false;
  if (content.find('<') == npos) return Decoded(content, value);
  bool found = false;
  std::string text, language;
  string_view entry;
  for (from = 0; Element(content, "rdf:li", &from, &attributes, &entry);) {
    const bool isDefault = Attribute(attributes, "xml:lang", &language) && language == "x-default";
    if ((isDefault || !found) && Decoded(entry, &text)) {
      *value = text, found = true;
      if (isDefault) return true;
    }
  }
  return found;
}

}  // namespace

void ReadXmpFinds(string_view xml, MetaFinds* finds) {
  std::string value;
  if (Alternative(xml, "dc:title", &value)) Keep(&finds->xmpTitle, value);
  if (Alternative(xml, "dc:description", &value)) Keep(&finds->xmpDescription, value);
  if (Property(xml, "exif:DateTimeOriginal", &value)) Keep(&finds->xmpOriginal, XmpDate(value));
  if (Property(xml, "xmp:CreateDate", &value)) Keep(&finds->xmpCreated, XmpDate(value));
}
