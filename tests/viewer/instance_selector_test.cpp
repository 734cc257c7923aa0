// The named instances of a variable font: the selector, the instances drawn
// (against fontTools' static instances registered as ordinary fonts), the kept
// static fonts, the stored choice, ListLoadNext keeping an instance by name, and
// an instance that cannot be made.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

const char* kInterDir = "/usr/share/fonts/truetype/inter-vf/";
std::string Inter(const char* file) { return HostPath(kInterDir + std::string(file)); }
std::string Made(const char* file) {
  return HostPath(ORVANE_VARIABLE_FONTS + std::string("/") + file);
}

// Inter roman's named instances in fvar order, after the default.
const std::vector<std::string> kRomanItems = {
    "Default instance", "Thin", "Extra Light", "Light", "Regular", "Medium",
    "Semi Bold",        "Bold", "Extra Bold",  "Black"};
constexpr int kThin = 1, kRegular = 4, kBlack = 9;

void PickInstance(HWND viewer, int item) {
  HWND combo = StateOf(viewer)->instance_combo;
  SendMessageA(combo, CB_SETCURSEL, item, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(kInstanceComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  Pump();
}

std::string TextFace(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  char name[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof name, name);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return name;
}

RECT ChildRect(HWND viewer, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string IniText(const std::string& ini, const char* key, const char* unset) {
  char value[256] = {};
  GetPrivateProfileStringA("Quenvale.Orvane", key, unset, value, sizeof value, ini.c_str());
  return value;
}

// The commonest colour left of a combo box's button: its background.
uint32_t Background(const Pixels& p) {
  std::map<uint32_t, int> counts;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width / 2; ++x) ++counts[p.At(x, y)];
  uint32_t commonest = 0;
  int most = 0;
  for (auto [colour, count] : counts)
    if (count > most) most = count, commonest = colour;
  return commonest;
}

std::string InfoText(GridViewer& v) {
  ClickTab(v.window, 1);
  const std::string text = WindowText(v.state().info_view);
  ClickTab(v.window, 0);
  return text;
}

// The glyph part of cell `column` of list row `row` (below its code label).
RECT GlyphCell(const ViewerState& s, int row, int column) {
  RECT item = {}, client = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  GetClientRect(s.glyph_list, &client);
  const int width = client.right / 16;
  return {column * width + 1, item.top + MenuFontLineHeight(), (column + 1) * width, item.bottom};
}

// How dark the cell is: the sum over its pixels of 255 less their mean channel.
long Darkness(const Pixels& p, const RECT& r) {
  long sum = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const uint32_t c = p.At(x, y);
      sum += 255 - static_cast<long>(((c >> 16 & 255) + (c >> 8 & 255) + (c & 255)) / 3);
    }
  return sum;
}

// Pixels of r whose channels differ by more than a quarter of their range.
int Differing(const Pixels& a, const Pixels& b, const RECT& r) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(a.At(x, y) >> shift & 255) -
                     static_cast<int>(b.At(x, y) >> shift & 255)) > 64) {
          ++count;
          break;
        }
  return count;
}

// Row 4 of "ANSI" holds 0x40-0x4F; cell 8 is "H", cell 7 "G".
struct CellShot {
  Pixels pixels;
  RECT h, g;
};
CellShot ShootCells(const ViewerState& s) {
  SendMessageA(s.glyph_list, LB_SETTOPINDEX, 0, 0);
  UpdateWindow(s.glyph_list);
  return {CaptureClient(s.glyph_list), GlyphCell(s, 4, 8), GlyphCell(s, 4, 7)};
}

