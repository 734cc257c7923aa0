// orvane-info: reads font files the way the viewer does and prints what it found.
//   orvane-info [--json] FILE...   one listing (or one JSON object per line) per face;
//                                  a collection's face that is the same font as an
//                                  earlier one (the same offset, or a directory alike)
//                                  is listed once, as the earlier face
//   orvane-info --summary FILE...  the listing with every value on one short line
//   orvane-info --glyphs FILE...   every glyph of every face, tab-separated: index, name, the
//                                  characters that reach it, the features that produce it (","-separated)
//   orvane-info --report FILE [FACE]  the Info page's text (of face FACE, 0-based)
//   orvane-info --decode FILE OUT [FILE OUT ...]  writes the sfnt font each WOFF or WOFF2 file holds
//   orvane-info --instance FILE OUT [--face N] [--family NAME] [--repeat N] [TAG=VALUE...]
//                                  writes the static font of a variable font's point
//                                  (axes not named stay at their default); --repeat
//                                  builds it N times and prints the median time and
//                                  the work charged (glyf points, component visits,
//                                  gvar, HVAR, MVAR, name bytes)
//   orvane-info --shape TEXT [--features LIST] [--script TAG] [--language TAG]
//               [--variations LIST] [--face N] FONT
//                                  the text shaped by HarfBuzz, as hb-shape prints it
//   orvane-info --help (or -h)     the usage, on stdout
// Exit status: 0 when every face of every file was recognised, 1 when one was
// not (or an error, such as memory running out, stopped the tool: it says so on
// stderr), 2 on bad usage.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "fontfile/face_glyphs.h"
#include "fontfile/face_tables.h"
#include "fontfile/font_anatomy.h"
#include "fontfile/font_info.h"
#include "fontfile/instancer.h"
#include "fontfile/opened_font.h"
#include "fontfile/variation_regions.h"
#include "fontfile/web_font.h"
#include "platform/platform.h"
#include "text/language.h"
#include "text/web_font_text.h"
#include "tools/orvane_info/anatomy_json.h"
#include "tools/orvane_info/command_font.h"
#include "tools/orvane_info/output_text.h"
#include "tools/orvane_info/report_command.h"
#include "tools/orvane_info/shape_command.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr const char* kNameLabels[kFontNameCount] = {
    "copyright",          "family",          "style",           "unique id",
    "full name",          "version",         "postscript name", "trademark",
    "manufacturer",       "designer",        "description",     "vendor url",
    "designer url",       "licence",         "licence url",     "name 15",
    "name 16",            "name 17",         "name 18",         "sample text",
    "cid findfont name",
};

// On stderr after a mistake; on stdout, with exit status 0, when asked for.
void Usage(std::FILE* out = stderr) {
  std::fputs(
      "usage: orvane-info [--json | --summary | --glyphs] FILE...\n"
      "       orvane-info --report FILE [FACE]\n"
      "       orvane-info --decode FILE OUT [FILE OUT ...]\n"
      "       orvane-info --instance FILE OUT [--face N] [--family NAME] [--repeat N] [TAG=VALUE...]\n"
      "       orvane-info --shape TEXT [--features LIST] [--script TAG] [--language TAG]\n"
      "                           [--variations LIST] [--face N] FONT\n"
      "       orvane-info --help\n",
      out);
}

std::string JsonText(const FontText& text) {
  return text ? JsonString(AnsiToUtf8(*text)) : "null";
}

// The code points present, in all planes or up to U+FFFF; null when the font's
// characters are unknown. The reads keep only these counts of the map.
std::string CharacterCount(const FontInfo& info, bool bmp) {
  if (info.coverage.kind == CoverageKind::kUnknown) return "null";
  return std::to_string(bmp ? info.coverage.bmp_count : info.coverage.count);
}

// "WOFF 1.0" or "WOFF 2.0"; empty for a file in no container.
std::string ContainerName(const WebFontFacts& container) {
  switch (container.kind) {
    case WebFontKind::kWoff1: return "WOFF 1.0";
    case WebFontKind::kWoff2: return "WOFF 2.0";
    default: return {};
  }
}

