// The INI reader and writer on arbitrary text: a read never writes past its
// buffer, and a value just written reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  char out[64];
  size_t n = IniReadString(text, "Quenvale.Orvane", "SampleText", "dflt", out, sizeof out);
  if (n >= sizeof out || out[n] != '\0') std::abort();
  std::string written = IniWriteString(text, "Quenvale.Orvane", "Page", "3");
  char page[8];
  IniReadString(written, "Quenvale.Orvane", "Page", "", page, sizeof page);
  // The write replaces the key that a read finds first, so it reads back.
  if (std::strcmp(page, "3") != 0) std::abort();
  return 0;
}
