// The Options page of a plug-in copy that has language files beside it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "support/test_paths.h"
#include "tests/viewer/input_harness.h"
#include "viewer/glyph_view.h"

namespace {

// The block list of DejaVu Sans: every block, and the glyph view as its last item.
constexpr int kListedWithGlyphView = kUnicodeBlockCount + 1;

// Orvane.French.lng and Orvane.German.lng as shipped, an English file that the
// built-in entry stands for, and an older French file that lists French twice.
const PluginApi& Copy() {
  static PluginApi api = [] {
    std::string folder = ScratchDir("options_plugin");
    std::string languages = HostPath(std::string(ORVANE_SOURCE_DIR) + "/languages/");
    for (const char* name : {"Orvane.French.lng", "Orvane.German.lng"})
      CopyFileA((languages + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
    WriteTextFile(folder + "\\Orvane.english.lng", "[Quenvale.Orvane]\r\n000=Glyphs\r\n");
    WriteTextFile(folder + "\\Orvane.French.old.lng", "[Quenvale.Orvane]\r\n000=Glyphes\r\n");
    return LoadPluginCopy(folder, PluginFileName());
  }();
  return api;
}

int IniInt(const std::string& ini, const char* key) {
  return static_cast<int>(GetPrivateProfileIntA("Quenvale.Orvane", key, -1, ini.c_str()));
}

std::string IniText(const std::string& ini, const char* key) {
  char value[128] = {};
  GetPrivateProfileStringA("Quenvale.Orvane", key, "", value, sizeof value, ini.c_str());
  return value;
}

std::string ItemText(HWND dialog, int id) {
  char text[2048] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

struct OptionsTest : ::testing::Test {
  void SetUp() override { ASSERT_NE(Copy().dll, nullptr); }
  std::unique_ptr<TestViewer> Open(const std::string& name, const std::string& settings) {
    auto v = std::make_unique<TestViewer>(Copy(), name, "[Quenvale.Orvane]\r\n" + settings);
    EXPECT_NE(v->window, nullptr);
    EXPECT_TRUE(BringToFront(v->window));
    return v;
  }
};

TEST_F(OptionsTest, LanguageListAndTheStoredLanguage) {
  auto v = Open("options_french", "Language=french\r\nPage=0\r\n");
  HWND dialog = v->state().options_dialog;
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, 914);
  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(ComboText(list, 0), "English");
  EXPECT_EQ(ComboText(list, 1), "French");
  EXPECT_EQ(ComboText(list, 2), "French");
  EXPECT_EQ(ComboText(list, 3), "German");
  // Set up in the language in force; the values wait for the page's first showing.
  EXPECT_EQ(ItemText(dialog, 901), "Loupe");
  EXPECT_EQ(ComboText(GetDlgItem(dialog, 912), 3), "Description, d\xE9" "croissant");
  EXPECT_EQ(ItemText(dialog, 903), "");
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
  const std::string about = ItemText(dialog, 920);
  EXPECT_EQ(about.rfind("Orvane.wlx 0.08\r\nCopyright ", 0), 0u) << about;
  EXPECT_EQ(about.substr(about.size() - 4), "\r\n\r\n");
  EXPECT_EQ(about.find("\r\n", 17), about.size() - 4);

  ClickTabWithMouse(v->window, 3);
  ASSERT_EQ(v->state().page, 3);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(ItemText(dialog, 903), "96");
  v->Close();
  EXPECT_EQ(IniText(v->ini, "Language"), "French");

  v = Open("options_klingon", "Language=Klingon\r\nPage=3\r\n");
  list = GetDlgItem(v->state().options_dialog, 914);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(ItemText(v->state().options_dialog, 901), "Zoom Box");
  v->Close();
  EXPECT_EQ(IniText(v->ini, "Language"), "English");
}

TEST_F(OptionsTest, SetUpGivesLabelsLimitsRangesAndTheSortList) {
  auto v = Open("options_setup", "Language=English\r\nPage=3\r\n");
  HWND dialog = v->state().options_dialog;
  ASSERT_NE(dialog, nullptr);
  const struct {
    int id;
    const char* text;
  } labels[] = {{901, "Zoom Box"}, {902, "Font Size:"}, {905, "Width:"}, {908, "Height:"},
                {911, "Sort Unicode Blocks by:"}, {913, "User Interface Language:"},
                {915, "Save Current"}, {916, "Tab Page"}, {917, "Unicode Block"},
                {918, "Character Set"}, {919, "Sample Text"},
                {921, "Show only blocks with characters"}};
  for (const auto& label : labels) EXPECT_EQ(ItemText(dialog, label.id), label.text);
  EXPECT_EQ(ItemText(dialog, 920), "Orvane.wlx 0.08\r\nCopyright (C) 2026 Quenvale\r\n\r\n");
  const char* sorts[] = {"Glyphs, Ascending", "Glyphs, Descending", "Description, Ascending",
                         "Description, Descending"};
  HWND sort = GetDlgItem(dialog, 912);
  ASSERT_EQ(SendMessageA(sort, CB_GETCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ComboText(sort, i), sorts[i]);
  const struct {
    int edit, limit, minimum, maximum;
  } entries[] = {{903, 3, 6, 256}, {906, 4, 8, 1024}, {909, 4, 8, 1024}};
  for (const auto& e : entries) {
    EXPECT_EQ(SendDlgItemMessageA(dialog, e.edit, EM_GETLIMITTEXT, 0, 0), e.limit);
    int low = 0, high = 0;
    SendDlgItemMessageA(dialog, e.edit + 1, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, e.minimum);
    EXPECT_EQ(high, e.maximum);
  }

  // The up-down writes 1000 with the locale's thousands separator, if it has
  // one; applying rejects that text and takes the width's fallback.
  SendDlgItemMessageA(dialog, 907, UDM_SETPOS32, 0, 1000);
  const std::string stepped = ItemText(dialog, 906);
  ClickTabWithMouse(v->window, 0);
  ASSERT_EQ(v->state().page, 0);
  EXPECT_EQ(v->state().zoom_width, stepped == "1000" ? 1000 : 128) << stepped;
}

TEST_F(OptionsTest, FilledOnceAppliedByATabClickAndAtCloseButNotByCtrlTab) {
  auto v = Open("options_apply",
                "Page=0\r\nSortOrderUnicodeBlocks=0\r\nFontSizeZoom=80\r\nZoomWidth=200\r\n"
                "ZoomHeight=300\r\nSavePage=1\r\nSaveUnicodeBlock=1\r\nUnicodeBlock=5\r\n"
                "SaveCharSet=0\r\nSaveSampleText=1\r\n");
  ViewerState& s = v->state();
  HWND dialog = s.options_dialog;
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(s.block_index, 5);
  ClickTabWithMouse(v->window, 3);
  ASSERT_EQ(s.page, 3);
  EXPECT_EQ(ItemText(dialog, 903), "80");
  EXPECT_EQ(ItemText(dialog, 906), "200");
  EXPECT_EQ(ItemText(dialog, 909), "300");
  EXPECT_EQ(SendDlgItemMessageA(dialog, 912, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(ComboText(GetDlgItem(dialog, 914), static_cast<int>(SendDlgItemMessageA(
                                                   dialog, 914, CB_GETCURSEL, 0, 0))),
            "English");
  const UINT checks[] = {BST_CHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(IsDlgButtonChecked(dialog, 916 + i), checks[i]);

  SetDlgItemTextA(dialog, 903, "40");
  SetDlgItemTextA(dialog, 906, "2000");
  SetDlgItemTextA(dialog, 909, "");
  SendDlgItemMessageA(dialog, 912, CB_SETCURSEL, 2, 0);
  SendDlgItemMessageA(dialog, 914, CB_SETCURSEL, 3, 0);  // German
  CheckDlgButton(dialog, 916, BST_UNCHECKED);
  CheckDlgButton(dialog, 918, BST_CHECKED);

  // Leaving by keyboard applies nothing, and coming back does not refill.
  SetFocus(s.options_host);
  PressKey(VK_TAB, {VK_CONTROL});
  ASSERT_EQ(s.page, 0);
  EXPECT_EQ(s.zoom_size, 80);
  EXPECT_EQ(s.zoom_width, 200);
  EXPECT_EQ(s.zoom_height, 300);
  EXPECT_EQ(s.sort_order, 0);
  EXPECT_EQ(std::string(s.language), "English");
  EXPECT_EQ(s.save_page, 1);
  EXPECT_EQ(s.save_charset, 0);
  EXPECT_EQ(s.block_index, 5);
  EXPECT_EQ(ComboText(s.block_combo, 1), "Latin");
  EXPECT_EQ(ItemText(dialog, 906), "2000");
  PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
  ASSERT_EQ(s.page, 3);
  EXPECT_EQ(ItemText(dialog, 903), "40");
  EXPECT_EQ(SendDlgItemMessageA(dialog, 912, CB_GETCURSEL, 0, 0), 2);

  ClickTabWithMouse(v->window, 0);
  ASSERT_EQ(s.page, 0);
  EXPECT_EQ(s.zoom_size, 40);
  EXPECT_EQ(FontOf(s.zoom_font).lfHeight, HeightOfPoints(40));
  EXPECT_EQ(std::string(FontOf(s.zoom_font).lfFaceName), "DejaVu Sans");
  EXPECT_EQ(s.zoom_width, 128);
  EXPECT_EQ(ItemText(dialog, 906), "128");  // the fallback, visibly
  EXPECT_EQ(s.zoom_height, 160);
  EXPECT_EQ(ItemText(dialog, 909), "160");
  EXPECT_EQ(s.sort_order, 2);
  EXPECT_EQ(std::string(s.language), "German");
  EXPECT_EQ(s.save_page, 0);
  EXPECT_EQ(s.save_block, 1);
  EXPECT_EQ(s.save_charset, 1);
  EXPECT_EQ(s.save_sample, 1);
  // The block list in name order, "ANSI" first; the block shown (position 5 of
  // table order) stays, at its position in the new order, its grid shown.
  EXPECT_EQ(ComboText(s.block_combo, 0), "ANSI");
  EXPECT_EQ(ComboText(s.block_combo, 1), "Adlam");
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0), kListedWithGlyphView);
  EXPECT_EQ(s.block_index, 107);
  EXPECT_EQ(ComboText(s.block_combo, 107), "IPA Extensions");
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), 107);
  EXPECT_EQ(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0), 107);
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0), 6);  // U+0250-U+02AF
  EXPECT_TRUE(IsWindowVisible(s.glyph_list));
  EXPECT_EQ(GetFocus(), s.glyph_list);

