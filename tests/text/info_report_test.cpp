// The Info page's text for chosen font facts, recorded piece by piece with the
// bold switches, compared as whole reports.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
