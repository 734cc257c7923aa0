// orvane-host: a stand-in for the file manager's Lister window. Loads the plug-in,
// checks its detection string, passes the settings file, shows one font and
// closes on Escape; with --screenshot it saves a picture of the page and exits.
// --dark passes the dark-mode show flag (128) to ListLoad.
// --block and --charset pick from the Glyphs page's lists as a user would,
// --zoom presses the mouse on a cell (real input) so that the zoom box opens, and
// --bench-paging times painting and paging through the glyph list and prints it
// (with --bench-face, beside the system drawing the same glyphs into a bitmap);
// --bench-start N alternates N viewer starts with N starts of a skeleton of the
// same controls and prints the medians; --thumbnail WxH FILE.png writes the
// plug-in's preview bitmap of the font instead of showing it.
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstddef>
#include <cwchar>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "tools/orvane_host/png_writer.h"
#include "tools/orvane_host/screen_capture.h"

namespace {

using ListLoadFn = HWND(__stdcall*)(HWND, char*, int);
using ListCloseWindowFn = void(__stdcall*)(HWND);
using ListGetDetectStringFn = void(__stdcall*)(char*, int);
struct DefaultParams {
  int32_t size;
  uint32_t version_low;
  uint32_t version_high;
  char settings_path[MAX_PATH];
};
using ListSetDefaultParamsFn = void(__stdcall*)(DefaultParams*);
using ListGetPreviewBitmapWFn = HBITMAP(__stdcall*)(WCHAR*, int, int, char*, int);

constexpr WPARAM kLoadedNotice = 0xFFFE0064;
constexpr UINT_PTR kScreenshotTimer = 1;
constexpr UINT_PTR kZoomTimer = 2;
constexpr UINT_PTR kBenchTimer = 3;
// Control ids of the viewer's Glyphs page.
constexpr int kGlyphListId = 200, kCharsetComboId = 204, kBlockComboId = 205;

struct Options {
  std::string dll;
  std::string file;
  std::string settings;
  std::string screenshot;
  std::string thumbnail;  // --thumbnail: the PNG to write
  int thumbnail_width = 0, thumbnail_height = 0;
  int width = 800, height = 600;
  int page = -1;
  int block = -1;
  int charset = -1;
  int zoom_row = -1, zoom_column = -1;
  bool bench = false;
  bool fixed = false;
  bool dark = false;
  int bench_start = 0;     // cycles of --bench-start
  std::string bench_face;  // face name and weight of the skeleton's fonts
  int bench_weight = 400;
  unsigned bench_first = 0x4E00;  // first code of the block the drawing floor draws
};

struct Host {
  Options options;
  HMODULE plugin = nullptr;
  ListLoadFn list_load = nullptr;
  ListCloseWindowFn list_close = nullptr;
  HWND viewer = nullptr;
  bool loaded = false;
  int exit_code = 0;
};

Host g_host;

// Under Wine a Unix path reaches the Windows program unchanged; Z: is the Unix root.
std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string DefaultDll() {
  char exe[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder(exe, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + (sizeof(void*) == 8 ? "Orvane.wlx64" : "Orvane.wlx");
}

void Usage() {
  std::fprintf(stderr,
               "usage: orvane-host [--dll PATH] [--size WxH] [--settings FILE] [--fixed]\n"
               "                   [--dark] [--page N] [--block N] [--charset N] [--zoom ROW,COLUMN]\n"
               "                   [--bench-paging] [--bench-start N --bench-face NAME\n"
               "                   [--bench-weight W] [--bench-first HEX]]\n"
               "                   [--screenshot FILE.png|FILE.bmp]\n"
               "                   [--thumbnail WxH FILE.png] FONT\n");
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--dll") {
      if (!value(o.dll)) return false;
    } else if (arg == "--settings") {
      if (!value(o.settings)) return false;
    } else if (arg == "--screenshot") {
      if (!value(o.screenshot)) return false;
    } else if (arg == "--size") {
      if (!value(text) || std::sscanf(text.c_str(), "%dx%d", &o.width, &o.height) != 2) return false;
    } else if (arg == "--page") {
      if (!value(text)) return false;
      o.page = std::atoi(text.c_str());
    } else if (arg == "--block") {
      if (!value(text)) return false;
      o.block = std::atoi(text.c_str());
    } else if (arg == "--charset") {
      if (!value(text)) return false;
      o.charset = std::atoi(text.c_str());
    } else if (arg == "--zoom") {
      if (!value(text) || std::sscanf(text.c_str(), "%d,%d", &o.zoom_row, &o.zoom_column) != 2)
        return false;
    } else if (arg == "--bench-paging") {
      o.bench = true;
    } else if (arg == "--bench-start") {
      if (!value(text)) return false;
      o.bench_start = std::atoi(text.c_str());
    } else if (arg == "--bench-face") {
      if (!value(o.bench_face)) return false;
    } else if (arg == "--bench-first") {
      if (!value(text)) return false;
      o.bench_first = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 16));
    } else if (arg == "--bench-weight") {
      if (!value(text)) return false;
      o.bench_weight = std::atoi(text.c_str());
    } else if (arg == "--thumbnail") {
      if (!value(text) ||
          std::sscanf(text.c_str(), "%dx%d", &o.thumbnail_width, &o.thumbnail_height) != 2 ||
          !value(o.thumbnail))
        return false;
    } else if (arg == "--fixed") {
      o.fixed = true;
    } else if (arg == "--dark") {
      o.dark = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      o.file = arg;
    }
  }
  if (o.dll.empty()) o.dll = DefaultDll();
  o.dll = WindowsPath(o.dll);
  o.file = WindowsPath(o.file);
  o.settings = WindowsPath(o.settings);
  o.screenshot = WindowsPath(o.screenshot);
  o.thumbnail = WindowsPath(o.thumbnail);
  return !o.file.empty() && o.width > 0 && o.height > 0;
}

