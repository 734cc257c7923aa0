// The faces of a collection: the selector, switching faces in place, and
// ListLoadNext keeping the face where the next file has it.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/catalog.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "text/language.h"

namespace {

std::string NotoSans() { return HostPath("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"); }
std::string NotoSerif() { return HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"); }
std::string DejaVu(const char* file) { return HostPath("/usr/share/fonts/truetype/dejavu/" + std::string(file)); }

SfntFont TablesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ReadSfntFont(ViewOf(std::string(std::istreambuf_iterator<char>(in), {})));
}

// The font with names the readers cannot use (German only) that the system's
// engine still takes: a face that is listed but cannot be read.
SfntFont Unreadable(SfntFont font, const std::u16string& name) {
  NameTable names;
  for (uint16_t id : {1, 4}) names.records.push_back({id, Utf16BE(name), 3, 1, 0x0407});
  return font.Set("name", BuildNameTable(names));
}

// The face the system made a font of.
std::string TextFace(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  char name[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof name, name);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return name;
}

void PickFace(HWND viewer, int row) {
  HWND combo = StateOf(viewer)->face_combo;
  SendMessageA(combo, CB_SETCURSEL, row, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(kFaceComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  Pump();
}

RECT ChildRect(HWND viewer, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The list row that holds `code` of the ideographs block, scrolled to the top.
RECT IdeographRow(const ViewerState& s, int block_first, int code) {
  const int row = (code - block_first) / 16;
  SendMessageA(s.glyph_list, LB_SETTOPINDEX, row, 0);
  UpdateWindow(s.glyph_list);
  RECT r = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
  return r;
}

// The commonest colour left of a combo box's button: its background.
uint32_t Background(const Pixels& p) {
  std::map<uint32_t, int> counts;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width / 2; ++x) ++counts[p.At(x, y)];
  return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
           return a.second < b.second;
         })->first;
}

TEST(FaceSelector, EveryFaceByNameSwitchedInPlace) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"), "");
  int row = 0;
  while (!(UnicodeBlockTable[row].first <= 0x8FD4 && 0x8FD4 <= UnicodeBlockTable[row].last)) ++row;
  GridViewer v("faces", "", NotoSans());
  ViewerState& s = v.state();
  int block = 0;
  while (block < kUnicodeBlockCount && ComboItem(s.block_combo, block) != UnicodeBlockTable[row].name)
    ++block;
  v.SelectBlock(block);
  ASSERT_TRUE(s.face_combo);
  EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCOUNT, 0, 0), 10);
  EXPECT_EQ(ComboItem(s.face_combo, 0), "1  Noto Sans CJK JP");
  EXPECT_EQ(ComboItem(s.face_combo, 9), "10  Noto Sans Mono CJK HK");
  EXPECT_EQ(TextFace(s.glyph_font), "Noto Sans CJK JP");
  // On the size row, right of the trackbar.
  EXPECT_TRUE(IsWindowVisible(s.face_combo));
  const RECT combo = ChildRect(v.window, s.face_combo), slider = ChildRect(v.window, s.size_slider);
  EXPECT_LE(slider.right, combo.left);
  EXPECT_EQ(combo.top, slider.top);

  const int first = UnicodeBlockTable[row].first;
  const RECT return_row = IdeographRow(s, first, 0x8FD4);
  const Pixels japanese = CaptureClient(s.glyph_list);
  const RECT bone_row = IdeographRow(s, first, 0x9AA8);
  const Pixels japanese_bone = CaptureClient(s.glyph_list);
  const int charset = s.charset_index, size = s.glyph_size;

  PickFace(v.window, 2);
  EXPECT_EQ(s.face, 2u);
  EXPECT_EQ(TextFace(s.glyph_font), "Noto Sans CJK SC");
  EXPECT_EQ(s.block_index, block);
  EXPECT_EQ(s.charset_index, charset);
  EXPECT_EQ(s.glyph_size, size);
  // The Japanese and the Chinese forms of U+8FD4 and U+9AA8 differ.
  IdeographRow(s, first, 0x8FD4);
  EXPECT_FALSE(CaptureClient(s.glyph_list).SameIn(japanese, return_row));
  IdeographRow(s, first, 0x9AA8);
  EXPECT_FALSE(CaptureClient(s.glyph_list).SameIn(japanese_bone, bone_row));

  ClickTab(v.window, 1);
  const std::string info = WindowText(s.info_view);
  EXPECT_NE(info.find("Noto Sans CJK SC"), std::string::npos);
  EXPECT_NE(info.find("Face\t: 3 of 10"), std::string::npos) << info;
  EXPECT_FALSE(IsWindowVisible(s.face_combo));
  ClickTab(v.window, 2);
  EXPECT_TRUE(IsWindowVisible(s.face_combo));
  CHARFORMATA sample = {};
  sample.cbSize = sizeof sample;
  SendMessageA(s.sample_view, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&sample));
  EXPECT_STREQ(sample.szFaceName, "Noto Sans CJK SC");
  // The keyboard reaches the selector after the trackbar, and leaves it for the view.
  SetCtrl(true);
  SetFocus(s.size_slider);
  SendMessageA(s.size_slider, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.face_combo);
  SendMessageA(s.face_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.sample_view);
  SetCtrl(false);

  // Back to the first face: the first drawing again.
  ClickTab(v.window, 0);
  PickFace(v.window, 0);
  EXPECT_EQ(TextFace(s.glyph_font), "Noto Sans CJK JP");
  IdeographRow(s, first, 0x8FD4);
  EXPECT_TRUE(CaptureClient(s.glyph_list).SameIn(japanese, return_row));

  // Dark mode paints it as the block list beside it.
  SendMessageA(v.window, kNewParamsMessage, 128, 0);
  Pump();
  const uint32_t face = Background(CaptureClient(s.face_combo));
  EXPECT_EQ(face, Background(CaptureClient(s.block_combo)));
  EXPECT_LT(face & 0xFF, 0x80u);
  SendMessageA(v.window, kNewParamsMessage, 0, 0);
}

