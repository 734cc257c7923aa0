// ListSearchText and ListSearchTextW as the host calls them: text found in the
// Info report and the sample text, characters shown on the Glyphs page.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/viewer/plugin_harness.h"
#include "viewer/theme.h"

namespace {

constexpr int kFirst = 1, kCase = 2, kWords = 4, kBack = 8;
constexpr int kGreekCharsetRow = 9;  // GREEK_CHARSET in the character-set list

int Search(HWND window, const char* text, int flags = kFirst) {
  using Fn = int(__stdcall*)(HWND, char*, int);
  static auto fn = DllExport<Fn>(Plugin().dll, "ListSearchText");
  std::string copy = text ? text : "";
  return fn(window, text ? copy.data() : nullptr, flags);
}

int SearchW(HWND window, const wchar_t* text, int flags = kFirst) {
  using Fn = int(__stdcall*)(HWND, WCHAR*, int);
  static auto fn = DllExport<Fn>(Plugin().dll, "ListSearchTextW");
  std::wstring copy = text ? text : L"";
  return fn(window, text ? copy.data() : nullptr, flags);
}

CHARRANGE Selection(HWND view) {
  CHARRANGE range = {};
  SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

int BlockPosition(HWND combo, const char* name) {
  char text[128] = {};
  for (int i = 0; SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)) != CB_ERR;
       ++i)
    if (std::string(text) == name) return i;
  return -1;
}

TEST(SearchText, InfoReportForwardsBackwardsCaseAndWholeWords) {
  GridViewer v("search_info");
  ClickTab(v.window, kInfoPage);
  HWND view = v.state().info_view;
  const std::wstring text = ViewText(view);
  std::wstring lower = text;
  CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  // The file's path may name the font in other letters before the report does.
  const size_t first = lower.find(L"dejavu");
  const size_t second = lower.find(L"dejavu", first + 1);
  const size_t last = lower.rfind(L"dejavu");
  const size_t exact = text.find(L"DejaVu");
  ASSERT_NE(first, std::wstring::npos);
  ASSERT_NE(second, std::wstring::npos);

  // Letter case does not count unless asked to; ANSI and wide text alike.
  EXPECT_EQ(Search(v.window, "dejavu"), 0);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(first));
  EXPECT_EQ(Selection(view).cpMax, static_cast<LONG>(first + 6));
  EXPECT_EQ(SearchW(v.window, L"DEJAVU", 0), 0);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(second));
  EXPECT_EQ(SearchW(v.window, L"dejavu", kBack), 0);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(first));
  EXPECT_EQ(Search(v.window, "dejavu", kFirst | kBack), 0);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(last));
  // No wrap: past the last match nothing is found and the selection stays.
  EXPECT_EQ(Search(v.window, "dejavu", 0), 1);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(last));

  EXPECT_EQ(Search(v.window, "DEJAVU", kFirst | kCase), 1);
  EXPECT_EQ(Search(v.window, "DejaVu", kFirst | kCase), 0);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(exact));
  // "Deja" is inside a word.
  EXPECT_EQ(Search(v.window, "Deja", kFirst | kCase), 0);
  EXPECT_EQ(Search(v.window, "Deja", kFirst | kCase | kWords), 1);
  EXPECT_EQ(Selection(view).cpMin, static_cast<LONG>(exact));

  // Nothing to look for, the Options page, and windows that are no viewer.
  EXPECT_EQ(Search(v.window, ""), 1);
  EXPECT_EQ(Search(v.window, nullptr), 1);
  EXPECT_EQ(SearchW(v.window, nullptr), 1);
  EXPECT_EQ(Search(v.parent, "DejaVu"), 1);
  EXPECT_EQ(Search(view, "DejaVu"), 1);
  EXPECT_EQ(Search(nullptr, "DejaVu"), 1);
  ClickTab(v.window, kOptionsPage);
  EXPECT_EQ(Search(v.window, "DejaVu"), 1);
}

