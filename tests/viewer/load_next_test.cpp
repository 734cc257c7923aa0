// ListLoadNext and ListLoadNextW: the host's next/previous-file keys show another
// font in the same viewer window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

std::string Font(const char* name) {
  return HostPath(std::string("/usr/share/fonts/truetype/dejavu/") + name);
}

std::string NotoCjk() { return HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"); }

std::string WineFon(const char* name) {
  return HostPath(std::string("/usr/share/wine/fonts/") + name);
}

// A viewer in the shared parent over a fresh settings file with small glyphs.
struct NextViewer {
  explicit NextViewer(const std::string& test, const std::string& font = DejaVuPath()) {
    const std::string ini = ScratchDir(test) + "\\host.ini";
    WriteTextFile(ini, "[Quenvale.Orvane]\r\nFontSizeGlyphs=12\r\nSortOrderUnicodeBlocks=0\r\n");
    SetSettingsFile(ini);
    window = LoadViewer(parent, font);
    Pump();
  }
  ~NextViewer() { Close(); }
  NextViewer(const NextViewer&) = delete;
  NextViewer& operator=(const NextViewer&) = delete;
  void Close() {
    if (window && IsWindow(window)) Plugin().list_close(window);
    window = nullptr;
    Pump();
  }
  ViewerState& state() const { return *StateOf(window); }
  // As the user picks a row: the combo box's selection and its notice.
  void Pick(HWND combo, int id, int row) const {
    SendMessageA(combo, CB_SETCURSEL, row, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    Pump();
  }
  HWND parent = SharedParent();
  HWND window = nullptr;
};

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> out;
  EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&out));
  std::sort(out.begin(), out.end());
  return out;
}

int ItemHeight(const ViewerState& s) {
  return static_cast<int>(SendMessageA(s.glyph_list, LB_GETITEMHEIGHT, 0, 0));
}

int ExpectedItemHeight(const ViewerState& s) {
  return s.glyph_metrics.tmHeight + s.glyph_metrics.tmExternalLeading + s.line_height;
}

// The three display fonts of a viewer, to see that they are deleted later.
std::vector<HGDIOBJ> FontsOf(const ViewerState& s) {
  return {s.glyph_font, s.sample_font, s.zoom_font};
}

bool AllDeleted(const std::vector<HGDIOBJ>& objects) {
  return std::all_of(objects.begin(), objects.end(),
                     [](HGDIOBJ o) { return o && GetObjectType(o) == 0; });
}

