// The Glyphs page in the DLL under Wine: rows, cell pixels, character sets,
// selectors, block order, and which rows get drawn.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "fontfile/face_glyphs.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "viewer/block_list.h"
#include "viewer/glyph_view.h"

namespace {

// Positions in table order (the viewers here sort by code) and character-set rows.
constexpr int kAnsi = 0, kLatin = 1, kLatinExtendedA = 3, kCjk = 86, kSpecials = 100,
              kLastBlock = 263;
constexpr int kAnsiCharset = 1, kRussianCharset = 16;

LRESULT Count(HWND list) { return SendMessageA(list, LB_GETCOUNT, 0, 0); }

RECT ItemRect(HWND list, int row) {
  RECT r = {};
  SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
  return r;
}

// Cell `column` of a row, split into its label line and its glyph area, inside
// the frame lines.
struct CellAreas {
  RECT label, glyph;
};
CellAreas CellOf(HWND list, int row, int column, int line_height) {
  RECT item = ItemRect(list, row);
  RECT client;
  GetClientRect(list, &client);
  const int w = client.right / 16;
  const int left = item.left + column * w;
  return {{left + 1, item.top + 1, left + w, item.top + line_height},
          {left + 1, item.top + line_height, left + w, item.bottom}};
}

TEST(GlyphGrid, RowCountsFollowTheBlockAndLatinEndsWithFifteenFramedCells) {
  GridViewer v("grid_rows");
  ViewerState& s = v.state();
  HWND list = s.glyph_list;
  EXPECT_EQ(Count(list), 16);  // "ANSI"
  v.SelectBlock(kSpecials);
  EXPECT_EQ(Count(list), 1);
  v.SelectBlock(kCjk);
  EXPECT_EQ(Count(list), 1307);
  v.SelectBlock(kLatin);
  ASSERT_EQ(Count(list), 8);

  RECT client;
  GetClientRect(list, &client);
  const int w = client.right / 16;
  ASSERT_GT(client.right % 16, 0) << "the sixteenth cell's right frame must be inside the list";
  const RECT full = ItemRect(list, 6), last = ItemRect(list, 7);
  ASSERT_LE(last.bottom, client.bottom);
  const Pixels p = CaptureClient(list);
  const uint32_t pen = SystemRgb(COLOR_BTNFACE), paper = SystemRgb(COLOR_WINDOW);
  ASSERT_NE(pen, paper);
  auto column_is = [&](const RECT& row, int x, uint32_t colour) {
    for (int y = row.top + 1; y < row.bottom - 1; ++y)
      if (p.At(x, y) != colour) return false;
    return true;
  };
  // Row 6 has all sixteen frames; row 7 (0x0070-0x007E) stops after the fifteenth.
  EXPECT_TRUE(column_is(full, 16 * w, pen));
  EXPECT_TRUE(column_is(full, 15 * w, pen));
  EXPECT_TRUE(column_is(last, 15 * w, pen));
  EXPECT_TRUE(column_is(last, 0, pen));
  EXPECT_TRUE(column_is(last, 16 * w, paper));
  const RECT empty = {15 * w + 1, last.top + 1, 16 * w, last.bottom - 1};
  const RECT filled = {15 * w + 1, full.top + 1, 16 * w, full.bottom - 1};
  EXPECT_EQ(p.InkIn(empty, paper), 0);
  EXPECT_GT(p.InkIn(filled, paper), 0);
}

// Whether two equal-sized areas of one picture hold the same pixels.
bool SameShape(const Pixels& p, const RECT& a, const RECT& b) {
  for (int y = 0; y < a.bottom - a.top; ++y)
    for (int x = 0; x < a.right - a.left; ++x)
      if (p.At(a.left + x, a.top + y) != p.At(b.left + x, b.top + y)) return false;
  return true;
}

TEST(GlyphGrid, TheCharacterSetChangesGlyphsBelow256AndNothingElse) {
  GridViewer v("grid_charset", "SaveCharSet=1\r\nCharSet=1\r\n");
  ViewerState& s = v.state();
  HWND list = s.glyph_list;
  ASSERT_EQ(s.charset_index, kAnsiCharset);
  ASSERT_LE(ItemRect(list, 15).bottom, CaptureClient(list).height);
  const Pixels western = CaptureClient(list);
  v.SelectCharset(kRussianCharset);
  ASSERT_EQ(s.logfont.lfCharSet, RUSSIAN_CHARSET);
  const Pixels russian = CaptureClient(list);

  // 0x00FF is the byte 0xFF: y with diaeresis in 1252, ya in 1251.
  const CellAreas ff = CellOf(list, 15, 15, s.line_height);
  EXPECT_TRUE(western.SameIn(russian, ff.label));
  EXPECT_FALSE(western.SameIn(russian, ff.glyph));
  EXPECT_GT(russian.InkIn(ff.glyph, SystemRgb(COLOR_WINDOW)), 0);
  // 0x00C0-0x00DF: letters in both code pages, all different.
  for (int column = 0; column < 16; ++column)
    EXPECT_FALSE(western.SameIn(russian, CellOf(list, 12, column, s.line_height).glyph)) << column;
  // Both code pages agree on ASCII: the first eight rows are untouched.
  EXPECT_TRUE(western.SameIn(russian, {0, 0, western.width, ItemRect(list, 7).bottom}));

  // From 0x0100 up the code is a UTF-16 unit: the character set changes nothing.
  v.SelectBlock(kLatinExtendedA);
  const Pixels cyrillic_font = CaptureClient(list);
  v.SelectCharset(kAnsiCharset);
  const Pixels latin_font = CaptureClient(list);
  EXPECT_TRUE(cyrillic_font.SameIn(latin_font, {0, 0, latin_font.width, latin_font.height}));
  // 0x0100 and 0x0101 are two different letters, not the control bytes 0x00 and 0x01.
  const CellAreas a_macron = CellOf(list, 0, 0, s.line_height);
  const CellAreas a_macron_small = CellOf(list, 0, 1, s.line_height);
  EXPECT_GT(latin_font.InkIn(a_macron.glyph, SystemRgb(COLOR_WINDOW)), 20);
  EXPECT_FALSE(SameShape(latin_font, a_macron.glyph, a_macron_small.glyph));
}

// Choices as the user makes them, without letting any paint run in between.
void PickFromCombo(HWND viewer, HWND combo, int id, int index) {
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
void PickWithUpDown(HWND viewer, HWND spin, int position) {
  SendMessageA(spin, UDM_SETPOS32, 0, position);
  SendMessageA(viewer, WM_HSCROLL, SB_THUMBPOSITION, reinterpret_cast<LPARAM>(spin));
}
bool ListNeedsPaint(HWND list) { return GetUpdateRect(list, nullptr, FALSE) != 0; }
void Settle(HWND list) {
  UpdateWindow(list);
  ValidateRect(list, nullptr);
}

void ExpectInStep(const ViewerState& s) {
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), s.block_index);
  EXPECT_EQ(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0), s.block_index);
  EXPECT_EQ(SendMessageA(s.charset_combo, CB_GETCURSEL, 0, 0), s.charset_index);
  EXPECT_EQ(SendMessageA(s.charset_spin, UDM_GETPOS32, 0, 0), s.charset_index);
  EXPECT_EQ(s.logfont.lfCharSet, static_cast<BYTE>(CharsetTable[s.charset_index].value));
  const UnicodeBlockRow& block = UnicodeBlockTable[s.block_index];
  EXPECT_EQ(Count(s.glyph_list), (block.last - block.first + 16) / 16);
}