  // The same sort order again leaves the block choice alone.
  SendMessageA(s.block_combo, CB_SETCURSEL, 16, 0);
  SendMessageA(v->window, WM_COMMAND, MAKEWPARAM(kBlockComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(s.block_combo));
  ASSERT_EQ(s.block_index, 16);
  ClickTabWithMouse(v->window, 3);
  ClickTabWithMouse(v->window, 0);
  EXPECT_EQ(s.block_index, 16);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), 16);

  // Values typed after the last tab click are applied when the viewer closes,
  // a new sort order too.
  ClickTabWithMouse(v->window, 3);
  SetDlgItemTextA(dialog, 906, "640");
  SendDlgItemMessageA(dialog, 912, CB_SETCURSEL, 3, 0);
  v->Close();
  const std::string& ini = v->ini;
  EXPECT_EQ(IniInt(ini, "FontSizeZoom"), 40);
  EXPECT_EQ(IniInt(ini, "ZoomWidth"), 640);
  EXPECT_EQ(IniInt(ini, "ZoomHeight"), 160);
  EXPECT_EQ(IniInt(ini, "SortOrderUnicodeBlocks"), 3);
  EXPECT_EQ(IniText(ini, "Language"), "German");
  EXPECT_EQ(IniInt(ini, "SavePage"), 0);
  EXPECT_EQ(IniInt(ini, "SaveUnicodeBlock"), 1);
  // "Arrows" by its name, and at its position among the first plane's blocks
  // by name descending (6 ascending).
  EXPECT_EQ(IniText(ini, "UnicodeBlockName"), "Arrows");
  EXPECT_EQ(IniInt(ini, "UnicodeBlock"), 95);
  EXPECT_EQ(IniInt(ini, "SaveCharSet"), 1);
  EXPECT_EQ(IniInt(ini, "SaveSampleText"), 1);
}

