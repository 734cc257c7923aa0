#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/platform.h"

// The ANSI code page off Windows is Windows-1252, the one a Western Windows uses,
// so that tests expect the same bytes natively and under Wine.
namespace {

constexpr const char* kAnsiCharset = "WINDOWS-1252";
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr const char* kHostUtf16 = "UTF-16LE";
#else
constexpr const char* kHostUtf16 = "UTF-16BE";
#endif

// Closes the descriptor when the conversion ends.
struct IconvHandle {
  iconv_t handle;
  explicit IconvHandle(const char* to, const char* from) : handle(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }
  bool ok() const { return handle != reinterpret_cast<iconv_t>(-1); }
};

bool IsHighSurrogate(uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Windows turns the five code points that Windows-1252 leaves undefined into the
// bytes of the same value; iconv knows no such mapping.
bool IsUndefinedInCp1252(uint16_t unit) {
  return unit == 0x81 || unit == 0x8D || unit == 0x8F || unit == 0x90 || unit == 0x9D;
}

}  // namespace

size_t ConvertUtf16ToAnsi(const uint16_t* units, size_t count, char* out, size_t capacity) {
  if (count == 0 || capacity == 0) return 0;
  IconvHandle cd(kAnsiCharset, kHostUtf16);
  if (!cd.ok()) return 0;
  char* in = reinterpret_cast<char*>(const_cast<uint16_t*>(units));
  size_t in_left = count * sizeof(uint16_t);
  char* next = out;
  size_t out_left = capacity;
  while (in_left > 0) {
    if (iconv(cd.handle, &in, &in_left, &next, &out_left) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) return 0;
    // A character without a Windows-1252 form: '?' for each code unit, as
    // Windows writes a surrogate pair as two.
    size_t at = count - in_left / sizeof(uint16_t);
    uint16_t unit = units[at];
    size_t skipped = 1;
    if (IsHighSurrogate(unit) && at + 1 < count && IsLowSurrogate(units[at + 1])) skipped = 2;
    if (out_left < skipped) return 0;
    for (size_t i = 0; i < skipped; ++i)
      *next++ = IsUndefinedInCp1252(unit) ? static_cast<char>(unit) : '?';
    out_left -= skipped;
    in += skipped * sizeof(uint16_t);
    in_left -= skipped * sizeof(uint16_t);
    iconv(cd.handle, nullptr, nullptr, nullptr, nullptr);
  }
  return capacity - out_left;
}

std::string AnsiToUtf8(const std::string& text) {
  std::string result;
  if (text.empty()) return result;
  IconvHandle cd("UTF-8", kAnsiCharset);
  if (!cd.ok()) return result;
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char buffer[256];
  while (in_left > 0) {
    char* next = buffer;
    size_t out_left = sizeof buffer;
    size_t done = iconv(cd.handle, &in, &in_left, &next, &out_left);
    result.append(buffer, static_cast<size_t>(next - buffer));
    if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // Windows reads the five undefined bytes as the code points of the same value.
    uint8_t byte = static_cast<uint8_t>(*in);
    if (IsUndefinedInCp1252(byte)) {
      result += static_cast<char>(0xC2);
      result += static_cast<char>(byte);
    } else {
      result += "\xEF\xBF\xBD";
    }
    ++in;
    --in_left;
    iconv(cd.handle, nullptr, nullptr, nullptr, nullptr);
  }
  return result;
}