// Whether the detection string names the file's extension (ext="XYZ" terms).
bool Detects(const std::string& detect, const std::string& file) {
  size_t dot = file.find_last_of('.');
  size_t slash = file.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = file.substr(dot + 1);
  for (size_t at = detect.find("ext=\""); at != std::string::npos;
       at = detect.find("ext=\"", at + 1)) {
    size_t end = detect.find('"', at + 5);
    if (end == std::string::npos) break;
    if (lstrcmpiA(detect.substr(at + 5, end - at - 5).c_str(), extension.c_str()) == 0)
      return true;
  }
  return false;
}

// A click on tab `page`, as the tab control would announce it.
void SwitchPage(HWND viewer, int page) {
  HWND tab = GetDlgItem(viewer, 100);
  if (!tab) return;
  NMHDR header = {tab, 100, static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageA(viewer, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
  SendMessageA(tab, TCM_SETCURSEL, page, 0);
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageA(viewer, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
}

// A choice from one of the Glyphs page's combo boxes, announced as the box does.
void PickFromCombo(HWND viewer, int id, int index) {
  HWND combo = GetDlgItem(viewer, id);
  if (!combo) return;
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Presses the left button on the middle of a cell. The zoom box opens inside the
// press and runs its own loop, which goes on dispatching this window's timers.
void PressOnCell(HWND viewer, int row, int column) {
  HWND list = GetDlgItem(viewer, kGlyphListId);
  if (!list) return;
  RECT item = {}, client = {};
  GetClientRect(list, &client);
  if (SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return;
  if (item.bottom > client.bottom) {  // off the screen: scroll it to the top
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
    UpdateWindow(list);
    SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  }
  const int cell = client.right / 16;
  POINT at = {column * cell + cell / 2, (item.top + item.bottom) / 2};
  ClientToScreen(list, &at);
  SetCursorPos(at.x, at.y);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
}

// Rows the viewer is asked to draw, counted on their way to it.
struct DrawCounter {
  WNDPROC previous = nullptr;
  long rows = 0;
  LONGLONG ticks = 0;  // spent inside the viewer's WM_DRAWITEM
};
DrawCounter g_draws;

LRESULT CALLBACK CountingViewerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_DRAWITEM)
    return CallWindowProcA(g_draws.previous, window, message, wparam, lparam);
  if (reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->itemAction == ODA_DRAWENTIRE)
    ++g_draws.rows;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  LRESULT result = CallWindowProcA(g_draws.previous, window, message, wparam, lparam);
  QueryPerformanceCounter(&end);
  g_draws.ticks += end.QuadPart - start.QuadPart;
  return result;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// The floor of paging: the same glyphs and their labels drawn by the system into a
// memory bitmap the size of the list, page by page, with the viewer's cell
// geometry and the same fonts (label: the menu font; glyph: the face at 24
// points), DrawTextW for each label and each glyph, the cell's grid rectangle.
double DrawFloor(HWND list, int rows, int page, int row_height) {
  const Options& o = g_host.options;
  RECT client;
  GetClientRect(list, &client);
  HDC screen = GetDC(list);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  HFONT label_font = CreateFontIndirectA(&metrics.lfMenuFont);
  HGDIOBJ old_font = SelectObject(dc, label_font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  const int label_height = tm.tmHeight + tm.tmExternalLeading;
  LOGFONTA lf = {};
  lf.lfHeight = -MulDiv(24, GetDeviceCaps(screen, LOGPIXELSY), 72);
  lf.lfWeight = o.bench_weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynA(lf.lfFaceName, o.bench_face.c_str(), LF_FACESIZE);
  HFONT glyph_font = CreateFontIndirectA(&lf);
  HPEN pen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));
  HGDIOBJ old_pen = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  const int width = client.right / 16;

  LARGE_INTEGER start = Now();
  for (int top = 0; top < rows; top += page) {
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    for (int row = top; row < std::min(rows, top + page); ++row) {
      RECT cell = {0, (row - top) * row_height, width, (row - top + 1) * row_height};
      for (int column = 0; column < 16; ++column) {
        const unsigned code = o.bench_first + 16u * row + column;
        wchar_t label[8];
        swprintf(label, 8, L"%04X", code);
        SelectObject(dc, label_font);
        DrawTextW(dc, label, -1, &cell, DT_SINGLELINE | DT_CENTER);
        SelectObject(dc, glyph_font);
        cell.top += label_height;
        wchar_t unit = static_cast<wchar_t>(code);
        DrawTextW(dc, &unit, 1, &cell, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        cell.top -= label_height;
        Rectangle(dc, cell.left, cell.top, cell.right + 1, cell.bottom + 1);
        cell.left = cell.right;
        cell.right += width;
      }
    }
  }
  GdiFlush();
  const double ms = Milliseconds(start, Now());

  SelectObject(dc, old_brush);
  DeleteObject(SelectObject(dc, old_pen));
  SelectObject(dc, old_font);
  DeleteObject(glyph_font);
  DeleteObject(label_font);
  DeleteObject(SelectObject(dc, old_bitmap));
  DeleteDC(dc);
  ReleaseDC(list, screen);
  return ms;
}

// Paints one screen of the glyph list repeatedly, then pages through it from the
// first row to the last, and prints the times and the rows drawn.
void BenchPaging(HWND viewer) {
  HWND list = GetDlgItem(viewer, kGlyphListId);
  if (!list) return;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  const int row_height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  RECT client;
  GetClientRect(list, &client);
  const int page = std::max(1, static_cast<int>(client.bottom) / std::max(1, row_height));
  g_draws.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingViewerProc)));

  SendMessageA(list, LB_SETTOPINDEX, 0, 0);
  UpdateWindow(list);
  constexpr int kScreens = 20;
  std::vector<double> screens;
  long screen_rows = 0;
  for (int i = 0; i < kScreens; ++i) {
    g_draws.rows = 0;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    GdiFlush();
    QueryPerformanceCounter(&end);
    screens.push_back(Milliseconds(start, end));
    screen_rows = g_draws.rows;
  }
  std::sort(screens.begin(), screens.end());

  // Paging through the block, alternated with the drawing floor when a face is given.
  const bool floor = !g_host.options.bench_face.empty();
  std::vector<double> pagings, floors, in_draw, in_scroll;
  long paged_rows = 0;
  int pages = 0;
  for (int round = 0; round < 5; ++round) {
    g_draws.rows = 0;
    g_draws.ticks = 0;
    pages = 0;
    LARGE_INTEGER start, end;
    LONGLONG scroll_ticks = 0, draw_in_scroll = 0;
    QueryPerformanceCounter(&start);
    for (int top = 0; top < count; top += page) {
      LARGE_INTEGER before = Now();
      const LONGLONG drawing_before = g_draws.ticks;
      SendMessageA(list, LB_SETTOPINDEX, top, 0);
      scroll_ticks += Now().QuadPart - before.QuadPart;
      draw_in_scroll += g_draws.ticks - drawing_before;
      UpdateWindow(list);
      ++pages;
    }
    GdiFlush();
    QueryPerformanceCounter(&end);
    pagings.push_back(Milliseconds(start, end));
    LARGE_INTEGER drawn = start;
    drawn.QuadPart += g_draws.ticks;
    in_draw.push_back(Milliseconds(start, drawn));
    LARGE_INTEGER scrolled = start;
    scrolled.QuadPart += scroll_ticks - draw_in_scroll;  // the list box's own part
    in_scroll.push_back(Milliseconds(start, scrolled));
    paged_rows = g_draws.rows;
    if (floor) floors.push_back(DrawFloor(list, count, page, row_height));
  }
  std::sort(pagings.begin(), pagings.end());
  const double paging = pagings[pagings.size() / 2];
  SetWindowLongPtrA(viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_draws.previous));

  std::printf("rows in block:        %d (row height %d px, %d rows a page, list %ldx%ld px)\n",
              count, row_height, page, client.right, client.bottom);
  std::printf("one screen:           median %.2f ms, fastest %.2f ms, slowest %.2f ms over %d "
              "paints; %ld rows drawn a paint\n",
              screens[screens.size() / 2], screens.front(), screens.back(), kScreens,
              screen_rows);
  std::printf("first row to last:    %.1f ms for %d pages (%.2f ms a page); %ld rows drawn\n",
              paging, pages, paging / std::max(1, pages), paged_rows);
  if (floor) {
    std::sort(floors.begin(), floors.end());
    const double floor_ms = floors[floors.size() / 2];
    std::printf("drawing floor:        %.1f ms for %d glyphs and labels into a memory bitmap\n",
                floor_ms, count * 16);
    std::printf("paging_ms=%.1f floor_ms=%.1f ratio=%.3f rounds=%zu in_drawitem_ms=%.1f "
                "in_settopindex_without_drawing_ms=%.1f rows_drawn=%ld\n",
                paging, floor_ms, paging / floor_ms, pagings.size(), Median(in_draw),
                Median(in_scroll), paged_rows);
  }
  std::fflush(stdout);
}

