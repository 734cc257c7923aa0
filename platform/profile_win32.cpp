#include <windows.h>

#include <climits>

#include "platform/platform.h"

size_t ReadProfileString(const char* section, const char* key, const char* default_value,
                         char* out, size_t capacity, const char* file) {
  if (capacity == 0) return 0;
  DWORD size = capacity > UINT_MAX ? UINT_MAX : static_cast<DWORD>(capacity);
  // A null file name reads the system's default profile (WIN.INI).
  return GetPrivateProfileStringA(section, key, default_value, out, size, file);
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != 0;
}
