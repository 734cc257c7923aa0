// Unescaping stored sample text: any bytes, never past 1023 characters, and a
// text without backslashes comes back from escaping unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string stored(reinterpret_cast<const char*>(data), size);
  std::string text = UnescapeSampleText(stored);
  if (text.size() > 1023) std::abort();
  if (text.find('\\') == std::string::npos && text.find('\0') == std::string::npos &&
      UnescapeSampleText(EscapeSampleText(text)) != text)
    std::abort();
  return 0;
}