TEST(InstanceSelector, ListedForInterWithKeysAndDarkModeAndNoneForDejaVu) {
  ASSERT_EQ(MissingFont(kInterDir + std::string("Inter-roman.var.ttf")), "");
  GridViewer plain("instances_plain", "", DejaVuPath(), 600, 400);
  EXPECT_FALSE(GetDlgItem(plain.window, kInstanceComboId));
  EXPECT_FALSE(plain.state().instance_selector);
  const RECT plain_slider = ChildRect(plain.window, plain.state().size_slider);
  plain.Close();

  GridViewer v("instances_listed", "", Inter("Inter-roman.var.ttf"), 600, 400);
  ViewerState& s = v.state();
  ASSERT_TRUE(s.instance_combo);
  ASSERT_EQ(SendMessageA(s.instance_combo, CB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(kRomanItems.size()));
  for (size_t i = 0; i < kRomanItems.size(); ++i)
    EXPECT_EQ(ComboItem(s.instance_combo, static_cast<int>(i)), kRomanItems[i]) << i;
  EXPECT_EQ(SendMessageA(s.instance_combo, CB_GETCURSEL, 0, 0), 0);
  // The default is the file's own face, as before.
  EXPECT_EQ(TextFace(s.glyph_font), "Inter");
  // On the size row, right of a shorter trackbar; no face selector.
  EXPECT_TRUE(IsWindowVisible(s.instance_combo));
  EXPECT_FALSE(s.face_selector);
  const RECT combo = ChildRect(v.window, s.instance_combo);
  const RECT slider = ChildRect(v.window, s.size_slider);
  EXPECT_LE(slider.right, combo.left);
  EXPECT_LT(slider.right, plain_slider.right);
  EXPECT_EQ(combo.top, slider.top);
  EXPECT_EQ(slider.left, plain_slider.left);

  // Ctrl+Right: trackbar, instances, block list on the Glyphs page; trackbar,
  // instances, sample view on the Sample page.
  SetCtrl(true);
  SetFocus(s.size_slider);
  SendMessageA(s.size_slider, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.instance_combo);
  SendMessageA(s.instance_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.block_combo);
  SetCtrl(false);
  ClickTab(v.window, 1);
  EXPECT_FALSE(IsWindowVisible(s.instance_combo));
  ClickTab(v.window, 2);
  EXPECT_TRUE(IsWindowVisible(s.instance_combo));
  SetCtrl(true);
  SetFocus(s.instance_combo);
  SendMessageA(s.instance_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.sample_view);
  SendMessageA(s.sample_view, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(GetFocus(), s.instance_combo);
  SetCtrl(false);
  // The Sample page follows the choice.
  PickInstance(v.window, kBlack);
  CHARFORMATA sample = {};
  sample.cbSize = sizeof sample;
  SendMessageA(s.sample_view, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&sample));
  EXPECT_EQ(std::string(sample.szFaceName), s.built.back().family);
  ClickTab(v.window, 0);

  // Dark mode paints it as the block list beside it.
  SendMessageA(v.window, kNewParamsMessage, 128, 0);
  Pump();
  const uint32_t box = Background(CaptureClient(s.instance_combo));
  EXPECT_EQ(box, Background(CaptureClient(s.block_combo)));
  EXPECT_LT(box & 0xFF, 0x80u);
  SendMessageA(v.window, kNewParamsMessage, 0, 0);
}

TEST(InstanceSelector, InstancesAreDrawnAsFontToolsMakesThemAndKept) {
  ASSERT_EQ(MissingFont(kInterDir + std::string("Inter-roman.var.ttf")), "");
  // fontTools' static instances, each shown as an ordinary font file.
  std::map<int, CellShot> reference;
  for (auto [item, file] : {std::pair{kThin, "inter-thin-static.ttf"},
                            std::pair{kBlack, "inter-black-static.ttf"}}) {
    GridViewer ordinary("instances_reference", "", Made(file));
    ASSERT_TRUE(ordinary.state().glyph_font) << file;
    EXPECT_TRUE(ordinary.state().other_face.empty()) << file;
    reference[item] = ShootCells(ordinary.state());
  }

  GridViewer v("instances_drawn", "", Inter("Inter-roman.var.ttf"));
  ViewerState& s = v.state();
  ASSERT_TRUE(s.instance_combo);
  std::map<int, CellShot> drawn;
  std::map<int, std::string> family;
  for (int item : {kThin, kBlack}) {
    PickInstance(v.window, item);
    ASSERT_EQ(s.instance, static_cast<size_t>(item));
    ASSERT_FALSE(s.built.empty());
    family[item] = s.built.back().family;
    EXPECT_EQ(TextFace(s.glyph_font), family[item]);
    // The static font is the face drawn: no other face is reported.
    EXPECT_TRUE(s.other_face.empty()) << s.other_face;
    drawn[item] = ShootCells(s);
  }
  EXPECT_NE(family[kThin], family[kBlack]);
  for (const RECT& cell : {drawn[kThin].h, drawn[kThin].g}) {
    EXPECT_GT(Darkness(drawn[kBlack].pixels, cell), Darkness(drawn[kThin].pixels, cell) * 2);
  }
  for (int item : {kThin, kBlack}) {
    const CellShot& mine = drawn[item];
    const CellShot& theirs = reference[item];
    ASSERT_TRUE(EqualRect(&mine.h, &theirs.h)) << item;
    for (const RECT& cell : {mine.h, mine.g}) {
      const int area = (cell.right - cell.left) * (cell.bottom - cell.top);
      EXPECT_LE(Differing(mine.pixels, theirs.pixels, cell), area / 50) << item;
      const long a = Darkness(mine.pixels, cell), b = Darkness(theirs.pixels, cell);
      EXPECT_LE(std::abs(a - b), b / 20) << item << ": " << a << " against " << b;
    }
  }

  // Back and forth: the kept static fonts, not new ones.
  PickInstance(v.window, kThin);
  EXPECT_EQ(TextFace(s.glyph_font), family[kThin]);
  PickInstance(v.window, kBlack);
  EXPECT_EQ(TextFace(s.glyph_font), family[kBlack]);
  // The default, and the named instance at its coordinates, are the file's face.
  for (int item : {0, kRegular}) {
    PickInstance(v.window, item);
    EXPECT_EQ(TextFace(s.glyph_font), "Inter") << item;
  }
  // Only a few are kept.
  for (int item = 1; item <= kBlack; ++item) PickInstance(v.window, item);
  EXPECT_LE(s.built.size(), 4u);
  EXPECT_EQ(s.built.back().instance, static_cast<size_t>(kBlack));

  // The Info report names the instance and its coordinates.
  const std::string info = InfoText(v);
  EXPECT_NE(info.find("Instance\t: Black"), std::string::npos) << info;
  EXPECT_NE(info.find("Coordinates\t: wght = 900"), std::string::npos) << info;
  EXPECT_EQ(info.find("another face"), std::string::npos);
  PickInstance(v.window, 0);
  EXPECT_NE(InfoText(v).find("Instance\t: Default instance"), std::string::npos);
}

TEST(InstanceSelector, StoredByNameAndKeptByNameFromFileToFile) {
  ASSERT_EQ(MissingFont(kInterDir + std::string("Inter.var.ttf")), "");
  std::string ini;
  {
    GridViewer v("instances_stored", "", Inter("Inter.var.ttf"));
    ini = v.ini;
    ViewerState& s = v.state();
    ASSERT_TRUE(s.instance_combo);
    // Inter.var.ttf has roman and italic instances: Black is the 17th.
    EXPECT_EQ(ComboItem(s.instance_combo, 17), "Black");
    PickInstance(v.window, 17);
    // The next file has a Black: kept, by name.
    ASSERT_EQ(LoadNext(v.parent, v.window, Inter("Inter-roman.var.ttf")), 0);
    EXPECT_EQ(s.instance, static_cast<size_t>(kBlack));
    EXPECT_EQ(SendMessageA(s.instance_combo, CB_GETCURSEL, 0, 0), kBlack);
    EXPECT_EQ(SendMessageA(s.instance_combo, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(TextFace(s.glyph_font), s.built.back().family);
    // A font that is not variable leaves the choice as it is, and hides the selector.
    ASSERT_EQ(LoadNext(v.parent, v.window, DejaVuPath()), 0);
    EXPECT_FALSE(s.instance_selector);
    EXPECT_FALSE(IsWindowVisible(s.instance_combo));
    EXPECT_TRUE(s.built.empty());
    ASSERT_EQ(LoadNext(v.parent, v.window, Inter("Inter-roman.var.ttf")), 0);
    EXPECT_EQ(s.instance, static_cast<size_t>(kBlack));
    EXPECT_TRUE(IsWindowVisible(s.instance_combo));
    v.Close();
  }
  EXPECT_EQ(IniText(ini, "InstanceName", "unset"), "Black");

  GridViewer again("instances_stored_again", "InstanceName=Black\r\n",
                   Inter("Inter-roman.var.ttf"));
  ViewerState& s = again.state();
  EXPECT_EQ(s.instance, static_cast<size_t>(kBlack));
  EXPECT_EQ(TextFace(s.glyph_font), s.built.back().family);
  // The italic file has "Black Italic" but no "Black": its default is shown.
  ASSERT_EQ(LoadNext(again.parent, again.window, Inter("Inter-italic.var.ttf")), 0);
  EXPECT_EQ(s.instance, 0u);
  EXPECT_EQ(ComboItem(s.instance_combo, 9), "Black Italic");
  EXPECT_EQ(TextFace(s.glyph_font), "Inter");
  again.Close();
  EXPECT_EQ(IniText(again.ini, "InstanceName", "unset"), "");
}

TEST(InstanceSelector, ACollectionOfVariableFontsHasBothSelectors) {
  GridViewer v("instances_collection", "InstanceName=Bold\r\n",
               Made("inter-collection.ttc"), 600, 400);
  ViewerState& s = v.state();
  ASSERT_TRUE(s.face_selector);
  ASSERT_TRUE(s.instance_selector);
  EXPECT_EQ(s.instance, 7u);
  const RECT face = ChildRect(v.window, s.face_combo);
  const RECT instance = ChildRect(v.window, s.instance_combo);
  const RECT slider = ChildRect(v.window, s.size_slider);
  EXPECT_LE(slider.right, face.left);
  EXPECT_LE(face.right, instance.left);
  EXPECT_EQ(face.top, instance.top);
  // Keys go trackbar, faces, instances.
  SetCtrl(true);
  SetFocus(s.face_combo);
  SendMessageA(s.face_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.instance_combo);
  SetCtrl(false);
  // The italic face lists its own instances and has no "Bold": its default.
  SendMessageA(s.face_combo, CB_SETCURSEL, 1, 0);
  SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kFaceComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(s.face_combo));
  Pump();
  EXPECT_EQ(s.face, 1u);
  EXPECT_EQ(s.instance, 0u);
  EXPECT_EQ(ComboItem(s.instance_combo, 7), "Bold Italic");
  PickInstance(v.window, 7);
  EXPECT_EQ(TextFace(s.glyph_font), s.built.back().family);
  EXPECT_EQ(s.built.back().face, 1u);
}

TEST(InstanceSelector, AnInstanceThatCannotBeMadeLeavesTheDefaultAndSaysSo) {
  GridViewer v("instances_refused", "", Made("inter-broken-gvar.ttf"));
  ViewerState& s = v.state();
  ASSERT_TRUE(s.glyph_font);
  ASSERT_TRUE(s.instance_combo);
  const CellShot before = ShootCells(s);
  PickInstance(v.window, kBlack);
  EXPECT_EQ(s.instance, static_cast<size_t>(kBlack));
  ASSERT_FALSE(s.built.empty());
  EXPECT_FALSE(s.built.back().memory);
  EXPECT_EQ(TextFace(s.glyph_font), "Inter");
  // The default drawn, as before the choice.
  const CellShot after = ShootCells(s);
  EXPECT_TRUE(after.pixels.SameIn(before.pixels, after.h));
  const std::string info = InfoText(v);
  EXPECT_NE(info.find("Instance\t: Black"), std::string::npos) << info;
  EXPECT_NE(info.find("This instance cannot be made: the default is drawn"), std::string::npos)
      << info;
}

}  // namespace
