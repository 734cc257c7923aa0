// What the page controls do: selectors, size entry, options, keys, the zoom box.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "fontfile/catalog.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

struct Viewer {
  explicit Viewer(const std::string& settings_name, const std::string& settings = "")
      : ini(ScratchDir(settings_name) + "\\host.ini") {
    if (!settings.empty()) WriteTextFile(ini, settings);
    SetSettingsFile(ini);
    parent = MakeParent(true);
    window = LoadViewer(parent, DejaVuPath());
  }
  ~Viewer() {
    if (window) Plugin().list_close(window);
    DestroyWindow(parent);
    Pump();
  }
  ViewerState& state() const { return *StateOf(window); }
  void Command(int id, int code) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
  }
  void Scroll(HWND control) {
    SendMessageA(window, WM_HSCROLL, SB_THUMBPOSITION, reinterpret_cast<LPARAM>(control));
  }
  std::string ini;
  HWND parent = nullptr;
  HWND window = nullptr;
};

TEST(GlyphSelectors, ComboAndUpDownKeepBlockAndCharsetInStep) {
  Viewer v("selectors", "[Quenvale.Orvane]\r\nSortOrderUnicodeBlocks=0\r\n");
  ViewerState& s = v.state();
  const LRESULT row_height = SendMessageA(s.glyph_list, LB_GETITEMHEIGHT, 0, 0);

  SendMessageA(s.block_combo, CB_SETCURSEL, 1, 0);  // "Latin", 0x0000-0x007E
  v.Command(kBlockComboId, CBN_SELCHANGE);
  EXPECT_EQ(s.block_index, 1);
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0), 8);
  EXPECT_EQ(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0), 1);

  SendMessageA(s.block_spin, UDM_SETPOS32, 0, 100);
  v.Scroll(s.block_spin);
  EXPECT_EQ(s.block_index, 100);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), 100);
  const UnicodeBlockRow& last = UnicodeBlockTable[100];
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0), (last.last - last.first + 16) / 16);
  EXPECT_EQ(GetFocus(), s.glyph_list);

  SendMessageA(s.charset_combo, CB_SETCURSEL, 2, 0);
  v.Command(kCharsetComboId, CBN_SELCHANGE);
  EXPECT_EQ(s.charset_index, 2);
  EXPECT_EQ(s.logfont.lfCharSet, static_cast<BYTE>(CharsetTable[2].value));
  EXPECT_EQ(SendMessageA(s.charset_spin, UDM_GETPOS32, 0, 0), 2);
  EXPECT_NE(s.glyph_font, nullptr);
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETITEMHEIGHT, 0, 0), row_height);

  SendMessageA(s.charset_spin, UDM_SETPOS32, 0, 0);
  v.Scroll(s.charset_spin);
  EXPECT_EQ(s.charset_index, 0);
  EXPECT_EQ(SendMessageA(s.charset_combo, CB_GETCURSEL, 0, 0), 0);
}