TEST(LoadNext, KeepsTheWindowItsControlsAndSelectionsAndShowsTheNewFont) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"), "");
  NextViewer v("next_keeps");
  ASSERT_NE(v.window, nullptr);
  v.Pick(v.state().block_combo, kBlockComboId, 3);
  v.Pick(v.state().charset_combo, kCharsetComboId, 1);
  ClickTab(v.window, 2);
  SetWindowTextA(v.state().sample_view, "typed by the user");
  ClickTab(v.window, 1);
  ASSERT_NE(WindowText(v.state().info_view).find("DejaVu Sans"), std::string::npos);

  const ViewerState before = v.state();
  const std::vector<HWND> controls = Descendants(v.window);
  ASSERT_GE(controls.size(), 10u);
  const std::vector<HGDIOBJ> old_fonts = FontsOf(before);

  EXPECT_EQ(LoadNext(v.parent, v.window, NotoCjk()), 0);
  ASSERT_TRUE(IsWindow(v.window));
  const ViewerState& s = v.state();
  // The same controls, and the collection's face selector besides.
  std::vector<HWND> now = Descendants(v.window);
  ASSERT_TRUE(s.face_combo);
  std::erase_if(now, [&s](HWND w) { return w == s.face_combo || IsChild(s.face_combo, w); });
  EXPECT_EQ(now, controls);
  EXPECT_EQ(s.page, 1);
  EXPECT_EQ(SendMessageA(s.tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(s.block_index, 3);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(s.charset_index, 1);
  EXPECT_EQ(SendMessageA(s.charset_combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(s.glyph_size, before.glyph_size);
  EXPECT_EQ(s.sample_size, before.sample_size);
  EXPECT_EQ(s.zoom_size, before.zoom_size);
  EXPECT_EQ(WindowText(s.sample_view), "typed by the user");

  EXPECT_EQ(s.info.names[kNameFamily].value_or(""), "Noto Serif CJK JP");
  const std::string report = WindowText(s.info_view);
  EXPECT_NE(report.find("Noto Serif CJK"), std::string::npos);
  EXPECT_EQ(report.find("DejaVu Sans"), std::string::npos);
  EXPECT_NE(report.find("NotoSerifCJK-Bold.ttc"), std::string::npos);
  // The CJK font's lines are taller: the rows follow its metrics.
  EXPECT_GT(s.glyph_metrics.tmHeight, before.glyph_metrics.tmHeight);
  EXPECT_EQ(ItemHeight(s), ExpectedItemHeight(s));
  EXPECT_TRUE(AllDeleted(old_fonts));

  // And back, through the wide export.
  EXPECT_EQ(LoadNextW(v.parent, v.window, Widen(DejaVuPath())), 0);
  EXPECT_EQ(v.state().info.names[kNameFamily].value_or(""), "DejaVu Sans");
  EXPECT_NE(WindowText(v.state().info_view).find("DejaVuSans.ttf"), std::string::npos);
  EXPECT_EQ(ItemHeight(v.state()), ExpectedItemHeight(v.state()));
  // The face selector stays, hidden, for the next collection.
  std::vector<HWND> after = Descendants(v.window);
  EXPECT_FALSE(IsWindowVisible(s.face_combo));
  std::erase_if(after, [&s](HWND w) { return w == s.face_combo || IsChild(s.face_combo, w); });
  EXPECT_EQ(after, controls);
}

TEST(LoadNext, FileThatCannotBeShownAnswersErrorAndLeavesAClosableWindow) {
  const std::string broken = ScratchDir("next_broken") + "\\broken.ttf";
  WriteTextFile(broken, "not a font, only text in a file that claims to be one");
  NextViewer v("next_fails");
  ASSERT_NE(v.window, nullptr);
  const HFONT shown = v.state().glyph_font;

  EXPECT_EQ(LoadNext(v.parent, v.window, ScratchDir("next_missing") + "\\none.ttf"), 1);
  EXPECT_EQ(LoadNext(v.parent, v.window, broken), 1);
  EXPECT_EQ(LoadNextW(v.parent, v.window, L"C:\\\u03a9\u6f22\\none.ttf"), 1);
  // Only a viewer window takes a file.
  EXPECT_EQ(LoadNext(v.parent, v.parent, DejaVuPath()), 1);
  EXPECT_EQ(LoadNext(v.parent, nullptr, DejaVuPath()), 1);

  const ViewerState& s = v.state();
  EXPECT_EQ(s.glyph_font, shown);
  EXPECT_NE(GetObjectType(shown), 0u);
  EXPECT_STREQ(s.load_error, "");
  EXPECT_EQ(s.info.names[kNameFamily].value_or(""), "DejaVu Sans");
  EXPECT_EQ(s.font_registered, 1);

  HWND window = v.window;
  v.Close();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(LoadNext(v.parent, window, DejaVuPath()), 1);
}

TEST(LoadNext, WindowOpenedOnAMissingFileTakesARealOne) {
  NextViewer v("next_after_error", ScratchDir("next_after_error_font") + "\\none.ttf");
  ASSERT_NE(v.window, nullptr);
  ASSERT_STRNE(v.state().load_error, "");
  ASSERT_FALSE(IsWindowEnabled(v.state().glyph_list));

  EXPECT_EQ(LoadNext(v.parent, v.window, Font("DejaVuSerif.ttf")), 0);
  const ViewerState& s = v.state();
  EXPECT_STREQ(s.load_error, "");
  EXPECT_NE(s.glyph_font, nullptr);
  EXPECT_EQ(s.info.names[kNameFamily].value_or(""), "DejaVu Serif");
  for (HWND control : {s.glyph_list, s.block_combo, s.block_spin, s.charset_combo, s.charset_spin})
    EXPECT_TRUE(IsWindowEnabled(control));
  EXPECT_GT(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(ItemHeight(s), ExpectedItemHeight(s));

  // Drawn from the font now: the grid's cells carry ink where the text stood.
  Pump();
  Pixels pixels = CaptureClient(s.glyph_list);
  ASSERT_GT(pixels.width, 0);
  const RECT all = {0, 0, pixels.width, pixels.height};
  EXPECT_GT(pixels.InkIn(all, pixels.At(pixels.width - 1, pixels.height - 1)), 1000);
}

// The zoom box runs its own loop inside the press; a thread timer, dispatched by
// that loop, calls ListLoadNext while the box is open.
struct ZoomWatch {
  NextViewer* viewer = nullptr;
  HWND box = nullptr;
  int result = -1;
  bool box_gone = false;
};
ZoomWatch zoom_watch;

void CALLBACK LoadNextWhileZoomed(HWND, UINT, UINT_PTR, DWORD) {
  ZoomWatch& w = zoom_watch;
  if (w.box || !IsWindow(w.viewer->window)) return;
  w.box = FindWindowExA(w.viewer->state().glyph_list, nullptr, kZoomClass, nullptr);
  if (!w.box) return;
  w.result = LoadNext(w.viewer->parent, w.viewer->window, Font("DejaVuSerif.ttf"));
  w.box_gone = !IsWindow(w.box);
  // A box left open would hold the test in its loop for as long as the button is down.
  if (!w.box_gone) SendMessageA(w.box, WM_LBUTTONUP, 0, 0);
}

TEST(LoadNext, ClosesAnOpenZoomBox) {
  NextViewer v("next_zoom");
  ASSERT_NE(v.window, nullptr);
  zoom_watch = {};
  zoom_watch.viewer = &v;
  UINT_PTR timer = SetTimer(nullptr, 0, 40, LoadNextWhileZoomed);
  HWND list = v.state().glyph_list;
  RECT item = {}, client = {};
  SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  GetClientRect(list, &client);
  POINT cell = {client.right / 16 * 5 + client.right / 32, (item.top + item.bottom) / 2};
  ClientToScreen(list, &cell);
  MouseMoveTo(cell);
  Pump();
  MouseButton(true);
  const DWORD start = GetTickCount();
  while (!zoom_watch.box && GetTickCount() - start < 3000) {
    Pump();
    Sleep(5);
  }
  MouseButton(false);
  KillTimer(nullptr, timer);
  Pump();
  ASSERT_NE(zoom_watch.box, nullptr) << "no zoom box opened";
  EXPECT_EQ(zoom_watch.result, 0);
  EXPECT_TRUE(zoom_watch.box_gone);
  ASSERT_TRUE(IsWindow(v.window));
  EXPECT_EQ(v.state().info.names[kNameFamily].value_or(""), "DejaVu Serif");
  EXPECT_EQ(FindWindowExA(v.state().glyph_list, nullptr, kZoomClass, nullptr), nullptr);
}

// The highest handle index among `count` fresh GDI objects. Handles come from a
// table that reuses freed slots first, so objects left alive between two probes
// push the second probe's highest index up by about their number.
unsigned GdiHandleHighWater(int count) {
  std::vector<HBRUSH> probes;
  unsigned highest = 0;
  for (int i = 0; i < count; ++i) {
    HBRUSH brush = CreateSolidBrush(RGB(i & 0xFF, 0, 0));
    if (!brush) break;
    probes.push_back(brush);
    highest = std::max(highest, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(brush) & 0xFFFF));
  }
  for (HBRUSH brush : probes) DeleteObject(brush);
  return highest;
}

TEST(LoadNext, ManyCyclesLeaveNoGdiObjects) {
  // Bitmap fonts: Wine takes up to a second or two to register a TrueType font.
  NextViewer v("next_cycles", WineFon("sserife.fon"));
  ASSERT_NE(v.window, nullptr);
  ClickTab(v.window, 1);  // the Info report is rebuilt on every change too
  ClickTab(v.window, 2);
  ClickTab(v.window, 0);
  auto cycle = [&](int times, const std::vector<std::string>& fonts) {
    int failures = 0, kept_fonts = 0;
    for (int i = 0; i < times; ++i) {
      const std::vector<HGDIOBJ> old_fonts = FontsOf(v.state());
      failures += LoadNext(v.parent, v.window, fonts[i % fonts.size()]) != 0;
      kept_fonts += !AllDeleted(old_fonts);
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(kept_fonts, 0);
  };
  // Warms up whatever the system keeps per font, and passes a TrueType font too.
  cycle(4, {WineFon("coure.fon"), DejaVuPath(), WineFon("sserife.fon")});
  Pump();
  const DWORD objects_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const unsigned high_water_before = GdiHandleHighWater(3000);
  constexpr int kCycles = 90;
  cycle(kCycles, {WineFon("coure.fon"), WineFon("sserife.fon"), WineFon("coure.fon")});
  Pump();
  const DWORD objects_after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const unsigned high_water_after = GdiHandleHighWater(3000);
  std::printf("GDI objects (GetGuiResources): %lu -> %lu; handle high water: %u -> %u\n",
              static_cast<unsigned long>(objects_before), static_cast<unsigned long>(objects_after),
              high_water_before, high_water_after);
  if (objects_before != 0) {
    EXPECT_LE(objects_after, objects_before + 2);
  }
  // Three fonts a cycle kept alive would raise it by 270.
  EXPECT_LT(high_water_after, high_water_before + kCycles / 3);

  // The probe itself: objects kept alive between two probes do show.
  std::vector<HFONT> kept;
  for (int i = 0; i < kCycles; ++i)
    kept.push_back(CreateFontA(-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  EXPECT_GE(GdiHandleHighWater(3000), high_water_after + kCycles / 2);
  for (HFONT font : kept) DeleteObject(font);
}

}  // namespace
