// The Info page's text for chosen font facts, recorded piece by piece with the
// bold switches, compared as whole reports.
#include <gtest/gtest.h>

#include <string>

#include "fontfile/font_anatomy.h"
#include "platform/platform.h"
#include "support/test_paths.h"
#include "text/info_report.h"
#include "text/language.h"
#include "text_test_files.h"

namespace {

// Writes what the view would receive: bold on and off as <b> and </b>.
struct RecordingSink : ReportSink {
  std::string text;
  int pieces = 0;
  bool caret_at_start = false;
  void Clear() override { text = "[clear]"; }
  void Insert(const char* piece) override {
    text += piece;
    ++pieces;
    caret_at_start = false;
  }
  void SetBold(bool on) override { text += on ? "<b>" : "</b>"; }
  void CaretToStart() override { caret_at_start = true; }
};

ReportMetrics Metrics() {
  ReportMetrics m;
  m.height = 28;
  m.ascent = 22;
  m.descent = 6;
  m.internal_leading = 4;
  m.external_leading = 1;
  m.ave_char_width = 12;
  m.max_char_width = 40;
  m.weight = 400;
  m.overhang = 0;
  m.digitized_aspect_x = 96;
  m.digitized_aspect_y = 120;
  return m;
}

const char* const kMetricsEnglish =
    "<b>\nFont Metrics (in pixels)\n\n</b>"
    "\tWidth\t: %s\n"
    "\tWeight\t: %s\n"
    "\tHeight\t: 28\n"
    "\tItalic\t: %s\n"
    "\tUnderline\t: No\n"
    "\tStrike-Out\t: No\n"
    "\tAscent\t: 22\n"
    "\tDescent\t: 6\n"
    "\tInternal Leading\t: 4\n"
    "\tExternal Leading\t: 1\n"
    "\tAvg. Width\t: 12\n"
    "\tMax. Width\t: 40\n"
    "\tOverhang\t: 0\n"
    "\tHorizontal Aspect\t: 96\n"
    "\tVertical Aspect\t: 120\n";

std::string MetricsPart(const char* width, const char* weight, const char* italic) {
  char buffer[1024];
  std::snprintf(buffer, sizeof buffer, kMetricsEnglish, width, weight, italic);
  return buffer;
}

class InfoReport : public ::testing::Test {
 protected:
  void SetUp() override { SelectLanguage("English"); }
  void TearDown() override {
    SetModulePath("");
    SelectLanguage("English");
  }
};

TEST_F(InfoReport, FontWithoutOptionalNames) {
  FontInfo info;
  RecordingSink sink;
  BuildInfoReport(sink, info, "C:\\Fonts\\bare.ttf", FontSignatureWords{}, Metrics());
  std::string expected =
      "[clear]<b>Names\n\n</b>"
      "\tName\t: \n"
      "\tFamily\t: \n"
      "\tStyle\t: \n"
      "\tIdentifier\t: \n"
      "\tPostScript Name\t: \n"
      "\tPostScript CID\t: \n"
      "\tType\t: \n"
      "\tFile Name\t: C:\\Fonts\\bare.ttf\n"
      "<b>\nSupported Unicode Blocks\n\n</b>"
      "\t0x0000 - 0x00FF   ANSI\n"
      "<b>\nSupported Code Pages\n\n</b>" +
      MetricsPart("", "Regular", "No");
  EXPECT_EQ(sink.text, expected);
  EXPECT_TRUE(sink.caret_at_start);
}

TEST_F(InfoReport, EverySectionInItsOrder) {
  FontInfo info;
  info.type_name = "OpenType 1.4";
  info.width_name = "Normal";
  info.names[kNameCopyright] = "(c) Someone";
  info.names[kNameFamily] = "Demo";
  info.names[kNameStyle] = "Italic";
  info.names[kNameIdentifier] = "Demo:1";
  info.names[kNameFull] = "Demo Italic";
  info.names[kNameVersion] = "Version 1.0";
  info.names[kNamePostScript] = "Demo-Italic";
  info.names[kNameTrademark] = "Demo is a mark";
  info.names[kNameDesigner] = "A. Designer";
  info.names[kNameDescription] = "Two\nlines";
  info.names[kNameVendorUrl] = "https://vendor.example";
  info.names[kNameLicense] = "Free";
  info.names[kNameSampleText] = "Sample";
  info.names[kNamePostScriptCid] = "DemoCID";
  FontSignatureWords signature;
  signature.unicode_ranges[0] = 1u | (1u << 7);   // Latin, Greek
  signature.unicode_ranges[1] = 1u << (59 - 32);  // five CJK rows
  signature.unicode_ranges[2] = 1u << (71 - 64);  // Syriac
  signature.code_pages[0] = (1u << 0) | (1u << 1) | (1u << 9) | (1u << 21);
  signature.code_pages[1] = (1u << 3) | (1u << 5) | (1u << 7) | (1u << 14) | (1u << 15) | (1u << 31);
  ReportMetrics metrics = Metrics();
  metrics.weight = 450;
  metrics.italic = 1;
  RecordingSink sink;
  BuildInfoReport(sink, info, "D:\\demo.otf", signature, metrics);
  std::string expected =
      "[clear]<b>Names\n\n</b>"
      "\tName\t: Demo Italic\n"
      "\tFamily\t: Demo\n"
      "\tStyle\t: Italic\n"
      "\tIdentifier\t: Demo:1\n"
      "\tPostScript Name\t: Demo-Italic\n"
      "\tPostScript CID\t: DemoCID\n"
      "\tType\t: OpenType 1.4\n"
      "\tFile Name\t: D:\\demo.otf\n"
      "<b>\nVersion\n\n</b>Version 1.0\n"
      "<b>\nCopyright\n\n</b>(c) Someone\n"
      "<b>\nTrademark\n\n</b>Demo is a mark\n"
      "<b>\nDescription\n\n</b>Two\nlines\n"
      "<b>\nSample text\n\n</b>Sample\n"
      "<b>\nManufacturer\n\n</b>\nhttps://vendor.example\n"
      "<b>\nDesigner\n\n</b>A. Designer\n\n"
      "<b>\nLicense\n\n</b>Free\n\n"
      "<b>\nSupported Unicode Blocks\n\n</b>"
      "\t0x0000 - 0x00FF   ANSI\n"
      "\t0x0000 - 0x007E   Latin\n"
      "\t0x0370 - 0x03FF   Greek and Coptic\n"
      "\t0x0700 - 0x074F   Syriac\n"
      "\t0x2E80 - 0x2EFF   Chinese, Japanese, and Korean Radicals Supplement\n"
      "\t0x2F00 - 0x2FDF   Kangxi Radicals\n"
      "\t0x2FF0 - 0x2FFF   Ideographic Description Characters\n"
      "\t0x3400 - 0x4DBF   Chinese, Japanese, and Korean Unified Ideographs Extension A\n"
      "\t0x4E00 - 0x9FAF   Chinese, Japanese, and Korean Unified Ideographs\n"
      "<b>\nSupported Code Pages\n\n</b>"
      "\t1250 ANSI Latin 2 (Central Europe)\n"
      "\t1252 ANSI Latin 1\n"
      "\t1361 ANSI/OEMKorean (Johab)\n"
      "\tOEM\n"
      "\t437 OEM United States\n"
      "\t1258 OEM Vietnam\n" +
      MetricsPart("Normal", "Unknown", "Yes");
  EXPECT_EQ(sink.text, expected);
}

TEST_F(InfoReport, CharactersSectionCountsBlocksAndPlanesAfterTheMetrics) {
  FontInfo info;
  info.coverage.kind = CoverageKind::kUnicode;
  info.coverage.ranges = {{0x41, 0x5A}, {0xE9, 0xE9}, {0x391, 0x3A9}, {0x1F600, 0x1F64F},
                          {0x20000, 0x20001}};
  info.coverage.count = 26 + 1 + 25 + 80 + 2;
  RecordingSink sink;
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics());
  const std::string metrics_end = "\tVertical Aspect\t: 120\n";
  ASSERT_NE(sink.text.find(metrics_end), std::string::npos);
  EXPECT_EQ(sink.text.substr(sink.text.find(metrics_end) + metrics_end.size()),
            "<b>\nCharacters in the Font\n\n</b>"
            "\tCharacters\t: 134\n"
            "\tANSI  27 / 256\n"
            "\tLatin  26 / 127\n"
            "\tLatin Supplement and C1 Controls  1 / 128\n"
            "\tGreek and Coptic  25 / 144\n"
            "\tEmoticons  80 / 80\n"
            "\tCJK Unified Ideographs Extension B  2 / 42720\n"
            "\tPlane 1\t: 80\n"
            "\tPlane 2\t: 2\n");
  EXPECT_TRUE(sink.caret_at_start);