// A real click on the left or right arrow of a horizontal up-down control.
void ClickArrow(HWND spin, bool right) {
  RECT r;
  GetWindowRect(spin, &r);
  const int width = r.right - r.left;
  MouseClickAt({right ? r.right - width / 4 : r.left + width / 4, (r.top + r.bottom) / 2});
  for (int i = 0; i < 10; ++i) {
    Pump();
    Sleep(10);
  }
}

TEST(GlyphSelectors, ComboUpDownAndIndexAgreeAndTheSameChoiceRedrawsNothing) {
  GridViewer v("grid_selectors");
  ViewerState& s = v.state();
  HWND list = s.glyph_list;
  ExpectInStep(s);

  PickFromCombo(v.window, s.block_combo, kBlockComboId, kLastBlock);
  EXPECT_EQ(s.block_index, kLastBlock);
  ExpectInStep(s);
  // The up-down's right arrow past the last block wraps to "ANSI".
  ClickArrow(s.block_spin, true);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(WindowText(s.block_combo), "ANSI");
  EXPECT_EQ(GetFocus(), list);
  ExpectInStep(s);
  ClickArrow(s.block_spin, false);
  EXPECT_EQ(s.block_index, kLastBlock);
  ExpectInStep(s);

  // The character set's left arrow below 0 wraps to the last row.
  PickFromCombo(v.window, s.charset_combo, kCharsetComboId, 0);
  ClickArrow(s.charset_spin, false);
  EXPECT_EQ(s.charset_index, 18);
  EXPECT_EQ(WindowText(s.charset_combo), "OEM");
  ExpectInStep(s);
  PickFromCombo(v.window, s.charset_combo, kCharsetComboId, kRussianCharset);
  EXPECT_EQ(s.charset_index, kRussianCharset);
  ExpectInStep(s);
  PickWithUpDown(v.window, s.charset_spin, kAnsiCharset);
  EXPECT_EQ(s.charset_index, kAnsiCharset);
  ExpectInStep(s);

  // The current choice again: no repaint, nothing changes.
  const HFONT font = s.glyph_font;
  Settle(list);
  PickFromCombo(v.window, s.block_combo, kBlockComboId, s.block_index);
  PickFromCombo(v.window, s.charset_combo, kCharsetComboId, s.charset_index);
  PickWithUpDown(v.window, s.block_spin, s.block_index);
  PickWithUpDown(v.window, s.charset_spin, s.charset_index);
  EXPECT_FALSE(ListNeedsPaint(list));
  EXPECT_EQ(s.glyph_font, font);
  ExpectInStep(s);
  // Each other choice does repaint.
  PickFromCombo(v.window, s.block_combo, kBlockComboId, kLatin);
  EXPECT_TRUE(ListNeedsPaint(list));
  Settle(list);
  PickWithUpDown(v.window, s.block_spin, kLatinExtendedA);
  EXPECT_TRUE(ListNeedsPaint(list));
  Settle(list);
  PickFromCombo(v.window, s.charset_combo, kCharsetComboId, kRussianCharset);
  EXPECT_TRUE(ListNeedsPaint(list));
  Settle(list);
  PickWithUpDown(v.window, s.charset_spin, kAnsiCharset);
  EXPECT_TRUE(ListNeedsPaint(list));
  ExpectInStep(s);
}

