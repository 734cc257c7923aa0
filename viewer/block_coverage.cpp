#include "viewer/block_coverage.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "fontfile/char_map.h"
#include "platform/platform.h"
#include "plugin/shared_resources.h"
#include "viewer/theme.h"
#include "viewer/viewer_state.h"

namespace {

int TableRow(const UnicodeBlockRow& row) {
  return static_cast<int>(&row - UnicodeBlockTable.data());
}

}  // namespace

void UpdateBlockCoverage(LoadedFont& font, uint8_t charset, bool own_face) {
  BlockCoverage& cells = font.cells;
  cells = BlockCoverage{};
  cells.known = own_face && font.info.coverage.kind != CoverageKind::kUnknown;
  cells.charset = charset;
  CharsetCharacters(charset, cells.byte_characters);
  if (!cells.known) return;
  for (const UnicodeBlockRow& row : UnicodeBlockTable)
    cells.present[TableRow(row)] =
        CountPresentCells(font.info.coverage, row.first, row.last, cells.byte_characters);
}

uint32_t ByteCharacter(const ViewerState& s, uint8_t byte) {
  if (s.cells.charset == SYMBOL_CHARSET) return byte;
  return s.cells.byte_characters[byte];
}

std::optional<uint8_t> ByteShowing(const ViewerState& s, uint32_t character) {
  if (character == 0) return std::nullopt;  // the mark of a byte without a character
  for (uint32_t byte = 0; byte < 256; ++byte)
    if (ByteCharacter(s, static_cast<uint8_t>(byte)) == character)
      return static_cast<uint8_t>(byte);
  return std::nullopt;
}

bool CellShown(const ViewerState& s, uint32_t code) {
  if (!s.cells.known) return true;
  return CellPresent(s.info.coverage, code, code < 0x100 ? s.cells.byte_characters[code] : code);
}

uint32_t BlockSizeAt(int position) {
  const UnicodeBlockRow& row = BlockAt(position);
  return static_cast<uint32_t>(row.last - row.first) + 1;
}

uint32_t PresentCellsAt(const ViewerState& s, int position) {
  if (!s.cells.known) return BlockSizeAt(position);
  return s.cells.present[TableRow(BlockAt(position))];
}

bool BlockListed(const ViewerState& s, int position) {
  if (position < 0 || position >= kUnicodeBlockCount) return false;
  if (!s.only_covered_blocks || !s.cells.known) return true;
  return PresentCellsAt(s, position) > 0;
}

int ListedPositionFrom(const ViewerState& s, int position, int step) {
  for (int i = 0; i < kUnicodeBlockCount; ++i) {
    const int at = ((position + step * i) % kUnicodeBlockCount + kUnicodeBlockCount) %
                   kUnicodeBlockCount;
    if (BlockListed(s, at)) return at;
  }
  return position;
}

void MeasureBlockItem(MEASUREITEMSTRUCT& item) {
  // As high as the system makes the items of a plain combo box in this font.
  HDC dc = GetDC(nullptr);
  if (!dc) return;
  HGDIOBJ old_font = SelectObject(dc, UiFont);
  TEXTMETRICA metrics = {};
  if (GetTextMetricsA(dc, &metrics)) item.itemHeight = static_cast<UINT>(metrics.tmHeight);
  SelectObject(dc, old_font);
  ReleaseDC(nullptr, dc);
}

void DrawBlockItem(const ViewerState& s, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  COLORREF back = selected  ? GetSysColor(COLOR_HIGHLIGHT)
                  : s.dark ? kDarkWindow
                           : GetSysColor(COLOR_WINDOW);
  COLORREF fore = selected  ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                  : s.dark ? kDarkText
                           : GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF old_back = SetBkColor(dc, back);
  const COLORREF old_fore = GetTextColor(dc);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  if (item.itemID != static_cast<UINT>(-1)) {
    const int position = static_cast<int>(item.itemData);
    const UnicodeBlockRow& row = BlockAt(position);
    const uint32_t present = PresentCellsAt(s, position);
    // Greyed: a block without characters, and the whole box while it is disabled.
    const bool grey = (s.cells.known && present == 0 && !selected) ||
                      (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, grey ? (s.dark ? kDarkLabel : GetSysColor(COLOR_GRAYTEXT)) : fore);
    HGDIOBJ old_font = SelectObject(dc, UiFont);
    RECT text = r;
    text.left += 2;
    text.right -= 2;
    if (s.cells.known) {
      char count[32];
      std::snprintf(count, sizeof count, "%u/%u", present, BlockSizeAt(position));
      RECT measure = {};
      DrawTextA(dc, count, -1, &measure, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
      DrawTextA(dc, count, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
      text.right -= (measure.right - measure.left) + 6;
    }
    DrawTextA(dc, row.name, -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old_font);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
  SetTextColor(dc, old_fore);
  SetBkColor(dc, old_back);
}
