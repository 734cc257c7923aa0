// --bench-browse: ListLoadNext to the painted Glyphs page, file after file of a
// folder, against a floor that does the same system work without the viewer:
// registers each font privately, makes its three fonts, reads the glyph font's
// metrics and repaints a list of the same size, rows and row height with the
// same cells. Alternated passes in one process, medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane_host/benchmarks.h"

namespace {

// The floor's window: covers the viewer, with a list where the viewer has its
// glyph list; the list draws its rows with the fonts of the file shown.
struct BrowseFloor {
  HWND window = nullptr, list = nullptr;
  LabelFont label;
  HPEN pen = nullptr;
  HFONT fonts[3] = {};  // glyph, sample, zoom
  std::string registered;
  int rows = 0;
};
BrowseFloor g_floor;

// The viewer opens on the first block, "ANSI", whose rows start at code 0.
constexpr unsigned kFirstCode = 0;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_DRAWITEM) return DefWindowProcA(window, message, wparam, lparam);
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
  if (item.itemAction != ODA_DRAWENTIRE) return TRUE;
  HGDIOBJ old_pen = SelectObject(item.hDC, g_floor.pen);
  HGDIOBJ old_brush = SelectObject(item.hDC, GetStockObject(NULL_BRUSH));
  HGDIOBJ old_font = SelectObject(item.hDC, g_floor.label.font);
  const int old_mode = SetBkMode(item.hDC, TRANSPARENT);
  DrawFloorRow(item.hDC, item.rcItem, kFirstCode + 16u * item.itemID, g_floor.label,
               g_floor.fonts[0]);
  SetBkMode(item.hDC, old_mode);
  SelectObject(item.hDC, old_font);
  SelectObject(item.hDC, old_brush);
  SelectObject(item.hDC, old_pen);
  return TRUE;
}

void ReleaseFloorFont() {
  for (HFONT& font : g_floor.fonts) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
  if (!g_floor.registered.empty())
    RemoveFontResourceExA(g_floor.registered.c_str(), FR_PRIVATE, nullptr);
  g_floor.registered.clear();
}

// One file to the painted list, in the viewer's order: the new font registered
// and made before the previous one is let go. Milliseconds of the fonts' part.
double FloorStep(HWND host, const std::string& file, const BenchFace& face) {
  const LARGE_INTEGER start = Now();
  HDC dc = GetDC(g_floor.window);
  AddFontResourceExA(file.c_str(), FR_PRIVATE, nullptr);
  const ThreeFonts made = MakeThreeFonts(dc, face);
  ReleaseDC(g_floor.window, dc);
  ReleaseFloorFont();
  std::copy(made.fonts, made.fonts + 3, g_floor.fonts);
  g_floor.registered = file;
  const double fonts_ms = Milliseconds(start, Now());

  const TEXTMETRICA& metrics = made.glyph_metrics;
  SendMessageA(g_floor.list, LB_SETITEMHEIGHT, 0,
               metrics.tmHeight + metrics.tmExternalLeading + g_floor.label.line_height);
  SendMessageA(g_floor.list, LB_SETCOUNT, g_floor.rows, 0);
  InvalidateRect(g_floor.list, nullptr, TRUE);
  PaintNow(host);
  return fonts_ms;
}

// The list and its window, placed over the viewer's glyph list.
bool CreateFloor(HWND host, HWND viewer) {
  HWND list = GetDlgItem(viewer, kGlyphListId);
  if (!list) return false;
  g_floor.rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  RECT place;
  GetWindowRect(list, &place);
  MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&place), 2);
  RECT client;
  GetClientRect(host, &client);

  RegisterFloorClass("OrvaneBrowseFloor", FloorProc, 0);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  g_floor.window = CreateWindowExA(0, "OrvaneBrowseFloor", nullptr, WS_CHILD, 0, 0, client.right,
                                   client.bottom, host, nullptr, instance, nullptr);
  g_floor.list = CreateWindowExA(
      WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
          LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL | LBS_NODATA | LBS_NOSEL,
      place.left, place.top, place.right - place.left, place.bottom - place.top, g_floor.window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGlyphListId)), instance, nullptr);
  if (!g_floor.window || !g_floor.list) return false;
  HDC dc = GetDC(g_floor.window);
  g_floor.label = CreateLabelFont(dc);
  ReleaseDC(g_floor.window, dc);
  g_floor.pen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));
  return true;
}

