#include "text/info_report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "fontfile/catalog.h"
#include "text/anatomy_report.h"
#include "text/language.h"
#include "text/metadata_text.h"

namespace {

// One code page line and the bit of the signature's code-page words (0-63) that
// selects it; the line order is the report's, not the bits'.
struct CodePageLine {
  int bit;
  const char* text;
};

constexpr int kOemLine = -1;  // written once for any of bits 32-45

constexpr CodePageLine kCodePageLines[] = {
    {1, "\t1250 ANSI Latin 2 (Central Europe)\n"},
    {2, "\t1251 ANSI Cyrillic\n"},
    {0, "\t1252 ANSI Latin 1\n"},
    {3, "\t1253 ANSI Greek\n"},
    {4, "\t1254 ANSI Turkish\n"},
    {5, "\t1255 ANSI Hebrew\n"},
    {6, "\t1256 ANSI Arabic\n"},
    {7, "\t1257 ANSI Baltic\n"},
    {8, "\t1258 ANSI Vietnam\n"},
    {16, "\t874 ANSI/OEM Thai\n"},
    {17, "\t932 ANSI/OEM Japanese, Shift-JIS\n"},
    {18, "\t936 ANSI/OEM Simplified Chinese (PRC and Singapore)\n"},
    {19, "\t949 ANSI/OEM Korean Unified Hangul Code (Hangeul TongHabHyung Code)\n"},
    {20, "\t950 ANSI/OEM Traditional Chinese (Hong Kong SAR, PRC and Taiwan)\n"},
    {21, "\t1361 ANSI/OEMKorean (Johab)\n"},
    {kOemLine, "\tOEM\n"},
    {63, "\t437 OEM United States\n"},
    {58, "\t852 OEM Latin 2\n"},
    {57, "\t855 OEM Cyrillic (Primarily Russian)\n"},
    {55, "\t860 OEM Portuguese\n"},
    {54, "\t861 OEM Icelandic\n"},
    {53, "\t862 OEM Hebrew\n"},
    {52, "\t863 OEM Canadian French\n"},
    {51, "\t864 OEM Arabic\n"},
    {50, "\t865 OEM Nordic\n"},
    {49, "\t866 OEM Russian\n"},
    {48, "\t869 OEM Modern Greek\n"},
    {61, "\t708 OEM Arabic (ASMO 708)\n"},
    {60, "\t737 OEM Greek\n"},
    {59, "\t775 OEM Baltic\n"},
    {62, "\t850 OEM Latin 1 (Multilingual)\n"},
    {47, "\t1258 OEM Vietnam\n"},
};

bool CodePageLineSelected(const FontSignatureWords& signature, int bit) {
  if (bit == kOemLine) return (signature.code_pages[1] & 0x3FFF) != 0;
  return (signature.code_pages[bit / 32] >> (bit % 32)) & 1;
}

const char* Text(const FontText& text) { return text ? text->c_str() : ""; }

const char* YesNo(uint8_t flag) { return flag ? L(kTextYes) : L(kTextNo); }

void Heading(ReportSink& view, const char* piece, const char* text) {
  SetBold(view, true);
  AppendText(view, piece, text);
  SetBold(view, false);
}

void LabelLine(ReportSink& view, int label, const char* value) {
  AppendText(view, "\t%s\t: %s\n", L(label), value);
}

void LabelLine(ReportSink& view, int label, int32_t value) {
  AppendText(view, "\t%s\t: %d\n", L(label), static_cast<int>(value));
}

}  // namespace

void AppendText(ReportSink& view, const char* format, ...) {
  // One fixed buffer; a longer piece is cut at 65535 characters.
  static char buffer[65536];
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length < 0) buffer[0] = '\0';
  view.Insert(buffer);
}

void SetBold(ReportSink& view, bool on) { view.SetBold(on); }

const char* L(int id) { return LanguageString(id); }

