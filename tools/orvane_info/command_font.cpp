#include "tools/orvane_info/command_font.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "text/language.h"
#include "text/web_font_text.h"

std::string OpenProblem(const char* path) {
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return "no such file";
  if (!std::filesystem::is_regular_file(status)) return "not a regular file";
  if (std::filesystem::file_size(path, error) == 0 && !error) return "empty file";
  return "cannot be opened or mapped";
}

std::string WebFontProblemText(WebFontProblem problem) {
  if (problem == WebFontProblem::kNone) return {};
  const int text = WebFontProblemTextId(problem);
  return text < 0 ? "not enough memory to decode it" : EnglishString(text);
}

int OpenCommandFont(const char* path, OpenedFont& font) {
  if (!OpenFontFile(path, font)) {
    std::fprintf(stderr, "orvane-info: %s: %s\n", path, OpenProblem(path).c_str());
    return 2;
  }
  if (font.container.kind != WebFontKind::kNone && font.decoded.empty()) {
    std::fprintf(stderr, "orvane-info: %s: %s\n", path,
                 WebFontProblemText(font.container.problem).c_str());
    return 1;
  }
  return 0;
}
