// How often the viewer maps a file and walks a table directory: once per load,
// never on a face switch, an instance switch or the glyph view, which reuse what
// the load opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace read_counts {
namespace {

struct Counted {
  uint64_t mappings = 0, walks = 0;
};
Counted Now(const ViewerState& s) {
  return {s.read_counts->mappings.load(), s.read_counts->directory_walks.load()};
}
Counted Since(const ViewerState& s, Counted before) {
  const Counted now = Now(s);
  return {now.mappings - before.mappings, now.walks - before.walks};
}

void Pick(HWND viewer, int id, int item) {
  HWND combo = GetDlgItem(viewer, id);
  SendMessageA(combo, CB_SETCURSEL, item, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  Pump();
}

// The pages that read the font beyond what the load read: the Info page's
// report, and the Features page's layout tables and shaping (its run, as Copy
// gives it, shows that it shaped).
void ShowReadingPages(HWND viewer) {
  ClickTab(viewer, kInfoPage);
  ClickTab(viewer, kFeaturesPage);
  auto send = DllExport<int(__stdcall*)(HWND, int, int)>(Plugin().dll, "ListSendCommand");
  ASSERT_TRUE(send);
  EXPECT_EQ(send(viewer, 1 /* lc_copy */, 0), 0);
  EXPECT_GT(ClipboardText().size(), 2u) << "the Features page shaped nothing";
  ClickTab(viewer, kGlyphsPage);
}

// A collection of two variable faces: a load, a face switch and an instance
// switch, each with the Info and Features pages shown, as a user meets them.
TEST(ReadCounts, OneMappingPerLoadAndNoneAndNoWalkPerSwitch) {
  const std::string font = HostPath(ORVANE_VARIABLE_FONTS "/inter-collection.ttc");
  const std::string ini = ScratchDir("read_counts") + "\\host.ini";
  WriteTextFile(ini, "[Quenvale.Orvane]\r\nFeaturesPage=1\r\nSavePage=0\r\n");
  SetSettingsFile(ini);
  HWND parent = MakeParent(true, 600, 400);
  // The counters are the DLL's: a first viewer shows where they are.
  HWND first = LoadViewer(parent, DejaVuPath());
  ASSERT_NE(first, nullptr);
  const Counted start = Now(*StateOf(first));
  Plugin().list_close(first);

  HWND viewer = LoadViewer(parent, font);
  ASSERT_NE(viewer, nullptr);
  ViewerState& s = *StateOf(viewer);
  ShowReadingPages(viewer);
  const Counted load = Since(s, start);

  Counted before = Now(s);
  Pick(viewer, kFaceComboId, 1);
  ASSERT_EQ(s.face, 1u);
  ShowReadingPages(viewer);
  const Counted face_switch = Since(s, before);

  // The first switch to an instance builds its static font, whose own directory
  // is read once for the drawn-face check; switching back to it builds nothing.
  before = Now(s);
  Pick(viewer, kInstanceComboId, 9);
  ASSERT_EQ(s.instance, 9u);
  ShowReadingPages(viewer);
  const Counted first_build = Since(s, before);
  Pick(viewer, kInstanceComboId, 0);
  before = Now(s);
  Pick(viewer, kInstanceComboId, 9);
  ShowReadingPages(viewer);
  const Counted instance_switch = Since(s, before);

  // The glyph view reads the glyphs' names, the reversed map and the GSUB walk
  // from the record, once per face: a face shown again in it keeps its first read.
  ClickTab(viewer, kGlyphsPage);
  const auto show_glyph_view = [&] {
    Pick(viewer, kBlockComboId,
         static_cast<int>(SendDlgItemMessageA(viewer, kBlockComboId, CB_GETCOUNT, 0, 0)) - 1);
  };
  before = Now(s);
  show_glyph_view();
  ASSERT_TRUE(s.glyph_view);
  const FaceGlyphs* read = FaceOf(*s.opened, 1)->glyphs.get();
  ASSERT_NE(read, nullptr);
  Pick(viewer, kFaceComboId, 0);
  Pick(viewer, kFaceComboId, 1);
  show_glyph_view();
  ASSERT_TRUE(s.glyph_view);
  EXPECT_EQ(FaceOf(*s.opened, 1)->glyphs.get(), read);
  const Counted glyph_view = Since(s, before);

  std::printf("load: %llu mappings, %llu walks; face switch: %llu, %llu; first build of an "
              "instance: %llu, %llu; instance switch: %llu, %llu; glyph view: %llu, %llu\n",
              static_cast<unsigned long long>(load.mappings),
              static_cast<unsigned long long>(load.walks),
              static_cast<unsigned long long>(face_switch.mappings),
              static_cast<unsigned long long>(face_switch.walks),
              static_cast<unsigned long long>(first_build.mappings),
              static_cast<unsigned long long>(first_build.walks),
              static_cast<unsigned long long>(instance_switch.mappings),
              static_cast<unsigned long long>(instance_switch.walks),
              static_cast<unsigned long long>(glyph_view.mappings),
              static_cast<unsigned long long>(glyph_view.walks));
  EXPECT_LE(load.mappings, 1u);
  EXPECT_LE(load.walks, 2u);  // each face's directory once
  EXPECT_EQ(face_switch.mappings, 0u);
  EXPECT_EQ(face_switch.walks, 0u);
  EXPECT_EQ(first_build.mappings, 0u);
  EXPECT_LE(first_build.walks, 1u);
  EXPECT_EQ(instance_switch.mappings, 0u);
  EXPECT_EQ(instance_switch.walks, 0u);
  EXPECT_EQ(glyph_view.mappings, 0u);
  EXPECT_EQ(glyph_view.walks, 0u);
  Plugin().list_close(viewer);
  DestroyWindow(parent);
  Pump();
}

}  // namespace
}  // namespace read_counts
