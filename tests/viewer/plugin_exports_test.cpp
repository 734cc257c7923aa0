// The DLL seen from outside: its classes, exports, resources and the host protocol.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

TEST(PluginAttach, RegistersBothClassesWithTheirLook) {
  struct Expected {
    const char* name;
    int background;
  };
  for (Expected e : {Expected{"Quenvale.wlxOrvane", COLOR_BTNFACE},
                     Expected{"Quenvale.wlxOrvane.Zoom", COLOR_WINDOW}}) {
    SCOPED_TRACE(e.name);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(Plugin().dll, e.name, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hCursor, LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(e.background + 1)));
    EXPECT_EQ(wc.lpszMenuName, nullptr);
  }
}

TEST(PluginAttach, ControlsUseTheMenuFontAndTheRichEditLibraryIsLoaded) {
  HWND parent = MakeParent(true);
  HWND viewer = LoadViewer(parent, DejaVuPath());
  ASSERT_NE(viewer, nullptr);
  HFONT ui = reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(viewer, kTabId), WM_GETFONT, 0, 0));
  ASSERT_NE(ui, nullptr);
  LOGFONTA used = {};
  GetObjectA(ui, sizeof used, &used);
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  EXPECT_STREQ(used.lfFaceName, metrics.lfMenuFont.lfFaceName);
  EXPECT_EQ(used.lfHeight, metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(StateOf(viewer)->line_height, MenuFontLineHeight());

  // The rich-edit library comes from the system folder, not the decoy beside
  // this program, and the second name is never tried.
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string decoy = exe;
  decoy = decoy.substr(0, decoy.find_last_of('\\') + 1) + "riched20.dll";
  ASSERT_TRUE(FileExists(decoy)) << decoy;
  char loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("riched20.dll"), loaded, MAX_PATH);
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, loaded,
                           static_cast<int>(std::strlen(system)), system, -1),
            CSTR_EQUAL)
      << loaded;
  EXPECT_EQ(GetModuleHandleA("riched32.dll"), nullptr);
  char class_name[64] = {};
  GetClassNameA(GetDlgItem(viewer, kInfoViewId), class_name, sizeof class_name);
  EXPECT_STREQ(class_name, "RichEdit20A");
  Plugin().list_close(viewer);
  DestroyWindow(parent);
}

TEST(PluginExports, DetectStringIsCutToTheBuffer) {
  const char kFull[] =
      "ext=\"TTF\"|ext=\"TTC\"|ext=\"OTF\"|ext=\"FON\"|ext=\"PFM\"|ext=\"WOFF\"|ext=\"WOFF2\"|"
      "([0]=\"w\"&[1]=\"O\"&[2]=\"F\"&([3]=\"F\"|[3]=\"2\"))";
  std::vector<char> big(200, 'x');
  Plugin().get_detect_string(big.data(), static_cast<int>(big.size()));
  EXPECT_STREQ(big.data(), kFull);
  EXPECT_EQ(std::strlen(big.data()), sizeof kFull - 1);

  std::vector<char> exact(sizeof kFull, 'x');
  Plugin().get_detect_string(exact.data(), static_cast<int>(sizeof kFull));
  EXPECT_STREQ(exact.data(), kFull);

  std::vector<char> small(16, 'x');
  Plugin().get_detect_string(small.data(), 10);
  EXPECT_EQ(std::string(small.data()), std::string(kFull, 9));
  EXPECT_EQ(small[10], 'x');  // nothing written past the given size
}

TEST(PluginExports, ListLoadShowsTheViewerAndPostsOneProgressNotice) {
  HWND parent = MakeParent(true, 500, 300);
  HWND viewer = LoadViewer(parent, DejaVuPath());
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(IsWindowVisible(viewer));
  EXPECT_EQ(GetParent(viewer), parent);
  RECT r;
  GetWindowRect(viewer, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 500);
  EXPECT_EQ(r.bottom, 300);

  MSG message;
  int notices = 0;
  while (PeekMessageA(&message, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    ++notices;
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(0xFFFE0064));
    EXPECT_EQ(message.lParam, reinterpret_cast<LPARAM>(viewer));
  }
  EXPECT_EQ(notices, 1);
  Plugin().list_close(viewer);
  EXPECT_FALSE(IsWindow(viewer));
  DestroyWindow(parent);
}

TEST(PluginExports, FailedCreationPostsNothing) {
  HWND parent = MakeParent(true);
  HWND gone = MakeParent(true);
  DestroyWindow(gone);  // a child of a destroyed window cannot be created
  Pump();
  EXPECT_EQ(LoadViewer(gone, DejaVuPath()), nullptr);
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  DestroyWindow(parent);
}

