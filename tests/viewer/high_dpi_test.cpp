// The viewer at 192 dots per inch. This program runs in a Wine prefix of its own
// whose screen is set to 192 dpi (run-at-dpi.sh); the layout arithmetic is
// checked without a window as well.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "viewer/viewer_layout.h"

namespace {

TEST(HighDpiLayout, ScalingRoundsLikeMulDivAndTreatsNoMeasureAs96) {
  EXPECT_EQ(ScaleToDpi(35, 144), 53);  // 52.5 rounds up
  EXPECT_EQ(ScaleToDpi(2, 120), 3);    // 2.5
  EXPECT_EQ(ScaleToDpi(29, 120), 36);  // 36.25
  EXPECT_EQ(ScaleToDpi(384, 192), 768);
  EXPECT_EQ(ScaleToDpi(-3, 144), -5);  // -4.5 rounds away from zero
  EXPECT_EQ(ScaleToDpi(40, 0), 40);
  EXPECT_EQ(ScaleToDpi(40, -96), 40);
  for (int n : {2, 4, 20, 24, 29, 35, 40, 44, 46, 88, 384}) {
    EXPECT_EQ(ScaleToDpi(n, 96), n);
    EXPECT_EQ(ScaleToDpi(n, 120), MulDiv(n, 120, 96)) << n;
  }
}

// The box runs its own message loop inside the press: a thread timer, which that
// loop dispatches, measures the box and lets the button go.
struct BoxWatch {
  HWND list = nullptr;
  RECT rect = {};  // on the screen
  bool seen = false;
};
BoxWatch box_watch;

void CALLBACK MeasureBox(HWND, UINT, UINT_PTR, DWORD) {
  if (box_watch.seen) return;
  HWND box = FindWindowExA(box_watch.list, nullptr, kZoomClass, nullptr);
  if (!box) return;
  GetWindowRect(box, &box_watch.rect);
  box_watch.seen = true;
  MouseButton(false);
}

// The zoom box that a real press on cell (row, column) opens; empty when none opened.
RECT ZoomBoxOfPress(HWND list, int row, int column) {
  RECT item = {}, client = {};
  SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  GetClientRect(list, &client);
  const int cell = client.right / 16;
  POINT press = {cell * column + cell / 2, (item.top + item.bottom) / 2};
  ClientToScreen(list, &press);
  box_watch = {list, {}, false};
  PressWhileWatching(press, MeasureBox, box_watch.seen);
  return box_watch.rect;
}

// A viewer of DejaVu Sans (or `font`) in a 1200 x 800 parent, blocks in table order.
struct DpiViewer {
  explicit DpiViewer(const std::string& name, const std::string& font = DejaVuPath(),
                     int width = 1200, int height = 800) {
    const std::string ini = ScratchDir(name) + "\\host.ini";
    WriteTextFile(ini, "[Quenvale.Orvane]\r\nSortOrderUnicodeBlocks=0\r\n");
    SetSettingsFile(ini);
    parent = MakeParent(true, width, height);
    window = LoadViewer(parent, font);
    Pump();
  }
  ~DpiViewer() {
    if (window) Plugin().list_close(window);
    DestroyWindow(parent);
    Pump();
  }
  DpiViewer(const DpiViewer&) = delete;
  DpiViewer& operator=(const DpiViewer&) = delete;
  HWND parent = nullptr;
  HWND window = nullptr;
};

RECT ChildRect(HWND viewer, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(HighDpiViewer, ControlsSitAtDoubledOffsets) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 192) << "this program must run in the 192-dpi prefix";

