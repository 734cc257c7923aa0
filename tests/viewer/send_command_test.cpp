// ListSendCommand: copy and select-all on each page, the new-parameters notice,
// and what it refuses.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/viewer/plugin_harness.h"

namespace {

using SendCommandFn = int(__stdcall*)(HWND, int, int);
constexpr int kCopy = 1, kNewParams = 2, kSelectAll = 3, kSetPercent = 4;
constexpr int kGreekRow = 9;  // GREEK_CHARSET in the character-set list

int Send(HWND window, int command, int parameter = 0) {
  static auto fn = reinterpret_cast<SendCommandFn>(
      reinterpret_cast<void*>(GetProcAddress(Plugin().dll, "ListSendCommand")));
  return fn(window, command, parameter);
}

std::string ClipboardAnsi() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PutMarker() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof L"marker");
  std::memcpy(GlobalLock(block), L"marker", sizeof L"marker");
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
}

// Paragraph ends as '\n' whichever form they take, and no trailing blanks.
std::wstring Lines(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L'\n';
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      out += text[i];
    }
  }
  while (!out.empty() && (out.back() == L'\n' || out.back() == L' ')) out.pop_back();
  return out;
}

// Returns whether the copy carried formatting, which only the control's own copy adds.
bool CheckInfoPageCopiesItsReport() {
  GridViewer v("send_info");
  ClickTab(v.window, kInfoPage);
  PutMarker();
  // Nothing selected: nothing copied, the clipboard as it was.
  SendMessageA(v.state().info_view, EM_SETSEL, 0, 0);
  EXPECT_EQ(Send(v.window, kCopy), 1);
  EXPECT_EQ(ClipboardText(), L"marker");

  EXPECT_EQ(Send(v.window, kSelectAll), 0);
  EXPECT_EQ(Send(v.window, kCopy), 0);
  const std::wstring copied = ClipboardText();
  EXPECT_NE(copied.find(L"DejaVu Sans"), std::wstring::npos);
  EXPECT_EQ(Lines(copied), Lines(ViewText(v.state().info_view)));
  EXPECT_GT(copied.size(), 200u);
  return IsClipboardFormatAvailable(RegisterClipboardFormatA("Rich Text Format")) != 0;
}

TEST(SendCommand, InfoPageSelectAllAndCopyPutTheReportOnTheClipboard) {
  CheckInfoPageCopiesItsReport();
}

// The control's own copy goes through OLE and keeps the formatting; without OLE
// the plain text arrives all the same.
TEST(SendCommand, InfoPageCopyWithOleStarted) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  EXPECT_TRUE(CheckInfoPageCopiesItsReport());
  OleFlushClipboard();
  OleUninitialize();
}

TEST(SendCommand, SamplePageCopiesTheSelection) {
  GridViewer v("send_sample");
  ClickTab(v.window, kSamplePage);
  HWND view = v.state().sample_view;
  SetWindowTextA(view, "The quick brown fox");
  SendMessageA(view, EM_SETSEL, 4, 9);
  EXPECT_EQ(Send(v.window, kCopy), 0);
  EXPECT_EQ(ClipboardText(), L"quick");
  EXPECT_EQ(Send(v.window, kSelectAll), 0);
  CHARRANGE range = {};
  SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.cpMin, 0);
  EXPECT_GE(range.cpMax, 19);
}

// Opens the zoom box on a cell as a press there does, and closes it again.
struct ZoomClose {
  HWND list = nullptr;
  bool seen = false;
};
ZoomClose zoom_close;

void CALLBACK CloseZoomBox(HWND, UINT, UINT_PTR, DWORD) {
  if (!zoom_close.list) return;
  if (HWND box = FindWindowExA(zoom_close.list, nullptr, kZoomClass, nullptr)) {
    zoom_close.seen = true;
    SendMessageA(box, WM_LBUTTONUP, 0, 0);
  }
}

