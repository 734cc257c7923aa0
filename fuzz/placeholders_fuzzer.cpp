// A translation and an English text from one input, split at the first NUL;
// the repaired text then goes through the load-error formatter.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  std::string translation = input.substr(0, split);
  std::string english = split == std::string::npos ? "Unable to load \"%s\".\nError %d: %s"
                                                   : input.substr(split + 1);
  std::string repaired = RepairPlaceholders(translation, english);
  // Repair never lengthens a translation whose English side ends its conversions in s or d.
  std::string text = FormatLoadError(repaired, "C:\\Fonts\\demo.ttf", -1, "message");
  (void)text;
  return 0;
}
