// Which cells the grid draws as characters of the font, checked against what the
// system itself reports for the same font, and how a missing cell looks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/catalog.h"
#include "fontfile/char_map.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "viewer/theme.h"

namespace {

const std::string kNotoCjk = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc";
const std::string kDroid = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
const std::string kMarlett = "/usr/share/wine/fonts/marlett.ttf";
const std::string kSserife = "/usr/share/wine/fonts/sserife.fon";

// The viewers here sort by code, so a position is a table row.
int Position(const char* name) {
  for (size_t row = 0; row < UnicodeBlockTable.size(); ++row)
    if (std::strcmp(UnicodeBlockTable[row].name, name) == 0) return static_cast<int>(row);
  ADD_FAILURE() << name;
  return 0;
}

// The viewer's decision, through the same function the grid calls.
bool ViewerShows(const ViewerState& s, uint32_t code) {
  if (!s.cells.known) return true;
  return CellPresent(s.info.coverage, code, code < 0x100 ? s.cells.byte_characters[code] : code);
}

// Cells of `position` where the grid and the system disagree: the system asked
// with the viewer's own glyph font, bytes as the grid draws them (through the
// font's code page), other codes as UTF-16 units.
std::vector<uint32_t> Disagreements(const ViewerState& s, int position, uint32_t* present) {
  const UnicodeBlockRow& block = UnicodeBlockTable[position];
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, s.glyph_font);
  std::vector<uint32_t> out;
  *present = 0;
  for (uint32_t code = block.first; code <= block.last; ++code) {
    WORD glyph = 0;
    if (code < 0x100) {
      const char byte = static_cast<char>(code);
      GetGlyphIndicesA(dc, &byte, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    } else {
      const wchar_t unit = static_cast<wchar_t>(code);
      GetGlyphIndicesW(dc, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    }
    const bool system = glyph != 0xFFFF;
    *present += system ? 1 : 0;
    if (system != ViewerShows(s, code)) out.push_back(code);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return out;
}

std::string Hex(const std::vector<uint32_t>& codes) {
  std::string text;
  char one[16];
  for (size_t i = 0; i < codes.size() && i < 12; ++i) {
    std::snprintf(one, sizeof one, " %04X", codes[i]);
    text += one;
  }
  return text;
}

// Whether the system drew the glyph font with the font asked for, not another
// face it took for the character set.
bool SystemKeptTheFace(const ViewerState& s) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, s.glyph_font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  SelectObject(dc, old);
  DeleteDC(dc);
  // Asked for by full name, the face comes back under its family name.
  return face[0] && std::strncmp(face, s.logfont.lfFaceName, std::strlen(face)) == 0;
}

struct Case {
  std::string font;
  int charset;  // row of CharsetTable
  std::vector<const char*> blocks;
  bool substituted = false;  // the system draws this set with another face
};

TEST(GlyphCoverage, TheGridAgreesWithTheSystemCellForCell) {
  const int ansi = 1, russian = 16, symbol = 2;
  const std::vector<Case> cases = {
      {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", ansi,
       {"ANSI", "Greek and Coptic", "Cyrillic", "Arabic", "Latin Extended-B", "Specials"}},
      {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", russian, {"ANSI"}},
      {kNotoCjk, ansi,
       {"ANSI", "Greek and Coptic", "Cyrillic",
        "Chinese, Japanese, and Korean Unified Ideographs", "Hangul Syllabels"}},
      {kDroid, ansi,
       {"ANSI", "Chinese, Japanese, and Korean Unified Ideographs", "Hiragana", "Dingbats"}},
      {kMarlett, 0, {"ANSI", "Private Use Area", "Latin Extended-A"}},
      {kMarlett, symbol, {"ANSI", "Private Use Area"}},
      // Asked for in a Western set, the symbol font gives way to another face:
      // its map says nothing of what is drawn, and every cell shows as drawn.
      {kMarlett, ansi, {}, true},
  };
  for (const Case& c : cases) {
    if (const std::string missing = MissingFont(c.font); !missing.empty()) {
      ADD_FAILURE() << missing;
      continue;
    }
    GridViewer v("coverage_agree", "SaveCharSet=1\r\nCharSet=" + std::to_string(c.charset) + "\r\n",
                 HostPath(c.font));
    const ViewerState& s = v.state();
    ASSERT_NE(s.glyph_font, nullptr) << c.font;
    EXPECT_EQ(s.cells.known, !c.substituted) << c.font << " charset " << c.charset;
    EXPECT_EQ(SystemKeptTheFace(s), !c.substituted) << c.font << " charset " << c.charset;
    for (const char* name : c.blocks) {
      const int position = Position(name);
      uint32_t present = 0;
      const std::vector<uint32_t> differ = Disagreements(s, position, &present);
      EXPECT_TRUE(differ.empty()) << c.font << " charset " << c.charset << " " << name << ": "
                                  << differ.size() << " cells differ:" << Hex(differ);
      // The block list counts what the system has.
      EXPECT_EQ(s.cells.present[position], present) << c.font << " " << name;
    }
  }
}

// Marlett as old symbol fonts were made: its (3,0) map holds the symbols at the
// bytes' own codes, '0'-'9' and 'a'-'y' to its glyphs 4-38, where Marlett's own
// holds them at U+F030-U+F079; and another name, so that the system's Marlett
// is not taken for it.
std::string OldSymbolMarlett() {
  std::ifstream in(HostPath(kMarlett), std::ios::binary);
  SfntFont font = ReadSfntFont(ViewOf(std::string(std::istreambuf_iterator<char>(in), {})));
  auto delta = [](int from, int glyph) { return static_cast<uint16_t>(glyph - from); };
  font.Set("cmap", BuildCmap({{3, 0, CmapFormat4({{0x30, 0x39, delta(0x30, 4), {}},
                                                  {0x61, 0x79, delta(0x61, 14), {}},
                                                  {0xFFFF, 0xFFFF, 1, {}}})}}));
  return BuildSfnt(font.Set("name", BuildNameTable(NameTable{}.Add(1, u"Marlold", 0))));
}

// The system finds an old symbol font's symbols at the bytes and at U+F0xx
// alike: the grid and the block list count them as it draws them.
TEST(GlyphCoverage, AnOldSymbolFontCountsWhatTheSystemDraws) {
  if (const std::string missing = MissingFont(kMarlett); !missing.empty()) FAIL() << missing;
  const std::string path = ScratchDir("old_symbol_font") + "\\marlold.ttf";
  std::ofstream(path, std::ios::binary) << OldSymbolMarlett();
  const int symbol = 2;
  for (int charset : {0, symbol}) {
    GridViewer v("coverage_old_symbol",
                 "SaveCharSet=1\r\nCharSet=" + std::to_string(charset) + "\r\n", path);
    const ViewerState& s = v.state();
    ASSERT_NE(s.glyph_font, nullptr) << s.load_error;
    ASSERT_TRUE(s.cells.known) << charset;
    ASSERT_EQ(s.info.coverage.kind, CoverageKind::kSymbol);
    ASSERT_TRUE(HasCodePoint(s.info.coverage, 0x30));
    ASSERT_FALSE(HasCodePoint(s.info.coverage, 0xF030));
    for (const char* name : {"ANSI", "Latin", "Private Use Area"}) {
      const int position = Position(name);
      uint32_t present = 0;
      const std::vector<uint32_t> differ = Disagreements(s, position, &present);
      EXPECT_TRUE(differ.empty()) << "charset " << charset << " " << name << ": " << differ.size()
                                  << " cells differ:" << Hex(differ);
      EXPECT_EQ(s.cells.present[position], present) << charset << " " << name;
      EXPECT_EQ(present, 35u) << charset << " " << name;  // '0'-'9' and 'a'-'y'
    }
  }
}

// Inside the frame lines of cell `column` of row `row`, below the label line.
RECT GlyphArea(const ViewerState& s, int row, int column) {
  RECT item = {}, client = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  GetClientRect(s.glyph_list, &client);
  const int w = client.right / 16;
  return {column * w + 1, item.top + s.line_height, (column + 1) * w, item.bottom};
}

TEST(GlyphCoverage, AMissingCellIsEvenlyTintedInLightAndDarkMode) {
  // DejaVu Sans has no control characters: row 1 of "ANSI" (0x10-0x1F) is all
  // holes, row 4 (0x40-0x4F) all letters.
  GridViewer v("coverage_tint", "SaveCharSet=1\r\nCharSet=1\r\n");
  const ViewerState& s = v.state();
  ASSERT_TRUE(s.cells.known);
  ASSERT_FALSE(ViewerShows(s, 0x11));
  ASSERT_TRUE(ViewerShows(s, 0x41));
  for (const int dark : {0, 1}) {
    SendMessageA(v.window, kNewParamsMessage, dark ? kDarkModeFlag : 0, 0);
    Pump();
    const Pixels p = CaptureClient(s.glyph_list);
    const uint32_t tint = dark ? kDarkMissingCell : kMissingCell;
    const uint32_t paper = dark ? kDarkWindow : SystemRgb(COLOR_WINDOW);
    const RECT hole = GlyphArea(s, 1, 1), letter = GlyphArea(s, 4, 1);
    // Pixels hold 0xRRGGBB, COLORREF 0xBBGGRR: the greys here read the same both ways.
    EXPECT_EQ(p.InkIn(hole, tint), 0) << "dark " << dark;
    EXPECT_GT(p.InkIn(letter, paper), 10) << "dark " << dark;
    EXPECT_GT(p.InkIn(letter, tint), p.InkIn(letter, paper)) << "dark " << dark;
    // The label stays on the tint.
    RECT label = hole;
    label.bottom = label.top;
    label.top -= s.line_height - 1;
    EXPECT_GT(p.InkIn(label, tint), 0) << "dark " << dark;
  }
}

void StepUpDown(const GridViewer& v, int position) {
  SendMessageA(v.state().block_spin, UDM_SETPOS32, 0, position);
  SendMessageA(v.window, WM_HSCROLL, SB_THUMBPOSITION,
               reinterpret_cast<LPARAM>(v.state().block_spin));
}

TEST(GlyphCoverage, WithOnlyBlocksWithCharactersTheListAndUpDownSkipEmptyBlocks) {
  // Marlett holds symbols at U+F000-U+F0FF, drawn in "ANSI", "Latin" and the
  // Private Use Area; its stored block, Cyrillic, falls back to the first.
  const int cyrillic = Position("Cyrillic"), pua = Position("Private Use Area");
  GridViewer v("coverage_only", "OnlyBlocksWithCharacters=1\r\nSaveUnicodeBlock=1\r\n"
               "UnicodeBlock=" + std::to_string(cyrillic) + "\r\n", HostPath(kMarlett));
  const ViewerState& s = v.state();
  ASSERT_TRUE(s.cells.known);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), 0);
  const int items = static_cast<int>(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0));
  ASSERT_GE(items, 3);
  ASSERT_LT(items, 10);
  // The blocks, then the glyph view.
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETITEMDATA, items - 2, 0), pua);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETITEMDATA, items - 1, 0), kUnicodeBlockCount);

  // Up from the Private Use Area wraps round past the empty blocks to "ANSI";
  // down from "ANSI" comes back to it.
  StepUpDown(v, pua);
  ASSERT_EQ(s.block_index, pua);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0), items - 2);
  StepUpDown(v, pua + 1);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0), 0);
  StepUpDown(v, kUnicodeBlockCount - 1);
  EXPECT_EQ(s.block_index, pua);
  // A combo item stands for the position it carries.
  SendMessageA(s.block_combo, CB_SETCURSEL, 0, 0);
  SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kBlockComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(s.block_combo));
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(SendMessageA(s.glyph_list, LB_GETCOUNT, 0, 0), 16);

  // The next font has Cyrillic and much else; back on Marlett, a block it lacks
  // gives way to the first again.
  ASSERT_EQ(LoadNext(v.parent, v.window, DejaVuPath()), 0);
  EXPECT_GT(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0), 50);
  for (int item = 0; item < SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0); ++item)
    if (SendMessageA(s.block_combo, CB_GETITEMDATA, item, 0) == cyrillic) v.SelectBlock(item);
  ASSERT_EQ(s.block_index, cyrillic);
  ASSERT_EQ(LoadNext(v.parent, v.window, HostPath(kMarlett)), 0);
  EXPECT_EQ(s.block_index, 0);
  EXPECT_EQ(SendMessageA(s.block_combo, CB_GETCOUNT, 0, 0), items);
  EXPECT_EQ(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0), 0);
}

