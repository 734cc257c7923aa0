#include "tools/orvane_info/shape_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fontfile/opened_font.h"
#include "fontfile/text_shaping.h"
#include "tools/orvane_info/command_font.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

void ShapeUsage() {
  std::fputs(
      "usage: orvane-info --shape TEXT [--features LIST] [--script TAG] [--language TAG]\n"
      "                   [--variations LIST] [--face N] FONT\n",
      stderr);
}

// The text argument in UTF-8. Windows hands main() its arguments in the ANSI
// code page, which cannot hold most scripts: the text is taken from the wide
// command line there.
std::string TextArgument(char** argv, int index) {
#ifdef _WIN32
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string text = argv[index];  // unless the wide command line gives it
  if (wide && index < count) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
      text.assign(static_cast<size_t>(bytes), '\0');
      WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, text.data(), bytes, nullptr, nullptr);
      text.pop_back();  // the terminating zero
    }
  }
  LocalFree(wide);
  return text;
#else
  return argv[index];
#endif
}

}  // namespace

int ShapeCommand(int argc, char** argv) {
  if (argc < 4) {
    ShapeUsage();
    return 2;
  }
  ShapingRequest request;
  request.text = TextArgument(argv, 2);
  request.glyph_names = true;
  uint32_t face = 0;
  const char* path = nullptr;
  for (int i = 3; i < argc; ++i) {
    // "--option VALUE" or, as hb-shape also takes it, "--option=VALUE".
    std::string arg = argv[i];
    std::string value;
    const size_t equals = arg.find('=');
    const bool option = arg.compare(0, 2, "--") == 0;
    if (option && equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg.resize(equals);
    } else if (option && i + 1 < argc) {
      value = argv[++i];
    }
    bool parsed = true;
    if (arg == "--features") parsed = ParseFeatureList(value, request.features);
    else if (arg == "--variations") parsed = ParseVariationList(value, request.variations);
    else if (arg == "--script") request.script = value;
    else if (arg == "--language") request.language = value;
    else if (arg == "--face") {
      char* end = nullptr;
      const unsigned long number = std::strtoul(value.c_str(), &end, 10);
      parsed = end != value.c_str() && !*end && value[0] != '-' && number <= 0xFFFF;
      face = static_cast<uint32_t>(number);
    } else if (!path && !option) path = argv[i];
    else parsed = false;
    if (!parsed) {
      std::fprintf(stderr, "orvane-info: --shape: cannot use %s\n", argv[i]);
      ShapeUsage();
      return 2;
    }
  }
  if (!path) {
    ShapeUsage();
    return 2;
  }
  OpenedFont font;
  if (const int status = OpenCommandFont(path, font)) return status;
  const ShapedRun run = ShapeText(font, face, request);
  if (!run.opened) {
    std::fprintf(stderr, "orvane-info: %s: no sfnt font with face %u\n", path, face);
    return 1;
  }
  if (run.unshaped())
    std::fprintf(stderr, "orvane-info: %s: its %s table is refused: the text is not shaped\n",
                 path, run.gsub_refused ? "GSUB" : "GPOS");
  if (run.text_cut)
    std::fprintf(stderr, "orvane-info: the text is cut after %u characters\n", kShapingTextLimit);
  const std::string line = FormatShapedRun(run) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  return 0;
}
