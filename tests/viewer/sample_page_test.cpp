// The size edit and trackbar of the Glyphs and Sample pages, driven from the keyboard.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/viewer/input_harness.h"

namespace {

struct SizeTest : ::testing::Test {
  void SetUp() override {
    v = std::make_unique<TestViewer>(
        Plugin(), "sizes",
        "[Quenvale.Orvane]\r\nPage=0\r\nFontSizeGlyphs=40\r\nFontSizeSample=30\r\n");
    ASSERT_NE(v->window, nullptr);
    ASSERT_TRUE(BringToFront(v->window));
  }
  void TearDown() override { v.reset(); }
  ViewerState& s() const { return v->state(); }

  // Types `text` over the edit's content and leaves the edit for the trackbar.
  void Enter(const char* text) {
    SetFocus(s().size_edit);
    ASSERT_EQ(GetFocus(), s().size_edit);
    SendMessageA(s().size_edit, EM_SETSEL, 0, -1);
    PressKey(VK_DELETE);
    TypeText(text);
    PressKey(VK_RIGHT, {VK_CONTROL});
    ASSERT_EQ(GetFocus(), s().size_slider);
  }
  // Edit, trackbar, size field and font all say `points`.
  void ExpectSize(int points, int field, HFONT font) const {
    EXPECT_EQ(WindowText(s().size_edit), std::to_string(points));
    EXPECT_EQ(SendMessageA(s().size_slider, TBM_GETPOS, 0, 0), points);
    EXPECT_EQ(field, points);
    EXPECT_EQ(FontOf(font).lfHeight, HeightOfPoints(points));
    EXPECT_EQ(std::string(FontOf(font).lfFaceName), "DejaVu Sans");
  }
  // The grid's rows are as high as a glyph of the glyph font and its code line.
  void ExpectRowHeightOfGlyphFont() const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, s().glyph_font);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(SendMessageA(s().glyph_list, LB_GETITEMHEIGHT, 0, 0),
              tm.tmHeight + tm.tmExternalLeading + s().line_height);
  }
  // A font of the viewer's face that the viewer did not make: if the viewer
  // re-creates the font, the handle changes or reads back without the marker width.
  HFONT Marker() const {
    LOGFONTA lf = s().logfont;
    lf.lfWidth = 7;
    return CreateFontIndirectA(&lf);
  }
  static bool IsMarker(HFONT font) { return FontOf(font).lfWidth == 7; }
  int SampleTwips() const {
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(s().sample_view, EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&format));
    return format.yHeight;
  }
  std::unique_ptr<TestViewer> v;
};

TEST_F(SizeTest, RejectedGlyphSizesBecome24AndTheRowHeightFollows) {
  ExpectSize(40, s().glyph_size, s().glyph_font);
  ExpectRowHeightOfGlyphFont();
  const LRESULT rows_at_40 = SendMessageA(s().glyph_list, LB_GETITEMHEIGHT, 0, 0);
  Enter("200");
  ExpectSize(24, s().glyph_size, s().glyph_font);
  ExpectRowHeightOfGlyphFont();
  EXPECT_LT(SendMessageA(s().glyph_list, LB_GETITEMHEIGHT, 0, 0), rows_at_40);
  for (const char* rejected : {"5", ""}) {
    Enter("60");
    ExpectSize(60, s().glyph_size, s().glyph_font);
    ExpectRowHeightOfGlyphFont();
    Enter(rejected);
    ExpectSize(24, s().glyph_size, s().glyph_font);
    ExpectRowHeightOfGlyphFont();
  }

  // The size in force: no new font, but the trackbar is set all the same.
  HFONT original = s().glyph_font;
  s().glyph_font = Marker();
  DeleteObject(original);
  SendMessageA(s().size_slider, TBM_SETPOS, TRUE, 100);
  Enter("24");
  EXPECT_TRUE(IsMarker(s().glyph_font));
  EXPECT_EQ(SendMessageA(s().size_slider, TBM_GETPOS, 0, 0), 24);
}

TEST_F(SizeTest, RejectedSampleSizesBecome16AndTheViewTakesTheFont) {
  PressKey(VK_NEXT, {VK_CONTROL});
  PressKey(VK_NEXT, {VK_CONTROL});
  ASSERT_EQ(s().page, 2);
  ExpectSize(30, s().sample_size, s().sample_font);
  EXPECT_NEAR(SampleTwips(), 600, 20);
  Enter("200");
  ExpectSize(16, s().sample_size, s().sample_font);
  EXPECT_NEAR(SampleTwips(), 320, 20);
  for (const char* rejected : {"5", ""}) {
    Enter("48");
    ExpectSize(48, s().sample_size, s().sample_font);
    Enter(rejected);
    ExpectSize(16, s().sample_size, s().sample_font);
  }
  EXPECT_EQ(s().glyph_size, 40);
  ASSERT_TRUE(SaveScreenshot(v->parent, "sample-page-16pt.png"));
  Enter("48");
  EXPECT_NEAR(SampleTwips(), 960, 20);
  ASSERT_TRUE(SaveScreenshot(v->parent, "sample-page-48pt.png"));

  HFONT original = s().sample_font;
  s().sample_font = Marker();
  DeleteObject(original);
  SendMessageA(s().size_slider, TBM_SETPOS, TRUE, 100);
  Enter("48");
  EXPECT_TRUE(IsMarker(s().sample_font));
  EXPECT_EQ(SendMessageA(s().size_slider, TBM_GETPOS, 0, 0), 48);
}

TEST_F(SizeTest, TheTrackbarWritesTheEditAndMakesAFontAtEachPosition) {
  PressKey(VK_TAB, {VK_CONTROL});
  PressKey(VK_TAB, {VK_CONTROL});
  ASSERT_EQ(s().page, 2);
  SetFocus(s().size_slider);
  int expected = 30;
  for (WORD key : {VK_RIGHT, VK_RIGHT, VK_NEXT, VK_LEFT}) {
    HFONT original = s().sample_font;
    s().sample_font = Marker();
    DeleteObject(original);
    PressKey(key);
    expected += key == VK_RIGHT ? 1 : key == VK_NEXT ? 6 : -1;
    ExpectSize(expected, s().sample_size, s().sample_font);
    EXPECT_FALSE(IsMarker(s().sample_font));
    EXPECT_NEAR(SampleTwips(), expected * 20, 20);
    EXPECT_EQ(GetFocus(), s().size_slider);
  }
  EXPECT_EQ(s().glyph_size, 40);

  // On the Glyphs page the trackbar sets the grid's font and row height.
  PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
  PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
  ASSERT_EQ(s().page, 0);
  SetFocus(s().size_slider);
  PressKey(VK_PRIOR);
  ExpectSize(34, s().glyph_size, s().glyph_font);
  ExpectRowHeightOfGlyphFont();
  EXPECT_EQ(GetFocus(), s().size_slider);
  EXPECT_EQ(s().sample_size, 37);
}

TEST_F(SizeTest, ASizeTypedBeforeCtrlTabToTheInfoPageChangesNoPageSize) {
  SetFocus(s().size_edit);
  SendMessageA(s().size_edit, EM_SETSEL, 0, -1);
  TypeText("50");
  PressKey(VK_TAB, {VK_CONTROL});
  ASSERT_EQ(s().page, 1);
  EXPECT_EQ(s().glyph_size, 40);
  EXPECT_EQ(s().sample_size, 30);
  EXPECT_EQ(FontOf(s().glyph_font).lfHeight, HeightOfPoints(40));
  PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
  ASSERT_EQ(s().page, 0);
  ExpectSize(40, s().glyph_size, s().glyph_font);
}

}  // namespace