  // A symbol font's 8-bit cells are its U+F0xx codes.
  info.coverage = CharCoverage{};
  info.coverage.kind = CoverageKind::kSymbol;
  info.coverage.ranges = {{0xF041, 0xF042}};
  info.coverage.count = 2;
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics());
  EXPECT_NE(sink.text.find("\tANSI  2 / 256\n\tLatin  2 / 127\n\tPrivate Use Area  2 / 6400\n"),
            std::string::npos)
      << sink.text;
}

TEST_F(InfoReport, ByteCellsCountInTheCharacterSetTheGlyphsAreDrawnIn) {
  // The letters, U+00E9 and the Greek capitals; the set draws Greek at 0xC1-0xD9
  // and has no U+00E9.
  FontInfo info;
  info.coverage.kind = CoverageKind::kUnicode;
  info.coverage.ranges = {{0x41, 0x5A}, {0xE9, 0xE9}, {0x391, 0x3A9}};
  info.coverage.count = 26 + 1 + 25;
  uint32_t greek[256] = {};
  for (uint32_t byte = 0; byte < 0x80; ++byte) greek[byte] = byte;
  for (uint32_t byte = 0xC1; byte <= 0xD9; ++byte) greek[byte] = 0x391 + (byte - 0xC1);
  RecordingSink sink;
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics(), nullptr,
                  {greek, "Greek", "Other Sans"});
  const std::string metrics_end = "\tVertical Aspect\t: 120\n";
  ASSERT_NE(sink.text.find(metrics_end), std::string::npos);
  EXPECT_EQ(sink.text.substr(sink.text.find(metrics_end) + metrics_end.size()),
            "<b>\nCharacters in the Font\n\n</b>"
            "\tCharacters\t: 52\n"
            "\tCharacter Set\t: Greek\n"
            "\tANSI  51 / 256\n"
            "\tLatin  26 / 127\n"
            "\tLatin Supplement and C1 Controls  25 / 128\n"
            "\tGreek and Coptic  25 / 144\n");
  // The names are the file's; the face drawn is said to be another.
  EXPECT_NE(sink.text.find("\tFile Name\t: p\n\tDrawn with another face\t: Other Sans\n<b>"),
            std::string::npos)
      << sink.text;
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics(), nullptr, {greek, "Greek", ""});
  EXPECT_EQ(sink.text.find("another face"), std::string::npos);
}

