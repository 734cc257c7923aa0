#include <string>

#include "platform/ini_file.h"
#include "platform/platform.h"

// There is no system-wide default profile here: without a file, reads give the
// default and writes go nowhere.
size_t ReadProfileString(const char* section, const char* key, const char* default_value,
                         char* out, size_t capacity, const char* file) {
  std::string text;
  if (file) ReadTextFile(file, text);
  return IniReadString(text, section, key, default_value, out, capacity);
}

std::string ReadProfileSection(const char*, const char* file) {
  std::string text;
  if (file) ReadTextFile(file, text);
  return text;
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* file) {
  if (!file) return false;
  std::string text;
  ReadTextFile(file, text);
  return ReplaceTextFile(file, IniWriteString(text, section, key, value));
}