std::vector<std::string> BlockList(HWND combo) {
  std::vector<std::string> names;
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    names.push_back(text);
  }
  return names;
}

size_t PositionOf(const std::vector<std::string>& names, const char* name) {
  return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(BlockOrder, AStoredSortOrderSortsTheListOfTheNextViewer) {
  std::vector<std::string> by_mode[4];
  for (int mode : {1, 2, 0, 3}) {
    GridViewer v("grid_sort_" + std::to_string(mode),
                 "SortOrderUnicodeBlocks=" + std::to_string(mode) + "\r\n");
    by_mode[mode] = BlockList(v.state().block_combo);
    // The blocks in the order, then the glyph view.
    ASSERT_EQ(by_mode[mode].size(), 265u);
    EXPECT_EQ(by_mode[mode].back(), "All glyphs by index");
    by_mode[mode].pop_back();
    EXPECT_EQ(by_mode[mode][0], "ANSI") << mode;
    // Position 0 of every order shows 0x0000-0x00FF.
    EXPECT_EQ(Count(v.state().glyph_list), 16) << mode;
  }
  for (size_t i = 0; i < 264; ++i) EXPECT_EQ(by_mode[0][i], UnicodeBlockTable[i].name) << i;
  EXPECT_EQ(by_mode[1][1], "Supplementary Private Use Area-B");
  EXPECT_EQ(by_mode[1][263], "Latin");
  EXPECT_EQ(by_mode[2][1], "Adlam");
  EXPECT_LT(PositionOf(by_mode[2], "Greek Extended"), PositionOf(by_mode[2], "Greek and Coptic"));
  EXPECT_LT(PositionOf(by_mode[2], "IPA Extensions"),
            PositionOf(by_mode[2], "Ideographic Description Characters"));
  EXPECT_TRUE(std::equal(by_mode[2].begin() + 1, by_mode[2].end(), by_mode[3].rbegin()));
}

// WM_DRAWITEM of the glyph list as the viewer receives them.
struct DrawLog {
  WNDPROC previous = nullptr;
  std::vector<int> rows;
};
DrawLog draw_log;

LRESULT CALLBACK DrawSpy(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (item->CtlID == kGlyphListId && item->itemAction == ODA_DRAWENTIRE)
      draw_log.rows.push_back(static_cast<int>(item->itemID));
  }
  return CallWindowProcA(draw_log.previous, window, message, wparam, lparam);
}

