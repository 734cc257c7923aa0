#include "tools/orvane_info/output_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/platform.h"

namespace {
constexpr size_t kLabelWidth = 22;

#ifndef _WIN32

// Length of the well-formed UTF-8 sequence at text[at], or 0.
size_t Utf8SequenceLength(const std::string& text, size_t at) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if (lead == 0xE0 && byte(at + 1) < 0xA0) return 0;
  if (lead == 0xED && byte(at + 1) >= 0xA0) return 0;
  if (lead == 0xF0 && byte(at + 1) < 0x90) return 0;
  if (lead == 0xF4 && byte(at + 1) >= 0x90) return 0;
  return length;
}
#endif
}  // namespace

std::string JsonString(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out += '"';
  // Runs that need no escape are copied whole: names and licences are long.
  size_t run = 0;
  for (size_t at = 0; at < utf8.size(); ++at) {
    const char c = utf8[at];
    const uint8_t byte = static_cast<uint8_t>(c);
    if (c != '"' && c != '\\' && byte >= 0x20) continue;
    out.append(utf8, run, at - run);
    run = at + 1;
    if (byte >= 0x20) {
      out += '\\';
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    }
  }
  out.append(utf8, run, utf8.size() - run);
  out += '"';
  return out;
}

std::string PathToUtf8(const std::string& path) {
#ifdef _WIN32
  return AnsiToUtf8(path);
#else
  std::string out;
  for (size_t at = 0; at < path.size();) {
    size_t length = Utf8SequenceLength(path, at);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++at;
    } else {
      out.append(path, at, length);
      at += length;
    }
  }
  return out;
#endif
}

std::string ListingRow(const std::string& label, const std::string& value) {
  std::string row = "  " + label;
  row.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
  return row + value + "\n";
}

std::string OneLine(const std::string& utf8, size_t columns) {
  const size_t end = utf8.find_first_of("\r\n");
  std::string line = utf8.substr(0, end);
  const bool more = end != std::string::npos && utf8.find_first_not_of("\r\n", end) != std::string::npos;
  // Where each character starts, so that a cut never splits a sequence.
  std::vector<size_t> starts;
  for (size_t i = 0; i < line.size(); ++i)
    if ((static_cast<uint8_t>(line[i]) & 0xC0) != 0x80) starts.push_back(i);
  if (!more && starts.size() <= columns) return line;
  const size_t keep = std::min(starts.size(), columns - 1);
  line.resize(keep < starts.size() ? starts[keep] : line.size());
  return line + "\xE2\x80\xA6";
}