// Writes a font the tool made; 0 when written, 2 when it cannot be.
int WriteFont(const std::vector<uint8_t>& sfnt, const char* out_path) {
  FILE* out = std::fopen(out_path, "wb");
  const bool written = out && std::fwrite(sfnt.data(), 1, sfnt.size(), out) == sfnt.size();
  if (out && std::fclose(out) != 0) return 2;
  if (!written) {
    std::fprintf(stderr, "orvane-info: cannot write %s\n", out_path);
    return 2;
  }
  return 0;
}

// Writes the font a web font decodes to; 0 when written, 1 when the file is no
// web font or is refused (with the reason), 2 when it cannot be read or written.
int DecodeCommand(const char* path, const char* out_path) {
  OpenedFont font;
  if (const int status = OpenCommandFont(path, font)) return status;
  if (font.container.kind == WebFontKind::kNone) {
    std::fprintf(stderr, "orvane-info: %s: no WOFF or WOFF2 file\n", path);
    return 1;
  }
  return WriteFont(font.decoded, out_path);
}

// Why an instance was refused, for its message.
const char* InstanceProblemText(InstanceProblem problem) {
  switch (problem) {
    case InstanceProblem::kNotVariable: return "no variable font";
    case InstanceProblem::kCff2Outlines: return "CFF2 outlines: not instanced";
    case InstanceProblem::kBadCoordinates: return "not one coordinate per axis";
    case InstanceProblem::kBadTable: return "a variation or outline table does not add up";
    case InstanceProblem::kTooLarge: return "the static font would be too large";
    case InstanceProblem::kWorkBudget: return "a table makes more work than its size allows";
    default: return "";
  }
}

// Writes the static font of one point of a variable font; 0 when written, 1 when
// the instance is refused (with the reason), 2 on bad usage or when a file cannot
// be read or written. The file may be a web font: its decoded bytes are instanced.
int InstanceCommand(int argc, char** argv) {
  if (argc < 4) {
    Usage();
    return 2;
  }
  const char* path = argv[2];
  const char* out_path = argv[3];
  InstanceRequest request;
  request.family = "Instance";
  int repeat = 0;
  std::vector<std::pair<uint32_t, int32_t>> values;
  for (int i = 4; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--face" || arg == "--family" || arg == "--repeat") && i + 1 < argc) {
      const char* value = argv[++i];
      char* end = nullptr;
      if (arg == "--family") {
        request.family = value;
        continue;
      }
      const unsigned long number = std::strtoul(value, &end, 10);
      if (end == value || *end || value[0] == '-' || number > 1000000) {
        Usage();
        return 2;
      }
      if (arg == "--face") request.face = static_cast<uint32_t>(number);
      else repeat = static_cast<int>(number);
      continue;
    }
    const size_t equals = arg.find('=');
    char* end = nullptr;
    const double value = equals == 4 ? std::strtod(arg.c_str() + 5, &end) : 0;
    if (equals != 4 || end == arg.c_str() + 5 || *end || !std::isfinite(value) ||
        std::fabs(value) > 32767) {
      std::fprintf(stderr, "orvane-info: not an axis value: %s\n", argv[i]);
      Usage();
      return 2;
    }
    const uint32_t tag = uint32_t{static_cast<uint8_t>(arg[0])} << 24 |
                         uint32_t{static_cast<uint8_t>(arg[1])} << 16 |
                         uint32_t{static_cast<uint8_t>(arg[2])} << 8 | static_cast<uint8_t>(arg[3]);
    values.emplace_back(tag, static_cast<int32_t>(RoundHalfUp(value * 65536.0)));
  }
  OpenedFont font;
  if (const int status = OpenCommandFont(path, font)) return status;
  // Every axis at its default, then the values named.
  const FaceTable fvar = FontTable(font, request.face, "fvar");
  std::vector<FvarAxis> axes;
  if (fvar.present()) ReadFvarAxes(fvar.bytes, axes);
  for (const FvarAxis& axis : axes) request.coordinates.push_back(axis.default_value);
  for (const auto& [tag, value] : values) {
    bool found = false;
    for (size_t a = 0; a < axes.size(); ++a)
      if (axes[a].tag == tag) {
        request.coordinates[a] = value;
        found = true;
      }
    if (!found && !axes.empty()) {
      std::fprintf(stderr, "orvane-info: %s: no such axis\n", path);
      return 2;
    }
  }
  std::vector<uint8_t> sfnt;
  InstanceProblem problem = InstanceProblem::kNone;
  InstanceWork work;
  std::vector<double> times;
  bool built = false;
  for (int round = 0; round < std::max(repeat, 1); ++round) {
    const auto begin = std::chrono::steady_clock::now();
    built = BuildStaticInstance(font, request, sfnt, problem, &work);
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - begin;
    times.push_back(took.count());
  }
  if (!built) {
    std::fprintf(stderr, "orvane-info: %s: %s\n", path, InstanceProblemText(problem));
    return 1;
  }
  if (repeat) {
    std::sort(times.begin(), times.end());
    std::printf("instance_us=%.0f rounds=%d bytes=%zu work=%llu,%llu,%llu,%llu,%llu,%llu\n",
                times[times.size() / 2], repeat, sfnt.size(),
                static_cast<unsigned long long>(work.points),
                static_cast<unsigned long long>(work.visits),
                static_cast<unsigned long long>(work.tuples),
                static_cast<unsigned long long>(work.advance_items),
                static_cast<unsigned long long>(work.metric_items),
                static_cast<unsigned long long>(work.name_bytes));
  }
  return WriteFont(sfnt, out_path);
}

