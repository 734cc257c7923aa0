#include <cstring>
#include <string>

#include "platform/platform.h"

// The ANSI code page off Windows is Windows-1252, the one a Western Windows uses,
// so that tests expect the same bytes natively and under Wine. It differs from
// Latin-1 only in 0x80-0x9F, so a table of 32 code points is the whole code page;
// a converter library would cost a process more to load than its names take to read.
namespace {

// The code points of the bytes 0x80-0x9F. Windows reads the five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) as the code
// points of the same value, and writes those code points back as those bytes.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The byte of a code point, or -1 when Windows-1252 has none.
int ByteOf(uint16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == unit) return 0x80 + i;
  return -1;
}

uint16_t CodePointOf(uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

}  // namespace

size_t ConvertUtf16ToAnsi(const uint16_t* units, size_t count, char* out, size_t capacity) {
  if (count == 0 || capacity == 0) return 0;
  size_t written = 0;
  for (size_t at = 0; at < count; ++at) {
    if (written == capacity) return 0;
    const int byte = ByteOf(units[at]);
    if (byte >= 0) {
      out[written++] = static_cast<char>(byte);
      continue;
    }
    // A character without a Windows-1252 form is '?' for each code unit, as
    // Windows writes a surrogate pair as two.
    out[written++] = '?';
    if (IsHighSurrogate(units[at]) && at + 1 < count && IsLowSurrogate(units[at + 1])) {
      if (written == capacity) return 0;
      out[written++] = '?';
      ++at;
    }
  }
  return written;
}

std::string AnsiToUtf8(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const uint16_t point = CodePointOf(static_cast<uint8_t>(c));
    if (point < 0x80) {
      result += static_cast<char>(point);
    } else if (point < 0x800) {
      result += static_cast<char>(0xC0 | point >> 6);
      result += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      result += static_cast<char>(0xE0 | point >> 12);
      result += static_cast<char>(0x80 | (point >> 6 & 0x3F));
      result += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  return result;
}

void CharsetCharacters(uint8_t charset, uint32_t (&out)[256]) {
  constexpr uint8_t kAnsi = 0, kDefault = 1, kSymbol = 2;
  for (uint32_t byte = 0; byte < 256; ++byte) {
    if (charset == kSymbol) out[byte] = 0xF000 + byte;
    else if (charset == kAnsi || charset == kDefault) out[byte] = CodePointOf(uint8_t(byte));
    else out[byte] = byte < 0x80 ? byte : 0;
  }
}