TEST(FaceSelector, SingleFontsHaveNoneAndLoadNextKeepsAFaceTheFileHas) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"), "");
  ASSERT_EQ(MissingFont("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"), "");
  GridViewer v("faces_next", "", DejaVuPath(), 600, 400);
  ViewerState& s = v.state();
  EXPECT_FALSE(GetDlgItem(v.window, kFaceComboId));
  const RECT single_slider = ChildRect(v.window, s.size_slider);

  ASSERT_EQ(LoadNext(v.parent, v.window, NotoSans()), 0);
  ASSERT_TRUE(s.face_combo);
  EXPECT_LT(ChildRect(v.window, s.size_slider).right, single_slider.right);
  PickFace(v.window, 7);
  // Five faces: the eighth is not there, so the first is shown.
  ASSERT_EQ(LoadNext(v.parent, v.window, NotoSerif()), 0);
  EXPECT_EQ(s.face, 0u);
  EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(TextFace(s.glyph_font), "Noto Serif CJK JP");
  PickFace(v.window, 3);
  ASSERT_EQ(LoadNext(v.parent, v.window, NotoSans()), 0);
  EXPECT_EQ(s.face, 3u);
  EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(TextFace(s.glyph_font), "Noto Sans CJK TC");

  // A single font again: the selector hides, and the trackbar takes the row back.
  ASSERT_EQ(LoadNext(v.parent, v.window, DejaVuPath()), 0);
  EXPECT_FALSE(s.face_selector);
  EXPECT_FALSE(IsWindowVisible(s.face_combo));
  const RECT slider = ChildRect(v.window, s.size_slider);
  EXPECT_TRUE(EqualRect(&single_slider, &slider));
}

// Where the face selector lies, how far its list drops, what it lists and
// whether it shows, with the trackbar beside it; in the viewer's coordinates.
struct SizeRow {
  RECT combo = {}, dropped = {}, slider = {};
  bool visible = false;
  std::vector<std::string> items;
};

SizeRow SizeRowOf(const GridViewer& v) {
  const ViewerState& s = v.state();
  SizeRow row;
  row.combo = ChildRect(v.window, s.face_combo);
  SendMessageA(s.face_combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&row.dropped));
  MapWindowPoints(nullptr, v.window, reinterpret_cast<POINT*>(&row.dropped), 2);
  row.slider = ChildRect(v.window, s.size_slider);
  row.visible = IsWindowVisible(s.face_combo);
  const int count = static_cast<int>(SendMessageA(s.face_combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) row.items.push_back(ComboItem(s.face_combo, i));
  return row;
}

void ExpectSameRow(const SizeRow& row, const SizeRow& reference, const char* when) {
  EXPECT_TRUE(EqualRect(&row.combo, &reference.combo)) << when;
  EXPECT_TRUE(EqualRect(&row.dropped, &reference.dropped)) << when;
  EXPECT_TRUE(EqualRect(&row.slider, &reference.slider)) << when;
  EXPECT_EQ(row.visible, reference.visible) << when;
  EXPECT_EQ(row.items, reference.items) << when;
}