namespace {

// What a web font's container says of itself: its kind, its sizes, the version
// fields of its header, its private block, and its extended metadata as text.
// Nothing for other files.
void WriteContainer(ReportSink& view, const WebFontFacts& container) {
  if (container.kind == WebFontKind::kNone) return;
  Heading(view, "\n%s\n\n", L(kTextWebFontHeading));
  LabelLine(view, kTextContainerLabel,
            container.kind == WebFontKind::kWoff1 ? "WOFF 1.0" : "WOFF 2.0");
  const auto size_line = [&view](int label, uint32_t size) {
    AppendText(view, "\t%s\t: %u %s\n", L(label), static_cast<unsigned>(size), L(kTextBytes));
  };
  size_line(kTextCompressedSizeLabel, container.compressed_size);
  if (container.decoded_size) size_line(kTextDecodedSizeLabel, container.decoded_size);
  AppendText(view, "\t%s\t: %u.%u\n", L(kTextHeaderVersionLabel),
             static_cast<unsigned>(container.major_version),
             static_cast<unsigned>(container.minor_version));
  size_line(kTextPrivateDataLabel, container.private_size);
  if (container.metadata.empty()) return;
  Heading(view, "\n%s\n\n", L(kTextMetadataHeading));
  // Each line names the elements it lies in: indentation after a tab stop is
  // not kept by every rich-edit control.
  for (const MetadataLine& line : MetadataLines(container.metadata)) {
    const std::string text = line.path.empty() ? line.text : line.path + " / " + line.text;
    AppendText(view, "\t%s\n", Utf8ToAnsi(text).c_str());
  }
}

// The names, type and path, then the sections of the optional name texts: what
// the file itself says.
void WriteNames(ReportSink& view, const FontInfo& info, const char* path,
                const char* heading_piece, const ReportDrawing& drawing = {}) {
  const auto& names = info.names;
  Heading(view, heading_piece, L(kTextNamesHeading));
  LabelLine(view, kTextNameLabel, Text(names[kNameFull]));
  LabelLine(view, kTextFamilyLabel, Text(names[kNameFamily]));
  LabelLine(view, kTextStyleLabel, Text(names[kNameStyle]));
  LabelLine(view, kTextIdentifierLabel, Text(names[kNameIdentifier]));
  LabelLine(view, kTextPostScriptNameLabel, Text(names[kNamePostScript]));
  LabelLine(view, kTextPostScriptCidLabel, Text(names[kNamePostScriptCid]));
  LabelLine(view, kTextTypeLabel, Text(info.type_name));
  LabelLine(view, kTextFileNameLabel, path ? path : "");
  // Counted from 1, as the face selector counts.
  if (info.face_count > 1) {
    const std::string face = std::to_string(info.face + 1) + " " + L(kTextFaceOf) + " " +
                             std::to_string(info.face_count);
    LabelLine(view, kTextFaceLabel, face.c_str());
  }
  // The names above are the file's (its default instance's); the glyphs shown
  // are another instance's, or another face's.
  if (drawing.instance) {
    LabelLine(view, kTextInstanceLabel, drawing.instance);
    if (drawing.instance_coordinates)
      LabelLine(view, kTextCoordinatesLabel, drawing.instance_coordinates);
    if (drawing.instance_note >= 0) AppendText(view, "\t\t  %s\n", L(drawing.instance_note));
  }
  if (drawing.other_face && *drawing.other_face)
    LabelLine(view, kTextOtherFace, drawing.other_face);
  // A web font's container comes right after the file it is.
  WriteContainer(view, info.container);

  // Sections of one name each, then those of a name and its web address.
  static constexpr struct {
    int name;
    int heading;
  } kSingle[] = {{kNameVersion, kTextVersionHeading},
                 {kNameCopyright, kTextCopyrightHeading},
                 {kNameTrademark, kTextTrademarkHeading},
                 {kNameDescription, kTextDescriptionHeading},
                 {kNameSampleText, kTextSampleTextHeading}};
  for (const auto& section : kSingle) {
    if (!names[section.name]) continue;
    Heading(view, "\n%s\n\n", L(section.heading));
    AppendText(view, "%s\n", names[section.name]->c_str());
  }
  static constexpr struct {
    int name;
    int address;
    int heading;
  } kPairs[] = {{kNameManufacturer, kNameVendorUrl, kTextManufacturerHeading},
                {kNameDesigner, kNameDesignerUrl, kTextDesignerHeading},
                {kNameLicense, kNameLicenseUrl, kTextLicenseHeading}};
  for (const auto& section : kPairs) {
    if (!names[section.name] && !names[section.address]) continue;
    Heading(view, "\n%s\n\n", L(section.heading));
    AppendText(view, "%s\n", Text(names[section.name]));
    AppendText(view, "%s\n", Text(names[section.address]));
  }
}

// The characters the font's own map holds: the total, each block with at least
// one ("name  n / size"), and the planes beyond U+FFFF. Nothing when the map is
// unknown. A block's cells below 0x100 count as the block list counts them, as
// the characters of the character set named.
void WriteCoverage(ReportSink& view, const CharCoverage& coverage, const ReportDrawing& drawing) {
  if (coverage.kind == CoverageKind::kUnknown) return;
  Heading(view, "\n%s\n\n", L(kTextCharactersHeading));
  AppendText(view, "\t%s\t: %u\n", L(kTextCharactersLabel), static_cast<unsigned>(coverage.count));
  if (drawing.byte_characters && drawing.charset_name)
    LabelLine(view, kTextSaveCharset, drawing.charset_name);
  for (const UnicodeBlockRow& row : UnicodeBlockTable) {
    const uint32_t present =
        CountPresentCells(coverage, row.first, row.last, drawing.byte_characters);
    if (present == 0) continue;
    AppendText(view, "\t%s  %u / %u\n", row.name, static_cast<unsigned>(present),
               static_cast<unsigned>(row.last - row.first + 1));
  }
  for (uint32_t plane = 1; plane <= 16; ++plane) {
    const uint32_t present = CountCodePoints(coverage, plane << 16, (plane << 16) | 0xFFFF);
    if (present == 0) continue;
    AppendText(view, "\t%s %u\t: %u\n", L(kTextPlaneLabel), static_cast<unsigned>(plane),
               static_cast<unsigned>(present));
  }
}

}  // namespace

