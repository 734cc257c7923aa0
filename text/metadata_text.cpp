#include "text/metadata_text.h"

#include <algorithm>
#include <cstdint>

#include "platform/platform.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameChar(char c) {
  return !IsBlank(c) && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\'';
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code of a character reference's digits ("#65", "#x41"), or 0 when they
// name no character that may stand in XML text.
uint32_t ReferenceCode(std::string_view digits) {
  const bool hex = digits.size() > 1 && (digits[1] == 'x' || digits[1] == 'X');
  const std::string_view number = digits.substr(hex ? 2 : 1);
  if (number.empty() || number.size() > 8) return 0;
  uint32_t code = 0;
  for (char c : number) {
    uint32_t digit;
    if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
    else if (hex && c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
    else return 0;
    code = code * (hex ? 16 : 10) + digit;
  }
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  if (code < 0x20 && code != '\t' && code != '\n' && code != '\r') return 0;
  return code;
}

// Text with its entities replaced and every run of blanks made one space.
std::string DecodeText(std::string_view raw) {
  std::string out;
  bool blank = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (IsBlank(c)) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    if (c != '&') {
      out += c;
      continue;
    }
    const size_t end = raw.find(';', i);
    const std::string_view name =
        end == std::string_view::npos || end - i > 12 ? std::string_view() : raw.substr(i + 1, end - i - 1);
    static constexpr struct {
      std::string_view name;
      char character;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    bool replaced = false;
    for (const auto& entity : kNamed)
      if (name == entity.name) {
        out += entity.character;
        replaced = true;
      }
    if (!replaced && !name.empty() && name[0] == '#') {
      if (const uint32_t code = ReferenceCode(name)) {
        AppendUtf8(out, code);
        replaced = true;
      }
    }
    if (replaced) i = end;
    else out += c;  // shown as written
  }
  return out;
}

struct Parser {
  std::string_view xml;
  size_t at = 0;
  std::vector<MetadataLine> lines;
  std::vector<bool> has_text;  // by line: text was added after the attributes
  std::vector<size_t> open;  // the line of each open element; kNoLine past the bounds
  std::vector<std::string> open_names;  // the name of each open element
  static constexpr size_t kNoLine = SIZE_MAX;

  bool Starts(std::string_view prefix) const { return xml.substr(at, prefix.size()) == prefix; }

  // Moves past `end`; false (at the end of the text) when it never comes.
  bool SkipPast(std::string_view end) {
    const size_t found = xml.find(end, at);
    if (found == std::string_view::npos) {
      at = xml.size();
      return false;
    }
    at = found + end.size();
    return true;
  }

  void Add(size_t line, std::string_view piece, std::string_view separator) {
    if (line == kNoLine || piece.empty()) return;
    std::string& text = lines[line].text;
    if (text.size() >= kMaxMetadataLineLength) return;
    text += separator;
    text += piece;
    if (text.size() > kMaxMetadataLineLength) text.resize(kMaxMetadataLineLength);
  }

  // The text between elements goes to the innermost open one; text outside
  // every element is not shown.
  void Text(std::string_view raw, bool character_data = false) {
    if (open.empty()) return;
    const size_t line = open.back();
    if (line == kNoLine) return;
    const std::string text = character_data ? std::string(raw) : DecodeText(raw);
    if (text.empty()) return;
    Add(line, text, has_text[line] ? " " : ": ");
    has_text[line] = true;
  }

  // A start tag "<name attr="value" ...>" or "<name .../>", from its '<'.
  // The enclosing elements below the outermost one, as "credits / credit".
  std::string Path() const {
    std::string path;
    for (size_t i = 1; i < open_names.size(); ++i) {
      if (!path.empty()) path += " / ";
      path += open_names[i];
    }
    return path;
  }

  void StartTag() {
    ++at;
    const size_t name_start = at;
    while (at < xml.size() && IsNameChar(xml[at])) ++at;
    const std::string name = DecodeText(xml.substr(name_start, at - name_start));
    // The format's markup inside a text: its words belong to the text's line.
    const bool inline_markup = (name == "span" || name == "div") && !open.empty();
    size_t line = kNoLine;
    if (!inline_markup && lines.size() < kMaxMetadataLines) {
      const int depth = std::min(static_cast<int>(open.size()), kMaxMetadataDepth);
      lines.push_back({depth, name, Path()});
      has_text.push_back(false);
      line = lines.size() - 1;
    }
    bool first = true;
    while (at < xml.size()) {
      while (at < xml.size() && IsBlank(xml[at])) ++at;
      if (at >= xml.size()) break;
      if (xml[at] == '>') {
        ++at;
        if (!first) Add(line, "]", "");
        open.push_back(inline_markup ? open.back() : line);
        open_names.push_back(name);
        return;
      }
      if (Starts("/>")) {
        at += 2;
        if (!first) Add(line, "]", "");
        return;
      }
      const size_t attribute_start = at;
      while (at < xml.size() && IsNameChar(xml[at])) ++at;
      const std::string_view attribute = xml.substr(attribute_start, at - attribute_start);
      while (at < xml.size() && IsBlank(xml[at])) ++at;
      std::string value;
      if (at < xml.size() && xml[at] == '=') {
        ++at;
        while (at < xml.size() && IsBlank(xml[at])) ++at;
        if (at < xml.size() && (xml[at] == '"' || xml[at] == '\'')) {
          const char quote = xml[at++];
          const size_t value_end = xml.find(quote, at);
          const size_t stop = value_end == std::string_view::npos ? xml.size() : value_end;
          value = DecodeText(xml.substr(at, stop - at));
          at = stop == xml.size() ? stop : stop + 1;
        }
      }
      if (attribute.empty()) {
        ++at;  // a stray character: stepped over
        continue;
      }
      Add(line, std::string(attribute) + "=" + value, first ? " [" : ", ");
      first = false;
    }
    if (!first) Add(line, "]", "");  // the text ended inside the tag
  }

  void EndTag() {
    SkipPast(">");
    if (!open.empty()) open.pop_back();
    if (!open_names.empty()) open_names.pop_back();
  }

  void Run() {
    while (at < xml.size()) {
      const size_t next = xml.find('<', at);
      if (next != at) {
        const size_t stop = next == std::string_view::npos ? xml.size() : next;
        Text(xml.substr(at, stop - at));
        at = stop;
        continue;
      }
      if (Starts("<!--")) {
        SkipPast("-->");
      } else if (Starts("<![CDATA[")) {
        at += 9;
        const size_t end = xml.find("]]>", at);
        const size_t stop = end == std::string_view::npos ? xml.size() : end;
        Text(xml.substr(at, stop - at), true);
        at = stop == xml.size() ? stop : stop + 3;
      } else if (Starts("<?")) {
        SkipPast("?>");
      } else if (Starts("<!")) {
        SkipDeclaration();
      } else if (Starts("</")) {
        EndTag();
      } else {
        StartTag();
      }
    }
  }

  // "<!DOCTYPE ... [ ... ]>": its internal subset may hold '>' of its own.
  void SkipDeclaration() {
    int brackets = 0;
    for (++at; at < xml.size(); ++at) {
      if (xml[at] == '[') ++brackets;
      else if (xml[at] == ']') --brackets;
      else if (xml[at] == '>' && brackets <= 0) {
        ++at;
        return;
      }
    }
  }
};

// The next code point of UTF-8 text, or U+FFFD for a byte that begins no valid
// sequence (which is then stepped over alone).
uint32_t NextCodePoint(std::string_view text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  const size_t extra = lead >= 0xC2 && lead < 0xE0   ? 1
                       : lead >= 0xE0 && lead < 0xF0 ? 2
                       : lead >= 0xF0 && lead < 0xF5 ? 3
                                                     : 0;
  if (extra == 0 || text.size() - at <= extra) {
    ++at;
    return 0xFFFD;
  }
  uint32_t code = lead & (0x3Fu >> extra);
  for (size_t i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return 0xFFFD;
    }
    code = code << 6 | (byte(at + i) & 0x3F);
  }
  static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++at;
    return 0xFFFD;
  }
  at += extra + 1;
  return code;
}

}  // namespace

std::vector<MetadataLine> MetadataLines(std::string_view xml) {
  Parser parser;
  parser.xml = xml;
  parser.Run();
  return std::move(parser.lines);
}

std::string Utf8ToAnsi(std::string_view text) {
  std::vector<uint16_t> units;
  units.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const uint32_t code = NextCodePoint(text, at);
    if (code >= 0x10000) {
      units.push_back(static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<uint16_t>(code));
    }
  }
  if (units.empty()) return {};
  std::string out(units.size() * 4, '\0');
  out.resize(ConvertUtf16ToAnsi(units.data(), units.size(), out.data(), out.size()));
  return out;
}