TEST(GlyphCoverage, TheInfoPageCountsTheByteCellsAsTheBlockListDoes) {
  GridViewer v("coverage_info_bytes", "SaveCharSet=1\r\nCharSet=1\r\n");  // "ANSI"
  const ViewerState& s = v.state();
  ASSERT_TRUE(s.cells.known);
  // DejaVu Sans holds 218 of the 256 bytes' characters in Windows-1252 (not 191,
  // as it would counting the bytes as U+0000-U+00FF).
  EXPECT_EQ(s.cells.present[0], 218u);
  const int russian = 16;
  for (const int charset : {1, russian}) {
    SCOPED_TRACE(charset);
    if (charset != s.charset_index) v.SelectCharset(charset);
    ClickTab(v.window, kInfoPage);
    const std::string info = WindowText(s.info_view);
    const std::string ansi = "\tANSI  " + std::to_string(s.cells.present[0]) + " / 256";
    EXPECT_NE(info.find(ansi), std::string::npos) << ansi << "\n" << info;
    const std::string set = std::string("\tCharacter Set\t: ") + CharsetTable[charset].name;
    EXPECT_NE(info.find(set), std::string::npos) << set;
    ClickTab(v.window, kGlyphsPage);
  }
  EXPECT_NE(s.cells.present[0], 218u);
}

}  // namespace