// The selector made while the viewer starts, before its first layout, lies,
// drops and lists as the one made by ListLoadNext from a single font, on
// whichever page the viewer opens, and again after a single font and back.
TEST(FaceSelector, MadeAtStartOrByLoadNextItLiesAndListsAlike) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"), "");
  SizeRow reference;
  {
    GridViewer v("faces_made_later", "", DejaVuPath(), 600, 400);
    ASSERT_EQ(LoadNext(v.parent, v.window, NotoSans()), 0);
    reference = SizeRowOf(v);
  }
  ASSERT_EQ(reference.items.size(), 10u);
  EXPECT_EQ(reference.items[9], "10  Noto Sans Mono CJK HK");
  EXPECT_TRUE(reference.visible);
  EXPECT_LE(reference.slider.right, reference.combo.left);
  EXPECT_EQ(reference.slider.top, reference.combo.top);
  // The list drops below the closed box: the combo box was given its list's height.
  EXPECT_GT(reference.dropped.bottom, reference.combo.bottom);

  const struct {
    const char* name;
    const char* settings;
    int page;
  } starts[] = {{"faces_start_glyphs", "", kGlyphsPage},
                {"faces_start_info", "Page=1\r\n", kInfoPage},
                {"faces_start_sample", "Page=2\r\n", kSamplePage}};
  for (const auto& start : starts) {
    GridViewer v(start.name, start.settings, NotoSans(), 600, 400);
    ViewerState& s = v.state();
    ASSERT_EQ(s.page, start.page) << start.name;
    ASSERT_TRUE(s.face_combo) << start.name;
    EXPECT_EQ(IsWindowVisible(s.face_combo) != FALSE, start.page != kInfoPage) << start.name;
    if (start.page == kInfoPage) ClickTab(v.window, kGlyphsPage);
    ExpectSameRow(SizeRowOf(v), reference, start.name);

    ASSERT_EQ(LoadNext(v.parent, v.window, DejaVuPath()), 0);
    EXPECT_FALSE(IsWindowVisible(s.face_combo)) << start.name;
    EXPECT_GT(ChildRect(v.window, s.size_slider).right, reference.slider.right) << start.name;
    ASSERT_EQ(LoadNext(v.parent, v.window, NotoSans()), 0);
    ExpectSameRow(SizeRowOf(v), reference, start.name);
  }
}

// Test fonts made of DejaVu's glyphs under names of their own: faces told apart
// by their unique identifier (name id 3), which only the file's name table holds.
const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* kDejaVuSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

struct FaceNames {
  std::u16string family, full, id;
};

SfntFont Renamed(const char* unix_path, const FaceNames& names) {
  std::ifstream in(HostPath(unix_path), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  SfntFont font = ReadSfntFont(ViewOf(bytes.str()));
  EXPECT_FALSE(font.tables.empty()) << unix_path;
  return font.Set("name", BuildNameTable(NameTable{}
                                             .Add(1, names.family)
                                             .Add(2, u"Book")
                                             .Add(3, names.id)
                                             .Add(4, names.full)
                                             .Add(6, u"OrvaneTest")));
}

std::string WriteFont(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return path;
}

// Which of `ids` the name table of the face the system made `font` of holds; -1 for none.
int DrawnId(HFONT font, const std::vector<std::u16string>& ids) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  const DWORD name_tag = 'n' | 'a' << 8 | 'm' << 16 | 'e' << 24;
  const DWORD size = GetFontData(dc, name_tag, 0, nullptr, 0);
  std::string table(size == GDI_ERROR ? 0 : size, '\0');
  if (!table.empty()) GetFontData(dc, name_tag, 0, table.data(), size);
  SelectObject(dc, previous);
  DeleteDC(dc);
  for (size_t i = 0; i < ids.size(); ++i)
    if (table.find(Utf16BE(ids[i])) != std::string::npos) return static_cast<int>(i);
  return -1;
}

