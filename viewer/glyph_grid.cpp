#include "viewer/glyph_grid.h"

#include <commctrl.h>

#include <cstdio>

#include "viewer/process_resources.h"
#include "viewer/block_coverage.h"
#include "viewer/color_glyphs.h"
#include "viewer/block_list.h"
#include "viewer/display_fonts.h"
#include "viewer/glyph_drawing.h"
#include "viewer/glyph_view.h"
#include "viewer/grid_math.h"
#include "viewer/pages.h"
#include "viewer/size_controls.h"
#include "viewer/theme.h"
#include "viewer/viewer_layout.h"
#include "viewer/zoom_box.h"

namespace {

// The label font of a row: UiFont, or its narrow form when the block's codes
// have five or six digits and those would not fit a cell of this width (the
// width of as many 'D's, the widest hex digit, decides for the whole block).
HFONT LabelFont(HDC dc, uint32_t last, int cell_width) {
  const int digits = last > 0xFFFFF ? 6 : last > 0xFFFF ? 5 : 4;
  if (digits == 4 || !UiNarrowFont) return UiFont;
  SelectObject(dc, UiFont);
  SIZE size = {};
  if (!GetTextExtentPoint32W(dc, L"DDDDDD", digits, &size) || size.cx <= cell_width - 2)
    return UiFont;
  return UiNarrowFont;
}

void DrawCell(const ViewerState& s, HDC dc, RECT cell, uint32_t code, HFONT label_font) {
  // A character the font lacks keeps its label on an even tint and shows no
  // glyph: the font's empty box would pass for a character.
  const bool present = CellShown(s, code);
  if (!present) {
    SetDCBrushColor(dc, s.dark ? kDarkMissingCell : kMissingCell);
    FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  SelectObject(dc, label_font);
  const bool marked = static_cast<int>(code) == s.marked_code;
  const COLORREF list_colour = GetTextColor(dc);
  if (marked) {
    RECT fill = {cell.left + 1, cell.top + 1, cell.right, cell.bottom};
    const COLORREF back = s.dark ? kDarkMark : GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF previous = SetDCBrushColor(dc, back);
    FillRect(dc, &fill, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
    SetTextColor(dc, s.dark ? kDarkText : GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (s.dark) {
    // Light mode draws in the list's own text colour.
    SetTextColor(dc, kDarkLabel);
  }
  wchar_t label[8];
  swprintf(label, 8, L"%04X", static_cast<unsigned>(code));
  DrawTextW(dc, label, -1, &cell, DT_SINGLELINE | DT_CENTER);

  SelectObject(dc, s.glyph_font);
  if (s.dark && !marked) SetTextColor(dc, kDarkText);
  cell.top += UiLineHeight;
  if (present) DrawCellGlyph(s, dc, cell, code, DT_VCENTER | DT_CENTER);
  cell.top -= UiLineHeight;
  Rectangle(dc, cell.left, cell.top, cell.right + 1, cell.bottom + 1);
  if (marked) SetTextColor(dc, list_colour);
}

void RedrawGrid(const ViewerState& s) {
  if (s.glyph_list) InvalidateRect(s.glyph_list, nullptr, TRUE);
}

// Re-creates the three fonts in another character set.
void ChangeCharset(ViewerState& s, int charset) {
  HDC dc = GetDC(s.viewer);
  if (!dc) return;
  ReleaseViewerFonts(s);
  s.charset_index = charset;
  CreateViewerFonts(s, dc);
  ReleaseDC(s.viewer, dc);
  // The bytes' characters, and with them the cells present, follow the set: in
  // the block list, the Info report's counts and the sample's font alike.
  RelistBlocks(s);
  RefillFontPages(s);
}

}  // namespace

void EnableGlyphSelectors(const ViewerState& s, bool on) {
  for (HWND control : {s.glyph_list, s.charset_combo, s.charset_spin, s.block_combo, s.block_spin})
    if (control) EnableWindow(control, on ? TRUE : FALSE);
}

void SetGlyphRowCount(ViewerState& s) {
  const UnicodeBlockRow& block = BlockAt(s.block_index);
  const uint32_t glyphs = s.glyph_view ? GlyphViewCount(s) : 0;
  int rows = !s.glyph_view ? GlyphRowCount(block.first, block.last)
             : glyphs      ? GlyphRowCount(0, glyphs - 1)
                           : 0;
  SendMessageA(s.glyph_list, LB_INITSTORAGE, rows, 0);
  SendMessageA(s.glyph_list, LB_SETCOUNT, rows, 0);
}

LRESULT DrawGlyphRow(const DRAWITEMSTRUCT& item, HWND window) {
  ViewerState* state = GetViewerState(window);
  if (state && item.CtlID == kBlockComboId) {
    DrawBlockItem(*state, item);
    return TRUE;
  }
  if (!state || item.itemAction != ODA_DRAWENTIRE) return TRUE;
  ViewerState& s = *state;
  const UnicodeBlockRow& block = BlockAt(s.block_index);
  HDC dc = item.hDC;
  HGDIOBJ old_pen = SelectObject(dc, s.dark ? DarkGridPen : GridPen);
  HGDIOBJ old_brush = SelectObject(dc, HollowBrush);
  HGDIOBJ old_font = SelectObject(dc, UiFont);
  int old_mode = SetBkMode(dc, TRANSPARENT);
  COLORREF old_colour = GetTextColor(dc);

  if (s.load_error[0]) {
    if (s.dark) SetTextColor(dc, kDarkText);
    RECT r;
    GetClientRect(window, &r);
    const int margin = ScaleToDpi(4, ScreenDpiY);
    r.left += margin;
    r.top += margin;
    // A path's '&' is text, not the mark of an underlined letter.
    DrawTextA(dc, s.load_error, -1, &r, DT_WORDBREAK | DT_NOPREFIX);
  } else if (s.glyph_view) {
    DrawGlyphViewRow(s, dc, item.rcItem, static_cast<int>(item.itemID));
  } else {
    const int width = CellWidth(item.rcItem.right - item.rcItem.left);
    const int row = static_cast<int>(item.itemID);
    const int cells = RowCellCount(block.first, block.last, row);
    RECT cell = item.rcItem;
    const HFONT label_font = LabelFont(dc, block.last, width);
    for (int column = 0; column < cells; ++column) {
      cell.right = cell.left + width;
      DrawCell(s, dc, cell, block.first + static_cast<uint32_t>(kCellsPerRow * row + column),
               label_font);
      cell.left = cell.right;
    }
  }

  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
  SelectObject(dc, old_font);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  return TRUE;
}

LRESULT OpenZoomAtClick(HWND window) {
  ViewerState* state = GetViewerState(window);
  if (!state || !state->glyph_list) return 0;
  ViewerState& s = *state;
  const UnicodeBlockRow& block = BlockAt(s.block_index);
  DWORD position = GetMessagePos();
  POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  int row = static_cast<int>(SendMessageA(s.glyph_list, LB_GETCURSEL, 0, 0));
  ScreenToClient(s.glyph_list, &point);
  RECT item = {};
  if (SendMessageA(s.glyph_list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return 0;
  if (!PtInRect(&item, point)) return 0;
  RECT client;
  GetClientRect(s.glyph_list, &client);
  const uint32_t glyphs = s.glyph_view ? GlyphViewCount(s) : 0;
  if (s.glyph_view && glyphs == 0) return 0;
  std::optional<uint32_t> code =
      s.glyph_view ? CodeAtClick(0, glyphs - 1, row, point.x, client.right)
                   : CodeAtClick(block.first, block.last, row, point.x, client.right);
  if (!code) return 0;
  HWND list = s.glyph_list;
  s.zoom_code = *code;
  if (s.marked_code >= 0 && static_cast<uint32_t>(s.marked_code) != *code) {
    s.marked_code = -1;
    RedrawGrid(s);
  }
  ShowZoomBox(list, point, s, *code);
  // The box's loop may have run the viewer's destruction, which destroys the
  // list with it and frees the state: from here on only the handle is used.
  if (IsWindow(list)) SetFocus(list);
  return 0;
}

LRESULT OnViewerCommand(HWND window, WPARAM wparam) {
  ViewerState* state = GetViewerState(window);
  if (!state) return 0;
  ViewerState& s = *state;
  if (wparam == MAKEWPARAM(kCharsetComboId, CBN_SELCHANGE)) {
    int selection = static_cast<int>(SendMessageA(s.charset_combo, CB_GETCURSEL, 0, 0));
    if (selection == s.charset_index || selection < 0) return 0;
    ChangeCharset(s, selection);
    SetGlyphRowCount(s);
    // Without a device context the index stays: the selectors go back to it.
    SendMessageA(s.charset_spin, UDM_SETPOS32, 0, s.charset_index);
    if (s.charset_index != selection)
      SendMessageA(s.charset_combo, CB_SETCURSEL, s.charset_index, 0);
    RedrawGrid(s);
  } else if (wparam == MAKEWPARAM(kBlockComboId, CBN_SELCHANGE)) {
    ChooseSelectedBlockItem(s);
  } else if (wparam == MAKEWPARAM(kSizeEditId, EN_KILLFOCUS)) {
    ApplyFontSize(s);
  }
  return 0;
}

LRESULT OnViewerHScroll(HWND control, HWND window) {
  ViewerState* state = GetViewerState(window);
  if (!state || !control) return 0;
  ViewerState& s = *state;
  if (control == s.block_spin) {
    StepToBlock(s);
    SetFocus(s.glyph_list);
  } else if (control == s.charset_spin) {
    int position = static_cast<int>(SendMessageA(s.charset_spin, UDM_GETPOS32, 0, 0));
    if (position != s.charset_index) {
      ChangeCharset(s, position);
      SetGlyphRowCount(s);
      SendMessageA(s.charset_combo, CB_SETCURSEL, s.charset_index, 0);
      if (s.charset_index != position)
        SendMessageA(s.charset_spin, UDM_SETPOS32, 0, s.charset_index);
      RedrawGrid(s);
    }
    SetFocus(s.glyph_list);
  } else if (control == s.size_slider) {
    int position = static_cast<int>(SendMessageA(s.size_slider, TBM_GETPOS, 0, 0));
    SetDlgItemInt(window, kSizeEditId, static_cast<UINT>(position), FALSE);
    ApplyFontSize(s);
  }
  return 0;
}