// --- --bench-start: the viewer's start against a skeleton of the same controls ---

// The viewer's combo box texts, the glyph list's row count and item height, read
// from a real viewer before the timed cycles so the skeleton is filled alike.
struct SkeletonModel {
  std::vector<std::string> blocks, charsets;
  int rows = 0;
  int item_height = 0;
};
SkeletonModel g_model;

std::vector<std::string> ComboTexts(HWND combo) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    if (SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
      SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.emplace_back(text);
  }
  return texts;
}

LRESULT CALLBACK SkeletonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = g_model.item_height;
      return TRUE;
    case WM_DRAWITEM:
    case WM_ERASEBKGND:
      return TRUE;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

INT_PTR CALLBACK SkeletonDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Runs the posted messages a cycle left behind, outside the timed parts.
void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
}

// ListLoad, painting, ListCloseWindow; milliseconds of load and of paint.
void RealCycle(HWND host, double& load, double& paint, double& close) {
  LARGE_INTEGER t0 = Now();
  HWND viewer = g_host.list_load(host, g_host.options.file.data(), 0);
  LARGE_INTEGER t1 = Now();
  PaintNow(host);
  LARGE_INTEGER t2 = Now();
  if (viewer) g_host.list_close(viewer);
  LARGE_INTEGER t3 = Now();
  load = Milliseconds(t0, t1);
  paint = Milliseconds(t1, t2);
  close = Milliseconds(t2, t3);
  PumpMessages();
}

