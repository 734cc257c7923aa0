// The Features page under Wine: its switch and place in the page cycle, and the
// ink of text shaped with features switched on and off.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "font_builder.h"
#include "platform/platform.h"
#include "tests/viewer/input_harness.h"
#include "tools/orvane_host/features_input.h"
#include "support/test_paths.h"

namespace {

constexpr int kCopy = 1;  // ListSendCommand's lc_copy

HWND FeaturesView(HWND viewer) { return GetDlgItem(viewer, kFeaturesViewId); }

int TabCount(const ViewerState& s) {
  return static_cast<int>(SendMessageA(s.tab, TCM_GETITEMCOUNT, 0, 0));
}

// The run the page shows, as Copy gives it.
std::wstring CopiedRun(HWND viewer) {
  auto send = DllExport<int(__stdcall*)(HWND, int, int)>(Plugin().dll, "ListSendCommand");
  if (!send || send(viewer, kCopy, 0) != 0) return L"<no copy>";
  return ClipboardText();
}

int GlyphCount(const std::wstring& run) {
  return run.size() < 2 ? 0 : static_cast<int>(std::count(run.begin(), run.end(), L'|')) + 1;
}

bool Dark(uint32_t rgb) {
  return ((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF)) < 3 * 128;
}

// The first line of shaped text: the rows below the feature list from the first
// with dark ink (the notes and size labels are grey) to the next without any.
struct Band {
  int top = -1, bottom = -1;
};
Band FirstLine(const Pixels& pixels, int from) {
  Band band;
  for (int y = from; y < pixels.height; ++y) {
    bool ink = false;
    for (int x = 0; x < pixels.width && !ink; ++x) ink = Dark(pixels.At(x, y));
    if (ink && band.top < 0) band.top = y;
    if (!ink && band.top >= 0) {
      band.bottom = y;
      break;
    }
  }
  return band;
}

// Runs of columns with dark ink in the band, and the last such column.
struct Columns {
  int runs = 0, last = -1;
};
Columns InkColumns(const Pixels& pixels, const Band& band) {
  Columns columns;
  bool previous = false;
  for (int x = 0; x < pixels.width; ++x) {
    bool ink = false;
    for (int y = band.top; y < band.bottom && !ink; ++y) ink = Dark(pixels.At(x, y));
    if (ink && !previous) ++columns.runs;
    if (ink) columns.last = x;
    previous = ink;
  }
  return columns;
}

struct FeaturesPageTest : ::testing::Test {
  // A viewer of `font` (a Unix path, or a host path when `host_path`) showing
  // the Features page, with its own settings file.
  void Open(const std::string& font, const std::string& settings =
                                         "[Quenvale.Orvane]\r\nFeaturesPage=1\r\nPage=4\r\n",
            bool host_path = false) {
    ini = ScratchDir("features") + "\\host.ini";
    WriteTextFile(ini, settings);
    SetSettingsFile(ini);
    parent = MakeParent(true, 600, 400);
    viewer = LoadViewer(parent, host_path ? font : HostPath(font));
    ASSERT_NE(viewer, nullptr);
    Pump();
  }
  void TearDown() override {
    if (viewer) Plugin().list_close(viewer);
    if (parent) DestroyWindow(parent);
    viewer = parent = nullptr;
    Pump();
  }
  ViewerState& s() const { return *StateOf(viewer); }
  // The page as it is drawn after `text` was typed, and where its drawing starts.
  Pixels Shown(const std::wstring& text) {
    TypeFeaturesText(viewer, text);
    HWND page = FeaturesView(viewer);
    UpdateWindow(page);
    return CaptureClient(page);
  }
  int BelowList() const {
    RECT list = {};
    GetWindowRect(FeaturesControl(viewer, kFeaturesListId), &list);
    MapWindowPoints(nullptr, FeaturesView(viewer), reinterpret_cast<POINT*>(&list), 2);
    return list.bottom + 2 * UiLine();
  }
  static int UiLine() { return MenuFontLineHeight(); }
  std::string ini;
  HWND parent = nullptr, viewer = nullptr;
};

TEST_F(FeaturesPageTest, SwitchAddsTheFifthPageAfterOptions) {
  Open("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
       "[Quenvale.Orvane]\r\nPage=4\r\nSavePage=1\r\n");
  // Off by default: four pages, and a stored 4 reads as Options.
  EXPECT_EQ(TabCount(s()), 4);
  EXPECT_EQ(s().page, kOptionsPage);
  EXPECT_EQ(FeaturesView(viewer), nullptr);
  SetCtrl(true);
  SendMessageA(viewer, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(s().page, kGlyphsPage);

  // The switch on the Options page adds the page at once: Options is followed by
  // Features, which wraps to Glyphs.
  ClickTab(viewer, kOptionsPage);
  ASSERT_TRUE(s().options_dialog);
  SendDlgItemMessageA(s().options_dialog, 922, BM_CLICK, 0, 0);
  EXPECT_EQ(TabCount(s()), 5);
  SendMessageA(viewer, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(s().page, kFeaturesPage);
  EXPECT_TRUE(IsWindowVisible(FeaturesView(viewer)));
  SendMessageA(viewer, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(s().page, kGlyphsPage);
  SendMessageA(viewer, WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(s().page, kFeaturesPage);
  // Ctrl+Right and Ctrl+Left go round the page's controls; they pass Ctrl+Tab on.
  HWND text = FeaturesControl(viewer, kFeaturesTextId);
  SetFocus(text);
  SendMessageA(text, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), FeaturesControl(viewer, kFeaturesScriptId));
  SetFocus(text);
  SendMessageA(text, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(GetFocus(), FeaturesControl(viewer, kFeaturesListId));
  SendMessageA(FeaturesControl(viewer, kFeaturesListId), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(s().page, kGlyphsPage);
  SendMessageA(viewer, WM_KEYDOWN, VK_PRIOR, 0);
  SetCtrl(false);

  // Both stored on closing; switched off again, the page goes with its tab.
  Plugin().list_close(viewer);
  viewer = nullptr;
  const std::string stored = SettingsSection(ini);
  EXPECT_NE(stored.find("FeaturesPage=1"), std::string::npos) << stored;
  EXPECT_NE(stored.find("Page=4"), std::string::npos) << stored;
  viewer = LoadViewer(parent, HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(s().page, kFeaturesPage);
  ClickTab(viewer, kOptionsPage);
  SendDlgItemMessageA(s().options_dialog, 922, BM_CLICK, 0, 0);
  EXPECT_EQ(TabCount(s()), 4);
}

TEST_F(FeaturesPageTest, LigatureDrawsFewerGlyphsAndCopiesAsHbShape) {
  Open("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  const Pixels on = Shown(L"office");
  const std::wstring with = CopiedRun(viewer);
  // The run as hb-shape prints it for the same font and text.
  EXPECT_EQ(with, L"[o=0+1253|uniFB03=1+1980|c=4+1126|e=5+1260]");
  ASSERT_TRUE(PressFeature(viewer, "liga", 2));  // off
  const Pixels off = Shown(L"office");
  EXPECT_EQ(GlyphCount(with), 4);
  EXPECT_EQ(GlyphCount(CopiedRun(viewer)), 6);
  const Band band = FirstLine(on, BelowList());
  ASSERT_GT(band.bottom, band.top);
  const RECT line = {0, band.top, on.width, band.bottom};
  EXPECT_FALSE(on.SameIn(off, line));

  // A click on the line's first glyph names it in the note above the line; a
  // click past the line's end leaves the note as it was.
  HWND page = FeaturesView(viewer);
  const RECT note = {0, BelowList() - 2 * UiLine(), on.width, BelowList()};
  const int first = [&] {
    for (int x = 0; x < off.width; ++x)
      for (int y = band.top; y < band.bottom; ++y)
        if (Dark(off.At(x, y))) return x;
    return -1;
  }();
  ASSERT_GE(first, 0);
  const int middle = (band.top + band.bottom) / 2;
  SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(off.width - 8, middle));
  UpdateWindow(page);
  EXPECT_TRUE(CaptureClient(page).SameIn(off, note));
  SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first + 2, middle));
  UpdateWindow(page);
  EXPECT_FALSE(CaptureClient(page).SameIn(off, note));
  SaveScreenshot(parent, "features-dejavu.png");
}

TEST_F(FeaturesPageTest, NextFontFillsThePageAgainKeepingTextAndSwitches) {
  Open("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  TypeFeaturesText(viewer, L"\x0644\x0627 office");
  EXPECT_FALSE(PressFeature(viewer, "isol", 1));  // DejaVu Sans has none
  const std::wstring before = CopiedRun(viewer);
  ASSERT_TRUE(PressFeature(viewer, "rlig", 2));   // off
  ASSERT_EQ(LoadNext(parent, viewer, HostPath("/usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf")), 0);
  EXPECT_EQ(s().page, kFeaturesPage);
  EXPECT_TRUE(PressFeature(viewer, "isol", 0));
  // The text stays, shaped by the Arabic font now; rlig stays off, so lam and
  // alef stay two glyphs: 9, where with rlig on they are one ligature.
  const std::wstring after = CopiedRun(viewer);
  EXPECT_NE(after, before);
  EXPECT_EQ(GlyphCount(after), 9) << after;
  ASSERT_TRUE(PressFeature(viewer, "rlig", 1));  // from off back to its default
  EXPECT_EQ(GlyphCount(CopiedRun(viewer)), 8);
}

TEST_F(FeaturesPageTest, RefusedLayoutShowsTheGlyphsUnshapedWithANote) {
  const char dejavu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  Open(dejavu);
  const Band sound = FirstLine(Shown(L"office"), BelowList() - 2 * UiLine());
  const std::wstring shaped = CopiedRun(viewer);
  TearDown();

  // The same font with a GSUB header cut short, which HarfBuzz refuses.
  MappedFile file;
  ASSERT_TRUE(MapFileReadOnly(HostPath(dejavu).c_str(), file));
  SfntFont font = ReadSfntFont({file.data, file.size});
  std::string gsub;
  PutU32BE(gsub, 0x00010000);
  PutU16BE(gsub, 10);
  font.Set("GSUB", gsub);
  const std::string path = ScratchDir("features_refused") + "\\refused.ttf";
  WriteTextFile(path, BuildSfnt(font));
  Open(path, "[Quenvale.Orvane]\r\nFeaturesPage=1\r\nPage=4\r\n", true);
  const Band refused = FirstLine(Shown(L"office"), BelowList() - 2 * UiLine());
  // Six glyphs, no ligature, and the line a note lower.
  EXPECT_EQ(GlyphCount(shaped), 4);
  EXPECT_EQ(GlyphCount(CopiedRun(viewer)), 6);
  EXPECT_NEAR(refused.top - sound.top, UiLine(), 2);
}

TEST_F(FeaturesPageTest, ArabicDrawsJoined) {
  Open("/usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf");
  const std::wstring text = L"\x0633\x0644\x0627\x0645 \x0639\x0644\x064A\x0643\x0645";
  const Pixels joined = Shown(text);
  for (const char* form : {"init", "medi", "fina"}) ASSERT_TRUE(PressFeature(viewer, form, 2));
  const Pixels isolated = Shown(text);
  const Columns a = InkColumns(joined, FirstLine(joined, BelowList()));
  const Columns b = InkColumns(isolated, FirstLine(isolated, BelowList()));
  // Joined letters make fewer runs of ink, each wider on average.
  EXPECT_GT(a.runs, 0);
  EXPECT_LT(a.runs, b.runs);
  SaveScreenshot(parent, "features-arabic-isolated.png");
}

// Inter's Medium instance, a static font of the viewer's own: the file's default
// shares its full name with the installed Inter files, one of which the system
// may draw in its place.
TEST_F(FeaturesPageTest, StylisticSetChangesOnlyTheGlyphsItReplaces) {
  Open("/usr/share/fonts/truetype/inter-vf/Inter.var.ttf",
       "[Quenvale.Orvane]\r\nFeaturesPage=1\r\nPage=4\r\nInstanceName=Medium\r\n");
  ASSERT_EQ(s().other_face, "");
  const Pixels base = Shown(L"HHHH");
  const Band band = FirstLine(base, BelowList());
  const int end = InkColumns(base, band).last;
  ASSERT_GT(end, 0);
  const Pixels plain = Shown(L"HHHH6");
  ASSERT_TRUE(PressFeature(viewer, "ss01", 1));
  const Pixels open = Shown(L"HHHH6");
  // The H's stay as they were; the 6 takes its open form.
  const RECT left = {0, band.top, end + 1, band.bottom};
  const RECT right = {end + 1, band.top, plain.width, band.bottom};
  EXPECT_TRUE(plain.SameIn(open, left));
  EXPECT_FALSE(plain.SameIn(open, right));
  SaveScreenshot(parent, "features-inter-ss01.png");
}

// A face the system cannot draw (the second of two faces alike in every name but
// their identifiers) is drawn with the first: the file's glyph numbers would name
// that face's glyphs, so its text is drawn by character, unshaped. The second
// face here maps 'i' to the glyph of 'W'.
TEST_F(FeaturesPageTest, AnotherFaceDrawsTheTextByCharacter) {
  const char dejavu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  Open(dejavu);
  const auto line_end = [&](const std::wstring& text) {
    const Pixels shown = Shown(text);
    return InkColumns(shown, FirstLine(shown, BelowList())).last;
  };
  const int wide = line_end(L"WWWW"), narrow = line_end(L"iiii");
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, s().glyph_font);
  WORD w = 0;
  GetGlyphIndicesW(dc, L"W", 1, &w, 0);
  SelectObject(dc, previous);
  DeleteDC(dc);
  ASSERT_NE(w, 0);
  TearDown();

  MappedFile file;
  ASSERT_TRUE(MapFileReadOnly(HostPath(dejavu).c_str(), file));
  const SfntFont font = ReadSfntFont({file.data, file.size});
  const auto twin = [&](const char16_t* id) {
    SfntFont face = font;
    return face.Set("name", BuildNameTable(NameTable{}
                                               .Add(1, u"Orvane Twin")
                                               .Add(2, u"Book")
                                               .Add(3, id)
                                               .Add(4, u"Orvane Twin")
                                               .Add(6, u"OrvaneTest")));
  };
  SfntFont second = twin(u"twin-1");
  const auto to_w = static_cast<uint16_t>(w - 'i');  // a delta, modulo 65536
  second.Set("cmap", BuildCmap({{3, 1, CmapFormat4({{'i', 'i', to_w, {}}, {0xFFFF, 0xFFFF, 1, {}}})}}));
  const std::string path = ScratchDir("features_twins") + "\\twins.ttc";
  WriteTextFile(path, BuildCollection({twin(u"twin-0"), second}));
  Open(path, "[Quenvale.Orvane]\r\nFeaturesPage=1\r\nPage=4\r\n", true);
  HWND combo = GetDlgItem(viewer, kFaceComboId);
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(kFaceComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  Pump();
  ASSERT_EQ(s().face, 1u);
  ASSERT_NE(s().other_face, "");
  const int drawn = line_end(L"iiii");
  // Shaped from the file, the run is four W's; drawn, four i's of the face drawn.
  const std::wstring run = CopiedRun(viewer);
  EXPECT_EQ(GlyphCount(run), 4);
  EXPECT_EQ(run.compare(0, 4, L"[W=0"), 0) << run;
  EXPECT_NEAR(drawn, narrow, 3);
  EXPECT_LT(drawn, (narrow + wide) / 2);
}

}  // namespace