std::string SelectedBlock(const ViewerState& s) {
  return ComboText(s.block_combo, static_cast<int>(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0)));
}

// The block list of a viewer agrees with itself: the item selected names the
// block shown, whose rows the grid has, and the up-down stands at its position.
void ExpectListShows(const ViewerState& s, const char* block, const char* second_item) {
  SCOPED_TRACE(block);
  EXPECT_EQ(SelectedBlock(s), block);
  const LRESULT item = SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETITEMDATA, item, 0), s.block_index);
  EXPECT_EQ(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0), s.block_index);
  EXPECT_EQ(ComboText(s.block_combo, 1), second_item);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0), kListedWithGlyphView);
  for (const UnicodeBlockRow& row : UnicodeBlockTable) {
    if (std::string(row.name) == block) {
      EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0),
                static_cast<LRESULT>((row.last - row.first) / 16 + 1));
    }
  }
}

// The sort order is the process's: a re-sort on one viewer's Options page, or a
// viewer opened with another stored order, leaves every open viewer on the block
// it shows, listing the blocks in the new order.
TEST_F(OptionsTest, AReSortKeepsTheBlockOfEveryOpenViewer) {
  auto a = Open("options_resort_a", "Page=0\r\nSortOrderUnicodeBlocks=0\r\nSaveUnicodeBlock=1\r\n"
                                    "UnicodeBlock=11\r\n");
  auto b = Open("options_resort_b", "Page=0\r\nSortOrderUnicodeBlocks=0\r\nSaveUnicodeBlock=1\r\n");
  ViewerState& first = a->state();
  ViewerState& second = b->state();
  const LRESULT emoticons = SendMessageA(second.block_combo, CB_FINDSTRINGEXACT,
                                         static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>("Emoticons"));
  ASSERT_GT(emoticons, 0);
  SendMessageA(second.block_combo, CB_SETCURSEL, emoticons, 0);
  SendMessageA(b->window, WM_COMMAND, MAKEWPARAM(kBlockComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(second.block_combo));
  ExpectListShows(first, "Armenian", "Latin");
  ExpectListShows(second, "Emoticons", "Latin");
  // The second viewer's Options page is filled, then left as it was.
  ClickTabWithMouse(b->window, 3);
  ASSERT_EQ(second.page, 3);
  ClickTabWithMouse(b->window, 0);
  ASSERT_EQ(second.page, 0);

  // The first viewer sorts by name.
  ASSERT_TRUE(BringToFront(a->window));
  ClickTabWithMouse(a->window, 3);
  ASSERT_EQ(first.page, 3);
  SendDlgItemMessageA(first.options_dialog, 912, CB_SETCURSEL, 2, 0);
  ClickTabWithMouse(a->window, 0);
  ASSERT_EQ(first.page, 0);
  ExpectListShows(first, "Armenian", "Adlam");
  ExpectListShows(second, "Emoticons", "Adlam");
  // The other viewer's Options page shows the order in force, so that applying
  // it changes nothing.
  EXPECT_EQ(second.sort_order, 2);
  EXPECT_EQ(SendDlgItemMessageA(second.options_dialog, 912, CB_GETCURSEL, 0, 0), 2);
  ASSERT_TRUE(BringToFront(b->window));
  ClickTabWithMouse(b->window, 3);
  ClickTabWithMouse(b->window, 0);
  ASSERT_EQ(second.page, 0);
  ExpectListShows(first, "Armenian", "Adlam");
  ExpectListShows(second, "Emoticons", "Adlam");

  // A third viewer stored with glyphs descending.
  auto c = Open("options_resort_c", "Page=0\r\nSortOrderUnicodeBlocks=1\r\n");
  ExpectListShows(c->state(), "ANSI", "Supplementary Private Use Area-B");
  ExpectListShows(first, "Armenian", "Supplementary Private Use Area-B");
  ExpectListShows(second, "Emoticons", "Supplementary Private Use Area-B");
  c->Close();
  SetSettingsFileOf(Copy(), b->ini);
  b->Close();
  EXPECT_EQ(IniInt(b->ini, "SortOrderUnicodeBlocks"), 1);
  EXPECT_EQ(IniText(b->ini, "UnicodeBlockName"), "Emoticons");
  SetSettingsFileOf(Copy(), a->ini);
  a->Close();
  EXPECT_EQ(IniInt(a->ini, "SortOrderUnicodeBlocks"), 1);
  EXPECT_EQ(IniText(a->ini, "UnicodeBlockName"), "Armenian");
}

// The zoom box over cell 0x0041 of the ANSI grid: how many pixel rows below its
// code line hold ink. Measured inside the box's own message loop.
struct ZoomInk {
  HWND list = nullptr;
  int line_height = 0;
  int rows = -1;
};
ZoomInk zoom_ink;

void CALLBACK MeasureZoomBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowExA(zoom_ink.list, nullptr, "Quenvale.wlxOrvane.Zoom", nullptr);
  if (!box) return;
  KillTimer(nullptr, timer);
  UpdateWindow(box);
  RECT client;
  GetClientRect(box, &client);
  HDC dc = GetDC(box);
  zoom_ink.rows = 0;
  for (int y = zoom_ink.line_height + 2; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      if (c != CLR_INVALID && GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
        ++zoom_ink.rows;
        break;
      }
    }
  }
  ReleaseDC(box, dc);
  SendMessageA(box, WM_LBUTTONUP, 0, 0);
}