HWND SkeletonControl(const char* class_name, DWORD style, DWORD ex_style, int id, HWND parent) {
  return CreateWindowExA(ex_style, class_name, nullptr, WS_CHILD | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

enum SkeletonPhase { kWindow, kRegister, kFonts, kControls, kDialog, kLayout, kPaint, kPhases };
const char* const kPhaseNames[kPhases] = {"window", "AddFontResourceEx", "three fonts",
                                          "eleven controls", "options dialog", "layout",
                                          "paint"};

// The same host work the viewer's start needs, with nothing of the viewer's own:
// a child window, the font registered privately, three fonts, the eleven
// controls filled as the viewer fills them, the options dialog from the
// plug-in's template, the Glyphs page's layout, then a paint.
void SkeletonCycle(HWND host, double (&phase)[kPhases], double& close) {
  const Options& o = g_host.options;
  LARGE_INTEGER t[kPhases + 1];
  t[0] = Now();
  RECT client;
  GetClientRect(host, &client);
  HWND window = CreateWindowExA(0, "OrvaneSkeleton", nullptr, WS_CHILD, 0, 0, client.right,
                                client.bottom, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  t[1] = Now();
  HDC dc = GetDC(window);
  AddFontResourceExA(o.file.c_str(), FR_PRIVATE, nullptr);
  t[2] = Now();
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  LOGFONTA lf = {};
  lf.lfWeight = o.bench_weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynA(lf.lfFaceName, o.bench_face.c_str(), LF_FACESIZE);
  HFONT fonts[3];
  const int points[3] = {24, 16, 96};
  for (int i = 0; i < 3; ++i) {
    lf.lfHeight = -MulDiv(points[i], dpi, 72);
    fonts[i] = CreateFontIndirectA(&lf);
  }
  HGDIOBJ previous = SelectObject(dc, fonts[0]);
  FONTSIGNATURE signature;
  GetTextCharsetInfo(dc, &signature, 0);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  t[3] = Now();

  HFONT ui = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND tab = SkeletonControl(WC_TABCONTROLA, WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0,
                             100, window);
  SendMessageA(tab, WM_SETFONT, reinterpret_cast<WPARAM>(ui), FALSE);
  const char* tabs[4] = {"Glyphs", "Info", "Sample", "Options"};
  for (int page = 0; page < 4; ++page) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.iImage = -1;
    item.pszText = const_cast<char*>(tabs[page]);
    SendMessageA(tab, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
  }
  HWND edit = SkeletonControl("EDIT", ES_RIGHT | ES_MULTILINE | ES_NUMBER, WS_EX_CLIENTEDGE, 101,
                              window);
  SendMessageA(edit, EM_LIMITTEXT, 3, 0);
  HWND slider = SkeletonControl(TRACKBAR_CLASSA, TBS_AUTOTICKS, 0, 102, window);
  SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(6, 128));
  SendMessageA(slider, TBM_SETTICFREQ, 6, 0);
  HWND block_combo = SkeletonControl("COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0, 205, window);
  for (const std::string& text : g_model.blocks)
    SendMessageA(block_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  HWND block_spin = SkeletonControl(UPDOWN_CLASSA, UDS_WRAP | UDS_HORZ, 0, 0, window);
  SendMessageA(block_spin, UDM_SETRANGE32, 0, static_cast<LPARAM>(g_model.blocks.size()) - 1);
  HWND charset_combo = SkeletonControl("COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0, 204, window);
  for (const std::string& text : g_model.charsets)
    SendMessageA(charset_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  HWND charset_spin = SkeletonControl(UPDOWN_CLASSA, UDS_WRAP | UDS_HORZ, 0, 0, window);
  SendMessageA(charset_spin, UDM_SETRANGE32, 0, static_cast<LPARAM>(g_model.charsets.size()) - 1);
  HWND list = SkeletonControl("LISTBOX",
                              WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT |
                                  LBS_DISABLENOSCROLL | LBS_NODATA | LBS_NOSEL,
                              WS_EX_CLIENTEDGE, kGlyphListId, window);
  SendMessageA(list, LB_SETCOUNT, g_model.rows, 0);
  HWND info = SkeletonControl("RichEdit20A",
                              WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL |
                                  ES_READONLY | ES_WANTRETURN,
                              0, 201, window);
  HWND sample = SkeletonControl("RichEdit20A",
                                WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL |
                                    ES_WANTRETURN,
                                WS_EX_CLIENTEDGE, 202, window);
  HWND options_host = SkeletonControl("STATIC", 0, 0, 203, window);
  SendMessageA(block_combo, CB_SETCURSEL, 0, 0);
  SendMessageA(charset_combo, CB_SETCURSEL, 0, 0);
  t[4] = Now();
  HWND dialog = CreateDialogParamA(g_host.plugin, MAKEINTRESOURCEA(900), options_host,
                                   SkeletonDialogProc, 0);
  t[5] = Now();

  // The viewer's layout of the Glyphs page.
  RECT d = {0, 0, client.right, client.bottom};
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&d));
  const int W = d.right - d.left, L = d.left, T = d.top, B = d.bottom;
  MoveWindow(tab, 0, 0, client.right, client.bottom, FALSE);
  const int combo_width = (5 * W) / 8 - 4, spin_x = L + 2 + combo_width + 4;
  MoveWindow(block_combo, L + 2, T + 4, combo_width, 384, FALSE);
  MoveWindow(block_spin, spin_x, T + 4, 40, 20, FALSE);
  MoveWindow(charset_combo, spin_x + 44, T + 4, W - spin_x - 88, 384, FALSE);
  MoveWindow(charset_spin, spin_x + 44 + W - spin_x - 88 + 4, T + 4, 40, 20, FALSE);
  MoveWindow(edit, L + 2, B - 24, 40, 20, FALSE);
  MoveWindow(slider, L + 46, B - 24, W - (L + 46), 20, FALSE);
  MoveWindow(list, L + 2, T + 29, W - 4, B - 2 * T - 35, FALSE);
  MoveWindow(sample, L + 2, T + 4, W - 4, B - 2 * T - 10, FALSE);
  MoveWindow(info, L + 2, T + 4, W - 4, B - T - 8, FALSE);
  MoveWindow(options_host, L + 2, T + 4, W - 4, B - T - 8, FALSE);
  for (HWND shown : {list, block_combo, block_spin, charset_combo, charset_spin, edit, slider})
    ShowWindow(shown, SW_SHOW);
  SetDlgItemInt(window, 101, 24, FALSE);
  SendMessageA(slider, TBM_SETPOS, TRUE, 24);
  t[6] = Now();
  PaintNow(host);
  t[7] = Now();
  for (int i = 0; i < kPhases; ++i) phase[i] = Milliseconds(t[i], t[i + 1]);

  LARGE_INTEGER c0 = Now();
  if (dialog) DestroyWindow(dialog);
  DestroyWindow(window);
  for (HFONT font : fonts) DeleteObject(font);
  ReleaseDC(window, dc);
  RemoveFontResourceExA(o.file.c_str(), FR_PRIVATE, nullptr);
  close = Milliseconds(c0, Now());
  PumpMessages();
}

// Where the viewer's start goes: the viewer's class procedure is wrapped (one
// extra call a message) to time its WM_CREATE and its WM_DRAWITEM.
struct StartProfile {
  WNDPROC original = nullptr;
  LONGLONG create_ticks = 0, draw_ticks = 0;
  // Phases inside WM_CREATE, from a window-creation hook in separate cycles:
  // when WM_CREATE began, the first control's creation, the options dialog's
  // creation, and when WM_CREATE ended.
  bool phases = false;
  LONGLONG create_start = 0, first_control = 0, dialog = 0, create_end = 0;
};
StartProfile g_profile;

LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND && g_profile.phases && g_profile.create_start &&
      !g_profile.create_end) {
    const LONGLONG now = Now().QuadPart;
    const char* class_name = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs->lpszClass;
    if (!g_profile.first_control) g_profile.first_control = now;
    if (IS_INTRESOURCE(class_name) && reinterpret_cast<ULONG_PTR>(class_name) == 0x8002 &&
        !g_profile.dialog)
      g_profile.dialog = now;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK TimedViewerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_CREATE && message != WM_DRAWITEM)
    return CallWindowProcA(g_profile.original, window, message, wparam, lparam);
  LONGLONG start = Now().QuadPart;
  if (message == WM_CREATE) g_profile.create_start = start;
  LRESULT result = CallWindowProcA(g_profile.original, window, message, wparam, lparam);
  const LONGLONG end = Now().QuadPart;
  if (message == WM_CREATE) g_profile.create_end = end;
  (message == WM_CREATE ? g_profile.create_ticks : g_profile.draw_ticks) += end - start;
  return result;
}

double TicksToMs(LONGLONG ticks) {
  LARGE_INTEGER zero = {}, end = {};
  end.QuadPart = ticks;
  return Milliseconds(zero, end);
}

// Alternates the viewer's start with the skeleton's, N times each (which one goes
// first swaps every round), and prints the medians.
void BenchStart(HWND host) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = SkeletonProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = "OrvaneSkeleton";
  RegisterClassExA(&wc);

  // A first real start, untimed: loads what both need and fills the model.
  HWND viewer = g_host.list_load(host, g_host.options.file.data(), 0);
  if (!viewer) {
    std::fprintf(stderr, "orvane-host: the plug-in made no window\n");
    g_host.exit_code = 1;
    return;
  }
  PaintNow(host);
  g_model.blocks = ComboTexts(GetDlgItem(viewer, kBlockComboId));
  g_model.charsets = ComboTexts(GetDlgItem(viewer, kCharsetComboId));
  HWND list = GetDlgItem(viewer, kGlyphListId);
  g_model.rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  g_model.item_height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  g_profile.original = reinterpret_cast<WNDPROC>(
      SetClassLongPtrA(viewer, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimedViewerProc)));
  g_host.list_close(viewer);
  PumpMessages();
  double phase[kPhases], close;
  SkeletonCycle(host, phase, close);

  std::vector<double> real_load, real_paint, real_total, real_close, real_create, real_draw;
  std::vector<double> skel_total, skel_close, skel_phase[kPhases];
  const int cycles = g_host.options.bench_start;
  for (int i = 0; i < cycles; ++i) {
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (i % 2 == 0)) {
        double load, paint;
        g_profile.create_ticks = g_profile.draw_ticks = 0;
        RealCycle(host, load, paint, close);
        real_create.push_back(TicksToMs(g_profile.create_ticks));
        real_draw.push_back(TicksToMs(g_profile.draw_ticks));
        real_load.push_back(load);
        real_paint.push_back(paint);
        real_total.push_back(load + paint);
        real_close.push_back(close);
      } else {
        SkeletonCycle(host, phase, close);
        double total = 0;
        for (int p = 0; p < kPhases; ++p) {
          skel_phase[p].push_back(phase[p]);
          total += phase[p];
        }
        skel_total.push_back(total);
        skel_close.push_back(close);
      }
    }
  }
  // Phases of the viewer's WM_CREATE, in cycles of their own (the hook is not
  // installed while the comparison above runs).
  std::vector<double> before_controls, controls, dialog_on, hooked_phase[kPhases];
  HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
  g_profile.phases = hook != nullptr;
  for (int i = 0; hook && i < std::max(3, cycles / 2); ++i) {
    g_profile.create_start = g_profile.first_control = g_profile.dialog = g_profile.create_end = 0;
    double load, paint;
    RealCycle(host, load, paint, close);
    if (!g_profile.create_start || !g_profile.first_control || !g_profile.dialog) continue;
    before_controls.push_back(TicksToMs(g_profile.first_control - g_profile.create_start));
    controls.push_back(TicksToMs(g_profile.dialog - g_profile.first_control));
    dialog_on.push_back(TicksToMs(g_profile.create_end - g_profile.dialog));
    // The skeleton under the same hook, for a like-for-like comparison.
    SkeletonCycle(host, phase, close);
    for (int p = 0; p < kPhases; ++p) hooked_phase[p].push_back(phase[p]);
  }
  if (hook) UnhookWindowsHookEx(hook);
  g_profile.phases = false;

  const double real = Median(real_total), skeleton = Median(skel_total);
  std::printf("start_viewer_ms=%.2f start_skeleton_ms=%.2f ratio=%.3f cycles=%d\n", real,
              skeleton, skeleton > 0 ? real / skeleton : 0.0, cycles);
  std::printf("viewer: ListLoad_ms=%.2f (WM_CREATE %.2f) paint_ms=%.2f (WM_DRAWITEM %.2f) "
              "ListCloseWindow_ms=%.2f\n",
              Median(real_load), Median(real_create), Median(real_paint), Median(real_draw),
              Median(real_close));
  std::printf("skeleton:");
  for (int p = 0; p < kPhases; ++p)
    std::printf(" %s=%.2f;", kPhaseNames[p], Median(skel_phase[p]));
  std::printf(" close=%.2f (ms, medians); blocks=%zu charsets=%zu rows=%d item_height=%d\n",
              Median(skel_close), g_model.blocks.size(), g_model.charsets.size(), g_model.rows,
              g_model.item_height);
  std::printf("viewer WM_CREATE phases (%zu separate cycles, medians ms): before the first "
              "control (settings, language, font registered, read, three fonts)=%.2f; "
              "eleven controls=%.2f; options dialog and what follows (its set-up, first page "
              "filled)=%.2f\n",
              controls.size(), Median(before_controls), Median(controls), Median(dialog_on));
  std::printf("skeleton under the same hook (medians ms):");
  for (int p = 0; p < kPhases; ++p)
    std::printf(" %s=%.2f;", kPhaseNames[p], Median(hooked_phase[p]));
  std::printf("\n");
  std::fflush(stdout);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The host window's client area as it is on the screen, as PNG or BMP.
