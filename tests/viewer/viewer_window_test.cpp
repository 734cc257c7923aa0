// The viewer window driven through messages, as the host and the user drive it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fontfile/catalog.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"
#include "viewer/block_order.h"
#include "viewer/grid_math.h"
#include "viewer/viewer_layout.h"

namespace {

// A settings file of its own for each test, passed as the host passes it.
std::string FreshSettings(const std::string& name, const std::string& content = "") {
  std::string ini = ScratchDir(name) + "\\host.ini";
  if (!content.empty()) WriteTextFile(ini, content);
  SetSettingsFile(ini);
  return ini;
}

RECT ChildRect(HWND viewer, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<HWND> VisibleControls(HWND viewer) {
  std::vector<HWND> out;
  for (HWND child = GetWindow(viewer, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child) && GetDlgCtrlID(child) != kTabId) out.push_back(child);
  return out;
}

std::string SystemMessage(DWORD code) {
  char text[1024] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0x400,
                 text, sizeof text, nullptr);
  return text;
}

struct Viewer {
  explicit Viewer(const std::string& path, bool sizing = true, int w = 600, int h = 400)
      : parent(MakeParent(sizing, w, h)), window(LoadViewer(parent, path)) {}
  ~Viewer() {
    Close();
    DestroyWindow(parent);
    Pump();
  }
  void Close() {
    if (window) Plugin().list_close(window);
    window = nullptr;
  }
  ViewerState& state() const { return *StateOf(window); }
  HWND parent;
  HWND window;
};

TEST(ViewerSettings, StoredChoicesAreSelectedAndTheKeysWrittenAtClose) {
  std::string ini = FreshSettings("stored_choices",
                                  "[Quenvale.Orvane]\r\nSavePage=1\r\nPage=2\r\n"
                                  "SaveUnicodeBlock=1\r\nUnicodeBlock=5\r\nSaveCharSet=1\r\n"
                                  "CharSet=3\r\nSortOrderUnicodeBlocks=2\r\nFontSizeSample=20\r\n");
  {
    Viewer v(DejaVuPath());
    ASSERT_NE(v.window, nullptr);
    HWND block_combo = GetDlgItem(v.window, kBlockComboId);
    EXPECT_EQ(SendMessageA(GetDlgItem(v.window, kTabId), TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(v.state().page, 2);
    // Position 5 of the first plane's blocks by name, as versions without the
    // blocks beyond U+FFFF wrote it.
    EXPECT_EQ(ComboItem(block_combo, static_cast<int>(SendMessageA(block_combo, CB_GETCURSEL, 0, 0))),
              "Armenian");
    EXPECT_EQ(SendMessageA(GetDlgItem(v.window, kCharsetComboId), CB_GETCURSEL, 0, 0), 3);

    // The block list comes in the stored sort order, "ANSI" first.
    std::vector<const UnicodeBlockRow*> order;
    for (const UnicodeBlockRow& row : UnicodeBlockTable) order.push_back(&row);
    SortBlocks(order, 2);
    char name[128] = {};
    SendMessageA(block_combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ(name, "ANSI");
    SendMessageA(block_combo, CB_GETLBTEXT, 5, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ(name, order[5]->name);
    EXPECT_EQ(WindowText(GetDlgItem(v.window, kSizeEditId)), "20");
  }
  EXPECT_EQ(SettingsSection(ini),
            "SavePage=1\nPage=2\nSaveUnicodeBlock=1\nUnicodeBlock=5\nSaveCharSet=1\nCharSet=3\n"
            "SortOrderUnicodeBlocks=2\nFontSizeSample=20\nSaveSampleText=0\nLanguage=English\n"
            "FontSizeGlyphs=24\nFontSizeZoom=96\nZoomWidth=128\nZoomHeight=160\n"
            "OnlyBlocksWithCharacters=0\nFeaturesPage=0\nUnicodeBlockName=Armenian");

  // Back to table order for the other tests of this process.
  FreshSettings("sort_back", "[Quenvale.Orvane]\r\nSortOrderUnicodeBlocks=0\r\n");
  Viewer reset(DejaVuPath());
}

std::string IniText(const std::string& ini, const char* key) {
  char value[128] = {};
  GetPrivateProfileStringA("Quenvale.Orvane", key, "", value, sizeof value, ini.c_str());
  return value;
}

std::string SelectedBlock(const ViewerState& s) {
  return ComboItem(s.block_combo, static_cast<int>(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0)));
}

// Settings written while the block list held only the 101 blocks of the first
// plane: "UnicodeBlock" is a position in that list, in the stored sort order,
// and opens the block it named there in every order. At close the block is
// written by its name, and the old key as those versions read it.
TEST(ViewerSettings, AStoredBlockPositionOfTheFirstPlaneKeepsItsBlockInEveryOrder) {
  const struct {
    int order, position;
    const char* block;
  } cases[] = {{0, 5, "IPA Extensions"},
               {1, 5, "Chinese, Japanese, and Korean Compatibility Forms"},
               {2, 5, "Armenian"},
               {3, 5, "Tibetan"},
               {3, 250, "Alphabetic Presentation Forms"}};  // past the 101: the last
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "order " << c.order << ", position " << c.position);
    std::string ini;
    {
      GridViewer v("old_block_" + std::to_string(c.order) + "_" + std::to_string(c.position),
                   "SaveUnicodeBlock=1\r\nUnicodeBlock=" + std::to_string(c.position) +
                       "\r\nSortOrderUnicodeBlocks=" + std::to_string(c.order) + "\r\n");
      ini = v.ini;
      EXPECT_EQ(SelectedBlock(v.state()), c.block);
    }
    EXPECT_EQ(IniText(ini, "UnicodeBlockName"), c.block);
    EXPECT_EQ(GetPrivateProfileIntA("Quenvale.Orvane", "UnicodeBlock", -1, ini.c_str()),
              std::min(c.position, 100));
  }
  // The name is read first, whatever the order and the old key say; a name that
  // names no block leaves the choice to the old key.
  {
    GridViewer v("block_by_name", "SaveUnicodeBlock=1\r\nUnicodeBlock=0\r\n"
                                  "UnicodeBlockName=Armenian\r\nSortOrderUnicodeBlocks=0\r\n");
    EXPECT_EQ(SelectedBlock(v.state()), "Armenian");
  }
  {
    GridViewer v("unknown_block_name",
                 "SaveUnicodeBlock=1\r\nUnicodeBlockName=Klingon\r\nUnicodeBlock=5\r\n"
                 "SortOrderUnicodeBlocks=2\r\n");
    EXPECT_EQ(SelectedBlock(v.state()), "Armenian");
  }

  // A block beyond U+FFFF, which older versions do not have, comes back by its
  // name in every order; the old key keeps what they wrote.
  std::string ini;
  {
    GridViewer v("new_block",
                 "SaveUnicodeBlock=1\r\nUnicodeBlock=7\r\nSortOrderUnicodeBlocks=2\r\n");
    ini = v.ini;
    const auto emoticons = static_cast<int>(SendMessageA(
        v.state().block_combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
        reinterpret_cast<LPARAM>("Emoticons")));
    ASSERT_GT(emoticons, 0);
    v.SelectBlock(emoticons);
    EXPECT_EQ(SelectedBlock(v.state()), "Emoticons");
  }
  EXPECT_EQ(IniText(ini, "UnicodeBlockName"), "Emoticons");
  EXPECT_EQ(GetPrivateProfileIntA("Quenvale.Orvane", "UnicodeBlock", -1, ini.c_str()), 7);
  for (int order : {1, 3}) {
    GridViewer v("new_block_" + std::to_string(order),
                 "SaveUnicodeBlock=1\r\nUnicodeBlockName=Emoticons\r\nUnicodeBlock=7\r\n"
                 "SortOrderUnicodeBlocks=" + std::to_string(order) + "\r\n");
    EXPECT_EQ(SelectedBlock(v.state()), "Emoticons") << order;
  }
  // Back to table order for the other tests of this process.
  GridViewer reset("old_block_reset");
}

TEST(ViewerSettings, DefaultParamsAreCopiedAndAReplacedPathIsUsed) {
  std::string first = ScratchDir("params_first") + "\\a.ini";
  std::string second = ScratchDir("params_second") + "\\b.ini";
  DefaultParamsRecord record = {};
  record.size = sizeof record;
  lstrcpynA(record.settings_path, first.c_str(), MAX_PATH);
  Plugin().set_default_params(&record);
  lstrcpynA(record.settings_path, "Z:\\nowhere\\reused.ini", MAX_PATH);  // the host reuses it
  { Viewer v(DejaVuPath()); }
  EXPECT_TRUE(FileExists(first));

  SetSettingsFile(second);
  { Viewer v(DejaVuPath()); }
  EXPECT_TRUE(FileExists(second));
  EXPECT_FALSE(FileExists("Z:\\nowhere\\reused.ini"));
}

// Line ends "\r\n", "\r" (a rich-edit paragraph) and "\n" all as '\n'.
std::string WithNewlines(const std::string& text) {
  std::string out;
  char previous = 0;
  for (char c : text) {
    if (!(c == '\n' && previous == '\r')) out += c == '\r' ? '\n' : c;
    previous = c;
  }
  return out;
}

TEST(ViewerLoad, MissingEmptyUnsoundAndPairFilesGiveTheErrorText) {
  // Opened on the Info page, whose report is then written before any other page.
  FreshSettings("load_errors", "[Quenvale.Orvane]\r\nSavePage=1\r\nPage=1\r\n");
  std::string dir = ScratchDir("load_error_files");
  std::string empty = dir + "\\empty.ttf";
  WriteTextFile(empty, "");
  std::string unsound = dir + "\\text.ttf";
  WriteTextFile(unsound, "not a font at all");
  std::string pfm = dir + "\\pair.pfm";
  // A metrics file the reader accepts (version 0x0100, face name at 150), so that
  // its registration is tried under the pair name.
  std::string metrics(200, '\0');
  metrics[1] = '\x01';
  metrics[105] = static_cast<char>(150);
  metrics.replace(150, 10, std::string("Pair\0Pair\0", 10));
  WriteTextFile(pfm, metrics);
  WriteTextFile(dir + "\\pair.pfb", std::string(200, '\x02'));

  for (const std::string& path : {dir + "\\missing.ttf", empty, unsound, pfm}) {
    SCOPED_TRACE(path);
    Viewer v(path);
    ASSERT_NE(v.window, nullptr);
    const ViewerState& s = v.state();
    EXPECT_EQ(s.glyph_font, nullptr);
    std::string text = s.load_error;
    std::string head = "Unable to load \"" + path + "\".\nError ";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    int code = std::stoi(text.substr(head.size()));
    std::string message = code == -1 ? "No error information available." : SystemMessage(code);
    EXPECT_EQ(text, head + std::to_string(code) + ": " + message);
    if (path == pfm) {
      EXPECT_EQ(code, 123) << "the pair name is what was registered";
    } else if (path == unsound) {
      EXPECT_EQ(code, -1) << "a file kept from the system has no system code";
    } else {
      EXPECT_GT(code, 0) << "the system knows why the file cannot be used";
    }
    EXPECT_FALSE(s.info.names[kNameFull]) << "what was read is kept only for a registered font";
    for (int id : {kGlyphListId, kCharsetComboId, kBlockComboId})
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(v.window, id))) << id;
    // A failed load still measures rows by the label line alone.
    MEASUREITEMSTRUCT item = {};
    EXPECT_EQ(SendMessageA(v.window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(static_cast<int>(item.itemHeight), MenuFontLineHeight());
    // The Info page begins with the error and claims nothing of a font never made.
    const std::string report = WithNewlines(WindowText(GetDlgItem(v.window, kInfoViewId)));
    const std::string error = WithNewlines(text) + "\n";
    EXPECT_EQ(report.compare(0, error.size(), error), 0) << report;
    EXPECT_NE(report.find("\tFile Name\t: " + path + "\n"), std::string::npos) << report;
    for (const char* claim : {"ANSI", "Supported", "Code Pages", "Metrics", "Height"})
      EXPECT_EQ(report.find(claim), std::string::npos) << claim;
    // A size typed or slid on the Glyphs and Sample pages is kept for the next file
    // but makes no font: a glyph font exists exactly when the file loaded.
    for (const int page : {kGlyphsPage, kSamplePage}) {
      ClickTab(v.window, page);
      SetDlgItemTextA(v.window, kSizeEditId, "30");
      SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kSizeEditId, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(GetDlgItem(v.window, kSizeEditId)));
      SendMessageA(s.size_slider, TBM_SETPOS, TRUE, 40);
      SendMessageA(v.window, WM_HSCROLL, SB_THUMBPOSITION, reinterpret_cast<LPARAM>(s.size_slider));
      EXPECT_EQ(page == kGlyphsPage ? s.glyph_size : s.sample_size, 40) << page;
      EXPECT_EQ(s.glyph_font, nullptr) << page;
      EXPECT_EQ(s.sample_font, nullptr) << page;
    }
    EXPECT_STREQ(s.load_error, text.c_str());
    ClickTab(v.window, kInfoPage);  // the page stored for the next file's viewer
  }
}

TEST(ViewerLoad, FontLoadsAndRowsFitTheGlyphFont) {
  FreshSettings("font_loads");
  Viewer v(DejaVuPath());
  const ViewerState& s = v.state();
  ASSERT_NE(s.glyph_font, nullptr);
  EXPECT_STREQ(s.load_error, "");
  EXPECT_STREQ(s.logfont.lfFaceName, "DejaVu Sans");
  EXPECT_GT(s.glyph_metrics.tmHeight, 20);
  const int expected = s.glyph_metrics.tmHeight + s.glyph_metrics.tmExternalLeading +
                       MenuFontLineHeight();
  MEASUREITEMSTRUCT item = {};
  EXPECT_EQ(SendMessageA(v.window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_EQ(static_cast<int>(item.itemHeight), expected);
  EXPECT_EQ(SendMessageA(GetDlgItem(v.window, kGlyphListId), LB_GETITEMHEIGHT, 0, 0), expected);
  // "ANSI" has 16 rows.
  EXPECT_EQ(SendMessageA(GetDlgItem(v.window, kGlyphListId), LB_GETCOUNT, 0, 0), 16);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(v.window, kGlyphListId)));
}

TEST(ViewerLayout, ElevenWindowsForA600By400ClientArea) {
  FreshSettings("layout");
  Viewer v(DejaVuPath());
  HWND tab = GetDlgItem(v.window, kTabId);
  RECT tab_rect = ChildRect(v.window, tab);
  EXPECT_EQ(tab_rect.left, 0);
  EXPECT_EQ(tab_rect.top, 0);
  EXPECT_EQ(tab_rect.right, 600);
  EXPECT_EQ(tab_rect.bottom, 400);
  RECT d = {0, 0, 600, 400};
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&d));
  const ViewerLayout o = ComputeViewerLayout(d.left, d.top, d.right, d.bottom);
  const ViewerState& s = v.state();
  struct Check {
    HWND window;
    Placement p;
    bool full_height;  // a combo box's window is its closed height
  };
  for (const Check& c : {Check{s.block_combo, o.block_combo, false},
                         Check{s.block_spin, o.block_spin, true},
                         Check{s.charset_combo, o.charset_combo, false},
                         Check{s.charset_spin, o.charset_spin, true},
                         Check{s.size_edit, o.size_edit, true},
                         Check{s.size_slider, o.size_slider, true},
                         Check{s.glyph_list, o.glyph_list, true},
                         Check{s.sample_view, o.sample_view, true},
                         Check{s.info_view, o.info_view, true},
                         Check{s.options_host, o.options_host, true}}) {
    SCOPED_TRACE(GetDlgCtrlID(c.window));
    RECT r = ChildRect(v.window, c.window);
    EXPECT_EQ(r.left, c.p.x);
    EXPECT_EQ(r.top, c.p.y);
    EXPECT_EQ(r.right - r.left, c.p.width);
    if (c.full_height) {
      EXPECT_EQ(r.bottom - r.top, c.p.height);
    }
  }
  // The right-hand controls end at the display area's width.
  EXPECT_EQ(o.charset_spin.x + o.charset_spin.width, d.right - d.left);
}