TEST_F(InfoReport, TheInstanceShownFollowsTheFileNameWithWhyTheDefaultIsDrawn) {
  FontInfo info;
  RecordingSink sink;
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics(), nullptr,
                  {nullptr, nullptr, "", "Black", "wght = 900, opsz = 32", kTextInstanceCff2});
  EXPECT_NE(sink.text.find("\tFile Name\t: p\n\tInstance\t: Black\n"
                           "\tCoordinates\t: wght = 900, opsz = 32\n"
                           "\t\t  CFF2 outlines: the default instance is drawn\n<b>"),
            std::string::npos)
      << sink.text;
  // A font that is not variable has no such lines.
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics());
  EXPECT_EQ(sink.text.find("Instance"), std::string::npos);
}

TEST_F(InfoReport, TranslatedLabelsKeepEnglishCodePages) {
  std::string dir = ScratchDir("info_report_language");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));
  WriteBytes(JoinPath(dir, "Orvane.Test.lng"),
             "[Quenvale.Orvane]\r\n007=Oui\r\n009=Noms\r\n027=Pages\r\n032=Italique\r\n"
             "065=Police\r\n066=sur\r\n");
  SelectLanguage("Test");
  FontSignatureWords signature;
  signature.code_pages[0] = 1;
  ReportMetrics metrics = Metrics();
  metrics.italic = 1;
  // The third face of a collection is named, counted from 1.
  FontInfo face;
  face.face = 2;
  face.face_count = 10;
  RecordingSink sink;
  BuildInfoReport(sink, face, nullptr, signature, metrics);
  EXPECT_EQ(sink.text.rfind("[clear]<b>Noms\n\n</b>\tName\t: \n", 0), 0u);
  EXPECT_NE(sink.text.find("\tFile Name\t: \n\tPolice\t: 3 sur 10\n<b>"), std::string::npos);
  EXPECT_NE(sink.text.find("<b>\nPages\n\n</b>\t1252 ANSI Latin 1\n<b>"), std::string::npos);
  EXPECT_NE(sink.text.find("\tItalique\t: Oui\n\tUnderline\t: No\n"), std::string::npos);
}