bool SaveScreenshot(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT area;
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const BgrImage image = CaptureScreen(area);
  if (image.bgr.empty()) return false;

  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".bmp") == 0) {
    const BITMAPINFOHEADER header = BgrHeader(image.width, image.height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + image.bgr.size());
    std::vector<uint8_t> bytes(file.bfOffBits);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &header, sizeof header);
    bytes.insert(bytes.end(), image.bgr.begin(), image.bgr.end());
    return WriteFile(path, bytes);
  }
  return WriteFile(path, EncodePng(image.width, image.height, ToRgb(image)));
}

// A bitmap's pixels as PNG.
bool SaveBitmap(HBITMAP bitmap, const std::string& path) {
  BgrImage image;
  if (!ReadBitmapBgr(bitmap, image)) return false;
  return WriteFile(path, EncodePng(image.width, image.height, ToRgb(image)));
}

// --thumbnail: asks the plug-in for its preview bitmap, as a thumbnail view would.
int WriteThumbnail(const Options& o) {
  auto* preview = reinterpret_cast<ListGetPreviewBitmapWFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin, "ListGetPreviewBitmapW")));
  if (!preview) {
    std::fprintf(stderr, "orvane-host: %s has no ListGetPreviewBitmapW\n", o.dll.c_str());
    return 1;
  }
  int units = MultiByteToWideChar(CP_ACP, 0, o.file.c_str(), -1, nullptr, 0);
  std::vector<WCHAR> file(static_cast<size_t>(std::max(units, 1)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, o.file.c_str(), -1, file.data(), units);
  HBITMAP bitmap = preview(file.data(), o.thumbnail_width, o.thumbnail_height, nullptr, 0);
  if (!bitmap) {
    std::fprintf(stderr, "orvane-host: no preview of %s\n", o.file.c_str());
    return 1;
  }
  bool saved = SaveBitmap(bitmap, o.thumbnail);
  DeleteObject(bitmap);  // the host owns the bitmap it is given
  if (!saved) {
    std::fprintf(stderr, "orvane-host: cannot write %s\n", o.thumbnail.c_str());
    return 1;
  }
  return 0;
}