// Ink below the label line of the cells of the glyph list's first rows.
int GlyphInk(const ViewerState& s, int rows) {
  const Pixels p = CaptureClient(s.glyph_list);
  const int w = p.width / 16;
  int ink = 0;
  for (int row = 0; row < rows; ++row) {
    RECT item = {};
    SendMessageA(s.glyph_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
    for (int column = 0; column < 16; ++column)
      ink += p.InkIn({column * w + 2, item.top + s.line_height + 1, (column + 1) * w - 1,
                      item.bottom - 1},
                     SystemRgb(COLOR_WINDOW));
  }
  return ink;
}

TEST(FaceSelector, AFaceTheSystemDoesNotDrawIsNamedAndItsCellsAreUnknown) {
  for (const char* font : {kDejaVuSans, kDejaVuSerif}) ASSERT_EQ(MissingFont(font), "");
  const std::string dir = ScratchDir("drawn_face_fonts");
  struct Case {
    std::string file;
    std::vector<std::u16string> ids;  // of faces 0, 1, ...
    int others;  // faces the system cannot draw: -1 for at least one
  };
  const std::vector<Case> cases = {
      // Two faces alike in every name but their identifiers: no name selects the second.
      {WriteFont(dir + "\\twins.ttc",
                 BuildCollection({Renamed(kDejaVuSans, {u"Orvane Twin", u"Orvane Twin", u"twin-0"}),
                                  Renamed(kDejaVuSerif, {u"Orvane Twin", u"Orvane Twin", u"twin-1"})})),
       {u"twin-0", u"twin-1"}, -1},
      // One full name, two families: each face is drawn, the second by its family name.
      {WriteFont(dir + "\\pair.ttc",
                 BuildCollection({Renamed(kDejaVuSans, {u"Orvane Pair Sans", u"Orvane Pair", u"pair-0"}),
                                  Renamed(kDejaVuSerif, {u"Orvane Pair Serif", u"Orvane Pair", u"pair-1"})})),
       {u"pair-0", u"pair-1"}, 0},
      // A name outside the ANSI code page cannot be asked for at all.
      {WriteFont(dir + "\\omega.ttf",
                 BuildSfnt(Renamed(kDejaVuSans, {u"Orvane \u03A9mega", u"Orvane \u03A9mega", u"omega"}))),
       {u"omega"}, 1},
  };
  const std::string other = EnglishString(kTextOtherFace);
  int math = 0;
  while (std::string(UnicodeBlockTable[math].name) != "Mathematical Alphanumeric Symbols") ++math;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    GridViewer v("drawn_faces", "", c.file);
    ViewerState& s = v.state();
    ASSERT_TRUE(s.glyph_font) << s.load_error;
    int others = 0;
    for (int face = 0; face < static_cast<int>(c.ids.size()); ++face) {
      SCOPED_TRACE(face);
      if (face > 0) PickFace(v.window, face);
      ASSERT_EQ(s.face, static_cast<uint32_t>(face));
      const bool drawn = DrawnId(s.glyph_font, c.ids) == face;
      others += drawn ? 0 : 1;
      EXPECT_EQ(s.other_face.empty(), drawn);
      EXPECT_EQ(s.cells.known, drawn);
      // The Info page says so, naming the face the system draws instead.
      ClickTab(v.window, 1);
      const std::string info = WindowText(s.info_view);
      if (drawn) {
        EXPECT_EQ(info.find(other), std::string::npos);
      } else {
        EXPECT_NE(info.find("\t" + other + "\t: " + s.other_face), std::string::npos) << info;
      }
      ClickTab(v.window, 0);
      // Another face's glyph numbers name other glyphs: nothing beyond U+FFFF is
      // drawn by them, and no cell there is tinted.
      if (!drawn) {
        v.SelectBlock(math);
        EXPECT_EQ(GlyphInk(s, 4), 0);
        v.SelectBlock(0);
      }
    }
    if (c.others < 0) EXPECT_GE(others, 1);
    else EXPECT_EQ(others, c.others);
  }
}

TEST(FaceSelector, TheListOpensAsWideAsItsLongestNameWithinTheScreen) {
  ASSERT_EQ(MissingFont(kDejaVuSans), "");
  const std::string dir = ScratchDir("long_face_fonts");
  // A name far wider than the closed selector, and one wider than any screen.
  const std::u16string longer = u"Orvane Long Sans, a full name far wider than a third of the viewer";
  const std::u16string widest = u"Orvane Widest " + std::u16string(300, u'W');
  const std::string file = WriteFont(
      dir + "\\long.ttc", BuildCollection({Renamed(kDejaVuSans, {u"Orvane Long A", longer, u"long-0"}),
                                             Renamed(kDejaVuSans, {u"Orvane Long B", widest, u"long-1"})}));
  GridViewer v("long_faces", "", file, 600, 400);
  ASSERT_TRUE(v.state().face_combo);
  const DroppedList list = MeasureDroppedList(v.state().face_combo);
  ASSERT_LT(list.closed, list.needed) << "the names must not fit the closed box";
  EXPECT_GE(list.dropped, std::min(list.needed, list.work));
  EXPECT_LE(list.dropped, list.work);
  EXPECT_GE(list.shown, std::min(list.needed, list.work));
  EXPECT_LE(list.shown, list.work);
}

