// The zoom box under real mouse input. The box runs its own message loop inside
// the click, so a thread timer, dispatched by that loop, inspects and closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "text/language.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

enum class Then {
  Release,
  MoveThenLeave,
  CloseViewer,
  DestroyHost,
  CloseAndQuit,
  PostQuit,
  Unwind,
};

struct Watch {
  GridViewer* viewer = nullptr;
  HWND list = nullptr;
  Then then = Then::Release;
  int step = 0;
  HWND box = nullptr;
  RECT rect = {};  // in the list's client coordinates
  Pixels pixels;
  bool open_when_left = false;  // MoveThenLeave: still open after the move out
  bool done = false;
  std::string text;  // the box's window text
};
Watch watch;

// The freed viewer record refilled with the handle of a decoy window: code that
// still read a window from it after the box's loop would hand the decoy the focus.
struct Refill {
  HWND decoy = nullptr;
  std::vector<void*> blocks;
};
Refill refill;

void RefillFreedState() {
  for (int i = 0; i < 64; ++i) {
    auto* block = static_cast<HWND*>(std::malloc(sizeof(ViewerState)));
    if (!block) break;
    std::fill(block, block + sizeof(ViewerState) / sizeof(HWND), refill.decoy);
    refill.blocks.push_back(block);
  }
}

void CALLBACK WatchTimer(HWND, UINT, UINT_PTR, DWORD) {
  Watch& w = watch;
  if (w.done) return;
  if (!w.box) {
    if (!w.list || !IsWindow(w.list)) return;
    w.box = FindWindowExA(w.list, nullptr, kZoomClass, nullptr);
    if (!w.box) return;
    GetWindowRect(w.box, &w.rect);
    MapWindowPoints(nullptr, w.list, reinterpret_cast<POINT*>(&w.rect), 2);
    w.pixels = CaptureClient(w.box);
    w.text = WindowText(w.box);
    return;  // act on the next tick, with the box settled
  }
  ++w.step;
  switch (w.then) {
    case Then::Release:
      MouseButton(false);
      w.done = true;
      break;
    case Then::MoveThenLeave: {
      RECT screen = {};
      GetWindowRect(w.box, &screen);
      if (w.step == 1) {
        MouseMoveTo({(screen.left + screen.right) / 2 + 3, (screen.top + screen.bottom) / 2});
      } else if (w.step == 2) {
        MouseMoveTo({screen.right + 20, screen.bottom + 20});
      } else if (!IsWindow(w.box) || w.step == 40) {
        // The leave notice may come from a polling timer: allow it a second and a half.
        w.open_when_left = IsWindow(w.box) != 0;
        if (w.open_when_left) SendMessageA(w.box, WM_LBUTTONUP, 0, 0);
        MouseButton(false);
        w.done = true;
      }
      break;
    }
    case Then::CloseViewer:
      Plugin().list_close(w.viewer->window);
      RefillFreedState();
      w.done = true;
      break;
    case Then::DestroyHost:
      DestroyWindow(w.viewer->parent);
      w.done = true;
      break;
    case Then::CloseAndQuit:  // a host ending: it closes the viewer, then quits
      Plugin().list_close(w.viewer->window);
      PostQuitMessage(7);
      w.done = true;
      break;
    case Then::PostQuit:
      PostQuitMessage(42);
      w.done = true;
      break;
    case Then::Unwind:
      SendMessageA(w.box, WM_LBUTTONUP, 0, 0);
      MouseButton(false);
      w.done = true;
      break;
  }
}

struct Outcome {
  bool opened = false;
  std::string text;
  RECT rect = {};
  Pixels pixels;
  bool open_when_left = false;
  bool box_left_over = false;
  int quit_code = -1;  // the exit code of a quit that reached this loop
};