int ZoomGlyphInkRows(const ViewerState& s) {
  RECT row = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
  RECT client;
  GetClientRect(s.glyph_list, &client);
  const int cell = client.right / 16;
  POINT click = {cell + cell / 2, (row.top + row.bottom) / 2};
  POINT screen = click;
  ClientToScreen(s.glyph_list, &screen);
  SetCursorPos(screen.x, screen.y);
  zoom_ink = {s.glyph_list, s.line_height, -1};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, MeasureZoomBox);
  PostMessageA(s.glyph_list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.x, click.y));
  for (int i = 0; i < 100 && zoom_ink.rows < 0; ++i) Settle(10);
  KillTimer(nullptr, timer);
  return zoom_ink.rows;
}

TEST_F(OptionsTest, TheNextZoomBoxDrawsAtTheAppliedSize) {
  auto v = Open("options_zoom",
                "Page=0\r\nSaveUnicodeBlock=0\r\nFontSizeZoom=80\r\nZoomWidth=300\r\n"
                "ZoomHeight=300\r\n");
  ViewerState& s = v->state();
  ASSERT_EQ(s.block_index, 0);
  const int at_80 = ZoomGlyphInkRows(s);
  ClickTabWithMouse(v->window, 3);
  SetDlgItemTextA(s.options_dialog, 903, "40");
  ClickTabWithMouse(v->window, 0);
  ASSERT_EQ(s.page, 0);
  const int at_40 = ZoomGlyphInkRows(s);
  // A capital A is about three quarters of the em: 80 points are 107 pixels.
  EXPECT_GT(at_80, 60);
  EXPECT_NEAR(at_40 * 2, at_80, 6);
}

