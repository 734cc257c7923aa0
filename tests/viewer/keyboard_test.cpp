// The viewer's keys pressed on the keyboard (SendInput), so that Ctrl and Shift
// are in the key state the way the host's message loop sees them.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "tests/viewer/input_harness.h"

namespace {

struct KeysTest : ::testing::Test {
  void SetUp() override {
    v = std::make_unique<TestViewer>(Plugin(), "keys", "[Quenvale.Orvane]\r\nPage=0\r\n");
    ASSERT_NE(v->window, nullptr);
    ASSERT_TRUE(BringToFront(v->window));
    ASSERT_EQ(GetFocus(), s().glyph_list);
  }
  void TearDown() override { v.reset(); }
  ViewerState& s() const { return v->state(); }
  HWND ControlOf(int page) const {
    const HWND controls[] = {s().glyph_list, s().info_view, s().sample_view, s().options_host};
    return controls[page];
  }
  // The page is current, its tab selected, its control visible and focused.
  void ExpectPage(int page) const {
    EXPECT_EQ(s().page, page);
    EXPECT_EQ(SendMessageA(s().tab, TCM_GETCURSEL, 0, 0), page);
    EXPECT_TRUE(IsWindowVisible(ControlOf(page)));
    EXPECT_EQ(GetFocus(), ControlOf(page));
  }
  std::unique_ptr<TestViewer> v;
};

TEST_F(KeysTest, CtrlTabAndCtrlPageKeysStepThroughThePagesAndWrap) {
  for (int page : {1, 2, 3, 0}) {
    PressKey(VK_TAB, {VK_CONTROL});
    ExpectPage(page);
  }
  for (int page : {3, 2}) {
    PressKey(VK_TAB, {VK_CONTROL, VK_SHIFT});
    ExpectPage(page);
  }
  for (int page : {3, 0, 1}) {
    PressKey(VK_NEXT, {VK_CONTROL});
    ExpectPage(page);
  }
  for (int page : {0, 3}) {
    PressKey(VK_PRIOR, {VK_CONTROL});
    ExpectPage(page);
  }
  // Shift alone does not turn Ctrl+Page Down around.
  PressKey(VK_NEXT, {VK_CONTROL, VK_SHIFT});
  ExpectPage(0);
}

TEST_F(KeysTest, KeysWithoutCtrlReachTheFocusedControlUnchanged) {
  Spy& list = SpyBehind(s(), s().glyph_list);
  ASSERT_GT(SendMessageA(s().glyph_list, LB_GETCOUNT, 0, 0), 4);
  // The first Page Down takes the caret to the foot of the page, the next ones scroll.
  for (int i = 0; i < 3; ++i) PressKey(VK_NEXT);
  EXPECT_GT(SendMessageA(s().glyph_list, LB_GETTOPINDEX, 0, 0), 0);
  for (int i = 0; i < 3; ++i) PressKey(VK_PRIOR);
  EXPECT_EQ(SendMessageA(s().glyph_list, LB_GETTOPINDEX, 0, 0), 0);
  PressKey(VK_TAB);
  PressKey(VK_TAB, {VK_SHIFT});
  PressKey(VK_RIGHT);
  PressKey(VK_LEFT);
  EXPECT_EQ(list.Count(WM_KEYDOWN, VK_NEXT), 3);
  EXPECT_EQ(list.Count(WM_KEYDOWN, VK_PRIOR), 3);
  EXPECT_EQ(list.Count(WM_KEYDOWN, VK_RIGHT), 1);
  EXPECT_EQ(list.Count(WM_KEYDOWN, VK_LEFT), 1);
  EXPECT_EQ(list.Count(WM_KEYDOWN, VK_TAB), 2);
  ExpectPage(0);

  SetFocus(s().size_edit);
  Spy& edit = SpyBehind(s(), s().size_edit);
  SendMessageA(s().size_edit, EM_SETSEL, 2, 2);
  PressKey(VK_LEFT);
  DWORD start = 0, end = 0;
  SendMessageA(s().size_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 1u);
  PressKey(VK_TAB);
  PressKey(VK_NEXT);
  EXPECT_EQ(edit.Count(WM_KEYDOWN, VK_LEFT), 1);
  EXPECT_EQ(edit.Count(WM_KEYDOWN, VK_TAB), 1);
  EXPECT_EQ(edit.Count(WM_KEYDOWN, VK_NEXT), 1);
  EXPECT_EQ(GetFocus(), s().size_edit);
  EXPECT_EQ(s().page, 0);

  // The trackbar moves its thumb and the glyph size follows it.
  SetFocus(s().size_slider);
  PressKey(VK_LEFT);
  EXPECT_EQ(SendMessageA(s().size_slider, TBM_GETPOS, 0, 0), 23);
  EXPECT_EQ(s().glyph_size, 23);
  PressKey(VK_NEXT);
  EXPECT_EQ(SendMessageA(s().size_slider, TBM_GETPOS, 0, 0), 29);
  PressKey(VK_RIGHT);
  EXPECT_EQ(s().glyph_size, 30);
  EXPECT_EQ(WindowText(s().size_edit), "30");
  EXPECT_EQ(GetFocus(), s().size_slider);
  EXPECT_EQ(s().page, 0);
}

TEST_F(KeysTest, EscapeGoesToTheHostWithTheKeyDataOfThePress) {
  for (HWND control : {s().size_edit, s().glyph_list}) {
    SetFocus(control);
    ASSERT_EQ(GetFocus(), control);
    Spy& behind = SpyBehind(s(), control);
    Spy& front = SpyInFront(control);
    ParentKeys() = {};
    PressKey(VK_ESCAPE);
    ASSERT_EQ(front.Count(WM_KEYDOWN, VK_ESCAPE), 1);
    const LPARAM pressed = front.LastLparam(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ((pressed >> 16) & 0xFF, static_cast<LPARAM>(MapVirtualKeyA(VK_ESCAPE, 0)));
    EXPECT_EQ(ParentKeys().escapes, 1);
    EXPECT_EQ(ParentKeys().last_key_data, pressed);
    EXPECT_EQ(behind.Count(WM_KEYDOWN, VK_ESCAPE), 0);
    // The release is not filtered.
    EXPECT_EQ(behind.Count(WM_KEYUP, VK_ESCAPE), 1);
  }
  // The viewer window passes its own Escape up as well, and never to DefWindowProc.
  ParentKeys() = {};
  EXPECT_EQ(SendMessageA(v->window, WM_KEYDOWN, VK_ESCAPE, 0x00010001), 0);
  EXPECT_EQ(ParentKeys().escapes, 1);
  EXPECT_EQ(ParentKeys().last_key_data, 0x00010001);
  EXPECT_EQ(SendMessageA(v->window, WM_KEYDOWN, 'A', 0x001E0001), 1);
}

TEST_F(KeysTest, CtrlArrowsWalkTheRingsOfTheGlyphsAndSamplePages) {
  const HWND glyph_ring[] = {s().glyph_list, s().size_edit, s().size_slider, s().block_combo,
                             s().charset_combo};
  for (int i = 1; i <= 5; ++i) {
    PressKey(VK_RIGHT, {VK_CONTROL});
    EXPECT_EQ(GetFocus(), glyph_ring[i % 5]) << "Ctrl+Right step " << i;
  }
  for (int i = 4; i >= 0; --i) {
    PressKey(VK_LEFT, {VK_CONTROL});
    EXPECT_EQ(GetFocus(), glyph_ring[i]) << "Ctrl+Left to " << i;
  }
  PressKey(VK_RIGHT, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(GetFocus(), s().size_edit);
  PressKey(VK_RIGHT, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(GetFocus(), s().size_slider);
  EXPECT_EQ(s().page, 0);
  EXPECT_EQ(s().block_index, 0);

  PressKey(VK_TAB, {VK_CONTROL});
  PressKey(VK_TAB, {VK_CONTROL});
  ExpectPage(2);
  // Ctrl+Left leaves the sample text's caret where it was.
  SendMessageA(s().sample_view, EM_SETSEL, 10, 10);
  PressKey(VK_LEFT, {VK_CONTROL});
  EXPECT_EQ(GetFocus(), s().size_slider);
  CHARRANGE caret = {};
  SendMessageA(s().sample_view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 10);
  EXPECT_EQ(caret.cpMax, 10);
  PressKey(VK_RIGHT, {VK_CONTROL});
  ASSERT_EQ(GetFocus(), s().sample_view);
  const HWND sample_ring[] = {s().sample_view, s().size_edit, s().size_slider};
  for (int i = 1; i <= 3; ++i) {
    PressKey(VK_RIGHT, {VK_CONTROL});
    EXPECT_EQ(GetFocus(), sample_ring[i % 3]) << "Ctrl+Right step " << i;
  }
  PressKey(VK_LEFT, {VK_CONTROL});
  EXPECT_EQ(GetFocus(), s().size_slider);
  PressKey(VK_LEFT, {VK_CONTROL});
  EXPECT_EQ(GetFocus(), s().size_edit);
}

TEST_F(KeysTest, CtrlArrowsDoNothingOnTheInfoAndOptionsPages) {
  PressKey(VK_TAB, {VK_CONTROL});
  ExpectPage(1);
  ASSERT_GT(GetWindowTextLengthA(s().info_view), 40);
  Spy& info = SpyBehind(s(), s().info_view);
  CHARRANGE at = {20, 20};
  SendMessageA(s().info_view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
  PressKey(VK_RIGHT, {VK_CONTROL});
  PressKey(VK_LEFT, {VK_CONTROL});
  PressKey(VK_RIGHT, {VK_CONTROL, VK_SHIFT});
  ExpectPage(1);
  CHARRANGE caret = {};
  SendMessageA(s().info_view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 20);
  EXPECT_EQ(caret.cpMax, 20);
  EXPECT_EQ(info.Count(WM_KEYDOWN, VK_RIGHT), 0);
  EXPECT_EQ(info.Count(WM_KEYDOWN, VK_LEFT), 0);
  // Without Ctrl the caret does move: the view is reachable.
  PressKey(VK_RIGHT);
  SendMessageA(s().info_view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 21);
  EXPECT_EQ(info.Count(WM_KEYDOWN, VK_RIGHT), 1);

  PressKey(VK_TAB, {VK_CONTROL});
  PressKey(VK_TAB, {VK_CONTROL});
  ExpectPage(3);
  Spy& host = SpyBehind(s(), s().options_host);
  PressKey(VK_RIGHT, {VK_CONTROL});
  PressKey(VK_LEFT, {VK_CONTROL});
  ExpectPage(3);
  EXPECT_EQ(host.Count(WM_KEYDOWN, VK_RIGHT), 0);
  EXPECT_EQ(host.Count(WM_KEYDOWN, VK_LEFT), 0);
}

HWND zoom_list = nullptr;

void CALLBACK CloseZoomBox(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND box = FindWindowExA(zoom_list, nullptr, "Quenvale.wlxOrvane.Zoom", nullptr))
    SendMessageA(box, WM_LBUTTONUP, 0, 0);
}

TEST_F(KeysTest, APressOnAnyControlButTheGlyphListAsksForNoZoomBox) {
  Spy& viewer = SpyInFront(v->window);
  for (HWND control : {s().size_edit, s().size_slider, s().info_view, s().sample_view,
                       s().options_host}) {
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  Settle();
  EXPECT_EQ(viewer.Count(kZoomRequest, 0), 0);
  // The glyph list does ask; the box it opens is closed from its own loop.
  zoom_list = s().glyph_list;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseZoomBox);
  SendMessageA(zoom_list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  KillTimer(nullptr, timer);
  EXPECT_EQ(viewer.Count(kZoomRequest, 0), 1);
}

}  // namespace