// Presses the left button on a cell (real input) and lets `then` happen once the
// box is open. Without a box the button is released after a while.
Outcome PressOn(GridViewer& v, POINT client, Then then) {
  watch = {};
  watch.viewer = &v;
  watch.list = v.state().glyph_list;
  watch.then = then;
  // A second press on the same spot soon after the first is a double click, which
  // opens nothing.
  static POINT last_press = {-1, -1};
  const POINT screen = v.ListToScreen(client);
  if (screen.x == last_press.x && screen.y == last_press.y) Sleep(GetDoubleClickTime() + 100);
  last_press = screen;
  UINT_PTR timer = SetTimer(nullptr, 0, 40, WatchTimer);
  MouseMoveTo(screen);
  Pump();
  MouseButton(true);
  Outcome out;
  bool released = false;
  const DWORD start = GetTickCount();
  while (!watch.done && GetTickCount() - start < 5000) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) out.quit_code = static_cast<int>(message.wParam);
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (!watch.box && !released && GetTickCount() - start > 400) {
      MouseButton(false);
      released = true;
      watch.then = Then::Unwind;  // a late box still gets closed
    }
    if (!watch.box && released && GetTickCount() - start > 700) break;
    Sleep(5);
  }
  KillTimer(nullptr, timer);
  if (!watch.done) MouseButton(false);
  MSG message;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) out.quit_code = static_cast<int>(message.wParam);
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  }
  out.opened = watch.box != nullptr;
  out.rect = watch.rect;
  out.pixels = watch.pixels;
  out.text = watch.text;
  out.open_when_left = watch.open_when_left;
  out.box_left_over = watch.list && IsWindow(watch.list) &&
                      FindWindowExA(watch.list, nullptr, kZoomClass, nullptr) != nullptr;
  return out;
}

RECT ListClient(const GridViewer& v) {
  RECT r;
  GetClientRect(v.state().glyph_list, &r);
  return r;
}

// The label as the box should show it, drawn apart in the interface font at the
// box's inset; compared over the label's own extent.
bool LabelShows(const Outcome& o, HWND combo_with_ui_font, const char* label) {
  const int width = o.pixels.width, height = o.pixels.height;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(combo_with_ui_font, WM_GETFONT, 0, 0));
  const Pixels expected =
      DrawTextApart(width, height, font, {2, 2, width - 2, height - 2}, label, DT_SINGLELINE);
  const SIZE extent = TextExtent(font, label);
  RECT area = {2, 2, std::min(width, 2 + static_cast<int>(extent.cx)),
               std::min(height, 2 + static_cast<int>(extent.cy))};
  return expected.InkIn(area, SystemRgb(COLOR_WINDOW)) > 0 && o.pixels.SameIn(expected, area);
}

// The ink (pixels other than the window colour) in r: how many, and their bounds.
struct Ink {
  int count = 0;
  RECT bounds = {0, 0, 0, 0};
  int Area() const { return (bounds.right - bounds.left) * (bounds.bottom - bounds.top); }
};
Ink InkOf(const Pixels& p, const RECT& r) {
  Ink ink;
  ink.bounds = {r.right, r.bottom, r.left, r.top};
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (p.At(x, y) != SystemRgb(COLOR_WINDOW)) {
        ++ink.count;
        ink.bounds = {std::min<LONG>(ink.bounds.left, x), std::min<LONG>(ink.bounds.top, y),
                      std::max<LONG>(ink.bounds.right, x + 1), std::max<LONG>(ink.bounds.bottom, y + 1)};
      }
  if (ink.count == 0) ink.bounds = {0, 0, 0, 0};
  return ink;
}