TEST(ViewerPages, VisibleControlsPerPageAndLazyFilling) {
  FreshSettings("pages");
  Viewer v(DejaVuPath());
  const ViewerState& s = v.state();
  EXPECT_EQ(VisibleControls(v.window).size(), 7u);
  EXPECT_EQ(s.page_built[0], 1);
  EXPECT_EQ(s.page_built[1] + s.page_built[2] + s.page_built[3], 0);
  EXPECT_EQ(WindowText(s.info_view), "");

  ClickTab(v.window, 1);
  EXPECT_EQ(VisibleControls(v.window), std::vector<HWND>{s.info_view});
  std::string report = WindowText(s.info_view);
  EXPECT_EQ(report.rfind("Names", 0), 0u) << report.substr(0, 40);
  EXPECT_NE(report.find("DejaVu Sans"), std::string::npos);
  SetWindowTextA(s.info_view, "kept");

  ClickTab(v.window, 2);
  std::vector<HWND> sample_page = VisibleControls(v.window);
  std::sort(sample_page.begin(), sample_page.end());
  std::vector<HWND> expected_sample = {s.sample_view, s.size_edit, s.size_slider};
  std::sort(expected_sample.begin(), expected_sample.end());
  EXPECT_EQ(sample_page, expected_sample);
  EXPECT_EQ(WindowText(s.sample_view), "The quick brown fox jumps over the lazy dog.");
  EXPECT_EQ(WindowText(s.size_edit), "16");
  EXPECT_EQ(SendMessageA(s.size_slider, TBM_GETPOS, 0, 0), 16);
  SetWindowTextA(s.sample_view, "typed here");

  ClickTab(v.window, 3);
  EXPECT_EQ(VisibleControls(v.window), std::vector<HWND>{s.options_host});
  EXPECT_EQ(GetDlgItemInt(s.options_dialog, 903, nullptr, FALSE), 96u);

  ClickTab(v.window, 0);
  EXPECT_EQ(WindowText(s.size_edit), "24");
  EXPECT_EQ(SendMessageA(s.size_slider, TBM_GETPOS, 0, 0), 24);
  ClickTab(v.window, 1);
  EXPECT_EQ(WindowText(s.info_view), "kept");
  ClickTab(v.window, 2);
  EXPECT_EQ(WindowText(s.sample_view), "typed here");
}