// "U+0041 U+00C1..U+00C5": every code that reaches a glyph.
std::string CodesText(std::span<const CodeRange> codes) {
  std::string out;
  char buffer[32];
  for (const CodeRange& range : codes) {
    if (range.first == range.last) std::snprintf(buffer, sizeof buffer, "U+%04X", range.first);
    else std::snprintf(buffer, sizeof buffer, "U+%04X..U+%04X", range.first, range.last);
    if (!out.empty()) out += ' ';
    out += buffer;
  }
  return out.empty() ? "-" : out;
}

// Every glyph of every face of each file, a line each, tab-separated: index,
// name, characters, producing features ("-" for none), after a line that names
// the face. 0 when every file holds an sfnt font, 1 when one does not, 2 when a
// file cannot be read.
int GlyphsCommand(int argc, char** argv) {
  if (argc < 3) {
    Usage();
    return 2;
  }
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    OpenedFont font;
    if (!OpenFontFile(argv[i], font)) {
      std::fprintf(stderr, "orvane-info: %s: %s\n", argv[i], OpenProblem(argv[i]).c_str());
      status = 2;
      continue;
    }
    uint32_t faces = 1;
    for (uint32_t face = 0; face < faces; ++face) {
      const FaceGlyphs* read = ReadFaceGlyphs(font, face);
      if (!read) {
        std::fprintf(stderr, "orvane-info: %s: face %u holds no sfnt font\n", argv[i], face);
        status = std::max(status, 1);
        if (face == 0) break;
        continue;
      }
      const FaceGlyphs& glyphs = *read;
      if (face == 0) {
        FontInfo info;
        ReadOpenedFace(font, 0, info, ReadOptions{MapDetail::kCounts, nullptr});
        faces = std::max<uint32_t>(info.face_count, 1);
      }
      std::string out = "# " + PathToUtf8(argv[i]) + " face " + std::to_string(face) + " of " +
                        std::to_string(faces) + ": " + std::to_string(glyphs.glyph_count) +
                        " glyphs, " + std::to_string(glyphs.unreached) + " no character reaches";
      if (glyphs.names.post_damaged) out += "; post damaged";
      if (glyphs.names.cff_damaged) out += "; CFF damaged";
      if (glyphs.features.damaged) out += "; GSUB damaged";
      out += '\n';
      for (uint32_t glyph = 0; glyph < glyphs.glyph_count; ++glyph) {
        out += std::to_string(glyph) + '\t' + GlyphName(glyphs.names, glyph) + '\t' +
               CodesText(CharactersOf(glyphs.characters, glyph)) + '\t';
        const std::span<const uint16_t> features = FeaturesOf(glyphs.features, glyph);
        for (size_t f = 0; f < features.size(); ++f)
          out += (f ? "," : "") + glyphs.features.tags[features[f]];
        out += features.empty() ? "-\n" : "\n";
      }
      std::fwrite(out.data(), 1, out.size(), stdout);
    }
  }
  return status;
}

