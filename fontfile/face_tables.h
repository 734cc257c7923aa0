// A face's table as its directory lists it, and its name texts by id: what the
// readers of the variation, layout and colour tables and of the other facts
// start from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

// A table as the face's directory lists it: absent, listed with bytes that leave
// the file (broken), or present with its bytes.
enum class TableState { kAbsent, kBroken, kPresent };
struct FaceTable {
  TableState state = TableState::kAbsent;
  ByteView bytes;
  bool present() const { return state == TableState::kPresent; }
  bool listed() const { return state != TableState::kAbsent; }
};

// A table is found in an opened font (FontTable, fontfile/opened_font.h).

// The four bytes at base + field as text (a tag), or nothing when they leave the
// bytes. Bytes outside printable ASCII become '?', so a tag is always safe to print.
std::optional<std::string> ReadTag(ByteView view, uint32_t base, uint32_t field);
// The same of a tag already read (its four bytes big-endian).
std::string PrintableTag(uint32_t tag);

// The name table's records by id, read in one pass: the Windows Unicode record
// for US English first, then a Windows Unicode record of any language, then the
// Macintosh Roman English one. Texts are converted when first asked for and
// kept; the bytes converted in all are bounded by the table's size, so that
// records pointing at one long text cannot make the work grow past it.
struct NameIndex {
  struct Record {
    int rank = 0;
    uint16_t length = 0;
    uint16_t offset = 0;
  };
  ByteView table;
  uint32_t storage = 0;
  std::unordered_map<uint16_t, Record> best;
  std::unordered_map<uint16_t, FontText> converted;
  uint64_t text_budget = 0;
};
NameIndex IndexNames(ByteView name_table);

// The text of name `id` in the system's ANSI code page, as FontInfo holds names
// (a Macintosh record gives its ASCII letters). Nothing when the table has no
// such record, the record leaves the table or the allowance is spent.
FontText NameText(NameIndex& index, uint16_t id);
// The same record as UTF-16, for text the ANSI code page cannot hold (a
// Macintosh record gives its ASCII letters, '?' for the rest).
std::optional<std::u16string> NameUtf16(const NameIndex& index, uint16_t id);
