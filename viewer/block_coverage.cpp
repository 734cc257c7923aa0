#include "viewer/block_coverage.h"

#include <algorithm>

#include "fontfile/char_map.h"
#include "platform/platform.h"
#include "viewer/viewer_state.h"

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