// A web font's container follows the file name: kind, sizes, version fields,
// private block, then the extended metadata as text (in the code page: the
// en dash of the XML is the ANSI code page's 0x96 on Windows, '?' elsewhere).
TEST_F(InfoReport, WebFontContainerAndMetadataFollowTheFileName) {
  FontInfo info;
  info.names[5] = "Version 2.37";
  WebFontFacts& c = info.container;
  c.kind = WebFontKind::kWoff2;
  c.compressed_size = 147365;
  c.decoded_size = 343112;
  c.major_version = 2;
  c.minor_version = 37;
  c.private_size = 25;
  c.metadata =
      "<?xml version=\"1.0\"?><metadata version=\"1.0\"><vendor name=\"A &amp; B\"/>"
      "<description><text lang=\"en\">Mono</text></description></metadata>";
  RecordingSink sink;
  BuildInfoReport(sink, info, "f.woff2", FontSignatureWords{}, Metrics());
  const std::string section =
      "\tFile Name\t: f.woff2\n"
      "<b>\nWeb Font\n\n</b>"
      "\tContainer\t: WOFF 2.0\n"
      "\tCompressed Size\t: 147365 bytes\n"
      "\tDecoded Size\t: 343112 bytes\n"
      "\tFont Version\t: 2.37\n"
      "\tPrivate Data\t: 25 bytes\n"
      "<b>\nExtended Metadata\n\n</b>"
      "\tmetadata [version=1.0]\n"
      "\tvendor [name=A & B]\n"
      "\tdescription\n"
      "\tdescription / text [lang=en]: Mono\n"
      "<b>\nVersion\n\n</b>Version 2.37\n";
  EXPECT_NE(sink.text.find(section), std::string::npos) << sink.text;

  // WOFF 1.0 without metadata: no metadata heading; a font in no container: no section.
  c.kind = WebFontKind::kWoff1;
  c.metadata.clear();
  BuildInfoReport(sink, info, "f.woff", FontSignatureWords{}, Metrics());
  EXPECT_NE(sink.text.find("\tContainer\t: WOFF 1.0\n"), std::string::npos);
  EXPECT_EQ(sink.text.find("Extended Metadata"), std::string::npos);
  info.container = WebFontFacts{};
  BuildInfoReport(sink, info, "f.ttf", FontSignatureWords{}, Metrics());
  EXPECT_EQ(sink.text.find("Web Font"), std::string::npos);
}

TEST_F(InfoReport, AFileThatCouldNotBeShownGetsItsErrorAndOnlyWhatTheFileSaid) {
  FontInfo info;
  info.type_name = "TrueType";
  info.names[kNameFamily] = "Half";
  info.names[kNameVersion] = "Version 2";
  RecordingSink sink;
  // A '%' in the error is text, not a conversion.
  BuildLoadErrorReport(sink, info, "C:\\A&B%d.ttf",
                       "Unable to load \"C:\\A&B%d.ttf\".\nError 5: No\r\n");
  EXPECT_EQ(sink.text,
            "[clear]Unable to load \"C:\\A&B%d.ttf\".\nError 5: No\n"
            "<b>\nNames\n\n</b>"
            "\tName\t: \n"
            "\tFamily\t: Half\n"
            "\tStyle\t: \n"
            "\tIdentifier\t: \n"
            "\tPostScript Name\t: \n"
            "\tPostScript CID\t: \n"
            "\tType\t: TrueType\n"
            "\tFile Name\t: C:\\A&B%d.ttf\n"
            "<b>\nVersion\n\n</b>Version 2\n");
  EXPECT_TRUE(sink.caret_at_start);
}

