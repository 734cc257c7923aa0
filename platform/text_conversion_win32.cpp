#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

size_t ConvertUtf16ToAnsi(const uint16_t* units, size_t count, char* out, size_t capacity) {
  if (count == 0 || capacity == 0 || count > INT32_MAX || capacity > INT32_MAX) return 0;
  // No flags and no explicit default character: the system's own '?' and best fit.
  int produced = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(units),
                                     static_cast<int>(count), out, static_cast<int>(capacity),
                                     nullptr, nullptr);
  return produced > 0 ? static_cast<size_t>(produced) : 0;
}

std::string AnsiToUtf8(const std::string& text) {
  if (text.empty() || text.size() > INT32_MAX / 4) return {};
  int length = static_cast<int>(text.size());
  int wide_count = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wide_count <= 0) return {};
  std::vector<wchar_t> wide(static_cast<size_t>(wide_count));
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), wide_count);
  int utf8_count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_count, nullptr, 0, nullptr,
                                       nullptr);
  if (utf8_count <= 0) return {};
  std::string utf8(static_cast<size_t>(utf8_count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_count, utf8.data(), utf8_count, nullptr,
                      nullptr);
  return utf8;
}

void CharsetCharacters(uint8_t charset, uint32_t (&out)[256]) {
  if (charset == SYMBOL_CHARSET) {
    for (uint32_t byte = 0; byte < 256; ++byte) out[byte] = 0xF000 + byte;
    return;
  }
  UINT code_page = CP_ACP;
  CHARSETINFO info = {};
  if (charset == OEM_CHARSET) code_page = CP_OEMCP;
  else if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(uintptr_t{charset}), &info, TCI_SRCCHARSET))
    code_page = info.ciACP;
  for (uint32_t byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    wchar_t wide = 0;
    out[byte] = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, &c, 1, &wide, 1) == 1
                    ? wide
                    : 0;
  }
}