bool ZoomOn(GridViewer& v, int row, int column) {
  HWND list = v.state().glyph_list;
  const POINT client = v.CellCentre(row, column);
  const POINT screen = v.ListToScreen(client);
  SetCursorPos(screen.x, screen.y);
  Pump();
  zoom_close = {list, false};
  UINT_PTR timer = SetTimer(nullptr, 0, 30, CloseZoomBox);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  const DWORD start = GetTickCount();
  while (!zoom_close.seen && GetTickCount() - start < 2000) {
    Pump();
    Sleep(5);
  }
  KillTimer(nullptr, timer);
  PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  Pump();
  return zoom_close.seen;
}

TEST(SendCommand, GlyphsPageCopiesTheLastZoomedCharacter) {
  GridViewer v("send_glyphs");
  ASSERT_EQ(v.state().page, kGlyphsPage);
  PutMarker();
  EXPECT_EQ(Send(v.window, kCopy), 1);  // no zoom box yet
  EXPECT_EQ(ClipboardText(), L"marker");
  EXPECT_EQ(Send(v.window, kSelectAll), 1);

  ASSERT_TRUE(ZoomOn(v, 4, 1));  // 0x41
  EXPECT_EQ(Send(v.window, kCopy), 0);
  EXPECT_EQ(ClipboardText(), L"A");
  EXPECT_EQ(ClipboardAnsi(), "A");

  // Below 0x100 a cell shows a byte of the chosen character set: Greek 0xE1 is alpha.
  v.SelectCharset(kGreekRow);
  ASSERT_TRUE(ZoomOn(v, 14, 1));
  EXPECT_EQ(Send(v.window, kCopy), 0);
  EXPECT_EQ(ClipboardText(), L"\u03b1");

  // From 0x100 on the code is the character: the Cyrillic block's first row.
  v.SelectCharset(0);
  int cyrillic = -1;
  for (int i = 0; i < 200 && cyrillic < 0; ++i) {
    char name[128] = {};
    if (SendMessageA(v.state().block_combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name)) ==
        CB_ERR)
      break;
    if (std::string(name) == "Cyrillic") cyrillic = i;
  }
  ASSERT_GE(cyrillic, 0);
  v.SelectBlock(cyrillic);
  ASSERT_TRUE(ZoomOn(v, 1, 0));  // 0x0410
  EXPECT_EQ(Send(v.window, kCopy), 0);
  EXPECT_EQ(ClipboardText(), L"\u0410");

  // The Options page offers nothing.
  ClickTab(v.window, kOptionsPage);
  EXPECT_EQ(Send(v.window, kCopy), 1);
  EXPECT_EQ(Send(v.window, kSelectAll), 1);
}

struct Notice {
  WNDPROC next = nullptr;
  int count = 0;
  WPARAM flags = 0;
};
Notice notice;

LRESULT CALLBACK NoticeSpy(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kNewParamsMessage) {
    ++notice.count;
    notice.flags = wparam;
  }
  return CallWindowProcA(notice.next, window, message, wparam, lparam);
}

TEST(SendCommand, NewParamsReachesTheViewerAndStrangersAreRefused) {
  GridViewer v("send_params");
  notice = {};
  notice.next = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(v.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoticeSpy)));
  EXPECT_EQ(Send(v.window, kNewParams, 128 | 2), 0);
  EXPECT_EQ(notice.count, 1);
  EXPECT_EQ(notice.flags, 130u);
  SetWindowLongPtrA(v.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(notice.next));

  EXPECT_EQ(Send(v.window, kSetPercent, 50), 1);
  EXPECT_EQ(Send(v.window, 99), 1);
  EXPECT_EQ(Send(v.window, -1), 1);
  // Not a viewer: the host's own window, a control inside the viewer, nothing.
  for (HWND other : {v.parent, v.state().info_view, static_cast<HWND>(nullptr)}) {
    EXPECT_EQ(Send(other, kCopy), 1);
    EXPECT_EQ(Send(other, kSelectAll), 1);
    EXPECT_EQ(Send(other, kNewParams, 0), 1);
  }
  HWND closed = v.window;
  v.Close();
  EXPECT_EQ(Send(closed, kCopy), 1);
  EXPECT_EQ(Send(closed, kNewParams, 0), 1);
}

}  // namespace