std::vector<int> RowsDrawnWhenRepainted(HWND list) {
  draw_log.rows.clear();
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  std::vector<int> rows = draw_log.rows;
  std::sort(rows.begin(), rows.end());
  return rows;
}

TEST(GlyphGrid, OnlyTheRowsOnScreenAreDrawn) {
  GridViewer v("grid_paint", "",
               HostPath("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"));
  ViewerState& s = v.state();
  HWND list = s.glyph_list;
  v.SelectBlock(kCjk);
  ASSERT_EQ(Count(list), 1307);
  RECT client;
  GetClientRect(list, &client);
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const int shown = (client.bottom + height - 1) / height;  // the last one partly

  draw_log.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(v.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DrawSpy)));
  std::vector<int> rows = RowsDrawnWhenRepainted(list);
  ASSERT_EQ(static_cast<int>(rows.size()), shown);
  EXPECT_EQ(rows.front(), 0);
  EXPECT_EQ(rows.back(), shown - 1);

  SendMessageA(list, LB_SETTOPINDEX, 1000, 0);
  rows = RowsDrawnWhenRepainted(list);
  ASSERT_EQ(static_cast<int>(rows.size()), shown);
  EXPECT_EQ(rows.front(), 1000);

  SendMessageA(list, LB_SETTOPINDEX, 1306, 0);  // the list stops at a full last page
  rows = RowsDrawnWhenRepainted(list);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back(), 1306);
  EXPECT_LE(static_cast<int>(rows.size()), shown);
  SetWindowLongPtrA(v.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(draw_log.previous));
}

TEST(GlyphGrid, TheLoadErrorTextShowsItsAmpersands) {
  GridViewer v("grid_load_error", "", "A&B.ttf");
  const ViewerState& s = v.state();
  const char* end_of_line = std::strchr(s.load_error, '\n');
  ASSERT_NE(end_of_line, nullptr) << s.load_error;
  const std::string first_line(s.load_error, end_of_line);
  ASSERT_NE(first_line.find("\"A&B.ttf\""), std::string::npos) << first_line;

  // The text goes from the margin to the viewer's right edge; compared over its first line.
  const Pixels shown = CaptureClient(s.glyph_list);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(s.block_combo, WM_GETFONT, 0, 0));
  RECT client;
  GetClientRect(v.window, &client);
  const SIZE extent = TextExtent(font, first_line.c_str());
  const RECT line = {4, 4, std::min<LONG>(shown.width, 4 + extent.cx), 4 + extent.cy};
  auto drawn = [&](UINT flags) {
    return DrawTextApart(shown.width, shown.height, font, {4, 4, client.right, client.bottom},
                         s.load_error, DT_WORDBREAK | flags,
                         COLOR_GRAYTEXT);  // a disabled list's text
  };
  // The text is drawn once for each row, which darkens its smoothed edges: compared
  // by where there is ink.
  const Pixels literal = drawn(DT_NOPREFIX), underlined = drawn(0);
  const uint32_t paper = SystemRgb(COLOR_WINDOW);
  ASSERT_FALSE(literal.SameInkIn(underlined, line, paper)) << "the comparison can fail";
  EXPECT_TRUE(shown.SameInkIn(literal, line, paper));
}

}  // namespace