TEST(ZoomBox, ARealPressOpensTheBoxCentredAndClampedAndReleaseClosesIt) {
  GridViewer v("zoom_press", "SaveCharSet=1\r\nCharSet=1\r\n");
  ViewerState& s = v.state();
  const RECT list = ListClient(v);
  ASSERT_EQ(s.zoom_width, 128);
  ASSERT_EQ(s.zoom_height, 160);

  // 0x0084 in the middle of the list: centred on the press.
  const POINT press = v.CellCentre(8, 4);
  Outcome o = PressOn(v, press, Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_FALSE(o.box_left_over);
  EXPECT_EQ(o.rect.left, press.x - 64);
  EXPECT_EQ(o.rect.top, press.y - 80);
  EXPECT_EQ(o.rect.right - o.rect.left, 128);
  EXPECT_EQ(o.rect.bottom - o.rect.top, 160);
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#0084/132"));
  EXPECT_FALSE(LabelShows(o, s.block_combo, "#0085/133"));  // the comparison can fail
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCURSEL, 0, 0), 8);
  EXPECT_EQ(GetFocus(), s.glyph_list);

  // The top-left cell: the box starts at the list's corner.
  o = PressOn(v, v.CellCentre(0, 0), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_EQ(o.rect.left, 0);
  EXPECT_EQ(o.rect.top, 0);
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#0000/0"));

  // The last cell: pushed back inside the right and bottom edges.
  o = PressOn(v, v.CellCentre(15, 15), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_EQ(o.rect.right, list.right);
  EXPECT_EQ(o.rect.bottom, std::min<LONG>(list.bottom, v.CellCentre(15, 15).y + 80));
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#00FF/255"));
  EXPECT_EQ(GetFocus(), s.glyph_list);

  // Specials: the last code of all.
  v.SelectBlock(100);
  o = PressOn(v, v.CellCentre(0, 15), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#FFFF/65535"));
}

TEST(ZoomBox, ACodeBeyondUFFFFShowsItsSixDigitsAndTheFontsGlyph) {
  GridViewer v("zoom_planes", "", HostPath(ORVANE_PLANES_FONT));
  ViewerState& s = v.state();
  int emoticons = -1;
  for (size_t i = 0; i < UnicodeBlockTable.size(); ++i)
    if (std::string(UnicodeBlockTable[i].name) == "Emoticons") emoticons = static_cast<int>(i);
  v.SelectBlock(emoticons);
  Outcome o = PressOn(v, v.CellCentre(0, 2), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#1F602/128514"));
  const int w = o.pixels.width, h = o.pixels.height;
  EXPECT_GT(o.pixels.InkIn({0, 2 + s.line_height, w, h}, SystemRgb(COLOR_WINDOW)), 200);
  // The small glyph right of the label is the font's too, a filled box: drawn by
  // its index in the interface font, it would be another glyph, mostly paper.
  const HFONT ui = reinterpret_cast<HFONT>(SendMessageA(s.block_combo, WM_GETFONT, 0, 0));
  const SIZE label = TextExtent(ui, "#1F602/128514");
  const Ink corner = InkOf(o.pixels, {2 + label.cx + 4, 2, w - 2, 2 + s.line_height});
  EXPECT_GE(corner.bounds.right - corner.bounds.left, s.line_height / 3);
  EXPECT_GE(corner.count * 10, 8 * corner.Area()) << corner.count << " of " << corner.Area();
  // A code the font lacks: the label, and the note instead of a glyph.
  o = PressOn(v, v.CellCentre(0, 1), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#1F601/128513"));
  // Copy gives the last zoomed character as its surrogate pair.
  auto copy = DllExport<int(__stdcall*)(HWND, int, int)>(Plugin().dll, "ListSendCommand");
  EXPECT_EQ(copy(v.window, 1, 0), 0);
  EXPECT_EQ(ClipboardText(), L"\xD83D\xDE01");
}

// In the glyph view the box names the glyph, every character that reaches it,
// the features that produce it, or that nothing does, and its metrics.
TEST(ZoomBox, AGlyphOfTheGlyphViewSaysHowItIsReached) {
  GridViewer v("zoom_glyph_view");
  ViewerState& s = v.state();
  v.ShowGlyphView();
  ASSERT_TRUE(s.glyph_view);
  auto search = DllExport<int(__stdcall*)(HWND, char*, int)>(Plugin().dll, "ListSearchText");
  char ligature[] = "uniFB03";
  ASSERT_EQ(search(v.window, ligature, 1), 0);
  ASSERT_EQ(s.marked_code, 5044);
  Outcome o = PressOn(v, v.CellCentre(5044 / 16, 5044 % 16), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_EQ(o.text.substr(0, o.text.find("\nAdvance ")), "5044 uniFB03\nU+FB03\nProduced by liga");
  EXPECT_NE(o.text.find("\nAdvance 1"), std::string::npos) << o.text;
  EXPECT_TRUE(LabelShows(o, s.block_combo, "5044 uniFB03"));
  const int w = o.pixels.width, h = o.pixels.height;
  EXPECT_GT(o.pixels.InkIn({0, 2 + s.line_height, w, h}, SystemRgb(COLOR_WINDOW)), 200);
  auto copy = DllExport<int(__stdcall*)(HWND, int, int)>(Plugin().dll, "ListSendCommand");
  EXPECT_EQ(copy(v.window, 1, 0), 0);
  EXPECT_EQ(ClipboardText(), L"\xFB03");
  // Glyph 0: no character and no feature.
  SendMessageA(s.glyph_list, LB_SETTOPINDEX, 0, 0);
  o = PressOn(v, v.CellCentre(0, 0), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_EQ(o.text.substr(0, o.text.find("\nAdvance ")),
            "0 .notdef\nUnreachable: no character or feature reaches it");
}

TEST(ZoomBox, ABoxLargerThanTheListStartsLeftOfAndAboveIt) {
  GridViewer v("zoom_large", "ZoomWidth=1024\r\nZoomHeight=1024\r\n");
  const RECT list = ListClient(v);
  ASSERT_LT(list.right, 1024);
  ASSERT_LT(list.bottom, 1024);
  Outcome o = PressOn(v, v.CellCentre(2, 3), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_EQ(o.rect.left, list.right - 1024);
  EXPECT_EQ(o.rect.top, list.bottom - 1024);
}

TEST(ZoomBox, MovingOverTheBoxAndLeavingItClosesIt) {
  GridViewer v("zoom_leave");
  Outcome o = PressOn(v, v.CellCentre(5, 5), Then::MoveThenLeave);
  ASSERT_TRUE(o.opened);
  EXPECT_FALSE(o.open_when_left);
  EXPECT_FALSE(o.box_left_over);
  EXPECT_EQ(GetFocus(), v.state().glyph_list);
  // The next box asks for its own leave notice.
  o = PressOn(v, v.CellCentre(3, 9), Then::MoveThenLeave);
  ASSERT_TRUE(o.opened);
  EXPECT_FALSE(o.open_when_left);
}

TEST(ZoomBox, PressesOffTheCellsOpenNothing) {
  GridViewer v("zoom_nothing");
  ViewerState& s = v.state();
  v.SelectBlock(1);  // "Latin", 0x0000-0x007E: 8 rows, the last one short
  ASSERT_EQ(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0), 8);
  const RECT list = ListClient(v);
  ASSERT_GT(list.right % 16, 2) << "the list needs a strip right of the cells";
  RECT last = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&last));
  ASSERT_LT(last.bottom + 10, list.bottom);

  EXPECT_FALSE(PressOn(v, {list.right / 2, last.bottom + 10}, Then::Unwind).opened);
  EXPECT_FALSE(PressOn(v, {list.right - 1, v.CellCentre(3, 0).y}, Then::Unwind).opened);
  EXPECT_FALSE(PressOn(v, v.CellCentre(7, 15), Then::Unwind).opened);
  // The same row's last real cell does open: the three above were not misses.
  EXPECT_TRUE(PressOn(v, v.CellCentre(7, 14), Then::Release).opened);
}

TEST(ZoomBox, TheLargeGlyphIsInTheChosenCharacterSet) {
  GridViewer v("zoom_charset", "SaveCharSet=1\r\nCharSet=1\r\n");  // "ANSI"
  ViewerState& s = v.state();
  const POINT cell = v.CellCentre(15, 15);  // 0x00FF
  Outcome western = PressOn(v, cell, Then::Release);
  v.SelectCharset(16);  // "Russian": 0xFF is a Cyrillic letter there
  ASSERT_EQ(s.charset_index, 16);
  Outcome russian = PressOn(v, cell, Then::Release);
  ASSERT_TRUE(western.opened);
  ASSERT_TRUE(russian.opened);
  const int w = western.pixels.width, h = western.pixels.height;
  const RECT label = {0, 0, w, 2 + s.line_height};
  const RECT large = {0, 2 + s.line_height, w, h};
  EXPECT_TRUE(western.pixels.SameIn(russian.pixels, label));
  EXPECT_FALSE(western.pixels.SameIn(russian.pixels, large));
  EXPECT_GT(russian.pixels.InkIn(large, SystemRgb(COLOR_WINDOW)), 50);
}

TEST(ZoomBox, ClosingTheViewerWhileTheBoxIsOpenEndsTheBoxAndTheClick) {
  {
    GridViewer v("zoom_close_viewer");
    HWND viewer = v.window, list = v.state().glyph_list;
    refill.decoy = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, v.parent,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    Outcome o = PressOn(v, v.CellCentre(4, 4), Then::CloseViewer);
    ASSERT_TRUE(o.opened);
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_NE(GetFocus(), refill.decoy);
    EXPECT_EQ(o.quit_code, -1);  // no quit came out of the box's loop
    for (void* block : refill.blocks) std::free(block);
    refill = {};
    v.window = nullptr;
  }
  {
    GridViewer v("zoom_destroy_host");
    HWND viewer = v.window;
    Outcome o = PressOn(v, v.CellCentre(2, 2), Then::DestroyHost);
    ASSERT_TRUE(o.opened);
    EXPECT_FALSE(IsWindow(viewer));
    v.window = nullptr;
  }
  // The process's shared values survive: a new viewer opens and closes a box.
  GridViewer after("zoom_after_close");
  Outcome o = PressOn(after, after.CellCentre(1, 1), Then::Release);
  EXPECT_TRUE(o.opened);
  EXPECT_FALSE(o.box_left_over);
}

TEST(ZoomBox, AQuitPostedWhileTheBoxIsOpenClosesItAndReachesTheOuterLoop) {
  GridViewer v("zoom_quit");
  Outcome o = PressOn(v, v.CellCentre(3, 3), Then::PostQuit);
  ASSERT_TRUE(o.opened);
  EXPECT_FALSE(o.box_left_over);
  EXPECT_EQ(o.quit_code, 42);
  EXPECT_TRUE(IsWindow(v.window));
  EXPECT_EQ(GetFocus(), v.state().glyph_list);
}

TEST(ZoomBox, AHostThatClosesTheViewerAndQuitsWhileTheBoxIsOpenStillEnds) {
  GridViewer v("zoom_close_and_quit");
  HWND viewer = v.window;
  Outcome o = PressOn(v, v.CellCentre(6, 6), Then::CloseAndQuit);
  ASSERT_TRUE(o.opened);
  EXPECT_FALSE(IsWindow(viewer));
  EXPECT_EQ(o.quit_code, 7);
  v.window = nullptr;
}

}  // namespace

TEST(ZoomBox, ASecondPressSoonAfterTheFirstOpensTheBoxToo) {
  GridViewer v("zoom_double");
  const POINT press = v.CellCentre(4, 2);
  ASSERT_TRUE(PressOn(v, press, Then::Release).opened);
  // One pixel off is the same spot to the system: this press arrives as a double click.
  Outcome second = PressOn(v, {press.x + 1, press.y}, Then::Release);
  EXPECT_TRUE(second.opened);
  EXPECT_FALSE(second.box_left_over);
}

TEST(ZoomBox, ACharacterTheFontLacksIsSaidNotToBeThere) {
  // DejaVu Sans has no control characters: 0x0011 is a hole in "ANSI".
  GridViewer v("zoom_missing", "SaveCharSet=1\r\nCharSet=1\r\n");
  const ViewerState& s = v.state();
  ASSERT_TRUE(s.cells.known);
  Outcome o = PressOn(v, v.CellCentre(1, 1), Then::Release);
  ASSERT_TRUE(o.opened);
  EXPECT_TRUE(LabelShows(o, s.block_combo, "#0011/17"));
  const int w = o.pixels.width, h = o.pixels.height;
  const uint32_t paper = SystemRgb(COLOR_WINDOW);
  // No small glyph right of the label.
  const HFONT ui = reinterpret_cast<HFONT>(SendMessageA(s.block_combo, WM_GETFONT, 0, 0));
  const SIZE label = TextExtent(ui, "#0011/17");
  EXPECT_EQ(o.pixels.InkIn({2 + label.cx + 4, 2, w - 2, 2 + s.line_height}, paper), 0);
  // The note in the interface font: its ink stays within a few text lines, where
  // the 96-point empty box would fill the box.
  int top = h, bottom = 0;
  for (int y = 2 + s.line_height; y < h - 1; ++y)
    if (o.pixels.InkIn({1, y, w - 1, y + 1}, paper) > 0) {
      top = std::min(top, y);
      bottom = y;
    }
  ASSERT_LE(top, bottom) << "no note drawn";
  EXPECT_LE(bottom - top, 3 * s.line_height);
}

namespace {

TEST(ZoomBox, AnEmojiShowsTheColoursOfItsPngAndALayeredGlyphItsLayers) {
  const std::string emoji = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";
  ASSERT_EQ(MissingFont(emoji), "");
  int emoticons = -1, shapes = -1;
  for (size_t i = 0; i < UnicodeBlockTable.size(); ++i) {
    if (std::string(UnicodeBlockTable[i].name) == "Emoticons") emoticons = static_cast<int>(i);
    if (std::string(UnicodeBlockTable[i].name) == "Geometric Shapes") shapes = static_cast<int>(i);
  }
  {
    GridViewer v("zoom_emoji", "", HostPath(emoji));
    v.SelectBlock(emoticons);
    Outcome o = PressOn(v, v.CellCentre(0, 8), Then::Release);  // U+1F608, purple
    ASSERT_TRUE(o.opened);
    EXPECT_TRUE(LabelShows(o, v.state().block_combo, "#1F608/128520"));
    const std::optional<uint32_t> expected = BitmapGlyphMeanColour(HostPath(emoji), 0x1F608);
    ASSERT_TRUE(expected);
    int count = 0;
    const RECT glyph = {0, 2 + v.state().line_height, o.pixels.width, o.pixels.height};
    const uint32_t mean = InkMeanColour(o.pixels, glyph, SystemRgb(COLOR_WINDOW), &count);
    EXPECT_GT(count, 1000);
    EXPECT_TRUE(ColoursNear(mean, *expected, 40)) << std::hex << mean << " " << *expected;
  }
  GridViewer v("zoom_layers", "", HostPath(ORVANE_COLR_FONT));
  v.SelectBlock(shapes);
  Outcome o = PressOn(v, v.CellCentre(0, 0), Then::Release);  // U+25A0: red, then blue
  ASSERT_TRUE(o.opened);
  const int w = o.pixels.width, h = o.pixels.height, top = 2 + v.state().line_height;
  int red = 0, blue = 0;
  EXPECT_TRUE(ColoursNear(InkMeanColour(o.pixels, {0, top, w / 2, h}, SystemRgb(COLOR_WINDOW), &red),
                          0xFF0000, 40));
  EXPECT_TRUE(ColoursNear(InkMeanColour(o.pixels, {w / 2, top, w, h}, SystemRgb(COLOR_WINDOW), &blue),
                          0x0000FF, 40));
  EXPECT_GT(red, 200);
  EXPECT_GT(blue, 200);
}

}  // namespace

// Where the box's note at its bottom goes, wrapped to the box as the interface
// font draws it, and whether the box shows it there.
RECT NoteArea(const Outcome& o, HFONT ui, const char* note) {
  const int w = o.pixels.width, h = o.pixels.height;
  RECT place = {2, 2, w - 2, h - 2};
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, ui);
  const int height = DrawTextA(dc, note, -1, &place, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return {2, h - 2 - height, w - 2, h - 2};
}
bool NoteShows(const Outcome& o, HFONT ui, const char* note) {
  const RECT bottom = NoteArea(o, ui, note);
  const Pixels expected = DrawTextApart(o.pixels.width, o.pixels.height, ui, bottom, note,
                                        DT_WORDBREAK | DT_CENTER);
  return o.pixels.SameIn(expected, bottom);
}

TEST(ZoomBox, AFaceTheSystemReplacesIsSaidToBeAnotherUnderTheGlyph) {
  // DejaVu Sans in the Symbol and Shift JIS sets is drawn with another face.
  const int ansi = 1, symbol = 2, shift_jis = 4;
  int math = 0;
  while (std::string(UnicodeBlockTable[math].name) != "Mathematical Alphanumeric Symbols") ++math;
  const char* note = EnglishString(kTextOtherFace);
  for (const int charset : {ansi, symbol, shift_jis}) {
    SCOPED_TRACE(charset);
    GridViewer v("zoom_other_face", "SaveCharSet=1\r\nCharSet=" + std::to_string(charset) + "\r\n");
    const ViewerState& s = v.state();
    const bool other = charset != ansi;
    ASSERT_EQ(s.other_face.empty(), !other);
    const HFONT ui = reinterpret_cast<HFONT>(SendMessageA(s.block_combo, WM_GETFONT, 0, 0));
    // 'A', then U+1D400, the bold A, which only the file's face can be asked for by index.
    for (const int block : {0, math}) {
      v.SelectBlock(block);
      Outcome o = PressOn(v, v.CellCentre(block == 0 ? 4 : 0, block == 0 ? 1 : 0), Then::Release);
      ASSERT_TRUE(o.opened);
      EXPECT_TRUE(LabelShows(o, s.block_combo, block == 0 ? "#0041/65" : "#1D400/119808"));
      const int w = o.pixels.width;
      // The note at the bottom, wrapped to the box, as the interface font draws it.
      const RECT bottom = NoteArea(o, ui, note);
      EXPECT_EQ(NoteShows(o, ui, note), other);
      // Above it the glyph as the system draws it: the letter, or for the bold A
      // of another face nothing at all.
      const int ink = InkOf(o.pixels, {0, 2 + s.line_height, w, bottom.top}).count;
      if (other && block == math) {
        EXPECT_EQ(ink, 0);
      } else {
        EXPECT_GT(ink, 200);
      }
    }
  }
}

// A variable font's instance that cannot be made: the default is drawn, and the
// box says so under the glyph, below the other-face note where the system draws
// the default with another face (an installed Inter).
TEST(ZoomBox, AnInstanceThatCannotBeMadeIsSaidToBeTheDefault) {
  GridViewer v("zoom_refused_instance", "",
               HostPath(ORVANE_VARIABLE_FONTS "/inter-broken-gvar.ttf"));
  const ViewerState& s = v.state();
  ASSERT_TRUE(s.instance_combo);
  const HFONT ui = reinterpret_cast<HFONT>(SendMessageA(s.block_combo, WM_GETFONT, 0, 0));
  const char* note = EnglishString(kTextInstanceRefused);
  for (const int item : {0, 9}) {  // the default, then Black
    SendMessageA(s.instance_combo, CB_SETCURSEL, item, 0);
    SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kInstanceComboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(s.instance_combo));
    Pump();
    Outcome o = PressOn(v, v.CellCentre(4, 1 + item / 9), Then::Release);
    ASSERT_TRUE(o.opened) << item;
    EXPECT_EQ(NoteShows(o, ui, note), item != 0) << item;
  }
}