TEST_F(OptionsTest, ScreenshotsInEnglishAndGerman) {
  for (const char* language : {"English", "German"}) {
    auto v = Open(std::string("options_shot_") + language,
                  std::string("Language=") + language + "\r\nPage=3\r\nSavePage=1\r\n");
    ASSERT_EQ(v->state().page, 3);
    const std::string group = ItemText(v->state().options_dialog, 901);
    EXPECT_EQ(group, std::string(language) == "German" ? "Zoomfenster" : "Zoom Box");
    EXPECT_TRUE(SaveScreenshot(v->parent, std::string("options-page-") + language + ".png"));
  }
}

}  // namespace

namespace {

// The block list holds the blocks at `positions`, named and in order, then the glyph view.
void ExpectListed(const ViewerState& s, const std::vector<int>& positions) {
  ASSERT_EQ(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(positions.size()) + 1);
  for (size_t item = 0; item < positions.size(); ++item) {
    EXPECT_EQ(SendMessageA(s.block_combo, CB_GETITEMDATA, item, 0), positions[item]) << item;
    EXPECT_EQ(ComboItem(s.block_combo, static_cast<int>(item)), UnicodeBlockTable[positions[item]].name) << item;
  }
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETITEMDATA, positions.size(), 0), kGlyphViewPosition);
  const LRESULT shown = SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0);
  ASSERT_GE(shown, 0);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETITEMDATA, shown, 0), s.block_index);
}

}  // namespace

