// `orvane-info --report FILE` on Windows: the font is registered and measured the
// way the viewer does it, and the Info page's text is printed with its headings
// marked "## ".
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "fontfile/catalog.h"
#include "fontfile/font_anatomy.h"
#include "fontfile/font_info.h"
#include "fontfile/opened_font.h"
#include "platform/platform.h"
#include "text/info_report.h"
#include "text/language.h"
#include "text/web_font_text.h"
#include "tools/orvane_info/report_command.h"
#include "viewer/report_values.h"

namespace {

// Gathers the report as plain text; bold pieces are the headings.
struct TextSink : ReportSink {
  std::string text;
  bool bold = false;

  void Clear() override { text.clear(); }
  void Insert(const char* piece) override {
    if (!bold) {
      text += piece;
      return;
    }
    // A heading piece is the heading between newlines.
    const char* start = piece + std::strspn(piece, "\n");
    text.append(piece, start);
    text += "## ";
    text += start;
  }
  void SetBold(bool on) override { bold = on; }
  void CaretToStart() override {}
};

// The platform's glyph font of 24 points, as the viewer creates it.
LOGFONTA GlyphLogFont(const FontInfo& info, int dpi_y) {
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(24, dpi_y, 72);
  font.lfWeight = static_cast<LONG>(info.weight);
  font.lfItalic = info.italic;
  font.lfUnderline = info.underline;
  font.lfStrikeOut = 0;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = ANTIALIASED_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  if (info.names[kNameFull])
    std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%.31s", info.names[kNameFull]->c_str());
  return font;
}

// The viewer's load-error text for the failing step's error code.
int ReportFailure(const char* path, WebFontProblem refused = WebFontProblem::kNone) {
  DWORD code = GetLastError();
  char message[1024] = "";
  int shown = -1;
  if (const int reason = WebFontProblemTextId(refused); reason >= 0) {
    // A refused web font: its reason, as the viewer gives it.
    shown = refused == WebFontProblem::kTooLarge ? ERROR_FILE_TOO_LARGE : ERROR_INVALID_DATA;
    std::snprintf(message, sizeof message, "%s", LanguageString(reason));
  } else if (code != 0) {
    shown = static_cast<int>(code);
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   0x400, message, sizeof message, nullptr);
  } else {
    std::snprintf(message, sizeof message, "%s", LanguageString(kTextNoErrorInformation));
  }
  std::string text = FormatLoadError(LanguageString(kTextLoadErrorFormat), path, shown, message);
  std::fprintf(stderr, "orvane-info: %s\n", AnsiToUtf8(text).c_str());
  return 1;
}

}  // namespace

int RunReportCommand(const char* path, uint32_t face) {
  char resource[2 * MAX_PATH] = "";
  std::snprintf(resource, sizeof resource, "%s", path);
  MakeFontResourcePath(resource, sizeof resource);
  // Mapped and read once. A broken file is kept from the system's font engine,
  // as the viewer does.
  FontInfo info;
  const FontFileCheck check = ReadAndCheckFontFile(path, info, face);
  if (check.mapped && face >= info.face_count) {
    std::fprintf(stderr, "orvane-info: %s has no face %lu (faces 0 to %lu)\n",
                 AnsiToUtf8(path).c_str(), static_cast<unsigned long>(face),
                 static_cast<unsigned long>(info.face_count - 1));
    return 1;
  }
  if (!check.sound) return ReportFailure(path, info.container.problem);
  SetLastError(0);
  // A web font's decoded bytes go to the system from memory, as the viewer hands them.
  HANDLE memory = nullptr;
  if (check.decoded().size) {
    DWORD fonts = 0;
    memory = AddFontMemResourceEx(const_cast<uint8_t*>(check.decoded().data),
                                  check.decoded().size, nullptr, &fonts);
    if (!memory) return ReportFailure(path);
  } else if (AddFontResourceExA(resource, FR_PRIVATE, nullptr) <= 0) {
    return ReportFailure(path);
  }

  int result = 1;
  SetLastError(0);
  HDC screen = GetDC(nullptr);
  HDC context = screen ? CreateCompatibleDC(screen) : nullptr;
  HFONT font = nullptr;
  // A file the system took but that could not be mapped is mapped again, so that
  // the code reported is that failure's own.
  if (context && (check.mapped ? check.recognized : ReadFontFile(path, info, face))) {
    LOGFONTA description = GlyphLogFont(info, GetDeviceCaps(screen, LOGPIXELSY));
    font = CreateFontIndirectA(&description);
  }
  if (font) {
    HGDIOBJ previous = SelectObject(context, font);
    FONTSIGNATURE fs = {};
    // The byte cells count in the set the system gave the font, as in the viewer.
    const int charset = GetTextCharsetInfo(context, &fs, 0);
    uint32_t byte_characters[256] = {};
    CharsetCharacters(static_cast<uint8_t>(charset), byte_characters);
    TEXTMETRICA tm = {};
    GetTextMetricsA(context, &tm);
    SelectObject(context, previous);

    FontSignatureWords signature = ToSignatureWords(fs);
    // A font that claims no range at all still counts as covering the first one.
    if (!signature.unicode_ranges[0] && !signature.unicode_ranges[1] &&
        !signature.unicode_ranges[2] && !signature.unicode_ranges[3])
      signature.unicode_ranges[0] = 1;

    // What the face is made of, from the font the check opened, as the viewer does.
    const FontAnatomy anatomy = check.font ? FaceAnatomy(*check.font, face) : FontAnatomy{};
    TextSink sink;
    BuildInfoReport(sink, info, path, signature, ToReportMetrics(tm), &anatomy,
                    {byte_characters, LookupName(CharsetTable, charset)});
    std::string out = AnsiToUtf8(sink.text);
    std::fwrite(out.data(), 1, out.size(), stdout);
    result = 0;
    DeleteObject(font);
  } else {
    result = ReportFailure(path);
  }
  if (context) DeleteDC(context);
  if (screen) ReleaseDC(nullptr, screen);
  if (memory)
    RemoveFontMemResourceEx(memory);
  else
    RemoveFontResourceExA(resource, FR_PRIVATE, nullptr);
  return result;
}