void PrintJson(const char* path, int recognized, const std::string& problem,
               const FontInfo& info, const FontAnatomy& anatomy, const OpenedFont& font) {
  std::string line = "{\"path\":" + JsonString(PathToUtf8(path));
  line += ",\"face\":" + std::to_string(info.face);
  line += ",\"faces\":" + std::to_string(info.face_count);
  line += ",\"recognized\":";
  line += recognized ? "true" : "false";
  if (!problem.empty()) line += ",\"error\":" + JsonString(problem);
  line += ",\"type_name\":" + JsonText(info.type_name);
  line += ",\"width_name\":" + JsonText(info.width_name);
  line += ",\"weight\":" + std::to_string(info.weight);
  line += ",\"italic\":" + std::to_string(info.italic);
  line += ",\"underline\":" + std::to_string(info.underline);
  line += ",\"strike_out\":" + std::to_string(info.strike_out);
  const WebFontFacts& container = info.container;
  const bool web = container.kind != WebFontKind::kNone;
  line += ",\"container\":" + (web ? JsonString(ContainerName(container)) : "null");
  line += ",\"compressed_size\":" + (web ? std::to_string(container.compressed_size) : "null");
  line += ",\"decoded_size\":" +
          (container.decoded_size ? std::to_string(container.decoded_size) : "null");
  line += ",\"characters\":" + CharacterCount(info, false);
  line += ",\"bmp_characters\":" + CharacterCount(info, true);
  line += ",\"names\":[";
  for (int id = 0; id < kFontNameCount; ++id) {
    if (id) line += ',';
    line += JsonText(info.names[id]);
  }
  line += "]";
  // How many glyphs the face has, and how many no character reaches.
  uint32_t glyphs = 0, unreached = 0;
  const bool counted =
      recognized && CountFaceGlyphs(font, info.face, glyphs, unreached, &info.coverage);
  line += ",\"glyphs\":" + (counted ? std::to_string(glyphs) : "null");
  line += ",\"unreached_glyphs\":" + (counted ? std::to_string(unreached) : "null");
  line += AnatomyJson(anatomy) + "}\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

// The summary keeps each row within 80 columns: a licence takes one line.
constexpr size_t kSummaryValueColumns = 56;

void PrintListing(const char* path, int recognized, const std::string& problem,
                  const FontInfo& info, bool summary) {
  std::string out = PathToUtf8(path) + "\n";
  auto row = [&out, summary](const char* label, const std::string& value) {
    out += ListingRow(label, summary ? OneLine(value, kSummaryValueColumns) : value);
  };
  // Single fonts keep their listing as it was.
  if (info.face_count > 1) {
    row("face", std::to_string(info.face));
    row("faces", std::to_string(info.face_count));
  }
  row("recognized", recognized ? "yes" : "no");
  if (!problem.empty()) row("error", problem);
  if (info.container.kind != WebFontKind::kNone) {
    row("container", ContainerName(info.container));
    row("compressed size", std::to_string(info.container.compressed_size));
    if (info.container.decoded_size)
      row("decoded size", std::to_string(info.container.decoded_size));
  }
  if (info.type_name) row("type", AnsiToUtf8(*info.type_name));
  if (info.width_name) row("width", AnsiToUtf8(*info.width_name));
  row("weight", std::to_string(info.weight));
  row("italic", std::to_string(info.italic));
  row("underline", std::to_string(info.underline));
  row("strike-out", std::to_string(info.strike_out));
  if (info.coverage.kind != CoverageKind::kUnknown)
    row("characters", CharacterCount(info, false) + " (" + CharacterCount(info, true) +
                          " up to U+FFFF)");
  for (int id = 0; id < kFontNameCount; ++id) {
    if (!info.names[id]) continue;
    row((std::to_string(id) + " " + kNameLabels[id]).c_str(), AnsiToUtf8(*info.names[id]));
  }
  out += "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int Run(int argc, char** argv) {
#ifdef _WIN32
  // The texts are UTF-8 already; no newline translation on the way out.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    Usage(stdout);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--report") == 0) {
    char* end = nullptr;
    const unsigned long face = argc == 4 ? std::strtoul(argv[3], &end, 10) : 0;
    if ((argc != 3 && argc != 4) ||
        (argc == 4 && (end == argv[3] || *end || argv[3][0] == '-' || face > UINT32_MAX))) {
      Usage();
      return 2;
    }
    return RunReportCommand(argv[2], static_cast<uint32_t>(face));
  }
  if (argc >= 2 && std::strcmp(argv[1], "--decode") == 0) {
    if (argc < 4 || argc % 2 != 0) {
      Usage();
      return 2;
    }
    // Pairs of files in one process: a test decodes a whole folder with one start.
    int worst = 0;
    for (int i = 2; i + 1 < argc; i += 2) worst = std::max(worst, DecodeCommand(argv[i], argv[i + 1]));
    return worst;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--instance") == 0) return InstanceCommand(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "--glyphs") == 0) return GlyphsCommand(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "--shape") == 0) return ShapeCommand(argc, argv);
  bool json = false, summary = false;
  int first = 1;
  if (first < argc && std::strcmp(argv[first], "--json") == 0) {
    json = true;
    ++first;
  } else if (first < argc && std::strcmp(argv[first], "--summary") == 0) {
    summary = true;
    ++first;
  }
  if (first >= argc) {
    Usage();
    return 2;
  }
  for (int i = first; i < argc; ++i) {
    if (argv[i][0] == '-' && argv[i][1] == '-' && std::strcmp(argv[i], "--") != 0) {
      std::fprintf(stderr, "orvane-info: unknown option %s\n", argv[i]);
      Usage();
      return 2;
    }
  }

  int status = 0;
  for (int i = first; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) continue;
    // Opened once for all its faces (mapped, a web font decoded, each face's
    // directory walked once); a collection's count comes with face 0, and a
    // character map its faces share is read once.
    OpenedFont font;
    const bool mapped = OpenFontFile(argv[i], font);
    CharMapCache maps;
    // The JSON's glyph counts come from the same read of the map.
    const ReadOptions options{json ? MapDetail::kReach : MapDetail::kCounts, &maps};
    // A face that is the same font as an earlier one is read and listed once.
    const std::vector<uint32_t>& origins = FaceOrigins(font);
    uint32_t face_count = 1;
    for (uint32_t face = 0; face < face_count; ++face) {
      if (face < origins.size() && origins[face] != face) continue;
      FontInfo info;
      const int recognized = mapped ? ReadOpenedFace(font, face, info, options) : 0;
      if (face == 0) face_count = info.face_count;
      std::string problem = recognized || mapped ? WebFontProblemText(info.container.problem)
                                                 : OpenProblem(argv[i]);
      if (json)
        PrintJson(argv[i], recognized, problem, info,
                  mapped ? FaceAnatomy(font, face) : FontAnatomy{}, font);
      else PrintListing(argv[i], recognized, problem, info, summary);
      if (!recognized) status = 1;
    }
    std::fflush(stdout);
  }
  return status;
}

// Every error that escapes a reader or the tool itself ends here, as a message
// and exit status 1: a tool run over many files must never abort.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("orvane-info: not enough memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "orvane-info: %s\n", error.what());
  } catch (...) {
    std::fputs("orvane-info: an unexpected error\n", stderr);
  }
  std::fflush(stdout);
  return 1;
}