namespace {

int TablePosition(const char* name) {
  for (size_t i = 0; i < UnicodeBlockTable.size(); ++i)
    if (std::strcmp(UnicodeBlockTable[i].name, name) == 0) return static_cast<int>(i);
  return -1;
}

// Ink in the glyph areas of the cells `present`, and only the even tint of a
// hole in those of `absent`, after scrolling `row` to the top of the list.
void ExpectGlyphs(GridViewer& v, int row, std::vector<int> present, std::vector<int> absent) {
  ViewerState& s = v.state();
  SendMessageA(s.glyph_list, LB_SETTOPINDEX, row, 0);
  UpdateWindow(s.glyph_list);
  const Pixels p = CaptureClient(s.glyph_list);
  const uint32_t paper = SystemRgb(COLOR_WINDOW);
  for (int column : present)
    EXPECT_GT(p.InkIn(CellOf(s.glyph_list, row, column, s.line_height).glyph, paper), 20)
        << "row " << row << " column " << column;
  for (int column : absent) {
    const RECT glyph = CellOf(s.glyph_list, row, column, s.line_height).glyph;
    EXPECT_EQ(p.InkIn(glyph, p.At(glyph.left + 1, glyph.top + 1)), 0)
        << "row " << row << " column " << column;
    EXPECT_NE(p.At(glyph.left + 1, glyph.top + 1), paper) << "row " << row << " column " << column;
  }
}

}  // namespace

// The system draws no character from a surrogate pair under Wine: the cells come
// from the glyph index of the font's own map, and a code it lacks stays empty.
TEST(GlyphGrid, CharactersBeyondTheFirstPlaneShowTheFontsOwnGlyphs) {
  {
    GridViewer v("grid_planes", "", HostPath(ORVANE_PLANES_FONT));
    ViewerState& s = v.state();
    ASSERT_EQ(s.load_error[0], '\0') << s.load_error;
    v.SelectBlock(TablePosition("Emoticons"));
    EXPECT_EQ(Count(s.glyph_list), 5);
    ExpectGlyphs(v, 0, {0, 2}, {1, 3, 15});
    v.SelectBlock(TablePosition("CJK Unified Ideographs Extension B"));
    EXPECT_EQ(Count(s.glyph_list), 2670);
    ExpectGlyphs(v, 0, {1}, {0, 2});
    v.SelectBlock(TablePosition("Supplementary Private Use Area-B"));
    EXPECT_EQ(Count(s.glyph_list), 4096);
    ExpectGlyphs(v, 4095, {13}, {12, 14, 15});
  }
  {
    // Six-digit labels at the smallest size the viewer is shown at, and the
    // smallest glyphs: every label keeps inside its cell.
    GridViewer v("grid_planes_labels", "FontSizeGlyphs=6\r\n", DejaVuPath(), 600, 400);
    ViewerState& s = v.state();
    for (const char* block : {"Specials", "Emoticons", "Supplementary Private Use Area-B"}) {
      v.SelectBlock(TablePosition(block));
      UpdateWindow(s.glyph_list);
      EXPECT_EQ(LabelInkAtCellEdges(s.glyph_list, s.line_height), 0) << block;
    }
  }
  {
    GridViewer v("grid_planes_dejavu");
    v.SelectBlock(TablePosition("Mathematical Alphanumeric Symbols"));
    ExpectGlyphs(v, 0x13, {8, 9}, {10});  // double-struck A and B; no C (U+1D53A)
    ExpectGlyphs(v, 0, {}, {0, 1, 15});   // bold letters: none
  }
  {
    GridViewer v("grid_planes_cjk", "",
                 HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"));
    v.SelectBlock(TablePosition("CJK Unified Ideographs Extension B"));
    ExpectGlyphs(v, 0, {11}, {0, 1});  // U+2000B
  }
}

// The glyph view, the block list's last item: every glyph by index (the item
// counts them), forms no character reaches drawn with ink (found with the host's
// search by name, or as "gid N"), and the labels of such glyphs tinted.
TEST(GlyphGrid, TheGlyphViewDrawsGlyphsNoCharacterReaches) {
  const std::string arabic = "/usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf";
  const struct {
    std::string font, query;
    int glyph;      // what the query finds
    int unreached;  // in the same row: a glyph no character reaches,
    int reached;    // and one a character does
    const char* count;  // the glyph view's item
  } cases[] = {{arabic, "uni06A0.fina", 14, 15, 13, "1648 glyphs"},
               {arabic, "uni06A0.medi", 16, 15, 17, "1648 glyphs"},
               {DejaVuPath(), "uni0311.case", 5928, 5929, 5920, "6253 glyphs"},
               {DejaVuPath(), "gid 5928", 5928, 5929, 5920, "6253 glyphs"}};
  auto search = DllExport<int(__stdcall*)(HWND, char*, int)>(Plugin().dll, "ListSearchText");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    GridViewer v("grid_glyph_view", "", c.font.front() == '/' ? HostPath(c.font) : c.font);
    ViewerState& s = v.state();
    v.ShowGlyphView();
    ASSERT_TRUE(s.glyph_view);
    EXPECT_EQ(BlockItemCount(s, kGlyphViewPosition), c.count);
    std::string query = c.query;
    ASSERT_EQ(search(v.window, query.data(), 1), 0);
    ASSERT_EQ(s.marked_code, c.glyph);
    const Pixels pixels = CaptureClient(s.glyph_list);
    const auto cell = [&](int glyph) {
      RECT item = {};
      SendMessageA(s.glyph_list, LB_GETITEMRECT, glyph / 16, reinterpret_cast<LPARAM>(&item));
      const int width = (pixels.width) / 16;
      return RECT{glyph % 16 * width + 1, item.top + 1, (glyph % 16 + 1) * width, item.bottom};
    };
    // The marked glyph has ink below its label, on the mark's colour.
    RECT glyph = cell(c.glyph);
    ASSERT_TRUE(glyph.top >= 0 && glyph.bottom <= pixels.height && glyph.right <= pixels.width)
        << glyph.top << " " << glyph.bottom << " of " << pixels.height;
    const uint32_t mark = pixels.At(glyph.left + 1, glyph.bottom - 2);
    glyph.top += s.line_height;  // below the label
    EXPECT_GT(pixels.InkIn(glyph, mark), 4);  // a breve above capitals: about ten pixels at 12 pt
    // Labels: tinted where no character reaches the glyph, plain where one does.
    const auto tinted = [&](int g) {
      const RECT r = cell(g);
      return pixels.InkIn({r.left, r.top, r.right, r.top + 3}, SystemRgb(COLOR_WINDOW)) > (r.right - r.left);
    };
    EXPECT_TRUE(tinted(c.unreached));
    EXPECT_FALSE(tinted(c.reached));
  }
}

