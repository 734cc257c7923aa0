// WOFF and WOFF2 files in the viewer: drawn from their decoded bytes, which the
// system takes from memory; the Info report's container section; refused files
// with their reason; browsing to and from them; a WOFF2 collection's faces.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "text/language.h"
#include "text/web_font_text.h"

namespace {

std::string Woff(const char* name) { return HostPath(std::string("/usr/share/fonts/woff/dejavu/") + name); }
std::string Woff2(const char* name) { return HostPath(std::string("/usr/share/fonts/woff2/dejavu/") + name); }
std::string Generated(const char* name) { return HostPath(ORVANE_TEST_WEB_FONTS) + "\\" + name; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct WebViewer {
  explicit WebViewer(const std::string& name, const std::string& font) {
    SetSettingsFile(ScratchDir(name) + "\\host.ini");
    parent = MakeParent(true, 600, 400);
    window = LoadViewer(parent, font);
  }
  ~WebViewer() {
    if (window) Plugin().list_close(window);
    DestroyWindow(parent);
    Pump();
  }
  ViewerState& state() const { return *StateOf(window); }
  std::string Report() {
    ClickTab(window, kInfoPage);
    return WindowText(state().info_view);
  }
  HWND parent = nullptr;
  HWND window = nullptr;
};

TEST(WebFontViewer, WoffAndWoff2AreDrawnLikeTheirTrueTypeFont) {
  WebViewer ttf("web_ttf", DejaVuPath());
  ASSERT_NE(ttf.state().glyph_font, nullptr);
  for (const std::string& path : {Woff2("DejaVuSans.woff2"), Woff("DejaVuSans.woff")}) {
    SCOPED_TRACE(path);
    WebViewer v("web_font", path);
    ASSERT_NE(v.window, nullptr);
    const ViewerState& s = v.state();
    ASSERT_NE(s.glyph_font, nullptr) << s.load_error;
    EXPECT_STREQ(s.load_error, "");
    // From memory, not by path; the decoded bytes kept for the faces.
    EXPECT_NE(s.font_memory, nullptr);
    EXPECT_EQ(s.font_registered, 0);
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.opened->decoded.size(), s.info.container.decoded_size);
    EXPECT_STREQ(s.logfont.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(s.glyph_metrics.tmHeight, ttf.state().glyph_metrics.tmHeight);
    EXPECT_EQ(s.glyph_metrics.tmAveCharWidth, ttf.state().glyph_metrics.tmAveCharWidth);
    EXPECT_EQ(s.info.coverage.count, ttf.state().info.coverage.count);
    // The system draws the font: the ANSI block's cells look as the TrueType file's.
    Pump();
    Pixels web = CaptureClient(s.glyph_list), plain = CaptureClient(ttf.state().glyph_list);
    ASSERT_EQ(web.width, plain.width);
    const RECT all = {0, 0, web.width, web.height};
    EXPECT_TRUE(web.SameIn(plain, all));

    const std::string report = v.Report();
    const bool woff2 = path.ends_with("2");
    EXPECT_NE(report.find(std::string("Container\t: ") + (woff2 ? "WOFF 2.0" : "WOFF 1.0")),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Compressed Size\t: " + std::to_string(ReadAll(path).size()) + " bytes"),
              std::string::npos);
    EXPECT_NE(report.find("Decoded Size\t: " + std::to_string(s.opened->decoded.size()) + " bytes"),
              std::string::npos);
  }
}

TEST(WebFontViewer, MetadataIsShownAsText) {
  WebViewer v("web_metadata", Generated("mono-metadata.woff2"));
  ASSERT_NE(v.state().glyph_font, nullptr) << v.state().load_error;
  const std::string report = v.Report();
  for (const char* line : {"Extended Metadata", "vendor [name=Example Type & Co, url=http://",
                           "credits / credit [name=Bob Hinter, url=http://example.invalid/bob, role=hinting]",
                           // The en dash in the Windows-1252 code page; the entity never fetched.
                           "description / text [lang=en]: A monospaced face for code \x96 with &ext; left as "
                           "written.",
                           "unknownthing [color=green]: Shown as text", "Private Data\t: 25 bytes"})
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  EXPECT_EQ(report.find("a comment"), std::string::npos);
}

// The load error names the reason, with the system code nearest to it.
TEST(WebFontViewer, RefusedFilesNameTheirReason) {
  const std::string dir = ScratchDir("web_refused");
  const std::string real = ReadAll(Woff2("DejaVuSans-ExtraLight.woff2"));
  std::string huge = real;
  huge[16] = '\x7F';  // totalSfntSize beyond the limit
  struct Case {
    const char* name;
    std::string bytes;
    WebFontProblem problem;
    int code;
  } cases[] = {
      {"cut.woff2", real.substr(0, real.size() / 2), WebFontProblem::kTruncated, ERROR_INVALID_DATA},
      {"huge.woff2", huge, WebFontProblem::kTooLarge, ERROR_FILE_TOO_LARGE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir + "\\" + c.name;
    WriteTextFile(path, c.bytes);
    WebViewer v("web_refused_settings", path);
    const ViewerState& s = v.state();
    EXPECT_EQ(s.glyph_font, nullptr);
    EXPECT_EQ(s.font_memory, nullptr);
    EXPECT_FALSE(s.opened);
    EXPECT_EQ(s.load_error, FormatLoadError(LanguageString(kTextLoadErrorFormat), path.c_str(), c.code,
                                            LanguageString(WebFontProblemTextId(c.problem))));
    EXPECT_FALSE(IsWindowEnabled(s.glyph_list));
  }
}

// n and p to and from web fonts: each step releases what the font before it held.
TEST(WebFontViewer, BrowsingReleasesTheDecodedFont) {
  WebViewer v("web_browse", Woff2("DejaVuSans.woff2"));
  ASSERT_NE(v.state().font_memory, nullptr);
  ASSERT_EQ(LoadNext(v.parent, v.window, DejaVuPath()), 0);
  EXPECT_EQ(v.state().font_memory, nullptr);
  EXPECT_TRUE(v.state().opened->decoded.empty());
  EXPECT_EQ(v.state().font_registered, 1);
  EXPECT_EQ(v.state().info.container.kind, WebFontKind::kNone);

  ASSERT_EQ(LoadNext(v.parent, v.window, Woff("DejaVuSerif.woff")), 0);
  EXPECT_NE(v.state().font_memory, nullptr);
  EXPECT_EQ(v.state().font_registered, 0);
  EXPECT_EQ(v.state().info.names[1].value_or(""), "DejaVu Serif");
  EXPECT_EQ(v.state().info.container.kind, WebFontKind::kWoff1);
  // A refused file leaves the window showing the font before it.
  const std::string cut = ScratchDir("web_browse_cut") + "\\cut.woff";
  WriteTextFile(cut, ReadAll(Woff("DejaVuSerif.woff")).substr(0, 100));
  EXPECT_EQ(LoadNext(v.parent, v.window, cut), 1);
  EXPECT_EQ(v.state().info.names[1].value_or(""), "DejaVu Serif");
  EXPECT_NE(v.state().font_memory, nullptr);
}

TEST(WebFontViewer, CollectionInWoff2ListsAndSwitchesItsFaces) {
  WebViewer v("web_faces", Generated("dejavu-faces.woff2"));
  const ViewerState& s = v.state();
  ASSERT_NE(s.glyph_font, nullptr) << s.load_error;
  ASSERT_EQ(s.face_names.size(), 3u);
  EXPECT_EQ(ComboItem(s.face_combo, 1), "2  DejaVu Sans Mono Bold");
  EXPECT_EQ(ComboItem(s.face_combo, 2), "3  DejaVu Serif");
  SendMessageA(s.face_combo, CB_SETCURSEL, 2, 0);
  SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kFaceComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(s.face_combo));
  Pump();
  EXPECT_EQ(s.face, 2u);
  EXPECT_STREQ(s.logfont.lfFaceName, "DejaVu Serif");
  const std::string report = v.Report();
  EXPECT_NE(report.find("Face\t: 3 of 3"), std::string::npos) << report;
  EXPECT_NE(report.find("Container\t: WOFF 2.0"), std::string::npos) << report;
}

}  // namespace
