#include "viewer/find_character.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "viewer/block_coverage.h"
#include "viewer/block_list.h"
#include "viewer/character_code.h"
#include "viewer/grid_math.h"

namespace {

// The cells that show what the query names: a code is its own cell; a character
// is its byte in the grid's code page and, from 0x100 on, its own code.
std::vector<uint32_t> CellsShowing(const ViewerState& s, const CharacterQuery& query) {
  std::vector<uint32_t> cells;
  if (query.is_code) {
    if (query.value <= kLastCodePoint) cells.push_back(query.value);
    return cells;
  }
  if (std::optional<uint8_t> byte = ByteShowing(s, query.value)) cells.push_back(*byte);
  if (query.value >= 0x100 && query.value <= kLastCodePoint) cells.push_back(query.value);
  return cells;
}

}  // namespace

void ScrollRowIntoView(HWND list, int row) {
  const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  RECT client = {};
  GetClientRect(list, &client);
  const int visible = height > 0 ? std::max(1, static_cast<int>(client.bottom) / height) : 1;
  const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  if (row < top)
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
  else if (row >= top + visible)
    SendMessageA(list, LB_SETTOPINDEX, row - visible + 1, 0);
}

bool ShowCharacter(ViewerState& s, std::u16string_view text) {
  if (s.load_error[0] || !s.glyph_font || !s.glyph_list) return false;
  std::optional<CharacterQuery> query = ParseCharacterQuery(text);
  if (!query) return false;
  const std::vector<uint32_t> cells = CellsShowing(s, *query);
  for (int position = 0; position < kUnicodeBlockCount; ++position) {
    if (!BlockListed(s, position)) continue;
    const UnicodeBlockRow& block = BlockAt(position);
    auto held = std::find_if(cells.begin(), cells.end(), [&](uint32_t cell) {
      return cell >= block.first && cell <= block.last;
    });
    if (held == cells.end()) continue;
    if (position != s.block_index) ChooseBlock(s, position);
    s.marked_code = static_cast<int>(*held);
    ScrollRowIntoView(s.glyph_list, static_cast<int>((*held - block.first) / kCellsPerRow));
    InvalidateRect(s.glyph_list, nullptr, TRUE);
    return true;
  }
  return false;
}
