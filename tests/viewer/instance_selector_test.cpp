// The named instances of a variable font: the selector, the instances drawn
// against fontTools' static instances shown as ordinary fonts, the kept static
// fonts, the stored choice, ListLoadNext keeping an instance by name, and an
// instance that cannot be made.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "hostile_fonts.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "text/language.h"
#include "viewer/instance_selector.h"

// Named, as the program is compiled as one unit with the other viewer tests.
namespace instances {
namespace {

std::string Inter(const char* file) {
  return HostPath(std::string("/usr/share/fonts/truetype/inter-vf/") + file);
}
std::string Made(const char* file) {
  return HostPath(ORVANE_VARIABLE_FONTS "/" + std::string(file));
}
constexpr int kThin = 1, kRegular = 4, kBlack = 9;  // Inter roman's items

void Pick(HWND viewer, int id, int item) {
  HWND combo = GetDlgItem(viewer, id);
  SendMessageA(combo, CB_SETCURSEL, item, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
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

std::string InfoText(HWND viewer) {
  ClickTab(viewer, 1);
  const std::string text = WindowText(StateOf(viewer)->info_view);
  ClickTab(viewer, 0);
  return text;
}

// The glyph parts (below the code labels) of "G" and "H", cells 7 and 8 of row 4
// of "ANSI", and how dark each is: the sum of 255 less each pixel's mean channel.
struct Cells {
  Pixels pixels;
  std::vector<RECT> rects;
  long Darkness(const RECT& r) const {
    long sum = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const uint32_t c = pixels.At(x, y);
        sum += 255 - static_cast<long>(((c >> 16) + (c >> 8 & 255) + (c & 255)) / 3);
      }
    return sum;
  }
};
Cells ShootCells(const ViewerState& s) {
  UpdateWindow(s.glyph_list);
  RECT row = {}, client = {};
  SendMessageA(s.glyph_list, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
  GetClientRect(s.glyph_list, &client);
  const int w = client.right / 16, top = row.top + MenuFontLineHeight();
  return {CaptureClient(s.glyph_list), {{7 * w + 1, top, 8 * w, row.bottom},
                                        {8 * w + 1, top, 9 * w, row.bottom}}};
}

// Pixels of r of which a channel differs by more than a quarter of its range.
int Differing(const Pixels& a, const Pixels& b, const RECT& r) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      for (int shift : {0, 8, 16})
        if (std::abs(int(a.At(x, y) >> shift & 255) - int(b.At(x, y) >> shift & 255)) > 64) {
          ++count;
          break;
        }
  return count;
}

TEST(InstanceSelector, ListedForInterInFvarOrderWithItsKeysAndNoneForDejaVu) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/truetype/inter-vf/Inter-roman.var.ttf"), "");
  GridViewer plain("instances_plain", "", DejaVuPath(), 600, 400);
  EXPECT_FALSE(GetDlgItem(plain.window, kInstanceComboId));
  const RECT plain_slider = ChildRect(plain.window, plain.state().size_slider);
  plain.Close();

  GridViewer v("instances_listed", "", Inter("Inter-roman.var.ttf"), 600, 400);
  ViewerState& s = v.state();
  ASSERT_TRUE(s.instance_combo);
  const std::vector<std::string> items = {"Default instance", "Thin", "Extra Light", "Light",
                                          "Regular", "Medium", "Semi Bold", "Bold",
                                          "Extra Bold", "Black"};
  ASSERT_EQ(SendMessageA(s.instance_combo, CB_GETCOUNT, 0, 0), LRESULT(items.size()));
  for (size_t i = 0; i < items.size(); ++i)
    EXPECT_EQ(ComboItem(s.instance_combo, int(i)), items[i]) << i;
  EXPECT_EQ(SendMessageA(s.instance_combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextFace(s.glyph_font), "Inter");  // the default: the file's own face
  // On the size row, right of a trackbar shortened for it.
  EXPECT_TRUE(IsWindowVisible(s.instance_combo));
  const RECT combo = ChildRect(v.window, s.instance_combo);
  const RECT slider = ChildRect(v.window, s.size_slider);
  EXPECT_LE(slider.right, combo.left);
  EXPECT_LT(slider.right, plain_slider.right);
  EXPECT_EQ(combo.top, slider.top);
  // Ctrl+Right: trackbar, instances, block list.
  SetCtrl(true);
  SetFocus(s.size_slider);
  SendMessageA(s.size_slider, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.instance_combo);
  SendMessageA(s.instance_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.block_combo);
  SetCtrl(false);
  ClickTab(v.window, 1);
  EXPECT_FALSE(IsWindowVisible(s.instance_combo));
  ClickTab(v.window, 0);
}

TEST(InstanceSelector, InstancesAreDrawnAsFontToolsMakesThemAndKept) {
  std::map<int, Cells> theirs, mine;
  for (auto [item, file] : {std::pair{kThin, "inter-thin-static.ttf"},
                            std::pair{kBlack, "inter-black-static.ttf"}}) {
    GridViewer ordinary("instances_reference", "", Made(file));
    ASSERT_TRUE(ordinary.state().glyph_font) << file;
    theirs[item] = ShootCells(ordinary.state());
  }
  GridViewer v("instances_drawn", "", Inter("Inter-roman.var.ttf"));
  ViewerState& s = v.state();
  std::map<int, std::string> family;
  for (int item : {kThin, kBlack}) {
    Pick(v.window, kInstanceComboId, item);
    ASSERT_FALSE(s.built.empty());
    family[item] = s.built.back().family;
    EXPECT_EQ(TextFace(s.glyph_font), family[item]);
    EXPECT_EQ(s.other_face, "");  // the static font is the face drawn
    mine[item] = ShootCells(s);
  }
  for (int cell : {0, 1}) {
    const RECT& r = mine[kThin].rects[cell];
    EXPECT_GT(mine[kBlack].Darkness(r), 2 * mine[kThin].Darkness(r)) << cell;
    for (int item : {kThin, kBlack}) {
      ASSERT_TRUE(EqualRect(&r, &theirs[item].rects[cell])) << item;
      const int area = (r.right - r.left) * (r.bottom - r.top);
      const int differing = Differing(mine[item].pixels, theirs[item].pixels, r);
      EXPECT_LE(differing, area / 50) << item;
      const long a = mine[item].Darkness(r), b = theirs[item].Darkness(r);
      std::printf("item %d cell %d: darkness %ld, fontTools' %ld; %d of %d pixels differ\n", item,
                  cell, a, b, differing, area);
      EXPECT_LE(std::labs(a - b), b / 20) << item << ": " << a << " against " << b;
    }
  }
  // Back and forth: the kept static fonts, no new ones (each build has a new family).
  for (int item : {kThin, kBlack}) {
    Pick(v.window, kInstanceComboId, item);
    EXPECT_EQ(TextFace(s.glyph_font), family[item]);
  }
  const std::string info = InfoText(v.window);
  EXPECT_NE(info.find("Instance\t: Black"), std::string::npos) << info;
  EXPECT_NE(info.find("Coordinates\t: wght = 900"), std::string::npos);
  EXPECT_EQ(info.find("another face"), std::string::npos);
  // The default, and the named instance at its coordinates, are the file's face.
  for (int item : {0, kRegular}) {
    Pick(v.window, kInstanceComboId, item);
    EXPECT_EQ(TextFace(s.glyph_font), "Inter") << item;
  }
  for (int item = 1; item <= kBlack; ++item) Pick(v.window, kInstanceComboId, item);
  EXPECT_LE(s.built.size(), 4u);
}

TEST(InstanceSelector, StoredByNameAndKeptByNameFromFileToFile) {
  std::string ini;
  {
    GridViewer v("instances_stored", "", Inter("Inter.var.ttf"));
    ini = v.ini;
    ViewerState& s = v.state();
    ASSERT_EQ(ComboItem(s.instance_combo, 17), "Black");  // after roman and italic ones
    Pick(v.window, kInstanceComboId, 17);
    // The next file has a Black: kept. A font that is not variable hides the
    // selector and leaves the choice for the next variable one.
    for (const std::string& next :
         {Inter("Inter-roman.var.ttf"), DejaVuPath(), Inter("Inter-roman.var.ttf")}) {
      ASSERT_EQ(LoadNext(v.parent, v.window, next), 0);
      const bool variable = next != DejaVuPath();
      EXPECT_EQ(s.instance, variable ? size_t(kBlack) : 0u) << next;
      EXPECT_EQ(IsWindowVisible(s.instance_combo) != FALSE, variable);
    }
    EXPECT_EQ(SendMessageA(s.instance_combo, CB_GETCURSEL, 0, 0), kBlack);
    EXPECT_EQ(TextFace(s.glyph_font), s.built.back().family);
  }
  char stored[64] = {};
  GetPrivateProfileStringA("Quenvale.Orvane", "InstanceName", "", stored, 64, ini.c_str());
  EXPECT_STREQ(stored, "Black");

  GridViewer again("instances_stored_again", "InstanceName=Black\r\n",
                   Inter("Inter-roman.var.ttf"));
  ViewerState& s = again.state();
  EXPECT_EQ(s.instance, size_t(kBlack));
  // The italic file has "Black Italic" but no "Black": its default is shown.
  ASSERT_EQ(LoadNext(again.parent, again.window, Inter("Inter-italic.var.ttf")), 0);
  EXPECT_EQ(s.instance, 0u);
  EXPECT_EQ(TextFace(s.glyph_font), "Inter");
  again.Close();
  GetPrivateProfileStringA("Quenvale.Orvane", "InstanceName", "?", stored, 64, again.ini.c_str());
  EXPECT_STREQ(stored, "");
}

TEST(InstanceSelector, ACollectionOfVariableFontsShowsBothSelectors) {
  GridViewer v("instances_collection", "InstanceName=Bold\r\n", Made("inter-collection.ttc"),
               600, 400);
  ViewerState& s = v.state();
  ASSERT_TRUE(s.face_selector && s.instance_selector);
  EXPECT_EQ(s.instance, 7u);
  const RECT face = ChildRect(v.window, s.face_combo);
  const RECT instance = ChildRect(v.window, s.instance_combo);
  EXPECT_LE(ChildRect(v.window, s.size_slider).right, face.left);
  EXPECT_LE(face.right, instance.left);
  SetCtrl(true);
  SetFocus(s.face_combo);
  SendMessageA(s.face_combo, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), s.instance_combo);
  SetCtrl(false);
  // The italic face lists its own instances and has no "Bold": its default.
  Pick(v.window, kFaceComboId, 1);
  EXPECT_EQ(s.instance, 0u);
  EXPECT_EQ(ComboItem(s.instance_combo, 7), "Bold Italic");
  Pick(v.window, kInstanceComboId, 7);
  EXPECT_EQ(TextFace(s.glyph_font), s.built.back().family);
  EXPECT_EQ(s.built.back().face, 1u);
}

TEST(InstanceSelector, AnInstanceThatCannotBeMadeLeavesTheDefaultAndSaysSo) {
  const struct {
    const char* file;
    int item;
    const char* name;
    const char* note;
  } cases[] = {
      {"inter-broken-gvar.ttf", kBlack, "Black",
       "This instance cannot be made: the default is drawn"},
      {"cantarell-cff2.otf", 2, "Wide", "CFF2 outlines: the default instance is drawn"},
  };
  for (const auto& c : cases) {
    GridViewer v("instances_refused", "", Made(c.file));
    ViewerState& s = v.state();
    ASSERT_TRUE(s.glyph_font && s.instance_combo) << c.file;
    const std::string face = TextFace(s.glyph_font);
    const Cells before = ShootCells(s);
    Pick(v.window, kInstanceComboId, c.item);
    EXPECT_EQ(s.instance, size_t(c.item));
    ASSERT_FALSE(s.built.empty());
    EXPECT_FALSE(s.built.back().memory);
    EXPECT_EQ(TextFace(s.glyph_font), face);
    EXPECT_TRUE(ShootCells(s).pixels.SameIn(before.pixels, before.rects[1])) << c.file;
    const std::string info = InfoText(v.window);
    EXPECT_NE(info.find(std::string("Instance\t: ") + c.name), std::string::npos) << info;
    EXPECT_NE(info.find(c.note), std::string::npos) << c.file;
  }
}

// A remembered instance over a composite graph 24 deep (2^26 component visits):
// the load builds nothing past the instancer's budget, hands the system nothing,
// and the default stays. Wine's own rasterizer cannot take such a font (it
// faults drawing glyph 1), so the load's own part runs here, with no window and
// the file never handed to the system.
TEST(InstanceSelector, ARememberedInstanceOverACompositeGraphStopsAtTheBudget) {
  const std::string path = ScratchDir("instance_budget") + "\\composite-dag.ttf";
  const std::string font = CompositeDagFont(24);
  std::ofstream(path, std::ios::binary).write(font.data(), static_cast<std::streamsize>(font.size()));
  ViewerState s;
  s.font_path = path;
  auto opened = std::make_shared<OpenedFont>();
  ASSERT_TRUE(OpenFontFile(path.c_str(), *opened));
  s.opened = opened;
  std::snprintf(s.instance_name, sizeof s.instance_name, "Heavy");
  OpenNamedInstance(s);
  ASSERT_EQ(s.instances.size(), 1u);
  EXPECT_EQ(s.instance, 1u);
  ASSERT_EQ(s.built.size(), 1u);
  EXPECT_FALSE(s.built[0].memory);
  EXPECT_EQ(s.built[0].problem, InstanceProblem::kWorkBudget);
  EXPECT_EQ(InstanceNote(s), kTextInstanceRefused);
}

}  // namespace
}  // namespace instances