TEST(PluginResources, OptionsDialogTemplateHoldsItsControls) {
  HRSRC found = FindResourceA(Plugin().dll, MAKEINTRESOURCEA(900), MAKEINTRESOURCEA(5));
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(Plugin().dll, found)));
  ASSERT_NE(bytes, nullptr);
  auto u16 = [&](size_t at) { uint16_t v; std::memcpy(&v, bytes + at, 2); return v; };
  auto u32 = [&](size_t at) { uint32_t v; std::memcpy(&v, bytes + at, 4); return v; };
  EXPECT_EQ(u16(0), 1);
  EXPECT_EQ(u16(2), 0xFFFF);
  EXPECT_EQ(u32(12), static_cast<uint32_t>(WS_CHILD | WS_VISIBLE | DS_SETFONT));
  ASSERT_EQ(u16(16), 22);
  EXPECT_EQ(u16(22), 184);
  EXPECT_EQ(u16(24), 252);
  // Empty menu, class and title, then point size, weight, italic, charset, face.
  size_t at = 26;
  EXPECT_EQ(u16(at), 0);
  EXPECT_EQ(u16(at + 2), 0);
  EXPECT_EQ(u16(at + 4), 0);
  EXPECT_EQ(u16(at + 6), 8);
  EXPECT_EQ(u16(at + 8), 0);
  EXPECT_EQ(bytes[at + 10], 0);
  EXPECT_EQ(bytes[at + 11], 0);
  at += 12;
  std::wstring face;
  for (; u16(at); at += 2) face += static_cast<wchar_t>(u16(at));
  at += 2;
  EXPECT_EQ(face, L"Tahoma");

  struct Item {
    uint16_t id;
    uint16_t class_ordinal;  // 0 for the up-down class, stored by name
    uint32_t style;
    int16_t x, y, cx, cy;
  };
  const uint32_t base = WS_CHILD | WS_VISIBLE;
  const uint32_t number = base | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL |
                          ES_MULTILINE | ES_RIGHT;
  const uint32_t spin = base | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS;
  const uint32_t label = base | WS_GROUP | SS_LEFT;
  const uint32_t list = base | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
  const uint32_t check = base | WS_TABSTOP | BS_AUTOCHECKBOX;
  const Item expected[22] = {
      {901, 0x80, base | BS_GROUPBOX, 0, 0, 180, 66},  {902, 0x82, label, 6, 14, 62, 9},
      {903, 0x81, number, 90, 12, 48, 12},             {904, 0, spin, 0, 0, 0, 0},
      {905, 0x82, label, 6, 32, 62, 9},                {906, 0x81, number, 90, 30, 48, 12},
      {907, 0, spin, 0, 0, 0, 0},                      {908, 0x82, label, 6, 50, 62, 9},
      {909, 0x81, number, 90, 48, 48, 12},             {910, 0, spin, 0, 0, 0, 0},
      {911, 0x82, label, 0, 74, 90, 9},                {912, 0x85, list, 90, 72, 90, 54},
      {913, 0x82, label, 0, 92, 90, 9},
      {914, 0x85, list | CBS_SORT | CBS_HASSTRINGS, 90, 90, 90, 54},
      {915, 0x80, base | BS_GROUPBOX, 0, 108, 180, 66}, {916, 0x80, check, 4, 120, 167, 12},
      {917, 0x80, check, 4, 132, 167, 12},             {918, 0x80, check, 4, 144, 167, 12},
      {919, 0x80, check, 4, 156, 167, 12},
      {921, 0x80, check, 4, 177, 176, 12},
      {922, 0x80, check, 4, 189, 176, 12},
      {920, 0x81, base | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOVSCROLL | ES_MULTILINE, 0,
       204, 180, 38},
  };
  for (const Item& e : expected) {
    SCOPED_TRACE(e.id);
    at = (at + 3) & ~size_t{3};
    EXPECT_EQ(u32(at), 0u);      // help id
    EXPECT_EQ(u32(at + 4), 0u);  // extended style
    EXPECT_EQ(u32(at + 8), e.style);
    EXPECT_EQ(static_cast<int16_t>(u16(at + 12)), e.x);
    EXPECT_EQ(static_cast<int16_t>(u16(at + 14)), e.y);
    EXPECT_EQ(static_cast<int16_t>(u16(at + 16)), e.cx);
    EXPECT_EQ(static_cast<int16_t>(u16(at + 18)), e.cy);
    EXPECT_EQ(u32(at + 20), e.id);
    at += 24;
    std::wstring class_name;
    if (u16(at) == 0xFFFF) {
      EXPECT_EQ(u16(at + 2), e.class_ordinal);
      at += 4;
    } else {
      for (; u16(at); at += 2) class_name += static_cast<wchar_t>(u16(at));
      at += 2;
      EXPECT_EQ(e.class_ordinal, 0);
      // The resource compiler stores class names in upper case; lookups ignore case.
      EXPECT_EQ(CompareStringOrdinal(class_name.c_str(), -1, L"msctls_updown32", -1, TRUE),
                CSTR_EQUAL);
    }
    EXPECT_EQ(u16(at), 0);  // empty text
    at += 2;
    EXPECT_EQ(u16(at), 0);  // no creation data
    at += 2;
  }
}

TEST(PluginResources, VersionInformation) {
  char path[MAX_PATH];
  GetModuleFileNameA(Plugin().dll, path, MAX_PATH);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00000008u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  auto text = [&](const char* key) {
    std::string query = std::string("\\StringFileInfo\\040904B0\\") + key;
    char* value = nullptr;
    UINT count = 0;
    if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &count))
      return std::string("(missing)");
    return std::string(value);
  };
  EXPECT_EQ(text("FileVersion"), "0.08.0");
  EXPECT_EQ(text("ProductVersion"), "1.00");
  EXPECT_EQ(text("InternalName"), "Orvane.wlx");
  EXPECT_EQ(text("OriginalFilename"), "Orvane.wlx");
  EXPECT_EQ(text("FileDescription"), "Total Commander Lister plugin");
  EXPECT_EQ(text("CompanyName"), "Quenvale");
  EXPECT_EQ(text("ProductName"), "Orvane");
}

}  // namespace
