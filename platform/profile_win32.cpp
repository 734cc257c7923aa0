#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/platform.h"

// platform.h takes <windows.h>'s WriteProfileString macro away only when it comes
// second; compiled in one unit with other sources, it may have come first.
#undef WriteProfileString

size_t ReadProfileString(const char* section, const char* key, const char* default_value,
                         char* out, size_t capacity, const char* file) {
  if (capacity == 0) return 0;
  DWORD size = capacity > UINT_MAX ? UINT_MAX : static_cast<DWORD>(capacity);
  // A null file name reads the system's default profile (WIN.INI).
  return GetPrivateProfileStringA(section, key, default_value, out, size, file);
}

std::string ReadProfileSection(const char* section, const char* file) {
  // "key=value" strings, each ended by a zero, as the file holds them (quotes
  // kept); a buffer too small gives its size less two, and is made larger.
  std::vector<char> buffer(16384);
  DWORD length = 0;
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    length = GetPrivateProfileSectionA(section, buffer.data(), size, file);
    if (length + 2 < size || buffer.size() >= (1u << 24)) break;
    buffer.resize(buffer.size() * 4);
  }
  std::string text = std::string("[") + section + "]\n";
  text.reserve(text.size() + length + 1);
  for (DWORD i = 0; i < length; ++i) text += buffer[i] == '\0' ? '\n' : buffer[i];
  return text;
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != 0;
}
