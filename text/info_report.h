// The text of the Info page.
#pragma once

#include <cstdint>

#include "fontfile/font_info.h"

struct FontAnatomy;

// Where the report is written: the viewer's rich-edit view, or a recorder in tests.
struct ReportSink {
  virtual void Clear() = 0;                     // empty the text
  virtual void Insert(const char* piece) = 0;   // insert at the caret, which follows it
  virtual void SetBold(bool on) = 0;            // bold on or off for what follows
  virtual void CaretToStart() = 0;
  virtual ~ReportSink() = default;
};

// The font signature as the system reports it.
struct FontSignatureWords {
  uint32_t unicode_ranges[4] = {};
  uint32_t code_pages[2] = {};
};

// The text metrics fields the report prints (the system's TEXTMETRICA, in pixels).
struct ReportMetrics {
  int32_t height = 0, ascent = 0, descent = 0, internal_leading = 0, external_leading = 0;
  int32_t ave_char_width = 0, max_char_width = 0, weight = 0, overhang = 0;
  int32_t digitized_aspect_x = 0, digitized_aspect_y = 0;
  uint8_t italic = 0, underlined = 0, struck_out = 0;
};

// Formats one piece ('%s', '%d', '%04X' conversions) into 64 KiB and inserts it.
void AppendText(ReportSink& view, const char* format, ...);
void SetBold(ReportSink& view, bool on);
// The language's string `id`: the reports' texts, short for the many lines that name one.
const char* L(int id);

// How the font is drawn, where the report speaks of it.
struct ReportDrawing {
  // Each byte's character in the character set the glyphs are drawn in, and that
  // set's name: the byte cells (below 0x100) count as these characters, as the
  // block list counts them. nullptr: a byte counts as the code point of its value.
  const uint32_t* byte_characters = nullptr;
  const char* charset_name = nullptr;
  // The face the system draws in place of the file's; nullptr or "" for its own.
  const char* other_face = nullptr;
  // A variable font's instance shown (its name, and its coordinates as "wght =
  // 900, ..."), and the text id of why the default is drawn in its place (-1 when
  // it is drawn itself); nullptr for other fonts.
  const char* instance = nullptr;
  const char* instance_coordinates = nullptr;
  int instance_note = -1;
};

// `anatomy`, when given, adds the sections on what the font is made of after the
// others (variation, layout, colour, further facts).
void BuildInfoReport(ReportSink& view, const FontInfo& info, const char* path,
                     const FontSignatureWords& signature, const ReportMetrics& metrics,
                     const FontAnatomy* anatomy = nullptr, const ReportDrawing& drawing = {});

// The report of a file that could not be shown: the load-error text, then only
// what the file itself said (names, type, path). No blocks, code pages or
// metrics: no font was made to measure.
void BuildLoadErrorReport(ReportSink& view, const FontInfo& info, const char* path,
                          const char* load_error);