// Shows one of the two and paints it, outside the timed parts.
void ShowOnly(HWND host, HWND shown, HWND hidden) {
  ShowWindow(hidden, SW_HIDE);
  ShowWindow(shown, SW_SHOW);
  PaintNow(host);
  PumpMessages();
}

}  // namespace

int BenchBrowse(HWND host, HWND viewer, const Plugin& plugin, const std::vector<std::string>& files,
                int cycles) {
  if (!plugin.load_next) {
    std::fprintf(stderr, "orvane-host: the plug-in has no ListLoadNext\n");
    return 1;
  }
  const size_t count = files.size();
  std::vector<BenchFace> faces(count);
  for (size_t i = 0; i < count; ++i)
    if (!ReadBenchFace(files[i], faces[i])) {
      std::fprintf(stderr, "orvane-host: cannot read %s\n", files[i].c_str());
      return 1;
    }
  if (!CreateFloor(host, viewer)) {
    std::fprintf(stderr, "orvane-host: no glyph list to browse\n");
    return 1;
  }
  std::vector<std::string> paths = files;  // ListLoadNext takes char*

  // A pass goes once round the folder and ends on the file it began with, so
  // each file is always reached from the same predecessor.
  std::vector<double> real_pass, real_next, real_paint, floor_pass, floor_fonts, floor_paint;
  std::vector<std::vector<double>> real_file(count), floor_file(count);
  int failures = 0;
  auto real = [&](bool timed) {
    double total = 0, next = 0;
    for (size_t k = 1; k <= count; ++k) {
      const size_t i = k % count;
      const LARGE_INTEGER t0 = Now();
      if (plugin.load_next(host, viewer, paths[i].data(), 0) != 0) ++failures;
      const LARGE_INTEGER t1 = Now();
      PaintNow(host);
      const double ms = Milliseconds(t0, Now());
      next += Milliseconds(t0, t1);
      total += ms;
      if (timed) real_file[i].push_back(ms);
    }
    if (!timed) return;
    real_pass.push_back(total);
    real_next.push_back(next);
    real_paint.push_back(total - next);
  };
  auto floor = [&](bool timed) {
    double total = 0, fonts = 0;
    for (size_t k = 1; k <= count; ++k) {
      const size_t i = k % count;
      const LARGE_INTEGER t0 = Now();
      fonts += FloorStep(host, files[i], faces[i]);
      const double ms = Milliseconds(t0, Now());
      total += ms;
      if (timed) floor_file[i].push_back(ms);
    }
    if (!timed) return;
    floor_pass.push_back(total);
    floor_fonts.push_back(fonts);
    floor_paint.push_back(total - fonts);
  };

  // One pass of each untimed first: loads what both need.
  ShowOnly(host, viewer, g_floor.window);
  real(false);
  ShowOnly(host, g_floor.window, viewer);
  floor(false);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (cycle % 2 == 0)) {
        ShowOnly(host, viewer, g_floor.window);
        real(true);
      } else {
        ShowOnly(host, g_floor.window, viewer);
        floor(true);
      }
    }
  }
  ShowOnly(host, viewer, g_floor.window);
  ReleaseFloorFont();
  DestroyWindow(g_floor.window);
  DeleteObject(g_floor.label.font);
  DeleteObject(g_floor.pen);

  const double viewer_ms = Median(real_pass), floor_ms = Median(floor_pass);
  std::printf("browse_viewer_ms=%.2f browse_floor_ms=%.2f ratio=%.3f files=%zu cycles=%d "
              "failures=%d\n",
              viewer_ms, floor_ms, floor_ms > 0 ? viewer_ms / floor_ms : 0.0, count, cycles,
              failures);
  std::printf("a pass (medians ms): viewer ListLoadNext=%.2f paint=%.2f; floor register, "
              "fonts, metrics=%.2f list and paint=%.2f\n",
              Median(real_next), Median(real_paint), Median(floor_fonts), Median(floor_paint));
  PrintPerFile(files, "viewer", real_file, floor_file);
  std::fflush(stdout);
  return failures ? 1 : 0;
}
