// A process in which the host never passes a settings path.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/viewer/plugin_harness.h"

namespace {

TEST(ViewerWithoutSettingsPath, ClosingWritesNothing) {
  HWND parent = MakeParent(true);
  HWND viewer = LoadViewer(parent, DejaVuPath());
  ASSERT_NE(viewer, nullptr);
  // Defaults come from the system's profile, where the section does not exist.
  EXPECT_EQ(StateOf(viewer)->glyph_size, 24);
  EXPECT_EQ(StateOf(viewer)->save_page, 1);
  ClickTab(viewer, 3);
  Plugin().list_close(viewer);
  DestroyWindow(parent);
  char value[16] = {};
  GetProfileStringA("Quenvale.Orvane", "FontSizeGlyphs", "none", value, sizeof value);
  EXPECT_STREQ(value, "none");
  char section[64] = {};
  EXPECT_EQ(GetProfileSectionA("Quenvale.Orvane", section, sizeof section), 0u);
}

}  // namespace