TEST_F(InfoReport, PiecesAreCutAt65535Characters) {
  RecordingSink sink;
  std::string longer(70000, 'x');
  AppendText(sink, "%s", longer.c_str());
  EXPECT_EQ(sink.text.size(), 65535u);
  sink.text.clear();
  AppendText(sink, "%s|%d|%04X|%04X", "a", -5, 0x2Au, 0x12345u);
  EXPECT_EQ(sink.text, "a|-5|002A|12345");

  FontInfo info;
  info.names[kNameVersion] = longer;
  sink.text.clear();
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics());
  EXPECT_NE(sink.text.find("<b>\nVersion\n\n</b>" + std::string(65535, 'x') + "<b>"),
            std::string::npos);
}

// A variable colour font with layout tables and the further facts, as the
// readers would hand it over.
FontAnatomy DemoAnatomy() {
  FontAnatomy a;
  a.sfnt = true;
  VariationFacts& v = a.variation;
  v.fvar = v.avar = v.stat = TableState::kPresent;
  v.axes = {{"wght", 100 << 16, 400 << 16, 900 << 16, false, 256, "Weight"},
            {"XOPQ", 27 << 16, 96 << 16, 175 << 16, true, 257, std::nullopt}};
  v.instances = {{258, "Thin", 0xFFFF, std::nullopt, {100 << 16, 96 << 16}},
                 {259, std::nullopt, 260, "Demo-Black", {900 << 16, 0x8000}}};
  v.avar_axes_mapped = 1;
  v.stat_axes = {"wght", "ital"};
  v.stat_axis_values = 12;
  v.elided_fallback_name = "Regular";
  LayoutFacts& l = a.layout;
  l.gsub = TableState::kPresent;
  l.gpos = TableState::kBroken;
  l.gpos_broken = true;
  l.scripts = {{"latn", {"dflt", "TRK ", "XYZ "}, kInGsub}, {"zzzz", {"dflt"}, kInGsub}};
  l.features = {{"liga", kInGsub, std::nullopt},
                {"ss01", kInGsub, "Open digits"},
                {"kern", kInGsub | kInGpos, std::nullopt},
                {"zyxw", kInGpos, std::nullopt}};
  ColorFacts& c = a.color;
  c.colr = c.cpal = c.cbdt = c.cblc = TableState::kPresent;
  c.sbix = TableState::kPresent;
  c.sbix_broken = true;
  c.colr_version = 1;
  c.base_glyphs = 3;
  c.layers = 7;
  c.palettes = 2;
  c.palette_entries = 16;
  c.dark_palettes = 1;
  c.bitmap_strikes = {109, 136};
  FaceFacts& f = a.facts;
  f.has_fs_type = true;
  f.fs_type = kEmbedPreviewPrint | kEmbedBitmapOnly;
  f.kern = TableState::kPresent;
  f.kern_subtables = 1;
  f.vhea = f.vmtx = TableState::kPresent;
  f.fpgm = f.cvt = TableState::kPresent;
  f.fpgm_size = 1234;
  f.cvt_size = 56;
  f.gasp = TableState::kPresent;
  f.gasp_ranges = {{8, 0x2}, {0xFFFF, 0xF}, {20, 0}};
  f.dsig = TableState::kPresent;
  f.signatures = 0;
  return a;
}