void OnLoaded(HWND window) {
  if (g_host.loaded) return;
  g_host.loaded = true;
  const Options& o = g_host.options;
  if (o.page >= 0) SwitchPage(g_host.viewer, o.page);
  if (o.block >= 0) PickFromCombo(g_host.viewer, kBlockComboId, o.block);
  if (o.charset >= 0) PickFromCombo(g_host.viewer, kCharsetComboId, o.charset);
  if (o.bench) {
    SetTimer(window, kBenchTimer, 500, nullptr);
    return;
  }
  if (o.zoom_row >= 0) {
    SetTimer(window, kZoomTimer, 400, nullptr);
    return;
  }
  // Give the rich-edit views and the glyph list time to paint before capturing.
  if (!o.screenshot.empty()) SetTimer(window, kScreenshotTimer, 700, nullptr);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (wparam == kLoadedNotice && reinterpret_cast<HWND>(lparam) == g_host.viewer)
        OnLoaded(window);
      return 0;
    case WM_SIZE:
      if (g_host.viewer)
        MoveWindow(g_host.viewer, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (g_host.viewer) SetFocus(g_host.viewer);
      return 0;
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) DestroyWindow(window);
      return 0;
    case WM_TIMER:
      KillTimer(window, wparam);
      if (wparam == kScreenshotTimer) {
        if (!SaveScreenshot(window, g_host.options.screenshot)) {
          std::fprintf(stderr, "orvane-host: cannot write %s\n", g_host.options.screenshot.c_str());
          g_host.exit_code = 1;
        }
        // With a zoom box open this runs inside its loop: the viewer and the box
        // go with the window, and the quit below must still end this program.
        if (g_host.options.zoom_row >= 0) SendMouse(MOUSEEVENTF_LEFTUP);
        DestroyWindow(window);
      } else if (wparam == kZoomTimer) {
        if (!g_host.options.screenshot.empty()) SetTimer(window, kScreenshotTimer, 600, nullptr);
        PressOnCell(g_host.viewer, g_host.options.zoom_row, g_host.options.zoom_column);
      } else if (wparam == kBenchTimer) {
        BenchPaging(g_host.viewer);
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      if (g_host.viewer) g_host.list_close(g_host.viewer);
      g_host.viewer = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

int Run(int argc, char** argv) {
  Options& o = g_host.options;
  if (!ParseOptions(argc, argv, o)) {
    Usage();
    return 2;
  }
  g_host.plugin = LoadLibraryA(o.dll.c_str());
  if (!g_host.plugin) {
    std::fprintf(stderr, "orvane-host: cannot load %s (error %lu)\n", o.dll.c_str(),
                 GetLastError());
    return 1;
  }
  auto* detect = reinterpret_cast<ListGetDetectStringFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin, "ListGetDetectString")));
  auto* set_params = reinterpret_cast<ListSetDefaultParamsFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin, "ListSetDefaultParams")));
  g_host.list_load = reinterpret_cast<ListLoadFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin, "ListLoad")));
  g_host.list_close = reinterpret_cast<ListCloseWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin, "ListCloseWindow")));
  if (!detect || !set_params || !g_host.list_load || !g_host.list_close) {
    std::fprintf(stderr, "orvane-host: %s lacks the Lister exports\n", o.dll.c_str());
    return 1;
  }
  char detect_string[1024] = {};
  detect(detect_string, sizeof detect_string);
  if (!Detects(detect_string, o.file)) {
    std::fprintf(stderr, "orvane-host: %s is not a file the plug-in views (%s)\n",
                 o.file.c_str(), detect_string);
    return 2;
  }
  if (!o.settings.empty()) {
    DefaultParams params = {};
    params.size = sizeof params;
    params.version_low = 0;
    params.version_high = 2;
    lstrcpynA(params.settings_path, o.settings.c_str(), MAX_PATH);
    set_params(&params);
  }
  if (!o.thumbnail.empty()) {
    int result = WriteThumbnail(o);
    FreeLibrary(g_host.plugin);
    return result;
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = "OrvaneHost";
  RegisterClassExA(&wc);
  DWORD style = o.fixed ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
                        : WS_OVERLAPPEDWINDOW;
  RECT frame = {0, 0, o.width, o.height};
  AdjustWindowRect(&frame, style, FALSE);
  std::string title = "Orvane - " + o.file;
  HWND window = CreateWindowExA(0, "OrvaneHost", title.c_str(), style, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  if (o.bench_start > 0) {
    PumpMessages();
    BenchStart(window);
    DestroyWindow(window);
    PumpMessages();
    FreeLibrary(g_host.plugin);
    return g_host.exit_code;
  }

  constexpr int kDarkModeFlag = 128;
  g_host.viewer = g_host.list_load(window, o.file.data(), o.dark ? kDarkModeFlag : 0);
  if (!g_host.viewer) {
    std::fprintf(stderr, "orvane-host: the plug-in made no window for %s\n", o.file.c_str());
    DestroyWindow(window);
    g_host.exit_code = 1;
  } else {
    SetFocus(g_host.viewer);
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  FreeLibrary(g_host.plugin);
  return g_host.exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (...) {
    return 1;
  }
}