TEST(SearchText, TypedSampleTextWholeWordsAndCharactersOutsideTheAnsiCodePage) {
  GridViewer v("search_sample");
  ClickTab(v.window, kSamplePage);
  HWND view = v.state().sample_view;
  SetWindowTextA(view, "");
  for (const char* c = "cat Cat_cat concat cat."; *c; ++c)
    SendMessageA(view, WM_CHAR, static_cast<unsigned char>(*c), 0);
  SendMessageA(view, EM_SETSEL, 0, 0);

  EXPECT_EQ(Search(v.window, "cat", kWords), 0);  // from the caret, not the top
  EXPECT_EQ(Selection(view).cpMin, 0);
  EXPECT_EQ(Search(v.window, "cat", kWords), 0);  // "Cat_cat" and "concat" are words of their own
  EXPECT_EQ(Selection(view).cpMin, 19);
  EXPECT_EQ(Search(v.window, "cat", kWords), 1);
  EXPECT_EQ(Search(v.window, "cat", kWords | kBack), 0);
  EXPECT_EQ(Selection(view).cpMin, 0);
  EXPECT_EQ(Search(v.window, "cat", 0), 0);
  EXPECT_EQ(Selection(view).cpMin, 4);
  EXPECT_EQ(Search(v.window, "cat", kCase), 0);
  EXPECT_EQ(Selection(view).cpMin, 8);
  EXPECT_EQ(Search(v.window, "Cat", kFirst | kCase | kBack), 0);
  EXPECT_EQ(Selection(view).cpMin, 4);

  SETTEXTEX set = {ST_DEFAULT, 1200};
  SendMessageW(view, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set),
               reinterpret_cast<LPARAM>(L"\u03b1\u03b2\u03b3 \u03a9\u03bc\u03ad\u03b3\u03b1 \u0436"));
  EXPECT_EQ(SearchW(v.window, L"\u03c9\u03bc\u03ad\u03b3\u03b1"), 0);  // any case
  EXPECT_EQ(Selection(view).cpMin, 4);
  EXPECT_EQ(Selection(view).cpMax, 9);
  EXPECT_EQ(SearchW(v.window, L"\u03b3", kBack), 0);
  EXPECT_EQ(Selection(view).cpMin, 2);
  EXPECT_EQ(SearchW(v.window, L"\u0436", kWords), 0);
  EXPECT_EQ(Selection(view).cpMin, 10);
}

// Pixels of the cell's glyph area in `colour`.
int CellPixelsIn(GridViewer& v, int row, int column, uint32_t colour) {
  const Pixels shot = CaptureClient(v.state().glyph_list);
  const POINT centre = v.CellCentre(row, column);
  int count = 0;
  for (int y = centre.y - 3; y <= centre.y + 3; ++y)
    for (int x = centre.x - 8; x <= centre.x + 8; ++x)
      if (x >= 0 && y >= 0 && x < shot.width && y < shot.height && shot.At(x, y) == colour)
        ++count;
  return count;
}