TEST_F(InfoReport, WhatTheFontIsMadeOfFollowsTheOtherSections) {
  FontInfo info;
  const FontAnatomy anatomy = DemoAnatomy();
  RecordingSink sink;
  BuildInfoReport(sink, info, "p", FontSignatureWords{}, Metrics(), &anatomy);
  const std::string metrics_end = "\tVertical Aspect\t: 120\n";
  ASSERT_NE(sink.text.find(metrics_end), std::string::npos);
  EXPECT_EQ(sink.text.substr(sink.text.find(metrics_end) + metrics_end.size()),
            "<b>\nVariation Axes\n\n</b>"
            "\tWeight (wght)\t: minimum 100, default 400, maximum 900\n"
            "\tXOPQ\t: minimum 27, default 96, maximum 175, hidden\n"
            "\tavar\t: axes remapped: 1\n"
            "\tStyle Attributes\t: wght, ital; 12 axis values\n"
            "\tElided Name\t: Regular\n"
            "<b>\nNamed Instances\n\n</b>"
            "\tThin\t: wght 100, XOPQ 96\n"
            "\t259\t: wght 900, XOPQ 0.5; PostScript Name Demo-Black\n"
            "<b>\nOpenType Scripts and Languages\n\n</b>"
            "\tLatin (latn)\t: Default, Turkish (TRK), XYZ\n"
            "\tzzzz\t: Default\n"
            "\tGPOS\t: damaged; what could be read is shown\n"
            "<b>\nOpenType Features\n\n</b>"
            "\tliga\t: Standard Ligatures (GSUB)\n"
            "\tss01\t: Stylistic Set 1 \"Open digits\" (GSUB)\n"
            "\tkern\t: Kerning (GSUB, GPOS)\n"
            "\tzyxw\t: (GPOS)\n"
            "<b>\nColour Glyphs\n\n</b>"
            "\tCOLR\t: version 1, 3 base glyphs, 7 layers\n"
            "\tCPAL\t: 2 palettes, 16 colours each, 1 for dark backgrounds\n"
            "\tCBDT/CBLC\t: sizes in pixels per em: 109, 136\n"
            "\tsbix\t: damaged; what could be read is shown\n"
            "<b>\nFurther Facts\n\n</b>"
            "\tEmbedding\t: Preview and print, Bitmaps only\n"
            "\tKerning\t: 'kern' table (subtables: 1), 'kern' feature (GSUB, GPOS)\n"
            "\tVertical Metrics\t: vhea, vmtx\n"
            "\tHinting\t: fpgm 1234 bytes, cvt 56 bytes\n"
            "\tGrid Fitting\t: up to 8 ppem: smoothing; up to 65535 ppem: grid-fitting, "
            "smoothing, symmetric grid-fitting, symmetric smoothing; up to 20 ppem: none\n"
            "\tDigital Signature\t: DSIG, 0 signatures\n");
  EXPECT_TRUE(sink.caret_at_start);
}

TEST_F(InfoReport, SectionsWithNothingToSayAreLeftOut) {
  FontInfo info;
  RecordingSink without;
  BuildInfoReport(without, info, "p", FontSignatureWords{}, Metrics());
  // Not an sfnt font (a FON), and an sfnt font with none of the tables.
  FontAnatomy bitmap = DemoAnatomy();
  bitmap.sfnt = false;
  FontAnatomy bare;
  bare.sfnt = true;
  for (const FontAnatomy* anatomy : {&bitmap, &bare}) {
    RecordingSink with;
    BuildInfoReport(with, info, "p", FontSignatureWords{}, Metrics(), anatomy);
    EXPECT_EQ(with.text, without.text);
  }
  // Only the embedding permissions: one section, one line.
  FontAnatomy embedding;
  embedding.sfnt = true;
  embedding.facts.has_fs_type = true;
  RecordingSink only;
  BuildInfoReport(only, info, "p", FontSignatureWords{}, Metrics(), &embedding);
  EXPECT_EQ(only.text, without.text + "<b>\nFurther Facts\n\n</b>\tEmbedding\t: Installable\n");
}

TEST_F(InfoReport, WhatTheFontIsMadeOfInTheShippedTranslations) {
  std::string dir = ScratchDir("info_report_anatomy_language");
  SetModulePath(JoinPath(dir, "Orvane.wlx"));
  for (const char* file : {"Orvane.German.lng", "Orvane.French.lng"})
    WriteBytes(JoinPath(dir, file),
               ReadBytes(HostPath(std::string(ORVANE_SOURCE_DIR) + "/languages/" + file)));
  const FontAnatomy anatomy = DemoAnatomy();
  const struct {
    const char* language;
    const char* heading;
    const char* axis;
  } cases[] = {{"German", "<b>\nVariationsachsen\n\n</b>",
                "\tWeight (wght)\t: Minimum 100, Standard 400, Maximum 900\n"},
               {"French", "<b>\nAxes de variation\n\n</b>",
                "\tWeight (wght)\t: minimum 100, par d\xE9" "faut 400, maximum 900\n"}};
  for (const auto& c : cases) {
    SelectLanguage(c.language);
    RecordingSink sink;
    BuildInfoReport(sink, FontInfo{}, "p", FontSignatureWords{}, Metrics(), &anatomy);
    EXPECT_NE(sink.text.find(std::string(c.heading) + c.axis), std::string::npos) << c.language;
    // The registered names read the same in every language.
    EXPECT_NE(sink.text.find("\tliga\t: Standard Ligatures (GSUB)\n"), std::string::npos);
  }
}

}  // namespace