void BuildInfoReport(ReportSink& view, const FontInfo& info, const char* path,
                     const FontSignatureWords& signature, const ReportMetrics& metrics,
                     const FontAnatomy* anatomy, const ReportDrawing& drawing) {
  view.Clear();
  WriteNames(view, info, path, "%s\n\n", drawing);

  Heading(view, "\n%s\n\n", L(kTextUnicodeBlocksHeading));
  for (const UnicodeBlockRow& row : UnicodeBlockTable) {
    if (!IsBlockSupported(signature.unicode_ranges, row.bit)) continue;
    AppendText(view, "\t0x%04X - 0x%04X   %s\n", static_cast<unsigned>(row.first),
               static_cast<unsigned>(row.last), row.name);
  }

  Heading(view, "\n%s\n\n", L(kTextCodePagesHeading));
  for (const CodePageLine& line : kCodePageLines)
    if (CodePageLineSelected(signature, line.bit)) view.Insert(line.text);

  Heading(view, "\n%s\n\n", L(kTextMetricsHeading));
  LabelLine(view, kTextWidthLabel, Text(info.width_name));
  LabelLine(view, kTextWeightLabel, LookupName(WeightNames, metrics.weight));
  LabelLine(view, kTextHeightLabel, metrics.height);
  LabelLine(view, kTextItalicLabel, YesNo(metrics.italic));
  LabelLine(view, kTextUnderlineLabel, YesNo(metrics.underlined));
  LabelLine(view, kTextStrikeOutLabel, YesNo(metrics.struck_out));
  LabelLine(view, kTextAscentLabel, metrics.ascent);
  LabelLine(view, kTextDescentLabel, metrics.descent);
  LabelLine(view, kTextInternalLeadingLabel, metrics.internal_leading);
  LabelLine(view, kTextExternalLeadingLabel, metrics.external_leading);
  LabelLine(view, kTextAverageWidthLabel, metrics.ave_char_width);
  LabelLine(view, kTextMaximumWidthLabel, metrics.max_char_width);
  LabelLine(view, kTextOverhangLabel, metrics.overhang);
  LabelLine(view, kTextHorizontalAspectLabel, metrics.digitized_aspect_x);
  LabelLine(view, kTextVerticalAspectLabel, metrics.digitized_aspect_y);

  WriteCoverage(view, info.coverage, drawing);
  if (anatomy) WriteAnatomy(view, *anatomy);
  view.CaretToStart();
}

void BuildLoadErrorReport(ReportSink& view, const FontInfo& info, const char* path,
                          const char* load_error) {
  view.Clear();
  if (!load_error) load_error = "";
  // The system's messages end in a line break of their own: one empty line is
  // left above the names, as above every heading.
  int length = static_cast<int>(std::strlen(load_error));
  while (length > 0 && (load_error[length - 1] == '\r' || load_error[length - 1] == '\n'))
    --length;
  AppendText(view, "%.*s\n", length, load_error);
  WriteNames(view, info, path, "\n%s\n\n");
  view.CaretToStart();
}
