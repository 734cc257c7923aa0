#include "viewer/block_list.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fontfile/face_glyphs.h"
#include "text/language.h"
#include "text/settings.h"
#include "viewer/glyph_grid.h"
#include "viewer/glyph_view.h"
#include "viewer/options_page.h"
#include "viewer/process_resources.h"
#include "viewer/theme.h"
#include "viewer/viewer_state.h"

std::array<const UnicodeBlockRow*, kUnicodeBlockCount> BlockOrder = {};
int SortOrder = 0;

void ResetBlockOrder() {
  for (int row = 0; row < kUnicodeBlockCount; ++row) BlockOrder[row] = &UnicodeBlockTable[row];
  SortOrder = 0;
}

const UnicodeBlockRow& BlockAt(int position) {
  if (position < 0 || position >= kUnicodeBlockCount) position = 0;
  return *BlockOrder[position];
}

namespace {

std::vector<int> ListedPositions(const ViewerState& s) {
  std::vector<int> listed;
  listed.reserve(kUnicodeBlockCount + 1);
  for (int position = 0; position < kUnicodeBlockCount; ++position)
    if (BlockListed(s, position)) listed.push_back(position);
  // The glyph view comes last: every block keeps its item.
  if (GlyphViewOffered(s)) listed.push_back(kGlyphViewPosition);
  return listed;
}

const char* ItemName(int position) {
  return position == kGlyphViewPosition ? LanguageString(kTextGlyphView) : BlockAt(position).name;
}

// Each item carries its position: with blocks left out, item and position differ.
void InsertItem(HWND combo, int item, int position) {
  const LRESULT added =
      SendMessageA(combo, CB_INSERTSTRING, item, reinterpret_cast<LPARAM>(ItemName(position)));
  if (added >= 0) SendMessageA(combo, CB_SETITEMDATA, added, position);
}

void FillItems(ViewerState& s, std::vector<int> listed) {
  if (!s.block_combo) return;
  SendMessageA(s.block_combo, CB_RESETCONTENT, 0, 0);
  s.listed_blocks = std::move(listed);
  for (size_t item = 0; item < s.listed_blocks.size(); ++item)
    InsertItem(s.block_combo, static_cast<int>(item), s.listed_blocks[item]);
}

// Another face or file in the same order: both lists ascend, so one walk removes
// the items that went and inserts those that came. Two faces of a family differ
// in a few blocks, and refilling all 265 items takes longer than the rest of a
// face switch.
void UpdateItems(ViewerState& s, std::vector<int> listed) {
  if (!s.block_combo) return;
  const std::vector<int>& was = s.listed_blocks;
  size_t old_at = 0, new_at = 0;
  int item = 0;
  while (old_at < was.size() || new_at < listed.size()) {
    if (old_at < was.size() && new_at < listed.size() && was[old_at] == listed[new_at]) {
      ++old_at, ++new_at, ++item;
    } else if (new_at == listed.size() ||
               (old_at < was.size() && was[old_at] < listed[new_at])) {
      SendMessageA(s.block_combo, CB_DELETESTRING, item, 0);
      ++old_at;
    } else {
      InsertItem(s.block_combo, item++, listed[new_at++]);
    }
  }
  s.listed_blocks = std::move(listed);
}

// The viewers of this DLL that this thread shows: the records of other threads
// are theirs alone.
BOOL CALLBACK CollectViewer(HWND window, LPARAM viewers) {
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && ViewerOf(window))
    reinterpret_cast<std::vector<HWND>*>(viewers)->push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectViewersIn(HWND top, LPARAM viewers) {
  DWORD process = 0;
  GetWindowThreadProcessId(top, &process);
  if (process == GetCurrentProcessId()) EnumChildWindows(top, CollectViewer, viewers);
  return TRUE;
}

// After a re-sort: the block shown stays, at its new position.
void FollowNewOrder(ViewerState& s, const UnicodeBlockRow& shown) {
  s.block_index = std::max(0, PositionIn(BlockOrder, shown));
  s.sort_order = SortOrder;
  if (s.page_built[kOptionsPage]) ShowSortOrder(s);
  FillBlockList(s);
  SelectBlockItem(s);
}

}  // namespace

void SortBlockOrder(int order, ViewerState& caller) {
  if (order == SortOrder) return;
  std::vector<HWND> viewers;
  EnumWindows(CollectViewersIn, reinterpret_cast<LPARAM>(&viewers));
  std::vector<std::pair<ViewerState*, const UnicodeBlockRow*>> shown;
  shown.emplace_back(&caller, &BlockAt(caller.block_index));
  for (HWND viewer : viewers) {
    ViewerState* s = ViewerOf(viewer);
    if (s && s != &caller) shown.emplace_back(s, &BlockAt(s->block_index));
  }
  SortOrder = order;
  SortBlocks(BlockOrder, SortOrder);
  for (const auto& [s, block] : shown) FollowNewOrder(*s, *block);
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
  return NearestListed(position, step, kUnicodeBlockCount,
                       [&](int at) { return BlockListed(s, at); });
}