TEST(ViewerPages, KeyboardStepsWrapAround) {
  FreshSettings("page_steps");
  Viewer v(DejaVuPath());
  HWND tab = GetDlgItem(v.window, kTabId);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(v.window, WM_KEYDOWN, VK_PRIOR, 0);  // Ctrl+Page Up from Glyphs
  EXPECT_EQ(v.state().page, 3);
  EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 3);
  SendMessageA(v.window, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(v.state().page, 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  SendMessageA(v.window, WM_KEYDOWN, VK_NEXT, 0);  // without Ctrl: nothing
  EXPECT_EQ(v.state().page, 0);
}

TEST(ViewerFocus, SizingParentGivesThePageTheFocusAFixedOneKeepsIt) {
  FreshSettings("focus");
  {
    Viewer v(DejaVuPath(), true);
    EXPECT_EQ(GetFocus(), v.state().glyph_list);
    ClickTab(v.window, 2);
    EXPECT_EQ(GetFocus(), v.state().sample_view);
  }
  {
    Viewer v(DejaVuPath(), false);
    EXPECT_EQ(GetFocus(), v.parent);
    EXPECT_EQ(v.state().parent_fixed, 1);
    ClickTab(v.window, 2);
    EXPECT_EQ(GetFocus(), v.parent);
    SetFocus(v.window);  // the viewer passes it on to the current page
    EXPECT_EQ(GetFocus(), v.state().sample_view);
    EXPECT_EQ(v.state().has_focus, 1);
    ClickTab(v.window, 1);
    EXPECT_EQ(GetFocus(), v.state().info_view);
  }
}

TEST(ViewerInstances, TwoViewersWorkApartAndTheLastClosedWritesTheFile) {
  std::string ini = FreshSettings("two_viewers");
  HWND parent = MakeParent(true);
  HWND first = LoadViewer(parent, DejaVuPath());
  HWND second = LoadViewer(parent, HostPath("/usr/share/wine/fonts/sserife.fon"));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ClickTab(first, 1);
  ClickTab(second, 2);
  EXPECT_EQ(StateOf(first)->page, 1);
  EXPECT_EQ(StateOf(second)->page, 2);
  EXPECT_NE(WindowText(StateOf(first)->info_view).find("DejaVu"), std::string::npos);

  Plugin().list_close(second);
  Pump();
  EXPECT_FALSE(IsWindow(second));
  ASSERT_TRUE(IsWindow(first));
  ViewerState* s = StateOf(first);
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(IsWindow(s->glyph_list));
  ClickTab(first, 0);
  EXPECT_EQ(s->page, 0);
  EXPECT_TRUE(IsWindowVisible(s->glyph_list));
  EXPECT_NE(s->glyph_font, nullptr);
  EXPECT_EQ(GetPrivateProfileIntA("Quenvale.Orvane", "Page", -1, ini.c_str()), 2);

  Plugin().list_close(first);
  EXPECT_EQ(GetPrivateProfileIntA("Quenvale.Orvane", "Page", -1, ini.c_str()), 0);
  DestroyWindow(parent);
}

}  // namespace