TEST(SearchText, GlyphsPageShowsAndMarksTheCharacterItNames) {
  GridViewer v("search_glyphs", "CharSet=1\r\nSaveCharSet=1\r\n");
  ViewerState& s = v.state();
  const int currency = BlockPosition(s.block_combo, "Currency Symbols");
  const int cjk = BlockPosition(s.block_combo, "Chinese, Japanese, and Korean Unified Ideographs");
  ASSERT_GT(currency, 0);
  ASSERT_GT(cjk, 0);
  v.SelectBlock(currency);

  // A character with a byte in the character set's code page is that byte's
  // cell in "ANSI", the first block; "\x80" is the euro sign in code page 1252.
  EXPECT_EQ(SearchW(v.window, L"\u20ac"), 0);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(s.marked_code, 0x80);
  // Copy takes the marked cell.
  auto copy = DllExport<int(__stdcall*)(HWND, int, int)>(Plugin().dll, "ListSendCommand");
  EXPECT_EQ(copy(v.window, 1, 0), 0);
  EXPECT_EQ(ClipboardText(), L"\u20ac");
  EXPECT_EQ(Search(v.window, "A\x80"), 0);
  EXPECT_EQ(s.marked_code, 0x41);
  EXPECT_EQ(copy(v.window, 1, 0), 0);
  EXPECT_EQ(ClipboardText(), L"A");

  // A code is the cell the zoom box labels with it, in whichever form.
  for (const wchar_t* code : {L"U+20AC", L"u+20ac", L" 0x20AC", L"#20AC", L"#8364", L"#20ac/8364"}) {
    SCOPED_TRACE(testing::Message() << code);
    v.SelectBlock(0);
    EXPECT_EQ(SearchW(v.window, code), 0);
    EXPECT_EQ(s.block_index, currency);
    EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), currency);
    EXPECT_EQ(s.marked_code, 0x20AC);
  }
  // Only decimal digits after '#' are decimal: 41 is ')'.
  EXPECT_EQ(Search(v.window, "#0041"), 0);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(s.marked_code, 0x29);
  // A text that starts as a code does but is none (a stray letter, halves that
  // disagree, no digits, past U+10FFFF) names nothing, and a surrogate, as a
  // code or typed alone, names no character Copy could give: each is not found
  // and changes nothing. A lone '#' is the character.
  for (const wchar_t* text : {L"0xZZ", L"U+1F60G", L"#20AC/8365", L"U+", L"#x", L"U+110000",
                              L"U+D800", L"#DFFF", L"\xD800", L"\xDC00x"}) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(text[0]) << " " << text);
    EXPECT_EQ(SearchW(v.window, text), 1);
    EXPECT_EQ(s.marked_code, 0x29);
    EXPECT_EQ(s.block_index, 0);
  }
  EXPECT_EQ(Search(v.window, "0xZZ"), 1);
  EXPECT_EQ(s.marked_code, 0x29);
  EXPECT_EQ(Search(v.window, "#"), 0);
  EXPECT_EQ(s.marked_code, '#');
  // Beyond U+FFFF, a code or a typed surrogate pair; Copy gives the pair.
  EXPECT_EQ(Search(v.window, "U+1F600"), 0);
  EXPECT_EQ(s.block_index, BlockPosition(s.block_combo, "Emoticons"));
  EXPECT_EQ(s.marked_code, 0x1F600);
  EXPECT_EQ(SearchW(v.window, L"\U0001D538"), 0);
  EXPECT_EQ(s.block_index, BlockPosition(s.block_combo, "Mathematical Alphanumeric Symbols"));
  EXPECT_EQ(s.marked_code, 0x1D538);
  EXPECT_EQ(copy(v.window, 1, 0), 0);
  EXPECT_EQ(ClipboardText(), L"\U0001D538");

  // Far down a long block the row is scrolled into view; the mark shows in the
  // highlight colour, then in dark mode's.
  EXPECT_EQ(Search(v.window, "U+9F00"), 0);
  ASSERT_EQ(s.block_index, cjk);
  const int row = (0x9F00 - 0x4E00) / 16;  // the block starts at 0x4E00
  const auto top = static_cast<int>(SendMessageA(s.glyph_list, LB_GETTOPINDEX, 0, 0));
  EXPECT_LE(top, row);
  EXPECT_GT(top, 0);
  const POINT centre = v.CellCentre(row, 0);
  RECT client;
  GetClientRect(s.glyph_list, &client);
  EXPECT_GT(centre.y, 0);
  EXPECT_LT(centre.y, client.bottom);
  EXPECT_GT(CellPixelsIn(v, row, 0, SystemRgb(COLOR_HIGHLIGHT)), 20);
  EXPECT_EQ(CellPixelsIn(v, row, 1, SystemRgb(COLOR_HIGHLIGHT)), 0);
  SendMessageA(v.window, kNewParamsMessage, kDarkModeFlag, 0);
  const uint32_t dark_mark = (GetRValue(kDarkMark) << 16) | (GetGValue(kDarkMark) << 8) |
                             GetBValue(kDarkMark);
  EXPECT_GT(CellPixelsIn(v, row, 0, dark_mark), 20);
  SendMessageA(v.window, kNewParamsMessage, 0, 0);

  // The user's choice of another block takes the mark away.
  v.SelectBlock(currency);
  EXPECT_EQ(s.marked_code, -1);

  // Through a Greek character set: alpha is byte 0xE1; e acute has no byte there
  // and is below 0x100, so no block shows it.
  v.SelectCharset(kGreekCharsetRow);
  EXPECT_EQ(SearchW(v.window, L"\u03b1"), 0);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(s.marked_code, 0xE1);
  EXPECT_EQ(SearchW(v.window, L"\u00e9"), 1);
  EXPECT_EQ(s.marked_code, 0xE1);
}

}  // namespace
