// Fonts opened through ListLoadW: paths the ANSI code page cannot name, and
// ANSI paths handed over in UTF-16, which must behave as through ListLoad.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fontfile/font_info.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "viewer/font_path.h"

namespace {

// Greek, CJK ideographs and an emoji (a surrogate pair): none in code page 1252.
const std::wstring kForeignName = L"\u03a9\u03bc\u03ad\u03b3\u03b1 \u6f22\u5b57 \U0001F600";

std::string SansSerifFon() { return HostPath("/usr/share/wine/fonts/sserife.fon"); }

// A scratch folder with a sub-folder of that name; `file` copied into it unless empty.
std::wstring ForeignPath(const std::string& test, const std::string& file, const wchar_t* name) {
  std::wstring folder = Widen(ScratchDir(test)) + L"\\" + kForeignName;
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring path = folder + L"\\" + name;
  if (!file.empty()) CopyFileW(Widen(file).c_str(), path.c_str(), FALSE);
  return path;
}

// The shared parent over a fresh settings file with small glyphs.
struct Host {
  explicit Host(const std::string& test) {
    std::string ini = ScratchDir(test + "_ini") + "\\host.ini";
    WriteTextFile(ini, "[Quenvale.Orvane]\r\nFontSizeGlyphs=12\r\nSortOrderUnicodeBlocks=0\r\n");
    SetSettingsFile(ini);
  }
  HWND parent = SharedParent();
};

// What a viewer shows of its font, for comparing two ways of opening one.
struct Shown {
  std::string family, full_name, path, load_error;
  int page = -1, height = 0, rows = 0, registered = 0, wide = 0;
  bool operator==(const Shown&) const = default;
};

Shown ShownBy(HWND viewer) {
  Shown out;
  const ViewerState* s = StateOf(viewer);
  if (!s) return out;
  out.family = s->info.names[kNameFamily].value_or("");
  out.full_name = s->info.names[kNameFull].value_or("");
  out.path = s->font_path;
  out.load_error = s->load_error;
  out.page = s->page;
  out.height = s->glyph_metrics.tmHeight;
  out.rows = static_cast<int>(SendMessageA(s->glyph_list, LB_GETCOUNT, 0, 0));
  out.registered = s->font_registered;
  out.wide = !s->font_path_wide.empty();
  return out;
}

// The glyph list's pixels, with the viewer closed afterwards.
Pixels GlyphListPixels(HWND viewer) {
  Pump();
  Pixels pixels = CaptureClient(StateOf(viewer)->glyph_list);
  Plugin().list_close(viewer);
  Pump();
  return pixels;
}

TEST(WidePath, FontInForeignFolderShowsGlyphsAndInfoAsTheAnsiPathDoes) {
  const std::wstring path = ForeignPath("wide_ttf", DejaVuPath(), L"DejaVuSans.ttf");
  ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  BOOL lossy = FALSE;
  char ansi[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, ansi, sizeof ansi, nullptr,
                      &lossy);
  ASSERT_TRUE(lossy) << "the folder name must lie outside the ANSI code page";

  Host host("wide_ttf_view");
  HWND reference = LoadViewer(host.parent, DejaVuPath());
  ASSERT_NE(reference, nullptr);
  const Shown expected = ShownBy(reference);
  const Pixels expected_pixels = GlyphListPixels(reference);

  HWND viewer = LoadViewerW(host.parent, path);
  ASSERT_NE(viewer, nullptr);
  const ViewerState& s = *StateOf(viewer);
  EXPECT_EQ(s.font_path_wide, path);
  EXPECT_EQ(s.font_registered, 1);
  EXPECT_NE(s.glyph_font, nullptr);
  EXPECT_STREQ(s.load_error, "");
  const Shown shown = ShownBy(viewer);
  EXPECT_EQ(shown.family, "DejaVu Sans");
  EXPECT_EQ(shown.full_name, expected.full_name);
  EXPECT_EQ(shown.height, expected.height);
  EXPECT_GT(shown.rows, 0);
  EXPECT_EQ(shown.rows, expected.rows);
  // The readable form: the name's characters outside the code page as '?'.
  EXPECT_NE(shown.path.find("\\?"), std::string::npos) << shown.path;
  EXPECT_NE(shown.path.find("\\DejaVuSans.ttf"), std::string::npos) << shown.path;

  ClickTab(viewer, 1);
  const std::string report = WindowText(s.info_view);
  EXPECT_NE(report.find("DejaVu Sans"), std::string::npos);
  EXPECT_NE(report.find(shown.path), std::string::npos);
  ClickTab(viewer, 0);

  const Pixels pixels = GlyphListPixels(viewer);
  ASSERT_GT(pixels.width, 0);
  const RECT all = {0, 0, pixels.width, pixels.height};
  EXPECT_GT(pixels.InkIn(all, pixels.At(pixels.width - 1, pixels.height - 1)), 1000);
  ASSERT_EQ(pixels.width, expected_pixels.width);
  ASSERT_EQ(pixels.height, expected_pixels.height);
  EXPECT_TRUE(pixels.SameIn(expected_pixels, all)) << "the grid differs from the ANSI path's";
}

TEST(WidePath, BitmapFontInForeignFolderReadsAsTheOriginal) {
  const std::wstring path = ForeignPath("wide_fon", SansSerifFon(), L"sserife.fon");
  Host host("wide_fon_view");
  HWND reference = LoadViewer(host.parent, SansSerifFon());
  const Shown expected = ShownBy(reference);
  Plugin().list_close(reference);
  ASSERT_FALSE(expected.family.empty());

  HWND viewer = LoadViewerW(host.parent, path);
  const Shown shown = ShownBy(viewer);
  EXPECT_EQ(shown.family, expected.family);
  EXPECT_EQ(shown.full_name, expected.full_name);
  EXPECT_EQ(shown.height, expected.height);
  EXPECT_EQ(shown.load_error, "");
  EXPECT_EQ(shown.wide, 1);
  Plugin().list_close(viewer);
  EXPECT_FALSE(IsWindow(viewer));
}

TEST(WidePath, AnsiPathThroughListLoadWBehavesAsThroughListLoad) {
  Host host("wide_ansi");
  const std::string missing = ScratchDir("wide_ansi_missing") + "\\caf\xe9-none.ttf";
  for (const std::string& path : {DejaVuPath(), SansSerifFon(), missing}) {
    HWND by_ansi = LoadViewer(host.parent, path);
    const Shown ansi = ShownBy(by_ansi);
    Plugin().list_close(by_ansi);
    HWND by_wide = LoadViewerW(host.parent, Widen(path));
    const Shown wide = ShownBy(by_wide);
    Plugin().list_close(by_wide);
    EXPECT_EQ(wide, ansi) << path;
    EXPECT_EQ(wide.wide, 0) << path;
    EXPECT_EQ(wide.path, path);
  }
}

TEST(WidePath, MissingFontInForeignFolderGivesTheLoadErrorText) {
  const std::wstring path = ForeignPath("wide_missing", "", L"absent.ttf");
  Host host("wide_missing_view");
  HWND viewer = LoadViewerW(host.parent, path);
  ASSERT_NE(viewer, nullptr);
  const ViewerState& s = *StateOf(viewer);
  EXPECT_EQ(s.glyph_font, nullptr);
  EXPECT_EQ(s.font_registered, 0);
  const std::string error = s.load_error;
  EXPECT_NE(error.find("\\?"), std::string::npos) << error;
  EXPECT_NE(error.find("absent.ttf"), std::string::npos) << error;
  EXPECT_FALSE(IsWindowEnabled(s.glyph_list));
  Plugin().list_close(viewer);
  EXPECT_FALSE(IsWindow(viewer));
}

TEST(WidePath, ConversionKeepsAnsiNamesAndMarksTheOthers) {
  if (GetACP() != 1252) GTEST_SKIP() << "expects code page 1252, the system has " << GetACP();
  FontPath ansi = FontPathFromWide(L"C:\\Fonts\\caf\u00e9.ttf");
  EXPECT_EQ(ansi.ansi, "C:\\Fonts\\caf\xe9.ttf");
  EXPECT_TRUE(ansi.wide.empty());
  // "ā" would become "a" by best fit, which names another file.
  FontPath best_fit = FontPathFromWide(L"C:\\\u0101.ttf");
  EXPECT_EQ(best_fit.ansi, "C:\\?.ttf");
  EXPECT_EQ(best_fit.wide, L"C:\\\u0101.ttf");
  FontPath emoji = FontPathFromWide(L"C:\\\U0001F600\\x.ttf");
  EXPECT_EQ(emoji.wide, L"C:\\\U0001F600\\x.ttf");
  EXPECT_NE(emoji.ansi.find('?'), std::string::npos);
  EXPECT_EQ(FontPathFromWide(nullptr).ansi, "");
}

TEST(WidePath, PairNameForPrinterFontMetrics) {
  EXPECT_EQ(FontResourceName(std::wstring(L"C:\\\u03a9\\Font.PFM")),
            L"C:\\\u03a9\\Font.PFM|C:\\\u03a9\\Font.pfb");
  for (const wchar_t* unchanged : {L"C:\\\u03a9\\font.ttf", L"C:\\a.pfm\\font", L"C:\\a.pfm b",
                                   L"C:\\a.pfmx", L"pfm"})
    EXPECT_EQ(FontResourceName(std::wstring(unchanged)), unchanged);
  // Each half holds at most 259 characters, as in the 8-bit pair name.
  const std::wstring longest = L"C:\\" + std::wstring(252, L'\u03a9') + L".pfm";
  EXPECT_EQ(FontResourceName(longest).size(), 2u * 259 + 1);
  EXPECT_EQ(FontResourceName(L"x" + longest), L"x" + longest);
}

}  // namespace
