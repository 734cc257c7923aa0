// --bench-start: the viewer's start (ListLoad to the painted Glyphs page) against
// a skeleton of the same controls, dialog, private font and fonts, alternated in
// one process. Two skeletons: the first one's eleven controls, and the fair one,
// which also makes the face and instance selectors the viewer shows for the file
// (filled alike, on the size row).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane_host/benchmarks.h"

namespace {

// What the cycles load: the plug-in, the file and the face of its fonts.
struct StartRun {
  Plugin plugin;
  std::string file;
  BenchFace face;
};
StartRun g_run;

// The viewer's combo box texts, the glyph list's row count and item height, read
// from a real viewer before the timed cycles so the skeleton is filled alike.
struct SkeletonModel {
  std::vector<std::string> blocks, charsets, faces, instances;
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

// ListLoad, painting, ListCloseWindow; milliseconds of load and of paint.
void RealCycle(HWND host, double& load, double& paint, double& close) {
  LARGE_INTEGER t0 = Now();
  HWND viewer = g_run.plugin.load(host, g_run.file.data(), 0);
  LARGE_INTEGER t1 = Now();
  PaintNow(host);
  LARGE_INTEGER t2 = Now();
  if (viewer) g_run.plugin.close(viewer);
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

enum SkeletonPhase {
  kWindow, kRegister, kFonts, kControls, kDialog, kSelectors, kLayout, kPaint, kPhases
};
const char* const kPhaseNames[kPhases] = {"window", "AddFontResourceEx", "three fonts",
                                          "eleven controls", "options dialog", "selectors",
                                          "layout", "paint"};

// A selector of the size row, filled with `items` and the first chosen.
HWND SkeletonSelector(HWND window, int id, const std::vector<std::string>& items) {
  if (items.empty()) return nullptr;
  HWND combo = SkeletonControl("COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0, id, window);
  SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  for (const std::string& text : items)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  return combo;
}

// The same host work the viewer's start needs, with nothing of the viewer's own:
// a child window, the font registered privately, three fonts, the eleven
// controls filled as the viewer fills them, the options dialog from the
// plug-in's template, with `selectors` the face and instance selectors the
// viewer shows for the file, the Glyphs page's layout, then a paint.
void SkeletonCycle(HWND host, double (&phase)[kPhases], double& close, bool selectors) {
  LARGE_INTEGER t[kPhases + 1];
  t[0] = Now();
  RECT client;
  GetClientRect(host, &client);
  HWND window = CreateWindowExA(0, "OrvaneSkeleton", nullptr, WS_CHILD, 0, 0, client.right,
                                client.bottom, host, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  t[1] = Now();
  HDC dc = GetDC(window);
  AddFontResourceExA(g_run.file.c_str(), FR_PRIVATE, nullptr);
  t[2] = Now();
  const ThreeFonts made = MakeThreeFonts(dc, g_run.face);
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
  HWND dialog = CreateDialogParamA(g_run.plugin.module, MAKEINTRESOURCEA(900), options_host,
                                   SkeletonDialogProc, 0);
  t[5] = Now();
  HWND face_combo = selectors ? SkeletonSelector(window, kFaceComboId, g_model.faces) : nullptr;
  HWND instance_combo =
      selectors ? SkeletonSelector(window, kInstanceComboId, g_model.instances) : nullptr;
  t[6] = Now();

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
  // The selectors take a third of the row (a quarter each when both show).
  const int selectors_width = (face_combo && instance_combo ? W / 2 : face_combo || instance_combo ? W / 3 : 0);
  MoveWindow(slider, L + 46, B - 24, W - (L + 46) - selectors_width, 20, FALSE);
  int selector_x = W - selectors_width;
  for (HWND combo : {face_combo, instance_combo}) {
    if (!combo) continue;
    const int width = face_combo && instance_combo ? W / 4 : W / 3;
    MoveWindow(combo, selector_x, B - 26, width - 4, 200, FALSE);
    ShowWindow(combo, SW_SHOW);
    selector_x += width;
  }
  MoveWindow(list, L + 2, T + 29, W - 4, B - 2 * T - 35, FALSE);
  MoveWindow(sample, L + 2, T + 4, W - 4, B - 2 * T - 10, FALSE);
  MoveWindow(info, L + 2, T + 4, W - 4, B - T - 8, FALSE);
  MoveWindow(options_host, L + 2, T + 4, W - 4, B - T - 8, FALSE);
  for (HWND shown : {list, block_combo, block_spin, charset_combo, charset_spin, edit, slider})
    ShowWindow(shown, SW_SHOW);
  SetDlgItemInt(window, 101, 24, FALSE);
  SendMessageA(slider, TBM_SETPOS, TRUE, 24);
  t[7] = Now();
  PaintNow(host);
  t[8] = Now();
  for (int i = 0; i < kPhases; ++i) phase[i] = Milliseconds(t[i], t[i + 1]);

  LARGE_INTEGER c0 = Now();
  if (dialog) DestroyWindow(dialog);
  DestroyWindow(window);
  for (HFONT font : made.fonts) DeleteObject(font);
  ReleaseDC(window, dc);
  RemoveFontResourceExA(g_run.file.c_str(), FR_PRIVATE, nullptr);
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

}  // namespace

// Alternates the viewer's start with the skeleton's, N times each (which one goes
// first swaps every round), and prints the medians.
int BenchStart(HWND host, const Plugin& plugin, const std::string& file, const BenchFace& face,
               int cycles) {
  g_run = {plugin, file, face};
  RegisterFloorClass("OrvaneSkeleton", SkeletonProc, CS_HREDRAW | CS_VREDRAW);

  // A first real start, untimed: loads what both need and fills the model.
  HWND viewer = g_run.plugin.load(host, g_run.file.data(), 0);
  if (!viewer) {
    std::fprintf(stderr, "orvane-host: the plug-in made no window\n");
    return 1;
  }
  PaintNow(host);
  g_model.blocks = ComboTexts(GetDlgItem(viewer, kBlockComboId));
  g_model.charsets = ComboTexts(GetDlgItem(viewer, kCharsetComboId));
  HWND list = GetDlgItem(viewer, kGlyphListId);
  g_model.rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  g_model.item_height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  if (HWND faces = GetDlgItem(viewer, kFaceComboId); faces && IsWindowVisible(faces))
    g_model.faces = ComboTexts(faces);
  if (HWND instances = GetDlgItem(viewer, kInstanceComboId); instances && IsWindowVisible(instances))
    g_model.instances = ComboTexts(instances);
  g_profile.original = reinterpret_cast<WNDPROC>(
      SetClassLongPtrA(viewer, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimedViewerProc)));
  g_run.plugin.close(viewer);
  PumpMessages();
  double phase[kPhases], close;
  SkeletonCycle(host, phase, close, true);

  std::vector<double> real_load, real_paint, real_total, real_close, real_create, real_draw;
  std::vector<double> skel_total, skel_close, skel_phase[kPhases], fair_total;
  for (int i = 0; i < cycles; ++i) {
    for (int turn = 0; turn < 3; ++turn) {
      // The three take turns, each first in every third cycle.
      const int which = (turn + i) % 3;
      if (which == 2) {
        SkeletonCycle(host, phase, close, true);
        double total = 0;
        for (int p = 0; p < kPhases; ++p) total += phase[p];
        fair_total.push_back(total);
      } else if (which == 0) {
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
        SkeletonCycle(host, phase, close, false);
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
    SkeletonCycle(host, phase, close, true);
    for (int p = 0; p < kPhases; ++p) hooked_phase[p].push_back(phase[p]);
  }
  if (hook) UnhookWindowsHookEx(hook);
  g_profile.phases = false;

  const double real = Median(real_total), skeleton = Median(skel_total);
  const double fair = Median(fair_total);
  std::printf("start_viewer_ms=%.2f start_skeleton_ms=%.2f ratio=%.3f cycles=%d "
              "start_fair_skeleton_ms=%.2f fair_ratio=%.3f selectors=%zu+%zu\n",
              real, skeleton, skeleton > 0 ? real / skeleton : 0.0, cycles, fair,
              fair > 0 ? real / fair : 0.0, g_model.faces.size(), g_model.instances.size());
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
  return 0;
}