  DpiViewer v("high-dpi");
  ASSERT_TRUE(v.window);
  HWND viewer = v.window;
  const ViewerState& s = *StateOf(viewer);
  RECT d = {0, 0, 1200, 800};
  SendMessageA(s.tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&d));
  const int W = d.right - d.left;

  struct Expect {
    HWND window;
    int x, y, width, height;  // height -1: a combo box's closed height
  };
  const int block_width = (5 * W) / 8 - 8;
  const int spin_x = d.left + 4 + block_width + 8;
  const int charset_x = spin_x + 88;
  const int charset_width = W - spin_x - 176;
  for (const Expect& e : {
           Expect{s.block_combo, d.left + 4, d.top + 8, block_width, -1},
           Expect{s.block_spin, spin_x, d.top + 8, 80, 40},
           Expect{s.charset_combo, charset_x, d.top + 8, charset_width, -1},
           Expect{s.charset_spin, charset_x + charset_width + 8, d.top + 8, 80, 40},
           Expect{s.size_edit, d.left + 4, d.bottom - 48, 80, 40},
           Expect{s.size_slider, d.left + 92, d.bottom - 48, W - (d.left + 92), 40},
           Expect{s.glyph_list, d.left + 4, d.top + 58, W - 8, d.bottom - 2 * d.top - 70},
           Expect{s.sample_view, d.left + 4, d.top + 8, W - 8, d.bottom - 2 * d.top - 20},
           Expect{s.info_view, d.left + 4, d.top + 8, W - 8, d.bottom - d.top - 16},
           Expect{s.options_host, d.left + 4, d.top + 8, W - 8, d.bottom - d.top - 16},
       }) {
    SCOPED_TRACE(GetDlgCtrlID(e.window));
    ASSERT_TRUE(e.window);
    const RECT r = ChildRect(viewer, e.window);
    EXPECT_EQ(r.left, e.x);
    EXPECT_EQ(r.top, e.y);
    EXPECT_EQ(r.right - r.left, e.width);
    if (e.height >= 0) {
      EXPECT_EQ(r.bottom - r.top, e.height);
    }
  }
  // The rows grow with the fonts, which the system scales itself.
  const int row = static_cast<int>(SendMessageA(s.glyph_list, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(row, s.glyph_metrics.tmHeight + s.glyph_metrics.tmExternalLeading + s.line_height);
  EXPECT_GT(s.glyph_metrics.tmHeight, 50) << "24 points at 192 dpi are 64 pixels";

  // Five- and six-digit codes keep inside their cells at this dpi too.
  for (int position : {252, 263}) {
    SendMessageA(s.block_combo, CB_SETCURSEL, position, 0);
    SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(kBlockComboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(s.block_combo));
    UpdateWindow(s.glyph_list);
    EXPECT_EQ(LabelInkAtCellEdges(s.glyph_list, s.line_height), 0) << position;
  }
}

TEST(HighDpiViewer, TheZoomBoxIsScaledWithTheDpiAndKeptWithinTheScreen) {
  DpiViewer v("high-dpi-zoom");
  ASSERT_TRUE(v.window);
  ViewerState& s = *StateOf(v.window);

  // 128 x 160 pixels at 96 dpi.
  RECT box = ZoomBoxOfPress(s.glyph_list, 0, 4);
  EXPECT_EQ(box.right - box.left, 256);
  EXPECT_EQ(box.bottom - box.top, 320);

  // The largest size, 1024 x 1024, would be 2048 pixels each way.
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_LT(screen_width, 2048);
  ASSERT_LT(screen_height, 2048);
  s.zoom_width = 1024;
  s.zoom_height = 1024;
  box = ZoomBoxOfPress(s.glyph_list, 1, 9);
  EXPECT_EQ(box.right - box.left, screen_width);
  EXPECT_EQ(box.bottom - box.top, screen_height);
}

TEST(HighDpiViewer, TheFaceListOpensAsWideAsItsLongestName) {
  // At 192 dpi in a 600 x 400 viewer the closed selector cuts every name.
  const char* noto = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
  ASSERT_EQ(MissingFont(noto), "");
  DpiViewer v("high-dpi-faces", HostPath(noto), 600, 400);
  ASSERT_TRUE(v.window);
  const ViewerState& s = *StateOf(v.window);
  ASSERT_TRUE(s.face_combo);
  const DroppedList list = MeasureDroppedList(s.face_combo);
  ASSERT_LT(list.closed, list.needed);
  EXPECT_GE(list.dropped, list.needed);
  EXPECT_GE(list.shown, list.needed);
  EXPECT_LE(list.shown, list.work);
}

}  // namespace
