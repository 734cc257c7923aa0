// --bench-paging: painting one screen of the glyph list and paging through it
// from the first row to the last, against the system drawing the same glyphs
// and labels into a memory bitmap (characters of a block, or in the glyph view
// glyphs by index).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/orvane_host/benchmarks.h"

namespace {

// Rows the viewer is asked to draw, counted on their way to it.
struct DrawCounter {
  WNDPROC previous = nullptr;
  long rows = 0;
  LONGLONG ticks = 0;  // spent inside the viewer's WM_DRAWITEM
  bool swallow = false;  // rows left undrawn: the list box's own part of paging
};
DrawCounter g_draws;

LRESULT CALLBACK CountingViewerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_DRAWITEM)
    return CallWindowProcA(g_draws.previous, window, message, wparam, lparam);
  if (g_draws.swallow) return TRUE;
  if (reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->itemAction == ODA_DRAWENTIRE)
    ++g_draws.rows;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  LRESULT result = CallWindowProcA(g_draws.previous, window, message, wparam, lparam);
  QueryPerformanceCounter(&end);
  g_draws.ticks += end.QuadPart - start.QuadPart;
  return result;
}

// The floor of paging: the same glyphs and their labels drawn by the system into a
// memory bitmap the size of the list, page by page, with the viewer's cell
// geometry and the same fonts (label: the menu font; glyph: the face at 24
// points), DrawTextW for each label and each glyph (by index: measured and drawn
// with ExtTextOutW), the cell's grid rectangle. The fair floor (`shown`) also
// copies each page onto the list's window, as a viewer must show what it drew.
double DrawFloor(HWND list, int rows, int page, int row_height, const BenchFace& face,
                 unsigned first_code, unsigned glyph_count, bool shown) {
  RECT client;
  GetClientRect(list, &client);
  HDC screen = GetDC(list);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  const LabelFont label = CreateLabelFont(dc);
  HGDIOBJ old_font = SelectObject(dc, label.font);
  const LOGFONTA lf = FloorLogFont(face, -MulDiv(24, GetDeviceCaps(screen, LOGPIXELSY), 72));
  HFONT glyph_font = CreateFontIndirectA(&lf);
  HPEN pen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));
  HGDIOBJ old_pen = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  const int width = client.right / 16;
  TEXTMETRICA glyph_metrics = {};
  SelectObject(dc, glyph_font);
  GetTextMetricsA(dc, &glyph_metrics);
  SelectObject(dc, label.font);

  LARGE_INTEGER start = Now();
  for (int top = 0; top < rows; top += page) {
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    for (int row = top; row < std::min(rows, top + page); ++row) {
      RECT cells = {0, (row - top) * row_height, 16 * width, (row - top + 1) * row_height};
      const unsigned first = 16u * row;
      if (glyph_count)
        DrawFloorIndexRow(dc, cells, first, glyph_count - first, label, glyph_font,
                          glyph_metrics.tmHeight);
      else DrawFloorRow(dc, cells, first_code + first, label, glyph_font);
    }
    if (!shown) continue;
    HDC window = GetDC(list);
    BitBlt(window, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(list, window);
  }
  GdiFlush();
  const double ms = Milliseconds(start, Now());

  SelectObject(dc, old_brush);
  DeleteObject(SelectObject(dc, old_pen));
  SelectObject(dc, old_font);
  DeleteObject(glyph_font);
  DeleteObject(label.font);
  DeleteObject(SelectObject(dc, old_bitmap));
  DeleteDC(dc);
  ReleaseDC(list, screen);
  return ms;
}

}  // namespace

// Paints one screen of the glyph list repeatedly, then pages through it from the
// first row to the last, and prints the times and the rows drawn.
void BenchPaging(HWND viewer, const BenchFace& face, unsigned first_code, unsigned glyph_count) {
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
  const bool floor = !face.name.empty();
  std::vector<double> pagings, floors, shown_floors, in_draw, in_scroll, alone;
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
    if (floor) {
      floors.push_back(DrawFloor(list, count, page, row_height, face, first_code, glyph_count, false));
      shown_floors.push_back(
          DrawFloor(list, count, page, row_height, face, first_code, glyph_count, true));
    }
    // The same paging with the viewer's rows left undrawn: what scrolling, erasing
    // and showing the list costs whoever draws its rows.
    g_draws.swallow = true;
    QueryPerformanceCounter(&start);
    for (int top = 0; top < count; top += page) {
      SendMessageA(list, LB_SETTOPINDEX, top, 0);
      UpdateWindow(list);
    }
    GdiFlush();
    QueryPerformanceCounter(&end);
    g_draws.swallow = false;
    alone.push_back(Milliseconds(start, end));
  }
  std::sort(pagings.begin(), pagings.end());
  const double paging = pagings[pagings.size() / 2];
  SetWindowLongPtrA(viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_draws.previous));

  std::printf("rows in %s %d (row height %d px, %d rows a page, list %ldx%ld px)\n",
              glyph_count ? "glyph view:  " : "block:       ", count, row_height, page,
              client.right, client.bottom);
  std::printf("one screen:           median %.2f ms, fastest %.2f ms, slowest %.2f ms over %d "
              "paints; %ld rows drawn a paint\n",
              screens[screens.size() / 2], screens.front(), screens.back(), kScreens,
              screen_rows);
  std::printf("first row to last:    %.1f ms for %d pages (%.2f ms a page); %ld rows drawn\n",
              paging, pages, paging / std::max(1, pages), paged_rows);
  if (floor) {
    std::sort(floors.begin(), floors.end());
    const double floor_ms = floors[floors.size() / 2];
    std::printf("drawing floor:        %.1f ms for %u glyphs and labels%s into a memory bitmap\n",
                floor_ms, glyph_count ? glyph_count : count * 16u, glyph_count ? " by index" : "");
    std::printf("fair floor:           %.1f ms, the same with each page copied onto the list\n",
                Median(shown_floors));
    std::printf("paging_ms=%.1f floor_ms=%.1f ratio=%.3f rounds=%zu in_drawitem_ms=%.1f "
                "in_settopindex_without_drawing_ms=%.1f rows_drawn=%ld list_alone_ms=%.1f "
                "shown_floor_ms=%.1f\n",
                paging, floor_ms, paging / floor_ms, pagings.size(), Median(in_draw),
                Median(in_scroll), paged_rows, Median(alone), Median(shown_floors));
  }
  std::fflush(stdout);
}