TEST(SizeControls, EntriesAreClampedToTheirFallbackAndTheSliderFollows) {
  Viewer v("size_controls");
  ViewerState& s = v.state();
  const LRESULT row_height = SendMessageA(s.glyph_list, LB_GETITEMHEIGHT, 0, 0);
  SetWindowTextA(s.size_edit, "200");
  v.Command(kSizeEditId, EN_KILLFOCUS);
  EXPECT_EQ(WindowText(s.size_edit), "24");
  EXPECT_EQ(SendMessageA(s.size_slider, TBM_GETPOS, 0, 0), 24);
  EXPECT_EQ(s.glyph_size, 24);

  SetWindowTextA(s.size_edit, "48");
  v.Command(kSizeEditId, EN_KILLFOCUS);
  EXPECT_EQ(s.glyph_size, 48);
  EXPECT_EQ(SendMessageA(s.size_slider, TBM_GETPOS, 0, 0), 48);
  EXPECT_GT(SendMessageA(s.glyph_list, LB_GETITEMHEIGHT, 0, 0), row_height);

  ClickTab(v.window, 2);
  SetWindowTextA(s.size_edit, "5");
  v.Command(kSizeEditId, EN_KILLFOCUS);
  EXPECT_EQ(WindowText(s.size_edit), "16");
  EXPECT_EQ(s.sample_size, 16);

  SendMessageA(s.size_slider, TBM_SETPOS, TRUE, 40);
  v.Scroll(s.size_slider);
  EXPECT_EQ(WindowText(s.size_edit), "40");
  EXPECT_EQ(s.sample_size, 40);
  EXPECT_EQ(s.glyph_size, 48);
  // The view took the new font: 40 points are 800 twips, give or take a pixel.
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendMessageA(s.sample_view, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_NEAR(format.yHeight, 800, 20);
  EXPECT_STREQ(format.szFaceName, "DejaVu Sans");
}

TEST(OptionsPage, AppliedByATabClickAndAtCloseNotByKeys) {
  std::string ini;
  {
    Viewer v("options", "[Quenvale.Orvane]\r\nSortOrderUnicodeBlocks=0\r\n");
    ini = v.ini;
    ViewerState& s = v.state();
    ClickTab(v.window, 3);
    HWND dialog = s.options_dialog;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 912, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ComboItem(GetDlgItem(dialog, 914), 0), "English");
    EXPECT_EQ(IsDlgButtonChecked(dialog, 916), BST_CHECKED);
    SendDlgItemMessageA(dialog, 912, CB_SETCURSEL, 2, 0);
    SetDlgItemTextA(dialog, 903, "");
    SetDlgItemTextA(dialog, 906, "300");

    SetCtrl(true);
    SendMessageA(v.window, WM_KEYDOWN, VK_TAB, 0);  // Ctrl+Tab: Options -> Glyphs
    SetCtrl(false);
    EXPECT_EQ(s.page, 0);
    EXPECT_EQ(ComboItem(s.block_combo, 1), "Latin");
    EXPECT_EQ(s.zoom_width, 128);

    ClickTab(v.window, 3);
    SendMessageA(s.block_combo, CB_SETCURSEL, 4, 0);
    s.block_index = 4;
    ClickTab(v.window, 0);
    // Re-sorted by name, still on the block shown.
    EXPECT_EQ(ComboItem(s.block_combo, 0), "ANSI");
    EXPECT_EQ(ComboItem(s.block_combo, 1), "Adlam");
    const auto item = static_cast<int>(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(ComboItem(s.block_combo, item), "Latin Extended-B");
    EXPECT_EQ(s.block_index, item);
    EXPECT_GT(item, 100);
    EXPECT_EQ(s.zoom_width, 300);
    EXPECT_EQ(s.zoom_size, 96);
    EXPECT_EQ(GetDlgItemInt(dialog, 903, nullptr, FALSE), 96u);  // the fallback, visibly
  }
  EXPECT_EQ(GetPrivateProfileIntA("Quenvale.Orvane", "SortOrderUnicodeBlocks", -1, ini.c_str()), 2);
  EXPECT_EQ(GetPrivateProfileIntA("Quenvale.Orvane", "ZoomWidth", -1, ini.c_str()), 300);
  Viewer back("options_back", "[Quenvale.Orvane]\r\nSortOrderUnicodeBlocks=0\r\n");
}

TEST(Keyboard, EscapeReachesTheHostAndCtrlArrowsWalkTheRing) {
  Viewer v("keyboard");
  ViewerState& s = v.state();
  ParentKeys() = {};
  SendMessageA(s.size_edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_EQ(ParentKeys().escapes, 1);
  EXPECT_EQ(ParentKeys().last_key_data, 0x00010001);

  SetCtrl(true);
  SetFocus(s.charset_combo);
  SendMessageA(s.charset_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.glyph_list);
  SendMessageA(s.glyph_list, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(GetFocus(), s.charset_combo);
  SendMessageA(s.charset_combo, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(GetFocus(), s.block_combo);

  ClickTab(v.window, 2);
  SendMessageA(s.sample_view, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(GetFocus(), s.size_slider);
  ClickTab(v.window, 1);
  SendMessageA(s.info_view, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.info_view);
  SetCtrl(false);
  EXPECT_EQ(s.has_focus, 1);
}

// Runs inside the zoom box's own message loop.
struct ZoomProbe {
  HWND list = nullptr;
  bool seen = false;
  RECT box = {};
};
ZoomProbe probe;

void CALLBACK CloseZoomBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowExA(probe.list, nullptr, "Quenvale.wlxOrvane.Zoom", nullptr);
  if (!box) return;
  KillTimer(nullptr, timer);
  probe.seen = true;
  GetWindowRect(box, &probe.box);
  MapWindowPoints(nullptr, probe.list, reinterpret_cast<POINT*>(&probe.box), 2);
  SendMessageA(box, WM_LBUTTONUP, 0, 0);
}

TEST(ZoomBox, APressOnACellOpensTheBoxUntilTheButtonIsReleased) {
  Viewer v("zoom");
  ViewerState& s = v.state();
  RECT row = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
  RECT client;
  GetClientRect(s.glyph_list, &client);
  const int cell = client.right / 16;
  POINT click = {cell + cell / 2, (row.top + row.bottom) / 2};  // row 4, column 1: 0x0041
  POINT screen = click;
  ClientToScreen(s.glyph_list, &screen);
  SetCursorPos(screen.x, screen.y);

  probe = {};
  probe.list = s.glyph_list;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseZoomBox);
  PostMessageA(s.glyph_list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.x, click.y));
  for (int i = 0; i < 100 && !probe.seen; ++i) {
    Pump();
    Sleep(10);
  }
  KillTimer(nullptr, timer);
  ASSERT_TRUE(probe.seen);
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(probe.box.right - probe.box.left, s.zoom_width);
  EXPECT_EQ(probe.box.bottom - probe.box.top, s.zoom_height);
  EXPECT_EQ(probe.box.left, std::max(0L, click.x - s.zoom_width / 2));
  EXPECT_EQ(FindWindowExA(s.glyph_list, nullptr, "Quenvale.wlxOrvane.Zoom", nullptr), nullptr);
  EXPECT_EQ(GetFocus(), s.glyph_list);
}

}  // namespace