// A collection whose first and third faces cannot be read opens at its second,
// lists the broken ones as such, and keeps them from being chosen; n and p from
// a face that is broken in the next file show its first face that reads.
TEST(FaceSelector, BrokenFacesAreListedAndPassedOver) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"), "");
  const std::string path = ScratchDir("broken_faces_font") + "\\broken-faces.ttc";
  std::ofstream(path, std::ios::binary)
      << BuildCollection({Unreadable(TablesOf(DejaVu("DejaVuSansMono.ttf")), u"Kaputt Mono"),
                          TablesOf(DejaVu("DejaVuSans-Bold.ttf")),
                          Unreadable(TablesOf(DejaVu("DejaVuSerif.ttf")), u"Kaputt Serif"),
                          TablesOf(DejaVu("DejaVuSerif-Bold.ttf"))});
  const std::string unreadable = EnglishString(kTextFaceUnreadable);
  GridViewer v("broken_faces", "", path);
  ViewerState& s = v.state();
  ASSERT_TRUE(s.glyph_font) << s.load_error;
  EXPECT_EQ(s.face, 1u);
  EXPECT_EQ(TextFace(s.glyph_font), "DejaVu Sans");
  ASSERT_TRUE(s.face_combo);
  ASSERT_EQ(SendMessageA(s.face_combo, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(ComboItem(s.face_combo, 0), "1  " + unreadable);
  EXPECT_EQ(ComboItem(s.face_combo, 1), "2  DejaVu Sans Bold");
  EXPECT_EQ(ComboItem(s.face_combo, 2), "3  " + unreadable);
  EXPECT_EQ(ComboItem(s.face_combo, 3), "4  DejaVu Serif Bold");
  EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0), 1);
  ClickTab(v.window, 1);
  EXPECT_NE(WindowText(s.info_view).find("Face\t: 2 of 4"), std::string::npos);
  ClickTab(v.window, 0);

  // A broken face cannot be chosen: the selection goes back.
  PickFace(v.window, 2);
  EXPECT_EQ(s.face, 1u);
  EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0), 1);
  PickFace(v.window, 3);
  EXPECT_EQ(s.face, 3u);

  // n and p from the third or the first face of another collection: those are
  // broken here, and the second face is shown; from the fourth, the fourth.
  ASSERT_EQ(LoadNext(v.parent, v.window, NotoSans()), 0);
  for (int face : {2, 0}) {
    PickFace(v.window, face);
    ASSERT_EQ(s.face, static_cast<uint32_t>(face));
    ASSERT_EQ(LoadNext(v.parent, v.window, path), 0) << face;
    EXPECT_EQ(s.face, 1u) << face;
    EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0), 1) << face;
    ASSERT_EQ(LoadNext(v.parent, v.window, NotoSans()), 0);
  }
  PickFace(v.window, 3);
  ASSERT_EQ(LoadNext(v.parent, v.window, path), 0);
  EXPECT_EQ(s.face, 3u);
}

// Faces 1 and 2 whose directories list the same tables at the same places (as a
// WOFF2 collection decodes) are one font: listed once, under the first's number,
// and each row chooses the face it names.
TEST(FaceSelector, FacesThatAreOneFontAreListedOnce) {
  const SfntFont bold = TablesOf(DejaVu("DejaVuSans-Bold.ttf"));
  std::string ttc = BuildCollection({bold, bold, TablesOf(DejaVu("DejaVuSansMono.ttf"))});
  uint32_t first = 0, second = 0;
  ReadU32BE(ViewOf(ttc), 12, 0, first);
  ReadU32BE(ViewOf(ttc), 16, 0, second);
  const size_t directory = 12 + 16 * bold.tables.size();
  ttc.replace(second, directory, ttc.substr(first, directory));
  const std::string path = ScratchDir("one_font_faces_font") + "\\one-font-faces.ttc";
  std::ofstream(path, std::ios::binary) << ttc;
  GridViewer v("one_font_faces", "", path);
  ViewerState& s = v.state();
  ASSERT_TRUE(s.glyph_font && s.face_combo) << s.load_error;
  ASSERT_EQ(SendMessageA(s.face_combo, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ComboItem(s.face_combo, 0), "1  DejaVu Sans Bold");
  EXPECT_EQ(ComboItem(s.face_combo, 1), "3  DejaVu Sans Mono");
  PickFace(v.window, 1);
  EXPECT_EQ(s.face, 2u);
  EXPECT_EQ(TextFace(s.glyph_font), "DejaVu Sans Mono");
  EXPECT_EQ(SendMessageA(s.face_combo, CB_GETCURSEL, 0, 0), 1);
  PickFace(v.window, 0);
  EXPECT_EQ(s.face, 0u);
}

}  // namespace