// The glyph view as a user meets it beyond plain outlines: in dark mode (light
// ink on the dark window, the unreached label's own dark tint), a colour font's
// glyph in the colours of its PNG, and a variable font's glyph at the instance
// chosen (Black far darker than Thin).
TEST(GlyphGrid, TheGlyphViewInDarkModeInColourAndAtAnInstance) {
  constexpr int kDarkFlag = 128;
  const std::string emoji = HostPath("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf");
  const std::string inter = HostPath("/usr/share/fonts/truetype/inter-vf/Inter-roman.var.ttf");
  const auto luminance = [](uint32_t rgb) {
    return (299 * (rgb >> 16 & 0xFF) + 587 * (rgb >> 8 & 0xFF) + 114 * (rgb & 0xFF)) / 1000;
  };
  // The glyph a code reaches, from the glyphs the view read, scrolled to the top.
  const auto show = [](GridViewer& v, uint32_t code) {
    const ViewerState& s = v.state();
    const FaceGlyphs* glyphs = FaceOf(*s.opened, s.face)->glyphs.get();
    for (uint32_t glyph = 0; glyphs && glyph < glyphs->glyph_count; ++glyph)
      for (const CodeRange& range : CharactersOf(glyphs->characters, glyph))
        if (range.first <= code && code <= range.last) {
          SendMessageA(s.glyph_list, LB_SETTOPINDEX, glyph / 16, 0);
          Pump();
          return static_cast<int>(glyph);
        }
    return -1;
  };
  // The cell of `glyph`, its label's line and the glyph below it.
  const auto cell = [](const GridViewer& v, const Pixels& p, int glyph, bool label) {
    RECT item = {};
    SendMessageA(v.state().glyph_list, LB_GETITEMRECT, glyph / 16, reinterpret_cast<LPARAM>(&item));
    const int width = p.width / 16, top = item.top + 1 + MenuFontLineHeight();
    return RECT{glyph % 16 * width + 2, label ? item.top + 1 : top + 1,
                (glyph % 16 + 1) * width - 1, label ? top - 1 : item.bottom - 1};
  };
  const struct {
    const char* what;
    std::string font;
    int flags = 0, instance = -1;  // the dark flag; an instance selector item
    std::function<void(GridViewer&)> check;
  } cases[] = {
      {"dark mode", DejaVuPath(), kDarkFlag, -1,
       [&](GridViewer& v) {
         const int a = show(v, 'A');
         ASSERT_EQ(a, 36);
         SendMessageA(v.state().glyph_list, LB_SETTOPINDEX, 0, 0);
         Pump();
         const Pixels p = CaptureClient(v.state().glyph_list);
         int light = 0, dark = 0, total = 0;
         const RECT glyph = cell(v, p, a, false);
         for (int y = glyph.top; y < glyph.bottom; ++y)
           for (int x = glyph.left; x < glyph.right; ++x, ++total) {
             light += luminance(p.At(x, y)) > 160;
             dark += luminance(p.At(x, y)) < 64;
           }
         EXPECT_GT(light, 10) << "A in light ink";
         EXPECT_GT(dark, total / 2) << "on the dark window";
         // .notdef, which nothing reaches: its label on the dark tint, not the light one.
         int tint = 0;
         const RECT label = cell(v, p, 0, true);
         for (int y = label.top; y < label.bottom; ++y)
           for (int x = label.left; x < label.right; ++x)
             tint += ColoursNear(p.At(x, y), 0x604820, 8);
         std::printf("dark mode: A %d light, %d dark of %d; .notdef's label %d tinted\n", light,
                     dark, total, tint);
         EXPECT_GT(tint, (label.right - label.left) * (label.bottom - label.top) / 2);
       }},
      {"colour glyphs", emoji, 0, -1,
       [&](GridViewer& v) {
         const int smile = show(v, 0x1F600);
         ASSERT_GE(smile, 0);
         const std::optional<uint32_t> png = BitmapGlyphMeanColour(emoji, 0x1F600);
         ASSERT_TRUE(png);
         int count = 0;
         const Pixels p = CaptureClient(v.state().glyph_list);
         const uint32_t mean = InkMeanColour(p, cell(v, p, smile, false), SystemRgb(COLOR_WINDOW), &count);
         std::printf("colour: glyph %d, %d pixels of ink, mean %06X, the PNG's %06X\n", smile, count,
                     mean, *png);
         EXPECT_GT(count, 60);
         EXPECT_TRUE(ColoursNear(mean, *png, 40)) << std::hex << mean << " against the PNG's " << *png;
       }},
      {"an instance", inter, 0, 1,
       [&](GridViewer& v) {
         const ViewerState& s = v.state();
         long darkness[2] = {};
         for (int i = 0; i < 2; ++i) {
           // Thin (item 1), then Black (item 9), each in the glyph view.
           if (i) {
             SendMessageA(s.instance_combo, CB_SETCURSEL, 9, 0);
             SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kInstanceComboId, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(s.instance_combo));
             Pump();
             ASSERT_TRUE(s.glyph_view);
           }
           const int h = show(v, 'H');
           ASSERT_GE(h, 0);
           const Pixels p = CaptureClient(s.glyph_list);
           const RECT r = cell(v, p, h, false);
           for (int y = r.top; y < r.bottom; ++y)
             for (int x = r.left; x < r.right; ++x) darkness[i] += 255 - luminance(p.At(x, y));
         }
         std::printf("instance: darkness of H, Thin %ld, Black %ld\n", darkness[0], darkness[1]);
         EXPECT_GT(darkness[1], 2 * darkness[0]) << "Black " << darkness[1] << ", Thin " << darkness[0];
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GridViewer v("grid_glyph_view_forms", "", c.font);
    ASSERT_TRUE(v.state().glyph_font);
    if (c.flags) {
      SendMessageA(v.window, kNewParamsMessage, c.flags, 0);
      Pump();
    }
    if (c.instance >= 0) {
      SendMessageA(v.state().instance_combo, CB_SETCURSEL, c.instance, 0);
      SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kInstanceComboId, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(v.state().instance_combo));
      Pump();
      ASSERT_EQ(v.state().other_face, "");
    }
    v.ShowGlyphView();
    ASSERT_TRUE(v.state().glyph_view);
    c.check(v);
  }
}
