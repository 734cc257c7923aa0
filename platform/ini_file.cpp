#include "platform/ini_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// The profile functions count Ctrl-Z as a blank too.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1a;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// One line of the text: [begin, end) without its line ending; next is where the
// following line starts.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
};

// A line ends at a line feed, a carriage return, or the two together.
std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    line.end = std::min(text.find_first_of("\r\n", pos), text.size());
    line.next = line.end;
    if (line.next < text.size() && text[line.next++] == '\r' && line.next < text.size() &&
        text[line.next] == '\n')
      ++line.next;
    lines.push_back(line);
    pos = line.next;
  }
  return lines;
}

// A section header is '[' up to the last ']' of the line; anything after it is
// ignored. A '[' line without ']' is an ordinary line.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

// A key line has a '='; the name is what precedes the first one.
bool KeyLine(std::string_view line, std::string_view& name, std::string_view& value) {
  line = Trim(line);
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  name = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

// Where the key of the first matching section sits, and where a new key goes.
struct Location {
  bool section_found = false;
  bool key_found = false;
  size_t key_line = 0;
  size_t last_line = 0;  // last non-blank line of the section (its header at least)
};

Location Locate(const std::string& text, const std::vector<Line>& lines,
                std::string_view section, std::string_view key) {
  Location where;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line(text.data() + lines[i].begin, lines[i].end - lines[i].begin);
    std::string_view name, value;
    if (SectionName(line, name)) {
      if (where.section_found) break;  // only the first matching section counts
      inside = SameName(name, section);
      if (inside) {
        where.section_found = true;
        where.last_line = i;
      }
      continue;
    }
    if (!inside) continue;
    if (!Trim(line).empty()) where.last_line = i;
    if (KeyLine(line, name, value) && SameName(name, key)) {
      where.key_found = true;
      where.key_line = i;
      return where;
    }
  }
  return where;
}

size_t CopyCut(std::string_view value, char* out, size_t capacity) {
  if (capacity == 0) return 0;
  size_t n = value.size() < capacity - 1 ? value.size() : capacity - 1;
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return n;
}

}  // namespace

size_t IniReadString(const std::string& text, const char* section, const char* key,
                     const char* default_value, char* out, size_t capacity) {
  std::string_view wanted_section = Trim(section ? section : "");
  std::string_view wanted_key = Trim(key ? key : "");
  std::vector<Line> lines = SplitLines(text);
  Location where = Locate(text, lines, wanted_section, wanted_key);
  if (!where.key_found) {
    // The default loses its trailing spaces, but never its first character.
    std::string_view def = default_value ? default_value : "";
    while (def.size() > 1 && def.back() == ' ') def.remove_suffix(1);
    return CopyCut(def, out, capacity);
  }
  const Line& line = lines[where.key_line];
  std::string_view name, value;
  KeyLine(std::string_view(text.data() + line.begin, line.end - line.begin), name, value);
  // Matching quotes around the value are dropped, as the profile reader does it:
  // the closing quote is removed only when the cut left it as the last character
  // copied, so a cut one short of the full value loses that value's last letter.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value.remove_prefix(1);
    size_t n = CopyCut(value, out, capacity);
    if (capacity >= value.size() && n > 0) out[--n] = '\0';
    return n;
  }
  return CopyCut(value, out, capacity);
}

std::string IniWriteString(const std::string& text, const char* section, const char* key,
                           const char* value) {
  std::string_view wanted_section = Trim(section ? section : "");
  std::string_view wanted_key = Trim(key ? key : "");
  std::string_view new_value = value ? value : "";
  while (!new_value.empty() && IsBlank(new_value.front())) new_value.remove_prefix(1);

  std::vector<Line> lines = SplitLines(text);
  std::string eol = "\r\n";
  if (!lines.empty() && lines[0].next > lines[0].end && text[lines[0].end] == '\n') eol = "\n";

  Location where = Locate(text, lines, wanted_section, wanted_key);
  std::string result;
  if (where.key_found) {
    // Keep the key's own spelling; only the value changes.
    const Line& line = lines[where.key_line];
    std::string_view name, old_value;
    KeyLine(std::string_view(text.data() + line.begin, line.end - line.begin), name, old_value);
    result.assign(text, 0, line.begin);
    result.append(name).append("=").append(new_value);
    result.append(text, line.end, std::string::npos);
    return result;
  }
  std::string key_line;
  key_line.append(wanted_key).append("=").append(new_value);
  if (where.section_found) {
    const Line& last = lines[where.last_line];
    result.assign(text, 0, last.next);
    if (last.next == last.end) result += eol;  // the file ended without a line end
    result.append(key_line).append(eol);
    result.append(text, last.next, std::string::npos);
    return result;
  }
  result = text;
  if (!result.empty() && result.back() != '\n' && result.back() != '\r') result += eol;
  result.append("[").append(wanted_section).append("]").append(eol);
  result.append(key_line).append(eol);
  return result;
}

bool ReadTextFile(const char* path, std::string& text) {
  text.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // In blocks: a character at a time through stream iterators made a large
  // settings file cost seconds.
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) text.append(block, in.gcount());
  return true;
}

bool ReplaceTextFile(const char* path, const std::string& text) {
  std::string temp = std::string(path) + ".tmp";
#ifndef _WIN32
  temp += std::to_string(static_cast<long>(getpid()));
#endif
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