TEST_F(OptionsTest, ShowingOnlyBlocksWithCharactersIsAppliedAndStored) {
  auto v = Open("options_covered", "Page=3\r\nSortOrderUnicodeBlocks=0\r\n");
  ViewerState& s = v->state();
  HWND dialog = s.options_dialog;
  ASSERT_EQ(s.page, 3);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 921), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0), kListedWithGlyphView);
  CheckDlgButton(dialog, 921, BST_CHECKED);
  ClickTabWithMouse(v->window, 0);
  ASSERT_EQ(s.page, 0);
  EXPECT_EQ(s.only_covered_blocks, 1);
  // DejaVu Sans has nothing in some blocks: those items are gone, the others
  // keep their positions in order.
  std::vector<int> listed;
  for (int position = 0; position < kUnicodeBlockCount; ++position)
    if (s.cells.present[position] > 0) listed.push_back(position);
  ASSERT_LT(listed.size(), static_cast<size_t>(kUnicodeBlockCount));
  // The glyph view stays last.
  ExpectListed(s, listed);

  // The next font in the same window, and the option off again: the items are
  // updated in place, and must read as a fresh list would.
  char mono[MAX_PATH];
  snprintf(mono, sizeof mono, "%s", HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf").c_str());
  ASSERT_EQ(v->api->list_load_next(v->parent, v->window, mono, 0), 0);
  std::vector<int> mono_listed;
  for (int position = 0; position < kUnicodeBlockCount; ++position)
    if (s.cells.present[position] > 0) mono_listed.push_back(position);
  ASSERT_NE(mono_listed, listed);
  ExpectListed(s, mono_listed);
  ClickTabWithMouse(v->window, 3);
  CheckDlgButton(dialog, 921, BST_UNCHECKED);
  ClickTabWithMouse(v->window, 0);
  std::vector<int> every(kUnicodeBlockCount);
  for (int position = 0; position < kUnicodeBlockCount; ++position) every[position] = position;
  ExpectListed(s, every);
  ClickTabWithMouse(v->window, 3);
  CheckDlgButton(dialog, 921, BST_CHECKED);
  ClickTabWithMouse(v->window, 0);
  ExpectListed(s, mono_listed);
  v->Close();
  EXPECT_EQ(IniInt(v->ini, "OnlyBlocksWithCharacters"), 1);

  auto again = Open("options_covered_again", "Page=3\r\nOnlyBlocksWithCharacters=1\r\n");
  EXPECT_EQ(IsDlgButtonChecked(again->state().options_dialog, 921), BST_CHECKED);
  again->Close();
}
