// --bench-browse: ListLoadNext to the painted Glyphs page, file after file of a
// folder, against a floor that does the same system work without the viewer:
// registers each font privately, makes its three fonts, reads the glyph font's
// metrics and repaints the controls the viewer repaints for a new file: a list
// of the same size, rows and row height with the same cells, the block list's
// closed box with its item, and, as a collection comes and goes, a face
// selector filled with its faces and the trackbar beside it moved. Alternated
// passes in one process, medians.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane_host/benchmarks.h"

namespace {

// What the viewer shows of a file beside its list, read from the viewer in the
// untimed pass: the face selector's items (none for a single font) and where the
// trackbar and the selector then lie.
struct FileLook {
  std::vector<std::string> faces;
  RECT slider = {}, face_combo = {};
};

// The floor's window: covers the viewer, with a control where the viewer has
// each of those it repaints; the list draws its rows with the fonts of the file
// shown.
struct BrowseFloor {
  HWND window = nullptr, list = nullptr, block_combo = nullptr, slider = nullptr,
       face_combo = nullptr;
  LabelFont label;
  HPEN pen = nullptr;
  HFONT fonts[3] = {};  // glyph, sample, zoom
  std::string registered;
  int rows = 0;
  bool faces_shown = false;
};
BrowseFloor g_floor;

// The viewer opens on the first block, "ANSI", whose rows start at code 0.
constexpr unsigned kFirstCode = 0;

// The block list's closed box: the block's name, and right of it a count as the
// viewer writes it.
void DrawFloorBlockItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const COLORREF old_back = SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  if (item.itemID != static_cast<UINT>(-1)) {
    char name[256] = {};
    SendMessageA(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(name));
    HGDIOBJ old_font = SelectObject(dc, g_floor.label.font);
    const char* count = "256/256";
    RECT text = r, measure = {};
    DrawTextA(dc, count, -1, &measure, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    DrawTextA(dc, count, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    text.right -= (measure.right - measure.left) + 6;
    DrawTextA(dc, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old_font);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
  SetBkColor(dc, old_back);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MEASUREITEM) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
    if (item.CtlID == kBlockComboId) item.itemHeight = static_cast<UINT>(g_floor.label.line_height);
    return TRUE;
  }
  if (message != WM_DRAWITEM) return DefWindowProcA(window, message, wparam, lparam);
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
  if (item.CtlID == kBlockComboId) {
    DrawFloorBlockItem(item);
    return TRUE;
  }
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

// The face selector's items, as the viewer fills them (the width its list opens
// to is measured only as it opens).
void FillFloorFaces(const std::vector<std::string>& faces) {
  SendMessageA(g_floor.face_combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& face : faces)
    SendMessageA(g_floor.face_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
  SendMessageA(g_floor.face_combo, CB_SETCURSEL, 0, 0);
}

// One file to the painted controls, in the viewer's order: the new font registered
// and made before the previous one is let go. Milliseconds of the fonts' part.
double FloorStep(HWND host, const std::string& file, const BenchFace& face,
                 const FileLook& look) {
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
  // The block list's counts are the new font's.
  InvalidateRect(g_floor.block_combo, nullptr, FALSE);
  const bool faces = !look.faces.empty();
  if (faces) FillFloorFaces(look.faces);
  if (faces != g_floor.faces_shown) {
    g_floor.faces_shown = faces;
    auto place = [](HWND control, const RECT& r) {
      SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(g_floor.slider, look.slider);
    place(g_floor.face_combo, look.face_combo);
    ShowWindow(g_floor.face_combo, faces ? SW_SHOWNA : SW_HIDE);
  }
  PaintNow(host);
  return fonts_ms;
}

// A control's place in the host's client area (where the floor's window lies).
RECT PlaceIn(HWND host, HWND control) {
  RECT place = {};
  if (!control) return place;
  GetWindowRect(control, &place);
  MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    if (SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
      SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

// What the viewer shows now beside its list.
FileLook LookOf(HWND host, HWND viewer) {
  FileLook look;
  HWND faces = GetDlgItem(viewer, kFaceComboId);
  if (faces && IsWindowVisible(faces)) look.faces = ComboItems(faces);
  look.slider = PlaceIn(host, GetDlgItem(viewer, kSizeSliderId));
  look.face_combo = PlaceIn(host, faces);
  return look;
}

HWND FloorControl(const char* class_name, DWORD style, DWORD ex_style, int id, const RECT& r) {
  HWND control = CreateWindowExA(ex_style, class_name, nullptr, WS_CHILD | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, g_floor.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_floor.label.font), FALSE);
  return control;
}

// The controls and their window, each placed over the viewer's.
bool CreateFloor(HWND host, HWND viewer) {
  HWND list = GetDlgItem(viewer, kGlyphListId), blocks = GetDlgItem(viewer, kBlockComboId);
  if (!list || !blocks) return false;
  g_floor.rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  RECT client;
  GetClientRect(host, &client);

  RegisterFloorClass("OrvaneBrowseFloor", FloorProc, 0);
  g_floor.window = CreateWindowExA(0, "OrvaneBrowseFloor", nullptr, WS_CHILD, 0, 0, client.right,
                                   client.bottom, host, nullptr, GetModuleHandleA(nullptr),
                                   nullptr);
  if (!g_floor.window) return false;
  HDC dc = GetDC(g_floor.window);
  g_floor.label = CreateLabelFont(dc);
  ReleaseDC(g_floor.window, dc);
  g_floor.pen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));

  g_floor.list = FloorControl(
      "LISTBOX",
      WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT |
          LBS_DISABLENOSCROLL | LBS_NODATA | LBS_NOSEL,
      WS_EX_CLIENTEDGE, kGlyphListId, PlaceIn(host, list));
  // The combo box's rectangle includes its list, as the viewer placed it.
  RECT block_place = PlaceIn(host, blocks);
  block_place.bottom = block_place.top + 384;
  g_floor.block_combo = FloorControl(
      "COMBOBOX", WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
      0, kBlockComboId, block_place);
  for (const std::string& name : ComboItems(blocks))
    SendMessageA(g_floor.block_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(g_floor.block_combo, CB_SETCURSEL, 0, 0);
  g_floor.slider = FloorControl(TRACKBAR_CLASSA, WS_VISIBLE | TBS_AUTOTICKS, 0, kSizeSliderId,
                                PlaceIn(host, GetDlgItem(viewer, kSizeSliderId)));
  SendMessageA(g_floor.slider, TBM_SETRANGE, FALSE, MAKELPARAM(6, 128));
  SendMessageA(g_floor.slider, TBM_SETTICFREQ, 6, 0);
  SendMessageA(g_floor.slider, TBM_SETPOS, TRUE, 24);
  g_floor.face_combo =
      FloorControl("COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0, kFaceComboId, RECT{});
  return g_floor.list && g_floor.block_combo && g_floor.slider && g_floor.face_combo;
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
  std::vector<FileLook> looks(count);

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
      else looks[i] = LookOf(host, viewer);
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
      fonts += FloorStep(host, files[i], faces[i], looks[i]);
      const double ms = Milliseconds(t0, Now());
      total += ms;
      if (timed) floor_file[i].push_back(ms);
    }
    if (!timed) return;
    floor_pass.push_back(total);
    floor_fonts.push_back(fonts);
    floor_paint.push_back(total - fonts);
  };

  // One pass of each untimed first: loads what both need, and shows the floor
  // what the viewer shows of each file.
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
              "fonts, metrics=%.2f controls and paint=%.2f\n",
              Median(real_next), Median(real_paint), Median(floor_fonts), Median(floor_paint));
  PrintPerFile(files, "viewer", real_file, floor_file);
  std::fflush(stdout);
  return failures ? 1 : 0;
}