void FillBlockList(ViewerState& s) { FillItems(s, ListedPositions(s)); }

void SelectBlockItem(const ViewerState& s) {
  const int shown = s.glyph_view ? kGlyphViewPosition : s.block_index;
  const auto item = std::find(s.listed_blocks.begin(), s.listed_blocks.end(), shown);
  if (item != s.listed_blocks.end())
    SendMessageA(s.block_combo, CB_SETCURSEL, item - s.listed_blocks.begin(), 0);
  SendMessageA(s.block_spin, UDM_SETPOS32, 0, s.block_index);
}

void RelistBlocks(ViewerState& s) {
  // The counts are drawn from the state: the items change only with the blocks
  // listed, and refilling a list of 264 on every file would be felt.
  // The same items with the same block listed keep their selection.
  std::vector<int> listed = ListedPositions(s);
  const bool refilled = listed != s.listed_blocks;
  if (refilled) UpdateItems(s, std::move(listed));
  else if (s.block_combo) InvalidateRect(s.block_combo, nullptr, FALSE);
  if (s.glyph_view && !GlyphViewOffered(s)) s.glyph_view = false;
  if (!BlockListed(s, s.block_index)) ChooseBlock(s, ListedPositionFrom(s, 0, 1));
  else if (refilled) SelectBlockItem(s);
  // Another file or face: the glyph view's rows follow its glyph count.
  if (s.glyph_view && s.page_built[kGlyphsPage]) SetGlyphRowCount(s);
}

void ChooseBlock(ViewerState& s, int position) {
  s.block_index = position;
  if (s.glyph_view) s.zoom_code = -1;  // a glyph index
  s.glyph_view = false;
  s.marked_code = -1;
  if (s.page_built[kGlyphsPage]) SetGlyphRowCount(s);
  SelectBlockItem(s);
  if (s.glyph_list) InvalidateRect(s.glyph_list, nullptr, TRUE);
}

void ChooseSelectedBlockItem(ViewerState& s) {
  int item = static_cast<int>(SendMessageA(s.block_combo, CB_GETCURSEL, 0, 0));
  if (item < 0) return;
  int selection = static_cast<int>(SendMessageA(s.block_combo, CB_GETITEMDATA, item, 0));
  if (selection == kGlyphViewPosition) {
    if (!s.glyph_view) ShowGlyphView(s, true);
    return;
  }
  if ((selection == s.block_index && !s.glyph_view) || selection < 0) return;
  ChooseBlock(s, selection);
}

void StepToBlock(ViewerState& s) {
  int position = static_cast<int>(SendMessageA(s.block_spin, UDM_GETPOS32, 0, 0));
  if (position == s.block_index) return;
  const bool up = position == WrapPosition(s.block_index, 1, kUnicodeBlockCount);
  ChooseBlock(s, ListedPositionFrom(s, position, up ? 1 : -1));
}

void OpenStoredBlock(ViewerState& s) {
  if (!s.save_block) return;
  const BlockSetting stored = ReadBlockSetting();
  const UnicodeBlockRow& block =
      StoredBlock(stored.name, stored.first_plane_position, s.sort_order);
  s.block_index = std::max(0, PositionIn(BlockOrder, block));
}

void StoreBlock(const ViewerState& s) {
  if (!s.save_block) return;
  const UnicodeBlockRow& block = BlockAt(s.block_index);
  // Older versions have no block beyond U+FFFF: their key keeps the block they stored.
  WriteBlockSetting({block.name, FirstPlanePosition(block, SortOrder)});
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

std::string BlockItemCount(const ViewerState& s, int position) {
  if (position == kGlyphViewPosition) {
    const uint32_t glyphs = s.opened ? FaceGlyphCount(*s.opened, s.face) : 0;
    return glyphs ? std::to_string(glyphs) + " " + LanguageString(kTextGlyphs) : std::string();
  }
  if (!s.cells.known) return {};
  return std::to_string(PresentCellsAt(s, position)) + "/" + std::to_string(BlockSizeAt(position));
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
    const bool glyph_view = position == kGlyphViewPosition;
    // Greyed: a block without characters, and the whole box while it is disabled.
    const bool grey = (!glyph_view && s.cells.known && PresentCellsAt(s, position) == 0 &&
                       !selected) ||
                      (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, grey ? (s.dark ? kDarkLabel : GetSysColor(COLOR_GRAYTEXT)) : fore);
    HGDIOBJ old_font = SelectObject(dc, UiFont);
    RECT text = r;
    text.left += 2;
    text.right -= 2;
    const std::string count = BlockItemCount(s, position);
    if (!count.empty()) {
      RECT measure = {};
      DrawTextA(dc, count.c_str(), -1, &measure, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
      DrawTextA(dc, count.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
      text.right -= (measure.right - measure.left) + 6;
    }
    DrawTextA(dc, glyph_view ? LanguageString(kTextGlyphView) : BlockAt(position).name, -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old_font);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
  SetTextColor(dc, old_fore);
  SetBkColor(dc, old_back);
}
